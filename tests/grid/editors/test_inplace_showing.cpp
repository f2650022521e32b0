// Showing an in-place editor over a cell, the quiet-show count, hiding, and the messages an
// in-place editor passes to its host (focus, wheel, double click).

#include "EditorsFixture.h"

using namespace gridtest;

namespace {

TEST_F(EditorsTest, AnInPlaceEditorStartsHiddenWithoutTabStopAndARegularOneHasItsSize) {
    EXPECT_FALSE(Edit->IsShown());
    EXPECT_FALSE(Edit->GetTabStop());
    EXPECT_EQ(Edit->GetContainer(), Container);
    TdxInplaceEdit free(Form, dxInplaceEditClass());
    EXPECT_TRUE(free.GetContainer() == nullptr) << "owned by a form, not by a container";
}

TEST_F(EditorsTest, ShowInRectCoversTheCellGrownByTwoAndTakesTheFocus) {
    Edit->ShowInRect(Rect(20, 30, 120, 50));
    TestKit::ProcessEvents();
    EXPECT_EQ(Edit->GetBoundsRect(), Rect(18, 28, 122, 52));
    EXPECT_TRUE(Edit->IsShown());
    EXPECT_TRUE(Edit->Focused());
    EXPECT_EQ(Edit->Shown, 1);
    // The form keeps the host as its focused control.
    EXPECT_EQ(Form->FocusedControl(), Container);
    EXPECT_GT(Container->Invalidations, 0);
}

TEST_F(EditorsTest, EditShownRunsOnlyOnTheFirstShowingOutsideAQuietBracket) {
    Edit->ShowInRect(Rect(20, 30, 120, 50));
    Edit->ShowInRect(Rect(20, 60, 120, 80));  // moved to the next cell while shown
    EXPECT_EQ(Edit->Shown, 1);
    EXPECT_EQ(Edit->GetBoundsRect(), Rect(18, 58, 122, 82));

    Edit->HideEdit();
    EXPECT_FALSE(Edit->IsShown());
    Edit->BeginQuietShow();
    Edit->ShowInRect(Rect(20, 30, 120, 50));
    Edit->EndQuietShow();
    EXPECT_EQ(Edit->Shown, 1);
    EXPECT_EQ(Edit->QuietShowCount(), 0);

    Edit->HideEdit();
    Edit->ShowInRect(Rect(20, 30, 120, 50));
    EXPECT_EQ(Edit->Shown, 2);
}

TEST_F(EditorsTest, AnEmptyRectangleShowsNothing) {
    Edit->ShowInRect(Rect(20, 30, 20, 50));
    EXPECT_FALSE(Edit->IsShown());
    EXPECT_EQ(Edit->Shown, 0);
}

TEST_F(EditorsTest, TheWheelOverTheEditorScrollsTheHost) {
    Edit->ShowInRect(Rect(20, 30, 120, 50));
    Edit->Perform(WM_MOUSEWHEEL, MakeWParam(0, -WHEEL_DELTA), 0);
    ASSERT_EQ(Container->VScrolls.size(), 3u);
    for (int code : Container->VScrolls) EXPECT_EQ(code, SB_LINEDOWN);
}

TEST_F(EditorsTest, DoubleClickAndKeyReleaseGoToTheHost) {
    Edit->ShowInRect(Rect(20, 30, 120, 50));
    Edit->Perform(WM_LBUTTONDBLCLK, 0, MakeLParam(5, 5));
    EXPECT_EQ(Container->DblClicks, 1);
}

TEST_F(EditorsTest, AnImmediateEditorTurnsTheFirstPressIntoADoubleClick) {
    TestKit::TFakeClock clock(50000);
    Container->Immediate = true;
    Edit->ShowInRect(Rect(20, 30, 120, 50));
    TestKit::ProcessEvents();
    Edit->SetClickTime(clock.Now());
    clock.Advance(100);
    TestKit::MouseDown(Edit, Point(10, 5));
    TestKit::MouseUp(Edit, Point(10, 5));
    EXPECT_EQ(Container->DblClicks, 1);
    EXPECT_EQ(Edit->GetClickTime(), 0u);
    clock.Advance(5000);
    TestKit::MouseDown(Edit, Point(10, 5));
    TestKit::MouseUp(Edit, Point(10, 5));
    EXPECT_EQ(Container->DblClicks, 1) << "the click time is spent";
}

TEST_F(EditorsTest, HideEditRepaintsTheHostBelow) {
    Edit->ShowInRect(Rect(20, 30, 120, 50));
    TestKit::ProcessEvents();
    Edit->HideEdit();
    TestKit::ProcessEvents();
    EXPECT_FALSE(Edit->IsShown());
    EXPECT_FALSE(IsWindowVisible(Edit->WindowHandle()));
}

}  // namespace

namespace {

TEST_F(EditorsTest, TheClientAreaIsTheWindowLessTheViewInfosFrame) {
    Edit->ShowInRect(Rect(20, 30, 120, 50));
    TestKit::ProcessEvents();
    EXPECT_EQ(Edit->GetClientRect(), Rect(0, 0, 100, 20)) << "two pixels of frame on every side";
    Edit->GetStyle()->SetShadow(true);
    EXPECT_EQ(Edit->GetClientRect(), Rect(0, 0, 98, 18)) << "and two more for the shadow";
}

TEST_F(EditorsTest, PaintedOnlyEditorsPaintTheirTextThroughTheirClass) {
    Container->OnPaint = [](TCanvas* c) { FillRect(c->Handle(), Rect(0, 0, 360, 260), clWhite); };
    Edit->SetColor(clYellow);
    Edit->SetText("Novák");
    Edit->GetStyle()->SetBorderStyle(xbsSingle);
    Edit->GetStyle()->SetBorderColor(clRed);
    Edit->ShowInRect(Rect(20, 30, 120, 50));
    TestKit::ProcessEvents();
    TBitmap shot(360, 260);
    Container->PaintTo(shot.Canvas()->Handle(), 0, 0);
    EXPECT_EQ(shot.GetPixel(19, 40), clRed) << "the border, one pixel outside the cell";
    EXPECT_EQ(shot.GetPixel(18, 40), clWhite) << "the frame pixel outside a thin border shows the grid";
    EXPECT_GT(CountColor(shot, Rect(20, 30, 120, 50), clYellow), 1000);
    const TRect text = InkBox(shot, Rect(20, 30, 120, 50), clYellow);
    EXPECT_GE(text.Left, 20) << "the text, from the left of the cell";
    EXPECT_LE(text.Left, 23);
    EXPECT_GT(text.Width(), 15);
}

}  // namespace
