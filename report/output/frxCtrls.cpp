#include "report/output/frxCtrls.h"

#include <algorithm>
#include <cmath>

#include "platform/gui/Application.h"
#include "platform/gui/Bitmaps.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/rtl/SysUtils.h"
#include "platform/settings/Registry.h"

KAROMIL_IMPLEMENT_PUBLISHED_CLASS(TfrxCustomComboBox, TCustomComboBox)
KAROMIL_IMPLEMENT_CLASS(TfrxComboBox, TfrxCustomComboBox)
KAROMIL_IMPLEMENT_CLASS(TfrxFontPreview, THintWindow)
KAROMIL_IMPLEMENT_PUBLISHED_CLASS(TfrxFontComboBox, TfrxCustomComboBox)
KAROMIL_IMPLEMENT_PUBLISHED_CLASS(TfrxComboEdit, TComboBox)

// --- flat combo ------------------------------------------------------------------------------

namespace {
int Nearest(double v) { return int(std::nearbyint(v)); }
}  // namespace

TfrxCustomComboBox::TfrxCustomComboBox(TComponent* owner) : TCustomComboBox(owner) {
    Canvas()->Font()->Assign(GetFont());
    SetItemHeight(Canvas()->TextHeight("Xy"));
    SetWidth(100);
}

void TfrxCustomComboBox::SetReadOnly(bool v) {
    FReadOnly = v;
    // Without an edit field nothing can be typed; owner-drawn lists have none anyway.
    if (!OwnerDraw()) SetStyle(v ? csDropDownList : csDropDown);
}

int TfrxCustomComboBox::GetListHeight() const {
    const int count = GetItems()->Count();
    const int dropDown = GetDropDownCount();
    if (dropDown > 0 && count > 0) return GetItemHeight() * std::min(dropDown, count) + 4;
    return GetItemHeight() + 4;
}

bool TfrxCustomComboBox::ListWouldPassScreen(int controlTop, int textHeight, int listHeight, int screenHeight) {
    return controlTop + textHeight + listHeight + 6 > screenHeight;
}

bool TfrxCustomComboBox::Hot() const {
    return GetComponentState().Contains(csDesigning) || GetDroppedDown() || Focused() || FMouseInside;
}

void TfrxCustomComboBox::Dispatch(TMessage& m) {
    switch (m.Msg) {
    case CM_ENTER:
    case CM_EXIT: Invalidate(); break;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
        FMouseInside = m.Msg == CM_MOUSEENTER;
        if (GetEnabled()) Invalidate();
        break;
    case CM_ENABLEDCHANGED: Invalidate(); break;
    default: break;
    }
    TCustomComboBox::Dispatch(m);
}

void TfrxCustomComboBox::DropDown() {
    const TPoint top = ClientToScreen(Point(0, 0));
    FDropsUpward = ListWouldPassScreen(top.Y, GetItemHeight(), GetListHeight(), Screen->Height());
    TCustomComboBox::DropDown();
    Invalidate();
}

void TfrxCustomComboBox::CloseUp() {
    TCustomComboBox::CloseUp();
    Invalidate();
}

TRect TfrxCustomComboBox::CustomFieldRect() const {
    const int w = GetWidth(), h = GetHeight();
    return Rect(FEditOffset + 3, 3, w - FButtonWidth - 4, h - 3);
}

TRect TfrxCustomComboBox::CustomButtonRect() const {
    const int w = GetWidth(), h = GetHeight();
    return Rect(w - FButtonWidth - 2, 2, w - 2, h - 2);
}

void TfrxCustomComboBox::PaintFrame() {
    TCanvas* c = Canvas();
    const TRect client = Rect(0, 0, GetWidth(), GetHeight());
    if (!GetEnabled()) {
        c->Brush()->SetStyle(bsSolid);
        c->Brush()->SetColor(clBtnFace);
        c->FillRect(client);
        TRect r = client;
        InflateRect(r, -2, -2);
        c->Brush()->SetColor(clWindow);
        c->FrameRect(r);
        DrawArrow(c, GetWidth() - FButtonWidth + Nearest(FButtonWidth / 2.0) - 4, Nearest((GetHeight() - 4) / 2.0) + 1);
        return;
    }
    // The field's own background, then what lies left of it.
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(GetColor());
    c->FillRect(CustomFieldRect());
    DrawEditBackground(c, GetItemIndex(), Rect(3, 3, FEditOffset + 3, GetHeight() - 3));
    if (!Editable() && !OwnerDraw()) {  // a read-only combo shows its text without an edit field
        TRect field = CustomFieldRect();
        c->Font()->Assign(GetFont());
        c->Brush()->SetStyle(bsClear);
        DrawText(c->Handle(), GetText(), -1, field, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        c->Brush()->SetStyle(bsSolid);
    }
    if (Hot()) {
        DrawFrame(c, true);
        DrawButton(c, GetDroppedDown() ? 2 : 1);
    } else {
        DrawFrame(c, false);
        DrawButton(c, 0);
    }
}

void TfrxCustomComboBox::DrawEditBackground(TCanvas* c, int, const TRect& rect) {
    if (FEditOffset <= 0) return;
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(clWindow);
    c->FillRect(rect);
}

void TfrxCustomComboBox::DrawFrame(TCanvas* c, bool active) {
    TRect r = Rect(0, 0, GetWidth(), GetHeight());
    c->Brush()->SetStyle(bsSolid);
    TRect inner = r;
    InflateRect(inner, -1, -1);
    c->Brush()->SetColor(clBtnFace);
    c->FrameRect(inner);
    InflateRect(inner, -1, -1);
    inner.Right -= FButtonWidth + 1;
    c->Brush()->SetColor(clWindow);
    c->FrameRect(inner);
    if (active) {
        DrawEdge(c->Handle(), r, BDR_SUNKENOUTER, BF_RECT);
    } else {
        c->Brush()->SetColor(clBtnFace);
        c->FrameRect(r);
    }
}

void TfrxCustomComboBox::DrawButton(TCanvas* c, int state) {
    const int w = GetWidth(), h = GetHeight();
    TRect r = Rect(w - FButtonWidth - 2, 2, w - 2, h - 2);
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(clBtnFace);
    c->FillRect(r);
    const int x = w - FButtonWidth + Nearest(FButtonWidth / 2.0) - 4, y = Nearest((h - 4) / 2.0) + 1;
    const int lineX = w - FButtonWidth - 3;
    c->Pen()->SetStyle(psSolid);
    c->Pen()->SetWidth(1);
    switch (state) {
    case 0:
        c->Brush()->SetColor(clWindow);
        c->FrameRect(r);
        c->Pen()->SetColor(clWindow);
        c->MoveTo(lineX, 2);
        c->LineTo(lineX, h - 2);
        DrawArrow(c, x, y);
        break;
    case 1:
        DrawEdge(c->Handle(), r, BDR_RAISEDINNER, BF_RECT);
        c->Pen()->SetColor(clBtnFace);
        c->MoveTo(lineX, 1);
        c->LineTo(lineX, h - 1);
        DrawArrow(c, x, y);
        break;
    default:
        DrawEdge(c->Handle(), r, BDR_SUNKENOUTER, BF_RECT);
        c->Pen()->SetColor(clBtnFace);
        c->MoveTo(lineX, 1);
        c->LineTo(lineX, h - 1);
        DrawArrow(c, x + 1, y + 1);
        break;
    }
}

void TfrxCustomComboBox::DrawArrow(TCanvas* c, int x, int y) {
    c->Pen()->SetColor(clBlack);
    c->Pen()->SetStyle(psSolid);
    c->Pen()->SetWidth(1);
    for (int i = 0; i < 3; ++i) {
        c->MoveTo(x + i, y + i);
        c->LineTo(x + 5 - i, y + i);
    }
}

// --- font preview ----------------------------------------------------------------------------

TfrxFontPreview::TfrxFontPreview(TComponent* owner) : THintWindow(owner) {
    SetBounds(0, 0, 200, 50);
    SetColor(clWindow);
    GetFont()->SetColor(clWindowText);
    GetFont()->SetSize(18);
}

void TfrxFontPreview::ShowFont(const std::string& fontName, TPoint p) {
    FFontName = fontName;
    GetFont()->SetName(fontName);
    ActivateHint(Rect(p.X, p.Y, p.X + GetWidth(), p.Y + GetHeight()), fontName);
}

void TfrxFontPreview::Paint() {
    TCanvas* c = Canvas();
    TRect r = GetClientRect();
    c->Brush()->SetColor(clWindow);
    c->FillRect(r);
    c->Brush()->SetColor(clWindowFrame);
    c->FrameRect(r);
    c->Font()->Assign(GetFont());
    c->Brush()->SetStyle(bsClear);
    InflateRect(r, -2, -2);
    DrawText(c->Handle(), FFontName, -1, r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

// --- font combo ------------------------------------------------------------------------------

namespace {
// Two overlapping T letters in greys, on a white that is transparent.
std::unique_ptr<TBitmap> MakeTrueTypeMark() {
    auto b = std::make_unique<TBitmap>();
    b->SetSize(14, 12);
    TCanvas* c = b->Canvas();
    c->Brush()->SetColor(clWhite);
    c->FillRect(Rect(0, 0, 14, 12));
    const TColor colours[2] = {clGray, clBlack};
    for (int i = 0; i < 2; ++i) {
        const int x = i * 5, y = i * 2;
        c->Brush()->SetColor(colours[i]);
        c->FillRect(Rect(x, y, x + 8, y + 2));
        c->FillRect(Rect(x + 3, y, x + 5, y + 10 - i * 2));
    }
    b->SetTransparentColor(clWhite);
    return b;
}

std::string Numbered(const char* name, int n) { return name + IntToStr(n); }
}  // namespace

TfrxFontComboBox::TfrxFontComboBox(TComponent* owner) : TfrxCustomComboBox(owner) {
    if (!GetComponentState().Contains(csDesigning)) FPreview = new TfrxFontPreview(this);
    FTrueTypeMark = MakeTrueTypeMark();
    SetStyle(csOwnerDrawFixed);
    SetDropDownCount(12);
    SetWidth(150);
    FEditOffset = 16;
    SetReadOnly(true);
    SetItemHeight(std::max(GetItemHeight(), FTrueTypeMark->GetHeight() + 1));
}

TfrxFontComboBox::~TfrxFontComboBox() = default;

std::string TfrxFontComboBox::MRUKey() const { return FMRURegKey.empty() ? frxDefaultMRUKey : FMRURegKey; }

void TfrxFontComboBox::Loaded() {
    TfrxCustomComboBox::Loaded();
    if (!GetComponentState().Contains(csDesigning)) Repopulate();
}

void TfrxFontComboBox::Repopulate() {
    TRollback updating(FUpdating, true);
    const std::string text = GetText();
    PopulateList();
    if (GetItems()->IndexOf(text) < 0) SetItemIndex(0);
    else SetText(text);
}

void TfrxFontComboBox::PopulateList() {
    TRollback updating(FUpdating, true);
    TStrings* items = GetItems();
    items->BeginUpdate();
    auto end = OnScopeExit([items] { items->EndUpdate(); });
    items->Clear();
    FLastMRU = -1;
    // Printers add no fonts of their own here: every printer prints the screen's fonts.
    for (const TFontFamily& f : EnumFontFamilies()) items->AddObjectAsInt(f.Name, f.FontType);
    if (!FShowMRU) return;
    TRegistry reg;
    if (!reg.OpenKey(MRUKey(), true)) return;
    for (int n = 4; n >= 0; --n) {
        const std::string name = reg.ReadString(Numbered("Font", n));
        if (!name.empty() && items->IndexOf(name) >= 0) {
            const std::string typeName = Numbered("FontType", n);
            items->InsertObject(0, name, nullptr);
            items->SetObjectsAsInt(0, reg.ValueExists(typeName) ? reg.ReadInteger(typeName) : 0);
            ++FLastMRU;
        } else {
            reg.WriteString(Numbered("Font", n), "");
            reg.WriteInteger(Numbered("FontType", n), 0);
        }
    }
}

void TfrxFontComboBox::Click() {
    if (FUpdating || GetComponentState().Contains(csLoading) || GetComponentState().Contains(csReading)) return;
    TfrxCustomComboBox::Click();
}

TPoint TfrxFontComboBox::PreviewPlace(const TRect& controlScreen, TSize preview, int screenWidth, bool upward) {
    TPoint p{controlScreen.Right, controlScreen.Bottom};
    if (p.X + preview.cx > screenWidth) p.X = controlScreen.Left - preview.cx - 1;
    if (upward) p.Y = controlScreen.Top - preview.cy;
    return p;
}

void TfrxFontComboBox::DropDown() {
    TfrxCustomComboBox::DropDown();
    if (GetItemIndex() < 5 && GetItems()->Count() > 0) SetItemIndex(0);
    if (!FPreview) return;
    const TPoint topLeft = ClientToScreen(Point(0, 0));
    const TRect screenRect = Rect(topLeft.X, topLeft.Y, topLeft.X + GetWidth(), topLeft.Y + GetHeight());
    const TPoint p = PreviewPlace(
        screenRect, {FPreview->GetWidth(), FPreview->GetHeight()}, Screen->Width(), DropsUpward());
    FPreview->ShowFont(GetText(), p);
}

void TfrxFontComboBox::CloseUp() {
    if (FPreview) FPreview->ReleaseHandle();
    if (GetItemIndex() > 0 && FShowMRU) RememberChoice();
    TfrxCustomComboBox::CloseUp();
}

void TfrxFontComboBox::RememberChoice() {
    TRollback updating(FUpdating, true);
    TStrings* items = GetItems();
    const int chosen = GetItemIndex();
    const std::string name = items->Strings(chosen);
    const int first = items->IndexOf(name);
    if (first > FLastMRU) {
        items->InsertObject(0, name, nullptr);
        items->SetObjectsAsInt(0, items->ObjectsAsInt(chosen + 1));
        // At most five: the oldest goes when a sixth comes.
        if (FLastMRU > 3) items->Delete(5);
        else ++FLastMRU;
    } else {
        const intptr_t type = items->ObjectsAsInt(first);
        items->Delete(first);
        items->InsertObject(0, name, nullptr);
        items->SetObjectsAsInt(0, type);
    }
    SetItemIndex(0);
    StoreMRU();
}

void TfrxFontComboBox::StoreMRU() {
    TRegistry reg;
    if (!reg.OpenKey(MRUKey(), true)) return;
    for (int n = 0; n <= 4; ++n) {
        const bool used = n <= FLastMRU;
        reg.WriteString(Numbered("Font", n), used ? GetItems()->Strings(n) : std::string());
        reg.WriteInteger(Numbered("FontType", n), used ? int32_t(GetItems()->ObjectsAsInt(n)) : 0);
    }
}

void TfrxFontComboBox::DrawItem(int index, const TRect& rect, TOwnerDrawState state) {
    TCanvas* c = Canvas();
    if (index < 0 || index >= GetItems()->Count()) {
        c->FillRect(rect);
        return;
    }
    const std::string name = GetItems()->Strings(index);
    if (state.Contains(odSelected) && FPreview && FPreview->Active() && FPreview->FontName() != name) {
        FPreview->ShowFont(name, Point(FPreview->GetLeft(), FPreview->GetTop()));
    }
    c->FillRect(rect);
    int x = rect.Left + 15 + 2;
    if (GetItems()->ObjectsAsInt(index) & TRUETYPE_FONTTYPE) {
        const int top = rect.Top + (rect.Height() - FTrueTypeMark->GetHeight()) / 2;
        c->Draw(rect.Left + 1, top, FTrueTypeMark.get());
        x = rect.Left + FTrueTypeMark->GetWidth() + 2;
    }
    TRect textRect = rect;
    textRect.Left = x;
    c->Brush()->SetStyle(bsClear);
    DrawText(c->Handle(), name, -1, textRect, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    c->Brush()->SetStyle(bsSolid);
    // The recently chosen fonts are set apart from the full list by two lines.
    if (FLastMRU >= 0 && (index == FLastMRU || index == FLastMRU + 1) && !state.Contains(odComboBoxEdit)) {
        c->Pen()->SetColor(clBtnShadow);
        const int y = index == FLastMRU ? rect.Bottom - 2 : rect.Top;
        c->MoveTo(rect.Left, y);
        c->LineTo(rect.Right, y);
    }
}

// The list's field paints the TrueType mark in its row itself, so the field starts where the
// flat combo's does.
TRect TfrxFontComboBox::CustomFieldRect() const {
    TRect r = TfrxCustomComboBox::CustomFieldRect();
    r.Left -= FEditOffset;
    return r;
}

void TfrxFontComboBox::Dispatch(TMessage& m) {
    if (m.Msg == WM_FONTCHANGE && !GetComponentState().Contains(csDesigning)) Repopulate();
    if (m.Msg == CM_FONTCHANGED) {
        TfrxCustomComboBox::Dispatch(m);
        Canvas()->Font()->Assign(GetFont());
        const int textHeight = Canvas()->TextHeight("Xy");
        SetItemHeight(FTrueTypeMark->GetHeight() < textHeight ? textHeight : FTrueTypeMark->GetHeight() + 1);
        return;
    }
    TfrxCustomComboBox::Dispatch(m);
}

// --- combo with a button ---------------------------------------------------------------------

TfrxComboEdit::TfrxComboEdit(TComponent* owner) : TComboBox(owner) {
    SetStyle(csSimple);
    SetHeight(21);
    FPanel = new TPanel(this);
    FPanel->SetParent(this);
    FPanel->SetBevelOuter(bvNone);
    FButton = new TSpeedButton(this);
    FButton->SetParent(FPanel);
    FButton->SetAlign(alClient);
    FButton->SetCaption("…");
    FButton->OnClick = [this](TObject*) { ButtonClick(); };
    PlaceButton();
}

void TfrxComboEdit::PlaceButton() {
    const int h = GetHeight();
    FPanel->SetBounds(GetWidth() - h + 2, 2, h - 4, h - 4);
}

TBitmap* TfrxComboEdit::GetGlyph() const { return FButton->GetGlyph(); }
void TfrxComboEdit::SetGlyph(TBitmap* v) {
    FButton->SetGlyph(v);
    FButton->SetCaption(v && !v->Empty() ? "" : "…");
}
void TfrxComboEdit::SetButtonEnabled(bool v) {
    FButtonEnabled = v;
    FButton->SetEnabled(v);
}
std::string TfrxComboEdit::GetButtonHint() const { return FButton->GetHint(); }
void TfrxComboEdit::SetButtonHint(const std::string& v) { FButton->SetHint(v); }

void TfrxComboEdit::Dispatch(TMessage& m) {
    TComboBox::Dispatch(m);
    if (m.Msg == WM_SIZE) PlaceButton();
    if (m.Msg == CM_ENABLEDCHANGED) FButton->SetEnabled(GetEnabled() && FButtonEnabled);
}

void TfrxComboEdit::KeyPress(char32_t& key) {
    // Enter and Esc reach the dialog first, so its default and cancel buttons answer them.
    if (key == 13 || key == 27)
        if (TWinControl* parent = GetParent()) parent->Perform(CM_DIALOGKEY, WPARAM(key), 0);
    TComboBox::KeyPress(key);
}

void TfrxComboEdit::ButtonClick() {
    if (CanFocus()) SetFocus();
    if (OnButtonClick) OnButtonClick(this);
}
