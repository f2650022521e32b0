#include "report/core/frxDialog.h"

#include <cmath>

#include "platform/classes/Filer.h"
#include "platform/gui/Bitmaps.h"
#include "platform/gui/Forms.h"
#include "platform/gui/ImageList.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/Shutdown.h"
#include "report/core/frxDialogPage.h"
#include "report/core/frxDialogForm.h"
#include "report/core/frxRes.h"
#include "report/core/frxServices.h"
#include "script/Interpreter.h"

KAROMIL_IMPLEMENT_CLASS(TfrxDialogComponent, TfrxReportComponent)
KAROMIL_IMPLEMENT_PUBLISHED_CLASS(TfrxDialogControl, TfrxReportComponent)

namespace {
int Round(double v) { return int(std::nearbyint(v)); }

std::unique_ptr<TCustomForm>& HiddenHost() {
    static std::unique_ptr<TCustomForm> host;
    return host;
}
}  // namespace

TCustomForm* frxHiddenHostForm() {
    auto& host = HiddenHost();
    if (!host) {
        host = std::make_unique<TForm>(nullptr);
        AddShutdownHook(frxFreeHiddenHostForm);
    }
    return host.get();
}

void frxFreeHiddenHostForm() {
    auto& host = HiddenHost();
    if (!host) return;
    while (host->ControlCount() > 0) host->Controls(host->ControlCount() - 1)->SetParent(nullptr);
    host.reset();
}

uint8_t frxShiftStateByte(TShiftState shift) { return uint8_t(shift.Mask() & 0xFF); }

// --- TfrxDialogComponent ---------------------------------------------------------------------

TfrxDialogComponent::TfrxDialogComponent(TComponent* owner) : TfrxReportComponent(owner) {
    TfrxComponent::SetWidth(28);
    TfrxComponent::SetHeight(28);
}

TfrxDialogComponent::~TfrxDialogComponent() = default;

void TfrxDialogComponent::DefineProperties(TFiler* filer) {
    TfrxReportComponent::DefineProperties(filer);
    const bool inReport = GetReportRoot() != nullptr;
    filer->DefineProperty(
        "pLeft", [this](TReader* r) { SetLeft(r->ReadInteger()); },
        [this](TWriter* w) { w->WriteInteger(Round(GetLeft())); }, inReport);
    filer->DefineProperty(
        "pTop", [this](TReader* r) { SetTop(r->ReadInteger()); },
        [this](TWriter* w) { w->WriteInteger(Round(GetTop())); }, inReport);
}

void TfrxDialogComponent::Draw(TCanvas* canvas, double, double, double, double) {
    SetWidth(28);
    SetHeight(28);
    TRect r = Bounds(Round(GetLeft()), Round(GetTop()), 28, 28);
    canvas->Brush()->SetColor(clBtnFace);
    canvas->Brush()->SetStyle(bsSolid);
    canvas->FillRect(r);
    DrawEdge(canvas, r, EDGE_RAISED, BF_RECT);
    // A bitmap of its own for every dialog component but the user datasets, made on first use
    // (while the base constructor runs the object is not yet of its final class).
    if (!FBitmap && DrawsOwnBitmap()) {
        FBitmap = std::make_unique<TBitmap>();
        FBitmap->SetWidth(22);
        FBitmap->SetHeight(22);
        FBitmap->Canvas()->Brush()->SetColor(clBtnFace);
        FBitmap->Canvas()->FillRect(Rect(0, 0, 22, 22));
    }
    if (FBitmap) {
        if (ImageIndex != -1) frxGetResources()->GetObjectImages()->Draw(FBitmap->Canvas(), 0, 0, ImageIndex);
        canvas->Draw(r.Left + 3, r.Top + 3, FBitmap.get());
    }
    canvas->Font()->SetName("Tahoma");
    canvas->Font()->SetSize(8);
    canvas->Font()->SetColor(clBlack);
    canvas->Font()->SetStyle({});
    canvas->Brush()->SetStyle(bsClear);
    const std::string name = GetName();
    canvas->TextOut(r.Left - (canvas->TextWidth(name) - 28) / 2, r.Bottom + 4, name);
}

// --- TfrxDialogControl -----------------------------------------------------------------------

TfrxDialogControl::TfrxDialogControl(TComponent* owner) : TfrxReportComponent(owner) {}

TfrxDialogControl::~TfrxDialogControl() {
    // The control goes after the rest of the object; its events must not reach us meanwhile.
    TControl* control = FControl;
    FControl = nullptr;
    if (control) {
        control->OnClick = nullptr;
        control->OnDblClick = nullptr;
        control->OnMouseDown = nullptr;
        control->OnMouseMove = nullptr;
        control->OnMouseUp = nullptr;
        if (auto* w = dynamic_cast<TWinControl*>(control)) {
            w->OnEnter = nullptr;
            w->OnExit = nullptr;
            w->OnKeyDown = nullptr;
            w->OnKeyPress = nullptr;
            w->OnKeyUp = nullptr;
        }
        delete control;
    }
}

void TfrxDialogControl::InitControl(TControl* control) {
    FControl = control;
    control->OnClick = [this](TObject* s) { DoClick(s); };
    control->OnDblClick = [this](TObject* s) { DoDblClick(s); };
    control->OnMouseDown = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
        DoMouseDown(s, b, sh, x, y);
    };
    control->OnMouseMove = [this](TObject* s, TShiftState sh, int x, int y) { DoMouseMove(s, sh, x, y); };
    control->OnMouseUp = [this](
                             TObject* s, TMouseButton b, TShiftState sh, int x, int y) { DoMouseUp(s, b, sh, x, y); };
    if (auto* w = dynamic_cast<TWinControl*>(control)) {
        w->OnEnter = [this](TObject* s) { DoEnter(s); };
        w->OnExit = [this](TObject* s) { DoExit(s); };
        w->OnKeyDown = [this](TObject* s, WORD& key, TShiftState sh) { DoKeyDown(s, key, sh); };
        w->OnKeyPress = [this](TObject* s, char32_t& key) { DoKeyPress(s, key); };
        w->OnKeyUp = [this](TObject* s, WORD& key, TShiftState sh) { DoKeyUp(s, key, sh); };
    }
    control->SetBounds(Round(GetLeft()), Round(GetTop()), Round(GetWidth()), Round(GetHeight()));
    SetParent(GetParent());
}

bool TfrxDialogControl::GetEnabled() const { return FControl ? FControl->GetEnabled() : true; }
void TfrxDialogControl::SetEnabled(bool value) {
    if (FControl) FControl->SetEnabled(value);
}
std::string TfrxDialogControl::GetCaption() const { return FControl ? FControl->GetText() : std::string(); }
void TfrxDialogControl::SetCaption(const std::string& value) {
    if (FControl) FControl->SetText(value);
}
TColor TfrxDialogControl::GetColor() const { return FControl ? FControl->GetColor() : clBtnFace; }
void TfrxDialogControl::SetColor(TColor value) {
    if (FControl) FControl->SetColor(value);
}

void TfrxDialogControl::SetParent(TfrxComponent* parent) {
    TfrxReportComponent::SetParent(parent);
    if (!FControl) return;
    TWinControl* window = nullptr;
    if (auto* c = dynamic_cast<TfrxDialogControl*>(parent)) window = dynamic_cast<TWinControl*>(c->Control());
    else if (auto* page = dynamic_cast<TfrxDialogPage*>(parent)) window = page->Form();
    if (!window) window = frxHiddenHostForm();
    FControl->SetParent(window);
}

void TfrxDialogControl::SetLeft(double value) {
    TfrxReportComponent::SetLeft(value);
    if (FControl) FControl->SetLeft(Round(GetLeft()));
}
void TfrxDialogControl::SetTop(double value) {
    TfrxReportComponent::SetTop(value);
    if (FControl) FControl->SetTop(Round(GetTop()));
}
void TfrxDialogControl::SetWidth(double value) {
    TfrxReportComponent::SetWidth(value);
    if (FControl) FControl->SetWidth(Round(GetWidth()));
}
void TfrxDialogControl::SetHeight(double value) {
    TfrxReportComponent::SetHeight(value);
    if (FControl) FControl->SetHeight(Round(GetHeight()));
}
void TfrxDialogControl::SetVisible(bool value) {
    TfrxReportComponent::SetVisible(value);
    if (FControl) FControl->SetVisible(value);
}
void TfrxDialogControl::SetParentFont(bool value) {
    TfrxReportComponent::SetParentFont(value);
    if (FControl) FControl->SetParentFont(value);
}
void TfrxDialogControl::FontChanged() {
    TfrxReportComponent::FontChanged();
    if (FControl) FControl->SetFont(GetFont());
}

void TfrxDialogControl::Draw(TCanvas* canvas, double, double, double, double) {
    if (!FControl) return;
    TBitmap bmp;
    bmp.SetWidth(Round(GetWidth()));
    bmp.SetHeight(Round(GetHeight()));
    bmp.Canvas()->Brush()->SetColor(clBtnFace);
    bmp.Canvas()->FillRect(Rect(0, 0, bmp.GetWidth(), bmp.GetHeight()));
    canvas->Lock();
    {
        auto unlock = OnScopeExit([canvas] { canvas->Unlock(); });
        FControl->PaintTo(bmp.Canvas(), 0, 0);
    }
    canvas->Draw(Round(GetAbsLeft()), Round(GetAbsTop()), &bmp);
}

// --- events: only in a report, and through the report's script calls -----------------------

void TfrxDialogControl::DoClick(TObject*) {
    if (TfrxReportServices* r = GetReportServices()) r->DoNotifyEvent(this, OnClick);
}
void TfrxDialogControl::DoDblClick(TObject*) {
    if (TfrxReportServices* r = GetReportServices()) r->DoNotifyEvent(this, OnDblClick);
}
void TfrxDialogControl::DoEnter(TObject*) {
    if (TfrxReportServices* r = GetReportServices()) r->DoNotifyEvent(this, OnEnter);
}
void TfrxDialogControl::DoExit(TObject*) {
    if (TfrxReportServices* r = GetReportServices()) r->DoNotifyEvent(this, OnExit);
}

void TfrxDialogControl::DoKeyDown(TObject*, uint16_t& key, TShiftState shift) {
    TfrxReportServices* r = GetReportServices();
    if (!r) return;
    Variant v = VarArrayOf(
        {Variant(fsObjectToVariant(this)), Variant(int32_t(key)), Variant(int32_t(frxShiftStateByte(shift)))});
    r->CallScriptProc(this, OnKeyDown, v);
    key = uint16_t(v.GetElement({1}).AsInteger());
}
void TfrxDialogControl::DoKeyUp(TObject*, uint16_t& key, TShiftState shift) {
    TfrxReportServices* r = GetReportServices();
    if (!r) return;
    Variant v = VarArrayOf(
        {Variant(fsObjectToVariant(this)), Variant(int32_t(key)), Variant(int32_t(frxShiftStateByte(shift)))});
    r->CallScriptProc(this, OnKeyUp, v);
    key = uint16_t(v.GetElement({1}).AsInteger());
}
void TfrxDialogControl::DoKeyPress(TObject*, char32_t& key) {
    TfrxReportServices* r = GetReportServices();
    if (!r) return;
    Variant v = VarArrayOf({Variant(fsObjectToVariant(this)), Variant(U32ToUtf8(std::u32string(1, key)))});
    r->CallScriptProc(this, OnKeyPress, v);
    const std::u32string text = Utf8ToU32(VarToStr(v.GetElement({1})));
    key = text.empty() ? U'\0' : text[0];
}
void TfrxDialogControl::DoMouseDown(TObject*, TMouseButton button, TShiftState shift, int x, int y) {
    if (TfrxReportServices* r = GetReportServices()) {
        Variant v = VarArrayOf({Variant(fsObjectToVariant(this)), Variant(int32_t(button)),
            Variant(int32_t(frxShiftStateByte(shift))), Variant(int32_t(x)), Variant(int32_t(y))});
        r->CallScriptProc(this, OnMouseDown, v);
    }
}
void TfrxDialogControl::DoMouseMove(TObject*, TShiftState shift, int x, int y) {
    if (TfrxReportServices* r = GetReportServices()) {
        Variant v = VarArrayOf({Variant(fsObjectToVariant(this)), Variant(int32_t(frxShiftStateByte(shift))),
            Variant(int32_t(x)), Variant(int32_t(y))});
        r->CallScriptProc(this, OnMouseMove, v);
    }
}
void TfrxDialogControl::DoMouseUp(TObject*, TMouseButton button, TShiftState shift, int x, int y) {
    if (TfrxReportServices* r = GetReportServices()) {
        Variant v = VarArrayOf({Variant(fsObjectToVariant(this)), Variant(int32_t(button)),
            Variant(int32_t(frxShiftStateByte(shift))), Variant(int32_t(x)), Variant(int32_t(y))});
        r->CallScriptProc(this, OnMouseUp, v);
    }
}
