#include "grid/treelist/dxTLNode.h"

#include <algorithm>
#include <cassert>

#include "grid/treelist/dxTL.h"
#include "grid/treelist/dxTLStrings.h"
#include "platform/rtl/ScopeGuard.h"

KAROMIL_IMPLEMENT_CLASS(TdxTreeListNode, TObject)
KAROMIL_IMPLEMENT_CLASS(TdxTreeListTextNode, TdxTreeListNode)

TdxTreeListNode::TdxTreeListNode(TCustomdxTreeList* owner) : FOwner(owner) {
    if (!owner) throw EInvaliddxTreeListOperation(dxTLLoadStr(dxSInvalidOwner));
}

TdxTreeListNode::~TdxTreeListNode() = default;

void TdxTreeListNode::Delete() {
    // The owner hears of the node while it is still whole (its data readable by OnDeletion);
    // the memory goes last, on every path.
    auto free = OnScopeExit([this] { delete this; });
    TCustomdxTreeList* const owner = FOwner;
    FDeleting = true;
    if (!owner->IsClearingNodes()) owner->DropSubtreeFromCache(this);
    DeleteChildren();

    const bool clearing = owner->IsClearingNodes();
    TdxTreeListNode* prev = nullptr;
    TdxTreeListNode* nextVisible = nullptr;
    bool isLast = false, wasVisible = false;
    if (!clearing) {
        prev = GetPrevSibling();
        if (!prev) prev = FParent;
        nextVisible = owner->GetNextVisibleNode(this);
        isLast = IsLast();
        // A row under a parent that is itself going is no row of its own any more.
        wasVisible = IsVisible() && !(FParent && FParent->FDeleting);
    }

    if (FParent) {
        TNodeList& list = *FParent->FChildren;
        list.erase(list.begin() + PositionIn(list));
        if (list.empty()) FParent->ChildListEmptied();
    } else if (!clearing) {
        // While the owner clears all nodes it has emptied its root list itself; a node kept
        // outside the tree stands in no list.
        TNodeList& list = owner->FRoots;
        if (const int at = PositionIn(list); at >= 0) list.erase(list.begin() + at);
    }
    owner->NodeDeleted(this, prev, nextVisible, isLast, wasVisible);
}

// --- computed properties -------------------------------------------------------------------------

TdxTreeListNode* TdxTreeListNode::Items(int index) const noexcept {
    return index >= 0 && index < Count() ? (*FChildren)[size_t(index)] : nullptr;
}

TdxTreeListNode::TNodeList& TdxTreeListNode::SiblingList() const {
    return FParent ? *FParent->FChildren : FOwner->FRoots;
}

int TdxTreeListNode::PositionIn(const TNodeList& list) const {
    const int n = int(list.size());
    const int h = FPositionHint;
    if (h >= 0 && h < n && list[size_t(h)] == this) return h;
    // Removals from the front and appends at the back are the common changes.
    if (n > 0 && list.front() == this) return FPositionHint = 0;
    if (n > 0 && list.back() == this) return FPositionHint = n - 1;
    int found = -1;
    for (int i = 0; i < n; ++i) {
        list[size_t(i)]->FPositionHint = i;
        if (list[size_t(i)] == this) found = i;
    }
    return found;
}

int TdxTreeListNode::Index() const { return PositionIn(SiblingList()); }

int TdxTreeListNode::Level() const noexcept {
    int level = 0;
    for (const TdxTreeListNode* p = FParent; p; p = p->FParent) ++level;
    return level;
}

int TdxTreeListNode::AbsoluteIndex() const { return FOwner->GetNodeAbsoluteIndex(this); }

bool TdxTreeListNode::IsVisible() const noexcept {
    for (const TdxTreeListNode* p = FParent; p; p = p->FParent)
        if (!p->FExpanded) return false;
    return true;
}

bool TdxTreeListNode::IsLast() const {
    const TNodeList& list = SiblingList();
    return !list.empty() && list.back() == this;
}

int TdxTreeListNode::ImageIndex() const { return FOwner->GetNodeImageIndex(const_cast<TdxTreeListNode*>(this)); }
int TdxTreeListNode::SelectedIndex() const { return FOwner->GetNodeSelectedIndex(const_cast<TdxTreeListNode*>(this)); }
int TdxTreeListNode::StateIndex() const { return FOwner->GetNodeStateIndex(const_cast<TdxTreeListNode*>(this)); }

Variant TdxTreeListNode::Values(int column) const {
    Variant v;
    FOwner->GetNodeValue(const_cast<TdxTreeListNode*>(this), column, v);
    return v;
}

std::string TdxTreeListNode::Strings(int column) const {
    std::string text;
    FOwner->GetNodeString(const_cast<TdxTreeListNode*>(this), column, text);
    return text;
}

void TdxTreeListNode::SetStrings(int column, const std::string& text) { FOwner->SetNodeString(this, column, text); }

bool TdxTreeListNode::Focused() const { return FOwner->GetFocusedNode() == this; }

void TdxTreeListNode::SetFocused(bool value) {
    if (value == Focused()) return;
    FOwner->FocusNodeColumn(value ? this : nullptr, FOwner->GetFocusedColumn(), true);
}

bool TdxTreeListNode::Selected() const {
    if (!FOwner->IsMultiSelect()) return Focused();
    return FOwner->IsNodeSelected(const_cast<TdxTreeListNode*>(this));
}

void TdxTreeListNode::SetSelected(bool value) { FOwner->SetNodeSelected(this, value); }

void TdxTreeListNode::SetHasChildren(bool value) {
    if (value == FHasChildren) return;
    FHasChildren = value || Count() > 0;
    FOwner->InvalidateNode(this, false);
}

// --- building ------------------------------------------------------------------------------------

TdxTreeListNode* TdxTreeListNode::InsertChild(TdxTreeListNode* before) {
    TdxTreeListNode* node = FOwner->CreateNode();
    node->FParent = this;
    if (!FChildren) {
        FChildren = std::make_unique<TNodeList>();
        FChildren->push_back(node);
    } else {
        const int at = before && before->FParent == this ? before->PositionIn(*FChildren) : -1;
        if (at >= 0) FChildren->insert(FChildren->begin() + at, node);
        else FChildren->push_back(node);
    }
    SetHasChildren(true);
    FOwner->NodeAdded(node);
    return node;
}

void TdxTreeListNode::AddToRootList() {
    FOwner->FRoots.push_back(this);
    FOwner->CacheChangedWhileLocked();
}

void TdxTreeListNode::MoveRootTo(int rootIndex, TdxTreeListNode* newParent) {
    TNodeList& roots = FOwner->FRoots;
    assert(rootIndex >= 0 && rootIndex < int(roots.size()) && roots[size_t(rootIndex)] == this);
    roots.erase(roots.begin() + rootIndex);
    if (!newParent->FChildren) newParent->FChildren = std::make_unique<TNodeList>();
    newParent->FChildren->push_back(this);
    newParent->FHasChildren = true;
    FParent = newParent;
    FOwner->CacheChangedWhileLocked();
}

void TdxTreeListNode::MoveChildrenToRoot() {
    if (FChildren) {
        for (TdxTreeListNode* child : *FChildren) {
            child->FParent = nullptr;
            FOwner->FRoots.push_back(child);
        }
        FChildren.reset();
    }
    FHasChildren = FOwner->GetNodeHasChildren(this);
    FExpanded = false;
    FOwner->StoreFocusedNode(this);
    FOwner->CacheChangedWhileLocked();
}

// --- moving --------------------------------------------------------------------------------------

bool TdxTreeListNode::CanMove(TdxTreeListNode* destination, TdxTreeListNodeAttachMode mode) const {
    if (!destination) return false;
    if (destination == this && (mode == natAddChild || mode == natAddChildFirst || mode == natInsert)) return false;
    return !destination->HasAsParent(this);
}

void TdxTreeListNode::Detach() {
    if (FParent) {
        TNodeList& list = *FParent->FChildren;
        list.erase(list.begin() + PositionIn(list));
        if (list.empty()) FParent->ChildListEmptied();
    } else {
        TNodeList& list = FOwner->FRoots;
        list.erase(list.begin() + PositionIn(list));
    }
    FParent = nullptr;
}

void TdxTreeListNode::ChildListEmptied() {
    FChildren.reset();
    SetHasChildren(FOwner->GetNodeHasChildren(this));
    FExpanded = false;
}

void TdxTreeListNode::MoveTo(TdxTreeListNode* destination, TdxTreeListNodeAttachMode mode) {
    if (!CanMove(destination, mode)) return;
    // Deliberate fix: a node moved beside itself (natAdd or natAddFirst onto itself) stays in
    // its own sibling list. Reading the destination's parent after the node has left it would
    // send a child node to the root list.
    TdxTreeListNode* const siblingParent = destination == this ? FParent : nullptr;
    TCustomdxTreeList* const owner = FOwner;
    owner->BeginUpdate();
    TryFinally(
        [&] {
            Detach();
            const bool besideSelf = destination == this;
            if (mode == natAdd || mode == natAddFirst || mode == natInsert) {
                TdxTreeListNode* const parent = besideSelf ? siblingParent : destination->FParent;
                if (parent && !parent->FChildren) parent->FChildren = std::make_unique<TNodeList>();
                TNodeList& list = parent ? *parent->FChildren : owner->FRoots;
                if (mode == natAdd) list.push_back(this);
                else if (mode == natAddFirst) list.push_front(this);
                else list.insert(list.begin() + destination->PositionIn(list), this);
                FParent = parent;
                if (parent) parent->FHasChildren = true;
            } else {
                if (!destination->FChildren) destination->FChildren = std::make_unique<TNodeList>();
                if (mode == natAddChild) destination->FChildren->push_back(this);
                else destination->FChildren->push_front(this);
                FParent = destination;
                destination->FHasChildren = true;
            }
            owner->StoreFocusedNode(this);
            owner->RefreshVisibleNodes();
            MakeVisible();
        },
        [&] { owner->EndUpdate(); });
}

// --- expanding -----------------------------------------------------------------------------------

void TdxTreeListNode::SetExpanded(bool value) {
    if (!FHasChildren || value == FExpanded) return;
    bool allow = true;
    if (value) FOwner->DoExpanding(this, allow);
    else FOwner->DoCollapsing(this, allow);
    if (!allow) return;
    if (!value) {
        TdxTreeListNode* const top = FOwner->GetTopVisibleNode();
        if (top && top->HasAsParent(this)) FOwner->SetTopVisibleNode(this);
        TdxTreeListNode* const focused = FOwner->GetFocusedNode();
        if (focused && focused->HasAsParent(this) && !FOwner->CanCollapseFocused(this)) return;
    }
    FExpanded = value;
    if (!FOwner->IsDestroying()) {
        if (FOwner->IsUpdating()) FOwner->CacheChangedWhileLocked();
        else FOwner->RefreshVisibleNodes();
    }
    FOwner->InvalidateNode(this, true);
    if (value) FOwner->DoExpanded(this);
    else FOwner->DoCollapsed(this);
}

void TdxTreeListNode::Expand(bool recurse) {
    TCustomdxTreeList* const owner = FOwner;
    const bool bracket = !owner->IsUpdating();
    if (bracket) owner->BeginUpdate();
    TryFinally(
        [&] {
            if (!FHasChildren) return;
            SetExpanded(true);
            if (recurse)
                for (int i = 0; i < Count(); ++i) (*FChildren)[size_t(i)]->Expand(true);
        },
        [&] {
            if (bracket) owner->EndUpdate();
        });
}

// --- walking -------------------------------------------------------------------------------------

TdxTreeListNode* TdxTreeListNode::GetFirstChild() const noexcept { return Count() ? FChildren->front() : nullptr; }
TdxTreeListNode* TdxTreeListNode::GetLastChild() const noexcept { return Count() ? FChildren->back() : nullptr; }

TdxTreeListNode* TdxTreeListNode::GetNextSibling() const {
    const TNodeList& list = SiblingList();
    const int i = PositionIn(list);
    if (i < 0 || i + 1 >= int(list.size())) return nullptr;
    TdxTreeListNode* next = list[size_t(i) + 1];
    next->FPositionHint = i + 1;
    return next;
}

TdxTreeListNode* TdxTreeListNode::GetPrevSibling() const {
    const TNodeList& list = SiblingList();
    const int i = PositionIn(list);
    if (i <= 0) return nullptr;
    TdxTreeListNode* prev = list[size_t(i) - 1];
    prev->FPositionHint = i - 1;
    return prev;
}

int TdxTreeListNode::IndexOf(const TdxTreeListNode* child) const {
    if (!FChildren || !child || child->FParent != this) return -1;
    return child->PositionIn(*FChildren);
}

TdxTreeListNode* TdxTreeListNode::GetNext() const {
    if (Count()) {
        TdxTreeListNode* first = FChildren->front();
        first->FPositionHint = 0;
        return first;
    }
    // A walk meets siblings in order: the remembered position usually holds.
    const TNodeList& list = SiblingList();
    const size_t h = size_t(FPositionHint);
    if (h + 1 < list.size() && list[h] == this) {
        TdxTreeListNode* next = list[h + 1];
        next->FPositionHint = int(h) + 1;
        return next;
    }
    for (const TdxTreeListNode* n = this; n; n = n->FParent)
        if (TdxTreeListNode* s = n->GetNextSibling()) return s;
    return nullptr;
}

TdxTreeListNode* TdxTreeListNode::GetPrev() const {
    TdxTreeListNode* p = GetPrevSibling();
    if (!p) return FParent;
    while (p->Count()) p = p->FChildren->back();
    return p;
}

TdxTreeListNode* TdxTreeListNode::GetNextVisible() const { return FOwner->GetNextVisibleNode(this); }

TdxTreeListNode* TdxTreeListNode::GetPrevVisible() const { return FOwner->GetPrevVisibleNode(this); }

bool TdxTreeListNode::HasAsParent(const TdxTreeListNode* node) const noexcept {
    if (!node) return false;
    for (const TdxTreeListNode* p = FParent; p; p = p->FParent)
        if (p == node) return true;
    return false;
}

void TdxTreeListNode::MakeVisible() { FOwner->MakeNodeVisible(this); }

void TdxTreeListNode::DeleteChildren() {
    if (!FChildren) return;
    if (FOwner->IsClearingNodes()) {
        // Nobody is told of single nodes while everything goes: free the list in one go.
        std::unique_ptr<TNodeList> children = std::move(FChildren);
        for (TdxTreeListNode* child : *children) {
            child->FParent = nullptr;
            child->Delete();
        }
        return;
    }
    // One at a time from the front: each unlinks itself, so the tree stays whole for the
    // handlers of OnDeletion.
    while (FChildren && !FChildren->empty()) FChildren->front()->Delete();
}

// --- text node -----------------------------------------------------------------------------------

const std::string& TdxTreeListTextNode::GetString(int column) const {
    static const std::string empty;
    return column >= 0 && column < int(FStrings.size()) ? FStrings[size_t(column)] : empty;
}

void TdxTreeListTextNode::SetString(int column, const std::string& text) {
    if (column < 0) return;
    if (column >= int(FStrings.size())) FStrings.resize(size_t(column) + 1);
    FStrings[size_t(column)] = text;
}

void TdxTreeListTextNode::DeleteString(int column) {
    if (column >= 0 && column < int(FStrings.size())) FStrings.erase(FStrings.begin() + column);
}
