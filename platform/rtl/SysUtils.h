#pragma once
// Number, date and text conversion and formatting with an explicit TFormatSettings
// (Czech defaults), date arithmetic, rounding, files and paths, random numbers, ticks.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Variant.h"

struct TFormatSettings {
    char32_t DecimalSeparator = U',';
    char32_t ThousandSeparator = U'\u00A0';  // no-break space
    char32_t DateSeparator = U'.';
    char32_t TimeSeparator = U':';
    char32_t ListSeparator = U';';
    std::string CurrencyString = "Kč";
    uint8_t CurrencyFormat = 3;  // "1 Kč"
    uint8_t NegCurrFormat = 8;  // "-1 Kč"
    uint8_t CurrencyDecimals = 2;
    std::string ShortDateFormat = "d.M.yyyy";
    std::string LongDateFormat = "d. MMMM yyyy";
    std::string ShortTimeFormat = "H:mm";
    std::string LongTimeFormat = "H:mm:ss";
    std::string TimeAMString = "dop.";
    std::string TimePMString = "odp.";
    std::string ShortMonthNames[12];
    std::string LongMonthNames[12];
    std::string ShortDayNames[7];  // index 0 = Sunday
    std::string LongDayNames[7];
    int TwoDigitYearCenturyWindow = 50;
    int FirstDayOfWeek = 1;  // 0 = Sunday, 1 = Monday

    // The Czech defaults (month and day names filled in).
    static TFormatSettings Czech();
};

// The process-wide settings (Czech defaults). The application sets DateSeparator to '.'.
TFormatSettings& FormatSettings();

// --- integers ---------------------------------------------------------------------------------
std::string IntToStr(int64_t v);
int32_t StrToInt(std::string_view s);  // decimal or $hex; EConvertError
int64_t StrToInt64(std::string_view s);
bool TryStrToInt(std::string_view s, int32_t& v) noexcept;
bool TryStrToInt64(std::string_view s, int64_t& v) noexcept;
int32_t StrToIntDef(std::string_view s, int32_t def) noexcept;

// --- floats ---------------------------------------------------------------------------------
// Digits come from the decimal value the double stands for (15 significant digits) and are
// rounded half away from zero on it: 1.005 to two decimals is 1,01. A value that rounds to
// zero shows no sign. NaN and infinities show as "NAN", "INF", "-INF".
enum TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };
std::string FloatToStr(double v);  // general, 15 significant digits: "1E15", "1E-5"
std::string FloatToStr(double v, const TFormatSettings& fs);
std::string FloatToStrF(double v, TFloatFormat format, int precision, int digits);
std::string FloatToStrF(double v, TFloatFormat format, int precision, int digits, const TFormatSettings& fs);
// Picture "pos;neg;zero" with 0 # . , E+ E- e+ e- and '...' or "..." literals. The negative
// section adds no sign of its own; a value that shows as zero takes the zero section (or the
// positive one). An empty picture gives FloatToStr.
std::string FormatFloat(std::string_view format, double v);
std::string FormatFloat(std::string_view format, double v, const TFormatSettings& fs);
std::string CurrToStr(Currency c);  // exact, up to four decimals
// Blanks around, a sign, digits with the settings' decimal separator, an exponent; no thousands
// separators. EConvertError "'x' is not a valid floating point value".
double StrToFloat(std::string_view s);
double StrToFloat(std::string_view s, const TFormatSettings& fs);
bool TryStrToFloat(std::string_view s, double& v) noexcept;
bool TryStrToFloat(std::string_view s, double& v, const TFormatSettings& fs) noexcept;
double StrToFloatDef(std::string_view s, double def) noexcept;
// Text that reads back to the same double, with the settings' decimal separator.
std::string FloatToStrRoundTrip(double v, const TFormatSettings& fs);

// --- Format ---------------------------------------------------------------------------------
// The class library's Format: %d %u %e %f %g %n %m %p %s %x, "%0:", "-", width, precision, "*",
// "%%". %d %u %x %p take integer kinds only, %e %f %g %n %m any number (dates too), %s any value
// (VarToStr). Widths and precisions of %s count characters. EConvertError "Format '...' invalid
// or incompatible with argument", or "No argument for format '...'" when arguments run out.
std::string Format(std::string_view format, const std::vector<Variant>& args);
std::string Format(std::string_view format, const std::vector<Variant>& args, const TFormatSettings& fs);

// --- rounding and integer arithmetic ----------------------------------------------------------
int64_t Round(double v);  // halves to even; EInvalidOp outside the Int64 range
int64_t Trunc(double v);  // toward zero; EInvalidOp outside the Int64 range
double Int(double v);
double Frac(double v);
int MulDiv(int a, int b, int c) noexcept;  // 64-bit product, halves away from zero; -1 when c == 0
double RoundTo(double v, int digit);

// --- date and time ----------------------------------------------------------------------------
constexpr int DateDelta = 693594;  // days from 0001-01-01 to 1899-12-31
constexpr double MSecsPerDay = 86400000.0;
struct TTimeStamp {
    int32_t Time;
    int32_t Date;
};  // ms since midnight; days since 0001-01-01 + 1

TDateTime EncodeDate(int year, int month, int day);  // EConvertError when impossible
TDateTime EncodeTime(int hour, int min, int sec, int msec);
bool TryEncodeDate(int year, int month, int day, TDateTime& d) noexcept;
bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& t) noexcept;
void DecodeDate(TDateTime d, int& year, int& month, int& day);
void DecodeTime(TDateTime d, int& hour, int& min, int& sec, int& msec);
int DayOfWeek(TDateTime d);  // 1 = Sunday
bool IsLeapYear(int year) noexcept;
int DaysInMonth(int year, int month) noexcept;
// Dates before 1899-12-30 are negative: the integer part is the day, the fraction's absolute
// value the time (-1.25 is 1899-12-29 06:00). Decoding rounds to the millisecond.
TDateTime Now();  // the local clock
TDateTime Date();
TDateTime Time();
TTimeStamp DateTimeToTimeStamp(TDateTime d);
// EConvertError "'Date.Time' is not a valid timestamp" for a time outside one day or a date < 1.
TDateTime TimeStampToDateTime(const TTimeStamp& ts);
double TimeStampToMSecs(const TTimeStamp& ts);
TTimeStamp MSecsToTimeStamp(double ms);

std::string FormatDateTime(std::string_view format, TDateTime d);
std::string FormatDateTime(std::string_view format, TDateTime d, const TFormatSettings& fs);
std::string DateToStr(TDateTime d);
std::string TimeToStr(TDateTime d);
std::string DateTimeToStr(TDateTime d);  // the time is left out when it is 0
std::string DateToStr(TDateTime d, const TFormatSettings& fs);
std::string TimeToStr(TDateTime d, const TFormatSettings& fs);
std::string DateTimeToStr(TDateTime d, const TFormatSettings& fs);
// Parsing follows the order of d, M and y in ShortDateFormat with DateSeparator; a missing year
// is this year, a two-digit one falls in the TwoDigitYearCenturyWindow. Times take
// TimeSeparator, seconds with a fraction after '.' or the decimal separator, and the
// settings' or English AM/PM before or after. StrToDateTime takes a date, a time or both.
TDateTime StrToDate(std::string_view s);  // EConvertError "'x' is not a valid date"
TDateTime StrToTime(std::string_view s);
TDateTime StrToDateTime(std::string_view s);
TDateTime StrToDate(std::string_view s, const TFormatSettings& fs);
TDateTime StrToTime(std::string_view s, const TFormatSettings& fs);
TDateTime StrToDateTime(std::string_view s, const TFormatSettings& fs);
bool TryStrToDate(std::string_view s, TDateTime& d, const TFormatSettings& fs) noexcept;
bool TryStrToTime(std::string_view s, TDateTime& d, const TFormatSettings& fs) noexcept;
bool TryStrToDateTime(std::string_view s, TDateTime& d, const TFormatSettings& fs) noexcept;

// The class library's edit-mask formatting: "mask;save-literals;blank". The value is laid into
// the mask's positions (with its literals when literals are saved, else they are inserted);
// empty positions become spaces, whatever the blank character; '!' fills from the right.
std::string FormatMaskText(std::string_view editMask, std::string_view value);
// A character of an edit mask that stands for a typed one (L l A a C c 0 9 #).
bool IsMaskPosition(char32_t c) noexcept;

// --- GUIDs ------------------------------------------------------------------------------------
struct TGUID {
    uint32_t D1 = 0;
    uint16_t D2 = 0, D3 = 0;
    uint8_t D4[8] = {};
};
TGUID StringToGUID(std::string_view s);  // "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}"; EConvertError
std::string GUIDToString(const TGUID& g);
bool IsEqualGUID(const TGUID& a, const TGUID& b) noexcept;
bool IsNullGUID(const TGUID& g) noexcept;

// --- files and paths --------------------------------------------------------------------------
bool FileExists(const std::string& name);
bool DirectoryExists(const std::string& name);
bool DeleteFile(const std::string& name);
bool RenameFile(const std::string& oldName, const std::string& newName);
std::string ExtractFileName(std::string_view path);
std::string ExtractFilePath(std::string_view path);  // with the trailing '/'
std::string ExtractFileExt(std::string_view path);  // with the dot
std::string ChangeFileExt(std::string_view path, std::string_view ext);
std::string IncludeTrailingPathDelimiter(std::string_view path);
std::string ExpandFileName(std::string_view path);
std::string GetCurrentDir();
bool SetCurrentDir(const std::string& dir);
std::string ProgramDir();  // folder of the running executable, with '/'
std::string GetTempDir();  // $TMPDIR or /tmp, with '/'
// The user's documents folder, with '/': XDG_DOCUMENTS_DIR of the user's folder settings
// (user-dirs.dirs), else $HOME/Documents; '' when there is no home folder.
std::string GetDocumentsDir();
// Creates a unique empty file "<dir>/<prefix>XXXXXX" with mode 0600; returns its name.
std::string CreateTempFile(const std::string& dir, const std::string& prefix);

// --- random, ticks, sleeping ------------------------------------------------------------------
void Randomize();
void RandSeed(uint32_t seed);
double Random();  // [0, 1)
int Random(int range);  // [0, range)
uint32_t GetTickCount();  // monotonic milliseconds
void Sleep(uint32_t ms);
