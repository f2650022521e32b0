#include "app/UFNastaveni.h"

#include "app/Colors.h"
#include "app/Glyphs.h"
#include "app/MainGrid.h"
#include "app/UFDM.h"
#include "platform/rtl/Strings.h"

KAROMIL_IMPLEMENT_CLASS(TFNastaveni, TForm)
KAROMIL_IMPLEMENT_CLASS(TFPredmet, TForm)

TFPredmet* FPredmet = nullptr;

namespace {

bool Editing(TDataSet* d) { return d->State() == dsEdit || d->State() == dsInsert; }

TBitBtn* AddButton(
    TFormLoader& l, TWinControl* parent, const char* name, const char* caption, int x, int y, int w, TAppGlyph glyph) {
    TBitBtn* b = l.Add<TBitBtn>(name, parent);
    b->SetBounds(x, y, w, 36);
    b->SetCaption(caption);
    b->SetTabStop(true);
    SetButtonGlyph(b, glyph);
    return b;
}

}  // namespace

// --- settings -------------------------------------------------------------------------------

TFNastaveni::TFNastaveni(TComponent* owner) : TForm(owner) {
    TFormLoader l(this);
    SetName(UniqueFormName(owner, "FNastaveni"));
    SetCaption("Nastavení");
    SetBorderStyle(bsSizeable);
    SetBounds(0, 0, 742, 588);
    SetColor(clAppWindow);
    SetPosition(poMainFormCenter);
    GetFont()->SetName("Arial");
    GetFont()->SetHeight(-15);
    OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };

    auto label = [&](TLabel** slot, const char* name, const char* caption, int x, int y) {
        TLabel* t = l.Add<TLabel>(name, this);
        t->SetLeft(x);
        t->SetTop(y);
        t->SetCaption(caption);
        t->SetTransparent(true);
        *slot = t;
    };
    auto edit = [&](TDBEdit** slot, const char* name, const char* field, int y) {
        TDBEdit* e = l.Add<TDBEdit>(name, this);
        e->SetBounds(16, y, 700, 24);
        e->SetDataField(field);
        e->SetTabStop(true);
        l.Reference(e, "DM.DSPrefs", [e](TComponent* c) { e->SetDataSource(static_cast<TDataSource*>(c)); });
        *slot = e;
    };
    label(&Label1, "Label1", "Název škola", 16, 12);
    edit(&DBEdit1, "DBEdit1", "SkolaNazev", 32);
    label(&Label2, "Label2", "Adresa školy", 16, 66);
    edit(&DBEdit2, "DBEdit2", "SkolaAdr1", 86);
    edit(&DBEdit3, "DBEdit3", "SkolaAdr2", 116);
    label(&Label3, "Label3", "IZO", 16, 150);
    edit(&DBEdit4, "DBEdit4", "IZO", 170);
    DBEdit4->SetWidth(250);

    label(&Label4, "Label4", "Předměty", 16, 208);
    DBGrid1 = l.Add<TDBGrid>("DBGrid1", this);
    DBGrid1->SetBounds(16, 228, 300, 300);
    DBGrid1->SetOptions(BrowseGridOptions());
    DBGrid1->SetTabStop(true);
    TColumn* nazev = DBGrid1->AddColumn();
    nazev->SetFieldName("Nazev");
    nazev->Title()->Caption = "Název";
    nazev->SetWidth(255);
    DBGrid1->OnDblClick = [this](TObject* s) { DBGrid1DblClick(s); };
    l.Reference(
        DBGrid1, "DM.DSPredmety", [this](TComponent* c) { DBGrid1->SetDataSource(static_cast<TDataSource*>(c)); });

    bNew = AddButton(l, this, "bNew", "Nový předmět", 336, 228, 180, TAppGlyph::New);
    bNew->SetHint("Vložení nového záznamu");
    bNew->OnClick = [this](TObject* s) { bNewClick(s); };
    bEdit = AddButton(l, this, "bEdit", "Opravit předmět", 336, 272, 180, TAppGlyph::Edit);
    bEdit->SetHint("Oprava vybraného záznamu");
    bEdit->OnClick = [this](TObject* s) { bEditClick(s); };
    BitBtn9 = AddButton(l, this, "BitBtn9", "Smazat předmět", 336, 316, 180, TAppGlyph::Delete);
    BitBtn9->SetHint("Odstranění vybraného záznamu");
    BitBtn9->OnClick = [this](TObject* s) { BitBtn9Click(s); };
    for (TBitBtn* b : {bNew, bEdit, BitBtn9}) b->SetShowHint(true);

    BitBtn2 = AddButton(l, this, "BitBtn2", "OK", 456, 500, 120, TAppGlyph::Ok);
    BitBtn2->SetDefault(true);
    BitBtn2->OnClick = [this](TObject* s) { BitBtn2Click(s); };
    BitBtn1 = AddButton(l, this, "BitBtn1", "Storno ", 592, 500, 120, TAppGlyph::Cancel);
    BitBtn1->SetModalResult(mrCancel);
    BitBtn1->OnClick = [this](TObject* s) { BitBtn1Click(s); };

    l.Finish();
}

void TFNastaveni::BitBtn2Click(TObject*) {
    DM->QPrefs->Post();
    Close();
}

void TFNastaveni::BitBtn1Click(TObject*) { DM->QPrefs->Cancel(); }

void TFNastaveni::bNewClick(TObject*) {
    DM->QPredmety->Insert();
    FPredmet->ShowModal();
}

void TFNastaveni::bEditClick(TObject*) {
    DM->QPredmety->Edit();
    FPredmet->ShowModal();
}

void TFNastaveni::DBGrid1DblClick(TObject* sender) { bEditClick(sender); }

void TFNastaveni::BitBtn9Click(TObject*) { DM->QPredmety->Delete(); }

// Closing by the title bar counts as Storno: an abandoned edit must not be saved later by
// whatever operation happens to touch the table next.
void TFNastaveni::FormClose(TObject*, TCloseAction&) {
    if (Editing(DM->QPrefs)) DM->QPrefs->Cancel();
}

// --- one subject ----------------------------------------------------------------------------

TFPredmet::TFPredmet(TComponent* owner) : TForm(owner) {
    TFormLoader l(this);
    SetName(UniqueFormName(owner, "FPredmet"));
    SetCaption("Předmět");
    SetBorderStyle(bsDialog);
    SetClientWidth(506);
    SetClientHeight(169);
    SetColor(clSubjectWindow);
    SetPosition(poOwnerFormCenter);
    GetFont()->SetName("Arial");
    GetFont()->SetHeight(-15);
    OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };

    Label1 = l.Add<TLabel>("Label1", this);
    Label1->SetLeft(24);
    Label1->SetTop(20);
    Label1->SetCaption("Název předmětu");
    Label1->SetTransparent(true);
    DBEdit1 = l.Add<TDBEdit>("DBEdit1", this);
    DBEdit1->SetBounds(24, 42, 458, 24);
    DBEdit1->SetDataField("Nazev");
    DBEdit1->SetTabStop(true);
    l.Reference(
        DBEdit1, "DM.DSPredmety", [this](TComponent* c) { DBEdit1->SetDataSource(static_cast<TDataSource*>(c)); });

    BitBtn2 = AddButton(l, this, "BitBtn2", "OK", 226, 110, 120, TAppGlyph::Ok);
    BitBtn2->SetDefault(true);
    BitBtn2->OnClick = [this](TObject* s) { BitBtn2Click(s); };
    BitBtn1 = AddButton(l, this, "BitBtn1", "Storno", 362, 110, 120, TAppGlyph::Cancel);
    BitBtn1->SetModalResult(mrCancel);
    BitBtn1->OnClick = [this](TObject* s) { BitBtn1Click(s); };
    l.Reference(this, "DBEdit1", [this](TComponent* c) { SetActiveControl(static_cast<TWinControl*>(c)); });

    l.Finish();
}

TFPredmet::~TFPredmet() {
    if (FPredmet == this) FPredmet = nullptr;
}

// An empty name would be stored and then offered in every subject combo as a blank line: it
// is refused here, with the focus back in the edit.
void TFPredmet::BitBtn2Click(TObject*) {
    DM->QPredmety->UpdateRecord();
    if (Trim(DM->QPredmety->FieldByName("Nazev")->GetAsString()).empty()) {
        DM->MessageOk("Upozornění", "Musíte vyplnit název předmětu", clRed, clYellow);
        DBEdit1->SetFocus();
        return;
    }
    DM->QPredmety->Post();
    Close();
}

void TFPredmet::BitBtn1Click(TObject*) { DM->QPredmety->Cancel(); }

// As in the settings window: a title-bar close is Storno.
void TFPredmet::FormClose(TObject*, TCloseAction&) {
    if (Editing(DM->QPredmety)) DM->QPredmety->Cancel();
}
