#include "platform/classes/Component.h"

#include "platform/rtl/Strings.h"

#include <algorithm>
#include <unordered_set>

#include "platform/classes/Filer.h"
#include "platform/rtl/Exceptions.h"

KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TComponent, TPersistent, {
    p.Prop("Name", &Self::GetName, &Self::SetName, TypeInfoComponentName()).Stored(false);
    KAROMIL_PROP(Tag).Default(0);
})

namespace {
bool IsAsciiAlpha(char c) noexcept { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }
bool IsAsciiDigit(char c) noexcept { return c >= '0' && c <= '9'; }
}  // namespace

bool IsValidIdent(const std::string& ident) noexcept {
    if (ident.empty() || !IsAsciiAlpha(ident[0])) return false;
    return std::all_of(ident.begin() + 1, ident.end(), [](char c) { return IsAsciiAlpha(c) || IsAsciiDigit(c); });
}

TComponent::TComponent(TComponent* owner) {
    if (owner) owner->InsertComponent(this);
}

TComponent::~TComponent() {
    Destroying();
    // Scripts holding our handle must see nil from here on, not a half-destroyed component.
    ReleaseHandle();
    while (!FFreeNotifies.empty()) {
        TComponent* other = FFreeNotifies.back();
        FFreeNotifies.pop_back();
        other->RemoveNotification(this);
        other->Notification(this, opRemove);
    }
    DestroyComponents();
    if (FOwner) FOwner->RemoveComponent(this);
}

// --- ownership ---------------------------------------------------------------------------------

TComponent* TComponent::GetComponent(int index) const {
    if (index < 0 || index >= GetComponentCount())
        throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    return FComponents[size_t(index)];
}

int TComponent::GetComponentIndex() const {
    if (!FOwner) return -1;
    const auto& list = FOwner->FComponents;
    return int(std::find(list.begin(), list.end(), this) - list.begin());
}

void TComponent::SetComponentIndex(int index) {
    if (!FOwner) return;
    auto& list = FOwner->FComponents;
    const int count = int(list.size());
    index = std::clamp(index, 0, count - 1);
    const int current = GetComponentIndex();
    if (current == index) return;
    list.erase(list.begin() + current);
    list.insert(list.begin() + index, this);
}

TComponent* TComponent::FindComponent(const std::string& name) const {
    if (name.empty() || !FNameCounts.count(UpperCase(name))) return nullptr;
    for (TComponent* c : FComponents)
        if (SameText(c->FName, name)) return c;
    return nullptr;
}

void TComponent::InsertComponent(TComponent* component) {
    if (!component || component->FOwner == this) return;
    ValidateInsert(component);
    ValidateRename(component, std::string(), component->FName);
    // A component belongs to one owner; taking it over must not leave it in two lists.
    if (component->FOwner) component->FOwner->RemoveComponent(component);
    Insert(component);
    if (FComponentState.Contains(csDesigning)) component->SetDesigning(true);
    Notification(component, opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
    if (!component || component->FOwner != this) return;
    Notification(component, opRemove);
    Remove(component);
}

void TComponent::ReleaseComponents(const std::vector<TComponent*>& components) {
    std::unordered_set<TComponent*> gone;
    for (TComponent* c : components)
        if (c && c->FOwner == this) gone.insert(c);
    if (gone.empty()) return;
    std::vector<TComponent*> removed;
    removed.reserve(gone.size());
    std::erase_if(FComponents, [&](TComponent* c) {
        if (!gone.count(c)) return false;
        removed.push_back(c);
        return true;
    });
    for (TComponent* c : removed) {
        ++FRemovals;
        if (!c->FName.empty()) {
            auto count = FNameCounts.find(UpperCase(c->FName));
            if (count != FNameCounts.end() && --count->second == 0) FNameCounts.erase(count);
        }
        c->FOwner = nullptr;
    }
    for (TComponent* c : removed) Notification(c, opRemove);
}

void TComponent::DestroyComponents() {
    while (!FComponents.empty()) {
        TComponent* last = FComponents.back();
        Remove(last);
        last->BeforeDestruction();
        delete last;
    }
}

void TComponent::Insert(TComponent* component) {
    FComponents.push_back(component);
    component->FOwner = this;
    if (!component->FName.empty()) ++FNameCounts[UpperCase(component->FName)];
}

void TComponent::Remove(TComponent* component) {
    // Searched from the end: components mostly go in the reverse order of their coming.
    auto it = std::find(FComponents.rbegin(), FComponents.rend(), component);
    if (it != FComponents.rend()) {
        FComponents.erase(std::next(it).base());
        ++FRemovals;
        if (!component->FName.empty()) {
            auto count = FNameCounts.find(UpperCase(component->FName));
            if (count != FNameCounts.end() && --count->second == 0) FNameCounts.erase(count);
        }
    }
    component->FOwner = nullptr;
}

void TComponent::ChangeName(const std::string& newName) {
    if (FOwner && FOwner->FComponents.size() > 0 && FName != newName) {
        if (!FName.empty()) {
            auto count = FOwner->FNameCounts.find(UpperCase(FName));
            if (count != FOwner->FNameCounts.end() && --count->second == 0) FOwner->FNameCounts.erase(count);
        }
        if (!newName.empty()) ++FOwner->FNameCounts[UpperCase(newName)];
    }
    FName = newName;
}

// --- name --------------------------------------------------------------------------------------

void TComponent::SetName(const std::string& newName) {
    if (FName == newName) return;
    if (!newName.empty() && !IsValidIdent(newName))
        throw EComponentError("'" + newName + "' is not a valid component name");
    if (FOwner) FOwner->ValidateRename(this, FName, newName);
    else ValidateRename(nullptr, FName, newName);
    ChangeName(newName);
}

void TComponent::ValidateRename(TComponent* component, const std::string& curName, const std::string& newName) {
    (void)curName;
    // Checked for insertions too, not only for renames of components already owned here:
    // otherwise taking over a component could bring a second "Button1" into the list.
    if (!component) return;
    TComponent* holder = FindComponent(newName);
    if (holder && holder != component) throw EComponentError("A component named " + newName + " already exists");
}

// --- notifications -----------------------------------------------------------------------------

void TComponent::Notification(TComponent* component, TOperation operation) {
    if (operation == opRemove && component) RemoveFreeNotification(component);
    if (operation == opInsert && FInsertNoticesOff > 0) return;
    // Copy: a handler may insert or free components of ours. While none has been removed,
    // every one copied is still ours; only then is each looked for (a search per component
    // made every notice to a large owner quadratic).
    const std::vector<TComponent*> owned = FComponents;
    const uint64_t removals = FRemovals;
    for (TComponent* c : owned)
        if (FRemovals == removals || std::find(FComponents.begin(), FComponents.end(), c) != FComponents.end())
            c->Notification(component, operation);
}

void TComponent::FreeNotification(TComponent* component) {
    if (!component || component == this) return;
    // The link is kept even between components of one owner: the owner's broadcast alone
    // would miss a component that later leaves that owner and is destroyed elsewhere.
    if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), component) == FFreeNotifies.end()) {
        FFreeNotifies.push_back(component);
        component->FreeNotification(this);
    }
    FComponentState.Include(csFreeNotification);
}

void TComponent::RemoveFreeNotification(TComponent* component) {
    if (!component) return;
    RemoveNotification(component);
    component->RemoveNotification(this);
}

void TComponent::RemoveNotification(TComponent* component) {
    auto it = std::find(FFreeNotifies.begin(), FFreeNotifies.end(), component);
    if (it != FFreeNotifies.end()) FFreeNotifies.erase(it);
    if (FFreeNotifies.empty()) FComponentState.Exclude(csFreeNotification);
}

// --- state -------------------------------------------------------------------------------------

void TComponent::BeginLoading() { FComponentState.Include(csLoading).Include(csReading); }

void TComponent::Loaded() { FComponentState.Exclude(csLoading).Exclude(csReading); }

void TComponent::SetDesigning(bool value, bool setChildren) {
    if (value) FComponentState.Include(csDesigning);
    else FComponentState.Exclude(csDesigning);
    if (setChildren)
        for (TComponent* c : FComponents) c->SetDesigning(value, true);
}

void TComponent::SetAncestor(bool value) {
    if (value) FComponentState.Include(csAncestor);
    else FComponentState.Exclude(csAncestor);
    for (TComponent* c : FComponents) c->SetAncestor(value);
}

void TComponent::SetInline(bool value) {
    if (value) FComponentState.Include(csInline);
    else FComponentState.Exclude(csInline);
}

void TComponent::SetDesignInstance(bool value) {
    if (value) FComponentState.Include(csDesignInstance);
    else FComponentState.Exclude(csDesignInstance);
}

void TComponent::Updating() { FComponentState.Include(csUpdating); }
void TComponent::Updated() { FComponentState.Exclude(csUpdating); }

void TComponent::BeforeDestruction() {
    if (!FComponentState.Contains(csDestroying)) Destroying();
}

void TComponent::Destroying() {
    if (FComponentState.Contains(csDestroying)) return;
    FComponentState.Include(csDestroying);
    for (TComponent* c : FComponents) c->Destroying();
}

// --- stored design position --------------------------------------------------------------------

void TComponent::DefineProperties(TFiler* filer) {
    const int32_t left = FDesignInfo & 0xFFFF;
    const int32_t top = (FDesignInfo >> 16) & 0xFFFF;
    filer->DefineProperty(
        "Left",
        [this](TReader* r) {
            FDesignInfo = int32_t((uint32_t(FDesignInfo) & 0xFFFF0000u) | (uint32_t(r->ReadInteger()) & 0xFFFFu));
        },
        [left](TWriter* w) { w->WriteInteger(left); }, left != 0);
    filer->DefineProperty(
        "Top",
        [this](TReader* r) {
            FDesignInfo = int32_t((uint32_t(FDesignInfo) & 0xFFFFu) | ((uint32_t(r->ReadInteger()) & 0xFFFFu) << 16));
        },
        [top](TWriter* w) { w->WriteInteger(top); }, top != 0);
}
