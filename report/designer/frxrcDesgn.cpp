// The designer's texts in the report library's text table, and its registration with the
// report core.

#include "report/core/frxReport.h"
#include "report/core/frxRes.h"
#include "report/output/frxDialogControls.h"
#include "report/designer/frxDesgn.h"

namespace {
void AddDesignerTexts(TfrxResources* res) {
    static const char* const kTexts[][2] = {
        {"dsCm", "Centimetry"},
        {"dsInch", "Palce"},
        {"dsPix", "Pixely"},
        {"dsChars", "Znaky"},
        {"dsCode", "Kód"},
        {"dsPage", "Strana"},
        {"dsRepFilter", "Report (*.fr3)|*.fr3"},
        {"dsComprRepFilter", "Komprimovaný report (*.fr3)|*.fr3"},
        {"dsSavePreviewChanges", "Uložit změny do stránky předtisku?"},
        {"dsSaveChangesTo", "Uložit změny do "},
        {"dsCantLoad", "Nelze načíst soubor"},
        {"dsNoStyle", "Žádný styl"},
        {"dsTextNotFound", "Text '%s' nenalezen"},
        // The two below belong to the sound save: another file is not overwritten unasked, and
        // a failed write says that the old file is kept.
        {"dsOverwrite", "Soubor „%s“ již existuje. Chcete jej nahradit?"},
        {"dsCantSave", "Formulář se nepodařilo uložit do souboru „%s“:\n%s\n\nPůvodní soubor zůstal beze změny."},
        {"uCm", "cm"},
        {"uInch", "in"},
        {"uPix", "px"},
        {"uChar", "zn"},
    };
    for (const auto& [key, text] : kTexts) res->Add(key, text);
}
}  // namespace

void frxRegisterDesigner() {
    AddDesignerTexts(frxGetResources());
    // A template's dialog pages must load as their controls, or saving would drop them.
    frxRegisterDialogControls();
    frxDesignerClass() = [](TComponent* owner, TfrxReport* report, bool previewDesigner) -> TfrxCustomDesigner* {
        return new TfrxDesignerForm(owner, report, previewDesigner);
    };
}
