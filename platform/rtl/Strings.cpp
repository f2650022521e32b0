#include "platform/rtl/Strings.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cstring>

namespace {

// Internally an invalid byte b decodes to the pseudo code point kInvalidBase + b. Keeping
// invalid bytes apart (instead of collapsing them all to U+FFFD) lets case mapping copy
// them through unchanged and keeps comparison consistent with byte equality.
constexpr char32_t kInvalidBase = 0x110000;

struct Decoded {
    char32_t cp;
    unsigned len;
};

inline Decoded Decode(std::string_view s, size_t pos) noexcept {
    assert(pos < s.size());
    const auto b0 = static_cast<unsigned char>(s[pos]);
    if (b0 < 0x80) return {b0, 1};
    const Decoded bad{kInvalidBase + b0, 1};
    unsigned n;
    char32_t cp, min;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        n = 2;
        cp = b0 & 0x1F;
        min = 0x80;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        n = 3;
        cp = b0 & 0x0F;
        min = 0x800;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        n = 4;
        cp = b0 & 0x07;
        min = 0x10000;
    } else return bad;
    if (s.size() - pos < n) return bad;
    for (unsigned i = 1; i < n; ++i) {
        const auto b = static_cast<unsigned char>(s[pos + i]);
        if ((b & 0xC0) != 0x80) return bad;
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return bad;
    return {cp, n};
}

// Appends a code point or, for a pseudo code point, the invalid byte it stands for.
inline void AppendRaw(std::string& out, char32_t cp) {
    if (cp >= kInvalidBase) out.push_back(static_cast<char>(cp - kInvalidBase));
    else Utf8Append(out, cp);
}

inline bool IsAsciiUpper(char c) noexcept { return c >= 'A' && c <= 'Z'; }
inline bool IsAsciiLower(char c) noexcept { return c >= 'a' && c <= 'z'; }
inline char AsciiUpper(char c) noexcept { return IsAsciiLower(c) ? char(c - 32) : c; }
inline char AsciiLower(char c) noexcept { return IsAsciiUpper(c) ? char(c + 32) : c; }

bool AllAscii(std::string_view s) noexcept {
    for (char c : s)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

template <class Map>
std::string MapCase(std::string_view s, Map map) {
    std::string out;
    out.reserve(s.size());
    for (size_t pos = 0; pos < s.size();) {
        const auto b = static_cast<unsigned char>(s[pos]);
        if (b < 0x80) {
            out.push_back(static_cast<char>(map(b)));
            ++pos;
            continue;
        }
        const Decoded d = Decode(s, pos);
        AppendRaw(out, d.cp >= kInvalidBase ? d.cp : map(d.cp));
        pos += d.len;
    }
    return out;
}

// --- collation ------------------------------------------------------------------------------
//
// Czech alphabetical order on three levels, then a final tie-break:
//  1. primary: characters that are neither letters nor digits (by code point), then the
//     digits, then the Czech alphabet
//        A B C Č D E F G H CH I J K L M N O P Q R Ř S Š T U V W X Y Z Ž
//     ("ch" in any case is one letter after H; Č Ř Š Ž are letters of their own), then other
//     letters by code point. Other accented Latin letters (Á Ď É Ě Í Ň Ó Ť Ú Ů Ý, Ä Ö Ü, ...)
//     share the primary weight of their base letter.
//  2. secondary: the accent, compared left to right: none < acute < caron < ring < others,
//     so a < á, e < é < ě, u < ú < ů, d < ď.
//  3. tertiary (case-sensitive comparison only): lower case before upper case.
//  4. tie-break: code points (upper-cased ones when case is ignored). This makes both
//     orders total: AnsiCompareText is 0 exactly when the upper-cased texts are equal, and
//     AnsiCompareStr is 0 exactly when the texts are equal.
// Every weight is a function of the upper-cased character, which keeps level 1 and 2
// consistent with folded equality.

// Per character U+00C0..U+017F: base letter and accent code of the upper-case form.
// "--" not a letter (or a lower-case letter, never looked up), "* " another letter.
// Accents: a acute, v caron, o ring, g grave, c circumflex, d diaeresis, t tilde, b breve,
// m macron, q ogonek, . dot, , cedilla, " double acute, / stroke, : middle dot.
constexpr const char kLatinTable[] =
    // U+00C0
    "AgAaAcAtAdAo* C,EgEaEcEdIgIaIcId"
    "D/NtOgOaOcOtOd--O/UgUaUcUdYa* * "
    "----------------------------------------------------------------"
    // U+0100
    "Am--Ab--Aq--Ca--Cc--C.--Cv--Dv--D/--Em--Eb--E.--Eq--Ev--Gc--Gb--"
    "G.--G,--Hc--H/--It--Im--Ib--Iq--I.* * --Jc--K,--* La--L,--Lv--L:"
    "--L/--Na--N,--Nv--* * --Om--Ob--O\"--* --Ra--R,--Rv--Sa--Sc--S,--"
    "Sv--T,--Tv--T/--Ut--Um--Ub--Uo--U\"--Uq--Wc--Yc--YdZa--Z.--Zv--* ";
static_assert(sizeof(kLatinTable) - 1 == 2 * (0x180 - 0xC0), "one entry per character");

constexpr char kAccents[] = "avogcdtbmq.,\"/:";

constexpr uint32_t kDigitBase = 0x200000;
constexpr uint32_t kAlphabetBase = 0x200100;
constexpr uint32_t kOtherLetterBase = 0x300000;

// Index of a base letter A..Z in the Czech alphabet above.
constexpr uint32_t AlphabetIndex(char upper) noexcept {
    uint32_t i = uint32_t(upper - 'A');
    if (upper > 'C') ++i;  // Č
    if (upper > 'H') ++i;  // CH
    if (upper > 'R') ++i;  // Ř
    if (upper > 'S') ++i;  // Š
    return i;
}
constexpr uint32_t kIdxCH = AlphabetIndex('H') + 1;

struct Weights {
    uint32_t primary;
    uint8_t secondary;
};

constexpr uint32_t AsciiPrimary(char32_t c) noexcept {
    if (c >= 'a' && c <= 'z') c -= 32;
    if (c >= '0' && c <= '9') return kDigitBase + (c - '0');
    if (c >= 'A' && c <= 'Z') return kAlphabetBase + AlphabetIndex(char(c));
    return uint32_t(c) + 1;
}

constexpr auto kAsciiPrimary = [] {
    std::array<uint32_t, 128> t{};
    for (char32_t c = 0; c < 128; ++c) t[c] = AsciiPrimary(c);
    return t;
}();

Weights WeightsOf(char32_t u) noexcept {  // u is upper-cased
    if (u < 0x80) return {kAsciiPrimary[u], 0};
    if (u >= 0xC0 && u < 0x180) {
        const char* e = kLatinTable + 2 * (u - 0xC0);
        if (e[0] == '*') return {kOtherLetterBase + uint32_t(u), 0};
        if (e[0] != '-') {
            const uint8_t accent = uint8_t(std::strchr(kAccents, e[1]) - kAccents + 1);
            const bool ownLetter = e[1] == 'v' && (e[0] == 'C' || e[0] == 'R' || e[0] == 'S' || e[0] == 'Z');
            if (ownLetter) return {kAlphabetBase + AlphabetIndex(e[0]) + 1, 0};
            return {kAlphabetBase + AlphabetIndex(e[0]), accent};
        }
    }
    if (u < kInvalidBase && IsCharAlpha(u)) return {kOtherLetterBase + uint32_t(u), 0};
    return {uint32_t(u) + 1, 0};
}

struct CollElem {
    uint32_t primary;
    uint8_t secondary;
    uint8_t tertiary;
};

// Walks a text as collation elements ("ch" is one element); allocates nothing.
class CollIter {
public:
    explicit CollIter(std::string_view s) noexcept : FS(s) {}
    bool Next(CollElem& e) noexcept {
        if (FPos >= FS.size()) return false;
        const auto b = static_cast<unsigned char>(FS[FPos]);
        if (b < 0x80 && b != 'c' && b != 'C') {
            ++FPos;
            e = {kAsciiPrimary[b], 0, uint8_t(b >= 'A' && b <= 'Z')};
            return true;
        }
        const char32_t c = Take();
        const char32_t u = CharUpper(c);
        if (u == 'C' && FPos < FS.size()) {
            const Decoded d = Decode(FS, FPos);
            if (CharUpper(d.cp) == 'H') {
                FPos += d.len;
                e = {kAlphabetBase + kIdxCH, 0, uint8_t((IsUpperRaw(c) << 1) | IsUpperRaw(d.cp))};
                return true;
            }
        }
        const Weights w = WeightsOf(u);
        e = {w.primary, w.secondary, uint8_t(IsUpperRaw(c))};
        return true;
    }

private:
    char32_t Take() noexcept {
        const Decoded d = Decode(FS, FPos);
        FPos += d.len;
        return d.cp;
    }
    static bool IsUpperRaw(char32_t c) noexcept { return CharLower(c) != c; }

    std::string_view FS;
    size_t FPos = 0;
};

template <class Key>
int CompareLevel(std::string_view a, std::string_view b, Key key) noexcept {
    CollIter ia(a), ib(b);
    CollElem ea{}, eb{};
    for (;;) {
        const bool ha = ia.Next(ea), hb = ib.Next(eb);
        if (!ha || !hb) return ha == hb ? 0 : (ha ? 1 : -1);
        const auto ka = key(ea), kb = key(eb);
        if (ka != kb) return ka < kb ? -1 : 1;
    }
}

int CompareCodePoints(std::string_view a, std::string_view b, bool fold) noexcept {
    size_t pa = 0, pb = 0;
    while (pa < a.size() && pb < b.size()) {
        const Decoded da = Decode(a, pa), db = Decode(b, pb);
        const char32_t ca = fold ? CharUpper(da.cp) : da.cp;
        const char32_t cb = fold ? CharUpper(db.cp) : db.cp;
        if (ca != cb) return ca < cb ? -1 : 1;
        pa += da.len;
        pb += db.len;
    }
    if (pa < a.size()) return 1;
    if (pb < b.size()) return -1;
    return 0;
}

int Collate(std::string_view a, std::string_view b, bool caseSensitive) noexcept {
    // Skip the common start up to a point where both texts are surely split between two
    // elements: after an ASCII character that cannot begin "ch" (multi-byte characters and
    // "ch" never reach across an ASCII byte).
    size_t p = 0;
    const size_t n = std::min(a.size(), b.size());
    while (p < n && a[p] == b[p]) ++p;
    while (p > 0 && (static_cast<unsigned char>(a[p - 1]) >= 0x80 || a[p - 1] == 'c' || a[p - 1] == 'C')) --p;
    a.remove_prefix(p);
    b.remove_prefix(p);
    if (int r = CompareLevel(a, b, [](const CollElem& e) { return e.primary; })) return r;
    if (int r = CompareLevel(a, b, [](const CollElem& e) { return e.secondary; })) return r;
    if (caseSensitive)
        if (int r = CompareLevel(a, b, [](const CollElem& e) { return e.tertiary; })) return r;
    return CompareCodePoints(a, b, !caseSensitive);
}

// Letter ranges (inclusive) beyond ASCII: Latin, Greek, Cyrillic, Armenian, Hebrew, Arabic,
// kana, CJK ideographs and Hangul, which covers the text a school office meets.
constexpr char32_t kLetterRanges[][2] = {
    {0xAA, 0xAA},
    {0xB5, 0xB5},
    {0xBA, 0xBA},
    {0xC0, 0xD6},
    {0xD8, 0xF6},
    {0xF8, 0x2C1},
    {0x2C6, 0x2D1},
    {0x2E0, 0x2E4},
    {0x370, 0x374},
    {0x376, 0x377},
    {0x37A, 0x37D},
    {0x37F, 0x37F},
    {0x386, 0x386},
    {0x388, 0x38A},
    {0x38C, 0x38C},
    {0x38E, 0x3A1},
    {0x3A3, 0x3F5},
    {0x3F7, 0x481},
    {0x48A, 0x52F},
    {0x531, 0x556},
    {0x560, 0x588},
    {0x5D0, 0x5EA},
    {0x620, 0x64A},
    {0x1E00, 0x1FBC},
    {0x1FC2, 0x1FCC},
    {0x1FD0, 0x1FDB},
    {0x1FE0, 0x1FEC},
    {0x1FF2, 0x1FFC},
    {0x3041, 0x3096},
    {0x30A1, 0x30FA},
    {0x4E00, 0x9FFF},
    {0xAC00, 0xD7A3},
};

}  // namespace

// --- code points ---------------------------------------------------------------------------

char32_t Utf8Next(std::string_view s, size_t& pos) noexcept {
    if (pos >= s.size()) return 0;
    const Decoded d = Decode(s, pos);
    pos += d.len;
    return d.cp >= kInvalidBase ? char32_t(0xFFFD) : d.cp;
}

void Utf8Append(std::string& out, char32_t cp) {
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

std::string Utf8FromCodePoint(char32_t cp) {
    std::string s;
    Utf8Append(s, cp);
    return s;
}

std::u32string Utf8ToU32(std::string_view s) {
    std::u32string out;
    out.reserve(s.size());
    for (size_t pos = 0; pos < s.size();) out.push_back(Utf8Next(s, pos));
    return out;
}

std::string U32ToUtf8(std::u32string_view s) {
    std::string out;
    out.reserve(s.size());
    for (char32_t c : s) Utf8Append(out, c);
    return out;
}

bool Utf8Valid(std::string_view s) noexcept {
    for (size_t pos = 0; pos < s.size();) {
        const Decoded d = Decode(s, pos);
        if (d.cp >= kInvalidBase) return false;
        pos += d.len;
    }
    return true;
}

size_t Utf8ByteOffset(std::string_view s, int64_t index) noexcept {
    size_t pos = 0;
    for (int64_t i = 1; i < index && pos < s.size(); ++i) pos += Decode(s, pos).len;
    return pos;
}

// --- the class library's string routines ----------------------------------------------------

int64_t Utf8Length(std::string_view s) noexcept {
    int64_t n = 0;
    for (size_t pos = 0; pos < s.size(); ++n) {
        if (static_cast<unsigned char>(s[pos]) < 0x80) ++pos;
        else pos += Decode(s, pos).len;
    }
    return n;
}

std::string Utf8Copy(std::string_view s, int64_t index, int64_t count) {
    if (count <= 0) return {};
    if (index < 1) index = 1;
    const size_t from = Utf8ByteOffset(s, index);
    size_t to = from;
    for (int64_t i = 0; i < count && to < s.size(); ++i) to += Decode(s, to).len;
    return std::string(s.substr(from, to - from));
}

int64_t Utf8Pos(std::string_view sub, std::string_view s, int64_t from) {
    if (sub.empty() || from < 1) return 0;
    size_t pos = Utf8ByteOffset(s, from);
    int64_t index = from;
    // Byte search, accepting a hit only where a character starts (invalid input may hold a
    // match that starts inside a character).
    for (;;) {
        const size_t hit = s.find(sub, pos);
        if (hit == std::string_view::npos) return 0;
        while (pos < hit) {
            pos += Decode(s, pos).len;
            ++index;
        }
        if (pos == hit) return index;
    }
}

void Utf8Delete(std::string& s, int64_t index, int64_t count) {
    if (index < 1 || count <= 0) return;
    const size_t from = Utf8ByteOffset(s, index);
    if (from >= s.size()) return;
    size_t to = from;
    for (int64_t i = 0; i < count && to < s.size(); ++i) to += Decode(s, to).len;
    s.erase(from, to - from);
}

void Utf8Insert(std::string_view sub, std::string& s, int64_t index) { s.insert(Utf8ByteOffset(s, index), sub); }

char32_t Utf8CharAt(std::string_view s, int64_t index) {
    if (index < 1) return 0;
    size_t pos = Utf8ByteOffset(s, index);
    return pos < s.size() ? Utf8Next(s, pos) : 0;
}

void Utf8SetLength(std::string& s, int64_t length) {
    if (length <= 0) {
        s.clear();
        return;
    }
    size_t pos = 0;
    int64_t n = 0;
    for (; n < length && pos < s.size(); ++n) pos += Decode(s, pos).len;
    if (pos < s.size()) s.resize(pos);
    else s.append(size_t(length - n), ' ');
}

std::string StringOfChar(char32_t c, int64_t count) {
    std::string out;
    if (count <= 0) return out;
    const std::string one = Utf8FromCodePoint(c);
    out.reserve(one.size() * size_t(count));
    for (int64_t i = 0; i < count; ++i) out += one;
    return out;
}

// --- case and comparison --------------------------------------------------------------------
// Latin-1 and Latin Extended-A (every letter of the Central European 8-bit code page): the
// mapping is one code point to one code point of the same UTF-8 length, so byte offsets in
// a folded text are those of the original. ß, ĸ, ŉ, ſ and the Turkish dotted/dotless i have
// no one-to-one partner and stay as they are.

char32_t CharUpper(char32_t c) noexcept {
    if (c < 0x80) return (c >= 'a' && c <= 'z') ? c - 32 : c;
    if (c < 0xE0) return c;
    if (c < 0x100) {
        if (c == 0xF7) return c;
        return c == 0xFF ? char32_t(0x178) : c - 0x20;
    }
    if (c <= 0x137) return (c == 0x130 || c == 0x131) ? c : (c & ~char32_t(1));
    if (c >= 0x139 && c <= 0x148) return (c & 1) ? c : c - 1;
    if (c >= 0x14A && c <= 0x177) return c & ~char32_t(1);
    if (c >= 0x179 && c <= 0x17E) return (c & 1) ? c : c - 1;
    return c;
}

char32_t CharLower(char32_t c) noexcept {
    if (c < 0x80) return (c >= 'A' && c <= 'Z') ? c + 32 : c;
    if (c < 0xC0) return c;
    if (c < 0xDF) return c == 0xD7 ? c : c + 0x20;
    if (c < 0x100) return c;
    if (c <= 0x137) return (c == 0x130 || c == 0x131) ? c : (c | 1);
    if (c >= 0x139 && c <= 0x148) return (c & 1) ? c + 1 : c;
    if (c >= 0x14A && c <= 0x177) return c | 1;
    if (c == 0x178) return 0xFF;
    if (c >= 0x179 && c <= 0x17E) return (c & 1) ? c + 1 : c;
    return c;
}

bool IsCharAlpha(char32_t c) noexcept {
    if (c < 0x80) return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    const auto* end = std::end(kLetterRanges);
    const auto* it = std::upper_bound(
        std::begin(kLetterRanges), end, c, [](char32_t v, const char32_t(&r)[2]) { return v < r[0]; });
    return it != std::begin(kLetterRanges) && c <= (it - 1)[0][1];
}

bool IsCharAlphaNumeric(char32_t c) noexcept { return (c >= '0' && c <= '9') || IsCharAlpha(c); }
bool IsCharUpper(char32_t c) noexcept { return CharLower(c) != c; }
bool IsCharLower(char32_t c) noexcept { return CharUpper(c) != c; }

std::string AnsiUpperCase(std::string_view s) { return MapCase(s, CharUpper); }
std::string AnsiLowerCase(std::string_view s) { return MapCase(s, CharLower); }

std::string UpperCase(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = AsciiUpper(c);
    return out;
}

std::string LowerCase(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = AsciiLower(c);
    return out;
}

int AnsiCompareStr(std::string_view a, std::string_view b) {
    if (a == b) return 0;
    return Collate(a, b, true);
}

int AnsiCompareText(std::string_view a, std::string_view b) { return Collate(a, b, false); }

bool AnsiSameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;  // folding keeps the byte length
    if (AllAscii(a) && AllAscii(b)) return SameText(a, b);
    return CompareCodePoints(a, b, true) == 0;
}

bool AnsiSameStr(std::string_view a, std::string_view b) { return a == b; }

int CompareStr(std::string_view a, std::string_view b) noexcept {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const int d = int(static_cast<unsigned char>(a[i])) - int(static_cast<unsigned char>(b[i]));
        if (d != 0) return d;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

int CompareText(std::string_view a, std::string_view b) noexcept {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const int d = int(static_cast<unsigned char>(AsciiUpper(a[i]))) -
            int(static_cast<unsigned char>(AsciiUpper(b[i])));
        if (d != 0) return d;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool SameText(std::string_view a, std::string_view b) noexcept {
    return a.size() == b.size() && CompareText(a, b) == 0;
}

bool AnsiStartsText(std::string_view prefix, std::string_view s) {
    size_t pp = 0, ps = 0;
    while (pp < prefix.size()) {
        if (ps >= s.size()) return false;
        const Decoded dp = Decode(prefix, pp), ds = Decode(s, ps);
        if (CharUpper(dp.cp) != CharUpper(ds.cp)) return false;
        pp += dp.len;
        ps += ds.len;
    }
    return true;
}

// --- trimming, replacing, splitting ---------------------------------------------------------

namespace {
inline bool IsBlank(char c) noexcept { return static_cast<unsigned char>(c) <= ' '; }
}  // namespace

std::string Trim(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b])) ++b;
    while (e > b && IsBlank(s[e - 1])) --e;
    return std::string(s.substr(b, e - b));
}

std::string TrimLeft(std::string_view s) {
    size_t b = 0;
    while (b < s.size() && IsBlank(s[b])) ++b;
    return std::string(s.substr(b));
}

std::string TrimRight(std::string_view s) {
    size_t e = s.size();
    while (e > 0 && IsBlank(s[e - 1])) --e;
    return std::string(s.substr(0, e));
}

std::string StringReplace(
    std::string_view s, std::string_view oldPattern, std::string_view newPattern, unsigned flags) {
    if (oldPattern.empty()) return std::string(s);
    // Folding keeps byte lengths, so offsets found in the folded text are offsets in `s`.
    std::string foldedText, foldedPattern;
    std::string_view text = s, pattern = oldPattern;
    if (flags & rfIgnoreCase) {
        foldedText = AnsiUpperCase(s);
        foldedPattern = AnsiUpperCase(oldPattern);
        text = foldedText;
        pattern = foldedPattern;
    }
    std::string out;
    out.reserve(s.size());
    size_t pos = 0, boundary = 0;
    for (;;) {
        size_t hit = text.find(pattern, pos);
        // Invalid input may put a hit inside a character; such a hit is skipped.
        while (hit != std::string_view::npos) {
            while (boundary < hit) boundary += Decode(text, boundary).len;
            if (boundary == hit) break;
            hit = text.find(pattern, hit + 1);
        }
        if (hit == std::string_view::npos) break;
        out.append(s.substr(pos, hit - pos));
        out.append(newPattern);
        pos = boundary = hit + pattern.size();
        if (!(flags & rfReplaceAll)) break;
    }
    out.append(s.substr(pos));
    return out;
}

std::string QuotedStr(std::string_view s, char quote) {
    std::string out;
    out.reserve(s.size() + 2);
    out.push_back(quote);
    for (char c : s) {
        out.push_back(c);
        if (c == quote) out.push_back(quote);
    }
    out.push_back(quote);
    return out;
}

std::string AnsiDequotedStr(std::string_view s, char quote) {
    if (s.empty() || s[0] != quote) return std::string(s);
    std::string out;
    for (size_t i = 1; i < s.size(); ++i) {
        if (s[i] != quote) {
            out.push_back(s[i]);
        } else if (i + 1 < s.size() && s[i + 1] == quote) {
            out.push_back(quote);
            ++i;
        } else {
            return out;  // closing quote; what follows it is dropped
        }
    }
    return std::string(s);  // no closing quote: not a quoted text
}

std::string IntToHex(int64_t value, int digits) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    auto u = static_cast<uint64_t>(value);
    char buf[16];
    int n = 0;
    do {
        buf[n++] = kHex[u & 0xF];
        u >>= 4;
    } while (u != 0);
    std::string out;
    if (digits > n) out.assign(size_t(digits - n), '0');
    while (n > 0) out.push_back(buf[--n]);
    return out;
}
