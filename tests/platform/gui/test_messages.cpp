// The message record, its typed views and packing.
#include <gtest/gtest.h>

#include "platform/gui/Messages.h"

namespace {

TEST(MessagesTest, PointsPackAsSignedHalves) {
    for (TPoint p : {TPoint{0, 0}, TPoint{5, 7}, TPoint{-1, -1}, TPoint{-300, 32767}, TPoint{-32768, 12}}) {
        TMessage m{WM_MOUSEMOVE, 0, PointToLParam(p), 0};
        EXPECT_EQ(TWMMouse(m).Pos(), p);
    }
}

TEST(MessagesTest, ViewsWriteThroughToTheMessage) {
    TMessage m{WM_CHAR, 'a', 1, 0};
    TWMKey k(m);
    k.SetCharCode(0);
    EXPECT_EQ(m.WParam, 0u);
    k.SetResult(5);
    EXPECT_EQ(m.Result, 5);
    TMessage w{WM_MOUSEWHEEL, MakeWParam(MK_CONTROL, -240), PointToLParam({10, 20}), 0};
    EXPECT_EQ(TWMMouseWheel(w).WheelDelta(), -240);
    EXPECT_EQ(TWMMouseWheel(w).Keys(), WPARAM(MK_CONTROL));
    TMessage s{WM_VSCROLL, MakeWParam(SB_THUMBTRACK, 1234), 0, 0};
    EXPECT_EQ(TWMScroll(s).ScrollCode(), SB_THUMBTRACK);
    EXPECT_EQ(TWMScroll(s).Pos(), 1234);
    TMessage key{WM_SYSKEYDOWN, VK_F4, 1 | KF_ALTDOWN_BIT, 0};
    EXPECT_TRUE(TWMKey(key).AltDown());
    EXPECT_TRUE(KeyDataToShiftState(key.LParam).Contains(ssAlt));
}

TEST(MessagesTest, WindowsNumbersWhereOthersDependOnThem) {
    EXPECT_EQ(WM_LBUTTONDOWN, 0x201u);
    EXPECT_EQ(WM_USER + 1, 1025u);
    EXPECT_EQ(WM_GETDLGCODE, 0x87u);
    EXPECT_EQ(DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTALLKEYS, 7);
    EXPECT_EQ(VK_ADD, 107);
    EXPECT_EQ(VK_SUBTRACT, 109);
    EXPECT_EQ(HTBORDER, 18);
    EXPECT_EQ(CN_KEYDOWN, 0xBD00u);
}

}  // namespace
