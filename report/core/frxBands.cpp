#include "report/core/frxBands.h"

#include <cmath>

#include "report/core/frxDataSet.h"
#include "report/core/frxOptions.h"
#include "report/core/frxRes.h"

KAROMIL_IMPLEMENT_PUBLISHED_CLASS(TfrxBand, TfrxReportComponent)

KAROMIL_IMPLEMENT_PUBLISHED_CLASS(TfrxReportTitle, TfrxBand)
KAROMIL_IMPLEMENT_PUBLISHED_CLASS(TfrxReportSummary, TfrxBand)
KAROMIL_IMPLEMENT_PUBLISHED_CLASS(TfrxPageHeader, TfrxBand)
KAROMIL_IMPLEMENT_PUBLISHED_CLASS(TfrxPageFooter, TfrxBand)
KAROMIL_IMPLEMENT_PUBLISHED_CLASS(TfrxHeader, TfrxBand)
KAROMIL_IMPLEMENT_PUBLISHED_CLASS(TfrxFooter, TfrxBand)
KAROMIL_IMPLEMENT_PUBLISHED_CLASS(TfrxDataBand, TfrxBand)
KAROMIL_IMPLEMENT_CLASS(TfrxMasterData, TfrxDataBand)
KAROMIL_IMPLEMENT_CLASS(TfrxDetailData, TfrxDataBand)
KAROMIL_IMPLEMENT_CLASS(TfrxSubdetailData, TfrxDataBand)
KAROMIL_IMPLEMENT_CLASS(TfrxDataBand4, TfrxDataBand)
KAROMIL_IMPLEMENT_CLASS(TfrxDataBand5, TfrxDataBand)
KAROMIL_IMPLEMENT_CLASS(TfrxDataBand6, TfrxDataBand)
KAROMIL_IMPLEMENT_PUBLISHED_CLASS(TfrxGroupHeader, TfrxBand)
KAROMIL_IMPLEMENT_PUBLISHED_CLASS(TfrxGroupFooter, TfrxBand)
KAROMIL_IMPLEMENT_PUBLISHED_CLASS(TfrxChild, TfrxBand)
KAROMIL_IMPLEMENT_PUBLISHED_CLASS(TfrxColumnHeader, TfrxBand)
KAROMIL_IMPLEMENT_CLASS(TfrxColumnFooter, TfrxBand)
KAROMIL_IMPLEMENT_CLASS(TfrxOverlay, TfrxBand)
KAROMIL_IMPLEMENT_CLASS(TfrxNullBand, TfrxBand)

namespace {
const TClass* BandTable() {
    static const TClass table[] = {TfrxReportTitle::StaticClass(), TfrxReportSummary::StaticClass(),
        TfrxPageHeader::StaticClass(), TfrxPageFooter::StaticClass(), TfrxHeader::StaticClass(),
        TfrxFooter::StaticClass(), TfrxMasterData::StaticClass(), TfrxDetailData::StaticClass(),
        TfrxSubdetailData::StaticClass(), TfrxDataBand4::StaticClass(), TfrxDataBand5::StaticClass(),
        TfrxDataBand6::StaticClass(), TfrxGroupHeader::StaticClass(), TfrxGroupFooter::StaticClass(),
        TfrxChild::StaticClass(), TfrxColumnHeader::StaticClass(), TfrxColumnFooter::StaticClass(),
        TfrxOverlay::StaticClass()};
    return table;
}
constexpr int kBandTypeCount = 18;

// Rounds half to even, as the character grid of dot-matrix pages expects.
double Snap(double value, double cell) { return std::nearbyint(value / cell) * cell; }
}  // namespace

int frxBandTypeCount() { return kBandTypeCount; }
TClass frxBandType(int index) { return index >= 0 && index < kBandTypeCount ? BandTable()[index] : nullptr; }

// --- TfrxBand --------------------------------------------------------------------------------

TfrxBand::TfrxBand(TComponent* owner) : TfrxReportComponent(owner), FSubBands(std::make_unique<TList>()) {}

TfrxBand::~TfrxBand() {
    if (FChild) FChild->RemoveFreeNotification(this);
}

void TfrxBand::SetChild(TfrxChild* value) { ReplaceReference(this, FChild, value); }

void TfrxBand::Notification(TComponent* component, TOperation operation) {
    TfrxReportComponent::Notification(component, operation);
    if (operation == opRemove && component == static_cast<TComponent*>(FChild)) FChild = nullptr;
}

std::string TfrxBand::GetBandName() const {
    std::string s = ClassName();
    if (size_t p = s.find("Tfrx"); p != std::string::npos) s.erase(p, 4);
    if (size_t p = s.find("Band"); p != std::string::npos) s.erase(p, 4);
    return s;
}

int TfrxBand::GetBandTypeIndex() const {
    int result = 0;
    for (int i = 0; i < kBandTypeCount; ++i)
        if (ClassType()->InheritsFrom(BandTable()[i])) result = i;
    return result;
}

std::string TfrxBand::GetDescription() const { return frxGetResources()->Get("obBand"); }

bool TfrxBand::OnDotMatrixPage() const {
    TfrxComponent* page = GetPage();
    return page && page->IsDotMatrixPage();
}

void TfrxBand::SetLeft(double value) { TfrxReportComponent::SetLeft(OnDotMatrixPage() ? Snap(value, 9.6) : value); }
void TfrxBand::SetTop(double value) { TfrxReportComponent::SetTop(OnDotMatrixPage() ? Snap(value, 17) : value); }
void TfrxBand::SetHeight(double value) { TfrxReportComponent::SetHeight(OnDotMatrixPage() ? Snap(value, 17) : value); }

// --- TfrxDataBand ----------------------------------------------------------------------------

TfrxDataBand::TfrxDataBand(TComponent* owner)
    : TfrxBand(owner), FVirtualDataSet(std::make_unique<TfrxUserDataSet>(nullptr)) {
    FVirtualDataSet->RangeEnd = reCount;
}

TfrxDataBand::~TfrxDataBand() {
    if (FDataSet) FDataSet->RemoveFreeNotification(this);
}

std::string TfrxDataBand::GetDescription() const { return frxGetResources()->Get("obDataBand"); }

void TfrxDataBand::SetDataSet(TfrxDataSet* value) {
    ReplaceReference(this, FDataSet, value);
    FDataSetName = value ? value->GetUserName() : std::string();
}

std::string TfrxDataBand::GetDataSetName() const { return FDataSet ? FDataSet->GetUserName() : FDataSetName; }

void TfrxDataBand::SetDataSetName(const std::string& value) {
    FDataSetName = value;
    ReplaceReference(this, FDataSet, frxDataSetByName(FDataSet, value, GetReportRoot()));
}

void TfrxDataBand::Notification(TComponent* component, TOperation operation) {
    TfrxBand::Notification(component, operation);
    if (operation == opRemove && component == static_cast<TComponent*>(FDataSet)) FDataSet = nullptr;
}

void TfrxDataBand::SetRowCount(int32_t value) {
    FRowCount = value;
    FVirtualDataSet->RangeEndCount = value;
}

void TfrxDataBand::SetCurrentColumn(int32_t value) {
    if (value > Columns) value = 1;
    CurrentColumn = value;
    if (CurrentColumn == 1) ColumnsBottom = 0;
    SetLeft((CurrentColumn - 1) * (ColumnWidth + ColumnGap));
}
