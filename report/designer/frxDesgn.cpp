// The designer interface, pages and tabs, notifications, keys, closing and destruction.

#include "report/designer/frxDesgn.h"

#include "platform/classes/StringList.h"
#include "platform/gui/ActnList.h"
#include "platform/gui/Application.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/StdCtrls.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"
#include "report/core/frxDialogForm.h"
#include "report/core/frxDialogPage.h"
#include "report/core/frxDMPClass.h"
#include "report/core/frxObjects.h"
#include "report/core/frxReport.h"
#include "report/core/frxReportPage.h"
#include "report/core/frxRes.h"
#include "report/designer/frxDesignerTools.h"
#include "report/output/frxCtrls.h"
#include "report/designer/frxUndoBuffer.h"
#include "script/ScriptTools.h"

TfrxDesignerForm::~TfrxDesignerForm() {
    DetachDialogForm();
    if (IsPreviewDesigner) {
        delete FOwnOptions;
        frxSetActiveDesignerComponent(FSavedOptions);
    }
}

// --- the designer interface --------------------------------------------------------------------

void TfrxDesignerForm::SetModified(bool value) {
    TfrxCustomDesigner::SetModified(value);
    Report->SetScriptText(CodeWindow->Lines());
    FUndoBuffer->AddUndo(Report);
    FUndoBuffer->ClearRedo();
    // Sound: Save is offered only when the restrictions allow saving at all.
    SaveCmd->SetEnabled(Modified && CheckOp(drDontSaveReport));
    SaveB->SetEnabled(SaveCmd->GetEnabled());
    if (ModifiedBy != this) UpdateControls();
    if (ModifiedBy == ObjectInspector && SelectedObjects()->Count() > 0) {
        auto* first = static_cast<TObject*>(SelectedObjects()->Items(0));
        if (first == Page || dynamic_cast<TfrxSubreport*>(first)) ReloadPages(Report->Objects()->IndexOf(Page));
    }
    if (ModifiedBy != Workspace) {
        Workspace->UpdateView();
        Workspace->AdjustBands();
    }
    if (ModifiedBy != ObjectInspector) ObjectInspector->UpdateProperties();
    ReportTreeForm->UpdateItems();
    ModifiedBy = nullptr;
}

void TfrxDesignerForm::SetPage(TfrxPage* value) {
    TfrxCustomDesigner::SetPage(value);
    const int index = value ? Report->Objects()->IndexOf(value) : -1;
    Tab->SetTabIndex(index + 1);
    FLastTab = index + 1;
    DetachDialogForm();
    ScrollBoxPanel->SetVisible(value != nullptr);
    CodePanel->SetVisible(value == nullptr);
    UpdateControls();
    if (!value) {
        if (CodeWindow->CanFocus()) CodeWindow->SetFocus();
        return;
    }
    if (dynamic_cast<TfrxReportPage*>(value)) {
        Workspace->SetParent(ScrollBox);
        Workspace->SetAlign(alNone);
        Workspace->Scale = Scale;
        ApplyPageDimensions();
        if (GetVisible() && ScrollBox->CanFocus()) ScrollBox->SetFocus();
    } else if (auto* dialog = dynamic_cast<TfrxDialogPage*>(value)) {
        DialogForm = dialog->Form();
        Workspace->Scale = 1;
        AttachDialogForm();
    }
    ReloadObjects();
    RestoreScrollPosition(index + 1);
}

TStrings* TfrxDesignerForm::GetCode() { return CodeWindow->Lines(); }

std::string TfrxDesignerForm::InsertExpression(const std::string& expr) { return expr; }

void TfrxDesignerForm::Lock() {
    Objects()->Clear();
    SelectedObjects()->Clear();
    DetachDialogForm();
    Workspace->Lock();
    ObjectInspector->Lock();
}

void TfrxDesignerForm::ReloadPages(int index) {
    DialogForm = nullptr;  // forgotten, not hidden
    TStrings* tabs = Tab->GetTabs();
    tabs->BeginUpdate();
    {
        auto end = OnScopeExit([tabs] { tabs->EndUpdate(); });
        tabs->Clear();
        tabs->Add(frxGetResources()->Get("dsCode"));
        for (int i = 0; i < Report->GetPageCount(); ++i) {
            auto* page = static_cast<TfrxPage*>(Report->GetPageAt(i));
            page->InDesigner = true;
            auto* reportPage = dynamic_cast<TfrxReportPage*>(page);
            std::string caption;
            if (reportPage && reportPage->Subreport) caption = reportPage->Subreport->GetName();
            else if (!page->GetName().empty()) caption = page->GetName();
            else caption = frxGetResources()->Get("dsPage") + IntToStr(i + 1);
            tabs->Add(caption);
        }
    }
    if (index == -1) SetPage(nullptr);
    else if (index >= 0 && index < Report->GetPageCount()) SetPage(static_cast<TfrxPage*>(Report->GetPageAt(index)));
    else if (Report->GetPageCount() > 0) SetPage(static_cast<TfrxPage*>(Report->GetPageAt(0)));
    else SetPage(nullptr);
}

void TfrxDesignerForm::ReloadReport() {
    if (Report->GetPageCount() == 0) {
        Report->Clear();
        auto* page = new TfrxReportPage(Report);
        page->SetName("Page1");
    }
    LangCB->SetItemIndex(LangCB->GetItems()->IndexOf(Report->ScriptLanguage));
    CodeWindow->SetLines(Report->GetScriptText());
    ReloadPages(0);
    UpdateRecentFiles(Report->FileName);
    UpdateCaption();
    FUndoBuffer->ClearUndo();
    SetModified(false);
}

void TfrxDesignerForm::UpdateDataTree() { DataTreeForm->UpdateItems(); }

void TfrxDesignerForm::UpdatePage() { Workspace->Invalidate(); }

// --- state of the commands -----------------------------------------------------------------------

bool TfrxDesignerForm::CheckOp(TfrxDesignerRestriction op) const {
    TfrxDesigner* options = frxActiveDesignerComponent();
    return !options || !options->Restrictions.Contains(op);
}

// The enabled state of the commands that exist so far; the formatting controls follow when
// they are built.
void TfrxDesignerForm::UpdateControls() {
    IsUpdating = true;
    auto done = OnScopeExit([this] { IsUpdating = false; });
    const int n = SelectedObjects()->Count();
    TObject* p = n > 0 ? static_cast<TObject*>(SelectedObjects()->Items(0)) : nullptr;
    const bool objSelected = n > 0 && Page && p != Page;
    const bool onReportPage = dynamic_cast<TfrxReportPage*>(Page) != nullptr;
    UndoCmd->SetEnabled(FUndoBuffer->UndoCount() > 1 || !Page);
    RedoCmd->SetEnabled(FUndoBuffer->RedoCount() > 0 && Page);
    for (TAction* a : {CutCmd, CopyCmd}) a->SetEnabled(!Page || objSelected);
    PasteCmd->SetEnabled(FClipboard->PasteAvailable() || !Page);
    PageSettingsCmd->SetEnabled(onReportPage && CheckOp(drDontChangePageOptions));
    DeletePageCmd->SetEnabled(Report->GetPageCount() > 1 && Page && CheckOp(drDontDeletePage));
    SaveCmd->SetEnabled(Modified && CheckOp(drDontSaveReport));
    for (TAction* a : {DeleteCmd, BringToFrontCmd, SendToBackCmd}) a->SetEnabled(objSelected);
    SelectAllCmd->SetEnabled(Objects()->Count() > 2 && Page);
    EditCmd->SetEnabled(n == 1 && Page);
    for (TAction* a : {GroupCmd, UngroupCmd}) a->SetEnabled(objSelected && p != Report);
    for (TToolButton* b : {HandToolB, ZoomToolB, TextToolB}) b->SetEnabled(onReportPage);
    for (auto [button, action] : {std::pair{NewB, NewReportCmd}, {OpenB, OpenCmd}, {SaveB, SaveCmd},
             {PreviewB, PreviewCmd}, {UndoB, UndoCmd}, {RedoB, RedoCmd}})
        button->SetEnabled(action->GetEnabled());
    std::string status;
    if (n == 1)
        if (auto* c = dynamic_cast<TfrxComponent*>(p)) status = c->GetName();
    StatusBar->GetPanels()->Items(2)->SetText(status);
}

// --- notifications -------------------------------------------------------------------------------

void TfrxDesignerForm::DoModify(TObject* sender) {
    ModifiedBy = sender;
    SetModified(true);
}

void TfrxDesignerForm::DoSelectionChanged(TObject* sender) {
    TList* selected = SelectedObjects();
    if (sender == ReportTreeForm && selected->Count() > 0 && Page) {
        auto* first = dynamic_cast<TfrxComponent*>(static_cast<TObject*>(selected->Items(0)));
        if (first && first != Report && first->GetPage() && first->GetPage() != Page) {
            SetPage(static_cast<TfrxPage*>(first->GetPage()));
            selected->Clear();
            selected->Add(first);
        }
        ReportTreeForm->UpdateSelection();
    } else ReportTreeForm->UpdateSelection();
    if (sender != Workspace) Workspace->UpdateView();
    if (sender != ObjectInspector) {
        ObjectInspector->Objects = Objects();
        ObjectInspector->UpdateProperties();
    }
    UpdateControls();
}

// The component editors come with the property-editor framework; until then no object has
// an editor and nothing changes.
void TfrxDesignerForm::DoEditObject(TObject*) {}

void TfrxDesignerForm::ReloadObjects() {
    TList* objects = Objects();
    objects->Clear();
    if (Page) {
        TList* all = Page->GetAllObjects();
        for (int i = 0; i < all->Count(); ++i) objects->Add(all->Items(i));
        objects->Add(Report);
        objects->Add(Page);
    }
    SelectedObjects()->Clear();
    if (Page) SelectedObjects()->Add(Page);
    Workspace->SetPage(Page);
    Workspace->Unlock();
    Workspace->AdjustBands();
    ObjectInspector->Unlock();
    UpdateDataTree();
    ReportTreeForm->UpdateItems();
    DoSelectionChanged(this);
}

void TfrxDesignerForm::ApplyPageDimensions() {
    Workspace->Scale = Scale;
    Workspace->SetPage(Page);
}

// --- tabs ----------------------------------------------------------------------------------------

void TfrxDesignerForm::TabChanging(bool& allow) {
    if (IsPreviewDesigner) {
        allow = false;
        return;
    }
    if (Tab->GetTabIndex() == 0 && CodeWindow->Modified) {
        SetModified(true);
        CodeWindow->Modified = false;
    }
    StoreScrollPosition(Tab->GetTabIndex());
}

void TfrxDesignerForm::TabChange() {
    const int tab = Tab->GetTabIndex();
    if (tab <= 0) SetPage(nullptr);
    else if (tab - 1 < Report->GetPageCount()) SetPage(static_cast<TfrxPage*>(Report->GetPageAt(tab - 1)));
}

void TfrxDesignerForm::MoveCurrentTab(int target) {
    // The prepared-page designer keeps its tab row as it is.
    if (IsPreviewDesigner || !Page || target <= 0 || target > Report->GetPageCount()) return;
    const int from = Report->Objects()->IndexOf(Page);
    if (from < 0 || from == target - 1) return;
    Report->Objects()->Move(from, target - 1);
    Tab->GetTabs()->Move(from + 1, target);
    Tab->SetTabIndex(target);
    FLastTab = target;
    SetModified(true);
}

// Sound: only tabs 1 to 254 have a place; others are neither stored nor read.
void TfrxDesignerForm::StoreScrollPosition(int tab) {
    if (tab < 1 || tab > 254) return;
    FTabScrollPositions->Put(tab,
        IntToStr(ScrollBox->GetHorzScrollBar()->GetPosition()) + ":" +
            IntToStr(ScrollBox->GetVertScrollBar()->GetPosition()));
}

void TfrxDesignerForm::RestoreScrollPosition(int tab) {
    if (tab < 1 || tab > 254) return;
    // Written horizontal first and read back by the script's position parser, whose first
    // number is the line: Y is the horizontal position.
    const TfsPoint p = fsPosToPoint(FTabScrollPositions->Get(tab));
    ScrollBox->GetVertScrollBar()->SetPosition(p.X);
    ScrollBox->GetHorzScrollBar()->SetPosition(p.Y);
}

// --- dialog pages --------------------------------------------------------------------------------

void TfrxDesignerForm::AttachDialogForm() {
    if (!DialogForm) return;
    Workspace->SetParent(DialogForm);
    Workspace->SetAlign(alClient);
    DialogForm->SetParent(this);
    DialogForm->Show();
}

void TfrxDesignerForm::DetachDialogForm() {
    if (!DialogForm) return;
    Workspace->SetParent(ScrollBox);
    Workspace->SetAlign(alNone);
    DialogForm->SetParent(nullptr);
    DialogForm->Hide();
    DialogForm = nullptr;
}

// --- keys ----------------------------------------------------------------------------------------

// The window's own keys (it sees every key first). The script keys come with the script page.
void TfrxDesignerForm::FormKeyDown(WORD& key, TShiftState shift) {
    if (!Page) return;
    const bool ctrl = shift == TShiftState{ssCtrl}, shiftOnly = shift == TShiftState{ssShift};
    TAction* run = nullptr;
    if (shiftOnly && key == VK_INSERT) run = PasteCmd;
    else if (ctrl && key == VK_INSERT) run = CopyCmd;
    else if (shiftOnly && key == VK_DELETE) run = CutCmd;
    if (run) {
        run->Execute();
        key = 0;
    } else if (ctrl && key == 'E') {
        SetPage(nullptr);
        key = 0;
    }
}

// --- undo ----------------------------------------------------------------------------------------

void TfrxDesignerForm::Undo() {
    if (IsPreviewDesigner || !Page || FUndoBuffer->UndoCount() < 2) return;
    const int index = Report->Objects()->IndexOf(Page);
    Lock();
    // Sound: the pages come back whatever the load does, so a snapshot that fails to load
    // does not leave the designer locked on a half-cleared report.
    auto reload = OnScopeExit([this, index] {
        CodeWindow->SetLines(Report->GetScriptText());
        ReloadPages(index);
    });
    Report->SetScriptText(CodeWindow->Lines());
    FUndoBuffer->AddRedo(Report);
    FUndoBuffer->GetUndo(Report);
}

void TfrxDesignerForm::Redo() {
    if (IsPreviewDesigner || !Page || FUndoBuffer->RedoCount() < 1) return;
    const int index = Report->Objects()->IndexOf(Page);
    Lock();
    auto reload = OnScopeExit([this, index] {
        CodeWindow->SetLines(Report->GetScriptText());
        ReloadPages(index);
    });
    FUndoBuffer->GetRedo(Report);
    FUndoBuffer->AddUndo(Report);
}

// --- closing -------------------------------------------------------------------------------------

bool TfrxDesignerForm::CloseQuery() {
    if (!TfrxCustomDesigner::CloseQuery()) return false;
    if (ScriptRunning) return false;
    Report->SetScriptText(CodeWindow->Lines());
    TfrxDesigner* options = frxActiveDesignerComponent();
    if ((options && !options->CloseQuery) || !Modified || !CheckOp(drDontSaveReport)) return true;
    const int answer = AskSave();
    if (answer == IDCANCEL) return false;
    if (IsPreviewDesigner) {
        if (answer == IDNO) SetModified(false);
        return true;
    }
    if (answer == IDYES) {
        // Sound: a save that did not take place (cancelled dialog, refused by the host, failed
        // write) keeps the window open instead of losing the changes.
        if (!SaveFile(false, true)) return false;
        SetModified(true);
        return true;
    }
    SetModified(false);
    return true;
}
