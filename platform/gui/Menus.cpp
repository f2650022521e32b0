#include "platform/gui/Menus.h"

#include <QtGui/QAction>
#include <QtGui/QPixmap>
#include <QtWidgets/QMenu>

#include <algorithm>
#include <cctype>

#include "platform/gui/ActnList.h"
#include "platform/gui/Application.h"
#include "platform/gui/GraphicsPrivate.h"
#include "platform/gui/StdCtrls.h"

KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TMenuItem, TComponent, {
    KAROMIL_PROP(Caption);
    KAROMIL_PROP(Checked).Default(0);
    KAROMIL_PROP(Enabled).Default(1);
    KAROMIL_PROP(Visible).Default(1);
    KAROMIL_PROP(ShortCut, TypeInfoShortCut()).Default(0);
    KAROMIL_PROP(ImageIndex).Default(-1);
    KAROMIL_PROP(Hint);
    KAROMIL_PROP(Action);
    p.Event("OnClick", &Self::OnClick, "TNotifyEvent");
})
KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TMenu, TComponent, { KAROMIL_PROP(Images); })
KAROMIL_IMPLEMENT_CLASS(TMainMenu, TMenu)
KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TPopupMenu, TMenu, {
    KAROMIL_PROP(AutoPopup).Default(1);
    p.Event("OnPopup", &Self::OnPopup, "TNotifyEvent");
})

// --- shortcuts -------------------------------------------------------------------------------

namespace {

struct TKeyName {
    WORD Key;
    const char* Name;
};
const TKeyName KeyNames[] = {
    {VK_BACK, "BkSp"},
    {VK_TAB, "Tab"},
    {VK_RETURN, "Enter"},
    {VK_ESCAPE, "Esc"},
    {VK_SPACE, "Space"},
    {VK_PRIOR, "PgUp"},
    {VK_NEXT, "PgDn"},
    {VK_END, "End"},
    {VK_HOME, "Home"},
    {VK_LEFT, "Left"},
    {VK_UP, "Up"},
    {VK_RIGHT, "Right"},
    {VK_DOWN, "Down"},
    {VK_INSERT, "Ins"},
    {VK_DELETE, "Del"},
};

std::string KeyName(WORD key) {
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return std::string(1, char(key));
    if (key >= VK_F1 && key <= VK_F12) return "F" + std::to_string(key - VK_F1 + 1);
    for (const TKeyName& k : KeyNames)
        if (k.Key == key) return k.Name;
    return {};
}

bool SameText(const std::string& a, const std::string& b) {
    return QString::fromStdString(a).compare(QString::fromStdString(b), Qt::CaseInsensitive) == 0;
}

TPopupMenuHook& PopupHook() {
    static TPopupMenuHook hook;
    return hook;
}

}  // namespace

std::string ShortCutToText(TShortCut sc) {
    const std::string name = KeyName(sc & 0xFF);
    if (name.empty()) return {};
    std::string out;
    if (sc & scShift) out += "Shift+";
    if (sc & scCtrl) out += "Ctrl+";
    if (sc & scAlt) out += "Alt+";
    return out + name;
}

TShortCut TextToShortCut(const std::string& text) {
    TShortCut mods = 0;
    std::string rest = text;
    for (bool found = true; found;) {
        found = false;
        for (auto [prefix, bit] :
            {std::pair<const char*, TShortCut>{"Shift+", scShift}, {"Ctrl+", scCtrl}, {"Alt+", scAlt}}) {
            const size_t n = std::char_traits<char>::length(prefix);
            if (rest.size() > n && SameText(rest.substr(0, n), prefix)) {
                mods |= bit;
                rest = rest.substr(n);
                found = true;
            }
        }
    }
    for (WORD key = 1; key < 256; ++key) {
        if (const std::string name = KeyName(key); !name.empty() && SameText(name, rest)) return TShortCut(mods | key);
    }
    return 0;
}

// --- TMenuItem -------------------------------------------------------------------------------

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner) {}

TMenuItem::~TMenuItem() {
    if (FParent) FParent->Remove(this);
    // Children whose owner is not this item stay alive; they just lose their parent.
    for (TMenuItem* child : FItems) child->FParent = nullptr;
}

void TMenuItem::Add(TMenuItem* item) { Insert(Count(), item); }

void TMenuItem::Insert(int index, TMenuItem* item) {
    if (!item) return;
    if (item->FParent) throw EMenuError("Menu inserted twice");
    index = std::clamp(index, 0, Count());
    FItems.insert(FItems.begin() + index, item);
    item->FParent = this;
    MenuChanged();
}

void TMenuItem::Remove(TMenuItem* item) {
    auto it = std::find(FItems.begin(), FItems.end(), item);
    if (it == FItems.end()) return;
    FItems.erase(it);
    item->FParent = nullptr;
    MenuChanged();
}

void TMenuItem::Delete(int index) {
    TMenuItem* item = Items(index);
    Remove(item);
    delete item;
}

void TMenuItem::Clear() {
    while (Count() > 0) Delete(Count() - 1);
}

int TMenuItem::IndexOf(const TMenuItem* item) const {
    auto it = std::find(FItems.begin(), FItems.end(), item);
    return it == FItems.end() ? -1 : int(it - FItems.begin());
}

int TMenuItem::GetMenuIndex() const { return FParent ? FParent->IndexOf(this) : -1; }

TMenuItem* TMenuItem::Find(const std::string& caption) const {
    const std::string wanted = StripHotkey(caption);
    for (TMenuItem* i : FItems) {
        if (SameText(StripHotkey(i->FCaption), wanted)) return i;
    }
    return nullptr;
}

TMenu* TMenuItem::GetParentMenu() const {
    const TMenuItem* i = this;
    while (i->FParent) i = i->FParent;
    return i->FMenu;
}

void TMenuItem::MenuChanged() {
    if (TMenu* m = GetParentMenu()) m->MenuChanged(this);
}

void TMenuItem::SetCaption(const std::string& v) {
    FCaption = v;
    MenuChanged();
}
void TMenuItem::SetChecked(bool v) {
    FChecked = v;
    MenuChanged();
}
void TMenuItem::SetEnabled(bool v) {
    FEnabled = v;
    MenuChanged();
}
void TMenuItem::SetVisible(bool v) {
    FVisible = v;
    MenuChanged();
}
void TMenuItem::SetShortCut(TShortCut v) {
    FShortCut = v;
    MenuChanged();
}
void TMenuItem::SetImageIndex(int v) {
    FImageIndex = v;
    MenuChanged();
}

void TMenuItem::Click() {
    if (!FEnabled) return;
    if (OnClick) OnClick(this);
    else if (FAction) FAction->Execute();
}

void TMenuItem::SetAction(TAction* v) {
    if (v == FAction) return;
    if (FAction) FAction->RemoveClient(this);
    FAction = v;
    if (v) v->AddClient(this);
}

void TMenuItem::Notification(TComponent* c, TOperation op) {
    TComponent::Notification(c, op);
    if (op == opRemove && c == FAction) FAction = nullptr;
}

TMenuItem* TMenuItem::FindShortCut(TShortCut sc) {
    if (sc == 0) return nullptr;
    for (TMenuItem* i : FItems) {
        if (!i->FVisible) continue;
        if (i->FShortCut == sc) return i;
        if (TMenuItem* found = i->FindShortCut(sc)) return found;
    }
    return nullptr;
}

TComponent* TMenuItem::GetParentComponent() const {
    if (FParent && FParent->FMenu) return FParent->FMenu;
    return FParent;
}

void TMenuItem::SetParentComponent(TComponent* parent) {
    if (FParent) FParent->Remove(this);
    if (auto* m = dynamic_cast<TMenu*>(parent)) m->GetItems()->Add(this);
    else if (auto* i = dynamic_cast<TMenuItem*>(parent)) i->Add(this);
}

// --- TMenu -----------------------------------------------------------------------------------

TMenu::TMenu(TComponent* owner) : TComponent(owner), FItems(std::make_unique<TMenuItem>(nullptr)) {
    FItems->FMenu = this;
}

TMenu::~TMenu() {
    // The items belong to the menu's owner; they outlive the tree only as loose items.
    FItems->FMenu = nullptr;
}

void TMenu::SetImages(TCustomImageList* v) {
    FImages = v;
    if (v) v->FreeNotification(this);
}

void TMenu::Notification(TComponent* c, TOperation op) {
    TComponent::Notification(c, op);
    if (op == opRemove && c == FImages) FImages = nullptr;
}

void TMenu::MenuChanged(TMenuItem*) {}

bool TMenu::IsShortCut(WORD key, TShiftState shift) {
    TMenuItem* item = FItems->FindShortCut(ShortCut(key, shift));
    if (!item) return false;
    if (!item->GetEnabled()) return true;
    // The parents get their OnClick first, as when the user opens the menus down to the item.
    std::vector<TMenuItem*> chain;
    for (TMenuItem* i = item->Parent(); i && i != FItems.get(); i = i->Parent()) chain.insert(chain.begin(), i);
    for (TMenuItem* i : chain)
        if (i->GetEnabled()) i->Click();
    item->Click();
    return true;
}

QMenu* TMenu::BuildQMenu(TMenuItem* item, QWidget* parent) {
    auto* menu = new QMenu(parent);
    for (int i = 0; i < item->Count(); ++i) {
        TMenuItem* child = item->Items(i);
        if (!child->GetVisible()) continue;
        if (child->IsLine()) {
            menu->addSeparator();
            continue;
        }
        QString text = QString::fromStdString(child->GetCaption());
        if (child->GetShortCut()) text += "\t" + QString::fromStdString(ShortCutToText(child->GetShortCut()));
        QAction* a = nullptr;
        if (child->Count() > 0) {
            QMenu* sub = BuildQMenu(child, menu);
            sub->setTitle(text);
            a = menu->addMenu(sub);
        } else {
            a = menu->addAction(text);
        }
        a->setEnabled(child->GetEnabled());
        if (child->GetChecked()) {
            a->setCheckable(true);
            a->setChecked(true);
        }
        if (FImages && child->GetImageIndex() >= 0 && child->GetImageIndex() < FImages->Count())
            a->setIcon(QIcon(QPixmap::fromImage(ImageListImage(FImages, child->GetImageIndex()))));
        a->setData(QVariant::fromValue(quintptr(child)));
    }
    return menu;
}

// --- TPopupMenu ------------------------------------------------------------------------------

void SetPopupMenuHook(TPopupMenuHook hook) { PopupHook() = std::move(hook); }

TPopupMenu::TPopupMenu(TComponent* owner) : TMenu(owner) {}
TPopupMenu::~TPopupMenu() = default;

void TPopupMenu::Popup(int x, int y) {
    if (OnPopup) OnPopup(this);
    TMenuItem* chosen = nullptr;
    if (PopupHook()) {
        chosen = PopupHook()(this, Point(x, y));
    } else {
        std::unique_ptr<QMenu> menu(BuildQMenu(GetItems(), nullptr));
        if (QAction* a = menu->exec(QPoint(x, y))) chosen = reinterpret_cast<TMenuItem*>(a->data().value<quintptr>());
    }
    if (chosen) chosen->Click();
}

// --- keys and context menus of controls ------------------------------------------------------

bool IsMenuKey(TWinControl* control, WORD key, TShiftState shift) {
    if (ShortCut(key, shift) == 0) return false;
    // The pop-up menus of the focused control and its parents first, then the form's menu.
    for (TControl* c = control; c; c = c->GetParent()) {
        if (TPopupMenu* m = c->GetPopupMenu(); m && m->IsShortCut(key, shift)) return true;
    }
    if (TCustomForm* f = GetParentForm(control)) {
        if (TMainMenu* m = f->GetMenu(); m && m->IsShortCut(key, shift)) return true;
    }
    return false;
}

bool DoContextPopup(TControl* control, TPoint screenPos) {
    TPopupMenu* m = control->GetPopupMenu();
    if (!m || !m->GetAutoPopup()) return false;
    // From the keyboard (-1, -1): under the control's top-left corner.
    if (screenPos.X == -1 && screenPos.Y == -1) screenPos = control->ClientToScreen(Point(0, 0));
    m->SetPopupComponent(control);
    m->Popup(screenPos.X, screenPos.Y);
    return true;
}
