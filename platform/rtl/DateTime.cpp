// Dates and times: TDateTime (days since 1899-12-30, the time as the fraction), encoding and
// decoding, the local clock, time stamps, FormatDateTime and the StrToDate family, and the
// Czech format settings they default to.
//
// Negative values follow the class library: the integer part is the day and the absolute
// value of the fraction the time, so -1.25 is 1899-12-29 06:00.

#include <chrono>
#include <cmath>
#include <ctime>
#include <string>

#include "platform/rtl/Strings.h"
#include "platform/rtl/SysUtils.h"

// --- format settings ----------------------------------------------------------------------------

TFormatSettings TFormatSettings::Czech() {
    static const char* const longMonths[12] = {"leden", "únor", "březen", "duben", "květen", "červen", "červenec",
        "srpen", "září", "říjen", "listopad", "prosinec"};
    static const char* const shortMonths[12] = {
        "led", "úno", "bře", "dub", "kvě", "čvn", "čvc", "srp", "zář", "říj", "lis", "pro"};
    static const char* const longDays[7] = {"neděle", "pondělí", "úterý", "středa", "čtvrtek", "pátek", "sobota"};
    static const char* const shortDays[7] = {"ne", "po", "út", "st", "čt", "pá", "so"};
    TFormatSettings fs;
    for (int i = 0; i < 12; ++i) {
        fs.LongMonthNames[i] = longMonths[i];
        fs.ShortMonthNames[i] = shortMonths[i];
    }
    for (int i = 0; i < 7; ++i) {
        fs.LongDayNames[i] = longDays[i];
        fs.ShortDayNames[i] = shortDays[i];
    }
    return fs;
}

TFormatSettings& FormatSettings() {
    static TFormatSettings settings = TFormatSettings::Czech();
    return settings;
}

namespace {

constexpr int64_t MSecsPerDayInt = 86400000;

// Days before 1 January of `year` since 0001-01-01 (proleptic Gregorian).
int64_t DaysBeforeYear(int year) {
    int64_t y = year - 1;
    return y * 365 + y / 4 - y / 100 + y / 400;
}

[[noreturn]] void DateEncodeError() { throw EConvertError("Invalid argument to date encode"); }
[[noreturn]] void TimeEncodeError() { throw EConvertError("Invalid argument to time encode"); }

struct DateParts {
    int Year = 0, Month = 0, Day = 0, Hour = 0, Min = 0, Sec = 0, MSec = 0, DayOfWeek = 1;
    bool HasTime = false;
};

// Time stamp date (days since 0001-01-01, plus 1) to year, month and day.
void DecodeDays(int64_t date, int& year, int& month, int& day) {
    if (date <= 0) {
        year = month = day = 0;
        return;
    }
    int64_t n = date - 1;  // days since 0001-01-01
    int64_t n400 = n / 146097;
    n %= 146097;
    int64_t n100 = std::min<int64_t>(n / 36524, 3);
    n -= n100 * 36524;
    int64_t n4 = n / 1461;
    n %= 1461;
    int64_t n1 = std::min<int64_t>(n / 365, 3);
    n -= n1 * 365;
    year = int(n400 * 400 + n100 * 100 + n4 * 4 + n1 + 1);
    month = 1;
    while (n >= DaysInMonth(year, month)) n -= DaysInMonth(year, month++);
    day = int(n + 1);
}

DateParts Decode(TDateTime d) {
    TTimeStamp ts = DateTimeToTimeStamp(d);
    DateParts p;
    DecodeDays(ts.Date, p.Year, p.Month, p.Day);
    p.Hour = ts.Time / 3600000;
    p.Min = ts.Time / 60000 % 60;
    p.Sec = ts.Time / 1000 % 60;
    p.MSec = ts.Time % 1000;
    p.HasTime = ts.Time != 0;
    p.DayOfWeek = int(((ts.Date % 7) + 7) % 7) + 1;
    return p;
}

char AsciiLower(char c) noexcept { return c >= 'A' && c <= 'Z' ? char(c + 32) : c; }

bool StartsWithNoCase(std::string_view s, size_t pos, std::string_view prefix) noexcept {
    if (prefix.empty() || s.size() - pos < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (AsciiLower(s[pos + i]) != AsciiLower(prefix[i])) return false;
    return true;
}

std::string TwoDigits(int v) {
    std::string s = std::to_string(v);
    return s.size() < 2 ? "0" + s : s;
}

std::string PaddedNumber(int v, size_t width) {
    std::string s = std::to_string(v);
    if (s.size() < width) s.insert(0, width - s.size(), '0');
    return s;
}

// Whether the format asks for a 12-hour clock (an am/pm, a/p or ampm specifier outside quotes).
bool UsesTwelveHours(std::string_view f) {
    char quote = 0;
    for (size_t i = 0; i < f.size(); ++i) {
        char c = f[i];
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == '\'' || c == '"') {
            quote = c;
        } else if (StartsWithNoCase(f, i, "am/pm") || StartsWithNoCase(f, i, "a/p") || StartsWithNoCase(f, i, "ampm")) {
            return true;
        }
    }
    return false;
}

void FormatInto(std::string& out, std::string_view f, const DateParts& p, const TFormatSettings& fs, int depth) {
    // The nested formats (c, ddddd, t ...) may themselves name nested formats; a setting that
    // names itself must not recurse forever.
    if (depth > 3) return;
    const bool twelve = UsesTwelveHours(f);
    char previous = 0;  // the last specifier letter; 'h' makes m and mm minutes
    size_t i = 0;
    while (i < f.size()) {
        char c = f[i];
        char lc = AsciiLower(c);
        size_t run = 1;
        while (i + run < f.size() && AsciiLower(f[i + run]) == lc) ++run;
        switch (lc) {
        case '\'':
        case '"': {
            size_t end = f.find(c, i + 1);
            if (end == std::string_view::npos) end = f.size();
            out.append(f.substr(i + 1, end - i - 1));
            i = std::min(end + 1, f.size());
            continue;
        }
        case 'c':
            FormatInto(out, fs.ShortDateFormat, p, fs, depth + 1);
            if (p.HasTime) {
                out += ' ';
                FormatInto(out, fs.LongTimeFormat, p, fs, depth + 1);
            }
            i += 1;
            previous = 'c';
            continue;
        case 'd':
            switch (run) {
            case 1: out += std::to_string(p.Day); break;
            case 2: out += TwoDigits(p.Day); break;
            case 3: out += fs.ShortDayNames[p.DayOfWeek - 1]; break;
            case 4: out += fs.LongDayNames[p.DayOfWeek - 1]; break;
            case 5: FormatInto(out, fs.ShortDateFormat, p, fs, depth + 1); break;
            default: FormatInto(out, fs.LongDateFormat, p, fs, depth + 1); break;
            }
            break;
        case 'm':
            if (run <= 2 && previous == 'h') {
                out += run == 1 ? std::to_string(p.Min) : TwoDigits(p.Min);
            } else if (p.Month < 1) {
                // before year 1 there is no month to name
            } else {
                switch (run) {
                case 1: out += std::to_string(p.Month); break;
                case 2: out += TwoDigits(p.Month); break;
                case 3: out += fs.ShortMonthNames[p.Month - 1]; break;
                default: out += fs.LongMonthNames[p.Month - 1]; break;
                }
            }
            break;
        case 'y': out += run <= 2 ? TwoDigits(p.Year % 100) : PaddedNumber(p.Year, 4); break;
        case 'h': {
            int h = p.Hour;
            if (twelve) h = h % 12 == 0 ? 12 : h % 12;
            out += run == 1 ? std::to_string(h) : TwoDigits(h);
            break;
        }
        case 'n': out += run == 1 ? std::to_string(p.Min) : TwoDigits(p.Min); break;
        case 's': out += run == 1 ? std::to_string(p.Sec) : TwoDigits(p.Sec); break;
        case 'z': out += run < 3 ? std::to_string(p.MSec) : PaddedNumber(p.MSec, 3); break;
        case 't': FormatInto(out, run == 1 ? fs.ShortTimeFormat : fs.LongTimeFormat, p, fs, depth + 1); break;
        case 'a':
            // The written case of am/pm and a/p is kept in the output.
            if (StartsWithNoCase(f, i, "am/pm")) {
                out.append(f.substr(p.Hour < 12 ? i : i + 3, 2));
                i += 5;
            } else if (StartsWithNoCase(f, i, "a/p")) {
                out += f[p.Hour < 12 ? i : i + 2];
                i += 3;
            } else if (StartsWithNoCase(f, i, "ampm")) {
                out += p.Hour < 12 ? fs.TimeAMString : fs.TimePMString;
                i += 4;
            } else {
                out += c;
                i += 1;
            }
            continue;
        case '/':
            out += Utf8FromCodePoint(fs.DateSeparator);
            i += 1;
            continue;
        case ':':
            out += Utf8FromCodePoint(fs.TimeSeparator);
            i += 1;
            continue;
        default:
            out += c;
            i += 1;
            continue;
        }
        previous = lc;
        i += run;
    }
}

// --- parsing --------------------------------------------------------------------------------------

enum class DateOrder { DMY, MDY, YMD };

DateOrder OrderOf(std::string_view shortDateFormat) {
    char quote = 0;
    for (char c : shortDateFormat) {
        if (quote) {
            if (c == quote) quote = 0;
            continue;
        }
        switch (AsciiLower(c)) {
        case '\'':
        case '"': quote = c; break;
        case 'd': return DateOrder::DMY;
        case 'm': return DateOrder::MDY;
        case 'y': return DateOrder::YMD;
        default: break;
        }
    }
    return DateOrder::DMY;
}

class Scanner {
public:
    Scanner(std::string_view s, const TFormatSettings& fs) : FS(s), Fs(fs) {}

    void SkipBlanks() {
        while (Pos < FS.size() && uint8_t(FS[Pos]) <= ' ') ++Pos;
    }
    bool AtEnd() {
        SkipBlanks();
        return Pos >= FS.size();
    }
    // Up to four digits; `digits` tells how many were written.
    bool Number(int& value, int& digits) {
        SkipBlanks();
        size_t start = Pos;
        value = 0;
        while (Pos < FS.size() && FS[Pos] >= '0' && FS[Pos] <= '9') {
            if (Pos - start == 4) return false;
            value = value * 10 + (FS[Pos++] - '0');
        }
        digits = int(Pos - start);
        return digits > 0;
    }
    bool Char(char32_t c) {
        SkipBlanks();
        std::string text = Utf8FromCodePoint(c);
        if (FS.substr(Pos, text.size()) != text) return false;
        Pos += text.size();
        return true;
    }
    // Matches the AM or PM text of the settings or the English one; answers 0, 'a' or 'p'.
    char AmPm() {
        SkipBlanks();
        const std::pair<std::string_view, char> texts[] = {
            {Fs.TimeAMString, 'a'}, {Fs.TimePMString, 'p'}, {"AM", 'a'}, {"PM", 'p'}};
        for (auto [text, kind] : texts) {
            if (StartsWithNoCase(FS, Pos, text)) {
                Pos += text.size();
                return kind;
            }
        }
        return 0;
    }

    size_t Pos = 0;

private:
    std::string_view FS;
    const TFormatSettings& Fs;
};

int CurrentYear() {
    int y, m, d;
    DecodeDate(Date(), y, m, d);
    return y;
}

bool ScanDate(Scanner& sc, const TFormatSettings& fs, TDateTime& result) {
    int n[3] = {0, 0, 0}, len[3] = {0, 0, 0};
    if (!sc.Number(n[0], len[0]) || !sc.Char(fs.DateSeparator) || !sc.Number(n[1], len[1])) return false;
    int count = 2;
    size_t before = sc.Pos;
    if (sc.Char(fs.DateSeparator)) {
        size_t afterSep = sc.Pos;
        if (sc.Number(n[2], len[2])) {
            count = 3;
            size_t afterYear = sc.Pos;
            if (!sc.Char(fs.DateSeparator)) sc.Pos = afterYear;  // "5.5.2024." ends with a separator
        } else {
            sc.Pos = afterSep;  // "5.5." without a year
        }
    } else {
        sc.Pos = before;
    }

    int y, m, d, yLen;
    DateOrder order = OrderOf(fs.ShortDateFormat);
    if (count == 3) {
        switch (order) {
        case DateOrder::DMY: d = n[0], m = n[1], y = n[2], yLen = len[2]; break;
        case DateOrder::MDY: m = n[0], d = n[1], y = n[2], yLen = len[2]; break;
        default: y = n[0], m = n[1], d = n[2], yLen = len[0]; break;
        }
    } else {
        y = CurrentYear();
        yLen = 4;
        if (order == DateOrder::DMY) d = n[0], m = n[1];
        else m = n[0], d = n[1];
    }
    if (yLen <= 2) {
        // Two-digit years fall into the hundred years that begin TwoDigitYearCenturyWindow years ago.
        int base = CurrentYear() - fs.TwoDigitYearCenturyWindow;
        y += base / 100 * 100;
        if (fs.TwoDigitYearCenturyWindow > 0 && y < base) y += 100;
    }
    return TryEncodeDate(y, m, d, result);
}

bool ScanTime(Scanner& sc, const TFormatSettings& fs, TDateTime& result) {
    char ampm = sc.AmPm();
    int hour = 0, min = 0, sec = 0, msec = 0, digits = 0;
    if (!sc.Number(hour, digits)) return false;
    bool minutes = false;
    if (sc.Char(fs.TimeSeparator)) {
        if (!sc.Number(min, digits)) return false;
        minutes = true;
        if (sc.Char(fs.TimeSeparator)) {
            if (!sc.Number(sec, digits)) return false;
            if (sc.Char(U'.') || sc.Char(fs.DecimalSeparator)) {
                if (!sc.Number(msec, digits) || digits > 3) return false;
                // The digits are a fraction of a second: ",5" is 500 ms, not 5 ms.
                for (; digits < 3; ++digits) msec *= 10;
            }
        }
    }
    if (!ampm) ampm = sc.AmPm();
    if (!minutes && !ampm) return false;
    if (ampm) {
        if (hour < 1 || hour > 12) return false;
        hour = hour % 12 + (ampm == 'p' ? 12 : 0);
    }
    return TryEncodeTime(hour, min, sec, msec, result);
}

TDateTime Combine(TDateTime date, TDateTime time) { return date >= 0 ? date + time : date - time; }

std::string Quoted(std::string_view s) { return "'" + std::string(s) + "'"; }

}  // namespace

// --- encoding and decoding ----------------------------------------------------------------------------

bool IsLeapYear(int year) noexcept { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int DaysInMonth(int year, int month) noexcept {
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

bool TryEncodeDate(int year, int month, int day, TDateTime& d) noexcept {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month)) return false;
    int64_t days = DaysBeforeYear(year);
    for (int m = 1; m < month; ++m) days += DaysInMonth(year, m);
    days += day;  // time stamp date: days since 0001-01-01, plus 1
    d = double(days - DateDelta);
    return true;
}

bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& t) noexcept {
    if (hour < 0 || hour > 23 || min < 0 || min > 59 || sec < 0 || sec > 59 || msec < 0 || msec > 999) return false;
    t = double(((hour * 60 + min) * 60 + sec) * 1000 + msec) / MSecsPerDay;
    return true;
}

TDateTime EncodeDate(int year, int month, int day) {
    TDateTime d;
    if (!TryEncodeDate(year, month, day, d)) DateEncodeError();
    return d;
}

TDateTime EncodeTime(int hour, int min, int sec, int msec) {
    TDateTime t;
    if (!TryEncodeTime(hour, min, sec, msec, t)) TimeEncodeError();
    return t;
}

void DecodeDate(TDateTime d, int& year, int& month, int& day) {
    DecodeDays(DateTimeToTimeStamp(d).Date, year, month, day);
}

void DecodeTime(TDateTime d, int& hour, int& min, int& sec, int& msec) {
    DateParts p = Decode(d);
    hour = p.Hour;
    min = p.Min;
    sec = p.Sec;
    msec = p.MSec;
}

int DayOfWeek(TDateTime d) { return Decode(d).DayOfWeek; }

// --- time stamps ----------------------------------------------------------------------------------------

TTimeStamp DateTimeToTimeStamp(TDateTime d) {
    if (!std::isfinite(d) || std::fabs(d) > 1e9) throw EConvertError("Invalid argument to date encode");
    // Rounded to the millisecond, so 23:59:59.9999 becomes the next midnight rather than 24:00.
    int64_t ms = std::llround(d * MSecsPerDay);
    int64_t days = ms / MSecsPerDayInt;  // toward zero: the integer part is the day
    int64_t time = ms % MSecsPerDayInt;
    TTimeStamp ts;
    ts.Date = int32_t(days + DateDelta);
    ts.Time = int32_t(time < 0 ? -time : time);
    return ts;
}

TDateTime TimeStampToDateTime(const TTimeStamp& ts) {
    // A time of a day or more is no time of day; the class library lets it through.
    if (ts.Time < 0 || ts.Time >= MSecsPerDayInt || ts.Date <= 0)
        throw EConvertError(
            "'" + std::to_string(ts.Date) + "." + std::to_string(ts.Time) + "' is not a valid timestamp");
    double days = double(int64_t(ts.Date) - DateDelta);
    double time = ts.Time / MSecsPerDay;
    return days >= 0 ? days + time : days - time;
}

double TimeStampToMSecs(const TTimeStamp& ts) { return double(ts.Date) * MSecsPerDay + ts.Time; }

TTimeStamp MSecsToTimeStamp(double ms) {
    if (!std::isfinite(ms) || ms < 0 || ms >= MSecsPerDay * 2147483647.0)
        throw EConvertError("Invalid argument to date encode");
    double days = std::floor(ms / MSecsPerDay);
    TTimeStamp ts;
    ts.Date = int32_t(days);
    ts.Time = int32_t(ms - days * MSecsPerDay);
    return ts;
}

// --- the local clock --------------------------------------------------------------------------------------

TDateTime Now() {
    using namespace std::chrono;
    auto now = system_clock::now();
    std::time_t t = system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&t, &local);
    int ms = int(duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000);
    return EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) +
        EncodeTime(local.tm_hour, local.tm_min, std::min(local.tm_sec, 59), ms);
}

TDateTime Date() { return std::floor(Now()); }

TDateTime Time() {
    TDateTime n = Now();
    return n - std::floor(n);
}

// --- formatting ---------------------------------------------------------------------------------------------

std::string FormatDateTime(std::string_view format, TDateTime d) { return FormatDateTime(format, d, FormatSettings()); }

std::string FormatDateTime(std::string_view format, TDateTime d, const TFormatSettings& fs) {
    std::string out;
    FormatInto(out, format.empty() ? std::string_view("c") : format, Decode(d), fs, 0);
    return out;
}

std::string DateToStr(TDateTime d) { return DateToStr(d, FormatSettings()); }
std::string TimeToStr(TDateTime d) { return TimeToStr(d, FormatSettings()); }
std::string DateTimeToStr(TDateTime d) { return DateTimeToStr(d, FormatSettings()); }
std::string DateToStr(TDateTime d, const TFormatSettings& fs) { return FormatDateTime("ddddd", d, fs); }
std::string TimeToStr(TDateTime d, const TFormatSettings& fs) { return FormatDateTime("tt", d, fs); }
std::string DateTimeToStr(TDateTime d, const TFormatSettings& fs) { return FormatDateTime("c", d, fs); }

// --- parsing -------------------------------------------------------------------------------------------------

bool TryStrToDate(std::string_view s, TDateTime& d, const TFormatSettings& fs) noexcept {
    try {
        Scanner sc(s, fs);
        TDateTime r;
        if (!ScanDate(sc, fs, r) || !sc.AtEnd()) return false;
        d = r;
        return true;
    } catch (...) {
        // A conversion error inside (a date out of range): the Try form answers false.
        return false;
    }
}

bool TryStrToTime(std::string_view s, TDateTime& d, const TFormatSettings& fs) noexcept {
    try {
        Scanner sc(s, fs);
        TDateTime r;
        if (!ScanTime(sc, fs, r) || !sc.AtEnd()) return false;
        d = r;
        return true;
    } catch (...) {
        // A conversion error inside (a date out of range): the Try form answers false.
        return false;
    }
}

bool TryStrToDateTime(std::string_view s, TDateTime& d, const TFormatSettings& fs) noexcept {
    try {
        Scanner sc(s, fs);
        TDateTime date, time = 0;
        if (ScanDate(sc, fs, date) && (sc.AtEnd() || (ScanTime(sc, fs, time) && sc.AtEnd()))) {
            d = Combine(date, time);
            return true;
        }
        return TryStrToTime(s, d, fs);
    } catch (...) {
        // A conversion error inside (a date out of range): the Try form answers false.
        return false;
    }
}

TDateTime StrToDate(std::string_view s, const TFormatSettings& fs) {
    TDateTime d;
    if (!TryStrToDate(s, d, fs)) throw EConvertError(Quoted(s) + " is not a valid date");
    return d;
}

TDateTime StrToTime(std::string_view s, const TFormatSettings& fs) {
    TDateTime d;
    if (!TryStrToTime(s, d, fs)) throw EConvertError(Quoted(s) + " is not a valid time");
    return d;
}

TDateTime StrToDateTime(std::string_view s, const TFormatSettings& fs) {
    TDateTime d;
    if (!TryStrToDateTime(s, d, fs)) throw EConvertError(Quoted(s) + " is not a valid date and time");
    return d;
}

TDateTime StrToDate(std::string_view s) { return StrToDate(s, FormatSettings()); }
TDateTime StrToTime(std::string_view s) { return StrToTime(s, FormatSettings()); }
TDateTime StrToDateTime(std::string_view s) { return StrToDateTime(s, FormatSettings()); }
