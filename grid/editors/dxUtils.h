#pragma once
// The grid family's low-level drawing routines: the one cell-text routine through which every
// cell, header, footer and editor text is drawn or measured, and the small helpers that draw
// bitmaps over a brush, dither, draw image-list images and fill shadows.
//
// All work on a device context in pixels (HDC = TCanvas*) and leave its state as they found
// it. A brush or font "handle" is the record the DC selects (TBrushData, TFontData).

#include <cstdint>
#include <string>

#include "platform/gui/Graphics.h"

class TBitmap;
class TCustomImageList;

// --- cell text flags ---------------------------------------------------------------------------
enum : uint16_t {
    dxCellTextLeft = 0x0000,
    dxCellTextCenter = 0x0001,
    dxCellTextRight = 0x0002,
    dxCellTextAlignMask = 0x0003,
    dxCellTextTop = 0x0000,  // single line
    dxCellTextVCenter = 0x0004,  // single line
    dxCellTextBottom = 0x0008,  // single line
    dxCellTextMultiLine = 0x0010,  // word-wrapped from the top
    dxCellTextLayoutMask = 0x001C,
    dxCellTextEndEllipsis = 0x0100,
    dxCellTextPathEllipsis = 0x0200,
    dxCellTextFocusRect = 0x0400,
    dxCellTextFocusOnText = 0x0800,  // around the text itself; none for an empty text
    dxCellTextNoFill = 0x1000,  // no background, text drawn transparently
    dxCellTextPrefix = 0x2000,  // "&" marks a mnemonic; formatted path
    dxCellTextMeasure = 0x4000,  // nothing drawn; the height is answered
    dxCellTextKeepBkMode = 0x8000,
};

// Draws the first length characters of text into textRect, filling fillRect with brush unless
// dxCellTextNoFill (the simple path fills with bkColor as it draws). Alignment is computed on
// the whole text, so a prefix (an incremental-search mark) lands where the whole text does.
// Answers 0, or with dxCellTextMeasure the height fillRect needs for the text (its height
// less textRect's plus the text's), and the line height through lineHeight when given.
int dxDrawCellText(HDC dc, const std::string& text, int length, const TRect& fillRect, const TRect& textRect,
    uint16_t flags, const TBrushData& brush, const TFontData& font, TColor bkColor, TColor textColor,
    int* lineHeight = nullptr);

// The 8x8 50 % checkerboard pattern brush (monochrome: black pixels in the DC's text colour,
// white ones in its background colour); made on first use, alive to the end of the process.
const TBrushData& dxHalftoneBrush();

// The bitmap grows to at least width x height; it never shrinks.
void dxEnsureBitmapSize(TBitmap* bitmap, int width, int height);
// Copies bitmap (from its origin, the size of rect) to rect with every pixel of its
// transparent colour showing brush instead, in one transfer.
void dxDrawBitmapOverBrush(HDC dc, const TBrushData& brush, const TRect& rect, TBitmap* bitmap);
// destRect filled with brush and bitmap put at glyphRect (relative to destRect) transparently,
// copied in one transfer.
void dxDrawGlyphInRect(HDC dc, const TBrushData& brush, const TRect& destRect, TBitmap* bitmap, const TRect& glyphRect);
// Dithers rect with color on the checkerboard's black pixels; the others keep what was there.
void dxDrawHalftoneRect(HDC dc, const TRect& rect, TColor color);
// clNone -> CLR_NONE, clDefault -> CLR_DEFAULT, any other colour its RGB value.
TColor dxImageListColor(TColor color);
// The image at its own size, in the list's drawing style and colours; nothing for a missing
// list or an index out of range.
void dxDrawImage(HDC dc, int x, int y, TCustomImageList* imageList, int index);
// The bottom strip (size high, full width) and the right strip (size wide, full height).
void dxFillShadow(HDC dc, const TRect& rect, int size, const TBrushData& brush);
