// TGraphic, TBitmap (with BMP files), TIcon and TPicture.

#include "platform/gui/Bitmaps.h"
#include "platform/gui/ResourcesPrivate.h"

#include <QtCore/QBuffer>
#include <QtGui/QImageReader>

#include <algorithm>
#include <cstring>

#include "platform/classes/Filer.h"
#include "platform/db/Fields.h"
#include "platform/gui/GraphicsPrivate.h"
#include "platform/rtl/SysUtils.h"

KAROMIL_IMPLEMENT_CLASS(TGraphic, TPersistent)
KAROMIL_IMPLEMENT_CLASS(TBitmap, TGraphic)
KAROMIL_IMPLEMENT_CLASS(TIcon, TGraphic)
KAROMIL_IMPLEMENT_CLASS(TPicture, TPersistent)

namespace {
void Put16(std::string& s, uint16_t v) {
    s.push_back(char(v & 255));
    s.push_back(char(v >> 8));
}
void Put32(std::string& s, uint32_t v) {
    for (int i = 0; i < 4; ++i) s.push_back(char((v >> (8 * i)) & 255));
}

// A bitmap's header must not claim more points than MaxPicturePixels, nor (uncompressed) more
// pixel rows than its bytes hold: the decoder would make up the missing rows, a few bytes
// claiming a picture of tens of millions of points.
void CheckBitmapSize(const std::string& bytes) {
    const uint32_t headerSize = Le32(bytes, 14);
    int64_t width, height;
    uint32_t bits, compression = 0;
    if (headerSize == 12) {  // the old core header
        width = Le16(bytes, 18);
        height = Le16(bytes, 20);
        bits = Le16(bytes, 24);
    } else {
        width = int32_t(Le32(bytes, 18));
        height = int32_t(Le32(bytes, 22));
        bits = Le16(bytes, 28);
        compression = Le32(bytes, 30);
    }
    width = width < 0 ? -width : width;
    height = height < 0 ? -height : height;
    if (uint64_t(width) * uint64_t(height) > MaxPicturePixels)
        throw EInvalidGraphic(
            "Obrázek (bitmapa) je příliš velký (" + std::to_string(width) + " × " + std::to_string(height) + " bodů).");
    // BI_RGB, BI_BITFIELDS and BI_ALPHABITFIELDS store every row whole; run-length data is shorter.
    if (compression == 0 || compression == 3 || compression == 6) {
        const uint64_t row = (uint64_t(width) * bits + 31) / 32 * 4;
        const uint64_t last = (uint64_t(width) * bits + 7) / 8;  // some writers leave its padding out
        const uint64_t offset = Le32(bytes, 10);
        if (offset > bytes.size() || (height > 0 && row * uint64_t(height - 1) + last > bytes.size() - offset))
            throw EInvalidGraphic("Obrázek (bitmapa) není platný.");
    }
}

std::string ReadExactly(TStream* stream, int64_t n) {
    if (n < 0 || n > stream->Size() - stream->Position()) throw EInvalidGraphic("Chyba při čtení dat obrázku.");
    std::string s(size_t(n), '\0');
    if (n) stream->ReadBuffer(s.data(), n);
    return s;
}
QImage Decode(const std::string& bytes, const char* format) {
    QImage img;
    img.loadFromData(reinterpret_cast<const uchar*>(bytes.data()), int(bytes.size()), format);
    return img;
}
}  // namespace

// --- TGraphic ------------------------------------------------------------------------------

void TGraphic::SetTransparent(bool v) {
    if (v != FTransparent) {
        FTransparent = v;
        Changed();
    }
}
void TGraphic::SetModified(bool v) {
    if (v) Changed();
    else FModified = false;
}
void TGraphic::Changed() {
    FModified = true;
    if (OnChange) OnChange(this);
}
void TGraphic::LoadFromFile(const std::string& fileName) {
    TFileStream s(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&s);
}
void TGraphic::SaveToFile(const std::string& fileName) {
    TFileStream s(fileName, fmCreate);
    SaveToStream(&s);
}

// --- TBitmap -------------------------------------------------------------------------------

class TBitmap::TBitmapCanvas : public TCanvas, private TCanvasSurface {
public:
    explicit TBitmapCanvas(TBitmap* owner) : FOwner(owner) { SetSurface(this); }
    ~TBitmapCanvas() override { Flush(); }
    void Flush() {
        if (FActive.isActive()) {
            FActive.end();
            ForgetPainter();
        }
    }

protected:
    QPainter* BeginPainter() override {
        if (FOwner->Empty()) return nullptr;
        SetDeviceRect(TRect{0, 0, FOwner->GetWidth(), FOwner->GetHeight()});
        FMeasuring = false;
        FOwner->FOriginal.clear();
        if (!FActive.begin(&FOwner->FImage->Image)) return nullptr;
        return &FActive;
    }
    const QImage* Pixels() override { return FOwner->Empty() ? nullptr : &FOwner->FImage->Image; }
    void Changed() override {
        FOwner->FOriginal.clear();
        FOwner->FModified = true;
        TCanvas::Changed();
    }

private:
    TBitmap* FOwner;
    QPainter FActive;
};

TBitmap::TBitmap() : FImage(std::make_unique<TPictureImage>()) {}
TBitmap::TBitmap(int width, int height) : TBitmap() { SetSize(width, height); }
TBitmap::~TBitmap() { FCanvas.reset(); }

void TBitmap::FlushCanvas() {
    if (FCanvas) FCanvas->Flush();
}

void TBitmap::Assign(TPersistent* source) {
    if (auto* b = dynamic_cast<TBitmap*>(source)) {
        if (b == this) return;
        b->FlushCanvas();
        FlushCanvas();
        FImage->Image = b->FImage->Image.copy();
        FWidth = b->FWidth;
        FHeight = b->FHeight;
        FPixelFormat = b->FPixelFormat;
        FTransparentMode = b->FTransparentMode;
        FTransparentColor = b->FTransparentColor;
        FTransparent = b->FTransparent;
        FOriginal = b->FOriginal;
        TGraphic::Changed();
        return;
    }
    if (auto* g = dynamic_cast<TGraphic*>(source)) {
        // Any other graphic: drawn onto a white bitmap of its size.
        FlushCanvas();
        FImage->Image = QImage();
        FWidth = FHeight = 0;
        SetSize(g->GetWidth(), g->GetHeight());
        Canvas()->Draw(0, 0, g);
        FlushCanvas();
        Changed();
        return;
    }
    TGraphic::Assign(source);
}

void TBitmap::Changed() {
    FOriginal.clear();
    TGraphic::Changed();
}

void TBitmap::SetSize(int w, int h) {
    w = std::max(0, w);
    h = std::max(0, h);
    if (w == GetWidth() && h == GetHeight()) return;
    FlushCanvas();
    FWidth = w;
    FHeight = h;
    QImage n;
    if (w && h) {
        n = QImage(w, h, QImage::Format_RGB32);
        n.fill(Qt::white);
        if (!FImage->Image.isNull()) {
            QPainter p(&n);
            p.drawImage(0, 0, FImage->Image);
        }
    }
    FImage->Image = n;
    if (FCanvas) FCanvas->ResetClipRegion();
    Changed();
}

void TBitmap::SetPixelFormat(TPixelFormat f) {
    if (f == FPixelFormat) return;
    FPixelFormat = f;
    if (f == pf1bit) SetMonochrome(true);
    Changed();
}

void TBitmap::SetMonochrome(bool v) {
    if (v == Monochrome() && !(v && FPixelFormat != pf1bit)) return;
    FlushCanvas();
    if (v) {
        FPixelFormat = pf1bit;
        for (int y = 0; y < FImage->Image.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(FImage->Image.scanLine(y));
            for (int x = 0; x < FImage->Image.width(); ++x) row[x] = qGray(row[x]) < 128 ? 0xFF000000u : 0xFFFFFFFFu;
        }
    } else {
        FPixelFormat = pfDevice;
    }
    Changed();
}

TCanvas* TBitmap::Canvas() {
    if (!FCanvas) FCanvas = std::make_unique<TBitmapCanvas>(this);
    return FCanvas.get();
}

TColor TBitmap::GetPixel(int x, int y) {
    if (x < 0 || y < 0 || x >= GetWidth() || y >= GetHeight()) return -1;
    return QToRgb(FImage->Image.pixel(x, y));
}
void TBitmap::SetPixel(int x, int y, TColor c) {
    if (x < 0 || y < 0 || x >= GetWidth() || y >= GetHeight()) return;
    FlushCanvas();
    FImage->Image.setPixel(x, y, RgbToQ(c).rgb());
    Changed();
}
uint32_t* TBitmap::ScanLine(int y) {
    if (y < 0 || y >= GetHeight()) throw EInvalidGraphicOperation("Scan line index out of range");
    FlushCanvas();
    FOriginal.clear();
    FModified = true;
    return reinterpret_cast<uint32_t*>(FImage->Image.scanLine(y));
}
bool TBitmap::Empty() const {
    const QImage& image = FImage->Image;
    return image.isNull() || image.width() == 0 || image.height() == 0;
}
const QImage& BitmapImage(TBitmap* bitmap) { return bitmap->PictureImage().Image; }
void SetBitmapImage(TBitmap* bitmap, const QImage& image) { bitmap->SetPictureImage(TPictureImage{image}); }
void TBitmap::SetPictureImage(const TPictureImage& image) {
    FlushCanvas();
    FImage->Image = image.Image.convertToFormat(QImage::Format_RGB32);
    FWidth = FImage->Image.width();
    FHeight = FImage->Image.height();
    Changed();
}

TColor TBitmap::GetTransparentColor() {
    if (FTransparentMode == tmFixed && FTransparentColor != clDefault) return FTransparentColor;
    if (Empty()) return clDefault;
    return GetPixel(0, GetHeight() - 1);
}
void TBitmap::SetTransparentColor(TColor c) {
    FTransparentColor = c;
    FTransparentMode = c == clDefault ? tmAuto : tmFixed;
    TGraphic::Changed();
}
void TBitmap::SetTransparentMode(TTransparentMode m) {
    if (m == tmAuto) FTransparentColor = clDefault;
    FTransparentMode = m;
    TGraphic::Changed();
}

void TBitmap::Draw(TCanvas* canvas, const TRect& r) {
    if (Empty()) return;
    if (!FTransparent) {
        CanvasPaint::DrawImage(canvas, r, FImage->Image, TRect{0, 0, GetWidth(), GetHeight()}, canvas->GetCopyMode());
        return;
    }
    CanvasPaint::DrawImage(
        canvas, r, ColourKeyed(FImage->Image, GetTransparentColor()), TRect{0, 0, GetWidth(), GetHeight()}, SRCCOPY);
}

void TBitmap::LoadFromStream(TStream* stream) {
    std::string head = ReadExactly(stream, 14);
    if (head[0] != 'B' || head[1] != 'M') throw EInvalidGraphic("Obrázek (bitmapa) není platný.");
    uint32_t size = Le32(head, 2);
    std::string rest = ReadExactly(stream, int64_t(size) - 14);
    std::string bytes = head + rest;
    CheckBitmapSize(bytes);
    QImage img = Decode(bytes, "BMP");
    if (img.isNull()) throw EInvalidGraphic("Obrázek (bitmapa) není platný.");
    FlushCanvas();
    FImage->Image = img.convertToFormat(QImage::Format_RGB32);
    FWidth = FImage->Image.width();
    FHeight = FImage->Image.height();
    switch (Le16(bytes, 28)) {
    case 1: FPixelFormat = pf1bit; break;
    case 4: FPixelFormat = pf4bit; break;
    case 8: FPixelFormat = pf8bit; break;
    case 16: FPixelFormat = pf16bit; break;
    case 24: FPixelFormat = pf24bit; break;
    case 32: FPixelFormat = pf32bit; break;
    default: FPixelFormat = pfCustom; break;
    }
    TGraphic::Changed();
    FOriginal = bytes;
}

void TBitmap::SaveToStream(TStream* stream) {
    FlushCanvas();
    if (!FOriginal.empty()) {
        stream->WriteBuffer(FOriginal.data(), int64_t(FOriginal.size()));
        return;
    }
    // Bottom-up BI_RGB rows, 24 bits unless the bitmap is 32-bit.
    int w = GetWidth(), h = GetHeight();
    int bpp = FPixelFormat == pf32bit ? 32 : 24;
    int rowBytes = ((w * bpp / 8) + 3) & ~3;
    std::string out;
    out += "BM";
    Put32(out, uint32_t(54 + rowBytes * h));
    Put32(out, 0);
    Put32(out, 54);
    Put32(out, 40);
    Put32(out, uint32_t(w));
    Put32(out, uint32_t(h));
    Put16(out, 1);
    Put16(out, uint16_t(bpp));
    Put32(out, 0);
    Put32(out, uint32_t(rowBytes * h));
    Put32(out, 3780);  // 96 dpi in pixels per metre
    Put32(out, 3780);
    Put32(out, 0);
    Put32(out, 0);
    for (int y = h - 1; y >= 0; --y) {
        const auto* row = reinterpret_cast<const QRgb*>(FImage->Image.constScanLine(y));
        size_t start = out.size();
        for (int x = 0; x < w; ++x) {
            out.push_back(char(qBlue(row[x])));
            out.push_back(char(qGreen(row[x])));
            out.push_back(char(qRed(row[x])));
            if (bpp == 32) out.push_back(char(0));
        }
        out.append(size_t(rowBytes) - (out.size() - start), '\0');
    }
    stream->WriteBuffer(out.data(), int64_t(out.size()));
}

void TBitmap::LoadFromResourceName(const std::string& name) {
    if (BitmapResourceExists(name)) {
        SetBitmapImage(this, LoadBitmapResource(name));
        return;
    }
    for (const char* ext : {".png", ".bmp"}) {
        QImage img(QString::fromStdString(":/bitmaps/" + name + ext));
        if (!img.isNull()) {
            SetBitmapImage(this, img);
            return;
        }
    }
    throw EResNotFound("Resource " + name + " not found");
}

TBitmap* CheckerboardBitmap() {
    static TBitmap bmp(8, 8);
    static const bool made = [] {
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) bmp.SetPixel(x, y, ((x + y) & 1) ? clWhite : clBlack);
        bmp.SetMonochrome(true);
        return true;
    }();
    (void)made;
    return &bmp;
}

// --- TIcon ---------------------------------------------------------------------------------

TIcon::TIcon() : FImage(std::make_unique<TPictureImage>()) {}
TIcon::~TIcon() = default;
bool TIcon::Empty() const { return FImage->Image.isNull(); }
int TIcon::GetWidth() const { return FImage->Image.width(); }
int TIcon::GetHeight() const { return FImage->Image.height(); }
const QImage& IconImage(const TIcon* icon) { return icon->PictureImage().Image; }
void SetIconImage(TIcon* icon, const QImage& image) { icon->SetPictureImage(TPictureImage{image}); }

void TIcon::Assign(TPersistent* source) {
    if (auto* i = dynamic_cast<TIcon*>(source)) {
        FImage->Image = i->FImage->Image;
        FOriginal = i->FOriginal;
        Changed();
        return;
    }
    TGraphic::Assign(source);
}
void TIcon::SetWidth(int) { throw EInvalidGraphicOperation("Cannot change the size of an icon"); }
void TIcon::SetHeight(int) { throw EInvalidGraphicOperation("Cannot change the size of an icon"); }
void TIcon::SetPictureImage(const TPictureImage& image) {
    FImage->Image = image.Image.convertToFormat(QImage::Format_ARGB32);
    FOriginal.clear();
    Changed();
}

void TIcon::SetPixels(const TArgbPixels& pixels, int width, int height) {
    QImage image(pixels.Width, pixels.Height, QImage::Format_ARGB32);
    for (int y = 0; y < pixels.Height; ++y)
        std::memcpy(
            image.scanLine(y), pixels.Pixels.data() + size_t(y) * size_t(pixels.Width), size_t(pixels.Width) * 4);
    if (width > 0 && height > 0 && image.size() != QSize(width, height))
        image = image.scaled(width, height, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    SetIconImage(this, image);
}

TArgbPixels DecodePng(const std::string& bytes) {
    const QImage png = QImage::fromData(reinterpret_cast<const uchar*>(bytes.data()), int(bytes.size()), "PNG")
                           .convertToFormat(QImage::Format_ARGB32);
    if (png.isNull()) return {};
    TArgbPixels out(png.width(), png.height());
    for (int y = 0; y < png.height(); ++y) std::memcpy(&out.At(0, y), png.constScanLine(y), size_t(png.width()) * 4);
    return out;
}

void TIcon::LoadFromStream(TStream* stream) {
    std::string head = ReadExactly(stream, 6);
    if (Le16(head, 0) != 0 || Le16(head, 2) != 1) throw EInvalidGraphic("Ikona není platná.");
    int count = Le16(head, 4);
    std::string dir = ReadExactly(stream, int64_t(count) * 16);
    uint32_t end = uint32_t(6 + dir.size());
    for (int i = 0; i < count; ++i) end = std::max(end, Le32(dir, size_t(i) * 16 + 12) + Le32(dir, size_t(i) * 16 + 8));
    std::string rest = ReadExactly(stream, int64_t(end) - int64_t(6 + dir.size()));
    std::string bytes = head + dir + rest;
    QByteArray data(bytes.data(), qsizetype(bytes.size()));
    QBuffer buf(&data);
    QImageReader reader(&buf, "ICO");
    QImage best;
    int n = std::max(1, reader.imageCount());
    for (int i = 0; i < n; ++i) {
        if (i > 0 && !reader.jumpToImage(i)) break;
        QImage img = reader.read();
        if (img.isNull()) continue;
        auto dist = [](const QImage& m) { return std::abs(m.width() - 32) + std::abs(m.height() - 32); };
        if (best.isNull() || dist(img) < dist(best)) best = img;
    }
    if (best.isNull()) throw EInvalidGraphic("Ikona není platná.");
    FImage->Image = best.convertToFormat(QImage::Format_ARGB32);
    Changed();
    FOriginal = bytes;
}

void TIcon::SaveToStream(TStream* stream) {
    std::string out = FOriginal;
    if (out.empty() && !FImage->Image.isNull()) {
        // One PNG-compressed entry.
        QByteArray png;
        QBuffer buf(&png);
        buf.open(QIODevice::WriteOnly);
        FImage->Image.save(&buf, "PNG");
        Put16(out, 0);
        Put16(out, 1);
        Put16(out, 1);
        out.push_back(char(FImage->Image.width() >= 256 ? 0 : FImage->Image.width()));
        out.push_back(char(FImage->Image.height() >= 256 ? 0 : FImage->Image.height()));
        out.push_back(0);
        out.push_back(0);
        Put16(out, 1);
        Put16(out, 32);
        Put32(out, uint32_t(png.size()));
        Put32(out, 22);
        out.append(png.constData(), size_t(png.size()));
    }
    if (!out.empty()) stream->WriteBuffer(out.data(), int64_t(out.size()));
}

void TIcon::Draw(TCanvas* canvas, const TRect& r) {
    const QImage& image = FImage->Image;
    if (!image.isNull()) CanvasPaint::DrawImage(canvas, r, image, TRect{0, 0, image.width(), image.height()}, SRCCOPY);
}

// --- TPicture ------------------------------------------------------------------------------

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::Changed(TObject*) {
    if (OnChange) OnChange(this);
}

void TPicture::Assign(TPersistent* source) {
    if (!source) {
        FGraphic.reset();
        Changed(this);
        return;
    }
    if (auto* p = dynamic_cast<TPicture*>(source)) {
        SetGraphic(p->GetGraphic());
        return;
    }
    if (auto* g = dynamic_cast<TGraphic*>(source)) {
        SetGraphic(g);
        return;
    }
    if (auto* f = dynamic_cast<TBlobField*>(source)) {
        TMemoryStream data;
        f->SaveToStream(&data);
        data.SetPosition(0);
        LoadFromBlob(&data);
        return;
    }
    TPersistent::Assign(source);
}

void TPicture::SetGraphic(TGraphic* graphic) {
    std::unique_ptr<TGraphic> copy;
    if (graphic) {
        copy.reset(static_cast<TGraphic*>(graphic->ClassType()->Create()));
        copy->Assign(graphic);
        copy->OnChange = [this](TObject* s) { Changed(s); };
    }
    FGraphic = std::move(copy);
    Changed(this);
}

TBitmap* TPicture::Bitmap() {
    if (!dynamic_cast<TBitmap*>(FGraphic.get())) {
        FGraphic = std::make_unique<TBitmap>();
        FGraphic->OnChange = [this](TObject* s) { Changed(s); };
        Changed(this);
    }
    return static_cast<TBitmap*>(FGraphic.get());
}

namespace {
std::string LowerExt(const std::string& fileName) {
    auto dot = fileName.find_last_of('.');
    std::string e = dot == std::string::npos ? "" : fileName.substr(dot + 1);
    for (char& c : e)
        if (c >= 'A' && c <= 'Z') c = char(c + 32);
    return e;
}
std::unique_ptr<TGraphic> GraphicForExtension(const std::string& ext) {
    if (ext == "bmp") return std::make_unique<TBitmap>();
    if (ext == "jpg" || ext == "jpeg" || ext == "jpe") return std::make_unique<TJPEGImage>();
    if (ext == "ico") return std::make_unique<TIcon>();
    if (ext == "wmf" || ext == "emf") return std::make_unique<TMetafile>();
    throw EInvalidGraphic("Neznámá přípona souboru obrázku (." + ext + ")");
}
}  // namespace

void TPicture::LoadFromFile(const std::string& fileName) {
    auto g = GraphicForExtension(LowerExt(fileName));
    g->LoadFromFile(fileName);
    g->OnChange = [this](TObject* s) { Changed(s); };
    FGraphic = std::move(g);
    Changed(this);
}
void TPicture::SaveToFile(const std::string& fileName) {
    if (FGraphic) FGraphic->SaveToFile(fileName);
}

namespace {
std::unique_ptr<TGraphic> SniffGraphic(TStream* stream) {
    const int64_t size = stream->Size() - stream->Position();
    if (size >= 8) {
        // A picture kept in a database field may carry an 8-byte header: 1, 0x0100 and the
        // length of what follows. Only an exact length counts; else the bytes are the image.
        const int64_t start = stream->Position();
        const std::string h = ReadExactly(stream, 8);
        if (!(Le16(h, 0) == 1 && Le16(h, 2) == 0x0100 && int64_t(Le32(h, 4)) == size - 8)) stream->SetPosition(start);
    }
    const int64_t at = stream->Position();
    const int64_t left = stream->Size() - at;
    const std::string head = ReadExactly(stream, std::min<int64_t>(64, left));
    stream->SetPosition(at);
    if (head.size() >= 2 && head[0] == 'B' && head[1] == 'M') return std::make_unique<TBitmap>();
    if (head.size() >= 2 && uint8_t(head[0]) == 0xFF && uint8_t(head[1]) == 0xD8) return std::make_unique<TJPEGImage>();
    if (head.size() >= 4 && Le32(head, 0) == 0x9AC6CDD7u) return std::make_unique<TMetafile>();
    if (left > 100 && Le32(head, 40) == 0x464D4520u) return std::make_unique<TMetafile>();
    // Sound: an icon only with a whole icon header (reserved 0, type 1, at least one image),
    // not any data whose second word happens to be below 2.
    if (head.size() >= 6 && Le16(head, 0) == 0 && Le16(head, 2) == 1 && Le16(head, 4) >= 1)
        return std::make_unique<TIcon>();
    return nullptr;
}
}  // namespace

void TPicture::LoadFromStream(TStream* stream) {
    std::unique_ptr<TGraphic> g = SniffGraphic(stream);
    if (!g) throw EInvalidGraphic("Neznámý formát obrázku.");
    g->LoadFromStream(stream);
    g->OnChange = [this](TObject* s) { Changed(s); };
    FGraphic = std::move(g);
    Changed(this);
}

void TPicture::LoadFromBlob(TStream* stream) {
    if (stream->Size() - stream->Position() <= 0) {
        FGraphic.reset();
        Changed(this);
        return;
    }
    LoadFromStream(stream);
}

void TPicture::SaveToStream(TStream* stream) {
    if (FGraphic) FGraphic->SaveToStream(stream);
}

void TPicture::DefineProperties(TFiler* filer) {
    // "Data": the graphic's class name (one length byte, then the name) and its own bytes.
    filer->DefineBinaryProperty(
        "Data",
        [this](TStream* s) {
            uint8_t len = 0;
            if (s->Read(&len, 1) != 1) return;
            std::string name(len, '\0');
            if (len) s->ReadBuffer(name.data(), len);
            std::unique_ptr<TGraphic> g;
            if (name == "TBitmap") g = std::make_unique<TBitmap>();
            else if (name == "TJPEGImage") g = std::make_unique<TJPEGImage>();
            else if (name == "TIcon") g = std::make_unique<TIcon>();
            else if (name == "TMetafile") g = std::make_unique<TMetafile>();
            else throw EInvalidGraphic("Neznámý druh obrázku " + name);
            if (s->Position() < s->Size()) g->LoadFromStream(s);
            g->OnChange = [this](TObject* o) { Changed(o); };
            FGraphic = std::move(g);
            Changed(this);
        },
        [this](TStream* s) {
            std::string name = FGraphic->ClassName();
            uint8_t len = uint8_t(name.size());
            s->WriteBuffer(&len, 1);
            s->WriteBuffer(name.data(), len);
            FGraphic->SaveToStream(s);
        },
        FGraphic != nullptr && !FGraphic->Empty());
}
