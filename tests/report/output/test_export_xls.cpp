#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/classes/StringList.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/Shell.h"
#include "platform/gui/StdCtrls.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/SysUtils.h"
#include "report/core/frxMemoView.h"
#include "report/core/frxObjects.h"
#include "report/core/frxReportPage.h"
#include "report/core/frxRes.h"
#include "report/output/frxExportXLS.h"
#include "report/output/frxExportXLSDialog.h"
#include "report/output/frxExportXLSExcel.h"
#include "tests/common/PythonCheck.h"

namespace {

using testsupport::RunPython;
std::string TempDir() { return testsupport::MakeTempDir("xlstest"); }

void Add(TfrxIEMatrix& m, double l, double t, double w, double h, const std::string& text, uint8_t frame = 0,
    TColor color = clNone) {
    auto style = std::make_unique<TfrxIEMStyle>();
    style->FrameTyp = frame;
    style->Color = color;
    style->Font->SetName("Arial");
    style->Font->SetSize(10);
    auto obj = std::make_unique<TfrxIEMObject>();
    obj->StyleIndex = m.AddStyle(std::move(style));
    obj->Left = l;
    obj->Top = t + m.GetPageOffset();
    obj->Width = w;
    obj->Height = h;
    obj->Memo->SetText(text);
    m.AddPlacement(std::move(obj));
}

TfrxIEMPage A4() {
    TfrxIEMPage p;
    p.Width = 794;
    p.Height = 1123;
    p.LeftMargin = p.RightMargin = p.TopMargin = p.BottomMargin = 10;
    return p;
}

// Two pages of a small class overview, fed through the filter's steps as the export loop would.
void ExportTwoPages(TfrxXLSExport& x) {
    ASSERT_TRUE(x.Start());
    x.StartPageSetup(A4());
    TfrxIEMatrix& m = *x.Matrix();
    const uint8_t all = frxIEMLeft | frxIEMRight | frxIEMTop | frxIEMBottom;
    Add(m, 0, 0, 480, 40, "Přehled třídy 4.A — Žluťoučký kůň", all, clYellow);
    Add(m, 0, 40, 160, 20, "Příjmení");
    Add(m, 160, 40, 160, 20, "Průměr");
    Add(m, 320, 40, 160, 20, "Kód");
    Add(m, 0, 60, 160, 20, "Dvořáková\r\n");
    Add(m, 160, 60, 160, 20, "1,25");
    Add(m, 320, 60, 160, 20, "007");
    x.FinishPageSetup(A4());
    x.StartPageSetup(A4());
    Add(*x.Matrix(), 0, 0, 480, 20, "Strana 2");
    x.FinishPageSetup(A4());
    x.Finish();
}

const char* kReadBack = R"(
import openpyxl
ws = openpyxl.load_workbook(PATH).worksheets[0]
for row in ws.iter_rows(min_row=1, max_row=5, max_col=3):
    for c in row:
        if c.value is not None:
            print(c.coordinate, repr(c.value), c.data_type)
print("merged", sorted(str(r) for r in ws.merged_cells.ranges))
print("widths", [round(ws.column_dimensions[c].width, 2) for c in "ABC"])
print("heights", [ws.row_dimensions[r].height for r in range(1, 6)])
print("breaks", [b.id for b in ws.row_breaks.brk])
print("fill", ws["A1"].fill.fgColor.rgb, ws["A1"].border.left.style, ws["C1"].border.right.style)
print("margin", round(ws.page_margins.left * 25.4, 3))
)";

}  // namespace

TEST(ExportXLS, ColumnNames) {
    const std::pair<int, const char*> cases[] = {
        {1, "A"}, {26, "Z"}, {27, "AA"}, {52, "AZ"}, {53, "BA"}, {255, "IU"}, {256, "IV"}, {702, "ZZ"}, {703, "AAA"}};
    for (const auto& [n, name] : cases) EXPECT_EQ(TfrxExcel::ColumnName(n), name) << n;
    EXPECT_EQ(TfrxExcel::CellName(28, 7), "AB7");
}

TEST(ExportXLS, NumbersOnlyWhereTheTextWritesBackTheSame) {
    const struct {
        const char* Text;
        bool IsNumber;
        double Value;
    } cases[] = {
        {"12,5", true, 12.5},
        {"-3", true, -3},
        {"0", true, 0},
        {"0,75", true, 0.75},
        {"007", false, 0},
        {"1e3", false, 0},
        {"0,50", false, 0},
        {"12.5", false, 0},
        {"", false, 0},
        {"1 000", false, 0},
        {"123456789012345678", false, 0},
        {"abc", false, 0},
    };
    for (const auto& c : cases) {
        double v = -1;
        EXPECT_EQ(frxXLSTextToNumber(c.Text, v), c.IsNumber) << c.Text;
        if (c.IsNumber) {
            EXPECT_DOUBLE_EQ(v, c.Value) << c.Text;
        }
    }
}

TEST(ExportXLS, TwoPagesBecomeOneSheet) {
    const std::string dir = TempDir();
    const std::string file = dir + "třída.xlsx";
    TfrxXLSExport x(nullptr);
    x.ShowProgress = false;
    x.SetFileName(file);
    ExportTwoPages(x);
    EXPECT_EQ(x.Matrix(), nullptr) << "the grid is freed after Finish";

    const std::string out = RunPython("PATH = '" + file + "'\n" + kReadBack);
    EXPECT_EQ(out.find("Traceback"), std::string::npos) << out;
    for (const char* line : {
             "A1 'Přehled třídy 4.A — Žluťoučký kůň' s",
             "A2 'Příjmení' s",
             "A3 'Dvořáková' s",  // CR and the trailing line feed removed
             "B3 1.25 n",
             "C3 '007' s",
             "A4 'Strana 2' s",
             "merged ['A1:C1', 'A4:C4']",
             "widths [20.71, 20.71, 20.71]",  // 160 px / 8 = 20 characters, stored with the padding
             "heights [30.25, 15.25, 15.25, 15.25, None]",  // px / 1.32 to a quarter point
             "breaks [3]",  // page 2 begins on sheet row 4
             "fill FFFFFF00 thin thin",
             "margin 10.0",
         })
        EXPECT_NE(out.find(line), std::string::npos) << line << "\n" << out;
    DeleteFile(file);
    ::rmdir(dir.c_str());
}

TEST(ExportXLS, AsTextAndNoStylesOrMerges) {
    const std::string dir = TempDir();
    const std::string file = dir + "plain.xlsx";
    TfrxXLSExport x(nullptr);
    x.ShowProgress = false;
    x.AsText = true;
    x.ExportStyles = false;
    x.MergeCells = false;
    x.SetFileName(file);
    ExportTwoPages(x);
    const std::string out = RunPython("PATH = '" + file + "'\n" + kReadBack);
    EXPECT_NE(out.find("B3 '1,25' s"), std::string::npos) << out;
    EXPECT_NE(out.find("merged []"), std::string::npos) << out;
    EXPECT_NE(out.find("fill 00000000 None None"), std::string::npos) << out;
    DeleteFile(file);
    ::rmdir(dir.c_str());
}

TEST(ExportXLS, UnwritableTargetReportsAndKeepsTheOldFile) {
    const std::string dir = TempDir();
    TfrxXLSExport x(nullptr);
    x.ShowProgress = false;
    x.SetFileName(dir + "no such folder/out.xlsx");
    EXPECT_THROW(ExportTwoPages(x), EFCreateError);
    EXPECT_EQ(x.Matrix(), nullptr);

    // An existing workbook stays as it was when the new one cannot take its place.
    const std::string target = dir + "taken";
    ASSERT_EQ(::mkdir(target.c_str(), 0700), 0);
    x.SetFileName(target);
    EXPECT_THROW(ExportTwoPages(x), EFCreateError);
    EXPECT_TRUE(DirectoryExists(target));
    ::rmdir(target.c_str());
    EXPECT_EQ(::rmdir(dir.c_str()), 0) << "a part file was left behind";
}

TEST(ExportXLS, OpenAfterExportOpensTheSavedFile) {
    const std::string dir = TempDir();
    const std::string file = dir + "open.xlsx";
    std::string opened;
    SetShellLauncher([&](const std::string& target) {
        opened = target;
        return true;
    });
    TfrxXLSExport x(nullptr);
    x.ShowProgress = false;
    x.OpenExcelAfterExport = true;
    x.SetFileName(file);
    ExportTwoPages(x);
    SetShellLauncher(nullptr);
    EXPECT_EQ(opened, file);
    DeleteFile(file);
    ::rmdir(dir.c_str());
}

TEST(ExportXLS, DescriptionAndEmptyFileName) {
    TfrxXLSExport x(nullptr);
    EXPECT_EQ(x.GetDescription(), "Tabulka Excel (OLE)");
    EXPECT_FALSE(x.Start());
}

TEST(ExportXLS, DialogShowsCzechTextsAndReadsBackTheChoices) {
    TfrxXLSExport x(nullptr);
    x.AsText = true;
    std::string caption, merge, open, filter;
    bool asTextShown = false;
    SetShowModalHook([&](TCustomForm* f) {
        auto* d = static_cast<TfrxXLSExportDialog*>(f);
        caption = d->GetCaption();
        merge = d->MergeCB->GetCaption();
        open = d->OpenExcelCB->GetCaption();
        asTextShown = d->AsTextCB->GetChecked();
        d->PageNumbersE->SetText("1,3-4");  // selects "Stránky:"
        d->StylesCB->SetChecked(false);
        d->SetModalResult(mrOk);
    });
    SetDialogHook([&](TDialogCall& call) {
        filter = call.Filter;
        call.Accepted = true;
        call.Value = "/tmp/přehled.xlsx";
    });
    const TModalResult r = x.ShowModal();
    SetShowModalHook(nullptr);
    SetDialogHook(nullptr);
    EXPECT_EQ(r, mrOk);
    EXPECT_EQ(caption, "Export do Excelu");
    EXPECT_EQ(merge, "Připojit buňky");
    EXPECT_EQ(open, "Po exportu otevřít Excel");
    EXPECT_EQ(filter, "Soubor Excelu (*.xlsx)|*.xlsx");
    EXPECT_TRUE(asTextShown);
    EXPECT_FALSE(x.ExportStyles);
    EXPECT_EQ(x.PageNumbers, "1,3-4");
    EXPECT_FALSE(x.CurrentPageOnly);
    EXPECT_EQ(x.GetFileName(), "/tmp/přehled.xlsx");

    // Cancelling the save dialog cancels the export.
    SetShowModalHook([](TCustomForm* f) { f->SetModalResult(mrOk); });
    SetDialogHook([](TDialogCall& call) { call.Accepted = false; });
    EXPECT_EQ(x.ShowModal(), mrCancel);
    SetShowModalHook(nullptr);
    SetDialogHook(nullptr);
}

TEST(ExportXLS, RangesPastTheSheetAreCutOrRefusedNeverMoved) {
    TfrxExcel xl;
    xl.OpenExcel();
    EXPECT_TRUE(xl.SetRange(255, 1, 1, 3)) << "column 255 and beyond are ordinary columns";
    EXPECT_EQ(xl.Range.Col, 254);
    EXPECT_EQ(xl.Range.Cols, 3);
    EXPECT_TRUE(xl.SetRange(TWorkbook::MaxCols - 1, 2, 2, 5));
    EXPECT_EQ(xl.Range.Cols, 2) << "cut at the last column";
    EXPECT_EQ(xl.Range.Row, 1);
    EXPECT_FALSE(xl.SetRange(TWorkbook::MaxCols + 1, 1, 1, 1));
    EXPECT_EQ(xl.Range.Col, TWorkbook::MaxCols - 2) << "a refused range leaves the current one";
}

namespace {

TfrxMemoView* PageMemo(
    TfrxReportPage& page, const std::string& name, double l, double t, double w, double h, const std::string& text) {
    auto* m = new TfrxMemoView(&page);
    m->SetParent(&page);
    m->SetName(name);
    m->SetBounds(l, t, w, h);
    m->SetText(text);
    return m;
}

}  // namespace

TEST(ExportXLS, ReportCardPagesThroughTheExportSteps) {
    TfrxReportPage first(nullptr), second(nullptr);
    for (TfrxReportPage* p : {&first, &second}) p->LeftMargin = p->RightMargin = p->TopMargin = p->BottomMargin = 15;
    PageMemo(first, "Title", 0, 0, 480, 40, "Vysvědčení — Šťastná Žofie")->GetFrame()->Typ = frxAllSides;
    PageMemo(first, "S1", 0, 40, 320, 20, "Český jazyk");
    PageMemo(first, "G1", 320, 40, 160, 20, "1");
    PageMemo(first, "S2", 0, 60, 320, 20, "Matematika");
    PageMemo(first, "G2", 320, 60, 160, 20, "2");
    PageMemo(second, "Behaviour", 0, 0, 480, 20, "Chování: velmi dobré");
    auto* seal = new TfrxShapeView(&second);
    seal->SetParent(&second);
    seal->SetName("Seal");
    seal->Shape = skEllipse;
    seal->SetBounds(400, 20, 40, 20);

    const std::string dir = TempDir();
    const std::string file = dir + "vysvědčení.xlsx";
    TfrxXLSExport x(nullptr);
    x.ShowProgress = false;
    x.SetFileName(file);
    ASSERT_TRUE(x.Start());
    int index = 0;
    for (TfrxReportPage* p : {&first, &second}) {
        x.StartPage(p, index);
        for (int i = 0; i < p->ChildCount(); ++i) x.ExportObject(p->Child(i));
        x.FinishPage(p, index++);
    }
    x.Finish();

    const std::string out = RunPython("PATH = '" + file + "'\n" + R"(
import openpyxl
ws = openpyxl.load_workbook(PATH).worksheets[0]
for row in ws.iter_rows(min_row=1, max_row=5, max_col=4):
    for c in row:
        if c.value is not None:
            print(c.coordinate, repr(c.value), c.data_type)
print("merged", sorted(str(r) for r in ws.merged_cells.ranges))
print("widths", [round(ws.column_dimensions[c].width, 2) for c in "ABCD"])
print("breaks", [b.id for b in ws.row_breaks.brk])
print("images", [(i.anchor._from.col, i.anchor._from.row) for i in ws._images])
print("margin", round(ws.page_margins.top * 25.4, 3))
)");
    EXPECT_EQ(out.find("Traceback"), std::string::npos) << out;
    for (const char* line : {
             "A1 'Vysvědčení — Šťastná Žofie' s",
             "A2 'Český jazyk' s",
             "B2 1 n",
             "A3 'Matematika' s",
             "A4 'Chování: velmi dobré' s",
             "merged ['A1:D1', 'A4:D4', 'B2:D2', 'B3:D3']",
             "widths [40.71, 10.71, 5.71, 5.71]",
             "breaks [3]",
             "images [(2, 4)]",
             "margin 15.0",
         })
        EXPECT_NE(out.find(line), std::string::npos) << line << "\n" << out;
    DeleteFile(file);
    ::rmdir(dir.c_str());
}
