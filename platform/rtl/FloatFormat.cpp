// Number formatting and parsing (FloatToStr, FloatToStrF, FormatFloat, CurrToStr, StrToFloat),
// Format over Variants, and edit-mask formatting. Everything goes through an explicit
// TFormatSettings; the overloads without one use the process-wide settings.

#include <algorithm>
#include <cassert>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

#include "platform/rtl/Strings.h"
#include "platform/rtl/SysUtils.h"

namespace {

// Significant digits a double carries; more would only show binary noise.
constexpr int MaxDoubleDigits = 17;
// What the class library shows by default.
constexpr int DefaultDigits = 15;

// A finite double as decimal digits: |value| = 0.D1D2D3... * 10^Exponent.
struct Decimal {
    bool Negative = false;
    std::string Digits;  // no trailing zeros; empty for zero
    int Exponent = 0;

    bool IsZero() const noexcept { return Digits.empty(); }
    // The n-th digit counted from the first significant one (0-based); '0' outside.
    char DigitAt(int n) const noexcept { return n >= 0 && n < int(Digits.size()) ? Digits[size_t(n)] : '0'; }
    void StripTrailingZeros() {
        while (!Digits.empty() && Digits.back() == '0') Digits.pop_back();
        if (Digits.empty()) Exponent = 0;
    }
};

void RoundAt(Decimal& d, int keep);

// The digits and the exponent of a number written in scientific form ("1.2345e+03").
void ReadScientific(std::string_view s, Decimal& d) {
    const size_t e = s.find('e');
    for (char c : s.substr(0, e))
        if (c != '.') d.Digits += c;
    int exp10 = 0;
    std::from_chars(s.data() + e + (s[e + 1] == '+' ? 2 : 1), s.data() + s.size(), exp10);
    d.Exponent = exp10 + 1;
    d.StripTrailingZeros();
}

// The value rounded to `precision` significant digits: first the decimal value the double
// stands for (15 digits, more when asked), then half away from zero on those digits, so
// 1234.5 to four digits is 1235 and 1.005 to two decimals 1.01.
Decimal ToDecimal(double v, int precision) {
    assert(std::isfinite(v));
    precision = std::clamp(precision, 1, MaxDoubleDigits);
    const int generated = std::max(precision, DefaultDigits);
    Decimal d;
    d.Negative = std::signbit(v);
    if (v == 0) return d;
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, std::fabs(v), std::chars_format::scientific, generated - 1);
    ReadScientific(std::string_view(buf, size_t(r.ptr - buf)), d);
    RoundAt(d, precision);
    return d;
}

// Keeps the first `keep` digits, rounding the rest half away from zero on the decimal digits.
void RoundAt(Decimal& d, int keep) {
    if (keep >= int(d.Digits.size())) return;
    if (keep < 0) {  // below half of the last kept place
        d.Digits.clear();
        d.Exponent = 0;
        return;
    }
    bool up = d.Digits[size_t(keep)] >= '5';
    d.Digits.resize(size_t(keep));
    if (up) {
        while (!d.Digits.empty() && d.Digits.back() == '9') d.Digits.pop_back();
        if (d.Digits.empty()) {
            d.Digits = "1";
            d.Exponent += 1;
        } else {
            d.Digits.back() = char(d.Digits.back() + 1);
        }
    }
    d.StripTrailingZeros();
}

void RoundDecimals(Decimal& d, int decimals) { RoundAt(d, d.Exponent + decimals); }

std::string CharText(char32_t c) { return c ? Utf8FromCodePoint(c) : std::string(); }

// Integer digits of the value ("0" when below 1), grouped when a separator is given.
std::string IntegerText(const Decimal& d, const std::string& thousands) {
    if (d.Exponent <= 0) return "0";
    std::string out;
    for (int i = 0; i < d.Exponent; ++i) {
        out += d.DigitAt(i);
        int left = d.Exponent - i - 1;
        if (left > 0 && left % 3 == 0) out += thousands;
    }
    return out;
}

// Fixed notation with exactly `decimals` places (the value already rounded to them).
std::string FixedText(const Decimal& d, int decimals, const std::string& thousands, const std::string& point) {
    std::string out = IntegerText(d, thousands);
    if (decimals > 0) {
        out += point;
        for (int k = 0; k < decimals; ++k) out += d.DigitAt(d.Exponent + k);
    }
    return out;
}

std::string ExponentText(int exp10, bool plus, int minDigits) {
    std::string digits = std::to_string(std::abs(exp10));
    if (int(digits.size()) < minDigits) digits.insert(0, size_t(minDigits) - digits.size(), '0');
    return (exp10 < 0 ? "-" : plus ? "+" : "") + digits;
}

std::string SpecialText(double v) {
    if (std::isnan(v)) return "NAN";
    return v > 0 ? "INF" : "-INF";
}

// The general format: fixed without trailing zeros, scientific for large or small values.
std::string GeneralText(double v, int precision, int expDigits, const TFormatSettings& fs) {
    Decimal d = ToDecimal(v, precision);
    if (d.IsZero()) return "0";
    std::string point = CharText(fs.DecimalSeparator);
    std::string out = d.Negative ? "-" : "";
    if (d.Exponent > precision || d.Exponent < -3) {
        out += d.Digits[0];
        if (d.Digits.size() > 1) out += point + d.Digits.substr(1);
        out += "E" + ExponentText(d.Exponent - 1, false, expDigits);
        return out;
    }
    int decimals = std::max(0, int(d.Digits.size()) - d.Exponent);
    return out + FixedText(d, decimals, "", point);
}

std::string ExponentFormText(double v, int precision, int expDigits, const TFormatSettings& fs) {
    Decimal d = ToDecimal(v, precision);
    std::string out = d.Negative && !d.IsZero() ? "-" : "";
    out += d.DigitAt(0);
    if (precision > 1) {
        out += CharText(fs.DecimalSeparator);
        for (int k = 1; k < precision; ++k) out += d.DigitAt(k);
    }
    out += "E" + ExponentText(d.IsZero() ? 0 : d.Exponent - 1, true, expDigits);
    return out;
}

// Fixed notation for Format's %f/%n/%m: never switches to scientific form.
std::string FixedFormText(double v, int decimals, bool grouped, const TFormatSettings& fs, bool& negative) {
    Decimal d = ToDecimal(v, DefaultDigits);
    RoundDecimals(d, decimals);
    // A value that rounds to zero shows no sign ("0,00", not "-0,00").
    negative = d.Negative && !d.IsZero();
    return FixedText(
        d, decimals, grouped ? CharText(fs.ThousandSeparator) : std::string(), CharText(fs.DecimalSeparator));
}

std::string CurrencyText(const std::string& number, bool negative, const TFormatSettings& fs) {
    const std::string& c = fs.CurrencyString;
    if (!negative) {
        switch (fs.CurrencyFormat) {
        case 0: return c + number;
        case 1: return number + c;
        case 2: return c + " " + number;
        default: return number + " " + c;
        }
    }
    switch (fs.NegCurrFormat) {
    case 0: return "(" + c + number + ")";
    case 1: return "-" + c + number;
    case 2: return c + "-" + number;
    case 3: return c + number + "-";
    case 4: return "(" + number + c + ")";
    case 5: return "-" + number + c;
    case 6: return number + "-" + c;
    case 7: return number + c + "-";
    case 8: return "-" + number + " " + c;
    case 9: return "-" + c + " " + number;
    case 10: return number + " " + c + "-";
    case 11: return c + " " + number + "-";
    case 12: return c + " -" + number;
    case 13: return number + "- " + c;
    case 14: return "(" + c + " " + number + ")";
    default: return "(" + number + " " + c + ")";
    }
}

// --- FormatFloat ------------------------------------------------------------------------------

// Splits a picture into its sections at ';' outside quotes.
std::vector<std::string_view> SplitSections(std::string_view format) {
    std::vector<std::string_view> sections;
    size_t start = 0;
    char quote = 0;
    for (size_t i = 0; i < format.size(); ++i) {
        char c = format[i];
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == '\'' || c == '"') {
            quote = c;
        } else if (c == ';' && sections.size() < 2) {
            sections.push_back(format.substr(start, i - start));
            start = i + 1;
        }
    }
    sections.push_back(format.substr(start));
    return sections;
}

// What one section of a picture asks for.
struct Picture {
    int IntPlaceholders = 0;  // '0' and '#' before the decimal point
    int IntZeros = 0;  // minimum integer digits: from the first '0' to the point
    int DecPlaceholders = 0;
    int DecZeros = 0;  // minimum decimals: up to the last '0'
    bool Thousands = false;
    bool Scientific = false;
    int ExpDigits = 0;

    explicit Picture(std::string_view s) {
        int firstZero = -1;
        bool point = false;
        char quote = 0;
        for (size_t i = 0; i < s.size(); ++i) {
            char c = s[i];
            if (quote) {
                if (c == quote) quote = 0;
                continue;
            }
            switch (c) {
            case '\'':
            case '"': quote = c; break;
            case '0':
            case '#':
                if (point) {
                    ++DecPlaceholders;
                    if (c == '0') DecZeros = DecPlaceholders;
                } else {
                    if (c == '0' && firstZero < 0) firstZero = IntPlaceholders;
                    ++IntPlaceholders;
                }
                break;
            case '.': point = true; break;
            case ',': Thousands = true; break;
            case 'E':
            case 'e':
                if (i + 1 < s.size() && (s[i + 1] == '+' || s[i + 1] == '-')) {
                    Scientific = true;
                    size_t j = i + 2;
                    while (j < s.size() && s[j] == '0' && ExpDigits < 4) ++ExpDigits, ++j;
                    // Whatever follows the exponent is literal text.
                    i = s.size();
                }
                break;
            default: break;
            }
        }
        if (firstZero >= 0) IntZeros = IntPlaceholders - firstZero;
    }
};

// Rounds the value as the picture shows it; returns the decimal exponent for scientific form.
int RoundForPicture(Decimal& d, const Picture& p) {
    if (!p.Scientific) {
        RoundDecimals(d, p.DecPlaceholders);
        return 0;
    }
    if (d.IsZero()) return 0;
    RoundAt(d, p.IntPlaceholders + p.DecPlaceholders);
    if (d.IsZero()) return 0;
    return d.Exponent - p.IntPlaceholders;
}

// Renders one section for |value| (already rounded by RoundForPicture).
std::string RenderSection(
    std::string_view s, const Picture& p, const Decimal& d, int exp10, const TFormatSettings& fs) {
    const std::string thousands = p.Thousands ? CharText(fs.ThousandSeparator) : std::string();
    const std::string point = CharText(fs.DecimalSeparator);

    // Integer digits, at least IntZeros of them; in scientific form the mantissa's.
    const int decBase = p.Scientific ? p.IntPlaceholders : d.Exponent;  // index of the first decimal
    std::string intDigits;
    if (!d.IsZero())
        for (int i = 0; i < decBase; ++i) intDigits += d.DigitAt(i);
    if (int(intDigits.size()) < p.IntZeros) intDigits.insert(0, size_t(p.IntZeros) - intDigits.size(), '0');

    // Decimals shown: the required ones, then the significant ones up to the placeholders.
    int shown = p.DecZeros;
    for (int k = p.DecPlaceholders; k > shown; --k)
        if (d.DigitAt(decBase + k - 1) != '0') {
            shown = k;
            break;
        }

    const int len = int(intDigits.size());
    std::string out;
    int intSeen = 0, decSeen = 0;
    bool afterPoint = false, intDone = false;

    auto emitDigit = [&](int pos) {  // pos indexes intDigits
        out += intDigits[size_t(pos)];
        int left = len - pos - 1;
        if (!thousands.empty() && left > 0 && left % 3 == 0) out += thousands;
    };
    auto emitLeading = [&](int upTo) {  // the digits that have no placeholder of their own
        for (int pos = 0; pos < upTo; ++pos) emitDigit(pos);
    };
    auto finishInteger = [&] {
        if (intDone) return;
        intDone = true;
        // Integer digits without placeholders of their own go before the point; a section
        // without any placeholder shows no number at all.
        if (p.IntPlaceholders == 0 && p.DecPlaceholders > 0) emitLeading(len);
    };

    char quote = 0;
    size_t i = 0;
    while (i < s.size()) {
        char c = s[i];
        if (quote) {
            if (c == quote) quote = 0;
            else out += c;
            ++i;
            continue;
        }
        switch (c) {
        case '\'':
        case '"':
            quote = c;
            ++i;
            continue;
        case '0':
        case '#':
            if (!afterPoint) {
                int extra = len - p.IntPlaceholders;  // > 0: more digits than placeholders
                if (intSeen == 0 && extra > 0) emitLeading(extra);
                int pos = extra + intSeen;
                if (pos >= 0) emitDigit(pos);
                ++intSeen;
                if (intSeen == p.IntPlaceholders) intDone = true;
            } else {
                ++decSeen;
                if (decSeen <= shown) out += d.DigitAt(decBase + decSeen - 1);
            }
            ++i;
            continue;
        case '.':
            if (!afterPoint) {
                finishInteger();
                afterPoint = true;
                if (shown > 0) out += point;
            }
            ++i;
            continue;
        case ',': ++i; continue;
        case 'E':
        case 'e':
            if (p.Scientific && i + 1 < s.size() && (s[i + 1] == '+' || s[i + 1] == '-')) {
                finishInteger();
                out += c;
                out += ExponentText(exp10, s[i + 1] == '+', p.ExpDigits);
                i += 2;
                while (i < s.size() && s[i] == '0') ++i;
                // the rest is literal text
                for (; i < s.size(); ++i)
                    if (s[i] != '\'' && s[i] != '"') out += s[i];
                continue;
            }
            break;
        default: break;
        }
        out += c;
        ++i;
    }
    finishInteger();
    return out;
}

// --- Format -------------------------------------------------------------------------------------

bool IsNumberKind(const Variant& v) noexcept {
    switch (v.VarType()) {
    case varSingle:
    case varDouble:
    case varCurrency:
    case varDate: return true;
    default: return v.IsInteger();
    }
}

std::string HexText(uint64_t v) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    do {
        out.insert(out.begin(), digits[v & 15]);
        v >>= 4;
    } while (v);
    return out;
}

// Integers wider than 32 bits keep 64-bit two's complement; the others 32-bit, as the
// class library shows a negative Integer in %u and %x.
uint64_t UnsignedValue(const Variant& v) {
    int64_t i = v.AsInt64();
    if (v.VarType() == varInt64) return uint64_t(i);
    return uint64_t(uint32_t(i));
}

void PadLeftZeros(std::string& digits, int precision) {
    if (int(digits.size()) < precision) digits.insert(0, size_t(precision) - digits.size(), '0');
}


}  // namespace

// --- floats -----------------------------------------------------------------------------------

std::string FloatToStr(double v) { return FloatToStr(v, FormatSettings()); }

std::string FloatToStr(double v, const TFormatSettings& fs) { return FloatToStrF(v, ffGeneral, DefaultDigits, 0, fs); }

std::string FloatToStrF(double v, TFloatFormat format, int precision, int digits) {
    return FloatToStrF(v, format, precision, digits, FormatSettings());
}

std::string FloatToStrF(double v, TFloatFormat format, int precision, int digits, const TFormatSettings& fs) {
    if (!std::isfinite(v)) return SpecialText(v);
    precision = std::clamp(precision, 1, MaxDoubleDigits);
    switch (format) {
    case ffGeneral: return GeneralText(v, precision, std::clamp(digits, 0, 4), fs);
    case ffExponent: return ExponentFormText(v, precision, std::clamp(digits, 0, 4), fs);
    case ffFixed:
    case ffNumber:
    case ffCurrency: {
        digits = std::clamp(digits, 0, 18);
        Decimal d = ToDecimal(v, precision);
        if (d.Exponent > precision && format != ffCurrency)
            return ExponentFormText(v, precision, std::min(digits, 4), fs);
        RoundDecimals(d, digits);
        bool negative = d.Negative && !d.IsZero();  // no "-0,00"
        std::string thousands = format == ffFixed ? std::string() : CharText(fs.ThousandSeparator);
        std::string number = FixedText(d, digits, thousands, CharText(fs.DecimalSeparator));
        if (format == ffCurrency) return CurrencyText(number, negative, fs);
        return negative ? "-" + number : number;
    }
    }
    return GeneralText(v, precision, 0, fs);
}

std::string FormatFloat(std::string_view format, double v) { return FormatFloat(format, v, FormatSettings()); }

std::string FormatFloat(std::string_view format, double v, const TFormatSettings& fs) {
    if (format.empty() || !std::isfinite(v)) return FloatToStr(v, fs);
    std::vector<std::string_view> sections = SplitSections(format);
    auto present = [&](size_t n) { return sections.size() > n && !sections[n].empty(); };

    const bool negative = v < 0;
    size_t section = negative && present(1) ? 1 : 0;
    Decimal d = ToDecimal(std::fabs(v), DefaultDigits);
    Picture p(sections[section]);
    int exp10 = RoundForPicture(d, p);
    bool sign = negative && section == 0;
    if (d.IsZero()) {
        // A value that shows as zero takes the zero section, else the positive one, and never
        // a sign or the negative section's decoration: "-0,00" or "(0,00)" would misreport it.
        sign = false;
        section = present(2) ? 2 : 0;
        p = Picture(sections[section]);
        d = Decimal();
        exp10 = 0;
    }
    std::string out = RenderSection(sections[section], p, d, exp10, fs);
    return sign ? "-" + out : out;
}

std::string CurrToStr(Currency c) {
    const TFormatSettings& fs = FormatSettings();
    bool negative = c.Scaled < 0;
    uint64_t a = negative ? uint64_t(0) - uint64_t(c.Scaled) : uint64_t(c.Scaled);
    std::string out = (negative ? "-" : "") + std::to_string(a / 10000);
    if (uint64_t frac = a % 10000) {
        std::string f = std::to_string(frac);
        f.insert(0, 4 - f.size(), '0');
        while (f.back() == '0') f.pop_back();
        out += CharText(fs.DecimalSeparator) + f;
    }
    return out;
}

bool TryStrToFloat(std::string_view s, double& v, const TFormatSettings& fs) noexcept {
    try {
        size_t b = 0, e = s.size();
        while (b < e && uint8_t(s[b]) <= ' ') ++b;
        while (e > b && uint8_t(s[e - 1]) <= ' ') --e;
        s = s.substr(b, e - b);
        const std::string point = CharText(fs.DecimalSeparator);
        std::string ascii;  // the number rewritten for from_chars
        size_t i = 0;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
            if (s[i] == '-') ascii += '-';
            ++i;
        }
        int mantissaDigits = 0;
        auto digits = [&](int& count) {
            while (i < s.size() && s[i] >= '0' && s[i] <= '9') ascii += s[i++], ++count;
        };
        digits(mantissaDigits);
        if (!point.empty() && s.substr(i, point.size()) == point) {
            ascii += '.';
            i += point.size();
            digits(mantissaDigits);
        }
        if (mantissaDigits == 0) return false;
        if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
            ascii += 'e';
            ++i;
            if (i < s.size() && (s[i] == '+' || s[i] == '-')) ascii += s[i++];
            int expDigits = 0;
            digits(expDigits);
            if (expDigits == 0) return false;
        }
        if (i != s.size()) return false;
        double r = 0;
        auto res = std::from_chars(ascii.data(), ascii.data() + ascii.size(), r);
        if (res.ec != std::errc() || res.ptr != ascii.data() + ascii.size()) return false;
        v = r;
        return true;
    } catch (...) {
        // Nothing here means to throw; should anything (memory), the Try form still answers false.
        return false;
    }
}

bool TryStrToFloat(std::string_view s, double& v) noexcept { return TryStrToFloat(s, v, FormatSettings()); }

double StrToFloat(std::string_view s, const TFormatSettings& fs) {
    double v = 0;
    if (!TryStrToFloat(s, v, fs)) throw EConvertError("'" + std::string(s) + "' is not a valid floating point value");
    return v;
}

double StrToFloat(std::string_view s) { return StrToFloat(s, FormatSettings()); }

double StrToFloatDef(std::string_view s, double def) noexcept {
    double v = 0;
    return TryStrToFloat(s, v) ? v : def;
}

std::string FloatToStrRoundTrip(double v, const TFormatSettings& fs) {
    if (!std::isfinite(v)) return SpecialText(v);
    if (v == 0) return "0";
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, std::fabs(v), std::chars_format::scientific);
    Decimal d;
    d.Negative = v < 0;
    ReadScientific(std::string_view(buf, size_t(r.ptr - buf)), d);

    std::string point = CharText(fs.DecimalSeparator);
    std::string out = d.Negative ? "-" : "";
    if (d.Exponent > MaxDoubleDigits || d.Exponent < -3) {
        out += d.Digits[0];
        if (d.Digits.size() > 1) out += point + d.Digits.substr(1);
        return out + "E" + ExponentText(d.Exponent - 1, false, 0);
    }
    return out + FixedText(d, std::max(0, int(d.Digits.size()) - d.Exponent), "", point);
}

// --- Format -------------------------------------------------------------------------------------

std::string Format(std::string_view format, const std::vector<Variant>& args) {
    return Format(format, args, FormatSettings());
}

std::string Format(std::string_view format, const std::vector<Variant>& args, const TFormatSettings& fs) {
    auto invalid = [&]() -> EConvertError {
        return EConvertError("Format '" + std::string(format) + "' invalid or incompatible with argument");
    };
    size_t argIndex = 0;
    auto nextArg = [&]() -> const Variant& {
        if (argIndex >= args.size()) throw EConvertError("No argument for format '" + std::string(format) + "'");
        return args[argIndex++];
    };

    std::string out;
    size_t i = 0;
    const size_t n = format.size();
    // A number in the specifier, or '*' taking an integer argument.
    auto readNumber = [&](int& value) -> bool {
        if (i < n && format[i] == '*') {
            ++i;
            const Variant& a = nextArg();
            if (!a.IsInteger()) throw invalid();
            value = int(std::clamp<int64_t>(a.AsInt64(), -1000000, 1000000));
            return true;
        }
        if (i >= n || format[i] < '0' || format[i] > '9') return false;
        int64_t v = 0;
        while (i < n && format[i] >= '0' && format[i] <= '9') {
            v = std::min<int64_t>(v * 10 + (format[i] - '0'), 1000000);
            ++i;
        }
        value = int(v);
        return true;
    };

    while (i < n) {
        size_t pct = format.find('%', i);
        if (pct == std::string_view::npos) {
            out.append(format.substr(i));
            break;
        }
        out.append(format.substr(i, pct - i));
        i = pct + 1;
        if (i < n && format[i] == '%') {
            out += '%';
            ++i;
            continue;
        }
        int number = 0;
        bool haveNumber = readNumber(number);
        if (haveNumber && i < n && format[i] == ':') {
            if (number < 0) throw invalid();
            argIndex = size_t(number);
            ++i;
            haveNumber = false;
        }
        bool left = false;
        int width = 0;
        if (haveNumber) {
            width = number;
        } else {
            if (i < n && format[i] == '-') {
                left = true;
                ++i;
            }
            if (readNumber(number)) width = number;
        }
        if (width < 0) {  // a negative width from '*' justifies to the left, as in C
            left = true;
            width = -width;
        }
        int precision = -1;
        if (i < n && format[i] == '.') {
            ++i;
            precision = 0;
            if (readNumber(number)) precision = std::max(0, number);
        }
        if (i >= n) throw invalid();
        char type = char(format[i] | 0x20);
        ++i;

        std::string text;
        switch (type) {
        case 'd': {
            const Variant& a = nextArg();
            if (!a.IsInteger()) throw invalid();
            int64_t v = a.AsInt64();
            uint64_t mag = v < 0 ? uint64_t(0) - uint64_t(v) : uint64_t(v);
            text = std::to_string(mag);
            PadLeftZeros(text, precision);
            if (v < 0) text.insert(0, 1, '-');
            break;
        }
        case 'u': {
            const Variant& a = nextArg();
            if (!a.IsInteger()) throw invalid();
            text = std::to_string(UnsignedValue(a));
            PadLeftZeros(text, precision);
            break;
        }
        case 'x': {
            const Variant& a = nextArg();
            if (!a.IsInteger()) throw invalid();
            text = HexText(UnsignedValue(a));
            PadLeftZeros(text, precision);
            break;
        }
        case 'p': {
            const Variant& a = nextArg();
            if (!a.IsInteger()) throw invalid();
            text = HexText(uint32_t(a.AsInt64()));
            PadLeftZeros(text, 8);
            break;
        }
        case 'e':
        case 'f':
        case 'g':
        case 'n':
        case 'm': {
            const Variant& a = nextArg();
            if (!IsNumberKind(a)) throw invalid();
            double v = a.AsDouble();
            if (!std::isfinite(v)) {
                text = SpecialText(v);
                break;
            }
            bool negative = false;
            switch (type) {
            case 'e': text = FloatToStrF(v, ffExponent, precision < 0 ? DefaultDigits : precision, 3, fs); break;
            case 'g': text = FloatToStrF(v, ffGeneral, precision <= 0 ? DefaultDigits : precision, 0, fs); break;
            case 'f':
            case 'n':
                text = FixedFormText(v, std::min(precision < 0 ? 2 : precision, 18), type == 'n', fs, negative);
                if (negative) text.insert(0, 1, '-');
                break;
            default:
                text = FixedFormText(
                    v, std::min(precision < 0 ? int(fs.CurrencyDecimals) : precision, 18), true, fs, negative);
                text = CurrencyText(text, negative, fs);
                break;
            }
            break;
        }
        case 's': {
            const Variant& a = nextArg();
            text = VarToStr(a);
            if (precision >= 0 && Utf8Length(text) > precision) text = Utf8Copy(text, 1, precision);
            break;
        }
        default: throw invalid();
        }
        int64_t len = Utf8Length(text);
        if (len < width) {
            std::string pad(size_t(width - len), ' ');
            text = left ? text + pad : pad + text;
        }
        out += text;
    }
    return out;
}

// --- edit masks ---------------------------------------------------------------------------------

bool IsMaskPosition(char32_t c) noexcept {
    switch (c) {
    case 'L':
    case 'l':
    case 'A':
    case 'a':
    case 'C':
    case 'c':
    case '0':
    case '9':
    case '#': return true;
    default: return false;
    }
}

std::string FormatMaskText(std::string_view editMask, std::string_view value) {
    // Split "mask;save-literals;blank" at unescaped ';'. FormatMaskText always pads with blanks
    // (spaces), whatever blank character the mask names for editing.
    std::u32string mask = Utf8ToU32(editMask);
    std::vector<size_t> fields;
    for (size_t i = 0; i < mask.size(); ++i) {
        if (mask[i] == '\\') ++i;
        else if (mask[i] == ';') fields.push_back(i);
    }
    bool saveLiterals = true;
    if (!fields.empty()) {
        size_t f = fields.size() >= 2 ? fields[fields.size() - 2] : fields.back();
        if (f + 1 < mask.size() && mask[f + 1] == '0') saveLiterals = false;
        mask.resize(f);
    }

    // One entry per shown position: a literal to show, or 0 for a place taking a value character.
    std::u32string positions;
    bool reverse = false;
    const TFormatSettings& fs = FormatSettings();
    for (size_t i = 0; i < mask.size(); ++i) {
        char32_t c = mask[i];
        switch (c) {
        case '!': reverse = true; break;
        case '>':
        case '<': break;  // case directives change typing, not layout
        case '\\':
            if (i + 1 < mask.size()) positions += mask[++i];
            break;
        case ':': positions += fs.TimeSeparator; break;
        case '/': positions += fs.DateSeparator; break;
        case '_': positions += U' '; break;
        default: positions += IsMaskPosition(c) ? char32_t(0) : c; break;
        }
    }

    std::u32string v = Utf8ToU32(value);
    std::u32string out;
    if (saveLiterals) {
        // The value already holds the literals: keep those that are in place, insert the rest.
        size_t j = 0;
        for (char32_t p : positions) {
            if (p) {
                if (j < v.size() && v[j] == p) ++j;
                out += p;
            } else {
                out += j < v.size() ? v[j++] : U' ';
            }
        }
        out.append(v, std::min(j, v.size()));
    } else if (!reverse) {
        size_t j = 0;
        for (char32_t p : positions) out += p ? p : j < v.size() ? v[j++] : U' ';
        out.append(v, std::min(j, v.size()));
    } else {
        // Reverse masks fill from the right; missing characters become leading blanks.
        size_t j = v.size();
        for (size_t k = positions.size(); k-- > 0;) {
            char32_t p = positions[k];
            out.insert(out.begin(), p ? p : j > 0 ? v[--j] : U' ');
        }
        out.insert(0, v.substr(0, j));
    }
    return U32ToUtf8(out);
}
