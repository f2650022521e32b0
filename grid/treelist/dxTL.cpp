#include "grid/treelist/dxTL.h"

#include <cassert>
#include <functional>

#include "grid/editors/dxInplaceEdit.h"
#include "platform/classes/StringList.h"
#include "platform/gui/Clipboard.h"
#include "platform/gui/ImageList.h"
#include "platform/rtl/ScopeGuard.h"

KAROMIL_IMPLEMENT_CLASS(TCustomdxTreeList, TCustomdxContainer)

// --- lifetime ------------------------------------------------------------------------------------

TCustomdxTreeList::TCustomdxTreeList(TComponent* owner) : TCustomdxContainer(owner) {
    TControlStyle style = ControlStyle();
    style.Include(csCaptureMouse);
    style.Include(csOpaque);
    style.Include(csDoubleClicks);
    style.Include(csDisplayDragImage);
    SetControlStyle(style);
    SetBounds(GetLeft(), GetTop(), 250, 150);
    SetColor(clWindow);
    SetParentColor(false);
    SetTabStop(true);
    FBandFont = std::make_unique<TFont>();
    FHeaderFont = std::make_unique<TFont>();
    FPreviewFont = std::make_unique<TFont>();
    FPreviewFont->SetColor(clBlue);
    for (TFont* font : {FBandFont.get(), FHeaderFont.get(), FPreviewFont.get()})
        font->OnChange = [this](TObject*) { LayoutChanged(); };
    FImageLink = std::make_unique<TChangeLink>();
    FStateImageLink = std::make_unique<TChangeLink>();
    for (TChangeLink* link : {FImageLink.get(), FStateImageLink.get()})
        link->OnChange = [this](TObject*) {
            if (HandleAllocated()) LayoutChanged();
        };
}

TCustomdxTreeList::~TCustomdxTreeList() {
    Destroying();
    // The editor belongs to the window being torn down: nothing is posted any more.
    FEditNode = nullptr;
    FEditColumn = -1;
    FInplaceEdit = nullptr;
    ClearCaches();
    ClearNodes();
    for (TdxTreeListNode* node : FExtraNodes) node->Delete();
    FExtraNodes.clear();
    SetImages(nullptr);
    SetStateImages(nullptr);
}

void TCustomdxTreeList::SetImages(TCustomImageList* value) {
    if (FImages) FImages->UnRegisterChanges(FImageLink.get());
    ReplaceReference(this, FImages, value);
    if (FImages) FImages->RegisterChanges(FImageLink.get());
    if (!IsDestroying()) LayoutChanged();
}

void TCustomdxTreeList::SetStateImages(TCustomImageList* value) {
    if (FStateImages) FStateImages->UnRegisterChanges(FStateImageLink.get());
    ReplaceReference(this, FStateImages, value);
    if (FStateImages) FStateImages->RegisterChanges(FStateImageLink.get());
    if (!IsDestroying()) LayoutChanged();
}

void TCustomdxTreeList::Notification(TComponent* component, TOperation operation) {
    inherited::Notification(component, operation);
    if (operation != opRemove) return;
    if (component == FImages) SetImages(nullptr);
    if (component == FStateImages) SetStateImages(nullptr);
}

void TCustomdxTreeList::Loaded() {
    inherited::Loaded();
    LayoutChanged();
}

// --- root nodes ----------------------------------------------------------------------------------

TdxTreeListNode* TCustomdxTreeList::Items(int index) const noexcept {
    return index >= 0 && index < Count() ? FRoots[size_t(index)] : nullptr;
}

TdxTreeListNode* TCustomdxTreeList::GetFirstNode() const noexcept { return FRoots.empty() ? nullptr : FRoots.front(); }

TdxTreeListNode* TCustomdxTreeList::GetLastNode() const noexcept {
    TdxTreeListNode* node = FRoots.empty() ? nullptr : FRoots.back();
    while (node && node->GetExpanded() && node->Count()) node = node->GetLastChild();
    return node;
}

TdxTreeListNode* TCustomdxTreeList::Insert(TdxTreeListNode* before) {
    TdxTreeListNode* node = CreateNode();
    const int at = before && !before->GetParent() ? before->PositionIn(FRoots) : -1;
    if (at >= 0) FRoots.insert(FRoots.begin() + at, node);
    else FRoots.push_back(node);
    NodeAdded(node);
    return node;
}

void TCustomdxTreeList::ClearNodes() {
    const bool destroying = IsDestroying();
    if (!destroying) BeginUpdate();
    FClearingNodes = true;
    TryFinally(
        [&] {
            ClearCaches();
            FCacheClearLocked = true;
            ClearSelection();
            ClearNodeReferences();
            // Deliberate fix: the roots leave the tree before any of them is freed, so an
            // OnDeletion handler that reads Count, Items or walks the tree meets an empty tree
            // instead of freed nodes.
            TNodeList roots;
            roots.swap(FRoots);
            for (TdxTreeListNode* node : roots) node->Delete();
            std::vector<TdxTreeListNode*> extra;
            extra.swap(FExtraNodes);
            for (TdxTreeListNode* node : extra) node->Delete();
        },
        [&] {
            FCacheClearLocked = false;
            FClearingNodes = false;
            if (!destroying) EndUpdate();
        });
}

// --- update bracket ------------------------------------------------------------------------------

void TCustomdxTreeList::BeginUpdate() {
    ++FLockUpdate;
    // The release of a press in progress still counts as a click on the pressed row.
    if (FState == tsRowDown) FNewItemRowClicked = true;
    ForgetEditorCell(nullptr);
    FState = tsNormal;
    HideEditor();
    ClearCaches();
    BeginSelection();
}

void TCustomdxTreeList::EndUpdate() {
    --FLockUpdate;
    LayoutChanged();
    EndSelection();
}

void TCustomdxTreeList::UnlockUpdate() {
    --FLockUpdate;
    EndSelection();
}

void TCustomdxTreeList::LayoutChanged() {
    if (FLockUpdate != 0 || IsDestroying()) return;
    ++FLockUpdate;
    auto unlock = OnScopeExit([this] { --FLockUpdate; });
    // Metrics (fonts, panel heights, indicator, row height, images) come with the metrics code.
    ClearCaches();
    MetricsCalculated();
    UpdateScrollBars();
    RefreshVisibleNodes();
    LayoutRecalculated();
    if (!FCacheBuilt) RefreshVisibleNodes();
    RepaintAll();
}

void TCustomdxTreeList::RepaintAll() {
    if (HandleAllocated() && !IsDestroying()) Invalidate();
}

// --- node notifications --------------------------------------------------------------------------

void TCustomdxTreeList::NodeAdded(TdxTreeListNode* node) {
    ForgetEditorCell(nullptr);
    if (!IsDestroying()) CloseEditor();
    if (!FTopNode) SetTopVisibleNode(node);
    if (!FFocused) FFocused = FTopNode;
    if (FLockUpdate != 0) {
        CacheChangedWhileLocked();
        return;
    }
    if (!GetComponentState().Contains(csLoading) && !IsDestroying()) UpdateVisibleNode(node, node->IsVisible(), false);
    TdxTreeListNode* from = node->GetPrevSibling();
    if (!from) from = node->GetParent();
    InvalidateNode(from ? from : node, true);
}

void TCustomdxTreeList::NodeDeleted(
    TdxTreeListNode* node, TdxTreeListNode* prevNode, TdxTreeListNode* nextVisibleNode, bool isLast, bool wasVisible) {
    if (OnDeletion) OnDeletion(this, node);
    if (FClearingNodes) return;
    if (IsNodeSelected(node)) SetNodeSelected(node, false);
    if (FRoots.empty()) {
        if (!IsDestroying() && !FCacheClearLocked) ClearCaches();
        ClearNodeReferences();
        if (FLockUpdate == 0 && !IsDestroying()) {
            UpdateScrollBars();
            RepaintAll();
        }
        return;
    }
    TdxTreeListNode* candidate = nullptr;
    if (node == FTopNode) {
        SetTopVisibleNode(prevNode);
        if (!FTopNode) SetTopVisibleNode(nextVisibleNode);
        candidate = FTopNode;
    }
    if (node == FFocused) {
        FFocused = prevNode ? prevNode : nextVisibleNode;
        if (!candidate) candidate = FFocused;
    }
    if (FPressedNode == node) FPressedNode = nullptr;
    if (FDragNode == node) FDragNode = nullptr;
    if (FHotTrackNode == node) FHotTrackNode = nullptr;
    if (FSelectionAnchor == node) FSelectionAnchor = prevNode ? prevNode : nextVisibleNode;
    // The edited row itself is going: its value has nowhere to go.
    ForgetEditorCell(node);
    CloseEditor();
    if (FLockUpdate != 0) CacheChangedWhileLocked();
    else if (wasVisible && !IsDestroying()) UpdateVisibleNode(node, true, true);
    // Deliberate fix: the parent's new last child may carry what belonged to the removed last
    // child (its row footers), so its cached height is computed again, as insertion does.
    if (isLast)
        if (TdxTreeListNode* parent = node->GetParent(); parent && !parent->GetDeleting())
            if (TdxTreeListNode* last = parent->GetLastChild()) last->ResetCachedHeight();
    if (wasVisible) {
        TdxTreeListNode* from = candidate ? candidate : prevNode ? prevNode : nextVisibleNode;
        if (from && !from->GetDeleting()) InvalidateNode(from, true);
    }
}

bool TCustomdxTreeList::CanCollapseFocused(TdxTreeListNode* node) {
    FFocused = node;
    return true;
}

void TCustomdxTreeList::InvalidateNode(TdxTreeListNode* node, bool toBottom) {
    if (!node || node->GetDeleting() || FLockUpdate != 0 || IsDestroying() || !node->IsVisible()) return;
    if (!HandleAllocated()) return;
    if (toBottom) UpdateScrollBars();
    TRect r;
    GetNodeRect(node, r);
    if (r.Left == -1 && r.Top == -1) return;
    if (toBottom) {
        TRect rows;
        GetRowsRect(rows);
        r.Bottom = rows.Bottom;
    }
    InvalidateRect(WindowHandle(), &r, false);
}

void TCustomdxTreeList::GetRowsRect(TRect& rect) {
    // The header, band and footer panels come with the layout code; until then the rows fill
    // the client area.
    rect = GetClientRect();
}

void TCustomdxTreeList::GetNodeRect(TdxTreeListNode* node, TRect& rect) {
    rect = TRect(-1, -1, -1, -1);
    if (!node) return;
    TRect rows;
    GetRowsRect(rows);
    int y = rows.Top;
    for (TdxTreeListNode* n = FTopNode; n && y < rows.Bottom; n = GetNextVisibleNode(n)) {
        // Row heights per node come with the row-height code; one height for every row until then.
        const int h = FRowHeight;
        if (n == node) {
            rect = TRect(rows.Left, y, rows.Right, y + h);
            return;
        }
        y += h;
    }
}

void TCustomdxTreeList::ClearNodeReferences() {
    SetTopVisibleNode(nullptr);
    FFocused = nullptr;
    FEditNode = nullptr;
    FEditColumn = -1;
    FSelectionAnchor = nullptr;
    FExtendedSelection = false;
    FPressedNode = nullptr;
    FDragNode = nullptr;
    FHotTrackNode = nullptr;
}

void TCustomdxTreeList::SetTopVisibleNode(TdxTreeListNode* node) {
    FTopNode = node;
    if (OnChangeTopVisibleNode) OnChangeTopVisibleNode(this);
}

void TCustomdxTreeList::MakeNodeVisible(TdxTreeListNode* node) {
    if (!node) return;
    // Outermost collapsed ancestor first; a refused expansion leaves the node hidden.
    std::vector<TdxTreeListNode*> chain;
    for (TdxTreeListNode* p = node->GetParent(); p; p = p->GetParent()) chain.push_back(p);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        (*it)->SetExpanded(true);
        if (!(*it)->GetExpanded()) return;
    }
    // Scrolling the row into view comes with the scrolling code.
}

// --- focus ---------------------------------------------------------------------------------------

void TCustomdxTreeList::FocusNodeColumn(TdxTreeListNode* node, int column, bool makeVisible) {
    // The navigation code refines this (editor, search, column clamping); the node and column
    // are stored and their change events fire here.
    TdxTreeListNode* const old = FFocused;
    const int oldColumn = FFocusedColumn;
    FFocused = node;
    FFocusedColumn = column;
    if (node && makeVisible) MakeNodeVisible(node);
    if (FLockUpdate != 0) return;
    if (old != node) {
        InvalidateNode(old, false);
        InvalidateNode(node, false);
        DoChangeNode(old, node);
    }
    if (oldColumn != column) DoChangeColumn(node, column);
}

void TCustomdxTreeList::SetFocusedAbsoluteIndex(int index) {
    const int count = GetAbsoluteCount();
    if (count == 0) return;
    FocusNodeColumn(GetAbsoluteNode(std::clamp(index, 0, count - 1)), FFocusedColumn, true);
}

bool TCustomdxTreeList::IsFocusedOrEditing() { return Focused() || (FInplaceEdit && FInplaceEdit->Focused()); }

// --- state ---------------------------------------------------------------------------------------

void TCustomdxTreeList::SetState(TdxTreeListState value) {
    const TdxTreeListState old = FState;
    FState = value;
    if (value == tsEditing) {
        if (FInplaceEdit) FInplaceEdit->MoveCaretToEnd();
        FSearching = false;
    }
    // A form designer would be told of a sized or dragged layout here; this system has none.
    (void)old;
}

void TCustomdxTreeList::CancelState() {
    // Sizing, pressing and dragging states end with their clean-up in the input code.
    if (FState != tsEditing) FState = tsNormal;
}

// --- editor cell ---------------------------------------------------------------------------------

void TCustomdxTreeList::SetEditorCell(TdxInplaceEdit* editor, TdxTreeListNode* node, int column) {
    FInplaceEdit = editor;
    FEditNode = editor ? node : nullptr;
    FEditColumn = editor ? column : -1;
}

void TCustomdxTreeList::ForgetEditorCell(TdxTreeListNode* leaving) {
    // Deliberate fix: a modified value is posted before the cell is forgotten. Forgetting first
    // lost what the user typed whenever any node came or went or an update bracket opened.
    TdxTreeListNode* const node = FEditNode;
    bool rowStays = node != nullptr;
    for (TdxTreeListNode* p = node; p && rowStays; p = p->GetParent()) rowStays = p != leaving && !p->GetDeleting();
    if (FInplaceEdit && rowStays && FEditColumn != -1 && !IsDestroying() && FInplaceEdit->GetModified()) {
        try {
            FInplaceEdit->ValidateEdit();
            PostEditValue();
        } catch (const EdxEditInvalidInput&) {
            // The tree is changing under the editor: a value its own validation refuses cannot
            // be kept and is dropped with the cell.
        }
    }
    FEditNode = nullptr;
    FEditColumn = -1;
}

void TCustomdxTreeList::PostEditValue() {
    if (FEditColumn == -1 || !FEditNode || !FInplaceEdit) return;
    TdxTreeListNode* const node = FEditNode;
    if (FInplaceEdit->GetModified()) {
        Variant value;
        FInplaceEdit->GetEditValue(value);
        AssignEditValue(node, FEditColumn, value, FInplaceEdit);
        FInplaceEdit->SetModified(false);
    }
    DoEdited(node);
}

void TCustomdxTreeList::AssignEditValue(
    TdxTreeListNode* node, int column, const Variant& value, TdxInplaceEdit* editor) {
    (void)editor;
    SetNodeValue(node, column, value);
}

void TCustomdxTreeList::HideEditor() {
    // Validation before posting comes with the navigation code; here the editor is put away.
    if (FState == tsEditing) FState = tsNormal;
    if (!FInplaceEdit) return;
    auto forget = OnScopeExit([this] {
        FEditNode = nullptr;
        FEditColumn = -1;
    });
    if (!FInplaceEdit->GetComponentState().Contains(csDestroying)) PostEditValue();
    if (FInplaceEdit->IsShown()) FInplaceEdit->HideEdit();
}

void TCustomdxTreeList::DoExit() {
    inherited::DoExit();
    HideEditor();
}

TdxPopupBorder TCustomdxTreeList::GetEditorPopupBorder(TdxEditBorderStyle) { return IsFlat() ? pbSingle : pbFrame3D; }

// --- event dispatchers ---------------------------------------------------------------------------

void TCustomdxTreeList::DoCollapsed(TdxTreeListNode* node) {
    if (OnCollapsed) OnCollapsed(this, node);
}
void TCustomdxTreeList::DoEdited(TdxTreeListNode* node) {
    if (OnEdited) OnEdited(this, node);
}
void TCustomdxTreeList::DoExpanded(TdxTreeListNode* node) {
    if (OnExpanded) OnExpanded(this, node);
}
void TCustomdxTreeList::DoCollapsing(TdxTreeListNode* node, bool& allow) {
    if (OnCollapsing) OnCollapsing(this, node, allow);
}
void TCustomdxTreeList::DoEditing(TdxTreeListNode* node, bool& allow) {
    if (OnEditing) OnEditing(this, node, allow);
}
void TCustomdxTreeList::DoExpanding(TdxTreeListNode* node, bool& allow) {
    if (OnExpanding) OnExpanding(this, node, allow);
}
void TCustomdxTreeList::DoChangeColumn(TdxTreeListNode* node, int column) {
    if (OnChangeColumn) OnChangeColumn(this, node, column);
}
void TCustomdxTreeList::DoChangeLeftCoord() {
    if (OnChangeLeftCoord) OnChangeLeftCoord(this);
}
void TCustomdxTreeList::DoChangeNode(TdxTreeListNode* oldNode, TdxTreeListNode* node) {
    if (OnChangeNode) OnChangeNode(this, oldNode, node);
}
void TCustomdxTreeList::DoEditChange(TObject* sender) {
    if (OnEditChange) OnEditChange(sender);
}
void TCustomdxTreeList::DoEditValidate(TObject* sender, std::string& errorText, bool& accept) {
    if (OnEditValidate) OnEditValidate(sender, errorText, accept);
}
void TCustomdxTreeList::DoBeginDragNode(TdxTreeListNode* node) {
    if (OnBeginDragNode) OnBeginDragNode(this, node);
}
void TCustomdxTreeList::DoHotTrackNode(TdxTreeListNode* node) {
    if (OnHotTrackNode) OnHotTrackNode(this, node);
}

// --- node data: abstract here --------------------------------------------------------------------

namespace {
[[noreturn]] void AbstractCall() { throw EAbstractError("Abstract Error"); }
}  // namespace

TdxTreeListNode* TCustomdxTreeList::CreateNode() { AbstractCall(); }
int TCustomdxTreeList::GetNodeImageIndex(TdxTreeListNode*) { AbstractCall(); }
int TCustomdxTreeList::GetNodeSelectedIndex(TdxTreeListNode*) { AbstractCall(); }
int TCustomdxTreeList::GetNodeStateIndex(TdxTreeListNode*) { AbstractCall(); }
void TCustomdxTreeList::GetNodeValue(TdxTreeListNode*, int, Variant&) { AbstractCall(); }
void TCustomdxTreeList::GetNodeString(TdxTreeListNode*, int, std::string&) { AbstractCall(); }
void TCustomdxTreeList::SetNodeImageIndex(TdxTreeListNode*, int) { AbstractCall(); }
void TCustomdxTreeList::SetNodeSelectedIndex(TdxTreeListNode*, int) { AbstractCall(); }
void TCustomdxTreeList::SetNodeStateIndex(TdxTreeListNode*, int) { AbstractCall(); }
void TCustomdxTreeList::SetNodeString(TdxTreeListNode*, int, const std::string&) { AbstractCall(); }
void TCustomdxTreeList::SetNodeValue(TdxTreeListNode*, int, const Variant&) { AbstractCall(); }

void TCustomdxTreeList::GetNodeSortValue(TdxTreeListNode*, int, Variant& value) { value = std::string(); }

void TCustomdxTreeList::DeleteColumnData(TdxTreeListNode* node, int column) {
    if (auto* text = dynamic_cast<TdxTreeListTextNode*>(node)) text->DeleteString(column);
    for (int i = 0; i < node->Count(); ++i) DeleteColumnData(node->Items(i), column);
}

// --- row metrics ---------------------------------------------------------------------------------

int TCustomdxTreeList::GetColumnLineHeight(TCanvas* canvas, int header) {
    if (!canvas || !IsColumnFontAssigned(header)) return 0;
    canvas->SetFont(GetColumnFont(header));
    return canvas->TextHeight("Wg") + 3;
}

int TCustomdxTreeList::GetMaxColumnLineHeight(TCanvas* canvas) {
    int best = 0;
    for (int h = 0; h < GetHeaderCount(); ++h)
        if (IsHeaderVisible(h)) best = std::max(best, GetColumnLineHeight(canvas, h));
    return best;
}

int TCustomdxTreeList::GetRowLineCount(TdxTreeListNode* node, int& lineHeight) {
    // Measuring the tallest cell comes with the row-height code: one line of the text height.
    (void)node;
    lineHeight = FTextHeight;
    return 1;
}

int TCustomdxTreeList::GetPreviewLineCount(TdxTreeListNode* node) {
    // Counting a node's own preview lines comes with the row-height code.
    (void)node;
    return IsShowPreview() ? PreviewLines : 0;
}

// --- selection hooks -----------------------------------------------------------------------------

bool TCustomdxTreeList::CanNodeSelected(TdxTreeListNode* node) {
    bool allow = true;
    if (OnCanNodeSelected) OnCanNodeSelected(this, node, allow);
    if (!allow || IsExtMultiSelect()) return allow;
    TdxTreeListNode* first = GetSelectedCount() > 0 ? GetSelectedNode(0) : FSelectionAnchor;
    return !first || first->GetParent() == node->GetParent();
}

void TCustomdxTreeList::ClearSelection() {
    FRangeSelection = false;
    SelectedCountChanged();
}

int TCustomdxTreeList::CompareWithSelectionAnchor(TdxTreeListNode* node) {
    const int a = GetNodeAbsoluteIndex(node), b = GetNodeAbsoluteIndex(FSelectionAnchor);
    return (a > b) - (a < b);
}

void TCustomdxTreeList::SelectedCountChanged() {
    if (IsDestroying() || FSelectionLock != 0) return;
    if (OnSelectedCountChange) OnSelectedCountChange(this);
}

void TCustomdxTreeList::RepaintSelection() {
    const int count = GetSelectedCount();
    if (count > 10) {
        RepaintAll();
        return;
    }
    InvalidateNode(FFocused, false);
    for (int i = 0; i < count; ++i) InvalidateNode(GetSelectedNode(i), false);
}

void TCustomdxTreeList::SetNodeSelected(TdxTreeListNode*, bool) { SelectedCountChanged(); }

void TCustomdxTreeList::SelectRange(TdxTreeListNode* node1, TdxTreeListNode* node2) {
    if (!node1 || !node2) return;
    BeginSelection();
    TryFinally(
        [&] {
            if (GetNodeAbsoluteIndex(node1) > GetNodeAbsoluteIndex(node2)) std::swap(node1, node2);
            for (TdxTreeListNode* n = node1; n; n = GetNextVisibleNode(n)) {
                n->SetSelected(true);
                if (n == node2) break;
            }
        },
        [&] { EndSelection(); });
}

void TCustomdxTreeList::BeginSelection() {
    if (FSelectionLock == 0) FSelectionCount = GetSelectedCount();
    ++FSelectionLock;
}

void TCustomdxTreeList::EndSelection() {
    --FSelectionLock;
    if (FSelectionLock == 0 && GetSelectedCount() != FSelectionCount) SelectedCountChanged();
}

// Deliberate fix: a three-way comparison of identities. A difference of two addresses cut to 32
// bits may have the wrong sign, or be zero for two distinct nodes.
int TCustomdxTreeList::CompareEqualNodes(TdxTreeListNode* node1, TdxTreeListNode* node2) {
    const std::less<TdxTreeListNode*> less;
    return int(less(node2, node1)) - int(less(node1, node2));
}

// --- clipboard -----------------------------------------------------------------------------------

void TCustomdxTreeList::CopySelectedToClipboard() {
    TStringList list;
    SaveSelectedRowsToStrings(&list);
    Clipboard()->SetAsText(list.Text());
}
