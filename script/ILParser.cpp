#include "script/ILParser.h"

#include <algorithm>
#include <cassert>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/Strings.h"
#include "script/FileAccess.h"
#include "script/Interpreter.h"
#include "script/ScriptTools.h"

// One grammar element, compiled from the grammar document once per LoadGrammar so that
// matching reads fields instead of searching attribute texts.
struct TfsGrammarElement {
    enum Kind {
        RuleDef,
        Char,
        Keyword,
        Ident,
        Number,
        String,
        FrString,
        Eol,
        Sequence,
        Switch,
        OptionalSwitch,
        Loop,
        OptionalLoop,
        Optional,
        RuleRef
    };
    Kind kind = RuleDef;
    std::string name;  // lower case
    std::string text;  // lower case
    std::string node;  // lower case
    std::string add, addText, err;
    bool noSkip = false;  // char with skip="0"
    bool loopSkip = false;  // loop with skip="1"
    bool term = false;
    std::vector<TfsGrammarElement> children;
    const TfsGrammarElement* rule = nullptr;  // RuleRef: the rule it names, nullptr if none

    bool IsTerminal() const noexcept { return kind >= Char && kind <= FrString; }
};

// A language's grammar as every parser of it uses it: the grammar document, the tokenizer's
// settings and the compiled rules. Built once per registered language (ScriptTools.h), then
// only read.
struct TfsCompiledGrammar {
    TfsXMLDocument document;
    TfsParser tokenizer;  // settings only, no text
    bool needDeclareVars = true;
    std::map<std::string, TfsGrammarElement> byName;
    std::map<std::string, std::string> errors;
    const TfsGrammarElement* program = nullptr;
    const TfsXMLItem* types = nullptr;

    const std::string& Error(const std::string& key) const {
        static const std::string none;
        auto it = errors.find(key);
        return it == errors.end() ? none : it->second;
    }
};

namespace {

std::string Lower(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return r;
}

std::string TrimBlanks(std::string_view s) {
    size_t a = 0, b = s.size();
    while (a < b && static_cast<unsigned char>(s[a]) <= ' ') ++a;
    while (b > a && static_cast<unsigned char>(s[b - 1]) <= ' ') --b;
    return std::string(s.substr(a, b - a));
}

// Line ends become CR LF: line-oriented grammars and the language directive expect them.
std::string NormaliseLineEnds(const std::string& text) {
    std::string r;
    r.reserve(text.size() + text.size() / 16);
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r') {
            r += "\r\n";
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else if (c == '\n') {
            r += "\r\n";
        } else {
            r += c;
        }
    }
    return r;
}

TfsGrammarElement Compile(const TfsXMLItem& item, bool ruleDef) {
    static const std::map<std::string, TfsGrammarElement::Kind> kinds = {
        {"char", TfsGrammarElement::Char},
        {"keyword", TfsGrammarElement::Keyword},
        {"ident", TfsGrammarElement::Ident},
        {"number", TfsGrammarElement::Number},
        {"string", TfsGrammarElement::String},
        {"frstring", TfsGrammarElement::FrString},
        {"eol", TfsGrammarElement::Eol},
        {"sequence", TfsGrammarElement::Sequence},
        {"switch", TfsGrammarElement::Switch},
        {"optionalswitch", TfsGrammarElement::OptionalSwitch},
        {"loop", TfsGrammarElement::Loop},
        {"optionalloop", TfsGrammarElement::OptionalLoop},
        {"optional", TfsGrammarElement::Optional},
    };
    TfsGrammarElement e;
    e.name = Lower(item.Name);
    if (ruleDef) {
        e.kind = TfsGrammarElement::RuleDef;
    } else {
        auto it = kinds.find(e.name);
        e.kind = it == kinds.end() ? TfsGrammarElement::RuleRef : it->second;
    }
    e.text = Lower(item.Prop("text"));
    e.node = Lower(item.Prop("node"));
    e.add = item.Prop("add");
    e.addText = item.Prop("addtext");
    e.err = item.Prop("err");
    std::string skip = item.Prop("skip");
    e.noSkip = e.kind == TfsGrammarElement::Char && skip == "0";
    e.loopSkip = skip == "1";
    e.term = item.Prop("term") == "1";
    for (int i = 0; i < item.Count(); ++i) e.children.push_back(Compile(*item.Items(i), false));
    return e;
}

void Resolve(TfsGrammarElement& e, const std::map<std::string, TfsGrammarElement>& rules) {
    if (e.kind == TfsGrammarElement::RuleRef) {
        auto it = rules.find(e.name);
        e.rule = it == rules.end() ? nullptr : &it->second;
    }
    for (auto& child : e.children) Resolve(child, rules);
}

std::shared_ptr<const TfsCompiledGrammar> CompileGrammar(const std::string& text) {
    auto g = std::make_shared<TfsCompiledGrammar>();
    g->document.LoadFromString(text);
    TfsParser& tokenizer = g->tokenizer;

    TfsXMLItem* root = g->document.Root();
    TfsXMLItem* parser = root->FindItem("parser");
    TfsXMLItem* keywords = parser->FindItem("keywords");
    for (int i = 0; i < keywords->Count(); ++i) tokenizer.AddKeyword(keywords->Items(i)->Name);
    for (int i = 0; i < parser->Count(); ++i) {
        const TfsXMLItem* setting = parser->Items(i);
        std::string name = Lower(setting->Name);
        std::string value = setting->Prop("text");
        if (name == "identchars") tokenizer.SetIdentChars(value);
        else if (name == "commentline1") tokenizer.CommentLine1 = value;
        else if (name == "commentline2") tokenizer.CommentLine2 = value;
        else if (name == "commentblock1") tokenizer.SetCommentBlock1(value);
        else if (name == "commentblock2") tokenizer.SetCommentBlock2(value);
        else if (name == "stringquotes") tokenizer.StringQuotes = value;
        else if (name == "hexsequence") tokenizer.HexSequence = value;
        else if (name == "declarevars") g->needDeclareVars = value != "0";
        else if (name == "skipeol") tokenizer.SkipEOL = value != "0";
        else if (name == "skipchar") tokenizer.SkipChar = value;
    }

    TfsXMLItem* errors = parser->FindItem("errors");
    for (int i = 0; i < errors->Count(); ++i) g->errors[Lower(errors->Items(i)->Name)] = errors->Items(i)->Prop("text");
    for (int i = 0; i < root->Count(); ++i) {
        const TfsXMLItem* item = root->Items(i);
        std::string name = Lower(item->Name);
        if (name != "parser" && name != "types" && !g->byName.count(name))
            g->byName.emplace(name, Compile(*item, true));
    }
    for (auto& [name, rule] : g->byName) Resolve(rule, g->byName);
    g->types = root->FindItem("types");
    auto program = g->byName.find("program");
    g->program = program == g->byName.end() ? nullptr : &program->second;
    return g;
}

}  // namespace

TfsILParser::TfsILParser(TfsILParserHost& script) : FScript(script) {}

TfsILParser::~TfsILParser() = default;

const TfsXMLDocument& TfsILParser::Grammar() const noexcept {
    static const TfsXMLDocument none;
    return FRules ? FRules->document : none;
}

void TfsILParser::LoadGrammar(const std::string& language) {
    TfsLanguage& registered = fsFindLanguage(language);
    // The grammar text is parsed and compiled on the language's first use only.
    if (!registered.Compiled) registered.Compiled = CompileGrammar(registered.Grammar);
    FRules = registered.Compiled;
    FLanguage = language;
    FNeedDeclareVars = FRules->needDeclareVars;
    // The text (a language directive may load the grammar while it is read) stays.
    FParser.AssignSettings(FRules->tokenizer);
    if (FScript.ExtendedCharset) FParser.AddExtendedIdentChars();
}

std::string TfsILParser::LineColAfterBlanks(int position) {
    int saved = FParser.Position();
    FParser.SetPosition(position);
    FParser.SkipSpaces();
    std::string lc = FParser.GetLineCol();
    FParser.SetPosition(saved);
    return lc;
}

bool TfsILParser::BuildIL(const std::string& text) {
    FLines.clear();
    FErrorText.clear();
    FErrorPos.clear();
    FErrorTerm = false;
    FFurthest = 1;
    FDepth = 0;
    FTooDeep = false;
    if (UnitName.empty()) FScript.ErrorUnit.clear();  // a unit name left from an earlier compile would mislead
    FParser.SetText(text);

    int start = 1;
    if (FParser.GetSymbol() == "#" && AnsiSameText(FParser.GetIdentifier(), "language")) {
        const std::u32string& t = FParser.Text();
        int cr = FParser.Position();
        while (cr <= FParser.Size() && t[size_t(cr - 1)] != U'\r') ++cr;
        std::string name = TrimBlanks(FParser.Copy(FParser.Position(), cr));
        LoadGrammar(name);
        start = cr + 2;
    }
    FParser.SetPosition(start);
    if (!FRules || !FRules->program) throw Exception(SInvalidLanguage);

    bool matched = Match(*FRules->program);
    const std::string& statementExpected = FRules->Error("err3");
    if (matched && FErrorText.empty()) {
        // The whole text must be a program: text the program rule did not take is reported
        // instead of being dropped silently.
        FParser.SkipSpaces();
        if (FParser.Position() <= FParser.Size()) {
            FErrorText = statementExpected;
            FErrorPos = FParser.GetLineCol();
        }
    } else if (!matched && FErrorText.empty()) {
        // No element recorded a message: report where parsing got furthest.
        FErrorText = statementExpected;
        FErrorPos = LineColAfterBlanks(FFurthest);
    }

    bool ok = FErrorText.empty();
    if (ok) {
        FErrorPos.clear();
        std::string il = "<?xml version=\"1.0\"?>\r\n<program>\r\n";
        for (const std::string& line : FLines) {
            il += line;
            il += "\r\n";
        }
        il += "</program>\r\n";
        FIL.LoadFromString(il);
        FIL.Root()->Add()->Assign(FRules->types);
    }
    FScript.ErrorMsg = FErrorText;
    FScript.ErrorPos = FErrorPos;
    return ok;
}

void TfsILParser::RecordError(const TfsGrammarElement& e, int start) {
    if (e.err.empty() || !FErrorText.empty()) return;
    const std::string& message = FRules->Error(Lower(e.err));
    if (message.empty()) return;  // an absent message reports nothing
    FErrorText = message;
    FErrorPos = LineColAfterBlanks(start);
    FErrorTerm = e.term;
}

void TfsILParser::ApplyNode(const TfsGrammarElement& e, int start, size_t& mark, bool success) {
    if (e.node.empty()) return;
    if (e.node == "uses") {
        // The file leaves of a uses clause are replaced by the units' programs, last named
        // first, each unit inserted at the mark. A clause that failed leaves nothing.
        while (success && FLines.size() > mark) {
            std::string line = FLines.back();
            FLines.pop_back();
            TfsXMLItem leaf;
            size_t blank = line.find(' ');
            leaf.Text = blank == std::string::npos ? std::string() : line.substr(blank + 1);
            std::string name = leaf.Prop("text");
            if (name.size() >= 2 && name.front() == '\'' && name.back() == '\'') name = name.substr(1, name.size() - 2);
            IncludeUnit(name, mark);
        }
        return;
    }
    if (success) {
        std::string open = "<" + e.node + " pos=\"" + LineColAfterBlanks(start) + "\"";
        if (e.node == "expr") open += " pos1=\"" + FParser.GetLineCol() + "\"";
        open += ">";
        FLines.insert(FLines.begin() + std::ptrdiff_t(mark), open);
        FLines.push_back("</" + e.node + ">");
    }
}

namespace {
constexpr size_t kMaxUnitSize = 4 << 20;  // far beyond any script unit
}  // namespace

void TfsILParser::IncludeUnit(const std::string& fileName, size_t& mark) {
    for (const std::string& unit : IncludedUnits)
        if (AnsiSameText(unit, fileName)) return;
    IncludedUnits.push_back(fileName);

    std::string source;
    bool loaded = FScript.GetUnitSource(fileName, source);
    std::string unitText;
    if (!loaded) {
        // Sound: only a regular file of a script's size is read, and never past that size: a
        // device or a huge file named in a uses clause ('/dev/zero') used to be read until
        // memory ran out. Anything else is the same error as a missing file.
        // Sound: a unit is read only from where the script may read (FileAccess.h); a template
        // could otherwise show any file of the user's as a compile error.
        bool regular = true;
        {
            std::string folder = FScript.FileFolder;
            if (auto* s = dynamic_cast<TfsScript*>(&FScript))
                for (TfsScript* p = s->Parent; p && folder.empty(); p = p->Parent) folder = p->FileFolder;
            try {
                fsCheckFileAccess(fileName, TfsFileAccess::Read, folder);
            } catch (const Exception& e) {
                // Refused: the refusal is the compile error, as a missing file's would be.
                regular = false;
                if (FErrorText.empty()) {
                    FErrorText = e.what();
                    FErrorPos.clear();
                    FScript.ErrorUnit = fileName;
                }
            }
        }
        std::error_code ec;
        regular = regular && std::filesystem::is_regular_file(fileName, ec);
        std::ifstream f;
        if (regular) f.open(fileName, std::ios::binary);
        if (f.is_open()) {
            source.resize(kMaxUnitSize + 1);
            f.read(source.data(), std::streamsize(source.size()));
            source.resize(size_t(f.gcount()));
            loaded = source.size() <= kMaxUnitSize;
            if (!loaded) source.clear();
        }
        if (!loaded) {
            // A missing unit is a compile error like any other, not an exception out of Compile.
            if (FErrorText.empty()) {
                FErrorText = "Cannot open file \"" + fileName + "\"";
                FErrorPos.clear();
                FScript.ErrorUnit = fileName;
            }
        }
    }
    if (loaded && !source.empty()) {
        TfsILParser nested(FScript);
        nested.UnitName = fileName;
        nested.MatchedRules = MatchedRules;
        nested.LoadGrammar(FLanguage);
        nested.IncludedUnits = IncludedUnits;
        if (nested.BuildIL(NormaliseLineEnds(source))) {
            IncludedUnits = nested.IncludedUnits;
            std::string il = nested.FIL.SaveToString();
            size_t header = il.find("?>");
            unitText = header == std::string::npos ? il : il.substr(header + 2);
        } else if (FErrorText.empty()) {
            FErrorText = nested.FErrorText;
            FErrorPos = nested.FErrorPos;  // the position inside the unit, not ''
            if (FScript.ErrorUnit.empty()) FScript.ErrorUnit = fileName;
        }
    }
    // The unit name is escaped like any attribute value, so a quote in it cannot break the tag.
    FLines.insert(
        FLines.begin() + std::ptrdiff_t(mark), {"<uses unit=\"" + fsEscapeXML(fileName) + "\">", unitText, "</uses>"});
    mark += 3;
}

bool TfsILParser::Match(const TfsGrammarElement& e) {
    using K = TfsGrammarElement;
    // Sound limit: every nested bracket, block or statement costs several frames here and in
    // the builder, so a deep enough text used to overflow the stack. Past the limit the whole
    // match fails at once (no backtracking through the levels) and Compile reports an error.
    if (FTooDeep) return false;
    if (FDepth >= kMaxMatchDepth) {
        FTooDeep = true;
        if (FErrorText.empty() || FErrorText == FRules->Error("err3")) {
            FErrorText = SNestedTooDeeply;
            FErrorPos = LineColAfterBlanks(FParser.Position());
        }
        return false;
    }
    ++FDepth;
    auto leave = OnScopeExit([this] { --FDepth; });
    const int start = FParser.Position();
    size_t mark = FLines.size();
    bool matched = false;
    std::string token;

    switch (e.kind) {
    case K::RuleDef:
    case K::Sequence: matched = true; break;
    case K::Char:
        if (!e.noSkip) FParser.SkipSpaces();
        FFurthest = std::max(FFurthest, FParser.Position());
        token = FParser.GetSymbol();
        break;
    case K::Keyword:
        token = FParser.GetWord();
        FFurthest = std::max(FFurthest, FParser.TokenStart());
        break;
    case K::Ident:
        token = FParser.GetIdentifier();
        FFurthest = std::max(FFurthest, FParser.TokenStart());
        break;
    case K::Number:
        token = FParser.GetNumber();
        FFurthest = std::max(FFurthest, FParser.TokenStart());
        break;
    case K::String:
        token = FParser.GetString();
        FFurthest = std::max(FFurthest, FParser.TokenStart());
        break;
    case K::FrString: {
        token = FParser.GetBracketedText();
        std::string pos = "\"" + FParser.GetLineCol() + "\"";
        WriteLine("<dsgn pos=" + pos + ">");
        WriteLine("<node text=\"Get\" pos=" + pos + "/>");
        WriteLine("<expr pos=" + pos + ">");
        WriteLine("<string text=\"'" + fsEscapeXML(token) + "'\" pos=" + pos + "/>");
        WriteLine("</expr>");
        WriteLine("</dsgn>");
        break;
    }
    case K::Eol: matched = FParser.SkipLineEnd(); break;
    case K::Switch:
    case K::OptionalSwitch:
        for (const auto& child : e.children)
            if (Match(child)) return true;
        if (e.kind == K::OptionalSwitch) return true;
        RecordError(e, start);
        return false;
    case K::Loop:
    case K::OptionalLoop: {
        int passes = 0;
        bool passOk = false;
        int passStart = start;
        size_t passMark = mark;
        for (;;) {
            passStart = FParser.Position();
            passMark = FLines.size();
            ++passes;
            passOk = true;
            for (const auto& child : e.children)
                if (!Match(child)) {
                    passOk = false;
                    break;
                }
            if (!passOk) break;
            if (!e.text.empty()) {
                const int beforeSeparator = FParser.Position();
                FParser.SkipSpaces();
                if (FParser.GetSymbol() != e.text) {
                    FParser.SetPosition(beforeSeparator);
                    break;
                }
            }
            if (FParser.Position() == passStart) break;
        }
        if (passes >= 2) {
            // A pass that failed half way gives back what its children took, so "a + b +"
            // cannot leave a dangling operator in the program. A separator before it stays
            // taken: the grammars rely on that for a ";" before ELSE or END.
            if (!passOk) {
                FParser.SetPosition(passStart);
                FLines.resize(passMark);
            }
            if (e.loopSkip || FErrorTerm) {
                FErrorText.clear();
                FErrorPos.clear();
                FErrorTerm = false;
            }
            return true;
        }
        if (passOk) return true;
        FParser.SetPosition(start);
        FLines.resize(mark);
        return e.kind == K::OptionalLoop;
    }
    case K::Optional:
        for (const auto& child : e.children)
            if (!Match(child)) {
                FParser.SetPosition(start);
                FLines.resize(mark);
                break;
            }
        return true;
    case K::RuleRef:
        if (!e.rule) throw Exception(SInvalidLanguage);
        matched = Match(*e.rule);
        break;
    }

    // The common tail of rule definitions, sequences, line ends, terminals and references.
    if (e.IsTerminal()) matched = !token.empty() && (e.text.empty() || AnsiSameText(token, e.text));
    // Whatever gives its text back also gives back what it wrote: output of a failed
    // alternative must not stay in the program beside the alternative that matched.
    if (!matched) {
        RecordError(e, start);
        FParser.SetPosition(start);
        FLines.resize(mark);
        return false;
    }
    if (e.kind != K::RuleDef) ApplyNode(e, start, mark, true);
    if (!e.add.empty()) {
        const std::string& value = e.addText.empty() ? token : e.addText;
        WriteLine("<" + e.add + " text=\"" + fsEscapeXML(value) + "\" pos=\"" + FParser.GetLineCol() + "\"/>");
    }
    bool ok = true;
    if (e.kind == K::RuleDef || e.kind == K::Sequence || !e.children.empty()) {
        for (const auto& child : e.children)
            if (!Match(child)) {
                ok = false;
                FParser.SetPosition(start);
                FLines.resize(mark);
                break;
            }
    }
    if (e.kind == K::RuleDef) {
        if (ok) ApplyNode(e, start, mark, true);
        if (ok && MatchedRules) MatchedRules->insert(e.name);
    }
    return ok;
}
