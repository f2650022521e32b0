#include "report/core/frxDialogPage.h"

#include <cmath>

#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/Strings.h"
#include "report/core/frxDialog.h"
#include "report/core/frxDialogForm.h"
#include "report/core/frxRes.h"
#include "report/core/frxServices.h"
#include "script/Interpreter.h"

KAROMIL_IMPLEMENT_PUBLISHED_CLASS(TfrxDialogPage, TfrxPage)

namespace {
int Round(double v) { return int(std::nearbyint(v)); }
}  // namespace

TfrxDialogPage::TfrxDialogPage(TComponent* owner) : TfrxPage(owner), FForm(std::make_unique<TfrxDialogForm>(nullptr)) {
    FForm->SetKeyPreview(true);
    GetFont()->SetName("Tahoma");
    GetFont()->SetSize(8);
}

TfrxDialogPage::~TfrxDialogPage() {
    // The children (dialog controls parented to the window) go first, then the window.
    TfrxComponent::Clear();
}

std::string TfrxDialogPage::GetDescription() const { return frxGetResources()->Get("obDlgPage"); }

void TfrxDialogPage::SetCaption(const std::string& value) {
    FCaption = value;
    FForm->SetCaption(value);
}

void TfrxDialogPage::SetColor(TColor value) {
    FColor = value;
    FForm->SetColor(value);
}

void TfrxDialogPage::SetLeft(double value) {
    TfrxPage::SetLeft(value);
    FForm->SetLeft(Round(GetLeft()));
}
void TfrxDialogPage::SetTop(double value) {
    TfrxPage::SetTop(value);
    FForm->SetTop(Round(GetTop()));
}
void TfrxDialogPage::SetWidth(double value) {
    TfrxPage::SetWidth(value);
    FForm->SetWidth(Round(GetWidth()));
}
void TfrxDialogPage::SetHeight(double value) {
    TfrxPage::SetHeight(value);
    FForm->SetHeight(Round(GetHeight()));
}

void TfrxDialogPage::FontChanged() {
    TfrxPage::FontChanged();
    if (FForm) FForm->SetFont(GetFont());
}

int TfrxDialogPage::GetModalResult() const { return FForm->GetModalResult(); }
void TfrxDialogPage::SetModalResult(int value) { FForm->SetModalResult(value); }

void TfrxDialogPage::InitDialog() {
    if (FForm->GetVisible()) FForm->Hide();
    FForm->SetPosition(Position);
    FForm->SetWindowState(WindowState);
    TfrxDialogForm* form = FForm.get();
    auto notify = [this](const std::string* name) {
        return [this, name](TObject* sender) {
            if (TfrxReportServices* r = GetReportServices()) r->DoNotifyEvent(sender, *name);
        };
    };
    form->OnActivate = notify(&OnActivate);
    form->OnClick = notify(&OnClick);
    form->OnDeactivate = notify(&OnDeactivate);
    form->OnHide = notify(&OnHide);
    form->OnShow = notify(&OnShow);
    form->OnResize = notify(&OnResize);
    form->OnCloseQuery = [this](TObject* sender, bool& canClose) {
        TfrxReportServices* r = GetReportServices();
        if (!r) return;
        Variant v = VarArrayOf({Variant(fsObjectToVariant(sender)), Variant(canClose)});
        r->CallScriptProc(sender, OnCloseQuery, v);
        canClose = v.GetElement({1}).AsBoolean();
    };
    auto keyHandler = [this](const std::string* name) {
        return [this, name](TObject* sender, WORD& key, TShiftState shift) {
            TfrxReportServices* r = GetReportServices();
            if (!r) return;
            Variant v = VarArrayOf({Variant(fsObjectToVariant(sender)), Variant(int32_t(key)),
                Variant(int32_t(frxShiftStateByte(shift)))});
            r->CallScriptProc(sender, *name, v);
            key = WORD(v.GetElement({1}).AsInteger());
        };
    };
    form->OnKeyDown = keyHandler(&OnKeyDown);
    form->OnKeyUp = keyHandler(&OnKeyUp);
    form->OnKeyPress = [this](TObject* sender, char32_t& key) {
        TfrxReportServices* r = GetReportServices();
        if (!r) return;
        Variant v = VarArrayOf({Variant(fsObjectToVariant(sender)), Variant(U32ToUtf8(std::u32string(1, key)))});
        r->CallScriptProc(sender, OnKeyPress, v);
        const std::u32string text = Utf8ToU32(VarToStr(v.GetElement({1})));
        key = text.empty() ? U'\0' : text[0];
    };
}

int TfrxDialogPage::ShowModal() {
    FForm->SetFormStyle(fsNormal);
    auto onTop = OnScopeExit([this] { FForm->SetFormStyle(fsStayOnTop); });
    return FForm->ShowModal();
}
