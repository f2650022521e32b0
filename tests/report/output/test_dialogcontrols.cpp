// The report dialog controls: default sizes and names, the wrapped control
// following the object, the label's size, registration and descriptions, and
// the script members that are not published (ItemIndex, Checked[i], State[i]).
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/classes/ClassRegistry.h"
#include "platform/classes/TypInfo.h"
#include "platform/gui/Bitmaps.h"
#include "platform/gui/CheckLst.h"
#include "platform/gui/TestKit.h"
#include "platform/rtl/Exceptions.h"
#include "report/core/frxDialogPage.h"
#include "report/core/frxRegistries.h"
#include "report/core/frxReport.h"
#include "report/output/frxDCtrlRTTI.h"
#include "report/output/frxDialogControls.h"
#include "script/Interpreter.h"

namespace {

class DialogControlsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        TestKit::EnsureApplication();
        if (!fsGlobalUnit()) {
            script::Startup();
            ownScript = true;
        }
        frxRegisterDialogControls();
    }
    static void TearDownTestSuite() {
        if (ownScript) script::Shutdown();
    }
    void SetUp() override {
        report = std::make_unique<TfrxReport>();
        page = new TfrxDialogPage(report.get());
        page->SetName("DialogPage1");
    }
    template <class T>
    T* Add() {
        T* c = new T(page);
        c->CreateUniqueName();
        return c;
    }
    // Runs a PascalScript program under the global unit with the controls
    // reachable by name; gives the text of Out, or "error: ..." / "compile: ...".
    std::string Run(const std::string& program, std::initializer_list<TfrxComponent*> objects) {
        TfsScript script(nullptr);
        script.Parent = fsGlobalUnit();
        for (TfrxComponent* o : objects) script.AddObject(o->GetName(), o);
        script.GetLines()->SetText(program);
        if (!script.Compile()) return "compile: " + script.ErrorMsg;
        try {
            script.Execute();
        } catch (const Exception& e) {
            return std::string("error: ") + e.what();
        }
        TfsCustomVariable* out = script.FindLocal("Out");
        return out ? VarToStr(out->GetValue()) : "";
    }
    static inline bool ownScript = false;
    std::unique_ptr<TfrxReport> report;
    TfrxDialogPage* page = nullptr;
};

TEST_F(DialogControlsTest, NewControlsTakeTheirSizeNameAndCaption) {
    auto* e1 = Add<TfrxEditControl>();
    auto* e2 = Add<TfrxEditControl>();
    EXPECT_EQ(e1->GetName(), "Edit1");
    EXPECT_EQ(e2->GetName(), "Edit2");
    EXPECT_EQ(e1->GetWidth(), 121);
    EXPECT_EQ(e1->GetHeight(), 21);
    EXPECT_EQ(e1->Control()->GetWidth(), 121);
    e1->SetWidth(100.6);
    EXPECT_EQ(e1->Control()->GetWidth(), 101);

    struct Case {
        TfrxDialogControl* control;
        double width, height;
        const char* caption;
        const char* description;
    };
    const Case cases[] = {
        {Add<TfrxMemoControl>(), 185, 89, "", "Memo"},
        {Add<TfrxButtonControl>(), 75, 25, "Button", "Tlačítko"},
        {Add<TfrxCheckBoxControl>(), 97, 17, "CheckBox", "Zatržítko"},
        {Add<TfrxRadioButtonControl>(), 113, 17, "RadioButton", "Přepínací políčko"},
        {Add<TfrxListBoxControl>(), 121, 97, "", "Rolovací seznam"},
        {Add<TfrxComboBoxControl>(), 145, 21, "", "Výsuvný seznam"},
        {Add<TfrxPanelControl>(), 185, 41, "", "Panel"},
        {Add<TfrxGroupBoxControl>(), 185, 105, "", "Skupinový panel"},
        {Add<TfrxDateEditControl>(), 145, 21, "", "Editace dat"},
        {Add<TfrxImageControl>(), 100, 100, "", "Obrázek"},
        {Add<TfrxBevelControl>(), 50, 50, "", "Objekt zkosení"},
        {Add<TfrxBitBtnControl>(), 75, 25, "BitBtn", "Grafické tlačítko"},
        {Add<TfrxSpeedButtonControl>(), 22, 22, "", "Rychlé tlačítko"},
        {Add<TfrxMaskEditControl>(), 121, 21, "MaskEdit", "Masková editace"},
        {Add<TfrxCheckListBoxControl>(), 121, 97, "", "Panel seznamu zatržítek"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.control->ClassName());
        EXPECT_EQ(c.control->GetWidth(), c.width);
        EXPECT_EQ(c.control->GetHeight(), c.height);
        EXPECT_EQ(c.control->Control()->GetWidth(), int(c.width));
        EXPECT_EQ(c.control->GetCaption(), c.caption);
        EXPECT_EQ(c.control->GetDescription(), c.description);
    }
    EXPECT_EQ(static_cast<TfrxCheckBoxControl*>(cases[2].control)->GetAlignment(), taRightJustify);
    EXPECT_EQ(Add<TfrxLabelControl>()->GetDescription(), "Nadpis");
}

TEST_F(DialogControlsTest, TheLabelsSizeFollowsItsTextOnlyWhileAutoSized) {
    auto* label = Add<TfrxLabelControl>();
    label->SetCaption("Dlouhý nápis na dialogu");
    TBitmap bmp;
    bmp.SetSize(300, 100);
    label->Draw(bmp.Canvas(), 1, 1, 0, 0);
    EXPECT_EQ(label->GetWidth(), label->Label()->GetWidth());
    EXPECT_GT(label->GetWidth(), 60);
    label->SetAutoSize(false);
    label->SetWidth(40);
    label->SetHeight(30);
    label->Draw(bmp.Canvas(), 1, 1, 0, 0);
    EXPECT_EQ(label->Label()->GetWidth(), 40);
    EXPECT_EQ(label->Label()->GetHeight(), 30);
}

TEST_F(DialogControlsTest, SpeedButtonGroupIndexIsTheButtons) {
    auto* b = Add<TfrxSpeedButtonControl>();
    b->SetGroupIndex(3);
    EXPECT_EQ(b->SpeedButton()->GetGroupIndex(), 3);
    EXPECT_EQ(GetOrdProp(b, "GroupIndex"), 3);
}

TEST_F(DialogControlsTest, ControlsAreOnThePaletteAndKnownToStoredTemplates) {
    TfrxObjectCollection* objects = frxObjects();
    int found = 0;
    for (int i = 0; i < objects->Count(); ++i) {
        const TfrxObjectItem* item = objects->GetItem(i);
        if (!item->ObjectClass) {
            if (item->Category == "Other controls") {
                EXPECT_EQ(item->ImageIndex, 21);
            }
            continue;
        }
        const std::string name = item->ObjectClass->ClassName();
        if (name == "TfrxEditControl") {
            EXPECT_EQ(item->ImageIndex, 13);
            EXPECT_EQ(item->Category, "");
            ++found;
        }
        if (name == "TfrxCheckListBoxControl") {
            EXPECT_EQ(item->ImageIndex, 48);
            EXPECT_EQ(item->Category, "Other controls");
            ++found;
        }
    }
    EXPECT_EQ(found, 2);
    EXPECT_NE(GetClass("TfrxDateEditControl"), nullptr);
}

TEST_F(DialogControlsTest, ScriptsReachItemIndexCheckedAndState) {
    auto* combo = Add<TfrxComboBoxControl>();
    auto* list = Add<TfrxListBoxControl>();
    auto* checks = Add<TfrxCheckListBoxControl>();
    for (const char* s : {"jedna", "dvě", "tři"}) {
        combo->GetItems()->Add(s);
        list->GetItems()->Add(s);
        checks->GetItems()->Add(s);
    }
    EXPECT_EQ(Run("var Out: String; begin Out := IntToStr(ComboBox1.ItemIndex); end.", {combo}), "-1");
    EXPECT_EQ(Run("var Out: String; begin ComboBox1.ItemIndex := 2; "
                  "ListBox1.ItemIndex := 1;"
                  " Out := IntToStr(ComboBox1.ItemIndex) + "
                  "IntToStr(ListBox1.ItemIndex); end.",
                  {combo, list}),
        "21");
    EXPECT_EQ(combo->ComboBox()->GetItemIndex(), 2);
    EXPECT_EQ(combo->GetText(), "tři");
    EXPECT_EQ(list->ListBox()->GetItemIndex(), 1);
    EXPECT_EQ(Run("var Out: String; begin CheckListBox1.Checked[0] := True; "
                  "CheckListBox1.State[2] := 2;"
                  " Out := IntToStr(CheckListBox1.State[0]) + "
                  "IntToStr(CheckListBox1.State[2]);"
                  " if CheckListBox1.Checked[1] then Out := Out + 'x'; end.",
                  {checks}),
        "12");
    EXPECT_TRUE(checks->CheckListBox()->GetChecked(0));
    EXPECT_EQ(checks->CheckListBox()->GetState(2), cbGrayed);
    const std::string bad = Run("var Out: String; begin CheckListBox1.State[1] := 5; end.", {checks});
    EXPECT_NE(bad.find("Stav položky musí být 0, 1 nebo 2"), std::string::npos) << bad;
    EXPECT_EQ(checks->CheckListBox()->GetState(1), cbUnchecked);

    // Stopping the bindings takes every dialog-control class out of the global
    // scope.
    frxStopDialogControlsRTTI();
    EXPECT_EQ(fsGlobalUnit()->FindClass("TfrxComboBoxControl"), nullptr);
    EXPECT_EQ(fsGlobalUnit()->FindClass("TfrxLabelControl"), nullptr);
    frxStartDialogControlsRTTI();
    EXPECT_NE(fsGlobalUnit()->FindClass("TfrxCheckListBoxControl"), nullptr);
}

}  // namespace
