#pragma once
// The preview window's pictures and the report library's three tool cursors, drawn here.

class TBitmap;

// The strip of the 22 tool-button pictures, 16 x 16 each, on a fuchsia (transparent) ground.
TBitmap* frxMakePreviewStrip();
// Puts the hand, zoom and format cursors into screen slots 50, 51 and 52 (once).
void frxLoadPreviewCursors();
