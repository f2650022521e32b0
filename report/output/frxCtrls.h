#pragma once
// The report library's small combo boxes, shared by the preview and the designer: a flat
// editable combo with a list width of its own, the font combo that lists the installed fonts
// with a TrueType mark, a live preview of the font under the cursor and the five fonts chosen
// last at its top, and a simple combo with a button at its right end.

#include <memory>
#include <string>

#include "platform/gui/Buttons.h"
#include "platform/gui/Forms.h"
#include "platform/gui/StdCtrls.h"

class TBitmap;
class TPanel;

class TfrxCustomComboBox : public TCustomComboBox {
    KAROMIL_CLASS(TfrxCustomComboBox, TCustomComboBox)
    KAROMIL_PUBLISHED({
        KAROMIL_PROP(ListWidth).Default(0);
        KAROMIL_PROP(ReadOnly).Default(0);
    })
public:
    explicit TfrxCustomComboBox(TComponent* owner);

    // Width of the opened list; 0 means the control's width - 1.
    int GetListWidth() const noexcept { return FListWidth; }
    void SetListWidth(int v) { FListWidth = v; }
    // A read-only combo offers only its items; nothing can be typed.
    bool GetReadOnly() const noexcept { return FReadOnly; }
    void SetReadOnly(bool v);
    int ButtonWidth() const noexcept { return FButtonWidth; }
    int EditOffset() const noexcept { return FEditOffset; }
    // Height of the opened list: n rows of ItemHeight and 4 for the frame, n being the smaller
    // of DropDownCount and the number of items; one row when either is 0.
    int GetListHeight() const;
    // The list opened above the control, as there was no room below it.
    bool DropsUpward() const noexcept { return FDropsUpward; }
    bool MouseInside() const noexcept { return FMouseInside; }
    // The raised look: designing, dropped down, focused or under the mouse.
    bool Hot() const;
    void Dispatch(TMessage& message) override;

    // Whether a list listHeight high below a control whose client top is at controlTop (screen)
    // would pass the screen's bottom.
    static bool ListWouldPassScreen(int controlTop, int textHeight, int listHeight, int screenHeight);

protected:
    void DropDown() override;
    void CloseUp() override;
    // The flat look: a one-pixel frame, the narrow button with its small arrow, raised while hot.
    TRect CustomFieldRect() const override;
    TRect CustomButtonRect() const override;
    void PaintFrame() override;
    int CustomListWidth() const override { return FListWidth > 0 ? FListWidth : GetWidth() - 1; }
    // Paints the area left of the text field (itemIndex: the shown item, -1 for none).
    virtual void DrawEditBackground(TCanvas* canvas, int itemIndex, const TRect& rect);
    void DrawFrame(TCanvas* canvas, bool active);
    void DrawButton(TCanvas* canvas, int state);  // 0 flat, 1 raised, 2 pressed
    static void DrawArrow(TCanvas* canvas, int x, int y);
    int FEditOffset = 0;

private:
    int FButtonWidth = 11;
    int FListWidth = 0;
    bool FReadOnly = false;
    bool FMouseInside = false;
    bool FDropsUpward = false;
};

class TfrxComboBox : public TfrxCustomComboBox {
    KAROMIL_CLASS(TfrxComboBox, TfrxCustomComboBox)
public:
    explicit TfrxComboBox(TComponent* owner) : TfrxCustomComboBox(owner) {}
};

// The font preview beside an opened font combo: the name written in its own font, size 18.
class TfrxFontPreview : public THintWindow {
    KAROMIL_CLASS(TfrxFontPreview, THintWindow)
public:
    explicit TfrxFontPreview(TComponent* owner);
    // Shows fontName at screen point p (top left).
    void ShowFont(const std::string& fontName, TPoint p);
    const std::string& FontName() const noexcept { return FFontName; }

protected:
    void Paint() override;

private:
    std::string FFontName;
};

class TfrxFontComboBox : public TfrxCustomComboBox {
    KAROMIL_CLASS(TfrxFontComboBox, TfrxCustomComboBox)
    KAROMIL_PUBLISHED({
        KAROMIL_PROP(ShowMRU).Default(1);
        KAROMIL_PROP(MRURegKey);
    })
public:
    explicit TfrxFontComboBox(TComponent* owner);
    ~TfrxFontComboBox() override;

    // The registry key of the recently chosen fonts; empty means the shared default key.
    std::string GetMRURegKey() const { return FMRURegKey; }
    void SetMRURegKey(const std::string& v) { FMRURegKey = v; }
    std::string MRUKey() const;
    bool GetShowMRU() const noexcept { return FShowMRU; }
    void SetShowMRU(bool v) { FShowMRU = v; }
    // Index of the last recently chosen font at the top of the list; -1 when there is none.
    int LastMRUIndex() const noexcept { return FLastMRU; }
    TfrxFontPreview* Preview() const noexcept { return FPreview; }

    // Fills the list: the installed families, sorted, each with its font type; then the
    // recently chosen fonts that are still installed at the top (the others are forgotten).
    virtual void PopulateList();
    void Loaded() override;
    // OnClick, except while the list is being filled or the control is being loaded.
    void Click() override;

    // Where the preview goes for a control at controlScreen (screen coordinates).
    static TPoint PreviewPlace(const TRect& controlScreen, TSize preview, int screenWidth, bool upward);

protected:
    void DropDown() override;
    void CloseUp() override;
    void DrawItem(int index, const TRect& rect, TOwnerDrawState state) override;
    TRect CustomFieldRect() const override;
    void Dispatch(TMessage& message) override;

private:
    // Puts the chosen item on top of the recently chosen fonts and stores them.
    void RememberChoice();
    void StoreMRU();
    void Repopulate();
    TfrxFontPreview* FPreview = nullptr;  // owned as a component
    std::unique_ptr<TBitmap> FTrueTypeMark;
    std::string FMRURegKey;
    bool FShowMRU = true;
    int FLastMRU = -1;
    bool FUpdating = false;
};

// Where recently chosen fonts are kept when MRURegKey is empty.
constexpr const char* frxDefaultMRUKey = "\\Software\\VuzoVaruza\\MRUFont";

class TfrxComboEdit : public TComboBox {
    KAROMIL_CLASS(TfrxComboEdit, TComboBox)
    KAROMIL_PUBLISHED({
        KAROMIL_PROP(Glyph);
        KAROMIL_PROP(ButtonEnabled).Default(1);
        KAROMIL_PROP(ButtonHint);
        KAROMIL_EVENT(OnButtonClick, "TNotifyEvent");
    })
public:
    explicit TfrxComboEdit(TComponent* owner);
    TBitmap* GetGlyph() const;
    void SetGlyph(TBitmap* v);
    bool GetButtonEnabled() const noexcept { return FButtonEnabled; }
    void SetButtonEnabled(bool v);
    std::string GetButtonHint() const;
    void SetButtonHint(const std::string& v);
    TSpeedButton* Button() const noexcept { return FButton; }
    TNotifyEvent OnButtonClick;
    void Dispatch(TMessage& message) override;

protected:
    void KeyPress(char32_t& key) override;

private:
    void PlaceButton();
    void ButtonClick();
    TPanel* FPanel;
    TSpeedButton* FButton;
    bool FButtonEnabled = true;
};
