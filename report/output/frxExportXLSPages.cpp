// The export loop's page and object steps of the Excel filter.

#include "report/core/frxMemoView.h"
#include "report/core/frxReportPage.h"
#include "report/core/frxView.h"
#include "report/output/frxExportXLS.h"

namespace {

TfrxIEMPage PageSetup(TfrxReportPage* page) {
    TfrxIEMPage p;
    p.Orientation = page->GetOrientation();
    p.Width = page->GetWidth();
    p.Height = page->GetHeight();
    p.LeftMargin = page->LeftMargin;
    p.TopMargin = page->TopMargin;
    p.RightMargin = page->RightMargin;
    p.BottomMargin = page->BottomMargin;
    return p;
}

}  // namespace

void TfrxXLSExport::StartPage(TfrxReportPage* page, int) { StartPageSetup(PageSetup(page)); }

void TfrxXLSExport::ExportObject(TfrxComponent* obj) {
    auto* view = dynamic_cast<TfrxView*>(obj);
    if (!view || !FMatrix) return;
    if (dynamic_cast<TfrxCustomMemoView*>(view) || ExportPictures) FMatrix->AddObject(view);
}

void TfrxXLSExport::FinishPage(TfrxReportPage* page, int) { FinishPageSetup(PageSetup(page)); }
