// Compiling and running whole programs in the four languages.

#include <gtest/gtest.h>

#include "InterpTestSupport.h"

#include <set>

#include "script/ILParser.h"
#include "script/XmlTree.h"

namespace {

class EngineEnvironment : public ::testing::Environment {
public:
    void SetUp() override { script::Startup(); }
    void TearDown() override { script::Shutdown(); }
};
const auto* const engineEnvironment = ::testing::AddGlobalTestEnvironment(new EngineEnvironment);

const char* const P = "PascalScript";
const char* const C = "C++Script";
const char* const B = "BasicScript";
const char* const J = "JScript";

struct Case {
    const char* Language;
    const char* Program;
    const char* Expected;
};

// One table per language; together with the rule tables below, each covers every rule of its
// language's grammar (RuleCoverage proves it).
const Case kPascal[] = {
    // --- PascalScript: declarations, statements, expressions
    {P, "begin Print(2 + 3 * 4); Print((2 + 3) * 4); Print(10 - 4 - 3); Print(-2 * 3) end.", "14|20|3|-6"},
    {P, "var a, b: Integer; s: String = 'x'; begin a := 2; b := a * a; Print(b); Print(s) end.", "4|x"},
    {P, "const c = 5; k = 'ab'; begin Print(c * 2); Print(k + 'c') end.", "10|abc"},
    {P, "var i: Integer; begin for i := 1 to 3 do Print(i); Print(i) end.", "1|2|3|3"},
    {P, "var i: Integer; begin i := 7; for i := 1 to 0 do Print(i); Print(i) end.", "7"},
    {P, "var i: Integer; begin for i := 3 downto 1 do Print(i) end.", "3|2|1"},
    {P, "var i: Integer; begin for i := 1 to 3 do begin Print(i); i := 10 end end.", "1|2|3"},
    {P, "var i, n: Integer; begin n := 2; for i := 1 to n do begin n := 5; Print(i) end end.", "1|2"},
    {P, "var i: Integer; begin i := 0; repeat i := i + 1 until True; Print(i) end.", "1"},
    {P, "var i: Integer; begin i := 0; while i < 3 do i := i + 1; Print(i); while False do ; end.", "3"},
    {P, "var i, j: Integer; begin for i := 1 to 2 do for j := 1 to 3 do begin if j = 2 then break; Print(i * 10 + j) end end.",
        "11|21"},
    {P, "var i: Integer; begin for i := 1 to 4 do begin if i mod 2 = 0 then continue; Print(i) end end.", "1|3"},
    {P,
        "var x: Integer; begin x := 5; case x of 1: Print('a'); 2..6: Print('b'); else Print('c') end; "
        "case 9 of 1: Print('x') end end.",
        "b"},
    {P, "var x: Integer; begin x := 3; case x of 1, 3: Print('one'); 3: Print('two') end end.", "one"},
    {P, "begin try RaiseException('boom') except Print('caught') end; Print('after') end.", "caught|after"},
    {P, "begin try Print(1) finally Print(2) end end.", "1|2"},
    {P, "begin try RaiseException('x') finally Print('fin') end; Print('no') end.", "fin raised: x"},
    {P, "procedure P(n: Integer); begin if n > 0 then begin Print(n); exit; Print(0) end end; begin P(1); Print(2) end.",
        "1|2"},
    {P,
        "function Fact(n: Integer): Integer; begin if n <= 1 then Result := 1 else Result := n * Fact(n - 1) end; "
        "begin Print(Fact(5)) end.",
        "120"},
    {P, "function F(n: Integer): Integer; begin Result := n; if n > 0 then Print(F(n - 1)); Print(n) end; begin F(2) end.",
        "0|0|1|1|2"},
    {P,
        "procedure Swap(var a, b: Integer); var t: Integer; begin t := a; a := b; b := t end; "
        "var x, y: Integer; begin x := 1; y := 2; Swap(x, y); Print(x); Print(y) end.",
        "2|1"},
    {P, "procedure P(var a: Integer); begin a := 5 end; begin P(3); Print('ok') end.", "ok"},
    {P, "procedure P(a: Integer; b: String = 'd'); begin Print(b + IntToStr(a)) end; begin P(1); P(2, 'e') end.",
        "d1|e2"},
    {P, "var s: String; begin s := 'abc'; s[2] := 'Q'; Print(s); Print(s[3]) end.", "aQc|c"},
    {P, "var a: array[1..3] of Integer; i: Integer; begin for i := 1 to 3 do a[i] := i * i; Print(a[2] + a[3]) end.",
        "13"},
    {P, "var m: array[0..1, 0..1] of Integer; begin m[1, 0] := 7; Print(m[1, 0]) end.", "7"},
    {P, "var v: Variant; begin v := VarArrayCreate([0, 2], varVariant); v[1] := 'x'; Print(v[1]); Print(Length(v)) end.",
        "x|3"},
    {P, "begin Print(3 in [1, 2..4]); Print(5 in [1, 2..4]); Print(2 in [7]) end.", "True|False|False"},
    {P, "var b: Boolean; begin b := not True = False; Print(b) end.", "True"},
    {P, "var a, b: Boolean; begin a := False; b := True; Print(a and b); Print(a or b); Print(a xor b) end.",
        "False|True|True"},
    {P, "begin Print(7 div 2); Print(-7 div 2); Print(-7 mod 2); Print(7 / 2); Print(1 shl 4); Print(32 shr 2) end.",
        "3|-3|-1|3,5|16|8"},
    {P, "var s: String; i: Integer; begin s := ''; for i := 1 to 3 do s := s + IntToStr(i); Print(s) end.", "123"},
    {P, "var v: Variant; begin v := 1; Print('a' + VarToStr(v)); end.", "a1"},
    {P, "function F: Variant; begin end; begin Print(VarType(F)) end.", "1"},
    {P, "var x: Integer; begin x := 2147483647; x := x + 1 end.", "raised: Integer overflow"},
    {P, "var x: Integer; begin x := 0; Print(1 div x) end.", "raised: Division by zero"},
    {P, "var i: Integer; begin i := 1; Inc(i); Inc(i, 5); Dec(i); Print(i) end.", "6"},
    {P, "begin Print(Copy('abcdef', 3, 2)); Print(Copy('abc', 5, 1) = ''); Print(Pos('c', 'abc')) end.", "cd|True|3"},
    {P, "var s: String; begin s := 'abcd'; SetLength(s, 2); Delete(s, 1, 1); Insert('xy', s, 1); Print(s) end.", "xyb"},
    {P, "procedure Hello; begin end; begin Print(@Hello) end.", "Hello"},
    {P, "uses 'twice.pas'; begin Print(Twice(4)) end.", "8"},
    {P, "var v: Variant; begin v := 2; with v do ; Print(v) end.", "2"},
    // A recursive call that raises gives the caller its own locals back: the caller's n is
    // still 1 after it caught the error, so it does not raise again.
    {P,
        "function F(n: Integer): Integer; var x: Integer; begin x := n * 10; if n > 0 then try F(n - 1) except end; "
        "if n = 0 then RaiseException('zero'); Result := x + n end; begin Print(F(1)) end.",
        "11"},
};

const Case kCpp[] = {
    {C, "{ int a = 2, b; b = a * 3; Print(b); }", "6"},
    {C, "int F(int n) { if (n < 2) return n; return F(n - 1) + F(n - 2); } { Print(F(10)); }", "55"},
    {C, "{ int i, s = 0; for (i = 0; i < 5; i++) { if (i == 3) continue; s += i; } Print(s); }", "7"},
    {C, "{ int i = 0; do { i++; } while (i < 0); Print(i); while (i < 4) i++; Print(i); }", "1|4"},
    {C, "{ switch (2) { case 1: Print(1); case 2, 3: Print(23); default: Print(0); } }", "23"},
    {C, "{ try { RaiseException(\"e\"); } except { Print(\"c\"); } }", "c"},
    {C, "void P(int &a) { a = a + 10; } { int x = 1; P(x); Print(x); }", "11"},
    {C, "{ string s = \"a\"; s += \"b\"; Print(s); Print(!(1 == 2) && (3 != 4)); }", "ab|True"},
    {C, "int F() { int x = 4; return x; } { Print(F()); }", "4"},
    {C, "#define N 3\r\n{ int a[N]; ; a[1] = N; Print(a[1]); }", "3"},
    {C, "void Hello() { } { Print(&Hello); }", "Hello"},
    {C, "#include \"twice.cpp\"\r\n{ Print(Twice(5)); }", "10"},
    {C,
        "{ TStringList l = new TStringList(); l.Add(\"b\"); l.Add(\"a\"); l.Sorted = true; Print(l[0] + l[1]); "
        "Print(l.Count); delete l; }",
        "ab|2"},
    {C, "{ TComponent a = new TComponent(nil), b = new TComponent(a); Print(b.Owner == a); delete a; }", "True"},
    {C, "{ TStringList l; delete l; }", "raised: Objekt není přiřazen: 'Free'"},
    {C, "{ TStringList l = new TStringList; delete l; Print(1); delete l; }", "1 raised: Objekt není přiřazen: 'Free'"},
};

const Case kBasic[] = {
    {B, "dim a as Integer\r\na = 5\r\nPrint(a * 2)\r\n", "10"},
    {B, "dim i\r\nfor i = 1 to 2 step 0.5\r\nPrint(i)\r\nnext\r\n", "1|1,5|2"},
    {B, "dim i\r\nfor i = 3 to 1 step -1\r\nPrint(i)\r\nnext\r\n", "3|2|1"},
    {B, "if 1 > 2 then\r\nelse\r\nPrint(\"else\")\r\nend if\r\n", "else"},
    {B, "dim s, v\r\nv = 1\r\ns = \"a\" & v\r\nPrint(s)\r\n", "a1"},
    {B, "function F(n)\r\nreturn n * 2\r\nend function\r\nPrint(F(3))\r\n", "6"},
    {B, "dim x = 2\r\nselect case x\r\ncase 1: Print(1)\r\ncase 2, 3..4: Print(23)\r\ncase else: Print(0)\r\nend select\r\n",
        "23"},
    {B,
        "dim i = 0\r\nwhile i < 3\r\ni += 1\r\nwend\r\nPrint(i)\r\ndo\r\ni = i - 1\r\nloop until i = 0\r\nPrint(i)\r\n"
        "do\r\ni = i + 1\r\nloop while i < 2\r\nPrint(i)\r\n",
        "3|0|2"},
    {B, "try\r\nRaiseException(\"e\")\r\ncatch\r\nPrint(\"c\")\r\nend try\r\ntry\r\nPrint(1)\r\nfinally\r\nPrint(2)\r\nend try\r\n",
        "c|1|2"},
    {B,
        "sub P(a)\r\nif a > 1 then\r\nPrint(\"big\")\r\nelseif a = 1 then\r\nPrint(\"one\")\r\nelse\r\nPrint(\"small\")\r\n"
        "end if\r\nexit\r\nPrint(\"no\")\r\nend sub\r\nP(2)\r\nP(1)\r\nP(0)\r\n",
        "big|one|small"},
    {B,
        "dim a[3], i\r\nfor i = 0 to 2\r\nif i = 1 then continue\r\na[i] = i * 10\r\nif i = 2 then break\r\nnext\r\n"
        "set i = a[2]\r\nPrint(i)\r\n",
        "20"},
    {B, "sub Hello\r\nend sub\r\nPrint(AddressOf Hello)\r\n", "Hello"},
    {B, "imports \"twice.vb\"\r\nPrint(Twice(6))\r\n", "12"},
    {B, "dim v = 3\r\nwith v\r\nPrint(v)\r\nend with\r\n", "3"},
    {B,
        "dim l as TStringList = new TStringList\r\nl.Add(\"x\")\r\nl.Add(\"y\")\r\nl.Delete(0)\r\nPrint(l[0])\r\n"
        "delete l\r\nset c = new TComponent(nil)\r\nPrint(c.Owner = nil)\r\ndelete c\r\n",
        "y|True"},
    {B, "dim o = new TObject()\r\ndelete o\r\ndelete o\r\n", "raised: Objekt není přiřazen: 'Free'"},
};

const Case kJs[] = {
    {J, "x = 1; y = x + 2; Print(y);", "3"},
    {J, "function F(a, b) { if (b) return a + 1; return a; } Print(F(1, true)); Print(F(\"a\", false));", "2|a"},
    {J, "var i = 0; while (i < 3) { i++; } Print(i);", "3"},
    {J, "for (var i = 0; i < 3; i++) { if (i == 1) break; Print(i); }", "0"},
    {J, "var x = 2; switch (x) { case 1: Print(1); case 2: Print(2); default: Print(0); }", "2"},
    {J,
        "var i = 0; do { i++; } while (i < 0); Print(i); try { RaiseException(\"e\"); } except { Print(\"c\"); } "
        "Print(6 * 7 % 5);",
        "1|c|2"},
    {J, "var a[3]; for (var i = 0; i < 3; i++) { if (i == 1) continue; a[i] = i; } Print(a[2]); Print(3 in [1, 2..4]);",
        "2|True"},
    {J, "function Hello() { } Print(&Hello);", "Hello"},
    {J, "import \"twice.js\"; Print(Twice(7));", "14"},
    {J, "var v = 4; with (v) Print(v);", "4"},
    {J, "function F(s) { with (s) { return 5; } } Print(F(\"x\"));", "5"},
    {J, "var l = new TStringList; l.Add(\"x\"); Print(l.Count); delete l; var o; delete o;",
        "1 raised: Objekt není přiřazen: 'Free'"},
    // The element is reached through a Variant that is still Null when compiling: the delete
    // is resolved on first use and must still free it.
    {J, "var l = new TList(); var s = new TStringList(); l.Add(s); delete l[0]; try { Print(s.Count); } finally { delete l; }",
        "raised: Hodnota neobsahuje objekt: 's'"},
};

struct Table {
    const char* Language;
    const Case* Cases;
    size_t Count;
};
template <size_t N>
Table TableOf(const char* language, const Case (&cases)[N]) {
    return {language, cases, N};
}

const Table kTables[] = {TableOf(P, kPascal), TableOf(C, kCpp), TableOf(B, kBasic), TableOf(J, kJs)};

// The units the tables' programs use, one per language.
const std::pair<const char*, const char*> kUnits[] = {
    {"twice.pas", "function Twice(n: Integer): Integer; begin Result := n * 2 end; begin end."},
    {"twice.cpp", "int Twice(int n) { return n * 2; } {}"},
    {"twice.vb", "function Twice(n)\r\nreturn n * 2\r\nend function\r\n"},
    {"twice.js", "function Twice(n) { return n * 2; }"},
};

std::string RunTableProgram(const Case& c) {
    TestScript t(c.Language);
    t.Script->OnGetUnit = [](TfsScript*, const std::string& name, std::string& text) {
        for (const auto& [unit, source] : kUnits)
            if (name == unit) text = source;
    };
    return t.Run(c.Program);
}

struct UnitHost : TfsILParserHost {
    bool GetUnitSource(const std::string& unitName, std::string& unitText) override {
        for (const auto& [unit, source] : kUnits)
            if (unitName == unit) unitText = source;
        return true;
    }
};

TEST(Interpreter, ProgramTable) {
    for (const Table& t : kTables)
        for (size_t i = 0; i < t.Count; ++i) {
            const Case& c = t.Cases[i];
            EXPECT_EQ(RunTableProgram(c), c.Expected) << c.Language << ": " << c.Program;
        }
}

// Every rule of each grammar matches in at least one program of its language's table.
TEST(Interpreter, RuleCoverage) {
    for (const Table& t : kTables) {
        std::set<std::string> matched;
        for (size_t i = 0; i < t.Count; ++i) {
            UnitHost host;
            TfsILParser parser(host);
            parser.LoadGrammar(t.Language);
            parser.MatchedRules = &matched;
            EXPECT_TRUE(parser.BuildIL(std::string(t.Cases[i].Program)) ||
                std::string(t.Cases[i].Expected).rfind("error", 0) == 0)
                << t.Cases[i].Program << ": " << host.ErrorMsg << " @ " << host.ErrorPos;
        }
        TfsXMLDocument grammar;
        grammar.LoadFromString(fsGetLanguage(t.Language));
        std::string missing;
        for (int i = 2; i < grammar.Root()->Count(); ++i) {
            const std::string& rule = grammar.Root()->Items(i)->Name;
            // PascalScript defines "empty" without using it.
            if (rule == "empty" && std::string(t.Language) == P) continue;
            if (!matched.count(rule)) missing += " " + rule;
        }
        EXPECT_EQ(missing, "") << t.Language << " has rules no program of its table uses";
    }
}

// --- compile errors: Czech semantic messages at the position of the fault ----------------------

const Case kErrors[] = {
    {P, "begin x := 1 end.", "error: Nedeklarovaný identifikátor: 'x' @ 1:8"},
    {P, "var a: Integer; a: String; begin end.", "error: Identifikátor předeklarován: 'a' @ 1:18"},
    {P, "var a: Integer; begin a := 'x' end.", "error: Nekompatibilní typy: 'Integer', 'String' @ 1:31"},
    {P, "var a: Integer; begin a := 1.5 end.", "error: Nekompatibilní typy: 'Integer', 'Extended' @ 1:31"},
    {P, "var a: Integer; begin a := 7 / 2 end.", "error: Nekompatibilní typy: 'Integer', 'Extended' @ 1:33"},
    {P, "procedure P(a, b: Integer); begin end; begin P(1) end.", "error: Nedostatek aktuálních parametrů @ 1:47"},
    {P, "procedure P(a: Integer); begin end; begin P(1, 2) end.", "error: Příliš mnoho aktuálních parametrů @ 1:44"},
    {P, "var s: String; begin for s := 1 to 2 do end.", "error: Pro proměnnou smyčky musí být číselná proměnná @ 1:27"},
    {P, "var s: String; begin s.x := 1 end.", "error: Řetězec nemá vlastnosti, nebo metody @ 1:25"},
    {P, "const c = 1; begin c := 2 end.", "error: Levá stranu nelze přiřadit k @ 1:21"},
    {P, "var s: String; begin s := 'a' - 'b' end.", "error: Nekompatibilní typy @ 1:32"},
    {P, "var s: String; i: Integer; begin s := 'a' + i end.", "error: Nekompatibilní typy @ 1:44"},
    {P, "var x: TNoSuchType; begin end.", "error: Neznámý typ: 'TNoSuchType' @ 1:19"},
    {P, "var i: Integer; begin i := 1; i.x := 2 end.", "error: Požadován typ pole @ 1:34"},
    {J, "x = y + 1; Print(y);", "raised: "},
    {C, "{ int i; delete i; }", "error: Požadován typ třídy @ 1:18"},
    {J, "var x = new Print;", "error: Požadován typ třídy @ 1:18"},
    // Inside with, a name that is no class is not taken as a member of the with-object.
    {J, "var v; with (v) { x = new Nothing(); }", "error: Požadován typ třídy @ 1:34"},
    {C, "{ TComponent c = new TComponent; }", "error: Nedostatek aktuálních parametrů @ 1:32"},
    {B, "x = new TObject(1)\r\n", "error: Příliš mnoho aktuálních parametrů @ 1:16"},
    // A return value is assigned to Result: a procedure has none, a function checks its type.
    {C, "void P() { return 1; } { P(); }", "error: Nedeklarovaný identifikátor: 'Result' @ 1:19"},
    {C, "int F() { return \"a\"; } { F(); }", "error: Nekompatibilní typy: 'Integer', 'String' @ 1:21"},
    // "in" needs a set written on its right; a variable there was read as a set at run time.
    {P, "var a: Integer; b: Boolean; begin b := 1 in a end.", "error: Nekompatibilní typy @ 1:44"},
    {B, "Di = 0 in MP\r\n", "error: Nekompatibilní typy @ 1:10"},
};

TEST(Interpreter, CompileErrors) {
    for (const Case& c : kErrors) {
        const std::string got = RunProgram(c.Language, c.Program);
        if (std::string(c.Expected) == "raised: ") {
            EXPECT_EQ(got.rfind("error", 0), std::string::npos) << c.Program;
            continue;
        }
        EXPECT_EQ(got, c.Expected) << c.Language << ": " << c.Program;
    }
}

}  // namespace

// Damaged input found by fuzzing: nesting beyond any real script is a compile error instead of
// a stack overflow, a flat chain of thousands of operators compiles and runs, endless recursion
// is a run-time error, and a uses clause reads no device.
TEST(Interpreter, NestingChainsAndUnitsStayWithinLimits) {
    auto repeat = [](const std::string& s, int n) {
        std::string out;
        for (int i = 0; i < n; ++i) out += s;
        return out;
    };
    struct Case {
        const char* Language;
        std::string Text;
    };
    auto nested = [&](int n) {
        return std::vector<Case>{
            {"PascalScript", "begin Print(" + repeat("(", n) + "1" + repeat(")", n) + "); end."},
            {"PascalScript", repeat("begin ", n) + "Print(1)" + repeat(" end", n) + "."},
            {"PascalScript", "begin " + repeat("if True then ", n) + "Print(1); end."},
            {"C++Script", "{ Print(" + repeat("(", n) + "1" + repeat(")", n) + "); }"},
            {"C++Script", "{ " + repeat("{ ", n) + "Print(1);" + repeat(" }", n) + " }"},
            {"BasicScript", "Print(" + repeat("(", n) + "1" + repeat(")", n) + ")"},
            {"JScript", "Print(" + repeat("(", n) + "1" + repeat(")", n) + ");"},
        };
    };
    for (const Case& c : nested(40)) EXPECT_EQ(RunProgram(c.Language, c.Text), "1") << c.Language << ": " << c.Text;
    for (const Case& c : nested(400)) {
        const std::string result = RunProgram(c.Language, c.Text);
        EXPECT_EQ(result.rfind("error: Příliš hluboké vnoření @ ", 0), 0u) << c.Language << ": " << result;
    }

    EXPECT_EQ(RunProgram("PascalScript", "begin Print(0" + repeat(" + 1", 7000) + "); end."), "7000");
    EXPECT_EQ(RunProgram("PascalScript", "begin Print(True" + repeat(" and True", 2000) + " or False); end."), "True");

    // Recursion without end, also with deep expressions on every level, is a run-time error.
    EXPECT_EQ(RunProgram("PascalScript", "procedure P; begin P; end; begin P; end."), "raised: Přetečení zásobníku");
    EXPECT_EQ(RunProgram("PascalScript",
                  "function F(x: Extended): Extended; begin Result := " + repeat("Abs(", 60) + "F(x + 1)" +
                      repeat(")", 60) + "; end; begin F(1); end."),
        "raised: Přetečení zásobníku");
    EXPECT_EQ(RunProgram("PascalScript",
                  "function F(n: Integer): Integer; begin if n = 0 then Result := 0 else Result := F(n - 1) + 1; end;"
                  " begin Print(F(400)); end."),
        "400");

    const std::string device = RunProgram("PascalScript", "uses '/dev/zero'; begin end.");
    EXPECT_EQ(
        device, "error: Skript nesmí číst soubor „/dev/zero“: leží mimo složky, které má k dispozici. @  in /dev/zero");
}

// Integer arithmetic of variables and constants is computed on plain integers; what it gives
// and raises stays that of the general evaluation: an unassigned operand, a 32-bit overflow
// and a division by zero at any depth, and chains longer than the plain computation takes,
// whose terms are variables (evaluated in a loop, not one call per operator).
// Integer variables may hold Int64 values (a literal beyond 32 bits, a Variant assigned); no
// operator on them wraps into undefined behaviour: each raises the overflow, in every place
// the engine computes integers (the fast path, the general path, "+=" and Inc/Dec).
TEST(Interpreter, Int64ArithmeticNeverOverflowsSilently) {
    const std::string decl =
        "var a, b, m: Integer; v: Variant; begin a := 9223372036854775807; b := 1; "
        "v := -9223372036854775807; v := v - 1; m := v; ";
    const struct {
        std::string Body, Expected;
    } cases[] = {
        {"Print(a + b);", "raised: Integer overflow"},
        {"Print(m - b);", "raised: Integer overflow"},
        {"Print(a * 2);", "raised: Integer overflow"},
        {"Print(m div (-1));", "raised: Integer overflow"},
        {"Print(m mod (-1));", "0|"},
        {"Print(a div b);", "raised: Integer overflow"},  // beyond the 32-bit result
        {"Print(-m);", "9,22337203685478E18|"},  // the general negation: beyond Int64, a float
        {"Inc(v, -1); Print(v);", "-9,22337203685478E18|"},
        {"v := a; Inc(v); Print(v);", "9,22337203685478E18|"},
    };
    for (const auto& c : cases) {
        TestScript t;
        EXPECT_EQ(t.Run(decl + c.Body + " Print(''); end."), c.Expected) << c.Body;
    }
    EXPECT_EQ(RunProgram("C++Script", "{ int a = 9223372036854775807, b = 1; a += b; Print(a); }"),
        "raised: Integer overflow");
}

TEST(Interpreter, IntegerArithmeticMatchesTheGeneralPath) {
    auto repeat = [](const std::string& s, int n) {
        std::string out;
        for (int i = 0; i < n; ++i) out += s;
        return out;
    };
    const std::string decl = "var a, b, z, n: Integer; v: Variant; begin a := 7; b := 3; z := 0; v := 5; ";
    const struct {
        std::string Body, Expected;
    } cases[] = {
        {"Print((a + b * 2 - 1) mod 4 + a div b);", "2|"},
        {"Print(a * b - (a - b) * (a + b) - a);", "-26|"},
        {"Print(a + b > a * b); Print(a - b <= 4); Print(a mod b = 1);", "False|True|True|"},
        {"Print(a + v * b);", "22|"},
        {"Print(a + b / 2);", "8,5|"},
        {"n := 2147483647; Print(n - a + a);", "2147483647|"},
        {"n := 2147483647; Print(b * (n + a));", "raised: Integer overflow"},
        {"n := 65536; Print(a + n * n);", "raised: Integer overflow"},
        {"Print(a + b div (z * a));", "raised: Division by zero"},
        {"Print(a + b mod z + 1);", "raised: Division by zero"},
        {"n := Null; Print((a + n) * b);", "raised: "},
        {"Print(0" + repeat(" + a - b", 3000) + ");", "12000|"},
        {"Print(a" + repeat(" * 1 + a - a", 40) + " > b);", "True|"},
    };
    for (const auto& c : cases) {
        TestScript t;
        std::string result = t.Run(decl + c.Body + " Print(''); end.");
        if (c.Expected == "raised: ") result = result.substr(0, 8);  // the conversion's own text
        EXPECT_EQ(result, c.Expected) << c.Body;
    }
}
