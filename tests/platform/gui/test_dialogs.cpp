// Message dialogs and common dialogs, answered through the dialog hook or by keys.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/gui/Dialogs.h"
#include "platform/rtl/SysUtils.h"
#include "tests/platform/gui/FormsTestUtil.h"

using namespace TestKit;

namespace {

struct THook {
    explicit THook(TDialogHook h) { SetDialogHook(std::move(h)); }
    ~THook() { SetDialogHook(nullptr); }
};

TEST(DialogsTest, FiltersInBothForms) {
    struct Case {
        const char* Filter;
        std::vector<std::pair<std::string, std::vector<std::string>>> Parsed;
    };
    const Case cases[] = {
        {"*.fr3", {{"*.fr3", {"*.fr3"}}}},
        {"Šablony (*.fr3)|*.fr3", {{"Šablony (*.fr3)", {"*.fr3"}}}},
        {"Obrázky|*.bmp;*.jpg|Vše|*.*", {{"Obrázky", {"*.bmp", "*.jpg"}}, {"Vše", {"*.*"}}}},
        {"", {}},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseFileFilter(c.Filter), c.Parsed) << c.Filter;
}

TEST(DialogsTest, MessageDlgAndInputQueryThroughTheHook) {
    EnsureApplication();
    std::vector<std::string> seen;
    THook hook([&](TDialogCall& call) {
        seen.push_back(call.Caption + ":" + call.Text);
        if (call.Kind == TDialogCall::dkMessage) call.Result = mrYes;
        if (call.Kind == TDialogCall::dkInput) {
            call.Accepted = call.Value != "zrušit";
            call.Value = "Nová";
        }
    });
    EXPECT_EQ(MessageDlg("Smazat?", mtConfirmation, {mbYes, mbNo}), mrYes);
    std::string v = "Stará";
    EXPECT_TRUE(InputQuery("Třída", "Název:", v));
    EXPECT_EQ(v, "Nová");
    v = "zrušit";
    EXPECT_FALSE(InputQuery("Třída", "Název:", v));
    EXPECT_EQ(v, "zrušit");  // cancelled: untouched
    EXPECT_EQ(InputBox("T", "P", "zrušit"), "zrušit");
    EXPECT_EQ(seen.front(), "Potvrzení:Smazat?");
}

TEST(DialogsTest, MessageDlgFormAnswersKeys) {
    EnsureApplication();
    struct Case {
        TMsgDlgButtons Buttons;
        int QtKey;
        int Result;
    };
    const Case cases[] = {
        {{mbYes, mbNo}, Qt::Key_Return, mrYes},
        {{mbYes, mbNo}, Qt::Key_Escape, mrNo},
        {{mbOK, mbCancel}, Qt::Key_Escape, mrCancel},
        {{mbOK}, Qt::Key_Escape, mrOk},
    };
    for (const Case& c : cases) {
        SetShowModalHook([&](TCustomForm*) { Key(c.QtKey); });
        EXPECT_EQ(MessageDlg("Otázka", mtConfirmation, c.Buttons), c.Result) << c.QtKey;
        SetShowModalHook(nullptr);
    }
}

TEST(DialogsTest, InputQueryFormEditsTheValue) {
    EnsureApplication();
    SetShowModalHook([](TCustomForm*) {
        Key(Qt::Key_End);
        Key(Qt::Key_A, Qt::NoModifier, "á");
        Key(Qt::Key_Return);
    });
    std::string v = "Jan";
    EXPECT_TRUE(InputQuery("Jméno", "Zadejte jméno:", v));
    EXPECT_EQ(v, "Janá");
    SetShowModalHook([](TCustomForm*) { Key(Qt::Key_Escape); });
    EXPECT_FALSE(InputQuery("Jméno", "Zadejte jméno:", v));
    EXPECT_EQ(v, "Janá");
    SetShowModalHook(nullptr);
}

TEST(DialogsTest, MessageBoxAnswersThroughTheModalAnswerer) {
    TModalAnswerer answer(IDOK);
    EXPECT_EQ(MessageBox(nullptr, "Databáze nenalezena", "Chyba", MB_OK | MB_ICONERROR), IDOK);
    EXPECT_EQ(answer.Texts(), (std::vector<std::string>{"Databáze nenalezena"}));
}

TEST(DialogsTest, OpenDialogKeepsOrChangesTheCurrentFolder) {
    EnsureApplication();
    const std::string start = GetCurrentDir();
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "karomil_dialogs";
    std::filesystem::create_directories(dir);
    THook hook([&](TDialogCall& call) {
        call.Accepted = true;
        call.Value = (dir / "vysvedceni").string();
    });
    TOpenDialog d(nullptr);
    d.SetFilter("*.fr3");
    d.SetFileName("*.fr3");
    d.SetDefaultExt("fr3");
    d.SetOptions({ofHideReadOnly, ofNoChangeDir});
    ASSERT_TRUE(d.Execute());
    EXPECT_EQ(d.GetFileName(), (dir / "vysvedceni.fr3").string());
    EXPECT_EQ(GetCurrentDir(), start);
    d.SetOptions({ofHideReadOnly});
    ASSERT_TRUE(d.Execute());
    EXPECT_EQ(std::filesystem::path(GetCurrentDir()), std::filesystem::canonical(dir));
    SetCurrentDir(start);
}

TEST(DialogsTest, FontColourAndPrintDialogs) {
    EnsureApplication();
    THook hook([](TDialogCall& call) {
        call.Accepted = true;
        if (call.Kind == TDialogCall::dkFont) call.Font->SetName("Arial");
        if (call.Kind == TDialogCall::dkColor) call.Color = clRed;
    });
    TFontDialog f(nullptr);
    EXPECT_TRUE(f.Execute());
    EXPECT_EQ(f.GetFont()->GetName(), "Arial");
    TColorDialog c(nullptr);
    EXPECT_TRUE(c.Execute());
    EXPECT_EQ(c.GetColor(), clRed);
    TPrintDialog p(nullptr);
    EXPECT_TRUE(p.Execute());
    SetDialogHook(nullptr);
    // Without a printer layer nothing pretends to print.
    EXPECT_THROW(p.Execute(), EInvalidOperation);
}

TEST(DialogsTest, GraphicFilterAndExtensionFollowTheGraphicClass) {
    struct Case {
        TGraphicClass Class;
        std::string Filter;
        std::string Extension;
    };
    const Case cases[] = {
        {TBitmap::StaticClass(), "Bitmapy (*.bmp)|*.bmp", "bmp"},
        {TIcon::StaticClass(), "Ikony (*.ico)|*.ico", "ico"},
        {TJPEGImage::StaticClass(),
            "Vše (*.jpg;*.jpeg)|*.jpg;*.jpeg|Obrázky JPEG (*.jpg)|*.jpg|Obrázky JPEG (*.jpeg)|*.jpeg", "jpg"},
        {TMetafile::StaticClass(),
            "Vše (*.emf;*.wmf)|*.emf;*.wmf|Rozšířené metasoubory (*.emf)|*.emf|Metasoubory (*.wmf)|*.wmf", "emf"},
        {nullptr, "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(GraphicFilter(c.Class), c.Filter) << c.Extension;
        EXPECT_EQ(GraphicExtension(c.Class), c.Extension);
    }
    // Every graphic class: one entry for all, then one per format, each of which TPicture loads.
    const auto all = ParseFileFilter(GraphicFilter(TGraphic::StaticClass()));
    ASSERT_EQ(all.size(), 7u);
    EXPECT_EQ(all[0].second, (std::vector<std::string>{"*.bmp", "*.jpg", "*.jpeg", "*.ico", "*.emf", "*.wmf"}));
}

TEST(DialogsTest, PictureDialogsRunThroughTheHook) {
    EnsureApplication();
    const std::string start = GetCurrentDir();
    const std::filesystem::path dir = std::filesystem::temp_directory_path();
    std::vector<TDialogCall> calls;
    THook hook([&](TDialogCall& call) {
        calls.push_back(call);
        call.Accepted = true;
        call.Value = (dir / "razítko").string();
    });
    TComponent owner(nullptr);
    auto* open = new TOpenPictureDialog(&owner);
    open->SetOptions({ofNoChangeDir});
    ASSERT_TRUE(open->Execute());
    EXPECT_EQ(open->GetFileName(), (dir / "razítko").string());
    auto* save = new TSavePictureDialog(&owner);
    save->SetOptions({ofNoChangeDir});
    save->SetFilter(GraphicFilter(TBitmap::StaticClass()));
    save->SetDefaultExt(GraphicExtension(TBitmap::StaticClass()));
    ASSERT_TRUE(save->Execute());
    EXPECT_EQ(save->GetFileName(), (dir / "razítko.bmp").string());
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].Kind, TDialogCall::dkOpen);
    EXPECT_EQ(calls[0].Filter, GraphicFilter(TGraphic::StaticClass()));  // the dialog's own list
    EXPECT_EQ(calls[1].Kind, TDialogCall::dkSave);
    EXPECT_EQ(calls[1].Filter, "Bitmapy (*.bmp)|*.bmp");
    EXPECT_EQ(GetCurrentDir(), start);
}

}  // namespace
