// Bands: the fixed type table and names, columns of data bands, RowCount behind the internal
// dataset, the child reference, snapping to the character grid of dot-matrix pages, and the
// stored form of a band.

#include <gtest/gtest.h>

#include "platform/classes/Streams.h"
#include "report/core/frxBands.h"
#include "report/core/frxDataSet.h"
#include "report/core/frxPage.h"
#include "report/core/frxReport.h"

namespace {
// A page that the bands take for a dot-matrix page: it says it is one.
class TTestDMPPage : public TfrxPage {
    KAROMIL_CLASS(TTestDMPPage, TfrxPage)
public:
    using TfrxPage::TfrxPage;
    bool IsDotMatrixPage() const noexcept override { return true; }
};
}  // namespace

TClass TTestDMPPage::StaticClass() noexcept {
    static const TMetaClass meta("TfrxDMPPage", TfrxPage::StaticClass(),
        classes_detail::DefaultFactoryOf<TTestDMPPage>(), classes_detail::ComponentFactoryOf<TTestDMPPage>());
    return &meta;
}

TEST(FrxBands, TypeTableAndNames) {
    struct Case {
        TClass Class;
        int Index;
        const char* Name;
    };
    const Case cases[] = {
        {TfrxReportTitle::StaticClass(), 0, "ReportTitle"},
        {TfrxReportSummary::StaticClass(), 1, "ReportSummary"},
        {TfrxPageHeader::StaticClass(), 2, "PageHeader"},
        {TfrxPageFooter::StaticClass(), 3, "PageFooter"},
        {TfrxHeader::StaticClass(), 4, "Header"},
        {TfrxFooter::StaticClass(), 5, "Footer"},
        {TfrxMasterData::StaticClass(), 6, "MasterData"},
        {TfrxDetailData::StaticClass(), 7, "DetailData"},
        {TfrxSubdetailData::StaticClass(), 8, "SubdetailData"},
        {TfrxDataBand4::StaticClass(), 9, "Data4"},
        {TfrxDataBand5::StaticClass(), 10, "Data5"},
        {TfrxDataBand6::StaticClass(), 11, "Data6"},
        {TfrxGroupHeader::StaticClass(), 12, "GroupHeader"},
        {TfrxGroupFooter::StaticClass(), 13, "GroupFooter"},
        {TfrxChild::StaticClass(), 14, "Child"},
        {TfrxColumnHeader::StaticClass(), 15, "ColumnHeader"},
        {TfrxColumnFooter::StaticClass(), 16, "ColumnFooter"},
        {TfrxOverlay::StaticClass(), 17, "Overlay"},
        {TfrxNullBand::StaticClass(), 0, "Null"},
        {TfrxDataBand::StaticClass(), 0, "Data"},
    };
    ASSERT_EQ(frxBandTypeCount(), 18);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Class->ClassName());
        std::unique_ptr<TfrxBand> band(static_cast<TfrxBand*>(c.Class->CreateComponent(nullptr)));
        EXPECT_EQ(band->GetBandTypeIndex(), c.Index);
        EXPECT_EQ(band->GetBandName(), c.Name);
        if (c.Index > 0 || c.Class == TfrxReportTitle::StaticClass()) {
            EXPECT_EQ(frxBandType(c.Index), c.Class);
        }
    }
    EXPECT_TRUE(TfrxPageHeader(nullptr).PrintOnFirstPage);
    TfrxPageFooter footer(nullptr);
    EXPECT_TRUE(footer.PrintOnFirstPage && footer.PrintOnLastPage);
}

TEST(FrxBands, ColumnsRowCountAndChild) {
    TfrxMasterData band(nullptr);
    band.Columns = 3;
    band.ColumnWidth = 200;
    band.ColumnGap = 10;
    band.ColumnsBottom = 50;
    band.SetCurrentColumn(2);
    EXPECT_EQ(band.CurrentColumn, 2);
    EXPECT_DOUBLE_EQ(band.GetLeft(), 210);
    EXPECT_DOUBLE_EQ(band.ColumnsBottom, 50);
    band.SetCurrentColumn(5);  // beyond the columns: back to the first
    EXPECT_EQ(band.CurrentColumn, 1);
    EXPECT_DOUBLE_EQ(band.GetLeft(), 0);
    EXPECT_DOUBLE_EQ(band.ColumnsBottom, 0);

    // Without a dataset the band prints RowCount rows of its internal dataset.
    band.SetRowCount(5);
    TfrxDataSet* rows = band.VirtualDataSet();
    EXPECT_EQ(rows->RangeEnd, reCount);
    int n = 0;
    for (rows->First(); !rows->Eof(); rows->Next()) ++n;
    EXPECT_EQ(n, 5);

    auto* child = new TfrxChild(nullptr);
    band.SetChild(child);
    EXPECT_EQ(band.GetChild(), child);
    delete child;
    EXPECT_EQ(band.GetChild(), nullptr);
}

TEST(FrxBands, DotMatrixPageSnapsToTheCharacterGrid) {
    TfrxReport report;
    auto* dmp = new TTestDMPPage(&report);
    auto* plain = new TfrxPage(&report);
    auto* onGrid = new TfrxMasterData(dmp);
    auto* free = new TfrxMasterData(plain);
    struct Case {
        double Top, Height, Left;
        double GridTop, GridHeight, GridLeft;
    };
    const Case cases[] = {
        {30, 20, 10, 34, 17, 9.6},
        {25.5, 8.5, 14.4, 34, 0, 19.2},  // halves go to the even cell count
        {0, 8, 4.7, 0, 0, 0},
    };
    for (const Case& c : cases) {
        onGrid->SetTop(c.Top);
        onGrid->SetHeight(c.Height);
        onGrid->SetLeft(c.Left);
        free->SetBounds(c.Left, c.Top, 100, c.Height);
        EXPECT_DOUBLE_EQ(onGrid->GetTop(), c.GridTop);
        EXPECT_DOUBLE_EQ(onGrid->GetHeight(), c.GridHeight);
        EXPECT_NEAR(onGrid->GetLeft(), c.GridLeft, 1e-9);
        EXPECT_DOUBLE_EQ(free->GetTop(), c.Top);
        EXPECT_DOUBLE_EQ(free->GetHeight(), c.Height);
    }
}

TEST(FrxBands, StoredFormKeepsDataSetChildAndFlags) {
    TfrxReport report;
    auto* ds = new TfrxUserDataSet(&report);
    ds->SetName("Rows");
    report.DataSets()->Add(ds);
    auto* page = new TfrxPage(&report);
    page->SetName("Page1");
    auto* band = new TfrxMasterData(page);
    band->SetName("MasterData1");
    band->SetDataSet(ds);
    band->SetRowCount(0);
    band->KeepTogether = true;
    auto* child = new TfrxChild(page);
    child->SetName("Child1");
    band->SetChild(child);
    auto* group = new TfrxGroupHeader(page);
    group->SetName("GroupHeader1");
    group->Condition = "Rows.\"A\"";

    TMemoryStream ms;
    report.SaveToStream(&ms);
    const std::string text(static_cast<const char*>(ms.Memory()), size_t(ms.Size()));
    EXPECT_NE(text.find("DataSetName=\"Rows\""), std::string::npos) << text;
    EXPECT_NE(text.find("RowCount=\"0\""), std::string::npos) << text;
    EXPECT_NE(text.find("Child=\"Child1\""), std::string::npos) << text;
    EXPECT_NE(text.find("Condition=\"Rows.&#34;A&#34;\""), std::string::npos) << text;

    ms.SetPosition(0);
    TfrxReport copy;
    copy.LoadFromStream(&ms);
    auto* band2 = dynamic_cast<TfrxMasterData*>(copy.FindObject("MasterData1"));
    ASSERT_NE(band2, nullptr);
    EXPECT_TRUE(band2->KeepTogether);
    EXPECT_EQ(band2->GetDataSetName(), "Rows");
    ASSERT_NE(band2->GetChild(), nullptr);
    EXPECT_EQ(band2->GetChild()->GetName(), "Child1");
    EXPECT_EQ(dynamic_cast<TfrxGroupHeader*>(copy.FindObject("GroupHeader1"))->Condition, "Rows.\"A\"");
}
