// The engine on small report trees made in code: what lands on which prepared page, where,
// with which text; band-tree messages; groups, columns, splitting, page totals.

#include <algorithm>
#include <map>

#include "platform/classes/Streams.h"

#include "test_engine_fixture.h"

namespace {

TEST_F(EngineTest, ABandWithoutDatasetPrintsItsRowCountOnce) {
    auto* card = Band<TfrxMasterData>("MasterData1", 0, 100);
    card->SetRowCount(1);
    Memo(card, "Memo1", "Součet [1 + 2]");
    ASSERT_TRUE(Prepare()) << Report.ErrorList->Text();
    EXPECT_EQ(Pages(), 1);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"Součet 3"}));
}

TEST_F(EngineTest, RowsFlowOverPagesUnderTheirHeadersWithPageTotals) {
    Rows(100);
    Report.GetEngineOptions()->DoublePass = true;
    auto* header = Band<TfrxPageHeader>("PageHeader1", 0, 30);
    Memo(header, "Head", "Seznam");
    auto* data = Band<TfrxMasterData>("MasterData1", 40, 20);
    data->SetDataSet(Data);
    Memo(data, "Row", "[Data.\"N\"]");
    auto* footer = Band<TfrxPageFooter>("PageFooter1", 900, 20);
    Memo(footer, "Foot", "[Page#] / [TotalPages]");
    ASSERT_TRUE(Prepare()) << Report.ErrorList->Text();
    const double usable = (297 - 20) * frxPixelsPerMM;
    const int perPage = int((usable - 30 - 20) / 20);
    ASSERT_EQ(Pages(), (100 + perPage - 1) / perPage);
    std::map<int, std::vector<TPlaced>> byPage;
    for (const TPlaced& p : Placed()) byPage[p.Page].push_back(p);
    int expectedRow = 1;
    for (auto& [page, items] : byPage) {
        EXPECT_EQ(items.front().Text, "Seznam");
        EXPECT_DOUBLE_EQ(items.front().Top, 0);
        EXPECT_EQ(items.back().Text, std::to_string(page + 1) + " / " + std::to_string(Pages()));
        EXPECT_NEAR(items.back().Top, usable - 20, 0.01);
        double top = 30;
        for (size_t i = 1; i + 1 < items.size(); ++i, top += 20) {
            EXPECT_EQ(items[i].Text, std::to_string(expectedRow++));
            EXPECT_NEAR(items[i].Top, top, 0.01);
        }
    }
    EXPECT_EQ(expectedRow, 101);
}

TEST_F(EngineTest, GroupsBreakOnTheirConditionAndFootersSumTheirRows) {
    Rows(5, {"A", "A", "B", "B", "C"});
    auto* gh = Band<TfrxGroupHeader>("GroupHeader1", 0, 20);
    gh->Condition = "Data.\"G\"";
    Memo(gh, "GH", "Skupina [Data.\"G\"]");
    auto* data = Band<TfrxMasterData>("MasterData1", 30, 20);
    data->SetDataSet(Data);
    Memo(data, "Row", "[Data.\"N\"]");
    auto* gf = Band<TfrxGroupFooter>("GroupFooter1", 60, 20);
    Memo(gf, "GF", "[SUM(<Data.\"V\">)] z [COUNT()]");
    ASSERT_TRUE(Prepare()) << Report.ErrorList->Text();
    // Null values (every third row) add nothing.
    EXPECT_EQ(Texts(),
        (std::vector<std::string>{
            "Skupina A", "1", "2", "3 z 2", "Skupina B", "3", "4", "4 z 2", "Skupina C", "5", "5 z 1"}));
}

TEST_F(EngineTest, APreparedReportSavedAndLoadedShowsTheSameTextsInTheSamePlaces) {
    Rows(60, std::vector<std::string>(60, "A"));
    Report.GetEngineOptions()->DoublePass = true;
    auto* gh = Band<TfrxGroupHeader>("GroupHeader1", 0, 20);
    gh->Condition = "Data.\"G\"";
    Memo(gh, "GH", "Skupina [Data.\"G\"]");
    auto* data = Band<TfrxMasterData>("MasterData1", 30, 20);
    data->SetDataSet(Data);
    Memo(data, "Row", "Řádek [Data.\"N\"]", 50);
    auto* footer = Band<TfrxPageFooter>("PageFooter1", 900, 20);
    Memo(footer, "Foot", "[Page#] / [TotalPages]", 500);
    ASSERT_TRUE(Prepare()) << Report.ErrorList->Text();
    ASSERT_EQ(Pages(), 2);
    TMemoryStream stream;
    Report.PreviewPages()->SaveToStream(&stream);
    TfrxReport other;
    other.ShowProgress = false;
    stream.SetPosition(0);
    other.PreviewPages()->LoadFromStream(&stream);
    const std::vector<TPlaced> before = Placed(), after = Placed(&other);
    EXPECT_EQ(after.size(), before.size());
    EXPECT_TRUE(after == before);
    EXPECT_EQ(after.back().Text, "2 / 2");
}

TEST_F(EngineTest, ThreeColumnsFillARowBeforeTheNextStartsBelowIt) {
    Rows(7);
    auto* data = Band<TfrxMasterData>("MasterData1", 0, 20);
    data->SetDataSet(Data);
    data->Columns = 3;
    data->ColumnWidth = 200;
    Memo(data, "Row", "[Data.\"N\"]", 0, 150);
    ASSERT_TRUE(Prepare()) << Report.ErrorList->Text();
    std::vector<std::pair<double, double>> at;
    for (const TPlaced& p : Placed()) at.push_back({p.Left, p.Top});
    ASSERT_EQ(at.size(), 7u);
    const std::vector<std::pair<double, double>> expected = {
        {0, 0}, {200, 0}, {400, 0}, {0, 20}, {200, 20}, {400, 20}, {0, 40}};
    for (size_t i = 0; i < at.size(); ++i) {
        EXPECT_NEAR(at[i].first, expected[i].first, 0.01) << i;
        EXPECT_NEAR(at[i].second, expected[i].second, 0.01) << i;
    }
}

TEST_F(EngineTest, AStretchedMemoSplitsOverPagesAndEveryLineIsPrintedOnce) {
    auto* band = Band<TfrxMasterData>("MasterData1", 0, 20);
    band->SetRowCount(1);
    band->AllowSplit = true;
    band->Stretched = true;
    std::string text;
    for (int i = 1; i <= 120; ++i) text += "Řádek " + std::to_string(i) + "\r\n";
    TfrxMemoView* memo = Memo(band, "Long", text, 0, 300, 20);
    memo->StretchMode = smActualHeight;
    ASSERT_TRUE(Prepare()) << Report.ErrorList->Text();
    EXPECT_GE(Pages(), 2);
    std::string printed;
    for (const TPlaced& p : Placed()) printed += p.Text + "\n";
    printed.erase(std::remove(printed.begin(), printed.end(), '\r'), printed.end());
    for (int i = 1; i <= 120; ++i) {
        const std::string line = "Řádek " + std::to_string(i) + "\n";
        const size_t at = printed.find(line);
        EXPECT_NE(at, std::string::npos) << i;
        if (at != std::string::npos) {
            EXPECT_EQ(printed.find(line, at + 1), std::string::npos) << i;
        }
    }
}

TEST_F(EngineTest, AnObjectTallerThanAPageEndsTheSplitInsteadOfAddingPagesForever) {
    auto* band = Band<TfrxMasterData>("MasterData1", 0, 20);
    band->SetRowCount(1);
    band->AllowSplit = true;
    band->Stretched = true;
    auto* tall = Memo(band, "Tall", "x", 0, 100, 3000);
    (void)tall;
    ASSERT_TRUE(Prepare()) << Report.ErrorList->Text();
    EXPECT_LE(Pages(), 3);
}

TEST_F(EngineTest, BandsThatFitNowhereAreNamedInTheErrorList) {
    Rows(2);
    Band<TfrxGroupFooter>("GroupFooter1", 30, 20);
    auto* detail = Band<TfrxDetailData>("DetailData1", 60, 20);
    detail->SetDataSet(Data);
    Band<TfrxHeader>("Header1", 90, 20);
    EXPECT_FALSE(Prepare());
    EXPECT_GE(Report.ErrorList->IndexOf("Nepřipojené záhlaví/zápatí Header1"), 0) << Report.ErrorList->Text();
    EXPECT_GE(Report.ErrorList->IndexOf("Žádné skupinové záhlaví GroupFooter1"), 0) << Report.ErrorList->Text();
    EXPECT_GE(Report.ErrorList->IndexOf("Nesprávná pozice pruhu: DetailData1"), 0) << Report.ErrorList->Text();
    EXPECT_EQ(Pages(), 0);
}

TEST_F(EngineTest, DataBandsAtTheSameTopBothPrint) {
    Rows(1);
    auto* a = Band<TfrxMasterData>("MasterData1", 0, 20);
    a->SetDataSet(Data);
    Memo(a, "A", "a");
    auto* b = Band<TfrxMasterData>("MasterData2", 0, 20);
    b->SetRowCount(1);
    Memo(b, "B", "b");
    ASSERT_TRUE(Prepare()) << Report.ErrorList->Text();
    EXPECT_EQ(Texts(), (std::vector<std::string>{"a", "b"}));
}

TEST_F(EngineTest, AKeptMasterRowMovesWithItsDetailsToTheNextPage) {
    Rows(3);
    TMemDataSet detailMem{nullptr};
    detailMem.FieldDefs()->Add("D", ftInteger);
    detailMem.Open();
    for (int i = 1; i <= 30; ++i) detailMem.AppendRecord({Variant(i)});
    auto* details = new TfrxDBDataset(&Report);
    details->SetName("Details");
    details->SetDataSet(&detailMem);
    Report.DataSets()->Add(details);
    auto* master = Band<TfrxMasterData>("MasterData1", 0, 20);
    master->SetDataSet(Data);
    master->KeepTogether = true;
    Memo(master, "M", "Master [Data.\"N\"]");
    auto* detail = Band<TfrxDetailData>("DetailData1", 30, 20);
    detail->SetDataSet(details);
    Memo(detail, "D", "[Details.\"D\"]");
    ASSERT_TRUE(Prepare()) << Report.ErrorList->Text();
    // 31 bands of 20 px fit once per page (1047 px): each master starts a page.
    for (const TPlaced& p : Placed())
        if (p.Text.rfind("Master", 0) == 0) {
            EXPECT_NEAR(p.Top, 0, 0.01) << p.Text << " on page " << p.Page;
        }
    EXPECT_EQ(Pages(), 3);
}

}  // namespace
