// The window widgets and the one place where Qt events become messages: mouse, keys,
// input method, paint and the rest of the event translation.

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

namespace {

// Sends CM_MOUSELEAVE and CM_MOUSEENTER as the pointer moves between graphic controls.
void HoverGraphic(TWinControl* parent, TPoint local) {
    TControl* now = parent ? parent->ControlAtPos(local, true, false) : nullptr;
    if (now && dynamic_cast<TWinControl*>(now)) now = nullptr;
    if (now == gInput.Hovered) return;
    TControl* old = std::exchange(gInput.Hovered, now);
    if (old) old->Perform(CM_MOUSELEAVE, 0, LPARAM(old));
    if (now && gInput.Hovered == now) now->Perform(CM_MOUSEENTER, 0, LPARAM(now));
}

}  // namespace

// --- window widgets ----------------------------------------------------------------------------

TQtWindowWidget::TQtWindowWidget(TWinControl* control, bool client, QWidget* parent)
    : QWidget(parent), FControl(control), FClient(client) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAutoFillBackground(false);
    setMouseTracking(true);
    if (client) {
        setFocusPolicy(Qt::ClickFocus);
        setAttribute(Qt::WA_InputMethodEnabled);  // composed text arrives as WM_IME_* messages
    }
}

bool TQtWindowWidget::event(QEvent* e) {
    // A fault of a handler counts as the event taken: Qt's own handling must not run after it.
    if (FControl && gui_detail::Guarded([&] { return TWindowBridge::Translate(FControl, FClient, this, e); }, true))
        return true;
    return QWidget::event(e);
}

// --- key translation ---------------------------------------------------------------------------

WORD gui_detail::VirtualKeyOf(const QKeyEvent* e) {
    const int key = e->key();
    const bool keypad = e->modifiers() & Qt::KeypadModifier;
    if (keypad) {
        if (key >= Qt::Key_0 && key <= Qt::Key_9) return WORD(VK_NUMPAD0 + (key - Qt::Key_0));
        switch (key) {
        case Qt::Key_Plus: return VK_ADD;
        case Qt::Key_Minus: return VK_SUBTRACT;
        case Qt::Key_Asterisk: return VK_MULTIPLY;
        case Qt::Key_Slash: return VK_DIVIDE;
        case Qt::Key_Period:
        case Qt::Key_Comma: return VK_DECIMAL;
        default: break;
        }
    }
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return WORD('A' + (key - Qt::Key_A));
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return WORD('0' + (key - Qt::Key_0));
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return WORD(VK_F1 + (key - Qt::Key_F1));
    switch (key) {
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Shift: return VK_SHIFT;
    case Qt::Key_Control: return VK_CONTROL;
    case Qt::Key_Alt:
    case Qt::Key_AltGr: return VK_MENU;
    case Qt::Key_Pause: return VK_PAUSE;
    case Qt::Key_CapsLock: return VK_CAPITAL;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_End: return VK_END;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_Print: return VK_SNAPSHOT;
    case Qt::Key_Insert: return VK_INSERT;
    case Qt::Key_Delete: return VK_DELETE;
    case Qt::Key_Help: return VK_HELP;
    case Qt::Key_Menu: return VK_APPS;
    case Qt::Key_NumLock: return VK_NUMLOCK;
    case Qt::Key_ScrollLock: return VK_SCROLL;
    case Qt::Key_Semicolon: return VK_OEM_1;
    case Qt::Key_Plus:
    case Qt::Key_Equal: return VK_OEM_PLUS;
    case Qt::Key_Comma: return VK_OEM_COMMA;
    case Qt::Key_Minus: return VK_OEM_MINUS;
    case Qt::Key_Period: return VK_OEM_PERIOD;
    case Qt::Key_Slash: return VK_OEM_2;
    case Qt::Key_QuoteLeft: return VK_OEM_3;
    case Qt::Key_BracketLeft: return VK_OEM_4;
    case Qt::Key_Backslash: return VK_OEM_5;
    case Qt::Key_BracketRight: return VK_OEM_6;
    case Qt::Key_Apostrophe: return VK_OEM_7;
    default: return 0;
    }
}

namespace {

// The character Windows' translation step would post for this key, 0 for none. Qt does not
// reliably give the control characters as text, so they are made from key and modifiers.
char32_t CharacterOf(const QKeyEvent* e) {
    const int key = e->key();
    const bool ctrl = e->modifiers() & Qt::ControlModifier;
    const bool alt = e->modifiers() & Qt::AltModifier;
    switch (key) {
    case Qt::Key_Backspace: return ctrl ? 127 : 8;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter: return ctrl ? 10 : 13;
    case Qt::Key_Escape: return 27;
    case Qt::Key_Delete: return 0;
    default: break;
    }
    if (ctrl && !alt) {
        if (key >= Qt::Key_A && key <= Qt::Key_Z) return char32_t(key - Qt::Key_A + 1);
        if (key == Qt::Key_BracketLeft) return 27;
        if (key == Qt::Key_Backslash) return 28;
        if (key == Qt::Key_BracketRight) return 29;
        return 0;
    }
    const QString text = e->text();
    if (!text.isEmpty()) {
        const auto ucs = text.toUcs4();
        if (!ucs.isEmpty() && ucs[0] >= 32 && ucs[0] != 127) return char32_t(ucs[0]);
    }
    if (key == Qt::Key_Space) return 32;
    return 0;
}

WPARAM MouseKeys(Qt::MouseButtons buttons, Qt::KeyboardModifiers mods) {
    WPARAM k = 0;
    if (buttons & Qt::LeftButton) k |= MK_LBUTTON;
    if (buttons & Qt::RightButton) k |= MK_RBUTTON;
    if (buttons & Qt::MiddleButton) k |= MK_MBUTTON;
    if (mods & Qt::ShiftModifier) k |= MK_SHIFT;
    if (mods & Qt::ControlModifier) k |= MK_CONTROL;
    return k;
}

}  // namespace

// --- the translation ---------------------------------------------------------------------------

TCanvas* TWindowBridge::PaintDC(TWinControl* c) {
    if (auto* cc = dynamic_cast<TCustomControl*>(c)) return cc->Canvas();
    TWinControl::TWindow& w = *c->FWindow;
    if (!w.DC) w.DC = std::make_unique<TCanvas>();
    return w.DC.get();
}

void TWindowBridge::DeliverMouse(TWinControl* c, QMouseEvent* e) {
    QWidget* client = c->ClientWidget();
    if (!client) return;
    const QPoint global = e->globalPosition().toPoint();
    const TPoint screen = FromQPoint(global);
    gui_detail::SetMessageTime(DWORD(e->timestamp()), screen);
    const Qt::MouseButton b = e->button();
    UINT base;  // the WM_xBUTTONDOWN of the button
    switch (b) {
    case Qt::RightButton: base = WM_RBUTTONDOWN; break;
    case Qt::MiddleButton: base = WM_MBUTTONDOWN; break;
    default: base = WM_LBUTTONDOWN; break;
    }
    UINT msg = WM_MOUSEMOVE;
    switch (e->type()) {
    case QEvent::MouseButtonPress:
        msg = base;
        gInput.LastPress = {c->WindowHandle(), b, gInput.MessageTime, screen, false};
        break;
    case QEvent::MouseButtonRelease: msg = base + 1; break;
    case QEvent::MouseButtonDblClick: {
        // Qt pairs any two quick presses; Windows pairs only a plain press and the next press of
        // the same button on the same window near it, and only for a class that asks for it.
        // Otherwise the press is an ordinary one: a click after a double click stays a click.
        const bool pair = gInput.LastPress.Window == c->WindowHandle() && gInput.LastPress.Button == b &&
            !gInput.LastPress.Second && gInput.MessageTime - gInput.LastPress.Time <= GetDoubleClickTime() &&
            std::abs(screen.X - gInput.LastPress.Pos.X) <= GetSystemMetrics(SM_CXDOUBLECLK) / 2 &&
            std::abs(screen.Y - gInput.LastPress.Pos.Y) <= GetSystemMetrics(SM_CYDOUBLECLK) / 2;
        gInput.LastPress = {c->WindowHandle(), b, gInput.MessageTime, screen, pair};
        msg = (pair && (c->GetClassStyle() & CS_DBLCLKS)) ? base + 2 : base;
        break;
    }
    default: break;
    }
    // The window under the pointer is asked for its hit code, also while another holds the
    // capture; the capture holder itself gets client messages.
    const bool captured = GetCapture() == c->WindowHandle();
    TWinControl* under = ControlOfWidget(QApplication::widgetAt(global));
    QPointer<QWidget> guard(client);
    if (under && under != c) {
        under->Perform(WM_NCHITTEST, 0, PointToLParam(screen));
        if (!guard) return;
    }
    LRESULT hit = HTCLIENT;
    if (!captured && (!under || under == c)) {
        hit = c->Perform(WM_NCHITTEST, 0, PointToLParam(screen));
        if (!guard || hit == HTTRANSPARENT) return;
    }
    if (!GetCapture()) c->Perform(WM_SETCURSOR, WPARAM(c->WindowHandle()), MakeLParam(int(hit), int(msg)));
    if (!guard) return;
    if (hit == HTCLIENT) {
        TPoint local = FromQPoint(client->mapFromGlobal(global));
        c->Perform(msg, MouseKeys(e->buttons(), e->modifiers()), PointToLParam(local));
        if (msg == WM_MOUSEMOVE && guard) HoverGraphic(c, local);
        return;
    }
    HoverGraphic(nullptr, {});
    // Non-client: the same message with the NC offset, hit code and screen point.
    UINT nc = msg - WM_MOUSEMOVE + WM_NCMOUSEMOVE;
    c->Perform(nc, WPARAM(hit), PointToLParam(screen));
}

void TWindowBridge::DeliverKey(TWinControl* c, QKeyEvent* e) {
    gui_detail::SetMessageTime(DWORD(e->timestamp()), gInput.MessagePos);
    const WORD vk = VirtualKeyOf(e);
    const bool alt = e->modifiers() & Qt::AltModifier;
    const bool ctrl = e->modifiers() & Qt::ControlModifier;
    const bool sys = alt && !ctrl;  // Ctrl+Alt is AltGr: ordinary keys and characters
    LPARAM data = 1 | (alt ? KF_ALTDOWN_BIT : 0);
    HWND wnd = c->WindowHandle();
    if (e->type() == QEvent::KeyPress) {
        if (e->isAutoRepeat()) data |= KF_REPEAT_BIT;
        const UINT down = sys ? WM_SYSKEYDOWN : WM_KEYDOWN;
        if (c->Perform(CN_BASE + down, vk, data) != 0) return;  // a dialog or menu key
        // The character is queued before the key-down runs, as Windows' translation step posts
        // it: a handler can remove it, and it precedes whatever the handler posts.
        if (char32_t ch = CharacterOf(e)) PostMessage(wnd, sys ? WM_SYSCHAR : WM_CHAR, ch, data);
        if (FindControl(wnd) == c) c->Perform(down, vk, data);
    } else {
        if (e->isAutoRepeat()) return;  // Windows repeats key-downs only
        data |= KF_REPEAT_BIT | KF_UP_BIT;
        const UINT up = sys ? WM_SYSKEYUP : WM_KEYUP;
        if (c->Perform(CN_BASE + up, vk, data) != 0) return;
        c->Perform(up, vk, data);
    }
}

void TWindowBridge::DeliverInputMethod(TWinControl* c, QInputMethodEvent* e) {
    HWND wnd = c->WindowHandle();
    const QString preedit = e->preeditString(), commit = e->commitString();
    QPointer<QWidget> guard(wnd);
    if (!preedit.isEmpty() && gInput.Ime.Window != wnd) {
        gInput.Ime.Window = wnd;
        c->Perform(WM_IME_STARTCOMPOSITION);
        if (!guard) return;
    }
    LPARAM what = 0;
    if (!commit.isEmpty()) what |= GCS_RESULTSTR;
    if (!preedit.isEmpty() || gInput.Ime.Window == wnd) what |= GCS_COMPSTR;
    if (what) {
        // The strings are readable while the message is handled, nested compositions aside.
        TRollback composition(gInput.Ime.Composition, preedit.toStdString());
        TRollback result(gInput.Ime.Result, commit.toStdString());
        const QString first = commit.isEmpty() ? preedit : commit;
        c->Perform(WM_IME_COMPOSITION, first.isEmpty() ? 0 : WPARAM(first.toUcs4().value(0)), what);
        if (!guard) return;
    }
    if (preedit.isEmpty() && gInput.Ime.Window == wnd) {
        gInput.Ime.Window = nullptr;
        c->Perform(WM_IME_ENDCOMPOSITION);
    }
}

std::string ImmGetCompositionString(HWND, LPARAM index) {
    if (index == GCS_RESULTSTR) return gInput.Ime.Result;
    if (index == GCS_COMPSTR) return gInput.Ime.Composition;
    return {};
}

// A window moved or sized by the window system (the user dragging its frame or caption), told
// from our own SetBounds by the geometry we asked for. X11 tells no end of such a drag, so the
// end is when the window has kept still for a moment: WM_EXITSIZEMOVE then, once.
void TWindowBridge::NoteSystemMoveSize(TWinControl* c, QWidget* outer) {
    constexpr int kMoveSizeSettleMs = 300;
    TWinControl::TWindow* w = c->FWindow.get();
    if (gInput.Sizing.Control == c) return;  // our own frame sizing sends its own end
    if (outer->geometry() == w->Requested) return;  // where our own code put it
    w->Requested = outer->geometry();
    if (!w->MoveSizeEnd) {
        w->MoveSizeEnd = new QTimer(outer);
        w->MoveSizeEnd->setSingleShot(true);
        w->MoveSizeEnd->setInterval(kMoveSizeSettleMs);
        // Through the widget: the control may be gone while its widget waits for deletion.
        auto* window = static_cast<TQtWindowWidget*>(outer);
        QObject::connect(w->MoveSizeEnd, &QTimer::timeout, outer, [window] {
            if (TWinControl* control = window->Control())
                gui_detail::Guarded([control] { control->Perform(WM_EXITSIZEMOVE); });
        });
    }
    w->MoveSizeEnd->start();
}

bool TWindowBridge::Translate(TWinControl* c, bool client, QWidget* widget, QEvent* e) {
    TWinControl::TWindow* w = c->FWindow.get();
    if (!w) return false;
    switch (e->type()) {
    case QEvent::Paint: {
        auto* pe = static_cast<QPaintEvent*>(e);
        if (!client) {
            QRegion nc = QRegion(widget->rect()) - QRegion(ToQRect(c->FClientInWindow));
            nc &= pe->region();
            if (nc.isEmpty()) return true;
            QPainter p(widget);
            TCanvas dc;
            CanvasPaint::Attach(&dc, &p, Rect(0, 0, widget->width(), widget->height()), &nc);
            gui_detail::GuardedPaint(w->NcPaintFailed, [&] { c->Perform(WM_NCPAINT, WPARAM(&dc), 0); });
            dc.Detach();
            return true;
        }
        QRegion rgn = pe->region() - w->Validated;
        w->Validated = QRegion();
        const bool erase = w->ErasePending || !w->NoErasePending;
        w->ErasePending = w->NoErasePending = false;
        if (rgn.isEmpty()) return true;
        QPainter p(widget);
        TCanvas* dc = PaintDC(c);
        CanvasPaint::Attach(dc, &p, Rect(0, 0, widget->width(), widget->height()), &rgn);
        // Reported once, after the paint, which still finishes.
        gui_detail::GuardedPaint(w->PaintFailed, [&] {
            if (erase) c->Perform(WM_ERASEBKGND, WPARAM(dc), 0);
            c->Perform(WM_PAINT, WPARAM(dc), 0);
        });
        dc->Detach();
        return true;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove: DeliverMouse(c, static_cast<QMouseEvent*>(e)); return true;
    case QEvent::Wheel: {
        auto* we = static_cast<QWheelEvent*>(e);
        int& accumulated = gInput.WheelAccumulated;
        accumulated += we->angleDelta().y();
        const int notches = accumulated / WHEEL_DELTA;
        if (notches == 0) return true;
        accumulated -= notches * WHEEL_DELTA;
        const TPoint screen = FromQPoint(we->globalPosition().toPoint());
        gui_detail::SetMessageTime(DWORD(we->timestamp()), screen);
        // The wheel goes to the window under the mouse, as on every Linux desktop (and Windows
        // since 10): a list scrolls when the pointer is over it, wherever the focus is. A control
        // that does not use the wheel hands it on to its parent.
        TWinControl* target = c;
        target->Perform(WM_MOUSEWHEEL,
            MakeWParam(int(MouseKeys(we->buttons(), we->modifiers())), notches * WHEEL_DELTA), PointToLParam(screen));
        return true;
    }
    case QEvent::KeyPress:
    case QEvent::KeyRelease: DeliverKey(c, static_cast<QKeyEvent*>(e)); return true;
    case QEvent::ShortcutOverride:
        // Keys are the controls' business; shortcuts go through the key messages.
        e->accept();
        return true;
    case QEvent::FocusIn:
    case QEvent::FocusOut: {
        auto* fe = static_cast<QFocusEvent*>(e);
        if (!client) return false;
        // A menu opening is no focus change for the window below it.
        if (fe->reason() == Qt::PopupFocusReason) return true;
        if (e->type() == QEvent::FocusIn) {
            QWidget* prev = gui_detail::PreviousFocus();
            HWND other = prev ? (ControlOfWidget(prev) ? ControlOfWidget(prev)->WindowHandle() : prev->window())
                              : nullptr;
            c->Perform(WM_SETFOCUS, WPARAM(other), 0);
        } else {
            QWidget* now = QApplication::focusWidget();
            HWND other = now ? (ControlOfWidget(now) ? ControlOfWidget(now)->WindowHandle() : now->window()) : nullptr;
            c->Perform(WM_KILLFOCUS, WPARAM(other), 0);
        }
        return true;
    }
    case QEvent::Enter:
        if (client) c->Perform(CM_MOUSEENTER, 0, LPARAM(c));
        return false;
    case QEvent::Leave:
        if (client && gInput.Hovered && gInput.Hovered->GetParent() == c) HoverGraphic(nullptr, {});
        if (client) {
            c->Perform(CM_MOUSELEAVE, 0, LPARAM(c));
            Application->CancelHint();
        }
        return false;
    case QEvent::Resize:
        if (!client && widget->isWindow()) {
            const QSize s = static_cast<QResizeEvent*>(e)->size();
            if (s.width() != c->FWidth || s.height() != c->FHeight) {
                c->ChangeBounds(c->FLeft, c->FTop, s.width(), s.height());
                c->RecalcFrame();
            }
            NoteSystemMoveSize(c, widget);
        }
        return false;
    case QEvent::Move:
        if (!client && widget->isWindow()) {
            const QPoint p = widget->pos();
            c->ChangeBounds(p.x(), p.y(), c->FWidth, c->FHeight);
            NoteSystemMoveSize(c, widget);
        }
        return false;
    case QEvent::Close:
        if (!client) {
            e->ignore();
            c->Perform(WM_CLOSE);
            return true;
        }
        return false;
    case QEvent::WindowActivate:
    case QEvent::WindowDeactivate:
        if (!client && widget->isWindow()) {
            if (e->type() == QEvent::WindowDeactivate) {
                // The capture does not survive its window's deactivation.
                TWinControl* holder = FindControl(GetCapture());
                if (holder && holder->OuterWidget()->window() == widget) holder->Perform(WM_CANCELMODE);
            }
            c->Perform(WM_ACTIVATE, e->type() == QEvent::WindowActivate ? WA_ACTIVE : WA_INACTIVE, 0);
        }
        return false;
    case QEvent::ApplicationPaletteChange:
        if (!client) c->Perform(CM_SYSCOLORCHANGE);
        return false;
    case QEvent::ContextMenu: return true;  // WM_CONTEXTMENU is made from WM_RBUTTONUP
    case QEvent::InputMethod:
        if (!client) return false;
        DeliverInputMethod(c, static_cast<QInputMethodEvent*>(e));
        return true;
    default: return false;
    }
}
