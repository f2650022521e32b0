#include "app/UFTisk.h"

#include <algorithm>

#include "app/Colors.h"
#include "app/Glyphs.h"
#include "app/UFDM.h"
#include "report/core/frxOptions.h"
#include "report/core/frxReport.h"
#include "report/core/frxWindowPlugins.h"
#include "report/designer/frxDesignerOptions.h"
#include "report/output/frxDialogControls.h"
#include "report/output/frxExportPDF.h"
#include "report/output/frxExportXLS.h"
#include "platform/db/Fields.h"
#include "platform/rtl/Strings.h"
#include "platform/rtl/SysUtils.h"

KAROMIL_IMPLEMENT_CLASS(TFTisk, TForm)

namespace {

const TColor clPrintWindow = TColor(12186038);

TBitBtn* AddButton(TFormLoader& l, TWinControl* parent, const char* name, const char* caption, const char* hint, int x,
    int y, int w, TAppGlyph glyph) {
    TBitBtn* b = l.Add<TBitBtn>(name, parent);
    b->SetBounds(x, y, w, 32);
    b->SetCaption(caption);
    b->SetHint(hint);
    b->SetShowHint(true);
    b->SetTabStop(true);
    SetButtonGlyph(b, glyph);
    return b;
}

}  // namespace

TFTisk::TFTisk(TComponent* owner) : TForm(owner) {
    TFormLoader l(this);
    SetName(UniqueFormName(owner, "FTisk"));
    SetCaption("Tisk");
    SetBorderStyle(bsSizeable);
    SetBounds(0, 0, 989, 681);
    SetColor(clPrintWindow);
    SetPosition(poOwnerFormCenter);
    GetFont()->SetName("MS Sans Serif");
    GetFont()->SetHeight(-14);
    OnCreate = [this](TObject* s) { FormCreate(s); };

    // One template line: its label, its edit and its four buttons under it.
    struct TLine {
        TLabel** Label;
        const char* LabelName;
        const char* LabelCaption;
        TEdit** Edit;
        const char* EditName;
        TBitBtn** Print;
        const char* PrintName;
        const char* PrintCaption;
        TBitBtn** Preview;
        const char* PreviewName;
        TBitBtn** Design;
        const char* DesignName;
        const char* DesignHint;
        TBitBtn** Choose;
        const char* ChooseName;
    };
    auto line = [&](TGroupBox* group, int top, const TLine& d) {
        TLabel* label = l.Add<TLabel>(d.LabelName, group);
        label->SetLeft(16);
        label->SetTop(top);
        label->SetCaption(d.LabelCaption);
        label->SetTransparent(true);
        *d.Label = label;
        TEdit* edit = l.Add<TEdit>(d.EditName, group);
        edit->SetBounds(16, top + 20, 921, 24);
        edit->SetTabStop(true);
        *d.Edit = edit;
        const int y = top + 52;
        *d.Print = AddButton(l, group, d.PrintName, d.PrintCaption, "Tisk", 16, y, 220, TAppGlyph::Print);
        *d.Preview = AddButton(
            l, group, d.PreviewName, "Ukázka před tiskem", "Náhled", 250, y, 220, TAppGlyph::Preview);
        *d.Design = AddButton(l, group, d.DesignName, "Upravit formulář", d.DesignHint, 484, y, 220, TAppGlyph::Edit);
        *d.Choose = AddButton(
            l, group, d.ChooseName, "Vybrat formulář", "Výběr formuláře pro tisk", 718, y, 219, TAppGlyph::Open);
    };

    GroupBox1 = l.Add<TGroupBox>("GroupBox1", this);
    GroupBox1->SetBounds(8, 8, 957, 250);
    GroupBox1->SetCaption("Přední strana");
    line(GroupBox1, 24,
        {&Label1, "Label1", "Tiskový formulář pro tisk VYSVĚDČENÍ", &FormularFront, "FormularFront", &bPrint, "bPrint",
            "Tisk vysvědčení", &bPreview, "bPreview", &bModify, "bModify", "Úprava tiskového formulář", &bLoad,
            "bLoad"});
    line(GroupBox1, 136,
        {&Label2, "Label2", "Tiskový formulář pro tisk OPISu", &FormularOpisFront, "FormularOpisFront", &BitBtn2,
            "BitBtn2", "Tisk OPISu", &BitBtn7, "BitBtn7", &BitBtn8, "BitBtn8", "Úprava tiskového formuláře", &BitBtn9,
            "BitBtn9"});

    GroupBox2 = l.Add<TGroupBox>("GroupBox2", this);
    GroupBox2->SetBounds(8, 266, 957, 250);
    GroupBox2->SetCaption("Zadní strana");
    line(GroupBox2, 24,
        {&Label3, "Label3", "Tiskový formulář pro tisk VYSVĚDČENÍ", &FormularBack, "FormularBack", &BitBtn5, "BitBtn5",
            "Tisk vysvědčení", &BitBtn6, "BitBtn6", &BitBtn1, "BitBtn1", "Úprava tiskového formulář", &BitBtn4,
            "BitBtn4"});
    line(GroupBox2, 136,
        {&Label4, "Label4", "Tiskový formulář pro tisk OPISu", &FormularOPISBack, "FormularOPISBack", &BitBtn3,
            "BitBtn3", "Tisk OPISu", &BitBtn10, "BitBtn10", &BitBtn11, "BitBtn11", "Úprava tiskového formulář",
            &BitBtn12, "BitBtn12"});

    struct TCommands {
        TEdit* Edit;
        TBitBtn *Print, *Preview, *Design, *Choose;
    };
    for (const TCommands& c : {TCommands{FormularFront, bPrint, bPreview, bModify, bLoad},
             TCommands{FormularOpisFront, BitBtn2, BitBtn7, BitBtn8, BitBtn9},
             TCommands{FormularBack, BitBtn5, BitBtn6, BitBtn1, BitBtn4},
             TCommands{FormularOPISBack, BitBtn3, BitBtn10, BitBtn11, BitBtn12}}) {
        TEdit* edit = c.Edit;
        c.Print->OnClick = [this, edit](TObject*) { PrintTemplate(edit); };
        c.Preview->OnClick = [this, edit](TObject*) { PreviewTemplate(edit); };
        c.Design->OnClick = [this, edit](TObject*) { DesignTemplate(edit); };
        c.Choose->OnClick = [this, edit](TObject*) { ChooseTemplate(edit); };
    }

    bbTiskVysv2 = AddButton(
        l, this, "bbTiskVysv2", "Tisk vysv. 2 strany", "Tisk obou stran najednou", 16, 536, 240, TAppGlyph::Print);
    bbTiskVysv2->OnClick = [this](TObject*) {
        PrintTemplate(FormularFront);
        PrintTemplate(FormularBack);
    };
    bbTiskOpis2 = AddButton(
        l, this, "bbTiskOpis2", "Tisk opisu 2 strany", "Tisk obou stran najednou", 272, 536, 240, TAppGlyph::Print);
    bbTiskOpis2->OnClick = [this](TObject*) {
        PrintTemplate(FormularOpisFront);
        PrintTemplate(FormularOPISBack);
    };
    bStorno = AddButton(l, this, "bStorno", " Zavřít okno     ", "Zavře toto okno", 733, 590, 224, TAppGlyph::Cancel);
    bStorno->SetDefault(true);
    bStorno->SetModalResult(mrCancel);

    frxReport1 = l.Add<TfrxReport>("frxReport1", this);
    frxReport1->DotMatrixReport = false;
    frxReport1->IniFile = "\\Software\\Karomil Reports";
    frxReport1->GetPreviewOptions()->Buttons = TfrxPreviewButtons{
        pbPrint, pbLoad, pbSave, pbExport, pbZoom, pbFind, pbOutline, pbPageSetup, pbTools, pbEdit, pbNavigator};
    frxReport1->GetPreviewOptions()->Zoom = 1;
    frxReport1->GetPrintOptions()->Printer = "Předvolená";
    frxReport1->ScriptLanguage = "PascalScript";

    // The two exports are offered by the preview while this window exists.
    frxPDFExport1 = l.Add<TfrxPDFExport>("frxPDFExport1", this);
    frxPDFExport1->PrintOptimized = false;
    frxPDFExport1->Outline = false;
    frxXLSExport1 = l.Add<TfrxXLSExport>("frxXLSExport1", this);
    frxXLSExport1->ShowProgress = true;
    frxXLSExport1->AsText = false;
    frxXLSExport1->Background = true;
    frxDialogControls1 = l.Add<TfrxDialogControls>("frxDialogControls1", this);
    // No restrictions: "Upravit formulář" may open, change and save the template.
    frxDesigner1 = l.Add<TfrxDesigner>("frxDesigner1", this);

    OpenDialog1 = l.Add<TOpenDialog>("OpenDialog1", this);
    OpenDialog1->SetDefaultExt("*.fr3");
    OpenDialog1->SetFileName("*.fr3");
    OpenDialog1->SetFilter("*.fr3");
    OpenDialog1->SetInitialDir(".");
    OpenDialog1->SetOptions(TOpenOptions{ofHideReadOnly, ofNoChangeDir, ofEnableSizing});
    OpenDialog1->SetTitle("Výběr formuláře pro tisk vysvědčení");

    l.Finish();
}

// Sound: on a screen narrower than the window (800 x 600) the two groups, their lines and the
// close button narrow to the client width; the window used to open with a horizontal scroll
// bar, scrolled so far that the groups' captions lost their first letters. From the designed
// width up the layout is the designed one; below a width that no longer holds the buttons'
// captions the scroll bar takes over.
void TFTisk::Resize() {
    TForm::Resize();
    if (!bStorno) return;  // still being built
    constexpr int kDesignedGroupWidth = 957, kNarrowestGroupWidth = 640;
    const int groupWidth = std::clamp(GetClientWidth() - 24, kNarrowestGroupWidth, kDesignedGroupWidth);
    const int scrolled = GetHorzScrollBar()->ScrollPos();  // children stand moved by the bar
    for (TGroupBox* group : {GroupBox1, GroupBox2})
        group->SetBounds(8 - scrolled, group->GetTop(), groupWidth, group->GetHeight());
    // Each line: its edit across the group, the four buttons under it side by side.
    constexpr int kGap = 14;
    const int inner = groupWidth - 36;
    const int button = (inner - 3 * kGap + 3) / 4;
    const struct {
        TEdit* Edit;
        TBitBtn* Buttons[4];
    } lines[] = {{FormularFront, {bPrint, bPreview, bModify, bLoad}},
        {FormularOpisFront, {BitBtn2, BitBtn7, BitBtn8, BitBtn9}}, {FormularBack, {BitBtn5, BitBtn6, BitBtn1, BitBtn4}},
        {FormularOPISBack, {BitBtn3, BitBtn10, BitBtn11, BitBtn12}}};
    for (const auto& line : lines) {
        line.Edit->SetWidth(inner);
        for (int i = 0; i < 4; ++i) {
            const int left = 16 + i * (button + kGap);
            line.Buttons[i]->SetBounds(
                left, line.Buttons[i]->GetTop(), i < 3 ? button : 16 + inner - left, line.Buttons[i]->GetHeight());
        }
    }
    bStorno->SetLeft(groupWidth - bStorno->GetWidth() - scrolled);
}

// The school's data is read afresh; the lines show the card's own templates.
void TFTisk::FormCreate(TObject*) {
    DM->QPrefs->Close();
    DM->QPrefs->Open();
    auto field = [](const char* name) {
        TField* f = DM->QVys->FindField(name);
        return f ? f->GetAsString() : std::string();
    };
    FormularFront->SetText(field("ReportFront"));
    FormularBack->SetText(field("ReportBack"));
    FormularOpisFront->SetText(field("ReportOpisFront"));
    FormularOPISBack->SetText(field("ReportOpisBack"));
}

std::string TFTisk::TemplatePath(const std::string& text) {
    const std::string path = Trim(text);
    if (path.empty() || path[0] == '/') return path;
    if (DM) {
        const std::string inData = DM->DataFolder() + path;
        if (FileExists(inData)) return inData;
    }
    return ProgramDir() + path;
}

// Sound: a template that cannot be loaded is said to the user and nothing is printed; an empty
// report would otherwise be prepared and printed as if all were well.
bool TFTisk::LoadTemplate(TEdit* line) {
    const std::string path = TemplatePath(line->GetText());
    if (path.empty() || !frxReport1->LoadFromFile(path, false)) {
        DM->MessageOk("Tisk", "Formulář nebyl nalezen: " + (path.empty() ? std::string("(cesta není vyplněna)") : path),
            clRed, clYellow);
        return false;
    }
    return true;
}

bool TFTisk::PrintTemplate(TEdit* line) {
    if (!LoadTemplate(line)) return false;
    if (!frxReport1->PrepareReport(true)) return false;
    return frxReport1->Print();
}

bool TFTisk::PreviewTemplate(TEdit* line) {
    if (!LoadTemplate(line)) return false;
    if (!frxReport1->PrepareReport(true)) return false;
    frxReport1->ShowPreparedReport();
    return true;
}

void TFTisk::DesignTemplate(TEdit* line) {
    if (!frxDesignerClass()) {
        DM->MessageOk("Upravit formulář",
            "Návrhář tiskových formulářů není v této verzi programu k dispozici. Formulář zůstává beze změny.", clRed,
            clYellow);
        return;
    }
    if (!LoadTemplate(line)) return;
    frxReport1->DesignReport();
}

// The choice holds while the window is open; the card keeps its stored path.
void TFTisk::ChooseTemplate(TEdit* line) {
    OpenDialog1->SetFileName("*.fr3");
    if (OpenDialog1->Execute()) line->SetText(OpenDialog1->GetFileName());
}
