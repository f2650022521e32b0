// The tree-list core: root nodes, focus and top-row repair, the update bracket, clearing, the
// editor cell across tree changes and the neutral answers of the base.

#include "TreeListFixture.h"

#include "grid/editors/dxInplaceEdit.h"

using namespace tltest;

TEST(TreeListCore, FirstRootBecomesTopAndFocusedWithoutChangeNode) {
    TLogTreeList tree;
    TdxTreeListNode* first = Named(tree.Add(), "X");
    EXPECT_EQ(tree.GetTopVisibleNode(), first);
    EXPECT_EQ(tree.GetFocusedNode(), first);
    ASSERT_EQ(tree.Log.size(), 1u);
    EXPECT_EQ(tree.Log[0], "Top ");  // fired before the name was set
    Named(tree.Add(), "Y");
    EXPECT_EQ(tree.GetTopVisibleNode(), first);
    EXPECT_EQ(tree.Log.size(), 1u);
    tree.OnDeletion = nullptr;
    tree.OnChangeTopVisibleNode = nullptr;
}

struct TFocusCase {
    const char* Expanded;  // nodes expanded first, space separated
    const char* Focused;
    const char* Deleted;
    const char* Expected;
};

class DeletingFocused : public TreeFixture, public ::testing::WithParamInterface<TFocusCase> {};

TEST_P(DeletingFocused, FocusMovesWithoutChangeNode) {
    const TFocusCase& c = GetParam();
    for (std::string e : {std::string("A"), std::string("A1"), std::string("B")})
        if (std::string(c.Expanded).find(e + " ") != std::string::npos) N(e)->SetExpanded(true);
    Tree->SetFocusedNode(N(c.Focused));
    Tree->Log.clear();
    N(c.Deleted)->Delete();
    EXPECT_EQ(TLogTreeList::Name(Tree->GetFocusedNode()), c.Expected);
    for (const std::string& e : Tree->Log) EXPECT_EQ(e.rfind("ChangeNode", 0), std::string::npos) << e;
}

INSTANTIATE_TEST_SUITE_P(TreeListCore, DeletingFocused,
    ::testing::Values(TFocusCase{"", "B", "B", "A"},  // previous sibling
        TFocusCase{"A A1 ", "A1b", "A1b", "A1a"}, TFocusCase{"A A1 ", "A1a", "A1a", "A1"},  // parent
        TFocusCase{"", "A", "A", "B"},  // next in display order
        TFocusCase{"A A1 ", "A1a", "A1", "A"}));  // focused child of a deleted node

TEST_F(TreeFixture, DeletingEverythingLeavesNoFocusNoTop) {
    N("A")->Delete();
    N("B")->Delete();
    Tree->Log.clear();
    N("C")->Delete();
    EXPECT_EQ(Tree->GetFocusedNode(), nullptr);
    EXPECT_EQ(Tree->GetTopVisibleNode(), nullptr);
    EXPECT_EQ(Log(), "Deletion C, Top nil");
    EXPECT_EQ(Tree->GetAbsoluteCount(), 0);
}

TEST_F(TreeFixture, DeletingTheTopRowMovesItUp) {
    Tree->SetTopVisibleNode(N("B"));
    N("B")->Delete();
    EXPECT_EQ(Tree->GetTopVisibleNode(), N("A"));
    Tree->SetTopVisibleNode(N("A"));
    N("A")->Delete();
    EXPECT_EQ(Tree->GetTopVisibleNode(), N("C"));
}

TEST_F(TreeFixture, NestedBracketsLayOutOnce) {
    Tree->BeginUpdate();
    Tree->BeginUpdate();
    Named(Tree->Add(), "D");
    Tree->EndUpdate();
    EXPECT_EQ(Tree->LayoutPasses, 0);
    Tree->EndUpdate();
    EXPECT_EQ(Tree->LayoutPasses, 1);
    Tree->BeginUpdate();
    Tree->UnlockUpdate();
    EXPECT_EQ(Tree->LayoutPasses, 1);
    EXPECT_EQ(Tree->Display(), "A B C D");
}

TEST_F(TreeFixture, ClearNodesTellsChildrenFirstOverAnEmptyTree) {
    std::vector<int> countsSeen;
    Tree->OnDeletion = [&](TObject*, TdxTreeListNode* n) {
        Tree->Log.push_back("Deletion " + TLogTreeList::Name(n));
        // A handler may look at the tree: it is already empty, never half freed.
        countsSeen.push_back(Tree->Count());
        EXPECT_EQ(Tree->GetFirstNode(), nullptr);
    };
    Tree->ClearNodes();
    // References are dropped first, then the nodes go.
    EXPECT_EQ(Log(),
        "Top nil, Deletion A1a, Deletion A1b, Deletion A1, Deletion A2, Deletion A, Deletion B1, "
        "Deletion B, Deletion C");
    EXPECT_EQ(countsSeen, std::vector<int>(8, 0));
    EXPECT_EQ(Tree->GetFocusedNode(), nullptr);
    EXPECT_EQ(Tree->GetAbsoluteCount(), 0);
    EXPECT_EQ(Tree->LayoutPasses, 1);
    // The tree is usable afterwards.
    Named(Tree->Add(), "Z");
    EXPECT_EQ(Tree->Display(), "Z");
    EXPECT_EQ(Tree->GetFocusedNode(), N("Z"));
}

TEST_F(TreeFixture, AbsoluteIndexOfHiddenNodesWithAndWithoutCache) {
    EXPECT_TRUE(Tree->IsVisibleCacheValid());
    EXPECT_EQ(N("A1a")->AbsoluteIndex(), -1);
    Tree->BeginUpdate();  // empties the cache: the walk answers
    EXPECT_FALSE(Tree->IsVisibleCacheValid());
    EXPECT_EQ(N("A1a")->AbsoluteIndex(), -1);
    EXPECT_EQ(N("C")->AbsoluteIndex(), 2);
    Tree->EndUpdate();
    N("A")->Expand(true);
    EXPECT_EQ(N("A1a")->AbsoluteIndex(), 2);
    EXPECT_EQ(Tree->GetAbsoluteNode(6), N("C"));
    EXPECT_EQ(Tree->GetAbsoluteNode(7), nullptr);
    EXPECT_EQ(Tree->GetAbsoluteNode(-1), nullptr);
    EXPECT_EQ(Tree->GetLastNode(), N("C"));
    N("B")->SetExpanded(true);
    N("C")->Delete();
    EXPECT_EQ(Tree->GetLastNode(), N("B1"));
    EXPECT_EQ(Tree->GetNodeAbsoluteIndex(nullptr), -1);
}

// --- the editor cell across tree changes ---------------------------------------------------------

class EditorCell : public TreeFixture {
protected:
    void SetUp() override {
        TreeFixture::SetUp();
        Editor = new TdxInplaceEdit(Tree.get());
        Tree->SetEditorCell(Editor, N("B"), 1);
        Editor->SetEditValue(Variant(std::string("typed")));
        Editor->SetModified(true);
    }
    TdxInplaceEdit* Editor = nullptr;
};

TEST_F(EditorCell, AddingANodePostsTheTypedValue) {
    Named(Tree->Add(), "D");
    ASSERT_EQ(Tree->Assigned.size(), 1u);
    EXPECT_EQ(Tree->Assigned[0], "B:1=typed");
    EXPECT_EQ(N("B")->Strings(1), "typed");
    EXPECT_EQ(Tree->GetEditingNode(), nullptr);
    EXPECT_EQ(Tree->GetEditingColumn(), -1);
}

TEST_F(EditorCell, OpeningABracketPostsTheTypedValue) {
    Tree->BeginUpdate();
    Tree->EndUpdate();
    EXPECT_EQ(Tree->Assigned, std::vector<std::string>{"B:1=typed"});
}

TEST_F(EditorCell, DeletingAnotherNodePostsTheTypedValue) {
    N("C")->Delete();
    EXPECT_EQ(Tree->Assigned, std::vector<std::string>{"B:1=typed"});
}

TEST_F(EditorCell, DeletingTheEditedRowDropsItsValue) {
    N("B")->Delete();
    EXPECT_TRUE(Tree->Assigned.empty());
    EXPECT_EQ(Tree->GetEditingNode(), nullptr);
}

TEST_F(EditorCell, AnUnmodifiedEditorPostsNothing) {
    Editor->SetModified(false);
    Named(Tree->Add(), "D");
    EXPECT_TRUE(Tree->Assigned.empty());
}

TEST_F(EditorCell, ARefusedValueIsDroppedAndTheTreeStillChanges) {
    Editor->OnValidate = [](TObject*, std::string&, bool& accept) { accept = false; };
    Named(Tree->Add(), "D");
    EXPECT_TRUE(Tree->Assigned.empty());
    EXPECT_EQ(Tree->Display(), "A B C D");
}

// --- the neutral base -----------------------------------------------------------------------------

TEST(TreeListCore, TheBaseHasNoNodeDataAndNoColumns) {
    TCustomdxTreeList tree(nullptr);
    EXPECT_THROW(tree.Add(), EAbstractError);
    EXPECT_EQ(tree.Count(), 0);
    EXPECT_EQ(tree.GetBandCount(), 0);
    EXPECT_EQ(tree.GetHeaderCount(), 0);
    EXPECT_EQ(tree.GetHeaderAbsoluteIndex(0, 0, 0), -1);
    EXPECT_EQ(tree.GetLeftFixedBand(), -1);
    EXPECT_EQ(tree.GetRightFixedBand(), -1);
    std::string text = "x";
    tree.GetBandCaption(0, text);
    EXPECT_EQ(text, "");
    EXPECT_EQ(tree.GetHeaderSorted(0), csNone);
    EXPECT_EQ(tree.GetGrIndicatorWidth(), 12);
    EXPECT_EQ(tree.GetBandMaxRowCount(), 5);
    EXPECT_EQ(tree.GetHeaderPanelMaxRowCount(), 4);
    EXPECT_EQ(tree.GetDragScrollInterval(), 100);
    EXPECT_FALSE(tree.CanCustomizeHeaders());
    EXPECT_EQ(tree.GetEditorPopupBorder(xbsSingle), pbFrame3D);
    tree.LookAndFeel = lfFlat;
    EXPECT_EQ(tree.GetEditorPopupBorder(xbsSingle), pbSingle);
}

TEST(TreeListCore, ConstructorDefaults) {
    TLogTreeList tree;
    EXPECT_EQ(tree.Options, 0x37u);
    EXPECT_EQ(tree.OptionsEx, 0x303Eu);
    EXPECT_EQ(tree.GetWidth(), 250);
    EXPECT_EQ(tree.GetHeight(), 150);
    EXPECT_EQ(tree.GetColor(), clWindow);
    EXPECT_TRUE(tree.GetTabStop());
    EXPECT_EQ(tree.GetPreviewFont()->GetColor(), clBlue);
    EXPECT_EQ(tree.GetFocusedColumn(), -1);
    EXPECT_EQ(tree.GetState(), tsNormal);
    EXPECT_TRUE(tree.IsShowButtonAlways() == false);
    tree.SetRowSeparatorLineWidth(0);
    EXPECT_EQ(tree.GetRowSeparatorLineWidth(), 1);
    tree.OnChangeTopVisibleNode = nullptr;
}

TEST_F(TreeFixture, IdentityTieBreakIsAntisymmetric) {
    TdxTreeListNode* a = N("A");
    TdxTreeListNode* b = N("B");
    EXPECT_EQ(Tree->CompareEqualNodes(a, b), -Tree->CompareEqualNodes(b, a));
    EXPECT_NE(Tree->CompareEqualNodes(a, b), 0);
    EXPECT_EQ(Tree->CompareEqualNodes(a, a), 0);
}

TEST_F(TreeFixture, SelectionStaysAmongSiblingsWithoutExtendedSelection) {
    Tree->SetSelectionAnchor(N("A1"));
    bool asked = false;
    Tree->OnCanNodeSelected = [&](TObject*, TdxTreeListNode*, bool&) { asked = true; };
    EXPECT_TRUE(Tree->CanNodeSelected(N("A2")));
    EXPECT_FALSE(Tree->CanNodeSelected(N("B1")));
    EXPECT_TRUE(asked);
    Tree->OnCanNodeSelected = [](TObject*, TdxTreeListNode*, bool& allow) { allow = false; };
    EXPECT_FALSE(Tree->CanNodeSelected(N("A2")));
}

TEST_F(TreeFixture, OpeningABracketEndsEditing) {
    Tree->SetState(tsEditing);
    Tree->BeginUpdate();
    EXPECT_EQ(Tree->GetState(), tsNormal);
    Tree->EndUpdate();
}

TEST_F(TreeFixture, AHandlerThatThrowsStillClosesTheBrackets) {
    Tree->OnExpanding = [](TObject*, TdxTreeListNode*, bool&) { throw EAbort("stop"); };
    EXPECT_THROW(N("C")->MoveTo(N("B"), natAddChild), EAbort);
    EXPECT_EQ(Tree->GetUpdateLock(), 0);
    EXPECT_THROW(N("A")->Expand(true), EAbort);
    EXPECT_EQ(Tree->GetUpdateLock(), 0);
    EXPECT_EQ(Shape(), "A(A1(A1a A1b) A2) B(B1 C)");
    EXPECT_EQ(Tree->Display(), "A B");
}
