#pragma once
// Edit masks of the grid editors, as free functions over the mask text.
//
// A mask is "picture;save;blank". A ';' is a field separator only inside the last four
// characters of a mask at least four characters long, and the character right after such a
// separator is a field character; so a mask of three characters or fewer is all picture. The
// save field "0" keeps literals out of the value (anything else, or no field, keeps them in);
// the blank field names the character shown in an empty position ("_" by default).
//
// Picture: "0" digit, "9" optional digit, "#" optional digit, space, "+" or "-", "L"/"l"
// letter, "A"/"a" letter or digit, "C"/"c" any character (upper-case ones required); "/" and
// ":" show the date and time separators; "!" fills from the right, ">" and "<" force the case
// of the letters after them ("<>" ends that), "\" makes the next character a literal; any other
// character is a literal. Letters are letters of any alphabet (Czech ones included).
//
// Every position counts characters, never bytes: mask indexes are 1-based, text offsets
// 0-based.

#include <cstdint>
#include <string>
#include <string_view>

enum TdxMaskCharKind : int {
    mcNone = 0,
    mcLiteral = 1,
    mcLocaleLiteral = 2,
    mcDirective = 3,
    mcRequired = 4,
    mcOptional = 5,
    mcFieldSeparator = 6,
    mcField = 7,
};

// The directives in force at a mask index (a set of these bits).
enum : uint32_t {
    mdReverse = 0x1,
    mdUpperCase = 0x2,
    mdLowerCase = 0x4,
    mdLiteral = 0x8,
};

// The kind of the character at mask index (1-based); mcNone outside the mask.
TdxMaskCharKind dxMaskCharKind(std::u32string_view mask, int index);
// Reverse when "!" occurs anywhere; upper or lower case by the last ">" or "<" before index
// ("<>" clears both); mdLiteral when the character at index is a literal of either kind.
uint32_t dxMaskDirectivesAt(std::u32string_view mask, int index);
// "/" shows as the date separator and ":" as the time separator of FormatSettings().
char32_t dxMaskLocaleLiteral(char32_t c);
// The number of text positions among mask indexes 1..maskIndex.
int dxMaskIndexToTextPos(std::u32string_view mask, int maskIndex);
// All text positions of the mask (the editor's PositionCount).
int dxMaskPositionCount(std::u32string_view mask);
// The mask index of text offset (0-based), -1 when the mask has no such position.
int dxTextPosToMaskIndex(std::u32string_view mask, int offset);
bool dxMaskIsLiteralAt(std::u32string_view mask, int offset);
// The character a literal position shows (locale literals translated).
char32_t dxMaskLiteralChar(std::u32string_view mask, int index);
// A value without literals laid into the picture: literals in place, blank where the value has
// run out (at the end, or at the start with "!").
std::u32string dxMaskFormatValue(std::u32string_view mask, std::u32string_view value, char32_t blank);
bool dxMaskSavesLiterals(std::u32string_view mask);
char32_t dxMaskBlankChar(std::u32string_view mask);
// A value holding literals fitted into the picture, sub-field by sub-field between literals;
// spaces at non-literal positions become blank.
std::u32string dxMaskFitValue(std::u32string_view mask, std::u32string_view value, char32_t blank);
// Whether the position at mask index takes c; when it does, c is case-converted by the
// directives in force there. Literal positions take nothing here.
bool dxMaskAcceptChar(std::u32string_view mask, int index, char32_t& c);
// Whether mask index is a required position (picture "0", "L", "A" or "C").
bool dxMaskIsRequiredAt(std::u32string_view mask, int index);
