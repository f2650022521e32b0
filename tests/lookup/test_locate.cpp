// Finding records by field text, and the control base: fields, values, clearing, searching.

#include "tests/lookup/LookupFixture.h"

#include "lookup/LocateObject.h"
#include "platform/rtl/Strings.h"

using namespace lookuptest;

namespace {

class TQtEnvironment : public ::testing::Environment {
public:
    void SetUp() override { TestKit::EnsureApplication(); }
    void TearDown() override { ShutdownQtApplication(); }
};
[[maybe_unused]] ::testing::Environment* const gQtEnvironment = ::testing::AddGlobalTestEnvironment(new TQtEnvironment);

// Counts how often the dataset's own Locate is asked.
class TCountingDataSet : public TMemDataSet {
public:
    using TMemDataSet::TMemDataSet;
    int Locates = 0;
    bool Locate(const std::string& k, const Variant& v, TLocateOptions o) override {
        ++Locates;
        return TMemDataSet::Locate(k, v, o);
    }
};

}  // namespace

TEST(LocateObject, FindRecordCases) {
    TComponent owner(nullptr);
    auto* ds = new TCountingDataSet(&owner);
    ds->FieldDefs()->Add("Kod", ftInteger);
    ds->FieldDefs()->Add("Nazev", ftString, 35);
    for (int i = 0; i < ds->FieldDefs()->Count(); ++i) ds->FieldDefs()->Items(i)->CreateField(&owner, ds);
    auto* upper = new TStringField(&owner);
    upper->SetFieldName("Velka");
    upper->SetSize(35);
    upper->SetFieldKind(fkCalculated);
    upper->SetDataSet(ds);
    ds->OnCalcFields = [](TDataSet* d) {
        d->FieldByName("Velka")->SetAsString(AnsiUpperCase(d->FieldByName("Nazev")->GetAsString()));
    };
    ds->Open();
    int code = 1;
    for (const std::string& n : SubjectNames()) ds->AppendRecord({Variant(code++), Variant(n)});

    struct Case {
        const char* Field;
        const char* Value;
        bool Exact, CaseSensitive;
        bool Found;
        const char* After;  // Nazev of the current record afterwards
        int Locates;  // calls of the dataset's Locate
    };
    const Case cases[] = {
        {"Nazev", "mat", false, false, true, "Matematika", 1},
        {"Nazev", "mat", false, true, false, "Dějepis", 1},
        {"Nazev", "Matematika", true, true, true, "Matematika", 1},
        {"Nazev", "Matem", true, false, false, "Dějepis", 1},
        {"Nazev", "čes", false, false, true, "Český jazyk", 1},
        {"Nazev", "Dějepis", true, true, true, "Dějepis", 0},  // already current
        {"Nazev", "Latina", true, false, false, "Dějepis", 1},
        {"Kod", "11", true, false, true, "Přírodopis", 1},
        {"Velka", "ZEMĚ", false, false, true, "Zeměpis", 0},  // calculated: scanned
        {"Velka", "zemĚ", false, false, true, "Zeměpis", 0},
        {"Velka", "LATINA", false, false, false, "Dějepis", 0},
    };
    TLocateObject locate;
    locate.BindDataSet(ds);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.Field) + " " + c.Value);
        ASSERT_TRUE(ds->Locate("Nazev", Variant("Dějepis"), {}));
        ds->Locates = 0;
        EXPECT_EQ(locate.FindRecord(c.Field, c.Value, c.Exact, c.CaseSensitive), c.Found);
        EXPECT_EQ(ds->FieldByName("Nazev")->GetAsString(), c.After);
        EXPECT_EQ(ds->Locates, c.Locates);
        EXPECT_EQ(locate.LookupField(), nullptr);
        EXPECT_TRUE(locate.LookupValue().empty());
        EXPECT_FALSE(ds->ControlsDisabled());
    }
    // A number field compares case-sensitively whatever was asked; an unknown field raises.
    EXPECT_TRUE(locate.FindRecord("Kod", "3", true, false));
    EXPECT_THROW(locate.FindRecord("Neni", "x", true, false), EDatabaseError);
    TLocateObject unbound;
    EXPECT_FALSE(unbound.FindRecord("Nazev", "mat", false, false));
}

TEST(LocateObject, FindRecordPostsAnEditFirst) {
    TComponent owner(nullptr);
    auto* ds = new TMemDataSet(&owner);
    ds->FieldDefs()->Add("Nazev", ftString, 35);
    ds->Open();
    ds->AppendRecord({Variant("Fyzika")});
    ds->AppendRecord({Variant("Chemie")});
    ds->First();
    ds->Edit();
    ds->FieldByName("Nazev")->SetAsString("Fyzika a chemie");
    TLocateObject locate;
    locate.BindDataSet(ds);
    EXPECT_TRUE(locate.FindRecord("Nazev", "chemie", true, false));
    EXPECT_EQ(ds->State(), dsBrowse);
    ds->First();
    EXPECT_EQ(ds->FieldByName("Nazev")->GetAsString(), "Fyzika a chemie");
}

TEST(LocateObject, RestoreBookmarkRefusesWhatIsGone) {
    TComponent owner(nullptr);
    auto* ds = new TMemDataSet(&owner);
    ds->FieldDefs()->Add("Nazev", ftString, 35);
    ds->Open();
    ds->AppendRecord({Variant("A")});
    ds->AppendRecord({Variant("B")});
    const TBookmark b = ds->GetBookmark();
    ds->First();
    EXPECT_TRUE(RestoreBookmark(ds, b));
    EXPECT_EQ(ds->FieldByName("Nazev")->GetAsString(), "B");
    ds->Delete();
    EXPECT_FALSE(RestoreBookmark(ds, b));
    EXPECT_FALSE(RestoreBookmark(ds, TBookmark()));
    ds->Close();
    EXPECT_FALSE(RestoreBookmark(ds, b));
}

TEST(LocateObject, FactoryHookReplacesTheClass) {
    struct TMine : TLocateObject {};
    CreateLocateObjectHook = [] { return std::make_unique<TMine>(); };
    auto made = NewLocateObject(nullptr);
    CreateLocateObjectHook = nullptr;
    EXPECT_NE(dynamic_cast<TMine*>(made.get()), nullptr);
}

// --- the control base, through the list ------------------------------------------------------

TEST_F(LookupTest, ShowsTheFieldsRecordAndFallsBackToTheFirstDisplayField) {
    auto* l = MakeList();
    EXPECT_TRUE(l->ListActive());
    EXPECT_EQ(l->Value(), "Fyzika");
    EXPECT_EQ(l->DisplayValue(), "Fyzika");
    EXPECT_EQ(Current(), "Fyzika");

    // Display index out of range: the first display field.
    l->SetLookupField("Kod");
    l->SetLookupDisplay("Nazev;Kod");
    l->SetLookupDisplayIndex(5);
    EXPECT_EQ(l->DisplayField()->FieldName(), "Nazev");
    l->SetLookupDisplayIndex(1);
    EXPECT_EQ(l->DisplayField()->FieldName(), "Kod");
    // No display fields: the key field.
    l->SetLookupDisplay("");
    EXPECT_EQ(l->DisplayField()->FieldName(), "Kod");
    ASSERT_EQ(l->ListFields().size(), 1u);
    EXPECT_THROW(l->SetLookupDisplay("Nazev;Neni"), EDatabaseError);
}

TEST_F(LookupTest, SameSourceOnBothSidesIsCircular) {
    auto* l = new TRxDBLookupList(Form);
    l->SetLookupSource(CardSource);
    l->SetLookupField("Predmet1");
    try {
        l->SetDataSource(CardSource);
        l->SetDataField("Predmet1");
        FAIL() << "no error";
    } catch (const EDatabaseError& e) {
        EXPECT_STREQ(e.what(), "Circular datalinks are not allowed");
    }
}

TEST_F(LookupTest, ClearToEmptyWritesNullOrTheEmptyValue) {
    struct Case {
        const char* EmptyValue;
        bool Null;
        const char* Text;
    };
    const Case cases[] = {{"", true, ""}, {"0", false, "0"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.EmptyValue);
        Cards->First();
        auto* l = MakeList();
        l->SetEmptyValue(c.EmptyValue);
        l->ClearToEmpty();
        EXPECT_EQ(FieldIsNull(), c.Null);
        EXPECT_EQ(Field(), c.Text);
        EXPECT_EQ(l->Value(), c.EmptyValue);
        Cards->Cancel();
        delete l;
    }
}

TEST_F(LookupTest, LookupModeTakesTheFieldsLookupDefinition) {
    // A card whose subject is a code, shown through a lookup field of the card table.
    Cards->Close();
    for (int i = 0; i < Cards->FieldDefs()->Count(); ++i) Cards->FieldDefs()->Items(i)->CreateField(Form, Cards);
    auto* name = new TStringField(Form);
    name->SetFieldName("NazevPredmetu");
    name->SetSize(35);
    name->SetFieldKind(fkLookup);
    name->SetLookupDataSet(Subjects);
    name->KeyFields = "Kod";
    name->LookupKeyFields = "Kod";
    name->LookupResultField = "Nazev";
    name->SetDataSet(Cards);
    Cards->Open();
    Cards->First();
    auto* c = new TRxDBLookupCombo(Form);
    c->SetParent(Form);
    c->SetDataSource(CardSource);
    c->SetDataField("NazevPredmetu");
    EXPECT_TRUE(c->LookupMode());
    EXPECT_EQ(c->GetLookupSource(), nullptr);
    EXPECT_EQ(c->GetLookupField(), "");
    EXPECT_EQ(c->MasterField()->FieldName(), "Kod");
    EXPECT_EQ(c->DisplayField()->FieldName(), "Nazev");
    EXPECT_EQ(c->GetText(), "Fyzika");
    EXPECT_THROW(c->SetLookupSource(SubjectSource), EDatabaseError);
    c->SelectKeyValue("8");
    EXPECT_EQ(Cards->FieldByName("Kod")->GetAsInteger(), 8);
    EXPECT_EQ(c->GetText(), "Matematika");
}

// --- incremental search ----------------------------------------------------------------------

TEST_F(LookupTest, IncrementalSearchWithTheClock) {
    TestKit::TFakeClock clock(100000);
    auto* l = MakeList();
    // Step by step, with the clock moved before each key.
    auto type = [&](char32_t k, DWORD pause) {
        clock.Advance(pause);
        char32_t key = k;
        l->ProcessSearchKey(key);
    };
    type(U'm', 0);
    EXPECT_EQ(l->SearchText(), "M");
    EXPECT_EQ(Field(), "Matematika");
    type(U'a', 1999);
    EXPECT_EQ(l->SearchText(), "Ma");
    type(U'x', 500);  // not found: unchanged
    EXPECT_EQ(l->SearchText(), "Ma");
    EXPECT_EQ(Field(), "Matematika");
    type(U'd', 2001);  // after a pause "d" alone
    EXPECT_EQ(l->SearchText(), "D");
    EXPECT_EQ(Field(), "Dějepis");
    type(U'ě', 100);
    EXPECT_EQ(l->SearchText(), "Dě");
    type(8, 100);
    EXPECT_EQ(l->SearchText(), "D");
    EXPECT_EQ(Field(), "Dějepis");
    // Backspace on one character empties the search and writes nothing.
    type(8, 100);
    EXPECT_EQ(l->SearchText(), "");
    EXPECT_EQ(Field(), "Dějepis");
    type(U'č', 100);
    EXPECT_EQ(l->SearchText(), "Č");
    EXPECT_EQ(Field(), "Český jazyk");
    type(27, 100);
    EXPECT_EQ(l->SearchText(), "");
}

TEST_F(LookupTest, SearchTextStopsAt32Characters) {
    TestKit::TFakeClock clock(5000);
    auto* l = MakeList();
    const std::u32string name = U"Informační a komunikační technologie";
    for (int i = 0; i < TRxLookupControl::MaxSearchLength; ++i) {
        clock.Advance(10);
        l->ProcessSearchKey(name[size_t(i)]);
    }
    EXPECT_EQ(Utf8Length(l->SearchText()), 32);
    EXPECT_EQ(Field(), "Informační a komunikační technologie");
    // The 33rd character empties the search text; the field keeps its subject.
    clock.Advance(10);
    l->ProcessSearchKey(name[32]);
    EXPECT_EQ(l->SearchText(), "");
    EXPECT_EQ(Field(), "Informační a komunikační technologie");
}

TEST_F(LookupTest, ReadOnlyControlDoesNotSearch) {
    auto* l = MakeList();
    l->SetReadOnly(true);
    l->ProcessSearchKey(U'm');
    EXPECT_EQ(l->SearchText(), "");
    EXPECT_EQ(Field(), "Fyzika");
}
