#pragma once
// Common controls: tab control and page control with tab sheets, status bar, tool bar, up-down
// buttons, progress bar and track bar.
//
// The tabbed controls, the status bar, the tool bar and the progress bar paint themselves; the
// track bar hosts a Qt slider.

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
    virtual int ShownTabIndex() const = 0;              // -1 when none is selected
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

// Two arrow buttons that step Position by one between Min and Max (wrapping round when Wrap); the
// associated control (an edit) shows the position and sits beside the buttons.
class TUpDown : public TCustomControl {
    KAROMIL_CLASS(TUpDown, TCustomControl)
public:
    explicit TUpDown(TComponent* owner);
    ~TUpDown() override;
    TWinControl* GetAssociate() const noexcept { return FAssociate; }
    void SetAssociate(TWinControl* v);
    int GetMin() const noexcept { return FMin; }
    void SetMin(int v);
    int GetMax() const noexcept { return FMax; }
    void SetMax(int v);
    int GetPosition() const noexcept { return FPosition; }
    void SetPosition(int v);
    bool GetWrap() const noexcept { return FWrap; }
    void SetWrap(bool v) { FWrap = v; }
    // One step as the user makes it: fires OnClick(btNext or btPrev) after the position moved.
    void Step(TUDBtnType button);
    TUDClickEvent OnClickButton;   // published as OnClick

protected:
    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void Notification(TComponent* component, TOperation operation) override;

private:
    void UpdateAssociate();
    TWinControl* FAssociate = nullptr;
    int FMin = 0, FMax = 100, FPosition = 0;
    bool FWrap = false;
};

// --- progress bar and track bar --------------------------------------------------------------

class TProgressBar : public TCustomControl {
    KAROMIL_CLASS(TProgressBar, TCustomControl)
public:
    explicit TProgressBar(TComponent* owner);
    int GetMin() const noexcept { return FMin; }
    void SetMin(int v);
    int GetMax() const noexcept { return FMax; }
    void SetMax(int v);
    int GetPosition() const noexcept { return FPosition; }
    void SetPosition(int v);   // kept inside Min..Max
    int GetStep() const noexcept { return FStep; }
    void SetStep(int v) { FStep = v; }
    void StepIt();
    void StepBy(int delta);

protected:
    void Paint() override;

private:
    int FMin = 0, FMax = 100, FPosition = 0, FStep = 10;
};

class TTrackBar : public TWidgetControl {
    KAROMIL_CLASS(TTrackBar, TWidgetControl)
public:
    explicit TTrackBar(TComponent* owner);
    int GetMin() const noexcept { return FMin; }
    void SetMin(int v);
    int GetMax() const noexcept { return FMax; }
    void SetMax(int v);
    int GetPosition() const noexcept { return FPosition; }
    void SetPosition(int v);
    void Dispatch(TMessage& message) override;
    // After the position changed, by the user or by code.
    TNotifyEvent OnChange;

protected:
    QWidget* CreateWidget(QWidget* parent) override;
    void WidgetCreated() override;

private:
    void ApplyRange();
    int FMin = 0, FMax = 10, FPosition = 0;
};
