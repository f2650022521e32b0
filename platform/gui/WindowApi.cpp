// The window API over the window widgets: messages, focus, capture, placement, painting and
// scroll bars.

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

using namespace gui_detail;

// --- the window API ------------------------------------------------------------------------------

LRESULT SendMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    TWinControl* c = FindControl(window);
    return c ? c->Perform(msg, wParam, lParam) : 0;
}

HWND GetFocus() {
    QWidget* fw = QApplication::focusWidget();
    if (!fw) return nullptr;
    if (TWinControl* c = ControlOfWidget(fw)) return c->WindowHandle();
    return fw;
}

HWND SetFocus(HWND window) {
    HWND prev = GetFocus();
    if (TWinControl* c = FindControl(window)) {
        c->HandleNeeded();
        QWidget* client = c->ClientWidget();
        if (!client->window()->isActiveWindow() && client->window()->isVisible()) client->window()->activateWindow();
        client->setFocus(Qt::OtherFocusReason);
    } else if (window) window->setFocus(Qt::OtherFocusReason);
    return prev;
}

HWND GetCapture() { return gInput.Capture; }

HWND SetCapture(HWND window) {
    HWND prev = gInput.Capture;
    gInput.SwallowMouse = false;
    if (prev == window) return prev;
    gInput.Capture = window;
    if (!FindControl(window) || gInput.CaptureControl != nullptr) {
        // keep a graphic capture control only while its parent holds the capture
        if (gInput.CaptureControl &&
            (!gInput.CaptureControl->GetParent() || gInput.CaptureControl->GetParent()->WindowHandle() != window))
            gInput.CaptureControl = nullptr;
    }
    if (TWinControl* p = FindControl(prev)) p->Perform(WM_CAPTURECHANGED, 0, LPARAM(window));
    return prev;
}

namespace {
bool ReleaseCaptureImpl(bool swallow) {
    HWND prev = gInput.Capture;
    if (!prev) return true;
    gInput.Capture = nullptr;
    gInput.CaptureControl = nullptr;
    // Released in the middle of a press: the rest of that press does nothing.
    if (swallow && gInput.Buttons != Qt::NoButton) gInput.SwallowMouse = true;
    if (TWinControl* p = FindControl(prev)) p->Perform(WM_CAPTURECHANGED, 0, 0);
    return true;
}
}  // namespace

bool ReleaseCapture() { return ReleaseCaptureImpl(true); }

TControl* GetCaptureControl() {
    if (!gInput.Capture) return nullptr;
    if (gInput.CaptureControl) return gInput.CaptureControl;
    return FindControl(gInput.Capture);
}

void SetCaptureControl(TControl* control) {
    if (control && control == GetCaptureControl()) return;
    ReleaseCaptureImpl(false);
    gInput.CaptureControl = nullptr;
    if (!control) return;
    auto* w = dynamic_cast<TWinControl*>(control);
    if (!w) {
        if (!control->GetParent()) return;
        w = control->GetParent();
        gInput.CaptureControl = control;
    }
    TControl* keep = gInput.CaptureControl;
    SetCapture(w->GetHandle());
    gInput.CaptureControl = keep;
}

HWND WindowFromPoint(TPoint screenPos) {
    QWidget* w = QApplication::widgetAt(ToQPoint(screenPos));
    if (!w) return nullptr;
    if (TWinControl* c = ControlOfWidget(w)) return c->WindowHandle();
    return w;
}

bool IsWindowVisible(HWND window) { return window && window->isVisible(); }
bool IsWindowEnabled(HWND window) { return window && window->isEnabled(); }

bool ShowWindow(HWND window, int cmdShow) {
    if (!window) return false;
    const bool was = window->isVisible();
    if (cmdShow == SW_HIDE) window->hide();
    else {
        if (cmdShow == SW_SHOWNOACTIVATE || cmdShow == SW_SHOWNA)
            window->setAttribute(Qt::WA_ShowWithoutActivating, true);
        window->show();
    }
    return was;
}

bool SetWindowPos(HWND window, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
    TWinControl* c = FindControl(window);
    if (!window) return false;
    if (c) {
        int l = c->GetLeft(), t = c->GetTop(), w = c->GetWidth(), h = c->GetHeight();
        if (!(flags & SWP_NOMOVE)) {
            l = x;
            t = y;
        }
        if (!(flags & SWP_NOSIZE)) {
            w = cx;
            h = cy;
        }
        c->SetBounds(l, t, w, h);
        if (flags & SWP_FRAMECHANGED) c->RecalcFrame();
    } else {
        if (!(flags & SWP_NOMOVE)) window->move(x, y);
        if (!(flags & SWP_NOSIZE)) window->resize(cx, cy);
    }
    if (!(flags & SWP_NOZORDER)) {
        if (insertAfter == HWND_TOPMOST) {
            window->setWindowFlag(Qt::WindowStaysOnTopHint, true);
        } else if (insertAfter == HWND_NOTOPMOST) {
            window->setWindowFlag(Qt::WindowStaysOnTopHint, false);
        } else if (insertAfter == HWND_BOTTOM) window->lower();
        else if (insertAfter == HWND_TOP) window->raise();
        else if (insertAfter) window->stackUnder(insertAfter);
    }
    if (flags & SWP_SHOWWINDOW) {
        if (flags & SWP_NOACTIVATE) window->setAttribute(Qt::WA_ShowWithoutActivating, true);
        window->show();
    }
    if (flags & SWP_HIDEWINDOW) window->hide();
    return true;
}

bool GetWindowRect(HWND window, TRect& r) {
    if (!window) return false;
    const QPoint o = window->mapToGlobal(QPoint(0, 0));
    r = Bounds(o.x(), o.y(), window->width(), window->height());
    return true;
}

bool GetClientRect(HWND window, TRect& r) {
    if (TWinControl* c = FindControl(window)) {
        r = c->GetClientRect();
        return true;
    }
    if (!window) return false;
    r = Rect(0, 0, window->width(), window->height());
    return true;
}

bool ClientToScreen(HWND window, TPoint& p) {
    if (TWinControl* c = FindControl(window)) {
        p = c->ClientToScreen(p);
        return true;
    }
    if (!window) return false;
    p = FromQPoint(window->mapToGlobal(ToQPoint(p)));
    return true;
}

bool ScreenToClient(HWND window, TPoint& p) {
    if (TWinControl* c = FindControl(window)) {
        p = c->ScreenToClient(p);
        return true;
    }
    if (!window) return false;
    p = FromQPoint(window->mapFromGlobal(ToQPoint(p)));
    return true;
}

int32_t GetWindowLong(HWND window, int index) {
    TWinControl* c = FindControl(window);
    if (!c) return 0;
    if (index == GWL_STYLE) return int32_t(c->GetWindowStyle());
    if (index == GWL_EXSTYLE) return int32_t(c->GetWindowExStyle());
    return 0;
}

int32_t SetWindowLong(HWND window, int index, int32_t value) {
    TWinControl* c = FindControl(window);
    if (!c) return 0;
    const int32_t old = GetWindowLong(window, index);
    if (index == GWL_STYLE) c->SetWindowStyle(uint32_t(value));
    else if (index == GWL_EXSTYLE) c->SetWindowExStyle(uint32_t(value));
    return old;
}

bool InvalidateRect(HWND window, const TRect* r, bool erase) {
    TWinControl* c = FindControl(window);
    if (!c || !c->HandleAllocated()) return false;
    TWinControl::TWindow& w = *c->WindowData();
    const QRect qr = r ? ToQRect(*r) : w.Client->rect();
    w.Validated -= QRegion(qr);
    if (erase) w.ErasePending = true;
    else w.NoErasePending = true;
    w.Client->update(qr);
    return true;
}

bool ValidateRect(HWND window, const TRect* r) {
    TWinControl* c = FindControl(window);
    if (!c || !c->HandleAllocated()) return false;
    TWinControl::TWindow& w = *c->WindowData();
    w.Validated += r ? QRegion(ToQRect(*r)) : QRegion(w.Client->rect());
    return true;
}

bool UpdateWindow(HWND window) {
    TWinControl* c = FindControl(window);
    if (!c || !c->HandleAllocated()) return false;
    QWidget* tlw = c->OuterWidget()->window();
    if (tlw->isVisible()) QCoreApplication::sendPostedEvents(tlw, QEvent::UpdateRequest);
    return true;
}

bool RedrawWindow(HWND window) {
    TWinControl* c = FindControl(window);
    if (!c || !c->HandleAllocated()) return false;
    c->OuterWidget()->repaint();
    return true;
}

int ScrollWindowEx(HWND window, int dx, int dy, const TRect* scrollRect, const TRect* clipRect) {
    TWinControl* c = FindControl(window);
    if (!c || !c->HandleAllocated()) return 0;
    QWidget* client = c->ClientWidget();
    QRect r = scrollRect ? ToQRect(*scrollRect) : client->rect();
    if (clipRect) r &= ToQRect(*clipRect);
    client->scroll(dx, dy, r);
    return COMPLEXREGION;
}

int SetWindowRgn(HWND window, const TRegion* region, bool redraw) {
    if (!window) return 0;
    if (region) window->setMask(QtRegion(*region));
    else window->clearMask();
    if (redraw) window->update();
    return 1;
}

int SetScrollInfo(HWND window, int bar, const TScrollInfo& info, bool redraw) {
    TWinControl* c = FindControl(window);
    return c ? c->SetScrollInfo(bar, info, redraw) : 0;
}
bool GetScrollInfo(HWND window, int bar, TScrollInfo& info) {
    TWinControl* c = FindControl(window);
    return c && c->GetScrollInfo(bar, info);
}
int SetScrollPos(HWND window, int bar, int pos, bool redraw) {
    TScrollInfo old;
    old.fMask = SIF_POS;
    GetScrollInfo(window, bar, old);
    TScrollInfo si;
    si.fMask = SIF_POS;
    si.nPos = pos;
    SetScrollInfo(window, bar, si, redraw);
    return old.nPos;
}
int GetScrollPos(HWND window, int bar) {
    TScrollInfo si;
    si.fMask = SIF_POS;
    GetScrollInfo(window, bar, si);
    return si.nPos;
}
bool ShowScrollBar(HWND window, int bar, bool show) {
    TWinControl* c = FindControl(window);
    if (!c) return false;
    uint32_t bits = 0;
    if (bar == SB_HORZ || bar == SB_BOTH) bits |= WS_HSCROLL;
    if (bar == SB_VERT || bar == SB_BOTH) bits |= WS_VSCROLL;
    c->SetWindowStyle(show ? c->GetWindowStyle() | bits : c->GetWindowStyle() & ~bits);
    return true;
}
void SetRedraw(HWND window, bool redraw) { SendMessage(window, WM_SETREDRAW, redraw ? 1 : 0); }
