// The designer window: tabs and pages, the prepared-page mode, closing, undo, and the report's
// design loop.

#include <QtCore/QDir>

#include "DesignerFixture.h"
#include "platform/classes/StringList.h"
#include "platform/gui/ActnList.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/ExtCtrls.h"
#include "report/core/frxMemoView.h"
#include "report/core/frxObjects.h"
#include "report/core/frxRes.h"
#include "report/core/frxWindowPlugins.h"
#include "report/designer/frxDesignerTools.h"
#include "report/designer/frxUndoBuffer.h"

std::vector<std::string> DesignerTest::TabCaptions() const {
    std::vector<std::string> captions;
    TStrings* tabs = Form->Tab->GetTabs();
    for (int i = 0; i < tabs->Count(); ++i) captions.push_back(tabs->Get(i));
    return captions;
}

namespace {

// Tab captions: "Kód", then each page's subreport name, own name, or "Strana" + its number.
TEST_F(DesignerTest, TabCaptionsFollowThePages) {
    AddPage("Page1");
    AddPage("");
    TfrxReportPage* sub = AddPage("Page3");
    auto* subreport = new TfrxSubreport(Report.GetPageAt(0));
    subreport->SetName("Subreport1");
    subreport->SetPage(sub);
    Open();
    EXPECT_EQ(TabCaptions(), (std::vector<std::string>{"Kód", "Page1", "Strana2", "Subreport1"}));
    for (int i = 0; i < Report.GetPageCount(); ++i) EXPECT_TRUE(Report.GetPageAt(i)->InDesigner);
}

TEST_F(DesignerTest, ReloadPagesIndexRules) {
    AddPage("A");
    AddPage("B");
    Open();
    struct Case {
        int Index;
        int Page;  // -1: the code page
    };
    const Case cases[] = {{-1, -1}, {1, 1}, {0, 0}, {2, 0}, {7, 0}, {-5, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Index);
        Form->ReloadPages(c.Index);
        EXPECT_EQ(Form->Page, c.Page < 0 ? nullptr : Report.GetPageAt(c.Page));
        EXPECT_EQ(Form->Tab->GetTabIndex(), c.Page + 1);
        EXPECT_EQ(Form->CodePanel->GetVisible(), c.Page < 0);
        EXPECT_EQ(Form->ScrollBoxPanel->GetVisible(), c.Page >= 0);
    }
}

// With a page shown, the objects list holds the page's objects, then the report and the page;
// the selection is the page alone.
TEST_F(DesignerTest, ObjectsAndSelectionOfAPage) {
    TfrxReportPage* page = AddPage("Page1");
    auto* memo = new TfrxMemoView(page);
    memo->SetName("Memo1");
    Open();
    TList* objects = Form->Objects();
    ASSERT_EQ(objects->Count(), 3);
    EXPECT_EQ(objects->Items(0), memo);
    EXPECT_EQ(objects->Items(1), &Report);
    EXPECT_EQ(objects->Items(2), page);
    ASSERT_EQ(Form->SelectedObjects()->Count(), 1);
    EXPECT_EQ(Form->SelectedObjects()->Items(0), page);
    EXPECT_FALSE(Form->DeleteCmd->GetEnabled());  // nothing but the page is selected
}

TEST_F(DesignerTest, DraggingATab) {
    TfrxReportPage* a = AddPage("A");
    TfrxReportPage* b = AddPage("B");
    TfrxReportPage* c = AddPage("C");
    Open();
    Form->MoveCurrentTab(0);  // tab 0 is the code: nothing
    EXPECT_EQ(Report.GetPageAt(0), a);
    EXPECT_FALSE(Form->Modified);
    Form->MoveCurrentTab(3);
    EXPECT_EQ(Report.GetPageAt(0), b);
    EXPECT_EQ(Report.GetPageAt(1), c);
    EXPECT_EQ(Report.GetPageAt(2), a);
    EXPECT_EQ(TabCaptions(), (std::vector<std::string>{"Kód", "B", "C", "A"}));
    EXPECT_EQ(Form->Tab->GetTabIndex(), 3);
    EXPECT_EQ(Form->Page, a);
    EXPECT_TRUE(Form->Modified);
}

// The window sees keys first: Ctrl+E on a page shows the code.
TEST_F(DesignerTest, CtrlEShowsTheCode) {
    Open();
    TestKit::ShowAndActivate(Form.get());
    TestKit::ProcessEvents();
    ASSERT_NE(Form->Page, nullptr);
    TestKit::Key(Qt::Key_E, Qt::ControlModifier);
    TestKit::ProcessEvents();
    EXPECT_EQ(Form->Page, nullptr);
    EXPECT_EQ(Form->Tab->GetTabIndex(), 0);
    EXPECT_TRUE(Form->CodePanel->GetVisible());
}

TEST_F(DesignerTest, TabScrollPositionsGuardTheirRange) {
    Open();
    EXPECT_EQ(Form->TabScrollPositions()->Count(), 256);
    Form->StoreScrollPosition(1);
    EXPECT_EQ(Form->TabScrollPositions()->Get(1), "0:0");
    for (int tab : {-1, 0, 255, 256, 1000}) {
        Form->StoreScrollPosition(tab);  // nothing happens, and nothing breaks
        Form->RestoreScrollPosition(tab);
    }
    EXPECT_EQ(Form->TabScrollPositions()->Count(), 256);
}

// The prepared-page designer: its own restrictions while it lives, no tab changes, no undo.
TEST_F(DesignerTest, PreparedPageRefusals) {
    TfrxDesigner host(nullptr);
    AddPage("Page1");
    AddPage("Page2");
    Open(true);
    ASSERT_NE(frxActiveDesignerComponent(), &host);
    for (TfrxDesignerRestriction r : {drDontDeletePage, drDontCreatePage, drDontCreateReport, drDontLoadReport,
             drDontPreviewReport, drDontEditVariables, drDontChangeReportOptions})
        EXPECT_FALSE(Form->CheckOp(r)) << r;
    EXPECT_TRUE(Form->CheckOp(drDontSaveReport));
    EXPECT_FALSE(Form->OpenCmd->GetEnabled());
    EXPECT_FALSE(Form->NewReportCmd->GetEnabled());
    EXPECT_FALSE(Form->ObjectBandB->GetEnabled());

    // A click on the second page's tab does not switch.
    TestKit::ShowAndActivate(Form.get());
    const TRect r = Form->Tab->TabRect(2);
    TestKit::Click(Form->Tab, {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2});
    TestKit::ProcessEvents();
    EXPECT_EQ(Form->Page, Report.GetPageAt(0));

    static_cast<TfrxComponent*>(Report.GetPageAt(0))->SetName("Changed");
    Form->SetModified(true);
    Form->Undo();
    EXPECT_EQ(Report.GetPageAt(0)->GetName(), "Changed");

    Form.reset();
    EXPECT_EQ(frxActiveDesignerComponent(), &host);  // the host's options are back
}

// The close question, answered through the message-box responder.
TEST_F(DesignerTest, CloseQuestionMatrix) {
    struct Case {
        const char* Name;
        bool PreparedPage;
        bool Modified;
        bool HostSaysNoQuestion;
        bool DontSave;
        int Answer;
        bool Closes;
        bool ModifiedAfter;
        const char* Question;  // nullptr: no question
    };
    const Case cases[] = {
        {"unchanged", false, false, false, false, IDYES, true, false, nullptr},
        {"host turned the question off", false, true, true, false, IDYES, true, true, nullptr},
        {"saving is restricted", false, true, false, true, IDYES, true, true, nullptr},
        {"report, No", false, true, false, false, IDNO, true, false, "Potvrdit: Uložit změny do r.fr3?"},
        {"report, Cancel", false, true, false, false, IDCANCEL, false, true, "Potvrdit: Uložit změny do r.fr3?"},
        {"report, Yes", false, true, false, false, IDYES, true, true, "Potvrdit: Uložit změny do r.fr3?"},
        {"prepared page, No", true, true, false, false, IDNO, true, false,
            "Potvrdit: Uložit změny do stránky předtisku?"},
        {"prepared page, Yes", true, true, false, false, IDYES, true, true,
            "Potvrdit: Uložit změny do stránky předtisku?"},
        {"prepared page, Cancel", true, true, false, false, IDCANCEL, false, true,
            "Potvrdit: Uložit změny do stránky předtisku?"},
    };
    TempFolder folder;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        std::unique_ptr<TfrxDesigner> host;
        if (c.HostSaysNoQuestion || c.DontSave) {
            host = std::make_unique<TfrxDesigner>(nullptr);
            host->CloseQuery = !c.HostSaysNoQuestion;
            if (c.DontSave) host->Restrictions = {drDontSaveReport};
        }
        Report.Clear();
        Report.FileName = folder.File("r.fr3");
        Open(c.PreparedPage);
        if (c.Modified) Form->SetModified(true);
        Boxes.clear();
        Answers = {c.Answer};
        Form->Close();
        EXPECT_EQ(Form->IsClosed, c.Closes);
        EXPECT_EQ(Form->Modified, c.ModifiedAfter);
        if (c.Question) EXPECT_EQ(Boxes, std::vector<std::string>{c.Question});
        else EXPECT_TRUE(Boxes.empty());
        Form.reset();
        host.reset();
    }
}

// Sound: Save stays disabled under the save restriction, modified or not.
TEST_F(DesignerTest, SaveStaysOffWhenSavingIsRestricted) {
    TfrxDesigner host(nullptr);
    host.Restrictions = {drDontSaveReport};
    Open();
    EXPECT_FALSE(Form->SaveAsCmd->GetEnabled());
    Form->DoModify(Form.get());  // a change the window reports itself: no UpdateControls
    EXPECT_TRUE(Form->Modified);
    EXPECT_FALSE(Form->SaveCmd->GetEnabled());
    EXPECT_FALSE(Form->SaveB->GetEnabled());
    Form->SaveCmd->Execute();
    EXPECT_TRUE(Dialogs.empty());
}

// Sound: answering Yes and then not saving (the save dialog cancelled) keeps the window open
// with the changes, instead of closing and losing them.
TEST_F(DesignerTest, YesWithoutASaveKeepsTheWindowOpen) {
    Open();
    Form->SetModified(true);
    Answers = {IDYES};
    Form->Close();
    EXPECT_FALSE(Form->IsClosed);
    EXPECT_TRUE(Form->Modified);
    ASSERT_EQ(Dialogs.size(), 1u);
    EXPECT_EQ(Dialogs[0].Kind, TDialogCall::dkSave);
}

TEST_F(DesignerTest, UndoAndRedoThroughTheWindow) {
    TfrxReportPage* page = AddPage("Page1");
    AddPage("Page2");
    auto* memo = new TfrxMemoView(page);
    memo->SetName("Memo1");
    Open();
    Form->ReloadPages(1);
    EXPECT_FALSE(Form->UndoCmd->GetEnabled());
    static_cast<TfrxComponent*>(Report.FindObject("Memo1"))->SetLeft(50);
    Form->DoModify(nullptr);
    EXPECT_TRUE(Form->UndoCmd->GetEnabled());
    Form->Undo();
    EXPECT_DOUBLE_EQ(static_cast<TfrxComponent*>(Report.FindObject("Memo1"))->GetLeft(), 0);
    EXPECT_EQ(Form->Page, Report.GetPageAt(1));  // the page shown before stays shown
    EXPECT_FALSE(Form->UndoCmd->GetEnabled());
    EXPECT_TRUE(Form->RedoCmd->GetEnabled());
    Form->Redo();
    EXPECT_DOUBLE_EQ(static_cast<TfrxComponent*>(Report.FindObject("Memo1"))->GetLeft(), 50);
    EXPECT_EQ(Form->UndoBuffer()->RedoCount(), 0);
}

// DesignReport: a report without pages gets "Page1"; the window's Modified becomes the
// report's; the window is freed.
TEST_F(DesignerTest, DesignReportRunsTheWindowUntilItCloses) {
    TTimer closer(nullptr);
    closer.SetInterval(10);
    bool sawTabs = false;
    closer.OnTimer = [&](TObject*) {
        auto* f = dynamic_cast<TfrxDesignerForm*>(Report.Designer);
        if (!f) return;
        closer.SetEnabled(false);
        sawTabs = f->Tab->GetTabs()->Count() == 2 && f->Tab->GetTabs()->Get(0) == "Kód" &&
            f->Tab->GetTabs()->Get(1) == "Page1" && f->Page == Report.GetPageAt(0);
        f->SetModified(true);
        Answers = {IDNO};
        f->Close();
    };
    closer.SetEnabled(true);
    Report.DesignReport();
    EXPECT_TRUE(sawTabs);
    EXPECT_EQ(Report.Designer, nullptr);
    EXPECT_EQ(Report.GetPageCount(), 1);
    EXPECT_EQ(Report.GetPageAt(0)->GetName(), "Page1");
    EXPECT_FALSE(Report.DesignModified);  // answered No
}

}  // namespace
