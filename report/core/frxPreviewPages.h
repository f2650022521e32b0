#pragma once
// TfrxPreviewPages: the store of a report's prepared pages and the prepared report file
// (".fp3"). Pages are kept as XML, each object as the difference from a template copy of the
// design object it came from (the source pages); a page becomes real objects again only when
// asked for, and up to 50 rebuilt pages are cached. Past a memory estimate, older pages go to
// the document's swap file. The same store draws, prints, exports and hit-tests its pages.

#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "report/core/frxClass.h"
#include "report/core/frxDictionary.h"
#include "report/core/frxOptions.h"
#include "report/core/frxPlugins.h"

class TfrxOutline;
class TfrxXMLDocument;
class TfrxXMLItem;

// Pages cross the store's interface as report pages and are report objects inside; the page
// classes derive from TfrxComponent alone (through TfrxPage), so the address is the same.
inline TfrxComponent* frxPageComponent(TfrxReportPage* page) { return reinterpret_cast<TfrxComponent*>(page); }
inline TfrxReportPage* frxAsReportPage(TfrxComponent* page) { return reinterpret_cast<TfrxReportPage*>(page); }

enum TfrxAddPageMode { amOverwrite, amAppend };

// What the print dialog shows and gives back. Range: which pages were chosen.
struct TfrxPrintDialogValues {
    enum TRange { prAll, prCurrent, prNumbers };
    std::string Printer;  // the current printer's name; the dialog may make another current
    int Copies = 1;
    bool Collate = true;
    std::string PageNumbers;
    TfrxPrintPages PrintPages = ppAll;
    bool Reverse = false;
    TRange Range = prAll;
};

// The print dialog of the output layer: fills its window from values, shows it modally and,
// on OK, writes the choices back (the copies field converted as typed, raising on bad text)
// and answers true. Without a registered dialog the values are taken as they are (tests and
// programs without the window layer).
using TfrxPrintDialogFunc = std::function<bool(TfrxReport* report, TfrxPrintDialogValues& values)>;
TfrxPrintDialogFunc& frxPrintDialogClass();

class TfrxPreviewPages : public TfrxCustomPreviewPages {
    KAROMIL_CLASS(TfrxPreviewPages, TfrxCustomPreviewPages)
public:
    explicit TfrxPreviewPages(TfrxReport* report);
    ~TfrxPreviewPages() override;

    TfrxAddPageMode AddPageMode = amOverwrite;
    int PreviewPageNo = 1;  // the page the preview shows, from 1

    // --- the store
    int GetCount() override;
    // The rebuilt page; nullptr for an empty store. Owned by the cache: valid until the cache
    // drops it or is emptied.
    TfrxReportPage* GetPage(int index) override;
    TPoint GetPageSize(int index) override;  // (0, 0) outside the pages
    void Clear() override;
    void Initialize() override;
    void AddObject(TfrxComponent* obj) override;
    void AddPage(TfrxReportPage* page) override;
    void AddSourcePage(TfrxReportPage* page) override;
    void AddToSourcePage(TfrxComponent* obj) override;
    void BeginPass() override;
    void ClearFirstPassPages() override;
    void CutObjects(int position) override;
    void Finish() override;
    void PasteObjects(double x, double y) override;
    bool BandExists(TfrxBand* band) override;
    int GetCurPosition() override;
    double GetLastY() override;
    void AddEmptyPage(int index) override;
    void DeletePage(int index) override;
    void ModifyPage(int index, TfrxReportPage* page) override;
    void AddAnchor(const std::string& text);
    TfrxXMLItem* FindAnchor(const std::string& text);  // the last of that text, case ignored
    int GetAnchorPage(const std::string& text);  // from 1; 1 when unknown

    // --- files
    void LoadFromStream(TStream* stream, bool allowPartialLoading = false) override;
    void SaveToStream(TStream* stream) override;
    bool LoadFromFile(const std::string& fileName, bool exceptionIfNotFound = false) override;
    void SaveToFile(const std::string& fileName) override;

    // --- output
    void DrawPage(int index, TCanvas* canvas, double scaleX, double scaleY, double offsetX, double offsetY) override;
    void ObjectOver(int index, int x, int y, TMouseButton button, TShiftState shift, double scale, double offsetX,
        double offsetY, bool click, TCursor& cursor) override;
    bool Print() override;  // false when cancelled in the dialog or while printing
    bool Export(TfrxCustomExportFilter* filter) override;  // false for nil, a cancel or a failure

    // --- inside
    TfrxXMLDocument* Document() const noexcept { return FDocument.get(); }
    TfrxOutline* GetOutline() const;
    TfrxDictionary* Dictionary() noexcept { return &FDictionary; }
    int SourcePageCount() const noexcept { return int(FSourcePages.size()); }
    TfrxComponent* SourcePage(int index) const { return FSourcePages.at(size_t(index)).get(); }
    int CacheCount() const noexcept { return int(FCache.size()); }
    void ClearCache();
    int64_t MemoryEstimate() const noexcept { return FMemoryEstimate; }

    static constexpr int CacheSize = 50;

private:
    TfrxXMLItem* PagesItem();
    TfrxXMLItem* CurPageItem();
    TfrxCustomEngine* GetEngine() const;
    bool FinalPass() const;
    bool Running() const;
    TfrxComponent* TemplateOf(TfrxXMLItem* item) const;
    std::string TemplateText(TfrxComponent* obj);
    void LinkSourceObjects(TfrxComponent* copy, TfrxComponent* design, int pageIndex);
    void WriteObject(TfrxComponent* obj, TfrxXMLItem* parent);
    void CheckMemory();
    TfrxComponent* RebuildPage(TfrxXMLItem* item);
    void RebuildObject(TfrxXMLItem* item, TfrxComponent* parent);
    TfrxComponent* PageObject(int index);
    void AddToCache(int index, std::unique_ptr<TfrxComponent> page);
    void CutOutline();
    void PrintPage(int index, class TfrxCustomPrinter* printer, bool& docStarted);
    void ExportPage(int index, TfrxCustomExportFilter* filter, const std::set<int>& wanted, bool allPages);

    std::unique_ptr<TfrxXMLDocument> FDocument;
    TfrxDictionary FDictionary;
    std::vector<std::unique_ptr<TfrxComponent>> FSourcePages;
    std::unordered_map<const TfrxComponent*, std::string> FTemplates;  // source copy -> template text
    struct TCached {
        int Index;
        std::unique_ptr<TfrxComponent> Page;
    };
    std::vector<TCached> FCache;  // the front is the most recently used
    int FMarkPage = -1, FMarkCount = 0, FMarkOutline = 0;
    int64_t FMemoryEstimate = 0;
    int FPrintCopies = 1;  // the printer's copy count of the document being printed
};
