// The cell-text routine (flags, both drawing paths, measuring, focus rectangles) and the small
// drawing helpers beside it.

#include "EditorsFixture.h"
#include "grid/editors/dxUtils.h"
#include "platform/gui/ImageList.h"

using namespace gridtest;

namespace {

constexpr TColor kBrush = clYellow;
constexpr TColor kBk = clAqua;
constexpr TColor kText = clBlack;

class CellTextTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestKit::EnsureApplication();
        Bmp = WhiteBitmap(220, 60);
    }
    int Draw(const std::string& text, const TRect& fill, const TRect& textRect, uint16_t flags,
        int* lineHeight = nullptr, int length = -2) {
        HDC dc = Bmp->Canvas()->Handle();
        return dxDrawCellText(dc, text, length == -2 ? int(text.size()) : length, fill, textRect, flags,
            SolidBrush(kBrush), CellFont(), kBk, kText, lineHeight);
    }
    int LineHeight() {
        int h = 0;
        Draw("Xg", Rect(0, 0, 200, 40), Rect(0, 0, 200, 40), dxCellTextMeasure, &h);
        return h;
    }
    std::unique_ptr<TBitmap> Bmp;
};

const TRect kFill = Rect(10, 5, 150, 25);
const TRect kTextRect = Rect(12, 5, 146, 25);

TEST_F(CellTextTest, ALeftTextThatFitsWithoutFillChangesOnlyItsOwnPixels) {
    Draw("Novák", kFill, kTextRect, dxCellTextNoFill);
    EXPECT_EQ(Bmp->GetPixel(11, 6), clWhite);
    EXPECT_EQ(CountColor(*Bmp, Rect(0, 0, 220, 60), kBk), 0);
    EXPECT_EQ(CountColor(*Bmp, Rect(0, 0, 220, 60), kBrush), 0);
    const TRect ink = InkBox(*Bmp, Rect(0, 0, 220, 60), clWhite);
    EXPECT_GE(ink.Left, kTextRect.Left);
    EXPECT_LE(ink.Left, kTextRect.Left + 2);
    EXPECT_GE(ink.Top, kTextRect.Top);
}

struct PlaceCase {
    const char* Name;
    uint16_t Flags;
    int InkLeftMin, InkLeftMax;  // where the text's ink starts
    int InkTopMin, InkBottomMax;
};

class TextPlacement : public CellTextTest, public ::testing::WithParamInterface<PlaceCase> {};

TEST_P(TextPlacement, TheSimplePathPlacesTheTextByAlignmentAndLayout) {
    const PlaceCase& c = GetParam();
    Draw("Nina", kFill, kTextRect, c.Flags);  // letters that do not reach out of their cells
    // The simple path fills the clip rectangle with the background colour as it draws.
    EXPECT_EQ(Bmp->GetPixel(11, 6), kBk);
    EXPECT_EQ(Bmp->GetPixel(9, 6), clWhite);
    EXPECT_EQ(CountColor(*Bmp, kFill, kBrush), 0);
    const TRect ink = InkBox(*Bmp, kFill, kBk);
    ASSERT_FALSE(IsRectEmpty(ink));
    EXPECT_GE(ink.Left, c.InkLeftMin);
    EXPECT_LE(ink.Left, c.InkLeftMax);
    EXPECT_GE(ink.Top, c.InkTopMin);
    EXPECT_LE(ink.Bottom, c.InkBottomMax);
}

INSTANTIATE_TEST_SUITE_P(Table, TextPlacement,
    ::testing::Values(PlaceCase{"TopLeft", dxCellTextLeft, 12, 14, 5, 19},
        PlaceCase{"Centre", dxCellTextCenter, 60, 76, 5, 19}, PlaceCase{"Right", dxCellTextRight, 114, 142, 5, 19},
        PlaceCase{"VCentre", dxCellTextVCenter, 12, 14, 7, 23}, PlaceCase{"Bottom", dxCellTextBottom, 12, 14, 10, 25}),
    [](const ::testing::TestParamInfo<PlaceCase>& i) { return std::string(i.param.Name); });

TEST_F(CellTextTest, ATooWideTextIsCutAtItsRectangleAndTheRestOfTheCellIsStillFilled) {
    const TRect narrow = Rect(12, 5, 60, 25);
    Draw("Velmi dlouhé příjmení žáka", kFill, narrow, dxCellTextLeft);
    EXPECT_EQ(Bmp->GetPixel(100, 10), kBrush) << "right of the text rectangle: the brush";
    EXPECT_EQ(Bmp->GetPixel(11, 10), kBk) << "the clipped part: the background colour";
    EXPECT_EQ(CountColor(*Bmp, Rect(60, 5, 150, 25), kText), 0) << "no text beyond the rectangle";
    EXPECT_GT(CountColor(*Bmp, narrow, kText), 0);
}

TEST_F(CellTextTest, EndEllipsisTakesTheFormattedPathAndFillsWithTheBrush) {
    const TRect narrow = Rect(12, 5, 60, 25);
    Draw("Velmi dlouhé příjmení žáka", kFill, narrow, dxCellTextEndEllipsis);
    EXPECT_EQ(Bmp->GetPixel(11, 10), kBrush);
    EXPECT_EQ(CountColor(*Bmp, kFill, kBk), 0) << "drawn transparently";
    EXPECT_EQ(CountColor(*Bmp, Rect(60, 5, 150, 25), kText), 0);
    EXPECT_GT(CountColor(*Bmp, narrow, kText), 0);
}

TEST_F(CellTextTest, ALineFeedWrapsOnlyInMultiLineLayout) {
    const int line = LineHeight();
    const TRect fill = Rect(10, 5, 150, 55), text = Rect(12, 5, 146, 55);
    Draw("první\nduhý", fill, text, dxCellTextMultiLine | dxCellTextNoFill);
    TRect ink = InkBox(*Bmp, fill, clWhite);
    EXPECT_GT(ink.Height(), line) << "two lines";

    Bmp = WhiteBitmap(220, 60);
    Draw("první\nduhý", fill, text, dxCellTextNoFill);
    ink = InkBox(*Bmp, fill, clWhite);
    EXPECT_LE(ink.Height(), line) << "one line through the simple path";
}

TEST_F(CellTextTest, MeasuringDrawsNothingAndAnswersTheCellHeight) {
    int line = 0;
    const TRect fill = Rect(10, 5, 60, 25), text = Rect(12, 7, 58, 23);  // 4 pixels of margins
    const int oneLine = Draw("Jan", fill, text, dxCellTextMeasure, &line);
    EXPECT_GT(line, 8);
    EXPECT_EQ(oneLine, 4 + line);
    const int wrapped = Draw("Velmi dlouhé příjmení žáka", fill, text, dxCellTextMeasure | dxCellTextMultiLine, &line);
    EXPECT_GE(wrapped, 4 + 2 * line) << "a wrapped text needs more lines";
    EXPECT_EQ((wrapped - 4) % line, 0);
    EXPECT_EQ(CountColor(*Bmp, Rect(0, 0, 220, 60), clWhite), 220 * 60) << "nothing painted";
}

TEST_F(CellTextTest, FocusRectangleAroundTheRectangleOrAroundTheTextButNotAnEmptyOne) {
    Draw("", kFill, kTextRect, dxCellTextFocusRect | dxCellTextFocusOnText | dxCellTextNoFill);
    EXPECT_EQ(CountColor(*Bmp, Rect(0, 0, 220, 60), clWhite), 220 * 60);

    Draw("", kFill, kTextRect, dxCellTextFocusRect | dxCellTextNoFill);
    // The frame lies one pixel outside the text rectangle.
    EXPECT_GT(CountColor(*Bmp, Rect(11, 4, 147, 5), clWhite), 0);
    EXPECT_LT(CountColor(*Bmp, Rect(11, 4, 147, 5), clWhite), 136);
    EXPECT_LT(CountColor(*Bmp, Rect(146, 4, 147, 26), clWhite), 22);
    EXPECT_EQ(CountColor(*Bmp, Rect(13, 6, 145, 24), clWhite), 132 * 18);
}

TEST_F(CellTextTest, AFocusRectangleOnARightAlignedWrappedTextFramesTheText) {
    Draw("ab", kFill, kTextRect, dxCellTextRight | dxCellTextMultiLine | dxCellTextFocusRect | dxCellTextFocusOnText);
    // Nothing of the frame at the left of the cell, where no text is.
    EXPECT_EQ(CountColor(*Bmp, Rect(12, 5, 100, 25), kBrush), 88 * 20);
    EXPECT_LT(CountColor(*Bmp, Rect(100, 5, 150, 25), kBrush), 50 * 20);
}

TEST_F(CellTextTest, KeepingTheBackgroundModePaintsTheTextBackgroundWithoutAFill) {
    HDC dc = Bmp->Canvas()->Handle();
    SetBkMode(dc, OPAQUE);
    Draw("Jan", kFill, kTextRect, dxCellTextNoFill);
    EXPECT_EQ(CountColor(*Bmp, kFill, kBk), 0) << "transparent for the call";
    EXPECT_EQ(GetBkMode(dc), OPAQUE) << "and the mode comes back";
    Draw("Jan", kFill, kTextRect, dxCellTextNoFill | dxCellTextKeepBkMode);
    EXPECT_GT(CountColor(*Bmp, kFill, kBk), 0);
}

TEST_F(CellTextTest, TheDeviceContextComesBackAsItWas) {
    HDC dc = Bmp->Canvas()->Handle();
    SetTextColor(dc, clRed);
    SetBkColor(dc, clLime);
    TFontData before = dc->SelectedFont();
    Draw("Jan", kFill, kTextRect, dxCellTextCenter | dxCellTextEndEllipsis | dxCellTextFocusRect);
    EXPECT_EQ(GetTextColor(dc), clRed);
    EXPECT_EQ(GetBkColor(dc), clLime);
    EXPECT_TRUE(dc->SelectedFont() == before);
}

TEST_F(CellTextTest, ACentredTextInACellScrolledPartlyOffTheLeftStaysWhereItBelongs) {
    // The cell runs from -100 to 140; its middle is at 20.
    Draw("Jan", Rect(-100, 5, 140, 25), Rect(-100, 5, 140, 25), dxCellTextCenter | dxCellTextVCenter);
    const TRect ink = InkBox(*Bmp, Rect(0, 5, 140, 25), kBk);
    ASSERT_FALSE(IsRectEmpty(ink));
    EXPECT_NEAR((ink.Left + ink.Right) / 2, 20, 3);
}

TEST_F(CellTextTest, OnlyThePrefixIsDrawnWhereTheWholeTextWouldBe) {
    Draw("Novák", kFill, kTextRect, dxCellTextRight | dxCellTextNoFill, nullptr, 2);
    const TRect prefix = InkBox(*Bmp, kFill, clWhite);
    Bmp = WhiteBitmap(220, 60);
    Draw("Novák", kFill, kTextRect, dxCellTextRight | dxCellTextNoFill);
    const TRect whole = InkBox(*Bmp, kFill, clWhite);
    EXPECT_EQ(prefix.Left, whole.Left);
    EXPECT_LT(prefix.Right, whole.Right);
}

// --- helpers ------------------------------------------------------------------------------------

TEST(CellHelpers, EnsureBitmapSizeOnlyGrows) {
    TestKit::EnsureApplication();
    TBitmap b(100, 20);
    dxEnsureBitmapSize(&b, 50, 30);
    EXPECT_EQ(b.GetWidth(), 100);
    EXPECT_EQ(b.GetHeight(), 30);
    dxEnsureBitmapSize(&b, 10, 10);
    EXPECT_EQ(b.GetWidth(), 100);
    EXPECT_EQ(b.GetHeight(), 30);
}

TEST(CellHelpers, ImageListColours) {
    EXPECT_EQ(dxImageListColor(clNone), CLR_NONE);
    EXPECT_EQ(dxImageListColor(clDefault), CLR_DEFAULT);
    EXPECT_EQ(dxImageListColor(clRed), clRed);
    EXPECT_EQ(dxImageListColor(clBtnFace), ColorToRGB(clBtnFace));
}

TEST(CellHelpers, HalftoneColoursEveryOtherPixelAndKeepsTheRest) {
    TestKit::EnsureApplication();
    auto b = WhiteBitmap(16, 16);
    dxDrawHalftoneRect(b->Canvas()->Handle(), Rect(2, 2, 10, 10), clNavy);
    EXPECT_EQ(CountColor(*b, Rect(2, 2, 10, 10), clNavy), 32);
    EXPECT_EQ(CountColor(*b, Rect(2, 2, 10, 10), clWhite), 32);
    EXPECT_NE(b->GetPixel(2, 2), b->GetPixel(3, 2));
    EXPECT_EQ(b->GetPixel(2, 2), b->GetPixel(3, 3));
    EXPECT_EQ(CountColor(*b, Rect(0, 0, 16, 16), clNavy), 32) << "nothing outside";
}

TEST(CellHelpers, BitmapOverBrushShowsTheBrushWhereTheBitmapIsTransparent) {
    TestKit::EnsureApplication();
    TBitmap glyph(4, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) glyph.SetPixel(x, y, x == y ? clRed : clFuchsia);
    glyph.SetTransparentMode(tmFixed);
    glyph.SetTransparentColor(clFuchsia);
    auto b = WhiteBitmap(20, 20);
    dxDrawBitmapOverBrush(b->Canvas()->Handle(), SolidBrush(clGreen), Rect(5, 5, 9, 9), &glyph);
    EXPECT_EQ(b->GetPixel(5, 5), clRed);
    EXPECT_EQ(b->GetPixel(6, 5), clGreen);
    EXPECT_EQ(b->GetPixel(4, 4), clWhite);

    auto g = WhiteBitmap(20, 20);
    dxDrawGlyphInRect(g->Canvas()->Handle(), SolidBrush(clGreen), Rect(2, 2, 14, 14), &glyph, Rect(4, 4, 8, 8));
    EXPECT_EQ(g->GetPixel(2, 2), clGreen);
    EXPECT_EQ(g->GetPixel(6, 6), clRed);
    EXPECT_EQ(g->GetPixel(7, 6), clGreen);
    EXPECT_EQ(g->GetPixel(14, 14), clWhite);
}

TEST(CellHelpers, FillShadowFillsTheBottomAndRightStrips) {
    TestKit::EnsureApplication();
    auto b = WhiteBitmap(20, 20);
    dxFillShadow(b->Canvas()->Handle(), Rect(2, 2, 12, 12), 2, SolidBrush(clGray));
    EXPECT_EQ(CountColor(*b, Rect(0, 0, 20, 20), clGray), 10 * 2 + 8 * 2);
    EXPECT_EQ(b->GetPixel(11, 2), clGray);
    EXPECT_EQ(b->GetPixel(2, 11), clGray);
    EXPECT_EQ(b->GetPixel(9, 9), clWhite);
}

TEST(CellHelpers, DrawImageUsesTheListsStyleAndIgnoresBadIndexes) {
    TestKit::EnsureApplication();
    TImageList list;
    list.SetWidth(4);
    list.SetHeight(4);
    TBitmap tile(4, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) tile.SetPixel(x, y, x < 2 ? clBlue : clFuchsia);
    list.AddMasked(&tile, clFuchsia);
    auto b = WhiteBitmap(10, 10);
    dxDrawImage(b->Canvas()->Handle(), 3, 3, &list, 0);
    EXPECT_EQ(b->GetPixel(3, 3), clBlue);
    EXPECT_EQ(b->GetPixel(6, 3), clWhite);
    dxDrawImage(b->Canvas()->Handle(), 0, 0, &list, 5);
    dxDrawImage(b->Canvas()->Handle(), 0, 0, nullptr, 0);
    EXPECT_EQ(b->GetPixel(0, 0), clWhite);
}

}  // namespace
