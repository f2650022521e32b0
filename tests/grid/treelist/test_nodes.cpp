// The node model: building, walking, moving, expanding and collapsing with vetoes.

#include "TreeListFixture.h"

using namespace tltest;

TEST(TreeListNode, NilOwnerIsRefused) {
    try {
        new TdxTreeListTextNode(nullptr);
        FAIL() << "a node without an owner was built";
    } catch (const EInvaliddxTreeListOperation& e) {
        EXPECT_EQ(e.Message(), "Invalid Owner TdxTreeListNode");
    }
}

TEST_F(TreeFixture, ItemsOutOfRangeAndLeavesWithoutLists) {
    TdxTreeListNode* a = N("A");
    EXPECT_EQ(a->Items(-1), nullptr);
    EXPECT_EQ(a->Items(a->Count()), nullptr);
    EXPECT_EQ(Tree->Items(-1), nullptr);
    EXPECT_EQ(Tree->Items(3), nullptr);
    TdxTreeListNode* leaf = N("A2");
    EXPECT_EQ(leaf->Count(), 0);
    EXPECT_FALSE(leaf->HasChildList());
    EXPECT_EQ(N("A1b")->Level(), 2);
    EXPECT_EQ(N("A1b")->Index(), 1);
    EXPECT_EQ(N("C")->Index(), 2);
    EXPECT_TRUE(N("A2")->IsLast());
    EXPECT_FALSE(N("A1")->IsLast());
    EXPECT_EQ(a->IndexOf(N("A2")), 1);
    EXPECT_EQ(a->IndexOf(N("B1")), -1);
    EXPECT_EQ(leaf->IndexOf(a), -1);
}

TEST_F(TreeFixture, PreOrderWalksBothWays) {
    std::string forward, backward;
    TdxTreeListNode* last = nullptr;
    for (TdxTreeListNode* n = Tree->GetFirstNode(); n; n = n->GetNext()) {
        forward += TLogTreeList::Name(n) + " ";
        last = n;
    }
    for (TdxTreeListNode* n = last; n; n = n->GetPrev()) backward += TLogTreeList::Name(n) + " ";
    EXPECT_EQ(forward, "A A1 A1a A1b A2 B B1 C ");
    EXPECT_EQ(backward, "C B1 B A2 A1b A1a A1 A ");
}

TEST_F(TreeFixture, RemovingTheLastChildCollapsesTheParent) {
    TdxTreeListNode* b = N("B");
    b->SetExpanded(true);
    ASSERT_TRUE(b->GetExpanded());
    N("B1")->Delete();
    EXPECT_FALSE(b->GetExpanded());
    EXPECT_FALSE(b->GetHasChildren());
    EXPECT_FALSE(b->HasChildList());
    EXPECT_EQ(Tree->Display(), "A B C");
}

TEST_F(TreeFixture, ExpandingANodeWithoutButtonDoesNothing) {
    N("C")->SetExpanded(true);
    EXPECT_FALSE(N("C")->GetExpanded());
    EXPECT_EQ(Log(), "");
}

TEST_F(TreeFixture, RecursiveExpandAsksParentsFirstAndLaysOutOnce) {
    N("A")->Expand(true);
    EXPECT_EQ(Log(), "Expanding A, Expanded A, Expanding A1, Expanded A1");
    EXPECT_EQ(Tree->LayoutPasses, 1);
    EXPECT_EQ(Tree->Display(), "A A1 A1a A1b A2 B C");
}

TEST_F(TreeFixture, ExpandingVetoKeepsTheNodeShut) {
    Tree->OnExpanding = [](TObject*, TdxTreeListNode*, bool& allow) { allow = false; };
    N("B")->SetExpanded(true);
    EXPECT_FALSE(N("B")->GetExpanded());
    EXPECT_EQ(Log(), "");
}

TEST_F(TreeFixture, CollapsingOverTheFocusedNodeTakesTheFocus) {
    N("A")->Expand(true);
    Tree->SetFocusedNode(N("A1b"));
    Tree->Log.clear();
    N("A")->SetExpanded(false);
    EXPECT_EQ(Tree->GetFocusedNode(), N("A"));
    EXPECT_FALSE(N("A")->GetExpanded());
    EXPECT_EQ(Log(), "Collapsing A, Collapsed A");  // focus stored without OnChangeNode
    EXPECT_EQ(Tree->Display(), "A B C");
}

TEST_F(TreeFixture, CollapsingVetoKeepsFocusAndFlag) {
    N("A")->Expand(true);
    Tree->SetFocusedNode(N("A1b"));
    Tree->OnCollapsing = [](TObject*, TdxTreeListNode*, bool& allow) { allow = false; };
    N("A")->SetExpanded(false);
    EXPECT_EQ(Tree->GetFocusedNode(), N("A1b"));
    EXPECT_TRUE(N("A")->GetExpanded());
}

TEST_F(TreeFixture, CollapsingOverTheTopRowMakesTheNodeTheTopRow) {
    N("A")->Expand(true);
    Tree->SetTopVisibleNode(N("A1a"));
    Tree->Log.clear();
    N("A1")->SetExpanded(false);
    EXPECT_EQ(Tree->GetTopVisibleNode(), N("A1"));
    EXPECT_EQ(Log(), "Collapsing A1, Top A1, Collapsed A1");
}

// --- moving --------------------------------------------------------------------------------------

struct TMoveCase {
    const char* Node;
    const char* Destination;  // "" for nil
    TdxTreeListNodeAttachMode Mode;
    const char* Shape;  // expected tree afterwards
    bool Moved;  // the node became focused
};

class MoveTo : public TreeFixture, public ::testing::WithParamInterface<TMoveCase> {};

TEST_P(MoveTo, Cases) {
    const TMoveCase& c = GetParam();
    Tree->SetFocusedNode(N("C"));
    TdxTreeListNode* node = N(c.Node);
    TdxTreeListNode* destination = *c.Destination ? N(c.Destination) : nullptr;
    node->MoveTo(destination, c.Mode);
    EXPECT_EQ(Shape(), c.Shape);
    EXPECT_EQ(Tree->GetFocusedNode(), c.Moved ? node : N("C"));
}

const char* const kUnchanged = "A(A1(A1a A1b) A2) B(B1) C";

INSTANTIATE_TEST_SUITE_P(TreeListNode, MoveTo,
    ::testing::Values(
        // refused: nothing changes, focus stays
        TMoveCase{"A1", "", natAdd, kUnchanged, false}, TMoveCase{"A1", "A1", natAddChild, kUnchanged, false},
        TMoveCase{"A1", "A1", natAddChildFirst, kUnchanged, false}, TMoveCase{"A1", "A1", natInsert, kUnchanged, false},
        TMoveCase{"A", "A1b", natAdd, kUnchanged, false}, TMoveCase{"A", "A1", natAddChild, kUnchanged, false},
        // the five modes
        TMoveCase{"C", "A1a", natAdd, "A+(A1+(A1a A1b C) A2) B(B1)", true},
        TMoveCase{"C", "A1b", natAddFirst, "A+(A1+(C A1a A1b) A2) B(B1)", true},
        TMoveCase{"B1", "A", natAddChild, "A+(A1(A1a A1b) A2 B1) B C", true},
        TMoveCase{"B1", "A", natAddChildFirst, "A+(B1 A1(A1a A1b) A2) B C", true},
        TMoveCase{"C", "A2", natInsert, "A+(A1(A1a A1b) C A2) B(B1)", true},
        // natInsert before a later node of the same list: just before it (and made visible)
        TMoveCase{"A1a", "A1b", natInsert, "A+(A1+(A1a A1b) A2) B(B1) C", true},
        TMoveCase{"A", "C", natInsert, "B(B1) A(A1(A1a A1b) A2) C", true},
        // a root node into a root list position and a child to the roots
        TMoveCase{"B1", "C", natAdd, "A(A1(A1a A1b) A2) B C B1", true},
        // beside itself: stays in its own sibling list (a child does not jump to the roots)
        TMoveCase{"A1a", "A1a", natAdd, "A+(A1+(A1b A1a) A2) B(B1) C", true},
        TMoveCase{"A1b", "A1b", natAddFirst, "A+(A1+(A1b A1a) A2) B(B1) C", true}));

TEST_F(TreeFixture, MovingIntoACollapsedNodeExpandsItThroughItsVeto) {
    N("C")->MoveTo(N("B"), natAddChild);
    EXPECT_TRUE(N("B")->GetExpanded());
    EXPECT_EQ(Tree->Display(), "A B B1 C");
    Tree->OnExpanding = [](TObject*, TdxTreeListNode*, bool& allow) { allow = false; };
    N("C")->MoveTo(N("A2"), natAddChild);
    EXPECT_FALSE(N("A2")->GetExpanded());
    EXPECT_TRUE(N("A2")->GetHasChildren());
    EXPECT_EQ(N("C")->AbsoluteIndex(), -1);
}

TEST_F(TreeFixture, BulkOperationsRelinkWithoutNotifications) {
    TdxTreeListNode* c = N("C");
    c->MoveRootTo(2, N("B"));
    EXPECT_EQ(Shape(), "A(A1(A1a A1b) A2) B(B1 C)");
    N("A")->MoveChildrenToRoot();
    EXPECT_EQ(Shape(), "A B(B1 C) A1(A1a A1b) A2");
    EXPECT_FALSE(N("A")->GetHasChildren());
    EXPECT_EQ(Tree->GetFocusedNode(), N("A"));
    EXPECT_EQ(Log(), "");
}

TEST_F(TreeFixture, TextNodeStringsPadAndShift) {
    TdxTreeListNode* n = N("A2");
    n->SetStrings(3, "d");
    EXPECT_EQ(n->Strings(1), "");
    EXPECT_EQ(n->Strings(3), "d");
    EXPECT_EQ(n->Strings(9), "");
    EXPECT_EQ(n->ImageIndex(), 0);
    EXPECT_EQ(n->SelectedIndex(), -1);
    EXPECT_EQ(n->StateIndex(), -1);
    Tree->DeleteColumnData(N("A"), 1);
    EXPECT_EQ(n->Strings(2), "d");
    EXPECT_EQ(N("A1a")->Strings(0), "A1a");
}
