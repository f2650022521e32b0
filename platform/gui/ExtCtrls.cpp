#include "platform/gui/ExtCtrls.h"

#include <algorithm>

#include "platform/gui/Application.h"

KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TCustomPanel, TCustomControl, {
    KAROMIL_PROP(BevelInner).Default(bvNone);
    KAROMIL_PROP(BevelOuter).Default(bvRaised);
    KAROMIL_PROP(BevelWidth).Default(1);
    KAROMIL_PROP(BorderWidth).Default(0);
    KAROMIL_PROP(Alignment).Default(taCenter);
    KAROMIL_PROP(Color, TypeInfoColor()).Default(clBtnFace);
})
KAROMIL_IMPLEMENT_CLASS(TPanel, TCustomPanel)
KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TBevel, TGraphicControl, {
    KAROMIL_PROP(Shape).Default(bsBox);
    KAROMIL_PROP(Style).Default(bsLowered);
})
KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TImage, TGraphicControl, {
    KAROMIL_PROP(Picture);
    KAROMIL_PROP(AutoSize).Default(0);
    KAROMIL_PROP(Stretch).Default(0);
    KAROMIL_PROP(Center).Default(0);
    KAROMIL_PROP(Transparent).Default(0);
})
KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TShape, TGraphicControl, {
    KAROMIL_PROP(Shape).Default(stRectangle);
    KAROMIL_PROP(Pen);
    KAROMIL_PROP(Brush);
})
KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TPaintBox, TGraphicControl, { p.Event("OnPaint", &Self::OnPaint, "TNotifyEvent"); })
KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TCustomRadioGroup, TCustomGroupBox, {
    KAROMIL_PROP(Items);
    KAROMIL_PROP(ItemIndex).Default(-1);
    KAROMIL_PROP(Columns).Default(1);
})
KAROMIL_IMPLEMENT_CLASS(TRadioGroup, TCustomRadioGroup)
KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TSplitter, TGraphicControl, {
    KAROMIL_PROP(MinSize).Default(30);
    p.Event("OnMoved", &Self::OnMoved, "TNotifyEvent");
})
KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TTimer, TComponent, {
    KAROMIL_PROP(Enabled).Default(1);
    KAROMIL_PROP(Interval).Default(1000);
    p.Event("OnTimer", &Self::OnTimer, "TNotifyEvent");
})

// --- panel -----------------------------------------------------------------------------------

void DrawBevelRing(TCanvas* c, TRect& r, TBevelCut cut, int w) {
    if (cut == bvNone || w <= 0) return;
    if (cut != bvSpace) {
        const TColor top = cut == bvRaised ? clBtnHighlight : clBtnShadow;
        const TColor bottom = cut == bvRaised ? clBtnShadow : clBtnHighlight;
        TRect ring = r;
        for (int i = 0; i < w; ++i) {
            c->Pen()->SetColor(top);
            c->Polyline(
                {Point(ring.Left, ring.Bottom - 1), Point(ring.Left, ring.Top), Point(ring.Right - 1, ring.Top)});
            c->Pen()->SetColor(bottom);
            c->Polyline({Point(ring.Right - 1, ring.Top), Point(ring.Right - 1, ring.Bottom - 1),
                Point(ring.Left - 1, ring.Bottom - 1)});
            InflateRect(ring, -1, -1);
        }
    }
    InflateRect(r, -w, -w);
}

TCustomPanel::TCustomPanel(TComponent* owner) : TCustomControl(owner) {
    FControlStyle.Include(csAcceptsControls).Include(csSetCaption).Include(csOpaque).Include(csDoubleClicks);
    SetColor(clBtnFace);
    SetBounds(0, 0, 185, 41);
}

int TCustomPanel::FrameWidth() const noexcept {
    return FBorderWidth + (FBevelOuter != bvNone ? FBevelWidth : 0) + (FBevelInner != bvNone ? FBevelWidth : 0);
}

TRect TCustomPanel::InnerRect() const {
    TRect r = GetClientRect();
    InflateRect(r, -FrameWidth(), -FrameWidth());
    return r;
}

void TCustomPanel::AlignControls(TControl* control, TRect& rect) {
    InflateRect(rect, -FrameWidth(), -FrameWidth());
    TCustomControl::AlignControls(control, rect);
}

void TCustomPanel::SetBevelInner(TPanelBevel v) {
    FBevelInner = v;
    Realign();
    Invalidate();
}
void TCustomPanel::SetBevelOuter(TPanelBevel v) {
    FBevelOuter = v;
    Realign();
    Invalidate();
}
void TCustomPanel::SetBevelWidth(TBevelWidth v) {
    FBevelWidth = std::max(1, v);
    Realign();
    Invalidate();
}
void TCustomPanel::SetBorderWidth(TBorderWidth v) {
    FBorderWidth = std::max(0, v);
    Realign();
    Invalidate();
}
void TCustomPanel::SetAlignment(TAlignment v) {
    FAlignment = v;
    Invalidate();
}

void TCustomPanel::Paint() {
    TCanvas* c = Canvas();
    TRect r = GetClientRect();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(GetColor());
    c->FillRect(r);
    c->Pen()->SetStyle(psSolid);
    c->Pen()->SetWidth(1);
    DrawBevelRing(c, r, FBevelOuter, FBevelWidth);
    InflateRect(r, -FBorderWidth, -FBorderWidth);
    DrawBevelRing(c, r, FBevelInner, FBevelWidth);
    const std::string text = GetCaption();
    if (text.empty()) return;
    c->Font()->Assign(GetFont());
    c->Brush()->SetStyle(bsClear);
    uint32_t flags = DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS;
    if (FAlignment == taCenter) flags |= DT_CENTER;
    else if (FAlignment == taRightJustify) flags |= DT_RIGHT;
    if (!GetEnabled()) c->Font()->SetColor(clGrayText);
    DrawText(c->Handle(), text, -1, r, flags);
}

void TCustomPanel::Dispatch(TMessage& m) {
    if (m.Msg == CM_TEXTCHANGED || m.Msg == CM_ENABLEDCHANGED) Invalidate();
    TCustomControl::Dispatch(m);
}

// --- bevel -----------------------------------------------------------------------------------

TBevel::TBevel(TComponent* owner) : TGraphicControl(owner) {
    FControlStyle.Include(csReplicatable);
    SetBounds(0, 0, 50, 50);
}

void TBevel::SetShape(TBevelShape v) {
    FShape = v;
    Invalidate();
}
void TBevel::SetStyle(TBevelStyle v) {
    FStyle = v;
    Invalidate();
}

void TBevel::Paint() {
    TCanvas* c = Canvas();
    const TColor dark = clBtnShadow, light = clBtnHighlight;
    const TColor first = FStyle == bsLowered ? dark : light;
    const TColor second = FStyle == bsLowered ? light : dark;
    const int w = GetWidth(), h = GetHeight();
    c->Pen()->SetStyle(psSolid);
    c->Pen()->SetWidth(1);
    auto line = [&](TColor col, int x1, int y1, int x2, int y2) {
        c->Pen()->SetColor(col);
        c->MoveTo(x1, y1);
        c->LineTo(x2, y2);
    };
    auto frame = [&](TRect r, TColor topLeft, TColor bottomRight) {
        line(topLeft, r.Left, r.Bottom - 1, r.Left, r.Top);
        line(topLeft, r.Left, r.Top, r.Right - 1, r.Top);
        line(bottomRight, r.Right - 1, r.Top, r.Right - 1, r.Bottom - 1);
        line(bottomRight, r.Right - 1, r.Bottom - 1, r.Left - 1, r.Bottom - 1);
    };
    switch (FShape) {
    case bsBox: frame(Rect(0, 0, w, h), first, second); break;
    case bsFrame:
        frame(Rect(0, 0, w - 1, h - 1), first, first);
        frame(Rect(1, 1, w, h), second, second);
        break;
    case bsTopLine:
        line(first, 0, 0, w, 0);
        line(second, 0, 1, w, 1);
        break;
    case bsBottomLine:
        line(first, 0, h - 2, w, h - 2);
        line(second, 0, h - 1, w, h - 1);
        break;
    case bsLeftLine:
        line(first, 0, 0, 0, h);
        line(second, 1, 0, 1, h);
        break;
    case bsRightLine:
        line(first, w - 2, 0, w - 2, h);
        line(second, w - 1, 0, w - 1, h);
        break;
    case bsSpacer: break;
    }
}

// --- image -----------------------------------------------------------------------------------

TImage::TImage(TComponent* owner) : TGraphicControl(owner), FPicture(std::make_unique<TPicture>()) {
    FPicture->OnChange = [this](TObject* s) { PictureChanged(s); };
    SetBounds(0, 0, 105, 105);
}

TImage::~TImage() { FPicture->OnChange = nullptr; }

void TImage::SetPicture(TPicture* v) { FPicture->Assign(v); }
void TImage::SetAutoSize(bool v) {
    FAutoSize = v;
    AdjustSize();
}
void TImage::SetStretch(bool v) {
    FStretch = v;
    Invalidate();
}
void TImage::SetCenter(bool v) {
    FCenter = v;
    Invalidate();
}

void TImage::SetTransparent(bool v) {
    FTransparent = v;
    if (TGraphic* g = FPicture->GetGraphic(); g && g->GetTransparent() != v) g->SetTransparent(v);
    Invalidate();
}

void TImage::PictureChanged(TObject*) {
    if (TGraphic* g = FPicture->GetGraphic(); g && g->GetTransparent() != FTransparent) g->SetTransparent(FTransparent);
    AdjustSize();
    Invalidate();
}

void TImage::AdjustSize() {
    if (!FAutoSize || FPicture->Empty() || GetComponentState().Contains(csLoading)) return;
    SetBounds(GetLeft(), GetTop(), FPicture->GetWidth(), FPicture->GetHeight());
}

void TImage::Loaded() {
    TGraphicControl::Loaded();
    AdjustSize();
}

TRect TImage::DestRect() const {
    const int w = GetWidth(), h = GetHeight();
    if (FStretch) return Rect(0, 0, w, h);
    const int pw = FPicture->GetWidth(), ph = FPicture->GetHeight();
    if (FCenter) return Bounds((w - pw) / 2, (h - ph) / 2, pw, ph);
    return Rect(0, 0, pw, ph);
}

void TImage::Paint() {
    if (FPicture->Empty()) return;
    Canvas()->StretchDraw(DestRect(), FPicture->GetGraphic());
}

// --- shape -----------------------------------------------------------------------------------

TShape::TShape(TComponent* owner)
    : TGraphicControl(owner), FPen(std::make_unique<TPen>()), FBrush(std::make_unique<TBrush>()) {
    FPen->OnChange = [this](TObject* s) { StyleChanged(s); };
    FBrush->OnChange = [this](TObject* s) { StyleChanged(s); };
    FControlStyle.Include(csReplicatable);
    SetBounds(0, 0, 65, 65);
}

TShape::~TShape() {
    FPen->OnChange = nullptr;
    FBrush->OnChange = nullptr;
}

void TShape::SetShape(TShapeType v) {
    FShape = v;
    Invalidate();
}

// --- paint box -----------------------------------------------------------------------------

TPaintBox::TPaintBox(TComponent* owner) : TGraphicControl(owner) {
    FControlStyle.Include(csReplicatable);
    FParentColor = true;
    SetBounds(0, 0, 105, 105);
}

void TPaintBox::Paint() {
    TCanvas* c = Canvas();
    c->Font()->Assign(GetFont());
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(GetColor());
    if (OnPaint) OnPaint(this);
}

void TShape::Paint() {
    TCanvas* c = Canvas();
    c->SetPen(FPen.get());
    c->SetBrush(FBrush.get());
    // The pen's width stays inside the control.
    const int pw = FPen->GetWidth();
    int x = pw / 2, y = pw / 2;
    int w = GetWidth() - pw + 1, h = GetHeight() - pw + 1;
    if (pw == 0) {
        --w;
        --h;
    }
    if (FShape == stSquare || FShape == stRoundSquare || FShape == stCircle) {
        const int side = std::min(w, h);
        x += (w - side) / 2;
        y += (h - side) / 2;
        w = h = side;
    }
    switch (FShape) {
    case stRectangle:
    case stSquare: c->Rectangle(x, y, x + w, y + h); break;
    case stRoundRect:
    case stRoundSquare: c->RoundRect(x, y, x + w, y + h, std::min(w, h) / 4, std::min(w, h) / 4); break;
    case stEllipse:
    case stCircle: c->Ellipse(x, y, x + w, y + h); break;
    }
}

// --- radio group -----------------------------------------------------------------------------

TCustomRadioGroup::TCustomRadioGroup(TComponent* owner)
    : TCustomGroupBox(owner), FItems(std::make_unique<TStringList>()) {
    FItems->OnChange = [this](TObject* s) { ItemsChanged(s); };
}

TCustomRadioGroup::~TCustomRadioGroup() {
    FItems->OnChange = nullptr;
    // The buttons belong to the group; they go before the group's window does.
    for (TRadioButton* b : FButtons) delete b;
}

void TCustomRadioGroup::ItemsChanged(TObject*) {
    if (GetComponentState().Contains(csLoading)) return;
    if (FItemIndex >= FItems->Count()) FItemIndex = FItems->Count() - 1;
    UpdateButtons();
}

void TCustomRadioGroup::Loaded() {
    TCustomGroupBox::Loaded();
    UpdateButtons();
}

void TCustomRadioGroup::UpdateButtons() {
    FUpdating = true;
    while (int(FButtons.size()) > FItems->Count()) {
        delete FButtons.back();
        FButtons.pop_back();
    }
    while (int(FButtons.size()) < FItems->Count()) {
        auto* b = new TRadioButton(nullptr);
        b->SetParent(this);
        b->SetParentColor(true);
        b->OnClick = [this](TObject* s) { ButtonClicked(s); };
        FButtons.push_back(b);
    }
    for (int i = 0; i < int(FButtons.size()); ++i) {
        FButtons[size_t(i)]->SetCaption(FItems->Strings(i));
        FButtons[size_t(i)]->SetChecked(i == FItemIndex);
        FButtons[size_t(i)]->SetEnabled(GetEnabled());
    }
    FUpdating = false;
    ArrangeButtons();
}

void TCustomRadioGroup::ArrangeButtons() {
    if (FButtons.empty()) return;
    Canvas()->Font()->Assign(GetFont());
    const int top = Canvas()->TextHeight("0") + 2;
    const int rows = (int(FButtons.size()) + FColumns - 1) / FColumns;
    const int colWidth = std::max(1, (GetClientWidth() - 10) / FColumns);
    const int rowHeight = std::max(1, (GetClientHeight() - top - 4) / rows);
    const int buttonHeight = std::min(rowHeight, Canvas()->TextHeight("0") + 4);
    for (int i = 0; i < int(FButtons.size()); ++i) {
        const int col = i / rows, row = i % rows;
        FButtons[size_t(i)]->SetBounds(
            8 + col * colWidth, top + row * rowHeight + (rowHeight - buttonHeight) / 2, colWidth - 2, buttonHeight);
    }
}

void TCustomRadioGroup::SetItemIndex(int v) {
    if (GetComponentState().Contains(csLoading)) {
        FItemIndex = v;
        return;
    }
    if (v < -1 || v >= FItems->Count()) v = -1;
    if (v == FItemIndex) return;
    if (v < 0) {
        FItemIndex = -1;
        FUpdating = true;
        for (TRadioButton* b : FButtons) b->SetChecked(false);
        FUpdating = false;
        return;
    }
    // Checking the button reports back through ButtonClicked.
    FButtons[size_t(v)]->SetChecked(true);
    FItemIndex = v;
}

void TCustomRadioGroup::SetColumns(int v) {
    FColumns = std::clamp(v, 1, 16);
    ArrangeButtons();
}

void TCustomRadioGroup::ButtonClicked(TObject* sender) {
    if (FUpdating) return;
    auto it = std::find(FButtons.begin(), FButtons.end(), sender);
    if (it == FButtons.end() || !(*it)->GetChecked()) return;
    FItemIndex = int(it - FButtons.begin());
    Click();
}

void TCustomRadioGroup::Dispatch(TMessage& m) {
    TCustomGroupBox::Dispatch(m);
    switch (m.Msg) {
    case WM_SIZE:
    case CM_FONTCHANGED: ArrangeButtons(); break;
    case CM_ENABLEDCHANGED:
        for (TRadioButton* b : FButtons) b->SetEnabled(GetEnabled());
        break;
    default: break;
    }
}

// --- splitter --------------------------------------------------------------------------------

TSplitter::TSplitter(TComponent* owner) : TGraphicControl(owner) {
    SetAlign(alLeft);
    SetBounds(0, 0, 3, 100);
    SetCursor(crHSplit);
    FParentColor = true;
}

TControl* TSplitter::FindControl() const {
    TWinControl* p = GetParent();
    if (!p) return nullptr;
    for (int i = 0; i < p->ControlCount(); ++i) {
        TControl* c = p->Controls(i);
        if (c == this || !c->GetVisible() || c->GetAlign() != GetAlign()) continue;
        switch (GetAlign()) {
        case alLeft:
            if (c->GetLeft() + c->GetWidth() == GetLeft()) return c;
            break;
        case alRight:
            if (c->GetLeft() == GetLeft() + GetWidth()) return c;
            break;
        case alTop:
            if (c->GetTop() + c->GetHeight() == GetTop()) return c;
            break;
        case alBottom:
            if (c->GetTop() == GetTop() + GetHeight()) return c;
            break;
        default: break;
        }
    }
    return nullptr;
}

void TSplitter::Paint() {
    TCanvas* c = Canvas();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(GetColor());
    c->FillRect(GetClientRect());
}

void TSplitter::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TGraphicControl::MouseDown(button, shift, x, y);
    if (button != mbLeft) return;
    FControl = FindControl();
    if (!FControl) return;
    FDownPos = ClientToScreen(Point(x, y));
    const bool horz = GetAlign() == alLeft || GetAlign() == alRight;
    FStartSize = horz ? FControl->GetWidth() : FControl->GetHeight();
    FDragging = true;
}

void TSplitter::MouseMove(TShiftState shift, int x, int y) {
    TGraphicControl::MouseMove(shift, x, y);
    if (!FDragging) return;
    const TPoint now = ClientToScreen(Point(x, y));
    const bool horz = GetAlign() == alLeft || GetAlign() == alRight;
    MoveBy(horz ? now.X - FDownPos.X : now.Y - FDownPos.Y);
}

void TSplitter::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    TGraphicControl::MouseUp(button, shift, x, y);
    if (!FDragging) return;
    FDragging = false;
    FControl = nullptr;
    if (OnMoved) OnMoved(this);
}

void TSplitter::MoveBy(int delta) {
    if (!FControl || !GetParent()) return;
    const TAlign a = GetAlign();
    const bool horz = a == alLeft || a == alRight;
    int size = (a == alLeft || a == alTop) ? FStartSize + delta : FStartSize - delta;
    // The control that fills the rest keeps at least MinSize too.
    int maxSize = horz ? GetParent()->GetClientWidth() : GetParent()->GetClientHeight();
    for (int i = 0; i < GetParent()->ControlCount(); ++i) {
        TControl* c = GetParent()->Controls(i);
        if (c->GetVisible() && c->GetAlign() == alClient) {
            maxSize = (horz ? FControl->GetWidth() + c->GetWidth() : FControl->GetHeight() + c->GetHeight()) - FMinSize;
        }
    }
    size = std::max(FMinSize, std::min(size, maxSize));
    if (horz) FControl->SetWidth(size);
    else FControl->SetHeight(size);
}

// --- timer -----------------------------------------------------------------------------------

TTimer::TTimer(TComponent* owner) : TComponent(owner) {}

TTimer::~TTimer() {
    if (FId) KillTimer(nullptr, FId);
}

void TTimer::SetEnabled(bool v) {
    FEnabled = v;
    UpdateTimer();
}
void TTimer::SetInterval(unsigned v) {
    FInterval = v;
    UpdateTimer();
}

void TTimer::Loaded() {
    TComponent::Loaded();
    UpdateTimer();
}

void TTimer::UpdateTimer() {
    if (FId) {
        KillTimer(nullptr, FId);
        FId = 0;
    }
    if (!FEnabled || FInterval == 0 || GetComponentState().Contains(csLoading)) return;
    FId = SetTimer(nullptr, 0, FInterval, [this](HWND, UINT, uintptr_t, DWORD) { Timer(); });
}

void TTimer::Timer() {
    if (OnTimer) OnTimer(this);
}
