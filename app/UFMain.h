#pragma once
// The main window: the list of report cards, the school's data from "Prefs" above it, and the
// commands new, edit, copy, delete, print, settings, help, about and exit.

#include "app/AppControls.h"
#include "app/MainGrid.h"
#include "platform/gui/DBCtrls.h"

class TFMain : public TForm {
    KAROMIL_CLASS(TFMain, TForm)
public:
    explicit TFMain(TComponent* owner);
    ~TFMain() override;

    TPanel* Panel2 = nullptr;
    TBannerControl* ShockwaveFlash1 = nullptr;
    TDBText* DBText1 = nullptr;
    TDBText* DBText3 = nullptr;
    TDBText* DBText2 = nullptr;
    TDBText* DBText4 = nullptr;
    TPanel* Panel3 = nullptr;
    TBitBtn* bNew = nullptr;
    TBitBtn* bEdit = nullptr;
    TBitBtn* bCopy = nullptr;
    TBitBtn* bDelete = nullptr;
    TBitBtn* bTisk = nullptr;
    TBitBtn* bNastaveni = nullptr;
    TBitBtn* bHelp = nullptr;
    TBitBtn* bInfo = nullptr;
    TBitBtn* BitBtn2 = nullptr;
    TMainGrid* dxDBGrid1 = nullptr;

    void FormCreate(TObject* sender);
    void bNewClick(TObject* sender);
    void bEditClick(TObject* sender);
    void dxDBGrid1DblClick(TObject* sender);
    void bCopyClick(TObject* sender);
    void CopyVysRecord();
    void bDeleteClick(TObject* sender);
    void bTiskClick(TObject* sender);
    void bNastaveniClick(TObject* sender);
    void bHelpClick(TObject* sender);
    void bInfoClick(TObject* sender);
    void bExitClick(TObject* sender);

    // Where the help page is looked for: the data folder first, then beside the program.
    static std::string HelpFile();
};

extern TFMain* FMain;
