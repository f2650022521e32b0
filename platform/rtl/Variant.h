#pragma once
// Variant: the value type shared by datasets, scripts, reports and grids.
// Numbers, Booleans and dates live inline and never allocate; strings are shared,
// copy-on-write UTF-8 text; arrays have value semantics on copy.

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "platform/rtl/Exceptions.h"

using TDateTime = double;  // days since 1899-12-30, time as the fraction

// Fixed-point currency, four decimal places, as the class library stores it.
struct Currency {
    int64_t Scaled = 0;  // value * 10000
    static Currency FromDouble(double d);  // rounds half to even at the fourth decimal
    double ToDouble() const noexcept { return double(Scaled) / 10000.0; }
    friend bool operator==(Currency a, Currency b) noexcept { return a.Scaled == b.Scaled; }
};

// VarType codes of the class library.
enum TVarType : uint16_t {
    varEmpty = 0x0000,
    varNull = 0x0001,
    varSmallint = 0x0002,
    varInteger = 0x0003,
    varSingle = 0x0004,
    varDouble = 0x0005,
    varCurrency = 0x0006,
    varDate = 0x0007,
    varOleStr = 0x0008,
    varDispatch = 0x0009,
    varError = 0x000A,
    varBoolean = 0x000B,
    varVariant = 0x000C,
    varUnknown = 0x000D,
    varShortInt = 0x0010,
    varByte = 0x0011,
    varWord = 0x0012,
    varLongWord = 0x0013,
    varInt64 = 0x0014,
    varStrArg = 0x0048,
    varString = 0x0100,
    varAny = 0x0101,
    varTypeMask = 0x0FFF,
    varArray = 0x2000,
    varByRef = 0x4000,
};

// Result of comparing two Variants.
enum TVariantRelationship { vrEqual, vrLessThan, vrGreaterThan, vrNotEqual };

// Base of late-bound automation objects (platform/ole derives the real interface).
class IDispatchObject {
public:
    virtual ~IDispatchObject() = default;
};

class Variant {
public:
    Variant() noexcept : FType(varEmpty) { FData.i = 0; }
    Variant(int v) noexcept : FType(varInteger) { FData.i = v; }
    Variant(int64_t v) noexcept : FType(varInt64) { FData.i = v; }
    Variant(double v) noexcept : FType(varDouble) { FData.d = v; }
    Variant(bool v) noexcept : FType(varBoolean) { FData.i = v ? 1 : 0; }
    Variant(Currency v) noexcept : FType(varCurrency) { FData.i = v.Scaled; }
    // Other integer types (long long, unsigned, short ...) without ambiguity: varInteger when
    // the value fits 32 bits, else varInt64; an unsigned value above the Int64 range raises
    // EVariantOverflowError.
    template <class T>
    requires(std::is_integral_v<T> && !std::is_same_v<T, bool> && !std::is_same_v<T, char> && !std::is_same_v<T, int> &&
        !std::is_same_v<T, int64_t>) Variant(T v)
        : FType(varInteger) {
        if constexpr (std::is_unsigned_v<T>) {
            if (uint64_t(v) > uint64_t(INT64_MAX)) ThrowIntegerOverflow();
        }
        FData.i = int64_t(v);
        if (FData.i < INT32_MIN || FData.i > INT32_MAX) FType = varInt64;
    }
    Variant(const char* s);
    Variant(std::string_view s);
    Variant(const std::string& s) : Variant(std::string_view(s)) {}
    Variant(std::string&& s);
    Variant(std::shared_ptr<IDispatchObject> disp);

    // Inline so that numbers are copied and destroyed without a call; only text, arrays and
    // automation objects take the out-of-line path.
    Variant(const Variant& o) : FType(o.FType), FData(o.FData) {
        if (OwnsHeap()) CopyHeap(o);
    }
    Variant(Variant&& o) noexcept : FType(o.FType), FData(o.FData) {
        o.FType = varEmpty;
        o.FData.i = 0;
    }
    // Both assignments build the new value before releasing the old, so assigning an element
    // of an array to the array itself stays safe.
    Variant& operator=(const Variant& o) {
        if (!OwnsHeap() && !o.OwnsHeap()) {  // numbers: a plain copy
            FType = o.FType;
            FData = o.FData;
            return *this;
        }
        Variant tmp(o);
        Swap(tmp);
        return *this;
    }
    Variant& operator=(Variant&& o) noexcept {
        if (!OwnsHeap()) {  // nothing to release: take o's value and leave it Empty
            FType = o.FType;
            FData = o.FData;
            if (this != &o) {
                o.FType = varEmpty;
                o.FData.i = 0;
            }
            return *this;
        }
        Variant tmp(std::move(o));
        Swap(tmp);
        return *this;
    }
    ~Variant() {
        if (OwnsHeap()) Release();
    }

    static Variant Null() noexcept {
        Variant v;
        v.FType = varNull;
        return v;
    }
    static Variant FromDate(TDateTime d) noexcept {
        Variant v;
        v.FType = varDate;
        v.FData.d = d;
        return v;
    }
    static Variant FromSingle(float f) noexcept {
        Variant v;
        v.FType = varSingle;
        v.FData.d = f;
        return v;
    }
    // An integer kept with a narrower VarType (varSmallint, varShortInt, varByte, varWord, varLongWord).
    static Variant FromInt(int64_t value, TVarType type);
    // A string kept as automation text (varOleStr): concatenation treats it as not a string.
    static Variant FromOleStr(std::string_view s);

    TVarType VarType() const noexcept { return TVarType(FType); }
    bool IsEmpty() const noexcept { return FType == varEmpty; }
    bool IsNull() const noexcept { return FType == varNull; }
    bool IsArray() const noexcept { return (FType & varArray) != 0; }
    bool IsString() const noexcept { return FType == varString || FType == varOleStr; }
    bool IsInteger() const noexcept;  // integer kinds
    bool IsOrdinal() const noexcept;  // integer kinds and Boolean
    bool IsFloat() const noexcept;  // Single, Double, Currency, Date
    bool IsNumeric() const noexcept;  // integer kinds, Single, Double, Currency

    // Conversions; each raises EVariantTypeCastError where the value cannot convert
    // (Null always, except AsString which gives '' only through VarToStr).
    int32_t AsInteger() const;  // floats round half to even; out of range: EVariantOverflowError
    int64_t AsInt64() const;
    double AsDouble() const;  // strings through the process decimal separator
    bool AsBoolean() const;  // numbers: non-zero; "True"/"False" in any case; numeric text
    std::string AsString() const;  // Booleans "True"/"False", floats FloatToStr, dates DateTimeToStr
    TDateTime AsDate() const;
    Currency AsCurrency() const;
    std::shared_ptr<IDispatchObject> AsDispatch() const;

    // Raw access for the fast paths; valid only for the matching kind.
    int64_t RawInt() const noexcept { return FData.i; }
    double RawDouble() const noexcept { return FData.d; }
    const std::string& RawString() const noexcept;  // varString / varOleStr only

    // Array element access, one index per dimension (1 to 3 are usual, more work too); raises
    // EVariantBadIndexError out of bounds or for a wrong index count, EVariantInvalidArgError
    // when the Variant is not an array.
    // A put into a typed array converts the value to the element type (VarAsType).
    Variant GetElement(std::initializer_list<int> indices) const;
    void PutElement(std::initializer_list<int> indices, const Variant& value);
    Variant GetElement(const std::vector<int>& indices) const;
    void PutElement(const std::vector<int>& indices, const Variant& value);
    // Direct, in-place reference to one element of a one-dimensional array (copy-on-write first).
    // Writes through it skip the element-type conversion; never store the array itself in
    // its own element this way (PutElement handles that case).
    Variant& ElementRef(int index);

    // Swap without allocation.
    void Swap(Variant& o) noexcept {
        std::swap(FType, o.FType);
        std::swap(FData, o.FData);
    }

private:
    struct StringRep;
    struct ArrayRep;
    friend Variant VarArrayCreate(std::initializer_list<int> bounds, TVarType elementType);
    friend Variant VarArrayCreate(const std::vector<int>& bounds, TVarType elementType);
    friend int VarArrayDimCount(const Variant& v);
    friend int VarArrayLowBound(const Variant& v, int dim);
    friend int VarArrayHighBound(const Variant& v, int dim);
    friend void VarArrayRedim(Variant& v, int highBound);
    friend Variant& VarAppend(Variant& a, const Variant& b);
    [[noreturn]] static void ThrowIntegerOverflow();
    const Variant* ElementAt(const int* idx, size_t count) const;
    // Every copy and destruction asks this, so the common kinds answer with one test: of the
    // codes below 0x20 only varOleStr and varDispatch own heap data.
    bool OwnsHeap() const noexcept {
        if (FType < 0x20) return ((1u << varOleStr | 1u << varDispatch) >> FType) & 1u;
        return (FType & varArray) || FType == varString;
    }
    void CopyHeap(const Variant& o);
    void Release() noexcept;
    void Retain() noexcept;
    ArrayRep* UniqueArray();

    uint16_t FType;
    union Data {
        int64_t i;
        double d;
        StringRep* s;
        ArrayRep* a;
        std::shared_ptr<IDispatchObject>* disp;
    } FData;
};

// Class-library style free functions.
inline TVarType VarType(const Variant& v) noexcept { return v.VarType(); }
inline bool VarIsNull(const Variant& v) noexcept { return v.IsNull(); }
inline bool VarIsEmpty(const Variant& v) noexcept { return v.IsEmpty(); }
inline bool VarIsArray(const Variant& v) noexcept { return v.IsArray(); }
bool VarIsStr(const Variant& v) noexcept;
std::string VarToStr(const Variant& v);  // Null and Empty give ''
Variant VarAsType(const Variant& v, TVarType type);
std::string VarTypeAsText(TVarType type);

// Bounds in low/high pairs (high = low - 1 gives an empty dimension). Elements start as Empty
// (varVariant) or the element type's zero. EVariantInvalidArgError for unpaired bounds, a high
// bound below low - 1 or an element type an array cannot hold; EOutOfMemory beyond 2^27 elements.
Variant VarArrayCreate(std::initializer_list<int> bounds, TVarType elementType);
Variant VarArrayCreate(const std::vector<int>& bounds, TVarType elementType);
Variant VarArrayOf(const std::vector<Variant>& values);  // 0-based, varVariant
int VarArrayDimCount(const Variant& v);
int VarArrayLowBound(const Variant& v, int dim);
int VarArrayHighBound(const Variant& v, int dim);
// Sets the last dimension's high bound, keeping the elements (SetLength sets it to L - 1).
void VarArrayRedim(Variant& v, int highBound);

// Operators. Null in either operand gives Null (arithmetic and logic); Empty acts as 0 or ''.
// + - *: String + String concatenates (String when either is varString, OleStr when both are
// OleStr); otherwise text converts to a number by the locale (a whole number, else a float) and
// kinds promote Integer -> Int64 -> Double; a whole-number result beyond Int64 becomes a
// Double. Currency with any number stays Currency (exact in scaled integers). Date with a
// number gives a Date, Date - Date a Double, * with a Date a Double. Booleans count as -1/0.
// Arrays and Dispatch raise EVariantInvalidOpError.
Variant operator+(const Variant& a, const Variant& b);
Variant operator-(const Variant& a, const Variant& b);
Variant operator*(const Variant& a, const Variant& b);
Variant operator/(const Variant& a, const Variant& b);  // always a Double; by zero raises EZeroDivide
Variant operator-(const Variant& a);
// a := a + b, appending in place when a is a string whose text no other Variant shares,
// so building a long text piece by piece stays linear. Same result as a = a + b.
Variant& VarAppend(Variant& a, const Variant& b);
// div, mod, and/or/xor/not on numbers, shl/shr: operands become whole numbers first (floats
// round half to even, text by the locale); the result is an Integer unless an operand is an
// Int64 or it does not fit 32 bits. Division by zero raises EDivByZero. and/or/xor/not on
// Booleans (or Boolean text "True"/"False" with a Boolean) give a Boolean.
Variant VarIntDiv(const Variant& a, const Variant& b);  // div: operands to integers, truncates
Variant VarMod(const Variant& a, const Variant& b);  // sign of the dividend
Variant VarAnd(const Variant& a, const Variant& b);
Variant VarOr(const Variant& a, const Variant& b);
Variant VarXor(const Variant& a, const Variant& b);
Variant VarNot(const Variant& a);
Variant VarShl(const Variant& a, const Variant& b);
Variant VarShr(const Variant& a, const Variant& b);

// Comparison. Null = Null; Null is below every other value (Empty included); strings compare
// case-sensitively by the locale's order (AnsiCompareStr); string against number compares
// numerically (EVariantTypeCastError when the text is not a number), against a Date also as a
// date text; arrays raise EVariantInvalidOpError; two Dispatch values are equal when they are
// the same object. A Boolean against a Boolean or a number compares truth values (non-zero is
// True, False < True), so True = -1 and True = 1 both hold. NaN answers vrNotEqual.
// VarSameValue: Empty equals only Empty and Null only Null, otherwise as VarCompareValue.
TVariantRelationship VarCompareValue(const Variant& a, const Variant& b);
bool VarSameValue(const Variant& a, const Variant& b);
bool operator==(const Variant& a, const Variant& b);
bool operator!=(const Variant& a, const Variant& b);
bool operator<(const Variant& a, const Variant& b);
bool operator<=(const Variant& a, const Variant& b);
bool operator>(const Variant& a, const Variant& b);
bool operator>=(const Variant& a, const Variant& b);
