#include "report/core/frxReport.h"

#include <exception>

#include "platform/classes/ClassRegistry.h"
#include "platform/classes/Filer.h"
#include "platform/classes/Streams.h"
#include "platform/classes/StringList.h"
#include "platform/gui/Application.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Forms.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/Strings.h"
#include "platform/rtl/SysUtils.h"
#include "platform/settings/IniFiles.h"
#include "platform/settings/Registry.h"
#include "report/core/frxBands.h"
#include "report/core/frxCollectionData.h"
#include "report/core/frxDataSet.h"
#include "report/core/frxDialog.h"
#include "report/core/frxDialogPage.h"
#include "report/core/frxEngine.h"
#include "report/core/frxErrorBoxHook.h"
#include "report/core/frxExpression.h"
#include "report/core/frxPrinter.h"
#include "report/core/frxProgress.h"
#include "report/core/frxRes.h"
#include "report/core/frxSafeSave.h"
#include "report/core/frxStyles.h"
#include "report/core/frxView.h"
#include "report/core/frxVariables.h"
#include "report/core/frxWindowPlugins.h"
#include "report/core/frxXMLSerializer.h"
#include "script/Interpreter.h"
#include "script/Statements.h"

KAROMIL_IMPLEMENT_PUBLISHED_CLASS(TfrxReport, TfrxComponent)

namespace {
std::string Res(const char* key) { return frxGetResources()->Get(key); }
const char* const kPasswordRefused = "Šablonu nelze otevřít: heslo nebylo zadáno správně";
}  // namespace

// --- password --------------------------------------------------------------------------------

// Sound: the shift works on whole characters and never wraps above 255. Shifting code points
// modulo 256 turned Czech letters above U+00FF (č, ř, ž) into other characters that decoded
// to something else, so such a template could never be opened with its password. Printable
// characters below 256 shift exactly as before, so existing templates keep their passwords.
// Characters below 10 (control characters no one can type) are kept as they are.
std::string frxPasswordEncode(const std::string& password) {
    std::u32string s = Utf8ToU32(password);
    for (char32_t& c : s)
        if (c >= 10) c -= 10;
    return U32ToUtf8(s);
}

std::string frxPasswordDecode(const std::string& stored) {
    std::u32string s = Utf8ToU32(stored);
    for (char32_t& c : s)
        if (c <= 0x10FFFF - 10) c += 10;
    return U32ToUtf8(s);
}

// --- construction ----------------------------------------------------------------------------

TfrxReport* TfrxComponent::GetReport() const { return dynamic_cast<TfrxReport*>(GetReportRoot()); }

TfrxReport::TfrxReport(TComponent* owner)
    : TfrxComponent(owner), ErrorList(new TStringList), FErrorList(ErrorList),
      FDataSets(std::make_unique<TfrxReportDataSets>(this)),
      FOfferedDataSets(std::make_unique<TfrxReportDataSets>(this)), FVariables(std::make_unique<TfrxVariables>()),
      FStyles(std::make_unique<TfrxStyles>(this)), FScript(std::make_unique<TfsScript>(nullptr)),
      FScriptText(std::make_unique<TStringList>()), FEngineOptions(std::make_unique<TfrxEngineOptions>()),
      FPreviewOptions(std::make_unique<TfrxPreviewOptions>()), FPrintOptions(std::make_unique<TfrxPrintOptions>()),
      FReportOptions(std::make_unique<TfrxReportOptions>()), FSystemNames(std::make_unique<TStringList>()),
      FPrepareTimer(std::make_unique<TTimer>(nullptr)) {
    frx::Startup();
    FErrorList->SetSorted(true);
    FErrorList->SetDuplicates(dupIgnore);
    FScript->Parent = fsGlobalUnit();
    FScript->ExtendedCharset = true;
    FExpressionCache = std::make_unique<TfrxExpressionCache>(FScript.get());
    FPrepareTimer->SetEnabled(false);
    FPrepareTimer->SetInterval(50);
    FPrepareTimer->OnTimer = [this](TObject*) {
        FPrepareTimer->SetEnabled(false);
        PrepareReport(false);
    };
    FPreviewPages = frxCreatePreviewPages(this);
    FEngine = frxCreateEngine(this);
    FPreviewPages->Engine = FEngine.get();
    FEngine->PreviewPages = FPreviewPages.get();
    Clear();
}

TfrxReport::~TfrxReport() {
    FPrepareTimer->SetEnabled(false);
    // The pages go while the report is whole: their destructors still see a report.
    TfrxComponent::Clear();
    SetPreview(nullptr);
    FProgressForm.reset();
    // The datasets outlive the report; they must no longer tell it they go.
    for (int i = 0; i < FDataSets->Count(); ++i)
        if (TfrxDataSet* ds = FDataSets->GetItem(i)->GetDataSet()) ds->RemoveFreeNotification(this);
    if (FDataSet) FDataSet->RemoveFreeNotification(this);
}

std::string TfrxReport::GetDescription() const { return Res("obReport"); }

// --- published writers -----------------------------------------------------------------------

void TfrxReport::SetDataSet(TfrxDataSet* value) {
    FDataSet = value;
    FDataSetName = value ? value->GetUserName() : std::string();
    if (value) value->FreeNotification(this);
}

std::string TfrxReport::GetDataSetName() const { return FDataSet ? FDataSet->GetUserName() : FDataSetName; }

void TfrxReport::SetDataSetName(const std::string& value) {
    FDataSetName = value;
    FDataSet = frxDataSetByName(FDataSet, value, this);
    if (FDataSet) FDataSet->FreeNotification(this);
}

void TfrxReport::SetScriptText(TStrings* value) { FScriptText->Assign(value); }

void TfrxReport::SetPreview(TfrxCustomPreview* value) {
    if (FPreview && !value) {
        FPreview->Report = nullptr;
        FPreview->PreviewPages = nullptr;
        RemoveFreeNotification(FPreview);
        PreviewForm = nullptr;
    }
    FPreview = value;
    if (value) {
        value->Report = this;
        value->PreviewPages = FPreviewPages.get();
        value->FreeNotification(this);
        value->Init();
    }
}

void TfrxReport::Notification(TComponent* component, TOperation operation) {
    TfrxComponent::Notification(component, operation);
    if (operation != opRemove) return;
    // The notice comes from the component's last destructor: it is only a TComponent by now,
    // so it is recognised by address, not by its class.
    bool wasDataSet = false;
    for (TfrxReportDataSets* list : {FDataSets.get(), FOfferedDataSets.get()})
        for (int i = list->Count() - 1; i >= 0; --i)
            if (static_cast<TComponent*>(list->GetItem(i)->GetDataSet()) == component) {
                delete list->GetItem(i);
                wasDataSet = true;
            }
    if (static_cast<TComponent*>(FDataSet) == component) {
        FDataSet = nullptr;
        wasDataSet = true;
    }
    if (wasDataSet && Designer) Designer->UpdateDataTree();
    if (static_cast<TComponent*>(FPreview) == component) FPreview = nullptr;
}

// --- clear, load, save -----------------------------------------------------------------------

void TfrxReport::Clear() {
    TfrxComponent::Clear();
    FDataSets->Clear();
    FVariables->Clear();
    FEngineOptions->Clear();
    FPreviewOptions->Clear();
    FPrintOptions->Clear();
    FReportOptions->Clear();
    FStyles->Clear();
    FDataSet = nullptr;
    FDataSetName.clear();
    DotMatrixReport = false;
    ScriptLanguage = "PascalScript";
    FScriptText->SetText("begin\r\n\r\nend.");
    FSystemNames->Clear();
    for (const char* n : {"Date", "Time", "Page", "Page#", "TotalPages", "TotalPages#", "Line", "Line#"})
        FSystemNames->Add(n);
}

bool TfrxReport::LoadFromFile(const std::string& fileName, bool exceptionIfNotFound) {
    Clear();
    FileName.clear();
    if (!exceptionIfNotFound && !FileExists(fileName)) {
        // Sound: the caller learns why the report is empty; a missing template is an error.
        ErrorList->Clear();
        ErrorList->Add("Soubor nebyl nalezen: " + fileName);
        return false;
    }
    TFileStream f(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&f);
    // Sound: a template whose password was refused is not reported as loaded; the report is
    // empty, and printing it would print nothing.
    if (FPasswordRefused) return false;
    FileName = fileName;
    return true;
}

void TfrxReport::LoadFromStream(TStream* stream) {
    ErrorList->Clear();
    FPasswordRefused = false;
    TfrxEngineOptions savedEngine;
    savedEngine.Assign(FEngineOptions.get());
    TfrxPreviewOptions savedPreview;
    savedPreview.Assign(FPreviewOptions.get());
    const std::string savedIniFile = IniFile;
    TfrxCustomPreview* const savedPreviewControl = FPreview;
    const bool savedOldStyle = OldStyleProgress, savedShowProgress = ShowProgress;
    const int32_t savedDesignInfo = GetDesignInfo();

    std::exception_ptr failure;
    try {
        TfrxComponent::LoadFromStream(stream);
    } catch (...) {
        failure = std::current_exception();  // rethrown below, after the settings are back
    }
    const bool convertNulls = FEngineOptions->ConvertNulls, doublePass = FEngineOptions->DoublePass;
    FEngineOptions->Assign(&savedEngine);
    FEngineOptions->ConvertNulls = convertNulls;
    FEngineOptions->DoublePass = doublePass;
    const bool outlineVisible = FPreviewOptions->OutlineVisible;
    const int32_t outlineWidth = FPreviewOptions->OutlineWidth;
    FPreviewOptions->Assign(&savedPreview);
    FPreviewOptions->OutlineVisible = outlineVisible;
    FPreviewOptions->OutlineWidth = outlineWidth;
    IniFile = savedIniFile;
    FPreview = savedPreviewControl;
    OldStyleProgress = savedOldStyle;
    ShowProgress = savedShowProgress;
    SetDesignInfo(savedDesignInfo);
    FReportOptions->Password = frxPasswordDecode(FReportOptions->Password);

    if (!ReloadingAfterRun) {
        if (!FReportOptions->AskPassword()) {
            Clear();
            FPasswordRefused = true;
            ErrorList->Clear();
            ErrorList->Add(kPasswordRefused);
        } else if (ErrorList->Count() > 0 && !FEngineOptions->SilentMode) {
            ShowErrors();
        }
    }
    if (failure) std::rethrow_exception(failure);
}

void TfrxReport::SaveToFile(const std::string& fileName) {
    // Sound: written beside the old template and renamed over it, so a failure while writing
    // leaves the user's template as it was.
    frxSaveFileSafely(fileName, [this](TStream* s) { SaveToStream(s, true, false); });
}

void TfrxReport::SaveToStream(TStream* stream, bool saveChildren, bool saveDefaultValues) {
    TRollback<std::string> password(FReportOptions->Password, frxPasswordEncode(FReportOptions->Password));
    // The field itself, not SetPreview: a snapshot taken during a run must not unlink the
    // preview that shows it.
    TRollback<TfrxCustomPreview*> preview(FPreview, nullptr);
    TfrxComponent::SaveToStream(stream, saveChildren, saveDefaultValues);
}

void TfrxReport::DefineProperties(TFiler* filer) {
    TfrxComponent::DefineProperties(filer);
    auto list = [&](const char* name, TCollection* c) {
        filer->DefineProperty(
            name, [this, c](TReader* r) { ReadCollection(c, r); }, [this, c](TWriter* w) { WriteCollection(c, w); },
            true);
    };
    list("Datasets", FDataSets.get());
    list("Variables", FVariables.get());
    list("Style", FStyles.get());
}

void TfrxReport::WriteCollection(TCollection* collection, TWriter* writer) {
    frxWriteCollection(collection, writer, [this](TPersistent* item) {
        TfrxXMLSerializer serializer(nullptr);
        serializer.LookupRoot = this;
        return serializer.PropertiesText(item, "");
    });
}

void TfrxReport::ReadCollection(TCollection* collection, TReader* reader) {
    frxReadCollection(collection, reader, [this](const std::string& xml, TPersistent* item) {
        // Inside the report's own load the items queue their references with the tree's.
        if (LoadSerializer) {
            LoadSerializer->ApplyPropertiesText(xml, item);
            return;
        }
        TfrxXMLSerializer serializer(nullptr);
        serializer.ReadItemText(this, item, xml);
        ErrorList->AddStrings(serializer.ErrorList());
    });
}

void TfrxReport::ShowErrors() { frxShowErrorBox(Res("clErrors") + "\r\n" + ErrorList->Text()); }

// --- running ---------------------------------------------------------------------------------

// PrepareScript, Calc and the script calls live in frxExpressionCalc.cpp.

bool TfrxReport::PrepareReport(bool clearLastReport) {
    if (clearLastReport) FPreviewPages->Clear();
    ErrorList->Clear();
    Terminated = false;
    bool result = false;
    for (int i = 0; i < FDataSets->Count(); ++i)
        if (!FDataSets->GetItem(i)->GetDataSet())
            ErrorList->Add(Format(Res("clDSNotExist"), {Variant(FDataSets->GetItem(i)->GetDataSetName())}));
    if (ErrorList->Count() == 0) {
        TMemoryStream snapshot;
        SaveToStream(&snapshot, true, false);
        try {
            if (OnBeginDoc) OnBeginDoc(this);
            if (PrepareScript()) {
                if (FScript->MainStatement() && FScript->MainStatement()->Count() > 0) FScript->Execute();
                if (FEngine->Run()) {
                    if (OnEndDoc) OnEndDoc(this);
                    result = true;
                } else if (PreviewForm) {
                    PreviewForm->Close();
                }
            }
        } catch (const std::exception& e) {
            // Whatever the run raised becomes an error line; the report is read back below.
            ErrorList->Add(e.what());
        }
        const std::string kept = ErrorList->Text();
        {
            TRollback<bool> reloading(ReloadingAfterRun, true);
            snapshot.SetPosition(0);
            LoadFromStream(&snapshot);
        }
        ErrorList->SetText(kept);
    }
    if (ErrorList->Count() > 0) {
        result = false;
        if (!FEngineOptions->SilentMode) ShowErrors();
    }
    return result;
}

void TfrxReport::ShowReport(bool clearLastReport) {
    if (clearLastReport) FPreviewPages->Clear();
    if (!OldStyleProgress) {
        FPrepareTimer->SetEnabled(true);
        ShowPreparedReport();
    } else if (PrepareReport(false)) {
        ShowPreparedReport();
    }
}

void TfrxReport::ShowPreparedReport() {
    PreviewForm = nullptr;
    if (FPreview) {
        FPreview->Report = this;
        FPreview->PreviewPages = FPreviewPages.get();
        FPreview->Init();
    } else if (auto& show = frxPreviewWindow()) {
        show(this);
    }
}

bool TfrxReport::Print() { return FPreviewPages->Print(); }

void TfrxReport::DesignReport() {
    if (Designer || !frxDesignerClass()) return;
    if (GetPageCount() == 0)
        if (TClass c = GetClass(DotMatrixReport ? "TfrxDMPPage" : "TfrxReportPage")) {
            auto* page = dynamic_cast<TfrxComponent*>(c->CreateComponent(this));
            if (page) page->SetName("Page1");
        }
    // The cached expressions call into the items that go now; they go first.
    FExpressionCache->Clear();
    ScriptValueVar = nullptr;
    FScript->ClearItems(this);
    DesignModified = false;
    RunDesigner(false);
}

bool TfrxReport::DesignPreviewPage() {
    if (Designer || !frxDesignerClass()) return false;
    bool modified = false;
    RunDesigner(true);
    modified = DesignModified;
    return modified;
}

void TfrxReport::RunDesigner(bool previewDesigner) {
    TCustomForm* active = Screen->ActiveForm();
    if (active) active->SetEnabled(false);
    // Sound: the disabled window is enabled again in the same clean-up that frees the
    // designer, so an exception in the designer cannot leave the main window dead.
    auto done = OnScopeExit([&] {
        delete Designer;
        Designer = nullptr;
        if (active) {
            active->SetEnabled(true);
            if (active->GetVisible() && !GetComponentState().Contains(csDesigning)) active->SetFocus();
        }
    });
    Designer = frxDesignerClass()(nullptr, this, previewDesigner);
    Designer->Show();
    // Sound: closing the program during a design session ends the loop too.
    while (!Designer->IsClosed && !Application->Terminated()) Application->HandleMessage();
    DesignModified = Designer->Modified;
}

void TfrxReport::SetTerminated(bool value) {
    Terminated = value;
    if (value) FScript->Terminate();
}

void TfrxReport::SetStyles(TfrxStyles* styles) {
    if (!styles) {
        FStyles->Clear();
        return;
    }
    FStyles->Assign(styles);
    FStyles->Name = styles->Name;
    FStyles->Apply();
}

void TfrxReport::SelectPrinter() {
    // A name that is not installed (the default-printer text among them) leaves the current one.
    TfrxPrinters* printers = frxGetPrinters();
    const int index = printers->IndexOf(GetPrintOptions()->Printer);
    if (index >= 0 && index != printers->PrinterIndex()) printers->SetPrinterIndex(index);
}

TCustomIniFile* TfrxReport::GetIniFile() const {
    if (IniFile.rfind("\\Software\\", 0) == 0) return new TRegIniFile(IniFile);
    // A relative name lives in the user's configuration folder, not in whatever folder the
    // program happens to run in.
    std::string name = IniFile;
    if (!name.empty() && name[0] != '/') name = ExtractFilePath(TRegistry::StoreFileName()) + name;
    return new TIniFile(name);
}

// --- progress --------------------------------------------------------------------------------

void TfrxReport::DoProgressStart(TfrxProgressType type) {
    if (OnProgressStart) OnProgressStart(this, type, 0);
    if (!OldStyleProgress && type == ptRunning) {
        if (FPreview) FPreview->InternalOnProgressStart(this, type, 0);
    } else if (ShowProgress) {
        FProgressForm.reset();
        FProgressForm = std::make_unique<TfrxProgress>(nullptr);
        FProgressForm->Execute(0, "", false, true);
    }
    Application->ProcessMessages();
}

void TfrxReport::DoProgress(TfrxProgressType type, int progress) {
    if (OnProgress) OnProgress(this, type, progress);
    if (!OldStyleProgress && type == ptRunning) {
        if (FPreview) FPreview->InternalOnProgress(this, type, progress - 1);
    } else if (ShowProgress && FProgressForm) {
        const char* key = type == ptExporting ? "prExporting"
            : type == ptPrinting              ? "prPrinting"
            : FEngine->FinalPass              ? "prRunning"
                                              : "prRunningFirst";
        FProgressForm->SetMessage(Format(Res(key), {Variant(progress)}));
        if (FProgressForm->GetTerminated()) SetTerminated(true);
    }
    Application->ProcessMessages();
}

void TfrxReport::DoProgressStop(TfrxProgressType type) {
    if (OnProgressStop) OnProgressStop(this, type, 0);
    if (OldStyleProgress || type != ptRunning) {
        if (ShowProgress) FProgressForm.reset();
    } else if (FPreview) {
        FPreview->InternalOnProgressStop(this, type, 0);
    }
    Application->ProcessMessages();
}

void TfrxReport::ShowProgressText(const std::string& text) {
    if (FEngineOptions->SilentMode) return;
    if (FEngine->Running && OldStyleProgress) {
        if (ShowProgress && FProgressForm) FProgressForm->SetMessage(text);
    } else if (PreviewForm && frxPreviewWindowMessage()) {
        frxPreviewWindowMessage()(PreviewForm, text);
    }
    Application->ProcessMessages();
}

// --- datasets --------------------------------------------------------------------------------

TfrxDataSet* TfrxReport::GetDataset(const std::string& alias) const {
    TfrxDataSetItem* item = FDataSets->FindByName(alias);
    return item ? item->GetDataSet() : nullptr;
}

std::string TfrxReport::GetAlias(TfrxDataSet* dataSet) const {
    if (!dataSet) return {};
    if (TfrxDataSetItem* item = FDataSets->Find(dataSet)) return item->GetDataSet()->GetUserName();
    return Res("clDSNotIncl");
}

void TfrxReport::GetDatasetAndField(const std::string& complexName, TfrxDataSet*& dataSet, std::string& field) const {
    dataSet = nullptr;
    field.clear();
    const size_t p = complexName.find(".\"");
    if (p == std::string::npos) return;
    dataSet = GetDataset(complexName.substr(0, p));
    field = complexName.substr(p + 2);
    if (!field.empty()) field.pop_back();
}

void TfrxReport::GetDataSetList(TStrings* list, bool skipUserDataSets) const {
    list->Clear();
    for (int i = 0; i < FDataSets->Count(); ++i) {
        TfrxDataSet* ds = FDataSets->GetItem(i)->GetDataSet();
        if (!ds || (skipUserDataSets && dynamic_cast<TfrxUserDataSet*>(ds))) continue;
        list->AddObject(ds->GetUserName(), ds);
    }
}
