// Printing one report card, front and back, as "Tisk vysv. 2 strany" does: from the button to
// both jobs handed to CUPS (template loaded, prepared from the database, drawn at 600 dpi and
// submitted), on a private CUPS server with a PDF queue. The print dialog is confirmed as soon
// as it shows. Run by hand: QT_QPA_PLATFORM=offscreen build/bench/bench_print_card

#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

#include "app/AppControls.h"
#include "app/Startup.h"
#include "app/UFDM.h"
#include "app/UFMain.h"
#include "app/UFMessageBox.h"
#include "app/UFNastaveni.h"
#include "app/UFTisk.h"
#include "platform/daoengine/DaoSqlite.h"
#include "platform/gui/Forms.h"
#include "platform/gui/TestKit.h"
#include "report/core/frxOptions.h"
#include "report/core/frxPrinter.h"
#include "report/core/frxReport.h"
#include "report/output/frxPrintDialog.h"
#include "tests/app/CardData.h"
#include "tests/common/PrivateCups.h"

namespace {

namespace fs = std::filesystem;

void PrintCard(benchmark::State& state) {
    testsupport::TPrivateCups cups;
    if (!cups.Missing.empty()) {
        state.SkipWithError(("not installed: " + cups.Missing).c_str());
        return;
    }
    if (!cups.Start(KAROMIL_TEST_PPD)) {
        state.SkipWithError(cups.Error.c_str());
        return;
    }
    TestKit::EnsureApplication();
    char tmpl[] = "/tmp/karomil-bench-XXXXXX";
    const std::string folder = mkdtemp(tmpl);
    fs::copy_file(KAROMIL_SHIPPED_DB, folder + "/vys.mdb");
    for (const char* t : filledcard::Templates)
        fs::copy_file(std::string(KAROMIL_TEMPLATE_DIR) + "/" + t, folder + "/" + t);
    sqlite3* db = nullptr;
    sqlite3_open((folder + "/vys.mdb").c_str(), &db);
    Dao::detail::RegisterFunctions(db);
    for (const char* sql : filledcard::Sql) sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
    sqlite3_close(db);
    const fs::path old = fs::current_path();
    fs::current_path(folder);

    frxFreePrinters();
    StartUp(nullptr);
    {
        std::unique_ptr<TFTisk> window = MakeDialog<TFTisk>(FMain);
        // The template's print options come with it; the dialog is confirmed on the only queue.
        SetShowModalHook([](TCustomForm* form) {
            if (auto* dialog = dynamic_cast<TfrxPrintDialog*>(form)) dialog->OkB->Click();
            else form->SetModalResult(mrCancel);
        });
        int jobs = 0;
        for (auto _ : state) {
            window->bbTiskVysv2->Click();
            jobs += 2;
        }
        SetShowModalHook(nullptr);
        state.counters["jobs"] = jobs;
        if (!cups.WaitForJobs(size_t(jobs))) state.SkipWithError("the queue did not finish the jobs");
    }
    delete FMessageBox;
    delete FPredmet;
    delete DM;
    delete FMain;
    frxFreePrinters();
    fs::current_path(old);
    fs::remove_all(folder);
}
BENCHMARK(PrintCard)->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace
