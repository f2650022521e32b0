// The four shipped templates as a school office prints them: the half-year is chosen before a
// card prints and the second half-year stays empty until it is; a place-and-date line without
// a place and a date prints nothing; each template names both datasets and its own report name;
// every one-line text cell holds the longest value its field takes.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <regex>
#include <set>
#include <sstream>
#include <map>
#include <string>
#include <vector>

#include "platform/gui/Bitmaps.h"
#include "report/core/frxDataSet.h"
#include "report/output/frxExportPDF.h"
#include "report/core/frxOptions.h"
#include "report/core/frxReportPage.h"
#include "tests/app/CardFixture.h"

namespace apptest {
namespace {

const char* const kFronts[] = {"vysvedceni-predni.fr3", "opis-predni.fr3"};
const char* const kBacks[] = {"vysvedceni-zadni.fr3", "opis-zadni.fr3"};

class CardTemplatesTest : public FilledCardTest {
protected:
    // The texts of one template prepared for the card, the half-year chosen in its dialog.
    std::map<std::string, std::string> PreparedHalf(
        TModalScript& script, TFTisk* f, const std::string& file, bool second) {
        AnswerHalfYear(script, 1, second);
        EXPECT_TRUE(f->frxReport1->LoadFromFile(TFTisk::TemplatePath(file))) << file;
        EXPECT_TRUE(f->frxReport1->PrepareReport(true)) << file << ": " << f->frxReport1->ErrorList->Text();
        return Prepared(f->frxReport1);
    }
    // The width of text in control's font, in pixels.
    static int TextWidth(TControl* control, const std::string& text) {
        TBitmap b;
        b.SetSize(8, 8);
        b.Canvas()->SetFont(control->GetFont());
        return b.Canvas()->TextWidth(text);
    }
};

TEST_F(CardTemplatesTest, TheFirstHalfYearLeavesTheSecondsGradesPlaceAndDateEmpty) {
    Start();
    TModalScript script;
    std::map<std::string, std::map<std::string, std::string>> first, second;
    InPrintWindow(
        [&](TFTisk* f) {
            for (const char* file : {kFronts[0], kFronts[1], kBacks[0], kBacks[1]}) {
                first[file] = PreparedHalf(script, f, file, false);
                second[file] = PreparedHalf(script, f, file, true);
            }
        },
        script);
    EXPECT_TRUE(script.Done());
    for (const char* file : kFronts) {
        // The first half-year's grades print either way; the second's only when chosen.
        for (auto [name, a, b] :
            std::vector<std::tuple<std::string, std::string, std::string>>{{"Znamka1", "výborný", "chvalitebný"},
                {"Znamka2", "dobrý", "dostatečný"}, {"ZnamkaChov", "velmi dobré", "uspokojivé"}}) {
            EXPECT_EQ(first[file][name + "A"], a) << file << " " << name;
            EXPECT_EQ(second[file][name + "A"], a) << file << " " << name;
            EXPECT_EQ(first[file][name + "B"], "") << file << " " << name;
            EXPECT_EQ(second[file][name + "B"], b) << file << " " << name;
        }
        // The column's heading and the pupil's data stay.
        EXPECT_EQ(first[file]["Jmeno"], "Růžena Čermáková") << file;
    }
    for (const char* file : kBacks) {
        EXPECT_EQ(first[file]["ZamHodinyOmlA"], "12") << file;
        EXPECT_EQ(first[file]["ZamHodinyNeomlB"], "") << file;
        EXPECT_EQ(second[file]["ZamHodinyNeomlB"], "3") << file;
        EXPECT_EQ(first[file]["MistoVA"], "1. pololetí:  V Praze dne 31. 1. 2026") << file;
        EXPECT_EQ(second[file]["MistoVA"], "1. pololetí:  V Praze dne 31. 1. 2026") << file;
        // The card has no second place and date: that line prints nothing in either half-year
        // rather than its bare words.
        EXPECT_EQ(first[file]["MistoVB"], "") << file;
        EXPECT_EQ(second[file]["MistoVB"], "") << file;
        EXPECT_EQ(first[file]["UcitelA"], "Mgr. Jana Dvořáková") << file;
        EXPECT_EQ(first[file]["UcitelB"], "") << file;
        EXPECT_EQ(second[file]["UcitelB"], "Mgr. Jana Dvořáková") << file;
    }
}

// The place-and-date lines of the back, by what the card holds.
class PlaceLineTest : public CardTemplatesTest {
protected:
    void PrepareDatabase() override {
        CardTemplatesTest::PrepareDatabase();
        Sql("UPDATE vysvedceni SET VA = NULL, DneA = '  ', VB = 'Třeboni', DneB = '30. 6. 2026'");
    }
};

TEST_F(PlaceLineTest, ALineWithoutPlaceAndDatePrintsNothingAndAFilledOnePrintsWhole) {
    Start();
    TModalScript script;
    std::map<std::string, std::string> first, second;
    InPrintWindow(
        [&](TFTisk* f) {
            first = PreparedHalf(script, f, kBacks[0], false);
            second = PreparedHalf(script, f, kBacks[1], true);
        },
        script);
    EXPECT_EQ(first["MistoVA"], "");
    EXPECT_EQ(second["MistoVA"], "");
    EXPECT_EQ(first["MistoVB"], "");
    EXPECT_EQ(second["MistoVB"], "2. pololetí:  V Třeboni dne 30. 6. 2026");
}

// The half-year dialog as it comes up before a card prints: its texts whole and the first
// half-year chosen. With $KAROMIL_SHOT_DIR it is kept there to be looked at.
TEST_F(CardTemplatesTest, TheHalfYearDialogOffersBothHalvesWithTheFirstChosen) {
    Start();
    const char* shots = std::getenv("KAROMIL_SHOT_DIR");
    TModalScript script;
    std::vector<std::string> seen;
    for (int i = 0; i < 4; ++i)
        script.On("", [&](TCustomForm* form) {
            TestKit::ProcessEvents();
            auto* group = dynamic_cast<TGroupBox*>(ByCaption(form, "Vyberte pololetí pro tisk"));
            auto* first = dynamic_cast<TRadioButton*>(ByCaption(form, "První pololetí"));
            auto* second = dynamic_cast<TRadioButton*>(ByCaption(form, "Druhé pololetí"));
            auto* ok = dynamic_cast<TButton*>(ByCaption(form, "OK - tisk"));
            ASSERT_TRUE(group && first && second && ok);
            EXPECT_TRUE(first->GetChecked());
            EXPECT_FALSE(second->GetChecked());
            EXPECT_EQ(ok->GetModalResult(), mrOk);
            // Each text fits its control.
            for (TControl* c : std::vector<TControl*>{first, second, ok})
                EXPECT_LE(TextWidth(c, c->GetCaption()) + 20, c->GetWidth()) << c->GetCaption();
            // The close box leaves the dialog up: only its button ends it.
            form->Close();
            TestKit::ProcessEvents();
            EXPECT_TRUE(form->GetVisible());
            if (shots && *shots && seen.empty()) TestKit::Grab(form).save(QString(shots) + "/half-year-dialog.png");
            seen.push_back(form->GetCaption());
            Press(ok);
        });
    InPrintWindow(
        [&](TFTisk* f) {
            for (TBitBtn* preview : {f->bPreview, f->BitBtn7, f->BitBtn6, f->BitBtn10}) {
                script.On("frxPreviewForm", [](TCustomForm* form) { form->SetModalResult(mrCancel); });
                Press(preview);
            }
        },
        script);
    EXPECT_EQ(seen.size(), 4u);
}

TEST_F(CardTemplatesTest, EachTemplateNamesBothDatasetsAndItsReportName) {
    Start();
    const std::map<std::string, std::string> names{{"vysvedceni-predni.fr3", "Vysvědčení – přední strana"},
        {"vysvedceni-zadni.fr3", "Vysvědčení – zadní strana"}, {"opis-predni.fr3", "Opis vysvědčení – přední strana"},
        {"opis-zadni.fr3", "Opis vysvědčení – zadní strana"}};
    InPrintWindow([&](TFTisk* f) {
        for (const auto& [file, name] : names) {
            TfrxReport* r = f->frxReport1;
            ASSERT_TRUE(r->LoadFromFile(TFTisk::TemplatePath(file))) << file;
            EXPECT_EQ(r->GetReportOptions()->Name, name) << file;
            std::vector<std::string> sets;
            for (int i = 0; i < r->DataSets()->Count(); ++i) {
                TfrxDataSetItem* item = r->DataSets()->GetItem(i);
                EXPECT_NE(item->GetDataSet(), nullptr) << file << " " << item->GetDataSetName();
                sets.push_back(item->GetDataSetName());
            }
            EXPECT_EQ(sets, (std::vector<std::string>{"frxDBDSPrefs", "frxDBDSVys"})) << file;
        }
    });
}

// A card holding in every field the longest value it takes: for a field filled from a list,
// the list's longest item; for free text, as many characters as the field holds.
class LongestCardTest : public CardTemplatesTest {
protected:
    // Free text of n characters: Czech words, wide letters included.
    static std::string Text(size_t n) {
        static const std::u32string words = U"Šťastná Žofie Měřičková Ďáblice Úštěk Příbram ";
        std::u32string t;
        while (t.size() < n) t += words;
        t.resize(n);
        while (!t.empty() && t.back() == U' ') t.back() = U'a';
        return Utf8(t);
    }
    static std::string Utf8(const std::u32string& s) {
        std::string r;
        for (char32_t c : s) r += CharToUtf8(c);
        return r;
    }
    void PrepareDatabase() override {
        CardTemplatesTest::PrepareDatabase();
        std::string set = "UPDATE vysvedceni SET SkolniRok = '" + Text(10) + "', Trida = '" + Text(15) +
            "', Rocnik = '" + Text(5) + "', Jmeno = '" + Text(50) + "', RodneCislo = '" + Text(15) + "', MistoNar = '" +
            Text(50) + "', CisloTV = '" + Text(5) + "', Chovani = '" + Text(35) +
            "', ZnamkaChovA = 'neuspokojivé', ZnamkaChovB = 'neuspokojivé', CelkHodnA = 'prospěl(a) s vyznamenáním'"
            ", CelkHodnB = 'prospěl(a) s vyznamenáním', VA = '" +
            Text(35) + "', DneA = '" + Text(30) + "', VB = '" + Text(35) + "', DneB = '" + Text(30) + "', Ucitel = '" +
            Text(30) + "', SplnilLet = '" + Text(10) + "', LetDochazky = '" + Text(10) + "', Dolozka = '" + Text(120) +
            "', ZamHodinyOmlA = 32000, ZamHodinyOmlB = 32000, ZamHodinyNeomlA = 32000, " +
            "ZamHodinyNeomlB = 32000, CHovaniTisk = -1";
        for (int i = 1; i <= 19; ++i) {
            const std::string n = std::to_string(i);
            set += ", Predmet" + n + " = '" + Text(35) + "', Predmet" + n + "Tisk = -1, Znamka" + n +
                "A = 'nedostatečný', Znamka" + n + "B = 'nedostatečný'";
        }
        for (int i = 1; i <= 8; ++i) {
            const std::string n = std::to_string(i);
            set += ", NPredmet" + n + " = '" + Text(35) + "', NZnamka" + n + "A = 'pracoval(a) úspěšně', NZnamka" + n +
                "B = 'pracoval(a) úspěšně'";
        }
        Sql(set);
        Sql("UPDATE Prefs SET SkolaNazev = '" + Text(80) + "', SkolaAdr1 = '" + Text(50) + "', SkolaAdr2 = '" +
            Text(50) + "', IZO = '" + Text(10) + "'");
    }
};

TEST_F(LongestCardTest, EveryOneLineCellHoldsItsLongestValue) {
    Start();
    TModalScript script;
    std::vector<std::string> overruns;
    int measured = 0;
    InPrintWindow(
        [&](TFTisk* f) {
            for (const char* file : {kFronts[0], kFronts[1], kBacks[0], kBacks[1]}) {
                PreparedHalf(script, f, file, true);
                TfrxCustomPreviewPages* pages = f->frxReport1->PreviewPages();
                ASSERT_EQ(pages->GetCount(), 1) << file;
                TList* all = frxPageComponent(pages->GetPage(0))->GetAllObjects();
                for (int i = 0; i < all->Count(); ++i) {
                    auto* m = dynamic_cast<TfrxCustomMemoView*>(static_cast<TfrxComponent*>(all->Items(i)));
                    if (!m || m->WordWrap || Trim(m->GetText()).empty()) continue;
                    ++measured;
                    const double need = m->CalcWidth();
                    if (need > m->GetWidth())
                        overruns.push_back(std::string(file) + " " + m->GetName() + ": " + std::to_string(need) +
                            " > " + std::to_string(m->GetWidth()) + " \"" + Trim(m->GetText()) + "\"");
                }
            }
        },
        script);
    EXPECT_GT(measured, 100);
    for (const std::string& o : overruns) ADD_FAILURE() << o;
}

// --- the card's PDF read by three viewers ------------------------------------------------------

struct TWord {
    std::string Text;
    double X0, X1, Top, Bottom;  // points from the page's top left
    double Baseline = 0;  // MuPDF only
};


// XML text with its character references and the five named entities resolved.
std::string Unescape(const std::string& s) {
    std::string r;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '&') {
            r += s[i];
            continue;
        }
        const size_t semi = s.find(';', i);
        const std::string ref = s.substr(i + 1, semi - i - 1);
        i = semi;
        if (ref[0] == '#') {
            const char32_t c = char32_t(
                ref[1] == 'x' ? std::stoul(ref.substr(2), nullptr, 16) : std::stoul(ref.substr(1)));
            r += QString::fromUcs4(&c, 1).toStdString();
        } else {
            static const std::map<std::string, std::string> named{
                {"amp", "&"}, {"lt", "<"}, {"gt", ">"}, {"quot", "\""}, {"apos", "'"}};
            r += named.at(ref);
        }
    }
    return r;
}

double Attr(const std::string& tag, const std::string& name, int index = 0) {
    const size_t at = tag.find(" " + name + "=\"");
    std::istringstream in(tag.substr(at + name.size() + 3));
    double v = 0;
    for (int i = 0; i <= index; ++i) in >> v;
    return v;
}

std::vector<TWord> PopplerWords(const std::string& pdf) {
    std::vector<TWord> words;
    const std::string html = Output("pdftotext -bbox '" + pdf + "' - 2>/dev/null");
    static const std::regex word("<word ([^>]*)>([^<]*)</word>");
    for (std::sregex_iterator it(html.begin(), html.end(), word), end; it != end; ++it) {
        const std::string tag = " " + (*it)[1].str();
        words.push_back(
            {Unescape((*it)[2]), Attr(tag, "xMin"), Attr(tag, "xMax"), Attr(tag, "yMin"), Attr(tag, "yMax")});
    }
    return words;
}

// MuPDF's structured text: characters by lines, words split at blanks.
std::vector<TWord> MupdfWords(const std::string& pdf) {
    std::vector<TWord> words;
    const std::string xml = Output("mutool draw -q -F stext -o - '" + pdf + "' 2>/dev/null");
    static const std::regex item("<line |<char ([^>]*)/>");
    TWord cur{};
    auto flush = [&] {
        if (!cur.Text.empty()) words.push_back(cur);
        cur = TWord{};
    };
    for (std::sregex_iterator it(xml.begin(), xml.end(), item), end; it != end; ++it) {
        if ((*it)[1].length() == 0) {
            flush();
            continue;
        }
        const std::string tag = " " + (*it)[1].str();
        const size_t c = tag.find(" c=\"");
        const std::string ch = Unescape(tag.substr(c + 4, tag.find('"', c + 4) - c - 4));
        if (ch == " ") {
            flush();
            continue;
        }
        if (cur.Text.empty()) {
            cur.X0 = Attr(tag, "quad", 0);
            cur.Top = Attr(tag, "quad", 1);
            cur.Bottom = Attr(tag, "quad", 5);
            cur.Baseline = Attr(tag, "y");
        }
        cur.X1 = Attr(tag, "quad", 2);
        cur.Text += ch;
    }
    flush();
    return words;
}

TEST_F(CardTemplatesTest, TheCardsPdfReadsTheSameInPopplerMupdfAndGhostscript) {
    for (const char* tool : {"pdftotext", "mutool", "gs"})
        if (Output(std::string("command -v ") + tool).empty()) GTEST_SKIP() << tool << " is not installed";
    Start();
    const std::string pdf = Folder + "/karta.pdf";
    TModalScript script;
    InPrintWindow(
        [&](TFTisk* f) {
            PreparedHalf(script, f, kFronts[0], true);
            f->frxPDFExport1->SetShowDialog(false);
            f->frxPDFExport1->EmbeddedFonts = false;
            f->frxPDFExport1->SetFileName(pdf);
            EXPECT_TRUE(f->frxReport1->PreviewPages()->Export(f->frxPDFExport1));
        },
        script);
    const std::vector<TWord> poppler = PopplerWords(pdf), mupdf = MupdfWords(pdf);
    ASSERT_GT(poppler.size(), 50u);
    // Every word poppler reads stands within 1 mm where MuPDF reads it along its line, and on the
    // same line: MuPDF's baseline inside poppler's box and poppler's middle inside MuPDF's box
    // (the two measure a box's height from different font heights).
    constexpr double kMm = 72 / 25.4;
    for (const TWord& w : poppler) {
        bool found = false;
        for (const TWord& m : mupdf)
            found = found ||
                (m.Text == w.Text && std::abs(m.X0 - w.X0) <= kMm && std::abs(m.X1 - w.X1) <= kMm &&
                    m.Baseline >= w.Top && m.Baseline <= w.Bottom && (w.Top + w.Bottom) / 2 >= m.Top &&
                    (w.Top + w.Bottom) / 2 <= m.Bottom);
        EXPECT_TRUE(found) << "\"" << w.Text << "\" at " << w.X0 << ".." << w.X1 << ", " << w.Top;
    }
    // Ghostscript reads the same words, and finds a serif face for the card's Times New Roman.
    std::multiset<std::string> fromPoppler, fromGs;
    for (const TWord& w : poppler) fromPoppler.insert(w.Text);
    std::istringstream gsText(Output("gs -q -dNOPAUSE -dBATCH -sDEVICE=txtwrite -o - '" + pdf + "' 2>/dev/null"));
    for (std::string word; gsText >> word;) fromGs.insert(word);
    EXPECT_EQ(fromGs, fromPoppler);
    const std::string log = Output("gs -dNOPAUSE -dBATCH -sDEVICE=nullpage '" + pdf + "' 2>&1");
    static const std::regex loading("Loading font (\\S+).* from (\\S+)");
    int faces = 0;
    for (std::sregex_iterator it(log.begin(), log.end(), loading), end; it != end; ++it, ++faces)
        EXPECT_EQ((*it)[2].str().find("Sans"), std::string::npos) << (*it)[0];
    EXPECT_GT(faces, 0) << log;
}

}  // namespace
}  // namespace apptest
