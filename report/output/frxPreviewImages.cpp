#include "report/output/frxPreviewImages.h"

#include <functional>
#include <memory>
#include <vector>

#include "platform/gui/Application.h"
#include "platform/gui/Bitmaps.h"
#include "platform/gui/ScreenCursors.h"
#include "report/core/frxPictureDrawing.h"
#include "report/output/frxPreview.h"

namespace {
using namespace frxPictures;

void Triangle(TCanvas* c, int x, int y, bool left) {
    if (left) Poly(c, {{x + 11, y + 3}, {x + 11, y + 12}, {x + 6, y + 8}}, clNavy, clNavy);
    else Poly(c, {{x + 5, y + 3}, {x + 5, y + 12}, {x + 10, y + 8}}, clNavy, clNavy);
}

const std::vector<Painter>& Pictures() {
    static const std::vector<Painter> k = {
        [](TCanvas* c, int x, int y) {  // 0 open: a folder
            Poly(c,
                {{x + 1, y + 4}, {x + 6, y + 4}, {x + 7, y + 6}, {x + 14, y + 6}, {x + 14, y + 13}, {x + 1, y + 13}},
                clOlive);
            Poly(c, {{x + 3, y + 8}, {x + 15, y + 8}, {x + 13, y + 13}, {x + 1, y + 13}}, clYellow);
        },
        [](TCanvas* c, int x, int y) {  // 1 save: a diskette
            Box(c, x + 1, y + 1, x + 15, y + 15, clNavy);
            Box(c, x + 4, y + 2, x + 12, y + 7, clWhite);
            Box(c, x + 5, y + 10, x + 11, y + 15, clSilver);
        },
        [](TCanvas* c, int x, int y) {  // 2 print: a printer
            Box(c, x + 4, y + 1, x + 12, y + 7, clWhite);
            Box(c, x + 1, y + 6, x + 15, y + 12, clSilver);
            Box(c, x + 4, y + 10, x + 12, y + 15, clWhite);
            Line(c, x + 12, y + 8, x + 14, y + 8, clLime);
        },
        [](TCanvas* c, int x, int y) {  // 3 export: a sheet with an arrow out
            Sheet(c, x, y, 1, 10);
            Poly(c,
                {{x + 8, y + 6}, {x + 12, y + 6}, {x + 12, y + 3}, {x + 15, y + 8}, {x + 12, y + 13}, {x + 12, y + 10},
                    {x + 8, y + 10}},
                clGreen);
        },
        [](TCanvas* c, int x, int y) {  // 4 find: a sheet under a lens
            Sheet(c, x, y, 1, 11);
            Lens(c, x, y, 2);
        },
        [](TCanvas* c, int x, int y) {  // 5 outline: a small tree
            Line(c, x + 3, y + 3, x + 3, y + 13, clGray);
            for (int i = 0; i < 3; ++i) {
                Line(c, x + 3, y + 4 + 4 * i, x + 6, y + 4 + 4 * i, clGray);
                Box(c, x + 7, y + 2 + 4 * i, x + 14, y + 6 + 4 * i, clYellow, clOlive);
            }
        },
        [](TCanvas* c, int x, int y) {  // 6 (spare): a plain sheet
            Sheet(c, x, y);
        },
        [](TCanvas* c, int x, int y) {  // 7 margins: a sheet with a dashed inner frame
            Box(c, x + 2, y + 1, x + 14, y + 15, clWhite);
            c->Brush()->SetStyle(bsClear);
            c->Pen()->SetColor(clBlue);
            c->Pen()->SetStyle(psDot);
            c->Rectangle(x + 4, y + 3, x + 12, y + 13);
            c->Pen()->SetStyle(psSolid);
        },
        [](TCanvas* c, int x, int y) {  // 8 first
            Triangle(c, x, y, true);
            Box(c, x + 3, y + 3, x + 5, y + 13, clNavy, clNavy);
        },
        [](TCanvas* c, int x, int y) { Triangle(c, x, y, true); },  // 9 prior
        [](TCanvas* c, int x, int y) { Triangle(c, x, y, false); },  // 10 next
        [](TCanvas* c, int x, int y) {  // 11 last
            Triangle(c, x, y, false);
            Box(c, x + 11, y + 3, x + 13, y + 13, clNavy, clNavy);
        },
        [](TCanvas* c, int x, int y) {  // 12 whole page: a sheet inside corner marks
            Sheet(c, x, y, 4, 12);
            Line(c, x + 1, y + 1, x + 1, y + 15, clNavy);
            Line(c, x + 14, y + 1, x + 14, y + 15, clNavy);
        },
        [](TCanvas* c, int x, int y) {  // 13 page width: a sheet between two arrows
            Sheet(c, x, y, 4, 12);
            Poly(c, {{x + 0, y + 8}, {x + 3, y + 5}, {x + 3, y + 11}}, clNavy, clNavy);
            Poly(c, {{x + 15, y + 8}, {x + 12, y + 5}, {x + 12, y + 11}}, clNavy, clNavy);
        },
        [](TCanvas* c, int x, int y) {  // 14 100 %: a lens with a one
            Lens(c, x, y);
            Line(c, x + 6, y + 4, x + 6, y + 9, clBlack);
            Line(c, x + 5, y + 5, x + 6, y + 4, clBlack);
        },
        [](TCanvas* c, int x, int y) {  // 15 two pages
            Box(c, x + 1, y + 2, x + 8, y + 14, clWhite);
            Box(c, x + 8, y + 2, x + 15, y + 14, clWhite);
        },
        [](TCanvas* c, int x, int y) {  // 16 hand tool
            Poly(c,
                {{x + 4, y + 7}, {x + 4, y + 3}, {x + 6, y + 3}, {x + 6, y + 6}, {x + 7, y + 2}, {x + 9, y + 2},
                    {x + 9, y + 6}, {x + 10, y + 3}, {x + 12, y + 3}, {x + 12, y + 12}, {x + 9, y + 15},
                    {x + 5, y + 15}, {x + 2, y + 10}},
                clWhite);
        },
        [](TCanvas* c, int x, int y) {  // 17 zoom tool
            Lens(c, x, y);
            Line(c, x + 4, y + 6, x + 9, y + 6, clBlack);
            Line(c, x + 6, y + 4, x + 6, y + 9, clBlack);
        },
        [](TCanvas* c, int x, int y) {  // 18 (spare): a pencil
            Poly(c, {{x + 2, y + 14}, {x + 3, y + 10}, {x + 11, y + 2}, {x + 14, y + 5}, {x + 6, y + 13}}, clYellow);
        },
        [](TCanvas* c, int x, int y) {  // 19 new page: a sheet with a star
            Sheet(c, x, y, 1, 11);
            Poly(c,
                {{x + 12, y + 1}, {x + 13, y + 4}, {x + 15, y + 5}, {x + 13, y + 6}, {x + 12, y + 9}, {x + 11, y + 6},
                    {x + 9, y + 5}, {x + 11, y + 4}},
                clYellow, clOlive);
        },
        [](TCanvas* c, int x, int y) {  // 20 delete page: a sheet with a red cross
            Sheet(c, x, y, 1, 11);
            Line(c, x + 8, y + 8, x + 15, y + 15, clRed, 2);
            Line(c, x + 15, y + 8, x + 8, y + 15, clRed, 2);
        },
        [](TCanvas* c, int x, int y) {  // 21 edit page: a sheet with a pencil
            Sheet(c, x, y, 1, 11);
            Poly(c, {{x + 7, y + 14}, {x + 8, y + 11}, {x + 13, y + 6}, {x + 15, y + 8}, {x + 10, y + 13}}, clYellow);
        },
    };
    return k;
}

std::unique_ptr<TBitmap> CursorPicture(const std::function<void(TCanvas*)>& paint) {
    auto b = std::make_unique<TBitmap>(32, 32);
    TCanvas* c = b->Canvas();
    c->Brush()->SetColor(kGround);
    c->FillRect(Rect(0, 0, 32, 32));
    paint(c);
    b->SetTransparentColor(kGround);
    return b;
}
}  // namespace

TBitmap* frxMakePreviewStrip() {
    TBitmap* strip = MakeStrip(16, Pictures(), false);
    // The strip's transparent colour is read from its bottom-left pixel: keep it the ground.
    strip->SetPixel(0, 15, kGround);
    return strip;
}

void frxLoadPreviewCursors() {
    if (Screen->HasCursor(crHand)) return;
    auto hand = CursorPicture([](TCanvas* c) {
        Poly(c,
            {{8, 14}, {8, 6}, {11, 6}, {11, 12}, {12, 3}, {15, 3}, {15, 12}, {16, 4}, {19, 4}, {19, 12}, {20, 6},
                {23, 6}, {23, 20}, {19, 27}, {11, 27}, {4, 18}, {6, 15}},
            clWhite);
    });
    SetScreenCursor(crHand, hand.get(), {14, 14});
    auto zoom = CursorPicture([](TCanvas* c) {
        c->Brush()->SetColor(clWhite);
        c->Pen()->SetColor(clBlack);
        c->Ellipse(1, 1, 16, 16);
        Line(c, 5, 8, 12, 8);
        Line(c, 8, 5, 8, 12);
        Line(c, 14, 14, 22, 22, clBlack, 3);
    });
    SetScreenCursor(crZoom, zoom.get(), {8, 8});
    auto format = CursorPicture([](TCanvas* c) {
        Poly(c, {{2, 2}, {2, 18}, {6, 14}, {9, 21}, {12, 20}, {9, 13}, {14, 13}}, clWhite);
        Box(c, 16, 16, 28, 22, clYellow);
        Box(c, 20, 22, 24, 30, clMaroon);
    });
    SetScreenCursor(crFormat, format.get(), {2, 2});
}
