// The preview window over a real report run: the window opens before the pages are built,
// shows the report's progress text, and closing it in the middle of a long run stops the run
// and keeps the pages built so far.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "platform/gui/Application.h"
#include "platform/gui/Buttons.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/TestKit.h"
#include "platform/printing/RecordingBackend.h"
#include "platform/rtl/ScopeGuard.h"
#include "report/core/frxBands.h"
#include "report/core/frxMemoView.h"
#include "report/core/frxPreviewPages.h"
#include "report/core/frxReport.h"
#include "report/core/frxPrinter.h"
#include "report/core/frxReportPage.h"
#include "report/output/frxPageSettings.h"
#include "report/output/frxPreview.h"
#include "report/output/frxPreviewForm.h"
#include "report/output/frxPreviewWorkspace.h"
#include "tests/report/core/FakeDesigner.h"

namespace {
constexpr int kRows = 400;  // ten rows a page: forty pages when nothing stops the run

// A report whose one data band prints kRows rows, each a line of text.
void BuildLongReport(TfrxReport& report) {
    report.GetEngineOptions()->SilentMode = true;
    auto* page = new TfrxReportPage(&report);
    page->SetName("Page1");
    page->SetPaperSize(9);
    page->LeftMargin = page->RightMargin = page->TopMargin = page->BottomMargin = 10;
    auto* band = new TfrxMasterData(page);
    band->SetName("MasterData1");
    band->SetBounds(0, 0, 718, 100);
    band->SetRowCount(kRows);
    auto* memo = new TfrxMemoView(band);
    memo->SetName("Memo1");
    memo->SetBounds(0, 0, 400, 20);
    memo->SetText("Řádek [Line]");
}
}  // namespace

TEST(PreviewRun, ClosingDuringALongRunStopsItAndKeepsThePagesBuilt) {
    TestKit::EnsureApplication();
    frxRegisterPreview();
    auto unregister = OnScopeExit([] {
        frxPreviewWindow() = nullptr;
        frxPreviewWindowMessage() = nullptr;
    });
    std::vector<std::string> boxes;
    SetMessageBoxHandler([&](const std::string& text, const std::string&, UINT) {
        boxes.push_back(text);
        return IDOK;
    });
    auto noBoxes = OnScopeExit([] { SetMessageBoxHandler(nullptr); });
    for (const bool modal : {true, false}) {
        TfrxReport report;
        BuildLongReport(report);
        report.GetEngineOptions()->SilentMode = false;  // a silent run shows no progress text
        report.GetPreviewOptions()->Modal = modal;
        report.GetPreviewOptions()->Maximized = false;
        std::string statusDuringRun, cancelCaption;
        int closedAt = 0;
        report.OnProgress = [&](TfrxReport* r, TfrxProgressType type, int progress) {
            if (type != ptRunning || !r->PreviewForm) return;
            auto* form = static_cast<TfrxPreviewForm*>(r->PreviewForm);
            if (progress == 5) {
                r->ShowProgressText("Načítám známky žáků…");
                statusDuringRun = form->StatusBar->GetPanels()->Items(1)->GetText();
            }
            if (progress == 12 && closedAt == 0) {
                cancelCaption = form->CancelB->GetCaption();
                closedAt = progress;
                form->Perform(WM_CLOSE);  // the window's close box
                EXPECT_TRUE(form->GetVisible()) << "a window under construction stays until the run stops";
            }
        };
        report.ShowReport();  // a modal window returns once closed; a modeless one is driven below
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (report.GetPreview() && std::chrono::steady_clock::now() < deadline) {
            TestKit::ProcessEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }

        EXPECT_EQ(closedAt, 12) << modal;
        EXPECT_EQ(statusDuringRun, "Načítám známky žáků…") << modal;
        EXPECT_EQ(cancelCaption, "Zrušit") << modal;
        EXPECT_EQ(report.GetPreview(), nullptr) << "the window is gone and unlinked; modal " << modal;
        EXPECT_EQ(report.PreviewForm, nullptr) << modal;
        EXPECT_TRUE(report.Terminated) << modal;
        // What was built before the stop is kept, whole; the rest was never built.
        const int pages = report.PreviewPages()->GetCount();
        EXPECT_GE(pages, 12) << modal;
        EXPECT_LT(pages, kRows / 10) << modal;
        // The report itself is as it was: it runs again to the end.
        report.OnProgress = nullptr;
        report.GetPreviewOptions()->Modal = true;
        frxPreviewWindow() = nullptr;  // prepare only
        ASSERT_TRUE(report.PrepareReport(true)) << report.ErrorList->Text();
        EXPECT_EQ(report.PreviewPages()->GetCount(), kRows / 10);
        frxRegisterPreview();
    }
    EXPECT_TRUE(boxes.empty());
}

// --- commands that change prepared pages ---------------------------------------------------------

namespace {
class PreviewCommands : public ::testing::Test {
protected:
    void SetUp() override {
        TestKit::EnsureApplication();
        printers.AddPrinter({"Kancelář", "", true}, FixturePrinterCaps());
        SetPrintBackend(&printers);
        frxFreePrinters();
        SetMessageBoxHandler([this](const std::string& text, const std::string&, UINT) {
            Messages.push_back(text);
            return IDOK;
        });
        BuildLongReport(report);
        static_cast<TfrxMasterData*>(report.FindObject("MasterData1"))->SetRowCount(25);  // three pages
        ASSERT_TRUE(report.PrepareReport(true));
        host = new TForm(nullptr);
        host->SetBounds(0, 0, 800, 600);
        preview = new TfrxPreview(host);
        preview->SetParent(host);
        preview->SetAlign(alClient);
        TestKit::ShowAndActivate(host);
        report.SetPreview(preview);
        preview->SetPageNo(2);
    }
    void TearDown() override {
        SetShowModalHook(nullptr);
        SetMessageBoxHandler(nullptr);
        frxDesignerClass() = nullptr;
        delete host;  // unlinks the preview from the report
        frxFreePrinters();
        SetPrintBackend(nullptr);
    }
    TfrxReportPage* Prepared(int index) { return report.PreviewPages()->GetPage(index); }
    static TfrxMemoView* FirstMemo(TfrxComponent* page) {
        TList* all = page->GetAllObjects();
        for (int i = 0; i < all->Count(); ++i)
            if (auto* m = dynamic_cast<TfrxMemoView*>(static_cast<TfrxComponent*>(all->Items(i)))) return m;
        return nullptr;
    }
    TRecordingBackend printers;
    TfrxReport report;
    TForm* host = nullptr;
    TfrxPreview* preview = nullptr;
    std::vector<std::string> Messages;
};
}  // namespace

TEST_F(PreviewCommands, PageSettingsChangeTheShownPageOrEveryPage) {
    SetShowModalHook([](TCustomForm* form) {
        auto* f = dynamic_cast<TfrxPageSettingsForm*>(form);
        ASSERT_NE(f, nullptr);
        f->MarginLeftE->SetText("2");
        f->ApplyToCurRB->SetChecked(true);
        f->OKB->Click();
    });
    preview->PageSetupDlg();
    EXPECT_DOUBLE_EQ(Prepared(1)->LeftMargin, 20);
    EXPECT_DOUBLE_EQ(Prepared(0)->LeftMargin, 10);
    EXPECT_EQ(preview->GetPageNo(), 2);
    EXPECT_FALSE(preview->Locked);

    SetShowModalHook([](TCustomForm* form) {
        auto* f = static_cast<TfrxPageSettingsForm*>(form);
        f->MarginTopE->SetText("3");
        f->ApplyToAllRB->SetChecked(true);
        f->OKB->Click();
    });
    preview->PageSetupDlg();  // the design pages take it and the report is built anew
    EXPECT_DOUBLE_EQ(static_cast<TfrxReportPage*>(report.GetPageAt(0))->TopMargin, 30);
    ASSERT_EQ(preview->PageCount(), 3);
    for (int i = 0; i < 3; ++i) EXPECT_DOUBLE_EQ(Prepared(i)->TopMargin, 30) << i;
    EXPECT_EQ(preview->Workspace()->PageList()->Count(), 3);

    SetShowModalHook([](TCustomForm* form) {
        auto* f = static_cast<TfrxPageSettingsForm*>(form);
        f->MarginTopE->SetText("5");
        f->CancelB->Click();
    });
    preview->PageSetupDlg();
    EXPECT_DOUBLE_EQ(Prepared(0)->TopMargin, 30);
}

TEST_F(PreviewCommands, EditingAPageWithoutADesignerSaysSoAndChangesNothing) {
    const std::string before = FirstMemo(Prepared(1))->GetText();
    preview->Edit();
    preview->EditTemplate();
    ASSERT_EQ(Messages.size(), 2u);
    EXPECT_NE(Messages[0].find("Návrhář"), std::string::npos);
    EXPECT_EQ(FirstMemo(Prepared(1))->GetText(), before);
}

TEST_F(PreviewCommands, EditingAPageHandsTheDesignerAFlatCopyAndStoresTheChange) {
    frxDesignerClass() = [](TComponent*, TfrxReport* r, bool previewDesigner) {
        auto* d = new TFakeDesigner(r, previewDesigner);
        EXPECT_TRUE(previewDesigner);
        EXPECT_EQ(r->GetPageCount(), 1);
        TfrxComponent* page = r->GetPageAt(0);
        for (int i = 0; i < page->ChildCount(); ++i)
            EXPECT_EQ(dynamic_cast<TfrxBand*>(page->Child(i)), nullptr) << "bands are gone";
        TfrxMemoView* memo = FirstMemo(page);
        EXPECT_EQ(memo->GetParent(), page);
        double lowest = 0;  // each row's text at its row's place on the page
        for (int i = 0; i < page->ChildCount(); ++i) lowest = std::max(lowest, page->Child(i)->GetTop());
        EXPECT_DOUBLE_EQ(lowest, 900);
        memo->SetText("Opraveno ručně");
        d->SetModified(true);
        d->IsClosed = true;
        return d;
    };
    preview->Edit();
    EXPECT_EQ(FirstMemo(Prepared(1))->GetText(), "Opraveno ručně");
    EXPECT_NE(FirstMemo(Prepared(0))->GetText(), "Opraveno ručně");
    EXPECT_EQ(preview->GetPageNo(), 2);
    EXPECT_TRUE(Messages.empty());
}

TEST_F(PreviewCommands, TheTemplateIsLentToTheDesignerAndSurvives) {
    auto* pages = static_cast<TfrxPreviewPages*>(report.PreviewPages());
    ASSERT_GT(pages->SourcePageCount(), 0);
    TfrxComponent* source = pages->SourcePage(0);
    int seen = 0;
    frxDesignerClass() = [&](TComponent*, TfrxReport* r, bool previewDesigner) {
        auto* d = new TFakeDesigner(r, previewDesigner);
        seen = r->GetPageCount();
        EXPECT_EQ(r->GetPageAt(0), source);
        d->IsClosed = true;
        return d;
    };
    preview->EditTemplate();
    EXPECT_EQ(seen, pages->SourcePageCount());
    EXPECT_EQ(pages->SourcePage(0), source);
    EXPECT_NE(FirstMemo(source), nullptr);
}
