#include "report/output/frxPreviewForm.h"

#include <memory>

#include "platform/gui/Application.h"
#include "platform/gui/Bitmaps.h"
#include "platform/gui/Buttons.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/ImageList.h"
#include "platform/gui/Menus.h"
#include "platform/gui/StdCtrls.h"
#include "platform/rtl/SysUtils.h"
#include "report/core/frxImageStrip.h"
#include "report/core/frxPrinter.h"
#include "report/core/frxRegistries.h"
#include "report/core/frxReport.h"
#include "report/core/frxRes.h"
#include "report/core/frxText.h"
#include "report/output/frxCtrls.h"
#include "report/output/frxErrorBox.h"
#include "report/output/frxFormBuilder.h"
#include "report/output/frxPreview.h"
#include "report/output/frxPreviewImages.h"
#include "report/output/frxPreviewWorkspace.h"
#include "report/output/frxTBPanel.h"

KAROMIL_IMPLEMENT_CLASS(TfrxPreviewForm, TForm)

namespace {
std::string Res(const char* key) { return frxGetResources()->Get(key); }
constexpr UINT WM_UPDATEZOOM = WM_USER + 1;
}  // namespace

TfrxPreviewForm::TfrxPreviewForm(TComponent* owner) : TForm(owner) {
    TFormLoader loader(this);
    SetName("frxPreviewForm");
    SetCaption("Preview");
    SetClientWidth(741);
    SetClientHeight(584);
    GetFont()->SetName("Tahoma");
    GetFont()->SetHeight(-11);
    SetKeyPreview(true);
    TForm::SetPosition(poScreenCenter);
    SetShowHint(true);

    using F = TfrxPreviewForm;
    constexpr TfrxField<F> form;
    constexpr auto bar = frxField<&F::ToolBar>;
    constexpr auto selectTool = [](F& f) {
        if (f.HandToolB->GetDown()) f.FPreview->SetTool(ptHand);
        else if (f.ZoomToolB->GetDown()) f.FPreview->SetTool(ptZoom);
    };
    const TfrxControlRow<F> rows[] = {
        {frxField<&F::MainImages>, "MainImages"},
        {frxField<&F::ExportPopup>, "ExportPopup"},
        {frxField<&F::HiddenMenu>, "HiddenMenu"},
        {frxField<&F::Showtemplate1>, "Showtemplate1"},
        {bar, "ToolBar", form, {}, nullptr, {}, alTop},

        // The tool bar from left to right: buttons with their pictures, and holders (the
        // separators Sep3, Sep4, frTBPanel1) that keep room for a box.
        {frxToolButton<&F::PrintB, 2>, "PrintB", bar, {}, nullptr, [](F& f) { f.PrintBClick(); }},
        {frxToolButton<&F::OpenB, 0>, "OpenB", bar, {}, nullptr, [](F& f) { f.FPreview->LoadFromFile(); }},
        {frxToolButton<&F::SaveB, 1>, "SaveB", bar, {}, nullptr, [](F& f) { f.FPreview->SaveToFile(); }},
        {frxToolButton<&F::ExportB, 3, tbsDropDown>, "ExportB", bar},
        {frxToolButton<&F::FindB, 4>, "FindB", bar, {}, nullptr, [](F& f) { f.FPreview->Find(); }},
        {frxToolButton<&F::Sep1, -1, tbsSeparator>, "Sep1", bar},
        {frxToolButton<&F::ZoomWholePageB, 12>, "ZoomWholePageB", bar, {}, nullptr,
            [](F& f) {
                f.FPreview->SetZoomMode(zmWholePage);
                f.UpdateZoomText();
            }},
        {frxToolButton<&F::ZoomPageWidthB, 13>, "ZoomPageWidthB", bar, {}, nullptr,
            [](F& f) {
                f.FPreview->SetZoomMode(zmPageWidth);
                f.UpdateZoomText();
            }},
        {frxToolButton<&F::Zoom100B, 14>, "Zoom100B", bar, {}, nullptr,
            [](F& f) {
                f.FPreview->SetZoom(1);
                f.UpdateZoomText();
            }},
        {frxToolButton<&F::Zoom50B, 15>, "Zoom50B", bar, {}, nullptr,
            [](F& f) {
                f.FPreview->SetZoomMode(zmManyPages);
                f.UpdateZoomText();
            }},
        {frxField<&F::Sep3>, "Sep3", bar, {0, 0, 56, 22}, nullptr, {}, alNone},
        {frxField<&F::ZoomCB>, "ZoomCB", frxField<&F::Sep3>, {2, 0, 49, 21}, "100%", [](F& f) { f.ZoomCBClick(); }},
        {frxToolButton<&F::Sep2, -1, tbsSeparator>, "Sep2", bar},
        {frxToolButton<&F::PageSettingsB, 7>, "PageSettingsB", bar, {}, nullptr,
            [](F& f) { f.FPreview->PageSetupDlg(); }},
        {frxToolButton<&F::OutlineB, 5, tbsCheck>, "OutlineB", bar, {}, nullptr,
            [](F& f) {
                f.FPreview->SetOutlineVisible(f.OutlineB->GetDown());
                f.FPreview->UpdatePages();
            }},
        {frxToolButton<&F::Sep5, -1, tbsSeparator>, "Sep5", bar},
        {frxToolButton<&F::HandToolB, 16, tbsCheck>, "HandToolB", bar, {}, nullptr, selectTool},
        {frxToolButton<&F::ZoomToolB, 17, tbsCheck>, "ZoomToolB", bar, {}, nullptr, selectTool},
        {frxToolButton<&F::Sep7, -1, tbsSeparator>, "Sep7", bar},
        {frxToolButton<&F::NewPageB, 19>, "NewPageB", bar, {}, nullptr, [](F& f) { f.FPreview->AddPage(); }},
        {frxToolButton<&F::DelPageB, 20>, "DelPageB", bar, {}, nullptr, [](F& f) { f.FPreview->DeletePage(); }},
        {frxToolButton<&F::DesignerB, 21>, "DesignerB", bar, {}, nullptr, [](F& f) { f.FPreview->Edit(); }},
        {frxToolButton<&F::Sep6, -1, tbsSeparator>, "Sep6", bar},
        {frxToolButton<&F::FirstB, 8>, "FirstB", bar, {}, nullptr, [](F& f) { f.FPreview->First(); }},
        {frxToolButton<&F::PriorB, 9>, "PriorB", bar, {}, nullptr, [](F& f) { f.FPreview->Prior(); }},
        {frxField<&F::Sep4>, "Sep4", bar, {0, 0, 47, 22}, nullptr, {}, alNone},
        {frxField<&F::PageE>, "PageE", frxField<&F::Sep4>, {5, 4, 37, 14}, "1"},
        {frxToolButton<&F::NextB, 10>, "NextB", bar, {}, nullptr, [](F& f) { f.FPreview->Next(); }},
        {frxToolButton<&F::LastB, 11>, "LastB", bar, {}, nullptr, [](F& f) { f.FPreview->Last(); }},
        {frxField<&F::frTBPanel1>, "frTBPanel1", bar, {0, 0, 50, 22}, nullptr, {}, alNone},
        {frxField<&F::CancelB>, "CancelB", bar, {0, 0, 68, 23}, "Close", [](F& f) { f.CancelBClick(); }},

        {frxField<&F::StatusBar>, "StatusBar", form},
    };
    frxBuildRows(loader, *this, rows);

    MainImages->SetWidth(16);
    MainImages->SetHeight(16);
    Showtemplate1->SetCaption("Show template");
    HiddenMenu->GetItems()->Add(Showtemplate1);
    Showtemplate1->OnClick = [this](TObject*) { FPreview->EditTemplate(); };
    ToolBar->SetAutoSize(true);
    ToolBar->SetButtonHeight(23);
    ToolBar->SetFlat(true);
    ToolBar->SetImages(MainImages);
    ToolBar->SetWrapable(false);
    ExportB->SetDropdownMenu(ExportPopup);
    Sep1->SetWidth(8);
    ZoomCB->SetListWidth(100);
    for (TToolButton* b : {HandToolB, ZoomToolB}) b->SetGrouped(true);
    HandToolB->SetDown(true);
    DesignerB->OnMouseUp = [this](TObject*, TMouseButton b, TShiftState, int, int) {
        if (b != mbRight) return;
        const TPoint p = DesignerB->ClientToScreen({0, 0});
        HiddenMenu->Popup(p.X, p.Y);
    };
    PageE->SetBorderStyle(bsNone);
    CancelB->SetSpacing(2);
    CancelB->SetFlat(true);
    StatusBar->GetPanels()->Add()->SetWidth(150);
    StatusBar->GetPanels()->Add()->SetWidth(50);

    OnKeyDown = [this](TObject*, WORD& key, TShiftState) {
        if (key == VK_ESCAPE) CancelBClick();
    };
    OnKeyPress = [this](TObject*, char32_t& key) {
        if (key != 13) return;
        if (GetActiveControl() == ZoomCB) ZoomCBClick();
        else if (GetActiveControl() == PageE) PageEClick();
    };
    OnMouseWheel = [this](TObject*, TShiftState, int delta, TPoint, bool& handled) {
        FPreview->MouseWheelScroll(delta);
        handled = true;
    };
    OnCloseQuery = [this](TObject*, bool& canClose) {
        canClose = !FPreview->Running;
        // Sound: closing while pages are still being built stops the build instead of being
        // ignored; the window closes once the run has ended.
        if (!canClose) {
            FPreview->CloseAfterRun = true;
            FPreview->Cancel();
        }
    };
    OnClose = [this](TObject*, TCloseAction& action) {
        if (FreeOnClose) action = caFree;
    };
    loader.Finish();

    // FormCreate.
    frxGetResources()->LocalizeForm(this);
    for (const char* item : {"25%", "50%", "75%", "100%", "150%", "200%"}) ZoomCB->GetItems()->Add(item);
    ZoomCB->GetItems()->Add(Res("zmPageWidth"));
    ZoomCB->GetItems()->Add(Res("zmWholePage"));
    {
        std::unique_ptr<TBitmap> strip(frxMakePreviewStrip());
        frxSplitImageStrip(strip.get(), 16, 16, MainImages, nullptr);
    }
    FPreview = new TfrxPreview(this);
    FPreview->SetParent(this);
    FPreview->SetAlign(alClient);
    FPreview->OnPageChanged = [this](TfrxPreview* s, int n) { PreviewPageChanged(s, n); };
    // A hidden window cannot take the focus yet: the preview becomes active once it shows.
    OnShow = [this](TObject*) {
        if (FPreview->CanFocus()) SetActiveControl(FPreview);
    };
}

TfrxPreviewForm::~TfrxPreviewForm() = default;

void TfrxPreviewForm::Init() {
    TfrxReport* report = FPreview->Report;
    if (!report) return;
    const TfrxPreviewOptions* o = report->GetPreviewOptions();
    if (o->Maximized) SetWindowState(wsMaximized);
    // There is no multi-document frame on this platform: MDIChild leaves the window normal.
    FPreview->SetOutlineVisible(o->OutlineVisible);
    FPreview->OutlineTree()->SetWidth(o->OutlineWidth);
    FPreview->SetZoom(o->Zoom);
    FPreview->SetZoomMode(o->ZoomMode);
    for (TToolButton* b : {NewPageB, DelPageB, DesignerB}) b->SetEnabled(o->AllowEdit);

    const TfrxPreviewButtons bs = o->Buttons;
    auto show = [&](TControl* c, TfrxPreviewButton bit) {
        if (c) c->SetVisible(bs.Contains(bit));
    };
    show(PrintB, pbPrint);
    show(OpenB, pbLoad);
    show(SaveB, pbSave);
    show(ExportB, pbExport);
    show(FindB, pbFind);
    for (TControl* c : {static_cast<TControl*>(ZoomWholePageB), static_cast<TControl*>(ZoomPageWidthB),
             static_cast<TControl*>(Zoom100B), static_cast<TControl*>(Zoom50B), static_cast<TControl*>(Sep3)})
        show(c, pbZoom);
    show(PageSettingsB, pbPageSetup);
    show(OutlineB, pbOutline);
    show(HandToolB, pbTools);
    show(ZoomToolB, pbTools);
    for (TToolButton* b : {NewPageB, DelPageB, DesignerB}) show(b, pbEdit);
    for (TControl* c : {static_cast<TControl*>(FirstB), static_cast<TControl*>(PriorB), static_cast<TControl*>(Sep4),
             static_cast<TControl*>(NextB), static_cast<TControl*>(LastB)})
        show(c, pbNavigator);
    // A separator whose group is absent goes altogether.
    auto drop = [](TToolButton*& sep, bool keep) {
        if (keep || !sep) return;
        delete sep;
        sep = nullptr;
    };
    drop(Sep1, bs.Contains(pbZoom));
    drop(Sep2, bs.Contains(pbOutline) || bs.Contains(pbPageSetup));
    drop(Sep5, bs.Contains(pbTools));
    drop(Sep7, bs.Contains(pbEdit));
    drop(Sep6, bs.Contains(pbNavigator));
    OutlineB->SetDown(o->OutlineVisible);
    ToolBar->SetShowCaptions(o->ShowCaptions);

    ExportPopup->GetItems()->Clear();
    TfrxExportFilterCollection* filters = frxExportFilters();
    for (int i = 0; i < filters->Count(); ++i) {
        auto* item = new TMenuItem(ExportPopup);
        item->SetCaption(filters->GetItem(i)->GetDescription() + "...");
        item->SetTag(i);
        item->OnClick = [this](TObject* s) { ExportMenuClick(s); };
        ExportPopup->GetItems()->Add(item);
    }
    if (!report->GetReportOptions()->Name.empty()) SetCaption(report->GetReportOptions()->Name);
    ToolBar->ArrangeButtons();
    FPreview->Init();
}

void TfrxPreviewForm::UpdateControls() {
    const bool idle = !FPreview->Running;
    const bool edit = idle && FPreview->Report && FPreview->Report->GetPreviewOptions()->AllowEdit;
    for (TToolButton* b : {PrintB, OpenB, SaveB, ExportB, FindB, PageSettingsB}) b->SetEnabled(idle);
    for (TToolButton* b : {NewPageB, DelPageB, DesignerB}) b->SetEnabled(edit);
}

void TfrxPreviewForm::UpdateZoomText() { ZoomCB->SetText(IntToStr(frxRoundZoom(FPreview->GetZoom() * 100)) + "%"); }

void TfrxPreviewForm::PreviewPageChanged(TfrxPreview*, int pageNo) {
    TfrxCustomPreviewPages* pages = FPreview->PreviewPages;
    TfrxReport* report = FPreview->Report;
    const int count = FPreview->PageCount();
    std::string text;
    if (pages && report && report->Engine() && !report->Engine()->FinalPass && FPreview->Running)
        text = Res("clFirstPass") + IntToStr(count);
    else text = Format(Res("clPageOf"), {Variant(pageNo), Variant(count)});
    StatusBar->GetPanels()->Items(0)->SetText(text);
    PageE->SetText(IntToStr(pageNo));
}

void TfrxPreviewForm::SetMessage(const std::string& value) {
    StatusBar->GetPanels()->Items(1)->SetText(value);
    Application->ProcessMessages();
}

void TfrxPreviewForm::PrintBClick() {
    if (frxGetPrinters()->HasPhysicalPrinters()) FPreview->Print();
    else frxErrorMsg(Res("clNoPrinters"));
    SetEnabled(true);
}

void TfrxPreviewForm::ExportMenuClick(TObject* sender) {
    const int index = static_cast<TComponent*>(sender)->GetTag();
    TfrxExportFilterCollection* filters = frxExportFilters();
    if (index >= 0 && index < filters->Count()) FPreview->Export(filters->GetItem(index));
    SetEnabled(true);
}

void TfrxPreviewForm::ZoomCBClick() {
    if (FPreview->CanFocus()) FPreview->SetFocus();
    // The box is rewritten with the zoom that resulted once it has finished its own work.
    PostMessage(GetHandle(), WM_UPDATEZOOM);
    const int index = ZoomCB->GetItemIndex();
    if (index == 6) {
        FPreview->SetZoomMode(zmPageWidth);
        UpdateZoomText();
        return;
    }
    if (index == 7) {
        FPreview->SetZoomMode(zmWholePage);
        UpdateZoomText();
        return;
    }
    std::string text = ZoomCB->GetText();
    if (const size_t p = text.find('%'); p != std::string::npos) text[p] = ' ';
    std::erase(text, ' ');
    if (!text.empty()) FPreview->SetZoom(frxStrToFloat(text) / 100);
}

void TfrxPreviewForm::PageEClick() {
    FPreview->SetPageNo(StrToInt(PageE->GetText()));
    if (FPreview->CanFocus()) FPreview->SetFocus();
}

void TfrxPreviewForm::CancelBClick() {
    if (FPreview->Running) FPreview->Cancel();
    else Close();
}

void TfrxPreviewForm::Dispatch(TMessage& m) {
    if (m.Msg == WM_UPDATEZOOM) {
        UpdateZoomText();
        return;
    }
    // A modal window only notes a close request and asks once its loop regains control, which
    // is after the whole run; the close box must stop the run at once, as it does modeless.
    if (m.Msg == WM_CLOSE && FPreview->Running) {
        FPreview->CloseAfterRun = true;
        FPreview->Cancel();
        return;
    }
    TForm::Dispatch(m);
}

void frxRegisterPreview() {
    frxLoadPreviewCursors();
    frxRegisterErrorBox();  // the core's errors of a run or an export show in the error box
    frxPreviewWindowMessage() = [](TCustomForm* window, const std::string& text) {
        if (auto* form = dynamic_cast<TfrxPreviewForm*>(window)) form->SetMessage(text);
    };
    frxPreviewWindow() = [](TfrxReport* report) {
        auto* form = new TfrxPreviewForm(Application);
        report->SetPreview(form->Preview());
        report->PreviewForm = form;
        form->Init();
        if (report->GetPreviewOptions()->Modal) {
            std::unique_ptr<TfrxPreviewForm> owned(form);
            form->ShowModal();
        } else {
            form->FreeOnClose = true;
            form->Show();
        }
    };
}
