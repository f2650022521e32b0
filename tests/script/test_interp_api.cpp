// The script component's API, host classes, built-ins and automation through scripts.

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <fstream>

#include "InterpTestSupport.h"
#include "platform/classes/TypInfo.h"
#include "platform/rtl/Strings.h"
#include "script/ILParser.h"
#include "script/OleHelper.h"

// A host class with published properties and script-bound members.
class TTestHost : public TComponent {
    KAROMIL_CLASS(TTestHost, TComponent)
public:
    explicit TTestHost(TComponent* owner = nullptr) : TComponent(owner) {}
    bool Flag = false;
    int32_t Count = 0;
    int64_t Big = 0;
    std::string Caption;
    bool GetFlag() const { return Flag; }
    void SetFlag(bool v) { Flag = v; }
    int32_t GetCount() const { return Count; }
    void SetCount(int32_t v) { Count = v; }
    int64_t GetBig() const { return Big; }
    void SetBig(int64_t v) { Big = v; }
    const std::string& GetCaption() const { return Caption; }
    void SetCaption(const std::string& v) { Caption = v; }
};

KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TTestHost, TComponent, {
    KAROMIL_PROP(Flag);
    KAROMIL_PROP(Count);
    KAROMIL_PROP(Big);
    KAROMIL_PROP(Caption);
})

namespace {

struct HostFixture : ::testing::Test {
    TestScript T;
    TTestHost Host;
    std::vector<std::string> Calls;

    void SetUp() override {
        TfsScript* s = T.Script.get();
        s->AddClass(TComponent::StaticClass(), "");
        TfsClassVariable* c = s->AddClass(TTestHost::StaticClass(), "TComponent");
        c->AddMethod("function Find(s: String; var Index: Integer): Boolean",
            [this](TObject*, TClass, const std::string& name, TfsParams& p) {
                Calls.push_back(name);
                p[1] = Variant(42);
                return Variant(true);
            });
        c->AddDefaultProperty(
            "Items", "Integer", "String", [this](TObject*, TClass, const std::string& name, TfsParams& p) {
                Calls.push_back(name + ":" + VarToStr(p[0]) + (p.size() > 1 ? "=" + VarToStr(p[1]) : ""));
                return Variant("item" + VarToStr(p[0]));
            });
        c->AddConstructor("constructor Create(AOwner: TComponent)",
            [this](TObject*, TClass cls, const std::string& name, TfsParams&) {
                Calls.push_back(name + " " + cls->ClassName());
                return Variant(Host.Handle());
            });
        s->AddObject("Host", &Host);
    }
};

TEST_F(HostFixture, PublishedPropertiesReadAndWrite) {
    Host.Flag = true;
    EXPECT_EQ(T.Run("begin Print(Host.Flag); Host.Count := 7; Host.Caption := 'Čau'; Host.Big := 5000000000; "
                    "Print(Host.Big); Host.Flag := False end."),
        "True|5000000000");
    EXPECT_EQ(Host.Count, 7);
    EXPECT_EQ(Host.Caption, "Čau");
    EXPECT_EQ(Host.Big, 5000000000);
    EXPECT_FALSE(Host.Flag);
}

TEST_F(HostFixture, MethodsIndexedPropertiesAndConstructors) {
    Host.Caption = "x";
    EXPECT_EQ(T.Run("var i: Integer; o: TTestHost; begin Print(Host.Find('x', i)); Print(i); Print(Host[3]); "
                    "Host[4] := 'z'; o := TTestHost.Create(nil); Print(o.Caption) end."),
        "True|42|item3|x");
    std::vector<std::string> expected = {"FIND", "ITEMS.GET:3", "ITEMS.SET:4=z", "CREATE TTestHost"};
    EXPECT_EQ(Calls, expected);
}

TEST_F(HostFixture, WrongOrMissingInstanceIsAnErrorNotAHostCall) {
    EXPECT_EQ(T.Run("var o: TTestHost; begin o := nil; Print(o.Count) end."), "raised: Objekt není přiřazen: 'Count'");
}

TEST_F(HostFixture, ObjectOfAnotherClassIsRefused) {
    TStringList other;
    T.Script->AddObject("Other", &other);
    EXPECT_EQ(T.Run("var o: TTestHost; v: Variant; begin v := Other; o := v; Print(o.Count) end."),
        "raised: Objekt není třídy TTestHost: 'Count'");
}

TEST_F(HostFixture, WithResolvesMembersOfTheObjectFirst) {
    T.Script->AddVariable("Count", "Integer", Variant(99));
    Host.Count = 5;
    EXPECT_EQ(T.Run("begin with Host do Print(Count) end."), "5");
}

// --- the script API ----------------------------------------------------------------------------

TEST(ScriptApi, FailedCompileTakesBackWhatItRegistered) {
    TestScript t;
    EXPECT_FALSE(t.Compile("function _f1: Variant; begin Result := 1 + 'x' end; begin end."));
    EXPECT_EQ(t.Script->FindLocal("_f1"), nullptr);
    EXPECT_TRUE(t.Compile("function _f1: Variant; begin Result := 2 end; begin end."));
    EXPECT_EQ(t.Script->CallFunction("_f1", Variant::Null()).AsInteger(), 2);
}

TEST(ScriptApi, CallFunctionAndVarParameters) {
    TestScript t;
    ASSERT_TRUE(t.Compile("procedure P(var a: Integer; b: Integer); begin a := a + b end; var g: Integer; begin end."));
    Variant params = VarArrayOf({Variant(1), Variant(2)});
    EXPECT_TRUE(t.Script->CallFunctionVar("P", params).IsNull());
    EXPECT_EQ(params.GetElement({0}).AsInteger(), 3);
    EXPECT_TRUE(t.Script->CallFunction("g", params).IsNull());
    EXPECT_TRUE(t.Script->CallFunction("IntToStr", params).IsNull());
}

TEST(ScriptApi, EvaluateSeesTheRunningProcedureAndFlagsErrors) {
    TestScript t;
    t.Script->AddMethod("procedure Probe", [&](TObject*, TClass, const std::string&, TfsParams&) {
        t.Output = VarToStr(t.Script->Evaluate("n * 2"));
        return Variant::Null();
    });
    ASSERT_TRUE(t.Compile("procedure P(n: Integer); begin Probe end; begin P(21) end."));
    t.Script->Execute();
    EXPECT_EQ(t.Output, "42");
    bool isError = false;
    EXPECT_EQ(t.Script->Evaluate("2 * 3", &isError).AsInteger(), 6);
    EXPECT_FALSE(isError);
    t.Script->Evaluate("1 + (", &isError);
    EXPECT_TRUE(isError);
}

TEST(ScriptApi, TerminateFromRunLineStopsBeforeTheStatement) {
    TestScript t;
    ASSERT_TRUE(t.Compile("begin\r\nPrint(1);\r\nPrint(2);\r\nPrint(3);\r\nend."));
    t.Script->OnRunLine = [&](TfsScript* sender, const std::string&, const std::string& pos) {
        if (pos.rfind("4:", 0) == 0) sender->Terminate();
    };
    t.Script->Execute();
    EXPECT_EQ(t.Output, "1|2");
    EXPECT_FALSE(t.Script->Terminated);
}

TEST(ScriptApi, ExecutableLinesCompareWholeNumbers) {
    TestScript t;
    std::string text = "begin\r\n";
    for (int i = 2; i <= 12; ++i) text += i == 12 ? "Print(1);\r\n" : "\r\n";
    ASSERT_TRUE(t.Compile(text + "end."));
    EXPECT_TRUE(t.Script->IsExecutableLine(12));
    EXPECT_FALSE(t.Script->IsExecutableLine(2));
    EXPECT_FALSE(t.Script->IsExecutableLine(1));
    EXPECT_FALSE(t.Script->IsExecutableLine(12, "NoUnit"));
}

TEST(ScriptApi, RegistrationKeepsTheFirstName) {
    TestScript t;
    t.Script->AddVariable("Date", "Integer", Variant(1));
    EXPECT_EQ(t.Script->FindLocal("Date"), nullptr);
    t.Script->AddEnumSet("TFontStyles", "fsBold, fsItalic, fsUnderline, fsStrikeout");
    EXPECT_EQ(t.Run("begin Print(fsBold + fsStrikeout) end."), "9");
    t.Script->Clear();
    EXPECT_EQ(t.Script->FindLocal("__StringHelper"), nullptr);
}

TEST(ScriptApi, LazyDesignatorOnNullIsARunTimeErrorEveryTime) {
    TestScript t;
    ASSERT_TRUE(t.Compile("var v: Variant; begin v.Caption := 'x' end."));
    for (int i = 0; i < 2; ++i) {
        EXPECT_THROW(t.Script->Execute(), Exception);
        EXPECT_TRUE(t.Script->Find("v")->Value.IsNull());
    }
}

TEST(ScriptApi, FinallyRunsWholeWithBreakPending) {
    EXPECT_EQ(RunProgram("PascalScript",
                  "var i: Integer; begin for i := 1 to 3 do try break finally Print('a'); "
                  "Print('b') end; Print(i) end."),
        "a|b|1");
}

// --- built-ins ---------------------------------------------------------------------------------

const std::pair<const char*, const char*> kBuiltins[] = {
    {"DaysInMonth(2024, 2)", "29"},
    {"DaysInMonth(1900, 2)", "28"},
    {"DaysInMonth(2000, 2)", "29"},
    {"NameCase('jan DUVAD')", "Jan Duvad"},
    {"NameCase(' ab cd')", " ab Cd"},
    {"Round(2.5)", "2"},
    {"Round(3.5)", "4"},
    {"Round(-2.5)", "-2"},
    {"Trunc(-2.7)", "-2"},
    {"Int(2.7)", "2"},
    {"Format('%d and %s', [5, 'x'])", "5 and x"},
    {"ValidInt('12')", "True"},
    {"ValidInt('1.5')", "False"},
    {"Uppercase('žluťoučký')", "ŽLUŤOUČKÝ"},
    {"Chr(268)", "Č"},
    {"Ord('Č')", "268"},
    {"IntToStr(Length('čaj'))", "3"},
    {"CompareText('abc', 'ABC')", "0"},
    {"VarType(Int(2.7))", "5"},
    {"FormatFloat('0.00', 1.005)", "1,01"},
};

TEST(Builtins, FunctionTable) {
    for (const auto& [expr, expected] : kBuiltins)
        EXPECT_EQ(RunProgram("PascalScript", std::string("begin Print(") + expr + ") end."), expected) << expr;
}

TEST(Builtins, RoundBeyond32BitsOverflows) {
    EXPECT_EQ(RunProgram("PascalScript", "begin Print(Round(3000000000.0)) end."), "raised: Integer overflow");
}

// --- automation --------------------------------------------------------------------------------

struct FakeServer : IDispatch {
    std::vector<std::string>* Log;
    explicit FakeServer(std::vector<std::string>* log) : Log(log) {}
    HRESULT GetIDsOfNames(const std::string& name, int32_t& id) override {
        id = AnsiSameText(name, "Cells") ? 1 : AnsiSameText(name, "Visible") ? 2 : AnsiSameText(name, "Quit") ? 3 : 0;
        return id != 0 ? S_OK : DISP_E_UNKNOWNNAME;
    }
    HRESULT Invoke(int32_t id, uint16_t kind, std::vector<Variant>& args, const std::vector<int32_t>& named,
        Variant* result) override {
        std::string s = std::to_string(id) + ":" + std::to_string(kind) + ":";
        for (const Variant& a : args) s += VarToStr(a) + ";";
        if (!named.empty()) s += "named" + std::to_string(named[0]);
        s += result ? "+r" : "";
        Log->push_back(s);
        if (result) *result = Variant(7);
        return S_OK;
    }
};

TEST(Ole, CallsByNameWithReversedArgumentsAndPuts) {
    std::vector<std::string> log;
    RegisterAutomationClass("Test.Server", [&] { return std::make_shared<FakeServer>(&log); });
    EXPECT_EQ(RunProgram("PascalScript",
                  "var o: Variant; x: Variant; begin o := CreateOleObject('Test.Server'); "
                  "x := o.Cells(1, 2); o.Visible := True; o.Quit; Print(x) end."),
        "7");
    std::vector<std::string> expected = {"1:3:2;1;+r", "2:4:True;named-3", "3:1:"};
    EXPECT_EQ(log, expected);
    EXPECT_EQ(RunProgram("PascalScript", "var o: Variant; begin o := CreateOleObject('Test.Server'); o.Nope end."),
        "raised: OLE error 80020006: Nope");
    UnregisterAutomationClass("Test.Server");
    EXPECT_EQ(RunProgram("PascalScript", "begin CreateOleObject('Test.Server') end."), "raised: Invalid class string");
}

}  // namespace

namespace {

// --- used units, with, address-of, running twice ----------------------------------------------

TEST(ScriptUnits, FromDiskWhenNoHandlerSuppliesThem) {
    const std::string file = "/tmp/karomil_test_unit_" + std::to_string(::getpid()) + ".pas";
    { std::ofstream(file) << "function Twice(n: Integer): Integer; begin Result := n * 2 end; begin end."; }
    TestScript t;
    t.Script->FileFolder = "/tmp/";  // the script's own folder, from which it may read units
    EXPECT_EQ(t.Run("uses '" + file + "'; begin Print(Twice(21)) end."), "42");
    std::remove(file.c_str());
    TestScript missing;
    EXPECT_EQ(missing.Run("uses '" + file + "'; begin end.").rfind("error: ", 0), 0u);
}

// A handler of OnGetILUnit hands over the unit's intermediate program itself.
TEST(ScriptUnits, IntermediateProgramFromOnGetILUnit) {
    TestScript unit;
    TfsILParser parser(*unit.Script);
    parser.LoadGrammar("PascalScript");
    ASSERT_TRUE(parser.BuildIL("function Thrice(n: Integer): Integer; begin Result := n * 3 end; begin end."));
    const std::string il = parser.ILDocument().SaveToString();

    TestScript t;
    std::vector<std::string> asked;
    t.Script->OnGetUnit = [](TfsScript*, const std::string&, std::string& text) { text = "begin end."; };
    t.Script->OnGetILUnit = [&](TfsScript*, const std::string& name, std::string& text) {
        asked.push_back(name);
        text = il;
    };
    EXPECT_EQ(t.Run("uses 'u.pas'; begin Print(Thrice(3)) end."), "9");
    EXPECT_EQ(asked, std::vector<std::string>{"u.pas"});
}

TEST(ScriptRun, ExecuteTwiceRunsTheProgramAgain) {
    TestScript t;
    ASSERT_TRUE(t.Compile(
        "var i: Integer; function F(n: Integer): Integer; begin if n < 2 then Result := n "
        "else Result := F(n - 1) + F(n - 2) end; begin i := i + 1; Print(IntToStr(i) + ':' + IntToStr(F(10))) end."));
    t.Script->Execute();
    t.Script->Execute();
    EXPECT_EQ(t.Output, "1:55|2:55");  // globals keep their values between runs
}

TEST(ScriptRun, AddressOfNeedsOneName) {
    EXPECT_EQ(RunProgram("PascalScript", "var s: String; begin s := 'x'; Print(@s.Length) end."),
        "error: Požadována proměnná @ 1:39");
}

}  // namespace

TEST_F(HostFixture, WithListOfTwoObjectsAndNesting) {
    TTestHost other;
    other.Caption = "other";
    Host.Count = 5;
    Host.Caption = "host";
    T.Script->AddObject("Other", &other);
    EXPECT_EQ(T.Run("begin with Host, Other do Print(Caption + IntToStr(Count)); "
                    "with Host do begin with Other do Count := 7; Print(Count) end; Print(Other.Count) end."),
        "other0|5|7");
}
