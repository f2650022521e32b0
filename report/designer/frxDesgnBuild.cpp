// The designer window's construction: its components from tables, then what the window does
// when it is created.

#include <cstdlib>
#include <memory>

#include "platform/classes/StringList.h"
#include "platform/gui/ActnList.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/ImageList.h"
#include "platform/gui/Menus.h"
#include "platform/gui/StdCtrls.h"
#include "report/core/frxReport.h"
#include "report/core/frxRes.h"
#include "report/output/frxCtrls.h"
#include "report/output/frxFormBuilder.h"
#include "report/designer/frxDesgn.h"
#include "report/designer/frxDesignerTools.h"
#include "report/designer/frxUndoBuffer.h"
#include "script/ScriptTools.h"

KAROMIL_IMPLEMENT_CLASS(TfrxDesignerForm, TfrxCustomDesigner)

namespace {
// Pictures of the designer's buttons in the report library's button strip.
enum ButtonImage {
    biPreview = 5,
    biOpen = 1,
    biSave = 2,
    biNew = 13,
    biUndo = 17,
    biRedo = 18,
    biSelect = 10,
    biHand = 11,
    biZoom = 12,
    biEdit = 15,
    biRun = 19,
    biStop = 20,
};

// The restrictions the prepared-page designer works under.
const TfrxDesignerRestrictions kPreparedPageRestrictions{drDontDeletePage, drDontCreatePage, drDontCreateReport,
    drDontLoadReport, drDontPreviewReport, drDontEditVariables, drDontChangeReportOptions};
}  // namespace

TfrxDesignerForm::TfrxDesignerForm(TComponent* owner, TfrxReport* report, bool previewDesigner)
    : TfrxCustomDesigner(owner, report, previewDesigner) {
    BuildForm();

    // What the window does on creation, in order.
    frxGetResources()->LocalizeForm(this);
    for (TToolBar* bar : {StandardTB1, TextTB1, FrameTB1, AlignTB1, ExtraToolsTB1, CodeTB})
        bar->SetImages(frxGetResources()->GetButtonImages());
    ObjectsTB1->SetImages(frxGetResources()->GetButtonImages());
    MainMenu->SetImages(frxGetResources()->GetButtonImages());
    ActionList->SetImages(frxGetResources()->GetButtonImages());

    Workspace = new TDesignerWorkspace(this);
    Workspace->SetParent(ScrollBox);
    Workspace->Objects = Objects();
    Workspace->SelectedObjects = SelectedObjects();
    Workspace->OnModify = [this](TObject* s) { DoModify(s); };
    Workspace->OnSelectionChanged = [this](TObject* s) { DoSelectionChanged(s); };
    Workspace->OnEdit = [this](TObject* s) { DoEditObject(s); };
    Workspace->SetPopupMenu(PagePopup);
    CodeWindow = new TfrxSyntaxMemo(this);
    CodeWindow->SetParent(CodePanel);
    CodeWindow->SetAlign(alClient);
    CodeWindow->SetLines(Report->GetScriptText());

    ObjectInspector = new TfrxObjectInspector(this);
    ObjectInspector->OnModify = [this](TObject* s) { DoModify(s); };
    ObjectInspector->OnSelectionChanged = [this](TObject* s) { DoSelectionChanged(s); };
    ObjectInspector->SelectedObjects = SelectedObjects();
    DataTreeForm = new TfrxDataTreeForm(this);
    UpdateDataTree();
    ReportTreeForm = new TfrxReportTreeForm(this);
    ReportTreeForm->OnSelectionChanged = [this](TObject* s) { DoSelectionChanged(s); };

    Scale = 1;
    for (const std::string& lang : fsGetLanguageList()) LangCB->GetItems()->Add(lang);
    LangCB->SetItemIndex(LangCB->GetItems()->IndexOf(Report->ScriptLanguage));
    FUndoBuffer = std::make_unique<TfrxUndoBuffer>();
    FUndoBuffer->AddUndo(Report);
    FClipboard = std::make_unique<TfrxClipboard>();
    Timer->SetEnabled(true);
    FRecentFiles = std::make_unique<TStringList>();
    // Names differing only in case are different files here.
    FRecentFiles->SetCaseSensitive(true);
    FSampleFormat = std::make_unique<TSampleFormat>();
    FTabScrollPositions = std::make_unique<TStringList>();
    for (int i = 0; i < 256; ++i) FTabScrollPositions->Add("");
    if (IsPreviewDesigner) {
        FSavedOptions = frxActiveDesignerComponent();
        FOwnOptions = new TfrxDesigner(nullptr);
        FOwnOptions->Restrictions = kPreparedPageRestrictions;
        ObjectBandB->SetEnabled(false);
    }
    Report->SelectPrinter();
    NewReportCmd->SetEnabled(CheckOp(drDontCreateReport));
    NewItemCmd->SetEnabled(CheckOp(drDontCreateReport));
    NewPageCmd->SetEnabled(CheckOp(drDontCreatePage));
    NewDialogCmd->SetEnabled(NewDialogCmd->GetEnabled() && CheckOp(drDontCreatePage));
    SaveAsCmd->SetEnabled(CheckOp(drDontSaveReport));
    OpenCmd->SetEnabled(CheckOp(drDontLoadReport));
    ReportSettingsMI->SetEnabled(CheckOp(drDontChangeReportOptions));
    ReportStylesMI->SetEnabled(CheckOp(drDontChangeReportOptions));
    ReportDataMI->SetEnabled(CheckOp(drDontEditReportData));
    VariablesCmd->SetEnabled(CheckOp(drDontEditVariables));
    PreviewCmd->SetEnabled(CheckOp(drDontPreviewReport));

    ReloadPages(0);
    UpdateCaption();
    RebuildRecentMenu();
    if (TfrxDesigner* options = frxActiveDesignerComponent(); options && options->OnShow) options->OnShow(this);
}

void TfrxDesignerForm::BuildForm() {
    using F = TfrxDesignerForm;
    TFormLoader loader(this);
    SetBounds(40, 40, 1000, 700);
    SetCaption("Designer");
    SetKeyPreview(true);
    constexpr auto form = TfrxField<F>{};
    constexpr auto dockTop = frxField<&F::DockTop>;
    constexpr auto std1 = frxField<&F::StandardTB1>;
    constexpr auto objects = frxField<&F::ObjectsTB1>;
    constexpr auto tab = frxField<&F::Tab>;
    constexpr auto sbPanel = frxField<&F::ScrollBoxPanel>;
    constexpr auto codePanel = frxField<&F::CodePanel>;
    constexpr auto codeTB = frxField<&F::CodeTB>;
    const TfrxControlRow<F> rows[] = {
        {frxField<&F::Bevel1>, "Bevel1", form, {0, 0, 1000, 1}, nullptr, {}, alTop},
        // The top dock with its five tool bars, one row each for now.
        {dockTop, "DockTop", form, {0, 1, 1000, 27}, "", {}, alTop},
        {frxField<&F::StandardTB>, "StandardTB", dockTop, {0, 0, 300, 27}, "", {}, alLeft},
        {std1, "StandardTB1", frxField<&F::StandardTB>, {}, nullptr, {}, alClient},
        {frxToolButton<&F::NewB, biNew>, "NewB", std1},
        {frxToolButton<&F::OpenB, biOpen>, "OpenB", std1},
        {frxToolButton<&F::SaveB, biSave>, "SaveB", std1},
        {frxToolButton<&F::PreviewB, biPreview>, "PreviewB", std1},
        {frxToolButton<&F::StdSep1, -1, tbsSeparator>, "StdSep1", std1},
        {frxToolButton<&F::UndoB, biUndo>, "UndoB", std1},
        {frxToolButton<&F::RedoB, biRedo>, "RedoB", std1},
        {frxField<&F::TextTB>, "TextTB", dockTop, {300, 0, 0, 27}, "", {}, alLeft, false},
        {frxField<&F::TextTB1>, "TextTB1", frxField<&F::TextTB>, {}, nullptr, {}, alClient},
        {frxField<&F::FrameTB>, "FrameTB", dockTop, {300, 0, 0, 27}, "", {}, alLeft, false},
        {frxField<&F::FrameTB1>, "FrameTB1", frxField<&F::FrameTB>, {}, nullptr, {}, alClient},
        {frxField<&F::AlignTB>, "AlignTB", dockTop, {300, 0, 0, 27}, "", {}, alLeft, false},
        {frxField<&F::AlignTB1>, "AlignTB1", frxField<&F::AlignTB>, {}, nullptr, {}, alClient},
        {frxField<&F::ExtraToolsTB>, "ExtraToolsTB", dockTop, {300, 0, 0, 27}, "", {}, alLeft, false},
        {frxField<&F::ExtraToolsTB1>, "ExtraToolsTB1", frxField<&F::ExtraToolsTB>, {}, nullptr, {}, alClient},
        // Bottom first, so that the status bar keeps the lowest place.
        {frxField<&F::StatusBar>, "StatusBar", form, {}, nullptr, {}, alBottom},
        {frxField<&F::DockBottom>, "DockBottom", form, {0, 0, 1000, 0}, "", {}, alBottom},
        {frxField<&F::LeftDockSite1>, "LeftDockSite1", form, {0, 0, 0, 600}, "", {}, alLeft},
        {objects, "ObjectsTB1", form, {0, 0, 31, 600}, nullptr, {}, alLeft},
        {frxToolButton<&F::ObjectSelectB, biSelect, tbsCheck>, "ObjectSelectB", objects},
        {frxToolButton<&F::HandToolB, biHand, tbsCheck>, "HandToolB", objects},
        {frxToolButton<&F::ZoomToolB, biZoom, tbsCheck>, "ZoomToolB", objects},
        {frxToolButton<&F::TextToolB, biEdit, tbsCheck>, "TextToolB", objects},
        {frxToolButton<&F::FormatToolB, -1, tbsCheck>, "FormatToolB", objects},
        {frxToolButton<&F::ObjSep1, -1, tbsSeparator>, "ObjSep1", objects},
        {frxToolButton<&F::ObjectBandB, -1>, "ObjectBandB", objects},
        {frxField<&F::DockRight>, "DockRight", form, {0, 0, 0, 600}, "", {}, alRight},
        {tab, "Tab", form, {}, nullptr, {}, alClient},
        {frxField<&F::LeftDockSite2>, "LeftDockSite2", tab, {0, 0, 0, 500}, "", {}, alLeft},
        {frxField<&F::RightDockSite>, "RightDockSite", tab, {0, 0, 0, 500}, "", {}, alRight},
        {sbPanel, "ScrollBoxPanel", tab, {}, "", {}, alClient},
        {frxField<&F::TopRuler>, "TopRuler", sbPanel, {0, 0, 800, 20}, "", {}, alTop},
        {frxField<&F::LeftRuler>, "LeftRuler", sbPanel, {0, 20, 20, 500}, "", {}, alLeft},
        {frxField<&F::ScrollBox>, "ScrollBox", sbPanel, {}, nullptr, {}, alClient},
        {codePanel, "CodePanel", tab, {}, "", {}, alClient, false},
        {codeTB, "CodeTB", codePanel, {0, 0, 800, 27}, nullptr, {}, alTop},
        {frxField<&F::LangCB>, "LangCB", codeTB, {0, 0, 120, 21}},
        {frxToolButton<&F::OpenScriptB, biOpen>, "OpenScriptB", codeTB},
        {frxToolButton<&F::SaveScriptB, biSave>, "SaveScriptB", codeTB},
        {frxToolButton<&F::RunScriptB, biRun>, "RunScriptB", codeTB},
        {frxToolButton<&F::StepScriptB, biRedo>, "StepScriptB", codeTB},
        {frxToolButton<&F::StopScriptB, biStop>, "StopScriptB", codeTB},
        {frxToolButton<&F::EvaluateB, -1>, "EvaluateB", codeTB},
    };
    frxBuildRows(loader, *this, rows);

    MainMenu = loader.Add<TMainMenu>("MainMenu");
    PagePopup = loader.Add<TPopupMenu>("PagePopup");
    TabPopup = loader.Add<TPopupMenu>("TabPopup");
    BandsPopup = loader.Add<TPopupMenu>("BandsPopup");
    RotationPopup = loader.Add<TPopupMenu>("RotationPopup");
    ObjectsPopup = loader.Add<TPopupMenu>("ObjectsPopup");
    DMPPopup = loader.Add<TPopupMenu>("DMPPopup");
    ActionList = loader.Add<TActionList>("ActionList");
    OpenDialog = loader.Add<TOpenDialog>("OpenDialog");
    SaveDialog = loader.Add<TSaveDialog>("SaveDialog");
    OpenScriptDialog = loader.Add<TOpenDialog>("OpenScriptDialog");
    SaveScriptDialog = loader.Add<TSaveDialog>("SaveScriptDialog");
    Timer = loader.Add<TTimer>("Timer");
    SetupActions();
    BuildMenus();

    for (TPanel* p : {DockTop, StandardTB, TextTB, FrameTB, AlignTB, ExtraToolsTB, LeftDockSite1, LeftDockSite2,
             RightDockSite, DockRight, DockBottom, ScrollBoxPanel, CodePanel})
        p->SetBevelOuter(bvNone);
    for (TPanel* ruler : {TopRuler, LeftRuler}) ruler->SetColor(clBtnFace);
    for (TToolBar* bar : {StandardTB1, TextTB1, FrameTB1, AlignTB1, ExtraToolsTB1, CodeTB}) {
        bar->SetFlat(true);
        bar->SetButtonHeight(23);
    }
    ObjectsTB1->SetButtonWidth(29);
    ObjectsTB1->SetButtonHeight(29);
    ObjectsTB1->SetFlat(true);
    for (TToolButton* b : {ObjectSelectB, HandToolB, ZoomToolB, TextToolB, FormatToolB}) b->SetGrouped(true);
    ObjectSelectB->SetDown(true);
    ObjectBandB->SetDropdownMenu(BandsPopup);
    ScrollBox->SetColor(clGray);
    ScrollBox->SetBorderStyle(bsNone);
    StatusBar->GetPanels()->Add()->SetWidth(75);
    StatusBar->GetPanels()->Add()->SetWidth(230);
    StatusBar->GetPanels()->Add()->SetWidth(50);
    OpenDialog->SetFilter(frxGetResources()->Get("dsRepFilter"));
    SaveDialog->SetOptions({ofOverwritePrompt, ofHideReadOnly, ofEnableSizing});
    Timer->SetInterval(1000);
    Timer->SetEnabled(false);
    Timer->OnTimer = [this](TObject*) { PasteCmd->SetEnabled(Clipboard()->PasteAvailable() || !Page); };
    SetMenu(MainMenu);

    Tab->OnChanging = [this](TObject*, bool& allow) { TabChanging(allow); };
    Tab->OnChange = [this](TObject*) { TabChange(); };
    // A press on the tab row arms a tab move; moving past the drag threshold while armed
    // drags the tab, and the release over another tab moves the current page there. A plain
    // click only selects. The right button opens the tab menu once, on its release.
    Tab->OnMouseDown = [this](TObject*, TMouseButton b, TShiftState, int x, int y) {
        FTabDragArmed = b == mbLeft;
        FTabDragging = false;
        FTabDragStart = {x, y};
    };
    Tab->OnMouseMove = [this](TObject*, TShiftState, int x, int y) {
        constexpr int kDragThreshold = 5;
        if (FTabDragArmed &&
            (std::abs(x - FTabDragStart.X) >= kDragThreshold || std::abs(y - FTabDragStart.Y) >= kDragThreshold))
            FTabDragging = true;
    };
    Tab->OnMouseUp = [this](TObject*, TMouseButton b, TShiftState, int x, int y) {
        if (b == mbRight) {
            const TPoint p = Tab->ClientToScreen({x, y});
            TabPopup->Popup(p.X, p.Y);
            return;
        }
        const bool drop = FTabDragging;
        FTabDragArmed = FTabDragging = false;
        if (!drop) return;
        const int target = Tab->IndexOfTabAt(x, y);
        if (target >= 0 && target != Tab->GetTabIndex()) MoveCurrentTab(target);
    };
    OnKeyDown = [this](TObject*, WORD& key, TShiftState shift) { FormKeyDown(key, shift); };
    OnClose = [this](TObject*, TCloseAction&) { IsClosed = true; };
    loader.Finish();
}

void TfrxDesignerForm::SetupActions() {
    using F = TfrxDesignerForm;
    struct ActionRow {
        TAction* F::*Field;
        const char* Name;
        const char* Caption;
        const char* ShortCut;
        void (*Run)(F& form, TObject* sender);  // nullptr: the command is not built yet
        int Image = -1;
    };
    // A command run from its menu item, button or shortcut has the action as sender; then the
    // options component's load and save events take part.
    static const ActionRow rows[] = {
        {&F::NewItemCmd, "NewItemCmd", "Nový...", "", nullptr},
        {&F::NewReportCmd, "NewReportCmd", "Nový report", "",
            [](F& f, TObject*) {
                if (f.CheckOp(drDontCreateReport)) f.NewReport();
            },
            biNew},
        {&F::NewPageCmd, "NewPageCmd", "Nová stránka", "", nullptr},
        {&F::NewDialogCmd, "NewDialogCmd", "Nový dialog", "", nullptr},
        {&F::OpenCmd, "OpenCmd", "Otevřít...", "Ctrl+O",
            [](F& f, TObject* s) {
                if (f.CheckOp(drDontLoadReport)) f.LoadFile("", s == f.OpenCmd);
            },
            biOpen},
        {&F::SaveCmd, "SaveCmd", "Uložit", "Ctrl+S",
            [](F& f, TObject* s) {
                if (f.CheckOp(drDontSaveReport)) f.SaveFile(false, s == f.SaveCmd);
            },
            biSave},
        {&F::SaveAsCmd, "SaveAsCmd", "Uložit jako...", "",
            [](F& f, TObject* s) {
                if (f.CheckOp(drDontSaveReport)) f.SaveFile(true, s == f.SaveAsCmd);
            }},
        {&F::VariablesCmd, "VariablesCmd", "Proměnné...", "", nullptr},
        {&F::PageSettingsCmd, "PageSettingsCmd", "Nastavení stránky...", "", nullptr},
        {&F::PreviewCmd, "PreviewCmd", "Náhled", "Ctrl+P", nullptr, biPreview},
        {&F::ExitCmd, "ExitCmd", "Konec", "Alt+X", [](F& f, TObject*) { f.Close(); }},
        {&F::UndoCmd, "UndoCmd", "Zpět", "Ctrl+Z", [](F& f, TObject*) { f.Undo(); }, biUndo},
        {&F::RedoCmd, "RedoCmd", "Znovu", "", [](F& f, TObject*) { f.Redo(); }, biRedo},
        {&F::CutCmd, "CutCmd", "Vyjmout", "Ctrl+X", nullptr},
        {&F::CopyCmd, "CopyCmd", "Kopírovat", "Ctrl+C", nullptr},
        {&F::PasteCmd, "PasteCmd", "Vložit", "Ctrl+V", nullptr},
        {&F::DeleteCmd, "DeleteCmd", "Smazat", "", nullptr},
        {&F::DeletePageCmd, "DeletePageCmd", "Smazat stránku", "", nullptr},
        {&F::SelectAllCmd, "SelectAllCmd", "Vybrat vše", "Ctrl+A", nullptr},
        {&F::EditCmd, "EditCmd", "Upravit...", "", nullptr},
        {&F::BringToFrontCmd, "BringToFrontCmd", "Přenést dopředu", "", nullptr},
        {&F::SendToBackCmd, "SendToBackCmd", "Přenést dozadu", "", nullptr},
        {&F::GroupCmd, "GroupCmd", "Seskupit", "", nullptr},
        {&F::UngroupCmd, "UngroupCmd", "Zrušit seskupení", "", nullptr},
    };
    for (const ActionRow& row : rows) {
        auto* action = new TAction(this);
        action->SetName(row.Name);
        action->SetActionList(ActionList);
        action->SetCaption(row.Caption);
        if (*row.ShortCut) action->SetShortCut(TextToShortCut(row.ShortCut));
        action->SetImageIndex(row.Image);
        if (row.Run) action->OnExecute = [this, run = row.Run](TObject* sender) { run(*this, sender); };
        this->*row.Field = action;
    }
    PasteCmd->SetEnabled(false);
    // The tool buttons run their commands and follow their enabled state (UpdateControls).
    for (auto [button, action] : {std::pair{NewB, NewReportCmd}, {OpenB, OpenCmd}, {SaveB, SaveCmd},
             {PreviewB, PreviewCmd}, {UndoB, UndoCmd}, {RedoB, RedoCmd}}) {
        button->SetHint(action->GetCaption());
        button->OnClick = [action = action](TObject*) { action->Execute(); };
    }
}

void TfrxDesignerForm::BuildMenus() {
    auto item = [this](TMenuItem* parent, const std::string& caption, TAction* action = nullptr,
                    const std::string& name = "") {
        auto* mi = new TMenuItem(this);
        if (!name.empty()) mi->SetName(name);
        if (action) mi->SetAction(action);
        else mi->SetCaption(caption);
        parent->Add(mi);
        return mi;
    };
    TMenuItem* root = MainMenu->GetItems();
    FileMenu = item(root, "&Soubor", nullptr, "FileMenu");
    for (TAction* a : {NewItemCmd, NewReportCmd, NewPageCmd, NewDialogCmd}) item(FileMenu, "", a);
    item(FileMenu, "-");
    for (TAction* a : {OpenCmd, SaveCmd, SaveAsCmd}) item(FileMenu, "", a);
    item(FileMenu, "-");
    for (TAction* a : {PreviewCmd, PageSettingsCmd}) item(FileMenu, "", a);
    SepMI11 = item(FileMenu, "-", nullptr, "SepMI11");
    SepMI11->SetVisible(false);
    SepMI4 = item(FileMenu, "-", nullptr, "SepMI4");
    item(FileMenu, "", ExitCmd);

    EditMenu = item(root, "Úp&ravy", nullptr, "EditMenu");
    for (TAction* a : {UndoCmd, RedoCmd}) item(EditMenu, "", a);
    item(EditMenu, "-");
    for (TAction* a :
        {CutCmd, CopyCmd, PasteCmd, DeleteCmd, DeletePageCmd, SelectAllCmd, GroupCmd, UngroupCmd, EditCmd})
        item(EditMenu, "", a);
    item(EditMenu, "-");
    for (TAction* a : {BringToFrontCmd, SendToBackCmd}) item(EditMenu, "", a);

    ReportMenu = item(root, "&Report", nullptr, "ReportMenu");
    ReportDataMI = item(ReportMenu, "Data...", nullptr, "ReportDataMI");
    item(ReportMenu, "", VariablesCmd);
    ReportStylesMI = item(ReportMenu, "Styly...", nullptr, "ReportStylesMI");
    ReportSettingsMI = item(ReportMenu, "Volby...", nullptr, "ReportSettingsMI");

    ViewMenu = item(root, "&Zobrazit", nullptr, "ViewMenu");
    item(ViewMenu, "Volby...", nullptr, "OptionsMI");
    HelpMenu = item(root, "&Nápověda", nullptr, "HelpMenu");
    // There is no help system to open: the item stays without action.
    item(HelpMenu, "Obsah nápovědy...", nullptr, "HelpContentsMI")->SetEnabled(false);

    for (TAction* a : {NewPageCmd, NewDialogCmd, DeletePageCmd, PageSettingsCmd}) item(TabPopup->GetItems(), "", a);
    for (TAction* a : {CutCmd, CopyCmd, PasteCmd, DeleteCmd, SelectAllCmd}) item(PagePopup->GetItems(), "", a);
}
