#include <gtest/gtest.h>

#include <functional>

#include "script/Tokenizer.h"

namespace {

// Settings of the languages as their grammars give them.
void Pascal(TfsParser& p) {
    for (const char* k : {"begin", "end", "var", "if"}) p.AddKeyword(k);
}

void CStyle(TfsParser& p) {
    p.StringQuotes = "\"";
    p.HexSequence = "0x";
    p.SetCommentBlock1("/*,*/");
    p.SetCommentBlock2("/*,*/");
}

void Basic(TfsParser& p) {
    CStyle(p);
    p.CommentLine1 = "'";
    p.CommentLine2 = "rem";
    p.SetCommentBlock1("/\\,/\\");
    p.SetCommentBlock2("/\\,/\\");
    p.SkipEOL = false;
    p.SkipChar = "_";
}

struct ReadCase {
    const char* name;
    std::function<void(TfsParser&)> setup;
    const char* text;
    std::function<std::string(TfsParser&)> read;
    const char* token;
    int positionAfter;
};

std::string Number(TfsParser& p) { return p.GetNumber(); }
std::string String(TfsParser& p) { return p.GetString(); }
std::string Word(TfsParser& p) { return p.GetWord(); }
std::string Ident(TfsParser& p) { return p.GetIdentifier(); }
std::string Symbol(TfsParser& p) { return p.GetSymbol(); }
void None(TfsParser&) {}

TEST(FsTokenizer, ReaderTable) {
    const ReadCase cases[] = {
        {"float with exponent", None, "1.5e+3;", Number, "1.5e+3", 7},
        {"exponent without digits", None, "1.5e", Number, "1.5", 4},
        {"range is not a float", None, "1..5", Number, "1", 2},
        {"dollar hex", None, "$FF", Number, "$FF", 4},
        {"0x hex normalised", CStyle, "0xff", Number, "$ff", 5},
        {"hex then fraction is one float", None, "$1F.5", Number, "$1F.5", 6},
        {"no number", None, "x1", Number, "", 1},
        {"blanks skipped first", None, "  {c} 12", Number, "12", 9},
        {"doubled quote", None, "'it''s'", String, "'it's'", 8},
        {"char codes join parts", None, "'abc'#13#10'def'", String, "'abc\r\ndef'", 17},
        {"hex char code", None, "#$41", String, "'A'", 5},
        {"hash without digits", None, "#x", String, "", 1},
        {"unicode char code", None, "#269", String, "'č'", 5},
        {"huge char code is no character", None, "#99999999999", String, "'\xEF\xBF\xBD'", 13},
        {"C escapes", CStyle, "\"a\\\"b\\x41\\n\\q\"", String, "'a\"bA\nq'", 15},
        {"C string quote inside", CStyle, "\"it's\"", String, "'it's'", 7},
        {"unterminated string", None, "'abc", String, "", 1},
        {"string across line end", None, "'ab\r\ncd'", String, "", 1},
        {"C string across line end after escape", CStyle, "\"a\\n\r\nb\"", String, "", 1},
        {"tab inside string", None, "'a\tb'", String, "'a\tb'", 6},
        {"keyword is a word", Pascal, "Begin x", Word, "Begin", 6},
        {"keyword is no identifier", Pascal, "Begin x", Ident, "", 6},
        {"identifier", Pascal, " _a1 ", Ident, "_a1", 5},
        {"digit cannot start a word", None, "1a", Word, "", 1},
        {"czech letters need the extended set", None, "čas", Word, "", 1},
        {"extended set", [](TfsParser& p) { p.AddExtendedIdentChars(); }, "čas", Word, "čas", 4},
        {"symbol", None, ":=", Symbol, ":", 2},
        {"symbol does not skip blanks", None, " :", Symbol, "", 1},
        {"letter is no symbol", None, "a", Symbol, "", 1},
        {"digit is no symbol", None, "1", Symbol, "", 1},
        {"non-ascii is no symbol", None, "§", Symbol, "", 1},
        {"unterminated block comment", None, "{ abc", Word, "", 6},
        {"line comment", None, "// x\r\nfoo", Word, "foo", 10},
        {"rem comment", Basic, "rem note\r\n", Word, "", 9},
        {"rem only as a whole word", Basic, "remaining", Word, "remaining", 10},
        {"REM in capitals is no comment", Basic, "REM x", Word, "REM", 4},
        {"basic block comment", Basic, "/\\ c /\\x", Word, "x", 9},
    };
    for (const auto& c : cases) {
        TfsParser p;
        c.setup(p);
        p.SetText(c.text);
        EXPECT_EQ(c.read(p), c.token) << c.name;
        EXPECT_EQ(p.Position(), c.positionAfter) << c.name;
    }
}

TEST(FsTokenizer, LineEndsWhereSignificant) {
    TfsParser p;
    Basic(p);
    // A continuation joins lines; a comment keeps the line end of its line.
    p.SetText("a _\r\nb ' note\r\nc");
    EXPECT_EQ(p.GetWord(), "a");
    EXPECT_FALSE(p.SkipLineEnd());
    EXPECT_EQ(p.GetWord(), "b");
    EXPECT_TRUE(p.SkipLineEnd());
    EXPECT_EQ(p.GetWord(), "c");
    EXPECT_FALSE(p.SkipLineEnd());  // the end of the text is no line end

    TfsParser skipping;
    skipping.SetText("a\r\nb");
    EXPECT_EQ(skipping.GetWord(), "a");
    EXPECT_FALSE(skipping.SkipLineEnd());  // CR is a blank by default
}

TEST(FsTokenizer, BracketedText) {
    struct Case {
        const char* text;
        const char* result;
        int after;
    } cases[] = {
        {"DataSet.\"Field\">x", "DataSet.\"Field\"", 16},
        {"a<b>c> ", "a<b>c", 6},
        {"'>'\">\"> ", "'>'\">\"", 7},
        {"abc\r\n>", "", 1},
        {"abc", "abc", 4},
    };
    for (const auto& c : cases) {
        TfsParser p;
        p.SetText(c.text);
        EXPECT_EQ(p.GetBracketedText(), c.result) << c.text;
        EXPECT_EQ(p.Position(), c.after) << c.text;
    }
}

TEST(FsTokenizer, Positions) {
    TfsParser p;
    p.SetText("ab\r\nčd\nx");
    EXPECT_EQ(p.GetLineCol(1), "1:1");
    EXPECT_EQ(p.GetLineCol(4), "1:4");  // the LF belongs to the line it ends
    EXPECT_EQ(p.GetLineCol(5), "2:1");
    EXPECT_EQ(p.GetLineCol(6), "2:2");  // characters, not bytes
    EXPECT_EQ(p.GetLineCol(8), "3:1");
    EXPECT_EQ(p.GetTextPos(2, 2), 6);
    EXPECT_EQ(p.GetTextPos(1, 3), 8);
    EXPECT_EQ(p.GetTextPos(1, 0), -1);
    EXPECT_EQ(p.GetTextPos(1, 4), -1);
    p.SetPosition(6);
    EXPECT_EQ(p.GetLineCol(), "2:2");
}

TEST(FsTokenizer, ResetRestoresDefaults) {
    TfsParser p;
    Basic(p);
    p.AddKeyword("x");
    p.Reset();
    p.SetText("x {c} 'a''b' 0x1");
    EXPECT_EQ(p.GetIdentifier(), "x");
    EXPECT_EQ(p.GetString(), "'a'b'");
    EXPECT_EQ(p.GetNumber(), "0");
}

}  // namespace
