#include <gtest/gtest.h>

#include <map>
#include <set>

#include "platform/rtl/Exceptions.h"
#include "script/ScriptTools.h"
#include "script/XmlTree.h"

namespace {

const std::set<std::string> kElementKinds = {"char", "keyword", "ident", "number", "string", "frstring", "eol",
    "sequence", "switch", "optionalswitch", "loop", "optionalloop", "optional"};

struct Expected {
    const char* language;
    int keywords;
    int rules;
    std::map<std::string, std::string> settings;
    std::map<std::string, std::string> types;
};

const Expected kExpected[] = {
    {"PascalScript", 40, 48,
        {{"commentline1", "//"}, {"commentblock1", "{,}"}, {"commentblock2", "(*,*)"}, {"stringquotes", "'"},
            {"hexsequence", "$"}},
        {}},
    {"C++Script", 19, 47,
        {{"commentline1", "//"}, {"commentblock1", "/*,*/"}, {"commentblock2", "/*,*/"}, {"stringquotes", "\""},
            {"hexsequence", "0x"}},
        {{"int", "integer"}, {"long", "integer"}, {"void", "integer"}, {"bool", "boolean"}, {"float", "extended"}}},
    {"BasicScript", 40, 47,
        {{"commentline1", "'"}, {"commentline2", "rem"}, {"commentblock1", "/\\,/\\"}, {"commentblock2", "/\\,/\\"},
            {"stringquotes", "\""}, {"hexsequence", "0x"}, {"declarevars", "0"}, {"skipeol", "0"}, {"skipchar", "_"}},
        {{"decimal", "extended"}}},
    {"JScript", 22, 42,
        {{"commentline1", "//"}, {"commentblock1", "/*,*/"}, {"commentblock2", "/*,*/"}, {"stringquotes", "\""},
            {"hexsequence", "0x"}, {"declarevars", "0"}},
        {}},
};

void CheckBody(const TfsXMLItem* item, const std::set<std::string>& rules, const TfsXMLItem* errors,
    const std::string& where, std::set<std::string>& referenced) {
    for (int i = 0; i < item->Count(); ++i) {
        const TfsXMLItem* e = item->Items(i);
        if (!kElementKinds.count(e->Name)) {
            EXPECT_TRUE(rules.count(e->Name)) << where << ": rule '" << e->Name << "' is not defined";
            referenced.insert(e->Name);
        }
        std::string err = e->Prop("err");
        if (!err.empty()) {
            EXPECT_GE(errors->Find(err), 0) << where << ": message " << err << " is missing";
        }
        CheckBody(e, rules, errors, where + "/" + e->Name, referenced);
    }
}

TEST(FsGrammars, EachGrammarIsCompleteAndConsistent) {
    ASSERT_EQ(fsStandardGrammarCount, 4);
    for (const Expected& x : kExpected) {
        const std::string& text = fsGetLanguage(x.language);
        EXPECT_EQ(text.find('\n'), std::string::npos) << x.language << " is embedded on one line";
        EXPECT_EQ(text.rfind("<?xml version=\"1.0\"?>", 0), 0u);
        TfsXMLDocument doc;
        doc.LoadFromString(text);
        TfsXMLItem* root = doc.Root();
        EXPECT_EQ(root->Name, "language");
        EXPECT_EQ(root->Prop("text"), x.language);
        ASSERT_GE(root->Count(), 2);
        EXPECT_EQ(root->Items(0)->Name, "parser");
        EXPECT_EQ(root->Items(1)->Name, "types");

        std::set<std::string> rules;
        for (int i = 2; i < root->Count(); ++i) {
            EXPECT_TRUE(rules.insert(root->Items(i)->Name).second) << "rule defined twice: " << root->Items(i)->Name;
            EXPECT_EQ(kElementKinds.count(root->Items(i)->Name), 0u) << root->Items(i)->Name;
        }
        EXPECT_EQ(int(rules.size()), x.rules) << x.language;
        EXPECT_TRUE(rules.count("program") && rules.count("empty")) << x.language;
        EXPECT_EQ(root->FindItem("empty")->Count(), 0);

        TfsXMLItem* parser = root->Items(0);
        TfsXMLItem* errors = parser->FindItem("errors");
        std::set<std::string> referenced;
        for (int i = 2; i < root->Count(); ++i)
            CheckBody(root->Items(i), rules, errors, std::string(x.language) + ":" + root->Items(i)->Name, referenced);
        for (const std::string& rule : rules)
            if (rule != "program" && !(rule == "empty" && std::string(x.language) == "PascalScript")) {
                EXPECT_TRUE(referenced.count(rule)) << x.language << ": rule " << rule << " is never used";
            }

        EXPECT_EQ(parser->FindItem("keywords")->Count(), x.keywords) << x.language;
        std::map<std::string, std::string> settings;
        for (int i = 0; i < parser->Count(); ++i)
            if (parser->Items(i)->Name != "keywords" && parser->Items(i)->Name != "errors")
                settings[parser->Items(i)->Name] = parser->Items(i)->Prop("text");
        EXPECT_EQ(settings, x.settings) << x.language;

        std::map<std::string, std::string> types;
        for (int i = 0; i < root->Items(1)->Count(); ++i)
            types[root->Items(1)->Items(i)->Name] = root->Items(1)->Items(i)->Prop("type");
        EXPECT_EQ(types, x.types) << x.language;

        EXPECT_EQ(errors->FindItem("err20")->Prop("text"), "'>' expected");
        EXPECT_EQ(errors->FindItem("err1")->Prop("text"), "Identifier expected");
    }
}

TEST(FsGrammars, MessagesThatDifferPerLanguage) {
    struct Case {
        const char* language;
        const char* err;
        const char* text;
    } cases[] = {
        {"PascalScript", "err3", "Statement expected"},
        {"BasicScript", "err3", "End of line expected"},
        {"PascalScript", "err10", "'BEGIN' expected"},
        {"C++Script", "err10", "'{' expected"},
        {"BasicScript", "err10", "'TO' expected"},
        {"C++Script", "err13", "'DEFINE' expected"},
        {"JScript", "err13", ""},
        {"PascalScript", "err15", "'TO' or 'DOWNTO' expected"},
        {"BasicScript", "err17", "'FINALLY' or 'CATCH' expected"},
        {"BasicScript", "err28", "'IF' expected"},
        {"C++Script", "err16", ""},
    };
    for (const auto& c : cases) {
        TfsXMLDocument doc;
        doc.LoadFromString(fsGetLanguage(c.language));
        TfsXMLItem* errors = doc.Root()->FindItem("parser")->FindItem("errors");
        int i = errors->Find(c.err);
        EXPECT_EQ(i >= 0 ? errors->Items(i)->Prop("text") : std::string(), c.text) << c.language << " " << c.err;
    }
}

TEST(FsLanguages, RegistryKeepsFirstAndIgnoresCase) {
    std::vector<std::string> expected = {"JScript", "BasicScript", "C++Script", "PascalScript"};
    EXPECT_EQ(fsGetLanguageList(), expected);
    std::string pascal = fsGetLanguage("PascalScript");
    fsRegisterLanguage("PASCALSCRIPT", "<?xml?><language/>");
    EXPECT_EQ(fsGetLanguage("pascalscript"), pascal);
    EXPECT_EQ(fsGetLanguageList().size(), 4u);
    try {
        fsGetLanguage("Cobol");
        ADD_FAILURE();
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "Jazyk 'Cobol' nenalezen");
    }
}

}  // namespace
