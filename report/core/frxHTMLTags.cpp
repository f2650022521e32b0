// Parsing inline text tags into per-character style records.

#include "report/core/frxHTMLTags.h"

#include "platform/rtl/SysUtils.h"
#include "platform/rtl/Strings.h"

namespace {
char32_t Up(char32_t c) { return c >= U'a' && c <= U'z' ? c - 32 : c; }

// text from 0-based i reads word (ASCII, case ignored).
bool Reads(const std::u32string& text, size_t i, std::u32string_view word) {
    if (i + word.size() > text.size()) return false;
    for (size_t k = 0; k < word.size(); ++k)
        if (Up(text[i + k]) != word[k]) return false;
    return true;
}

bool ParseHex(std::u32string_view digits, uint32_t& value) {
    if (digits.empty() || digits.size() > 8) return false;
    value = 0;
    for (char32_t c : digits) {
        int d = c >= U'0' && c <= U'9' ? int(c - U'0') : Up(c) >= U'A' && Up(c) <= U'F' ? int(Up(c) - U'A' + 10) : -1;
        if (d < 0) return false;
        value = value * 16 + uint32_t(d);
    }
    return true;
}
}  // namespace

void TfrxHTMLTagsList::Reset(TColor defaultColor, int defaultSize, TFontStyles defaultStyle) {
    DefaultColor = CurrentColor = defaultColor;
    DefaultSize = CurrentSize = defaultSize;
    DefaultStyle = CurrentStyle = defaultStyle;
    CurrentLowered = 0;
    SourcePos = 1;
    FLines.clear();
}

void TfrxHTMLTagsList::StartLine() { FLines.emplace_back(); }

TfrxHTMLTag& TfrxHTMLTagsList::AppendTag() {
    if (FLines.empty()) FLines.emplace_back();
    return FLines.back().emplace_back();
}

const TfrxHTMLTag* TfrxHTMLTagsList::PreviousTag() const {
    if (FLines.empty()) return nullptr;
    const TfrxHTMLTags& last = FLines.back();
    if (last.size() >= 2) return &last[last.size() - 2];
    // Across empty lines: the last tag of the nearest line before that holds any.
    for (size_t i = FLines.size() - 1; i-- > 0;)
        if (!FLines[i].empty()) return &FLines[i].back();
    return nullptr;
}

void TfrxHTMLTagsList::SplitLine(int count, bool hyphen) {
    TfrxHTMLTags& old = FLines.back();
    TfrxHTMLTags moved;
    if (count >= 0 && size_t(count) < old.size()) {
        moved.assign(old.begin() + count, old.end());
        old.resize(size_t(count));
    }
    if (hyphen && !old.empty()) {
        TfrxHTMLTag copy = old.back();
        old.push_back(copy);
    }
    FLines.push_back(std::move(moved));
}

void TfrxHTMLTagsList::RecordCharacter() {
    TfrxHTMLTag& tag = AppendTag();
    tag.Position = SourcePos;
    tag.Size = CurrentSize;
    tag.Style = CurrentStyle;
    tag.Color = CurrentColor;
    tag.Lowered = CurrentLowered;
    tag.Reduced = CurrentSize != DefaultSize;
    if (!TagsEnabled) {
        tag.SameAsPrevious = true;
        return;
    }
    const TfrxHTMLTag* prev = PreviousTag();
    if (prev) tag.SameAsPrevious = prev->Style == tag.Style && prev->Color == tag.Color && prev->Size == tag.Size;
    else tag.SameAsPrevious = DefaultStyle == tag.Style && DefaultColor == tag.Color && DefaultSize == tag.Size;
}

// A recognised tag at i is removed, counted into SourcePos and answers true.
bool TfrxHTMLTagsList::TryTag(std::u32string& text, size_t i) {
    auto remove = [&](size_t length) {
        text.erase(i, length);
        SourcePos += int(length);
        return true;
    };
    auto letterStyle = [](char32_t c, TFontStyle& style) {
        switch (Up(c)) {
        case U'B': style = fsBold; return true;
        case U'I': style = fsItalic; return true;
        case U'U': style = fsUnderline; return true;
        default: return false;
        }
    };
    TFontStyle style;
    if (i + 2 < text.size() && text[i + 2] == U'>') {
        if (!letterStyle(text[i + 1], style)) return false;
        CurrentStyle.Include(style);
        return remove(3);
    }
    if (i + 4 < text.size() && text[i + 4] == U'>') {
        if (Reads(text, i + 1, U"SUB>") || Reads(text, i + 1, U"SUP>")) {
            CurrentSize = int(Round(DefaultSize / 1.5));
            CurrentLowered = Up(text[i + 3]) == U'B' ? 1 : 0;
            return remove(5);
        }
        return false;
    }
    if (i + 1 < text.size() && Up(text[i + 1]) == U'S') {
        if (!Reads(text, i + 1, U"STRIKE>")) return false;
        CurrentStyle.Include(fsStrikeOut);
        return remove(8);
    }
    if (i + 1 < text.size() && text[i + 1] != U'/') {
        if (!Reads(text, i + 1, U"FONT COLOR")) return false;
        size_t eq = text.find(U'=', i + 11);
        if (eq == std::u32string::npos) return false;
        size_t from = eq + 1;
        while (from < text.size() && text[from] == U' ') ++from;
        size_t close = text.find(U'>', from);
        const size_t end = close == std::u32string::npos ? text.size() : close;
        std::u32string value = text.substr(from, end - from);
        if (value.empty()) return false;
        TColor color = 0;
        if (value.size() > 3 && value[0] == U'"' && value[1] == U'#' && value.back() == U'"') {
            uint32_t rgb = 0;
            // Sound: a mistyped hex colour leaves the tag in the text like an unknown colour
            // name; raising a conversion error here stopped the printing of the whole report.
            if (!ParseHex(std::u32string_view(value).substr(2, value.size() - 3), rgb)) return false;
            color = TColor(((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF));
        } else if (!IdentToColor("cl" + U32ToUtf8(value), color)) {
            return false;
        }
        CurrentColor = color;
        return remove(end - i + (close == std::u32string::npos ? 0 : 1));
    }
    // A closing tag.
    if (i + 3 < text.size() && text[i + 3] == U'>') {
        if (!letterStyle(text[i + 2], style)) return false;
        CurrentStyle.Exclude(style);
        return remove(4);
    }
    if (Reads(text, i + 2, U"STRIKE>")) {
        CurrentStyle.Exclude(fsStrikeOut);
        return remove(9);
    }
    if (Reads(text, i + 2, U"FONT>")) {
        CurrentColor = DefaultColor;
        return remove(7);
    }
    if (Reads(text, i + 2, U"SUB>") || Reads(text, i + 2, U"SUP>")) {
        CurrentSize = DefaultSize;
        CurrentLowered = 0;
        return remove(6);
    }
    return false;
}

void TfrxHTMLTagsList::ParseTags(std::u32string& text) {
    size_t i = 0;
    while (i < text.size()) {
        if (TagsEnabled && text[i] == U'<' && TryTag(text, i)) continue;
        RecordCharacter();
        ++SourcePos;
        ++i;
    }
}
