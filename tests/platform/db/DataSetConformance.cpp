// The conformance suite (see DataSetConformance.h).

#include "tests/platform/db/DataSetConformance.h"

#include "platform/classes/Streams.h"
#include "platform/db/DBConsts.h"
#include "platform/db/Fields.h"

// --- the recording link -----------------------------------------------------------------------

TRecordingLink::TRecordingLink(TDataSource* source, int bufferCount, bool visual) : Log(&FOwnLog) {
    VisualControl = visual;
    SetBufferCount(bufferCount);
    SetDataSource(source);
}

TRecordingLink::~TRecordingLink() {
    Log = nullptr;  // the log may already be gone
    SetDataSource(nullptr);
}

std::string TRecordingLink::Take() {
    std::string s;
    for (const std::string& l : *Log) s += (s.empty() ? "" : ", ") + l;
    Log->clear();
    return s;
}

void TRecordingLink::Write(const std::string& line) {
    if (Log) Log->push_back(Name.empty() ? line : Name + ":" + line);
}
void TRecordingLink::ActiveChanged() { Write(Active() ? "Active(1)" : "Active(0)"); }
void TRecordingLink::CheckBrowseMode() {
    if (RecordCheckBrowse) Write("CheckBrowse");
}
void TRecordingLink::DataSetChanged() { Write("Changed"); }
void TRecordingLink::DataSetScrolled(int d) { Write("Scrolled(" + std::to_string(d) + ")"); }
void TRecordingLink::EditingChanged() { Write(Editing() ? "Editing(1)" : "Editing(0)"); }
void TRecordingLink::LayoutChanged() { Write("Layout"); }
void TRecordingLink::RecordChanged(TField* f) { Write("Record(" + (f ? f->FieldName() : std::string("nil")) + ")"); }
void TRecordingLink::UpdateData() { Write("UpdateData"); }

void RecordDataSetEvents(TDataSet* ds, std::vector<std::string>* log) {
    auto hook = [log](const char* name) { return [log, name](TDataSet*) { log->push_back(name); }; };
    ds->BeforeOpen = hook("BeforeOpen");
    ds->AfterOpen = hook("AfterOpen");
    ds->BeforeClose = hook("BeforeClose");
    ds->AfterClose = hook("AfterClose");
    ds->BeforeInsert = hook("BeforeInsert");
    ds->AfterInsert = hook("AfterInsert");
    ds->BeforeEdit = hook("BeforeEdit");
    ds->AfterEdit = hook("AfterEdit");
    ds->BeforePost = hook("BeforePost");
    ds->AfterPost = hook("AfterPost");
    ds->BeforeCancel = hook("BeforeCancel");
    ds->AfterCancel = hook("AfterCancel");
    ds->BeforeDelete = hook("BeforeDelete");
    ds->AfterDelete = hook("AfterDelete");
    ds->BeforeScroll = hook("BeforeScroll");
    ds->AfterScroll = hook("AfterScroll");
}

void DataSetConformance::Build(int rows, int bufferCount) {
    Link.reset();
    Owner = std::make_unique<TComponent>(nullptr);
    DS = GetParam().Make(Owner.get(), rows);
    Source = new TDataSource(Owner.get());
    Source->SetDataSet(DS);
    Link = std::make_unique<TRecordingLink>(Source, bufferCount);
    Link->Log = &Log;
    DS->Open();
    Log.clear();
}

int DataSetConformance::Id() const { return DS->FieldByName("ID")->GetAsInteger(); }

namespace {
void Apply(TDataSet* ds, const std::string& op) {
    if (op == "First") ds->First();
    else if (op == "Last") ds->Last();
    else if (op == "Next") ds->Next();
    else if (op == "Prior") ds->Prior();
    else if (op.rfind("MoveBy", 0) == 0) ds->MoveBy(std::stoi(op.substr(6)));
    else if (op.rfind("RecNo=", 0) == 0) ds->SetRecNo(std::stoi(op.substr(6)));
    else if (op.rfind("Locate", 0) == 0) ds->Locate("ID", Variant(std::stoi(op.substr(6))), {});
    else FAIL() << "unknown operation " << op;
}
}  // namespace

// --- opening and closing ----------------------------------------------------------------------

TEST_P(DataSetConformance, OpenActivatesLinksAndStandsOnTheFirstRecord) {
    DS->Close();
    RecordDataSetEvents(DS, &Log);
    Log.clear();
    DS->Open();
    EXPECT_EQ(Take(), "BeforeOpen, Active(1), AfterOpen, AfterScroll");
    EXPECT_EQ(DS->State(), dsBrowse);
    EXPECT_TRUE(DS->Bof());
    EXPECT_FALSE(DS->Eof());
    EXPECT_EQ(Id(), 1);
    EXPECT_EQ(DS->RecordCount(), 5);
    DS->Next();
    DS->Open();  // already open: nothing happens, the row stays
    EXPECT_EQ(Id(), 2);
}

TEST_P(DataSetConformance, CloseDeactivatesLinksAndDropsDefaultFields) {
    RecordDataSetEvents(DS, &Log);
    TField* f = DS->FieldByName("Jmeno");
    TFieldDataLink fl;
    fl.SetDataSource(Source);
    fl.SetFieldName("Jmeno");
    EXPECT_EQ(fl.Field(), f);
    DS->Close();
    EXPECT_EQ(Take(), "BeforeClose, Active(0), AfterClose");
    EXPECT_EQ(fl.Field(), nullptr);
    EXPECT_EQ(DS->FindField("Jmeno"), nullptr);
    EXPECT_TRUE(DS->Bof() && DS->Eof());
    EXPECT_THROW(DS->Next(), EDatabaseError);
}

TEST_P(DataSetConformance, CloseDiscardsAnEdit) {
    DS->Edit();
    DS->FieldByName("Jmeno")->SetAsString("Změněno");
    Log.clear();
    DS->Close();
    EXPECT_EQ(Take(), "Active(0), Editing(0)");
    DS->Open();
    EXPECT_EQ(DS->FieldByName("Jmeno")->GetAsString(), "Žák 1");
    EXPECT_EQ(DS->State(), dsBrowse);
}

TEST_P(DataSetConformance, EmptyDatasetIsAtBothEnds) {
    Build(0);
    EXPECT_TRUE(DS->Bof());
    EXPECT_TRUE(DS->Eof());
    EXPECT_TRUE(DS->IsEmpty());
    EXPECT_EQ(DS->RecordCount(), 0);
    DS->Next();
    DS->Prior();
    DS->First();
    EXPECT_TRUE(DS->Bof() && DS->Eof());
    EXPECT_EQ(Take(), "Changed");  // only First's: the moves had nowhere to go
    EXPECT_TRUE(DS->FieldByName("ID")->IsNull());
    EXPECT_EQ(DS->GetBookmark(), "");
}

// --- navigation -------------------------------------------------------------------------------

struct NavCase {
    const char* Op;
    int Id;
    bool Bof, Eof;
    const char* Notified;
};

TEST_P(DataSetConformance, NavigationTable) {
    // One row after another from the first of five records, through a one-row link.
    const NavCase steps[] = {
        {"Next", 2, false, false, "Scrolled(1)"},
        {"Next", 3, false, false, "Scrolled(1)"},
        {"Prior", 2, false, false, "Scrolled(-1)"},
        {"Prior", 1, false, false, "Scrolled(-1)"},
        {"Prior", 1, true, false, "Scrolled(0)"},  // stops at once: still told
        {"Prior", 1, true, false, ""},  // flag already set: nothing
        {"MoveBy2", 3, false, false, "Scrolled(2)"},
        {"Last", 5, false, true, "Changed"},
        {"Next", 5, false, true, ""},
        {"Prior", 4, false, false, "Scrolled(-1)"},
        {"Next", 5, false, false, "Scrolled(1)"},
        {"Next", 5, false, true, "Scrolled(0)"},  // on the last record: EOF, no move
        {"First", 1, true, false, "Changed"},
        {"MoveBy10", 5, false, true, "Scrolled(4)"},  // the end stops it after 4
        {"MoveBy-3", 2, false, false, "Scrolled(-3)"},
        {"MoveBy0", 2, false, false, ""},
        {"Locate4", 4, false, false, "Changed"},
        {"Locate9", 4, false, false, ""},  // not found: no move, no notice
        {"RecNo=2", 2, false, false, "Changed"},
    };
    for (const NavCase& c : steps) {
        SCOPED_TRACE(c.Op);
        Apply(DS, c.Op);
        EXPECT_EQ(Id(), c.Id);
        EXPECT_EQ(DS->Bof(), c.Bof);
        EXPECT_EQ(DS->Eof(), c.Eof);
        EXPECT_EQ(Take(), c.Notified);
    }
}

TEST_P(DataSetConformance, MoveByAnswersTheDistanceMoved) {
    EXPECT_EQ(DS->MoveBy(3), 3);
    EXPECT_EQ(DS->MoveBy(5), 1);
    EXPECT_EQ(DS->MoveBy(1), 0);
    EXPECT_EQ(DS->MoveBy(-10), -4);
    EXPECT_EQ(DS->MoveBy(-1), 0);
}

TEST_P(DataSetConformance, RecNoFollowsTheCursor) {
    EXPECT_EQ(DS->RecNo(), 1);
    DS->MoveBy(2);
    EXPECT_EQ(DS->RecNo(), 3);
    DS->Last();
    EXPECT_EQ(DS->RecNo(), 5);
    DS->SetRecNo(2);
    EXPECT_EQ(Id(), 2);
}

TEST_P(DataSetConformance, ScrollDistanceOfAWideLink) {
    Build(10, 5);
    DS->MoveBy(4);  // the link's last row
    EXPECT_EQ(Link->ActiveRecord(), 4);
    Log.clear();
    DS->Next();  // past the window: the rows move by one
    EXPECT_EQ(Take(), "Scrolled(1)");
    EXPECT_EQ(Link->ActiveRecord(), 4);
    DS->Prior();  // inside the window
    EXPECT_EQ(Take(), "Scrolled(0)");
    EXPECT_EQ(Link->ActiveRecord(), 3);
    EXPECT_EQ(Link->RecordCount(), 5);
}

TEST_P(DataSetConformance, ScrollDistanceOfAOneRowLinkBesideAWideOne) {
    Build(10, 1);
    TRecordingLink wide(Source, 5);
    DS->First();
    Log.clear();
    DS->MoveBy(7);
    EXPECT_EQ(Take(), "Scrolled(7)");
    DS->MoveBy(-2);
    EXPECT_EQ(Take(), "Scrolled(-2)");
    EXPECT_EQ(Id(), 6);
}

TEST_P(DataSetConformance, ResyncCentresTheActiveRecord) {
    Build(10, 5);
    DS->Locate("ID", Variant(6), {});
    if (!GetParam().LocateCentres) GTEST_SKIP() << "this dataset keeps the window where it is";
    EXPECT_EQ(DS->ActiveRecord(), 2);  // (5 - 1) div 2
    EXPECT_EQ(Link->RecordCount(), 5);
    DS->Locate("ID", Variant(10), {});
    EXPECT_EQ(Id(), 10);
    EXPECT_EQ(DS->ActiveRecord(), 4);  // too few records after it to centre
}

TEST_P(DataSetConformance, LinkRowsPointTheFieldsAtBufferedRecords) {
    Build(10, 5);
    DS->MoveBy(2);
    Log.clear();
    int saved = Link->ActiveRecord();
    std::vector<int> ids;
    for (int r = 0; r < Link->RecordCount(); ++r) {
        Link->SetActiveRecord(r);
        ids.push_back(Id());
    }
    Link->SetActiveRecord(saved);
    EXPECT_EQ(ids, (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(Id(), 3);
    EXPECT_THROW(Link->SetActiveRecord(5), EListError);
    EXPECT_EQ(Take(), "");
}

TEST_P(DataSetConformance, GrowingTheLinkFillsTheWindowAtOnce) {
    Build(10, 1);
    DS->MoveBy(5);
    Log.clear();
    Link->SetBufferCount(4);
    EXPECT_EQ(Link->RecordCount(), 4);
    EXPECT_EQ(Id(), 6);
    EXPECT_EQ(Take(), "");
    std::vector<int> ids;
    int saved = Link->ActiveRecord();
    for (int r = 0; r < Link->RecordCount(); ++r) {
        Link->SetActiveRecord(r);
        ids.push_back(Id());
    }
    Link->SetActiveRecord(saved);
    EXPECT_NE(std::find(ids.begin(), ids.end(), 6), ids.end());
    Link->SetBufferCount(1);
    EXPECT_EQ(Id(), 6);
    EXPECT_EQ(Link->RecordCount(), 1);
}

// --- editing ----------------------------------------------------------------------------------

TEST_P(DataSetConformance, EditAndPostInOrder) {
    RecordDataSetEvents(DS, &Log);
    DS->Next();
    Log.clear();
    DS->Edit();
    EXPECT_EQ(Take(), "BeforeEdit, Editing(1), Record(nil), AfterEdit");
    EXPECT_FALSE(DS->Modified());
    DS->FieldByName("Jmeno")->SetAsString("Nové jméno");
    EXPECT_EQ(Take(), "Record(Jmeno)");
    EXPECT_TRUE(DS->Modified());
    DS->Post();
    EXPECT_EQ(Take(), "UpdateData, BeforePost, Editing(0), Changed, AfterPost");
    EXPECT_EQ(DS->State(), dsBrowse);
    EXPECT_EQ(Id(), 2);
    EXPECT_FALSE(DS->Bof());
    EXPECT_FALSE(DS->Eof());
    DS->First();
    DS->Next();
    EXPECT_EQ(DS->FieldByName("Jmeno")->GetAsString(), "Nové jméno");
}

TEST_P(DataSetConformance, CancelRestoresTheRecord) {
    RecordDataSetEvents(DS, &Log);
    DS->Edit();
    DS->FieldByName("Body")->SetAsFloat(99);
    Log.clear();
    DS->Cancel();
    EXPECT_EQ(Take(), "BeforeCancel, Editing(0), Changed, AfterCancel");
    EXPECT_DOUBLE_EQ(DS->FieldByName("Body")->GetAsFloat(), 1.5);
}

TEST_P(DataSetConformance, InsertAndAppendInOrder) {
    RecordDataSetEvents(DS, &Log);
    DS->OnNewRecord = [&](TDataSet* ds) {
        Log.push_back("OnNewRecord");
        ds->FieldByName("Body")->SetAsFloat(1);
    };
    DS->MoveBy(2);
    Log.clear();
    DS->Insert();
    EXPECT_EQ(
        Take(), "BeforeInsert, BeforeScroll, Editing(1), OnNewRecord, Record(Body), Changed, AfterInsert, AfterScroll");
    EXPECT_FALSE(DS->Modified());  // what OnNewRecord set does not count
    EXPECT_TRUE(DS->FieldByName("ID")->IsNull());
    DS->Cancel();
    EXPECT_EQ(Id(), 3);  // back where the insert began
    Log.clear();
    DS->Append();
    EXPECT_EQ(DS->State(), dsInsert);
    EXPECT_FALSE(DS->Bof());
    EXPECT_TRUE(DS->Eof());  // Append leaves EOF set: callers tell it from Insert so
    DS->FieldByName("ID")->SetAsInteger(6);
    DS->Post();
    EXPECT_EQ(Id(), 6);
    EXPECT_EQ(DS->RecordCount(), 6);
    DS->Last();
    EXPECT_EQ(Id(), 6);
}

TEST_P(DataSetConformance, InsertPlacesTheRecordBeforeTheCurrentOne) {
    DS->MoveBy(2);
    DS->Insert();
    DS->FieldByName("ID")->SetAsInteger(100);
    DS->Post();
    EXPECT_EQ(Id(), 100);
    if (!GetParam().InsertInPlace) GTEST_SKIP() << "this dataset puts new records at the end";
    DS->Next();
    EXPECT_EQ(Id(), 3);
}

TEST_P(DataSetConformance, EditOnAnEmptyDatasetInserts) {
    Build(0);
    DS->Edit();
    EXPECT_EQ(DS->State(), dsInsert);
    DS->FieldByName("ID")->SetAsInteger(1);
    DS->Post();
    EXPECT_EQ(DS->RecordCount(), 1);
    EXPECT_FALSE(DS->Bof() || DS->Eof());
}

TEST_P(DataSetConformance, DeleteInOrderAndAtTheEnds) {
    RecordDataSetEvents(DS, &Log);
    DS->Next();
    Log.clear();
    DS->Delete();
    EXPECT_EQ(Take(), "BeforeDelete, BeforeScroll, Changed, AfterDelete, AfterScroll");
    EXPECT_EQ(Id(), 3);
    EXPECT_EQ(DS->RecordCount(), 4);
    DS->Last();
    DS->Delete();
    EXPECT_EQ(Id(), 4);  // the last one gone: its predecessor
    EXPECT_FALSE(DS->Eof());
    Build(1);
    DS->Delete();
    EXPECT_TRUE(DS->IsEmpty());
    EXPECT_TRUE(DS->Bof() && DS->Eof());
    try {
        DS->Delete();
        FAIL();
    } catch (EDatabaseError& e) {
        EXPECT_EQ(e.Message(), DBConsts::SDataSetEmpty);
    }
}

TEST_P(DataSetConformance, DeleteOfAnInsertCancels) {
    DS->Insert();
    DS->Delete();
    EXPECT_EQ(DS->State(), dsBrowse);
    EXPECT_EQ(DS->RecordCount(), 5);
}

TEST_P(DataSetConformance, PostAndCancelOutsideEditingDoNothing) {
    RecordDataSetEvents(DS, &Log);
    DS->Post();
    DS->Cancel();
    EXPECT_EQ(Take(), "");
}

TEST_P(DataSetConformance, WritingInBrowseModeIsRefused) {
    EXPECT_THROW(DS->FieldByName("Jmeno")->SetAsString("x"), EDatabaseError);
}

TEST_P(DataSetConformance, CheckBrowseModePostsOrCancels) {
    DS->Edit();
    DS->CheckBrowseMode();  // nothing changed: cancelled
    EXPECT_EQ(DS->State(), dsBrowse);
    DS->Edit();
    DS->FieldByName("Jmeno")->SetAsString("Jiný");
    DS->Next();  // navigation posts first
    DS->Prior();
    EXPECT_EQ(DS->FieldByName("Jmeno")->GetAsString(), "Jiný");
}

TEST_P(DataSetConformance, LocateWhileEditingPostsFirst) {
    DS->Edit();
    DS->FieldByName("Jmeno")->SetAsString("Upraveno");
    Log.clear();
    EXPECT_TRUE(DS->Locate("ID", Variant(4), {}));
    // CheckBrowseMode asks for pending data, then Post asks again; the post's change
    // arrives first, Locate's own second.
    EXPECT_EQ(Take(), "UpdateData, UpdateData, Editing(0), Changed, Changed");
    EXPECT_EQ(Id(), 4);
    DS->Edit();
    DS->FieldByName("Jmeno")->SetAsString("Znovu");
    Log.clear();
    EXPECT_FALSE(DS->Locate("ID", Variant(99), {}));
    EXPECT_EQ(Take(), "UpdateData, UpdateData, Editing(0), Changed");
    EXPECT_EQ(Id(), 4);
    EXPECT_EQ(DS->FieldByName("Jmeno")->GetAsString(), "Znovu");
}

TEST_P(DataSetConformance, FieldChangeIsNotEchoedToTheUpdatingLink) {
    // A link writing its pending text in UpdateData does not hear its own change.
    struct Writer : TRecordingLink {
        using TRecordingLink::TRecordingLink;
        void UpdateData() override {
            TRecordingLink::UpdateData();
            DataSet()->FieldByName("Jmeno")->SetAsString("Z ovládacího prvku");
        }
    } writer(Source);
    writer.Name = "writer";
    Link->Name = "other";
    writer.Log = &Log;
    DS->Edit();
    Log.clear();
    DS->Post();
    EXPECT_EQ(Take(),
        "other:UpdateData, writer:UpdateData, other:Record(Jmeno), other:Editing(0), "
        "writer:Editing(0), other:Changed, writer:Changed");
    EXPECT_EQ(DS->FieldByName("Jmeno")->GetAsString(), "Z ovládacího prvku");
}

// --- controls ---------------------------------------------------------------------------------

TEST_P(DataSetConformance, DisableControlsNestsAndEndsWithOneChange) {
    DS->DisableControls();
    DS->DisableControls();
    DS->Next();
    DS->Last();
    DS->EnableControls();
    EXPECT_EQ(Take(), "");
    EXPECT_TRUE(DS->ControlsDisabled());
    DS->EnableControls();
    EXPECT_EQ(Take(), "Changed");
    EXPECT_FALSE(DS->ControlsDisabled());
    EXPECT_EQ(Id(), 5);
}

TEST_P(DataSetConformance, DisableControlsReportsAStateChangeFirst) {
    DS->DisableControls();
    DS->Edit();
    DS->EnableControls();
    EXPECT_EQ(Take(), "Editing(1), Changed");
    DS->Cancel();
    Log.clear();
    DS->DisableControls();
    DS->Close();
    EXPECT_EQ(Take(), "Active(0)");  // a close is told at once
    DS->EnableControls();
    EXPECT_EQ(Take(), "");  // nothing more for an inactive dataset
}

TEST_P(DataSetConformance, NonVisualLinksHearFirst) {
    std::vector<std::string> seq;
    TRecordingLink visual(Source, 1, true), hidden(Source, 1, false);
    visual.Name = "visual";
    hidden.Name = "hidden";
    visual.Log = &seq;
    hidden.Log = &seq;
    DS->Next();
    EXPECT_EQ(seq, (std::vector<std::string>{"hidden:Scrolled(1)", "visual:Scrolled(1)"}));
}

// --- bookmarks --------------------------------------------------------------------------------

TEST_P(DataSetConformance, BookmarksGoBackAndCompare) {
    DS->MoveBy(3);
    TBookmark b4 = DS->GetBookmark();
    DS->First();
    TBookmark b1 = DS->GetBookmark();
    EXPECT_FALSE(b4.empty());
    EXPECT_TRUE(DS->BookmarkValid(b4));
    Log.clear();
    DS->GotoBookmark(b4);
    EXPECT_EQ(Id(), 4);
    EXPECT_FALSE(DS->Bof() || DS->Eof());
    EXPECT_EQ(Take(), "Changed");
    EXPECT_EQ(DS->CompareBookmarks(b4, b4), 0);
    EXPECT_EQ(DS->CompareBookmarks(b1, b4), -DS->CompareBookmarks(b4, b1));
    EXPECT_NE(DS->CompareBookmarks(b1, b4), 0);
    EXPECT_EQ(DS->CompareBookmarks("", b1), 1);  // none sorts after every bookmark
    EXPECT_EQ(DS->CompareBookmarks(b1, ""), -1);
    EXPECT_EQ(DS->CompareBookmarks("", ""), 0);
    DS->SetBookmark(b1);
    EXPECT_EQ(Id(), 1);
    EXPECT_EQ(DS->Bookmark(), b1);
}

TEST_P(DataSetConformance, BookmarkOfADeletedRecordIsDetected) {
    DS->MoveBy(2);
    TBookmark gone = DS->GetBookmark();
    DS->Delete();
    EXPECT_FALSE(DS->BookmarkValid(gone));
    EXPECT_THROW(DS->GotoBookmark(gone), EDatabaseError);
    EXPECT_EQ(DS->State(), dsBrowse);
    EXPECT_FALSE(DS->BookmarkValid(""));
    EXPECT_FALSE(DS->BookmarkValid(std::string("\xff\xff\xff\x7f", 4)));
}

TEST_P(DataSetConformance, NoBookmarkOnAnInsert) {
    DS->Insert();
    EXPECT_EQ(DS->GetBookmark(), "");
    EXPECT_FALSE(DS->BookmarkAvailable());
}

// --- searching --------------------------------------------------------------------------------

TEST_P(DataSetConformance, LocateOptionsTable) {
    struct Case {
        const char* Fields;
        Variant Keys;
        TLocateOptions Options;
        int Id;  // 0: not found
    };
    const Case cases[] = {
        {"ID", Variant(3), {}, 3},
        {"Jmeno", Variant("Žák 4"), {}, 4},
        {"Jmeno", Variant("žák 4"), {}, GetParam().CaseSensitiveLocate ? 0 : 4},
        {"Jmeno", Variant("ŽÁK 4"), {loCaseInsensitive}, 4},
        {"Jmeno", Variant("Žák"), {}, 0},
        {"Jmeno", Variant("Žák"), {loPartialKey}, 1},
        {"Jmeno", Variant("žá"), {loPartialKey, loCaseInsensitive}, 1},
        {"ID;Body", VarArrayOf({Variant(2), Variant(3.0)}), {}, 2},
        {"ID;Body", VarArrayOf({Variant(2), Variant(4.5)}), {}, 0},
        {"Body", Variant("4,5"), {}, 3},
        {"ID", Variant::Null(), {}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.Fields) + " " + VarToStr(c.Keys.IsArray() ? Variant("array") : c.Keys));
        DS->Last();
        bool found = DS->Locate(c.Fields, c.Keys, c.Options);
        EXPECT_EQ(found, c.Id != 0);
        EXPECT_EQ(Id(), c.Id ? c.Id : 5);
    }
    EXPECT_THROW(DS->Locate("Neni", Variant(1), {}), EDatabaseError);
    EXPECT_THROW(DS->Locate("ID;Body", Variant(1), {}), EDatabaseError);
}

TEST_P(DataSetConformance, LookupDoesNotMove) {
    DS->Next();
    EXPECT_EQ(VarToStr(DS->Lookup("ID", Variant(4), "Jmeno")), "Žák 4");
    Variant both = DS->Lookup("Jmeno", Variant("Žák 3"), "ID;Body");
    ASSERT_TRUE(both.IsArray());
    EXPECT_EQ(both.GetElement({0}).AsInteger(), 3);
    EXPECT_DOUBLE_EQ(both.GetElement({1}).AsDouble(), 4.5);
    EXPECT_TRUE(DS->Lookup("ID", Variant(42), "Jmeno").IsNull());
    EXPECT_EQ(Id(), 2);
    EXPECT_EQ(Take(), "Scrolled(1)");
}

// --- fields -----------------------------------------------------------------------------------

TEST_P(DataSetConformance, FieldsAreFoundByNameIgnoringCase) {
    EXPECT_EQ(DS->FindField("jmeno"), DS->FieldByName("JMENO"));
    EXPECT_EQ(DS->FindField("Neni"), nullptr);
    try {
        DS->FieldByName("Neni");
        FAIL();
    } catch (EDatabaseError& e) {
        EXPECT_EQ(e.Message(), "Pole 'Neni' nebylo nalezeno.");
    }
    EXPECT_EQ(DS->FieldCount(), 5);
    EXPECT_EQ(DS->FieldByName("Body")->Index(), 2);
    EXPECT_EQ(DS->FieldByName("ID")->DataType(), ftInteger);
    EXPECT_TRUE(DS->FieldByName("Poznamka")->IsBlob());
    std::vector<TField*> list;
    DS->GetFieldList(list, "Jmeno; ID");
    EXPECT_EQ(list, (std::vector<TField*>{DS->FieldByName("Jmeno"), DS->FieldByName("ID")}));
}

TEST_P(DataSetConformance, FieldValuesAndNulls) {
    TField* body = DS->FieldByName("Body");
    DS->Edit();
    body->Clear();
    EXPECT_TRUE(body->IsNull());
    EXPECT_TRUE(body->GetAsVariant().IsNull());
    EXPECT_EQ(body->GetAsFloat(), 0.0);
    EXPECT_EQ(body->GetAsString(), "");
    body->SetAsVariant(Variant(2.25));
    EXPECT_EQ(body->GetAsString(), "2,25");
    DS->FieldByName("Jmeno")->SetAsString(std::string(30, 'x'));
    EXPECT_EQ(DS->FieldByName("Jmeno")->GetAsString(), std::string(20, 'x'));  // cut to Size
    DS->Post();
    EXPECT_DOUBLE_EQ(body->GetAsFloat(), 2.25);
    EXPECT_EQ(DS->FieldByName("Datum")->GetAsString(), "2.9.2024");
}

TEST_P(DataSetConformance, MemoThroughBlobStreams) {
    auto* memo = static_cast<TBlobField*>(DS->FieldByName("Poznamka"));
    EXPECT_EQ(memo->GetAsString(), "Poznámka 1");
    EXPECT_EQ(memo->DisplayText(), "(MEMO)");
    TStringStream out;
    memo->SaveToStream(&out);
    EXPECT_EQ(out.DataString(), "Poznámka 1");
    DS->Edit();
    TStringStream in("dlouhý text");
    memo->LoadFromStream(&in);
    DS->Post();
    EXPECT_EQ(memo->GetAsString(), "dlouhý text");
    DS->Edit();
    memo->Clear();
    DS->Post();
    EXPECT_TRUE(memo->IsNull());
    EXPECT_EQ(memo->DisplayText(), "(Memo)");
}
