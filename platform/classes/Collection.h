#pragma once
// TCollection owns an ordered set of TCollectionItems of one item class.
//
// Every item gets an ID from its collection's own counter when it joins: unique within the
// collection, stable while the item lives and never given again, not even after Clear. The
// counter starts at 0 with each collection, so a program building its collections in the same
// order gets the same IDs on every run.
//
// An item class needs a constructor callable without arguments (a defaulted collection
// parameter will do) so that Add can build it through ItemClass; it declares KAROMIL_CLASS.

#include <memory>
#include <vector>

#include "platform/classes/Persistent.h"

class TCollection;

class TCollectionItem : public TPersistent {
    KAROMIL_CLASS(TCollectionItem, TPersistent)
public:
    // Joins collection (when given) at the end.
    explicit TCollectionItem(TCollection* collection = nullptr);
    // Leaves its collection, which is told through Update(nullptr).
    ~TCollectionItem() override;

    TCollection* Collection() const noexcept { return FCollection; }
    // Leaves one collection and joins the other, which must take this item's class
    // (EListError "Invalid property value" otherwise).
    void SetCollection(TCollection* collection);
    int ID() const noexcept { return FID; }
    int Index() const;  // -1 outside a collection
    virtual void SetIndex(int index);  // moves the item; EListError out of range
    TPersistent* GetOwner() const override;
    std::string GetNamePath() const override;  // "<collection>[<index>]"

protected:
    // Tells the collection (unless it is updating) that this item changed, or that all did.
    void Changed(bool allItems);

private:
    friend class TCollection;
    void Join(TCollection* collection);
    TCollection* FCollection = nullptr;
    int FID = -1;
};

class TCollection : public TPersistent {
    KAROMIL_CLASS(TCollection, TPersistent)
public:
    // The default item class is TCollectionItem; owner is what GetOwner answers (the
    // component or object that publishes this collection).
    explicit TCollection(TClass itemClass = nullptr, TPersistent* owner = nullptr);
    ~TCollection() override;  // deletes the items without notifications

    TClass ItemClass() const noexcept { return FItemClass; }
    int Count() const noexcept { return int(FItems.size()); }
    TCollectionItem* Items(int index) const;  // EListError out of range
    void SetItems(int index, TCollectionItem* source) { Items(index)->Assign(source); }

    // A new item of ItemClass at the end or at index. If the item's constructor raises, the
    // collection is left as it was.
    TCollectionItem* Add();
    TCollectionItem* Insert(int index);
    void Delete(int index);
    void Clear();
    TCollectionItem* FindItemID(int id) const;

    // Copies the items of another collection, each through the item's Assign.
    void Assign(TPersistent* source) override;

    void BeginUpdate();
    void EndUpdate();  // the last one calls Update(nullptr)
    int UpdateCount() const noexcept { return FUpdateCount; }

    TPersistent* GetOwner() const override { return FOwner; }

protected:
    // An item changed (nullptr: the whole collection changed); not called while updating.
    virtual void Update(TCollectionItem* item) { (void)item; }
    // Update(nullptr) unless updating.
    void Changed();

private:
    friend class TCollectionItem;
    std::unique_ptr<TCollectionItem> NewItem();
    void InsertItem(TCollectionItem* item);
    void RemoveItem(TCollectionItem* item);

    TClass FItemClass;
    TPersistent* FOwner;
    std::vector<TCollectionItem*> FItems;
    int FNextID = 0;
    int FUpdateCount = 0;
};
