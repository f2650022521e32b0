#pragma once
// Common controls: tab control and page control with tab sheets, status bar, tool bar, up-down
// buttons, progress bar, track bar, tree view and date picker.
//
// The tabbed controls, the status bar, the tool bar, the progress bar and the tree view paint
// themselves; the track bar hosts a Qt slider, the date picker a Qt date edit.

#include <memory>
#include <string>
#include <vector>

#include "platform/classes/Collection.h"
#include "platform/classes/StringList.h"
#include "platform/gui/ImageList.h"
#include "platform/gui/StdCtrls.h"

class TPopupMenu;
class TPageControl;

using TTabChangingEvent = std::function<void(TObject* sender, bool& allowChange)>;

// --- tabs ------------------------------------------------------------------------------------

// A row of tabs along the top; the area below them (DisplayRect) belongs to the pages.
// The user changes the tab by a click, by the arrow keys while the control has the focus, and
// by Ctrl+Tab / Ctrl+Shift+Tab while the focus is anywhere inside it. A change by the user asks
// OnChanging first and fires OnChange after; a change by code fires neither.
class TCustomTabControl : public TCustomControl {
    KAROMIL_CLASS(TCustomTabControl, TCustomControl)
public:
    explicit TCustomTabControl(TComponent* owner);
    ~TCustomTabControl() override;
    // The area below the tabs, client coordinates.
    TRect DisplayRect() const;
    // The rectangle of visible tab i (0-based among the shown tabs), client coordinates.
    TRect TabRect(int index) const;
    // The shown tab at a client point, -1 when none.
    int IndexOfTabAt(int x, int y) const;
    void Dispatch(TMessage& message) override;

    TNotifyEvent OnChange;
    TTabChangingEvent OnChanging;

protected:
    // What the base needs of the tabs shown now.
    virtual int ShownTabCount() const = 0;
    virtual std::string ShownTabCaption(int index) const = 0;
    virtual int ShownTabIndex() const = 0;  // -1 when none is selected
    // Selects shown tab index without asking (changes by code).
    virtual void SelectShownTab(int index) = 0;
    virtual bool CanChange();
    virtual void Change();
    // A change by the user: OnChanging may refuse.
    void UserSelect(int shownIndex);
    void SelectNextTab(bool goForward);
    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void AlignControls(TControl* control, TRect& rect) override;
    void KeyDown(WORD& key, TShiftState shift) override;
    int TabHeight() const;
};

// A list of tab captions with the selected one; the pages are left to the program.
class TTabControl : public TCustomTabControl {
    KAROMIL_CLASS(TTabControl, TCustomTabControl)
public:
    explicit TTabControl(TComponent* owner);
    ~TTabControl() override;
    TStrings* GetTabs() const noexcept { return FTabs.get(); }
    void SetTabs(TStrings* v) { FTabs->Assign(v); }
    int GetTabIndex() const noexcept { return FTabIndex; }
    void SetTabIndex(int v);

protected:
    int ShownTabCount() const override;
    std::string ShownTabCaption(int index) const override;
    int ShownTabIndex() const override { return FTabIndex; }
    void SelectShownTab(int index) override { SetTabIndex(index); }

private:
    void TabsChanged(TObject*);
    std::unique_ptr<TStringList> FTabs;
    int FTabIndex = -1;
};

// One page of a page control: a container shown while its tab is selected.
class TTabSheet : public TCustomControl {
    KAROMIL_CLASS(TTabSheet, TCustomControl)
public:
    explicit TTabSheet(TComponent* owner);
    ~TTabSheet() override;
    TPageControl* GetPageControl() const noexcept { return FPageControl; }
    // Joins the page control (as its parent too) at the end; nullptr leaves it.
    void SetPageControl(TPageControl* v);
    int GetPageIndex() const;
    void SetPageIndex(int v);
    // A hidden tab keeps its page, which cannot be selected by the user.
    bool GetTabVisible() const noexcept { return FTabVisible; }
    void SetTabVisible(bool v);
    // The index among the shown tabs, -1 when hidden.
    int TabIndex() const;
    void SetParent(TWinControl* parent) override;
    void Dispatch(TMessage& message) override;

protected:
    void Paint() override;

private:
    friend class TPageControl;
    TPageControl* FPageControl = nullptr;
    bool FTabVisible = true;
};

class TPageControl : public TCustomTabControl {
    KAROMIL_CLASS(TPageControl, TCustomTabControl)
public:
    explicit TPageControl(TComponent* owner);
    ~TPageControl() override;
    int PageCount() const noexcept { return int(FPages.size()); }
    TTabSheet* Pages(int index) const { return FPages.at(size_t(index)); }
    TTabSheet* GetActivePage() const noexcept { return FActivePage; }
    // Shows the page and hides the one before; moves the focus out of a hidden page.
    void SetActivePage(TTabSheet* page);
    int GetActivePageIndex() const;
    void SetActivePageIndex(int v);
    // The next (or previous) page after current whose tab is shown, wrapping round.
    TTabSheet* FindNextPage(TTabSheet* current, bool goForward, bool checkTabVisible) const;
    void SelectNextPage(bool goForward);
    void Loaded() override;

protected:
    int ShownTabCount() const override;
    std::string ShownTabCaption(int index) const override;
    int ShownTabIndex() const override;
    void SelectShownTab(int index) override;
    void AlignControls(TControl* control, TRect& rect) override;

private:
    friend class TTabSheet;
    void InsertPage(TTabSheet* page);
    void RemovePage(TTabSheet* page);
    void MovePage(TTabSheet* page, int index);
    TTabSheet* ShownPage(int index) const;
    void TabsChanged();
    std::vector<TTabSheet*> FPages;
    TTabSheet* FActivePage = nullptr;
};

// --- status bar ------------------------------------------------------------------------------

class TStatusPanel : public TCollectionItem {
    KAROMIL_CLASS(TStatusPanel, TCollectionItem)
public:
    explicit TStatusPanel(TCollection* collection = nullptr) : TCollectionItem(collection) {}
    void Assign(TPersistent* source) override;
    std::string GetText() const { return FText; }
    void SetText(const std::string& v);
    int GetWidth() const noexcept { return FWidth; }
    void SetWidth(int v);
    TAlignment GetAlignment() const noexcept { return FAlignment; }
    void SetAlignment(TAlignment v);

private:
    std::string FText;
    int FWidth = 50;
    TAlignment FAlignment = taLeftJustify;
};

class TStatusBar;

class TStatusPanels : public TCollection {
    KAROMIL_CLASS(TStatusPanels, TCollection)
public:
    explicit TStatusPanels(TStatusBar* bar = nullptr);
    TStatusPanel* Add() { return static_cast<TStatusPanel*>(TCollection::Add()); }
    TStatusPanel* Items(int index) const { return static_cast<TStatusPanel*>(TCollection::Items(index)); }
    TStatusPanel* operator[](int index) const { return Items(index); }

protected:
    void Update(TCollectionItem* item) override;

private:
    TStatusBar* FBar;
};

// Panels from left to right, each Width wide; the last one takes the rest. With SimplePanel on,
// one panel shows SimpleText instead. Aligned to the bottom of its parent by default.
class TStatusBar : public TCustomControl {
    KAROMIL_CLASS(TStatusBar, TCustomControl)
public:
    explicit TStatusBar(TComponent* owner);
    ~TStatusBar() override;
    TStatusPanels* GetPanels() const noexcept { return FPanels.get(); }
    void SetPanels(TStatusPanels* v) { FPanels->Assign(v); }
    bool GetSimplePanel() const noexcept { return FSimplePanel; }
    void SetSimplePanel(bool v);
    std::string GetSimpleText() const { return FSimpleText; }
    void SetSimpleText(const std::string& v);
    // Panel i's rectangle, client coordinates.
    TRect PanelRect(int index) const;

protected:
    void Paint() override;

private:
    std::unique_ptr<TStatusPanels> FPanels;
    bool FSimplePanel = false;
    std::string FSimpleText;
};

// --- tool bar --------------------------------------------------------------------------------

enum TToolButtonStyle { tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider };
KAROMIL_ENUM_TYPE(TToolButtonStyle, "tbsButton", "tbsCheck", "tbsDropDown", "tbsSeparator", "tbsDivider")

class TToolBar;

class TToolButton : public TGraphicControl {
    KAROMIL_CLASS(TToolButton, TGraphicControl)
public:
    explicit TToolButton(TComponent* owner);
    ~TToolButton() override;
    TToolButtonStyle GetStyle() const noexcept { return FStyle; }
    void SetStyle(TToolButtonStyle v);
    // A check button that is Grouped releases its group's other buttons (neighbours of the
    // same style up to a separator) when pressed.
    bool GetGrouped() const noexcept { return FGrouped; }
    void SetGrouped(bool v);
    // Down is released when the button is disabled.
    bool GetDown() const noexcept { return FDown; }
    void SetDown(bool v);
    int GetImageIndex() const noexcept { return FImageIndex; }
    void SetImageIndex(int v);
    TPopupMenu* GetDropdownMenu() const noexcept { return FDropdownMenu; }
    void SetDropdownMenu(TPopupMenu* v);
    TToolBar* ToolBar() const;
    void SetEnabled(bool v) override;
    void Click() override;

protected:
    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void Notification(TComponent* component, TOperation operation) override;

private:
    TToolButtonStyle FStyle = tbsButton;
    bool FGrouped = false;
    bool FDown = false;
    bool FPressed = false;
    int FImageIndex = -1;
    TPopupMenu* FDropdownMenu = nullptr;
};

// Lays its tool buttons out from the left in child order, ButtonWidth x ButtonHeight each
// (separators 8 wide), wrapping to new rows when Wrapable; AutoSize fits its height to the rows.
class TToolBar : public TCustomControl {
    KAROMIL_CLASS(TToolBar, TCustomControl)
public:
    explicit TToolBar(TComponent* owner);
    ~TToolBar() override;
    int GetButtonWidth() const noexcept { return FButtonWidth; }
    void SetButtonWidth(int v);
    int GetButtonHeight() const noexcept { return FButtonHeight; }
    void SetButtonHeight(int v);
    bool GetFlat() const noexcept { return FFlat; }
    void SetFlat(bool v);
    bool GetShowCaptions() const noexcept { return FShowCaptions; }
    void SetShowCaptions(bool v);
    bool GetWrapable() const noexcept { return FWrapable; }
    void SetWrapable(bool v);
    bool GetAutoSize() const noexcept { return FAutoSize; }
    void SetAutoSize(bool v);
    TCustomImageList* GetImages() const noexcept { return FImages; }
    void SetImages(TCustomImageList* v);
    int ButtonCount() const;
    TToolButton* Buttons(int index) const;
    void ArrangeButtons();
    void Loaded() override;

protected:
    void AlignControls(TControl* control, TRect& rect) override;
    void Notification(TComponent* component, TOperation operation) override;

private:
    int FButtonWidth = 23;
    int FButtonHeight = 22;
    bool FFlat = false;
    bool FShowCaptions = false;
    bool FWrapable = true;
    bool FAutoSize = false;
    bool FArranging = false;
    TCustomImageList* FImages = nullptr;
};

// --- up-down ---------------------------------------------------------------------------------

enum TUDBtnType { btNext, btPrev };
KAROMIL_ENUM_TYPE(TUDBtnType, "btNext", "btPrev")
using TUDClickEvent = std::function<void(TObject* sender, TUDBtnType button)>;

// Min, Max and a Position kept between them: the range of the up-down, progress and track bars.
// The up-down and progress bars let one bound pass the other and keep Position between whichever
// is lower and whichever is higher; the track bar (Ordered) moves the other bound along instead,
// so Min never exceeds Max.
struct TRange {
    int Min = 0, Max = 100, Position = 0;
    bool Ordered = false;

    // Each answers whether Position moved.
    bool SetMin(int v) {
        Min = v;
        if (Ordered && Max < v) Max = v;
        return SetPosition(Position);
    }
    bool SetMax(int v) {
        Max = v;
        if (Ordered && Min > v) Min = v;
        return SetPosition(Position);
    }
    bool SetPosition(int v) {
        const int lo = Min < Max ? Min : Max, hi = Min < Max ? Max : Min;
        v = v < lo ? lo : v > hi ? hi : v;
        const bool changed = v != Position;
        Position = v;
        return changed;
    }
};

// Two arrow buttons that step Position by one between Min and Max (wrapping round when Wrap); the
// associated control (an edit) shows the position and sits beside the buttons.
class TUpDown : public TCustomControl {
    KAROMIL_CLASS(TUpDown, TCustomControl)
public:
    explicit TUpDown(TComponent* owner);
    ~TUpDown() override;
    TWinControl* GetAssociate() const noexcept { return FAssociate; }
    void SetAssociate(TWinControl* v);
    int GetMin() const noexcept { return FRange.Min; }
    void SetMin(int v);
    int GetMax() const noexcept { return FRange.Max; }
    void SetMax(int v);
    int GetPosition() const noexcept { return FRange.Position; }
    void SetPosition(int v);
    bool GetWrap() const noexcept { return FWrap; }
    void SetWrap(bool v) { FWrap = v; }
    // One step as the user makes it: fires OnClick(btNext or btPrev) after the position moved.
    void Step(TUDBtnType button);
    TUDClickEvent OnClickButton;  // published as OnClick

protected:
    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void Notification(TComponent* component, TOperation operation) override;

private:
    void UpdateAssociate();
    TWinControl* FAssociate = nullptr;
    TRange FRange;
    bool FWrap = false;
};

// --- progress bar and track bar --------------------------------------------------------------

class TProgressBar : public TCustomControl {
    KAROMIL_CLASS(TProgressBar, TCustomControl)
public:
    explicit TProgressBar(TComponent* owner);
    int GetMin() const noexcept { return FRange.Min; }
    void SetMin(int v);
    int GetMax() const noexcept { return FRange.Max; }
    void SetMax(int v);
    int GetPosition() const noexcept { return FRange.Position; }
    void SetPosition(int v);  // kept inside Min..Max
    int GetStep() const noexcept { return FStep; }
    void SetStep(int v) { FStep = v; }
    void StepIt();
    void StepBy(int delta);

protected:
    void Paint() override;

private:
    TRange FRange;
    int FStep = 10;
};

class TTrackBar : public TWidgetControl {
    KAROMIL_CLASS(TTrackBar, TWidgetControl)
public:
    explicit TTrackBar(TComponent* owner);
    int GetMin() const noexcept { return FRange.Min; }
    void SetMin(int v);
    int GetMax() const noexcept { return FRange.Max; }
    void SetMax(int v);
    int GetPosition() const noexcept { return FRange.Position; }
    void SetPosition(int v);
    void Dispatch(TMessage& message) override;
    // After the position changed, by the user or by code.
    TNotifyEvent OnChange;

protected:
    QWidget* CreateWidget(QWidget* parent) override;
    void WidgetCreated() override;

private:
    void ApplyRange();
    void PositionSet(bool changed);
    TRange FRange{0, 10, 0, true};
};

// --- tree view -------------------------------------------------------------------------------

class TTreeNodes;
class TCustomTreeView;

// One node of a tree view: a caption, a 32-bit Data value and its children, which it owns.
class TTreeNode : public TPersistent {
    KAROMIL_CLASS(TTreeNode, TPersistent)
public:
    TTreeNode(TTreeNodes* owner, TTreeNode* parent);
    ~TTreeNode() override;
    std::string GetText() const { return FText; }
    void SetText(const std::string& v);
    int32_t GetData() const noexcept { return FData; }
    void SetData(int32_t v) noexcept { FData = v; }
    TTreeNode* GetParent() const noexcept { return FParent; }
    int Count() const noexcept { return int(FChildren.size()); }
    TTreeNode* Item(int index) const { return FChildren.at(size_t(index)).get(); }
    bool HasChildren() const noexcept { return !FChildren.empty(); }
    bool GetExpanded() const noexcept { return FExpanded; }
    void SetExpanded(bool v);
    void Expand(bool recurse);
    void Collapse(bool recurse);
    // The position among its siblings, and the depth (0 for a top-level node).
    int GetIndex() const;
    int GetLevel() const;
    bool GetSelected() const;
    void SetSelected(bool v);
    // Every parent expanded, so the node has a row.
    bool IsVisible() const;
    // Expands the parents and scrolls the node's row into view.
    void MakeVisible();
    TTreeNode* GetFirstChild() const { return FChildren.empty() ? nullptr : FChildren.front().get(); }
    TTreeNode* GetNextSibling() const;
    TTreeNode* GetPrevSibling() const;
    // The next node in depth-first order, expanded or not; nullptr after the last.
    TTreeNode* GetNext() const;
    TTreeNodes* Owner() const noexcept { return FOwner; }
    TCustomTreeView* TreeView() const;

private:
    friend class TTreeNodes;
    friend class TCustomTreeView;
    TTreeNodes* FOwner;
    TTreeNode* FParent;
    std::string FText;
    int32_t FData = 0;
    bool FExpanded = false;
    std::vector<std::unique_ptr<TTreeNode>> FChildren;
};

// The nodes of a tree view. Count and Item run over all nodes in depth-first order.
class TTreeNodes : public TPersistent {
    KAROMIL_CLASS(TTreeNodes, TPersistent)
public:
    explicit TTreeNodes(TCustomTreeView* owner = nullptr);
    ~TTreeNodes() override;
    // A new last sibling of sibling (a top-level node when sibling is nullptr).
    TTreeNode* Add(TTreeNode* sibling, const std::string& text);
    // A new last child of parent (a top-level node when parent is nullptr).
    TTreeNode* AddChild(TTreeNode* parent, const std::string& text);
    void Clear();
    // Changes between the two brackets repaint and rescroll once, at the end.
    void BeginUpdate();
    void EndUpdate();
    int Count() const;
    TTreeNode* Item(int index) const;
    TTreeNode* operator[](int index) const { return Item(index); }
    TTreeNode* GetFirstNode() const { return FRoots.empty() ? nullptr : FRoots.front().get(); }
    int RootCount() const noexcept { return int(FRoots.size()); }
    TTreeNode* Root(int index) const { return FRoots.at(size_t(index)).get(); }
    TCustomTreeView* Owner() const noexcept { return FTree; }

private:
    friend class TTreeNode;
    friend class TCustomTreeView;
    void Changed();
    const std::vector<TTreeNode*>& Flat() const;
    TCustomTreeView* FTree;
    std::vector<std::unique_ptr<TTreeNode>> FRoots;
    int FUpdateCount = 0;
    mutable std::vector<TTreeNode*> FFlat;
    mutable bool FFlatValid = false;
};

using TTVChangedEvent = std::function<void(TObject* sender, TTreeNode* node)>;

// A tree of captioned nodes, one row per node whose parents are all expanded; it paints
// itself. The user selects by a click or the arrow keys (Home, End, Page Up and Page Down
// too); Right and "+" expand, Left and "-" collapse or go to the parent, a click on the
// button or a double click toggles. OnChange follows every change of Selected, by the user or
// by code; OnClick follows the mouse button's release, the node already selected.
class TCustomTreeView : public TCustomControl {
    KAROMIL_CLASS(TCustomTreeView, TCustomControl)
public:
    explicit TCustomTreeView(TComponent* owner);
    ~TCustomTreeView() override;
    TTreeNodes* GetItems() const noexcept { return FItems.get(); }
    bool GetReadOnly() const noexcept { return FReadOnly; }
    void SetReadOnly(bool v) { FReadOnly = v; }
    // Whether the selection is hidden while another control has the focus.
    bool GetHideSelection() const noexcept { return FHideSelection; }
    void SetHideSelection(bool v);
    int GetIndent() const noexcept { return FIndent; }
    void SetIndent(int v);
    // Lines and buttons for the top-level nodes too.
    bool GetShowRoot() const noexcept { return FShowRoot; }
    void SetShowRoot(bool v);
    TTreeNode* GetSelected() const noexcept { return FSelected; }
    void SetSelected(TTreeNode* node);
    // The node in the first row shown.
    TTreeNode* GetTopItem() const;
    void SetTopItem(TTreeNode* node);
    void FullExpand();
    void FullCollapse();
    // The node whose row holds the client point; nullptr below the last row.
    TTreeNode* GetNodeAt(int x, int y) const;
    int ItemHeight() const;
    // The node's row (textOnly: its caption), client coordinates; empty when it has no row.
    TRect NodeRect(TTreeNode* node, bool textOnly) const;
    void Dispatch(TMessage& message) override;
    void WndProc(TMessage& message) override;

    TTVChangedEvent OnChange;

protected:
    void Paint() override;
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void KeyDown(WORD& key, TShiftState shift) override;
    bool DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos) override;
    virtual void Change(TTreeNode* node);

private:
    friend class TTreeNodes;
    friend class TTreeNode;
    void NodesChanged();
    const std::vector<TTreeNode*>& Rows() const;
    int RowOf(const TTreeNode* node) const;
    int PageRows() const;
    void ScrollTo(int topRow);
    void UpdateScrollBar();
    void ScrollIntoView(TTreeNode* node);
    int NodeLeft(const TTreeNode* node) const;
    TRect ButtonRect(const TTreeNode* node) const;
    void SelectAt(int x, int y);
    void Toggle(TTreeNode* node);
    std::unique_ptr<TTreeNodes> FItems;
    TTreeNode* FSelected = nullptr;
    int FTopRow = 0;
    int FIndent = 19;
    bool FReadOnly = false;
    bool FHideSelection = true;
    bool FShowRoot = true;
    mutable std::vector<TTreeNode*> FRows;
    mutable bool FRowsValid = false;
};

class TTreeView : public TCustomTreeView {
    KAROMIL_CLASS(TTreeView, TCustomTreeView)
public:
    explicit TTreeView(TComponent* owner) : TCustomTreeView(owner) {}
};

// --- date picker -----------------------------------------------------------------------------

enum TDTDateFormat { dfShort, dfLong };
KAROMIL_ENUM_TYPE(TDTDateFormat, "dfShort", "dfLong")

// A date edit with a drop-down calendar, showing the date in the short or long date format of
// the format settings. Date is the day (a whole TDateTime); OnChange follows a change by the
// user only.
class TDateTimePicker : public TWidgetControl {
    KAROMIL_CLASS(TDateTimePicker, TWidgetControl)
public:
    explicit TDateTimePicker(TComponent* owner);
    TDateTime GetDate() const noexcept { return FDate; }
    void SetDate(TDateTime v);
    TDTDateFormat GetDateFormat() const noexcept { return FDateFormat; }
    void SetDateFormat(TDTDateFormat v);
    void Dispatch(TMessage& message) override;
    TNotifyEvent OnChange;

protected:
    QWidget* CreateWidget(QWidget* parent) override;
    void WidgetCreated() override;
    int ColorRole() const override;

private:
    void ApplyDate();
    TDateTime FDate;
    TDTDateFormat FDateFormat = dfShort;
};

// The class library's date format ("d. MMMM yyyy", month as m or M) as a Qt date format.
std::string QtDateFormat(const std::string& format);
