#pragma once
// A back end for tests: fixture printers with their papers and bins, and every document kept
// as a job: its options, and per page the settings it was laid out with and a display list of
// what was drawn, which can be painted again onto any canvas.

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/printing/Printing.h"

class QPicture;

struct TRecordedPage {
    TDevMode Mode;
    TPageMetrics Metrics;
    std::shared_ptr<QPicture> DisplayList;
    // Paints the display list onto canvas at its origin (the printable area's top left).
    void Paint(TCanvas* canvas) const;
    // Number of bytes the display list holds (0: nothing was drawn).
    int Size() const;
};

struct TRecordedJob {
    std::string Printer;
    TDocInfo Info;
    std::vector<TRecordedPage> Pages;
    bool Ended = false, Aborted = false;
    std::string Raw;  // raw spooling
};

class TRecordingBackend final : public TPrintBackend {
public:
    void AddPrinter(const TPrinterEntry& entry, const TPrinterCaps& caps);
    // A printer whose capabilities can not be had.
    void AddBrokenPrinter(const TPrinterEntry& entry);
    // The next EndDoc raises this message (the spooler refused the job).
    std::string FailNextEndDoc;

    const std::vector<TRecordedJob>& Jobs() const noexcept { return FJobs; }

    std::vector<TPrinterEntry> EnumPrinters() override;
    bool Capabilities(const std::string& printer, TPrinterCaps& caps) override;
    std::unique_ptr<TPrintDocument> BeginDoc(
        const std::string& printer, const TPrinterCaps& caps, const TDocInfo& info) override;
    void WriteRaw(const std::string& printer, const std::string& title, const std::string& bytes) override;

private:
    friend class TRecordingDocument;
    std::vector<TPrinterEntry> FPrinters;
    std::map<std::string, TPrinterCaps> FCaps;
    std::vector<TRecordedJob> FJobs;
};

// Fixture capabilities: A4 (9) and Letter (1) with 4.23 mm margins, a local "Obálka DL" size,
// bins auto (7), "Zásobník 1" (1) and "Ruční podávání" (4), at dpi.
TPrinterCaps FixturePrinterCaps(int dpi = 600);
