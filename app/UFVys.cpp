#include "app/UFVys.h"

#include <memory>

#include "app/Colors.h"
#include "app/Glyphs.h"
#include "app/UFDM.h"
#include "app/UFSelProskrt.h"
#include "platform/rtl/Strings.h"

KAROMIL_IMPLEMENT_CLASS(TFVys, TForm)

namespace {

const std::string kEmDash = "\u2014";
const std::string kSoftHyphen = "\u00AD";

std::string Repeat(const std::string& s, int n) {
    std::string r;
    for (int i = 0; i < n; ++i) r += s;
    return r;
}

const std::vector<std::string>& ConductItems(bool firstHalf) {
    static const std::vector<std::string> a = {
        "velmi dobré", "uspokojivé", "neuspokojivé", "  ", Repeat(kSoftHyphen, 7) + Repeat(kEmDash, 6)};
    static const std::vector<std::string> b = {
        "velmi dobré", "uspokojivé", "neuspokojivé", " ", Repeat(kSoftHyphen, 5) + Repeat(kEmDash, 6)};
    return firstHalf ? a : b;
}

const std::vector<std::string>& SubjectGradeItems() {
    static const std::vector<std::string> items = {
        "výborný", "chvalitebný", "dobrý", "dostatečný", "nedostatečný", " ", Repeat(kEmDash, 6)};
    return items;
}

const std::vector<std::string>& OptionalGradeItems() {
    static const std::vector<std::string> items = {"výborný", "chvalitebný", "dobrý", "dostatečný", "nedostatečný",
        "pracoval(a) úspěšně", "pracoval(a)", " ", std::string(17, '-')};
    return items;
}

bool Editing(TDataSet* d) { return d->State() == dsEdit || d->State() == dsInsert; }

// Builds the controls of one window; every data-aware control names DM's data sources, which
// are fixed up by name when the loader finishes.
struct TBuilder {
    TFormLoader& L;
    int Counter = 0;

    std::string AutoName(const char* kind) { return std::string(kind) + std::to_string(++Counter); }

    TLabel* Label(TWinControl* parent, const std::string& caption, int x, int y) {
        TLabel* t = L.Add<TLabel>(AutoName("Label"), parent);
        t->SetLeft(x);
        t->SetTop(y);
        t->SetCaption(caption);
        t->SetTransparent(true);
        return t;
    }
    void BindVys(TComponent* holder, std::function<void(TDataSource*)> set) {
        L.Reference(holder, "DM.DSVys", [set](TComponent* c) { set(static_cast<TDataSource*>(c)); });
    }
    TDBEdit* Edit(TWinControl* parent, const std::string& name, const std::string& field, int x, int y, int w) {
        TDBEdit* e = L.Add<TDBEdit>(name, parent);
        e->SetBounds(x, y, w, 23);
        e->SetDataField(field);
        e->SetTabStop(true);
        BindVys(e, [e](TDataSource* s) { e->SetDataSource(s); });
        return e;
    }
    TDBMemo* Memo(TWinControl* parent, const std::string& field, int x, int y, int w, int h) {
        TDBMemo* m = L.Add<TDBMemo>(field, parent);
        m->SetBounds(x, y, w, h);
        m->SetDataField(field);
        m->SetScrollBars(ssVertical);
        m->SetTabStop(true);
        BindVys(m, [m](TDataSource* s) { m->SetDataSource(s); });
        return m;
    }
    TRxDBLookupCombo* Subject(TWinControl* parent, const std::string& field, int x, int y, int w) {
        TRxDBLookupCombo* c = L.Add<TRxDBLookupCombo>("RxDBLookupCombo" + field, parent);
        c->SetBounds(x, y, w, 23);
        c->SetDataField(field);
        c->SetLookupField("Nazev");
        c->SetLookupDisplay("Nazev");
        c->SetDropDownCount(15);
        c->SetTabStop(true);
        BindVys(c, [c](TDataSource* s) { c->SetDataSource(s); });
        L.Reference(c, "DM.DSPredmety", [c](TComponent* s) { c->SetLookupSource(static_cast<TDataSource*>(s)); });
        return c;
    }
    TDBCheckBox* Check(TWinControl* parent, const std::string& field, const std::string& caption, int x, int y, int w) {
        TDBCheckBox* c = L.Add<TDBCheckBox>("DBCheckBox" + field, parent);
        c->SetBounds(x, y, w, 21);
        c->SetCaption(caption);
        c->SetDataField(field);
        c->SetValueChecked("True");
        c->SetValueUnchecked("False");
        c->SetTabStop(true);
        BindVys(c, [c](TDataSource* s) { c->SetDataSource(s); });
        return c;
    }
    TDBComboBox* Grade(
        TWinControl* parent, const std::string& field, const std::vector<std::string>& items, int x, int y, int w) {
        TDBComboBox* c = L.Add<TDBComboBox>("DBComboBox" + field, parent);
        c->SetBounds(x, y, w, 23);
        c->SetDataField(field);
        for (const std::string& item : items) c->GetItems()->Add(item);
        c->SetTabStop(true);
        BindVys(c, [c](TDataSource* s) { c->SetDataSource(s); });
        return c;
    }
    TBitBtn* Button(TWinControl* parent, const std::string& name, const std::string& caption, const std::string& hint,
        int x, int y, int w, int h = 24) {
        TBitBtn* b = L.Add<TBitBtn>(name, parent);
        b->SetBounds(x, y, w, h);
        b->SetCaption(caption);
        b->SetHint(hint);
        b->SetShowHint(!hint.empty());
        b->SetTabStop(false);
        return b;
    }
    TGroupBox* Group(TWinControl* parent, const std::string& caption, int x, int y, int w, int h) {
        TGroupBox* g = L.Add<TGroupBox>(AutoName("GroupBox"), parent);
        g->SetBounds(x, y, w, h);
        g->SetCaption(caption);
        g->SetColor(parent->GetColor());
        return g;
    }
};

// Column geometry of the front and back tabs.
constexpr int kSubjectX = 8, kSubjectW = 290, kCheckX = 306, kCheckW = 40;
constexpr int kGradeAX = 354, kGradeBX = 607, kGradeW = 245;
// The front tab's larger font needs wider column buttons and grade columns wide enough for the
// heading beside them: its subject column gives way.
constexpr int kFrontSubjectW = 250, kFrontCheckX = 264, kFrontGradeAX = 306, kFrontGradeBX = 584, kFrontGradeW = 270;
constexpr int kFrontCrossW = 100, kFrontClearW = 24;
// The column buttons stand at the right end of their column, beside (never over) its heading.
constexpr int kCrossW = 92, kClearW = 22;

}  // namespace

const std::string TFVys::CrossOutText = Repeat(kEmDash, 6);

std::vector<std::string> TFVys::ColumnFields(
    const std::string& first, const std::string& prefix, int count, const std::string& suffix) {
    std::vector<std::string> fields;
    if (!first.empty()) fields.push_back(first);
    for (int i = 1; i <= count; ++i) fields.push_back(prefix + std::to_string(i) + suffix);
    return fields;
}

TFVys::TFVys(TComponent* owner) : TForm(owner) {
    TFormLoader l(this);
    TBuilder b{l};
    SetName(UniqueFormName(owner, "FVys"));
    SetCaption("Vysvědčení");
    SetBorderStyle(bsDialog);
    SetClientWidth(895);
    SetClientHeight(758);
    SetColor(clAppWindow);
    GetFont()->SetName("Arial");
    GetFont()->SetHeight(-14);
    GetFont()->SetCharset(238);
    SetPosition(poOwnerFormCenter);
    GetVertScrollBar()->Smooth = true;
    GetVertScrollBar()->Tracking = true;
    OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };

    PageControl1 = l.Add<TPageControl>("PageControl1", this);
    PageControl1->SetBounds(8, 10, 869, 685);
    PageControl1->SetTabStop(true);

    // --- front side
    TSStrana1 = l.Add<TTabSheet>("TSStrana1");
    TSStrana1->SetPageControl(PageControl1);
    TSStrana1->SetCaption("Přední strana");
    TSStrana1->SetParentFont(false);
    TSStrana1->GetFont()->SetName("MS Sans Serif");
    TSStrana1->GetFont()->SetHeight(-15);
    {
        const struct {
            const char* field;
            int x, y, w;
        } edits[] = {
            {"SkolniRok", 8, 22, 100},
            {"Trida", 116, 22, 120},
            {"Rocnik", 244, 22, 60},
            {"Jmeno", 312, 22, 400},
            {"CisloTV", 720, 22, 60},
            {"DatumNar", 8, 68, 120},
            {"RodneCislo", 136, 68, 150},
            {"MistoNar", 294, 68, 300},
        };
        for (const auto& e : edits) {
            b.Label(TSStrana1, e.field, e.x, e.y - 17);
            b.Edit(TSStrana1, e.field, e.field, e.x, e.y, e.w);
        }
        SoucastiListB = b.Check(TSStrana1, "SoucastiListB", "Součástí vysvědčení je list B", 612, 70, 240);

        b.Label(TSStrana1, "Předmět", kSubjectX, 98);
        b.Label(TSStrana1, "Tisk", kFrontCheckX, 98);
        b.Label(TSStrana1, "Známka 1.pololetí", kFrontGradeAX, 98);
        b.Label(TSStrana1, "Známka 2.pololetí", kFrontGradeBX, 98);
        auto columnButtons = [&](int right, TBitBtn** clear, const char* clearName, TBitBtn** cross,
                                 const char* crossName, const char* crossHint, void (TFVys::*onClear)(TObject*),
                                 void (TFVys::*onCross)(TObject*)) {
            *cross = b.Button(TSStrana1, crossName, "Proškrtnout", crossHint, right - kFrontCrossW, 92, kFrontCrossW);
            *clear = b.Button(TSStrana1, clearName, "X", "Vymaže všechny známky",
                right - kFrontCrossW - 2 - kFrontClearW, 92, kFrontClearW);
            (*clear)->OnClick = [this, onClear](TObject* s) { (this->*onClear)(s); };
            (*cross)->OnClick = [this, onCross](TObject* s) { (this->*onCross)(s); };
        };
        columnButtons(kSubjectX + kFrontSubjectW, &BitBtn17, "BitBtn17", &BitBtn8, "BitBtn8",
            "Proškrtne nevyplněné předměty", &TFVys::BitBtn17Click, &TFVys::BitBtn8Click);
        columnButtons(kFrontGradeAX + kFrontGradeW, &BitBtn12, "BitBtn12", &BitBtn6, "BitBtn6",
            "Proškrtne nevyplněné známky", &TFVys::BitBtn12Click, &TFVys::BitBtn6Click);
        columnButtons(kFrontGradeBX + kFrontGradeW, &BitBtn13, "BitBtn13", &BitBtn7, "BitBtn7",
            "Proškrtne nevyplněné známky", &TFVys::BitBtn13Click, &TFVys::BitBtn7Click);

        const auto subjects = ColumnFields("Chovani", "Predmet", 19, "");
        const auto flags = ColumnFields("CHovaniTisk", "Predmet", 19, "Tisk");
        const auto gradesA = ColumnFields("ZnamkaChovA", "Znamka", 19, "A");
        const auto gradesB = ColumnFields("ZnamkaChovB", "Znamka", 19, "B");
        for (int row = 0; row <= 19; ++row) {
            const int y = 120 + row * 26;
            const size_t i = size_t(row);
            SubjectCombos.push_back(b.Subject(TSStrana1, subjects[i], kSubjectX, y, kFrontSubjectW));
            PrintChecks.push_back(b.Check(TSStrana1, flags[i], "", kFrontCheckX + 10, y + 1, 24));
            GradesA.push_back(b.Grade(TSStrana1, gradesA[i], row == 0 ? ConductItems(true) : SubjectGradeItems(),
                kFrontGradeAX, y, kFrontGradeW));
            GradesB.push_back(b.Grade(TSStrana1, gradesB[i], row == 0 ? ConductItems(false) : SubjectGradeItems(),
                kFrontGradeBX, y, kFrontGradeW));
        }
    }

    // --- back side
    TSStrana2 = l.Add<TTabSheet>("TSStrana2");
    TSStrana2->SetPageControl(PageControl1);
    TSStrana2->SetCaption("Zadní strana");
    {
        b.Label(TSStrana2, "Nepovinný předmět, zájm. útvar", kSubjectX, 10);
        b.Label(TSStrana2, "Známka 1.pololetí", kGradeAX, 10);
        b.Label(TSStrana2, "Známka 2.pololetí", kGradeBX, 10);
        auto columnButtons = [&](int right, TBitBtn** clear, const char* clearName, TBitBtn** cross,
                                 const char* crossName, const char* crossHint, void (TFVys::*onClear)(TObject*),
                                 void (TFVys::*onCross)(TObject*)) {
            *cross = b.Button(TSStrana2, crossName, "Proškrtnout", crossHint, right - kCrossW, 4, kCrossW);
            *clear = b.Button(
                TSStrana2, clearName, "X", "Vymaže všechny známky", right - kCrossW - 2 - kClearW, 4, kClearW);
            (*clear)->OnClick = [this, onClear](TObject* s) { (this->*onClear)(s); };
            (*cross)->OnClick = [this, onCross](TObject* s) { (this->*onCross)(s); };
        };
        // The heading of the subject column is long: its buttons go past the grade column's left edge.
        columnButtons(kGradeAX - 8, &BitBtn16, "BitBtn16", &BitBtn9, "BitBtn9", "Proškrtne nevyplněné předměty",
            &TFVys::BitBtn16Click, &TFVys::BitBtn9Click);
        columnButtons(kGradeAX + kGradeW, &BitBtn14, "BitBtn14", &BitBtn10, "BitBtn10", "Proškrtne nevyplněné známky",
            &TFVys::BitBtn14Click, &TFVys::BitBtn10Click);
        columnButtons(kGradeBX + kGradeW, &BitBtn15, "BitBtn15", &BitBtn11, "BitBtn11", "Proškrtne nevyplněné známky",
            &TFVys::BitBtn15Click, &TFVys::BitBtn11Click);
        const auto subjects = ColumnFields("", "NPredmet", 8, "");
        const auto gradesA = ColumnFields("", "NZnamka", 8, "A");
        const auto gradesB = ColumnFields("", "NZnamka", 8, "B");
        for (size_t i = 0; i < 8; ++i) {
            const int y = 32 + int(i) * 26;
            OptionalCombos.push_back(b.Subject(TSStrana2, subjects[i], kSubjectX, y, kSubjectW));
            OptionalGradesA.push_back(b.Grade(TSStrana2, gradesA[i], OptionalGradeItems(), kGradeAX, y, kGradeW));
            OptionalGradesB.push_back(b.Grade(TSStrana2, gradesB[i], OptionalGradeItems(), kGradeBX, y, kGradeW));
        }

        const struct {
            const char* caption;
            const char* oml;
            const char* neoml;
            int x;
        } hours[] = {
            {"Zameškané hodiny první pololetí", "ZamHodinyOmlA", "ZamHodinyNeomlA", 8},
            {"Zameškané hodiny druhé pololetí", "ZamHodinyOmlB", "ZamHodinyNeomlB", 430},
        };
        for (const auto& h : hours) {
            TGroupBox* g = b.Group(TSStrana2, h.caption, h.x, 248, 414, 58);
            b.Label(g, "Omluvené", 12, 26);
            b.Edit(g, h.oml, h.oml, 92, 22, 80);
            b.Label(g, "Neomluvené", 200, 26);
            b.Edit(g, h.neoml, h.neoml, 296, 22, 80);
        }
        b.Label(TSStrana2, "Celkové hodnocení první pololetí", 8, 314);
        b.Edit(TSStrana2, "CelkHodnA", "CelkHodnA", 8, 332, 414);
        b.Label(TSStrana2, "Celkové hodnocení druhé pololetí", 430, 314);
        b.Edit(TSStrana2, "CelkHodnB", "CelkHodnB", 430, 332, 414);
        b.Label(TSStrana2, "Pochvaly a jiná ocenění první pololetí", 8, 362);
        b.Memo(TSStrana2, "PochvalyA", 8, 380, 414, 56);
        b.Label(TSStrana2, "Pochvaly a jiná ocenění druhé pololetí", 430, 362);
        b.Memo(TSStrana2, "PochvalyB", 430, 380, 414, 56);

        b.Label(TSStrana2, "Splnil", 8, 450);
        b.Edit(TSStrana2, "SplnilLet", "SplnilLet", 56, 446, 60);
        b.Label(TSStrana2, "let/rok", 124, 450);
        b.Edit(TSStrana2, "LetDochazky", "LetDochazky", 180, 446, 60);
        b.Label(TSStrana2, "povinné školní docházky", 248, 450);

        b.Label(TSStrana2, "Vzdělávání se uskutečnilo podle vzdělávacího programu", 8, 480);
        b.Memo(TSStrana2, "VzdelProgram", 8, 498, 836, 44);
        b.Label(TSStrana2, "Doložka o získání stupně základního vzdělání", 8, 550);
        b.Edit(TSStrana2, "Dolozka", "Dolozka", 8, 568, 836);
        const struct {
            const char* v;
            const char* dne;
            int y;
        } places[] = {{"VA", "DneA", 600}, {"VB", "DneB", 628}};
        for (const auto& p : places) {
            b.Label(TSStrana2, "V", 8, p.y + 4);
            b.Edit(TSStrana2, p.v, p.v, 28, p.y, 300);
            b.Label(TSStrana2, "Dne", 344, p.y + 4);
            b.Edit(TSStrana2, p.dne, p.dne, 380, p.y, 200);
        }
    }

    // --- print settings
    TabSheet1 = l.Add<TTabSheet>("TabSheet1");
    TabSheet1->SetPageControl(PageControl1);
    TabSheet1->SetCaption("Nastavení tisku");
    {
        TLabel* note = b.Label(TabSheet1,
            "\n\n"
            "Tiskový formulář definuje vzhled tisku údajů vysvědčení. \n"
            "U každého vysvědčení musí být nastaven. \n"
            "V dialogovém okně TISK můžete tiskový formulář upravit. \n"
            "Doporučujeme uložit již funkční formulář pod novým jménem volbou Uložit Jako ...\n"
            "a potom teprve ho upravovat. Podrobnosti viz Nápověda k programu.",
            8, 8);
        note->SetAutoSize(false);
        note->SetBounds(8, 8, 845, 170);
        note->SetAlignment(taCenter);
        note->SetParentFont(false);
        note->GetFont()->SetName("Arial");
        note->GetFont()->SetHeight(-17);

        struct TTemplateLine {
            TDBEdit** edit;
            const char* editName;
            const char* field;
            TBitBtn** button;
            const char* buttonName;
            const char* caption;
            void (TFVys::*handler)(TObject*);
        };
        auto group = [&](const char* caption, int y, TTemplateLine opis, TTemplateLine plain) {
            TGroupBox* g = b.Group(TabSheet1, caption, 8, y, 845, 150);
            int top = 26;
            for (const TTemplateLine& line : {opis, plain}) {
                b.Label(g, line.caption, 16, top);
                *line.edit = b.Edit(g, line.editName, line.field, 16, top + 20, 630);
                *line.button = b.Button(g, line.buttonName, "Vybrat formulář", "", 660, top + 17, 170, 30);
                (*line.button)->SetTabStop(true);
                SetButtonGlyph(*line.button, TAppGlyph::Open);
                auto handler = line.handler;
                (*line.button)->OnClick = [this, handler](TObject* s) { (this->*handler)(s); };
                top += 60;
            }
        };
        group("Přední strana", 190,
            {&Form1o, "Form1o", "ReportOpisFront", &BitBtn5, "BitBtn5", "Formulář pro tisk OPISU přední strany",
                &TFVys::BitBtn5Click},
            {&Form1, "Form1", "ReportFront", &BitBtn3, "BitBtn3", "Formulář pro tisk přední strany",
                &TFVys::BitBtn3Click});
        group("Zadní strana", 360,
            {&Form2o, "Form2o", "ReportOpisBack", &bLoad, "bLoad", "Formulář pro tisk OPISU zadní strany",
                &TFVys::bLoadClick},
            {&Form2, "Form2", "ReportBack", &BitBtn4, "BitBtn4", "Formulář pro tisk zadní strany",
                &TFVys::BitBtn4Click});
    }
    PageControl1->SetActivePage(TSStrana1);

    // --- below the tabs
    LabelUcitel = b.Label(this, "Zapsal (učitel)", 10, 702);
    Ucitel = b.Edit(this, "Ucitel", "Ucitel", 10, 722, 300);
    BitBtn1 = b.Button(this, "BitBtn1", "Storno", "", 600, 712, 130, 36);
    BitBtn1->SetTabStop(true);
    BitBtn1->SetModalResult(mrCancel);
    SetButtonGlyph(BitBtn1, TAppGlyph::Cancel);
    BitBtn1->OnClick = [this](TObject* s) { BitBtn1Click(s); };
    BitBtn2 = b.Button(this, "BitBtn2", "OK", "", 746, 712, 130, 36);
    SetButtonGlyph(BitBtn2, TAppGlyph::Ok);
    BitBtn2->SetTabStop(true);
    BitBtn2->SetDefault(true);
    BitBtn2->OnClick = [this](TObject* s) { BitBtn2Click(s); };

    OpenDialog1 = l.Add<TOpenDialog>("OpenDialog1");
    // Choosing a template must not move the process's current folder: relative paths and the
    // help page would otherwise be looked for somewhere else afterwards.
    OpenDialog1->SetOptions(OpenDialog1->GetOptions().Include(ofNoChangeDir));

    l.Finish();
}

void TFVys::BitBtn2Click(TObject*) {
    // The focused edit may not have written its text into the field yet (Enter on the default
    // button): collect the controls' data first, so the check sees what the user typed.
    DM->QVys->UpdateRecord();
    if (DM->QVys->FieldByName("Ucitel")->GetAsString().empty()) {
        DM->MessageOk("Upozornění", "Musíte vyplnit jméno učitele", clRed, clYellow);
        Ucitel->SetFocus();
        return;
    }
    DM->QVys->Post();
    Close();
}

void TFVys::BitBtn1Click(TObject*) { DM->QVys->Cancel(); }

// A window-manager close counts as Storno; the row must not stay half-edited for the next
// operation to post unchecked or drop silently.
void TFVys::FormClose(TObject*, TCloseAction&) {
    if (Editing(DM->QVys)) DM->QVys->Cancel();
}

void TFVys::ChooseTemplate(const std::string& field) {
    OpenDialog1->SetFileName("*.fr3");
    if (OpenDialog1->Execute()) DM->QVys->FieldByName(field)->SetAsString(OpenDialog1->GetFileName());
}

void TFVys::BitBtn3Click(TObject*) { ChooseTemplate("ReportFront"); }
void TFVys::BitBtn5Click(TObject*) { ChooseTemplate("ReportOpisFront"); }
void TFVys::BitBtn4Click(TObject*) { ChooseTemplate("ReportBack"); }
void TFVys::bLoadClick(TObject*) { ChooseTemplate("ReportOpisBack"); }

void TFVys::ClearColumn(const std::vector<std::string>& fields) {
    for (const std::string& f : fields) DM->QVys->FieldByName(f)->SetAsString("");
}

void TFVys::CrossOutColumn(const std::vector<std::string>& fields) {
    for (const std::string& f : fields) {
        TField* field = DM->QVys->FieldByName(f);
        if (field->GetAsString().empty()) field->SetAsString(CrossOutText);
    }
}

void TFVys::FillSubjects(const std::vector<std::string>& fields) {
    std::unique_ptr<TFSelProskrt> chooser = MakeDialog<TFSelProskrt>(this);
    // Only a confirmed choice fills the rows; closing the chooser otherwise changes nothing.
    if (chooser->ShowModal() != mrOk) return;
    const std::string text = Utf8Copy(DM->QPredmety->FieldByName("Nazev")->GetAsString(), 1, 20);
    for (const std::string& f : fields) {
        TField* field = DM->QVys->FieldByName(f);
        if (field->GetAsString().empty()) field->SetAsString(text);
    }
}

void TFVys::BitBtn17Click(TObject*) { ClearColumn(ColumnFields("Chovani", "Predmet", 19, "")); }
void TFVys::BitBtn8Click(TObject*) { FillSubjects(ColumnFields("Chovani", "Predmet", 19, "")); }
void TFVys::BitBtn12Click(TObject*) { ClearColumn(ColumnFields("ZnamkaChovA", "Znamka", 19, "A")); }
void TFVys::BitBtn6Click(TObject*) { CrossOutColumn(ColumnFields("ZnamkaChovA", "Znamka", 19, "A")); }
void TFVys::BitBtn13Click(TObject*) { ClearColumn(ColumnFields("ZnamkaChovB", "Znamka", 19, "B")); }
void TFVys::BitBtn7Click(TObject*) { CrossOutColumn(ColumnFields("ZnamkaChovB", "Znamka", 19, "B")); }
void TFVys::BitBtn16Click(TObject*) {
    ClearColumn(ColumnFields("", "NPredmet", 8, ""));
    Repaint();
}
void TFVys::BitBtn9Click(TObject*) {
    FillSubjects(ColumnFields("", "NPredmet", 8, ""));
    Repaint();
}
void TFVys::BitBtn14Click(TObject*) { ClearColumn(ColumnFields("", "NZnamka", 8, "A")); }
void TFVys::BitBtn10Click(TObject*) { CrossOutColumn(ColumnFields("", "NZnamka", 8, "A")); }
void TFVys::BitBtn15Click(TObject*) { ClearColumn(ColumnFields("", "NZnamka", 8, "B")); }
void TFVys::BitBtn11Click(TObject*) { CrossOutColumn(ColumnFields("", "NZnamka", 8, "B")); }
