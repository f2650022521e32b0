// The four shipped templates as a school office prints them: the half-year is chosen before a
// card prints and the second half-year stays empty until it is; a place-and-date line without
// a place and a date prints nothing; each template names both datasets and its own report name;
// every one-line text cell holds the longest value its field takes.

#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "platform/gui/Bitmaps.h"
#include "report/core/frxDataSet.h"
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

}  // namespace
}  // namespace apptest
