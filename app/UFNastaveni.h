#pragma once
// The settings window (the school's data in "Prefs" and the list of subject names) and the
// subject window that edits one subject name.

#include "app/AppControls.h"
#include "platform/gui/DBCtrls.h"

class TFNastaveni : public TForm {
    KAROMIL_CLASS(TFNastaveni, TForm)
public:
    explicit TFNastaveni(TComponent* owner);

    TLabel* Label1 = nullptr;
    TLabel* Label2 = nullptr;
    TLabel* Label3 = nullptr;
    TLabel* Label4 = nullptr;
    TDBEdit* DBEdit1 = nullptr;
    TDBEdit* DBEdit2 = nullptr;
    TDBEdit* DBEdit3 = nullptr;
    TDBEdit* DBEdit4 = nullptr;
    TDBGrid* DBGrid1 = nullptr;
    TBitBtn* bNew = nullptr;
    TBitBtn* bEdit = nullptr;
    TBitBtn* BitBtn9 = nullptr;
    TBitBtn* BitBtn2 = nullptr;
    TBitBtn* BitBtn1 = nullptr;

    void BitBtn2Click(TObject* sender);
    void BitBtn1Click(TObject* sender);
    void bNewClick(TObject* sender);
    void bEditClick(TObject* sender);
    void DBGrid1DblClick(TObject* sender);
    void BitBtn9Click(TObject* sender);
    void FormClose(TObject* sender, TCloseAction& action);
};

class TFPredmet : public TForm {
    KAROMIL_CLASS(TFPredmet, TForm)
public:
    explicit TFPredmet(TComponent* owner);
    ~TFPredmet() override;

    TLabel* Label1 = nullptr;
    TDBEdit* DBEdit1 = nullptr;
    TBitBtn* BitBtn2 = nullptr;
    TBitBtn* BitBtn1 = nullptr;

    void BitBtn2Click(TObject* sender);
    void BitBtn1Click(TObject* sender);
    void FormClose(TObject* sender, TCloseAction& action);
};

extern TFPredmet* FPredmet;
