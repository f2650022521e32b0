#pragma once
// Objects of reports for character (dot-matrix) printers: a page, a text and a line that live
// on a grid of character cells 9.6 pixels wide and 17 high, use the fixed-pitch screen font and
// carry the printer's character styles as flags.

#include <cstdint>

#include "platform/classes/TypInfo.h"
#include "report/core/frxMemoView.h"
#include "report/core/frxObjects.h"
#include "report/core/frxReportPage.h"

enum TfrxDMPFontStyle {
    fsxBold,
    fsxItalic,
    fsxUnderline,
    fsxSuperScript,
    fsxSubScript,
    fsxCondensed,
    fsxWide,
    fsx12cpi,
    fsx15cpi
};
KAROMIL_ENUM_TYPE(TfrxDMPFontStyle, "fsxBold", "fsxItalic", "fsxUnderline", "fsxSuperScript", "fsxSubScript",
    "fsxCondensed", "fsxWide", "fsx12cpi", "fsx15cpi")
using TfrxDMPFontStyles = TSet<TfrxDMPFontStyle>;
KAROMIL_SET_TYPE(TfrxDMPFontStyles, TfrxDMPFontStyle)

inline constexpr double frxDMPCellWidth = 9.6, frxDMPCellHeight = 17;

class TfrxDMPMemoView : public TfrxCustomMemoView {
    KAROMIL_CLASS(TfrxDMPMemoView, TfrxCustomMemoView)
    KAROMIL_PUBLISHED({
        KAROMIL_PROP_MEMBER(AutoWidth).Default(0);
        KAROMIL_PROP_MEMBER(AllowExpressions).Default(1);
        KAROMIL_PROP_MEMBER(DataField);
        KAROMIL_PROP(DataSet);
        KAROMIL_PROP(DataSetName);
        KAROMIL_PROP(DisplayFormat);
        KAROMIL_PROP_MEMBER(ExpressionDelimiters).Stored(&Self::IsExpressionDelimitersStored);
        KAROMIL_PROP(FontStyle).Stored(&Self::IsFontStored);
        KAROMIL_PROP(Frame);
        KAROMIL_PROP_MEMBER(HAlign).Default(haLeft);
        KAROMIL_PROP_MEMBER(HideZeros).Default(0);
        KAROMIL_PROP(Memo);
        KAROMIL_PROP(ParentFont).Default(1);
        KAROMIL_PROP_MEMBER(RTLReading).Default(0);
        KAROMIL_PROP_MEMBER(SuppressRepeated).Default(0);
        KAROMIL_PROP_MEMBER(WordWrap).Default(1);
        KAROMIL_PROP_MEMBER(VAlign).Default(vaTop);
    })
public:
    explicit TfrxDMPMemoView(TComponent* owner);

    TfrxDMPFontStyles GetFontStyle() const noexcept { return FFontStyle; }
    void SetFontStyle(TfrxDMPFontStyles value);
    void SetParentFont(bool value) override;
    // Positions and sizes snap to the character grid.
    void SetLeft(double value) override;
    void SetTop(double value) override;
    void SetWidth(double value) override;
    void SetHeight(double value) override;
    double CalcHeight() override;
    double CalcWidth() override;
    // The frame runs half a cell outside the object, through the middle of the next cells.
    void DrawFrame() override;
    std::string Diff(TfrxComponent* templ) override;
    std::string GetDescription() const override;
    // A dot-matrix text publishes no style: it keeps its own look when the style set changes.
    void ReapplyStyle() override {}

private:
    void ResetFont();
    TfrxDMPFontStyles FFontStyle;
};

class TfrxDMPLineView : public TfrxCustomLineView {
    KAROMIL_CLASS(TfrxDMPLineView, TfrxCustomLineView)
    KAROMIL_PUBLISHED({
        KAROMIL_PROP(FontStyle).Stored(&Self::IsFontStored);
        KAROMIL_PROP(ParentFont).Default(1);
    })
public:
    explicit TfrxDMPLineView(TComponent* owner) : TfrxCustomLineView(owner) {}

    TfrxDMPFontStyles GetFontStyle() const noexcept { return FFontStyle; }
    void SetFontStyle(TfrxDMPFontStyles value);
    void SetParentFont(bool value) override;
    // The line sits in the middle of a cell; its extent is not snapped.
    void SetLeft(double value) override;
    void SetTop(double value) override;
    std::string Diff(TfrxComponent* templ) override;
    std::string GetDescription() const override;

private:
    TfrxDMPFontStyles FFontStyle;
};

class TfrxDMPPage : public TfrxReportPage {
    KAROMIL_CLASS(TfrxDMPPage, TfrxReportPage)
    KAROMIL_PUBLISHED({ KAROMIL_PROP(FontStyle); })
public:
    explicit TfrxDMPPage(TComponent* owner);

    TfrxDMPFontStyles GetFontStyle() const noexcept { return FFontStyle; }
    // Every object of the page that inherits its font takes the new style.
    void SetFontStyle(TfrxDMPFontStyles value);
    void SetDefaults() override;
    bool IsDotMatrixPage() const noexcept override { return true; }
    void SetPaperWidth(double value) override;
    void SetPaperHeight(double value) override;
    void SetPaperSize(int value) override;

private:
    void ResetFont();
    void SnapPaper(bool cut);
    TfrxDMPFontStyles FFontStyle;
};

namespace frx {
void RegisterDMPClasses();
}
