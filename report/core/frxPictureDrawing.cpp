#include "report/core/frxPictureDrawing.h"

#include "platform/gui/Bitmaps.h"

namespace frxPictures {

void Box(TCanvas* c, int l, int t, int r, int b, TColor fill, TColor line) {
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(fill);
    c->Pen()->SetColor(line);
    c->Pen()->SetWidth(1);
    c->Rectangle(l, t, r, b);
}

void Line(TCanvas* c, int x1, int y1, int x2, int y2, TColor color, int width) {
    c->Pen()->SetColor(color);
    c->Pen()->SetWidth(width);
    c->MoveTo(x1, y1);
    c->LineTo(x2, y2);
    c->Pen()->SetWidth(1);
}

void Poly(TCanvas* c, std::vector<TPoint> pts, TColor fill, TColor line) {
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(fill);
    c->Pen()->SetColor(line);
    c->Polygon(pts);
}

void Sheet(TCanvas* c, int x, int y, int l, int r) {
    Box(c, x + l, y + 1, x + r, y + 15, clWhite);
    for (int i = 0; i < 3; ++i) Line(c, x + l + 2, y + 5 + 3 * i, x + r - 2, y + 5 + 3 * i, clGray);
}

void Lens(TCanvas* c, int x, int y, int s) {
    c->Brush()->SetColor(clWhite);
    c->Pen()->SetColor(clNavy);
    c->Pen()->SetWidth(1);
    c->Ellipse(x + 2 + s, y + 2 + s, x + 11 + s, y + 11 + s);
    Line(c, x + 10 + s, y + 10 + s, x + 14, y + 14, clNavy, 2);
}

TBitmap* MakeStrip(int tile, const std::vector<Painter>& pictures, bool twins) {
    const int perPicture = twins ? 2 : 1;
    auto* strip = new TBitmap(tile * perPicture * int(pictures.size()), tile);
    TCanvas* c = strip->Canvas();
    c->Brush()->SetColor(kGround);
    c->FillRect(Rect(0, 0, strip->GetWidth(), tile));
    for (size_t i = 0; i < pictures.size(); ++i) {
        const int x = int(i) * perPicture * tile;
        pictures[i](c, x, 0);
        if (!twins) continue;
        pictures[i](c, x + tile, 0);
        for (int py = 0; py < tile; ++py)
            for (int px = x + tile; px < x + 2 * tile; ++px) {
                TColor p = strip->GetPixel(px, py);
                if (p == kGround || p == clWhite) continue;
                int lum = (GetRValue(p) * 30 + GetGValue(p) * 59 + GetBValue(p) * 11) / 100;
                int g = 128 + lum / 2;
                strip->SetPixel(px, py, RGB(g, g, g));
            }
    }
    return strip;
}

}  // namespace frxPictures
