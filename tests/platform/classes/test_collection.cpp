#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/classes/Collection.h"
#include "platform/rtl/Exceptions.h"

namespace {

class TBand : public TCollectionItem {
    KAROMIL_CLASS(TBand, TCollectionItem)
public:
    explicit TBand(TCollection* collection = nullptr) : TCollectionItem(collection) {}
    void Assign(TPersistent* source) override {
        if (auto* band = dynamic_cast<TBand*>(source)) {
            Caption = band->Caption;
            return;
        }
        TCollectionItem::Assign(source);
    }
    void Touch(bool allItems) { Changed(allItems); }
    std::string Caption;
};

class TFailingBand : public TBand {
    KAROMIL_CLASS(TFailingBand, TBand)
public:
    static inline bool Fail = false;
    explicit TFailingBand(TCollection* collection = nullptr) : TBand(collection) {
        if (Fail) throw EInvalidOperation("no band today");
    }
};

// Records Update calls: the item's ID, or -1 for "everything".
class TBands : public TCollection {
    KAROMIL_CLASS(TBands, TCollection)
public:
    explicit TBands(TClass itemClass = TBand::StaticClass(), TPersistent* owner = nullptr)
        : TCollection(itemClass, owner) {}
    std::vector<int> Updates;

protected:
    void Update(TCollectionItem* item) override { Updates.push_back(item ? item->ID() : -1); }
};

std::vector<int> IDs(const TCollection& c) {
    std::vector<int> out;
    for (int i = 0; i < c.Count(); ++i) out.push_back(c.Items(i)->ID());
    return out;
}

TBand* AddBand(TCollection& c, const std::string& caption = {}) {
    auto* band = static_cast<TBand*>(c.Add());
    band->Caption = caption;
    return band;
}

}  // namespace

KAROMIL_IMPLEMENT_CLASS(TBand, TCollectionItem)
KAROMIL_IMPLEMENT_CLASS(TFailingBand, TBand)
KAROMIL_IMPLEMENT_CLASS(TBands, TCollection)

TEST(Collection, ClassNamesAreVisibleToScripts) {
    TCollection plain;
    EXPECT_EQ(plain.ClassName(), "TCollection");
    EXPECT_EQ(plain.ItemClass(), TCollectionItem::StaticClass());
    TCollectionItem* item = plain.Add();
    EXPECT_EQ(item->ClassName(), "TCollectionItem");
}

TEST(Collection, AddBuildsItemsOfItemClass) {
    TBands bands;
    TCollectionItem* item = bands.Add();
    EXPECT_EQ(item->ClassType(), TBand::StaticClass());
    EXPECT_EQ(item->Collection(), &bands);
    EXPECT_EQ(item->GetOwner(), &bands);
    EXPECT_EQ(item->Index(), 0);
}

TEST(Collection, IdsAreUniquePerCollectionAndNeverReused) {
    TBands bands, other;
    for (int i = 0; i < 3; ++i) bands.Add();
    EXPECT_EQ(IDs(bands), (std::vector<int>{0, 1, 2}));
    bands.Delete(2);
    bands.Add();
    EXPECT_EQ(IDs(bands), (std::vector<int>{0, 1, 3}));
    bands.Clear();
    bands.Add();
    EXPECT_EQ(IDs(bands), (std::vector<int>{4}));
    EXPECT_EQ(other.Add()->ID(), 0);  // each collection counts for itself

    EXPECT_EQ(bands.FindItemID(4), bands.Items(0));
    EXPECT_EQ(bands.FindItemID(0), nullptr);
    EXPECT_EQ(bands.FindItemID(-1), nullptr);
}

TEST(Collection, IndexSetterMovesItem) {
    struct Case {
        int from, to;
        std::vector<int> expected;  // IDs in order
    };
    const Case cases[] = {
        {0, 3, {1, 2, 3, 0}},
        {3, 0, {3, 0, 1, 2}},
        {1, 2, {0, 2, 1, 3}},
        {2, 2, {0, 1, 2, 3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.from) + "->" + std::to_string(c.to));
        TBands bands;
        for (int i = 0; i < 4; ++i) bands.Add();
        TCollectionItem* item = bands.Items(c.from);
        item->SetIndex(c.to);
        EXPECT_EQ(IDs(bands), c.expected);
        EXPECT_EQ(item->Index(), c.to);
    }
}

TEST(Collection, OutOfRangeIndexesRaiseListError) {
    TBands bands;
    bands.Add();
    bands.Add();
    const std::pair<std::function<void()>, const char*> ops[] = {
        {[&] { bands.Items(2); }, "List index out of bounds (2)"},
        {[&] { bands.Delete(-1); }, "List index out of bounds (-1)"},
        {[&] { bands.Items(0)->SetIndex(2); }, "List index out of bounds (2)"},
        {[&] { bands.Insert(3); }, "List index out of bounds (3)"},
    };
    for (const auto& [op, message] : ops) {
        try {
            op();
            ADD_FAILURE() << message;
        } catch (const EListError& e) {
            EXPECT_STREQ(e.what(), message);
        }
    }
    EXPECT_EQ(IDs(bands), (std::vector<int>{0, 1}));
}

TEST(Collection, InsertPlacesNewItem) {
    TBands bands;
    bands.Add();
    bands.Add();
    TCollectionItem* item = bands.Insert(1);
    EXPECT_EQ(IDs(bands), (std::vector<int>{0, 2, 1}));
    EXPECT_EQ(item->Index(), 1);
    bands.Insert(3);
    EXPECT_EQ(IDs(bands), (std::vector<int>{0, 2, 1, 3}));
}

TEST(Collection, UpdateNotifications) {
    struct Case {
        const char* name;
        std::function<void(TBands&)> op;
        std::vector<int> updates;
    };
    const Case cases[] = {
        {"Add", [](TBands& b) { b.Add(); }, {-1}},
        {"Delete", [](TBands& b) { b.Delete(0); }, {-1}},
        {"item changed", [](TBands& b) { static_cast<TBand*>(b.Items(1))->Touch(false); }, {1}},
        {"item changed all", [](TBands& b) { static_cast<TBand*>(b.Items(1))->Touch(true); }, {-1}},
        {"move", [](TBands& b) { b.Items(0)->SetIndex(1); }, {-1}},
        {"Clear", [](TBands& b) { b.Clear(); }, {-1}},
        {"Insert", [](TBands& b) { b.Insert(0); }, {-1}},
        {"delete item", [](TBands& b) { delete b.Items(0); }, {-1}},
        {"batch",
            [](TBands& b) {
                b.BeginUpdate();
                b.Add();
                static_cast<TBand*>(b.Items(0))->Touch(false);
                b.Delete(1);
                b.EndUpdate();
            },
            {-1}},
        {"nested batch",
            [](TBands& b) {
                b.BeginUpdate();
                b.BeginUpdate();
                b.Add();
                b.EndUpdate();
                b.Add();
                b.EndUpdate();
            },
            {-1}},
        {"empty batch",
            [](TBands& b) {
                b.BeginUpdate();
                b.EndUpdate();
            },
            {-1}},
        {"extra EndUpdate", [](TBands& b) { b.EndUpdate(); }, {}},
        {"Clear of empty",
            [](TBands& b) {
                b.Clear();
                b.Updates.clear();
                b.Clear();
            },
            {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TBands bands;
        bands.Add();
        bands.Add();
        bands.Updates.clear();
        c.op(bands);
        EXPECT_EQ(bands.Updates, c.updates);
    }
}

TEST(Collection, RaisingItemConstructorLeavesCollectionUnchanged) {
    TBands bands(TFailingBand::StaticClass());
    bands.Add();
    bands.Updates.clear();
    TFailingBand::Fail = true;
    EXPECT_THROW(bands.Add(), EInvalidOperation);
    EXPECT_THROW(bands.Insert(0), EInvalidOperation);
    EXPECT_EQ(bands.Count(), 1);
    EXPECT_TRUE(bands.Updates.empty());
    // An item built directly joins in its base part; when it fails it leaves again.
    EXPECT_THROW(new TFailingBand(&bands), EInvalidOperation);
    EXPECT_EQ(bands.Count(), 1);
    TFailingBand::Fail = false;
    EXPECT_EQ(bands.Add()->ID(), 2);  // only the directly built item took an ID
}

TEST(Collection, ItemsMoveBetweenCollections) {
    TBands a, b;
    a.Add();
    TBand* band = new TBand(&a);
    b.Add();
    band->SetCollection(&b);
    EXPECT_EQ(a.Count(), 1);
    EXPECT_EQ(b.Count(), 2);
    EXPECT_EQ(band->ID(), 1);  // b's counter
    EXPECT_EQ(band->Index(), 1);
    band->SetCollection(nullptr);
    EXPECT_EQ(band->Index(), -1);
    EXPECT_EQ(b.Count(), 1);
    delete band;

    TCollection plain;
    TCollectionItem* stranger = plain.Add();
    EXPECT_THROW(stranger->SetCollection(&a), EListError);  // not a TBand
    EXPECT_EQ(stranger->Collection(), &plain);
}

TEST(Collection, AssignCopiesItemsThroughItemAssign) {
    TBands source, dest;
    AddBand(source, "Hlavička");
    AddBand(source, "Data");
    AddBand(dest, "stará");
    dest.Updates.clear();
    dest.Assign(&source);
    ASSERT_EQ(dest.Count(), 2);
    EXPECT_EQ(static_cast<TBand*>(dest.Items(0))->Caption, "Hlavička");
    EXPECT_EQ(static_cast<TBand*>(dest.Items(1))->Caption, "Data");
    EXPECT_EQ(IDs(dest), (std::vector<int>{1, 2}));  // new items, new IDs
    EXPECT_EQ(dest.Updates, (std::vector<int>{-1}));

    dest.Assign(&dest);  // clearing first would lose everything
    EXPECT_EQ(dest.Count(), 2);

    TPersistent other;
    EXPECT_THROW(dest.Assign(&other), EConvertError);
}

TEST(Collection, OwnerAndNamePath) {
    TPersistent owner;
    TBands bands(TBand::StaticClass(), &owner);
    EXPECT_EQ(bands.GetOwner(), &owner);
    bands.Add();
    TCollectionItem* second = bands.Add();
    EXPECT_EQ(second->GetNamePath(), bands.GetNamePath() + "[1]");
}
