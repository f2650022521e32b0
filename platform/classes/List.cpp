#include "platform/classes/List.h"

#include <algorithm>
#include <string>

#include "platform/rtl/Exceptions.h"

KAROMIL_IMPLEMENT_CLASS(TList, TObject)

void ListIndexError(int index) { throw EListError("List index out of bounds (" + std::to_string(index) + ")"); }

void TList::CheckIndex(int index) const {
    if (index < 0 || index >= Count()) ListIndexError(index);
}

// The class library's growth steps: 4, 8, then a quarter more.
void TList::Grow() {
    int delta = FCapacity > 64 ? FCapacity / 4 : (FCapacity > 8 ? 16 : 4);
    SetCapacity(FCapacity + delta);
}

void TList::SetCapacity(int capacity) {
    if (capacity < Count()) throw EListError("List capacity out of bounds (" + std::to_string(capacity) + ")");
    FCapacity = capacity;
    if (size_t(capacity) > FItems.capacity()) FItems.reserve(size_t(capacity));
}

int TList::Add(void* item) {
    if (Count() == FCapacity) Grow();
    FItems.push_back(item);
    return Count() - 1;
}

void TList::Insert(int index, void* item) {
    if (index < 0 || index > Count()) ListIndexError(index);
    if (Count() == FCapacity) Grow();
    FItems.insert(FItems.begin() + index, item);
}

void TList::Delete(int index) {
    CheckIndex(index);
    FItems.erase(FItems.begin() + index);
}

int TList::Remove(void* item) {
    int index = IndexOf(item);
    if (index >= 0) Delete(index);
    return index;
}

int TList::IndexOf(void* item) const {
    auto it = std::find(FItems.begin(), FItems.end(), item);
    return it == FItems.end() ? -1 : int(it - FItems.begin());
}

void TList::Move(int curIndex, int newIndex) {
    if (curIndex == newIndex) return;
    CheckIndex(newIndex);
    void* item = Items(curIndex);
    FItems.erase(FItems.begin() + curIndex);
    FItems.insert(FItems.begin() + newIndex, item);
}

void TList::Exchange(int index1, int index2) {
    CheckIndex(index1);
    CheckIndex(index2);
    std::swap(FItems[size_t(index1)], FItems[size_t(index2)]);
}

void TList::Clear() {
    FItems.clear();
    FItems.shrink_to_fit();
    FCapacity = 0;
}

void TList::Pack() { FItems.erase(std::remove(FItems.begin(), FItems.end(), nullptr), FItems.end()); }

void TList::Sort(const TListSortCompare& compare) {
    if (Count() < 2 || !compare) return;
    auto cmp = [&](int a, int b) { return compare(FItems[size_t(a)], FItems[size_t(b)]); };
    auto swap = [&](int a, int b) { std::swap(FItems[size_t(a)], FItems[size_t(b)]); };
    classes_detail::QuickSort(0, Count() - 1, cmp, swap);
}

void* TList::Items(int index) const {
    CheckIndex(index);
    return FItems[size_t(index)];
}

void TList::SetItems(int index, void* item) {
    CheckIndex(index);
    FItems[size_t(index)] = item;
}
