#include <gtest/gtest.h>

#include <cstring>

#include "KDaoTestDb.h"
#include "platform/db/Fields.h"
#include "platform/rtl/SysUtils.h"

using kdaotest::ErrorOf;

namespace {

class KDaoTable_ : public kdaotest::KDaoFixture {};

std::vector<std::string> Walk(TDataSet* t, const char* field = "Jmeno") {
    std::vector<std::string> out;
    for (t->First(); !t->Eof(); t->Next()) out.push_back(t->FieldByName(field)->GetAsString());
    return out;
}

TEST_F(KDaoTable_, VysvedceniOpensWithAllFields) {
    TKDaoTable* t = Table("vysvedceni");
    t->Open();
    ASSERT_EQ(t->FieldCount(), 135);
    struct Case {
        int index;
        const char* name;
        TClass cls;
        int size;
    };
    const Case cases[] = {
        {0, "ID", TAutoIncField::StaticClass(), 0},
        {1, "SkolniRok", TStringField::StaticClass(), 10},
        {4, "Jmeno", TStringField::StaticClass(), 50},
        {5, "DatumNar", TDateTimeField::StaticClass(), 0},
        {10, "CHovaniTisk", TBooleanField::StaticClass(), 0},
        {11, "Predmet1", TStringField::StaticClass(), 35},
        {48, "Predmet19Tisk", TBooleanField::StaticClass(), 0},
        {49, "ZnamkaChovA", TStringField::StaticClass(), 15},
        {88, "Znamka19B", TStringField::StaticClass(), 15},
        {89, "NPredmet1", TStringField::StaticClass(), 35},
        {112, "NZnamka8B", TStringField::StaticClass(), 15},
        {113, "ZamHodinyOmlA", TSmallintField::StaticClass(), 0},
        {117, "CelkHodnA", TStringField::StaticClass(), 40},
        {119, "PochvalyA", TMemoField::StaticClass(), 0},
        {123, "VzdelProgram", TMemoField::StaticClass(), 0},
        {124, "Dolozka", TStringField::StaticClass(), 120},
        {127, "DneA", TStringField::StaticClass(), 30},
        {129, "ReportFront", TStringField::StaticClass(), 128},
        {133, "Ucitel", TStringField::StaticClass(), 30},
        {134, "SoucastiListB", TBooleanField::StaticClass(), 0},
    };
    for (const Case& c : cases) {
        TField* f = t->Fields()->Fields(c.index);
        EXPECT_EQ(f->FieldName(), c.name);
        EXPECT_EQ(f->ClassType(), c.cls) << c.name;
        if (c.size) {
            EXPECT_EQ(f->Size(), c.size) << c.name;
        }
    }
    EXPECT_TRUE(t->FieldByName("ID")->ReadOnly());
    EXPECT_EQ(t->RecordCount(), 5);
    EXPECT_EQ(t->FieldByName("Jmeno")->GetAsString(), "Novák Jan");
    EXPECT_EQ(t->FieldByName("ZamHodinyOmlA")->GetAsInteger(), 4);
    EXPECT_EQ(t->FieldByName("PochvalyA")->GetAsString(), "Pochvala třídního učitele");  // fetched, not cached
    EXPECT_DOUBLE_EQ(t->FieldByName("DatumNar")->GetAsDateTime(), 38000.5);
    EXPECT_TRUE(t->GetName().rfind("KDaoTable_", 0) == 0);

    // A second table on the same table has the same fields whatever it declared before.
    TKDaoTable* temp = Table("vysvedceni");
    temp->Open();
    EXPECT_EQ(temp->FieldCount(), 135);
}

TEST_F(KDaoTable_, NavigationCountsAndBookmarks) {
    TKDaoTable* t = Table("vysvedceni");
    t->Open();
    EXPECT_EQ(Walk(t),
        (std::vector<std::string>{"Novák Jan", "Nováková Eva", "Chalupa Petr", "Čermák \"Číča\" Jiří", "Horák Adam"}));
    EXPECT_TRUE(t->Eof());
    t->Last();
    EXPECT_EQ(t->FieldByName("Jmeno")->GetAsString(), "Horák Adam");
    EXPECT_EQ(t->RecNo(), 5);
    t->Prior();
    EXPECT_EQ(t->RecNo(), 4);
    TBookmark b = t->GetBookmark();
    t->First();
    EXPECT_TRUE(t->BookmarkValid(b));
    t->GotoBookmark(b);
    EXPECT_EQ(t->FieldByName("Jmeno")->GetAsString(), "Čermák \"Číča\" Jiří");
    EXPECT_EQ(t->CompareBookmarks(TBookmark(), b), 1);
    EXPECT_EQ(t->CompareBookmarks(b, TBookmark()), -1);
    t->SetRecNo(2);
    EXPECT_EQ(t->FieldByName("Jmeno")->GetAsString(), "Nováková Eva");

    // A client filter that rejects everything leaves nothing.
    t->SetOnFilterRecord([](TDataSet*, bool& accept) { accept = false; });
    t->SetFiltered(true);
    EXPECT_TRUE(t->IsEmpty());
    EXPECT_EQ(t->RecordCount(), 0);
    t->SetFiltered(false);
    EXPECT_EQ(t->RecordCount(), 5);
    t->SetOnFilterRecord(nullptr);

    // A bookmark taken before a re-open is invalid afterwards.
    TBookmark old = t->GetBookmark();
    t->SetFilterText("[Trida] = \"1.A\"");
    t->SetFiltered(true);
    EXPECT_EQ(Walk(t), (std::vector<std::string>{"Novák Jan", "Nováková Eva"}));
    EXPECT_EQ(ErrorOf([&] { t->GotoBookmark(old); }), "Invalid Bookmark!");
}

TEST_F(KDaoTable_, SortedByAndReopenFailureCloses) {
    TKDaoTable* t = Table("vysvedceni");
    TStringList sort;
    sort.Add("[Jmeno]");
    t->SetSortedBy(&sort);
    t->Open();
    EXPECT_EQ(t->SortText(), "[Jmeno] ");
    EXPECT_EQ(Walk(t).front(), "Čermák \"Číča\" Jiří");  // Czech order: Č before H, Ch after H
    EXPECT_EQ(Walk(t)[2], "Chalupa Petr");
    // A filter DAO cannot understand closes the table instead of leaving it without a recordset.
    t->SetFiltered(true);
    EXPECT_NE(ErrorOf([&] { t->SetFilterText("[Nope] = 1"); }), "");
    EXPECT_FALSE(t->Active());
}

TEST_F(KDaoTable_, EditInsertDelete) {
    TKDaoTable* t = Table("Predmety");
    t->Open();
    t->Edit();
    t->FieldByName("Nazev")->SetAsString("Čeština");
    t->Post();
    EXPECT_EQ(t->FieldByName("Nazev")->GetAsString(), "Čeština");

    t->Append();
    t->FieldByName("Nazev")->SetAsString("Fyzika");
    t->FieldByName("tisk")->SetAsBoolean(true);
    t->Post();
    EXPECT_EQ(t->FieldByName("Nazev")->GetAsString(), "Fyzika");
    EXPECT_EQ(t->FieldByName("ID")->GetAsInteger(), 6);
    EXPECT_EQ(t->RecordCount(), 6);
    EXPECT_EQ(t->RecNo(), 6);

    // A string set empty: Nazev does not allow zero length, so Null is written.
    t->Edit();
    t->FieldByName("Nazev")->SetAsString("");
    t->Post();
    EXPECT_TRUE(t->FieldByName("Nazev")->IsNull());

    t->First();
    t->Delete();
    EXPECT_EQ(t->RecordCount(), 5);
    EXPECT_EQ(t->FieldByName("Nazev")->GetAsString(), "Matematika");

    TKDaoTable* check = Table("Predmety");
    check->Open();
    EXPECT_EQ(Walk(check, "Nazev"), (std::vector<std::string>{"Matematika", "Chemie", "Cizí jazyk", "Dějepis", ""}));
}

TEST_F(KDaoTable_, PostErrorEventAndCancelOfFailedInsert) {
    TKDaoTable* p = Table("Predmety");
    p->Open();
    TField* id = p->FieldByName("ID");
    int calls = 0;
    p->OnPostError = [&](TDataSet*, Exception& e, TDataAction& action) {
        ++calls;
        EXPECT_FALSE(e.Message().empty());
        if (calls == 1) {
            p->FieldByName("Nazev")->SetAsString("Chemie II");  // a free name: try again
            action = daRetry;
        }
    };
    p->Insert();
    p->FieldByName("Nazev")->SetAsString("Chemie");  // the name index is unique: Update fails
    p->Post();
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(p->FieldByName("Nazev")->GetAsString(), "Chemie II");
    EXPECT_EQ(id->GetAsInteger(), 6);
    EXPECT_EQ(p->RecordCount(), 6);

    // daFail: the error reaches the caller; Cancel drops DAO's pending add too, so the next
    // edit works.
    p->OnPostError = [](TDataSet*, Exception&, TDataAction& action) { action = daFail; };
    p->Insert();
    p->FieldByName("Nazev")->SetAsString("Chemie");
    EXPECT_NE(ErrorOf([&] { p->Post(); }), "");
    p->Cancel();
    p->Edit();
    p->FieldByName("Nazev")->SetAsString("Přírodopis");
    p->Post();
    EXPECT_EQ(p->FieldByName("Nazev")->GetAsString(), "Přírodopis");
}

TEST_F(KDaoTable_, AnotherUserChangesOrDeletes) {
    TKDaoTable* t = Table("vysvedceni");
    t->Open();
    t->Next();  // Nováková Eva, ID 2
    Other("UPDATE vysvedceni SET Jmeno = 'Nováková-Malá Eva' WHERE ID = 2");
    t->Edit();  // editing starts from the database's values
    EXPECT_EQ(t->FieldByName("Jmeno")->GetAsString(), "Nováková-Malá Eva");
    t->Cancel();

    Other("DELETE FROM vysvedceni WHERE ID = 2");
    EXPECT_NO_THROW(t->Delete());  // already gone: done
    EXPECT_EQ(t->RecordCount(), 4);
    EXPECT_NE(t->FieldByName("ID")->GetAsInteger(), 2);
}

TEST_F(KDaoTable_, BlobStream) {
    TKDaoTable* t = Table("vysvedceni");
    t->Open();
    TField* memo = t->FieldByName("PochvalyA");
    {
        std::unique_ptr<TStream> s(t->CreateBlobStream(memo, bmRead));
        EXPECT_EQ(s->Size(), int64_t(std::string("Pochvala třídního učitele").size()));
        char buf[8];
        EXPECT_EQ(s->Seek(1000, soFromBeginning), 1000);
        EXPECT_EQ(s->Read(buf, 8), 0);  // past the end: nothing
        EXPECT_EQ(s->Seek(-1, soFromBeginning), -1);  // before the start: refused
        EXPECT_EQ(s->Position(), 1000);
    }
    t->Edit();
    {
        std::unique_ptr<TStream> s(t->CreateBlobStream(memo, bmReadWrite));
        s->Seek(0, soFromBeginning);
        s->Write("POCH", 4);  // overwrites in place
        std::unique_ptr<TStream> r(t->CreateBlobStream(memo, bmRead));
        std::string back(size_t(r->Size()), '\0');
        r->Read(back.data(), r->Size());
        EXPECT_EQ(back, "POCHvala třídního učitele");  // the written content, not the database's
    }
    {
        std::unique_ptr<TStream> s(t->CreateBlobStream(t->FieldByName("PochvalyB"), bmWrite));
        s->Seek(3, soFromBeginning);
        s->Write("ab", 2);  // gap filled with zero bytes
        EXPECT_EQ(s->Size(), 5);
    }
    t->Post();
    EXPECT_EQ(memo->GetAsString(), "POCHvala třídního učitele");
    EXPECT_EQ(t->FieldByName("PochvalyB")->GetAsString(), std::string("\0\0\0ab", 5));

    // The DAO cursor stays where it was when the stream reads another record.
    t->Last();
    TKDaoTable* other = Table("vysvedceni");
    other->Open();
    other->Last();
    EXPECT_EQ(other->FieldByName("Jmeno")->GetAsString(), "Horák Adam");

    t->SetReadOnly(true);
    EXPECT_EQ(ErrorOf([&] { delete t->CreateBlobStream(memo, bmWrite); }), "Cannot write to ReadOnly table!");
}

TEST_F(KDaoTable_, LocateAndLookup) {
    TKDaoTable* t = Table("vysvedceni");
    t->Open();
    TLocateOptions both{loCaseInsensitive, loPartialKey};
    // The criteria DAO receives; the key values travel beside the text, bound to the statement.
    auto criteria = [&](const char* field, const Variant& key, TLocateOptions o) {
        TKDaoTable::TKeyCriteria c = t->BuildLocateCriteria({field}, {key}, o);
        std::string out = c.Text;
        for (const auto& v : c.Values) out += " | " + v.Name + "=" + VarToStr(v.Value);
        return c.CanMatch ? out : "no match";
    };
    EXPECT_EQ(criteria("Jmeno", Variant("Nov"), both), "([Jmeno]  LIKE LCASE([@1])) | @1=nov*");
    EXPECT_EQ(criteria("Jmeno", Variant("a\"b*"), TLocateOptions{loPartialKey}), "([Jmeno]  LIKE [@1]) | @1=a\"b[*]*");
    EXPECT_EQ(criteria("ID", Variant::Null(), TLocateOptions{}), "([ID] IS NULL)");
    EXPECT_EQ(criteria("DatumNar", Variant("5.3.2004 10:20:00"), TLocateOptions{}),
        "([DatumNar]  = [@1]) | @1=" + VarToStr(Variant::FromDate(EncodeDate(2004, 3, 5) + EncodeTime(10, 20, 0, 0))));
    EXPECT_EQ(criteria("ID", Variant("999 OR 1=1"), TLocateOptions{}), "no match");

    struct Case {
        const char* key;
        TLocateOptions options;
        bool found;
        const char* name;
    };
    const Case cases[] = {
        {"novák jan", TLocateOptions{loCaseInsensitive}, true, "Novák Jan"},
        {"ČERMÁK", both, true, "Čermák \"Číča\" Jiří"},
        {"Nováková", TLocateOptions{loPartialKey}, true, "Nováková Eva"},
        {"Chalupa Petr", TLocateOptions{}, true, "Chalupa Petr"},
        {"chalupa petr", TLocateOptions{}, true, "Chalupa Petr"},  // Jet compares text without case
        {"Nikdo", both, false, "Chalupa Petr"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(t->Locate("Jmeno", Variant(c.key), c.options), c.found) << c.key;
        EXPECT_EQ(t->FieldByName("Jmeno")->GetAsString(), c.name) << c.key;
    }
    EXPECT_TRUE(t->Locate("Trida;ZamHodinyOmlA", VarArrayOf({Variant("1.B"), Variant(12)}), TLocateOptions{}));
    EXPECT_EQ(t->RecNo(), 3);
    EXPECT_EQ(ErrorOf([&] { t->Locate("Trida;Jmeno", Variant("x"), TLocateOptions{}); }),
        "Number of elements in the KeyValues array must be equal to the number of fields.");

    EXPECT_EQ(VarToStr(t->Lookup("ID", Variant(5), "Jmeno")), "Horák Adam");
    Variant two = t->Lookup("Jmeno", Variant("Novák Jan"), "Trida;ZamHodinyOmlA");
    ASSERT_TRUE(two.IsArray());
    EXPECT_EQ(VarToStr(two.GetElement({0})), "1.A");
    EXPECT_EQ(two.GetElement({1}).AsInteger(), 4);
    EXPECT_TRUE(t->Lookup("ID", Variant(99), "Jmeno").IsNull());
    EXPECT_EQ(ErrorOf([&] { t->Lookup("ID", Variant(1), "Nope"); }), "Invalid field name: Nope");
    EXPECT_EQ(ErrorOf([&] { t->Lookup("ID", Variant(1), ""); }), "ResultFields are not defined");
    EXPECT_EQ(t->FieldByName("Jmeno")->GetAsString(), "Chalupa Petr");  // Lookup does not move
    EXPECT_FALSE(t->FindFirst());
}

TEST_F(KDaoTable_, TableTypeIndexesAndSeek) {
    TKDaoTable* t = Table("Predmety", 1);
    t->Open();
    ASSERT_GE(t->IndexDefs()->Count(), 1);
    EXPECT_EQ(t->IndexDefs()->Find("IxNazev")->Fields, "Nazev");
    EXPECT_EQ(t->IndexDefs()->FindIndexForFields("Nazev"), "IxNazev");
    EXPECT_EQ(t->IndexDefs()->FindIndexForFields("!Nazev;ID"), "");
    EXPECT_TRUE(t->Locate("Nazev", Variant("Chemie"), TLocateOptions{}));
    EXPECT_EQ(t->FieldByName("ID")->GetAsInteger(), 3);
    // ">=" would land on the next name: a record that does not match is not found.
    EXPECT_FALSE(t->Locate("Nazev", Variant("Chemiex"), TLocateOptions{}));
    EXPECT_TRUE(t->Locate("Nazev", Variant("Dě"), TLocateOptions{loPartialKey}));
    EXPECT_EQ(t->FieldByName("Nazev")->GetAsString(), "Dějepis");
    EXPECT_EQ(ErrorOf([&] { t->SetTableType(2); }),
        "TKDaoTable.F_Set_TableType: Cannot set TableType while Table is active!");

    TKDaoTable* d = Table("Predmety");
    EXPECT_EQ(ErrorOf([&] { d->SetIndexName("IxNazev"); }),
        "TKDaoTable.F_Set_IndexName: Indexes can be set only on Standard Tables!");
    d->Open();
    EXPECT_EQ(d->IndexDefs()->FindIndexForFields("Nazev"), "");
}

TEST_F(KDaoTable_, MasterDetail) {
    TKDaoTable* master = Table("Predmety");
    master->Open();
    TDataSource* ds = new TDataSource(Owner.get());
    ds->SetDataSet(master);
    TKDaoTable* detail = Table("vysvedceni");
    TStringList mf;
    mf.Add("ID");  // one name without an arrow is a list of one
    detail->SetMasterFields(&mf);
    detail->SetMasterSource(ds);
    detail->Open();
    EXPECT_EQ(Walk(detail), (std::vector<std::string>{"Novák Jan"}));
    master->Next();
    EXPECT_EQ(Walk(detail), (std::vector<std::string>{"Nováková Eva"}));

    mf.Clear();
    mf.Add("ZamHodinyOmlA -> ID");
    mf.Add("ignored line");
    detail->SetMasterFields(&mf);
    EXPECT_EQ(detail->DetailNames(), (std::vector<std::string>{"ZamHodinyOmlA"}));
    master->First();
    EXPECT_EQ(Walk(detail), (std::vector<std::string>{}));
    master->Last();  // ID 5: nobody has 5 excused hours
    EXPECT_TRUE(detail->IsEmpty());
    master->SetRecNo(2);
    EXPECT_EQ(Walk(detail), (std::vector<std::string>{"Horák Adam"}));

    // A new detail record takes the master's key before OnNewRecord runs.
    int seen = -1;
    detail->OnNewRecord = [&](TDataSet* d) { seen = d->FieldByName("ZamHodinyOmlA")->GetAsInteger(); };
    detail->Append();
    EXPECT_EQ(seen, 2);
    detail->Cancel();

    // Filter and restriction are combined.
    detail->SetFilterText("[Trida] = \"2.A\"");
    detail->SetFiltered(true);
    EXPECT_EQ(detail->CombineWithFilter("([ZamHodinyOmlA]  = 2)"), "(([ZamHodinyOmlA]  = 2)) AND ([Trida] = \"2.A\")");
    EXPECT_EQ(Walk(detail), (std::vector<std::string>{"Horák Adam"}));
    EXPECT_EQ(ErrorOf([&] {
        master->SetMasterSource(nullptr);
        detail->SetMasterSource(detail->GetMasterSource());
    }),
        "");
}

TEST_F(KDaoTable_, SqlParams) {
    TKDaoTable* t = new TKDaoTable(Owner.get());
    t->SetDatabase(Db);
    TStringList sql;
    sql.Add("Select * From [vysvedceni] Where [Trida] = :Trida");
    t->SetSQL(&sql);
    ASSERT_EQ(t->GetParams()->Count(), 1);
    t->GetParams()->ParamByName("Trida")->SetAsString("1.A");
    t->Open();
    EXPECT_EQ(Walk(t), (std::vector<std::string>{"Novák Jan", "Nováková Eva"}));
    t->Close();
    sql.Add("and [Ucitel] = :Ucitel");
    sql.Add("Order By [Jmeno]");
    t->SetSQL(&sql);
    EXPECT_EQ(t->GetParams()->Count(), 2);
    EXPECT_EQ(t->GetParams()->ParamByName("Trida")->AsString(), "1.A");  // kept
    t->GetParams()->ParamByName("Ucitel")->Clear();  // Null: IS NULL
    t->GetParams()->ParamByName("Trida")->SetAsString("2.A");
    t->Open();
    EXPECT_EQ(Walk(t), (std::vector<std::string>{"Horák Adam"}));
}

TEST_F(KDaoTable_, SetterRefusalsAndOptions) {
    TKDaoTable* t = Table("Prefs");
    t->Open();
    EXPECT_EQ(ErrorOf([&] { t->SetTableName("x"); }),
        "TKDaoTable.F_Set_TableName: Cannot set TableName while Table is active!");
    EXPECT_EQ(ErrorOf([&] { t->SetDatabase(nullptr); }),
        "TKDaoTable.F_Set_Database: Cannot set Database while Table is Active!");
    EXPECT_EQ(
        ErrorOf([&] { t->SetLockType(2); }), "TKDaoTable.F_Set_LockType: Cannot set LockType while Table is active!");
    EXPECT_EQ(ErrorOf([&] { t->SetQueryDefName("q"); }),
        "TKDaoTable.F_Set_QueryDefName: Cannot set QueryDefName while Table is Active!");
    t->Close();
    t->SetOpenOptions(TOOSet{dbAppendOnly, dbFailOnError});
    EXPECT_EQ(int(t->GetOpenOptions().Mask()), 136);
    EXPECT_EQ(int(TOOSet{dbForwardOnly}.Mask()), 256);
    TKDaoTable* none = new TKDaoTable(Owner.get());
    EXPECT_EQ(ErrorOf([&] { none->Open(); }), "TKDaoTable.OpenDaoRecordset: Missing Database Property");
    none->SetDatabase(Db);
    EXPECT_EQ(ErrorOf([&] { none->Open(); }),
        "TKDaoTable.OpenDaoRecordset: Missing TableName or QueryDefName, or SQL is empty!");
    none->SetTableName("Prefs");
    Db->SetConnected(false);
    EXPECT_EQ(ErrorOf([&] { none->Open(); }), "TKDaoTable.OpenDaoRecordset: Database is NOT connected");
    none->SetDatabaseAutoActivate(true);
    none->Open();
    EXPECT_TRUE(Db->Connected());
    EXPECT_EQ(none->FieldByName("SkolaNazev")->GetAsString(), "ZŠ Karlov");
    TKDaoTable* snap = Table("Prefs", 4);
    snap->Open();
    EXPECT_TRUE(snap->GetReadOnly());
    TKDaoTable* bad = Table("Pre]fs");
    EXPECT_EQ(ErrorOf([&] { bad->Open(); }), "TKDaoTable: Invalid table name: Pre]fs");
}

}  // namespace
