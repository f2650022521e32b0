#pragma once
// Text services for the report library's text engine, over raw fonts.
//
// A canvas's Font (name, pixel height, style, escapement, colour) is realised as a raw font at
// exactly that pixel size: hinting and kerning off, one glyph per character from the font's
// character map, and each advance the glyph's design advance rounded to a whole pixel. So the
// extent after each character is the sum of the integer advances before it, at any size, on
// any machine. Output places every glyph at the advances the caller gives, turned by the
// font's escapement around the cell's top-left corner, in the font colour, without
// background, optionally clipped. A height is an em height in pixels (negative as GDI's, or
// positive; both mean the em size here).
//
// Realised fonts are kept in a cache of bounded size (least recently used go first), so a
// preview zoomed through many scales does not keep a font per scale.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/gui/Graphics.h"

// The extent after each character of text in the canvas's font (extents.size() == text.size()).
void GetTextExtents(TCanvas* canvas, std::u32string_view text, std::vector<int>& extents);
// The whole extent of text in the canvas's font.
int GetTextWidth(TCanvas* canvas, std::u32string_view text);
// The font's ascent as GDI reports it (the OS/2 Windows ascent at the pixel size).
int GetTextAscent(TCanvas* canvas);

// Draws text with its top-left cell corner at (x, y), glyph i at the sum of advances[0..i-1]
// along the baseline. options: ETO_CLIPPED clips to clip (device coordinates, unturned);
// ETO_RTLREADING is accepted and changes nothing, since the advances say where each glyph
// goes. A recording (metafile) canvas records the call as ExtTextOut.
void TextOutAdvances(
    TCanvas* canvas, int x, int y, uint32_t options, const TRect& clip, std::u32string_view text, const int* advances);

// Device resolution: 96 for screens, bitmaps and previews; the printer canvas's own.
int DeviceResolutionX(TCanvas* canvas);
int DeviceResolutionY(TCanvas* canvas);

// The realised-font cache: how many fonts it keeps (at least 1; 32 by default) and holds.
void SetTextFontCacheLimit(size_t limit);
size_t TextFontCacheLimit();
size_t TextFontCacheCount();
