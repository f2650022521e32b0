#include "app/UFSelProskrt.h"

#include "app/Glyphs.h"
#include "app/MainGrid.h"

KAROMIL_IMPLEMENT_CLASS(TFSelProskrt, TForm)

TFSelProskrt::TFSelProskrt(TComponent* owner) : TForm(owner) {
    TFormLoader l(this);
    SetName(UniqueFormName(owner, "FSelProskrt"));
    SetCaption("FSelProskrt");
    SetBounds(0, 0, 606, 520);
    SetColor(clBtnFace);
    SetPosition(poOwnerFormCenter);
    GetFont()->SetName("Arial");
    GetFont()->SetHeight(-15);

    Label1 = l.Add<TLabel>("Label1", this);
    Label1->SetLeft(24);
    Label1->SetTop(16);
    Label1->SetCaption("Vyberte text pro PROŠKRTNUTÍ předmětu");
    Label1->SetParentFont(false);
    Label1->GetFont()->SetName("Arial");
    Label1->GetFont()->SetHeight(-20);
    Label1->GetFont()->SetStyle(TFontStyles{fsBold});

    DBGrid1 = l.Add<TDBGrid>("DBGrid1", this);
    DBGrid1->SetBounds(24, 56, 260, 400);
    DBGrid1->SetOptions(BrowseGridOptions());
    DBGrid1->SetTabStop(true);
    TColumn* nazev = DBGrid1->AddColumn();
    nazev->SetFieldName("Nazev");
    nazev->Title()->Caption = "Název";
    nazev->SetWidth(194);
    nazev->GetFont()->SetName("Arial");
    nazev->GetFont()->SetHeight(-17);
    l.Reference(
        DBGrid1, "DM.DSPredmety", [this](TComponent* c) { DBGrid1->SetDataSource(static_cast<TDataSource*>(c)); });

    BitBtn1 = l.Add<TBitBtn>("BitBtn1", this);
    BitBtn1->SetBounds(320, 400, 160, 40);
    BitBtn1->SetCaption("Vložit");
    BitBtn1->SetDefault(true);
    BitBtn1->SetModalResult(mrOk);
    BitBtn1->SetTabStop(true);
    SetButtonGlyph(BitBtn1, TAppGlyph::Ok);
    l.Reference(this, "DBGrid1", [this](TComponent* c) { SetActiveControl(static_cast<TWinControl*>(c)); });

    l.Finish();
}
