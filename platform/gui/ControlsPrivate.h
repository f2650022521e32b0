#pragma once
// Shared by the window layer's own files only: the window widgets, the event
// translation and the input state the translation keeps.

#include <QtWidgets/QWidget>
#include <QtCore/QPointer>

#include <exception>
#include <functional>

#include "platform/gui/Controls.h"
#include "platform/gui/QtEntry.h"

class QEvent;
class QMouseEvent;
class QKeyEvent;
class QInputMethodEvent;
class QScrollBar;
class QTimer;

// The outer widget (the window with its non-client area) and the inner one (the client area).
class TQtWindowWidget : public QWidget {
public:
    TQtWindowWidget(TWinControl* control, bool client, QWidget* parent);
    TWinControl* Control() const noexcept { return FControl; }
    bool IsClient() const noexcept { return FClient; }
    void Forget() noexcept { FControl = nullptr; }

protected:
    bool event(QEvent* e) override;
    bool focusNextPrevChild(bool) override { return false; }  // the form does Tab itself

private:
    TWinControl* FControl;
    bool FClient;
};

// Everything of a windowed control that only exists with Qt.
struct TWinControl::TWindow {
    TQtWindowWidget* Outer = nullptr;  // owned; deletes the rest
    TQtWindowWidget* Client = nullptr;
    QScrollBar* Bars[2] = {nullptr, nullptr};
    QWidget* SizeBox = nullptr;
    std::unique_ptr<TCanvas> DC;  // the paint DC when the control has no Canvas of its own
    QRegion Validated;
    bool ErasePending = false;
    bool NoErasePending = false;
    bool PaintFailed = false;  // the last paint threw; report only the first
    bool NcPaintFailed = false;  // the same for the frame
    int RedrawOff = 0;
    // The geometry our own code gave the window last: any other comes from the window system.
    QRect Requested;
    // Restarted by every move or size the window system makes; WM_EXITSIZEMOVE when it runs out.
    QTimer* MoveSizeEnd = nullptr;  // owned by Outer
};

// The one place where Qt events become messages.
class TWindowBridge {
public:
    // True when the event was taken; false lets the widget's own handling run.
    static bool Translate(TWinControl* control, bool client, QWidget* widget, QEvent* e);
    // Delivers a mouse event to target as if it had arrived at target's client area.
    static void DeliverMouse(TWinControl* target, QMouseEvent* e);
    static void DeliverKey(TWinControl* target, QKeyEvent* e);
    // WM_IME_STARTCOMPOSITION, WM_IME_COMPOSITION and WM_IME_ENDCOMPOSITION for an input-method
    // event; the result string becomes WM_CHARs unless a handler drops the composition.
    static void DeliverInputMethod(TWinControl* target, QInputMethodEvent* e);
    static TCanvas* PaintDC(TWinControl* c);
    // A move or size of a top-level window that the window system made.
    static void NoteSystemMoveSize(TWinControl* c, QWidget* outer);
};

namespace gui_detail {
// The input state of the message being handled.
void NoteInput(QEvent* e);
// Mouse routing of the platform (capture); true when the event was consumed here.
bool RouteInput(QObject* receiver, QEvent* e);
// Forgets everything global that points to the control.
void ControlGone(TControl* c);
void KillWindowTimers(HWND w);
void PurgePosted(HWND w);
void SetMessageTime(DWORD t, TPoint screen);
bool SwallowingMouse();
// The widget whose FocusIn is being delivered lost-from.
QWidget* PreviousFocus();
void FocusDelivered(QWidget* now);
// The top-level host for windows without a parent window.
}  // namespace gui_detail
