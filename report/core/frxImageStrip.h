#pragma once
// Picture strips cut into image lists: the tool-button and object-kind pictures of the
// library's text table (frxRes.h) and of the output windows are drawn as one strip of square
// tiles (frxPictureDrawing.h) and cut here into the lists that buttons and menus draw from.
//
// It stays in the core because the core's own picture table fills itself from strips; it
// touches bitmaps and image lists only, never a window.

class TBitmap;
class TCustomImageList;

// --- cutting ---------------------------------------------------------------------------------
// Cuts a strip into tiles row by row; with disabledImages the tiles alternate image and
// disabled twin, whose white pixels are made light grey. Nothing for a tile size below 1.
void frxSplitImageStrip(
    TBitmap* bitmap, int tileWidth, int tileHeight, TCustomImageList* images, TCustomImageList* disabledImages);
