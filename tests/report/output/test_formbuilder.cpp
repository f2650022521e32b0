// Windows built from tables: every row's component made in order, owned by the window, on its
// parent, with what the row says; all of it inside the loading bracket, so that Loaded runs
// once everything exists.
#include <gtest/gtest.h>

#include <memory>

#include "platform/gui/ComCtrls.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Menus.h"
#include "platform/gui/StdCtrls.h"
#include "platform/gui/TestKit.h"
#include "report/output/frxFormBuilder.h"

namespace {

// Notes what the window looks like when its own Loaded runs.
class TProbe : public TButton {
public:
    using TButton::TButton;
    void Loaded() override {
        Seen = true;
        OwnerStillLoading = GetOwner()->GetComponentState().Contains(csLoading);
        OwnedAtLoaded = GetOwner()->GetComponentCount();
        TButton::Loaded();
    }
    bool Seen = false;
    bool OwnerStillLoading = true;
    int OwnedAtLoaded = 0;
};

class TTableForm : public TForm {
public:
    explicit TTableForm(TComponent* owner, bool finish = true) : TForm(owner), Loader(this) {
        SetClientWidth(300);
        SetClientHeight(200);
        using F = TTableForm;
        constexpr TfrxField<F> form;
        constexpr auto top = frxField<&F::Top>;
        const TfrxControlRow<F> rows[] = {
            {frxField<&F::Menu>, "Menu"},
            {top, "Top", form, {0, 0, 10, 40}, "", {}, alTop},
            {frxField<&F::NameL>, "NameL", top, {8, 6, 200, 13}, "Jméno"},
            {frxField<&F::NameE>, "NameE", top, {60, 4, 120, 21}, "Šárka"},
            {frxField<&F::Bar>, "Bar", form, {}, nullptr, {}, alBottom},
            {frxToolButton<&F::Print, 2>, "Print", frxField<&F::Bar>, {}, nullptr, [](F& f) { f.Log += "print;"; }},
            {frxToolButton<&F::Sep, -1, tbsSeparator>, "Sep", frxField<&F::Bar>},
            {frxField<&F::Ok>, "Ok", form, {120, 80, 75, 25}, "OK", &F::OkClick, {}, true, 0},
            {frxField<&F::Hidden>, "Hidden", form, {200, 80, 75, 25}, "Skrytý", {}, {}, false, 1},
            {frxField<&F::Probe>, "Probe", form, {8, 80, 75, 25}},
        };
        frxBuildRows(Loader, *this, rows);
        if (finish) Loader.Finish();
    }
    void OkClick(TObject* sender) {
        Log += "ok;";
        Sender = sender;
    }

    TFormLoader Loader;
    TPopupMenu* Menu = nullptr;
    TPanel* Top = nullptr;
    TLabel* NameL = nullptr;
    TEdit* NameE = nullptr;
    TToolBar* Bar = nullptr;
    TToolButton *Print = nullptr, *Sep = nullptr;
    TButton *Ok = nullptr, *Hidden = nullptr;
    TProbe* Probe = nullptr;
    std::string Log;
    TObject* Sender = nullptr;
};

TEST(FormBuilder, RowsAreMadeInOrderWithWhatTheySay) {
    TestKit::EnsureApplication();
    TTableForm f(nullptr);
    // Made in the order of the rows, owned by the window, each in its field.
    const char* const order[] = {"Menu", "Top", "NameL", "NameE", "Bar", "Print", "Sep", "Ok", "Hidden", "Probe"};
    ASSERT_EQ(f.GetComponentCount(), 10);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(f.GetComponent(i)->GetName(), order[i]) << i;
    EXPECT_EQ(f.FindComponent("NameE"), f.NameE);
    EXPECT_EQ(f.Menu->GetOwner(), &f);

    // Parents: a named one, else the window.
    EXPECT_EQ(f.NameL->GetParent(), f.Top);
    EXPECT_EQ(f.NameE->GetParent(), f.Top);
    EXPECT_EQ(f.Print->GetParent(), f.Bar);
    EXPECT_EQ(f.Ok->GetParent(), &f);

    // Place, alignment (an aligned control takes the width the alignment gives), texts.
    EXPECT_EQ(f.Top->GetAlign(), alTop);
    EXPECT_EQ(f.Top->GetHeight(), 40);
    EXPECT_EQ(f.Top->GetWidth(), f.GetClientWidth());
    EXPECT_EQ(f.Bar->GetAlign(), alBottom);
    EXPECT_EQ(f.Ok->GetBoundsRect(), Rect(120, 80, 195, 105));
    EXPECT_EQ(f.NameE->GetText(), "Šárka");
    EXPECT_EQ(f.Ok->GetCaption(), "OK");
    EXPECT_TRUE(f.Ok->GetVisible());
    EXPECT_FALSE(f.Hidden->GetVisible());
    // A row without a caption leaves the control's own.
    EXPECT_EQ(f.Probe->GetCaption(), TButton(nullptr).GetCaption());

    // Tab order as given, the rest after it in the order of the rows.
    EXPECT_EQ(f.Ok->GetTabOrder(), 0);
    EXPECT_EQ(f.Hidden->GetTabOrder(), 1);
    EXPECT_EQ(f.Top->GetTabOrder(), 2);
    EXPECT_EQ(f.Probe->GetTabOrder(), 4);

    // Tool buttons with their picture and style.
    EXPECT_EQ(f.Print->GetImageIndex(), 2);
    EXPECT_EQ(f.Print->GetStyle(), tbsButton);
    EXPECT_EQ(f.Sep->GetStyle(), tbsSeparator);

    // Clicks: a method gets the sender, a function the window.
    f.Ok->Click();
    f.Print->Click();
    EXPECT_EQ(f.Log, "ok;print;");
    EXPECT_EQ(f.Sender, f.Ok);
    EXPECT_FALSE(f.Hidden->OnClick);
}

TEST(FormBuilder, EverythingIsMadeInsideTheLoadingBracket) {
    TestKit::EnsureApplication();
    TTableForm f(nullptr, false);
    EXPECT_TRUE(f.GetComponentState().Contains(csLoading));
    for (int i = 0; i < f.GetComponentCount(); ++i)
        EXPECT_TRUE(f.GetComponent(i)->GetComponentState().Contains(csLoading)) << f.GetComponent(i)->GetName();
    // A label sizes itself to its text only once it is loaded.
    EXPECT_EQ(f.NameL->GetWidth(), 200);
    EXPECT_FALSE(f.Probe->Seen);

    f.Loader.Finish();
    // The window first, then each component, when all of them exist.
    EXPECT_TRUE(f.Probe->Seen);
    EXPECT_FALSE(f.Probe->OwnerStillLoading);
    EXPECT_EQ(f.Probe->OwnedAtLoaded, 10);
    for (int i = 0; i < f.GetComponentCount(); ++i)
        EXPECT_FALSE(f.GetComponent(i)->GetComponentState().Contains(csLoading)) << f.GetComponent(i)->GetName();
    EXPECT_LT(f.NameL->GetWidth(), 200);
    EXPECT_GT(f.NameL->GetWidth(), 0);
}

}  // namespace
