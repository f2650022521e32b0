#pragma once
// Internal to the window layer's Controls, WinControl, WindowBridge, DragDrop, WindowApi,
// TimersCaret and InputRouting files: the input state they share between messages, and the
// helpers more than one of them calls.

#include <QtCore/QPoint>
#include <QtCore/QPointer>
#include <QtWidgets/QWidget>

#include <string>

#include "platform/gui/Controls.h"

class QKeyEvent;

namespace gui_detail {

inline QPoint ToQPoint(TPoint p) { return QPoint(p.X, p.Y); }
inline TPoint FromQPoint(QPoint p) { return {p.x(), p.y()}; }

// --- global window state ---------------------------------------------------------------------

inline HWND gCapture = nullptr;
inline TControl* gCaptureControl = nullptr;
inline bool gSwallowMouse = false;
inline Qt::MouseButtons gButtons;
inline Qt::KeyboardModifiers gModifiers;
inline DWORD gMessageTime = 0;
inline TPoint gMessagePos;
inline QPointer<QWidget> gFocusTrack;
inline QPointer<QWidget> gFocusPrevious;
inline bool gKeysDown[256] = {};
inline int gInjected[256] = {};          // 0 none, 1 up, 2 down
// The last button press a window got, to pair it with the next one as Windows does.
struct TLastPress {
    HWND Window = nullptr;
    Qt::MouseButton Button = Qt::NoButton;
    DWORD Time = 0;
    TPoint Pos;
    bool Second = false;         // it was itself the second press of a double click
};
inline TLastPress gLastPress;

// The graphic control under the pointer: graphic controls have no window for Qt to tell them
// of the pointer, so their CM_MOUSEENTER and CM_MOUSELEAVE come from the moves over the parent.
inline TControl* gHovered = nullptr;

// The input method's composition: the window composing, and the strings of the
// WM_IME_COMPOSITION being handled.
struct TIme {
    HWND Window = nullptr;
    std::string Composition;
    std::string Result;
};
inline TIme gIme;

// The user's resize of a window, started by a press on an edge or corner: the platform
// tracks the mouse itself until the release.
struct TSizing {
    TWinControl* Control = nullptr;
    int Hit = 0;
    TPoint Start;                // screen point of the press
    TRect Bounds;                // the bounds at the press
};
inline TSizing gSizing;

void BeginSizing(TWinControl* c, int hit, TPoint screen);
void EndSizing();
void TrackSizing(TPoint screen);

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
};
inline TDragState_ gDrag;

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
