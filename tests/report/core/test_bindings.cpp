// The report classes as scripts see them: a page event that hides an object by a field's value,
// members, constants and enumerations read from scripts, the date functions, calls refused
// while the report runs, and the binding's registrations removed again at its stop.

#include <gtest/gtest.h>

#include "platform/classes/StringList.h"
#include "platform/db/Fields.h"
#include "platform/db/MemDataSet.h"
#include "platform/gui/TestKit.h"
#include "platform/rtl/ScopeGuard.h"
#include "report/core/frxBands.h"
#include "report/core/frxDataSet.h"
#include "report/core/frxOptions.h"
#include "report/core/frxMemoView.h"
#include "report/core/frxObjects.h"
#include "report/core/frxPage.h"
#include "report/core/frxPlugins.h"
#include "report/core/frxReport.h"
#include "report/core/frxReportBindings.h"
#include "report/core/frxVariables.h"
#include "script/Interpreter.h"

namespace {
// A report card in miniature: page "Page1" holding "Predmet1", and the dataset "frxDBDSVys"
// whose one row says whether the subject is printed.
class BindingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        static bool scripting = (script::Startup(), true);
        (void)scripting;
        Report.GetEngineOptions()->SilentMode = true;
        Page = new TfrxPage(&Report);
        Page->SetName("Page1");
        Page->SetParent(&Report);
        Subject = new TfrxMasterData(&Report);
        Subject->SetName("Predmet1");
        Subject->SetParent(Page);
        Subject->SetTop(40);
        Mem.FieldDefs()->Add("Predmet1Tisk", ftBoolean);
        Mem.FieldDefs()->Add("Nazev", ftString, 20);
        Mem.Open();
        Mem.AppendRecord({Variant(false), Variant("Matematika")});
        auto* ds = new TfrxDBDataset(&Report);
        ds->SetDataSet(&Mem);
        ds->SetUserName("frxDBDSVys");
        ds->SetName("frxDBDSVys");
        Report.DataSets()->Add(ds);
        ds->ReportRef = &Report;
    }

    void Prepare(const std::string& script) {
        Report.GetScriptText()->SetText(script);
        ASSERT_TRUE(Report.PrepareScript()) << (Report.ErrorList->Count() ? Report.ErrorList->Strings(0) : "");
    }
    // Calls the event procedure as the running engine would.
    void RunEvent(TObject* sender, const std::string& proc) {
        Report.Engine()->Running = true;
        auto stop = OnScopeExit([this] { Report.Engine()->Running = false; });
        Report.DoNotifyEvent(sender, proc);
    }

    TMemDataSet Mem{nullptr};  // outlives the report, whose dataset reads it
    TfrxReport Report;
    TfrxPage* Page = nullptr;
    TfrxMasterData* Subject = nullptr;
};
}  // namespace

TEST_F(BindingsTest, PageEventHidesAnObjectByAFieldValue) {
    Prepare(
        "procedure Page1OnBeforePrint(Sender: TfrxComponent);\n"
        "begin\n"
        "  Predmet1.Visible := <frxDBDSVys.\"Predmet1Tisk\">;\n"
        "end;\n"
        "begin end.");
    ASSERT_TRUE(Subject->GetVisible());
    RunEvent(Page, "Page1OnBeforePrint");
    EXPECT_FALSE(Subject->GetVisible());
    EXPECT_EQ(Report.ErrorList->Count(), 0);
}

TEST_F(BindingsTest, ScriptsReadMembersConstantsAndFunctions) {
    Prepare("begin end.");
    struct Case {
        const char* Expr;
        Variant Expected;
    };
    const Case cases[] = {
        {"Report.Calc('1+1')", Variant(int32_t(2))},
        {"Report.GetDataset('frxDBDSVys') = frxDBDSVys", Variant(true)},
        {"Report.GetDataset('Nic')", Variant(int32_t(0))},
        {"Predmet1.Parent = Page1", Variant(true)},
        {"Page1.FindObject('PREDMET1') = Predmet1", Variant(true)},
        {"Page1.Objects.Count", Variant(int32_t(1))},
        {"Predmet1.AbsTop", Variant(40.0)},
        {"Predmet1.Page = Page1", Variant(true)},
        {"frxDBDSVys.RecordCount", Variant(int32_t(1))},
        {"frxDBDSVys.HasField('nazev')", Variant(true)},
        {"frxDBDSVys.Value['Nazev']", Variant("Matematika")},
        {"frxDBDSVys.FieldType['Predmet1Tisk'] = fftBoolean", Variant(true)},
        {"DayOf(EncodeDate(2026, 12, 11))", Variant(int32_t(11))},
        {"MonthOf(EncodeDate(2026, 12, 11))", Variant(int32_t(12))},
        {"YearOf(EncodeDate(2026, 12, 11))", Variant(int32_t(2026))},
        {"crHand + crZoom + crFormat", Variant(int32_t(153))},
        {"clTransparent", Variant(int32_t(0x1FFFFFFF))},
        {"fr1cm", Variant(37.7953)},
        {"haCenter", Variant(int32_t(2))},
        {"vaCenter", Variant(int32_t(2))},
        {"ftTop", Variant(int32_t(4))},
        {"rfDontDelete", Variant(int32_t(8))},
        // The report's own values: skDiamond sits at 4, pbOutline at bit 64 (pbTree its alias).
        {"skDiagonal1", Variant(int32_t(5))},
        {"pbTree", Variant(int32_t(64))},
        {"pbNavigator", Variant(int32_t(1024))},
        {"IIF(1 > 0, 'ano', 'ne')", Variant("ano")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Expr);
        EXPECT_EQ(VarToStr(Report.Calc(c.Expr)), VarToStr(c.Expected));
    }
    EXPECT_EQ(Report.ErrorList->Count(), 0);
}

TEST_F(BindingsTest, ScriptsWriteThroughTheBindings) {
    Prepare(
        "procedure Go(Sender: TfrxComponent);\n"
        "begin\n"
        "  Predmet1.SetBounds(1, 2, 300, 20);\n"
        "  Predmet1.Name := 'Predmet2';\n"
        "  Engine.StopReport;\n"
        "end;\n"
        "begin end.");
    RunEvent(Page, "Go");
    EXPECT_DOUBLE_EQ(Subject->GetWidth(), 300);
    EXPECT_DOUBLE_EQ(Subject->GetTop(), 2);
    EXPECT_EQ(Subject->GetName(), "Predmet2");
    EXPECT_TRUE(Report.Terminated);
}

// A memo's text, lines, value and measures, a picture's loading and the engine's anchors, as a
// page event uses them.
TEST_F(BindingsTest, MemoPictureAndAnchorMembers) {
    TestKit::EnsureApplication();  // the memo measures with the text services
    auto* memo = new TfrxMemoView(Subject);
    memo->SetName("Poznamka");
    memo->SetBounds(0, 0, 100, 20);
    memo->SetText("Ahoj");
    memo->DataValue = Variant(int32_t(5));
    auto* picture = new TfrxPictureView(Subject);
    picture->SetName("Obrazek");
    Prepare(
        "procedure Go(Sender: TfrxComponent);\n"
        "begin\n"
        "  Poznamka.Text := Poznamka.Text + ' světe';\n"
        "  Poznamka.Lines.Add('druhý řádek');\n"
        "  Engine.AddAnchor('kotva');\n"
        "  Obrazek.LoadFromFile('/neni/obrazek.png');\n"
        "end;\n"
        "begin end.");
    Report.PreviewPages()->CurPageIndex = 2;
    try {
        RunEvent(Page, "Go");
        ADD_FAILURE() << "a missing picture file loaded";
    } catch (const Exception&) {
        // the picture's load reports the missing file; what ran before it stays done
    }
    EXPECT_EQ(memo->GetText(), "Ahoj světe\r\ndruhý řádek");
    const std::pair<const char*, const char*> cases[] = {
        {"Poznamka.Lines.Count", "2"},
        {"Poznamka.Value + 1", "6"},
        {"Poznamka.CalcHeight > 30", "True"},
        {"Poznamka.CalcWidth > 20", "True"},
        {"Engine.GetAnchorPage('kotva')", "3"},  // the page it was set on, from 1
        {"Engine.GetAnchorPage('nic')", "1"},
    };
    for (const auto& [expr, expected] : cases) EXPECT_EQ(VarToStr(Report.Calc(expr)), expected) << expr;
    EXPECT_EQ(Report.ErrorList->Count(), 0) << Report.ErrorList->Text();
}

TEST_F(BindingsTest, CallsThatFreeOrMoveObjectsAreRefusedWhileRunning) {
    Prepare(
        "procedure DoClear(Sender: TfrxComponent); begin Page1.Clear; end;\n"
        "procedure DoParent(Sender: TfrxComponent); begin Predmet1.Parent := nil; end;\n"
        "procedure DoLoad(Sender: TfrxComponent); begin Report.LoadFromFile('neni.fr3'); end;\n"
        "procedure DoShow(Sender: TfrxComponent); begin Report.ShowReport; end;\n"
        "begin end.");
    for (const char* proc : {"DoClear", "DoParent", "DoLoad", "DoShow"}) {
        SCOPED_TRACE(proc);
        try {
            RunEvent(Page, proc);
            ADD_FAILURE() << "not refused";
        } catch (const Exception& e) {
            EXPECT_NE(std::string(e.what()).find("Během běhu sestavy nelze volat"), std::string::npos) << e.what();
        }
        EXPECT_EQ(Subject->GetParent(), Page);
        EXPECT_EQ(Page->ChildCount(), 1);
    }
}

TEST_F(BindingsTest, StopRemovesExactlyTheBindingsRegistrations) {
    TfsScript* g = fsGlobalUnit();
    const int before = g->Count();
    ASSERT_NE(g->Find("crHand"), nullptr);
    frxStopReportRTTI();
    EXPECT_EQ(g->Find("crHand"), nullptr);
    EXPECT_EQ(g->FindClass("TfrxReport"), nullptr);
    EXPECT_EQ(g->Find("DayOf"), nullptr);
    EXPECT_NE(g->FindClass("TComponent"), nullptr);  // the class library's stay
    frxStartReportRTTI();
    EXPECT_EQ(g->Count(), before);
    EXPECT_EQ(g->AddedBy, nullptr);
    EXPECT_NE(g->FindClass("TfrxMasterData"), nullptr);
}
