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
#include "report/core/frxPreviewPages.h"
#include "report/core/frxPrinter.h"
#include "report/core/frxReport.h"
#include "report/core/frxRes.h"
#include "report/output/frxErrorBox.h"
#include "report/output/frxFormBuilder.h"

KAROMIL_IMPLEMENT_CLASS(TfrxPrintDialog, TForm)

namespace {
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
    TFormLoader loader(this);
    SetName("frxPrintDialog");
    SetCaption("Print");
    SetBorderStyle(bsDialog);
    TForm::SetPosition(poScreenCenter);
    SetClientWidth(477);
    SetClientHeight(263);
    GetFont()->SetName("Tahoma");
    GetFont()->SetHeight(-11);

    using F = TfrxPrintDialog;
    constexpr TfrxField<F> form;
    constexpr auto printer = frxField<&F::Label12>, pages = frxField<&F::Label1>, copies = frxField<&F::Label2>;
    const TfrxControlRow<F> rows[] = {
        {frxField<&F::PrinterImg>, "PrinterImg", form, {440, 232, 16, 16}, nullptr, {}, {}, false},
        {printer, "Label12", form, {8, 4, 461, 97}, "Printer"},
        {frxField<&F::PrintersCB>, "PrintersCB", printer, {12, 20, 341, 22}, nullptr, &F::PrintersCBClick},
        {frxField<&F::PropButton>, "PropButton", printer, {362, 18, 89, 25}, "Properties...",
            [](F&) { frxGetPrinters()->GetCurrentPrinter()->PropertiesDlg(); }},
        {frxField<&F::TypeL>, "TypeL", printer, {12, 52, 40, 13}, "Type:"},
        {frxField<&F::WhereL>, "WhereL", printer, {12, 72, 40, 13}, "Where:"},
        {frxField<&F::TypeL1>, "TypeL1", printer, {60, 52, 280, 13}},
        {frxField<&F::WhereL1>, "WhereL1", printer, {60, 72, 280, 13}},
        {frxField<&F::FileCB>, "FileCB", printer, {344, 52, 113, 17}, "Print to file"},
        {frxField<&F::ReverseCB>, "ReverseCB", printer, {344, 72, 113, 17}, "Reverse pages"},

        {pages, "Label1", form, {8, 104, 233, 121}, "Pages"},
        {frxField<&F::AllRB>, "AllRB", pages, {12, 18, 209, 17}, "All"},
        {frxField<&F::CurPageRB>, "CurPageRB", pages, {12, 38, 209, 17}, "Current page"},
        {frxField<&F::PageNumbersRB>, "PageNumbersRB", pages, {12, 58, 81, 17}, "Pages:",
            [](F& f) {
                if (f.PageNumbersE->CanFocus()) f.PageNumbersE->SetFocus();
            }},
        {frxField<&F::PageNumbersE>, "PageNumbersE", pages, {96, 56, 125, 21}},
        {frxField<&F::DescrL>, "DescrL", pages, {12, 82, 209, 32},
            "Enter page numbers and/or page ranges, separated by commas. For example, 1,3,5-12"},

        {copies, "Label2", form, {248, 104, 221, 121}, "Copies"},
        {frxField<&F::CopiesL>, "CopiesL", copies, {12, 22, 100, 13}, "Number of copies"},
        {frxField<&F::CopiesE>, "CopiesE", copies, {128, 18, 49, 21}, "1"},
        {frxField<&F::UpDown1>, "UpDown1", copies, {177, 18, 15, 21}},
        {frxField<&F::CopiesPB>, "CopiesPB", copies, {12, 52, 100, 48}},
        {frxField<&F::CollateCB>, "CollateCB", copies, {128, 66, 17, 17}, nullptr, &F::CollateCBClick},
        {frxField<&F::CollateL>, "CollateL", copies, {148, 68, 60, 13}, "Collate", &F::CollateLClick},
        {frxField<&F::CollateImg>, "CollateImg", copies, {0, 0, 100, 48}, nullptr, {}, {}, false},
        {frxField<&F::NonCollateImg>, "NonCollateImg", copies, {0, 0, 100, 48}, nullptr, {}, {}, false},

        {frxField<&F::PrintL>, "PrintL", form, {8, 236, 24, 13}, "Print"},
        {frxField<&F::PrintPagesCB>, "PrintPagesCB", form, {40, 232, 145, 21}},
        {frxField<&F::OkB>, "OkB", form, {312, 230, 75, 25}, "OK", &F::OkBClick},
        {frxField<&F::CancelB>, "CancelB", form, {394, 230, 75, 25}, "Cancel"},
        {frxField<&F::FileDlg>, "FileDlg"},
    };
    frxBuildRows(loader, *this, rows);

    DrawPrinterPicture(PrinterImg->GetPicture()->Bitmap());
    PrintersCB->SetStyle(csOwnerDrawFixed);
    PrintersCB->SetItemHeight(16);
    PrintersCB->OnDrawItem = [this](TWinControl* c, int i, TRect r, TOwnerDrawState st) {
        PrintersCBDrawItem(c, i, r, st);
    };
    for (TLabel* l : {TypeL1, WhereL1}) l->SetAutoSize(false);
    AllRB->SetChecked(true);
    PageNumbersE->OnEnter = [this](TObject*) { PageNumbersRB->SetChecked(true); };
    // Typing chooses the page list even when the box had the focus already.
    PageNumbersE->OnChange = [this](TObject*) {
        if (PageNumbersE->Focused()) PageNumbersRB->SetChecked(true);
    };
    DescrL->SetAutoSize(false);
    DescrL->SetWordWrap(true);
    UpDown1->SetMin(1);
    UpDown1->SetMax(9999);
    UpDown1->SetPosition(1);
    UpDown1->SetWrap(false);
    UpDown1->SetAssociate(CopiesE);
    CopiesPB->OnPaint = [this](TObject* s) { CopiesPBPaint(s); };
    CollateCB->SetChecked(true);
    CollateL->OnDblClick = [this](TObject* s) { CollateLClick(s); };
    DrawCopiesPicture(CollateImg->GetPicture()->Bitmap(), true);
    DrawCopiesPicture(NonCollateImg->GetPicture()->Bitmap(), false);
    PrintPagesCB->SetStyle(csDropDownList);
    OkB->SetDefault(true);
    OkB->SetModalResult(mrOk);
    CancelB->SetCancel(true);
    CancelB->SetModalResult(mrCancel);
    FileDlg->SetFilter("Printer files (*.prn)|*.prn");
    FileDlg->SetTitle("Print To File");
    OnShow = [this](TObject* s) { FormShow(s); };
    OnHide = [this](TObject* s) { FormHide(s); };
    loader.Finish();

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

void frxRegisterPrintDialog() {
    // Printing a prepared report asks through the print dialog: the choices come back to the
    // prepared pages as they were made ("Current page" as that page's number).
    frxPrintDialogClass() = [](TfrxReport* report, TfrxPrintDialogValues& values) {
        auto* pages = dynamic_cast<TfrxPreviewPages*>(report->PreviewPages());
        TfrxPrintChoices choices;
        const int current = pages ? pages->PreviewPageNo : 1;
        if (!frxExecutePrintDialog(*report->GetPrintOptions(), current, pages ? pages->GetCount() : 0, choices))
            return false;
        values.Copies = choices.Copies;
        values.Collate = choices.Collate;
        values.PageNumbers = choices.PageNumbers;
        values.PrintPages = choices.PrintPages;
        values.Reverse = choices.Reverse;
        values.Range = choices.PageNumbers.empty() ? TfrxPrintDialogValues::prAll : TfrxPrintDialogValues::prNumbers;
        return true;
    };
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
