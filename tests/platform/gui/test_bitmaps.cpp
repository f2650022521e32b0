#include <gtest/gtest.h>

#include "CanvasTestUtil.h"
#include "platform/gui/ImageList.h"

namespace {

std::string Bytes(TGraphic& g) {
    TMemoryStream s;
    g.SaveToStream(&s);
    std::string out(size_t(s.Size()), '\0');
    s.SetPosition(0);
    if (!out.empty()) s.ReadBuffer(out.data(), int64_t(out.size()));
    return out;
}
void Fill(TMemoryStream& s, const std::string& bytes) {
    s.WriteBuffer(bytes.data(), int64_t(bytes.size()));
    s.SetPosition(0);
}

TEST(Bitmap, SetSizeKeepsPixelsAndNewOnesAreWhite) {
    auto b = MakeBitmap(2, 2, clRed);
    b->SetSize(4, 3);
    EXPECT_EQ(b->GetPixel(1, 1), clRed);
    EXPECT_EQ(b->GetPixel(3, 2), clWhite);
    EXPECT_EQ(b->GetPixel(4, 0), -1);
}

TEST(Bitmap, WidthThenHeightGivesThatSize) {
    EnsureGuiApp();
    TBitmap b;
    b.SetWidth(4);
    EXPECT_EQ(b.GetWidth(), 4);  // remembered while there are no pixels yet
    b.SetHeight(3);
    EXPECT_EQ(b.GetWidth(), 4);
    EXPECT_EQ(b.GetHeight(), 3);
    b.Canvas()->SetPixel(3, 2, clRed);
    EXPECT_EQ(b.GetPixel(3, 2), clRed);
}

TEST(Bitmap, StreamRoundTripKeepsTheOriginalBytesAndConsumesOnlyItsOwn) {
    auto b = MakeBitmap(3, 2, clBlue);
    b->SetPixel(0, 1, clRed);
    b->SetPixelFormat(pf24bit);
    std::string bmp = Bytes(*b);
    ASSERT_EQ(bmp.substr(0, 2), "BM");
    TMemoryStream s;
    Fill(s, bmp + "next field");
    TBitmap c;
    c.LoadFromStream(&s);
    EXPECT_EQ(s.Position(), int64_t(bmp.size()));
    EXPECT_EQ(c.GetWidth(), 3);
    EXPECT_EQ(c.GetPixel(0, 1), clRed);
    EXPECT_EQ(c.GetPixel(2, 0), clBlue);
    EXPECT_EQ(c.GetPixelFormat(), pf24bit);
    EXPECT_EQ(Bytes(c), bmp);
    c.Canvas()->Brush()->SetColor(clLime);
    c.Canvas()->FillRect(Rect(0, 0, 1, 1));
    TBitmap d;
    TMemoryStream s2;
    Fill(s2, Bytes(c));
    d.LoadFromStream(&s2);
    EXPECT_EQ(d.GetPixel(0, 0), clLime);
}

TEST(Bitmap, TransparentColourIsTheBottomLeftPixelUnlessFixed) {
    auto b = MakeBitmap(4, 4, clRed);
    b->SetPixel(0, 3, clLime);
    EXPECT_EQ(b->GetTransparentColor(), clLime);
    b->SetTransparentColor(clBlue);
    EXPECT_EQ(b->GetTransparentMode(), tmFixed);
    EXPECT_EQ(b->GetTransparentColor(), clBlue);
}

TEST(Bitmap, TransparentDrawLeavesKeyPixels) {
    auto src = MakeBitmap(2, 2, clRed);
    src->SetPixel(0, 1, clLime);
    src->SetTransparent(true);
    auto dst = MakeBitmap(4, 4, clGray);
    dst->Canvas()->Draw(1, 1, src.get());
    EXPECT_EQ(dst->GetPixel(1, 1), clRed);
    EXPECT_EQ(dst->GetPixel(1, 2), clGray);
}

TEST(Bitmap, StretchDrawIsNearestNeighbour) {
    auto src = MakeBitmap(2, 2, clRed);
    src->SetPixel(1, 1, clBlue);
    auto dst = MakeBitmap(6, 6);
    dst->Canvas()->StretchDraw(Rect(1, 1, 5, 5), src.get());
    EXPECT_EQ(dst->GetPixel(1, 1), clRed);
    EXPECT_EQ(dst->GetPixel(2, 2), clRed);
    EXPECT_EQ(dst->GetPixel(3, 3), clBlue);
    EXPECT_EQ(dst->GetPixel(4, 4), clBlue);
    EXPECT_EQ(dst->GetPixel(5, 5), clWhite);
}

TEST(Bitmap, CopyRectAndMirroredBlit) {
    auto src = MakeBitmap(3, 1, clRed);
    src->SetPixel(2, 0, clBlue);
    auto dst = MakeBitmap(3, 1);
    dst->Canvas()->CopyRect(Rect(0, 0, 3, 1), src->Canvas(), Rect(0, 0, 3, 1));
    EXPECT_EQ(dst->GetPixel(2, 0), clBlue);
    StretchBlt(dst->Canvas()->Handle(), 0, 0, 3, 1, src->Canvas()->Handle(), 2, 0, -3, 1, SRCCOPY);
    EXPECT_EQ(dst->GetPixel(0, 0), clBlue);
    EXPECT_EQ(dst->GetPixel(2, 0), clRed);
}

TEST(Bitmap, MonochromeHoldsBlackAndWhite) {
    auto b = MakeBitmap(2, 1, RGB(50, 50, 50));
    b->SetPixel(1, 0, RGB(220, 220, 220));
    b->SetMonochrome(true);
    EXPECT_EQ(b->GetPixel(0, 0), clBlack);
    EXPECT_EQ(b->GetPixel(1, 0), clWhite);
}

TEST(Jpeg, EncodesDecodesAndQualityMatters) {
    EnsureGuiApp();
    QImage img(32, 32, QImage::Format_RGB32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) img.setPixel(x, y, qRgb(x * 8, y * 8, (x ^ y) * 8));
    std::string low = EncodeJpeg(img, 10), high = EncodeJpeg(img, 100);
    EXPECT_LT(low.size(), high.size());
    EXPECT_EQ(uint8_t(high[0]), 0xFF);
    EXPECT_EQ(uint8_t(high[1]), 0xD8);
    QImage back = DecodeJpeg(high);
    EXPECT_EQ(back.size(), img.size());
    EXPECT_NEAR(qRed(back.pixel(20, 5)), 160, 8);
    EXPECT_THROW(DecodeJpeg("not a jpeg"), EInvalidGraphic);
}

TEST(Jpeg, DataEndingBeforeThePictureIsDamaged) {
    QImage img(16, 96, QImage::Format_RGB32);  // six rows of blocks
    for (int y = 0; y < 96; ++y)
        for (int x = 0; x < 16; ++x) img.setPixel(x, y, qRgb(x * 16, y * 2, (x * y) & 255));
    const std::string whole = EncodeJpeg(img, 90);
    ASSERT_EQ(whole.substr(whole.size() - 2), "\xFF\xD9");
    EXPECT_EQ(DecodeJpeg(whole).size(), img.size());
    EXPECT_EQ(DecodeJpeg(whole.substr(0, whole.size() - 2)).size(), img.size());  // only the end marker missing
    const size_t data = whole.find("\xFF\xDA");  // the scan's start
    ASSERT_LT(data + 200, whole.size());
    EXPECT_THROW(DecodeJpeg(whole.substr(0, data + (whole.size() - data) / 2)), EInvalidGraphic);
    // Found by fuzzing: a progressive frame of 1,657 x 32,257 points whose first scan holds two
    // bytes before the end marker took seconds to make up.
    std::string tiny = "\xFF\xD8";
    tiny += whole.substr(2, whole.find("\xFF\xC0") - 2);  // the quantisation tables
    tiny += std::string("\xFF\xC2\x00\x0B\x08\x7E\x01\x06\x79\x01\x01\x11\x00", 13);
    tiny += std::string("\xFF\xC4\x00\x14\x00\x01", 6) + std::string(16, '\0');  // one code: no difference
    tiny += std::string("\xFF\xDA\x00\x08\x01\x01\x00\x00\x00\x01\x10\x94\xFF\xD9", 14);
    EXPECT_THROW(DecodeJpeg(tiny), EInvalidGraphic);
}

TEST(Jpeg, HugeClaimedSizeIsRefusedBeforeDecoding) {
    QImage img(8, 8, QImage::Format_RGB32);
    img.fill(qRgb(0, 90, 0));
    std::string bytes = EncodeJpeg(img, 90);
    // Frame header: FF C0, length, precision, height, width (big-endian).
    const size_t sof = bytes.find("\xFF\xC0");
    ASSERT_NE(sof, std::string::npos);
    for (size_t at : {sof + 5, sof + 7}) {
        bytes[at] = char(0xEA);  // 60,000
        bytes[at + 1] = char(0x60);
    }
    try {
        DecodeJpeg(bytes);
        FAIL() << "decoded a 60,000 x 60,000 picture";
    } catch (const EInvalidGraphic& e) {
        EXPECT_NE(std::string(e.Message()).find("příliš velký"), std::string::npos) << e.Message();
    }
}

TEST(Jpeg, LoadsOnlyItsOwnBytesAndSavesThemBack) {
    EnsureGuiApp();
    QImage img(8, 8, QImage::Format_RGB32);
    img.fill(qRgb(200, 0, 0));
    std::string bytes = EncodeJpeg(img, 90);
    TMemoryStream s;
    Fill(s, bytes + "rest");
    TJPEGImage j;
    j.LoadFromStream(&s);
    EXPECT_EQ(s.Position(), int64_t(bytes.size()));
    EXPECT_EQ(j.GetWidth(), 8);
    EXPECT_EQ(Bytes(j), bytes);
    auto dst = MakeBitmap(8, 8);
    dst->Canvas()->Draw(0, 0, &j);
    EXPECT_NEAR(GetRValue(dst->GetPixel(4, 4)), 200, 6);
}

TEST(Picture, DetectsTheFormatAndSkipsTheFieldHeader) {
    auto b = MakeBitmap(2, 2, clRed);
    std::string bmp = Bytes(*b);
    std::string header = std::string("\x01\x00\x00\x01", 4);
    uint32_t n = uint32_t(bmp.size());
    header += std::string(reinterpret_cast<const char*>(&n), 4);
    TMemoryStream s;
    Fill(s, header + bmp);
    TPicture p;
    int changes = 0;
    p.OnChange = [&](TObject*) { ++changes; };
    p.LoadFromStream(&s);
    ASSERT_NE(dynamic_cast<TBitmap*>(p.GetGraphic()), nullptr);
    EXPECT_EQ(p.GetWidth(), 2);
    EXPECT_GT(changes, 0);
    TMemoryStream junk;
    Fill(junk, "GIF89a and more bytes");
    EXPECT_THROW(p.LoadFromStream(&junk), EInvalidGraphic);
}

// A BMP file of the given header fields, with `pixelBytes` bytes of pixel data.
std::string BmpFile(int32_t width, int32_t height, uint16_t bits, size_t pixelBytes) {
    std::string b = "BM";
    auto put = [&](uint32_t v, int n) {
        for (int i = 0; i < n; ++i) b.push_back(char((v >> (8 * i)) & 255));
    };
    put(uint32_t(54 + pixelBytes), 4);
    put(0, 4);
    put(54, 4);
    put(40, 4);
    put(uint32_t(width), 4);
    put(uint32_t(height), 4);
    put(1, 2);
    put(bits, 2);
    put(0, 4);  // uncompressed
    put(uint32_t(pixelBytes), 4);
    put(2835, 4);
    put(2835, 4);
    put(0, 4);
    put(0, 4);
    return b + std::string(pixelBytes, '\x40');
}

TEST(Picture, HeadersClaimingMoreThanTheirBytesAreRefused) {
    EnsureGuiApp();
    struct Case {
        std::string Bytes;
        const char* Error;  // nullptr: loads
    } cases[] = {
        // Found by fuzzing: 88 bytes claiming 2,052 x 16,130 points took seconds to make up.
        {BmpFile(2052, 16130, 1, 34), "není platný"}, {BmpFile(70000, -70000, 24, 16), "příliš velký"},
        {BmpFile(3, 2, 24, 12 + 9), nullptr},  // the last row without its padding
        {BmpFile(3, -2, 24, 24), nullptr},  // top-down
    };
    for (const Case& c : cases) {
        TMemoryStream s;
        Fill(s, c.Bytes);
        TPicture p;
        try {
            p.LoadFromStream(&s);
            EXPECT_EQ(c.Error, nullptr) << "loaded " << p.GetWidth() << " x " << p.GetHeight();
            EXPECT_EQ(p.GetWidth(), 3);
            EXPECT_EQ(p.GetHeight(), 2);
        } catch (const EInvalidGraphic& e) {
            ASSERT_NE(c.Error, nullptr) << e.Message();
            EXPECT_NE(e.Message().find(c.Error), std::string::npos) << e.Message();
        }
    }
}

TEST(Metafile, AFrameFromOneExtremeToTheOtherKeepsItsSizeInRange) {
    // Found by fuzzing: the frame's sides were subtracted in 32 bits.
    std::string e;
    auto put32 = [&](uint32_t v) {
        for (int i = 0; i < 4; ++i) e.push_back(char((v >> (8 * i)) & 255));
    };
    put32(1);  // header record
    put32(88);
    for (int i = 0; i < 4; ++i) put32(0);  // bounds
    put32(0x80000000u);  // frame left, top, right, bottom (0.01 mm)
    put32(0);
    put32(0x7FFFFFFFu);
    put32(2540);
    put32(0x464D4520u);  // " EMF"
    put32(0x10000);
    put32(88 + 20);  // whole size
    put32(2);
    while (e.size() < 88) e.push_back('\0');
    for (uint32_t v : {14u, 20u, 0u, 16u, 20u}) put32(v);  // end record
    TMemoryStream s;
    Fill(s, e);
    TMetafile mf;
    mf.LoadFromStream(&s);
    EXPECT_EQ(mf.GetWidth(), 162329473);
    EXPECT_EQ(mf.GetHeight(), 96);
}

TEST(Picture, AssignCopiesTheGraphic) {
    auto b = MakeBitmap(3, 3, clBlue);
    TPicture p, q;
    p.SetGraphic(b.get());
    q.Assign(&p);
    ASSERT_NE(q.GetGraphic(), p.GetGraphic());
    EXPECT_EQ(static_cast<TBitmap*>(q.GetGraphic())->GetPixel(1, 1), clBlue);
    EXPECT_EQ(q.Bitmap(), q.GetGraphic());
}

TEST(Metafile, RecordsEnumeratesAndReplaysStretched) {
    EnsureGuiApp();
    TMetafile mf;
    {
        TMetafileCanvas mc(&mf, nullptr);
        EXPECT_TRUE(mc.IsMetafileCanvas());
        mc.Brush()->SetColor(clRed);
        mc.Pen()->SetColor(clRed);
        mc.Rectangle(0, 0, 5, 5);
        mc.Brush()->SetStyle(bsClear);
        mc.TextOut(1, 6, "Hi");
    }
    auto recs = mf.EnumRecords();
    std::vector<int> types;
    for (auto& r : recs) types.push_back(r.Type);
    ASSERT_GE(types.size(), 2u);
    EXPECT_EQ(types[0], 43);
    EXPECT_EQ(recs[0].Bounds, Rect(0, 0, 5, 5));
    auto text = std::find_if(recs.begin(), recs.end(), [](auto& r) { return r.Type == 84; });
    ASSERT_NE(text, recs.end());
    EXPECT_EQ(text->Text, "Hi");
    EXPECT_EQ(text->Origin, Point(1, 6));
    mf.SetWidth(10);
    mf.SetHeight(10);
    auto dst = MakeBitmap(20, 20);
    dst->Canvas()->StretchDraw(Rect(0, 0, 20, 20), &mf);
    EXPECT_EQ(dst->GetPixel(8, 8), clRed);  // (4,4) doubled
    EXPECT_EQ(dst->GetPixel(11, 2), clWhite);  // right of the doubled rectangle
}

TEST(Metafile, LoadsPlaceableWmfSize) {
    // A placeable header (1440 units an inch, 1 inch square) and the smallest metafile.
    std::string w;
    auto put16 = [&](int v) {
        w.push_back(char(v & 255));
        w.push_back(char((v >> 8) & 255));
    };
    auto put32 = [&](uint32_t v) {
        put16(int(v & 0xFFFF));
        put16(int(v >> 16));
    };
    put32(0x9AC6CDD7u);
    put16(0);
    put16(0);
    put16(0);
    put16(1440);
    put16(1440);
    put16(1440);
    put32(0);
    put16(0);
    put16(1);
    put16(9);
    put16(0x300);
    put32(12);
    put16(0);
    put32(3);
    put16(0);  // header, 9 words
    put32(3);
    put16(0);  // EOF record, 3 words
    TMemoryStream s;
    Fill(s, w + "zz");
    TMetafile mf;
    mf.LoadFromStream(&s);
    EXPECT_EQ(mf.GetWidth(), 96);
    EXPECT_EQ(mf.GetHeight(), 96);
    EXPECT_EQ(s.Position(), int64_t(w.size()));
    EXPECT_EQ(Bytes(mf), w);
}

TEST(ImageList, AddMaskedSplitsStripsAndDrawsTransparently) {
    auto strip = MakeBitmap(4, 2, clFuchsia);
    strip->SetPixel(0, 0, clRed);
    strip->SetPixel(3, 1, clBlue);
    TImageList il;
    il.SetWidth(2);
    il.SetHeight(2);
    TChangeLink link;
    int changes = 0;
    link.OnChange = [&](TObject*) { ++changes; };
    il.RegisterChanges(&link);
    EXPECT_EQ(il.AddMasked(strip.get(), clDefault), 0);  // bottom-left pixel: fuchsia
    EXPECT_EQ(il.Count(), 2);
    EXPECT_EQ(changes, 1);
    auto dst = MakeBitmap(4, 4, clGray);
    il.Draw(dst->Canvas(), 0, 0, 0);
    il.Draw(dst->Canvas(), 2, 2, 1);
    EXPECT_EQ(dst->GetPixel(0, 0), clRed);
    EXPECT_EQ(dst->GetPixel(1, 1), clGray);
    EXPECT_EQ(dst->GetPixel(3, 3), clBlue);
    il.UnRegisterChanges(&link);
}

TEST(ImageList, DisabledDrawEmbossesInShadowAndHighlight) {
    auto img = MakeBitmap(3, 3, clWhite);
    img->SetPixel(0, 0, clBlack);
    TImageList il;
    il.SetWidth(3);
    il.SetHeight(3);
    il.AddMasked(img.get(), clWhite);
    auto dst = MakeBitmap(5, 5, clGray);
    il.Draw(dst->Canvas(), 0, 0, 0, false);
    EXPECT_EQ(dst->GetPixel(0, 0), ColorToRGB(clBtnShadow));
    EXPECT_EQ(dst->GetPixel(1, 1), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(dst->GetPixel(2, 2), clGray);
}

}  // namespace
