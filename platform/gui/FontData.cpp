// Font design data and programs, read from the tables of the face the text services use.

#include "platform/gui/FontData.h"

#include <QtCore/QByteArray>

#include <cmath>
#include <vector>

#include "platform/gui/GraphicsPrivate.h"
#include "platform/rtl/CodePages.h"

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

namespace {
void Put16(std::string& s, size_t at, uint16_t v) {
    s[at] = char(v >> 8);
    s[at + 1] = char(v);
}
void Put32(std::string& s, size_t at, uint32_t v) {
    Put16(s, at, uint16_t(v >> 16));
    Put16(s, at + 2, uint16_t(v));
}
uint32_t CheckSum(const std::string& s, size_t from, size_t length) {
    uint32_t sum = 0;
    for (size_t i = 0; i < length; i += 4) {
        uint32_t word = 0;
        for (size_t k = 0; k < 4; ++k) word = (word << 8) | (i + k < length ? uint8_t(s[from + i + k]) : 0u);
        sum += word;
    }
    return sum;
}
}  // namespace

std::string GetFontProgram(const TFontData& font) {
    TFontFace* face = nullptr;
    const QRawFont& raw = RawOf(font, face);
    // Qt gives tables by tag, not the file: these are the tables a TrueType program for
    // printing and viewing needs (those a face lacks are left out), in tag order.
    static const char* const kTags[] = {
        "OS/2", "cmap", "cvt ", "fpgm", "gasp", "glyf", "head", "hhea", "hmtx", "loca", "maxp", "name", "post", "prep"};
    struct Table {
        const char* tag;
        QByteArray data;
    };
    std::vector<Table> tables;
    for (const char* tag : kTags) {
        QByteArray data = raw.fontTable(tag);
        if (!data.isEmpty()) tables.push_back({tag, data});
    }
    auto has = [&](const char* tag) {
        for (auto& t : tables)
            if (std::string(t.tag) == tag) return true;
        return false;
    };
    if (!has("glyf") || !has("loca") || !has("head")) return {};
    const uint16_t n = uint16_t(tables.size());
    uint16_t entrySelector = 0;
    while ((2u << entrySelector) <= n) ++entrySelector;
    const uint16_t searchRange = uint16_t(16u << entrySelector);
    std::string out(12 + 16 * size_t(n), '\0');
    Put32(out, 0, 0x00010000);
    Put16(out, 4, n);
    Put16(out, 6, searchRange);
    Put16(out, 8, entrySelector);
    Put16(out, 10, uint16_t(n * 16 - searchRange));
    size_t headAt = 0;
    for (size_t i = 0; i < tables.size(); ++i) {
        const size_t at = out.size();
        std::string data(tables[i].data.constData(), size_t(tables[i].data.size()));
        if (std::string(tables[i].tag) == "head") {
            headAt = at;
            if (data.size() >= 12) Put32(data, 8, 0);  // the whole-file adjustment, set below
        }
        out += data;
        out.append((4 - data.size() % 4) % 4, '\0');
        const size_t dir = 12 + 16 * i;
        out.replace(dir, 4, tables[i].tag, 4);
        Put32(out, dir + 4, CheckSum(out, at, data.size()));
        Put32(out, dir + 8, uint32_t(at));
        Put32(out, dir + 12, uint32_t(data.size()));
    }
    Put32(out, headAt + 8, 0xB1B0AFBAu - CheckSum(out, 0, out.size()));
    return out;
}
