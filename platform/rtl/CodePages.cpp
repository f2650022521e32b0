// Code-page tables: the upper half (0x80-0xFF) of each page; the lower half is ASCII.

#include "platform/rtl/CodePages.h"

#include <unordered_map>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Strings.h"

namespace {
// 0 marks a byte the page leaves undefined.
const char16_t kCp1250[128] = {
    0x20AC,
    0,
    0x201A,
    0,
    0x201E,
    0x2026,
    0x2020,
    0x2021,
    0,
    0x2030,
    0x0160,
    0x2039,
    0x015A,
    0x0164,
    0x017D,
    0x0179,
    0,
    0x2018,
    0x2019,
    0x201C,
    0x201D,
    0x2022,
    0x2013,
    0x2014,
    0,
    0x2122,
    0x0161,
    0x203A,
    0x015B,
    0x0165,
    0x017E,
    0x017A,
    0x00A0,
    0x02C7,
    0x02D8,
    0x0141,
    0x00A4,
    0x0104,
    0x00A6,
    0x00A7,
    0x00A8,
    0x00A9,
    0x015E,
    0x00AB,
    0x00AC,
    0x00AD,
    0x00AE,
    0x017B,
    0x00B0,
    0x00B1,
    0x02DB,
    0x0142,
    0x00B4,
    0x00B5,
    0x00B6,
    0x00B7,
    0x00B8,
    0x0105,
    0x015F,
    0x00BB,
    0x013D,
    0x02DD,
    0x013E,
    0x017C,
    0x0154,
    0x00C1,
    0x00C2,
    0x0102,
    0x00C4,
    0x0139,
    0x0106,
    0x00C7,
    0x010C,
    0x00C9,
    0x0118,
    0x00CB,
    0x011A,
    0x00CD,
    0x00CE,
    0x010E,
    0x0110,
    0x0143,
    0x0147,
    0x00D3,
    0x00D4,
    0x0150,
    0x00D6,
    0x00D7,
    0x0158,
    0x016E,
    0x00DA,
    0x0170,
    0x00DC,
    0x00DD,
    0x0162,
    0x00DF,
    0x0155,
    0x00E1,
    0x00E2,
    0x0103,
    0x00E4,
    0x013A,
    0x0107,
    0x00E7,
    0x010D,
    0x00E9,
    0x0119,
    0x00EB,
    0x011B,
    0x00ED,
    0x00EE,
    0x010F,
    0x0111,
    0x0144,
    0x0148,
    0x00F3,
    0x00F4,
    0x0151,
    0x00F6,
    0x00F7,
    0x0159,
    0x016F,
    0x00FA,
    0x0171,
    0x00FC,
    0x00FD,
    0x0163,
    0x02D9,
};
const char16_t kCp1252[32] = {
    0x20AC,
    0,
    0x201A,
    0x0192,
    0x201E,
    0x2026,
    0x2020,
    0x2021,
    0x02C6,
    0x2030,
    0x0160,
    0x2039,
    0x0152,
    0,
    0x017D,
    0,
    0,
    0x2018,
    0x2019,
    0x201C,
    0x201D,
    0x2022,
    0x2013,
    0x2014,
    0x02DC,
    0x2122,
    0x0161,
    0x203A,
    0x0153,
    0,
    0x017E,
    0x0178,
};

[[noreturn]] void Unsupported(int codePage) {
    throw EConvertError("Code page " + std::to_string(codePage) + " is not supported");
}

const std::unordered_map<char32_t, unsigned char>& ReverseTable(int codePage) {
    auto build = [](int cp) {
        std::unordered_map<char32_t, unsigned char> m;
        for (int b = 0x80; b <= 0xFF; ++b)
            m.emplace(CodePageChar(static_cast<unsigned char>(b), cp), static_cast<unsigned char>(b));
        return m;
    };
    static const auto k1250 = build(1250);
    static const auto k1252 = build(1252);
    return codePage == 1250 ? k1250 : k1252;
}

void AppendUnit(std::string& out, char32_t u) {
    out += char((u >> 8) & 0xFF);
    out += char(u & 0xFF);
}
}  // namespace

bool CodePageSupported(int codePage) noexcept { return codePage == 1250 || codePage == 1252; }

char32_t CodePageChar(unsigned char byte, int codePage) {
    if (!CodePageSupported(codePage)) Unsupported(codePage);
    if (byte < 0x80) return byte;
    char16_t c = 0;
    if (codePage == 1250) c = kCp1250[byte - 0x80];
    else c = byte < 0xA0 ? kCp1252[byte - 0x80] : char16_t(byte);
    return c ? char32_t(c) : char32_t(byte);
}

std::string CodePageToUtf8(std::string_view bytes, int codePage) {
    if (!CodePageSupported(codePage)) Unsupported(codePage);
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 4);
    for (char ch : bytes) {
        auto b = static_cast<unsigned char>(ch);
        if (b < 0x80) out += ch;
        else Utf8Append(out, CodePageChar(b, codePage));
    }
    return out;
}

std::string Utf8ToCodePage(std::string_view utf8, int codePage) {
    if (!CodePageSupported(codePage)) Unsupported(codePage);
    const auto& reverse = ReverseTable(codePage);
    std::string out;
    out.reserve(utf8.size());
    size_t pos = 0;
    while (pos < utf8.size()) {
        char32_t c = Utf8Next(utf8, pos);
        if (c < 0x80) {
            out += char(c);
            continue;
        }
        auto it = reverse.find(c);
        out += it != reverse.end() ? char(it->second) : '?';
    }
    return out;
}

std::string Utf8ToUtf16BE(std::string_view utf8, bool bom) {
    std::string out;
    out.reserve(utf8.size() * 2 + 2);
    if (bom) out += "\xFE\xFF";
    size_t pos = 0;
    while (pos < utf8.size()) {
        char32_t c = Utf8Next(utf8, pos);
        if (c >= 0x10000) {
            c -= 0x10000;
            AppendUnit(out, 0xD800 + (c >> 10));
            AppendUnit(out, 0xDC00 + (c & 0x3FF));
        } else {
            AppendUnit(out, c);
        }
    }
    return out;
}

std::string Utf16BEToUtf8(std::string_view bytes) {
    std::string out;
    size_t i = 0;
    auto unit = [&](size_t at) {
        return char32_t((static_cast<unsigned char>(bytes[at]) << 8) | static_cast<unsigned char>(bytes[at + 1]));
    };
    if (bytes.size() >= 2 && unit(0) == 0xFEFF) i = 2;
    for (; i + 1 < bytes.size(); i += 2) {
        char32_t u = unit(i);
        if (u >= 0xD800 && u < 0xDC00 && i + 3 < bytes.size() && unit(i + 2) >= 0xDC00 && unit(i + 2) < 0xE000) {
            Utf8Append(out, 0x10000 + ((u - 0xD800) << 10) + (unit(i + 2) - 0xDC00));
            i += 2;
        } else if (u >= 0xD800 && u < 0xE000) {
            Utf8Append(out, 0xFFFD);
        } else {
            Utf8Append(out, u);
        }
    }
    if (i < bytes.size()) Utf8Append(out, 0xFFFD);
    return out;
}
