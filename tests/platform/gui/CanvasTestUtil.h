#pragma once
// Shared by the graphics tests: a Qt application for fonts, and bitmaps to draw on.

#include "platform/gui/Application.h"
#include "platform/gui/Bitmaps.h"
#include "platform/gui/GraphicsPrivate.h"

// The platform's own application object, so the exception barrier is in place too.
inline void EnsureGuiApp() { EnsureQtApplication(); }

// A w x h bitmap filled with `background`, its canvas in the default state.
inline std::unique_ptr<TBitmap> MakeBitmap(int w, int h, TColor background = clWhite) {
    EnsureGuiApp();
    auto b = std::make_unique<TBitmap>(w, h);
    b->Canvas()->Brush()->SetColor(background);
    b->Canvas()->FillRect(Rect(0, 0, w, h));
    b->Canvas()->Brush()->SetColor(clWhite);
    return b;
}
