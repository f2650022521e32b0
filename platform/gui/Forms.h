#pragma once
// Forms: the top-level window that keeps the focused control, runs the CM_ENTER / CM_EXIT
// chain, answers dialog keys (Tab and arrows move the focus unless the focused control asks for
// them through WM_GETDLGCODE; Enter and Escape reach the default and cancel buttons), closes
// through CloseQuery/OnClose, and shows modally with its own message loop.
//
// ShowModal never uses a dialog class of Qt: such a class closes on Escape by itself, while
// here only the form's own handlers decide. Closing a modal form by the window manager sets
// ModalResult to mrCancel. The result is returned after OnHide ran, so OnHide may change it.
//
// Also the data module (a non-visual container listed by Screen) and the hint window.

#include <string>

#include "platform/gui/Controls.h"

class TControlScrollBar;
class TMainMenu;

enum TCloseAction { caNone, caHide, caFree, caMinimize };
KAROMIL_ENUM_TYPE(TCloseAction, "caNone", "caHide", "caFree", "caMinimize")
using TCloseEvent = std::function<void(TObject* sender, TCloseAction& action)>;
using TCloseQueryEvent = std::function<void(TObject* sender, bool& canClose)>;

using TModalResult = int;
// The property type of ModalResult: an Integer under its own name, for editors that look it up.
KAROMIL_NAMED_TYPE(TypeInfoModalResult, tkInteger, "TModalResult")
enum : TModalResult {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7,
    mrAll = 8,
    mrNoToAll = 9,
    mrYesToAll = 10,
};

enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
KAROMIL_ENUM_TYPE(TFormBorderStyle, "bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin")
enum TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
KAROMIL_ENUM_TYPE(TBorderIcon, "biSystemMenu", "biMinimize", "biMaximize", "biHelp")
using TBorderIcons = TSet<TBorderIcon>;
KAROMIL_SET_TYPE(TBorderIcons, TBorderIcon)
enum TPosition {
    poDesigned,
    poDefault,
    poDefaultPosOnly,
    poDefaultSizeOnly,
    poScreenCenter,
    poDesktopCenter,
    poMainFormCenter,
    poOwnerFormCenter,
};
KAROMIL_ENUM_TYPE(TPosition, "poDesigned", "poDefault", "poDefaultPosOnly", "poDefaultSizeOnly", "poScreenCenter",
    "poDesktopCenter", "poMainFormCenter", "poOwnerFormCenter")
enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
KAROMIL_ENUM_TYPE(TFormStyle, "fsNormal", "fsMDIChild", "fsMDIForm", "fsStayOnTop")
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
KAROMIL_ENUM_TYPE(TWindowState, "wsNormal", "wsMinimized", "wsMaximized")

// --- scrolling windows -----------------------------------------------------------------------

// One scroll bar of a scrolling window: Range is the extent of the content (0: computed from
// the children), Position the scrolled distance.
class TControlScrollBar : public TPersistent {
    KAROMIL_CLASS(TControlScrollBar, TPersistent)
public:
    TControlScrollBar(class TScrollingWinControl* control, int bar) : FControl(control), FBar(bar) {}
    int GetPosition() const noexcept { return FPosition; }
    void SetPosition(int v);
    int GetRange() const noexcept { return FRange; }
    void SetRange(int v);
    bool GetVisible() const noexcept { return FVisible; }
    void SetVisible(bool v);
    int GetIncrement() const noexcept { return FIncrement; }
    void SetIncrement(int v) { FIncrement = v > 0 ? v : 1; }
    bool Smooth = false;  // only how the thumb moves on Windows; kept for stored windows
    bool Tracking = false;  // scroll while the thumb is dragged
    bool IsScrollBarVisible() const noexcept { return FShown; }
    int ScrollPos() const noexcept { return FShown ? FPosition : 0; }

private:
    friend class TScrollingWinControl;
    TScrollingWinControl* FControl;
    int FBar;
    int FPosition = 0;
    int FRange = 0;
    int FCalcRange = 0;
    int FIncrement = 8;
    bool FVisible = true;
    bool FShown = false;
};

// A window whose children may extend beyond its client area: the window's scroll bars move them.
class TScrollingWinControl : public TWinControl {
    KAROMIL_CLASS(TScrollingWinControl, TWinControl)
public:
    explicit TScrollingWinControl(TComponent* owner);
    ~TScrollingWinControl() override;
    TControlScrollBar* GetHorzScrollBar() const noexcept { return FHorz.get(); }
    TControlScrollBar* GetVertScrollBar() const noexcept { return FVert.get(); }
    void SetHorzScrollBar(TControlScrollBar* v) { FHorz->Assign(v); }
    void SetVertScrollBar(TControlScrollBar* v) { FVert->Assign(v); }
    bool GetAutoScroll() const noexcept { return FAutoScroll; }
    void SetAutoScroll(bool v);
    // Scrolls so that the control is wholly visible.
    void ScrollInView(TControl* control);
    void Dispatch(TMessage& message) override;
    // Recomputes the ranges from the children and shows or hides the bars.
    void UpdateScrollBars();

protected:
    void AlignControls(TControl* control, TRect& rect) override;
    void CreateWnd() override;

private:
    friend class TControlScrollBar;
    void ScrollBy(int dx, int dy);
    void Scroll(TControlScrollBar* bar, int code, int pos);
    std::unique_ptr<TControlScrollBar> FHorz, FVert;
    bool FAutoScroll = true;
    bool FUpdatingBars = false;
};

// --- forms -----------------------------------------------------------------------------------

enum TFormStateFlag { fsCreating, fsVisible, fsShowing, fsModal, fsActivated };
using TFormState = TSet<TFormStateFlag>;

class TCustomForm : public TScrollingWinControl {
    KAROMIL_CLASS(TCustomForm, TScrollingWinControl)
public:
    explicit TCustomForm(TComponent* owner);
    ~TCustomForm() override;
    // The form's OnCreate: called by Application->CreateForm after the instance variable is set,
    // or by whoever creates a form with new, after the build function finished.
    void AfterConstruction();

    void Dispatch(TMessage& message) override;

    TWinControl* GetActiveControl() const noexcept { return FActiveControl; }
    // EInvalidOperation "Cannot focus a disabled or invisible window" when it cannot.
    void SetActiveControl(TWinControl* control);
    // The innermost control the CM_ENTER chain has reached.
    TWinControl* FocusedControl() const noexcept { return FFocusedControl; }
    // Moves the form's focus to control: CM_EXIT up the old chain to the common parent, then
    // CM_ENTER down the new one. False when a handler moved the focus elsewhere meanwhile.
    // An exception from CM_EXIT leaves the change where it stopped and propagates.
    virtual bool SetFocusedControl(TWinControl* control);
    void FocusControl(TWinControl* control);
    void DefocusControl(TWinControl* control, bool removing);
    // Sends CM_CANCELMODE(sender) to the active control, before a mouse press is handled.
    void SendCancelMode(TControl* sender);

    bool Active() const noexcept { return FActive; }
    bool GetKeyPreview() const noexcept { return FKeyPreview; }
    void SetKeyPreview(bool v) { FKeyPreview = v; }
    // The main menu whose shortcuts work anywhere in the form (Menus.h).
    TMainMenu* GetMenu() const noexcept { return FMenu; }
    void SetMenu(TMainMenu* v);
    // Hides the form (or, when modal, ends the modal loop with mrCancel) after CloseQuery and OnClose.
    void Close();
    virtual bool CloseQuery();
    bool CanFocus() const override;
    void SetFocus() override;
    TModalResult GetModalResult() const noexcept { return FModalResult; }
    // Setting a result other than mrNone ends a modal showing.
    void SetModalResult(TModalResult v) noexcept { FModalResult = v; }
    // Shows the form and runs a message loop until ModalResult is set; disables the other
    // windows meanwhile. EInvalidOperation "Cannot make a visible window modal" when shown.
    virtual TModalResult ShowModal();
    void Show();
    // Shows the form and paints it before returning: waits (at most timeoutMs, handling events)
    // until the window system has mapped the window, then paints it and flushes the display
    // connection. For a window that stays while the program blocks (a splash before a pause).
    void ShowAndPaint(int timeoutMs = 1000);
    void Hide();
    // Frees the form once the message being handled is done.
    void Release();
    TFormState FormState() const noexcept { return FFormState; }

    std::string GetCaption() const { return GetText(); }
    void SetCaption(const std::string& v) { SetText(v); }
    TFormBorderStyle GetBorderStyle() const noexcept { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle v);
    TBorderIcons GetBorderIcons() const noexcept { return FBorderIcons; }
    void SetBorderIcons(TBorderIcons v);
    TPosition GetPosition() const noexcept { return FPosition; }
    void SetPosition(TPosition v) { FPosition = v; }
    TFormStyle GetFormStyle() const noexcept { return FFormStyle; }
    void SetFormStyle(TFormStyle v);
    TWindowState GetWindowState() const noexcept { return FWindowState; }
    void SetWindowState(TWindowState v);
    // The Qt window flags (Qt::WindowFlags as an integer) that BorderStyle, BorderIcons and
    // FormStyle give; tests read them.
    uint32_t QtWindowFlags() const;

    // The form paints through Canvas in OnPaint.
    TCanvas* Canvas() const noexcept { return FPaintDC ? FPaintDC : FCanvas.get(); }

    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnCreate;
    TNotifyEvent OnDestroy;
    TNotifyEvent OnPaint;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;

protected:
    void Notification(TComponent* component, TOperation operation) override;
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle(const TCreateParams& params) override;
    void PaintWindow(HDC dc) override;
    void VisibleChanging() override;
    virtual void Activate();
    virtual void Deactivate();
    virtual void DoClose(TCloseAction& action);
    void SetWindowFocus();

private:
    void ApplyWindowFlags();
    void PlaceOnShow();
    void FitToWorkArea();
    void CloseModal();
    TWinControl* FActiveControl = nullptr;
    TWinControl* FFocusedControl = nullptr;
    bool FActive = false;
    bool FKeyPreview = false;
    TMainMenu* FMenu = nullptr;
    bool FCreated = false;
    TModalResult FModalResult = mrNone;
    int FFocusCount = 0;
    TFormState FFormState;
    TFormBorderStyle FBorderStyle = bsSizeable;
    TBorderIcons FBorderIcons{biSystemMenu, biMinimize, biMaximize};
    TPosition FPosition = poDesigned;
    TFormStyle FFormStyle = fsNormal;
    TWindowState FWindowState = wsNormal;
    std::unique_ptr<TCanvas> FCanvas;
    TCanvas* FPaintDC = nullptr;
};

class TForm : public TCustomForm {
    KAROMIL_CLASS(TForm, TCustomForm)
public:
    explicit TForm(TComponent* owner) : TCustomForm(owner) {}
};

// Tests answer modal forms here: called once the form is shown and its loop runs (the hook
// may press keys, click, or set ModalResult). Empty removes it.
using TShowModalHook = std::function<void(TCustomForm* form)>;
void SetShowModalHook(TShowModalHook hook);

class TDataModule : public TComponent {
    KAROMIL_CLASS(TDataModule, TComponent)
public:
    explicit TDataModule(TComponent* owner);
    ~TDataModule() override;
    void AfterConstruction();
    TNotifyEvent OnCreate;
    TNotifyEvent OnDestroy;
};

// --- stored window definitions ---------------------------------------------------------------
// A build function makes a window's components inside the loading bracket, sets their stored
// properties, and finishes: Loaded runs on the root and then on each component in creation
// order. A property naming a component of another window or module ("DM.DSVys") is resolved
// by name when that module has been built, at once when it already exists.
class TFormLoader {
public:
    explicit TFormLoader(TComponent* root);
    ~TFormLoader();
    TFormLoader(const TFormLoader&) = delete;
    TFormLoader& operator=(const TFormLoader&) = delete;

    // A component owned by the root, named, inside the bracket, on parent when given.
    template <class T>
    T* Add(const std::string& name, TWinControl* parent = nullptr) {
        T* c = new T(FRoot);
        Adopt(c, name, parent);
        return c;
    }
    void Adopt(TComponent* component, const std::string& name, TWinControl* parent);
    // "Module.Component" or "Component" of the root; assign runs with the component found.
    void Reference(TComponent* holder, const std::string& path, std::function<void(TComponent*)> assign);
    // Closes the bracket: Loaded on everything, then the references.
    void Finish();

private:
    TComponent* FRoot;
    std::vector<TComponent*> FLoading;
    bool FFinished = false;
};

// The window or data module of that name among those alive (Screen's forms and data modules).
TComponent* FindGlobalComponent(const std::string& name);
// Resolves waiting references to components of the module; TFormLoader::Finish calls it.
void ResolveReferences(TComponent* module);
// How many references still wait for their module (tests read it).
int PendingReferenceCount();

// The tooltip window: a non-activating popup that the mouse passes through.
class THintWindow : public TCustomControl {
    KAROMIL_CLASS(THintWindow, TCustomControl)
public:
    explicit THintWindow(TComponent* owner);
    // Shows text at r (screen coordinates).
    virtual void ActivateHint(const TRect& r, const std::string& hint);
    virtual TRect CalcHintRect(int maxWidth, const std::string& hint);
    void ReleaseHandle();
    bool Active() const;

protected:
    void CreateParams(TCreateParams& params) override;
    void Paint() override;
    void Dispatch(TMessage& message) override;
};
