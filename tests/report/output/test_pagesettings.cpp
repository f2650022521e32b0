// The page settings dialog over a recording printer: centimetres shown, typed
// sizes, standard papers turned, cancel, and a wrong number refused before
// anything is written.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/gui/Application.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/StdCtrls.h"
#include "platform/gui/TestKit.h"
#include "platform/printing/RecordingBackend.h"
#include "report/core/frxPrinter.h"
#include "report/core/frxReport.h"
#include "report/core/frxReportPage.h"
#include "report/core/frxText.h"
#include "report/output/frxPageSettings.h"

namespace {

class PageSettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestKit::EnsureApplication();
        rec.AddPrinter({"Kancelář", "", true}, FixturePrinterCaps());
        SetPrintBackend(&rec);
        frxFreePrinters();
        report = std::make_unique<TfrxReport>();
        page = new TfrxReportPage(report.get());
        page->SetPaperSize(DMPAPER_A4);
        page->SetOrientation(poPortrait);
        page->LeftMargin = page->RightMargin = page->TopMargin = page->BottomMargin = 10;
        SetMessageBoxHandler([this](const std::string& text, const std::string&, UINT) {
            Messages.push_back(text);
            return IDOK;
        });
        SetShowModalHook([this](TCustomForm* form) {
            auto* f = dynamic_cast<TfrxPageSettingsForm*>(form);
            ASSERT_NE(f, nullptr);
            Answer(f);
        });
    }
    void TearDown() override {
        SetShowModalHook(nullptr);
        SetMessageBoxHandler(nullptr);
        report.reset();
        frxFreePrinters();
        SetPrintBackend(nullptr);
    }
    TModalResult Show() {
        auto form = std::make_unique<TfrxPageSettingsForm>(nullptr);
        form->Page = page;
        return form->ShowModal();
    }
    TRecordingBackend rec;
    std::unique_ptr<TfrxReport> report;
    TfrxReportPage* page = nullptr;
    std::function<void(TfrxPageSettingsForm*)> Answer;
    std::vector<std::string> Messages;
};

TEST_F(PageSettingsTest, ShowsCentimetresAndTurnsAStandardPaper) {
    Answer = [](TfrxPageSettingsForm* f) {
        EXPECT_EQ(f->GetCaption(), "Nastavení stránky");
        EXPECT_EQ(f->WidthE->GetText(), "21");
        EXPECT_EQ(f->HeightE->GetText(), frxFloatToStr(29.7));
        EXPECT_EQ(f->MarginLeftE->GetText(), "1");
        EXPECT_TRUE(f->PortraitRB->GetChecked());
        EXPECT_TRUE(f->PortraitImg->GetVisible());
        EXPECT_FALSE(f->LandscapeImg->GetVisible());
        // Landscape of the standard paper shows that paper turned.
        f->LandscapeRB->SetChecked(true);
        f->PortraitRBClick(nullptr);
        EXPECT_NEAR(frxStrToFloat(f->WidthE->GetText()), 29.7, 0.05);
        EXPECT_NEAR(frxStrToFloat(f->HeightE->GetText()), 21, 0.05);
        EXPECT_TRUE(f->LandscapeImg->GetVisible());
        f->CancelB->Click();
    };
    EXPECT_EQ(Show(), mrCancel);
    // Cancel leaves the page as it was.
    EXPECT_EQ(page->GetOrientation(), poPortrait);
    EXPECT_DOUBLE_EQ(page->GetPaperWidth(), 210);
    EXPECT_DOUBLE_EQ(page->LeftMargin, 10);
}

TEST_F(PageSettingsTest, TypedSizesMakeACustomPaperAndAWrongNumberWritesNothing) {
    Answer = [this](TfrxPageSettingsForm* f) {
        f->WidthE->SetFocus();
        f->WidthE->SetText("15");
        EXPECT_EQ(f->SizeCB->GetItemIndex(), 0);  // the custom size
        EXPECT_EQ(f->HeightE->GetText(), frxFloatToStr(29.7));
        f->HeightE->SetText("20,5");
        f->MarginTopE->SetText("2,5");
        f->MarginBottomE->SetText("dva");
        f->OKB->Click();
        EXPECT_EQ(f->GetModalResult(), mrNone);
        ASSERT_EQ(Messages.size(), 1u);
        EXPECT_DOUBLE_EQ(page->GetPaperWidth(), 210);  // nothing written yet
        f->MarginBottomE->SetText("0");
        f->OKB->Click();
    };
    EXPECT_EQ(Show(), mrOk);
    EXPECT_EQ(page->GetPaperSize(), 256);
    EXPECT_DOUBLE_EQ(page->GetPaperWidth(), 150);
    EXPECT_DOUBLE_EQ(page->GetPaperHeight(), 205);
    EXPECT_DOUBLE_EQ(page->TopMargin, 25);
    EXPECT_DOUBLE_EQ(page->BottomMargin, 0);
    EXPECT_DOUBLE_EQ(page->LeftMargin, 10);
}

// With no printer installed the papers are the table's, under the names a user knows; an A4
// page opens as A4 and stays A4 when turned to landscape, and OK stores A4 landscape.
class PageSettingsNoPrinterTest : public PageSettingsTest {
protected:
    void SetUp() override {
        PageSettingsTest::SetUp();
        SetPrintBackend(&none);
        frxFreePrinters();
    }
    TRecordingBackend none;
};

TEST_F(PageSettingsNoPrinterTest, AnA4PageStaysA4InLandscapeUnderHumanNames) {
    ASSERT_FALSE(frxGetPrinters()->HasPhysicalPrinters());
    Answer = [](TfrxPageSettingsForm* f) {
        std::vector<std::string> items;
        for (int i = 0; i < f->SizeCB->GetItems()->Count(); ++i) items.push_back(f->SizeCB->GetItems()->Strings(i));
        for (const char* name : {"Vlastní", "A4", "A5", "A3", "Letter"})
            EXPECT_NE(std::find(items.begin(), items.end(), name), items.end()) << name;
        for (const std::string& item : items) {
            EXPECT_FALSE(item.empty());
            EXPECT_EQ(item.find('_'), std::string::npos) << item;
        }
        EXPECT_EQ(f->SizeCB->GetText(), "A4");
        // With $KAROMIL_SHOT_DIR the dialog is kept there to be looked at.
        if (const char* shots = std::getenv("KAROMIL_SHOT_DIR"); shots && *shots) {
            TestKit::ProcessEvents();
            TestKit::Grab(f).save(QString(shots) + "/page-settings-no-printer.png");
        }
        f->LandscapeRB->SetChecked(true);
        f->PortraitRBClick(nullptr);
        EXPECT_EQ(f->SizeCB->GetText(), "A4");
        EXPECT_NEAR(frxStrToFloat(f->WidthE->GetText()), 29.7, 0.05);
        f->OKB->Click();
    };
    EXPECT_EQ(Show(), mrOk);
    EXPECT_EQ(page->GetPaperSize(), DMPAPER_A4);
    EXPECT_EQ(page->GetOrientation(), poLandscape);
    EXPECT_DOUBLE_EQ(page->GetPaperWidth(), 297);
    EXPECT_DOUBLE_EQ(page->GetPaperHeight(), 210);
}

}  // namespace
