#include "lookup/MaskedBitmap.h"

#include <QtGui/QImage>

void PaintMaskedStretch(TCanvas* dest, int destX, int destY, int destW, int destH, const QImage& src,
                        int srcX, int srcY, int srcW, int srcH, TColor transparentColor) {
    if (destW <= 0 || destH <= 0 || srcW <= 0 || srcH <= 0 || src.isNull()) return;
    const QImage part = src.copy(srcX, srcY, srcW, srcH).convertToFormat(QImage::Format_RGB32);
    const QRgb key = qRgb(GetRValue(transparentColor), GetGValue(transparentColor), GetBValue(transparentColor));
    // The mask is white where the source is transparent; the source copy is black there. The
    // destination ANDed with the mask and ORed with the copy keeps what lay beneath.
    QImage mask(part.size(), QImage::Format_RGB32);
    QImage copy(part.size(), QImage::Format_RGB32);
    for (int y = 0; y < part.height(); ++y) {
        const QRgb* s = reinterpret_cast<const QRgb*>(part.constScanLine(y));
        QRgb* m = reinterpret_cast<QRgb*>(mask.scanLine(y));
        QRgb* c = reinterpret_cast<QRgb*>(copy.scanLine(y));
        for (int x = 0; x < part.width(); ++x) {
            const bool transparent = (s[x] & 0xFFFFFF) == (key & 0xFFFFFF);
            m[x] = transparent ? 0xFFFFFFFF : 0xFF000000;
            c[x] = transparent ? 0xFF000000 : s[x];
        }
    }
    const TRect d = Bounds(destX, destY, destW, destH);
    const TRect s = Rect(0, 0, part.width(), part.height());
    dest->DrawImage(d, mask, s, SRCAND);
    dest->DrawImage(d, copy, s, SRCPAINT);
}

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
    TCanvas* own = bitmap->Canvas();
    own->Lock();
    TNotifyEvent saved = own->OnChange;
    own->OnChange = nullptr;
    struct TRestore {
        TCanvas* C;
        TNotifyEvent E;
        ~TRestore() { C->OnChange = std::move(E); C->Unlock(); }
    } restore{own, std::move(saved)};
    const QImage& image = bitmap->Image();
    if (transparentColor == clNone) {
        canvas->DrawImage(Bounds(x, y, w, h), image, Bounds(srcX, srcY, srcW, srcH), canvas->GetCopyMode());
        return;
    }
    TColor key;
    if (transparentColor == clDefault) key = bitmap->GetPixel(0, bitmap->GetHeight() - 1);
    else if (bitmap->Monochrome()) key = clWhite;
    else key = ColorToRGB(transparentColor);
    PaintMaskedStretch(canvas, x, y, w, h, image, srcX, srcY, srcW, srcH, key);
}

void PaintBitmapMaskedAt(TCanvas* canvas, int x, int y, TBitmap* bitmap, TColor transparentColor) {
    PaintBitmapMasked(canvas, x, y, -1, -1, -1, -1, -1, -1, bitmap, transparentColor);
}
