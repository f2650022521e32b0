// Menus, pop-up menus, shortcuts and actions.
#include <gtest/gtest.h>

#include <QtCore/QTimer>
#include <QtWidgets/QMenu>

#include "platform/gui/ActnList.h"
#include "platform/gui/Buttons.h"
#include "platform/gui/Menus.h"
#include "tests/platform/gui/FormsTestUtil.h"

using namespace TestKit;

namespace {

class MenusTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureApplication();
        Form = new TForm(&Owner);
        Form->SetBounds(0, 0, 300, 200);
        Edit = new TEdit(Form);
        Edit->SetParent(Form);
        Edit->SetBounds(10, 10, 100, 22);
    }
    void TearDown() override {
        SetPopupMenuHook(nullptr);
        if (Form->GetVisible()) Form->Hide();
        ProcessEvents();
    }
    TMenuItem* Item(TMenuItem* parent, const std::string& caption, TShortCut sc = 0) {
        auto* i = new TMenuItem(Form);
        i->SetCaption(caption);
        i->SetShortCut(sc);
        i->OnClick = [this, caption](TObject*) { Clicked.push_back(caption); };
        parent->Add(i);
        return i;
    }
    TComponent Owner{nullptr};
    TForm* Form = nullptr;
    TEdit* Edit = nullptr;
    std::vector<std::string> Clicked;
};

TEST(ShortCuts, TextAndBackAgain) {
    struct Case {
        TShortCut ShortCut;
        const char* Text;
    };
    const Case cases[] = {
        {TShortCut(scCtrl | 'S'), "Ctrl+S"},
        {TShortCut(scShift | WORD(VK_F5)), "Shift+F5"},
        {TShortCut(scCtrl | scAlt | WORD(VK_DELETE)), "Ctrl+Alt+Del"},
        {VK_F12, "F12"},
        {TShortCut(scShift | scCtrl | WORD(VK_RETURN)), "Shift+Ctrl+Enter"},
        {0, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ShortCutToText(c.ShortCut), c.Text);
        EXPECT_EQ(TextToShortCut(c.Text), c.ShortCut) << c.Text;
    }
    EXPECT_EQ(TextToShortCut("ctrl+s"), TShortCut(scCtrl | 'S'));
    EXPECT_EQ(TextToShortCut("Ctrl+Nic"), 0);
}

TEST_F(MenusTest, ItemTreeFindsByCaptionAndFreesItsChildrenWithTheirOwner) {
    auto* menu = new TMainMenu(Form);
    TMenuItem* file = Item(menu->GetItems(), "&Soubor");
    Item(file, "&Uložit");
    Item(file, "-");
    TMenuItem* quit = Item(file, "&Konec");
    EXPECT_EQ(menu->GetItems()->Find("soubor"), file);
    EXPECT_EQ(file->Find("Konec"), quit);
    EXPECT_TRUE(file->Items(1)->IsLine());
    EXPECT_EQ(quit->GetParentMenu(), menu);
    EXPECT_EQ(quit->GetMenuIndex(), 2);
    delete quit;
    EXPECT_EQ(file->Count(), 2);
    EXPECT_THROW(menu->GetItems()->Add(file->Items(0)), EMenuError);  // already has a parent
}

TEST_F(MenusTest, MainMenuShortcutReachesItsItemBeforeTheFocusedControl) {
    auto* menu = new TMainMenu(Form);
    TMenuItem* file = Item(menu->GetItems(), "&Soubor");
    Item(file, "&Uložit", TShortCut(scCtrl | 'S'));
    TMenuItem* hidden = Item(file, "Skrytá", TShortCut(scCtrl | 'H'));
    hidden->SetVisible(false);
    TMenuItem* off = Item(file, "Vypnutá", TShortCut(scCtrl | 'D'));
    off->SetEnabled(false);
    Form->SetMenu(menu);
    ShowAndActivate(Form);
    Edit->SetFocus();
    ProcessEvents();
    Key(Qt::Key_S, Qt::ControlModifier);
    Key(Qt::Key_H, Qt::ControlModifier);
    Key(Qt::Key_D, Qt::ControlModifier);
    ProcessEvents();
    EXPECT_EQ(Clicked, (std::vector<std::string>{"&Soubor", "&Uložit"}));
    delete menu;  // the form forgets it
    EXPECT_EQ(Form->GetMenu(), nullptr);
}

TEST_F(MenusTest, RightClickShowsThePopupMenuOfTheControl) {
    auto* popup = new TPopupMenu(Form);
    Item(popup->GetItems(), "Kopírovat");
    TMenuItem* paste = Item(popup->GetItems(), "Vložit");
    int popups = 0;
    popup->OnPopup = [&](TObject*) { ++popups; };
    Edit->SetPopupMenu(popup);
    TPoint shownAt;
    SetPopupMenuHook([&](TPopupMenu* m, TPoint p) {
        shownAt = p;
        EXPECT_EQ(m->PopupComponent(), Edit);
        return paste;
    });
    ShowAndActivate(Form);
    TestKit::Click(Edit, Point(5, 5), Qt::RightButton);
    ProcessEvents();
    EXPECT_EQ(popups, 1);
    EXPECT_EQ(shownAt, Edit->ClientToScreen(Point(5, 5)));
    EXPECT_EQ(Clicked, std::vector<std::string>{"Vložit"});
    popup->SetAutoPopup(false);
    TestKit::Click(Edit, Point(5, 5), Qt::RightButton);
    ProcessEvents();
    EXPECT_EQ(popups, 1);
}

TEST_F(MenusTest, PopupMenuShortcutWorksInItsControl) {
    auto* popup = new TPopupMenu(Form);
    Item(popup->GetItems(), "Smazat", TShortCut(scCtrl | WORD(VK_DELETE)));
    Edit->SetPopupMenu(popup);
    ShowAndActivate(Form);
    Edit->SetFocus();
    ProcessEvents();
    Key(Qt::Key_Delete, Qt::ControlModifier);
    ProcessEvents();
    EXPECT_EQ(Clicked, std::vector<std::string>{"Smazat"});
}

TEST_F(MenusTest, QtMenuShowsCaptionsShortcutsChecksAndImages) {
    auto* popup = new TPopupMenu(Form);
    TImageList images(nullptr);
    TBitmap red(16, 16);
    red.Canvas()->Brush()->SetColor(clRed);
    red.Canvas()->FillRect(Rect(0, 0, 16, 16));
    images.Add(&red, nullptr);
    popup->SetImages(&images);
    TMenuItem* print = Item(popup->GetItems(), "&Tisk", TShortCut(scCtrl | 'P'));
    print->SetImageIndex(0);
    print->SetChecked(true);
    Item(popup->GetItems(), "-");
    Item(popup->GetItems(), "Skrytá")->SetVisible(false);
    std::unique_ptr<QMenu> q(popup->BuildQMenu(popup->GetItems(), nullptr));
    const QList<QAction*> actions = q->actions();
    ASSERT_EQ(actions.size(), 2);
    EXPECT_EQ(actions[0]->text(), QString("&Tisk\tCtrl+P"));
    EXPECT_TRUE(actions[0]->isChecked());
    EXPECT_FALSE(actions[0]->icon().isNull());
    EXPECT_TRUE(actions[1]->isSeparator());
    popup->SetImages(nullptr);
}

TEST_F(MenusTest, ActionDrivesItsButtonAndMenuItem) {
    TActionList list(nullptr);
    auto* print = new TAction(Form);
    print->SetActionList(&list);
    int executed = 0;
    print->OnExecute = [&](TObject*) { ++executed; };
    bool canPrint = false;
    print->OnUpdate = [&](TObject*) { print->SetEnabled(canPrint); };
    auto* button = new TBitBtn(Form);
    button->SetParent(Form);
    button->SetAction(print);
    auto* menu = new TPopupMenu(Form);
    auto* item = new TMenuItem(Form);
    menu->GetItems()->Add(item);
    item->SetAction(print);
    print->SetCaption("Tisk vysvědčení");
    print->SetShortCut(TShortCut(scCtrl | 'P'));
    EXPECT_EQ(button->GetCaption(), "Tisk vysvědčení");
    EXPECT_EQ(item->GetCaption(), "Tisk vysvědčení");
    EXPECT_EQ(item->GetShortCut(), TShortCut(scCtrl | 'P'));

    UpdateActionLists();  // as the idle application does
    EXPECT_FALSE(button->GetEnabled());
    EXPECT_FALSE(item->GetEnabled());
    item->Click();
    EXPECT_EQ(executed, 0);
    canPrint = true;
    QTimer::singleShot(0, [] {});  // something to handle, so the wait ends
    Application->HandleMessage();  // idle time updates the actions
    EXPECT_TRUE(button->GetEnabled());
    button->Click();
    item->Click();
    EXPECT_EQ(executed, 2);
    button->OnClick = [](TObject*) {};  // an own OnClick replaces the action's
    button->Click();
    EXPECT_EQ(executed, 2);
    delete print;  // the clients forget it
    EXPECT_EQ(button->GetAction(), nullptr);
    EXPECT_EQ(item->GetAction(), nullptr);
    EXPECT_EQ(list.ActionCount(), 0);
}

}  // namespace
