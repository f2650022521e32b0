#pragma once
// Design data of a font for writers that describe or embed it (the PDF export): the same face,
// after the same Windows-name mapping, that the text services measure and draw with.
//
// Every metric is in thousandths of the em, as a font description wants it. Widths are those of
// the face itself: a character the face lacks gets the width of its missing-glyph box (the
// text services would draw it from their fallback face, which an embedded program cannot).

#include <cstdint>
#include <string>

#include "platform/gui/Graphics.h"

struct TFontDesignData {
    std::string FamilyName;  // the installed family, e.g. "Liberation Sans"
    bool TrueType = false;  // outlines in TrueType form: the program can be embedded as such
    // The charset the face realises for a requested one: Central European (238) whenever the
    // face covers code page 1250, which all text of this program is written in; else ANSI (0).
    TFontCharset Charset = ANSI_CHARSET;
    int CodePage = 1252;  // of Charset
    int FirstChar = 32, LastChar = 255;  // 8-bit codes described
    int Weight = 400;  // 700 when bold is requested of a face that has none
    int Ascent = 0, Descent = 0;  // typographic; Descent is negative
    int Height = 0;  // Windows ascent + descent (a cell height as GDI reports it)
    int BoxLeft = 0, BoxBottom = 0, BoxRight = 0, BoxTop = 0;
    double ItalicAngle = 0;  // degrees, counter-clockwise from vertical (negative leans right)
};

// Raise EInvalidOperation without a GUI application (no font database).
TFontDesignData GetFontDesignData(const TFontData& font);
// Advance of the glyph for c in thousandths of the em, rounded.
int GetFontDesignWidth(const TFontData& font, char32_t c);
// The TrueType program of the face, rebuilt from its tables as one sfnt file (a face inside a
// collection comes out as a file of its own); empty when the face has no TrueType outlines.
std::string GetFontProgram(const TFontData& font);
