#include "platform/gui/Application.h"

#include <QtCore/QAbstractEventDispatcher>
#include <QtCore/QElapsedTimer>
#include <QtCore/QThread>
#include <QtCore/QTimer>
#include <QtGui/QCursor>
#include <QtGui/QFontDatabase>
#include <QtGui/QScreen>
#include <QtWidgets/QApplication>
#include <QtWidgets/QMessageBox>

#include <deque>
#include <filesystem>

#include "platform/db/DB.h"
#include "platform/gui/ActnList.h"
#include "platform/gui/ControlsPrivate.h"
#include "platform/gui/Forms.h"
#include "platform/gui/GraphicsPrivate.h"
#include "platform/gui/QtEntry.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Shutdown.h"

KAROMIL_IMPLEMENT_CLASS(TApplication, TComponent)
KAROMIL_IMPLEMENT_CLASS(TScreen, TComponent)

namespace {

// --- the Qt application with the last net of the exception barrier -----------------------------

int gNetCatches = 0;

class TQtApplicationImpl : public QApplication {
public:
    TQtApplicationImpl(int& argc, char** argv) : QApplication(argc, argv) {}
    bool notify(QObject* receiver, QEvent* e) override {
        try {
            gui_detail::NoteInput(e);
            if (gui_detail::RouteInput(receiver, e)) return true;
            return QApplication::notify(receiver, e);
        } catch (...) {
            // Every entry catches at its own frame (QtEntry.h); this catches what one missed,
            // so that nothing unwinds further through Qt. Shown, and the loop goes on.
            ++gNetCatches;
            Application->HandleException(nullptr, std::current_exception());
            return true;
        }
    }
};

bool gOurs = false;
TMessageBoxHandler gMessageBox;
TTickSource gTicks;

// --- the posted-message queue --------------------------------------------------------------------

const QEvent::Type DrainEvent = QEvent::Type(QEvent::registerEventType());

std::deque<TMsg>& Queue() {
    static std::deque<TMsg> q;
    return q;
}

class TQueueDrain : public QObject {
public:
    bool Pending = false;

protected:
    bool event(QEvent* e) override {
        if (e->type() != DrainEvent) return QObject::event(e);
        Pending = false;
        // Only what is queued now: a handler that posts again is served on the next round.
        size_t n = Queue().size();
        while (n-- > 0 && !Queue().empty()) {
            TMsg m = Queue().front();
            Queue().pop_front();
            gui_detail::Guarded([&] {
                if (!m.hwnd) {
                    if (m.message == WM_QUIT) Application->Terminate();
                    return;
                }
                TWinControl* c = FindControl(m.hwnd);
                if (!c) return;
                gui_detail::SetMessageTime(m.time, GetMessagePos());
                // Key messages from the queue pass the control's pre-processing first, as the
                // class library's message loop does.
                if (m.message >= WM_KEYFIRST && m.message <= WM_KEYLAST &&
                    c->Perform(CN_BASE + m.message, m.wParam, m.lParam) != 0)
                    return;
                if (FindControl(m.hwnd) == c) c->Perform(m.message, m.wParam, m.lParam);
            });
        }
        return true;
    }
};

TQueueDrain& Drain() {
    static TQueueDrain* d = new TQueueDrain;  // lives as long as the process
    return *d;
}

void WakeDrain() {
    TQueueDrain& d = Drain();
    if (d.Pending) return;
    d.Pending = true;
    QCoreApplication::postEvent(&d, new QEvent(DrainEvent));
}

// --- hint timers -----------------------------------------------------------------------------------

struct THintTimers {
    QTimer Show;
    QTimer Hide;
};
THintTimers& HintTimers() {
    static THintTimers* t = nullptr;
    if (!t) {
        t = new THintTimers;
        t->Show.setSingleShot(true);
        t->Hide.setSingleShot(true);
    }
    return *t;
}

TApplication* gApplication = nullptr;
TScreen* gScreen = nullptr;

}  // namespace

void EnsureQtApplication() {
    if (QCoreApplication::instance()) return;
    static int argc = 1;
    static char name[] = "karomil";
    static char* argv[] = {name, nullptr};
    new TQtApplicationImpl(argc, argv);  // lives as long as the process
    gOurs = true;
}

bool QtApplicationIsOurs() { return gOurs && QCoreApplication::instance(); }

void ShutdownQtApplication() {
    if (gApplication) {
        gApplication->CancelHint();
        gApplication->DestroyComponents();
    }
    Queue().clear();
    // Process-wide objects holding fonts, pixmaps or windows go while Qt still runs.
    RunShutdownHooks();
    if (gOurs) {
        delete QCoreApplication::instance();
        gOurs = false;
    }
}

void gui_detail::ReportEntryException(std::exception_ptr e) noexcept {
    try {
        Application->HandleException(nullptr, e);
    } catch (...) {
        // Only the application object's first creation can throw here (out of memory): the
        // report is dropped rather than let anything unwind into Qt.
    }
}

void gui_detail::ReportLater(std::exception_ptr e) noexcept {
    try {
        QTimer::singleShot(0, &Drain(), [e] { ReportEntryException(e); });
    } catch (...) {
        // Out of memory while queueing the report: dropped, as above.
    }
}

int gui_detail::LastNetCatches() noexcept { return gNetCatches; }

void gui_detail::PurgePosted(HWND w) {
    if (!w) return;
    auto& q = Queue();
    q.erase(std::remove_if(q.begin(), q.end(), [w](const TMsg& m) { return m.hwnd == w; }), q.end());
}

bool PostMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    EnsureQtApplication();
    if (window && !FindControl(window)) return false;
    Queue().push_back(TMsg{window, msg, wParam, lParam, PlatformTickCount()});
    WakeDrain();
    return true;
}

bool PeekMessage(TMsg& msg, HWND window, UINT msgMin, UINT msgMax, UINT removeFlags) {
    auto& q = Queue();
    for (auto it = q.begin(); it != q.end(); ++it) {
        if (window && it->hwnd != window) continue;
        if ((msgMin || msgMax) && (it->message < msgMin || it->message > msgMax)) continue;
        // The quit request stays queued: it is never removed by a filter.
        if (it->message == WM_QUIT && (removeFlags & PM_REMOVE)) {
            msg = *it;
            return true;
        }
        msg = *it;
        if (removeFlags & PM_REMOVE) q.erase(it);
        return true;
    }
    return false;
}

void SetTickSource(TTickSource source) { gTicks = std::move(source); }

DWORD PlatformTickCount() {
    if (gTicks) return gTicks();
    static QElapsedTimer timer = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return DWORD(timer.elapsed());
}

void SetMessageBoxHandler(TMessageBoxHandler handler) { gMessageBox = std::move(handler); }

// --- system values -------------------------------------------------------------------------------

int GetSystemMetrics(int index) {
    switch (index) {
    case SM_CXSCREEN: return Screen->Width();
    case SM_CYSCREEN: return Screen->Height();
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
    case SM_CYVSCROLL:
    case SM_CXHSCROLL: return 17;
    case SM_CYVTHUMB:
    case SM_CXHTHUMB: return 17;
    case SM_CYCAPTION: return 19;
    case SM_CXBORDER:
    case SM_CYBORDER: return 1;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME: return 3;
    case SM_CXFRAME:
    case SM_CYFRAME: return 4;
    case SM_CXEDGE:
    case SM_CYEDGE: return 2;
    case SM_CXICON:
    case SM_CYICON:
    case SM_CXCURSOR:
    case SM_CYCURSOR: return 32;
    case SM_CXSMICON:
    case SM_CYSMICON: return 16;
    case SM_CYMENU: return 19;
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK: return 4;
    case SM_CXDRAG:
    case SM_CYDRAG: return 4;
    default: return 0;
    }
}

UINT GetDoubleClickTime() { return 500; }
int WheelScrollLines() { return 3; }

// --- globals -----------------------------------------------------------------------------------------

TApplication* TApplicationAccess::Get() {
    if (!gApplication) {
        EnsureQtApplication();
        gApplication = new TApplication(nullptr);  // lives as long as the process
    }
    return gApplication;
}
TApplication* TApplicationAccess::Peek() noexcept { return gApplication; }

TScreen* TScreenAccess::Get() {
    if (!gScreen) {
        EnsureQtApplication();
        gScreen = new TScreen(nullptr);
    }
    return gScreen;
}
TScreen* TScreenAccess::Peek() noexcept { return gScreen; }

TMouse* TMouseAccess::Get() {
    static TMouse mouse;
    return &mouse;
}

// --- TApplication ------------------------------------------------------------------------------------

TApplication::TApplication(TComponent* owner) : TComponent(owner) {
    QObject::connect(&HintTimers().Show, &QTimer::timeout, [this] {
        gui_detail::Guarded([this] {
            TPoint p;
            GetCursorPos(p);
            ActivateHint(p);
        });
    });
    QObject::connect(&HintTimers().Hide, &QTimer::timeout, [this] { gui_detail::Guarded([this] { CancelHint(); }); });
}

TApplication::~TApplication() = default;

// Errors that a dataset cannot raise (in a destructor, while a module loads, in a blob stream's
// clean-up) reach the user in the error box like every other, not only the standard error.
void TApplication::Initialize() {
    EnsureQtApplication();
    TDataSet::SetHandleExceptionHook([](TDataSet* ds) { Application->HandleException(ds); });
}

void TApplication::FormCreated(TComponent* instance) {
    if (auto* f = dynamic_cast<TCustomForm*>(instance); f && !FMainForm) FMainForm = f;
}

void TApplication::Run() {
    if (FMainForm) FMainForm->Show();
    while (!FTerminated) HandleMessage();
}

void TApplication::ProcessMessages() {
    EnsureQtApplication();
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void TApplication::HandleMessage() {
    EnsureQtApplication();
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    bool done = true;
    if (OnIdle && !FTerminated) OnIdle(this, done);
    if (!FTerminated) UpdateActionLists();
}

void TApplication::Minimize() {
    for (int i = 0; i < Screen->FormCount(); ++i) {
        TCustomForm* f = Screen->Forms(i);
        if (f->GetVisible()) f->SetWindowState(wsMinimized);
    }
}

void TApplication::Restore() {
    for (int i = 0; i < Screen->FormCount(); ++i) {
        TCustomForm* f = Screen->Forms(i);
        if (f->GetWindowState() == wsMinimized) f->SetWindowState(wsNormal);
    }
}

std::string TApplication::ExeName() const {
    std::error_code ec;
    std::filesystem::path p = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : p.string();
}

void TApplication::Terminate() {
    FTerminated = true;
    if (auto* d = QThread::currentThread()->eventDispatcher()) d->wakeUp();
}

void TApplication::HandleException(TObject* sender) { HandleException(sender, std::current_exception()); }

void TApplication::HandleException(TObject* sender, std::exception_ptr ep) {
    if (!ep) return;
    ++FExceptionCount;
    try {
        try {
            std::rethrow_exception(ep);
        } catch (const EAbort&) {
            return;
        } catch (const Exception& e) {
            if (TWinControl* holder = FindControl(GetCapture())) holder->Perform(WM_CANCELMODE);
            if (OnException) OnException(sender, e);
            else ShowException(e);
        } catch (const std::exception& e) {
            Exception wrapped(e.what());
            if (TWinControl* holder = FindControl(GetCapture())) holder->Perform(WM_CANCELMODE);
            if (OnException) OnException(sender, wrapped);
            else ShowException(wrapped);
        }
    } catch (...) {
        // A fault while reporting a fault is dropped: it must not reach Qt.
    }
}

void TApplication::ShowException(const Exception& e) {
    std::string msg = e.Message();
    if (!msg.empty() && msg.back() != '.') msg += '.';
    MessageBox(msg, FTitle, MB_OK | MB_ICONSTOP);
}

int TApplication::MessageBox(const std::string& text, const std::string& caption, UINT flags) {
    if (TWinControl* holder = FindControl(GetCapture())) holder->Perform(WM_CANCELMODE);
    CancelHint();
    if (gMessageBox) return gMessageBox(text, caption, flags);
    EnsureQtApplication();
    QMessageBox box;
    box.setText(QString::fromStdString(text));
    box.setWindowTitle(QString::fromStdString(caption));
    switch (flags & 0xF0) {
    case MB_ICONSTOP: box.setIcon(QMessageBox::Critical); break;
    case MB_ICONQUESTION: box.setIcon(QMessageBox::Question); break;
    case MB_ICONWARNING: box.setIcon(QMessageBox::Warning); break;
    case MB_ICONINFORMATION: box.setIcon(QMessageBox::Information); break;
    default: break;
    }
    struct B {
        QMessageBox::StandardButton q;
        int id;
    };
    std::vector<B> buttons;
    switch (flags & 0xF) {
    case MB_OKCANCEL: buttons = {{QMessageBox::Ok, IDOK}, {QMessageBox::Cancel, IDCANCEL}}; break;
    case MB_ABORTRETRYIGNORE:
        buttons = {{QMessageBox::Abort, IDABORT}, {QMessageBox::Retry, IDRETRY}, {QMessageBox::Ignore, IDIGNORE}};
        break;
    case MB_YESNOCANCEL:
        buttons = {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}, {QMessageBox::Cancel, IDCANCEL}};
        break;
    case MB_YESNO: buttons = {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}}; break;
    case MB_RETRYCANCEL: buttons = {{QMessageBox::Retry, IDRETRY}, {QMessageBox::Cancel, IDCANCEL}}; break;
    default: buttons = {{QMessageBox::Ok, IDOK}}; break;
    }
    QMessageBox::StandardButtons all;
    for (auto& b : buttons) all |= b.q;
    box.setStandardButtons(all);
    const size_t def = (flags & MB_DEFBUTTON3) ? 2 : (flags & MB_DEFBUTTON2) ? 1 : 0;
    if (def < buttons.size()) box.setDefaultButton(buttons[def].q);
    const int r = box.exec();
    for (auto& b : buttons)
        if (b.q == r) return b.id;
    return IDCANCEL;
}

// The title names the program in message boxes. It is not Qt's display name: Qt would append
// that to every window title (" — Karomil"), where the windows' own captions belong alone.
void TApplication::SetTitle(const std::string& v) { FTitle = v; }

bool TApplication::Active() const {
    return QCoreApplication::instance() && QGuiApplication::applicationState() == Qt::ApplicationActive;
}

void TApplication::SetHint(const std::string& v) {
    if (v == FHint) return;
    FHint = v;
    if (OnHint) OnHint(this);
}

void TApplication::SetShowHint(bool v) {
    FShowHint = v;
    if (!v) CancelHint();
}

void TApplication::CancelHint() {
    if (!gApplication) return;
    HintTimers().Show.stop();
    HintTimers().Hide.stop();
    if (FHintWindow) FHintWindow->ReleaseHandle();
    FHintActive = false;
    FHintControl = nullptr;
}

void TApplication::HintMouseMessage(TControl* control, const TMessage&) {
    if (!FShowHint || control == FHintControl) return;
    CancelHint();
    FHintControl = control;
    if (control && control->GetShowHint() && !control->GetHint().empty()) HintTimers().Show.start(HintPause);
}

void TApplication::ActivateHint(TPoint cursorPos) {
    TControl* c = FHintControl;
    if (!c) return;
    THintInfo info;
    info.HintControl = c;
    info.CursorPos = c->ScreenToClient(cursorPos);
    info.CursorRect = c->GetClientRect();
    info.HintStr = c->GetHint();
    info.HideTimeout = HintHidePause;
    // The control may refuse (an open drop-down does).
    if (c->Perform(CM_HINTSHOW, 0, LPARAM(&info)) != 0 || info.HintStr.empty()) return;
    if (!FHintWindow) FHintWindow = new THintWindow(this);
    TRect r = FHintWindow->CalcHintRect(300, info.HintStr);
    OffsetRect(r, cursorPos.X, cursorPos.Y + 20);
    FHintWindow->ActivateHint(r, info.HintStr);
    FHintActive = true;
    if (info.HideTimeout > 0) HintTimers().Hide.start(info.HideTimeout);
}

void TApplication::ForgetControl(TControl* c) {
    if (c == FHintControl) CancelHint();
    if (c == FHintWindow) FHintWindow = nullptr;
    if (c == FMainForm) FMainForm = nullptr;
}

void TApplication::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == opRemove) ForgetControl(dynamic_cast<TControl*>(component));
}

void TApplication::HintTimerExpired() {}

// --- TScreen -------------------------------------------------------------------------------------

TScreen::TScreen(TComponent* owner)
    : TComponent(owner), FHintFont(std::make_unique<TFont>()), FIconFont(std::make_unique<TFont>()) {
    FHintFont->SetName("Tahoma");
    FHintFont->SetHeight(-11);
    FIconFont->SetName("Tahoma");
    FIconFont->SetHeight(-11);
}

TScreen::~TScreen() = default;

std::map<int, QCursor>& TScreen::Table() const {
    if (!FCursors) {
        EnsureQtApplication();
        FCursors = std::make_unique<std::map<int, QCursor>>();
        auto& t = *FCursors;
        t[crDefault] = QCursor(Qt::ArrowCursor);
        t[crNone] = QCursor(Qt::BlankCursor);
        t[crArrow] = QCursor(Qt::ArrowCursor);
        t[crCross] = QCursor(Qt::CrossCursor);
        t[crIBeam] = QCursor(Qt::IBeamCursor);
        t[crSizeNESW] = QCursor(Qt::SizeBDiagCursor);
        t[crSizeNS] = QCursor(Qt::SizeVerCursor);
        t[crSizeNWSE] = QCursor(Qt::SizeFDiagCursor);
        t[crSizeWE] = QCursor(Qt::SizeHorCursor);
        t[crUpArrow] = QCursor(Qt::UpArrowCursor);
        t[crHourGlass] = QCursor(Qt::WaitCursor);
        t[crDrag] = QCursor(Qt::DragCopyCursor);
        t[crNoDrop] = QCursor(Qt::ForbiddenCursor);
        t[crHSplit] = QCursor(Qt::SplitHCursor);
        t[crVSplit] = QCursor(Qt::SplitVCursor);
        t[crMultiDrag] = QCursor(Qt::DragCopyCursor);
        t[crSQLWait] = QCursor(Qt::WaitCursor);
        t[crNo] = QCursor(Qt::ForbiddenCursor);
        t[crAppStart] = QCursor(Qt::BusyCursor);
        t[crHelp] = QCursor(Qt::WhatsThisCursor);
        t[crHandPoint] = QCursor(Qt::PointingHandCursor);
        t[crSizeAll] = QCursor(Qt::SizeAllCursor);
    }
    return *FCursors;
}

QCursor TScreen::GetCursors(int index) const {
    auto& t = Table();
    auto it = t.find(index);
    return it != t.end() ? it->second : t[crDefault];
}

void TScreen::SetCursors(int index, const QCursor& cursor) { Table()[index] = cursor; }
void TScreen::SetCursors(int index, TSystemCursor shape) {
    SetCursors(index, QCursor(shape == TSystemCursor::Hand ? Qt::PointingHandCursor : Qt::DragMoveCursor));
}
bool TScreen::HasCursor(int index) const { return Table().count(index) != 0; }

void TScreen::SetCursor(TCursor c) {
    EnsureQtApplication();
    if (c == FCursor) return;
    FCursor = c;
    if (c == crDefault) {
        while (FOverrideDepth > 0) {
            QGuiApplication::restoreOverrideCursor();
            --FOverrideDepth;
        }
    } else if (FOverrideDepth > 0) {
        QGuiApplication::changeOverrideCursor(GetCursors(c));
    } else {
        QGuiApplication::setOverrideCursor(GetCursors(c));
        ++FOverrideDepth;
    }
}

TStrings* TScreen::Fonts() {
    if (!FFonts) {
        EnsureQtApplication();
        FFonts = std::make_unique<TStringList>();
        for (const QString& f : QFontDatabase::families()) FFonts->Add(f.toStdString());
        FFonts->SetSorted(true);
    }
    return FFonts.get();
}

int TScreen::Width() const {
    EnsureQtApplication();
    QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->geometry().width() : 1024;
}

int TScreen::Height() const {
    EnsureQtApplication();
    QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->geometry().height() : 768;
}

TRect TScreen::WorkAreaRect() const {
    if (!IsRectEmpty(FWorkArea)) return FWorkArea;
    EnsureQtApplication();
    QScreen* s = QGuiApplication::primaryScreen();
    return s ? FromQRect(s->availableGeometry()) : Rect(0, 0, 1024, 768);
}

TRect TScreen::MonitorWorkArea(TPoint p) const {
    if (!IsRectEmpty(FWorkArea)) return FWorkArea;
    EnsureQtApplication();
    QScreen* s = QGuiApplication::screenAt(QPoint(p.X, p.Y));
    if (!s) s = QGuiApplication::primaryScreen();
    return s ? FromQRect(s->availableGeometry()) : Rect(0, 0, 1024, 768);
}

void TScreen::AddForm(TCustomForm* f) { FForms.push_back(f); }
void TScreen::RemoveForm(TCustomForm* f) {
    FForms.erase(std::remove(FForms.begin(), FForms.end(), f), FForms.end());
    if (FActiveForm == f) FActiveForm = nullptr;
    if (FFocusedForm == f) FFocusedForm = nullptr;
}
void TScreen::AddDataModule(TDataModule* d) { FDataModules.push_back(d); }
void TScreen::RemoveDataModule(TDataModule* d) {
    FDataModules.erase(std::remove(FDataModules.begin(), FDataModules.end(), d), FDataModules.end());
}

void TScreen::ForgetControl(TControl* c) {
    if (c == FActiveControl) FActiveControl = nullptr;
    if (c == FActiveForm) FActiveForm = nullptr;
    if (c == FFocusedForm) FFocusedForm = nullptr;
}

// --- mouse -----------------------------------------------------------------------------------------

TPoint TMouse::GetCursorPos() const {
    EnsureQtApplication();
    // Offscreen has no pointer: the last mouse event's point is where the pointer is.
    if (QGuiApplication::platformName() == QLatin1String("offscreen")) return GetMessagePos();
    const QPoint p = QCursor::pos();
    return {p.x(), p.y()};
}

void TMouse::SetCursorPos(TPoint p) {
    EnsureQtApplication();
    if (QGuiApplication::platformName() == QLatin1String("offscreen")) gui_detail::SetMessageTime(GetMessageTime(), p);
    else QCursor::setPos(p.X, p.Y);
}
