// Dates and times: encoding, the class library's negative-value convention, time stamps,
// FormatDateTime with Czech names and parsing with the '.' date separator.

#include <gtest/gtest.h>

#include <cmath>

#include "platform/rtl/SysUtils.h"

namespace {

const TFormatSettings& Cz() {
    static const TFormatSettings fs = TFormatSettings::Czech();
    return fs;
}

template <typename F>
std::string ConvertErrorOf(F&& f) {
    try {
        f();
    } catch (const EConvertError& e) {
        return e.Message();
    }
    return "(no error)";
}

TEST(EncodeDate, DayNumbers) {
    const struct {
        int Y, M, D;
        double Expected;
    } cases[] = {
        {1899, 12, 30, 0},
        {1899, 12, 31, 1},
        {1900, 1, 1, 2},
        {2000, 1, 1, 36526},
        {2024, 2, 29, 45351},
        {1, 1, 1, -693593},
        {9999, 12, 31, 2958465},
        {1600, 3, 1, -109511},
    };
    for (const auto& c : cases) EXPECT_EQ(EncodeDate(c.Y, c.M, c.D), c.Expected) << c.Y << "-" << c.M << "-" << c.D;
}

TEST(EncodeDate, ImpossibleDatesRaise) {
    const int cases[][3] = {{2023, 2, 29}, {1900, 2, 29}, {0, 1, 1}, {10000, 1, 1}, {2024, 13, 1}, {2024, 0, 1},
        {2024, 4, 31}, {2024, 1, 0}, {2024, 1, 32}, {-5, 1, 1}};
    for (const auto& c : cases) {
        TDateTime d = 123;
        EXPECT_FALSE(TryEncodeDate(c[0], c[1], c[2], d));
        EXPECT_EQ(d, 123);
        EXPECT_EQ(ConvertErrorOf([&] { EncodeDate(c[0], c[1], c[2]); }), "Invalid argument to date encode");
    }
}

TEST(EncodeTime, FractionsOfADayAndLimits) {
    EXPECT_EQ(EncodeTime(0, 0, 0, 0), 0.0);
    EXPECT_EQ(EncodeTime(12, 0, 0, 0), 0.5);
    EXPECT_EQ(EncodeTime(6, 0, 0, 0), 0.25);
    EXPECT_DOUBLE_EQ(EncodeTime(23, 59, 59, 999), 86399999.0 / 86400000.0);
    const int bad[][4] = {{24, 0, 0, 0}, {0, 60, 0, 0}, {0, 0, 60, 0}, {0, 0, 0, 1000}, {-1, 0, 0, 0}, {0, 0, 0, -1}};
    for (const auto& b : bad) {
        TDateTime t;
        EXPECT_FALSE(TryEncodeTime(b[0], b[1], b[2], b[3], t));
        EXPECT_EQ(ConvertErrorOf([&] { EncodeTime(b[0], b[1], b[2], b[3]); }), "Invalid argument to time encode");
    }
}

TEST(DecodeDate, RoundTripsEveryFewDaysOverAllYears) {
    for (int y = 1; y <= 9999; y += 7)
        for (int m = 1; m <= 12; ++m)
            for (int d : {1, 15, DaysInMonth(y, m)}) {
                int yy, mm, dd;
                DecodeDate(EncodeDate(y, m, d), yy, mm, dd);
                ASSERT_EQ(yy * 10000 + mm * 100 + dd, y * 10000 + m * 100 + d);
            }
    // consecutive days stay consecutive across month, year and leap boundaries
    for (TDateTime d = EncodeDate(1999, 12, 1); d < EncodeDate(2001, 3, 2); d += 1) {
        int y1, m1, d1, y2, m2, d2;
        DecodeDate(d, y1, m1, d1);
        DecodeDate(d + 1, y2, m2, d2);
        ASSERT_TRUE(d2 == d1 + 1 || (d2 == 1 && d1 == DaysInMonth(y1, m1))) << d;
    }
}

TEST(DecodeDate, NegativeValuesKeepTheDayInTheIntegerPart) {
    // -1.25: the day 1899-12-29, the time 06:00 (not 1899-12-28 18:00)
    int y, m, d, h, n, s, ms;
    DecodeDate(-1.25, y, m, d);
    DecodeTime(-1.25, h, n, s, ms);
    EXPECT_EQ(y * 10000 + m * 100 + d, 18991229);
    EXPECT_EQ(h * 100 + n, 600);
    DecodeDate(-0.5, y, m, d);
    DecodeTime(-0.5, h, n, s, ms);
    EXPECT_EQ(y * 10000 + m * 100 + d, 18991230);
    EXPECT_EQ(h, 12);
    EXPECT_EQ(FormatDateTime("d.m.yyyy hh:nn", -1.25, Cz()), "29.12.1899 06:00");
}

TEST(DecodeTime, RoundsToTheMillisecondAndCarriesIntoTheNextDay) {
    int h, n, s, ms;
    DecodeTime(EncodeTime(14, 7, 9, 45), h, n, s, ms);
    EXPECT_EQ((std::vector<int>{h, n, s, ms}), (std::vector<int>{14, 7, 9, 45}));
    // a hair before midnight shows as the next midnight, never as 24:00
    TDateTime almost = EncodeDate(2024, 12, 31) + 0.99999999999;
    EXPECT_EQ(FormatDateTime("d.m.yyyy hh:nn:ss.zzz", almost, Cz()), "1.1.2025 00:00:00.000");
}

TEST(Calendar, DayOfWeekLeapYearsAndMonthLengths) {
    const struct {
        int Y, M, D, Dow;
    } days[] = {{2024, 5, 5, 1}, {2024, 5, 6, 2}, {1899, 12, 30, 7}, {2000, 1, 1, 7}, {1, 1, 1, 2}, {1899, 12, 29, 6}};
    for (const auto& c : days)
        EXPECT_EQ(DayOfWeek(EncodeDate(c.Y, c.M, c.D)), c.Dow) << c.Y << "-" << c.M << "-" << c.D;
    EXPECT_EQ(DayOfWeek(EncodeDate(1899, 12, 29) - 0.75), 6);  // the time does not move the day

    for (auto [year, leap] :
        {std::pair{1900, false}, {2000, true}, {2024, true}, {2023, false}, {2100, false}, {4, true}})
        EXPECT_EQ(IsLeapYear(year), leap) << year;
    EXPECT_EQ(DaysInMonth(2024, 2), 29);
    EXPECT_EQ(DaysInMonth(2023, 2), 28);
    EXPECT_EQ(DaysInMonth(2024, 4), 30);
    EXPECT_EQ(DaysInMonth(2024, 12), 31);
    EXPECT_EQ(DaysInMonth(2024, 13), 0);
}

TEST(TimeStamp, ConversionsBothWays) {
    const struct {
        TDateTime Value;
        int32_t Date, Time;
    } cases[] = {
        {0, DateDelta, 0},
        {1.5, DateDelta + 1, 43200000},
        {-1.25, DateDelta - 1, 21600000},
        {EncodeDate(1, 1, 1), 1, 0},
        {EncodeDate(2024, 5, 5) + EncodeTime(14, 7, 9, 45), DateDelta + 45417, 50829045},
    };
    for (const auto& c : cases) {
        TTimeStamp ts = DateTimeToTimeStamp(c.Value);
        EXPECT_EQ(ts.Date, c.Date) << c.Value;
        EXPECT_EQ(ts.Time, c.Time) << c.Value;
        EXPECT_DOUBLE_EQ(TimeStampToDateTime(ts), c.Value);
        EXPECT_EQ(MSecsToTimeStamp(TimeStampToMSecs(ts)).Date, ts.Date);
        EXPECT_EQ(MSecsToTimeStamp(TimeStampToMSecs(ts)).Time, ts.Time);
    }
    EXPECT_EQ(TimeStampToMSecs(TTimeStamp{1000, 2}), 2 * 86400000.0 + 1000);
    for (double bad : {-1.0, 1e30, std::nan("")}) EXPECT_THROW(MSecsToTimeStamp(bad), EConvertError);
    for (TTimeStamp bad : {TTimeStamp{-1, 5}, TTimeStamp{0, 0}, TTimeStamp{86400000, 5}})
        EXPECT_THROW(TimeStampToDateTime(bad), EConvertError);
    EXPECT_EQ(ConvertErrorOf([] { TimeStampToDateTime(TTimeStamp{5, -3}); }), "'-3.5' is not a valid timestamp");
}

TEST(Clock, NowIsTodayPlusTheTime) {
    TDateTime today = Date(), now = Now(), time = Time();
    EXPECT_EQ(today, std::floor(today));
    EXPECT_GE(now, today);
    EXPECT_LT(now, today + 1.0001);
    EXPECT_GE(time, 0);
    EXPECT_LT(time, 1);
    int y, m, d;
    DecodeDate(now, y, m, d);
    EXPECT_GE(y, 2024);
}

TEST(FormatSettings, CzechDefaults) {
    const TFormatSettings& fs = FormatSettings();
    EXPECT_EQ(fs.DecimalSeparator, U',');
    EXPECT_EQ(fs.DateSeparator, U'.');
    EXPECT_EQ(fs.LongMonthNames[0], "leden");
    EXPECT_EQ(fs.LongMonthNames[11], "prosinec");
    EXPECT_EQ(fs.LongDayNames[0], "neděle");
    EXPECT_EQ(fs.ShortDayNames[1], "po");
}

// --- FormatDateTime ------------------------------------------------------------------------------

TEST(FormatDateTime, SpecifiersWithCzechNames) {
    // Sunday 5 May 2024, 14:07:09.045
    const TDateTime dt = EncodeDate(2024, 5, 5) + EncodeTime(14, 7, 9, 45);
    const std::pair<const char*, const char*> cases[] = {
        {"d", "5"},
        {"dd", "05"},
        {"ddd", "ne"},
        {"dddd", "neděle"},
        {"ddddd", "5.5.2024"},
        {"dddddd", "5. květen 2024"},
        {"m", "5"},
        {"mm", "05"},
        {"mmm", "kvě"},
        {"mmmm", "květen"},
        {"yy", "24"},
        {"yyyy", "2024"},
        {"h", "14"},
        {"hh", "14"},
        {"n", "7"},
        {"nn", "07"},
        {"s", "9"},
        {"ss", "09"},
        {"z", "45"},
        {"zzz", "045"},
        {"t", "14:07"},
        {"tt", "14:07:09"},
        {"c", "5.5.2024 14:07:09"},
        {"hh:mm", "14:07"},  // m after h is the minute
        {"h:m", "14:7"},
        {"hh' h 'mm", "14 h 07"},  // ... also across literals
        {"hh:nn mm", "14:07 05"},  // but not after another specifier
        {"mm hh", "05 14"},
        {"hh:mmmm", "14:květen"},  // only m and mm become minutes
        {"hh:nn am/pm", "02:07 pm"},
        {"h:nn AM/PM", "2:07 PM"},
        {"h a/p", "2 p"},
        {"h A/P", "2 P"},
        {"h ampm", "2 odp."},
        {"dd/mm/yyyy", "05.05.2024"},
        {"DD.MM.YYYY", "05.05.2024"},
        {"'den' d", "den 5"},
        {"\"rok\" yyyy", "rok 2024"},
        {"mm\"/\"dd\"/\"yyyy", "05/05/2024"},
        {"hh\":\"nn\":\"ss", "14:07:09"},
        {"dddd d. mmmm yyyy", "neděle 5. květen 2024"},
        {"'neukončeno", "neukončeno"},
        {"", "5.5.2024 14:07:09"},
    };
    for (auto [format, expected] : cases) EXPECT_EQ(FormatDateTime(format, dt, Cz()), expected) << format;
}

TEST(FormatDateTime, NamesSeparatorsAndTwelveHours) {
    const char* months[12] = {"leden", "únor", "březen", "duben", "květen", "červen", "červenec", "srpen", "září",
        "říjen", "listopad", "prosinec"};
    for (int m = 1; m <= 12; ++m) EXPECT_EQ(FormatDateTime("mmmm", EncodeDate(2024, m, 1), Cz()), months[m - 1]);
    const char* days[7] = {"pondělí", "úterý", "středa", "čtvrtek", "pátek", "sobota", "neděle"};
    for (int d = 0; d < 7; ++d) EXPECT_EQ(FormatDateTime("dddd", EncodeDate(2024, 5, 6 + d), Cz()), days[d]);

    TFormatSettings fs = Cz();
    fs.DateSeparator = U'-';
    fs.TimeSeparator = U'.';
    EXPECT_EQ(
        FormatDateTime("dd/mm/yyyy hh:nn", EncodeDate(2024, 5, 5) + EncodeTime(9, 3, 0, 0), fs), "05-05-2024 09.03");

    const std::pair<int, const char*> hours[] = {{0, "12:30 am"}, {11, "11:30 am"}, {12, "12:30 pm"}, {23, "11:30 pm"}};
    for (auto [h, expected] : hours) EXPECT_EQ(FormatDateTime("h:nn am/pm", EncodeTime(h, 30, 0, 0), Cz()), expected);
    EXPECT_EQ(FormatDateTime("yyyy", EncodeDate(5, 1, 1), Cz()), "0005");
}

TEST(FormatDateTime, SelfReferringSettingsDoNotRecurseForever) {
    TFormatSettings fs = Cz();
    fs.ShortDateFormat = "ddddd c";
    EXPECT_NO_THROW(FormatDateTime("c", 1.5, fs));
}

TEST(DateTimeToStr, TimeLeftOutAtMidnight) {
    const TDateTime day = EncodeDate(2024, 5, 5), time = EncodeTime(8, 5, 3, 0);
    EXPECT_EQ(DateToStr(day, Cz()), "5.5.2024");
    EXPECT_EQ(DateToStr(day + time, Cz()), "5.5.2024");
    EXPECT_EQ(TimeToStr(time, Cz()), "8:05:03");
    EXPECT_EQ(TimeToStr(day, Cz()), "0:00:00");
    EXPECT_EQ(DateTimeToStr(day, Cz()), "5.5.2024");
    EXPECT_EQ(DateTimeToStr(day + time, Cz()), "5.5.2024 8:05:03");
    EXPECT_EQ(DateTimeToStr(time, Cz()), "30.12.1899 8:05:03");
}

// --- parsing -------------------------------------------------------------------------------------

TEST(StrToDate, CzechDatesWithDots) {
    const struct {
        const char* Text;
        int Y, M, D;
    } cases[] = {
        {"5.5.2024", 2024, 5, 5},
        {" 05.05.2024 ", 2024, 5, 5},
        {"5. 5. 2024", 2024, 5, 5},
        {"5.5.2024.", 2024, 5, 5},
        {"29.2.2024", 2024, 2, 29},
        {"31.12.9999", 9999, 12, 31},
        {"1.1.0001", 1, 1, 1},
        {"5.5.24", 2024, 5, 5},  // two-digit years within the century window
        {"1.1.99", 1999, 1, 1},
    };
    for (const auto& c : cases) EXPECT_EQ(StrToDate(c.Text, Cz()), EncodeDate(c.Y, c.M, c.D)) << c.Text;

    int y, m, d;
    DecodeDate(Date(), y, m, d);
    EXPECT_EQ(StrToDate("5.6", Cz()), EncodeDate(y, 6, 5));  // no year: this year
}

TEST(StrToDate, RejectsWhatIsNoDate) {
    for (const char* bad : {"", "5", "5.5.2024x", "31.4.2024", "29.2.2023", "5/5/2024", "5..2024", "a.b.c", "5.5.20245",
             "0.5.2024", "5.0.2024", "5.5.2024 10:00"}) {
        TDateTime v = 7;
        EXPECT_FALSE(TryStrToDate(bad, v, Cz())) << bad;
        EXPECT_EQ(v, 7) << bad;
    }
    EXPECT_EQ(ConvertErrorOf([] { StrToDate("31.4.2024", Cz()); }), "'31.4.2024' is not a valid date");
}

TEST(StrToDate, OrderFollowsTheShortDateFormat) {
    TFormatSettings us = Cz();
    us.ShortDateFormat = "M/d/yyyy";
    us.DateSeparator = U'/';
    EXPECT_EQ(StrToDate("5/6/2024", us), EncodeDate(2024, 5, 6));
    TFormatSettings iso = Cz();
    iso.ShortDateFormat = "yyyy-MM-dd";
    iso.DateSeparator = U'-';
    EXPECT_EQ(StrToDate("2024-05-06", iso), EncodeDate(2024, 5, 6));
    int y, m, d;
    DecodeDate(Date(), y, m, d);
    EXPECT_EQ(StrToDate("05-06", iso), EncodeDate(y, 5, 6));  // year first, then month and day
}

TEST(StrToDate, CenturyWindow) {
    int y, m, d;
    DecodeDate(Date(), y, m, d);
    TFormatSettings fs = Cz();
    fs.TwoDigitYearCenturyWindow = 0;  // no window: the current century
    EXPECT_EQ(StrToDate("1.1.99", fs), EncodeDate(y / 100 * 100 + 99, 1, 1));
    fs.TwoDigitYearCenturyWindow = 50;
    int twoDigits = (y + 49) % 100;  // 49 years ahead is still inside the window
    EXPECT_EQ(StrToDate("1.1." + std::to_string(twoDigits), fs), EncodeDate(y + 49, 1, 1));
    twoDigits = (y - 50) % 100;  // 50 years back is the window's first year
    EXPECT_EQ(StrToDate("1.1." + std::to_string(twoDigits), fs), EncodeDate(y - 50, 1, 1));
}

TEST(StrToTime, HoursMinutesSecondsAndAmPm) {
    const struct {
        const char* Text;
        int H, N, S, Ms;
    } cases[] = {
        {"14:07", 14, 7, 0, 0},
        {"14:07:09", 14, 7, 9, 0},
        {" 8:05:03 ", 8, 5, 3, 0},
        {"14:07:09,5", 14, 7, 9, 500},  // a fraction of a second, not 5 ms
        {"14:07:09.045", 14, 7, 9, 45},
        {"2:07 odp.", 14, 7, 0, 0},
        {"2:07 PM", 14, 7, 0, 0},
        {"2:07 pm", 14, 7, 0, 0},
        {"12:00 dop.", 0, 0, 0, 0},
        {"12:15 odp.", 12, 15, 0, 0},
        {"12 odp.", 12, 0, 0, 0},
        {"dop. 9:30", 9, 30, 0, 0},
        {"0:00", 0, 0, 0, 0},
        {"23:59:59", 23, 59, 59, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(StrToTime(c.Text, Cz()), EncodeTime(c.H, c.N, c.S, c.Ms)) << c.Text;

    for (const char* bad : {"", "14", "24:00", "14:60", "14:07:60", "13:00 odp.", "0:30 AM", "14:07:09,5555", "x",
             "14:", "14:07 xx", "14.07"}) {
        TDateTime v = 7;
        EXPECT_FALSE(TryStrToTime(bad, v, Cz())) << bad;
    }
    EXPECT_EQ(ConvertErrorOf([] { StrToTime("25:00", Cz()); }), "'25:00' is not a valid time");
}

TEST(StrToDateTime, DateTimeOrEither) {
    const TDateTime day = EncodeDate(2024, 5, 5);
    EXPECT_EQ(StrToDateTime("5.5.2024 14:07", Cz()), day + EncodeTime(14, 7, 0, 0));
    EXPECT_EQ(StrToDateTime("5.5.2024", Cz()), day);
    EXPECT_EQ(StrToDateTime("14:07", Cz()), EncodeTime(14, 7, 0, 0));
    EXPECT_EQ(StrToDateTime("5.5.2024 2:07 odp.", Cz()), day + EncodeTime(14, 7, 0, 0));
    // before 1899-12-30 the time is subtracted: the day stays the integer part
    EXPECT_EQ(StrToDateTime("29.12.1899 06:00", Cz()), -1.25);
    EXPECT_EQ(
        ConvertErrorOf([] { StrToDateTime("5.5.2024 25:00", Cz()); }), "'5.5.2024 25:00' is not a valid date and time");
    // what DateTimeToStr writes reads back
    const TDateTime dt = day + EncodeTime(8, 5, 3, 0);
    EXPECT_EQ(StrToDateTime(DateTimeToStr(dt, Cz()), Cz()), dt);
}

}  // namespace
