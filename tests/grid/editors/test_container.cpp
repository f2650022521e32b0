#include <cstdlib>

// The host's neutral answers, wheel scrolling, scroll-bar looks, and the two unit routines
// dxKillMessage and dxAdjustPopupPosition.

#include "EditorsFixture.h"
#include "platform/gui/Application.h"
#include "platform/gui/FlatScrollBars.h"

using namespace gridtest;

namespace {

TEST_F(EditorsTest, ABareHostAnswersNeutrally) {
    TCustomdxContainer bare(Form);
    EXPECT_FALSE(bare.CanEditorModify());
    EXPECT_FALSE(bare.IsEditorCharValid(U'a'));
    EXPECT_TRUE(bare.IsEditorAvailable());
    EXPECT_FALSE(bare.IsDataReadOnly());
    EXPECT_FALSE(bare.IsFocusRectHidden());
    EXPECT_FALSE(bare.IsEditorCellChanged());
    EXPECT_FALSE(bare.IsImmediateEditor());
    EXPECT_FALSE(bare.IsShowButtonAlways());
    EXPECT_FALSE(bare.WantTabs());
    EXPECT_EQ(bare.GetEditorPopupBorder(xbsSingle), pbFrame3D);
    bare.SetColor(clYellow);
    EXPECT_EQ(bare.GetEditColor(), clYellow);
    EXPECT_EQ(bare.GetEditFont(), bare.GetFont());
    EXPECT_FALSE(bare.IsEditorSetup());
    bare.BeginEditorSetup();
    EXPECT_TRUE(bare.IsEditorSetup());
    bare.EndEditorSetup();
    EXPECT_FALSE(bare.IsEditorSetup());
}

TEST_F(EditorsTest, EditorKeyDownFiresOnKeyDownWhichMayTakeTheKey) {
    TCustomdxContainer bare(Form);
    WORD key = 'Q';
    bare.EditorKeyDown(key, {});  // no handler: nothing happens
    EXPECT_EQ(key, 'Q');
    bare.OnKeyDown = [](TObject*, WORD& k, TShiftState s) {
        if (s.Contains(ssCtrl)) k = 0;
    };
    bare.EditorKeyDown(key, {ssCtrl});
    EXPECT_EQ(key, 0);
}

TEST_F(EditorsTest, ScrollByWheelSendsOneLinePerCount) {
    struct Case {
        bool Up;
        int Lines;
        size_t Sent;
        int Code;
    };
    for (const Case c :
        {Case{true, 3, 3, SB_LINEUP}, Case{false, 2, 2, SB_LINEDOWN}, Case{true, 0, 0, 0}, Case{false, -4, 0, 0}}) {
        Container->VScrolls.clear();
        Container->ScrollByWheel(c.Up, c.Lines);
        ASSERT_EQ(Container->VScrolls.size(), c.Sent) << c.Lines;
        for (int code : Container->VScrolls) EXPECT_EQ(code, c.Code);
    }
}

TEST_F(EditorsTest, AWheelTurnTowardsTheUserScrollsDown) {
    Container->Perform(WM_MOUSEWHEEL, MakeWParam(0, -WHEEL_DELTA), 0);
    EXPECT_EQ(Container->VScrolls, (std::vector<int>{SB_LINEDOWN, SB_LINEDOWN, SB_LINEDOWN}));
    Container->VScrolls.clear();
    Container->Perform(WM_MOUSEWHEEL, MakeWParam(0, WHEEL_DELTA), 0);
    EXPECT_EQ(Container->VScrolls, (std::vector<int>{SB_LINEUP, SB_LINEUP, SB_LINEUP}));
}

TEST_F(EditorsTest, ScrollBarStyleRecreatesTheWindowWithFlatBars) {
    Container->HandleNeeded();
    const int made = Container->WindowsMade;
    int mode = -1;
    ASSERT_TRUE(FlatSB_GetScrollProp(Container->WindowHandle(), WSB_PROP_VSTYLE, mode));
    EXPECT_EQ(mode, FSB_REGULAR_MODE);

    Container->SetScrollBarStyle(2);
    EXPECT_EQ(Container->WindowsMade, made + 1);
    ASSERT_TRUE(FlatSB_GetScrollProp(Container->WindowHandle(), WSB_PROP_VSTYLE, mode));
    EXPECT_EQ(mode, FSB_FLAT_MODE);
    ASSERT_TRUE(FlatSB_GetScrollProp(Container->WindowHandle(), WSB_PROP_HSTYLE, mode));
    EXPECT_EQ(mode, FSB_FLAT_MODE);
    Container->SetScrollBarStyle(2);
    EXPECT_EQ(Container->WindowsMade, made + 1) << "no change, no new window";
    Container->SetScrollBarStyle(1);
    ASSERT_TRUE(FlatSB_GetScrollProp(Container->WindowHandle(), WSB_PROP_HSTYLE, mode));
    EXPECT_EQ(mode, FSB_ENCARTA_MODE);
}

TEST_F(EditorsTest, ScrollInfoGoesStraightToTheWindowsBars) {
    Container->SetWindowStyle(Container->GetWindowStyle() | WS_VSCROLL);
    TScrollInfo set;
    set.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    set.nMin = 0;
    set.nMax = 99;
    set.nPage = 10;
    set.nPos = 42;
    Container->SetScrollInfo(SB_VERT, set, true);
    TScrollInfo got;
    got.fMask = SIF_ALL;
    ASSERT_TRUE(Container->GetScrollInfo(SB_VERT, got));
    EXPECT_EQ(got.nPos, 42);
    EXPECT_EQ(got.nMax, 99);
    TScrollInfo plain;
    plain.fMask = SIF_ALL;
    ASSERT_TRUE(::GetScrollInfo(Container->WindowHandle(), SB_VERT, plain));
    EXPECT_EQ(plain.nPos, 42);
}

TEST_F(EditorsTest, OnARightToLeftLocaleTheFlatBarsAreNotInitialised) {
    SysLocale().MiddleEast = true;
    TTestContainer other(Form);
    other.SetParent(Form);
    other.HandleNeeded();
    SysLocale().MiddleEast = false;
    EXPECT_FALSE(FlatSBInitialized(other.WindowHandle()));
    int mode = -1;
    EXPECT_FALSE(FlatSB_GetScrollProp(other.WindowHandle(), WSB_PROP_VSTYLE, mode));
}

// --- dxKillMessage ------------------------------------------------------------------------------

TEST_F(EditorsTest, KillMessageRemovesOnePendingMessage) {
    Container->HandleNeeded();
    const HWND w = Container->WindowHandle();
    PostMessage(w, WM_CHAR, 'a', 0);
    PostMessage(w, WM_CHAR, 'b', 0);
    dxKillMessage(w, WM_CHAR);
    TMsg m;
    ASSERT_TRUE(PeekMessage(m, w, WM_CHAR, WM_CHAR, PM_REMOVE));
    EXPECT_EQ(m.wParam, WPARAM('b'));
    EXPECT_FALSE(PeekMessage(m, w, WM_CHAR, WM_CHAR, PM_REMOVE));
    dxKillMessage(w, WM_CHAR);  // nothing pending: nothing happens
}

// A pending quit ends the application's loop, so this one runs in a child process.
TEST(KillMessage, AQuitRequestIsNeverLost) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            TestKit::EnsureApplication();
            PostMessage(nullptr, WM_QUIT, 7, 0);
            dxKillMessage(nullptr, WM_QUIT);
            TMsg m;
            const bool pending = PeekMessage(m, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE);
            std::exit(pending && m.wParam == 7 ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

// --- dxAdjustPopupPosition ----------------------------------------------------------------------

struct PopupCase {
    const char* Name;
    TRect Work;
    TPoint P;
    int Width, Height, EditHeight;
    TPoint Expected;
};

class PopupPosition : public ::testing::TestWithParam<PopupCase> {
protected:
    void SetUp() override { TestKit::EnsureApplication(); }
    void TearDown() override { Screen->SetWorkArea(TRect{}); }
};

TEST_P(PopupPosition, StaysInTheWorkAreaAndFlipsAboveWhenThereIsMoreRoom) {
    const PopupCase& c = GetParam();
    Screen->SetWorkArea(c.Work);
    TPoint p = c.P;
    dxAdjustPopupPosition(p, c.Width, c.Height, c.EditHeight);
    EXPECT_EQ(p, c.Expected);
}

INSTANTIATE_TEST_SUITE_P(Table, PopupPosition,
    ::testing::Values(PopupCase{"FitsBelow", Rect(0, 0, 800, 600), {100, 200}, 150, 100, 20, {100, 200}},
        PopupCase{"PushedInFromTheLeft", Rect(0, 0, 800, 600), {-30, 200}, 150, 100, 20, {0, 200}},
        PopupCase{"PushedInFromTheRight", Rect(0, 0, 800, 600), {700, 200}, 150, 100, 20, {650, 200}},
        PopupCase{"WiderThanTheWorkAreaLeftOfIt", Rect(0, 0, 800, 600), {10, 200}, 900, 100, 20, {-100, 200}},
        PopupCase{"FlipsAboveTheEditor", Rect(0, 0, 800, 600), {100, 560}, 150, 100, 20, {100, 440}},
        PopupCase{"StaysBelowWhenAboveIsSmaller", Rect(0, 0, 800, 600), {100, 30}, 150, 700, 20, {100, 30}},
        // A panel along the top: the work area starts at 100.
        PopupCase{"WorkAreaBelowATopPanelFitsBelow", Rect(50, 100, 850, 700), {60, 550}, 150, 120, 20, {60, 550}},
        PopupCase{"WorkAreaBelowATopPanelLeftEdge", Rect(50, 100, 850, 700), {20, 300}, 150, 120, 20, {50, 300}},
        PopupCase{"WorkAreaBelowATopPanelFlips", Rect(50, 100, 850, 700), {60, 650}, 150, 120, 20, {60, 510}}),
    [](const ::testing::TestParamInfo<PopupCase>& i) { return std::string(i.param.Name); });

}  // namespace
