#include "platform/printing/PdfPages.h"

#include <QtGui/QPageLayout>
#include <QtGui/QPageSize>
#include <QtGui/QPainter>
#include <QtGui/QPdfWriter>

#include "platform/gui/GraphicsPrivate.h"
#include "platform/rtl/Exceptions.h"

TPdfPages::TPdfPages(const std::string& fileName, const TPrinterCaps& caps, const std::string& title)
    : FCaps(caps), FWriter(std::make_unique<QPdfWriter>(QString::fromStdString(fileName))) {
    FWriter->setResolution(caps.DpiY);
    FWriter->setTitle(QString::fromStdString(title));
    FWriter->setCreator(QStringLiteral("Karomil"));
}

TPdfPages::~TPdfPages() {
    if (FPainter && FPainter->isActive()) FPainter->end();
}

void TPdfPages::BeginPage(const TDevMode& mode, TCanvas* canvas) {
    const TPaperSpec paper = ResolvePaper(FCaps, mode);
    const TPageMetrics m = MeasurePage(FCaps, mode);
    QPageLayout layout(QPageSize(QSizeF(paper.Width, paper.Height), QPageSize::Millimeter),
        mode.dmOrientation == DMORIENT_LANDSCAPE ? QPageLayout::Landscape : QPageLayout::Portrait,
        QMarginsF(0, 0, 0, 0));
    if (!FWriter->setPageLayout(layout)) throw Exception("Formát stránky nelze nastavit.");
    if (!FPainter) {
        FPainter = std::make_unique<QPainter>();
        if (!FPainter->begin(FWriter.get())) throw Exception("Tiskový dokument nelze vytvořit.");
    } else if (!FWriter->newPage()) {
        throw Exception("Novou stránku nelze začít.");
    }
    ++FPages;
    // The writer's own resolution may differ from the printer's in principle; scale to it.
    const double sx = double(FWriter->resolution()) / FCaps.DpiX, sy = double(FWriter->resolution()) / FCaps.DpiY;
    FPainter->resetTransform();
    FPainter->scale(sx, sy);
    FPainter->translate(m.PhysicalOffsetX, m.PhysicalOffsetY);
    CanvasPaint::Attach(canvas, FPainter.get(), TRect{0, 0, m.HorzRes, m.VertRes});
    canvas->SetPixelsPerInch(FCaps.DpiY);
}

void TPdfPages::EndPage(TCanvas* canvas) { canvas->Detach(); }

bool TPdfPages::Finish() {
    if (!FPainter) {
        // A document without pages still has to be a valid file.
        FPainter = std::make_unique<QPainter>();
        if (!FPainter->begin(FWriter.get())) return false;
    }
    return FPainter->end();
}
