#pragma once
// The Excel export's options window: the page range, the quality switches, opening the file
// afterwards, and the save dialog for the workbook's name.

#include "report/output/frxExportDialog.h"

class TCheckBox;
class TGroupBox;

class TfrxXLSExportDialog : public TfrxExportDialog {
    KAROMIL_CLASS(TfrxXLSExportDialog, TfrxExportDialog)
public:
    explicit TfrxXLSExportDialog(TComponent* owner);

    TGroupBox* GroupQuality;
    TCheckBox* MergeCB;
    TCheckBox* WCB;
    TCheckBox* StylesCB;
    TCheckBox* PicturesCB;
    TCheckBox* AsTextCB;
    TCheckBox* BackgrCB;
    TCheckBox* OpenExcelCB;

    void FormCreate(TObject* sender);  // localises the window from the text table
    void PageNumbersEChange(TObject* sender);  // typing a range selects "Pages:"
};
