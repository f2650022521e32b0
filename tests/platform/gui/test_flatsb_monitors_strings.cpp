// The string table, flat scroll bars over a window's own bars, and monitors with their work
// areas.

#include <gtest/gtest.h>

#include "platform/gui/Application.h"
#include "platform/gui/FlatScrollBars.h"
#include "platform/gui/Forms.h"
#include "platform/gui/StringTable.h"
#include "platform/gui/TestKit.h"

namespace {

TEST(StringTable, LoadsByNumberAndATranslationReplaces) {
    EXPECT_EQ(LoadStr(987001), "");
    EXPECT_FALSE(StringResourceExists(987001));
    AddStringResources({{987001, "Storno"}, {987002, "Zavřít"}});
    EXPECT_EQ(LoadStr(987001), "Storno");
    EXPECT_EQ(LoadStr(987002), "Zavřít");
    AddStringResources({{987001, "Cancel"}});
    EXPECT_EQ(LoadStr(987001), "Storno") << "built-in texts never undo an earlier one";
    RegisterStringResource(987001, "Zrušit");
    EXPECT_EQ(LoadStr(987001), "Zrušit");
}

class FlatBars : public ::testing::Test {
protected:
    void SetUp() override {
        TestKit::EnsureApplication();
        Form = new TForm(nullptr);
        Form->SetBounds(10, 10, 300, 200);
        Form->HandleNeeded();
    }
    void TearDown() override { delete Form; }
    TForm* Form = nullptr;
};

TEST_F(FlatBars, LooksAreKeptOnlyForAWindowWithFlatBars) {
    const HWND w = Form->WindowHandle();
    int v = -1;
    EXPECT_FALSE(FlatSB_SetScrollProp(w, WSB_PROP_VSTYLE, FSB_FLAT_MODE, true));
    EXPECT_FALSE(FlatSB_GetScrollProp(w, WSB_PROP_VSTYLE, v));
    ASSERT_TRUE(InitializeFlatSB(w));
    EXPECT_TRUE(FlatSB_GetScrollProp(w, WSB_PROP_VSTYLE, v));
    EXPECT_EQ(v, FSB_REGULAR_MODE);
    EXPECT_TRUE(FlatSB_SetScrollProp(w, WSB_PROP_VSTYLE, FSB_FLAT_MODE, true));
    EXPECT_TRUE(FlatSB_SetScrollProp(w, WSB_PROP_HSTYLE, FSB_ENCARTA_MODE, false));
    EXPECT_FALSE(FlatSB_SetScrollProp(w, WSB_PROP_HSTYLE, 7, false)) << "no such look";
    EXPECT_FALSE(FlatSB_SetScrollProp(w, 0x400, FSB_FLAT_MODE, false)) << "no such property";
    FlatSB_GetScrollProp(w, WSB_PROP_VSTYLE, v);
    EXPECT_EQ(v, FSB_FLAT_MODE);
    FlatSB_GetScrollProp(w, WSB_PROP_HSTYLE, v);
    EXPECT_EQ(v, FSB_ENCARTA_MODE);
    UninitializeFlatSB(w);
    EXPECT_FALSE(FlatSBInitialized(w));
    EXPECT_FALSE(InitializeFlatSB(nullptr));
}

TEST_F(FlatBars, ScrollInformationIsTheWindowsOwn) {
    auto* control = new TWinControl(Form);
    control->SetParent(Form);
    control->SetBounds(5, 5, 200, 100);
    control->HandleNeeded();
    control->SetWindowStyle(control->GetWindowStyle() | WS_HSCROLL);
    const HWND w = control->WindowHandle();
    InitializeFlatSB(w);
    TScrollInfo set;
    set.fMask = SIF_RANGE | SIF_POS | SIF_PAGE;
    set.nMax = 200;
    set.nPage = 50;
    set.nPos = 120;
    FlatSB_SetScrollInfo(w, SB_HORZ, set, true);
    TScrollInfo got;
    got.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(w, SB_HORZ, got));
    EXPECT_EQ(got.nPos, 120);
    TScrollInfo flat;
    flat.fMask = SIF_ALL;
    ASSERT_TRUE(FlatSB_GetScrollInfo(w, SB_HORZ, flat));
    EXPECT_EQ(flat.nMax, 200);
    EXPECT_EQ(flat.nPage, 50u);
}

class Monitors : public ::testing::Test {
protected:
    void SetUp() override { TestKit::EnsureApplication(); }
    void TearDown() override { Screen->SetWorkArea(TRect{}); }
};

TEST_F(Monitors, ThePointsMonitorOrTheNearestOne) {
    const HMONITOR on = MonitorFromPoint(Point(5, 5), MONITOR_DEFAULTTONULL);
    EXPECT_EQ(on, 1);
    EXPECT_EQ(MonitorFromPoint(Point(-50000, 5), MONITOR_DEFAULTTONULL), 0);
    EXPECT_EQ(MonitorFromPoint(Point(-50000, 5), MONITOR_DEFAULTTONEAREST), 1);
    EXPECT_EQ(MonitorFromPoint(Point(-50000, 5), MONITOR_DEFAULTTOPRIMARY), 1);
    TMonitorInfo info;
    ASSERT_TRUE(GetMonitorInfo(on, info));
    EXPECT_TRUE(info.dwFlags & MONITORINFOF_PRIMARY);
    EXPECT_FALSE(IsRectEmpty(info.rcMonitor));
    EXPECT_FALSE(GetMonitorInfo(0, info));
    EXPECT_FALSE(GetMonitorInfo(99, info));
}

TEST_F(Monitors, TheWorkAreaOfAMonitorAndOfTheSystem) {
    Screen->SetWorkArea(Rect(40, 100, 840, 700));
    TMonitorInfo info;
    ASSERT_TRUE(GetMonitorInfo(MonitorFromPoint(Point(5, 5), MONITOR_DEFAULTTONEAREST), info));
    EXPECT_EQ(info.rcWork, Rect(40, 100, 840, 700));
    TRect work;
    ASSERT_TRUE(SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0));
    EXPECT_EQ(work, Rect(40, 100, 840, 700));
    EXPECT_FALSE(SystemParametersInfo(SPI_GETWORKAREA, 0, nullptr, 0));
    EXPECT_FALSE(SystemParametersInfo(0x1234, 0, &work, 0));
}

TEST(SysLocaleFlags, ALeftToRightLocaleUnlessATestSaysOtherwise) {
    EXPECT_FALSE(SysLocale().MiddleEast);
    EXPECT_FALSE(SysLocale().FarEast);
}

}  // namespace
