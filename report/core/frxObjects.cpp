#include "report/core/frxObjects.h"

#include <algorithm>
#include <cmath>

#include "platform/classes/ClassRegistry.h"
#include "platform/classes/Filer.h"
#include "platform/classes/Streams.h"
#include "platform/gui/Bitmaps.h"
#include "platform/gui/Resources.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/SysUtils.h"
#include "report/core/frxDataSet.h"
#include "report/core/frxGraphicDrawing.h"
#include "report/core/frxRes.h"
#include "report/core/frxServices.h"
#include "report/core/frxStreamText.h"

KAROMIL_IMPLEMENT_CLASS(TfrxCustomLineView, TfrxStretcheable)
KAROMIL_IMPLEMENT_PUBLISHED_CLASS(TfrxLineView, TfrxCustomLineView)
KAROMIL_IMPLEMENT_PUBLISHED_CLASS(TfrxPictureView, TfrxView)
KAROMIL_IMPLEMENT_PUBLISHED_CLASS(TfrxShapeView, TfrxView)

namespace {
std::string Attr(const std::string& name, const std::string& value) { return " " + name + "=\"" + value + "\""; }

// The error list gets a line once, however often the object is drawn.
void AddErrorOnce(TfrxComponent* obj, const std::string& text) {
    TfrxReportServices* report = obj ? obj->GetReportServices() : nullptr;
    if (!report) return;
    TStringList* errors = report->GetErrorList();
    if (errors->IndexOf(text) < 0) errors->Add(text);
}

// The graphic has pixels to show: zero-sized graphics count as no graphic at all.
bool HasImage(TPicture* picture) {
    TGraphic* g = picture->GetGraphic();
    return g && !g->Empty() && g->GetWidth() > 0 && g->GetHeight() > 0;
}
}  // namespace

// --- line ----------------------------------------------------------------------------------

TfrxCustomLineView::TfrxCustomLineView(TComponent* owner) : TfrxStretcheable(owner) {
    WriteAllProps = false;
    if (InDesigner) Diagonal = DesignFlags() != 0;
}

std::string TfrxCustomLineView::GetDescription() const { return frxGetResources()->Get("obLine"); }

void TfrxCustomLineView::Draw(TCanvas* canvas, double scaleX, double scaleY, double offsetX, double offsetY) {
    if (!Diagonal) {
        // Sound: the extents are compared as absolute values, so a line drawn right to left
        // (negative width) stays horizontal instead of collapsing to a zero-length vertical one.
        TfrxFrame* f = GetFrame();
        if (std::fabs(GetWidth()) <= std::fabs(GetHeight())) {
            SetWidth(0);
            f->Typ = {ftLeft};
        } else {
            SetHeight(0);
            f->Typ = {ftTop};
        }
    }
    BeginDraw(canvas, scaleX, scaleY, offsetX, offsetY);
    if (!Diagonal) {
        DrawFrame();
        return;
    }
    TfrxFrame* f = GetFrame();
    if (!canvas || f->Color == clTransparent || f->Width == 0) return;
    canvas->Brush()->SetStyle(Color == clTransparent ? bsClear : bsSolid);
    if (Color != clTransparent) canvas->Brush()->SetColor(Color);
    canvas->Pen()->SetColor(f->Color);
    canvas->Pen()->SetWidth(1);
    static constexpr TPenStyle kStyle[] = {psSolid, psDash, psDot, psDashDot, psDashDotDot, psSolid};
    canvas->Pen()->SetStyle(kStyle[f->Style]);
    DrawLine(DrawLeft, DrawTop, DrawRight, DrawBottom, DrawFrameWidth);
}

// --- picture -------------------------------------------------------------------------------

TfrxPictureView::TfrxPictureView(TComponent* owner) : TfrxView(owner), FPicture(std::make_unique<TPicture>()) {
    WriteAllProps = false;
    Color = clWhite;
    FPicture->OnChange = [this](TObject*) { PictureChanged(); };
}

TfrxPictureView::~TfrxPictureView() { FPicture->OnChange = nullptr; }

std::string TfrxPictureView::GetDescription() const { return frxGetResources()->Get("obPicture"); }

void TfrxPictureView::SetPicture(TPicture* value) { FPicture->Assign(value); }

void TfrxPictureView::SetAutoSize(bool value) {
    FAutoSize = value;
    if (FAutoSize && HasImage(FPicture.get())) {
        TfrxComponent::SetWidth(FPicture->GetWidth());
        TfrxComponent::SetHeight(FPicture->GetHeight());
    }
}

void TfrxPictureView::PictureChanged() {
    SetAutoSize(FAutoSize);
    ImageChanged = true;
}

void TfrxPictureView::LoadFromFile(const std::string& fileName) { FPicture->LoadFromFile(fileName); }

std::string TfrxPictureView::LoadFromBlob(TStream* stream) {
    try {
        FPicture->LoadFromBlob(stream);
        return {};
    } catch (const Exception& e) {
        // Recovers from data that is no picture or a damaged one: the object prints empty and
        // the caller reports the reason instead of the whole run failing.
        FPicture->Assign(nullptr);
        return e.Message();
    }
}

void TfrxPictureView::GetData() {
    TfrxView::GetData();
    TfrxDataSet* ds = GetDataSet();
    if (!IsDataField() || !ds->IsBlobField(DataField)) return;
    TMemoryStream data;
    ds->AssignBlobTo(DataField, &data);
    data.SetPosition(0);
    const std::string error = LoadFromBlob(&data);
    if (!error.empty()) AddErrorOnce(this, GetName() + ": obrázek z pole \"" + DataField + "\" nelze načíst: " + error);
}

void TfrxPictureView::Draw(TCanvas* canvas, double scaleX, double scaleY, double offsetX, double offsetY) {
    BeginDraw(canvas, scaleX, scaleY, offsetX, offsetY);
    DrawBackground();
    if (!canvas) return;
    TRect r = Rect(DrawLeft, DrawTop, DrawRight, DrawBottom);
    TGraphic* g = FPicture->GetGraphic();
    if (!HasImage(FPicture.get())) {
        if (InDesigner) {
            canvas->Font()->SetName("Tahoma");
            canvas->Font()->SetSize(8);
            canvas->Font()->SetStyle({});
            canvas->Font()->SetColor(clBlack);
            canvas->Font()->SetCharset(1);
            canvas->Brush()->SetStyle(bsClear);
            canvas->TextRect(r, DrawLeft + 20, DrawTop + 3, frxGetResources()->Get("obPicture"));
            canvas->Brush()->SetStyle(bsSolid);
            try {
                TBitmap empty;
                empty.LoadFromResourceName("frxEMPTY");
                canvas->Draw(DrawLeft + 1, DrawTop + 2, &empty);
            } catch (const EResNotFound&) {
                // The designer's picture mark is optional artwork; the caption says enough.
            }
        }
    } else {
        const int gw = g->GetWidth(), gh = g->GetHeight();
        if (Stretched) {
            if (KeepAspectRatio) {
                const double kx = double(DrawWidth) / gw, ky = double(DrawHeight) / gh;
                if (ky > kx) r.Bottom = DrawTop + frxRoundDevice(gh * kx);
                else r.Right = DrawLeft + frxRoundDevice(gw * ky);
                if (Center) OffsetRect(r, (DrawWidth - r.Width()) / 2, (DrawHeight - r.Height()) / 2);
            }
        } else {
            const int w = frxRoundDevice(gw * scaleX), h = frxRoundDevice(gh * scaleY);
            if (Center) OffsetRect(r, (DrawWidth - w) / 2, (DrawHeight - h) / 2);
            r.Right = r.Left + w;
            r.Bottom = r.Top + h;
        }
        frxDrawGraphic(canvas, r, g);
        if (auto* mf = dynamic_cast<TMetafile*>(g); mf && !mf->CanRender())
            AddErrorOnce(this, GetName() + ": metasoubor (WMF/EMF) nelze vykreslit, je zobrazen jen jeho rámeček.");
    }
    DrawFrame();
}

std::string TfrxPictureView::Diff(TfrxComponent* templ) {
    const std::string base = TfrxComponent::Diff(templ);
    if (!ImageChanged) return " " + base;
    // The picture's stored data as the stored format keeps it: its defined binary properties.
    TMemoryStream ms;
    TWriter writer(&ms);
    writer.WriteProperties(FPicture.get());
    std::string s;
    if (ms.Size() > 0) s = "Picture.PropData=\"" + frxStreamToHex(&ms) + "\"";
    return s + " " + base;
}

// --- shape ---------------------------------------------------------------------------------

TfrxShapeView::TfrxShapeView(TComponent* owner) : TfrxView(owner) {
    WriteAllProps = false;
    if (InDesigner) Shape = TfrxShapeKind(std::min<int>(DesignFlags(), skDiagonal2));
}

std::string TfrxShapeView::GetDescription() const { return frxGetResources()->Get("obShape"); }

void TfrxShapeView::Draw(TCanvas* canvas, double scaleX, double scaleY, double offsetX, double offsetY) {
    BeginDraw(canvas, scaleX, scaleY, offsetX, offsetY);
    if (!canvas) return;
    TfrxFrame* f = GetFrame();
    const int l = DrawLeft, t = DrawTop, r = DrawRight, b = DrawBottom, dx = DrawWidth, dy = DrawHeight;
    canvas->Pen()->SetColor(f->Color);
    canvas->Pen()->SetWidth(DrawFrameWidth);
    canvas->Brush()->SetStyle(bsSolid);
    SetBkMode(canvas, OPAQUE);
    static constexpr TPenStyle kStyle[] = {psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear};
    canvas->Pen()->SetStyle(kStyle[f->Style]);

    auto outline = [&] {
        switch (Shape) {
        case skRectangle: canvas->Rectangle(l, t, r + 1, b + 1); break;
        case skRoundRectangle: {
            const int c = std::min(dx, dy) / 4;
            canvas->RoundRect(l, t, r + 1, b + 1, c, c);
            break;
        }
        case skEllipse: canvas->Ellipse(l, t, r + 1, b + 1); break;
        case skTriangle: canvas->Polygon({{r, b}, {l, b}, {l + dx / 2, t}, {r, b}}); break;
        case skDiamond: canvas->Polygon({{l + dx / 2, t}, {r, t + dy / 2}, {l + dx / 2, b}, {l, t + dy / 2}}); break;
        case skDiagonal1: DrawLine(l, b, r, t, DrawFrameWidth); break;
        case skDiagonal2: DrawLine(l, t, r, b, DrawFrameWidth); break;
        }
    };
    if (BrushStyle != bsSolid) {
        if (Color != clTransparent) {
            canvas->Brush()->SetColor(Color);
            outline();
        }
        canvas->Brush()->SetStyle(BrushStyle);
        canvas->Brush()->SetColor(f->Color);
        outline();
    } else {
        if (Color == clTransparent) canvas->Brush()->SetStyle(bsClear);
        else canvas->Brush()->SetColor(Color);
        outline();
    }
    canvas->Brush()->SetStyle(bsSolid);
}

std::string TfrxShapeView::Diff(TfrxComponent* templ) {
    std::string s = TfrxView::Diff(templ);
    if (auto* t = dynamic_cast<TfrxShapeView*>(templ); t && t->Shape != Shape) s += Attr("Shape", IntToStr(int(Shape)));
    return s;
}

void frx::RegisterObjectClasses() {
    RegisterClasses({TfrxLineView::StaticClass(), TfrxPictureView::StaticClass(), TfrxShapeView::StaticClass(),
        TfrxSubreport::StaticClass()});
}
