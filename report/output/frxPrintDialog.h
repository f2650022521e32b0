#pragma once
// The print dialog: printer, pages, copies and collation, odd or even pages, reverse order and
// printing to a file. The printer choice and the output file go straight into the report's
// printer list; everything else the caller reads back after OK.

#include <string>

#include "platform/gui/Forms.h"
#include "platform/gui/StdCtrls.h"
#include "report/core/frxOptions.h"

class TButton;
class TCheckBox;
class TComboBox;
class TEdit;
class TGroupBox;
class TImage;
class TLabel;
class TPaintBox;
class TRadioButton;
class TSaveDialog;
class TUpDown;

class TfrxPrintDialog : public TForm {
    KAROMIL_CLASS(TfrxPrintDialog, TForm)
public:
    explicit TfrxPrintDialog(TComponent* owner);

    TImage* PrinterImg;
    TLabel* PrintL;
    TComboBox* PrintPagesCB;
    TButton* OkB;
    TButton* CancelB;
    TSaveDialog* FileDlg;
    TGroupBox* Label12;
    TLabel* TypeL;
    TLabel* WhereL;
    TLabel* TypeL1;
    TLabel* WhereL1;
    TComboBox* PrintersCB;
    TButton* PropButton;
    TCheckBox* FileCB;
    TCheckBox* ReverseCB;
    TGroupBox* Label1;
    TLabel* DescrL;
    TRadioButton* AllRB;
    TRadioButton* CurPageRB;
    TRadioButton* PageNumbersRB;
    TEdit* PageNumbersE;
    TGroupBox* Label2;
    TLabel* CopiesL;
    TEdit* CopiesE;
    TUpDown* UpDown1;
    TCheckBox* CollateCB;
    TLabel* CollateL;
    TPaintBox* CopiesPB;
    TImage* CollateImg;
    TImage* NonCollateImg;

    // The number of prepared pages, against which a typed page list is checked (0: unknown).
    int PageCount = 0;

    void PrintersCBClick(TObject* sender);
    void CollateLClick(TObject* sender);
    void CollateCBClick(TObject* sender);
    void CopiesPBPaint(TObject* sender);

private:
    void FormShow(TObject* sender);
    void FormHide(TObject* sender);
    void OkBClick(TObject* sender);
    void PrintersCBDrawItem(TWinControl* control, int index, TRect rect, TOwnerDrawState state);
    int FOldPrinterIndex = -1;
};

// What one print takes from the dialog.
struct TfrxPrintChoices {
    int Copies = 1;
    bool Collate = true;
    std::string PageNumbers;  // empty: all pages
    TfrxPrintPages PrintPages = ppAll;
    bool Reverse = false;
};

// Shows the print dialog filled from options (owner: the application) and, after OK, reads the
// choices; false when the user cancelled. curPreviewPage is the page "Current page" prints.
bool frxExecutePrintDialog(
    const TfrxPrintOptions& options, int curPreviewPage, int pageCount, TfrxPrintChoices& choices);

// Makes printing a prepared report ask through this dialog (the report core's print-dialog
// hook); called once at start-up by whoever links the output layer, as the dialog controls'
// registration does.
void frxRegisterPrintDialog();

// Why a typed page list cannot be printed, in words for the user; empty when it can. Items are
// page numbers and ranges "a-b" separated by commas; a trailing "-" runs to the last page.
// pageCount 0 skips the check against the last page.
std::string frxCheckPageNumbers(const std::string& text, int pageCount);
// Why a typed number of copies cannot be used; empty when it can.
std::string frxCheckCopies(const std::string& text);
