// Text layout: measuring at 600 dpi, breaking paragraphs, hyphenation, painting with device
// advances corrected to the measured line ends, and splitting at a box's height.

#include "report/core/frxDrawText.h"

#include <cmath>
#include <cstdlib>

#include "platform/classes/StringList.h"
#include "platform/gui/Application.h"
#include "platform/gui/TextServices.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/Strings.h"
#include "platform/rtl/SysUtils.h"
#include "report/core/frxPrinter.h"

KAROMIL_IMPLEMENT_CLASS(TfrxDrawText, TObject)

namespace {
constexpr double kPi = 3.14159265358979323846;
int R(double v) { return int(Round(v)); }
int Sign(int v) { return v < 0 ? -1 : 1; }

// --- hyphenation classes ---------------------------------------------------------------------
// The rules were written for the capital letters of the Cyrillic code page (1251); they are
// kept for those letters, and Czech and other Latin letters are classed the same way (vowels
// A E I O U Y with their accented forms, every other letter a consonant), so Czech words
// break sensibly too.
enum Kind { Other, Vowel, Consonant };
constexpr char32_t kHardSign = 0x042A, kSoftSign = 0x042C, kShortI = 0x0419;

char32_t Upper(char32_t c) {
    if (c >= 0x0430 && c <= 0x044F) return c - 0x20;
    if (c == 0x0451) return 0x0401;
    return CharUpper(c);
}

Kind KindOf(char32_t u) {
    switch (u) {
    case 0x0410:
    case 0x0415:
    case 0x0401:
    case 0x0418:
    case 0x041E:
    case 0x0423:
    case 0x042B:
    case 0x042D:
    case 0x042E:
    case 0x042F: return Vowel;
    default: break;
    }
    if (u >= 0x0410 && u <= 0x042F) return Consonant;
    static const std::u32string vowels = U"AEIOUYÁÉĚÍÓÚŮÝÄËÏÖÜÀÈÌÒÙÂÊÎÔÛŐŰ";
    if (vowels.find(u) != std::u32string::npos) return Vowel;
    if (IsCharAlpha(u)) return Consonant;
    return Other;
}

// Break positions of an upper-cased word: counts of characters before a possible break.
std::vector<int> BreakPositions(const std::u32string& u) {
    std::vector<int> result;
    const int n = int(u.size());
    if (n <= 3) return result;
    std::vector<int> vowelsUpTo(size_t(n) + 1, 0);  // vowels among the first k characters
    for (int k = 0; k < n; ++k) vowelsUpTo[size_t(k) + 1] = vowelsUpTo[size_t(k)] + (KindOf(u[size_t(k)]) == Vowel);
    for (int p = 1; p < n && p <= 254; ++p) {
        const char32_t c = u[size_t(p) - 1], next = u[size_t(p)];
        bool candidate = false;
        if (KindOf(c) == Consonant) candidate = KindOf(next) != Vowel && next != kHardSign && next != kSoftSign;
        else if (KindOf(c) == Vowel) {
            candidate = next != kShortI;
            if (candidate && p + 2 < n && KindOf(next) == Consonant && u[size_t(p) + 1] == next &&
                KindOf(u[size_t(p) + 2]) == Vowel)
                candidate = false;
        }
        if (!candidate) continue;
        if (p < 2 || n - p < 2) continue;
        if (vowelsUpTo[size_t(p)] == 0 || vowelsUpTo[size_t(n)] - vowelsUpTo[size_t(p)] == 0) continue;
        result.push_back(p);
    }
    return result;
}
}  // namespace

TfrxDrawText::TfrxDrawText() : FMeasureCanvas(std::make_unique<TCanvas>()) { FNoTag.SameAsPrevious = true; }

TfrxDrawText::~TfrxDrawText() = default;

void TfrxDrawText::Lock() {
    // A second caller can only come from code run inside the message pump while the holder
    // waits there, so handling messages lets the holder finish.
    while (FBusy) Application->HandleMessage();
    FBusy = true;
}

bool TfrxDrawText::IsPrinterCanvas(TCanvas* canvas) { return dynamic_cast<TfrxPrinterCanvas*>(canvas) != nullptr; }

void TfrxDrawText::SetFont(TFont* font) {
    FFontSizePt = font->GetSize();
    TFont* m = FMeasureCanvas->Font();
    if (m->GetName() != font->GetName()) m->SetName(font->GetName());
    const int height = -R(FFontSizePt * double(MeasureResolution) / 72);
    if (m->GetHeight() != height) m->SetHeight(height);
    if (m->GetStyle() != font->GetStyle()) m->SetStyle(font->GetStyle());
    if (m->GetCharset() != font->GetCharset()) m->SetCharset(font->GetCharset());
    if (m->GetColor() != font->GetColor()) m->SetColor(font->GetColor());
}

void TfrxDrawText::SetOptions(
    bool wordWrap, bool htmlTags, int rotation, bool clipped, bool wordBreak, bool rtlReading) {
    FWordWrap = wordWrap;
    FWordBreak = wordBreak;
    FRTL = rtlReading;
    FTags.TagsEnabled = htmlTags;
    FOutputOptions = (rtlReading ? uint32_t(ETO_RTLREADING) : 0u) | (clipped ? uint32_t(ETO_CLIPPED) : 0u);
    // Negative angles fall in no row of the placement table: -90 turns as 270 does.
    FRotation = ((rotation % 360) + 360) % 360;
}

void TfrxDrawText::SetGaps(double paragraphGap, double charSpacing, double lineSpacing) {
    FParagraphGap = paragraphGap;
    FCharSpacing = charSpacing;
    FLineSpacing = lineSpacing;
}

void TfrxDrawText::SetArea(const TRect& layoutRect, const TRect& outputRect, double scaleX, double scaleY) {
    FLayoutArea = layoutRect;
    FOutputArea = outputRect;
    FScaleX = scaleX;
    FScaleY = scaleY;
}

int TfrxDrawText::MeasureHeight() const { return std::abs(FMeasureCanvas->Font()->GetHeight()); }

TfrxHTMLTag& TfrxDrawText::TagAt(int line, int index) {
    if (line >= 0 && line < FTags.Count()) {
        TfrxHTMLTags& tags = FTags.Line(line);
        if (index >= 0 && size_t(index) < tags.size()) return tags[size_t(index)];
    }
    FNoTag = TfrxHTMLTag();
    FNoTag.SameAsPrevious = true;
    return FNoTag;
}

// --- measuring -------------------------------------------------------------------------------

int TfrxDrawText::Measure(
    const std::u32string& text, int tagLine, int spacing, TCanvas* canvas, bool cumulative, std::vector<int>& out) {
    const int m = int(text.size());
    // Sound: sized per line; fixed arrays of 4096 entries overflowed on longer paragraphs.
    out.resize(size_t(m));
    TFont* font = canvas->Font();
    int width = 0, p = 0;
    while (p < m) {
        if (!TagAt(tagLine, p).SameAsPrevious) font->SetStyle(TagAt(tagLine, p).Style);
        int q = p + 1;
        while (q < m && TagAt(tagLine, q).SameAsPrevious) ++q;
        GetTextExtents(canvas, std::u32string_view(text).substr(size_t(p), size_t(q - p)), FScratch);
        for (int k = p; k < q; ++k) {
            int advance = FScratch[size_t(k - p)] - (k > p ? FScratch[size_t(k - p - 1)] : 0) + spacing;
            if (TagAt(tagLine, k).Reduced) advance = R(advance / 1.5);
            width += advance;
            out[size_t(k)] = cumulative ? width : advance;
        }
        p = q;
    }
    return width;
}

// --- layout ----------------------------------------------------------------------------------

void TfrxDrawText::SetText(const std::string& text) {
    TStringList lines;
    lines.SetTextStr(text);
    SetLines(&lines);
}

void TfrxDrawText::SetLines(TStrings* lines) {
    FSourceText.clear();
    FLines.clear();
    if (!lines || lines->GetCount() == 0) return;
    TFont* m = FMeasureCanvas->Font();
    FTags.Reset(m->GetColor(), FFontSizePt, m->GetStyle());
    const TFontStyles style = m->GetStyle();
    auto restore = OnScopeExit([&] { m->SetStyle(style); });
    const bool sideways = (FRotation >= 90 && FRotation <= 179) || (FRotation >= 270 && FRotation <= 359);
    const double w = sideways ? FLayoutArea.Height() : FLayoutArea.Width();
    const int full = R(w * MeasureResolution / ScreenResolution);
    const int first = R((w - FParagraphGap) * MeasureResolution / ScreenResolution);
    const int spacing = R(MeasureResolution * FCharSpacing / ScreenResolution);
    for (int i = 0; i < lines->GetCount(); ++i) {
        std::string s = lines->Get(i);
        if (s.empty()) s = " ";
        const std::u32string u = Utf8ToU32(s);
        FSourceText += u;
        FSourceText += U"\r\n";
        const size_t before = FLines.size();
        BreakParagraph(u, full, first, spacing);
        FLines[before].flags |= frxFirstLine;
        FLines.back().flags |= frxLastLine;
    }
}

void TfrxDrawText::BreakParagraph(std::u32string s, int fullWidth, int firstWidth, int spacing) {
    FTags.StartLine();
    FTags.ParseTags(s);
    FTags.SourcePos += 2;  // the line break
    const int tagLine = FTags.Count() - 1;
    auto add = [&](std::u32string text) { FLines.push_back({std::move(text), 0}); };
    if (s.size() <= 1 || !FWordWrap) {
        add(s);
        return;
    }
    std::vector<int> cum;
    const int width = Measure(s, tagLine, spacing, FMeasureCanvas.get(), true, cum);
    if (width < firstWidth) {
        add(s);
        return;
    }
    // 1-based positions as the rules are written; cum[i - 1] is the width through character i.
    auto sub = [&](int from, int to) {  // characters from..to
        return to < from ? std::u32string() : s.substr(size_t(from - 1), size_t(to - from + 1));
    };
    const int len = int(s.size());
    int limit = firstWidth, lineStart = 1, lastBlank = 1, base = 0;
    int i = 1;
    while (i <= len) {
        if (s[size_t(i - 1)] == U' ') lastBlank = i;
        if (cum[size_t(i - 1)] - base > limit) {
            std::u32string line;
            if (lastBlank == lineStart) {
                if (i == lineStart) {
                    line = sub(i, i);
                    FTags.SplitLine(1, false);
                } else if (FWordBreak) {
                    std::u32string part = Hyphenate(s, lineStart, i);
                    const bool hyphen = !part.empty();
                    if (!hyphen) part = sub(lineStart, i - 1);
                    line = hyphen ? part + U"-" : part;
                    FTags.SplitLine(int(part.size()), hyphen);
                    lastBlank = lineStart + int(part.size()) - 1;
                } else {
                    line = sub(lineStart, i - 1);
                    FTags.SplitLine(i - lineStart, false);
                    lastBlank = i - 1;
                }
            } else if (FWordBreak) {
                std::u32string part = Hyphenate(s, lastBlank + 1, i);
                if (!part.empty()) {
                    line = sub(lineStart, lastBlank) + part + U"-";
                    const int count = int(part.size()) + lastBlank - lineStart + 1;
                    FTags.SplitLine(count, true);
                    lastBlank = lineStart + count - 1;
                } else {
                    line = sub(lineStart, lastBlank - 1);
                    FTags.SplitLine(lastBlank - lineStart + 1, false);
                }
            } else {
                line = sub(lineStart, lastBlank - 1);
                FTags.SplitLine(lastBlank - lineStart + 1, false);
            }
            add(std::move(line));
            base = cum[size_t(lastBlank - 1)];
            lineStart = lastBlank + 1;
            lastBlank = lastBlank + 1;
            limit = fullWidth;
            i = lineStart;
            continue;
        }
        ++i;
    }
    add(sub(lineStart, len));
}

std::u32string TfrxDrawText::Hyphenate(const std::u32string& s, int wordStart, int firstMissing) const {
    int end = firstMissing;  // 1-based; the word ends before a blank or punctuation at or after it
    const int len = int(s.size());
    while (end <= len && std::u32string_view(U" .,-;").find(s[size_t(end - 1)]) == std::u32string_view::npos) ++end;
    if (wordStart > len || end <= wordStart) return {};
    const std::u32string word = s.substr(size_t(wordStart - 1), size_t(end - wordStart));
    std::u32string upper = word;
    for (char32_t& c : upper) c = Upper(c);
    int best = 0;
    for (int p : BreakPositions(upper))
        if (p < firstMissing - wordStart) best = p;
    if (best == 0) return {};
    return word.substr(0, size_t(best));
}

// --- measures of the layout ------------------------------------------------------------------

double TfrxDrawText::LineHeight() const { return MeasureHeight() / 6.25 + FLineSpacing; }

double TfrxDrawText::TextHeight() const { return FLines.empty() ? 0 : LineHeight() * double(FLines.size()); }

double TfrxDrawText::TextWidth() {
    if (FLines.empty()) return 0;
    int widest = 0;
    for (const TLine& l : FLines) {
        int w = GetTextWidth(FMeasureCanvas.get(), l.text) + R(double(l.text.size()) * FCharSpacing * 6.25);
        if (l.flags & frxFirstLine) w += R(FParagraphGap * 6.25);
        widest = std::max(widest, w);
    }
    return widest / 6.25;
}

std::string TfrxDrawText::Line(int index) const { return U32ToUtf8(FLines.at(size_t(index)).text); }

std::string TfrxDrawText::RemoveTags(const std::string& text) const {
    TfrxHTMLTagsList tags;
    tags.TagsEnabled = FTags.TagsEnabled;
    std::u32string u = Utf8ToU32(text);
    tags.ParseTags(u);
    return U32ToUtf8(u);
}

// --- painting --------------------------------------------------------------------------------

void TfrxDrawText::SpreadUnits(std::vector<int>& values, int first, int last, int count, int unit) {
    if (count <= 0 || last < first) return;
    const int half = std::max(1, (last - first + 1) / 2);
    if (count == 1) {
        values[size_t(first + half - 2)] += unit;
        return;
    }
    SpreadUnits(values, first, first + half - 1, count / 2, unit);
    SpreadUnits(values, first + half, last, count - count / 2, unit);
}

void TfrxDrawText::Paint(TCanvas* canvas, TfrxHAlign hAlign, TfrxVAlign vAlign) {
    FDrawn = TfrxDrawnBlock();
    const int n = int(FLines.size());
    if (n == 0 || FTags.Count() == 0) return;
    const bool printer = IsPrinterCanvas(canvas);
    const int dpiY = DeviceResolutionY(canvas);
    TFont* font = canvas->Font();
    font->Assign(FMeasureCanvas->Font());
    font->SetHeight(printer ? -R(FFontSizePt * dpiY / 72.0) : -R(FFontSizePt * FScaleY * 96 / 72.0));
    for (int line = 0; line < FTags.Count(); ++line) {
        if (FTags.Line(line).empty()) continue;
        TfrxHTMLTag& tag = FTags.Line(line).front();
        if (!tag.SameAsPrevious) {
            font->SetStyle(tag.Style);
            font->SetColor(tag.Color);
            font->SetHeight(printer ? -R(tag.Size * dpiY / 72.0) : -R(tag.Size * FScaleY * 96 / 72.0));
        }
        tag.SameAsPrevious = true;
        break;
    }
    // The turned font is the canvas font with an escapement; the plain one comes back at the end.
    const int orientation = font->GetOrientation();
    auto unturn = OnScopeExit([&] { font->SetOrientation(orientation); });
    if (FRotation != 0) font->SetOrientation(FRotation * 10);

    // Line pitches: the block height comes from exact values once; the rounding difference of
    // the single gaps is spread over them.
    const int hD = std::abs(font->GetHeight()), hM = MeasureHeight();
    const int g = R(FLineSpacing * FScaleY);
    int HB;
    if (printer) {
        const double k = 600.0 / dpiY;
        HB = R((FLineSpacing * FScaleY * k * n + double(hM) * n) / k);
    } else {
        const double k = 6.25;
        HB = R((FLineSpacing * k * n + double(hM) * n) / k * FScaleY);
    }
    std::vector<int> gaps(size_t(std::max(0, n - 1)), hD + g);
    const int e = HB - n * (hD + g);
    if (n >= 2 && e != 0) {
        if (std::abs(e) < n) {
            SpreadUnits(gaps, 1, n - 1, std::abs(e), Sign(e));
        } else {
            const int each = std::abs(e) / (n - 1);
            for (int& gap : gaps) gap += Sign(e) * each;
            SpreadUnits(gaps, 1, n - 1, std::abs(e) - (n - 1) * each, Sign(e));
        }
    }

    // Block placement.
    const int L = FOutputArea.Left, T = FOutputArea.Top, Rt = FOutputArea.Right, B = FOutputArea.Bottom;
    const double rad = FRotation * kPi / 180;
    const double c = std::fabs(std::cos(rad)), s = std::fabs(std::sin(rad));
    int X = L, Y = T, W = Rt - L, G = B - T;
    double stepX = 0, stepY = 1;
    const int r = FRotation;
    auto oblique = [&] { return R((Rt - L - HB * s) / c); };
    if (r == 0 || r == 90 || r == 180 || r == 270) {
        stepX = std::sin(rad);
        stepY = std::cos(rad);
        if (r == 90) {
            X = L;
            Y = B;
            W = B - T;
            G = Rt - L;
        } else if (r == 180) {
            X = Rt;
            Y = B;
            W = Rt - L;
            G = B - T;
        } else if (r == 270) {
            X = Rt;
            Y = T;
            W = B - T;
            G = Rt - L;
        }
    } else if (r < 90) {
        W = oblique();
        X = L;
        Y = T + R(W * s);
        G = (B - Y) - R(HB * c) + HB;
        stepX = 0;
        stepY = 1;
    } else if (r < 180) {
        W = oblique();
        X = L + R(W * c);
        Y = B;
        G = (B - T) - R(HB * c + W * s) + HB;
        stepX = 0;
        stepY = -1;
    } else if (r < 270) {
        W = oblique();
        X = Rt;
        Y = B - R(W * s);
        G = (Y - T) - R(HB * c) + HB;
        stepX = 0;
        stepY = -1;
    } else {
        W = oblique();
        X = L + R(HB * s);
        Y = T;
        G = (B - T) - R(W * s + HB * c) + HB;
        stepX = 0;
        stepY = 1;
    }
    if (vAlign == vaBottom) {
        X += R((G - HB) * stepX);
        Y += R((G - HB) * stepY);
    } else if (vAlign == vaCenter) {
        X += R((G - HB) * stepX / 2);
        Y += R((G - HB) * stepY / 2);
    }
    FDrawn.X = X;
    FDrawn.Y = Y;
    FDrawn.W = W;
    FDrawn.G = G;
    FDrawn.HB = HB;
    FDrawn.Gaps = gaps;

    SetBkMode(canvas, TRANSPARENT);
    const double cosR = std::cos(rad), sinR = std::sin(rad);
    for (int i = 0; i < n; ++i) {
        const TLine& line = FLines[size_t(i)];
        const bool first = line.flags & frxFirstLine;
        const int indent = first && (hAlign == haLeft || hAlign == haBlock) ? R(FParagraphGap * FScaleX) : 0;
        TfrxHAlign align = hAlign;
        if (hAlign == haBlock && (line.flags & frxLastLine)) align = FRTL ? haRight : haLeft;
        OutputLine(canvas, line.text, align, i, W - indent, X + indent, Y);
        if (i < n - 1) {
            Y += R(gaps[size_t(i)] * cosR);
            X += R(gaps[size_t(i)] * sinR);
        }
    }
}

void TfrxDrawText::OutputLine(
    TCanvas* canvas, const std::u32string& text, TfrxHAlign align, int tagLine, int width, int x, int y) {
    TFont* font = canvas->Font();
    const TFontStyles base = font->GetStyle();
    FTags.DefaultStyle = base;
    FMeasureCanvas->Font()->SetStyle(base);
    const bool printer = IsPrinterCanvas(canvas);
    const int dpiX = DeviceResolutionX(canvas);
    const int m = int(text.size());

    std::vector<int> ideal;
    const int idealWidth = Measure(text, tagLine, R(600 * FCharSpacing / 96), FMeasureCanvas.get(), false, ideal);
    const int actual = Measure(text, tagLine, R(FCharSpacing * FScaleX), canvas, false, FCharAdvances);
    font->SetStyle(base);
    FMeasureCanvas->Font()->SetStyle(base);
    const int target = printer ? R(idealWidth / (600.0 / dpiX)) : R(idealWidth / 6.25 * FScaleX);
    int fill = target - actual;

    const double rad = FRotation * kPi / 180, cosR = std::cos(rad), sinR = std::sin(rad);
    int blanks = 0;
    if (align == haRight) {
        x += R((width - target + 1) * cosR);
        y -= R((width - target + 1) * sinR);
        if ((base.Contains(fsBold) || base.Contains(fsItalic)) && FRotation == 0) x -= 1;
    } else if (align == haCenter) {
        x += R((width - target) / 2.0 * cosR);
        y -= R((width - target) / 2.0 * sinR);
    } else if (align == haBlock) {
        for (char32_t ch : text) blanks += ch == U' ' || ch == 0xA0;
        if (blanks == 0) align = haLeft;
        else fill = std::abs(width) - actual;
    }

    // Sound: an empty line (a paragraph whose last blank overflowed ends with one) has nothing
    // to spread over; dividing the fill among its zero characters was a division by zero.
    if (align != haBlock && m > 0 && fill != 0) {
        const int units = std::abs(fill);
        if (units < m) {
            SpreadUnits(FCharAdvances, 1, m, units, Sign(fill));
        } else {
            for (int& a : FCharAdvances) a += Sign(fill) * (units / m);
            SpreadUnits(FCharAdvances, 1, m, units - m * (units / m), Sign(fill));
        }
    } else if (align == haBlock) {
        const int units = std::abs(fill), each = units / blanks;
        int extra = units % blanks;
        for (int k = 0; k < m; ++k) {
            if (text[size_t(k)] != U' ' && text[size_t(k)] != 0xA0) continue;
            FCharAdvances[size_t(k)] += Sign(fill) * (each + (extra > 0 ? 1 : 0));
            if (extra > 0) --extra;
        }
    }

    TfrxDrawnLine drawn;
    drawn.X = x;
    drawn.Y = y;
    drawn.Target = target;
    drawn.Advances = FCharAdvances;
    FDrawn.Lines.push_back(std::move(drawn));

    // Runs of one style; sub- and superscripts sit lowered or raised by their offset.
    auto offsetOf = [&](const TfrxHTMLTag& tag) { return R(tag.Lowered * tag.Size * FScaleY); };
    int v = m > 0 ? offsetOf(TagAt(tagLine, 0)) : 0;
    int p = 0;
    while (p < m) {
        int q = p;
        while (q < m && TagAt(tagLine, q).SameAsPrevious) ++q;
        if (q < m) TagAt(tagLine, q).SameAsPrevious = true;
        if (q > p)
            TextOutAdvances(canvas, x + R(v * sinR), y + R(v * cosR), FOutputOptions, FOutputArea,
                std::u32string_view(text).substr(size_t(p), size_t(q - p)), &FCharAdvances[size_t(p)]);
        if (q >= m) break;
        const TfrxHTMLTag& tag = TagAt(tagLine, q);
        font->SetHeight(printer ? -R(tag.Size * dpiX / 72.0) : -R(tag.Size * FScaleY * 96 / 72.0));
        font->SetStyle(tag.Style);
        font->SetColor(tag.Color);
        v = offsetOf(tag);
        int sum = 0;
        for (int k = p; k < q; ++k) sum += FCharAdvances[size_t(k)];
        if (FRotation == 0) {
            x += sum;
        } else {
            x += R(sum * cosR);
            y -= R(sum * sinR);
        }
        p = q;
    }
}

// --- splitting at the box height -------------------------------------------------------------

double TfrxDrawText::SpareHeight() const {
    const double pitch = LineHeight();
    const double room = FLayoutArea.Bottom - FLayoutArea.Top + 1;
    const int64_t lines = Trunc(room / pitch);
    if (lines <= 0) return 0;
    const double rest = room - double(lines) * pitch;
    return rest == 0 ? 0.0001 : rest;
}

std::string TfrxDrawText::TakeOverflow() {
    if (FLines.empty()) return {};
    const double room = FLayoutArea.Bottom - FLayoutArea.Top + 1;
    const int keep = int(std::min<int64_t>(Trunc(room / LineHeight()), int64_t(FLines.size())));
    if (keep >= FTags.Count()) return {};
    FLines.resize(size_t(std::max(0, keep)));
    // The first character of the first line that does not fit (lines of tags only have none).
    const TfrxHTMLTag* first = nullptr;
    for (int line = std::max(0, keep); line < FTags.Count() && !first; ++line)
        if (!FTags.Line(line).empty()) first = &FTags.Line(line).front();
    if (!first) return {};
    const size_t from = size_t(std::max(1, first->Position) - 1);
    std::u32string rest = from < FSourceText.size() ? FSourceText.substr(from) : std::u32string();
    FSourceText.resize(std::min(from, FSourceText.size()));
    std::string result = U32ToUtf8(rest);
    if (FTags.TagsEnabled) {
        const TColor rgb = ColorToRGB(first->Color);
        std::string prefix = "<font color=\"#" + IntToHex(GetRValue(rgb), 2) + IntToHex(GetGValue(rgb), 2) +
            IntToHex(GetBValue(rgb), 2) + "\">";
        if (first->Style.Contains(fsUnderline)) prefix += "<u>";
        if (first->Style.Contains(fsItalic)) prefix += "<i>";
        if (first->Style.Contains(fsBold)) prefix += "<b>";
        result = prefix + result;
    }
    return result;
}

std::string TfrxDrawText::FittingText() const { return U32ToUtf8(FSourceText); }

TfrxDrawText* frxDrawText() {
    static TfrxDrawText engine;
    return &engine;
}
