// Text services of the report text engine: raw-font extents, output at given advances,
// resolution and the bounded font cache.

#include <gtest/gtest.h>

#include <QtGui/QFontMetricsF>

#include "platform/gui/GraphicsPrivate.h"
#include "platform/gui/Bitmaps.h"
#include "platform/gui/TestKit.h"
#include "platform/gui/TextServices.h"

namespace {
TCanvas* Measuring(TCanvas& c, const char* name, int height) {
    c.Font()->SetName(name);
    c.Font()->SetHeight(height);
    return &c;
}
}  // namespace

TEST(TextServices, ExtentsAreSumsOfIntegerAdvances) {
    TestKit::EnsureApplication();
    TCanvas c;
    Measuring(c, "Arial", -83);
    std::vector<int> ext;
    GetTextExtents(&c, U"Wi", ext);
    ASSERT_EQ(ext.size(), 2u);
    EXPECT_GT(ext[0], 0);
    EXPECT_GT(ext[1], ext[0]);
    EXPECT_EQ(GetTextWidth(&c, U"Wi"), ext[1]);
    EXPECT_EQ(GetTextWidth(&c, U"W") + GetTextWidth(&c, U"i"), ext[1]);
    // Cross-check against Qt's own unhinted, unkerned advance.
    QFont f(ToQFont(c.Font()->Data()));
    QFontMetricsF fm(f);
    EXPECT_NEAR(fm.horizontalAdvance("Vysvědčení"), GetTextWidth(&c, U"Vysvědčení"), 10 * 0.5 + 1);
}

TEST(TextServices, OutputAtAdvancesClippedAndTurned) {
    TestKit::EnsureApplication();
    TBitmap bmp(200, 200);
    TCanvas* c = bmp.Canvas();
    c->Font()->SetName("Arial");
    c->Font()->SetHeight(-20);
    c->Font()->SetColor(clBlack);
    const int adv[] = {30, 30, 30, 30};
    TextOutAdvances(c, 10, 10, ETO_CLIPPED, Rect(0, 0, 200, 200), U"lll", adv);
    // Three thin strokes 30 pixels apart.
    auto inkColumns = [&](int y0, int y1) {
        std::vector<int> cols;
        for (int x = 0; x < 200; ++x)
            for (int y = y0; y < y1; ++y)
                if (bmp.GetPixel(x, y) != clWhite) {
                    if (cols.empty() || cols.back() < x - 3) cols.push_back(x);
                    break;
                }
        return cols;
    };
    std::vector<int> cols = inkColumns(10, 35);
    ASSERT_EQ(cols.size(), 3u);
    EXPECT_NEAR(cols[1] - cols[0], 30, 1);
    EXPECT_NEAR(cols[2] - cols[1], 30, 1);
    // Clipping holds.
    TBitmap clip(100, 50);
    clip.Canvas()->Font()->Assign(c->Font());
    TextOutAdvances(clip.Canvas(), 0, 0, ETO_CLIPPED, Rect(0, 0, 25, 50), U"WWWW", adv);
    for (int y = 0; y < 50; ++y)
        for (int x = 25; x < 100; ++x) ASSERT_EQ(clip.GetPixel(x, y), clWhite) << x << "," << y;
    // Turned by 90 degrees the text runs upward from the reference point.
    TBitmap turned(100, 100);
    turned.Canvas()->Font()->Assign(c->Font());
    turned.Canvas()->Font()->SetOrientation(900);
    TextOutAdvances(turned.Canvas(), 20, 90, 0, Rect(0, 0, 100, 100), U"WWW", adv);
    int top = 100, left = 100;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x)
            if (turned.GetPixel(x, y) != clWhite) {
                top = std::min(top, y);
                left = std::min(left, x);
            }
    EXPECT_GE(left, 19);
    EXPECT_LT(top, 30);  // about 90 pixels of text above the reference point
}

TEST(TextServices, ResolutionAndBoundedCache) {
    TestKit::EnsureApplication();
    TCanvas c;
    EXPECT_EQ(DeviceResolutionX(&c), 96);
    c.SetPixelsPerInch(600);
    EXPECT_EQ(DeviceResolutionY(&c), 600);
    const size_t old = TextFontCacheLimit();
    SetTextFontCacheLimit(4);
    for (int h = 10; h < 30; ++h) GetTextWidth(Measuring(c, "Arial", -h), U"x");
    EXPECT_EQ(TextFontCacheCount(), 4u);
    SetTextFontCacheLimit(old);
}
