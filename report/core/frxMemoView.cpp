#include "report/core/frxMemoView.h"

#include <cmath>

#include "platform/classes/ClassRegistry.h"
#include "platform/classes/StringList.h"
#include "platform/gui/Bitmaps.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/Strings.h"
#include "platform/rtl/SysUtils.h"
#include "report/core/frxDataSet.h"
#include "report/core/frxRes.h"
#include "report/core/frxServices.h"
#include "report/core/frxStyles.h"
#include "report/core/frxXML.h"

KAROMIL_IMPLEMENT_CLASS(TfrxCustomMemoView, TfrxStretcheable)
KAROMIL_IMPLEMENT_PUBLISHED_CLASS(TfrxMemoView, TfrxCustomMemoView)
KAROMIL_IMPLEMENT_PUBLISHED_CLASS(TfrxSysMemoView, TfrxCustomMemoView)

namespace {
constexpr const char* kPageTotalToken = "[TotalPages#]";

std::string Attr(const std::string& name, const std::string& value) { return " " + name + "=\"" + value + "\""; }
bool Differs(double a, double b) { return std::fabs(a - b) > 0.0001; }

// Every occurrence of token (letter case ignored) replaced by value.
std::string ReplaceAllNoCase(const std::string& text, const std::string& token, const std::string& value) {
    const std::string upperText = UpperCase(text), upperToken = UpperCase(token);
    std::string out;
    size_t from = 0;
    for (size_t at; (at = upperText.find(upperToken, from)) != std::string::npos; from = at + token.size())
        out += text.substr(from, at - from) + value;
    return out + text.substr(from);
}

// A value that is not text and equals zero; values that cannot be compared with 0 are not zero.
bool IsZeroValue(const Variant& v) {
    if (v.IsString() || v.IsNull() || v.IsEmpty()) return false;
    try {
        return v == Variant(0);
    } catch (const Exception&) {
        // Recovers from values that cannot be compared with a number (arrays, objects): not zero.
        return false;
    }
}

// The position of the format marker " #" outside quoted text; npos when none.
size_t FormatMarker(const std::string& expr) {
    char quote = 0;
    for (size_t i = 0; i + 1 < expr.size(); ++i) {
        const char c = expr[i];
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == '\'' || c == '"') {
            quote = c;
        } else if (c == ' ' && expr[i + 1] == '#') {
            return i;
        }
    }
    return std::string::npos;
}
}  // namespace

// --- construction and properties -----------------------------------------------------------

TfrxCustomMemoView::TfrxCustomMemoView(TComponent* owner)
    : TfrxStretcheable(owner), FHighlight(std::make_unique<TfrxHighlight>()),
      FDisplayFormat(std::make_unique<TfrxFormat>()), FMemo(std::make_unique<TStringList>()) {
    WriteAllProps = false;
    SetParentFont(true);
}

TfrxCustomMemoView::~TfrxCustomMemoView() {
    if (FFlowTo) FFlowTo->RemoveFreeNotification(this);
}

std::string TfrxCustomMemoView::GetDescription() const { return frxGetResources()->Get("obText"); }
std::string TfrxSysMemoView::GetDescription() const { return frxGetResources()->Get("obSysText"); }

void TfrxCustomMemoView::SetDisplayFormat(TfrxFormat* value) { FDisplayFormat->Assign(value); }
void TfrxCustomMemoView::SetHighlight(TfrxHighlight* value) { FHighlight->Assign(value); }
void TfrxCustomMemoView::SetMemo(TStrings* value) { FMemo->Assign(value); }
bool TfrxCustomMemoView::IsHighlightStored() const { return !Trim(FHighlight->Condition).empty(); }

void TfrxCustomMemoView::SetFlowTo(TfrxCustomMemoView* value) { ReplaceReference(this, FFlowTo, value); }

void TfrxCustomMemoView::Notification(TComponent* component, TOperation operation) {
    TfrxStretcheable::Notification(component, operation);
    if (operation == opRemove && component == FFlowTo) FFlowTo = nullptr;
}

void TfrxCustomMemoView::SetRotation(int32_t value) { FRotation = value % 360; }

void TfrxCustomMemoView::SetStyle(const std::string& value) {
    FStyle = value;
    if (TfrxReportServices* report = GetReportServices())
        if (TfrxStyleItem* item = report->Styles()->Find(value)) ApplyStyle(item);
}

void TfrxCustomMemoView::ApplyStyle(TfrxStyleItem* style) {
    if (!style) return;
    Color = style->GetColor();
    SetFont(style->GetFont());
    SetFrame(style->GetFrame());
}

std::string TfrxCustomMemoView::GetText() const {
    std::string s = FMemo->Text();
    if (s.size() >= 2 && s.compare(s.size() - 2, 2, "\r\n") == 0) s.resize(s.size() - 2);
    return s;
}
void TfrxCustomMemoView::SetText(const std::string& value) { FMemo->SetText(value); }

// --- values and formats --------------------------------------------------------------------

std::string TfrxCustomMemoView::FormatValue(const Variant& value, TfrxFormat* format) {
    if (!format) format = FDisplayFormat.get();
    if (value.IsNull()) return {};
    try {
        switch (format->Kind) {
        case fkText: return VarToStr(value);
        case fkNumeric: {
            // A copy of the settings carries the format's decimal separator: the process-wide
            // settings are never changed, so nothing needs restoring after a failure.
            TFormatSettings fs = FormatSettings();
            const std::u32string sep = Utf8ToU32(format->DecimalSeparator);
            if (sep.size() == 1) fs.DecimalSeparator = sep[0];
            if (!format->FormatStr.empty() && format->FormatStr[0] == '#')
                return FormatFloat(format->FormatStr, value.AsDouble(), fs);
            return Format(format->FormatStr, {Variant(value.AsDouble())}, fs);
        }
        case fkDateTime: return FormatDateTime(format->FormatStr, value.AsDate());
        case fkBoolean: {
            const std::string& f = format->FormatStr;
            const size_t comma = f.find(',');
            const std::string falseText = f.substr(0, comma);
            const std::string trueText = comma == std::string::npos ? std::string() : f.substr(comma + 1);
            return value == Variant(true) ? trueText : falseText;
        }
        }
    } catch (const Exception&) {
        // Recovers from a value the format cannot take: the plain text of the value is shown.
    }
    return VarToStr(value);
}

std::string TfrxCustomMemoView::EvaluateExpression(const std::string& expression) {
    std::string expr = expression;
    TfrxFormat temp;
    bool hasFormat = false;
    // Sound: the marker is looked for outside quoted text only, so a literal holding " #"
    // is not cut in two.
    if (const size_t at = FormatMarker(expression); at != std::string::npos) {
        expr = expression.substr(0, at);
        const std::string f = expression.substr(at + 2);
        hasFormat = true;
        const char kind = f.empty() ? 0 : f[0];
        std::string rest = f.empty() ? std::string() : f.substr(1);
        switch (kind) {
        case 'B':
        case 'b': temp.Kind = fkBoolean; break;
        case 'D':
        case 'd':
        case 'T':
        case 't': temp.Kind = fkDateTime; break;
        case 'N':
        case 'n': {
            temp.Kind = fkNumeric;
            size_t last = std::string::npos;
            for (size_t i = 0; i < rest.size(); ++i)
                if (rest[i] == ',' || rest[i] == '-' || rest[i] == '.') {
                    last = i;
                    rest[i] = '.';
                }
            if (last != std::string::npos) temp.DecimalSeparator = std::string(1, f[last + 1]);
            break;
        }
        default: break;
        }
        temp.FormatStr = rest;
    }
    if (AnsiSameText(expr, "TOTALPAGES#")) DataValue = Variant(std::string(kPageTotalToken));
    else if (TfrxReportServices* report = GetReportServices()) DataValue = report->Calc(expr);
    else DataValue = Variant::Null();
    if (HideZeros && IsZeroValue(DataValue)) return {};
    return FormatValue(DataValue, hasFormat ? &temp : nullptr);
}

// --- print time ----------------------------------------------------------------------------

void TfrxCustomMemoView::BeforePrint() {
    TfrxStretcheable::BeforePrint();
    if (!IsDataField()) SavedText = GetText();
}

void TfrxCustomMemoView::AfterPrint() {
    if (!IsDataField()) SetText(SavedText);
    TfrxStretcheable::AfterPrint();
}

void TfrxCustomMemoView::GetData() {
    TfrxStretcheable::GetData();
    TfrxReportServices* report = GetReportServices();
    if (IsDataField()) {
        TfrxDataSet* ds = GetDataSet();
        if (ds->IsBlobField(DataField)) {
            ds->AssignBlobTo(DataField, FMemo.get());
        } else {
            DataValue = ds->GetValue(DataField);
            if (FDisplayFormat->Kind != fkText) SetText(FormatValue(DataValue));
            else SetText(ds->GetDisplayText(DataField));
            if (HideZeros && IsZeroValue(DataValue)) SetText("");
        }
    } else if (AllowExpressions) {
        const size_t comma = ExpressionDelimiters.find(',');
        const std::string open = ExpressionDelimiters.substr(0, comma);
        const std::string close = comma == std::string::npos ? std::string() : ExpressionDelimiters.substr(comma + 1);
        const std::string text = GetText();
        if (!open.empty() && text.find(open) != std::string::npos)
            SetText(frxExpandExpressions(
                text, open, close, [this](const std::string& e) { return EvaluateExpression(e); }));
    }
    if (report) report->SetValueVariable(DataValue);
    FHighlight->Active = false;
    if (report && !FHighlight->Condition.empty()) FHighlight->Active = report->Calc(FHighlight->Condition).AsBoolean();
    if (SuppressRepeated) {
        const Variant text(GetText());
        if (VarSameValue(text, LastValue)) SetText("");
        else LastValue = text;
    }
    if (FFlowTo) {
        InitPart();
        DrawPart();
        FFlowTo->SetText(PendingText);
        FFlowTo->AllowExpressions = false;
    }
}

void TfrxCustomMemoView::InsertPageTotal() {
    if (!AllowExpressions) return;
    const std::string text = GetText();
    // Sound: every placeholder is filled in, not only the first one.
    if (UpperCase(text).find(UpperCase(kPageTotalToken)) != std::string::npos)
        SetText(ReplaceAllNoCase(text, kPageTotalToken, IntToStr(PageTotal)));
}

std::string TfrxCustomMemoView::GetComponentText() {
    std::string text = GetText();
    // Sound: the placeholder the expressions leave is the one replaced (all of them), so search
    // and exports see the page total instead of the raw placeholder.
    if (AllowExpressions) text = ReplaceAllNoCase(text, kPageTotalToken, IntToStr(PageTotal));
    return text;
}

// --- layout and drawing --------------------------------------------------------------------

TfrxDrawText* TfrxCustomMemoView::Engine() const { return frxDrawText(); }

double TfrxCustomMemoView::HorizontalGaps() const {
    const TfrxFrame* f = GetFrame();
    double g = 2 * GapX;
    if (f->Typ.Contains(ftLeft)) g += (f->Width - 1) / 2;
    if (f->Typ.Contains(ftRight)) g += f->Width / 2;
    if (f->DropShadow) g += f->ShadowWidth;
    return g;
}

double TfrxCustomMemoView::VerticalGaps() const {
    const TfrxFrame* f = GetFrame();
    double g = 2 * GapY;
    if (f->Typ.Contains(ftTop)) g += (f->Width - 1) / 2;
    if (f->Typ.Contains(ftBottom)) g += f->Width / 2;
    if (f->DropShadow) g += f->ShadowWidth;
    return g;
}

void TfrxCustomMemoView::BeginDraw(TCanvas* canvas, double scaleX, double scaleY, double offsetX, double offsetY) {
    TfrxStretcheable::BeginDraw(canvas, scaleX, scaleY, offsetX, offsetY);
    const TfrxFrame* f = GetFrame();
    int l = DrawLeft, t = DrawTop, r = DrawRight, b = DrawBottom;
    if (f->Typ.Contains(ftLeft)) l += frxRoundDevice((scaleX * f->Width - 1) / 2);
    if (f->Typ.Contains(ftRight)) r -= frxRoundDevice(scaleX * f->Width / 2);
    if (f->Typ.Contains(ftTop)) t += frxRoundDevice((scaleY * f->Width - 1) / 2);
    if (f->Typ.Contains(ftBottom)) b -= frxRoundDevice(scaleY * f->Width / 2);
    TextArea = Rect(l + frxRoundDevice(scaleX * GapX), t + frxRoundDevice(scaleY * GapY),
        r - frxRoundDevice(scaleX * GapX) + 1, b - frxRoundDevice(scaleY * GapY) + 1);
}

void TfrxCustomMemoView::SetEngineFont(TfrxDrawText* engine) {
    if (FHighlight->Active) {
        engine->SetFont(FHighlight->GetFont());
        Color = FHighlight->Color;
    } else {
        engine->SetFont(GetFont());
    }
    engine->SetOptions(WordWrap, AllowHTMLTags, FRotation, Clipped, WordBreak, RTLReading);
    engine->SetGaps(ParagraphGap, CharSpacing, LineSpacing);
}

void TfrxCustomMemoView::SetupEngine(
    TfrxDrawText* engine, TCanvas* canvas, double scaleX, double scaleY, double offsetX, double offsetY) {
    SetEngineFont(engine);
    if (AutoWidth && !InDesigner) {
        const TRect big = Rect(0, 0, 10000, 10000);
        engine->SetArea(big, big, 1, 1);
        engine->SetLines(FMemo.get());
        const double oldWidth = GetWidth();
        const double newWidth = engine->TextWidth() + HorizontalGaps();
        SetWidth(newWidth);
        if (HAlign == haRight) SetLeft(GetLeft() + (oldWidth - newWidth));
        else if (HAlign == haCenter) SetLeft(GetLeft() + (oldWidth - newWidth) / 2);
        if (TfrxComponent* parent = GetParent()) parent->AlignChildren();
    }
    BeginDraw(canvas, scaleX, scaleY, offsetX, offsetY);
    const TRect output = TextArea;
    BeginDraw(canvas, 1, 1, 0, 0);
    engine->SetArea(TextArea, output, scaleX, scaleY);
    engine->SetLines(FMemo.get());
}

void TfrxCustomMemoView::Draw(TCanvas* canvas, double scaleX, double scaleY, double offsetX, double offsetY) {
    if (!InDesigner) InsertPageTotal();
    else if (IsDataField()) SetText("[" + GetDataSet()->GetUserName() + ".\"" + DataField + "\"]");
    // Sound: the colour and the engine's lock come back on every path, so a failure while
    // drawing one object cannot leave the shared engine busy for ever.
    TRollback<TColor> keepColor(Color);
    TfrxDrawText* engine = Engine();
    TfrxDrawTextLock lock(engine);
    SetupEngine(engine, canvas, scaleX, scaleY, offsetX, offsetY);
    TfrxStretcheable::Draw(canvas, scaleX, scaleY, offsetX, offsetY);
    if (!canvas) return;
    if (Underlines && FRotation == 0) {
        canvas->Pen()->SetColor(GetFrame()->Color);
        canvas->Pen()->SetWidth(DrawFrameWidth);
        canvas->Pen()->SetStyle(psSolid);
        canvas->Pen()->SetMode(pmCopy);
        const double step = engine->LineHeight() * scaleY;
        if (step > 0)
            for (double y = DrawTop + step; y < DrawBottom; y += step) {
                canvas->MoveTo(DrawLeft, frxRoundDevice(y));
                canvas->LineTo(DrawRight, frxRoundDevice(y));
            }
    }
    engine->Paint(canvas, HAlign, VAlign);
}

double TfrxCustomMemoView::CalcHeight() {
    TfrxDrawText* engine = Engine();
    TfrxDrawTextLock lock(engine);
    TRollback<TColor> keepColor(Color);
    SetEngineFont(engine);
    if (AutoWidth) {
        const TRect big = Rect(0, 0, 10000, 10000);
        engine->SetArea(big, big, 1, 1);
    } else {
        BeginDraw(nullptr, 1, 1, 0, 0);
        engine->SetArea(TextArea, TextArea, 1, 1);
    }
    engine->SetLines(FMemo.get());
    return double(Round(engine->TextHeight() + VerticalGaps()));
}

double TfrxCustomMemoView::CalcWidth() {
    TfrxDrawText* engine = Engine();
    TfrxDrawTextLock lock(engine);
    TRollback<TColor> keepColor(Color);
    SetEngineFont(engine);
    const TRect big = Rect(0, 0, 10000, 10000);
    engine->SetArea(big, big, 1, 1);
    engine->SetLines(FMemo.get());
    return double(Round(engine->TextWidth() + HorizontalGaps()));
}

void TfrxCustomMemoView::InitPart() { PendingText = GetText(); }

double TfrxCustomMemoView::DrawPart() {
    TRollback<TColor> keepColor(Color);
    TfrxDrawText* engine = Engine();
    TfrxDrawTextLock lock(engine);
    SetText(PendingText);
    SetupEngine(engine, nullptr, 1, 1, 0, 0);
    PendingText = engine->TakeOverflow();
    SetText(engine->FittingText());
    double spare = engine->SpareHeight();
    if (spare == 0) spare = GetHeight();
    return spare;
}

std::string TfrxCustomMemoView::WrapText(bool wrapped) {
    if (!wrapped) return Engine()->RemoveTags(GetText());
    TRollback<TColor> keepColor(Color);
    TfrxDrawText* engine = Engine();
    TfrxDrawTextLock lock(engine);
    TBitmap scratch(1, 1);
    SetupEngine(engine, scratch.Canvas(), 1, 1, 0, 0);
    std::string out;
    for (int i = 0; i < engine->LineCount(); ++i) out += engine->Line(i) + "\r\n";
    return out;
}

std::string TfrxCustomMemoView::Diff(TfrxComponent* templ) {
    std::string s = TfrxStretcheable::Diff(templ);
    auto* t = dynamic_cast<TfrxCustomMemoView*>(templ);
    if (!t) return s;
    auto b = [](bool v) { return std::string(v ? "1" : "0"); };
    if (AutoWidth != t->AutoWidth) s += Attr("AutoWidth", b(AutoWidth));
    if (Differs(CharSpacing, t->CharSpacing)) s += Attr("CharSpacing", FloatToStr(CharSpacing));
    if (Differs(GapX, t->GapX)) s += Attr("GapX", FloatToStr(GapX));
    if (Differs(GapY, t->GapY)) s += Attr("GapY", FloatToStr(GapY));
    if (HAlign != t->HAlign) s += Attr("HAlign", IntToStr(int(HAlign)));
    if (FHighlight->Active != t->FHighlight->Active) s += Attr("Highlight.Active", b(FHighlight->Active));
    if (Differs(LineSpacing, t->LineSpacing)) s += Attr("LineSpacing", FloatToStr(LineSpacing));
    s += Attr("x", frxEscapeXML(FMemo->Count() == 0 ? std::string() : GetText()));
    if (Differs(ParagraphGap, t->ParagraphGap)) s += Attr("ParagraphGap", FloatToStr(ParagraphGap));
    if (FRotation != t->FRotation) s += Attr("Rotation", IntToStr(FRotation));
    if (RTLReading != t->RTLReading) s += Attr("RTLReading", b(RTLReading));
    if (Underlines != t->Underlines) s += Attr("Underlines", b(Underlines));
    if (VAlign != t->VAlign) s += Attr("VAlign", IntToStr(int(VAlign)));
    if (WordWrap != t->WordWrap) s += Attr("WordWrap", b(WordWrap));
    return s;
}

void frx::RegisterMemoClasses() { RegisterClasses({TfrxMemoView::StaticClass(), TfrxSysMemoView::StaticClass()}); }
