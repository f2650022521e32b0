#pragma once
// TfrxEngine: turns a loaded report (its pages, bands and objects) into prepared pages. It
// walks the datasets and bands, lets the objects compute their contents, lays the bands out on
// pages and columns (headers and footers, kept blocks, splitting, stretching) and hands every
// finished band to the prepared-pages store.

#include <chrono>
#include <memory>
#include <vector>

#include "report/core/frxPlugins.h"

class TfrxAggregateList;
class TfrxDataBand;
class TfrxDataSet;
class TfrxNullBand;
class TfrxReportComponent;
class TfrxReportPage;
class TfrxSubreport;
class TfrxXMLItem;

// A band shown again at the top of every new page or column.
struct TfrxHeaderListItem {
    TfrxBand* Band = nullptr;
    double Left = 0;  // the left offset of the page area when it was added
    bool AddedInKeptBlock = false;
};

class TfrxHeaderList {
public:
    void Clear() { FItems.clear(); }
    int Count() const { return int(FItems.size()); }
    TfrxHeaderListItem& Items(int index) { return FItems.at(size_t(index)); }
    void AddItem(TfrxBand* band, double left, bool addedInKeptBlock) {
        FItems.push_back({band, left, addedInKeptBlock});
    }
    void RemoveItem(TfrxBand* band);  // the first item of that band; nothing when none

private:
    std::vector<TfrxHeaderListItem> FItems;
};

class TfrxEngine : public TfrxCustomEngine {
    KAROMIL_CLASS(TfrxEngine, TfrxCustomEngine)
public:
    explicit TfrxEngine(TfrxReport* report);
    ~TfrxEngine() override;

    bool Run() override;
    void EndPage() override;
    void NewColumn() override;
    void NewPage() override;
    void ShowBand(TfrxBand* band) override;
    void ShowBandByClass(TClass bandClass) override;
    double FootersHeight() override;
    double FreeSpace() override;
    Variant GetAggregateValue(
        const std::string& name, const std::string& expression, TfrxBand* band, int flags) override;

    TfrxAggregateList* Aggregates() const noexcept { return FAggregates.get(); }
    TfrxHeaderList* HeaderList() noexcept { return &FHeaderList; }
    // The band whose preparation evaluates aggregate functions.
    TfrxBand* CurBand() const noexcept { return FCurBand; }

private:
    // --- the run
    bool InitRun();
    void DoneRun();
    bool RunDialogPages();
    void RunReportPages();
    void RunPage(TfrxReportPage* page);
    void RunPageBody(TfrxReportPage* page);
    void RunDataBands(TfrxComponent* owner);
    void BuildBandTree(TfrxReportPage* page, bool vertical);
    bool HasDetailRows(TfrxComponent* owner, bool printIfEmpty);
    void ShowGroupHeaders(TfrxBand* group, int from, bool reset);
    void ShowGroupFooters(TfrxBand* group, int to);
    void CheckGroupBreak(TfrxDataBand* band, TfrxBand* group, int cutPosition, double rowTop);
    void ResetRepeatedValues(TfrxBand* band);
    // A data band's loop starts at its dataset's first row, its counters at one; returns the dataset.
    TfrxDataSet* StartDataLoop(TfrxDataBand* band);
    void NotifyRow(TfrxBand* band);
    void ShowPageObjects(TfrxReportPage* page);
    void AddBandOutline(TfrxBand* band);
    void AddPageOutline();
    void OutlineUp(TfrxBand* band);
    TfrxBand* FindBand(TClass bandClass) const;

    // --- pages, columns and band output
    void StartPage();
    void AddPageWithHeaders();
    void ShowFooter(TfrxBand* band);
    void StartColumn();
    void ShowColumnFooter();
    void OutputBand(TfrxBand* band);
    void PrepareBand(TfrxBand* band);
    void UnprepareBand(TfrxBand* band);
    void BuildShiftTree(TfrxBand* band);
    void ShiftObjects(TfrxReportComponent* parent, double delta);
    void SplitBand(TfrxBand* band);
    void StartKeep(TfrxBand* band, int position);
    void EndKeep(TfrxBand* band);
    void AdvanceColumn(TfrxDataBand* band, int cutPosition, double rowTop);
    void AddReprintHeader(TfrxBand* band);
    void RemoveReprintHeader(TfrxBand* band);
    void WriteBand(TfrxBand* band);
    int PageColumns() const;

    // --- vertical bands and subreports
    void ProcessVerticalBands(TfrxBand* band);
    void RunVerticalBands(TList* bands);
    void ShowVerticalBand(TfrxBand* band);
    void OutputVerticalBands(TfrxBand* band);
    void AddVReprintHeader(TfrxBand* band);
    void RemoveVReprintHeader(TfrxBand* band);
    void MoveObjectsIntoVerticalBands(TfrxReportPage* page, TfrxBand* band);
    void RunSubreports(TfrxBand* band);
    void PrintSubreportsOnParent(TfrxBand* band);
    void RunSubreportPage(TfrxSubreport* subreport);
    void SetAddPageMode(bool append);

    std::unique_ptr<TfrxAggregateList> FAggregates;
    TfrxHeaderList FHeaderList;
    TfrxBand* FColumnFooter = nullptr;
    TfrxBand* FPageFooter = nullptr;
    TfrxReportPage* FPage = nullptr;
    TfrxBand* FCurBand = nullptr;
    TfrxBand* FOutputTo = nullptr;  // subreports printed on their parent collect here
    double FLeftOffset = 0;
    double FColumnStart = 0;
    bool FFirstPage = false, FLastPage = false, FReprinting = false, FRowPending = false, FReportStart = false;
    // The kept block: its owner band, where it began on the page and in the outline.
    bool FKeeping = false;
    TfrxBand* FKeepBand = nullptr;
    int FKeepPosition = 0;
    TfrxXMLItem* FKeepOutline = nullptr;
    // Vertical bands: the horizontal band they are run in, its object counts where each page
    // width begins, and the vertical headers shown again at the left of every page width.
    TfrxBand* FVHost = nullptr;
    std::vector<int> FVMarks;
    std::vector<TfrxBand*> FVHeaderList;
    int FVPageSegment = 0;  // the page width of a new page within a run of them
    // The subreport pages being run, outermost first: a page met again would recurse for ever.
    std::vector<TfrxReportPage*> FSubreportPath;
    bool FPageStarting = false;  // the headers of a new page are being shown
    std::chrono::steady_clock::time_point FLastEvents;  // when pending events were last handled
};
