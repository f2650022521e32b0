#include "app/UFSplashLogo.h"

#include "app/Colors.h"
#include "platform/rtl/SysUtils.h"

KAROMIL_IMPLEMENT_CLASS(TFSplashLogo, TForm)

TFSplashLogo::TFSplashLogo(TComponent* owner) : TForm(owner) {
    TFormLoader l(this);
    SetName(UniqueFormName(owner, "FSplashLogo"));
    SetCaption("Karomil 1.4.2101");
    SetBorderStyle(bsSingle);
    SetBorderIcons(TBorderIcons{});
    SetClientWidth(305);
    SetClientHeight(337);
    SetColor(clSplashWindow);
    SetPosition(poScreenCenter);
    GetFont()->SetName("Arial");
    GetFont()->SetHeight(-14);
    const auto click = [this](TObject* s) { FormClick(s); };
    OnClick = click;
    OnPaint = [this](TObject*) { ++FPaints; };

    Image1 = l.Add<TBannerControl>("Image1", this);
    Image1->SetBounds(100, 20, 100, 123);
    Image1->OnClick = click;
    // The school's own logo, when one lies beside the program.
    Image1->LoadLocalPicture(ProgramDir(), {"logo.bmp", "logo.jpg"});

    Label3 = l.Add<TLabel>("Label3", this);
    Label3->SetLeft(77);
    Label3->SetTop(164);
    Label3->SetCaption("Karomil");
    Label3->SetTransparent(true);
    Label3->SetParentFont(false);
    Label3->GetFont()->SetName("Arial Black");
    Label3->GetFont()->SetHeight(-28);
    Label3->GetFont()->SetStyle(TFontStyles{fsBold});
    Label3->GetFont()->SetColor(clBlack);
    Label3->OnClick = click;

    Label1 = l.Add<TLabel>("Label1", this);
    Label1->SetLeft(59);
    Label1->SetTop(215);
    Label1->SetAlignment(taCenter);
    Label1->SetCaption("PROGRAM PRO TVORBU\nA TISK VYSVĚDČENÍ");
    Label1->SetTransparent(true);
    Label1->SetParentFont(false);
    Label1->GetFont()->SetName("Arial");
    Label1->GetFont()->SetHeight(-15);
    Label1->OnClick = click;

    l.Finish();
}

void TFSplashLogo::FormClick(TObject*) { Close(); }
