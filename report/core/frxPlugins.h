#pragma once
// Abstract bases of what the report core drives but does not build itself: export filters,
// the page-building engine, the outline and the prepared-pages store. The engine and prepared
// pages come from their own units; the export filters from the output layer, which registers
// them. The window plug-ins (designer, preview control, wizards) have their own header,
// frxWindowPlugins.h, so that this one and the report's need no window header.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/classes/Component.h"
#include "platform/classes/List.h"
#include "platform/classes/TypInfo.h"
#include "platform/gui/Messages.h"
#include "platform/rtl/Variant.h"

class TCanvas;
class TStream;
class TStrings;
class TfrxBand;
class TfrxComponent;
class TfrxCustomEngine;
class TfrxCustomOutline;
class TfrxCustomPreviewPages;
class TfrxPage;
class TfrxReport;
class TfrxReportPage;
class TfrxXMLItem;

// The window layer's aliases (platform/gui/Forms.h and Controls.h declare the same), repeated
// so that the bases below need neither header.
using TModalResult = int;
using TCursor = int16_t;

enum TfrxProgressType { ptRunning, ptExporting, ptPrinting };
KAROMIL_ENUM_TYPE(TfrxProgressType, "ptRunning", "ptExporting", "ptPrinting")

class TfrxCustomExportFilter : public TComponent {
    KAROMIL_CLASS(TfrxCustomExportFilter, TComponent)
    KAROMIL_PUBLISHED({
        KAROMIL_PROP(ShowDialog).Default(1);
        KAROMIL_PROP(FileName);
    })
public:
    explicit TfrxCustomExportFilter(TComponent* owner);  // joins the export-filter registry
    ~TfrxCustomExportFilter() override;  // and leaves it

    bool GetShowDialog() const noexcept { return FShowDialog; }
    void SetShowDialog(bool value) noexcept { FShowDialog = value; }
    const std::string& GetFileName() const noexcept { return FFileName; }
    void SetFileName(const std::string& value) { FFileName = value; }
    TfrxReport* Report = nullptr;
    bool CurrentPageOnly = false;
    std::string PageNumbers;

    virtual std::string GetDescription() const { return {}; }
    virtual TModalResult ShowModal();  // mrOk: no dialog
    virtual bool Start() { return true; }
    virtual void ExportObject(TfrxComponent* obj) = 0;
    virtual void Finish() {}
    virtual void FinishPage(TfrxReportPage* page, int index) {
        (void)page;
        (void)index;
    }
    virtual void StartPage(TfrxReportPage* page, int index) {
        (void)page;
        (void)index;
    }

private:
    bool FShowDialog = true;
    std::string FFileName;
};

class TfrxCustomEngine : public TPersistent {
    KAROMIL_CLASS(TfrxCustomEngine, TPersistent)
    KAROMIL_PUBLISHED({
        KAROMIL_PROP_MEMBER(CurColumn);
        KAROMIL_PROP_MEMBER(CurVColumn);
        KAROMIL_PROP_MEMBER(CurX);
        KAROMIL_PROP_MEMBER(CurY);
        KAROMIL_PROP_READONLY(DoublePass);
        KAROMIL_PROP_MEMBER(FinalPass);
        KAROMIL_PROP_MEMBER(PageHeight);
        KAROMIL_PROP_MEMBER(PageWidth);
        KAROMIL_PROP_MEMBER(StartDate, TypeInfoDateTime());
        KAROMIL_PROP_MEMBER(StartTime, TypeInfoDateTime());
        KAROMIL_PROP_MEMBER(TotalPages);
    })
public:
    explicit TfrxCustomEngine(TfrxReport* report);
    ~TfrxCustomEngine() override;

    int32_t CurColumn = 0, CurVColumn = 0;
    double CurX = 0, CurY = 0;
    bool GetDoublePass() const;  // the report's engine option; not writable here
    bool FinalPass = false;
    double PageHeight = 0, PageWidth = 0;
    TDateTime StartDate = 0, StartTime = 0;
    int32_t TotalPages = 0;
    int32_t CurLineNo = 0;  // the current row's number within its level ("Line")
    int32_t CurLineNoThrough = 0;  // the current row's number through the band run ("Line#")

    TfrxReport* Report;
    TList* NotifyList() const noexcept { return FNotifyList.get(); }
    TfrxCustomPreviewPages* PreviewPages = nullptr;
    bool Running = false;

    virtual void EndPage() = 0;
    virtual void NewColumn() = 0;
    virtual void NewPage() = 0;
    virtual void ShowBand(TfrxBand* band) = 0;
    virtual void ShowBandByClass(TClass bandClass) = 0;
    virtual double FootersHeight() = 0;
    virtual double FreeSpace() = 0;
    virtual Variant GetAggregateValue(
        const std::string& name, const std::string& expression, TfrxBand* band, int flags) = 0;
    virtual bool Run() = 0;
    void StopReport();  // the report's SetTerminated(True)

private:
    std::unique_ptr<TList> FNotifyList;
};

class TfrxCustomOutline : public TPersistent {
    KAROMIL_CLASS(TfrxCustomOutline, TPersistent)
public:
    explicit TfrxCustomOutline(TfrxCustomPreviewPages* previewPages) : PreviewPages(previewPages) {}
    TfrxCustomPreviewPages* PreviewPages;
    TfrxCustomEngine* Engine() const;

    virtual int GetCount() = 0;
    virtual void AddItem(const std::string& text, int top) = 0;
    virtual void LevelDown(int index) = 0;
    virtual void LevelRoot() = 0;
    virtual void LevelUp() = 0;
    virtual void GetItem(int index, std::string& text, int& page, int& top) = 0;
    virtual void ShiftItems(TfrxXMLItem* from, int newTop) = 0;
    virtual TfrxXMLItem* GetCurPosition() = 0;
};

class TfrxCustomPreviewPages : public TObject {
    KAROMIL_CLASS(TfrxCustomPreviewPages, TObject)
public:
    // Outline is made by the derived store (its own outline class).
    explicit TfrxCustomPreviewPages(TfrxReport* report) : Report(report) {}
    ~TfrxCustomPreviewPages() override;

    TfrxReport* Report;
    std::unique_ptr<TfrxCustomOutline> Outline;
    TfrxCustomEngine* Engine = nullptr;
    int CurPageIndex = 0;
    int CurPreviewPage = 0;  // 1-based page the preview shows, set before Print and Export
    int ReportFirstPage = 0;

    virtual int GetCount() = 0;
    virtual TfrxReportPage* GetPage(int index) = 0;
    virtual TPoint GetPageSize(int index) = 0;
    virtual void Clear() = 0;
    virtual void Initialize() = 0;
    virtual void AddObject(TfrxComponent* obj) = 0;
    virtual void AddPage(TfrxReportPage* page) = 0;
    virtual void AddSourcePage(TfrxReportPage* page) = 0;
    virtual void AddToSourcePage(TfrxComponent* obj) = 0;
    virtual void BeginPass() = 0;
    virtual void ClearFirstPassPages() = 0;
    virtual void CutObjects(int position) = 0;
    virtual void Finish() = 0;
    virtual void PasteObjects(double x, double y) = 0;
    virtual bool BandExists(TfrxBand* band) = 0;
    virtual int GetCurPosition() = 0;
    virtual double GetLastY() = 0;
    virtual void AddEmptyPage(int index) = 0;
    virtual void DeletePage(int index) = 0;
    virtual void ModifyPage(int index, TfrxReportPage* page) = 0;
    virtual void DrawPage(int index, TCanvas* canvas, double scaleX, double scaleY, double offsetX, double offsetY) = 0;
    virtual void ObjectOver(int index, int x, int y, TMouseButton button, TShiftState shift, double scale,
        double offsetX, double offsetY, bool click, TCursor& cursor) = 0;
    virtual void LoadFromStream(TStream* stream, bool allowPartialLoading = false) = 0;
    virtual void SaveToStream(TStream* stream) = 0;
    virtual bool LoadFromFile(const std::string& fileName, bool exceptionIfNotFound = false) = 0;
    virtual void SaveToFile(const std::string& fileName) = 0;
    virtual bool Print() = 0;
    virtual bool Export(class TfrxCustomExportFilter* filter) = 0;
};

// The core's engine and prepared-pages store, which every report makes for itself; defined
// with their classes (frxEngine.cpp, frxPreviewPages.cpp), so that the report knows them only
// by these bases.
std::unique_ptr<TfrxCustomEngine> frxCreateEngine(TfrxReport* report);
std::unique_ptr<TfrxCustomPreviewPages> frxCreatePreviewPages(TfrxReport* report);
