// Prepared pages going out: a page drawn on a canvas, printed through the recording printer
// back end (ranges, copies, reverse, cancel), exported through a filter, and the preview's
// clicks on links.
#include <gtest/gtest.h>

#include "PreparedFixture.h"
#include "platform/gui/Bitmaps.h"
#include "platform/gui/Shell.h"
#include "platform/gui/TestKit.h"
#include "platform/printing/RecordingBackend.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/ScopeGuard.h"
#include "report/core/frxPrinter.h"
#include "report/core/frxReport.h"
#include "report/core/frxWindowPlugins.h"

namespace {

class TFakePreview : public TfrxCustomPreview {
public:
    explicit TFakePreview() : TfrxCustomPreview(nullptr) {}
    void Init() override {}
    void Lock() override { ++Locks; }
    void Unlock() override {}
    void InternalOnProgressStart(TfrxReport*, TfrxProgressType, int) override {}
    void InternalOnProgress(TfrxReport*, TfrxProgressType, int) override {}
    void InternalOnProgressStop(TfrxReport*, TfrxProgressType, int) override {}
    void SetPageNo(int value) override { Log += "page " + std::to_string(value) + ";"; }
    void SetPosition(int pageN, int top) override {
        Log += "pos " + std::to_string(pageN) + "/" + std::to_string(top) + ";";
    }
    void HideMessage() override { Log += "hide;"; }
    std::string Log;
    int Locks = 0;
};

class TRecFilter : public TfrxCustomExportFilter {
public:
    TRecFilter() : TfrxCustomExportFilter(nullptr) { SetShowDialog(false); }
    bool Start() override {
        Log += "start;";
        return StartResult;
    }
    void StartPage(TfrxReportPage*, int index) override { Log += "page" + std::to_string(index) + ";"; }
    void ExportObject(TfrxComponent* obj) override {
        if (obj->GetName() == FailOn) throw Exception("Disk je plný");
        Log += obj->GetName() == "_pagebackground" ? std::string("bg;") : obj->GetName() + ";";
    }
    void FinishPage(TfrxReportPage*, int index) override { Log += "end" + std::to_string(index) + ";"; }
    void Finish() override { Log += "finish"; }
    bool StartResult = true;
    std::string FailOn;
    std::string Log;
};

// Five pages, one text each; the text of page n reads "n".
class PreparedOutput : public ::testing::Test {
protected:
    void SetUp() override {
        TestKit::EnsureApplication();
        RegisterPreparedTestClasses();
        report.ShowProgress = false;
        report.GetEngineOptions()->SilentMode = true;
        report.Engine()->FinalPass = true;
        design = new TfrxReportPage(&report);
        design->SetName("Page1");
        design->LeftMargin = design->TopMargin = 10;
        design->RightMargin = 20;
        box = new TPBox(design);
        box->SetName("Box1");
        box->SetBounds(0, 0, 700, 100);
        text = new TPText(box);
        text->SetName("Text1");
        text->SetBounds(10, 10, 200, 20);
        pages = static_cast<TfrxPreviewPages*>(report.PreviewPages());
        pages->AddSourcePage(AsPage(design));
        for (int i = 1; i <= 5; ++i) {
            pages->AddPage(AsPage(design));
            text->Caption = std::to_string(i);
            pages->AddObject(box);
        }
        rec.AddPrinter({"Fixture", "", true}, FixturePrinterCaps(96));
        SetPrintBackend(&rec);
        frxFreePrinters();
        report.GetPrintOptions()->ShowDialog = false;
        report.OnProgress = [this](TfrxReport*, TfrxProgressType type, int n) {
            if (type != ptPrinting) return;
            Printed += std::to_string(n);
            if (n == CancelAt) report.SetTerminated(true);
        };
    }
    void TearDown() override {
        frxPrintDialogClass() = nullptr;
        frxFreePrinters();
        SetPrintBackend(nullptr);
    }
    TRecordingBackend rec;
    TfrxReport report;
    TfrxReportPage* design;
    TPBox* box;
    TPText* text;
    TfrxPreviewPages* pages;
    std::string Printed;
    int CancelAt = 0;
};

}  // namespace

TEST_F(PreparedOutput, PageDrawnAtItsPlaceMirroredOnOddPages) {
    TBitmap bmp;
    bmp.SetSize(400, 200);
    bmp.Canvas()->Brush()->SetColor(clWhite);
    bmp.Canvas()->FillRect(Rect(0, 0, 400, 200));
    pages->DrawPage(0, bmp.Canvas(), 1, 1, 0, 0);
    // 10 mm margin = 37.8 px, the text 10 px further: 48 to 248 across, 48 to 68 down.
    EXPECT_EQ(bmp.GetPixel(50, 50), clRed);
    EXPECT_EQ(bmp.GetPixel(45, 50), clWhite);
    EXPECT_EQ(bmp.GetPixel(50, 70), clWhite);

    design->MirrorMargins = true;
    pages->Clear();
    pages->AddSourcePage(AsPage(design));
    for (int i = 0; i < 2; ++i) {
        pages->AddPage(AsPage(design));
        pages->AddObject(box);
    }
    bmp.Canvas()->Brush()->SetColor(clWhite);
    bmp.Canvas()->FillRect(Rect(0, 0, 400, 200));
    pages->DrawPage(1, bmp.Canvas(), 1, 1, 0, 0);  // the second page: 20 mm on the left
    EXPECT_EQ(bmp.GetPixel(60, 50), clWhite);
    EXPECT_EQ(bmp.GetPixel(88, 50), clRed);
    EXPECT_DOUBLE_EQ(pages->GetPage(1)->LeftMargin, 10);  // put back
}

TEST_F(PreparedOutput, AnObjectBeyondAnyDeviceIsLeftOutAndTheRestDrawn) {
    // Found by fuzzing a damaged prepared report: a position of 1e30 was turned into an int.
    pages->Clear();
    pages->AddSourcePage(AsPage(design));
    pages->AddPage(AsPage(design));
    text->SetLeft(1e30);
    auto* second = new TPText(box);
    second->SetName("Text2");
    second->SetBounds(10, 40, 200, 20);  // 78 to 98 down
    pages->AddObject(box);
    TBitmap bmp;
    bmp.SetSize(400, 200);
    bmp.Canvas()->Brush()->SetColor(clWhite);
    bmp.Canvas()->FillRect(Rect(0, 0, 400, 200));
    pages->DrawPage(0, bmp.Canvas(), 1, 1, 0, 0);
    EXPECT_EQ(bmp.GetPixel(50, 50), clWhite);
    EXPECT_EQ(bmp.GetPixel(50, 85), clRed);
}

TEST_F(PreparedOutput, PrintRangesCopiesAndReverse) {
    struct Case {
        const char* numbers;
        TfrxPrintPages kind;
        bool reverse, collate;
        int copies;
        const char* printed;
        size_t jobPages;
        int printerCopies;
    } cases[] = {
        {"", ppAll, false, true, 1, "12345", 5, 1}, {"2-", ppAll, false, true, 1, "2345", 4, 1},
        {"2-", ppEven, true, true, 1, "42", 2, 1}, {"1-3", ppAll, false, true, 2, "123123", 6, 1},
        {"1-3", ppAll, false, false, 2, "123", 3, 2}, {"1-999999999", ppOdd, false, true, 1, "135", 3, 1},
        {"9", ppAll, false, true, 1, "", 0, 1},  // beyond the last page: nothing
    };
    for (const Case& c : cases) {
        TfrxPrintOptions* po = report.GetPrintOptions();
        po->PageNumbers = c.numbers;
        po->PrintPages = c.kind;
        po->Reverse = c.reverse;
        po->Collate = c.collate;
        po->Copies = c.copies;
        Printed.clear();
        const size_t jobs = rec.Jobs().size();
        EXPECT_TRUE(pages->Print()) << c.numbers;
        EXPECT_EQ(Printed, c.printed) << c.numbers;
        if (c.jobPages == 0) {
            EXPECT_EQ(rec.Jobs().size(), jobs);
            continue;
        }
        ASSERT_EQ(rec.Jobs().size(), jobs + 1);
        const TRecordedJob& job = rec.Jobs().back();
        EXPECT_TRUE(job.Ended);
        EXPECT_EQ(job.Pages.size(), c.jobPages) << c.numbers;
        EXPECT_EQ(job.Pages[0].Mode.dmCopies, c.printerCopies) << c.numbers;
        EXPECT_GT(job.Pages[0].Size(), 0);  // the text was drawn
    }
}

TEST_F(PreparedOutput, PrintCancelledAndDialogChoices) {
    bool after = false;
    report.OnAfterPrintReport = [&](TObject*) { after = true; };
    CancelAt = 2;
    EXPECT_FALSE(pages->Print());
    EXPECT_EQ(Printed, "12");
    ASSERT_EQ(rec.Jobs().size(), 1u);
    EXPECT_TRUE(rec.Jobs()[0].Aborted);
    EXPECT_FALSE(rec.Jobs()[0].Ended);
    EXPECT_TRUE(after);
    CancelAt = 0;

    // The dialog: cancelled prints nothing; "current page" prints the preview's page.
    report.GetPrintOptions()->ShowDialog = true;
    frxPrintDialogClass() = [](TfrxReport*, TfrxPrintDialogValues&) { return false; };
    Printed.clear();
    EXPECT_FALSE(pages->Print());
    EXPECT_EQ(rec.Jobs().size(), 1u);
    frxPrintDialogClass() = [](TfrxReport*, TfrxPrintDialogValues& v) {
        EXPECT_EQ(v.Printer, "Fixture");
        v.Range = TfrxPrintDialogValues::prCurrent;
        v.Copies = 0;  // below 1 counts as 1
        return true;
    };
    pages->PreviewPageNo = 4;
    EXPECT_TRUE(pages->Print());
    EXPECT_EQ(Printed, "4");

    // A refused job raises; the document is ended once and the after-print event still runs.
    after = false;
    rec.FailNextEndDoc = "Tiskárna odmítla úlohu";
    EXPECT_THROW(pages->Print(), Exception);
    EXPECT_TRUE(after);
    EXPECT_FALSE(frxGetPrinters()->GetCurrentPrinter()->Printing());
}

TEST_F(PreparedOutput, ExportDrivesTheFilterInOrder) {
    TRecFilter filter;
    EXPECT_FALSE(pages->Export(nullptr));
    filter.PageNumbers = "2,4";
    EXPECT_TRUE(pages->Export(&filter));
    EXPECT_EQ(filter.Log, "start;page1;bg;Box1;Text1;end1;page3;bg;Box1;Text1;end3;finish");
    EXPECT_EQ(filter.Report, &report);

    TRecFilter refused;
    refused.StartResult = false;
    EXPECT_FALSE(pages->Export(&refused));
    EXPECT_EQ(refused.Log, "start;");

    TRecFilter failing;
    failing.FailOn = "Text1";
    TFakePreview preview;
    report.SetPreview(&preview);
    EXPECT_FALSE(pages->Export(&failing));
    EXPECT_EQ(failing.Log, "start;page0;bg;Box1;finish");
    EXPECT_GE(report.ErrorList->IndexOf("Disk je plný"), 0);
    EXPECT_EQ(preview.Log, "hide;");
    EXPECT_EQ(preview.Locks, 1);

    TRecFilter current;
    current.CurrentPageOnly = true;
    pages->PreviewPageNo = 5;
    EXPECT_TRUE(pages->Export(&current));
    EXPECT_EQ(current.Log, "start;page4;bg;Box1;Text1;end4;finish");
    report.SetPreview(nullptr);

    TfrxReport empty;
    empty.ShowProgress = false;
    TRecFilter none;
    EXPECT_TRUE(empty.PreviewPages()->Export(&none));
    EXPECT_EQ(none.Log, "start;finish");
}

TEST_F(PreparedOutput, ClicksFollowOnlySafeLinksOnTheTopmostObject) {
    std::vector<std::string> opened;
    SetShellLauncher([&](const std::string& t) {
        opened.push_back(t);
        return true;
    });
    auto restore = OnScopeExit([] { SetShellLauncher(nullptr); });
    TFakePreview preview;
    report.SetPreview(&preview);
    auto unlink = OnScopeExit([&] { report.SetPreview(nullptr); });
    report.Engine()->CurY = 77;

    // Page 1: a link at (48,48)-(248,68) and, over its right half, another one later in order.
    pages->Clear();
    pages->AddSourcePage(AsPage(design));
    pages->AddPage(AsPage(design));
    pages->AddAnchor("Známky");
    auto* top = new TPText(box);
    top->SetName("Top");
    top->SetBounds(110, 10, 100, 20);
    struct Case {
        const char* under;
        const char* over;
        int x;
        const char* log;
        size_t opened;
    } cases[] = {
        {"@3", "#Známky", 60, "page 3;", 0},
        {"@3", "#známky", 200, "pos 1/77;", 0},  // only the topmost one
        {"@x3", "", 60, "", 0},  // a bad page link is ignored
        {"https://skola.cz/", "", 60, "", 1},
        {"file:///etc/passwd", "", 60, "", 0},
        {"/usr/bin/xterm", "", 60, "", 0},
    };
    for (const Case& c : cases) {
        pages->DeletePage(0);
        pages->AddPage(AsPage(design));
        text->URL = c.under;
        top->URL = c.over;
        pages->AddObject(box);
        pages->DeletePage(0);
        preview.Log.clear();
        opened.clear();
        TCursor cursor = crDefault;
        pages->ObjectOver(0, c.x, 55, mbLeft, {}, 1, 0, 0, true, cursor);
        EXPECT_EQ(preview.Log, c.log) << c.under;
        EXPECT_EQ(opened.size(), c.opened) << c.under;
        if (*c.under) {
            EXPECT_EQ(cursor, crHandPoint) << c.under;
        }
    }
    delete top;

    // Moving over an object: its cursor and the mouse-over event, no click.
    TfrxView* over = nullptr;
    report.OnMouseOverObject = [&](TfrxView* v) { over = v; };
    TCursor cursor = crDefault;
    pages->ObjectOver(0, 60, 55, mbLeft, {}, 1, 0, 0, false, cursor);
    EXPECT_NE(over, nullptr);
    over = nullptr;
    pages->ObjectOver(0, 5, 5, mbLeft, {}, 1, 0, 0, false, cursor);  // in the margin
    EXPECT_EQ(over, nullptr);

    // A click whose event changes the object stores the changed page.
    report.OnClickObject = [](TfrxView* v, TMouseButton, TShiftState, bool& modified) {
        if (auto* t = dynamic_cast<TPText*>(v)) t->Caption = "kliknuto";
        modified = true;
    };
    pages->ObjectOver(0, 60, 55, mbLeft, {}, 1, 0, 0, true, cursor);
    EXPECT_EQ(static_cast<TPText*>(frxPageComponent(pages->GetPage(0))->FindObject("Text1"))->Caption, "kliknuto");
}
