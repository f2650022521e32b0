#pragma once
// Shared by the form, control, dialog and data-aware tests: the Qt environment and a form
// that runs its modal loop while a script of input drives it.

#include <gtest/gtest.h>

#include <QtCore/QCoreApplication>
#include <QtCore/QDeadlineTimer>
#include <QtCore/QTimer>

#include <functional>
#include <memory>
#include <vector>

#include "platform/gui/Application.h"
#include "platform/gui/Forms.h"
#include "platform/gui/GraphicsPrivate.h"
#include "platform/gui/TestKit.h"

namespace formstest {

// Runs the event loop until cond holds, waiting inside it for the next event (a timer, a posted
// message) instead of sleeping a guessed time; false when timeoutMs passed first.
inline bool WaitUntil(const std::function<bool()>& cond, int timeoutMs = 5000) {
    TestKit::ProcessEvents();
    const QDeadlineTimer deadline(timeoutMs);
    QTimer wake;  // ends the last wait at the deadline, when nothing else comes
    wake.setSingleShot(true);
    wake.start(timeoutMs);
    while (!cond()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        TestKit::ProcessEvents();
    }
    return true;
}

// Shows form modally; once its loop runs, drive() sends input. A stuck loop ends with mrAbort
// after two seconds so that a failing test does not hang.
inline TModalResult RunModal(TCustomForm* form, std::function<void()> drive) {
    SetShowModalHook([drive](TCustomForm*) { drive(); });
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [form] {
        ADD_FAILURE() << "modal loop did not end";
        form->SetModalResult(mrAbort);
    });
    guard.start(2000);
    const TModalResult r = form->ShowModal();
    SetShowModalHook(nullptr);
    return r;
}

// Like RunModal, but each step runs in its own turn of the modal loop, as separate user input
// arrives: the loop sees the form's result between two steps.
inline TModalResult RunModalSteps(TCustomForm* form, std::vector<std::function<void()>> steps) {
    auto next = std::make_shared<std::function<void(size_t)>>();
    *next = [steps, next](size_t i) {
        if (i >= steps.size()) return;
        steps[i]();
        std::weak_ptr<std::function<void(size_t)>> weak = next;
        QTimer::singleShot(20, [weak, i] {
            if (auto n = weak.lock()) (*n)(i + 1);
        });
    };
    const TModalResult r = RunModal(form, [next] { (*next)(0); });
    *next = nullptr;
    return r;
}

// A form owned by the test, of the given size, with controls added at given bounds; the
// form is hidden again after each test.
class FormFixture : public ::testing::Test {
protected:
    explicit FormFixture(int width = 400, int height = 300) : FWidth(width), FHeight(height) {}
    void SetUp() override {
        TestKit::EnsureApplication();
        Form = new TForm(&Owner);
        Form->SetBounds(0, 0, FWidth, FHeight);
    }
    void TearDown() override {
        if (GetCapture()) ReleaseCapture();
        if (Form->GetVisible()) Form->Hide();
        TestKit::ProcessEvents();
    }
    template <class T>
    T* Add(int left, int top, int width, int height, TWinControl* parent = nullptr) {
        T* c = new T(Form);
        c->SetParent(parent ? parent : Form);
        c->SetBounds(left, top, width, height);
        return c;
    }
    TComponent Owner{nullptr};
    TForm* Form = nullptr;

private:
    int FWidth, FHeight;
};

}  // namespace formstest
