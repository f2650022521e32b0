#include "report/core/frxReportBindings.h"

#include <cassert>
#include <cmath>

#include "platform/classes/List.h"
#include "platform/classes/ClassRegistry.h"
#include "platform/classes/Streams.h"
#include "platform/classes/StringList.h"
#include "platform/gui/Controls.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"
#include "report/core/frxBands.h"
#include "report/core/frxDataSet.h"
#include "report/core/frxDialog.h"
#include "report/core/frxDialogPage.h"
#include "report/core/frxEngine.h"
#include "report/core/frxMemoView.h"
#include "report/core/frxObjects.h"
#include "report/core/frxView.h"
#include "report/core/frxOptions.h"
#include "report/core/frxPage.h"
#include "report/core/frxPlugins.h"
#include "report/core/frxPreviewPages.h"
#include "report/core/frxOutline.h"
#include "report/core/frxReport.h"
#include "report/core/frxVariables.h"
#include "script/FileAccess.h"
#include "script/ClassBindings.h"
#include "script/MemberCalls.h"

namespace {

// What a script may not do while its report runs.
constexpr const char* SCallWhileRunning = "Během běhu sestavy nelze volat %s";

TfrxReportRTTI* gReportRTTI = nullptr;

Variant Handle(const TObject* obj) { return Variant(fsObjectToVariant(obj)); }

std::string Param(const TfsParams& p, size_t i) { return i < p.size() ? VarToStr(p[i]) : std::string(); }

// Clearing, loading or re-parenting objects while the engine walks them would leave it holding
// freed objects, and showing or loading the report again would re-enter its run. The sound
// behaviour refuses such calls during a run instead of letting the script pull the tree away.
void CheckNotRunning(const TfrxReport* report, const char* member) {
    if (report && report->Engine() && report->Engine()->Running)
        throw Exception(Format(SCallWhileRunning, {Variant(member)}));
}

// The prepared pages an engine writes: its own during a run, else its report's.
TfrxPreviewPages* EnginePages(TfrxCustomEngine* e) {
    TfrxCustomPreviewPages* pages = e->PreviewPages ? e->PreviewPages : e->Report ? e->Report->PreviewPages() : nullptr;
    return dynamic_cast<TfrxPreviewPages*>(pages);
}

// A view class built in its own unit: bound when its class is registered, skipped otherwise.
struct NamedClass {
    const char* Name;
    const char* Ancestor;
};
const NamedClass kViewClasses[] = {
    {"TfrxView", "TfrxReportComponent"},
    {"TfrxShapeView", "TfrxView"},
    {"TfrxStretcheable", "TfrxView"},
    {"TfrxHighlight", "TPersistent"},
    {"TfrxFormat", "TPersistent"},
    {"TfrxCustomMemoView", "TfrxStretcheable"},
    {"TfrxMemoView", "TfrxCustomMemoView"},
    {"TfrxSysMemoView", "TfrxCustomMemoView"},
    {"TfrxDMPMemoView", "TfrxCustomMemoView"},
    {"TfrxCustomLineView", "TfrxStretcheable"},
    {"TfrxLineView", "TfrxCustomLineView"},
    {"TfrxDMPLineView", "TfrxCustomLineView"},
    {"TfrxPictureView", "TfrxView"},
    {"TfrxSubreport", "TfrxView"},
};

void RegisterEnums(TfsScript* g) {
    g->AddConst("fr01cm", "Extended", Variant(3.77953));
    g->AddConst("fr1cm", "Extended", Variant(37.7953));
    g->AddConst("fr01in", "Extended", Variant(9.6));
    g->AddConst("fr1in", "Extended", Variant(96.0));
    g->AddConst("fr1CharX", "Extended", Variant(9.6));
    g->AddConst("fr1CharY", "Extended", Variant(17.0));
    g->AddConst("clTransparent", "Integer", Variant(int32_t(0x1FFFFFFF)));
    g->AddConst("crHand", "Integer", Variant(int32_t(50)));
    g->AddConst("crZoom", "Integer", Variant(int32_t(51)));
    g->AddConst("crFormat", "Integer", Variant(int32_t(52)));

    g->AddEnum("TfrxStretchMode", "smDontStretch, smActualHeight, smMaxHeight");
    g->AddEnum("TfrxShiftMode", "smDontShift, smAlways, smWhenOverlapped");
    g->AddEnum("TfrxDuplexMode", "dmNone, dmVertical, dmHorizontal, dmSimplex");
    g->AddEnum("TfrxAlign", "baNone, baLeft, baRight, baCenter, baWidth, baBottom");
    g->AddEnum("TfrxFrameStyle", "fsSolid, fsDash, fsDot, fsDashDot, fsDashDotDot, fsDouble");
    g->AddEnum("TfrxHAlign", "haLeft, haRight, haCenter, haBlock");
    g->AddEnum("TfrxVAlign", "vaTop, vaBottom, vaCenter");
    g->AddEnum("TfrxZoomMode", "zmDefault, zmWholePage, zmPageWidth, zmManyPages");
    g->AddEnum("TfrxPrintPages", "ppAll, ppOdd, ppEven");
    g->AddEnum("TfrxRangeBegin", "rbFirst, rbCurrent");
    g->AddEnum("TfrxRangeEnd", "reLast, reCurrent, reCount");
    g->AddEnum("TfrxFieldType", "fftNumeric, fftString, fftBoolean");
    g->AddEnum("TfrxFormatKind", "fkText, fkNumeric, fkDateTime, fkBoolean");
    // The report's own shape kinds, so that a script's skDiagonal1 draws a diagonal and not the
    // diamond that sits at 4 in the report's type (a shorter list would shift every later kind).
    g->AddEnum("TfrxShapeKind",
        "skRectangle, skRoundRectangle, skEllipse, skTriangle, skDiamond, skDiagonal1, "
        "skDiagonal2");

    g->AddEnumSet("TfrxFrameTypes", "ftLeft, ftRight, ftTop, ftBottom");
    g->AddEnumSet("TfrxRestrictions", "rfDontModify, rfDontSize, rfDontMove, rfDontDelete");
    g->AddEnumSet("TfrxDMPFontStyles",
        "fsxBold, fsxItalic, fsxUnderline, fsxSuperScript, fsxSubScript, fsxCondensed, fsxWide, fsx12cpi, fsx15cpi");
    // The report's own preview buttons, with their bits, so that a script's set means the
    // buttons it names. pbTree is the outline's button; the preview has no refresh button, so
    // pbRefresh adds nothing.
    g->AddEnumSet("TfrxPreviewButtons",
        "pbPrint, pbLoad, pbSave, pbExport, pbZoom, pbFind, pbOutline, pbPageSetup, pbTools, pbEdit, pbNavigator");
    g->AddConst("pbTree", "TfrxPreviewButtons", Variant(int32_t(1) << int(pbOutline)));
    g->AddConst("pbRefresh", "TfrxPreviewButtons", Variant(int32_t(0)));
}

void RegisterDataSet(TfsScript* g) {
    TfsClassVariable* c = g->AddClass(TfrxDataSet::StaticClass(), "TComponent");
    if (c) {
        c->AddMethod("procedure Open", fsMethod<TfrxDataSet>([](TfrxDataSet* d, TfsParams&) { d->Open(); }));
        c->AddMethod("procedure Close", fsMethod<TfrxDataSet>([](TfrxDataSet* d, TfsParams&) { d->Close(); }));
        c->AddMethod("procedure First", fsMethod<TfrxDataSet>([](TfrxDataSet* d, TfsParams&) { d->First(); }));
        c->AddMethod("procedure Next", fsMethod<TfrxDataSet>([](TfrxDataSet* d, TfsParams&) { d->Next(); }));
        c->AddMethod("procedure Prior", fsMethod<TfrxDataSet>([](TfrxDataSet* d, TfsParams&) { d->Prior(); }));
        c->AddMethod(
            "function Eof: Boolean", fsMethod<TfrxDataSet>([](TfrxDataSet* d, TfsParams&) { return d->Eof(); }));
        c->AddMethod("function FieldsCount: Integer",
            fsMethod<TfrxDataSet>([](TfrxDataSet* d, TfsParams&) { return int32_t(d->FieldsCount()); }));
        c->AddMethod("function HasField(const fName: String): Boolean",
            fsMethod<TfrxDataSet>([](TfrxDataSet* d, TfsParams& p) { return d->HasField(Param(p, 0)); }));
        c->AddMethod("function IsBlobField(const fName: String): Boolean",
            fsMethod<TfrxDataSet>([](TfrxDataSet* d, TfsParams& p) { return d->IsBlobField(Param(p, 0)); }));
        c->AddMethod("function RecordCount: Integer",
            fsMethod<TfrxDataSet>([](TfrxDataSet* d, TfsParams&) { return int32_t(d->RecordCount()); }));
        c->AddMethod("procedure GetFieldList(List: TStrings)", fsMethod<TfrxDataSet>([](TfrxDataSet* d, TfsParams& p) {
            d->GetFieldList(fsObjectArg<TStrings>(p.at(0), "GetFieldList", false));
        }));
        c->AddProperty("RecNo", "Integer", fsGetter<TfrxDataSet>([](TfrxDataSet* d) { return int32_t(d->RecNo); }));
        c->AddIndexProperty("DisplayText", "String", "String",
            fsIndexed<TfrxDataSet>([](TfrxDataSet* d, TfsParams& p) { return d->GetDisplayText(Param(p, 0)); }), true);
        c->AddIndexProperty("DisplayWidth", "String", "Integer",
            fsIndexed<TfrxDataSet>(
                [](TfrxDataSet* d, TfsParams& p) { return int32_t(d->GetDisplayWidth(Param(p, 0))); }),
            true);
        c->AddIndexProperty("FieldType", "String", "TfrxFieldType",
            fsIndexed<TfrxDataSet>([](TfrxDataSet* d, TfsParams& p) { return int32_t(d->GetFieldType(Param(p, 0))); }),
            true);
        c->AddIndexProperty("Value", "String", "Variant",
            fsIndexed<TfrxDataSet>([](TfrxDataSet* d, TfsParams& p) { return d->GetValue(Param(p, 0)); }), true);
    }
    g->AddClass(TfrxUserDataSet::StaticClass(), "TfrxDataSet");
    g->AddClass(TfrxCustomDBDataSet::StaticClass(), "TfrxDataSet");
    // The database dataset of this library, so that scripts reach datasets placed on a report.
    g->AddClass(TfrxDBDataset::StaticClass(), "TfrxCustomDBDataSet");
}

void RegisterComponent(TfsScript* g) {
    TfsClassVariable* c = g->AddClass(TfrxComponent::StaticClass(), "TComponent");
    if (!c) return;
    c->AddMethod("procedure Clear", fsMethod<TfrxComponent>([](TfrxComponent* o, TfsParams&) {
        CheckNotRunning(o->GetReport(), "Clear");
        o->Clear();
    }));
    c->AddMethod("function FindObject(s: String): TfrxComponent",
        fsMethod<TfrxComponent>([](TfrxComponent* o, TfsParams& p) { return Handle(o->FindObject(Param(p, 0))); }));
    c->AddMethod(
        "procedure LoadFromStream(Stream: TStream)", fsMethod<TfrxComponent>([](TfrxComponent* o, TfsParams& p) {
            CheckNotRunning(o->GetReport(), "LoadFromStream");
            o->LoadFromStream(fsObjectArg<TStream>(p.at(0), "LoadFromStream", false));
        }));
    c->AddMethod("procedure SaveToStream(Stream: TStream; SaveChildren: Boolean = True)",
        fsMethod<TfrxComponent>([](TfrxComponent* o, TfsParams& p) {
            const bool children = p.size() < 2 || p[1].AsBoolean();
            o->SaveToStream(fsObjectArg<TStream>(p.at(0), "SaveToStream", false), children, false);
        }));
    c->AddMethod("procedure SetBounds(ALeft, ATop, AWidth, AHeight: Extended)",
        fsMethod<TfrxComponent>([](TfrxComponent* o, TfsParams& p) {
            o->SetBounds(p.at(0).AsDouble(), p.at(1).AsDouble(), p.at(2).AsDouble(), p.at(3).AsDouble());
        }));
    c->AddProperty("Objects", "TList", fsGetter<TfrxComponent>([](TfrxComponent* o) { return Handle(o->Objects()); }));
    c->AddProperty(
        "AllObjects", "TList", fsGetter<TfrxComponent>([](TfrxComponent* o) { return Handle(o->GetAllObjects()); }));
    c->AddProperty("Parent", "TfrxComponent",
        fsGetter<TfrxComponent>([](TfrxComponent* o) { return Handle(o->GetParent()); }),
        fsSetter<TfrxComponent>([](TfrxComponent* o, const Variant& v) {
            CheckNotRunning(o->GetReport(), "Parent");
            o->SetParent(fsObjectArg<TfrxComponent>(v, "Parent", true));
        }));
    c->AddProperty("Page", "TfrxPage", fsGetter<TfrxComponent>([](TfrxComponent* o) { return Handle(o->GetPage()); }));
    c->AddProperty("AbsLeft", "Extended", fsGetter<TfrxComponent>([](TfrxComponent* o) { return o->GetAbsLeft(); }));
    c->AddProperty("AbsTop", "Extended", fsGetter<TfrxComponent>([](TfrxComponent* o) { return o->GetAbsTop(); }));
}

void RegisterObjects(TfsScript* g) {
    g->AddClass(TfrxReportComponent::StaticClass(), "TfrxComponent");
    g->AddClass(TfrxDialogComponent::StaticClass(), "TfrxReportComponent");
    if (TfsClassVariable* c = g->AddClass(TfrxDialogControl::StaticClass(), "TfrxReportComponent"))
        c->AddMethod("procedure SetFocus", fsMethod<TfrxDialogControl>([](TfrxDialogControl* o, TfsParams&) {
            if (auto* w = dynamic_cast<TWinControl*>(o->Control())) w->SetFocus();
        }));
    g->AddClass(TfrxFrame::StaticClass(), "TPersistent");

    for (const NamedClass& v : kViewClasses)
        if (TClass cls = GetClass(v.Name)) g->AddClass(cls, v.Ancestor);
    if (TfsClassVariable* c = g->FindClass("TfrxStretcheable"))
        c->AddMethod("function CalcHeight: Extended",
            fsMethod<TfrxStretcheable>([](TfrxStretcheable* v, TfsParams&) { return v->CalcHeight(); }));
    if (TfsClassVariable* c = g->FindClass("TfrxCustomMemoView")) {
        c->AddMethod("function CalcWidth: Extended",
            fsMethod<TfrxCustomMemoView>([](TfrxCustomMemoView* m, TfsParams&) { return m->CalcWidth(); }));
        c->AddProperty("Text", "String",
            fsGetter<TfrxCustomMemoView>([](TfrxCustomMemoView* m) { return m->GetText(); }),
            fsSetter<TfrxCustomMemoView>([](TfrxCustomMemoView* m, const Variant& v) { m->SetText(VarToStr(v)); }));
        c->AddProperty("Lines", "TStrings",
            fsGetter<TfrxCustomMemoView>([](TfrxCustomMemoView* m) { return Handle(m->GetMemo()); }),
            fsSetter<TfrxCustomMemoView>([](TfrxCustomMemoView* m, const Variant& v) {
                m->GetMemo()->Assign(fsObjectArg<TStrings>(v, "Lines", false));
            }));
        c->AddProperty(
            "Value", "Variant", fsGetter<TfrxCustomMemoView>([](TfrxCustomMemoView* m) { return m->DataValue; }));
    }
    if (TfsClassVariable* c = g->FindClass("TfrxPictureView"))
        c->AddMethod("procedure LoadFromFile(filename: String)",
            fsMethod<TfrxPictureView>(
                [](TfrxPictureView* v, TfsParams& p) { v->LoadFromFile(fsReadableFile(Param(p, 0))); }));

    if (TfsClassVariable* c = g->AddClass(TfrxBand::StaticClass(), "TfrxReportComponent"))
        c->AddProperty("Overflow", "Boolean", fsGetter<TfrxBand>([](TfrxBand* b) { return b->GetOverflow(); }));
    for (TClass cls : {TfrxDataBand::StaticClass(), TfrxHeader::StaticClass(), TfrxFooter::StaticClass()})
        g->AddClass(cls, "TfrxBand");
    for (TClass cls : {TfrxMasterData::StaticClass(), TfrxDetailData::StaticClass(), TfrxSubdetailData::StaticClass(),
             TfrxDataBand4::StaticClass(), TfrxDataBand5::StaticClass(), TfrxDataBand6::StaticClass()})
        g->AddClass(cls, "TfrxDataBand");
    for (TClass cls : {TfrxPageHeader::StaticClass(), TfrxPageFooter::StaticClass(), TfrxColumnHeader::StaticClass(),
             TfrxColumnFooter::StaticClass(), TfrxGroupHeader::StaticClass(), TfrxGroupFooter::StaticClass(),
             TfrxReportTitle::StaticClass(), TfrxReportSummary::StaticClass(), TfrxChild::StaticClass(),
             TfrxOverlay::StaticClass()})
        g->AddClass(cls, "TfrxBand");

    g->AddClass(TfrxPage::StaticClass(), "TfrxComponent");
    if (TClass cls = GetClass("TfrxReportPage")) g->AddClass(cls, "TfrxPage");
    if (TfsClassVariable* c = g->AddClass(TfrxDialogPage::StaticClass(), "TfrxPage"))
        c->AddProperty("ModalResult", "Integer",
            fsGetter<TfrxDialogPage>([](TfrxDialogPage* p) { return int32_t(p->GetModalResult()); }),
            fsSetter<TfrxDialogPage>([](TfrxDialogPage* p, const Variant& v) { p->SetModalResult(v.AsInteger()); }));
    if (TClass cls = GetClass("TfrxDMPPage")) g->AddClass(cls, "TfrxReportPage");
}

void RegisterReport(TfsScript* g) {
    for (TClass cls : {TfrxEngineOptions::StaticClass(), TfrxPrintOptions::StaticClass(),
             TfrxPreviewOptions::StaticClass(), TfrxReportOptions::StaticClass()})
        g->AddClass(cls, "TPersistent");
    g->AddClass(TfrxVariable::StaticClass(), "TCollectionItem");
    if (TfsClassVariable* c = g->AddClass(TfrxVariables::StaticClass(), "TCollection"))
        c->AddDefaultProperty("Variables", "String", "Variant",
            fsIndexed<TfrxVariables>([](TfrxVariables* v, TfsParams& p) { return v->GetVariable(Param(p, 0)); },
                [](TfrxVariables* v, TfsParams& p) { v->SetVariable(Param(p, 0), p.at(1)); }));

    if (TfsClassVariable* c = g->AddClass(TfrxReport::StaticClass(), "TfrxComponent")) {
        c->AddMethod("function Calc(const Expr: String): Variant",
            fsMethod<TfrxReport>([](TfrxReport* r, TfsParams& p) { return r->Calc(Param(p, 0), r->Script()); }));
        c->AddMethod("function GetDataset(const Alias: String): TfrxDataset",
            fsMethod<TfrxReport>([](TfrxReport* r, TfsParams& p) { return Handle(r->GetDataset(Param(p, 0))); }));
        c->AddMethod("function LoadFromFile(const FileName: String): Boolean",
            fsMethod<TfrxReport>([](TfrxReport* r, TfsParams& p) {
                CheckNotRunning(r, "LoadFromFile");
                return r->LoadFromFile(fsReadableFile(Param(p, 0)), false);
            }));
        c->AddMethod("procedure SaveToFile(const FileName: String)",
            fsMethod<TfrxReport>([](TfrxReport* r, TfsParams& p) { r->SaveToFile(fsWritableFile(Param(p, 0))); }));
        c->AddMethod("procedure ShowReport", fsMethod<TfrxReport>([](TfrxReport* r, TfsParams&) {
            CheckNotRunning(r, "ShowReport");
            r->ShowReport(true);
        }));
    }

    if (TfsClassVariable* c = g->AddClass(TfrxCustomEngine::StaticClass(), "TPersistent")) {
        c->AddMethod(
            "procedure NewPage", fsMethod<TfrxCustomEngine>([](TfrxCustomEngine* e, TfsParams&) { e->NewPage(); }));
        c->AddMethod(
            "procedure NewColumn", fsMethod<TfrxCustomEngine>([](TfrxCustomEngine* e, TfsParams&) { e->NewColumn(); }));
        c->AddMethod(
            "procedure ShowBand(Band: TfrxBand)", fsMethod<TfrxCustomEngine>([](TfrxCustomEngine* e, TfsParams& p) {
                e->ShowBand(fsObjectArg<TfrxBand>(p.at(0), "ShowBand", false));
            }));
        c->AddMethod("procedure StopReport",
            fsMethod<TfrxCustomEngine>([](TfrxCustomEngine* e, TfsParams&) { e->StopReport(); }));
        c->AddMethod("function FreeSpace: Extended",
            fsMethod<TfrxCustomEngine>([](TfrxCustomEngine* e, TfsParams&) { return e->FreeSpace(); }));
        c->AddMethod("procedure AddAnchor(const Text: String)",
            fsMethod<TfrxCustomEngine>([](TfrxCustomEngine* e, TfsParams& p) {
                if (TfrxPreviewPages* pages = EnginePages(e)) pages->AddAnchor(Param(p, 0));
            }));
        c->AddMethod("function GetAnchorPage(const Text: String): Integer",
            fsMethod<TfrxCustomEngine>([](TfrxCustomEngine* e, TfsParams& p) {
                TfrxPreviewPages* pages = EnginePages(e);
                return int32_t(pages ? pages->GetAnchorPage(Param(p, 0)) : 0);
            }));
    }
    g->AddClass(TfrxEngine::StaticClass(), "TfrxCustomEngine");

    if (TfsClassVariable* c = g->AddClass(TfrxCustomOutline::StaticClass(), "TPersistent")) {
        c->AddMethod("procedure AddItem(const Text: String)",
            fsMethod<TfrxCustomOutline>([](TfrxCustomOutline* o, TfsParams& p) {
                const TfrxCustomEngine* e = o->Engine();
                o->AddItem(Param(p, 0), e ? int(std::lround(e->CurY)) : 0);
            }));
        c->AddMethod("procedure LevelRoot",
            fsMethod<TfrxCustomOutline>([](TfrxCustomOutline* o, TfsParams&) { o->LevelRoot(); }));
        c->AddMethod(
            "procedure LevelUp", fsMethod<TfrxCustomOutline>([](TfrxCustomOutline* o, TfsParams&) { o->LevelUp(); }));
    }
    g->AddClass(TfrxOutline::StaticClass(), "TfrxCustomOutline");
}

void RegisterFunctions(TfsScript* g) {
    auto datePart = [](TObject*, TClass, const std::string& name, TfsParams& p) -> Variant {
        int year = 0, month = 0, day = 0;
        DecodeDate(p.at(0).AsDate(), year, month, day);
        if (name == "DAYOF") return Variant(int32_t(day));
        if (name == "MONTHOF") return Variant(int32_t(month));
        if (name == "YEAROF") return Variant(int32_t(year));
        return Variant(int32_t(0));
    };
    g->AddMethod("function DayOf(Date: TDateTime): Integer", datePart, "ctDate");
    g->AddMethod("function MonthOf(Date: TDateTime): Integer", datePart, "ctDate");
    g->AddMethod("function YearOf(Date: TDateTime): Integer", datePart, "ctDate");
    // Bodies come from each report's own script, which is searched before the global unit.
    g->AddMethod("function IIF(Expr: Boolean; TrueValue, FalseValue: Variant): Variant", nullptr, "ctOther");
    for (const char* name : {"SUM", "AVG", "MIN", "MAX"})
        g->AddMethod(
            std::string("function ") + name + "(Expr: Variant; Band: Variant = 0; Flags: Integer = 0): Variant",
            nullptr, "ctAggregate");
    g->AddMethod("function COUNT(Band: Variant = 0; Flags: Integer = 0): Variant", nullptr, "ctAggregate");
}

}  // namespace

TfrxReportRTTI::TfrxReportRTTI() {
    TfsScript* g = fsGlobalUnit();
    assert(g && "the engine starts before its bindings");
    auto unstamp = OnScopeExit([g] { g->AddedBy = nullptr; });
    g->AddedBy = this;
    RegisterEnums(g);
    RegisterDataSet(g);
    RegisterComponent(g);
    RegisterObjects(g);
    RegisterReport(g);
    RegisterFunctions(g);
}

TfrxReportRTTI::~TfrxReportRTTI() {
    if (TfsScript* g = fsGlobalUnit()) g->RemoveItems(this);
}

void frxStartReportRTTI() {
    if (!gReportRTTI) gReportRTTI = new TfrxReportRTTI;
}

void frxStopReportRTTI() {
    delete gReportRTTI;
    gReportRTTI = nullptr;
}
