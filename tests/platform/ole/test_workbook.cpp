#include <gtest/gtest.h>

#include <fstream>
#include <sys/stat.h>
#include <unistd.h>
#include <string>

#include "platform/ole/Workbook.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/SysUtils.h"
#include "tests/common/PythonCheck.h"

namespace {

using testsupport::RunPython;
std::string TempDir() { return testsupport::MakeTempDir("wbtest"); }

// Reads the first sheet back and prints what matters, one fact a line.
const char* kReadBack = R"(
import openpyxl
wb = openpyxl.load_workbook(PATH)
ws = wb.worksheets[0]
print("A1", repr(ws["A1"].value), ws["A1"].data_type)
print("B2", repr(ws["B2"].value), ws["B2"].data_type)
print("C3", repr(ws["C3"].value), ws["C3"].data_type)
print("merged", sorted(str(r) for r in ws.merged_cells.ranges))
print("widthB", round(ws.column_dimensions["B"].width, 2))
print("height2", ws.row_dimensions[2].height)
print("breaks", [b.id for b in ws.row_breaks.brk])
f = ws["A1"].font
print("font", f.name, f.sz, bool(f.b), bool(f.i), f.u, f.color.rgb if f.color is not None else None)
print("fill", ws["A1"].fill.fill_type, ws["A1"].fill.fgColor.rgb)
print("align", ws["A1"].alignment.horizontal, ws["A1"].alignment.vertical, ws["A1"].alignment.wrap_text)
b = ws["B2"].border
print("borders2", b.left.style, b.right.style, b.top.style, b.bottom.style)
b = ws["C3"].border
print("borders3", b.left.style, b.right.style, b.top.style, b.bottom.style)
print("orientation", ws.page_setup.orientation, round(ws.page_margins.left * 25.4, 3))
print("images", len(ws._images))
import zipfile
z = zipfile.ZipFile(PATH)
png = [n for n in z.namelist() if n.startswith("xl/media/")]
data = z.read(png[0])
print("png", data[:8] == b"\x89PNG\r\n\x1a\n", int.from_bytes(data[16:20], "big"), int.from_bytes(data[20:24], "big"))
)";

}  // namespace

TEST(Workbook, WrittenSheetReadsBack) {
    const std::string dir = TempDir();
    const std::string file = dir + "přehled třídy.xlsx";
    TWorkbook wb;
    TSheetStyle bold;
    bold.FontName = "Times New Roman";
    bold.FontSize = 12;
    bold.Bold = true;
    bold.Underline = true;
    bold.FontColor = 0x000000;  // black must stay black, not "automatic"
    bold.Filled = true;
    bold.FillColor = 0xFF8000;
    bold.HAlign = shCenter;
    bold.VAlign = svTop;
    const int s = wb.AddStyle(bold);
    EXPECT_EQ(s, wb.AddStyle(bold)) << "equal styles are shared";
    wb.SetText(0, 0, "Žluťoučký kůň úpěl ďábelské ódy");
    wb.ApplyStyle({0, 0, 3, 1}, s);
    wb.Merge({0, 0, 3, 1});
    wb.SetNumber(1, 1, 12.5);
    wb.ApplyBorders({1, 1, 2, 2}, sbLeft | sbRight | sbTop | sbBottom);
    wb.SetText(2, 2, "007");
    wb.SetColumnWidth(1, 17.25);
    wb.SetRowHeight(1, 30.75);
    wb.AddPageBreak(40);
    wb.AddPageBreak(80);
    wb.SetMargins(10, 20, 15, 15);
    wb.SetLandscape(true);
    wb.SetWrapText(true);
    TSheetPicture pic;
    pic.Col = 4;
    pic.Row = 4;
    pic.Width = 3;
    pic.Height = 2;
    pic.Argb.assign(6, 0xFFFF0000u);
    wb.AddPicture(pic);
    wb.SaveAs(file);

    const std::string out = RunPython(std::string("PATH = '") + file + "'\n" + kReadBack);
    EXPECT_NE(out.find("A1 'Žluťoučký kůň úpěl ďábelské ódy' s"), std::string::npos) << out;
    EXPECT_NE(out.find("B2 12.5 n"), std::string::npos) << out;
    EXPECT_NE(out.find("C3 '007' s"), std::string::npos) << out;
    EXPECT_NE(out.find("merged ['A1:C1']"), std::string::npos) << out;
    // The file stores a width with the cell's padding: 17.25 characters of 7 px and 5 px more.
    EXPECT_NE(out.find("widthB 18.0"), std::string::npos) << out;
    EXPECT_NE(out.find("height2 30.75"), std::string::npos) << out;
    EXPECT_NE(out.find("breaks [40, 80]"), std::string::npos) << out;
    EXPECT_NE(out.find("font Times New Roman 12.0 True False single FF000000"), std::string::npos) << out;
    EXPECT_NE(out.find("fill solid FFFF8000"), std::string::npos) << out;
    EXPECT_NE(out.find("align center top True"), std::string::npos) << out;
    // A bordered 2x2 block: each cell carries only the outer edges it lies on.
    EXPECT_NE(out.find("borders2 thin None thin None"), std::string::npos) << out;
    EXPECT_NE(out.find("borders3 None thin None thin"), std::string::npos) << out;
    EXPECT_NE(out.find("orientation landscape 10.0"), std::string::npos) << out;
    EXPECT_NE(out.find("png True 3 2"), std::string::npos) << out;
    EXPECT_EQ(out.find("Traceback"), std::string::npos) << out;
    DeleteFile(file);
    ::rmdir(dir.c_str());
}

TEST(Workbook, FailedSaveKeepsTheOldFileAndLeavesNoPart) {
    const std::string dir = TempDir();
    TWorkbook wb;
    wb.SetText(0, 0, "x");
    // A folder that does not exist.
    EXPECT_THROW(wb.SaveAs(dir + "missing/out.xlsx"), EFCreateError);
    // A target that is a folder: the rename fails, the old content stays, no part file is left.
    const std::string target = dir + "taken.xlsx";
    ASSERT_EQ(::mkdir(target.c_str(), 0700), 0);
    try {
        wb.SaveAs(target);
        FAIL() << "saving over a folder must fail";
    } catch (const EFCreateError& e) {
        EXPECT_NE(e.Message().find(target), std::string::npos) << e.Message();
    }
    EXPECT_TRUE(DirectoryExists(target));
    ::rmdir(target.c_str());
    EXPECT_EQ(::rmdir(dir.c_str()), 0) << "the folder holds a left-over file";
}

TEST(Workbook, RefusesWhatTheSheetCannotHold) {
    TWorkbook wb;
    EXPECT_THROW(wb.SetText(TWorkbook::MaxCols, 0, "x"), EOleError);
    EXPECT_THROW(wb.SetNumber(0, TWorkbook::MaxRows, 1), EOleError);
    wb.Merge({0, 0, 2, 2});
    EXPECT_THROW(wb.Merge({1, 1, 2, 1}), EOleError);
    wb.SetText(0, 1, std::string(40000, 'a'));
    EXPECT_EQ(wb.Cell(0, 1)->Text.size(), TWorkbook::MaxTextLength);
    wb.SetText(0, 2, std::string(TWorkbook::MaxTextLength - 1, 'a') + "čč");
    EXPECT_EQ(wb.Cell(0, 2)->Text.size(), TWorkbook::MaxTextLength + 1) << "cut between characters";
}
