#pragma once
// TList: an ordered list of pointers the list does not own.
//
// Indexes are 0-based ints like the class library's; every index outside the list raises
// EListError "List index out of bounds (%d)" rather than touching memory.

#include <functional>
#include <vector>

#include "platform/classes/Object.h"

using TNotifyEvent = std::function<void(TObject* sender)>;

// <0 when item1 sorts before item2, 0 when equal, >0 after.
using TListSortCompare = std::function<int(void* item1, void* item2)>;

class TList : public TObject {
    KAROMIL_CLASS(TList, TObject)
public:
    TList() = default;

    int Add(void* item);  // index of the new item
    void Insert(int index, void* item);  // 0 <= index <= Count
    void Delete(int index);
    int Remove(void* item);  // index the first occurrence had, or -1
    int IndexOf(void* item) const;  // -1 when absent
    void Move(int curIndex, int newIndex);
    void Exchange(int index1, int index2);
    void Clear();  // also releases the capacity
    void Pack();  // drops every nullptr
    // Unstable quicksort; a comparator that is not a consistent order scrambles the order but
    // never the memory.
    void Sort(const TListSortCompare& compare);

    int Count() const noexcept { return int(FItems.size()); }
    int Capacity() const noexcept { return FCapacity; }
    void SetCapacity(int capacity);  // EListError "List capacity out of bounds (%d)" below Count
    void* Items(int index) const;
    void SetItems(int index, void* item);
    void* First() const { return Items(0); }
    void* Last() const { return Items(Count() - 1); }

private:
    void CheckIndex(int index) const;
    void Grow();

    std::vector<void*> FItems;
    int FCapacity = 0;  // kept ourselves: std::vector does not promise an exact capacity
};

// Raises EListError with the class library's text, for the other lists of this folder.
[[noreturn]] void ListIndexError(int index);

namespace classes_detail {
// Quicksort over indexes [lo, hi] through cmp(i, j) -> int and swap(i, j). Both scans are
// bounded by the range, so an inconsistent comparator (or one that throws) can only leave the
// items permuted; recursion goes into the smaller part, so the depth stays logarithmic.
template <class Compare, class Swap>
void QuickSort(int lo, int hi, Compare& cmp, Swap& swap) {
    while (lo < hi) {
        int i = lo, j = hi, p = lo + (hi - lo) / 2;
        while (i <= j) {
            while (i < hi && cmp(i, p) < 0) ++i;
            while (j > lo && cmp(j, p) > 0) --j;
            if (i <= j) {
                if (i != j) {
                    swap(i, j);
                    if (p == i) p = j;
                    else if (p == j) p = i;
                }
                ++i;
                --j;
            }
        }
        if (j - lo < hi - i) {
            QuickSort(lo, j, cmp, swap);
            lo = i;
        } else {
            QuickSort(i, hi, cmp, swap);
            hi = j;
        }
    }
}
}  // namespace classes_detail
