#pragma once
// Shared by the grid editor tests: a small host (a TCustomdxContainer with switchable answers
// that records what its editor sends it), an editor that shows its protected key handling,
// a shown form around them, a beep counter, and bitmap helpers for pixel checks.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "grid/editors/dxCntner.h"
#include "grid/editors/dxEditStyle.h"
#include "grid/editors/dxInplaceEdit.h"
#include "platform/gui/Bitmaps.h"
#include "platform/gui/Forms.h"
#include "platform/gui/Shell.h"
#include "platform/gui/TestKit.h"

namespace gridtest {

// A host whose answers a test switches; unset answers are the base's.
class TTestContainer : public TCustomdxContainer {
public:
    using inherited = TCustomdxContainer;
    explicit TTestContainer(TComponent* owner) : TCustomdxContainer(owner) {}

    std::optional<bool> CanModify, CharValid, Tabs, Immediate, CellChanged, ButtonsAlways;

    struct TKey {
        WORD Key;
        TShiftState Shift;
    };
    std::vector<TKey> KeysDown;  // what reached the container's own key handling
    std::vector<TKey> EditorKeys;  // what EditorKeyDown was told
    std::vector<char32_t> KeysPressed;
    std::vector<int> VScrolls;  // scroll codes of WM_VSCROLL
    int Invalidations = 0;
    int DblClicks = 0;
    int WindowsMade = 0;
    std::function<void()> OnContainerKey;  // runs inside KeyDown (validation from the host)
    std::function<void(TCanvas*)> OnPaint;  // what the host paints

    bool CanEditorModify() override { return CanModify ? *CanModify : inherited::CanEditorModify(); }
    bool IsEditorCharValid(char32_t key) override { return CharValid ? *CharValid : inherited::IsEditorCharValid(key); }
    bool WantTabs() override { return Tabs ? *Tabs : inherited::WantTabs(); }
    bool IsImmediateEditor() override { return Immediate ? *Immediate : inherited::IsImmediateEditor(); }
    bool IsEditorCellChanged() override { return CellChanged ? *CellChanged : inherited::IsEditorCellChanged(); }
    bool IsShowButtonAlways() override { return ButtonsAlways ? *ButtonsAlways : inherited::IsShowButtonAlways(); }
    void InvalidateSelection() override { ++Invalidations; }
    void EditorKeyDown(WORD& key, TShiftState shift) override {
        EditorKeys.push_back({key, shift});
        inherited::EditorKeyDown(key, shift);
    }
    void Dispatch(TMessage& m) override {
        if (m.Msg == WM_VSCROLL) VScrolls.push_back(LoWord(m.WParam));
        inherited::Dispatch(m);
    }

protected:
    void KeyDown(WORD& key, TShiftState shift) override {
        KeysDown.push_back({key, shift});
        if (OnContainerKey) OnContainerKey();
    }
    void KeyPress(char32_t& key) override { KeysPressed.push_back(key); }
    void DblClick() override { ++DblClicks; }
    void Paint() override {
        if (OnPaint) OnPaint(Canvas());
    }
    void CreateWnd() override {
        ++WindowsMade;
        inherited::CreateWnd();
    }
};

// An in-place text editor that shows its key handling and counts its notifications.
class TTestEdit : public TdxInplaceEdit {
public:
    explicit TTestEdit(TComponent* owner) : TdxInplaceEdit(owner, dxInplaceTextEditClass()) {}
    using TdxInplaceEdit::KeyDown;
    using TdxInplaceEdit::KeyPress;

    bool EditWindow = false;
    int Shown = 0;
    int CaretToEnd = 0;
    int StyleChanges = 0;

    bool HasEditWindow() override { return EditWindow; }
    void EditShown() override { ++Shown; }
    void MoveCaretToEnd() override { ++CaretToEnd; }
    void StyleChanged() override {
        ++StyleChanges;
        TdxInplaceEdit::StyleChanged();
    }
};

class EditorsTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestKit::EnsureApplication();
        SetBeepHandler([this](UINT) { ++Beeps; });
        Form = new TForm(nullptr);
        Form->SetBounds(40, 40, 420, 320);
        Container = new TTestContainer(Form);
        Container->SetParent(Form);
        Container->SetBounds(10, 10, 360, 260);
        Edit = new TTestEdit(Container);
        Edit->SetParent(Container);
        TestKit::ShowAndActivate(Form);
    }
    void TearDown() override {
        delete Form;
        SetBeepHandler(nullptr);
    }

    TForm* Form = nullptr;
    TTestContainer* Container = nullptr;
    TTestEdit* Edit = nullptr;
    int Beeps = 0;
};

// A white bitmap to paint on.
inline std::unique_ptr<TBitmap> WhiteBitmap(int w, int h) {
    auto b = std::make_unique<TBitmap>(w, h);
    FillRect(b->Canvas()->Handle(), Rect(0, 0, w, h), clWhite);
    return b;
}

// How many pixels of r have colour c.
inline int CountColor(TBitmap& b, const TRect& r, TColor c) {
    int n = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x)
            if (b.GetPixel(x, y) == c) ++n;
    return n;
}

// The bounding box of the pixels of r that are not colour background (empty when none).
inline TRect InkBox(TBitmap& b, const TRect& r, TColor background) {
    TRect box{r.Right, r.Bottom, r.Left, r.Top};
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x)
            if (b.GetPixel(x, y) != background) {
                box.Left = std::min(box.Left, x);
                box.Top = std::min(box.Top, y);
                box.Right = std::max(box.Right, x + 1);
                box.Bottom = std::max(box.Bottom, y + 1);
            }
    if (box.Left >= box.Right) return TRect{};
    return box;
}

inline TFontData CellFont() {
    TFontData f;
    f.Name = "Tahoma";
    f.Height = -11;
    return f;
}

inline TBrushData SolidBrush(TColor c) {
    TBrushData b;
    b.Color = c;
    return b;
}

}  // namespace gridtest
