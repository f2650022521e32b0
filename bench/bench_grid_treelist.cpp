// The tree list's node model and display-order cache at the size of a large table, each case
// beside the same work on a QStandardItemModel in the same run:
//   - 100,000 root nodes built in one update bracket (Qt: 100,000 rows appended at once);
//   - a GetNext walk over 100,000 nodes (10,000 roots of 9 children each);
//   - a search for a text that no node holds, over all 100,000 nodes (Qt: findItems, recursive);
//   - deleting a node with 50,000 children (Qt: removeRow);
//   - the display index of the last node: flat 100,000 roots, and the 10,000 x 9 tree expanded
//     (Qt has no display order: the position is summed from row counts, as a view would).
// Goal: every case under 0.1 s and no slower than the Qt model.

#include <benchmark/benchmark.h>

#include <QtGui/QStandardItemModel>

#include <memory>
#include <string>

#include "grid/treelist/dxTL.h"

namespace {

constexpr int kRoots = 100000;
constexpr int kTreeRoots = 10000, kTreeChildren = 9;
constexpr int kWideChildren = 50000;

std::string Text(int i) { return "Novák Jan " + std::to_string(i); }

// The tree list over text nodes, as the column-owning control stores them.
class TBenchTreeList : public TCustomdxTreeList {
public:
    TBenchTreeList() : TCustomdxTreeList(nullptr) {}
    TdxTreeListNode* CreateNode() override { return new TdxTreeListTextNode(this); }
    void GetNodeString(TdxTreeListNode* n, int column, std::string& text) override {
        text = static_cast<TdxTreeListTextNode*>(n)->GetString(column);
    }
    void SetNodeString(TdxTreeListNode* n, int column, const std::string& text) override {
        static_cast<TdxTreeListTextNode*>(n)->SetString(column, text);
    }
};

std::unique_ptr<TBenchTreeList> FlatTree() {
    auto tree = std::make_unique<TBenchTreeList>();
    tree->BeginUpdate();
    for (int i = 0; i < kRoots; ++i) tree->Add()->SetStrings(0, Text(i));
    tree->EndUpdate();
    return tree;
}

std::unique_ptr<TBenchTreeList> DeepTree(bool expanded) {
    auto tree = std::make_unique<TBenchTreeList>();
    tree->BeginUpdate();
    int k = 0;
    for (int i = 0; i < kTreeRoots; ++i) {
        TdxTreeListNode* root = tree->Add();
        root->SetStrings(0, Text(k++));
        for (int j = 0; j < kTreeChildren; ++j) root->AddChild()->SetStrings(0, Text(k++));
        if (expanded) root->SetExpanded(true);
    }
    tree->EndUpdate();
    return tree;
}

std::unique_ptr<QStandardItemModel> FlatModel() {
    auto model = std::make_unique<QStandardItemModel>();
    QList<QStandardItem*> items;
    items.reserve(kRoots);
    for (int i = 0; i < kRoots; ++i) items.append(new QStandardItem(QString::fromStdString(Text(i))));
    model->invisibleRootItem()->appendRows(items);
    return model;
}

std::unique_ptr<QStandardItemModel> DeepModel() {
    auto model = std::make_unique<QStandardItemModel>();
    QList<QStandardItem*> roots;
    int k = 0;
    for (int i = 0; i < kTreeRoots; ++i) {
        auto* root = new QStandardItem(QString::fromStdString(Text(k++)));
        QList<QStandardItem*> children;
        for (int j = 0; j < kTreeChildren; ++j) children.append(new QStandardItem(QString::fromStdString(Text(k++))));
        root->appendRows(children);
        roots.append(root);
    }
    model->invisibleRootItem()->appendRows(roots);
    return model;
}

// --- building -----------------------------------------------------------------------------------

void BM_TreeList_Build100kRoots(benchmark::State& state) {
    for (auto _ : state) {
        auto tree = FlatTree();
        benchmark::DoNotOptimize(tree->GetAbsoluteCount());
        state.PauseTiming();
        tree.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_TreeList_Build100kRoots)->Unit(benchmark::kMillisecond);

void BM_Qt_Build100kRows(benchmark::State& state) {
    for (auto _ : state) {
        auto model = FlatModel();
        benchmark::DoNotOptimize(model->rowCount());
        state.PauseTiming();
        model.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Qt_Build100kRows)->Unit(benchmark::kMillisecond);

// --- walking ------------------------------------------------------------------------------------

void BM_TreeList_GetNextWalk(benchmark::State& state) {
    auto tree = DeepTree(false);
    for (auto _ : state) {
        int n = 0;
        for (TdxTreeListNode* node = tree->GetFirstNode(); node; node = node->GetNext()) ++n;
        benchmark::DoNotOptimize(n);
    }
}
BENCHMARK(BM_TreeList_GetNextWalk)->Unit(benchmark::kMillisecond);

int WalkItems(const QStandardItem* item) {
    int n = 0;
    for (int r = 0; r < item->rowCount(); ++r) n += 1 + WalkItems(item->child(r));
    return n;
}

void BM_Qt_ItemWalk(benchmark::State& state) {
    auto model = DeepModel();
    for (auto _ : state) benchmark::DoNotOptimize(WalkItems(model->invisibleRootItem()));
}
BENCHMARK(BM_Qt_ItemWalk)->Unit(benchmark::kMillisecond);

// --- a search that finds nothing ------------------------------------------------------------------

void BM_TreeList_FailingSearch(benchmark::State& state) {
    auto tree = DeepTree(false);
    const std::string wanted = "Nováková Eva";
    for (auto _ : state) {
        std::string text;
        TdxTreeListNode* found = nullptr;
        for (TdxTreeListNode* node = tree->GetFirstNode(); node && !found; node = node->GetNext()) {
            tree->GetNodeString(node, 0, text);
            if (text == wanted) found = node;
        }
        benchmark::DoNotOptimize(found);
    }
}
BENCHMARK(BM_TreeList_FailingSearch)->Unit(benchmark::kMillisecond);

void BM_Qt_FailingFindItems(benchmark::State& state) {
    auto model = DeepModel();
    const QString wanted = QStringLiteral("Nováková Eva");
    for (auto _ : state) benchmark::DoNotOptimize(model->findItems(wanted, Qt::MatchExactly | Qt::MatchRecursive));
}
BENCHMARK(BM_Qt_FailingFindItems)->Unit(benchmark::kMillisecond);

// --- deleting a wide node -----------------------------------------------------------------------

void BM_TreeList_DeleteNodeWith50kChildren(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto tree = std::make_unique<TBenchTreeList>();
        tree->BeginUpdate();
        tree->Add()->SetStrings(0, "před");
        TdxTreeListNode* wide = tree->Add();
        for (int i = 0; i < kWideChildren; ++i) wide->AddChild()->SetStrings(0, Text(i));
        wide->SetExpanded(true);
        tree->Add()->SetStrings(0, "za");
        tree->EndUpdate();
        state.ResumeTiming();
        wide->Delete();
        benchmark::DoNotOptimize(tree->GetAbsoluteCount());
        state.PauseTiming();
        tree.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_TreeList_DeleteNodeWith50kChildren)->Unit(benchmark::kMillisecond);

void BM_Qt_RemoveRowWith50kChildren(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto model = std::make_unique<QStandardItemModel>();
        model->appendRow(new QStandardItem(QStringLiteral("před")));
        auto* wide = new QStandardItem(QStringLiteral("široký"));
        QList<QStandardItem*> children;
        for (int i = 0; i < kWideChildren; ++i) children.append(new QStandardItem(QString::fromStdString(Text(i))));
        wide->appendRows(children);
        model->appendRow(wide);
        model->appendRow(new QStandardItem(QStringLiteral("za")));
        state.ResumeTiming();
        model->removeRow(1);
        benchmark::DoNotOptimize(model->rowCount());
        state.PauseTiming();
        model.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Qt_RemoveRowWith50kChildren)->Unit(benchmark::kMillisecond);

// --- display index of the last node -------------------------------------------------------------

void BM_TreeList_LastNodeIndexFlat(benchmark::State& state) {
    auto tree = FlatTree();
    for (auto _ : state) benchmark::DoNotOptimize(tree->GetLastNode()->AbsoluteIndex());
}
BENCHMARK(BM_TreeList_LastNodeIndexFlat);

void BM_Qt_LastRowFlat(benchmark::State& state) {
    auto model = FlatModel();
    QStandardItem* root = model->invisibleRootItem();
    for (auto _ : state) benchmark::DoNotOptimize(root->child(root->rowCount() - 1)->row());
}
BENCHMARK(BM_Qt_LastRowFlat);

void BM_TreeList_LastNodeIndexExpandedTree(benchmark::State& state) {
    auto tree = DeepTree(true);
    for (auto _ : state) benchmark::DoNotOptimize(tree->GetLastNode()->AbsoluteIndex());
}
BENCHMARK(BM_TreeList_LastNodeIndexExpandedTree);

// Rows shown before an item in a fully expanded tree: every earlier sibling's subtree at each level.
int CountSubtree(const QStandardItem* item) {
    int n = 1;
    for (int r = 0; r < item->rowCount(); ++r) n += CountSubtree(item->child(r));
    return n;
}

int DisplayIndex(const QStandardItem* item, const QStandardItem* root) {
    int index = 0;
    for (const QStandardItem* i = item; i && i != root; i = i->parent() ? i->parent() : root) {
        const QStandardItem* parent = i->parent() ? i->parent() : root;
        for (int r = 0; r < i->row(); ++r) index += CountSubtree(parent->child(r));
        if (parent != root) ++index;
    }
    return index;
}

void BM_Qt_LastRowIndexExpandedTree(benchmark::State& state) {
    auto model = DeepModel();
    QStandardItem* root = model->invisibleRootItem();
    QStandardItem* last = root->child(root->rowCount() - 1);
    last = last->child(last->rowCount() - 1);
    for (auto _ : state) benchmark::DoNotOptimize(DisplayIndex(last, root));
}
BENCHMARK(BM_Qt_LastRowIndexExpandedTree)->Unit(benchmark::kMicrosecond);

}  // namespace
