#include "platform/gui/Forms.h"

#include <QtCore/QElapsedTimer>
#include <QtCore/QPointer>
#include <QtCore/QTimer>
#include <QtGui/QWindow>
#include <QtGui/QGuiApplication>
#include <QtWidgets/QApplication>
#include <QtWidgets/QWidget>

#include <algorithm>
#include <map>

#include "platform/gui/Application.h"
#include "platform/gui/ControlsPrivate.h"
#include "platform/gui/Menus.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/ScopeGuard.h"

KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TControlScrollBar, TPersistent, {
    KAROMIL_PROP(Position).Default(0);
    KAROMIL_PROP(Range).Default(0);
    KAROMIL_PROP(Visible).Default(1);
    KAROMIL_PROP(Increment).Default(8);
    p.Prop("Smooth", &Self::Smooth).Default(0);
    p.Prop("Tracking", &Self::Tracking).Default(0);
})
KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TScrollingWinControl, TWinControl, {
    KAROMIL_PROP(HorzScrollBar);
    KAROMIL_PROP(VertScrollBar);
    KAROMIL_PROP(AutoScroll).Default(1);
})
KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TCustomForm, TScrollingWinControl, {
    KAROMIL_PROP(KeyPreview).Default(0);
    KAROMIL_PROP(Menu);
    KAROMIL_PROP(BorderStyle).Default(bsSizeable);
    KAROMIL_PROP(BorderIcons);
    KAROMIL_PROP(Position).Default(poDesigned);
    KAROMIL_PROP(FormStyle).Default(fsNormal);
    KAROMIL_PROP(WindowState).Default(wsNormal);
    KAROMIL_PROP(ModalResult, TypeInfoModalResult()).Default(0);
    KAROMIL_PROP(ActiveControl);
    p.Event("OnActivate", &Self::OnActivate, "TNotifyEvent");
    p.Event("OnDeactivate", &Self::OnDeactivate, "TNotifyEvent");
    p.Event("OnShow", &Self::OnShow, "TNotifyEvent");
    p.Event("OnHide", &Self::OnHide, "TNotifyEvent");
    p.Event("OnCreate", &Self::OnCreate, "TNotifyEvent");
    p.Event("OnDestroy", &Self::OnDestroy, "TNotifyEvent");
    p.Event("OnPaint", &Self::OnPaint, "TNotifyEvent");
    p.Event("OnClose", &Self::OnClose, "TCloseEvent");
    p.Event("OnCloseQuery", &Self::OnCloseQuery, "TCloseQueryEvent");
})
KAROMIL_IMPLEMENT_CLASS(TForm, TCustomForm)
KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TDataModule, TComponent, {
    p.Event("OnCreate", &Self::OnCreate, "TNotifyEvent");
    p.Event("OnDestroy", &Self::OnDestroy, "TNotifyEvent");
})
KAROMIL_IMPLEMENT_CLASS(THintWindow, TCustomControl)

namespace {
TShowModalHook gShowModalHook;
// Forms waiting for their deferred deletion; one freed meanwhile by its owner leaves the list.
std::vector<TCustomForm*>& Releasing() {
    static std::vector<TCustomForm*> forms;
    return forms;
}
}  // namespace

void SetShowModalHook(TShowModalHook hook) { gShowModalHook = std::move(hook); }

// --- scrolling -------------------------------------------------------------------------------

void TControlScrollBar::SetPosition(int v) {
    const int page = FBar == SB_VERT ? FControl->GetClientHeight() : FControl->GetClientWidth();
    const int range = FRange > 0 ? FRange : FCalcRange;
    v = std::clamp(v, 0, std::max(0, range - page));
    if (v == FPosition) return;
    const int delta = FPosition - v;
    FPosition = v;
    if (FBar == SB_VERT) FControl->ScrollBy(0, delta);
    else FControl->ScrollBy(delta, 0);
    FControl->UpdateScrollBars();
}

void TControlScrollBar::SetRange(int v) {
    FRange = std::max(0, v);
    FControl->UpdateScrollBars();
}

void TControlScrollBar::SetVisible(bool v) {
    FVisible = v;
    FControl->UpdateScrollBars();
}

TScrollingWinControl::TScrollingWinControl(TComponent* owner)
    : TWinControl(owner), FHorz(std::make_unique<TControlScrollBar>(this, SB_HORZ)),
      FVert(std::make_unique<TControlScrollBar>(this, SB_VERT)) {}

TScrollingWinControl::~TScrollingWinControl() = default;

void TScrollingWinControl::SetAutoScroll(bool v) {
    FAutoScroll = v;
    UpdateScrollBars();
}

void TScrollingWinControl::CreateWnd() {
    TWinControl::CreateWnd();
    UpdateScrollBars();
}

void TScrollingWinControl::AlignControls(TControl* control, TRect& rect) {
    TWinControl::AlignControls(control, rect);
    UpdateScrollBars();
}

void TScrollingWinControl::UpdateScrollBars() {
    if (FUpdatingBars || !HandleAllocated() || GetComponentState().Contains(csLoading)) return;
    FUpdatingBars = true;
    int right = 0, bottom = 0;
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* c = Controls(i);
        if (!c->GetVisible() || c->GetAlign() != alNone) continue;
        right = std::max(right, c->GetLeft() + c->GetWidth() + FHorz->ScrollPos());
        bottom = std::max(bottom, c->GetTop() + c->GetHeight() + FVert->ScrollPos());
    }
    FHorz->FCalcRange = FAutoScroll ? right : 0;
    FVert->FCalcRange = FAutoScroll ? bottom : 0;
    for (TControlScrollBar* b : {FHorz.get(), FVert.get()}) {
        const int range = b->FRange > 0 ? b->FRange : b->FCalcRange;
        TScrollInfo si;
        si.fMask = SIF_ALL;
        si.nMin = 0;
        si.nMax = b->FVisible ? std::max(0, range - 1) : 0;
        si.nPage = UINT(b->FBar == SB_VERT ? GetClientHeight() : GetClientWidth());
        si.nPos = b->FPosition;
        SetScrollInfo(b->FBar, si, true);
        TScrollInfo now;
        now.fMask = SIF_ALL;
        GetScrollInfo(b->FBar, now);
        b->FShown = (GetWindowStyle() & (b->FBar == SB_VERT ? WS_VSCROLL : WS_HSCROLL)) != 0;
        const int target = b->FShown ? now.nPos : 0;
        if (target != b->FPosition) {
            const int delta = b->FPosition - target;
            b->FPosition = target;
            if (b->FBar == SB_VERT) ScrollBy(0, delta);
            else ScrollBy(delta, 0);
        }
    }
    FUpdatingBars = false;
}

void TScrollingWinControl::ScrollBy(int dx, int dy) {
    if (dx == 0 && dy == 0) return;
    DisableAlign();
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* c = Controls(i);
        if (c->GetAlign() != alNone) continue;
        c->SetBounds(c->GetLeft() + dx, c->GetTop() + dy, c->GetWidth(), c->GetHeight());
    }
    EnableAlign();
    Invalidate();
}

void TScrollingWinControl::Scroll(TControlScrollBar* bar, int code, int pos) {
    const int page = bar->FBar == SB_VERT ? GetClientHeight() : GetClientWidth();
    int v = bar->FPosition;
    switch (code) {
    case SB_LINEUP: v -= bar->FIncrement; break;
    case SB_LINEDOWN: v += bar->FIncrement; break;
    case SB_PAGEUP: v -= page; break;
    case SB_PAGEDOWN: v += page; break;
    case SB_THUMBTRACK:
        if (!bar->Tracking) return;
        v = pos;
        break;
    case SB_THUMBPOSITION: v = pos; break;
    case SB_TOP: v = 0; break;
    case SB_BOTTOM: v = INT32_MAX / 2; break;
    default: return;
    }
    bar->SetPosition(v);
}

void TScrollingWinControl::ScrollInView(TControl* control) {
    if (!control || !ContainsControl(control) || control == this) return;
    TRect r = control->GetBoundsRect();
    for (TControl* p = control->GetParent(); p && p != this; p = p->GetParent())
        OffsetRect(r, p->GetLeft(), p->GetTop());
    const TRect client = GetClientRect();
    auto fit = [](TControlScrollBar* b, int lo, int hi, int size) {
        if (lo < 0) b->SetPosition(b->GetPosition() + lo);
        else if (hi > size) b->SetPosition(b->GetPosition() + std::min(hi - size, lo));
    };
    fit(FHorz.get(), r.Left, r.Right, client.Width());
    fit(FVert.get(), r.Top, r.Bottom, client.Height());
}

void TScrollingWinControl::Dispatch(TMessage& m) {
    switch (m.Msg) {
    case WM_HSCROLL:
    case WM_VSCROLL: {
        TControlScrollBar* bar = m.Msg == WM_VSCROLL ? FVert.get() : FHorz.get();
        Scroll(bar, LoWord(m.WParam), int16_t(HiWord(m.WParam)));
        return;
    }
    case WM_MOUSEWHEEL:
        if (FVert->IsScrollBarVisible()) {
            TWMMouseWheel w(m);
            if (!DoMouseWheel(KeysToShiftState(w.Keys()), w.WheelDelta(), w.Pos())) {
                FVert->SetPosition(FVert->GetPosition() - w.WheelDelta() / WHEEL_DELTA * 3 * FVert->GetIncrement());
            }
            m.Result = 1;
            return;
        }
        break;
    case WM_SIZE:
        TWinControl::Dispatch(m);
        UpdateScrollBars();
        return;
    default: break;
    }
    TWinControl::Dispatch(m);
}

// --- TCustomForm -----------------------------------------------------------------------------

TCustomForm::TCustomForm(TComponent* owner) : TScrollingWinControl(owner), FCanvas(std::make_unique<TCanvas>()) {
    FVisible = false;
    FParentFont = false;
    SetColor(clBtnFace);
    FControlStyle.Include(csAcceptsControls);
    Screen->AddForm(this);
}

TCustomForm::~TCustomForm() {
    if (OnDestroy) {
        TNotifyEvent handler = std::move(OnDestroy);
        try {
            handler(this);
        } catch (...) {
            Application->HandleException(this, std::current_exception());
        }
    }
    std::erase(Releasing(), this);
    if (TScreen* s = TScreenAccess::Peek()) s->RemoveForm(this);
    if (TApplication* app = TApplicationAccess::Peek()) app->ForgetControl(this);
}

void TCustomForm::AfterConstruction() {
    if (FCreated) return;
    FCreated = true;
    if (OnCreate) OnCreate(this);
}

void TCustomForm::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.Style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    if (FBorderStyle == bsSizeable || FBorderStyle == bsSizeToolWin) params.Style |= WS_THICKFRAME;
    if (FBorderStyle == bsNone) params.Style = WS_POPUP | WS_CLIPCHILDREN;
    if (FBorderStyle == bsToolWindow || FBorderStyle == bsSizeToolWin) params.ExStyle |= WS_EX_TOOLWINDOW;
    if (FFormStyle == fsStayOnTop) params.ExStyle |= WS_EX_TOPMOST;
    params.WndParent = GetParentWindow();
}

uint32_t TCustomForm::QtWindowFlags() const {
    Qt::WindowFlags f = Qt::Window;
    if (FBorderStyle == bsToolWindow || FBorderStyle == bsSizeToolWin) f = Qt::Tool;
    if (FBorderStyle == bsDialog) f = Qt::Dialog;
    if (FBorderStyle == bsNone) {
        f |= Qt::FramelessWindowHint;
    } else {
        f |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
        if (FBorderIcons.Contains(biSystemMenu)) {
            f |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
            // A dialog frame or a tool window has neither minimise nor maximise.
            const bool boxes = FBorderStyle == bsSingle || FBorderStyle == bsSizeable;
            if (boxes && FBorderIcons.Contains(biMinimize)) f |= Qt::WindowMinimizeButtonHint;
            if (boxes && FBorderIcons.Contains(biMaximize)) f |= Qt::WindowMaximizeButtonHint;
            if (FBorderIcons.Contains(biHelp)) f |= Qt::WindowContextHelpButtonHint;
        }
    }
    if (FFormStyle == fsStayOnTop) f |= Qt::WindowStaysOnTopHint;
    return uint32_t(f.toInt());
}

void TCustomForm::CreateWindowHandle(const TCreateParams& params) {
    TWinControl::CreateWindowHandle(params);
    ApplyWindowFlags();
}

void TCustomForm::ApplyWindowFlags() {
    if (!HandleAllocated() || GetParent()) return;
    QWidget* w = OuterWidget();
    const bool shown = w->isVisible();
    const Qt::WindowFlags flags = Qt::WindowFlags::fromInt(int(QtWindowFlags()));
    if (w->windowFlags() != flags) {
        w->setWindowFlags(flags);
        if (shown) w->show();
    }
    // Only a sizeable frame lets the user resize.
    if (FBorderStyle == bsSizeable || FBorderStyle == bsSizeToolWin || FBorderStyle == bsNone) {
        w->setMinimumSize(0, 0);
        w->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    } else {
        w->setFixedSize(GetWidth(), GetHeight());
    }
}

void TCustomForm::SetBorderStyle(TFormBorderStyle v) {
    if (v == FBorderStyle) return;
    FBorderStyle = v;
    ApplyWindowFlags();
}

void TCustomForm::SetBorderIcons(TBorderIcons v) {
    FBorderIcons = v;
    ApplyWindowFlags();
}

void TCustomForm::SetFormStyle(TFormStyle v) {
    if (v == FFormStyle) return;
    FFormStyle = v;
    ApplyWindowFlags();
}

void TCustomForm::SetWindowState(TWindowState v) {
    FWindowState = v;
    if (!HandleAllocated() || !OuterWidget()->isVisible()) return;
    QWidget* w = OuterWidget();
    if (v == wsMaximized) w->showMaximized();
    else if (v == wsMinimized) w->showMinimized();
    else w->showNormal();
}

void TCustomForm::PaintWindow(HDC dc) {
    TWinControl::PaintWindow(dc);
    if (!OnPaint) return;
    FPaintDC = dc;
    auto done = OnScopeExit([this] { FPaintDC = nullptr; });
    OnPaint(this);
}

void TCustomForm::VisibleChanging() {
    if (!GetVisible()) PlaceOnShow();
}

namespace {

// The height the window system adds above and below a window's bounds (title bar and frame):
// measured on a shown window where the window system tells it, at least a caption and two frames.
int WindowDecorationHeight() {
    int measured = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible()) measured = std::max(measured, w->frameGeometry().height() - w->geometry().height());
    return std::max(measured, GetSystemMetrics(SM_CYCAPTION) + 2 * GetSystemMetrics(SM_CYFRAME));
}

}  // namespace

// A top-level window larger than the work area is cut to it (its scroll bars then reach the
// rest) and kept inside it, so that no button lies off a small screen. The window system's title
// bar and frame lie outside our bounds: room is left for them.
void TCustomForm::FitToWorkArea() {
    if (GetParent() || FWindowState == wsMaximized) return;
    const TRect work = Screen->WorkAreaRect();
    const int frameX = 2 * GetSystemMetrics(SM_CXFRAME);
    const int frameY = WindowDecorationHeight();
    const int h = std::min(GetHeight(), work.Height() - frameY);
    // Cut in height, the window gets a vertical bar: it grows by the bar's width where there is
    // room, so that no horizontal bar is needed for what fitted before.
    const int bar = h < GetHeight() && GetAutoScroll() ? GetSystemMetrics(SM_CXVSCROLL) : 0;
    const int w = std::min(GetWidth() + bar, work.Width() - frameX);
    int left = GetLeft(), top = GetTop();
    left = std::clamp(left, work.Left, std::max(work.Left, work.Right - frameX - w));
    top = std::clamp(top, work.Top, std::max(work.Top, work.Bottom - frameY - h));
    if (w == GetWidth() && h == GetHeight() && left == GetLeft() && top == GetTop()) return;
    // A fixed frame holds the window's size at the window system: let go while it shrinks.
    if (HandleAllocated()) {
        OuterWidget()->setMinimumSize(0, 0);
        OuterWidget()->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    }
    SetBounds(left, top, w, h);
    ApplyWindowFlags();
}

void TCustomForm::PlaceOnShow() {
    auto fit = OnScopeExit([this] { FitToWorkArea(); });
    if (GetParent()) return;
    FitToWorkArea();  // centred with the size it will have
    TRect area;
    switch (FPosition) {
    case poScreenCenter:
    case poDesktopCenter: area = Screen->WorkAreaRect(); break;
    case poMainFormCenter:
    case poOwnerFormCenter: {
        TCustomForm* center = FPosition == poOwnerFormCenter ? dynamic_cast<TCustomForm*>(GetOwner()) : nullptr;
        if (!center) center = Application->GetMainForm();
        if (center == this || !center || !center->GetVisible()) center = nullptr;
        area = center ? center->GetBoundsRect() : Screen->WorkAreaRect();
        break;
    }
    default: return;
    }
    SetBounds(area.Left + (area.Width() - GetWidth()) / 2, area.Top + (area.Height() - GetHeight()) / 2, GetWidth(),
        GetHeight());
}

void TCustomForm::Show() {
    SetVisible(true);
    BringToFront();
    if (HandleAllocated()) {
        QWidget* w = OuterWidget();
        if (FWindowState == wsMaximized) w->showMaximized();
        w->raise();
        w->activateWindow();
        // Shown again: the focus goes back to the active control.
        if (w->isActiveWindow()) SetWindowFocus();
    }
}

void TCustomForm::ShowAndPaint(int timeoutMs) {
    Show();
    if (!HandleAllocated()) return;
    QWidget* w = OuterWidget();
    QElapsedTimer clock;
    clock.start();
    // Mapping is asynchronous on X11: before the window is exposed, painting shows nothing.
    while ((!w->windowHandle() || !w->windowHandle()->isExposed()) && clock.elapsed() < timeoutMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    w->repaint();
    QCoreApplication::processEvents();
    QGuiApplication::sync();
}

void TCustomForm::Hide() { SetVisible(false); }

void TCustomForm::Release() {
    auto& r = Releasing();
    if (std::find(r.begin(), r.end(), this) != r.end()) return;
    r.push_back(this);
    TCustomForm* self = this;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [self] {
            auto& list = Releasing();
            auto it = std::find(list.begin(), list.end(), self);
            if (it == list.end()) return;
            list.erase(it);
            delete self;
        },
        Qt::QueuedConnection);
}

TModalResult TCustomForm::ShowModal() {
    if (GetVisible() || !GetEnabled() || FFormState.Contains(fsModal))
        throw EInvalidOperation("Viditelné okno nelze zobrazit modálně.");
    if (GetCapture()) ReleaseCapture();
    Application->CancelHint();
    // The window active before this one gets the activation and its focus back at the end,
    // as the window system gives them back when a modal window closes.
    TCustomForm* before = Screen->ActiveForm();
    QPointer<QWidget> beforeWindow = before && before != this && before->HandleAllocated() ? before->OuterWidget()
                                                                                           : nullptr;
    FFormState.Include(fsModal);
    FModalResult = mrNone;
    HandleNeeded();
    OuterWidget()->setWindowModality(Qt::ApplicationModal);
    auto end = OnScopeExit([this] {
        FFormState.Exclude(fsModal);
        if (HandleAllocated()) OuterWidget()->setWindowModality(Qt::NonModal);
    });
    Show();
    // Shown again after closing with no other window to activate, the window is still the
    // window system's focus window, which then reports no new activation: activate it here.
    if (QWidget* w = OuterWidget();
        w->windowHandle() && QGuiApplication::focusWindow() == w->windowHandle() && QApplication::activeWindow() != w)
        QApplication::setActiveWindow(w);
    if (gShowModalHook) {
        TShowModalHook hook = gShowModalHook;
        // After the activation and focus events of the showing.
        QTimer::singleShot(0, OuterWidget(), [hook, this] {
            gui_detail::Guarded([&] {
                for (int i = 0; i < 3; ++i) Application->ProcessMessages();
                hook(this);
            });
        });
    }
    while (FModalResult == mrNone) {
        Application->HandleMessage();
        if (Application->Terminated()) FModalResult = mrCancel;
        if (FModalResult != mrNone) CloseModal();
    }
    // OnHide runs before the caller sees the result, and may change it.
    Hide();
    if (beforeWindow && before->GetVisible() && before->GetEnabled()) {
        beforeWindow->activateWindow();
        before->SetWindowFocus();
    }
    return FModalResult;
}

void TCustomForm::CloseModal() {
    if (!CloseQuery()) {
        FModalResult = mrNone;
        return;
    }
    TCloseAction action = caHide;
    DoClose(action);
    if (action == caNone) FModalResult = mrNone;
    else if (action == caFree) Release();
}

void TCustomForm::SetMenu(TMainMenu* v) {
    FMenu = v;
    if (v) v->FreeNotification(this);
}

void TCustomForm::Notification(TComponent* component, TOperation operation) {
    TScrollingWinControl::Notification(component, operation);
    if (operation == opRemove && component == FMenu) FMenu = nullptr;
}

void TCustomForm::Dispatch(TMessage& m) {
    switch (m.Msg) {
    case CM_DIALOGKEY:
        if (GetKeyState(VK_MENU) >= 0) {
            if (m.WParam == VK_TAB && GetKeyState(VK_CONTROL) >= 0) {
                SelectNext(FActiveControl, GetKeyState(VK_SHIFT) >= 0, true);
                m.Result = 1;
                return;
            }
            if (m.WParam == VK_LEFT || m.WParam == VK_RIGHT || m.WParam == VK_UP || m.WParam == VK_DOWN) {
                if (FActiveControl && FActiveControl->GetParent()) {
                    FActiveControl->GetParent()->SelectNext(
                        FActiveControl, m.WParam == VK_RIGHT || m.WParam == VK_DOWN, false);
                    m.Result = 1;
                }
                return;
            }
        }
        TWinControl::Dispatch(m);
        return;
    case WM_ACTIVATE:
        if (m.WParam != WA_INACTIVE) {
            FActive = true;
            Screen->FActiveForm = this;
            SetWindowFocus();
            Activate();
        } else {
            FActive = false;
            Deactivate();
        }
        return;
    case WM_SETFOCUS:
        // The form's own window got the focus: pass it on to the active control.
        if (FActiveControl && FActiveControl != this) SetWindowFocus();
        else SetFocusedControl(this);
        return;
    case WM_CLOSE: Close(); return;
    case CM_TEXTCHANGED:
        if (HandleAllocated() && !GetParent()) OuterWidget()->setWindowTitle(QString::fromStdString(GetText()));
        TWinControl::Dispatch(m);
        return;
    case CM_SHOWINGCHANGED:
        if (GetVisible()) {
            // The first control in tab order gets the focus when nothing chose one.
            if (!FActiveControl) {
                if (TWinControl* first = FindNextControl(nullptr, true, true, false)) FActiveControl = first;
            }
            if (OnShow) OnShow(this);
        } else if (OnHide) OnHide(this);
        return;
    default: TScrollingWinControl::Dispatch(m);
    }
}

void TCustomForm::Activate() {
    if (OnActivate) OnActivate(this);
}
void TCustomForm::Deactivate() {
    if (OnDeactivate) OnDeactivate(this);
}

void TCustomForm::SetActiveControl(TWinControl* control) {
    if (control == FActiveControl) return;
    if (control && GetComponentState().Contains(csLoading)) {
        FActiveControl = control;
        return;
    }
    if (control && (!control->CanFocus() || !ContainsControl(control)))
        throw EInvalidOperation("Nelze přesunout fokus do zakázaného nebo skrytého okna.");
    FActiveControl = control;
    if (Showing()) SetWindowFocus();
}

void TCustomForm::SetWindowFocus() {
    if (!HandleAllocated()) return;
    if (FActiveControl) FActiveControl->HandleNeeded();
    TWinControl* target = FActiveControl && FActiveControl->HandleAllocated() ? FActiveControl : this;
    QWidget* now = QApplication::focusWidget();
    if (GetFocus() != target->WindowHandle() || !now || !now->isVisible()) ::SetFocus(target->WindowHandle());
}

void TCustomForm::FocusControl(TWinControl* control) {
    const bool wasActive = FActive;
    SetActiveControl(control);
    if (!wasActive && Showing()) SetWindowFocus();
}

void TCustomForm::DefocusControl(TWinControl* control, bool removing) {
    if (removing && control->ContainsControl(FFocusedControl)) FFocusedControl = control->GetParent();
    if (control->ContainsControl(FActiveControl)) {
        FActiveControl = nullptr;
        if (!removing && Showing()) SetWindowFocus();
    }
}

bool TCustomForm::SetFocusedControl(TWinControl* control) {
    ++FFocusCount;
    const int count = FFocusCount;
    FActiveControl = control != this ? control : nullptr;
    Screen->FActiveControl = control;
    Screen->FActiveForm = this;
    if (control->ControlState().Contains(csFocusing)) return false;
    control->FControlState.Include(csFocusing);
    auto clear = OnScopeExit([control] { control->FControlState.Exclude(csFocusing); });
    // A handler that moves the focus elsewhere ends this change.
    auto send = [&](TWinControl* c, UINT msg) {
        c->Perform(msg);
        return count == FFocusCount;
    };
    if (Screen->FFocusedForm != this) {
        if (TCustomForm* old = Screen->FFocusedForm) {
            Screen->FFocusedForm = nullptr;
            if (!send(old, CM_DEACTIVATE)) return false;
        }
        Screen->FFocusedForm = this;
        if (!send(this, CM_ACTIVATE)) return false;
    }
    if (!FFocusedControl) FFocusedControl = this;
    if (FFocusedControl != control) {
        while (FFocusedControl && !FFocusedControl->ContainsControl(control)) {
            TWinControl* leaving = FFocusedControl;
            FFocusedControl = leaving->GetParent();
            if (!send(leaving, CM_EXIT)) return false;
        }
        while (FFocusedControl != control) {
            TWinControl* c = control;
            while (c->GetParent() != FFocusedControl) c = c->GetParent();
            FFocusedControl = c;
            if (!send(c, CM_ENTER)) return false;
        }
        Perform(CM_FOCUSCHANGED, 0, LPARAM(control));
        // On a window that scrolls, the control taking the focus comes into view (Tab to a
        // button below the visible part of a fitted window).
        if (GetAutoScroll() && control != this) ScrollInView(control);
    }
    return true;
}

void TCustomForm::SendCancelMode(TControl* sender) {
    if (FActiveControl) FActiveControl->Perform(CM_CANCELMODE, 0, LPARAM(sender));
}

bool TCustomForm::CanFocus() const { return GetVisible() && GetEnabled(); }

void TCustomForm::SetFocus() {
    if (!CanFocus()) throw EInvalidOperation("Nelze přesunout fokus do zakázaného nebo skrytého okna.");
    HandleNeeded();
    if (QWidget* w = OuterWidget(); w && w->isVisible()) w->activateWindow();
    SetWindowFocus();
}

bool TCustomForm::CloseQuery() {
    bool canClose = true;
    if (OnCloseQuery) OnCloseQuery(this, canClose);
    return canClose;
}

void TCustomForm::DoClose(TCloseAction& action) {
    if (OnClose) OnClose(this, action);
}

void TCustomForm::Close() {
    // A modal form ends through its loop, which asks CloseQuery and OnClose.
    if (FFormState.Contains(fsModal)) {
        FModalResult = mrCancel;
        return;
    }
    if (!CloseQuery()) return;
    TCloseAction action = caHide;
    DoClose(action);
    if (action == caNone) return;
    const bool main = TApplicationAccess::Peek() && Application->GetMainForm() == this;
    if (action == caHide || action == caMinimize) Hide();
    if (main) Application->Terminate();
    if (action == caFree) {
        Hide();
        Release();
    }
}

// --- TDataModule -------------------------------------------------------------------------------

TDataModule::TDataModule(TComponent* owner) : TComponent(owner) { Screen->AddDataModule(this); }

TDataModule::~TDataModule() {
    if (OnDestroy) OnDestroy(this);
    if (TScreen* s = TScreenAccess::Peek()) s->RemoveDataModule(this);
}

void TDataModule::AfterConstruction() {
    if (OnCreate) OnCreate(this);
}

// --- stored definitions --------------------------------------------------------------------------

namespace {

// References waiting for their module, keyed by the module's name. A holder that goes away
// takes its waiting references with it.
class TFixups : public TComponent {
public:
    TFixups() : TComponent(nullptr) {}
    struct TEntry {
        TComponent* Holder;
        std::string Module, Name;
        std::function<void(TComponent*)> Assign;
    };
    std::vector<TEntry> Entries;

protected:
    void Notification(TComponent* c, TOperation op) override {
        TComponent::Notification(c, op);
        if (op != opRemove) return;
        std::erase_if(Entries, [c](const TEntry& e) { return e.Holder == c; });
    }
};

TFixups& Fixups() {
    static TFixups* f = new TFixups;  // lives for the process; nothing to free at exit
    return *f;
}

bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// Waiting references inside one window are keyed by the window itself, not by a name.
std::string OwnKey(const TComponent* root) { return "\x01" + std::to_string(reinterpret_cast<uintptr_t>(root)); }

}  // namespace

TComponent* FindGlobalComponent(const std::string& name) {
    if (name.empty()) return nullptr;
    TScreen* s = TScreenAccess::Peek();
    if (!s) return nullptr;
    for (int i = 0; i < s->FormCount(); ++i)
        if (SameName(s->Forms(i)->GetName(), name) && !s->Forms(i)->GetComponentState().Contains(csLoading))
            return s->Forms(i);
    for (int i = 0; i < s->DataModuleCount(); ++i)
        if (SameName(s->DataModules(i)->GetName(), name) && !s->DataModules(i)->GetComponentState().Contains(csLoading))
            return s->DataModules(i);
    return nullptr;
}

void ResolveReferences(TComponent* module) {
    auto& entries = Fixups().Entries;
    std::vector<TFixups::TEntry> ready;
    for (auto it = entries.begin(); it != entries.end();) {
        if (SameName(it->Module, module->GetName())) {
            ready.push_back(std::move(*it));
            it = entries.erase(it);
        } else ++it;
    }
    for (auto& e : ready) {
        TComponent* target = e.Name.empty() ? module : module->FindComponent(e.Name);
        if (target) e.Assign(target);
    }
}

int PendingReferenceCount() { return int(Fixups().Entries.size()); }

TFormLoader::TFormLoader(TComponent* root) : FRoot(root) { FRoot->BeginLoading(); }

TFormLoader::~TFormLoader() {
    // A build function that threw leaves its components half made: close the bracket anyway so
    // that the window can still be freed cleanly.
    if (!FFinished) {
        for (TComponent* c : FLoading)
            if (c->GetComponentState().Contains(csLoading)) c->TComponent::Loaded();
        if (FRoot->GetComponentState().Contains(csLoading)) FRoot->TComponent::Loaded();
    }
}

void TFormLoader::Adopt(TComponent* c, const std::string& name, TWinControl* parent) {
    c->BeginLoading();
    FLoading.push_back(c);
    c->SetName(name);
    if (parent) {
        if (auto* control = dynamic_cast<TControl*>(c)) control->SetParent(parent);
    }
}

void TFormLoader::Reference(TComponent* holder, const std::string& path, std::function<void(TComponent*)> assign) {
    const size_t dot = path.find('.');
    std::string module = dot == std::string::npos ? std::string() : path.substr(0, dot);
    std::string name = dot == std::string::npos ? path : path.substr(dot + 1);
    if (module.empty() || SameName(module, FRoot->GetName())) {
        // Same window: after everything is made, before Loaded.
        Fixups().Entries.push_back({holder, OwnKey(FRoot), name, std::move(assign)});
        holder->FreeNotification(&Fixups());
        return;
    }
    if (TComponent* m = FindGlobalComponent(module)) {
        if (TComponent* target = m->FindComponent(name)) assign(target);
        return;
    }
    holder->FreeNotification(&Fixups());
    Fixups().Entries.push_back({holder, module, name, std::move(assign)});
}

void TFormLoader::Finish() {
    if (FFinished) return;
    FFinished = true;
    // References inside this window first: every component exists now.
    const std::string self = OwnKey(FRoot);
    auto& entries = Fixups().Entries;
    std::vector<TFixups::TEntry> own;
    for (auto it = entries.begin(); it != entries.end();) {
        if (it->Module == self) {
            own.push_back(std::move(*it));
            it = entries.erase(it);
        } else ++it;
    }
    for (auto& e : own)
        if (TComponent* target = FRoot->FindComponent(e.Name)) e.Assign(target);
    FRoot->Loaded();
    for (TComponent* c : FLoading) c->Loaded();
    if (auto* w = dynamic_cast<TWinControl*>(FRoot)) w->Realign();
    ResolveReferences(FRoot);
}

// --- THintWindow -------------------------------------------------------------------------------

THintWindow::THintWindow(TComponent* owner) : TCustomControl(owner) {
    SetColor(clInfoBk);
    GetFont()->Assign(Screen->HintFont());
    SetVisible(false);
}

void THintWindow::CreateParams(TCreateParams& params) {
    TCustomControl::CreateParams(params);
    params.Style = WS_POPUP | WS_BORDER;
    params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE | WS_EX_TRANSPARENT;
    params.WndParent = nullptr;
}

void THintWindow::Dispatch(TMessage& m) {
    if (m.Msg == WM_NCHITTEST) {
        m.Result = HTTRANSPARENT;
        return;
    }
    TCustomControl::Dispatch(m);
}

TRect THintWindow::CalcHintRect(int maxWidth, const std::string& hint) {
    Canvas()->Font()->Assign(GetFont());
    TRect r = Rect(0, 0, maxWidth, 0);
    DrawText(Canvas()->Handle(), hint, -1, r, DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
    r.Right += 6;
    r.Bottom += 2;
    return r;
}

void THintWindow::ActivateHint(const TRect& r, const std::string& hint) {
    SetCaption(hint);
    SetBounds(r.Left, r.Top, r.Width(), r.Height());
    HandleNeeded();
    SetVisible(true);
    Invalidate();
}

void THintWindow::ReleaseHandle() {
    if (GetVisible()) SetVisible(false);
}

bool THintWindow::Active() const { return GetVisible() && HandleAllocated(); }

void THintWindow::Paint() {
    TCanvas* c = Canvas();
    TRect r = GetClientRect();
    c->Brush()->SetColor(GetColor());
    c->FillRect(r);
    c->Font()->Assign(GetFont());
    c->Font()->SetColor(clInfoText);
    c->Brush()->SetStyle(bsClear);
    r.Left += 2;
    r.Top += 1;
    DrawText(c->Handle(), GetCaption(), -1, r, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
}
