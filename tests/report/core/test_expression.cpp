// Expressions of a report: how names are answered and in which order, the expression cache
// (naming, case, a failed compile that must not spoil later ones), variables that refer to
// themselves, the functions PrepareScript adds, and script calls of object events.

#include <gtest/gtest.h>

#include "platform/classes/StringList.h"
#include "platform/db/Fields.h"
#include "platform/db/MemDataSet.h"
#include "report/core/frxDataSet.h"
#include "report/core/frxExpression.h"
#include "report/core/frxOptions.h"
#include "report/core/frxReport.h"
#include "report/core/frxVariables.h"
#include "script/Interpreter.h"

namespace {
class ExpressionTest : public ::testing::Test {
protected:
    void SetUp() override {
        static bool scripting = (script::Startup(), true);
        (void)scripting;
        Report.GetEngineOptions()->SilentMode = true;
    }
    bool Prepare(const std::string& script = "begin end.") {
        Report.GetScriptText()->SetText(script);
        return Report.PrepareScript();
    }
    bool HasError(const std::string& part) const {
        for (int i = 0; i < Report.ErrorList->Count(); ++i)
            if (Report.ErrorList->Strings(i).find(part) != std::string::npos) return true;
        return false;
    }
    TfrxReport Report;
};

// A report dataset "Zaci" over one row whose fields are all Null.
struct NullRow {
    explicit NullRow(TfrxReport& report) {
        Mem.FieldDefs()->Add("Jmeno", ftString, 20);
        Mem.FieldDefs()->Add("Body", ftInteger);
        Mem.FieldDefs()->Add("Vyznam", ftBoolean);
        Mem.Open();
        Mem.AppendRecord({Variant::Null(), Variant::Null(), Variant::Null()});
        Ds.SetDataSet(&Mem);
        Ds.SetUserName("Zaci");
        report.DataSets()->Add(&Ds);
        Ds.ReportRef = &report;
    }
    TMemDataSet Mem{nullptr};
    TfrxDBDataset Ds{nullptr};
};
}  // namespace

TEST_F(ExpressionTest, LookupAnswersInItsOrder) {
    NullRow data(Report);
    Report.Variables()->SetVariable("Sum", Variant("2+3"));
    Report.Variables()->SetVariable("Hello", Variant("'Hello'"));
    Report.Variables()->SetVariable("Both", Variant("1"));
    Report.Variables()->SetVariable("Count", Variant(int32_t(7)));
    Report.OnGetValue = [](const std::string& name, Variant& v) {
        if (name == "Both") v = Variant(int32_t(42));  // answers before the report variable
        if (name == "Nothing") v = Variant::Null();  // Null is an answer, Empty is not
    };
    Report.Engine()->StartDate = 45000;
    ASSERT_TRUE(Prepare("var Z: Integer; begin Z := 9; end."));
    Report.Script()->Execute();

    struct Case {
        const char* Name;
        Variant Expected;
    };
    const Case cases[] = {
        {"Zaci.\"Body\"", Variant(int32_t(0))},
        {"Zaci.\"Jmeno\"", Variant(std::string())},
        {"Zaci.\"Vyznam\"", Variant(false)},
        {"Date", Variant::FromDate(45000)},
        {"page#", Variant(int32_t(1))},
        {"Both", Variant(int32_t(42))},
        {"Nothing", Variant::Null()},
        {"Sum", Variant(int32_t(5))},
        {"Hello", Variant("Hello")},
        {"Count", Variant(int32_t(7))},
        {"Z", Variant(int32_t(9))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Variant v;
        ASSERT_TRUE(Report.LookupValue(c.Name, v));
        EXPECT_EQ(VarToStr(v), VarToStr(c.Expected));
        EXPECT_EQ(v.IsNull(), c.Expected.IsNull());
    }
    Variant v;
    EXPECT_FALSE(Report.LookupValue("Unknown", v));
    EXPECT_TRUE(v.IsNull());

    // Without ConvertNulls a Null field stays Null.
    Report.GetEngineOptions()->ConvertNulls = false;
    ASSERT_TRUE(Report.LookupValue("Zaci.\"Body\"", v));
    EXPECT_TRUE(v.IsNull());
    EXPECT_EQ(Report.ErrorList->Count(), 0);
}

TEST_F(ExpressionTest, CacheNamesIgnoreCaseAndAFailedCompileSpoilsNothing) {
    ASSERT_TRUE(Prepare());
    TfrxExpressionCache* cache = Report.ExpressionCache();
    EXPECT_EQ(VarToStr(Report.Calc("'ab' + 'cd'")), "abcd");
    EXPECT_EQ(VarToStr(Report.Calc("'AB' + 'CD'")), "abcd");  // the same text, case ignored
    EXPECT_EQ(cache->Count(), 1);
    EXPECT_EQ(cache->FunctionName("'ab' + 'cd'"), "_f0");
    EXPECT_EQ(Report.Calc("2 * 3").AsInteger(), 6);
    EXPECT_EQ(cache->FunctionName("2 * 3"), "_f1");

    Report.CurrentObjectName = "Memo1";
    try {
        Report.Calc("1 +* 2");
        FAIL() << "a bad expression raises";
    } catch (const Exception& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Memo1: Chyba ve výrazu '1 +* 2': ", 0), 0u) << e.what();
    }
    EXPECT_TRUE(HasError("Memo1: Chyba ve výrazu '1 +* 2'"));
    EXPECT_EQ(cache->Count(), 2);

    // Later expressions compile, earlier ones still run.
    EXPECT_EQ(Report.Calc("10 - 4").AsInteger(), 6);
    EXPECT_EQ(Report.Calc("2 * 3").AsInteger(), 6);
    EXPECT_EQ(cache->Count(), 3);

    // Preparing again starts the numbering anew.
    ASSERT_TRUE(Prepare());
    EXPECT_EQ(cache->Count(), 0);
    EXPECT_EQ(Report.Calc("7").AsInteger(), 7);
    EXPECT_EQ(cache->FunctionName("7"), "_f0");
}

TEST_F(ExpressionTest, SelfReferringVariablesAreAnErrorNotAStackOverflow) {
    ASSERT_TRUE(Prepare());
    Report.Variables()->SetVariable("Self", Variant("Self"));
    Report.Variables()->SetVariable("A", Variant("B"));
    Report.Variables()->SetVariable("B", Variant("A"));
    Report.Variables()->SetVariable("Chain", Variant("Step + 1"));
    EXPECT_THROW(Report.Calc("Self"), Exception);
    EXPECT_TRUE(HasError("Proměnná 'Self' odkazuje sama na sebe"));
    Report.ErrorList->Clear();
    EXPECT_THROW(Report.Calc("A"), Exception);
    EXPECT_EQ(Report.ErrorList->Count(), 1);

    // After the failure lookups work again at full depth.
    Report.Variables()->SetVariable("One", Variant("1"));
    Report.Variables()->SetVariable("Two", Variant("One"));
    EXPECT_EQ(Report.Calc("Two").AsInteger(), 1);
}

TEST_F(ExpressionTest, ScriptFunctionsOfTheReport) {
    ASSERT_TRUE(Prepare());
    // IIF evaluates only the branch taken: the other one would divide by zero.
    EXPECT_EQ(VarToStr(Report.Calc("IIF(1 = 1, 'a', 1 div 0)")), "a");
    EXPECT_EQ(VarToStr(Report.Calc("IIF(1 = 2, 1 div 0, 'b')")), "b");
    EXPECT_EQ(Report.ErrorList->Count(), 0);

    // Set creates a variable, Get reads it; an unknown name is one error line, not an error.
    Report.Calc("Set('Mark', 3)");
    EXPECT_EQ(Report.Variables()->GetVariable("Mark").AsInteger(), 3);
    EXPECT_EQ(Report.Calc("Get('Mark') + 1").AsInteger(), 4);
    EXPECT_TRUE(Report.Calc("Get('Foo')").IsNull());
    EXPECT_EQ(Report.ErrorList->Count(), 1);
    EXPECT_TRUE(HasError("Neznámá proměnná, nebo datové pole: Foo"));
}

TEST_F(ExpressionTest, PrepareScriptRegistersObjectsAndReportsCompileErrors) {
    auto* ds = new TfrxUserDataSet(&Report);
    ds->SetName("Rows");
    ASSERT_TRUE(Prepare("begin Value := 'set by the script'; end."));
    for (const char* name : {"Rows", "Report", "Engine", "Outline", "Get", "Set", "IIF", "SUM", "COUNT"})
        EXPECT_NE(Report.Script()->FindLocal(name), nullptr) << name;
    Report.Script()->Execute();
    ASSERT_NE(Report.ScriptValueVar, nullptr);
    EXPECT_EQ(VarToStr(Report.ScriptValueVar->Value), "set by the script");
    Report.SetValueVariable(Variant(int32_t(12)));
    EXPECT_EQ(Report.Calc("Value * 2").AsInteger(), 24);
    EXPECT_EQ(Report.Script()->AddedBy, nullptr);

    EXPECT_FALSE(Prepare("begin x := ; end."));
    ASSERT_EQ(Report.ErrorList->Count(), 1);
    EXPECT_EQ(Report.ErrorList->Strings(0).rfind("Chyba skriptu v 1:", 0), 0u) << Report.ErrorList->Strings(0);
}

TEST_F(ExpressionTest, EventProceduresRunOnlyWhileRunningAndWriteParametersBack) {
    ASSERT_TRUE(
        Prepare("var Calls: Integer;\n"
                "procedure Hit(Sender: TObject); begin Calls := Calls + 1; end;\n"
                "procedure Key(Sender: TObject; var Key: Integer; Shift: Integer); begin Key := 0; end;\n"
                "begin end."));
    Report.DoNotifyEvent(&Report, "Hit");
    EXPECT_EQ(Report.Calc("Calls").AsInteger(), 0);  // the engine is not running
    Report.DoNotifyEvent(&Report, "Hit", true);
    Report.DoNotifyEvent(&Report, "", true);
    EXPECT_EQ(Report.Calc("Calls").AsInteger(), 1);

    Variant params = VarArrayOf({Variant(int32_t(0)), Variant(int32_t(65)), Variant(int32_t(0))});
    Report.CallScriptProc(&Report, "Key", params);
    EXPECT_EQ(params.GetElement({1}).AsInteger(), 65);
    Report.Engine()->Running = true;
    Report.CallScriptProc(&Report, "Key", params);
    Report.Engine()->Running = false;
    EXPECT_EQ(params.GetElement({1}).AsInteger(), 0);
}
