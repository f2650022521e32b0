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
#include "platform/gui/Menus.h"
#include "platform/rtl/Exceptions.h"

KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TControl, TComponent, {
    KAROMIL_PROP(Left).Default(0);
    KAROMIL_PROP(Top).Default(0);
    KAROMIL_PROP(Width).Default(0);
    KAROMIL_PROP(Height).Default(0);
    KAROMIL_PROP(Align).Default(alNone);
    KAROMIL_PROP(Visible).Default(1);
    KAROMIL_PROP(Enabled).Default(1);
    KAROMIL_PROP(Color, TypeInfoColor()).Default(clWindow);
    KAROMIL_PROP(ParentColor).Default(0);
    KAROMIL_PROP(Font);
    KAROMIL_PROP(ParentFont).Default(1);
    KAROMIL_PROP(Cursor, TypeInfoCursor()).Default(crDefault);
    KAROMIL_PROP(Caption);
    KAROMIL_PROP(Hint);
    KAROMIL_PROP(ShowHint).Default(0);
    KAROMIL_PROP(DragMode).Default(dmManual);
    KAROMIL_PROP(DragCursor, TypeInfoCursor()).Default(crDrag);
    KAROMIL_PROP(PopupMenu);
    KAROMIL_PROP(Action);
    p.Event("OnClick", &Self::OnClick, "TNotifyEvent");
    p.Event("OnDblClick", &Self::OnDblClick, "TNotifyEvent");
    p.Event("OnResize", &Self::OnResize, "TNotifyEvent");
    p.Event("OnCanResize", &Self::OnCanResize, "TCanResizeEvent");
    p.Event("OnMouseDown", &Self::OnMouseDown, "TMouseEvent");
    p.Event("OnMouseMove", &Self::OnMouseMove, "TMouseMoveEvent");
    p.Event("OnMouseUp", &Self::OnMouseUp, "TMouseEvent");
    p.Event("OnMouseWheel", &Self::OnMouseWheel, "TMouseWheelEvent");
    p.Event("OnDragOver", &Self::OnDragOver, "TDragOverEvent");
    p.Event("OnDragDrop", &Self::OnDragDrop, "TDragDropEvent");
    p.Event("OnEndDrag", &Self::OnEndDrag, "TEndDragEvent");
    p.Event("OnStartDrag", &Self::OnStartDrag, "TStartDragEvent");
})
KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TWinControl, TControl, {
    KAROMIL_PROP(TabStop).Default(0);
    KAROMIL_PROP(TabOrder).NoDefault();
    p.Event("OnEnter", &Self::OnEnter, "TNotifyEvent");
    p.Event("OnExit", &Self::OnExit, "TNotifyEvent");
    p.Event("OnKeyDown", &Self::OnKeyDown, "TKeyEvent");
    p.Event("OnKeyPress", &Self::OnKeyPress, "TKeyPressEvent");
    p.Event("OnKeyUp", &Self::OnKeyUp, "TKeyEvent");
})
KAROMIL_IMPLEMENT_CLASS(TCustomControl, TWinControl)
KAROMIL_IMPLEMENT_CLASS(TGraphicControl, TControl)
KAROMIL_IMPLEMENT_CLASS(TDragObject, TObject)
KAROMIL_IMPLEMENT_CLASS(TDragControlObject, TDragObject)
KAROMIL_IMPLEMENT_CLASS(TDragImageList, TObject)

namespace {

QPoint ToQPoint(TPoint p) { return QPoint(p.X, p.Y); }
TPoint FromQPoint(QPoint p) { return {p.x(), p.y()}; }

// --- global window state ---------------------------------------------------------------------

HWND gCapture = nullptr;
TControl* gCaptureControl = nullptr;
bool gSwallowMouse = false;
Qt::MouseButtons gButtons;
Qt::KeyboardModifiers gModifiers;
DWORD gMessageTime = 0;
TPoint gMessagePos;
QPointer<QWidget> gFocusTrack;
QPointer<QWidget> gFocusPrevious;
bool gKeysDown[256] = {};
int gInjected[256] = {};          // 0 none, 1 up, 2 down
// The last button press a window got, to pair it with the next one as Windows does.
struct TLastPress {
    HWND Window = nullptr;
    Qt::MouseButton Button = Qt::NoButton;
    DWORD Time = 0;
    TPoint Pos;
    bool Second = false;         // it was itself the second press of a double click
} gLastPress;

// The graphic control under the pointer: graphic controls have no window for Qt to tell them
// of the pointer, so their CM_MOUSEENTER and CM_MOUSELEAVE come from the moves over the parent.
TControl* gHovered = nullptr;

void HoverGraphic(TWinControl* parent, TPoint local) {
    TControl* now = parent ? parent->ControlAtPos(local, true, false) : nullptr;
    if (now && dynamic_cast<TWinControl*>(now)) now = nullptr;
    if (now == gHovered) return;
    TControl* old = std::exchange(gHovered, now);
    if (old) old->Perform(CM_MOUSELEAVE, 0, LPARAM(old));
    if (now && gHovered == now) now->Perform(CM_MOUSEENTER, 0, LPARAM(now));
}

// The input method's composition: the window composing, and the strings of the
// WM_IME_COMPOSITION being handled.
struct TIme {
    HWND Window = nullptr;
    std::string Composition;
    std::string Result;
} gIme;

// The user's resize of a window, started by a press on an edge or corner: the platform
// tracks the mouse itself until the release.
struct TSizing {
    TWinControl* Control = nullptr;
    int Hit = 0;
    TPoint Start;                // screen point of the press
    TRect Bounds;                // the bounds at the press
} gSizing;

void BeginSizing(TWinControl* c, int hit, TPoint screen) {
    gSizing = {c, hit, screen, c->GetBoundsRect()};
    c->Perform(WM_ENTERSIZEMOVE);
}

void EndSizing() {
    TWinControl* c = gSizing.Control;
    gSizing = TSizing{};
    if (c) c->Perform(WM_EXITSIZEMOVE);
}

void TrackSizing(TPoint screen) {
    TWinControl* c = gSizing.Control;
    const int h = gSizing.Hit;
    const bool left = h == HTLEFT || h == HTTOPLEFT || h == HTBOTTOMLEFT;
    const bool right = h == HTRIGHT || h == HTTOPRIGHT || h == HTBOTTOMRIGHT;
    const bool top = h == HTTOP || h == HTTOPLEFT || h == HTTOPRIGHT;
    const bool bottom = h == HTBOTTOM || h == HTBOTTOMLEFT || h == HTBOTTOMRIGHT;
    const int dx = screen.X - gSizing.Start.X, dy = screen.Y - gSizing.Start.Y;
    TRect r = gSizing.Bounds;
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
    if (left) r.Left = r.Right - w; else r.Right = r.Left + w;
    if (top) r.Top = r.Bottom - hgt; else r.Bottom = r.Top + hgt;
    if (r != c->GetBoundsRect()) c->SetBoundsRect(r);
}

// --- drag manager ------------------------------------------------------------------------------

struct TDragState_ {
    TControl* Source = nullptr;
    TDragObject* Object = nullptr;
    bool OwnsObject = false;
    bool Active = false;
    int Threshold = 5;
    TPoint Start;
    TControl* Target = nullptr;
    bool Accepted = false;
    bool CursorSet = false;
    TDragImageList* Images = nullptr;
} gDrag;

}  // namespace

// The drag manager of the class library: tracks the mouse under capture and finds targets.
class TDragManager {
public:
    static void Begin(TControl* source, bool immediate, int threshold) {
        if (gDrag.Source) return;
        gDrag = {};
        gDrag.Source = source;
        gDrag.Threshold = threshold < 0 ? 5 : threshold;
        GetCursorPos(gDrag.Start);
        SetCaptureControl(source);
        if (immediate) Start(gDrag.Start);
    }
    static void Start(TPoint pos) {
        TControl* source = gDrag.Source;
        if (!source) return;
        Application->CancelHint();
        TDragObject* obj = nullptr;
        source->DoStartDrag(obj);
        if (!gDrag.Source) return;                   // cancelled meanwhile
        if (!obj) {
            obj = new TDragControlObject(source);
            gDrag.OwnsObject = true;
        }
        gDrag.Object = obj;
        gDrag.Active = true;
        gDrag.Images = obj->GetDragImages();
        if (gDrag.Images && !gDrag.Images->Dragging()) gDrag.Images->BeginDrag(nullptr, pos.X, pos.Y);
        MoveTo(pos);
    }
    static TObject* SourceOf(TDragObject* obj) {
        if (auto* dco = dynamic_cast<TDragControlObject*>(obj)) return dco->Control();
        return obj;
    }
    static LRESULT Send(TControl* target, TDragMessage dm, TPoint pos) {
        TDragRec rec{pos, gDrag.Object, target, false};
        return target->Perform(CM_DRAG, WPARAM(dm), LPARAM(&rec));
    }
    static void MoveTo(TPoint pos) {
        TDragObject* obj = gDrag.Object;
        obj->FDragPos = pos;
        TControl* target = FindDragTarget(pos, false);
        if (target) {
            if (LRESULT r = Send(target, dmFindTarget, pos)) target = reinterpret_cast<TControl*>(r);
        }
        if (target != gDrag.Target) {
            if (gDrag.Target) Send(gDrag.Target, dmDragLeave, pos);
            gDrag.Target = target;
            gDrag.Accepted = target && Send(target, dmDragEnter, pos) != 0;
        } else if (target) {
            gDrag.Accepted = Send(target, dmDragMove, pos) != 0;
        }
        if (!gDrag.Source) return;
        obj->FDragTarget = target;
        obj->FDragTargetPos = target ? target->ScreenToClient(pos) : pos;
        TCursor cur = obj->GetDragCursor(gDrag.Accepted, pos.X, pos.Y);
        QCursor qc = Screen->GetCursors(cur);
        if (gDrag.CursorSet) QGuiApplication::changeOverrideCursor(qc);
        else { QGuiApplication::setOverrideCursor(qc); gDrag.CursorSet = true; }
        if (gDrag.Images) gDrag.Images->DragMove(pos.X, pos.Y);
    }
    static void Done(bool drop) {
        TControl* source = gDrag.Source;
        if (!source) return;
        TDragState_ d = gDrag;
        gDrag = {};
        if (d.CursorSet) QGuiApplication::restoreOverrideCursor();
        if (d.Images) d.Images->EndDrag();
        if (GetCaptureControl() == source) SetCaptureControl(nullptr);
        if (!d.Active) return;
        TDragObject* obj = d.Object;
        TPoint pos = obj->FDragPos;
        bool dropped = drop && d.Accepted && d.Target;
        obj->FDropped = dropped;
        obj->FCancelling = !drop;
        if (d.Target) {
            gDrag.Object = obj;   // visible to the target's handlers
            if (dropped) Send(d.Target, dmDragDrop, pos);
            else Send(d.Target, dmDragLeave, pos);
            gDrag.Object = nullptr;
        }
        TPoint tp = dropped ? d.Target->ScreenToClient(pos) : TPoint{0, 0};
        source->DoEndDrag(dropped ? SourceTarget(d.Target) : nullptr, tp.X, tp.Y);
        if (d.OwnsObject) delete obj;
    }
    static TObject* SourceTarget(TControl* t) { return t; }
    // The source sees its own mouse and Esc here, after its WndProc overrides ran.
    static bool Intercept(TControl* c, TMessage& m) {
        if (c != gDrag.Source) return false;
        switch (m.Msg) {
        case WM_MOUSEMOVE: {
            TPoint pos = c->ClientToScreen(PointFromLParam(m.LParam));
            if (!gDrag.Active) {
                if (std::abs(pos.X - gDrag.Start.X) > gDrag.Threshold || std::abs(pos.Y - gDrag.Start.Y) > gDrag.Threshold)
                    Start(pos);
            } else MoveTo(pos);
            return true;
        }
        case WM_LBUTTONUP:
            if (!gDrag.Active) { Done(false); return false; }
            Done(true);
            return true;
        case WM_RBUTTONDOWN:
        case WM_CANCELMODE:
            Done(false);
            return m.Msg == WM_RBUTTONDOWN;
        case WM_KEYDOWN:
            if (m.WParam == VK_ESCAPE) { Done(false); return true; }
            return false;
        case WM_CAPTURECHANGED:
            if (gDrag.Active) Done(false);
            return false;
        default:
            return false;
        }
    }
    static void Forget(TControl* c) {
        if (gDrag.Source == c) {
            if (gDrag.CursorSet) QGuiApplication::restoreOverrideCursor();
            if (gDrag.Images) gDrag.Images->EndDrag();
            if (gDrag.OwnsObject) delete gDrag.Object;
            gDrag = {};
        } else if (gDrag.Target == c) gDrag.Target = nullptr;
    }
};

TDragObject* DragObject() { return gDrag.Active ? gDrag.Object : nullptr; }
TControl* DragControl() { return gDrag.Source; }

// --- window widgets ----------------------------------------------------------------------------

TQtWindowWidget::TQtWindowWidget(TWinControl* control, bool client, QWidget* parent)
    : QWidget(parent), FControl(control), FClient(client) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAutoFillBackground(false);
    setMouseTracking(true);
    if (client) {
        setFocusPolicy(Qt::ClickFocus);
        setAttribute(Qt::WA_InputMethodEnabled);   // composed text arrives as WM_IME_* messages
    }
}

bool TQtWindowWidget::event(QEvent* e) {
    if (FControl && TWindowBridge::Translate(FControl, FClient, this, e)) return true;
    return QWidget::event(e);
}

// --- key translation ---------------------------------------------------------------------------

namespace {

WORD VirtualKeyOf(const QKeyEvent* e) {
    const int key = e->key();
    const bool keypad = e->modifiers() & Qt::KeypadModifier;
    if (keypad) {
        if (key >= Qt::Key_0 && key <= Qt::Key_9) return WORD(VK_NUMPAD0 + (key - Qt::Key_0));
        switch (key) {
        case Qt::Key_Plus: return VK_ADD;
        case Qt::Key_Minus: return VK_SUBTRACT;
        case Qt::Key_Asterisk: return VK_MULTIPLY;
        case Qt::Key_Slash: return VK_DIVIDE;
        case Qt::Key_Period: case Qt::Key_Comma: return VK_DECIMAL;
        default: break;
        }
    }
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return WORD('A' + (key - Qt::Key_A));
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return WORD('0' + (key - Qt::Key_0));
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return WORD(VK_F1 + (key - Qt::Key_F1));
    switch (key) {
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Tab: case Qt::Key_Backtab: return VK_TAB;
    case Qt::Key_Return: case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Shift: return VK_SHIFT;
    case Qt::Key_Control: return VK_CONTROL;
    case Qt::Key_Alt: case Qt::Key_AltGr: return VK_MENU;
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
    case Qt::Key_Plus: case Qt::Key_Equal: return VK_OEM_PLUS;
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

// The character Windows' translation step would post for this key, 0 for none. Qt does not
// reliably give the control characters as text, so they are made from key and modifiers.
char32_t CharacterOf(const QKeyEvent* e) {
    const int key = e->key();
    const bool ctrl = e->modifiers() & Qt::ControlModifier;
    const bool alt = e->modifiers() & Qt::AltModifier;
    switch (key) {
    case Qt::Key_Backspace: return ctrl ? 127 : 8;
    case Qt::Key_Tab: case Qt::Key_Backtab: return 9;
    case Qt::Key_Return: case Qt::Key_Enter: return ctrl ? 10 : 13;
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
    UINT base;   // the WM_xBUTTONDOWN of the button
    switch (b) {
    case Qt::RightButton: base = WM_RBUTTONDOWN; break;
    case Qt::MiddleButton: base = WM_MBUTTONDOWN; break;
    default: base = WM_LBUTTONDOWN; break;
    }
    UINT msg = WM_MOUSEMOVE;
    switch (e->type()) {
    case QEvent::MouseButtonPress:
        msg = base;
        gLastPress = {c->WindowHandle(), b, gMessageTime, screen, false};
        break;
    case QEvent::MouseButtonRelease: msg = base + 1; break;
    case QEvent::MouseButtonDblClick: {
        // Qt pairs any two quick presses; Windows pairs only a plain press and the next press of
        // the same button on the same window near it, and only for a class that asks for it.
        // Otherwise the press is an ordinary one: a click after a double click stays a click.
        const bool pair = gLastPress.Window == c->WindowHandle() && gLastPress.Button == b && !gLastPress.Second &&
                          gMessageTime - gLastPress.Time <= GetDoubleClickTime() &&
                          std::abs(screen.X - gLastPress.Pos.X) <= GetSystemMetrics(SM_CXDOUBLECLK) / 2 &&
                          std::abs(screen.Y - gLastPress.Pos.Y) <= GetSystemMetrics(SM_CYDOUBLECLK) / 2;
        gLastPress = {c->WindowHandle(), b, gMessageTime, screen, pair};
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
    gui_detail::SetMessageTime(DWORD(e->timestamp()), gMessagePos);
    const WORD vk = VirtualKeyOf(e);
    const bool alt = e->modifiers() & Qt::AltModifier;
    const bool ctrl = e->modifiers() & Qt::ControlModifier;
    const bool sys = alt && !ctrl;   // Ctrl+Alt is AltGr: ordinary keys and characters
    LPARAM data = 1 | (alt ? KF_ALTDOWN_BIT : 0);
    HWND wnd = c->WindowHandle();
    if (e->type() == QEvent::KeyPress) {
        if (e->isAutoRepeat()) data |= KF_REPEAT_BIT;
        const UINT down = sys ? WM_SYSKEYDOWN : WM_KEYDOWN;
        if (c->Perform(CN_BASE + down, vk, data) != 0) return;   // a dialog or menu key
        // The character is queued before the key-down runs, as Windows' translation step posts
        // it: a handler can remove it, and it precedes whatever the handler posts.
        if (char32_t ch = CharacterOf(e)) PostMessage(wnd, sys ? WM_SYSCHAR : WM_CHAR, ch, data);
        if (FindControl(wnd) == c) c->Perform(down, vk, data);
    } else {
        if (e->isAutoRepeat()) return;   // Windows repeats key-downs only
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
    if (!preedit.isEmpty() && gIme.Window != wnd) {
        gIme.Window = wnd;
        c->Perform(WM_IME_STARTCOMPOSITION);
        if (!guard) return;
    }
    LPARAM what = 0;
    if (!commit.isEmpty()) what |= GCS_RESULTSTR;
    if (!preedit.isEmpty() || gIme.Window == wnd) what |= GCS_COMPSTR;
    if (what) {
        // The strings are readable while the message is handled, nested compositions aside.
        struct TRestore {
            std::string c, r;
            ~TRestore() { gIme.Composition = std::move(c); gIme.Result = std::move(r); }
        } restore{std::exchange(gIme.Composition, preedit.toStdString()), std::exchange(gIme.Result, commit.toStdString())};
        const QString first = commit.isEmpty() ? preedit : commit;
        c->Perform(WM_IME_COMPOSITION, first.isEmpty() ? 0 : WPARAM(first.toUcs4().value(0)), what);
        if (!guard) return;
    }
    if (preedit.isEmpty() && gIme.Window == wnd) {
        gIme.Window = nullptr;
        c->Perform(WM_IME_ENDCOMPOSITION);
    }
}

std::string ImmGetCompositionString(HWND, LPARAM index) {
    if (index == GCS_RESULTSTR) return gIme.Result;
    if (index == GCS_COMPSTR) return gIme.Composition;
    return {};
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
            dc.Attach(&p, Rect(0, 0, widget->width(), widget->height()), &nc);
            c->Perform(WM_NCPAINT, WPARAM(&dc), 0);
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
        dc->Attach(&p, Rect(0, 0, widget->width(), widget->height()), &rgn);
        try {
            if (erase) c->Perform(WM_ERASEBKGND, WPARAM(dc), 0);
            c->Perform(WM_PAINT, WPARAM(dc), 0);
            w->PaintFailed = false;
        } catch (...) {
            // Report once and finish the paint: every repaint of the same fault would
            // otherwise open another box, whose own repaints would open more.
            if (!w->PaintFailed) {
                w->PaintFailed = true;
                gui_detail::ReportLater(std::current_exception());
            }
        }
        dc->Detach();
        return true;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
        DeliverMouse(c, static_cast<QMouseEvent*>(e));
        return true;
    case QEvent::Wheel: {
        auto* we = static_cast<QWheelEvent*>(e);
        static int accumulated = 0;
        accumulated += we->angleDelta().y();
        const int notches = accumulated / WHEEL_DELTA;
        if (notches == 0) return true;
        accumulated -= notches * WHEEL_DELTA;
        const TPoint screen = FromQPoint(we->globalPosition().toPoint());
        gui_detail::SetMessageTime(DWORD(we->timestamp()), screen);
        // The wheel goes to the focused window, as on classic Windows.
        TWinControl* target = FindControl(GetFocus());
        if (!target) target = c;
        target->Perform(WM_MOUSEWHEEL, MakeWParam(int(MouseKeys(we->buttons(), we->modifiers())), notches * WHEEL_DELTA),
                        PointToLParam(screen));
        return true;
    }
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        DeliverKey(c, static_cast<QKeyEvent*>(e));
        return true;
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
            HWND other = prev ? (ControlOfWidget(prev) ? ControlOfWidget(prev)->WindowHandle() : prev->window()) : nullptr;
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
        if (client && gHovered && gHovered->GetParent() == c) HoverGraphic(nullptr, {});
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
        }
        return false;
    case QEvent::Move:
        if (!client && widget->isWindow()) {
            const QPoint p = widget->pos();
            c->ChangeBounds(p.x(), p.y(), c->FWidth, c->FHeight);
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
    case QEvent::ContextMenu:
        return true;   // WM_CONTEXTMENU is made from WM_RBUTTONUP
    case QEvent::InputMethod:
        if (!client) return false;
        DeliverInputMethod(c, static_cast<QInputMethodEvent*>(e));
        return true;
    default:
        return false;
    }
}

// --- TControl ----------------------------------------------------------------------------------

TControl::TControl(TComponent* owner) : TComponent(owner), FFont(std::make_unique<TFont>()) {
    FControlStyle = {csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    FFont->OnChange = [this](TObject* s) { FontObjectChanged(s); };
}

TControl::~TControl() {
    FFont->OnChange = nullptr;
    gui_detail::ControlGone(this);
    if (FParent) FParent->RemoveControl(this);
    FParent = nullptr;
}

void TControl::WndProc(TMessage& m) {
    if (m.Msg >= WM_MOUSEFIRST && m.Msg <= WM_MOUSELAST) {
        switch (m.Msg) {
        case WM_MOUSEMOVE:
            Application->HintMouseMessage(this, m);
            break;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            if (FDragMode == dmAutomatic && !Dragging()) {
                BeginDrag(false);
                return;
            }
            FControlState.Include(csLButtonDown);
            break;
        case WM_LBUTTONUP:
            FControlState.Exclude(csLButtonDown);
            break;
        default: break;
        }
    }
    if (gDrag.Source == this && TDragManager::Intercept(this, m)) return;
    Dispatch(m);
}

void TControl::DoMouseDown(TMessage& m, TMouseButton button, TShiftState extra) {
    TPoint p = PointFromLParam(m.LParam);
    MouseDown(button, KeysToShiftState(m.WParam) + extra, p.X, p.Y);
}

void TControl::DoMouseUp(TMessage& m, TMouseButton button) {
    TPoint p = PointFromLParam(m.LParam);
    MouseUp(button, KeysToShiftState(m.WParam), p.X, p.Y);
}

void TControl::Dispatch(TMessage& m) {
    switch (m.Msg) {
    case WM_CONTEXTMENU: {
        // The pop-up menu of the graphic control under the mouse, else our own, else the parent's.
        const TPoint p = PointFromLParam(m.LParam);
        if (auto* w = dynamic_cast<TWinControl*>(this); w && !(p.X == -1 && p.Y == -1)) {
            TControl* child = w->ControlAtPos(ScreenToClient(p), false, false);
            if (child && DoContextPopup(child, p)) { m.Result = 1; return; }
        }
        if (DoContextPopup(this, p)) { m.Result = 1; return; }
        DefaultHandler(m);
        return;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        SendCancelMode(this);
        DefaultHandler(m);
        if (FControlStyle.Contains(csCaptureMouse)) SetMouseCapture(true);
        const bool dbl = m.Msg == WM_LBUTTONDBLCLK;
        if (dbl) {
            if (FControlStyle.Contains(csClickEvents)) DblClick();
        } else if (FControlStyle.Contains(csClickEvents)) FControlState.Include(csClicked);
        DoMouseDown(m, mbLeft, dbl ? TShiftState{ssDouble} : TShiftState{});
        return;
    }
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK: {
        SendCancelMode(this);
        DefaultHandler(m);
        if (FControlStyle.Contains(csCaptureMouse)) SetMouseCapture(true);
        const bool dbl = m.Msg == WM_RBUTTONDBLCLK || m.Msg == WM_MBUTTONDBLCLK;
        const TMouseButton b = (m.Msg == WM_RBUTTONDOWN || m.Msg == WM_RBUTTONDBLCLK) ? mbRight : mbMiddle;
        DoMouseDown(m, b, dbl ? TShiftState{ssDouble} : TShiftState{});
        return;
    }
    case WM_LBUTTONUP: {
        DefaultHandler(m);
        if (FControlStyle.Contains(csCaptureMouse)) SetMouseCapture(false);
        if (FControlState.Contains(csClicked)) {
            FControlState.Exclude(csClicked);
            if (PtInRect(GetClientRect(), PointFromLParam(m.LParam))) Click();
        }
        DoMouseUp(m, mbLeft);
        return;
    }
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        DefaultHandler(m);
        if (FControlStyle.Contains(csCaptureMouse)) SetMouseCapture(false);
        DoMouseUp(m, m.Msg == WM_RBUTTONUP ? mbRight : mbMiddle);
        return;
    case WM_MOUSEMOVE: {
        DefaultHandler(m);
        TPoint p = PointFromLParam(m.LParam);
        MouseMove(KeysToShiftState(m.WParam), p.X, p.Y);
        return;
    }
    case WM_MOUSEWHEEL: {
        TWMMouseWheel w(m);
        if (DoMouseWheel(KeysToShiftState(w.Keys()), w.WheelDelta(), w.Pos())) { m.Result = 1; return; }
        if (FParent) m.Result = FParent->Perform(m.Msg, m.WParam, m.LParam);
        return;
    }
    case WM_CANCELMODE:
        DefaultHandler(m);
        if (GetMouseCapture()) {
            SetMouseCapture(false);
            if (FControlState.Contains(csLButtonDown)) Perform(WM_LBUTTONUP, 0, LPARAM(-1));
        } else FControlState.Exclude(csLButtonDown);
        return;
    case CM_VISIBLECHANGED:
    case CM_ENABLEDCHANGED:
    case CM_COLORCHANGED:
    case CM_FONTCHANGED:
    case CM_TEXTCHANGED:
        Invalidate();
        return;
    case CM_PARENTFONTCHANGED:
        if (FParentFont && FParent) {
            FFontInternal = true;
            FFont->Assign(FParent->GetFont());
            FFontInternal = false;
            FParentFont = true;
        }
        return;
    case CM_PARENTCOLORCHANGED:
        if (FParentColor && FParent) {
            SetColor(FParent->GetColor());
            FParentColor = true;
        }
        return;
    case CM_HITTEST:
        m.Result = HTCLIENT;
        return;
    case CM_DRAG: {
        TCMDrag d(m);
        TDragRec* rec = d.DragRec();
        switch (d.DragMessage()) {
        case dmFindTarget:
            m.Result = LRESULT(this);
            return;
        case dmDragEnter:
        case dmDragLeave:
        case dmDragMove: {
            TPoint p = ScreenToClient(rec->Pos);
            bool accept = bool(OnDragOver);
            DragOver(TDragManager::SourceOf(rec->Source), p.X, p.Y,
                     TDragState(int(d.DragMessage()) - int(dmDragEnter)), accept);
            m.Result = accept ? 1 : 0;
            return;
        }
        case dmDragDrop: {
            TPoint p = ScreenToClient(rec->Pos);
            DragDrop(TDragManager::SourceOf(rec->Source), p.X, p.Y);
            return;
        }
        default:
            return;
        }
    }
    default:
        DefaultHandler(m);
    }
}

void TControl::DefaultHandler(TMessage& m) {
    switch (m.Msg) {
    case WM_GETTEXTLENGTH:
        m.Result = LRESULT(FText.size());
        return;
    default:
        return;
    }
}

LRESULT TControl::Perform(UINT msg, WPARAM wParam, LPARAM lParam) {
    TMessage m{msg, wParam, lParam, 0};
    if (WindowProc) WindowProc(m);
    else WndProc(m);
    return m.Result;
}

void TControl::SendCancelMode(TControl* sender) {
    for (TControl* c = this; c; c = c->FParent)
        if (auto* f = dynamic_cast<TCustomForm*>(c)) { f->SendCancelMode(sender); return; }
}

TComponent* TControl::GetParentComponent() const { return FParent; }
void TControl::SetParentComponent(TComponent* parent) {
    if (auto* w = dynamic_cast<TWinControl*>(parent)) SetParent(w);
}

void TControl::SetParent(TWinControl* parent) {
    if (parent == FParent) return;
    if (parent == this) throw EInvalidOperation("A control cannot have itself as its parent");
    if (FParent) FParent->RemoveControl(this);
    if (parent) {
        parent->InsertControl(this);
        if (FParentFont) Perform(CM_PARENTFONTCHANGED);
        if (FParentColor) Perform(CM_PARENTCOLORCHANGED);
    }
}

void TControl::ChangeBounds(int left, int top, int width, int height) {
    FLeft = left; FTop = top; FWidth = std::max(0, width); FHeight = std::max(0, height);
}

void TControl::SetBounds(int left, int top, int width, int height) {
    // A refused change of size leaves the control where it was, as a whole.
    if ((width != FWidth || height != FHeight) && !CanResize(width, height)) return;
    const TRect old = GetBoundsRect();
    ChangeBounds(left, top, width, height);
    if (GetBoundsRect() == old) return;
    BoundsChanged(old);
}

void TControl::BoundsChanged(const TRect& oldBounds) {
    // A graphic control repaints where it was and where it is now.
    if (FParent && FParent->HandleAllocated() && FVisible) {
        TRect r = oldBounds;
        InvalidateRect(FParent->WindowHandle(), &r, true);
        r = GetBoundsRect();
        InvalidateRect(FParent->WindowHandle(), &r, true);
    }
    if (FParent && FAlign != alNone) FParent->Realign();
    if (oldBounds.Width() != FWidth || oldBounds.Height() != FHeight) Resize();
}

TRect TControl::GetClientRect() const { return Rect(0, 0, FWidth, FHeight); }

void TControl::SetClientWidth(int v) { SetWidth(FWidth - GetClientWidth() + v); }
void TControl::SetClientHeight(int v) { SetHeight(FHeight - GetClientHeight() + v); }

TPoint TControl::GetClientOrigin() const {
    if (!FParent) return {FLeft, FTop};
    TPoint p = FParent->GetClientOrigin();
    return {p.X + FLeft, p.Y + FTop};
}
TPoint TControl::ClientToScreen(TPoint p) const {
    TPoint o = GetClientOrigin();
    return {p.X + o.X, p.Y + o.Y};
}
TPoint TControl::ScreenToClient(TPoint p) const {
    TPoint o = GetClientOrigin();
    return {p.X - o.X, p.Y - o.Y};
}

void TControl::SetAlign(TAlign v) {
    if (v == FAlign) return;
    FAlign = v;
    if (FParent) FParent->Realign();
}

void TControl::SetVisible(bool v) {
    if (v == FVisible) return;
    VisibleChanging();
    FVisible = v;
    Perform(CM_VISIBLECHANGED, v ? 1 : 0);
    if (FParent) {
        if (!dynamic_cast<TWinControl*>(this)) {
            TRect r = GetBoundsRect();
            if (FParent->HandleAllocated()) InvalidateRect(FParent->WindowHandle(), &r, true);
        }
        if (FAlign != alNone) FParent->Realign();
    }
    if (auto* w = dynamic_cast<TWinControl*>(this)) w->UpdateShowing();
    Perform(CM_SHOWINGCHANGED);
}

void TControl::SetEnabled(bool v) {
    if (v == FEnabled) return;
    FEnabled = v;
    Perform(CM_ENABLEDCHANGED);
}

bool TControl::Showing() const { return FVisible && FParent && FParent->Showing(); }

void TControl::SetColor(TColor v) {
    if (v == FColor) { FParentColor = false; return; }
    FColor = v;
    FParentColor = false;
    Perform(CM_COLORCHANGED);
}

void TControl::SetParentColor(bool v) {
    if (v == FParentColor) return;
    FParentColor = v;
    if (v && FParent) Perform(CM_PARENTCOLORCHANGED);
}

void TControl::SetParentFont(bool v) {
    if (v == FParentFont) return;
    FParentFont = v;
    if (v && FParent) Perform(CM_PARENTFONTCHANGED);
}

void TControl::FontObjectChanged(TObject*) {
    if (!FFontInternal) FParentFont = false;
    FontChanged();
}

void TControl::FontChanged() { Perform(CM_FONTCHANGED); }

void TControl::SetCursor(TCursor v) {
    if (v == FCursor) return;
    FCursor = v;
    Perform(CM_CURSORCHANGED);
}

void TControl::SetText(const std::string& v) {
    if (v == FText) return;
    FText = v;
    Perform(CM_TEXTCHANGED);
}

bool TControl::GetMouseCapture() const { return GetCaptureControl() == this; }
void TControl::SetMouseCapture(bool v) {
    if (v == GetMouseCapture()) return;
    SetCaptureControl(v ? this : nullptr);
}

void TControl::InvalidateControl(bool isVisible, bool isOpaque) {
    if (!isVisible || !FParent || !FParent->HandleAllocated()) return;
    TRect r = GetBoundsRect();
    InvalidateRect(FParent->WindowHandle(), &r, !isOpaque);
}
void TControl::Invalidate() { InvalidateControl(FVisible, FControlStyle.Contains(csOpaque)); }
void TControl::Update() { if (FParent) FParent->Update(); }
void TControl::Repaint() { Invalidate(); Update(); }

void TControl::PaintTo(HDC dc, int x, int y) {
    const int saved = SaveDC(dc);
    TPoint org;
    GetViewportOrgEx(dc, &org);
    SetViewportOrgEx(dc, org.X + x, org.Y + y);
    IntersectClipRect(dc, 0, 0, FWidth, FHeight);
    Perform(WM_ERASEBKGND, WPARAM(dc), 0);
    Perform(WM_PAINT, WPARAM(dc), 0);
    RestoreDC(dc, saved);
}

QWidget* TControl::ClientWidget() const { return FParent ? FParent->ClientWidget() : nullptr; }

void TControl::BringToFront() {
    if (FParent) {
        auto& v = FParent->FControls;
        v.erase(std::find(v.begin(), v.end(), this));
        v.push_back(this);
    }
    if (auto* w = dynamic_cast<TWinControl*>(this); w && w->HandleAllocated()) w->OuterWidget()->raise();
    else Invalidate();
}
void TControl::SendToBack() {
    if (FParent) {
        auto& v = FParent->FControls;
        v.erase(std::find(v.begin(), v.end(), this));
        v.insert(v.begin(), this);
    }
    if (auto* w = dynamic_cast<TWinControl*>(this); w && w->HandleAllocated()) w->OuterWidget()->lower();
    else Invalidate();
}

void TControl::Click() {
    if (OnClick) OnClick(this);
    else if (FAction) FAction->Execute();
}
void TControl::DblClick() { if (OnDblClick) OnDblClick(this); }
void TControl::MouseDown(TMouseButton b, TShiftState s, int x, int y) { if (OnMouseDown) OnMouseDown(this, b, s, x, y); }
void TControl::MouseMove(TShiftState s, int x, int y) { if (OnMouseMove) OnMouseMove(this, s, x, y); }
void TControl::MouseUp(TMouseButton b, TShiftState s, int x, int y) { if (OnMouseUp) OnMouseUp(this, b, s, x, y); }
bool TControl::DoMouseWheel(TShiftState s, int delta, TPoint pos) {
    bool handled = false;
    if (OnMouseWheel) OnMouseWheel(this, s, delta, pos, handled);
    return handled;
}
void TControl::Resize() { if (OnResize) OnResize(this); }

bool TControl::CanResize(int& newWidth, int& newHeight) {
    bool resize = true;
    if (OnCanResize) OnCanResize(this, newWidth, newHeight, resize);
    return resize;
}
void TControl::DoStartDrag(TDragObject*& obj) { if (OnStartDrag) OnStartDrag(this, obj); }
void TControl::DragOver(TObject* source, int x, int y, TDragState state, bool& accept) {
    if (OnDragOver) { accept = true; OnDragOver(this, source, x, y, state, accept); }
}
void TControl::DragDrop(TObject* source, int x, int y) { if (OnDragDrop) OnDragDrop(this, source, x, y); }
void TControl::DoEndDrag(TObject* target, int x, int y) { if (OnEndDrag) OnEndDrag(this, target, x, y); }

void TControl::BeginDrag(bool immediate, int threshold) { TDragManager::Begin(this, immediate, threshold); }
void TControl::EndDrag(bool drop) { if (gDrag.Source == this) TDragManager::Done(drop); }
bool TControl::Dragging() const { return gDrag.Source == this; }

void TControl::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == FPopupMenu) FPopupMenu = nullptr;
    if (operation == opRemove && component == FAction) FAction = nullptr;
}

void TControl::SetAction(TAction* v) {
    if (v == FAction) return;
    if (FAction) FAction->RemoveClient(this);
    FAction = v;
    if (v) v->AddClient(this);
}

void TControl::SetPopupMenu(TPopupMenu* v) {
    FPopupMenu = v;
    if (v) v->FreeNotification(this);
}

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
            case alTop: c->SetBounds(rect.Left, rect.Top, rect.Width(), h); rect.Top += h; break;
            case alBottom: c->SetBounds(rect.Left, rect.Bottom - h, rect.Width(), h); rect.Bottom -= h; break;
            case alLeft: c->SetBounds(rect.Left, rect.Top, w, rect.Height()); rect.Left += w; break;
            case alRight: c->SetBounds(rect.Right - w, rect.Top, w, rect.Height()); rect.Right -= w; break;
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
    try {
        CreateWnd();
    } catch (...) {
        FControlState.Exclude(csCreating);
        throw;
    }
    FControlState.Exclude(csCreating);
    for (TWinControl* w : std::vector<TWinControl*>(FTabList))
        if (w->FVisible && !w->FHandleAllocated) w->HandleNeeded();
    UpdateWidgetShown();
}

void TWinControl::CreateParams(TCreateParams& params) {
    params.Caption = GetText();
    params.Style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    if (FTabStop) params.Style |= WS_TABSTOP;
    if (!FEnabled) params.Style |= WS_DISABLED;
    params.X = GetLeft(); params.Y = GetTop(); params.Width = GetWidth(); params.Height = GetHeight();
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
    outer->setGeometry(params.X, params.Y, params.Width, params.Height);
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
    if (GetCapture() == h) { gCapture = nullptr; gCaptureControl = nullptr; }
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
        w.SizeBox->setAttribute(Qt::WA_TransparentForMouseEvents);   // the outer widget paints it
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
        FWindow->Outer->setGeometry(GetLeft(), GetTop(), GetWidth(), GetHeight());
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
        if (v) FStyle &= ~WS_DISABLED; else FStyle |= WS_DISABLED;
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
    default:
        break;
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
    case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN: mask = DLGC_WANTARROWS; break;
    case VK_RETURN: case VK_EXECUTE: case VK_ESCAPE: case VK_CANCEL: mask = DLGC_WANTALLKEYS; break;
    default: break;
    }
    if (mask != 0 && Perform(CM_WANTSPECIALKEY, m.WParam, m.LParam) == 0 &&
        (Perform(WM_GETDLGCODE) & mask) == 0) {
        if (TCustomForm* f = GetParentForm(this)) {
            if (f->Perform(CM_DIALOGKEY, m.WParam, m.LParam) != 0) return;
        }
    }
    m.Result = 0;
}

void TWinControl::Dispatch(TMessage& m) {
    switch (m.Msg) {
    case WM_PAINT:
        if (m.WParam == 0) {   // sent from code: paint now
            if (FHandleAllocated && RedrawOn()) FWindow->Client->repaint();
            return;
        }
        PaintHandler(TWMPaint(m));
        return;
    case WM_NCPAINT:
        if (m.WParam == 0) {   // sent from code: the frame is repainted at once
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
    case CN_SYSKEYDOWN:
        CheckDialogKey(m);
        return;
    case CN_SYSCHAR:
        // Alt+letter: the form's controls may claim it as their "&" accelerator.
        m.Result = 0;
        if (m.WParam != VK_SPACE) {
            if (TCustomForm* f = GetParentForm(this); f && f->Perform(CM_DIALOGCHAR, m.WParam, m.LParam) != 0) m.Result = 1;
        }
        return;
    case CN_CHAR:
        m.Result = 0;
        if ((Perform(WM_GETDLGCODE) & DLGC_WANTCHARS) == 0) {
            if (TCustomForm* f = GetParentForm(this); f && f->Perform(CM_DIALOGCHAR, m.WParam, m.LParam) != 0) m.Result = 1;
        }
        return;
    case CM_DIALOGKEY:
    case CM_DIALOGCHAR:
        Broadcast(m);
        return;
    case CM_FOCUSCHANGED:
        // Buttons learn which of them Enter now clicks.
        Broadcast(m);
        m.Result = 0;
        return;
    case CM_ENTER:
        DoEnter();
        return;
    case CM_EXIT:
        DoExit();
        return;
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
    case CM_SHOWINGCHANGED:
        return;
    case CM_SYSCOLORCHANGE:
        NotifyControls(CM_SYSCOLORCHANGE);
        Invalidate();
        return;
    case WM_SETREDRAW:
        if (FHandleAllocated) {
            if (m.WParam) { if (FWindow->RedrawOff > 0 && --FWindow->RedrawOff == 0) FWindow->Client->setUpdatesEnabled(true); }
            else if (FWindow->RedrawOff++ == 0) FWindow->Client->setUpdatesEnabled(false);
        }
        return;
    default:
        TControl::Dispatch(m);
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
                                                         Qt::SizeFDiagCursor, Qt::SizeBDiagCursor, Qt::SizeVerCursor,
                                                         Qt::SizeBDiagCursor, Qt::SizeFDiagCursor};
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
            if (auto* w = dynamic_cast<TWinControl*>(top); w && w->HandleAllocated()) PostMessage(w->WindowHandle(), WM_CLOSE);
        }
        return;
    case WM_GETDLGCODE:
        m.Result = 0;
        return;
    case WM_MOUSEACTIVATE:
        m.Result = (FExStyle & WS_EX_NOACTIVATE) ? MA_NOACTIVATE : MA_ACTIVATE;
        return;
    case WM_IME_COMPOSITION:
        // The committed text is typed: the characters are queued as the keyboard's would be.
        if ((m.LParam & GCS_RESULTSTR) && FHandleAllocated)
            for (char32_t ch : QString::fromStdString(gIme.Result).toUcs4()) PostMessage(WindowHandle(), WM_CHAR, ch, 1);
        return;
    case WM_NCLBUTTONDOWN:
        // A press on an edge or corner starts the user's resize of this window.
        if (FHandleAllocated && int(m.WParam) >= HTLEFT && int(m.WParam) <= HTBOTTOMRIGHT)
            BeginSizing(this, int(m.WParam), PointFromLParam(m.LParam));
        return;
    default:
        TControl::DefaultHandler(m);
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
    QPainter* p = dc->Painter();
    if (!p) { dc->Handle(); p = dc->Painter(); }
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
    if (v) FStyle |= WS_TABSTOP; else FStyle &= ~WS_TABSTOP;
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
    for (int i = 0; i < n; ++i) if (list[size_t(i)] == current) start = i;
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

void TWinControl::KeyDown(WORD& key, TShiftState shift) { if (OnKeyDown) OnKeyDown(this, key, shift); }
void TWinControl::KeyUp(WORD& key, TShiftState shift) { if (OnKeyUp) OnKeyUp(this, key, shift); }
void TWinControl::KeyPress(char32_t& key) { if (OnKeyPress) OnKeyPress(this, key); }
void TWinControl::DoEnter() { if (OnEnter) OnEnter(this); }
void TWinControl::DoExit() { if (OnExit) OnExit(this); }

bool TWinControl::DoKeyDown(TWMKey m) {
    const TShiftState shift = KeyDataToShiftState(m.KeyData());
    TCustomForm* f = GetParentForm(this);
    WORD key = WORD(m.CharCode());
    if (f && f != this && f->GetKeyPreview()) {
        if (f->DoKeyDown(m)) return true;
        key = WORD(m.CharCode());
    }
    if (key != 0) { KeyDown(key, shift); m.SetCharCode(key); }
    return key == 0;
}

bool TWinControl::DoKeyUp(TWMKey m) {
    const TShiftState shift = KeyDataToShiftState(m.KeyData());
    TCustomForm* f = GetParentForm(this);
    if (f && f != this && f->GetKeyPreview() && f->DoKeyUp(m)) return true;
    WORD key = WORD(m.CharCode());
    if (key != 0) { KeyUp(key, shift); m.SetCharCode(key); }
    return key == 0;
}

bool TWinControl::DoKeyPress(TWMKey m) {
    TCustomForm* f = GetParentForm(this);
    if (f && f != this && f->GetKeyPreview() && f->DoKeyPress(m)) return true;
    char32_t ch = m.CharCode();
    if (ch != 0) { KeyPress(ch); m.SetCharCode(ch); }
    return ch == 0;
}

// --- scroll bars -----------------------------------------------------------------------------------

int TWinControl::SetScrollInfo(int bar, const TScrollInfo& info, bool redraw) {
    (void)redraw;
    const int i = bar == SB_VERT ? 1 : 0;
    TScrollInfo& s = FScroll[i];
    if (info.fMask & SIF_RANGE) { s.nMin = info.nMin; s.nMax = info.nMax; }
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
    if (mask & SIF_RANGE) { info.nMin = s.nMin; info.nMax = s.nMax; }
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

// --- TCustomControl, TGraphicControl ------------------------------------------------------------

TCustomControl::TCustomControl(TComponent* owner) : TWinControl(owner), FCanvas(std::make_unique<TCanvas>()) {}
TCustomControl::~TCustomControl() = default;

void TCustomControl::PaintWindow(HDC dc) {
    FPaintDC = dc == FCanvas.get() ? nullptr : dc;
    try {
        Paint();
    } catch (...) {
        FPaintDC = nullptr;
        throw;
    }
    FPaintDC = nullptr;
}

TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner), FCanvas(std::make_unique<TCanvas>()) {}
TGraphicControl::~TGraphicControl() = default;

void TGraphicControl::Dispatch(TMessage& m) {
    if (m.Msg == WM_PAINT && m.WParam) {
        FPaintDC = reinterpret_cast<HDC>(m.WParam);
        try {
            Paint();
        } catch (...) {
            FPaintDC = nullptr;
            throw;
        }
        FPaintDC = nullptr;
        return;
    }
    TControl::Dispatch(m);
}

// --- lookup -------------------------------------------------------------------------------------

TCustomForm* GetParentForm(const TControl* control) {
    const TControl* c = control;
    while (c && c->GetParent()) c = c->GetParent();
    return const_cast<TCustomForm*>(dynamic_cast<const TCustomForm*>(c));
}

TWinControl* FindControl(HWND window) {
    auto* w = dynamic_cast<TQtWindowWidget*>(window);
    return w ? w->Control() : nullptr;
}

TWinControl* ControlOfWidget(const QWidget* widget) {
    for (const QWidget* w = widget; w; w = w->parentWidget())
        if (auto* qw = dynamic_cast<const TQtWindowWidget*>(w)) {
            if (qw->Control()) return qw->Control();
        }
    return nullptr;
}

TWinControl* FindControlWindow(TPoint screenPos) {
    return ControlOfWidget(QApplication::widgetAt(ToQPoint(screenPos)));
}

TControl* FindDragTarget(TPoint screenPos, bool allowDisabled) {
    TWinControl* w = FindControlWindow(screenPos);
    if (!w) return nullptr;
    if (TControl* c = w->ControlAtPos(w->ScreenToClient(screenPos), allowDisabled)) return c;
    return w;
}

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

HWND GetCapture() { return gCapture; }

HWND SetCapture(HWND window) {
    HWND prev = gCapture;
    gSwallowMouse = false;
    if (prev == window) return prev;
    gCapture = window;
    if (!FindControl(window) || gCaptureControl != nullptr) {
        // keep a graphic capture control only while its parent holds the capture
        if (gCaptureControl && (!gCaptureControl->GetParent() || gCaptureControl->GetParent()->WindowHandle() != window))
            gCaptureControl = nullptr;
    }
    if (TWinControl* p = FindControl(prev)) p->Perform(WM_CAPTURECHANGED, 0, LPARAM(window));
    return prev;
}

namespace {
bool ReleaseCaptureImpl(bool swallow) {
    HWND prev = gCapture;
    if (!prev) return true;
    gCapture = nullptr;
    gCaptureControl = nullptr;
    // Released in the middle of a press: the rest of that press does nothing.
    if (swallow && gButtons != Qt::NoButton) gSwallowMouse = true;
    if (TWinControl* p = FindControl(prev)) p->Perform(WM_CAPTURECHANGED, 0, 0);
    return true;
}
}  // namespace

bool ReleaseCapture() { return ReleaseCaptureImpl(true); }

TControl* GetCaptureControl() {
    if (!gCapture) return nullptr;
    if (gCaptureControl) return gCaptureControl;
    return FindControl(gCapture);
}

void SetCaptureControl(TControl* control) {
    if (control && control == GetCaptureControl()) return;
    ReleaseCaptureImpl(false);
    gCaptureControl = nullptr;
    if (!control) return;
    auto* w = dynamic_cast<TWinControl*>(control);
    if (!w) {
        if (!control->GetParent()) return;
        w = control->GetParent();
        gCaptureControl = control;
    }
    TControl* keep = gCaptureControl;
    SetCapture(w->GetHandle());
    gCaptureControl = keep;
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
        if (cmdShow == SW_SHOWNOACTIVATE || cmdShow == SW_SHOWNA) window->setAttribute(Qt::WA_ShowWithoutActivating, true);
        window->show();
    }
    return was;
}

bool SetWindowPos(HWND window, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
    TWinControl* c = FindControl(window);
    if (!window) return false;
    if (c) {
        int l = c->GetLeft(), t = c->GetTop(), w = c->GetWidth(), h = c->GetHeight();
        if (!(flags & SWP_NOMOVE)) { l = x; t = y; }
        if (!(flags & SWP_NOSIZE)) { w = cx; h = cy; }
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
    if (TWinControl* c = FindControl(window)) { r = c->GetClientRect(); return true; }
    if (!window) return false;
    r = Rect(0, 0, window->width(), window->height());
    return true;
}

bool ClientToScreen(HWND window, TPoint& p) {
    if (TWinControl* c = FindControl(window)) { p = c->ClientToScreen(p); return true; }
    if (!window) return false;
    p = FromQPoint(window->mapToGlobal(ToQPoint(p)));
    return true;
}

bool ScreenToClient(HWND window, TPoint& p) {
    if (TWinControl* c = FindControl(window)) { p = c->ScreenToClient(p); return true; }
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
    if (region) window->setMask(*region);
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

// --- timers --------------------------------------------------------------------------------------

namespace {

struct TTimerEntry {
    HWND Window;
    uintptr_t Id;
    TTimerProc Proc;
    std::unique_ptr<QBasicTimer> Timer;
};

class TTimerHost : public QObject {
public:
    std::vector<std::unique_ptr<TTimerEntry>> Entries;
    uintptr_t NextId = 0x7F00;
    TTimerEntry* Find(HWND w, uintptr_t id) {
        for (auto& e : Entries) if (e->Window == w && e->Id == id) return e.get();
        return nullptr;
    }
    void Remove(TTimerEntry* t) {
        t->Timer->stop();
        Entries.erase(std::find_if(Entries.begin(), Entries.end(), [t](auto& e) { return e.get() == t; }));
    }

protected:
    void timerEvent(QTimerEvent* e) override {
        for (auto& t : Entries) {
            if (t->Timer->timerId() != e->timerId()) continue;
            HWND w = t->Window;
            uintptr_t id = t->Id;
            TTimerProc proc = t->Proc;
            const DWORD now = PlatformTickCount();
            gui_detail::SetMessageTime(now, gMessagePos);
            if (proc) proc(w, WM_TIMER, id, now);
            else if (TWinControl* c = FindControl(w)) c->Perform(WM_TIMER, id, 0);
            return;
        }
    }
};

TTimerHost& Timers() {
    static TTimerHost* host = new TTimerHost;   // lives as long as the process
    return *host;
}

}  // namespace

uintptr_t SetTimer(HWND window, uintptr_t id, UINT elapseMs, TTimerProc proc) {
    EnsureQtApplication();
    TTimerHost& h = Timers();
    if (!window && id == 0) id = ++h.NextId;
    if (window && !FindControl(window)) return 0;
    TTimerEntry* t = h.Find(window, id);
    if (!t) {
        auto e = std::make_unique<TTimerEntry>();
        e->Window = window;
        e->Id = id;
        e->Timer = std::make_unique<QBasicTimer>();
        t = e.get();
        h.Entries.push_back(std::move(e));
    }
    t->Proc = std::move(proc);
    t->Timer->start(int(elapseMs), Qt::PreciseTimer, &h);
    return id == 0 ? 1 : id;
}

bool KillTimer(HWND window, uintptr_t id) {
    TTimerHost& h = Timers();
    TTimerEntry* t = h.Find(window, id);
    if (!t) return false;
    h.Remove(t);
    return true;
}

bool TimerRunning(HWND window, uintptr_t id) { return Timers().Find(window, id) != nullptr; }

void gui_detail::KillWindowTimers(HWND w) {
    if (!w) return;
    TTimerHost& h = Timers();
    for (size_t i = h.Entries.size(); i-- > 0;)
        if (h.Entries[i]->Window == w) h.Remove(h.Entries[i].get());
}

// --- caret -------------------------------------------------------------------------------------------

namespace {
// The caret inverts the pixels of the window below it; a transparent child widget paints after
// its parent into the same raster surface, so a NOT-destination fill inverts exactly those.
class TCaretWidget : public QWidget {
public:
    explicit TCaretWidget(QWidget* parent) : QWidget(parent) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setAutoFillBackground(false);
    }
    bool Lit = true;

protected:
    void paintEvent(QPaintEvent*) override {
        if (!Lit) return;
        QPainter p(this);
        p.setCompositionMode(QPainter::RasterOp_NotDestination);
        p.fillRect(rect(), Qt::black);
    }
};

struct TCaret {
    HWND Owner = nullptr;
    QPointer<TCaretWidget> Widget;
    QPointer<QTimer> Blink;
    int Hidden = 1;
    TPoint Pos;
} gCaret;

void PlaceCaret() {
    if (!gCaret.Widget) return;
    // Moving or showing the caret starts a lit phase, as on Windows.
    gCaret.Widget->Lit = true;
    gCaret.Widget->move(gCaret.Pos.X, gCaret.Pos.Y);
    gCaret.Widget->setVisible(gCaret.Hidden == 0);
    gCaret.Widget->raise();
    gCaret.Widget->update();
    if (gCaret.Blink) {
        if (gCaret.Hidden == 0 && GetCaretBlinkTime() > 0) gCaret.Blink->start(int(GetCaretBlinkTime()));
        else gCaret.Blink->stop();
    }
}
}  // namespace

UINT GetCaretBlinkTime() {
    // Qt's flash time is a whole on-off cycle; Windows' blink time is one phase.
    const int flash = qApp ? QGuiApplication::styleHints()->cursorFlashTime() : 1000;
    return flash > 0 ? UINT(flash / 2) : 0;
}

bool CreateCaret(HWND window, int width, int height) {
    TWinControl* c = FindControl(window);
    if (!c || !c->HandleAllocated()) return false;
    DestroyCaret();
    gCaret.Owner = window;
    auto* w = new TCaretWidget(c->ClientWidget());
    // A zero width is the system's border width, as on Windows.
    w->resize(width > 0 ? width : GetSystemMetrics(SM_CXBORDER), height > 0 ? height : 1);
    gCaret.Widget = w;
    auto* blink = new QTimer(w);
    QObject::connect(blink, &QTimer::timeout, w, [w] {
        w->Lit = !w->Lit;
        w->update();
    });
    gCaret.Blink = blink;
    gCaret.Hidden = 1;   // created hidden, as on Windows
    gCaret.Pos = {};
    PlaceCaret();
    return true;
}

bool DestroyCaret() {
    if (!gCaret.Owner) return false;
    delete gCaret.Widget.data();   // and its timer
    gCaret = TCaret{};
    return true;
}

bool ShowCaret(HWND window) {
    if (!gCaret.Owner || (window && window != gCaret.Owner)) return false;
    if (gCaret.Hidden > 0) --gCaret.Hidden;
    PlaceCaret();
    return true;
}

bool HideCaret(HWND window) {
    if (!gCaret.Owner || (window && window != gCaret.Owner)) return false;
    ++gCaret.Hidden;
    PlaceCaret();
    return true;
}

bool SetCaretPos(int x, int y) {
    if (!gCaret.Owner) return false;
    gCaret.Pos = {x, y};
    PlaceCaret();
    return true;
}

bool GetCaretPos(TPoint& p) {
    if (!gCaret.Owner) return false;
    p = gCaret.Pos;
    return true;
}

// --- key state and message time -------------------------------------------------------------------

int16_t GetKeyState(int vk) {
    vk &= 0xFF;
    if (gInjected[vk]) return gInjected[vk] == 2 ? int16_t(0x8000) : 0;
    bool down = gKeysDown[vk];
    switch (vk) {
    case VK_SHIFT: down = gModifiers & Qt::ShiftModifier; break;
    case VK_CONTROL: down = gModifiers & Qt::ControlModifier; break;
    case VK_MENU: down = gModifiers & Qt::AltModifier; break;
    case VK_LBUTTON: down = gButtons & Qt::LeftButton; break;
    case VK_RBUTTON: down = gButtons & Qt::RightButton; break;
    case VK_MBUTTON: down = gButtons & Qt::MiddleButton; break;
    default: break;
    }
    return down ? int16_t(0x8000) : 0;
}

int16_t GetAsyncKeyState(int vk) {
    vk &= 0xFF;
    if (gInjected[vk]) return gInjected[vk] == 2 ? int16_t(0x8000) : 0;
    bool down = gKeysDown[vk];
    if (qApp) {
        const Qt::KeyboardModifiers mods = QGuiApplication::queryKeyboardModifiers() | gModifiers;
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

void InjectKeyState(int vk, bool down) { gInjected[vk & 0xFF] = down ? 2 : 1; }
void ClearInjectedKeyState() { std::fill(std::begin(gInjected), std::end(gInjected), 0); }

DWORD GetMessageTime() { return gMessageTime; }
TPoint GetMessagePos() { return gMessagePos; }

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
    gMessageTime = t;
    gMessagePos = screen;
}

bool gui_detail::SwallowingMouse() { return gSwallowMouse; }
QWidget* gui_detail::PreviousFocus() { return gFocusPrevious; }

void gui_detail::NoteInput(QEvent* e) {
    switch (e->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove: {
        auto* me = static_cast<QMouseEvent*>(e);
        gButtons = me->buttons();
        gModifiers = me->modifiers();
        break;
    }
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        auto* ke = static_cast<QKeyEvent*>(e);
        gModifiers = ke->modifiers();
        if (WORD vk = VirtualKeyOf(ke)) gKeysDown[vk & 0xFF] = e->type() == QEvent::KeyPress;
        // The modifier keys themselves change the state only after their own event.
        if (e->type() == QEvent::KeyPress) {
            if (ke->key() == Qt::Key_Shift) gModifiers |= Qt::ShiftModifier;
            if (ke->key() == Qt::Key_Control) gModifiers |= Qt::ControlModifier;
            if (ke->key() == Qt::Key_Alt) gModifiers |= Qt::AltModifier;
        }
        break;
    }
    default:
        break;
    }
}

bool gui_detail::RouteInput(QObject* receiver, QEvent* e) {
    switch (e->type()) {
    case QEvent::KeyPress:
        // Escape abandons a user resize: the window goes back to where the press found it.
        if (gSizing.Control && static_cast<QKeyEvent*>(e)->key() == Qt::Key_Escape) {
            gSizing.Control->SetBoundsRect(gSizing.Bounds);
            EndSizing();
            gSwallowMouse = true;   // the rest of the press is no ordinary mouse input
            return true;
        }
        return false;
    case QEvent::FocusIn:
        if (static_cast<QFocusEvent*>(e)->reason() != Qt::PopupFocusReason && receiver->isWidgetType()) {
            gFocusPrevious = gFocusTrack;
            gFocusTrack = static_cast<QWidget*>(receiver);
        }
        return false;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
        break;
    default:
        return false;
    }
    if (!receiver->isWidgetType()) return false;
    auto* me = static_cast<QMouseEvent*>(e);
    if (gSizing.Control) {
        if (e->type() == QEvent::MouseMove) TrackSizing(FromQPoint(me->globalPosition().toPoint()));
        else if (e->type() == QEvent::MouseButtonRelease && me->buttons() == Qt::NoButton) {
            TrackSizing(FromQPoint(me->globalPosition().toPoint()));
            EndSizing();
        }
        return true;
    }
    if (gSwallowMouse) {
        // The swallowed press ends with its release, or with the next first press when its
        // release went elsewhere (to a window a modal form opened meanwhile blocks).
        const bool fresh = (e->type() == QEvent::MouseButtonPress || e->type() == QEvent::MouseButtonDblClick) &&
                           me->buttons() == me->button();
        if (fresh) gSwallowMouse = false;
        else {
            if (e->type() == QEvent::MouseButtonRelease && me->buttons() == Qt::NoButton) gSwallowMouse = false;
            return true;
        }
    }
    TWinControl* holder = FindControl(gCapture);
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
    if (gCaptureControl == c) gCaptureControl = nullptr;
    if (gHovered == c || (gHovered && gHovered->GetParent() == c)) gHovered = nullptr;
    if (auto* w = dynamic_cast<TWinControl*>(c)) {
        if (w->WindowHandle() && gCapture == w->WindowHandle()) { gCapture = nullptr; gCaptureControl = nullptr; }
        if (gCaret.Owner && gCaret.Owner == w->WindowHandle()) DestroyCaret();
        if (w->WindowHandle() && gLastPress.Window == w->WindowHandle()) gLastPress = TLastPress{};
        if (gSizing.Control == w) gSizing = TSizing{};
        if (w->WindowHandle() && gIme.Window == w->WindowHandle()) gIme.Window = nullptr;
    }
    TDragManager::Forget(c);
}

// --- drag objects and the drag image --------------------------------------------------------------

TCursor TDragObject::GetDragCursor(bool accepted, int, int) { return accepted ? TCursor(crDrag) : TCursor(crNoDrop); }
void TDragObject::HideDragImage() { if (auto* l = GetDragImages()) l->HideDragImage(); }
void TDragObject::ShowDragImage() { if (auto* l = GetDragImages()) l->ShowDragImage(); }

TCursor TDragControlObject::GetDragCursor(bool accepted, int, int) {
    return accepted ? (FControl ? FControl->GetDragCursor() : TCursor(crDrag)) : TCursor(crNoDrop);
}
TDragImageList* TDragControlObject::GetDragImages() { return FControl ? FControl->GetDragImages() : nullptr; }

struct TDragImageList::TImpl {
    QPointer<QWidget> Window;
};

namespace {
class TDragImageWindow : public QWidget {
public:
    explicit TDragImageWindow(QImage image)
        : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                               Qt::WindowDoesNotAcceptFocus | Qt::WindowTransparentForInput),
          FImage(std::move(image)) {
        setAttribute(Qt::WA_ShowWithoutActivating);
        setAttribute(Qt::WA_TranslucentBackground);
        resize(FImage.size());
    }
    const QImage& Image() const noexcept { return FImage; }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.drawImage(0, 0, FImage);
    }

private:
    QImage FImage;
};
}  // namespace

TDragImageList::TDragImageList(int width, int height) : FWidth(width), FHeight(height), FImpl(std::make_unique<TImpl>()) {}
TDragImageList::~TDragImageList() { EndDrag(); }

void TDragImageList::SetSize(int width, int height) {
    FWidth = width;
    FHeight = height;
    FImages.clear();
}

int TDragImageList::Add(TBitmap* image) { return AddMasked(image, clNone); }

int TDragImageList::AddMasked(TBitmap* image, TColor maskColor) {
    QImage src = image->Image().convertToFormat(QImage::Format_ARGB32);
    int first = -1;
    for (int x = 0; x + FWidth <= std::max(src.width(), FWidth); x += FWidth) {
        QImage tile = src.copy(x, 0, FWidth, FHeight).convertToFormat(QImage::Format_ARGB32);
        if (maskColor != clNone) {
            const QRgb mask = maskColor == clDefault ? tile.pixel(0, FHeight - 1) : ToQColor(maskColor).rgb();
            for (int y = 0; y < tile.height(); ++y)
                for (int xx = 0; xx < tile.width(); ++xx)
                    if ((tile.pixel(xx, y) & 0xFFFFFF) == (mask & 0xFFFFFF)) tile.setPixel(xx, y, 0);
        }
        FImages.push_back(tile);
        if (first < 0) first = int(FImages.size()) - 1;
        if (src.width() <= FWidth) break;
    }
    return first;
}

void TDragImageList::Clear() { FImages.clear(); }

bool TDragImageList::SetDragImage(int index, int hotX, int hotY) {
    if (index < 0 || index >= Count()) return false;
    FDragIndex = index;
    FHotSpot = {hotX, hotY};
    return true;
}

bool TDragImageList::BeginDrag(HWND window, int x, int y) {
    if (FDragging || FImages.empty()) return false;
    FDragging = true;
    FDragWindow = window;
    FImpl->Window = new TDragImageWindow(FImages[size_t(FDragIndex)]);
    DragMove(x, y);
    FImpl->Window->show();
    return true;
}

bool TDragImageList::DragMove(int x, int y) {
    if (!FDragging || !FImpl->Window) return false;
    TPoint p{x, y};
    if (FDragWindow) ClientToScreen(FDragWindow, p);
    FImpl->Window->move(p.X - FHotSpot.X, p.Y - FHotSpot.Y);
    return true;
}

bool TDragImageList::EndDrag() {
    if (!FDragging) return false;
    FDragging = false;
    delete FImpl->Window.data();
    FImpl->Window = nullptr;
    return true;
}

bool TDragImageList::ShowDragImage() {
    if (!FImpl->Window) return false;
    FImpl->Window->show();
    return true;
}

bool TDragImageList::HideDragImage() {
    if (!FImpl->Window) return false;
    FImpl->Window->hide();
    return true;
}

QWidget* TDragImageList::ImageWindow() const noexcept { return FImpl->Window; }
