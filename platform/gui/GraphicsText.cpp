// Text output and measurement: ExtTextOut, DrawText and the extent functions.

#include <QtGui/QTransform>

#include <algorithm>
#include <cmath>

#include "platform/gui/GraphicsPrivate.h"

namespace {
// Device x offsets of each character from the start, and the total, for explicit advances
// (scaled with the viewport) or the font's own.
std::vector<int> Offsets(HDC dc, TFontFace& face, const std::u32string& text, const std::vector<int>* dx, int& total) {
    std::vector<int> off(text.size());
    const auto& s = dc->State();
    double acc = 0;
    int pos = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        off[i] = pos;
        if (dx && i < dx->size()) {
            acc += (*dx)[i] * s.scaleX;
            pos = int(std::lround(acc));
        } else {
            pos += face.Advance(text[i]);
            acc = pos;
        }
    }
    total = pos;
    return off;
}

void DrawRuns(QPainter* p, TFontFace& face, const std::u32string& text, const std::vector<int>& off, QPointF origin) {
    size_t i = 0;
    while (i < text.size()) {
        int fi = face.GlyphOf(text[i]).face;
        QList<quint32> idx;
        QList<QPointF> pos;
        size_t j = i;
        for (; j < text.size(); ++j) {
            const auto& g = face.GlyphOf(text[j]);
            if (g.face != fi) break;
            idx << g.index;
            pos << QPointF(off[j], 0);
        }
        QGlyphRun run;
        run.setRawFont(face.Raw(fi));
        run.setGlyphIndexes(idx);
        run.setPositions(pos);
        run.setUnderline(face.Underline());
        run.setStrikeOut(face.StrikeOut());
        p->drawGlyphRun(origin, run);
        i = j;
    }
}
}  // namespace

bool ExtTextOut(
    HDC dc, int x, int y, uint32_t options, const TRect* r, const std::string& utf8, const std::vector<int>* dx) {
    std::u32string text = ToU32(utf8);
    auto& s = dc->State();
    TFontFace& face = FaceFor(s.font, s.scaleY);
    int width = 0;
    std::vector<int> off = Offsets(dc, face, text, dx, width);
    // The text alignment moves the reference point to the cell's top-left corner (device
    // units, along the text's own axes when it is turned).
    const uint32_t align = s.textAlign;
    if (align & TA_UPDATECP) {
        x = s.penPos.X;
        y = s.penPos.Y;
    }
    const uint32_t horz = align & TA_CENTER, vert = align & TA_BASELINE;
    const int shiftX = horz == TA_CENTER ? width / 2 : horz == TA_RIGHT ? width : 0;
    const int shiftY = vert == TA_BASELINE ? face.Ascent() : vert == TA_BOTTOM ? face.Height() : 0;
    if (align & TA_UPDATECP) {
        const int logicalWidth = int(std::lround(width / s.scaleX));
        if (horz == TA_RIGHT) s.penPos.X = x - logicalWidth;
        else if (horz != TA_CENTER) s.penPos.X = x + logicalWidth;
    }
    TPoint d = dc->LPtoDP(TPoint{x, y});
    if (s.font.Orientation == 0) {
        d.X -= shiftX;
        d.Y -= shiftY;
        // Recorded as the top-left point it resolved to, so that a replay places it the same.
        x -= int(std::lround(shiftX / s.scaleX));
        y -= int(std::lround(shiftY / s.scaleY));
    }
    QRect cell(d.X, d.Y, width, face.Height());
    QRect rect = r ? ToQRect(dc->LPtoDP(*r)).normalized() : QRect();
    if (TMetaRecorder* rec = dc->Recorder()) {
        TMetaRecordData m;
        m.type = EMR_EXTTEXTOUTW;
        m.args = {x, y, int(options), r ? 1 : 0};
        if (r) m.args.insert(m.args.end(), {r->Left, r->Top, r->Right, r->Bottom});
        m.text = text;
        if (dx) m.dx = *dx;
        QRect b = cell;
        if (s.font.Orientation != 0) {
            // A turned run is bounded by its turned cell, as it is painted below.
            QTransform t;
            t.translate(d.X, d.Y);
            t.rotate(-s.font.Orientation / 10.0);
            t.translate(-shiftX, -shiftY);
            b = t.mapRect(QRect(0, 0, width, face.Height()));
        }
        if (r && (options & ETO_CLIPPED)) b = b.intersected(rect);
        if (r && (options & ETO_OPAQUE)) b = b.united(rect);
        m.bounds = FromQRect(b);
        rec->Add(dc, std::move(m));
    }
    QPainter* p = CanvasPaint::Begin(dc);
    if (!p) return true;
    bool clipped = r && (options & ETO_CLIPPED);
    if (clipped) CanvasPaint::ClipFurther(dc, rect);
    QColor bk = RgbToQ(s.bkColor);
    if (r && (options & ETO_OPAQUE)) p->fillRect(rect, bk);
    if (s.font.Orientation == 0) {
        if (s.bkMode == OPAQUE && !text.empty()) p->fillRect(cell, bk);
        p->setPen(RgbToQ(s.textColor));
        DrawRuns(p, face, text, off, QPointF(d.X, d.Y + face.Ascent()));
    } else {
        // Escapement turns the cell around the reference point, counter-clockwise.
        p->save();
        p->translate(d.X, d.Y);
        p->rotate(-s.font.Orientation / 10.0);
        p->translate(-shiftX, -shiftY);
        if (s.bkMode == OPAQUE && !text.empty()) p->fillRect(QRect(0, 0, width, face.Height()), bk);
        p->setPen(RgbToQ(s.textColor));
        DrawRuns(p, face, text, off, QPointF(0, face.Ascent()));
        p->restore();
    }
    return true;
}

bool TextOut(HDC dc, int x, int y, const std::string& text) { return ExtTextOut(dc, x, y, 0, nullptr, text); }

bool GetTextExtentPoint32(HDC dc, const std::string& text, TSize& size) {
    TFontFace& face = FaceFor(dc->State().font);
    int w = 0;
    for (char32_t c : ToU32(text)) w += face.Advance(c);
    size = {w, face.Height()};
    return true;
}

bool GetTextExtentExPoint(
    HDC dc, const std::string& text, int maxExtent, int* fit, std::vector<int>* extents, TSize& size) {
    TFontFace& face = FaceFor(dc->State().font);
    std::u32string t = ToU32(text);
    int w = 0, n = 0;
    if (extents) extents->clear();
    for (char32_t c : t) {
        w += face.Advance(c);
        if (maxExtent < 0 || w <= maxExtent) ++n;
        if (extents) extents->push_back(w);
    }
    if (fit) *fit = n;
    size = {w, face.Height()};
    return true;
}

bool GetTextMetrics(HDC dc, TTextMetric& tm) {
    tm = FaceFor(dc->State().font).Metric();
    return true;
}

bool GetCharWidth32(HDC dc, char32_t first, char32_t last, std::vector<int>& widths) {
    TFontFace& face = FaceFor(dc->State().font);
    widths.clear();
    for (char32_t c = first; c <= last; ++c) widths.push_back(face.Advance(c));
    return true;
}

// --- DrawText ------------------------------------------------------------------------------

namespace {
struct TLine {
    std::u32string text;
    std::vector<bool> mark;  // the prefixed (underlined) character
};

bool IsBlank(char32_t c) { return c == ' ' || c == '\t'; }

struct TLayout {
    TFontFace& face;
    uint32_t format;
    int tabWidth;

    // Width of a line and each character's offset; tabs jump to the next stop when expanded.
    int Measure(const std::u32string& t, std::vector<int>* offs = nullptr, std::vector<int>* adv = nullptr) const {
        int x = 0;
        if (offs) offs->clear();
        if (adv) adv->clear();
        for (char32_t c : t) {
            if (offs) offs->push_back(x);
            int a;
            if (c == '\t' && (format & DT_EXPANDTABS) && tabWidth > 0) a = tabWidth - x % tabWidth;
            else a = face.Advance(c);
            if (adv) adv->push_back(a);
            x += a;
        }
        return x;
    }
};

void SkipBlanks(const TLine& para, size_t& pos) {
    while (pos < para.text.size() && IsBlank(para.text[pos])) ++pos;
}
TLine Slice(const TLine& l, size_t from, size_t to) {
    TLine r;
    r.text = l.text.substr(from, to - from);
    r.mark.assign(l.mark.begin() + long(from), l.mark.begin() + long(to));
    return r;
}

// Breaks only at blanks and line ends; a word longer than the line stays whole.
void WrapParagraph(const TLayout& lay, const TLine& para, int width, std::vector<TLine>& out) {
    size_t n = para.text.size(), pos = 0;
    if (n == 0) {
        out.push_back(para);
        return;
    }
    while (pos < n) {
        int w = 0;
        size_t i = pos, lastBreak = SIZE_MAX;
        bool tabs = (lay.format & DT_EXPANDTABS) && lay.tabWidth > 0;
        for (; i < n; ++i) {
            char32_t c = para.text[i];
            int a = (c == '\t' && tabs) ? lay.tabWidth - w % lay.tabWidth : lay.face.Advance(c);
            if (IsBlank(c)) {
                // Break before the whole run of blanks; they vanish at the line end.
                if (i > pos && !IsBlank(para.text[i - 1])) lastBreak = i;
            } else if (w + a > width && i > pos) {
                break;
            }
            w += a;
        }
        if (i >= n) {
            out.push_back(Slice(para, pos, n));
            break;
        }
        if (lastBreak != SIZE_MAX) {
            out.push_back(Slice(para, pos, lastBreak));
            pos = lastBreak;
        } else {
            size_t j = i;
            while (j < n && !IsBlank(para.text[j])) ++j;
            out.push_back(Slice(para, pos, j));
            pos = j;
        }
        SkipBlanks(para, pos);
    }
}

const std::u32string kEllipsis = U"...";

// Shortens a line to fit `width`: at the end, or in the middle keeping the part after the last
// path separator.
void Ellipsize(const TLayout& lay, TLine& line, int width, bool path) {
    if (lay.Measure(line.text) <= width) return;
    int ell = lay.Measure(kEllipsis);
    std::u32string head = line.text, tail;
    if (path) {
        size_t sep = line.text.find_last_of(U"\\/");
        size_t cut = sep != std::u32string::npos ? sep : line.text.size() / 2;
        head = line.text.substr(0, cut);
        tail = line.text.substr(cut);
    }
    while (!head.empty() && lay.Measure(head) + ell + lay.Measure(tail) > width) head.pop_back();
    while (head.empty() && !tail.empty() && ell + lay.Measure(tail) > width) tail.erase(tail.begin());
    line.text = head + kEllipsis + tail;
    line.mark.assign(line.text.size(), false);
}
}  // namespace

int DrawText(HDC dc, const std::string& utf8, int count, TRect& r, uint32_t format) {
    std::u32string all = ToU32(utf8);
    if (count >= 0 && size_t(count) < all.size()) all.resize(size_t(count));
    auto& s = dc->State();
    TFontFace& face = FaceFor(s.font);
    const TTextMetric& tm = face.Metric();
    int tabChars = (format & DT_TABSTOP) ? int((format >> 8) & 0xFF) : 8;
    if (tabChars == 0) tabChars = 8;
    TLayout lay{face, format, tabChars * tm.tmAveCharWidth};

    // Mnemonic prefixes: "&&" is an ampersand, "&x" underlines x.
    TLine whole;
    for (size_t i = 0; i < all.size(); ++i) {
        char32_t c = all[i];
        if (c == '&' && !(format & DT_NOPREFIX)) {
            if (i + 1 >= all.size()) break;
            ++i;
            whole.text.push_back(all[i]);
            whole.mark.push_back(all[i] != '&' && !(format & DT_HIDEPREFIX));
            continue;
        }
        whole.text.push_back(c);
        whole.mark.push_back(false);
    }

    int width = r.Right - r.Left;
    std::vector<TLine> lines;
    if (format & DT_SINGLELINE) {
        lines.push_back(whole);
    } else {
        size_t start = 0;
        for (size_t i = 0; i <= whole.text.size(); ++i) {
            bool end = i == whole.text.size();
            char32_t c = end ? 0 : whole.text[i];
            if (!end && c != '\r' && c != '\n') continue;
            TLine para = Slice(whole, start, i);
            if (format & DT_WORDBREAK) WrapParagraph(lay, para, width, lines);
            else lines.push_back(para);
            if (!end && c == '\r' && i + 1 < whole.text.size() && whole.text[i + 1] == '\n') ++i;
            start = i + 1;
        }
    }
    if (format & (DT_END_ELLIPSIS | DT_PATH_ELLIPSIS | DT_WORD_ELLIPSIS))
        for (TLine& l : lines) Ellipsize(lay, l, width, (format & DT_PATH_ELLIPSIS) != 0);

    int lineHeight = tm.tmHeight + ((format & DT_EXTERNALLEADING) ? tm.tmExternalLeading : 0);
    int total = lineHeight * int(lines.size());
    int y = r.Top;
    if (format & DT_SINGLELINE) {
        if (format & DT_VCENTER) y = (r.Top + r.Bottom - lineHeight) / 2;
        else if (format & DT_BOTTOM) y = r.Bottom - lineHeight;
    }
    if (format & DT_CALCRECT) {
        int maxW = 0;
        for (const TLine& l : lines) maxW = std::max(maxW, lay.Measure(l.text));
        r.Right = r.Left + maxW;
        r.Bottom = r.Top + total;
        return total;
    }
    uint32_t eto = (format & DT_NOCLIP) ? 0u : uint32_t(ETO_CLIPPED);
    for (const TLine& l : lines) {
        std::vector<int> offs, adv;
        int w = lay.Measure(l.text, &offs, &adv);
        int x = r.Left;
        if (format & DT_CENTER) x = (r.Left + r.Right - w) / 2;
        else if (format & DT_RIGHT) x = r.Right - w;
        bool hasTab = l.text.find(U'\t') != std::u32string::npos;
        if (!(format & DT_PREFIXONLY)) {
            if (hasTab && (format & DT_EXPANDTABS)) {
                std::u32string shown = l.text;
                std::replace(shown.begin(), shown.end(), U'\t', U' ');
                ExtTextOut(dc, x, y, eto, &r, FromU32(shown), &adv);
            } else {
                ExtTextOut(dc, x, y, eto, &r, FromU32(l.text));
            }
        }
        for (size_t i = 0; i < l.mark.size(); ++i) {
            if (!l.mark[i]) continue;
            // The mnemonic underline: one pixel under the baseline, the character's width.
            int uy = y + tm.tmAscent + 1;
            TBrushData b;
            b.Color = s.textColor;
            TRect ur{x + offs[i], uy, x + offs[i] + adv[i], uy + 1};
            if (!(format & DT_NOCLIP)) IntersectRect(ur, ur, r);
            if (!IsRectEmpty(ur)) FillRect(dc, ur, b);
        }
        y += lineHeight;
    }
    if (format & DT_SINGLELINE && (format & (DT_VCENTER | DT_BOTTOM))) return y - r.Top;
    return total;
}

// --- canvas text methods -------------------------------------------------------------------

void TCanvas::TextOut(int x, int y, const std::string& text) {
    Changing();
    RequiredState(true, false, true);
    ExtTextOut(this, x, y, 0, nullptr, text);
    TSize sz;
    GetTextExtentPoint32(this, text, sz);
    MoveToEx(this, x + sz.cx, y);
    Changed();
}

void TCanvas::TextRect(const TRect& r, int x, int y, const std::string& text) {
    Changing();
    RequiredState(true, false, true);
    uint32_t options = ETO_CLIPPED;
    if (FBrush->GetStyle() != bsClear) options |= ETO_OPAQUE;
    ExtTextOut(this, x, y, options, &r, text);
    Changed();
}

TSize TCanvas::TextExtent(const std::string& text) {
    RequiredState(true, false, false);
    TSize s;
    GetTextExtentPoint32(this, text, s);
    return s;
}
