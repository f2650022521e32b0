// The engine's nested layouts and failing templates: vertical bands across page widths,
// subreports below and inside their band, and templates that must end with an error line and
// no pages instead of looping or crashing.

#include <algorithm>
#include <functional>
#include <map>
#include <tuple>

#include "report/core/frxObjects.h"
#include "test_engine_fixture.h"

namespace {

using TAt = std::tuple<int, double, double>;  // page, left, top

class NestedTest : public EngineTest {
public:
    // Every text by its place; a text printed twice fails the test.
    std::map<std::string, TAt> Where() {
        std::map<std::string, TAt> out;
        for (const TPlaced& p : Placed())
            EXPECT_TRUE(out.emplace(p.Text, TAt{p.Page, p.Left, p.Top}).second) << p.Text << " printed twice";
        return out;
    }
    TfrxReportPage* SubPage(const char* name) {
        auto* page = new TfrxReportPage(&Report);
        page->SetName(name);
        page->SetPaperSize(9);
        page->LeftMargin = page->RightMargin = page->TopMargin = page->BottomMargin = 10;
        return page;
    }
    // A subreport in the band, printing `rows` rows of 20 px of a page of its own.
    TfrxSubreport* Sub(TfrxBand* band, const char* name, double left, double top, int rows, const char* prefix) {
        auto* page = SubPage((std::string(name) + "Page").c_str());
        auto* data = Band<TfrxMasterData>((std::string(name) + "Data").c_str(), 0, 20, page);
        data->SetRowCount(rows);
        Memo(data, (std::string(name) + "Row").c_str(), std::string(prefix) + "[Line]", 0, 100);
        auto* s = new TfrxSubreport(band);
        s->SetName(name);
        s->SetBounds(left, top, 100, 20);
        s->SetPage(page);
        return s;
    }
};

// A vertical band of 300 px with 5 rows in a host band with 2 rows, on a page 700 px wide.
struct TVerticalCase {
    bool Header;  // a reprinted vertical header at the left of every page width
    bool Titles;  // a page header with a title over every vertical row
    std::map<std::string, TAt> Expected;
};

class VerticalTest : public NestedTest, public ::testing::WithParamInterface<TVerticalCase> {};

TEST_P(VerticalTest, RowsWrapOverPageWidthsAndEveryHostRowUsesTheSamePages) {
    const TVerticalCase& c = GetParam();
    TMemDataSet cols{nullptr};
    cols.FieldDefs()->Add("C", ftInteger);
    cols.Open();
    for (int i = 1; i <= 5; ++i) cols.AppendRecord({Variant(i)});
    auto* colData = new TfrxDBDataset(&Report);
    colData->SetName("Cols");
    colData->SetDataSet(&cols);
    Report.DataSets()->Add(colData);
    Rows(2);
    Page->LeftMargin = Page->RightMargin = 0;
    Page->SetPaperWidth(700 / frxPixelsPerMM);
    auto* host = Band<TfrxMasterData>("MasterData1", 40, 20);
    host->SetDataSet(Data);
    const double x = c.Header ? 100 : 0;
    if (c.Titles) Memo(Band<TfrxPageHeader>("PageHeader1", 0, 20), "Title", "T[Cols.\"C\"]", x, 300);
    if (c.Header) {
        auto* header = Band<TfrxHeader>("Header1", 0, 0);
        header->Vertical = true;
        header->ReprintOnNewPage = true;
        header->SetBounds(0, 0, 100, 0);
        Memo(host, "H", "Hlava", 0, 100);
    }
    auto* columns = Band<TfrxMasterData>("MasterData2", 0, 0);
    columns->Vertical = true;
    columns->SetBounds(x, 0, 300, 0);
    columns->SetDataSet(colData);
    Memo(host, "Cell", "[Data.\"N\"]:[Cols.\"C\"]", x, 300);
    ASSERT_TRUE(Prepare()) << Report.ErrorList->Text();
    EXPECT_EQ(Pages(), 3);
    std::map<std::string, TAt> cells;
    std::vector<TAt> headers;
    for (const TPlaced& p : Placed()) {
        if (p.Text == "Hlava") headers.push_back({p.Page, p.Left, p.Top});
        else EXPECT_TRUE(cells.emplace(p.Text, TAt{p.Page, p.Left, p.Top}).second) << p.Text;
    }
    EXPECT_EQ(cells, c.Expected);
    if (c.Header) {
        std::sort(headers.begin(), headers.end());
        EXPECT_EQ(headers, (std::vector<TAt>{{0, 0, 0}, {0, 0, 20}, {1, 0, 0}, {1, 0, 20}, {2, 0, 0}, {2, 0, 20}}));
    } else {
        EXPECT_TRUE(headers.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Engine, VerticalTest,
    ::testing::Values(TVerticalCase{false, false,
                          {{"1:1", {0, 0, 0}}, {"1:2", {0, 300, 0}}, {"1:3", {1, 0, 0}}, {"1:4", {1, 300, 0}},
                              {"1:5", {2, 0, 0}}, {"2:1", {0, 0, 20}}, {"2:2", {0, 300, 20}}, {"2:3", {1, 0, 20}},
                              {"2:4", {1, 300, 20}}, {"2:5", {2, 0, 20}}}},
        TVerticalCase{true, false,
            {{"1:1", {0, 100, 0}}, {"1:2", {0, 400, 0}}, {"1:3", {1, 100, 0}}, {"1:4", {1, 400, 0}},
                {"1:5", {2, 100, 0}}, {"2:1", {0, 100, 20}}, {"2:2", {0, 400, 20}}, {"2:3", {1, 100, 20}},
                {"2:4", {1, 400, 20}}, {"2:5", {2, 100, 20}}}},
        // The titles in the page header follow the page widths of the rows below them.
        TVerticalCase{false, true,
            {{"T1", {0, 0, 0}}, {"T2", {0, 300, 0}}, {"T3", {1, 0, 0}}, {"T4", {1, 300, 0}}, {"T5", {2, 0, 0}},
                {"1:1", {0, 0, 20}}, {"1:2", {0, 300, 20}}, {"1:3", {1, 0, 20}}, {"1:4", {1, 300, 20}},
                {"1:5", {2, 0, 20}}, {"2:1", {0, 0, 40}}, {"2:2", {0, 300, 40}}, {"2:3", {1, 0, 40}},
                {"2:4", {1, 300, 40}}, {"2:5", {2, 0, 40}}}}));

TEST_F(NestedTest, ASubreportInsideASubreportOnItsParentPrintsItsPageOnlyThere) {
    auto* band = Band<TfrxMasterData>("MasterData1", 0, 30);
    band->SetRowCount(1);
    band->Stretched = true;
    TfrxSubreport* outer = Sub(band, "Outer", 0, 0, 1, "O");
    outer->PrintOnParent = true;
    Sub(static_cast<TfrxBand*>(outer->GetPage()->Child(0)), "Inner", 200, 0, 2, "I");
    ASSERT_TRUE(Prepare()) << Report.ErrorList->Text();
    EXPECT_EQ(Pages(), 1);
    const std::map<std::string, TAt> at = Where();
    EXPECT_EQ(at.size(), 3u);
    EXPECT_EQ(at.at("O1"), (TAt{0, 0, 0}));
    EXPECT_EQ(at.at("I1"), (TAt{0, 200, 0}));
    EXPECT_EQ(at.at("I2"), (TAt{0, 200, 20}));
}

TEST_F(NestedTest, AFooterUnderVerticalRowsTotalsEachOfThem) {
    TMemDataSet cols{nullptr};
    cols.FieldDefs()->Add("C", ftInteger);
    cols.Open();
    for (int i = 1; i <= 3; ++i) cols.AppendRecord({Variant(i)});
    auto* colData = new TfrxDBDataset(&Report);
    colData->SetName("Cols");
    colData->SetDataSet(&cols);
    Report.DataSets()->Add(colData);
    Rows(2);
    auto* host = Band<TfrxMasterData>("MasterData1", 0, 20);
    host->SetDataSet(Data);
    Memo(host, "Cell", "[Data.\"N\"]:[Cols.\"C\"]", 0, 200);
    auto* footer = Band<TfrxFooter>("Footer1", 40, 20);
    Memo(footer, "Total", "Σ [SUM(<Data.\"N\"> * <Cols.\"C\">, MasterData1)]", 0, 200);
    auto* columns = Band<TfrxMasterData>("MasterData2", 0, 0);
    columns->Vertical = true;
    columns->SetBounds(0, 0, 200, 0);
    columns->SetDataSet(colData);
    ASSERT_TRUE(Prepare()) << Report.ErrorList->Text();
    EXPECT_EQ(Pages(), 1);
    const std::map<std::string, TAt> at = Where();
    // Each column sums N * C over the rows N = 1, 2.
    for (int c = 1; c <= 3; ++c) {
        EXPECT_EQ(at.at("2:" + std::to_string(c)), (TAt{0, (c - 1) * 200.0, 20})) << c;
        EXPECT_EQ(at.at("Σ " + std::to_string(3 * c)), (TAt{0, (c - 1) * 200.0, 40})) << c;
    }
}

TEST_F(NestedTest, AVerticalHeaderWiderThanThePageStartsEachWidthOnce) {
    TMemDataSet cols{nullptr};
    cols.FieldDefs()->Add("C", ftInteger);
    cols.Open();
    for (int i = 1; i <= 2; ++i) cols.AppendRecord({Variant(i)});
    auto* colData = new TfrxDBDataset(&Report);
    colData->SetName("Cols");
    colData->SetDataSet(&cols);
    Report.DataSets()->Add(colData);
    Page->LeftMargin = Page->RightMargin = 0;
    Page->SetPaperWidth(700 / frxPixelsPerMM);
    auto* host = Band<TfrxMasterData>("MasterData1", 0, 20);
    host->SetRowCount(1);
    auto* header = Band<TfrxHeader>("Header1", 0, 0);
    header->Vertical = true;
    header->ReprintOnNewPage = true;
    header->SetBounds(0, 0, 800, 0);
    Memo(host, "H", "Hlava", 0, 800);
    auto* columns = Band<TfrxMasterData>("MasterData2", 0, 0);
    columns->Vertical = true;
    columns->SetBounds(800, 0, 300, 0);
    columns->SetDataSet(colData);
    Memo(host, "Cell", "[Cols.\"C\"]", 800, 300);
    ASSERT_TRUE(Prepare()) << Report.ErrorList->Text();
    // The header fills the first width; each row then starts a width of its own behind it.
    EXPECT_EQ(Texts(), (std::vector<std::string>{"Hlava", "Hlava", "1", "Hlava", "2"}));
    EXPECT_EQ(Pages(), 3);
}

// A 50 px band at the top of page 1 with one or two subreports of 20 px rows, then a summary.
struct TSubreportCase {
    const char* Name;
    int LeftRows, RightRows;  // RightRows 0: one subreport only
    double Top;  // of the subreports inside the band
};

class SubreportTest : public NestedTest, public ::testing::WithParamInterface<TSubreportCase> {};

TEST_P(SubreportTest, PrintFromTheirPlaceAndTheRunGoesOnAfterTheFurthest) {
    const TSubreportCase& c = GetParam();
    const double usable = (297 - 20) * frxPixelsPerMM;
    auto* band = Band<TfrxMasterData>("MasterData1", 0, 50);
    band->SetRowCount(1);
    Sub(band, "Left", 0, c.Top, c.LeftRows, "L");
    if (c.RightRows) Sub(band, "Right", 300, c.Top, c.RightRows, "R");
    auto* summary = Band<TfrxReportSummary>("ReportSummary1", 100, 20);
    Memo(summary, "End", "Konec");
    ASSERT_TRUE(Prepare()) << Report.ErrorList->Text();
    const std::map<std::string, TAt> at = Where();
    auto lower = [](const TAt& a, const TAt& b) {
        return std::tie(std::get<0>(a), std::get<2>(a)) < std::tie(std::get<0>(b), std::get<2>(b));
    };
    TAt lowest{0, 0, 0};
    for (auto [prefix, rows, left] : {std::tuple{"L", c.LeftRows, 0.0}, std::tuple{"R", c.RightRows, 300.0}}) {
        for (int i = 1; i <= rows; ++i) {
            const std::string text = prefix + std::to_string(i);
            ASSERT_TRUE(at.count(text)) << text;
            EXPECT_EQ(std::get<1>(at.at(text)), left) << text;
            lowest = std::max(lowest, at.at(text), lower);
        }
        if (rows > 0) {
            EXPECT_EQ(at.at(prefix + std::string("1")), (TAt{0, left, c.Top})) << prefix;
        }
        // Rows that do not fit go on at the top of the next page.
        const int fit = int((usable - c.Top) / 20);
        if (rows > fit) {
            EXPECT_EQ(at.at(prefix + std::to_string(fit + 1)), (TAt{1, left, 0})) << prefix;
        }
    }
    EXPECT_EQ(at.at("Konec"), (TAt{std::get<0>(lowest), 0, std::get<2>(lowest) + 20}));
    EXPECT_EQ(Pages(), 2);
}

INSTANTIATE_TEST_SUITE_P(Engine, SubreportTest,
    ::testing::Values(TSubreportCase{"OneContinuingOnTheNextPage", 60, 0, 10},
        TSubreportCase{"SideBySideRightLonger", 3, 60, 0}, TSubreportCase{"SideBySideLeftLonger", 60, 3, 0}),
    [](const ::testing::TestParamInfo<TSubreportCase>& i) { return std::string(i.param.Name); });

TEST_F(NestedTest, ASubreportOnItsParentMakesTheBandHoldItsRows) {
    auto* band = Band<TfrxMasterData>("MasterData1", 0, 30);
    band->SetRowCount(1);
    band->Stretched = true;
    Memo(band, "Title", "Známky");
    Sub(band, "Inside", 50, 10, 5, "Z")->PrintOnParent = true;
    auto* summary = Band<TfrxReportSummary>("ReportSummary1", 100, 20);
    Memo(summary, "End", "Konec");
    ASSERT_TRUE(Prepare()) << Report.ErrorList->Text();
    EXPECT_EQ(Pages(), 1);
    const std::map<std::string, TAt> at = Where();
    for (int i = 1; i <= 5; ++i) EXPECT_EQ(at.at("Z" + std::to_string(i)), (TAt{0, 50, 10 + (i - 1) * 20.0})) << i;
    EXPECT_EQ(at.at("Známky"), (TAt{0, 0, 0}));
    EXPECT_EQ(at.at("Konec"), (TAt{0, 0, 108}));  // below the grown band: its last text ends at 10 + 4 * 20 + 18
}

struct TFailingCase {
    const char* Name;
    std::function<void(NestedTest&)> Build;
    std::string Error;  // the start of the expected line
};

class FailingTest : public NestedTest, public ::testing::WithParamInterface<TFailingCase> {};

TEST_P(FailingTest, GivesAnErrorLineAndNoPages) {
    GetParam().Build(*this);
    EXPECT_FALSE(Prepare());
    ASSERT_GE(Report.ErrorList->Count(), 1);
    EXPECT_EQ(Report.ErrorList->Strings(0).rfind(GetParam().Error, 0), 0u) << Report.ErrorList->Text();
    EXPECT_EQ(Pages(), 0);
}

// A subreport in the first band of its own page's subreport: the page leads back to itself.
void SelfLeadingSubreport(NestedTest& t, bool onParent) {
    auto* band = t.Band<TfrxMasterData>("MasterData1", 0, 50);
    band->SetRowCount(1);
    TfrxSubreport* outer = t.Sub(band, "Outer", 0, 0, 2, "O");
    outer->PrintOnParent = onParent;
    TfrxReportPage* page = outer->GetPage();
    auto* inner = new TfrxSubreport(page->Child(0));
    inner->SetName("Inner");
    inner->SetBounds(200, 0, 100, 20);
    inner->SetPage(page);
}

const char* const kLoop = "Podsestava Inner vede zpět na stránku OuterPage, která se již tiskne";

INSTANTIATE_TEST_SUITE_P(Engine, FailingTest,
    ::testing::Values(TFailingCase{"ScriptErrorInAnEvent",
                          [](NestedTest& t) {
                              t.Report.GetScriptText()->SetText(
                                  "procedure Fail(Sender: TfrxComponent);\n"
                                  "var i: Integer;\n"
                                  "begin i := 0; i := 10 div i; end;\n"
                                  "begin end.");
                              t.Rows(30);
                              auto* data = t.Band<TfrxMasterData>("MasterData1", 0, 20);
                              data->SetDataSet(t.Data);
                              t.Memo(data, "Row", "[Data.\"N\"]");
                              t.Band<TfrxReportSummary>("ReportSummary1", 100, 20)->OnBeforePrint = "Fail";
                          },
                          ""},
        TFailingCase{"RowTallerThanAPage",
            [](NestedTest& t) { t.Band<TfrxMasterData>("MasterData1", 0, 1200)->SetRowCount(2); },
            "Pruh MasterData1 se nevejde na stránku"},
        TFailingCase{"PageHeaderTallerThanAPage",
            [](NestedTest& t) {
                t.Band<TfrxPageHeader>("PageHeader1", 0, 1100);
                t.Band<TfrxMasterData>("MasterData1", 1200, 20)->SetRowCount(2);
            },
            "Pruh PageHeader1 se nevejde na stránku"},
        TFailingCase{"ReprintedHeaderLeavesNoRoomForItsRow",
            [](NestedTest& t) {
                t.Band<TfrxHeader>("Header1", 0, 1020)->ReprintOnNewPage = true;
                t.Band<TfrxMasterData>("MasterData1", 1030, 40)->SetRowCount(3);
            },
            "Pruh MasterData1 se nevejde na stránku"},
        TFailingCase{"SubreportLeadingBackToItsPage", [](NestedTest& t) { SelfLeadingSubreport(t, false); }, kLoop},
        TFailingCase{
            "SubreportOnParentLeadingBackToItsPage", [](NestedTest& t) { SelfLeadingSubreport(t, true); }, kLoop}),
    [](const ::testing::TestParamInfo<TFailingCase>& i) { return std::string(i.param.Name); });

}  // namespace
