#pragma once
// The scrolling area of the preview: its page list lays the prepared pages out in rows of one
// or two pages with 10-pixel gaps and answers where a page lies at a zoom and which page is at
// a height; the workspace paints frames, shadows and page contents, passes the mouse to the
// prepared pages' objects, implements the hand and zoom tools and keyboard scrolling, keeps
// the preview's page number in step with the scroll position and finds text on the pages.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "report/output/frxScrollWin.h"

class TMetafile;
class TfrxCustomPreviewPages;
class TfrxPreview;

// Products with the zoom become whole pixels by the nearest integer, a half to the even one.
int frxRoundZoom(double value);

struct TfrxPageItem {
    uint16_t Column = 0;  // position in its row
    uint16_t Height = 0, Width = 0;  // pixels at zoom 1
    int32_t Top = 0;  // top of the page's row at zoom 1
};

class TfrxPageList {
public:
    void Clear();
    int Count() const noexcept { return int(FItems.size()); }
    const TfrxPageItem& GetItem(int index) const { return FItems.at(size_t(index)); }
    int GetColumns() const noexcept { return FColumns; }
    void SetColumns(int value);  // and clears
    int MaxWidth() const noexcept { return FMaxWidth; }
    void AddPage(int width, int height);
    // The last page whose zoomed top is at or above y (plus a fifth of its height unless
    // exact); -1 before the first page.
    int FindPage(int y, bool exact, double zoom) const;
    // The zoomed page rectangle in layout coordinates; an A4 page for an index outside the list.
    TRect GetPageBounds(int index, int clientWidth, double zoom) const;
    TPoint GetMaxBounds(int clientWidth, double zoom) const;

private:
    int RowStart(int index) const;
    int FColumns = 1;
    std::vector<TfrxPageItem> FItems;
    int FMaxWidth = 0;
};

// The program's one search state: what the preview looks for and the match last found.
struct TfrxSearchState {
    std::string Text;
    bool CaseSensitive = false;
    bool Found = false;
    TRect Match;  // page pixels at zoom 1
    int LastRecord = -1;  // ordinal of the record last matched on the search page
};
TfrxSearchState& frxSearchState();

class TfrxPreviewWorkspace : public TfrxScrollWin {
    KAROMIL_CLASS(TfrxPreviewWorkspace, TfrxScrollWin)
public:
    explicit TfrxPreviewWorkspace(TfrxPreview* preview);
    ~TfrxPreviewWorkspace() override;

    TfrxPageList* PageList() noexcept { return &FPageList; }
    TfrxCustomPreviewPages* GetPreviewPages() const;
    TCursor DefaultCursor = crDefault;
    int SearchPage = 0;  // the page the search goes on with

    void UpdateScrollBars();
    void ScrollToPage(int pageNo);  // 1-based; the page's top 10 pixels below the window's top
    void ProcessKey(WORD key, TShiftState shift);
    // Searches the pages from SearchPage on for the search state's text, after its last match.
    void FindText();
    void ForgetSearchPage();  // the cached page drawing is stale

protected:
    void OnHScroll(TObject* sender) override;
    void OnVScroll(TObject* sender) override;
    void Paint() override;
    void Resize() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

private:
    void HitTest(int x, int y, TMouseButton button, TShiftState shift, bool click);
    bool SearchPageRecords();
    TfrxPreview* FPreview;
    TfrxPageList FPageList;
    bool FInScroll = false;
    bool FDragging = false;
    std::unique_ptr<TMetafile> FSearchMetafile;
    int FSearchMetafilePage = -1;
    int FLastX = 0, FLastY = 0;
    int FPaintedX = 0, FPaintedY = 0;
};
