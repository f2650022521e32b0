// View data, view info and the windowless painting of editor classes: frames, regions,
// borders, shadows, the text kind's drawing and measuring, and what an editor puts into its
// view data. Also the picture of a column of cells painted by a host.

#include <cstdlib>
#include <filesystem>

#include "EditorsFixture.h"
#include "grid/editors/dxUtils.h"

using namespace gridtest;

namespace {

struct InfoCase {
    const char* Name;
    TdxEditBorderStyle Border;
    bool Shadow;
    TdxEditEdges Edges;
    int BorderWidth;
    TRect Client, BorderRect, ShadowRect;
    bool HasRegion;
};

class ViewInfo : public ::testing::TestWithParam<InfoCase> {};

TEST_P(ViewInfo, FrameBorderShadowAndRegion) {
    const InfoCase& c = GetParam();
    TdxEditViewData vd;
    vd.Bounds = Rect(0, 0, 100, 24);
    vd.BorderStyle = c.Border;
    vd.Shadow = c.Shadow;
    vd.Edges = c.Edges;
    TdxEditViewInfo info;
    dxInplaceEditClass().CalcViewInfo(vd, false, info);
    EXPECT_EQ(info.BorderWidth, c.BorderWidth);
    EXPECT_EQ(info.ShadowSize, c.Shadow ? 2 : 0);
    EXPECT_EQ(info.Bounds, vd.Bounds);
    EXPECT_EQ(info.ClientRect, c.Client);
    EXPECT_EQ(info.BorderRect, c.BorderRect);
    EXPECT_EQ(info.ShadowRect, c.ShadowRect);
    TRegion region;
    ASSERT_EQ(dxEditViewInfoRegion(info, region), c.HasRegion);
    if (c.HasRegion) {
        EXPECT_TRUE(PtInRegion(region, c.BorderRect.Left, c.BorderRect.Top));
        EXPECT_EQ(PtInRegion(region, 0, 0), c.BorderRect.Left == 0 && c.BorderRect.Top == 0);
        EXPECT_EQ(PtInRegion(region, 99, 23), c.Shadow);
    }
}

const TdxEditEdges all = dxAllEdges();

INSTANTIATE_TEST_SUITE_P(Table, ViewInfo,
    ::testing::Values(
        InfoCase{"NoBorder", xbsNone, false, all, 0, Rect(2, 2, 98, 22), Rect(2, 2, 98, 22), TRect{}, true},
        InfoCase{"Single", xbsSingle, false, all, 1, Rect(2, 2, 98, 22), Rect(1, 1, 99, 23), TRect{}, true},
        InfoCase{"ThickAllEdgesNeedsNoRegion", xbsThick, false, all, 2, Rect(2, 2, 98, 22), Rect(0, 0, 100, 24),
            TRect{}, false},
        InfoCase{"ThreeDAllEdges", xbs3D, false, all, 2, Rect(2, 2, 98, 22), Rect(0, 0, 100, 24), TRect{}, false},
        InfoCase{"ThickPartialEdges", xbsThick, false, TdxEditEdges{edgLeft, edgTop}, 2, Rect(2, 2, 98, 22),
            Rect(0, 0, 98, 22), TRect{}, true},
        InfoCase{"FlatWithShadow", xbsFlat, true, all, 2, Rect(2, 2, 96, 20), Rect(0, 0, 98, 22), Rect(2, 2, 100, 24),
            true}),
    [](const ::testing::TestParamInfo<InfoCase>& i) { return std::string(i.param.Name); });

TEST(ViewInfoAutoSize, HeightFollowsTheFontWithoutButtons) {
    TestKit::EnsureApplication();
    TdxEditViewData vd;
    vd.FontHandle = CellFont();
    vd.Bounds = Rect(10, 10, 110, 12);
    TdxEditViewInfo info;
    dxInplaceEditClass().CalcViewInfo(vd, true, info);
    const int h = dxInplaceEditClass().GetMinHeight(vd);
    TCanvas screen;
    screen.SelectFont(vd.FontHandle);
    TTextMetric tm;
    GetTextMetrics(&screen, tm);
    EXPECT_EQ(h, tm.tmHeight + 3) << "in place";
    EXPECT_EQ(info.Bounds.Bottom, 10 + h + 4);
    EXPECT_EQ(info.ClientRect.Bottom, 10 + h + 2);
    EXPECT_EQ(info.Bounds.Right, 110) << "no buttons: the width stays";
}

class PaintTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestKit::EnsureApplication();
        Bmp = WhiteBitmap(200, 80);
        Vd.Bounds = Rect(10, 10, 110, 34);
        Vd.FontHandle = CellFont();
        Vd.BrushHandle = SolidBrush(clWindow);
        Vd.BackColor = ColorToRGB(clWindow);
        Vd.FontColor = clBlack;
        Vd.BorderColor = clRed;
    }
    HDC Dc() { return Bmp->Canvas()->Handle(); }
    std::unique_ptr<TBitmap> Bmp;
    TdxTextEditViewData Vd;
};

TEST_F(PaintTest, DrawEditorTakesWhatItPaintedOutOfTheClipRegion) {
    Vd.BorderStyle = xbsSingle;
    TRegion clip = CreateRectRgn(0, 0, 200, 80);
    dxInplaceTextEditClass().DrawEditor(Dc(), Vd.Bounds, Vd, &clip);
    EXPECT_FALSE(PtInRegion(clip, 11, 11)) << "the border";
    EXPECT_FALSE(PtInRegion(clip, 50, 20)) << "the content";
    EXPECT_TRUE(PtInRegion(clip, 10, 10)) << "the frame pixel outside a thin border shows the grid";
    EXPECT_TRUE(PtInRegion(clip, 150, 20));

    Vd.BorderStyle = xbsThick;
    clip = CreateRectRgn(0, 0, 200, 80);
    dxInplaceTextEditClass().DrawEditor(Dc(), Vd.Bounds, Vd, &clip);
    EXPECT_FALSE(PtInRegion(clip, 10, 10)) << "a thick full border covers the whole bounds";
    dxInplaceTextEditClass().DrawEditor(Dc(), Vd.Bounds, Vd, nullptr);  // no clip: fine too
}

TEST_F(PaintTest, SingleAndThickBordersAreFramesOrStrips) {
    Vd.BorderStyle = xbsSingle;
    dxInplaceEditClass().DrawEditor(Dc(), Vd.Bounds, Vd, nullptr);
    EXPECT_EQ(Bmp->GetPixel(11, 11), clRed);
    EXPECT_EQ(Bmp->GetPixel(108, 32), clRed);
    EXPECT_EQ(Bmp->GetPixel(12, 12), ColorToRGB(clWindow));
    EXPECT_EQ(Bmp->GetPixel(10, 10), clWhite) << "outside the border nothing is painted";

    Bmp = WhiteBitmap(200, 80);
    Vd.BorderStyle = xbsThick;
    Vd.Edges = TdxEditEdges{edgLeft, edgBottom};
    TdxEditViewInfo info;
    dxInplaceEditClass().CalcViewInfo(Vd, false, info);
    dxInplaceEditClass().DrawBorder(Dc(), info, Vd);
    EXPECT_EQ(Bmp->GetPixel(10, 20), clRed);
    EXPECT_EQ(Bmp->GetPixel(11, 20), clRed);
    EXPECT_EQ(Bmp->GetPixel(50, 33), clRed);
    EXPECT_EQ(Bmp->GetPixel(10, 10), clRed) << "the left strip reaches up over the absent top edge";
    EXPECT_EQ(Bmp->GetPixel(50, 12), clWhite) << "no top strip";
    EXPECT_EQ(Bmp->GetPixel(107, 20), clWhite) << "no right strip";
}

TEST_F(PaintTest, ShadowStripsInTheButtonShadowColour) {
    Vd.BorderStyle = xbsNone;
    Vd.Shadow = true;
    dxInplaceEditClass().DrawEditor(Dc(), Vd.Bounds, Vd, nullptr);
    const TColor shadow = ColorToRGB(clBtnShadow);
    // No border: the shadow follows the client rectangle (12, 12, 106, 30) two pixels down-right.
    EXPECT_EQ(Bmp->GetPixel(107, 20), shadow);
    EXPECT_EQ(Bmp->GetPixel(50, 31), shadow);
    EXPECT_EQ(Bmp->GetPixel(13, 31), clWhite) << "the corners outside the shadow show what is below";
    EXPECT_EQ(Bmp->GetPixel(107, 13), clWhite);
    EXPECT_EQ(Bmp->GetPixel(108, 20), clWhite);
}

TEST_F(PaintTest, FlatAnd3DBordersUseTheSystemEdges) {
    Vd.BorderStyle = xbs3D;
    dxInplaceEditClass().DrawEditor(Dc(), Vd.Bounds, Vd, nullptr);
    EXPECT_EQ(Bmp->GetPixel(10, 20), ColorToRGB(clBtnShadow)) << "sunken: dark top-left outside";
    EXPECT_EQ(Bmp->GetPixel(109, 20), ColorToRGB(clBtnHighlight));
    Bmp = WhiteBitmap(200, 80);
    Vd.BorderStyle = xbsFlat;
    dxInplaceEditClass().DrawEditor(Dc(), Vd.Bounds, Vd, nullptr);
    EXPECT_EQ(Bmp->GetPixel(10, 20), ColorToRGB(clBtnShadow));
    EXPECT_NE(Bmp->GetPixel(11, 20), clWhite);
}

TEST_F(PaintTest, APasswordShowsOneCharacterPerLetterAndAnEmptyValueOnlyTheBackground) {
    Vd.Value = Variant("tajné");
    Vd.PasswordChar = U'*';
    dxInplaceTextEditClass().Draw(Dc(), Vd.Bounds, Vd, false);
    const TRect secret = InkBox(*Bmp, Vd.Bounds, ColorToRGB(clWindow));
    EXPECT_EQ(Vd.ValueLength, 5);

    auto plain = WhiteBitmap(200, 80);
    TdxTextEditViewData stars = Vd;
    stars.PasswordChar = 0;
    stars.Value = Variant("*****");
    stars.ValueLength = 0;
    dxInplaceTextEditClass().Draw(plain->Canvas()->Handle(), Vd.Bounds, stars, false);
    EXPECT_EQ(secret, InkBox(*plain, Vd.Bounds, ColorToRGB(clWindow)));

    auto empty = WhiteBitmap(200, 80);
    Vd.Value = Variant("");
    Vd.ValueLength = 0;
    dxInplaceTextEditClass().Draw(empty->Canvas()->Handle(), Vd.Bounds, Vd, false);
    EXPECT_EQ(CountColor(*empty, Vd.Bounds, ColorToRGB(clWindow)), 100 * 24);
}

TEST_F(PaintTest, MeasuringPaintsNothingAndCountsLines) {
    Vd.Value = Variant("Jméno a příjmení žáka, které se nevejde");
    Vd.TextLayout = 3;
    Vd.MeasureOnly = true;
    dxInplaceTextEditClass().Draw(Dc(), Rect(10, 10, 70, 30), Vd, false);
    EXPECT_EQ(CountColor(*Bmp, Rect(0, 0, 200, 80), clWhite), 200 * 80);
    EXPECT_GT(Vd.MeasuredLineHeight, 0);
    EXPECT_GE(Vd.MeasuredLineCount, 3);
    EXPECT_EQ(Vd.MeasuredLineCount, Vd.MeasuredHeight / Vd.MeasuredLineHeight);
}

TEST_F(PaintTest, ARightAlignedTextEndsOnePixelFurtherLeft) {
    Vd.Value = Variant("1234");
    Vd.Alignment = taRightJustify;
    Vd.Transparent = true;
    dxInplaceTextEditClass().Draw(Dc(), Vd.Bounds, Vd, false);
    const TRect painted = InkBox(*Bmp, Vd.Bounds, clWhite);

    auto direct = WhiteBitmap(200, 80);
    TRect text = Vd.Bounds;
    InflateRect(text, -1, -1);
    dxDrawCellText(direct->Canvas()->Handle(), "1234", 4, Vd.Bounds, text, dxCellTextRight | dxCellTextNoFill,
        Vd.BrushHandle, Vd.FontHandle, Vd.BackColor, Vd.FontColor);
    EXPECT_EQ(painted.Right, InkBox(*direct, Vd.Bounds, clWhite).Right - 1);
}

TEST_F(PaintTest, CaseAndSelectionBarChangeWhatAndWhereTextIsShown) {
    Vd.Value = Variant("žák");
    Vd.CharCase = ecUpperCase;
    Vd.Transparent = true;
    dxInplaceTextEditClass().Draw(Dc(), Vd.Bounds, Vd, false);
    auto upper = WhiteBitmap(200, 80);
    TdxTextEditViewData u = Vd;
    u.CharCase = ecNormal;
    u.Value = Variant("ŽÁK");
    u.ValueLength = 0;
    dxInplaceTextEditClass().Draw(upper->Canvas()->Handle(), Vd.Bounds, u, false);
    EXPECT_EQ(InkBox(*Bmp, Vd.Bounds, clWhite), InkBox(*upper, Vd.Bounds, clWhite));

    auto bar = WhiteBitmap(200, 80);
    u.SelectionBar = true;
    dxInplaceTextEditClass().Draw(bar->Canvas()->Handle(), Vd.Bounds, u, false);
    EXPECT_EQ(InkBox(*bar, Vd.Bounds, clWhite).Left, InkBox(*upper, Vd.Bounds, clWhite).Left + 8);
}

TEST_F(PaintTest, AWindowPaintLeavesTheTextToTheEditWindow) {
    Vd.Value = Variant("text");
    Vd.HasEditWindow = true;
    EXPECT_FALSE(dxInplaceTextEditClass().Draw(Dc(), Vd.Bounds, Vd, true));
    EXPECT_EQ(CountColor(*Bmp, Rect(0, 0, 200, 80), clWhite), 200 * 80);
    EXPECT_TRUE(dxInplaceTextEditClass().Draw(Dc(), Vd.Bounds, Vd, false));
}

TEST(CursorAt, TheViewDatasCursorElseArrowWithoutAnEditWindow) {
    TdxEditViewData vd;
    EXPECT_EQ(dxInplaceEditClass().GetCursorAt(0, 0, vd), crArrow);
    vd.HasEditWindow = true;
    EXPECT_EQ(dxInplaceEditClass().GetCursorAt(0, 0, vd), crDefault);
    vd.Cursor = crHandPoint;
    EXPECT_EQ(dxInplaceEditClass().GetCursorAt(0, 0, vd), crHandPoint);
}

// --- what an editor puts into its view data -----------------------------------------------------

TEST_F(EditorsTest, ADisabledEditorPaintsWithButtonFaceAndShadowText) {
    Edit->SetColor(clYellow);
    Edit->GetFont()->SetColor(clRed);
    auto vd = Edit->CreateViewData(true);
    EXPECT_EQ(vd->BackColor, clYellow);
    EXPECT_EQ(vd->FontColor, clRed);
    Edit->SetEnabled(false);
    vd = Edit->CreateViewData(true);
    EXPECT_EQ(vd->BackColor, ColorToRGB(clBtnFace));
    EXPECT_EQ(vd->BrushHandle.Color, ColorToRGB(clBtnFace));
    EXPECT_EQ(vd->FontColor, ColorToRGB(clBtnShadow));
    EXPECT_NE(dynamic_cast<TdxTextEditViewData*>(vd.get()), nullptr) << "the class's view data";
}

TEST_F(EditorsTest, HotTrackingPromotesTheBorderOfAHighlightedEditor) {
    struct Case {
        TdxEditBorderStyle Set, Highlighted;
        TdxEditButtonViewStyle Buttons;
    };
    Edit->GetStyle()->SetHotTrack(true);
    for (const Case c : {Case{xbsNone, xbsFlat, btsFlat}, Case{xbsSingle, xbsThick, bts3D}, Case{xbsFlat, xbs3D, bts3D},
             Case{xbsThick, xbsThick, bts3D}, Case{xbs3D, xbs3D, bts3D}}) {
        Edit->GetStyle()->SetBorderStyle(c.Set);
        Edit->SetMouseInside(false);
        EXPECT_EQ(Edit->CreateViewData(false)->BorderStyle, c.Set);
        Edit->SetMouseInside(true);
        auto vd = Edit->CreateViewData(false);
        EXPECT_TRUE(vd->Highlighted);
        EXPECT_EQ(vd->BorderStyle, c.Highlighted);
        EXPECT_EQ(vd->ButtonStyle, c.Buttons) << "btsDefault follows the adjusted border";
    }
    Edit->GetStyle()->SetHotTrack(false);
    Edit->GetStyle()->SetBorderStyle(xbsSingle);
    EXPECT_EQ(Edit->CreateViewData(false)->BorderStyle, xbsSingle);
    EXPECT_EQ(Edit->CreateViewData(false)->ButtonStyle, btsHotFlat);
}

TEST_F(EditorsTest, ButtonTransparencyAndTheEditorsOwnSettings) {
    Edit->GetStyle()->SetButtonTransparence(ebtInactive);
    EXPECT_TRUE(Edit->CreateViewData(false)->ButtonsTransparent);
    Edit->SetMouseInside(true);
    EXPECT_FALSE(Edit->CreateViewData(false)->ButtonsTransparent);
    Edit->GetStyle()->SetButtonTransparence(ebtAlways);
    EXPECT_TRUE(Edit->CreateViewData(false)->ButtonsTransparent);

    Edit->SetTextOffsets(Rect(1, 0, 0, 0));
    Edit->SetText("Novák");
    Edit->SetBounds(0, 0, 80, 20);
    auto vd = Edit->CreateViewData(true);
    EXPECT_EQ(vd->TextMargins, Rect(1, 0, 0, 0));
    EXPECT_EQ(vd->Bounds, Rect(0, 0, 80, 20));
    EXPECT_EQ(VarToStr(vd->Value), "Novák");
    EXPECT_EQ(vd->ValueLength, 0);
}

// --- the picture ----------------------------------------------------------------------------------

// A column of eight cells as a grid paints them: through the text editor class's DrawEditor,
// each cell grown by 2 so that the frame falls on the grid lines, the row's clip region
// shrinking as the cells are painted.
TEST_F(EditorsTest, AColumnOfTextCellsPaintedThroughDrawEditor) {
    struct Row {
        const char* Text;
        TAlignment Alignment;
        TdxEditBorderStyle Border;
        bool Selected, Shadow, Ellipsis;
    };
    const Row rows[] = {
        {"Novák Jan", taLeftJustify, xbsNone, false, false, false},
        {"Svobodová Eliška", taLeftJustify, xbsNone, true, false, false},
        {"Dvořák Čeněk", taCenter, xbsNone, false, false, false},
        {"1 234,50 Kč", taRightJustify, xbsNone, false, false, false},
        {"Procházková Žaneta Marie", taLeftJustify, xbsNone, false, false, true},
        {"Černý Řehoř", taLeftJustify, xbsSingle, false, false, false},
        {"Kučerová Šárka", taLeftJustify, xbs3D, false, false, false},
        {"Veselý Ondřej", taLeftJustify, xbsFlat, false, true, false},
    };
    const int cellW = 150, cellH = 22;
    TRegion rowClip;
    Container->OnPaint = [&](TCanvas* canvas) {
        HDC dc = canvas->Handle();
        FillRect(dc, Container->GetClientRect(), clBtnFace);
        auto vd = dxInplaceTextEditClass().NewViewData();
        auto& t = static_cast<TdxTextEditViewData&>(*vd);
        for (int i = 0; i < 8; ++i) {
            const Row& r = rows[i];
            const TRect cell = Bounds(10, 10 + i * (cellH + 1), cellW, cellH);
            rowClip = CreateRectRgnIndirect(Bounds(0, cell.Top, 360, cellH));
            TRect painter = cell;
            InflateRect(painter, 2, 2);
            vd->Bounds = painter;
            vd->BorderStyle = r.Border;
            vd->BorderColor = clNavy;
            vd->Shadow = r.Shadow;
            vd->Alignment = r.Alignment;
            vd->TextLayout = 1;
            vd->TextMargins = Rect(1, 0, 0, 0);
            vd->FontHandle = CellFont();
            vd->BackColor = ColorToRGB(r.Selected ? clHighlight : clWindow);
            vd->BrushHandle = SolidBrush(vd->BackColor);
            vd->FontColor = ColorToRGB(r.Selected ? clHighlightText : clWindowText);
            vd->Value = Variant(r.Text);
            vd->ValueLength = 0;
            t.ShowEndEllipsis = r.Ellipsis;
            dxInplaceTextEditClass().DrawEditor(dc, cell, *vd, &rowClip);
            // The rest of the row, painted afterwards, leaves the cell alone.
            SelectClipRgn(dc, &rowClip);
            FillRect(dc, Bounds(0, cell.Top, 360, cellH), clMoneyGreen);
            SelectClipRgn(dc, nullptr);
        }
    };
    Container->Invalidate();
    TestKit::ProcessEvents();
    TBitmap shot(360, 200);
    Container->PaintTo(shot.Canvas()->Handle(), 0, 0);

    // The selected cell is highlighted, its text in the highlight text colour.
    const TRect selected = Bounds(10, 10 + cellH + 1, cellW, cellH);
    EXPECT_GT(CountColor(shot, selected, ColorToRGB(clHighlight)), cellW * cellH / 2);
    EXPECT_GT(CountColor(shot, selected, ColorToRGB(clHighlightText)), 0);
    // The rest of each row did not overdraw its cell.
    EXPECT_EQ(CountColor(shot, Bounds(10, 10, cellW, cellH), clMoneyGreen), 0);
    EXPECT_EQ(shot.GetPixel(200, 20), clMoneyGreen);
    // The right-aligned amount ends near the cell's right edge.
    const TRect amount = Bounds(10, 10 + 3 * (cellH + 1), cellW, cellH);
    EXPECT_GT(InkBox(shot, amount, ColorToRGB(clWindow)).Right, 10 + cellW - 8);
    // The single border in its colour.
    EXPECT_EQ(shot.GetPixel(9, 10 + 5 * (cellH + 1) + 5), clNavy);

    if (const char* dir = std::getenv("KAROMIL_SHOTS")) {
        std::filesystem::create_directories(dir);
        shot.SaveToFile(std::string(dir) + "/grid_editors_text_column.bmp");
    }
}

}  // namespace
