#include "platform/rtl/Variant.h"

#include <atomic>
#include <cassert>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <limits>

#include "platform/rtl/Strings.h"
#include "platform/rtl/SysUtils.h"

// Text and arrays are reference-counted and copied on the first write while shared.
struct Variant::StringRep {
    std::atomic<uint32_t> Refs{1};
    std::string Text;
    explicit StringRep(std::string t) : Text(std::move(t)) {}
};

struct Variant::ArrayRep {
    std::atomic<uint32_t> Refs{1};
    TVarType ElementType = varVariant;
    std::vector<int> Low, High;  // per dimension
    std::vector<Variant> Items;  // the first index varies fastest, so a redim of the last
        // dimension keeps every element where it is
    ArrayRep() = default;
    ArrayRep(const ArrayRep& o) : ElementType(o.ElementType), Low(o.Low), High(o.High), Items(o.Items) {}
};

namespace {

// A script may ask for any size; refuse absurd ones instead of letting the allocator abort.
constexpr int64_t kMaxArrayItems = int64_t(1) << 27;

[[noreturn]] void CastError(uint16_t from, TVarType to) {
    throw EVariantTypeCastError("Could not convert variant of type (" + VarTypeAsText(TVarType(from)) +
        ") into type (" + VarTypeAsText(to) + ")");
}

[[noreturn]] void OverflowError(uint16_t from, TVarType to) {
    throw EVariantOverflowError("Overflow while converting variant of type (" + VarTypeAsText(TVarType(from)) +
        ") into type (" + VarTypeAsText(to) + ")");
}

[[noreturn]] void InvalidOp() { throw EVariantInvalidOpError("Invalid variant operation"); }
[[noreturn]] void BadIndex() { throw EVariantBadIndexError("Variant or safe array index out of bounds"); }
[[noreturn]] void InvalidArg() { throw EVariantInvalidArgError("Invalid argument"); }
[[noreturn]] void TooLarge() { throw EOutOfMemory("Out of memory"); }

bool IsIntType(uint16_t t) noexcept {
    switch (t) {
    case varSmallint:
    case varInteger:
    case varShortInt:
    case varByte:
    case varWord:
    case varLongWord:
    case varInt64: return true;
    default: return false;
    }
}

bool FitsType(int64_t v, uint16_t t) noexcept {
    switch (t) {
    case varSmallint: return v >= INT16_MIN && v <= INT16_MAX;
    case varShortInt: return v >= INT8_MIN && v <= INT8_MAX;
    case varByte: return v >= 0 && v <= UINT8_MAX;
    case varWord: return v >= 0 && v <= UINT16_MAX;
    case varLongWord: return v >= 0 && v <= int64_t(UINT32_MAX);
    case varInteger: return v >= INT32_MIN && v <= INT32_MAX;
    default: return true;
    }
}

bool Fits32(int64_t v) noexcept { return v >= INT32_MIN && v <= INT32_MAX; }

// Text as a number by the locale: a whole number first, then a float.
bool ParseNumber(std::string_view s, bool& isInt, int64_t& i, double& d) {
    if (TryStrToInt64(s, i)) {
        isInt = true;
        return true;
    }
    if (TryStrToFloat(s, d, FormatSettings())) {
        isInt = false;
        return true;
    }
    return false;
}

// Halves to even, in exact integer arithmetic.
int64_t DivRoundEven(__int128 n, int64_t by) {
    __int128 q = n / by, r = n % by;
    const __int128 twice = (r < 0 ? -r : r) * 2;
    const int sign = (n < 0) != (by < 0) ? -1 : 1;
    if (twice > by || (twice == by && (q & 1) != 0)) q += sign;
    return int64_t(q);
}

int64_t DoubleToInt64(double d, uint16_t from, TVarType to) {
    // -2^63 <= d < 2^63 after rounding; NaN fails both tests.
    if (!(d >= -9223372036854775808.0 && d < 9223372036854775808.0)) OverflowError(from, to);
    return Round(d);
}

// The conversion to a whole number shared by every integer target; errors name `to`.
int64_t IntegerOf(const Variant& v, TVarType to) {
    const uint16_t t = v.VarType();
    if (v.IsArray()) CastError(t, to);
    switch (t) {
    case varEmpty: return 0;
    case varBoolean: return v.RawInt() ? -1 : 0;
    case varSingle:
    case varDouble:
    case varDate: return DoubleToInt64(v.RawDouble(), t, to);
    case varCurrency: return DivRoundEven(v.RawInt(), 10000);
    case varString:
    case varOleStr: {
        bool isInt;
        int64_t i;
        double d;
        if (!ParseNumber(v.RawString(), isInt, i, d)) CastError(t, to);
        return isInt ? i : DoubleToInt64(d, t, to);
    }
    default:
        if (IsIntType(t)) return v.RawInt();
        CastError(t, to);
    }
}

Variant MakeString(std::string text, TVarType type) {
    return type == varOleStr ? Variant::FromOleStr(text) : Variant(std::move(text));
}

Variant DefaultElement(TVarType t) {
    switch (t) {
    case varVariant: return Variant();
    case varString: return Variant(std::string());
    case varOleStr: return Variant::FromOleStr("");
    case varBoolean: return Variant(false);
    case varDate: return Variant::FromDate(0);
    case varCurrency: return Variant(Currency{});
    case varSingle: return Variant::FromSingle(0);
    case varDouble: return Variant(0.0);
    case varDispatch: return Variant(std::shared_ptr<IDispatchObject>());
    default: return Variant::FromInt(0, t);
    }
}

bool ValidElementType(TVarType t) noexcept {
    switch (t) {
    case varVariant:
    case varString:
    case varOleStr:
    case varBoolean:
    case varDate:
    case varCurrency:
    case varSingle:
    case varDouble:
    case varDispatch: return true;
    default: return IsIntType(t);
    }
}

}  // namespace

// --- Currency ---------------------------------------------------------------------------------

Currency Currency::FromDouble(double d) {
    const double scaled = d * 10000.0;
    if (!(scaled > -9223372036854775808.0 && scaled < 9223372036854775808.0))
        throw EInvalidOp("Invalid floating point operation");
    // Halves to even by hand, whatever the floating-point rounding mode is.
    double r = std::trunc(scaled);
    const double frac = std::fabs(scaled - r);
    if (frac > 0.5 || (frac == 0.5 && std::fmod(r, 2.0) != 0)) r += scaled < 0 ? -1 : 1;
    return Currency{int64_t(r)};
}

// --- life cycle -------------------------------------------------------------------------------

Variant::Variant(const char* s) : Variant(std::string_view(s ? s : "")) {}

Variant::Variant(std::string_view s) : FType(varString) { FData.s = new StringRep(std::string(s)); }

Variant::Variant(std::string&& s) : FType(varString) { FData.s = new StringRep(std::move(s)); }

Variant::Variant(std::shared_ptr<IDispatchObject> disp) : FType(varDispatch) {
    FData.disp = new std::shared_ptr<IDispatchObject>(std::move(disp));
}

Variant Variant::FromInt(int64_t value, TVarType type) {
    if (!IsIntType(type)) InvalidArg();
    if (!FitsType(value, type)) OverflowError(varInt64, type);
    Variant v;
    v.FType = type;
    v.FData.i = value;
    return v;
}

Variant Variant::FromOleStr(std::string_view s) {
    Variant v(s);
    v.FType = varOleStr;
    return v;
}

void Variant::ThrowIntegerOverflow() { OverflowError(varLongWord, varInt64); }

void Variant::CopyHeap(const Variant& o) {
    if (FType == varDispatch) {
        FType = varEmpty;  // stays valid if the allocation throws
        FData.disp = new std::shared_ptr<IDispatchObject>(*o.FData.disp);
        FType = varDispatch;
    } else {
        Retain();
    }
}

void Variant::Retain() noexcept {
    if (FType & varArray) FData.a->Refs.fetch_add(1, std::memory_order_relaxed);
    else if (FType == varString || FType == varOleStr) FData.s->Refs.fetch_add(1, std::memory_order_relaxed);
}

void Variant::Release() noexcept {
    if (FType & varArray) {
        if (FData.a->Refs.fetch_sub(1, std::memory_order_acq_rel) == 1) delete FData.a;
    } else if (FType == varString || FType == varOleStr) {
        if (FData.s->Refs.fetch_sub(1, std::memory_order_acq_rel) == 1) delete FData.s;
    } else if (FType == varDispatch) {
        delete FData.disp;
    }
    FType = varEmpty;
    FData.i = 0;
}

// --- kind tests and raw access ------------------------------------------------------------------

bool Variant::IsInteger() const noexcept { return IsIntType(FType); }
bool Variant::IsOrdinal() const noexcept { return FType == varBoolean || IsIntType(FType); }

bool Variant::IsFloat() const noexcept {
    return FType == varSingle || FType == varDouble || FType == varCurrency || FType == varDate;
}

bool Variant::IsNumeric() const noexcept {
    return IsIntType(FType) || FType == varSingle || FType == varDouble || FType == varCurrency;
}

const std::string& Variant::RawString() const noexcept {
    static const std::string empty;
    assert(IsString());
    return IsString() ? FData.s->Text : empty;
}

bool VarIsStr(const Variant& v) noexcept { return v.IsString(); }

// --- conversions --------------------------------------------------------------------------------

int32_t Variant::AsInteger() const {
    const int64_t v = IntegerOf(*this, varInteger);
    if (!Fits32(v)) OverflowError(FType, varInteger);
    return int32_t(v);
}

int64_t Variant::AsInt64() const { return IntegerOf(*this, varInt64); }

double Variant::AsDouble() const {
    if (IsArray()) CastError(FType, varDouble);
    switch (FType) {
    case varEmpty: return 0;
    case varBoolean: return FData.i ? -1 : 0;
    case varSingle:
    case varDouble:
    case varDate: return FData.d;
    case varCurrency: return Currency{FData.i}.ToDouble();
    case varString:
    case varOleStr: {
        double d;
        int64_t i;
        if (TryStrToFloat(FData.s->Text, d, FormatSettings())) return d;
        if (TryStrToInt64(FData.s->Text, i)) return double(i);  // "$1F" and the like
        CastError(FType, varDouble);
    }
    default:
        if (IsIntType(FType)) return double(FData.i);
        CastError(FType, varDouble);
    }
}

bool Variant::AsBoolean() const {
    if (IsArray()) CastError(FType, varBoolean);
    switch (FType) {
    case varEmpty: return false;
    case varBoolean: return FData.i != 0;
    case varSingle:
    case varDouble:
    case varDate: return FData.d != 0;
    case varCurrency: return FData.i != 0;
    case varString:
    case varOleStr: {
        const std::string& s = FData.s->Text;
        if (SameText(s, "True")) return true;
        if (SameText(s, "False")) return false;
        bool isInt;
        int64_t i;
        double d;
        if (!ParseNumber(s, isInt, i, d)) CastError(FType, varBoolean);
        return isInt ? i != 0 : d != 0;
    }
    default:
        if (IsIntType(FType)) return FData.i != 0;
        CastError(FType, varBoolean);
    }
}

std::string Variant::AsString() const {
    if (IsArray()) CastError(FType, varString);
    switch (FType) {
    case varEmpty: return std::string();
    case varBoolean: return FData.i ? "True" : "False";
    // A Single keeps only about 7 digits; printing its widened double with 15 digits would
    // show noise ("0,100000001490116" for 0.1), so it is printed with its own precision.
    case varSingle: return FloatToStrF(FData.d, ffGeneral, 7, 0);
    case varDouble: return FloatToStr(FData.d);
    case varDate: return DateTimeToStr(FData.d);
    case varCurrency: return CurrToStr(Currency{FData.i});
    case varString:
    case varOleStr: return FData.s->Text;
    default:
        if (IsIntType(FType)) return std::to_string(FData.i);
        CastError(FType, varString);
    }
}

TDateTime Variant::AsDate() const {
    if (IsString()) {
        TDateTime d;
        if (TryStrToDateTime(FData.s->Text, d, FormatSettings())) return d;
        CastError(FType, varDate);
    }
    if (IsArray() || !(FType == varEmpty || FType == varBoolean || IsNumeric() || FType == varDate))
        CastError(FType, varDate);
    return AsDouble();
}

Currency Variant::AsCurrency() const {
    constexpr int64_t limit = INT64_MAX / 10000;
    auto fromDouble = [this](double d) {
        if (!(std::fabs(d) < 922337203685477.0)) OverflowError(FType, varCurrency);
        return Currency::FromDouble(d);
    };
    auto fromInt = [this](int64_t i) {
        if (i > limit || i < -limit) OverflowError(FType, varCurrency);
        return Currency{i * 10000};
    };
    if (IsArray()) CastError(FType, varCurrency);
    switch (FType) {
    case varEmpty: return Currency{};
    case varBoolean: return Currency{FData.i ? -10000 : 0};
    case varCurrency: return Currency{FData.i};
    case varSingle:
    case varDouble:
    case varDate: return fromDouble(FData.d);
    case varString:
    case varOleStr: {
        bool isInt;
        int64_t i;
        double d;
        if (!ParseNumber(FData.s->Text, isInt, i, d)) CastError(FType, varCurrency);
        return isInt ? fromInt(i) : fromDouble(d);
    }
    default:
        if (IsIntType(FType)) return fromInt(FData.i);
        CastError(FType, varCurrency);
    }
}

std::shared_ptr<IDispatchObject> Variant::AsDispatch() const {
    if (FType == varDispatch) return *FData.disp;
    if (FType == varEmpty) return nullptr;
    CastError(FType, varDispatch);
}

std::string VarToStr(const Variant& v) { return v.IsNull() ? std::string() : v.AsString(); }

Variant VarAsType(const Variant& v, TVarType type) {
    if (type & (varArray | varByRef)) InvalidArg();
    if (v.IsArray()) {
        if (type == varVariant) return v;
        CastError(v.VarType(), type);
    }
    if (type == v.VarType()) return v;
    switch (type) {
    case varEmpty: return Variant();
    case varNull: return Variant::Null();
    case varVariant: return v;
    case varInteger: return Variant(v.AsInteger());
    case varInt64: return Variant(v.AsInt64());
    case varSmallint:
    case varShortInt:
    case varByte:
    case varWord:
    case varLongWord: {
        const int64_t i = IntegerOf(v, type);
        if (!FitsType(i, type)) OverflowError(v.VarType(), type);
        return Variant::FromInt(i, type);
    }
    case varSingle: {
        const double d = v.AsDouble();
        if (std::isfinite(d) && std::fabs(d) > FLT_MAX) OverflowError(v.VarType(), type);
        return Variant::FromSingle(float(d));
    }
    case varDouble: return Variant(v.AsDouble());
    case varCurrency: return Variant(v.AsCurrency());
    case varDate: return Variant::FromDate(v.AsDate());
    case varBoolean: return Variant(v.AsBoolean());
    case varString: return Variant(v.AsString());
    case varOleStr: return Variant::FromOleStr(v.AsString());
    case varDispatch: return Variant(v.AsDispatch());
    default: CastError(v.VarType(), type);
    }
}

std::string VarTypeAsText(TVarType type) {
    const uint16_t base = type & varTypeMask;
    const char* name = nullptr;
    switch (base) {
    case varEmpty: name = "Empty"; break;
    case varNull: name = "Null"; break;
    case varSmallint: name = "Smallint"; break;
    case varInteger: name = "Integer"; break;
    case varSingle: name = "Single"; break;
    case varDouble: name = "Double"; break;
    case varCurrency: name = "Currency"; break;
    case varDate: name = "Date"; break;
    case varOleStr: name = "OleStr"; break;
    case varDispatch: name = "Dispatch"; break;
    case varError: name = "Error"; break;
    case varBoolean: name = "Boolean"; break;
    case varVariant: name = "Variant"; break;
    case varUnknown: name = "Unknown"; break;
    case varShortInt: name = "ShortInt"; break;
    case varByte: name = "Byte"; break;
    case varWord: name = "Word"; break;
    case varLongWord: name = "LongWord"; break;
    case varInt64: name = "Int64"; break;
    case varStrArg: name = "StrArg"; break;
    case varString: name = "String"; break;
    case varAny: name = "Any"; break;
    default: break;
    }
    std::string text;
    if (name) {
        text = name;
    } else {
        char buf[8];
        std::snprintf(buf, sizeof buf, "$%04X", unsigned(base));
        text = buf;
    }
    if (type & varArray) text = "Array " + text;
    if (type & varByRef) text = "ByRef " + text;
    return text;
}

// --- arrays -------------------------------------------------------------------------------------

Variant VarArrayCreate(std::initializer_list<int> bounds, TVarType elementType) {
    return VarArrayCreate(std::vector<int>(bounds), elementType);
}

Variant VarArrayCreate(const std::vector<int>& bounds, TVarType elementType) {
    if (bounds.empty() || bounds.size() % 2 != 0 || !ValidElementType(elementType)) InvalidArg();
    auto rep = std::make_unique<Variant::ArrayRep>();
    rep->ElementType = elementType;
    int64_t total = 1;
    for (size_t k = 0; k < bounds.size(); k += 2) {
        const int64_t len = int64_t(bounds[k + 1]) - bounds[k] + 1;
        if (len < 0) InvalidArg();
        total *= len;
        if (total > kMaxArrayItems) TooLarge();
        rep->Low.push_back(bounds[k]);
        rep->High.push_back(bounds[k + 1]);
    }
    rep->Items.assign(size_t(total), DefaultElement(elementType));
    Variant v;
    v.FType = uint16_t(varArray | elementType);
    v.FData.a = rep.release();
    return v;
}

Variant VarArrayOf(const std::vector<Variant>& values) {
    Variant v = VarArrayCreate({0, int(values.size()) - 1}, varVariant);
    for (size_t i = 0; i < values.size(); ++i) v.ElementRef(int(i)) = values[i];
    return v;
}

int VarArrayDimCount(const Variant& v) { return v.IsArray() ? int(v.FData.a->Low.size()) : 0; }

int VarArrayLowBound(const Variant& v, int dim) {
    if (!v.IsArray()) InvalidArg();
    if (dim < 1 || dim > int(v.FData.a->Low.size())) BadIndex();
    return v.FData.a->Low[size_t(dim - 1)];
}

int VarArrayHighBound(const Variant& v, int dim) {
    if (!v.IsArray()) InvalidArg();
    if (dim < 1 || dim > int(v.FData.a->High.size())) BadIndex();
    return v.FData.a->High[size_t(dim - 1)];
}

void VarArrayRedim(Variant& v, int highBound) {
    if (!v.IsArray()) InvalidArg();
    const Variant::ArrayRep* cur = v.FData.a;
    const size_t last = cur->Low.size() - 1;
    const int64_t len = int64_t(highBound) - cur->Low[last] + 1;
    if (len < 0) BadIndex();
    int64_t stride = 1;
    for (size_t k = 0; k < last; ++k) stride *= int64_t(cur->High[k]) - cur->Low[k] + 1;
    if (stride != 0 && len > kMaxArrayItems / stride) TooLarge();
    Variant::ArrayRep* rep = v.UniqueArray();
    rep->Items.resize(size_t(stride * len), DefaultElement(rep->ElementType));
    rep->High[last] = highBound;
}

Variant::ArrayRep* Variant::UniqueArray() {
    assert(IsArray());
    if (FData.a->Refs.load(std::memory_order_acquire) != 1) {
        auto* copy = new ArrayRep(*FData.a);
        if (FData.a->Refs.fetch_sub(1, std::memory_order_acq_rel) == 1) delete FData.a;
        FData.a = copy;
    }
    return FData.a;
}

const Variant* Variant::ElementAt(const int* idx, size_t count) const {
    if (!IsArray()) InvalidArg();
    const ArrayRep* rep = FData.a;
    if (count != rep->Low.size()) BadIndex();
    int64_t offset = 0, stride = 1;
    for (size_t k = 0; k < count; ++k) {
        if (idx[k] < rep->Low[k] || idx[k] > rep->High[k]) BadIndex();
        offset += (int64_t(idx[k]) - rep->Low[k]) * stride;
        stride *= int64_t(rep->High[k]) - rep->Low[k] + 1;
    }
    return &rep->Items[size_t(offset)];
}

Variant Variant::GetElement(std::initializer_list<int> indices) const {
    return *ElementAt(indices.begin(), indices.size());
}

Variant Variant::GetElement(const std::vector<int>& indices) const {
    return *ElementAt(indices.data(), indices.size());
}

void Variant::PutElement(std::initializer_list<int> indices, const Variant& value) {
    PutElement(std::vector<int>(indices), value);
}

void Variant::PutElement(const std::vector<int>& indices, const Variant& value) {
    ElementAt(indices.data(), indices.size());  // checks before anything changes
    // Copy (and convert) first: the value may be this array or one of its elements.
    const TVarType elementType = FData.a->ElementType;
    Variant stored = elementType == varVariant ? value : VarAsType(value, elementType);
    [[maybe_unused]] ArrayRep* rep = UniqueArray();
    auto* slot = const_cast<Variant*>(ElementAt(indices.data(), indices.size()));
    assert(slot >= rep->Items.data() && slot < rep->Items.data() + rep->Items.size());
    slot->Swap(stored);
}

Variant& Variant::ElementRef(int index) {
    ElementAt(&index, 1);
    UniqueArray();
    return *const_cast<Variant*>(ElementAt(&index, 1));
}

// --- operators ----------------------------------------------------------------------------------

namespace {

enum class K { Empty, Null, Bool, Int, Int64, Currency, Double, Date, String, Other };

K KindOf(const Variant& v) noexcept {
    if (v.IsArray()) return K::Other;
    switch (v.VarType()) {
    case varEmpty: return K::Empty;
    case varNull: return K::Null;
    case varBoolean: return K::Bool;
    case varInt64: return K::Int64;
    case varCurrency: return K::Currency;
    case varSingle:
    case varDouble: return K::Double;
    case varDate: return K::Date;
    case varString:
    case varOleStr: return K::String;
    default: return IsIntType(v.VarType()) ? K::Int : K::Other;
    }
}

// An operand reduced to one of the numeric kinds Int, Int64, Currency (scaled), Double, Date.
struct Num {
    K k;
    int64_t i = 0;
    double d = 0;
    double AsDouble() const noexcept {
        return k == K::Currency ? double(i) / 10000.0 : (k == K::Double || k == K::Date) ? d : double(i);
    }
    bool IsWhole() const noexcept { return k == K::Int || k == K::Int64; }
};

Num ToNum(const Variant& v, K k) {
    switch (k) {
    case K::Empty: return {K::Int, 0, 0};
    case K::Bool: return {K::Int, v.RawInt() ? -1 : 0, 0};
    case K::Int:
    case K::Int64:
    case K::Currency: return {k, v.RawInt(), 0};
    case K::Double:
    case K::Date: return {k, 0, v.RawDouble()};
    case K::String: {
        bool isInt;
        int64_t i;
        double d;
        if (!ParseNumber(v.RawString(), isInt, i, d)) CastError(v.VarType(), varDouble);
        if (isInt) return {Fits32(i) ? K::Int : K::Int64, i, 0};
        return {K::Double, 0, d};
    }
    default: InvalidOp();
    }
}

Variant WholeResult(int64_t r, bool narrow) { return narrow && Fits32(r) ? Variant(int32_t(r)) : Variant(r); }

[[noreturn]] void CurrencyOverflow() { throw EOverflow("Floating point overflow"); }

Variant CurrencyResult(__int128 scaled) {
    if (scaled > INT64_MAX || scaled < INT64_MIN) CurrencyOverflow();
    return Variant(Currency{int64_t(scaled)});
}

Variant NumArith(char op, const Num& x, const Num& y) {
    auto apply = [op](double a, double b) { return op == '+' ? a + b : op == '-' ? a - b : a * b; };
    if (x.k == K::Date || y.k == K::Date) {
        const double r = apply(x.AsDouble(), y.AsDouble());
        if (op == '*' || (op == '-' && x.k == K::Date && y.k == K::Date)) return Variant(r);
        return Variant::FromDate(r);
    }
    if (x.k == K::Currency || y.k == K::Currency) {
        if (x.k == K::Double || y.k == K::Double) {
            const double r = apply(x.AsDouble(), y.AsDouble());
            if (!(std::fabs(r) < 922337203685477.0)) CurrencyOverflow();
            return Variant(Currency::FromDouble(r));
        }
        // Currency with a whole number or Currency: exact in scaled integers.
        const __int128 a = x.k == K::Currency ? __int128(x.i) : __int128(x.i) * 10000;
        const __int128 b = y.k == K::Currency ? __int128(y.i) : __int128(y.i) * 10000;
        if (op == '+') return CurrencyResult(a + b);
        if (op == '-') return CurrencyResult(a - b);
        if (x.k == K::Currency && y.k == K::Currency) {
            const __int128 p = a * b;  // |a|,|b| < 2^63: fits
            const __int128 q = p / 10000, r = p % 10000;
            __int128 res = q;
            const __int128 twice = (r < 0 ? -r : r) * 2;
            if (twice > 10000 || (twice == 10000 && (q & 1) != 0)) res += (p < 0 ? -1 : 1);
            return CurrencyResult(res);
        }
        const __int128 scaled = x.k == K::Currency ? __int128(x.i) * y.i : __int128(y.i) * x.i;
        return CurrencyResult(scaled);
    }
    if (x.k == K::Double || y.k == K::Double) return Variant(apply(x.AsDouble(), y.AsDouble()));
    // Whole numbers: Integer -> Int64; a result beyond Int64 becomes a Double rather than
    // wrapping or failing, so long sums in scripts keep working.
    int64_t r;
    const bool overflow = op == '+' ? __builtin_add_overflow(x.i, y.i, &r)
        : op == '-'                 ? __builtin_sub_overflow(x.i, y.i, &r)
                                    : __builtin_mul_overflow(x.i, y.i, &r);
    if (overflow) return Variant(apply(double(x.i), double(y.i)));
    return WholeResult(r, x.k == K::Int && y.k == K::Int);
}

Variant Concat(const Variant& a, const Variant& b) {
    const bool ole = a.VarType() != varString && b.VarType() != varString;
    std::string text;
    const std::string* sa = a.IsString() ? &a.RawString() : nullptr;
    const std::string* sb = b.IsString() ? &b.RawString() : nullptr;
    text.reserve((sa ? sa->size() : 0) + (sb ? sb->size() : 0));
    if (sa) text += *sa;
    if (sb) text += *sb;
    return MakeString(std::move(text), ole ? varOleStr : varString);
}

Variant Arith(char op, const Variant& a, const Variant& b) {
    // Fast paths for the script engine's commonest operands.
    if (a.VarType() == varInteger && b.VarType() == varInteger) {
        const int64_t x = a.RawInt(), y = b.RawInt();  // 32-bit operands cannot overflow here
        return WholeResult(op == '+' ? x + y : op == '-' ? x - y : x * y, true);
    }
    if (a.VarType() == varDouble && b.VarType() == varDouble) {
        const double x = a.RawDouble(), y = b.RawDouble();
        return Variant(op == '+' ? x + y : op == '-' ? x - y : x * y);
    }
    const K ka = KindOf(a), kb = KindOf(b);
    if (ka == K::Other || kb == K::Other) InvalidOp();
    if (ka == K::Null || kb == K::Null) return Variant::Null();
    if (op == '+' && (ka == K::String || kb == K::String) && (ka == K::String || ka == K::Empty) &&
        (kb == K::String || kb == K::Empty))
        return Concat(a, b);
    return NumArith(op, ToNum(a, ka), ToNum(b, kb));
}

// Operands of div, mod, shifts and bitwise logic: whole numbers; a result stays an Integer
// when no operand is an Int64 and it fits.
struct Whole {
    int64_t x, y;
    bool narrow;
};

Whole WholeOperands(const Variant& a, const Variant& b) {
    return {IntegerOf(a, varInt64), IntegerOf(b, varInt64), KindOf(a) != K::Int64 && KindOf(b) != K::Int64};
}

bool IsBoolText(const Variant& v) {
    return v.IsString() && (SameText(v.RawString(), "True") || SameText(v.RawString(), "False"));
}

Variant Logic(char op, const Variant& a, const Variant& b) {
    const K ka = KindOf(a), kb = KindOf(b);
    if (ka == K::Other || kb == K::Other) InvalidOp();
    if (ka == K::Null || kb == K::Null) return Variant::Null();
    auto boolish = [](K k) { return k == K::Bool || k == K::Empty || k == K::String; };
    if ((ka == K::Bool || kb == K::Bool || IsBoolText(a) || IsBoolText(b)) && boolish(ka) && boolish(kb)) {
        const bool x = a.AsBoolean(), y = b.AsBoolean();
        return Variant(op == '&' ? (x && y) : op == '|' ? (x || y) : (x != y));
    }
    const Whole w = WholeOperands(a, b);
    const int64_t r = op == '&' ? (w.x & w.y) : op == '|' ? (w.x | w.y) : (w.x ^ w.y);
    return WholeResult(r, w.narrow);
}

int Sign(int c) noexcept { return c < 0 ? -1 : c > 0 ? 1 : 0; }

TVariantRelationship FromSign(int c) noexcept { return c < 0 ? vrLessThan : c > 0 ? vrGreaterThan : vrEqual; }

TVariantRelationship CompareNum(const Num& x, const Num& y) {
    if (x.IsWhole() && y.IsWhole()) return FromSign((x.i > y.i) - (x.i < y.i));
    const auto exact = [](K k) { return k == K::Int || k == K::Int64 || k == K::Currency; };
    if (exact(x.k) && exact(y.k)) {
        const __int128 a = x.k == K::Currency ? __int128(x.i) : __int128(x.i) * 10000;
        const __int128 b = y.k == K::Currency ? __int128(y.i) : __int128(y.i) * 10000;
        return FromSign((a > b) - (a < b));
    }
    const double a = x.AsDouble(), b = y.AsDouble();
    if (a < b) return vrLessThan;
    if (a > b) return vrGreaterThan;
    if (a == b) return vrEqual;
    return vrNotEqual;  // NaN
}

bool Truth(const Num& n) noexcept { return n.k == K::Double || n.k == K::Date ? n.d != 0 : n.i != 0; }

TVariantRelationship CompareBool(bool a, bool b) noexcept { return FromSign(int(a) - int(b)); }

}  // namespace

Variant operator+(const Variant& a, const Variant& b) { return Arith('+', a, b); }
Variant operator-(const Variant& a, const Variant& b) { return Arith('-', a, b); }
Variant operator*(const Variant& a, const Variant& b) { return Arith('*', a, b); }

Variant operator/(const Variant& a, const Variant& b) {
    const K ka = KindOf(a), kb = KindOf(b);
    if (ka == K::Other || kb == K::Other) InvalidOp();
    if (ka == K::Null || kb == K::Null) return Variant::Null();
    const double x = ToNum(a, ka).AsDouble(), y = ToNum(b, kb).AsDouble();
    if (y == 0) throw EZeroDivide("Floating point division by zero");
    return Variant(x / y);
}

Variant operator-(const Variant& a) {
    const K k = KindOf(a);
    switch (k) {
    case K::Other: InvalidOp();
    case K::Null: return Variant::Null();
    case K::Currency:
        if (a.RawInt() == INT64_MIN) CurrencyOverflow();
        return Variant(Currency{-a.RawInt()});
    case K::Date: return Variant::FromDate(-a.RawDouble());
    default: break;
    }
    const Num n = ToNum(a, k);
    if (n.k == K::Double) return Variant(-n.d);
    if (n.i == INT64_MIN) return Variant(-double(n.i));
    return WholeResult(-n.i, n.k == K::Int);
}

Variant& VarAppend(Variant& a, const Variant& b) {
    // The only owner of a String may grow it in place; anything else takes the general path.
    if (a.FType == varString && b.IsString() && a.FData.s->Refs.load(std::memory_order_acquire) == 1) {
        if (&a == &b) {
            a.FData.s->Text.append(a.FData.s->Text);  // append() copes with its own text
        } else {
            a.FData.s->Text += b.RawString();
        }
        return a;
    }
    a = a + b;
    return a;
}

Variant VarIntDiv(const Variant& a, const Variant& b) {
    const K ka = KindOf(a), kb = KindOf(b);
    if (ka == K::Other || kb == K::Other) InvalidOp();
    if (ka == K::Null || kb == K::Null) return Variant::Null();
    const Whole w = WholeOperands(a, b);
    if (w.y == 0) throw EDivByZero("Division by zero");
    if (w.x == INT64_MIN && w.y == -1) return Variant(-double(INT64_MIN));  // beyond Int64
    return WholeResult(w.x / w.y, w.narrow);
}

Variant VarMod(const Variant& a, const Variant& b) {
    const K ka = KindOf(a), kb = KindOf(b);
    if (ka == K::Other || kb == K::Other) InvalidOp();
    if (ka == K::Null || kb == K::Null) return Variant::Null();
    const Whole w = WholeOperands(a, b);
    if (w.y == 0) throw EDivByZero("Division by zero");
    return WholeResult(w.y == -1 ? 0 : w.x % w.y, w.narrow);
}

Variant VarAnd(const Variant& a, const Variant& b) { return Logic('&', a, b); }
Variant VarOr(const Variant& a, const Variant& b) { return Logic('|', a, b); }
Variant VarXor(const Variant& a, const Variant& b) { return Logic('^', a, b); }

Variant VarNot(const Variant& a) {
    const K k = KindOf(a);
    if (k == K::Other) InvalidOp();
    if (k == K::Null) return Variant::Null();
    if (k == K::Bool || IsBoolText(a)) return Variant(!a.AsBoolean());
    return WholeResult(~IntegerOf(a, varInt64), k != K::Int64);
}

namespace {

Variant Shift(bool left, const Variant& a, const Variant& b) {
    const K ka = KindOf(a), kb = KindOf(b);
    if (ka == K::Other || kb == K::Other) InvalidOp();
    if (ka == K::Null || kb == K::Null) return Variant::Null();
    const int64_t x = IntegerOf(a, varInt64), n = IntegerOf(b, varInt64);
    if (ka != K::Int64 && Fits32(x)) {
        const uint32_t u = uint32_t(x), c = uint32_t(n) & 31;
        return Variant(int32_t(left ? u << c : u >> c));
    }
    const uint64_t u = uint64_t(x), c = uint64_t(n) & 63;
    return Variant(int64_t(left ? u << c : u >> c));
}

}  // namespace

Variant VarShl(const Variant& a, const Variant& b) { return Shift(true, a, b); }
Variant VarShr(const Variant& a, const Variant& b) { return Shift(false, a, b); }

// --- comparison ---------------------------------------------------------------------------------

TVariantRelationship VarCompareValue(const Variant& a, const Variant& b) {
    if (a.IsArray() || b.IsArray()) InvalidOp();
    if (a.IsNull() || b.IsNull()) return a.IsNull() && b.IsNull() ? vrEqual : a.IsNull() ? vrLessThan : vrGreaterThan;
    if (a.VarType() == varDispatch || b.VarType() == varDispatch) {
        if (a.VarType() != b.VarType()) InvalidOp();
        return a.AsDispatch() == b.AsDispatch() ? vrEqual : vrNotEqual;
    }
    const K ka = KindOf(a), kb = KindOf(b);
    if (ka == K::Other || kb == K::Other) InvalidOp();
    if (ka == K::Empty && kb == K::Empty) return vrEqual;

    if (ka == K::String || kb == K::String) {
        if (ka == kb) return FromSign(Sign(AnsiCompareStr(a.RawString(), b.RawString())));
        if (ka == K::Empty) return FromSign(Sign(AnsiCompareStr("", b.RawString())));
        if (kb == K::Empty) return FromSign(Sign(AnsiCompareStr(a.RawString(), "")));
        if (ka == K::Bool || kb == K::Bool) return CompareBool(a.AsBoolean(), b.AsBoolean());
        // Text against a date: a number, else a date in the locale's format.
        const Variant& text = ka == K::String ? a : b;
        const bool textLeft = ka == K::String;
        if ((textLeft ? kb : ka) == K::Date) {
            bool isInt;
            int64_t i;
            double d;
            TDateTime t;
            if (ParseNumber(text.RawString(), isInt, i, d)) {
                t = isInt ? double(i) : d;
            } else if (!TryStrToDateTime(text.RawString(), t, FormatSettings())) {
                CastError(text.VarType(), varDate);
            }
            const Num nt{K::Double, 0, t};
            const Num other{K::Double, 0, (textLeft ? b : a).RawDouble()};
            return textLeft ? CompareNum(nt, other) : CompareNum(other, nt);
        }
        return CompareNum(ToNum(a, ka), ToNum(b, kb));
    }

    // Booleans against Booleans or numbers compare truth values (a number is True when it is
    // not zero, False < True), so True equals both -1 and 1: a script that writes 1 into a
    // Boolean property and tests it against True gets the answer it means.
    if (ka == K::Bool || kb == K::Bool) {
        const bool x = ka == K::Bool ? a.RawInt() != 0 : Truth(ToNum(a, ka));
        const bool y = kb == K::Bool ? b.RawInt() != 0 : Truth(ToNum(b, kb));
        return CompareBool(x, y);
    }
    return CompareNum(ToNum(a, ka), ToNum(b, kb));
}

bool VarSameValue(const Variant& a, const Variant& b) {
    if (a.IsEmpty() || b.IsEmpty()) return a.IsEmpty() && b.IsEmpty();
    if (a.IsNull() || b.IsNull()) return a.IsNull() && b.IsNull();
    return VarCompareValue(a, b) == vrEqual;
}

bool operator==(const Variant& a, const Variant& b) { return VarCompareValue(a, b) == vrEqual; }
bool operator!=(const Variant& a, const Variant& b) { return !(a == b); }
bool operator<(const Variant& a, const Variant& b) { return VarCompareValue(a, b) == vrLessThan; }
bool operator>(const Variant& a, const Variant& b) { return VarCompareValue(a, b) == vrGreaterThan; }
bool operator<=(const Variant& a, const Variant& b) {
    const TVariantRelationship r = VarCompareValue(a, b);
    return r == vrLessThan || r == vrEqual;
}
bool operator>=(const Variant& a, const Variant& b) {
    const TVariantRelationship r = VarCompareValue(a, b);
    return r == vrGreaterThan || r == vrEqual;
}
