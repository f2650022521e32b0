#include "report/output/frxExportXLSExcel.h"

#include <algorithm>

#include "platform/gui/Graphics.h"
#include "platform/gui/Shell.h"
#include "report/core/frxProgress.h"
#include "report/core/frxRes.h"
#include "report/output/frxExportMatrix.h"

KAROMIL_IMPLEMENT_CLASS(TfrxExcel, TObject)

uint32_t frxColorToRGB(TColor color) {
    const auto c = uint32_t(ColorToRGB(color));
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

TfrxExcel::TfrxExcel() = default;
TfrxExcel::~TfrxExcel() = default;

void TfrxExcel::OpenExcel() {
    Workbook = std::make_unique<TWorkbook>();
    Range = {};
    IsOpened = true;
}

void TfrxExcel::SetVisible(bool value) {
    if (IsOpened) IsVisible = value;
}

std::string TfrxExcel::ColumnName(int n) {
    std::string name;
    while (n > 0) {
        const int d = (n - 1) % 26;
        name.insert(name.begin(), char('A' + d));
        n = (n - 1) / 26;
    }
    return name;
}

std::string TfrxExcel::CellName(int col, int row) { return ColumnName(col) + std::to_string(row); }

void TfrxExcel::SetColumnWidth(int col, double width) {
    if (width > 0 && width < 256 && col >= 1 && col <= TWorkbook::MaxCols) Workbook->SetColumnWidth(col - 1, width);
}

void TfrxExcel::SetPageSetup(TPrinterOrientation orientation, double bottom, double top, double right, double left) {
    // Sound: the margins are millimetres and are taken as such, where handing the number on
    // as points would print them at about a third of their size.
    Workbook->SetMargins(left, right, top, bottom);
    Workbook->SetLandscape(orientation == poLandscape);
}

bool TfrxExcel::SetRange(int col, int row, int rows, int cols) {
    if (col < 1 || row < 1 || rows < 1 || cols < 1) return false;
    if (col > TWorkbook::MaxCols || row > TWorkbook::MaxRows) return false;
    Range.Col = col - 1;
    Range.Row = row - 1;
    Range.Cols = std::min(cols, TWorkbook::MaxCols - Range.Col);
    Range.Rows = std::min(rows, TWorkbook::MaxRows - Range.Row);
    return true;
}

void TfrxExcel::SetRowHeights(const std::vector<TfrxXLSRowRun>& runs, const std::vector<double>& heights,
    TfrxProgress* progress, int rowCount, int common) {
    if (heights.empty()) return;
    const int last = std::min(rowCount, TWorkbook::MaxRows);
    for (int r = 0; r < last; ++r) Workbook->SetRowHeight(r, heights.at(size_t(common)));
    if (progress) progress->Execute(int(runs.size()), frxGetResources()->Get("ProgressRows") + " - 2", true, true);
    for (const TfrxXLSRowRun& run : runs) {
        if (progress && progress->GetTerminated()) break;
        if (run.HeightIndex != common)
            for (int r = run.First; r <= std::min(run.Last, last); ++r)
                Workbook->SetRowHeight(r - 1, heights.at(size_t(run.HeightIndex)));
        if (progress) progress->Tick();
    }
}

void TfrxExcel::ApplyRanges(std::vector<TfrxXLSRange>& ranges, TfrxXLSRangeKind kind, TfrxProgress* progress) {
    std::stable_sort(
        ranges.begin(), ranges.end(), [](const TfrxXLSRange& a, const TfrxXLSRange& b) { return a.Tag < b.Tag; });
    if (progress)
        progress->Execute(int(ranges.size()),
            frxGetResources()->Get("ProgressStyles") + " - " + std::to_string(int(kind) + 1), true, true);
    for (const TfrxXLSRange& r : ranges) {
        if (progress && progress->GetTerminated()) break;
        switch (kind) {
        case rkStyle:
            if (r.Tag >= 0 && size_t(r.Tag) < FStyleMap.size()) Workbook->ApplyStyle(r.Range, FStyleMap[size_t(r.Tag)]);
            break;
        case rkBorders: Workbook->ApplyBorders(r.Range, uint8_t(r.Tag & 0x0F)); break;
        case rkMerge: Workbook->Merge(r.Range); break;
        }
        if (progress) progress->Tick();
    }
}

int TfrxExcel::AddStyle(const TfrxIEMStyle& style) {
    TSheetStyle s;
    const TFontStyles fs = style.Font->GetStyle();
    s.Bold = fs.Contains(fsBold);
    s.Italic = fs.Contains(fsItalic);
    s.Underline = fs.Contains(fsUnderline);
    s.FontName = style.Font->GetName();
    s.FontSize = style.Font->GetSize();
    // Sound: system colours are resolved and "no colour" means no fill, where passing the raw
    // values on would give wrong colours or a refused style.
    s.FontColor = style.Font->GetColor() == clNone ? 0 : frxColorToRGB(style.Font->GetColor());
    s.Filled = style.Color != clNone;
    if (s.Filled) s.FillColor = frxColorToRGB(style.Color);
    const int rotation = (style.Rotation % 360 + 360) % 360;  // a text object keeps the sign
    if (rotation >= 1 && rotation <= 90) s.Rotation = rotation;
    else if (rotation >= 270 && rotation <= 359) s.Rotation = rotation - 360;
    switch (style.HAlign) {
    case haRight: s.HAlign = shRight; break;
    case haCenter: s.HAlign = shCenter; break;
    case haBlock: s.HAlign = shJustify; break;
    case haLeft: s.HAlign = shLeft; break;
    }
    switch (style.VAlign) {
    case vaBottom: s.VAlign = svBottom; break;
    case vaCenter: s.VAlign = svCenter; break;
    case vaTop: s.VAlign = svTop; break;
    }
    const int index = Workbook->AddStyle(s);
    FStyleMap.push_back(index);
    return index;
}

void TfrxExcel::SaveAs(const std::string& fileName) {
    Workbook->SaveAs(fileName);
    if (IsVisible) ShellExecute(0, "open", fileName);
}
