#include "report/core/frxClass.h"

#include <algorithm>
#include <cassert>
#include <functional>
#include <cmath>
#include <set>
#include <vector>

#include "platform/classes/ClassRegistry.h"
#include "platform/classes/Streams.h"
#include "platform/classes/StringList.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/Strings.h"
#include "platform/rtl/SysUtils.h"
#include "report/core/frxRes.h"
#include "report/core/frxServices.h"
#include "report/core/frxXML.h"
#include "report/core/frxXMLSerializer.h"

KAROMIL_IMPLEMENT_CLASS(TfrxComponent, TComponent)
KAROMIL_IMPLEMENT_CLASS(TfrxReportComponent, TfrxComponent)

namespace {
// The flags of the DesignCreate now constructing an object (the GUI thread builds objects).
struct TDesignCreateState {
    bool Active = false;
    uint16_t Flags = 0;
};
TDesignCreateState gDesignCreate;

TComponent* OwnerFor(TComponent* owner) {
    if (auto* c = dynamic_cast<TfrxComponent*>(owner)) return c->GetReportRoot();
    return owner;
}

std::string FloatText(double v) { return FloatToStr(v); }
bool Differs(double a, double b) { return std::fabs(a - b) > 0.0001; }
}  // namespace

// --- TfrxComponent -------------------------------------------------------------------------

TfrxComponent::TfrxComponent(TComponent* owner) : TComponent(OwnerFor(owner)) {
    if (gDesignCreate.Active) {
        InDesigner = true;
        FDesignFlags = gDesignCreate.Flags;
        gDesignCreate.Active = false;
    }
    FFont = std::make_unique<TFont>();
    FFont->SetName("Arial");
    FFont->SetSize(10);
    FFont->SetColor(clBlack);
    FFont->SetCharset(1);
    FFont->OnChange = [this](TObject*) { FontChanged(); };
    if (auto* parent = dynamic_cast<TfrxComponent*>(owner)) SetParent(parent);
}

TfrxComponent::~TfrxComponent() {
    SetParent(nullptr);
    TfrxComponent::Clear();
    FFont->OnChange = nullptr;
}

TfrxComponent* TfrxComponent::DesignCreate(TClass c, TComponent* owner, uint16_t flags) {
    gDesignCreate = {true, flags};
    auto reset = OnScopeExit([] { gDesignCreate = {}; });
    auto* obj = dynamic_cast<TfrxComponent*>(c->CreateComponent(owner));
    assert(obj && "DesignCreate builds report objects");
    return obj;
}

std::string TfrxComponent::GetNamePrefix() const {
    if (!NamePrefix.empty()) return NamePrefix;
    std::string s = ClassName();
    if (size_t p = s.find("Tfrx"); p != std::string::npos) s.erase(p, 4);
    if (size_t p = s.find("View"); p != std::string::npos) s.erase(p, 4);
    return s;
}

void TfrxComponent::SetParent(TfrxComponent* parent) {
    if (parent != FParent) {
        if (FParent) FParent->FObjects->Remove(this);
        if (parent) parent->FObjects->Add(this);
    }
    FParent = parent;
    if (FParent) SetParentFont(FParentFont);
}

TList* TfrxComponent::GetAllObjects() {
    FAllObjects->Clear();
    std::function<void(TfrxComponent*)> walk = [&](TfrxComponent* c) {
        for (int i = 0; i < c->ChildCount(); ++i) {
            FAllObjects->Add(c->Child(i));
            walk(c->Child(i));
        }
    };
    walk(this);
    return FAllObjects.get();
}

TfrxComponent* TfrxComponent::FindObject(const std::string& name) {
    TList* all = GetAllObjects();
    for (int i = 0; i < all->Count(); ++i) {
        auto* c = static_cast<TfrxComponent*>(all->Items(i));
        if (AnsiSameText(c->GetName(), name)) return c;
    }
    return nullptr;
}

void TfrxComponent::CreateUniqueName() {
    TfrxComponent* root = GetReportRoot();
    if (!root) root = FParent;
    std::set<std::string> names;
    if (root) {
        TList* all = root->GetAllObjects();
        for (int i = 0; i < all->Count(); ++i)
            names.insert(AnsiLowerCase(static_cast<TfrxComponent*>(all->Items(i))->GetName()));
    }
    const std::string prefix = GetNamePrefix();
    for (int i = 1;; ++i) {
        std::string candidate = prefix + std::to_string(i);
        if (!names.count(AnsiLowerCase(candidate))) {
            SetName(candidate);
            return;
        }
    }
}

TfrxComponent* TfrxComponent::GetPage() const {
    for (auto* c = const_cast<TfrxComponent*>(this); c; c = c->FParent)
        if (c->IsPage()) return c;
    return nullptr;
}

TfrxComponent* TfrxComponent::GetReportRoot() const {
    for (auto* c = const_cast<TfrxComponent*>(this); c; c = c->FParent)
        if (c->OwnReportServices()) return c;
    return nullptr;
}

TfrxReportServices* TfrxComponent::GetReportServices() const {
    for (auto* c = const_cast<TfrxComponent*>(this); c; c = c->FParent)
        if (TfrxReportServices* services = c->OwnReportServices()) return services;
    return nullptr;
}

void TfrxComponent::Clear() {
    // Sound: the objects going are first let go by their owner (the report) all at once, with
    // a notice each to what stays; one by one, every removal told every object of the report,
    // so clearing a large report before a load took quadratic time. References among the
    // objects going are cleared by their free-notification links as they are destroyed.
    if (FObjects->Count() > 0) {
        std::vector<TComponent*> owned;
        TComponent* owner = nullptr;
        std::vector<TfrxComponent*> pending{this};
        while (!pending.empty()) {
            TfrxComponent* c = pending.back();
            pending.pop_back();
            for (int i = 0; i < c->ChildCount(); ++i) {
                TfrxComponent* child = c->Child(i);
                if (!owner) owner = child->GetOwner();
                if (owner && child->GetOwner() == owner) owned.push_back(child);
                pending.push_back(child);
            }
        }
        if (owner && owned.size() > 1) owner->ReleaseComponents(owned);
    }
    while (FObjects->Count() > 0) delete Child(0);  // each child leaves the list as it goes
}

void TfrxComponent::SetLeft(double value) {
    if (!InDesigner || !FRestrictions.Contains(rfDontMove)) FLeft = value;
}
void TfrxComponent::SetTop(double value) {
    if (!InDesigner || !FRestrictions.Contains(rfDontMove)) FTop = value;
}
void TfrxComponent::SetWidth(double value) {
    if (!InDesigner || !FRestrictions.Contains(rfDontSize)) FWidth = value;
}
void TfrxComponent::SetHeight(double value) {
    if (!InDesigner || !FRestrictions.Contains(rfDontSize)) FHeight = value;
}

void TfrxComponent::SetBounds(double left, double top, double width, double height) {
    SetLeft(left);
    SetTop(top);
    SetWidth(width);
    SetHeight(height);
}

double TfrxComponent::GetAbsLeft() const {
    return FLeft + (FParent && !FParent->IsDialogPage() ? FParent->GetAbsLeft() : 0.0);
}
double TfrxComponent::GetAbsTop() const {
    return FTop + (FParent && !FParent->IsDialogPage() ? FParent->GetAbsTop() : 0.0);
}

void TfrxComponent::SetFont(TFont* value) {
    FFont->Assign(value);
    FParentFont = false;
}

void TfrxComponent::SetParentFont(bool value) {
    if (value && FParent) SetFont(FParent->GetFont());
    FParentFont = value;
}

void TfrxComponent::SetVisible(bool value) { FVisible = value; }

void TfrxComponent::FontChanged() {
    FParentFont = false;
    for (int i = 0; i < ChildCount(); ++i)
        if (Child(i)->GetParentFont()) Child(i)->SetParentFont(true);
}

void TfrxComponent::SetName(const std::string& newName) {
    if (!newName.empty() && newName != GetName() && !FNameKnownUnique)
        if (TfrxComponent* report = GetReportRoot()) {
            TfrxComponent* other = report->FindObject(newName);
            if (other && other != this) throw Exception(frxGetResources()->Get("prDupl"));
        }
    TComponent::SetName(newName);
}

void TfrxComponent::SetNameKnownUnique(const std::string& newName) {
    TRollback<bool> known(FNameKnownUnique, true);
    SetName(newName);
}

void TfrxComponent::Assign(TPersistent* source) {
    auto* src = dynamic_cast<TfrxComponent*>(source);
    if (!src) return;
    TMemoryStream ms;
    src->SaveToStream(&ms, false, true);
    ms.SetPosition(0);
    LoadFromStream(&ms);
}

void TfrxComponent::AssignAll(TfrxComponent* source) {
    if (!source) return;
    TMemoryStream ms;
    source->SaveToStream(&ms, true, true);
    ms.SetPosition(0);
    LoadFromStream(&ms);
}

void TfrxComponent::LoadFromStream(TStream* stream) {
    const std::string savedName = GetName();
    Clear();
    TfrxXMLSerializer serializer(stream);
    TfrxReportServices* report = GetReportServices();
    // Sound: the report's serializer link is put back as it was, not cleared, so that a load
    // nested in the report's own load does not cut the outer one off.
    TfrxXMLSerializer* savedLink = report ? report->GetLoadSerializer() : nullptr;
    if (report) report->SetLoadSerializer(&serializer);
    ChangeName("");
    serializer.LookupRoot = GetReportRoot();
    auto restore = OnScopeExit([&] {
        if (report) {
            report->GetErrorList()->AddStrings(serializer.ErrorList());
            report->SetLoadSerializer(savedLink);
        }
        ChangeName(savedName);
    });
    serializer.ReadTree(this);
}

void TfrxComponent::SaveToStream(TStream* stream, bool saveChildren, bool saveDefaultValues) {
    const std::string savedName = GetName();
    ChangeName("");
    auto restore = OnScopeExit([&] { ChangeName(savedName); });
    TfrxXMLSerializer serializer(stream);
    serializer.SaveDefaultValues = saveDefaultValues;
    TfrxComponent* root = GetReportRoot();
    serializer.LookupRoot = root ? root : this;
    serializer.WriteTree(this, saveChildren);
}

std::string TfrxComponent::Diff(TfrxComponent* templ) {
    std::string s;
    if (GetAlign() == baNone && Differs(FLeft, templ->FLeft)) s += " l=\"" + FloatText(FLeft) + "\"";
    if (IsBand() || Differs(FTop, templ->FTop)) s += " t=\"" + FloatText(FTop) + "\"";
    if (!IsAutoWidth() && Differs(FWidth, templ->FWidth)) s += " w=\"" + FloatText(FWidth) + "\"";
    if (Differs(FHeight, templ->FHeight)) s += " h=\"" + FloatText(FHeight) + "\"";
    if (FVisible != templ->FVisible) s += std::string(" Visible=\"") + (FVisible ? "1" : "0") + "\"";
    if (!FParentFont) s += FontAttrDiff(FFont.get(), templ->FFont.get(), " ");
    if (FParentFont != templ->FParentFont) s += std::string(" ParentFont=\"") + (FParentFont ? "1" : "0") + "\"";
    if (GetTag() != templ->GetTag()) s += " Tag=\"" + IntToStr(GetTag()) + "\"";
    return s;
}

std::string TfrxComponent::FontAttrDiff(TFont* font, TFont* templateFont, const std::string& prefix) {
    std::string s;
    if (font->GetName() != templateFont->GetName()) s += prefix + "Font.Name=\"" + frxEscapeXML(font->GetName()) + "\"";
    if (font->GetSize() != templateFont->GetSize()) s += prefix + "Font.Size=\"" + IntToStr(font->GetSize()) + "\"";
    if (font->GetColor() != templateFont->GetColor())
        s += prefix + "Font.Color=\"" + IntToStr(int64_t(font->GetColor())) + "\"";
    if (!(font->GetStyle() == templateFont->GetStyle()))
        s += prefix + "Font.Style=\"" + IntToStr(font->GetStyle().Mask()) + "\"";
    if (font->GetCharset() != templateFont->GetCharset())
        s += prefix + "Font.Charset=\"" + IntToStr(font->GetCharset()) + "\"";
    return s;
}

std::string TfrxComponent::StoredPropsDiff(TfrxComponent* templ) {
    TStringStream ss;
    TfrxXMLSerializer serializer(&ss);
    serializer.LookupRoot = GetReportRoot();
    serializer.WriteComponent(this);
    std::string s = ss.DataString();
    const size_t blank = s.find(' ');
    if (blank == std::string::npos) s.clear();
    else {
        s.erase(0, blank + 1);
        if (s.size() >= 2 && s.compare(s.size() - 2, 2, "/>") == 0) s.resize(s.size() - 2);
    }
    if (templ) s += " " + Diff(templ);
    return s;
}

void TfrxComponent::AlignChildren() {
    std::vector<TfrxComponent*> views;
    for (int i = 0; i < ChildCount(); ++i)
        if (Child(i)->IsView()) views.push_back(Child(i));
    // Sound: views are ordered from left to right by their Left to two decimals, equal keys
    // in child order; the text keys this replaces put views left of 0 by their distance from
    // 0 (-5 before -10) and left equal keys in no stable order.
    std::stable_sort(views.begin(), views.end(), [](TfrxComponent* a, TfrxComponent* b) {
        return std::llround(a->GetLeft() * 100) < std::llround(b->GetLeft() * 100);
    });
    auto overlap = [](TfrxComponent* a, TfrxComponent* b) {
        return !(
            a->GetAbsTop() >= b->GetAbsTop() + b->GetHeight() || b->GetAbsTop() >= a->GetAbsTop() + a->GetHeight());
    };
    const int n = int(views.size());
    for (int i = 0; i < n; ++i) {
        TfrxComponent* v = views[size_t(i)];
        const TfrxAlign a = v->GetAlign();
        if (a != baLeft && a != baWidth) continue;
        TfrxComponent* neighbour = nullptr;
        for (int j = i - 1; j >= 0 && !neighbour; --j) {
            TfrxComponent* c = views[size_t(j)];
            if (overlap(v, c) && (a != baWidth || c->GetLeft() <= v->GetLeft())) neighbour = c;
        }
        v->SetLeft(neighbour ? neighbour->GetLeft() + neighbour->GetWidth() : 0);
    }
    for (int i = n - 1; i >= 0; --i) {
        TfrxComponent* v = views[size_t(i)];
        const TfrxAlign a = v->GetAlign();
        if (a != baRight && a != baWidth) continue;
        TfrxComponent* neighbour = nullptr;
        for (int j = i + 1; j < n && !neighbour; ++j) {
            TfrxComponent* c = views[size_t(j)];
            if (overlap(v, c) && (a != baWidth || v->GetLeft() + v->GetWidth() <= c->GetLeft() + c->GetWidth()))
                neighbour = c;
        }
        if (a == baRight) v->SetLeft((neighbour ? neighbour->GetLeft() : GetWidth()) - v->GetWidth());
        else v->SetWidth((neighbour ? neighbour->GetLeft() : GetWidth()) - v->GetLeft());
    }
    for (int i = 0; i < ChildCount(); ++i) {
        TfrxComponent* c = Child(i);
        if (!c->IsView()) continue;
        switch (c->GetAlign()) {
        case baCenter: c->SetLeft((GetWidth() - c->GetWidth()) / 2); break;
        case baBottom: c->SetTop(GetHeight() - c->GetHeight()); break;
        case baClient: c->SetBounds(0, 0, GetWidth(), GetHeight()); break;
        default: break;
        }
    }
}

void TfrxComponent::GetChildren(const TGetChildProc& proc, TComponent*) {
    for (int i = 0; i < ChildCount(); ++i) proc(Child(i));
}

// --- TfrxReportComponent -------------------------------------------------------------------

void TfrxReportComponent::BeforePrint() {
    FSavedBounds[0] = GetLeft();
    FSavedBounds[1] = GetTop();
    FSavedBounds[2] = GetWidth();
    FSavedBounds[3] = GetHeight();
}

void TfrxReportComponent::AfterPrint() {
    SetBounds(FSavedBounds[0], FSavedBounds[1], FSavedBounds[2], FSavedBounds[3]);
}
