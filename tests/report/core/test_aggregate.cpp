// Aggregates: which texts are scanned, the values of SUM, AVG, MIN, MAX and COUNT with Null and
// Boolean rows, running totals, invisible rows, kept blocks and vertical columns beyond 1000.

#include <gtest/gtest.h>

#include "platform/classes/List.h"
#include "platform/classes/StringList.h"
#include "platform/rtl/Exceptions.h"
#include "report/core/frxAggregate.h"
#include "report/core/frxBands.h"
#include "report/core/frxDataSet.h"
#include "report/core/frxPage.h"
#include "report/core/frxReport.h"
#include "report/core/frxVariables.h"

namespace {
// A text object as the scanner sees text objects: it says it is one and publishes its lines
// and expression settings.
class TTestMemo : public TfrxReportComponent {
    KAROMIL_CLASS(TTestMemo, TfrxReportComponent)
public:
    using TfrxReportComponent::TfrxReportComponent;
    void Draw(TCanvas*, double, double, double, double) override {}
    bool IsTextObject() const noexcept override { return true; }
    TStrings* GetMemo() const { return FMemo.get(); }
    void SetMemo(TStrings* s) { FMemo->Assign(s); }
    bool AllowExpressions = true;
    std::string ExpressionDelimiters = "[,]";

private:
    std::unique_ptr<TStrings> FMemo = std::make_unique<TStringList>();
};

class AggregateTest : public ::testing::Test {
protected:
    void SetUp() override {
        Rows = new TfrxUserDataSet(&Report);
        Rows->SetName("Rows");
        Rows->GetFields()->SetText("A\nB\nC\nS");
        // Rows 0, 1, 2: A 2, Null, 4; B True, False, True; C all False; S "b", "a", "c".
        Rows->OnGetValue = [this](const std::string& name, Variant& v) {
            const int i = Rows->RecNo % 3;
            if (name == "A") v = i == 1 ? Variant::Null() : Variant(int32_t(2 + i));
            if (name == "B") v = Variant(i != 1);
            if (name == "C") v = Variant(false);
            if (name == "S") v = Variant(std::string(1, "bac"[i]));
        };
        Report.DataSets()->Add(Rows);
        Page = new TfrxPage(&Report);
        Master = new TfrxMasterData(Page);
        Master->SetName("MasterData1");
        Footer = new TfrxFooter(Page);
        Footer->SetName("Footer1");
        Master->Footer = Footer;
        PageFooter = new TfrxPageFooter(Page);
        Masters.Add(Master);
    }
    TTestMemo* Memo(TfrxComponent* band, const std::string& text) {
        auto* m = new TTestMemo(band);
        m->CreateUniqueName();
        m->GetMemo()->SetText(text);
        return m;
    }
    // Feeds rows 0 .. count-1 of the dataset to the data band.
    void Feed(TfrxAggregateList& list, int count, int vColumn = 0) {
        for (Rows->RecNo = 0; Rows->RecNo < count; ++Rows->RecNo) list.AddValue(Master, vColumn);
    }
    Variant Value(
        TfrxAggregateList& list, TfrxBand* parent, const char* name, const char* expr, int flags = 0, int vColumn = 0) {
        return list.GetValue(parent, vColumn, flags, nullptr, expr, name);
    }
    TfrxReport Report;
    TfrxUserDataSet* Rows = nullptr;
    TfrxPage* Page = nullptr;
    TfrxMasterData* Master = nullptr;
    TfrxFooter* Footer = nullptr;
    TfrxPageFooter* PageFooter = nullptr;
    TList Masters;
};
}  // namespace

TClass TTestMemo::StaticClass() noexcept {
    static const TMetaClass* const meta = [] {
        static const TMetaClass m("TfrxCustomMemoView", TfrxReportComponent::StaticClass(),
            classes_detail::DefaultFactoryOf<TTestMemo>(), classes_detail::ComponentFactoryOf<TTestMemo>());
        TPropertyPublisher<TTestMemo> p(&m);
        using Self = TTestMemo;
        KAROMIL_PROP(Memo);
        p.Prop("AllowExpressions", &Self::AllowExpressions);
        p.Prop("ExpressionDelimiters", &Self::ExpressionDelimiters);
        return &m;
    }();
    return meta;
}

TEST_F(AggregateTest, ValuesWithNullAndBooleanRows) {
    Memo(Footer,
        "Sum [SUM(Rows.\"A\")], avg [AVG(Rows.\"A\", MasterData1)] of [COUNT()] rows;\n"
        "[MIN(Rows.\"S\")]-[MAX(Rows.\"S\")] [SUM(Rows.\"B\")] [SUM(Rows.\"C\")] [SUM(Rows.\"A\",,2)]");
    Memo(Master, "[SUM(Rows.\"A\")]");  // not scanned: data bands show no totals
    TfrxAggregateList list(&Report);
    list.AddPageAggregates(Page, &Masters, nullptr);
    ASSERT_EQ(list.Count(), 8);
    EXPECT_EQ(list.Items(0)->AggregateText, "SUM(Rows.\"A\")");
    Feed(list, 3);

    struct Case {
        const char* Name;
        const char* Expr;
        int Flags;
        std::string Expected;
    };
    const Case cases[] = {
        {"SUM", "Rows.\"A\"", 0, "6"},
        {"AVG", "rows.\"a\"", 0, "2"},  // 6 / 3: Null rows count, add nothing
        {"COUNT", "", 0, "3"},
        {"MIN", "Rows.\"S\"", 0, "a"},
        {"MAX", "Rows.\"S\"", 0, "c"},
        {"SUM", "Rows.\"B\"", 0, "2"},
        {"SUM", "Rows.\"C\"", 0, "0"},  // all False sums to the number 0
        {"SUM", "Rows.\"A\"", 2, "6"},
        {"SUM", "Rows.\"A\"", 1, "<null>"},  // no item with these flags
        {"SUM", "Rows.\"Z\"", 0, "<null>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.Name) + " " + c.Expr);
        const Variant v = Value(list, Footer, c.Name, c.Expr, c.Flags);
        EXPECT_EQ(v.IsNull() ? std::string("<null>") : VarToStr(v), c.Expected);
    }
    EXPECT_EQ(Value(list, Footer, "SUM", "Rows.\"C\"").VarType(), varInteger);

    // After the footer is shown the totals start again; the running total goes on.
    list.ResetBand(Footer);
    EXPECT_TRUE(Value(list, Footer, "SUM", "Rows.\"A\"").IsNull());
    EXPECT_EQ(Value(list, Footer, "COUNT", "").AsInteger(), 0);
    EXPECT_TRUE(Value(list, Footer, "AVG", "Rows.\"A\"").IsNull());
    Feed(list, 1);
    EXPECT_EQ(Value(list, Footer, "SUM", "Rows.\"A\"").AsInteger(), 2);
    EXPECT_EQ(Value(list, Footer, "SUM", "Rows.\"A\"", 2).AsInteger(), 8);
    list.ResetAll();
    EXPECT_TRUE(Value(list, Footer, "SUM", "Rows.\"A\"", 2).IsNull());
}

TEST_F(AggregateTest, InvisibleRowsKeptBlocksAndManyColumns) {
    Memo(PageFooter, "[COUNT()] [COUNT(MasterData1, 1)] [SUM(Rows.\"A\")]");
    TfrxAggregateList list(&Report);
    list.AddPageAggregates(Page, &Masters, nullptr);
    ASSERT_EQ(list.Count(), 3);
    EXPECT_TRUE(list.Items(0)->IsPageFooter);

    Master->SetVisible(false);
    Feed(list, 2);
    EXPECT_EQ(Value(list, PageFooter, "COUNT", "").AsInteger(), 0);
    EXPECT_EQ(Value(list, PageFooter, "COUNT", "", 1).AsInteger(), 2);
    Master->SetVisible(true);

    // Rows of a kept block join the page's totals only when the block ends.
    list.StartKeep();
    Feed(list, 1);
    EXPECT_EQ(Value(list, PageFooter, "COUNT", "").AsInteger(), 0);
    list.EndKeep();
    EXPECT_EQ(Value(list, PageFooter, "COUNT", "").AsInteger(), 1);
    EXPECT_EQ(Value(list, PageFooter, "SUM", "Rows.\"A\"").AsInteger(), 2);

    // A vertical column beyond 1000 is accumulated like any other.
    Feed(list, 3, 1200);
    EXPECT_EQ(Value(list, PageFooter, "COUNT", "", 0, 1200).AsInteger(), 3);
    EXPECT_EQ(Value(list, PageFooter, "SUM", "Rows.\"A\"", 0, 1200).AsInteger(), 6);
    EXPECT_EQ(Value(list, PageFooter, "COUNT", "", 0, 7).AsInteger(), 0);
}

TEST_F(AggregateTest, ScannerRules) {
    Report.Variables()->SetVariable("Total", Variant("SUM(Rows.\"A\")"));
    Report.Variables()->SetVariable("Loop", Variant("Loop"));
    Memo(Footer, "[Total] [Loop] [IIF(True, COUNT(), 0)] ['SUM(x)'] [Rows.\"A\"]");
    auto* off = Memo(Footer, "[SUM(Rows.\"A\")]");
    off->AllowExpressions = false;
    auto* braces = Memo(Footer, "{MAX(Rows.\"S\")} [MIN(Rows.\"S\")]");
    braces->ExpressionDelimiters = "{,}";
    TfrxAggregateList list(&Report);
    list.AddPageAggregates(Page, &Masters, nullptr);
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Items(0)->Func, agSum);  // through the variable
    EXPECT_EQ(list.Items(1)->Func, agCount);  // inside a bracket
    EXPECT_EQ(list.Items(2)->Func, agMax);
    EXPECT_EQ(list.Items(2)->DataBand, Master);

    auto* bad = Memo(Footer, "[SUM(Rows.\"A\", MasterData1, x)]");
    EXPECT_THROW(list.AddAggregates(bad, Master), EConvertError);
}
