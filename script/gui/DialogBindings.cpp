#include "script/gui/DialogBindings.h"

#include <cassert>

#include "platform/gui/Dialogs.h"
#include "platform/rtl/Exceptions.h"
#include "script/Builtins.h"
#include "script/MemberCalls.h"

namespace {

TfsDialogsRTTI* gDialogsRTTI = nullptr;

// A set argument: its bit mask, or the members of a set constructor (their bits) combined.
uint32_t SetArg(const Variant& v) {
    if (!v.IsArray()) return uint32_t(v.AsInt64());
    uint32_t mask = 0;
    const int lo = VarArrayLowBound(v, 1), hi = VarArrayHighBound(v, 1);
    for (int i = lo; i <= hi; ++i) mask |= uint32_t(v.GetElement({i}).AsInt64());
    return mask;
}

TMsgDlgType DialogType(const Variant& v) {
    const int t = v.AsInteger();
    // Outside the enumeration there is no dialog type to show.
    if (t < mtWarning || t > mtCustom) throw ERangeError("Range check error");
    return TMsgDlgType(t);
}

}  // namespace

TfsDialogsRTTI::TfsDialogsRTTI() {
    TfsScript* g = fsGlobalUnit();
    assert(g && "the engine starts before its bindings");
    g->AddedBy = this;

    g->AddEnumSet("TOpenOptions",
        "ofReadOnly, ofOverwritePrompt, ofHideReadOnly, ofNoChangeDir, ofShowHelp, "
        "ofNoValidate, ofAllowMultiSelect, ofExtensionDifferent, ofPathMustExist, "
        "ofFileMustExist, ofCreatePrompt, ofShareAware, ofNoReadOnlyReturn, "
        "ofNoTestFileCreate, ofNoNetworkButton, ofNoLongNames, ofOldStyleDialog, "
        "ofNoDereferenceLinks, ofEnableIncludeNotify, ofEnableSizing");
    g->AddEnumSet("TColorDialogOptions", "cdFullOpen, cdPreventFullOpen, cdShowHelp, cdSolidColor, cdAnyColor");
    g->AddEnumSet("TFontDialogOptions",
        "fdAnsiOnly, fdTrueTypeOnly, fdEffects, fdFixedPitchOnly, fdForceFontExist, "
        "fdNoFaceSel, fdNoOEMFonts, fdNoSimulations, fdNoSizeSel, fdNoStyleSel, "
        "fdNoVectorFonts, fdShowHelp, fdWysiwyg, fdLimitSize, fdScalableOnly, "
        "fdApplyButton");
    g->AddEnumSet("TPrintDialogOptions",
        "poPrintToFile, poPageNums, poSelection, poWarning, poHelp, "
        "poDisablePrintToFile");
    g->AddEnumSet("TMsgDlgButtons",
        "mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, "
        "mbYesToAll, mbHelp");
    g->AddEnum("TFileEditStyle", "fsEdit, fsComboBox");
    g->AddEnum("TFontDialogDevice", "fdScreen, fdPrinter, fdBoth");
    g->AddEnum("TPrintRange", "prAllPages, prSelection, prPageNums");
    g->AddEnum("TMsgDlgType", "mtWarning, mtError, mtInformation, mtConfirmation, mtCustom");

    if (TfsClassVariable* c = g->AddClass(TCommonDialog::StaticClass(), "TComponent"))
        c->AddMethod("function Execute: Boolean",
            fsMethod<TCommonDialog>([](TCommonDialog* d, TfsParams&) { return d->Execute(); }));
    for (TClass cls : {TOpenDialog::StaticClass(), TSaveDialog::StaticClass(), TColorDialog::StaticClass(),
             TFontDialog::StaticClass(), TPrintDialog::StaticClass(), TPrinterSetupDialog::StaticClass()})
        g->AddClass(cls, "TCommonDialog");

    g->AddMethod(
        "function MessageDlg(Msg: string; DlgType: TMsgDlgType; Buttons: TMsgDlgButtons; HelpCtx: Longint): "
        "Integer",
        fsFunction([](TfsParams& p) {
            return MessageDlg(
                VarToStr(p[0]), DialogType(p[1]), TMsgDlgButtons::FromMask(SetArg(p[2]) & 0x7FF), p[3].AsInteger());
        }),
        "ctOther");
    g->AddMethod("function InputBox(ACaption, APrompt, ADefault: string): string",
        fsFunction([](TfsParams& p) { return InputBox(VarToStr(p[0]), VarToStr(p[1]), VarToStr(p[2])); }), "ctOther");
    g->AddMethod("function InputQuery(ACaption, APrompt: string; var Value: string): Boolean",
        fsFunction([](TfsParams& p) {
            std::string value = VarToStr(p[2]);
            const bool ok = InputQuery(VarToStr(p[0]), VarToStr(p[1]), value);
            // A cancelled query leaves the variable exactly as it was, whatever it held.
            if (ok) p[2] = Variant(value);
            return ok;
        }),
        "ctOther");

    g->AddedBy = nullptr;
    fsSetShowMessageHandler([](const std::string& text) { ShowMessage(text); });
}

TfsDialogsRTTI::~TfsDialogsRTTI() {
    fsSetShowMessageHandler(nullptr);
    if (TfsScript* g = fsGlobalUnit()) g->RemoveItems(this);
}

void fsStartDialogsRTTI() {
    if (!gDialogsRTTI) gDialogsRTTI = new TfsDialogsRTTI;
}

void fsStopDialogsRTTI() {
    delete gDialogsRTTI;
    gDialogsRTTI = nullptr;
}
