#pragma once
// TfrxReport: the root of a report's object tree (its children are the pages) and the facade
// through which a template is loaded, saved, prepared, previewed and designed. It owns what a
// report needs at run time: dataset list, variables, styles, script, engine, prepared pages,
// error list and the four option objects. It offers its objects what they ask of it through
// TfrxReportServices (frxServices.h), so that their files need not include this one.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/gui/Messages.h"
#include "report/core/frxClass.h"
#include "report/core/frxOptions.h"
#include "report/core/frxPlugins.h"
#include "report/core/frxServices.h"

class TCustomForm;
class TCustomIniFile;
class TReader;
class TStringList;
class TWriter;
class TTimer;
class TfrxCustomDesigner;
class TfrxCustomPreview;
class TfrxDataSet;
class TfrxProgress;
class TfrxStyles;
class TfrxVariables;
class TfrxView;
class TfsCustomVariable;
class TfsScript;
class TfrxExpressionCache;
using TfsParams = std::vector<Variant>;

using TfrxBeforePrintEvent = std::function<void(TfrxReportComponent* sender)>;
using TfrxClickObjectEvent =
    std::function<void(TfrxView* sender, TMouseButton button, TShiftState shift, bool& modified)>;
using TfrxGetValueEvent = std::function<void(const std::string& varName, Variant& value)>;
using TfrxManualBuildEvent = std::function<void(TfrxPage* page)>;
using TfrxMouseOverObjectEvent = std::function<void(TfrxView* sender)>;
using TfrxProgressEvent = std::function<void(TfrxReport* sender, TfrxProgressType type, int progress)>;
using TfrxUserFunctionEvent = std::function<Variant(const std::string& methodName, Variant& params)>;

class TfrxReport : public TfrxComponent, public TfrxReportServices {
    KAROMIL_CLASS(TfrxReport, TfrxComponent)
    KAROMIL_PUBLISHED({
        KAROMIL_PROP(DataSet);
        KAROMIL_PROP(DataSetName);
        KAROMIL_PROP_MEMBER(DotMatrixReport);  // no default: always stored
        KAROMIL_PROP(EngineOptions);
        KAROMIL_PROP_MEMBER(IniFile);
        KAROMIL_PROP_MEMBER(OldStyleProgress).Default(0);
        KAROMIL_PROP(Preview);
        KAROMIL_PROP(PreviewOptions);
        KAROMIL_PROP(PrintOptions);
        KAROMIL_PROP(ReportOptions);
        KAROMIL_PROP_MEMBER(ScriptLanguage);
        KAROMIL_PROP(ScriptText);
        KAROMIL_PROP_MEMBER(ShowProgress).Default(1);
        KAROMIL_EVENT(OnAfterPrint, "TfrxBeforePrintEvent");
        KAROMIL_EVENT(OnBeforePrint, "TfrxBeforePrintEvent");
        KAROMIL_EVENT(OnBeginDoc, "TNotifyEvent");
        KAROMIL_EVENT(OnPrintReport, "TNotifyEvent");
        KAROMIL_EVENT(OnAfterPrintReport, "TNotifyEvent");
        KAROMIL_EVENT(OnClickObject, "TfrxClickObjectEvent");
        KAROMIL_EVENT(OnEndDoc, "TNotifyEvent");
        KAROMIL_EVENT(OnGetValue, "TfrxGetValueEvent");
        KAROMIL_EVENT(OnManualBuild, "TfrxManualBuildEvent");
        KAROMIL_EVENT(OnMouseOverObject, "TfrxMouseOverObjectEvent");
        KAROMIL_EVENT(OnProgressStart, "TfrxProgressEvent");
        KAROMIL_EVENT(OnProgress, "TfrxProgressEvent");
        KAROMIL_EVENT(OnProgressStop, "TfrxProgressEvent");
        KAROMIL_PROP_MEMBER(OnStartReport, TypeInfoFrxNotifyEvent());
        KAROMIL_PROP_MEMBER(OnStopReport, TypeInfoFrxNotifyEvent());
        KAROMIL_EVENT(OnUserFunction, "TfrxUserFunctionEvent");
    })
public:
    explicit TfrxReport(TComponent* owner = nullptr);
    ~TfrxReport() override;

    // --- published, in stored order
    TfrxDataSet* GetDataSet() const noexcept { return FDataSet; }
    void SetDataSet(TfrxDataSet* value);
    std::string GetDataSetName() const;
    void SetDataSetName(const std::string& value);
    bool DotMatrixReport = false;
    TfrxEngineOptions* GetEngineOptions() const noexcept { return FEngineOptions.get(); }
    void SetEngineOptions(TfrxEngineOptions* value) { FEngineOptions->Assign(value); }
    std::string IniFile = "\\Software\\Karomil Reports";
    bool OldStyleProgress = false;
    TfrxCustomPreview* GetPreview() const noexcept { return FPreview; }
    void SetPreview(TfrxCustomPreview* value);
    TfrxPreviewOptions* GetPreviewOptions() const noexcept { return FPreviewOptions.get(); }
    void SetPreviewOptions(TfrxPreviewOptions* value) { FPreviewOptions->Assign(value); }
    TfrxPrintOptions* GetPrintOptions() const noexcept { return FPrintOptions.get(); }
    void SetPrintOptions(TfrxPrintOptions* value) { FPrintOptions->Assign(value); }
    TfrxReportOptions* GetReportOptions() const noexcept { return FReportOptions.get(); }
    void SetReportOptions(TfrxReportOptions* value) { FReportOptions->Assign(value); }
    std::string ScriptLanguage = "PascalScript";
    TStrings* GetScriptText() const noexcept { return FScriptText.get(); }
    void SetScriptText(TStrings* value);
    bool ShowProgress = true;
    TfrxBeforePrintEvent OnAfterPrint, OnBeforePrint;
    TNotifyEvent OnBeginDoc, OnEndDoc, OnPrintReport, OnAfterPrintReport;
    TfrxClickObjectEvent OnClickObject;
    TfrxGetValueEvent OnGetValue;
    TfrxManualBuildEvent OnManualBuild;
    TfrxMouseOverObjectEvent OnMouseOverObject;
    TfrxProgressEvent OnProgressStart, OnProgress, OnProgressStop;
    std::string OnStartReport, OnStopReport;  // script procedure names
    TfrxUserFunctionEvent OnUserFunction;

    // --- owned members
    TfrxReportDataSets* DataSets() const noexcept { return FDataSets.get(); }
    TfrxReportDataSets* OfferedDataSets() const noexcept { return FOfferedDataSets.get(); }
    TfrxVariables* Variables() const noexcept override { return FVariables.get(); }
    TfrxStyles* Styles() const noexcept override { return FStyles.get(); }
    TfsScript* Script() const noexcept { return FScript.get(); }
    TfrxExpressionCache* ExpressionCache() const noexcept { return FExpressionCache.get(); }
    TfrxCustomEngine* Engine() const noexcept override { return FEngine.get(); }
    TfrxCustomPreviewPages* PreviewPages() const noexcept { return FPreviewPages.get(); }
    TStringList* SystemNames() const noexcept { return FSystemNames.get(); }
    TTimer* PrepareTimer() const noexcept { return FPrepareTimer.get(); }
    TfrxProgress* ProgressForm() const noexcept { return FProgressForm.get(); }
    // Sorted, each text once.
    TStringList* const ErrorList;
    TStringList* GetErrorList() const noexcept override { return ErrorList; }

    // --- state
    std::string FileName;
    std::string CurrentObjectName;
    bool Terminated = false;
    bool DesignModified = false;
    bool ReloadingAfterRun = false;
    TfrxXMLSerializer* LoadSerializer = nullptr;
    const std::string& GetCurrentObjectName() const noexcept override { return CurrentObjectName; }
    void SetCurrentObjectName(const std::string& name) override { CurrentObjectName = name; }
    TfrxXMLSerializer* GetLoadSerializer() const noexcept override { return LoadSerializer; }
    void SetLoadSerializer(TfrxXMLSerializer* serializer) noexcept override { LoadSerializer = serializer; }
    TfrxCustomDesigner* Designer = nullptr;
    TCustomForm* PreviewForm = nullptr;
    int GetPageCount() const { return ChildCount(); }
    TfrxComponent* GetPageAt(int index) const { return Child(index); }

    // --- loading and saving
    void Clear() override;
    // False for a missing file (or EFOpenError with exceptionIfNotFound), and for a template
    // whose password was not given; the reason is in ErrorList.
    bool LoadFromFile(const std::string& fileName, bool exceptionIfNotFound = false);
    void LoadFromStream(TStream* stream) override;
    // Never destroys the file it replaces when writing fails.
    void SaveToFile(const std::string& fileName);
    void SaveToStream(TStream* stream, bool saveChildren = true, bool saveDefaultValues = false) override;

    // --- running, showing, designing
    bool PrepareReport(bool clearLastReport = true);
    virtual bool PrepareScript();
    void ShowReport(bool clearLastReport = true);
    void ShowPreparedReport();
    bool Print();
    void DesignReport();
    bool DesignPreviewPage();
    void SetTerminated(bool value);
    void SetStyles(TfrxStyles* styles);  // nil empties; else a copy, applied to every memo
    void SelectPrinter();
    // A registry-backed store for "\Software\..." names, else an INI file; the caller frees it.
    TCustomIniFile* GetIniFile() const;

    // --- progress
    virtual void DoProgressStart(TfrxProgressType type);
    virtual void DoProgress(TfrxProgressType type, int progress);
    virtual void DoProgressStop(TfrxProgressType type);
    void ShowProgressText(const std::string& text);

    // --- datasets
    TfrxDataSet* GetDataset(const std::string& alias) const;
    std::string GetAlias(TfrxDataSet* dataSet) const;
    void GetDatasetAndField(const std::string& complexName, TfrxDataSet*& dataSet, std::string& field) const override;
    void GetDataSetList(TStrings* list, bool skipUserDataSets = false) const;

    // --- expressions and script calls
    // The value of an expression text in `script` (the report's own when nil): a name that
    // LookupValue answers, else the compiled expression. A compile error is added to
    // ErrorList (after CurrentObjectName and ": ") and raised.
    Variant Calc(const std::string& expr, TfsScript* script = nullptr) override;
    // Answers a name: a dataset field alias."field", a system name, OnGetValue, a report
    // variable (whose text is an expression), a variable of the report's script. False with
    // Null when nothing answers.
    bool LookupValue(const std::string& name, Variant& value) override;
    // The script variable "Value" that PrepareScript registers; nullptr before it.
    TfsCustomVariable* ScriptValueVar = nullptr;
    void SetValueVariable(const Variant& value) override;
    // Script procedures of object events; they run only while the engine runs, or with
    // runAlways. CallScriptProc writes the procedure's final parameter values back.
    void DoNotifyEvent(TObject* obj, const std::string& eventName, bool runAlways = false) override;
    void CallScriptProc(TObject* obj, const std::string& procName, Variant& params, bool runAlways = false) override;
    void NotifyBeforePrint(TfrxReportComponent* obj);
    void NotifyAfterPrint(TfrxReportComponent* obj);
    // The view's OnPreviewClick procedure (always run), then OnClickObject.
    template <class View = TfrxView>
    void NotifyPreviewClick(View* obj, TMouseButton button, TShiftState shift, bool& modified) {
        DoPreviewClick(obj, obj, button, shift, modified);
    }

    std::string GetDescription() const override;
    TfrxReportServices* OwnReportServices() noexcept override { return this; }

protected:
    void DefineProperties(TFiler* filer) override;
    void Notification(TComponent* component, TOperation operation) override;

private:
    void DoPreviewClick(
        TfrxReportComponent* obj, TfrxView* view, TMouseButton button, TShiftState shift, bool& modified);
    Variant GetCallback(TfsParams& params);
    Variant SetCallback(TfsParams& params);
    Variant MacroCallback(const std::string& methodName, TfsParams& params);
    void ReadCollection(TCollection* collection, TReader* reader);
    void WriteCollection(TCollection* collection, TWriter* writer);
    void ShowErrors();
    void RunDesigner(bool previewDesigner);

    std::unique_ptr<TStringList> FErrorList;
    std::unique_ptr<TfrxReportDataSets> FDataSets, FOfferedDataSets;
    std::unique_ptr<TfrxVariables> FVariables;
    std::unique_ptr<TfrxStyles> FStyles;
    std::unique_ptr<TfsScript> FScript;
    std::unique_ptr<TfrxExpressionCache> FExpressionCache;
    int FLookupDepth = 0;  // nesting of variable lookups, bounded against self-reference
    std::unique_ptr<TStrings> FScriptText;
    std::unique_ptr<TfrxEngineOptions> FEngineOptions;
    std::unique_ptr<TfrxPreviewOptions> FPreviewOptions;
    std::unique_ptr<TfrxPrintOptions> FPrintOptions;
    std::unique_ptr<TfrxReportOptions> FReportOptions;
    std::unique_ptr<TStringList> FSystemNames;
    std::unique_ptr<TTimer> FPrepareTimer;
    std::unique_ptr<TfrxProgress> FProgressForm;
    std::unique_ptr<TfrxCustomPreviewPages> FPreviewPages;
    std::unique_ptr<TfrxCustomEngine> FEngine;
    TfrxDataSet* FDataSet = nullptr;
    std::string FDataSetName;
    TfrxCustomPreview* FPreview = nullptr;
    bool FPasswordRefused = false;
};

// The password as a template stores it and back. Every character's code is lowered by 10
// (raised when decoding); see the definition for the sound rule on wide characters.
std::string frxPasswordEncode(const std::string& password);
std::string frxPasswordDecode(const std::string& stored);
