#pragma once
// The spreadsheet side of the Excel export: TfrxExcel makes a new workbook and takes the
// export's page setup, sizes, styles, borders, merges, values and pictures into it, then
// saves it and, when asked to stay visible, opens the saved file with the desktop's
// spreadsheet program. Columns and rows are counted from 1 here, as sheet users count them.

#include <memory>
#include <string>
#include <vector>

#include "platform/classes/Object.h"
#include "platform/ole/Workbook.h"
#include "report/core/frxPrinter.h"

class TfrxIEMStyle;
class TfrxProgress;

// A block of cells with the number it is applied with (a style index, frame sides).
struct TfrxXLSRange {
    TSheetRange Range;  // 0-based, as the workbook takes it
    int Tag = 0;
};

// Consecutive sheet rows (1-based, inclusive) sharing one height.
struct TfrxXLSRowRun {
    int First = 1, Last = 1;
    int HeightIndex = 0;
};

enum TfrxXLSRangeKind { rkStyle, rkBorders, rkMerge };

class TfrxExcel : public TObject {
    KAROMIL_CLASS(TfrxExcel, TObject)
public:
    TfrxExcel();
    ~TfrxExcel() override;

    std::unique_ptr<TWorkbook> Workbook;
    TSheetRange Range;  // the current range, 0-based
    bool IsOpened = false;
    bool IsVisible = false;

    void OpenExcel();
    // Visible means: once saved, the file is opened with the desktop's default program.
    void SetVisible(bool value);
    static std::string ColumnName(int n);  // 1 "A", 26 "Z", 27 "AA", 703 "AAA"
    static std::string CellName(int col, int row);  // "A1"
    // Width in characters; only 0 < width < 256 is taken.
    void SetColumnWidth(int col, double width);
    // Margins in millimetres.
    void SetPageSetup(TPrinterOrientation orientation, double bottom, double top, double right, double left);
    // The block of rows x cols cells from (col, row). Sound: a block reaching past the
    // sheet's last column or row is cut there and one starting past it is refused (False),
    // never moved, so nothing lands in a cell it does not belong to.
    bool SetRange(int col, int row, int rows, int cols);
    // Rows 1..rowCount get heights[common]; the runs of other heights get theirs.
    void SetRowHeights(const std::vector<TfrxXLSRowRun>& runs, const std::vector<double>& heights,
        TfrxProgress* progress, int rowCount, int common);
    // Applies each range by kind: the sheet style of the tag's report style, lines on the
    // tag's frame sides, or a merge. Ranges are taken in the order of their tags.
    void ApplyRanges(std::vector<TfrxXLSRange>& ranges, TfrxXLSRangeKind kind, TfrxProgress* progress);
    // The sheet look of a report style, appended to the workbook; answers its index.
    int AddStyle(const TfrxIEMStyle& style);
    // Writes the workbook (through a temporary file); then opens it when visible.
    void SaveAs(const std::string& fileName);

private:
    std::vector<int> FStyleMap;  // report style index -> workbook style index
};

// 0x00BBGGRR report colour (system colours resolved) as 0xRRGGBB.
uint32_t frxColorToRGB(TColor color);
