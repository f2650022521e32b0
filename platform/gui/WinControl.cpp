// TWinControl: the windowed control, its window, painting, focus, keys and scroll bars.

#include "platform/gui/Controls.h"

#include <QtCore/QBasicTimer>
#include <QtCore/QTimer>
#include <QtGui/QPainter>
#include <QtGui/QMouseEvent>
#include <QtGui/QInputMethodEvent>
#include <QtGui/QKeyEvent>
#include <QtGui/QWheelEvent>
#include <QtGui/QStyleHints>
#include <QtGui/QWindow>
#include <QtWidgets/QApplication>
#include <QtWidgets/QScrollBar>

#include <algorithm>
#include <cassert>
#include <cstdlib>
#include <utility>

#include "platform/gui/ActnList.h"
#include "platform/gui/Application.h"
#include "platform/gui/Bitmaps.h"
#include "platform/gui/ControlsPrivate.h"
#include "platform/gui/Forms.h"
#include "platform/gui/GraphicsPrivate.h"
#include "platform/gui/InputState.h"
#include "platform/gui/Menus.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/ScopeGuard.h"

using namespace gui_detail;

// --- TWinControl -------------------------------------------------------------------------------

TWinControl::TWinControl(TComponent* owner) : TControl(owner), FBrush(std::make_unique<TBrush>()) {
    FBrush->SetColor(GetColor());
    FScroll[0] = FScroll[1] = TScrollInfo{0, 0, 100, 0, 0, 0};
}

TWinControl::~TWinControl() {
    if (FParent) {
        if (TCustomForm* f = GetParentForm(this)) f->DefocusControl(this, true);
        FParent->RemoveControl(this);
        FParent = nullptr;
    }
    // The window goes before the children leave it, so it hears WM_DESTROY before they do; the
    // windows it owns forget it, since its widget is deleted below.
    DestroyOwnedWindows(true);
    if (FHandleAllocated) DestroyHandle();
    DetachChildren();
    gui_detail::ControlGone(this);
    if (FWindow) {
        gui_detail::PurgePosted(WindowHandle());
        FWindow->Outer->Forget();
        FWindow->Client->Forget();
        delete FWindow->Outer;
        FWindow.reset();
    }
}

void TWinControl::DetachChildren() {
    // The owner frees the children; here they only lose their parent and their windows
    // leave ours before ours is deleted.
    while (!FControls.empty()) {
        TControl* c = FControls.back();
        if (auto* w = dynamic_cast<TWinControl*>(c)) {
            if (w->FHandleAllocated) w->DestroyHandle();
        }
        RemoveControl(c);
    }
}

void TWinControl::InsertControl(TControl* c) {
    c->FParent = this;
    FControls.push_back(c);
    if (auto* w = dynamic_cast<TWinControl*>(c)) {
        FTabList.push_back(w);
        if (FHandleAllocated && w->FVisible) w->HandleNeeded();
        else if (w->FHandleAllocated) w->DestroyHandle();
    } else if (FHandleAllocated) c->Invalidate();
    if (c->FAlign != alNone) Realign();
}

void TWinControl::RemoveControl(TControl* c) {
    if (c->FParent != this) return;
    if (FHandleAllocated && !dynamic_cast<TWinControl*>(c)) c->Invalidate();
    FControls.erase(std::remove(FControls.begin(), FControls.end(), c), FControls.end());
    FTabList.erase(std::remove(FTabList.begin(), FTabList.end(), c), FTabList.end());
    c->FParent = nullptr;
    if (auto* w = dynamic_cast<TWinControl*>(c); w && w->FHandleAllocated) w->DestroyHandle();
    if (c->FAlign != alNone && !GetComponentState().Contains(csDestroying)) Realign();
}

bool TWinControl::ContainsControl(const TControl* control) const {
    for (const TControl* c = control; c; c = c->FParent)
        if (c == this) return true;
    return false;
}

TControl* TWinControl::ControlAtPos(TPoint p, bool allowDisabled, bool allowWinControls) const {
    for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
        TControl* c = *it;
        if (!allowWinControls && dynamic_cast<TWinControl*>(c)) continue;
        if (!c->FVisible || (!allowDisabled && !c->FEnabled)) continue;
        if (PtInRect(c->GetBoundsRect(), p)) {
            TMessage m{CM_HITTEST, 0, PointToLParam({p.X - c->FLeft, p.Y - c->FTop}), 0};
            c->WndProc(m);
            if (m.Result != 0) return c;
        }
    }
    return nullptr;
}

void TWinControl::Broadcast(TMessage& m) {
    for (size_t i = 0; i < FControls.size(); ++i) {
        FControls[i]->WindowProc ? FControls[i]->WindowProc(m) : FControls[i]->WndProc(m);
        if (m.Result != 0) return;
    }
}

void TWinControl::NotifyControls(UINT msg) {
    TMessage m{msg, 0, 0, 0};
    Broadcast(m);
}

void TWinControl::EnableAlign() {
    if (FAlignLevel > 0 && --FAlignLevel == 0) Realign();
}

void TWinControl::Realign() {
    if (FAlignLevel > 0 || GetComponentState().Contains(csDestroying)) return;
    TRect r = GetClientRect();
    AlignControls(nullptr, r);
}

void TWinControl::AlignControls(TControl*, TRect& rect) {
    ++FAlignLevel;
    auto place = [&](TAlign a) {
        for (TControl* c : std::vector<TControl*>(FControls)) {
            if (c->FAlign != a || !c->FVisible) continue;
            int w = c->FWidth, h = c->FHeight;
            switch (a) {
            case alTop:
                c->SetBounds(rect.Left, rect.Top, rect.Width(), h);
                rect.Top += h;
                break;
            case alBottom:
                c->SetBounds(rect.Left, rect.Bottom - h, rect.Width(), h);
                rect.Bottom -= h;
                break;
            case alLeft:
                c->SetBounds(rect.Left, rect.Top, w, rect.Height());
                rect.Left += w;
                break;
            case alRight:
                c->SetBounds(rect.Right - w, rect.Top, w, rect.Height());
                rect.Right -= w;
                break;
            case alClient: c->SetBounds(rect.Left, rect.Top, rect.Width(), rect.Height()); break;
            default: break;
            }
        }
    };
    for (TAlign a : {alTop, alBottom, alLeft, alRight, alClient}) place(a);
    --FAlignLevel;
}

HWND TWinControl::GetHandle() {
    HandleNeeded();
    return WindowHandle();
}

HWND TWinControl::WindowHandle() const noexcept { return FWindow ? FWindow->Outer : nullptr; }
QWidget* TWinControl::OuterWidget() const noexcept { return FWindow ? FWindow->Outer : nullptr; }
QWidget* TWinControl::ClientWidget() const { return FWindow ? FWindow->Client : nullptr; }
QWidget* TWinControl::ScrollBarWidget(int bar) const noexcept {
    return FWindow ? FWindow->Bars[bar == SB_VERT ? 1 : 0] : nullptr;
}

void TWinControl::HandleNeeded() {
    if (FHandleAllocated) return;
    if (FParent) FParent->HandleNeeded();
    if (!FHandleAllocated) CreateHandle();
}

void TWinControl::CreateHandle() {
    if (FHandleAllocated) return;
    FControlState.Include(csCreating);
    {
        auto created = OnScopeExit([this] { FControlState.Exclude(csCreating); });
        CreateWnd();
    }
    for (TWinControl* w : std::vector<TWinControl*>(FTabList))
        if (w->FVisible && !w->FHandleAllocated) w->HandleNeeded();
    UpdateWidgetShown();
}

void TWinControl::CreateParams(TCreateParams& params) {
    params.Caption = GetText();
    params.Style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    if (FTabStop) params.Style |= WS_TABSTOP;
    if (!FEnabled) params.Style |= WS_DISABLED;
    params.X = GetLeft();
    params.Y = GetTop();
    params.Width = GetWidth();
    params.Height = GetHeight();
    params.WndParent = FParent ? FParent->WindowHandle() : FParentWindow;
    params.WindowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    if (!FControlStyle.Contains(csDoubleClicks)) params.WindowClass.style &= ~CS_DBLCLKS;
    params.WinClassName = ClassName();
}

void TWinControl::CreateWnd() {
    TCreateParams params;
    CreateParams(params);
    CreateWindowHandle(params);
}

void TWinControl::CreateWindowHandle(const TCreateParams& params) {
    FStyle = params.Style;
    FExStyle = params.ExStyle;
    FClassStyle = params.WindowClass.style;
    if (!FWindow) {
        FWindow = std::make_unique<TWindow>();
        FWindow->Outer = new TQtWindowWidget(this, false, nullptr);
        FWindow->Client = new TQtWindowWidget(this, true, FWindow->Outer);
        FWindow->Outer->setFocusProxy(FWindow->Client);
    }
    QWidget* outer = FWindow->Outer;
    const bool popup = (FStyle & WS_POPUP) != 0;
    if (FParent && !popup) {
        outer->setParent(FParent->ClientWidget());
    } else {
        const bool noActivate = popup && (FExStyle & WS_EX_NOACTIVATE);
        Qt::WindowFlags flags = Qt::Window;
        if (popup) flags = Qt::Tool | Qt::FramelessWindowHint;
        // A window that must never take the activation is a tool-tip-type window: platforms
        // (the offscreen one among them) activate every other kind of window they show,
        // whatever its attributes ask.
        if (noActivate) flags = Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus;
        if (popup && (FExStyle & WS_EX_TOPMOST)) flags |= Qt::WindowStaysOnTopHint;
        if (popup && (FExStyle & WS_EX_TRANSPARENT)) flags |= Qt::WindowTransparentForInput;
        outer->setParent(params.WndParent, flags);
        outer->setAttribute(Qt::WA_ShowWithoutActivating, noActivate);
        FWindow->Client->setFocusPolicy(noActivate ? Qt::NoFocus : Qt::ClickFocus);
        outer->setWindowTitle(QString::fromStdString(params.Caption));
    }
    outer->setEnabled(FEnabled);
    FWindow->Requested = QRect(params.X, params.Y, params.Width, params.Height);
    outer->setGeometry(FWindow->Requested);
    FHandleAllocated = true;
    FClientInWindow = TRect{-1, -1, -1, -1};
    RecalcFrame();
}

void TWinControl::UpdateWidgetShown() {
    if (!FWindow || !FHandleAllocated) return;
    FWindow->Outer->setVisible(FVisible);
}

void TWinControl::UpdateShowing() {
    if (FVisible) {
        if (!FHandleAllocated && (!FParent || FParent->FHandleAllocated)) {
            if (FParent || dynamic_cast<TCustomForm*>(this) || FParentWindow || (FStyle & WS_POPUP)) HandleNeeded();
        }
    }
    UpdateWidgetShown();
}

void TWinControl::DestroyWnd() { DestroyWindowHandle(); }

void TWinControl::DestroyWindowHandle() {
    if (!FWindow) return;
    FWindow->Outer->hide();
    FWindow->Outer->setParent(nullptr);
}

void TWinControl::DestroyOwnedWindows(bool forgetOwner) {
    if (!FWindow) return;
    std::vector<TWinControl*> owned;
    for (QObject* o : FWindow->Outer->children()) {
        auto* w = dynamic_cast<TQtWindowWidget*>(o);
        if (w && !w->IsClient() && w->isWindow() && w->Control() && w->Control() != this) owned.push_back(w->Control());
    }
    for (TWinControl* w : owned) {
        w->DestroyHandle();
        if (forgetOwner && w->FParentWindow == WindowHandle()) w->FParentWindow = nullptr;
    }
}

void TWinControl::DestroyHandle() {
    if (!FHandleAllocated) return;
    // As Windows destroys a window: the windows it owns go first; then the window itself hears
    // WM_DESTROY, then each child window, each once.
    DestroyOwnedWindows(false);
    FControlState.Include(csDestroyingHandle);
    Perform(WM_DESTROY);
    for (TWinControl* w : std::vector<TWinControl*>(FTabList)) w->DestroyHandle();
    HWND h = WindowHandle();
    gui_detail::KillWindowTimers(h);
    gui_detail::PurgePosted(h);
    if (GetCapture() == h) {
        gInput.Capture = nullptr;
        gInput.CaptureControl = nullptr;
    }
    DestroyWnd();
    FHandleAllocated = false;
    FControlState.Exclude(csDestroyingHandle);
}

void TWinControl::RecreateWnd() {
    if (!FHandleAllocated) return;
    // The Qt widgets stay; the styles and the frame are made again from CreateParams.
    std::vector<TWinControl*> kids(FTabList);
    FControlState.Include(csDestroyingHandle);
    Perform(WM_DESTROY);
    gui_detail::KillWindowTimers(WindowHandle());
    FControlState.Exclude(csDestroyingHandle);
    FHandleAllocated = false;
    CreateWnd();
    UpdateWidgetShown();
    Invalidate();
}

void TWinControl::SetParentWindow(HWND w) {
    if (w == FParentWindow) return;
    FParentWindow = w;
    if (FHandleAllocated && !FParent) RecreateWnd();
}

void TWinControl::SetWindowStyle(uint32_t style) {
    const uint32_t frame = WS_BORDER | WS_HSCROLL | WS_VSCROLL | WS_THICKFRAME | WS_DLGFRAME;
    const bool changed = (style ^ FStyle) & frame;
    FStyle = style;
    if (changed) RecalcFrame();
}

void TWinControl::SetWindowExStyle(uint32_t exStyle) {
    const bool changed = (exStyle ^ FExStyle) & (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE);
    FExStyle = exStyle;
    if (changed) RecalcFrame();
}

void TWinControl::RecalcFrame() {
    if (!FHandleAllocated) return;
    TRect r = Rect(0, 0, GetWidth(), GetHeight());
    FBarRect[0] = FBarRect[1] = FSizeBoxRect = TRect{};
    Perform(WM_NCCALCSIZE, 0, LPARAM(&r));
    if (r.Right < r.Left) r.Right = r.Left;
    if (r.Bottom < r.Top) r.Bottom = r.Top;
    const TRect old = FClientInWindow;
    FClientInWindow = r;
    ApplyFrame(old.Width() != r.Width() || old.Height() != r.Height());
}

void TWinControl::ApplyFrame(bool sendSize) {
    TWindow& w = *FWindow;
    w.Client->setGeometry(ToQRect(FClientInWindow));
    for (int i = 0; i < 2; ++i) UpdateScrollBarWidget(i);
    const bool box = !IsRectEmpty(FSizeBoxRect);
    if (box && !w.SizeBox) {
        w.SizeBox = new QWidget(w.Outer);
        w.SizeBox->setAttribute(Qt::WA_TransparentForMouseEvents);  // the outer widget paints it
    }
    if (w.SizeBox) w.SizeBox->setVisible(false);
    w.Outer->update();
    if (sendSize) Perform(WM_SIZE, SIZE_RESTORED, MakeLParam(FClientInWindow.Width(), FClientInWindow.Height()));
}

TRect TWinControl::GetClientRect() const {
    if (FHandleAllocated) return Rect(0, 0, FClientInWindow.Width(), FClientInWindow.Height());
    return TControl::GetClientRect();
}

TPoint TWinControl::GetClientOrigin() const {
    if (FHandleAllocated) return FromQPoint(FWindow->Client->mapToGlobal(QPoint(0, 0)));
    return TControl::GetClientOrigin();
}

bool TWinControl::Showing() const { return FHandleAllocated && FWindow->Outer->isVisible(); }

void TWinControl::BoundsChanged(const TRect& oldBounds) {
    if (FHandleAllocated) {
        // Set first: a shown window reports the move while setGeometry runs.
        FWindow->Requested = QRect(GetLeft(), GetTop(), GetWidth(), GetHeight());
        FWindow->Outer->setGeometry(FWindow->Requested);
        if (oldBounds.Width() != GetWidth() || oldBounds.Height() != GetHeight()) RecalcFrame();
    } else if (oldBounds.Width() != GetWidth() || oldBounds.Height() != GetHeight()) {
        Resize();
    }
    if (FParent && GetAlign() != alNone) FParent->Realign();
}

void TWinControl::SetEnabled(bool v) {
    if (v == GetEnabled()) return;
    TControl::SetEnabled(v);
    if (FHandleAllocated) {
        FWindow->Outer->setEnabled(v);
        if (v) FStyle &= ~WS_DISABLED;
        else FStyle |= WS_DISABLED;
    }
}

void TWinControl::WndProc(TMessage& m) {
    switch (m.Msg) {
    case WM_SETFOCUS:
        if (TCustomForm* f = GetParentForm(this); f && f != this) {
            if (!f->SetFocusedControl(this)) return;
        }
        break;
    case WM_KILLFOCUS:
        if (FControlState.Contains(csFocusing)) return;
        break;
    default: break;
    }
    // A graphic child under the pointer, or holding the capture, gets the mouse message.
    if (m.Msg >= WM_MOUSEFIRST && m.Msg <= WM_MOUSELAST && m.Msg != WM_MOUSEWHEEL && m.Msg != WM_MOUSEHWHEEL) {
        TControl* target = nullptr;
        TControl* cap = GetCaptureControl();
        if (cap && cap->FParent == this && !dynamic_cast<TWinControl*>(cap)) target = cap;
        else if (!cap || cap == this) target = ControlAtPos(PointFromLParam(m.LParam), false);
        if (target && target != this) {
            TPoint p = PointFromLParam(m.LParam);
            m.Result = target->Perform(m.Msg, m.WParam, PointToLParam({p.X - target->FLeft, p.Y - target->FTop}));
            return;
        }
    }
    TControl::WndProc(m);
}

void TWinControl::CheckDialogKey(TMessage& m) {
    // CN_KEYDOWN: keys the control does not want become dialog keys of its form.
    m.Result = 1;
    if (IsMenuKey(this, WORD(m.WParam), KeyDataToShiftState(m.LParam))) return;
    if (Perform(CM_CHILDKEY, m.WParam, LPARAM(this)) != 0) return;
    LRESULT mask = 0;
    switch (m.WParam) {
    case VK_TAB: mask = DLGC_WANTTAB; break;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN: mask = DLGC_WANTARROWS; break;
    case VK_RETURN:
    case VK_EXECUTE:
    case VK_ESCAPE:
    case VK_CANCEL: mask = DLGC_WANTALLKEYS; break;
    default: break;
    }
    if (mask != 0 && Perform(CM_WANTSPECIALKEY, m.WParam, m.LParam) == 0 && (Perform(WM_GETDLGCODE) & mask) == 0) {
        if (TCustomForm* f = GetParentForm(this)) {
            if (f->Perform(CM_DIALOGKEY, m.WParam, m.LParam) != 0) return;
        }
    }
    m.Result = 0;
}

void TWinControl::Dispatch(TMessage& m) {
    switch (m.Msg) {
    case WM_PAINT:
        if (m.WParam == 0) {  // sent from code: paint now
            if (FHandleAllocated && RedrawOn()) FWindow->Client->repaint();
            return;
        }
        PaintHandler(TWMPaint(m));
        return;
    case WM_NCPAINT:
        if (m.WParam == 0) {  // sent from code: the frame is repainted at once
            if (FHandleAllocated) {
                QRegion nc = QRegion(FWindow->Outer->rect()) - QRegion(ToQRect(FClientInWindow));
                FWindow->Outer->repaint(nc);
            }
            return;
        }
        DefaultHandler(m);
        return;
    case WM_SIZE:
        DefaultHandler(m);
        Realign();
        if (!GetComponentState().Contains(csLoading)) Resize();
        return;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (!DoKeyDown(TWMKey(m))) DefaultHandler(m);
        return;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        if (!DoKeyUp(TWMKey(m))) DefaultHandler(m);
        return;
    case WM_CHAR:
        if (!DoKeyPress(TWMKey(m))) DefaultHandler(m);
        return;
    case CN_KEYDOWN:
    case CN_SYSKEYDOWN: CheckDialogKey(m); return;
    case CN_SYSCHAR:
        // Alt+letter: the form's controls may claim it as their "&" accelerator.
        m.Result = 0;
        if (m.WParam != VK_SPACE) {
            if (TCustomForm* f = GetParentForm(this); f && f->Perform(CM_DIALOGCHAR, m.WParam, m.LParam) != 0)
                m.Result = 1;
        }
        return;
    case CN_CHAR:
        m.Result = 0;
        if ((Perform(WM_GETDLGCODE) & DLGC_WANTCHARS) == 0) {
            if (TCustomForm* f = GetParentForm(this); f && f->Perform(CM_DIALOGCHAR, m.WParam, m.LParam) != 0)
                m.Result = 1;
        }
        return;
    case CM_DIALOGKEY:
    case CM_DIALOGCHAR: Broadcast(m); return;
    case CM_FOCUSCHANGED:
        // Buttons learn which of them Enter now clicks.
        Broadcast(m);
        m.Result = 0;
        return;
    case CM_ENTER: DoEnter(); return;
    case CM_EXIT: DoExit(); return;
    case CM_COLORCHANGED:
        FBrush->SetColor(GetColor());
        NotifyControls(CM_PARENTCOLORCHANGED);
        Invalidate();
        return;
    case CM_FONTCHANGED:
        NotifyControls(CM_PARENTFONTCHANGED);
        Invalidate();
        return;
    case CM_ENABLEDCHANGED:
        if (!GetEnabled() && FHandleAllocated && Focused()) {
            if (TCustomForm* f = GetParentForm(this)) f->DefocusControl(this, false);
        }
        Invalidate();
        return;
    case CM_SHOWINGCHANGED: return;
    case CM_SYSCOLORCHANGE:
        NotifyControls(CM_SYSCOLORCHANGE);
        Invalidate();
        return;
    case WM_SETREDRAW:
        if (FHandleAllocated) {
            if (m.WParam) {
                if (FWindow->RedrawOff > 0 && --FWindow->RedrawOff == 0) FWindow->Client->setUpdatesEnabled(true);
            } else if (FWindow->RedrawOff++ == 0) FWindow->Client->setUpdatesEnabled(false);
        }
        return;
    default: TControl::Dispatch(m);
    }
}

bool TWinControl::RedrawOn() const { return !FWindow || FWindow->RedrawOff == 0; }

void TWinControl::DefaultHandler(TMessage& m) {
    switch (m.Msg) {
    case WM_ERASEBKGND: {
        HDC dc = reinterpret_cast<HDC>(m.WParam);
        if (dc) FillRect(dc, GetClientRect(), FBrush->GetColor());
        m.Result = 1;
        return;
    }
    case WM_NCCALCSIZE: {
        TRect& r = *reinterpret_cast<TRect*>(m.LParam);
        if (FExStyle & WS_EX_CLIENTEDGE) InflateRect(r, -GetSystemMetrics(SM_CXEDGE), -GetSystemMetrics(SM_CYEDGE));
        if (FExStyle & WS_EX_STATICEDGE) InflateRect(r, -1, -1);
        if (FStyle & WS_BORDER) InflateRect(r, -GetSystemMetrics(SM_CXBORDER), -GetSystemMetrics(SM_CYBORDER));
        const int cx = GetSystemMetrics(SM_CXVSCROLL), cy = GetSystemMetrics(SM_CYHSCROLL);
        const bool v = (FStyle & WS_VSCROLL) && r.Width() >= cx;
        const bool h = (FStyle & WS_HSCROLL) && r.Height() >= cy;
        if (v) r.Right -= cx;
        if (h) r.Bottom -= cy;
        if (v) FBarRect[1] = Rect(r.Right, r.Top, r.Right + cx, r.Bottom);
        if (h) FBarRect[0] = Rect(r.Left, r.Bottom, r.Right, r.Bottom + cy);
        if (v && h) FSizeBoxRect = Rect(r.Right, r.Bottom, r.Right + cx, r.Bottom + cy);
        m.Result = 0;
        return;
    }
    case WM_NCPAINT: {
        HDC dc = reinterpret_cast<HDC>(m.WParam);
        if (!dc) return;
        TRect r = Rect(0, 0, GetWidth(), GetHeight());
        if (FExStyle & WS_EX_CLIENTEDGE) DrawEdge(dc, r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
        if (FExStyle & WS_EX_STATICEDGE) DrawEdge(dc, r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
        if (FStyle & WS_BORDER) {
            FrameRect(dc, r, GetSysColorBrush(COLOR_WINDOWFRAME));
            InflateRect(r, -1, -1);
        }
        if (!IsRectEmpty(FSizeBoxRect)) FillRect(dc, FSizeBoxRect, GetSysColorBrush(COLOR_BTNFACE));
        return;
    }
    case WM_NCHITTEST: {
        TPoint p = PointFromLParam(m.LParam);
        if (FHandleAllocated) {
            const QPoint local = FWindow->Outer->mapFromGlobal(QPoint(p.X, p.Y));
            const TPoint lp{local.x(), local.y()};
            if (PtInRect(FClientInWindow, lp)) m.Result = HTCLIENT;
            else if (PtInRect(FBarRect[1], lp)) m.Result = HTVSCROLL;
            else if (PtInRect(FBarRect[0], lp)) m.Result = HTHSCROLL;
            else if (PtInRect(FSizeBoxRect, lp)) m.Result = HTSIZE;
            else if (PtInRect(Rect(0, 0, GetWidth(), GetHeight()), lp)) m.Result = HTBORDER;
            else m.Result = HTNOWHERE;
        } else m.Result = HTCLIENT;
        return;
    }
    case WM_SETCURSOR: {
        if (!FHandleAllocated) return;
        const int hit = int16_t(LoWord(uintptr_t(m.LParam)));
        if (hit != HTCLIENT) {
            // Edges and corners show the sizing cursor of their direction.
            if (hit >= HTLEFT && hit <= HTBOTTOMRIGHT) {
                static const Qt::CursorShape shapes[] = {Qt::SizeHorCursor, Qt::SizeHorCursor, Qt::SizeVerCursor,
                    Qt::SizeFDiagCursor, Qt::SizeBDiagCursor, Qt::SizeVerCursor, Qt::SizeBDiagCursor,
                    Qt::SizeFDiagCursor};
                FWindow->Outer->setCursor(shapes[hit - HTLEFT]);
                FWindow->Client->setCursor(shapes[hit - HTLEFT]);
                m.Result = 1;
            } else {
                FWindow->Outer->unsetCursor();
                FWindow->Client->unsetCursor();
            }
            return;
        }
        FWindow->Outer->unsetCursor();
        TCursor cur = Screen->GetCursor();
        if (cur == crDefault) {
            TPoint p;
            GetCursorPos(p);
            p = ScreenToClient(p);
            TControl* c = ControlAtPos(p, false);
            cur = c ? c->GetCursor() : GetCursor();
            if (cur == crDefault) cur = GetCursor();
        }
        if (cur != crDefault) FWindow->Client->setCursor(Screen->GetCursors(cur));
        else FWindow->Client->unsetCursor();
        m.Result = 1;
        return;
    }
    case WM_RBUTTONUP:
        // The default procedure turns a right click into a context-menu request.
        if (FHandleAllocated) {
            TPoint p = ClientToScreen(PointFromLParam(m.LParam));
            PostMessage(WindowHandle(), WM_CONTEXTMENU, WPARAM(WindowHandle()), PointToLParam(p));
        }
        return;
    case WM_CONTEXTMENU:
        if (FParent) m.Result = FParent->Perform(m.Msg, m.WParam, m.LParam);
        return;
    case WM_CLOSE:
        if (!FParent) SetVisible(false);
        return;
    case WM_SYSKEYDOWN:
        // Alt+F4 closes the window holding the focus, also one without a close button.
        if (m.WParam == VK_F4) {
            TControl* top = this;
            while (top->GetParent()) top = top->GetParent();
            if (auto* w = dynamic_cast<TWinControl*>(top); w && w->HandleAllocated())
                PostMessage(w->WindowHandle(), WM_CLOSE);
        }
        return;
    case WM_GETDLGCODE: m.Result = 0; return;
    case WM_MOUSEACTIVATE: m.Result = (FExStyle & WS_EX_NOACTIVATE) ? MA_NOACTIVATE : MA_ACTIVATE; return;
    case WM_IME_COMPOSITION:
        // The committed text is typed: the characters are queued as the keyboard's would be.
        if ((m.LParam & GCS_RESULTSTR) && FHandleAllocated)
            for (char32_t ch : QString::fromStdString(gInput.Ime.Result).toUcs4())
                PostMessage(WindowHandle(), WM_CHAR, ch, 1);
        return;
    case WM_NCLBUTTONDOWN:
        // A press on an edge or corner starts the user's resize of this window.
        if (FHandleAllocated && int(m.WParam) >= HTLEFT && int(m.WParam) <= HTBOTTOMRIGHT)
            BeginSizing(this, int(m.WParam), PointFromLParam(m.LParam));
        return;
    default: TControl::DefaultHandler(m);
    }
}

void TWinControl::PaintHandler(TWMPaint message) {
    HDC dc = message.DC();
    PaintWindow(dc);
    PaintControls(dc, nullptr);
}

void TWinControl::PaintWindow(HDC dc) {
    TMessage m{WM_PAINT, WPARAM(dc), 0, 0};
    DefaultHandler(m);
}

void TWinControl::PaintControls(HDC dc, TControl* first) {
    auto it = FControls.begin();
    if (first) it = std::find(FControls.begin(), FControls.end(), first);
    for (; it != FControls.end(); ++it) {
        TControl* c = *it;
        if (dynamic_cast<TWinControl*>(c) || !c->GetVisible()) continue;
        const TRect r = c->GetBoundsRect();
        if (!RectVisible(dc, r)) continue;
        const int saved = SaveDC(dc);
        TPoint org;
        GetViewportOrgEx(dc, &org);
        SetViewportOrgEx(dc, org.X + r.Left, org.Y + r.Top);
        IntersectClipRect(dc, 0, 0, r.Width(), r.Height());
        c->Perform(WM_PAINT, WPARAM(dc), 0);
        RestoreDC(dc, saved);
    }
}

void TWinControl::Invalidate() {
    if (FHandleAllocated) InvalidateRect(WindowHandle(), nullptr, !ControlStyle().Contains(csOpaque));
}

void TWinControl::Update() {
    if (FHandleAllocated) UpdateWindow(WindowHandle());
}

void TWinControl::Repaint() {
    Invalidate();
    Update();
}

void TWinControl::PaintTo(HDC dc, int x, int y) {
    HandleNeeded();
    QPainter* p = CanvasPaint::Painter(dc);
    if (!p) {
        dc->Handle();
        p = CanvasPaint::Painter(dc);
    }
    if (!p) return;
    const TPoint d = dc->LPtoDP(TPoint{x, y});
    p->save();
    p->resetTransform();
    FWindow->Outer->render(p, QPoint(d.X, d.Y), QRegion(), QWidget::DrawChildren);
    p->restore();
}

// --- focus and keys ------------------------------------------------------------------------------

bool TWinControl::CanFocus() const {
    for (const TControl* c = this; c; c = c->FParent) {
        if (!c->FVisible || !c->FEnabled) return false;
        if (dynamic_cast<const TCustomForm*>(c)) return true;
    }
    return true;
}

void TWinControl::SetFocus() {
    if (TCustomForm* f = GetParentForm(this)) f->FocusControl(this);
    else ::SetFocus(GetHandle());
}

bool TWinControl::Focused() const {
    // A control whose client hosts a ready-made widget has the focus inside that widget.
    return FHandleAllocated && QApplication::focusWidget() && ControlOfWidget(QApplication::focusWidget()) == this;
}

void TWinControl::SetTabStop(bool v) {
    if (v == FTabStop) return;
    FTabStop = v;
    if (v) FStyle |= WS_TABSTOP;
    else FStyle &= ~WS_TABSTOP;
    Perform(CM_TABSTOPCHANGED);
}

int TWinControl::GetTabOrder() const {
    if (!FParent) return -1;
    auto& l = FParent->FTabList;
    auto it = std::find(l.begin(), l.end(), this);
    return it == l.end() ? -1 : int(it - l.begin());
}

void TWinControl::SetTabOrder(int v) {
    if (!FParent) return;
    auto& l = FParent->FTabList;
    l.erase(std::find(l.begin(), l.end(), this));
    v = std::clamp(v, 0, int(l.size()));
    l.insert(l.begin() + v, this);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& list) {
    for (TWinControl* w : FTabList) {
        list.push_back(w);
        w->GetTabOrderList(list);
    }
}

TWinControl* TWinControl::FindNextControl(TWinControl* current, bool goForward, bool checkTabStop, bool checkParent) {
    std::vector<TWinControl*> list;
    GetTabOrderList(list);
    if (list.empty()) return nullptr;
    const int n = int(list.size());
    int start = -1;
    for (int i = 0; i < n; ++i)
        if (list[size_t(i)] == current) start = i;
    if (start < 0) start = goForward ? n - 1 : 0;
    int i = start;
    for (int k = 0; k < n; ++k) {
        i = goForward ? (i + 1) % n : (i + n - 1) % n;
        TWinControl* c = list[size_t(i)];
        if (c == current) break;
        if ((!checkTabStop || c->FTabStop) && (!checkParent || c->FParent == this) && c->CanFocus()) return c;
    }
    return nullptr;
}

void TWinControl::SelectNext(TWinControl* current, bool goForward, bool checkTabStop) {
    if (TWinControl* c = FindNextControl(current, goForward, checkTabStop, !checkTabStop)) c->SetFocus();
}

void TWinControl::KeyDown(WORD& key, TShiftState shift) {
    if (OnKeyDown) OnKeyDown(this, key, shift);
}
void TWinControl::KeyUp(WORD& key, TShiftState shift) {
    if (OnKeyUp) OnKeyUp(this, key, shift);
}
void TWinControl::KeyPress(char32_t& key) {
    if (OnKeyPress) OnKeyPress(this, key);
}
void TWinControl::DoEnter() {
    if (OnEnter) OnEnter(this);
}
void TWinControl::DoExit() {
    if (OnExit) OnExit(this);
}

bool TWinControl::DoKeyDown(TWMKey m) {
    const TShiftState shift = KeyDataToShiftState(m.KeyData());
    TCustomForm* f = GetParentForm(this);
    WORD key = WORD(m.CharCode());
    if (f && f != this && f->GetKeyPreview()) {
        if (f->DoKeyDown(m)) return true;
        key = WORD(m.CharCode());
    }
    if (key != 0) {
        KeyDown(key, shift);
        m.SetCharCode(key);
    }
    return key == 0;
}

bool TWinControl::DoKeyUp(TWMKey m) {
    const TShiftState shift = KeyDataToShiftState(m.KeyData());
    TCustomForm* f = GetParentForm(this);
    if (f && f != this && f->GetKeyPreview() && f->DoKeyUp(m)) return true;
    WORD key = WORD(m.CharCode());
    if (key != 0) {
        KeyUp(key, shift);
        m.SetCharCode(key);
    }
    return key == 0;
}

bool TWinControl::DoKeyPress(TWMKey m) {
    TCustomForm* f = GetParentForm(this);
    if (f && f != this && f->GetKeyPreview() && f->DoKeyPress(m)) return true;
    char32_t ch = m.CharCode();
    if (ch != 0) {
        KeyPress(ch);
        m.SetCharCode(ch);
    }
    return ch == 0;
}

// --- scroll bars -----------------------------------------------------------------------------------

int TWinControl::SetScrollInfo(int bar, const TScrollInfo& info, bool redraw) {
    (void)redraw;
    const int i = bar == SB_VERT ? 1 : 0;
    TScrollInfo& s = FScroll[i];
    if (info.fMask & SIF_RANGE) {
        s.nMin = info.nMin;
        s.nMax = info.nMax;
    }
    if (info.fMask & SIF_PAGE) s.nPage = info.nPage;
    if (info.fMask & SIF_POS) s.nPos = info.nPos;
    // Windows keeps the page within the range and the position within what the page allows.
    const int64_t span = int64_t(s.nMax) - s.nMin + 1;
    if (span <= 0) s.nPage = 0;
    else if (int64_t(s.nPage) > span) s.nPage = UINT(span);
    const int maxPos = std::max(s.nMin, int(int64_t(s.nMax) - std::max<int64_t>(int64_t(s.nPage) - 1, 0)));
    s.nPos = std::clamp(s.nPos, s.nMin, maxPos);
    FScrollDisableNoScroll[i] = (info.fMask & SIF_DISABLENOSCROLL) != 0;
    // Shown only when the range is not covered by one page.
    const bool needed = s.nMax > s.nMin && span > int64_t(s.nPage);
    const uint32_t bit = i ? WS_VSCROLL : WS_HSCROLL;
    uint32_t style = FStyle;
    if (needed) style |= bit;
    else if (!FScrollDisableNoScroll[i]) style &= ~bit;
    if (style != FStyle) {
        FStyle = style;
        RecalcFrame();
    } else if (FHandleAllocated) UpdateScrollBarWidget(i);
    return s.nPos;
}

bool TWinControl::GetScrollInfo(int bar, TScrollInfo& info) const {
    const TScrollInfo& s = FScroll[bar == SB_VERT ? 1 : 0];
    const UINT mask = info.fMask;
    if (mask & SIF_RANGE) {
        info.nMin = s.nMin;
        info.nMax = s.nMax;
    }
    if (mask & SIF_PAGE) info.nPage = s.nPage;
    if (mask & SIF_POS) info.nPos = s.nPos;
    if (mask & SIF_TRACKPOS) info.nTrackPos = s.nTrackPos;
    return (mask & (SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS)) != 0;
}

void TWinControl::UpdateScrollBarWidget(int i) {
    if (!FWindow) return;
    TWindow& w = *FWindow;
    const TRect r = FBarRect[i];
    const bool shown = !IsRectEmpty(r);
    QScrollBar*& bar = w.Bars[i];
    if (!bar) {
        if (!shown) return;
        bar = new QScrollBar(i ? Qt::Vertical : Qt::Horizontal, w.Outer);
        bar->setFocusPolicy(Qt::NoFocus);
        const UINT msg = i ? WM_VSCROLL : WM_HSCROLL;
        // The bar never moves itself: the control answers each action with SetScrollInfo.
        QObject::connect(bar, &QAbstractSlider::actionTriggered, bar, [this, i, msg](int action) {
            gui_detail::Guarded([&] {
                int code;
                switch (action) {
                case QAbstractSlider::SliderSingleStepAdd: code = SB_LINEDOWN; break;
                case QAbstractSlider::SliderSingleStepSub: code = SB_LINEUP; break;
                case QAbstractSlider::SliderPageStepAdd: code = SB_PAGEDOWN; break;
                case QAbstractSlider::SliderPageStepSub: code = SB_PAGEUP; break;
                case QAbstractSlider::SliderToMinimum: code = SB_TOP; break;
                case QAbstractSlider::SliderToMaximum: code = SB_BOTTOM; break;
                default: return;
                }
                QScrollBar* b = FWindow->Bars[i];
                {
                    QSignalBlocker block(b);
                    b->setSliderPosition(FScroll[i].nPos);
                }
                Perform(msg, MakeWParam(code, FScroll[i].nPos), 0);
            });
        });
        QObject::connect(bar, &QAbstractSlider::sliderMoved, bar, [this, i, msg](int v) {
            gui_detail::Guarded([&] {
                FScroll[i].nTrackPos = v;
                Perform(msg, MakeWParam(SB_THUMBTRACK, v), 0);
            });
        });
        QObject::connect(bar, &QAbstractSlider::sliderReleased, bar, [this, i, msg] {
            gui_detail::Guarded([&] {
                const int v = FScroll[i].nTrackPos = FWindow->Bars[i]->sliderPosition();
                Perform(msg, MakeWParam(SB_THUMBPOSITION, v), 0);
                Perform(msg, MakeWParam(SB_ENDSCROLL, 0), 0);
            });
        });
    }
    const TScrollInfo& s = FScroll[i];
    QSignalBlocker block(bar);
    const int qmax = std::max(s.nMin, int(int64_t(s.nMax) - std::max<int64_t>(int64_t(s.nPage) - 1, 0)));
    bar->setRange(s.nMin, qmax);
    bar->setPageStep(int(std::max<UINT>(s.nPage, 1)));
    bar->setSingleStep(1);
    bar->setValue(s.nPos);
    bar->setSliderPosition(s.nPos);
    bar->setEnabled(s.nMax > s.nMin && int64_t(s.nMax) - s.nMin + 1 > int64_t(s.nPage));
    bar->setGeometry(ToQRect(r));
    bar->setVisible(shown);
}
