#pragma once
// The report-card editor: one row of "vysvedceni" on three tabs (front side, back side, print
// settings) with the teacher's name below. The main window puts the table into insert or edit
// state before showing it; OK posts, Storno cancels.

#include <string>
#include <vector>

#include "app/AppControls.h"
#include "lookup/LookupCombo.h"
#include "platform/gui/DBCtrls.h"
#include "platform/gui/Dialogs.h"

class TFVys : public TForm {
    KAROMIL_CLASS(TFVys, TForm)
public:
    explicit TFVys(TComponent* owner);

    TPageControl* PageControl1 = nullptr;
    TTabSheet* TSStrana1 = nullptr;
    TTabSheet* TSStrana2 = nullptr;
    TTabSheet* TabSheet1 = nullptr;
    TLabel* LabelUcitel = nullptr;
    TDBEdit* Ucitel = nullptr;
    TBitBtn* BitBtn1 = nullptr;  // Storno
    TBitBtn* BitBtn2 = nullptr;  // OK
    TOpenDialog* OpenDialog1 = nullptr;

    // Front side: the conduct row (index 0) and subject rows 1-19.
    std::vector<TRxDBLookupCombo*> SubjectCombos;
    std::vector<TDBCheckBox*> PrintChecks;
    std::vector<TDBComboBox*> GradesA, GradesB;
    TDBCheckBox* SoucastiListB = nullptr;
    // Back side: optional subjects 1-8.
    std::vector<TRxDBLookupCombo*> OptionalCombos;
    std::vector<TDBComboBox*> OptionalGradesA, OptionalGradesB;
    // Print settings.
    TDBEdit* Form1o = nullptr;
    TDBEdit* Form1 = nullptr;
    TDBEdit* Form2o = nullptr;
    TDBEdit* Form2 = nullptr;
    TBitBtn* BitBtn5 = nullptr;
    TBitBtn* BitBtn3 = nullptr;
    TBitBtn* bLoad = nullptr;
    TBitBtn* BitBtn4 = nullptr;
    // Column buttons.
    TBitBtn *BitBtn17 = nullptr, *BitBtn8 = nullptr, *BitBtn12 = nullptr, *BitBtn6 = nullptr;
    TBitBtn *BitBtn13 = nullptr, *BitBtn7 = nullptr, *BitBtn16 = nullptr, *BitBtn9 = nullptr;
    TBitBtn *BitBtn14 = nullptr, *BitBtn10 = nullptr, *BitBtn15 = nullptr, *BitBtn11 = nullptr;

    void BitBtn2Click(TObject* sender);
    void BitBtn1Click(TObject* sender);
    void BitBtn3Click(TObject* sender);
    void BitBtn5Click(TObject* sender);
    void BitBtn4Click(TObject* sender);
    void bLoadClick(TObject* sender);
    void BitBtn17Click(TObject* sender);
    void BitBtn8Click(TObject* sender);
    void BitBtn12Click(TObject* sender);
    void BitBtn6Click(TObject* sender);
    void BitBtn13Click(TObject* sender);
    void BitBtn7Click(TObject* sender);
    void BitBtn16Click(TObject* sender);
    void BitBtn9Click(TObject* sender);
    void BitBtn14Click(TObject* sender);
    void BitBtn10Click(TObject* sender);
    void BitBtn15Click(TObject* sender);
    void BitBtn11Click(TObject* sender);
    void FormClose(TObject* sender, TCloseAction& action);

    // The fields of a column: the first one (when given), then prefix + row + suffix, rows 1..count.
    static std::vector<std::string> ColumnFields(
        const std::string& first, const std::string& prefix, int count, const std::string& suffix);
    // Six em dashes: what a crossed-out grade holds.
    static const std::string CrossOutText;

private:
    void ClearColumn(const std::vector<std::string>& fields);
    void CrossOutColumn(const std::vector<std::string>& fields);
    void FillSubjects(const std::vector<std::string>& fields);
    void ChooseTemplate(const std::string& field);
};
