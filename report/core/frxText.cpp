// Text routines: splitting, numbers, embedded expressions, page ranges, high characters.

#include "report/core/frxText.h"

#include <algorithm>

#include "platform/classes/StringList.h"
#include "platform/rtl/Strings.h"
#include "platform/rtl/SysUtils.h"

void frxSplitToList(const std::string& text, TStrings* list, char separator) {
    list->Clear();
    size_t from = 0;
    while (from < text.size()) {
        size_t at = text.find(separator, from);
        if (at == std::string::npos) at = text.size();
        list->Add(text.substr(from, at - from));
        from = at + 1;
    }
}

double frxStrToFloat(const std::string& text) {
    const std::string sep = Utf8FromCodePoint(FormatSettings().DecimalSeparator);
    std::string s;
    for (char c : text) {
        if (c == '.' || c == ',') s += sep;
        else if (c != ' ') s += c;
    }
    return StrToFloat(s);
}

std::string frxFloatToStr(double value) {
    if (Frac(value) != 0) return Format("%2.2f", {Variant(value)});
    return FloatToStr(value);
}

std::string frxGetBracketedText(
    const std::string& text, const std::string& openBracket, const std::string& closeBracket, int& start, int& finish) {
    finish = start;
    const std::u32string t = Utf8ToU32(text), open = Utf8ToU32(openBracket), close = Utf8ToU32(closeBracket);
    const int len = int(t.size());
    if (len == 0 || start < 1 || start > len) return {};
    auto at = [&](int i, const std::u32string& what) {  // what begins at 1-based i
        return !what.empty() && t.compare(size_t(i - 1), what.size(), what) == 0 &&
            size_t(i - 1) + what.size() <= t.size();
    };
    int i = start, depth = 0;
    bool dq = false, sq = false;
    for (;;) {
        if (!dq && !sq && at(i, open)) {
            if (depth == 0) start = i;
            ++depth;
        } else if (!dq && !sq && at(i, close)) {
            if (--depth <= 0) break;
        } else if (t[size_t(i - 1)] == U'"' && !sq) {
            dq = !dq;
        } else if (t[size_t(i - 1)] == U'\'' && !dq) {
            sq = !sq;
        }
        if (i >= len) break;
        ++i;
    }
    const int from = start + int(open.size());
    std::string result = i > from ? U32ToUtf8(t.substr(size_t(from - 1), size_t(i - from))) : std::string();
    if (i != start) finish = i + int(close.size()) - 1;
    else result.clear();
    return result;
}

void frxParsePageNumbers(const std::string& text, TStrings* list, int lastPage) {
    list->Clear();
    std::string s;
    for (char c : text)
        if (c != ' ') s += c;
    if (s.empty()) return;
    // "4-" runs to the last page, and past it ("8-" of six pages) to nothing.
    const bool openEnd = s.back() == '-';
    if (openEnd) s += IntToStr(lastPage);
    s += ',';
    std::string number;
    int rangeStart = 0;
    bool inRange = false;
    // Sound: page 0, a reversed range ("5-3") and a range with a second dash ("1-2-3") are
    // refused like any other text that is not a page list, as the print dialog refuses them;
    // they used to add nothing, so printing or exporting them did nothing and reported success.
    auto pageNumber = [](const std::string& t) {
        const int n = StrToInt(t);
        if (n == 0) throw EConvertError("Stránky se číslují od 1; 0 není číslo stránky.");
        return n;
    };
    for (size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (c == ',') {
            const bool toLastPage = openEnd && i + 1 == s.size();
            int n = toLastPage ? StrToInt(number) : pageNumber(number);
            if (inRange && n < rangeStart && !toLastPage)
                throw EConvertError("Rozsah „" + IntToStr(rangeStart) + "-" + IntToStr(n) +
                    "“ je obrácený; menší číslo se píše první.");
            // Sound: ranges stop at the last page and numbers beyond it are left out; a typed
            // "1-999999999" used to build a list of a billion numbers.
            if (inRange)
                for (int p = rangeStart; p <= std::min(n, lastPage); ++p) list->Add(IntToStr(p));
            else if (n <= lastPage) list->Add(IntToStr(n));
            inRange = false;
            number.clear();
        } else if (c == '-') {
            if (inRange) throw EConvertError("„" + text + "“ není seznam stránek; rozsah se píše jako 5-12.");
            rangeStart = pageNumber(number);
            inRange = true;
            number.clear();
        } else {
            number += c;
        }
    }
}

std::string frxConvertHighChars(const std::string& s, bool encode) {
    std::string r;
    r.reserve(s.size() * (encode ? 2 : 1));
    for (size_t i = 0; i < s.size(); ++i) {
        auto c = static_cast<unsigned char>(s[i]);
        if (encode && c >= 128) {
            r += '\x01';
            r += char(c - 128);
        } else if (!encode && c == 1 && i + 1 < s.size()) {
            r += char(static_cast<unsigned char>(s[++i]) + 128);
        } else {
            r += char(c);
        }
    }
    return r;
}
