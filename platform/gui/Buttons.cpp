#include "platform/gui/Buttons.h"

#include <QtGui/QPainter>
#include <QtGui/QPainterPath>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QStyleOptionButton>

#include <algorithm>

#include "platform/gui/GraphicsPrivate.h"
#include "platform/gui/QtEntry.h"

KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TBitBtn, TButton, {
    KAROMIL_PROP(Kind).Default(bkCustom);
    KAROMIL_PROP(Glyph);
    KAROMIL_PROP(NumGlyphs).Default(1);
    KAROMIL_PROP(Layout).Default(blGlyphLeft);
    KAROMIL_PROP(Margin).Default(-1);
    KAROMIL_PROP(Spacing).Default(4);
})
KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TSpeedButton, TGraphicControl, {
    KAROMIL_PROP(GroupIndex).Default(0);
    KAROMIL_PROP(Down).Default(0);
    KAROMIL_PROP(AllowAllUp).Default(0);
    KAROMIL_PROP(Flat).Default(0);
    KAROMIL_PROP(Glyph);
    KAROMIL_PROP(NumGlyphs).Default(1);
    KAROMIL_PROP(Layout).Default(blGlyphLeft);
    KAROMIL_PROP(Margin).Default(-1);
    KAROMIL_PROP(Spacing).Default(4);
})

// --- glyph strips and layout -----------------------------------------------------------------

QImage GlyphImage(TBitmap* glyph, int numGlyphs, TButtonState state) {
    if (!glyph || glyph->Empty()) return {};
    const int n = std::clamp(numGlyphs, 1, 4);
    const int w = glyph->GetWidth() / n;
    if (w <= 0) return {};
    const QImage& all = BitmapImage(glyph);
    // The bottom-left pixel names the transparent colour, as in every glyph the program ships.
    const TColor key = QToRgb(all.pixel(0, all.height() - 1));
    const int index = int(state) < n ? int(state) : 0;
    QImage img = ColourKeyed(all.copy(index * w, 0, w, all.height()), key);
    if (state == bsDisabled && n < 2) {
        // No disabled picture of its own: a light grey emboss of the up picture.
        for (int y = 0; y < img.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
            for (int x = 0; x < img.width(); ++x) {
                if (qAlpha(line[x]) == 0) continue;
                const int g = 128 + qGray(line[x]) / 2;
                line[x] = qRgba(g, g, g, 255);
            }
        }
    }
    return img;
}

TButtonGlyphLayout LayoutGlyph(
    const TRect& client, TSize glyph, TSize text, TButtonLayout layout, int margin, int spacing) {
    const bool horizontal = layout == blGlyphLeft || layout == blGlyphRight;
    const int avail = horizontal ? client.Width() : client.Height();
    const int g = horizontal ? glyph.cx : glyph.cy;
    const int t = horizontal ? text.cx : text.cy;
    if (g == 0 || t == 0) spacing = 0;
    if (margin < 0) {
        if (spacing < 0) {
            spacing = (avail - g - t) / 3;
            margin = spacing;
        } else {
            margin = (avail - (g + spacing + t)) / 2;
        }
    } else if (spacing < 0) {
        spacing = (avail - margin - g - t) / 2;
    }
    margin = std::max(0, margin);
    spacing = std::max(0, spacing);
    TButtonGlyphLayout out;
    const int cx = client.Left + (client.Width() - glyph.cx) / 2;
    const int cy = client.Top + (client.Height() - glyph.cy) / 2;
    const int tx = client.Left + (client.Width() - text.cx) / 2;
    const int ty = client.Top + (client.Height() - text.cy) / 2;
    switch (layout) {
    case blGlyphLeft:
        out.Glyph = Bounds(client.Left + margin, cy, glyph.cx, glyph.cy);
        out.Text = Bounds(out.Glyph.Right + spacing, ty, text.cx, text.cy);
        break;
    case blGlyphRight:
        out.Glyph = Bounds(client.Right - margin - glyph.cx, cy, glyph.cx, glyph.cy);
        out.Text = Bounds(out.Glyph.Left - spacing - text.cx, ty, text.cx, text.cy);
        break;
    case blGlyphTop:
        out.Glyph = Bounds(cx, client.Top + margin, glyph.cx, glyph.cy);
        out.Text = Bounds(tx, out.Glyph.Bottom + spacing, text.cx, text.cy);
        break;
    case blGlyphBottom:
        out.Glyph = Bounds(cx, client.Bottom - margin - glyph.cy, glyph.cx, glyph.cy);
        out.Text = Bounds(tx, out.Glyph.Top - spacing - text.cy, text.cx, text.cy);
        break;
    }
    return out;
}

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

struct TKindInfo {
    const char* Caption;
    TModalResult Result;
    bool Default, Cancel;
};
// The program speaks Czech, so the standard kinds do too.
const TKindInfo KindInfo[] = {
    {"", mrNone, false, false},
    {"OK", mrOk, true, false},
    {"Storno", mrCancel, false, true},
    {"&Nápověda", mrNone, false, false},
    {"&Ano", mrYes, true, false},
    {"&Ne", mrNo, false, true},
    {"&Zavřít", mrNone, false, false},
    {"Přerušit", mrAbort, false, true},
    {"&Opakovat", mrRetry, false, false},
    {"&Ignorovat", mrIgnore, false, false},
    {"&Vše", mrAll, false, false},
};

// A small drawn picture for a standard kind: a tick, a cross, a question mark or a door.
QImage KindGlyph(TBitBtnKind kind) {
    if (kind == bkCustom) return {};
    QImage img(18, 18, QImage::Format_ARGB32);
    img.fill(0);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    auto pen = [&](QColor c) { p.setPen(QPen(c, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin)); };
    switch (kind) {
    case bkOK:
    case bkYes:
    case bkAll:
        pen(QColor(0, 128, 0));
        p.drawPolyline(QPolygonF({QPointF(3, 9), QPointF(7, 14), QPointF(15, 4)}));
        break;
    case bkCancel:
    case bkNo:
    case bkAbort:
        pen(QColor(192, 0, 0));
        p.drawLine(QPointF(4, 4), QPointF(14, 14));
        p.drawLine(QPointF(14, 4), QPointF(4, 14));
        break;
    case bkHelp:
    case bkIgnore: {
        pen(QColor(0, 0, 160));
        QPainterPath path;
        path.moveTo(5, 6);
        path.cubicTo(5, 1, 13, 1, 13, 6);
        path.cubicTo(13, 9, 9, 9, 9, 12);
        p.drawPath(path);
        p.drawPoint(QPointF(9, 15.5));
        break;
    }
    case bkClose:
    case bkRetry:
        pen(QColor(96, 64, 0));
        p.drawRect(QRectF(4, 2, 10, 14));
        p.drawPoint(QPointF(11, 9));
        break;
    default: break;
    }
    return img;
}

// The push button of a bitmap button: the style paints the frame, we paint glyph and caption.
class TGlyphPushButton : public QPushButton {
public:
    TGlyphPushButton(TBitBtn* owner, QWidget* parent) : QPushButton(parent), FOwner(owner) {}

protected:
    void paintEvent(QPaintEvent*) override {
        gui_detail::GuardedPaint(FPaintFailed, [this] { PaintFace(); });
    }

private:
    void PaintFace() {
        QPainter p(this);
        QStyleOptionButton opt;
        initStyleOption(&opt);
        opt.text.clear();
        opt.icon = QIcon();
        style()->drawControl(QStyle::CE_PushButtonBevel, &opt, &p, this);
        const TButtonGlyphLayout l = FOwner->FaceLayout();
        const bool pressed = isDown();
        const int shift = pressed ? 1 : 0;
        QImage glyph = GlyphImage(FOwner->GetGlyph(), FOwner->GetNumGlyphs(),
            !isEnabled()  ? bsDisabled
                : pressed ? bsDown
                          : bsUp);
        if (glyph.isNull()) glyph = KindGlyph(FOwner->GetKind());
        if (!glyph.isNull()) p.drawImage(l.Glyph.Left + shift, l.Glyph.Top + shift, glyph);
        if (!text().isEmpty()) {
            p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
            QRect r = ToQRect(l.Text).translated(shift, shift);
            r.adjust(-1, 0, 1, 0);
            p.drawText(r, Qt::AlignCenter | Qt::TextShowMnemonic, text());
        }
        if (hasFocus()) {
            QStyleOptionFocusRect fr;
            fr.initFrom(this);
            fr.rect = style()->subElementRect(QStyle::SE_PushButtonFocusRect, &opt, this);
            style()->drawPrimitive(QStyle::PE_FrameFocusRect, &fr, &p, this);
        }
    }

    TBitBtn* FOwner;
    bool FPaintFailed = false;
};

}  // namespace

// --- TBitBtn ---------------------------------------------------------------------------------

TBitBtn::TBitBtn(TComponent* owner) : TButton(owner), FGlyph(std::make_unique<TBitmap>()) {
    FGlyph->OnChange = [this](TObject* s) { GlyphChanged(s); };
}

TBitBtn::~TBitBtn() { FGlyph->OnChange = nullptr; }

QWidget* TBitBtn::CreateWidget(QWidget* parent) {
    auto* b = new TGlyphPushButton(this, parent);
    b->setAutoDefault(false);
    return b;
}

void TBitBtn::GlyphChanged(TObject*) {
    if (QWidget* w = WidgetIfMade()) w->update();
}

void TBitBtn::SetGlyph(TBitmap* v) {
    if (v) FGlyph->Assign(v);
    else FGlyph->SetSize(0, 0);
    GlyphChanged(nullptr);
}

void TBitBtn::SetNumGlyphs(TNumGlyphs v) {
    FNumGlyphs = std::clamp(v, 1, 4);
    GlyphChanged(nullptr);
}
void TBitBtn::SetLayout(TButtonLayout v) {
    FLayout = v;
    GlyphChanged(nullptr);
}
void TBitBtn::SetMargin(int v) {
    FMargin = std::max(-1, v);
    GlyphChanged(nullptr);
}
void TBitBtn::SetSpacing(int v) {
    FSpacing = std::max(-1, v);
    GlyphChanged(nullptr);
}

void TBitBtn::SetKind(TBitBtnKind v) {
    FKind = v;
    if (v != bkCustom) {
        const TKindInfo& k = KindInfo[v];
        // A stored window sets its own caption after the kind; ours is only the starting text.
        if (!GetComponentState().Contains(csLoading) || GetCaption().empty()) SetCaption(k.Caption);
        SetModalResult(k.Result);
        SetDefault(k.Default);
        SetCancel(k.Cancel);
    }
    GlyphChanged(nullptr);
}

void TBitBtn::Click() {
    if (FKind == bkClose) {
        TCustomForm* f = GetParentForm(this);
        TButton::Click();
        if (f) f->Close();
        return;
    }
    TButton::Click();
}

TButtonGlyphLayout TBitBtn::FaceLayout() const {
    QWidget* w = const_cast<TBitBtn*>(this)->Widget();
    TSize gs;
    QImage g = GlyphImage(FGlyph.get(), FNumGlyphs, bsUp);
    if (g.isNull()) g = KindGlyph(FKind);
    if (!g.isNull()) gs = {g.width(), g.height()};
    TSize ts;
    const std::string caption = StripHotkey(GetCaption());
    if (!caption.empty()) {
        const QSize s = w->fontMetrics().size(Qt::TextSingleLine, Q(caption));
        ts = {s.width(), s.height()};
    }
    TRect client = Rect(0, 0, w->width(), w->height());
    InflateRect(client, -3, -3);
    return LayoutGlyph(client, gs, ts, FLayout, FMargin, FSpacing);
}

// --- TSpeedButton ----------------------------------------------------------------------------

TSpeedButton::TSpeedButton(TComponent* owner) : TGraphicControl(owner), FGlyph(std::make_unique<TBitmap>()) {
    FGlyph->OnChange = [this](TObject* s) { GlyphChanged(s); };
    FParentColor = true;
    FControlStyle.Include(csCaptureMouse).Include(csDoubleClicks);
    // The click comes from MouseUp, which knows about groups and releases outside.
    FControlStyle.Exclude(csClickEvents);
    SetBounds(0, 0, 23, 22);
}

TSpeedButton::~TSpeedButton() { FGlyph->OnChange = nullptr; }

void TSpeedButton::GlyphChanged(TObject*) { Invalidate(); }

void TSpeedButton::SetGlyph(TBitmap* v) {
    if (v) FGlyph->Assign(v);
    else FGlyph->SetSize(0, 0);
    Invalidate();
}
void TSpeedButton::SetNumGlyphs(TNumGlyphs v) {
    FNumGlyphs = std::clamp(v, 1, 4);
    Invalidate();
}
void TSpeedButton::SetLayout(TButtonLayout v) {
    FLayout = v;
    Invalidate();
}
void TSpeedButton::SetMargin(int v) {
    FMargin = std::max(-1, v);
    Invalidate();
}
void TSpeedButton::SetSpacing(int v) {
    FSpacing = std::max(-1, v);
    Invalidate();
}
void TSpeedButton::SetFlat(bool v) {
    FFlat = v;
    Invalidate();
}

void TSpeedButton::SetState(TButtonState s) {
    if (s == FState) return;
    FState = s;
    Invalidate();
}

void TSpeedButton::SetGroupIndex(int v) {
    FGroupIndex = v;
    if (v == 0 && FDown) {
        FDown = false;
        SetState(bsUp);
    } else if (FDown) ReleaseOthers();
}

void TSpeedButton::SetAllowAllUp(bool v) {
    FAllowAllUp = v;
    // The whole group shares the setting.
    if (FGroupIndex == 0 || !GetParent()) return;
    for (int i = 0; i < GetParent()->ControlCount(); ++i) {
        auto* b = dynamic_cast<TSpeedButton*>(GetParent()->Controls(i));
        if (b && b != this && b->FGroupIndex == FGroupIndex) b->FAllowAllUp = v;
    }
}

void TSpeedButton::SetDown(bool v) {
    // A button outside a group cannot stay down.
    if (FGroupIndex == 0) v = false;
    if (v == FDown) return;
    // Without AllowAllUp a down button comes up only when another of its group goes down.
    if (FDown && !FAllowAllUp) return;
    FDown = v;
    SetState(v ? bsExclusive : bsUp);
    if (v) ReleaseOthers();
}

void TSpeedButton::ReleaseOthers() {
    if (FGroupIndex == 0 || !GetParent()) return;
    for (int i = 0; i < GetParent()->ControlCount(); ++i) {
        auto* b = dynamic_cast<TSpeedButton*>(GetParent()->Controls(i));
        if (b && b != this && b->FGroupIndex == FGroupIndex && b->FDown) {
            b->FDown = false;
            b->SetState(bsUp);
        }
    }
}

void TSpeedButton::Click() { TGraphicControl::Click(); }

void TSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TGraphicControl::MouseDown(button, shift, x, y);
    if (button != mbLeft || !GetEnabled()) return;
    if (!FDown) SetState(bsDown);
    FDragging = true;
}

void TSpeedButton::MouseMove(TShiftState shift, int x, int y) {
    TGraphicControl::MouseMove(shift, x, y);
    const bool inside = PtInRect(GetClientRect(), Point(x, y));
    if (inside != FMouseInControl) {
        FMouseInControl = inside;
        if (FFlat) Invalidate();
    }
    if (!FDragging) return;
    const TButtonState s = inside ? bsDown : FDown ? bsExclusive : bsUp;
    SetState(FDown && inside ? bsExclusive : s);
}

void TSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    TGraphicControl::MouseUp(button, shift, x, y);
    if (!FDragging || button != mbLeft) return;
    FDragging = false;
    const bool inside = PtInRect(GetClientRect(), Point(x, y));
    if (!inside) {
        SetState(FDown ? bsExclusive : bsUp);
        return;
    }
    if (FGroupIndex == 0) {
        SetState(bsUp);
    } else if (FDown) {
        if (FAllowAllUp) SetDown(false);
        else SetState(bsExclusive);
    } else {
        SetDown(true);
    }
    Click();
}

void TSpeedButton::Dispatch(TMessage& m) {
    switch (m.Msg) {
    case CM_DIALOGCHAR:
        // A speed button never has the focus: its accelerator clicks it.
        if (IsAccel(m.WParam, GetCaption()) && GetEnabled() && GetVisible() && GetParent() && GetParent()->Showing()) {
            Click();
            m.Result = 1;
        }
        return;
    case CM_MOUSELEAVE:
        FMouseInControl = false;
        if (FFlat) Invalidate();
        break;
    case CM_ENABLEDCHANGED:
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED: Invalidate(); break;
    default: break;
    }
    TGraphicControl::Dispatch(m);
}

void TSpeedButton::Paint() {
    TCanvas* c = Canvas();
    TRect r = GetClientRect();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(GetColor());
    c->FillRect(r);
    const bool pressed = FState == bsDown || FState == bsExclusive;
    if (pressed) {
        TRect e = r;
        DrawEdge(c->Handle(), e, FFlat ? BDR_SUNKENOUTER : EDGE_SUNKEN, BF_RECT);
    } else if (!FFlat || (FMouseInControl && GetEnabled())) {
        TRect e = r;
        DrawEdge(c->Handle(), e, FFlat ? BDR_RAISEDINNER : EDGE_RAISED, BF_RECT);
    }
    // The face of a down button is dithered lighter, as the user knows it.
    if (FState == bsExclusive) {
        TRect in = r;
        InflateRect(in, -2, -2);
        c->Brush()->SetColor(cl3DLight);
        c->FillRect(in);
    }
    const QImage glyph = GlyphImage(FGlyph.get(), FNumGlyphs, !GetEnabled() ? bsDisabled : FState);
    c->Font()->Assign(GetFont());
    const std::string caption = GetCaption();
    TSize ts;
    if (!caption.empty()) {
        TRect calc = Rect(0, 0, 0, 0);
        DrawText(c->Handle(), caption, -1, calc, DT_SINGLELINE | DT_CALCRECT);
        ts = {calc.Width(), calc.Height()};
    }
    TRect client = r;
    InflateRect(client, -2, -2);
    TButtonGlyphLayout l = LayoutGlyph(client, {glyph.width(), glyph.height()}, ts, FLayout, FMargin, FSpacing);
    const int shift = pressed ? 1 : 0;
    OffsetRect(l.Glyph, shift, shift);
    OffsetRect(l.Text, shift, shift);
    if (!glyph.isNull()) CanvasPaint::DrawImage(c, l.Glyph, glyph, Rect(0, 0, glyph.width(), glyph.height()));
    if (!caption.empty()) {
        c->Brush()->SetStyle(bsClear);
        if (!GetEnabled()) c->Font()->SetColor(clGrayText);
        DrawText(c->Handle(), caption, -1, l.Text, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    }
}
