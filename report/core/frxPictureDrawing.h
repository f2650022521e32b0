#pragma once
// The small flat shapes the library's tool and object pictures are drawn from, and the strip
// of square tiles that holds them. Pictures stand on a fuchsia ground, the strip's
// transparent colour.

#include <functional>
#include <vector>

#include "platform/gui/Graphics.h"

class TBitmap;
class TCanvas;

namespace frxPictures {

constexpr TColor kGround = clFuchsia;
using Painter = std::function<void(TCanvas* c, int x, int y)>;

void Box(TCanvas* c, int l, int t, int r, int b, TColor fill, TColor line = clBlack);
void Line(TCanvas* c, int x1, int y1, int x2, int y2, TColor color = clBlack, int width = 1);
void Poly(TCanvas* c, std::vector<TPoint> pts, TColor fill, TColor line = clBlack);
// A sheet of paper between columns l and r of the tile, with a few lines of text.
void Sheet(TCanvas* c, int x, int y, int l = 3, int r = 13);
// A magnifying glass; s moves the glass (not the handle's end) towards the lower right.
void Lens(TCanvas* c, int x, int y, int s = 0);

// One tile a picture; with twins each picture is followed by its disabled twin, the same
// drawing in light greys (white and the ground stay).
TBitmap* MakeStrip(int tile, const std::vector<Painter>& pictures, bool twins);

}  // namespace frxPictures
