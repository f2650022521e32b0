#include "app/Glyphs.h"

#include <vector>

namespace {

// Nothing in a picture uses this colour, so it can mark the background.
constexpr TColor kKey = clFuchsia;
const TColor kOutline = RGB(48, 48, 48);
const TColor kPaper = clWhite;
const TColor kText = RGB(128, 128, 128);
const TColor kGreen = RGB(0, 150, 0);
const TColor kRed = RGB(200, 0, 0);
const TColor kBlue = RGB(0, 70, 190);

// Drawing in glyph pixels: rectangles are [left, right) × [top, bottom), as on the canvas.
struct TPainter {
    TCanvas* C;

    void Fill(int l, int t, int r, int b, TColor c) {
        C->Brush()->SetColor(c);
        C->FillRect(TRect{l, t, r, b});
    }
    void Box(int l, int t, int r, int b, TColor fill, TColor outline = kOutline) {
        C->Pen()->SetWidth(1);
        C->Pen()->SetColor(outline);
        C->Brush()->SetColor(fill);
        C->Rectangle(l, t, r, b);
    }
    void Shape(const std::vector<TPoint>& points, TColor fill, TColor outline = kOutline) {
        C->Pen()->SetWidth(1);
        C->Pen()->SetColor(outline);
        C->Brush()->SetColor(fill);
        C->Polygon(points);
    }
    void Line(const std::vector<TPoint>& points, TColor c, int width) {
        C->Pen()->SetWidth(width);
        C->Pen()->SetColor(c);
        C->Polyline(points);
        C->Pen()->SetWidth(1);
    }
    void Disc(int l, int t, int r, int b, TColor fill) {
        C->Pen()->SetWidth(1);
        C->Pen()->SetColor(fill);
        C->Brush()->SetColor(fill);
        C->Ellipse(l, t, r, b);
    }
    // A sheet with a folded top-right corner.
    void Page(int l, int t, int r, int b) {
        Shape({{l, t}, {r - 4, t}, {r - 1, t + 3}, {r - 1, b - 1}, {l, b - 1}}, kPaper);
        Line({{r - 4, t}, {r - 4, t + 3}, {r - 1, t + 3}}, kOutline, 1);
    }
    void TextLines(int l, int r, int top, int bottom) {
        for (int y = top; y < bottom; y += 2) Fill(l, y, r, y + 1, kText);
    }
};

void Draw(TPainter& p, TAppGlyph glyph) {
    switch (glyph) {
    case TAppGlyph::New:  // a blank sheet and a plus
        p.Page(2, 1, 13, 16);
        p.Fill(11, 8, 14, 16, kGreen);
        p.Fill(9, 10, 16, 13, kGreen);
        break;
    case TAppGlyph::Edit:  // a written sheet and a pencil across it
        p.Page(1, 1, 12, 16);
        p.TextLines(3, 9, 6, 14);
        p.Line({{6, 13}, {14, 5}}, RGB(230, 180, 0), 3);
        p.Fill(13, 2, 16, 5, RGB(220, 110, 120));
        p.Shape({{3, 15}, {4, 12}, {6, 14}}, RGB(240, 210, 160), kOutline);
        break;
    case TAppGlyph::Copy:  // two sheets, one over the other
        p.Page(1, 0, 10, 11);
        p.Page(5, 4, 15, 16);
        p.TextLines(7, 12, 9, 15);
        break;
    case TAppGlyph::Delete:  // a waste bin
        p.Fill(6, 0, 10, 2, kOutline);
        p.Box(2, 2, 14, 5, RGB(150, 150, 150));
        p.Shape({{3, 4}, {12, 4}, {11, 15}, {4, 15}}, RGB(190, 190, 190));
        for (int x : {5, 7, 9}) p.Fill(x, 7, x + 1, 13, RGB(110, 110, 110));
        break;
    case TAppGlyph::Print:  // a printer with a sheet coming out
        p.Box(4, 0, 12, 6, kPaper);
        p.Box(1, 5, 15, 12, RGB(170, 170, 170));
        p.Fill(12, 7, 14, 9, kGreen);
        p.Box(4, 10, 12, 16, kPaper);
        p.TextLines(5, 11, 12, 15);
        break;
    case TAppGlyph::Settings:  // a cog wheel
        p.Line({{8, 0}, {8, 16}}, RGB(90, 90, 110), 3);
        p.Line({{0, 8}, {16, 8}}, RGB(90, 90, 110), 3);
        p.Line({{2, 2}, {14, 14}}, RGB(90, 90, 110), 3);
        p.Line({{14, 2}, {2, 14}}, RGB(90, 90, 110), 3);
        p.Disc(3, 3, 14, 14, RGB(90, 90, 110));
        p.Disc(6, 6, 11, 11, kKey);
        break;
    case TAppGlyph::Help:  // a question mark on a blue disc
        p.Disc(0, 0, 16, 16, kBlue);
        p.Fill(5, 3, 11, 5, kPaper);
        p.Fill(5, 5, 7, 6, kPaper);
        p.Fill(9, 5, 11, 8, kPaper);
        p.Fill(7, 7, 10, 9, kPaper);
        p.Fill(7, 9, 9, 11, kPaper);
        p.Fill(7, 12, 9, 14, kPaper);
        break;
    case TAppGlyph::About:  // an "i" on a teal disc
        p.Disc(0, 0, 16, 16, RGB(0, 130, 140));
        p.Fill(7, 3, 9, 5, kPaper);
        p.Fill(6, 6, 9, 8, kPaper);
        p.Fill(7, 8, 9, 12, kPaper);
        p.Fill(6, 12, 10, 13, kPaper);
        break;
    case TAppGlyph::Exit:  // a door and an arrow leading out
        p.Box(1, 1, 9, 16, RGB(150, 90, 40));
        p.Fill(6, 8, 8, 10, RGB(250, 210, 0));
        p.Line({{8, 8}, {13, 8}}, kGreen, 2);
        p.Shape({{15, 8}, {11, 4}, {11, 12}}, kGreen, kGreen);
        break;
    case TAppGlyph::Ok:  // a tick
        p.Line({{2, 8}, {6, 12}, {14, 3}}, kGreen, 3);
        break;
    case TAppGlyph::Cancel:  // a cross
        p.Line({{3, 3}, {13, 13}}, kRed, 3);
        p.Line({{13, 3}, {3, 13}}, kRed, 3);
        break;
    case TAppGlyph::Open:  // an open folder
        p.Box(1, 2, 7, 5, RGB(200, 150, 20));
        p.Box(1, 4, 14, 14, RGB(220, 170, 30));
        p.Shape({{4, 7}, {15, 7}, {13, 13}, {1, 13}}, RGB(250, 210, 80));
        break;
    case TAppGlyph::Preview:  // a sheet under a magnifying glass
        p.Page(1, 0, 11, 14);
        p.TextLines(3, 8, 3, 10);
        p.Disc(6, 5, 14, 13, RGB(190, 220, 250));
        p.Line({{12, 12}, {15, 15}}, kOutline, 2);
        break;
    }
}

}  // namespace

void DrawGlyph(TBitmap* bitmap, TAppGlyph glyph) {
    bitmap->SetSize(kGlyphSize, kGlyphSize);
    TPainter p{bitmap->Canvas()};
    p.Fill(0, 0, kGlyphSize, kGlyphSize, kKey);
    Draw(p, glyph);
    // The key colour must stay in the bottom-left pixel: the button reads the background there.
    bitmap->Canvas()->SetPixel(0, kGlyphSize - 1, kKey);
}

void SetButtonGlyph(TBitBtn* button, TAppGlyph glyph) {
    TBitmap picture;
    DrawGlyph(&picture, glyph);
    button->SetGlyph(&picture);
}
