// Raw-font measuring and glyph-run output for the report text engine.

#include "platform/gui/TextServices.h"

#include <QtGui/QGuiApplication>

#include <list>
#include <map>
#include <memory>
#include <tuple>

#include "platform/gui/GraphicsPrivate.h"
#include "platform/rtl/Strings.h"

namespace {
using Key = std::tuple<std::string, int, uint32_t, int>;

struct Cache {
    size_t limit = 32;
    std::list<std::pair<Key, std::unique_ptr<TFontFace>>> faces;  // most recent first
    std::map<Key, decltype(faces)::iterator> index;

    void Trim() {
        while (faces.size() > limit) {
            index.erase(faces.back().first);
            faces.pop_back();
        }
    }
};
Cache& TheCache() {
    static Cache cache;
    return cache;
}

TFontFace& Face(const TFontData& font) {
    // Qt's font database lives in the GUI application; without one there are no fonts.
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        throw EInvalidOperation("Text services need the application object");
    Cache& cache = TheCache();
    const int em = std::max(1, font.Height < 0 ? -font.Height : font.Height > 0 ? font.Height : 13);
    Key key{font.Name, em, font.Style.Mask(), int(font.Pitch)};
    auto found = cache.index.find(key);
    if (found != cache.index.end()) {
        cache.faces.splice(cache.faces.begin(), cache.faces, found->second);
        return *found->second->second;
    }
    cache.faces.emplace_front(key, std::make_unique<TFontFace>(font, em));
    cache.index[key] = cache.faces.begin();
    TFontFace& face = *cache.faces.front().second;
    cache.Trim();
    return face;
}

void DrawRuns(QPainter* p, TFontFace& face, std::u32string_view text, const int* advances, QPointF origin) {
    int pos = 0;
    size_t i = 0;
    while (i < text.size()) {
        const int fi = face.GlyphOf(text[i]).face;
        QList<quint32> glyphs;
        QList<QPointF> positions;
        size_t j = i;
        for (; j < text.size(); ++j) {
            const auto& g = face.GlyphOf(text[j]);
            if (g.face != fi) break;
            glyphs << g.index;
            positions << QPointF(pos, 0);
            pos += advances[j];
        }
        QGlyphRun run;
        run.setRawFont(face.Raw(fi));
        run.setGlyphIndexes(glyphs);
        run.setPositions(positions);
        run.setUnderline(face.Underline());
        run.setStrikeOut(face.StrikeOut());
        p->drawGlyphRun(origin, run);
        i = j;
    }
}
}  // namespace

void GetTextExtents(TCanvas* canvas, std::u32string_view text, std::vector<int>& extents) {
    TFontFace& face = Face(canvas->Font()->Data());
    extents.resize(text.size());
    int sum = 0;
    for (size_t i = 0; i < text.size(); ++i) extents[i] = sum += face.Advance(text[i]);
}

int GetTextWidth(TCanvas* canvas, std::u32string_view text) {
    TFontFace& face = Face(canvas->Font()->Data());
    int sum = 0;
    for (char32_t c : text) sum += face.Advance(c);
    return sum;
}

int GetTextAscent(TCanvas* canvas) { return Face(canvas->Font()->Data()).Ascent(); }

void TextOutAdvances(
    TCanvas* canvas, int x, int y, uint32_t options, const TRect& clip, std::u32string_view text, const int* advances) {
    if (text.empty()) return;
    TFont* font = canvas->Font();
    if (canvas->IsMetafileCanvas()) {
        // Recorded as the GDI call it stands for, so a replay draws the same.
        canvas->Handle();
        SetBkMode(canvas, TRANSPARENT);
        SetTextAlign(canvas, TA_TOP | TA_LEFT);
        std::vector<int> dx(advances, advances + text.size());
        ExtTextOut(canvas, x, y, options & ETO_CLIPPED, &clip, U32ToUtf8(std::u32string(text)), &dx);
        return;
    }
    TFontFace& face = Face(font->Data());
    canvas->RequiredStateForDrawing();
    QPainter* p = CanvasPaint::Begin(canvas);
    if (!p) return;
    if (options & ETO_CLIPPED) CanvasPaint::ClipFurther(canvas, ToQRect(canvas->LPtoDP(clip)).normalized());
    const TPoint d = canvas->LPtoDP(TPoint{x, y});
    p->save();
    p->setPen(RgbToQ(font->GetColor()));
    p->translate(d.X, d.Y);
    if (font->GetOrientation() != 0) p->rotate(-font->GetOrientation() / 10.0);
    DrawRuns(p, face, text, advances, QPointF(0, face.Ascent()));
    p->restore();
}

int DeviceResolutionX(TCanvas* canvas) { return GetDeviceCaps(canvas, LOGPIXELSX); }
int DeviceResolutionY(TCanvas* canvas) { return GetDeviceCaps(canvas, LOGPIXELSY); }

void SetTextFontCacheLimit(size_t limit) {
    TheCache().limit = std::max<size_t>(1, limit);
    TheCache().Trim();
}
size_t TextFontCacheLimit() { return TheCache().limit; }
size_t TextFontCacheCount() { return TheCache().faces.size(); }
