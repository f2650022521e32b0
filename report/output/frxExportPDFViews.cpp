// The PDF export's view side: report pages and objects turned into PDF pages and content.

#include <cmath>
#include <vector>

#include "platform/gui/Bitmaps.h"
#include "platform/rtl/ScopeGuard.h"
#include "report/core/frxMemoView.h"
#include "report/core/frxObjects.h"
#include "report/core/frxReportPage.h"
#include "report/output/frxExportPDF.h"
#include "report/output/frxPDFFile.h"

void TfrxPDFExport::StartPage(TfrxReportPage* page, int index) {
    // Deliberate fix: the PDF page takes the paper's exact size, not the page's width and height in
    // whole report pixels, so an A4 page is A4 (595.28 x 841.89 points) and not 595.5 x 842.25.
    constexpr double kPixelsPerMm = 96 / 25.4;
    FPage = FPDF->AddPage(page->GetPaperWidth() * kPixelsPerMm, page->GetPaperHeight() * kPixelsPerMm, page->LeftMargin,
        page->TopMargin, index);
}

void TfrxPDFExport::ExportObject(TfrxComponent* obj) {
    if (auto* view = dynamic_cast<TfrxView*>(obj); view && FPage) FPage->AddObject(view);
}

namespace {
std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

void AddFrameOf(TfrxPDFPage* page, TfrxFrame* f, double left, double top, double width, double height) {
    if (f->Typ.Empty() || f->Color == clTransparent) return;
    page->AddFrame(f->Color, f->Width, f->Typ.Contains(ftTop), f->Typ.Contains(ftLeft), f->Typ.Contains(ftBottom),
        f->Typ.Contains(ftRight), left, top, width, height);
}
}  // namespace

void TfrxPDFPage::AddObject(TfrxView* view) {
    const double left = view->GetAbsLeft(), top = view->GetAbsTop();
    double width = view->GetWidth(), height = view->GetHeight();
    TfrxFrame* frame = view->GetFrame();
    auto* memo = dynamic_cast<TfrxCustomMemoView*>(view);
    if (memo && memo->GetRotation() == 0 && (view->BrushStyle == bsSolid || view->BrushStyle == bsClear)) {
        // Sound: the shadow and the highlight change only what is written here, not the
        // object, which belongs to the prepared pages and is exported or shown again later.
        if (frame->DropShadow) {
            const double sw = frame->ShadowWidth;
            width -= sw;
            height -= sw;
            AddShadow(frame->ShadowColor, sw, left, top, width, height);
        }
        TfrxHighlight* hl = memo->GetHighlight();
        TFont* font = hl->Active ? hl->GetFont() : memo->GetFont();
        const TColor color = hl->Active ? hl->Color : memo->Color;
        if (color != clTransparent) AddFill(color, left, top, width, height);
        AddFrameOf(this, frame, left, top, width, height);
        TTextBox box;
        box.Left = left, box.Top = top, box.Width = width, box.Height = height;
        box.GapX = memo->GapX, box.GapY = memo->GapY, box.LineSpacing = memo->LineSpacing;
        box.HAlign = memo->HAlign, box.VAlign = memo->VAlign;
        AddTextLines(font, SplitLines(memo->WrapText(true)), box);
        return;
    }
    if (dynamic_cast<TfrxCustomLineView*>(view)) {
        AddLine(frame->Color, frame->Width, left, top, width, height);
        return;
    }
    if (auto* shape = dynamic_cast<TfrxShapeView*>(view); shape && shape->Shape == skRectangle) {
        AddRectangle(frame->Color, frame->Width, view->Color, left, top, width, height);
        return;
    }
    // A picture object with nothing in it (every page's background is one) is at most a fill
    // and a frame: a page-sized white bitmap per page would dominate the file and the time.
    if (auto* picture = dynamic_cast<TfrxPictureView*>(view); picture && picture->GetPicture()->Empty()) {
        if (view->Color != clTransparent && view->Color != clNone) AddFill(view->Color, left, top, width, height);
        AddFrameOf(this, frame, left, top, width, height);
        return;
    }
    // Anything else is drawn into a bitmap, without its frame, which is added as lines.
    const double s = Parent->PrintOptimized ? 4 : 1;
    TBitmap bitmap;
    bitmap.SetPixelFormat(pf24bit);
    bitmap.SetSize(int(std::lrint(s * width)) + 1, int(std::lrint(s * height)) + 1);
    bitmap.Canvas()->Brush()->SetColor(clWhite);
    bitmap.Canvas()->FillRect(Rect(0, 0, bitmap.GetWidth(), bitmap.GetHeight()));
    {
        TRollback<double> noFrame(frame->Width, frame->Width > 0 ? 0.0 : frame->Width);
        view->Draw(bitmap.Canvas(), s, s, -left * s, -top * s);
    }
    AddImage(&bitmap, left, top, width, height);
    AddFrameOf(this, frame, left, top, width, height);
}
