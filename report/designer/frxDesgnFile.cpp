// The report file commands: a new standard report, opening, saving, the recent-files list and
// the caption that names the file.

#include <algorithm>

#include "platform/classes/StringList.h"
#include "platform/gui/ActnList.h"
#include "platform/gui/Application.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/Menus.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"
#include "report/core/frxBands.h"
#include "report/core/frxMemoView.h"
#include "report/core/frxReport.h"
#include "report/core/frxReportPage.h"
#include "report/core/frxRes.h"
#include "report/designer/frxDesgn.h"
#include "report/designer/frxDesignerTools.h"
#include "report/output/frxErrorBox.h"

namespace {
std::string Res(const char* key) { return frxGetResources()->Get(key); }
constexpr int kMaxRecentFiles = 8;
}  // namespace

int TfrxDesignerForm::AskSave() {
    const std::string text = IsPreviewDesigner ? Res("dsSavePreviewChanges")
                                               : Res("dsSaveChangesTo") + GetReportName() + "?";
    return Application->MessageBox(text, Res("mbConfirm"), MB_YESNOCANCEL | MB_ICONQUESTION);
}

std::string TfrxDesignerForm::GetReportName() const {
    return Report->FileName.empty() ? std::string("Untitled.fr3") : ExtractFileName(Report->FileName);
}

void TfrxDesignerForm::UpdateCaption() { SetCaption("VuzoVaruza - " + GetReportName()); }

bool TfrxDesignerForm::SaveBeforeReplacing(bool useEvent) {
    if (!Modified) return true;
    const int answer = AskSave();
    if (answer == IDCANCEL) return false;
    // Sound: when the wanted save does not happen, the report is not replaced.
    if (answer == IDYES) return SaveFile(false, useEvent);
    return true;
}

void TfrxDesignerForm::NewReport() {
    if (!SaveBeforeReplacing(false)) return;
    static constexpr double kBandHeight[] = {22.67718, 28.8, 20, 17};  // by Units
    const double h = kBandHeight[std::clamp(Units, 0, 3)];
    const double g = Workspace->BandHeader;
    ObjectSelectB->SetDown(true);
    Lock();
    Report->Clear();
    Report->FileName.clear();
    CodeWindow->SetLines(Report->GetScriptText());
    auto* page = new TfrxReportPage(Report);
    page->SetName("Page1");
    page->SetDefaults();
    auto* title = new TfrxReportTitle(page);
    title->SetName("ReportTitle1");
    title->SetTop(g);
    title->SetHeight(h);
    auto* data = new TfrxMasterData(page);
    data->SetName("MasterData1");
    data->SetHeight(h);
    data->SetTop(2 * g + 2 * h);
    auto* footer = new TfrxPageFooter(page);
    footer->SetName("PageFooter1");
    footer->SetHeight(h);
    footer->SetTop(3 * g + 4 * h);
    auto* memo = new TfrxMemoView(footer);
    memo->SetName("Memo1");
    memo->SetBounds(
        (page->GetPaperWidth() - page->LeftMargin - page->RightMargin - 20) * 3.77953, 0, 75.5906, 18.89765);
    memo->HAlign = haRight;
    memo->SetText("[Page#]");
    ReloadPages(0);
    UpdateCaption();
    SetModified(false);
}

void TfrxDesignerForm::LoadFile(const std::string& fileName, bool useEvent) {
    TRollback<bool> silent(Report->GetEngineOptions()->SilentMode, false);
    TfrxDesigner* options = frxActiveDesignerComponent();
    std::string name = fileName;
    if (name.empty()) {
        if (useEvent && options && options->OnLoadReport) {
            Lock();
            if (options->OnLoadReport(Report)) ReloadReport();
            else ReloadPages(0);
            return;
        }
        if (options) OpenDialog->SetInitialDir(options->OpenDir);
        OpenDialog->SetFilter(Res("dsRepFilter"));
        if (!OpenDialog->Execute()) return;
        name = OpenDialog->GetFileName();
    }
    if (!SaveBeforeReplacing(useEvent)) return;
    Lock();
    // Sound: a file that cannot be read is said, whichever way it was opened; the designer
    // then shows an empty report.
    bool loaded = false;
    try {
        loaded = Report->LoadFromFile(name, false);
    } catch (const Exception&) {
        // The reason goes no further than the box below: the user learns the file is unreadable.
        Report->Clear();
    }
    if (!loaded) {
        frxErrorMsg(Res("dsCantLoad") + " " + name);
        if (Report->GetPageCount() == 0) {
            auto* page = new TfrxReportPage(Report);
            page->SetName("Page1");
        }
    }
    ReloadReport();
}

bool TfrxDesignerForm::SaveFile(bool saveAs, bool useEvent) {
    Report->SetScriptText(CodeWindow->Lines());
    Report->GetReportOptions()->LastChange = Now();
    TfrxDesigner* options = frxActiveDesignerComponent();
    if (useEvent && options && options->OnSaveReport) {
        if (!options->OnSaveReport(Report, saveAs)) return false;
        UpdateRecentFiles(Report->FileName);
        UpdateCaption();
        SetModified(false);
        return true;
    }
    std::string target;
    bool compressed = Report->GetReportOptions()->Compressed;
    if (saveAs || Report->FileName.empty()) {
        // Sound: the filter has both entries, so the second one (compressed) means something
        // and saving under a new name keeps a compressed report compressed.
        SaveDialog->SetFilter(Res("dsRepFilter") + "|" + Res("dsComprRepFilter"));
        SaveDialog->SetFilterIndex(compressed ? 2 : 1);
        if (options) SaveDialog->SetInitialDir(options->SaveDir);
        if (SaveDialog->Execute()) {
            const std::string chosen = SaveDialog->GetFileName();
            target = ChangeFileExt(chosen, ".fr3");
            compressed = SaveDialog->GetFilterIndex() == 2;
            // Sound: the dialog asked about the name typed, not the one written; another file
            // is not overwritten without asking.
            if (target != chosen && FileExists(target) &&
                Application->MessageBox(Format(Res("dsOverwrite"), {Variant(target)}), Res("mbConfirm"),
                    MB_YESNO | MB_ICONQUESTION) != IDYES)
                target.clear();
        }
    } else target = Report->FileName;

    bool saved = false;
    if (!target.empty()) {
        TfrxReportOptions* ro = Report->GetReportOptions();
        const bool wasCompressed = ro->Compressed;
        ro->Compressed = compressed;
        // Sound: the report's file name changes only once the file is written; a failed write
        // keeps the old file (written aside, then renamed), keeps Modified and says so.
        try {
            Report->SaveToFile(target);
            Report->FileName = target;
            saved = true;
        } catch (const Exception& e) {
            ro->Compressed = wasCompressed;
            frxErrorMsg(Format(Res("dsCantSave"), {Variant(target), Variant(e.Message())}));
        }
    }
    UpdateRecentFiles(Report->FileName);
    UpdateCaption();
    if (saved) SetModified(false);
    return saved;
}

void TfrxDesignerForm::UpdateRecentFiles(const std::string& fileName) {
    TStringList* list = FRecentFiles.get();
    if (!fileName.empty()) {
        if (const int i = list->IndexOf(fileName); i >= 0) list->Delete(i);
        list->Add(fileName);
        while (list->Count() > kMaxRecentFiles) list->Delete(0);
    }
    RebuildRecentMenu();
}

// Sound: every item made before is freed, the one of a file that dropped off the list too.
void TfrxDesignerForm::RebuildRecentMenu() {
    SepMI11->SetVisible(FRecentFiles->Count() > 0);
    for (TMenuItem* item : FRecentItems) delete item;
    FRecentItems.clear();
    for (int i = FRecentFiles->Count() - 1; i >= 0; --i) {
        auto* item = new TMenuItem(this);
        item->SetCaption(FRecentFiles->Get(i));
        item->OnClick = [this](TObject* s) { RecentFileClick(s); };
        FileMenu->Insert(FileMenu->IndexOf(SepMI4), item);
        FRecentItems.push_back(item);
    }
}

void TfrxDesignerForm::RecentFileClick(TObject* sender) {
    if (!CheckOp(drDontLoadReport)) return;
    // The caption is copied: loading rebuilds the menu and frees the item.
    const std::string name = static_cast<TMenuItem*>(sender)->GetCaption();
    LoadFile(name, true);
}
