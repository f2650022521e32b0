// The display-order cache against a plain walk of the tree: random adds, deletes, expands,
// collapses and moves, outside and inside update brackets; after every step each cache answer
// (absolute index, node at an index, next and previous visible node, count) must equal what a
// walk of the tree gives.

#include <random>

#include "TreeListFixture.h"

using namespace tltest;

namespace {

// Display order by walking: pre-order, children only under expanded nodes.
void Walk(TdxTreeListNode* n, std::vector<TdxTreeListNode*>& out) {
    out.push_back(n);
    if (n->GetExpanded())
        for (int i = 0; i < n->Count(); ++i) Walk(n->Items(i), out);
}

std::vector<TdxTreeListNode*> Reference(const TCustomdxTreeList& tree) {
    std::vector<TdxTreeListNode*> out;
    for (int i = 0; i < tree.Count(); ++i) Walk(tree.Items(i), out);
    return out;
}

// Every node in pre-order by recursion over Items, collapsed subtrees included.
void WalkAll(TdxTreeListNode* n, std::vector<TdxTreeListNode*>& out) {
    out.push_back(n);
    for (int i = 0; i < n->Count(); ++i) WalkAll(n->Items(i), out);
}

std::vector<TdxTreeListNode*> AllNodes(const TCustomdxTreeList& tree) {
    std::vector<TdxTreeListNode*> out;
    for (TdxTreeListNode* n = tree.GetFirstNode(); n; n = n->GetNext()) out.push_back(n);
    return out;
}

void ExpectCacheMatches(const TCustomdxTreeList& tree, int step) {
    const std::vector<TdxTreeListNode*> ref = Reference(tree);
    ASSERT_EQ(tree.GetAbsoluteCount(), int(ref.size())) << "step " << step;
    for (int i = 0; i < int(ref.size()); ++i) {
        ASSERT_EQ(tree.GetAbsoluteNode(i), ref[size_t(i)]) << "step " << step << " index " << i;
        ASSERT_EQ(tree.GetNodeAbsoluteIndex(ref[size_t(i)]), i) << "step " << step;
        ASSERT_EQ(ref[size_t(i)]->GetNextVisible(), i + 1 < int(ref.size()) ? ref[size_t(i) + 1] : nullptr)
            << "step " << step << " index " << i;
        ASSERT_EQ(ref[size_t(i)]->GetPrevVisible(), i > 0 ? ref[size_t(i) - 1] : nullptr) << "step " << step;
    }
    ASSERT_EQ(tree.GetAbsoluteNode(int(ref.size())), nullptr);
    for (TdxTreeListNode* n : AllNodes(tree)) {
        if (!n->IsVisible()) {
            ASSERT_EQ(tree.GetNodeAbsoluteIndex(n), -1) << "step " << step;
        }
    }
    ASSERT_EQ(tree.GetLastNode(), ref.empty() ? nullptr : ref.back());
    std::vector<TdxTreeListNode*> all;
    for (int i = 0; i < tree.Count(); ++i) WalkAll(tree.Items(i), all);
    ASSERT_EQ(AllNodes(tree), all) << "step " << step;  // GetNext
    std::vector<TdxTreeListNode*> backward;
    for (TdxTreeListNode* n = all.empty() ? nullptr : all.back(); n; n = n->GetPrev()) backward.push_back(n);
    ASSERT_EQ(std::vector<TdxTreeListNode*>(all.rbegin(), all.rend()), backward) << "step " << step;
    if (!ref.empty()) {
        ASSERT_NE(tree.GetFocusedNode(), nullptr) << "step " << step;
        ASSERT_NE(tree.GetTopVisibleNode(), nullptr) << "step " << step;
    }
}

}  // namespace

TEST(TreeListCache, RandomChangesAgreeWithAWalk) {
    TLogTreeList tree;
    tree.OnChangeTopVisibleNode = nullptr;
    std::mt19937 rng(20261211);
    auto pick = [&](const std::vector<TdxTreeListNode*>& v) {
        return v[std::uniform_int_distribution<size_t>(0, v.size() - 1)(rng)];
    };
    int depth = 0;  // open brackets
    for (int step = 0; step < 3000; ++step) {
        const std::vector<TdxTreeListNode*> all = AllNodes(tree);
        const int op = std::uniform_int_distribution<int>(0, 99)(rng);
        SCOPED_TRACE("op " + std::to_string(op) + " brackets " + std::to_string(depth));
        if (all.empty() || op < 12) {
            const int roots = tree.Count();
            if (roots && op % 2) tree.Insert(tree.Items(std::uniform_int_distribution<int>(0, roots - 1)(rng)));
            else tree.Add();
        } else if (op < 40) {
            TdxTreeListNode* parent = pick(all);
            if (op % 3 == 0 && parent->Count()) parent->InsertChild(parent->Items(0));
            else parent->AddChild();
        } else if (op < 52) {
            if (all.size() > 3) pick(all)->Delete();
        } else if (op < 68) {
            pick(all)->SetExpanded(true);
        } else if (op < 78) {
            pick(all)->SetExpanded(false);
        } else if (op < 82) {
            pick(all)->Expand(op % 2 == 0);
        } else if (op < 88) {
            pick(all)->MoveTo(pick(all), TdxTreeListNodeAttachMode(op % 5));
        } else if (op < 94) {
            if (depth < 3) {
                tree.BeginUpdate();
                ++depth;
            }
        } else if (depth > 0) {
            if (op % 2) tree.EndUpdate();
            else tree.UnlockUpdate();
            --depth;
        }
        ExpectCacheMatches(tree, step);
        if (::testing::Test::HasFatalFailure()) return;
    }
    while (depth-- > 0) tree.EndUpdate();
    ExpectCacheMatches(tree, -1);
}

TEST(TreeListCache, DeletingAnExpandedSubtreeKeepsNoFreedRows) {
    TLogTreeList tree;
    tree.OnChangeTopVisibleNode = nullptr;
    TdxTreeListNode* big = tree.Add();
    for (int i = 0; i < 50; ++i) big->AddChild()->AddChild();
    tree.Add();
    big->Expand(true);
    ASSERT_EQ(tree.GetAbsoluteCount(), 102);
    tree.SetFocusedNode(big->Items(10)->Items(0));
    big->Delete();
    ExpectCacheMatches(tree, 0);
    EXPECT_EQ(tree.GetAbsoluteCount(), 1);
    EXPECT_EQ(tree.GetFocusedNode(), tree.GetFirstNode());
}
