#include "report/output/frxPrintDialog.h"

#include <memory>
#include <vector>

#include "platform/gui/Application.h"
#include "platform/gui/Bitmaps.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/StdCtrls.h"
#include "platform/rtl/SysUtils.h"
#include "report/core/frxGraphicDrawing.h"
#include "report/core/frxPrinter.h"
#include "report/core/frxRes.h"
#include "report/output/frxErrorBox.h"

KAROMIL_IMPLEMENT_CLASS(TfrxPrintDialog, TForm)

namespace {
template <class T>
T* Make(TfrxPrintDialog* form, const char* name, TWinControl* parent, int l, int t, int w, int h) {
    T* c = new T(form);
    c->SetName(name);
    c->SetParent(parent);
    c->SetBounds(l, t, w, h);
    return c;
}

// A small printer, drawn for this dialog; its white background is the transparent colour.
void DrawPrinterPicture(TBitmap* b) {
    b->SetSize(16, 16);
    TCanvas* c = b->Canvas();
    c->Brush()->SetColor(clWhite);
    c->FillRect(Rect(0, 0, 16, 16));
    c->Brush()->SetColor(clSilver);
    c->Pen()->SetColor(clBlack);
    c->Rectangle(1, 6, 15, 13);
    c->Brush()->SetColor(clWhite);
    c->Rectangle(4, 1, 12, 7);
    c->Rectangle(4, 11, 12, 15);
    c->SetPixel(12, 8, clLime);
    b->SetTransparentColor(clWhite);
}

// Three numbered sheets in one stack; collated copies show 1 2 3 / 1 2 3, the other 1 1 / 2 2 / 3 3.
void DrawCopiesPicture(TBitmap* b, bool collated) {
    b->SetSize(100, 48);
    TCanvas* c = b->Canvas();
    c->Brush()->SetColor(clWhite);
    c->FillRect(Rect(0, 0, 100, 48));
    c->Font()->SetName("Tahoma");
    c->Font()->SetHeight(-9);
    const int order[2][6] = {{1, 2, 3, 1, 2, 3}, {1, 1, 2, 2, 3, 3}};
    for (int stack = 0; stack < 2; ++stack)
        for (int i = 0; i < 3; ++i) {
            const int x = 4 + stack * 48 + i * 9, y = 4 + i * 6;
            c->Brush()->SetColor(clWindow);
            c->Pen()->SetColor(clBlack);
            c->Rectangle(x, y, x + 20, y + 26);
            c->Brush()->SetStyle(bsClear);
            c->TextOut(x + 7, y + 13, IntToStr(order[collated ? 0 : 1][stack * 3 + i]));
            c->Brush()->SetStyle(bsSolid);
        }
    b->SetTransparentColor(clWhite);
}

bool AllDigits(const std::string& s) {
    if (s.empty()) return false;
    for (char ch : s)
        if (ch < '0' || ch > '9') return false;
    return true;
}
}  // namespace

TfrxPrintDialog::TfrxPrintDialog(TComponent* owner) : TForm(owner) {
    SetName("frxPrintDialog");
    SetCaption("Print");
    SetBorderStyle(bsDialog);
    TForm::SetPosition(poScreenCenter);
    SetClientWidth(477);
    SetClientHeight(263);
    GetFont()->SetName("Tahoma");
    GetFont()->SetHeight(-11);

    PrinterImg = Make<TImage>(this, "PrinterImg", this, 440, 232, 16, 16);
    PrinterImg->SetVisible(false);
    DrawPrinterPicture(PrinterImg->GetPicture()->Bitmap());

    Label12 = Make<TGroupBox>(this, "Label12", this, 8, 4, 461, 97);
    Label12->SetCaption("Printer");
    PrintersCB = Make<TComboBox>(this, "PrintersCB", Label12, 12, 20, 341, 22);
    PrintersCB->SetStyle(csOwnerDrawFixed);
    PrintersCB->SetItemHeight(16);
    PrintersCB->OnClick = [this](TObject* s) { PrintersCBClick(s); };
    PrintersCB->OnDrawItem = [this](TWinControl* c, int i, TRect r, TOwnerDrawState st) {
        PrintersCBDrawItem(c, i, r, st);
    };
    PropButton = Make<TButton>(this, "PropButton", Label12, 362, 18, 89, 25);
    PropButton->SetCaption("Properties...");
    PropButton->OnClick = [](TObject*) { frxGetPrinters()->GetCurrentPrinter()->PropertiesDlg(); };
    TypeL = Make<TLabel>(this, "TypeL", Label12, 12, 52, 40, 13);
    TypeL->SetCaption("Type:");
    WhereL = Make<TLabel>(this, "WhereL", Label12, 12, 72, 40, 13);
    WhereL->SetCaption("Where:");
    TypeL1 = Make<TLabel>(this, "TypeL1", Label12, 60, 52, 280, 13);
    WhereL1 = Make<TLabel>(this, "WhereL1", Label12, 60, 72, 280, 13);
    for (TLabel* l : {TypeL1, WhereL1}) l->SetAutoSize(false);
    FileCB = Make<TCheckBox>(this, "FileCB", Label12, 344, 52, 113, 17);
    FileCB->SetCaption("Print to file");
    ReverseCB = Make<TCheckBox>(this, "ReverseCB", Label12, 344, 72, 113, 17);
    ReverseCB->SetCaption("Reverse pages");

    Label1 = Make<TGroupBox>(this, "Label1", this, 8, 104, 233, 121);
    Label1->SetCaption("Pages");
    AllRB = Make<TRadioButton>(this, "AllRB", Label1, 12, 18, 209, 17);
    AllRB->SetCaption("All");
    AllRB->SetChecked(true);
    CurPageRB = Make<TRadioButton>(this, "CurPageRB", Label1, 12, 38, 209, 17);
    CurPageRB->SetCaption("Current page");
    PageNumbersRB = Make<TRadioButton>(this, "PageNumbersRB", Label1, 12, 58, 81, 17);
    PageNumbersRB->SetCaption("Pages:");
    PageNumbersRB->OnClick = [this](TObject*) {
        if (PageNumbersE->CanFocus()) PageNumbersE->SetFocus();
    };
    PageNumbersE = Make<TEdit>(this, "PageNumbersE", Label1, 96, 56, 125, 21);
    PageNumbersE->OnEnter = [this](TObject*) { PageNumbersRB->SetChecked(true); };
    // Typing chooses the page list even when the box had the focus already.
    PageNumbersE->OnChange = [this](TObject*) {
        if (PageNumbersE->Focused()) PageNumbersRB->SetChecked(true);
    };
    DescrL = Make<TLabel>(this, "DescrL", Label1, 12, 82, 209, 32);
    DescrL->SetAutoSize(false);
    DescrL->SetWordWrap(true);
    DescrL->SetCaption("Enter page numbers and/or page ranges, separated by commas. For example, 1,3,5-12");

    Label2 = Make<TGroupBox>(this, "Label2", this, 248, 104, 221, 121);
    Label2->SetCaption("Copies");
    CopiesL = Make<TLabel>(this, "CopiesL", Label2, 12, 22, 100, 13);
    CopiesL->SetCaption("Number of copies");
    CopiesE = Make<TEdit>(this, "CopiesE", Label2, 128, 18, 49, 21);
    CopiesE->SetText("1");
    UpDown1 = Make<TUpDown>(this, "UpDown1", Label2, 177, 18, 15, 21);
    UpDown1->SetMin(1);
    UpDown1->SetMax(9999);
    UpDown1->SetPosition(1);
    UpDown1->SetWrap(false);
    UpDown1->SetAssociate(CopiesE);
    CopiesPB = Make<TPaintBox>(this, "CopiesPB", Label2, 12, 52, 100, 48);
    CopiesPB->OnPaint = [this](TObject* s) { CopiesPBPaint(s); };
    CollateCB = Make<TCheckBox>(this, "CollateCB", Label2, 128, 66, 17, 17);
    CollateCB->SetChecked(true);
    CollateCB->OnClick = [this](TObject* s) { CollateCBClick(s); };
    CollateL = Make<TLabel>(this, "CollateL", Label2, 148, 68, 60, 13);
    CollateL->SetCaption("Collate");
    CollateL->OnClick = [this](TObject* s) { CollateLClick(s); };
    CollateL->OnDblClick = [this](TObject* s) { CollateLClick(s); };
    CollateImg = Make<TImage>(this, "CollateImg", Label2, 0, 0, 100, 48);
    NonCollateImg = Make<TImage>(this, "NonCollateImg", Label2, 0, 0, 100, 48);
    for (TImage* i : {CollateImg, NonCollateImg}) i->SetVisible(false);
    DrawCopiesPicture(CollateImg->GetPicture()->Bitmap(), true);
    DrawCopiesPicture(NonCollateImg->GetPicture()->Bitmap(), false);

    PrintL = Make<TLabel>(this, "PrintL", this, 8, 236, 24, 13);
    PrintL->SetCaption("Print");
    PrintPagesCB = Make<TComboBox>(this, "PrintPagesCB", this, 40, 232, 145, 21);
    PrintPagesCB->SetStyle(csDropDownList);
    OkB = Make<TButton>(this, "OkB", this, 312, 230, 75, 25);
    OkB->SetCaption("OK");
    OkB->SetDefault(true);
    OkB->SetModalResult(mrOk);
    OkB->OnClick = [this](TObject* s) { OkBClick(s); };
    CancelB = Make<TButton>(this, "CancelB", this, 394, 230, 75, 25);
    CancelB->SetCaption("Cancel");
    CancelB->SetCancel(true);
    CancelB->SetModalResult(mrCancel);

    FileDlg = new TSaveDialog(this);
    FileDlg->SetName("FileDlg");
    FileDlg->SetFilter("Printer files (*.prn)|*.prn");
    FileDlg->SetTitle("Print To File");

    OnShow = [this](TObject* s) { FormShow(s); };
    OnHide = [this](TObject* s) { FormHide(s); };

    // FormCreate: the localised texts and the odd/even choices.
    TfrxResources* res = frxGetResources();
    res->LocalizeForm(this);
    PrintPagesCB->GetItems()->Clear();
    for (const char* key : {"ppAll", "ppOdd", "ppEven"}) PrintPagesCB->GetItems()->Add(res->Get(key));
    PrintPagesCB->SetItemIndex(0);
}

void TfrxPrintDialog::FormShow(TObject*) {
    TfrxPrinters* printers = frxGetPrinters();
    PrintersCB->SetItems(printers->Printers());
    PrintersCB->SetItemIndex(printers->PrinterIndex());
    PrintersCBClick(nullptr);
    FOldPrinterIndex = printers->PrinterIndex();
    CollateCBClick(nullptr);
    PrintPagesCB->SetLeft(PrintL->GetLeft() + PrintL->GetWidth() + 11);
}

void TfrxPrintDialog::PrintersCBClick(TObject*) {
    TfrxPrinters* printers = frxGetPrinters();
    if (PrintersCB->GetItemIndex() >= 0) printers->SetPrinterIndex(PrintersCB->GetItemIndex());
    TfrxCustomPrinter* printer = printers->GetCurrentPrinter();
    TypeL1->SetCaption(printer->Name());
    WhereL1->SetCaption(printer->Port());
}

void TfrxPrintDialog::PrintersCBDrawItem(TWinControl*, int index, TRect rect, TOwnerDrawState) {
    TCanvas* c = PrintersCB->Canvas();
    c->FillRect(rect);
    frxDrawTransparent(c, rect.Left + 2, rect.Top, PrinterImg->GetPicture()->Bitmap());
    c->TextOut(rect.Left + 24, rect.Top + 1, PrintersCB->GetItems()->Get(index));
}

void TfrxPrintDialog::CollateLClick(TObject*) { CollateCB->SetChecked(!CollateCB->GetChecked()); }

void TfrxPrintDialog::CollateCBClick(TObject*) { CopiesPB->Invalidate(); }

void TfrxPrintDialog::CopiesPBPaint(TObject*) {
    TCanvas* c = CopiesPB->Canvas();
    c->Brush()->SetColor(clWindow);
    c->FillRect(CopiesPB->GetClientRect());
    TImage* shown = CollateCB->GetChecked() ? CollateImg : NonCollateImg;
    frxDrawTransparent(c, 0, 0, shown->GetPicture()->Bitmap());
}

void TfrxPrintDialog::OkBClick(TObject*) {
    // Sound: the list and the copies are checked before the dialog closes, so a wrong entry is
    // said at once and can be mended, instead of failing (or printing nothing) afterwards.
    std::string error = frxCheckCopies(CopiesE->GetText());
    TWinControl* wrong = CopiesE;
    if (error.empty() && PageNumbersRB->GetChecked()) {
        error = frxCheckPageNumbers(PageNumbersE->GetText(), PageCount);
        wrong = PageNumbersE;
    }
    if (error.empty()) return;
    SetModalResult(mrNone);
    frxErrorMsg(error);
    if (wrong->CanFocus()) wrong->SetFocus();
}

void TfrxPrintDialog::FormHide(TObject*) {
    TfrxPrinters* printers = frxGetPrinters();
    if (GetModalResult() == mrOk) {
        TfrxCustomPrinter* printer = printers->GetCurrentPrinter();
        printer->SetFileName("");
        if (FileCB->GetChecked()) {
            if (FileDlg->Execute()) printer->SetFileName(ChangeFileExt(FileDlg->GetFileName(), ".prn"));
            else SetModalResult(mrCancel);
        }
    } else if (FOldPrinterIndex >= 0 && FOldPrinterIndex != printers->PrinterIndex()) {
        printers->SetPrinterIndex(FOldPrinterIndex);
    }
}

bool frxExecutePrintDialog(
    const TfrxPrintOptions& options, int curPreviewPage, int pageCount, TfrxPrintChoices& choices) {
    auto dialog = std::make_unique<TfrxPrintDialog>(Application);
    dialog->PageCount = pageCount;
    dialog->UpDown1->SetPosition(options.Copies);
    dialog->CollateCB->SetChecked(options.Collate);
    dialog->PageNumbersE->SetText(options.PageNumbers);
    dialog->PrintPagesCB->SetItemIndex(int(options.PrintPages));
    dialog->ReverseCB->SetChecked(options.Reverse);
    if (dialog->ShowModal() != mrOk) return false;
    choices.Copies = StrToInt(dialog->CopiesE->GetText());
    choices.Collate = dialog->CollateCB->GetChecked();
    if (dialog->AllRB->GetChecked()) choices.PageNumbers.clear();
    else if (dialog->CurPageRB->GetChecked()) choices.PageNumbers = IntToStr(curPreviewPage);
    else choices.PageNumbers = dialog->PageNumbersE->GetText();
    choices.PrintPages = TfrxPrintPages(std::max(0, dialog->PrintPagesCB->GetItemIndex()));
    choices.Reverse = dialog->ReverseCB->GetChecked();
    return true;
}

std::string frxCheckPageNumbers(const std::string& text, int pageCount) {
    std::string s;
    for (char ch : text)
        if (ch != ' ') s += ch;
    if (s.empty()) return {};
    if (s.back() == '-' && pageCount > 0) s += IntToStr(pageCount);
    std::vector<std::string> items;
    size_t start = 0;
    for (size_t i = 0; i <= s.size(); ++i)
        if (i == s.size() || s[i] == ',') {
            items.push_back(s.substr(start, i - start));
            start = i + 1;
        }
    for (const std::string& item : items) {
        if (item.empty()) return "V seznamu stránek chybí číslo mezi čárkami.";
        const size_t dash = item.find('-');
        std::vector<std::string> parts;
        if (dash == std::string::npos) parts = {item};
        else parts = {item.substr(0, dash), item.substr(dash + 1)};
        if (parts.size() == 2 && parts[1].find('-') != std::string::npos)
            return "„" + item + "“ není rozsah stránek; rozsah se píše jako 5-12.";
        if (parts.size() == 2 && parts[1].empty() && pageCount == 0) parts.pop_back();
        std::vector<int> numbers;
        for (const std::string& part : parts) {
            int32_t n = 0;
            if (part.empty()) return "„" + item + "“ není rozsah stránek; rozsah se píše jako 5-12.";
            if (!AllDigits(part) || !TryStrToInt(part, n)) return "„" + part + "“ není číslo stránky.";
            if (n == 0) return "Stránky se číslují od 1; 0 není číslo stránky.";
            if (pageCount > 0 && n > pageCount)
                return "Stránka " + IntToStr(n) + " neexistuje; poslední stránka je " + IntToStr(pageCount) + ".";
            numbers.push_back(n);
        }
        if (numbers.size() == 2 && numbers[1] < numbers[0])
            return "Rozsah „" + item + "“ je obrácený; menší číslo se píše první (" + IntToStr(numbers[1]) + "-" +
                IntToStr(numbers[0]) + ").";
    }
    return {};
}

std::string frxCheckCopies(const std::string& text) {
    int32_t n = 0;
    std::string s = Trim(text);
    if (!AllDigits(s) || !TryStrToInt(s, n) || n < 1) return "Počet kopií musí být celé číslo od 1 výše.";
    return {};
}
