// Bitmaps and graphics drawn onto any canvas.

#include "report/core/frxGraphicDrawing.h"

#include "platform/gui/Bitmaps.h"
#include "platform/gui/Graphics.h"
#include "platform/gui/ImageList.h"

void frxDrawTransparent(TCanvas* canvas, int x, int y, TBitmap* bitmap) {
    TImageList list;
    list.SetWidth(bitmap->GetWidth());
    list.SetHeight(bitmap->GetHeight());
    list.AddMasked(bitmap, bitmap->GetTransparentColor());
    list.Draw(canvas, x, y, 0);
}

void frxDrawBitmap(TCanvas* canvas, const TRect& r, TBitmap* bitmap) { canvas->StretchDraw(r, bitmap); }

void frxDrawGraphic(TCanvas* canvas, const TRect& r, TGraphic* graphic) {
    if (Is<TMetafile>(graphic)) {
        canvas->StretchDraw(r, graphic);
        return;
    }
    TBitmap bitmap(graphic->GetWidth(), graphic->GetHeight());
    bitmap.SetPixelFormat(pf32bit);
    bitmap.Canvas()->Draw(0, 0, graphic);
    frxDrawBitmap(canvas, r, &bitmap);
}
