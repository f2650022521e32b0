#include "app/UFMessageBox.h"

#include "app/Colors.h"
#include "app/Glyphs.h"
#include "platform/rtl/Strings.h"

KAROMIL_IMPLEMENT_CLASS(TFMessageBox, TForm)

TFMessageBox* FMessageBox = nullptr;

namespace {

void MessageFont(TFont* f) {
    f->SetName("Arial");
    f->SetHeight(-20);
    f->SetStyle(TFontStyles{fsBold});
    f->SetCharset(238);  // Central European
}

}  // namespace

TFMessageBox::TFMessageBox(TComponent* owner) : TForm(owner) {
    TFormLoader l(this);
    SetName(UniqueFormName(owner, "FMessageBox"));
    SetCaption("Zpráva");
    SetBorderStyle(bsDialog);
    SetBorderIcons(TBorderIcons{});
    SetClientWidth(692);
    SetClientHeight(178);
    SetColor(clMessageFrame);
    SetKeyPreview(true);
    SetPosition(poOwnerFormCenter);
    OnKeyDown = [this](TObject* s, WORD& key, TShiftState shift) { FormKeyDown(s, key, shift); };
    // The platform focuses a control only on a window that shows: the button takes the focus then.
    OnShow = [this](TObject*) {
        if (FocusOnShow) SetActiveControl(FocusOnShow);
    };

    Panel1 = l.Add<TPanel>("Panel1", this);
    Panel1->SetBounds(10, 10, 671, 159);
    Panel1->SetBevelOuter(bvNone);
    Panel1->SetColor(clMessagePanel);

    auto button = [&](const char* name, const char* caption, TModalResult result, int x, int y, TAppGlyph glyph) {
        TBitBtn* b = l.Add<TBitBtn>(name, Panel1);
        b->SetBounds(x, y, 150, 41);
        b->SetCaption(caption);
        b->SetModalResult(result);
        b->SetParentFont(false);
        MessageFont(b->GetFont());
        b->SetVisible(false);
        b->SetTabStop(true);
        SetButtonGlyph(b, glyph);
        return b;
    };
    OKButton = button("OKButton", " OK ", mrOk, 263, 107, TAppGlyph::Ok);
    OKButton->SetDefault(true);
    NoButton = button("NoButton", "  NE", mrNo, 60, 108, TAppGlyph::Cancel);
    YesButton = button("YesButton", " ANO", mrYes, 468, 105, TAppGlyph::Ok);
    YesButton->SetDefault(true);

    Msg = l.Add<TMemo>("Msg", this);
    Msg->SetBounds(20, 20, 651, 90);
    Msg->SetAlignment(taCenter);
    Msg->SetBorderStyle(bsNone);
    Msg->SetReadOnly(true);
    Msg->SetScrollBars(ssVertical);
    Msg->SetColor(clMessagePanel);
    Msg->SetParentFont(false);
    MessageFont(Msg->GetFont());
    Msg->GetFont()->SetColor(clBlack);
    Msg->SetTabStop(false);
    Msg->GetLines()->SetText("Text");

    l.Finish();
}

TFMessageBox::~TFMessageBox() {
    if (FMessageBox == this) FMessageBox = nullptr;
}

void TFMessageBox::SetColors(TColor formColor, TColor panelColor) {
    SetColor(formColor);
    Panel1->SetColor(panelColor);
    Msg->SetColor(panelColor);
}

void TFMessageBox::ShowOk(const std::string& caption, const std::string& text, TColor formColor, TColor panelColor) {
    OKButton->SetVisible(true);
    OKButton->SetDefault(true);
    Msg->GetLines()->SetText(text);
    SetColors(formColor, panelColor);
    SetCaption(caption);
    FocusOnShow = OKButton;
    ShowModal();
    OKButton->SetVisible(false);
    OKButton->SetDefault(false);
}

int TFMessageBox::ShowYesNo(const std::string& caption, const std::string& text, TColor formColor, TColor panelColor) {
    YesButton->SetVisible(true);
    NoButton->SetVisible(true);
    // "NE" is the safe answer: it is the default and holds the focus, so Enter never says yes.
    YesButton->SetDefault(false);
    NoButton->SetDefault(true);
    SetColors(formColor, panelColor);
    Msg->GetLines()->SetText(text);
    FocusOnShow = NoButton;
    SetCaption(caption);
    const int result = ShowModal();
    YesButton->SetVisible(false);
    NoButton->SetVisible(false);
    NoButton->SetDefault(false);
    return result;
}

void TFMessageBox::FormKeyDown(TObject*, WORD& key, TShiftState) {
    if (key == VK_ESCAPE) {
        SetModalResult(mrCancel);
        Close();
    }
}
