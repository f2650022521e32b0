#pragma once
// Drawing bitmaps and graphics onto any canvas (screen, printer, export) the same way, so
// that a picture object looks alike wherever it is output.
//
// Units are the canvas's own pixels; nothing here scales.

class TBitmap;
class TCanvas;
class TGraphic;
struct TRect;

// --- bitmaps ---------------------------------------------------------------------------------
// Draws the bitmap at (x, y) with its transparent colour left out.
void frxDrawTransparent(TCanvas* canvas, int x, int y, TBitmap* bitmap);
// Stretches the bitmap into r without smoothing (what printers and exports need).
void frxDrawBitmap(TCanvas* canvas, const TRect& r, TBitmap* bitmap);

// --- any graphic -----------------------------------------------------------------------------
// A metafile is stretched into r; any other graphic goes through a 32-bit bitmap of its size.
void frxDrawGraphic(TCanvas* canvas, const TRect& r, TGraphic* graphic);
