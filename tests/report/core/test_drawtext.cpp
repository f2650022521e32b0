// Text layout and drawing: the layout rules as numbers, painting on a 96-dpi bitmap and on a
// 600-dpi printer canvas, splitting, and the engine's lock.

#include <gtest/gtest.h>

#include <numeric>

#include "platform/classes/StringList.h"
#include "platform/gui/Bitmaps.h"
#include "platform/gui/TestKit.h"
#include "platform/gui/TextServices.h"
#include "platform/rtl/Strings.h"
#include "platform/rtl/SysUtils.h"
#include "report/core/frxDrawText.h"
#include "report/core/frxPrinter.h"

// The printer layer's canvas without a printer, as far as the text engine asks: a measuring
// canvas at 600 dpi.
class TTestPrinterCanvas : public TfrxPrinterCanvas {
public:
    TTestPrinterCanvas() : TfrxPrinterCanvas(nullptr) { SetPixelsPerInch(600); }
};

namespace {
class FrxDrawText : public ::testing::Test {
protected:
    void SetUp() override { TestKit::EnsureApplication(); }
    // Lays text out in a box of the given width and height (report pixels) at scale 1.
    void Layout(const std::string& text, int width, int height = 200, bool wrap = true, bool wordBreak = false,
        int rotation = 0, int sizePt = 10, double lineSpacing = 0, bool tags = true) {
        TFont font;
        font.SetName("Arial");
        font.SetSize(sizePt);
        font.SetColor(clBlack);
        E.SetFont(&font);
        E.SetOptions(wrap, tags, rotation, false, wordBreak, false);
        E.SetGaps(0, 0, lineSpacing);
        E.SetArea(Rect(0, 0, width, height), Rect(10, 20, 10 + width, 20 + height), 1, 1);
        E.SetText(text);
    }
    std::string Lines() {
        std::string s;
        for (int i = 0; i < E.LineCount(); ++i) s += (i ? "|" : "") + E.Line(i) + "#" + std::to_string(E.LineFlags(i));
        return s;
    }
    // Width of text at 600 dpi in measuring units.
    int MeasureUnits(const std::string& text, int sizePt = 10) {
        TCanvas c;
        c.Font()->SetName("Arial");
        c.Font()->SetHeight(-int(Round(sizePt * 600 / 72.0)));
        return GetTextWidth(&c, Utf8ToU32(text));
    }
    TfrxDrawText E;
};
}  // namespace

TEST_F(FrxDrawText, BreakingRules) {
    Layout("W", 2);
    EXPECT_EQ(Lines(), "W#3");  // one character is never wrapped
    Layout("a\n\nb", 50);
    EXPECT_EQ(Lines(), "a#3| #3|b#3");  // an empty line holds a blank
    Layout("aaaa bbbb cccc", 200);
    EXPECT_EQ(Lines(), "aaaa bbbb cccc#3");
    Layout("aaaa bbbb\ncc", 200);
    EXPECT_EQ(Lines(), "aaaa bbbb#3|cc#3");
    // Wrapping at blanks; the blank at the break is dropped.
    const int word = MeasureUnits("aaaa bbbb ");
    Layout("aaaa bbbb cccc", int(std::ceil(word / 6.25)));
    EXPECT_EQ(Lines(), "aaaa bbbb#1|cccc#2");
}

TEST_F(FrxDrawText, ExactWidthParagraphStaysOneLine) {
    const std::string text = "Vysvědčení";
    const int units = MeasureUnits(text);
    // A first-line width (box less paragraph indent) exactly as wide as the text.
    const int w = int(std::ceil(units / 6.25)) + 1;
    for (double less : {0.0, 0.16}) {  // exact, and one measuring unit narrower
        Layout(text, w);
        E.SetGaps(w - units / 6.25 + less, 0, 0);
        E.SetText(text);
        EXPECT_EQ(E.LineCount(), less == 0 ? 1 : 2) << less;
    }
}

TEST_F(FrxDrawText, LongWordWithWordBreakOffAndOn) {
    const std::string word = "nejnepravděpodobnějšími";
    const int box = int(MeasureUnits("nejneprav") / 6.25);
    Layout(word, box, 200, true, false);
    ASSERT_GE(E.LineCount(), 2);
    EXPECT_EQ(E.Line(0).find('-'), std::string::npos);  // cut at the edge, no hyphen
    EXPECT_LE(MeasureUnits(E.Line(0)), int(Round(box * 6.25)));
    Layout(word, box, 200, true, true);
    ASSERT_GE(E.LineCount(), 2);
    EXPECT_EQ(E.Line(0).back(), '-');  // hyphenated at a syllable break
    EXPECT_TRUE(E.Line(0) == "nejnep-" || E.Line(0) == "nejnepra-") << E.Line(0);  // at a syllable
    // Lines and tag lines stay paired, one tag per character (the hyphen has its own).
    for (int i = 0; i < E.LineCount(); ++i) EXPECT_GE(int(E.Tags().Line(i).size()), int(Utf8Length(E.Line(i)))) << i;
}

TEST_F(FrxDrawText, MeasuresFromPointSizes) {
    Layout("a\nb\nc", 100, 200, true, false, 0, 9, 2);
    EXPECT_EQ(std::abs(E.MeasureCanvas()->Font()->GetHeight()), 75);  // 9 pt at 600 dpi
    EXPECT_DOUBLE_EQ(E.LineHeight(), 12 + 2);
    EXPECT_DOUBLE_EQ(E.TextHeight(), 42);
    EXPECT_NEAR(E.TextWidth(), MeasureUnits("a", 9) / 6.25, 1e-9);
}

TEST_F(FrxDrawText, GapsForThreeLinesSumToTheBlockHeight) {
    // 10 pt, line spacing 2: hM = 83, hD = 13, g = 2; HB = Round(3 * (12.5 + 83) / 6.25) = 46.
    TBitmap bmp(300, 200);
    Layout("a\nb\nc", 200, 150, true, false, 0, 10, 2);
    E.Paint(bmp.Canvas(), haLeft, vaTop);
    const TfrxDrawnBlock& d = E.Drawn();
    EXPECT_EQ(d.HB, 46);
    ASSERT_EQ(d.Gaps.size(), 2u);
    EXPECT_EQ(std::accumulate(d.Gaps.begin(), d.Gaps.end(), 0) + 13 + 2, d.HB);
    EXPECT_EQ(d.Gaps[0] + d.Gaps[1], 31);
    EXPECT_LE(std::abs(d.Gaps[0] - d.Gaps[1]), 1);
    ASSERT_EQ(d.Lines.size(), 3u);
    EXPECT_EQ(d.Lines[1].Y - d.Lines[0].Y, d.Gaps[0]);
}

TEST_F(FrxDrawText, LinesEndExactlyAtTheTarget) {
    TBitmap bmp(600, 300);
    const std::string text = "Žák prospěl s vyznamenáním a chování velmi dobré.";
    struct Case {
        TfrxHAlign align;
        double scale;
    } cases[] = {{haLeft, 1}, {haRight, 1}, {haCenter, 1.5}, {haLeft, 0.75}};
    for (const auto& c : cases) {
        Layout(text, 150);
        E.SetArea(Rect(0, 0, 150, 200), Rect(0, 0, int(150 * c.scale), int(200 * c.scale)), c.scale, c.scale);
        E.Paint(bmp.Canvas(), c.align, vaTop);
        for (const auto& line : E.Drawn().Lines)
            EXPECT_EQ(std::accumulate(line.Advances.begin(), line.Advances.end(), 0), line.Target) << c.scale;
    }
}

TEST_F(FrxDrawText, JustifiedLinesFillTheWidthButNotTheLastLine) {
    TBitmap bmp(600, 300);
    Layout("aaa bbb ccc ddd eee fff ggg hhh\nxyzxyzxyzxyzxyzxyzxyzxyzxyz", 120);
    E.Paint(bmp.Canvas(), haBlock, vaTop);
    const auto& lines = E.Drawn().Lines;
    ASSERT_GE(lines.size(), 3u);
    const int W = E.Drawn().W;
    for (int i = 0; i < E.LineCount(); ++i) {
        const int sum = std::accumulate(lines[size_t(i)].Advances.begin(), lines[size_t(i)].Advances.end(), 0);
        const bool last = E.LineFlags(i) & frxLastLine, blanks = E.Line(i).find(' ') != std::string::npos;
        if (last || !blanks) {
            EXPECT_EQ(sum, lines[size_t(i)].Target) << i;  // left-aligned
        } else EXPECT_EQ(sum, W) << i;  // justified
    }
}

TEST_F(FrxDrawText, RotationNinetyWithBottomAlignment) {
    TBitmap bmp(300, 300);
    Layout("ab\ncd", 100, 80, true, false, 90);
    // Output area (10, 20)-(110, 100): lines run upward from the bottom-left corner; vaBottom
    // pushes the block to the right edge; successive lines move to the right.
    E.Paint(bmp.Canvas(), haLeft, vaBottom);
    const TfrxDrawnBlock& d = E.Drawn();
    EXPECT_EQ(d.W, 80);  // B - T
    EXPECT_EQ(d.G, 100);  // R - L
    EXPECT_EQ(d.HB, 27);  // Round(2 * 83 / 6.25)
    EXPECT_EQ(d.X, 10 + 100 - 27);
    EXPECT_EQ(d.Y, 100);
    ASSERT_EQ(d.Lines.size(), 2u);
    EXPECT_EQ(d.Lines[1].X - d.Lines[0].X, d.Gaps[0]);
    EXPECT_EQ(d.Lines[1].Y, d.Lines[0].Y);
    // The ink of the turned text lies in the block: right of the area's middle, above its bottom.
    int inkLeft = 1000, inkBottom = -1;
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 300; ++x)
            if (bmp.GetPixel(x, y) != clWhite) {
                inkLeft = std::min(inkLeft, x);
                inkBottom = std::max(inkBottom, y);
            }
    EXPECT_GE(inkLeft, d.X - 1);
    EXPECT_LE(inkBottom, 100);
}

TEST_F(FrxDrawText, PrinterCanvasAtSixHundredDpi) {
    TTestPrinterCanvas printer;
    Layout("Příliš žluťoučký kůň úpěl ďábelské ódy.", 120);
    E.SetArea(Rect(0, 0, 120, 200), Rect(0, 0, 750, 1250), 6.25, 6.25);
    E.Paint(&printer, haLeft, vaTop);
    EXPECT_EQ(printer.Font()->GetHeight(), -83);  // -Round(10 * 600 / 72)
    EXPECT_EQ(DeviceResolutionY(&printer), 600);
    ASSERT_GE(E.Drawn().Lines.size(), 2u);
    for (int i = 0; i < E.LineCount(); ++i) {
        // At 600 dpi the device advances are the measured ones: nothing to correct.
        const auto& line = E.Drawn().Lines[size_t(i)];
        EXPECT_EQ(line.Target, MeasureUnits(E.Line(i))) << i;
        EXPECT_EQ(std::accumulate(line.Advances.begin(), line.Advances.end(), 0), line.Target) << i;
    }
    EXPECT_EQ(E.Drawn().HB, int(Round(double(E.LineCount()) * 83)));
}

TEST_F(FrxDrawText, SpareHeightAndOverflow) {
    Layout("a\nb\nc", 100, 23, true, false, 0, 9);  // room 24 = two lines of 12
    EXPECT_DOUBLE_EQ(E.SpareHeight(), 0.0001);
    Layout("a", 100, 10, true, false, 0, 9);  // room 11 < one line
    EXPECT_DOUBLE_EQ(E.SpareHeight(), 0);
    Layout("one\n<font color=\"#FF0000\"><b>two</b></font>\nthree", 100, 12, true, false, 0, 9);
    const std::string overflow = E.TakeOverflow();
    EXPECT_EQ(overflow, "<font color=\"#FF0000\"><b>two</b></font>\r\nthree\r\n");
    EXPECT_EQ(E.LineCount(), 1);
    EXPECT_EQ(E.FittingText(), "one\r\n<font color=\"#FF0000\"><b>");  // cut at the first character
}

TEST_F(FrxDrawText, MistypedColourTagIsTextAndTheEngineStaysUsable) {
    {
        TfrxDrawTextLock lock(&E);
        Layout("<font color=\"#12XY56\">a</font>", 300);
        EXPECT_EQ(E.Line(0), "<font color=\"#12XY56\">a");
    }
    EXPECT_FALSE(E.Busy());
    try {
        TfrxDrawTextLock lock(&E);
        throw Exception("failure inside a layout");
    } catch (const Exception&) {
        // The guard has unlocked on the way out.
    }
    EXPECT_FALSE(E.Busy());
    TfrxDrawTextLock again(&E);  // would wait for ever if the flag had stayed set
    EXPECT_TRUE(E.Busy());
}

TEST_F(FrxDrawText, ClippedOutputStaysInTheArea) {
    TBitmap bmp(200, 100);
    TFont font;
    font.SetName("Arial");
    font.SetSize(20);
    E.SetFont(&font);
    E.SetOptions(false, false, 0, true, false, false);
    E.SetGaps(0, 0, 0);
    E.SetArea(Rect(0, 0, 40, 10), Rect(20, 20, 60, 30), 1, 1);
    E.SetText("WWWWWWWW");
    E.Paint(bmp.Canvas(), haLeft, vaTop);
    int ink = 0;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 200; ++x)
            if (bmp.GetPixel(x, y) != clWhite) {
                ++ink;
                EXPECT_TRUE(x >= 20 && x < 60 && y >= 20 && y < 30) << x << "," << y;
            }
    EXPECT_GT(ink, 0);
}

TEST(FrxDrawTextSpread, SpreadUnitsByHalving) {
    struct Case {
        int entries, count;
        std::vector<int> expected;
    } cases[] = {
        {4, 1, {0, 1, 0, 0}},
        {4, 2, {1, 0, 1, 0}},
        {5, 3, {1, 0, 1, 1, 0}},
        {3, 0, {0, 0, 0}},
    };
    for (const auto& c : cases) {
        std::vector<int> v(size_t(c.entries), 0);
        TfrxDrawText::SpreadUnits(v, 1, c.entries, c.count, 1);
        EXPECT_EQ(v, c.expected) << c.entries << "/" << c.count;
        EXPECT_EQ(std::accumulate(v.begin(), v.end(), 0), c.count);
    }
}
