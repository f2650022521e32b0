#pragma once
// TfsILParser, front half: the grammar-driven parser that turns a script text into the
// intermediate program, an XML document shared by the four languages.
//
// It knows no language itself. LoadGrammar loads the language's grammar (ScriptTools.h),
// configures the tokenizer from the grammar's parser settings and compiles the rule
// elements; BuildIL interprets them over the text with backtracking (by restoring the
// tokenizer position). Matching elements write lines of XML; when the program matched, the
// lines become the document.
//
// The intermediate program (what the program builder reads):
//   <program>                          root
//     leaves   <ident|type|name|file|number|string|op|node|addr|range|downto|modificator|
//               varparam|inverse text="token" pos="line:col after the token"/>
//     nodes    <var|const|procedure|function|parameters|varparams|array|dim|init|expr|set|
//               dsgn|new|delete|compoundstmt|assignstmt|callstmt|ifstmt|thenstmt|elsestmt|
//               casestmt|caseselector|repeatstmt|whilestmt|forstmt|vbforstmt|cppforstmt|
//               trystmt|finallystmt|exceptstmt|with|break|continue|exit|return|empty
//               pos="line:col where the construct starts"> ... </...>
//              expr also has pos1="line:col just after its end"
//     units    <uses unit="file name"><program>...</program></uses>   (a used unit)
//     <types>  the language's type aliases: <int type="integer"/> ...  (always the last child)
//   </program>
// Operators arrive as op leaves with one text for all languages: = <> < > <= >= in is + - *
// / or xor and div mod shl shr strcat not unminus, and "(" ")" for brackets. String leaves
// hold the literal in single quotes (inner quotes as they are); hexadecimal numbers are
// written "$" + digits. A report reference <...> becomes a call Get('...').

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "script/Tokenizer.h"
#include "script/XmlTree.h"

// What the front end needs of the script it compiles for; TfsScript provides it.
class TfsILParserHost {
public:
    virtual ~TfsILParserHost() = default;

    std::string ErrorMsg;  // message of the last compile error, '' on success
    std::string ErrorPos;  // "line:col" of it, '' on success
    std::string ErrorUnit;  // used unit in which it lies, '' for the main text
    bool ExtendedCharset = false;  // every code point from 128 on is an identifier character
    // The folder of the template this script belongs to, from which it may read files and
    // units ('' for none); see FileAccess.h.
    std::string FileFolder;

    // The source of a unit named in a uses clause. Returns false when the host supplies no
    // units itself: the file of that name is then read.
    virtual bool GetUnitSource(const std::string& unitName, std::string& unitText) {
        (void)unitName;
        (void)unitText;
        return false;
    }
};

struct TfsGrammarElement;
struct TfsCompiledGrammar;

class TfsILParser {
public:
    explicit TfsILParser(TfsILParserHost& script);
    ~TfsILParser();
    TfsILParser(const TfsILParser&) = delete;
    TfsILParser& operator=(const TfsILParser&) = delete;

    // Raises Exception "Jazyk '%s' nenalezen" when the language is not registered. The grammar
    // is read once per process and shared (ScriptTools.h keeps it with the language).
    void LoadGrammar(const std::string& language);
    // True when the whole text is a program of the language; the intermediate program is then
    // in ILDocument(). Always sets the host's ErrorMsg and ErrorPos (both '' on success); the
    // main text's run also clears ErrorUnit first. Raises "Neplatná definice jazyka" when the
    // grammar refers to a rule it does not define.
    bool BuildIL(const std::string& text);

    TfsXMLDocument& ILDocument() noexcept { return FIL; }
    const TfsXMLDocument& Grammar() const noexcept;  // empty before LoadGrammar
    const std::string& LanguageName() const noexcept { return FLanguage; }
    bool NeedDeclareVars() const noexcept { return FNeedDeclareVars; }
    // The tokenizer still holds the text after BuildIL; the builder cuts expression source
    // texts from it (pos .. pos1, see TfsParser::GetTextPos).
    TfsParser& Parser() noexcept { return FParser; }
    TfsILParserHost& Script() noexcept { return FScript; }

    std::string UnitName;  // '' for the main text
    std::vector<std::string> IncludedUnits;  // units already spliced (case ignored)
    // When set, the name of every rule that matched is added (tests prove their coverage).
    std::set<std::string>* MatchedRules = nullptr;

private:
    bool Match(const TfsGrammarElement& e);
    void ApplyNode(const TfsGrammarElement& e, int start, size_t& mark, bool success);
    void RecordError(const TfsGrammarElement& e, int start);
    void IncludeUnit(const std::string& fileName, size_t& mark);
    void WriteLine(std::string line) { FLines.push_back(std::move(line)); }
    std::string LineColAfterBlanks(int position);

    TfsILParserHost& FScript;
    TfsXMLDocument FIL;
    TfsParser FParser;
    std::string FLanguage;
    bool FNeedDeclareVars = true;
    std::shared_ptr<const TfsCompiledGrammar> FRules;

    std::vector<std::string> FLines;
    std::string FErrorText;
    std::string FErrorPos;
    bool FErrorTerm = false;
    int FFurthest = 1;
    // Nesting of grammar elements being matched; see Match.
    static constexpr int kMaxMatchDepth = 1500;
    int FDepth = 0;
    bool FTooDeep = false;
};
