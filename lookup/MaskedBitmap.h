#pragma once
// Drawing a bitmap with one colour left out, so that what lies beneath shows through.

#include "platform/gui/Bitmaps.h"

// w or h below 1: the bitmap's size; srcW or srcH below 1: the whole bitmap. clNone draws opaque,
// clDefault takes the bottom-left pixel, a monochrome bitmap leaves out white.
void PaintBitmapMasked(TCanvas* canvas, int x, int y, int w, int h, int srcX, int srcY, int srcW, int srcH,
    TBitmap* bitmap, TColor transparentColor);
void PaintBitmapMaskedAt(TCanvas* canvas, int x, int y, TBitmap* bitmap, TColor transparentColor);
