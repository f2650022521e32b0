#pragma once
// The Excel export filter: the objects of all exported pages are laid onto one grid by the
// export matrix, and the grid becomes one worksheet (row heights, column widths, a manual page
// break where each page ends, one style per distinct object look, borders, merged cells,
// pictures and the cell values), saved as an .xlsx workbook.

#include <memory>
#include <string>

#include "report/core/frxPlugins.h"
#include "report/output/frxExportMatrix.h"

class TfrxExcel;
class TfrxProgress;

class TfrxXLSExport : public TfrxCustomExportFilter {
    KAROMIL_CLASS(TfrxXLSExport, TfrxCustomExportFilter)
    KAROMIL_PUBLISHED({
        KAROMIL_PROP_MEMBER(ExportStyles).Default(1);
        KAROMIL_PROP_MEMBER(ExportPictures).Default(1);
        KAROMIL_PROP_MEMBER(MergeCells).Default(1);
        KAROMIL_PROP_MEMBER(OpenExcelAfterExport).Default(0);
        KAROMIL_PROP_MEMBER(ShowProgress);  // always stored
        KAROMIL_PROP_MEMBER(Wysiwyg).Default(1);
        KAROMIL_PROP_MEMBER(AsText);
        KAROMIL_PROP_MEMBER(Background);
    })
public:
    explicit TfrxXLSExport(TComponent* owner);
    ~TfrxXLSExport() override;

    bool ExportStyles = true;  // styles and borders on the cells
    bool ExportPictures = true;  // non-text objects as pictures
    bool MergeCells = true;
    bool OpenExcelAfterExport = false;  // open the saved file with the desktop's program
    bool ShowProgress = true;
    bool Wysiwyg = true;  // boundaries merged within 0.5 pixel instead of 10
    bool AsText = false;  // every value as text, never as a number
    bool Background = true;  // also the page background and unnamed objects

    std::string GetDescription() const override;
    TModalResult ShowModal() override;
    bool Start() override;
    void StartPage(TfrxReportPage* page, int index) override;
    void ExportObject(TfrxComponent* obj) override;
    void FinishPage(TfrxReportPage* page, int index) override;
    // Errors (a file that cannot be written) leave it for the export loop to report.
    void Finish() override;

    // The page steps by page geometry (what StartPage and FinishPage take from the page).
    void StartPageSetup(const TfrxIEMPage& page);
    void FinishPageSetup(const TfrxIEMPage& page);
    // The grid being filled during an export; nil outside one.
    TfrxIEMatrix* Matrix() const noexcept { return FMatrix.get(); }

private:
    void FillSheet();
    void Progress(int steps, const std::string& key, const std::string& suffix = "");
    bool Cancelled() const;

    std::unique_ptr<TfrxIEMatrix> FMatrix;
    std::unique_ptr<TfrxExcel> FExcel;
    std::unique_ptr<TfrxProgress> FProgress;
    bool FFirstPage = true;
    TfrxIEMPage FPageSetup;  // the first exported page's orientation and margins
};

// The number a cell text stands for under the user's number format. Sound: only a text that
// the number writes back exactly is taken ("12,5", "-3"), so codes such as "007", "1e3" or
// "0,50" keep the form they were written in.
bool frxXLSTextToNumber(const std::string& text, double& value);
