#pragma once
// Cursors drawn by the program itself, put into the screen's cursor table without Qt types.

#include "platform/gui/Graphics.h"

class TBitmap;

// Fills screen cursor slot index with the picture: its pixels of the bitmap's transparent
// colour are see-through, hotSpot is the pointer's point in the picture.
void SetScreenCursor(int index, TBitmap* picture, TPoint hotSpot);
