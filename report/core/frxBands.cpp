#include "report/core/frxBands.h"

#include <cmath>

#include "report/core/frxDataSet.h"
#include "report/core/frxOptions.h"
#include "report/core/frxRes.h"

#define FRX_BAND_COMMON_PROPS                                                        \
    p.Prop("Font", &Self::GetFont, &Self::SetFont).Stored(&Self::IsFontStored);      \
    KAROMIL_PROP(Height);                                                            \
    KAROMIL_PROP(Left);                                                              \
    KAROMIL_PROP(ParentFont).Default(1);                                             \
    KAROMIL_PROP(Restrictions);                                                      \
    KAROMIL_PROP(Top);                                                               \
    p.Prop("Vertical", &Self::Vertical).Default(0);                                  \
    KAROMIL_PROP(Visible).Default(1);                                                \
    KAROMIL_PROP(Width);                                                             \
    p.Prop("OnAfterCalcHeight", &Self::OnAfterCalcHeight, TypeInfoFrxNotifyEvent()); \
    p.Prop("OnAfterPrint", &Self::OnAfterPrint, TypeInfoFrxNotifyEvent());           \
    p.Prop("OnBeforePrint", &Self::OnBeforePrint, TypeInfoFrxNotifyEvent());

namespace {
// The switches most bands publish, in their stored order (a band whose own properties fall
// between them publishes those between two calls).
constexpr unsigned kAllowSplit = 1, kChildSwitches = 2, kStartNewPage = 4, kStretched = 8;

template <class T>
void PublishSwitches(TPropertyPublisher<T>& p, unsigned which) {
    if (which & kAllowSplit) p.Prop("AllowSplit", &TfrxBand::AllowSplit).Default(0);
    if (which & kChildSwitches) {  // the child band and how it follows this one
        p.Prop("Child", &TfrxBand::GetChild, &TfrxBand::SetChild);
        p.Prop("KeepChild", &TfrxBand::KeepChild).Default(0);
        p.Prop("PrintChildIfInvisible", &TfrxBand::PrintChildIfInvisible).Default(0);
    }
    if (which & kStartNewPage) p.Prop("StartNewPage", &TfrxBand::StartNewPage).Default(0);
    if (which & kStretched) p.Prop("Stretched", &TfrxBand::Stretched).Default(0);
}
}  // namespace

KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TfrxBand, TfrxReportComponent, {FRX_BAND_COMMON_PROPS})

// Each band class adds what it uses, in alphabetical order.
KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(
    TfrxReportTitle, TfrxBand, { PublishSwitches(p, kChildSwitches | kStartNewPage | kStretched); })
KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(
    TfrxReportSummary, TfrxBand, { PublishSwitches(p, kAllowSplit | kChildSwitches | kStartNewPage | kStretched); })
KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TfrxPageHeader, TfrxBand, {
    KAROMIL_PROP(Child);
    p.Prop("PrintChildIfInvisible", &Self::PrintChildIfInvisible).Default(0);
    p.Prop("PrintOnFirstPage", &Self::PrintOnFirstPage).Default(1);
    p.Prop("Stretched", &Self::Stretched).Default(0);
})
KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TfrxPageFooter, TfrxBand, {
    p.Prop("PrintOnFirstPage", &Self::PrintOnFirstPage).Default(1);
    p.Prop("PrintOnLastPage", &Self::PrintOnLastPage).Default(1);
})
KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TfrxHeader, TfrxBand, {
    PublishSwitches(p, kAllowSplit | kChildSwitches);
    p.Prop("ReprintOnNewPage", &Self::ReprintOnNewPage).Default(0);
    PublishSwitches(p, kStartNewPage | kStretched);
})
KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(
    TfrxFooter, TfrxBand, { PublishSwitches(p, kAllowSplit | kChildSwitches | kStretched); })
KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TfrxDataBand, TfrxBand, {
    p.Prop("AllowSplit", &Self::AllowSplit).Default(0);
    KAROMIL_PROP(Child);
    p.Prop("Columns", &Self::Columns).Default(0);
    p.Prop("ColumnWidth", &Self::ColumnWidth);
    p.Prop("ColumnGap", &Self::ColumnGap);
    KAROMIL_PROP(DataSet);
    KAROMIL_PROP(DataSetName);
    p.Prop("FooterAfterEach", &Self::FooterAfterEach).Default(0);
    p.Prop("KeepChild", &Self::KeepChild).Default(0);
    p.Prop("KeepFooter", &Self::KeepFooter).Default(0);
    p.Prop("KeepHeader", &Self::KeepHeader).Default(0);
    p.Prop("KeepTogether", &Self::KeepTogether).Default(0);
    p.Prop("OutlineText", &Self::OutlineText);
    p.Prop("PrintChildIfInvisible", &Self::PrintChildIfInvisible).Default(0);
    p.Prop("PrintIfDetailEmpty", &Self::PrintIfDetailEmpty).Default(0);
    KAROMIL_PROP(RowCount).NoDefault();
    p.Prop("StartNewPage", &Self::StartNewPage).Default(0);
    p.Prop("Stretched", &Self::Stretched).Default(0);
    p.Prop("OnMasterDetail", &Self::OnMasterDetail, TypeInfoFrxNotifyEvent());
})
KAROMIL_IMPLEMENT_CLASS(TfrxMasterData, TfrxDataBand)
KAROMIL_IMPLEMENT_CLASS(TfrxDetailData, TfrxDataBand)
KAROMIL_IMPLEMENT_CLASS(TfrxSubdetailData, TfrxDataBand)
KAROMIL_IMPLEMENT_CLASS(TfrxDataBand4, TfrxDataBand)
KAROMIL_IMPLEMENT_CLASS(TfrxDataBand5, TfrxDataBand)
KAROMIL_IMPLEMENT_CLASS(TfrxDataBand6, TfrxDataBand)
KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TfrxGroupHeader, TfrxBand, {
    p.Prop("AllowSplit", &Self::AllowSplit).Default(0);
    KAROMIL_PROP(Child);
    p.Prop("Condition", &Self::Condition);
    p.Prop("KeepChild", &Self::KeepChild).Default(0);
    p.Prop("KeepTogether", &Self::KeepTogether).Default(0);
    p.Prop("ReprintOnNewPage", &Self::ReprintOnNewPage).Default(0);
    p.Prop("OutlineText", &Self::OutlineText);
    p.Prop("PrintChildIfInvisible", &Self::PrintChildIfInvisible).Default(0);
    p.Prop("StartNewPage", &Self::StartNewPage).Default(0);
    p.Prop("Stretched", &Self::Stretched).Default(0);
})
KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(
    TfrxGroupFooter, TfrxBand, { PublishSwitches(p, kAllowSplit | kChildSwitches | kStretched); })
KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(
    TfrxChild, TfrxBand, { PublishSwitches(p, kAllowSplit | kChildSwitches | kStartNewPage | kStretched); })
KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TfrxColumnHeader, TfrxBand, { p.Prop("Stretched", &Self::Stretched).Default(0); })
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
