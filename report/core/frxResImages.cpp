// The tool-button and object-kind pictures, drawn here in simple flat shapes. Each picture is
// drawn on a fuchsia ground (the strip's transparent colour); a button's disabled twin beside
// it is the same drawing turned into light greys.

#include <functional>

#include "platform/gui/Bitmaps.h"
#include "platform/gui/Resources.h"
#include "report/core/frxPictureDrawing.h"
#include "report/core/frxRes.h"

namespace {
using namespace frxPictures;


void Arrow(TCanvas* c, int x, int y, bool left, bool bar) {
    if (left) Poly(c, {{x + 11, y + 3}, {x + 11, y + 12}, {x + 5, y + 8}}, clNavy);
    else Poly(c, {{x + 5, y + 3}, {x + 5, y + 12}, {x + 11, y + 8}}, clNavy);
    if (bar) Box(c, left ? x + 3 : x + 12, y + 3, left ? x + 5 : x + 14, y + 13, clNavy, clNavy);
}

struct Picture {
    const char* name;
    Painter paint;
};

const std::vector<Picture>& Buttons() {
    static const std::vector<Picture> k = {
        {"Tisk",
            [](TCanvas* c, int x, int y) {
                Box(c, x + 1, y + 7, x + 15, y + 13, clSilver);
                Box(c, x + 4, y + 2, x + 12, y + 7, clWhite);
                Box(c, x + 4, y + 11, x + 12, y + 15, clWhite);
            }},
        {"Otevřít",
            [](TCanvas* c, int x, int y) {
                Poly(c,
                    {{x + 1, y + 4}, {x + 6, y + 4}, {x + 7, y + 6}, {x + 14, y + 6}, {x + 14, y + 14},
                        {x + 1, y + 14}},
                    clYellow);
            }},
        {"Uložit",
            [](TCanvas* c, int x, int y) {
                Box(c, x + 1, y + 1, x + 15, y + 15, clNavy);
                Box(c, x + 4, y + 2, x + 12, y + 7, clWhite);
                Box(c, x + 5, y + 10, x + 11, y + 15, clSilver);
            }},
        {"Export",
            [](TCanvas* c, int x, int y) {
                Sheet(c, x - 2, y);
                Poly(c, {{x + 9, y + 6}, {x + 15, y + 10}, {x + 9, y + 14}}, clGreen);
            }},
        {"Najít", [](TCanvas* c, int x, int y) { Lens(c, x, y); }},
        {"Celá stránka", [](TCanvas* c, int x, int y) { Sheet(c, x, y); }},
        {"Šířka stránky",
            [](TCanvas* c, int x, int y) {
                Box(c, x + 1, y + 3, x + 15, y + 13, clWhite);
                Line(c, x + 3, y + 8, x + 13, y + 8, clNavy);
            }},
        {"100%",
            [](TCanvas* c, int x, int y) {
                Lens(c, x, y);
                Line(c, x + 6, y + 4, x + 6, y + 10, clBlack);
            }},
        {"Dvě stránky",
            [](TCanvas* c, int x, int y) {
                Box(c, x + 1, y + 2, x + 8, y + 14, clWhite);
                Box(c, x + 8, y + 2, x + 15, y + 14, clWhite);
            }},
        {"Okraje",
            [](TCanvas* c, int x, int y) {
                Sheet(c, x, y);
                Box(c, x + 5, y + 3, x + 11, y + 13, clWhite, clRed);
            }},
        {"Ovládání",
            [](TCanvas* c, int x, int y) {
                for (int i = 0; i < 4; ++i) Line(c, x + 2 + (i % 2) * 3, y + 3 + 3 * i, x + 14, y + 3 + 3 * i, clNavy);
            }},
        {"Přetáhnout",
            [](TCanvas* c, int x, int y) {
                Box(c, x + 3, y + 6, x + 13, y + 15, clWhite);
                for (int i = 0; i < 4; ++i) Box(c, x + 3 + 2 * i + i, y + 2, x + 5 + 2 * i + i, y + 8, clWhite);
            }},
        {"Nástroj zvětšení",
            [](TCanvas* c, int x, int y) {
                Lens(c, x, y);
                Line(c, x + 4, y + 6, x + 9, y + 6);
                Line(c, x + 6, y + 4, x + 6, y + 9);
            }},
        {"Přidat stránku",
            [](TCanvas* c, int x, int y) {
                Sheet(c, x, y);
                Line(c, x + 8, y + 9, x + 15, y + 9, clGreen, 2);
                Line(c, x + 11, y + 6, x + 11, y + 13, clGreen, 2);
            }},
        {"Vymazat stránku",
            [](TCanvas* c, int x, int y) {
                Sheet(c, x, y);
                Line(c, x + 4, y + 4, x + 13, y + 13, clRed, 2);
                Line(c, x + 13, y + 4, x + 4, y + 13, clRed, 2);
            }},
        {"Upravit",
            [](TCanvas* c, int x, int y) {
                Sheet(c, x, y);
                Poly(c, {{x + 8, y + 13}, {x + 14, y + 5}, {x + 15, y + 6}, {x + 9, y + 14}}, clYellow);
            }},
        {"První stránka", [](TCanvas* c, int x, int y) { Arrow(c, x, y, true, true); }},
        {"Předchozí stránka", [](TCanvas* c, int x, int y) { Arrow(c, x, y, true, false); }},
        {"Další stránka", [](TCanvas* c, int x, int y) { Arrow(c, x, y, false, false); }},
        {"Poslední stránka", [](TCanvas* c, int x, int y) { Arrow(c, x, y, false, true); }},
        {"Zavřít",
            [](TCanvas* c, int x, int y) {
                Line(c, x + 3, y + 3, x + 13, y + 13, clMaroon, 2);
                Line(c, x + 13, y + 3, x + 3, y + 13, clMaroon, 2);
            }},
    };
    return k;
}

const std::vector<Picture>& Objects() {
    static const std::vector<Picture> k = {
        {"Text",
            [](TCanvas* c, int x, int y) {
                Box(c, x + 2, y + 3, x + 20, y + 19, clWhite);
                Line(c, x + 6, y + 7, x + 16, y + 7, clNavy, 2);
                Line(c, x + 11, y + 7, x + 11, y + 16, clNavy, 2);
            }},
        {"Obrázek",
            [](TCanvas* c, int x, int y) {
                Box(c, x + 2, y + 3, x + 20, y + 19, clAqua);
                Poly(c, {{x + 3, y + 18}, {x + 9, y + 10}, {x + 14, y + 18}}, clGreen);
                c->Brush()->SetColor(clYellow);
                c->Ellipse(x + 13, y + 5, x + 18, y + 10);
            }},
        {"Čára", [](TCanvas* c, int x, int y) { Line(c, x + 3, y + 18, x + 19, y + 4, clBlack, 2); }},
        {"Tvar",
            [](TCanvas* c, int x, int y) {
                Box(c, x + 3, y + 5, x + 13, y + 15, clSkyBlue);
                c->Brush()->SetColor(clYellow);
                c->Ellipse(x + 9, y + 9, x + 20, y + 20);
            }},
        {"Pruh",
            [](TCanvas* c, int x, int y) {
                Box(c, x + 2, y + 7, x + 20, y + 15, clCream);
                Box(c, x + 2, y + 7, x + 5, y + 15, clGray);
            }},
        {"Podreport",
            [](TCanvas* c, int x, int y) {
                Box(c, x + 2, y + 2, x + 16, y + 17, clWhite);
                Box(c, x + 7, y + 6, x + 20, y + 20, clWhite);
            }},
        {"Systémový text",
            [](TCanvas* c, int x, int y) {
                Box(c, x + 2, y + 3, x + 20, y + 19, clCream);
                Line(c, x + 5, y + 8, x + 17, y + 8, clMaroon, 2);
                Line(c, x + 5, y + 13, x + 13, y + 13, clMaroon, 2);
            }},
        {"Dialog",
            [](TCanvas* c, int x, int y) {
                Box(c, x + 2, y + 3, x + 20, y + 19, clSilver);
                Box(c, x + 2, y + 3, x + 20, y + 7, clNavy, clNavy);
                Box(c, x + 11, y + 13, x + 18, y + 17, clSilver);
            }},
    };
    return k;
}

TBitmapResource Resource(int tile, const std::vector<Picture>& (*pictures)(), bool twins) {
    return [=] {
        std::vector<Painter> painters;
        for (const auto& p : pictures()) painters.push_back(p.paint);
        return std::unique_ptr<TBitmap>(MakeStrip(tile, painters, twins));
    };
}

std::vector<std::string> Names(const std::vector<Picture>& pictures) {
    std::vector<std::string> r;
    for (const auto& p : pictures) r.emplace_back(p.name);
    return r;
}
}  // namespace

void frxRegisterCoreImages() {
    if (!BitmapResourceExists("frxBUTTONS")) RegisterBitmapResource("frxBUTTONS", Resource(16, &Buttons, true));
    if (!BitmapResourceExists("frxOBJECTS")) RegisterBitmapResource("frxOBJECTS", Resource(22, &Objects, false));
}

const std::vector<std::string>& frxButtonImageNames() {
    static const std::vector<std::string> k = Names(Buttons());
    return k;
}

const std::vector<std::string>& frxObjectImageNames() {
    static const std::vector<std::string> k = Names(Objects());
    return k;
}
