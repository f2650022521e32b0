#pragma once
// UTF-8 text helpers. Positions and lengths count characters (code points), 1-based
// like the class library's; case folding and ordering cover Czech letters.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// --- code points ---------------------------------------------------------------------------
// Decodes the code point at byte offset `pos` and advances it; invalid bytes decode as
// U+FFFD one byte at a time, so no input can make iteration loop or overrun.
char32_t Utf8Next(std::string_view s, size_t& pos) noexcept;
void Utf8Append(std::string& out, char32_t cp);
std::string Utf8FromCodePoint(char32_t cp);
std::u32string Utf8ToU32(std::string_view s);
std::string U32ToUtf8(std::u32string_view s);
bool Utf8Valid(std::string_view s) noexcept;
// Byte offset of the character with 1-based index `index` (s.size() when past the end).
size_t Utf8ByteOffset(std::string_view s, int64_t index) noexcept;

// --- the class library's string routines, counting characters ---------------------------------
int64_t Utf8Length(std::string_view s) noexcept;
std::string Utf8Copy(std::string_view s, int64_t index, int64_t count);  // Copy(S, Index, Count)
int64_t Utf8Pos(std::string_view sub, std::string_view s, int64_t from = 1);  // 0 when absent
void Utf8Delete(std::string& s, int64_t index, int64_t count);
void Utf8Insert(std::string_view sub, std::string& s, int64_t index);
char32_t Utf8CharAt(std::string_view s, int64_t index);  // 1-based; 0 past end
void Utf8SetLength(std::string& s, int64_t length);  // pads with spaces
std::string StringOfChar(char32_t c, int64_t count);

// --- case and comparison --------------------------------------------------------------------
char32_t CharUpper(char32_t c) noexcept;  // Czech and Latin letters, length-preserving
char32_t CharLower(char32_t c) noexcept;
bool IsCharAlpha(char32_t c) noexcept;
bool IsCharAlphaNumeric(char32_t c) noexcept;
bool IsCharUpper(char32_t c) noexcept;
bool IsCharLower(char32_t c) noexcept;

std::string AnsiUpperCase(std::string_view s);  // every letter, Czech included
std::string AnsiLowerCase(std::string_view s);
std::string UpperCase(std::string_view s);  // ASCII letters only
std::string LowerCase(std::string_view s);

// The collation (levels, alphabet, accents, tie-breaks) is described in Strings.cpp.
// Case-sensitive, locale order: Czech alphabet (a á b c č d ď e é ě ... h ch i ...), lower
// case before upper case only as a tie-break. <0, 0, >0.
int AnsiCompareStr(std::string_view a, std::string_view b);
// Case-insensitive, locale order; 0 exactly when the folded texts are equal, so it is a
// total order usable for sorted lists and registries.
int AnsiCompareText(std::string_view a, std::string_view b);
bool AnsiSameText(std::string_view a, std::string_view b);
bool AnsiSameStr(std::string_view a, std::string_view b);
// ASCII-only, ordinal (the class library's CompareText/SameText).
int CompareStr(std::string_view a, std::string_view b) noexcept;
int CompareText(std::string_view a, std::string_view b) noexcept;
bool SameText(std::string_view a, std::string_view b) noexcept;
// Czech-aware case-insensitive equality of the first `count` characters of both.
bool AnsiStartsText(std::string_view prefix, std::string_view s);

// --- trimming, replacing, splitting -----------------------------------------------------------
std::string Trim(std::string_view s);  // removes characters <= ' ' at both ends
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);
enum TReplaceFlag : unsigned { rfReplaceAll = 1, rfIgnoreCase = 2 };
std::string StringReplace(std::string_view s, std::string_view oldPattern, std::string_view newPattern, unsigned flags);
std::string QuotedStr(std::string_view s, char quote = '\'');
std::string AnsiDequotedStr(std::string_view s, char quote);
std::string IntToHex(int64_t value, int digits);
