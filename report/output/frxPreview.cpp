#include "report/output/frxPreview.h"

#include <cmath>

#include "platform/gui/Application.h"
#include "platform/gui/Buttons.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/StdCtrls.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"
#include "report/core/frxBands.h"
#include "report/core/frxDMPClass.h"
#include "report/core/frxPreviewPages.h"
#include "report/core/frxReport.h"
#include "report/core/frxReportPage.h"
#include "report/core/frxRes.h"
#include "report/core/frxView.h"
#include "report/output/frxErrorBox.h"
#include "report/output/frxPageSettings.h"
#include "report/output/frxPreviewForm.h"
#include "report/output/frxPreviewImages.h"
#include "report/output/frxPreviewWorkspace.h"
#include "report/output/frxSearchDialog.h"

KAROMIL_IMPLEMENT_CLASS(TfrxPreview, TfrxCustomPreview)

namespace {
std::string Res(const char* key) { return frxGetResources()->Get(key); }
constexpr double kMinZoom = 0.25;
// Sound: a zoom without an upper bound ("100000 %") overflows the 32-bit page bounds and
// scroll ranges; ten times is far beyond any use.
constexpr double kMaxZoom = 10;
}  // namespace

TfrxPreview::TfrxPreview(TComponent* owner) : TfrxCustomPreview(owner) {
    TickCount = [] { return GetTickCount(); };

    FOutline = new TTreeView(this);
    FOutline->SetParent(this);
    FOutline->SetWidth(120);
    FOutline->SetAlign(alLeft);
    FOutline->SetReadOnly(true);
    FOutline->SetHideSelection(false);
    FOutline->OnClick = [this](TObject* s) { OutlineClick(s); };

    FSplitter = new TSplitter(this);
    FSplitter->SetParent(this);
    FSplitter->SetBounds(1000, 0, 2, 0);
    FSplitter->SetAlign(alLeft);
    FSplitter->SetMinSize(1);

    FWorkspace = new TfrxPreviewWorkspace(this);
    FWorkspace->SetParent(this);
    FWorkspace->SetAlign(alClient);

    FMessagePanel = new TPanel(this);
    FMessagePanel->SetParent(this);
    FMessagePanel->SetVisible(false);
    FMessagePanel->SetBounds(0, 0, 0, 0);
    FMessageLabel = new TLabel(FMessagePanel);
    FMessageLabel->SetParent(FMessagePanel);
    FMessageLabel->SetAutoSize(false);
    FMessageLabel->SetAlignment(taCenter);
    FMessageLabel->SetBounds(4, 20, 255, 20);
    FCancelB = new TButton(FMessagePanel);
    FCancelB->SetParent(FMessagePanel);
    FCancelB->SetBounds(92, 44, 75, 25);
    FCancelB->SetCaption(Res("clCancel"));
    FCancelB->SetVisible(false);
    FCancelB->OnClick = [this](TObject*) {
        if (Running) Cancel();
    };

    frxLoadPreviewCursors();
    SetTool(ptHand);
    SetBounds(GetLeft(), GetTop(), 100, 100);
}

TfrxPreview::~TfrxPreview() {
    if (Report && Report->GetPreview() == this) Report->SetPreview(nullptr);
}

void TfrxPreview::Notification(TComponent* component, TOperation operation) {
    TfrxCustomPreview::Notification(component, operation);
    if (operation == opRemove && Report && component == static_cast<TComponent*>(Report)) {
        Clear();
        Report = nullptr;
        PreviewPages = nullptr;
    }
}

void TfrxPreview::Dispatch(TMessage& m) {
    switch (m.Msg) {
    case WM_ERASEBKGND: m.Result = 1; return;
    case WM_GETDLGCODE: m.Result = DLGC_WANTARROWS; return;
    default: break;
    }
    TfrxCustomPreview::Dispatch(m);
}

int TfrxPreview::PageCount() const { return PreviewPages ? PreviewPages->GetCount() : 0; }

// --- navigation --------------------------------------------------------------------------------

void TfrxPreview::SetPageNo(int value) {
    if (value < 1) value = 1;
    if (value > PageCount()) value = PageCount();
    FPageNo = value;
    FWorkspace->ScrollToPage(FPageNo);
    DoPageChanged();
}

void TfrxPreview::DoPageChanged() {
    if (OnPageChanged) OnPageChanged(this, FPageNo);
}

void TfrxPreview::SetPosition(int pageN, int top) {
    if (pageN > PageCount()) pageN = PageCount();
    if (pageN < 1) pageN = 1;
    // The anchor's top counts from the page's top margin.
    const TfrxReportPage* page = PreviewPages ? PreviewPages->GetPage(pageN - 1) : nullptr;
    const double topMargin = page ? page->TopMargin : 0;
    const int y = top == 0 ? 0 : frxRoundZoom((top + topMargin * 3.77953) * FZoom);
    FWorkspace->SetVertPosition(
        FWorkspace->PageList()->GetPageBounds(pageN - 1, FWorkspace->GetClientWidth(), FZoom).Top + y - 10);
}

void TfrxPreview::MouseWheelScroll(int delta) {
    if (delta == 0) return;
    FWorkspace->SetVertPosition(FWorkspace->GetVertPosition() + 20 * (delta > 0 ? -1 : 1));
}

// --- zoom and layout ---------------------------------------------------------------------------

void TfrxPreview::SetZoom(double value) {
    FZoom = value >= kMinZoom ? value : kMinZoom;
    if (FZoom > kMaxZoom) FZoom = kMaxZoom;
    if (FZoomMode == zmManyPages) SetZoomMode(zmDefault);
    FZoomMode = zmDefault;
    UpdatePages();
}

void TfrxPreview::SetZoomMode(TfrxZoomMode value) {
    FZoomMode = value;
    BuildPageList();
    UpdatePages();
}

void TfrxPreview::UpdatePages() {
    if (Locked || PageCount() == 0) return;
    const TPoint size = PreviewPages->GetPageSize(FPageNo - 1);
    const int w = FWorkspace->GetClientWidth(), h = FWorkspace->GetClientHeight();
    switch (FZoomMode) {
    case zmWholePage:
        if (size.Y > 0) FZoom = double(h - 20) / size.Y;
        break;
    case zmPageWidth:
        if (size.X > 0) FZoom = double(w - 20) / size.X;
        break;
    case zmManyPages:
        if (size.X > 0) FZoom = double(w - 32) / (2.0 * size.X);
        break;
    case zmDefault: break;
    }
    // Sound: a window shrunk to nothing would give a zero or negative zoom and empty pages.
    if (FZoom < 0.01) FZoom = 0.01;
    FWorkspace->UpdateScrollBars();
    FWorkspace->Invalidate();
    if (auto* form = dynamic_cast<TfrxPreviewForm*>(GetOwner())) form->UpdateZoomText();
}

void TfrxPreview::Resize() {
    TfrxCustomPreview::Resize();
    if (PreviewPages) UpdatePages();
}

void TfrxPreview::BuildPageList() {
    FAllowFindNext = false;
    FWorkspace->ForgetSearchPage();
    TfrxPageList* list = FWorkspace->PageList();
    list->Clear();
    if (!PreviewPages) return;
    list->SetColumns(FZoomMode == zmManyPages ? 2 : 1);
    for (int i = 0; i < PreviewPages->GetCount(); ++i) {
        const TPoint size = PreviewPages->GetPageSize(i);
        list->AddPage(size.X, size.Y);
    }
}

void TfrxPreview::SetTool(TfrxPreviewTool value) {
    FTool = value;
    FWorkspace->DefaultCursor = value == ptHand ? crHand : value == ptZoom ? crZoom : TCursor(crDefault);
    FWorkspace->SetCursor(FWorkspace->DefaultCursor);
}

// --- outline -----------------------------------------------------------------------------------

bool TfrxPreview::GetOutlineVisible() const { return FOutline->GetVisible(); }

void TfrxPreview::SetOutlineVisible(bool value) {
    FOutline->SetVisible(value);
    FSplitter->SetVisible(value);
    FSplitter->SetLeft(1000);
    FSplitter->SetWidth(2);
}

void TfrxPreview::UpdateOutline() {
    TTreeNodes* items = FOutline->GetItems();
    items->BeginUpdate();
    auto end = OnScopeExit([&] { items->EndUpdate(); });
    items->Clear();
    if (PreviewPages && PreviewPages->Outline) {
        PreviewPages->Outline->LevelRoot();
        AddOutlineLevel(nullptr);
    }
    FOutline->FullExpand();
    if (TTreeNode* first = items->GetFirstNode()) FOutline->SetTopItem(first);
}

void TfrxPreview::AddOutlineLevel(TTreeNode* node) {
    TfrxCustomOutline* outline = PreviewPages->Outline.get();
    const int n = outline->GetCount();
    for (int i = 0; i < n; ++i) {
        std::string text;
        int page = 0, top = 0;
        outline->GetItem(i, text, page, top);
        TTreeNode* child = FOutline->GetItems()->AddChild(node, text);
        // The 1-based page in the low 20 bits, half the top above them.
        child->SetData(int32_t((page + 1) + (top / 2) * (1 << 20)));
        outline->LevelDown(i);
        AddOutlineLevel(child);
        outline->LevelUp();
    }
}

void TfrxPreview::OutlineClick(TObject*) {
    TTreeNode* node = FOutline->GetSelected();
    if (!node) return;
    const int32_t data = node->GetData();
    SetPosition(data % (1 << 20), (data / (1 << 20)) * 2);
    if (CanFocus()) SetFocus();
}

// --- messages ----------------------------------------------------------------------------------

void TfrxPreview::ShowMessage(const std::string& text) {
    FMessagePanel->SetBounds((GetWidth() - 260) / 2, (GetHeight() - 75) / 3, 260, 75);
    FMessageLabel->SetCaption(text);
    FMessagePanel->SetVisible(true);
    FMessagePanel->BringToFront();
    FMessagePanel->Repaint();
}

void TfrxPreview::HideMessage() {
    FMessagePanel->SetVisible(false);
    FCancelB->SetVisible(false);
}

void TfrxPreview::Cancel() {
    if (Report) Report->SetTerminated(true);
}

// --- the plug-in operations ----------------------------------------------------------------------

void TfrxPreview::Init() {
    TfrxSearchState& s = frxSearchState();
    s.Found = false;
    s.LastRecord = -1;
    FWorkspace->SearchPage = 0;
    FAllowFindNext = false;
    BuildPageList();
    UpdatePages();
    UpdateOutline();
    First();
}

void TfrxPreview::Unlock() {
    HideMessage();
    Locked = false;
    // Sound: the page number stays that of the page on screen (clamped to the pages now
    // there); resetting it to 1 made a following current-page print or export, and Next,
    // work on the wrong page.
    if (FPageNo > PageCount()) FPageNo = PageCount();
    if (FPageNo < 1 && PageCount() > 0) FPageNo = 1;
    UpdatePages();
    FWorkspace->Invalidate();
}

void TfrxPreview::UpdateFormControls() {
    if (auto* form = dynamic_cast<TfrxPreviewForm*>(GetOwner())) form->UpdateControls();
}

void TfrxPreview::InternalOnProgressStart(TfrxReport*, TfrxProgressType, int) {
    Clear();
    Running = true;
    UpdateFormControls();
}

void TfrxPreview::InternalOnProgress(TfrxReport*, TfrxProgressType, int progress) {
    if (Report && PreviewPages && Report->Engine() && Report->Engine()->FinalPass) {
        const TPoint size = PreviewPages->GetPageSize(progress);
        FWorkspace->PageList()->AddPage(size.X, size.Y);
    }
    if (progress == 0) {
        FOutline->GetItems()->Clear();
        SetPageNo(1);
        UpdatePages();
        if (auto* form = dynamic_cast<TfrxPreviewForm*>(GetOwner())) form->CancelB->SetCaption(Res("clCancel"));
        FFirstTick = TickCount();
    } else if (progress == 1) {
        const uint32_t elapsed = TickCount() - FFirstTick;
        FRefresh = elapsed < 5 ? 50 : elapsed < 10 ? 20 : 5;
        SetPageNo(1);
        UpdatePages();
    } else if (progress % FRefresh == 0) {
        DoPageChanged();
        FWorkspace->UpdateScrollBars();
    }
    Application->ProcessMessages();
}

void TfrxPreview::InternalOnProgressStop(TfrxReport*, TfrxProgressType, int) {
    Running = false;
    DoPageChanged();
    FWorkspace->UpdateScrollBars();
    UpdatePages();
    UpdateOutline();
    if (auto* form = dynamic_cast<TfrxPreviewForm*>(GetOwner())) {
        form->CancelB->SetCaption(Res("clClose"));
        form->StatusBar->GetPanels()->Items(1)->SetText("");
        form->UpdateControls();
        if (CloseAfterRun) {
            CloseAfterRun = false;
            form->Close();
        }
    }
}

// --- keyboard ----------------------------------------------------------------------------------

void TfrxPreview::KeyDown(WORD& key, TShiftState shift) {
    TfrxCustomPreview::KeyDown(key, shift);
    FWorkspace->ProcessKey(key, shift);
    if (!Report) return;
    const TfrxPreviewButtons buttons = Report->GetPreviewOptions()->Buttons;
    if (key == VK_F3 && buttons.Contains(pbFind)) {
        FindNext();
    } else if (shift.Contains(ssCtrl)) {
        if (key == 'P' && buttons.Contains(pbPrint)) Print();
        else if (key == 'S' && buttons.Contains(pbSave)) SaveToFile();
        else if (key == 'F' && buttons.Contains(pbFind)) Find();
    }
}

// --- commands ----------------------------------------------------------------------------------

void TfrxPreview::Print() {
    if (Running || !PreviewPages) return;
    auto unlock = OnScopeExit([this] { Unlock(); });
    PreviewPages->CurPreviewPage = FPageNo;
    PreviewPages->Print();
}

void TfrxPreview::Export(TfrxCustomExportFilter* filter) {
    if (Running || !PreviewPages) return;
    auto unlock = OnScopeExit([this] { Unlock(); });
    PreviewPages->CurPreviewPage = FPageNo;
    PreviewPages->Export(filter);
}

void TfrxPreview::SaveToFile() {
    if (Running || !PreviewPages) return;
    TSaveDialog dialog(Application);
    dialog.SetFilter(Res("clFP3files") + " (*.fp3)|*.fp3");
    if (!dialog.Execute()) return;
    FWorkspace->Repaint();
    SaveToFile(ChangeFileExt(dialog.GetFileName(), ".fp3"));
}

void TfrxPreview::SaveToFile(const std::string& fileName) {
    if (Running || !PreviewPages) return;
    Lock();
    auto unlock = OnScopeExit([this] { Unlock(); });
    ShowMessage(Res("clSaving"));
    PreviewPages->SaveToFile(fileName);
}

void TfrxPreview::LoadFromFile() {
    if (Running || !PreviewPages) return;
    TOpenDialog dialog(nullptr);
    dialog.SetOptions(TOpenOptions{ofHideReadOnly});
    dialog.SetFilter(Res("clFP3files") + " (*.fp3)|*.fp3");
    if (!dialog.Execute()) return;
    FWorkspace->Repaint();
    LoadFromFile(dialog.GetFileName());
}

void TfrxPreview::LoadFromFile(const std::string& fileName) {
    if (Running || !PreviewPages) return;
    bool loaded = false;
    {
        Lock();
        auto rebuild = OnScopeExit([this] {
            UpdateOutline();
            BuildPageList();
            Unlock();
            SetPageNo(1);
        });
        ShowMessage(Res("clLoading"));
        loaded = PreviewPages->LoadFromFile(fileName, false);
        if (Report) SetOutlineVisible(Report->GetPreviewOptions()->OutlineVisible);
    }
    // Sound: a file that is not there is said, instead of silently keeping the old pages.
    if (!loaded) frxErrorMsg(Format("Soubor %s nebyl nalezen.", {Variant(fileName)}));
}

void TfrxPreview::PageSetupDlg() {
    if (Running || !PreviewPages || PageCount() == 0) return;
    TfrxReportPage* page = PreviewPages->GetPage(FPageNo - 1);
    if (!page) return;
    std::unique_ptr<TfrxPageSettingsForm> dialog(new TfrxPageSettingsForm(Application));
    dialog->Page = page;
    if (dialog->ShowModal() != mrOk) return;
    if (dialog->ApplyToAll() && Report) {
        ApplyToAllPages(page);
        Report->PrepareReport(true);
        return;
    }
    Lock();
    auto unlock = OnScopeExit([this] { Unlock(); });
    PreviewPages->ModifyPage(FPageNo - 1, page);
    BuildPageList();
}

void TfrxPreview::ApplyToAllPages(TfrxReportPage* page) {
    for (int i = 0; i < Report->GetPageCount(); ++i) {
        auto* target = dynamic_cast<TfrxReportPage*>(Report->GetPageAt(i));
        if (!target) continue;
        target->SetOrientation(page->GetOrientation());
        target->SetPaperWidth(page->GetPaperWidth());
        target->SetPaperHeight(page->GetPaperHeight());
        target->SetPaperSize(page->GetPaperSize());
        target->LeftMargin = page->LeftMargin;
        target->RightMargin = page->RightMargin;
        target->TopMargin = page->TopMargin;
        target->BottomMargin = page->BottomMargin;
    }
}

bool TfrxPreview::DesignerAvailable() const {
    if (frxDesignerClass()) return true;
    // No designer is linked into this program: say so instead of a button that silently does
    // nothing.
    frxErrorMsg("Návrhář tiskových formulářů není v této verzi programu k dispozici. Stránka zůstává beze změny.");
    return false;
}

void TfrxPreview::Edit() {
    if (Running || !PreviewPages || PageCount() == 0 || !DesignerAvailable()) return;
    TfrxReportPage* page = PreviewPages->GetPage(FPageNo - 1);
    if (!page) return;
    std::unique_ptr<TfrxReportPage> copy(
        dynamic_cast<TfrxDMPPage*>(page) ? new TfrxDMPPage(nullptr) : new TfrxReportPage(nullptr));
    copy->AssignAll(page);
    // The designer edits the page as loose objects: no data links, everything placed on the
    // page itself at its absolute position, no bands.
    std::vector<TfrxComponent*> all;
    TList* list = copy->GetAllObjects();
    for (int i = 0; i < list->Count(); ++i) all.push_back(static_cast<TfrxComponent*>(list->Items(i)));
    for (TfrxComponent* obj : all) {
        if (auto* view = dynamic_cast<TfrxView*>(obj)) {
            view->DataField.clear();
            view->SetDataSet(nullptr);
        }
        if (obj->GetParent() != copy.get()) {
            const double left = obj->GetAbsLeft(), top = obj->GetAbsTop();
            obj->SetLeft(left);
            obj->SetTop(top);
            obj->SetParentFont(false);
            obj->SetParent(copy.get());
        }
    }
    for (TfrxComponent* obj : all)
        if (dynamic_cast<TfrxBand*>(obj)) delete obj;
    auto temp = std::make_unique<TfrxReport>(nullptr);
    copy->SetParent(temp.get());
    copy.release();  // the temporary report frees it
    if (!temp->DesignPreviewPage()) return;
    Lock();
    auto unlock = OnScopeExit([this] { Unlock(); });
    if (auto* edited = dynamic_cast<TfrxReportPage*>(temp->GetPageAt(0))) PreviewPages->ModifyPage(FPageNo - 1, edited);
    BuildPageList();
}

void TfrxPreview::EditTemplate() {
    auto* pages = dynamic_cast<TfrxPreviewPages*>(PreviewPages);
    if (Running || !pages || !DesignerAvailable()) return;
    // The source pages are lent, not given: the temporary report lists them as its pages
    // while the designer runs and forgets them before it is freed.
    auto temp = std::make_unique<TfrxReport>(nullptr);
    TList* children = temp->Objects();
    auto giveBack = OnScopeExit([children] { children->Clear(); });
    for (int i = 0; i < pages->SourcePageCount(); ++i) children->Add(pages->SourcePage(i));
    temp->DesignReport();
}

void TfrxPreview::Find() {
    TfrxSearchDialog dialog(Application);
    auto allow = OnScopeExit([this] { FAllowFindNext = true; });
    if (dialog.ShowModal() != mrOk) return;
    TfrxSearchState& s = frxSearchState();
    s.Text = dialog.TextE->GetText();
    s.CaseSensitive = dialog.CaseCB->GetChecked();
    FWorkspace->SearchPage = dialog.TopCB->GetChecked() ? 0 : FPageNo - 1;
    s.LastRecord = -1;
    FWorkspace->FindText();
}

void TfrxPreview::FindNext() {
    if (FAllowFindNext) FWorkspace->FindText();
}

void TfrxPreview::Clear() {
    if (Running || !PreviewPages) return;
    {
        Lock();
        auto unlock = OnScopeExit([this] { Unlock(); });
        PreviewPages->Clear();
        BuildPageList();
    }
    UpdateOutline();
    SetPageNo(0);
    FWorkspace->SetHorzRange(0);
    FWorkspace->SetVertRange(0);
}

void TfrxPreview::AddPage() {
    if (Running || !PreviewPages) return;
    PreviewPages->AddEmptyPage(FPageNo - 1);
    BuildPageList();
    UpdatePages();
    SetPageNo(FPageNo);
}

void TfrxPreview::DeletePage() {
    if (Running || !PreviewPages) return;
    PreviewPages->DeletePage(FPageNo - 1);
    if (FPageNo >= PageCount()) SetPageNo(FPageNo - 1);
    BuildPageList();
    DoPageChanged();
    UpdatePages();
}
