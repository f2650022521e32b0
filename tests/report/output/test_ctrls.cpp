// The report library's combos: list geometry, the recently chosen fonts kept at the top and in
// the registry, the font preview's place, and Enter in a combo with a button.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include <QtWidgets/QApplication>
#include <QtWidgets/QWidget>

#include "platform/gui/StdCtrls.h"
#include "platform/gui/TestKit.h"
#include "platform/settings/Registry.h"
#include "report/output/frxCtrls.h"

namespace {

TEST(FlatCombo, ListHeightAndDroppingUpward) {
    TestKit::EnsureApplication();
    TForm form(nullptr);
    auto* combo = new TfrxComboBox(&form);
    combo->SetParent(&form);
    const int ih = combo->GetItemHeight();
    EXPECT_GT(ih, 0);
    EXPECT_EQ(combo->ButtonWidth(), 11);
    EXPECT_EQ(combo->GetWidth(), 100);
    EXPECT_EQ(combo->GetListHeight(), ih + 4);  // no items
    for (int i = 0; i < 20; ++i) combo->GetItems()->Add("Položka " + std::to_string(i));
    EXPECT_EQ(combo->GetListHeight(), 8 * ih + 4);
    combo->SetDropDownCount(30);
    EXPECT_EQ(combo->GetListHeight(), 20 * ih + 4);
    combo->SetDropDownCount(0);
    EXPECT_EQ(combo->GetListHeight(), ih + 4);

    struct Case {
        int top, text, list, screen;
        bool upward;
    } const cases[] = {
        {100, 13, 200, 768, false}, {549, 13, 200, 768, false}, {550, 13, 200, 768, true}, {740, 13, 36, 768, true}};
    for (const Case& c : cases)
        EXPECT_EQ(TfrxCustomComboBox::ListWouldPassScreen(c.top, c.text, c.list, c.screen), c.upward) << c.top;

    combo->SetReadOnly(true);
    EXPECT_EQ(combo->GetStyle(), csDropDownList);
    combo->SetReadOnly(false);
    EXPECT_EQ(combo->GetStyle(), csDropDown);
}

TEST(FlatCombo, FlatUntilTheMouseComesAndItsListHasItsOwnWidth) {
    TestKit::EnsureApplication();
    TForm form(nullptr);
    form.SetBounds(0, 0, 300, 200);
    auto* combo = new TfrxComboBox(&form);
    combo->SetParent(&form);
    combo->SetBounds(10, 10, 49, 21);
    combo->SetListWidth(100);
    for (const char* item : {"25%", "50%", "100%"}) combo->GetItems()->Add(item);
    combo->SetText("100%");
    auto* other = new TEdit(&form);
    other->SetParent(&form);
    other->SetBounds(10, 100, 80, 21);
    TestKit::ShowAndActivate(&form);
    other->SetFocus();
    TestKit::ProcessEvents();
    // The button's lower right corner: the window colour when flat, the shadow when raised.
    const QPoint corner(49 - 3, 21 - 3);
    const QPoint arrowTip(42, 11);  // the triangle's last row: x 49 - 11 + 6 - 4 + 2, y 8 + 1 + 2
    QImage flat = TestKit::Grab(combo);
    EXPECT_EQ(QColor(flat.pixel(corner)), QColor(Qt::white));
    EXPECT_EQ(QColor(flat.pixel(0, 0)), QColor(212, 208, 200)) << "the frame in the button face";
    EXPECT_EQ(QColor(flat.pixel(arrowTip)), QColor(Qt::black));
    combo->Perform(CM_MOUSEENTER, 0, 0);
    QImage hot = TestKit::Grab(combo);
    EXPECT_EQ(QColor(hot.pixel(corner)), QColor(128, 128, 128));
    combo->Perform(CM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(QColor(TestKit::Grab(combo).pixel(corner)), QColor(Qt::white));

    combo->SetDroppedDown(true);
    TestKit::ProcessEvents();
    QWidget* popup = QApplication::activePopupWidget();
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->width(), 100);
    combo->SetDroppedDown(false);
    combo->SetListWidth(0);  // the control's width less one
    EXPECT_EQ(combo->GetListWidth(), 0);
}

TEST(FontCombo, PreviewGoesBesideTheControl) {
    const TSize preview{200, 50};
    const TRect control = Rect(100, 300, 250, 321);
    EXPECT_EQ(TfrxFontComboBox::PreviewPlace(control, preview, 1024, false), Point(250, 321));
    EXPECT_EQ(TfrxFontComboBox::PreviewPlace(control, preview, 1024, true), Point(250, 250));
    // No room on the right: left of the control, 1 pixel apart.
    EXPECT_EQ(TfrxFontComboBox::PreviewPlace(control, preview, 400, false), Point(-101, 321));
}

// Keeps the registry of this test in a folder of its own.
class FontComboTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestKit::EnsureApplication();
        dir = std::filesystem::temp_directory_path() / ("karomil-mru-" + std::to_string(getpid()));
        std::filesystem::create_directories(dir);
        const char* old = getenv("XDG_CONFIG_HOME");
        oldConfig = old ? old : "";
        setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
    }
    void TearDown() override {
        if (oldConfig.empty()) unsetenv("XDG_CONFIG_HOME");
        else setenv("XDG_CONFIG_HOME", oldConfig.c_str(), 1);
        std::filesystem::remove_all(dir);
    }
    std::filesystem::path dir;
    std::string oldConfig;
};

TEST_F(FontComboTest, SixChoicesKeepTheFiveLastNewestFirstAndUninstalledFontsAreForgotten) {
    const std::string key = "\\Software\\Karomil Test\\MRUFont";
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey(key, true));
        reg.WriteString("Font0", "DejaVu Serif");
        reg.WriteInteger("FontType0", TRUETYPE_FONTTYPE);
        reg.WriteString("Font1", "Písmo, které není");
        reg.WriteInteger("FontType1", TRUETYPE_FONTTYPE);
    }
    TForm form(nullptr);
    auto* combo = new TfrxFontComboBox(&form);
    combo->SetParent(&form);
    combo->SetMRURegKey(key);
    combo->PopulateList();
    TStrings* items = combo->GetItems();
    ASSERT_GE(items->Count(), 8);
    EXPECT_EQ(combo->LastMRUIndex(), 0);
    EXPECT_EQ(items->Strings(0), "DejaVu Serif");
    EXPECT_EQ(items->ObjectsAsInt(0), TRUETYPE_FONTTYPE);
    EXPECT_EQ(items->IndexOf("Písmo, které není"), -1);
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey(key, false));
        EXPECT_EQ(reg.ReadString("Font1"), "");
        EXPECT_EQ(reg.ReadInteger("FontType1"), 0);
    }
    TestKit::ShowAndActivate(&form);
    // Six different fonts from the full list, one after another, through the opened list.
    std::vector<std::string> chosen;
    for (int i = 0; i < 6; ++i) {
        const int index = items->Count() - 1 - i;
        chosen.push_back(items->Strings(index));
        combo->SetDroppedDown(true);
        TestKit::ProcessEvents();
        combo->SetItemIndex(items->Count() - 1 - i);
        combo->SetDroppedDown(false);
        TestKit::ProcessEvents();
        EXPECT_EQ(combo->GetItemIndex(), 0);
        EXPECT_EQ(combo->GetText(), chosen.back());
    }
    EXPECT_EQ(combo->LastMRUIndex(), 4);
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(key, false));
    for (int n = 0; n <= 4; ++n) {
        EXPECT_EQ(items->Strings(n), chosen[5 - n]) << n;
        EXPECT_EQ(reg.ReadString("Font" + std::to_string(n)), chosen[5 - n]) << n;
    }
    // Choosing an entry already on top moves it up without adding one.
    combo->SetDroppedDown(true);
    TestKit::ProcessEvents();
    combo->SetItemIndex(3);
    combo->SetDroppedDown(false);
    TestKit::ProcessEvents();
    EXPECT_EQ(combo->LastMRUIndex(), 4);
    EXPECT_EQ(items->Strings(0), chosen[2]);
    EXPECT_EQ(items->Strings(1), chosen[5]);
    EXPECT_FALSE(combo->Preview()->Active());
}

TEST(ComboEdit, EnterPressesTheDialogsDefaultButtonAndTheButtonReportsAClick) {
    TestKit::EnsureApplication();
    TForm form(nullptr);
    form.SetBounds(0, 0, 300, 120);
    auto* edit = new TfrxComboEdit(&form);
    edit->SetParent(&form);
    edit->SetBounds(8, 8, 200, 21);
    int defaults = 0, buttons = 0;
    auto* ok = new TButton(&form);
    ok->SetParent(&form);
    ok->SetBounds(8, 60, 75, 25);
    ok->SetDefault(true);
    ok->OnClick = [&](TObject*) { ++defaults; };
    edit->OnButtonClick = [&](TObject* s) {
        EXPECT_EQ(s, edit);
        ++buttons;
    };
    TestKit::ShowAndActivate(&form);
    edit->SetFocus();
    TestKit::Key(Qt::Key_Return, Qt::NoModifier, "\r");
    TestKit::ProcessEvents();
    EXPECT_EQ(defaults, 1);
    edit->Button()->Click();
    EXPECT_EQ(buttons, 1);
    EXPECT_TRUE(edit->Focused());
    edit->SetButtonEnabled(false);
    EXPECT_FALSE(edit->Button()->GetEnabled());
}

}  // namespace
