#pragma once
// TfsParser: the script tokenizer. It has no token stream: the caller asks for the kind of
// token it expects at the current position, gets its text or '' when the text there is not
// of that kind, and moves the position back itself (SetPosition) when an alternative fails.
// Blanks, comments, string quotes, the hexadecimal prefix, line continuation and keywords
// are configured per language (the grammar's parser settings).
//
// The text is decoded to code points once, so Position, TokenStart, columns and GetTextPos
// count characters, not UTF-8 bytes. Returned tokens are UTF-8.

#include <bitset>
#include <set>
#include <string>
#include <string_view>
#include <vector>

class TfsParser {
public:
    TfsParser() { Reset(); }

    // --- settings (public: the designer's syntax colouring sets them directly) ---
    std::string CommentLine1;  // line-comment openers ('' = none), case-sensitive
    std::string CommentLine2;
    std::string HexSequence;  // prefix of hexadecimal numbers
    std::string StringQuotes;  // first character is the quote; '"' selects C-style escapes
    std::string SkipChar;  // line-continuation character ('' = none)
    bool SkipEOL = true;  // false: CR is not a blank, line ends are significant
    bool SkipSpace = true;  // word/ident/number/string readers skip blanks first

    // Defaults: no keywords, "//", "{,}", "(*,*)", "$", identifiers 0-9 A-Z _ a-z, no
    // continuation, CR a blank, "'" quotes, blanks skipped.
    void Reset();
    // Takes every setting of `source` (comments, quotes, identifier characters, keywords ...)
    // and keeps its own text and position: a grammar configures its tokenizer once.
    void AssignSettings(const TfsParser& source);
    void SetCommentBlock1(std::string_view openCommaClose);
    void SetCommentBlock2(std::string_view openCommaClose);
    void SetIdentChars(std::string_view chars);  // exactly the characters of `chars`
    void AddExtendedIdentChars();  // every code point from 128 on
    bool IsIdentChar(char32_t c) const noexcept;
    void AddKeyword(std::string_view word);
    void ClearKeywords() { FKeywords.clear(); }
    bool IsKeyword(std::string_view word) const;  // case ignored

    // --- text and position ---
    void SetText(std::string_view text);
    const std::u32string& Text() const noexcept { return FText; }  // without the closing #0
    int Size() const noexcept { return int(FText.size()); }
    int Position() const noexcept { return FPosition; }  // 1-based, next character
    void SetPosition(int position) noexcept { FPosition = FTokenStart = position; }
    int TokenStart() const noexcept { return FTokenStart; }
    char32_t CharAt(int position) const noexcept;  // 0 outside the text
    std::string Copy(int from, int to) const;  // characters [from, to)

    // --- readers ---
    void SkipSpaces();
    bool SkipLineEnd();  // after blanks and comments, one run of CR/LF
    std::string GetSymbol();  // one ASCII punctuation character, blanks not skipped
    std::string GetWord();  // identifier or keyword
    std::string GetIdentifier();  // '' for a keyword (the position has moved past it)
    std::string GetNumber();  // hexadecimal numbers come out as "$" + digits
    std::string GetString();  // single-quoted form, whatever the language's quote
    std::string GetBracketedText();  // after "<": the text up to the matching ">"

    std::string GetLineCol() const;  // "line:column" of Position, both from 1
    std::string GetLineCol(int position) const;
    int GetTextPos(int column, int line) const;  // -1 when the line does not exist

private:
    bool StartsWith(int position, const std::u32string& s) const noexcept;
    bool LineCommentAt(int position, const std::u32string& opener) const noexcept;
    bool ReadInteger(std::u32string& digits);  // decimal or hex prefix + hex digits
    bool ReadStringPart(std::u32string& out);
    bool ReadCharCode(std::u32string& out);

    std::u32string FText;  // followed by a #0 sentinel in FBuffer
    std::u32string FBuffer;
    int FPosition = 1;
    int FTokenStart = 1;
    std::vector<int> FLineStarts;  // 0, then the position of every LF
    std::u32string FBlock1Open, FBlock1Close, FBlock2Open, FBlock2Close;
    std::bitset<128> FIdentAscii;
    std::set<char32_t> FIdentOther;
    bool FIdentExtended = false;
    std::set<std::string> FKeywords;  // upper-cased
    // Code-point copies of the public string settings, refreshed when a setting changes.
    struct Cached {
        std::string Source;
        std::u32string Value;
        const std::u32string& Of(const std::string& s);
    };
    mutable Cached FLine1, FLine2, FHex, FSkip;
};
