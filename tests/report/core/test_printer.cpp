// The report's printer layer over a recording back end: the virtual printer, page metrics of
// view and print settings, the printer list and documents.
#include <gtest/gtest.h>

#include "platform/gui/TestKit.h"
#include "platform/printing/RecordingBackend.h"
#include "platform/rtl/Exceptions.h"
#include "report/core/frxDrawText.h"
#include "report/core/frxPrinter.h"

namespace {

// Installs a back end for one test and forgets the printer list on both ends.
class PrinterTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestKit::EnsureApplication();
        frxFreePrinters();
    }
    void Install(TPrintBackend* backend) {
        SetPrintBackend(backend);
        frxFreePrinters();
    }
    void TearDown() override {
        frxFreePrinters();
        SetPrintBackend(nullptr);
    }
    TRecordingBackend rec;
};

}  // namespace

TEST(PrinterPaperTable, DimensionsAndUnknownCodes) {
    EXPECT_EQ(frxPaperSizes().size(), size_t(frxPaperCount));
    double w = -1, h = -1;
    frxGetPaperDimensions(9, w, h);
    EXPECT_DOUBLE_EQ(w, 210);
    EXPECT_DOUBLE_EQ(h, 297);
    frxGetPaperDimensions(4, w, h);
    EXPECT_DOUBLE_EQ(w, 431.8);
    w = h = -1;
    for (int code : {0, 48, 49, 256, 69}) frxGetPaperDimensions(code, w, h);
    EXPECT_EQ(w, -1);
    EXPECT_EQ(h, -1);
}

TEST_F(PrinterTest, NoPrinterGivesTheVirtualA4Printer) {
    auto none = CreateNoPrintBackend();
    Install(none.get());
    TfrxPrinters* list = frxGetPrinters();
    EXPECT_FALSE(list->HasPhysicalPrinters());
    ASSERT_EQ(list->Count(), 1);
    EXPECT_EQ(list->PrinterIndex(), 0);
    TfrxCustomPrinter* p = list->GetCurrentPrinter();
    EXPECT_EQ(p->Name(), "Virtuální");
    EXPECT_EQ(p->DPIX(), 600);
    EXPECT_EQ(p->DPIY(), 600);
    EXPECT_EQ(p->DefPaper(), 9);
    EXPECT_EQ(p->DefOrientation(), poPortrait);
    EXPECT_EQ(p->Papers()->Count(), 67);
    EXPECT_EQ(p->Bins()->Count(), 1);
    EXPECT_EQ(p->BinNameToNumber("Předvolená"), 7);
    EXPECT_EQ(p->BinNameToNumber("Zásobník 9"), 7);
    EXPECT_EQ(p->PaperNameToNumber("není"), 256);
    EXPECT_EQ(p->BinIndex(3), -1);
    EXPECT_EQ(p->PaperIndex(9), 9);  // after the custom entry and codes 1 to 8

    p->SetViewParams(9, poLandscape, 0, 0);
    EXPECT_DOUBLE_EQ(p->PaperWidth(), 297);
    EXPECT_DOUBLE_EQ(p->PaperHeight(), 210);
    EXPECT_DOUBLE_EQ(p->LeftMargin(), 5);
    EXPECT_DOUBLE_EQ(p->BottomMargin(), 5);
    p->SetViewParams(49, poPortrait, 100, 150);
    EXPECT_EQ(p->Paper(), 256);
    EXPECT_DOUBLE_EQ(p->PaperWidth(), 100);
    EXPECT_DOUBLE_EQ(p->PaperHeight(), 150);
    p->SetPrintParams(11, poPortrait, 0, 0, 4, 2, 2);
    EXPECT_EQ(p->Bin(), 4);
    EXPECT_DOUBLE_EQ(p->PaperWidth(), 148);
    EXPECT_THROW(list->GetItem(1), EListError);
}

TEST_F(PrinterTest, ListTakesTheDefaultOrFallsBackToTheFirst) {
    rec.AddPrinter({"Kancelář", "1. patro", false}, FixturePrinterCaps());
    rec.AddPrinter({"Sborovna", "", true}, FixturePrinterCaps());
    Install(&rec);
    EXPECT_TRUE(frxGetPrinters()->HasPhysicalPrinters());
    EXPECT_EQ(frxGetPrinters()->PrinterIndex(), 1);
    EXPECT_EQ(frxGetPrinters()->IndexOf("sborovna"), 1);
    EXPECT_EQ(frxGetPrinters()->IndexOf("KANCELÁŘ"), 0);
    EXPECT_EQ(frxGetPrinters()->IndexOf("jiná"), -1);
    EXPECT_EQ(frxGetPrinters()->GetItem(0)->Port(), "1. patro");
    EXPECT_FALSE(frxGetPrinters()->GetItem(0)->Initialized());  // Init when made current

    // No default printer: the first one is current, so printing does not fail on index -1.
    TRecordingBackend noDefault;
    noDefault.AddPrinter({"A", "", false}, FixturePrinterCaps());
    noDefault.AddPrinter({"B", "", false}, FixturePrinterCaps());
    Install(&noDefault);
    EXPECT_EQ(frxGetPrinters()->PrinterIndex(), 0);
    EXPECT_EQ(frxGetPrinters()->GetCurrentPrinter()->Name(), "A");
    EXPECT_TRUE(frxGetPrinters()->GetCurrentPrinter()->Initialized());
}

TEST_F(PrinterTest, InitAndMetricsFromTheBackEnd) {
    rec.AddPrinter({"Fixture", "", true}, FixturePrinterCaps());
    rec.AddBrokenPrinter({"Rozbitá", "", false});
    Install(&rec);
    auto* p = static_cast<TfrxPrinter*>(frxGetPrinters()->GetCurrentPrinter());
    ASSERT_TRUE(p->Initialized());
    EXPECT_EQ(p->DefPaper(), 9);
    EXPECT_NEAR(p->DefPaperWidth(), 210, 0.05);
    EXPECT_EQ(p->Papers()->Count(), 4);  // custom + A4, Letter, the local DL size
    EXPECT_EQ(p->PaperIndex(257), 3);
    EXPECT_EQ(p->Bins()->Count(), 3);  // default + tray 1 + manual (auto not repeated)
    EXPECT_EQ(p->BinNameToNumber("Ruční podávání"), 4);

    p->SetViewParams(9, poPortrait, 0, 0);
    EXPECT_NEAR(p->PaperWidth(), 210, 0.05);
    EXPECT_NEAR(p->LeftMargin(), 4.23, 0.05);
    EXPECT_NEAR(p->RightMargin(), 4.23, 0.05);
    p->SetViewParams(257, poLandscape, 0, 0);  // DL margins 5/6/7/8 turned
    EXPECT_NEAR(p->PaperWidth(), 220, 0.05);
    EXPECT_NEAR(p->LeftMargin(), 8, 0.05);
    EXPECT_NEAR(p->TopMargin(), 5, 0.05);
    // A custom size measures A4's margins but reports its own size.
    p->SetViewParams(256, poPortrait, 100, 150);
    EXPECT_EQ(p->Paper(), 256);
    EXPECT_DOUBLE_EQ(p->PaperWidth(), 100);
    EXPECT_NEAR(p->LeftMargin(), 4.23, 0.05);

    // Duplex: simplex (4) sets 1, none (1) leaves the field as it was and unflagged.
    p->SetPrintParams(9, poPortrait, 210, 297, 1, 1, 3);
    EXPECT_EQ(p->DevMode().dmDuplex, 3);
    p->SetPrintParams(9, poPortrait, 210, 297, 1, 1, 4);
    EXPECT_EQ(p->DevMode().dmDuplex, 1);
    p->SetPrintParams(9, poPortrait, 210, 297, 1, 1, 1);
    EXPECT_EQ(p->DevMode().dmDuplex, 1);
    // A landscape custom form: the record keeps the portrait sheet (not turned twice).
    p->SetPrintParams(256, poLandscape, 300, 200, 7, 1, 1);
    EXPECT_EQ(p->DevMode().dmPaperWidth, 2000);
    EXPECT_EQ(p->DevMode().dmPaperLength, 3000);
    EXPECT_EQ(p->DevMode().dmOrientation, 2);
    EXPECT_NEAR(p->PaperWidth(), 300, 0.05);

    frxGetPrinters()->SetPrinterIndex(1);
    TfrxCustomPrinter* broken = frxGetPrinters()->GetCurrentPrinter();
    EXPECT_FALSE(broken->Initialized());
    EXPECT_EQ(broken->Papers()->Count(), 1);
    EXPECT_THROW(broken->BeginDoc(), Exception);  // never a silent non-print
}

TEST_F(PrinterTest, DocumentPagesBinsAndFailures) {
    rec.AddPrinter({"Fixture", "", true}, FixturePrinterCaps(96));
    Install(&rec);
    auto* p = static_cast<TfrxPrinter*>(frxGetPrinters()->GetCurrentPrinter());
    EXPECT_TRUE(TfrxDrawText::IsPrinterCanvas(p->Canvas()));

    p->SetBin(4);  // chosen in the properties dialog: every page of the next document
    p->SetTitle("Vysvědčení");
    p->BeginDoc();
    for (int page = 0; page < 2; ++page) {
        p->SetPrintParams(9, page ? poLandscape : poPortrait, 0, 0, page ? 7 : 1, 1, 1);
        p->BeginPage();
        p->Canvas()->Font()->SetSize(10);
        EXPECT_EQ(p->Canvas()->Font()->PixelsPerInch(), 96);
        p->Canvas()->Brush()->SetColor(clBlue);
        p->Canvas()->FillRect(Rect(0, 0, 20, 20));
        p->EndPage();
    }
    p->EndDoc();
    EXPECT_EQ(p->Bin(), -1);
    ASSERT_EQ(rec.Jobs().size(), 1u);
    const TRecordedJob& job = rec.Jobs()[0];
    EXPECT_TRUE(job.Ended);
    EXPECT_EQ(job.Info.Title, "Vysvědčení");
    ASSERT_EQ(job.Pages.size(), 2u);
    EXPECT_EQ(job.Pages[0].Mode.dmDefaultSource, 4);
    EXPECT_EQ(job.Pages[1].Mode.dmDefaultSource, 4);
    EXPECT_EQ(job.Pages[1].Mode.dmOrientation, DMORIENT_LANDSCAPE);
    EXPECT_GT(job.Pages[0].Size(), 0);

    // After that document the pages' own sources apply again.
    p->BeginDoc();
    p->SetPrintParams(9, poPortrait, 0, 0, 1, 1, 1);
    p->BeginPage();
    p->EndPage();
    p->EndDoc();
    EXPECT_EQ(rec.Jobs()[1].Pages[0].Mode.dmDefaultSource, 1);

    // A refused job raises and still ends the document once.
    rec.FailNextEndDoc = "Tiskárna odmítla úlohu";
    p->BeginDoc();
    p->BeginPage();
    EXPECT_THROW(p->EndDoc(), Exception);
    EXPECT_FALSE(p->Printing());
    // Abort discards the document with the page still open; nothing is handed over.
    p->BeginDoc();
    p->BeginPage();
    p->Abort();
    EXPECT_FALSE(p->Printing());
    EXPECT_TRUE(rec.Jobs().back().Aborted);
    EXPECT_FALSE(rec.Jobs().back().Ended);
    p->EndDoc();  // a second end is harmless
    // Freeing the list with an open page lets go of the page's painter first.
    p->BeginDoc();
    p->BeginPage();
    frxFreePrinters();
    EXPECT_TRUE(rec.Jobs().back().Aborted);
}

TEST_F(PrinterTest, RawBytesGoOutAsOneDocument) {
    rec.AddPrinter({"Jehličková", "", true}, FixturePrinterCaps());
    Install(&rec);
    TfrxCustomPrinter* p = frxGetPrinters()->GetCurrentPrinter();
    p->SetTitle("Sestava");
    p->BeginRAWDoc();
    p->WriteRAW("ABC");
    p->WriteRAW("\f");
    p->EndRAWDoc();
    ASSERT_EQ(rec.Jobs().size(), 1u);
    EXPECT_EQ(rec.Jobs()[0].Raw, "ABC\f");
    EXPECT_EQ(rec.Jobs()[0].Info.Title, "Sestava");
}
