#include "script/gui/FormBindings.h"

#include <cassert>

#include "platform/classes/TypInfo.h"
#include "platform/gui/Application.h"
#include "platform/gui/Forms.h"
#include "platform/gui/StdCtrls.h"
#include "script/ClassBindings.h"
#include "script/MemberCalls.h"
#include "script/gui/GuiEventAdapters.h"

namespace {

constexpr const char* SParentCycle = "Ovládací prvek nelze vložit sám do sebe: %s";

TfsFormsRTTI* gFormsRTTI = nullptr;

struct IntConst {
    const char* Name;
    int Value;
};

#define KAROMIL_CONST(n) \
    { #n, int(n) }

const IntConst kModalResults[] = {
    KAROMIL_CONST(mrNone),
    KAROMIL_CONST(mrOk),
    KAROMIL_CONST(mrCancel),
    KAROMIL_CONST(mrAbort),
    KAROMIL_CONST(mrRetry),
    KAROMIL_CONST(mrIgnore),
    KAROMIL_CONST(mrYes),
    KAROMIL_CONST(mrNo),
    KAROMIL_CONST(mrAll),
    KAROMIL_CONST(mrNoToAll),
    KAROMIL_CONST(mrYesToAll),
};

const IntConst kCursors[] = {
    KAROMIL_CONST(crDefault),
    KAROMIL_CONST(crNone),
    KAROMIL_CONST(crArrow),
    KAROMIL_CONST(crCross),
    KAROMIL_CONST(crIBeam),
    KAROMIL_CONST(crSize),
    KAROMIL_CONST(crSizeNESW),
    KAROMIL_CONST(crSizeNS),
    KAROMIL_CONST(crSizeNWSE),
    KAROMIL_CONST(crSizeWE),
    KAROMIL_CONST(crUpArrow),
    KAROMIL_CONST(crHourGlass),
    KAROMIL_CONST(crDrag),
    KAROMIL_CONST(crNoDrop),
    KAROMIL_CONST(crHSplit),
    KAROMIL_CONST(crVSplit),
    KAROMIL_CONST(crMultiDrag),
    KAROMIL_CONST(crSQLWait),
    KAROMIL_CONST(crNo),
    KAROMIL_CONST(crAppStart),
    KAROMIL_CONST(crHelp),
    KAROMIL_CONST(crHandPoint),
    KAROMIL_CONST(crSizeAll),
};

const IntConst kBorderStyles[] = {
    KAROMIL_CONST(bsNone),
    KAROMIL_CONST(bsSingle),
    KAROMIL_CONST(bsSizeable),
    KAROMIL_CONST(bsDialog),
    KAROMIL_CONST(bsToolWindow),
    KAROMIL_CONST(bsSizeToolWin),
};

const IntConst kVirtualKeys[] = {
    KAROMIL_CONST(VK_RBUTTON),
    KAROMIL_CONST(VK_CANCEL),
    KAROMIL_CONST(VK_MBUTTON),
    KAROMIL_CONST(VK_BACK),
    KAROMIL_CONST(VK_TAB),
    KAROMIL_CONST(VK_RETURN),
    KAROMIL_CONST(VK_SHIFT),
    KAROMIL_CONST(VK_CONTROL),
    KAROMIL_CONST(VK_MENU),
    KAROMIL_CONST(VK_PAUSE),
    KAROMIL_CONST(VK_CAPITAL),
    KAROMIL_CONST(VK_ESCAPE),
    KAROMIL_CONST(VK_SPACE),
    KAROMIL_CONST(VK_PRIOR),
    KAROMIL_CONST(VK_NEXT),
    KAROMIL_CONST(VK_END),
    KAROMIL_CONST(VK_HOME),
    KAROMIL_CONST(VK_LEFT),
    KAROMIL_CONST(VK_UP),
    KAROMIL_CONST(VK_RIGHT),
    KAROMIL_CONST(VK_DOWN),
    KAROMIL_CONST(VK_INSERT),
    KAROMIL_CONST(VK_DELETE),
    KAROMIL_CONST(VK_HELP),
    KAROMIL_CONST(VK_LWIN),
    KAROMIL_CONST(VK_RWIN),
    KAROMIL_CONST(VK_APPS),
    {"VK_NUMPAD0", VK_NUMPAD0},
    {"VK_NUMPAD1", VK_NUMPAD0 + 1},
    {"VK_NUMPAD2", VK_NUMPAD0 + 2},
    {"VK_NUMPAD3", VK_NUMPAD0 + 3},
    {"VK_NUMPAD4", VK_NUMPAD0 + 4},
    {"VK_NUMPAD5", VK_NUMPAD0 + 5},
    {"VK_NUMPAD6", VK_NUMPAD0 + 6},
    {"VK_NUMPAD7", VK_NUMPAD0 + 7},
    {"VK_NUMPAD8", VK_NUMPAD0 + 8},
    {"VK_NUMPAD9", VK_NUMPAD9},
    KAROMIL_CONST(VK_MULTIPLY),
    KAROMIL_CONST(VK_ADD),
    KAROMIL_CONST(VK_SEPARATOR),
    KAROMIL_CONST(VK_SUBTRACT),
    KAROMIL_CONST(VK_DECIMAL),
    KAROMIL_CONST(VK_DIVIDE),
    KAROMIL_CONST(VK_F1),
    KAROMIL_CONST(VK_F2),
    KAROMIL_CONST(VK_F3),
    KAROMIL_CONST(VK_F4),
    KAROMIL_CONST(VK_F5),
    KAROMIL_CONST(VK_F6),
    KAROMIL_CONST(VK_F7),
    KAROMIL_CONST(VK_F8),
    KAROMIL_CONST(VK_F9),
    KAROMIL_CONST(VK_F10),
    KAROMIL_CONST(VK_F11),
    KAROMIL_CONST(VK_F12),
    KAROMIL_CONST(VK_NUMLOCK),
    KAROMIL_CONST(VK_SCROLL),
};

#undef KAROMIL_CONST

Variant Handle(const TObject* obj) { return Variant(fsObjectToVariant(obj)); }

// The Application variable: the window layer's application object, made on the first read,
// so that registering (and a run without windows) never starts a Qt application.
class TfsApplicationVariable : public TfsCustomVariable {
public:
    TfsApplicationVariable() : TfsCustomVariable("Application", tcClass, "TApplication") { ReadOnly = true; }
    Variant GetValue() override { return Handle(TApplicationAccess::Get()); }
    void SetValue(const Variant&) override {}
};

// An item index of a list box; the platform's lists raise for one outside.
int ListBoxIndex(const TCustomListBox* box, const Variant& v) {
    const int index = v.AsInteger();
    if (index < 0 || index >= box->GetItems()->Count()) ListIndexError(index);
    return index;
}

// The class library let a script make a control the parent of itself or of one of its own
// parents, a cycle every walk up the parent chain then runs around forever; refused here.
void SetParentOf(TControl* control, TWinControl* parent) {
    for (const TControl* p = parent; p; p = p->GetParent())
        if (p == control) throw Exception(fsFormatMessage(SParentCycle, control->ClassName()));
    control->SetParent(parent);
}

}  // namespace

TfsFormsRTTI::TfsFormsRTTI() {
    TfsScript* g = fsGlobalUnit();
    assert(g && "the engine starts before its bindings");
    g->AddedBy = this;

    for (const IntConst& c : kModalResults) g->AddConst(c.Name, "Integer", Variant(c.Value));
    for (const IntConst& c : kCursors) g->AddConst(c.Name, "Integer", Variant(c.Value));
    for (const IntConst& c : kBorderStyles) g->AddConst(c.Name, "Integer", Variant(c.Value));
    for (const IntConst& c : kVirtualKeys) g->AddConst(c.Name, "Integer", Variant(c.Value));
    g->AddType("TFormBorderStyle", tcInteger);
    g->AddType("TBorderStyle", tcInteger);

    g->AddEnumSet("TShiftState", "ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble");
    g->AddEnumSet("TAnchors", "akLeft, akTop, akRight, akBottom");
    g->AddEnumSet("TBorderIcons", "biSystemMenu, biMinimize, biMaximize, biHelp");
    g->AddEnum("TAlignment", "taLeftJustify, taRightJustify, taCenter");
    g->AddEnum("TAlign", "alNone, alTop, alBottom, alLeft, alRight, alClient");
    g->AddEnum("TMouseButton", "mbLeft, mbRight, mbMiddle");
    g->AddEnum("TBevelCut", "bvNone, bvLowered, bvRaised, bvSpace");
    g->AddEnum("TTextLayout", "tlTop, tlCenter, tlBottom");
    g->AddEnum("TEditCharCase", "ecNormal, ecUpperCase, ecLowerCase");
    g->AddEnum("TScrollStyle", "ssNone, ssHorizontal, ssVertical, ssBoth");
    g->AddEnum("TComboBoxStyle", "csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable");
    g->AddEnum("TCheckBoxState", "cbUnchecked, cbChecked, cbGrayed");
    g->AddEnum("TListBoxStyle", "lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable");
    g->AddEnum("TWindowState", "wsNormal, wsMinimized, wsMaximized");
    g->AddEnum("TFormStyle", "fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop");
    g->AddEnum("TPosition",
        "poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, "
        "poDesktopCenter");
    g->AddEnum("TCloseAction", "caNone, caHide, caFree, caMinimize");

    const TfsEventClassInfo* notify = fsEventClass<TfsNotifyEvent>();
    // Focusing a control that is no windowed control (a label) leaves it alone.
    const TfsMethodCallEvent setFocus = fsMethod<TControl>([](TControl* c, TfsParams&) {
        if (auto* w = dynamic_cast<TWinControl*>(c)) w->SetFocus();
    });

    if (TfsClassVariable* c = g->AddClass(TControl::StaticClass(), "TComponent")) {
        c->AddProperty("Parent", "TWinControl", fsGetter<TControl>([](TControl* c) { return Handle(c->GetParent()); }),
            fsSetter<TControl>(
                [](TControl* c, const Variant& v) { SetParentOf(c, fsObjectArg<TWinControl>(v, "Parent", true)); }));
        c->AddMethod("procedure Hide", fsMethod<TControl>([](TControl* c, TfsParams&) { c->Hide(); }));
        c->AddMethod("procedure Show", fsMethod<TControl>([](TControl* c, TfsParams&) { c->Show(); }));
        c->AddMethod("procedure SetBounds(ALeft, ATop, AWidth, AHeight: Integer)",
            fsMethod<TControl>([](TControl* c, TfsParams& p) {
                c->SetBounds(p[0].AsInteger(), p[1].AsInteger(), p[2].AsInteger(), p[3].AsInteger());
            }));
        c->AddEvent("OnCanResize", fsEventClass<TfsCanResizeEvent>());
        c->AddEvent("OnClick", notify);
        c->AddEvent("OnDblClick", notify);
        c->AddEvent("OnMouseDown", fsEventClass<TfsMouseEvent>());
        c->AddEvent("OnMouseMove", fsEventClass<TfsMouseMoveEvent>());
        c->AddEvent("OnMouseUp", fsEventClass<TfsMouseEvent>());
        c->AddEvent("OnResize", notify);
    }
    if (TfsClassVariable* c = g->AddClass(TWinControl::StaticClass(), "TControl")) {
        c->AddMethod("procedure SetFocus", setFocus);
        c->AddEvent("OnEnter", notify);
        c->AddEvent("OnExit", notify);
        c->AddEvent("OnKeyDown", fsEventClass<TfsKeyEvent>());
        c->AddEvent("OnKeyPress", fsEventClass<TfsKeyPressEvent>());
        c->AddEvent("OnKeyUp", fsEventClass<TfsKeyEvent>());
    }
    g->AddClass(TCustomControl::StaticClass(), "TWinControl");
    g->AddClass(TGraphicControl::StaticClass(), "TControl");
    g->AddClass(TGroupBox::StaticClass(), "TWinControl");
    // Scripts see a label as a windowed control; focusing one leaves it alone.
    if (TfsClassVariable* c = g->AddClass(TLabel::StaticClass(), "TWinControl"))
        c->AddMethod("procedure SetFocus", setFocus);
    g->AddClass(TEdit::StaticClass(), "TWinControl");
    g->AddClass(TMemo::StaticClass(), "TWinControl");
    if (TfsClassVariable* c = g->AddClass(TCustomComboBox::StaticClass(), "TWinControl")) {
        c->AddProperty("DroppedDown", "Boolean",
            fsGetter<TCustomComboBox>([](TCustomComboBox* c) { return c->GetDroppedDown(); }),
            fsSetter<TCustomComboBox>([](TCustomComboBox* c, const Variant& v) { c->SetDroppedDown(v.AsBoolean()); }));
        c->AddProperty("ItemIndex", "Integer",
            fsGetter<TCustomComboBox>([](TCustomComboBox* c) { return c->GetItemIndex(); }),
            fsSetter<TCustomComboBox>([](TCustomComboBox* c, const Variant& v) { c->SetItemIndex(v.AsInteger()); }));
        c->AddEvent("OnChange", notify);
        c->AddEvent("OnDropDown", notify);
        c->AddEvent("OnCloseUp", notify);
    }
    g->AddClass(TComboBox::StaticClass(), "TCustomComboBox");
    g->AddClass(TButton::StaticClass(), "TWinControl");
    g->AddClass(TCheckBox::StaticClass(), "TWinControl");
    g->AddClass(TRadioButton::StaticClass(), "TWinControl");
    if (TfsClassVariable* c = g->AddClass(TCustomListBox::StaticClass(), "TWinControl")) {
        c->AddProperty("ItemIndex", "Integer",
            fsGetter<TCustomListBox>([](TCustomListBox* b) { return b->GetItemIndex(); }),
            fsSetter<TCustomListBox>([](TCustomListBox* b, const Variant& v) { b->SetItemIndex(v.AsInteger()); }));
        c->AddProperty(
            "SelCount", "Integer", fsGetter<TCustomListBox>([](TCustomListBox* b) { return b->GetSelCount(); }));
        c->AddIndexProperty("Selected", "Integer", "Boolean",
            fsIndexed<TCustomListBox>(
                [](TCustomListBox* b, TfsParams& p) { return b->GetSelected(ListBoxIndex(b, p[0])); },
                [](TCustomListBox* b, TfsParams& p) { b->SetSelected(ListBoxIndex(b, p[0]), p[1].AsBoolean()); }));
    }
    g->AddClass(TListBox::StaticClass(), "TCustomListBox");
    g->AddClass(TControlScrollBar::StaticClass(), "TPersistent");
    g->AddClass(TScrollingWinControl::StaticClass(), "TWinControl");
    g->AddClass(TScrollBox::StaticClass(), "TScrollingWinControl");
    if (TfsClassVariable* c = g->AddClass(TCustomForm::StaticClass(), "TScrollingWinControl")) {
        c->AddMethod("procedure Close", fsMethod<TCustomForm>([](TCustomForm* f, TfsParams&) { f->Close(); }));
        c->AddMethod("procedure Hide", fsMethod<TCustomForm>([](TCustomForm* f, TfsParams&) { f->Hide(); }));
        c->AddMethod("procedure Show", fsMethod<TCustomForm>([](TCustomForm* f, TfsParams&) { f->Show(); }));
        c->AddMethod("function ShowModal: Integer",
            fsMethod<TCustomForm>([](TCustomForm* f, TfsParams&) { return int(f->ShowModal()); }));
        c->AddEvent("OnActivate", notify);
        c->AddEvent("OnClose", fsEventClass<TfsCloseEvent>());
        c->AddEvent("OnCloseQuery", fsEventClass<TfsCloseQueryEvent>());
        c->AddEvent("OnCreate", notify);
        c->AddEvent("OnDestroy", notify);
        c->AddEvent("OnDeactivate", notify);
        c->AddEvent("OnHide", notify);
        c->AddEvent("OnPaint", notify);
        c->AddEvent("OnShow", notify);
        c->AddProperty("Canvas", "TCanvas", fsGetter<TCustomForm>([](TCustomForm* f) { return Handle(f->Canvas()); }));
        c->AddProperty("ModalResult", "Integer",
            fsGetter<TCustomForm>([](TCustomForm* f) { return int(f->GetModalResult()); }),
            fsSetter<TCustomForm>(
                [](TCustomForm* f, const Variant& v) { f->SetModalResult(TModalResult(v.AsInteger())); }));
    }
    g->AddClass(TForm::StaticClass(), "TCustomForm");
    g->AddClass(TDataModule::StaticClass(), "TComponent");
    if (TfsClassVariable* c = g->AddClass(TApplication::StaticClass(), "TComponent")) {
        c->AddMethod("procedure Minimize", fsMethod<TApplication>([](TApplication* a, TfsParams&) { a->Minimize(); }));
        c->AddMethod("procedure ProcessMessages",
            fsMethod<TApplication>([](TApplication* a, TfsParams&) { a->ProcessMessages(); }));
        c->AddMethod("procedure Restore", fsMethod<TApplication>([](TApplication* a, TfsParams&) { a->Restore(); }));
        c->AddProperty("ExeName", "String", fsGetter<TApplication>([](TApplication* a) { return a->ExeName(); }));
    }
    g->AddItem("Application", std::make_unique<TfsApplicationVariable>());

    g->AddedBy = nullptr;
}

TfsFormsRTTI::~TfsFormsRTTI() {
    if (TfsScript* g = fsGlobalUnit()) g->RemoveItems(this);
}

void fsStartFormsRTTI() {
    if (!gFormsRTTI) gFormsRTTI = new TfsFormsRTTI;
}

void fsStopFormsRTTI() {
    delete gFormsRTTI;
    gFormsRTTI = nullptr;
}
