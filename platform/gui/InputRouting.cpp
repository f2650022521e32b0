// The input state queries (key state, message time and position, shift states and shortcuts),
// the user's resize of a window, and the input routing the application's notify calls.

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
#include "platform/gui/InputState.h"
#include "platform/gui/Menus.h"
#include "platform/rtl/Exceptions.h"

using namespace gui_detail;

void gui_detail::BeginSizing(TWinControl* c, int hit, TPoint screen) {
    gInput.Sizing = {c, hit, screen, c->GetBoundsRect()};
    c->Perform(WM_ENTERSIZEMOVE);
}

void gui_detail::EndSizing() {
    TWinControl* c = gInput.Sizing.Control;
    gInput.Sizing = TSizing{};
    if (c) c->Perform(WM_EXITSIZEMOVE);
}

void gui_detail::TrackSizing(TPoint screen) {
    TWinControl* c = gInput.Sizing.Control;
    const int h = gInput.Sizing.Hit;
    const bool left = h == HTLEFT || h == HTTOPLEFT || h == HTBOTTOMLEFT;
    const bool right = h == HTRIGHT || h == HTTOPRIGHT || h == HTBOTTOMRIGHT;
    const bool top = h == HTTOP || h == HTTOPLEFT || h == HTTOPRIGHT;
    const bool bottom = h == HTBOTTOM || h == HTBOTTOMLEFT || h == HTBOTTOMRIGHT;
    const int dx = screen.X - gInput.Sizing.Start.X, dy = screen.Y - gInput.Sizing.Start.Y;
    TRect r = gInput.Sizing.Bounds;
    if (left) r.Left += dx;
    if (right) r.Right += dx;
    if (top) r.Top += dy;
    if (bottom) r.Bottom += dy;
    TMinMaxInfo info;
    info.ptMaxTrackSize = {32767, 32767};
    c->Perform(WM_GETMINMAXINFO, 0, LPARAM(&info));
    // The moving edge stops at the limits; the opposite edge stays where it was.
    const int w = std::clamp(r.Width(), std::max(0, info.ptMinTrackSize.X), std::max(0, info.ptMaxTrackSize.X));
    const int hgt = std::clamp(r.Height(), std::max(0, info.ptMinTrackSize.Y), std::max(0, info.ptMaxTrackSize.Y));
    if (left) r.Left = r.Right - w;
    else r.Right = r.Left + w;
    if (top) r.Top = r.Bottom - hgt;
    else r.Bottom = r.Top + hgt;
    if (r != c->GetBoundsRect()) c->SetBoundsRect(r);
}

// --- key state and message time -------------------------------------------------------------------

int16_t GetKeyState(int vk) {
    vk &= 0xFF;
    if (gInput.Injected[vk]) return gInput.Injected[vk] == 2 ? int16_t(0x8000) : 0;
    bool down = gInput.KeysDown[vk];
    switch (vk) {
    case VK_SHIFT: down = gInput.Modifiers & Qt::ShiftModifier; break;
    case VK_CONTROL: down = gInput.Modifiers & Qt::ControlModifier; break;
    case VK_MENU: down = gInput.Modifiers & Qt::AltModifier; break;
    case VK_LBUTTON: down = gInput.Buttons & Qt::LeftButton; break;
    case VK_RBUTTON: down = gInput.Buttons & Qt::RightButton; break;
    case VK_MBUTTON: down = gInput.Buttons & Qt::MiddleButton; break;
    default: break;
    }
    return down ? int16_t(0x8000) : 0;
}

int16_t GetAsyncKeyState(int vk) {
    vk &= 0xFF;
    if (gInput.Injected[vk]) return gInput.Injected[vk] == 2 ? int16_t(0x8000) : 0;
    bool down = gInput.KeysDown[vk];
    if (qApp) {
        const Qt::KeyboardModifiers mods = QGuiApplication::queryKeyboardModifiers() | gInput.Modifiers;
        switch (vk) {
        case VK_SHIFT: down = down || (mods & Qt::ShiftModifier); break;
        case VK_CONTROL: down = down || (mods & Qt::ControlModifier); break;
        case VK_MENU: down = down || (mods & Qt::AltModifier); break;
        case VK_LBUTTON: down = QGuiApplication::mouseButtons() & Qt::LeftButton; break;
        case VK_RBUTTON: down = QGuiApplication::mouseButtons() & Qt::RightButton; break;
        default: break;
        }
    }
    return down ? int16_t(0x8000) : 0;
}

void InjectKeyState(int vk, bool down) { gInput.Injected[vk & 0xFF] = down ? 2 : 1; }
void ClearInjectedKeyState() { std::fill(std::begin(gInput.Injected), std::end(gInput.Injected), 0); }

DWORD GetMessageTime() { return gInput.MessageTime; }
TPoint GetMessagePos() { return gInput.MessagePos; }

bool GetCursorPos(TPoint& p) {
    p = Mouse->GetCursorPos();
    return true;
}

TShiftState KeysToShiftState(WPARAM keys) {
    TShiftState s;
    if (keys & MK_SHIFT) s.Include(ssShift);
    if (keys & MK_CONTROL) s.Include(ssCtrl);
    if (keys & MK_LBUTTON) s.Include(ssLeft);
    if (keys & MK_RBUTTON) s.Include(ssRight);
    if (keys & MK_MBUTTON) s.Include(ssMiddle);
    if (GetKeyState(VK_MENU) < 0) s.Include(ssAlt);
    return s;
}

TShiftState KeyDataToShiftState(LPARAM keyData) {
    TShiftState s;
    if (GetKeyState(VK_SHIFT) < 0) s.Include(ssShift);
    if (GetKeyState(VK_CONTROL) < 0) s.Include(ssCtrl);
    if (keyData & KF_ALTDOWN_BIT) s.Include(ssAlt);
    return s;
}

TShortCut ShortCut(WORD key, TShiftState shift) noexcept {
    if (key & 0xFF00) return scNone;
    TShortCut sc = key;
    if (shift.Contains(ssShift)) sc |= scShift;
    if (shift.Contains(ssCtrl)) sc |= scCtrl;
    if (shift.Contains(ssAlt)) sc |= scAlt;
    return sc;
}

void ShortCutToKey(TShortCut sc, WORD& key, TShiftState& shift) noexcept {
    key = sc & 0xFF;
    shift = {};
    if (sc & scShift) shift.Include(ssShift);
    if (sc & scCtrl) shift.Include(ssCtrl);
    if (sc & scAlt) shift.Include(ssAlt);
}

// --- input routing (called from the application's notify) ---------------------------------------

void gui_detail::SetMessageTime(DWORD t, TPoint screen) {
    gInput.MessageTime = t;
    gInput.MessagePos = screen;
}

bool gui_detail::SwallowingMouse() { return gInput.SwallowMouse; }
QWidget* gui_detail::PreviousFocus() { return gInput.FocusPrevious; }

void gui_detail::NoteInput(QEvent* e) {
    switch (e->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove: {
        auto* me = static_cast<QMouseEvent*>(e);
        gInput.Buttons = me->buttons();
        gInput.Modifiers = me->modifiers();
        break;
    }
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        auto* ke = static_cast<QKeyEvent*>(e);
        gInput.Modifiers = ke->modifiers();
        if (WORD vk = VirtualKeyOf(ke)) gInput.KeysDown[vk & 0xFF] = e->type() == QEvent::KeyPress;
        // The modifier keys themselves change the state only after their own event.
        if (e->type() == QEvent::KeyPress) {
            if (ke->key() == Qt::Key_Shift) gInput.Modifiers |= Qt::ShiftModifier;
            if (ke->key() == Qt::Key_Control) gInput.Modifiers |= Qt::ControlModifier;
            if (ke->key() == Qt::Key_Alt) gInput.Modifiers |= Qt::AltModifier;
        }
        break;
    }
    default: break;
    }
}

bool gui_detail::RouteInput(QObject* receiver, QEvent* e) {
    switch (e->type()) {
    case QEvent::KeyPress:
        // Escape abandons a user resize: the window goes back to where the press found it.
        if (gInput.Sizing.Control && static_cast<QKeyEvent*>(e)->key() == Qt::Key_Escape) {
            gInput.Sizing.Control->SetBoundsRect(gInput.Sizing.Bounds);
            EndSizing();
            gInput.SwallowMouse = true;  // the rest of the press is no ordinary mouse input
            return true;
        }
        return false;
    case QEvent::FocusIn:
        if (static_cast<QFocusEvent*>(e)->reason() != Qt::PopupFocusReason && receiver->isWidgetType()) {
            gInput.FocusPrevious = gInput.FocusTrack;
            gInput.FocusTrack = static_cast<QWidget*>(receiver);
        }
        return false;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove: break;
    default: return false;
    }
    if (!receiver->isWidgetType()) return false;
    auto* me = static_cast<QMouseEvent*>(e);
    if (gInput.Sizing.Control) {
        if (e->type() == QEvent::MouseMove) TrackSizing(FromQPoint(me->globalPosition().toPoint()));
        else if (e->type() == QEvent::MouseButtonRelease && me->buttons() == Qt::NoButton) {
            TrackSizing(FromQPoint(me->globalPosition().toPoint()));
            EndSizing();
        }
        return true;
    }
    if (gInput.SwallowMouse) {
        // The swallowed press ends with its release, or with the next first press when its
        // release went elsewhere (to a window a modal form opened meanwhile blocks).
        const bool fresh = (e->type() == QEvent::MouseButtonPress || e->type() == QEvent::MouseButtonDblClick) &&
            me->buttons() == me->button();
        if (fresh) gInput.SwallowMouse = false;
        else {
            if (e->type() == QEvent::MouseButtonRelease && me->buttons() == Qt::NoButton) gInput.SwallowMouse = false;
            return true;
        }
    }
    TWinControl* holder = FindControl(gInput.Capture);
    if (!holder || !holder->HandleAllocated()) return false;
    TWinControl* target = ControlOfWidget(static_cast<QWidget*>(receiver));
    if (target == holder && dynamic_cast<TQtWindowWidget*>(receiver)) return false;
    // The capture holder gets the mouse wherever it is, in its own client coordinates.
    TWindowBridge::DeliverMouse(holder, me);
    return true;
}

void gui_detail::ControlGone(TControl* c) {
    if (TApplication* app = TApplicationAccess::Peek()) app->ForgetControl(c);
    if (TScreen* s = TScreenAccess::Peek()) s->ForgetControl(c);
    if (gInput.CaptureControl == c) gInput.CaptureControl = nullptr;
    if (gInput.Hovered == c || (gInput.Hovered && gInput.Hovered->GetParent() == c)) gInput.Hovered = nullptr;
    if (auto* w = dynamic_cast<TWinControl*>(c)) {
        if (w->WindowHandle() && gInput.Capture == w->WindowHandle()) {
            gInput.Capture = nullptr;
            gInput.CaptureControl = nullptr;
        }
        CaretWindowGone(w->WindowHandle());
        if (w->WindowHandle() && gInput.LastPress.Window == w->WindowHandle()) gInput.LastPress = TLastPress{};
        if (gInput.Sizing.Control == w) gInput.Sizing = TSizing{};
        if (w->WindowHandle() && gInput.Ime.Window == w->WindowHandle()) gInput.Ime.Window = nullptr;
    }
    TDragManager::Forget(c);
}
