#pragma once
// The Excel export's options window: the page range, the quality switches, opening the file
// afterwards, and the save dialog for the workbook's name.

#include "platform/gui/Forms.h"

class TButton;
class TCheckBox;
class TEdit;
class TGroupBox;
class TLabel;
class TRadioButton;
class TSaveDialog;

class TfrxXLSExportDialog : public TForm {
    KAROMIL_CLASS(TfrxXLSExportDialog, TForm)
public:
    explicit TfrxXLSExportDialog(TComponent* owner);

    TButton* OkB;
    TButton* CancelB;
    TGroupBox* GroupPageRange;
    TRadioButton* AllRB;
    TRadioButton* CurPageRB;
    TRadioButton* PageNumbersRB;
    TEdit* PageNumbersE;
    TLabel* DescrL;
    TGroupBox* GroupQuality;
    TCheckBox* MergeCB;
    TCheckBox* WCB;
    TCheckBox* StylesCB;
    TCheckBox* PicturesCB;
    TCheckBox* AsTextCB;
    TCheckBox* BackgrCB;
    TCheckBox* OpenExcelCB;
    TSaveDialog* SaveDialog1;

    void FormCreate(TObject* sender);  // localises the window from the text table
    void PageNumbersEChange(TObject* sender);  // typing a range selects "Pages:"
};
