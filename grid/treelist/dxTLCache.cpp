// The display-order cache of the tree list. Display order is depth-first pre-order through the
// root list, entering a node's children only while the node is expanded. The cache keeps:
//   - FVisibleNodes: every node in display order;
//   - FIdentity: the same nodes ordered by identity (address), each with its display index, so
//     that a node's display index is one bisection away.
// A single node added or removed outside an update bracket changes the cache in place; anything
// else rebuilds it. While the cache is empty every query walks the tree and gives the same answer.

#include <algorithm>
#include <functional>

#include "grid/treelist/dxTL.h"

namespace {
const std::less<const TdxTreeListNode*> kIdentityLess;
}

bool TCustomdxTreeList::IsVisibleCacheValid() const noexcept { return !FIdentity.empty() && !IsDestroying(); }

void TCustomdxTreeList::ClearCaches() {
    if (FCacheClearLocked) return;
    FCacheBuilt = false;
    FVisibleNodes.clear();
    FIdentity.clear();
    FFocusedAbsoluteColumn = -1;
    ResetNodeHeights();
}

void TCustomdxTreeList::ResetHeightsFrom(const TNodeList& list) {
    for (TdxTreeListNode* node : list) {
        node->ResetCachedHeight();
        if (node->FChildren) ResetHeightsFrom(*node->FChildren);
    }
}

void TCustomdxTreeList::ResetNodeHeights() {
    if (FClearingNodes || IsDestroying()) return;
    ResetHeightsFrom(FRoots);
}

void TCustomdxTreeList::RefreshVisibleNodes() {
    if (!FPendingNode) RebuildVisibleCache();
    else if (FPendingVisible && IsVisibleCacheValid()) {
        if (FPendingRemoval) CacheRemove(FPendingNode);
        else CacheInsert(FPendingNode);
    }
    if (!FCacheClearLocked && IsRowAutoHeight()) ResetNodeHeights();
    FCacheBuilt = true;
}

void TCustomdxTreeList::UpdateVisibleNode(TdxTreeListNode* node, bool visible, bool removal) {
    FPendingNode = node;
    FPendingVisible = FPendingVisible || visible;
    FPendingRemoval = removal;
    auto reset = [this] {
        FPendingNode = nullptr;
        FPendingVisible = false;
    };
    try {
        RefreshVisibleNodes();
    } catch (...) {
        reset();
        throw;
    }
    reset();
}

void TCustomdxTreeList::RebuildVisibleCache() {
    FVisibleNodes.clear();
    FVisibleNodes.reserve(FRoots.size());
    // An explicit stack: a deep tree must not exhaust the call stack.
    std::vector<std::pair<const TNodeList*, size_t>> stack;
    if (!FRoots.empty()) stack.emplace_back(&FRoots, 0);
    while (!stack.empty()) {
        auto& [list, at] = stack.back();
        if (at == list->size()) {
            stack.pop_back();
            continue;
        }
        TdxTreeListNode* node = (*list)[at++];
        FVisibleNodes.push_back(node);
        if (node->FExpanded && node->FChildren && !node->FChildren->empty())
            stack.emplace_back(node->FChildren.get(), 0);
    }
    FIdentity.resize(FVisibleNodes.size());
    for (size_t i = 0; i < FVisibleNodes.size(); ++i) FIdentity[i] = {FVisibleNodes[i], int(i)};
    std::sort(FIdentity.begin(), FIdentity.end(),
        [](const TIdentityEntry& a, const TIdentityEntry& b) { return kIdentityLess(a.Node, b.Node); });
}

int TCustomdxTreeList::CachedIndexOf(const TdxTreeListNode* node) const {
    // Painting and navigation ask for the same rows again and again: the last answer is tried
    // before the bisection.
    const int hint = node->FDisplayHint;
    if (hint >= 0 && hint < int(FVisibleNodes.size()) && FVisibleNodes[size_t(hint)] == node) return hint;
    auto it = std::lower_bound(FIdentity.begin(), FIdentity.end(), node,
        [](const TIdentityEntry& e, const TdxTreeListNode* n) { return kIdentityLess(e.Node, n); });
    if (it == FIdentity.end() || it->Node != node) return -1;
    node->FDisplayHint = it->Index;
    return it->Index;
}

namespace {
// The first node after node's subtree in pre-order: the next sibling of the node or of its
// nearest ancestor that has one.
TdxTreeListNode* FollowingSubtree(const TdxTreeListNode* node) {
    for (const TdxTreeListNode* n = node; n; n = n->GetParent())
        if (TdxTreeListNode* s = n->GetNextSibling()) return s;
    return nullptr;
}
}  // namespace

void TCustomdxTreeList::CacheInsert(TdxTreeListNode* node) {
    TdxTreeListNode* const following = FollowingSubtree(node);
    int at = following ? CachedIndexOf(following) : -1;
    if (at < 0) at = int(FVisibleNodes.size());
    for (TIdentityEntry& e : FIdentity)
        if (e.Index >= at) ++e.Index;
    auto it = std::lower_bound(FIdentity.begin(), FIdentity.end(), node,
        [](const TIdentityEntry& e, const TdxTreeListNode* n) { return kIdentityLess(e.Node, n); });
    FIdentity.insert(it, {node, at});
    FVisibleNodes.insert(FVisibleNodes.begin() + at, node);
    // The parent's previous last child may have drawn what now belongs to the new last child.
    if (TdxTreeListNode* parent = node->GetParent(); parent && parent->Count() > 1 && parent->GetLastChild() == node)
        parent->Items(parent->Count() - 2)->ResetCachedHeight();
}

void TCustomdxTreeList::CacheRemove(TdxTreeListNode* node) {
    auto it = std::lower_bound(FIdentity.begin(), FIdentity.end(), node,
        [](const TIdentityEntry& e, const TdxTreeListNode* n) { return kIdentityLess(e.Node, n); });
    if (it == FIdentity.end() || it->Node != node) return;
    const int at = it->Index;
    FIdentity.erase(it);
    for (TIdentityEntry& e : FIdentity)
        if (e.Index > at) --e.Index;
    FVisibleNodes.erase(FVisibleNodes.begin() + at);
}

void TCustomdxTreeList::CacheChangedWhileLocked() {
    // Deliberate fix: a cache rebuilt inside an update bracket (a node move does that) would
    // otherwise answer from the old tree after any later change inside the same bracket, and
    // keep rows of freed nodes. Emptying it makes the queries walk until the bracket closes.
    if (!FIdentity.empty() && !FCacheClearLocked) ClearCaches();
}

void TCustomdxTreeList::DropSubtreeFromCache(TdxTreeListNode* node) {
    // Deliberate fix: the rows of a subtree leave the cache with their top node. Its children,
    // freed first, are told to the owner as not visible (their parent is going), so the cache
    // would otherwise keep entries of freed nodes.
    if (!node->FExpanded || !node->Count() || FLockUpdate != 0 || !IsVisibleCacheValid()) return;
    const int at = CachedIndexOf(node);
    if (at < 0) return;
    TdxTreeListNode* const following = FollowingSubtree(node);
    int end = following ? CachedIndexOf(following) : -1;
    if (end < 0) end = int(FVisibleNodes.size());
    const int first = at + 1, count = end - first;
    if (count <= 0) return;
    FVisibleNodes.erase(FVisibleNodes.begin() + first, FVisibleNodes.begin() + end);
    size_t out = 0;
    for (const TIdentityEntry& e : FIdentity) {
        if (e.Index >= first && e.Index < end) continue;
        FIdentity[out++] = {e.Node, e.Index >= end ? e.Index - count : e.Index};
    }
    FIdentity.resize(out);
}

// --- queries -------------------------------------------------------------------------------------

int TCustomdxTreeList::GetAbsoluteCount() const {
    if (IsVisibleCacheValid()) return int(FVisibleNodes.size());
    int count = 0;
    for (const TdxTreeListNode* n = GetFirstNode(); n; n = WalkNextVisible(n)) ++count;
    return count;
}

int TCustomdxTreeList::GetNodeAbsoluteIndex(const TdxTreeListNode* node) const {
    if (!node || FRoots.empty()) return -1;
    if (IsVisibleCacheValid()) return CachedIndexOf(node);
    return WalkIndexOf(node);
}

int TCustomdxTreeList::WalkIndexOf(const TdxTreeListNode* node) const {
    if (!node->IsVisible()) return -1;
    int index = 0;
    for (const TdxTreeListNode* n = GetFirstNode(); n; n = WalkNextVisible(n), ++index)
        if (n == node) return index;
    return -1;
}

TdxTreeListNode* TCustomdxTreeList::GetAbsoluteNode(int index) const {
    if (index < 0) return nullptr;
    if (IsVisibleCacheValid()) return index < int(FVisibleNodes.size()) ? FVisibleNodes[size_t(index)] : nullptr;
    TdxTreeListNode* n = GetFirstNode();
    for (int i = 0; n && i < index; ++i) n = WalkNextVisible(n);
    return n;
}

TdxTreeListNode* TCustomdxTreeList::WalkNextVisible(const TdxTreeListNode* node) {
    if (node->FExpanded && node->Count()) return node->GetFirstChild();
    return FollowingSubtree(node);
}

TdxTreeListNode* TCustomdxTreeList::GetNextVisibleNode(const TdxTreeListNode* node) const {
    if (!node) return nullptr;
    if (IsVisibleCacheValid()) {
        const int at = CachedIndexOf(node);
        if (at >= 0) return at + 1 < int(FVisibleNodes.size()) ? FVisibleNodes[size_t(at) + 1] : nullptr;
    }
    return WalkNextVisible(node);
}

TdxTreeListNode* TCustomdxTreeList::GetPrevVisibleNode(const TdxTreeListNode* node) const {
    if (!node) return nullptr;
    if (IsVisibleCacheValid()) {
        const int at = CachedIndexOf(node);
        if (at >= 0) return at > 0 ? FVisibleNodes[size_t(at) - 1] : nullptr;
    }
    TdxTreeListNode* p = node->GetPrevSibling();
    if (!p) return node->GetParent();
    while (p->FExpanded && p->Count()) p = p->GetLastChild();
    return p;
}
