#pragma once
// The control hierarchy: TControl, TWinControl (a control with a window), TCustomControl (a
// window with a Canvas and Paint) and TGraphicControl (painted on its parent's window).
//
// A control lives without a window: its bounds, Visible, Enabled, Text, Font and Color are kept
// by the object. The window (a pair of Qt widgets: the outer one is the whole window and draws
// the emulated non-client area and scroll bars, the inner one is the client area) is created
// by HandleNeeded or when the control is first shown, from CreateParams, and CreateWnd is the
// hook that runs after it. RecreateWnd keeps the widgets and applies CreateParams again.
//
// Every Qt event for a control's window is translated into window messages in one place
// (Controls.cpp, TWindowBridge), in Windows' order, and goes WndProc -> Dispatch ->
// DefaultHandler. Perform sends synchronously; PostMessage queues (Application.h).
//
// Ownership: the owner alone frees a control. When a windowed control goes away first, its
// children lose their parent and their windows are detached, so Qt never deletes a widget a
// control still points to.

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/classes/Alignment.h"
#include "platform/classes/Component.h"
#include "platform/classes/List.h"
#include "platform/gui/Graphics.h"
#include "platform/gui/Messages.h"

class QWidget;
class TControl;
class TWinControl;
class TCustomForm;
class TDragObject;
class TDragImageList;
class TPopupMenu;
class TAction;

// --- enumerations and event types ------------------------------------------------------------

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
KAROMIL_ENUM_TYPE(TAlign, "alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient", "alCustom")

enum TControlStyleFlag {
    csAcceptsControls,
    csCaptureMouse,
    csDesignInteractive,
    csClickEvents,
    csFramed,
    csSetCaption,
    csOpaque,
    csDoubleClicks,
    csFixedWidth,
    csFixedHeight,
    csNoDesignVisible,
    csReplicatable,
    csNoStdEvents,
    csDisplayDragImage,
    csReflector,
    csActionClient,
    csMenuEvents,
};
using TControlStyle = TSet<TControlStyleFlag>;

enum TControlStateFlag {
    csLButtonDown,
    csClicked,
    csPalette,
    csReadingState,
    csAlignmentNeeded,
    csFocusing,
    csCreating,
    csPaintCopy,
    csCustomPaint,
    csDestroyingHandle,
};
using TControlState = TSet<TControlStateFlag>;

enum TDragMode { dmManual, dmAutomatic };
KAROMIL_ENUM_TYPE(TDragMode, "dmManual", "dmAutomatic")
enum TDragState { dsDragEnter, dsDragLeave, dsDragMove };
enum TDragMessage { dmDragEnter, dmDragLeave, dmDragMove, dmDragDrop, dmDragCancel, dmFindTarget };

using TCursor = int16_t;
KAROMIL_NAMED_TYPE(TypeInfoCursor, tkInteger, "TCursor")
enum : TCursor {
    crDefault = 0,
    crNone = -1,
    crArrow = -2,
    crCross = -3,
    crIBeam = -4,
    crSizeNESW = -6,
    crSizeNS = -7,
    crSizeNWSE = -8,
    crSizeWE = -9,
    crUpArrow = -10,
    crHourGlass = -11,
    crDrag = -12,
    crNoDrop = -13,
    crHSplit = -14,
    crVSplit = -15,
    crMultiDrag = -16,
    crSQLWait = -17,
    crNo = -18,
    crAppStart = -19,
    crHelp = -20,
    crHandPoint = -21,
    crSizeAll = -22,
    crSize = -22,
};

using TMouseEvent = std::function<void(TObject* sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(TObject* sender, TShiftState shift, int x, int y)>;
using TMouseWheelEvent =
    std::function<void(TObject* sender, TShiftState shift, int wheelDelta, TPoint mousePos, bool& handled)>;
using TKeyEvent = std::function<void(TObject* sender, WORD& key, TShiftState shift)>;
using TKeyPressEvent = std::function<void(TObject* sender, char32_t& key)>;
using TDragOverEvent =
    std::function<void(TObject* sender, TObject* source, int x, int y, TDragState state, bool& accept)>;
using TDragDropEvent = std::function<void(TObject* sender, TObject* source, int x, int y)>;
using TEndDragEvent = std::function<void(TObject* sender, TObject* target, int x, int y)>;
using TStartDragEvent = std::function<void(TObject* sender, TDragObject*& dragObject)>;
using TCanResizeEvent = std::function<void(TObject* sender, int& newWidth, int& newHeight, bool& resize)>;

// What CreateParams fills in before the window is made or re-made.
struct TCreateParams {
    std::string Caption;
    uint32_t Style = 0;
    uint32_t ExStyle = 0;
    int X = 0, Y = 0, Width = 0, Height = 0;
    HWND WndParent = nullptr;
    struct {
        uint32_t style = 0;
    } WindowClass;
    std::string WinClassName;
};

// CM_DRAG: the drag message in WParam, a TDragRec* in LParam; dmFindTarget answers the
// control, the others whether the target accepts.
struct TDragRec {
    TPoint Pos;  // screen point
    TDragObject* Source = nullptr;
    TControl* Target = nullptr;
    bool Docking = false;
};
struct TCMDrag : TMessageView {
    using TMessageView::TMessageView;
    TDragMessage DragMessage() const noexcept { return TDragMessage(M.WParam); }
    TDragRec* DragRec() const noexcept { return reinterpret_cast<TDragRec*>(M.LParam); }
};
// CM_CANCELMODE: the control that caused it in LParam.
struct TCMCancelMode : TMessageView {
    using TMessageView::TMessageView;
    TControl* Sender() const noexcept { return reinterpret_cast<TControl*>(M.LParam); }
};
// CM_HINTSHOW: a THintInfo* in LParam; a non-zero Result suppresses the hint.
struct THintInfo {
    TControl* HintControl = nullptr;
    TPoint CursorPos;  // in the control's client coordinates
    TRect CursorRect;
    std::string HintStr;
    int HideTimeout = 0;
};
struct TCMHintShow : TMessageView {
    using TMessageView::TMessageView;
    THintInfo* HintInfo() const noexcept { return reinterpret_cast<THintInfo*>(M.LParam); }
};

// --- TControl --------------------------------------------------------------------------------

class TControl : public TComponent {
    KAROMIL_CLASS(TControl, TComponent)
public:
    explicit TControl(TComponent* owner);
    ~TControl() override;

    // --- messages
    // The entry of every message; descendants handle before or after inherited::WndProc.
    virtual void WndProc(TMessage& message);
    // Routes a message to this class's handling; what no class handles reaches DefaultHandler.
    virtual void Dispatch(TMessage& message);
    // The window's default procedure.
    virtual void DefaultHandler(TMessage& message);
    LRESULT Perform(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);

    // --- parent and geometry (window rectangle in the parent's client coordinates)
    TWinControl* GetParent() const noexcept { return FParent; }
    virtual void SetParent(TWinControl* parent);
    bool HasParent() const override { return true; }
    TComponent* GetParentComponent() const override;
    void SetParentComponent(TComponent* parent) override;
    int GetLeft() const noexcept { return FLeft; }
    int GetTop() const noexcept { return FTop; }
    int GetWidth() const noexcept { return FWidth; }
    int GetHeight() const noexcept { return FHeight; }
    void SetLeft(int v) { SetBounds(v, FTop, FWidth, FHeight); }
    void SetTop(int v) { SetBounds(FLeft, v, FWidth, FHeight); }
    void SetWidth(int v) { SetBounds(FLeft, FTop, v, FHeight); }
    void SetHeight(int v) { SetBounds(FLeft, FTop, FWidth, v); }
    virtual void SetBounds(int left, int top, int width, int height);
    TRect GetBoundsRect() const noexcept { return Bounds(FLeft, FTop, FWidth, FHeight); }
    void SetBoundsRect(const TRect& r) { SetBounds(r.Left, r.Top, r.Width(), r.Height()); }
    virtual TRect GetClientRect() const;
    int GetClientWidth() const { return GetClientRect().Width(); }
    int GetClientHeight() const { return GetClientRect().Height(); }
    void SetClientWidth(int v);
    void SetClientHeight(int v);
    // The screen point of the client area's top-left corner.
    virtual TPoint GetClientOrigin() const;
    TPoint ClientToScreen(TPoint p) const;
    TPoint ScreenToClient(TPoint p) const;
    TAlign GetAlign() const noexcept { return FAlign; }
    void SetAlign(TAlign v);

    // --- state
    bool GetVisible() const noexcept { return FVisible; }
    void SetVisible(bool v);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    bool GetEnabled() const noexcept { return FEnabled; }
    virtual void SetEnabled(bool v);
    // Visible and every parent up to a top-level window showing.
    virtual bool Showing() const;
    TColor GetColor() const noexcept { return FColor; }
    void SetColor(TColor v);
    bool GetParentColor() const noexcept { return FParentColor; }
    void SetParentColor(bool v);
    TFont* GetFont() const noexcept { return FFont.get(); }
    void SetFont(TFont* v) { FFont->Assign(v); }
    bool GetParentFont() const noexcept { return FParentFont; }
    void SetParentFont(bool v);
    TCursor GetCursor() const noexcept { return FCursor; }
    void SetCursor(TCursor v);
    std::string GetText() const { return FText; }
    void SetText(const std::string& v);
    std::string GetCaption() const { return FText; }
    void SetCaption(const std::string& v) { SetText(v); }
    std::string GetHint() const { return FHint; }
    void SetHint(const std::string& v) { FHint = v; }
    bool GetShowHint() const noexcept { return FShowHint; }
    void SetShowHint(bool v) { FShowHint = v; }
    TDragMode GetDragMode() const noexcept { return FDragMode; }
    void SetDragMode(TDragMode v) { FDragMode = v; }
    TCursor GetDragCursor() const noexcept { return FDragCursor; }
    void SetDragCursor(TCursor v) { FDragCursor = v; }
    // Shown by a right click (Menus.h); its shortcuts work while the focus is inside.
    TPopupMenu* GetPopupMenu() const noexcept { return FPopupMenu; }
    void SetPopupMenu(TPopupMenu* v);
    // The action (ActnList.h) that sets caption, Enabled, Visible and Hint, and that a click
    // executes when there is no OnClick.
    TAction* GetAction() const noexcept { return FAction; }
    void SetAction(TAction* v);
    TControlStyle ControlStyle() const noexcept { return FControlStyle; }
    void SetControlStyle(TControlStyle s) noexcept { FControlStyle = s; }
    TControlState ControlState() const noexcept { return FControlState; }
    void SetControlState(TControlState s) noexcept { FControlState = s; }
    // Capture for this control (a graphic control captures through its parent's window).
    bool GetMouseCapture() const;
    void SetMouseCapture(bool v);

    // --- painting
    virtual void Invalidate();
    virtual void Update();
    virtual void Repaint();
    void Refresh() { Repaint(); }
    // Paints the control (and its children) into dc with its top-left corner at (x, y).
    virtual void PaintTo(HDC dc, int x, int y);
    void BringToFront();
    void SendToBack();

    // --- drag and drop (the class library's own, not the system's)
    void BeginDrag(bool immediate, int threshold = -1);
    void EndDrag(bool drop);
    bool Dragging() const;
    virtual TDragImageList* GetDragImages() { return nullptr; }

    // --- events
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TNotifyEvent OnResize;
    // Asked before a change of size; it may adjust the new size or refuse the change.
    TCanResizeEvent OnCanResize;
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;
    TMouseWheelEvent OnMouseWheel;
    TDragOverEvent OnDragOver;
    TDragDropEvent OnDragDrop;
    TEndDragEvent OnEndDrag;
    TStartDragEvent OnStartDrag;

    // The parent chain's window for this control's client area (its own for a windowed one).
    virtual QWidget* ClientWidget() const;

    // Replaces WndProc as the entry of Perform when set (subclassing a control's messages);
    // a hook calls WndProc for what it passes on.
    std::function<void(TMessage&)> WindowProc;

protected:
    // --- class-library virtuals, fired by the inherited handling of the messages
    virtual void Click();
    virtual void DblClick();
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual bool DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos);
    virtual void Resize();
    virtual bool CanResize(int& newWidth, int& newHeight);
    virtual void DoStartDrag(TDragObject*& dragObject);
    virtual void DragOver(TObject* source, int x, int y, TDragState state, bool& accept);
    virtual void DragDrop(TObject* source, int x, int y);
    virtual void DoEndDrag(TObject* target, int x, int y);
    virtual void VisibleChanging() {}
    // Moves the bounds to the window (windowed controls) or repaints (graphic ones).
    virtual void BoundsChanged(const TRect& oldBounds);
    virtual void FontChanged();
    void SendCancelMode(TControl* sender);
    void InvalidateControl(bool isVisible, bool isOpaque);
    void Notification(TComponent* component, TOperation operation) override;
    void ChangeBounds(int left, int top, int width, int height);  // without side effects
    // The window changed its own text (a user typed): no CM_TEXTCHANGED back to it.
    void SetTextSilently(const std::string& v) { FText = v; }

    bool FParentFont = true;
    bool FParentColor = false;
    TControlStyle FControlStyle;
    TControlState FControlState;

private:
    friend class TWinControl;
    friend class TWindowBridge;
    friend class TDragManager;
    friend class TCustomForm;
    void DoMouseDown(TMessage& m, TMouseButton button, TShiftState extra);
    void DoMouseUp(TMessage& m, TMouseButton button);
    void FontObjectChanged(TObject*);

    TWinControl* FParent = nullptr;
    int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
    TAlign FAlign = alNone;
    bool FVisible = true;
    bool FEnabled = true;
    TColor FColor = clWindow;
    std::unique_ptr<TFont> FFont;
    bool FFontInternal = false;
    TCursor FCursor = crDefault;
    std::string FText;
    std::string FHint;
    bool FShowHint = false;
    TDragMode FDragMode = dmManual;
    TCursor FDragCursor = crDrag;
    TPopupMenu* FPopupMenu = nullptr;
    TAction* FAction = nullptr;
};

// --- TWinControl -----------------------------------------------------------------------------

class TWinControl : public TControl {
    KAROMIL_CLASS(TWinControl, TControl)
public:
    explicit TWinControl(TComponent* owner);
    ~TWinControl() override;

    void Dispatch(TMessage& message) override;
    void DefaultHandler(TMessage& message) override;
    void WndProc(TMessage& message) override;

    // --- children
    int ControlCount() const noexcept { return int(FControls.size()); }
    TControl* Controls(int index) const { return FControls.at(size_t(index)); }
    bool ContainsControl(const TControl* control) const;
    // The child (visible or all) whose bounds hold the client point; graphic and windowed.
    TControl* ControlAtPos(TPoint p, bool allowDisabled = false, bool allowWinControls = false) const;
    void Broadcast(TMessage& message);
    void NotifyControls(UINT msg);
    void Realign();
    void DisableAlign() { ++FAlignLevel; }
    void EnableAlign();

    // --- window
    HWND GetHandle();  // creates the window when needed
    HWND WindowHandle() const noexcept;  // nullptr without a window
    bool HandleAllocated() const noexcept { return FHandleAllocated; }
    void HandleNeeded();
    void DestroyHandle();
    void RecreateWnd();
    // A top-level control's owner window (popups, hidden hosts).
    HWND GetParentWindow() const noexcept { return FParentWindow; }
    void SetParentWindow(HWND w);
    uint32_t GetWindowStyle() const noexcept { return FStyle; }
    uint32_t GetWindowExStyle() const noexcept { return FExStyle; }
    uint32_t GetClassStyle() const noexcept { return FClassStyle; }
    // Sets the style bits as SetWindowLong does; a frame change recalculates the client area.
    void SetWindowStyle(uint32_t style);
    void SetWindowExStyle(uint32_t exStyle);
    // Recomputes the non-client area (WM_NCCALCSIZE) and delivers WM_SIZE when the client changed.
    void RecalcFrame();
    TRect GetClientRect() const override;
    TPoint GetClientOrigin() const override;
    // The client rectangle in the window's own coordinates.
    TRect ClientRectInWindow() const noexcept { return FClientInWindow; }
    bool Showing() const override;
    QWidget* ClientWidget() const override;
    QWidget* OuterWidget() const noexcept;

    // --- focus and keyboard
    virtual bool CanFocus() const;
    virtual void SetFocus();
    bool Focused() const;
    bool GetTabStop() const noexcept { return FTabStop; }
    void SetTabStop(bool v);
    int GetTabOrder() const;
    void SetTabOrder(int v);
    // Windowed children in tab order, depth first.
    void GetTabOrderList(std::vector<TWinControl*>& list);
    TWinControl* FindNextControl(TWinControl* current, bool goForward, bool checkTabStop, bool checkParent);
    void SelectNext(TWinControl* current, bool goForward, bool checkTabStop);

    // --- painting and scrolling of the client area
    void Invalidate() override;
    void Update() override;
    void Repaint() override;
    void PaintTo(HDC dc, int x, int y) override;
    TBrush* GetBrush() const noexcept { return FBrush.get(); }
    bool GetDoubleBuffered() const noexcept { return true; }
    void SetEnabled(bool v) override;

    // --- scroll bars of the window (SB_HORZ / SB_VERT), with Windows' visibility rule
    int SetScrollInfo(int bar, const TScrollInfo& info, bool redraw);
    bool GetScrollInfo(int bar, TScrollInfo& info) const;
    // The bar's rectangle in window coordinates; empty when not shown.
    TRect ScrollBarRect(int bar) const noexcept { return FBarRect[bar == SB_VERT ? 1 : 0]; }
    QWidget* ScrollBarWidget(int bar) const noexcept;

    // The Qt side of the window (ControlsPrivate.h); nullptr before the first window.
    struct TWindow;
    TWindow* WindowData() const noexcept { return FWindow.get(); }

    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TKeyEvent OnKeyDown;
    TKeyPressEvent OnKeyPress;
    TKeyEvent OnKeyUp;

protected:
    virtual void CreateParams(TCreateParams& params);
    virtual void CreateHandle();
    virtual void CreateWnd();
    virtual void CreateWindowHandle(const TCreateParams& params);
    virtual void DestroyWnd();
    virtual void DestroyWindowHandle();
    virtual void AlignControls(TControl* aControl, TRect& rect);
    virtual void PaintWindow(HDC dc);
    void PaintHandler(TWMPaint message);
    void PaintControls(HDC dc, TControl* first);
    virtual void KeyDown(WORD& key, TShiftState shift);
    virtual void KeyUp(WORD& key, TShiftState shift);
    virtual void KeyPress(char32_t& key);
    virtual void DoEnter();
    virtual void DoExit();
    bool DoKeyDown(TWMKey message);
    bool DoKeyUp(TWMKey message);
    bool DoKeyPress(TWMKey message);
    void BoundsChanged(const TRect& oldBounds) override;
    void UpdateShowing();
    void ShowControl(TControl* control);
    virtual void InsertControl(TControl* control);
    virtual void RemoveControl(TControl* control);

private:
    friend class TControl;
    friend class TWindowBridge;
    friend class TCustomForm;
    bool RedrawOn() const;
    void ApplyFrame(bool sendSize);
    void UpdateScrollBarWidget(int index);
    void DetachChildren();
    void DestroyOwnedWindows(bool forgetOwner);
    void CheckDialogKey(TMessage& m);
    void UpdateWidgetShown();

    std::vector<TControl*> FControls;
    std::vector<TWinControl*> FTabList;
    std::unique_ptr<TWindow> FWindow;
    std::unique_ptr<TBrush> FBrush;
    bool FHandleAllocated = false;
    bool FTabStop = false;
    int FAlignLevel = 0;
    HWND FParentWindow = nullptr;
    uint32_t FStyle = 0, FExStyle = 0, FClassStyle = 0;
    TRect FClientInWindow;
    TRect FBarRect[2];
    TRect FSizeBoxRect;
    TScrollInfo FScroll[2];
    bool FScrollDisableNoScroll[2] = {false, false};
};

// --- TCustomControl and TGraphicControl ------------------------------------------------------

// A window that paints itself: Paint draws with Canvas, which during a paint is the device
// context of the paint and outside it a measuring canvas with the same font.
class TCustomControl : public TWinControl {
    KAROMIL_CLASS(TCustomControl, TWinControl)
public:
    explicit TCustomControl(TComponent* owner);
    ~TCustomControl() override;
    TCanvas* Canvas() const noexcept { return FPaintDC ? FPaintDC : FCanvas.get(); }

protected:
    virtual void Paint() {}
    void PaintWindow(HDC dc) override;

private:
    std::unique_ptr<TCanvas> FCanvas;
    TCanvas* FPaintDC = nullptr;
};

// A control without a window, painted through its parent's paint.
class TGraphicControl : public TControl {
    KAROMIL_CLASS(TGraphicControl, TControl)
public:
    explicit TGraphicControl(TComponent* owner);
    ~TGraphicControl() override;
    TCanvas* Canvas() const noexcept { return FPaintDC ? FPaintDC : FCanvas.get(); }
    void Dispatch(TMessage& message) override;

protected:
    virtual void Paint() {}

private:
    std::unique_ptr<TCanvas> FCanvas;
    TCanvas* FPaintDC = nullptr;
};

TCustomForm* GetParentForm(const TControl* control);
// The control whose window this is (also for a window's inner client widget); nullptr for
// foreign windows.
TWinControl* FindControl(HWND window);
// The control of ours owning a Qt widget, walking up its parents.
TWinControl* ControlOfWidget(const QWidget* widget);
// The innermost control under the screen point, graphic controls included.
TControl* FindDragTarget(TPoint screenPos, bool allowDisabled);
TWinControl* FindControlWindow(TPoint screenPos);

// --- the window API over our windows ---------------------------------------------------------

LRESULT SendMessage(HWND window, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
// Queued: delivered after the current message, in order; dropped when the window is gone.
// A null window posts to the application (WM_QUIT ends Run).
bool PostMessage(HWND window, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
struct TMsg {
    HWND hwnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    DWORD time = 0;
};
// Looks at the posted queue only; min = max = 0 means any message.
bool PeekMessage(TMsg& msg, HWND window, UINT msgMin, UINT msgMax, UINT removeFlags);

HWND GetFocus();
HWND SetFocus(HWND window);  // the previous focus
HWND GetCapture();
HWND SetCapture(HWND window);  // the previous holder
bool ReleaseCapture();
// The control that holds the capture in the class library's sense (may be a graphic control).
TControl* GetCaptureControl();
void SetCaptureControl(TControl* control);
HWND WindowFromPoint(TPoint screenPos);
bool IsWindowVisible(HWND window);
bool IsWindowEnabled(HWND window);
bool ShowWindow(HWND window, int cmdShow);  // leaves the control's Visible alone
bool SetWindowPos(HWND window, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
bool GetWindowRect(HWND window, TRect& r);  // screen coordinates
bool GetClientRect(HWND window, TRect& r);
bool ClientToScreen(HWND window, TPoint& p);
bool ScreenToClient(HWND window, TPoint& p);
int32_t GetWindowLong(HWND window, int index);
int32_t SetWindowLong(HWND window, int index, int32_t value);
bool InvalidateRect(HWND window, const TRect* r, bool erase);
bool ValidateRect(HWND window, const TRect* r);
bool UpdateWindow(HWND window);
bool RedrawWindow(HWND window);
// Moves the pixels of scrollRect (the client when nullptr) by (dx, dy), children stay put;
// the uncovered strip is invalidated.
int ScrollWindowEx(HWND window, int dx, int dy, const TRect* scrollRect, const TRect* clipRect);
// The window's visible shape; nullptr restores the rectangle.
int SetWindowRgn(HWND window, const TRegion* region, bool redraw);
int SetScrollInfo(HWND window, int bar, const TScrollInfo& info, bool redraw);
bool GetScrollInfo(HWND window, int bar, TScrollInfo& info);
int SetScrollPos(HWND window, int bar, int pos, bool redraw);
int GetScrollPos(HWND window, int bar);
bool ShowScrollBar(HWND window, int bar, bool show);
// Suspends and resumes painting (WM_SETREDRAW).
void SetRedraw(HWND window, bool redraw);

// Window timers: by (window, id); setting a running id restarts it; the window gets WM_TIMER
// unless a routine is given. With a null window and id 0 a fresh id is made and answered.
using TTimerProc = std::function<void(HWND window, UINT msg, uintptr_t id, DWORD time)>;
uintptr_t SetTimer(HWND window, uintptr_t id, UINT elapseMs, TTimerProc proc = nullptr);
bool KillTimer(HWND window, uintptr_t id);
bool TimerRunning(HWND window, uintptr_t id);

// The caret: one per application, owned by a window, created hidden. Shown, it inverts the
// pixels below it and blinks every GetCaretBlinkTime ms (the system's cursor flash time).
bool CreateCaret(HWND window, int width, int height);
bool DestroyCaret();
bool ShowCaret(HWND window);
bool HideCaret(HWND window);
bool SetCaretPos(int x, int y);
bool GetCaretPos(TPoint& p);
UINT GetCaretBlinkTime();  // 0: the caret does not blink

// The input method's strings during WM_IME_COMPOSITION (GCS_COMPSTR: the text being composed,
// GCS_RESULTSTR: the text committed), UTF-8; empty outside it.
std::string ImmGetCompositionString(HWND window, LPARAM index);

// Key state: negative (high bit) while down; bit 0 toggles. GetKeyState answers the state as of
// the message being handled, GetAsyncKeyState the state now. Tests can inject either.
int16_t GetKeyState(int vk);
int16_t GetAsyncKeyState(int vk);
void InjectKeyState(int vk, bool down);  // overrides both until cleared
void ClearInjectedKeyState();
// The time stamp of the message being handled, ms.
DWORD GetMessageTime();
TPoint GetMessagePos();
bool GetCursorPos(TPoint& p);

// --- drag and drop ---------------------------------------------------------------------------

class TDragObject : public TObject {
    KAROMIL_CLASS(TDragObject, TObject)
public:
    TDragObject() = default;
    virtual TCursor GetDragCursor(bool accepted, int x, int y);
    virtual TDragImageList* GetDragImages() { return nullptr; }
    virtual void HideDragImage();
    virtual void ShowDragImage();
    TControl* DragTarget() const noexcept { return FDragTarget; }
    TPoint DragPos() const noexcept { return FDragPos; }
    TPoint DragTargetPos() const noexcept { return FDragTargetPos; }
    bool Dropped() const noexcept { return FDropped; }
    bool Cancelling() const noexcept { return FCancelling; }

private:
    friend class TDragManager;
    TControl* FDragTarget = nullptr;
    TPoint FDragPos, FDragTargetPos;
    bool FDropped = false;
    bool FCancelling = false;
};

class TDragControlObject : public TDragObject {
    KAROMIL_CLASS(TDragControlObject, TDragObject)
public:
    explicit TDragControlObject(TControl* control = nullptr) : FControl(control) {}
    TControl* Control() const noexcept { return FControl; }
    TCursor GetDragCursor(bool accepted, int x, int y) override;
    TDragImageList* GetDragImages() override;

private:
    TControl* FControl;
};

// The image that follows the cursor during a drag: a top-level window without focus.
class TDragImageList : public TObject {
    KAROMIL_CLASS(TDragImageList, TObject)
public:
    TDragImageList(int width = 16, int height = 16);
    ~TDragImageList() override;
    int GetWidth() const noexcept { return FWidth; }
    int GetHeight() const noexcept { return FHeight; }
    void SetSize(int width, int height);
    int Count() const noexcept;
    int Add(TBitmap* image);
    // Pixels of maskColor become transparent; clDefault takes the bottom-left pixel, clNone none.
    int AddMasked(TBitmap* image, TColor maskColor);
    void Clear();
    bool SetDragImage(int index, int hotSpotX, int hotSpotY);
    TPoint HotSpot() const noexcept { return FHotSpot; }
    bool BeginDrag(HWND window, int x, int y);  // point in the window's client coordinates
    bool DragMove(int x, int y);  // same coordinates as BeginDrag
    bool EndDrag();
    bool ShowDragImage();
    bool HideDragImage();
    bool Dragging() const noexcept { return FDragging; }
    // The cursor shown over the image while dragging (crNone for none).
    void SetDragCursor(TCursor c) noexcept { FDragCursor = c; }
    TCursor GetDragCursor() const noexcept { return FDragCursor; }
    // The floating window (tests look at its position); nullptr when not dragging.
    QWidget* ImageWindow() const noexcept;

private:
    struct TImpl;  // the images and the floating window
    int FWidth, FHeight;
    int FDragIndex = 0;
    TPoint FHotSpot;
    bool FDragging = false;
    TCursor FDragCursor = crNone;
    HWND FDragWindow = nullptr;
    std::unique_ptr<TImpl> FImpl;
};

// The drag in progress, if any.
TDragObject* DragObject();
TControl* DragControl();
