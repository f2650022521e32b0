// Report datasets over the in-memory dataset: names and user names, aliases with hidden
// fields, the range table, missing fields as error lines, and the AfterOpen hook put back
// correctly when two adapters share one source.

#include <gtest/gtest.h>

#include "platform/classes/StringList.h"
#include "platform/db/Fields.h"
#include "platform/db/MemDataSet.h"
#include "report/core/frxDataSet.h"
#include "report/core/frxOptions.h"
#include "report/core/frxReport.h"

namespace {
class DataSetTest : public ::testing::Test {
protected:
    void SetUp() override {
        Mem.FieldDefs()->Add("ID", ftInteger);
        Mem.FieldDefs()->Add("Jmeno", ftString, 20);
        Mem.Open();
        for (int i = 1; i <= 5; ++i) Mem.AppendRecord({Variant(i), Variant("Žák " + std::to_string(i))});
        Mem.First();
        Report.GetEngineOptions()->SilentMode = true;
    }
    int SourceId() { return Mem.FieldByName("ID")->GetAsInteger(); }
    // The IDs a run over the adapter sees, as the engine walks it.
    std::vector<int> Walk(TfrxDataSet& ds) {
        std::vector<int> ids;
        ds.Initialize();
        for (ds.First(); !ds.Eof() && ids.size() < 10; ds.Next()) ids.push_back(ds.GetValue("ID").AsInteger());
        ds.Finalize();
        return ids;
    }
    TMemDataSet Mem{nullptr};
    TfrxReport Report;
};
}  // namespace

TEST_F(DataSetTest, UserNameFollowsTheNameUntilChosenApart) {
    TfrxDBDataset ds(nullptr);
    ds.SetName("frxDBDSVys");
    EXPECT_EQ(ds.GetUserName(), "frxDBDSVys");
    ds.SetName("X");
    EXPECT_EQ(ds.GetUserName(), "X");
    ds.SetUserName("Vysvedceni");
    ds.SetName("Y");
    EXPECT_EQ(ds.GetUserName(), "Vysvedceni");
    ds.SetName("");
    EXPECT_EQ(ds.GetUserName(), "Vysvedceni");
    try {
        ds.SetUserName("  ");
        FAIL() << "a blank user name is refused";
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "Neplatná hodnota vlastnosti");
    }
    EXPECT_EQ(ds.GetUserName(), "Vysvedceni");
}

TEST_F(DataSetTest, AliasesHideFieldsAndMissingFieldsAreErrorLines) {
    TfrxDBDataset ds(nullptr);
    ds.SetUserName("Zaci");
    ds.SetDataSet(&Mem);
    ds.GetFieldAliases()->SetText("Jmeno=Name\n-ID=ID");
    ds.ReportRef = &Report;
    Report.CurrentObjectName = "Memo1";
    ds.Initialize();
    TStringList fields;
    ds.GetFieldList(&fields);
    ASSERT_EQ(fields.Count(), 1);
    EXPECT_EQ(fields.Strings(0), "Name");
    EXPECT_EQ(ds.FieldsCount(), 1);
    EXPECT_TRUE(ds.HasField("name"));
    EXPECT_EQ(ds.AliasToFieldName("NAME"), "Jmeno");
    EXPECT_EQ(VarToStr(ds.GetValue("Name")), "Žák 1");
    EXPECT_EQ(ds.GetDisplayText("Name"), "Žák 1");
    EXPECT_EQ(ds.GetFieldType("Name"), fftString);
    EXPECT_EQ(ds.GetDisplayWidth("Name"), 20);
    EXPECT_EQ(Report.ErrorList->Count(), 0);

    EXPECT_TRUE(ds.GetValue("Jmeno").IsNull());  // a field name is not an alias
    EXPECT_EQ(ds.GetDisplayText("ID"), "Pole nenalezeno: Zaci.\"ID\"");
    ASSERT_EQ(Report.ErrorList->Count(), 2);
    EXPECT_EQ(Report.ErrorList->Strings(0), "Memo1: Pole nenalezeno: Zaci.\"ID\"");
    EXPECT_EQ(Report.ErrorList->Strings(1), "Memo1: Pole nenalezeno: Zaci.\"Jmeno\"");

    // A source closed under the adapter prints references and says so.
    Report.ErrorList->Clear();
    Mem.Close();
    EXPECT_EQ(ds.GetDisplayText("Name"), "Zaci.\"Name\"");
    EXPECT_EQ(Report.ErrorList->Count(), 1);
    ds.Finalize();
}

TEST_F(DataSetTest, RangesTable) {
    struct Case {
        TfrxRangeBegin Begin;
        TfrxRangeEnd End;
        int Count;
        std::vector<int> Ids;
        int SourceAfter;  // the source's row after Finalize
    };
    const Case cases[] = {
        {rbFirst, reLast, 0, {1, 2, 3, 4, 5}, 6},
        {rbFirst, reCount, 3, {1, 2, 3}, 4},
        {rbCurrent, reLast, 0, {3, 4, 5}, 3},
        {rbFirst, reCurrent, 0, {1, 2, 3}, 3},
        {rbCurrent, reCurrent, 0, {3}, 3},
        {rbCurrent, reCount, 2, {3, 4}, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Begin << "/" << c.End);
        Mem.First();
        Mem.MoveBy(2);  // row 3 is current when the run starts
        TfrxDBDataset ds(nullptr);
        ds.SetDataSet(&Mem);
        ds.RangeBegin = c.Begin;
        ds.RangeEnd = c.End;
        ds.RangeEndCount = c.Count;
        EXPECT_EQ(Walk(ds), c.Ids);
        if (c.SourceAfter <= 5) {
            EXPECT_EQ(SourceId(), c.SourceAfter);
        } else EXPECT_TRUE(Mem.Eof());
    }
}

TEST_F(DataSetTest, UserDataSetCountsRowsAndAsksForValues) {
    TfrxUserDataSet ds(nullptr);
    ds.GetFields()->SetText("A\nB");
    ds.OnGetValue = [&ds](const std::string& name, Variant& v) {
        if (name == "A") v = Variant(int32_t(ds.RecNo * 10));
    };
    ds.RangeEnd = reCount;
    ds.RangeEndCount = 3;
    std::vector<int> seen;
    for (ds.First(); !ds.Eof(); ds.Next()) seen.push_back(ds.GetValue("A").AsInteger());
    EXPECT_EQ(seen, (std::vector<int>{0, 10, 20}));
    EXPECT_EQ(ds.RecordCount(), 3);
    EXPECT_TRUE(ds.GetValue("B").IsNull());
    EXPECT_EQ(ds.GetDisplayText("A"), "30");
    EXPECT_EQ(ds.FieldsCount(), 2);
    ds.RangeBegin = rbCurrent;
    EXPECT_EQ(ds.RecordCount(), 0);
}

TEST_F(DataSetTest, InitializeWithoutSourceRaises) {
    TfrxDBDataset ds(nullptr);
    ds.SetName("frxDBDSVys");
    try {
        ds.Initialize();
        FAIL() << "no source";
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "DataSet frxDBDSVys není připojen k datům");
    }
}

TEST_F(DataSetTest, AfterOpenHookIsPutBackWithTwoAdaptersInEitherOrder) {
    for (bool reverse : {false, true}) {
        SCOPED_TRACE(reverse ? "finalized in reverse order" : "finalized in list order");
        int own = 0;
        Mem.AfterOpen = [&own](TDataSet*) { ++own; };
        auto a = std::make_unique<TfrxDBDataset>(nullptr);
        auto b = std::make_unique<TfrxDBDataset>(nullptr);
        a->SetDataSet(&Mem);
        b->SetDataSet(&Mem);
        a->Initialize();
        b->Initialize();
        Mem.Close();
        Mem.Open();  // both hooks refill and pass the notice on to the source's own handler
        EXPECT_EQ(own, 1);
        if (reverse) {
            b->Finalize();
            a->Finalize();
        } else {
            a->Finalize();
            b->Finalize();
        }
        // The adapters go; a later Open must reach only the source's own handler.
        a.reset();
        b.reset();
        Mem.Close();
        Mem.Open();
        EXPECT_EQ(own, 2);
    }
    Mem.AfterOpen = nullptr;
}

TEST_F(DataSetTest, AnAdapterFreedMidRunUnhooksItself) {
    int own = 0;
    Mem.AfterOpen = [&own](TDataSet*) { ++own; };
    {
        TfrxDBDataset ds(nullptr);
        ds.SetDataSet(&Mem);
        ds.Initialize();
    }
    Mem.Close();
    Mem.Open();
    EXPECT_EQ(own, 1);
    Mem.AfterOpen = nullptr;
}

// With Nulls converted, an empty field becomes the empty value of its kind: a long text field
// is text, so an empty commendation prints nothing rather than "0".
TEST(DataSetNulls, ConvertedByFieldKind) {
    TMemDataSet mem(nullptr);
    mem.FieldDefs()->Add("N", ftInteger);
    mem.FieldDefs()->Add("S", ftString, 10);
    mem.FieldDefs()->Add("M", ftMemo);
    mem.FieldDefs()->Add("B", ftBoolean);
    mem.Open();
    mem.AppendRecord({Variant::Null(), Variant::Null(), Variant::Null(), Variant::Null()});
    TfrxReport report;
    auto* ds = new TfrxDBDataset(&report);
    ds->SetName("D");
    ds->SetDataSet(&mem);
    report.DataSets()->Add(ds);
    ds->Initialize();
    ds->First();
    struct {
        const char* Field;
        TfrxFieldType Kind;
        const char* Text;
    } cases[] = {{"N", fftNumeric, "0"}, {"S", fftString, ""}, {"M", fftString, ""}, {"B", fftBoolean, "False"}};
    for (const auto& c : cases) {
        EXPECT_EQ(ds->GetFieldType(c.Field), c.Kind) << c.Field;
        Variant v;
        ASSERT_TRUE(report.LookupValue(std::string("D.\"") + c.Field + "\"", v)) << c.Field;
        EXPECT_FALSE(v.IsNull()) << c.Field;
        EXPECT_EQ(VarToStr(v), c.Text) << c.Field;
    }
    ds->Finalize();
}
