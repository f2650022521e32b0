#include "grid/editors/dxEditStyle.h"

#include <algorithm>

#include "grid/editors/dxInplaceEdit.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/Shutdown.h"

KAROMIL_IMPLEMENT_CLASS(TdxStyleController, TComponent)

KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TdxEditStyleController, TdxStyleController, {
    KAROMIL_PROP(BorderColor, TypeInfoColor()).Default(clWindowFrame);
    KAROMIL_PROP(BorderStyle).Default(xbs3D);
    KAROMIL_PROP(ButtonStyle).Default(btsDefault);
    KAROMIL_PROP(ButtonTransparence).Default(ebtNone);
    KAROMIL_PROP(Edges);
    KAROMIL_PROP(HotTrack).Default(0);
    KAROMIL_PROP(Shadow).Default(0);
})

KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TdxEditStyle, TPersistent, {
    KAROMIL_PROP(BorderColor, TypeInfoColor()).Stored(&Self::IsBorderColorStored);
    KAROMIL_PROP(BorderStyle).Stored(&Self::IsBorderStyleStored);
    KAROMIL_PROP(ButtonStyle).Stored(&Self::IsButtonStyleStored);
    KAROMIL_PROP(ButtonTransparence).Stored(&Self::IsButtonTransparenceStored);
    KAROMIL_PROP(Edges).Stored(&Self::IsEdgesStored);
    KAROMIL_PROP(HotTrack).Stored(&Self::IsHotTrackStored);
    KAROMIL_PROP(Shadow).Stored(&Self::IsShadowStored);
})

// --- TdxStyleController -------------------------------------------------------------------------

TdxStyleController::TdxStyleController(TComponent* owner) : TComponent(owner) {}

TdxStyleController::~TdxStyleController() = default;

void TdxStyleController::AddLink(TObject* link) { FLinks.push_back(link); }

void TdxStyleController::RemoveLink(TObject* link) {
    auto it = std::find(FLinks.begin(), FLinks.end(), link);
    if (it != FLinks.end()) FLinks.erase(it);
}

void TdxStyleController::LinkChanged(TObject* link) {
    if (OnStyleChanged) OnStyleChanged(this, link);
}

void TdxStyleController::EndUpdate() {
    if (FUpdateLock > 0) --FUpdateLock;
    Changed();
}

void TdxStyleController::Changed() {
    if (FUpdateLock > 0 || GetComponentState().Contains(csLoading)) return;
    // A link may go away while it is told (a repaint that closes an editor): walk a copy and
    // skip what left the list meanwhile.
    const std::vector<TObject*> links = FLinks;
    for (TObject* link : links)
        if (std::find(FLinks.begin(), FLinks.end(), link) != FLinks.end()) LinkChanged(link);
}

void TdxStyleController::Loaded() {
    inherited::Loaded();
    Changed();
}

// --- TdxEditStyleController ---------------------------------------------------------------------

TdxEditStyleController::TdxEditStyleController(TComponent* owner) : TdxStyleController(owner) {}

void TdxEditStyleController::Assign(TPersistent* source) {
    auto* other = dynamic_cast<TdxEditStyleController*>(source);
    if (!other) {
        inherited::Assign(source);
        return;
    }
    BeginUpdate();
    TryFinally(
        [&] {
            SetBorderColor(other->GetBorderColor());
            SetBorderStyle(other->GetBorderStyle());
            SetButtonStyle(other->GetButtonStyle());
            SetButtonTransparence(other->GetButtonTransparence());
            SetEdges(other->GetEdges());
            SetHotTrack(other->GetHotTrack());
            SetShadow(other->GetShadow());
        },
        [&] { EndUpdate(); });
}

void TdxEditStyleController::RestoreDefaults() {
    BeginUpdate();
    TryFinally(
        [&] {
            SetBorderColor(clWindowFrame);
            SetBorderStyle(xbs3D);
            SetButtonStyle(btsDefault);
            SetButtonTransparence(ebtNone);
            SetEdges(dxAllEdges());
            SetHotTrack(false);
            SetShadow(false);
        },
        [&] { EndUpdate(); });
}

void TdxEditStyleController::LinkChanged(TObject* link) {
    auto* edit = dynamic_cast<TdxInplaceEdit*>(link);
    if (!edit) {
        inherited::LinkChanged(link);
        return;
    }
    // An editor that names another controller does not follow this one.
    if (edit->GetStyleController() && edit->GetStyleController() != this) return;
    edit->StyleChanged();
    inherited::LinkChanged(link);
}

#define DX_CONTROLLER_SETTER(Name, Type)             \
    void TdxEditStyleController::Set##Name(Type v) { \
        if (v == F##Name) return;                    \
        F##Name = v;                                 \
        Changed();                                   \
    }
DX_CONTROLLER_SETTER(BorderColor, TColor)
DX_CONTROLLER_SETTER(BorderStyle, TdxEditBorderStyle)
DX_CONTROLLER_SETTER(ButtonStyle, TdxEditButtonViewStyle)
DX_CONTROLLER_SETTER(ButtonTransparence, TdxEditButtonTransparence)
DX_CONTROLLER_SETTER(Edges, TdxEditEdges)
DX_CONTROLLER_SETTER(HotTrack, bool)
DX_CONTROLLER_SETTER(Shadow, bool)
#undef DX_CONTROLLER_SETTER

// --- the default controller ---------------------------------------------------------------------

namespace {
TdxEditStyleController* gDefaultController = nullptr;
}

TdxEditStyleController* dxDefaultEditStyleController() {
    // Made when first asked for and freed with the process's other shared objects.
    static const bool made = [] {
        gDefaultController = new TdxEditStyleController(nullptr);
        AddShutdownHook([] {
            delete gDefaultController;
            gDefaultController = nullptr;
        });
        return true;
    }();
    (void)made;
    return gDefaultController;
}

// --- TdxEditStyle -------------------------------------------------------------------------------

TdxEditStyle::TdxEditStyle(TdxInplaceEdit* edit) : FEdit(edit) {
    FLinkedDefault = GetDefaultStyleController();
    if (FLinkedDefault && FEdit) FLinkedDefault->AddLink(FEdit);
}

TdxEditStyle::~TdxEditStyle() {
    // The default controller may be gone already at the very end of the process.
    if (FLinkedDefault && FEdit && FLinkedDefault == dxDefaultEditStyleController()) FLinkedDefault->RemoveLink(FEdit);
}

void TdxEditStyle::Assign(TPersistent* source) {
    auto* other = dynamic_cast<TdxEditStyle*>(source);
    if (!other) {
        inherited::Assign(source);
        return;
    }
    SetBorderColor(other->GetBorderColor());
    SetBorderStyle(other->GetBorderStyle());
    SetButtonStyle(other->GetButtonStyle());
    SetButtonTransparence(other->GetButtonTransparence());
    SetEdges(other->GetEdges());
    SetHotTrack(other->GetHotTrack());
    SetShadow(other->GetShadow());
}

void TdxEditStyle::SetAssignedValues(TdxEditStyleValues v) {
    if (v == FAssignedValues) return;
    FAssignedValues = v;
    Changed();
}

void TdxEditStyle::RestoreDefaults() {
    FAssignedValues = TdxEditStyleValues{};
    Changed();
}

void TdxEditStyle::Changed() {
    if (FEdit) FEdit->StyleChanged();
}

TdxEditStyleController* TdxEditStyle::FallbackController() const {
    if (FEdit && FEdit->GetStyleController()) return FEdit->GetStyleController();
    return GetDefaultStyleController();
}

template <class T>
void TdxEditStyle::SetValue(TdxEditStyleValue which, T& field, const T& value) {
    if (FAssignedValues.Contains(which) && field == value) return;
    field = value;
    FAssignedValues.Include(which);
    Changed();
}

#define DX_STYLE_VALUE(Name, Type, Member, Constant)                                                                 \
    Type TdxEditStyle::Get##Name() const { return FAssignedValues.Contains(Member) ? F##Name : GetDefault##Name(); } \
    void TdxEditStyle::Set##Name(Type v) { SetValue(Member, F##Name, v); }                                           \
    Type TdxEditStyle::GetDefault##Name() const {                                                                    \
        if (TdxEditStyleController* c = FallbackController()) return c->Get##Name();                                 \
        return Constant;                                                                                             \
    }
DX_STYLE_VALUE(BorderColor, TColor, svBorderColor, clWindowFrame)
DX_STYLE_VALUE(BorderStyle, TdxEditBorderStyle, svBorderStyle, xbs3D)
DX_STYLE_VALUE(ButtonStyle, TdxEditButtonViewStyle, svButtonStyle, btsDefault)
DX_STYLE_VALUE(ButtonTransparence, TdxEditButtonTransparence, svButtonTransparence, ebtNone)
DX_STYLE_VALUE(Edges, TdxEditEdges, svEdges, dxAllEdges())
DX_STYLE_VALUE(HotTrack, bool, svHotTrack, false)
DX_STYLE_VALUE(Shadow, bool, svShadow, false)
#undef DX_STYLE_VALUE
