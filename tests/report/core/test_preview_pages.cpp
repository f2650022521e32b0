// The prepared-pages store: pages written as differences from source templates, rebuilt into
// objects, saved to and loaded from a prepared report, swapped out past the memory limit, and
// the engine's helpers (passes, cut and paste, anchors, page edits).
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "PreparedFixture.h"
#include "platform/classes/Streams.h"
#include "platform/gui/TestKit.h"
#include "platform/rtl/SysUtils.h"
#include "report/core/frxBands.h"
#include "report/core/frxOutline.h"
#include "report/core/frxReport.h"
#include "report/core/frxXML.h"

namespace {

// One design page (margins 10 mm) holding a box with a text in it.
class PreparedPages : public ::testing::Test {
protected:
    void SetUp() override {
        TestKit::EnsureApplication();
        RegisterPreparedTestClasses();
        report.ShowProgress = false;
        report.GetEngineOptions()->SilentMode = true;
        report.Engine()->FinalPass = true;
        design = new TPPage(&report);
        design->SetName("Page1");
        design->LeftMargin = design->TopMargin = design->RightMargin = design->BottomMargin = 10;
        box = new TPBox(design);
        box->SetName("Box1");
        box->SetBounds(0, 0, 700, 100);
        text = new TPText(box);
        text->SetName("Text1");
        text->SetBounds(10, 10, 200, 20);
        text->Caption = "vzor";
        pages = static_cast<TfrxPreviewPages*>(report.PreviewPages());
    }
    // count pages, each with the box written once; the text's caption and top vary by page.
    void Build(int count, const std::string& filler = "") {
        pages->AddSourcePage(AsPage(design));
        for (int i = 0; i < count; ++i) {
            pages->AddPage(AsPage(design));
            text->Caption = "Řádek " + std::to_string(i + 1) + filler;
            text->SetTop(10 + i);
            pages->AddObject(box);
            pages->Outline->LevelRoot();
            pages->Outline->AddItem("Strana " + std::to_string(i + 1), 5 * i);
        }
    }
    static std::string Caption(TfrxComponent* page) {
        auto* t = dynamic_cast<TPText*>(page->FindObject("Text1"));
        return t ? t->Caption : "<none>";
    }
    std::string Saved(TfrxPreviewPages* from) {
        TStringStream s("");
        from->SaveToStream(&s);
        return s.DataString();
    }
    static std::string Unmarked(std::string s) {
        for (size_t at; (at = s.find(" ld=\"0\"")) != std::string::npos;) s.erase(at, 7);
        return s;
    }
    TfrxReport report;
    TPPage* design;
    TPBox* box;
    TPText* text;
    TfrxPreviewPages* pages;
};

}  // namespace

TEST_F(PreparedPages, PagesAreDifferencesFromTheTemplates) {
    Build(3);
    ASSERT_EQ(pages->GetCount(), 3);
    TfrxXMLItem* page = pages->Document()->Root()->FindItem("previewpages")->Items(1);
    EXPECT_EQ(page->Name, "page0");
    ASSERT_EQ(page->Count(), 1);
    TfrxXMLItem* b = page->Items(0);
    EXPECT_EQ(b->Name, box->DictionaryName);
    EXPECT_EQ(b->Text, "");  // the box did not change
    ASSERT_EQ(b->Count(), 1);
    EXPECT_EQ(b->Items(0)->Name, text->DictionaryName);
    EXPECT_EQ(b->Items(0)->Prop("t"), "11");
    EXPECT_EQ(b->Items(0)->Prop("Caption"), "Řádek 2");
    EXPECT_EQ(pages->Dictionary()->GetSourceName(text->DictionaryName), "Page0.Text1");
    EXPECT_EQ(pages->Dictionary()->GetObject(text->DictionaryName), text->SourceObject);
    EXPECT_EQ(text->SourceObject->SourceObject, text);

    // Rebuilt into objects: template plus difference, with the design names.
    TfrxComponent* rebuilt = frxPageComponent(pages->GetPage(1));
    ASSERT_NE(rebuilt, nullptr);
    EXPECT_EQ(Caption(rebuilt), "Řádek 2");
    EXPECT_DOUBLE_EQ(rebuilt->FindObject("Text1")->GetTop(), 11);
    EXPECT_DOUBLE_EQ(rebuilt->FindObject("Text1")->GetWidth(), 200);
    EXPECT_EQ(pages->GetPage(1), AsPage(rebuilt));  // from the cache
    EXPECT_EQ(pages->GetPageSize(2).X, 794);
    EXPECT_EQ(pages->GetPageSize(-1).X, 0);
    EXPECT_EQ(pages->GetPageSize(3).Y, 0);

    // An invisible object is not written; the first pass writes only geometry.
    text->SetVisible(false);
    pages->AddObject(box);
    EXPECT_EQ(pages->GetCurPosition(), 2);
    EXPECT_EQ(pages->Document()->Root()->FindItem("previewpages")->Items(2)->Items(1)->Count(), 0);
    text->SetVisible(true);
    report.Engine()->FinalPass = false;
    text->SetTop(60);
    pages->AddObject(text);
    EXPECT_EQ(pages->Document()->Root()->FindItem("previewpages")->Items(2)->Items(2)->Prop("Caption"), "");
}

TEST_F(PreparedPages, SavedAndLoadedReportIsTheSame) {
    Build(4);
    pages->CurPageIndex = 2;
    pages->AddAnchor("Kotva");
    const std::string first = Saved(pages);
    EXPECT_EQ(first.rfind("<?xml version=\"1.0\" encoding=\"utf-8\"?><preparedreport><previewpages>", 0), 0u);
    EXPECT_NE(first.find("<page0 ld=\"0\">"), std::string::npos);  // pages beyond the second swappable
    EXPECT_NE(first.find("<TfrxReport DotMatrixReport=\"0\" PreviewOptions.OutlineVisible=\"0\" "
                         "PreviewOptions.OutlineWidth=\"120\"/>"),
        std::string::npos);

    for (bool partial : {false, true}) {
        TfrxReport other;
        other.ShowProgress = false;
        auto* loaded = static_cast<TfrxPreviewPages*>(other.PreviewPages());
        auto* stream = new TStringStream(first);
        std::unique_ptr<TStream> owned(partial ? nullptr : stream);
        loaded->LoadFromStream(stream, partial);
        ASSERT_EQ(loaded->GetCount(), 4) << partial;
        for (int i = 0; i < 4; ++i) {
            TfrxComponent* page = frxPageComponent(loaded->GetPage(i));
            EXPECT_EQ(Caption(page), "Řádek " + std::to_string(i + 1));
            EXPECT_DOUBLE_EQ(page->FindObject("Text1")->GetTop(), 10 + i);
        }
        EXPECT_EQ(loaded->GetAnchorPage("kotva"), 3);
        EXPECT_EQ(loaded->GetAnchorPage("jiná"), 1);
        loaded->Outline->LevelRoot();
        EXPECT_EQ(loaded->Outline->GetCount(), 4);
        // Pages read whole are no longer swappable and lose their marks; nothing else changes.
        EXPECT_EQ(Unmarked(Saved(loaded)), Unmarked(first)) << partial;
    }
}

TEST_F(PreparedPages, DictionaryNamesAreReadAsAttributes) {
    Build(2);
    std::string saved = Saved(pages);
    // A tool laid the dictionary out otherwise: another attribute before the name.
    const std::string was = "<" + text->DictionaryName + " name=";
    const size_t at = saved.find(was);
    ASSERT_NE(at, std::string::npos);
    saved.replace(at, was.size(), "<" + text->DictionaryName + " note=\"x\"  name=");
    TfrxReport other;
    other.ShowProgress = false;
    auto* loaded = static_cast<TfrxPreviewPages*>(other.PreviewPages());
    TStringStream in(saved);
    loaded->LoadFromStream(&in);
    EXPECT_EQ(Caption(frxPageComponent(loaded->GetPage(1))), "Řádek 2");
}

TEST_F(PreparedPages, MissingFileAndDamagedFile) {
    Build(1);
    EXPECT_FALSE(pages->LoadFromFile("/nonexistent/x.fp3"));
    EXPECT_EQ(pages->GetCount(), 1);  // nothing lost
    EXPECT_THROW(pages->LoadFromFile("/nonexistent/x.fp3", true), Exception);
    const std::string file = GetTempDir() + "/karomil-prepared-test.fp3";
    pages->SaveToFile(file);
    TfrxReport other;
    other.ShowProgress = false;
    EXPECT_TRUE(other.PreviewPages()->LoadFromFile(file));
    EXPECT_EQ(other.PreviewPages()->GetCount(), 1);
    const std::string text = Saved(pages);
    TStringStream cut(text.substr(0, text.size() / 2));
    EXPECT_THROW(other.PreviewPages()->LoadFromStream(&cut), Exception);
    DeleteFile(file);
}

TEST_F(PreparedPages, MemoryLimitSwapsPagesOutAndBack) {
    report.GetEngineOptions()->UseFileCache = true;
    report.GetEngineOptions()->MaxMemSize = 1;
    const std::string filler(20000, 'x');
    Build(120, filler);  // about 2.4 MB of page text
    TfrxXMLItem* list = pages->Document()->Root()->FindItem("previewpages");
    int swapped = 0;
    for (int i = 0; i < list->Count(); ++i) swapped += list->Items(i)->Loaded ? 0 : 1;
    EXPECT_GT(swapped, 40);
    EXPECT_TRUE(list->Items(0)->Loaded);  // the first two stay
    EXPECT_TRUE(list->Items(1)->Loaded);
    EXPECT_TRUE(list->Items(119)->Loaded);
    // The swap file is private and has no name on disk.
    const std::string swap = pages->Document()->TempFileName();
    ASSERT_FALSE(swap.empty());
    EXPECT_FALSE(FileExists(swap));
    EXPECT_EQ(Caption(frxPageComponent(pages->GetPage(5))), "Řádek 6" + filler);

    // A saved report reads swapped pages back; the limit is reckoned without overflow.
    TfrxReport other;
    other.ShowProgress = false;
    TStringStream in(Saved(pages));
    other.PreviewPages()->LoadFromStream(&in);
    EXPECT_EQ(Caption(frxPageComponent(other.PreviewPages()->GetPage(7))), "Řádek 8" + filler);
    report.GetEngineOptions()->MaxMemSize = 4096;
    EXPECT_NO_THROW(pages->AddPage(AsPage(design)));
}

TEST_F(PreparedPages, CacheKeepsFiftyPages) {
    Build(60);
    for (int i = 0; i < 60; ++i) pages->GetPage(i);
    EXPECT_EQ(pages->CacheCount(), TfrxPreviewPages::CacheSize);
    TfrxComponent* again = frxPageComponent(pages->GetPage(0));  // dropped earlier: rebuilt
    EXPECT_EQ(Caption(again), "Řádek 1");
    pages->Finish();
    EXPECT_EQ(pages->CacheCount(), 0);
}

TEST_F(PreparedPages, FirstPassPagesAndOutlineAreCleared) {
    pages->BeginPass();
    Build(2);
    pages->CurPageIndex = 1;
    pages->AddAnchor("Konec");
    pages->ClearFirstPassPages();
    EXPECT_EQ(pages->GetCount(), 0);
    EXPECT_EQ(pages->CurPageIndex, -1);
    EXPECT_EQ(pages->GetAnchorPage("Konec"), 2);  // ahead of the final pass
    EXPECT_EQ(pages->GetOutline()->Root()->Count(), 0);
    // The outline is at its root again: a new item goes there, not into a freed one.
    pages->Outline->AddItem("Znovu", 0);
    pages->Outline->LevelRoot();
    EXPECT_EQ(pages->Outline->GetCount(), 1);

    // A second report appended: only what came after the mark goes.
    pages->Clear();
    Build(1);
    pages->BeginPass();
    pages->AddObject(box);
    pages->AddPage(AsPage(design));
    pages->Outline->AddItem("Druhá", 0);
    pages->ClearFirstPassPages();
    EXPECT_EQ(pages->GetCount(), 1);
    EXPECT_EQ(pages->CurPageIndex, 0);
    EXPECT_EQ(pages->GetCurPosition(), 1);
    pages->Outline->LevelRoot();
    EXPECT_EQ(pages->Outline->GetCount(), 1);  // not duplicated
}

TEST_F(PreparedPages, CutAndPasteMoveObjectsTogether) {
    Build(1);
    for (double top : {30.0, 50.0}) {
        box->SetTop(top);
        pages->AddObject(box);
    }
    ASSERT_EQ(pages->GetCurPosition(), 3);
    pages->CutObjects(1);
    EXPECT_EQ(pages->GetCurPosition(), 1);
    pages->PasteObjects(0, 100);
    ASSERT_EQ(pages->GetCurPosition(), 3);
    TfrxXMLItem* page = pages->Document()->Root()->FindItem("previewpages")->Items(0);
    EXPECT_EQ(page->Items(1)->Prop("t"), "100");
    EXPECT_EQ(page->Items(2)->Prop("t"), "120");
    EXPECT_EQ(page->Items(2)->Prop("l"), "0");
    EXPECT_EQ(pages->Document()->Root()->Find("cutted"), -1);
}

TEST_F(PreparedPages, PageEditsAndSourceObjectsAddedLater) {
    Build(2);
    pages->DeletePage(0);
    EXPECT_EQ(pages->GetCount(), 1);
    pages->DeletePage(0);  // the last page stays
    EXPECT_EQ(pages->GetCount(), 1);
    pages->AddEmptyPage(0);
    ASSERT_EQ(pages->GetCount(), 2);
    EXPECT_EQ(frxPageComponent(pages->GetPage(0))->ChildCount(), 0);

    TfrxComponent* page = frxPageComponent(pages->GetPage(1));
    static_cast<TPText*>(page->FindObject("Text1"))->Caption = "opraveno";
    pages->ModifyPage(1, AsPage(page));
    EXPECT_EQ(pages->Document()->Root()->FindItem("previewpages")->Items(1)->Name, "TPPage");
    EXPECT_EQ(Caption(frxPageComponent(pages->GetPage(1))), "opraveno");

    // An object made during the run gets a template of its own on the last source page.
    auto* extra = new TPText(box);
    extra->SetName("Extra");
    pages->AddToSourcePage(extra);
    ASSERT_NE(extra->SourceObject, nullptr);
    EXPECT_EQ(extra->SourceObject->GetParent(), pages->SourcePage(0));
    EXPECT_EQ(pages->Dictionary()->GetObject(extra->DictionaryName), extra->SourceObject);
    delete extra;
}

TEST_F(PreparedPages, BandsOnTheCurrentPageAndTheirLowestEdge) {
    auto* data = new TfrxMasterData(design);
    data->SetName("MasterData1");
    data->SetBounds(0, 200, 700, 30);
    auto* footer = new TfrxPageFooter(design);
    footer->SetName("PageFooter1");
    footer->SetBounds(0, 900, 700, 40);
    auto* other = new TfrxPageFooter(design);
    other->SetName("PageFooter2");
    auto* title = new TfrxReportTitle(design);
    title->SetName("ReportTitle1");
    Build(1);
    EXPECT_TRUE(data->DictionaryName.rfind("b", 0) == 0);  // bands are "b" names
    EXPECT_FALSE(pages->BandExists(data));
    EXPECT_DOUBLE_EQ(pages->GetLastY(), 0);  // the box is no band
    pages->AddObject(footer);
    EXPECT_TRUE(pages->BandExists(other));  // any page footer counts
    EXPECT_FALSE(pages->BandExists(title));
    EXPECT_DOUBLE_EQ(pages->GetLastY(), 0);  // nor the page footer
    pages->AddObject(data);
    data->SetTop(230);
    data->SetHeight(45);
    pages->AddObject(data);
    EXPECT_TRUE(pages->BandExists(data));
    EXPECT_DOUBLE_EQ(pages->GetLastY(), 275);
}
