#include "platform/rtl/Sfnt.h"

uint16_t SfntU16(const std::string& s, size_t at) noexcept {
    if (at + 2 > s.size()) return 0;
    return uint16_t(uint8_t(s[at]) << 8 | uint8_t(s[at + 1]));
}

uint32_t SfntU32(const std::string& s, size_t at) noexcept {
    return uint32_t(SfntU16(s, at)) << 16 | SfntU16(s, at + 2);
}

void SfntPut16(std::string& s, size_t at, uint16_t v) {
    s[at] = char(v >> 8);
    s[at + 1] = char(v);
}

void SfntPut32(std::string& s, size_t at, uint32_t v) {
    SfntPut16(s, at, uint16_t(v >> 16));
    SfntPut16(s, at + 2, uint16_t(v));
}

namespace {
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

std::vector<TSfntTable> SfntRead(const std::string& program) {
    const uint32_t version = SfntU32(program, 0);
    if (program.size() < 12 || (version != 0x00010000u && version != 0x74727565u /* 'true' */)) return {};
    const uint16_t n = SfntU16(program, 4);
    if (12 + 16 * size_t(n) > program.size()) return {};
    std::vector<TSfntTable> tables;
    tables.reserve(n);
    for (size_t i = 0; i < n; ++i) {
        const size_t dir = 12 + 16 * i;
        const size_t at = SfntU32(program, dir + 8), length = SfntU32(program, dir + 12);
        if (at > program.size() || length > program.size() - at) return {};
        tables.push_back({program.substr(dir, 4), program.substr(at, length)});
    }
    return tables;
}

std::string SfntBuild(const std::vector<TSfntTable>& tables) {
    const uint16_t n = uint16_t(tables.size());
    uint16_t entrySelector = 0;
    while ((2u << entrySelector) <= n) ++entrySelector;
    const uint16_t searchRange = uint16_t(16u << entrySelector);
    std::string out(12 + 16 * size_t(n), '\0');
    SfntPut32(out, 0, 0x00010000);
    SfntPut16(out, 4, n);
    SfntPut16(out, 6, searchRange);
    SfntPut16(out, 8, entrySelector);
    SfntPut16(out, 10, uint16_t(n * 16 - searchRange));
    size_t headAt = 0;
    for (size_t i = 0; i < tables.size(); ++i) {
        const size_t at = out.size();
        out += tables[i].Data;
        if (tables[i].Tag == "head" && tables[i].Data.size() >= 12) {
            headAt = at;
            SfntPut32(out, at + 8, 0);  // the whole-file adjustment, set below
        }
        out.append((4 - tables[i].Data.size() % 4) % 4, '\0');
        const size_t dir = 12 + 16 * i;
        std::string tag = tables[i].Tag;
        tag.resize(4, ' ');
        out.replace(dir, 4, tag);
        SfntPut32(out, dir + 4, CheckSum(out, at, tables[i].Data.size()));
        SfntPut32(out, dir + 8, uint32_t(at));
        SfntPut32(out, dir + 12, uint32_t(tables[i].Data.size()));
    }
    if (headAt) SfntPut32(out, headAt + 8, 0xB1B0AFBAu - CheckSum(out, 0, out.size()));
    return out;
}
