// After a modal window closes, however it closes, the window that was active before it is
// active again and the control that had its focus has it again, so typing goes on there.
#include <gtest/gtest.h>

#include <QtWidgets/QApplication>
#include <QtWidgets/QWidget>

#include <functional>
#include <string>

#include "platform/gui/StdCtrls.h"
#include "tests/platform/gui/FormsTestUtil.h"

using namespace TestKit;
using formstest::RunModal;

namespace {

// A form with two edits, OK (default) and Storno (cancel).
struct TWindow {
    TForm* Form;
    TEdit* First;
    TEdit* Second;
    TWindow(TComponent* owner, const std::string& caption, int left) {
        Form = new TForm(owner);
        Form->SetBounds(left, 40, 320, 160);
        Form->SetCaption(caption);
        First = AddEdit(10);
        Second = AddEdit(40);
        AddButton("OK", 10, mrOk)->SetDefault(true);
        AddButton("Storno", 100, mrCancel)->SetCancel(true);
    }
    TEdit* AddEdit(int top) {
        auto* e = new TEdit(Form);
        e->SetParent(Form);
        e->SetBounds(10, top, 200, 22);
        return e;
    }
    TButton* AddButton(const std::string& caption, int left, TModalResult result) {
        auto* b = new TButton(Form);
        b->SetParent(Form);
        b->SetBounds(left, 100, 75, 25);
        b->SetCaption(caption);
        b->SetModalResult(result);
        return b;
    }
};

struct TCloseWay {
    const char* Name;
    std::function<void(TCustomForm*)> Close;
    TModalResult Result;
};

const TCloseWay kCloseWays[] = {
    {"Enter on the default button", [](TCustomForm*) { Key(Qt::Key_Return); }, mrOk},
    {"Escape", [](TCustomForm*) { Key(Qt::Key_Escape); }, mrCancel},
    {"window manager", [](TCustomForm* f) { f->OuterWidget()->close(); }, mrCancel},
};

class ModalFocusTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureApplication(); }
    void TearDown() override { ProcessEvents(); }
    // w is the active window and e has the focus: keys typed now reach e.
    static void ExpectFocusIn(const TWindow& w, TEdit* e, const std::string& typed) {
        EXPECT_EQ(QApplication::activeWindow(), w.Form->OuterWidget()) << w.Form->GetCaption();
        EXPECT_EQ(Screen->ActiveForm(), w.Form);
        EXPECT_EQ(w.Form->GetActiveControl(), e);
        EXPECT_TRUE(e->Focused());
        const std::string before = e->GetText();
        Key(Qt::Key_End);
        Key(Qt::Key_Z, Qt::NoModifier, "ž");
        EXPECT_EQ(e->GetText(), before + "ž");
        e->SetText(typed);
    }
    TComponent Owner{nullptr};
};

TEST_F(ModalFocusTest, NestedModalFormsGiveTheFocusBack) {
    for (const TCloseWay& inner : kCloseWays) {
        for (const TCloseWay& outer : kCloseWays) {
            SCOPED_TRACE(std::string("inner: ") + inner.Name + ", outer: " + outer.Name);
            TWindow main(&Owner, "Hlavní okno", 0);
            TWindow dialog(&Owner, "Nastavení", 40);
            TWindow nested(&Owner, "Předmět", 80);
            ShowAndActivate(main.Form);
            main.Second->SetFocus();
            ProcessEvents();
            ASSERT_TRUE(main.Second->Focused());
            TModalResult nestedResult = mrNone;
            const TModalResult r = RunModal(dialog.Form, [&] {
                dialog.Second->SetFocus();
                ProcessEvents();
                SetShowModalHook([&](TCustomForm* f) { inner.Close(f); });
                nestedResult = nested.Form->ShowModal();
                ProcessEvents();
                ExpectFocusIn(dialog, dialog.Second, "");
                outer.Close(dialog.Form);
            });
            EXPECT_EQ(nestedResult, inner.Result);
            EXPECT_EQ(r, outer.Result);
            ProcessEvents();
            ExpectFocusIn(main, main.Second, "");
            main.Form->Hide();
            delete nested.Form;
            delete dialog.Form;
            delete main.Form;
            ProcessEvents();
        }
    }
}

// A modal form that frees the form below it leaves nothing to go back to, and no fault.
TEST_F(ModalFocusTest, FormFreedDuringTheModalLoopIsNotReactivated) {
    TWindow main(&Owner, "Hlavní okno", 0);
    TWindow dialog(&Owner, "Nastavení", 40);
    ShowAndActivate(main.Form);
    main.Second->SetFocus();
    ProcessEvents();
    const TModalResult r = RunModal(dialog.Form, [&] {
        delete main.Form;
        Key(Qt::Key_Escape);
    });
    EXPECT_EQ(r, mrCancel);
    ProcessEvents();
    EXPECT_NE(Screen->ActiveForm(), main.Form);
    delete dialog.Form;
}

// A modal window shown again and again (the subject window) takes the focus each time, also
// when no other window was active to go back to.
TEST_F(ModalFocusTest, ModalFormShownAgainHasTheFocus) {
    for (bool withMain : {true, false}) {
        TWindow main(&Owner, "Hlavní okno", 0);
        TWindow dialog(&Owner, "Předmět", 40);
        if (withMain) ShowAndActivate(main.Form);
        for (const TCloseWay& way : kCloseWays) {
            SCOPED_TRACE(std::string(way.Name) + (withMain ? " over the main window" : " alone"));
            const TModalResult r = RunModal(dialog.Form, [&] {
                ExpectFocusIn(dialog, dialog.First, "");
                way.Close(dialog.Form);
            });
            EXPECT_EQ(r, way.Result);
            ProcessEvents();
            if (withMain) {
                EXPECT_EQ(QApplication::activeWindow(), main.Form->OuterWidget());
            }
        }
        main.Form->Hide();
        delete dialog.Form;
        delete main.Form;
        ProcessEvents();
    }
}

}  // namespace
