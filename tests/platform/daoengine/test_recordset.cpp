#include <cctype>
#include <gtest/gtest.h>

#include "DaoTestDb.h"
#include "platform/rtl/SysUtils.h"

using namespace Dao;
using daotest::DaoErr;
using daotest::Str;

namespace {

class Recordset_ : public daotest::DaoFixture {};

std::vector<std::string> Walk(Recordset& rs, const char* field = "Jmeno") {
    std::vector<std::string> out;
    if (rs.GetBOF() && rs.GetEOF()) return out;
    rs.MoveFirst();
    while (!rs.GetEOF()) {
        out.push_back(Str(rs, field));
        rs.MoveNext();
    }
    return out;
}

TEST_F(Recordset_, OpensOnFirstRecordAndMovesToBothEnds) {
    auto rs = Dynaset();
    EXPECT_FALSE(rs->GetBOF());
    EXPECT_EQ(Str(*rs, "Jmeno"), "Horák");
    EXPECT_EQ(rs->AbsolutePosition(), 0);
    rs->MoveLast();
    EXPECT_EQ(Str(*rs, "Jmeno"), "Šťastný");
    EXPECT_EQ(rs->RecordCount(), 5);
    rs->MoveNext();
    EXPECT_TRUE(rs->GetEOF());
    EXPECT_EQ(rs->AbsolutePosition(), -1);
    EXPECT_EQ(DaoErr([&] { rs->MoveNext(); }), errNoCurrentRecord);
    EXPECT_EQ(DaoErr([&] { rs->GetFields().Item("Jmeno").GetValue(); }), errNoCurrentRecord);
    EXPECT_EQ(DaoErr([&] { rs->GetBookmark(); }), errNoCurrentRecord);
    rs->MoveFirst();
    rs->MovePrevious();
    EXPECT_TRUE(rs->GetBOF());
    EXPECT_EQ(DaoErr([&] { rs->MovePrevious(); }), errNoCurrentRecord);
    rs->Move(3);
    EXPECT_EQ(Str(*rs, "Jmeno"), "Čermák");  // from BOF, three rows on
    rs->Move(-2);
    EXPECT_EQ(Str(*rs, "Jmeno"), "Horák");
    rs->Move(10);
    EXPECT_TRUE(rs->GetEOF());
}

TEST_F(Recordset_, EmptyResultIsBothBofAndEof) {
    auto rs = Db->OpenRecordset("Select * From [Zaci] Where [Trida] = \"9.Z\";", dbOpenDynaset);
    EXPECT_TRUE(rs->GetBOF());
    EXPECT_TRUE(rs->GetEOF());
    EXPECT_EQ(rs->RecordCount(), 0);
    EXPECT_EQ(DaoErr([&] { rs->MoveFirst(); }), errNoCurrentRecord);
    EXPECT_EQ(DaoErr([&] { rs->MoveLast(); }), errNoCurrentRecord);
    EXPECT_EQ(DaoErr([&] { rs->Edit(); }), errNoCurrentRecord);
}

TEST_F(Recordset_, BookmarksAreRowIdsSharedWithClones) {
    auto rs = Dynaset();
    rs->Move(2);
    const Bookmark b = rs->GetBookmark();
    ASSERT_EQ(b.size(), 4u);
    EXPECT_EQ(b, (Bookmark{3, 0, 0, 0}));  // row id 3, little-endian
    rs->MoveFirst();
    rs->Move(2);
    EXPECT_EQ(rs->GetBookmark(), b);  // same record, same bookmark

    auto clone = rs->Clone();
    EXPECT_EQ(DaoErr([&] { clone->GetFields().Item(0).GetValue(); }), errNoCurrentRecord);
    clone->SetBookmark(b);
    EXPECT_EQ(Str(*clone, "Jmeno"), "Čermák");
    clone->MoveNext();  // own position
    EXPECT_EQ(Str(*rs, "Jmeno"), "Čermák");
    EXPECT_EQ(DaoErr([&] { rs->SetBookmark(Bookmark{99, 0, 0, 0}); }), errInvalidBookmark);
    EXPECT_EQ(DaoErr([&] { rs->SetBookmark(Bookmark{1}); }), errInvalidBookmark);

    clone->SetBookmark(b);
    clone->Delete();
    EXPECT_EQ(DaoErr([&] { rs->GetFields().Item("Jmeno").GetValue(); }), errRecordDeleted);
    EXPECT_EQ(DaoErr([&] { rs->SetBookmark(b); }), errRecordDeleted);
    rs->MoveNext();  // continues from the deleted row's neighbour
    EXPECT_EQ(Str(*rs, "Jmeno"), "Cibulka");
    EXPECT_EQ(rs->RecordCount(), 4);
}

TEST_F(Recordset_, EditModeTransitions) {
    auto rs = Dynaset();
    EXPECT_EQ(rs->GetEditMode(), dbEditNone);
    EXPECT_EQ(DaoErr([&] { rs->Update(); }), errUpdateWithoutEdit);
    EXPECT_EQ(DaoErr([&] { rs->CancelUpdate(); }), errUpdateWithoutEdit);
    EXPECT_EQ(DaoErr([&] { rs->GetFields().Item("Jmeno").SetValue(Variant("x")); }), errUpdateWithoutEdit);
    rs->Edit();
    EXPECT_EQ(rs->GetEditMode(), dbEditInProgress);
    rs->GetFields().Item("Jmeno").SetValue(Variant("Horáková"));
    EXPECT_EQ(Str(*rs, "Jmeno"), "Horáková");  // the buffer
    rs->CancelUpdate();
    EXPECT_EQ(rs->GetEditMode(), dbEditNone);
    EXPECT_EQ(Str(*rs, "Jmeno"), "Horák");
    rs->AddNew();
    EXPECT_EQ(rs->GetEditMode(), dbEditAdd);
    EXPECT_EQ(Str(*rs, "Trida"), "1.A");  // the column's default
    rs->MoveNext();  // moving drops the new record
    EXPECT_EQ(rs->GetEditMode(), dbEditNone);
    EXPECT_EQ(rs->RecordCount(), 5);
}

struct UpdateCase {
    const char* Name;
    const char* Field;
    Variant Value;
    bool Adding;
    int Error;
};

class UpdateValidation : public Recordset_, public ::testing::WithParamInterface<UpdateCase> {};

TEST_P(UpdateValidation, FailsWithNumberAndKeepsTheEdit) {
    const UpdateCase& c = GetParam();
    auto rs = Dynaset();
    if (c.Adding) {
        rs->AddNew();
        if (std::string(c.Field) == "Poznamka") rs->GetFields().Item("Jmeno").SetValue(Variant("Nový"));
    } else rs->Edit();
    rs->GetFields().Item(c.Field).SetValue(c.Value);
    EXPECT_EQ(DaoErr([&] { rs->Update(); }), c.Error) << c.Name;
    EXPECT_EQ(rs->GetEditMode(), c.Adding ? dbEditAdd : dbEditInProgress);
    EXPECT_EQ(Engine->GetErrors().Count(), 1);
    EXPECT_EQ(Engine->GetErrors().Item(0).Number, c.Error);
    rs->CancelUpdate();
    EXPECT_EQ(rs->RecordCount(), 5);
}

void PrintTo(const UpdateCase& c, std::ostream* os) { *os << c.Name; }

INSTANTIATE_TEST_SUITE_P(Cases, UpdateValidation,
    ::testing::Values(UpdateCase{"required null on edit", "Jmeno", Variant::Null(), false, errRequiredNull},
        UpdateCase{"required never set on add", "Hodiny", Variant(1), true, errRequiredNull},
        UpdateCase{"zero length not allowed", "Jmeno", Variant(""), false, errZeroLength},
        UpdateCase{"21 characters in TEXT(20)", "Jmeno", Variant("ŽŽŽŽŽŽŽŽŽŽŽŽŽŽŽŽŽŽŽŽŽ"), false, errFieldTooSmall},
        UpdateCase{"letters in a number", "Hodiny", Variant("dvě"), false, errConversion},
        UpdateCase{"out of SHORT range", "Hodiny", Variant(70000), false, errConversion},
        UpdateCase{"not a date", "DatumNar", Variant("31.2.2003"), false, errConversion},
        UpdateCase{"unique index", "Poznamka", Variant("b"), false, errDuplicateKey},
        UpdateCase{"unique index ignores case", "Poznamka", Variant("B"), true, errDuplicateKey}),
    [](const auto& info) {
        std::string name = info.param.Name;
        for (char& ch : name)
            if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
        return name;
    });

TEST_F(Recordset_, TwentyCzechCharactersFitTextTwenty) {
    auto rs = Dynaset();
    rs->Edit();
    rs->GetFields().Item("Jmeno").SetValue(Variant("ŽŽŽŽŽŽŽŽŽŽŽŽŽŽŽŽŽŽŽŽ"));
    rs->Update();
    EXPECT_EQ(Str(*rs, "Jmeno"), "ŽŽŽŽŽŽŽŽŽŽŽŽŽŽŽŽŽŽŽŽ");
}

TEST_F(Recordset_, AddNewAppendsToTheKeysetAndKeepsTheCursor) {
    auto rs = Db->OpenRecordset("Select * From [Zaci] Order By [Jmeno];", dbOpenDynaset);
    EXPECT_EQ(Str(*rs, "Jmeno"), "Cibulka");
    rs->AddNew();
    rs->GetFields().Item("Jmeno").SetValue(Variant("Adam"));
    rs->Update();
    EXPECT_EQ(rs->GetEditMode(), dbEditNone);
    EXPECT_EQ(Str(*rs, "Jmeno"), "Cibulka");  // current record unchanged
    EXPECT_EQ(rs->RecordCount(), 6);
    rs->SetBookmark(rs->LastModified());
    EXPECT_EQ(Str(*rs, "Jmeno"), "Adam");
    EXPECT_EQ(rs->AbsolutePosition(), 5);  // at the end, not in sort order
    EXPECT_EQ(VarToStr(rs->GetFields().Item("ID").GetValue()), "6");
    EXPECT_EQ(rs->GetFields().Item("Tisk").GetValue().AsBoolean(), false);
    rs->Requery();  // now sorted in
    EXPECT_EQ(Str(*rs, "Jmeno"), "Adam");
}

TEST_F(Recordset_, EditWritesAndSetsLastModified) {
    auto rs = Dynaset();
    rs->Move(1);
    rs->Edit();
    rs->GetFields().Item("Hodiny").SetValue(Variant("12"));
    rs->GetFields().Item("Tisk").SetValue(Variant("True"));
    rs->GetFields().Item("DatumNar").SetValue(Variant("1.2.2003"));
    rs->Update();
    EXPECT_EQ(rs->LastModified(), rs->GetBookmark());
    auto other = Open()->OpenRecordset("Select * From [Zaci] Where [ID] = 2;", dbOpenSnapshot);
    EXPECT_EQ(other->GetFields().Item("Hodiny").GetValue().AsInteger(), 12);
    EXPECT_EQ(other->GetFields().Item("Hodiny").GetValue().VarType(), varSmallint);
    EXPECT_TRUE(other->GetFields().Item("Tisk").GetValue().AsBoolean());
    EXPECT_DOUBLE_EQ(other->GetFields().Item("DatumNar").GetValue().AsDouble(), EncodeDate(2003, 2, 1));
    // stored as Jet keeps them: Yes as -1, dates as days since 1899-12-30
    auto raw = Db->OpenRecordset("SELECT Tisk + 0 AS T, DatumNar + 0 AS D FROM Zaci WHERE ID = 2", dbOpenSnapshot);
    EXPECT_EQ(raw->GetFields().Item(0).GetValue().AsInteger(), -1);
    EXPECT_DOUBLE_EQ(raw->GetFields().Item(1).GetValue().AsDouble(), 37653.0);
}

TEST_F(Recordset_, RowDeletedByAnotherUserGives3167) {
    auto rs = Dynaset();
    rs->Move(1);  // Chalupa
    Other("DELETE FROM Zaci WHERE ID = 2");
    EXPECT_EQ(DaoErr([&] { rs->Edit(); }), errRecordDeleted);
    EXPECT_EQ(DaoErr([&] { rs->GetFields().Item(0).GetValue(); }), errRecordDeleted);
    rs->MoveNext();
    EXPECT_EQ(Str(*rs, "Jmeno"), "Čermák");

    auto rs2 = Dynaset();
    Other("DELETE FROM Zaci WHERE ID = 4");
    rs2->Move(1);
    EXPECT_EQ(DaoErr([&] { rs2->Delete(); }), 0);
    rs2->MoveNext();  // passes over the vanished row
    EXPECT_EQ(Str(*rs2, "Jmeno"), "Šťastný");
    EXPECT_EQ(rs2->RecordCount(), 2);

    auto rs3 = Dynaset();
    rs3->MoveLast();
    Other("DELETE FROM Zaci WHERE ID = 5");
    EXPECT_EQ(DaoErr([&] { rs3->Move(0); }), errRecordDeleted);
    EXPECT_EQ(DaoErr([&] { rs3->Delete(); }), errRecordDeleted);
}

TEST_F(Recordset_, ChangeSinceEditGives3197) {
    auto rs = Dynaset();
    rs->Edit();
    rs->GetFields().Item("Hodiny").SetValue(Variant(7));
    Other("UPDATE Zaci SET Trida = '3.C' WHERE ID = 1");
    EXPECT_EQ(DaoErr([&] { rs->Update(); }), errChangedByOther);
    EXPECT_EQ(rs->GetEditMode(), dbEditInProgress);
    rs->CancelUpdate();
    rs->Move(0);
    EXPECT_EQ(Str(*rs, "Trida"), "3.C");  // the other user's value
    rs->Edit();  // starts from it
    rs->GetFields().Item("Hodiny").SetValue(Variant(7));
    rs->Update();
    EXPECT_EQ(Str(*rs, "Hodiny"), "7");
}

// After Update the recordset shows the record as the file holds it (a Null Yes/No stored as No,
// text converted to the column's kind), without reading it back; and a change made since the
// edit through another recordset of the same database is found as one by another user.
TEST_F(Recordset_, UpdatedRecordIsWhatTheFileHolds) {
    auto rs = Dynaset();
    rs->Move(1);
    rs->Edit();
    rs->GetFields().Item("Hodiny").SetValue(Variant("12"));
    rs->GetFields().Item("Tisk").SetValue(Variant::Null());
    rs->GetFields().Item("DatumNar").SetValue(Variant("1.2.2003"));
    rs->GetFields().Item("Jmeno").SetValue(Variant("Řehoř Žluťoučký"));
    rs->Update();
    auto fresh = Open()->OpenRecordset("Select * From [Zaci] Where [ID] = 2;", dbOpenSnapshot);
    for (int i = 0; i < rs->GetFields().Count(); ++i) {
        const Variant mine = rs->GetFields().Item(i).GetValue(), stored = fresh->GetFields().Item(i).GetValue();
        EXPECT_EQ(mine.VarType(), stored.VarType()) << rs->GetFields().Item(i).GetName();
        EXPECT_EQ(VarToStr(mine), VarToStr(stored)) << rs->GetFields().Item(i).GetName();
    }
    EXPECT_FALSE(rs->GetFields().Item("Tisk").GetValue().AsBoolean());

    rs->Edit();
    rs->GetFields().Item("Hodiny").SetValue(Variant(7));
    auto other = Db->OpenRecordset("Zaci", dbOpenDynaset);
    other->Move(1);
    other->Edit();
    other->GetFields().Item("Trida").SetValue(Variant("3.C"));
    other->Update();
    EXPECT_EQ(DaoErr([&] { rs->Update(); }), errChangedByOther);
    rs->CancelUpdate();
    rs->Edit();  // starts from the other recordset's values
    rs->GetFields().Item("Hodiny").SetValue(Variant(7));
    rs->Update();
    EXPECT_EQ(Str(*Open()->OpenRecordset("Select * From [Zaci] Where [ID] = 2;", dbOpenSnapshot), "Trida"), "3.C");
    EXPECT_EQ(Str(*rs, "Hodiny"), "7");
}

TEST_F(Recordset_, FindFirstIsCaseInsensitiveInCzech) {
    struct Case {
        const char* Criteria;
        const char* Found;
    };
    const Case cases[] = {
        {"[Jmeno] = \"čermák\"", "Čermák"},
        {"[Jmeno] = LCASE(\"ŠŤASTNÝ\")", "Šťastný"},
        {"([Jmeno] LIKE LCASE(\"ch*\"))", "Chalupa"},
        {"[Jmeno] LIKE \"?ibulka\"", "Cibulka"},
        {"[Trida] = \"2.a\" AND [Hodiny] > 0", "Cibulka"},
        {"[Hodiny] >= 3 OR [Jmeno] IS NULL", "Čermák"},
        {"NOT ([Hodiny] <> 0)", "Chalupa"},
        {"[Zaci].[Jmeno] = \"HORÁK\"", "Horák"},
    };
    auto rs = Dynaset();
    for (const auto& c : cases) {
        rs->MoveLast();
        rs->FindFirst(c.Criteria);
        EXPECT_FALSE(rs->NoMatch()) << c.Criteria;
        EXPECT_EQ(Str(*rs, "Jmeno"), c.Found) << c.Criteria;
    }
    rs->MoveLast();
    rs->FindFirst("[Jmeno] = \"Cermak\"");  // accents matter, only case does not
    EXPECT_TRUE(rs->NoMatch());
    EXPECT_EQ(Str(*rs, "Jmeno"), "Šťastný");  // position unchanged
    EXPECT_EQ(DaoErr([&] { rs->FindFirst("[Jmeno] = "); }), errSyntaxInCriteria);
    EXPECT_EQ(DaoErr([&] { rs->FindFirst("[Nic] = 1"); }), errUnknownName);
    auto table = Db->OpenRecordset("Zaci", dbOpenTable);
    EXPECT_EQ(DaoErr([&] { table->FindFirst("[ID] = 1"); }), errNotSupported);
}

TEST_F(Recordset_, SortUsesCzechAlphabetAndFilterReopens) {
    auto rs = Dynaset();
    rs->SetSort("[Jmeno] ");
    auto sorted = rs->OpenRecordset();
    EXPECT_EQ(Walk(*sorted), (std::vector<std::string>{"Cibulka", "Čermák", "Horák", "Chalupa", "Šťastný"}));
    rs->SetSort("[Trida] DESC, [Jmeno] ");
    rs->SetFilter("[Hodiny] < 5");
    auto filtered = rs->OpenRecordset(dbOpenSnapshot);
    EXPECT_EQ(Walk(*filtered), (std::vector<std::string>{"Šťastný", "Cibulka", "Chalupa", "Horák"}));
    EXPECT_FALSE(filtered->Updatable());
    EXPECT_EQ(DaoErr([&] { filtered->Edit(); }), errReadOnly);
    auto table = Db->OpenRecordset("Zaci", dbOpenTable);
    EXPECT_EQ(DaoErr([&] { table->SetFilter("[ID] = 1"); }), errNotSupported);
    EXPECT_EQ(DaoErr([&] { table->SetSort("[ID]"); }), errNotSupported);
}

TEST_F(Recordset_, SnapshotKeepsValuesAndRequeryShowsOthersRows) {
    auto snap = Db->OpenRecordset("Zaci", dbOpenSnapshot);
    auto dyn = Dynaset();
    Other("UPDATE Zaci SET Jmeno = 'Hora' WHERE ID = 1; INSERT INTO Zaci (Jmeno, Poznamka) VALUES ('Nový', 'z')");
    EXPECT_EQ(Str(*snap, "Jmeno"), "Horák");
    dyn->MoveFirst();
    EXPECT_EQ(Str(*dyn, "Jmeno"), "Hora");  // read again on arrival
    EXPECT_EQ(dyn->RecordCount(), 5);
    dyn->Requery();
    EXPECT_EQ(dyn->RecordCount(), 6);
}

TEST_F(Recordset_, SeekOnIndexOfTableTypeRecordset) {
    auto rs = Db->OpenRecordset("Zaci", dbOpenTable);
    EXPECT_EQ(DaoErr([&] { rs->Seek("=", {Variant("Horák")}); }), errNoCurrentIndex);
    EXPECT_EQ(DaoErr([&] { rs->SetIndex("Neni"); }), errNotAnIndex);
    rs->SetIndex("IxJmeno");
    EXPECT_EQ(Walk(*rs), (std::vector<std::string>{"Cibulka", "Čermák", "Horák", "Chalupa", "Šťastný"}));
    rs->Seek("=", {Variant("HORÁK")});
    EXPECT_FALSE(rs->NoMatch());
    EXPECT_EQ(Str(*rs, "Jmeno"), "Horák");
    rs->Seek(">=", {Variant("D")});
    EXPECT_EQ(Str(*rs, "Jmeno"), "Horák");
    rs->Seek(">", {Variant("horák")});
    EXPECT_EQ(Str(*rs, "Jmeno"), "Chalupa");
    rs->Seek("<", {Variant("Čermák")});
    EXPECT_EQ(Str(*rs, "Jmeno"), "Cibulka");
    rs->Seek("=", {Variant("Nikdo")});
    EXPECT_TRUE(rs->NoMatch());
    rs->SetIndex("PrimaryKey");
    rs->Seek("=", {Variant("4")});  // key text converts to the column type
    EXPECT_EQ(Str(*rs, "Jmeno"), "Cibulka");
    EXPECT_EQ(DaoErr([&] { Dynaset()->Seek("=", {Variant(1)}); }), errNotSupported);
}

TEST_F(Recordset_, QueryDefinitionWithParameters) {
    QueryDef& q = Db->CreateQueryDef(
        "ZaciTridy", "PARAMETERS [pTrida] Text; SELECT * FROM [Zaci] WHERE [Trida] = [pTrida] ORDER BY [Jmeno];");
    EXPECT_EQ(q.GetType(), dbQSelect);
    ASSERT_EQ(q.GetParameters().Count(), 1);
    EXPECT_EQ(q.GetParameters().Item(0).GetName(), "pTrida");
    EXPECT_EQ(q.GetParameters().Item(0).GetDirection(), dbParamInput);
    EXPECT_EQ(DaoErr([&] { q.OpenRecordset(dbOpenDynaset); }), errTooFewParameters);
    q.GetParameters().Item(0).SetValue(Variant("1.a"));
    auto rs = q.OpenRecordset(dbOpenDynaset);
    EXPECT_EQ(Walk(*rs), (std::vector<std::string>{"Čermák", "Horák"}));
    EXPECT_TRUE(rs->Updatable());
    q.GetParameters().Item(0).SetValue(Variant::Null());
    EXPECT_EQ(q.OpenRecordset(dbOpenSnapshot)->RecordCount(), 0);

    auto db2 = Open();  // stored in the file
    QueryDef& again = db2->GetQueryDefs().Item("zacitridy");
    EXPECT_EQ(again.GetSQL(), q.GetSQL());
    EXPECT_EQ(DaoErr([&] { db2->CreateQueryDef("ZaciTridy", "SELECT 1"); }), errObjectExists);
    EXPECT_EQ(DaoErr([&] { db2->OpenRecordset("ZaciTridy"); }), errTooFewParameters);
    again.SetSQL("SELECT Jmeno, Trida FROM Zaci WHERE Hodiny > 2");
    EXPECT_EQ(Walk(*db2->OpenRecordset("ZaciTridy", dbOpenDynaset)), (std::vector<std::string>{"Čermák", "Šťastný"}));
}

TEST_F(Recordset_, GeneralSelectIsReadOnlyAndSearchable) {
    auto rs = Db->OpenRecordset(
        "SELECT [Trida], COUNT(*) AS Pocet FROM [Zaci] GROUP BY [Trida] ORDER BY [Trida]", dbOpenDynaset);
    EXPECT_FALSE(rs->Updatable());
    EXPECT_EQ(rs->RecordCount(), 4);
    rs->FindFirst("[Pocet] = 2");
    EXPECT_EQ(Str(*rs, "Trida"), "1.A");
    rs->FindFirst("[Trida] LIKE \"2.*\"");
    EXPECT_EQ(Str(*rs, "Trida"), "2.A");
    rs->SetFilter("[Trida] LIKE \"2*\"");
    EXPECT_EQ(rs->OpenRecordset()->RecordCount(), 2);
    EXPECT_EQ(DaoErr([&] { Db->OpenRecordset("Nic"); }), errTableNotFound);
    EXPECT_EQ(DaoErr([&] { Db->OpenRecordset("SELECT * FROM [Zaci]", dbOpenTable); }), errInvalidOperation);
    EXPECT_EQ(DaoErr([&] { Db->OpenRecordset("Zaci", dbOpenDynamic); }), errNotSupported);
}

TEST_F(Recordset_, FieldsDescribeTheColumns) {
    auto rs = Dynaset();
    Fields& f = rs->GetFields();
    ASSERT_EQ(f.Count(), 7);
    struct Col {
        const char* Name;
        int Type;
        int Size;
        int Attributes;
    };
    const Col cols[] = {{"ID", dbLong, 4, dbAutoIncrField | dbUpdatableField}, {"Jmeno", dbText, 20, dbUpdatableField},
        {"Trida", dbText, 5, dbUpdatableField}, {"DatumNar", dbDate, 8, dbUpdatableField},
        {"Tisk", dbBoolean, 1, dbUpdatableField}, {"Hodiny", dbInteger, 2, dbUpdatableField},
        {"Poznamka", dbMemo, 0, dbUpdatableField}};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(f.Item(i).GetName(), cols[i].Name);
        EXPECT_EQ(f.Item(i).GetType(), cols[i].Type) << cols[i].Name;
        EXPECT_EQ(f.Item(i).GetSize(), cols[i].Size) << cols[i].Name;
        EXPECT_EQ(f.Item(i).GetAttributes(), cols[i].Attributes) << cols[i].Name;
    }
    EXPECT_TRUE(f.Item("jmeno").GetRequired());
    EXPECT_FALSE(f.Item("Jmeno").GetAllowZeroLength());
    EXPECT_EQ(f.Item("Trida").GetDefaultValue(), "\"1.A\"");
    EXPECT_EQ(f.Item("Jmeno").GetProperties().Item("caption").Value.AsString(), "Jméno žáka");
    EXPECT_FALSE(f.Item("Jmeno").GetProperties().Has("Format"));
    EXPECT_EQ(f.Item("DatumNar").GetProperties().Item("Format").Value.AsString(), "Short Date");
    EXPECT_EQ(DaoErr([&] { f.Item("Trida").GetProperties().Item("Caption"); }), errPropertyNotFound);
    EXPECT_EQ(f.Item("Poznamka").FieldSize(), 1);
    EXPECT_EQ(DaoErr([&] { f.Item("Nic"); }), errItemNotFound);
}

TEST_F(Recordset_, ClosedObjectsGive3420) {
    auto rs = Dynaset();
    rs->Close();
    EXPECT_EQ(DaoErr([&] { rs->MoveNext(); }), errObjectClosed);
    auto rs2 = Dynaset();
    Db->Close();
    EXPECT_EQ(DaoErr([&] { rs2->MoveNext(); }), errObjectClosed);
    EXPECT_EQ(DaoErr([&] { Db->OpenRecordset("Zaci"); }), errObjectClosed);
}

}  // namespace
