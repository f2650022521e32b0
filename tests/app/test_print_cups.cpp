// A filled-in card printed as the user prints it: "Tisk vysv. 2 strany" in the print window, the
// print dialog confirmed for each side, two jobs on a private CUPS queue. The PDFs that come out
// are read back: every text of the card stands where the template puts it, within 1 mm.

#include <cmath>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "app/UFTisk.h"
#include "platform/rtl/ScopeGuard.h"
#include "report/core/frxMemoView.h"
#include "report/core/frxPreviewPages.h"
#include "report/core/frxPrinter.h"
#include "report/core/frxReport.h"
#include "report/core/frxReportPage.h"
#include "report/output/frxPrintDialog.h"
#include "tests/app/CardFixture.h"
#include "tests/common/PrivateCups.h"

namespace apptest {
namespace {

constexpr double kPt = 72 / 25.4;  // points per millimetre
constexpr double kPx = 25.4 / 96;  // millimetres per report pixel

// Where a one-line text of a prepared page must come out: the edge or middle its alignment
// fixes, in millimetres from the paper's top left.
struct TPlace {
    std::string Name, Text;
    TfrxHAlign HAlign;
    TfrxVAlign VAlign;
    double X, Y;
};

std::vector<TPlace> Places(TfrxReport* report) {
    std::vector<TPlace> places;
    TfrxReportPage* page = report->PreviewPages()->GetPage(0);
    TList* all = page->GetAllObjects();
    for (int i = 0; i < all->Count(); ++i) {
        auto* m = dynamic_cast<TfrxCustomMemoView*>(static_cast<TfrxComponent*>(all->Items(i)));
        if (!m || !m->GetVisible()) continue;
        const std::string text = Trim(m->GetText());
        if (text.empty() || text.find('\n') != std::string::npos) continue;
        const double left = page->LeftMargin + m->GetAbsLeft() * kPx, top = page->TopMargin + m->GetAbsTop() * kPx;
        const double w = m->GetWidth() * kPx, h = m->GetHeight() * kPx;
        const double x = m->HAlign == haRight ? left + w - m->GapX * kPx
            : m->HAlign == haCenter           ? left + w / 2
                                              : left + m->GapX * kPx;
        const double y = m->VAlign == vaBottom ? top + h - m->GapY * kPx
            : m->VAlign == vaCenter            ? top + h / 2
                                               : top + m->GapY * kPx;
        places.push_back({m->GetName(), text, m->HAlign, m->VAlign, x, y});
    }
    return places;
}

// The distance in millimetres from place to the nearest run of PDF words that spells its text.
double Distance(const TPlace& place, const std::vector<testsupport::TPrivateCups::TWord>& words) {
    std::vector<std::string> want;
    for (size_t at = 0; at < place.Text.size();) {
        const size_t space = place.Text.find(' ', at);
        const std::string word = place.Text.substr(at, space == std::string::npos ? std::string::npos : space - at);
        if (!word.empty()) want.push_back(word);
        at = space == std::string::npos ? place.Text.size() : space + 1;
    }
    double best = 1e9;
    for (size_t i = 0; i + want.size() <= words.size(); ++i) {
        bool match = true;
        for (size_t k = 0; k < want.size() && match; ++k) match = words[i + k].Text == want[k];
        if (!match) continue;
        const auto& first = words[i];
        const auto& last = words[i + want.size() - 1];
        const double x = (place.HAlign == haRight           ? last.XMax
                                 : place.HAlign == haCenter ? (first.XMin + last.XMax) / 2
                                                            : first.XMin) /
            kPt;
        const double y = (place.VAlign == vaBottom          ? first.YMax
                                 : place.VAlign == vaCenter ? (first.YMin + first.YMax) / 2
                                                            : first.YMin) /
            kPt;
        best = std::min(best, std::hypot(x - place.X, y - place.Y));
    }
    return best;
}

TEST_F(FilledCardTest, BothSidesPrintToCupsWithEveryTextWhereTheTemplatePutsIt) {
    testsupport::TPrivateCups cups;
    KAROMIL_CUPS_OR_SKIP(cups);
    ASSERT_TRUE(cups.Start(KAROMIL_TEST_PPD)) << cups.Error;
    auto forgetPrinters = OnScopeExit([] { frxFreePrinters(); });
    frxFreePrinters();
    Start();

    std::vector<TPlace> sides[2];
    std::vector<std::string> printers;
    TModalScript script;
    AnswerHalfYear(script, 4, true);  // each side prepared here, then printed
    for (int side = 0; side < 2; ++side)
        script.On("frxPrintDialog", [&](TCustomForm* form) {
            auto* dialog = static_cast<TfrxPrintDialog*>(form);
            printers.push_back(dialog->PrintersCB->GetText());
            Press(dialog->OkB);
        });
    InPrintWindow(
        [&](TFTisk* f) {
            // What each side must show, prepared as the print prepares it.
            for (int side = 0; side < 2; ++side) {
                TEdit* line = side == 0 ? f->FormularFront : f->FormularBack;
                ASSERT_TRUE(f->frxReport1->LoadFromFile(TFTisk::TemplatePath(line->GetText())));
                ASSERT_TRUE(f->frxReport1->PrepareReport(true)) << f->frxReport1->ErrorList->Text();
                sides[side] = Places(f->frxReport1);
            }
            Press(f->bbTiskVysv2);
        },
        script);
    EXPECT_EQ(printers, (std::vector<std::string>{"Karomil", "Karomil"}));
    ASSERT_TRUE(cups.WaitForJobs(2)) << cups.Error;
    const std::vector<std::string> jobs = cups.JobFiles();
    ASSERT_EQ(jobs.size(), 2u);

    for (int side = 0; side < 2; ++side) {
        const std::string info = cups.Info(jobs[size_t(side)]);
        EXPECT_TRUE(std::regex_search(info, std::regex("Pages:\\s+1\\n"))) << info;
        EXPECT_NE(info.find("(A4)"), std::string::npos) << info;
        const auto words = cups.Words(jobs[size_t(side)]);
        ASSERT_GT(sides[side].size(), 20u) << "side " << side;
        for (const TPlace& place : sides[side])
            EXPECT_LE(Distance(place, words), 1.0) << "side " << side << ": " << place.Name << " \"" << place.Text
                                                   << "\" expected at " << place.X << ", " << place.Y << " mm";
    }
    // The card's own data is among what was checked.
    auto has = [&](int side, const std::string& name, const std::string& text) {
        for (const TPlace& p : sides[side])
            if (p.Name == name) return p.Text == text;
        return false;
    };
    for (auto [name, text] : std::vector<std::pair<std::string, std::string>>{{"Jmeno", "Růžena Čermáková"},
             {"Trida", "4.B"}, {"SkolniRok", "Školní rok 2025/2026"}, {"Znamka1A", "výborný"},
             {"Znamka1B", "chvalitebný"}, {"Znamka2A", "dobrý"}, {"Znamka2B", "dostatečný"},
             {"ZnamkaChovA", "velmi dobré"}, {"ZnamkaChovB", "uspokojivé"}})
        EXPECT_TRUE(has(0, name, text)) << name;
    for (auto [name, text] : std::vector<std::pair<std::string, std::string>>{
             {"ZamHodinyOmlA", "12"}, {"ZamHodinyNeomlB", "3"}, {"CelkHodnA", "prospěla"}})
        EXPECT_TRUE(has(1, name, text)) << name;
}

// "Tisk vysvědčení" of a card at the end of the first half-year: the half-year dialog left at
// its first choice, the job comes out under the template's report name and its text holds the
// first half-year's grades and none of the second's.
TEST_F(FilledCardTest, AFirstHalfYearCardPrintsWithoutTheSecondsGradesUnderTheReportsName) {
    testsupport::TPrivateCups cups;
    KAROMIL_CUPS_OR_SKIP(cups);
    ASSERT_TRUE(cups.Start(KAROMIL_TEST_PPD)) << cups.Error;
    auto forgetPrinters = OnScopeExit([] { frxFreePrinters(); });
    frxFreePrinters();
    Start();
    TModalScript script;
    AnswerHalfYear(script);
    script.On("frxPrintDialog", [](TCustomForm* form) { Press(static_cast<TfrxPrintDialog*>(form)->OkB); });
    InPrintWindow([](TFTisk* f) { Press(f->bPrint); }, script);
    ASSERT_TRUE(cups.WaitForJobs(1)) << cups.Error;
    const std::string text = cups.Text(cups.Output);
    for (const char* first : {"Růžena Čermáková", "velmi dobré", "výborný", "dobrý"})
        EXPECT_NE(text.find(first), std::string::npos) << first << " in\n" << text;
    for (const char* second : {"uspokojivé", "chvalitebný", "dostatečný"})
        EXPECT_EQ(text.find(second), std::string::npos) << second << " in\n" << text;

    cups_job_t* jobs = nullptr;
    const int n = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, "Karomil", 0, CUPS_WHICHJOBS_COMPLETED);
    ASSERT_EQ(n, 1);
    EXPECT_STREQ(jobs[0].title, "Vysvědčení – přední strana");
    cupsFreeJobs(n, jobs);
}

}  // namespace
}  // namespace apptest
