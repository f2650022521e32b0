// The core's Czech texts, registered in this order when the text table is first used.

#include <initializer_list>
#include <utility>

#include "report/core/frxRes.h"

namespace {
using Line = std::pair<const char*, const char*>;

std::string Lines(std::initializer_list<Line> lines) {
    std::string s;
    for (const auto& [name, value] : lines) {
        s += name;
        s += '=';
        s += value;
        s += '\n';
    }
    return s;
}
}  // namespace

void frxRegisterCoreTexts(TfrxResources* res) {
    res->Add("TfrxPreviewForm",
        Lines({{"Caption", "Předtisk"}, {"PrintB.Caption", "Tisk"}, {"PrintB.Hint", "Tisknout"},
            {"OpenB.Caption", "Otevřít"}, {"OpenB.Hint", "Otevřít"}, {"SaveB.Caption", "Uložit"},
            {"SaveB.Hint", "Uložit"}, {"ExportB.Caption", "Export"}, {"ExportB.Hint", "Export"},
            {"FindB.Caption", "Najít"}, {"FindB.Hint", "Najít"}, {"ZoomWholePageB.Caption", "Celá stránka"},
            {"ZoomWholePageB.Hint", "Celá stránka"}, {"ZoomPageWidthB.Caption", "Šířka stránky"},
            {"ZoomPageWidthB.Hint", "Na šířku stránky"}, {"Zoom100B.Caption", "100%"}, {"Zoom100B.Hint", "100%"},
            {"Zoom50B.Caption", "Dvě stránky"}, {"Zoom50B.Hint", "Dvě stránky"}, {"ZoomCB.Hint", "Zvětšení"},
            {"PageSettingsB.Caption", "Okraje"}, {"PageSettingsB.Hint", "Okraje"}, {"OutlineB.Caption", "Ovládání"},
            {"OutlineB.Hint", "Ovládání"}, {"HandToolB.Caption", "Přetáhnout"}, {"HandToolB.Hint", "Nástroj přetažení"},
            {"ZoomToolB.Caption", "Zvětšení"}, {"ZoomToolB.Hint", "Nástroj zvětšení"},
            {"NewPageB.Caption", "Přidat stránku"}, {"NewPageB.Hint", "Přidat stránku"},
            {"DelPageB.Caption", "Vymazat"}, {"DelPageB.Hint", "Vymazat stránku"}, {"DesignerB.Caption", "Upravit"},
            {"DesignerB.Hint", "Upravit stránku"}, {"FirstB.Caption", "První"}, {"FirstB.Hint", "První stránka"},
            {"PriorB.Caption", "Předchozí"}, {"PriorB.Hint", "Předchozí stránka"}, {"NextB.Caption", "Další"},
            {"NextB.Hint", "Další stránka"}, {"LastB.Caption", "Poslední"}, {"LastB.Hint", "Poslední stránka"},
            {"CancelB.Caption", "Zavřít"}, {"PageE.Hint", "Číslo stránky"}}));
    res->Add("zmPageWidth", "Šířka stránky");
    res->Add("zmWholePage", "Celá stránka");
    res->Add("TfrxPrintDialog",
        Lines({{"Caption", "Tisk"}, {"Label12.Caption", "Tiskárna   "},
            {"DescrL.Caption", "Zadejte počet stránek a/nebo rozsah stránek oddělených čárkami. Např. 1,3,5-12"},
            {"Label1.Caption", "Stránky   "}, {"CopiesL.Caption", "Počet kopií"}, {"CollateL.Caption", "Uspořádat"},
            {"Label2.Caption", "Kopie   "}, {"PrintL.Caption", "Tisk"}, {"TypeL.Caption", "Typ:"},
            {"WhereL.Caption", "Kde:"}, {"OkB.Caption", "OK"}, {"CancelB.Caption", "Zrušit"},
            {"PropButton.Caption", "Vlastnosti..."}, {"AllRB.Caption", "Vše"},
            {"CurPageRB.Caption", "Aktuální stránku"}, {"PageNumbersRB.Caption", "Stránky:"},
            {"FileCB.Caption", "Tisknout do souboru"}, {"ReverseCB.Caption", "Obrácené pořadí str."}}));
    res->Add("ppAll", "Všechny stránky");
    res->Add("ppOdd", "Liché stránky");
    res->Add("ppEven", "Sudé stránky");
    res->Add("TfrxSearchDialog",
        Lines({{"Caption", "Najít text"}, {"TextL.Caption", "Hledaný text:"},
            {"SearchL.Caption", "Volby prohledávání   "}, {"TopCB.Caption", "Hledat od začátku"},
            {"CaseCB.Caption", "Rozlišovat malá/velká"}, {"OkB.Caption", "OK"}, {"CancelB.Caption", "Zrušit"}}));
    res->Add("TfrxPageSettingsForm",
        Lines({{"Caption", "Nastavení stránky"}, {"WidthL.Caption", "Šířka"}, {"HeightL.Caption", "Výška"},
            {"SizeL.Caption", "Velikost   "}, {"OrientationL.Caption", "Orientace   "}, {"LeftL.Caption", "Vlevo"},
            {"TopL.Caption", "Nahoře"}, {"RightL.Caption", "Vpravo"}, {"BottomL.Caption", "Dole"},
            {"MarginsL.Caption", "Okraje   "}, {"PortraitRB.Caption", "Na výšku"}, {"LandscapeRB.Caption", "Na šířku"},
            {"cmL1.Caption", "cm"}, {"cmL2.Caption", "cm"}, {"cmL3.Caption", "cm"}, {"cmL4.Caption", "cm"},
            {"cmL5.Caption", "cm"}, {"cmL6.Caption", "cm"}, {"OKB.Caption", "OK"}, {"CancelB.Caption", "Zrušit"},
            {"OtherL.Caption", "Další   "}, {"ApplyToCurRB.Caption", "Uplatnit na aktuální stránku"},
            {"ApplyToAllRB.Caption", "Uplatnit na všechny stránky"}}));
    res->Add("TfrxDMPExportDialog",
        Lines({{"Caption", "Tisk"}, {"PrinterL.Caption", "Tiskárna   "}, {"PagesL.Caption", "Stránky   "},
            {"CopiesL.Caption", "Kopie   "}, {"CopiesNL.Caption", "Počet kopií"},
            {"DescrL.Caption", "Zadejte počet stránek a/nebo rozsah stránek oddělených čárkami. Např. 1,3,5-12"},
            {"OptionsL.Caption", "Nastavení   "}, {"EscL.Caption", "Příkazy ukončení   "}, {"OK.Caption", "OK"},
            {"Cancel.Caption", "Zrušit"}, {"SaveToFileCB.Caption", "Tisknout do souboru"}, {"AllRB.Caption", "Vše"},
            {"CurPageRB.Caption", "Aktuální stránku"}, {"PageNumbersRB.Caption", "Stránky:"},
            {"PageBreaksCB.Caption", "Konce stránek"}, {"OemCB.Caption", "OEM codepage"},
            {"PseudoCB.Caption", "Pseudografika"}, {"SaveDialog1.Filter", "Tiskový soubor (*.prn)|*.prn"}}));
    res->Add("TfrxProgress", Lines({{"CancelB.Caption", "Zrušit"}}));
    res->Add("mbConfirm", "Potvrdit");
    res->Add("mbError", "Chyba");
    res->Add("mbInfo", "Informace");
    res->Add("xrCantFindClass", "Nelze nalézt třídu");
    res->Add("prVirtual", "Virtuální");
    res->Add("prDefault", "Předvolená");
    res->Add("prCustom", "Vlastní");
    res->Add("enUnconnHeader", "Nepřipojené záhlaví/zápatí");
    res->Add("enUnconnGroup", "Žádný pruh pro skupinu");
    res->Add("enUnconnGFooter", "Žádné skupinové záhlaví");
    res->Add("enBandPos", "Nesprávná pozice pruhu:");
    res->Add("dbNotConn", "DataSet %s není připojen k datům");
    // Sound: this key names a field that was not found; its text said "file not found".
    res->Add("dbFldNotFound", "Pole nenalezeno:");
    res->Add("clDSNotIncl", "(dataset není v Report.DataSets obsažen)");
    res->Add("clUnknownVar", "Neznámá proměnná, nebo datové pole:");
    res->Add("clScrError", "Chyba skriptu v %s: %s");
    res->Add("clDSNotExist", "Dataset \"%s\" neexistuje");
    res->Add("clErrors", "Nastala(y) následující chyba(y):");
    res->Add("clExprError", "Chyba ve výrazu");
    res->Add("clFP3files", "Připravený Report");
    res->Add("clSaving", "Ukládání souboru...");
    res->Add("clCancel", "Zrušit");
    res->Add("clClose", "Zavřít");
    res->Add("clPrinting", "Tisk stránky");
    res->Add("clLoading", "Načítání souboru...");
    res->Add("clPageOf", "%d strana z %d");
    res->Add("clFirstPass", "První průchod: strana ");
    res->Add("clNoPrinters", "Na Vašem systému není nainstalována žádná tiskárna");
    res->Add("clDecompressError", "Chyba při dekomprimování streamu");
    res->Add("prRunningFirst", "First pass: page %d");
    res->Add("prRunning", "Preparing page %d");
    res->Add("prPrinting", "Printing page %d");
    res->Add("prExporting", "Exporting page %d");
}
