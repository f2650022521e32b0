#pragma once
// The list report of the engine and export benchmarks: five fields per row, a group header every
// 50 rows and a page footer with "[Page#] / [TotalPages#]"; 10,000 rows make about 200 pages.
#include <string>

#include "platform/db/Fields.h"
#include "platform/db/MemDataSet.h"
#include "report/core/frxBands.h"
#include "report/core/frxDataSet.h"
#include "report/core/frxMemoView.h"
#include "report/core/frxOptions.h"
#include "report/core/frxReport.h"
#include "report/core/frxReportPage.h"

namespace benchlist {

constexpr int kGroupRows = 50;

inline std::string Value(int row, int field) {
    static const char* const kNames[] = {"Novák", "Svobodová", "Dvořák", "Černá", "Procházka", "Kučerová"};
    switch (field) {
    case 0: return std::to_string(row);
    case 1: return kNames[row % 6];
    case 2: return std::to_string(1 + row % 9) + "." + std::string(1, char('A' + row % 3));
    case 3: return std::to_string(1 + row % 5);
    default: return "Pochvala č. " + std::to_string(row % 97);
    }
}

class TMemRows {
public:
    explicit TMemRows(int count) {
        FData.FieldDefs()->Add("G", ftInteger);
        for (const char* f : {"F1", "F2", "F3", "F4", "F5"}) FData.FieldDefs()->Add(f, ftString, 40);
        FData.Open();
        for (int r = 0; r < count; ++r)
            FData.AppendRecord({Variant(r / kGroupRows), Variant(Value(r, 0)), Variant(Value(r, 1)),
                Variant(Value(r, 2)), Variant(Value(r, 3)), Variant(Value(r, 4))});
    }
    TDataSet* DataSet() { return &FData; }

private:
    TMemDataSet FData{nullptr};
};

// The list report over `source`, built in code as the designer would store it.
inline void BuildReport(TfrxReport& report, TDataSet* source, bool swapped) {
    report.GetEngineOptions()->SilentMode = true;
    report.GetEngineOptions()->DoublePass = true;
    if (swapped) {
        report.GetEngineOptions()->UseFileCache = true;
        report.GetEngineOptions()->MaxMemSize = 1;
    }
    auto* data = new TfrxDBDataset(&report);
    data->SetName("Seznam");
    data->SetDataSet(source);
    report.DataSets()->Add(data);
    auto* page = new TfrxReportPage(&report);
    page->SetName("Page1");
    page->SetPaperSize(9);
    page->LeftMargin = page->RightMargin = page->TopMargin = page->BottomMargin = 10;
    auto memo = [](TfrxBand* band, const std::string& name, const std::string& text, double left, double width) {
        auto* m = new TfrxMemoView(band);
        m->SetName(name);
        m->SetBounds(left, 0, width, 18);
        m->SetText(text);
    };
    auto* group = new TfrxGroupHeader(page);
    group->SetName("GroupHeader1");
    group->SetBounds(0, 20, 718, 22);
    group->Condition = "Seznam.\"G\"";
    memo(group, "Skupina", "Skupina [Seznam.\"G\"]", 0, 300);
    auto* rows = new TfrxMasterData(page);
    rows->SetName("MasterData1");
    rows->SetBounds(0, 60, 718, 18);
    rows->SetDataSet(data);
    const double widths[] = {80, 200, 80, 60, 298};
    double left = 0;
    for (int f = 0; f < 5; ++f) {
        const std::string field = "F" + std::to_string(f + 1);
        memo(rows, "Pole" + std::to_string(f + 1), "[Seznam.\"" + field + "\"]", left, widths[f]);
        left += widths[f];
    }
    auto* footer = new TfrxPageFooter(page);
    footer->SetName("PageFooter1");
    footer->SetBounds(0, 1000, 718, 20);
    memo(footer, "Strana", "[Page#] / [TotalPages#]", 500, 218);
}

}  // namespace benchlist
