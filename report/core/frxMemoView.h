#pragma once
// The report's text object. TfrxCustomMemoView holds its text as lines, computes it at print
// time (a dataset field, or the lines with their bracketed expressions replaced by formatted
// values), highlights it when a condition holds, hides repeated values and zeros on request,
// lays it out and draws it with the text engine, measures itself, and splits across pages or
// flows its overflow into another memo. TfrxMemoView and TfrxSysMemoView differ only in what
// they publish.

#include <memory>
#include <string>

#include "platform/rtl/Variant.h"
#include "report/core/frxDrawText.h"
#include "report/core/frxView.h"

class TStrings;
class TfrxStyleItem;

class TfrxCustomMemoView : public TfrxStretcheable {
    KAROMIL_CLASS(TfrxCustomMemoView, TfrxStretcheable)
public:
    explicit TfrxCustomMemoView(TComponent* owner);
    ~TfrxCustomMemoView() override;

    // --- stored values
    bool AutoWidth = false;
    bool AllowExpressions = true;
    bool AllowHTMLTags = false;
    double CharSpacing = 0;
    bool Clipped = true;
    TfrxFormat* GetDisplayFormat() const noexcept { return FDisplayFormat.get(); }
    void SetDisplayFormat(TfrxFormat* value);  // copies
    std::string ExpressionDelimiters = "[,]";
    TfrxCustomMemoView* GetFlowTo() const noexcept { return FFlowTo; }
    void SetFlowTo(TfrxCustomMemoView* value);
    double GapX = 2, GapY = 1;
    TfrxHAlign HAlign = haLeft;
    bool HideZeros = false;
    TfrxHighlight* GetHighlight() const noexcept { return FHighlight.get(); }
    void SetHighlight(TfrxHighlight* value);  // copies
    double LineSpacing = 2;
    TStrings* GetMemo() const noexcept { return FMemo.get(); }
    void SetMemo(TStrings* value);  // copies
    double ParagraphGap = 0;
    int32_t GetRotation() const noexcept { return FRotation; }
    void SetRotation(int32_t value);  // modulo 360 with the sign kept
    bool RTLReading = false;
    const std::string& GetStyle() const noexcept { return FStyle; }
    void SetStyle(const std::string& value);  // applies the report's style of that name
    bool SuppressRepeated = false;
    bool Underlines = false;
    bool WordBreak = false;
    bool WordWrap = true;
    TfrxVAlign VAlign = vaTop;

    // The whole text: the lines joined with CR LF.
    std::string GetText() const;
    void SetText(const std::string& value);

    // --- run-time state
    Variant DataValue;
    Variant LastValue = Variant::Null();  // the text printed last, for SuppressRepeated
    std::string PendingText;  // what a split has still to print
    std::string SavedText;
    int PageTotal = 0;
    TRect TextArea;  // device pixels, set by BeginDraw

    // --- operations
    void ApplyStyle(TfrxStyleItem* style);
    std::string EvaluateExpression(const std::string& expression);
    // nil format means DisplayFormat; a failure gives the value's plain text.
    std::string FormatValue(const Variant& value, TfrxFormat* format = nullptr);
    // Every page-total placeholder replaced by PageTotal.
    void InsertPageTotal();
    std::string WrapText(bool wrapped);
    virtual double CalcWidth();
    double CalcHeight() override;
    double DrawPart() override;
    void InitPart() override;

    void BeginDraw(TCanvas* canvas, double scaleX, double scaleY, double offsetX, double offsetY) override;
    void Draw(TCanvas* canvas, double scaleX, double scaleY, double offsetX, double offsetY) override;
    void BeforePrint() override;
    void GetData() override;
    void AfterPrint() override;
    std::string GetComponentText() override;
    std::string Diff(TfrxComponent* templ) override;
    std::string GetDescription() const override;
    bool IsAutoWidth() const noexcept override { return AutoWidth; }
    bool IsTextObject() const noexcept override { return true; }
    void SetDiffText(const std::string& text) override { SetText(text); }
    void ReapplyStyle() override { SetStyle(FStyle); }

    bool IsCharSpacingStored() const { return CharSpacing != 0; }
    bool IsExpressionDelimitersStored() const { return ExpressionDelimiters != "[,]"; }
    bool IsGapXStored() const { return GapX != 2; }
    bool IsGapYStored() const { return GapY != 1; }
    bool IsHighlightStored() const;
    bool IsLineSpacingStored() const { return LineSpacing != 2; }
    bool IsParagraphGapStored() const { return ParagraphGap != 0; }

protected:
    void Notification(TComponent* component, TOperation operation) override;
    // The report's text engine when the memo belongs to a report, else the process-wide one.
    TfrxDrawText* Engine() const;
    // Font, options, gaps, auto width and the two areas; the text is laid out.
    void SetupEngine(
        TfrxDrawText* engine, TCanvas* canvas, double scaleX, double scaleY, double offsetX, double offsetY);
    double HorizontalGaps() const;
    double VerticalGaps() const;

private:
    void SetEngineFont(TfrxDrawText* engine);
    std::unique_ptr<TfrxHighlight> FHighlight;
    std::unique_ptr<TfrxFormat> FDisplayFormat;
    std::unique_ptr<TStrings> FMemo;
    TfrxCustomMemoView* FFlowTo = nullptr;
    int32_t FRotation = 0;
    std::string FStyle;
};

class TfrxMemoView : public TfrxCustomMemoView {
    KAROMIL_CLASS(TfrxMemoView, TfrxCustomMemoView)
    KAROMIL_PUBLISHED({
        KAROMIL_PROP_MEMBER(AutoWidth).Default(0);
        KAROMIL_PROP_MEMBER(AllowExpressions).Default(1);
        KAROMIL_PROP_MEMBER(AllowHTMLTags).Default(0);
        KAROMIL_PROP_MEMBER(BrushStyle).Default(bsSolid);
        KAROMIL_PROP_MEMBER(CharSpacing).Stored(&Self::IsCharSpacingStored);
        KAROMIL_PROP_MEMBER(Clipped).Default(1);
        KAROMIL_PROP_MEMBER(Color, TypeInfoColor()).Default(clTransparent);
        KAROMIL_PROP_MEMBER(DataField);
        KAROMIL_PROP(DataSet);
        KAROMIL_PROP(DataSetName);
        KAROMIL_PROP(DisplayFormat);
        KAROMIL_PROP_MEMBER(ExpressionDelimiters).Stored(&Self::IsExpressionDelimitersStored);
        KAROMIL_PROP(FlowTo);
        KAROMIL_PROP(Font).Stored(&Self::IsFontStored);
        KAROMIL_PROP(Frame);
        KAROMIL_PROP_MEMBER(GapX).Stored(&Self::IsGapXStored);
        KAROMIL_PROP_MEMBER(GapY).Stored(&Self::IsGapYStored);
        KAROMIL_PROP_MEMBER(HAlign).Default(haLeft);
        KAROMIL_PROP_MEMBER(HideZeros).Default(0);
        KAROMIL_PROP(Highlight).Stored(&Self::IsHighlightStored);
        KAROMIL_PROP_MEMBER(LineSpacing).Stored(&Self::IsLineSpacingStored);
        KAROMIL_PROP(Memo);
        KAROMIL_PROP_MEMBER(ParagraphGap).Stored(&Self::IsParagraphGapStored);
        KAROMIL_PROP(ParentFont).Default(1);
        KAROMIL_PROP(Rotation).Default(0);
        KAROMIL_PROP_MEMBER(RTLReading).Default(0);
        KAROMIL_PROP(Style);
        KAROMIL_PROP_MEMBER(SuppressRepeated).Default(0);
        KAROMIL_PROP_MEMBER(Underlines).Default(0);
        KAROMIL_PROP_MEMBER(WordBreak).Default(0);
        KAROMIL_PROP_MEMBER(WordWrap).Default(1);
        KAROMIL_PROP_MEMBER(VAlign).Default(vaTop);
    })
public:
    explicit TfrxMemoView(TComponent* owner) : TfrxCustomMemoView(owner) {}
};

class TfrxSysMemoView : public TfrxCustomMemoView {
    KAROMIL_CLASS(TfrxSysMemoView, TfrxCustomMemoView)
    KAROMIL_PUBLISHED({
        KAROMIL_PROP_MEMBER(AutoWidth).Default(0);
        KAROMIL_PROP_MEMBER(BrushStyle).Default(bsSolid);
        KAROMIL_PROP_MEMBER(CharSpacing).Stored(&Self::IsCharSpacingStored);
        KAROMIL_PROP_MEMBER(Color, TypeInfoColor()).Default(clTransparent);
        KAROMIL_PROP(DisplayFormat);
        KAROMIL_PROP(Font).Stored(&Self::IsFontStored);
        KAROMIL_PROP(Frame);
        KAROMIL_PROP_MEMBER(GapX).Stored(&Self::IsGapXStored);
        KAROMIL_PROP_MEMBER(GapY).Stored(&Self::IsGapYStored);
        KAROMIL_PROP_MEMBER(HAlign).Default(haLeft);
        KAROMIL_PROP_MEMBER(HideZeros).Default(0);
        KAROMIL_PROP(Highlight).Stored(&Self::IsHighlightStored);
        KAROMIL_PROP(Memo);
        KAROMIL_PROP(ParentFont).Default(1);
        KAROMIL_PROP(Rotation).Default(0);
        KAROMIL_PROP_MEMBER(RTLReading).Default(0);
        KAROMIL_PROP(Style);
        KAROMIL_PROP_MEMBER(SuppressRepeated).Default(0);
        KAROMIL_PROP_MEMBER(VAlign).Default(vaTop);
    })
public:
    explicit TfrxSysMemoView(TComponent* owner) : TfrxCustomMemoView(owner) {}
    std::string GetDescription() const override;
};

namespace frx {
void RegisterMemoClasses();
}
