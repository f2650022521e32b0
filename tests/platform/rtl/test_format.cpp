// Number formatting and parsing under the Czech settings: decimal comma, no-break space
// between thousands, "Kč" after the amount.

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>
#include <numbers>

#include "platform/rtl/SysUtils.h"

namespace {

const TFormatSettings& Cz() {
    static const TFormatSettings fs = TFormatSettings::Czech();
    return fs;
}

// The Czech thousands separator.
const std::string NB = "\u00A0";

struct FloatCase {
    double Value;
    const char* Expected;
};

TEST(FloatToStr, GeneralFormatWithFifteenDigits) {
    const FloatCase cases[] = {
        {0.0, "0"},
        {-0.0, "0"},
        {100.0, "100"},
        {-1.5, "-1,5"},
        {0.1 + 0.2, "0,3"},
        {1.0 / 3.0, "0,333333333333333"},
        {2.0 / 3.0, "0,666666666666667"},
        {0.0001, "0,0001"},
        {1e-5, "1E-5"},
        {-2.5e-10, "-2,5E-10"},
        {123456789012345.0, "123456789012345"},
        {1e15, "1E15"},
        {999999999999999.9, "1E15"},
        {123456789012345678.0, "1,23456789012346E17"},
        {1e100, "1E100"},
    };
    for (const auto& c : cases) EXPECT_EQ(FloatToStr(c.Value, Cz()), c.Expected) << c.Value;
}

TEST(FloatToStr, SpecialValues) {
    EXPECT_EQ(FloatToStr(std::numeric_limits<double>::quiet_NaN(), Cz()), "NAN");
    EXPECT_EQ(FloatToStr(HUGE_VAL, Cz()), "INF");
    EXPECT_EQ(FloatToStr(-HUGE_VAL, Cz()), "-INF");
}

TEST(FloatToStr, UsesTheGivenDecimalSeparator) {
    TFormatSettings fs = Cz();
    fs.DecimalSeparator = U'.';
    EXPECT_EQ(FloatToStr(1.25, fs), "1.25");
    EXPECT_EQ(FloatToStr(1.5e-7, fs), "1.5E-7");
}

TEST(FloatToStrF, AllFormats) {
    struct Case {
        double Value;
        TFloatFormat Format;
        int Precision, Digits;
        std::string Expected;
    };
    const Case cases[] = {
        {1234.5678, ffFixed, 15, 2, "1234,57"},
        {2.5, ffFixed, 15, 0, "3"},
        {-2.5, ffFixed, 15, 0, "-3"},
        {1.005, ffFixed, 15, 2, "1,01"},  // rounded on the decimal value, not the binary one
        {-0.001, ffFixed, 15, 2, "0,00"},  // rounds to zero: no sign
        {1e20, ffFixed, 15, 2, "1,00000000000000E+20"},
        {1234567.891, ffNumber, 15, 2, "1" + NB + "234" + NB + "567,89"},
        {-999.999, ffNumber, 15, 2, "-1" + NB + "000,00"},
        {1234.5, ffCurrency, 15, 2, "1" + NB + "234,50 Kč"},
        {-1234.5, ffCurrency, 15, 2, "-1" + NB + "234,50 Kč"},
        {1234.5, ffExponent, 4, 2, "1,235E+03"},
        {0.00012, ffExponent, 3, 0, "1,20E-4"},
        {0.0, ffExponent, 4, 2, "0,000E+00"},
        {12345.678, ffGeneral, 4, 0, "1,235E4"},
        {12345.678, ffGeneral, 5, 0, "12346"},
        {0.000123, ffGeneral, 15, 0, "0,000123"},
        {1e-7, ffGeneral, 15, 2, "1E-07"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FloatToStrF(c.Value, c.Format, c.Precision, c.Digits, Cz()), c.Expected)
            << c.Value << " format " << c.Format;
}

TEST(FloatToStrF, CurrencyLayouts) {
    TFormatSettings fs = Cz();
    fs.CurrencyString = "$";
    const std::pair<int, const char*> positive[] = {{0, "$1,50"}, {1, "1,50$"}, {2, "$ 1,50"}, {3, "1,50 $"}};
    for (auto [format, expected] : positive) {
        fs.CurrencyFormat = uint8_t(format);
        EXPECT_EQ(FloatToStrF(1.5, ffCurrency, 15, 2, fs), expected) << format;
    }
    const char* negative[16] = {"($1,50)", "-$1,50", "$-1,50", "$1,50-", "(1,50$)", "-1,50$", "1,50-$", "1,50$-",
        "-1,50 $", "-$ 1,50", "1,50 $-", "$ 1,50-", "$ -1,50", "1,50- $", "($ 1,50)", "(1,50 $)"};
    for (int format = 0; format < 16; ++format) {
        fs.NegCurrFormat = uint8_t(format);
        EXPECT_EQ(FloatToStrF(-1.5, ffCurrency, 15, 2, fs), negative[format]) << format;
    }
}

TEST(FormatFloat, PicturesAndRounding) {
    struct Case {
        const char* Format;
        double Value;
        std::string Expected;
    };
    const Case cases[] = {
        // rounding half away from zero, on the decimal value
        {"0", 0.5, "1"},
        {"0", -0.5, "-1"},
        {"0", 1.5, "2"},
        {"0", 2.5, "3"},
        {"0.00", 0.125, "0,13"},
        {"0.00", -0.125, "-0,13"},
        {"0.00", 1.005, "1,01"},
        {"0.00", 2.675, "2,68"},
        {"0.00", 1e-10, "0,00"},
        // placeholders
        {"000", 7, "007"},
        {"#", 12345, "12345"},
        {"#.##", 0.5, ",5"},
        {"#.##", 1, "1"},
        {"0.###", 1.5, "1,5"},
        {"0.###", 1.23456, "1,235"},
        {"0.0##", 2, "2,0"},
        {"00-00", 1234, "12-34"},
        // thousands
        {"#,##0.00", 1234567.891, "1" + NB + "234" + NB + "567,89"},
        {"#,##0.00", -1234.5, "-1" + NB + "234,50"},
        {"#,##0.00", 0.5, "0,50"},
        {"#,##0", 999.5, "1" + NB + "000"},
        {"#,##0", 1e6, "1" + NB + "000" + NB + "000"},
        {"0", 1e20, "100000000000000000000"},
        // scientific
        {"0.00E+00", 1234.5, "1,23E+03"},
        {"0.00E+00", 1235, "1,24E+03"},
        {"0.00E-00", 1234.5, "1,23E03"},
        {"0.00E-00", 0.0012345, "1,23E-03"},
        {"0.0e+0", 0.000012, "1,2e-5"},
        {"00.0E+0", 1234.5, "12,3E+2"},
        {"0.00E+00", 0, "0,00E+00"},
        // literals
        {"\"SUM=\"0.00", 5, "SUM=5,00"},
        {"'Kč '0", 12, "Kč 12"},
        {"0 'ks'", 3, "3 ks"},
        {"0 \"a;b\"", 3, "3 a;b"},
        {"", 1.5, "1,5"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatFloat(c.Format, c.Value, Cz()), c.Expected) << c.Format << " " << c.Value;
}

TEST(FormatFloat, Sections) {
    struct Case {
        const char* Format;
        double Value;
        const char* Expected;
    };
    const Case cases[] = {
        {"0.00;(0.00)", -5.5, "(5,50)"},  // the negative section adds no sign of its own
        {"0.00;(0.00)", 5.5, "5,50"}, {"0.00;(0.00);\"nula\"", 0, "nula"},
        {"0.00;(0.00);\"nula\"", -0.001, "nula"},  // shows as zero, so the zero section
        {"0.00;(0.00);\"nula\"", 0.004, "nula"}, {"0.0;(0.0)", -0.01, "0,0"},  // zero without the negative decoration
        {"0.00;;\"nula\"", -3, "-3,00"},  // an empty negative section: the positive one
        {"0.00;-0.00;", 0, "0,00"},  // an empty zero section: the positive one
        {"\"kladné\";\"záporné\";\"nula\"", 7, "kladné"}, {"\"kladné\";\"záporné\";\"nula\"", -7, "záporné"},
        {"0;0;0;0", -2, "2"},  // a fourth section is part of the third
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatFloat(c.Format, c.Value, Cz()), c.Expected) << c.Format << " " << c.Value;
}

TEST(CurrToStr, ExactFourDecimalPlaces) {
    const std::pair<int64_t, const char*> cases[] = {
        {0, "0"},
        {15000, "1,5"},
        {-12345678, "-1234,5678"},
        {1, "0,0001"},
        {std::numeric_limits<int64_t>::min(), "-922337203685477,5808"},
    };
    for (auto [scaled, expected] : cases) EXPECT_EQ(CurrToStr(Currency{scaled}), expected) << scaled;
}

TEST(StrToFloat, AcceptsTheSettingsSeparatorAndExponent) {
    const std::pair<const char*, double> good[] = {
        {"1,5", 1.5},
        {" -1,5e3 ", -1500},
        {"1e5", 1e5},
        {"2E-3", 0.002},
        {",5", 0.5},
        {"5,", 5},
        {"+2", 2},
        {"0", 0},
        {"1,7976931348623157e308", DBL_MAX},
    };
    for (auto [text, value] : good) EXPECT_EQ(StrToFloat(text, Cz()), value) << text;

    for (const char* bad : {"1.5", "", " ", "abc", "1,5,", "e5", "1e", "1 000", "--1", ",", "1e400", "0x10", "inf"}) {
        double v = 42;
        EXPECT_FALSE(TryStrToFloat(bad, v, Cz())) << bad;
        EXPECT_EQ(v, 42) << bad;
    }
    try {
        StrToFloat("1.5", Cz());
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'1.5' is not a valid floating point value");
    }
    TFormatSettings dot = Cz();
    dot.DecimalSeparator = U'.';
    EXPECT_EQ(StrToFloat("1.5", dot), 1.5);
}

TEST(FloatToStrRoundTrip, ShortestTextThatReadsBack) {
    const FloatCase exact[] = {
        {0.1, "0,1"},
        {0.1 + 0.2, "0,30000000000000004"},
        {1e300, "1E300"},
        {-2.5, "-2,5"},
        {123456789012345678.0, "1,2345678901234568E17"},
        {0.0, "0"},
    };
    for (const auto& c : exact) EXPECT_EQ(FloatToStrRoundTrip(c.Value, Cz()), c.Expected);

    const double values[] = {
        1.0 / 3.0, -2.0 / 3.0, DBL_MAX, DBL_MIN, 5e-324, 1e-5, 0.0001, 12345.6789e10, std::numbers::pi};
    for (double v : values) EXPECT_EQ(StrToFloat(FloatToStrRoundTrip(v, Cz()), Cz()), v) << v;
}

// --- Format ---------------------------------------------------------------------------------------

TEST(Format, Specifiers) {
    struct Case {
        const char* Format;
        std::vector<Variant> Args;
        std::string Expected;
    };
    const Case cases[] = {
        {"%d", {42}, "42"},
        {"%5d", {42}, "   42"},
        {"%-5d|", {42}, "42   |"},
        {"%.5d", {-42}, "-00042"},
        {"%d", {int64_t(9223372036854775807LL)}, "9223372036854775807"},
        {"%d", {std::numeric_limits<int64_t>::min()}, "-9223372036854775808"},
        {"%d", {Variant::FromInt(200, varByte)}, "200"},
        {"%u", {-1}, "4294967295"},
        {"%x", {255}, "FF"},
        {"%.4x", {255}, "00FF"},
        {"%x", {-1}, "FFFFFFFF"},
        {"%x", {int64_t(-1)}, "FFFFFFFFFFFFFFFF"},
        {"%p", {255}, "000000FF"},
        {"%f", {3.14159}, "3,14"},
        {"%.3f", {2.0}, "2,000"},
        {"%9.2f", {12.345}, "    12,35"},
        {"%.0f", {-0.4}, "0"},
        {"%f", {7}, "7,00"},
        {"%e", {1234.5}, "1,23450000000000E+003"},
        {"%.3e", {-1234.5}, "-1,23E+003"},
        {"%g", {0.5}, "0,5"},
        {"%g", {1e20}, "1E20"},
        {"%.3g", {1234.5}, "1,23E3"},
        {"%n", {1234567.891}, "1" + NB + "234" + NB + "567,89"},
        {"%.0n", {1234.5}, "1" + NB + "235"},
        {"%m", {1234.5}, "1" + NB + "234,50 Kč"},
        {"%m", {-5}, "-5,00 Kč"},
        {"%f", {Currency{12345}}, "1,23"},
        {"%s", {"abc"}, "abc"},
        {"%.2s", {"čřž"}, "čř"},
        {"%5s", {"ab"}, "   ab"},
        {"%-4s|", {"é"}, "é   |"},
        {"%s", {12}, "12"},
        {"%s", {Variant::Null()}, ""},
        {"%s-%s", {"a", "b"}, "a-b"},
        {"%1:s %0:s %s", {"a", "b"}, "b a b"},
        {"%*d", {5, 42}, "   42"},
        {"%-*d|", {4, 7}, "7   |"},
        {"%.*f", {1, 2.25}, "2,3"},
        {"%*.*f", {6, 1, 2.25}, "   2,3"},
        {"100%%", {}, "100%"},
        {"%D %S", {1, "x"}, "1 x"},
        {"žluťoučký %s", {"kůň"}, "žluťoučký kůň"},
    };
    for (const auto& c : cases) EXPECT_EQ(Format(c.Format, c.Args, Cz()), c.Expected) << c.Format;
}

TEST(Format, BadFormatsAndArguments) {
    struct Case {
        const char* Format;
        std::vector<Variant> Args;
        const char* Message;
    };
    const Case cases[] = {
        {"%d", {1.5}, "Format '%d' invalid or incompatible with argument"},
        {"%d", {"12"}, "Format '%d' invalid or incompatible with argument"},
        {"%x", {true}, "Format '%x' invalid or incompatible with argument"},
        {"%f", {"x"}, "Format '%f' invalid or incompatible with argument"},
        {"%y", {1}, "Format '%y' invalid or incompatible with argument"},
        {"abc%", {}, "Format 'abc%' invalid or incompatible with argument"},
        {"%5", {1}, "Format '%5' invalid or incompatible with argument"},
        {"%*d", {"5", 1}, "Format '%*d' invalid or incompatible with argument"},
        {"%d", {}, "No argument for format '%d'"},
        {"%s %s", {"a"}, "No argument for format '%s %s'"},
        {"%2:s", {"a", "b"}, "No argument for format '%2:s'"},
    };
    for (const auto& c : cases) {
        try {
            Format(c.Format, c.Args, Cz());
            ADD_FAILURE() << c.Format << " did not raise";
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), c.Message);
        }
    }
}

// --- edit masks -----------------------------------------------------------------------------------

TEST(FormatMaskText, LaysTheValueIntoThePicture) {
    const struct {
        const char* Mask;
        const char* Value;
        const char* Expected;
    } cases[] = {
        {"!99.99.9999;1; ", "", "  .  .    "}, {"!99.99.9999;1;_", "05.05.2024", "05.05.2024"},
        {"99:99;1;_", "1230", "12:30"}, {"000\\-0000;0;_", "5551234", "555-1234"},
        {"(999) 000-0000;0;_", "5551234", "(555) 123-4   "}, {"!999;0;_", "12", " 12"},
        {"00/00/0000;0;_", "05052024", "05.05.2024"},  // '/' is the date separator
        {"00:00;0;_", "0930", "09:30"}, {"\\A\\B-00;0;_", "7", "AB-7 "}, {"LL-00;0;*", "ab12", "ab-12"},
        {">LL<ll;0;_", "ČřŽš", "ČřŽš"}, {"000", "12", "12 "},  // no fields: blanks are spaces
    };
    for (const auto& c : cases) EXPECT_EQ(FormatMaskText(c.Mask, c.Value), c.Expected) << c.Mask;
}

}  // namespace
