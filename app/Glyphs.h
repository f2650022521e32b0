#pragma once
// The pictures on the application's bitmap buttons: small 16 × 16 drawings made with the canvas
// when a window is built, so the program ships no picture files for them.

#include "platform/gui/Buttons.h"

enum class TAppGlyph { New, Edit, Copy, Delete, Print, Settings, Help, About, Exit, Ok, Cancel, Open, Preview };

constexpr int kGlyphSize = 16;

// Draws the picture into bitmap, resized to 16 × 16. The background is one key colour, which
// is also the bottom-left pixel: the button paints it transparent.
void DrawGlyph(TBitmap* bitmap, TAppGlyph glyph);
// Gives button the picture.
void SetButtonGlyph(TBitBtn* button, TAppGlyph glyph);
