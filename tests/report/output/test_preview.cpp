// The preview control over a store of fake pages: scroll model, zoom and its modes, keys and
// wheel, page numbers following the scroll, the run notifications and the text search.

#include <gtest/gtest.h>

#include "platform/gui/StdCtrls.h"
#include "platform/gui/TestKit.h"
#include "platform/rtl/ScopeGuard.h"
#include "report/core/frxReport.h"
#include "report/output/frxPreview.h"
#include "report/output/frxPreviewWorkspace.h"
#include "report/output/frxSearchDialog.h"
#include "report/output/frxScrollWin.h"
#include "tests/report/output/PreviewFixture.h"

namespace {
struct Host {
    explicit Host(int pages, std::vector<FakePage> custom = {})
        : Pages(custom.empty() ? A4Pages(pages) : std::move(custom)) {
        TestKit::EnsureApplication();
        Form = new TForm(nullptr);
        Form->SetClientWidth(800);
        Form->SetClientHeight(600);
        Preview = new TfrxPreview(Form);
        Preview->SetParent(Form);
        Preview->SetAlign(alClient);
        Report.Engine()->FinalPass = true;
        Preview->Report = &Report;
        Preview->PreviewPages = &Pages;
        TestKit::ShowAndActivate(Form);
        Preview->Init();
    }
    ~Host() {
        Preview->Report = nullptr;  // the report is not linked the core's way
        delete Form;
    }
    TfrxPreviewWorkspace* W() const { return Preview->Workspace(); }
    FakePages Pages;
    TfrxReport Report;
    TForm* Form;
    TfrxPreview* Preview;
};

class Probe : public TfrxScrollWin {
public:
    using TfrxScrollWin::TfrxScrollWin;
    int Calls = 0;

protected:
    void OnVScroll(TObject*) override { ++Calls; }
};
}  // namespace

TEST(ScrollWin, PositionsAreClampedAndTheHookRunsOncePerChange) {
    TestKit::EnsureApplication();
    Probe p(nullptr);
    p.SetVertRange(1000);
    p.SetVertPage(300);
    p.SetVertPosition(900);
    EXPECT_EQ(p.GetVertPosition(), 700);
    p.SetVertPosition(700);
    EXPECT_EQ(p.Calls, 1);
    p.SetVertPosition(-5);
    EXPECT_EQ(p.GetVertPosition(), 0);
    p.Perform(WM_VSCROLL, SB_BOTTOM, 0);
    EXPECT_EQ(p.GetVertPosition(), 700);
    p.Perform(WM_VSCROLL, SB_PAGEUP, 0);
    EXPECT_EQ(p.GetVertPosition(), 690);
    p.SetVertRange(200);
    p.SetVertPosition(50);
    EXPECT_EQ(p.GetVertPosition(), 0);
    EXPECT_EQ(p.Perform(WM_GETDLGCODE, 0, 0), 7);
}

TEST(Preview, ZoomFloorCeilingAndModes) {
    Host h(3);
    TfrxPreview* p = h.Preview;
    p->SetZoom(0.1);
    EXPECT_DOUBLE_EQ(p->GetZoom(), 0.25);
    p->SetZoom(1e6);  // a typed "1e6 %" must not overflow the layout
    EXPECT_DOUBLE_EQ(p->GetZoom(), 10);
    // Each mode is applied twice: the first may change which scroll bars show, and so the
    // client size the second reads.
    p->SetZoomMode(zmWholePage);
    p->UpdatePages();
    EXPECT_DOUBLE_EQ(p->GetZoom(), double(h.W()->GetClientHeight() - 20) / 1123);
    p->SetZoomMode(zmPageWidth);
    p->UpdatePages();
    EXPECT_DOUBLE_EQ(p->GetZoom(), double(h.W()->GetClientWidth() - 20) / 794);
    p->SetZoomMode(zmManyPages);
    p->UpdatePages();
    EXPECT_DOUBLE_EQ(p->GetZoom(), double(h.W()->GetClientWidth() - 32) / (2 * 794));
    EXPECT_EQ(h.W()->PageList()->GetColumns(), 2);
    p->SetZoom(1);  // back to one column
    EXPECT_EQ(p->GetZoomMode(), zmDefault);
    EXPECT_EQ(h.W()->PageList()->GetColumns(), 1);
    EXPECT_DOUBLE_EQ(p->GetZoom(), 1);
    EXPECT_EQ(h.W()->GetVertRange(), 10 + 3 * 1123 + 2 * 10 + 10);
}

TEST(Preview, PageNumbersAreClampedAndScrollToThePage) {
    Host h(5);
    TfrxPreview* p = h.Preview;
    int fired = 0;
    p->OnPageChanged = [&](TfrxPreview*, int) { ++fired; };
    p->SetPageNo(0);
    EXPECT_EQ(p->GetPageNo(), 1);
    p->SetPageNo(9);
    EXPECT_EQ(p->GetPageNo(), 5);
    p->SetPageNo(3);
    EXPECT_EQ(h.W()->GetVertPosition(), 2276 - 10);
    EXPECT_EQ(p->GetPageNo(), 3);
    EXPECT_GE(fired, 3);
    // A scroll by hand moves the page number, without scrolling back to the page's top.
    h.W()->SetVertPosition(1143 + 500);
    EXPECT_EQ(p->GetPageNo(), 2);
    EXPECT_EQ(h.W()->GetVertPosition(), 1643);
    Host none(0);
    none.Preview->SetPageNo(3);
    EXPECT_EQ(none.Preview->GetPageNo(), 0);
}

TEST(Preview, KeysAndWheelMoveWhatTheyShould) {
    Host h(5);
    TfrxPreview* p = h.Preview;
    TfrxPreviewWorkspace* w = h.W();
    p->SetFocus();
    struct Case {
        int qtKey;
        Qt::KeyboardModifiers mods;
        int page, vert;  // -1: not checked
    } cases[] = {
        {Qt::Key_PageDown, Qt::NoModifier, -1, 300},
        {Qt::Key_Down, Qt::NoModifier, -1, 308},
        {Qt::Key_Up, Qt::NoModifier, -1, 300},
        {Qt::Key_PageUp, Qt::NoModifier, -1, 0},
        {Qt::Key_PageDown, Qt::ControlModifier, 2, 1133},
        {Qt::Key_End, Qt::NoModifier, 5, -1},
        {Qt::Key_Home, Qt::NoModifier, 1, 0},
    };
    for (const Case& c : cases) {
        TestKit::Key(c.qtKey, c.mods);
        if (c.page >= 0) {
            EXPECT_EQ(p->GetPageNo(), c.page) << c.qtKey;
        }
        if (c.vert >= 0) {
            EXPECT_EQ(w->GetVertPosition(), c.vert) << c.qtKey;
        }
    }
    p->SetZoom(2);  // wider than the window: the arrows scroll sideways
    TestKit::Key(Qt::Key_Right);
    EXPECT_EQ(w->GetHorzPosition(), 8);
    TestKit::Key(Qt::Key_Left);
    EXPECT_EQ(w->GetHorzPosition(), 0);
    const int before = w->GetVertPosition();
    p->MouseWheelScroll(-120);
    EXPECT_EQ(w->GetVertPosition(), before + 20);
    p->MouseWheelScroll(120);
    EXPECT_EQ(w->GetVertPosition(), before);
}

TEST(Preview, ZoomToolStepsByAQuarterWithTheFloor) {
    Host h(2);
    TfrxPreview* p = h.Preview;
    p->SetTool(ptZoom);
    EXPECT_EQ(h.W()->DefaultCursor, crZoom);
    p->SetZoom(0.4);
    TestKit::Click(h.W(), {100, 100}, Qt::RightButton);
    EXPECT_DOUBLE_EQ(p->GetZoom(), 0.25);
    TestKit::Click(h.W(), {100, 100}, Qt::LeftButton);
    EXPECT_DOUBLE_EQ(p->GetZoom(), 0.5);
}

TEST(Preview, RunRefreshIntervalFollowsTheFirstTwoPages) {
    for (auto [elapsed, interval] : {std::pair{3u, 50}, std::pair{7u, 20}, std::pair{12u, 5}}) {
        Host h(0);
        uint32_t now = 1000;
        h.Preview->TickCount = [&] { return now; };
        h.Preview->InternalOnProgressStart(&h.Report, ptRunning, 0);
        EXPECT_TRUE(h.Preview->Running);
        for (int i = 0; i < 3; ++i) {
            h.Pages.Pages.push_back(FakePage{});
            h.Preview->InternalOnProgress(&h.Report, ptRunning, i);
            if (i == 0) now += elapsed;
        }
        EXPECT_EQ(h.Preview->RefreshInterval(), interval);
        EXPECT_EQ(h.W()->PageList()->Count(), 3);
        h.Preview->InternalOnProgressStop(&h.Report, ptRunning, 0);
        EXPECT_FALSE(h.Preview->Running);
    }
}

TEST(Preview, UnlockKeepsThePageOnScreen) {
    Host h(5);
    h.Preview->SetPageNo(4);
    h.Preview->Lock();
    h.Preview->Unlock();
    EXPECT_EQ(h.Preview->GetPageNo(), 4);
    h.Preview->Print();  // print brackets with Unlock too
    EXPECT_EQ(h.Pages.CurPreviewPage, 4);
    EXPECT_EQ(h.Preview->GetPageNo(), 4);
}

TEST(Preview, DeletingTheLastPageMovesToTheNewLast) {
    Host h(3);
    h.Preview->SetPageNo(3);
    h.Preview->DeletePage();
    EXPECT_EQ(h.Preview->PageCount(), 2);
    EXPECT_EQ(h.Preview->GetPageNo(), 2);
    Host one(1);
    one.Preview->DeletePage();
    EXPECT_EQ(one.Preview->PageCount(), 1);
    EXPECT_EQ(one.Preview->GetPageNo(), 1);
}

TEST(Preview, EmptyPreparedReportShowsNoPage) {
    Host h(0);
    EXPECT_EQ(h.Preview->GetPageNo(), 0);
    const QImage shot = TestKit::Grab(h.W());
    ASSERT_FALSE(shot.isNull());
    EXPECT_EQ(QColor(shot.pixel(shot.width() / 2, shot.height() / 2)), QColor(128, 128, 128));
    EXPECT_EQ(h.Pages.DrawCount, 0);
    h.Preview->FindNext();  // nothing to search, nothing happens
    // Keys, zoom modes and commands on no pages keep the page number 0 and fail nowhere.
    h.Preview->SetFocus();
    for (int key : {Qt::Key_PageDown, Qt::Key_End, Qt::Key_Home, Qt::Key_Down, Qt::Key_F3}) TestKit::Key(key);
    TestKit::Key(Qt::Key_PageDown, Qt::ControlModifier);
    for (TfrxZoomMode mode : {zmWholePage, zmPageWidth, zmManyPages, zmDefault}) h.Preview->SetZoomMode(mode);
    h.Preview->AddPage();
    h.Preview->DeletePage();
    h.Preview->PageSetupDlg();
    EXPECT_EQ(h.Preview->GetPageNo(), 0);
    EXPECT_EQ(h.W()->GetVertPosition(), 0);
}

TEST(Preview, PaintsWhitePagesWithAShadowOnGray) {
    Host h(2);
    const QImage shot = TestKit::Grab(h.W());
    const TRect r = h.W()->PageList()->GetPageBounds(0, h.W()->GetClientWidth(), 1);
    const TRect client = h.W()->ClientRectInWindow();  // inside the sunken border
    const int ox = client.Left, oy = client.Top;
    EXPECT_EQ(QColor(shot.pixel(ox + 2, oy + 2)), QColor(128, 128, 128));
    EXPECT_EQ(QColor(shot.pixel(ox + r.Left + 20, oy + r.Top + 20)), QColor(Qt::white));
    EXPECT_EQ(QColor(shot.pixel(ox + r.Left, oy + r.Top + 20)), QColor(Qt::black));
    EXPECT_GT(h.Pages.DrawCount, 0);
}

// --- text search -------------------------------------------------------------------------------

namespace {
std::vector<FakePage> SearchPages() {
    std::vector<FakePage> pages(4);
    pages[0].Texts = {{{100, 100}, "Vysvědčení"}};
    pages[1].Texts = {{{100, 200}, "Jméno žáka: Novák"}, {{100, 900}, "ŽÁK PROSPĚL"}};
    pages[3].Texts = {{{100, 300}, "Podpis žáka"}};
    return pages;
}
}  // namespace

TEST(PreviewSearch, FindsACzechWordOnPageTwoThenItsSecondHitThenLaterPages) {
    Host h(0, SearchPages());
    TfrxSearchState& s = frxSearchState();
    s.Text = "žák";
    s.CaseSensitive = false;
    s.LastRecord = -1;
    h.W()->SearchPage = 0;
    h.W()->FindText();
    ASSERT_TRUE(s.Found);
    EXPECT_EQ(h.W()->SearchPage, 1);
    EXPECT_NEAR(s.Match.Top, 200, 2);
    const TRect second = h.W()->PageList()->GetPageBounds(1, h.W()->GetClientWidth(), 1);
    EXPECT_GE(h.W()->GetVertPosition() + h.W()->GetClientHeight(), second.Top + s.Match.Bottom);  // scrolled there
    h.W()->FindText();
    ASSERT_TRUE(s.Found);
    EXPECT_EQ(h.W()->SearchPage, 1);
    EXPECT_NEAR(s.Match.Top, 900, 2);
    const int vert = h.W()->GetVertPosition();
    const TRect page = h.W()->PageList()->GetPageBounds(1, h.W()->GetClientWidth(), 1);
    EXPECT_LE(vert, page.Top + s.Match.Top);
    EXPECT_GE(vert + h.W()->GetClientHeight(), page.Top + s.Match.Bottom);
    h.W()->FindText();
    ASSERT_TRUE(s.Found);
    EXPECT_EQ(h.W()->SearchPage, 3);
    h.W()->FindText();
    EXPECT_FALSE(s.Found);

    // Case-sensitive: only the lower-case spellings.
    s.CaseSensitive = true;
    s.Text = "ŽÁK";
    s.LastRecord = -1;
    h.W()->SearchPage = 0;
    h.W()->FindText();
    ASSERT_TRUE(s.Found);
    EXPECT_NEAR(s.Match.Top, 900, 2);
    s.CaseSensitive = false;
}

TEST(PreviewSearch, AMatchAlreadyInViewDoesNotScroll) {
    Host h(0, SearchPages());
    TfrxSearchState& s = frxSearchState();
    s.Text = "vysvědčení";
    s.CaseSensitive = false;
    s.LastRecord = -1;
    h.W()->SearchPage = 0;
    h.W()->FindText();
    ASSERT_TRUE(s.Found);
    EXPECT_EQ(h.W()->GetVertPosition(), 0);
    s.Text = "nikde";
    s.LastRecord = -1;
    h.W()->SearchPage = 0;
    h.W()->FindText();
    EXPECT_FALSE(s.Found);
    EXPECT_EQ(h.W()->GetVertPosition(), 0);
}

TEST(PreviewSearch, CtrlFAsksF3GoesOnAndTheDialogRemembersTheText) {
    Host h(0, SearchPages());
    h.Preview->SetFocus();
    TestKit::Key(Qt::Key_F3);  // before any search: nothing
    EXPECT_FALSE(frxSearchState().Found);
    frxLastSearchText() = "podpis";
    std::string offered;
    SetShowModalHook([&](TCustomForm* form) {
        auto* d = dynamic_cast<TfrxSearchDialog*>(form);
        ASSERT_NE(d, nullptr);
        offered = d->TextE->GetText();
        d->TextE->SetText("žák");
        d->TopCB->SetChecked(true);
        d->CaseCB->SetChecked(false);
        d->OkB->Click();
    });
    auto unhook = OnScopeExit([] { SetShowModalHook(nullptr); });
    TestKit::Key(Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(offered, "podpis");
    EXPECT_EQ(frxLastSearchText(), "žák");
    ASSERT_TRUE(frxSearchState().Found);
    EXPECT_NEAR(frxSearchState().Match.Top, 200, 2);
    TestKit::Key(Qt::Key_F3);  // the second hit on the same page
    ASSERT_TRUE(frxSearchState().Found);
    EXPECT_EQ(h.W()->SearchPage, 1);
    EXPECT_NEAR(frxSearchState().Match.Top, 900, 2);
    TestKit::Key(Qt::Key_F3);
    EXPECT_EQ(h.W()->SearchPage, 3);
}
