#include "report/output/frxPageSettings.h"

#include <vector>

#include "platform/gui/Bitmaps.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/StdCtrls.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/ScopeGuard.h"
#include "report/core/frxPrinter.h"
#include "report/core/frxReportPage.h"
#include "report/core/frxRes.h"
#include "report/core/frxText.h"
#include "report/output/frxErrorBox.h"

KAROMIL_IMPLEMENT_CLASS(TfrxPageSettingsForm, TForm)

namespace {
template <class T>
T* Make(TfrxPageSettingsForm* form, const char* name, TWinControl* parent, int l, int t, int w, int h) {
    T* c = new T(form);
    c->SetName(name);
    c->SetParent(parent);
    c->SetBounds(l, t, w, h);
    return c;
}

TLabel* MakeLabel(TfrxPageSettingsForm* form, const char* name, TWinControl* parent, int l, int t, const char* text) {
    TLabel* label = Make<TLabel>(form, name, parent, l, t, 40, 13);
    label->SetCaption(text);
    return label;
}

// A sheet with lines of text, upright or lying; white is transparent.
void DrawSheet(TBitmap* b, bool landscape) {
    const int w = landscape ? 40 : 30, h = landscape ? 30 : 40;
    b->SetSize(40, 40);
    TCanvas* c = b->Canvas();
    c->Brush()->SetColor(clBtnFace);
    c->FillRect(Rect(0, 0, 40, 40));
    const int x = (40 - w) / 2, y = (40 - h) / 2;
    c->Brush()->SetColor(clWhite);
    c->Pen()->SetColor(clBlack);
    c->Rectangle(x, y, x + w, y + h);
    for (int line = y + 5; line < y + h - 4; line += 4) {
        c->MoveTo(x + 4, line);
        c->LineTo(x + w - 4, line);
    }
}

// Centimetres typed by the user as millimetres; false when the text is no
// number.
bool TryCentimetres(const std::string& text, double& mm) {
    try {
        mm = frxStrToFloat(text) * 10;
        return true;
    } catch (const EConvertError&) {
        return false;  // recovered: the caller says which box holds the wrong text
    }
}
}  // namespace

TfrxPageSettingsForm::TfrxPageSettingsForm(TComponent* owner) : TForm(owner) {
    SetName("frxPageSettingsForm");
    SetCaption("Page Settings");
    SetBorderStyle(bsDialog);
    TForm::SetPosition(poScreenCenter);
    SetClientWidth(286);
    SetClientHeight(359);
    GetFont()->SetName("Tahoma");
    GetFont()->SetHeight(-11);

    SizeL = Make<TGroupBox>(this, "SizeL", this, 8, 4, 270, 105);
    SizeL->SetCaption("Size");
    WidthL = MakeLabel(this, "WidthL", SizeL, 12, 22, "Width");
    WidthE = Make<TEdit>(this, "WidthE", SizeL, 80, 18, 73, 21);
    cmL1 = MakeLabel(this, "cmL1", SizeL, 160, 22, "cm");
    HeightL = MakeLabel(this, "HeightL", SizeL, 12, 48, "Height");
    HeightE = Make<TEdit>(this, "HeightE", SizeL, 80, 44, 73, 21);
    cmL2 = MakeLabel(this, "cmL2", SizeL, 160, 48, "cm");
    for (TEdit* e : {WidthE, HeightE}) e->OnChange = [this](TObject* s) { WidthEChange(s); };
    SizeCB = Make<TComboBox>(this, "SizeCB", SizeL, 12, 74, 246, 21);
    SizeCB->SetStyle(csDropDownList);
    SizeCB->SetDropDownCount(12);
    SizeCB->OnClick = [this](TObject* s) { SizeCBClick(s); };

    OrientationL = Make<TGroupBox>(this, "OrientationL", this, 8, 112, 270, 69);
    OrientationL->SetCaption("Orientation");
    PortraitImg = Make<TImage>(this, "PortraitImg", OrientationL, 12, 20, 40, 40);
    LandscapeImg = Make<TImage>(this, "LandscapeImg", OrientationL, 12, 20, 40, 40);
    DrawSheet(PortraitImg->GetPicture()->Bitmap(), false);
    DrawSheet(LandscapeImg->GetPicture()->Bitmap(), true);
    PortraitRB = Make<TRadioButton>(this, "PortraitRB", OrientationL, 72, 20, 180, 17);
    PortraitRB->SetCaption("Portrait");
    PortraitRB->SetChecked(true);
    LandscapeRB = Make<TRadioButton>(this, "LandscapeRB", OrientationL, 72, 42, 180, 17);
    LandscapeRB->SetCaption("Landscape");
    for (TRadioButton* r : {PortraitRB, LandscapeRB}) r->OnClick = [this](TObject* s) { PortraitRBClick(s); };

    MarginsL = Make<TGroupBox>(this, "MarginsL", this, 8, 184, 270, 77);
    MarginsL->SetCaption("Margins");
    LeftL = MakeLabel(this, "LeftL", MarginsL, 12, 24, "Left");
    MarginLeftE = Make<TEdit>(this, "MarginLeftE", MarginsL, 64, 20, 45, 21);
    cmL3 = MakeLabel(this, "cmL3", MarginsL, 114, 24, "cm");
    TopL = MakeLabel(this, "TopL", MarginsL, 12, 50, "Top");
    MarginTopE = Make<TEdit>(this, "MarginTopE", MarginsL, 64, 46, 45, 21);
    cmL4 = MakeLabel(this, "cmL4", MarginsL, 114, 50, "cm");
    RightL = MakeLabel(this, "RightL", MarginsL, 140, 24, "Right");
    MarginRightE = Make<TEdit>(this, "MarginRightE", MarginsL, 192, 20, 45, 21);
    cmL5 = MakeLabel(this, "cmL5", MarginsL, 242, 24, "cm");
    BottomL = MakeLabel(this, "BottomL", MarginsL, 140, 50, "Bottom");
    MarginBottomE = Make<TEdit>(this, "MarginBottomE", MarginsL, 192, 46, 45, 21);
    cmL6 = MakeLabel(this, "cmL6", MarginsL, 242, 50, "cm");

    OtherL = Make<TGroupBox>(this, "OtherL", this, 8, 264, 270, 57);
    OtherL->SetCaption("Other");
    ApplyToCurRB = Make<TRadioButton>(this, "ApplyToCurRB", OtherL, 12, 16, 250, 17);
    ApplyToCurRB->SetCaption("Apply to the current page");
    ApplyToCurRB->SetChecked(true);
    ApplyToAllRB = Make<TRadioButton>(this, "ApplyToAllRB", OtherL, 12, 34, 250, 17);
    ApplyToAllRB->SetCaption("Apply to all pages");

    OKB = Make<TButton>(this, "OKB", this, 122, 328, 75, 25);
    OKB->SetCaption("OK");
    OKB->SetDefault(true);
    OKB->SetModalResult(mrOk);
    OKB->OnClick = [this](TObject* s) { OKBClick(s); };
    CancelB = Make<TButton>(this, "CancelB", this, 203, 328, 75, 25);
    CancelB->SetCaption("Cancel");
    CancelB->SetCancel(true);
    CancelB->SetModalResult(mrCancel);

    OnShow = [this](TObject* s) { FormShow(s); };
    OnHide = [this](TObject* s) { FormHide(s); };
    // FormCreate: the localised texts.
    frxGetResources()->LocalizeForm(this);
}

bool TfrxPageSettingsForm::ApplyToAll() const { return ApplyToAllRB->GetChecked(); }

void TfrxPageSettingsForm::FormShow(TObject*) {
    TRollback updating(FUpdating, true);
    TfrxCustomPrinter* printer = frxGetPrinters()->GetCurrentPrinter();
    SizeCB->SetItems(printer->Papers());
    int index = printer->PaperIndex(Page->GetPaperSize());
    if (index == -1) index = printer->PaperIndex(DMPAPER_USER);
    SizeCB->SetItemIndex(index);
    WidthE->SetText(frxFloatToStr(Page->GetPaperWidth() / 10));
    HeightE->SetText(frxFloatToStr(Page->GetPaperHeight() / 10));
    (Page->GetOrientation() == poPortrait ? PortraitRB : LandscapeRB)->SetChecked(true);
    MarginLeftE->SetText(frxFloatToStr(Page->LeftMargin / 10));
    MarginRightE->SetText(frxFloatToStr(Page->RightMargin / 10));
    MarginTopE->SetText(frxFloatToStr(Page->TopMargin / 10));
    MarginBottomE->SetText(frxFloatToStr(Page->BottomMargin / 10));
    PortraitRBClick(nullptr);
}

void TfrxPageSettingsForm::PortraitRBClick(TObject*) {
    PortraitImg->SetVisible(PortraitRB->GetChecked());
    LandscapeImg->SetVisible(LandscapeRB->GetChecked());
    SizeCBClick(nullptr);
}

void TfrxPageSettingsForm::SizeCBClick(TObject*) {
    if (FUpdating) return;
    TRollback updating(FUpdating, true);
    TfrxCustomPrinter* printer = frxGetPrinters()->GetCurrentPrinter();
    const int code = printer->PaperNameToNumber(SizeCB->GetText());
    // A standard paper takes the printer's own size, so a half-typed box does not
    // matter there; for the custom size the typed values count, and a box without
    // a number keeps the page's.
    double width = Page->GetPaperWidth(), height = Page->GetPaperHeight();
    TryCentimetres(WidthE->GetText(), width);
    TryCentimetres(HeightE->GetText(), height);
    const TPrinterOrientation orientation = PortraitRB->GetChecked() ? poPortrait : poLandscape;
    // The typed width and height stay as typed for the custom size.
    printer->SetViewParams(code, orientation, width, height);
    WidthE->SetText(frxFloatToStr(printer->PaperWidth() / 10));
    HeightE->SetText(frxFloatToStr(printer->PaperHeight() / 10));
}

void TfrxPageSettingsForm::WidthEChange(TObject*) {
    if (FUpdating) return;
    SizeCB->SetItemIndex(0);
}

void TfrxPageSettingsForm::OKBClick(TObject*) {
    // Sound: every box is checked before anything is written, so a wrong entry is
    // said and can be mended instead of leaving the page half changed.
    for (TEdit* e : {WidthE, HeightE, MarginLeftE, MarginRightE, MarginTopE, MarginBottomE}) {
        double mm = 0;
        const bool size = e == WidthE || e == HeightE;
        if (TryCentimetres(e->GetText(), mm) && (size ? mm > 0 : mm >= 0)) continue;
        SetModalResult(mrNone);
        frxErrorMsg(size ? "Šířka a výška stránky musí být kladná čísla v centimetrech."
                         : "Okraje musí být čísla v centimetrech, nejméně 0.");
        if (e->CanFocus()) e->SetFocus();
        return;
    }
}

void TfrxPageSettingsForm::FormHide(TObject*) {
    if (GetModalResult() != mrOk) return;
    double values[6] = {};
    TEdit* const edits[6] = {WidthE, HeightE, MarginLeftE, MarginRightE, MarginTopE, MarginBottomE};
    for (int i = 0; i < 6; ++i)
        if (!TryCentimetres(edits[i]->GetText(), values[i])) return;  // refused by OK already
    TfrxCustomPrinter* printer = frxGetPrinters()->GetCurrentPrinter();
    Page->SetOrientation(PortraitRB->GetChecked() ? poPortrait : poLandscape);
    Page->SetPaperWidth(values[0]);
    Page->SetPaperHeight(values[1]);
    Page->SetPaperSize(printer->PaperNameToNumber(SizeCB->GetText()));
    Page->LeftMargin = values[2];
    Page->RightMargin = values[3];
    Page->TopMargin = values[4];
    Page->BottomMargin = values[5];
    Page->AlignChildren();
}
