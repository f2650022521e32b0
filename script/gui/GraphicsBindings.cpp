#include "script/gui/GraphicsBindings.h"

#include <cassert>

#include "platform/gui/Bitmaps.h"
#include "platform/gui/Graphics.h"
#include "script/ClassBindings.h"

namespace {

TfsGraphicsRTTI* gGraphicsRTTI = nullptr;

struct ColorName {
    const char* Name;
    TColor Value;
};

// The colour identifiers scripts know, with their values.
const ColorName kColors[] = {
    {"clBlack", clBlack}, {"clMaroon", clMaroon}, {"clGreen", clGreen}, {"clOlive", clOlive},
    {"clNavy", clNavy}, {"clPurple", clPurple}, {"clTeal", clTeal}, {"clGray", clGray},
    {"clSilver", clSilver}, {"clRed", clRed}, {"clLime", clLime}, {"clYellow", clYellow},
    {"clBlue", clBlue}, {"clFuchsia", clFuchsia}, {"clAqua", clAqua}, {"clWhite", clWhite},
    {"clLtGray", clLtGray}, {"clDkGray", clDkGray},
    {"clMoneyGreen", clMoneyGreen}, {"clSkyBlue", clSkyBlue}, {"clCream", clCream}, {"clMedGray", clMedGray},
    {"clScrollBar", clScrollBar}, {"clBackground", clBackground}, {"clActiveCaption", clActiveCaption},
    {"clInactiveCaption", clInactiveCaption}, {"clMenu", clMenu}, {"clWindow", clWindow},
    {"clWindowFrame", clWindowFrame}, {"clMenuText", clMenuText}, {"clWindowText", clWindowText},
    {"clCaptionText", clCaptionText}, {"clActiveBorder", clActiveBorder}, {"clInactiveBorder", clInactiveBorder},
    {"clAppWorkSpace", clAppWorkSpace}, {"clHighlight", clHighlight}, {"clHighlightText", clHighlightText},
    {"clBtnFace", clBtnFace}, {"clBtnShadow", clBtnShadow}, {"clGrayText", clGrayText}, {"clBtnText", clBtnText},
    {"clInactiveCaptionText", clInactiveCaptionText}, {"clBtnHighlight", clBtnHighlight},
    {"cl3DDkShadow", cl3DDkShadow}, {"cl3DLight", cl3DLight}, {"clInfoText", clInfoText}, {"clInfoBk", clInfoBk},
    {"clHotLight", clHotLight}, {"clGradientActiveCaption", clGradientActiveCaption},
    {"clGradientInactiveCaption", clGradientInactiveCaption}, {"clMenuHighlight", clMenuHighlight},
    {"clMenuBar", clMenuBar}, {"clNone", clNone}, {"clDefault", clDefault},
};

Variant Handle(const TObject* obj) { return Variant(fsObjectToVariant(obj)); }

}  // namespace

TfsGraphicsRTTI::TfsGraphicsRTTI()
{
    TfsScript* g = fsGlobalUnit();
    assert(g && "the engine starts before its bindings");
    g->AddedBy = this;

    for (const ColorName& c : kColors) g->AddConst(c.Name, "Integer", Variant(int(c.Value)));
    g->AddEnumSet("TFontStyles", "fsBold, fsItalic, fsUnderline, fsStrikeout");
    g->AddEnum("TFontPitch", "fpDefault, fpVariable, fpFixed");
    g->AddEnum("TPenStyle", "psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame");
    g->AddEnum("TPenMode", "pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot, "
                           "pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor");
    g->AddEnum("TBrushStyle", "bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, "
                              "bsDiagCross");

    TfsMethodCallEvent call = [this](TObject* o, TClass c, const std::string& n, TfsParams& p) {
        return CallMethod(o, c, n, p);
    };
    TfsPropGetEvent get = [this](TObject* o, TClass c, const std::string& n) { return GetProp(o, c, n); };
    TfsPropSetEvent set = [this](TObject* o, TClass c, const std::string& n, const Variant& v) { SetProp(o, c, n, v); };

    for (TClass cls : {TFont::StaticClass(), TPen::StaticClass(), TBrush::StaticClass()})
        if (TfsClassVariable* c = g->AddClass(cls, "TPersistent")) c->AddConstructor("constructor Create", call);
    if (TfsClassVariable* c = g->AddClass(TCanvas::StaticClass(), "TPersistent")) {
        c->AddConstructor("constructor Create", call);
        c->AddMethod("procedure Draw(X, Y: Integer; Graphic: TGraphic)", call);
        c->AddMethod("procedure Ellipse(X1, Y1, X2, Y2: Integer)", call);
        c->AddMethod("procedure LineTo(X, Y: Integer)", call);
        c->AddMethod("procedure MoveTo(X, Y: Integer)", call);
        c->AddMethod("procedure Rectangle(X1, Y1, X2, Y2: Integer)", call);
        c->AddMethod("procedure RoundRect(X1, Y1, X2, Y2, X3, Y3: Integer)", call);
        c->AddMethod("procedure StretchDraw(X1, Y1, X2, Y2: Integer; Graphic: TGraphic)", call);
        c->AddMethod("function TextHeight(const Text: string): Integer", call);
        c->AddMethod("procedure TextOut(X, Y: Integer; const Text: string)", call);
        c->AddMethod("function TextWidth(const Text: string): Integer", call);
        c->AddIndexProperty("Pixels", "Integer, Integer", "TColor", call);
    }
    if (TfsClassVariable* c = g->AddClass(TGraphic::StaticClass(), "TPersistent")) {
        c->AddConstructor("constructor Create", call);
        c->AddMethod("procedure LoadFromFile(const Filename: string)", call);
        c->AddMethod("procedure SaveToFile(const Filename: string)", call);
        c->AddProperty("Height", "Integer", get, set);
        c->AddProperty("Width", "Integer", get, set);
    }
    if (TfsClassVariable* c = g->AddClass(TPicture::StaticClass(), "TPersistent")) {
        c->AddMethod("procedure LoadFromFile(const Filename: string)", call);
        c->AddMethod("procedure SaveToFile(const Filename: string)", call);
        c->AddProperty("Height", "Integer", get);
        c->AddProperty("Width", "Integer", get);
    }
    g->AddClass(TMetafile::StaticClass(), "TGraphic");
    if (TfsClassVariable* c = g->AddClass(TMetafileCanvas::StaticClass(), "TCanvas"))
        c->AddConstructor("constructor Create(AMetafile: TMetafile; ReferenceDevice: Integer)", call);
    if (TfsClassVariable* c = g->AddClass(TBitmap::StaticClass(), "TGraphic"))
        c->AddProperty("Canvas", "TCanvas", get);

    g->AddedBy = nullptr;
}

TfsGraphicsRTTI::~TfsGraphicsRTTI()
{
    if (TfsScript* g = fsGlobalUnit()) g->RemoveItems(this);
}

Variant TfsGraphicsRTTI::CallMethod(TObject* obj, TClass cls, const std::string& name, TfsParams& p)
{
    if (!obj) {
        if (name != "CREATE" || !cls) return Variant(0);
        TObject* made = nullptr;
        if (cls->InheritsFrom(TMetafileCanvas::StaticClass()))
            made = new TMetafileCanvas(fsObjectArg<TMetafile>(p.at(0), "AMetafile", false),
                                       fsObjectArg<TCanvas>(p.at(1), "ReferenceDevice", true));
        else
            made = cls->Create();   // the virtual constructor of the class named: TBitmap.Create is a bitmap
        fsMarkScriptCreated(made);
        return Handle(made);
    }
    if (name == "CREATE") return Handle(obj);   // a constructor called on an object builds nothing

    if (cls == TCanvas::StaticClass()) {
        auto* c = static_cast<TCanvas*>(obj);
        auto i = [&p](size_t k) { return p[k].AsInteger(); };
        if (name == "DRAW") c->Draw(i(0), i(1), fsObjectArg<TGraphic>(p[2], "Graphic", false));
        else if (name == "ELLIPSE") c->Ellipse(i(0), i(1), i(2), i(3));
        else if (name == "LINETO") c->LineTo(i(0), i(1));
        else if (name == "MOVETO") c->MoveTo(i(0), i(1));
        else if (name == "RECTANGLE") c->Rectangle(i(0), i(1), i(2), i(3));
        else if (name == "ROUNDRECT") c->RoundRect(i(0), i(1), i(2), i(3), i(4), i(5));
        else if (name == "STRETCHDRAW")
            c->StretchDraw(Rect(i(0), i(1), i(2), i(3)), fsObjectArg<TGraphic>(p[4], "Graphic", false));
        else if (name == "TEXTHEIGHT") return Variant(c->TextHeight(VarToStr(p[0])));
        else if (name == "TEXTOUT") c->TextOut(i(0), i(1), VarToStr(p[2]));
        else if (name == "TEXTWIDTH") return Variant(c->TextWidth(VarToStr(p[0])));
        else if (name == "PIXELS.GET") return Variant(int(c->GetPixel(i(0), i(1))));
        else if (name == "PIXELS.SET") c->SetPixel(i(0), i(1), TColor(p[2].AsInteger()));
    } else if (cls == TGraphic::StaticClass()) {
        auto* g = static_cast<TGraphic*>(obj);
        if (name == "LOADFROMFILE") g->LoadFromFile(VarToStr(p[0]));
        else if (name == "SAVETOFILE") g->SaveToFile(VarToStr(p[0]));
    } else if (cls == TPicture::StaticClass()) {
        auto* pic = static_cast<TPicture*>(obj);
        if (name == "LOADFROMFILE") pic->LoadFromFile(VarToStr(p[0]));
        else if (name == "SAVETOFILE") pic->SaveToFile(VarToStr(p[0]));
    }
    return Variant(0);
}

Variant TfsGraphicsRTTI::GetProp(TObject* obj, TClass cls, const std::string& name)
{
    if (cls == TGraphic::StaticClass()) {
        auto* g = static_cast<TGraphic*>(obj);
        if (name == "HEIGHT") return Variant(g->GetHeight());
        if (name == "WIDTH") return Variant(g->GetWidth());
    } else if (cls == TPicture::StaticClass()) {
        auto* pic = static_cast<TPicture*>(obj);
        if (name == "HEIGHT") return Variant(pic->GetHeight());
        if (name == "WIDTH") return Variant(pic->GetWidth());
    } else if (cls == TBitmap::StaticClass()) {
        if (name == "CANVAS") return Handle(static_cast<TBitmap*>(obj)->Canvas());
    }
    return Variant(0);
}

void TfsGraphicsRTTI::SetProp(TObject* obj, TClass cls, const std::string& name, const Variant& v)
{
    if (cls == TGraphic::StaticClass()) {
        auto* g = static_cast<TGraphic*>(obj);
        if (name == "HEIGHT") g->SetHeight(v.AsInteger());
        else if (name == "WIDTH") g->SetWidth(v.AsInteger());
    }
}

void fsStartGraphicsRTTI()
{
    if (!gGraphicsRTTI) gGraphicsRTTI = new TfsGraphicsRTTI;
}

void fsStopGraphicsRTTI()
{
    delete gGraphicsRTTI;
    gGraphicsRTTI = nullptr;
}
