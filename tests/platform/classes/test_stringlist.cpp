#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "platform/classes/StringList.h"
#include "platform/classes/Streams.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/SysUtils.h"

using Lines = std::vector<std::string>;

namespace {

Lines LinesOf(const TStrings& s) {
    Lines out;
    for (int i = 0; i < s.Count(); ++i) out.push_back(s.Strings(i));
    return out;
}

void Fill(TStrings& s, const Lines& lines) {
    for (const auto& l : lines) s.Add(l);
}

// Counts its own destructions, to see who deletes owned objects.
struct Tracked : TObject {
    explicit Tracked(int& deaths) : Deaths(deaths) {}
    ~Tracked() override { ++Deaths; }
    int& Deaths;
};

class TempDir : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/karomil-strings-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        Dir = pattern;
    }
    void TearDown() override { std::system(("rm -rf '" + Dir + "'").c_str()); }
    std::string Dir;
};

}  // namespace

TEST(StringList, ClassNamesAreVisibleToScripts) {
    TStringList list;
    EXPECT_EQ(list.ClassName(), "TStringList");
    EXPECT_EQ(list.ClassParent()->ClassName(), "TStrings");
    EXPECT_TRUE(list.InheritsFrom(TPersistent::StaticClass()));
}

// --- sorted lists -----------------------------------------------------------------------------

TEST(StringList, SortedAddFollowsDuplicatesRule) {
    struct Case {
        TDuplicates rule;
        Lines expected;
        bool raises;
    };
    // Adds "b", "a", "B", "c", "a"; equality ignores case by default.
    const Case cases[] = {
        {dupIgnore, {"a", "b", "c"}, false},
        {dupAccept, {"a", "a", "b", "B", "c"}, false},
        {dupError, {"a", "b"}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.rule));
        TStringList list;
        list.SetSorted(true);
        list.SetDuplicates(c.rule);
        try {
            for (const char* s : {"b", "a", "B", "c", "a"}) list.Add(s);
            EXPECT_FALSE(c.raises);
        } catch (const EStringListError& e) {
            EXPECT_TRUE(c.raises);
            EXPECT_STREQ(e.what(), "String list does not allow duplicates");
        }
        EXPECT_EQ(LinesOf(list), c.expected);
    }
}

TEST(StringList, IgnoredDuplicateAnswersTheExistingIndex) {
    TStringList list;
    list.SetSorted(true);
    Fill(list, {"a", "m", "z"});
    EXPECT_EQ(list.Add("M"), 1);
    EXPECT_EQ(list.Count(), 3);
}

TEST(StringList, FindAnswersFirstMatchOrInsertPosition) {
    struct Case {
        const char* s;
        bool found;
        int index;
    };
    const Case cases[] = {
        {"a", false, 0},
        {"b", true, 0},
        {"B", true, 0},
        {"c", false, 1},
        {"d", true, 1},
        {"dd", false, 4},
        {"f", true, 4},
        {"g", false, 5},
        {"", false, 0},
    };
    TStringList list;
    list.SetSorted(true);
    list.SetDuplicates(dupAccept);
    Fill(list, {"f", "d", "D", "b", "d"});  // b d D d f (equal ones in order added)
    for (const Case& c : cases) {
        SCOPED_TRACE(c.s);
        int index = -7;
        EXPECT_EQ(list.Find(c.s, index), c.found);
        EXPECT_EQ(index, c.index);
    }
    TStringList empty;
    int index = -7;
    EXPECT_FALSE(empty.Find("x", index));
    EXPECT_EQ(index, 0);
}

TEST(StringList, SortingUsesCzechOrderIgnoringCase) {
    TStringList list;
    Fill(list, {"žába", "Chata", "hrad", "čaj", "cukr", "ibis", "řeka", "rak", "šum", "sova", "Zima"});
    list.SetSorted(true);
    EXPECT_EQ(
        LinesOf(list), (Lines{"cukr", "čaj", "hrad", "Chata", "ibis", "rak", "řeka", "sova", "šum", "Zima", "žába"}));
    EXPECT_EQ(list.IndexOf("CHATA"), 3);
    EXPECT_EQ(list.IndexOf("ŽÁBA"), 10);
    EXPECT_EQ(list.IndexOf("chat"), -1);
}

TEST(StringList, CaseSensitiveListKeepsCaseVariantsApart) {
    TStringList list;
    list.SetCaseSensitive(true);
    list.SetSorted(true);
    Fill(list, {"Čaj", "čaj", "CAJ"});
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.IndexOf("čaj"), list.IndexOf("čaj"));
    EXPECT_NE(list.IndexOf("čaj"), list.IndexOf("Čaj"));
    EXPECT_EQ(list.IndexOf("čAJ"), -1);
}

TEST(StringList, IndexOfOnUnsortedListIgnoresCzechCase) {
    TStringList list;
    Fill(list, {"Šárka", "ČEŠTINA", "x"});
    EXPECT_EQ(list.IndexOf("čeština"), 1);
    EXPECT_EQ(list.IndexOf("šárka"), 0);
    list.SetCaseSensitive(true);
    EXPECT_EQ(list.IndexOf("čeština"), -1);
}

// The class library left a sorted list in the old order when the case rule changed.
TEST(StringList, ChangingCaseRuleOfSortedListSortsAgain) {
    TStringList list;
    list.SetSorted(true);
    list.SetDuplicates(dupAccept);
    Fill(list, {"B", "b", "a"});
    EXPECT_EQ(LinesOf(list), (Lines{"a", "B", "b"}));
    list.SetCaseSensitive(true);
    EXPECT_EQ(LinesOf(list), (Lines{"a", "b", "B"}));
    int index = -1;
    EXPECT_TRUE(list.Find("B", index));
    EXPECT_EQ(index, 2);
}

TEST(StringList, SortedListRefusesPositionalEdits) {
    const std::pair<const char*, std::function<void(TStringList&)>> ops[] = {
        {"Insert", [](TStringList& l) { l.Insert(0, "x"); }},
        {"InsertObject", [](TStringList& l) { l.InsertObject(1, "x", nullptr); }},
        {"Put", [](TStringList& l) { l.SetStrings(0, "x"); }},
        {"Move", [](TStringList& l) { l.Move(0, 2); }},  // the class library lost the line here
    };
    for (const auto& [name, op] : ops) {
        SCOPED_TRACE(name);
        TStringList list;
        list.SetSorted(true);
        Fill(list, {"c", "a", "b"});
        try {
            op(list);
            ADD_FAILURE() << "no exception";
        } catch (const EStringListError& e) {
            EXPECT_STREQ(e.what(), "Operation not allowed on sorted list");
        }
        EXPECT_EQ(LinesOf(list), (Lines{"a", "b", "c"}));
    }
}

TEST(StringList, CustomSortOrdersUnsortedListOnly) {
    auto byLength = [](TStringList* l, int a, int b) { return int(l->Strings(a).size()) - int(l->Strings(b).size()); };
    TStringList list;
    Fill(list, {"ccc", "a", "bb"});
    list.CustomSort(byLength);
    EXPECT_EQ(LinesOf(list), (Lines{"a", "bb", "ccc"}));

    TStringList sorted;
    sorted.SetSorted(true);
    Fill(sorted, {"ccc", "bb", "a"});  // a bb ccc either way: check it stays alphabetical
    sorted.Add("aaaa");
    sorted.CustomSort(byLength);
    EXPECT_EQ(LinesOf(sorted), (Lines{"a", "aaaa", "bb", "ccc"}));
}

// --- editing, objects and integers ------------------------------------------------------------

TEST(StringList, EditsCarryObjectsAndIntegers) {
    TObject o0, o1, o2;
    TStringList list;
    list.AddObject("zero", &o0);
    list.AddObject("one", &o1);
    list.AddObject("two", &o2);
    list.SetObjectsAsInt(0, -2);
    list.SetObjectsAsInt(2, 7);

    list.Move(0, 2);  // one two zero
    list.Exchange(0, 1);  // two one zero
    list.SetStrings(1, "jedna");
    EXPECT_EQ(LinesOf(list), (Lines{"two", "jedna", "zero"}));
    EXPECT_EQ(list.Objects(0), &o2);
    EXPECT_EQ(list.Objects(1), &o1);
    EXPECT_EQ(list.Objects(2), &o0);
    EXPECT_EQ(list.ObjectsAsInt(0), 7);
    EXPECT_EQ(list.ObjectsAsInt(1), 0);
    EXPECT_EQ(list.ObjectsAsInt(2), -2);
    EXPECT_EQ(list.IndexOfObject(&o0), 2);
    EXPECT_EQ(list.IndexOfObject(nullptr), -1);
    EXPECT_EQ(list.IndexOfObjectAsInt(-2), 2);
    EXPECT_EQ(list.AddObjectAsInt("three", 3), 3);
    EXPECT_EQ(list.ObjectsAsInt(3), 3);
    EXPECT_EQ(list.Objects(3), nullptr);
}

TEST(StringList, OutOfRangeIndexRaisesListError) {
    TStringList list;
    Fill(list, {"a", "b"});
    const std::pair<std::function<void()>, const char*> ops[] = {
        {[&] { list.Strings(2); }, "List index out of bounds (2)"},
        {[&] { list.Objects(-1); }, "List index out of bounds (-1)"},
        {[&] { list.Delete(5); }, "List index out of bounds (5)"},
        {[&] { list.Insert(3, "x"); }, "List index out of bounds (3)"},
        {[&] { list.Exchange(0, 2); }, "List index out of bounds (2)"},
        {[&] { list.Names(9); }, "List index out of bounds (9)"},
    };
    for (const auto& [op, message] : ops) {
        try {
            op();
            ADD_FAILURE() << message;
        } catch (const EListError& e) {
            EXPECT_STREQ(e.what(), message);
            EXPECT_STREQ(e.ClassName(), "EStringListError");
        }
    }
    EXPECT_EQ(LinesOf(list), (Lines{"a", "b"}));
}

TEST(StringList, AssignCopiesLinesObjectsAndIntegers) {
    TObject o;
    TStringList source;
    source.AddObject("a", &o);
    source.AddObjectAsInt("b", -2);
    TStringList dest;
    Fill(dest, {"old"});
    dest.Assign(&source);
    EXPECT_EQ(LinesOf(dest), (Lines{"a", "b"}));
    EXPECT_EQ(dest.Objects(0), &o);
    EXPECT_EQ(dest.ObjectsAsInt(1), -2);
    EXPECT_TRUE(dest.Equals(&source));

    dest.Assign(&dest);  // the class library cleared the list first and lost it
    EXPECT_EQ(LinesOf(dest), (Lines{"a", "b"}));

    TPersistent other;
    EXPECT_THROW(dest.Assign(&other), EConvertError);
}

TEST(StringList, EqualsComparesBytesOfEveryLine) {
    TStringList a, b;
    Fill(a, {"x", "Y"});
    Fill(b, {"x", "y"});
    EXPECT_FALSE(a.Equals(&b));
    b.SetStrings(1, "Y");
    EXPECT_TRUE(a.Equals(&b));
    b.Add("");
    EXPECT_FALSE(a.Equals(&b));
}

TEST(StringList, OwningListDeletesObjectsWhenTheyGo) {
    int deaths = 0;
    {
        TStringList list;
        list.SetOwnsObjects(true);
        for (const char* s : {"a", "b", "c", "d"}) list.AddObject(s, new Tracked(deaths));
        list.Delete(0);
        EXPECT_EQ(deaths, 1);
        list.SetObjects(0, new Tracked(deaths));  // replaces b's object
        EXPECT_EQ(deaths, 2);
        list.SetObjects(0, list.Objects(0));  // same object: kept
        EXPECT_EQ(deaths, 2);
        list.Delete(2);
        EXPECT_EQ(deaths, 3);
        list.AddObject("e", new Tracked(deaths));
    }
    EXPECT_EQ(deaths, 6);  // b, c and e go with the list

    int kept = 0;
    Tracked t(kept);
    {
        TStringList list;
        list.AddObject("a", &t);
        list.Clear();
    }
    EXPECT_EQ(kept, 0);
}

TEST(StringList, LinesAreBinarySafe) {
    const std::string withNul("a\0b", 3);
    TStringList list;
    list.Add(withNul);
    list.Add(std::string("\xFF\xFE", 2));
    EXPECT_EQ(list.Strings(0).size(), 3u);
    EXPECT_EQ(list.IndexOf(withNul), 0);
    EXPECT_EQ(list.IndexOf("a"), -1);
    TStringList copy;
    copy.SetText(list.Text());
    EXPECT_TRUE(copy.Equals(&list));
    copy.SetCommaText(list.CommaText());
    EXPECT_TRUE(copy.Equals(&list));
}

// --- Name=Value -------------------------------------------------------------------------------

TEST(StringList, NamesAndValues) {
    TStringList list;
    Fill(list, {"USER NAME=jan", "Heslo=x=y", "bez rovnítka", "=prázdné", "Šéf="});
    struct Case {
        int index;
        const char* name;
        const char* value;
    };
    const Case cases[] = {
        {0, "USER NAME", "jan"},
        {1, "Heslo", "x=y"},
        {2, "", ""},  // the class library answered "ez rovnítka" here
        {3, "", "prázdné"},
        {4, "Šéf", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        EXPECT_EQ(list.Names(c.index), c.name);
        EXPECT_EQ(list.ValueFromIndex(c.index), c.value);
    }
    EXPECT_EQ(list.Values("user name"), "jan");
    EXPECT_EQ(list.Values("šÉF"), "");
    EXPECT_EQ(list.IndexOfName("šéf"), 4);
    EXPECT_EQ(list.IndexOfName("bez rovnítka"), -1);
    EXPECT_EQ(list.Values("nikdo"), "");
}

TEST(StringList, AssigningValues) {
    struct Case {
        const char* name;
        const char* value;
        Lines expected;
    };
    const Case cases[] = {
        {"user name", "petr", {"user name=petr", "Heslo=1"}},
        {"HESLO", "", {"USER NAME=jan"}},
        {"Nový", "2", {"USER NAME=jan", "Heslo=1", "Nový=2"}},
        {"nikdo", "", {"USER NAME=jan", "Heslo=1"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TStringList list;
        Fill(list, {"USER NAME=jan", "Heslo=1"});
        list.SetValues(c.name, c.value);
        EXPECT_EQ(LinesOf(list), c.expected);
    }

    TStringList list;
    Fill(list, {"a=1", "b=2"});
    list.SetValueFromIndex(1, "3");
    list.SetValueFromIndex(0, "");
    EXPECT_EQ(LinesOf(list), (Lines{"b=3"}));
}

// The class library added an empty line first and then failed to fill it in a sorted list.
TEST(StringList, NewValueGoesToItsPlaceInSortedList) {
    TStringList list;
    list.SetSorted(true);
    Fill(list, {"b=2", "d=4"});
    list.SetValues("c", "3");
    EXPECT_EQ(LinesOf(list), (Lines{"b=2", "c=3", "d=4"}));
}

// --- Text, CommaText, DelimitedText -----------------------------------------------------------

TEST(StringList, TextSplitsOnCrLfAndCrAndLfAndJoinsWithCrLf) {
    struct Case {
        std::string text;
        Lines lines;
    };
    const Case cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\nb", {"a", "b"}},
        {"a\rb\r", {"a", "b"}},
        {"\r\n", {""}},
        {"a\r\n\r\nb", {"a", "", "b"}},
        {"a\n\rb", {"a", "", "b"}},  // LF then CR: two breaks
        {"a\r\r\n", {"a", ""}},
        {"příliš\nžluťoučký", {"příliš", "žluťoučký"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.text));
        TStringList list;
        list.SetText(c.text);
        EXPECT_EQ(LinesOf(list), c.lines);
        std::string joined;
        for (const auto& l : c.lines) joined += l + "\r\n";
        EXPECT_EQ(list.Text(), joined);
    }
}

TEST(StringList, CommaTextWritesWithQuotingRules) {
    struct Case {
        Lines lines;
        const char* text;
    };
    const Case cases[] = {
        {{}, ""},
        {{""}, "\"\""},
        {{"", ""}, ","},
        {{"a", "b"}, "a,b"},
        {{"a b"}, "\"a b\""},
        {{"a,b", "c"}, "\"a,b\",c"},
        {{"say \"hi\""}, "\"say \"\"hi\"\"\""},
        {{"", "x"}, ",x"},
        {{"čaj", "tab\there"}, "čaj,\"tab\there\""},
        {{"it's"}, "it's"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        TStringList list;
        Fill(list, c.lines);
        EXPECT_EQ(list.CommaText(), c.text);
        TStringList back;
        back.SetCommaText(c.text);
        EXPECT_EQ(LinesOf(back), c.lines);
    }
}

TEST(StringList, CommaTextReadsLooseInput) {
    struct Case {
        const char* text;
        Lines lines;
    };
    const Case cases[] = {
        {"  a , b  ", {"a", "b"}},
        {"a b", {"a", "b"}},  // blanks split outside quotes
        {"a,,b", {"a", "", "b"}},
        {",a", {"", "a"}},
        {"a,", {"a", ""}},
        {"a, ", {"a"}},  // a delimiter followed by blanks ends nothing
        {"\"x\"\"y\"", {"x\"y"}},
        {"\"unclosed, still", {"unclosed, still"}},
        {"\"a\"b,c", {"a", "b", "c"}},
        {"\"\"", {""}},
        {"\t\r\n", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        TStringList list;
        list.SetCommaText(c.text);
        EXPECT_EQ(LinesOf(list), c.lines);
    }
}

TEST(StringList, DelimitedTextUsesDelimiterAndQuoteChar) {
    TStringList list;
    list.Delimiter = ';';
    list.QuoteChar = '\'';
    Fill(list, {"a;b", "c,d", "it's"});
    EXPECT_EQ(list.DelimitedText(), "'a;b';c,d;'it''s'");
    EXPECT_EQ(list.CommaText(), "a;b,\"c,d\",it's");
    TStringList back;
    back.Delimiter = ';';
    back.QuoteChar = '\'';
    back.SetDelimitedText(list.DelimitedText());
    EXPECT_TRUE(back.Equals(&list));
}

// --- change notifications ---------------------------------------------------------------------

TEST(StringList, OnChangeFiresAfterEveryChangeAndOnceAfterABatch) {
    struct Case {
        const char* name;
        std::function<void(TStringList&)> op;
        int changes;
    };
    TObject o;
    const Case cases[] = {
        {"Add", [](TStringList& l) { l.Add("x"); }, 1},
        {"Insert", [](TStringList& l) { l.Insert(0, "x"); }, 1},
        {"Delete", [](TStringList& l) { l.Delete(0); }, 1},
        {"Put", [](TStringList& l) { l.SetStrings(0, "x"); }, 1},
        {"PutObject", [&](TStringList& l) { l.SetObjects(0, &o); }, 1},
        {"Exchange", [](TStringList& l) { l.Exchange(0, 1); }, 1},
        {"Move", [](TStringList& l) { l.Move(0, 1); }, 1},
        {"Clear", [](TStringList& l) { l.Clear(); }, 1},
        {"Clear twice",
            [](TStringList& l) {
                l.Clear();
                l.Clear();
            },
            1},
        {"Sort", [](TStringList& l) { l.Sort(); }, 1},
        {"two Adds",
            [](TStringList& l) {
                l.Add("x");
                l.Add("y");
            },
            2},
        {"batch",
            [](TStringList& l) {
                l.BeginUpdate();
                l.Add("x");
                l.Delete(0);
                l.Add("y");
                l.EndUpdate();
            },
            1},
        {"nested batch",
            [](TStringList& l) {
                l.BeginUpdate();
                l.BeginUpdate();
                l.Add("x");
                l.EndUpdate();
                l.Add("y");
                l.EndUpdate();
            },
            1},
        {"extra EndUpdate",
            [](TStringList& l) {
                l.EndUpdate();
                l.Add("x");
            },
            1},
        {"SetText", [](TStringList& l) { l.SetText("a\nb\nc"); }, 1},
        {"SetCommaText", [](TStringList& l) { l.SetCommaText("a,b,c"); }, 1},
        {"Values", [](TStringList& l) { l.SetValues("n", "v"); }, 1},
        {"Find",
            [](TStringList& l) {
                int i;
                l.Find("b", i);
                l.IndexOf("b");
            },
            0},
        {"refused Insert",
            [](TStringList& l) {
                l.SetSorted(true);
                try {
                    l.Insert(0, "z");
                } catch (const EStringListError&) {}
            },
            1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TStringList list;
        Fill(list, {"b", "a"});
        int changing = 0, changed = 0;
        list.OnChanging = [&](TObject* sender) {
            EXPECT_EQ(sender, &list);
            EXPECT_EQ(changing++, changed);
        };
        list.OnChange = [&](TObject* sender) {
            EXPECT_EQ(sender, &list);
            ++changed;
        };
        c.op(list);
        EXPECT_EQ(changed, c.changes);
        EXPECT_EQ(changing, c.changes);
    }
}

TEST(StringList, AssignNotifiesOnce) {
    TStringList source;
    Fill(source, {"a", "b", "c"});
    TStringList dest;
    Fill(dest, {"x"});
    int changed = 0;
    dest.OnChange = [&](TObject*) { ++changed; };
    dest.Assign(&source);
    EXPECT_EQ(changed, 1);
}

// A handler's error at the end of a batch reaches the caller; after a failed edit the edit's
// own error arrives. Either way the batch is over and the list notifies again.
TEST(StringList, BatchEndsOnEveryPathAndHandlerErrorsReachTheCaller) {
    TStringList list;
    Fill(list, {"a", "b"});
    list.OnChange = [](TObject*) { throw Exception("handler"); };
    try {
        list.SetText("x\ny");
        ADD_FAILURE() << "the handler's error was lost";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "handler");
    }
    EXPECT_EQ(list.UpdateCount(), 0);
    try {
        list.Move(0, 5);
        ADD_FAILURE() << "the edit's error was lost";
    } catch (const EListError& e) {
        EXPECT_EQ(e.Message(), "List index out of bounds (5)");
    }
    EXPECT_EQ(list.UpdateCount(), 0);
    int changed = 0;
    list.OnChange = [&](TObject*) { ++changed; };
    list.Add("z");
    EXPECT_EQ(changed, 1);
}

// --- storage ----------------------------------------------------------------------------------

TEST(StringList, StreamsAreUtf8WithCrLfAndSkipByteOrderMark) {
    TStringList list;
    Fill(list, {"Příliš", "", "žluťoučký kůň"});
    TStringStream out;
    list.SaveToStream(&out);
    EXPECT_EQ(out.DataString(), "Příliš\r\n\r\nžluťoučký kůň\r\n");

    TStringStream in(
        "skip\n\xEF\xBB\xBF"
        "a\nb");
    in.SetPosition(5);  // loading starts at the stream's position
    TStringList loaded;
    loaded.LoadFromStream(&in);
    EXPECT_EQ(LinesOf(loaded), (Lines{"a", "b"}));
}

using StringListFiles = TempDir;

TEST_F(StringListFiles, SaveAndLoadRoundTrip) {
    TStringList list;
    Fill(list, {"řádek 1", "a=b", ""});
    std::string name = Dir + "/seznam.txt";
    list.SaveToFile(name);
    TStringList loaded;
    Fill(loaded, {"old"});
    loaded.LoadFromFile(name);
    EXPECT_TRUE(loaded.Equals(&list));
}

TEST_F(StringListFiles, MissingFileRaisesOpenErrorAndKeepsLines) {
    TStringList list;
    Fill(list, {"kept"});
    std::string name = Dir + "/chybí.txt";
    try {
        list.LoadFromFile(name);
        ADD_FAILURE() << "no exception";
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.Message(), "Cannot open file \"" + name + "\". No such file or directory");
    }
    EXPECT_EQ(LinesOf(list), (Lines{"kept"}));
    EXPECT_THROW(list.SaveToFile(Dir + "/no/such/dir.txt"), EFCreateError);
}
