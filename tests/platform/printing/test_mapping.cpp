// The pure mappings from CUPS media and sources to Windows codes, and page metrics.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "platform/printing/CupsMapping.h"
#include "platform/printing/Printing.h"

TEST(PrintingPaperTable, SixtySixCodesWithoutFortyEightAndFortyNine) {
    EXPECT_EQ(WindowsPaperTable().size(), 66u);
    EXPECT_EQ(FindWindowsPaper(48), nullptr);
    EXPECT_EQ(FindWindowsPaper(49), nullptr);
    ASSERT_NE(FindWindowsPaper(9), nullptr);
    EXPECT_EQ(FindWindowsPaper(9)->Width, 2100);
    EXPECT_EQ(FindWindowsPaper(68)->Height, 4450);
}

// Every paper of the table has a name of its own, the same with or without a printer.
TEST(PrintingPaperTable, EveryCodeHasOneHumanName) {
    std::set<std::string> names;
    for (const TPaperCode& p : WindowsPaperTable()) {
        const std::string name = WindowsPaperName(p.Code);
        EXPECT_FALSE(name.empty()) << p.Code;
        EXPECT_EQ(name.find('_'), std::string::npos) << name;
        EXPECT_TRUE(names.insert(name).second) << name;
    }
    for (auto [code, name] : std::vector<std::pair<int, std::string>>{
             {1, "Letter"}, {9, "A4"}, {11, "A5"}, {8, "A3"}, {27, "Obálka DL"}, {48, ""}, {256, ""}, {0, ""}})
        EXPECT_EQ(WindowsPaperName(code), name) << code;
}

TEST(CupsMapping, SizeToWindowsCode) {
    struct Case {
        int w, h, code;
    } cases[] = {
        {21000, 29700, 9},  // A4: lowest of 9, 10, 55
        {21590, 27940, 1},  // Letter: lowest of 1, 2, 18
        {21040, 29740, 9},  // within 0.5 mm
        {21060, 29700, 0},  // 0.6 mm off
        {14800, 21000, 11},  // A5
        {29700, 42000, 8},  // A3
        {10000, 10000, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(WindowsPaperCodeForSize(c.w, c.h), c.code) << c.w << "x" << c.h;
}

TEST(CupsMapping, KeywordToBin) {
    struct Case {
        const char* k;
        int bin;
    } cases[] = {
        {"auto", 7},
        {"manual", 4},
        {"by-pass-tray", 4},
        {"top", 1},
        {"tray-1", 1},
        {"main", 1},
        {"bottom", 2},
        {"tray-2", 2},
        {"middle", 3},
        {"envelope", 5},
        {"large-capacity", 11},
        {"tray-7", 0},
    };
    for (const Case& c : cases) EXPECT_EQ(WindowsBinForKeyword(c.k), c.bin) << c.k;
}

TEST(CupsMapping, PapersFromSizesGetCodesMarginsAndLocalCodes) {
    std::vector<TCupsSize> sizes{
        {"iso_a4_210x297mm", "A4", 21000, 29700, 423, 500, 600, 700},
        {"iso_a4_210x297mm", "A4 bez okrajů", 21000, 29700, 0, 0, 0, 0},  // borderless twin
        {"om_card_100x150mm", "", 10000, 15000, 0, 0, 0, 0},
        {"om_label_50x30mm", "Štítek", 5000, 3000, 0, 0, 0, 0},
        {"broken", "", 0, 100, 0, 0, 0, 0},
    };
    const auto papers = PapersFromCupsSizes(sizes);
    ASSERT_EQ(papers.size(), 3u);
    EXPECT_EQ(papers[0].Code, 9);
    EXPECT_DOUBLE_EQ(papers[0].Left, 4.23);
    EXPECT_DOUBLE_EQ(papers[0].Bottom, 5.0);
    EXPECT_DOUBLE_EQ(papers[0].Right, 6.0);
    EXPECT_DOUBLE_EQ(papers[0].Top, 7.0);
    EXPECT_EQ(papers[1].Code, 257);
    // A paper of the table takes the table's name; one without a name of its own is named by its
    // size, never by its media keyword.
    EXPECT_EQ(papers[0].Name, "A4");
    EXPECT_EQ(papers[1].Name, "100 × 150 mm");
    EXPECT_EQ(papers[2].Code, 258);
    EXPECT_EQ(papers[2].Name, "Štítek");
}

TEST(CupsMapping, BinsAndJobOptions) {
    const auto bins = BinsFromCupsSources(
        {{"auto", "Automaticky"}, {"tray-1", "Zásobník 1"}, {"top", "Horní"}, {"photo", ""}});
    ASSERT_EQ(bins.size(), 4u);
    EXPECT_EQ(bins[0].Number, 7);
    EXPECT_EQ(bins[1].Number, 1);
    EXPECT_EQ(bins[2].Number, 257);  // a second keyword for bin 1 gets its own number
    EXPECT_EQ(bins[3].Number, 258);
    EXPECT_EQ(bins[3].Name, "photo");
    EXPECT_EQ(CupsSourceForBin(bins, 1), "tray-1");
    EXPECT_EQ(CupsSourceForBin(bins, 99), "");
    EXPECT_EQ(CupsSidesForDuplex(1), "one-sided");
    EXPECT_EQ(CupsSidesForDuplex(2), "two-sided-long-edge");
    EXPECT_EQ(CupsSidesForDuplex(3), "two-sided-short-edge");
    TPaperSpec custom;
    custom.Width = 100;
    custom.Height = 150.5;
    EXPECT_EQ(CupsMediaForPaper(custom), "custom_100x150.5mm");
}

TEST(PrintingMetrics, PortraitLandscapeAndCustom) {
    TPrinterCaps caps;
    caps.DpiX = caps.DpiY = 600;
    caps.Papers = {{9, "A4", "iso_a4_210x297mm", 210, 297, 4, 5, 6, 7}};
    caps.Defaults.dmPaperSize = 9;
    TDevMode m;
    TPageMetrics p = MeasurePage(caps, m);
    EXPECT_EQ(p.PhysicalWidth, 4961);  // 210 mm at 600 dpi
    EXPECT_EQ(p.PhysicalHeight, 7016);
    EXPECT_EQ(p.PhysicalOffsetX, 94);  // 4 mm
    EXPECT_EQ(p.PhysicalOffsetY, 118);  // 5 mm
    EXPECT_EQ(p.HorzRes, 4961 - 94 - 142);
    EXPECT_EQ(p.VertRes, 7016 - 118 - 165);

    m.dmOrientation = DMORIENT_LANDSCAPE;  // the portrait bottom edge is on the left
    p = MeasurePage(caps, m);
    EXPECT_EQ(p.PhysicalWidth, 7016);
    EXPECT_EQ(p.PhysicalOffsetX, 165);
    EXPECT_EQ(p.PhysicalOffsetY, 94);

    m = TDevMode{};
    m.dmPaperSize = DMPAPER_USER;
    m.dmPaperWidth = 1000;
    m.dmPaperLength = 1500;
    p = MeasurePage(caps, m);
    EXPECT_EQ(p.PhysicalWidth, 2362);
    EXPECT_EQ(p.PhysicalOffsetX, 94);  // the default paper's margins
    EXPECT_EQ(ResolvePaper(caps, m).Code, DMPAPER_USER);

    m = TDevMode{};
    m.dmPaperSize = 11;  // not offered: the default paper
    EXPECT_EQ(ResolvePaper(caps, m).Code, 9);
}
