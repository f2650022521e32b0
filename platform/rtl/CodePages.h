#pragma once
// Single-byte Windows code pages and UTF-16 big-endian, to and from our UTF-8 text.
//
// Templates saved by the school's older installation hold Central European (1250) bytes;
// the PDF writer needs Western (1252) bytes for its standard fonts and UTF-16BE for text
// strings. Every byte of a code page decodes to one character (the five bytes a page leaves
// undefined decode to the C1 control of the same value, as Windows does); a character a page
// cannot hold encodes as "?".

#include <string>
#include <string_view>

// 1250 and 1252; any other number raises EConvertError "Code page %d is not supported".
bool CodePageSupported(int codePage) noexcept;
std::string CodePageToUtf8(std::string_view bytes, int codePage);
std::string Utf8ToCodePage(std::string_view utf8, int codePage);
// The character a code-page byte stands for.
char32_t CodePageChar(unsigned char byte, int codePage);

// UTF-16 big-endian, characters beyond the basic plane as surrogate pairs; with bom the
// bytes FE FF come first. Decoding skips a leading BOM; an unpaired surrogate or an odd
// last byte decodes as U+FFFD.
std::string Utf8ToUtf16BE(std::string_view utf8, bool bom = false);
std::string Utf16BEToUtf8(std::string_view bytes);
