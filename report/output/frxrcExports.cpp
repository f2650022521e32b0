// The Czech texts of the export filters and their dialogs.

#include "report/output/frxrcExports.h"

#include <string>

#include "report/core/frxRes.h"

namespace {
// The parts every export window has (see TfrxExportDialog) and its settings group's caption.
const char* const kSharedDialogTexts =
    "OkB.Caption=OK\r\n"
    "CancelB.Caption=Zrušit\r\n"
    "GroupPageRange.Caption= Rozsah stránek \r\n"
    "AllRB.Caption=Vše\r\n"
    "CurPageRB.Caption=Aktuální stránku\r\n"
    "PageNumbersRB.Caption=Stránky:\r\n"
    "DescrL.Caption=Zadejte čísla stránek a/nebo rozsah stránek, oddělených čárkami. Např.: 1,3,5-12\r\n"
    "GroupQuality.Caption= Nastavení exportu \r\n";
}  // namespace

void frxRegisterExportTexts() {
    TfrxResources* res = frxGetResources();
    res->Add("PDFexport", "Soubor PDF");
    res->Add("XlsOLEexport", "Tabulka Excel (OLE)");
    res->Add("ProgressWait", "Prosím čekejte");
    res->Add("ProgressRows", "Nastavování řádků");
    res->Add("ProgressColumns", "Nastavování sloupců");
    res->Add("ProgressStyles", "Nastavování stylů");
    res->Add("ProgressObjects", "Exportování objektů");
    res->Add("TfrxPDFExportDialog",
        std::string("Caption=Export do PDF\r\n") + kSharedDialogTexts +
            "CompressedCB.Caption=Komprimováno\r\n"
            "EmbeddedCB.Caption=Vestavěná písma\r\n"
            "PrintOptCB.Caption=Print optimized\r\n"
            "OutlineCB.Caption=Outline\r\n"
            "OpenCB.Caption=Po exportu otevřít\r\n"
            "SaveDialog1.Filter=Soubor Adobe PDF (*.pdf)|*.pdf\r\n"
            "SaveDialog1.DefaultExt=.pdf");
    res->Add("TfrxXLSExportDialog",
        std::string("Caption=Export do Excelu\r\n") + kSharedDialogTexts +
            "StylesCB.Caption=Styly\r\n"
            "PicturesCB.Caption=Obrázky\r\n"
            "MergeCB.Caption=Připojit buňky\r\n"
            "WCB.Caption=WYSIWYG\r\n"
            "AsTextCB.Caption=As text\r\n"
            "BackgrCB.Caption=Background\r\n"
            "OpenExcelCB.Caption=Po exportu otevřít Excel\r\n"
            // The workbook is written in the Office Open XML format, whose files end in .xlsx.
            "SaveDialog1.Filter=Soubor Excelu (*.xlsx)|*.xlsx\r\n"
            "SaveDialog1.DefaultExt=.xlsx");
}
