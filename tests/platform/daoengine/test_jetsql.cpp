#include <gtest/gtest.h>

#include "DaoTestDb.h"
#include "platform/daoengine/JetSql.h"

using namespace Dao;
using daotest::DaoErr;
using daotest::Str;

namespace {

NameResolver Columns(std::vector<std::string> known) {
    return [known](const std::vector<std::string>& parts, NameResolution& r) {
        for (const auto& k : known)
            if (k == parts.back()) {
                r.Sql = "\"" + k + "\"";
                return true;
            }
        return false;
    };
}

TEST(JetCriteria, LiteralsBecomeBinds) {
    struct Case {
        const char* Jet;
        const char* Sql;
        std::vector<std::string> Binds;
    };
    const Case cases[] = {
        {"[Jmeno] = \"Nov\"\"ák\"", "(\"Jmeno\" = ?1 COLLATE CZECH)", {"Nov\"ák"}},
        {"([Jmeno] LIKE LCASE(\"nov*\"))", "((\"Jmeno\" LIKE lcase(?1)))", {"nov*"}},
        {"[A] IS NULL AND [B] IS NOT NULL", "((\"A\" IS NULL) AND (\"B\" IS NOT NULL))", {}},
        {"[A] = True OR [A] = False", "((\"A\" = ?1 COLLATE CZECH) OR (\"A\" = ?2 COLLATE CZECH))", {"-1", "0"}},
        {"[A] = 12", "(\"A\" = ?1 COLLATE CZECH)", {"12"}},
        {"[G] = {guid {0A1B2C3D-0000-1111-2222-333344445555}}", "(\"G\" = ?1 COLLATE CZECH)",
            {"{0A1B2C3D-0000-1111-2222-333344445555}"}},
        {"[T].[A] <> 'x'", "(\"A\" <> ?1 COLLATE CZECH)", {"x"}},
    };
    for (const auto& c : cases) {
        SqlText t = TranslateCriteria(c.Jet, Columns({"Jmeno", "A", "B", "G"}));
        EXPECT_EQ(t.Sql, c.Sql) << c.Jet;
        ASSERT_EQ(t.Binds.size(), c.Binds.size()) << c.Jet;
        for (size_t i = 0; i < c.Binds.size(); ++i) EXPECT_EQ(VarToStr(t.Binds[i]), c.Binds[i]) << c.Jet;
    }
}

TEST(JetCriteria, DatesAreDaysSince1899) {
    struct Case {
        const char* Text;
        double Days;
    };
    const Case cases[] = {{"12/30/1899", 0}, {"01/31/2005 12:30:00 PM", 38383.5 + 30.0 / 1440},
        {"01/31/2005 12:30:00 AM", 38383 + 30.0 / 1440}, {"02/01/2003", 37653}, {"06:00:00", 0.25},
        {"12/29/1899 06:00:00", -1.25}};
    for (const auto& c : cases) {
        double d = 0;
        ASSERT_TRUE(ParseJetDate(c.Text, d)) << c.Text;
        EXPECT_NEAR(d, c.Days, 1e-9) << c.Text;
    }
    double d = 0;
    EXPECT_FALSE(ParseJetDate("02/30/2003", d));
    EXPECT_FALSE(ParseJetDate("13/01/2003", d));
    EXPECT_FALSE(ParseJetDate("25:00:00", d));
}

TEST(JetCriteria, SyntaxErrorsAndUnknownNames) {
    const char* bad[] = {
        "[A] = ", "[A] = \"open", "[A = 1", "(A = 1", "[A] = 1 [B]", "[A] = #13/45/2000#", "[A] LIKE", "AND"};
    for (const char* b : bad)
        EXPECT_EQ(DaoErr([&] { TranslateCriteria(b, Columns({"A", "B"})); }), errSyntaxInCriteria) << b;
    EXPECT_EQ(DaoErr([&] { TranslateCriteria("[Z] = 1", Columns({"A"})); }), errUnknownName);
    EXPECT_EQ(TranslateSort("[A] DESC, B ", Columns({"A", "B"})), "\"A\" COLLATE CZECH DESC, \"B\" COLLATE CZECH ASC");
    EXPECT_EQ(DaoErr([&] { TranslateSort("[A] = 1", Columns({"A"})); }), errSyntaxInCriteria);
}

TEST(JetLike, Patterns) {
    struct Case {
        const char* Pattern;
        const char* Value;
        bool Match;
    };
    const Case cases[] = {
        {"nov*", "Novák", true},
        {"NOV*", "novák", true},
        {"*ák", "Čermák", true},
        {"?ermák", "Čermák", true},
        {"č*", "Čermák", true},
        {"c*", "Čermák", false},
        {"#.A", "1.A", true},
        {"#.A", "X.A", false},
        {"[!0-9]*", "A1", true},
        {"[!0-9]*", "1A", false},
        {"[a-c]*", "Bohouš", true},
        {"a[*]b", "a*b", true},
        {"a[*]b", "axb", false},
        {"[?]", "?", true},
        {"*", "", true},
        {"?", "", false},
        {"a*b*c", "aXbYc", true},
        {"a*b*c", "aXbY", false},
        {"[", "[", true},
        {"100[%]", "100%", true},
    };
    for (const auto& c : cases) EXPECT_EQ(JetLike(c.Pattern, c.Value), c.Match) << c.Pattern << " ~ " << c.Value;
}

TEST(JetSelect, SimpleSelectIsTakenApart) {
    SimpleSelect s;
    ASSERT_TRUE(ParseSimpleSelect("Select * From [vysvedceni] Where ([Trida] = \"1.A\") Order By [Jmeno] ;", s));
    EXPECT_EQ(s.Table, "vysvedceni");
    EXPECT_EQ(s.Where, "([Trida] = \"1.A\")");
    EXPECT_EQ(s.OrderBy, "[Jmeno]");
    EXPECT_FALSE(ParseSimpleSelect("SELECT a FROM t, u", s));
    EXPECT_FALSE(ParseSimpleSelect("SELECT COUNT(*) FROM t", s));
    EXPECT_FALSE(ParseSimpleSelect("SELECT * FROM t GROUP BY a", s));
    std::string body;
    auto p = SplitParameters("PARAMETERS [Od data] DateTime, Kdo Text (50); SELECT 1;", body);
    ASSERT_EQ(p.size(), 2u);
    EXPECT_EQ(p[0].Name, "Od data");
    EXPECT_EQ(p[1].Type, "Text");
    EXPECT_EQ(body, "SELECT 1;");
}

// Hostile texts inside literals must stay data: they find the row that holds exactly
// that text and nothing else, and the statement around them is never changed.
class Injection : public daotest::DaoFixture {};

TEST_F(Injection, LiteralsNeverBecomeSql) {
    const char* hostile[] = {
        "x\") OR (\"1\"=\"1",
        "x' OR '1'='1",
        "a]b",
        "[Jmeno]",
        "x]) OR ([ID] > 0",
        ":Jmeno",
        "?1",
        "; DROP TABLE Zaci; --",
        "#1/1/2000#",
        "O'Brien \"Bob\"",
    };
    auto rs = Dynaset();
    for (const char* h : hostile) {
        std::string lit;
        for (const char* c = h; *c; ++c) lit += *c == '"' ? std::string("\"\"") : std::string(1, *c);
        rs->FindFirst("[Poznamka] = \"" + lit + "\"");
        EXPECT_TRUE(rs->NoMatch()) << h;
        rs->SetFilter("[Poznamka] = \"" + lit + "\" OR [Jmeno] = \"" + lit + "\"");
        EXPECT_EQ(rs->OpenRecordset()->RecordCount(), 0) << h;
        EXPECT_EQ(
            Db->OpenRecordset("Select * From [Zaci] Where [Poznamka] = \"" + lit + "\";", dbOpenDynaset)->RecordCount(),
            0)
            << h;

        rs->AddNew();
        rs->GetFields().Item("Jmeno").SetValue(Variant("Host"));
        rs->GetFields().Item("Poznamka").SetValue(Variant(h));
        rs->Update();
        rs->FindFirst("[Poznamka] = \"" + lit + "\"");
        ASSERT_FALSE(rs->NoMatch()) << h;
        EXPECT_EQ(Str(*rs, "Poznamka"), h);
        rs->Delete();
    }
    EXPECT_EQ(Db->OpenRecordset("Zaci", dbOpenSnapshot)->RecordCount(), 5);
}

}  // namespace

// Damaged criteria found by fuzzing: nesting deeper than any person types is a syntax error,
// not a stack overflow, and a long OR list is translated in one pass with the same text.
TEST(JetCriteria, DeepNestingIsASyntaxErrorAndLongChainsKeepTheirForm) {
    const NameResolver cols = Columns({"A"});
    const std::string nested = std::string(150, '(') + "[A] = 1" + std::string(150, ')');
    EXPECT_NO_THROW(TranslateCriteria(nested, cols));
    auto repeat = [](const std::string& s, int n) {
        std::string out;
        for (int i = 0; i < n; ++i) out += s;
        return out;
    };
    const std::string deep[] = {repeat("(", 5000) + "[A]", repeat("-", 5000) + "1", repeat("NOT ", 5000) + "[A] = 1",
        repeat("LEN(", 5000) + "[A]", repeat("+", 5000) + "1"};
    for (const std::string& d : deep)
        EXPECT_EQ(DaoErr([&] { TranslateCriteria(d, cols); }), errSyntaxInCriteria) << d.substr(0, 8);

    EXPECT_EQ(TranslateCriteria("[A] = 1 OR [A] = 2 AND [A] & 'x' - 3 * 4 / 5 OR [A] + 6 = 7", cols).Sql,
        "(((\"A\" = ?1 COLLATE CZECH) OR ((\"A\" = ?2 COLLATE CZECH) AND ((COALESCE(\"A\", '') || "
        "COALESCE(?3, '')) - ((?4 * ?5) / ?6)))) OR ((\"A\" + ?7) = ?8 COLLATE CZECH))");
    const SqlText many = TranslateCriteria("[A] = 0" + repeat(" OR [A] = 1", 39999), cols);
    EXPECT_EQ(many.Binds.size(), 40000u);
    EXPECT_EQ(many.Sql.substr(0, 3), "(((");
}
