#pragma once
// Helpers for tests of window code under the offscreen platform: a shown host form, mouse and
// key input sent through the same translation real events take, a message spy, grabbing a
// control into an image, and answering modal boxes so that nothing blocks.

#include <QtGui/QImage>

#include <functional>
#include <string>
#include <vector>

#include "platform/gui/Application.h"
#include "platform/gui/Controls.h"
#include "platform/gui/Forms.h"

namespace TestKit {

// Our Qt application exists (call first in every test that touches windows).
void EnsureApplication();
// Handles everything pending, posted messages included.
void ProcessEvents();
// Shows the form and makes it the active window.
void ShowAndActivate(TCustomForm* form);

// Mouse input at a client point of the control (graphic controls: through their parent).
void MouseMove(
    TControl* c, TPoint p, Qt::MouseButtons held = Qt::NoButton, Qt::KeyboardModifiers mods = Qt::NoModifier);
void MouseDown(TControl* c, TPoint p, Qt::MouseButton b = Qt::LeftButton, Qt::KeyboardModifiers mods = Qt::NoModifier);
void MouseUp(TControl* c, TPoint p, Qt::MouseButton b = Qt::LeftButton, Qt::KeyboardModifiers mods = Qt::NoModifier);
void Click(TControl* c, TPoint p, Qt::MouseButton b = Qt::LeftButton, Qt::KeyboardModifiers mods = Qt::NoModifier);
// Press, release, double click, release, as the window system delivers them.
void DblClick(TControl* c, TPoint p);
void Wheel(TControl* c, TPoint p, int angleDelta);

// The same input handed to Qt as the window system hands it: Qt makes double clicks from press
// times itself, keeps its implicit grab, and drops input to windows a modal form blocks.
void SystemMouseDown(TControl* c, TPoint p, Qt::MouseButton b = Qt::LeftButton);
void SystemMouseUp(TControl* c, TPoint p, Qt::MouseButton b = Qt::LeftButton);
void SystemMouseMove(TControl* c, TPoint p);
void SystemClick(TControl* c, TPoint p, Qt::MouseButton b = Qt::LeftButton);

// A key press (and release) to the focused widget; text is what the keyboard layout gives.
void KeyDown(int qtKey, Qt::KeyboardModifiers mods = Qt::NoModifier, const std::string& text = "");
void KeyUp(int qtKey, Qt::KeyboardModifiers mods = Qt::NoModifier);
void Key(int qtKey, Qt::KeyboardModifiers mods = Qt::NoModifier, const std::string& text = "");

// The control as it paints now.
QImage Grab(TControl* c);

// Records every message that reaches the control's WndProc, then passes it on.
class TMessageSpy {
public:
    explicit TMessageSpy(TControl* c, std::vector<UINT> ignore = DefaultIgnored());
    ~TMessageSpy();
    const std::vector<TMessage>& Messages() const noexcept { return FMessages; }
    std::vector<UINT> Ids() const;
    void Clear() { FMessages.clear(); }
    static std::vector<UINT> DefaultIgnored();  // hit tests, cursors, paints
    // Shared log: several spies write in one order (Log may be nullptr for a private one).
    std::vector<std::pair<TControl*, UINT>>* Log = nullptr;

private:
    TControl* FControl;
    std::vector<UINT> FIgnore;
    std::vector<TMessage> FMessages;
};

// Answers message boxes and Qt modal dialogs while alive; records the texts.
class TModalAnswerer {
public:
    explicit TModalAnswerer(int answer = IDOK);
    ~TModalAnswerer();
    const std::vector<std::string>& Texts() const noexcept { return FTexts; }

private:
    int FAnswer;
    std::vector<std::string> FTexts;
    void* FTimer;
};

// How many exceptions reached the last net in the application's notify instead of being caught
// where Qt called our code (a test of an entry expects this not to change).
int LastNetCatches();

// A fixed clock for message times, advanced by hand.
class TFakeClock {
public:
    explicit TFakeClock(DWORD start = 1000);
    ~TFakeClock();
    void Advance(DWORD ms) { FNow += ms; }
    DWORD Now() const noexcept { return FNow; }

private:
    DWORD FNow;
};

}  // namespace TestKit
