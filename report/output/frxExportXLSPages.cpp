#include "report/output/frxExportXLS.h"

// Waiting for the report page and view classes.
void TfrxXLSExport::StartPage(TfrxReportPage*, int) {}
void TfrxXLSExport::ExportObject(TfrxComponent*) {}
void TfrxXLSExport::FinishPage(TfrxReportPage*, int) {}
