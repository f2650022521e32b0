#include "report/core/frxView.h"

#include <cfenv>
#include <cmath>
#include <cstdlib>

#include "platform/classes/ClassRegistry.h"
#include "platform/gui/Controls.h"
#include "platform/rtl/Strings.h"
#include "platform/rtl/SysUtils.h"
#include "report/core/frxDataSet.h"
#include "report/core/frxOptions.h"
#include "report/core/frxServices.h"
#include "report/core/frxText.h"
#include "report/core/frxXML.h"

KAROMIL_IMPLEMENT_PUBLISHED_CLASS(TfrxFrame, TPersistent)

KAROMIL_IMPLEMENT_PUBLISHED_CLASS(TfrxHighlight, TPersistent)

KAROMIL_IMPLEMENT_PUBLISHED_CLASS(TfrxFormat, TPersistent)

KAROMIL_IMPLEMENT_PUBLISHED_CLASS(TfrxView, TfrxReportComponent)

KAROMIL_IMPLEMENT_PUBLISHED_CLASS(TfrxStretcheable, TfrxView)

namespace {
bool Differs(double a, double b) { return std::fabs(a - b) > 0.0001; }
std::string Attr(const std::string& name, const std::string& value) { return " " + name + "=\"" + value + "\""; }
std::string BoolText(bool b) { return b ? "1" : "0"; }
}  // namespace

int frxRoundDevice(double v) {
    // nearbyint follows the current rounding mode, which is to-nearest-even unless changed.
    return int(std::nearbyint(v));
}

// --- TfrxFrame -----------------------------------------------------------------------------

void TfrxFrame::Assign(TPersistent* source) {
    auto* s = dynamic_cast<TfrxFrame*>(source);
    if (!s) return;
    Color = s->Color;
    DropShadow = s->DropShadow;
    ShadowColor = s->ShadowColor;
    ShadowWidth = s->ShadowWidth;
    Style = s->Style;
    Typ = s->Typ;
    Width = s->Width;
}

std::string TfrxFrame::Diff(const TfrxFrame* t) const {
    std::string s;
    if (Color != t->Color) s += Attr("Frame.Color", IntToStr(Color));
    if (DropShadow != t->DropShadow) s += Attr("Frame.DropShadow", BoolText(DropShadow));
    if (ShadowColor != t->ShadowColor) s += Attr("Frame.ShadowColor", IntToStr(ShadowColor));
    if (Differs(ShadowWidth, t->ShadowWidth)) s += Attr("Frame.ShadowWidth", FloatToStr(ShadowWidth));
    if (Style != t->Style) s += Attr("Frame.Style", IntToStr(int(Style)));
    if (!(Typ == t->Typ)) s += Attr("Frame.Typ", IntToStr(int64_t(Typ.Mask())));
    if (Differs(Width, t->Width)) s += Attr("Frame.Width", FloatToStr(Width));
    return s;
}

// --- TfrxHighlight and TfrxFormat ----------------------------------------------------------

TfrxHighlight::TfrxHighlight() : FFont(std::make_unique<TFont>()) {
    FFont->SetName("Arial");
    FFont->SetSize(10);
    FFont->SetColor(clRed);
    FFont->SetCharset(1);
}
TfrxHighlight::~TfrxHighlight() = default;

void TfrxHighlight::SetFont(TFont* value) { FFont->Assign(value); }

void TfrxHighlight::Assign(TPersistent* source) {
    auto* s = dynamic_cast<TfrxHighlight*>(source);
    if (!s) return;
    FFont->Assign(s->FFont.get());
    Color = s->Color;
    Condition = s->Condition;
}

void TfrxFormat::Assign(TPersistent* source) {
    auto* s = dynamic_cast<TfrxFormat*>(source);
    if (!s) return;
    DecimalSeparator = s->DecimalSeparator;
    FormatStr = s->FormatStr;
    Kind = s->Kind;
}

// --- TfrxView ------------------------------------------------------------------------------

TfrxView::TfrxView(TComponent* owner) : TfrxReportComponent(owner), FFrame(std::make_unique<TfrxFrame>()) {
    WriteAllProps = true;
}

TfrxView::~TfrxView() {
    if (FDataSet) FDataSet->RemoveFreeNotification(this);
}

void TfrxView::SetFrame(TfrxFrame* value) { FFrame->Assign(value); }

void TfrxView::SetDataSet(TfrxDataSet* value) {
    ReplaceReference(this, FDataSet, value);
    FDataSetName = value ? value->GetUserName() : std::string();
}

std::string TfrxView::GetDataSetName() const { return FDataSet ? FDataSet->GetUserName() : FDataSetName; }

void TfrxView::SetDataSetName(const std::string& value) {
    FDataSetName = value;
    ReplaceReference(this, FDataSet, frxDataSetByName(FDataSet, value, this));
}

void TfrxView::Notification(TComponent* component, TOperation operation) {
    TfrxReportComponent::Notification(component, operation);
    if (operation == opRemove && component == FDataSet) FDataSet = nullptr;
}

bool TfrxView::IsDataField() const { return FDataSet != nullptr && !DataField.empty(); }

void TfrxView::Draw(TCanvas* canvas, double scaleX, double scaleY, double offsetX, double offsetY) {
    BeginDraw(canvas, scaleX, scaleY, offsetX, offsetY);
    DrawBackground();
    DrawFrame();
}

void TfrxView::BeginDraw(TCanvas* canvas, double scaleX, double scaleY, double offsetX, double offsetY) {
    DrawCanvas = canvas;
    DrawScaleX = scaleX;
    DrawScaleY = scaleY;
    DrawOffsetX = offsetX;
    DrawOffsetY = offsetY;
    const double l = GetAbsLeft(), t = GetAbsTop();
    DrawLeft = frxRoundDevice(offsetX + scaleX * l);
    DrawTop = frxRoundDevice(offsetY + scaleY * t);
    DrawRight = frxRoundDevice(offsetX + scaleX * (l + GetWidth()));
    DrawBottom = frxRoundDevice(offsetY + scaleY * (t + GetHeight()));
    if (FFrame->DropShadow) {
        DrawRight -= frxRoundDevice(scaleX * FFrame->ShadowWidth);
        DrawBottom -= frxRoundDevice(scaleY * FFrame->ShadowWidth);
    }
    DrawWidth = DrawRight - DrawLeft;
    DrawHeight = DrawBottom - DrawTop;
    DrawFrameWidth = frxRoundDevice(scaleX * FFrame->Width);
}

void TfrxView::DrawBackground() {
    TCanvas* c = DrawCanvas;
    if (!c) return;
    if (Color != clTransparent) {
        c->Brush()->SetStyle(bsSolid);
        c->Brush()->SetColor(Color);
        c->FillRect(Rect(DrawLeft, DrawTop, DrawRight, DrawBottom));
    }
    if (BrushStyle != bsSolid) {
        c->Brush()->SetStyle(BrushStyle);
        c->Brush()->SetColor(FFrame->Color);
        c->Pen()->SetStyle(psSolid);
        c->Pen()->SetWidth(1);
        c->Pen()->SetColor(Color != clTransparent ? Color : clWhite);
        c->Rectangle(DrawLeft, DrawTop, DrawRight + 1, DrawBottom + 1);
        c->Brush()->SetStyle(bsSolid);
    }
}

void TfrxView::DrawLine(int x, int y, int x1, int y1, int w) {
    TCanvas* c = DrawCanvas;
    if (!c) return;
    if (w == 0) w = 1;
    const int half = w / 2;
    const int first = -half, last = (w % 2 == 0) ? half - 1 : half;
    const bool flat = std::abs(x1 - x) > std::abs(y1 - y);
    for (int i = first; i <= last; ++i) {
        if (flat) {
            c->MoveTo(x, y + i);
            c->LineTo(x1, y1 + i);
        } else {
            c->MoveTo(x + i, y);
            c->LineTo(x1 + i, y1);
        }
    }
}

void TfrxView::DrawFrame() {
    TCanvas* c = DrawCanvas;
    if (!c) return;
    TfrxFrame& f = *FFrame;
    if (f.DropShadow) {
        // Sound: the shadow's lines are one pixel wide each. Left to whatever pen width the
        // previous object used, a shadow after a thick frame would grow.
        c->Pen()->SetStyle(psSolid);
        c->Pen()->SetWidth(1);
        c->Pen()->SetColor(f.ShadowColor);
        const int d = frxRoundDevice(f.ShadowWidth * DrawScaleX);
        DrawLine(DrawRight + d / 2, DrawTop + d, DrawRight + d / 2, DrawBottom, d);
        const int e = frxRoundDevice(f.ShadowWidth * DrawScaleY);
        DrawLine(DrawLeft + e, DrawBottom + e / 2, DrawRight + e, DrawBottom + e / 2, e);
    }
    if (f.Typ.Empty() || f.Color == clTransparent || f.Width == 0) return;

    c->Pen()->SetColor(f.Color);
    if (f.Style == fsSolid || f.Style == fsDouble) {
        c->Pen()->SetStyle(psSolid);
        c->Pen()->SetWidth(DrawFrameWidth);
    } else {
        static constexpr TPenStyle kDash[] = {psSolid, psDash, psDot, psDashDot, psDashDotDot, psSolid};
        c->Pen()->SetStyle(kDash[f.Style]);
        c->Pen()->SetWidth(1);
    }
    c->Brush()->SetStyle(bsSolid);
    if (f.Style != fsSolid) {
        // The brush decides the gaps of the dashed pen: painted in the fill colour, or left.
        if (Color == clTransparent) c->Brush()->SetStyle(bsClear);
        else c->Brush()->SetColor(Color);
    }

    const int w = DrawFrameWidth;
    auto side = [&](int x, int y, int x1, int y1, bool leftOrTop, bool n1, bool n2) {
        if (f.Style == fsSolid) {
            c->MoveTo(x, y);
            c->LineTo(x1, y1);
            return;
        }
        if (f.Style != fsDouble) {
            DrawLine(x, y, x1, y1, w);
            return;
        }
        const int a = n1 ? w : 0, b = n2 ? w : 0;
        const int s = leftOrTop ? -a : a, e = leftOrTop ? -b : b;
        const bool vertical = x == x1;
        if (vertical) {
            c->MoveTo(x - w, y + s);
            c->LineTo(x1 - w, y1 - e);
        } else {
            c->MoveTo(x + s, y - w);
            c->LineTo(x1 - e, y1 - w);
        }
        if (Color != clTransparent) {
            c->Pen()->SetColor(Color);
            c->MoveTo(x, y);
            c->LineTo(x1, y1);
            c->Pen()->SetColor(f.Color);
        }
        if (vertical) {
            c->MoveTo(x + w, y - s);
            c->LineTo(x1 + w, y1 + e);
        } else {
            c->MoveTo(x - s, y + w);
            c->LineTo(x1 + e, y1 + w);
        }
    };
    const bool top = f.Typ.Contains(ftTop), bottom = f.Typ.Contains(ftBottom);
    const bool left = f.Typ.Contains(ftLeft), right = f.Typ.Contains(ftRight);
    if (left) side(DrawLeft, DrawTop, DrawLeft, DrawBottom, true, top, bottom);
    if (right) side(DrawRight, DrawTop, DrawRight, DrawBottom, false, top, bottom);
    if (top) side(DrawLeft, DrawTop, DrawRight, DrawTop, true, left, right);
    if (bottom)
        side(DrawLeft, DrawBottom, DrawFrameWidth == 1 ? DrawRight + 1 : DrawRight, DrawBottom, false, left, right);
}

std::string frxExpandExpressions(const std::string& text, const std::string& open, const std::string& close,
    const std::function<std::string(const std::string&)>& evaluate) {
    if (open.empty() || text.find(open) == std::string::npos) return text;
    std::u32string s = Utf8ToU32(text);
    const std::u32string o = Utf8ToU32(open);
    size_t from = 0;  // 0-based position where the search goes on
    for (;;) {
        const size_t at = s.find(o, from);
        if (at == std::u32string::npos) break;
        int start = int(at) + 1, finish = 0;
        const std::string expr = frxGetBracketedText(U32ToUtf8(s), open, close, start, finish);
        if (finish <= start) break;  // no closing part: nothing more to compute
        const std::u32string value = Utf8ToU32(evaluate(expr));
        s.replace(size_t(start - 1), size_t(finish - start + 1), value);
        from = size_t(start - 1) + value.size();
    }
    return U32ToUtf8(s);
}

std::string TfrxView::ExpandBrackets(const std::string& text) {
    TfrxReportServices* report = GetReportServices();
    if (!report) return text;
    return frxExpandExpressions(
        text, "[", "]", [report](const std::string& expr) { return VarToStr(report->Calc(expr)); });
}

void TfrxView::BeforePrint() {
    TfrxReportComponent::BeforePrint();
    FSavedTagStr = TagStr;
    FSavedURL = URL;
}

void TfrxView::GetData() {
    TfrxReportComponent::GetData();
    if (TagStr.find('[') != std::string::npos) TagStr = ExpandBrackets(TagStr);
    if (URL.find('[') != std::string::npos) URL = ExpandBrackets(URL);
}

void TfrxView::AfterPrint() {
    TfrxReportComponent::AfterPrint();
    TagStr = FSavedTagStr;
    URL = FSavedURL;
}

std::string TfrxView::Diff(TfrxComponent* templ) {
    std::string s = TfrxReportComponent::Diff(templ);
    auto* t = dynamic_cast<TfrxView*>(templ);
    if (!t) return s;
    if (BrushStyle != t->BrushStyle) s += Attr("BrushStyle", IntToStr(int(BrushStyle)));
    if (Align != t->Align) s += Attr("Align", IntToStr(int(Align)));
    if (Color != t->Color) s += Attr("Color", IntToStr(Color));
    s += FFrame->Diff(t->FFrame.get());
    if (Cursor != t->Cursor) s += Attr("Cursor", IntToStr(Cursor));
    if (Printable != t->Printable) s += Attr("Printable", BoolText(Printable));
    if (TagStr != t->TagStr) s += Attr("TagStr", frxEscapeXML(TagStr));
    if (URL != t->URL) s += Attr("URL", frxEscapeXML(URL));
    return s;
}

void frx::RegisterViewClasses() {
    RegisterClasses({TfrxView::StaticClass(), TfrxHighlight::StaticClass(), TfrxFormat::StaticClass()});
}
