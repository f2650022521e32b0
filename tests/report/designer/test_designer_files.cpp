// The designer's file commands: new, open, save, save as, recent files, and the shipped
// templates saved back through the designer.

#include <QtCore/QDir>
#include <QtGui/QImage>

#include <map>

#include "DesignerFixture.h"
#include "platform/classes/StringList.h"
#include "platform/gui/ActnList.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/Menus.h"
#include "platform/rtl/Exceptions.h"
#include "report/core/frxBands.h"
#include "report/core/frxDataSet.h"
#include "report/core/frxMemoView.h"
#include "report/core/frxPlugins.h"
#include "report/designer/frxDesignerTools.h"
#include "report/designer/frxUndoBuffer.h"

namespace {

// A text object that cannot be written while Fail is set: a save that fails half-way.
class TFailingMemo : public TfrxMemoView {
    KAROMIL_CLASS(TFailingMemo, TfrxMemoView)
    KAROMIL_PUBLISHED({ KAROMIL_PROP(Trouble); })
public:
    explicit TFailingMemo(TComponent* owner) : TfrxMemoView(owner) {}
    bool Fail = false;
    std::string GetTrouble() const {
        if (Fail) throw EWriteError("Disk full");
        return "";
    }
    void SetTrouble(const std::string&) {}
};

}  // namespace

KAROMIL_IMPLEMENT_PUBLISHED_CLASS(TFailingMemo, TfrxMemoView)

namespace {

// The recent-file items of the File menu, top to bottom.
std::vector<std::string> RecentMenu(TfrxDesignerForm* f) {
    std::vector<std::string> items;
    TMenuItem* file = f->FileMenu;
    for (int i = file->IndexOf(f->SepMI11) + 1; i < file->IndexOf(f->SepMI4); ++i)
        items.push_back(file->Items(i)->GetCaption());
    return items;
}

TEST_F(DesignerTest, NewReportIsTheStandardOne) {
    Open();
    Form->NewReport();
    EXPECT_EQ(Form->GetCaption(), "VuzoVaruza - Untitled.fr3");
    ASSERT_EQ(Report.GetPageCount(), 1);
    auto* page = dynamic_cast<TfrxReportPage*>(Report.GetPageAt(0));
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->GetName(), "Page1");
    const double g = Form->Workspace->BandHeader, h = 22.67718;  // centimetres
    struct Band {
        const char* Name;
        double Top;
    };
    for (const Band& b :
        {Band{"ReportTitle1", g}, Band{"MasterData1", 2 * g + 2 * h}, Band{"PageFooter1", 3 * g + 4 * h}}) {
        auto* band = dynamic_cast<TfrxBand*>(Report.FindObject(b.Name));
        ASSERT_NE(band, nullptr) << b.Name;
        EXPECT_NEAR(band->GetTop(), b.Top, 1e-9) << b.Name;
        EXPECT_NEAR(band->GetHeight(), h, 1e-9) << b.Name;
    }
    auto* memo = dynamic_cast<TfrxMemoView*>(Report.FindObject("Memo1"));
    ASSERT_NE(memo, nullptr);
    EXPECT_EQ(memo->GetParent(), Report.FindObject("PageFooter1"));
    EXPECT_NEAR(memo->GetLeft(), (page->GetPaperWidth() - page->LeftMargin - page->RightMargin - 20) * 3.77953, 1e-6);
    EXPECT_NEAR(memo->GetWidth(), 75.5906, 1e-9);
    EXPECT_EQ(memo->HAlign, haRight);
    EXPECT_EQ(memo->GetText(), "[Page#]");
    EXPECT_FALSE(Form->Modified);
    EXPECT_EQ(Form->UndoBuffer()->UndoCount(), 2);  // the opening snapshot and the new report's
}

TEST_F(DesignerTest, NewReportCancelledLeavesTheReport) {
    AddPage("Mine");
    Open();
    Form->SetModified(true);
    Answers = {IDCANCEL};
    Form->NewReport();
    EXPECT_EQ(Report.GetPageAt(0)->GetName(), "Mine");
    EXPECT_TRUE(Form->Modified);
}

// Saving under a name with another extension writes the ".fr3" name, and asks first when that
// file exists already.
TEST_F(DesignerTest, SaveAsForcesTheExtension) {
    TempFolder folder;
    Open();
    FileAnswers = {folder.File("vysvedceni.txt")};
    EXPECT_TRUE(Form->SaveFile(true, true));
    EXPECT_TRUE(std::filesystem::exists(folder.File("vysvedceni.fr3")));
    EXPECT_FALSE(std::filesystem::exists(folder.File("vysvedceni.txt")));
    EXPECT_EQ(Report.FileName, folder.File("vysvedceni.fr3"));
    EXPECT_EQ(RecentMenu(Form.get()), std::vector<std::string>{folder.File("vysvedceni.fr3")});
    EXPECT_EQ(Form->GetCaption(), "VuzoVaruza - vysvedceni.fr3");
    EXPECT_EQ(Dialogs.at(0).Filter, "Report (*.fr3)|*.fr3|Komprimovaný report (*.fr3)|*.fr3");

    // Sound: choosing "jiny.txt" when "jiny.fr3" exists asks before overwriting it.
    const std::string other = folder.File("jiny.fr3");
    std::ofstream(other) << "puvodni";
    FileAnswers = {folder.File("jiny.txt")};
    Answers = {IDNO};
    Boxes.clear();
    EXPECT_FALSE(Form->SaveFile(true, true));
    EXPECT_EQ(ReadWhole(other), "puvodni");
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_NE(Boxes[0].find("již existuje"), std::string::npos);
    EXPECT_EQ(Report.FileName, folder.File("vysvedceni.fr3"));
}

TEST_F(DesignerTest, AReportWithoutANameSavesThroughTheDialog) {
    Open();
    Form->SetModified(true);
    Form->SaveCmd->Execute();  // cancelled dialog
    ASSERT_EQ(Dialogs.size(), 1u);
    EXPECT_EQ(Dialogs[0].Kind, TDialogCall::dkSave);
    EXPECT_TRUE(Form->Modified);
    EXPECT_TRUE(Form->SaveCmd->GetEnabled());
}

// Sound: a failed write keeps the old template, the report's name and Modified, and says so.
TEST_F(DesignerTest, AFailedSaveKeepsTheOldFile) {
    TempFolder folder;
    const std::string file = folder.File("vysvedceni.fr3");
    TfrxReportPage* page = AddPage("Page1");
    auto* memo = new TFailingMemo(page);
    memo->SetName("Memo1");
    Open();
    FileAnswers = {file};
    ASSERT_TRUE(Form->SaveFile(true, true));
    const std::string before = ReadWhole(file);

    memo->SetText("nový text");
    Form->SetModified(true);
    memo->Fail = true;
    Boxes.clear();
    Form->SaveCmd->Execute();
    EXPECT_EQ(ReadWhole(file), before);
    EXPECT_EQ(folder.Count(), 1);  // no temporary file left
    EXPECT_TRUE(Form->Modified);
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_NE(Boxes[0].find("Chyba: Formulář se nepodařilo uložit do souboru „" + file), std::string::npos) << Boxes[0];
    EXPECT_NE(Boxes[0].find("Původní soubor zůstal beze změny."), std::string::npos);

    // Under a new name the report keeps its old one when the write fails.
    FileAnswers = {folder.File("novy.fr3")};
    EXPECT_FALSE(Form->SaveFile(true, true));
    EXPECT_EQ(Report.FileName, file);
    EXPECT_FALSE(std::filesystem::exists(folder.File("novy.fr3")));
}

TEST_F(DesignerTest, TheHostsSaveEventRefusing) {
    TfrxDesigner host(nullptr);
    int calls = 0;
    host.OnSaveReport = [&](TfrxReport*, bool saveAs) {
        ++calls;
        EXPECT_FALSE(saveAs);
        return false;
    };
    Open();
    Form->SetModified(true);
    const std::string caption = Form->GetCaption();
    Form->SaveCmd->Execute();
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(Dialogs.empty());
    EXPECT_EQ(Form->GetCaption(), caption);
    EXPECT_TRUE(Form->Modified);
}

TEST_F(DesignerTest, RecentFiles) {
    TempFolder folder;
    Open();
    std::vector<std::string> files;
    for (int i = 1; i <= 9; ++i) {
        files.push_back(folder.File("r" + std::to_string(i) + ".fr3"));
        Form->UpdateRecentFiles(files.back());
    }
    // The ninth drops the oldest; the menu lists them newest first, and no item is left over.
    EXPECT_EQ(Form->RecentFiles()->Count(), 8);
    std::vector<std::string> expected(files.rbegin(), files.rend() - 1);
    EXPECT_EQ(RecentMenu(Form.get()), expected);
    Form->UpdateRecentFiles(files[3]);
    EXPECT_EQ(RecentMenu(Form.get()).front(), files[3]);
    EXPECT_EQ(Form->RecentFiles()->Count(), 8);
    // Names that differ in case are two files.
    Form->UpdateRecentFiles(folder.File("R9.fr3"));
    EXPECT_EQ(RecentMenu(Form.get())[0], folder.File("R9.fr3"));
    EXPECT_EQ(RecentMenu(Form.get())[2], files[8]);
    EXPECT_TRUE(Form->SepMI11->GetVisible());
}

// Sound: a recent file that cannot be read is said, as through the open dialog.
TEST_F(DesignerTest, RecentFileThatCannotBeRead) {
    TempFolder folder;
    const std::string broken = folder.File("rozbity.fr3"), missing = folder.File("chybi.fr3");
    std::ofstream(broken) << "<TfrxReport><nesmysl";
    Open();
    for (const std::string& name : {missing, broken}) {
        SCOPED_TRACE(name);
        Boxes.clear();
        Form->LoadFile(name, true);
        ASSERT_EQ(Boxes.size(), 1u);
        EXPECT_EQ(Boxes[0], "Chyba: Nelze načíst soubor " + name);
        ASSERT_EQ(Report.GetPageCount(), 1);
        EXPECT_EQ(Report.GetPageAt(0)->GetName(), "Page1");
        EXPECT_EQ(Form->Page, Report.GetPageAt(0));
        EXPECT_FALSE(Form->Modified);
    }
}

// Every memo of the prepared pages: page number, name, text and place.
std::vector<std::string> PreparedMemos(TfrxReport& report) {
    // The card and the school, one row each: the print flags are on, every other field reads
    // its own name.
    TfrxUserDataSet card(nullptr), school(nullptr);
    report.DataSets()->Clear();
    for (auto [data, name] : {std::pair{&card, "frxDBDSVys"}, {&school, "frxDBDSPrefs"}}) {
        data->SetName(name);
        data->SetUserName(name);
        data->RangeEnd = reCount;
        data->RangeEndCount = 1;
        data->OnGetValue = [](const std::string& field, Variant& value) {
            value = field.ends_with("Tisk") ? Variant(true) : Variant(field);
        };
        report.DataSets()->Add(data);
    }
    // The half-year question is a dialog page: unanswered it would wait for a user, so it is
    // left out and its controls keep their stored choice.
    for (int i = 0; i < report.GetPageCount(); ++i)
        if (report.GetPageAt(i)->IsDialogPage()) report.GetPageAt(i)->SetVisible(false);
    std::vector<std::string> memos;
    if (!report.PrepareReport()) memos.push_back("failed: " + report.ErrorList->Text());
    TfrxCustomPreviewPages* pages = report.PreviewPages();
    for (int p = 0; p < pages->GetCount(); ++p) {
        TList* all = pages->GetPage(p)->GetAllObjects();
        for (int i = 0; i < all->Count(); ++i)
            if (auto* m = dynamic_cast<TfrxCustomMemoView*>(static_cast<TfrxComponent*>(all->Items(i))))
                memos.push_back(std::to_string(p) + " " + m->GetName() + " " + m->GetText() + " " +
                    std::to_string(m->GetLeft()) + "," + std::to_string(m->GetTop()));
    }
    report.DataSets()->Clear();
    return memos;
}

// Each shipped template, opened in the designer and saved back unchanged, prepares the same
// pages as the original.
TEST_F(DesignerTest, ShippedTemplatesSaveBackUnchanged) {
    TempFolder folder;
    Open();
    for (const char* name : {"vysvedceni-predni.fr3", "vysvedceni-zadni.fr3", "opis-predni.fr3", "opis-zadni.fr3"}) {
        SCOPED_TRACE(name);
        const std::string original = std::string(KAROMIL_TEMPLATE_DIR) + "/" + name;
        const std::string copy = folder.File(name);
        Form->LoadFile(original, true);
        ASSERT_EQ(Report.FileName, original);
        EXPECT_FALSE(Form->Modified);
        FileAnswers = {copy};
        ASSERT_TRUE(Form->SaveFile(true, true));

        TfrxReport a, b;
        ASSERT_TRUE(a.LoadFromFile(original));
        ASSERT_TRUE(b.LoadFromFile(copy));
        const std::vector<std::string> before = PreparedMemos(a), after = PreparedMemos(b);
        EXPECT_GT(before.size(), 20u) << before.front();
        EXPECT_EQ(before, after);
    }
}

// Pictures for looking at by eye; written only when KAROMIL_SHOT_DIR names a folder.
TEST_F(DesignerTest, Screenshots) {
    Open();
    Form->LoadFile(std::string(KAROMIL_TEMPLATE_DIR) + "/vysvedceni-predni.fr3", true);
    TestKit::ShowAndActivate(Form.get());
    TestKit::ProcessEvents();
    const QImage page = TestKit::Grab(Form.get());
    Form->ReloadPages(-1);
    TestKit::ProcessEvents();
    const QImage code = TestKit::Grab(Form.get());
    EXPECT_EQ(page.width(), Form->GetWidth());
    const QByteArray dir = qgetenv("KAROMIL_SHOT_DIR");
    if (dir.isEmpty()) return;
    QDir().mkpath(QString::fromUtf8(dir));
    page.save(QString::fromUtf8(dir) + "/designer-front.png");
    code.save(QString::fromUtf8(dir) + "/designer-code.png");
}

}  // namespace
