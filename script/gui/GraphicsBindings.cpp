#include "script/FileAccess.h"
#include "script/gui/GraphicsBindings.h"

#include <cassert>

#include "platform/gui/Bitmaps.h"
#include "platform/gui/Graphics.h"
#include "script/ClassBindings.h"
#include "script/MemberCalls.h"

namespace {

TfsGraphicsRTTI* gGraphicsRTTI = nullptr;

struct ColorName {
    const char* Name;
    TColor Value;
};

// The colour identifiers scripts know, with their values.
const ColorName kColors[] = {
    {"clBlack", clBlack},
    {"clMaroon", clMaroon},
    {"clGreen", clGreen},
    {"clOlive", clOlive},
    {"clNavy", clNavy},
    {"clPurple", clPurple},
    {"clTeal", clTeal},
    {"clGray", clGray},
    {"clSilver", clSilver},
    {"clRed", clRed},
    {"clLime", clLime},
    {"clYellow", clYellow},
    {"clBlue", clBlue},
    {"clFuchsia", clFuchsia},
    {"clAqua", clAqua},
    {"clWhite", clWhite},
    {"clLtGray", clLtGray},
    {"clDkGray", clDkGray},
    {"clMoneyGreen", clMoneyGreen},
    {"clSkyBlue", clSkyBlue},
    {"clCream", clCream},
    {"clMedGray", clMedGray},
    {"clScrollBar", clScrollBar},
    {"clBackground", clBackground},
    {"clActiveCaption", clActiveCaption},
    {"clInactiveCaption", clInactiveCaption},
    {"clMenu", clMenu},
    {"clWindow", clWindow},
    {"clWindowFrame", clWindowFrame},
    {"clMenuText", clMenuText},
    {"clWindowText", clWindowText},
    {"clCaptionText", clCaptionText},
    {"clActiveBorder", clActiveBorder},
    {"clInactiveBorder", clInactiveBorder},
    {"clAppWorkSpace", clAppWorkSpace},
    {"clHighlight", clHighlight},
    {"clHighlightText", clHighlightText},
    {"clBtnFace", clBtnFace},
    {"clBtnShadow", clBtnShadow},
    {"clGrayText", clGrayText},
    {"clBtnText", clBtnText},
    {"clInactiveCaptionText", clInactiveCaptionText},
    {"clBtnHighlight", clBtnHighlight},
    {"cl3DDkShadow", cl3DDkShadow},
    {"cl3DLight", cl3DLight},
    {"clInfoText", clInfoText},
    {"clInfoBk", clInfoBk},
    {"clHotLight", clHotLight},
    {"clGradientActiveCaption", clGradientActiveCaption},
    {"clGradientInactiveCaption", clGradientInactiveCaption},
    {"clMenuHighlight", clMenuHighlight},
    {"clMenuBar", clMenuBar},
    {"clNone", clNone},
    {"clDefault", clDefault},
};

Variant Handle(const TObject* obj) { return Variant(fsObjectToVariant(obj)); }

}  // namespace

TfsGraphicsRTTI::TfsGraphicsRTTI() {
    TfsScript* g = fsGlobalUnit();
    assert(g && "the engine starts before its bindings");
    g->AddedBy = this;

    for (const ColorName& c : kColors) g->AddConst(c.Name, "Integer", Variant(int(c.Value)));
    g->AddEnumSet("TFontStyles", "fsBold, fsItalic, fsUnderline, fsStrikeout");
    g->AddEnum("TFontPitch", "fpDefault, fpVariable, fpFixed");
    g->AddEnum("TPenStyle", "psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame");
    g->AddEnum("TPenMode",
        "pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot, "
        "pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor");
    g->AddEnum("TBrushStyle",
        "bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, "
        "bsDiagCross");

    // The constructors: an object of the class named (nullptr instance; TBitmap.Create makes a
    // bitmap through the virtual constructor), or the object called on, which builds nothing.
    TfsMethodCallEvent construct = [](TObject* o, TClass cls, const std::string&, TfsParams& p) {
        if (o) return Handle(o);
        if (!cls) return Variant(0);
        TObject* made = nullptr;
        if (cls->InheritsFrom(TMetafileCanvas::StaticClass()))
            made = new TMetafileCanvas(fsObjectArg<TMetafile>(p.at(0), "AMetafile", false),
                fsObjectArg<TCanvas>(p.at(1), "ReferenceDevice", true));
        else made = cls->Create();
        fsMarkScriptCreated(made);
        return Handle(made);
    };
    auto i = [](const TfsParams& p, size_t k) { return p[k].AsInteger(); };

    for (TClass cls : {TFont::StaticClass(), TPen::StaticClass(), TBrush::StaticClass()})
        if (TfsClassVariable* c = g->AddClass(cls, "TPersistent")) c->AddConstructor("constructor Create", construct);
    if (TfsClassVariable* c = g->AddClass(TCanvas::StaticClass(), "TPersistent")) {
        c->AddConstructor("constructor Create", construct);
        c->AddMethod(
            "procedure Draw(X, Y: Integer; Graphic: TGraphic)", fsMethod<TCanvas>([i](TCanvas* c, TfsParams& p) {
                c->Draw(i(p, 0), i(p, 1), fsObjectArg<TGraphic>(p[2], "Graphic", false));
            }));
        c->AddMethod("procedure Ellipse(X1, Y1, X2, Y2: Integer)",
            fsMethod<TCanvas>([i](TCanvas* c, TfsParams& p) { c->Ellipse(i(p, 0), i(p, 1), i(p, 2), i(p, 3)); }));
        c->AddMethod("procedure LineTo(X, Y: Integer)",
            fsMethod<TCanvas>([i](TCanvas* c, TfsParams& p) { c->LineTo(i(p, 0), i(p, 1)); }));
        c->AddMethod("procedure MoveTo(X, Y: Integer)",
            fsMethod<TCanvas>([i](TCanvas* c, TfsParams& p) { c->MoveTo(i(p, 0), i(p, 1)); }));
        c->AddMethod("procedure Rectangle(X1, Y1, X2, Y2: Integer)",
            fsMethod<TCanvas>([i](TCanvas* c, TfsParams& p) { c->Rectangle(i(p, 0), i(p, 1), i(p, 2), i(p, 3)); }));
        c->AddMethod("procedure RoundRect(X1, Y1, X2, Y2, X3, Y3: Integer)",
            fsMethod<TCanvas>(
                [i](TCanvas* c, TfsParams& p) { c->RoundRect(i(p, 0), i(p, 1), i(p, 2), i(p, 3), i(p, 4), i(p, 5)); }));
        c->AddMethod("procedure StretchDraw(X1, Y1, X2, Y2: Integer; Graphic: TGraphic)",
            fsMethod<TCanvas>([i](TCanvas* c, TfsParams& p) {
                c->StretchDraw(Rect(i(p, 0), i(p, 1), i(p, 2), i(p, 3)), fsObjectArg<TGraphic>(p[4], "Graphic", false));
            }));
        c->AddMethod("function TextHeight(const Text: string): Integer",
            fsMethod<TCanvas>([](TCanvas* c, TfsParams& p) { return c->TextHeight(VarToStr(p[0])); }));
        c->AddMethod("procedure TextOut(X, Y: Integer; const Text: string)",
            fsMethod<TCanvas>([i](TCanvas* c, TfsParams& p) { c->TextOut(i(p, 0), i(p, 1), VarToStr(p[2])); }));
        c->AddMethod("function TextWidth(const Text: string): Integer",
            fsMethod<TCanvas>([](TCanvas* c, TfsParams& p) { return c->TextWidth(VarToStr(p[0])); }));
        c->AddIndexProperty("Pixels", "Integer, Integer", "TColor",
            fsIndexed<TCanvas>([i](TCanvas* c, TfsParams& p) { return int(c->GetPixel(i(p, 0), i(p, 1))); },
                [i](TCanvas* c, TfsParams& p) { c->SetPixel(i(p, 0), i(p, 1), TColor(p[2].AsInteger())); }));
    }
    if (TfsClassVariable* c = g->AddClass(TGraphic::StaticClass(), "TPersistent")) {
        c->AddConstructor("constructor Create", construct);
        c->AddMethod("procedure LoadFromFile(const Filename: string)",
            fsMethod<TGraphic>([](TGraphic* g, TfsParams& p) { g->LoadFromFile(fsReadableFile(p[0])); }));
        c->AddMethod("procedure SaveToFile(const Filename: string)",
            fsMethod<TGraphic>([](TGraphic* g, TfsParams& p) { g->SaveToFile(fsWritableFile(p[0])); }));
        c->AddProperty("Height", "Integer", fsGetter<TGraphic>([](TGraphic* g) { return g->GetHeight(); }),
            fsSetter<TGraphic>([](TGraphic* g, const Variant& v) { g->SetHeight(v.AsInteger()); }));
        c->AddProperty("Width", "Integer", fsGetter<TGraphic>([](TGraphic* g) { return g->GetWidth(); }),
            fsSetter<TGraphic>([](TGraphic* g, const Variant& v) { g->SetWidth(v.AsInteger()); }));
    }
    if (TfsClassVariable* c = g->AddClass(TPicture::StaticClass(), "TPersistent")) {
        c->AddMethod("procedure LoadFromFile(const Filename: string)",
            fsMethod<TPicture>([](TPicture* pic, TfsParams& p) { pic->LoadFromFile(fsReadableFile(p[0])); }));
        c->AddMethod("procedure SaveToFile(const Filename: string)",
            fsMethod<TPicture>([](TPicture* pic, TfsParams& p) { pic->SaveToFile(fsWritableFile(p[0])); }));
        c->AddProperty("Height", "Integer", fsGetter<TPicture>([](TPicture* pic) { return pic->GetHeight(); }));
        c->AddProperty("Width", "Integer", fsGetter<TPicture>([](TPicture* pic) { return pic->GetWidth(); }));
    }
    g->AddClass(TMetafile::StaticClass(), "TGraphic");
    if (TfsClassVariable* c = g->AddClass(TMetafileCanvas::StaticClass(), "TCanvas"))
        c->AddConstructor("constructor Create(AMetafile: TMetafile; ReferenceDevice: Integer)", construct);
    if (TfsClassVariable* c = g->AddClass(TBitmap::StaticClass(), "TGraphic"))
        c->AddProperty("Canvas", "TCanvas", fsGetter<TBitmap>([](TBitmap* b) { return Handle(b->Canvas()); }));

    g->AddedBy = nullptr;
}

TfsGraphicsRTTI::~TfsGraphicsRTTI() {
    if (TfsScript* g = fsGlobalUnit()) g->RemoveItems(this);
}

void fsStartGraphicsRTTI() {
    if (!gGraphicsRTTI) gGraphicsRTTI = new TfsGraphicsRTTI;
}

void fsStopGraphicsRTTI() {
    delete gGraphicsRTTI;
    gGraphicsRTTI = nullptr;
}
