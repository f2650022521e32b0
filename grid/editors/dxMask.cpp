#include "grid/editors/dxMask.h"

#include "platform/rtl/Strings.h"
#include "platform/rtl/SysUtils.h"

namespace {

// Whether the character at 0-based i follows an escaping "\" (which is not escaped itself).
bool Escaped(std::u32string_view mask, size_t i) {
    bool escaped = false;
    for (size_t k = 0; k < i; ++k) escaped = !escaped && mask[k] == U'\\';
    return escaped;
}

bool IsPosition(TdxMaskCharKind k) {
    return k == mcLiteral || k == mcLocaleLiteral || k == mcRequired || k == mcOptional;
}
bool IsLiteral(TdxMaskCharKind k) { return k == mcLiteral || k == mcLocaleLiteral; }
bool IsDigit(char32_t c) { return c >= U'0' && c <= U'9'; }

// The sub-field cut or padded to n characters: at its end, or at its start in reverse mode.
std::u32string FitField(std::u32string sub, size_t n, bool reverse, char32_t blank) {
    if (sub.size() > n) return reverse ? sub.substr(sub.size() - n) : sub.substr(0, n);
    if (reverse) return std::u32string(n - sub.size(), blank) + sub;
    sub.append(n - sub.size(), blank);
    return sub;
}

}  // namespace

TdxMaskCharKind dxMaskCharKind(std::u32string_view mask, int index) {
    const int len = int(mask.size());
    if (index < 1 || index > len) return mcNone;
    const size_t i = size_t(index - 1);
    const char32_t c = mask[i];
    if (Escaped(mask, i)) return mcLiteral;
    if (len >= 4 && index > len - 4) {
        if (c == U';') return mcFieldSeparator;
        if (index - 1 > len - 4 && dxMaskCharKind(mask, index - 1) == mcFieldSeparator) return mcField;
    }
    switch (c) {
    case U'0':
    case U'L':
    case U'A':
    case U'C': return mcRequired;
    case U'9':
    case U'#':
    case U'l':
    case U'a':
    case U'c': return mcOptional;
    case U'/':
    case U':': return mcLocaleLiteral;
    case U'!':
    case U'>':
    case U'<':
    case U'\\': return mcDirective;
    default: return mcLiteral;
    }
}

uint32_t dxMaskDirectivesAt(std::u32string_view mask, int index) {
    uint32_t result = 0;
    const int len = int(mask.size());
    for (int i = 1; i <= len; ++i) {
        if (dxMaskCharKind(mask, i) != mcDirective) continue;
        const char32_t c = mask[size_t(i - 1)];
        if (c == U'!') result |= mdReverse;
        if (i >= index) continue;
        if (c == U'<' && i + 1 < index && mask[size_t(i)] == U'>' && dxMaskCharKind(mask, i + 1) == mcDirective) {
            result &= ~(mdUpperCase | mdLowerCase);
            ++i;
        } else if (c == U'<') {
            result = (result & ~mdUpperCase) | mdLowerCase;
        } else if (c == U'>') {
            result = (result & ~mdLowerCase) | mdUpperCase;
        }
    }
    if (IsLiteral(dxMaskCharKind(mask, index))) result |= mdLiteral;
    return result;
}

char32_t dxMaskLocaleLiteral(char32_t c) {
    if (c == U'/') return FormatSettings().DateSeparator;
    if (c == U':') return FormatSettings().TimeSeparator;
    return c;
}

int dxMaskIndexToTextPos(std::u32string_view mask, int maskIndex) {
    int count = 0;
    for (int i = 1; i <= maskIndex && i <= int(mask.size()); ++i)
        if (IsPosition(dxMaskCharKind(mask, i))) ++count;
    return count;
}

int dxMaskPositionCount(std::u32string_view mask) { return dxMaskIndexToTextPos(mask, int(mask.size())); }

int dxTextPosToMaskIndex(std::u32string_view mask, int offset) {
    if (offset < 0) return -1;
    int pos = 0;
    for (int i = 1; i <= int(mask.size()); ++i) {
        if (!IsPosition(dxMaskCharKind(mask, i))) continue;
        if (pos == offset) return i;
        ++pos;
    }
    return -1;
}

bool dxMaskIsLiteralAt(std::u32string_view mask, int offset) {
    const int index = dxTextPosToMaskIndex(mask, offset);
    return index > 0 && IsLiteral(dxMaskCharKind(mask, index));
}

char32_t dxMaskLiteralChar(std::u32string_view mask, int index) {
    const TdxMaskCharKind kind = dxMaskCharKind(mask, index);
    if (kind == mcLocaleLiteral) return dxMaskLocaleLiteral(mask[size_t(index - 1)]);
    if (kind == mcLiteral) return mask[size_t(index - 1)];
    return 0;
}

std::u32string dxMaskFormatValue(std::u32string_view mask, std::u32string_view value, char32_t blank) {
    const int len = int(mask.size());
    std::u32string out;
    if (!(dxMaskDirectivesAt(mask, 1) & mdReverse)) {
        size_t next = 0;
        for (int i = 1; i <= len; ++i) {
            const TdxMaskCharKind kind = dxMaskCharKind(mask, i);
            if (IsLiteral(kind)) out += dxMaskLiteralChar(mask, i);
            else if (kind == mcRequired || kind == mcOptional) out += next < value.size() ? value[next++] : blank;
        }
        return out;
    }
    size_t left = value.size();  // characters of value not yet placed, taken from its end
    for (int i = len; i >= 1; --i) {
        const TdxMaskCharKind kind = dxMaskCharKind(mask, i);
        if (IsLiteral(kind)) out.insert(out.begin(), dxMaskLiteralChar(mask, i));
        else if (kind == mcRequired || kind == mcOptional) out.insert(out.begin(), left > 0 ? value[--left] : blank);
    }
    return out;
}

bool dxMaskSavesLiterals(std::u32string_view mask) {
    const int len = int(mask.size());
    for (int i = 1; i <= len; ++i) {
        if (dxMaskCharKind(mask, i) != mcFieldSeparator) continue;
        return dxMaskCharKind(mask, i + 1) != mcField || mask[size_t(i)] != U'0';
    }
    return true;
}

char32_t dxMaskBlankChar(std::u32string_view mask) {
    const int len = int(mask.size());
    if (len >= 4 && dxMaskCharKind(mask, len - 1) == mcFieldSeparator &&
        (dxMaskCharKind(mask, len - 2) == mcFieldSeparator || dxMaskCharKind(mask, len - 3) == mcFieldSeparator))
        return mask[size_t(len - 1)];
    return U'_';
}

std::u32string dxMaskFitValue(std::u32string_view mask, std::u32string_view value, char32_t blank) {
    const bool reverse = dxMaskDirectivesAt(mask, 1) & mdReverse;
    const int len = int(mask.size());
    std::u32string out;
    size_t from = 0;  // where the value's current sub-field starts
    size_t fieldLength = 0;  // positions of the picture's current sub-field
    for (int i = 1; i <= len; ++i) {
        const TdxMaskCharKind kind = dxMaskCharKind(mask, i);
        if (kind == mcRequired || kind == mcOptional) {
            ++fieldLength;
        } else if (IsLiteral(kind)) {
            const char32_t lit = dxMaskLiteralChar(mask, i);
            size_t at = value.find(lit, from);
            std::u32string_view sub;
            if (at == std::u32string_view::npos) {
                // A missing literal: the rest of the value is this sub-field, the literal follows it.
                sub = value.substr(std::min(from, value.size()));
                from = value.size();
            } else {
                sub = value.substr(from, at - from);
                from = at + 1;
            }
            out += FitField(std::u32string(sub), fieldLength, reverse, blank);
            out += lit;
            fieldLength = 0;
        }
    }
    out += FitField(std::u32string(value.substr(std::min(from, value.size()))), fieldLength, reverse, blank);
    for (size_t k = 0; k < out.size(); ++k)
        if (out[k] == U' ' && !dxMaskIsLiteralAt(mask, int(k))) out[k] = blank;
    return out;
}

bool dxMaskAcceptChar(std::u32string_view mask, int index, char32_t& c) {
    const TdxMaskCharKind kind = dxMaskCharKind(mask, index);
    if (kind != mcRequired && kind != mcOptional) return false;
    bool fits = false;
    switch (mask[size_t(index - 1)]) {
    case U'0':
    case U'9': fits = IsDigit(c); break;
    case U'#': fits = IsDigit(c) || c == U' ' || c == U'+' || c == U'-'; break;
    case U'L':
    case U'l': fits = IsCharAlpha(c); break;
    case U'A':
    case U'a': fits = IsCharAlphaNumeric(c); break;
    case U'C':
    case U'c': fits = c >= 32 && c != 127; break;
    default: break;
    }
    if (!fits) return false;
    const uint32_t d = dxMaskDirectivesAt(mask, index);
    if (IsCharAlpha(c)) {
        if (d & mdUpperCase) c = CharUpper(c);
        else if (d & mdLowerCase) c = CharLower(c);
    }
    return true;
}

bool dxMaskIsRequiredAt(std::u32string_view mask, int index) { return dxMaskCharKind(mask, index) == mcRequired; }
