// The window layer's own messages reach the user in Czech, and what a data-aware edit refuses
// stays in the edit with the focus there and a message naming the field's display label.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <functional>

#include "platform/db/Fields.h"
#include "platform/db/MemDataSet.h"
#include "platform/gui/Bitmaps.h"
#include "platform/gui/DBCtrls.h"
#include "platform/gui/Mask.h"
#include "tests/platform/gui/FormsTestUtil.h"

using namespace TestKit;

namespace {

class CzechMessagesTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureApplication();
        Form = new TForm(&Owner);
        Form->SetBounds(0, 0, 400, 300);
    }
    void TearDown() override {
        if (Form->GetVisible()) Form->Hide();
        ProcessEvents();
        std::remove(BadFile.c_str());
    }
    // The message of what act raises ("" when nothing).
    static std::string Raised(const std::function<void()>& act) {
        try {
            act();
        } catch (const Exception& e) {
            return e.Message();
        }
        return "";
    }
    TComponent Owner{nullptr};
    TForm* Form = nullptr;
    std::string BadFile = "/tmp/karomil-bad-picture.bmp";
};

TEST_F(CzechMessagesTest, TheWindowLayersOwnMessages) {
    std::ofstream(BadFile) << "this is no picture";
    TEdit* hidden = new TEdit(Form);
    hidden->SetParent(Form);
    hidden->SetVisible(false);
    TForm* shown = new TForm(&Owner);
    shown->Show();
    TMaskEdit* mask = new TMaskEdit(Form);
    mask->SetParent(Form);
    mask->SetEditMask("00.00.0000;1;_");
    mask->SetText("12.__.____");
    const struct {
        const char* what;
        std::function<void()> act;
        std::string text;
    } cases[] = {
        {"focus to a hidden control", [&] { hidden->SetFocus(); },
            "Nelze přesunout fokus do zakázaného nebo skrytého okna."},
        {"a shown window made modal", [&] { shown->ShowModal(); }, "Viditelné okno nelze zobrazit modálně."},
        {"a damaged bitmap", [&] { TBitmap().LoadFromFile(BadFile); }, "Obrázek (bitmapa) není platný."},
        {"an unknown picture file", [&] { TPicture().LoadFromFile("/tmp/obrazek.xyz"); },
            "Neznámá přípona souboru obrázku (.xyz)"},
        {"a masked edit left unfinished", [&] { mask->ValidateEdit(); },
            "Neplatná vstupní hodnota. Změny zrušíte klávesou Esc."},
    };
    for (const auto& c : cases) EXPECT_EQ(Raised(c.act), c.text) << c.what;
    shown->Hide();
}

// Typed text the field cannot take: the edit keeps it and the focus, the message is Czech and
// names the label; a text longer than the field stops at its size while typing.
TEST_F(CzechMessagesTest, RefusedInputStaysInTheEdit) {
    auto* ds = new TMemDataSet(&Owner);
    ds->FieldDefs()->Add("ZamHodinyOmlA", ftSmallint);
    ds->FieldDefs()->Add("DatumNar", ftDateTime);
    ds->FieldDefs()->Add("Znamka1A", ftString, 15);
    ds->Open();
    ds->FieldByName("ZamHodinyOmlA")->SetDisplayLabel("Omluvené hodiny");
    ds->FieldByName("DatumNar")->SetDisplayLabel("Datum narození");
    auto* hours = static_cast<TIntegerField*>(ds->FieldByName("ZamHodinyOmlA"));
    hours->MinValue = 0;
    hours->MaxValue = 32767;
    ds->Append();
    auto* source = new TDataSource(&Owner);
    source->SetDataSet(ds);
    auto edit = [&](const std::string& field, int top) {
        auto* e = new TDBEdit(Form);
        e->SetParent(Form);
        e->SetBounds(10, top, 200, 22);
        e->SetDataSource(source);
        e->SetDataField(field);
        return e;
    };
    TDBEdit* hoursEdit = edit("ZamHodinyOmlA", 10);
    TDBEdit* dateEdit = edit("DatumNar", 40);
    TDBEdit* gradeEdit = edit("Znamka1A", 70);
    TEdit* other = new TEdit(Form);
    other->SetParent(Form);
    other->SetBounds(10, 100, 100, 22);
    ShowAndActivate(Form);
    TModalAnswerer boxes;
    const struct {
        TDBEdit* edit;
        std::string typed;
        std::string message;
    } cases[] = {
        {hoursEdit, "abc", "'abc' není platné celé číslo pro pole 'Omluvené hodiny'."},
        {hoursEdit, "-3", "-3 není platná hodnota pro pole 'Omluvené hodiny'. Povolený rozsah je 0 až 32767."},
        {dateEdit, "31.02.2020", "'31.02.2020' není platné datum pro pole 'Datum narození'."},
    };
    size_t shownBoxes = 0;
    for (const auto& c : cases) {
        c.edit->SetFocus();
        ProcessEvents();
        c.edit->SetText(c.typed);  // as the user's edit: the record goes into edit mode
        other->SetFocus();
        ProcessEvents();
        EXPECT_TRUE(c.edit->Focused()) << c.typed;
        EXPECT_EQ(c.edit->GetText(), c.typed);
        ASSERT_EQ(boxes.Texts().size(), ++shownBoxes) << c.typed;
        EXPECT_EQ(boxes.Texts().back(), c.message);
        c.edit->SetText("");
        other->SetFocus();
        ProcessEvents();
    }
    // Typing past the field's size stops there.
    EXPECT_EQ(gradeEdit->GetMaxLength(), 15);
    gradeEdit->SetFocus();
    ProcessEvents();
    for (char ch : std::string("nedostatecny a vic"))
        Key(ch >= 'a' && ch <= 'z' ? Qt::Key_A + (ch - 'a') : int(ch), Qt::NoModifier, std::string(1, ch));
    EXPECT_EQ(gradeEdit->GetText(), "nedostatecny a ");
    EXPECT_EQ(boxes.Texts().size(), shownBoxes);
}

}  // namespace
