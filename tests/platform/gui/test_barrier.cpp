// The exception barrier: what a handler throws is caught where Qt called us, shown in the
// error box, and the program goes on; nothing reaches the last net in the application's notify.

#include <gtest/gtest.h>

#include <QtCore/QElapsedTimer>

#include <functional>
#include <string>

#include "FormsTestUtil.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/StdCtrls.h"
#include "platform/rtl/Exceptions.h"

using namespace TestKit;

namespace {

class BarrierTest : public formstest::FormFixture {};

// Handles events until the error box has been shown count times, at most a second.
bool WaitForBoxes(const TModalAnswerer& answers, size_t count) {
    QElapsedTimer t;
    t.start();
    while (answers.Texts().size() < count && t.elapsed() < 1000) ProcessEvents();
    return answers.Texts().size() >= count;
}

}  // namespace

TEST_F(BarrierTest, ClickTimerAndPaintFaultsAreShownAndTheLoopGoesOn) {
    TModalAnswerer answers;
    const int atNet = LastNetCatches();
    auto* button = Add<TButton>(10, 10, 80, 25);  // a Qt signal's slot
    button->OnClick = [](TObject*) { throw Exception("Chyba tlačítka"); };
    auto* panel = Add<TPanel>(100, 10, 80, 25);  // a window widget's event()
    panel->OnClick = [](TObject*) { throw EConvertError("Chyba panelu"); };
    auto* box = Add<TPaintBox>(10, 50, 80, 40);  // a paint
    bool painting = false;
    box->OnPaint = [&](TObject*) {
        if (painting) throw Exception("Chyba kreslení");
    };
    TTimer timer(nullptr);  // a timer
    timer.SetInterval(5);
    timer.OnTimer = [&](TObject*) {
        timer.SetEnabled(false);
        throw std::runtime_error("Chyba časovače");
    };
    ShowAndActivate(Form);

    struct Case {
        const char* Name;
        std::function<void()> Provoke;
        const char* Shown;
    };
    const Case cases[] = {
        {"button",
            [&] {
                Click(button, {5, 5});
            },
            "Chyba tlačítka."},
        {"panel",
            [&] {
                Click(panel, {5, 5});
            },
            "Chyba panelu."},
        {"timer", [&] { timer.SetEnabled(true); }, "Chyba časovače."},
        {"paint",
            [&] {
                painting = true;
                box->Invalidate();
            },
            "Chyba kreslení."},
    };
    for (const Case& c : cases) {
        const size_t before = answers.Texts().size();
        c.Provoke();
        ASSERT_TRUE(WaitForBoxes(answers, before + 1)) << c.Name;
        EXPECT_EQ(answers.Texts()[before], c.Shown) << c.Name;
    }
    // A window that keeps failing to paint is reported once, not at every repaint.
    const size_t shown = answers.Texts().size();
    box->Invalidate();
    ProcessEvents();
    EXPECT_EQ(answers.Texts().size(), shown);
    painting = false;

    // Caught at their own frames, and the program goes on: a posted message still arrives.
    EXPECT_EQ(LastNetCatches(), atNet);
    EXPECT_FALSE(Application->Terminated());
    bool delivered = false;
    panel->WindowProc = [&](TMessage& m) {
        if (m.Msg == WM_USER + 3) delivered = true;
        panel->WndProc(m);
    };
    PostMessage(panel->WindowHandle(), WM_USER + 3);
    ProcessEvents();
    panel->WindowProc = nullptr;
    EXPECT_TRUE(delivered);
}
