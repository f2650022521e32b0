// Dialog pages and the objects on them, headless: the window mirrors the page, wrapped
// controls find their window parent, the window's events reach the page's script procedures
// (and only during a run), and dialog components keep their place as property data.

#include <gtest/gtest.h>

#include "platform/classes/Streams.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/StdCtrls.h"
#include "platform/gui/TestKit.h"
#include "platform/rtl/ScopeGuard.h"
#include "report/core/frxDataSet.h"
#include "report/core/frxDialog.h"
#include "report/core/frxDialogForm.h"
#include "report/core/frxDialogPage.h"
#include "report/core/frxReport.h"
#include "script/Interpreter.h"

namespace {
class TTestButtonControl : public TfrxDialogControl {
    KAROMIL_CLASS(TTestButtonControl, TfrxDialogControl)
public:
    explicit TTestButtonControl(TComponent* owner) : TfrxDialogControl(owner) { InitControl(new TButton(nullptr)); }
};
class TTestPanelControl : public TfrxDialogControl {
    KAROMIL_CLASS(TTestPanelControl, TfrxDialogControl)
public:
    explicit TTestPanelControl(TComponent* owner) : TfrxDialogControl(owner) { InitControl(new TPanel(nullptr)); }
};

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestKit::EnsureApplication();
        static bool scripting = (script::Startup(), true);
        (void)scripting;
        Report.GetEngineOptions()->SilentMode = true;
    }
    TfrxReport Report;
};
}  // namespace

KAROMIL_IMPLEMENT_CLASS(TTestButtonControl, TfrxDialogControl)
KAROMIL_IMPLEMENT_CLASS(TTestPanelControl, TfrxDialogControl)

TEST_F(DialogTest, PageMirrorsItselfOntoItsWindow) {
    auto* page = new TfrxDialogPage(&Report);
    TfrxDialogForm* form = page->Form();
    EXPECT_TRUE(form->GetKeyPreview());
    EXPECT_EQ(form->GetColor(), clBtnFace);
    EXPECT_EQ(page->GetFont()->GetName(), "Tahoma");
    page->SetCaption("Zadání údajů");
    page->SetBounds(10.6, 20.4, 300.5, 200);
    page->SetColor(clWhite);
    page->GetFont()->SetSize(10);
    EXPECT_EQ(form->GetCaption(), "Zadání údajů");
    EXPECT_EQ(form->GetLeft(), 11);
    EXPECT_EQ(form->GetTop(), 20);
    EXPECT_EQ(form->GetWidth(), 300);  // half to even
    EXPECT_EQ(form->GetColor(), clWhite);
    EXPECT_EQ(form->GetFont()->GetSize(), 10);
    EXPECT_DOUBLE_EQ(page->GetLeft(), 10.6);

    // Until the page routes it to the script, the window refuses to close.
    bool canClose = true;
    form->OnCloseQuery(form, canClose);
    EXPECT_FALSE(canClose);
}

TEST_F(DialogTest, ControlsFindTheirWindowParent) {
    auto* page = new TfrxDialogPage(&Report);
    auto* panel = new TTestPanelControl(page);
    auto* button = new TTestButtonControl(panel);
    EXPECT_EQ(button->Control()->GetParent(), panel->Control());
    EXPECT_EQ(panel->Control()->GetParent(), page->Form());
    button->SetParent(page);
    EXPECT_EQ(button->Control()->GetParent(), page->Form());
    TTestButtonControl loose(nullptr);
    EXPECT_EQ(loose.Control()->GetParent(), frxHiddenHostForm());

    button->SetLeft(10.6);
    EXPECT_DOUBLE_EQ(button->GetLeft(), 10.6);
    EXPECT_EQ(button->Control()->GetLeft(), 11);
    button->SetVisible(false);
    EXPECT_FALSE(button->Control()->GetVisible());
    button->SetCaption("OK");
    EXPECT_EQ(button->Control()->GetText(), "OK");
    button->SetEnabled(false);
    EXPECT_FALSE(button->GetEnabled());
}

TEST_F(DialogTest, WindowEventsRunThePagesProceduresDuringARun) {
    auto* page = new TfrxDialogPage(&Report);
    page->SetName("DialogPage1");
    page->OnShow = "PageShow";
    page->OnKeyPress = "PageKey";
    page->OnCloseQuery = "PageClose";
    Report.GetScriptText()->SetText(
        "var Shown: Integer;\n"
        "procedure PageShow(Sender: TObject); begin Shown := Shown + 1; end;\n"
        "procedure PageKey(Sender: TObject; var Key: String); begin if Key = 'x' then Key := ''; end;\n"
        "procedure PageClose(Sender: TObject; var CanClose: Boolean); begin CanClose := True; end;\n"
        "begin end.");
    ASSERT_TRUE(Report.PrepareScript());
    page->InitDialog();
    TfrxDialogForm* form = page->Form();

    // Not running: nothing is called, the key passes.
    char32_t key = U'x';
    form->OnKeyPress(form, key);
    EXPECT_EQ(key, U'x');

    Report.Engine()->Running = true;
    auto stop = OnScopeExit([this] { Report.Engine()->Running = false; });
    form->OnKeyPress(form, key);
    EXPECT_EQ(key, U'\0');  // the script swallowed it
    key = U'y';
    form->OnKeyPress(form, key);
    EXPECT_EQ(key, U'y');
    bool canClose = false;
    form->OnCloseQuery(form, canClose);
    EXPECT_TRUE(canClose);

    SetShowModalHook([](TCustomForm* f) { f->SetModalResult(mrOk); });
    auto unhook = OnScopeExit([] { SetShowModalHook(nullptr); });
    EXPECT_EQ(page->ShowModal(), mrOk);
    EXPECT_EQ(form->GetFormStyle(), fsStayOnTop);
    EXPECT_EQ(Report.Calc("Shown").AsInteger(), 1);
}

TEST_F(DialogTest, DialogComponentsKeepTheirPlaceOnlyInsideAReport) {
    auto* ds = new TfrxUserDataSet(&Report);
    ds->SetName("Rows");
    ds->SetBounds(10.4, 20.6, 50, 50);
    TMemoryStream ms;
    ds->SaveToStream(&ms);
    const std::string text(static_cast<const char*>(ms.Memory()), size_t(ms.Size()));
    EXPECT_NE(text.find("PropData="), std::string::npos) << text;

    ms.SetPosition(0);
    auto* copy = new TfrxUserDataSet(&Report);
    copy->LoadFromStream(&ms);
    EXPECT_DOUBLE_EQ(copy->GetLeft(), 10);
    EXPECT_DOUBLE_EQ(copy->GetTop(), 21);

    TfrxUserDataSet loose(nullptr);
    loose.SetName("Loose");
    TMemoryStream ms2;
    loose.SaveToStream(&ms2);
    const std::string text2(static_cast<const char*>(ms2.Memory()), size_t(ms2.Size()));
    EXPECT_EQ(text2.find("PropData="), std::string::npos) << text2;
}
