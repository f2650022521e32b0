#pragma once
// The standard controls: label, static text, edit, memo, button, check box, radio button,
// combo box, list box, group box and scroll box.
//
// The label paints itself on its parent (it has no window); the group box paints its frame
// and caption; the others host the matching Qt widget (WidgetControl.h).

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/classes/StringList.h"
#include "platform/gui/Forms.h"
#include "platform/gui/WidgetControl.h"

class QPainter;
class TCustomForm;

enum TTextLayout { tlTop, tlCenter, tlBottom };
KAROMIL_ENUM_TYPE(TTextLayout, "tlTop", "tlCenter", "tlBottom")
enum TLeftRight { lrLeftJustify, lrRightJustify };
enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };
KAROMIL_ENUM_TYPE(TEditCharCase, "ecNormal", "ecUpperCase", "ecLowerCase")
enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
KAROMIL_ENUM_TYPE(TScrollStyle, "ssNone", "ssHorizontal", "ssVertical", "ssBoth")
enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
KAROMIL_ENUM_TYPE(TCheckBoxState, "cbUnchecked", "cbChecked", "cbGrayed")
enum TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };
KAROMIL_ENUM_TYPE(TComboBoxStyle, "csDropDown", "csSimple", "csDropDownList", "csOwnerDrawFixed", "csOwnerDrawVariable")
// A control's own border: the form's bsNone and bsSingle.
using TBorderStyle = TFormBorderStyle;

enum TOwnerDrawStateFlag {
    odSelected,
    odGrayed,
    odDisabled,
    odChecked,
    odFocused,
    odDefault,
    odHotLight,
    odInactive,
    odNoAccel,
    odNoFocusRect,
    odReserved1,
    odReserved2,
    odComboBoxEdit,
};
using TOwnerDrawState = TSet<TOwnerDrawStateFlag>;
using TDrawItemEvent = std::function<void(TWinControl* control, int index, TRect rect, TOwnerDrawState state)>;
using TMeasureItemEvent = std::function<void(TWinControl* control, int index, int& height)>;

// --- label -----------------------------------------------------------------------------------

class TCustomLabel : public TGraphicControl {
    KAROMIL_CLASS(TCustomLabel, TGraphicControl)
public:
    explicit TCustomLabel(TComponent* owner);
    TAlignment GetAlignment() const noexcept { return FAlignment; }
    void SetAlignment(TAlignment v);
    TTextLayout GetLayout() const noexcept { return FLayout; }
    void SetLayout(TTextLayout v);
    bool GetAutoSize() const noexcept { return FAutoSize; }
    void SetAutoSize(bool v);
    bool GetWordWrap() const noexcept { return FWordWrap; }
    void SetWordWrap(bool v);
    bool GetTransparent() const noexcept { return FTransparent; }
    void SetTransparent(bool v);
    bool GetShowAccelChar() const noexcept { return FShowAccelChar; }
    void SetShowAccelChar(bool v);
    // The control its "&" accelerator focuses.
    TWinControl* GetFocusControl() const noexcept { return FFocusControl; }
    void SetFocusControl(TWinControl* v);
    void Loaded() override;
    void Dispatch(TMessage& message) override;

protected:
    void Paint() override;
    void Notification(TComponent* component, TOperation operation) override;
    void AdjustBounds();

private:
    uint32_t TextFlags() const;
    TAlignment FAlignment = taLeftJustify;
    TTextLayout FLayout = tlTop;
    bool FAutoSize = true;
    bool FWordWrap = false;
    bool FTransparent = false;
    bool FShowAccelChar = true;
    TWinControl* FFocusControl = nullptr;
};

class TLabel : public TCustomLabel {
    KAROMIL_CLASS(TLabel, TCustomLabel)
public:
    explicit TLabel(TComponent* owner) : TCustomLabel(owner) {}
};

// --- static text -----------------------------------------------------------------------------

enum TStaticBorderStyle { sbsNone, sbsSingle, sbsSunken };
KAROMIL_ENUM_TYPE(TStaticBorderStyle, "sbsNone", "sbsSingle", "sbsSunken")

class TStaticText : public TWidgetControl {
    KAROMIL_CLASS(TStaticText, TWidgetControl)
public:
    explicit TStaticText(TComponent* owner);
    TAlignment GetAlignment() const noexcept { return FAlignment; }
    void SetAlignment(TAlignment v);
    TStaticBorderStyle GetBorderStyle() const noexcept { return FBorderStyle; }
    void SetBorderStyle(TStaticBorderStyle v);
    void Dispatch(TMessage& message) override;

protected:
    QWidget* CreateWidget(QWidget* parent) override;
    void WidgetCreated() override;

private:
    TAlignment FAlignment = taLeftJustify;
    TStaticBorderStyle FBorderStyle = sbsNone;
};

// --- edits -----------------------------------------------------------------------------------

class TCustomEdit : public TWidgetControl {
    KAROMIL_CLASS(TCustomEdit, TWidgetControl)
public:
    explicit TCustomEdit(TComponent* owner);
    // The text as the user sees it.
    std::string GetText() const;
    void SetText(const std::string& v) { TWidgetControl::SetText(v); }
    int GetMaxLength() const noexcept { return FMaxLength; }
    virtual void SetMaxLength(int v);
    bool GetReadOnly() const noexcept { return FReadOnly; }
    virtual void SetReadOnly(bool v);
    char32_t GetPasswordChar() const noexcept { return FPasswordChar; }
    void SetPasswordChar(char32_t v);
    TEditCharCase GetCharCase() const noexcept { return FCharCase; }
    void SetCharCase(TEditCharCase v);
    TBorderStyle GetBorderStyle() const noexcept { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle v);
    bool GetAutoSelect() const noexcept { return FAutoSelect; }
    void SetAutoSelect(bool v) { FAutoSelect = v; }
    bool GetModified() const noexcept { return FModified; }
    void SetModified(bool v) { FModified = v; }
    // Selection, in characters.
    int GetSelStart() const;
    void SetSelStart(int v);
    int GetSelLength() const;
    void SetSelLength(int v);
    std::string GetSelText() const;
    void SetSelText(const std::string& v);
    void SelectAll();
    void Clear() { SetText(""); }
    void Dispatch(TMessage& message) override;

    TNotifyEvent OnChange;

protected:
    QWidget* CreateWidget(QWidget* parent) override;
    void WidgetCreated() override;
    int ColorRole() const override;
    // The text changed, by the user or by code.
    virtual void Change();
    virtual void ApplyEditOptions();
    void DoEnter() override;
    bool FModified = false;

private:
    int FMaxLength = 0;
    bool FReadOnly = false;
    char32_t FPasswordChar = 0;
    TEditCharCase FCharCase = ecNormal;
    TBorderStyle FBorderStyle = bsSingle;
    bool FAutoSelect = true;
};

class TEdit : public TCustomEdit {
    KAROMIL_CLASS(TEdit, TCustomEdit)
public:
    explicit TEdit(TComponent* owner) : TCustomEdit(owner) {}
};

class TCustomMemo : public TCustomEdit {
    KAROMIL_CLASS(TCustomMemo, TCustomEdit)
public:
    explicit TCustomMemo(TComponent* owner);
    ~TCustomMemo() override;
    TStrings* GetLines() const noexcept { return FLines.get(); }
    void SetLines(TStrings* v) { FLines->Assign(v); }
    TAlignment GetAlignment() const noexcept { return FAlignment; }
    void SetAlignment(TAlignment v);
    TScrollStyle GetScrollBars() const noexcept { return FScrollBars; }
    void SetScrollBars(TScrollStyle v);
    bool GetWordWrap() const noexcept { return FWordWrap; }
    void SetWordWrap(bool v);
    bool GetWantReturns() const noexcept { return FWantReturns; }
    void SetWantReturns(bool v) { FWantReturns = v; }
    bool GetWantTabs() const noexcept { return FWantTabs; }
    void SetWantTabs(bool v) { FWantTabs = v; }
    void DefaultHandler(TMessage& message) override;
    void Dispatch(TMessage& message) override;

protected:
    QWidget* CreateWidget(QWidget* parent) override;
    void WidgetCreated() override;
    void ApplyEditOptions() override;

private:
    void LinesChanged();
    std::unique_ptr<TStringList> FLines;
    TAlignment FAlignment = taLeftJustify;
    TScrollStyle FScrollBars = ssNone;
    bool FWordWrap = true;
    bool FWantReturns = true;
    bool FWantTabs = false;
    bool FSyncing = false;
};

class TMemo : public TCustomMemo {
    KAROMIL_CLASS(TMemo, TCustomMemo)
public:
    explicit TMemo(TComponent* owner) : TCustomMemo(owner) {}
};

// --- buttons ---------------------------------------------------------------------------------

// The base of push buttons, check boxes and radio buttons.
class TButtonControl : public TWidgetControl {
    KAROMIL_CLASS(TButtonControl, TWidgetControl)
public:
    explicit TButtonControl(TComponent* owner);
    void Dispatch(TMessage& message) override;
    bool GetWordWrap() const noexcept { return FWordWrap; }
    void SetWordWrap(bool v) { FWordWrap = v; }

protected:
    void WidgetCreated() override;
    bool FWordWrap = false;
};

class TButton : public TButtonControl {
    KAROMIL_CLASS(TButton, TButtonControl)
public:
    explicit TButton(TComponent* owner);
    bool GetDefault() const noexcept { return FDefault; }
    void SetDefault(bool v);
    bool GetCancel() const noexcept { return FCancel; }
    void SetCancel(bool v) { FCancel = v; }
    TModalResult GetModalResult() const noexcept { return FModalResult; }
    void SetModalResult(TModalResult v) { FModalResult = v; }
    // Fires OnClick, then hands ModalResult to the form.
    void Click() override;
    // Whether Enter clicks this button now (it has the focus, or it is the default one and no
    // other button has the focus).
    bool IsActive() const noexcept { return FActive; }
    void Dispatch(TMessage& message) override;

protected:
    QWidget* CreateWidget(QWidget* parent) override;
    void WidgetCreated() override;
    void SetActive(bool v);

private:
    bool FDefault = false;
    bool FCancel = false;
    bool FActive = false;
    TModalResult FModalResult = mrNone;
};

class TCustomCheckBox : public TButtonControl {
    KAROMIL_CLASS(TCustomCheckBox, TButtonControl)
public:
    explicit TCustomCheckBox(TComponent* owner);
    bool GetChecked() const noexcept { return FState == cbChecked; }
    void SetChecked(bool v) { SetState(v ? cbChecked : cbUnchecked); }
    TCheckBoxState GetState() const noexcept { return FState; }
    void SetState(TCheckBoxState v);
    bool GetAllowGrayed() const noexcept { return FAllowGrayed; }
    void SetAllowGrayed(bool v);
    TLeftRight GetAlignment() const noexcept { return FAlignment; }
    void SetAlignment(TLeftRight v);
    void Dispatch(TMessage& message) override;

protected:
    QWidget* CreateWidget(QWidget* parent) override;
    void WidgetCreated() override;
    // The state changed (by the user or by code): OnClick.
    virtual void StateChanged();
    TCheckBoxState FState = cbUnchecked;

private:
    bool FAllowGrayed = false;
    TLeftRight FAlignment = lrRightJustify;
};

class TCheckBox : public TCustomCheckBox {
    KAROMIL_CLASS(TCheckBox, TCustomCheckBox)
public:
    explicit TCheckBox(TComponent* owner) : TCustomCheckBox(owner) {}
};

// Radio buttons with the same parent exclude each other.
class TRadioButton : public TButtonControl {
    KAROMIL_CLASS(TRadioButton, TButtonControl)
public:
    explicit TRadioButton(TComponent* owner);
    bool GetChecked() const noexcept { return FChecked; }
    void SetChecked(bool v);
    void Dispatch(TMessage& message) override;

protected:
    QWidget* CreateWidget(QWidget* parent) override;
    void WidgetCreated() override;

private:
    bool FChecked = false;
};

// --- combo box and list box ------------------------------------------------------------------

class TCustomComboBox : public TWidgetControl {
    KAROMIL_CLASS(TCustomComboBox, TWidgetControl)
public:
    explicit TCustomComboBox(TComponent* owner);
    ~TCustomComboBox() override;
    TStrings* GetItems() const noexcept { return FItems.get(); }
    void SetItems(TStrings* v) { FItems->Assign(v); }
    int GetItemIndex() const noexcept { return FItemIndex; }
    void SetItemIndex(int v);
    TComboBoxStyle GetStyle() const noexcept { return FStyle; }
    void SetStyle(TComboBoxStyle v);
    int GetDropDownCount() const noexcept { return FDropDownCount; }
    void SetDropDownCount(int v);
    bool GetSorted() const noexcept { return FItems->Sorted(); }
    void SetSorted(bool v) { FItems->SetSorted(v); }
    int GetMaxLength() const noexcept { return FMaxLength; }
    void SetMaxLength(int v);
    bool GetDroppedDown() const;
    void SetDroppedDown(bool v);
    // The rows' height: ItemHeight for the owner-drawn styles, else the font's.
    int GetItemHeight() const;
    void SetItemHeight(int v);
    // Owner-drawn styles paint through this canvas (outside a paint it only measures).
    TCanvas* Canvas() const noexcept { return FCanvas.get(); }
    std::string GetText() const;
    void SetText(const std::string& v) { TWidgetControl::SetText(v); }
    void Clear();
    void Dispatch(TMessage& message) override;
    void DefaultHandler(TMessage& message) override;

    TNotifyEvent OnChange;
    TNotifyEvent OnDropDown;
    TNotifyEvent OnCloseUp;
    TDrawItemEvent OnDrawItem;

protected:
    QWidget* CreateWidget(QWidget* parent) override;
    void WidgetCreated() override;
    int ColorRole() const override;
    virtual void Change();
    // The list opened (OnDropDown) or closed (OnCloseUp).
    virtual void DropDown();
    virtual void CloseUp();
    // An owner-drawn row (odComboBoxEdit: the closed combo's field); the canvas has the font,
    // and the highlight colours for a selected row.
    virtual void DrawItem(int index, const TRect& rect, TOwnerDrawState state);
    bool Editable() const noexcept { return FStyle == csDropDown || FStyle == csSimple; }
    bool OwnerDraw() const noexcept { return FStyle == csOwnerDrawFixed || FStyle == csOwnerDrawVariable; }
    // A combo with a look of its own (a flat frame and a narrow button) answers where its text
    // field and its drop button lie, in client coordinates, and paints everything around the
    // field with Canvas in PaintFrame. Empty rectangles keep the style's look.
    virtual TRect CustomFieldRect() const { return {}; }
    virtual TRect CustomButtonRect() const { return {}; }
    virtual void PaintFrame() {}
    // Width of the opened list; 0 leaves the control's width.
    virtual int CustomListWidth() const { return 0; }

private:
    friend class TComboPopupWatch;
    friend class TComboItemPainter;
    void PaintItem(QPainter* painter, const TRect& rect, int index, TOwnerDrawState state);
    void ApplyOwnerDraw();
    std::unique_ptr<TCanvas> FCanvas;
    int FItemHeight = 16;
    void ItemsChanged();
    void Refill();
    std::unique_ptr<TStringList> FItems;
    int FItemIndex = -1;
    TComboBoxStyle FStyle = csDropDown;
    int FDropDownCount = 8;
    int FMaxLength = 0;
    bool FDropped = false;
};

class TComboBox : public TCustomComboBox {
    KAROMIL_CLASS(TComboBox, TCustomComboBox)
public:
    explicit TComboBox(TComponent* owner) : TCustomComboBox(owner) {}
};

// Per-item data the list keeps beside each line: selection and, for check lists, the state.
enum TListBoxStyle { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable };
KAROMIL_ENUM_TYPE(TListBoxStyle, "lbStandard", "lbOwnerDrawFixed", "lbOwnerDrawVariable")

// A list of lines painted by the control itself (deterministic rows, and the owner-drawn
// styles). Rows are ItemHeight high (lbStandard: the font's height; lbOwnerDrawVariable:
// what MeasureItem answers for each). A vertical scroll bar appears when the rows overflow.
// A left-button press captures the mouse and the selection follows it until the release, as
// a Windows list box tracks. The selection paints in the highlight colours whether or not the
// list has the focus.
class TCustomListBox : public TCustomControl {
    KAROMIL_CLASS(TCustomListBox, TCustomControl)
public:
    explicit TCustomListBox(TComponent* owner);
    ~TCustomListBox() override;
    TStrings* GetItems() const noexcept { return FItems.get(); }
    void SetItems(TStrings* v) { FItems->Assign(v); }
    int Count() const { return FItems->Count(); }
    int GetItemIndex() const noexcept { return FItemIndex; }
    void SetItemIndex(int v);
    bool GetMultiSelect() const noexcept { return FMultiSelect; }
    void SetMultiSelect(bool v);
    // With MultiSelect: a click selects one item, Ctrl+click toggles, Shift+click a range;
    // without it a click toggles.
    bool GetExtendedSelect() const noexcept { return FExtendedSelect; }
    void SetExtendedSelect(bool v) { FExtendedSelect = v; }
    bool GetSorted() const noexcept { return FItems->Sorted(); }
    void SetSorted(bool v) { FItems->SetSorted(v); }
    TListBoxStyle GetStyle() const noexcept { return FStyle; }
    void SetStyle(TListBoxStyle v);
    int GetItemHeight() const;
    void SetItemHeight(int v);
    // Whether the height is cut to whole rows.
    bool GetIntegralHeight() const noexcept { return FIntegralHeight; }
    void SetIntegralHeight(bool v);
    TBorderStyle GetBorderStyle() const noexcept { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle v);
    int GetSelCount() const;
    bool GetSelected(int index) const;
    void SetSelected(int index, bool v);
    int GetTopIndex() const noexcept { return FTopIndex; }
    void SetTopIndex(int v);
    void Clear() { FItems->Clear(); }
    void SelectAll();
    void ClearSelection();
    // The item under a client point; outside the client area -1, below the last item -1 when
    // existing, else Count.
    int ItemAtPos(TPoint p, bool existing) const;
    // The item's row in client coordinates (rows above the top have negative coordinates).
    TRect ItemRect(int index) const;
    void SetBounds(int left, int top, int width, int height) override;
    void Dispatch(TMessage& message) override;
    void DefaultHandler(TMessage& message) override;

    TDrawItemEvent OnDrawItem;
    TMeasureItemEvent OnMeasureItem;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void Paint() override;
    // Owner-drawn styles: the row's height (starts as ItemHeight) and its painting. The canvas
    // comes with the control's font, and with the highlight colours for a selected row.
    virtual void MeasureItem(int index, int& height);
    virtual void DrawItem(int index, const TRect& rect, TOwnerDrawState state);
    bool DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos) override;
    // A strip left of every row that the list does not select (the check list's boxes).
    virtual int ItemIndent() const { return 0; }
    virtual void DrawIndent(int index, const TRect& rect) {
        (void)index;
        (void)rect;
    }
    // A press in a row, before the selection follows it.
    virtual void ItemPressed(int index, TPoint p) {
        (void)index;
        (void)p;
    }
    // Per-item flag bits kept with the line through sorting, inserts and deletes.
    enum : uint8_t { ifSelected = 1, ifStateMask = 6, ifStateShift = 1 };
    uint8_t ItemFlags(int index) const { return FFlags.at(size_t(index)); }
    void SetItemFlags(int index, uint8_t flags);
    void InvalidateItem(int index);

private:
    void ItemsChanging();
    void ItemsChanged();
    void Measure();
    int RowHeight(int index) const;
    int MaxTopIndex() const;
    void UpdateScrollBar();
    void ScrollInView(int index);
    void AdjustIntegralHeight();
    // Moves the selection as the user does (mouse or keys); fires OnClick when asked.
    void UserSelect(int index, TShiftState shift, bool toggle);
    void SelectRange(int from, int to);
    int FindPrefix(const std::string& prefix, int after) const;
    std::unique_ptr<TStringList> FItems;
    std::vector<uint8_t> FFlags;
    std::vector<std::pair<std::pair<std::string, TObject*>, uint8_t>> FSnapshot;
    std::vector<int> FHeights;  // lbOwnerDrawVariable
    bool FMeasured = false;
    int FItemIndex = -1;
    int FTopIndex = 0;
    int FAnchor = -1;
    bool FMultiSelect = false;
    bool FExtendedSelect = true;
    TListBoxStyle FStyle = lbStandard;
    int FItemHeight = 16;
    bool FIntegralHeight = false;
    TBorderStyle FBorderStyle = bsSingle;
    bool FTracking = false;
    bool FPressedItem = false;
    bool FAdjusting = false;
};

class TListBox : public TCustomListBox {
    KAROMIL_CLASS(TListBox, TCustomListBox)
public:
    explicit TListBox(TComponent* owner) : TCustomListBox(owner) {}
};

// List-box messages answered by TCustomListBox (LParam of LB_SELECTSTRING and LB_FINDSTRING
// is a const char* in UTF-8).
enum : UINT {
    LB_SETCURSEL = 0x0186,
    LB_GETCURSEL = 0x0188,
    LB_GETCOUNT = 0x018B,
    LB_SELECTSTRING = 0x018C,
    LB_GETTOPINDEX = 0x018E,
    LB_FINDSTRING = 0x018F,
    LB_SETTOPINDEX = 0x0197,
    LB_GETITEMHEIGHT = 0x01A1,
};
constexpr LRESULT LB_ERR = -1;

// --- containers ------------------------------------------------------------------------------

class TCustomGroupBox : public TCustomControl {
    KAROMIL_CLASS(TCustomGroupBox, TCustomControl)
public:
    explicit TCustomGroupBox(TComponent* owner);
    void Dispatch(TMessage& message) override;

protected:
    void Paint() override;
    void AlignControls(TControl* control, TRect& rect) override;
};

class TGroupBox : public TCustomGroupBox {
    KAROMIL_CLASS(TGroupBox, TCustomGroupBox)
public:
    explicit TGroupBox(TComponent* owner) : TCustomGroupBox(owner) {}
};

class TScrollBox : public TScrollingWinControl {
    KAROMIL_CLASS(TScrollBox, TScrollingWinControl)
public:
    explicit TScrollBox(TComponent* owner);
    TBorderStyle GetBorderStyle() const noexcept { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle v);

protected:
    void CreateParams(TCreateParams& params) override;

private:
    TBorderStyle FBorderStyle = bsSingle;
};

// Whether ch (from WM_CHAR / CM_DIALOGCHAR) is the "&" accelerator of text, case-insensitively.
bool IsAccel(WPARAM ch, const std::string& text);
// Removes the "&" accelerator marks ("&&" stays one "&").
std::string StripHotkey(const std::string& text);
// The accelerator character of a caption (lower case), 0 without one.
char32_t HotkeyOf(const std::string& text);
