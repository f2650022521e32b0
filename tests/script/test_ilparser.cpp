#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <set>

#include "ScriptTestSupport.h"
#include "platform/rtl/Exceptions.h"
#include "script/ScriptTools.h"

namespace {

// Rules matched by the table below, per language; the coverage test reads them.
std::map<std::string, std::set<std::string>>& Coverage() {
    static std::map<std::string, std::set<std::string>> coverage;
    return coverage;
}

// Parses and renders the program, or "error: message @ position".
std::string Parse(const std::string& language, const std::string& source, TestHost* host = nullptr) {
    TestHost local;
    TestHost& h = host ? *host : local;
    TfsILParser parser(h);
    parser.MatchedRules = &Coverage()[language];
    parser.LoadGrammar(language);
    if (!parser.BuildIL(source))
        return "error: " + h.ErrorMsg + " @ " + h.ErrorPos + (h.ErrorUnit.empty() ? "" : " in " + h.ErrorUnit);
    EXPECT_EQ(h.ErrorMsg, "");
    EXPECT_EQ(h.ErrorPos, "");
    return RenderIL(parser.ILDocument().Root());
}

struct Case {
    const char* language;
    const char* source;
    std::string expected;
};

// The refusal of a unit that lies outside the folders a script may read from.
std::string Refused(const std::string& file) {
    return "Skript nesmí číst soubor „" + file + "“: leží mimo složky, které má k dispozici.";
}

const char* const P = "PascalScript";
const char* const C = "C++Script";
const char* const B = "BasicScript";
const char* const J = "JScript";

const Case kPrograms[] = {
    // --- PascalScript ---
    {P, "begin end.", "compoundstmt"},
    {P, "program Demo; begin end. trailing words after the final dot", "error: Statement expected @ 1:26"},
    {P, "const c = 5; begin end.", "const(ident:c expr(number:5)) compoundstmt"},
    {P, "var a, b: Integer; s: String = 'x'; begin end.",
        "var(ident:a ident:b type:Integer) var(ident:s type:String init(expr(string:'x'))) compoundstmt"},
    {P, "var m: array[0..2, 5] of Integer; begin end.",
        "var(ident:m array(dim(expr(number:0) expr(number:2)) dim(expr(number:5))) type:Integer) compoundstmt"},
    {P, "var v: array of Variant; begin end.", "var(ident:v array type:Variant) compoundstmt"},
    {P, "begin x := -a + b * (c - 1) div 2 end.",
        "compoundstmt(assignstmt(dsgn(node:x) expr(op:unminus dsgn(node:a) op:+ dsgn(node:b) op:* op:( expr(dsgn(node:c) "
        "op:- number:1) op:) op:div number:2)))"},
    {P, "begin b := not a or c xor d and e mod 3 shl 1 shr 2 / 4 end.",
        "compoundstmt(assignstmt(dsgn(node:b) expr(op:not dsgn(node:a) op:or dsgn(node:c) op:xor dsgn(node:d) op:and "
        "dsgn(node:e) op:mod number:3 op:shl number:1 op:shr number:2 op:/ number:4)))"},
    {P, "begin r := (a >= 1) and (a <> 2) and (a <= 3) and (a > 4) and (a < 5) and (a = 6) end.",
        "compoundstmt(assignstmt(dsgn(node:r) expr(op:( expr(dsgn(node:a) op:>= number:1) op:) op:and op:( expr(dsgn(node:a) "
        "op:<> number:2) op:) op:and op:( expr(dsgn(node:a) op:<= number:3) op:) op:and op:( expr(dsgn(node:a) op:> number:4) "
        "op:) op:and op:( expr(dsgn(node:a) op:< number:5) op:) op:and op:( expr(dsgn(node:a) op:= number:6) op:))))"},
    {P, "begin r := (a in [1, 3..5]) or (o is TButton) end.",
        "compoundstmt(assignstmt(dsgn(node:r) expr(op:( expr(dsgn(node:a) op:in set(expr(number:1) expr(number:3) range:. "
        "expr(number:5))) op:) op:or op:( expr(dsgn(node:o) op:is dsgn(node:TButton)) op:))))"},
    {P, "begin @p; a.b[1, 2].end(x, 'y'); f() end.",
        "compoundstmt(callstmt(dsgn(addr:@ node:p)) callstmt(dsgn(node:a node:b node:[ expr(number:1) expr(number:2) "
        "node:end expr(dsgn(node:x)) expr(string:'y'))) callstmt(dsgn(node:f)))"},
    {P, "begin s := <DataSet.\"Field\"> end.",
        "compoundstmt(assignstmt(dsgn(node:s) expr(dsgn(node:Get expr(string:'DataSet.\"Field\"')))))"},
    {P, "begin s := 'it''s'#13 + $1F end.",
        "compoundstmt(assignstmt(dsgn(node:s) expr(string:'it's\r' op:+ number:$1F)))"},
    {P, "begin break; continue; exit end.", "compoundstmt(break continue exit)"},
    {P, "begin begin a end; ; end.", "compoundstmt(compoundstmt(callstmt(dsgn(node:a))))"},
    {P, "begin if a then b else c; if a then else end.",
        "compoundstmt(ifstmt(expr(dsgn(node:a)) thenstmt(callstmt(dsgn(node:b))) elsestmt(callstmt(dsgn(node:c)))) "
        "ifstmt(expr(dsgn(node:a)) thenstmt elsestmt))"},
    {P, "begin case x of 1: a; 2, 3: b; else c; end end.",
        "compoundstmt(casestmt(expr(dsgn(node:x)) caseselector(set(expr(number:1)) callstmt(dsgn(node:a))) "
        "caseselector(set(expr(number:2) expr(number:3)) callstmt(dsgn(node:b))) callstmt(dsgn(node:c))))"},
    {P, "begin case x of 1: a end end.",
        "compoundstmt(casestmt(expr(dsgn(node:x)) caseselector(set(expr(number:1)) "
        "callstmt(dsgn(node:a)))))"},
    {P, "begin repeat a; b until c end.",
        "compoundstmt(repeatstmt(callstmt(dsgn(node:a)) callstmt(dsgn(node:b)) expr(dsgn(node:c))))"},
    {P, "begin while a do ; for i := 1 to 2 do b; for i := 2 downto 1 do end.",
        "compoundstmt(whilestmt(expr(dsgn(node:a))) forstmt(ident:i expr(number:1) expr(number:2) callstmt(dsgn(node:b))) "
        "forstmt(ident:i expr(number:2) downto:downto expr(number:1)))"},
    {P, "begin try a finally b end; try c except d end end.",
        "compoundstmt(trystmt(callstmt(dsgn(node:a)) finallystmt(callstmt(dsgn(node:b)))) "
        "trystmt(callstmt(dsgn(node:c)) exceptstmt(callstmt(dsgn(node:d)))))"},
    {P, "begin with a, b.c do d end.", "compoundstmt(with(dsgn(node:a) dsgn(node:b node:c) callstmt(dsgn(node:d))))"},
    {P,
        "procedure P(var a, b: Integer; const c: String; d: Integer = 1); var l: Integer; begin end; "
        "function F: Boolean; begin Result := True end; begin P(x) end.",
        "procedure(name:P parameters(varparams var(ident:a ident:b type:Integer) var(ident:c type:String) "
        "var(ident:d type:Integer init(expr(number:1)))) var(ident:l type:Integer) compoundstmt) "
        "function(name:F type:Boolean compoundstmt(assignstmt(dsgn(node:Result) expr(dsgn(node:True))))) "
        "compoundstmt(callstmt(dsgn(node:P expr(dsgn(node:x)))))"},
    {P, "{ a } (* b *) // c\r\nbegin end.", "compoundstmt"},

    // --- C++Script ---
    {C, "{ }", "compoundstmt"},
    {C, "#define Max 10\r\nint a, b[2][3] = 1, c; { }",
        "const(ident:Max expr(number:10)) var(type:int ident:a ident:b array(dim(expr(number:2)) dim(expr(number:3))) "
        "init(expr(number:1)) ident:c) compoundstmt"},
    {C, "void P(int a, string &b = \"x\") { return; } int F() { return 1; } { P(1, s); }",
        "function(type:void name:P parameters(var(type:int ident:a) var(type:string varparam:& ident:b "
        "init(expr(string:'x')))) compoundstmt(return)) function(type:int name:F parameters compoundstmt(return(expr(number:1)))) "
        "compoundstmt(callstmt(dsgn(node:P expr(number:1) expr(dsgn(node:s)))))"},
    {C, "{ a = b == c; a += 1; a -= 1; a *= 2; a /= 2; i++; i--; ; }",
        "compoundstmt(assignstmt(dsgn(node:a) expr(dsgn(node:b) op:= dsgn(node:c))) assignstmt(dsgn(node:a) modificator:+ "
        "expr(number:1)) assignstmt(dsgn(node:a) modificator:- expr(number:1)) assignstmt(dsgn(node:a) modificator:* "
        "expr(number:2)) assignstmt(dsgn(node:a) modificator:/ expr(number:2)) callstmt(dsgn(node:i) modificator:+) "
        "callstmt(dsgn(node:i) modificator:-) empty)"},
    {C, "{ r = !a || b ^ c && d % 2 << 1 >> 1 != 0x1F; }",
        "compoundstmt(assignstmt(dsgn(node:r) expr(op:not dsgn(node:a) op:or dsgn(node:b) op:xor dsgn(node:c) op:and "
        "dsgn(node:d) op:mod number:2 op:shl number:1 op:shr number:1 op:<> number:$1F)))"},
    {C, "{ r = a >= 1 || a <= 2 || a > 3 || a < 4 || x in [1..2] || o is T || 7 div 2; }",
        "compoundstmt(assignstmt(dsgn(node:r) expr(dsgn(node:a) op:>= number:1 op:or dsgn(node:a) op:<= number:2 op:or "
        "dsgn(node:a) op:> number:3 op:or dsgn(node:a) op:< number:4 op:or dsgn(node:x) op:in set(expr(number:1) range:. "
        "expr(number:2)) op:or dsgn(node:o) op:is dsgn(node:T) op:or number:7 op:div number:2)))"},
    {C, "{ o = new TList(nil); delete o; p = &q; m[1][2] = a.b(); s = <x>; }",
        "compoundstmt(assignstmt(dsgn(node:o) expr(new(dsgn(node:TList expr(dsgn(node:nil)))))) delete(dsgn(node:o)) "
        "assignstmt(dsgn(node:p) expr(dsgn(addr:& node:q))) assignstmt(dsgn(node:m node:[ expr(number:1) expr(number:2)) "
        "expr(dsgn(node:a node:b))) assignstmt(dsgn(node:s) expr(dsgn(node:Get expr(string:'x')))))"},
    {C, "{ if (a) b(); else { c(); } if (a) ; }",
        "compoundstmt(ifstmt(expr(dsgn(node:a)) thenstmt(callstmt(dsgn(node:b))) elsestmt(compoundstmt(callstmt(dsgn(node:c))))) "
        "ifstmt(expr(dsgn(node:a)) thenstmt(empty)))"},
    {C, "{ switch (x) { case 1: a(); case 2, 3: b(); default: c(); } }",
        "compoundstmt(casestmt(expr(dsgn(node:x)) caseselector(set(expr(number:1)) callstmt(dsgn(node:a))) "
        "caseselector(set(expr(number:2) expr(number:3)) callstmt(dsgn(node:b))) callstmt(dsgn(node:c))))"},
    {C, "{ do a(); while (b); while (c) d(); break; continue; exit; }",
        "compoundstmt(repeatstmt(callstmt(dsgn(node:a)) expr(dsgn(node:b)) inverse:) whilestmt(expr(dsgn(node:c)) "
        "callstmt(dsgn(node:d))) break continue exit)"},
    {C, "{ for (int i = 0, j = 1; i < 2; i++, j++) ; for (;1;) a(); }",
        "compoundstmt(cppforstmt(compoundstmt(var(type:int ident:i init(expr(number:0)) ident:j init(expr(number:1)))) expr(dsgn(node:i) op:< number:2) "
        "compoundstmt(callstmt(dsgn(node:i) modificator:+) callstmt(dsgn(node:j) modificator:+)) empty) "
        "cppforstmt(compoundstmt(empty) expr(number:1) compoundstmt(empty) callstmt(dsgn(node:a))))"},
    {C, "{ try { a(); } finally { b(); } try { } except { } }",
        "compoundstmt(trystmt(compoundstmt(callstmt(dsgn(node:a))) finallystmt(compoundstmt(callstmt(dsgn(node:b))))) "
        "trystmt(compoundstmt exceptstmt(compoundstmt)))"},
    {C, "{ s = \"a\\\"b\" + (1 - 2) * (-3) / 4.5e1; }",
        "compoundstmt(assignstmt(dsgn(node:s) expr(string:'a\"b' op:+ op:( expr(number:1 op:- number:2) op:) op:* op:( "
        "expr(op:unminus number:3) op:) op:/ number:4.5e1)))"},

    // --- BasicScript ---
    {B, "\r\n", "compoundstmt"},
    {B, "dim a, b as Integer, c[2, 3] = 1\r\n",
        "compoundstmt(var(ident:a) var(ident:b type:Integer) var(ident:c array(dim(expr(number:2)) dim(expr(number:3))) "
        "init(expr(number:1))))"},
    {B, "x = 1 : y += 2 ' note\r\nrem whole line\r\nz = \"a\" & b \\ 2 mod 3 _\r\n  - 1\r\n",
        "compoundstmt(assignstmt(dsgn(node:x) expr(number:1)) assignstmt(dsgn(node:y) modificator:+ expr(number:2)) "
        "assignstmt(dsgn(node:z) expr(string:'a' op:strcat dsgn(node:b) op:div number:2 op:mod number:3 op:- number:1)))"},
    {B, "r = not a or b xor c and d <> 1 and e >= 2 or e <= 3 or e > 4 or e < 5 or e = 6 or x in [1..2] or o is T\r\n",
        "compoundstmt(assignstmt(dsgn(node:r) expr(op:not dsgn(node:a) op:or dsgn(node:b) op:xor dsgn(node:c) op:and "
        "dsgn(node:d) op:<> number:1 op:and dsgn(node:e) op:>= number:2 op:or dsgn(node:e) op:<= number:3 op:or "
        "dsgn(node:e) op:> number:4 op:or dsgn(node:e) op:< number:5 op:or dsgn(node:e) op:= number:6 op:or dsgn(node:x) "
        "op:in set(expr(number:1) range:. expr(number:2)) op:or dsgn(node:o) op:is dsgn(node:T))))"},
    {B, "set o = new TList\r\ndelete o\r\np = addressof q\r\na.end(1)[2] = (-0x10) * 3 / <r>\r\ni++\r\nj--\r\n",
        "compoundstmt(assignstmt(dsgn(node:o) expr(new(dsgn(node:TList)))) delete(dsgn(node:o)) assignstmt(dsgn(node:p) "
        "expr(dsgn(addr:addressof node:q))) assignstmt(dsgn(node:a node:end expr(number:1) node:[ expr(number:2)) expr(op:( "
        "expr(op:unminus number:$10) op:) op:* number:3 op:/ dsgn(node:Get expr(string:'r')))) callstmt(dsgn(node:i) "
        "modificator:+) callstmt(dsgn(node:j) modificator:-))"},
    {B, "if a then b = 1\r\nif a then\r\nb\r\nelseif c then\r\nd\r\nelse\r\ne\r\nend if\r\n",
        "compoundstmt(ifstmt(expr(dsgn(node:a)) thenstmt(assignstmt(dsgn(node:b) expr(number:1)))) ifstmt(expr(dsgn(node:a)) "
        "thenstmt(compoundstmt(callstmt(dsgn(node:b)))) elsestmt(ifstmt(expr(dsgn(node:c)) thenstmt(compoundstmt(callstmt("
        "dsgn(node:d)))) elsestmt(compoundstmt(callstmt(dsgn(node:e))))))))"},
    {B, "if a then\r\nelseif b then c end if\r\n",
        "compoundstmt(ifstmt(expr(dsgn(node:a)) elsestmt(ifstmt(expr(dsgn(node:b)) thenstmt(callstmt(dsgn(node:c)))))))"},
    {B, "if a then\r\nelseif b then\r\nc\r\nelse d end if\r\n",
        "compoundstmt(ifstmt(expr(dsgn(node:a)) elsestmt(ifstmt(expr(dsgn(node:b)) thenstmt(compoundstmt(callstmt(dsgn(node:c)))) "
        "elsestmt(callstmt(dsgn(node:d)))))))"},
    {B, "select case x\r\ncase 1: a\r\ncase 2, 3:\r\nb\r\ncase else: c\r\nend select\r\n",
        "compoundstmt(casestmt(expr(dsgn(node:x)) caseselector(set(expr(number:1)) compoundstmt(callstmt(dsgn(node:a)))) "
        "caseselector(set(expr(number:2) expr(number:3)) compoundstmt(callstmt(dsgn(node:b)))) compoundstmt(callstmt(dsgn(node:c)))))"},
    {B, "do\r\na\r\nloop until b\r\ndo\r\nloop while c\r\nwhile d\r\nbreak : continue : exit\r\nwend\r\n",
        "compoundstmt(repeatstmt(compoundstmt(callstmt(dsgn(node:a))) expr(dsgn(node:b))) repeatstmt(compoundstmt "
        "expr(dsgn(node:c)) inverse:) whilestmt(expr(dsgn(node:d)) compoundstmt(break continue exit)))"},
    {B, "for i = 1 to 10 step 2\r\na\r\nnext\r\nfor i = 1 to 2\r\nnext\r\n",
        "compoundstmt(vbforstmt(ident:i expr(number:1) expr(number:10) expr(number:2) compoundstmt(callstmt(dsgn(node:a)))) "
        "vbforstmt(ident:i expr(number:1) expr(number:2)))"},
    {B, "try\r\na\r\nfinally\r\nb\r\nend try\r\ntry\r\ncatch\r\nend try\r\n",
        "compoundstmt(trystmt(compoundstmt(callstmt(dsgn(node:a))) finallystmt(compoundstmt(callstmt(dsgn(node:b))))) "
        "trystmt(compoundstmt exceptstmt(compoundstmt)))"},
    {B, "with a.b\r\nc\r\nend with\r\n",
        "compoundstmt(with(dsgn(node:a node:b) compoundstmt(callstmt(dsgn(node:c)))))"},
    {B, "sub P(byref a as Integer, byval b, c = 1)\r\nreturn\r\nend sub\r\nfunction F as decimal\r\nreturn 2\r\nend function\r\n",
        "compoundstmt(procedure(name:P parameters(varparams var(ident:a type:Integer) var(ident:b) var(ident:c "
        "init(expr(number:1)))) compoundstmt(return)) function(name:F type:decimal compoundstmt(return(expr(number:2)))))"},

    // --- JScript ---
    {J, "", "compoundstmt"},
    {J, "var a, b[2, 3], c = 1; x = a",
        "compoundstmt(var(ident:a) var(ident:b array(dim(expr(number:2)) dim(expr(number:3)))) "
        "var(ident:c init(expr(number:1))) assignstmt(dsgn(node:x) expr(dsgn(node:a))))"},
    {J, "function f(a, &b) { return a + b; } f(1, 2); { g(); }",
        "compoundstmt(function(name:f parameters(var(ident:a) var(varparam:& ident:b)) compoundstmt(return(expr(dsgn(node:a) "
        "op:+ dsgn(node:b))))) callstmt(dsgn(node:f expr(number:1) expr(number:2))) compoundstmt(callstmt(dsgn(node:g))))"},
    {J, "r = !a || b ^ c && d % 2 << 1 >> 1 != 0x1F == e >= 1 <= 2 > 3 < 4 in [1..2] is T; r = 7 div 2 * (-1) / 2 - <x>;",
        "compoundstmt(assignstmt(dsgn(node:r) expr(op:not dsgn(node:a) op:or dsgn(node:b) op:xor dsgn(node:c) op:and "
        "dsgn(node:d) op:mod number:2 op:shl number:1 op:shr number:1 op:<> number:$1F op:= dsgn(node:e) op:>= number:1 "
        "op:<= number:2 op:> number:3 op:< number:4 op:in set(expr(number:1) range:. expr(number:2)) op:is dsgn(node:T))) "
        "assignstmt(dsgn(node:r) expr(number:7 op:div number:2 op:* op:( expr(op:unminus number:1) op:) op:/ number:2 op:- "
        "dsgn(node:Get expr(string:'x')))))"},
    {J, "o = new TList(); delete o; p = &q; m[1, 2] = a.b; i++; j--; k += 1; k -= 1; k *= 2; k /= 2; s = (\"t\");",
        "compoundstmt(assignstmt(dsgn(node:o) expr(new(dsgn(node:TList)))) delete(dsgn(node:o)) assignstmt(dsgn(node:p) "
        "expr(dsgn(addr:& node:q))) assignstmt(dsgn(node:m node:[ expr(number:1) expr(number:2)) expr(dsgn(node:a node:b))) "
        "callstmt(dsgn(node:i) modificator:+) callstmt(dsgn(node:j) modificator:-) assignstmt(dsgn(node:k) modificator:+ "
        "expr(number:1)) assignstmt(dsgn(node:k) modificator:- expr(number:1)) assignstmt(dsgn(node:k) modificator:* "
        "expr(number:2)) assignstmt(dsgn(node:k) modificator:/ expr(number:2)) assignstmt(dsgn(node:s) expr(op:( "
        "expr(string:'t') op:))))"},
    {J, "if (a) b(); else c(); switch (x) { case 1: a(); case 2, 3: b(); default: c(); }",
        "compoundstmt(ifstmt(expr(dsgn(node:a)) thenstmt(callstmt(dsgn(node:b))) elsestmt(callstmt(dsgn(node:c)))) "
        "casestmt(expr(dsgn(node:x)) caseselector(set(expr(number:1)) callstmt(dsgn(node:a))) caseselector(set(expr(number:2) "
        "expr(number:3)) callstmt(dsgn(node:b))) callstmt(dsgn(node:c))))"},
    {J, "do a(); while (b); while (c) { break; continue; } for (var i = 0; i < 2; i++) {} for (; 1; ) x();",
        "compoundstmt(repeatstmt(callstmt(dsgn(node:a)) expr(dsgn(node:b)) inverse:) whilestmt(expr(dsgn(node:c)) "
        "compoundstmt(break continue)) cppforstmt(var(ident:i init(expr(number:0))) expr(dsgn(node:i) op:< number:2) "
        "callstmt(dsgn(node:i) modificator:+) compoundstmt) cppforstmt(empty expr(number:1) empty callstmt(dsgn(node:x))))"},
    {J, "try { a(); } finally { b(); } try c(); except d(); with (o.p) q();",
        "compoundstmt(trystmt(compoundstmt(callstmt(dsgn(node:a))) finallystmt(compoundstmt(callstmt(dsgn(node:b))))) "
        "trystmt(callstmt(dsgn(node:c)) exceptstmt(callstmt(dsgn(node:d)))) with(dsgn(node:o node:p) callstmt(dsgn(node:q))))"},
};

TEST(FsILParser, ProgramTable) {
    for (const Case& c : kPrograms)
        EXPECT_EQ(Parse(c.language, c.source), c.expected) << c.language << ": " << c.source;
}

const Case kErrors[] = {
    {P, "begin end", "error: '.' expected @ 1:10"},
    {P, "", "error: 'BEGIN' expected @ 1:1"},
    {P, "begin a := 1\r\n  b := 2 end.", "error: ';' expected @ 2:3"},
    {P, "begin a : = 1; end.", "error: '=' expected @ 1:11"},
    {P, "begin if a b := 1; end.", "error: 'THEN' expected @ 1:12"},
    {P, "begin a := b + c + end.", "error: ';' expected @ 1:18"},
    {P, "uses 'none.pas'; begin end.", "error: " + Refused("none.pas") + " @  in none.pas"},
    {C, "#include \"none.cpp\" { }", "error: " + Refused("none.cpp") + " @  in none.cpp"},
    {B, "imports \"none.vb\"\r\n", "error: " + Refused("none.vb") + " @  in none.vb"},
    {J, "import \"none.js\";", "error: " + Refused("none.js") + " @  in none.js"},
    {J, "for (i = 0; i < 2; i++) ;", "error: Statement expected @ 1:1"},
    {P, "begin x := ; end.", "error: Expression expected @ 1:12"},
    {P, "begin x := (1 + 2; end.", "error: ')' expected @ 1:18"},
    {P, "begin a[1 end.", "error: ']' expected @ 1:11"},
    {P, "begin for i = 1 to 2 do; end.", "error: ':' expected @ 1:13"},
    {P, "begin for i := 1 while 2 do; end.", "error: 'TO' or 'DOWNTO' expected @ 1:18"},
    {P, "begin for i := 1 to 2 x; end.", "error: 'DO' expected @ 1:23"},
    {P, "begin repeat a; end.", "error: 'UNTIL' expected @ 1:17"},
    {P, "begin try a; b end.", "error: 'FINALLY' or 'EXCEPT' expected @ 1:16"},
    {P, "begin case a 1: end end.", "error: 'OF' expected @ 1:14"},
    {P, "begin case a of 1: b else c", "error: 'END' expected @ 1:28"},
    {P, "begin x := <abc ; end.", "error: '>' expected @ 1:23"},
    {P, "begin x := [1 . 2]; end.", "error: '.' expected @ 1:17"},
    {P, "const c 5; begin end.", "error: '=' expected @ 1:9"},
    {P, "var a Integer; begin end.", "error: ':' expected @ 1:7"},
    {P, "var a: array[1] Integer; begin end.", "error: 'OF' expected @ 1:17"},
    {P, "function F: ; begin end; begin end.", "error: Identifier expected @ 1:13"},
    {P, "procedure P begin end; begin end.", "error: ';' expected @ 1:13"},
    {P, "procedure P(a: Integer; begin end; begin end.", "error: ')' expected @ 1:25"},
    {P, "begin a.; end.", "error: Identifier expected @ 1:9"},
    {C, "", "error: '{' expected @ 1:1"},
    {C, "{ a = 1 }", "error: ';' expected @ 1:9"},
    {C, "{", "error: '}' expected @ 1:2"},
    {C, "# x 5 { }", "error: 'DEFINE' expected @ 1:3"},
    {C, "{ if a) b(); }", "error: '(' expected @ 1:6"},
    {C, "{ switch (a) case 1: ; }", "error: '{' expected @ 1:14"},
    {C, "{ do a(); until (b); }", "error: 'WHILE' expected @ 1:11"},
    {C, "{ try { } }", "error: 'FINALLY' or 'EXCEPT' expected @ 1:11"},
    {C, "{ a = b[1; }", "error: ']' expected @ 1:10"},
    {C, "{ a = ; }", "error: Expression expected @ 1:7"},
    {C, "{ x = 1; } trailing", "error: Statement expected @ 1:12"},
    {B, "x = 1", "error: End of line expected @ 1:6"},
    {B, "x = 1 ' a comment does not hide the line end\r\ny = 2 rem neither does rem\r\n",
        "compoundstmt(assignstmt(dsgn(node:x) expr(number:1)) assignstmt(dsgn(node:y) expr(number:2)))"},
    {B, "remaining = 5\r\n", "compoundstmt(assignstmt(dsgn(node:remaining) expr(number:5)))"},
    {B, "if a then\r\nb = 1\r\n", "error: 'END' expected @ 3:1"},
    {B, "if a then\r\nend\r\n", "error: 'IF' expected @ 2:4"},
    {B, "if a b\r\n", "error: 'THEN' expected @ 1:6"},
    {B, "for i = 1 2\r\nnext\r\n", "error: 'TO' expected @ 1:11"},
    {B, "for i 1 to 2\r\nnext\r\n", "error: '=' expected @ 1:7"},
    {B, "for i = 1 to 2\r\nx = 1\r\n", "error: 'NEXT' expected @ 3:1"},
    {B, "while a\r\nb = 1\r\n", "error: 'WEND' expected @ 3:1"},
    {B, "select a\r\n", "error: 'CASE' expected @ 1:8"},
    {B, "select case a\r\ncase 1: x = 1\r\nend\r\n", "error: 'SELECT' expected @ 3:4"},
    {B, "select case a\r\ncase 1: x = 1\r\ncase\r\nend select\r\n", "error: 'ELSE' expected @ 3:5"},
    {B, "select case a\r\ncase 1: x = 1\r\ncase b\r\nend select\r\n", "error: ':' expected @ 3:7"},
    {B, "do\r\nloop x\r\n", "error: 'WHILE' expected @ 2:6"},
    {B, "try\r\nx = 1\r\nend try\r\n", "error: 'FINALLY' or 'CATCH' expected @ 3:1"},
    {B, "try\r\nfinally\r\nend\r\n", "error: 'TRY' expected @ 3:4"},
    {B, "with a\r\nx\r\nend\r\n", "error: 'WITH' expected @ 3:4"},
    {B, "sub P\r\nend\r\n", "error: 'SUB' expected @ 2:4"},
    {B, "function F\r\nend\r\n", "error: 'FUNCTION' expected @ 2:4"},
    {B, "x = (1\r\n", "error: ')' expected @ 1:7"},
    {B, "x = @\r\n", "error: Expression expected @ 1:5"},
    {J, "a = 1; @x; b = 2;", "error: Statement expected @ 1:8"},
    {J, "if (a b = 1;", "error: ')' expected @ 1:7"},
    {J, "if a) b = 1;", "error: '(' expected @ 1:4"},
    {J, "function (a) {}", "error: Expression expected @ 1:10"},
    {J, "do a(); while b;", "error: '(' expected @ 1:15"},
    {J, "do a(); b();", "error: 'WHILE' expected @ 1:9"},
    {J, "try a(); b();", "error: 'FINALLY' or 'EXCEPT' expected @ 1:10"},
    {J, "{ a(); ", "error: '}' expected @ 1:8"},
    {J, "switch (a) x", "error: '{' expected @ 1:12"},
    {J, "for (a = 1, 2) x();", "error: ';' expected @ 1:11"},
    {C, "{ delete ; }", "error: Expression expected @ 1:10"},
    {C, "{ o = new 5; }", "error: Expression expected @ 1:11"},
    {B, "delete\r\n", "error: Expression expected @ 1:7"},
    {B, "o = new \"x\"\r\n", "error: Expression expected @ 1:9"},
    {J, "delete 1;", "error: Expression expected @ 1:8"},
    {J, "o = new (a);", "error: Expression expected @ 1:9"},
};

TEST(FsILParser, ErrorTable) {
    for (const Case& c : kErrors) EXPECT_EQ(Parse(c.language, c.source), c.expected) << c.language << ": " << c.source;
}

TEST(FsILParser, EveryRuleOfEveryGrammarIsExercised) {
    for (const Case& c : kPrograms) Parse(c.language, c.source);
    for (const Case& c : kErrors) Parse(c.language, c.source);
    for (const char* language : {P, C, B, J}) {
        TfsXMLDocument grammar;
        grammar.LoadFromString(fsGetLanguage(language));
        for (int i = 2; i < grammar.Root()->Count(); ++i) {
            const std::string& rule = grammar.Root()->Items(i)->Name;
            // PascalScript defines the rule "empty" but no rule of it refers to it.
            if (rule == "empty" && std::string(language) == P) continue;
            EXPECT_TRUE(Coverage()[language].count(rule)) << language << ": rule " << rule << " never matched";
        }
    }
}

TEST(FsILParser, PositionsOfNodesAndLeaves) {
    TestHost host;
    TfsILParser parser(host);
    parser.LoadGrammar(P);
    ASSERT_TRUE(parser.BuildIL("begin\r\n  x := a + 12;\r\nend."));
    TfsXMLItem* assign = parser.ILDocument().Root()->Items(0)->Items(0);
    EXPECT_EQ(assign->Name, "assignstmt");
    EXPECT_EQ(assign->Prop("pos"), "2:3");  // where the construct starts
    TfsXMLItem* expr = assign->Items(1);
    EXPECT_EQ(expr->Prop("pos"), "2:8");
    EXPECT_EQ(expr->Prop("pos1"), "2:14");  // just after its end
    EXPECT_EQ(expr->Items(2)->Prop("pos"), "2:14");  // a leaf: after its token
    EXPECT_EQ(assign->Items(0)->Items(0)->Prop("pos"), "2:4");
    // The builder cuts the expression's source text between pos and pos1.
    TfsParser& t = parser.Parser();
    int from = t.GetTextPos(8, 2), to = t.GetTextPos(14, 2);
    EXPECT_EQ(t.Copy(from, to), "a + 12");
}

TEST(FsILParser, TypesOfTheLanguageEndTheProgram) {
    TestHost host;
    TfsILParser parser(host);
    parser.LoadGrammar(C);
    ASSERT_TRUE(parser.BuildIL("{ }"));
    TfsXMLItem* root = parser.ILDocument().Root();
    EXPECT_EQ(root->Name, "program");
    EXPECT_EQ(RenderIL(root, true), "compoundstmt types(int long void bool float)");
    EXPECT_EQ(root->Items(1)->Items(4)->Prop("type"), "extended");
    EXPECT_TRUE(parser.NeedDeclareVars());
    parser.LoadGrammar(J);
    EXPECT_FALSE(parser.NeedDeclareVars());
}

TEST(FsILParser, LanguageDirective) {
    EXPECT_EQ(Parse(P, "#language BasicScript\r\nx = 1\r\n"), "compoundstmt(assignstmt(dsgn(node:x) expr(number:1)))");
    EXPECT_EQ(Parse(P, "#Language  JScript  \r\nx = 1;"), "compoundstmt(assignstmt(dsgn(node:x) expr(number:1)))");
    // "#include" is no directive: the C++Script text is parsed from its start.
    TestHost host;
    host.Units = {{"u.cpp", "int u; { }"}};
    EXPECT_EQ(
        Parse(C, "#include \"u.cpp\"\r\n{ }", &host), "uses(program(var(type:int ident:u) compoundstmt)) compoundstmt");
    EXPECT_THROW(Parse(P, "#language Cobol\r\nbegin end."), Exception);
}

TEST(FsILParser, TermClearsAnErrorOfALaterPass) {
    // The second pass of the var loop fails on "begin" with "Identifier expected" (term):
    // one pass completed, so the error is cleared.
    EXPECT_EQ(Parse(P, "var a: Integer; begin end."), "var(ident:a type:Integer) compoundstmt");
    // The case loop (skip) clears the error of a selector that is not there.
    EXPECT_EQ(Parse(P, "begin case a of 1: b; end end."),
        "compoundstmt(casestmt(expr(dsgn(node:a)) caseselector(set(expr(number:1)) callstmt(dsgn(node:b)))))");
}

TEST(FsILParser, UsedUnits) {
    TestHost host;
    host.Units = {{"a.pas", "uses 'b.pas'; var va: Integer; begin end."}, {"b.pas", "var vb: Integer; begin end."},
        {"c.pas", "var vc: Integer; begin end."}};
    // Named in reverse order of inclusion; b is included once although a uses it too.
    host.Units[0].second = "uses 'B.PAS'; var va: Integer; begin end.";
    EXPECT_EQ(Parse(P, "uses 'a.pas', 'c.pas', 'b.pas'; begin end.", &host),
        "uses(program(var(ident:vb type:Integer) compoundstmt)) uses(program(var(ident:vc type:Integer) compoundstmt)) "
        "uses(program(var(ident:va type:Integer) compoundstmt)) compoundstmt");
    EXPECT_EQ(host.Requests, 3);
    // A unit that an included unit uses is spliced inside that unit.
    host.Requests = 0;
    host.Units[0].second = "uses 'b.pas'; var va: Integer; begin end.";
    EXPECT_EQ(Parse(P, "uses 'a.pas'; begin end.", &host),
        "uses(program(uses(program(var(ident:vb type:Integer) compoundstmt)) var(ident:va type:Integer) compoundstmt)) "
        "compoundstmt");
    EXPECT_EQ(host.Requests, 2);

    TestHost bad;
    bad.Units = {{"bad.pas", "begin\r\n  x := ;\r\nend."}};
    bad.ErrorUnit = "stale.pas";
    EXPECT_EQ(Parse(P, "uses 'bad.pas'; begin end.", &bad), "error: Expression expected @ 2:8 in bad.pas");

    TestHost clean;
    clean.ErrorUnit = "stale.pas";
    EXPECT_EQ(Parse(P, "begin x end", &clean), "error: '.' expected @ 1:12");
}

TEST(FsILParser, UnitFromDiskAndMissingUnit) {
    std::string name = ::testing::TempDir() + "karomil_unit.js";
    {
        std::ofstream f(name, std::ios::binary);
        f << "var fromDisk = 1;\n";
    }
    TestHost host;
    host.FileFolder = ::testing::TempDir();  // the script's own folder: units are read from it
    std::string il = Parse(J, "import \"" + name + "\"; x = fromDisk;", &host);
    EXPECT_EQ(il,
        "compoundstmt(uses(program(compoundstmt(var(ident:fromDisk init(expr(number:1)))))) "
        "assignstmt(dsgn(node:x) expr(dsgn(node:fromDisk))))");
    std::remove(name.c_str());
    // A missing unit is a compile error, not an exception.
    EXPECT_EQ(Parse(J, "import \"/nonexistent/u.js\";"),
        "error: Skript nesmí číst soubor „/nonexistent/u.js“: leží mimo složky, které má k dispozici. @  in "
        "/nonexistent/u.js");
    // Within the script's folder a missing unit is a missing file.
    TestHost inFolder;
    inFolder.FileFolder = ::testing::TempDir();
    EXPECT_EQ(Parse(J, "import \"" + ::testing::TempDir() + "none.js\";", &inFolder),
        "error: Cannot open file \"" + ::testing::TempDir() + "none.js\" @  in " + ::testing::TempDir() + "none.js");
}

TEST(FsILParser, StringLiteralsSurviveTheIntermediateXml) {
    // Characters that XML escapes and a literal character reference come back unchanged.
    TestHost host;
    TfsILParser parser(host);
    parser.LoadGrammar(P);
    ASSERT_TRUE(parser.BuildIL("begin s := '<a href=\"x\">&#65;'#10 end."));
    TfsXMLItem* str = parser.ILDocument().Root()->Items(0)->Items(0)->Items(1)->Items(0);
    EXPECT_EQ(str->Name, "string");
    EXPECT_EQ(str->Prop("text"), "'<a href=\"x\">&#65;\n'");
}

TEST(FsILParser, MissingRuleIsAnInvalidLanguage) {
    fsRegisterLanguage(
        "Broken", "<?xml version=\"1.0\"?><language><parser/><types/><program><nothing/></program></language>");
    TestHost host;
    TfsILParser parser(host);
    parser.LoadGrammar("broken");
    try {
        parser.BuildIL("x");
        ADD_FAILURE();
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "Neplatná definice jazyka");
    }
}

TEST(FsILParser, ExtendedCharsetAdmitsCzechNames) {
    TestHost host;
    host.ExtendedCharset = true;
    EXPECT_EQ(Parse(P, "begin počet := 1 end.", &host), "compoundstmt(assignstmt(dsgn(node:počet) expr(number:1)))");
    EXPECT_EQ(Parse(P, "begin počet := 1 end."), "error: ';' expected @ 1:9");
}

}  // namespace

namespace {

TEST(FsILParser, GrammarIsReadOnceAndFollowsItsRegistration) {
    TestHost host;
    TfsILParser first(host), second(host);
    first.LoadGrammar(P);
    second.LoadGrammar("pascalscript");
    EXPECT_EQ(&first.Grammar(), &second.Grammar());  // one document for every parser

    // A language registered anew gets its new grammar; a parser that holds the old one
    // still parses with it.
    fsUnregisterLanguages();
    fsRegisterLanguage(P,
        "<?xml version=\"1.0\"?><language><parser><errors><err3 text=\"Nic\"/></errors></parser><types/>"
        "<program><keyword text=\"hello\"/></program></language>");
    TfsILParser third(host);
    third.LoadGrammar(P);
    EXPECT_NE(&third.Grammar(), &first.Grammar());
    EXPECT_TRUE(third.BuildIL("hello"));
    EXPECT_FALSE(third.BuildIL("begin end."));
    EXPECT_EQ(host.ErrorMsg, "Nic");
    EXPECT_TRUE(first.BuildIL("begin end."));
    fsUnregisterLanguages();
    fsRegisterStandardLanguages();
    EXPECT_EQ(Parse(P, "begin end."), "compoundstmt");
}

}  // namespace
