#include "script/EventAdapters.h"
#include "script/ClassBindings.h"
#include "script/gui/DialogBindings.h"
#include "script/gui/FormBindings.h"
#include "script/gui/GraphicsBindings.h"
#include "script/Builtins.h"

#include <cmath>
#include <iostream>

#include "platform/rtl/Strings.h"
#include "platform/rtl/SysUtils.h"
#include "script/OleHelper.h"
#include "script/ScriptTools.h"

namespace {

TfsScript* gGlobalUnit = nullptr;
TFunctions* gFunctions = nullptr;
std::function<void(const std::string&)> gShowMessage;

Variant DateValue(TDateTime d) { return Variant::FromDate(d); }

// Whole numbers of the library are 32-bit; beyond that is an overflow, not a wrapped value.
Variant Int32Result(int64_t v)
{
    if (v < INT32_MIN || v > INT32_MAX) throw EIntOverflow(SIntegerOverflow);
    return Variant(int(v));
}

Variant ConvToText(const std::string& name, TfsParams& p)
{
    if (name == "INTTOSTR") return Variant(IntToStr(p[0].AsInt64()));
    if (name == "FLOATTOSTR") return Variant(FloatToStr(p[0].AsDouble()));
    if (name == "DATETOSTR") return Variant(DateToStr(p[0].AsDouble()));
    if (name == "TIMETOSTR") return Variant(TimeToStr(p[0].AsDouble()));
    if (name == "DATETIMETOSTR") return Variant(DateTimeToStr(p[0].AsDouble()));
    return Variant::Null();
}

Variant ConvFromText(const std::string& name, TfsParams& p)
{
    const std::string s = VarToStr(p[0]);
    if (name == "STRTOINT") return Variant(StrToInt(s));
    if (name == "STRTOFLOAT") return Variant(StrToFloat(s));
    if (name == "STRTODATE") return DateValue(StrToDate(s));
    if (name == "STRTOTIME") return DateValue(StrToTime(s));
    if (name == "STRTODATETIME") return DateValue(StrToDateTime(s));
    return Variant::Null();
}

Variant Formatting(const std::string& name, TfsParams& p)
{
    if (name == "FORMAT") {
        // Every argument keeps its own kind (64-bit integers and long texts included).
        std::vector<Variant> args;
        if (p[1].IsArray()) {
            const int lo = VarArrayLowBound(p[1], 1), hi = VarArrayHighBound(p[1], 1);
            for (int i = lo; i <= hi; ++i) args.push_back(p[1].GetElement({i}));
        } else if (!p[1].IsNull() && !p[1].IsEmpty()) {
            args.push_back(p[1]);
        }
        return Variant(Format(VarToStr(p[0]), args));
    }
    if (name == "FORMATFLOAT") return Variant(FormatFloat(VarToStr(p[0]), p[1].AsDouble()));
    if (name == "FORMATDATETIME") return Variant(FormatDateTime(VarToStr(p[0]), p[1].AsDouble()));
    if (name == "FORMATMASKTEXT") return Variant(FormatMaskText(VarToStr(p[0]), VarToStr(p[1])));
    return Variant::Null();
}

Variant Dates(const std::string& name, TfsParams& p)
{
    if (name == "ENCODEDATE") return DateValue(EncodeDate(p[0].AsInteger(), p[1].AsInteger(), p[2].AsInteger()));
    if (name == "DECODEDATE") {
        int y, m, d;
        DecodeDate(p[0].AsDouble(), y, m, d);
        p[1] = Variant(y);
        p[2] = Variant(m);
        p[3] = Variant(d);
        return Variant::Null();
    }
    if (name == "ENCODETIME")
        return DateValue(EncodeTime(p[0].AsInteger(), p[1].AsInteger(), p[2].AsInteger(), p[3].AsInteger()));
    if (name == "DECODETIME") {
        int h, m, s, ms;
        DecodeTime(p[0].AsDouble(), h, m, s, ms);
        p[1] = Variant(h);
        p[2] = Variant(m);
        p[3] = Variant(s);
        p[4] = Variant(ms);
        return Variant::Null();
    }
    if (name == "DATE") return DateValue(::Date());
    if (name == "TIME") return DateValue(::Time());
    if (name == "NOW") return DateValue(::Now());
    if (name == "DAYOFWEEK") return Variant(DayOfWeek(p[0].AsDouble()));
    if (name == "ISLEAPYEAR") return Variant(IsLeapYear(p[0].AsInteger()));
    if (name == "DAYSINMONTH") {
        const int month = p[1].AsInteger();
        if (month < 1 || month > 12) throw ERangeError("Range check error");
        return Variant(DaysInMonth(p[0].AsInteger(), month));
    }
    return Variant::Null();
}

Variant Strings(const std::string& name, TfsParams& p)
{
    if (name == "LENGTH") {
        if (p[0].IsArray()) return Variant(VarArrayHighBound(p[0], 1) - VarArrayLowBound(p[0], 1) + 1);
        return Int32Result(Utf8Length(VarToStr(p[0])));
    }
    if (name == "COPY") return Variant(Utf8Copy(VarToStr(p[0]), p[1].AsInt64(), p[2].AsInt64()));
    if (name == "POS") return Int32Result(Utf8Pos(VarToStr(p[0]), VarToStr(p[1])));
    if (name == "DELETE") {
        std::string s = VarToStr(p[0]);
        Utf8Delete(s, p[1].AsInt64(), p[2].AsInt64());
        p[0] = Variant(std::move(s));
        return Variant::Null();
    }
    if (name == "INSERT") {
        std::string s2 = VarToStr(p[1]);
        Utf8Insert(VarToStr(p[0]), s2, p[2].AsInt64());
        p[1] = Variant(std::move(s2));
        return Variant::Null();
    }
    if (name == "UPPERCASE") return Variant(AnsiUpperCase(VarToStr(p[0])));
    if (name == "LOWERCASE") return Variant(AnsiLowerCase(VarToStr(p[0])));
    if (name == "TRIM") return Variant(Trim(VarToStr(p[0])));
    if (name == "NAMECASE") {
        std::u32string s = Utf8ToU32(AnsiLowerCase(VarToStr(p[0])));
        if (!s.empty()) s[0] = CharUpper(s[0]);
        // The first position counts only as the first character: after a leading blank the
        // next character stays in lower case.
        for (size_t i = 2; i < s.size(); ++i)
            if (s[i - 1] == U' ') s[i] = CharUpper(s[i]);
        return Variant(U32ToUtf8(s));
    }
    if (name == "COMPARETEXT") return Variant(AnsiCompareText(VarToStr(p[0]), VarToStr(p[1])));
    if (name == "CHR") return Variant(Utf8FromCodePoint(char32_t(p[0].AsInteger())));
    if (name == "ORD") {
        const std::string s = VarToStr(p[0]);
        size_t pos = 0;
        return Variant(s.empty() ? 0 : int(Utf8Next(s, pos)));
    }
    if (name == "SETLENGTH") {
        const int len = p[1].AsInteger();
        if (p[0].IsString()) {
            std::string s = p[0].RawString();
            Utf8SetLength(s, len);
            p[0] = Variant(std::move(s));
        } else {
            VarArrayRedim(p[0], len - 1);
        }
        return Variant::Null();
    }
    return Variant::Null();
}

Variant Maths(const std::string& name, TfsParams& p)
{
    if (name == "PI") return Variant(3.1415926535897932385);
    const double e = p[0].AsDouble();
    if (name == "ROUND") return Int32Result(Round(e));
    if (name == "TRUNC") return Int32Result(Trunc(e));
    if (name == "INT") return Variant(Int(e));
    if (name == "FRAC") return Variant(Frac(e));
    if (name == "SQRT") return Variant(std::sqrt(e));
    if (name == "ABS") return Variant(std::fabs(e));
    if (name == "SIN") return Variant(std::sin(e));
    if (name == "COS") return Variant(std::cos(e));
    if (name == "ARCTAN") return Variant(std::atan(e));
    if (name == "TAN") return Variant(std::sin(e) / std::cos(e));
    if (name == "EXP") return Variant(std::exp(e));
    if (name == "LN") return Variant(std::log(e));
    return Variant::Null();
}

Variant Other(const std::string& name, TfsParams& p)
{
    if (name == "VARTOSTR") return Variant(VarToStr(p[0]));
    if (name == "INC") { p[0] = p[0] + p[1]; return Variant::Null(); }
    if (name == "DEC") { p[0] = p[0] - p[1]; return Variant::Null(); }
    if (name == "RAISEEXCEPTION") throw Exception(VarToStr(p[0]));
    if (name == "SHOWMESSAGE") {
        if (gShowMessage) gShowMessage(VarToStr(p[0]));
        else std::cerr << VarToStr(p[0]) << std::endl;
        return Variant::Null();
    }
    if (name == "RANDOMIZE") { Randomize(); return Variant::Null(); }
    if (name == "RANDOM") return Variant(Random());
    if (name == "VALIDINT") { int32_t v; return Variant(TryStrToInt(VarToStr(p[0]), v)); }
    if (name == "VALIDFLOAT") { double v; return Variant(TryStrToFloat(VarToStr(p[0]), v)); }
    if (name == "VALIDDATE") { TDateTime d; return Variant(TryStrToDate(VarToStr(p[0]), d, FormatSettings())); }
    if (name == "CREATEOLEOBJECT") return CreateOleObject(VarToStr(p[0]));
    if (name == "VARARRAYCREATE") {
        std::vector<int> bounds;
        if (p[0].IsArray()) {
            const int lo = VarArrayLowBound(p[0], 1), hi = VarArrayHighBound(p[0], 1);
            for (int i = lo; i <= hi; ++i) bounds.push_back(p[0].GetElement({i}).AsInteger());
        }
        return VarArrayCreate(bounds, TVarType(p[1].AsInteger()));
    }
    if (name == "VARTYPE") return Variant(int(p[0].VarType()));
    return Variant::Null();
}

struct Fn {
    const char* Declaration;
    const char* Category;
    Variant (*Call)(const std::string&, TfsParams&);
};

const Fn kFunctions[] = {
    {"function IntToStr(i: Integer): String", "ctConv", ConvToText},
    {"function FloatToStr(e: Extended): String", "ctConv", ConvToText},
    {"function DateToStr(e: Extended): String", "ctConv", ConvToText},
    {"function TimeToStr(e: Extended): String", "ctConv", ConvToText},
    {"function DateTimeToStr(e: Extended): String", "ctConv", ConvToText},
    {"function VarToStr(v: Variant): String", "ctConv", Other},
    {"function StrToInt(s: String): Integer", "ctConv", ConvFromText},
    {"function StrToFloat(s: String): Extended", "ctConv", ConvFromText},
    {"function StrToDate(s: String): Extended", "ctConv", ConvFromText},
    {"function StrToTime(s: String): Extended", "ctConv", ConvFromText},
    {"function StrToDateTime(s: String): Extended", "ctConv", ConvFromText},
    {"function Format(Fmt: String; Args: array): String", "ctFormat", Formatting},
    {"function FormatFloat(Fmt: String; Value: Extended): String", "ctFormat", Formatting},
    {"function FormatDateTime(Fmt: String; DateTime: TDateTime): String", "ctFormat", Formatting},
    {"function FormatMaskText(EditMask: string; Value: string): string", "ctFormat", Formatting},
    {"function EncodeDate(Year, Month, Day: Word): TDateTime", "ctDate", Dates},
    {"procedure DecodeDate(Date: TDateTime; var Year, Month, Day: Word)", "ctDate", Dates},
    {"function EncodeTime(Hour, Min, Sec, MSec: Word): TDateTime", "ctDate", Dates},
    {"procedure DecodeTime(Time: TDateTime; var Hour, Min, Sec, MSec: Word)", "ctDate", Dates},
    {"function Date: TDateTime", "ctDate", Dates},
    {"function Time: TDateTime", "ctDate", Dates},
    {"function Now: TDateTime", "ctDate", Dates},
    {"function DayOfWeek(aDate: TDateTime): Integer", "ctDate", Dates},
    {"function IsLeapYear(Year: Word): Boolean", "ctDate", Dates},
    {"function DaysInMonth(nYear, nMonth: Integer): Integer", "ctDate", Dates},
    {"function Length(s: Variant): Integer", "ctString", Strings},
    {"function Copy(s: String; from, count: Integer): String", "ctString", Strings},
    {"function Pos(substr, s: String): Integer", "ctString", Strings},
    {"procedure Delete(var s: String; from, count: Integer)", "ctString", Strings},
    {"procedure Insert(s: String; var s2: String; pos: Integer)", "ctString", Strings},
    {"function Uppercase(s: String): String", "ctString", Strings},
    {"function Lowercase(s: String): String", "ctString", Strings},
    {"function Trim(s: String): String", "ctString", Strings},
    {"function NameCase(s: String): String", "ctString", Strings},
    {"function CompareText(s, s1: String): Integer", "ctString", Strings},
    {"function Chr(i: Integer): Char", "ctString", Strings},
    {"function Ord(ch: Char): Integer", "ctString", Strings},
    {"procedure SetLength(var S: Variant; L: Integer)", "ctString", Strings},
    {"function Round(e: Extended): Integer", "ctMath", Maths},
    {"function Trunc(e: Extended): Integer", "ctMath", Maths},
    {"function Int(e: Extended): Integer", "ctMath", Maths},
    {"function Frac(X: Extended): Extended", "ctMath", Maths},
    {"function Sqrt(e: Extended): Extended", "ctMath", Maths},
    {"function Abs(e: Extended): Extended", "ctMath", Maths},
    {"function Sin(e: Extended): Extended", "ctMath", Maths},
    {"function Cos(e: Extended): Extended", "ctMath", Maths},
    {"function ArcTan(X: Extended): Extended", "ctMath", Maths},
    {"function Tan(X: Extended): Extended", "ctMath", Maths},
    {"function Exp(X: Extended): Extended", "ctMath", Maths},
    {"function Ln(X: Extended): Extended", "ctMath", Maths},
    {"function Pi: Extended", "ctMath", Maths},
    {"procedure Inc(var i: Integer; incr: Integer = 1)", "ctOther", Other},
    {"procedure Dec(var i: Integer; decr: Integer = 1)", "ctOther", Other},
    {"procedure RaiseException(Param: String)", "ctOther", Other},
    {"procedure ShowMessage(Msg: Variant)", "ctOther", Other},
    {"procedure Randomize", "ctOther", Other},
    {"function Random: Extended", "ctOther", Other},
    {"function ValidInt(cInt: String): Boolean", "ctOther", Other},
    {"function ValidFloat(cFlt: String): Boolean", "ctOther", Other},
    {"function ValidDate(cDate: String): Boolean", "ctOther", Other},
    {"function CreateOleObject(ClassName: String): Variant", "ctOther", Other},
    {"function VarArrayCreate(Bounds: Array; Typ: Integer): Variant", "ctOther", Other},
    {"function VarType(V: Variant): Integer", "ctOther", Other},
};

const std::pair<const char*, int> kVarConstants[] = {
    {"varEmpty", 0},        {"varNull", 1},      {"varSmallint", 2},  {"varInteger", 3},   {"varSingle", 4},
    {"varDouble", 5},       {"varCurrency", 6},  {"varDate", 7},      {"varOleStr", 8},    {"varDispatch", 9},
    {"varError", 10},       {"varBoolean", 11},  {"varVariant", 12},  {"varUnknown", 13},  {"varShortInt", 16},
    {"varByte", 17},        {"varWord", 18},     {"varLongWord", 19}, {"varInt64", 20},    {"varStrArg", 72},
    {"varString", 256},     {"varAny", 257},     {"varTypeMask", 4095}, {"varArray", 8192}, {"varByRef", 16384},
};

void FillGlobalUnit(TfsScript* u)
{
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

TFunctions::TFunctions()
{
    TfsScript* u = fsGlobalUnit();
    u->AddedBy = this;
    for (const Fn& f : kFunctions) {
        auto call = f.Call;
        u->AddMethod(f.Declaration,
                     [call](TObject*, TClass, const std::string& name, TfsParams& params) { return call(name, params); },
                     f.Category);
    }
    for (const auto& [name, value] : kVarConstants) u->AddConst(name, "Integer", Variant(value));
    u->AddedBy = nullptr;
}

TFunctions::~TFunctions()
{
    if (TfsScript* u = fsGlobalUnit()) u->RemoveItems(this);
}

TfsScript* fsGlobalUnit() { return gGlobalUnit; }

namespace script {

void Startup()
{
    if (gGlobalUnit) return;
    fsRegisterStandardLanguages();
    gGlobalUnit = new TfsScript(nullptr);
    FillGlobalUnit(gGlobalUnit);
    gFunctions = new TFunctions;
    // The class-library bindings register into the global unit, so they come after it.
    fsStartClassesRTTI();
    fsStartGraphicsRTTI();
    fsStartFormsRTTI();
    fsStartDialogsRTTI();
}

void Shutdown()
{
    // Bindings remove their items while the global unit still exists; adapters go last.
    fsStopDialogsRTTI();
    fsStopFormsRTTI();
    fsStopGraphicsRTTI();
    fsStopClassesRTTI();
    fsFreeEventList();
    delete gGlobalUnit;
    gGlobalUnit = nullptr;
    // The library finds no global unit any more and removes nothing.
    delete gFunctions;
    gFunctions = nullptr;
}

}  // namespace script
