// Font design data and programs, read from the tables of the face the text services use.

#include "platform/gui/FontData.h"

#include <QtCore/QByteArray>

#include <cmath>
#include <vector>

#include "platform/gui/GraphicsPrivate.h"
#include "platform/rtl/CodePages.h"
#include "platform/rtl/Sfnt.h"

namespace {
constexpr int kEm = 1000;  // faces are realised at 1000 pixels, so pixels are thousandths

uint16_t U16(const QByteArray& t, int off) {
    if (off < 0 || off + 2 > t.size()) return 0;
    return uint16_t((uint8_t(t[off]) << 8) | uint8_t(t[off + 1]));
}
int16_t S16(const QByteArray& t, int off) { return int16_t(U16(t, off)); }
uint32_t U32(const QByteArray& t, int off) { return (uint32_t(U16(t, off)) << 16) | U16(t, off + 2); }
int Scale(double v, double upem) { return int(std::lround(v * kEm / upem)); }

// The face at a 1000-pixel em, realised as the text services realise it.
const QRawFont& RawOf(const TFontData& font, TFontFace*& keep) {
    TFontData d = font;
    d.Height = -kEm;
    keep = &FaceFor(d);
    return keep->Raw(keep->Raw(0).isValid() ? 0 : 1);
}
}  // namespace

TFontDesignData GetFontDesignData(const TFontData& font) {
    TFontFace* face = nullptr;
    const QRawFont& raw = RawOf(font, face);
    TFontDesignData r;
    r.FamilyName = raw.familyName().toStdString();
    const double upem = raw.unitsPerEm() > 0 ? raw.unitsPerEm() : 2048;
    const QByteArray head = raw.fontTable("head"), os2 = raw.fontTable("OS/2"), post = raw.fontTable("post");
    r.TrueType = !raw.fontTable("glyf").isEmpty() && !raw.fontTable("loca").isEmpty();
    // Bit 1 of the first code-page range is code page 1250. A face without the field (old
    // OS/2 versions) is trusted to cover it when it maps "ř".
    const bool hasRange = os2.size() >= 86;
    const bool covers1250 = hasRange ? (U32(os2, 78) & 2u) != 0 : raw.supportsCharacter(QChar(0x0159));
    r.Charset = covers1250 ? EASTEUROPE_CHARSET : ANSI_CHARSET;
    r.CodePage = covers1250 ? 1250 : 1252;
    int weight = os2.size() >= 6 ? U16(os2, 4) : 400;
    if (weight <= 0) weight = 400;
    if (font.Style.Contains(fsBold) && weight < 600) weight = 700;
    r.Weight = weight;
    double winAsc = U16(os2, 74), winDesc = U16(os2, 76);
    double typoAsc = S16(os2, 68), typoDesc = S16(os2, 70);
    if (os2.size() < 78) {
        winAsc = typoAsc = raw.ascent() * upem / kEm;
        winDesc = raw.descent() * upem / kEm;
        typoDesc = -winDesc;
    }
    r.Height = Scale(winAsc + winDesc, upem);
    r.Ascent = Scale(typoAsc, upem);
    r.Descent = Scale(typoDesc, upem);
    if (head.size() >= 54) {
        r.BoxLeft = Scale(S16(head, 36), upem);
        r.BoxBottom = Scale(S16(head, 38), upem);
        r.BoxRight = Scale(S16(head, 40), upem);
        r.BoxTop = Scale(S16(head, 42), upem);
    }
    if (post.size() >= 8) r.ItalicAngle = int32_t(U32(post, 4)) / 65536.0;
    if (r.ItalicAngle == 0 && font.Style.Contains(fsItalic) && !(U16(os2, 62) & 1)) r.ItalicAngle = -12;
    return r;
}

int GetFontDesignWidth(const TFontData& font, char32_t c) {
    TFontFace* face = nullptr;
    const QRawFont& raw = RawOf(font, face);
    QList<quint32> idx = raw.glyphIndexesForString(QString::fromUcs4(&c, 1));
    quint32 glyph = idx.isEmpty() ? 0 : idx[0];
    QPointF adv;
    raw.advancesForGlyphIndexes(&glyph, &adv, 1, QRawFont::SeparateAdvances | QRawFont::UseDesignMetrics);
    return int(std::lround(adv.x()));
}


std::string GetFontProgram(const TFontData& font) {
    TFontFace* face = nullptr;
    const QRawFont& raw = RawOf(font, face);
    // Qt gives tables by tag, not the file: these are the tables a TrueType program for
    // printing and viewing needs (those a face lacks are left out), in tag order.
    static const char* const kTags[] = {
        "OS/2", "cmap", "cvt ", "fpgm", "gasp", "glyf", "head", "hhea", "hmtx", "loca", "maxp", "name", "post", "prep"};
    std::vector<TSfntTable> tables;
    for (const char* tag : kTags) {
        QByteArray data = raw.fontTable(tag);
        if (!data.isEmpty()) tables.push_back({tag, std::string(data.constData(), size_t(data.size()))});
    }
    auto has = [&](const char* tag) {
        for (auto& t : tables)
            if (t.Tag == tag) return true;
        return false;
    };
    if (!has("glyf") || !has("loca") || !has("head")) return {};
    return SfntBuild(tables);
}
