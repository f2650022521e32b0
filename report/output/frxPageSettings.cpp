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
#include "report/output/frxFormBuilder.h"

KAROMIL_IMPLEMENT_CLASS(TfrxPageSettingsForm, TForm)

namespace {
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
    TFormLoader loader(this);
    SetName("frxPageSettingsForm");
    SetCaption("Page Settings");
    SetBorderStyle(bsDialog);
    TForm::SetPosition(poScreenCenter);
    SetClientWidth(286);
    SetClientHeight(359);
    GetFont()->SetName("Tahoma");
    GetFont()->SetHeight(-11);

    using F = TfrxPageSettingsForm;
    constexpr TfrxField<F> form;
    constexpr auto size = frxField<&F::SizeL>, orientation = frxField<&F::OrientationL>,
                   margins = frxField<&F::MarginsL>, other = frxField<&F::OtherL>;
    const TfrxControlRow<F> rows[] = {
        {size, "SizeL", form, {8, 4, 270, 105}, "Size"},
        {frxField<&F::WidthL>, "WidthL", size, {12, 22, 40, 13}, "Width"},
        {frxField<&F::WidthE>, "WidthE", size, {80, 18, 73, 21}},
        {frxField<&F::cmL1>, "cmL1", size, {160, 22, 40, 13}, "cm"},
        {frxField<&F::HeightL>, "HeightL", size, {12, 48, 40, 13}, "Height"},
        {frxField<&F::HeightE>, "HeightE", size, {80, 44, 73, 21}},
        {frxField<&F::cmL2>, "cmL2", size, {160, 48, 40, 13}, "cm"},
        {frxField<&F::SizeCB>, "SizeCB", size, {12, 74, 246, 21}, nullptr, &F::SizeCBClick},

        {orientation, "OrientationL", form, {8, 112, 270, 69}, "Orientation"},
        {frxField<&F::PortraitImg>, "PortraitImg", orientation, {12, 20, 40, 40}},
        {frxField<&F::LandscapeImg>, "LandscapeImg", orientation, {12, 20, 40, 40}},
        {frxField<&F::PortraitRB>, "PortraitRB", orientation, {72, 20, 180, 17}, "Portrait", &F::PortraitRBClick},
        {frxField<&F::LandscapeRB>, "LandscapeRB", orientation, {72, 42, 180, 17}, "Landscape", &F::PortraitRBClick},

        {margins, "MarginsL", form, {8, 184, 270, 77}, "Margins"},
        {frxField<&F::LeftL>, "LeftL", margins, {12, 24, 40, 13}, "Left"},
        {frxField<&F::MarginLeftE>, "MarginLeftE", margins, {64, 20, 45, 21}},
        {frxField<&F::cmL3>, "cmL3", margins, {114, 24, 40, 13}, "cm"},
        {frxField<&F::TopL>, "TopL", margins, {12, 50, 40, 13}, "Top"},
        {frxField<&F::MarginTopE>, "MarginTopE", margins, {64, 46, 45, 21}},
        {frxField<&F::cmL4>, "cmL4", margins, {114, 50, 40, 13}, "cm"},
        {frxField<&F::RightL>, "RightL", margins, {140, 24, 40, 13}, "Right"},
        {frxField<&F::MarginRightE>, "MarginRightE", margins, {192, 20, 45, 21}},
        {frxField<&F::cmL5>, "cmL5", margins, {242, 24, 40, 13}, "cm"},
        {frxField<&F::BottomL>, "BottomL", margins, {140, 50, 40, 13}, "Bottom"},
        {frxField<&F::MarginBottomE>, "MarginBottomE", margins, {192, 46, 45, 21}},
        {frxField<&F::cmL6>, "cmL6", margins, {242, 50, 40, 13}, "cm"},

        {other, "OtherL", form, {8, 264, 270, 57}, "Other"},
        {frxField<&F::ApplyToCurRB>, "ApplyToCurRB", other, {12, 16, 250, 17}, "Apply to the current page"},
        {frxField<&F::ApplyToAllRB>, "ApplyToAllRB", other, {12, 34, 250, 17}, "Apply to all pages"},

        {frxField<&F::OKB>, "OKB", form, {122, 328, 75, 25}, "OK", &F::OKBClick},
        {frxField<&F::CancelB>, "CancelB", form, {203, 328, 75, 25}, "Cancel"},
    };
    frxBuildRows(loader, *this, rows);

    for (TEdit* e : {WidthE, HeightE}) e->OnChange = [this](TObject* s) { WidthEChange(s); };
    SizeCB->SetStyle(csDropDownList);
    SizeCB->SetDropDownCount(12);
    DrawSheet(PortraitImg->GetPicture()->Bitmap(), false);
    DrawSheet(LandscapeImg->GetPicture()->Bitmap(), true);
    PortraitRB->SetChecked(true);
    ApplyToCurRB->SetChecked(true);
    OKB->SetDefault(true);
    OKB->SetModalResult(mrOk);
    CancelB->SetCancel(true);
    CancelB->SetModalResult(mrCancel);
    OnShow = [this](TObject* s) { FormShow(s); };
    OnHide = [this](TObject* s) { FormHide(s); };
    loader.Finish();

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
