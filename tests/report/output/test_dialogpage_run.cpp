// A template with a dialog page, run headless: the user types into an edit and presses the
// button; the template's script reads the edit's text and writes it into a memo.
#include <gtest/gtest.h>

#include "platform/classes/Streams.h"
#include "platform/gui/TestKit.h"
#include "platform/rtl/ScopeGuard.h"
#include "report/core/frxDialogForm.h"
#include "report/core/frxDialogPage.h"
#include "report/core/frxReport.h"
#include "report/output/frxDialogControls.h"
#include "script/Interpreter.h"

namespace {

TEST(DialogPageRun, TheScriptReadsTheTypedTextIntoTheMemo) {
    TestKit::EnsureApplication();
    static bool scripting = (fsGlobalUnit() ? true : (script::Startup(), true));
    (void)scripting;
    frxRegisterDialogControls();

    // The template, stored and loaded as a file would be.
    TMemoryStream stored;
    {
        TfrxReport source;
        auto* page = new TfrxDialogPage(&source);
        page->SetName("DialogPage1");
        auto* edit = new TfrxEditControl(page);
        edit->SetName("Edit1");
        edit->SetBounds(8, 8, 121, 21);
        edit->OnChange = "Edit1Change";
        auto* memo = new TfrxMemoControl(page);
        memo->SetName("Memo1");
        memo->SetTop(40);
        auto* button = new TfrxButtonControl(page);
        button->SetName("Button1");
        button->SetBounds(8, 140, 75, 25);
        button->SetCaption("OK");
        button->SetModalResult(mrOk);
        button->OnClick = "Button1Click";
        source.GetScriptText()->SetText(
            "var Changes: Integer;\n"
            "procedure Edit1Change(Sender: TObject); begin Changes := Changes + 1; end;\n"
            "procedure Button1Click(Sender: TObject);\n"
            "begin Memo1.Lines.Text := 'Žák: ' + Edit1.Text; end;\n"
            "begin end.");
        source.SaveToStream(&stored);
    }
    TfrxReport report;
    report.GetEngineOptions()->SilentMode = true;
    stored.SetPosition(0);
    report.LoadFromStream(&stored);
    auto* page = dynamic_cast<TfrxDialogPage*>(report.FindObject("DialogPage1"));
    auto* edit = dynamic_cast<TfrxEditControl*>(report.FindObject("Edit1"));
    auto* memo = dynamic_cast<TfrxMemoControl*>(report.FindObject("Memo1"));
    auto* button = dynamic_cast<TfrxButtonControl*>(report.FindObject("Button1"));
    ASSERT_TRUE(page && edit && memo && button);
    EXPECT_EQ(edit->OnChange, "Edit1Change");
    EXPECT_EQ(button->GetModalResult(), mrOk);

    ASSERT_TRUE(report.PrepareScript()) << report.ErrorList->Text();
    page->InitDialog();
    report.Engine()->Running = true;
    auto stop = OnScopeExit([&] { report.Engine()->Running = false; });
    SetShowModalHook([&](TCustomForm*) {
        edit->SetText("Jana Nováková");
        TestKit::Click(button->Control(), Point(10, 10));
    });
    auto unhook = OnScopeExit([] { SetShowModalHook(nullptr); });
    EXPECT_EQ(page->ShowModal(), mrOk);
    ASSERT_EQ(memo->GetLines()->Count(), 1);
    EXPECT_EQ(memo->GetLines()->Strings(0), "Žák: Jana Nováková");
    EXPECT_EQ(report.Calc("Changes").AsInteger(), 1);  // the edit's OnChange ran in the run
}

}  // namespace
