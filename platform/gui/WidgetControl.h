#pragma once
// A windowed control whose client area is a ready-made Qt widget (a line edit, a push button,
// a list). The widget fills the client area and takes the focus, but its key and mouse input
// still passes through the control's messages first: KeyPreview, OnKeyDown, dialog keys (Tab,
// Enter, Escape). What no handler swallowed reaches the widget as the window's default
// processing: key-downs and key-ups as they came, characters from WM_CHAR, so that a handler
// that changes Key changes what the widget gets.
//
// Changes made by the program (Text, ItemIndex ...) fire no change events of the widget's own
// making; changes made by the user do (OnChange, OnClick).

#include "platform/gui/Controls.h"
#include "platform/rtl/ScopeGuard.h"

class QObject;
class QEvent;
class QKeyEvent;

class TWidgetControl : public TWinControl {
    KAROMIL_CLASS(TWidgetControl, TWinControl)
public:
    explicit TWidgetControl(TComponent* owner);
    ~TWidgetControl() override;
    // The hosted widget, made with the window.
    QWidget* Widget();
    QWidget* WidgetIfMade() const noexcept { return FWidget; }

protected:
    virtual QWidget* CreateWidget(QWidget* parent) = 0;
    // After the widget exists: connect its signals, copy the control's state into it.
    virtual void WidgetCreated() {}
    // Which palette role the control's Color paints (QPalette::ColorRole); Window by default.
    virtual int ColorRole() const;
    void CreateWnd() override;
    void Dispatch(TMessage& message) override;
    void DefaultHandler(TMessage& message) override;
    // True while the program itself changes the widget: its signals are not the user's.
    bool FSettingWidget = false;
    // Runs fn with FSettingWidget set.
    template <class F>
    void Setting(F&& fn) {
        TRollback setting(FSettingWidget, true);
        fn();
    }
    void ApplyFont();
    void ApplyColor();

private:
    class TFilter;
    friend class TFilter;
    void Forward(QEvent* e);
    void FitWidget();
    void Watch(QObject* o);
    QWidget* FWidget = nullptr;
    TFilter* FFilter = nullptr;
    QObject* FKeyTarget = nullptr;  // the widget that received the last key
};
