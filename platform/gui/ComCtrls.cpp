#include "platform/gui/ComCtrls.h"

#include <QtWidgets/QSlider>

#include <algorithm>

#include "platform/gui/Application.h"
#include "platform/gui/Menus.h"

KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TCustomTabControl, TCustomControl, {
    p.Event("OnChange", &Self::OnChange, "TNotifyEvent");
    p.Event("OnChanging", &Self::OnChanging, "TTabChangingEvent");
})
KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TTabControl, TCustomTabControl, {
    KAROMIL_PROP(Tabs);
    KAROMIL_PROP(TabIndex).Default(-1);
})
KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TTabSheet, TCustomControl, {
    KAROMIL_PROP(PageControl);
    KAROMIL_PROP(PageIndex);
    KAROMIL_PROP(TabVisible).Default(1);
})
KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TPageControl, TCustomTabControl, {
    KAROMIL_PROP(ActivePage);
    KAROMIL_PROP(ActivePageIndex);
})
KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TStatusPanel, TCollectionItem, {
    KAROMIL_PROP(Text);
    KAROMIL_PROP(Width).Default(50);
    KAROMIL_PROP(Alignment).Default(taLeftJustify);
})
KAROMIL_IMPLEMENT_CLASS(TStatusPanels, TCollection)
KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TStatusBar, TCustomControl, {
    KAROMIL_PROP(Panels);
    KAROMIL_PROP(SimplePanel).Default(0);
    KAROMIL_PROP(SimpleText);
})
KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TToolButton, TGraphicControl, {
    KAROMIL_PROP(Style).Default(tbsButton);
    KAROMIL_PROP(Grouped).Default(0);
    KAROMIL_PROP(Down).Default(0);
    KAROMIL_PROP(ImageIndex).Default(-1);
    KAROMIL_PROP(DropdownMenu);
})
KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TToolBar, TCustomControl, {
    KAROMIL_PROP(ButtonWidth).Default(23);
    KAROMIL_PROP(ButtonHeight).Default(22);
    KAROMIL_PROP(Flat).Default(0);
    KAROMIL_PROP(ShowCaptions).Default(0);
    KAROMIL_PROP(Wrapable).Default(1);
    KAROMIL_PROP(AutoSize).Default(0);
    KAROMIL_PROP(Images);
})
KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TUpDown, TCustomControl, {
    KAROMIL_PROP(Associate);
    KAROMIL_PROP(Min).Default(0);
    KAROMIL_PROP(Max).Default(100);
    KAROMIL_PROP(Position).Default(0);
    KAROMIL_PROP(Wrap).Default(0);
    p.Event("OnClick", &Self::OnClickButton, "TUDClickEvent");
})
KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TProgressBar, TCustomControl, {
    KAROMIL_PROP(Min).Default(0);
    KAROMIL_PROP(Max).Default(100);
    KAROMIL_PROP(Position).Default(0);
    KAROMIL_PROP(Step).Default(10);
})
KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TTrackBar, TWidgetControl, {
    KAROMIL_PROP(Min).Default(0);
    KAROMIL_PROP(Max).Default(10);
    KAROMIL_PROP(Position).Default(0);
    p.Event("OnChange", &Self::OnChange, "TNotifyEvent");
})

namespace {
bool CtrlHeld(LPARAM keyData) { return KeyDataToShiftState(keyData).Contains(ssCtrl) || GetKeyState(VK_CONTROL) < 0; }
bool ShiftHeld(LPARAM keyData) { return KeyDataToShiftState(keyData).Contains(ssShift) || GetKeyState(VK_SHIFT) < 0; }
}  // namespace

// --- tabs ------------------------------------------------------------------------------------

TCustomTabControl::TCustomTabControl(TComponent* owner) : TCustomControl(owner) {
    FControlStyle.Include(csAcceptsControls).Include(csDoubleClicks).Include(csOpaque);
    SetColor(clBtnFace);
    SetTabStop(true);
    SetBounds(0, 0, 289, 193);
}

TCustomTabControl::~TCustomTabControl() = default;

int TCustomTabControl::TabHeight() const {
    TCanvas* c = Canvas();
    c->Font()->Assign(GetFont());
    return c->TextHeight("Áy") + 8;
}

TRect TCustomTabControl::TabRect(int index) const {
    if (index < 0 || index >= ShownTabCount()) return {};
    TCanvas* c = Canvas();
    c->Font()->Assign(GetFont());
    const int h = TabHeight();
    int x = 2;
    for (int i = 0;; ++i) {
        const int w = c->TextWidth(StripHotkey(ShownTabCaption(i))) + 16;
        if (i == index) return Rect(x, 2, x + w, h);
        x += w;
    }
}

int TCustomTabControl::IndexOfTabAt(int x, int y) const {
    for (int i = 0; i < ShownTabCount(); ++i) {
        if (PtInRect(TabRect(i), Point(x, y))) return i;
    }
    return -1;
}

TRect TCustomTabControl::DisplayRect() const {
    TRect r = GetClientRect();
    r.Top = TabHeight();
    InflateRect(r, -4, -4);
    return r;
}

void TCustomTabControl::AlignControls(TControl* control, TRect& rect) {
    rect = DisplayRect();
    TCustomControl::AlignControls(control, rect);
}

bool TCustomTabControl::CanChange() {
    bool allow = true;
    if (OnChanging) OnChanging(this, allow);
    return allow;
}

void TCustomTabControl::Change() {
    if (OnChange) OnChange(this);
}

void TCustomTabControl::UserSelect(int shownIndex) {
    if (shownIndex < 0 || shownIndex >= ShownTabCount() || shownIndex == ShownTabIndex()) return;
    if (!CanChange()) return;
    SelectShownTab(shownIndex);
    Change();
}

void TCustomTabControl::SelectNextTab(bool goForward) {
    const int n = ShownTabCount();
    if (n == 0) return;
    const int cur = ShownTabIndex();
    int next = cur < 0 ? 0 : goForward ? (cur + 1) % n : (cur + n - 1) % n;
    UserSelect(next);
}

void TCustomTabControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TCustomControl::MouseDown(button, shift, x, y);
    if (button != mbLeft) return;
    const int i = IndexOfTabAt(x, y);
    if (i < 0) return;
    if (CanFocus() && !Focused()) SetFocus();
    UserSelect(i);
}

void TCustomTabControl::KeyDown(WORD& key, TShiftState shift) {
    TCustomControl::KeyDown(key, shift);
    if (shift.Empty() && (key == VK_LEFT || key == VK_RIGHT)) {
        SelectNextTab(key == VK_RIGHT);
        key = 0;
    }
}

void TCustomTabControl::Dispatch(TMessage& m) {
    switch (m.Msg) {
    case WM_GETDLGCODE:
        m.Result = DLGC_WANTARROWS;
        return;
    case CM_DIALOGKEY:
        // Ctrl+Tab pages through the tabs while the focus is anywhere inside.
        if (m.WParam == VK_TAB && CtrlHeld(m.LParam)) {
            TCustomForm* f = GetParentForm(this);
            TWinControl* active = f ? f->GetActiveControl() : nullptr;
            if (active && (active == this || ContainsControl(active))) {
                SelectNextTab(!ShiftHeld(m.LParam));
                m.Result = 1;
                return;
            }
        }
        break;
    case CM_FOCUSCHANGED:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case CM_FONTCHANGED:
        Invalidate();
        break;
    default: break;
    }
    TCustomControl::Dispatch(m);
}

void TCustomTabControl::Paint() {
    TCanvas* c = Canvas();
    const TRect client = GetClientRect();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(GetColor());
    c->FillRect(client);
    const int h = TabHeight();
    TRect frame = Rect(0, h, client.Right, client.Bottom);
    TRect e = frame;
    DrawEdge(c->Handle(), e, EDGE_RAISED, BF_RECT);
    c->Font()->Assign(GetFont());
    const int sel = ShownTabIndex();
    for (int i = 0; i < ShownTabCount(); ++i) {
        TRect r = TabRect(i);
        if (i == sel) { r.Left -= 2; r.Top -= 2; r.Right += 2; }
        r.Bottom = h + (i == sel ? 1 : 0);
        c->Brush()->SetColor(GetColor());
        c->FillRect(r);
        TRect edge = r;
        DrawEdge(c->Handle(), edge, EDGE_RAISED, BF_LEFT | BF_TOP | BF_RIGHT);
        c->Brush()->SetStyle(bsClear);
        TRect text = r;
        text.Top += 1;
        DrawText(c->Handle(), ShownTabCaption(i), -1, text, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
        c->Brush()->SetStyle(bsSolid);
        if (i == sel && Focused()) {
            TRect fr = r;
            InflateRect(fr, -3, -3);
            c->DrawFocusRect(fr);
        }
    }
}

// --- TTabControl -----------------------------------------------------------------------------

TTabControl::TTabControl(TComponent* owner) : TCustomTabControl(owner), FTabs(std::make_unique<TStringList>()) {
    FTabs->OnChange = [this](TObject* s) { TabsChanged(s); };
}

TTabControl::~TTabControl() { FTabs->OnChange = nullptr; }

int TTabControl::ShownTabCount() const { return FTabs->Count(); }
std::string TTabControl::ShownTabCaption(int index) const { return FTabs->Strings(index); }

void TTabControl::TabsChanged(TObject*) {
    if (FTabIndex >= FTabs->Count()) FTabIndex = FTabs->Count() - 1;
    if (FTabIndex < 0 && FTabs->Count() > 0) FTabIndex = 0;
    Invalidate();
}

void TTabControl::SetTabIndex(int v) {
    if (v < -1 || v >= FTabs->Count()) v = -1;
    FTabIndex = v;
    Invalidate();
}

// --- TTabSheet -------------------------------------------------------------------------------

TTabSheet::TTabSheet(TComponent* owner) : TCustomControl(owner) {
    FControlStyle.Include(csAcceptsControls).Include(csOpaque);
    FParentColor = false;
    SetColor(clBtnFace);
    SetVisible(false);
    SetAlign(alClient);
}

TTabSheet::~TTabSheet() {
    if (FPageControl) FPageControl->RemovePage(this);
}

void TTabSheet::SetParent(TWinControl* parent) {
    auto* pc = dynamic_cast<TPageControl*>(parent);
    if (FPageControl && FPageControl != pc) FPageControl->RemovePage(this);
    TCustomControl::SetParent(parent);
    if (pc && FPageControl != pc) pc->InsertPage(this);
}

void TTabSheet::SetPageControl(TPageControl* v) { SetParent(v); }

int TTabSheet::GetPageIndex() const {
    if (!FPageControl) return -1;
    const auto& pages = FPageControl->FPages;
    return int(std::find(pages.begin(), pages.end(), this) - pages.begin());
}

void TTabSheet::SetPageIndex(int v) {
    if (FPageControl) FPageControl->MovePage(this, v);
}

void TTabSheet::SetTabVisible(bool v) {
    if (v == FTabVisible) return;
    FTabVisible = v;
    if (FPageControl) FPageControl->TabsChanged();
}

int TTabSheet::TabIndex() const {
    if (!FPageControl || !FTabVisible) return -1;
    int n = 0;
    for (TTabSheet* p : FPageControl->FPages) {
        if (p == this) return n;
        if (p->FTabVisible) ++n;
    }
    return -1;
}

void TTabSheet::Dispatch(TMessage& m) {
    if (m.Msg == CM_TEXTCHANGED && FPageControl) FPageControl->TabsChanged();
    TCustomControl::Dispatch(m);
}

void TTabSheet::Paint() {
    TCanvas* c = Canvas();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(GetColor());
    c->FillRect(GetClientRect());
}

// --- TPageControl ----------------------------------------------------------------------------

TPageControl::TPageControl(TComponent* owner) : TCustomTabControl(owner) {}

TPageControl::~TPageControl() {
    for (TTabSheet* p : FPages) p->FPageControl = nullptr;
}

int TPageControl::ShownTabCount() const {
    return int(std::count_if(FPages.begin(), FPages.end(), [](TTabSheet* p) { return p->FTabVisible; }));
}

TTabSheet* TPageControl::ShownPage(int index) const {
    for (TTabSheet* p : FPages) {
        if (!p->FTabVisible) continue;
        if (index-- == 0) return p;
    }
    return nullptr;
}

std::string TPageControl::ShownTabCaption(int index) const {
    TTabSheet* p = ShownPage(index);
    return p ? p->GetCaption() : std::string();
}

int TPageControl::ShownTabIndex() const { return FActivePage ? FActivePage->TabIndex() : -1; }
void TPageControl::SelectShownTab(int index) { SetActivePage(ShownPage(index)); }

void TPageControl::InsertPage(TTabSheet* page) {
    FPages.push_back(page);
    page->FPageControl = this;
    // A page control never shows an empty page area while it has pages.
    if (!FActivePage && !GetComponentState().Contains(csLoading)) SetActivePage(page);
    else page->SetVisible(page == FActivePage);
    TabsChanged();
}

void TPageControl::RemovePage(TTabSheet* page) {
    auto it = std::find(FPages.begin(), FPages.end(), page);
    if (it == FPages.end()) return;
    TTabSheet* next = FActivePage == page ? FindNextPage(page, true, true) : FActivePage;
    if (next == page) next = nullptr;
    FPages.erase(it);
    page->FPageControl = nullptr;
    if (FActivePage == page) {
        FActivePage = nullptr;
        SetActivePage(next);
    }
    TabsChanged();
}

void TPageControl::MovePage(TTabSheet* page, int index) {
    auto it = std::find(FPages.begin(), FPages.end(), page);
    if (it == FPages.end()) return;
    FPages.erase(it);
    index = std::clamp(index, 0, int(FPages.size()));
    FPages.insert(FPages.begin() + index, page);
    TabsChanged();
}

void TPageControl::TabsChanged() {
    // A page whose tab went away cannot stay the shown one.
    if (FActivePage && !FActivePage->FTabVisible) SetActivePage(FindNextPage(FActivePage, true, true));
    Realign();
    Invalidate();
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* current, bool goForward, bool checkTabVisible) const {
    const int n = int(FPages.size());
    if (n == 0) return nullptr;
    auto it = std::find(FPages.begin(), FPages.end(), current);
    int start = it == FPages.end() ? (goForward ? n - 1 : 0) : int(it - FPages.begin());
    int i = start;
    for (int step = 0; step < n; ++step) {
        i = goForward ? (i + 1) % n : (i + n - 1) % n;
        if (!checkTabVisible || FPages[size_t(i)]->FTabVisible) return FPages[size_t(i)];
    }
    return nullptr;
}

void TPageControl::SelectNextPage(bool goForward) { SelectNextTab(goForward); }

void TPageControl::SetActivePage(TTabSheet* page) {
    if (page && page->FPageControl != this) return;
    if (page == FActivePage) return;
    TCustomForm* form = GetParentForm(this);
    TWinControl* focused = form ? form->GetActiveControl() : nullptr;
    const bool focusInOld = FActivePage && focused && FActivePage->ContainsControl(focused);
    TTabSheet* old = FActivePage;
    FActivePage = page;
    if (page) {
        page->SetBoundsRect(DisplayRect());
        page->BringToFront();
        page->SetVisible(true);
    }
    // The focus leaves the page being hidden: to the new page's first control, or to the tabs.
    if (focusInOld) {
        TWinControl* next = page ? page->FindNextControl(nullptr, true, true, false) : nullptr;
        if (next && next->CanFocus()) next->SetFocus();
        else if (CanFocus()) SetFocus();
    }
    if (old) old->SetVisible(false);
    Invalidate();
}

int TPageControl::GetActivePageIndex() const { return FActivePage ? FActivePage->GetPageIndex() : -1; }

void TPageControl::SetActivePageIndex(int v) {
    SetActivePage(v >= 0 && v < int(FPages.size()) ? FPages[size_t(v)] : nullptr);
}

void TPageControl::Loaded() {
    TCustomTabControl::Loaded();
    if (!FActivePage && !FPages.empty()) SetActivePage(FindNextPage(nullptr, true, true));
    for (TTabSheet* p : FPages) p->SetVisible(p == FActivePage);
}

void TPageControl::AlignControls(TControl* control, TRect& rect) {
    rect = DisplayRect();
    for (TTabSheet* p : FPages) p->SetBoundsRect(rect);
    TCustomTabControl::AlignControls(control, rect);
}

// --- status bar ------------------------------------------------------------------------------

void TStatusPanel::Assign(TPersistent* source) {
    if (auto* p = dynamic_cast<TStatusPanel*>(source)) {
        FText = p->FText;
        FWidth = p->FWidth;
        FAlignment = p->FAlignment;
        Changed(false);
        return;
    }
    TCollectionItem::Assign(source);
}

void TStatusPanel::SetText(const std::string& v) { FText = v; Changed(false); }
void TStatusPanel::SetWidth(int v) { FWidth = std::max(0, v); Changed(true); }
void TStatusPanel::SetAlignment(TAlignment v) { FAlignment = v; Changed(false); }

TStatusPanels::TStatusPanels(TStatusBar* bar) : TCollection(TStatusPanel::StaticClass(), bar), FBar(bar) {}

void TStatusPanels::Update(TCollectionItem*) {
    if (FBar) FBar->Invalidate();
}

TStatusBar::TStatusBar(TComponent* owner) : TCustomControl(owner), FPanels(std::make_unique<TStatusPanels>(this)) {
    FControlStyle.Include(csOpaque);
    SetColor(clBtnFace);
    SetBounds(0, 0, 185, 19);
    SetAlign(alBottom);
}

TStatusBar::~TStatusBar() = default;

void TStatusBar::SetSimplePanel(bool v) { FSimplePanel = v; Invalidate(); }
void TStatusBar::SetSimpleText(const std::string& v) { FSimpleText = v; Invalidate(); }

TRect TStatusBar::PanelRect(int index) const {
    const TRect client = GetClientRect();
    if (FSimplePanel) return Rect(0, 2, client.Right, client.Bottom);
    int x = 0;
    for (int i = 0; i < FPanels->Count(); ++i) {
        const bool last = i == FPanels->Count() - 1;
        const int right = last ? client.Right : x + FPanels->Items(i)->GetWidth();
        if (i == index) return Rect(x, 2, std::max(x, right), client.Bottom);
        x = right + 2;
    }
    return {};
}

void TStatusBar::Paint() {
    TCanvas* c = Canvas();
    const TRect client = GetClientRect();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(GetColor());
    c->FillRect(client);
    c->Font()->Assign(GetFont());
    auto drawPanel = [&](TRect r, const std::string& text, TAlignment align) {
        TRect e = r;
        DrawEdge(c->Handle(), e, BDR_SUNKENOUTER, BF_RECT);
        InflateRect(r, -2, -1);
        r.Left += 1;
        uint32_t flags = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS;
        if (align == taCenter) flags |= DT_CENTER;
        else if (align == taRightJustify) flags |= DT_RIGHT;
        c->Brush()->SetStyle(bsClear);
        DrawText(c->Handle(), text, -1, r, flags);
        c->Brush()->SetStyle(bsSolid);
    };
    if (FSimplePanel) drawPanel(PanelRect(0), FSimpleText, taLeftJustify);
    else {
        for (int i = 0; i < FPanels->Count(); ++i) {
            TStatusPanel* p = FPanels->Items(i);
            drawPanel(PanelRect(i), p->GetText(), p->GetAlignment());
        }
    }
    {   // the size grip in the corner
        c->Pen()->SetStyle(psSolid);
        for (int i = 0; i < 3; ++i) {
            const int d = 4 + i * 4;
            c->Pen()->SetColor(clBtnShadow);
            c->MoveTo(client.Right - d, client.Bottom - 1);
            c->LineTo(client.Right, client.Bottom - 1 - d);
            c->Pen()->SetColor(clBtnHighlight);
            c->MoveTo(client.Right - d + 1, client.Bottom - 1);
            c->LineTo(client.Right, client.Bottom - d);
        }
    }
}

// --- tool bar --------------------------------------------------------------------------------

TToolButton::TToolButton(TComponent* owner) : TGraphicControl(owner) {
    FControlStyle.Include(csCaptureMouse);
    FParentColor = true;
    SetBounds(0, 0, 23, 22);
}

TToolButton::~TToolButton() = default;

TToolBar* TToolButton::ToolBar() const { return dynamic_cast<TToolBar*>(GetParent()); }

void TToolButton::SetStyle(TToolButtonStyle v) {
    FStyle = v;
    if (TToolBar* tb = ToolBar()) tb->ArrangeButtons();
    Invalidate();
}

void TToolButton::SetGrouped(bool v) { FGrouped = v; }

void TToolButton::SetDown(bool v) {
    if (v == FDown) return;
    // A disabled button cannot be down: the user could not release it.
    if (v && !GetEnabled()) return;
    FDown = v;
    if (v && FGrouped && FStyle == tbsCheck && GetParent()) {
        // The group: the neighbouring grouped check buttons, up to a separator on either side.
        TWinControl* p = GetParent();
        int self = 0;
        while (p->Controls(self) != this) ++self;
        for (int dir : {-1, 1}) {
            for (int i = self + dir; i >= 0 && i < p->ControlCount(); i += dir) {
                auto* b = dynamic_cast<TToolButton*>(p->Controls(i));
                if (!b || !b->FGrouped || b->FStyle != tbsCheck) break;
                if (b->FDown) { b->FDown = false; b->Invalidate(); }
            }
        }
    }
    Invalidate();
}

void TToolButton::SetEnabled(bool v) {
    TGraphicControl::SetEnabled(v);
    if (!v && FDown) { FDown = false; Invalidate(); }
}

void TToolButton::SetImageIndex(int v) { FImageIndex = v; Invalidate(); }

void TToolButton::SetDropdownMenu(TPopupMenu* v) {
    FDropdownMenu = v;
    if (v) v->FreeNotification(this);
}

void TToolButton::Notification(TComponent* c, TOperation op) {
    TGraphicControl::Notification(c, op);
    if (op == opRemove && c == FDropdownMenu) FDropdownMenu = nullptr;
}

void TToolButton::Click() {
    if (FStyle == tbsSeparator || FStyle == tbsDivider) return;
    if (FStyle == tbsCheck) SetDown(FGrouped ? true : !FDown);
    TGraphicControl::Click();
}

void TToolButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TGraphicControl::MouseDown(button, shift, x, y);
    if (button != mbLeft || !GetEnabled() || FStyle == tbsSeparator || FStyle == tbsDivider) return;
    FPressed = true;
    Invalidate();
    if (FStyle == tbsDropDown && FDropdownMenu) {
        const TPoint p = ClientToScreen(Point(0, GetHeight()));
        FDropdownMenu->SetPopupComponent(this);
        FDropdownMenu->Popup(p.X, p.Y);
        FPressed = false;
        Invalidate();
    }
}

void TToolButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    TGraphicControl::MouseUp(button, shift, x, y);
    if (!FPressed) return;
    FPressed = false;
    Invalidate();
}

void TToolButton::Paint() {
    TCanvas* c = Canvas();
    TRect r = GetClientRect();
    if (FStyle == tbsSeparator || FStyle == tbsDivider) {
        if (FStyle == tbsDivider) {
            TRect line = Rect(r.Width() / 2 - 1, r.Top + 2, r.Width() / 2 + 1, r.Bottom - 2);
            DrawEdge(c->Handle(), line, EDGE_ETCHED, BF_LEFT);
        }
        return;
    }
    TToolBar* tb = ToolBar();
    const bool flat = tb && tb->GetFlat();
    const bool sunk = FDown || FPressed;
    TRect e = r;
    if (sunk) DrawEdge(c->Handle(), e, flat ? BDR_SUNKENOUTER : EDGE_SUNKEN, BF_RECT);
    else if (!flat) DrawEdge(c->Handle(), e, EDGE_RAISED, BF_RECT);
    const int shift = sunk ? 1 : 0;
    TCustomImageList* images = tb ? tb->GetImages() : nullptr;
    const bool captions = tb && tb->GetShowCaptions();
    int imageBottom = r.Top + 3;
    if (images && FImageIndex >= 0 && FImageIndex < images->Count()) {
        const int x = (r.Width() - images->GetWidth()) / 2 + shift;
        const int y = (captions ? 3 : (r.Height() - images->GetHeight()) / 2) + shift;
        images->Draw(c, x, y, FImageIndex, GetEnabled());
        imageBottom = y + images->GetHeight();
    }
    if (captions && !GetCaption().empty()) {
        c->Font()->Assign(GetFont());
        if (!GetEnabled()) c->Font()->SetColor(clGrayText);
        c->Brush()->SetStyle(bsClear);
        TRect t = Rect(r.Left + shift, imageBottom + shift, r.Right + shift, r.Bottom - 2 + shift);
        DrawText(c->Handle(), GetCaption(), -1, t, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    }
}

TToolBar::TToolBar(TComponent* owner) : TCustomControl(owner) {
    FControlStyle.Include(csAcceptsControls).Include(csOpaque);
    SetColor(clBtnFace);
    SetAlign(alTop);
    SetBounds(0, 0, 150, 29);
}

TToolBar::~TToolBar() = default;

void TToolBar::SetButtonWidth(int v) { FButtonWidth = std::max(1, v); ArrangeButtons(); }
void TToolBar::SetButtonHeight(int v) { FButtonHeight = std::max(1, v); ArrangeButtons(); }
void TToolBar::SetFlat(bool v) { FFlat = v; Invalidate(); for (int i = 0; i < ButtonCount(); ++i) Buttons(i)->Invalidate(); }
void TToolBar::SetShowCaptions(bool v) { FShowCaptions = v; ArrangeButtons(); }
void TToolBar::SetWrapable(bool v) { FWrapable = v; ArrangeButtons(); }
void TToolBar::SetAutoSize(bool v) { FAutoSize = v; ArrangeButtons(); }

void TToolBar::SetImages(TCustomImageList* v) {
    FImages = v;
    if (v) v->FreeNotification(this);
    ArrangeButtons();
}

void TToolBar::Notification(TComponent* c, TOperation op) {
    TCustomControl::Notification(c, op);
    if (op == opRemove && c == FImages) FImages = nullptr;
}

int TToolBar::ButtonCount() const {
    int n = 0;
    for (int i = 0; i < ControlCount(); ++i) n += dynamic_cast<TToolButton*>(Controls(i)) ? 1 : 0;
    return n;
}

TToolButton* TToolBar::Buttons(int index) const {
    for (int i = 0; i < ControlCount(); ++i) {
        if (auto* b = dynamic_cast<TToolButton*>(Controls(i)); b && index-- == 0) return b;
    }
    return nullptr;
}

void TToolBar::Loaded() {
    TCustomControl::Loaded();
    ArrangeButtons();
}

void TToolBar::AlignControls(TControl* control, TRect& rect) {
    TCustomControl::AlignControls(control, rect);
    ArrangeButtons();
}

void TToolBar::ArrangeButtons() {
    if (FArranging || GetComponentState().Contains(csLoading)) return;
    FArranging = true;
    int x = 0, y = 2, rowHeight = FButtonHeight;
    const int width = GetClientWidth();
    for (int i = 0; i < ButtonCount(); ++i) {
        TToolButton* b = Buttons(i);
        if (!b->GetVisible()) continue;
        const bool sep = b->GetStyle() == tbsSeparator || b->GetStyle() == tbsDivider;
        int w = sep ? 8 : FButtonWidth;
        if (!sep && FShowCaptions) {
            Canvas()->Font()->Assign(b->GetFont());
            w = std::max(w, Canvas()->TextWidth(StripHotkey(b->GetCaption())) + 8);
        }
        if (FWrapable && x > 0 && x + w > width) { x = 0; y += rowHeight; }
        b->SetBounds(x, y, w, FButtonHeight);
        x += w;
    }
    if (FAutoSize) SetHeight(y + rowHeight + 2);
    FArranging = false;
}

// --- up-down ---------------------------------------------------------------------------------

TUpDown::TUpDown(TComponent* owner) : TCustomControl(owner) {
    FControlStyle.Include(csOpaque);
    SetColor(clBtnFace);
    SetBounds(0, 0, 17, 25);
}

TUpDown::~TUpDown() = default;

void TUpDown::SetAssociate(TWinControl* v) {
    FAssociate = v;
    if (!v) return;
    v->FreeNotification(this);
    // The buttons sit at the associate's right edge, as tall as it.
    if (GetParent() == v->GetParent()) SetBounds(v->GetLeft() + v->GetWidth(), v->GetTop(), GetWidth(), v->GetHeight());
    UpdateAssociate();
}

void TUpDown::Notification(TComponent* c, TOperation op) {
    TCustomControl::Notification(c, op);
    if (op == opRemove && c == FAssociate) FAssociate = nullptr;
}

void TUpDown::SetMin(int v) { FMin = v; SetPosition(FPosition); }
void TUpDown::SetMax(int v) { FMax = v; SetPosition(FPosition); }

void TUpDown::SetPosition(int v) {
    FPosition = std::clamp(v, std::min(FMin, FMax), std::max(FMin, FMax));
    UpdateAssociate();
}

void TUpDown::UpdateAssociate() {
    if (FAssociate && !GetComponentState().Contains(csLoading)) FAssociate->SetText(std::to_string(FPosition));
}

void TUpDown::Step(TUDBtnType button) {
    int next = FPosition + (button == btNext ? 1 : -1);
    if (next > FMax) next = FWrap ? FMin : FMax;
    if (next < FMin) next = FWrap ? FMax : FMin;
    SetPosition(next);
    if (OnClickButton) OnClickButton(this, button);
}

void TUpDown::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TCustomControl::MouseDown(button, shift, x, y);
    if (button == mbLeft && GetEnabled()) Step(y < GetClientHeight() / 2 ? btNext : btPrev);
}

void TUpDown::Paint() {
    TCanvas* c = Canvas();
    const int w = GetClientWidth(), h = GetClientHeight();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(GetColor());
    c->FillRect(GetClientRect());
    TRect up = Rect(0, 0, w, h / 2), down = Rect(0, h / 2, w, h);
    TRect e = up;
    DrawEdge(c->Handle(), e, EDGE_RAISED, BF_RECT);
    e = down;
    DrawEdge(c->Handle(), e, EDGE_RAISED, BF_RECT);
    c->Brush()->SetColor(GetEnabled() ? clBtnText : clGrayText);
    c->Pen()->SetColor(GetEnabled() ? clBtnText : clGrayText);
    const int cx = w / 2;
    c->Polygon({Point(cx - 3, up.Bottom - 4), Point(cx + 3, up.Bottom - 4), Point(cx, up.Bottom - 7)});
    c->Polygon({Point(cx - 3, down.Top + 3), Point(cx + 3, down.Top + 3), Point(cx, down.Top + 6)});
}

// --- progress bar ----------------------------------------------------------------------------

TProgressBar::TProgressBar(TComponent* owner) : TCustomControl(owner) {
    FControlStyle.Include(csOpaque);
    SetColor(clBtnFace);
    SetBounds(0, 0, 150, 16);
}

void TProgressBar::SetMin(int v) { FMin = v; SetPosition(FPosition); }
void TProgressBar::SetMax(int v) { FMax = v; SetPosition(FPosition); }

void TProgressBar::SetPosition(int v) {
    FPosition = std::clamp(v, std::min(FMin, FMax), std::max(FMin, FMax));
    Invalidate();
}

void TProgressBar::StepIt() {
    // Past the end the bar starts again from Min, as the system control does.
    int next = FPosition + FStep;
    if (next > FMax) next = FMin + (next - FMax);
    SetPosition(next);
}

void TProgressBar::StepBy(int delta) { SetPosition(FPosition + delta); }

void TProgressBar::Paint() {
    TCanvas* c = Canvas();
    TRect r = GetClientRect();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(GetColor());
    c->FillRect(r);
    TRect e = r;
    DrawEdge(c->Handle(), e, BDR_SUNKENOUTER, BF_RECT);
    InflateRect(r, -2, -2);
    if (FMax <= FMin) return;
    const int filled = int(int64_t(r.Width()) * (FPosition - FMin) / (FMax - FMin));
    c->Brush()->SetColor(clHighlight);
    c->FillRect(Rect(r.Left, r.Top, r.Left + filled, r.Bottom));
}

// --- track bar -------------------------------------------------------------------------------

TTrackBar::TTrackBar(TComponent* owner) : TWidgetControl(owner) {
    SetTabStop(true);
    SetColor(clBtnFace);
    SetBounds(0, 0, 150, 45);
}

QWidget* TTrackBar::CreateWidget(QWidget* parent) { return new QSlider(parent); }

void TTrackBar::WidgetCreated() {
    auto* s = static_cast<QSlider*>(WidgetIfMade());
    ApplyRange();
    QObject::connect(s, &QSlider::valueChanged, s, [this](int v) {
        if (FSettingWidget) return;
        GuardedCall([&] {
            FPosition = v;
            if (OnChange) OnChange(this);
        });
    });
}

void TTrackBar::ApplyRange() {
    auto* s = dynamic_cast<QSlider*>(WidgetIfMade());
    if (!s) return;
    Setting([&] {
        s->setOrientation(Qt::Horizontal);
        s->setRange(FMin, FMax);
        s->setValue(FPosition);
        s->setTickInterval(1);
        s->setTickPosition(QSlider::TicksBelow);
    });
}

void TTrackBar::SetMin(int v) { FMin = v; if (FMax < v) FMax = v; SetPosition(FPosition); }
void TTrackBar::SetMax(int v) { FMax = v; if (FMin > v) FMin = v; SetPosition(FPosition); }

void TTrackBar::SetPosition(int v) {
    v = std::clamp(v, FMin, FMax);
    const bool changed = v != FPosition;
    FPosition = v;
    ApplyRange();
    if (changed && OnChange && !GetComponentState().Contains(csLoading)) OnChange(this);
}

void TTrackBar::Dispatch(TMessage& m) {
    if (m.Msg == WM_GETDLGCODE) { m.Result = DLGC_WANTARROWS; return; }
    TWidgetControl::Dispatch(m);
}
