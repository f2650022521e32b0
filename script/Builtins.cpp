#include "script/Builtins.h"

#include <cmath>
#include <iostream>
#include <vector>

#include "script/ClassBindings.h"
#include "script/EventAdapters.h"

#include "platform/rtl/Strings.h"
#include "platform/rtl/SysUtils.h"
#include "script/OleHelper.h"
#include "script/ScriptTools.h"

namespace {

TfsScript* gGlobalUnit = nullptr;
TFunctions* gFunctions = nullptr;
std::function<void(const std::string&)> gShowMessage;

struct BindingUnit {
    void (*Start)();
    void (*Stop)();
};

// The binding units outside the engine's core, in the order they enrolled.
std::vector<BindingUnit>& BindingUnits() {
    static std::vector<BindingUnit> units;
    return units;
}

Variant DateValue(TDateTime d) { return Variant::FromDate(d); }

// Whole numbers of the library are 32-bit; beyond that is an overflow, not a wrapped value.
Variant Int32Result(int64_t v) {
    if (v < INT32_MIN || v > INT32_MAX) throw EIntOverflow(SIntegerOverflow);
    return Variant(int(v));
}

Variant Null() { return Variant::Null(); }

// One callable per function, beside its declaration.
struct Fn {
    const char* Declaration;
    const char* Category;
    Variant (*Call)(TfsParams&);
};

const Fn kFunctions[] = {
    {"function IntToStr(i: Integer): String", "ctConv", [](TfsParams& p) { return Variant(IntToStr(p[0].AsInt64())); }},
    {"function FloatToStr(e: Extended): String", "ctConv",
        [](TfsParams& p) { return Variant(FloatToStr(p[0].AsDouble())); }},
    {"function DateToStr(e: Extended): String", "ctConv",
        [](TfsParams& p) { return Variant(DateToStr(p[0].AsDouble())); }},
    {"function TimeToStr(e: Extended): String", "ctConv",
        [](TfsParams& p) { return Variant(TimeToStr(p[0].AsDouble())); }},
    {"function DateTimeToStr(e: Extended): String", "ctConv",
        [](TfsParams& p) { return Variant(DateTimeToStr(p[0].AsDouble())); }},
    {"function VarToStr(v: Variant): String", "ctConv", [](TfsParams& p) { return Variant(VarToStr(p[0])); }},
    {"function StrToInt(s: String): Integer", "ctConv", [](TfsParams& p) { return Variant(StrToInt(VarToStr(p[0]))); }},
    {"function StrToFloat(s: String): Extended", "ctConv",
        [](TfsParams& p) { return Variant(StrToFloat(VarToStr(p[0]))); }},
    {"function StrToDate(s: String): Extended", "ctConv",
        [](TfsParams& p) { return DateValue(StrToDate(VarToStr(p[0]))); }},
    {"function StrToTime(s: String): Extended", "ctConv",
        [](TfsParams& p) { return DateValue(StrToTime(VarToStr(p[0]))); }},
    {"function StrToDateTime(s: String): Extended", "ctConv",
        [](TfsParams& p) { return DateValue(StrToDateTime(VarToStr(p[0]))); }},
    {"function Format(Fmt: String; Args: array): String", "ctFormat",
        [](TfsParams& p) {
            // Every argument keeps its own kind (64-bit integers and long texts included).
            std::vector<Variant> args;
            if (p[1].IsArray()) {
                const int lo = VarArrayLowBound(p[1], 1), hi = VarArrayHighBound(p[1], 1);
                for (int i = lo; i <= hi; ++i) args.push_back(p[1].GetElement({i}));
            } else if (!p[1].IsNull() && !p[1].IsEmpty()) {
                args.push_back(p[1]);
            }
            return Variant(Format(VarToStr(p[0]), args));
        }},
    {"function FormatFloat(Fmt: String; Value: Extended): String", "ctFormat",
        [](TfsParams& p) { return Variant(FormatFloat(VarToStr(p[0]), p[1].AsDouble())); }},
    {"function FormatDateTime(Fmt: String; DateTime: TDateTime): String", "ctFormat",
        [](TfsParams& p) { return Variant(FormatDateTime(VarToStr(p[0]), p[1].AsDouble())); }},
    {"function FormatMaskText(EditMask: string; Value: string): string", "ctFormat",
        [](TfsParams& p) { return Variant(FormatMaskText(VarToStr(p[0]), VarToStr(p[1]))); }},
    {"function EncodeDate(Year, Month, Day: Word): TDateTime", "ctDate",
        [](TfsParams& p) { return DateValue(EncodeDate(p[0].AsInteger(), p[1].AsInteger(), p[2].AsInteger())); }},
    {"procedure DecodeDate(Date: TDateTime; var Year, Month, Day: Word)", "ctDate",
        [](TfsParams& p) {
            int y, m, d;
            DecodeDate(p[0].AsDouble(), y, m, d);
            p[1] = Variant(y);
            p[2] = Variant(m);
            p[3] = Variant(d);
            return Null();
        }},
    {"function EncodeTime(Hour, Min, Sec, MSec: Word): TDateTime", "ctDate",
        [](TfsParams& p) {
            return DateValue(EncodeTime(p[0].AsInteger(), p[1].AsInteger(), p[2].AsInteger(), p[3].AsInteger()));
        }},
    {"procedure DecodeTime(Time: TDateTime; var Hour, Min, Sec, MSec: Word)", "ctDate",
        [](TfsParams& p) {
            int h, m, s, ms;
            DecodeTime(p[0].AsDouble(), h, m, s, ms);
            p[1] = Variant(h);
            p[2] = Variant(m);
            p[3] = Variant(s);
            p[4] = Variant(ms);
            return Null();
        }},
    {"function Date: TDateTime", "ctDate", [](TfsParams&) { return DateValue(::Date()); }},
    {"function Time: TDateTime", "ctDate", [](TfsParams&) { return DateValue(::Time()); }},
    {"function Now: TDateTime", "ctDate", [](TfsParams&) { return DateValue(::Now()); }},
    {"function DayOfWeek(aDate: TDateTime): Integer", "ctDate",
        [](TfsParams& p) { return Variant(DayOfWeek(p[0].AsDouble())); }},
    {"function IsLeapYear(Year: Word): Boolean", "ctDate",
        [](TfsParams& p) { return Variant(IsLeapYear(p[0].AsInteger())); }},
    {"function DaysInMonth(nYear, nMonth: Integer): Integer", "ctDate",
        [](TfsParams& p) {
            const int month = p[1].AsInteger();
            if (month < 1 || month > 12) throw ERangeError("Range check error");
            return Variant(DaysInMonth(p[0].AsInteger(), month));
        }},
    {"function Length(s: Variant): Integer", "ctString",
        [](TfsParams& p) {
            if (p[0].IsArray()) return Variant(VarArrayHighBound(p[0], 1) - VarArrayLowBound(p[0], 1) + 1);
            return Int32Result(Utf8Length(VarToStr(p[0])));
        }},
    {"function Copy(s: String; from, count: Integer): String", "ctString",
        [](TfsParams& p) { return Variant(Utf8Copy(VarToStr(p[0]), p[1].AsInt64(), p[2].AsInt64())); }},
    {"function Pos(substr, s: String): Integer", "ctString",
        [](TfsParams& p) { return Int32Result(Utf8Pos(VarToStr(p[0]), VarToStr(p[1]))); }},
    {"procedure Delete(var s: String; from, count: Integer)", "ctString",
        [](TfsParams& p) {
            std::string s = VarToStr(p[0]);
            Utf8Delete(s, p[1].AsInt64(), p[2].AsInt64());
            p[0] = Variant(std::move(s));
            return Null();
        }},
    {"procedure Insert(s: String; var s2: String; pos: Integer)", "ctString",
        [](TfsParams& p) {
            std::string s2 = VarToStr(p[1]);
            Utf8Insert(VarToStr(p[0]), s2, p[2].AsInt64());
            p[1] = Variant(std::move(s2));
            return Null();
        }},
    {"function Uppercase(s: String): String", "ctString",
        [](TfsParams& p) { return Variant(AnsiUpperCase(VarToStr(p[0]))); }},
    {"function Lowercase(s: String): String", "ctString",
        [](TfsParams& p) { return Variant(AnsiLowerCase(VarToStr(p[0]))); }},
    {"function Trim(s: String): String", "ctString", [](TfsParams& p) { return Variant(Trim(VarToStr(p[0]))); }},
    {"function NameCase(s: String): String", "ctString",
        [](TfsParams& p) {
            std::u32string s = Utf8ToU32(AnsiLowerCase(VarToStr(p[0])));
            if (!s.empty()) s[0] = CharUpper(s[0]);
            // The first position counts only as the first character: after a leading blank the
            // next character stays in lower case.
            for (size_t i = 2; i < s.size(); ++i)
                if (s[i - 1] == U' ') s[i] = CharUpper(s[i]);
            return Variant(U32ToUtf8(s));
        }},
    {"function CompareText(s, s1: String): Integer", "ctString",
        [](TfsParams& p) { return Variant(AnsiCompareText(VarToStr(p[0]), VarToStr(p[1]))); }},
    {"function Chr(i: Integer): Char", "ctString",
        [](TfsParams& p) { return Variant(Utf8FromCodePoint(char32_t(p[0].AsInteger()))); }},
    {"function Ord(ch: Char): Integer", "ctString",
        [](TfsParams& p) {
            const std::string s = VarToStr(p[0]);
            size_t pos = 0;
            return Variant(s.empty() ? 0 : int(Utf8Next(s, pos)));
        }},
    {"procedure SetLength(var S: Variant; L: Integer)", "ctString",
        [](TfsParams& p) {
            const int len = p[1].AsInteger();
            if (p[0].IsString()) {
                std::string s = p[0].RawString();
                Utf8SetLength(s, len);
                p[0] = Variant(std::move(s));
            } else {
                VarArrayRedim(p[0], len - 1);
            }
            return Null();
        }},
    {"function Round(e: Extended): Integer", "ctMath",
        [](TfsParams& p) { return Int32Result(Round(p[0].AsDouble())); }},
    {"function Trunc(e: Extended): Integer", "ctMath",
        [](TfsParams& p) { return Int32Result(Trunc(p[0].AsDouble())); }},
    {"function Int(e: Extended): Integer", "ctMath", [](TfsParams& p) { return Variant(Int(p[0].AsDouble())); }},
    {"function Frac(X: Extended): Extended", "ctMath", [](TfsParams& p) { return Variant(Frac(p[0].AsDouble())); }},
    {"function Sqrt(e: Extended): Extended", "ctMath",
        [](TfsParams& p) { return Variant(std::sqrt(p[0].AsDouble())); }},
    {"function Abs(e: Extended): Extended", "ctMath", [](TfsParams& p) { return Variant(std::fabs(p[0].AsDouble())); }},
    {"function Sin(e: Extended): Extended", "ctMath", [](TfsParams& p) { return Variant(std::sin(p[0].AsDouble())); }},
    {"function Cos(e: Extended): Extended", "ctMath", [](TfsParams& p) { return Variant(std::cos(p[0].AsDouble())); }},
    {"function ArcTan(X: Extended): Extended", "ctMath",
        [](TfsParams& p) { return Variant(std::atan(p[0].AsDouble())); }},
    {"function Tan(X: Extended): Extended", "ctMath",
        [](TfsParams& p) {
            const double e = p[0].AsDouble();
            return Variant(std::sin(e) / std::cos(e));
        }},
    {"function Exp(X: Extended): Extended", "ctMath", [](TfsParams& p) { return Variant(std::exp(p[0].AsDouble())); }},
    {"function Ln(X: Extended): Extended", "ctMath", [](TfsParams& p) { return Variant(std::log(p[0].AsDouble())); }},
    {"function Pi: Extended", "ctMath", [](TfsParams&) { return Variant(3.1415926535897932385); }},
    {"procedure Inc(var i: Integer; incr: Integer = 1)", "ctOther",
        [](TfsParams& p) {
            p[0] = p[0] + p[1];
            return Null();
        }},
    {"procedure Dec(var i: Integer; decr: Integer = 1)", "ctOther",
        [](TfsParams& p) {
            p[0] = p[0] - p[1];
            return Null();
        }},
    {"procedure RaiseException(Param: String)", "ctOther",
        [](TfsParams& p) -> Variant { throw Exception(VarToStr(p[0])); }},
    {"procedure ShowMessage(Msg: Variant)", "ctOther",
        [](TfsParams& p) {
            if (gShowMessage) gShowMessage(VarToStr(p[0]));
            else std::cerr << VarToStr(p[0]) << std::endl;
            return Null();
        }},
    {"procedure Randomize", "ctOther",
        [](TfsParams&) {
            Randomize();
            return Null();
        }},
    {"function Random: Extended", "ctOther", [](TfsParams&) { return Variant(Random()); }},
    {"function ValidInt(cInt: String): Boolean", "ctOther",
        [](TfsParams& p) {
            int32_t v;
            return Variant(TryStrToInt(VarToStr(p[0]), v));
        }},
    {"function ValidFloat(cFlt: String): Boolean", "ctOther",
        [](TfsParams& p) {
            double v;
            return Variant(TryStrToFloat(VarToStr(p[0]), v));
        }},
    {"function ValidDate(cDate: String): Boolean", "ctOther",
        [](TfsParams& p) {
            TDateTime d;
            return Variant(TryStrToDate(VarToStr(p[0]), d, FormatSettings()));
        }},
    {"function CreateOleObject(ClassName: String): Variant", "ctOther",
        [](TfsParams& p) { return CreateOleObject(VarToStr(p[0])); }},
    {"function VarArrayCreate(Bounds: Array; Typ: Integer): Variant", "ctOther",
        [](TfsParams& p) {
            std::vector<int> bounds;
            if (p[0].IsArray()) {
                const int lo = VarArrayLowBound(p[0], 1), hi = VarArrayHighBound(p[0], 1);
                for (int i = lo; i <= hi; ++i) bounds.push_back(p[0].GetElement({i}).AsInteger());
            }
            return VarArrayCreate(bounds, TVarType(p[1].AsInteger()));
        }},
    {"function VarType(V: Variant): Integer", "ctOther", [](TfsParams& p) { return Variant(int(p[0].VarType())); }},
};

const std::pair<const char*, int> kVarConstants[] = {
    {"varEmpty", 0},
    {"varNull", 1},
    {"varSmallint", 2},
    {"varInteger", 3},
    {"varSingle", 4},
    {"varDouble", 5},
    {"varCurrency", 6},
    {"varDate", 7},
    {"varOleStr", 8},
    {"varDispatch", 9},
    {"varError", 10},
    {"varBoolean", 11},
    {"varVariant", 12},
    {"varUnknown", 13},
    {"varShortInt", 16},
    {"varByte", 17},
    {"varWord", 18},
    {"varLongWord", 19},
    {"varInt64", 20},
    {"varStrArg", 72},
    {"varString", 256},
    {"varAny", 257},
    {"varTypeMask", 4095},
    {"varArray", 8192},
    {"varByRef", 16384},
};

void FillGlobalUnit(TfsScript* u) {
    for (const char* n : {"Byte", "Word", "Integer", "Longint", "Cardinal", "TColor"}) u->AddType(n, tcInteger);
    u->AddType("Boolean", tcBoolean);
    for (const char* n : {"Real", "Single", "Double", "Extended", "Currency", "TDate", "TTime", "TDateTime"})
        u->AddType(n, tcFloat);
    u->AddType("Char", tcChar);
    u->AddType("String", tcString);
    u->AddType("Variant", tcVariant);
    u->AddType("Pointer", tcVariant);
    u->AddType("Array", tcArray);
    u->AddType("Constructor", tcConstructor);
    u->AddConst("True", "Boolean", Variant(true));
    u->AddConst("False", "Boolean", Variant(false));
    u->AddConst("nil", "Variant", Variant(0));
    u->AddConst("Null", "Variant", Variant::Null());
}

}  // namespace

void fsSetShowMessageHandler(std::function<void(const std::string&)> handler) { gShowMessage = std::move(handler); }

TFunctions::TFunctions() {
    TfsScript* u = fsGlobalUnit();
    u->AddedBy = this;
    for (const Fn& f : kFunctions) {
        auto call = f.Call;
        u->AddMethod(
            f.Declaration, [call](TObject*, TClass, const std::string&, TfsParams& params) { return call(params); },
            f.Category);
    }
    for (const auto& [name, value] : kVarConstants) u->AddConst(name, "Integer", Variant(value));
    u->AddedBy = nullptr;
}

TFunctions::~TFunctions() {
    if (TfsScript* u = fsGlobalUnit()) u->RemoveItems(this);
}

TfsScript* fsGlobalUnit() { return gGlobalUnit; }

namespace script {

void AddBindingUnit(void (*start)(), void (*stop)()) {
    for (const BindingUnit& u : BindingUnits())
        if (u.Start == start) return;
    BindingUnits().push_back({start, stop});
    if (gGlobalUnit) start();
}

void Startup() {
    if (gGlobalUnit) return;
    fsRegisterStandardLanguages();
    gGlobalUnit = new TfsScript(nullptr);
    FillGlobalUnit(gGlobalUnit);
    gFunctions = new TFunctions;
    // The class-library bindings register into the global unit, so they come after it; the
    // units of the layers above after them.
    fsStartClassesRTTI();
    for (const BindingUnit& u : BindingUnits()) u.Start();
}

void Shutdown() {
    // Bindings remove their items while the global unit still exists; adapters go last.
    const auto& units = BindingUnits();
    for (auto it = units.rbegin(); it != units.rend(); ++it) it->Stop();
    fsStopClassesRTTI();
    fsFreeEventList();
    delete gGlobalUnit;
    gGlobalUnit = nullptr;
    // The library finds no global unit any more and removes nothing.
    delete gFunctions;
    gFunctions = nullptr;
}

}  // namespace script
