// Forms: the modal loop and its results, keys that reach default and cancel buttons, Tab order,
// closing, positions, border styles, and stored window definitions.
#include <gtest/gtest.h>

#include <QtWidgets/QApplication>
#include <QtWidgets/QWidget>

#include <string>
#include <vector>

#include "platform/gui/StdCtrls.h"
#include "platform/rtl/Exceptions.h"
#include "tests/platform/gui/FormsTestUtil.h"

using namespace TestKit;
using formstest::RunModal;
using formstest::RunModalSteps;

namespace {

// A login-like dialog: two edits, OK (default) and Storno (cancel).
struct TDialog {
    TForm* Form;
    TEdit* Name;
    TEdit* Password;
    TButton* Ok;
    TButton* Cancel;
    explicit TDialog(TComponent* owner) {
        Form = new TForm(owner);
        Form->SetBounds(0, 0, 300, 160);
        Form->SetCaption("Přihlášení");
        Name = new TEdit(Form);
        Name->SetParent(Form);
        Name->SetBounds(10, 10, 200, 22);
        Password = new TEdit(Form);
        Password->SetParent(Form);
        Password->SetBounds(10, 40, 200, 22);
        Password->SetPasswordChar(U'*');
        Ok = new TButton(Form);
        Ok->SetParent(Form);
        Ok->SetBounds(10, 100, 75, 25);
        Ok->SetCaption("OK");
        Ok->SetModalResult(mrOk);
        Ok->SetDefault(true);
        Cancel = new TButton(Form);
        Cancel->SetParent(Form);
        Cancel->SetBounds(100, 100, 75, 25);
        Cancel->SetCaption("Storno");
        Cancel->SetModalResult(mrCancel);
        Cancel->SetCancel(true);
    }
};

class FormsTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureApplication(); }
    void TearDown() override { ProcessEvents(); }
    TComponent Owner{nullptr};
};

TEST_F(FormsTest, KeysDriveTheDialogToItsResult) {
    struct Case {
        const char* Name;
        std::function<void(TDialog&)> Keys;
        TModalResult Expected;
        std::string Typed;
    };
    const Case cases[] = {
        {"Enter in an edit clicks the default button", [](TDialog&) { Key(Qt::Key_Return); }, mrOk, ""},
        {"Escape clicks the cancel button", [](TDialog&) { Key(Qt::Key_Escape); }, mrCancel, ""},
        {"typing, Tab, typing, Enter",
            [](TDialog&) {
                Key(Qt::Key_J, Qt::NoModifier, "j");
                Key(Qt::Key_A, Qt::NoModifier, "á");
                Key(Qt::Key_Tab);
                Key(Qt::Key_X, Qt::NoModifier, "x");
                Key(Qt::Key_Return);
            },
            mrOk, "já"},
        {"Tab to the cancel button, Enter clicks it",
            [](TDialog&) {
                Key(Qt::Key_Tab);
                Key(Qt::Key_Tab);
                Key(Qt::Key_Tab);
                Key(Qt::Key_Return);
            },
            mrCancel, ""},
        {"Space on the focused OK button",
            [](TDialog&) {
                Key(Qt::Key_Tab);
                Key(Qt::Key_Tab);
                Key(Qt::Key_Space, Qt::NoModifier, " ");
            },
            mrOk, ""},
        {"Shift+Tab goes backwards to Storno",
            [](TDialog&) {
                Key(Qt::Key_Backtab, Qt::ShiftModifier);
                Key(Qt::Key_Return);
            },
            mrCancel, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TDialog d(&Owner);
        const TModalResult r = RunModal(d.Form, [&] { c.Keys(d); });
        EXPECT_EQ(r, c.Expected);
        EXPECT_EQ(d.Name->GetText(), c.Typed);
        EXPECT_FALSE(d.Form->GetVisible());
        delete d.Form;
    }
}

TEST_F(FormsTest, WindowManagerCloseGivesCancelAlsoWithoutCloseButton) {
    TDialog d(&Owner);
    d.Form->SetBorderIcons({});
    const TModalResult r = RunModal(d.Form, [&] { d.Form->OuterWidget()->close(); });
    EXPECT_EQ(r, mrCancel);
    EXPECT_FALSE(d.Form->GetVisible());
    // Alt+F4 closes as well.
    TDialog d2(&Owner);
    d2.Form->SetBorderIcons({});
    const TModalResult r2 = RunModal(d2.Form, [&] { Key(Qt::Key_F4, Qt::AltModifier); });
    EXPECT_EQ(r2, mrCancel);
}

TEST_F(FormsTest, CloseQueryAndOnCloseCanKeepTheModalFormOpen) {
    TDialog d(&Owner);
    int asked = 0;
    d.Form->OnCloseQuery = [&](TObject*, bool& canClose) { canClose = ++asked > 1; };
    std::vector<std::string> log;
    d.Form->OnClose = [&](TObject*, TCloseAction&) { log.push_back("close"); };
    d.Form->OnHide = [&](TObject*) {
        log.push_back("hide");
        // The result handed back is read after OnHide.
        if (d.Form->GetModalResult() == mrOk) d.Form->SetModalResult(mrYes);
    };
    const TModalResult r = RunModalSteps(d.Form,
        {
            [] { Key(Qt::Key_Return); },  // refused by CloseQuery
            [&] {
                EXPECT_TRUE(d.Form->GetVisible());
                Key(Qt::Key_Return);
            },
        });
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(r, mrYes);
    EXPECT_EQ(log, (std::vector<std::string>{"close", "hide"}));
}

TEST_F(FormsTest, OnClickMayTakeTheResultBack) {
    TDialog d(&Owner);
    int clicks = 0;
    d.Ok->OnClick = [&](TObject*) {
        if (++clicks == 1) d.Form->SetModalResult(mrNone);
    };
    const TModalResult r = RunModalSteps(d.Form, {[] { Key(Qt::Key_Return); }, [] { Key(Qt::Key_Return); }});
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(r, mrOk);
}

TEST_F(FormsTest, KeyPreviewSeesKeysFirstAndCanSwallowThem) {
    // The message box of the application: Escape in OnKeyDown closes with mrCancel.
    TDialog d(&Owner);
    d.Cancel->SetCancel(false);
    d.Form->SetKeyPreview(true);
    std::vector<int> seen;
    d.Form->OnKeyDown = [&](TObject*, WORD& key, TShiftState) {
        seen.push_back(key);
        if (key == VK_ESCAPE) {
            d.Form->SetModalResult(mrCancel);
            d.Form->Close();
        }
        if (key == VK_DELETE) key = 0;  // never reaches the edit
    };
    const TModalResult r = RunModal(d.Form, [&] {
        Key(Qt::Key_Q, Qt::NoModifier, "q");
        Key(Qt::Key_W, Qt::NoModifier, "w");
        Key(Qt::Key_Home);
        Key(Qt::Key_Delete);
        Key(Qt::Key_Escape);
    });
    EXPECT_EQ(r, mrCancel);
    EXPECT_EQ(seen, (std::vector<int>{'Q', 'W', VK_HOME, VK_DELETE, VK_ESCAPE}));
    EXPECT_EQ(d.Name->GetText(), "qw");
}

TEST_F(FormsTest, OnKeyPressSubstitutesTheCharacter) {
    TDialog d(&Owner);
    d.Name->OnKeyPress = [](TObject*, char32_t& key) {
        if (key == U'a') key = U'Á';
        if (key == U'-') key = 0;
    };
    RunModal(d.Form, [&] {
        Key(Qt::Key_A, Qt::NoModifier, "a");
        Key(Qt::Key_Minus, Qt::NoModifier, "-");
        Key(Qt::Key_B, Qt::NoModifier, "b");
        Key(Qt::Key_Escape);
    });
    EXPECT_EQ(d.Name->GetText(), "Áb");
}

TEST_F(FormsTest, ShowModalOfAVisibleFormRaises) {
    TDialog d(&Owner);
    d.Form->Show();
    EXPECT_THROW(d.Form->ShowModal(), EInvalidOperation);
    d.Form->Hide();
}

TEST_F(FormsTest, NestedModalLoopsEndInnerFirst) {
    TDialog outer(&Owner);
    TDialog inner(&Owner);
    TModalResult innerResult = mrNone;
    outer.Ok->OnClick = [&](TObject*) {
        SetShowModalHook([](TCustomForm*) { Key(Qt::Key_Escape); });
        innerResult = inner.Form->ShowModal();
    };
    const TModalResult r = RunModal(outer.Form, [&] { Key(Qt::Key_Return); });
    EXPECT_EQ(innerResult, mrCancel);
    EXPECT_EQ(r, mrOk);
}

TEST_F(FormsTest, PositionCentresOnScreenOwnerOrMainForm) {
    const TRect work = Screen->WorkAreaRect();
    TForm* host = new TForm(&Owner);
    host->SetBounds(100, 50, 400, 300);
    host->Show();
    struct Case {
        TPosition Position;
        TRect Area;
    };
    const Case cases[] = {
        {poScreenCenter, work},
        {poDesktopCenter, work},
        {poOwnerFormCenter, host->GetBoundsRect()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.Position));
        TForm* f = new TForm(host);
        f->SetBounds(0, 0, 200, 100);
        f->SetPosition(c.Position);
        f->Show();
        EXPECT_EQ(f->GetLeft(), c.Area.Left + (c.Area.Width() - 200) / 2);
        EXPECT_EQ(f->GetTop(), c.Area.Top + (c.Area.Height() - 100) / 2);
        delete f;
    }
    // A form owned by no form centres on the screen when the main form is not shown.
    TForm* lone = new TForm(nullptr);
    lone->SetBounds(0, 0, 200, 100);
    lone->SetPosition(poOwnerFormCenter);
    lone->Show();
    EXPECT_EQ(lone->GetLeft(), work.Left + (work.Width() - 200) / 2);
    delete lone;
    delete host;
}

TEST_F(FormsTest, BorderStylesAndIconsBecomeWindowFlags) {
    struct Case {
        TFormBorderStyle Style;
        TBorderIcons Icons;
        TFormStyle FormStyle;
        Qt::WindowFlags Has, HasNot;
        bool Fixed;
    };
    const Case cases[] = {
        {bsSizeable, {biSystemMenu, biMinimize, biMaximize}, fsNormal,
            Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint,
            Qt::WindowStaysOnTopHint, false},
        {bsDialog, {biSystemMenu, biMinimize, biMaximize}, fsNormal, Qt::WindowCloseButtonHint,
            Qt::WindowMinimizeButtonHint, true},
        {bsSingle, {}, fsNormal, Qt::WindowTitleHint, Qt::WindowCloseButtonHint, true},
        {bsNone, {biSystemMenu}, fsStayOnTop, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint,
            Qt::WindowCloseButtonHint, false},
        {bsToolWindow, {biSystemMenu}, fsNormal, Qt::Tool | Qt::WindowCloseButtonHint, Qt::WindowMaximizeButtonHint,
            true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.Style));
        TForm f(nullptr);
        f.SetBounds(0, 0, 220, 120);
        f.SetBorderStyle(c.Style);
        f.SetBorderIcons(c.Icons);
        f.SetFormStyle(c.FormStyle);
        f.HandleNeeded();
        const Qt::WindowFlags flags = f.OuterWidget()->windowFlags();
        EXPECT_EQ(flags & c.Has, c.Has);
        EXPECT_EQ(flags & c.HasNot, Qt::WindowFlags());
        EXPECT_EQ(f.OuterWidget()->minimumSize() == f.OuterWidget()->maximumSize(), c.Fixed);
    }
}

TEST_F(FormsTest, CaptionIsTheWindowTitle) {
    TForm f(nullptr);
    f.SetCaption("Vysvědčení – žák");
    f.HandleNeeded();
    EXPECT_EQ(f.OuterWidget()->windowTitle().toStdString(), "Vysvědčení – žák");
    f.SetCaption("");
    EXPECT_TRUE(f.OuterWidget()->windowTitle().isEmpty());
}

TEST_F(FormsTest, FreeOnCloseReleasesAfterTheMessage) {
    TForm* f = new TForm(&Owner);
    bool destroyed = false;
    f->OnDestroy = [&](TObject*) { destroyed = true; };
    f->OnClose = [](TObject*, TCloseAction& a) { a = caFree; };
    ShowAndActivate(f);
    f->Close();
    EXPECT_FALSE(destroyed);
    ProcessEvents();
    EXPECT_TRUE(destroyed);
    EXPECT_EQ(Owner.GetComponentCount(), 0);
}

TEST_F(FormsTest, ReleasedFormFreedByItsOwnerFirstIsNotFreedTwice) {
    TComponent* owner = new TComponent(nullptr);
    TForm* f = new TForm(owner);
    f->Release();
    delete owner;
    ProcessEvents();  // the pending deletion finds the form gone
    SUCCEED();
}

TEST_F(FormsTest, FirstTabStopGetsTheFocusAndEventsComeInOrder) {
    TDialog d(&Owner);
    std::vector<std::string> log;
    d.Form->OnCreate = [&](TObject*) { log.push_back("create"); };
    d.Form->OnShow = [&](TObject*) { log.push_back("show"); };
    d.Form->OnActivate = [&](TObject*) { log.push_back("activate"); };
    d.Form->OnHide = [&](TObject*) { log.push_back("hide"); };
    d.Form->OnResize = [&](TObject*) { log.push_back("resize"); };
    d.Form->AfterConstruction();
    d.Form->AfterConstruction();  // once only
    RunModal(d.Form, [&] {
        EXPECT_EQ(d.Form->GetActiveControl(), d.Name);
        EXPECT_TRUE(d.Name->Focused());
        log.push_back("--");
        d.Form->SetWidth(333);
        Key(Qt::Key_Escape);
    });
    // The window's creation sizes it before OnShow, as on Windows.
    EXPECT_EQ(log, (std::vector<std::string>{"create", "resize", "show", "activate", "--", "resize", "hide"}));
}

TEST_F(FormsTest, ScrollableFormShowsItsBarForControlsBelowTheClientArea) {
    TForm f(nullptr);
    f.SetBounds(0, 0, 200, 150);
    TEdit* low = new TEdit(&f);
    low->SetParent(&f);
    low->SetBounds(10, 400, 100, 22);
    ShowAndActivate(&f);
    ASSERT_TRUE(f.GetVertScrollBar()->IsScrollBarVisible());
    EXPECT_FALSE(f.GetHorzScrollBar()->IsScrollBarVisible());
    f.GetVertScrollBar()->SetPosition(200);
    EXPECT_EQ(f.GetVertScrollBar()->GetPosition(), 200);
    EXPECT_EQ(low->GetTop(), 200);
    // The position never passes the end of the content.
    f.GetVertScrollBar()->SetPosition(10000);
    EXPECT_EQ(low->GetTop() + low->GetHeight(), f.GetClientHeight());
    f.GetVertScrollBar()->SetPosition(0);
    EXPECT_EQ(low->GetTop(), 400);
    f.Hide();
}

// --- stored definitions -----------------------------------------------------------------------

class TDataModuleX : public TDataModule {
public:
    explicit TDataModuleX(TComponent* owner) : TDataModule(owner) {
        TFormLoader l(this);
        SetName("DMX");
        Source = l.Add<TComponent>("DSVys");
        l.Finish();
    }
    TComponent* Source;
};

class TLoadProbe : public TEdit {
public:
    using TEdit::TEdit;
    std::vector<std::string>* Log = nullptr;
    void Loaded() override {
        if (Log) Log->push_back(GetName() + (GetComponentState().Contains(csLoading) ? " loading" : " done"));
        TEdit::Loaded();
    }
};

class TMainX : public TForm {
public:
    TMainX(TComponent* owner, std::vector<std::string>* log) : TForm(owner) {
        TFormLoader l(this);
        SetName("FMainX");
        SetCaption("Hlavní");
        A = l.Add<TLoadProbe>("EditA", this);
        A->Log = log;
        B = l.Add<TLoadProbe>("EditB", this);
        B->Log = log;
        l.Reference(this, "EditB", [this](TComponent* c) { SetActiveControl(static_cast<TWinControl*>(c)); });
        l.Reference(A, "DMX.DSVys", [this](TComponent* c) { Link = c; });
        EXPECT_TRUE(A->GetComponentState().Contains(csLoading));
        l.Finish();
    }
    TLoadProbe *A, *B;
    TComponent* Link = nullptr;
};

TEST_F(FormsTest, StoredDefinitionLoadsInOrderAndFixesUpAcrossModules) {
    std::vector<std::string> log;
    TMainX* main = new TMainX(&Owner, &log);
    EXPECT_EQ(log, (std::vector<std::string>{"EditA loading", "EditB loading"}));
    EXPECT_FALSE(main->A->GetComponentState().Contains(csLoading));
    EXPECT_EQ(main->GetActiveControl(), main->B);
    // The data module comes later: the reference waits for it.
    EXPECT_EQ(main->Link, nullptr);
    EXPECT_EQ(PendingReferenceCount(), 1);
    TDataModuleX* dm = new TDataModuleX(&Owner);
    EXPECT_EQ(main->Link, dm->Source);
    EXPECT_EQ(PendingReferenceCount(), 0);
    EXPECT_EQ(FindGlobalComponent("fmainx"), main);
    delete main;
    delete dm;
}

TEST_F(FormsTest, WaitingReferenceGoesWithItsHolder) {
    std::vector<std::string> log;
    TMainX* main = new TMainX(&Owner, &log);
    EXPECT_EQ(PendingReferenceCount(), 1);
    delete main;
    EXPECT_EQ(PendingReferenceCount(), 0);
}

struct TProbeForm : TForm {
    static inline TProbeForm* Instance = nullptr;
    TCustomForm* SeenInCreate = nullptr;
    explicit TProbeForm(TComponent* owner) : TForm(owner) {
        OnCreate = [this](TObject*) { SeenInCreate = Instance; };
    }
};

TEST_F(FormsTest, CreateFormSetsTheInstanceBeforeOnCreate) {
    TProbeForm* f = Application->CreateForm<TProbeForm>(&TProbeForm::Instance);
    EXPECT_EQ(f->SeenInCreate, f);
    delete f;
}
TEST_F(FormsTest, DataModuleOnCreateAfterConstruction) {
    TDataModule* dm = new TDataModule(&Owner);
    bool created = false;
    dm->OnCreate = [&](TObject*) { created = true; };
    dm->AfterConstruction();
    EXPECT_TRUE(created);
    delete dm;
}


}  // namespace
