// The PDF export's view side: report pages and objects turned into PDF pages and content.

#include "report/output/frxExportPDF.h"
#include "report/output/frxPDFFile.h"

void TfrxPDFExport::StartPage(TfrxReportPage*, int) {
    throw EAbstractError("TfrxPDFExport.StartPage: report pages are not built yet");
}

void TfrxPDFExport::ExportObject(TfrxComponent*) {}
