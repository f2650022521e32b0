#pragma once
// TfrxReportPage: a page of the report that holds the bands and says what paper its prepared
// pages have: size (from the paper list or custom), orientation, margins, columns, printer
// bins, duplex and a background (colour, picture and frame around the printable area).
//
// Paper, margins and columns are millimetres; the page's own Width and Height are report
// pixels (3.77953 per mm) and follow the paper size.

#include <memory>
#include <string>

#include "platform/classes/TypInfo.h"
#include "report/core/frxPage.h"
#include "report/core/frxPrinter.h"
#include "report/core/frxView.h"

class TPicture;
class TStrings;
class TfrxDataSet;
class TfrxPictureView;
class TfrxSubreport;

enum TfrxDuplexMode { dmNone, dmVertical, dmHorizontal, dmSimplex };
KAROMIL_ENUM_TYPE(TfrxDuplexMode, "dmNone", "dmVertical", "dmHorizontal", "dmSimplex")

inline constexpr double frxPixelsPerMM = 3.77953;

class TfrxReportPage : public TfrxPage {
    KAROMIL_CLASS(TfrxReportPage, TfrxPage)
    KAROMIL_PUBLISHED({
        KAROMIL_PROP(Orientation).Default(poPortrait);
        KAROMIL_PROP(PaperWidth);
        KAROMIL_PROP(PaperHeight);
        // Sound: the paper code is always written. Left out as a default, a reloaded A4 page read
        // only the width and height, whose setters turn the code into custom (256); the stored
        // templates carry the code too.
        KAROMIL_PROP(PaperSize);
        KAROMIL_PROP_MEMBER(LeftMargin);
        KAROMIL_PROP_MEMBER(RightMargin);
        KAROMIL_PROP_MEMBER(TopMargin);
        KAROMIL_PROP_MEMBER(BottomMargin);
        KAROMIL_PROP_MEMBER(MirrorMargins).Default(0);
        KAROMIL_PROP(Columns).Default(0);
        KAROMIL_PROP_MEMBER(ColumnWidth);
        KAROMIL_PROP(ColumnPositions);
        KAROMIL_PROP_MEMBER(Bin).Default(7);
        KAROMIL_PROP_MEMBER(BinOtherPages).Default(7);
        KAROMIL_PROP(BackPicture);
        KAROMIL_PROP(Color, TypeInfoColor()).Default(clTransparent);
        KAROMIL_PROP(DataSet);
        KAROMIL_PROP(DataSetName);
        KAROMIL_PROP_MEMBER(Duplex).Default(dmNone);
        KAROMIL_PROP(Frame);
        KAROMIL_PROP_MEMBER(LargeDesignHeight).Default(0);
        KAROMIL_PROP_MEMBER(OutlineText);
        KAROMIL_PROP_MEMBER(PrintIfEmpty).Default(1);
        KAROMIL_PROP_MEMBER(PrintOnPreviousPage).Default(0);
        KAROMIL_PROP_MEMBER(TitleBeforeHeader).Default(1);
        KAROMIL_PROP(HGuides);
        KAROMIL_PROP(VGuides);
        KAROMIL_PROP_MEMBER(OnAfterPrint, TypeInfoFrxNotifyEvent());
        KAROMIL_PROP_MEMBER(OnBeforePrint, TypeInfoFrxNotifyEvent());
        KAROMIL_PROP_MEMBER(OnManualBuild, TypeInfoFrxNotifyEvent());
    })
public:
    explicit TfrxReportPage(TComponent* owner);
    ~TfrxReportPage() override;

    // --- paper (mm)
    TPrinterOrientation GetOrientation() const noexcept { return FOrientation; }
    // Turning exchanges width and height and rotates the margins.
    void SetOrientation(TPrinterOrientation value);
    double GetPaperWidth() const noexcept { return FPaperWidth; }
    double GetPaperHeight() const noexcept { return FPaperHeight; }
    virtual void SetPaperWidth(double value);  // the size becomes custom (256)
    virtual void SetPaperHeight(double value);
    int GetPaperSize() const noexcept { return FPaperSize; }
    // A code below 256 takes its size from the paper list, as oriented.
    virtual void SetPaperSize(int value);
    // Margins 10 mm; paper and orientation of the current printer.
    virtual void SetDefaults();
    // Width and Height in report pixels from the paper size.
    void UpdateDimensions();

    double LeftMargin = 0, RightMargin = 0, TopMargin = 0, BottomMargin = 0;
    bool MirrorMargins = false;

    // --- columns
    int32_t GetColumns() const noexcept { return FColumns; }
    void SetColumns(int32_t value);
    double ColumnWidth = 0;
    TStrings* GetColumnPositions() const noexcept { return FColumnPositions.get(); }
    void SetColumnPositions(TStrings* value);  // copies

    // --- printing and background
    int32_t Bin = 7, BinOtherPages = 7;
    TfrxDuplexMode Duplex = dmNone;
    TPicture* GetBackPicture() const;
    void SetBackPicture(TPicture* value);  // copies
    TColor GetColor() const;
    void SetColor(TColor value);
    TfrxFrame* GetFrame() const;
    void SetFrame(TfrxFrame* value);  // copies
    TfrxPictureView* BackgroundView() const noexcept { return FBackground.get(); }
    // Draws the background view over the printable area; called before the page's objects.
    void DrawBackground(TCanvas* canvas, double scaleX, double scaleY, double offsetX, double offsetY);

    // --- data and run
    TfrxDataSet* GetDataSet() const noexcept { return FDataSet; }
    void SetDataSet(TfrxDataSet* value);
    std::string GetDataSetName() const;
    void SetDataSetName(const std::string& value);
    bool LargeDesignHeight = false;
    std::string OutlineText;
    bool PrintIfEmpty = true;
    bool PrintOnPreviousPage = false;
    bool TitleBeforeHeader = true;
    std::string OnAfterPrint, OnBeforePrint, OnManualBuild;

    // --- designer guides
    TStrings* GetHGuides() const noexcept { return FHGuides.get(); }
    void SetHGuides(TStrings* value);
    TStrings* GetVGuides() const noexcept { return FVGuides.get(); }
    void SetVGuides(TStrings* value);
    void ClearGuides();

    // The subreport object whose page this is (set and cleared by that object).
    TfrxSubreport* Subreport = nullptr;
    bool IsSubreportPage() const noexcept { return Subreport != nullptr; }
    // The engine's lists of master bands.
    TList* HorizontalBands() const noexcept { return FHBands.get(); }
    TList* VerticalBands() const noexcept { return FVBands.get(); }

    // The first child of that class (or a descendant); nullptr when none.
    TfrxComponent* FindBand(TClass bandClass) const;
    void AlignChildren() override;
    std::string GetDescription() const override;

protected:
    void Notification(TComponent* component, TOperation operation) override;
    // New paper dimensions (mm) that keep the paper code, then UpdateDimensions.
    void StorePaperDimensions(double width, double height);

private:
    TPrinterOrientation FOrientation = poPortrait;
    double FPaperWidth = 0, FPaperHeight = 0;
    int32_t FPaperSize = 0;
    int32_t FColumns = 0;
    std::unique_ptr<TStrings> FColumnPositions, FHGuides, FVGuides;
    std::unique_ptr<TfrxPictureView> FBackground;
    std::unique_ptr<TList> FHBands, FVBands;
    TfrxDataSet* FDataSet = nullptr;
    std::string FDataSetName;
};
