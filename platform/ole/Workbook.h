#pragma once
// The spreadsheet behind the Excel export: a workbook of one sheet held in memory (cell
// values, cell styles and borders, merged ranges, column widths, row heights, page setup,
// manual page breaks, pictures) and written as an Office Open XML workbook (.xlsx) in one go.
// The export fills it the way it would drive a spreadsheet program; nothing is written until
// SaveAs, because the file format wants every cell's final look at once.
//
// Coordinates are 0-based (column 0 is "A", row 0 is sheet row 1). Colours are 0xRRGGBB.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct TSheetRange {
    int Col = 0, Row = 0;  // first cell
    int Cols = 1, Rows = 1;  // extent in cells, at least 1 each
    int LastCol() const noexcept { return Col + Cols - 1; }
    int LastRow() const noexcept { return Row + Rows - 1; }
    bool Contains(int col, int row) const noexcept {
        return col >= Col && col <= LastCol() && row >= Row && row <= LastRow();
    }
    bool Overlaps(const TSheetRange& r) const noexcept {
        return Col <= r.LastCol() && r.Col <= LastCol() && Row <= r.LastRow() && r.Row <= LastRow();
    }
};

enum TSheetHAlign { shGeneral, shLeft, shCenter, shRight, shJustify };
enum TSheetVAlign { svDefault, svTop, svCenter, svBottom };
// Border sides of a cell, the same bits as a report frame's sides.
enum : uint8_t { sbLeft = 1, sbRight = 2, sbTop = 4, sbBottom = 8 };

struct TSheetStyle {
    std::string FontName = "Arial";
    double FontSize = 10;
    bool Bold = false, Italic = false, Underline = false;
    uint32_t FontColor = 0x000000;
    bool Filled = false;  // no fill: the sheet's own background shows
    uint32_t FillColor = 0xFFFFFF;
    int Rotation = 0;  // degrees, -90..90
    TSheetHAlign HAlign = shGeneral;
    TSheetVAlign VAlign = svDefault;
    bool operator==(const TSheetStyle&) const = default;
};

struct TSheetCell {
    enum TKind { ckBlank, ckText, ckNumber } Kind = ckBlank;
    std::string Text;
    double Number = 0;
    int Style = -1;  // index into the workbook's styles, -1 for the default look
    uint8_t Borders = 0;  // sb* bits
};

// A raster picture placed with its top-left corner in a cell, offset in pixels and scaled.
struct TSheetPicture {
    int Col = 0, Row = 0;
    int OffsetX = 0, OffsetY = 0;
    double ScaleX = 1, ScaleY = 1;
    int Width = 0, Height = 0;
    std::vector<uint32_t> Argb;  // 0xAARRGGBB, row by row from the top
};

class TWorkbook {
public:
    static constexpr int MaxCols = 16384;
    static constexpr int MaxRows = 1048576;
    static constexpr int MaxPageBreaks = 1023;  // what the file format can hold
    static constexpr size_t MaxTextLength = 32767;  // characters of one cell

    // Styles are kept distinct: adding an equal one answers the existing index.
    int AddStyle(const TSheetStyle& style);
    int StyleCount() const noexcept { return int(FStyles.size()); }
    const TSheetStyle& Style(int index) const { return FStyles.at(size_t(index)); }

    // Cell operations raise EOleError for cells outside the sheet's limits.
    void SetText(int col, int row, const std::string& text);  // longer texts are cut
    void SetNumber(int col, int row, double value);
    void ApplyStyle(const TSheetRange& range, int style);
    // Lines on the range's outer edges: a left line on its first column's cells and so on.
    void ApplyBorders(const TSheetRange& range, uint8_t sides);
    // EOleError when the range overlaps one merged before.
    void Merge(const TSheetRange& range);
    void SetWrapText(bool value) noexcept { FWrapText = value; }

    void SetColumnWidth(int col, double width);  // in characters of the default font
    void SetRowHeight(int row, double points);
    // Margins in millimetres.
    void SetMargins(double left, double right, double top, double bottom);
    void SetLandscape(bool value) noexcept { FLandscape = value; }
    // Row `row` begins a new printed page.
    void AddPageBreak(int row);
    void AddPicture(TSheetPicture picture);
    void Select(int col, int row);

    // Writes the workbook to a temporary file beside fileName and renames it over fileName
    // only when it is complete: a failure leaves any older file untouched and no part file.
    // Raises EFCreateError or EWriteError naming the file.
    void SaveAs(const std::string& fileName) const;

    // What was set, for the export's own checks.
    const TSheetCell* Cell(int col, int row) const;
    const std::vector<TSheetRange>& Merges() const noexcept { return FMerges; }
    const std::vector<int>& PageBreaks() const noexcept { return FPageBreaks; }
    double ColumnWidth(int col) const;  // 0 when not set
    double RowHeight(int row) const;  // 0 when not set
    const std::vector<TSheetPicture>& Pictures() const noexcept { return FPictures; }

private:
    static uint64_t Key(int col, int row) noexcept { return (uint64_t(uint32_t(row)) << 32) | uint32_t(col); }
    TSheetCell& At(int col, int row);
    void WriteTo(const std::string& fileName) const;

    std::vector<TSheetStyle> FStyles;
    std::map<uint64_t, TSheetCell> FCells;  // row-major order
    std::vector<TSheetRange> FMerges;
    std::map<int, double> FColumnWidths, FRowHeights;
    std::vector<int> FPageBreaks;
    std::vector<TSheetPicture> FPictures;
    double FMargins[4] = {-1, -1, -1, -1};  // left, right, top, bottom in mm; -1 unset
    bool FLandscape = false;
    bool FWrapText = false;
    int FSelCol = 0, FSelRow = 0;
};

// A PNG file of the pixels (8-bit RGBA, no interlace).
std::string EncodePng(int width, int height, const std::vector<uint32_t>& argb);
