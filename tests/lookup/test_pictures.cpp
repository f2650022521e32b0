// Item images: bitmaps drawn with a transparent colour, and icons for the screen.

#include <gtest/gtest.h>

#include <QtGui/QImage>

#include <string>

#include "lookup/MaskedBitmap.h"
#include "lookup/ScreenIcons.h"
#include "platform/classes/Streams.h"
#include "platform/gui/GraphicsPrivate.h"
#include "platform/rtl/Exceptions.h"

namespace {

// An icon file with one 2x2 image per colour count given (4 bits, all pixels palette entry 1).
std::string IconFile(const std::vector<int>& colorCounts, bool truncate = false) {
    auto put16 = [](std::string& s, int v) {
        s += char(v & 255);
        s += char((v >> 8) & 255);
    };
    auto put32 = [&](std::string& s, uint32_t v) {
        put16(s, int(v & 0xFFFF));
        put16(s, int(v >> 16));
    };
    std::string image;
    put32(image, 40);
    put32(image, 2);
    put32(image, 4);
    put16(image, 1);
    put16(image, 4);
    for (int i = 0; i < 6; ++i) put32(image, 0);
    for (int i = 0; i < 16; ++i) put32(image, i == 1 ? 0x00FF0000u : 0u);  // entry 1 red
    for (int row = 0; row < 2; ++row) put32(image, 0x00000011u);  // two pixels of index 1
    for (int row = 0; row < 2; ++row) put32(image, 0x00000040u);  // mask: 2nd pixel clear
    std::string file;
    put16(file, 0);
    put16(file, 1);
    put16(file, int(colorCounts.size()));
    const uint32_t first = 6 + 16 * uint32_t(colorCounts.size());
    for (size_t i = 0; i < colorCounts.size(); ++i) {
        file += char(2);
        file += char(2);
        file += char(colorCounts[i]);
        file += char(0);
        put16(file, 1);
        put16(file, 4);
        put32(file, uint32_t(image.size()));
        put32(file, first + uint32_t(i * image.size()));
    }
    for (size_t i = 0; i < colorCounts.size(); ++i) file += image;
    if (truncate) file.resize(file.size() - 10);
    return file;
}

}  // namespace

TEST(ScreenIcons, BestImageForTheScreen) {
    struct Case {
        std::vector<int> Counts;
        int ScreenBits;
        int Chosen;
    };
    const Case cases[] = {
        {{16, 0, 0}, 24, 1},  // true colour: the first with count 0
        {{2, 8, 0}, 4, 1},  // 16 colours: 2 accepted, then 8 replaces it, 0 does not
        {{16, 2}, 4, 0},  // exact count wins at once
        {{0, 0}, 1, 0},  // nothing fits two colours: entry 0
        {{2, 8, 4}, 8, 2},  // 256 wanted: 2 accepted; 8 and then 4 have more than 2, the last wins
    };
    for (const Case& c : cases) {
        std::vector<TIconDirEntry> entries;
        for (int n : c.Counts) {
            TIconDirEntry e;
            e.ColorCount = n;
            entries.push_back(e);
        }
        const int chosen = ChooseIconImage(entries, WantedIconColors(c.ScreenBits));
        EXPECT_EQ(chosen, c.Chosen);
    }
}

TEST(ScreenIcons, IconFileBecomesASystemSizedImage) {
    std::unique_ptr<TIcon> icon = MakeScreenIconFromData(IconFile({16}), 32);
    ASSERT_FALSE(icon->Empty());
    EXPECT_EQ(icon->GetWidth(), 32);
    EXPECT_EQ(icon->GetHeight(), 32);
    EXPECT_EQ(IconImage(icon.get()).pixel(2, 2), 0xFFFF0000u);  // red, opaque
    EXPECT_EQ(qAlpha(IconImage(icon.get()).pixel(20, 2)), 0);  // masked pixel
    int w = 0, h = 0;
    QueryIconSize(nullptr, w, h);
    EXPECT_EQ(w, 32);
}

TEST(ScreenIcons, MalformedIconFilesAreRefusedNotRead) {
    std::string badOffset = IconFile({16});
    badOffset[6 + 12] = char(0xF0);  // the image offset points past the data
    std::string badCount = IconFile({16});
    badCount[4] = char(200);  // more entries than the directory holds
    const std::string cases[] = {std::string("\0\0\1", 3), badOffset, badCount, IconFile({16}, true)};
    for (const std::string& data : cases) EXPECT_THROW(MakeScreenIconFromData(data, 32), EInvalidGraphic);
}

TEST(MaskedBitmap, TransparentColourShowsTheDestination) {
    TBitmap dest(4, 1);
    dest.Canvas()->Brush()->SetColor(clBlue);
    dest.Canvas()->FillRect(Rect(0, 0, 4, 1));
    TBitmap src(4, 1);
    src.SetPixel(0, 0, clRed);
    src.SetPixel(1, 0, clLime);
    src.SetPixel(2, 0, clRed);
    src.SetPixel(3, 0, clWhite);
    struct Case {
        TColor Transparent;
        TColor Expected[4];
    };
    const Case cases[] = {
        {clDefault, {clBlue, clLime, clBlue, clWhite}},  // bottom-left pixel: red
        {clWhite, {clRed, clLime, clRed, clBlue}},
        {clNone, {clRed, clLime, clRed, clWhite}},
    };
    for (const Case& c : cases) {
        dest.Canvas()->FillRect(Rect(0, 0, 4, 1));
        PaintBitmapMaskedAt(dest.Canvas(), 0, 0, &src, c.Transparent);
        for (int x = 0; x < 4; ++x) EXPECT_EQ(dest.GetPixel(x, 0), c.Expected[x]) << x;
    }
}
