#include "lookup/MaskedBitmap.h"

#include "platform/rtl/ScopeGuard.h"

void PaintBitmapMasked(TCanvas* canvas, int x, int y, int w, int h, int srcX, int srcY, int srcW, int srcH,
    TBitmap* bitmap, TColor transparentColor) {
    if (!bitmap || bitmap->Empty()) return;
    if (w < 1) w = bitmap->GetWidth();
    if (h < 1) h = bitmap->GetHeight();
    if (srcW < 1 || srcH < 1) {
        srcX = srcY = 0;
        srcW = bitmap->GetWidth();
        srcH = bitmap->GetHeight();
    }
    // The bitmap's own canvas is the source: locked, and reading it is no change of the bitmap.
    TCanvas* own = bitmap->Canvas();
    own->Lock();
    TNotifyEvent saved = std::exchange(own->OnChange, nullptr);
    auto restore = OnScopeExit([&] {
        own->OnChange = std::move(saved);
        own->Unlock();
    });
    if (transparentColor == clNone) {
        StretchBlt(canvas, x, y, w, h, own, srcX, srcY, srcW, srcH, canvas->GetCopyMode());
        return;
    }
    TColor key;
    if (transparentColor == clDefault) key = bitmap->GetPixel(0, bitmap->GetHeight() - 1);
    else if (bitmap->Monochrome()) key = clWhite;
    else key = ColorToRGB(transparentColor);
    TransparentBlt(canvas, x, y, w, h, own, srcX, srcY, srcW, srcH, key);
}

void PaintBitmapMaskedAt(TCanvas* canvas, int x, int y, TBitmap* bitmap, TColor transparentColor) {
    PaintBitmapMasked(canvas, x, y, -1, -1, -1, -1, -1, -1, bitmap, transparentColor);
}
