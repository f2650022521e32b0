// TMetafile and its recording canvas: records are kept in order and replayed through the
// GDI functions into any canvas, stretched by the viewport scale.

#include <algorithm>
#include <climits>

#include "platform/gui/Bitmaps.h"
#include "platform/gui/GraphicsPrivate.h"
#include "platform/rtl/SysUtils.h"

KAROMIL_IMPLEMENT_CLASS(TMetafile, TGraphic)
KAROMIL_IMPLEMENT_CLASS(TMetafileCanvas, TCanvas)

namespace {
std::string Read(TStream* stream, int64_t n) {
    if (n < 0 || n > stream->Size() - stream->Position()) throw EInvalidGraphic("Metasoubor není platný.");
    std::string s(size_t(n), '\0');
    if (n) stream->ReadBuffer(s.data(), n);
    return s;
}
}  // namespace

TMetafile::TMetafile() : FRecorder(std::make_unique<TMetaRecorder>()) {}
TMetafile::~TMetafile() = default;

void TMetafile::Assign(TPersistent* source) {
    if (auto* m = dynamic_cast<TMetafile*>(source)) {
        *FRecorder = *m->FRecorder;
        FOriginal = m->FOriginal;
        FWidth = m->FWidth;
        FHeight = m->FHeight;
        FEnhanced = m->FEnhanced;
        Changed();
        return;
    }
    TGraphic::Assign(source);
}
bool TMetafile::Empty() const { return FRecorder->Records.empty() && FOriginal.empty(); }
void TMetafile::SetWidth(int w) {
    if (w != FWidth) {
        FWidth = w;
        Changed();
    }
}
void TMetafile::SetHeight(int h) {
    if (h != FHeight) {
        FHeight = h;
        Changed();
    }
}
void TMetafile::Clear() {
    FRecorder->Records.clear();
    FOriginal.clear();
    FWidth = FHeight = 0;
    Changed();
}
int TMetafile::RecordCount() const { return int(FRecorder->Records.size()); }

std::vector<TMetaRecord> TMetafile::EnumRecords() const {
    std::vector<TMetaRecord> out;
    out.reserve(FRecorder->Records.size());
    for (const TMetaRecordData& r : FRecorder->Records) {
        TMetaRecord m;
        m.Type = r.type;
        m.Bounds = r.bounds;
        if (r.type == EMR_EXTTEXTOUTW) {
            m.Text = FromU32(r.text);
            m.CharCount = int(r.text.size());
            m.Origin = {r.args[0], r.args[1]};
            m.Dx = r.dx;
        }
        out.push_back(std::move(m));
    }
    return out;
}

void TMetafile::LoadFromStream(TStream* stream) {
    std::string head = Read(stream, 4);
    std::string bytes;
    if (Le32(head, 0) == 0x9AC6CDD7u) {
        // Placeable WMF: a 22-byte header with the bounding box and units per inch, then the
        // metafile, whose header gives its size in 16-bit words.
        std::string rest = Read(stream, 22 - 4 + 18);
        bytes = head + rest;
        uint32_t words = Le32(bytes, 22 + 6);
        bytes += Read(stream, int64_t(words) * 2 - 18);
        int inch = Le16s(bytes, 14);
        if (inch <= 0) inch = 1440;
        FWidth = MulDiv(Le16s(bytes, 10) - Le16s(bytes, 6), 96, inch);
        FHeight = MulDiv(Le16s(bytes, 12) - Le16s(bytes, 8), 96, inch);
        FEnhanced = false;
    } else if (Le32(head, 0) == 1) {
        std::string rest = Read(stream, 88 - 4);
        bytes = head + rest;
        if (bytes.compare(40, 4, " EMF") != 0) throw EInvalidGraphic("Metasoubor není platný.");
        uint32_t total = Le32(bytes, 48);
        bytes += Read(stream, int64_t(total) - 88);
        // The frame is in hundredths of a millimetre.
        // Sound: the sides are taken in 64 bits (rounded as MulDiv rounds) and kept within the
        // int range; a frame from one extreme to the other overflowed the subtraction.
        auto side = [&](size_t from, size_t to) {
            const int64_t d = int64_t(int32_t(Le32(bytes, to))) - int64_t(int32_t(Le32(bytes, from)));
            return int(std::clamp<int64_t>((d * 96 + (d < 0 ? -1270 : 1270)) / 2540, INT32_MIN, INT32_MAX));
        };
        FWidth = side(24, 32);
        FHeight = side(28, 36);
        FEnhanced = true;
    } else {
        throw EInvalidGraphic("Metasoubor není platný.");
    }
    FRecorder->Records.clear();
    FOriginal = bytes;
    Changed();
}

void TMetafile::SaveToStream(TStream* stream) {
    if (FOriginal.empty()) throw EInvalidGraphicOperation("A recorded metafile cannot be saved as a file");
    stream->WriteBuffer(FOriginal.data(), int64_t(FOriginal.size()));
}

namespace {
void Replay(HDC dc, const TMetaRecordData& r) {
    const auto& a = r.args;
    switch (r.type) {
    case EMR_EXTTEXTOUTW: {
        TRect rect;
        if (a[3]) rect = {a[4], a[5], a[6], a[7]};
        ExtTextOut(
            dc, a[0], a[1], uint32_t(a[2]), a[3] ? &rect : nullptr, FromU32(r.text), r.dx.empty() ? nullptr : &r.dx);
        break;
    }
    case EMR_RECTANGLE: Rectangle(dc, a[0], a[1], a[2], a[3]); break;
    case EMR_ELLIPSE: Ellipse(dc, a[0], a[1], a[2], a[3]); break;
    case EMR_ROUNDRECT: RoundRect(dc, a[0], a[1], a[2], a[3], a[4], a[5]); break;
    case EMR_ARC: Arc(dc, a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7]); break;
    case EMR_CHORD: Chord(dc, a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7]); break;
    case EMR_PIE: Pie(dc, a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7]); break;
    case EMR_POLYGON: Polygon(dc, r.points); break;
    case EMR_POLYLINE: Polyline(dc, r.points); break;
    case EMR_MOVETOEX: MoveToEx(dc, a[0], a[1]); break;
    case EMR_LINETO: LineTo(dc, a[0], a[1]); break;
    case EMR_SETPIXELV: dc->SetPixel(a[0], a[1], a[2]); break;
    case EMR_FILLRGN:
    case EMR_INVERTRGN: {
        // Regions were kept in recording-device coordinates, which are the logical ones here.
        QRegion rgn;
        for (size_t i = 0; i + 3 < r.counts.size(); i += 4)
            rgn += QRect(
                r.counts[i], r.counts[i + 1], r.counts[i + 2] - r.counts[i], r.counts[i + 3] - r.counts[i + 1]);
        if (r.type == EMR_INVERTRGN) InvertRgn(dc, ToRegion(rgn));
        else if (!a.empty() && uint32_t(a[0]) == PATINVERT) {
            for (const QRect& q : rgn) PatBlt(dc, q.x(), q.y(), q.width(), q.height(), PATINVERT);
        } else FillRgn(dc, ToRegion(rgn), r.state.brush);
        break;
    }
    case EMR_STRETCHBLT:
        CanvasPaint::DrawImage(
            dc, TRect{a[0], a[1], a[2], a[3]}, r.image, TRect{0, 0, r.image.width(), r.image.height()}, uint32_t(a[4]));
        break;
    default: break;
    }
}
}  // namespace

void TMetafile::Draw(TCanvas* canvas, const TRect& r) {
    if (FRecorder->Records.empty()) {
        if (!FOriginal.empty() && r.Width() > 0 && r.Height() > 0) {
            // Loaded files are not rendered: a frame with both diagonals shows that a picture
            // is there and was not drawn, rather than an empty place that looks like success.
            canvas->SaveDC();
            TPenData pen;
            pen.Color = clGray;
            canvas->SelectPen(pen);
            TBrushData b;
            b.Color = clGray;
            FrameRect(canvas, r, b);
            MoveToEx(canvas, r.Left, r.Top);
            LineTo(canvas, r.Right, r.Bottom);
            MoveToEx(canvas, r.Left, r.Bottom - 1);
            LineTo(canvas, r.Right, r.Top - 1);
            canvas->RestoreDC(-1);
        }
        return;
    }
    double sx = FWidth > 0 ? double(r.Width()) / FWidth : 1.0;
    double sy = FHeight > 0 ? double(r.Height()) / FHeight : 1.0;
    auto& st = canvas->State();
    TPoint origin = canvas->LPtoDP(r.TopLeft());
    double baseX = st.scaleX, baseY = st.scaleY;
    std::optional<QRegion> baseClip = st.clip;
    for (const TMetaRecordData& rec : FRecorder->Records) {
        canvas->SaveDC();
        TCanvas::DCState s = rec.state;
        s.viewportOrg = {origin.X + int(std::lround(s.viewportOrg.X * sx * baseX)),
            origin.Y + int(std::lround(s.viewportOrg.Y * sy * baseY))};
        s.scaleX = s.scaleX * sx * baseX;
        s.scaleY = s.scaleY * sy * baseY;
        if (s.clip) {
            QRegion c;
            for (const QRect& q : *s.clip)
                c += QRect(origin.X + int(std::lround(q.x() * s.scaleX)), origin.Y + int(std::lround(q.y() * s.scaleY)),
                    int(std::lround(q.width() * s.scaleX)), int(std::lround(q.height() * s.scaleY)));
            if (baseClip) c &= *baseClip;
            s.clip = c;
        } else {
            s.clip = baseClip;
        }
        st = s;
        Replay(canvas, rec);
        canvas->RestoreDC(-1);
    }
}

TMetafileCanvas::TMetafileCanvas(TMetafile* metafile, TCanvas* referenceDevice) : FMetafile(metafile) {
    if (referenceDevice) SetPixelsPerInch(referenceDevice->PixelsPerInch());
    FMetafile->FRecorder->Records.clear();
    FMetafile->FOriginal.clear();
    SetRecorder(FMetafile->FRecorder.get());
    SetDeviceRect(TRect{-32768, -32768, 32767, 32767});
}

TMetafileCanvas::~TMetafileCanvas() {
    // The picture's size: what it was given, else the extent of what was drawn.
    if (FMetafile->FWidth == 0 && FMetafile->FHeight == 0) {
        TRect all;
        for (const auto& r : FMetafile->FRecorder->Records) UnionRect(all, all, r.bounds);
        FMetafile->FWidth = std::max(0, all.Right);
        FMetafile->FHeight = std::max(0, all.Bottom);
    }
    SetRecorder(nullptr);
    FMetafile->Changed();
}
