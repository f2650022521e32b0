#include "platform/gui/ImageList.h"

#include <algorithm>

#include "platform/gui/GraphicsPrivate.h"
#include "platform/rtl/Exceptions.h"

KAROMIL_IMPLEMENT_CLASS(TChangeLink, TObject)
KAROMIL_IMPLEMENT_CLASS(TCustomImageList, TComponent)
KAROMIL_IMPLEMENT_CLASS(TImageList, TCustomImageList)

TChangeLink::~TChangeLink() {
    if (Sender) Sender->UnRegisterChanges(this);
}

TCustomImageList::TCustomImageList(TComponent* owner) : TComponent(owner) {}

TCustomImageList::~TCustomImageList() {
    for (TChangeLink* l : FLinks) l->Sender = nullptr;
}

void TCustomImageList::Assign(TPersistent* source) {
    if (auto* l = dynamic_cast<TCustomImageList*>(source)) {
        FWidth = l->FWidth;
        FHeight = l->FHeight;
        FImages = l->FImages;
        FBkColor = l->FBkColor;
        FBlendColor = l->FBlendColor;
        FDrawingStyle = l->FDrawingStyle;
        FImageType = l->FImageType;
        FMasked = l->FMasked;
        Change();
        return;
    }
    TComponent::Assign(source);
}

void TCustomImageList::SetWidth(int w) {
    if (w <= 0 || w == FWidth) return;
    FWidth = w;
    Clear();
}
void TCustomImageList::SetHeight(int h) {
    if (h <= 0 || h == FHeight) return;
    FHeight = h;
    Clear();
}

void TCustomImageList::Change() {
    for (TChangeLink* l : std::vector<TChangeLink*>(FLinks)) l->Change();
    if (OnChange) OnChange(this);
}

void TCustomImageList::RegisterChanges(TChangeLink* link) {
    if (!link) return;
    link->Sender = this;
    if (std::find(FLinks.begin(), FLinks.end(), link) == FLinks.end()) FLinks.push_back(link);
}
void TCustomImageList::UnRegisterChanges(TChangeLink* link) {
    FLinks.erase(std::remove(FLinks.begin(), FLinks.end(), link), FLinks.end());
    if (link && link->Sender == this) link->Sender = nullptr;
}

int TCustomImageList::Count() const noexcept { return int(FImages.size()); }

int TCustomImageList::AddImage(const TPictureImage& picture) {
    const QImage& argb = picture.Image;
    // A strip of several images side by side becomes several entries.
    int first = Count();
    int n = std::max(1, argb.width() / FWidth);
    for (int i = 0; i < n; ++i) {
        QImage tile(FWidth, FHeight, QImage::Format_ARGB32);
        tile.fill(Qt::transparent);
        QPainter p(&tile);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(0, 0, argb, i * FWidth, 0, FWidth, FHeight);
        p.end();
        FImages.push_back(TPictureImage{tile});
    }
    Change();
    return first;
}

int TCustomImageList::Add(TBitmap* image, TBitmap* mask) {
    if (!image || image->Empty()) return -1;
    QImage argb = BitmapImage(image).convertToFormat(QImage::Format_ARGB32);
    if (mask && !mask->Empty()) {
        const QImage& m = BitmapImage(mask);
        for (int y = 0; y < std::min(argb.height(), m.height()); ++y)
            for (int x = 0; x < std::min(argb.width(), m.width()); ++x)
                if (qGray(m.pixel(x, y)) >= 128) argb.setPixel(x, y, 0);
    }
    return AddImage(TPictureImage{argb});
}

int TCustomImageList::AddMasked(TBitmap* image, TColor maskColor) {
    if (!image || image->Empty()) return -1;
    if (maskColor == clDefault) maskColor = image->GetPixel(0, image->GetHeight() - 1);
    return AddImage(TPictureImage{ColourKeyed(BitmapImage(image), maskColor)});
}

int TCustomImageList::AddIcon(TIcon* icon) {
    if (!icon || icon->Empty()) return -1;
    QImage img = IconImage(icon).scaled(FWidth, FHeight, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    FImages.push_back(TPictureImage{img.convertToFormat(QImage::Format_ARGB32)});
    Change();
    return Count() - 1;
}

void TCustomImageList::Replace(int index, TBitmap* image, TBitmap* mask) {
    if (index < 0 || index >= Count()) throw EInvalidOperation("Invalid ImageList Index");
    int at = Add(image, mask);
    if (at < 0) return;
    FImages[size_t(index)] = FImages[size_t(at)];
    FImages.resize(size_t(at));
    Change();
}

void TCustomImageList::Delete(int index) {
    if (index < 0 || index >= Count()) throw EInvalidOperation("Invalid ImageList Index");
    FImages.erase(FImages.begin() + index);
    Change();
}

void TCustomImageList::Clear() {
    FImages.clear();
    Change();
}

const QImage& ImageListImage(const TCustomImageList* list, int index) { return list->PictureImage(index).Image; }

const TPictureImage& TCustomImageList::PictureImage(int index) const {
    if (index < 0 || index >= Count()) throw EInvalidOperation("Invalid ImageList Index");
    return FImages[size_t(index)];
}

void TCustomImageList::GetBitmap(int index, TBitmap* image) {
    if (!image || index < 0 || index >= Count()) return;
    QImage out(FWidth, FHeight, QImage::Format_RGB32);
    out.fill(RgbToQ(FBkColor == clNone ? clBtnFace : FBkColor));
    QPainter p(&out);
    p.drawImage(0, 0, FImages[size_t(index)].Image);
    p.end();
    SetBitmapImage(image, out);
}

void TCustomImageList::Draw(TCanvas* canvas, int x, int y, int index, bool enabled) {
    Draw(canvas, x, y, index, FDrawingStyle, FImageType, enabled);
}

void TCustomImageList::Draw(
    TCanvas* canvas, int x, int y, int index, TDrawingStyle style, TImageType type, bool enabled) {
    if (!canvas || index < 0 || index >= Count()) return;
    if (enabled) {
        static constexpr uint32_t kStyles[] = {ILD_FOCUS, ILD_SELECTED, ILD_NORMAL, ILD_TRANSPARENT};
        uint32_t s = kStyles[style] | (type == itMask ? uint32_t(ILD_MASK) : 0u);
        ImageList_DrawEx(this, index, canvas, x, y, 0, 0, CLR_DEFAULT, CLR_DEFAULT, s);
        return;
    }
    // Disabled: the shape embossed, highlight one pixel down-right under the shadow.
    const QImage& src = FImages[size_t(index)].Image;
    auto shape = [&](TColor c) {
        QImage img(src.size(), QImage::Format_ARGB32);
        QRgb col = RgbToQ(c).rgb();
        for (int yy = 0; yy < src.height(); ++yy)
            for (int xx = 0; xx < src.width(); ++xx) {
                QRgb p = src.pixel(xx, yy);
                // Light pixels of the image do not show in the embossed shape.
                img.setPixel(xx, yy, (qAlpha(p) >= 128 && qGray(p) < 192) ? col : 0);
            }
        return img;
    };
    canvas->RequiredStateForDrawing();
    QImage hi = shape(clBtnHighlight), sh = shape(clBtnShadow);
    CanvasPaint::DrawImage(canvas, Bounds(x + 1, y + 1, FWidth, FHeight), hi, Rect(0, 0, FWidth, FHeight));
    CanvasPaint::DrawImage(canvas, Bounds(x, y, FWidth, FHeight), sh, Rect(0, 0, FWidth, FHeight));
}

bool ImageList_DrawEx(TCustomImageList* list, int index, TCanvas* dc, int x, int y, int dx, int dy, TColor bk,
    TColor fg, uint32_t style) {
    if (!list || !dc || index < 0 || index >= list->Count()) return false;
    QImage img = ImageListImage(list, index);
    int w = dx > 0 ? dx : list->GetWidth(), h = dy > 0 ? dy : list->GetHeight();
    if (bk == CLR_DEFAULT) bk = list->GetBkColor();
    if (style & ILD_MASK) {
        // The mask: black where the image is, white where it is transparent.
        QImage m(img.size(), QImage::Format_RGB32);
        for (int yy = 0; yy < img.height(); ++yy)
            for (int xx = 0; xx < img.width(); ++xx)
                m.setPixel(xx, yy, qAlpha(img.pixel(xx, yy)) ? 0xFF000000u : 0xFFFFFFFFu);
        CanvasPaint::DrawImage(dc, Bounds(x, y, w, h), m, Rect(0, 0, w, h));
        return true;
    }
    if (style & (ILD_BLEND25 | ILD_BLEND50)) {
        TColor b = fg == CLR_DEFAULT || fg == clNone ? clHighlight : fg;
        QColor bc = RgbToQ(b);
        int pct = (style & ILD_BLEND50) ? 50 : 25;
        for (int yy = 0; yy < img.height(); ++yy)
            for (int xx = 0; xx < img.width(); ++xx) {
                QRgb p = img.pixel(xx, yy);
                if (!qAlpha(p)) continue;
                auto mix = [&](int a, int c) { return (a * (100 - pct) + c * pct) / 100; };
                img.setPixel(
                    xx, yy, qRgba(mix(qRed(p), bc.red()), mix(qGreen(p), bc.green()), mix(qBlue(p), bc.blue()), 255));
            }
    }
    if (!(style & ILD_TRANSPARENT) && bk != CLR_NONE && bk != clNone) {
        QImage under(img.size(), QImage::Format_RGB32);
        under.fill(RgbToQ(bk));
        QPainter p(&under);
        p.drawImage(0, 0, img);
        p.end();
        img = under;
    }
    CanvasPaint::DrawImage(dc, Bounds(x, y, w, h), img, Rect(0, 0, w, h));
    return true;
}
