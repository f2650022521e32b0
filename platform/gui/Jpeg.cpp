// TJPEGImage over libjpeg.

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <string>

#include <jpeglib.h>
#include <jerror.h>

#include "platform/gui/Bitmaps.h"
#include "platform/gui/GraphicsPrivate.h"

KAROMIL_IMPLEMENT_CLASS(TJPEGImage, TGraphic)

namespace {
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};
void OnError(j_common_ptr info) {
    auto* err = reinterpret_cast<ErrorManager*>(info->err);
    (*info->err->format_message)(info, err->message);
    std::longjmp(err->jump, 1);
}
// Warnings are quiet, except scan data that ends or meets a marker before the picture's rows
// do: libjpeg would make up the rest, so that a few bytes could stand for tens of millions of
// points. Such a picture is damaged. Data ending in the last row of blocks (where the decoder
// reads ahead for the end marker, which some writers leave out) is only a warning.
void OnMessage(j_common_ptr info, int level) {
    const int code = info->err->msg_code;
    if (level >= 0 || (code != JWRN_JPEG_EOF && code != JWRN_HIT_MARKER) || !info->is_decompressor) return;
    auto* d = reinterpret_cast<j_decompress_ptr>(info);
    if (d->input_iMCU_row + 1 < d->total_iMCU_rows) OnError(info);
}
}  // namespace

std::string EncodeJpeg(const QImage& source, int quality, bool grayscale) {
    QImage img = source.convertToFormat(QImage::Format_RGB888);
    jpeg_compress_struct cinfo;
    ErrorManager err;
    cinfo.err = jpeg_std_error(&err.base);
    err.base.error_exit = OnError;
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    if (setjmp(err.jump)) {
        jpeg_destroy_compress(&cinfo);
        std::free(buffer);
        throw EInvalidGraphic(std::string("JPEG error: ") + err.message);
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = JDIMENSION(img.width());
    cinfo.image_height = JDIMENSION(img.height());
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    if (grayscale) jpeg_set_colorspace(&cinfo, JCS_GRAYSCALE);
    jpeg_set_quality(&cinfo, std::clamp(quality, 1, 100), TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(img.constScanLine(int(cinfo.next_scanline)));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    std::string out(reinterpret_cast<const char*>(buffer), size);
    jpeg_destroy_compress(&cinfo);
    std::free(buffer);
    return out;
}

QImage DecodeJpeg(const std::string& bytes) {
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    cinfo.err = jpeg_std_error(&err.base);
    err.base.error_exit = OnError;
    err.base.emit_message = OnMessage;
    QImage img;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        throw EInvalidGraphic(std::string("JPEG error: ") + err.message);
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(bytes.data()), (unsigned long)bytes.size());
    jpeg_read_header(&cinfo, TRUE);
    if (uint64_t(cinfo.image_width) * cinfo.image_height > MaxPicturePixels) {
        const std::string size = std::to_string(cinfo.image_width) + " × " + std::to_string(cinfo.image_height);
        jpeg_destroy_decompress(&cinfo);
        throw EInvalidGraphic("Obrázek JPEG je příliš velký (" + size + " bodů).");
    }
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    img = QImage(int(cinfo.output_width), int(cinfo.output_height), QImage::Format_RGB888);
    if (img.isNull()) {
        jpeg_destroy_decompress(&cinfo);
        throw EInvalidGraphic("Obrázek JPEG je příliš velký.");
    }
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = img.scanLine(int(cinfo.output_scanline));
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return img.convertToFormat(QImage::Format_RGB32);
}

TJPEGImage::TJPEGImage() : FImage(std::make_unique<TPictureImage>()) {}
TJPEGImage::~TJPEGImage() = default;
bool TJPEGImage::Empty() const { return FImage->Image.isNull() && FData.empty(); }
int TJPEGImage::GetWidth() const { return FImage->Image.width(); }
int TJPEGImage::GetHeight() const { return FImage->Image.height(); }
const QImage& JpegImage(const TJPEGImage* jpeg) { return jpeg->PictureImage().Image; }

void TJPEGImage::Assign(TPersistent* source) {
    if (auto* j = dynamic_cast<TJPEGImage*>(source)) {
        FImage->Image = j->FImage->Image;
        FData = j->FData;
        FQuality = j->FQuality;
        FGrayscale = j->FGrayscale;
        Changed();
        return;
    }
    if (auto* b = dynamic_cast<TBitmap*>(source)) {
        FImage->Image = BitmapImage(b).copy();
        FData.clear();
        Changed();
        return;
    }
    TGraphic::Assign(source);
}
void TJPEGImage::SetWidth(int) { throw EInvalidGraphicOperation("Cannot change the size of a JPEG image"); }
void TJPEGImage::SetHeight(int) { throw EInvalidGraphicOperation("Cannot change the size of a JPEG image"); }
void TJPEGImage::SetCompressionQuality(int q) {
    q = std::clamp(q, 1, 100);
    if (q != FQuality) {
        FQuality = q;
        FData.clear();
    }
}
void TJPEGImage::SetGrayscale(bool v) {
    if (v != FGrayscale) {
        FGrayscale = v;
        FData.clear();
        Changed();
    }
}
void TJPEGImage::Compress() {
    if (FData.empty() && !FImage->Image.isNull()) FData = EncodeJpeg(FImage->Image, FQuality, FGrayscale);
}

void TJPEGImage::LoadFromStream(TStream* stream) {
    // Walks the markers to the end of image, so only the picture's own bytes are taken.
    std::string bytes;
    auto next = [&]() -> int {
        uint8_t b;
        if (stream->Read(&b, 1) != 1) throw EInvalidGraphic("Chyba obrázku JPEG: předčasný konec dat.");
        bytes.push_back(char(b));
        return b;
    };
    if (next() != 0xFF || next() != 0xD8) throw EInvalidGraphic("Chyba obrázku JPEG: soubor není ve formátu JPEG.");
    bool scan = false;
    for (;;) {
        int b = next();
        if (b != 0xFF) {
            if (!scan) throw EInvalidGraphic("Chyba obrázku JPEG: chybná značka.");
            continue;
        }
        int m = next();
        while (m == 0xFF) m = next();
        if (m == 0x00 || (m >= 0xD0 && m <= 0xD7)) continue;  // stuffed byte, restart marker
        if (m == 0xD9) break;
        int len = next() << 8;
        len |= next();
        for (int i = 2; i < len; ++i) next();
        scan = (m == 0xDA);
    }
    QImage img = DecodeJpeg(bytes);
    FImage->Image = img;
    FData = bytes;
    Changed();
}

void TJPEGImage::SaveToStream(TStream* stream) {
    Compress();
    if (!FData.empty()) stream->WriteBuffer(FData.data(), int64_t(FData.size()));
}

void TJPEGImage::Draw(TCanvas* canvas, const TRect& r) {
    const QImage& image = FImage->Image;
    if (!image.isNull()) CanvasPaint::DrawImage(canvas, r, image, TRect{0, 0, image.width(), image.height()}, SRCCOPY);
}
