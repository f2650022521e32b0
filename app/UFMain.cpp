#include "app/UFMain.h"

#include <memory>

#include "app/Colors.h"
#include "app/Glyphs.h"
#include "app/UFDM.h"
#include "app/UFNastaveni.h"
#include "app/UFSplashLogo.h"
#include "app/UFTisk.h"
#include "app/UFVys.h"
#include "platform/gui/Application.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/Shell.h"
#include "platform/rtl/SysUtils.h"

KAROMIL_IMPLEMENT_CLASS(TFMain, TForm)

TFMain* FMain = nullptr;

TFMain::TFMain(TComponent* owner) : TForm(owner) {
    TFormLoader l(this);
    SetName(UniqueFormName(owner, "FMain"));
    SetCaption("Program pro tisk vysvědčení KAROMIL");
    SetBounds(0, 0, 1024, 600);
    SetColor(clAppWindow);
    GetFont()->SetName("Arial");
    GetFont()->SetHeight(-17);
    SetPosition(poScreenCenter);
    OnCreate = [this](TObject* s) { FormCreate(s); };

    Panel2 = l.Add<TPanel>("Panel2", this);
    Panel2->SetAlign(alTop);
    Panel2->SetHeight(95);
    Panel2->SetColor(clAppWindow);
    Panel2->SetBevelOuter(bvNone);

    ShockwaveFlash1 = l.Add<TBannerControl>("ShockwaveFlash1", Panel2);
    ShockwaveFlash1->SetBounds(8, 4, 601, 85);
    ShockwaveFlash1->SetCursor(crHandPoint);

    const struct {
        TDBText** text;
        const char* name;
        const char* field;
        int top;
    } texts[] = {
        {&DBText1, "DBText1", "SkolaNazev", 6},
        {&DBText3, "DBText3", "SkolaAdr1", 28},
        {&DBText2, "DBText2", "SkolaAdr2", 50},
        {&DBText4, "DBText4", "IZO", 72},
    };
    for (const auto& t : texts) {
        TDBText* d = l.Add<TDBText>(t.name, Panel2);
        d->SetAutoSize(false);
        d->SetBounds(628, t.top, 388, 21);
        d->SetTransparent(true);
        d->SetDataField(t.field);
        l.Reference(d, "DM.DSPrefs", [d](TComponent* c) { d->SetDataSource(static_cast<TDataSource*>(c)); });
        *t.text = d;
    }

    Panel3 = l.Add<TPanel>("Panel3", this);
    Panel3->SetAlign(alTop);
    Panel3->SetHeight(60);
    Panel3->SetColor(clAppWindow);
    Panel3->SetBevelOuter(bvNone);

    int x = 8;
    auto button = [&](TBitBtn** slot, const char* name, const char* caption, const char* hint, int width,
                      TAppGlyph glyph, void (TFMain::*handler)(TObject*)) {
        TBitBtn* b = l.Add<TBitBtn>(name, Panel3);
        b->SetBounds(x, 8, width, 44);
        x += width + 6;
        b->SetCaption(caption);
        b->SetHint(hint);
        b->SetShowHint(true);
        b->SetParentFont(false);
        b->GetFont()->SetName("Arial");
        b->GetFont()->SetHeight(-17);
        b->GetFont()->SetStyle(TFontStyles{fsBold});
        b->SetTabStop(true);
        SetButtonGlyph(b, glyph);
        b->OnClick = [this, handler](TObject* s) { (this->*handler)(s); };
        *slot = b;
    };
    using G = TAppGlyph;
    button(&bNew, "bNew", "Nové", "Vložení nového záznamu", 100, G::New, &TFMain::bNewClick);
    button(&bEdit, "bEdit", "Oprava", "Oprava vybraného záznamu", 110, G::Edit, &TFMain::bEditClick);
    button(&bCopy, "bCopy", "Kopie", "Kopie vybraného záznamu", 100, G::Copy, &TFMain::bCopyClick);
    button(&bDelete, "bDelete", "Smazat", "Odstranění vybraného záznamu", 110, G::Delete, &TFMain::bDeleteClick);
    button(&bTisk, "bTisk", "Tisk", "Tisk vybraného záznamu", 90, G::Print, &TFMain::bTiskClick);
    button(&bNastaveni, "bNastaveni", "Nastavení", "Nastavení a definice programu", 130, G::Settings,
        &TFMain::bNastaveniClick);
    button(&bHelp, "bHelp", "", "Nápověda", 50, G::Help, &TFMain::bHelpClick);
    button(&bInfo, "bInfo", "Info", "O programu", 90, G::About, &TFMain::bInfoClick);
    x = GetClientWidth() - 8 - 110;  // "Konec" stands apart at the right end
    button(&BitBtn2, "BitBtn2", "Konec", "Ukončení programu", 110, G::Exit, &TFMain::bExitClick);

    dxDBGrid1 = l.Add<TMainGrid>("dxDBGrid1", this);
    dxDBGrid1->SetAlign(alClient);
    dxDBGrid1->KeyField = "ID";
    dxDBGrid1->SetParentFont(false);
    dxDBGrid1->GetFont()->SetName("MS Sans Serif");
    dxDBGrid1->GetFont()->SetHeight(-17);
    l.Reference(
        dxDBGrid1, "DM.DSVys", [this](TComponent* c) { dxDBGrid1->SetDataSource(static_cast<TDataSource*>(c)); });
    // The stored widths of "Školní rok" (90) and "Ročník" (38) fit the narrow Windows font;
    // the metric-compatible font here needs a little more, taken from "Třída" and "Jméno".
    dxDBGrid1->AddMaskColumn("SkolniRok", "Školní rok", 100);
    dxDBGrid1->AddMaskColumn("Trida", "Třída", 105);
    dxDBGrid1->AddMaskColumn("Rocnik", "Ročník", 62);
    dxDBGrid1->AddMaskColumn("Jmeno", "Jméno", 270);
    dxDBGrid1->AddMaskColumn("Ucitel", "Učitel", 86);
    dxDBGrid1->AddMemoColumn("VzdelProgram", "Vzdělávací program", 359, "Arial", -17);
    dxDBGrid1->OnDblClick = [this](TObject* s) { dxDBGrid1DblClick(s); };

    l.Finish();
}

TFMain::~TFMain() {
    if (FMain == this) FMain = nullptr;
}

// The movie control cannot run here: the banner shows a picture beside the program or nothing.
// It never asks whether the machine is online and never loads anything from the network.
void TFMain::FormCreate(TObject*) {
    ShockwaveFlash1->SetMovie(ProgramDir() + "banner1.swf");
    ShockwaveFlash1->LoadLocalPicture(ProgramDir());
}

void TFMain::bNewClick(TObject*) {
    std::unique_ptr<TFVys> editor = MakeDialog<TFVys>(this);
    DM->QVys->Insert();
    DM->QVys->FieldByName("ReportFront")->SetAsString(DM->QPrefs->FieldByName("DefaultReportFront")->GetAsString());
    DM->QVys->FieldByName("ReportBack")->SetAsString(DM->QPrefs->FieldByName("DefaultReportBack")->GetAsString());
    // The duplicate's templates too: the school's defaults for them would otherwise never reach a card.
    DM->QVys->FieldByName("ReportOpisFront")
        ->SetAsString(DM->QPrefs->FieldByName("DefaultReportOpisFront")->GetAsString());
    DM->QVys->FieldByName("ReportOpisBack")
        ->SetAsString(DM->QPrefs->FieldByName("DefaultReportOpisBack")->GetAsString());
    editor->ShowModal();
}

void TFMain::bEditClick(TObject*) {
    if (DM->QVys->IsEmpty()) return;
    std::unique_ptr<TFVys> editor = MakeDialog<TFVys>(this);
    DM->QVys->Edit();
    editor->ShowModal();
}

void TFMain::dxDBGrid1DblClick(TObject* sender) { bEditClick(sender); }

void TFMain::bCopyClick(TObject*) {
    if (DM->QVys->IsEmpty()) return;
    CopyVysRecord();
    DM->QVys->Close();
    DM->QVys->Open();
}

// Copies the current card field by field (both tables list the same columns in the same order).
// The record key is numbered by the database, so fields that cannot be written are left out on
// purpose; any other failure abandons the copy and says so, instead of saving a partial copy.
void TFMain::CopyVysRecord() {
    TKDaoTable* src = DM->QVys;
    TKDaoTable* dst = DM->QTemp;
    dst->Open();
    try {
        dst->Insert();
        for (int i = 0; i < src->FieldCount(); ++i) {
            TField* to = dst->Fields()->Fields(i);
            if (to->DataType() == ftAutoInc || to->ReadOnly() || !to->CanModify()) continue;
            to->SetAsVariant(src->Fields()->Fields(i)->GetAsVariant());
        }
        dst->Post();
    } catch (const Exception&) {
        try {
            dst->Cancel();
        } catch (const Exception&) {}
        Application->MessageBox("Kopírovaný záznam se nepodařilo uložit!", "Chyba ?", MB_ICONSTOP | MB_DEFBUTTON2);
    }
    dst->Close();
}

void TFMain::bDeleteClick(TObject*) {
    if (DM->QVys->IsEmpty()) return;
    const std::string name = DM->QVys->FieldByName("Jmeno")->GetAsString();
    if (DM->MessageYesNo("", "Přejete si opravdu smazat vysvědčení " + name + "?", clRed, clYellow) == mrYes)
        DM->QVys->Delete();
    DM->QVys->Close();
    DM->QVys->Open();
}

// The print window is made for the current card and freed when it closes.
void TFMain::bTiskClick(TObject*) {
    if (DM->QVys->IsEmpty()) return;
    std::unique_ptr<TFTisk> print = MakeDialog<TFTisk>(this);
    print->ShowModal();
}

void TFMain::bNastaveniClick(TObject*) {
    std::unique_ptr<TFNastaveni> settings = MakeDialog<TFNastaveni>(this);
    DM->QPrefs->Edit();
    settings->ShowModal();
}

// The help page lives with the user's data, or beside the program; never relative to whatever
// folder a file dialog last left the process in.
std::string TFMain::HelpFile() {
    const std::string name = "karomil.htm";
    if (DM) {
        const std::string inData = DM->DataFolder() + name;
        if (FileExists(inData)) return inData;
    }
    return ProgramDir() + name;
}

// A missing page or no program to show it is said to the user, not only on the terminal.
void TFMain::bHelpClick(TObject*) {
    const std::string file = HelpFile();
    if (!FileExists(file)) {
        DM->MessageOk("Nápověda",
            "Soubor nápovědy „karomil.htm“ chybí.\nHledán ve složce dat i ve složce programu:\n" + file, clRed,
            clYellow);
        return;
    }
    if (ShellExecute(nullptr, "open", file, "", "", 1) <= 32)
        DM->MessageOk("Nápověda",
            "Nápovědu „karomil.htm“ se nepodařilo otevřít: v systému chybí program pro zobrazení stránek "
            "HTML.\n" +
                file,
            clRed, clYellow);
}

void TFMain::bInfoClick(TObject*) {
    std::unique_ptr<TFSplashLogo> about = MakeDialog<TFSplashLogo>(this);
    about->ShowModal();
}

void TFMain::bExitClick(TObject*) { Close(); }
