#include "script/Tokenizer.h"

#include <algorithm>

#include "platform/rtl/Strings.h"

namespace {

bool IsDigit(char32_t c) noexcept { return c >= U'0' && c <= U'9'; }

bool IsHexDigit(char32_t c) noexcept { return IsDigit(c) || (c >= U'a' && c <= U'f') || (c >= U'A' && c <= U'F'); }

int HexValue(char32_t c) noexcept {
    if (IsDigit(c)) return int(c - U'0');
    return int((c | 0x20) - U'a') + 10;
}

std::string AsciiUpper(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    return r;
}

// A code that is no character (beyond Unicode, or a surrogate half) becomes U+FFFD instead
// of corrupting the text.
char32_t SafeCodePoint(uint64_t code) noexcept {
    if (code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0xFFFD;
    return char32_t(code);
}

}  // namespace

const std::u32string& TfsParser::Cached::Of(const std::string& s) {
    if (s != Source || (Value.empty() && !s.empty())) {
        Source = s;
        Value = Utf8ToU32(s);
    }
    return Value;
}

void TfsParser::Reset() {
    FKeywords.clear();
    CommentLine1 = "//";
    CommentLine2.clear();
    SetCommentBlock1("{,}");
    SetCommentBlock2("(*,*)");
    HexSequence = "$";
    SetIdentChars("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ_abcdefghijklmnopqrstuvwxyz");
    SkipChar.clear();
    SkipEOL = true;
    StringQuotes = "'";
    SkipSpace = true;
}

void TfsParser::AssignSettings(const TfsParser& source) {
    CommentLine1 = source.CommentLine1;
    CommentLine2 = source.CommentLine2;
    HexSequence = source.HexSequence;
    StringQuotes = source.StringQuotes;
    SkipChar = source.SkipChar;
    SkipEOL = source.SkipEOL;
    SkipSpace = source.SkipSpace;
    FBlock1Open = source.FBlock1Open;
    FBlock1Close = source.FBlock1Close;
    FBlock2Open = source.FBlock2Open;
    FBlock2Close = source.FBlock2Close;
    FIdentAscii = source.FIdentAscii;
    FIdentOther = source.FIdentOther;
    FIdentExtended = source.FIdentExtended;
    FKeywords = source.FKeywords;
}

static void SplitBlock(std::string_view text, std::u32string& open, std::u32string& close) {
    size_t comma = text.find(',');
    std::string_view first = text.substr(0, comma);
    std::string_view second;
    if (comma != std::string_view::npos) {
        second = text.substr(comma + 1);
        second = second.substr(0, second.find(','));
    }
    open = Utf8ToU32(first);
    close = Utf8ToU32(second);
}

void TfsParser::SetCommentBlock1(std::string_view openCommaClose) {
    SplitBlock(openCommaClose, FBlock1Open, FBlock1Close);
}

void TfsParser::SetCommentBlock2(std::string_view openCommaClose) {
    SplitBlock(openCommaClose, FBlock2Open, FBlock2Close);
}

void TfsParser::SetIdentChars(std::string_view chars) {
    FIdentAscii.reset();
    FIdentOther.clear();
    FIdentExtended = false;
    for (char32_t c : Utf8ToU32(chars)) {
        if (c < 128) FIdentAscii.set(c);
        else FIdentOther.insert(c);
    }
}

void TfsParser::AddExtendedIdentChars() { FIdentExtended = true; }

bool TfsParser::IsIdentChar(char32_t c) const noexcept {
    if (c < 128) return FIdentAscii.test(c);
    return FIdentExtended || FIdentOther.count(c) != 0;
}

void TfsParser::AddKeyword(std::string_view word) { FKeywords.insert(AsciiUpper(word)); }

bool TfsParser::IsKeyword(std::string_view word) const {
    return !word.empty() && FKeywords.count(AsciiUpper(word)) != 0;
}

void TfsParser::SetText(std::string_view text) {
    FText = Utf8ToU32(text);
    FBuffer = FText;
    FBuffer.push_back(0);
    FPosition = FTokenStart = 1;
    FLineStarts.assign(1, 0);
    for (size_t i = 0; i < FText.size(); ++i)
        if (FText[i] == U'\n') FLineStarts.push_back(int(i) + 1);
}

char32_t TfsParser::CharAt(int position) const noexcept {
    if (position < 1 || position > Size()) return 0;
    return FText[size_t(position - 1)];
}

std::string TfsParser::Copy(int from, int to) const {
    from = std::max(from, 1);
    to = std::min(to, Size() + 1);
    if (to <= from) return std::string();
    return U32ToUtf8(std::u32string_view(FText).substr(size_t(from - 1), size_t(to - from)));
}

bool TfsParser::StartsWith(int position, const std::u32string& s) const noexcept {
    if (position < 1 || size_t(position - 1) + s.size() > FText.size()) return false;
    return std::u32string_view(FText).substr(size_t(position - 1), s.size()) == s;
}

bool TfsParser::LineCommentAt(int position, const std::u32string& opener) const noexcept {
    if (opener.empty() || !StartsWith(position, opener)) return false;
    // A word-like opener ("rem") opens a comment only as a whole word: "remaining" is a name.
    if (IsIdentChar(opener.back()) && IsIdentChar(CharAt(position + int(opener.size())))) return false;
    return true;
}

void TfsParser::SkipSpaces() {
    const std::u32string& line1 = FLine1.Of(CommentLine1);
    const std::u32string& line2 = FLine2.Of(CommentLine2);
    const std::u32string& skip = FSkip.Of(SkipChar);
    auto isBlank = [this](char32_t c) { return c <= 32 && (SkipEOL || c != U'\r'); };
    for (;;) {
        while (FPosition <= Size() && isBlank(CharAt(FPosition))) ++FPosition;
        if (FPosition <= Size() && !skip.empty() && CharAt(FPosition) == skip[0]) {
            ++FPosition;
            SkipLineEnd();
            continue;
        }
        if (FPosition < Size()) {
            if (LineCommentAt(FPosition, line1) || LineCommentAt(FPosition, line2)) {
                // The comment ends before the line end, CR included: where line ends are
                // significant, a comment must not swallow the end of its line.
                while (FPosition <= Size() && CharAt(FPosition) != U'\n' && CharAt(FPosition) != U'\r') ++FPosition;
                continue;
            }
            const std::u32string* close = nullptr;
            if (!FBlock1Open.empty() && StartsWith(FPosition, FBlock1Open)) {
                FPosition += int(FBlock1Open.size());
                close = &FBlock1Close;
            } else if (!FBlock2Open.empty() && StartsWith(FPosition, FBlock2Open)) {
                FPosition += int(FBlock2Open.size());
                close = &FBlock2Close;
            }
            if (close) {
                while (FPosition <= Size() && !StartsWith(FPosition, *close)) ++FPosition;
                FPosition = std::min(FPosition + int(close->size()), Size() + 1);
                continue;
            }
        }
        break;
    }
    FTokenStart = FPosition;
}

bool TfsParser::SkipLineEnd() {
    SkipSpaces();
    char32_t c = CharAt(FPosition);
    if (c != U'\r' && c != U'\n') return false;
    while (CharAt(FPosition) == U'\r' || CharAt(FPosition) == U'\n') ++FPosition;
    return true;
}

std::string TfsParser::GetSymbol() {
    char32_t c = CharAt(FPosition);
    if ((c >= 33 && c <= 47) || (c >= 58 && c <= 64) || (c >= 91 && c <= 96) || (c >= 123 && c <= 126)) {
        ++FPosition;
        return std::string(1, char(c));
    }
    return std::string();
}

std::string TfsParser::GetWord() {
    if (SkipSpace) SkipSpaces();
    else FTokenStart = FPosition;  // the word starts here, not at an older token's start
    char32_t c = CharAt(FPosition);
    if (!IsIdentChar(c) || IsDigit(c)) return std::string();
    while (FPosition <= Size() && IsIdentChar(CharAt(FPosition))) ++FPosition;
    return Copy(FTokenStart, FPosition);
}

std::string TfsParser::GetIdentifier() {
    std::string word = GetWord();
    return IsKeyword(word) ? std::string() : word;
}

bool TfsParser::ReadInteger(std::u32string& digits) {
    const std::u32string& hex = FHex.Of(HexSequence);
    int p = FPosition;
    if (!hex.empty() && StartsWith(p, hex) && IsHexDigit(CharAt(p + int(hex.size())))) {
        p += int(hex.size());
        while (IsHexDigit(CharAt(p))) ++p;
    } else {
        while (IsDigit(CharAt(p))) ++p;
    }
    if (p == FPosition) return false;
    digits.assign(FText, size_t(FPosition - 1), size_t(p - FPosition));
    FPosition = p;
    return true;
}

std::string TfsParser::GetNumber() {
    if (SkipSpace) SkipSpaces();
    else FTokenStart = FPosition;
    int start = FPosition;
    std::u32string digits;
    bool ok = false;
    if (ReadInteger(digits)) {
        ok = true;
        if (CharAt(FPosition) == U'.') {
            if (IsDigit(CharAt(FPosition + 1))) {
                FPosition += 2;
                while (IsDigit(CharAt(FPosition))) ++FPosition;
            } else {
                ok = false;
            }
        }
        if (ok) {
            char32_t e = CharAt(FPosition);
            if (e == U'e' || e == U'E') {
                int p = FPosition + 1;
                if (CharAt(p) == U'+' || CharAt(p) == U'-') ++p;
                if (IsDigit(CharAt(p))) {
                    while (IsDigit(CharAt(p))) ++p;
                    FPosition = p;
                }
            }
        }
    }
    if (!ok) {
        FPosition = start;
        if (!ReadInteger(digits)) {
            FPosition = start;
            return std::string();
        }
    }
    std::string result = Copy(FTokenStart, FPosition);
    if (!HexSequence.empty() && HexSequence != "$") {
        size_t at = 0;
        while ((at = result.find(HexSequence, at)) != std::string::npos) {
            result.replace(at, HexSequence.size(), "$");
            ++at;
        }
    }
    return result;
}

bool TfsParser::ReadStringPart(std::u32string& out) {
    if (StringQuotes.empty()) return false;
    char32_t quote = char32_t(static_cast<unsigned char>(StringQuotes[0]));
    if (CharAt(FPosition) != quote) return false;
    bool cStyle = quote == U'"';
    int p = FPosition + 1;
    std::u32string part;
    for (;;) {
        char32_t c = CharAt(p++);
        char32_t last = c;
        if (cStyle && c == U'\\') {
            char32_t d = CharAt(p++);
            last = d;
            char32_t lower = d | 0x20;
            if (lower == U'n') {
                part += U'\n';
            } else if (lower == U'r') {
                part += U'\r';
            } else if (lower == U'x') {
                uint64_t code = 0;
                bool any = false;
                while (IsHexDigit(CharAt(p))) {
                    last = CharAt(p);
                    code = std::min<uint64_t>(code * 16 + uint64_t(HexValue(CharAt(p))), 0x110000);
                    any = true;
                    ++p;
                }
                if (any) part += SafeCodePoint(code);
            } else if (d != 0) {
                part += d;
            }
        } else if (c == quote) {
            if (!cStyle && CharAt(p) == quote) {
                part += quote;
                ++p;
            } else {
                FPosition = p;
                out += part;
                return true;
            }
        } else if (c != 0) {
            part += c;
        }
        if (last != U'\t' && last < 32) return false;  // a string may not span lines or run off the end
    }
}

bool TfsParser::ReadCharCode(std::u32string& out) {
    if (CharAt(FPosition) != U'#') return false;
    int start = FPosition;
    ++FPosition;
    std::u32string digits;
    if (!ReadInteger(digits)) {
        FPosition = start;
        return false;
    }
    uint64_t code = 0;
    const std::u32string& hex = FHex.Of(HexSequence);
    if (!hex.empty() && digits.compare(0, hex.size(), hex) == 0 && digits.size() > hex.size()) {
        for (size_t i = hex.size(); i < digits.size(); ++i)
            code = std::min<uint64_t>(code * 16 + uint64_t(HexValue(digits[i])), 0x110000);
    } else {
        for (char32_t d : digits) code = std::min<uint64_t>(code * 10 + uint64_t(d - U'0'), 0x110000);
    }
    out += SafeCodePoint(code);
    return true;
}

std::string TfsParser::GetString() {
    if (SkipSpace) SkipSpaces();
    else FTokenStart = FPosition;
    std::u32string result;
    bool any = false;
    while (ReadStringPart(result) || ReadCharCode(result)) any = true;
    if (!any) return std::string();
    return "'" + U32ToUtf8(result) + "'";
}

std::string TfsParser::GetBracketedText() {
    int start = FPosition;
    int depth = 1;
    bool inDouble = false, inSingle = false;
    int p = FPosition;
    while (p <= Size()) {
        char32_t c = CharAt(p);
        if (c == U'\r' || c == U'\n') {
            FPosition = start;
            return std::string();
        }
        if (c == U'"' && !inSingle) {
            inDouble = !inDouble;
        } else if (c == U'\'' && !inDouble) {
            inSingle = !inSingle;
        } else if (!inDouble && !inSingle) {
            if (c == U'<') ++depth;
            else if (c == U'>' && --depth == 0) break;
        }
        ++p;
    }
    FPosition = p;
    return Copy(start, p);
}

std::string TfsParser::GetLineCol() const { return GetLineCol(FPosition); }

std::string TfsParser::GetLineCol(int position) const {
    auto it = std::lower_bound(FLineStarts.begin(), FLineStarts.end(), position);
    int line = int(it - FLineStarts.begin());
    if (line < 1) line = 1;
    int column = position - FLineStarts[size_t(line - 1)];
    return std::to_string(line) + ":" + std::to_string(column);
}

int TfsParser::GetTextPos(int column, int line) const {
    if (line < 1 || size_t(line) > FLineStarts.size()) return -1;
    return FLineStarts[size_t(line - 1)] + column;
}
