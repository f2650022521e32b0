#pragma once
// Image lists: equal-sized images kept with their masks, drawn normally, transparently,
// blended or disabled (embossed in the button shadow and highlight colours).

#include <vector>

#include "platform/classes/Component.h"
#include "platform/gui/Bitmaps.h"

// ImageList_DrawEx styles and colours.
enum : uint32_t {
    ILD_NORMAL = 0x0,
    ILD_TRANSPARENT = 0x1,
    ILD_BLEND25 = 0x2,
    ILD_FOCUS = 0x2,
    ILD_BLEND50 = 0x4,
    ILD_SELECTED = 0x4,
    ILD_BLEND = 0x4,
    ILD_MASK = 0x10,
};
constexpr TColor CLR_NONE = TColor(0xFFFFFFFF);
constexpr TColor CLR_DEFAULT = TColor(0xFF000000);

enum TDrawingStyle { dsFocus, dsSelected, dsNormal, dsTransparent };
enum TImageType { itImage, itMask };

class TCustomImageList;

// Told when the list changes; the list forgets links that are destroyed.
class TChangeLink : public TObject {
    KAROMIL_CLASS(TChangeLink, TObject)
public:
    TChangeLink() = default;
    ~TChangeLink() override;
    TCustomImageList* Sender = nullptr;
    TNotifyEvent OnChange;
    void Change() {
        if (OnChange) OnChange(reinterpret_cast<TObject*>(Sender));
    }
};

class TCustomImageList : public TComponent {
    KAROMIL_CLASS(TCustomImageList, TComponent)
public:
    explicit TCustomImageList(TComponent* owner = nullptr);
    ~TCustomImageList() override;
    void Assign(TPersistent* source) override;

    int GetWidth() const noexcept { return FWidth; }
    void SetWidth(int w);  // changing the size clears the list
    int GetHeight() const noexcept { return FHeight; }
    void SetHeight(int h);
    int Count() const noexcept;
    TColor GetBkColor() const noexcept { return FBkColor; }
    void SetBkColor(TColor c) {
        FBkColor = c;
        Change();
    }
    TColor GetBlendColor() const noexcept { return FBlendColor; }
    void SetBlendColor(TColor c) {
        FBlendColor = c;
        Change();
    }
    TDrawingStyle GetDrawingStyle() const noexcept { return FDrawingStyle; }
    void SetDrawingStyle(TDrawingStyle s) {
        FDrawingStyle = s;
        Change();
    }
    TImageType GetImageType() const noexcept { return FImageType; }
    void SetImageType(TImageType t) {
        FImageType = t;
        Change();
    }
    bool GetMasked() const noexcept { return FMasked; }
    void SetMasked(bool m) {
        FMasked = m;
        Change();
    }

    // Each splits a strip as wide as several images into them; the index of the first.
    // mask: a monochrome bitmap whose white pixels are transparent (nullptr: none).
    int Add(TBitmap* image, TBitmap* mask);
    // Pixels of maskColor are transparent; clDefault takes the bitmap's bottom-left pixel.
    int AddMasked(TBitmap* image, TColor maskColor);
    int AddIcon(TIcon* icon);
    void Replace(int index, TBitmap* image, TBitmap* mask);
    void Delete(int index);
    void Clear();
    void GetBitmap(int index, TBitmap* image);

    void Draw(TCanvas* canvas, int x, int y, int index, bool enabled = true);
    void Draw(TCanvas* canvas, int x, int y, int index, TDrawingStyle style, TImageType type, bool enabled = true);
    // The tile as ARGB, transparent where masked (GraphicsPrivate.h reads it as ImageListImage).
    const TPictureImage& PictureImage(int index) const;

    void RegisterChanges(TChangeLink* link);
    void UnRegisterChanges(TChangeLink* link);
    TNotifyEvent OnChange;

protected:
    virtual void Change();

private:
    int AddImage(const TPictureImage& argb);
    int FWidth = 16, FHeight = 16;
    TColor FBkColor = clNone, FBlendColor = clNone;
    TDrawingStyle FDrawingStyle = dsNormal;
    TImageType FImageType = itImage;
    bool FMasked = true;
    std::vector<TPictureImage> FImages;  // ARGB32
    std::vector<TChangeLink*> FLinks;
};

class TImageList : public TCustomImageList {
    KAROMIL_CLASS(TImageList, TCustomImageList)
public:
    explicit TImageList(TComponent* owner = nullptr) : TCustomImageList(owner) {}
};

// ImageList_DrawEx: bk is the colour under transparent pixels (CLR_NONE: none, CLR_DEFAULT:
// the list's BkColor); fg the blend colour (CLR_DEFAULT: the highlight colour).
bool ImageList_DrawEx(
    TCustomImageList* list, int index, TCanvas* dc, int x, int y, int dx, int dy, TColor bk, TColor fg, uint32_t style);
