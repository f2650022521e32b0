#pragma once
// TCustomdxTreeList: the abstract tree-list control. A window that shows nodes (dxTLNode.h) as
// rows under a header of columns grouped into bands; it hosts at most one in-place editor
// (TCustomdxContainer, grid/editors/dxCntner.h).
//
// The class is a skeleton of overridable operations: every question that layout, painting,
// input and editing ask about bands, headers, cells, options, sorting, dragging and selection
// goes through one of them. This base answers with neutral defaults (no bands, no columns,
// empty texts, option bits); the column-owning control answers from its columns, the
// data-aware grid overrides most of them again. The node-data operations are abstract here:
// calling one on a class that does not override it raises EAbstractError.
//
// What this file implements: construction and defaults, the root-node list, the update
// bracket, the node notifications that keep focus and references valid when nodes come and
// go, the display-order cache (dxTLCache.cpp) and the event dispatchers. Operations whose
// behaviour belongs to the layout, painting, scrolling, input and editing code are declared
// here with empty bodies until that code exists; each says so.
//
// Coordinates are client pixels at 96 dpi. GUI thread only.

#include <algorithm>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "grid/editors/dxCntner.h"
#include "grid/treelist/dxTLNode.h"
#include "platform/gui/Graphics.h"
#include "platform/gui/StdCtrls.h"

class TdxInplaceEdit;
class TdxTreeListColumn;
class TCustomImageList;
class TChangeLink;
class TStrings;

// --- records and enumerations shared by the tree-list family ------------------------------------

// The control's state (which press, sizing or drag is in progress).
enum TdxTreeListState : uint8_t {
    tsNormal,
    tsColumnSizing,
    tsEditing,
    tsColumnDown,
    tsColumnDragging,
    tsBandDown,
    tsRowDown,
    tsNodeDown,
    tsBandSizing,
    tsBandDragging,
    tsBandButtonDown,
    tsHeaderButtonDown,
    tsRowSizing,
    tsNodeDragging,
    tsColumnDropDown,
    tsFilterButtonDown,
};

enum TdxTreeListColumnSort { csNone, csUp, csDown };
enum TdxLookAndFeel { lfStandard, lfFlat, lfUltraFlat };

using TdxTreeListNodeEvent = std::function<void(TObject* sender, TdxTreeListNode* node)>;
using TdxTreeListAllowEvent = std::function<void(TObject* sender, TdxTreeListNode* node, bool& allow)>;
using TdxTreeListChangeNodeEvent =
    std::function<void(TObject* sender, TdxTreeListNode* oldNode, TdxTreeListNode* node)>;
using TdxTreeListChangeColumnEvent = std::function<void(TObject* sender, TdxTreeListNode* node, int column)>;
using TdxTreeListEditValidateEvent = std::function<void(TObject* sender, std::string& errorText, bool& accept)>;
using TdxTreeListCompareEvent =
    std::function<void(TObject* sender, TdxTreeListNode* node1, TdxTreeListNode* node2, int& compare)>;

// --- the control ---------------------------------------------------------------------------------

class TCustomdxTreeList : public TCustomdxContainer {
    KAROMIL_CLASS(TCustomdxTreeList, TCustomdxContainer)
public:
    explicit TCustomdxTreeList(TComponent* owner);
    ~TCustomdxTreeList() override;

    // --- root nodes
    int Count() const noexcept { return int(FRoots.size()); }
    TdxTreeListNode* Items(int index) const noexcept;  // nullptr out of range
    TdxTreeListNode* GetFirstNode() const noexcept;
    // The last node in display order (last root, then last child while expanded).
    TdxTreeListNode* GetLastNode() const noexcept;
    TdxTreeListNode* Add() { return Insert(nullptr); }
    // Before `before` (a root node), or last when nullptr.
    TdxTreeListNode* Insert(TdxTreeListNode* before);
    // Frees every node; OnDeletion fires for each, children before parents.
    void ClearNodes();

    // --- update bracket
    // While held: no cache maintenance, no repaint, no layout pass. Opening it ends an edit.
    void BeginUpdate();
    // The outermost close runs one layout pass and one selection-count check.
    void EndUpdate();
    // Closes a bracket without a layout pass.
    void UnlockUpdate();
    int GetUpdateLock() const noexcept { return FLockUpdate; }
    bool IsUpdating() const noexcept { return FLockUpdate != 0; }
    virtual void LayoutChanged();
    void Loaded() override;

    // --- display order (cached; the answers are the same without the cache)
    int GetAbsoluteCount() const;
    int GetNodeAbsoluteIndex(const TdxTreeListNode* node) const;  // -1 for nil or hidden
    TdxTreeListNode* GetAbsoluteNode(int index) const;  // nullptr out of range
    TdxTreeListNode* GetNextVisibleNode(const TdxTreeListNode* node) const;
    // The entry before node in display order; nullptr for the first.
    TdxTreeListNode* GetPrevVisibleNode(const TdxTreeListNode* node) const;
    bool IsVisibleCacheValid() const noexcept;
    // Row rectangle among the rows shown; (-1, -1, -1, -1) when not among them.
    void GetNodeRect(TdxTreeListNode* node, TRect& rect);

    // Expands the node's collapsed ancestors (each may refuse) and scrolls its row into view.
    void MakeNodeVisible(TdxTreeListNode* node);

    // --- focus, top row, state
    TdxTreeListNode* GetFocusedNode() const noexcept { return FFocused; }
    void SetFocusedNode(TdxTreeListNode* node) { FocusNodeColumn(node, GetFocusedColumn(), true); }
    int GetFocusedColumn() const noexcept { return FFocusedColumn; }
    TdxTreeListNode* GetTopVisibleNode() const noexcept { return FTopNode; }
    TdxTreeListState GetState() const noexcept { return FState; }
    void SetState(TdxTreeListState value);
    TdxTreeListNode* GetSelectionAnchor() const noexcept { return FSelectionAnchor; }
    TdxTreeListNode* GetPressedNode() const noexcept { return FPressedNode; }
    TdxTreeListNode* GetDragNode() const noexcept { return FDragNode; }
    TdxTreeListNode* GetHotTrackNode() const noexcept { return FHotTrackNode; }
    bool IsClearingNodes() const noexcept { return FClearingNodes; }
    bool IsDestroying() const noexcept { return GetComponentState().Contains(csDestroying); }

    // --- editor cell (the editor itself is hosted by the editing code)
    TdxInplaceEdit* GetInplaceEdit() const noexcept { return FInplaceEdit; }
    TdxTreeListNode* GetEditingNode() const noexcept { return FEditNode; }
    int GetEditingColumn() const noexcept { return FEditColumn; }
    // Makes editor the hosted editor of the cell (node, column); nil forgets the cell.
    void SetEditorCell(TdxInplaceEdit* editor, TdxTreeListNode* node, int column);

    // Nodes kept outside the tree (a descendant's new-item and footer nodes); owned here.
    std::vector<TdxTreeListNode*>& ExtraNodes() noexcept { return FExtraNodes; }

    // Text of the selected rows on the clipboard, lines ended by CR LF.
    void CopySelectedToClipboard();

    // --- properties (constructor defaults; a descendant publishes them)
    uint32_t Options = 0x37;
    uint32_t OptionsEx = 0x303E;
    TColor ArrowsColor = 65280;
    bool AutoExpandOnSearch = true;
    TColor AutoSearchColor = clNone, AutoSearchTextColor = clNone;
    TColor BandColor = clBtnFace, HeaderColor = clBtnFace, GroupNodeColor = clBtnFace;
    TBorderStyle BorderStyle = bsSingle;
    int CustomizingRowCount = 11;
    bool DblClkExpanding = true;
    TColor FixedBandLineColor = clWindowFrame;
    int FixedBandLineWidth = 2;
    TColor GridLineColor = clNone, GroupNodeTextColor = clNone;
    int GrIndicatorWidth = 12;
    bool HideFocusRect = true, HideSelection = true;
    TColor HideSelectionColor = clBtnFace, HideSelectionTextColor = clBtnText;
    TColor HighlightColor = clHighlight, HighlightTextColor = clHighlightText;
    int IndentDesc = 20;
    TdxLookAndFeel LookAndFeel = lfStandard;
    int MaxRowLineCount = -1;
    int PreviewLines = 2;
    TColor RowFooterColor = cl3DLight, RowFooterTextColor = clWindowText;
    TScrollStyle ScrollBars = ssBoth;
    bool ShowBands = false;
    bool ShowGrid = true, ShowPreviewGrid = true;
    // (A method of the customizing hooks is named ShowHeader, hence the accessors.)
    bool GetShowHeader() const noexcept { return FShowHeader; }
    void SetShowHeader(bool v) noexcept { FShowHeader = v; }
    bool ShowNewItemRow = false, ShowRowFooter = false, SimpleCustomizeBox = false, ShowHiddenInCustomizeBox = false;
    int WaitForExpandNodeTime = 500;  // milliseconds
    int GetRowSeparatorLineWidthValue() const noexcept { return std::max(FRowSeparatorLineWidth, 1); }
    void SetRowSeparatorLineWidth(int v) noexcept { FRowSeparatorLineWidth = v; }
    int DefaultRowHeight = 0;
    TFont* GetBandFont() const noexcept { return FBandFont.get(); }
    TFont* GetHeaderFont() const noexcept { return FHeaderFont.get(); }
    TFont* GetPreviewFont() const noexcept { return FPreviewFont.get(); }
    TCustomImageList* GetImages() const noexcept { return FImages; }
    void SetImages(TCustomImageList* value);
    TCustomImageList* GetStateImages() const noexcept { return FStateImages; }
    void SetStateImages(TCustomImageList* value);
    bool IsFlat() const noexcept { return LookAndFeel != lfStandard; }

    // --- events
    TdxTreeListNodeEvent OnCollapsed, OnEdited, OnExpanded, OnDeletion, OnBeginDragNode;
    TdxTreeListAllowEvent OnCollapsing, OnEditing, OnExpanding, OnCanNodeSelected;
    TdxTreeListChangeColumnEvent OnChangeColumn;  // column: the visible index
    TNotifyEvent OnChangeLeftCoord, OnChangeTopVisibleNode, OnSelectedCountChange, OnEndColumnsCustomizing;
    TdxTreeListChangeNodeEvent OnChangeNode;
    TNotifyEvent OnEditChange;  // sender: the column whose editor changed
    TdxTreeListEditValidateEvent OnEditValidate;  // sender: the column
    TdxTreeListCompareEvent OnCompare;
    TdxTreeListNodeEvent OnHotTrackNode;

    // ============================================================================================
    // Overridable operations, in declaration order.
    // ============================================================================================

    // --- state, cache and notification hooks
    virtual void CancelState();
    virtual bool CanScroll() { return true; }
    virtual void NodeAdded(TdxTreeListNode* node);
    virtual void MetricsCalculated() {}
    virtual bool IsDblClickEnabled() { return true; }
    virtual bool GetNodeHasChildren(TdxTreeListNode* node) { return node->Count() != 0; }
    virtual void ResetHeaderWidths() {}
    virtual void ClearCaches();
    virtual void ResetNodeHeights();
    virtual void DoCollapsed(TdxTreeListNode* node);
    virtual void DoEdited(TdxTreeListNode* node);
    virtual void DoExpanded(TdxTreeListNode* node);
    virtual void DoCollapsing(TdxTreeListNode* node, bool& allow);
    virtual void DoEditing(TdxTreeListNode* node, bool& allow);
    virtual void DoExpanding(TdxTreeListNode* node, bool& allow);
    virtual void BandSizingDblClick(int band) { (void)band; }
    virtual void HeaderSizingDblClick(int header) { (void)header; }
    virtual void DoChangeColumn(TdxTreeListNode* node, int column);
    virtual void DoChangeLeftCoord();
    virtual void DoChangeNode(TdxTreeListNode* oldNode, TdxTreeListNode* node);
    virtual void DoEditChange(TObject* sender);
    virtual void DoEditValidate(TObject* sender, std::string& errorText, bool& accept);
    virtual void LoadLayout() {}
    virtual void SaveLayout() {}
    // Called by a node's destructor after it was unlinked; prevNode is its previous sibling,
    // else its parent.
    virtual void NodeDeleted(TdxTreeListNode* node, TdxTreeListNode* prevNode, TdxTreeListNode* nextVisibleNode,
        bool isLast, bool wasVisible);
    // Drops string `column` of a text node and of its subtree.
    virtual void DeleteColumnData(TdxTreeListNode* node, int column);
    virtual void LayoutRecalculated() {}
    virtual void GetRowsRect(TRect& rect);
    virtual bool IsHotTrackCell() { return (OptionsEx & (1u << 30)) != 0; }
    virtual void RebuildHeaderLayout() {}
    virtual void CalcHeaderWidths() {}
    // Full rebuild of the display-order cache, or one pending node (dxTLCache.cpp).
    virtual void RefreshVisibleNodes();
    // The base makes node focused and answers True.
    virtual bool CanCollapseFocused(TdxTreeListNode* node);
    virtual bool IsCellButtonClick() { return IsShowButtonAlways(); }
    // Repaints a node's row; toBottom: from its top to the bottom of the rows area.
    virtual void InvalidateNode(TdxTreeListNode* node, bool toBottom);
    // The slot after InvalidateNode; nothing asks it.
    virtual bool IsInvalidateNodeAllowed() { return true; }

    // --- node data (abstract in the base)
    virtual TdxTreeListNode* CreateNode();
    virtual int GetNodeImageIndex(TdxTreeListNode* node);
    virtual int GetNodeSelectedIndex(TdxTreeListNode* node);
    virtual int GetNodeStateIndex(TdxTreeListNode* node);
    virtual void GetNodeValue(TdxTreeListNode* node, int column, Variant& value);
    virtual void GetNodeString(TdxTreeListNode* node, int column, std::string& text);
    virtual void GetNodeSortValue(TdxTreeListNode* node, int column, Variant& value);
    // Moves the focus to (node, visible column); makeVisible scrolls it into view.
    virtual void FocusNodeColumn(TdxTreeListNode* node, int column, bool makeVisible);
    virtual void SetFocusedAbsoluteIndex(int index);
    virtual void SetNodeImageIndex(TdxTreeListNode* node, int value);
    virtual void SetNodeSelectedIndex(TdxTreeListNode* node, int value);
    virtual void SetNodeStateIndex(TdxTreeListNode* node, int value);
    virtual void SetNodeString(TdxTreeListNode* node, int column, const std::string& text);
    virtual void SetNodeValue(TdxTreeListNode* node, int column, const Variant& value);
    // Stores the top row and fires OnChangeTopVisibleNode (also when unchanged).
    virtual void SetTopVisibleNode(TdxTreeListNode* node);
    virtual int GetGroupPanelHeight() { return 0; }

    // --- band and header geometry: no bands, no columns
    virtual int GetBandItemAlignment(int bandItem) { return (void)bandItem, 0; }
    virtual int GetBandItemCount() { return 0; }
    virtual int GetAbsoluteBandIndex(int band) { return band; }
    virtual void GetBandItemCaption(int bandItem, std::string& text) { (void)bandItem, text.clear(); }
    virtual int GetBandItemWidth(int bandItem) { return (void)bandItem, 0; }
    virtual int GetBandAlignment(int band) { return (void)band, 0; }
    virtual int GetBandCount() { return 0; }
    virtual int GetLeftFixedBand() { return -1; }
    virtual int GetRightFixedBand() { return -1; }
    virtual int GetBandMinWidth(int band) { return (void)band, 0; }
    virtual int GetBandStoredWidth(int band) { return (void)band, 0; }
    virtual void GetBandCaption(int band, std::string& text) { (void)band, text.clear(); }
    virtual int GetGroupIndent() { return 0; }
    virtual int GetVisibleBandIndex(int bandItem) { return bandItem; }
    virtual bool GetBandOnlyOwnColumns(int band) { return (void)band, false; }
    virtual int GetHeaderCount() { return 0; }
    virtual int GetHeaderAbsoluteIndex(int band, int row, int col) { return (void)band, (void)row, (void)col, -1; }
    virtual int GetHeaderAlignment(int header) { return (void)header, 0; }
    virtual int GetHeaderBandIndex(int header) { return (void)header, 0; }
    // Computed by the width code; 0 until that code exists.
    virtual int GetHeaderWidth(int header) { return (void)header, 0; }
    virtual int GetHeaderColCount(int band, int row) { return (void)band, (void)row, 0; }
    virtual int GetHeaderColIndex(int header) { return (void)header, 0; }
    // 0 without an active filter, else 1 normal (3 hot and 7 pressed come with the input code).
    virtual int GetHeaderDropDownButtonState(int header) { return (void)header, IsFilterActive() ? 1 : 0; }
    virtual TBitmap* GetHeaderGlyph(int header) { return (void)header, nullptr; }
    virtual int GetHeaderMaxLineCount(int header) { return (void)header, 1; }
    virtual int GetHeaderMinWidth(int header) { return (void)header, 0; }
    virtual int GetBandRowCount(int band) { return (void)band, 0; }
    virtual int GetHeaderRowIndex(int header) { return (void)header, 0; }
    virtual TdxTreeListColumnSort GetHeaderSorted(int header) { return (void)header, csNone; }
    virtual bool GetHeaderTabStop(int header) { return (void)header, true; }
    virtual void GetHeaderCaption(int header, std::string& text) { (void)header, text.clear(); }
    virtual void GetColumnCaption(int header, std::string& text) { GetHeaderCaption(header, text); }
    virtual int GetColumnWidth(int header) { return (void)header, 0; }
    virtual TColor GetColumnColor(int header) { return (void)header, GetColor(); }
    virtual TFont* GetColumnFont(int header) { return (void)header, GetFont(); }
    virtual bool IsColumnFontAssigned(int header) { return (void)header, false; }
    virtual bool HasHeaderGlyph(int header) { return (void)header, false; }
    virtual int GetCellAlignment(TdxTreeListNode* node, int header) { return (void)node, (void)header, 0; }
    virtual void GetCellText(TdxTreeListNode* node, int header, std::string& text) {
        (void)node, (void)header, text.clear();
    }
    virtual void GetNewItemRowText(int header, std::string& text) { (void)header, text.clear(); }
    virtual bool IsMultiLineColumn(int header) { return (void)header, false; }
    virtual bool NewItemRowHasValues() { return true; }
    virtual int GetGrIndicatorWidth() { return 12; }

    // --- row metrics, footer and filter (measuring comes with the row-height code)
    virtual int GetColumnLineHeight(TCanvas* canvas, int header);
    virtual void GetPreviewText(TdxTreeListNode* node, std::string& text) { (void)node, text.clear(); }
    virtual int GetIndicatorKind(TdxTreeListNode* node) { return (void)node, 0; }
    virtual int GetRowLineCount(TdxTreeListNode* node, int& lineHeight);
    virtual bool HasFilter() { return false; }
    virtual void GetFilterText(std::string& text) { text.clear(); }
    virtual void GetClearFilterCaption(std::string& text) { text.clear(); }
    virtual int GetMaxColumnLineHeight(TCanvas* canvas);
    virtual int GetPreviewLineCount(TdxTreeListNode* node);
    virtual int GetRowSeparatorLineWidth() { return GetRowSeparatorLineWidthValue(); }
    virtual void CalcAutoHeaderPanelRowCount() {}
    virtual bool IsGroupNode(TdxTreeListNode* node) { return (void)node, false; }
    virtual int GetFooterAlignment(TdxTreeListNode* node, int header) { return GetCellAlignment(node, header); }
    virtual void GetFooterText(TdxTreeListNode* node, int header, std::string& text) {
        (void)node, (void)header, text.clear();
    }
    virtual bool IsExistFooterCell(int header) { return (void)header, false; }
    virtual bool HasRowFooterCell() { return false; }
    virtual bool IsFooterLevel() { return false; }

    // --- option tests (bit meanings with the options code; the base reads Options/OptionsEx)
    virtual bool IsAnsiSort() { return false; }
    virtual bool IsAutoCalcPreviewLines() { return false; }
    virtual bool CanDragCopy() { return false; }
    virtual bool IsFilterActive() { return false; }
    virtual bool IsAutoHeaderPanelHeight() { return (OptionsEx & (1u << 25)) != 0; }
    virtual bool IsAutoSearch() { return false; }
    virtual bool IsAutoSort() { return false; }
    virtual bool IsOptionsExBit23() { return (OptionsEx & (1u << 23)) != 0; }  // nothing asks it
    virtual bool IsAutoWidth() { return false; }
    virtual bool IsBandHeaderWidth() { return false; }
    virtual bool IsCaseInsensitive() { return false; }
    virtual bool IsCellMultiSelect() { return false; }
    virtual bool IsDragCollapse() { return false; }
    virtual bool IsDrawEndEllipsis() { return false; }
    virtual bool IsDragExpand() { return false; }
    virtual bool IsDragScroll() { return false; }
    virtual bool IsEditing() { return false; }
    virtual bool IsEnterShowEditor() { return false; }
    virtual bool IsEnterThrough() { return false; }
    virtual bool IsExtCustomizing() { return false; }
    virtual bool IsExtMultiSelect() { return false; }
    virtual bool IsFilterPanelShown() { return false; }
    virtual bool IsHorzThrough() { return false; }
    virtual bool HasHorzScrollBar() { return ScrollBars == ssHorizontal || ScrollBars == ssBoth; }
    virtual bool IsMouseScroll() { return false; }
    virtual bool IsMultiSelect() { return false; }
    virtual bool IsMultiSort() { return false; }
    virtual bool IsNewItemRowActive() { return false; }
    virtual bool IsNewItemRowShown() { return ShowNewItemRow; }
    virtual bool IsRowAutoHeight() { return false; }
    virtual bool IsRowSelect() { return false; }
    virtual bool IsShowHourGlass() { return false; }
    virtual bool IsShowRowFooter() { return ShowRowFooter; }
    virtual bool IsShowPreview() { return false; }
    virtual bool CanCacheRowHeights() { return true; }
    virtual bool IsTabThrough() { return false; }
    virtual bool IsVertThrough() { return false; }
    virtual bool KeepVertScrollBar() { return false; }
    virtual bool HasVertScrollBar() { return ScrollBars == ssVertical || ScrollBars == ssBoth; }
    virtual bool IsUseBitmap() { return false; }
    virtual bool IsBandButtonClicking() { return false; }
    virtual bool IsFullSizing(int band) { return (void)band, false; }
    virtual bool IsBandPanelSizing() { return false; }
    virtual bool CanBandSizing(int band) { return (void)band, true; }
    virtual bool IsHeaderWidthByBand() { return false; }
    virtual bool IsHeaderButtonClicking() { return false; }
    virtual bool IsHeaderFullSizing(int header) { return (void)header, false; }
    virtual bool IsHeaderPanelSizing() { return false; }
    virtual bool CanHeaderSizing(int header) { return (void)header, true; }
    virtual bool CanColumnSizing(int header) { return CanHeaderSizing(header); }
    virtual bool IsRowSizing() { return false; }
    bool IsFocusRectHidden() override { return (Options & (1u << 13)) != 0; }
    bool IsShowButtonAlways() override { return (OptionsEx & (1u << 24)) != 0; }
    virtual bool IsInvertSelect() { return (OptionsEx & 1u) != 0; }
    TdxPopupBorder GetEditorPopupBorder(TdxEditBorderStyle style) override;

    // --- layout setters, click dispatchers and limits
    virtual void SetBandRowCountValue(int value) { (void)value; }
    virtual void SetBandWidth(int band, int value) { (void)band, (void)value; }
    virtual void SetHeaderPanelRowCountValue(int value) { (void)value; }
    virtual void SetHeaderWidth(int header, int value) { (void)header, (void)value; }
    virtual void ScaleBandWidths(int numerator, int denominator) { (void)numerator, (void)denominator; }
    virtual void ScaleHeaderWidths(int band, int numerator, int denominator) {
        (void)band, (void)numerator, (void)denominator;
    }
    virtual void SetDefaultRowHeightValue(int value) { DefaultRowHeight = value; }
    virtual void DoBandButtonClick() {}
    virtual void DoBandClick(int band) { (void)band; }
    virtual void DoChangedColumnsWidth() {}
    virtual void DoHeaderButtonClick() {}
    virtual void HeaderClick(int header) { (void)header; }
    virtual void HeaderDropDownClick(int header) { (void)header; }
    virtual void FilterButtonClick() {}
    virtual int GetBandMaxRowCount() { return 5; }
    virtual int GetBandRowCountValue() { return 1; }
    virtual int GetHeaderPanelMaxRowCount() { return 4; }
    virtual int GetHeaderPanelRowCountValue() { return 1; }
    virtual int GetHeaderMinRowCount() { return 1; }

    // --- header and band dragging and customizing (drag feedback comes with the drag code)
    virtual void GetNodeDragText(TdxTreeListNode* node, int column, std::string& text) {
        GetCellText(node, column, text);
    }
    virtual void MoveBand(int fromIndex, int toIndex) { (void)fromIndex, (void)toIndex; }
    virtual bool IsBandMoving(int band) { return (void)band, (OptionsEx & (1u << 5)) != 0; }
    virtual void DoDragOverBand(TPoint p, int bandItem, bool& accept) { (void)p, (void)bandItem, (void)accept; }
    virtual void DoDragEndBand(TPoint p, int bandItem, bool& accept, int& newIndex, int visibleIndex) {
        (void)p, (void)bandItem, (void)accept, (void)newIndex, (void)visibleIndex;
    }
    // The customizing window is not part of this system: nothing can be customized.
    virtual bool CanCustomizeBands() { return false; }
    virtual bool CanCustomizeHeaders() { return false; }
    virtual bool IsBandCustomizingDisabled(int bandItem) { return (void)bandItem, false; }
    virtual void HideBand(int bandItem) { (void)bandItem; }
    virtual bool CanShowBandInCustomizing(int bandItem) { return (void)bandItem, false; }
    virtual void ShowBand(int newIndex, int bandItem) { (void)newIndex, (void)bandItem; }
    virtual bool IsColumnMoving(int header) { return (void)header, (Options & (1u << 1)) != 0; }
    virtual void DoDragOverHeader(TPoint p, int header, bool& accept) { (void)p, (void)header, (void)accept; }
    virtual int GetDragScrollInterval() { return 100; }
    virtual bool IsHeaderCustomizingDisabled(int header) { return (void)header, false; }
    virtual void MoveHeader(int header, int band, int col, int row) { (void)header, (void)band, (void)col, (void)row; }
    virtual void HideHeader(int header) { (void)header; }
    virtual bool CanShowInCustomizing(int header) { return (void)header, false; }
    virtual bool IsHeaderVisible(int header) { return (void)header, true; }
    virtual void ShowHeader(int band, int row, int header, int col) { (void)band, (void)row, (void)header, (void)col; }
    virtual void DoBeginDragNode(TdxTreeListNode* node);

    // --- navigation, scrolling and editing hooks
    virtual bool IsLastNode(TdxTreeListNode* node) { return node && node == GetLastNode(); }
    virtual bool IsFirstNode(TdxTreeListNode* node) { return node && node == GetFirstNode(); }
    // Row counts of the rows area come with the scrolling code; until then one page row.
    virtual int GetVisibleRowCount() { return FRowCount; }
    virtual void CalcVisibleRows() {}
    // Scroll bars come with the scrolling code; nothing until then.
    virtual void UpdateScrollBars() {}
    // Stores the edited value; the column-owning control writes the cell.
    virtual void AssignEditValue(TdxTreeListNode* node, int column, const Variant& value, TdxInplaceEdit* editor);
    virtual bool IsEditorShowing() { return FState == tsEditing && FInplaceEdit != nullptr; }
    virtual bool CanProcessKey() { return true; }
    virtual void UpdateHotTrack() {}
    virtual void DoHotTrackNode(TdxTreeListNode* node);
    virtual bool IsHotTracked() { return false; }

    // --- selection hooks (the base keeps no selection)
    virtual bool CanSelectNodeRange() { return true; }
    virtual bool CanNodeSelected(TdxTreeListNode* node);
    virtual void ClearSelection();
    // -1, 0 or 1 comparing node's display index with the anchor's.
    virtual int CompareWithSelectionAnchor(TdxTreeListNode* node);
    virtual void DeleteSelection() { FRangeSelection = false; }
    virtual void SelectedCountChanged();
    virtual int GetSelectedCount() { return 0; }
    virtual TdxTreeListNode* GetSelectedNode(int index) { return (void)index, nullptr; }
    virtual void RepaintSelection();
    virtual bool IsNodeSelected(TdxTreeListNode* node) { return (void)node, false; }
    virtual void SetNodeSelected(TdxTreeListNode* node, bool value);
    virtual void SelectRange(TdxTreeListNode* node1, TdxTreeListNode* node2);
    virtual void SetSelectionAnchor(TdxTreeListNode* node) { FSelectionAnchor = node; }

    // --- sorting hooks (the sorting code fills these in)
    virtual void ClearSortedColumns() {}
    // Tie-break of equal sort keys: a total order on node identity.
    virtual int CompareEqualNodes(TdxTreeListNode* node1, TdxTreeListNode* node2);
    virtual void SortNodes(int level, int column, bool descending) { (void)level, (void)column, (void)descending; }
    virtual int GetSortedColumnCount() { return 0; }
    virtual bool IsSortedColumnDescending(int index) { return (void)index, false; }
    virtual int GetSortedColumnIndex(int index) { return index; }
    virtual bool UseMultiSort(int column) { return (void)column, IsMultiSort(); }

    // --- custom drawing queries (the painting code asks them)
    virtual bool IsCustomDrawBand() { return false; }
    virtual bool IsCustomDrawCell(TdxTreeListNode* node, int header) { return (void)node, (void)header, false; }
    virtual bool IsCustomDrawFooter(int footerIndex) { return (void)footerIndex, false; }
    virtual bool IsCustomDrawColumnHeader(int header) { return (void)header, false; }
    virtual bool IsCustomDrawPreview() { return false; }
    virtual bool IsCustomLevelColor() { return false; }
    virtual TColor GetGridLineColor() { return GridLineColor; }
    virtual void BeginNodePaint() {}
    virtual void EndNodePaint() {}

    // --- navigation and the selection lock
    virtual bool IsFocusedOrEditing();
    virtual bool IsFirstNodeFocused() { return FFocused && FFocused == GetFirstNode(); }
    virtual bool IsLastNodeFocused() { return FFocused && IsLastNode(FFocused); }
    // Rows as text; filled in by the navigation code (the header line and one line per row).
    virtual void SaveAllRowsToStrings(TStrings* list) { (void)list; }
    virtual void SaveSelectedRowsToStrings(TStrings* list) { (void)list; }
    // On the first lock remembers GetSelectedCount; the last unlock reports a change.
    virtual void BeginSelection();
    virtual void EndSelection();

protected:
    // Editing ends: posts a modified editor value, hides it and forgets the cell.
    virtual void HideEditor();
    virtual void CloseEditor() { HideEditor(); }
    // OnEdited always, AssignEditValue when the editor was modified.
    void PostEditValue();
    void DoExit() override;
    void Notification(TComponent* component, TOperation operation) override;

    // Forgets the editor cell. A modified editor value is posted first unless it belongs to
    // `leaving` or its subtree (that row is going away).
    void ForgetEditorCell(TdxTreeListNode* leaving);
    // Top, focused, anchor, pressed, dragged and hot nodes forgotten; extended selection off.
    void ClearNodeReferences();
    void SetPressedNode(TdxTreeListNode* node) noexcept { FPressedNode = node; }
    void SetDragNode(TdxTreeListNode* node) noexcept { FDragNode = node; }
    void SetHotTrackNode(TdxTreeListNode* node) noexcept { FHotTrackNode = node; }
    // Focus stored directly, without events or repaint.
    void StoreFocusedNode(TdxTreeListNode* node) noexcept { FFocused = node; }
    void RepaintAll();

private:
    friend class TdxTreeListNode;
    using TNodeList = std::deque<TdxTreeListNode*>;

    // --- display-order cache (dxTLCache.cpp)
    struct TIdentityEntry {
        TdxTreeListNode* Node;
        int Index;  // display index
    };
    void RebuildVisibleCache();
    void CacheInsert(TdxTreeListNode* node);
    void CacheRemove(TdxTreeListNode* node);
    // A change made while the update lock is held empties a built cache (see the source).
    void CacheChangedWhileLocked();
    // Takes the rows below node out of the cache before its subtree is freed.
    void DropSubtreeFromCache(TdxTreeListNode* node);
    // Display index of node from the cache (it must be valid); -1 when absent.
    int CachedIndexOf(const TdxTreeListNode* node) const;
    void UpdateVisibleNode(TdxTreeListNode* node, bool visible, bool removal);
    // The same answers without the cache.
    int WalkIndexOf(const TdxTreeListNode* node) const;
    static TdxTreeListNode* WalkNextVisible(const TdxTreeListNode* node);
    void ResetHeightsFrom(const TNodeList& list);

    TNodeList FRoots;
    int FLockUpdate = 0;
    TdxTreeListNode* FFocused = nullptr;
    TdxTreeListNode* FPressedNode = nullptr;
    std::vector<TdxTreeListNode*> FVisibleNodes;  // display order
    std::vector<TIdentityEntry> FIdentity;  // ordered by node identity
    bool FCacheBuilt = false;
    TdxTreeListNode* FPendingNode = nullptr;
    bool FPendingVisible = false;
    bool FPendingRemoval = false;
    std::unique_ptr<TFont> FBandFont, FHeaderFont, FPreviewFont;
    int FRowSeparatorLineWidth = 1;
    bool FShowHeader = true;
    int FHeaderPanelHeight = 18, FRowHeight = 18, FTextHeight = 11;
    int FRowCount = 1, FPartRowCount = 1;
    int FFocusedColumn = -1;
    int FFocusedAbsoluteColumn = -1;
    int FLeftCoord = 0;
    TdxTreeListNode* FTopNode = nullptr;
    TCustomImageList* FImages = nullptr;
    TCustomImageList* FStateImages = nullptr;
    std::unique_ptr<TChangeLink> FImageLink, FStateImageLink;
    int FSelectionLock = 0;
    int FSelectionCount = 0;
    TdxTreeListState FState = tsNormal;
    TdxInplaceEdit* FInplaceEdit = nullptr;
    int FEditColumn = -1;
    TdxTreeListNode* FEditNode = nullptr;
    TdxTreeListNode* FSelectionAnchor = nullptr;
    TdxTreeListNode* FDragNode = nullptr;
    TdxTreeListNode* FHotTrackNode = nullptr;
    bool FRangeSelection = false;
    bool FExtendedSelection = false;
    bool FNewItemRowClicked = false;
    bool FSearching = false;
    bool FClearingNodes = false;
    bool FCacheClearLocked = false;
    std::vector<TdxTreeListNode*> FExtraNodes;
};
