#pragma once
// Bands: the horizontal (or vertical) strips of a report page that the engine prints as units:
// once for the title, once per data row for a data band, at every page top for a page header.
// A band draws nothing itself; its objects draw.
//
// The band classes are numbered by a fixed table (GetBandTypeIndex) which the engine uses to
// order and connect them; TfrxNullBand is the engine's internal collecting band.

#include <memory>
#include <string>

#include "report/core/frxClass.h"

class TfrxChild;
class TfrxDataSet;
class TfrxUserDataSet;

class TfrxBand : public TfrxReportComponent {
    KAROMIL_CLASS(TfrxBand, TfrxReportComponent)
    KAROMIL_PUBLISHED({
        KAROMIL_PROP(Font).Stored(&Self::IsFontStored);
        KAROMIL_PROP(Height);
        KAROMIL_PROP(Left);
        KAROMIL_PROP(ParentFont).Default(1);
        KAROMIL_PROP(Restrictions);
        KAROMIL_PROP(Top);
        KAROMIL_PROP_MEMBER(Vertical).Default(0);
        KAROMIL_PROP(Visible).Default(1);
        KAROMIL_PROP(Width);
        KAROMIL_PROP_MEMBER(OnAfterCalcHeight, TypeInfoFrxNotifyEvent());
        KAROMIL_PROP_MEMBER(OnAfterPrint, TypeInfoFrxNotifyEvent());
        KAROMIL_PROP_MEMBER(OnBeforePrint, TypeInfoFrxNotifyEvent());
    })
public:
    explicit TfrxBand(TComponent* owner);
    ~TfrxBand() override;

    // --- published by TfrxBand
    bool Vertical = false;
    std::string OnAfterCalcHeight;  // script procedure names, besides OnBeforePrint/OnAfterPrint

    // --- declared here, published only by the band classes that use them
    bool AllowSplit = false;
    TfrxChild* GetChild() const noexcept { return FChild; }
    void SetChild(TfrxChild* value);  // cleared when the child goes
    bool KeepChild = false;
    std::string OutlineText;
    bool PrintChildIfInvisible = false;
    bool StartNewPage = false;
    bool Stretched = false;

    // --- run-time state of the engine
    TList* SubBands() const noexcept { return FSubBands.get(); }  // the detail bands
    TfrxBand* Header = nullptr;
    TfrxBand* Footer = nullptr;
    TfrxBand* Group = nullptr;  // the first group header of its chain
    int32_t LineN = 0;  // line counter of its rows
    int32_t LineThrough = 0;  // running line counter
    int32_t OriginalObjectsCount = -1;  // objects beyond it were added during output
    bool HasVBands = false;  // holds objects of vertical bands
    bool Overflow = false;  // shown again at the top of a new page or column
    bool GetOverflow() const noexcept { return Overflow; }

    // The class name without its first "Tfrx" and first "Band": MasterData, Data4.
    std::string GetBandName() const;
    // The index of the band's class in the fixed band table; the last matching entry wins,
    // 0 when none matches.
    int GetBandTypeIndex() const;

    // On a dot-matrix page Left snaps to 9.6 and Top and Height to 17 pixels.
    void SetLeft(double value) override;
    void SetTop(double value) override;
    void SetHeight(double value) override;

    void Draw(TCanvas*, double, double, double, double) override {}
    std::string GetDescription() const override;
    bool IsBand() const noexcept override { return true; }

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    bool OnDotMatrixPage() const;
    TfrxChild* FChild = nullptr;
    std::unique_ptr<TList> FSubBands;
};

// The fixed band table, in the engine's order (18 entries, 0 TfrxReportTitle ... 17 TfrxOverlay).
int frxBandTypeCount();
TClass frxBandType(int index);

class TfrxReportTitle : public TfrxBand {
    KAROMIL_CLASS(TfrxReportTitle, TfrxBand)
    KAROMIL_PUBLISHED({
        KAROMIL_PROP(Child);
        KAROMIL_PROP_MEMBER(KeepChild).Default(0);
        KAROMIL_PROP_MEMBER(PrintChildIfInvisible).Default(0);
        KAROMIL_PROP_MEMBER(StartNewPage).Default(0);
        KAROMIL_PROP_MEMBER(Stretched).Default(0);
    })
public:
    using TfrxBand::TfrxBand;
};
class TfrxReportSummary : public TfrxBand {
    KAROMIL_CLASS(TfrxReportSummary, TfrxBand)
    KAROMIL_PUBLISHED({
        KAROMIL_PROP_MEMBER(AllowSplit).Default(0);
        KAROMIL_PROP(Child);
        KAROMIL_PROP_MEMBER(KeepChild).Default(0);
        KAROMIL_PROP_MEMBER(PrintChildIfInvisible).Default(0);
        KAROMIL_PROP_MEMBER(StartNewPage).Default(0);
        KAROMIL_PROP_MEMBER(Stretched).Default(0);
    })
public:
    using TfrxBand::TfrxBand;
};
class TfrxPageHeader : public TfrxBand {
    KAROMIL_CLASS(TfrxPageHeader, TfrxBand)
    KAROMIL_PUBLISHED({
        KAROMIL_PROP(Child);
        KAROMIL_PROP_MEMBER(PrintChildIfInvisible).Default(0);
        KAROMIL_PROP_MEMBER(PrintOnFirstPage).Default(1);
        KAROMIL_PROP_MEMBER(Stretched).Default(0);
    })
public:
    using TfrxBand::TfrxBand;
    bool PrintOnFirstPage = true;
};
class TfrxPageFooter : public TfrxBand {
    KAROMIL_CLASS(TfrxPageFooter, TfrxBand)
    KAROMIL_PUBLISHED({
        KAROMIL_PROP_MEMBER(PrintOnFirstPage).Default(1);
        KAROMIL_PROP_MEMBER(PrintOnLastPage).Default(1);
    })
public:
    using TfrxBand::TfrxBand;
    bool PrintOnFirstPage = true;
    bool PrintOnLastPage = true;
};
class TfrxHeader : public TfrxBand {
    KAROMIL_CLASS(TfrxHeader, TfrxBand)
    KAROMIL_PUBLISHED({
        KAROMIL_PROP_MEMBER(AllowSplit).Default(0);
        KAROMIL_PROP(Child);
        KAROMIL_PROP_MEMBER(KeepChild).Default(0);
        KAROMIL_PROP_MEMBER(PrintChildIfInvisible).Default(0);
        KAROMIL_PROP_MEMBER(ReprintOnNewPage).Default(0);
        KAROMIL_PROP_MEMBER(StartNewPage).Default(0);
        KAROMIL_PROP_MEMBER(Stretched).Default(0);
    })
public:
    using TfrxBand::TfrxBand;
    bool ReprintOnNewPage = false;
};
class TfrxFooter : public TfrxBand {
    KAROMIL_CLASS(TfrxFooter, TfrxBand)
    KAROMIL_PUBLISHED({
        KAROMIL_PROP_MEMBER(AllowSplit).Default(0);
        KAROMIL_PROP(Child);
        KAROMIL_PROP_MEMBER(KeepChild).Default(0);
        KAROMIL_PROP_MEMBER(PrintChildIfInvisible).Default(0);
        KAROMIL_PROP_MEMBER(Stretched).Default(0);
    })
public:
    using TfrxBand::TfrxBand;
};

class TfrxDataBand : public TfrxBand {
    KAROMIL_CLASS(TfrxDataBand, TfrxBand)
    KAROMIL_PUBLISHED({
        KAROMIL_PROP_MEMBER(AllowSplit).Default(0);
        KAROMIL_PROP(Child);
        KAROMIL_PROP_MEMBER(Columns).Default(0);
        KAROMIL_PROP_MEMBER(ColumnWidth);
        KAROMIL_PROP_MEMBER(ColumnGap);
        KAROMIL_PROP(DataSet);
        KAROMIL_PROP(DataSetName);
        KAROMIL_PROP_MEMBER(FooterAfterEach).Default(0);
        KAROMIL_PROP_MEMBER(KeepChild).Default(0);
        KAROMIL_PROP_MEMBER(KeepFooter).Default(0);
        KAROMIL_PROP_MEMBER(KeepHeader).Default(0);
        KAROMIL_PROP_MEMBER(KeepTogether).Default(0);
        KAROMIL_PROP_MEMBER(OutlineText);
        KAROMIL_PROP_MEMBER(PrintChildIfInvisible).Default(0);
        KAROMIL_PROP_MEMBER(PrintIfDetailEmpty).Default(0);
        KAROMIL_PROP(RowCount).NoDefault();
        KAROMIL_PROP_MEMBER(StartNewPage).Default(0);
        KAROMIL_PROP_MEMBER(Stretched).Default(0);
        KAROMIL_PROP_MEMBER(OnMasterDetail, TypeInfoFrxNotifyEvent());
    })
public:
    explicit TfrxDataBand(TComponent* owner);
    ~TfrxDataBand() override;

    // --- published, in stored order (with the inherited flags)
    int32_t Columns = 0;
    double ColumnWidth = 0;
    double ColumnGap = 0;
    TfrxDataSet* GetDataSet() const noexcept { return FDataSet; }
    void SetDataSet(TfrxDataSet* value);  // also takes its user name
    std::string GetDataSetName() const;  // the dataset's user name, else the stored one
    void SetDataSetName(const std::string& value);  // looks the dataset up in the report
    bool FooterAfterEach = false;
    bool KeepFooter = false;
    bool KeepHeader = false;
    bool KeepTogether = false;
    bool PrintIfDetailEmpty = false;
    int32_t GetRowCount() const noexcept { return FRowCount; }
    void SetRowCount(int32_t value);  // the internal dataset's RangeEndCount follows
    std::string OnMasterDetail;

    // --- run-time state
    int32_t CurrentColumn = 1;
    double ColumnsBottom = 0;
    // The rows printed when the band has no dataset (RangeEnd reCount).
    TfrxUserDataSet* VirtualDataSet() const noexcept { return FVirtualDataSet.get(); }
    // A value above Columns becomes 1; column 1 resets ColumnsBottom; Left follows the column.
    void SetCurrentColumn(int32_t value);

    std::string GetDescription() const override;

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    TfrxDataSet* FDataSet = nullptr;
    std::string FDataSetName;
    int32_t FRowCount = 0;
    std::unique_ptr<TfrxUserDataSet> FVirtualDataSet;
};

class TfrxMasterData : public TfrxDataBand {
    KAROMIL_CLASS(TfrxMasterData, TfrxDataBand)
public:
    using TfrxDataBand::TfrxDataBand;
};
class TfrxDetailData : public TfrxDataBand {
    KAROMIL_CLASS(TfrxDetailData, TfrxDataBand)
public:
    using TfrxDataBand::TfrxDataBand;
};
class TfrxSubdetailData : public TfrxDataBand {
    KAROMIL_CLASS(TfrxSubdetailData, TfrxDataBand)
public:
    using TfrxDataBand::TfrxDataBand;
};
class TfrxDataBand4 : public TfrxDataBand {
    KAROMIL_CLASS(TfrxDataBand4, TfrxDataBand)
public:
    using TfrxDataBand::TfrxDataBand;
};
class TfrxDataBand5 : public TfrxDataBand {
    KAROMIL_CLASS(TfrxDataBand5, TfrxDataBand)
public:
    using TfrxDataBand::TfrxDataBand;
};
class TfrxDataBand6 : public TfrxDataBand {
    KAROMIL_CLASS(TfrxDataBand6, TfrxDataBand)
public:
    using TfrxDataBand::TfrxDataBand;
};

class TfrxGroupHeader : public TfrxBand {
    KAROMIL_CLASS(TfrxGroupHeader, TfrxBand)
    KAROMIL_PUBLISHED({
        KAROMIL_PROP_MEMBER(AllowSplit).Default(0);
        KAROMIL_PROP(Child);
        KAROMIL_PROP_MEMBER(Condition);
        KAROMIL_PROP_MEMBER(KeepChild).Default(0);
        KAROMIL_PROP_MEMBER(KeepTogether).Default(0);
        KAROMIL_PROP_MEMBER(ReprintOnNewPage).Default(0);
        KAROMIL_PROP_MEMBER(OutlineText);
        KAROMIL_PROP_MEMBER(PrintChildIfInvisible).Default(0);
        KAROMIL_PROP_MEMBER(StartNewPage).Default(0);
        KAROMIL_PROP_MEMBER(Stretched).Default(0);
    })
public:
    using TfrxBand::TfrxBand;
    std::string Condition;  // an expression; a new group starts when its value changes
    bool KeepTogether = false;
    bool ReprintOnNewPage = false;
    Variant ConditionValue = Variant::Null();  // for the current group
};
class TfrxGroupFooter : public TfrxBand {
    KAROMIL_CLASS(TfrxGroupFooter, TfrxBand)
    KAROMIL_PUBLISHED({
        KAROMIL_PROP_MEMBER(AllowSplit).Default(0);
        KAROMIL_PROP(Child);
        KAROMIL_PROP_MEMBER(KeepChild).Default(0);
        KAROMIL_PROP_MEMBER(PrintChildIfInvisible).Default(0);
        KAROMIL_PROP_MEMBER(Stretched).Default(0);
    })
public:
    using TfrxBand::TfrxBand;
};
class TfrxChild : public TfrxBand {
    KAROMIL_CLASS(TfrxChild, TfrxBand)
    KAROMIL_PUBLISHED({
        KAROMIL_PROP_MEMBER(AllowSplit).Default(0);
        KAROMIL_PROP(Child);
        KAROMIL_PROP_MEMBER(KeepChild).Default(0);
        KAROMIL_PROP_MEMBER(PrintChildIfInvisible).Default(0);
        KAROMIL_PROP_MEMBER(StartNewPage).Default(0);
        KAROMIL_PROP_MEMBER(Stretched).Default(0);
    })
public:
    using TfrxBand::TfrxBand;
};
class TfrxColumnHeader : public TfrxBand {
    KAROMIL_CLASS(TfrxColumnHeader, TfrxBand)
    KAROMIL_PUBLISHED({ KAROMIL_PROP_MEMBER(Stretched).Default(0); })
public:
    using TfrxBand::TfrxBand;
};
class TfrxColumnFooter : public TfrxBand {
    KAROMIL_CLASS(TfrxColumnFooter, TfrxBand)
public:
    using TfrxBand::TfrxBand;
};
class TfrxOverlay : public TfrxBand {
    KAROMIL_CLASS(TfrxOverlay, TfrxBand)
public:
    using TfrxBand::TfrxBand;
};
// The engine's internal band that collects output (never stored in a template).
class TfrxNullBand : public TfrxBand {
    KAROMIL_CLASS(TfrxNullBand, TfrxBand)
public:
    using TfrxBand::TfrxBand;
};
