#pragma once
// Internal to the window layer's Controls, WinControl, WindowBridge, DragDrop, WindowApi,
// TimersCaret, InputRouting and WidgetControl files: the input state they share between
// messages (one object, gInput), and the helpers more than one of them calls.

#include <QtCore/QPoint>
#include <QtCore/QPointer>
#include <QtCore/QTimer>
#include <QtWidgets/QWidget>

#include <string>

#include "platform/gui/Controls.h"

class QKeyEvent;

namespace gui_detail {

inline QPoint ToQPoint(TPoint p) { return QPoint(p.X, p.Y); }
inline TPoint FromQPoint(QPoint p) { return {p.x(), p.y()}; }

// --- the input state ---------------------------------------------------------------------------

// The last button press a window got, to pair it with the next one as Windows does.
struct TLastPress {
    HWND Window = nullptr;
    Qt::MouseButton Button = Qt::NoButton;
    DWORD Time = 0;
    TPoint Pos;
    bool Second = false;  // it was itself the second press of a double click
};

// The input method's composition: the window composing, and the strings of the
// WM_IME_COMPOSITION being handled.
struct TIme {
    HWND Window = nullptr;
    std::string Composition;
    std::string Result;
};

// The user's resize of a window, started by a press on an edge or corner: the platform
// tracks the mouse itself until the release.
struct TSizing {
    TWinControl* Control = nullptr;
    int Hit = 0;
    TPoint Start;  // screen point of the press
    TRect Bounds;  // the bounds at the press
};

// The drag in progress (DragDrop.cpp).
struct TDragTrack {
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
};

// The one caret of the program (TimersCaret.cpp): its window, its widget and blink timer (owned
// by the widget), how often it was hidden, and its client position.
struct TCaret {
    HWND Owner = nullptr;
    QPointer<QWidget> Widget;
    QPointer<QTimer> Blink;
    int Hidden = 1;
    TPoint Pos;
};

// Everything the window layer keeps between two messages, in one place. Windows keeps this per
// thread; the program has one thread of windows, so there is one. A control or window going
// away is forgotten in ControlGone (InputRouting.cpp), which is why nothing of it may be kept
// anywhere else.
struct TInputState {
    // SetCapture: the window holding the mouse, and the control (graphic controls too) it is for.
    HWND Capture = nullptr;
    TControl* CaptureControl = nullptr;
    // The rest of a press no window may see as ordinary mouse input (an abandoned resize).
    bool SwallowMouse = false;
    // What GetKeyState answers: buttons and modifiers of the last input event, keys down by
    // virtual key, and states a test injected (0 none, 1 up, 2 down), which win.
    Qt::MouseButtons Buttons;
    Qt::KeyboardModifiers Modifiers;
    bool KeysDown[256] = {};
    int Injected[256] = {};
    // GetMessageTime and GetMessagePos of the message being handled.
    DWORD MessageTime = 0;
    TPoint MessagePos;
    // The widget that had the focus before the one that has it, for WM_SETFOCUS's wParam.
    QPointer<QWidget> FocusTrack;
    QPointer<QWidget> FocusPrevious;
    TLastPress LastPress;
    // The graphic control under the pointer: graphic controls have no window for Qt to tell them
    // of the pointer, so their CM_MOUSEENTER and CM_MOUSELEAVE come from the moves over the parent.
    TControl* Hovered = nullptr;
    // Wheel turns below one notch, kept until they make one.
    int WheelAccumulated = 0;
    TIme Ime;
    TSizing Sizing;
    TDragTrack Drag;
    TCaret Caret;
    // A hosted widget's key event being translated, so that the default processing of its
    // WM_KEYDOWN and WM_KEYUP can hand it on; and whether an event is being handed on to the
    // widget (it passes its control's filter then). WidgetControl.cpp.
    const QKeyEvent* HostedKey = nullptr;
    bool Forwarding = false;
};
inline TInputState gInput;

void BeginSizing(TWinControl* c, int hit, TPoint screen);
void EndSizing();
void TrackSizing(TPoint screen);

// The virtual key of a Qt key event, 0 for none.
WORD VirtualKeyOf(const QKeyEvent* e);
// Destroys the caret when the window owning it goes.
void CaretWindowGone(HWND w);

}  // namespace gui_detail

// The drag manager of the class library: tracks the mouse under capture and finds targets.
class TDragManager {
public:
    static void Begin(TControl* source, bool immediate, int threshold);
    static void Start(TPoint pos);
    static TObject* SourceOf(TDragObject* obj);
    static LRESULT Send(TControl* target, TDragMessage dm, TPoint pos);
    static void MoveTo(TPoint pos);
    static void Done(bool drop);
    static TObject* SourceTarget(TControl* t);
    // The source sees its own mouse and Esc here, after its WndProc overrides ran.
    static bool Intercept(TControl* c, TMessage& m);
    static void Forget(TControl* c);
};
