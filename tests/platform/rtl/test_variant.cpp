#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <limits>
#include <new>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/Variant.h"

// --- allocation counter ---------------------------------------------------------------------
// Under AddressSanitizer the allocator's hooks see every allocation; elsewhere the global
// operator new is replaced. Counting is on only inside AllocationsDuring().

namespace {
std::atomic<long> gAllocations{0};
std::atomic<bool> gCounting{false};
}  // namespace

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KAROMIL_TEST_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define KAROMIL_TEST_ASAN 1
#endif

#ifdef KAROMIL_TEST_ASAN
// From the sanitizer runtime (GCC ships no header for it).
extern "C" int __sanitizer_install_malloc_and_free_hooks(
    void (*malloc_hook)(const volatile void*, size_t), void (*free_hook)(const volatile void*));
namespace {
void CountMalloc(const volatile void*, size_t) {
    if (gCounting.load(std::memory_order_relaxed)) gAllocations.fetch_add(1, std::memory_order_relaxed);
}
void IgnoreFree(const volatile void*) {}
void InstallCounter() {
    static const bool installed = __sanitizer_install_malloc_and_free_hooks(CountMalloc, IgnoreFree) != 0;
    ASSERT_TRUE(installed);
}
}  // namespace
#else
void* operator new(size_t n) {
    if (gCounting.load(std::memory_order_relaxed)) gAllocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
// The replacement new above allocates with malloc, so free is its match; the compiler cannot see
// that the pair belongs together.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
#pragma GCC diagnostic pop
namespace {
void InstallCounter() {}
}  // namespace
#endif

namespace {

long AllocationsDuring(const std::function<void()>& body) {
    InstallCounter();
    gAllocations = 0;
    gCounting = true;
    body();
    gCounting = false;
    return gAllocations.load();
}

// --- helpers --------------------------------------------------------------------------------

enum class Err { None, Cast, Overflow, InvalidOp, BadIndex, InvalidArg, ZeroDivide, DivByZero, Other };

const char* ErrName(Err e) {
    static const char* const names[] = {"none", "EVariantTypeCastError", "EVariantOverflowError",
        "EVariantInvalidOpError", "EVariantBadIndexError", "EVariantInvalidArgError", "EZeroDivide", "EDivByZero",
        "other"};
    return names[int(e)];
}

Err Raised(const std::function<void()>& f) {
    try {
        f();
    } catch (const EVariantTypeCastError&) {
        return Err::Cast;
    } catch (const EVariantOverflowError&) {
        return Err::Overflow;
    } catch (const EVariantInvalidOpError&) {
        return Err::InvalidOp;
    } catch (const EVariantBadIndexError&) {
        return Err::BadIndex;
    } catch (const EVariantInvalidArgError&) {
        return Err::InvalidArg;
    } catch (const EZeroDivide&) {
        return Err::ZeroDivide;
    } catch (const EDivByZero&) {
        return Err::DivByZero;
    } catch (...) {
        return Err::Other;
    }
    return Err::None;
}

// Same kind and same value (Null and Empty included).
::testing::AssertionResult Same(const Variant& actual, const Variant& expected) {
    if (actual.VarType() == expected.VarType() && VarSameValue(actual, expected)) return ::testing::AssertionSuccess();
    auto show = [](const Variant& v) {
        std::string text;
        try {
            text = VarToStr(v);
        } catch (...) {
            text = "?";
        }
        return VarTypeAsText(v.VarType()) + " '" + text + "'";
    };
    return ::testing::AssertionFailure() << "got " << show(actual) << ", expected " << show(expected);
}

Variant Cur(double d) { return Variant(Currency::FromDouble(d)); }
Variant Int64V(int64_t i) { return Variant(i); }
Variant Ole(const char* s) { return Variant::FromOleStr(s); }
const double kNaN = std::numeric_limits<double>::quiet_NaN();

}  // namespace

// --- kinds -----------------------------------------------------------------------------------

TEST(Variant, KindsKeepTheirVarTypeCodes) {
    struct Case {
        Variant v;
        TVarType type;
        const char* text;
    };
    const Case cases[] = {
        {Variant(), varEmpty, "Empty"},
        {Variant::Null(), varNull, "Null"},
        {Variant(5), varInteger, "Integer"},
        {Int64V(5), varInt64, "Int64"},
        {Variant(5LL), varInteger, "Integer"},  // other integer types by value
        {Variant(5000000000LL), varInt64, "Int64"},
        {Variant(4000000000u), varInt64, "Int64"},
        {Variant(short(-3)), varInteger, "Integer"},
        {Variant(1.5), varDouble, "Double"},
        {Variant::FromSingle(1.5f), varSingle, "Single"},
        {Variant(true), varBoolean, "Boolean"},
        {Cur(1.5), varCurrency, "Currency"},
        {Variant::FromDate(45000), varDate, "Date"},
        {Variant("a"), varString, "String"},
        {Ole("a"), varOleStr, "OleStr"},
        {Variant(std::shared_ptr<IDispatchObject>()), varDispatch, "Dispatch"},
        {Variant::FromInt(-2, varSmallint), varSmallint, "Smallint"},
        {Variant::FromInt(-2, varShortInt), varShortInt, "ShortInt"},
        {Variant::FromInt(200, varByte), varByte, "Byte"},
        {Variant::FromInt(60000, varWord), varWord, "Word"},
        {Variant::FromInt(4000000000, varLongWord), varLongWord, "LongWord"},
        {VarArrayCreate({0, 1}, varInteger), TVarType(varArray | varInteger), "Array Integer"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.v.VarType(), c.type) << c.text;
        EXPECT_EQ(VarTypeAsText(c.v.VarType()), c.text);
    }
    EXPECT_TRUE(Variant().IsEmpty());
    EXPECT_FALSE(Variant().IsNull());  // Empty and Null stay apart
    EXPECT_EQ(VarTypeAsText(TVarType(varByRef | varVariant)), "ByRef Variant");
}

TEST(Variant, NarrowIntegerKindsCheckTheirRange) {
    EXPECT_EQ(Raised([] { Variant::FromInt(256, varByte); }), Err::Overflow);
    EXPECT_EQ(Raised([] { Variant::FromInt(-1, varWord); }), Err::Overflow);
    EXPECT_EQ(Raised([] { Variant::FromInt(40000, varSmallint); }), Err::Overflow);
    EXPECT_EQ(Raised([] { Variant::FromInt(1, varDouble); }), Err::InvalidArg);
    EXPECT_EQ(Raised([] { Variant v(std::numeric_limits<uint64_t>::max()); }), Err::Overflow);
}

TEST(Variant, NumbersBooleansAndDatesNeverAllocate) {
    static_assert(sizeof(Variant) <= 16);
    ASSERT_GT(AllocationsDuring([] { Variant text("counted"); }), 0);  // the counter works
    const long n = AllocationsDuring([] {
        Variant a(3), b(int64_t(4)), c(2.5), d(true), e(Currency{15000}), f = Variant::FromDate(45000.25);
        Variant sum = a + b;
        sum = sum * c - e;
        sum = sum / Variant(2);
        sum = VarIntDiv(sum, a) + VarMod(b, a) + VarAnd(d, d) + (f - Variant(1));
        Variant copy = sum;
        copy.Swap(a);
        volatile bool cmp = a < b && c == Variant(2.5) && d != Variant(false) && f > e;
        (void)cmp;
        volatile int64_t i = a.AsInt64() + b.AsInteger();
        (void)i;
    });
    EXPECT_EQ(n, 0);
}

// --- conversions -----------------------------------------------------------------------------

TEST(VariantConversion, ToInteger) {
    struct Case {
        Variant v;
        int32_t expected;
        Err err;
    };
    const Case cases[] = {
        {Variant(), 0, Err::None},
        {Variant(-7), -7, Err::None},
        {Int64V(INT32_MIN), INT32_MIN, Err::None},
        {Int64V(int64_t(INT32_MAX) + 1), 0, Err::Overflow},
        {Variant(2.5), 2, Err::None},  // halves to even, unlike Trunc
        {Variant(3.5), 4, Err::None},
        {Variant(-2.5), -2, Err::None},
        {Variant(2.4999), 2, Err::None},
        {Variant(1e10), 0, Err::Overflow},
        {Variant(kNaN), 0, Err::Overflow},
        {Variant(true), -1, Err::None},
        {Variant(false), 0, Err::None},
        {Cur(2.5), 2, Err::None},
        {Cur(3.5), 4, Err::None},
        {Cur(-3.5), -4, Err::None},
        {Variant::FromDate(1.5), 2, Err::None},
        {Variant::FromInt(255, varByte), 255, Err::None},
        {Variant::FromInt(4000000000, varLongWord), 0, Err::Overflow},
        {Variant("42"), 42, Err::None},
        {Variant("-42"), -42, Err::None},
        {Variant("2,5"), 2, Err::None},  // locale decimal separator, then rounding
        {Variant("3,5"), 4, Err::None},
        {Variant("abc"), 0, Err::Cast},
        {Variant(""), 0, Err::Cast},
        {Variant::Null(), 0, Err::Cast},
        {VarArrayCreate({0, 1}, varVariant), 0, Err::Cast},
    };
    for (const Case& c : cases) {
        int32_t got = 0;
        const Err err = Raised([&] { got = c.v.AsInteger(); });
        EXPECT_EQ(ErrName(err), ErrName(c.err)) << VarTypeAsText(c.v.VarType()) << " case " << (&c - cases);
        if (c.err == Err::None) {
            EXPECT_EQ(got, c.expected) << "case " << (&c - cases);
        }
    }
}

TEST(VariantConversion, ErrorTextsNameBothKinds) {
    try {
        (void)Variant::Null().AsInteger();
        FAIL();
    } catch (const EVariantTypeCastError& e) {
        EXPECT_EQ(e.Message(), "Could not convert variant of type (Null) into type (Integer)");
        EXPECT_TRUE(e.InheritsFrom("EVariantError"));
    }
    try {
        (void)Int64V(int64_t(1) << 40).AsInteger();
        FAIL();
    } catch (const EVariantOverflowError& e) {
        EXPECT_EQ(e.Message(), "Overflow while converting variant of type (Int64) into type (Integer)");
    }
    try {
        (void)Variant("x").AsDouble();
        FAIL();
    } catch (const EVariantTypeCastError& e) {
        EXPECT_EQ(e.Message(), "Could not convert variant of type (String) into type (Double)");
    }
}

TEST(VariantConversion, ToInt64DoubleAndCurrency) {
    EXPECT_EQ(Variant("9000000000").AsInt64(), 9000000000);
    EXPECT_EQ(Variant(9.0e18).AsInt64(), int64_t(9000000000000000000));
    EXPECT_EQ(Raised([] { (void)Variant(1e19).AsInt64(); }), Err::Overflow);

    struct Case {
        Variant v;
        double expected;
        Err err;
    };
    const Case cases[] = {
        {Variant(), 0, Err::None},
        {Variant(true), -1, Err::None},
        {Variant(3), 3, Err::None},
        {Cur(1.2345), 1.2345, Err::None},
        {Variant::FromDate(45000.5), 45000.5, Err::None},
        {Variant("1,25"), 1.25, Err::None},
        {Variant("-3"), -3, Err::None},
        {Variant("1,2,3"), 0, Err::Cast},
        {Variant::Null(), 0, Err::Cast},
    };
    for (const Case& c : cases) {
        double got = 0;
        EXPECT_EQ(ErrName(Raised([&] { got = c.v.AsDouble(); })), ErrName(c.err)) << "case " << (&c - cases);
        if (c.err == Err::None) {
            EXPECT_DOUBLE_EQ(got, c.expected) << "case " << (&c - cases);
        }
    }

    // Currency keeps four decimals, halves to even (binary-exact halves used here).
    struct CurCase {
        double in;
        int64_t scaled;
    };
    for (const CurCase& c : {CurCase{1.23456, 12346}, CurCase{0.03125, 312}, CurCase{0.09375, 938},
             CurCase{-0.03125, -312}, CurCase{-1.5, -15000}}) {
        EXPECT_EQ(Currency::FromDouble(c.in).Scaled, c.scaled) << c.in;
    }
    EXPECT_EQ(Variant(7).AsCurrency().Scaled, 70000);
    EXPECT_EQ(Variant("2,5").AsCurrency().Scaled, 25000);
    EXPECT_EQ(Raised([] { (void)Variant(1e300).AsCurrency(); }), Err::Overflow);
    EXPECT_EQ(Raised([] { (void)Int64V(INT64_MAX).AsCurrency(); }), Err::Overflow);
}

TEST(VariantConversion, ToBoolean) {
    struct Case {
        Variant v;
        bool expected;
        Err err;
    };
    const Case cases[] = {
        {Variant(), false, Err::None},
        {Variant(0), false, Err::None},
        {Variant(-1), true, Err::None},
        {Variant(2), true, Err::None},
        {Variant(0.0), false, Err::None},
        {Variant(0.25), true, Err::None},
        {Variant("TRUE"), true, Err::None},
        {Variant("false"), false, Err::None},
        {Variant("0"), false, Err::None},
        {Variant("3"), true, Err::None},
        {Variant("yes"), false, Err::Cast},
        {Variant::Null(), false, Err::Cast},
    };
    for (const Case& c : cases) {
        bool got = false;
        EXPECT_EQ(ErrName(Raised([&] { got = c.v.AsBoolean(); })), ErrName(c.err)) << "case " << (&c - cases);
        if (c.err == Err::None) {
            EXPECT_EQ(got, c.expected) << "case " << (&c - cases);
        }
    }
}

TEST(VariantConversion, ToString) {
    struct Case {
        Variant v;
        const char* expected;
    };
    const Case cases[] = {
        {Variant(), ""},
        {Variant(-42), "-42"},
        {Int64V(9000000000), "9000000000"},
        {Variant(true), "True"},
        {Variant(false), "False"},
        {Variant(1.5), "1,5"},
        {Variant::FromSingle(0.1f), "0,1"},  // not the widened double's noise
        {Cur(2.5), "2,5"},
        {Variant::FromDate(45000), "15.3.2023"},
        {Variant::FromDate(45000.5), "15.3.2023 12:00:00"},
        {Variant("text"), "text"},
        {Ole("ole"), "ole"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.v.AsString(), c.expected) << VarTypeAsText(c.v.VarType());

    EXPECT_EQ(VarToStr(Variant::Null()), "");
    EXPECT_EQ(Raised([] { (void)Variant::Null().AsString(); }), Err::Cast);
    EXPECT_EQ(Raised([] { (void)VarArrayOf({Variant(1)}).AsString(); }), Err::Cast);
}

TEST(VariantConversion, ToDateAndDispatch) {
    EXPECT_DOUBLE_EQ(Variant("15.3.2023").AsDate(), 45000);
    EXPECT_DOUBLE_EQ(Variant(45000).AsDate(), 45000);
    EXPECT_EQ(Raised([] { (void)Variant("soon").AsDate(); }), Err::Cast);

    auto obj = std::make_shared<IDispatchObject>();
    const Variant d(obj);
    const Variant copy = d;
    EXPECT_EQ(copy.AsDispatch(), obj);
    EXPECT_EQ(Variant().AsDispatch(), nullptr);
    EXPECT_EQ(Raised([] { (void)Variant(1).AsDispatch(); }), Err::Cast);
}

TEST(VariantConversion, VarAsType) {
    struct Case {
        Variant v;
        TVarType type;
        Variant expected;
        Err err;
    };
    const Case cases[] = {
        {Variant(42), varByte, Variant::FromInt(42, varByte), Err::None},
        {Variant(300), varByte, Variant(), Err::Overflow},
        {Variant("12"), varInteger, Variant(12), Err::None},
        {Variant(2.5), varInt64, Int64V(2), Err::None},
        {Variant(1.5), varString, Variant("1,5"), Err::None},
        {Variant(3), varOleStr, Ole("3"), Err::None},
        {Variant(true), varInteger, Variant(-1), Err::None},
        {Variant("True"), varBoolean, Variant(true), Err::None},
        {Variant(1), varCurrency, Cur(1), Err::None},
        {Variant(45000), varDate, Variant::FromDate(45000), Err::None},
        {Variant(), varInteger, Variant(0), Err::None},
        {Variant(7), varNull, Variant::Null(), Err::None},
        {Variant(7), varEmpty, Variant(), Err::None},
        {Variant::Null(), varString, Variant(), Err::Cast},
        {Variant(1e300), varSingle, Variant(), Err::Overflow},
        {Variant(1), TVarType(varArray | varInteger), Variant(), Err::InvalidArg},
        {VarArrayOf({Variant(1)}), varInteger, Variant(), Err::Cast},
    };
    for (const Case& c : cases) {
        Variant got;
        EXPECT_EQ(ErrName(Raised([&] { got = VarAsType(c.v, c.type); })), ErrName(c.err)) << "case " << (&c - cases);
        if (c.err == Err::None) {
            EXPECT_TRUE(Same(got, c.expected)) << "case " << (&c - cases);
        }
    }
}

// --- operators -------------------------------------------------------------------------------

namespace {

enum class Op { Add, Sub, Mul, Div, IntDiv, Mod, And, Or, Xor, Shl, Shr };

Variant Apply(Op op, const Variant& a, const Variant& b) {
    switch (op) {
    case Op::Add: return a + b;
    case Op::Sub: return a - b;
    case Op::Mul: return a * b;
    case Op::Div: return a / b;
    case Op::IntDiv: return VarIntDiv(a, b);
    case Op::Mod: return VarMod(a, b);
    case Op::And: return VarAnd(a, b);
    case Op::Or: return VarOr(a, b);
    case Op::Xor: return VarXor(a, b);
    case Op::Shl: return VarShl(a, b);
    case Op::Shr: return VarShr(a, b);
    }
    return Variant();
}

struct OpCase {
    Variant a;
    Op op;
    Variant b;
    Variant expected;
    Err err = Err::None;
};

void RunOpCases(const std::vector<OpCase>& cases) {
    for (size_t i = 0; i < cases.size(); ++i) {
        const OpCase& c = cases[i];
        Variant got;
        EXPECT_EQ(ErrName(Raised([&] { got = Apply(c.op, c.a, c.b); })), ErrName(c.err)) << "case " << i;
        if (c.err == Err::None) {
            EXPECT_TRUE(Same(got, c.expected)) << "case " << i;
        }
    }
}

}  // namespace

TEST(VariantOperators, AdditionPromotesAndConcatenates) {
    const double two63 = 9223372036854775808.0;
    RunOpCases({
        {Variant(2), Op::Add, Variant(3), Variant(5)},
        {Int64V(2), Op::Add, Variant(3), Int64V(5)},  // literals stay Int64
        {Variant(INT32_MAX), Op::Add, Variant(1), Int64V(int64_t(INT32_MAX) + 1)},
        {Int64V(INT64_MAX), Op::Add, Variant(1), Variant(two63)},  // beyond Int64: Double
        {Int64V(INT64_MIN), Op::Sub, Variant(1), Variant(-two63)},
        {Int64V(int64_t(1) << 62), Op::Mul, Variant(4), Variant(two63 * 2)},
        {Variant(1), Op::Add, Variant(0.5), Variant(1.5)},
        {Variant::FromSingle(0.5f), Op::Add, Variant(1), Variant(1.5)},
        {Variant("a"), Op::Add, Variant("b"), Variant("ab")},
        {Ole("a"), Op::Add, Ole("b"), Ole("ab")},  // concatenates, stays OleStr
        {Ole("a"), Op::Add, Variant("b"), Variant("ab")},
        {Variant(1), Op::Add, Variant("2"), Variant(3)},  // text + number adds
        {Variant("2"), Op::Add, Variant(1), Variant(3)},
        {Variant("1,5"), Op::Add, Variant(1), Variant(2.5)},
        {Variant("abc"), Op::Add, Variant(1), Variant(), Err::Cast},
        {Variant(), Op::Add, Variant(5), Variant(5)},
        {Variant(), Op::Add, Variant("x"), Variant("x")},
        {Variant(), Op::Add, Variant(), Variant(0)},
        {Variant::Null(), Op::Add, Variant(1), Variant::Null()},
        {Variant("x"), Op::Add, Variant::Null(), Variant::Null()},
        {Variant(true), Op::Add, Variant(1), Variant(0)},  // True counts as -1
        {VarArrayOf({Variant(1)}), Op::Add, Variant(1), Variant(), Err::InvalidOp},
        {Variant(std::shared_ptr<IDispatchObject>()), Op::Add, Variant(1), Variant(), Err::InvalidOp},
    });
}

TEST(VariantOperators, CurrencyAndDateArithmetic) {
    RunOpCases({
        {Cur(1.5), Op::Add, Variant(1), Cur(2.5)},
        {Cur(1.5), Op::Mul, Cur(1.5), Cur(2.25)},
        {Cur(0.0001), Op::Mul, Cur(0.5), Cur(0)},  // 0.00005 to even
        {Cur(0.0003), Op::Mul, Cur(0.5), Cur(0.0002)},  // 0.00015 to even
        {Cur(10), Op::Mul, Variant(1.21), Cur(12.1)},  // Currency wins over Double
        {Cur(0.1), Op::Add, Cur(0.2), Cur(0.3)},  // exact, unlike doubles
        {Cur(1), Op::Div, Cur(4), Variant(0.25)},
        {Int64V(INT64_MAX), Op::Mul, Cur(1), Variant(), Err::Other},
        {Variant::FromDate(45000), Op::Add, Variant(1), Variant::FromDate(45001)},
        {Variant(1), Op::Add, Variant::FromDate(45000), Variant::FromDate(45001)},
        {Variant::FromDate(45000.5), Op::Sub, Variant(0.5), Variant::FromDate(45000)},
        {Variant::FromDate(45002), Op::Sub, Variant::FromDate(45000), Variant(2.0)},
        {Variant::FromDate(2), Op::Mul, Variant(2), Variant(4.0)},
    });
}

TEST(VariantOperators, DivisionAndRemainder) {
    RunOpCases({
        {Variant(7), Op::Div, Variant(2), Variant(3.5)},
        {Variant(6), Op::Div, Variant(3), Variant(2.0)},  // always a Double
        {Variant(1), Op::Div, Variant(0), Variant(), Err::ZeroDivide},
        {Variant(0.0), Op::Div, Variant(0.0), Variant(), Err::ZeroDivide},
        {Variant(1), Op::Div, Variant(), Variant(), Err::ZeroDivide},
        {Variant::Null(), Op::Div, Variant(0), Variant::Null()},
        {Variant(7), Op::IntDiv, Variant(2), Variant(3)},
        {Variant(-7), Op::IntDiv, Variant(2), Variant(-3)},  // truncates
        {Variant(7.5), Op::IntDiv, Variant(2), Variant(4)},  // 7.5 rounds to 8 first
        {Variant(6.5), Op::IntDiv, Variant(2), Variant(3)},  // 6.5 rounds to 6 first
        {Variant("9"), Op::IntDiv, Variant(2), Variant(4)},
        {Int64V(9), Op::IntDiv, Variant(2), Int64V(4)},
        {Variant(1), Op::IntDiv, Variant(0), Variant(), Err::DivByZero},
        {Variant(1), Op::IntDiv, Variant(0.4), Variant(), Err::DivByZero},
        {Int64V(INT64_MIN), Op::IntDiv, Variant(-1), Variant(9223372036854775808.0)},
        {Variant(-7), Op::Mod, Variant(3), Variant(-1)},  // sign of the dividend
        {Variant(7), Op::Mod, Variant(-3), Variant(1)},
        {Variant(-90), Op::Mod, Variant(360), Variant(-90)},
        {Int64V(INT64_MIN), Op::Mod, Variant(-1), Int64V(0)},
        {Variant(5), Op::Mod, Variant(0), Variant(), Err::DivByZero},
        {Variant::Null(), Op::Mod, Variant(0), Variant::Null()},
    });
}

TEST(VariantOperators, LogicAndShifts) {
    RunOpCases({
        {Variant(true), Op::And, Variant(false), Variant(false)},
        {Variant(true), Op::Or, Variant(false), Variant(true)},
        {Variant(true), Op::Xor, Variant(true), Variant(false)},
        {Variant(true), Op::And, Variant("True"), Variant(true)},
        {Variant(true), Op::And, Variant(), Variant(false)},
        {Variant(12), Op::And, Variant(10), Variant(8)},
        {Variant(12), Op::Or, Variant(3), Variant(15)},
        {Variant(12), Op::Xor, Variant(10), Variant(6)},
        {Variant(true), Op::And, Variant(3), Variant(3)},  // bitwise with True as -1
        {Int64V(12), Op::And, Variant(10), Int64V(8)},
        {Variant::Null(), Op::And, Variant(false), Variant::Null()},
        {Variant(true), Op::Or, Variant::Null(), Variant::Null()},
        {Variant("x"), Op::Or, Variant(true), Variant(), Err::Cast},
        {Variant(1), Op::Shl, Variant(4), Variant(16)},
        {Variant(-1), Op::Shr, Variant(28), Variant(15)},  // logical, 32 bits
        {Int64V(1), Op::Shl, Variant(40), Int64V(int64_t(1) << 40)},
        {Variant(1), Op::Shl, Variant::Null(), Variant::Null()},
    });
    EXPECT_TRUE(Same(VarNot(Variant(true)), Variant(false)));
    EXPECT_TRUE(Same(VarNot(Variant(0)), Variant(-1)));
    EXPECT_TRUE(Same(VarNot(Variant()), Variant(-1)));
    EXPECT_TRUE(Same(VarNot(Variant("False")), Variant(true)));
    EXPECT_TRUE(Same(VarNot(Int64V(0)), Int64V(-1)));
    EXPECT_TRUE(Same(VarNot(Variant::Null()), Variant::Null()));
}

TEST(VariantOperators, UnaryMinus) {
    struct Case {
        Variant v;
        Variant expected;
    };
    const Case cases[] = {
        {Variant(5), Variant(-5)},
        {Variant(INT32_MIN), Int64V(-int64_t(INT32_MIN))},
        {Int64V(INT64_MIN), Variant(9223372036854775808.0)},
        {Variant(1.5), Variant(-1.5)},
        {Cur(2.5), Cur(-2.5)},
        {Variant("3"), Variant(-3)},
        {Variant(), Variant(0)},
        {Variant::Null(), Variant::Null()},
    };
    for (const Case& c : cases) EXPECT_TRUE(Same(-c.v, c.expected)) << "case " << (&c - cases);
    EXPECT_EQ(Raised([] { (void)-VarArrayOf({}); }), Err::InvalidOp);
}

// --- comparisons -----------------------------------------------------------------------------

TEST(VariantCompare, RelationshipTable) {
    struct Case {
        Variant a, b;
        TVariantRelationship expected;
        Err err = Err::None;
    };
    const Case cases[] = {
        // Null equals Null and sorts below everything else.
        {Variant::Null(), Variant::Null(), vrEqual},
        {Variant::Null(), Variant(1), vrLessThan},
        {Variant(-1e300), Variant::Null(), vrGreaterThan},
        {Variant::Null(), Variant(), vrLessThan},
        {Variant::Null(), Variant(""), vrLessThan},
        // Empty acts as 0 or ''.
        {Variant(), Variant(), vrEqual},
        {Variant(), Variant(0), vrEqual},
        {Variant(), Variant(""), vrEqual},
        {Variant(), Variant("a"), vrLessThan},
        {Variant(1), Variant(), vrGreaterThan},
        // Strings: case-sensitive, the locale's order.
        {Variant("a"), Variant("b"), vrLessThan},
        {Variant("abc"), Variant("abc"), vrEqual},
        {Variant("a"), Variant("A"), vrLessThan},
        {Variant("chata"), Variant("hrad"), vrGreaterThan},  // "ch" after "h"
        {Ole("b"), Variant("a"), vrGreaterThan},
        // Text against numbers compares numerically.
        {Variant("10"), Variant(9), vrGreaterThan},
        {Variant(2.5), Variant("2,5"), vrEqual},
        {Variant("abc"), Variant(1), vrLessThan, Err::Cast},
        {Variant::FromDate(45000), Variant("15.3.2023"), vrEqual},
        {Variant::FromDate(45000), Variant("45000"), vrEqual},
        // Numbers across kinds.
        {Variant(1), Variant(1.0), vrEqual},
        {Int64V(int64_t(1) << 53), Int64V((int64_t(1) << 53) + 1), vrLessThan},  // no rounding through double
        {Cur(1.5), Variant(1.5), vrEqual},
        {Cur(1), Variant(1), vrEqual},
        {Cur(1), Int64V(2), vrLessThan},
        {Variant::FromDate(45000), Variant(45000), vrEqual},
        {Variant(kNaN), Variant(1), vrNotEqual},
        // Booleans compare truth values: True = -1 and True = 1.
        {Variant(true), Variant(-1), vrEqual},
        {Variant(true), Variant(1), vrEqual},
        {Variant(false), Variant(0), vrEqual},
        {Variant(true), Variant(0), vrGreaterThan},
        {Variant(false), Variant(true), vrLessThan},
        {Variant(true), Variant("True"), vrEqual},
        {Variant(1.0), Variant(true), vrEqual},
        // Arrays cannot be compared.
        {VarArrayOf({Variant(1)}), Variant(1), vrEqual, Err::InvalidOp},
        {VarArrayOf({}), VarArrayOf({}), vrEqual, Err::InvalidOp},
    };
    for (const Case& c : cases) {
        TVariantRelationship got = vrNotEqual;
        EXPECT_EQ(ErrName(Raised([&] { got = VarCompareValue(c.a, c.b); })), ErrName(c.err)) << "case " << (&c - cases);
        if (c.err == Err::None) {
            EXPECT_EQ(got, c.expected) << "case " << (&c - cases);
        }
    }
}

TEST(VariantCompare, OperatorsFollowTheRelationship) {
    const Variant null = Variant::Null();
    EXPECT_TRUE(null == null);
    EXPECT_FALSE(null != null);
    EXPECT_TRUE(null < Variant(0));
    EXPECT_TRUE(null <= null);
    EXPECT_FALSE(null > null);
    EXPECT_TRUE(Variant(2) >= Variant(1.5));
    EXPECT_TRUE(Variant(true) == Variant(1));
    EXPECT_FALSE(Variant(kNaN) == Variant(kNaN));
    EXPECT_TRUE(Variant(kNaN) != Variant(kNaN));
    EXPECT_FALSE(Variant(kNaN) <= Variant(1));

    auto obj = std::make_shared<IDispatchObject>();
    EXPECT_TRUE(Variant(obj) == Variant(obj));
    EXPECT_TRUE(Variant(obj) != Variant(std::make_shared<IDispatchObject>()));

    // VarSameValue: Empty and Null equal only themselves.
    EXPECT_TRUE(VarSameValue(null, null));
    EXPECT_TRUE(VarSameValue(Variant(), Variant()));
    EXPECT_FALSE(VarSameValue(Variant(), Variant(0)));
    EXPECT_FALSE(VarSameValue(null, Variant()));
    EXPECT_TRUE(VarSameValue(Variant(3), Variant(3.0)));
}

// --- arrays ----------------------------------------------------------------------------------

TEST(VariantArray, OneDimensionWithAnyLowBound) {
    Variant a = VarArrayCreate({5, 7}, varVariant);
    EXPECT_EQ(a.VarType(), varArray | varVariant);
    EXPECT_EQ(VarArrayDimCount(a), 1);
    EXPECT_EQ(VarArrayLowBound(a, 1), 5);
    EXPECT_EQ(VarArrayHighBound(a, 1), 7);
    EXPECT_TRUE(a.GetElement({6}).IsEmpty());
    a.PutElement({5}, Variant("x"));
    a.ElementRef(7) = Variant(3);
    EXPECT_TRUE(Same(a.GetElement({5}), Variant("x")));
    EXPECT_TRUE(Same(a.GetElement({7}), Variant(3)));

    for (int bad : {4, 8, INT32_MIN, INT32_MAX}) {
        EXPECT_EQ(Raised([&] { (void)a.GetElement({bad}); }), Err::BadIndex) << bad;
        EXPECT_EQ(Raised([&] { a.PutElement({bad}, Variant(1)); }), Err::BadIndex) << bad;
        EXPECT_EQ(Raised([&] { (void)a.ElementRef(bad); }), Err::BadIndex) << bad;
    }
    EXPECT_EQ(Raised([&] { (void)a.GetElement({5, 5}); }), Err::BadIndex);
    try {
        (void)a.GetElement({8});
    } catch (const EVariantBadIndexError& e) {
        EXPECT_EQ(e.Message(), "Variant or safe array index out of bounds");
    }
}

TEST(VariantArray, SeveralDimensionsKeepEveryCellApart) {
    for (const std::vector<int>& bounds : {std::vector<int>{-1, 1, 2, 5}, std::vector<int>{0, 2, -3, -2, 1, 4}}) {
        Variant a = VarArrayCreate(bounds, varInteger);
        const int dims = int(bounds.size() / 2);
        ASSERT_EQ(VarArrayDimCount(a), dims);
        std::vector<int> idx(static_cast<size_t>(dims));
        // Visit every cell: write a value made from its indices, then read all back.
        std::function<void(int, bool)> visit = [&](int d, bool write) {
            if (d == dims) {
                int code = 0;
                for (int k = 0; k < dims; ++k) code = code * 100 + (idx[size_t(k)] + 10);
                if (write) {
                    a.PutElement(idx, Variant(code));
                } else {
                    EXPECT_EQ(a.GetElement(idx).AsInteger(), code);
                }
                return;
            }
            for (int i = bounds[size_t(2 * d)]; i <= bounds[size_t(2 * d + 1)]; ++i) {
                idx[size_t(d)] = i;
                visit(d + 1, write);
            }
        };
        visit(0, true);
        visit(0, false);
        EXPECT_EQ(VarArrayLowBound(a, dims), bounds[size_t(2 * dims - 2)]);
        EXPECT_EQ(Raised([&] { (void)VarArrayLowBound(a, dims + 1); }), Err::BadIndex);
    }
    Variant three = VarArrayCreate({0, 1, 0, 1, 0, 1}, varVariant);
    three.PutElement({1, 0, 1}, Variant("z"));
    EXPECT_TRUE(Same(three.GetElement({1, 0, 1}), Variant("z")));
    EXPECT_EQ(Raised([&] { (void)three.GetElement({1, 2, 0}); }), Err::BadIndex);
}

TEST(VariantArray, TypedArraysConvertOnPut) {
    Variant a = VarArrayCreate({0, 2}, varInteger);
    EXPECT_TRUE(Same(a.GetElement({0}), Variant(0)));  // zeroed, not Empty
    a.PutElement({1}, Variant("12"));
    EXPECT_TRUE(Same(a.GetElement({1}), Variant(12)));
    a.PutElement({2}, Variant(2.5));
    EXPECT_TRUE(Same(a.GetElement({2}), Variant(2)));
    EXPECT_EQ(Raised([&] { a.PutElement({0}, Variant("x")); }), Err::Cast);
    EXPECT_TRUE(Same(a.GetElement({0}), Variant(0)));  // unchanged after the failure

    Variant bytes = VarArrayCreate({0, 0}, varByte);
    EXPECT_EQ(Raised([&] { bytes.PutElement({0}, Variant(300)); }), Err::Overflow);
    Variant strings = VarArrayCreate({1, 2}, varString);
    EXPECT_TRUE(Same(strings.GetElement({2}), Variant("")));
}

TEST(VariantArray, RedimKeepsElements) {
    Variant a = VarArrayOf({Variant(1), Variant("two"), Variant(3.0)});
    VarArrayRedim(a, 4);
    EXPECT_EQ(VarArrayHighBound(a, 1), 4);
    EXPECT_TRUE(Same(a.GetElement({1}), Variant("two")));
    EXPECT_TRUE(a.GetElement({4}).IsEmpty());
    VarArrayRedim(a, 0);
    EXPECT_TRUE(Same(a.GetElement({0}), Variant(1)));
    EXPECT_EQ(Raised([&] { (void)a.GetElement({1}); }), Err::BadIndex);
    VarArrayRedim(a, -1);  // SetLength(a, 0)
    EXPECT_EQ(VarArrayHighBound(a, 1), -1);
    EXPECT_EQ(Raised([&] { VarArrayRedim(a, -2); }), Err::BadIndex);

    // Two dimensions: the last one changes, every kept cell stays put.
    Variant m = VarArrayCreate({0, 1, 0, 1}, varInteger);
    m.PutElement({1, 1}, Variant(11));
    m.PutElement({0, 1}, Variant(1));
    VarArrayRedim(m, 2);
    EXPECT_EQ(m.GetElement({1, 1}).AsInteger(), 11);
    EXPECT_EQ(m.GetElement({0, 1}).AsInteger(), 1);
    EXPECT_EQ(m.GetElement({1, 2}).AsInteger(), 0);
}

TEST(VariantArray, CopiesAreIndependent) {
    Variant a = VarArrayOf({Variant(1), Variant("s")});
    Variant b = a;
    b.PutElement({0}, Variant(99));
    b.ElementRef(1) = Variant("t");
    EXPECT_TRUE(Same(a.GetElement({0}), Variant(1)));
    EXPECT_TRUE(Same(a.GetElement({1}), Variant("s")));
    EXPECT_TRUE(Same(b.GetElement({0}), Variant(99)));

    // Nested arrays copy as values too.
    Variant outer = VarArrayOf({a});
    Variant copy = outer;
    Variant inner = copy.GetElement({0});
    inner.PutElement({0}, Variant(-1));
    copy.PutElement({0}, inner);
    EXPECT_EQ(outer.GetElement({0}).GetElement({0}).AsInteger(), 1);
    EXPECT_EQ(copy.GetElement({0}).GetElement({0}).AsInteger(), -1);

    // Storing an array into its own element keeps the old value (and leaks nothing).
    a.PutElement({0}, a);
    EXPECT_TRUE(Same(a.GetElement({0}).GetElement({0}), Variant(1)));
    a.PutElement({1}, a.GetElement({0}));
    a = a.GetElement({0});
    EXPECT_TRUE(Same(a.GetElement({1}), Variant("s")));
}

TEST(VariantArray, InvalidUse) {
    EXPECT_EQ(Raised([] { VarArrayCreate({0}, varVariant); }), Err::InvalidArg);
    EXPECT_EQ(Raised([] { VarArrayCreate({3, 1}, varVariant); }), Err::InvalidArg);
    EXPECT_EQ(Raised([] { VarArrayCreate({0, 1}, varNull); }), Err::InvalidArg);
    EXPECT_EQ(Raised([] { VarArrayCreate({0, 1}, TVarType(varArray | varInteger)); }), Err::InvalidArg);
    EXPECT_THROW(VarArrayCreate({0, 2000000000}, varVariant), EOutOfMemory);  // refused, not a crash
    EXPECT_THROW(VarArrayCreate({0, 100000, 0, 100000}, varVariant), EOutOfMemory);
    Variant a = VarArrayCreate({0, 0}, varVariant);
    EXPECT_THROW(VarArrayRedim(a, 2000000000), EOutOfMemory);
    EXPECT_EQ(VarArrayHighBound(a, 1), 0);

    const Variant one(1);
    EXPECT_EQ(VarArrayDimCount(one), 0);
    EXPECT_EQ(Raised([&] { (void)VarArrayLowBound(one, 1); }), Err::InvalidArg);
    EXPECT_EQ(Raised([&] { (void)one.GetElement({0}); }), Err::InvalidArg);
    Variant two(2);
    EXPECT_EQ(Raised([&] { VarArrayRedim(two, 3); }), Err::InvalidArg);
    EXPECT_EQ(VarArrayHighBound(VarArrayCreate({0, -1}, varVariant), 1), -1);  // empty array
}

// --- strings ---------------------------------------------------------------------------------

TEST(VariantString, CopiesShareTextUntilWritten) {
    Variant a("abc");
    long n = AllocationsDuring([&] {
        Variant b = a;
        Variant c = b;
        c = a;
    });
    EXPECT_EQ(n, 0);

    Variant b = a;
    VarAppend(b, Variant("d"));
    EXPECT_EQ(a.RawString(), "abc");
    EXPECT_EQ(b.RawString(), "abcd");
    EXPECT_NE(&a.RawString(), &b.RawString());
}

TEST(VariantString, AppendFollowsAdditionAndGrowsInPlace) {
    struct Case {
        Variant a, b, expected;
    };
    const Case cases[] = {
        {Variant("ab"), Variant("c"), Variant("abc")},
        {Variant(), Variant("x"), Variant("x")},
        {Ole("a"), Ole("b"), Ole("ab")},
        {Variant("2"), Variant(1), Variant(3)},  // as with +, a number adds
        {Variant("a"), Variant::Null(), Variant::Null()},
    };
    for (const Case& c : cases) {
        Variant a = c.a;
        EXPECT_TRUE(Same(VarAppend(a, c.b), c.expected)) << "case " << (&c - cases);
    }

    Variant self("ab");
    VarAppend(self, self);
    EXPECT_EQ(self.RawString(), "abab");

    // The only owner grows in place: a handful of buffer growths, not one copy per append.
    Variant s("");
    const Variant piece("x");
    const long n = AllocationsDuring([&] {
        for (int i = 0; i < 20000; ++i) VarAppend(s, piece);
    });
    EXPECT_EQ(s.RawString().size(), 20000u);
    EXPECT_LT(n, 64);
}

// --- exceptions ------------------------------------------------------------------------------

TEST(Exceptions, InheritsFromByNameIgnoringCase) {
    struct Case {
        std::function<void()> raise;
        const char* name;
        bool inherits;
    };
    const Case cases[] = {
        {[] { throw EZeroDivide("z"); }, "EMathError", true},
        {[] { throw EZeroDivide("z"); }, "eexternal", true},
        {[] { throw EZeroDivide("z"); }, "EXCEPTION", true},
        {[] { throw EZeroDivide("z"); }, "EIntError", false},
        {[] { throw EZeroDivide("z"); }, "EZeroDivid", false},
        {[] { throw EDivByZero("d"); }, "EIntError", true},
        {[] { throw EVariantTypeCastError("c"); }, "EVariantError", true},
        {[] { throw EVariantTypeCastError("c"); }, "EConvertError", false},
        {[] { throw Exception("e"); }, "Exception", true},
        {[] { throw Exception("e"); }, "", false},
        {[] { throw EReadError("r"); }, "EStreamError", true},
    };
    for (const Case& c : cases) {
        try {
            c.raise();
        } catch (const Exception& e) {
            EXPECT_EQ(e.InheritsFrom(c.name), c.inherits) << e.ClassName() << " / " << c.name;
        }
    }
}

TEST(Exceptions, AbortAndRaiseAgain) {
    try {
        Abort();
    } catch (const Exception& e) {
        EXPECT_STREQ(e.ClassName(), "EAbort");
        EXPECT_EQ(e.Message(), "Operation aborted");
        std::unique_ptr<Exception> kept = e.Clone();
        EXPECT_THROW(kept->Raise(), EAbort);
    }
}
