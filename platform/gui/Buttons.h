#pragma once
// Buttons with pictures: the bitmap button (a push button with a glyph, optionally of a
// standard kind that brings its caption, result and glyph) and the speed button (a flat
// graphic control, often one of a group of which one is down).
//
// A glyph is a strip of NumGlyphs equal images side by side: up, disabled, clicked, down.
// The colour of its bottom-left pixel is transparent.

#include <memory>
#include <string>

#include "platform/gui/Bitmaps.h"
#include "platform/gui/StdCtrls.h"

class QImage;

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
KAROMIL_ENUM_TYPE(TButtonLayout, "blGlyphLeft", "blGlyphRight", "blGlyphTop", "blGlyphBottom")
enum TBitBtnKind { bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll };
KAROMIL_ENUM_TYPE(TBitBtnKind, "bkCustom", "bkOK", "bkCancel", "bkHelp", "bkYes", "bkNo", "bkClose", "bkAbort",
    "bkRetry", "bkIgnore", "bkAll")
enum TButtonState { bsUp, bsDisabled, bsDown, bsExclusive };
using TNumGlyphs = int;  // 1 to 4

// Lays out a glyph and a caption inside a button face, as both button kinds do. Margin -1
// centres the pair; Spacing -1 puts the glyph and the text in the middle of the space left.
struct TButtonGlyphLayout {
    TRect Glyph;
    TRect Text;
};
TButtonGlyphLayout LayoutGlyph(
    const TRect& client, TSize glyph, TSize text, TButtonLayout layout, int margin, int spacing);

// The picture of one state from a glyph strip; empty when the strip has none.
QImage GlyphImage(TBitmap* glyph, int numGlyphs, TButtonState state);

class TBitBtn : public TButton {
    KAROMIL_CLASS(TBitBtn, TButton)
public:
    explicit TBitBtn(TComponent* owner);
    ~TBitBtn() override;
    TBitmap* GetGlyph() const noexcept { return FGlyph.get(); }
    void SetGlyph(TBitmap* v);
    TNumGlyphs GetNumGlyphs() const noexcept { return FNumGlyphs; }
    void SetNumGlyphs(TNumGlyphs v);
    // A kind other than bkCustom sets caption, modal result, Default/Cancel and glyph; changing
    // any of them afterwards (in code or by loading) keeps the kind but the change wins.
    TBitBtnKind GetKind() const noexcept { return FKind; }
    void SetKind(TBitBtnKind v);
    TButtonLayout GetLayout() const noexcept { return FLayout; }
    void SetLayout(TButtonLayout v);
    int GetMargin() const noexcept { return FMargin; }
    void SetMargin(int v);
    int GetSpacing() const noexcept { return FSpacing; }
    void SetSpacing(int v);
    // bkClose closes the form after OnClick.
    void Click() override;
    // Where the glyph and the caption are painted (client coordinates), for tests.
    TButtonGlyphLayout FaceLayout() const;

protected:
    QWidget* CreateWidget(QWidget* parent) override;

private:
    void GlyphChanged(TObject*);
    std::unique_ptr<TBitmap> FGlyph;
    TNumGlyphs FNumGlyphs = 1;
    TBitBtnKind FKind = bkCustom;
    TButtonLayout FLayout = blGlyphLeft;
    int FMargin = -1;
    int FSpacing = 4;
};

class TSpeedButton : public TGraphicControl {
    KAROMIL_CLASS(TSpeedButton, TGraphicControl)
public:
    explicit TSpeedButton(TComponent* owner);
    ~TSpeedButton() override;
    // Buttons of one parent with the same non-zero GroupIndex: pressing one releases the others.
    int GetGroupIndex() const noexcept { return FGroupIndex; }
    void SetGroupIndex(int v);
    bool GetDown() const noexcept { return FDown; }
    void SetDown(bool v);
    // Whether the down button of a group may be released by clicking it again.
    bool GetAllowAllUp() const noexcept { return FAllowAllUp; }
    void SetAllowAllUp(bool v);
    // A flat button shows its frame only under the mouse or when down.
    bool GetFlat() const noexcept { return FFlat; }
    void SetFlat(bool v);
    TBitmap* GetGlyph() const noexcept { return FGlyph.get(); }
    void SetGlyph(TBitmap* v);
    TNumGlyphs GetNumGlyphs() const noexcept { return FNumGlyphs; }
    void SetNumGlyphs(TNumGlyphs v);
    TButtonLayout GetLayout() const noexcept { return FLayout; }
    void SetLayout(TButtonLayout v);
    int GetMargin() const noexcept { return FMargin; }
    void SetMargin(int v);
    int GetSpacing() const noexcept { return FSpacing; }
    void SetSpacing(int v);
    // The face as painted: pressed while the mouse holds it or while Down.
    TButtonState State() const noexcept { return FState; }
    bool MouseInControl() const noexcept { return FMouseInControl; }
    void Click() override;
    void Dispatch(TMessage& message) override;

protected:
    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

private:
    void GlyphChanged(TObject*);
    void ReleaseOthers();
    void SetState(TButtonState s);
    std::unique_ptr<TBitmap> FGlyph;
    TNumGlyphs FNumGlyphs = 1;
    int FGroupIndex = 0;
    bool FDown = false;
    bool FAllowAllUp = false;
    bool FFlat = false;
    bool FDragging = false;
    bool FMouseInControl = false;
    TButtonState FState = bsUp;
    TButtonLayout FLayout = blGlyphLeft;
    int FMargin = -1;
    int FSpacing = 4;
};
