// Opening a template in the report designer: the card's front template and a generated one
// with 200 text objects, each loaded from its file into a new designer window that is then
// shown and painted once, and each loaded into a window that is already open (the designer's
// Open command). Run by hand: QT_QPA_PLATFORM=offscreen build-rel/bench/bench_designer

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <string>

#include "platform/gui/TestKit.h"
#include "report/core/frxBands.h"
#include "report/core/frxMemoView.h"
#include "report/core/frxReport.h"
#include "report/core/frxReportPage.h"
#include "report/designer/frxDesgn.h"

namespace {
std::string FrontTemplate() { return std::string(KAROMIL_TEMPLATE_DIR) + "/vysvedceni-predni.fr3"; }

// A page with a master band and 200 text objects in four columns, saved once per run.
const std::string& GeneratedTemplate() {
    static const std::string file = [] {
        std::string dir = (std::filesystem::temp_directory_path() / "karomil-bench-XXXXXX").string();
        dir = mkdtemp(dir.data());
        TfrxReport report;
        auto* page = new TfrxReportPage(&report);
        page->SetName("Page1");
        page->SetDefaults();
        auto* band = new TfrxMasterData(page);
        band->SetName("MasterData1");
        band->SetBounds(0, 20, 718, 1000);
        for (int i = 0; i < 200; ++i) {
            auto* memo = new TfrxMemoView(band);
            memo->SetName("Memo" + std::to_string(i + 1));
            memo->SetBounds(180.0 * (i % 4), 20.0 * (i / 4), 170, 18);
            memo->SetText("Předmět " + std::to_string(i + 1) + ": [frxDBDSVys.\"Znamka1A\"]");
        }
        const std::string name = dir + "/dvesta.fr3";
        report.SaveToFile(name);
        return name;
    }();
    return file;
}

void Setup() {
    static bool done = false;
    if (done) return;
    done = true;
    TestKit::EnsureApplication();
    frxRegisterDesigner();
}

// A new window on the loaded report, shown and painted, then freed.
void OpenInNewWindow(benchmark::State& state, const std::string& file) {
    Setup();
    for (auto _ : state) {
        TfrxReport report;
        report.LoadFromFile(file);
        auto form = std::make_unique<TfrxDesignerForm>(nullptr, &report, false);
        TestKit::ShowAndActivate(form.get());
        TestKit::ProcessEvents();
        benchmark::DoNotOptimize(form->Objects()->Count());
    }
}

// The Open command of a window already shown, painted after each load.
void OpenInOpenWindow(benchmark::State& state, const std::string& file) {
    Setup();
    TfrxReport report;
    auto form = std::make_unique<TfrxDesignerForm>(nullptr, &report, false);
    TestKit::ShowAndActivate(form.get());
    for (auto _ : state) {
        form->LoadFile(file, true);
        TestKit::ProcessEvents();
        benchmark::DoNotOptimize(form->Objects()->Count());
    }
}

void BM_FrontTemplateNewWindow(benchmark::State& s) { OpenInNewWindow(s, FrontTemplate()); }
void BM_FrontTemplateOpenCommand(benchmark::State& s) { OpenInOpenWindow(s, FrontTemplate()); }
void BM_Generated200NewWindow(benchmark::State& s) { OpenInNewWindow(s, GeneratedTemplate()); }
void BM_Generated200OpenCommand(benchmark::State& s) { OpenInOpenWindow(s, GeneratedTemplate()); }
}  // namespace

BENCHMARK(BM_FrontTemplateNewWindow)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FrontTemplateOpenCommand)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Generated200NewWindow)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Generated200OpenCommand)->Unit(benchmark::kMillisecond);
