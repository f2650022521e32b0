// Picture strips cut into image lists.

#include "report/core/frxImageStrip.h"

#include "platform/gui/Bitmaps.h"
#include "platform/gui/ImageList.h"

void frxSplitImageStrip(
    TBitmap* bitmap, int tileWidth, int tileHeight, TCustomImageList* images, TCustomImageList* disabledImages) {
    if (tileWidth <= 0 || tileHeight <= 0) return;
    TBitmap tile(tileWidth, tileHeight);
    auto copyTile = [&](int x, int y, bool pale) {
        for (int ty = 0; ty < tileHeight; ++ty)
            for (int tx = 0; tx < tileWidth; ++tx) {
                TColor c = x + tx < bitmap->GetWidth() && y + ty < bitmap->GetHeight()
                    ? bitmap->GetPixel(x + tx, y + ty)
                    : clWhite;
                if (pale && c == TColor(0xFFFFFF)) c = TColor(0xE0E0E0);
                tile.SetPixel(tx, ty, c);
            }
    };
    int x = 0, y = 0;
    while (y < bitmap->GetHeight()) {
        copyTile(x, y, false);
        images->AddMasked(&tile, tile.GetTransparentColor());
        if (disabledImages) {
            x += tileWidth;
            copyTile(x, y, true);
            disabledImages->AddMasked(&tile, tile.GetTransparentColor());
        }
        x += tileWidth;
        if (x >= bitmap->GetWidth()) {
            x = 0;
            y += tileHeight;
        }
    }
}
