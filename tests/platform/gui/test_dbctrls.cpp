// Data-aware controls over the in-memory dataset: showing, auto edit, writing on focus exit and
// on UpdateRecord, the grid moving the dataset and editing in place.
#include <gtest/gtest.h>

#include <QtGui/QClipboard>
#include <QtWidgets/QApplication>
#include <QtWidgets/QWidget>

#include "platform/db/MemDataSet.h"
#include "platform/gui/Buttons.h"
#include "platform/gui/DBCtrls.h"
#include "tests/platform/gui/FormsTestUtil.h"

using namespace TestKit;
using formstest::RunModal;

namespace {

class DBCtrlsTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureApplication();
        DS = new TMemDataSet(&Owner);
        DS->FieldDefs()->Add("ID", ftInteger);
        DS->FieldDefs()->Add("Jmeno", ftString, 12);
        DS->FieldDefs()->Add("Vyznamenani", ftBoolean);
        DS->FieldDefs()->Add("Prospech", ftString, 20);
        DS->FieldDefs()->Add("Poznamka", ftMemo);
        DS->Open();
        for (int i = 1; i <= 30; ++i)
            DS->AppendRecord({Variant(i), Variant("Žák " + std::to_string(i)), i % 2 ? Variant(true) : Variant(),
                Variant(" prospěl "), Variant("Poznámka " + std::to_string(i))});
        DS->First();
        Source = new TDataSource(&Owner);
        Source->SetDataSet(DS);
        Form = new TForm(&Owner);
        Form->SetBounds(0, 0, 500, 400);
    }
    void TearDown() override {
        if (Form->GetVisible()) Form->Hide();
        ProcessEvents();
    }
    template <class T>
    T* Add(const std::string& field, int top) {
        T* c = new T(Form);
        c->SetParent(Form);
        c->SetBounds(10, top, 150, 22);
        c->SetDataSource(Source);
        c->SetDataField(field);
        return c;
    }
    TComponent Owner{nullptr};
    TMemDataSet* DS = nullptr;
    TDataSource* Source = nullptr;
    TForm* Form = nullptr;
};

TEST_F(DBCtrlsTest, EditShowsTheFieldAndFollowsTheRecord) {
    TDBEdit* e = Add<TDBEdit>("Jmeno", 10);
    EXPECT_EQ(e->GetText(), "Žák 1");
    EXPECT_EQ(e->GetMaxLength(), 12);  // from the field's size
    DS->Next();
    EXPECT_EQ(e->GetText(), "Žák 2");
    EXPECT_EQ(DS->State(), dsBrowse);
}

TEST_F(DBCtrlsTest, TypingEditsAndFocusExitWritesTheField) {
    TDBEdit* e = Add<TDBEdit>("Jmeno", 10);
    TEdit* other = new TEdit(Form);
    other->SetParent(Form);
    other->SetBounds(10, 40, 100, 22);
    ShowAndActivate(Form);
    e->SetFocus();
    ProcessEvents();
    ASSERT_TRUE(e->Focused());
    Key(Qt::Key_End);
    Key(Qt::Key_X, Qt::NoModifier, "x");
    EXPECT_EQ(DS->State(), dsEdit);  // auto edit through the data source
    EXPECT_EQ(DS->FieldByName("Jmeno")->GetAsString(), "Žák 1");  // not yet written
    Key(Qt::Key_Tab);
    EXPECT_TRUE(other->Focused());
    EXPECT_EQ(DS->FieldByName("Jmeno")->GetAsString(), "Žák 1x");
    DS->Post();
    EXPECT_EQ(DS->FieldByName("Jmeno")->GetAsString(), "Žák 1x");
}

TEST_F(DBCtrlsTest, PostAsksTheEditForItsText) {
    TDBEdit* e = Add<TDBEdit>("Jmeno", 10);
    ShowAndActivate(Form);
    e->SetFocus();
    ProcessEvents();
    Key(Qt::Key_End);
    Key(Qt::Key_Y, Qt::NoModifier, "y");
    DS->Post();  // UpdateRecord before the post, while the focus stays
    EXPECT_EQ(DS->FieldByName("Jmeno")->GetAsString(), "Žák 1y");
    EXPECT_TRUE(e->Focused());
}

TEST_F(DBCtrlsTest, EscapeTakesBackTheTypedText) {
    TDBEdit* e = Add<TDBEdit>("Jmeno", 10);
    ShowAndActivate(Form);
    e->SetFocus();
    ProcessEvents();
    Key(Qt::Key_End);
    Key(Qt::Key_Z, Qt::NoModifier, "z");
    Key(Qt::Key_Escape);
    EXPECT_EQ(e->GetText(), "Žák 1");
    DS->Post();
    EXPECT_EQ(DS->FieldByName("Jmeno")->GetAsString(), "Žák 1");
}

TEST_F(DBCtrlsTest, ValidCharsFilterTyping) {
    DS->FieldByName("Jmeno")->SetValidChars(U"0123456789");
    TDBEdit* e = Add<TDBEdit>("Jmeno", 10);
    ShowAndActivate(Form);
    e->SetFocus();
    ProcessEvents();
    Key(Qt::Key_End);
    Key(Qt::Key_A, Qt::NoModifier, "a");
    Key(Qt::Key_7, Qt::NoModifier, "7");
    EXPECT_EQ(e->GetText(), "Žák 17");
}

TEST_F(DBCtrlsTest, ReadOnlyDataSetCannotBeTypedInto) {
    DS->ReadOnly = true;
    TDBEdit* e = Add<TDBEdit>("Jmeno", 10);
    ShowAndActivate(Form);
    e->SetFocus();
    ProcessEvents();
    Key(Qt::Key_End);
    Key(Qt::Key_Q, Qt::NoModifier, "q");
    EXPECT_EQ(e->GetText(), "Žák 1");
    EXPECT_EQ(DS->State(), dsBrowse);
}

TEST_F(DBCtrlsTest, TextAndMemoShowTheirFields) {
    TDBText* t = Add<TDBText>("ID", 10);
    TDBMemo* m = Add<TDBMemo>("Poznamka", 40);
    EXPECT_EQ(t->GetCaption(), "1");
    EXPECT_EQ(m->GetText(), "Poznámka 1");
    DS->Last();
    EXPECT_EQ(t->GetCaption(), "30");
    EXPECT_EQ(m->GetText(), "Poznámka 30");
    DS->Edit();
    m->GetLines()->Add("druhý řádek");
    DS->Post();
    EXPECT_EQ(DS->FieldByName("Poznamka")->GetAsString(), "Poznámka 30\r\ndruhý řádek");
}

TEST_F(DBCtrlsTest, CheckBoxShowsBooleanNullAndTextValues) {
    TDBCheckBox* b = Add<TDBCheckBox>("Vyznamenani", 10);
    struct Case {
        int Id;
        TCheckBoxState State;
    };
    for (Case c : {Case{1, cbChecked}, Case{2, cbUnchecked} /* Null */, Case{3, cbChecked}}) {
        DS->Locate("ID", Variant(c.Id), {});
        EXPECT_EQ(b->GetState(), c.State) << c.Id;
    }
    // A text field with its own values.
    TDBCheckBox* t = Add<TDBCheckBox>("Prospech", 40);
    t->SetValueChecked("PROSPĚL;ano");
    t->SetValueUnchecked("neprospěl");
    EXPECT_TRUE(t->GetChecked());  // blanks trimmed, case ignored
}

TEST_F(DBCtrlsTest, CheckBoxClickWritesTheValue) {
    TDBCheckBox* b = Add<TDBCheckBox>("Vyznamenani", 10);
    DS->Locate("ID", Variant(2), {});
    ShowAndActivate(Form);
    b->SetFocus();
    ProcessEvents();
    Key(Qt::Key_Space, Qt::NoModifier, " ");
    EXPECT_TRUE(b->GetChecked());
    EXPECT_EQ(DS->State(), dsEdit);
    DS->Post();
    EXPECT_TRUE(DS->FieldByName("Vyznamenani")->GetAsBoolean());
}

TEST_F(DBCtrlsTest, ComboBoxKeepsBlanksOfItsItemsExactly) {
    TDBComboBox* c = Add<TDBComboBox>("Prospech", 10);
    c->GetItems()->Add(" prospěl ");
    c->GetItems()->Add("  prospěl s vyznamenáním!  ");
    EXPECT_EQ(c->GetText(), " prospěl ");
    ShowAndActivate(Form);
    c->SetFocus();
    ProcessEvents();
    Key(Qt::Key_End);
    Key(Qt::Key_Exclam, Qt::NoModifier, "!");
    EXPECT_EQ(DS->State(), dsEdit);
    DS->Post();
    EXPECT_EQ(DS->FieldByName("Prospech")->GetAsString(), " prospěl !");
}

TEST_F(DBCtrlsTest, GridKeysAndClicksMoveTheDataSet) {
    TDBGrid* g = new TDBGrid(Form);
    g->SetParent(Form);
    g->SetBounds(10, 10, 400, 200);
    g->SetDataSource(Source);
    ShowAndActivate(Form);
    g->SetFocus();
    ProcessEvents();
    ASSERT_TRUE(g->Focused());
    const int rows = g->VisibleRowCount();
    ASSERT_GT(rows, 3);
    EXPECT_EQ(g->ColumnCount(), 5);  // one per field
    struct Step {
        int QtKey;
        Qt::KeyboardModifiers Mods;
        int Id;
    };
    const Step steps[] = {
        {Qt::Key_Down, Qt::NoModifier, 2},
        {Qt::Key_Down, Qt::NoModifier, 3},
        {Qt::Key_Up, Qt::NoModifier, 2},
        {Qt::Key_PageDown, Qt::NoModifier, 2 + rows},
        {Qt::Key_End, Qt::ControlModifier, 30},
        {Qt::Key_Down, Qt::NoModifier, 0},  // past the last record: a new one, left again below
        {Qt::Key_Home, Qt::ControlModifier, 1},
        {Qt::Key_Up, Qt::NoModifier, 1},
    };
    for (const Step& s : steps) {
        Key(s.QtKey, s.Mods);
        EXPECT_EQ(DS->FieldByName("ID")->GetAsInteger(), s.Id) << s.QtKey;
    }
    Key(Qt::Key_Right);
    EXPECT_EQ(g->GetSelectedIndex(), 1);
    EXPECT_EQ(g->SelectedField(), DS->FieldByName("Jmeno"));
    // A click on the fourth row.
    const int rh = g->DefaultRowHeight();
    Click(g, {60, rh + 3 * rh + rh / 2});
    EXPECT_EQ(DS->FieldByName("ID")->GetAsInteger(), 4);
    int dbl = 0;
    g->OnDblClick = [&](TObject*) { ++dbl; };
    DblClick(g, {60, rh + rh / 2});
    EXPECT_EQ(dbl, 1);
    EXPECT_EQ(DS->FieldByName("ID")->GetAsInteger(), 1);
    // The wheel scrolls the records.
    Wheel(g, {60, 60}, -120);
    EXPECT_EQ(DS->FieldByName("ID")->GetAsInteger(), 2);
}

// The grid's vertical bar: shown only when rows are hidden, its position the top row's record,
// moved by the wheel over the grid (wherever the focus is) and moving the records itself.
TEST_F(DBCtrlsTest, GridScrollBarFollowsTheRecordsAndTheWheel) {
    TDBGrid* g = new TDBGrid(Form);
    g->SetParent(Form);
    g->SetBounds(10, 10, 400, 200);
    g->SetDataSource(Source);
    TEdit* other = new TEdit(Form);
    other->SetParent(Form);
    other->SetBounds(10, 250, 100, 22);
    ShowAndActivate(Form);
    other->SetFocus();
    ProcessEvents();
    auto bar = [&] {
        TScrollInfo si;
        si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        g->GetScrollInfo(SB_VERT, si);
        return si;
    };
    const int rows = g->VisibleRowCount();
    ASSERT_LT(rows, 30);
    EXPECT_TRUE(g->GetWindowStyle() & WS_VSCROLL);
    EXPECT_EQ(bar().nMin, 0);
    EXPECT_EQ(bar().nMax, 29);
    EXPECT_EQ(int(bar().nPage), rows);
    EXPECT_EQ(bar().nPos, 0);
    // The wheel over the grid, the focus elsewhere: one record a notch.
    struct {
        int angle;
        int id;
    } wheel[] = {{-120, 2}, {-360, 5}, {120, 4}};
    for (const auto& w : wheel) {
        Wheel(g, {60, 60}, w.angle);
        EXPECT_EQ(DS->FieldByName("ID")->GetAsInteger(), w.id) << w.angle;
    }
    EXPECT_TRUE(other->Focused());
    // The bar's actions.
    g->Perform(WM_VSCROLL, SB_BOTTOM, 0);
    EXPECT_EQ(DS->FieldByName("ID")->GetAsInteger(), 30);
    EXPECT_EQ(bar().nPos, 30 - rows);  // the last page
    EXPECT_EQ(g->TopRecord(), 30 - rows);
    g->Perform(WM_VSCROLL, SB_TOP, 0);
    EXPECT_EQ(DS->FieldByName("ID")->GetAsInteger(), 1);
    EXPECT_EQ(bar().nPos, 0);
    g->Perform(WM_VSCROLL, SB_PAGEDOWN, 0);
    EXPECT_EQ(DS->FieldByName("ID")->GetAsInteger(), 1 + rows);
    g->Perform(WM_VSCROLL, MakeWParam(SB_THUMBPOSITION, 3), 0);
    EXPECT_EQ(bar().nPos, 3);
    EXPECT_EQ(g->TopRecord(), 3);
    // Rows that all fit: no bar.
    Form->SetHeight(1200);
    g->SetHeight(1100);
    ProcessEvents();
    ASSERT_GE(g->VisibleRowCount(), 30);
    EXPECT_FALSE(g->GetWindowStyle() & WS_VSCROLL);
}

TEST_F(DBCtrlsTest, GridShowsStoredColumnsWithTitlesAndWidths) {
    TDBGrid* g = new TDBGrid(Form);
    g->SetParent(Form);
    g->SetBounds(10, 10, 400, 200);
    TColumn* c1 = g->AddColumn();
    c1->SetFieldName("Jmeno");
    c1->Title()->Caption = "Jméno žáka";
    c1->SetWidth(120);
    TColumn* c2 = g->AddColumn();
    c2->SetFieldName("ID");
    c2->SetVisible(false);
    g->SetDataSource(Source);
    TDBGridOptions o = g->GetOptions();
    o.Include(dgRowSelect);
    g->SetOptions(o);
    EXPECT_EQ(g->ColumnCount(), 1);
    int col, row;
    g->MouseCoord(11 + 119, 100, col, row);
    EXPECT_EQ(col, 0);
    g->MouseCoord(11 + 122, 100, col, row);
    EXPECT_EQ(col, -2);
    g->MouseCoord(5, 5, col, row);
    EXPECT_EQ(col, -1);
    EXPECT_EQ(row, -1);
    ShowAndActivate(Form);
    const QImage img = Grab(g);
    EXPECT_FALSE(img.isNull());
}

// --- keys that change the text before any character arrives ------------------------------

// Backspace, Delete and pasting change the text on the key-down: the record goes into edit
// mode first, so that showing the record for the edit does not undo the change.
TEST_F(DBCtrlsTest, EditingKeysPutTheRecordIntoEditModeFirst) {
    struct Case {
        const char* Name;
        std::function<void()> Keys;
        std::string Expected;
    };
    const Case cases[] = {
        {"Backspace",
            [] {
                Key(Qt::Key_End);
                Key(Qt::Key_Backspace);
            },
            "Žák "},
        {"Delete",
            [] {
                Key(Qt::Key_Home);
                Key(Qt::Key_Delete);
            },
            "ák 1"},
        {"Ctrl+V",
            [] {
                QApplication::clipboard()->setText("Nový");
                Key(Qt::Key_Home);
                Key(Qt::Key_V, Qt::ControlModifier);
            },
            "NovýŽák 1"},
    };
    TDBEdit* e = Add<TDBEdit>("Jmeno", 10);
    TEdit* other = new TEdit(Form);
    other->SetParent(Form);
    other->SetBounds(10, 40, 100, 22);
    ShowAndActivate(Form);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        e->SetFocus();
        ProcessEvents();
        c.Keys();
        EXPECT_EQ(DS->State(), dsEdit);
        EXPECT_EQ(e->GetText(), c.Expected);
        other->SetFocus();
        ProcessEvents();
        EXPECT_EQ(DS->FieldByName("Jmeno")->GetAsString(), c.Expected);
        DS->Cancel();
    }
}

// --- memo ------------------------------------------------------------------------------------

// The memo reads and writes the whole memo through the blob stream, whatever the field shows
// as its text, and a line break typed first is not lost to the record going into edit mode.
TEST_F(DBCtrlsTest, MemoKeepsLongTextsAndLineBreaks) {
    std::string longText;
    for (int i = 0; i < 3000; ++i) longText += "Řádek číslo " + std::to_string(i) + " s diakritikou žluťoučký kůň\r\n";
    longText += "konec";
    DS->Edit();
    DS->FieldByName("Poznamka")->SetAsString(longText);
    DS->Post();
    // As the main window's grid shows memos: the first line only.
    DS->FieldByName("Poznamka")->OnGetText = [](TField* f, std::string& text, bool) {
        text = f->GetAsString().substr(0, f->GetAsString().find('\r'));
    };
    TDBMemo* m = Add<TDBMemo>("Poznamka", 40);
    m->SetBounds(10, 40, 300, 200);
    EXPECT_EQ(m->GetText(), longText);
    ShowAndActivate(Form);
    struct Case {
        const char* Name;
        std::function<void()> Keys;
        std::string Expected;
    };
    const Case cases[] = {
        {"Enter first",
            [] {
                Key(Qt::Key_Return);
                Key(Qt::Key_A, Qt::NoModifier, "a");
            },
            longText + "\r\na"},
        {"Backspace first", [] { Key(Qt::Key_Backspace); }, longText.substr(0, longText.size() - 1)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        m->SetFocus();
        ProcessEvents();
        Key(Qt::Key_End, Qt::ControlModifier);
        c.Keys();
        EXPECT_EQ(DS->State(), dsEdit);
        DS->Post();
        EXPECT_EQ(DS->FieldByName("Poznamka")->GetAsString(), c.Expected);
        EXPECT_EQ(m->GetText(), c.Expected);
        DS->Edit();
        DS->FieldByName("Poznamka")->SetAsString(longText);
        DS->Post();
    }
}

// --- list combo box --------------------------------------------------------------------------

TEST_F(DBCtrlsTest, ListComboWritesTheItemChosenByKeys) {
    auto* c = new TDBComboBox(Form);
    c->SetParent(Form);
    c->SetStyle(csDropDownList);
    for (const char* item : {" prospěl ", "s vyznamenáním", "neprospěl"}) c->GetItems()->Add(item);
    c->SetDataSource(Source);
    c->SetDataField("Prospech");
    EXPECT_EQ(c->GetItemIndex(), 0);
    ShowAndActivate(Form);
    c->SetFocus();
    ProcessEvents();
    struct Step {
        int QtKey;
        const char* Text;
        const char* Expected;
    };
    const Step steps[] = {
        {Qt::Key_Down, "", "s vyznamenáním"},
        {Qt::Key_N, "n", "neprospěl"},
        {Qt::Key_Up, "", "s vyznamenáním"},
    };
    for (const Step& s : steps) {
        Key(s.QtKey, Qt::NoModifier, s.Text);
        EXPECT_EQ(DS->State(), dsEdit) << s.Expected;
        EXPECT_EQ(c->GetText(), s.Expected);
        // In the field at once, without leaving the combo.
        EXPECT_EQ(DS->FieldByName("Prospech")->GetAsString(), s.Expected);
    }
    DS->Post();
    EXPECT_EQ(DS->FieldByName("Prospech")->GetAsString(), "s vyznamenáním");
    EXPECT_TRUE(c->Focused());
}

TEST_F(DBCtrlsTest, ListComboOfAReadOnlyDataSetKeepsTheValue) {
    DS->ReadOnly = true;
    auto* c = new TDBComboBox(Form);
    c->SetParent(Form);
    c->SetStyle(csDropDownList);
    for (const char* item : {" prospěl ", "neprospěl"}) c->GetItems()->Add(item);
    c->SetDataSource(Source);
    c->SetDataField("Prospech");
    ShowAndActivate(Form);
    c->SetFocus();
    ProcessEvents();
    Key(Qt::Key_Down);
    Key(Qt::Key_N, Qt::NoModifier, "n");
    EXPECT_EQ(c->GetText(), " prospěl ");
    EXPECT_EQ(DS->State(), dsBrowse);
}

// --- grid editing ----------------------------------------------------------------------------

class DBGridEditTest : public DBCtrlsTest {
protected:
    void SetUp() override {
        DBCtrlsTest::SetUp();
        Grid = new TDBGrid(Form);
        Grid->SetParent(Form);
        Grid->SetBounds(10, 10, 400, 200);
        TColumn* id = Grid->AddColumn();
        id->SetFieldName("ID");
        TColumn* name = Grid->AddColumn();
        name->SetFieldName("Jmeno");
        name->SetWidth(150);
        Grid->SetDataSource(Source);
        Other = new TEdit(Form);
        Other->SetParent(Form);
        Other->SetBounds(10, 250, 100, 22);
    }
    // The grid focused on the name of the current record.
    void FocusName() {
        ShowAndActivate(Form);
        Grid->SetFocus();
        ProcessEvents();
        Grid->SetSelectedIndex(1);
        ASSERT_TRUE(Grid->Focused());
    }
    TCustomEdit* Editor() const {
        TCustomEdit* e = Grid->InplaceEditor();
        return e && e->GetVisible() ? e : nullptr;
    }
    std::string Name() const { return DS->FieldByName("Jmeno")->GetAsString(); }
    int Id() const { return DS->FieldByName("ID")->GetAsInteger(); }
    TDBGrid* Grid = nullptr;
    TEdit* Other = nullptr;
};

TEST_F(DBGridEditTest, KeysOpenTheEditorAndEnterWritesTheField) {
    struct Case {
        const char* Name;
        std::function<void()> Open;
        std::string Typed;  // after opening
        std::string Expected;
    };
    const Case cases[] = {
        {"F2", [] { Key(Qt::Key_F2); }, "x", "Žák 1x"},
        {"Enter", [] { Key(Qt::Key_Return); }, "y", "Žák 1y"},
        // The first character replaces the cell's text.
        {"typing", [] { Key(Qt::Key_N, Qt::NoModifier, "N"); }, "ý", "Ný"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        FocusName();
        c.Open();
        ASSERT_NE(Editor(), nullptr);
        EXPECT_TRUE(Editor()->Focused());
        if (std::string(c.Name) != "typing") {
            EXPECT_EQ(Editor()->GetText(), "Žák 1");
            EXPECT_EQ(DS->State(), dsBrowse);  // opening the editor changes nothing yet
            Key(Qt::Key_End);
        }
        Key(Qt::Key_X, Qt::NoModifier, c.Typed);
        EXPECT_EQ(DS->State(), dsEdit);
        EXPECT_EQ(Name(), "Žák 1");  // not yet written
        Key(Qt::Key_Return);
        EXPECT_EQ(Editor(), nullptr);
        EXPECT_TRUE(Grid->Focused());
        EXPECT_EQ(Name(), c.Expected);
        EXPECT_EQ(DS->State(), dsEdit);
        // Another row posts the record.
        Key(Qt::Key_Down);
        EXPECT_EQ(DS->State(), dsBrowse);
        EXPECT_EQ(Id(), 2);
        DS->First();
        EXPECT_EQ(Name(), c.Expected);
        DS->Edit();
        DS->FieldByName("Jmeno")->SetAsString("Žák 1");
        DS->Post();
    }
}

TEST_F(DBGridEditTest, RowChangeAndFocusExitWriteTheTypedText) {
    FocusName();
    Key(Qt::Key_F2);
    Key(Qt::Key_A, Qt::NoModifier, "A");
    Key(Qt::Key_Down);  // writes, posts and moves; the editor follows
    EXPECT_EQ(DS->State(), dsBrowse);
    EXPECT_EQ(Id(), 2);
    ASSERT_NE(Editor(), nullptr);
    EXPECT_EQ(Editor()->GetText(), "Žák 2");
    Key(Qt::Key_B, Qt::NoModifier, "B");
    Key(Qt::Key_Tab);
    EXPECT_TRUE(Other->Focused());
    EXPECT_EQ(Editor(), nullptr);
    EXPECT_EQ(Name(), "B");
    EXPECT_EQ(DS->State(), dsEdit);  // leaving the grid writes the field, posting is the record's
    DS->Post();
    DS->First();
    EXPECT_EQ(Name(), "A");
}

TEST_F(DBGridEditTest, EscapeTakesBackTheTextThenTheRecord) {
    FocusName();
    Key(Qt::Key_F2);
    Key(Qt::Key_Q, Qt::NoModifier, "Q");
    Key(Qt::Key_Escape);
    EXPECT_EQ(Editor(), nullptr);
    EXPECT_EQ(Name(), "Žák 1");
    EXPECT_EQ(DS->State(), dsEdit);
    Key(Qt::Key_Escape);
    EXPECT_EQ(DS->State(), dsBrowse);
    // A text written with Enter goes with the record's changes.
    Key(Qt::Key_F2);
    Key(Qt::Key_Q, Qt::NoModifier, "Q");
    Key(Qt::Key_Return);
    EXPECT_EQ(Name(), "Q");
    Key(Qt::Key_Escape);
    EXPECT_EQ(DS->State(), dsBrowse);
    EXPECT_EQ(Name(), "Žák 1");
    EXPECT_EQ(DS->RecordCount(), 30);
}

TEST_F(DBGridEditTest, InsertAndDownPastTheLastRowAddRecords) {
    FocusName();
    Key(Qt::Key_Down);
    Key(Qt::Key_Insert);
    EXPECT_EQ(DS->State(), dsInsert);
    Key(Qt::Key_N, Qt::NoModifier, "N");
    Key(Qt::Key_Down);  // posts the new record
    EXPECT_EQ(DS->State(), dsBrowse);
    EXPECT_EQ(DS->RecordCount(), 31);
    Key(Qt::Key_Escape);
    Key(Qt::Key_End, Qt::ControlModifier);
    Key(Qt::Key_Down);
    EXPECT_EQ(DS->State(), dsInsert);  // appended
    Key(Qt::Key_Down);
    EXPECT_EQ(DS->State(), dsInsert);  // an empty appended record stays
    Key(Qt::Key_Up);
    EXPECT_EQ(DS->State(), dsBrowse);  // and goes when left
    EXPECT_EQ(Id(), 30);
    // Leaving the grid gives up an empty appended record, keeps a filled one.
    Key(Qt::Key_Down);
    EXPECT_EQ(DS->State(), dsInsert);
    Other->SetFocus();
    ProcessEvents();
    EXPECT_EQ(DS->State(), dsBrowse);
    EXPECT_EQ(DS->RecordCount(), 31);
    Grid->SetFocus();
    ProcessEvents();
    Key(Qt::Key_Down);
    Key(Qt::Key_P, Qt::NoModifier, "P");
    Other->SetFocus();
    ProcessEvents();
    EXPECT_EQ(DS->State(), dsInsert);
    EXPECT_EQ(Name(), "P");
    DS->Post();
    EXPECT_EQ(DS->RecordCount(), 32);
}

TEST_F(DBGridEditTest, ReadOnlyGridsAndFieldsDoNotEdit) {
    struct Case {
        const char* Name;
        std::function<void(TDBGrid*, TMemDataSet*)> Set;
        bool InsertAllowed;
    };
    const Case cases[] = {
        {"read-only grid", [](TDBGrid* g, TMemDataSet*) { g->SetReadOnly(true); }, false},
        {"read-only dataset", [](TDBGrid*, TMemDataSet* d) { d->ReadOnly = true; }, false},
        {"read-only field", [](TDBGrid*, TMemDataSet* d) { d->FieldByName("Jmeno")->SetReadOnly(true); }, true},
        {"without dgEditing", [](TDBGrid* g, TMemDataSet*) { g->SetOptions(g->GetOptions().Exclude(dgEditing)); },
            false},
        {"row selection", [](TDBGrid* g, TMemDataSet*) { g->SetOptions(g->GetOptions().Include(dgRowSelect)); }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        c.Set(Grid, DS);
        FocusName();
        Key(Qt::Key_F2);
        Key(Qt::Key_X, Qt::NoModifier, "x");
        EXPECT_EQ(Editor(), nullptr);
        EXPECT_EQ(DS->State(), dsBrowse);
        EXPECT_EQ(Name(), "Žák 1");
        Key(Qt::Key_Insert);
        EXPECT_EQ(DS->State() == dsInsert, c.InsertAllowed);
        DS->Cancel();
        Grid->SetReadOnly(false);
        DS->ReadOnly = false;
        DS->FieldByName("Jmeno")->SetReadOnly(false);
        Grid->SetOptions(Grid->GetOptions().Include(dgEditing).Exclude(dgRowSelect));
    }
}

// In a dialog, Enter and Escape belong to the editing grid; without an edit in progress Escape
// is the cancel button's, and a grid without dgEditing leaves Enter to the default button.
TEST_F(DBGridEditTest, EnterAndEscapeInADialog) {
    TBitBtn* ok = new TBitBtn(Form);
    ok->SetParent(Form);
    ok->SetBounds(200, 300, 75, 25);
    ok->SetModalResult(mrOk);
    ok->SetDefault(true);
    TBitBtn* cancel = new TBitBtn(Form);
    cancel->SetParent(Form);
    cancel->SetBounds(300, 300, 75, 25);
    cancel->SetModalResult(mrCancel);
    cancel->SetCancel(true);
    const TModalResult r = RunModal(Form, [&] {
        Grid->SetFocus();
        ProcessEvents();
        Grid->SetSelectedIndex(1);
        Key(Qt::Key_Return);  // opens the editor
        Key(Qt::Key_End);
        Key(Qt::Key_X, Qt::NoModifier, "x");
        Key(Qt::Key_Return);  // writes
        EXPECT_EQ(Name(), "Žák 1x");
        Key(Qt::Key_Escape);  // takes back the record's change
        EXPECT_EQ(Name(), "Žák 1");
        EXPECT_EQ(DS->State(), dsBrowse);
        Key(Qt::Key_Escape);  // nothing to take back: the cancel button
    });
    EXPECT_EQ(r, mrCancel);
    Grid->SetOptions(Grid->GetOptions().Exclude(dgEditing));
    EXPECT_EQ(RunModal(Form, [&] { Key(Qt::Key_Return); }), mrOk);
}

}  // namespace
