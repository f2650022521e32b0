#include "platform/gui/ActnList.h"

#include <algorithm>

#include "platform/gui/Controls.h"
#include "platform/gui/Menus.h"

KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TActionList, TComponent, { KAROMIL_PROP(Images); })
KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TAction, TComponent, {
    KAROMIL_PROP(ActionList);
    KAROMIL_PROP(Caption);
    KAROMIL_PROP(Enabled).Default(1);
    KAROMIL_PROP(Checked).Default(0);
    KAROMIL_PROP(Visible).Default(1);
    KAROMIL_PROP(Hint);
    KAROMIL_PROP(ShortCut, TypeInfoShortCut()).Default(0);
    KAROMIL_PROP(ImageIndex).Default(-1);
    p.Event("OnExecute", &Self::OnExecute, "TNotifyEvent");
    p.Event("OnUpdate", &Self::OnUpdate, "TNotifyEvent");
})

namespace {
std::vector<TActionList*>& AllLists() {
    static std::vector<TActionList*> lists;
    return lists;
}
}  // namespace

void UpdateActionLists() {
    // A list may go away while its OnUpdate handlers run: walk a copy, checking each.
    const std::vector<TActionList*> lists = AllLists();
    for (TActionList* l : lists) {
        if (std::find(AllLists().begin(), AllLists().end(), l) != AllLists().end()) l->UpdateActions();
    }
}

// --- TActionList -----------------------------------------------------------------------------

TActionList::TActionList(TComponent* owner) : TComponent(owner) { AllLists().push_back(this); }

TActionList::~TActionList() {
    AllLists().erase(std::find(AllLists().begin(), AllLists().end(), this));
    for (TAction* a : FActions) a->FActionList = nullptr;
}

void TActionList::SetImages(TCustomImageList* v) {
    FImages = v;
    if (v) v->FreeNotification(this);
}

void TActionList::Notification(TComponent* c, TOperation op) {
    TComponent::Notification(c, op);
    if (op == opRemove && c == FImages) FImages = nullptr;
}

void TActionList::UpdateActions() {
    const std::vector<TAction*> actions = FActions;
    for (TAction* a : actions) a->Update();
}

// --- TAction ---------------------------------------------------------------------------------

TAction::TAction(TComponent* owner) : TComponent(owner) {}

TAction::~TAction() {
    SetActionList(nullptr);
    // The clients forget the action.
    const std::vector<TComponent*> clients = FClients;
    for (TComponent* c : clients) {
        if (auto* ctl = dynamic_cast<TControl*>(c)) ctl->SetAction(nullptr);
        else if (auto* item = dynamic_cast<TMenuItem*>(c)) item->SetAction(nullptr);
    }
}

void TAction::SetActionList(TActionList* v) {
    if (v == FActionList) return;
    if (FActionList) {
        auto& list = FActionList->FActions;
        list.erase(std::find(list.begin(), list.end(), this));
    }
    FActionList = v;
    if (v) v->FActions.push_back(this);
}

void TAction::SetCaption(const std::string& v) {
    FCaption = v;
    Changed();
}
void TAction::SetEnabled(bool v) {
    if (v != FEnabled) {
        FEnabled = v;
        Changed();
    }
}
void TAction::SetChecked(bool v) {
    if (v != FChecked) {
        FChecked = v;
        Changed();
    }
}
void TAction::SetVisible(bool v) {
    if (v != FVisible) {
        FVisible = v;
        Changed();
    }
}
void TAction::SetHint(const std::string& v) {
    FHint = v;
    Changed();
}
void TAction::SetShortCut(TShortCut v) {
    FShortCut = v;
    Changed();
}
void TAction::SetImageIndex(int v) {
    FImageIndex = v;
    Changed();
}

bool TAction::Update() {
    if (!OnUpdate) return false;
    OnUpdate(this);
    return true;
}

bool TAction::Execute() {
    Update();
    if (!FEnabled || !OnExecute) return false;
    OnExecute(this);
    return true;
}

void TAction::AddClient(TComponent* client) {
    if (std::find(FClients.begin(), FClients.end(), client) != FClients.end()) return;
    FClients.push_back(client);
    client->FreeNotification(this);
    ApplyTo(client);
}

void TAction::RemoveClient(TComponent* client) {
    auto it = std::find(FClients.begin(), FClients.end(), client);
    if (it != FClients.end()) FClients.erase(it);
}

void TAction::Notification(TComponent* c, TOperation op) {
    TComponent::Notification(c, op);
    if (op == opRemove) RemoveClient(c);
}

void TAction::Changed() {
    for (TComponent* c : FClients) ApplyTo(c);
}

void TAction::ApplyTo(TComponent* client) {
    if (auto* ctl = dynamic_cast<TControl*>(client)) {
        ctl->SetCaption(FCaption);
        ctl->SetEnabled(FEnabled);
        ctl->SetVisible(FVisible);
        ctl->SetHint(FHint);
    } else if (auto* item = dynamic_cast<TMenuItem*>(client)) {
        item->SetCaption(FCaption);
        item->SetEnabled(FEnabled);
        item->SetChecked(FChecked);
        item->SetVisible(FVisible);
        item->SetHint(FHint);
        item->SetShortCut(FShortCut);
        item->SetImageIndex(FImageIndex);
    }
}
