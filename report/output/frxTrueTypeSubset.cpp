#include "report/output/frxTrueTypeSubset.h"

#include <cstdint>
#include <set>

#include "platform/rtl/Sfnt.h"

namespace {
const TSfntTable* Find(const std::vector<TSfntTable>& tables, const char* tag) {
    for (const TSfntTable& t : tables)
        if (t.Tag == tag) return &t;
    return nullptr;
}

uint32_t Format4Glyph(const std::string& cmap, size_t sub, char32_t c) {
    if (c > 0xFFFF) return 0;
    const size_t segments = SfntU16(cmap, sub + 6) / 2;
    const size_t ends = sub + 14, starts = ends + 2 * segments + 2, deltas = starts + 2 * segments,
                 ranges = deltas + 2 * segments;
    for (size_t i = 0; i < segments; ++i) {
        if (c > SfntU16(cmap, ends + 2 * i)) continue;
        const uint16_t start = SfntU16(cmap, starts + 2 * i);
        if (c < start) return 0;
        const uint16_t delta = SfntU16(cmap, deltas + 2 * i), range = SfntU16(cmap, ranges + 2 * i);
        if (range == 0) return uint16_t(c + delta);
        const uint16_t g = SfntU16(cmap, ranges + 2 * i + range + 2 * (c - start));
        return g ? uint16_t(g + delta) : 0;
    }
    return 0;
}

uint32_t Format12Glyph(const std::string& cmap, size_t sub, char32_t c) {
    const uint32_t groups = SfntU32(cmap, sub + 12);
    for (uint32_t i = 0; i < groups && sub + 16 + 12 * size_t(i) + 12 <= cmap.size(); ++i) {
        const size_t g = sub + 16 + 12 * size_t(i);
        if (c >= SfntU32(cmap, g) && c <= SfntU32(cmap, g + 4)) return SfntU32(cmap, g + 8) + (c - SfntU32(cmap, g));
    }
    return 0;
}

// The glyph of c through the best Unicode subtable; a symbol face's characters sit at 0xF000 up.
uint32_t GlyphOf(const std::string& cmap, char32_t c) {
    const uint16_t count = SfntU16(cmap, 2);
    size_t best = 0;
    int bestRank = 0;
    bool symbol = false;
    for (size_t i = 0; i < count; ++i) {
        const size_t rec = 4 + 8 * i;
        const uint16_t platform = SfntU16(cmap, rec), encoding = SfntU16(cmap, rec + 2);
        const size_t sub = SfntU32(cmap, rec + 4);
        const uint16_t format = SfntU16(cmap, sub);
        if (format != 4 && format != 12) continue;
        int rank = platform == 3 && encoding == 10 ? 4 : platform == 3 && encoding == 1 ? 3 : platform == 0 ? 2 : 0;
        if (platform == 3 && encoding == 0) rank = 1;
        if (rank > bestRank) bestRank = rank, best = sub, symbol = platform == 3 && encoding == 0;
    }
    if (!bestRank) return 0;
    auto lookup = [&](char32_t ch) {
        return SfntU16(cmap, best) == 12 ? Format12Glyph(cmap, best, ch) : Format4Glyph(cmap, best, ch);
    };
    uint32_t g = lookup(c);
    if (!g && symbol && c < 0x100) g = lookup(0xF000 + c);
    return g;
}
}  // namespace

std::string frxSubsetTrueType(const std::string& program, const std::vector<char32_t>& chars) {
    std::vector<TSfntTable> tables = SfntRead(program);
    const TSfntTable *cmap = Find(tables, "cmap"), *glyf = Find(tables, "glyf"), *loca = Find(tables, "loca"),
                     *head = Find(tables, "head"), *maxp = Find(tables, "maxp");
    if (!cmap || !glyf || !loca || !head || !maxp || head->Data.size() < 54 || maxp->Data.size() < 6) return {};
    const uint32_t glyphs = SfntU16(maxp->Data, 4);
    const bool longOffsets = SfntU16(head->Data, 50) == 1;
    if (loca->Data.size() < (glyphs + 1) * size_t(longOffsets ? 4 : 2)) return {};
    auto offset = [&](uint32_t g) -> size_t {
        return longOffsets ? SfntU32(loca->Data, 4 * size_t(g)) : 2 * size_t(SfntU16(loca->Data, 2 * size_t(g)));
    };
    auto outline = [&](uint32_t g) -> std::string {
        const size_t from = offset(g), to = offset(g + 1);
        if (from >= to || to > glyf->Data.size()) return {};
        return glyf->Data.substr(from, to - from);
    };

    std::set<uint32_t> keep{0};
    std::vector<uint32_t> pending{0};
    for (char32_t c : chars)
        if (uint32_t g = GlyphOf(cmap->Data, c); g && g < glyphs && keep.insert(g).second) pending.push_back(g);
    // A composite glyph is drawn from others: they come along, to any depth.
    while (!pending.empty()) {
        const std::string data = outline(pending.back());
        pending.pop_back();
        if (data.size() < 10 || int16_t(SfntU16(data, 0)) >= 0) continue;
        size_t at = 10;
        for (uint16_t flags = 0x20; (flags & 0x20) && at + 4 <= data.size();) {
            flags = SfntU16(data, at);
            const uint32_t part = SfntU16(data, at + 2);
            if (part < glyphs && keep.insert(part).second) pending.push_back(part);
            at += 4 + ((flags & 0x01) ? 4 : 2) + ((flags & 0x08) ? 2 : (flags & 0x40) ? 4 : (flags & 0x80) ? 8 : 0);
        }
    }

    std::string newGlyf, newLoca(4 * (size_t(glyphs) + 1), '\0');
    for (uint32_t g = 0; g < glyphs; ++g) {
        SfntPut32(newLoca, 4 * size_t(g), uint32_t(newGlyf.size()));
        if (!keep.count(g)) continue;
        newGlyf += outline(g);
        newGlyf.append((4 - newGlyf.size() % 4) % 4, '\0');
    }
    SfntPut32(newLoca, 4 * size_t(glyphs), uint32_t(newGlyf.size()));
    for (TSfntTable& t : tables) {
        if (t.Tag == "glyf") t.Data = std::move(newGlyf);
        else if (t.Tag == "loca") t.Data = std::move(newLoca);
        else if (t.Tag == "head") SfntPut16(t.Data, 50, 1);  // the new offsets are long ones
    }
    return SfntBuild(tables);
}
