#include "platform/classes/Collection.h"

#include <algorithm>
#include <cassert>
#include <memory>
#include <string>

#include "platform/classes/List.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/ScopeGuard.h"

KAROMIL_IMPLEMENT_CLASS(TCollectionItem, TPersistent)
KAROMIL_IMPLEMENT_CLASS(TCollection, TPersistent)

// --- TCollectionItem --------------------------------------------------------------------------

// No class check here: while this base part is built the object still answers
// TCollectionItem, whatever it is going to be.
TCollectionItem::TCollectionItem(TCollection* collection) { Join(collection); }

TCollectionItem::~TCollectionItem() { Join(nullptr); }

void TCollectionItem::SetCollection(TCollection* collection) {
    if (collection != nullptr && collection != FCollection && !InheritsFrom(collection->FItemClass))
        throw EListError("Invalid property value");
    Join(collection);
}

void TCollectionItem::Join(TCollection* collection) {
    if (collection == FCollection) return;
    if (FCollection != nullptr) FCollection->RemoveItem(this);
    if (collection != nullptr) collection->InsertItem(this);
}

int TCollectionItem::Index() const {
    if (FCollection == nullptr) return -1;
    const auto& items = FCollection->FItems;
    return int(std::find(items.begin(), items.end(), this) - items.begin());
}

void TCollectionItem::SetIndex(int index) {
    int current = Index();
    if (current < 0 || current == index) return;
    auto& items = FCollection->FItems;
    if (index < 0 || index >= int(items.size())) ListIndexError(index);
    items.erase(items.begin() + current);
    items.insert(items.begin() + index, this);
    Changed(true);
}

TPersistent* TCollectionItem::GetOwner() const { return FCollection; }

std::string TCollectionItem::GetNamePath() const {
    if (FCollection == nullptr) return ClassName();
    return FCollection->GetNamePath() + "[" + std::to_string(Index()) + "]";
}

void TCollectionItem::Changed(bool allItems) {
    if (FCollection != nullptr && FCollection->FUpdateCount == 0) FCollection->Update(allItems ? nullptr : this);
}

// --- TCollection ------------------------------------------------------------------------------

TCollection::TCollection(TClass itemClass, TPersistent* owner)
    : FItemClass(itemClass ? itemClass : TCollectionItem::StaticClass()), FOwner(owner) {}

TCollection::~TCollection() {
    FUpdateCount = 1;  // a dying collection tells nobody
    while (!FItems.empty()) delete FItems.back();
}

TCollectionItem* TCollection::Items(int index) const {
    if (index < 0 || index >= Count()) ListIndexError(index);
    return FItems[size_t(index)];
}

// The item is built outside the collection and joins only once its constructor finished, so
// a constructor that raises takes neither a place nor an ID and tells nobody.
std::unique_ptr<TCollectionItem> TCollection::NewItem() {
    std::unique_ptr<TObject> object(FItemClass->Create());
    auto* item = dynamic_cast<TCollectionItem*>(object.get());
    if (item == nullptr) throw EListError("Invalid property value");
    object.release();
    std::unique_ptr<TCollectionItem> owned(item);
    if (item->FCollection != nullptr) item->Join(nullptr);  // a constructor that joined elsewhere
    return owned;
}

TCollectionItem* TCollection::Add() {
    TCollectionItem* item = NewItem().release();
    InsertItem(item);
    return item;
}

TCollectionItem* TCollection::Insert(int index) {
    if (index < 0 || index > Count()) ListIndexError(index);
    std::unique_ptr<TCollectionItem> item = NewItem();
    BeginUpdate();
    InsertItem(item.get());
    FItems.pop_back();
    FItems.insert(FItems.begin() + index, item.get());
    EndUpdate();
    return item.release();
}

void TCollection::Delete(int index) { delete Items(index); }

void TCollection::Clear() {
    if (FItems.empty()) return;
    BeginUpdate();
    while (!FItems.empty()) delete FItems.back();
    EndUpdate();
}

TCollectionItem* TCollection::FindItemID(int id) const {
    for (TCollectionItem* item : FItems)
        if (item->FID == id) return item;
    return nullptr;
}

void TCollection::Assign(TPersistent* source) {
    if (source == this) return;  // clearing first would lose the items to copy
    auto* other = dynamic_cast<TCollection*>(source);
    if (other == nullptr) {
        TPersistent::Assign(source);
        return;
    }
    BeginUpdate();
    TryFinally(
        [&] {
            Clear();
            for (TCollectionItem* item : other->FItems) Add()->Assign(item);
        },
        [this] { EndUpdate(); });
}

void TCollection::BeginUpdate() { ++FUpdateCount; }

void TCollection::EndUpdate() {
    if (FUpdateCount == 0) return;  // unbalanced: nothing to end
    if (--FUpdateCount == 0) Changed();
}

void TCollection::Changed() {
    if (FUpdateCount == 0) Update(nullptr);
}

void TCollection::InsertItem(TCollectionItem* item) {
    FItems.push_back(item);
    item->FCollection = this;
    item->FID = FNextID++;
    Changed();
}

void TCollection::RemoveItem(TCollectionItem* item) {
    auto it = std::find(FItems.begin(), FItems.end(), item);
    assert(it != FItems.end());
    FItems.erase(it);
    item->FCollection = nullptr;
    Changed();
}
