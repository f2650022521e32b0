// What the dataset framework publishes (stored definitions, scripts and the object inspector
// read these lists), and datasets that serve their own error events.

#include <gtest/gtest.h>

#include "platform/classes/TypInfo.h"
#include "platform/db/Fields.h"
#include "platform/db/MemDataSet.h"

namespace {

// The names a class adds to its ancestor's list, in order.
std::vector<std::string> OwnProps(TClass c) {
    std::vector<std::string> names;
    for (const TPropInfo* p : GetPropList(c))
        if (p->OwnerClass() == c) names.push_back(p->Name());
    return names;
}

TEST(PublishedProperties, ListsOfTheFrameworkClasses) {
    using V = std::vector<std::string>;
    struct Case {
        TClass cls;
        V names;
    };
    const Case cases[] = {
        {TDataSet::StaticClass(),
            V{"Active", "AutoCalcFields", "Filter", "Filtered", "BeforeOpen", "AfterOpen", "BeforeClose", "AfterClose",
                "BeforeInsert", "AfterInsert", "BeforeEdit", "AfterEdit", "BeforePost", "AfterPost", "BeforeCancel",
                "AfterCancel", "BeforeDelete", "AfterDelete", "BeforeScroll", "AfterScroll", "OnCalcFields",
                "OnDeleteError", "OnEditError", "OnFilterRecord", "OnNewRecord", "OnPostError"}},
        {TDataSource::StaticClass(),
            V{"AutoEdit", "DataSet", "Enabled", "OnDataChange", "OnStateChange", "OnUpdateData"}},
        {TField::StaticClass(),
            V{"Alignment", "ConstraintErrorMessage", "DefaultExpression", "DisplayLabel", "DisplayWidth", "EditMask",
                "FieldKind", "FieldName", "Index", "KeyFields", "LookupCache", "LookupDataSet", "LookupKeyFields",
                "LookupResultField", "ReadOnly", "Required", "Visible", "OnChange", "OnGetText", "OnSetText",
                "OnValidate"}},
        {TStringField::StaticClass(), V{"Size"}},
        {TNumericField::StaticClass(), V{"DisplayFormat", "EditFormat"}},
        {TFloatField::StaticClass(), V{"Currency", "Precision"}},
        {TBooleanField::StaticClass(), V{"DisplayValues"}},
        {TDateTimeField::StaticClass(), V{"DisplayFormat"}},
        {TBytesField::StaticClass(), V{"Size"}},
        {TBlobField::StaticClass(), V{"Size"}},
    };
    for (const Case& c : cases) EXPECT_EQ(OwnProps(c.cls), c.names) << c.cls->ClassName();
    // A descendant's list starts with what every component and dataset publishes.
    const auto& mem = GetPropList(TMemDataSet::StaticClass());
    ASSERT_GE(mem.size(), 3u);
    EXPECT_EQ(mem[0]->Name(), "Name");
    EXPECT_EQ(mem[2]->Name(), "Active");
}

TEST(PublishedProperties, KindsAndDefaults) {
    struct Case {
        TClass cls;
        const char* name;
        TTypeKind kind;
        const char* type;
        bool hasDefault;
        int64_t def;
    };
    const Case cases[] = {
        {TDataSet::StaticClass(), "Active", tkEnumeration, "Boolean", true, 0},
        {TDataSet::StaticClass(), "AutoCalcFields", tkEnumeration, "Boolean", true, 1},
        {TDataSet::StaticClass(), "OnPostError", tkMethod, "TDataSetErrorEvent", false, 0},
        {TDataSet::StaticClass(), "OnFilterRecord", tkMethod, "TFilterRecordEvent", false, 0},
        {TDataSource::StaticClass(), "DataSet", tkClass, "TDataSet", false, 0},
        {TDataSource::StaticClass(), "AutoEdit", tkEnumeration, "Boolean", true, 1},
        {TField::StaticClass(), "Alignment", tkEnumeration, "TAlignment", true, 0},
        {TField::StaticClass(), "FieldKind", tkEnumeration, "TFieldKind", true, 0},
        {TField::StaticClass(), "DisplayWidth", tkInteger, "Integer", false, 0},
        {TField::StaticClass(), "OnGetText", tkMethod, "TFieldGetTextEvent", false, 0},
        {TStringField::StaticClass(), "Size", tkInteger, "Integer", true, 20},
        {TFloatField::StaticClass(), "Precision", tkInteger, "Integer", true, 15},
    };
    for (const Case& c : cases) {
        const TPropInfo* p = GetPropInfo(c.cls, c.name);
        ASSERT_NE(p, nullptr) << c.name;
        EXPECT_EQ(p->Kind(), c.kind) << c.name;
        EXPECT_EQ(p->PropType()->Name(), c.type) << c.name;
        EXPECT_EQ(p->HasDefault(), c.hasDefault) << c.name;
        if (c.hasDefault) {
            EXPECT_EQ(p->Default(), c.def) << c.name;
        }
    }
}

TEST(PublishedProperties, ReadAndWrittenByNameReachTheObjects) {
    TComponent owner(nullptr);
    auto* ds = new TMemDataSet(&owner);
    ds->FieldDefs()->Add("ID", ftInteger);
    ds->FieldDefs()->Add("Jmeno", ftString, 30);
    auto* src = new TDataSource(&owner);
    SetObjectProp(src, "DataSet", ds);
    EXPECT_EQ(src->DataSet(), ds);
    SetOrdProp(ds, "Active", 1);  // through the dataset's own setter: it opens
    EXPECT_TRUE(ds->Active());
    EXPECT_EQ(src->State(), dsBrowse);
    TField* name = ds->FieldByName("Jmeno");
    EXPECT_EQ(GetOrdProp(name, "Size"), 30);
    SetStrProp(name, "DisplayLabel", "Jméno žáka");
    EXPECT_EQ(name->DisplayLabel(), "Jméno žáka");
    EXPECT_EQ(GetStrProp(name, "FieldName"), "Jmeno");
    EXPECT_EQ(GetOrdProp(name, "Index"), 1);
    EXPECT_FALSE(IsStoredProp(name, "Index"));
    int scrolled = 0;
    SetMethodProp<void(TDataSet*)>(ds, "AfterScroll", [&](TDataSet*) { ++scrolled; });
    ds->AppendRecord({Variant(1), Variant("Eva")});
    ds->AppendRecord({Variant(2), Variant("Jan")});
    ds->First();
    EXPECT_GT(scrolled, 0);
    bool asked = false;
    SetMethodProp<void(TDataSet*, bool&)>(ds, "OnFilterRecord", [&](TDataSet*, bool& accept) {
        asked = true;
        accept = true;
    });
    EXPECT_TRUE(bool(ds->OnFilterRecord()));
    SetOrdProp(ds, "Filtered", 1);
    EXPECT_TRUE(asked);
}

// A dataset that answers its own error events: the framework must not ask the handler again.
class TSelfServing : public TMemDataSet {
public:
    using TMemDataSet::TMemDataSet;
    bool Own = true;

protected:
    bool HandlesErrorEvents() const override { return Own; }
};

TEST(ErrorEventHook, FrameworkLeavesTheErrorToADatasetThatServesItsEvents) {
    TComponent owner(nullptr);
    auto* ds = new TSelfServing(&owner);
    ds->FieldDefs()->Add("ID", ftInteger);
    ds->Open();
    ds->AppendRecord({Variant(1)});
    int asked = 0;
    auto retry = [&](TDataSet*, Exception&, TDataAction& a) {
        ++asked;
        a = daRetry;
    };
    ds->OnPostError = retry;
    ds->OnDeleteError = retry;
    struct Case {
        bool own;
        int asked;
    };
    for (const Case c : {Case{true, 0}, Case{false, 2}}) {
        ds->Own = c.own;
        asked = 0;
        int attempts = 0;
        ds->OnInternalPost = [&](TMemDataSet*) {
            if (++attempts == 1) throw EDatabaseError("zamčeno");
        };
        ds->Edit();
        ds->FieldByName("ID")->SetAsInteger(2);
        if (c.own) {
            EXPECT_THROW(ds->Post(), EDatabaseError);  // plain: no retry by the framework
            ds->Cancel();
        } else {
            ds->Post();  // the framework's wrapper retried
        }
        int deletes = 0;
        ds->OnInternalDelete = [&](TMemDataSet*) {
            if (++deletes == 1) throw EDatabaseError("nelze");
        };
        if (c.own) {
            EXPECT_THROW(ds->Delete(), EDatabaseError);
        } else {
            ds->Delete();
        }
        EXPECT_EQ(asked, c.asked) << c.own;
        ds->OnInternalDelete = nullptr;
        if (ds->IsEmpty()) ds->AppendRecord({Variant(1)});
    }
}

}  // namespace
