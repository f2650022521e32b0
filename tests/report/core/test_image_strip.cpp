// Picture strips cut into image lists.

#include <gtest/gtest.h>

#include "platform/gui/Bitmaps.h"
#include "platform/gui/ImageList.h"
#include "report/core/frxImageStrip.h"

TEST(FrxImageStrip, ImageStripTiles) {
    struct Case {
        int width, height;
        bool disabled;
        int images, twins;
    } cases[] = {
        {48, 16, false, 3, 0},
        {64, 16, true, 2, 2},
        {32, 32, false, 4, 0},
    };
    for (const auto& c : cases) {
        TBitmap strip(c.width, c.height);
        // Tile k is filled with grey level 10*k, white in its top-left pixel.
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x) {
                int k = (y / 16) * (c.width / 16) + x / 16;
                strip.SetPixel(x, y, x % 16 == 0 && y % 16 == 0 ? clWhite : RGB(10 * k, 10 * k, 10 * k));
            }
        TImageList images, twins;
        frxSplitImageStrip(&strip, 16, 16, &images, c.disabled ? &twins : nullptr);
        EXPECT_EQ(images.Count(), c.images) << c.width;
        EXPECT_EQ(twins.Count(), c.twins) << c.width;
        if (c.disabled) {
            TBitmap tile;
            twins.GetBitmap(0, &tile);
            EXPECT_EQ(tile.GetPixel(0, 0), TColor(0xE0E0E0));  // white made pale
        }
    }
}
