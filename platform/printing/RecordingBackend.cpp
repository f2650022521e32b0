#include "platform/printing/RecordingBackend.h"

#include <QtGui/QPainter>
#include <QtGui/QPicture>

#include "platform/gui/GraphicsPrivate.h"
#include "platform/rtl/Exceptions.h"

void TRecordedPage::Paint(TCanvas* canvas) const {
    canvas->RequiredStateForDrawing();
    if (QPainter* p = CanvasPaint::Painter(canvas); p && DisplayList) p->drawPicture(0, 0, *DisplayList);
}

int TRecordedPage::Size() const { return DisplayList ? int(DisplayList->size()) : 0; }

class TRecordingDocument final : public TPrintDocument {
public:
    TRecordingDocument(TRecordingBackend& owner, size_t job) : FOwner(owner), FJob(job) {}
    ~TRecordingDocument() override {
        if (!Job().Ended && !Job().Aborted) Abort();
    }
    void BeginPage(const TDevMode& mode, TCanvas* canvas) override {
        TRecordedPage page;
        page.Mode = mode;
        page.Metrics = MeasurePage(FCaps(), mode);
        page.DisplayList = std::make_shared<QPicture>();
        FPainter = std::make_unique<QPainter>(page.DisplayList.get());
        Job().Pages.push_back(std::move(page));
        CanvasPaint::Attach(canvas, FPainter.get(),
            TRect{0, 0, Job().Pages.back().Metrics.HorzRes, Job().Pages.back().Metrics.VertRes});
        canvas->SetPixelsPerInch(FCaps().DpiY);
    }
    void EndPage(TCanvas* canvas) override {
        canvas->Detach();
        FPainter.reset();
    }
    void EndDoc() override {
        FPainter.reset();
        if (!FOwner.FailNextEndDoc.empty()) {
            const std::string message = FOwner.FailNextEndDoc;
            FOwner.FailNextEndDoc.clear();
            Job().Aborted = true;
            throw Exception(message);
        }
        Job().Ended = true;
    }
    void Abort() noexcept override {
        FPainter.reset();
        Job().Aborted = true;
    }

private:
    TRecordedJob& Job() { return FOwner.FJobs[FJob]; }
    const TPrinterCaps& FCaps() { return FOwner.FCaps.at(Job().Printer); }
    TRecordingBackend& FOwner;
    size_t FJob;
    std::unique_ptr<QPainter> FPainter;
};

void TRecordingBackend::AddPrinter(const TPrinterEntry& entry, const TPrinterCaps& caps) {
    FPrinters.push_back(entry);
    FCaps[entry.Name] = caps;
}

void TRecordingBackend::AddBrokenPrinter(const TPrinterEntry& entry) { FPrinters.push_back(entry); }

std::vector<TPrinterEntry> TRecordingBackend::EnumPrinters() { return FPrinters; }

bool TRecordingBackend::Capabilities(const std::string& printer, TPrinterCaps& caps) {
    auto it = FCaps.find(printer);
    if (it == FCaps.end()) return false;
    caps = it->second;
    return true;
}

std::unique_ptr<TPrintDocument> TRecordingBackend::BeginDoc(
    const std::string& printer, const TPrinterCaps&, const TDocInfo& info) {
    if (!FCaps.count(printer)) throw Exception("Tiskárna \"" + printer + "\" není k dispozici.");
    TRecordedJob job;
    job.Printer = printer;
    job.Info = info;
    FJobs.push_back(std::move(job));
    return std::make_unique<TRecordingDocument>(*this, FJobs.size() - 1);
}

void TRecordingBackend::WriteRaw(const std::string& printer, const std::string& title, const std::string& bytes) {
    if (!FCaps.count(printer)) throw Exception("Tiskárna \"" + printer + "\" není k dispozici.");
    TRecordedJob job;
    job.Printer = printer;
    job.Info.Title = title;
    job.Raw = bytes;
    job.Ended = true;
    FJobs.push_back(std::move(job));
}

TPrinterCaps FixturePrinterCaps(int dpi) {
    TPrinterCaps c;
    c.DpiX = c.DpiY = dpi;
    c.Papers = {
        {9, "A4", "iso_a4_210x297mm", 210, 297, 4.23, 4.23, 4.23, 4.23},
        {1, "Letter", "na_letter_8.5x11in", 215.9, 279.4, 4.23, 4.23, 4.23, 4.23},
        {257, "Obálka DL", "iso_dl_110x220mm_custom", 110, 220, 5, 6, 7, 8},
    };
    c.Bins = {{7, "Automaticky", "auto"}, {1, "Zásobník 1", "tray-1"}, {4, "Ruční podávání", "manual"}};
    c.Defaults.dmPaperSize = 9;
    return c;
}
