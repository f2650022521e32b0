#pragma once
// The application object, the screen and the mouse.
//
// TApplication runs the message loop over Qt's event loop, owns the posted-message queue (its
// own FIFO, so a pending message can be looked at and removed), and shows what escaped a
// handler: every entry from Qt into our code catches at its own frame and hands the exception
// to HandleException, with the catch in its QApplication::notify as the last net. A paint that
// throws is reported once, not on every repaint.
//
// Application, Screen and Mouse are created on first use, together with the Qt application
// object (which must be ours: a QApplication made elsewhere has no barrier).

#include <cstdint>
#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/classes/Component.h"
#include "platform/classes/StringList.h"
#include "platform/gui/Controls.h"

class QCursor;
class THintWindow;
class TCustomForm;
class TDataModule;

using TExceptionEvent = std::function<void(TObject* sender, const Exception& e)>;
using TIdleEvent = std::function<void(TObject* sender, bool& done)>;

// MessageBox flags and answers.
enum : UINT {
    MB_OK = 0x0,
    MB_OKCANCEL = 0x1,
    MB_ABORTRETRYIGNORE = 0x2,
    MB_YESNOCANCEL = 0x3,
    MB_YESNO = 0x4,
    MB_RETRYCANCEL = 0x5,
    MB_ICONHAND = 0x10,
    MB_ICONERROR = 0x10,
    MB_ICONSTOP = 0x10,
    MB_ICONQUESTION = 0x20,
    MB_ICONEXCLAMATION = 0x30,
    MB_ICONWARNING = 0x30,
    MB_ICONASTERISK = 0x40,
    MB_ICONINFORMATION = 0x40,
    MB_DEFBUTTON2 = 0x100,
    MB_DEFBUTTON3 = 0x200,
};
enum : int { IDOK = 1, IDCANCEL = 2, IDABORT = 3, IDRETRY = 4, IDIGNORE = 5, IDYES = 6, IDNO = 7 };

class TApplication : public TComponent {
    KAROMIL_CLASS(TApplication, TComponent)
public:
    explicit TApplication(TComponent* owner);
    ~TApplication() override;

    void Initialize();
    // Creates a form or data module owned by the application; the first form becomes MainForm.
    template <class T>
    T* CreateForm(T** reference = nullptr) {
        T* instance = new T(this);
        if (reference) *reference = instance;
        FormCreated(instance);
        // OnCreate runs once the instance variable is set.
        if constexpr (requires { instance->AfterConstruction(); }) instance->AfterConstruction();
        return instance;
    }
    // Runs until Terminate or until the main form closes.
    void Run();
    // Handles what is pending, then returns; safe to re-enter.
    void ProcessMessages();
    // Waits for and handles one batch of events; runs OnIdle when nothing is left.
    void HandleMessage();
    void Terminate();
    bool Terminated() const noexcept { return FTerminated; }
    // Minimize takes every shown form down to an icon; Restore brings them back.
    void Minimize();
    void Restore();
    // The full path of the running program.
    std::string ExeName() const;

    // Shows what escaped a handler: WM_CANCELMODE to the capture holder, then OnException or
    // the message box. EAbort is silent.
    void HandleException(TObject* sender);
    void HandleException(TObject* sender, std::exception_ptr e);
    void ShowException(const Exception& e);
    // A modal message box (flags MB_*), answering ID*. Tests answer it through TestKit.
    int MessageBox(const std::string& text, const std::string& caption, UINT flags);

    std::string GetTitle() const { return FTitle; }
    void SetTitle(const std::string& v);
    TCustomForm* GetMainForm() const noexcept { return FMainForm; }
    bool Active() const;
    HWND GetHandle() const noexcept { return nullptr; }

    // --- hints
    std::string GetHint() const { return FHint; }
    void SetHint(const std::string& v);
    bool GetShowHint() const noexcept { return FShowHint; }
    void SetShowHint(bool v);
    TColor HintColor = clInfoBk;
    int HintPause = 500;  // ms before a hint shows
    int HintShortPause = 50;
    int HintHidePause = 2500;  // ms a hint stays
    void CancelHint();
    void ActivateHint(TPoint cursorPos);
    // Called for every mouse move over a control (from TControl's WndProc).
    void HintMouseMessage(TControl* control, const TMessage& message);
    THintWindow* HintWindow() const noexcept { return FHintWindow; }

    TExceptionEvent OnException;
    TIdleEvent OnIdle;
    TNotifyEvent OnHint;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;

    // How many times an exception reached HandleException (tests read it).
    int ExceptionCount() const noexcept { return FExceptionCount; }
    // Drops every pointer to a control that is going away.
    void ForgetControl(TControl* c);

private:
    void FormCreated(TComponent* instance);
    void HintTimerExpired();
    void Notification(TComponent* component, TOperation operation) override;
    friend class TQtApplication;
    std::string FTitle;
    std::string FHint;
    TCustomForm* FMainForm = nullptr;
    bool FTerminated = false;
    bool FShowHint = true;
    bool FHandlingException = false;
    int FExceptionCount = 0;
    THintWindow* FHintWindow = nullptr;
    TControl* FHintControl = nullptr;
    bool FHintActive = false;
};

// The message box behind Application->MessageBox and the exception report; replaceable so
// that tests never block (TestKit installs one).
using TMessageBoxHandler = std::function<int(const std::string& text, const std::string& caption, UINT flags)>;
void SetMessageBoxHandler(TMessageBoxHandler handler);  // empty restores the Qt message box

// --- screen ----------------------------------------------------------------------------------

// Shapes of the window system's own cursors that have no predefined cursor id: a module puts
// them into a slot of its own of the cursor table.
enum class TSystemCursor { Hand, DragMove };

class TScreen : public TComponent {
    KAROMIL_CLASS(TScreen, TComponent)
public:
    explicit TScreen(TComponent* owner);
    ~TScreen() override;

    // The cursors table: predefined negative ids and any slot a program fills in.
    QCursor GetCursors(int index) const;
    void SetCursors(int index, const QCursor& cursor);
    void SetCursors(int index, TSystemCursor shape);
    bool HasCursor(int index) const;
    // A global override for every window; crDefault lets each window decide.
    TCursor GetCursor() const noexcept { return FCursor; }
    void SetCursor(TCursor c);

    TCustomForm* ActiveForm() const noexcept { return FActiveForm; }
    TWinControl* ActiveControl() const noexcept { return FActiveControl; }
    int FormCount() const noexcept { return int(FForms.size()); }
    TCustomForm* Forms(int index) const { return FForms.at(size_t(index)); }
    int DataModuleCount() const noexcept { return int(FDataModules.size()); }
    TDataModule* DataModules(int index) const { return FDataModules.at(size_t(index)); }
    // Installed font families, sorted.
    TStrings* Fonts();
    int Width() const;
    int Height() const;
    TRect WorkAreaRect() const;
    TRect MonitorWorkArea(TPoint p) const;  // the nearest screen's work area
    // A fixed work area in place of the screen's (a small screen tried under the offscreen
    // platform); an empty rectangle gives the screen's back.
    void SetWorkArea(const TRect& r) { FWorkArea = r; }
    int PixelsPerInch() const noexcept { return 96; }
    TFont* HintFont() const noexcept { return FHintFont.get(); }
    TFont* IconFont() const noexcept { return FIconFont.get(); }
    void ForgetControl(TControl* c);

private:
    friend class TCustomForm;
    friend class TDataModule;
    friend class TApplication;
    void AddForm(TCustomForm* f);
    void RemoveForm(TCustomForm* f);
    void AddDataModule(TDataModule* d);
    void RemoveDataModule(TDataModule* d);
    std::map<int, QCursor>& Table() const;
    TCursor FCursor = crDefault;
    int FOverrideDepth = 0;
    TCustomForm* FActiveForm = nullptr;
    TWinControl* FActiveControl = nullptr;
    TCustomForm* FFocusedForm = nullptr;
    std::vector<TCustomForm*> FForms;
    TRect FWorkArea{};
    std::vector<TDataModule*> FDataModules;
    std::unique_ptr<TStringList> FFonts;
    std::unique_ptr<TFont> FHintFont;
    std::unique_ptr<TFont> FIconFont;
    mutable std::unique_ptr<std::map<int, QCursor>> FCursors;
};

class TMouse {
public:
    TPoint GetCursorPos() const;
    void SetCursorPos(TPoint p);
    TControl* Capture() const { return GetCaptureControl(); }
    int WheelScrollLines() const { return ::WheelScrollLines(); }
    bool WheelPresent() const noexcept { return true; }
};

// The globals, made on first use.
struct TApplicationAccess {
    TApplication* operator->() const { return Get(); }
    operator TApplication*() const { return Get(); }
    static TApplication* Get();
    static TApplication* Peek() noexcept;  // nullptr before first use
};
struct TScreenAccess {
    TScreen* operator->() const { return Get(); }
    operator TScreen*() const { return Get(); }
    static TScreen* Get();
    static TScreen* Peek() noexcept;
};
struct TMouseAccess {
    TMouse* operator->() const { return Get(); }
    static TMouse* Get();
};
inline constexpr TApplicationAccess Application{};
inline constexpr TScreenAccess Screen{};
inline constexpr TMouseAccess Mouse{};

// Makes sure our Qt application object exists (tests call it through TestKit).
void EnsureQtApplication();
// True when the running Qt application is ours (has the exception barrier).
bool QtApplicationIsOurs();
// Frees what the application owns and the Qt application, before static destruction begins
// (the end of main, or of a test run).
void ShutdownQtApplication();

// --- the clock ---------------------------------------------------------------------------------
// Message times and GetTickCount-style readings of this module come from one clock, which
// tests may replace. Empty restores the system's monotonic clock.
using TTickSource = std::function<DWORD()>;
void SetTickSource(TTickSource source);
DWORD PlatformTickCount();
