// The print dialog over a recording printer back end: the typed page list and copies checked
// before the dialog closes, every choice read back, cancelling keeps the printer, print to file.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/gui/Application.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/StdCtrls.h"
#include "platform/gui/TestKit.h"
#include "platform/printing/RecordingBackend.h"
#include "platform/rtl/ScopeGuard.h"
#include "report/core/frxPreviewPages.h"
#include "report/core/frxPrinter.h"
#include "report/core/frxReport.h"
#include "report/output/frxPrintDialog.h"

namespace {

TEST(PrintPageList, TypedListsAreCheckedWithCzechReasons) {
    struct Case {
        const char* text;
        int pageCount;
        const char* error;  // a part of the message; "" for a list that prints
    };
    const Case cases[] = {
        {"", 20, ""},
        {"1,3,5-12", 20, ""},
        {" 1, 3 , 5 - 12 ", 20, ""},
        {"7", 7, ""},
        {"4-", 20, ""},
        {"5-5", 20, ""},
        {"1,3,5-12", 0, ""},  // unknown page count: no upper check
        {"1,a,3", 20, "„a“ není číslo stránky"},
        {"x-3", 20, "„x“ není číslo stránky"},
        {"1.5", 20, "„1.5“ není číslo stránky"},
        {"12-5", 20, "Rozsah „12-5“ je obrácený; menší číslo se píše první (5-12)"},
        {"0", 20, "0 není číslo stránky"},
        {"0-3", 20, "0 není číslo stránky"},
        {"21", 20, "Stránka 21 neexistuje; poslední stránka je 20"},
        {"18-25", 20, "Stránka 25 neexistuje"},
        {"1,,3", 20, "chybí číslo"},
        {"1,", 20, "chybí číslo"},
        {"-3", 20, "„-3“ není rozsah stránek"},
        {"1-2-3", 20, "„1-2-3“ není rozsah stránek"},
        {"99999999999", 0, "není číslo stránky"},
    };
    for (const Case& c : cases) {
        const std::string error = frxCheckPageNumbers(c.text, c.pageCount);
        if (*c.error == 0) {
            EXPECT_EQ(error, "") << c.text;
        } else EXPECT_NE(error.find(c.error), std::string::npos) << c.text << " -> " << error;
    }
    for (const char* good : {"1", " 3 ", "120"}) EXPECT_EQ(frxCheckCopies(good), "") << good;
    for (const char* bad : {"0", "-2", "", "dva", "1,5"})
        EXPECT_EQ(frxCheckCopies(bad), "Počet kopií musí být celé číslo od 1 výše.") << bad;
}

// Two fixture printers; each showing of the dialog runs the test's answer.
class PrintDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestKit::EnsureApplication();
        rec.AddPrinter({"Kancelář", "1. patro", true}, FixturePrinterCaps());
        rec.AddPrinter({"Sborovna", "ipp://sborovna", false}, FixturePrinterCaps());
        SetPrintBackend(&rec);
        frxFreePrinters();
        SetDialogHook([this](TDialogCall& call) {
            Dialogs.push_back(call);
            call.Result = mrOk;
            call.Accepted = !FileAnswer.empty();
            call.Value = FileAnswer;
        });
        SetMessageBoxHandler([this](const std::string& text, const std::string&, UINT) {
            Errors.push_back(text);
            return IDOK;
        });
        SetShowModalHook([this](TCustomForm* form) {
            auto* d = dynamic_cast<TfrxPrintDialog*>(form);
            ASSERT_NE(d, nullptr);
            Answer(d);
        });
    }
    void TearDown() override {
        SetShowModalHook(nullptr);
        SetMessageBoxHandler(nullptr);
        SetDialogHook(nullptr);
        frxFreePrinters();
        SetPrintBackend(nullptr);
    }
    TRecordingBackend rec;
    std::function<void(TfrxPrintDialog*)> Answer;
    std::vector<TDialogCall> Dialogs;
    std::vector<std::string> Errors;
    std::string FileAnswer;
};

TEST_F(PrintDialogTest, ChoicesAreFilledFromTheOptionsAndReadBackExactly) {
    TfrxPrintOptions options;
    options.Copies = 2;
    options.Collate = true;
    options.PageNumbers = "2-3";
    options.PrintPages = ppEven;
    options.Reverse = false;
    Answer = [](TfrxPrintDialog* d) {
        // Filled from the options, localised, the first printer current.
        EXPECT_EQ(d->GetCaption(), "Tisk");
        EXPECT_EQ(d->CopiesE->GetText(), "2");
        EXPECT_TRUE(d->CollateCB->GetChecked());
        EXPECT_EQ(d->PageNumbersE->GetText(), "2-3");
        EXPECT_EQ(d->PrintPagesCB->GetItemIndex(), 2);
        EXPECT_EQ(d->PrintPagesCB->GetText(), "Sudé stránky");
        EXPECT_EQ(d->TypeL1->GetCaption(), "Kancelář");
        EXPECT_EQ(d->WhereL1->GetCaption(), "1. patro");
        EXPECT_EQ(d->PrintPagesCB->GetLeft(), d->PrintL->GetLeft() + d->PrintL->GetWidth() + 11);
        // The user's choices.
        d->PrintersCB->SetItemIndex(1);
        d->PrintersCBClick(nullptr);
        EXPECT_EQ(d->WhereL1->GetCaption(), "ipp://sborovna");
        d->UpDown1->Step(btNext);
        TestKit::Click(d->CollateL, Point(3, 3));  // the label toggles the box
        d->PageNumbersE->SetFocus();  // entering the box chooses "Pages:"
        d->PageNumbersE->SetText("1,3,5-12");
        d->PrintPagesCB->SetItemIndex(1);
        d->ReverseCB->SetChecked(true);
        d->OkB->Click();
    };
    TfrxPrintChoices choices;
    ASSERT_TRUE(frxExecutePrintDialog(options, 4, 12, choices));
    EXPECT_EQ(choices.Copies, 3);
    EXPECT_FALSE(choices.Collate);
    EXPECT_EQ(choices.PageNumbers, "1,3,5-12");
    EXPECT_EQ(choices.PrintPages, ppOdd);
    EXPECT_TRUE(choices.Reverse);
    EXPECT_EQ(frxGetPrinters()->PrinterIndex(), 1);
    EXPECT_EQ(frxGetPrinters()->GetCurrentPrinter()->FileName(), "");
    EXPECT_TRUE(Dialogs.empty());

    // "Current page" prints the page the preview shows; "All" prints everything.
    for (bool current : {true, false}) {
        Answer = [current](TfrxPrintDialog* d) {
            (current ? d->CurPageRB : d->AllRB)->SetChecked(true);
            d->OkB->Click();
        };
        ASSERT_TRUE(frxExecutePrintDialog(options, 4, 12, choices));
        EXPECT_EQ(choices.PageNumbers, current ? "4" : "");
    }
}

TEST_F(PrintDialogTest, CancelKeepsThePrinterAndBadInputKeepsTheDialogOpen) {
    TfrxPrintOptions options;
    Answer = [](TfrxPrintDialog* d) {
        d->PrintersCB->SetItemIndex(1);
        d->PrintersCBClick(nullptr);
        EXPECT_EQ(frxGetPrinters()->PrinterIndex(), 1);  // at once, as the user chose it
        d->CancelB->Click();
    };
    TfrxPrintChoices choices;
    EXPECT_FALSE(frxExecutePrintDialog(options, 1, 5, choices));
    EXPECT_EQ(frxGetPrinters()->PrinterIndex(), 0);

    // A wrong page list or copies number is said and the dialog stays until it is mended.
    Answer = [this](TfrxPrintDialog* d) {
        d->PageNumbersRB->SetChecked(true);
        d->PageNumbersE->SetText("3-9");
        d->OkB->Click();
        EXPECT_EQ(d->GetModalResult(), mrNone);
        d->PageNumbersE->SetText("3-5");
        d->CopiesE->SetText("0");
        d->OkB->Click();
        EXPECT_EQ(d->GetModalResult(), mrNone);
        d->CopiesE->SetText("2");
        ASSERT_EQ(Errors.size(), 2u);
        d->OkB->Click();
    };
    ASSERT_TRUE(frxExecutePrintDialog(options, 1, 5, choices));
    ASSERT_EQ(Errors.size(), 2u);
    EXPECT_EQ(Errors[0], "Stránka 9 neexistuje; poslední stránka je 5.");
    EXPECT_EQ(Errors[1], "Počet kopií musí být celé číslo od 1 výše.");
    EXPECT_EQ(choices.PageNumbers, "3-5");
    EXPECT_EQ(choices.Copies, 2);
}

TEST_F(PrintDialogTest, PrintToFileForcesPrnAndCancellingTheFileDialogCancelsPrinting) {
    TfrxPrintOptions options;
    Answer = [](TfrxPrintDialog* d) {
        d->FileCB->SetChecked(true);
        d->OkB->Click();
    };
    TfrxPrintChoices choices;
    FileAnswer = "/tmp/vysvedceni/report.txt";
    ASSERT_TRUE(frxExecutePrintDialog(options, 1, 5, choices));
    ASSERT_EQ(Dialogs.size(), 1u);
    EXPECT_EQ(Dialogs[0].Kind, TDialogCall::dkSave);
    EXPECT_EQ(frxGetPrinters()->GetCurrentPrinter()->FileName(), "/tmp/vysvedceni/report.prn");

    FileAnswer.clear();
    EXPECT_FALSE(frxExecutePrintDialog(options, 1, 5, choices));
    EXPECT_EQ(frxGetPrinters()->GetCurrentPrinter()->FileName(), "");
}

// Once registered, printing a prepared report asks through this dialog: the report's print
// options fill it, "Current page" is the page the preview shows, cancelling refuses the print.
TEST_F(PrintDialogTest, TheRegisteredPrintHookAsksThroughTheDialog) {
    const TfrxPrintDialogFunc previous = frxPrintDialogClass();
    auto restore = OnScopeExit([&] { frxPrintDialogClass() = previous; });
    frxPrintDialogClass() = nullptr;
    frxRegisterPrintDialog();
    ASSERT_TRUE(frxPrintDialogClass());

    TfrxReport report;
    auto* pages = dynamic_cast<TfrxPreviewPages*>(report.PreviewPages());
    ASSERT_NE(pages, nullptr);
    pages->PreviewPageNo = 3;
    report.GetPrintOptions()->Copies = 2;
    Answer = [](TfrxPrintDialog* d) {
        EXPECT_EQ(d->CopiesE->GetText(), "2");
        d->CurPageRB->SetChecked(true);
        d->ReverseCB->SetChecked(true);
        d->OkB->Click();
    };
    TfrxPrintDialogValues values;
    ASSERT_TRUE(frxPrintDialogClass()(&report, values));
    EXPECT_EQ(values.Copies, 2);
    EXPECT_EQ(values.PageNumbers, "3");
    EXPECT_EQ(values.Range, TfrxPrintDialogValues::prNumbers);
    EXPECT_TRUE(values.Reverse);

    Answer = [](TfrxPrintDialog* d) { d->CancelB->Click(); };
    EXPECT_FALSE(frxPrintDialogClass()(&report, values));
}

}  // namespace
