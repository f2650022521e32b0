#pragma once
// The print window opened from the main window, and a database holding one filled-in card whose
// templates are the shipped ones, lying beside the database.

#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "app/UFTisk.h"
#include "platform/rtl/SysUtils.h"
#include "report/core/frxMemoView.h"
#include "report/core/frxPreviewPages.h"
#include "report/core/frxReport.h"
#include "tests/app/AppFixture.h"
#include "tests/app/CardData.h"

namespace apptest {

// A command's standard output (the PDF readers of the print tests).
inline std::string Output(const std::string& command) {
    std::string out;
    std::unique_ptr<FILE, int (*)(FILE*)> p(::popen(command.c_str(), "r"), ::pclose);
    char buf[4096];
    for (size_t n; p && (n = fread(buf, 1, sizeof buf, p.get())) > 0;) out.append(buf, n);
    return out;
}

class PrintWindowTest : public AppTest {
protected:
    void PrepareDatabase() override {
        Sql("INSERT INTO vysvedceni (Jmeno, ReportFront, ReportBack, ReportOpisFront, ReportOpisBack) VALUES "
            "('Horák Adam', 'vysvedceni-predni.fr3', 'vysvedceni-zadni.fr3', 'opis-predni.fr3', "
            "'chybi/opis-zadni.fr3')");
    }
    // Opens the print window with "Tisk" and runs step in it; closes it afterwards.
    void InPrintWindow(std::function<void(TFTisk*)> step, TModalScript& script) {
        script.On("FTisk", [step](TCustomForm* form) {
            auto* f = static_cast<TFTisk*>(form);
            step(f);
            if (f->FormState().Contains(fsModal) && f->GetModalResult() == mrNone) Press(f->bStorno);
        });
        Press(FMain->bTisk);
        EXPECT_TRUE(script.Done());
    }
    void InPrintWindow(std::function<void(TFTisk*)> step) {
        TModalScript script;
        InPrintWindow(step, script);
    }
    // The control of a window whose caption is caption, searched through its children.
    static TControl* ByCaption(TWinControl* parent, const std::string& caption) {
        for (int i = 0; i < parent->ControlCount(); ++i) {
            TControl* c = parent->Controls(i);
            if (c->GetCaption() == caption) return c;
            if (auto* w = dynamic_cast<TWinControl*>(c))
                if (TControl* found = ByCaption(w, caption)) return found;
        }
        return nullptr;
    }
    // Answers the templates' half-year dialog (an unnamed window) times times: picks the
    // half-year and presses "OK - tisk".
    static void AnswerHalfYear(TModalScript& script, int times = 1, bool second = false) {
        for (int i = 0; i < times; ++i)
            script.On("", [second](TCustomForm* form) {
                TControl* half = ByCaption(form, second ? "Druhé pololetí" : "První pololetí");
                TControl* ok = ByCaption(form, "OK - tisk");
                ASSERT_TRUE(half && ok);
                // On its circle: a radio button takes clicks on its circle and caption only.
                TestKit::Click(half, TPoint{8, half->GetHeight() / 2});
                Press(ok);
            });
    }
};

// A filled-in card prepared from each shipped template: the pupil's data and every grade stand
// in their text objects; rows whose print flag is off are left out.
class FilledCardTest : public PrintWindowTest {
protected:
    void PrepareDatabase() override {
        for (const char* sql : filledcard::Sql) Sql(sql);
        for (const char* t : filledcard::Templates)
            std::filesystem::copy_file(std::string(KAROMIL_TEMPLATE_DIR) + "/" + t, Folder + "/" + t);
    }
    // Name -> text of every memo on the prepared pages.
    std::map<std::string, std::string> Prepared(TfrxReport* report) {
        std::map<std::string, std::string> texts;
        TfrxCustomPreviewPages* pages = report->PreviewPages();
        for (int p = 0; p < pages->GetCount(); ++p) {
            TList* all = frxPageComponent(pages->GetPage(p))->GetAllObjects();
            for (int i = 0; i < all->Count(); ++i)
                if (auto* m = dynamic_cast<TfrxCustomMemoView*>(static_cast<TfrxComponent*>(all->Items(i))))
                    texts[m->GetName()] = Trim(m->GetText());
        }
        return texts;
    }
};

}  // namespace apptest
