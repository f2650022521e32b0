#include "report/output/frxDCtrlRTTI.h"

#include <memory>

#include "platform/gui/CheckLst.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/SysUtils.h"
#include "report/output/frxDialogControls.h"
#include "script/Interpreter.h"

namespace {

class TfrxDialogControlsRTTI {
public:
    TfrxDialogControlsRTTI();
    ~TfrxDialogControlsRTTI();
    TfrxDialogControlsRTTI(const TfrxDialogControlsRTTI&) = delete;
    TfrxDialogControlsRTTI& operator=(const TfrxDialogControlsRTTI&) = delete;
};

// ItemIndex of the list box or the combo box.
Variant GetItemIndex(TObject* instance, TClass, const std::string&) {
    if (auto* combo = dynamic_cast<TfrxComboBoxControl*>(instance)) return Variant(combo->ComboBox()->GetItemIndex());
    if (auto* list = dynamic_cast<TfrxListBoxControl*>(instance)) return Variant(list->ListBox()->GetItemIndex());
    return Variant(0);
}

void SetItemIndex(TObject* instance, TClass, const std::string&, const Variant& value) {
    if (auto* combo = dynamic_cast<TfrxComboBoxControl*>(instance)) combo->ComboBox()->SetItemIndex(value.AsInteger());
    else if (auto* list = dynamic_cast<TfrxListBoxControl*>(instance)) list->ListBox()->SetItemIndex(value.AsInteger());
}

Variant CallCheckList(TObject* instance, TClass, const std::string& name, TfsParams& params) {
    auto* control = dynamic_cast<TfrxCheckListBoxControl*>(instance);
    if (!control) return Variant(0);
    TCheckListBox* list = control->CheckListBox();
    const int index = params.at(0).AsInteger();
    if (name == "CHECKED.GET") return Variant(list->GetChecked(index));
    if (name == "CHECKED.SET") list->SetChecked(index, params.at(1).AsBoolean());
    else if (name == "STATE.GET") return Variant(int32_t(list->GetState(index)));
    else if (name == "STATE.SET") {
        const int32_t state = params.at(1).AsInteger();
        // Sound: only the three states exist; any other number is the script's
        // error, not a state the list could hold.
        if (state < cbUnchecked || state > cbGrayed)
            throw Exception("Stav položky musí být 0, 1 nebo 2, ne " + IntToStr(state) + ".");
        list->SetState(index, TCheckBoxState(state));
    }
    return Variant(0);
}

TfrxDialogControlsRTTI::TfrxDialogControlsRTTI() {
    TfsScript* global = fsGlobalUnit();
    global->AddedBy = this;
    // The states' type comes with the window bindings; without them the list brings its own.
    if (!global->Find("TCheckBoxState")) global->AddEnum("TCheckBoxState", "cbUnchecked, cbChecked, cbGrayed");
    const char* const ancestor = "TfrxDialogControl";
    for (TClass c : {TfrxLabelControl::StaticClass(), TfrxEditControl::StaticClass(), TfrxMemoControl::StaticClass(),
             TfrxButtonControl::StaticClass(), TfrxCheckBoxControl::StaticClass(),
             TfrxRadioButtonControl::StaticClass()})
        global->AddClass(c, ancestor);
    for (TClass c : {TfrxListBoxControl::StaticClass(), TfrxComboBoxControl::StaticClass()})
        if (TfsClassVariable* v = global->AddClass(c, ancestor))
            v->AddProperty("ItemIndex", "Integer", GetItemIndex, SetItemIndex);
    for (TClass c :
        {TfrxDateEditControl::StaticClass(), TfrxImageControl::StaticClass(), TfrxBevelControl::StaticClass(),
            TfrxPanelControl::StaticClass(), TfrxGroupBoxControl::StaticClass(), TfrxBitBtnControl::StaticClass(),
            TfrxSpeedButtonControl::StaticClass(), TfrxMaskEditControl::StaticClass()})
        global->AddClass(c, ancestor);
    if (TfsClassVariable* v = global->AddClass(TfrxCheckListBoxControl::StaticClass(), ancestor)) {
        v->AddIndexProperty("Checked", "Integer", "Boolean", CallCheckList);
        v->AddIndexProperty("State", "Integer", "TCheckBoxState", CallCheckList);
    }
    global->AddedBy = nullptr;
}

TfrxDialogControlsRTTI::~TfrxDialogControlsRTTI() {
    if (TfsScript* global = fsGlobalUnit()) global->RemoveItems(this);
}

std::unique_ptr<TfrxDialogControlsRTTI>& Bindings() {
    static std::unique_ptr<TfrxDialogControlsRTTI> bindings;
    return bindings;
}

}  // namespace

void frxStartDialogControlsRTTI() {
    if (!Bindings()) Bindings() = std::make_unique<TfrxDialogControlsRTTI>();
}

void frxStopDialogControlsRTTI() { Bindings().reset(); }
