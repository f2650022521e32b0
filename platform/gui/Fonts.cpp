// Font mapping and metrics at a fixed 96 dpi.
//
// Windows face names are mapped to installed metric-compatible families. Metrics come from the
// font files themselves (the OS/2 table's Windows ascent and descent give the cell height, as
// GDI reports it), and every advance is the unhinted design advance rounded to a whole pixel, so
// measurements do not depend on the machine's hinting settings.

#include <QtCore/QByteArray>
#include <QtGui/QFont>
#include <QtGui/QFontDatabase>
#include <QtGui/QGuiApplication>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <tuple>

#include "platform/gui/Application.h"
#include "platform/gui/GraphicsPrivate.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Shutdown.h"
#include "platform/rtl/Strings.h"

std::u32string ToU32(const std::string& utf8) { return Utf8ToU32(utf8); }
std::string FromU32(const std::u32string& s) { return U32ToUtf8(s); }

namespace {
std::string Lower(const std::string& s) {
    std::string r = s;
    for (char& c : r)
        if (c >= 'A' && c <= 'Z') c = char(c + 32);
    return r;
}

const char* const kSans = "DejaVu Sans";
const char* const kSerif = "DejaVu Serif";
const char* const kMono = "DejaVu Sans Mono";

uint16_t BigEndian16(const QByteArray& t, int off) {
    if (off + 2 > t.size()) return 0;
    return uint16_t((uint8_t(t[off]) << 8) | uint8_t(t[off + 1]));
}
int RoundHalfUp(double v) { return int(std::floor(v + 0.5)); }
}  // namespace

std::string MapFontName(const std::string& windowsName) {
    static const std::map<std::string, const char*> kMap = {
        {"arial", "Liberation Sans"},
        {"helvetica", "Liberation Sans"},
        {"arial narrow", "Liberation Sans Narrow"},
        {"times new roman", "Liberation Serif"},
        {"times", "Liberation Serif"},
        {"courier new", "Liberation Mono"},
        {"courier", "Liberation Mono"},
        {"liberation sans", "Liberation Sans"},
        {"liberation serif", "Liberation Serif"},
        {"liberation mono", "Liberation Mono"},
        {"liberation sans narrow", "Liberation Sans Narrow"},
        {"dejavu sans", kSans},
        {"dejavu serif", kSerif},
        {"dejavu sans mono", kMono},
        {"georgia", kSerif},
        {"book antiqua", kSerif},
        {"garamond", kSerif},
        {"palatino linotype", kSerif},
        {"ms serif", kSerif},
        {"cambria", kSerif},
        {"century", kSerif},
        {"lucida console", kMono},
        {"consolas", kMono},
        {"fixedsys", kMono},
        {"terminal", kMono},
        {"ms gothic", kMono},
    };
    auto it = kMap.find(Lower(windowsName));
    return it != kMap.end() ? it->second : kSans;
}

namespace {
QFont MakeQFont(const std::string& family, int em, const TFontData& d) {
    QFont f(QString::fromStdString(family));
    f.setPixelSize(std::max(1, em));
    f.setBold(d.Style.Contains(fsBold));
    f.setItalic(d.Style.Contains(fsItalic));
    f.setUnderline(d.Style.Contains(fsUnderline));
    f.setStrikeOut(d.Style.Contains(fsStrikeOut));
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setKerning(false);
    f.setStyleStrategy(QFont::StyleStrategy(QFont::NoFontMerging | QFont::PreferOutline));
    return f;
}
std::string FamilyFor(const TFontData& d) {
    std::string fam = MapFontName(d.Name);
    if (fam == kSans && d.Pitch == fpFixed) fam = kMono;
    return fam;
}
}  // namespace

QFont ToQFont(const TFontData& font) {
    int em = font.Height < 0 ? -font.Height : font.Height > 0 ? FaceFor(font).Em() : 13;
    return MakeQFont(FamilyFor(font), em, font);
}

TFontFace::TFontFace(const TFontData& d, int emPixels)
    : FEm(std::max(1, emPixels)), FUnderline(d.Style.Contains(fsUnderline)), FStrikeOut(d.Style.Contains(fsStrikeOut)) {
    FRaw = QRawFont::fromFont(MakeQFont(FamilyFor(d), FEm, d));
    FFallback = QRawFont::fromFont(MakeQFont(kSans, FEm, d));
    const QRawFont& raw = FRaw.isValid() ? FRaw : FFallback;
    double upem = raw.unitsPerEm() > 0 ? raw.unitsPerEm() : 2048;
    QByteArray os2 = raw.fontTable("OS/2");
    double winAsc = BigEndian16(os2, 74), winDesc = BigEndian16(os2, 76);
    if (winAsc + winDesc <= 0) {
        winAsc = raw.ascent() * upem / FEm;
        winDesc = raw.descent() * upem / FEm;
    }
    FAscent = RoundHalfUp(winAsc * FEm / upem);
    FDescent = RoundHalfUp(winDesc * FEm / upem);
    int16_t avg = int16_t(BigEndian16(os2, 2));
    FMetric.tmHeight = FAscent + FDescent;
    FMetric.tmAscent = FAscent;
    FMetric.tmDescent = FDescent;
    FMetric.tmInternalLeading = std::max(0, FMetric.tmHeight - FEm);
    FMetric.tmExternalLeading = 0;
    FMetric.tmAveCharWidth = avg > 0 ? RoundHalfUp(avg * FEm / upem) : Advance('x');
    FMetric.tmMaxCharWidth = RoundHalfUp(raw.maxCharWidth());
    FMetric.tmWeight = d.Style.Contains(fsBold) ? 700 : 400;
    FMetric.tmItalic = d.Style.Contains(fsItalic);
    FMetric.tmUnderlined = FUnderline;
    FMetric.tmStruckOut = FStrikeOut;
    FMetric.tmCharSet = d.Charset;
    // Low bit set means variable pitch (the documented inversion); 4 = TrueType.
    bool fixed = FamilyFor(d).find("Mono") != std::string::npos;
    FMetric.tmPitchAndFamily = uint8_t((fixed ? 0 : 1) | 4);
}

const TFontFace::Glyph& TFontFace::GlyphOf(char32_t c) {
    if (c < 128 && FAsciiDone[c]) return FAscii[c];
    auto found = FGlyphs.find(c);
    if (found != FGlyphs.end()) return found->second;
    Glyph g;
    auto lookup = [&](const QRawFont& raw, int face) {
        if (!raw.isValid()) return false;
        char32_t ch = c;
        QString s = QString::fromUcs4(&ch, 1);
        QList<quint32> idx = raw.glyphIndexesForString(s);
        if (idx.isEmpty() || idx[0] == 0) return false;
        QPointF adv;
        raw.advancesForGlyphIndexes(&idx[0], &adv, 1, QRawFont::SeparateAdvances | QRawFont::UseDesignMetrics);
        g.index = idx[0];
        g.advance = RoundHalfUp(adv.x());
        g.face = face;
        return true;
    };
    if (!lookup(FRaw, 0) && !lookup(FFallback, 1)) {
        // No glyph anywhere: the font's missing-glyph box, at its own advance.
        g.index = 0;
        g.face = FRaw.isValid() ? 0 : 1;
        QPointF adv;
        quint32 zero = 0;
        Raw(g.face).advancesForGlyphIndexes(&zero, &adv, 1, QRawFont::SeparateAdvances | QRawFont::UseDesignMetrics);
        g.advance = RoundHalfUp(adv.x());
    }
    if (c < 128) {
        FAscii[c] = g;
        FAsciiDone[c] = true;
        return FAscii[c];
    }
    return FGlyphs.emplace(c, g).first->second;
}

TFontFace& FaceFor(const TFontData& font, double scale) {
    // Qt's font database lives in the GUI application; without one there are no fonts.
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        throw EInvalidOperation("Text services need the application object");
    int h = font.Height;
    if (scale != 1.0) h = int(std::lround(h * scale));
    using Key = std::tuple<std::string, int, uint32_t, int>;
    static std::map<Key, std::unique_ptr<TFontFace>> cache;
    static const TFontData* lastFont = nullptr;
    static TFontData lastData;
    static int lastH = 0;
    static TFontFace* lastFace = nullptr;
    // The raw fonts belong to Qt's font database, which ends with the Qt application: the cache
    // is emptied just before that, not by static destruction afterwards.
    static bool hooked = false;
    if (!hooked) {
        hooked = true;
        AddShutdownHook([] {
            cache.clear();
            lastFont = nullptr;
            lastFace = nullptr;
            hooked = false;  // a later Qt application fills and hooks the cache anew
        });
    }
    if (lastFace && lastFont == &font && lastData == font && lastH == h) return *lastFace;
    Key key{FamilyFor(font), h, font.Style.Mask(), font.Pitch};
    auto it = cache.find(key);
    if (it == cache.end()) {
        int em = h < 0 ? -h : 13;
        if (h > 0) {
            // A positive height is the cell height: find the em size whose cell fits it.
            TFontData probe = font;
            TFontFace ref(probe, 1000);
            em = std::max(1, RoundHalfUp(h * 1000.0 / std::max(1, ref.Height())));
        }
        it = cache.emplace(key, std::make_unique<TFontFace>(font, em)).first;
    }
    lastFont = &font;
    lastData = font;
    lastH = h;
    lastFace = it->second.get();
    return *lastFace;
}

// --- font families ---------------------------------------------------------------------------

namespace {
// The Windows character sets whose letters a writing system of Qt's gives.
std::vector<TFontCharset> CharsetsOf(QFontDatabase::WritingSystem ws) {
    switch (ws) {
    case QFontDatabase::Latin: return {ANSI_CHARSET, 162 /* Turkish */, 186 /* Baltic */, EASTEUROPE_CHARSET};
    case QFontDatabase::Greek: return {161};
    case QFontDatabase::Cyrillic: return {204};
    case QFontDatabase::Hebrew: return {177};
    case QFontDatabase::Arabic: return {178};
    case QFontDatabase::Thai: return {222};
    case QFontDatabase::Vietnamese: return {163};
    case QFontDatabase::SimplifiedChinese: return {134};
    case QFontDatabase::TraditionalChinese: return {136};
    case QFontDatabase::Japanese: return {128};
    case QFontDatabase::Korean: return {129};
    case QFontDatabase::Symbol: return {SYMBOL_CHARSET};
    default: return {};
    }
}
}  // namespace

std::vector<TFontFamily> EnumFontFamilies() {
    EnsureQtApplication();
    std::vector<TFontFamily> result;
    for (const QString& family : QFontDatabase::families()) {
        TFontFamily f;
        f.Name = family.toStdString();
        f.FontType = QFontDatabase::isSmoothlyScalable(family) ? TRUETYPE_FONTTYPE : RASTER_FONTTYPE;
        for (QFontDatabase::WritingSystem ws : QFontDatabase::writingSystems(family))
            for (TFontCharset cs : CharsetsOf(ws)) f.Charsets.push_back(cs);
        std::sort(f.Charsets.begin(), f.Charsets.end());
        f.Charsets.erase(std::unique(f.Charsets.begin(), f.Charsets.end()), f.Charsets.end());
        result.push_back(std::move(f));
    }
    std::sort(result.begin(), result.end(), [](const TFontFamily& a, const TFontFamily& b) { return a.Name < b.Name; });
    result.erase(std::unique(result.begin(), result.end(),
                     [](const TFontFamily& a, const TFontFamily& b) { return a.Name == b.Name; }),
        result.end());
    return result;
}
