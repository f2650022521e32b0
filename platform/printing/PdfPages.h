#pragma once
// Pages drawn at the printer's resolution into a PDF file: the document the CUPS back end
// submits and the file "print to file" writes. Private to platform/printing.

#include <memory>
#include <string>

#include "platform/printing/Printing.h"

class QPdfWriter;
class QPainter;

class TPdfPages {
public:
    // Opens the writer on fileName (created by the caller) at the caps' resolution.
    TPdfPages(const std::string& fileName, const TPrinterCaps& caps, const std::string& title);
    ~TPdfPages();
    // A new page laid out by mode (its paper as oriented, no margins of its own); canvas is
    // attached with its origin on the printable area, so a negative offset reaches the edge.
    void BeginPage(const TDevMode& mode, TCanvas* canvas);
    void EndPage(TCanvas* canvas);
    // Ends the painter; false when the writer reported a failure.
    bool Finish();
    int PageCount() const noexcept { return FPages; }

private:
    const TPrinterCaps& FCaps;
    std::unique_ptr<QPdfWriter> FWriter;
    std::unique_ptr<QPainter> FPainter;
    int FPages = 0;
};
