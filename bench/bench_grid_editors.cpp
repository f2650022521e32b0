// Painting a page of 1,000 text cells (50 rows x 20 columns) three ways, in one run:
//   - the platform's plain cell painting, as bench_gui.cpp does it (FillRect + DrawText),
//   - the grid's way: a view data per column filled per cell and painted through the text
//     editor class's DrawEditor (with and without the row's clip region),
//   - Qt's own item painting: a QStyledItemDelegate over a QStandardItemModel.
// The grid's goal is no more than 1.5 times the plain painting.

#include <benchmark/benchmark.h>

#include <QtGui/QImage>
#include <QtGui/QPainter>
#include <QtGui/QStandardItemModel>
#include <QtWidgets/QApplication>
#include <QtWidgets/QStyledItemDelegate>

#include <string>
#include <vector>

#include "grid/editors/dxViewData.h"
#include "platform/gui/Bitmaps.h"

namespace {

constexpr int kRows = 50, kCols = 20, kCellW = 64, kCellH = 18;

void EnsureApp() {
    if (QCoreApplication::instance()) return;
    static int argc = 1;
    static char name[] = "bench_grid_editors";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
}

std::string CellText(int r, int k) {
    return k == 0 ? "Novák Jan " + std::to_string(r) : std::to_string(r * 37 + k * 11) + ",50";
}

const std::vector<std::string>& Texts() {
    static const std::vector<std::string> texts = [] {
        std::vector<std::string> t;
        for (int r = 0; r < kRows; ++r)
            for (int k = 0; k < kCols; ++k) t.push_back(CellText(r, k));
        return t;
    }();
    return texts;
}

void GridLines(TCanvas* c) {
    for (int r = 0; r < kRows; ++r) {
        c->MoveTo(0, r * kCellH + kCellH - 1);
        c->LineTo(kCols * kCellW, r * kCellH + kCellH - 1);
    }
    for (int k = 0; k < kCols; ++k) {
        c->MoveTo(k * kCellW + kCellW - 1, 0);
        c->LineTo(k * kCellW + kCellW - 1, kRows * kCellH);
    }
}

// The platform's plain painting (bench_gui.cpp's grid).
void PaintPlain(TCanvas* c) {
    c->Font()->SetName("Tahoma");
    c->Font()->SetHeight(-11);
    c->Pen()->SetColor(clBtnShadow);
    for (int r = 0; r < kRows; ++r) {
        for (int k = 0; k < kCols; ++k) {
            TRect cell = Bounds(k * kCellW, r * kCellH, kCellW - 1, kCellH - 1);
            bool selected = r == 3 && k == 2;
            c->Brush()->SetColor(selected ? clHighlight : (r % 2 ? clWindow : clInfoBk));
            c->Font()->SetColor(selected ? clHighlightText : clWindowText);
            TRect text = cell;
            InflateRect(text, -2, 0);
            c->FillRect(cell);
            DrawText(c->Handle(), Texts()[size_t(r * kCols + k)], -1, text,
                DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS | (k == 0 ? DT_LEFT : DT_RIGHT));
        }
    }
    GridLines(c);
}

// The grid's painting: one view data per column, filled for each cell.
void PaintThroughDrawEditor(TCanvas* c, bool rowClip) {
    c->Pen()->SetColor(clBtnShadow);
    HDC dc = c->Handle();
    TFontData font;
    font.Name = "Tahoma";
    font.Height = -11;
    const TdxInplaceTextEditClass& cls = dxInplaceTextEditClass();
    std::vector<std::unique_ptr<TdxEditViewData>> columns;
    for (int k = 0; k < kCols; ++k) {
        auto vd = cls.NewViewData();
        vd->BorderStyle = xbsNone;
        vd->TextLayout = 1;
        vd->TextMargins = Rect(1, 0, 0, 0);
        vd->FontHandle = font;
        vd->Alignment = k == 0 ? taLeftJustify : taRightJustify;
        static_cast<TdxTextEditViewData&>(*vd).ShowEndEllipsis = true;
        columns.push_back(std::move(vd));
    }
    TRegion clip;
    for (int r = 0; r < kRows; ++r) {
        if (rowClip) clip = CreateRectRgn(0, r * kCellH, kCols * kCellW, r * kCellH + kCellH - 1);
        for (int k = 0; k < kCols; ++k) {
            TdxEditViewData& vd = *columns[size_t(k)];
            const TRect cell = Bounds(k * kCellW, r * kCellH, kCellW - 1, kCellH - 1);
            const bool selected = r == 3 && k == 2;
            vd.Bounds = Rect(cell.Left - 2, cell.Top - 2, cell.Right + 2, cell.Bottom + 2);
            vd.BackColor = ColorToRGB(selected ? clHighlight : (r % 2 ? clWindow : clInfoBk));
            vd.BrushHandle.Color = vd.BackColor;
            vd.FontColor = ColorToRGB(selected ? clHighlightText : clWindowText);
            vd.Value = Variant(Texts()[size_t(r * kCols + k)]);
            vd.ValueLength = 0;
            cls.DrawEditor(dc, cell, vd, rowClip ? &clip : nullptr);
        }
    }
    GridLines(c);
}

// Qt's item painting of the same cells.
struct QtGrid {
    QStandardItemModel Model{kRows, kCols};
    QStyledItemDelegate Delegate;
    QFont Font{"Tahoma"};
    QtGrid() {
        Font.setPixelSize(11);
        for (int r = 0; r < kRows; ++r)
            for (int k = 0; k < kCols; ++k) {
                auto* item = new QStandardItem(QString::fromStdString(CellText(r, k)));
                item->setTextAlignment(Qt::AlignVCenter | (k == 0 ? Qt::AlignLeft : Qt::AlignRight));
                item->setBackground(QColor(r % 2 ? 0xFFFFFF : 0xFFFFE1));
                Model.setItem(r, k, item);
            }
    }
    void Paint(QPainter& p) {
        QStyleOptionViewItem option;
        option.font = Font;
        option.state = QStyle::State_Enabled;
        for (int r = 0; r < kRows; ++r)
            for (int k = 0; k < kCols; ++k) {
                option.rect = QRect(k * kCellW, r * kCellH, kCellW - 1, kCellH - 1);
                option.state = (r == 3 && k == 2) ? (QStyle::State_Enabled | QStyle::State_Selected)
                                                  : QStyle::State(QStyle::State_Enabled);
                Delegate.paint(&p, option, Model.index(r, k));
            }
        p.setPen(QColor(0x808080));
        for (int r = 0; r < kRows; ++r) p.drawLine(0, r * kCellH + kCellH - 1, kCols * kCellW, r * kCellH + kCellH - 1);
        for (int k = 0; k < kCols; ++k) p.drawLine(k * kCellW + kCellW - 1, 0, k * kCellW + kCellW - 1, kRows * kCellH);
    }
};

void BM_PlainCellPainting(benchmark::State& state) {
    EnsureApp();
    TBitmap bmp(kCols * kCellW, kRows * kCellH);
    for (auto _ : state) {
        PaintPlain(bmp.Canvas());
        benchmark::DoNotOptimize(bmp.GetPixel(5, 5));
    }
    state.SetItemsProcessed(state.iterations() * kRows * kCols);
}
BENCHMARK(BM_PlainCellPainting)->Unit(benchmark::kMillisecond);

void BM_DrawEditorCells(benchmark::State& state) {
    EnsureApp();
    TBitmap bmp(kCols * kCellW, kRows * kCellH);
    for (auto _ : state) {
        PaintThroughDrawEditor(bmp.Canvas(), false);
        benchmark::DoNotOptimize(bmp.GetPixel(5, 5));
    }
    state.SetItemsProcessed(state.iterations() * kRows * kCols);
}
BENCHMARK(BM_DrawEditorCells)->Unit(benchmark::kMillisecond);

void BM_DrawEditorCellsWithRowClip(benchmark::State& state) {
    EnsureApp();
    TBitmap bmp(kCols * kCellW, kRows * kCellH);
    for (auto _ : state) {
        PaintThroughDrawEditor(bmp.Canvas(), true);
        benchmark::DoNotOptimize(bmp.GetPixel(5, 5));
    }
    state.SetItemsProcessed(state.iterations() * kRows * kCols);
}
BENCHMARK(BM_DrawEditorCellsWithRowClip)->Unit(benchmark::kMillisecond);

void BM_QStyledItemDelegateCells(benchmark::State& state) {
    EnsureApp();
    QtGrid grid;
    QImage image(kCols * kCellW, kRows * kCellH, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter p(&image);
        grid.Paint(p);
        p.end();
        benchmark::DoNotOptimize(image.pixel(5, 5));
    }
    state.SetItemsProcessed(state.iterations() * kRows * kCols);
}
BENCHMARK(BM_QStyledItemDelegateCells)->Unit(benchmark::kMillisecond);

}  // namespace
