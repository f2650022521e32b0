// 3-D edges, frame controls and the focus rectangle, in the fixed system colours, pixel for
// pixel; never through the Qt style, so that they look the same everywhere.

#include <algorithm>

#include "platform/gui/GraphicsPrivate.h"

namespace {
void Fill(HDC dc, int l, int t, int r, int b, TColor c) {
    if (r > l && b > t) FillRect(dc, TRect{l, t, r, b}, c);
}

// One ring one pixel wide: the top and left sides in `tl`, bottom and right in `br`; the
// dark colour owns the bottom-left and top-right corner pixels.
void Ring(HDC dc, const TRect& r, uint32_t sides, TColor tl, TColor br) {
    if (sides & BF_TOP) Fill(dc, r.Left, r.Top, r.Right - 1, r.Top + 1, tl);
    if (sides & BF_LEFT) Fill(dc, r.Left, r.Top, r.Left + 1, r.Bottom - 1, tl);
    if (sides & BF_BOTTOM) Fill(dc, r.Left, r.Bottom - 1, r.Right, r.Bottom, br);
    if (sides & BF_RIGHT) Fill(dc, r.Right - 1, r.Top, r.Right, r.Bottom, br);
}

void Shrink(TRect& r, uint32_t sides) {
    if (sides & BF_LEFT) ++r.Left;
    if (sides & BF_TOP) ++r.Top;
    if (sides & BF_RIGHT) --r.Right;
    if (sides & BF_BOTTOM) --r.Bottom;
}
}  // namespace

bool DrawEdge(HDC dc, TRect& rect, uint32_t edge, uint32_t flags) {
    TRect r = rect;
    uint32_t sides = flags & BF_RECT;
    uint32_t outer = edge & BDR_OUTER, inner = edge & BDR_INNER;
    TColor oTL = 0, oBR = 0, iTL = 0, iBR = 0;
    if (flags & BF_MONO) {
        oTL = oBR = clWindowFrame;
        iTL = iBR = clWindow;
    } else if (flags & BF_FLAT) {
        oTL = oBR = clBtnShadow;
        iTL = iBR = clBtnFace;
    } else {
        if (outer & BDR_RAISEDOUTER) {
            oTL = cl3DLight;
            oBR = cl3DDkShadow;
        } else if (outer & BDR_SUNKENOUTER) {
            oTL = clBtnShadow;
            oBR = clBtnHighlight;
        }
        if (inner & BDR_RAISEDINNER) {
            iTL = clBtnHighlight;
            iBR = clBtnShadow;
        } else if (inner & BDR_SUNKENINNER) {
            iTL = cl3DDkShadow;
            iBR = cl3DLight;
        }
    }
    if (outer) {
        Ring(dc, r, sides, oTL, oBR);
        Shrink(r, sides);
    }
    if (inner) {
        Ring(dc, r, sides, iTL, iBR);
        Shrink(r, sides);
    }
    if (flags & BF_MIDDLE) Fill(dc, r.Left, r.Top, r.Right, r.Bottom, (flags & BF_MONO) ? clWindow : clBtnFace);
    if (flags & BF_ADJUST) rect = r;
    return true;
}

namespace {
// The classic 7x7 check mark, one string a row.
const char* const kCheck[7] = {"......#", ".....##", "#...###", "##.###.", "#####..", ".###...", "..#...."};

void Arrow(HDC dc, const TRect& r, uint32_t kind, TColor color) {
    int size = std::min(r.Width(), r.Height());
    int aw = std::max(1, ((size - 3) / 2) | 1);
    int ah = (aw + 1) / 2;
    bool horizontal = kind == DFCS_SCROLLLEFT || kind == DFCS_SCROLLRIGHT;
    int cx = r.Left + (r.Width() - (horizontal ? ah : aw)) / 2;
    int cy = r.Top + (r.Height() - (horizontal ? aw : ah)) / 2;
    for (int i = 0; i < ah; ++i) {
        int len = aw - 2 * i;
        switch (kind) {
        case DFCS_SCROLLUP: Fill(dc, cx + i, cy + ah - 1 - i, cx + i + len, cy + ah - i, color); break;
        case DFCS_SCROLLLEFT: Fill(dc, cx + ah - 1 - i, cy + i, cx + ah - i, cy + i + len, color); break;
        case DFCS_SCROLLRIGHT: Fill(dc, cx + i, cy + i, cx + i + 1, cy + i + len, color); break;
        default: Fill(dc, cx + i, cy + i, cx + i + len, cy + i + 1, color); break;  // down, combo box
        }
    }
}

void Button(HDC dc, TRect& r, uint32_t state) {
    if (state & DFCS_FLAT) {
        FrameRect(dc, r, GetSysColorBrush(COLOR_BTNSHADOW));
        InflateRect(r, -1, -1);
    } else if (state & DFCS_PUSHED) {
        FrameRect(dc, r, GetSysColorBrush(COLOR_WINDOWFRAME));
        InflateRect(r, -1, -1);
        FrameRect(dc, r, GetSysColorBrush(COLOR_BTNSHADOW));
        InflateRect(r, -1, -1);
    } else {
        DrawEdge(dc, r, EDGE_RAISED, BF_RECT | BF_ADJUST);
    }
    Fill(dc, r.Left, r.Top, r.Right, r.Bottom, clBtnFace);
}
}  // namespace

bool DrawFrameControl(HDC dc, TRect& rect, uint32_t type, uint32_t state) {
    uint32_t kind = state & 0xFF;
    TRect r = rect;
    if (type == DFC_BUTTON && (kind & DFCS_BUTTONPUSH)) {
        Button(dc, r, state);
        if (state & DFCS_ADJUSTRECT) rect = r;
        return true;
    }
    if (type == DFC_BUTTON) {
        // Check boxes (and radio buttons, drawn square here) are 13x13, centred.
        int x = rect.Left + (rect.Width() - 13) / 2, y = rect.Top + (rect.Height() - 13) / 2;
        TRect box = Bounds(x, y, 13, 13);
        bool third = (kind & DFCS_BUTTON3STATE) && (state & DFCS_CHECKED);
        TColor face = (state & (DFCS_INACTIVE | DFCS_PUSHED)) || third ? clBtnFace : clWindow;
        if (state & (DFCS_FLAT | DFCS_MONO)) {
            FrameRect(dc, box, GetSysColorBrush((state & DFCS_MONO) ? COLOR_WINDOWFRAME : COLOR_BTNSHADOW));
            InflateRect(box, -1, -1);
        } else {
            DrawEdge(dc, box, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
        }
        Fill(dc, box.Left, box.Top, box.Right, box.Bottom, face);
        if (state & DFCS_CHECKED) {
            TColor mark = (state & DFCS_INACTIVE) || third ? clGrayText : clWindowText;
            int mx = x + 3, my = y + 3;
            for (int row = 0; row < 7; ++row)
                for (int col = 0; col < 7; ++col)
                    if (kCheck[row][col] == '#') Fill(dc, mx + col, my + row, mx + col + 1, my + row + 1, mark);
        }
        return true;
    }
    if (type == DFC_SCROLL) {
        if (kind == DFCS_SCROLLSIZEGRIP) {
            Fill(dc, r.Left, r.Top, r.Right, r.Bottom, clBtnFace);
            // Three pairs of diagonal strokes in the bottom-right corner.
            int size = std::min(r.Width(), r.Height());
            for (int k = 0; k + 4 <= size && k < 12; k += 4) {
                for (int i = 0; i < size - k; ++i) {
                    int px = r.Right - 1 - i, py = r.Bottom - (size - k) + i;
                    Fill(dc, px, py, px + 1, py + 1, clBtnHighlight);
                    if (px - 1 >= r.Left) Fill(dc, px - 1 + 0, py + 1, px + 0, py + 2, clBtnShadow);
                    if (px - 2 >= r.Left) Fill(dc, px - 1, py + 2, px, py + 3, clBtnShadow);
                }
            }
            return true;
        }
        Button(dc, r, state);
        if (state & DFCS_PUSHED) OffsetRect(r, 1, 1);
        TColor arrow = (state & DFCS_INACTIVE) ? clGrayText : clBtnText;
        Arrow(dc, r, kind == DFCS_SCROLLCOMBOBOX ? DFCS_SCROLLDOWN : kind, arrow);
        return true;
    }
    // Captions and menu glyphs: the button face only.
    Button(dc, r, state);
    return true;
}

bool DrawFocusRect(HDC dc, const TRect& r) {
    QRect d = ToQRect(dc->LPtoDP(r)).normalized();
    if (d.width() <= 0 || d.height() <= 0) return true;
    QPainter* p = CanvasPaint::Begin(dc);
    if (!p) return true;
    const auto& s = dc->State();
    // XOR with the checkerboard pattern brush: pixels on even (x + y) take the text colour,
    // the others the background colour. With white text on black it inverts every other pixel.
    QPolygon even, odd;
    auto add = [&](int x, int y) { (((x + y - s.brushOrg.X - s.brushOrg.Y) & 1) ? odd : even) << QPoint(x, y); };
    for (int x = d.left(); x <= d.right(); ++x) {
        add(x, d.top());
        if (d.bottom() != d.top()) add(x, d.bottom());
    }
    for (int y = d.top() + 1; y < d.bottom(); ++y) {
        add(d.left(), y);
        if (d.right() != d.left()) add(d.right(), y);
    }
    p->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    p->setPen(QPen(RgbToQ(s.textColor), 1));
    p->drawPoints(even);
    p->setPen(QPen(RgbToQ(s.bkColor), 1));
    p->drawPoints(odd);
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    return true;
}
