#include "report/output/frxDialogControls.h"

#include "platform/gui/CheckLst.h"
#include "platform/gui/Mask.h"
#include "platform/rtl/Strings.h"
#include "platform/rtl/SysUtils.h"
#include "report/core/frxRegistries.h"
#include "report/core/frxReport.h"
#include "report/core/frxRes.h"
#include "report/output/frxDCtrlRTTI.h"
#include "report/output/frxOutputTexts.h"
#include "report/output/frxPasswordForm.h"
#include "report/output/frxPrintDialog.h"
#include "script/Interpreter.h"

KAROMIL_IMPLEMENT_CLASS(TfrxDialogControls, TComponent)
KAROMIL_IMPLEMENT_PUBLISHED_CLASS(TfrxLabelControl, TfrxDialogControl)
KAROMIL_IMPLEMENT_CLASS(TfrxCustomEditControl, TfrxDialogControl)
KAROMIL_IMPLEMENT_PUBLISHED_CLASS(TfrxEditControl, TfrxCustomEditControl)
KAROMIL_IMPLEMENT_PUBLISHED_CLASS(TfrxMemoControl, TfrxCustomEditControl)
KAROMIL_IMPLEMENT_PUBLISHED_CLASS(TfrxButtonControl, TfrxDialogControl)
KAROMIL_IMPLEMENT_PUBLISHED_CLASS(TfrxCheckBoxControl, TfrxDialogControl)
KAROMIL_IMPLEMENT_PUBLISHED_CLASS(TfrxRadioButtonControl, TfrxDialogControl)
KAROMIL_IMPLEMENT_PUBLISHED_CLASS(TfrxListBoxControl, TfrxDialogControl)
KAROMIL_IMPLEMENT_PUBLISHED_CLASS(TfrxComboBoxControl, TfrxDialogControl)
KAROMIL_IMPLEMENT_PUBLISHED_CLASS(TfrxPanelControl, TfrxDialogControl)
KAROMIL_IMPLEMENT_PUBLISHED_CLASS(TfrxGroupBoxControl, TfrxDialogControl)
KAROMIL_IMPLEMENT_PUBLISHED_CLASS(TfrxDateEditControl, TfrxDialogControl)
KAROMIL_IMPLEMENT_PUBLISHED_CLASS(TfrxImageControl, TfrxDialogControl)
KAROMIL_IMPLEMENT_PUBLISHED_CLASS(TfrxBevelControl, TfrxDialogControl)
KAROMIL_IMPLEMENT_PUBLISHED_CLASS(TfrxBitBtnControl, TfrxDialogControl)
KAROMIL_IMPLEMENT_PUBLISHED_CLASS(TfrxSpeedButtonControl, TfrxDialogControl)
KAROMIL_IMPLEMENT_PUBLISHED_CLASS(TfrxMaskEditControl, TfrxCustomEditControl)
KAROMIL_IMPLEMENT_PUBLISHED_CLASS(TfrxCheckListBoxControl, TfrxDialogControl)

namespace {
// The description of a control kind from the text table.
std::string Describe(const char* key) {
    frxRegisterOutputTexts();
    return frxGetResources()->Get(key);
}

// Objects are named after their kind: Edit1, Edit2 ... (the class name without "Tfrx" and
// "Control"). Called in the constructor of the class itself, where ClassName is its own.
void TakeBaseName(TfrxDialogControl* object) {
    std::string s = object->ClassName();
    if (size_t p = s.find("Tfrx"); p != std::string::npos) s.erase(p, 4);
    if (size_t p = s.find("Control"); p != std::string::npos) s.erase(p, 7);
    object->NamePrefix = s;
}

// The common end of every constructor: the wrapped control is taken, then the default size
// goes through the object's own setters so that the control follows.
void Finish(TfrxDialogControl* object, TControl* control, double width, double height) {
    TakeBaseName(object);
    object->InitControl(control);
    object->SetWidth(width);
    object->SetHeight(height);
}

// OnChange of the edit kinds, the combo box and the date edit: a procedure of
// the running report.
TNotifyEvent ChangeHandler(TfrxDialogControl* object, const std::string* procedure) {
    return [object, procedure](TObject*) {
        if (TfrxReport* report = object->GetReport()) report->DoNotifyEvent(object, *procedure);
    };
}
}  // namespace

// --- the linking component and the registration
// ----------------------------------------------

TfrxDialogControls::TfrxDialogControls(TComponent* owner) : TComponent(owner) { frxRegisterDialogControls(); }

void frxRegisterDialogControls() {
    static bool done = false;
    if (done) return;
    done = true;
    frxRegisterOutputTexts();
    frxInstallPasswordPrompt();
    frxRegisterPrintDialog();
    script::AddBindingUnit(frxStartDialogControlsRTTI, frxStopDialogControlsRTTI);
    TfrxObjectCollection* objects = frxObjects();
    const char* const other = "Other controls";
    objects->RegisterCategory(other, nullptr, "obCatOtherControls", 21);
    struct Entry {
        TClass cls;
        int image;
        bool other;
    };
    const Entry entries[] = {{TfrxLabelControl::StaticClass(), 12, false}, {TfrxEditControl::StaticClass(), 13, false},
        {TfrxMemoControl::StaticClass(), 14, false}, {TfrxButtonControl::StaticClass(), 15, false},
        {TfrxCheckBoxControl::StaticClass(), 16, false}, {TfrxRadioButtonControl::StaticClass(), 17, false},
        {TfrxListBoxControl::StaticClass(), 18, false}, {TfrxComboBoxControl::StaticClass(), 19, false},
        {TfrxPanelControl::StaticClass(), 44, false}, {TfrxGroupBoxControl::StaticClass(), 43, false},
        {TfrxDateEditControl::StaticClass(), 20, true}, {TfrxImageControl::StaticClass(), 3, true},
        {TfrxBevelControl::StaticClass(), 33, true}, {TfrxBitBtnControl::StaticClass(), 45, true},
        {TfrxSpeedButtonControl::StaticClass(), 46, true}, {TfrxMaskEditControl::StaticClass(), 47, true},
        {TfrxCheckListBoxControl::StaticClass(), 48, true}};
    for (const Entry& e : entries) objects->RegisterObject(e.cls, nullptr, "", e.other ? other : "", 0, e.image);
}

// --- the controls
// ----------------------------------------------------------------------------

TfrxLabelControl::TfrxLabelControl(TComponent* owner) : TfrxDialogControl(owner) {
    TakeBaseName(this);
    auto* label = new TLabel(nullptr);
    label->SetCaption("Label");
    InitControl(label);
    SetWidth(label->GetWidth());
    SetHeight(label->GetHeight());
}
std::string TfrxLabelControl::GetDescription() const { return Describe("obLabel"); }

void TfrxLabelControl::Draw(TCanvas* canvas, double scaleX, double scaleY, double offsetX, double offsetY) {
    if (GetAutoSize()) {
        SetWidth(Label()->GetWidth());
        SetHeight(Label()->GetHeight());
    } else {
        Label()->SetBounds(Label()->GetLeft(), Label()->GetTop(), int(Round(GetWidth())), int(Round(GetHeight())));
    }
    TfrxDialogControl::Draw(canvas, scaleX, scaleY, offsetX, offsetY);
}

TfrxCustomEditControl::TfrxCustomEditControl(TComponent* owner, TCustomEdit* edit) : TfrxDialogControl(owner) {
    edit->OnChange = ChangeHandler(this, &OnChange);
    InitControl(edit);
}

TfrxEditControl::TfrxEditControl(TComponent* owner) : TfrxCustomEditControl(owner, new TEdit(nullptr)) {
    TakeBaseName(this);
    SetWidth(121);
    SetHeight(21);
}
std::string TfrxEditControl::GetDescription() const { return Describe("obEdit"); }
std::string TfrxEditControl::GetPasswordChar() const {
    const char32_t c = Edit()->GetPasswordChar();
    return c ? U32ToUtf8(std::u32string(1, c)) : std::string();
}
void TfrxEditControl::SetPasswordChar(const std::string& v) {
    const std::u32string s = Utf8ToU32(v);
    Edit()->SetPasswordChar(s.empty() ? 0 : s[0]);
}

TfrxMemoControl::TfrxMemoControl(TComponent* owner) : TfrxCustomEditControl(owner, new TMemo(nullptr)) {
    TakeBaseName(this);
    SetWidth(185);
    SetHeight(89);
}
std::string TfrxMemoControl::GetDescription() const { return Describe("obMemoC"); }

TfrxButtonControl::TfrxButtonControl(TComponent* owner) : TfrxDialogControl(owner) {
    auto* button = new TButton(nullptr);
    button->SetCaption("Button");
    Finish(this, button, 75, 25);
}
std::string TfrxButtonControl::GetDescription() const { return Describe("obButton"); }

TfrxCheckBoxControl::TfrxCheckBoxControl(TComponent* owner) : TfrxDialogControl(owner) {
    auto* box = new TCheckBox(nullptr);
    box->SetCaption("CheckBox");
    box->SetAlignment(lrRightJustify);
    Finish(this, box, 97, 17);
}
std::string TfrxCheckBoxControl::GetDescription() const { return Describe("obChBoxC"); }
TAlignment TfrxCheckBoxControl::GetAlignment() const {
    return CheckBox()->GetAlignment() == lrLeftJustify ? taLeftJustify : taRightJustify;
}
void TfrxCheckBoxControl::SetAlignment(TAlignment v) {
    CheckBox()->SetAlignment(v == taLeftJustify ? lrLeftJustify : lrRightJustify);
}

TfrxRadioButtonControl::TfrxRadioButtonControl(TComponent* owner) : TfrxDialogControl(owner) {
    auto* radio = new TRadioButton(nullptr);
    radio->SetCaption("RadioButton");
    Finish(this, radio, 113, 17);
}
std::string TfrxRadioButtonControl::GetDescription() const { return Describe("obRButton"); }

TfrxListBoxControl::TfrxListBoxControl(TComponent* owner) : TfrxDialogControl(owner) {
    Finish(this, new TListBox(nullptr), 121, 97);
}
std::string TfrxListBoxControl::GetDescription() const { return Describe("obLBox"); }

TfrxComboBoxControl::TfrxComboBoxControl(TComponent* owner) : TfrxDialogControl(owner) {
    auto* combo = new TComboBox(nullptr);
    combo->OnChange = ChangeHandler(this, &OnChange);
    Finish(this, combo, 145, 21);
}
std::string TfrxComboBoxControl::GetDescription() const { return Describe("obCBox"); }

TfrxPanelControl::TfrxPanelControl(TComponent* owner) : TfrxDialogControl(owner) {
    Finish(this, new TPanel(nullptr), 185, 41);
}
std::string TfrxPanelControl::GetDescription() const { return Describe("obPanel"); }

TfrxGroupBoxControl::TfrxGroupBoxControl(TComponent* owner) : TfrxDialogControl(owner) {
    Finish(this, new TGroupBox(nullptr), 185, 105);
}
std::string TfrxGroupBoxControl::GetDescription() const { return Describe("obGrBox"); }

TfrxDateEditControl::TfrxDateEditControl(TComponent* owner) : TfrxDialogControl(owner) {
    auto* picker = new TDateTimePicker(nullptr);
    picker->OnChange = ChangeHandler(this, &OnChange);
    Finish(this, picker, 145, 21);
}
std::string TfrxDateEditControl::GetDescription() const { return Describe("obDateEdit"); }

TfrxImageControl::TfrxImageControl(TComponent* owner) : TfrxDialogControl(owner) {
    Finish(this, new TImage(nullptr), 100, 100);
}
std::string TfrxImageControl::GetDescription() const { return Describe("obImageC"); }

TfrxBevelControl::TfrxBevelControl(TComponent* owner) : TfrxDialogControl(owner) {
    Finish(this, new TBevel(nullptr), 50, 50);
}
std::string TfrxBevelControl::GetDescription() const { return Describe("obBevel"); }

TfrxBitBtnControl::TfrxBitBtnControl(TComponent* owner) : TfrxDialogControl(owner) {
    auto* button = new TBitBtn(nullptr);
    button->SetCaption("BitBtn");
    Finish(this, button, 75, 25);
}
std::string TfrxBitBtnControl::GetDescription() const { return Describe("obBBtn"); }

TfrxSpeedButtonControl::TfrxSpeedButtonControl(TComponent* owner) : TfrxDialogControl(owner) {
    Finish(this, new TSpeedButton(nullptr), 22, 22);
}
std::string TfrxSpeedButtonControl::GetDescription() const { return Describe("obSBtn"); }

TfrxMaskEditControl::TfrxMaskEditControl(TComponent* owner) : TfrxCustomEditControl(owner, new TMaskEdit(nullptr)) {
    TakeBaseName(this);
    Edit()->SetText("MaskEdit");
    SetWidth(121);
    SetHeight(21);
}
std::string TfrxMaskEditControl::GetDescription() const { return Describe("obMEdit"); }
TMaskEdit* TfrxMaskEditControl::MaskEdit() const { return static_cast<TMaskEdit*>(Control()); }
std::string TfrxMaskEditControl::GetEditMask() const { return MaskEdit()->GetEditMask(); }
void TfrxMaskEditControl::SetEditMask(const std::string& v) { MaskEdit()->SetEditMask(v); }

TfrxCheckListBoxControl::TfrxCheckListBoxControl(TComponent* owner) : TfrxDialogControl(owner) {
    Finish(this, new TCheckListBox(nullptr), 121, 97);
}
std::string TfrxCheckListBoxControl::GetDescription() const { return Describe("obChLB"); }
TCheckListBox* TfrxCheckListBoxControl::CheckListBox() const { return static_cast<TCheckListBox*>(Control()); }
bool TfrxCheckListBoxControl::GetAllowGrayed() const { return CheckListBox()->GetAllowGrayed(); }
void TfrxCheckListBoxControl::SetAllowGrayed(bool v) { CheckListBox()->SetAllowGrayed(v); }
TStrings* TfrxCheckListBoxControl::GetItems() const { return CheckListBox()->GetItems(); }
void TfrxCheckListBoxControl::SetItems(TStrings* v) { CheckListBox()->SetItems(v); }
bool TfrxCheckListBoxControl::GetSorted() const { return CheckListBox()->GetSorted(); }
void TfrxCheckListBoxControl::SetSorted(bool v) { CheckListBox()->SetSorted(v); }
