#pragma once
// The visible report objects' base: TfrxView with its frame, fill and hatch, data binding and
// the drawing pipeline from report pixels (96 per inch) to device pixels; TfrxStretcheable,
// which the engine grows to its content and splits across pages; and the small value classes
// TfrxFrame, TfrxHighlight and TfrxFormat.
//
// Drawing: BeginDraw turns the object's bounds into the device rectangle DrawLeft..DrawBottom
// (Round(Offset + Scale × position), halves to even); DrawBackground fills it and lays the
// hatch over; DrawFrame draws the drop shadow and the selected sides. Lines of a device width
// W are W parallel one-pixel lines (DrawLine), so frames look the same on every device.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/classes/Persistent.h"
#include "platform/classes/TypInfo.h"
#include "platform/gui/Graphics.h"
#include "report/core/frxClass.h"

class TfrxDataSet;

enum TfrxShiftMode { smDontShift, smAlways, smWhenOverlapped };
KAROMIL_ENUM_TYPE(TfrxShiftMode, "smDontShift", "smAlways", "smWhenOverlapped")
enum TfrxFrameStyle { fsSolid, fsDash, fsDot, fsDashDot, fsDashDotDot, fsDouble };
KAROMIL_ENUM_TYPE(TfrxFrameStyle, "fsSolid", "fsDash", "fsDot", "fsDashDot", "fsDashDotDot", "fsDouble")
enum TfrxFrameType { ftLeft, ftRight, ftTop, ftBottom };
KAROMIL_ENUM_TYPE(TfrxFrameType, "ftLeft", "ftRight", "ftTop", "ftBottom")
using TfrxFrameTypes = TSet<TfrxFrameType>;
KAROMIL_SET_TYPE(TfrxFrameTypes, TfrxFrameType)
enum TfrxStretchMode { smDontStretch, smActualHeight, smMaxHeight };
KAROMIL_ENUM_TYPE(TfrxStretchMode, "smDontStretch", "smActualHeight", "smMaxHeight")
enum TfrxFormatKind { fkText, fkNumeric, fkDateTime, fkBoolean };
KAROMIL_ENUM_TYPE(TfrxFormatKind, "fkText", "fkNumeric", "fkDateTime", "fkBoolean")

// The report's "no fill" colour; never handed to the canvas.
inline constexpr TColor clTransparent = TColor(0x1FFFFFFF);

inline constexpr TfrxFrameTypes frxAllSides{ftLeft, ftRight, ftTop, ftBottom};

// Conversion to device pixels: nearest integer, halves to the even neighbour.
int frxRoundDevice(double v);

class TfrxFrame : public TPersistent {
    KAROMIL_CLASS(TfrxFrame, TPersistent)
    KAROMIL_PUBLISHED({
        KAROMIL_PROP_MEMBER(Color, TypeInfoColor()).Default(0);
        KAROMIL_PROP_MEMBER(DropShadow).Default(0);
        KAROMIL_PROP_MEMBER(ShadowColor, TypeInfoColor()).Default(0);
        KAROMIL_PROP_MEMBER(ShadowWidth).Stored(&Self::IsShadowWidthStored);
        KAROMIL_PROP_MEMBER(Style).Default(fsSolid);
        KAROMIL_PROP_MEMBER(Typ).Stored(&Self::IsTypStored);
        KAROMIL_PROP_MEMBER(Width).Stored(&Self::IsWidthStored);
    })
public:
    TfrxFrame() = default;
    void Assign(TPersistent* source) override;  // from another frame only
    // The attributes that differ from templ, each " Frame.X=\"v\"".
    std::string Diff(const TfrxFrame* templ) const;

    TColor Color = clBlack;
    bool DropShadow = false;
    TColor ShadowColor = clBlack;
    double ShadowWidth = 4;
    TfrxFrameStyle Style = fsSolid;
    TfrxFrameTypes Typ;
    double Width = 1;

    bool IsShadowWidthStored() const { return ShadowWidth != 4; }
    bool IsTypStored() const { return !Typ.Empty(); }
    bool IsWidthStored() const { return Width != 1; }
};

// Conditional highlighting of a text object.
class TfrxHighlight : public TPersistent {
    KAROMIL_CLASS(TfrxHighlight, TPersistent)
    KAROMIL_PUBLISHED({
        KAROMIL_PROP_MEMBER(Active).Default(0);
        KAROMIL_PROP(Font);
        KAROMIL_PROP_MEMBER(Color, TypeInfoColor()).Default(clTransparent);
        KAROMIL_PROP_MEMBER(Condition);
    })
public:
    TfrxHighlight();
    ~TfrxHighlight() override;
    void Assign(TPersistent* source) override;  // font, colour and condition; Active stays

    bool Active = false;
    TColor Color = clTransparent;
    std::string Condition;
    TFont* GetFont() const noexcept { return FFont.get(); }
    void SetFont(TFont* value);  // copies

private:
    std::unique_ptr<TFont> FFont;
};

// Display format of a text object's value.
class TfrxFormat : public TPersistent {
    KAROMIL_CLASS(TfrxFormat, TPersistent)
    KAROMIL_PUBLISHED({
        KAROMIL_PROP_MEMBER(DecimalSeparator);
        KAROMIL_PROP_MEMBER(FormatStr);
        KAROMIL_PROP_MEMBER(Kind).Default(fkText);
    })
public:
    TfrxFormat() = default;
    void Assign(TPersistent* source) override;

    std::string DecimalSeparator;
    std::string FormatStr;
    TfrxFormatKind Kind = fkText;
};

// TCursor's descriptor stays with the window controls; frxView.cpp, which builds the table,
// includes them.
KAROMIL_DECLARE_NAMED_TYPE(TypeInfoCursor)

class TfrxView : public TfrxReportComponent {
    KAROMIL_CLASS(TfrxView, TfrxReportComponent)
    KAROMIL_PUBLISHED({
        KAROMIL_PROP_MEMBER(Align).Default(baNone);
        KAROMIL_PROP_MEMBER(Cursor, TypeInfoCursor()).Default(0);
        KAROMIL_PROP_MEMBER(Printable).Default(1);
        KAROMIL_PROP_MEMBER(ShiftMode).Default(smAlways);
        KAROMIL_PROP_MEMBER(TagStr);
        KAROMIL_PROP_MEMBER(URL);
        KAROMIL_PROP(Left);
        KAROMIL_PROP(Top);
        KAROMIL_PROP(Width);
        KAROMIL_PROP(Height);
        KAROMIL_PROP(GroupIndex).Default(0);
        KAROMIL_PROP(Restrictions);
        KAROMIL_PROP(Visible).Default(1);
        KAROMIL_PROP_MEMBER(OnAfterData, TypeInfoFrxNotifyEvent());
        KAROMIL_PROP_MEMBER(OnAfterPrint, TypeInfoFrxNotifyEvent());
        KAROMIL_PROP_MEMBER(OnBeforePrint, TypeInfoFrxNotifyEvent());
        KAROMIL_PROP_MEMBER(OnPreviewClick, TypeInfoFrxPreviewClickEvent());
    })
public:
    explicit TfrxView(TComponent* owner);
    ~TfrxView() override;

    // --- stored values (published by this class or, where marked, by descendants)
    TfrxAlign Align = baNone;
    int16_t Cursor = 0;
    bool Printable = true;
    TfrxShiftMode ShiftMode = smAlways;
    std::string TagStr;
    std::string URL;
    TBrushStyle BrushStyle = bsSolid;  // descendants
    TColor Color = clTransparent;  // descendants
    std::string DataField;  // descendants
    TfrxFrame* GetFrame() const noexcept { return FFrame.get(); }
    void SetFrame(TfrxFrame* value);  // copies
    TfrxDataSet* GetDataSet() const noexcept { return FDataSet; }
    void SetDataSet(TfrxDataSet* value);
    std::string GetDataSetName() const;
    void SetDataSetName(const std::string& value);

    bool IsDataField() const;

    // --- drawing
    void Draw(TCanvas* canvas, double scaleX, double scaleY, double offsetX, double offsetY) override;
    virtual void BeginDraw(TCanvas* canvas, double scaleX, double scaleY, double offsetX, double offsetY);
    virtual void DrawBackground();
    virtual void DrawFrame();
    // A line w device pixels thick as w one-pixel lines with the current pen (0 counts as 1);
    // the end point itself is not painted.
    void DrawLine(int x, int y, int x1, int y1, int w);

    // Drawing state, valid from one BeginDraw to the next.
    TCanvas* DrawCanvas = nullptr;
    double DrawScaleX = 1, DrawScaleY = 1, DrawOffsetX = 0, DrawOffsetY = 0;
    int DrawLeft = 0, DrawTop = 0, DrawRight = 0, DrawBottom = 0;
    int DrawWidth = 0, DrawHeight = 0, DrawFrameWidth = 0;

    // --- print time
    void BeforePrint() override;
    void GetData() override;
    void AfterPrint() override;
    std::string Diff(TfrxComponent* templ) override;

    bool IsView() const noexcept override { return true; }
    TfrxAlign GetAlign() const noexcept override { return Align; }
    // Takes its named style anew from the report's style set, after the set changed; views
    // without a style keep what they have.
    virtual void ReapplyStyle() {}

protected:
    void Notification(TComponent* component, TOperation operation) override;
    // Every bracketed expression of text replaced by its value's text.
    std::string ExpandBrackets(const std::string& text);

private:
    std::unique_ptr<TfrxFrame> FFrame;
    TfrxDataSet* FDataSet = nullptr;
    std::string FDataSetName;
    std::string FSavedTagStr, FSavedURL;
};

class TfrxStretcheable : public TfrxView {
    KAROMIL_CLASS(TfrxStretcheable, TfrxView)
    KAROMIL_PUBLISHED({ KAROMIL_PROP_MEMBER(StretchMode).Default(smDontStretch); })
public:
    explicit TfrxStretcheable(TComponent* owner) : TfrxView(owner) {}

    TfrxStretchMode StretchMode = smDontStretch;

    // The height the content needs; the base answers Height.
    virtual double CalcHeight() { return GetHeight(); }
    // Fits what the current Height allows, keeps the rest; answers the unused height.
    virtual double DrawPart() { return 0; }
    // Starts a split: the whole content becomes the remainder.
    virtual void InitPart() {}
};

// Every expression between open and close in text replaced by evaluate(expression), left to
// right; the search goes on after each inserted value. Positions count characters.
std::string frxExpandExpressions(const std::string& text, const std::string& open, const std::string& close,
    const std::function<std::string(const std::string&)>& evaluate);

namespace frx {
// Registers the base view classes (TfrxView, TfrxHighlight, TfrxFormat) with the class
// registry (called by frx::Startup).
void RegisterViewClasses();
}  // namespace frx
