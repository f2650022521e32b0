#pragma once
// The print window: prints, previews and designs the four templates of the current report card
// (front and back of the card and of its duplicate, "opis"). Its code only picks a template path
// and hands it to its own report component.

#include <string>

#include "app/AppControls.h"
#include "platform/gui/Dialogs.h"

class TfrxDesigner;
class TfrxDialogControls;
class TfrxPDFExport;
class TfrxReport;
class TfrxXLSExport;

class TFTisk : public TForm {
    KAROMIL_CLASS(TFTisk, TForm)
public:
    explicit TFTisk(TComponent* owner);

    TGroupBox* GroupBox1 = nullptr;
    TGroupBox* GroupBox2 = nullptr;
    TLabel* Label1 = nullptr;
    TLabel* Label2 = nullptr;
    TLabel* Label3 = nullptr;
    TLabel* Label4 = nullptr;
    TEdit* FormularFront = nullptr;
    TEdit* FormularOpisFront = nullptr;
    TEdit* FormularBack = nullptr;
    TEdit* FormularOPISBack = nullptr;
    TBitBtn* bPrint = nullptr;
    TBitBtn* bPreview = nullptr;
    TBitBtn* bModify = nullptr;
    TBitBtn* bLoad = nullptr;
    TBitBtn* BitBtn2 = nullptr;
    TBitBtn* BitBtn7 = nullptr;
    TBitBtn* BitBtn8 = nullptr;
    TBitBtn* BitBtn9 = nullptr;
    TBitBtn* BitBtn5 = nullptr;
    TBitBtn* BitBtn6 = nullptr;
    TBitBtn* BitBtn1 = nullptr;
    TBitBtn* BitBtn4 = nullptr;
    TBitBtn* BitBtn3 = nullptr;
    TBitBtn* BitBtn10 = nullptr;
    TBitBtn* BitBtn11 = nullptr;
    TBitBtn* BitBtn12 = nullptr;
    TBitBtn* bbTiskVysv2 = nullptr;
    TBitBtn* bbTiskOpis2 = nullptr;
    TBitBtn* bStorno = nullptr;
    TfrxReport* frxReport1 = nullptr;
    TfrxDesigner* frxDesigner1 = nullptr;  // the designer's options while this window is open
    TfrxPDFExport* frxPDFExport1 = nullptr;
    TfrxXLSExport* frxXLSExport1 = nullptr;
    TfrxDialogControls* frxDialogControls1 = nullptr;
    TOpenDialog* OpenDialog1 = nullptr;

    void FormCreate(TObject* sender);

    // The three commands of one template line; each loads the template afresh.
    bool PrintTemplate(TEdit* line);
    bool PreviewTemplate(TEdit* line);
    void DesignTemplate(TEdit* line);
    void ChooseTemplate(TEdit* line);

    // The template file a line names: an absolute path as it stands; a relative one beside the
    // database, else beside the program (never against the process's current folder).
    static std::string TemplatePath(const std::string& text);

protected:
    void Resize() override;

private:
    // Loads the line's template into frxReport1; a missing one is said to the user and stops.
    bool LoadTemplate(TEdit* line);
};
