#include "report/output/frxExportXLS.h"

#include <cmath>
#include <map>

#include "platform/classes/StringList.h"
#include "platform/gui/Bitmaps.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"
#include "report/core/frxProgress.h"
#include "report/core/frxRes.h"
#include "report/output/frxExportXLSExcel.h"
#include "report/output/frxrcExports.h"

KAROMIL_IMPLEMENT_PUBLISHED_CLASS(TfrxXLSExport, TfrxCustomExportFilter)

bool frxXLSTextToNumber(const std::string& text, double& value) {
    const TFormatSettings& fs = FormatSettings();
    double v = 0;
    if (text.empty() || !TryStrToFloat(text, v, fs) || !std::isfinite(v)) return false;
    if (FloatToStr(v, fs) != text) return false;
    value = v;
    return true;
}

TfrxXLSExport::TfrxXLSExport(TComponent* owner) : TfrxCustomExportFilter(owner) { frxRegisterExportTexts(); }

TfrxXLSExport::~TfrxXLSExport() = default;

std::string TfrxXLSExport::GetDescription() const { return frxGetResources()->Get("XlsOLEexport"); }

bool TfrxXLSExport::Start() {
    if (GetFileName().empty()) return false;
    FFirstPage = true;
    FPageSetup = {};
    FMatrix = std::make_unique<TfrxIEMatrix>();
    FMatrix->ShowProgress = ShowProgress;
    FMatrix->MaxCellHeight = 539.88;
    FMatrix->Background = Background;
    FMatrix->Inaccuracy = Wysiwyg ? 0.5 : 10;
    FMatrix->RotatedAsImage = false;
    FMatrix->DeleteHTMLTags = true;
    FExcel = std::make_unique<TfrxExcel>();
    FExcel->OpenExcel();
    return true;
}

void TfrxXLSExport::StartPageSetup(const TfrxIEMPage& page) {
    if (!FFirstPage) return;
    FFirstPage = false;
    FPageSetup = page;
}

void TfrxXLSExport::FinishPageSetup(const TfrxIEMPage& page) {
    FMatrix->AddPage(page.Orientation, page.Width, page.Height, page.LeftMargin, page.TopMargin, page.RightMargin,
        page.BottomMargin);
}

void TfrxXLSExport::Progress(int steps, const std::string& key, const std::string& suffix) {
    if (FProgress) FProgress->Execute(steps, frxGetResources()->Get(key) + suffix, true, true);
}

bool TfrxXLSExport::Cancelled() const { return FProgress && FProgress->GetTerminated(); }

void TfrxXLSExport::Finish() {
    // Sound: the grid, the workbook and the progress window go on every path out, also when
    // filling or saving fails, and a failed save is reported instead of passing for success.
    auto release = OnScopeExit([&] {
        FProgress.reset();
        FMatrix.reset();
        FExcel.reset();
    });
    if (!FMatrix || !FExcel) return;
    FMatrix->Prepare();
    FillSheet();
    FExcel->SetRange(1, 1, 1, 1);
    FExcel->Workbook->Select(FExcel->Range.Col, FExcel->Range.Row);
    if (OpenExcelAfterExport) FExcel->SetVisible(true);
    // Sound: the old file is replaced only by a complete new one (written beside it and renamed
    // over it), where deleting it first and swallowing a failed save would lose it unreported.
    FExcel->SaveAs(GetFileName());
}

void TfrxXLSExport::FillSheet() {
    TfrxIEMatrix& m = *FMatrix;
    TfrxExcel& xl = *FExcel;
    TWorkbook& wb = *xl.Workbook;
    xl.SetPageSetup(FPageSetup.Orientation, FPageSetup.BottomMargin, FPageSetup.TopMargin, FPageSetup.RightMargin,
        FPageSetup.LeftMargin);
    if (ShowProgress) FProgress = std::make_unique<TfrxProgress>(nullptr);

    // Rows: a page break where each page's objects begin, heights in points.
    const int height = m.GetHeight(), width = m.GetWidth();
    Progress(std::max(0, height - 1), "ProgressRows", " - 1");
    std::vector<double> heights;
    std::vector<int> counts;
    std::vector<TfrxXLSRowRun> runs;
    int page = 0;
    for (int n = 1; n < height && !Cancelled(); ++n) {
        const double y = m.YPosValue(n);
        // Sound: the break goes above the sheet row where the next page's objects begin (grid
        // row n, sheet row n + 1), not one row further down, and none follows the last page.
        if (page < m.PageCount() - 1 && m.PageBottom(page) <= y) {
            wb.AddPageBreak(n);
            ++page;
        }
        const double h = std::round((m.YPosValue(n) - m.YPosValue(n - 1)) / 1.32 * 4) / 4;
        size_t hi = 0;
        while (hi < heights.size() && heights[hi] != h) ++hi;
        if (hi == heights.size()) {
            heights.push_back(h);
            counts.push_back(0);
        }
        ++counts[hi];
        if (!runs.empty() && runs.back().HeightIndex == int(hi) && runs.back().Last == n - 1) runs.back().Last = n;
        else runs.push_back({n, n, int(hi)});
        if (FProgress) FProgress->Tick();
    }
    int common = 0;
    for (size_t i = 0; i < counts.size(); ++i)
        if (counts[i] > counts[size_t(common)]) common = int(i);
    std::stable_sort(runs.begin(), runs.end(),
        [](const TfrxXLSRowRun& a, const TfrxXLSRowRun& b) { return a.HeightIndex < b.HeightIndex; });
    xl.SetRowHeights(runs, heights, FProgress.get(), height - 1, common);

    Progress(std::max(0, width - 1), "ProgressColumns");
    for (int c = 1; c < width && !Cancelled(); ++c) {
        xl.SetColumnWidth(c, (m.XPosValue(c) - m.XPosValue(c - 1)) / 8);
        if (FProgress) FProgress->Tick();
    }

    Progress(m.StyleCount(), "ProgressStyles");
    for (int i = 0; i < m.StyleCount() && !Cancelled(); ++i) {
        xl.AddStyle(*m.StyleOf(i));
        if (FProgress) FProgress->Tick();
    }

    // Cells: one value a placement, its range for the style, border and merge lists.
    std::vector<TfrxXLSRange> styles, borders, merges;
    Progress(height, "ProgressObjects");
    for (int p = 1; p <= height && !Cancelled(); ++p) {
        for (int s = 1; s <= width; ++s) {
            const int k = m.Cell(s - 1, p - 1);
            TfrxIEMObject* obj = m.PlacementOf(k);
            if (!obj || obj->Exported) continue;
            obj->Exported = true;
            const TfrxIEMBounds b = m.PlacementBounds(k);
            if (!xl.SetRange(s, p, std::max(1, b.DY), std::max(1, b.DX))) continue;  // past the sheet's end
            const TSheetRange r = xl.Range;
            if (ExportStyles && obj->StyleIndex >= 0) {
                styles.push_back({r, obj->StyleIndex});
                if (const uint8_t sides = m.StyleOf(obj->StyleIndex)->FrameTyp) borders.push_back({r, sides});
            }
            if (MergeCells && (r.Cols > 1 || r.Rows > 1)) merges.push_back({r, 0});
            if (obj->IsText) {
                std::string text;
                for (int i = 0; i < obj->Memo->Count(); ++i) {
                    if (i) text += '\n';
                    text += obj->Memo->Strings(i);
                }
                std::erase(text, '\r');
                while (!text.empty() && text.back() == '\n') text.pop_back();
                double number = 0;
                if (!AsText && frxXLSTextToNumber(text, number)) wb.SetNumber(r.Col, r.Row, number);
                else if (!text.empty()) wb.SetText(r.Col, r.Row, text);
            } else if (obj->Image && !obj->Image->Empty()) {
                // Placed straight into the sheet; the user's clipboard is left alone.
                TSheetPicture pic;
                pic.Col = r.Col;
                pic.Row = r.Row;
                pic.OffsetX = pic.OffsetY = 1;
                pic.ScaleX = pic.ScaleY = (96.0 / 72.0) / 1.38;
                pic.Width = obj->Image->GetWidth();
                pic.Height = obj->Image->GetHeight();
                pic.Argb.resize(size_t(pic.Width) * size_t(pic.Height));
                for (int y = 0; y < pic.Height; ++y) {
                    const uint32_t* line = obj->Image->ScanLine(y);
                    for (int x = 0; x < pic.Width; ++x)
                        pic.Argb[size_t(y) * size_t(pic.Width) + size_t(x)] = 0xFF000000u | line[x];
                }
                wb.AddPicture(std::move(pic));
            }
        }
        if (FProgress) FProgress->Tick();
    }
    if (ExportStyles) {
        xl.ApplyRanges(styles, rkStyle, FProgress.get());
        xl.ApplyRanges(borders, rkBorders, FProgress.get());
    }
    if (MergeCells) xl.ApplyRanges(merges, rkMerge, FProgress.get());
    wb.SetWrapText(true);
    FProgress.reset();
}
