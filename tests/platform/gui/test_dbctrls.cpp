// Data-aware controls over the in-memory dataset: showing, auto edit, writing on focus exit and
// on UpdateRecord, and the grid moving the dataset.
#include <gtest/gtest.h>

#include "platform/db/MemDataSet.h"
#include "platform/gui/DBCtrls.h"
#include "tests/platform/gui/FormsTestUtil.h"

using namespace TestKit;

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
    template <class T> T* Add(const std::string& field, int top) {
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
    EXPECT_EQ(e->GetMaxLength(), 12);   // from the field's size
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
    EXPECT_EQ(DS->State(), dsEdit);                          // auto edit through the data source
    EXPECT_EQ(DS->FieldByName("Jmeno")->GetAsString(), "Žák 1");   // not yet written
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
    DS->Post();   // UpdateRecord before the post, while the focus stays
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
    struct Case { int Id; TCheckBoxState State; };
    for (Case c : {Case{1, cbChecked}, Case{2, cbUnchecked} /* Null */, Case{3, cbChecked}}) {
        DS->Locate("ID", Variant(c.Id), {});
        EXPECT_EQ(b->GetState(), c.State) << c.Id;
    }
    // A text field with its own values.
    TDBCheckBox* t = Add<TDBCheckBox>("Prospech", 40);
    t->SetValueChecked("PROSPĚL;ano");
    t->SetValueUnchecked("neprospěl");
    EXPECT_TRUE(t->GetChecked());   // blanks trimmed, case ignored
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
    EXPECT_EQ(g->ColumnCount(), 5);   // one per field
    struct Step { int QtKey; Qt::KeyboardModifiers Mods; int Id; };
    const Step steps[] = {
        {Qt::Key_Down, Qt::NoModifier, 2},
        {Qt::Key_Down, Qt::NoModifier, 3},
        {Qt::Key_Up, Qt::NoModifier, 2},
        {Qt::Key_PageDown, Qt::NoModifier, 2 + rows},
        {Qt::Key_End, Qt::ControlModifier, 30},
        {Qt::Key_Down, Qt::NoModifier, 30},
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

}  // namespace
