#pragma once
// Menus: a tree of menu items under a main menu (the form's Menu: its shortcuts; no window of the
// program shows a menu bar, so none is drawn) or a pop-up menu (shown at a screen point, by code
// or by a right click on a control whose PopupMenu it is).
//
// A caption's "&" marks its accelerator; "-" is a separator. ShortCut keys reach a menu item
// from anywhere in its form (main menu) or in the control that owns the pop-up menu, before the
// focused control sees them. A pop-up menu runs modally; tests answer it through
// SetPopupMenuHook instead of a person.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/gui/Controls.h"
#include "platform/gui/ImageList.h"

class QMenu;
class TMenu;
class TAction;

KAROMIL_DECLARE_EXCEPTION(EMenuError, Exception)

// --- shortcuts -------------------------------------------------------------------------------

// TShortCut, ShortCut and ShortCutToKey come with the messages (Messages.h).
// "Ctrl+S", "Shift+F5", "Ctrl+Alt+Del"; empty for scNone.
std::string ShortCutToText(TShortCut shortCut);
// The reverse; 0 for a text that names no key.
TShortCut TextToShortCut(const std::string& text);

// --- items -----------------------------------------------------------------------------------

class TMenuItem : public TComponent {
    KAROMIL_CLASS(TMenuItem, TComponent)
public:
    explicit TMenuItem(TComponent* owner = nullptr);
    ~TMenuItem() override;

    // --- the tree (a parent item owns its children's places, their owner frees them)
    int Count() const noexcept { return int(FItems.size()); }
    TMenuItem* Items(int index) const { return FItems.at(size_t(index)); }
    TMenuItem* operator[](int index) const { return Items(index); }
    TMenuItem* Parent() const noexcept { return FParent; }
    void Add(TMenuItem* item);
    void Insert(int index, TMenuItem* item);
    // Takes the item out of this one; does not free it.
    void Remove(TMenuItem* item);
    // Takes out and frees.
    void Delete(int index);
    void Clear();
    int IndexOf(const TMenuItem* item) const;
    // The child whose caption, without "&", equals caption ignoring case; nullptr when none.
    TMenuItem* Find(const std::string& caption) const;
    // The menu this item belongs to.
    TMenu* GetParentMenu() const;
    int GetMenuIndex() const;

    // --- what it shows
    std::string GetCaption() const { return FCaption; }
    void SetCaption(const std::string& v);
    bool IsLine() const { return FCaption == "-"; }
    bool GetChecked() const noexcept { return FChecked; }
    void SetChecked(bool v);
    bool GetEnabled() const noexcept { return FEnabled; }
    void SetEnabled(bool v);
    bool GetVisible() const noexcept { return FVisible; }
    void SetVisible(bool v);
    TShortCut GetShortCut() const noexcept { return FShortCut; }
    void SetShortCut(TShortCut v);
    // Index into the menu's Images; -1 none.
    int GetImageIndex() const noexcept { return FImageIndex; }
    void SetImageIndex(int v);
    std::string GetHint() const { return FHint; }
    void SetHint(const std::string& v) { FHint = v; }
    // The action (ActnList.h) that sets what the item shows and runs when it has no OnClick.
    TAction* GetAction() const noexcept { return FAction; }
    void SetAction(TAction* v);

    // OnClick (or the action), unless the item is disabled.
    virtual void Click();
    TNotifyEvent OnClick;

    // The item (this or below) whose ShortCut is shortCut, visible along the way.
    TMenuItem* FindShortCut(TShortCut shortCut);
    TComponent* GetParentComponent() const override;
    bool HasParent() const override { return true; }
    void SetParentComponent(TComponent* parent) override;

protected:
    void MenuChanged();
    void Notification(TComponent* component, TOperation operation) override;

private:
    friend class TMenu;
    std::vector<TMenuItem*> FItems;
    TMenuItem* FParent = nullptr;
    TMenu* FMenu = nullptr;  // set on the root item only
    std::string FCaption;
    std::string FHint;
    bool FChecked = false;
    bool FEnabled = true;
    bool FVisible = true;
    TShortCut FShortCut = 0;
    int FImageIndex = -1;
    TAction* FAction = nullptr;
};

// --- menus -----------------------------------------------------------------------------------

class TMenu : public TComponent {
    KAROMIL_CLASS(TMenu, TComponent)
public:
    explicit TMenu(TComponent* owner);
    ~TMenu() override;
    // The invisible root; its children are the menu's top items.
    TMenuItem* GetItems() const noexcept { return FItems.get(); }
    TCustomImageList* GetImages() const noexcept { return FImages; }
    void SetImages(TCustomImageList* v);
    // Clicks the item with this shortcut; true when one was found (enabled or not: a disabled
    // item swallows its key, as the user expects nothing else to happen).
    bool IsShortCut(WORD key, TShiftState shift);
    // Called by the items when something shown changed.
    virtual void MenuChanged(TMenuItem* item);
    // The Qt menu of an item's children (built afresh), for showing; owned by the caller.
    QMenu* BuildQMenu(TMenuItem* item, QWidget* parent);

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    std::unique_ptr<TMenuItem> FItems;
    TCustomImageList* FImages = nullptr;
};

// The form's main menu: its items' shortcuts work anywhere in the form. Assigned through
// TCustomForm::SetMenu.
class TMainMenu : public TMenu {
    KAROMIL_CLASS(TMainMenu, TMenu)
public:
    explicit TMainMenu(TComponent* owner) : TMenu(owner) {}
};

enum TPopupAlignment { paLeft, paRight, paCenter };
KAROMIL_ENUM_TYPE(TPopupAlignment, "paLeft", "paRight", "paCenter")

class TPopupMenu : public TMenu {
    KAROMIL_CLASS(TPopupMenu, TMenu)
public:
    explicit TPopupMenu(TComponent* owner);
    ~TPopupMenu() override;
    // Whether a right click on a control whose PopupMenu this is shows it.
    bool GetAutoPopup() const noexcept { return FAutoPopup; }
    void SetAutoPopup(bool v) { FAutoPopup = v; }
    // The control the menu was last shown for.
    TComponent* PopupComponent() const noexcept { return FPopupComponent; }
    void SetPopupComponent(TComponent* c) { FPopupComponent = c; }
    // Shows the menu at the screen point and waits; the chosen item is clicked after the menu
    // closed. OnPopup runs first.
    virtual void Popup(int x, int y);
    TNotifyEvent OnPopup;

private:
    bool FAutoPopup = true;
    TComponent* FPopupComponent = nullptr;
};

// While set, Popup asks the hook which item to choose (nullptr: none) instead of showing a menu.
using TPopupMenuHook = std::function<TMenuItem*(TPopupMenu* menu, TPoint screenPos)>;
void SetPopupMenuHook(TPopupMenuHook hook);

// A key as the window layer hands it over before the focused control: the pop-up menus of the
// control and its parents, then the form's main menu. True when an item took it.
bool IsMenuKey(TWinControl* control, WORD key, TShiftState shift);
// A context-menu request (right click; (-1, -1) from the keyboard) on a control with an automatic
// PopupMenu shows it; false when the control has none.
bool DoContextPopup(TControl* control, TPoint screenPos);
