#pragma once
// TComponent: a named object in an ownership tree.
//
// The owner deletes what it owns, last inserted first. Names are identifiers, unique among
// the owner's components ignoring ASCII case; '' is always allowed. Components that hold
// pointers to each other across owners call FreeNotification, and hear Notification(x, opRemove)
// before x goes away.

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/classes/Persistent.h"
#include "platform/classes/TypInfo.h"

enum TOperation { opInsert, opRemove };

enum TComponentStateFlag {
    csLoading,
    csReading,
    csWriting,
    csDestroying,
    csDesigning,
    csAncestor,
    csUpdating,
    csFixups,
    csFreeNotification,
    csInline,
    csDesignInstance,
};
using TComponentState = TSet<TComponentStateFlag>;

// The ASCII identifier rule of component names: a letter or '_', then letters, digits, '_'.
bool IsValidIdent(const std::string& ident) noexcept;

class TComponent : public TPersistent {
    KAROMIL_CLASS(TComponent, TPersistent)
public:
    using TGetChildProc = std::function<void(TComponent*)>;

    explicit TComponent(TComponent* owner);
    ~TComponent() override;

    // --- ownership
    TComponent* GetOwner() const override { return FOwner; }
    int GetComponentCount() const noexcept { return int(FComponents.size()); }
    TComponent* GetComponent(int index) const;  // EListError out of range
    int GetComponentIndex() const;  // -1 without an owner
    void SetComponentIndex(int index);
    // The owned component of that name, ASCII case ignored; nullptr for '' or none.
    TComponent* FindComponent(const std::string& name) const;
    // Takes over the component (from its previous owner, if any); the name must be free here.
    void InsertComponent(TComponent* component);
    // Between these two, components inserted here are not announced to the owned ones (the
    // owner's own Notification still hears them): a reader filling an owner with thousands of
    // new components, which nobody can refer to yet, would otherwise tell each one about all
    // the others. Pairs nest.
    // Takes the owned ones among `components` out of this owner at once (they are no longer
    // owned, and their destruction announces nothing here), then tells this owner and the
    // components it keeps about each, as RemoveComponent would. Clearing a large tree so costs
    // one pass per removed component over what stays, not over everything.
    void ReleaseComponents(const std::vector<TComponent*>& components);
    void SuspendInsertNotices() noexcept { ++FInsertNoticesOff; }
    void ResumeInsertNotices() noexcept { --FInsertNoticesOff; }
    // Gives the component up without deleting it; it then has no owner.
    void RemoveComponent(TComponent* component);
    void DestroyComponents();

    // --- name and tag
    const std::string& GetName() const noexcept { return FName; }
    // EComponentError "'%s' is not a valid component name" / "A component named %s already exists".
    virtual void SetName(const std::string& newName);
    int32_t GetTag() const noexcept { return FTag; }
    void SetTag(int32_t tag) noexcept { FTag = tag; }
    std::string GetNamePath() const override { return FName; }

    // --- notifications
    // Asks `component` to tell this one before it is destroyed (and the other way round).
    void FreeNotification(TComponent* component);
    void RemoveFreeNotification(TComponent* component);

    // --- state
    TComponentState GetComponentState() const noexcept { return FComponentState; }
    // Opens a loading bracket (csLoading, csReading): a stored definition's properties follow,
    // then Loaded closes it.
    void BeginLoading();
    virtual void Loaded();
    void SetDesigning(bool value, bool setChildren = true);
    void SetAncestor(bool value);
    void SetInline(bool value);
    void SetDesignInstance(bool value);
    virtual void Updating();
    virtual void Updated();
    void BeforeDestruction() override;

    // Design position on a window: low 16 bits left, high 16 bits top.
    int32_t GetDesignInfo() const noexcept { return FDesignInfo; }
    void SetDesignInfo(int32_t value) noexcept { FDesignInfo = value; }

    // --- hooks of component streaming (components stored as children of another)
    virtual bool HasParent() const { return false; }
    virtual TComponent* GetParentComponent() const { return nullptr; }
    virtual void SetParentComponent(TComponent* parent) { (void)parent; }
    virtual void GetChildren(const TGetChildProc& proc, TComponent* root) {
        (void)proc;
        (void)root;
    }
    virtual void SetChildOrder(TComponent* child, int order) {
        (void)child;
        (void)order;
    }

protected:
    // Every owned component hears about insertions and removals in its owner; opRemove also
    // drops a free-notification link. Overrides clear their pointers and call the inherited one.
    virtual void Notification(TComponent* component, TOperation operation);
    // Checks that `component` (owned here, or nullptr for an unowned one) may be renamed.
    virtual void ValidateRename(TComponent* component, const std::string& curName, const std::string& newName);
    virtual void ValidateInsert(TComponent* component) { (void)component; }
    void ChangeName(const std::string& newName);
    // Marks csDestroying on this and everything it owns.
    void Destroying();
    void DefineProperties(TFiler* filer) override;

private:
    void Insert(TComponent* component);
    void Remove(TComponent* component);
    void RemoveNotification(TComponent* component);

    TComponent* FOwner = nullptr;
    std::string FName;
    int32_t FTag = 0;
    int32_t FDesignInfo = 0;
    TComponentState FComponentState;
    std::vector<TComponent*> FComponents;
    // How many owned components bear each name (upper case): FindComponent answers a name
    // nobody has without walking the list, which keeps building a large owner linear.
    std::unordered_map<std::string, int> FNameCounts;
    uint64_t FRemovals = 0;  // owned components removed so far
    int FInsertNoticesOff = 0;
    std::vector<TComponent*> FFreeNotifies;
};

// Points a reference that `holder` keeps to another component at `value`: the old target stops
// and the new one starts telling the holder before it goes (the holder's Notification then
// clears the reference).
template <class T>
void ReplaceReference(TComponent* holder, T*& reference, T* value) {
    if (reference == value) return;
    if (reference) reference->RemoveFreeNotification(holder);
    reference = value;
    if (reference) reference->FreeNotification(holder);
}
