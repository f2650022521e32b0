// The preview window: buttons from the preview options, the export menu from the filter
// registry, the zoom box and the page texts, closing during a run, and screenshots.

#include <gtest/gtest.h>

#include <QtCore/QDir>

#include "platform/gui/Buttons.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/Menus.h"
#include "platform/gui/StdCtrls.h"
#include "platform/gui/TestKit.h"
#include "report/core/frxReport.h"
#include "report/output/frxCtrls.h"
#include "report/output/frxPreview.h"
#include "report/output/frxPreviewForm.h"
#include "report/output/frxPreviewWorkspace.h"
#include "report/output/frxTBPanel.h"
#include "tests/report/output/PreviewFixture.h"

namespace {
class NamedFilter : public TfrxCustomExportFilter {
public:
    NamedFilter(const char* name) : TfrxCustomExportFilter(nullptr), FName(name) {}
    std::string GetDescription() const override { return FName; }
    void ExportObject(TfrxComponent*) override {}

private:
    std::string FName;
};

struct Window {
    explicit Window(std::vector<FakePage> pages, TfrxPreviewButtons buttons = TfrxPreviewButtons::FromMask(0x7FF))
        : Pages(std::move(pages)) {
        TestKit::EnsureApplication();
        Report.GetPreviewOptions()->Buttons = buttons;
        Report.GetPreviewOptions()->Maximized = false;
        Report.Engine()->FinalPass = true;
        Form = new TfrxPreviewForm(nullptr);
        Form->Preview()->Report = &Report;
        Form->Preview()->PreviewPages = &Pages;
        Form->Init();
        TestKit::ShowAndActivate(Form);
    }
    ~Window() {
        Form->Preview()->Report = nullptr;
        delete Form;
    }
    FakePages Pages;
    TfrxReport Report;
    TfrxPreviewForm* Form;
};

std::vector<FakePage> CardPages(int n) {
    std::vector<FakePage> pages(static_cast<size_t>(n));
    for (FakePage& p : pages)
        p.Texts = {{{250, 80}, "VYSVĚDČENÍ"}, {{80, 160}, "Jméno a příjmení žáka: Šárka Růžičková"},
            {{80, 190}, "Třída: 4. B      Školní rok: 2025/2026"},
            {{80, 240}, "Český jazyk a literatura ........ výborný"}, {{80, 265}, "Matematika ........ chvalitebný"},
            {{80, 290}, "Chování ........ velmi dobré"}};
    return pages;
}
}  // namespace

TEST(PreviewForm, ButtonsAndSeparatorsFollowTheOptions) {
    struct Case {
        TfrxPreviewButtons buttons;
        bool zoom, sep1, sep2, outline, nav;
    } cases[] = {
        {TfrxPreviewButtons::FromMask(0x7FF), true, true, true, true, true},
        {TfrxPreviewButtons{pbPrint, pbNavigator}, false, false, false, false, true},
        {TfrxPreviewButtons{pbZoom, pbPageSetup}, true, true, true, false, false},
    };
    for (const Case& c : cases) {
        Window w(A4Pages(2), c.buttons);
        TfrxPreviewForm* f = w.Form;
        EXPECT_EQ(f->ZoomWholePageB->GetVisible(), c.zoom);
        EXPECT_EQ(f->Sep3->GetVisible(), c.zoom);
        EXPECT_EQ(f->Sep1 != nullptr, c.sep1);
        EXPECT_EQ(f->Sep2 != nullptr, c.sep2);
        EXPECT_EQ(f->FindComponent("Sep2") != nullptr, c.sep2);
        EXPECT_EQ(f->OutlineB->GetVisible(), c.outline);
        EXPECT_EQ(f->NextB->GetVisible(), c.nav);
        EXPECT_TRUE(f->CancelB->GetVisible());
        EXPECT_EQ(f->GetCaption(), "Předtisk");
        EXPECT_EQ(f->CancelB->GetCaption(), "Zavřít");
    }
}

TEST(PreviewForm, ExportMenuListsTheRegisteredFilters) {
    NamedFilter pdf("Soubor PDF"), xls("Tabulka Excel");
    Window w(A4Pages(1));
    TMenuItem* items = w.Form->ExportPopup->GetItems();
    ASSERT_GE(items->Count(), 2);
    const int n = items->Count();
    EXPECT_EQ(items->Items(n - 2)->GetCaption(), "Soubor PDF...");
    EXPECT_EQ(items->Items(n - 1)->GetCaption(), "Tabulka Excel...");
    EXPECT_EQ(items->Items(n - 1)->GetTag(), n - 1);
}

TEST(PreviewForm, ZoomBoxParsesAndRewritesItsText) {
    Window w(A4Pages(2));
    TfrxPreviewForm* f = w.Form;
    struct Case {
        const char* typed;
        double zoom;
        const char* shown;
    } cases[] = {{"150%", 1.5, "150%"}, {"33,3", 0.333, "33%"}, {"75 %", 0.75, "75%"}};
    for (const Case& c : cases) {
        f->ZoomCB->SetItemIndex(-1);
        f->ZoomCB->SetText(c.typed);
        f->ZoomCBClick();
        TestKit::ProcessEvents();  // the posted rewrite
        EXPECT_NEAR(f->Preview()->GetZoom(), c.zoom, 1e-9) << c.typed;
        EXPECT_EQ(f->ZoomCB->GetText(), c.shown) << c.typed;
    }
    f->ZoomCB->SetItemIndex(7);  // "Celá stránka"
    f->ZoomCBClick();
    EXPECT_EQ(f->Preview()->GetZoomMode(), zmWholePage);
    f->ZoomCB->SetItemIndex(-1);
    f->ZoomCB->SetText("abc");
    EXPECT_THROW(f->ZoomCBClick(), Exception);
}

TEST(PreviewForm, PageTextsAndThePageBox) {
    Window w(A4Pages(12));
    TfrxPreviewForm* f = w.Form;
    f->Preview()->SetPageNo(3);
    EXPECT_EQ(f->StatusBar->GetPanels()->Items(0)->GetText(), "3 strana z 12");
    EXPECT_EQ(f->PageE->GetText(), "3");
    f->PageE->SetText("7");
    f->PageEClick();
    EXPECT_EQ(f->Preview()->GetPageNo(), 7);
    f->PageE->SetText("x");
    EXPECT_THROW(f->PageEClick(), Exception);
    // First pass of a two-pass run: the count so far.
    w.Report.Engine()->FinalPass = false;
    f->Preview()->Running = true;
    f->Preview()->SetPageNo(1);
    EXPECT_EQ(f->StatusBar->GetPanels()->Items(0)->GetText(), "První průchod: strana 12");
    f->Preview()->Running = false;
}

TEST(PreviewForm, ClosingDuringARunStopsItAndClosesAfterwards) {
    Window w(A4Pages(0));
    TfrxPreview* p = w.Form->Preview();
    p->InternalOnProgressStart(&w.Report, ptRunning, 0);
    EXPECT_FALSE(w.Form->PrintB->GetEnabled());
    for (int i = 0; i < 3; ++i) {
        w.Pages.Pages.push_back(FakePage{});
        p->InternalOnProgress(&w.Report, ptRunning, i);
    }
    EXPECT_EQ(w.Form->CancelB->GetCaption(), "Zrušit");
    w.Form->Close();
    EXPECT_TRUE(w.Form->GetVisible());  // not while pages are being built
    EXPECT_TRUE(w.Report.Terminated);  // but the run is told to stop
    p->InternalOnProgressStop(&w.Report, ptRunning, 0);
    EXPECT_FALSE(w.Form->GetVisible());
    EXPECT_EQ(w.Pages.GetCount(), 3);  // what was built stays
    EXPECT_EQ(w.Form->CancelB->GetCaption(), "Zavřít");
    EXPECT_TRUE(w.Form->PrintB->GetEnabled());
}

TEST(PreviewForm, EscapeCancelsARunInsteadOfClosing) {
    Window w(A4Pages(0));
    TfrxPreview* p = w.Form->Preview();
    p->InternalOnProgressStart(&w.Report, ptRunning, 0);
    WORD key = VK_ESCAPE;
    w.Form->OnKeyDown(w.Form, key, TShiftState());
    EXPECT_TRUE(w.Report.Terminated);
    EXPECT_TRUE(w.Form->GetVisible());
    p->InternalOnProgressStop(&w.Report, ptRunning, 0);
    EXPECT_TRUE(w.Form->GetVisible());
}

TEST(PreviewForm, FindsACardWordAndShowsItsPage) {
    Window w(CardPages(3));
    w.Pages.Pages[1].Texts.push_back({{80, 700}, "Poznámka: Šárka reprezentovala školu"});
    TfrxSearchState& s = frxSearchState();
    s.Text = "šárka";
    s.CaseSensitive = false;
    s.LastRecord = -1;
    TfrxPreviewWorkspace* ws = w.Form->Preview()->Workspace();
    ws->SearchPage = 1;
    ws->FindText();
    ASSERT_TRUE(s.Found);
    EXPECT_EQ(ws->SearchPage, 1);
    ws->FindText();
    ASSERT_TRUE(s.Found);
    EXPECT_NEAR(s.Match.Top, 700, 2);
    EXPECT_EQ(w.Form->Preview()->GetPageNo(), 2);
}

// Pictures for looking at by eye; written only when KAROMIL_SHOT_DIR names a folder.
TEST(PreviewForm, Screenshots) {
    const QByteArray dir = qgetenv("KAROMIL_SHOT_DIR");
    Window w(CardPages(3));
    w.Form->SetBounds(0, 0, 1000, 760);
    TestKit::ProcessEvents();
    w.Form->Zoom100B->Click();
    const QImage at100 = TestKit::Grab(w.Form);
    w.Form->ZoomWholePageB->Click();
    TestKit::ProcessEvents();
    const QImage whole = TestKit::Grab(w.Form);
    EXPECT_EQ(w.Form->ZoomCB->GetText(), std::to_string(int(std::nearbyint(w.Form->Preview()->GetZoom() * 100))) + "%");
    if (dir.isEmpty()) return;
    QDir().mkpath(QString::fromUtf8(dir));
    at100.save(QString::fromUtf8(dir) + "/preview-100.png");
    whole.save(QString::fromUtf8(dir) + "/preview-whole.png");
}
