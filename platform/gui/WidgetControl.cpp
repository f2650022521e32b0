#include "platform/gui/WidgetControl.h"

#include <QtCore/QPointer>
#include <QtGui/QInputMethodEvent>
#include <QtGui/QKeyEvent>
#include <QtGui/QMouseEvent>
#include <QtWidgets/QApplication>
#include <QtWidgets/QWidget>

#include "platform/gui/Application.h"
#include "platform/gui/ControlsPrivate.h"
#include "platform/gui/GraphicsPrivate.h"
#include "platform/gui/InputState.h"
#include "platform/rtl/ScopeGuard.h"

KAROMIL_IMPLEMENT_CLASS(TWidgetControl, TWinControl)

using gui_detail::gInput;


// Routes the hosted widget's input through the control's messages.
class TWidgetControl::TFilter : public QObject {
public:
    explicit TFilter(TWidgetControl* c) : FControl(c) {}
    void Forget() noexcept { FControl = nullptr; }

protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (!FControl || gInput.Forwarding) return false;
        // A fault of a handler counts as the event taken: the widget must not see it then.
        return gui_detail::Guarded([&] { return Filter(o, e); }, true);
    }

private:
    bool Filter(QObject* o, QEvent* e) {
        switch (e->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease: {
            auto* ke = static_cast<QKeyEvent*>(e);
            TRollback<const QKeyEvent*> key(gInput.HostedKey, ke);
            FControl->FKeyTarget = o;
            TWindowBridge::DeliverKey(FControl, ke);
            return true;
        }
        case QEvent::FocusIn:
        case QEvent::FocusOut:
            if (static_cast<QFocusEvent*>(e)->reason() != Qt::PopupFocusReason) {
                // Focus moving inside the control (a combo's editor) is no change of the window's.
                QWidget* other = e->type() == QEvent::FocusIn ? gui_detail::PreviousFocus()
                                                              : QApplication::focusWidget();
                if (!other || ControlOfWidget(other) != FControl || other == o)
                    TWindowBridge::Translate(FControl, true, FControl->ClientWidget(), e);
            }
            return false;
        case QEvent::MouseMove: {
            // Moves reach the control too, so that its hint shows on hover; the widget still
            // gets them for its own hover look.
            QPointer<QObject> alive(o);
            TWindowBridge::DeliverMouse(FControl, static_cast<QMouseEvent*>(e));
            return !alive || !FControl;
        }
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick: {
            QPointer<QObject> alive(o);
            TWindowBridge::DeliverMouse(FControl, static_cast<QMouseEvent*>(e));
            return !alive || !FControl;
        }
        case QEvent::InputMethod: {
            auto* ie = static_cast<QInputMethodEvent*>(e);
            QPointer<QObject> alive(o);
            TWindowBridge::DeliverInputMethod(FControl, ie);
            if (!alive || !FControl) return true;
            // The widget shows the text being composed itself; the committed text came (or
            // was refused) as WM_CHARs.
            if (ie->commitString().isEmpty()) return false;
            QInputMethodEvent shown(ie->preeditString(), ie->attributes());
            TRollback forwarding(gInput.Forwarding, true);
            o->event(&shown);
            return true;
        }
        case QEvent::ShortcutOverride: return false;
        default: return false;
        }
    }

    TWidgetControl* FControl;
};

TWidgetControl::TWidgetControl(TComponent* owner) : TWinControl(owner) {
    // The widget tracks its own presses; a capture would take the release away from it.
    FControlStyle.Exclude(csCaptureMouse);
}

TWidgetControl::~TWidgetControl() {
    if (FFilter) FFilter->Forget();
    if (FWidget) {
        FWidget->disconnect();
        for (QObject* o : FWidget->findChildren<QObject*>()) o->disconnect();
    }
}

QWidget* TWidgetControl::Widget() {
    HandleNeeded();
    return FWidget;
}

int TWidgetControl::ColorRole() const { return QPalette::Window; }

void TWidgetControl::Watch(QObject* o) {
    o->installEventFilter(FFilter);
    // Moves without a button held are reported too (hints on hover).
    if (o->isWidgetType()) static_cast<QWidget*>(o)->setMouseTracking(true);
    for (QObject* child : o->children())
        if (child->isWidgetType()) Watch(child);
}

void TWidgetControl::CreateWnd() {
    TWinControl::CreateWnd();
    if (!FWidget) {
        FFilter = new TFilter(this);
        FWidget = CreateWidget(ClientWidget());
        FFilter->setParent(FWidget);
        Watch(FWidget);
        ClientWidget()->setFocusProxy(FWidget);
        ApplyFont();
        ApplyColor();
        Setting([this] { WidgetCreated(); });
    }
    FWidget->setEnabled(GetEnabled());
    FitWidget();
    FWidget->show();
}

void TWidgetControl::FitWidget() {
    if (FWidget) FWidget->setGeometry(0, 0, GetClientWidth(), GetClientHeight());
}

void TWidgetControl::ApplyFont() {
    if (!FWidget) return;
    FWidget->setFont(ToQFont(GetFont()->Data()));
    QPalette pal = FWidget->palette();
    pal.setColor(QPalette::WindowText, ToQColor(GetFont()->GetColor()));
    pal.setColor(QPalette::Text, ToQColor(GetFont()->GetColor()));
    pal.setColor(QPalette::ButtonText, ToQColor(GetFont()->GetColor()));
    FWidget->setPalette(pal);
}

void TWidgetControl::ApplyColor() {
    if (!FWidget) return;
    QPalette pal = FWidget->palette();
    pal.setColor(QPalette::ColorRole(ColorRole()), ToQColor(GetColor()));
    FWidget->setPalette(pal);
    FWidget->setAutoFillBackground(ColorRole() == QPalette::Window);
}

void TWidgetControl::Dispatch(TMessage& m) {
    switch (m.Msg) {
    case CM_FONTCHANGED:
        TWinControl::Dispatch(m);
        ApplyFont();
        return;
    case CM_COLORCHANGED:
        TWinControl::Dispatch(m);
        ApplyColor();
        return;
    case CM_ENABLEDCHANGED:
        if (FWidget) FWidget->setEnabled(GetEnabled());
        TWinControl::Dispatch(m);
        return;
    case WM_SIZE:
        FitWidget();
        TWinControl::Dispatch(m);
        return;
    default: TWinControl::Dispatch(m);
    }
}

void TWidgetControl::Forward(QEvent* e) {
    QObject* target = FKeyTarget ? FKeyTarget : FWidget;
    if (!target) return;
    TRollback forwarding(gInput.Forwarding, true);
    // Straight to the widget: an ignored key must not travel on to the parents, whose windows
    // translated it already. A part of the widget (a combo's editor) hands what it ignores to
    // the widget itself.
    QPointer<QObject> alive(target);
    e->setAccepted(true);
    const bool handled = target->event(e) && e->isAccepted();
    if (!handled && alive && target != FWidget && FWidget) {
        e->setAccepted(true);
        static_cast<QObject*>(FWidget)->event(e);
    }
}

void TWidgetControl::DefaultHandler(TMessage& m) {
    switch (m.Msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (gInput.HostedKey && gInput.HostedKey->type() == QEvent::KeyPress) {
            // A printable character arrives as WM_CHAR, where OnKeyPress may have changed it.
            const QString text = gInput.HostedKey->text();
            const bool printable = !text.isEmpty() && text.at(0).isPrint() &&
                !(gInput.HostedKey->modifiers() & Qt::ControlModifier);
            QKeyEvent copy(QEvent::KeyPress, gInput.HostedKey->key(), gInput.HostedKey->modifiers(),
                printable ? QString() : text, gInput.HostedKey->isAutoRepeat());
            Forward(&copy);
        }
        if (m.Msg == WM_SYSKEYDOWN) TWinControl::DefaultHandler(m);
        return;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        if (gInput.HostedKey && gInput.HostedKey->type() == QEvent::KeyRelease) {
            QKeyEvent copy(QEvent::KeyRelease, gInput.HostedKey->key(), gInput.HostedKey->modifiers(),
                gInput.HostedKey->text(), gInput.HostedKey->isAutoRepeat());
            Forward(&copy);
        }
        return;
    case WM_CHAR: {
        const char32_t ch = char32_t(m.WParam);
        if (ch >= 32 && ch != 127) {
            QKeyEvent typed(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString::fromUcs4(&ch, 1));
            Forward(&typed);
        }
        return;
    }
    default: TWinControl::DefaultHandler(m);
    }
}
