#include "report/core/frxDMPClass.h"

#include <cmath>
#include <utility>

#include "platform/classes/ClassRegistry.h"
#include "platform/rtl/SysUtils.h"
#include "report/core/frxDataSet.h"
#include "report/core/frxRegistries.h"
#include "report/core/frxRes.h"

KAROMIL_IMPLEMENT_PUBLISHED_CLASS(TfrxDMPMemoView, TfrxCustomMemoView)
KAROMIL_IMPLEMENT_PUBLISHED_CLASS(TfrxDMPLineView, TfrxCustomLineView)
KAROMIL_IMPLEMENT_PUBLISHED_CLASS(TfrxDMPPage, TfrxReportPage)

namespace {
// Halves to the even neighbour.
double RoundHalfEven(double v) { return std::nearbyint(v); }

std::string FontStyleAttr(TfrxDMPFontStyles mine, TfrxDMPFontStyles templ) {
    if (mine == templ) return {};
    return " FontStyle=\"" + IntToStr(int64_t(mine.Mask() & 511u)) + "\"";
}

// The screen font of the character grid; the font's change handler is kept away meanwhile, so
// that setting it up does not count as the object's own font.
void ResetGridFont(TFont* font, TfrxDMPFontStyles styles) {
    TNotifyEvent handler = std::exchange(font->OnChange, nullptr);
    font->SetName("Courier New");
    font->SetSize(12);
    TFontStyles s;
    if (styles.Contains(fsxBold)) s.Include(fsBold);
    if (styles.Contains(fsxItalic)) s.Include(fsItalic);
    if (styles.Contains(fsxUnderline)) s.Include(fsUnderline);
    font->SetStyle(s);
    font->OnChange = std::move(handler);
}

TfrxDMPPage* DMPPageOf(const TfrxComponent* c) { return dynamic_cast<TfrxDMPPage*>(c->GetPage()); }
}  // namespace

// --- text ----------------------------------------------------------------------------------

TfrxDMPMemoView::TfrxDMPMemoView(TComponent* owner) : TfrxCustomMemoView(owner) { ResetFont(); }

std::string TfrxDMPMemoView::GetDescription() const { return frxGetResources()->Get("obDMPText"); }

void TfrxDMPMemoView::ResetFont() {
    ResetGridFont(GetFont(), FFontStyle);
    CharSpacing = 0;
    LineSpacing = 1;
    GapX = 0;
    GapY = 0;
}

void TfrxDMPMemoView::SetFontStyle(TfrxDMPFontStyles value) {
    FFontStyle = value;
    TfrxCustomMemoView::SetParentFont(false);
    ResetFont();
}

void TfrxDMPMemoView::SetParentFont(bool value) {
    TfrxCustomMemoView::SetParentFont(value);
    if (value)
        if (TfrxDMPPage* page = DMPPageOf(this)) FFontStyle = page->GetFontStyle();
}

void TfrxDMPMemoView::SetLeft(double value) {
    const double cells = value / frxDMPCellWidth;
    TfrxCustomMemoView::SetLeft((Align == baRight ? std::trunc(cells) : RoundHalfEven(cells)) * frxDMPCellWidth);
}
void TfrxDMPMemoView::SetTop(double value) {
    TfrxCustomMemoView::SetTop(RoundHalfEven(value / frxDMPCellHeight) * frxDMPCellHeight);
}
void TfrxDMPMemoView::SetWidth(double value) {
    TfrxCustomMemoView::SetWidth(RoundHalfEven(value / frxDMPCellWidth) * frxDMPCellWidth);
}
void TfrxDMPMemoView::SetHeight(double value) {
    TfrxCustomMemoView::SetHeight(RoundHalfEven(value / frxDMPCellHeight) * frxDMPCellHeight);
}

double TfrxDMPMemoView::CalcHeight() {
    return RoundHalfEven(TfrxCustomMemoView::CalcHeight() / frxDMPCellHeight) * frxDMPCellHeight;
}
double TfrxDMPMemoView::CalcWidth() {
    return RoundHalfEven(TfrxCustomMemoView::CalcWidth() / frxDMPCellWidth) * frxDMPCellWidth;
}

void TfrxDMPMemoView::DrawFrame() {
    const double l = GetAbsLeft(), t = GetAbsTop();
    const int keep[4] = {DrawLeft, DrawTop, DrawRight, DrawBottom};
    DrawLeft = frxRoundDevice((l - frxDMPCellWidth / 2) * DrawScaleX + DrawOffsetX);
    DrawTop = frxRoundDevice((t - frxDMPCellHeight / 2) * DrawScaleY + DrawOffsetY);
    DrawRight = frxRoundDevice((l + GetWidth() + frxDMPCellWidth / 2) * DrawScaleX + DrawOffsetX);
    DrawBottom = frxRoundDevice((t + GetHeight() + frxDMPCellHeight / 2) * DrawScaleY + DrawOffsetY);
    TfrxCustomMemoView::DrawFrame();
    DrawLeft = keep[0];
    DrawTop = keep[1];
    DrawRight = keep[2];
    DrawBottom = keep[3];
}

std::string TfrxDMPMemoView::Diff(TfrxComponent* templ) {
    std::string s = TfrxCustomMemoView::Diff(templ);
    if (auto* t = dynamic_cast<TfrxDMPMemoView*>(templ)) s += FontStyleAttr(FFontStyle, t->FFontStyle);
    return s;
}

// --- line ----------------------------------------------------------------------------------

std::string TfrxDMPLineView::GetDescription() const { return frxGetResources()->Get("obDMPLine"); }

void TfrxDMPLineView::SetFontStyle(TfrxDMPFontStyles value) {
    FFontStyle = value;
    TfrxCustomLineView::SetParentFont(false);
}

void TfrxDMPLineView::SetParentFont(bool value) {
    TfrxCustomLineView::SetParentFont(value);
    if (value)
        if (TfrxDMPPage* page = DMPPageOf(this)) FFontStyle = page->GetFontStyle();
}

void TfrxDMPLineView::SetLeft(double value) {
    TfrxCustomLineView::SetLeft(std::trunc(value / frxDMPCellWidth) * frxDMPCellWidth + frxDMPCellWidth / 2);
}
void TfrxDMPLineView::SetTop(double value) {
    TfrxCustomLineView::SetTop(std::trunc(value / frxDMPCellHeight) * frxDMPCellHeight + frxDMPCellHeight / 2);
}

std::string TfrxDMPLineView::Diff(TfrxComponent* templ) {
    std::string s = TfrxCustomLineView::Diff(templ);
    if (auto* t = dynamic_cast<TfrxDMPLineView*>(templ)) s += FontStyleAttr(FFontStyle, t->FFontStyle);
    return s;
}

// --- page ----------------------------------------------------------------------------------

TfrxDMPPage::TfrxDMPPage(TComponent* owner) : TfrxReportPage(owner) { ResetFont(); }

void TfrxDMPPage::ResetFont() { ResetGridFont(GetFont(), FFontStyle); }

void TfrxDMPPage::SetFontStyle(TfrxDMPFontStyles value) {
    FFontStyle = value;
    ResetFont();
    TList* all = GetAllObjects();
    for (int i = 0; i < all->Count(); ++i) {
        auto* c = static_cast<TfrxComponent*>(all->Items(i));
        if (c->GetParentFont()) c->SetParentFont(true);
    }
}

void TfrxDMPPage::SnapPaper(bool cut) {
    auto snap = [cut](double mm, double cell) {
        const double cells = mm * frxPixelsPerMM / cell;
        return (cut ? std::trunc(cells) : RoundHalfEven(cells)) * cell / frxPixelsPerMM;
    };
    StorePaperDimensions(snap(GetPaperWidth(), frxDMPCellWidth), snap(GetPaperHeight(), frxDMPCellHeight));
}

void TfrxDMPPage::SetDefaults() {
    TfrxReportPage::SetDefaults();
    LeftMargin = RightMargin = frxDMPCellWidth / frxPixelsPerMM;
    TopMargin = BottomMargin = frxDMPCellHeight / frxPixelsPerMM;
    SnapPaper(true);
}

void TfrxDMPPage::SetPaperWidth(double value) {
    TfrxReportPage::SetPaperWidth(value);
    SnapPaper(false);
}
void TfrxDMPPage::SetPaperHeight(double value) {
    TfrxReportPage::SetPaperHeight(value);
    SnapPaper(false);
}
void TfrxDMPPage::SetPaperSize(int value) {
    TfrxReportPage::SetPaperSize(value);
    if (value < 256) SnapPaper(false);
}

void frx::RegisterDMPClasses() {
    RegisterClass(TfrxDMPPage::StaticClass());
    frxObjects()->RegisterObject(TfrxDMPMemoView::StaticClass(), nullptr, "", "", 0, 2);
    frxObjects()->RegisterObject(TfrxDMPLineView::StaticClass(), nullptr, "", "", 0, 5);
}
