// The text object: value formats, zeros, repeated values, page-total placeholders, rotation,
// expressions with format suffixes and other delimiters, splitting.

#include <gtest/gtest.h>

#include "platform/classes/StringList.h"
#include "platform/gui/Application.h"
#include "platform/rtl/SysUtils.h"
#include "report/core/frxDataSet.h"
#include "report/core/frxMemoView.h"
#include "report/core/frxReport.h"
#include "script/Interpreter.h"

namespace {
void StartScripting() {
    static bool started = (script::Startup(), true);
    (void)started;
    EnsureQtApplication();
}
}  // namespace

TEST(MemoView, FormatValueTable) {
    TfrxMemoView m(nullptr);
    auto fmt = [](TfrxFormatKind kind, const std::string& str, const std::string& sep = "") {
        auto f = std::make_unique<TfrxFormat>();
        f->Kind = kind;
        f->FormatStr = str;
        f->DecimalSeparator = sep;
        return f;
    };
    const char32_t before = FormatSettings().DecimalSeparator;
    struct Case {
        const char* what;
        Variant value;
        std::unique_ptr<TfrxFormat> format;
        std::string want;
    };
    Case cases[] = {
        {"printf style with a comma separator", Variant(3.14159), fmt(fkNumeric, "%2.2f", ","), "3,14"},
        {"printf style with a point separator", Variant(3.14159), fmt(fkNumeric, "%2.2f", "."), "3.14"},
        {"picture format", Variant(1234.5), fmt(fkNumeric, "#0.00", "."), "1234.50"},
        {"boolean pair, True", Variant(true), fmt(fkBoolean, "Ne,Ano"), "Ano"},
        {"boolean pair, False", Variant(false), fmt(fkBoolean, "Ne,Ano"), "Ne"},
        {"Null prints nothing", Variant::Null(), fmt(fkNumeric, "%2.2f"), ""},
        {"text kind", Variant(int32_t(7)), fmt(fkText, ""), "7"},
        {"a format the value cannot take falls back to its text", Variant(std::string("abc")), fmt(fkNumeric, "%2.2f"),
            "abc"},
    };
    for (Case& c : cases) EXPECT_EQ(m.FormatValue(c.value, c.format.get()), c.want) << c.what;
    EXPECT_EQ(FormatSettings().DecimalSeparator, before);
}

TEST(MemoView, HideZerosOnNumberAndText) {
    TfrxUserDataSet data(nullptr);
    data.SetUserName("Data");
    Variant current;
    data.OnGetValue = [&](const std::string&, Variant& v) { v = current; };
    data.GetFields()->SetText("F");
    struct Case {
        Variant value;
        std::string want;
    } cases[] = {{Variant(int32_t(0)), ""}, {Variant(std::string("0")), "0"}, {Variant(int32_t(5)), "5"}};
    for (const Case& c : cases) {
        TfrxMemoView m(nullptr);
        m.HideZeros = true;
        m.SetDataSet(&data);
        m.DataField = "F";
        current = c.value;
        m.GetData();
        EXPECT_EQ(m.GetText(), c.want);
    }
}

TEST(MemoView, SuppressRepeatedSequence) {
    TfrxMemoView m(nullptr);
    m.SuppressRepeated = true;
    std::vector<std::string> printed;
    for (const char* row : {"Novák", "Novák", "Svoboda"}) {
        m.SetText(row);
        m.GetData();
        printed.push_back(m.GetText());
    }
    EXPECT_EQ(printed, (std::vector<std::string>{"Novák", "", "Svoboda"}));
}

TEST(MemoView, EveryPageTotalPlaceholderIsFilled) {
    TfrxMemoView m(nullptr);
    m.SetText("Strana 1 z [TotalPages#]\r\nCelkem [TOTALPAGES#] stran");
    m.PageTotal = 7;
    EXPECT_EQ(m.GetComponentText(), "Strana 1 z 7\r\nCelkem 7 stran");
    m.InsertPageTotal();
    EXPECT_EQ(m.GetText(), "Strana 1 z 7\r\nCelkem 7 stran");
    TfrxMemoView plain(nullptr);
    plain.AllowExpressions = false;
    plain.SetText("[TotalPages#]");
    plain.PageTotal = 3;
    plain.InsertPageTotal();
    EXPECT_EQ(plain.GetText(), "[TotalPages#]");
}

TEST(MemoView, RotationKeepsItsSign) {
    TfrxMemoView m(nullptr);
    m.SetRotation(450);
    EXPECT_EQ(m.GetRotation(), 90);
    m.SetRotation(-450);
    EXPECT_EQ(m.GetRotation(), -90);
}

TEST(MemoView, ExpressionsFormatsAndDelimiters) {
    StartScripting();
    TfrxReport report;
    report.GetEngineOptions()->SilentMode = true;
    auto* m = new TfrxMemoView(&report);
    m->SetName("Memo1");
    const char32_t before = FormatSettings().DecimalSeparator;
    struct Case {
        const char* what;
        std::string delimiters, text, want;
    } cases[] = {
        {"numeric format with a comma", "[,]", "Průměr [3.14159 #n%2,2f]", "Průměr 3,14"},
        {"numeric format with a point", "[,]", "[2.5 #n%2.1f] kg", "2.5 kg"},
        {"boolean format", "[,]", "[1 = 1 #bne,ano]/[1 = 2 #bne,ano]", "ano/ne"},
        {"the marker inside a quoted literal stays text", "[,]", "['No. #' + '5']", "No. #5"},
        {"page total placeholder", "[,]", "z [TotalPages#]", "z [TotalPages#]"},
        {"other delimiters leave brackets alone", "<%,%>", "[x] <%2 + 3%>", "[x] 5"},
        {"no delimiter: untouched", "[,]", "bez výrazu", "bez výrazu"},
    };
    for (const Case& c : cases) {
        m->ExpressionDelimiters = c.delimiters;
        m->SetText(c.text);
        m->GetData();
        EXPECT_EQ(m->GetText(), c.want) << c.what << "\n" << report.ErrorList->Text();
    }
    EXPECT_EQ(FormatSettings().DecimalSeparator, before);
}

TEST(MemoView, SplitAcrossPages) {
    EnsureQtApplication();
    TfrxMemoView m(nullptr);
    m.SetBounds(0, 0, 200, 5);  // lower than one line
    m.SetText("první řádek\r\ndruhý řádek");
    m.InitPart();
    EXPECT_DOUBLE_EQ(m.DrawPart(), 5);
    EXPECT_EQ(m.PendingText.rfind("první řádek\r\ndruhý řádek", 0), 0u) << m.PendingText;

    TfrxMemoView empty(nullptr);
    empty.SetBounds(0, 0, 100, 20);
    EXPECT_DOUBLE_EQ(empty.CalcHeight(), 2);  // the vertical gaps only

    TfrxMemoView tall(nullptr);
    tall.SetBounds(0, 0, 200, 1000);
    tall.SetText("a\r\nb\r\nc");
    const double h = tall.CalcHeight();
    tall.SetHeight(h);
    tall.InitPart();
    tall.DrawPart();
    EXPECT_EQ(tall.PendingText, "");
}
