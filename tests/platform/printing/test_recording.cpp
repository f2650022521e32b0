// The recording back end: documents, page settings and display lists painted back.
#include <gtest/gtest.h>

#include <QtGui/QImage>
#include <QtGui/QPainter>

#include "platform/gui/GraphicsPrivate.h"
#include "platform/rtl/Exceptions.h"
#include "platform/printing/RecordingBackend.h"

TEST(RecordingBackend, RecordsPagesSettingsAndDrawing) {
    TRecordingBackend rec;
    rec.AddPrinter({"Fixture", "Kancelář", true}, FixturePrinterCaps(96));
    TPrinterCaps caps;
    ASSERT_TRUE(rec.Capabilities("Fixture", caps));
    auto doc = rec.BeginDoc("Fixture", caps, {"Vysvědčení", ""});
    TCanvas canvas;
    TDevMode mode;
    mode.dmDefaultSource = 4;
    doc->BeginPage(mode, &canvas);
    EXPECT_EQ(canvas.PixelsPerInch(), 96);
    canvas.Brush()->SetColor(clRed);
    canvas.FillRect(Rect(0, 0, 10, 10));
    doc->EndPage(&canvas);
    mode.dmOrientation = DMORIENT_LANDSCAPE;
    doc->BeginPage(mode, &canvas);
    doc->EndPage(&canvas);
    doc->EndDoc();

    ASSERT_EQ(rec.Jobs().size(), 1u);
    const TRecordedJob& job = rec.Jobs()[0];
    EXPECT_TRUE(job.Ended);
    EXPECT_EQ(job.Info.Title, "Vysvědčení");
    ASSERT_EQ(job.Pages.size(), 2u);
    EXPECT_EQ(job.Pages[0].Mode.dmDefaultSource, 4);
    EXPECT_EQ(job.Pages[1].Metrics.PhysicalWidth, 1123);  // A4 landscape at 96 dpi
    EXPECT_GT(job.Pages[0].Size(), 0);

    QImage img(40, 40, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    TCanvas target;
    CanvasPaint::Attach(&target, &p, Rect(0, 0, 40, 40));
    job.Pages[0].Paint(&target);
    target.Detach();
    p.end();
    EXPECT_EQ(img.pixel(5, 5), qRgb(255, 0, 0));
    EXPECT_EQ(img.pixel(15, 15), qRgb(255, 255, 255));
}

TEST(RecordingBackend, FailedSubmissionRaisesAndUnknownPrinterRefuses) {
    TRecordingBackend rec;
    rec.AddPrinter({"Fixture", "", false}, FixturePrinterCaps());
    rec.AddBrokenPrinter({"Rozbitá", "", false});
    TPrinterCaps caps;
    EXPECT_FALSE(rec.Capabilities("Rozbitá", caps));
    ASSERT_TRUE(rec.Capabilities("Fixture", caps));
    rec.FailNextEndDoc = "Tiskárna odmítla úlohu";
    auto doc = rec.BeginDoc("Fixture", caps, {});
    EXPECT_THROW(doc->EndDoc(), Exception);
    EXPECT_TRUE(rec.Jobs()[0].Aborted);
    EXPECT_THROW(rec.BeginDoc("Rozbitá", caps, {}), Exception);
    EXPECT_THROW(CreateNoPrintBackend()->BeginDoc("x", caps, {}), Exception);
    EXPECT_TRUE(CreateNoPrintBackend()->EnumPrinters().empty());
}
