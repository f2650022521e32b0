#include "platform/gui/ComCtrls.h"

#include <QtWidgets/QDateEdit>
#include <QtWidgets/QSlider>

#include <algorithm>
#include <cassert>
#include <cctype>

#include "platform/gui/Application.h"
#include "platform/gui/QtEntry.h"
#include "platform/gui/Menus.h"
#include "platform/gui/StdCtrls.h"
#include "platform/rtl/SysUtils.h"
#include "platform/classes/List.h"

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
KAROMIL_IMPLEMENT_CLASS(TTreeNode, TPersistent)
KAROMIL_IMPLEMENT_CLASS(TTreeNodes, TPersistent)
KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TCustomTreeView, TCustomControl, {
    KAROMIL_PROP(ReadOnly).Default(0);
    KAROMIL_PROP(HideSelection).Default(1);
    KAROMIL_PROP(Indent).Default(19);
    KAROMIL_PROP(ShowRoot).Default(1);
    p.Event("OnChange", &Self::OnChange, "TTVChangedEvent");
})
KAROMIL_IMPLEMENT_CLASS(TTreeView, TCustomTreeView)
KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TDateTimePicker, TWidgetControl, {
    KAROMIL_PROP(Date, TypeInfoDateTime());
    KAROMIL_PROP(DateFormat).Default(dfShort);
    p.Event("OnChange", &Self::OnChange, "TNotifyEvent");
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
    case WM_GETDLGCODE: m.Result = DLGC_WANTARROWS; return;
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
    case CM_DIALOGCHAR:
        // A tab's "&" accelerator selects it; the pages' controls are asked after the tabs.
        for (int i = 0; i < ShownTabCount(); ++i) {
            if (IsAccel(m.WParam, ShownTabCaption(i)) && CanFocus()) {
                UserSelect(i);
                m.Result = 1;
                return;
            }
        }
        break;
    case CM_FOCUSCHANGED:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case CM_FONTCHANGED: Invalidate(); break;
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
        if (i == sel) {
            r.Left -= 2;
            r.Top -= 2;
            r.Right += 2;
        }
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

void TStatusPanel::SetText(const std::string& v) {
    FText = v;
    Changed(false);
}
void TStatusPanel::SetWidth(int v) {
    FWidth = std::max(0, v);
    Changed(true);
}
void TStatusPanel::SetAlignment(TAlignment v) {
    FAlignment = v;
    Changed(false);
}

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

void TStatusBar::SetSimplePanel(bool v) {
    FSimplePanel = v;
    Invalidate();
}
void TStatusBar::SetSimpleText(const std::string& v) {
    FSimpleText = v;
    Invalidate();
}

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
    {  // the size grip in the corner
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
                if (b->FDown) {
                    b->FDown = false;
                    b->Invalidate();
                }
            }
        }
    }
    Invalidate();
}

void TToolButton::SetEnabled(bool v) {
    TGraphicControl::SetEnabled(v);
    if (!v && FDown) {
        FDown = false;
        Invalidate();
    }
}

void TToolButton::SetImageIndex(int v) {
    FImageIndex = v;
    Invalidate();
}

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

void TToolBar::SetButtonWidth(int v) {
    FButtonWidth = std::max(1, v);
    ArrangeButtons();
}
void TToolBar::SetButtonHeight(int v) {
    FButtonHeight = std::max(1, v);
    ArrangeButtons();
}
void TToolBar::SetFlat(bool v) {
    FFlat = v;
    Invalidate();
    for (int i = 0; i < ButtonCount(); ++i) Buttons(i)->Invalidate();
}
void TToolBar::SetShowCaptions(bool v) {
    FShowCaptions = v;
    ArrangeButtons();
}
void TToolBar::SetWrapable(bool v) {
    FWrapable = v;
    ArrangeButtons();
}
void TToolBar::SetAutoSize(bool v) {
    FAutoSize = v;
    ArrangeButtons();
}

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
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* c = Controls(i);
        if (!c->GetVisible()) continue;
        auto* b = dynamic_cast<TToolButton*>(c);
        if (!b) {
            // Other controls (an edit, a combo, a panel holding them) take their own width and
            // sit in the row beside the buttons, centred on the button height.
            if (c->GetAlign() != alNone) continue;
            const int w = c->GetWidth(), h = c->GetHeight();
            if (FWrapable && x > 0 && x + w > width) {
                x = 0;
                y += rowHeight;
            }
            c->SetBounds(x, h < FButtonHeight ? y + (FButtonHeight - h) / 2 : y, w, h);
            x += w;
            continue;
        }
        const bool sep = b->GetStyle() == tbsSeparator || b->GetStyle() == tbsDivider;
        int w = sep ? 8 : FButtonWidth;
        if (!sep && FShowCaptions) {
            Canvas()->Font()->Assign(b->GetFont());
            w = std::max(w, Canvas()->TextWidth(StripHotkey(b->GetCaption())) + 8);
        }
        if (FWrapable && x > 0 && x + w > width) {
            x = 0;
            y += rowHeight;
        }
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

void TUpDown::SetMin(int v) {
    FRange.SetMin(v);
    UpdateAssociate();
}
void TUpDown::SetMax(int v) {
    FRange.SetMax(v);
    UpdateAssociate();
}

void TUpDown::SetPosition(int v) {
    FRange.SetPosition(v);
    UpdateAssociate();
}

void TUpDown::UpdateAssociate() {
    if (FAssociate && !GetComponentState().Contains(csLoading)) FAssociate->SetText(std::to_string(FRange.Position));
}

void TUpDown::Step(TUDBtnType button) {
    int next = FRange.Position + (button == btNext ? 1 : -1);
    if (next > FRange.Max) next = FWrap ? FRange.Min : FRange.Max;
    if (next < FRange.Min) next = FWrap ? FRange.Max : FRange.Min;
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

void TProgressBar::SetMin(int v) {
    FRange.SetMin(v);
    Invalidate();
}
void TProgressBar::SetMax(int v) {
    FRange.SetMax(v);
    Invalidate();
}

void TProgressBar::SetPosition(int v) {
    FRange.SetPosition(v);
    Invalidate();
}

void TProgressBar::StepIt() {
    // Past the end the bar starts again from Min, as the system control does.
    int next = FRange.Position + FStep;
    if (next > FRange.Max) next = FRange.Min + (next - FRange.Max);
    SetPosition(next);
}

void TProgressBar::StepBy(int delta) { SetPosition(FRange.Position + delta); }

void TProgressBar::Paint() {
    TCanvas* c = Canvas();
    TRect r = GetClientRect();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(GetColor());
    c->FillRect(r);
    TRect e = r;
    DrawEdge(c->Handle(), e, BDR_SUNKENOUTER, BF_RECT);
    InflateRect(r, -2, -2);
    if (FRange.Max <= FRange.Min) return;
    const int filled = int(int64_t(r.Width()) * (FRange.Position - FRange.Min) / (FRange.Max - FRange.Min));
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
        gui_detail::Guarded([&] {
            FRange.Position = v;
            if (OnChange) OnChange(this);
        });
    });
}

void TTrackBar::ApplyRange() {
    auto* s = dynamic_cast<QSlider*>(WidgetIfMade());
    if (!s) return;
    Setting([&] {
        s->setOrientation(Qt::Horizontal);
        s->setRange(FRange.Min, FRange.Max);
        s->setValue(FRange.Position);
        s->setTickInterval(1);
        s->setTickPosition(QSlider::TicksBelow);
    });
}

void TTrackBar::SetMin(int v) { PositionSet(FRange.SetMin(v)); }
void TTrackBar::SetMax(int v) { PositionSet(FRange.SetMax(v)); }
void TTrackBar::SetPosition(int v) { PositionSet(FRange.SetPosition(v)); }

void TTrackBar::PositionSet(bool changed) {
    ApplyRange();
    if (changed && OnChange && !GetComponentState().Contains(csLoading)) OnChange(this);
}

void TTrackBar::Dispatch(TMessage& m) {
    if (m.Msg == WM_GETDLGCODE) {
        m.Result = DLGC_WANTARROWS;
        return;
    }
    TWidgetControl::Dispatch(m);
}

// --- tree view -------------------------------------------------------------------------------

TTreeNode::TTreeNode(TTreeNodes* owner, TTreeNode* parent) : FOwner(owner), FParent(parent) {}
TTreeNode::~TTreeNode() = default;

TCustomTreeView* TTreeNode::TreeView() const { return FOwner ? FOwner->FTree : nullptr; }

void TTreeNode::SetText(const std::string& v) {
    FText = v;
    if (TCustomTreeView* tv = TreeView()) tv->Invalidate();
}

void TTreeNode::SetExpanded(bool v) {
    if (v == FExpanded) return;
    FExpanded = v;
    // Collapsing hides the rows below; a selection among them moves up to this node.
    if (!v) {
        TCustomTreeView* tv = TreeView();
        for (TTreeNode* p = tv ? tv->FSelected : nullptr; p; p = p->FParent) {
            if (p->FParent == this) {
                tv->SetSelected(this);
                break;
            }
        }
    }
    if (FOwner) FOwner->Changed();
}

void TTreeNode::Expand(bool recurse) {
    SetExpanded(true);
    if (recurse)
        for (auto& c : FChildren) c->Expand(true);
}

void TTreeNode::Collapse(bool recurse) {
    if (recurse)
        for (auto& c : FChildren) c->Collapse(true);
    SetExpanded(false);
}

namespace {
template <class Vec>
int IndexIn(const Vec& v, const TTreeNode* n) {
    for (size_t i = 0; i < v.size(); ++i)
        if (v[i].get() == n) return int(i);
    return -1;
}
}  // namespace

int TTreeNode::GetIndex() const {
    if (FParent) return IndexIn(FParent->FChildren, this);
    return FOwner ? IndexIn(FOwner->FRoots, this) : 0;
}

int TTreeNode::GetLevel() const {
    int level = 0;
    for (TTreeNode* p = FParent; p; p = p->FParent) ++level;
    return level;
}

bool TTreeNode::GetSelected() const {
    TCustomTreeView* tv = TreeView();
    return tv && tv->FSelected == this;
}

void TTreeNode::SetSelected(bool v) {
    TCustomTreeView* tv = TreeView();
    if (!tv) return;
    if (v) tv->SetSelected(this);
    else if (tv->FSelected == this) tv->SetSelected(nullptr);
}

bool TTreeNode::IsVisible() const {
    for (TTreeNode* p = FParent; p; p = p->FParent)
        if (!p->FExpanded) return false;
    return true;
}

void TTreeNode::MakeVisible() {
    for (TTreeNode* p = FParent; p; p = p->FParent) p->SetExpanded(true);
    if (TCustomTreeView* tv = TreeView()) tv->ScrollIntoView(this);
}

TTreeNode* TTreeNode::GetNextSibling() const {
    const int i = GetIndex();
    const auto& v = FParent ? FParent->FChildren : FOwner->FRoots;
    return i >= 0 && size_t(i) + 1 < v.size() ? v[size_t(i) + 1].get() : nullptr;
}

TTreeNode* TTreeNode::GetPrevSibling() const {
    const int i = GetIndex();
    const auto& v = FParent ? FParent->FChildren : FOwner->FRoots;
    return i > 0 ? v[size_t(i) - 1].get() : nullptr;
}

TTreeNode* TTreeNode::GetNext() const {
    if (!FChildren.empty()) return FChildren.front().get();
    for (const TTreeNode* n = this; n; n = n->FParent)
        if (TTreeNode* s = n->GetNextSibling()) return s;
    return nullptr;
}

TTreeNodes::TTreeNodes(TCustomTreeView* owner) : FTree(owner) {}
TTreeNodes::~TTreeNodes() = default;

TTreeNode* TTreeNodes::Add(TTreeNode* sibling, const std::string& text) {
    return AddChild(sibling ? sibling->FParent : nullptr, text);
}

TTreeNode* TTreeNodes::AddChild(TTreeNode* parent, const std::string& text) {
    assert(!parent || parent->FOwner == this);
    auto node = std::make_unique<TTreeNode>(this, parent);
    node->FText = text;
    TTreeNode* n = node.get();
    (parent ? parent->FChildren : FRoots).push_back(std::move(node));
    Changed();
    return n;
}

void TTreeNodes::Clear() {
    if (FTree) {
        FTree->FSelected = nullptr;
        FTree->FTopRow = 0;
    }
    FRoots.clear();
    Changed();
}

void TTreeNodes::BeginUpdate() { ++FUpdateCount; }

void TTreeNodes::EndUpdate() {
    if (FUpdateCount > 0 && --FUpdateCount == 0) Changed();
}

void TTreeNodes::Changed() {
    FFlatValid = false;
    if (FTree) FTree->NodesChanged();
}

const std::vector<TTreeNode*>& TTreeNodes::Flat() const {
    if (!FFlatValid) {
        FFlat.clear();
        for (TTreeNode* n = GetFirstNode(); n; n = n->GetNext()) FFlat.push_back(n);
        FFlatValid = true;
    }
    return FFlat;
}

int TTreeNodes::Count() const { return int(Flat().size()); }

TTreeNode* TTreeNodes::Item(int index) const {
    const auto& flat = Flat();
    if (index < 0 || size_t(index) >= flat.size()) ListIndexError(index);
    return flat[size_t(index)];
}

TCustomTreeView::TCustomTreeView(TComponent* owner)
    : TCustomControl(owner), FItems(std::make_unique<TTreeNodes>(this)) {
    FControlStyle.Include(csOpaque).Include(csDoubleClicks);
    SetColor(clWindow);
    SetTabStop(true);
    SetBounds(0, 0, 121, 97);
}

TCustomTreeView::~TCustomTreeView() {
    FSelected = nullptr;
    FItems->FTree = nullptr;
}

void TCustomTreeView::CreateParams(TCreateParams& params) {
    TCustomControl::CreateParams(params);
    params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomTreeView::CreateWnd() {
    TCustomControl::CreateWnd();
    UpdateScrollBar();
}

void TCustomTreeView::SetHideSelection(bool v) {
    FHideSelection = v;
    Invalidate();
}
void TCustomTreeView::SetIndent(int v) {
    FIndent = std::max(1, v);
    Invalidate();
}
void TCustomTreeView::SetShowRoot(bool v) {
    FShowRoot = v;
    Invalidate();
}

void TCustomTreeView::NodesChanged() {
    FRowsValid = false;
    if (FItems->FUpdateCount > 0) return;
    ScrollTo(FTopRow);
}

const std::vector<TTreeNode*>& TCustomTreeView::Rows() const {
    if (!FRowsValid) {
        FRows.clear();
        for (int i = 0; i < FItems->RootCount(); ++i) {
            // Depth first, skipping what lies below a collapsed node.
            std::vector<TTreeNode*> stack{FItems->Root(i)};
            while (!stack.empty()) {
                TTreeNode* n = stack.back();
                stack.pop_back();
                FRows.push_back(n);
                if (n->FExpanded)
                    for (size_t c = n->FChildren.size(); c-- > 0;) stack.push_back(n->FChildren[c].get());
            }
        }
        FRowsValid = true;
    }
    return FRows;
}

int TCustomTreeView::RowOf(const TTreeNode* node) const {
    const auto& rows = Rows();
    auto it = std::find(rows.begin(), rows.end(), node);
    return it == rows.end() ? -1 : int(it - rows.begin());
}

int TCustomTreeView::ItemHeight() const {
    TCanvas* c = Canvas();
    c->Font()->Assign(GetFont());
    return c->TextHeight("Áy") + 2;
}

int TCustomTreeView::PageRows() const { return std::max(1, GetClientHeight() / ItemHeight()); }

void TCustomTreeView::ScrollTo(int topRow) {
    const int last = std::max(0, int(Rows().size()) - PageRows());
    topRow = std::clamp(topRow, 0, last);
    FTopRow = topRow;
    UpdateScrollBar();
    Invalidate();
}

void TCustomTreeView::UpdateScrollBar() {
    if (!HandleAllocated()) return;
    TScrollInfo si;
    si.fMask = SIF_ALL;
    si.nMin = 0;
    si.nMax = std::max(0, int(Rows().size()) - 1);
    si.nPage = UINT(PageRows());
    si.nPos = FTopRow;
    SetScrollInfo(SB_VERT, si, true);
}

void TCustomTreeView::ScrollIntoView(TTreeNode* node) {
    const int row = RowOf(node);
    if (row < 0) return;
    if (row < FTopRow) ScrollTo(row);
    else if (row >= FTopRow + PageRows()) ScrollTo(row - PageRows() + 1);
}

TTreeNode* TCustomTreeView::GetTopItem() const {
    const auto& rows = Rows();
    return size_t(FTopRow) < rows.size() ? rows[size_t(FTopRow)] : nullptr;
}

void TCustomTreeView::SetTopItem(TTreeNode* node) {
    if (!node || node->FOwner != FItems.get()) return;
    for (TTreeNode* p = node->FParent; p; p = p->FParent) p->SetExpanded(true);
    ScrollTo(RowOf(node));
}

void TCustomTreeView::SetSelected(TTreeNode* node) {
    if (node && node->FOwner != FItems.get()) return;
    if (node == FSelected) return;
    FSelected = node;
    if (node) node->MakeVisible();
    Invalidate();
    Change(node);
}

void TCustomTreeView::Change(TTreeNode* node) {
    if (OnChange) OnChange(this, node);
}

void TCustomTreeView::FullExpand() {
    FItems->BeginUpdate();
    for (int i = 0; i < FItems->RootCount(); ++i) FItems->Root(i)->Expand(true);
    FItems->EndUpdate();
}

void TCustomTreeView::FullCollapse() {
    FItems->BeginUpdate();
    for (int i = 0; i < FItems->RootCount(); ++i) FItems->Root(i)->Collapse(true);
    FItems->EndUpdate();
}

int TCustomTreeView::NodeLeft(const TTreeNode* node) const {
    return (node->GetLevel() + (FShowRoot ? 1 : 0)) * FIndent + 3;
}

TRect TCustomTreeView::ButtonRect(const TTreeNode* node) const {
    const int col = node->GetLevel() + (FShowRoot ? 1 : 0);
    const int row = RowOf(node);
    if (!node->HasChildren() || col == 0 || row < 0) return {};
    const int h = ItemHeight();
    const int cx = (col - 1) * FIndent + FIndent / 2, cy = (row - FTopRow) * h + h / 2;
    return Rect(cx - 4, cy - 4, cx + 5, cy + 5);
}

TRect TCustomTreeView::NodeRect(TTreeNode* node, bool textOnly) const {
    const int row = node ? RowOf(node) : -1;
    if (row < 0) return {};
    const int h = ItemHeight(), top = (row - FTopRow) * h;
    if (!textOnly) return Rect(0, top, GetClientWidth(), top + h);
    const int left = NodeLeft(node);
    Canvas()->Font()->Assign(GetFont());
    return Rect(left - 2, top, left + Canvas()->TextWidth(node->FText) + 2, top + h);
}

TTreeNode* TCustomTreeView::GetNodeAt(int, int y) const {
    if (y < 0) return nullptr;
    const size_t row = size_t(FTopRow + y / ItemHeight());
    return row < Rows().size() ? Rows()[row] : nullptr;
}

void TCustomTreeView::Toggle(TTreeNode* node) {
    if (node && node->HasChildren()) node->SetExpanded(!node->FExpanded);
}

void TCustomTreeView::SelectAt(int x, int y) {
    TTreeNode* n = GetNodeAt(x, y);
    if (!n) return;
    if (PtInRect(ButtonRect(n), Point(x, y))) Toggle(n);
    else SetSelected(n);
}

void TCustomTreeView::WndProc(TMessage& m) {
    // A dragging tree still selects the node the drag starts from.
    if ((m.Msg == WM_LBUTTONDOWN || m.Msg == WM_LBUTTONDBLCLK) && GetDragMode() == dmAutomatic) {
        const TPoint p = PointFromLParam(m.LParam);
        SelectAt(p.X, p.Y);
    }
    TCustomControl::WndProc(m);
}

void TCustomTreeView::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (button == mbLeft) {
        if (CanFocus() && !Focused()) SetFocus();
        TTreeNode* n = GetNodeAt(x, y);
        if (n && shift.Contains(ssDouble) && !PtInRect(ButtonRect(n), Point(x, y))) Toggle(n);
        else if (GetDragMode() != dmAutomatic) SelectAt(x, y);
    }
    TCustomControl::MouseDown(button, shift, x, y);
}

void TCustomTreeView::KeyDown(WORD& key, TShiftState shift) {
    TCustomControl::KeyDown(key, shift);
    const auto& rows = Rows();
    if (key == 0 || rows.empty()) return;
    const int cur = FSelected ? RowOf(FSelected) : -1;
    const int last = int(rows.size()) - 1;
    auto go = [&](int row) { SetSelected(rows[size_t(std::clamp(row, 0, last))]); };
    switch (key) {
    case VK_UP: go(cur < 0 ? 0 : cur - 1); break;
    case VK_DOWN: go(cur + 1); break;
    case VK_HOME: go(0); break;
    case VK_END: go(last); break;
    case VK_PRIOR: go(cur - std::max(1, PageRows() - 1)); break;
    case VK_NEXT: go(cur + std::max(1, PageRows() - 1)); break;
    case VK_RIGHT:
        if (!FSelected) go(0);
        else if (FSelected->HasChildren() && !FSelected->FExpanded) FSelected->SetExpanded(true);
        else if (FSelected->HasChildren()) SetSelected(FSelected->GetFirstChild());
        break;
    case VK_LEFT:
        if (!FSelected) go(0);
        else if (FSelected->FExpanded && FSelected->HasChildren()) FSelected->SetExpanded(false);
        else if (FSelected->FParent) SetSelected(FSelected->FParent);
        break;
    case VK_ADD:
        if (FSelected) FSelected->SetExpanded(true);
        break;
    case VK_SUBTRACT:
        if (FSelected) FSelected->SetExpanded(false);
        break;
    default: return;
    }
    key = 0;
}

bool TCustomTreeView::DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos) {
    if (TCustomControl::DoMouseWheel(shift, wheelDelta, mousePos)) return true;
    ScrollTo(FTopRow - wheelDelta / WHEEL_DELTA * 3);
    return true;
}

void TCustomTreeView::Dispatch(TMessage& m) {
    switch (m.Msg) {
    case WM_GETDLGCODE: m.Result = DLGC_WANTARROWS; return;
    case WM_VSCROLL: {
        TWMScroll s(m);
        switch (s.ScrollCode()) {
        case SB_LINEUP: ScrollTo(FTopRow - 1); break;
        case SB_LINEDOWN: ScrollTo(FTopRow + 1); break;
        case SB_PAGEUP: ScrollTo(FTopRow - PageRows()); break;
        case SB_PAGEDOWN: ScrollTo(FTopRow + PageRows()); break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: ScrollTo(s.Pos()); break;
        case SB_TOP: ScrollTo(0); break;
        case SB_BOTTOM: ScrollTo(int(Rows().size())); break;
        default: break;
        }
        return;
    }
    case WM_SIZE:
    case CM_FONTCHANGED:
        TCustomControl::Dispatch(m);
        ScrollTo(FTopRow);
        return;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: Invalidate(); break;
    default: break;
    }
    TCustomControl::Dispatch(m);
}

void TCustomTreeView::Paint() {
    TCanvas* c = Canvas();
    const TRect client = GetClientRect();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(GetColor());
    c->FillRect(client);
    c->Font()->Assign(GetFont());
    const int h = ItemHeight();
    const auto& rows = Rows();
    const bool focused = Focused();
    for (size_t row = size_t(FTopRow); row < rows.size(); ++row) {
        const int top = (int(row) - FTopRow) * h;
        if (top >= client.Bottom) break;
        TTreeNode* n = rows[row];
        const TRect button = ButtonRect(n);
        if (!IsRectEmpty(button)) {
            c->Pen()->SetStyle(psSolid);
            c->Pen()->SetColor(clGrayText);
            c->Brush()->SetColor(GetColor());
            c->Rectangle(button);
            c->Pen()->SetColor(clWindowText);
            const int cx = button.Left + 4, cy = button.Top + 4;
            c->MoveTo(cx - 2, cy);
            c->LineTo(cx + 3, cy);
            if (!n->FExpanded) {
                c->MoveTo(cx, cy - 2);
                c->LineTo(cx, cy + 3);
            }
        }
        const TRect text = NodeRect(n, true);
        const bool selected = n == FSelected && (focused || !FHideSelection);
        c->Brush()->SetStyle(bsSolid);
        c->Brush()->SetColor(selected ? (focused ? clHighlight : clBtnFace) : GetColor());
        if (selected) c->FillRect(text);
        c->Font()->SetColor(selected && focused ? clHighlightText : GetFont()->GetColor());
        c->Brush()->SetStyle(bsClear);
        c->TextOut(text.Left + 2, top + 1, n->FText);
        if (n == FSelected && focused) c->DrawFocusRect(text);
    }
}

// --- date picker -----------------------------------------------------------------------------

namespace {
const QDate kDayZero(1899, 12, 30);
QDate ToQDate(TDateTime d) { return kDayZero.addDays(int64_t(d)); }
TDateTime FromQDate(const QDate& d) { return TDateTime(kDayZero.daysTo(d)); }
}  // namespace

std::string QtDateFormat(const std::string& format) {
    // Letters of the date parts map one to one, the month's m to Qt's M; quoted text and
    // anything else is literal for Qt too.
    std::string out;
    for (size_t i = 0; i < format.size(); ++i) {
        const char c = format[i];
        if (c == '"' || c == '\'') {
            const size_t end = format.find(c, i + 1);
            const std::string lit = format.substr(i + 1, end == std::string::npos ? std::string::npos : end - i - 1);
            out += "'" + lit + "'";
            if (end == std::string::npos) break;
            i = end;
        } else if (c == 'm' || c == 'M') out += 'M';
        else if (c == 'D') out += 'd';
        else if (c == 'Y') out += 'y';
        else if (c == 'd' || c == 'y') out += c;
        else if (std::isalpha(static_cast<unsigned char>(c))) out += "'" + std::string(1, c) + "'";
        else out += c;
    }
    return out;
}

TDateTimePicker::TDateTimePicker(TComponent* owner) : TWidgetControl(owner), FDate(double(int64_t(Date()))) {
    SetTabStop(true);
    SetColor(clWindow);
    SetBounds(0, 0, 186, 21);
}

int TDateTimePicker::ColorRole() const { return QPalette::Base; }

QWidget* TDateTimePicker::CreateWidget(QWidget* parent) {
    auto* e = new QDateEdit(parent);
    e->setCalendarPopup(true);
    // Month and day names in the program's language, whatever the desktop's.
    e->setLocale(QLocale(QLocale::Czech, QLocale::Czechia));
    e->setMinimumDate(QDate(1752, 9, 14));
    e->setMaximumDate(QDate(9999, 12, 31));
    return e;
}

void TDateTimePicker::WidgetCreated() {
    auto* e = static_cast<QDateEdit*>(WidgetIfMade());
    ApplyDate();
    QObject::connect(e, &QDateEdit::dateChanged, e, [this](const QDate& d) {
        if (FSettingWidget) return;
        gui_detail::Guarded([&] {
            FDate = FromQDate(d);
            if (OnChange) OnChange(this);
        });
    });
}

void TDateTimePicker::ApplyDate() {
    auto* e = dynamic_cast<QDateEdit*>(WidgetIfMade());
    if (!e) return;
    const TFormatSettings& fs = FormatSettings();
    Setting([&] {
        e->setDisplayFormat(
            QString::fromStdString(QtDateFormat(FDateFormat == dfShort ? fs.ShortDateFormat : fs.LongDateFormat)));
        e->setDate(ToQDate(FDate));
    });
}

void TDateTimePicker::SetDate(TDateTime v) {
    FDate = double(int64_t(v));
    ApplyDate();
}

void TDateTimePicker::SetDateFormat(TDTDateFormat v) {
    FDateFormat = v;
    ApplyDate();
}

void TDateTimePicker::Dispatch(TMessage& m) {
    if (m.Msg == WM_GETDLGCODE) {
        m.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
        return;
    }
    TWidgetControl::Dispatch(m);
}
