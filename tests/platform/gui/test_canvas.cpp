#include <gtest/gtest.h>

#include "CanvasTestUtil.h"
#include "platform/classes/TypInfo.h"

namespace {

struct PixelCase {
    int x, y;
    TColor expected;
};

void ExpectPixels(TBitmap& b, const std::vector<PixelCase>& cases) {
    for (const auto& c : cases) EXPECT_EQ(b.GetPixel(c.x, c.y), c.expected) << "at (" << c.x << "," << c.y << ")";
}

// --- colours -------------------------------------------------------------------------------

TEST(Colors, SystemColoursResolveThroughTheFixedTable) {
    struct {
        TColor in, out;
    } cases[] = {
        {clBtnFace, 0xC8D0D4},
        {clBtnShadow, 0x808080},
        {clBtnHighlight, 0xFFFFFF},
        {cl3DDkShadow, 0x404040},
        {clWindow, 0xFFFFFF},
        {clWindowText, 0},
        {clHighlight, 0x6A240A},
        {clGrayText, 0x808080},
        {TColor(0x8000000F), 0xC8D0D4},  // the older system-colour flag resolves the same way
        {clRed, clRed},
        {clNone, clNone},
        {clDefault, clDefault},
        {clGray, RGB(128, 128, 128)},
    };
    for (auto c : cases) EXPECT_EQ(ColorToRGB(c.in), c.out) << std::hex << c.in;
}

TEST(Colors, NamesRoundTrip) {
    EXPECT_EQ(StringToColor("clbtnface"), clBtnFace);
    EXPECT_EQ(ColorToString(clRed), "clRed");
    EXPECT_EQ(ColorToString(0x123456), "$00123456");
    EXPECT_EQ(StringToColor("$00123456"), 0x123456);
    EXPECT_THROW(StringToColor("clNoSuch"), EConvertError);
}

// --- fonts ---------------------------------------------------------------------------------

TEST(Font, SizeAndHeightFollowPixelsPerInch) {
    struct {
        int ppi, size, height;
    } cases[] = {{96, 8, -11}, {96, 10, -13}, {96, 12, -16}, {600, 10, -83}, {72, 9, -9}};
    for (auto c : cases) {
        TFont f;
        f.SetPixelsPerInch(c.ppi);
        f.SetSize(c.size);
        EXPECT_EQ(f.GetHeight(), c.height);
        EXPECT_EQ(f.GetSize(), c.size);
    }
}

TEST(Font, AssignAcrossResolutionsKeepsThePointSize) {
    TFont screen, printer;
    screen.SetSize(10);
    printer.SetPixelsPerInch(600);
    printer.Assign(&screen);
    EXPECT_EQ(printer.GetSize(), 10);
    EXPECT_EQ(printer.GetHeight(), -83);
    TFont same;
    same.Assign(&screen);
    EXPECT_EQ(same.GetHeight(), -13);
}

TEST(Font, PublishesItsPropertiesInOrder) {
    TFont f;
    std::vector<std::string> names;
    for (auto* p : GetPropList(f.ClassType())) names.push_back(p->Name());
    EXPECT_EQ(names, (std::vector<std::string>{"Charset", "Color", "Height", "Name", "Pitch", "Size", "Style"}));
    EXPECT_FALSE(IsStoredProp(&f, "Size"));
    f.SetStyle({fsBold, fsStrikeOut});
    EXPECT_EQ(GetOrdProp(&f, "Style"), 1 + 8);
}

TEST(Font, ChangeNotifiesOnlyOnRealChange) {
    TFont f;
    int calls = 0;
    f.OnChange = [&](TObject*) { ++calls; };
    f.SetName("Arial");
    f.SetName("Arial");
    f.SetColor(clRed);
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(f.ChangeCount(), 2u);
}

TEST(Font, WindowsNamesMapToMetricCompatibleFamilies) {
    EXPECT_EQ(MapFontName("Arial"), "Liberation Sans");
    EXPECT_EQ(MapFontName("times new roman"), "Liberation Serif");
    EXPECT_EQ(MapFontName("Courier New"), "Liberation Mono");
    EXPECT_EQ(MapFontName("Tahoma"), "DejaVu Sans");
    EXPECT_EQ(MapFontName("MS Sans Serif"), "DejaVu Sans");
}

TEST(Text, ExtentsAreWholePixelsAndStable) {
    auto b = MakeBitmap(10, 10);
    TCanvas* c = b->Canvas();
    c->Font()->SetName("Arial");
    c->Font()->SetHeight(-11);
    int w = c->TextWidth("Hello world");
    EXPECT_EQ(w, c->TextWidth("Hello world"));
    // Sum of per-character widths, no kerning: "Hello world" == "Hello" + " " + "world".
    EXPECT_EQ(w, c->TextWidth("Hello") + c->TextWidth(" ") + c->TextWidth("world"));
    // Liberation Sans carries Arial's advances: at 11 px, 'H' is 8 px and 'l' 2 px.
    EXPECT_EQ(c->TextWidth("H"), 8);
    EXPECT_EQ(c->TextWidth("l"), 2);
    TTextMetric tm;
    GetTextMetrics(c->Handle(), tm);
    EXPECT_EQ(c->TextHeight("Wg"), tm.tmAscent + tm.tmDescent);
    EXPECT_EQ(c->TextHeight(""), tm.tmHeight);
    std::vector<int> ext;
    int fit = 0;
    TSize sz;
    GetTextExtentExPoint(c->Handle(), "Hll", 10, &fit, &ext, sz);
    EXPECT_EQ(ext, (std::vector<int>{8, 10, 12}));
    EXPECT_EQ(fit, 2);
}

// --- fills, rectangles, lines --------------------------------------------------------------

TEST(Canvas, FillRectExcludesRightAndBottom) {
    auto b = MakeBitmap(8, 8);
    b->Canvas()->Brush()->SetColor(clRed);
    b->Canvas()->FillRect(Rect(2, 2, 5, 5));
    ExpectPixels(*b, {{2, 2, clRed}, {4, 4, clRed}, {5, 4, clWhite}, {4, 5, clWhite}, {1, 2, clWhite}});
}

TEST(Canvas, RectangleOutlineAndFill) {
    auto b = MakeBitmap(8, 8);
    TCanvas* c = b->Canvas();
    c->Brush()->SetColor(clBlue);
    c->Rectangle(1, 1, 6, 6);
    ExpectPixels(*b,
        {{1, 1, clBlack}, {5, 1, clBlack}, {1, 5, clBlack}, {5, 5, clBlack}, {3, 3, clBlue}, {2, 2, clBlue},
            {4, 4, clBlue}, {6, 5, clWhite}, {5, 6, clWhite}, {0, 0, clWhite}});
}

TEST(Canvas, RectangleWithoutPenFillsOnePixelLess) {
    auto b = MakeBitmap(8, 8);
    TCanvas* c = b->Canvas();
    c->Brush()->SetColor(clBlue);
    c->Pen()->SetStyle(psClear);
    c->Rectangle(1, 1, 6, 6);
    ExpectPixels(*b, {{1, 1, clBlue}, {4, 4, clBlue}, {5, 4, clWhite}, {4, 5, clWhite}});
}

TEST(Canvas, LineToLeavesTheLastPixelAndMovesThePen) {
    struct {
        TPoint from, to, lastDrawn, notDrawn;
    } cases[] = {
        {{0, 0}, {5, 0}, {4, 0}, {5, 0}},
        {{5, 1}, {0, 1}, {1, 1}, {0, 1}},
        {{0, 0}, {0, 5}, {0, 4}, {0, 5}},
        {{0, 0}, {4, 4}, {3, 3}, {4, 4}},
        {{7, 0}, {3, 4}, {4, 3}, {3, 4}},
    };
    for (auto k : cases) {
        auto b = MakeBitmap(8, 8);
        TCanvas* c = b->Canvas();
        c->MoveTo(k.from.X, k.from.Y);
        c->LineTo(k.to.X, k.to.Y);
        EXPECT_EQ(b->GetPixel(k.from.X, k.from.Y), clBlack);
        EXPECT_EQ(b->GetPixel(k.lastDrawn.X, k.lastDrawn.Y), clBlack);
        EXPECT_EQ(b->GetPixel(k.notDrawn.X, k.notDrawn.Y), clWhite);
        EXPECT_EQ(c->PenPos(), k.to);
    }
}

TEST(Canvas, DottedLineGapsFollowTheBackgroundMode) {
    auto b = MakeBitmap(16, 2, clGray);
    TCanvas* c = b->Canvas();
    c->Pen()->SetStyle(psDot);
    c->Brush()->SetColor(clYellow);  // a solid brush: opaque background in its colour
    c->MoveTo(0, 0);
    c->LineTo(12, 0);
    c->Brush()->SetStyle(bsClear);  // transparent background: gaps untouched
    c->MoveTo(0, 1);
    c->LineTo(12, 1);
    ExpectPixels(*b,
        {{0, 0, clBlack}, {2, 0, clBlack}, {3, 0, clYellow}, {5, 0, clYellow}, {6, 0, clBlack}, {0, 1, clBlack},
            {3, 1, clGray}, {6, 1, clBlack}});
}

TEST(Canvas, WidePenHasRoundEndsAndStyledWidePenIsSolid) {
    auto b = MakeBitmap(20, 9);
    TCanvas* c = b->Canvas();
    c->Pen()->SetWidth(3);
    c->Pen()->SetStyle(psDot);
    c->MoveTo(3, 4);
    c->LineTo(16, 4);
    ExpectPixels(*b,
        {{3, 3, clBlack}, {3, 5, clBlack}, {9, 4, clBlack}, {10, 4, clBlack}, {11, 4, clBlack}, {9, 2, clWhite},
            {9, 6, clWhite}});
}

TEST(Canvas, XorAndNotXorDrawnTwiceRestore) {
    for (TPenMode mode : {pmXor, pmNotXor, pmNot}) {
        auto b = MakeBitmap(8, 8, RGB(10, 200, 30));
        TCanvas* c = b->Canvas();
        c->Pen()->SetMode(mode);
        c->Pen()->SetColor(clRed);
        for (int i = 0; i < 2; ++i) {
            c->MoveTo(0, 3);
            c->LineTo(8, 3);
            if (i == 0) {
                EXPECT_NE(b->GetPixel(2, 3), RGB(10, 200, 30)) << mode;
            }
        }
        EXPECT_EQ(b->GetPixel(2, 3), RGB(10, 200, 30)) << mode;
    }
}

TEST(Canvas, XorPenCombinesColours) {
    auto b = MakeBitmap(4, 4, RGB(0x0F, 0xF0, 0x55));
    TCanvas* c = b->Canvas();
    c->Pen()->SetMode(pmXor);
    c->Pen()->SetColor(RGB(0xFF, 0xFF, 0x00));
    c->MoveTo(0, 0);
    c->LineTo(4, 0);
    EXPECT_EQ(b->GetPixel(1, 0), RGB(0xF0, 0x0F, 0x55));
}

TEST(Canvas, InvertRectTwiceRestores) {
    auto b = MakeBitmap(6, 6, RGB(1, 2, 3));
    InvertRect(b->Canvas()->Handle(), Rect(1, 1, 4, 4));
    ExpectPixels(*b, {{1, 1, RGB(254, 253, 252)}, {4, 4, RGB(1, 2, 3)}});
    InvertRect(b->Canvas()->Handle(), Rect(1, 1, 4, 4));
    EXPECT_EQ(b->GetPixel(1, 1), RGB(1, 2, 3));
}

// --- brushes -------------------------------------------------------------------------------

TEST(Brush, HatchLinesInBrushColourGapsByBackgroundMode) {
    auto b = MakeBitmap(8, 8, clGray);
    TCanvas* c = b->Canvas();
    HDC dc = c->Handle();
    TBrushData h;
    h.Color = clRed;
    h.Style = bsHorizontal;
    SetBkColor(dc, clYellow);
    SetBkMode(dc, OPAQUE);
    FillRect(dc, Rect(0, 0, 8, 4), h);
    SetBkMode(dc, TRANSPARENT);
    FillRect(dc, Rect(0, 4, 8, 8), h);
    ExpectPixels(*b, {{0, 0, clRed}, {7, 0, clRed}, {0, 1, clYellow}, {0, 3, clYellow}, {0, 5, clGray}});
}

TEST(Brush, CheckerboardPaintsTextAndBackgroundColours) {
    auto b = MakeBitmap(8, 8);
    TCanvas* c = b->Canvas();
    c->Brush()->SetBitmap(CheckerboardBitmap());
    HDC dc = c->Handle();
    SetTextColor(dc, clRed);
    SetBkColor(dc, clBlue);
    FillRect(dc, Rect(0, 0, 4, 4), c->Brush()->Data());
    ExpectPixels(*b, {{0, 0, clRed}, {1, 0, clBlue}, {1, 1, clRed}, {3, 2, clBlue}});
    // The pattern lines up with the brush origin.
    SetBrushOrgEx(dc, 1, 0);
    FillRect(dc, Rect(4, 0, 8, 4), c->Brush()->Data());
    ExpectPixels(*b, {{4, 0, clBlue}, {5, 0, clRed}});
}

TEST(Brush, SettingTheColourOfAClearBrushMakesItSolid) {
    TBrush br;
    br.SetStyle(bsClear);
    br.SetColor(clRed);
    EXPECT_EQ(br.GetStyle(), bsSolid);
}

// --- clipping ------------------------------------------------------------------------------

TEST(Clip, IntersectExcludeSaveRestore) {
    auto b = MakeBitmap(10, 10);
    TCanvas* c = b->Canvas();
    HDC dc = c->Handle();
    int saved = SaveDC(dc);
    IntersectClipRect(dc, 2, 2, 8, 8);
    ExcludeClipRect(dc, 4, 4, 6, 6);
    EXPECT_TRUE(RectVisible(dc, Rect(0, 0, 3, 3)));
    EXPECT_FALSE(RectVisible(dc, Rect(4, 4, 6, 6)));
    EXPECT_FALSE(RectVisible(dc, Rect(8, 8, 10, 10)));
    TRegion rgn;
    EXPECT_EQ(GetClipRgn(dc, rgn), 1);
    c->Brush()->SetColor(clRed);
    c->FillRect(Rect(0, 0, 10, 10));
    ExpectPixels(
        *b, {{1, 1, clWhite}, {2, 2, clRed}, {7, 7, clRed}, {8, 8, clWhite}, {4, 4, clWhite}, {5, 5, clWhite}});
    RestoreDC(dc, saved);
    EXPECT_EQ(GetClipRgn(dc, rgn), 0);
    c->FillRect(Rect(0, 0, 10, 10));
    EXPECT_EQ(b->GetPixel(4, 4), clRed);
}

TEST(Clip, SelectClipRgnAndClipRect) {
    auto b = MakeBitmap(10, 10);
    TCanvas* c = b->Canvas();
    EXPECT_EQ(c->ClipRect(), Rect(0, 0, 10, 10));
    TRegion ell = CreateEllipticRgn(0, 0, 10, 10);
    SelectClipRgn(c->Handle(), &ell);
    c->Brush()->SetColor(clRed);
    c->FillRect(Rect(0, 0, 10, 10));
    ExpectPixels(*b, {{0, 0, clWhite}, {5, 5, clRed}, {9, 9, clWhite}});
    SelectClipRgn(c->Handle(), nullptr);
    EXPECT_EQ(c->ClipRect(), Rect(0, 0, 10, 10));
}

TEST(Regions, Combine) {
    TRegion a = CreateRectRgn(0, 0, 4, 4), b2 = CreateRectRgn(2, 2, 6, 6), out;
    EXPECT_EQ(CombineRgn(out, a, b2, RGN_AND), SIMPLEREGION);
    TRect box;
    GetRgnBox(out, box);
    EXPECT_EQ(box, Rect(2, 2, 4, 4));
    EXPECT_EQ(CombineRgn(out, a, b2, RGN_OR), COMPLEXREGION);
    EXPECT_EQ(CombineRgn(out, a, a, RGN_DIFF), NULLREGION);
    EXPECT_TRUE(PtInRegion(a, 3, 3));
    EXPECT_FALSE(PtInRegion(a, 4, 4));
}

// --- edges and focus -----------------------------------------------------------------------

TEST(Edges, RaisedEdgeColoursAndAdjust) {
    auto b = MakeBitmap(6, 6);
    TRect r = Rect(0, 0, 6, 6);
    DrawEdge(b->Canvas()->Handle(), r, EDGE_RAISED, BF_RECT | BF_ADJUST);
    EXPECT_EQ(r, Rect(2, 2, 4, 4));
    TColor light = ColorToRGB(cl3DLight), dark = ColorToRGB(cl3DDkShadow), hi = ColorToRGB(clBtnHighlight),
           sh = ColorToRGB(clBtnShadow);
    ExpectPixels(*b,
        {{0, 0, light}, {4, 0, light}, {0, 4, light}, {5, 0, dark}, {0, 5, dark}, {5, 5, dark}, {1, 1, hi}, {4, 1, sh},
            {1, 4, sh}, {4, 4, sh}, {2, 2, clWhite}});
}

TEST(Edges, SunkenOuterOnlyTopLeftSides) {
    auto b = MakeBitmap(5, 5);
    TRect r = Rect(0, 0, 5, 5);
    DrawEdge(b->Canvas()->Handle(), r, BDR_SUNKENOUTER, BF_TOPLEFT);
    ExpectPixels(
        *b, {{0, 0, ColorToRGB(clBtnShadow)}, {3, 0, ColorToRGB(clBtnShadow)}, {4, 4, clWhite}, {4, 0, clWhite}});
}

TEST(Edges, CheckBoxIsThirteenPixelsWithMark) {
    auto b = MakeBitmap(13, 13);
    TRect r = Rect(0, 0, 13, 13);
    DrawFrameControl(b->Canvas()->Handle(), r, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED);
    ExpectPixels(*b,
        {{0, 0, ColorToRGB(clBtnShadow)}, {12, 12, ColorToRGB(clBtnHighlight)}, {2, 2, clWhite}, {9, 3, clBlack},
            {3, 5, clBlack}, {5, 9, clBlack}});
}

TEST(Edges, FocusRectInvertsEveryOtherPixelAndTwiceRestores) {
    auto b = MakeBitmap(6, 6);
    TCanvas* c = b->Canvas();
    HDC dc = c->Handle();
    SetTextColor(dc, clWhite);
    SetBkColor(dc, clBlack);
    DrawFocusRect(dc, Rect(0, 0, 6, 6));
    ExpectPixels(*b, {{0, 0, clBlack}, {1, 0, clWhite}, {2, 0, clBlack}, {0, 5, clWhite}, {2, 2, clWhite}});
    DrawFocusRect(dc, Rect(0, 0, 6, 6));
    ExpectPixels(*b, {{0, 0, clWhite}, {2, 0, clWhite}});
}

// --- shapes --------------------------------------------------------------------------------

TEST(Shapes, EllipseStaysInsideItsBox) {
    auto b = MakeBitmap(12, 12);
    TCanvas* c = b->Canvas();
    c->Brush()->SetColor(clRed);
    c->Ellipse(1, 1, 11, 11);
    ExpectPixels(*b,
        {{1, 5, clBlack}, {10, 5, clBlack}, {5, 1, clBlack}, {5, 10, clBlack}, {11, 5, clWhite}, {5, 11, clWhite},
            {5, 5, clRed}, {1, 1, clWhite}});
}

TEST(Shapes, PolygonFilledAndOutlined) {
    auto b = MakeBitmap(10, 10);
    TCanvas* c = b->Canvas();
    c->Brush()->SetColor(clRed);
    c->Polygon({{1, 1}, {8, 1}, {1, 8}});
    ExpectPixels(*b, {{1, 1, clBlack}, {8, 1, clBlack}, {1, 8, clBlack}, {3, 3, clRed}, {8, 8, clWhite}});
}

TEST(Shapes, PieRunsCounterClockwiseBetweenTheRadials) {
    auto b = MakeBitmap(22, 22);
    TCanvas* c = b->Canvas();
    c->Brush()->SetColor(clRed);
    c->Pen()->SetColor(clRed);
    c->Pie(0, 0, 21, 21, 21, 10, 10, 0);  // from three o'clock to twelve: the top-right quarter
    ExpectPixels(*b, {{15, 5, clRed}, {5, 15, clWhite}, {5, 5, clWhite}, {15, 15, clWhite}});
}

// --- text ----------------------------------------------------------------------------------

TEST(Text, TextOutPaintsOpaqueCellAndMovesPen) {
    auto b = MakeBitmap(60, 20, clGray);
    TCanvas* c = b->Canvas();
    c->Font()->SetName("Arial");
    c->Font()->SetHeight(-11);
    c->Brush()->SetColor(clYellow);
    c->TextOut(2, 2, "Ix");
    int w = c->TextWidth("Ix");
    EXPECT_EQ(c->PenPos(), Point(2 + w, 2));
    EXPECT_EQ(b->GetPixel(2 + w - 1, 2), clYellow);  // cell background
    EXPECT_EQ(b->GetPixel(2 + w, 2), clGray);  // right edge excluded
    // Glyph edges are smoothed: ink is any pixel clearly darker than the cell.
    bool ink = false;
    for (int y = 2; y < 2 + c->TextHeight("I"); ++y)
        for (int x = 2; x < 2 + w; ++x) ink |= GetGValue(b->GetPixel(x, y)) < 100;
    EXPECT_TRUE(ink);
}

TEST(Text, TextRectClipsToTheRectangle) {
    auto b = MakeBitmap(40, 20, clGray);
    TCanvas* c = b->Canvas();
    c->Font()->SetHeight(-20);
    c->Brush()->SetColor(clWhite);
    c->TextRect(Rect(0, 0, 10, 10), 0, 0, "WWWW");
    EXPECT_EQ(b->GetPixel(12, 2), clGray);
    EXPECT_EQ(b->GetPixel(5, 12), clGray);
}

// DrawText's layout, observed through the text records of a recording canvas.
struct Drawn {
    std::vector<std::string> lines;
    std::vector<TPoint> origins;
    int result = 0;
};
Drawn LayOut(const std::string& text, TRect r, uint32_t format) {
    EnsureGuiApp();
    TMetafile mf;
    Drawn d;
    {
        TMetafileCanvas mc(&mf, nullptr);
        mc.Font()->SetName("Arial");
        mc.Font()->SetHeight(-11);
        d.result = DrawText(mc.Handle(), text, -1, r, format);
    }
    for (const auto& rec : mf.EnumRecords())
        if (rec.Type == 84) {
            d.lines.push_back(rec.Text);
            d.origins.push_back(rec.Origin);
        }
    return d;
}

TEST(DrawText, WordBreakBreaksOnlyAtBlanks) {
    TCanvas m;
    m.Font()->SetName("Arial");
    m.Font()->SetHeight(-11);
    EnsureGuiApp();
    int aaa = m.TextWidth("aaa bbb");
    int lh = m.TextHeight("Wg");
    struct {
        std::string text;
        int width;
        std::vector<std::string> lines;
    } cases[] = {
        {"aaa bbb", aaa, {"aaa bbb"}},
        {"aaa bbb", aaa - 1, {"aaa", "bbb"}},
        {"aaa   bbb", aaa, {"aaa", "bbb"}},  // blanks at the break are dropped
        {"averyveryverylongword x", 10, {"averyveryverylongword", "x"}},  // a long word stays whole
        {"one\r\ntwo\nthree", 1000, {"one", "two", "three"}},
        {"a-b-c-d-e-f", 10, {"a-b-c-d-e-f"}},  // no break at hyphens
        {"", 100, {""}},
    };
    for (const auto& k : cases) {
        Drawn d = LayOut(k.text, Rect(0, 0, k.width, 100), DT_WORDBREAK | DT_NOPREFIX);
        EXPECT_EQ(d.lines, k.lines) << k.text;
        EXPECT_EQ(d.result, lh * int(k.lines.size())) << k.text;
    }
}

TEST(DrawText, CalcRectWidensToTheLongestWord) {
    EnsureGuiApp();
    TCanvas m;
    m.Font()->SetName("Arial");
    m.Font()->SetHeight(-11);
    HDC dc = m.Handle();
    int lh = m.TextHeight("Wg");
    int word = m.TextWidth("averyverylongword");
    TRect r = Rect(5, 5, 25, 5);
    int h = DrawText(dc, "averyverylongword ab", -1, r, DT_CALCRECT | DT_WORDBREAK);
    EXPECT_EQ(h, 2 * lh);
    EXPECT_EQ(r, Rect(5, 5, 5 + word, 5 + 2 * lh));
    r = Rect(0, 0, 500, 0);
    DrawText(dc, "ab cd", -1, r, DT_CALCRECT | DT_WORDBREAK);
    EXPECT_EQ(r.Right, m.TextWidth("ab cd"));  // narrowed to the text
    r = Rect(0, 0, 0, 0);
    DrawText(dc, "x\ny", -1, r, DT_CALCRECT);
    EXPECT_EQ(r.Bottom, 2 * lh);
}

TEST(DrawText, AlignmentAndVerticalCentre) {
    EnsureGuiApp();
    TCanvas m;
    m.Font()->SetName("Arial");
    m.Font()->SetHeight(-11);
    int w = m.TextWidth("abc"), lh = m.TextHeight("Wg");
    struct {
        uint32_t fmt;
        TPoint origin;
    } cases[] = {
        {DT_SINGLELINE, {10, 20}}, {DT_SINGLELINE | DT_RIGHT, {110 - w, 20}},
        {DT_SINGLELINE | DT_CENTER, {(120 - w) / 2, 20}}, {DT_SINGLELINE | DT_VCENTER, {10, (20 + 60 - lh) / 2}},
        {DT_SINGLELINE | DT_BOTTOM, {10, 60 - lh}}, {DT_VCENTER, {10, 20}},  // vertical centring needs a single line
    };
    for (auto k : cases) {
        Drawn d = LayOut("abc", Rect(10, 20, 110, 60), k.fmt);
        ASSERT_EQ(d.origins.size(), 1u);
        EXPECT_EQ(d.origins[0], k.origin) << k.fmt;
    }
}

TEST(DrawText, PrefixesTabsAndEllipses) {
    EnsureGuiApp();
    EXPECT_EQ(LayOut("&File && more", Rect(0, 0, 500, 50), DT_SINGLELINE).lines[0], "File & more");
    EXPECT_EQ(LayOut("&File", Rect(0, 0, 500, 50), DT_SINGLELINE | DT_NOPREFIX).lines[0], "&File");
    Drawn e = LayOut("A rather long caption", Rect(0, 0, 40, 20), DT_SINGLELINE | DT_END_ELLIPSIS);
    ASSERT_EQ(e.lines.size(), 1u);
    EXPECT_EQ(e.lines[0].substr(e.lines[0].size() - 3), "...");
    TCanvas m;
    m.Font()->SetName("Arial");
    m.Font()->SetHeight(-11);
    EXPECT_LE(m.TextWidth(e.lines[0]), 40);
    Drawn p = LayOut("c:\\somewhere\\deep\\file.txt", Rect(0, 0, 70, 20), DT_SINGLELINE | DT_PATH_ELLIPSIS);
    EXPECT_NE(p.lines[0].find("...\\file.txt"), std::string::npos) << p.lines[0];
    // Tabs expand to stops of eight average character widths.
    TTextMetric tm;
    GetTextMetrics(m.Handle(), tm);
    TRect r = Rect(0, 0, 0, 0);
    DrawText(m.Handle(), "a\tb", -1, r, DT_CALCRECT | DT_EXPANDTABS | DT_SINGLELINE);
    EXPECT_EQ(r.Right, 8 * tm.tmAveCharWidth + m.TextWidth("b"));
}

TEST(ExtTextOut, AdvancesPlaceTheCharactersAndBoundTheRecord) {
    EnsureGuiApp();
    TMetafile mf;
    {
        TMetafileCanvas mc(&mf, nullptr);
        std::vector<int> dx{10, 10, 10};
        ExtTextOut(mc.Handle(), 5, 7, 0, nullptr, "abc", &dx);
    }
    auto recs = mf.EnumRecords();
    ASSERT_EQ(recs.size(), 1u);
    EXPECT_EQ(recs[0].Type, 84);
    EXPECT_EQ(recs[0].CharCount, 3);
    EXPECT_EQ(recs[0].Bounds.Left, 5);
    EXPECT_EQ(recs[0].Bounds.Right, 35);
    EXPECT_EQ(recs[0].Dx, (std::vector<int>{10, 10, 10}));
}

TEST(ExtTextOut, EscapementTurnsTheTextCounterClockwise) {
    auto b = MakeBitmap(40, 40);
    TCanvas* c = b->Canvas();
    c->Font()->SetHeight(-16);
    c->Font()->SetOrientation(900);
    c->Brush()->SetStyle(bsClear);
    c->TextOut(10, 35, "MMMM");
    // Turned upwards from (10,35): ink above the reference point, none to its right.
    auto dark = [&](int x0, int y0, int x1, int y1) {
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                if (GetGValue(b->GetPixel(x, y)) < 100) return true;
        return false;
    };
    EXPECT_TRUE(dark(10, 5, 30, 35));
    EXPECT_FALSE(dark(31, 30, 40, 40));
}

TEST(ExtTextOut, OpaqueRectangleIsFilledAndTextClipped) {
    auto b = MakeBitmap(30, 20, clGray);
    TCanvas* c = b->Canvas();
    HDC dc = c->Handle();
    SetBkColor(dc, clYellow);
    TRect r = Rect(2, 2, 10, 10);
    ExtTextOut(dc, 0, 0, ETO_OPAQUE | ETO_CLIPPED, &r, "WWWWWW");
    ExpectPixels(*b, {{2, 2, clYellow}, {1, 1, clGray}, {10, 5, clGray}, {20, 5, clGray}});
}

}  // namespace

// Controls painting one after another on a shared DC save and restore it around each; the
// second one setting the same font as the first must still draw with that font.
TEST(Canvas, RestoreDCSelectsTheCanvasObjectsAgain) {
    auto b = MakeBitmap(40, 40);
    TCanvas* c = b->Canvas();
    c->Font()->SetHeight(-30);
    const int big = c->TextWidth("W");
    int saved = SaveDC(c);
    c->Font()->SetHeight(-10);
    const int small = c->TextWidth("W");
    RestoreDC(c, saved);
    ASSERT_LT(small, big);
    saved = SaveDC(c);
    c->Font()->SetHeight(-10);  // unchanged: no change notice
    EXPECT_EQ(c->TextWidth("W"), small);
    RestoreDC(c, saved);
}

// --- text alignment ------------------------------------------------------------------------

namespace {
// The box of the dark pixels of a bitmap.
TRect InkBox(TBitmap& b) {
    TRect box{b.GetWidth(), b.GetHeight(), -1, -1};
    for (int y = 0; y < b.GetHeight(); ++y)
        for (int x = 0; x < b.GetWidth(); ++x)
            if (b.GetPixel(x, y) != clWhite) {
                box.Left = std::min(box.Left, x);
                box.Top = std::min(box.Top, y);
                box.Right = std::max(box.Right, x + 1);
                box.Bottom = std::max(box.Bottom, y + 1);
            }
    return box;
}
}  // namespace

TEST(TextAlign, ReferencePointSitsWhereTheFlagsSay) {
    const std::string text = "WHM";
    auto probe = MakeBitmap(8, 8);
    TCanvas* m = probe->Canvas();
    m->Font()->SetName("Arial");
    m->Font()->SetSize(12);
    TSize ext;
    GetTextExtentPoint32(m->Handle(), text, ext);
    TTextMetric tm;
    GetTextMetrics(m->Handle(), tm);
    ASSERT_GT(ext.cx, 10);

    auto draw = [&](uint32_t align, bool extOut) {
        auto b = MakeBitmap(160, 90);
        TCanvas* c = b->Canvas();
        c->Font()->SetName("Arial");
        c->Font()->SetSize(12);
        HDC dc = c->Handle();
        SetBkMode(dc, TRANSPARENT);
        SetTextAlign(dc, align);
        if (extOut) ExtTextOut(dc, 80, 45, 0, nullptr, text);
        else TextOut(dc, 80, 45, text);
        return InkBox(*b);
    };
    const TRect home = draw(TA_TOP | TA_LEFT, false);
    ASSERT_GE(home.Left, 80);
    struct {
        uint32_t align;
        int dx, dy;
    } cases[] = {
        {TA_RIGHT | TA_TOP, -ext.cx, 0},
        {TA_CENTER | TA_TOP, -(ext.cx / 2), 0},
        {TA_LEFT | TA_BOTTOM, 0, -tm.tmHeight},
        {TA_LEFT | TA_BASELINE, 0, -tm.tmAscent},
        {TA_RIGHT | TA_BASELINE, -ext.cx, -tm.tmAscent},
    };
    for (auto t : cases) {
        for (bool extOut : {false, true}) {
            SCOPED_TRACE(testing::Message() << "align " << t.align << (extOut ? " ExtTextOut" : " TextOut"));
            const TRect got = draw(t.align, extOut);
            TRect want = home;
            OffsetRect(want, t.dx, t.dy);
            EXPECT_EQ(got, want);
        }
    }
}

TEST(TextAlign, UpdateCurrentPositionWritesOnFromThePenAndMovesIt) {
    auto b = MakeBitmap(200, 40);
    TCanvas* c = b->Canvas();
    c->Font()->SetName("Arial");
    c->Font()->SetSize(10);
    HDC dc = c->Handle();
    SetBkMode(dc, TRANSPARENT);
    TSize ab, cd;
    GetTextExtentPoint32(dc, "ab", ab);
    GetTextExtentPoint32(dc, "cd", cd);
    MoveToEx(dc, 10, 5);
    SetTextAlign(dc, TA_UPDATECP);
    TextOut(dc, 150, 30, "ab");  // the point given is ignored
    TextOut(dc, 150, 30, "cd");
    TPoint pos;
    MoveToEx(dc, 0, 0, &pos);
    EXPECT_EQ(pos, (TPoint{10 + ab.cx + cd.cx, 5}));
    const TRect ink = InkBox(*b);
    EXPECT_GE(ink.Left, 10);
    EXPECT_LE(ink.Right, 10 + ab.cx + cd.cx + 1);
    EXPECT_LT(ink.Bottom, 30);

    // Right alignment writes to the left of the position and moves it there.
    MoveToEx(dc, 190, 5);
    SetTextAlign(dc, TA_UPDATECP | TA_RIGHT);
    TextOut(dc, 0, 0, "ab");
    MoveToEx(dc, 0, 0, &pos);
    EXPECT_EQ(pos.X, 190 - ab.cx);
    EXPECT_EQ(GetTextAlign(dc), uint32_t(TA_UPDATECP | TA_RIGHT));
}
