#pragma once
// Aggregates: the totals (SUM, AVG, MIN, MAX, COUNT) that text objects in footers and summaries
// show. Before a run every aggregate call in those texts becomes an accumulator; the engine
// feeds it the rows of its data band, and the script's aggregate function reads it back when
// the footer's text is computed. Accumulators are reset after the band that shows them, unless
// they are running totals.

#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/Variant.h"

class TList;
class TfrxBand;
class TfrxComponent;
class TfrxReportServices;

enum TfrxAggregateFunction { agSum, agAvg, agMin, agMax, agCount };

class TfrxAggregateItem {
public:
    TfrxAggregateFunction Func = agCount;
    TfrxBand* DataBand = nullptr;  // whose rows feed it
    TfrxBand* ParentBand = nullptr;  // the band that shows it
    bool CountInvisibleRows = false;  // flags bit 0
    bool DontReset = false;  // flags bit 1: a running total
    bool IsPageFooter = false;
    std::string Expression;  // as written in the call, trimmed
    std::string MemoName;  // the text object holding the call
    std::string AggregateText;  // the whole call, trimmed
    TfrxReportServices* Report = nullptr;

    int Count = 0;
    Variant Value = Variant::Null();
    // Per vertical column (index 1 and up); empty while no column row was taken.
    std::vector<Variant> VValues;
    std::vector<int> VCounts;
    int VColumn = 0;
    bool Keeping = false;
    int KeptCount = 0;
    Variant KeptValue = Variant::Null();

    void Calc();  // takes the current row
    void Reset();
    // Combines a value into an accumulated one by the function (sum, minimum, maximum).
    void Combine(Variant& into, const Variant& v) const;
    Variant Result() const;
};

class TfrxAggregateList {
public:
    explicit TfrxAggregateList(TfrxComponent* report);  // the report whose pages it scans
    ~TfrxAggregateList();
    TfrxAggregateList(const TfrxAggregateList&) = delete;
    TfrxAggregateList& operator=(const TfrxAggregateList&) = delete;

    void Clear();
    int Count() const { return int(FItems.size()); }
    TfrxAggregateItem* Items(int index) const { return FItems.at(size_t(index)).get(); }

    // Finds the aggregate calls of a report page from its master band lists (the engine's
    // band tree): footers and group footers of each data band and its details, the own texts
    // of vertical data bands, and the page footer, column footer and summary.
    void AddPageAggregates(TfrxComponent* page, TList* horizontalMasters, TList* verticalMasters);
    // The calls in one text object (a memo), fed by defaultBand unless they name a band.
    void AddAggregates(TfrxComponent* memo, TfrxBand* defaultBand);
    // Every item fed by the data band takes the current row.
    void AddValue(TfrxBand* dataBand, int vColumn = 0);
    // The matching item's value; Null when none matches. dataBand nil matches any.
    Variant GetValue(TfrxBand* parentBand, int vColumn, int flags, TfrxBand* dataBand, const std::string& expression,
        const std::string& name);
    void ResetBand(TfrxBand* band);
    void ResetAll();  // also running totals (between the passes)
    void StartKeep();
    void EndKeep();

private:
    void ScanExpression(const std::u32string& text, TfrxComponent* memo, TfrxBand* defaultBand, int depth);
    void ScanName(const std::string& word, TfrxComponent* memo, TfrxBand* defaultBand, int depth);
    void ParseAggregate(
        const std::string& call, const std::vector<std::string>& args, TfrxComponent* memo, TfrxBand* defaultBand);
    TfrxReportServices* Services() const;
    TfrxComponent* FReport;
    std::vector<std::unique_ptr<TfrxAggregateItem>> FItems;
};
