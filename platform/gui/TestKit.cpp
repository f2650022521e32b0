#include "platform/gui/TestKit.h"

#include <QtCore/QTimer>
#include <QtGui/QKeyEvent>
#include <QtGui/QMouseEvent>
#include <QtGui/QWheelEvent>
#include <QtGui/QWindow>
#include <QtWidgets/QApplication>
#include <QtWidgets/QDialog>

#include <algorithm>

#include "platform/gui/ControlsPrivate.h"

// Qt's own entry for window-system mouse input (what its test library uses).
Q_GUI_EXPORT void qt_handleMouseEvent(QWindow* window, const QPointF& local, const QPointF& global,
    Qt::MouseButtons state, Qt::MouseButton button, QEvent::Type type, Qt::KeyboardModifiers mods, int timestamp);

namespace TestKit {

void EnsureApplication() {
    EnsureQtApplication();
    (void)Application.Get();
}

void ProcessEvents() {
    for (int i = 0; i < 3; ++i) Application->ProcessMessages();
}

void ShowAndActivate(TCustomForm* form) {
    form->Show();
    form->HandleNeeded();
    QWidget* w = form->OuterWidget();
    w->show();
    w->activateWindow();
    ProcessEvents();
}

namespace {

// The client widget and point that receive input for c at p.
QWidget* Target(TControl* c, TPoint& p) {
    while (!dynamic_cast<TWinControl*>(c)) {
        p.X += c->GetLeft();
        p.Y += c->GetTop();
        c = c->GetParent();
    }
    auto* w = static_cast<TWinControl*>(c);
    w->HandleNeeded();
    // A ready-made widget filling the client area (an edit, a button) is what lies under
    // the pointer there.
    QWidget* client = w->ClientWidget();
    QWidget* hosted = client->childAt(p.X, p.Y);
    if (hosted && !dynamic_cast<TQtWindowWidget*>(hosted)) {
        while (QWidget* deeper = hosted->childAt(hosted->mapFrom(client, QPoint(p.X, p.Y)))) {
            if (dynamic_cast<TQtWindowWidget*>(deeper)) break;
            hosted = deeper;
        }
        const QPoint local = hosted->mapFrom(client, QPoint(p.X, p.Y));
        p = {local.x(), local.y()};
        return hosted;
    }
    return client;
}

Qt::MouseButtons gHeld;

void SendMouse(
    TControl* c, TPoint p, QEvent::Type type, Qt::MouseButton b, Qt::MouseButtons held, Qt::KeyboardModifiers mods) {
    EnsureApplication();
    QWidget* w = Target(c, p);
    const QPointF local(p.X, p.Y);
    const QPointF global = w->mapToGlobal(local);
    // The real window system sends to the widget under the pointer, or to the one holding
    // Qt's implicit grab during a press.
    QWidget* receiver = w;
    QMouseEvent e(type, local, local, global, b, held, mods);
    e.setTimestamp(PlatformTickCount());
    QCoreApplication::sendEvent(receiver, &e);
}

}  // namespace

void MouseMove(TControl* c, TPoint p, Qt::MouseButtons held, Qt::KeyboardModifiers mods) {
    SendMouse(c, p, QEvent::MouseMove, Qt::NoButton, held | gHeld, mods);
}

void MouseDown(TControl* c, TPoint p, Qt::MouseButton b, Qt::KeyboardModifiers mods) {
    gHeld |= b;
    SendMouse(c, p, QEvent::MouseButtonPress, b, gHeld, mods);
}

void MouseUp(TControl* c, TPoint p, Qt::MouseButton b, Qt::KeyboardModifiers mods) {
    gHeld &= ~Qt::MouseButtons(b);
    SendMouse(c, p, QEvent::MouseButtonRelease, b, gHeld, mods);
}

void Click(TControl* c, TPoint p, Qt::MouseButton b, Qt::KeyboardModifiers mods) {
    MouseDown(c, p, b, mods);
    MouseUp(c, p, b, mods);
}

void DblClick(TControl* c, TPoint p) {
    MouseDown(c, p);
    MouseUp(c, p);
    gHeld |= Qt::LeftButton;
    SendMouse(c, p, QEvent::MouseButtonDblClick, Qt::LeftButton, gHeld, Qt::NoModifier);
    MouseUp(c, p);
}

void Wheel(TControl* c, TPoint p, int angleDelta) {
    EnsureApplication();
    QWidget* w = Target(c, p);
    const QPointF local(p.X, p.Y);
    QWheelEvent e(local, w->mapToGlobal(local), QPoint(), QPoint(0, angleDelta), Qt::NoButton, Qt::NoModifier,
        Qt::NoScrollPhase, false);
    e.setTimestamp(PlatformTickCount());
    QCoreApplication::sendEvent(w, &e);
}

namespace {
Qt::MouseButtons gSystemHeld;

void SendSystemMouse(TControl* c, TPoint p, QEvent::Type type, Qt::MouseButton b) {
    EnsureApplication();
    QWidget* w = Target(c, p);
    const QPointF global = w->mapToGlobal(QPointF(p.X, p.Y));
    QWidget* top = w->window();
    QWindow* window = top->windowHandle();
    if (!window) return;
    if (type == QEvent::MouseButtonPress) gSystemHeld |= b;
    if (type == QEvent::MouseButtonRelease) gSystemHeld &= ~Qt::MouseButtons(b);
    qt_handleMouseEvent(
        window, top->mapFromGlobal(global), global, gSystemHeld, b, type, Qt::NoModifier, int(PlatformTickCount()));
}
}  // namespace

void SystemMouseDown(TControl* c, TPoint p, Qt::MouseButton b) { SendSystemMouse(c, p, QEvent::MouseButtonPress, b); }
void SystemMouseUp(TControl* c, TPoint p, Qt::MouseButton b) { SendSystemMouse(c, p, QEvent::MouseButtonRelease, b); }
void SystemMouseMove(TControl* c, TPoint p) { SendSystemMouse(c, p, QEvent::MouseMove, Qt::NoButton); }
void SystemClick(TControl* c, TPoint p, Qt::MouseButton b) {
    SystemMouseDown(c, p, b);
    SystemMouseUp(c, p, b);
}

namespace {
void SendKey(QEvent::Type type, int key, Qt::KeyboardModifiers mods, const std::string& text) {
    EnsureApplication();
    QWidget* w = QApplication::focusWidget();
    if (!w) return;
    QKeyEvent e(type, key, mods, QString::fromStdString(text));
    e.setTimestamp(PlatformTickCount());
    QCoreApplication::sendEvent(w, &e);
}
}  // namespace

void KeyDown(int qtKey, Qt::KeyboardModifiers mods, const std::string& text) {
    SendKey(QEvent::KeyPress, qtKey, mods, text);
}
void KeyUp(int qtKey, Qt::KeyboardModifiers mods) { SendKey(QEvent::KeyRelease, qtKey, mods, ""); }

void Key(int qtKey, Qt::KeyboardModifiers mods, const std::string& text) {
    KeyDown(qtKey, mods, text);
    ProcessEvents();
    KeyUp(qtKey, mods);
    ProcessEvents();
}

QImage Grab(TControl* c) {
    EnsureApplication();
    if (auto* w = dynamic_cast<TWinControl*>(c)) {
        w->HandleNeeded();
        return w->OuterWidget()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
    TPoint p{0, 0};
    QWidget* w = Target(c, p);
    return w->grab(QRect(p.X, p.Y, c->GetWidth(), c->GetHeight())).toImage().convertToFormat(QImage::Format_RGB32);
}

// --- spy ----------------------------------------------------------------------------------------

TMessageSpy::TMessageSpy(TControl* c, std::vector<UINT> ignore) : FControl(c), FIgnore(std::move(ignore)) {
    c->WindowProc = [this](TMessage& m) {
        if (std::find(FIgnore.begin(), FIgnore.end(), m.Msg) == FIgnore.end()) {
            FMessages.push_back(m);
            if (Log) Log->emplace_back(FControl, m.Msg);
        }
        FControl->WndProc(m);
    };
}

TMessageSpy::~TMessageSpy() { FControl->WindowProc = nullptr; }

std::vector<UINT> TMessageSpy::Ids() const {
    std::vector<UINT> ids;
    for (auto& m : FMessages) ids.push_back(m.Msg);
    return ids;
}

std::vector<UINT> TMessageSpy::DefaultIgnored() {
    return {WM_NCHITTEST, WM_SETCURSOR, WM_PAINT, WM_NCPAINT, WM_ERASEBKGND, CM_HITTEST, CM_MOUSEENTER, CM_MOUSELEAVE,
        WM_NCCALCSIZE, CM_HINTSHOW};
}

// --- modal answers ------------------------------------------------------------------------------

TModalAnswerer::TModalAnswerer(int answer) : FAnswer(answer) {
    EnsureApplication();
    SetMessageBoxHandler([this](const std::string& text, const std::string&, UINT) {
        FTexts.push_back(text);
        return FAnswer;
    });
    auto* t = new QTimer;
    t->setInterval(10);
    QObject::connect(t, &QTimer::timeout, [this] {
        if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            FTexts.push_back(d->windowTitle().toStdString());
            d->done(FAnswer == IDOK ? QDialog::Accepted : QDialog::Rejected);
        }
    });
    t->start();
    FTimer = t;
}

TModalAnswerer::~TModalAnswerer() {
    delete static_cast<QTimer*>(FTimer);
    SetMessageBoxHandler(nullptr);
}

int LastNetCatches() { return gui_detail::LastNetCatches(); }

// --- clock ----------------------------------------------------------------------------------------

TFakeClock::TFakeClock(DWORD start) : FNow(start) {
    SetTickSource([this] { return FNow; });
}
TFakeClock::~TFakeClock() { SetTickSource(nullptr); }

}  // namespace TestKit
