#pragma once
// Inline text tags: <b> <i> <u> <strike> <sub> <sup> <font color=...> and their closing tags.
//
// The text engine removes the tags from a text before measuring it and keeps, for every
// character that remains, a record of its style and of its position in the source text; the
// positions let the engine cut the source (tags included) where a box is full. One tag line
// belongs to each laid-out line and holds one tag per character of it.

#include <string>
#include <vector>

#include "platform/gui/Graphics.h"

struct TfrxHTMLTag {
    int Position = 0;  // of the character in the source text, from 1
    int Size = 0;  // points
    int Lowered = 0;  // 1 for subscript characters
    TFontStyles Style;
    TColor Color = clBlack;
    bool SameAsPrevious = false;  // style, colour and size as the character before (drawing marks it)
    bool Reduced = false;  // sub- or superscript size
    void CopyFrom(const TfrxHTMLTag& tag) { *this = tag; }
};

using TfrxHTMLTags = std::vector<TfrxHTMLTag>;

class TfrxHTMLTagsList {
public:
    bool TagsEnabled = true;
    TColor DefaultColor = clBlack;
    int DefaultSize = 10;
    TFontStyles DefaultStyle;
    TColor CurrentColor = clBlack;
    int CurrentSize = 10;
    TFontStyles CurrentStyle;
    int CurrentLowered = 0;
    int SourcePos = 1;  // of the next character

    void Reset(TColor defaultColor, int defaultSize, TFontStyles defaultStyle);
    // Removes the recognised tags from text and appends one tag per remaining character to
    // the last tag line. A tag that is not understood (an unknown colour, a mistyped hex
    // colour) stays in the text as characters.
    void ParseTags(std::u32string& text);
    // Appends a new empty tag line. Every laid-out line gets its own line, also one whose
    // source held only tags.
    void StartLine();
    // Moves the tags from position count on into a new tag line; with hyphen, the old line
    // gets a copy of its last tag for the added hyphen. A new line is started even when
    // nothing moves, so tag lines and laid-out lines stay paired.
    void SplitLine(int count, bool hyphen);
    TfrxHTMLTag& AppendTag();
    // The tag before the last one, also across an empty line; nullptr when there is none.
    const TfrxHTMLTag* PreviousTag() const;

    int Count() const noexcept { return int(FLines.size()); }
    TfrxHTMLTags& Line(int index) { return FLines.at(size_t(index)); }
    const TfrxHTMLTags& Line(int index) const { return FLines.at(size_t(index)); }

private:
    bool TryTag(std::u32string& text, size_t i);
    void RecordCharacter();
    std::vector<TfrxHTMLTags> FLines;
};
