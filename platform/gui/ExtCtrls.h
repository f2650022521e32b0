#pragma once
// More controls: the panel (a container with bevels and a caption), the bevel (a line or a
// frame), the image, the shape, the paint box, the radio group, the splitter and the timer.
//
// All of them paint themselves with the Canvas, so what they show is the same under every
// platform style.

#include <memory>
#include <string>

#include "platform/classes/StringList.h"
#include "platform/gui/Bitmaps.h"
#include "platform/gui/StdCtrls.h"

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
KAROMIL_ENUM_TYPE(TBevelCut, "bvNone", "bvLowered", "bvRaised", "bvSpace")
using TPanelBevel = TBevelCut;
using TBevelWidth = int;
using TBorderWidth = int;

// --- panel -----------------------------------------------------------------------------------

// Outer bevel, then BorderWidth of plain colour, then the inner bevel; aligned children and
// the caption live inside all three.
class TCustomPanel : public TCustomControl {
    KAROMIL_CLASS(TCustomPanel, TCustomControl)
public:
    explicit TCustomPanel(TComponent* owner);
    TPanelBevel GetBevelInner() const noexcept { return FBevelInner; }
    void SetBevelInner(TPanelBevel v);
    TPanelBevel GetBevelOuter() const noexcept { return FBevelOuter; }
    void SetBevelOuter(TPanelBevel v);
    TBevelWidth GetBevelWidth() const noexcept { return FBevelWidth; }
    void SetBevelWidth(TBevelWidth v);
    TBorderWidth GetBorderWidth() const noexcept { return FBorderWidth; }
    void SetBorderWidth(TBorderWidth v);
    TAlignment GetAlignment() const noexcept { return FAlignment; }
    void SetAlignment(TAlignment v);
    // The client rectangle less bevels and border: where aligned children go.
    TRect InnerRect() const;
    void Dispatch(TMessage& message) override;

protected:
    void Paint() override;
    void AlignControls(TControl* control, TRect& rect) override;

private:
    int FrameWidth() const noexcept;
    TPanelBevel FBevelInner = bvNone;
    TPanelBevel FBevelOuter = bvRaised;
    TBevelWidth FBevelWidth = 1;
    TBorderWidth FBorderWidth = 0;
    TAlignment FAlignment = taCenter;
};

class TPanel : public TCustomPanel {
    KAROMIL_CLASS(TPanel, TCustomPanel)
public:
    explicit TPanel(TComponent* owner) : TCustomPanel(owner) {}
};

// Draws one bevel ring of width w inside r and shrinks r by it (bvNone draws nothing).
void DrawBevelRing(TCanvas* canvas, TRect& r, TBevelCut cut, int w);

// --- bevel -----------------------------------------------------------------------------------

enum TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
KAROMIL_ENUM_TYPE(TBevelShape, "bsBox", "bsFrame", "bsTopLine", "bsBottomLine", "bsLeftLine", "bsRightLine", "bsSpacer")
enum TBevelStyle { bsLowered, bsRaised };
KAROMIL_ENUM_TYPE(TBevelStyle, "bsLowered", "bsRaised")

class TBevel : public TGraphicControl {
    KAROMIL_CLASS(TBevel, TGraphicControl)
public:
    explicit TBevel(TComponent* owner);
    TBevelShape GetShape() const noexcept { return FShape; }
    void SetShape(TBevelShape v);
    TBevelStyle GetStyle() const noexcept { return FStyle; }
    void SetStyle(TBevelStyle v);

protected:
    void Paint() override;

private:
    TBevelShape FShape = bsBox;
    TBevelStyle FStyle = bsLowered;
};

// --- image -----------------------------------------------------------------------------------

class TImage : public TGraphicControl {
    KAROMIL_CLASS(TImage, TGraphicControl)
public:
    explicit TImage(TComponent* owner);
    ~TImage() override;
    TPicture* GetPicture() const noexcept { return FPicture.get(); }
    void SetPicture(TPicture* v);
    // Sizes the control to the picture whenever the picture changes.
    bool GetAutoSize() const noexcept { return FAutoSize; }
    void SetAutoSize(bool v);
    bool GetStretch() const noexcept { return FStretch; }
    void SetStretch(bool v);
    bool GetCenter() const noexcept { return FCenter; }
    void SetCenter(bool v);
    // The picture's transparent pixels show the parent (bitmaps: the bottom-left pixel's colour).
    bool GetTransparent() const noexcept { return FTransparent; }
    void SetTransparent(bool v);
    // Where the picture is drawn, client coordinates.
    TRect DestRect() const;
    void Loaded() override;

protected:
    void Paint() override;

private:
    void PictureChanged(TObject*);
    void AdjustSize();
    std::unique_ptr<TPicture> FPicture;
    bool FAutoSize = false;
    bool FStretch = false;
    bool FCenter = false;
    bool FTransparent = false;
};

// --- shape -----------------------------------------------------------------------------------

enum TShapeType { stRectangle, stSquare, stRoundRect, stRoundSquare, stEllipse, stCircle };
KAROMIL_ENUM_TYPE(TShapeType, "stRectangle", "stSquare", "stRoundRect", "stRoundSquare", "stEllipse", "stCircle")

class TShape : public TGraphicControl {
    KAROMIL_CLASS(TShape, TGraphicControl)
public:
    explicit TShape(TComponent* owner);
    ~TShape() override;
    TShapeType GetShape() const noexcept { return FShape; }
    void SetShape(TShapeType v);
    TPen* GetPen() const noexcept { return FPen.get(); }
    void SetPen(TPen* v) { FPen->Assign(v); }
    TBrush* GetBrush() const noexcept { return FBrush.get(); }
    void SetBrush(TBrush* v) { FBrush->Assign(v); }

protected:
    void Paint() override;

private:
    void StyleChanged(TObject*) { Invalidate(); }
    TShapeType FShape = stRectangle;
    std::unique_ptr<TPen> FPen;
    std::unique_ptr<TBrush> FBrush;
};

// --- paint box -----------------------------------------------------------------------------

// An area the program paints in OnPaint, with Canvas holding the control's font and colour.
class TPaintBox : public TGraphicControl {
    KAROMIL_CLASS(TPaintBox, TGraphicControl)
public:
    explicit TPaintBox(TComponent* owner);
    TNotifyEvent OnPaint;

protected:
    void Paint() override;
};

// --- radio group -----------------------------------------------------------------------------

// A group box holding one radio button per item, in Columns columns; OnClick after the user
// or the code changed ItemIndex.
class TCustomRadioGroup : public TCustomGroupBox {
    KAROMIL_CLASS(TCustomRadioGroup, TCustomGroupBox)
public:
    explicit TCustomRadioGroup(TComponent* owner);
    ~TCustomRadioGroup() override;
    TStrings* GetItems() const noexcept { return FItems.get(); }
    void SetItems(TStrings* v) { FItems->Assign(v); }
    int GetItemIndex() const noexcept { return FItemIndex; }
    void SetItemIndex(int v);
    int GetColumns() const noexcept { return FColumns; }
    void SetColumns(int v);
    int ButtonCount() const noexcept { return int(FButtons.size()); }
    TRadioButton* Buttons(int index) const { return FButtons.at(size_t(index)); }
    void Loaded() override;
    void Dispatch(TMessage& message) override;

private:
    void ItemsChanged(TObject*);
    void UpdateButtons();
    void ArrangeButtons();
    void ButtonClicked(TObject* sender);
    std::unique_ptr<TStringList> FItems;
    std::vector<TRadioButton*> FButtons;
    int FItemIndex = -1;
    int FColumns = 1;
    bool FUpdating = false;
};

class TRadioGroup : public TCustomRadioGroup {
    KAROMIL_CLASS(TRadioGroup, TCustomRadioGroup)
public:
    explicit TRadioGroup(TComponent* owner) : TCustomRadioGroup(owner) {}
};

// --- splitter --------------------------------------------------------------------------------

// Dragging the splitter resizes the aligned control it sits against (the one before it on its
// side), never below MinSize and never leaving less than MinSize to the rest of the parent.
class TSplitter : public TGraphicControl {
    KAROMIL_CLASS(TSplitter, TGraphicControl)
public:
    explicit TSplitter(TComponent* owner);
    int GetMinSize() const noexcept { return FMinSize; }
    void SetMinSize(int v) { FMinSize = v < 1 ? 1 : v; }
    // The control it resizes now; nullptr when none.
    TControl* FindControl() const;
    TNotifyEvent OnMoved;

protected:
    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

private:
    void MoveBy(int delta);
    int FMinSize = 30;
    TControl* FControl = nullptr;
    TPoint FDownPos;
    int FStartSize = 0;
    bool FDragging = false;
};

// --- timer -----------------------------------------------------------------------------------

// Fires OnTimer every Interval ms on the GUI thread while Enabled and Interval > 0 (a timer
// without OnTimer runs idle, so assigning the event later needs no restart). Setting Enabled or
// Interval restarts the count; a timer being loaded starts when loading ends.
class TTimer : public TComponent {
    KAROMIL_CLASS(TTimer, TComponent)
public:
    explicit TTimer(TComponent* owner = nullptr);
    ~TTimer() override;
    bool GetEnabled() const noexcept { return FEnabled; }
    void SetEnabled(bool v);
    unsigned GetInterval() const noexcept { return FInterval; }
    void SetInterval(unsigned v);
    // Whether a system timer runs now.
    bool Running() const noexcept { return FId != 0; }
    TNotifyEvent OnTimer;
    void Loaded() override;

protected:
    virtual void Timer();

private:
    void UpdateTimer();
    bool FEnabled = true;
    unsigned FInterval = 1000;
    uintptr_t FId = 0;
};
