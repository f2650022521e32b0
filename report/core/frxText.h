#pragma once
// Text routines of the report library: splitting, numbers typed by users and stored in
// reports, bracket matching for expressions embedded in text, page-range lists, and the
// reversible encoding of characters above the 7-bit range.
//
// Positions are 1-based and count characters, not bytes (the text is UTF-8). Numbers follow
// the process-wide FormatSettings. The routines hold no state; errors are EConvertError with
// the Czech message the print dialog and the preview show.

#include <string>

class TStrings;

// --- splitting -------------------------------------------------------------------------------
// The parts between separators; a separator at the end gives no empty last part.
void frxSplitToList(const std::string& text, TStrings* list, char separator);

// --- numbers ---------------------------------------------------------------------------------
// "." and "," both mean the decimal separator and blanks are dropped; EConvertError on bad text.
double frxStrToFloat(const std::string& text);
// "%2.2f" for a value with a fraction, else the whole number.
std::string frxFloatToStr(double value);

// --- embedded expressions --------------------------------------------------------------------
// The text inside the bracket at start (1-based, characters) and its matching close; quotes
// hide brackets. finish is the position of the closing bracket's last character.
std::string frxGetBracketedText(
    const std::string& text, const std::string& openBracket, const std::string& closeBracket, int& start, int& finish);

// --- page ranges -----------------------------------------------------------------------------
// "1,3,5-7" -> 1, 3, 5, 6, 7; "4-" runs to lastPage; pages beyond lastPage are left out;
// EConvertError on a part that is no number, on page 0 and on a reversed range.
void frxParsePageNumbers(const std::string& text, TStrings* list, int lastPage);

// --- high characters -------------------------------------------------------------------------
// Characters of code 128 and more become code 1 followed by (c - 128) when encoding, and back;
// byte by byte, so UTF-8 text survives the round trip.
std::string frxConvertHighChars(const std::string& s, bool encode);
