#include "report/core/frxReportPage.h"

#include <utility>

#include "platform/classes/StringList.h"
#include "platform/gui/Bitmaps.h"
#include "platform/rtl/SysUtils.h"
#include "report/core/frxBands.h"
#include "report/core/frxDataSet.h"
#include "report/core/frxObjects.h"
#include "report/core/frxOptions.h"
#include "report/core/frxRes.h"

KAROMIL_IMPLEMENT_PUBLISHED_CLASS(TfrxReportPage, TfrxPage)

KAROMIL_IMPLEMENT_PUBLISHED_CLASS(TfrxSubreport, TfrxView)

// --- TfrxReportPage ------------------------------------------------------------------------

TfrxReportPage::TfrxReportPage(TComponent* owner)
    : TfrxPage(owner), FColumnPositions(std::make_unique<TStringList>()), FHGuides(std::make_unique<TStringList>()),
      FVGuides(std::make_unique<TStringList>()), FBackground(std::make_unique<TfrxPictureView>(nullptr)),
      FHBands(std::make_unique<TList>()), FVBands(std::make_unique<TList>()) {
    FBackground->Color = clTransparent;
    FBackground->KeepAspectRatio = false;
    FOrientation = poPortrait;
    SetPaperSize(9);
    NamePrefix = "Page";
}

TfrxReportPage::~TfrxReportPage() {
    if (FDataSet) FDataSet->RemoveFreeNotification(this);
    // The children go while this is still a whole page: a subreport among them that prints
    // this very page unlinks itself from it.
    TfrxComponent::Clear();
}

std::string TfrxReportPage::GetDescription() const { return frxGetResources()->Get("obRepPage"); }

void TfrxReportPage::UpdateDimensions() {
    SetWidth(double(Round(FPaperWidth * frxPixelsPerMM)));
    SetHeight(double(Round(FPaperHeight * frxPixelsPerMM)));
}

void TfrxReportPage::StorePaperDimensions(double width, double height) {
    FPaperWidth = width;
    FPaperHeight = height;
    UpdateDimensions();
}

void TfrxReportPage::SetPaperWidth(double value) {
    FPaperWidth = value;
    FPaperSize = 256;
    UpdateDimensions();
}

void TfrxReportPage::SetPaperHeight(double value) {
    FPaperHeight = value;
    FPaperSize = 256;
    UpdateDimensions();
}

void TfrxReportPage::SetPaperSize(int value) {
    FPaperSize = value;
    if (value >= 256) return;
    double w = FPaperWidth, h = FPaperHeight;
    frxGetPaperDimensions(value, w, h);
    if (FOrientation == poLandscape) std::swap(w, h);
    FPaperWidth = w;
    FPaperHeight = h;
    UpdateDimensions();
}

void TfrxReportPage::SetOrientation(TPrinterOrientation value) {
    if (value != FOrientation) {
        std::swap(FPaperWidth, FPaperHeight);
        const double l = LeftMargin, r = RightMargin, t = TopMargin, b = BottomMargin;
        if (value == poLandscape) {
            LeftMargin = t;
            RightMargin = b;
            TopMargin = r;
            BottomMargin = l;
        } else {
            LeftMargin = b;
            RightMargin = t;
            TopMargin = l;
            BottomMargin = r;
        }
        FOrientation = value;
        UpdateDimensions();
    }
    FOrientation = value;
}

void TfrxReportPage::SetDefaults() {
    LeftMargin = RightMargin = TopMargin = BottomMargin = 10;
    TfrxCustomPrinter* printer = frxGetPrinters()->GetCurrentPrinter();
    if (!printer->Initialized()) printer->Init();
    FPaperSize = printer->DefPaper();
    FPaperWidth = printer->DefPaperWidth();
    FPaperHeight = printer->DefPaperHeight();
    FOrientation = printer->DefOrientation();
    UpdateDimensions();
}

void TfrxReportPage::SetColumns(int32_t value) {
    FColumns = value;
    FColumnPositions->Clear();
    if (value <= 0) return;
    ColumnWidth = (FPaperWidth - LeftMargin - RightMargin) / value;
    for (int i = 0; i < value; ++i) FColumnPositions->Add(FloatToStr(i * ColumnWidth));
}

void TfrxReportPage::SetColumnPositions(TStrings* value) { FColumnPositions->Assign(value); }
void TfrxReportPage::SetHGuides(TStrings* value) { FHGuides->Assign(value); }
void TfrxReportPage::SetVGuides(TStrings* value) { FVGuides->Assign(value); }
void TfrxReportPage::ClearGuides() {
    FHGuides->Clear();
    FVGuides->Clear();
}

TPicture* TfrxReportPage::GetBackPicture() const { return FBackground->GetPicture(); }
void TfrxReportPage::SetBackPicture(TPicture* value) { FBackground->SetPicture(value); }
TColor TfrxReportPage::GetColor() const { return FBackground->Color; }
void TfrxReportPage::SetColor(TColor value) { FBackground->Color = value; }
TfrxFrame* TfrxReportPage::GetFrame() const { return FBackground->GetFrame(); }
void TfrxReportPage::SetFrame(TfrxFrame* value) { FBackground->SetFrame(value); }

void TfrxReportPage::DrawBackground(TCanvas* canvas, double scaleX, double scaleY, double offsetX, double offsetY) {
    FBackground->SetWidth((FPaperWidth - LeftMargin - RightMargin) * frxPixelsPerMM);
    FBackground->SetHeight((FPaperHeight - TopMargin - BottomMargin) * frxPixelsPerMM);
    FBackground->Draw(canvas, scaleX, scaleY, offsetX + LeftMargin * frxPixelsPerMM * scaleX,
        offsetY + TopMargin * frxPixelsPerMM * scaleY);
}

void TfrxReportPage::SetDataSet(TfrxDataSet* value) {
    ReplaceReference(this, FDataSet, value);
    FDataSetName = value ? value->GetUserName() : std::string();
}

std::string TfrxReportPage::GetDataSetName() const { return FDataSet ? FDataSet->GetUserName() : FDataSetName; }

void TfrxReportPage::SetDataSetName(const std::string& value) {
    FDataSetName = value;
    ReplaceReference(this, FDataSet, frxDataSetByName(FDataSet, value, this));
}

void TfrxReportPage::Notification(TComponent* component, TOperation operation) {
    TfrxPage::Notification(component, operation);
    if (operation == opRemove && component == FDataSet) FDataSet = nullptr;
}

TfrxComponent* TfrxReportPage::FindBand(TClass bandClass) const {
    for (int i = 0; i < ChildCount(); ++i)
        if (Child(i)->ClassType()->InheritsFrom(bandClass)) return Child(i);
    return nullptr;
}

void TfrxReportPage::AlignChildren() {
    SetWidth((FPaperWidth - LeftMargin - RightMargin) * frxPixelsPerMM);
    TfrxPage::AlignChildren();
    for (int i = 0; i < ChildCount(); ++i) {
        auto* band = dynamic_cast<TfrxBand*>(Child(i));
        if (!band) continue;
        if (band->Vertical)
            band->SetHeight((FPaperHeight - TopMargin - BottomMargin) * frxPixelsPerMM - band->GetTop());
        else band->SetWidth(GetWidth() - band->GetLeft());
        band->AlignChildren();
    }
    UpdateDimensions();
}

// --- TfrxSubreport -------------------------------------------------------------------------

TfrxSubreport::TfrxSubreport(TComponent* owner) : TfrxView(owner) {
    GetFrame()->Typ = frxAllSides;
    GetFont()->SetName("Tahoma");
    GetFont()->SetSize(8);
    Color = clSilver;
}

TfrxSubreport::~TfrxSubreport() { SetPage(nullptr); }

std::string TfrxSubreport::GetDescription() const { return frxGetResources()->Get("obSubRep"); }

void TfrxSubreport::SetPage(TfrxReportPage* value) {
    if (FPage == value) return;
    if (FPage) {
        if (FPage->Subreport == this) FPage->Subreport = nullptr;
        FPage->RemoveFreeNotification(this);
    }
    FPage = value;
    if (FPage) {
        FPage->Subreport = this;
        FPage->FreeNotification(this);
    }
}

void TfrxSubreport::Notification(TComponent* component, TOperation operation) {
    TfrxView::Notification(component, operation);
    if (operation == opRemove && component == FPage) FPage = nullptr;
}

void TfrxSubreport::Draw(TCanvas* canvas, double scaleX, double scaleY, double offsetX, double offsetY) {
    TfrxView::Draw(canvas, scaleX, scaleY, offsetX, offsetY);
    if (!canvas) return;
    canvas->Font()->Assign(GetFont());
    canvas->Brush()->SetStyle(bsClear);
    canvas->TextOut(DrawLeft + 2, DrawTop + 2, GetName());
    canvas->Brush()->SetStyle(bsSolid);
}
