// A real print: a private CUPS server with a PDF queue, two pages printed through the report
// layer's printer the way a user's print goes, and the PDF that comes out read back.
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "platform/gui/TestKit.h"
#include "platform/printing/Printing.h"
#include "report/core/frxBands.h"
#include "report/core/frxMemoView.h"
#include "report/core/frxOptions.h"
#include "report/core/frxPreviewPages.h"
#include "report/core/frxPrinter.h"
#include "report/core/frxReport.h"
#include "report/core/frxReportPage.h"
#include "tests/common/PrivateCups.h"

namespace {
// Each test prints through its own server; the report layer forgets the printers it listed.
class CupsPrint : public ::testing::Test {
protected:
    void SetUp() override {
        TestKit::EnsureApplication();
        KAROMIL_CUPS_OR_SKIP(cups);
        ASSERT_TRUE(cups.Start(KAROMIL_TEST_PPD)) << cups.Error;
        frxFreePrinters();
    }
    void TearDown() override { frxFreePrinters(); }
    testsupport::TPrivateCups cups;
};
}  // namespace

TEST_F(CupsPrint, TwoPagesThroughTheReportPrinterReachAPdfQueue) {

    // The report layer enumerates on first use and makes the only printer current.
    TfrxPrinters* printers = frxGetPrinters();
    ASSERT_TRUE(printers->HasPhysicalPrinters());
    const int index = printers->IndexOf("karomil");
    ASSERT_GE(index, 0);
    printers->SetPrinterIndex(index);
    TfrxCustomPrinter* printer = printers->GetCurrentPrinter();
    ASSERT_TRUE(printer->Initialized());
    EXPECT_EQ(printer->DPIY(), 600);
    EXPECT_GE(printer->PaperIndex(9), 0);  // A4 from the queue's media
    EXPECT_GE(printer->BinIndex(1), 0);  // "Tray1" is bin 1
    EXPECT_EQ(printer->DefPaper(), 9);
    EXPECT_NEAR(printer->DefPaperWidth(), 210, 0.2);

    printer->SetTitle("Vysvědčení");
    printer->BeginDoc();
    for (int page = 1; page <= 2; ++page) {
        printer->SetPrintParams(9, poPortrait, 210, 297, page == 1 ? 1 : 7, 1, 1);
        EXPECT_NEAR(printer->LeftMargin(), 5.0, 0.1);  // 14.17 pt
        printer->BeginPage();
        TCanvas* c = printer->Canvas();
        c->Font()->SetName("Arial");
        c->Font()->SetSize(14);
        c->TextOut(200, 200, "Vysvědčení – strana " + std::to_string(page));
        c->TextOut(200, 600, "Žluťoučký kůň úpěl ďábelské ódy");
        c->Pen()->SetStyle(psDash);
        c->MoveTo(200, 900);
        c->LineTo(2000, 1400);
        printer->EndPage();
    }
    printer->EndDoc();
    EXPECT_FALSE(printer->Printing());

    ASSERT_TRUE(cups.WaitForJobs()) << cups.Error;
    const std::string info = cups.Info(cups.Output);
    EXPECT_TRUE(std::regex_search(info, std::regex("Pages:\\s+2\\n"))) << info;
    EXPECT_NE(info.find("(A4)"), std::string::npos) << info;
    EXPECT_NE(info.find("Vysvědčení"), std::string::npos) << info;  // the title
    const std::string text = cups.Text(cups.Output);
    EXPECT_NE(text.find("Vysvědčení – strana 1"), std::string::npos) << text;
    EXPECT_NE(text.find("Vysvědčení – strana 2"), std::string::npos) << text;
    EXPECT_NE(text.find("Žluťoučký kůň úpěl ďábelské ódy"), std::string::npos) << text;
}

// A prepared report printed the way the print button does it (the preview pages' Print with
// the report's print options): pages 2 and 3 in two collated copies reach the queue in order,
// on A4, unscaled — the page header stands where the template puts it, within 1 mm.
TEST_F(CupsPrint, APreparedReportPrintsItsChosenPagesUnscaled) {

    TfrxReport report;
    report.GetEngineOptions()->SilentMode = true;
    report.GetEngineOptions()->DoublePass = true;
    report.GetReportOptions()->Name = "Třídní výkaz";
    auto* page = new TfrxReportPage(&report);
    page->SetName("Page1");
    page->SetPaperSize(9);
    page->LeftMargin = page->RightMargin = page->TopMargin = page->BottomMargin = 10;
    auto* header = new TfrxPageHeader(page);
    header->SetName("Header");
    header->SetBounds(0, 0, 718, 40);
    auto* head = new TfrxMemoView(header);
    head->SetName("Head");
    head->SetBounds(113.39, 0, 400, 24);  // 30 mm from the left margin
    head->SetText("Záhlaví [Page#] z [TotalPages#]");
    head->GetFont()->SetSize(12);
    auto* rows = new TfrxMasterData(page);
    rows->SetName("Rows");
    rows->SetBounds(0, 60, 718, 40);
    rows->SetRowCount(100);
    auto* row = new TfrxMemoView(rows);
    row->SetName("Row");
    row->SetBounds(0, 0, 400, 30);
    row->SetText("Řádek [Line#]");
    ASSERT_TRUE(report.PrepareReport(true)) << report.ErrorList->Text();
    ASSERT_EQ(report.PreviewPages()->GetCount(), 4);

    TfrxPrintOptions* po = report.GetPrintOptions();
    po->Printer = "Karomil";
    po->ShowDialog = false;
    po->PageNumbers = "2-3";
    po->Copies = 2;
    po->Collate = true;
    ASSERT_TRUE(report.PreviewPages()->Print()) << report.ErrorList->Text();
    EXPECT_EQ(frxGetPrinters()->GetCurrentPrinter()->Name(), "Karomil");
    ASSERT_TRUE(cups.WaitForJobs()) << cups.Error;

    const std::string info = cups.Info(cups.Output);
    EXPECT_TRUE(std::regex_search(info, std::regex("Pages:\\s+4\\n"))) << info;
    EXPECT_NE(info.find("(A4)"), std::string::npos) << info;
    EXPECT_NE(info.find("Třídní výkaz"), std::string::npos) << info;
    // One job, the chosen pages in order, twice.
    std::vector<std::string> heads;
    for (const auto& w : cups.Words(cups.Output))
        if (w.Text == "Záhlaví") {
            heads.push_back(std::to_string(w.Page));
            // 10 mm margin + 30 mm + the text's 2-pixel inset, in points.
            EXPECT_NEAR(w.XMin, (40 + 2 * 25.4 / 96) * 72 / 25.4, 72 / 25.4) << "page " << w.Page;
            EXPECT_NEAR(w.YMin, (10 + 2 * 25.4 / 96) * 72 / 25.4, 72 / 25.4) << "page " << w.Page;
        }
    EXPECT_EQ(heads, (std::vector<std::string>{"0", "1", "2", "3"}));
    const std::string text = cups.Text(cups.Output, {"-layout"});
    const size_t a = text.find("Záhlaví 2 z 4"), b = text.find("Záhlaví 3 z 4"), c = text.find("Záhlaví 2 z 4", b);
    EXPECT_TRUE(a != std::string::npos && b > a && c != std::string::npos && c > b) << text;
    EXPECT_EQ(text.find("Záhlaví 1 z 4"), std::string::npos) << text;
    EXPECT_EQ(cups.CompletedJobs(), 1);
}
