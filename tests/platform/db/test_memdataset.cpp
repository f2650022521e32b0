// The in-memory dataset: the conformance suite, and what only it offers (filters, master
// link, calculated and lookup fields, injected errors).

#include "platform/db/MemDataSet.h"

#include "platform/db/Fields.h"
#include "platform/rtl/SysUtils.h"
#include "tests/platform/db/DataSetConformance.h"

namespace {

TMemDataSet* MakeSchool(TComponent* owner, int rows) {
    auto* ds = new TMemDataSet(owner);
    ds->FieldDefs()->Add("ID", ftInteger);
    ds->FieldDefs()->Add("Jmeno", ftString, 20);
    ds->FieldDefs()->Add("Body", ftFloat);
    ds->FieldDefs()->Add("Datum", ftDate);
    ds->FieldDefs()->Add("Poznamka", ftMemo);
    ds->Open();
    for (int i = 1; i <= rows; ++i)
        ds->AppendRecord({Variant(i), Variant("Žák " + std::to_string(i)), Variant(i * 1.5),
            Variant::FromDate(EncodeDate(2024, 9, 1) + i), Variant("Poznámka " + std::to_string(i))});
    ds->Close();
    return ds;
}

}  // namespace

INSTANTIATE_TEST_SUITE_P(Mem, DataSetConformance,
    ::testing::Values(DataSetMaker{"Mem", [](TComponent* o, int rows) -> TDataSet* { return MakeSchool(o, rows); }}));

class MemDataSetTest : public ::testing::Test {
protected:
    void SetUp() override {
        DS = MakeSchool(&Owner, 6);
        Source = new TDataSource(&Owner);
        Source->SetDataSet(DS);
    }
    std::vector<int> Ids() {
        std::vector<int> ids;
        for (DS->First(); !DS->Eof(); DS->Next()) ids.push_back(DS->FieldByName("ID")->GetAsInteger());
        return ids;
    }
    TComponent Owner{nullptr};
    TMemDataSet* DS = nullptr;
    TDataSource* Source = nullptr;
};

TEST_F(MemDataSetTest, FilterTextsTable) {
    DS->Open();
    struct Case {
        const char* Filter;
        TFilterOptions Options;
        std::vector<int> Ids;
    };
    const Case cases[] = {
        {"ID > 4", {}, {5, 6}},
        {"ID >= 2 AND ID <> 3 AND ID < 5", {}, {2, 4}},
        {"ID = 1 OR (Body > 7 AND NOT ID = 6)", {}, {1, 5}},
        {"Jmeno = 'Žák 2'", {}, {2}},
        {"Jmeno = 'žák 2'", {}, {}},
        {"Jmeno = 'žák 2'", {foCaseInsensitive}, {2}},
        {"Jmeno = 'Žák*'", {}, {1, 2, 3, 4, 5, 6}},
        {"Jmeno = 'Žák*'", {foNoPartialCompare}, {}},
        {"Jmeno LIKE '%3'", {}, {3}},
        {"Poznamka IS NULL", {}, {}},
        {"Datum < '4.9.2024'", {}, {1, 2}},
        {"[Body] = 4.5", {}, {3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Filter);
        DS->SetFilterOptions(c.Options);
        DS->SetFilter(c.Filter);
        DS->SetFiltered(true);
        EXPECT_EQ(Ids(), c.Ids);
        EXPECT_EQ(DS->RecordCount(), int(c.Ids.size()));
        DS->SetFiltered(false);
    }
    EXPECT_THROW(DS->SetFilter("ID = "), EDatabaseError);
    EXPECT_THROW(DS->SetFilter("'unterminated"), EDatabaseError);
}

TEST_F(MemDataSetTest, OnFilterRecordAndFind) {
    DS->Open();
    DS->SetOnFilterRecord([](TDataSet* ds, bool& accept) { accept = ds->FieldByName("ID")->GetAsInteger() % 2 == 0; });
    EXPECT_TRUE(DS->FindFirst());  // searches with the filter though it is off
    EXPECT_EQ(DS->FieldByName("ID")->GetAsInteger(), 2);
    EXPECT_TRUE(DS->FindNext());
    EXPECT_EQ(DS->FieldByName("ID")->GetAsInteger(), 4);
    EXPECT_TRUE(DS->FindLast());
    EXPECT_EQ(DS->FieldByName("ID")->GetAsInteger(), 6);
    EXPECT_FALSE(DS->FindNext());
    EXPECT_EQ(DS->FieldByName("ID")->GetAsInteger(), 6);
    DS->SetFiltered(true);
    EXPECT_EQ(Ids(), (std::vector<int>{2, 4, 6}));
    DS->Locate("ID", Variant(4), {});
    EXPECT_EQ(DS->RecNo(), 2);
    EXPECT_FALSE(DS->Locate("ID", Variant(3), {}));  // filtered out
    // A posted record the filter rejects leaves the view.
    DS->Edit();
    DS->FieldByName("ID")->SetAsInteger(41);
    DS->Post();
    EXPECT_EQ(Ids(), (std::vector<int>{2, 6}));
}

TEST_F(MemDataSetTest, MasterDetail) {
    auto* detail = new TMemDataSet(&Owner);
    detail->FieldDefs()->Add("IDVys", ftInteger);
    detail->FieldDefs()->Add("Predmet", ftString, 30);
    detail->Open();
    detail->AppendRecord({Variant(1), Variant("Matematika")});
    detail->AppendRecord({Variant(2), Variant("Fyzika")});
    detail->AppendRecord({Variant(1), Variant("Chemie")});
    detail->SetMasterFields("ID");
    detail->DetailFields = "IDVys";
    detail->SetMasterSource(Source);
    DS->Open();
    EXPECT_EQ(detail->RecordCount(), 2);
    DS->Next();
    EXPECT_EQ(detail->RecordCount(), 1);
    EXPECT_EQ(detail->FieldByName("Predmet")->GetAsString(), "Fyzika");
    detail->Append();
    EXPECT_EQ(detail->FieldByName("IDVys")->GetAsInteger(), 2);  // the master's key before OnNewRecord
    detail->FieldByName("Predmet")->SetAsString("Dějepis");
    detail->Post();
    EXPECT_EQ(detail->RecordCount(), 2);
    // Moving the master while it is edited leaves the details alone until it is posted.
    DS->Edit();
    DS->FieldByName("Jmeno")->SetAsString("x");
    EXPECT_EQ(detail->RecordCount(), 2);
    DS->Post();
    DS->First();
    EXPECT_EQ(detail->RecordCount(), 2);
    EXPECT_EQ(detail->FieldByName("Predmet")->GetAsString(), "Matematika");
    // A dataset may not become its own master's master.
    auto* detailSource = new TDataSource(&Owner);
    detailSource->SetDataSet(detail);
    auto* other = new TMemDataSet(&Owner);
    EXPECT_THROW(Source->SetDataSet(detail), EDatabaseError);
    (void)other;
    EXPECT_THROW(detail->SetMasterSource(detailSource), EDatabaseError);
    DS->Close();
    EXPECT_EQ(detail->RecordCount(), 4);  // no master: everything
}

TEST_F(MemDataSetTest, CalculatedAndLookupFields) {
    auto* subjects = new TMemDataSet(&Owner);
    subjects->FieldDefs()->Add("Kod", ftInteger);
    subjects->FieldDefs()->Add("Nazev", ftString, 30);
    subjects->Open();
    subjects->AppendRecord({Variant(1), Variant("Matematika")});
    subjects->AppendRecord({Variant(2), Variant("Fyzika")});

    // Persistent fields: data fields for the definitions, then a calculated and a lookup one.
    for (int i = 0; i < DS->FieldDefs()->Count(); ++i) DS->FieldDefs()->Items(i)->CreateField(&Owner, DS);
    auto* doubled = new TFloatField(&Owner);
    doubled->SetFieldName("Dvojnasobek");
    doubled->SetFieldKind(fkCalculated);
    doubled->SetDataSet(DS);
    auto* subject = new TStringField(&Owner);
    subject->SetFieldName("Predmet");
    subject->SetFieldKind(fkLookup);
    subject->SetLookupDataSet(subjects);
    subject->KeyFields = "ID";
    subject->LookupKeyFields = "Kod";
    subject->LookupResultField = "Nazev";
    subject->SetDataSet(DS);
    int calcRuns = 0;
    DS->OnCalcFields = [&](TDataSet* ds) {
        ++calcRuns;
        ds->FieldByName("Dvojnasobek")->SetAsFloat(ds->FieldByName("Body")->GetAsFloat() * 2);
    };
    DS->Open();
    EXPECT_FALSE(DS->DefaultFields());
    EXPECT_DOUBLE_EQ(doubled->GetAsFloat(), 3.0);
    EXPECT_EQ(subject->GetAsString(), "Matematika");
    EXPECT_FALSE(doubled->CanModify());
    DS->Next();
    EXPECT_EQ(subject->GetAsString(), "Fyzika");
    DS->Next();
    EXPECT_TRUE(subject->IsNull());
    DS->Edit();
    DS->FieldByName("ID")->SetAsInteger(1);  // recalculated at once
    EXPECT_EQ(subject->GetAsString(), "Matematika");
    DS->FieldByName("Body")->SetAsFloat(10);
    EXPECT_DOUBLE_EQ(doubled->GetAsFloat(), 20.0);
    DS->Cancel();
    EXPECT_DOUBLE_EQ(doubled->GetAsFloat(), 9.0);
    // Lookup of a calculated field answers what OnCalcFields computes.
    EXPECT_DOUBLE_EQ(DS->Lookup("ID", Variant(5), "Dvojnasobek").AsDouble(), 15.0);
    EXPECT_GT(calcRuns, 0);
    DS->Close();
    EXPECT_EQ(DS->FieldCount(), 7);  // persistent fields stay
}

TEST_F(MemDataSetTest, ErrorEventsRetryAbortFail) {
    DS->Open();
    int failures = 1;
    DS->OnInternalPost = [&](TMemDataSet*) {
        if (failures-- > 0) throw EDatabaseError("zamčeno");
    };
    std::vector<TDataAction> answers;
    DS->OnPostError = [&](TDataSet*, Exception& e, TDataAction& action) {
        EXPECT_EQ(e.Message(), "zamčeno");
        action = answers.at(0);
        answers.erase(answers.begin());
    };
    // Retry: the second attempt succeeds.
    answers = {daRetry};
    DS->Edit();
    DS->FieldByName("Jmeno")->SetAsString("A");
    DS->Post();
    EXPECT_EQ(DS->State(), dsBrowse);
    EXPECT_EQ(DS->FieldByName("Jmeno")->GetAsString(), "A");
    // Abort: silent, still editing.
    failures = 1;
    answers = {daAbort};
    DS->Edit();
    DS->FieldByName("Jmeno")->SetAsString("B");
    EXPECT_THROW(DS->Post(), EAbort);
    EXPECT_EQ(DS->State(), dsEdit);
    // Fail: the error itself.
    failures = 1;
    answers = {daFail};
    EXPECT_THROW(DS->Post(), EDatabaseError);
    EXPECT_EQ(DS->State(), dsEdit);
    DS->Cancel();
    // Other exception classes do not reach the handler.
    failures = 1;
    DS->OnInternalPost = [&](TMemDataSet*) { throw EConvertError("jiná chyba"); };
    answers.clear();
    DS->Edit();
    DS->FieldByName("Jmeno")->SetAsString("C");
    EXPECT_THROW(DS->Post(), EConvertError);
    DS->Cancel();
    // Delete errors.
    DS->OnInternalDelete = [&](TMemDataSet*) { throw EDatabaseError("nelze"); };
    int asked = 0;
    DS->OnDeleteError = [&](TDataSet*, Exception&, TDataAction& a) {
        ++asked;
        a = daFail;
    };
    EXPECT_THROW(DS->Delete(), EDatabaseError);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(DS->RecordCount(), 6);
}

TEST_F(MemDataSetTest, RequiredIsNotCheckedByPost) {
    DS->FieldDefs()->Items(1)->Required = true;
    DS->Open();
    EXPECT_TRUE(DS->FieldByName("Jmeno")->Required());
    DS->Append();
    DS->Post();  // the database, not the framework, refuses empty required values
    EXPECT_EQ(DS->RecordCount(), 7);
}

TEST_F(MemDataSetTest, BookmarkOrderIsConfigurable) {
    DS->Open();
    DS->First();
    DS->Insert();  // a new record before record 1: newer identity, earlier place
    DS->FieldByName("ID")->SetAsInteger(0);
    DS->Post();
    TBookmark fresh = DS->GetBookmark();
    DS->Next();
    TBookmark old = DS->GetBookmark();
    EXPECT_EQ(DS->CompareBookmarks(fresh, old), -1);
    DS->BookmarksInRecordOrder = false;
    EXPECT_EQ(DS->CompareBookmarks(fresh, old), 1);
}

TEST_F(MemDataSetTest, ReadOnlyDataSetAndFields) {
    DS->ReadOnly = true;
    DS->Open();
    EXPECT_FALSE(DS->CanModify());
    EXPECT_THROW(DS->Edit(), EDatabaseError);
    EXPECT_THROW(DS->Append(), EDatabaseError);
    DS->Close();
    DS->ReadOnly = false;
    DS->Open();
    DS->FieldByName("ID")->SetReadOnly(true);
    DS->Edit();
    try {
        DS->FieldByName("ID")->SetAsInteger(9);
        FAIL();
    } catch (EDatabaseError& e) {
        EXPECT_EQ(e.Message(), "Pole 'ID' nelze měnit.");
    }
    EXPECT_FALSE(DS->FieldByName("ID")->CanModify());
}

TEST_F(MemDataSetTest, LayoutChangesReachLinks) {
    DS->Open();
    TRecordingLink link(Source);
    link.Take();
    DS->FieldByName("Body")->SetVisible(false);
    DS->FieldByName("Jmeno")->SetIndex(0);
    DS->FieldByName("Jmeno")->SetDisplayLabel("Jméno");
    EXPECT_EQ(link.Take(), "Layout, Layout, Layout");
    EXPECT_EQ(DS->Fields()->Fields(0)->FieldName(), "Jmeno");
    DS->DisableControls();
    DS->FieldByName("Body")->SetVisible(true);
    DS->EnableControls();
    EXPECT_EQ(link.Take(), "Layout");  // the suppressed layout change instead of a data change
}

TEST_F(MemDataSetTest, FieldDataLinkFollowsItsField) {
    DS->Open();
    TFieldDataLink link;
    link.Control = &Owner;
    int changes = 0, editing = 0, updates = 0;
    link.OnDataChange = [&](TObject*) { ++changes; };
    link.OnEditingChange = [&](TObject*) { ++editing; };
    link.OnUpdateData = [&](TObject*) {
        ++updates;
        link.Field()->SetAsString("Z editoru");
    };
    link.SetDataSource(Source);
    link.SetFieldName("Jmeno");
    EXPECT_EQ(link.Field(), DS->FieldByName("Jmeno"));
    EXPECT_GE(changes, 1);
    changes = 0;
    DS->Next();
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(link.Edit());
    EXPECT_EQ(editing, 1);
    link.SetModified();
    DS->Post();
    EXPECT_EQ(updates, 1);
    EXPECT_EQ(DS->FieldByName("Jmeno")->GetAsString(), "Z editoru");
    Source->AutoEdit = false;
    EXPECT_FALSE(link.Edit());
    EXPECT_THROW(link.SetFieldName("Neni"), EDatabaseError);  // with a control: an error at once
}

namespace {
// An error a dataset cannot raise reaches the hook the window layer sets, with the dataset and
// the error itself; the setter gives back the hook it replaced.
TEST_F(MemDataSetTest, ErrorsThatCannotBeRaisedReachTheHook) {
    TDataSet* got = nullptr;
    std::string message;
    TDataSet::THandleExceptionHook previous = TDataSet::SetHandleExceptionHook([&](TDataSet* ds) {
        got = ds;
        try {
            throw;
        } catch (const Exception& e) {
            message = e.Message();
        }
    });
    try {
        DatabaseError("Disk je plný");
    } catch (const Exception&) {
        DS->HandleException();
    }
    TDataSet::SetHandleExceptionHook(previous);
    EXPECT_EQ(got, DS);
    EXPECT_EQ(message, "Disk je plný");
    EXPECT_FALSE(TDataSet::GetHandleExceptionHook());  // put back as it was
}
}  // namespace
