#pragma once
// Pictures: TGraphic and its kinds (TBitmap, TJPEGImage, TIcon, TMetafile with a recording
// canvas), and TPicture, which holds any of them and stores what it was given. The image behind
// a bitmap, icon or JPEG picture is the window layer's own (TPictureImage, GraphicsPrivate.h).
//
// Loading from a stream starts at the stream's position and consumes only the graphic's own
// bytes; saving writes the original bytes back when the graphic was loaded and not changed
// since, so a stored picture survives a round trip byte for byte.

#include <memory>
#include <string>
#include <vector>

#include "platform/classes/Streams.h"
#include "platform/gui/Graphics.h"

struct TPictureImage;  // GraphicsPrivate.h

class TGraphic : public TPersistent {
    KAROMIL_CLASS(TGraphic, TPersistent)
public:
    TGraphic() = default;
    virtual bool Empty() const = 0;
    virtual int GetWidth() const = 0;
    virtual int GetHeight() const = 0;
    virtual void SetWidth(int w) = 0;
    virtual void SetHeight(int h) = 0;
    bool GetTransparent() const noexcept { return FTransparent; }
    virtual void SetTransparent(bool v);
    bool GetModified() const noexcept { return FModified; }
    void SetModified(bool v);

    virtual void LoadFromStream(TStream* stream) = 0;
    virtual void SaveToStream(TStream* stream) = 0;
    void LoadFromFile(const std::string& fileName);
    void SaveToFile(const std::string& fileName);

    TNotifyEvent OnChange;

protected:
    friend class TCanvas;
    // Draws the whole graphic stretched into r of the canvas.
    virtual void Draw(TCanvas* canvas, const TRect& r) = 0;
    virtual void Changed();
    bool FTransparent = false;
    bool FModified = false;
};
using TGraphicClass = TClass;

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
enum TTransparentMode { tmAuto, tmFixed };

// A device-independent bitmap; pixels are held as 32-bit RGB whatever PixelFormat says (the
// format is remembered for saving and for what callers ask).
class TBitmap : public TGraphic {
    KAROMIL_CLASS(TBitmap, TGraphic)
public:
    TBitmap();
    TBitmap(int width, int height);
    ~TBitmap() override;
    void Assign(TPersistent* source) override;

    bool Empty() const override;
    // The size is kept apart from the image: a bitmap given its width first (height still 0)
    // has no pixels yet but must remember that width.
    int GetWidth() const override { return FWidth; }
    int GetHeight() const override { return FHeight; }
    void SetWidth(int w) override { SetSize(w, GetHeight()); }
    void SetHeight(int h) override { SetSize(GetWidth(), h); }
    // Keeps the pixels that still fit; new pixels are white.
    void SetSize(int w, int h);
    TPixelFormat GetPixelFormat() const noexcept { return FPixelFormat; }
    void SetPixelFormat(TPixelFormat f);
    // A monochrome bitmap holds only black and white (set pixels are turned into one or the other).
    bool Monochrome() const noexcept { return FPixelFormat == pf1bit; }
    void SetMonochrome(bool v);

    TCanvas* Canvas();
    // Read/write access; drawing through Canvas() is flushed first.
    TColor GetPixel(int x, int y);
    void SetPixel(int x, int y, TColor c);
    // Row y as 32-bit 0x00RRGGBB pixels (Qt's RGB32 order), valid until the next canvas call.
    uint32_t* ScanLine(int y);
    // The pixels (GraphicsPrivate.h reads them as BitmapImage); SetPictureImage converts to RGB32.
    const TPictureImage& PictureImage() const noexcept { return *FImage; }
    void SetPictureImage(const TPictureImage& image);

    // The colour that is transparent when drawn transparently: the bottom-left pixel in
    // tmAuto, or the fixed colour.
    TColor GetTransparentColor();
    void SetTransparentColor(TColor c);
    TTransparentMode GetTransparentMode() const noexcept { return FTransparentMode; }
    void SetTransparentMode(TTransparentMode m);
    bool GetIgnorePalette() const noexcept { return true; }
    void SetIgnorePalette(bool) noexcept {}
    void Dormant() noexcept {}

    // "BM" files (1, 4, 8, 24 and 32 bits); unsupported data raises EInvalidGraphic.
    void LoadFromStream(TStream* stream) override;
    void SaveToStream(TStream* stream) override;
    // A named bitmap resource (Resources.h), else the Qt resource ":/bitmaps/<name>.png" or
    // .bmp; EResNotFound when there is none.
    void LoadFromResourceName(const std::string& name);

protected:
    void Draw(TCanvas* canvas, const TRect& r) override;
    void Changed() override;

private:
    class TBitmapCanvas;
    void FlushCanvas();
    std::unique_ptr<TPictureImage> FImage;
    int FWidth = 0;
    int FHeight = 0;
    TPixelFormat FPixelFormat = pfDevice;
    TTransparentMode FTransparentMode = tmAuto;
    TColor FTransparentColor = clDefault;
    std::unique_ptr<TBitmapCanvas> FCanvas;
    std::string FOriginal;  // the file bytes it was loaded from, until changed
};

// JPEG through libjpeg; quality 1..100 applies when the picture is encoded anew.
class TJPEGImage : public TGraphic {
    KAROMIL_CLASS(TJPEGImage, TGraphic)
public:
    TJPEGImage();
    ~TJPEGImage() override;
    void Assign(TPersistent* source) override;
    bool Empty() const override;
    int GetWidth() const override;
    int GetHeight() const override;
    void SetWidth(int) override;  // EInvalidGraphicOperation, as a JPEG cannot be resized in place
    void SetHeight(int) override;
    int GetCompressionQuality() const noexcept { return FQuality; }
    void SetCompressionQuality(int q);
    bool GetGrayscale() const noexcept { return FGrayscale; }
    void SetGrayscale(bool v);
    // Encodes the image at the current quality (done by SaveToStream when needed).
    void Compress();
    const TPictureImage& PictureImage() const noexcept { return *FImage; }  // RGB32
    void LoadFromStream(TStream* stream) override;
    void SaveToStream(TStream* stream) override;

protected:
    void Draw(TCanvas* canvas, const TRect& r) override;

private:
    std::unique_ptr<TPictureImage> FImage;  // RGB32
    std::string FData;  // encoded bytes, empty when they must be made anew
    int FQuality = 90;
    bool FGrayscale = false;
};

// Pixels handed to the window layer by code that must not know Qt's image types: 0xAARRGGBB,
// row by row from the top.
struct TArgbPixels {
    int Width = 0;
    int Height = 0;
    std::vector<uint32_t> Pixels;
    TArgbPixels() = default;
    TArgbPixels(int width, int height, uint32_t fill = 0)
        : Width(width), Height(height), Pixels(size_t(width) * size_t(height), fill) {}
    bool Empty() const noexcept { return Width <= 0 || Height <= 0; }
    uint32_t& At(int x, int y) { return Pixels[size_t(y) * size_t(Width) + size_t(x)]; }
    uint32_t At(int x, int y) const { return Pixels[size_t(y) * size_t(Width) + size_t(x)]; }
};
// The pixels of a PNG file; empty when the bytes are not a PNG picture.
TArgbPixels DecodePng(const std::string& bytes);

// An icon (ICO files); the image closest to 32x32 is the one shown.
class TIcon : public TGraphic {
    KAROMIL_CLASS(TIcon, TGraphic)
public:
    TIcon();
    ~TIcon() override;
    void Assign(TPersistent* source) override;
    bool Empty() const override;
    int GetWidth() const override;
    int GetHeight() const override;
    void SetWidth(int) override;  // EInvalidGraphicOperation
    void SetHeight(int) override;
    const TPictureImage& PictureImage() const noexcept { return *FImage; }  // ARGB32
    void SetPictureImage(const TPictureImage& image);
    // The image from pixels, stretched (nearest pixel) to width x height when both are given.
    void SetPixels(const TArgbPixels& pixels, int width = 0, int height = 0);
    void LoadFromStream(TStream* stream) override;
    void SaveToStream(TStream* stream) override;

protected:
    void Draw(TCanvas* canvas, const TRect& r) override;

private:
    std::unique_ptr<TPictureImage> FImage;
    std::string FOriginal;
};

// What enumeration tells about one metafile record.
struct TMetaRecord {
    int Type = 0;  // EMR_* number (84 = text output, 43 = rectangle, ...)
    TRect Bounds;  // affected pixels on the reference device
    std::string Text;  // text records: the text, UTF-8
    int CharCount = 0;  // text records: characters
    TPoint Origin;  // text records: the reference point
    std::vector<int> Dx;  // text records: advances, when given
};

// A recorded picture. Pictures recorded here are kept as records and replayed through the
// canvas; loaded WMF/EMF files keep their bytes and size but are not rendered: their place is
// marked by a visible placeholder (a frame with both diagonals), and CanRender says so, so
// that callers can tell the user.
class TMetafile : public TGraphic {
    KAROMIL_CLASS(TMetafile, TGraphic)
public:
    TMetafile();
    ~TMetafile() override;
    void Assign(TPersistent* source) override;
    bool Empty() const override;
    int GetWidth() const override { return FWidth; }
    int GetHeight() const override { return FHeight; }
    void SetWidth(int w) override;
    void SetHeight(int h) override;
    bool GetEnhanced() const noexcept { return FEnhanced; }
    void SetEnhanced(bool v) noexcept { FEnhanced = v; }
    void Clear();
    std::vector<TMetaRecord> EnumRecords() const;
    // False for a loaded file, which is kept but drawn as a placeholder only.
    bool CanRender() const noexcept { return FOriginal.empty(); }
    int RecordCount() const;
    void LoadFromStream(TStream* stream) override;
    void SaveToStream(TStream* stream) override;  // files it loaded; recorded pictures: EInvalidGraphicOperation

protected:
    void Draw(TCanvas* canvas, const TRect& r) override;

private:
    friend class TMetafileCanvas;
    std::unique_ptr<TMetaRecorder> FRecorder;
    std::string FOriginal;
    int FWidth = 0, FHeight = 0;
    bool FEnhanced = true;
};

// Records everything drawn on it into the metafile; the recording ends when it is destroyed.
// Metrics are those of the reference device (96 dpi when none is given).
class TMetafileCanvas : public TCanvas {
    KAROMIL_CLASS(TMetafileCanvas, TCanvas)
public:
    TMetafileCanvas(TMetafile* metafile, TCanvas* referenceDevice);
    ~TMetafileCanvas() override;

private:
    TMetafile* FMetafile;
};

// Holds one graphic of any class; LoadFromFile picks the class by extension, LoadFromStream
// by the first bytes.
class TPicture : public TPersistent {
    KAROMIL_CLASS(TPicture, TPersistent)
public:
    TPicture();
    ~TPicture() override;
    void Assign(TPersistent* source) override;
    TGraphic* GetGraphic() const noexcept { return FGraphic.get(); }
    void SetGraphic(TGraphic* graphic);  // copies it
    // The graphic as a bitmap; replaces any other graphic by an empty bitmap, as the class library does.
    TBitmap* Bitmap();
    int GetWidth() const { return FGraphic ? FGraphic->GetWidth() : 0; }
    int GetHeight() const { return FGraphic ? FGraphic->GetHeight() : 0; }
    bool Empty() const { return !FGraphic || FGraphic->Empty(); }
    void LoadFromFile(const std::string& fileName);
    void SaveToFile(const std::string& fileName);
    // From the stream's position: skips a database field's 8-byte picture header when its
    // length matches, then tells BMP, JPEG, placeable WMF, EMF and ICO by their first bytes;
    // EInvalidGraphic for anything else or damaged data.
    void LoadFromStream(TStream* stream);
    // As LoadFromStream, but no bytes left means no picture (an empty field).
    void LoadFromBlob(TStream* stream);
    // Assign also takes a blob field (TBlobField): its content as by LoadFromBlob.
    void SaveToStream(TStream* stream);
    TNotifyEvent OnChange;

protected:
    void DefineProperties(TFiler* filer) override;

private:
    void Changed(TObject*);
    std::unique_ptr<TGraphic> FGraphic;
};

KAROMIL_DECLARE_EXCEPTION(EInvalidGraphicOperation, Exception)
