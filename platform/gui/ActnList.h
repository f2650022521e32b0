#pragma once
// Actions: one command (caption, enabled, checked, shortcut, image, OnExecute) shared by the
// buttons and menu items that name it as their Action. Changing the action changes its clients;
// clicking a client without an OnClick of its own executes the action. While the application is
// idle, every action list asks its actions' OnUpdate to bring Enabled and Checked up to date.

#include <string>
#include <vector>

#include "platform/classes/Component.h"
#include "platform/gui/ImageList.h"
#include "platform/gui/Messages.h"

class TAction;
class TActionList;

using TActionEvent = std::function<void(TAction* action, bool& handled)>;

class TActionList : public TComponent {
    KAROMIL_CLASS(TActionList, TComponent)
public:
    explicit TActionList(TComponent* owner = nullptr);
    ~TActionList() override;
    int ActionCount() const noexcept { return int(FActions.size()); }
    TAction* Actions(int index) const { return FActions.at(size_t(index)); }
    TCustomImageList* GetImages() const noexcept { return FImages; }
    void SetImages(TCustomImageList* v);
    // Runs every action's Update (OnUpdate).
    void UpdateActions();

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    friend class TAction;
    std::vector<TAction*> FActions;
    TCustomImageList* FImages = nullptr;
};

class TAction : public TComponent {
    KAROMIL_CLASS(TAction, TComponent)
public:
    explicit TAction(TComponent* owner = nullptr);
    ~TAction() override;
    TActionList* GetActionList() const noexcept { return FActionList; }
    void SetActionList(TActionList* v);

    std::string GetCaption() const { return FCaption; }
    void SetCaption(const std::string& v);
    bool GetEnabled() const noexcept { return FEnabled; }
    void SetEnabled(bool v);
    bool GetChecked() const noexcept { return FChecked; }
    void SetChecked(bool v);
    bool GetVisible() const noexcept { return FVisible; }
    void SetVisible(bool v);
    std::string GetHint() const { return FHint; }
    void SetHint(const std::string& v);
    TShortCut GetShortCut() const noexcept { return FShortCut; }
    void SetShortCut(TShortCut v);
    int GetImageIndex() const noexcept { return FImageIndex; }
    void SetImageIndex(int v);

    // OnUpdate; false when there is none.
    virtual bool Update();
    // Update, then OnExecute when enabled; false when nothing ran.
    virtual bool Execute();

    TNotifyEvent OnExecute;
    TNotifyEvent OnUpdate;

    // Clients register through their SetAction; they are told of every change.
    void AddClient(TComponent* client);
    void RemoveClient(TComponent* client);
    int ClientCount() const noexcept { return int(FClients.size()); }

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    friend class TActionList;
    void Changed();
    void ApplyTo(TComponent* client);
    TActionList* FActionList = nullptr;
    std::vector<TComponent*> FClients;
    std::string FCaption;
    std::string FHint;
    bool FEnabled = true;
    bool FChecked = false;
    bool FVisible = true;
    TShortCut FShortCut = 0;
    int FImageIndex = -1;
};

// Every action list of the program brings its actions up to date (the application's idle time).
void UpdateActionLists();
