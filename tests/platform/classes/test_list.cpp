#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/classes/List.h"
#include "platform/rtl/Exceptions.h"

namespace {

int values[8] = {0, 1, 2, 3, 4, 5, 6, 7};
void* P(int i) { return &values[i]; }

// The list's items as the indexes of `values`, -1 for nullptr.
std::vector<int> Contents(const TList& list) {
    std::vector<int> out;
    for (int i = 0; i < list.Count(); ++i)
        out.push_back(list.Items(i) ? int(static_cast<int*>(list.Items(i)) - values) : -1);
    return out;
}

void Fill(TList& list, std::initializer_list<int> items) {
    for (int i : items) list.Add(i < 0 ? nullptr : P(i));
}

int CompareInts(void* a, void* b) { return *static_cast<int*>(a) - *static_cast<int*>(b); }

}  // namespace

TEST(List, ClassNameIsVisibleToScripts) {
    TList list;
    EXPECT_EQ(list.ClassName(), "TList");
    EXPECT_EQ(list.ClassParent(), TObject::StaticClass());
}

TEST(List, EditingOperations) {
    struct Case {
        const char* name;
        std::function<void(TList&)> edit;
        std::vector<int> expected;
    };
    const Case cases[] = {
        {"insert at front", [](TList& l) { l.Insert(0, P(7)); }, {7, 0, 1, 2, 3}},
        {"insert at end", [](TList& l) { l.Insert(4, P(7)); }, {0, 1, 2, 3, 7}},
        {"delete middle", [](TList& l) { l.Delete(1); }, {0, 2, 3}},
        {"remove answers index", [](TList& l) { EXPECT_EQ(l.Remove(P(2)), 2); }, {0, 1, 3}},
        {"remove absent", [](TList& l) { EXPECT_EQ(l.Remove(P(7)), -1); }, {0, 1, 2, 3}},
        {"move forward", [](TList& l) { l.Move(0, 2); }, {1, 2, 0, 3}},
        {"move backward", [](TList& l) { l.Move(3, 0); }, {3, 0, 1, 2}},
        {"exchange", [](TList& l) { l.Exchange(0, 3); }, {3, 1, 2, 0}},
        {"set item", [](TList& l) { l.SetItems(2, P(5)); }, {0, 1, 5, 3}},
        {"pack",
            [](TList& l) {
                l.SetItems(1, nullptr);
                l.Add(nullptr);
                l.Pack();
            },
            {0, 2, 3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TList list;
        Fill(list, {0, 1, 2, 3});
        c.edit(list);
        EXPECT_EQ(Contents(list), c.expected);
    }
}

TEST(List, IndexOfFindsFirstOccurrence) {
    TList list;
    Fill(list, {3, 1, 3, -1});
    EXPECT_EQ(list.IndexOf(P(3)), 0);
    EXPECT_EQ(list.IndexOf(nullptr), 3);
    EXPECT_EQ(list.IndexOf(P(6)), -1);
}

TEST(List, OutOfRangeIndexRaisesListErrorAndChangesNothing) {
    struct Case {
        const char* name;
        std::function<void(TList&)> op;
        const char* message;
    };
    const Case cases[] = {
        {"Items(-1)", [](TList& l) { l.Items(-1); }, "List index out of bounds (-1)"},
        {"Items(Count)", [](TList& l) { l.Items(3); }, "List index out of bounds (3)"},
        {"SetItems", [](TList& l) { l.SetItems(5, nullptr); }, "List index out of bounds (5)"},
        {"Insert past end", [](TList& l) { l.Insert(4, P(0)); }, "List index out of bounds (4)"},
        {"Delete", [](TList& l) { l.Delete(3); }, "List index out of bounds (3)"},
        {"Move to", [](TList& l) { l.Move(0, 3); }, "List index out of bounds (3)"},
        {"Move from", [](TList& l) { l.Move(-2, 0); }, "List index out of bounds (-2)"},
        {"Exchange", [](TList& l) { l.Exchange(0, 9); }, "List index out of bounds (9)"},
        {"Last of empty",
            [](TList& l) {
                l.Clear();
                l.Last();
            },
            "List index out of bounds (-1)"},
        {"capacity below count", [](TList& l) { l.SetCapacity(2); }, "List capacity out of bounds (2)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TList list;
        Fill(list, {0, 1, 2});
        try {
            c.op(list);
            ADD_FAILURE() << "no exception";
        } catch (const EListError& e) {
            EXPECT_EQ(e.Message(), c.message);
        }
        if (list.Count() != 0) {
            EXPECT_EQ(Contents(list), (std::vector<int>{0, 1, 2}));
        }
    }
}

TEST(List, CapacityGrowsAheadOfCountAndClearReleasesIt) {
    TList list;
    EXPECT_EQ(list.Capacity(), 0);
    list.Add(P(0));
    EXPECT_GE(list.Capacity(), 1);
    list.SetCapacity(100);
    EXPECT_EQ(list.Capacity(), 100);
    for (int i = 0; i < 200; ++i) list.Add(P(i % 8));
    EXPECT_GE(list.Capacity(), list.Count());
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Capacity(), 0);
}

TEST(List, SortOrdersByComparator) {
    const std::vector<std::vector<int>> inputs = {
        {},
        {5},
        {1, 0},
        {7, 3, 5, 1, 6, 0, 2, 4},
        {2, 2, 1, 1, 0, 0},
        {0, 1, 2, 3, 4, 5, 6, 7},
        {7, 6, 5, 4, 3, 2, 1, 0},
    };
    for (const auto& input : inputs) {
        TList list;
        for (int i : input) list.Add(P(i));
        list.Sort(CompareInts);
        std::vector<int> expected = input;
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(Contents(list), expected);
    }
}

// A comparator that is no order at all must neither crash nor lose or duplicate items.
TEST(List, SortSurvivesInconsistentComparators) {
    const std::vector<std::pair<const char*, TListSortCompare>> comparators = {
        {"always less", [](void*, void*) { return -1; }},
        {"always greater", [](void*, void*) { return 1; }},
        {"random",
            [n = 12345u](void*, void*) mutable {
                n = n * 1103515245u + 12345u;
                return int(n >> 16) % 3 - 1;
            }},
    };
    for (const auto& [name, cmp] : comparators) {
        SCOPED_TRACE(name);
        TList list;
        for (int i = 0; i < 200; ++i) list.Add(P(i % 8));
        list.Sort(cmp);
        std::vector<int> got = Contents(list);
        std::sort(got.begin(), got.end());
        std::vector<int> expected;
        for (int i = 0; i < 200; ++i) expected.push_back(i % 8);
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(got, expected);
    }
}
