// The engine's nested layouts: vertical bands, whose rows run across the page inside a
// horizontal band (and over a run of pages when they pass the page width), and subreports,
// which print another report page below their band or into it.

#include <algorithm>
#include <tuple>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"
#include "report/core/frxAggregate.h"
#include "report/core/frxBands.h"
#include "report/core/frxDataSet.h"
#include "report/core/frxEngine.h"
#include "report/core/frxMemoView.h"
#include "report/core/frxObjects.h"
#include "report/core/frxPreviewPages.h"
#include "report/core/frxReport.h"
#include "report/core/frxReportPage.h"
#include "report/core/frxText.h"
#include "report/core/frxView.h"

namespace {

constexpr double kEpsilon = 0.0001;

const char* const kSubreportLoop = "Podsestava %s vede zpět na stránku %s, která se již tiskne";

template <class T>
bool IsKind(const TObject* o) {
    return dynamic_cast<const T*>(o) != nullptr;
}

bool IsFooterKind(const TfrxBand* band) { return IsKind<TfrxFooter>(band) || IsKind<TfrxGroupFooter>(band); }

bool Reprints(const TfrxBand* band) {
    if (auto* h = dynamic_cast<const TfrxHeader*>(band)) return h->ReprintOnNewPage;
    if (auto* g = dynamic_cast<const TfrxGroupHeader*>(band)) return g->ReprintOnNewPage;
    return false;
}

// Where a run of output ended: a later page beats an earlier one, then a later column, then
// a lower position.
struct TEndPosition {
    int Page;
    int Column;
    double Y;
    bool operator<(const TEndPosition& o) const { return std::tie(Page, Column, Y) < std::tie(o.Page, o.Column, o.Y); }
};

}  // namespace

void TfrxEngine::SetAddPageMode(bool append) {
    if (auto* pages = dynamic_cast<TfrxPreviewPages*>(PreviewPages))
        pages->AddPageMode = append ? amAppend : amOverwrite;
}

// --- vertical bands -------------------------------------------------------------------------

void TfrxEngine::MoveObjectsIntoVerticalBands(TfrxReportPage* page, TfrxBand* band) {
    std::vector<TfrxBand*> vbands;
    for (int i = 0; i < page->ChildCount(); ++i)
        if (auto* vb = dynamic_cast<TfrxBand*>(page->Child(i)))
            if (vb->Vertical) vbands.push_back(vb);
    if (vbands.empty()) return;
    std::vector<TfrxComponent*> objects;
    for (int i = 0; i < band->ChildCount(); ++i) objects.push_back(band->Child(i));
    for (TfrxComponent* c : objects) {
        auto it = std::find_if(vbands.begin(), vbands.end(), [c](TfrxBand* vb) {
            return c->GetLeft() >= vb->GetLeft() - kEpsilon &&
                vb->GetLeft() + vb->GetWidth() + kEpsilon >= c->GetLeft() + c->GetWidth();
        });
        if (it == vbands.end()) continue;
        TfrxBand* vb = *it;
        c->SetParent(vb);
        c->HorizontalBand = band;
        c->SetLeft(c->GetLeft() - vb->GetLeft());
        band->HasVBands = true;
    }
}

void TfrxEngine::ProcessVerticalBands(TfrxBand* band) {
    FVHost = band;
    band->OriginalObjectsCount = band->ChildCount();
    band->AllowSplit = false;
    FVHeaderList.clear();
    FVMarks.assign(1, 0);
    CurVColumn = 0;
    if (auto* page = dynamic_cast<TfrxReportPage*>(band->GetParent())) RunVerticalBands(page->VerticalBands());
    FVMarks.push_back(band->ChildCount());
}

void TfrxEngine::RunVerticalBands(TList* bands) {
    for (int b = 0; b < bands->Count() && !Report->Terminated; ++b) {
        auto* band = dynamic_cast<TfrxDataBand*>(static_cast<TfrxBand*>(bands->Items(b)));
        if (!band || !band->GetDataSet()) continue;
        TfrxDataSet* ds = StartDataLoop(band);
        bool first = true;
        while (!ds->Eof()) {
            if (first) {
                ShowBand(band->Header);
                AddVReprintHeader(band->Header);
            }
            if (band->Group) {
                if (first) ShowGroupHeaders(band->Group, 0, true);
                else CheckGroupBreak(band, band->Group, 0, 0);
            }
            CurLineNo = band->LineN;
            CurLineNoThrough = band->LineThrough;
            ShowBand(band);
            NotifyRow(band);
            ++band->LineN;
            ++band->LineThrough;
            RunVerticalBands(band->SubBands());
            if (band->FooterAfterEach) ShowBand(band->Footer);
            first = false;
            ds->Next();
            if ((band->GetRowCount() != 0 && band->GetRowCount() < band->LineN) || Report->Terminated) break;
        }
        // The group footers follow printed rows only, as below horizontal bands; a band
        // without rows closes no group it never opened.
        if (!first) {
            if (band->Group) ShowGroupFooters(band->Group, 0);
            RemoveVReprintHeader(band->Header);
            if (!band->FooterAfterEach) ShowBand(band->Footer);
        }
    }
}

void TfrxEngine::ShowVerticalBand(TfrxBand* band) {
    ++CurVColumn;
    FCurBand = IsFooterKind(band) ? band : FVHost;
    Report->CurrentObjectName = band->GetName();
    band->BeforePrint();
    Report->NotifyBeforePrint(band);
    if (band->GetVisible() && FVHost) {
        // Sound: a new page width begins only after something was placed on this one; a band
        // wider than the page would otherwise start width after width for ever.
        if (CurX > 0 && PageWidth < CurX + band->GetWidth()) {
            CurX = 0;
            FVMarks.push_back(FVHost->ChildCount());
            const std::vector<TfrxBand*> headers = FVHeaderList;
            for (TfrxBand* header : headers) ShowBand(header);
        }
        std::vector<TfrxReportComponent*> objects;
        for (int i = 0; i < band->ChildCount(); ++i)
            if (auto* c = dynamic_cast<TfrxReportComponent*>(band->Child(i)))
                if (c->HorizontalBand == FVHost) objects.push_back(c);
        for (TfrxReportComponent* c : objects) {
            Report->CurrentObjectName = c->GetName();
            c->BeforePrint();
            Report->NotifyBeforePrint(c);
            c->GetData();
            Report->DoNotifyEvent(c, c->OnAfterData);
            if (auto* copy = dynamic_cast<TfrxComponent*>(c->ClassType()->CreateComponent(FVHost))) {
                copy->Assign(c);
                copy->DictionaryName = c->DictionaryName;
                copy->SourceObject = c->SourceObject;
                copy->SetLeft(c->GetLeft() + CurX);
            }
            c->AfterPrint();
        }
        CurX += band->GetWidth();
    }
    Report->NotifyAfterPrint(band);
    band->AfterPrint();
    if (FVHost) FAggregates->AddValue(FVHost, CurVColumn);
    if (IsFooterKind(band)) FAggregates->ResetBand(band);
}

void TfrxEngine::OutputVerticalBands(TfrxBand* band) {
    std::vector<TfrxComponent*> all;
    for (int i = 0; i < band->ChildCount(); ++i) all.push_back(band->Child(i));
    const std::vector<int> marks = FVMarks;
    auto objects = OnScopeExit([&] {
        band->Objects()->Clear();
        for (TfrxComponent* c : all) band->Objects()->Add(c);
    });
    auto segment = [&](size_t k) {
        band->Objects()->Clear();
        const int from = std::clamp(marks[k], 0, int(all.size()));
        const int to = std::clamp(marks[k + 1], from, int(all.size()));
        for (int i = from; i < to; ++i) band->Objects()->Add(all[size_t(i)]);
    };
    // Sound: a host among the headers of a new page (column titles in the page header) writes
    // only the width of that page; going on to the next pages from there started a new page
    // from inside the start of one, for ever.
    if (FPageStarting) {
        if (size_t(FVPageSegment) + 1 < marks.size()) {
            segment(size_t(FVPageSegment));
            WriteBand(band);
        }
        return;
    }
    const int savedPage = PreviewPages->CurPageIndex;
    const double savedX = CurX, savedY = CurY;
    // Sound: a kept block stays where it is; the page widths of this band are not a page break
    // that should carry it along.
    TRollback<bool> keeping(FKeeping, false);
    TRollback<TfrxBand*> keepBand(FKeepBand);
    SetAddPageMode(false);
    auto restore = OnScopeExit([&] {
        PreviewPages->CurPageIndex = savedPage;
        CurX = savedX;
        CurY = savedY;
        SetAddPageMode(true);
    });
    for (size_t k = 0; k + 1 < marks.size(); ++k) {
        segment(k);
        WriteBand(band);
        if (k + 2 == marks.size()) {
            EndPage();
        } else {
            TRollback<int> next(FVPageSegment, int(k) + 1);
            NewPage();
        }
    }
}

void TfrxEngine::AddVReprintHeader(TfrxBand* band) {
    if (band && Reprints(band)) FVHeaderList.push_back(band);
}

void TfrxEngine::RemoveVReprintHeader(TfrxBand* band) {
    auto it = std::find(FVHeaderList.begin(), FVHeaderList.end(), band);
    if (band && it != FVHeaderList.end()) FVHeaderList.erase(it);
}

// --- subreports ------------------------------------------------------------------------------

void TfrxEngine::RunSubreportPage(TfrxSubreport* subreport) {
    TfrxReportPage* page = subreport->GetPage();
    // Sound: a page that leads back to itself, directly or through further subreports, is an
    // error instead of a recursion that ends only when the stack overflows.
    if (page == FPage || std::find(FSubreportPath.begin(), FSubreportPath.end(), page) != FSubreportPath.end())
        throw Exception(Format(kSubreportLoop, {Variant(subreport->GetName()), Variant(page->GetName())}));
    FSubreportPath.push_back(page);
    auto pop = OnScopeExit([this] { FSubreportPath.pop_back(); });
    RunPage(page);
}

void TfrxEngine::RunSubreports(TfrxBand* band) {
    // Every band shown passes here: the class table answers without a dynamic cast.
    std::vector<TfrxSubreport*> subreports;
    for (int i = 0; i < band->ChildCount(); ++i)
        if (band->Child(i)->InheritsFrom(TfrxSubreport::StaticClass())) {
            auto* s = static_cast<TfrxSubreport*>(band->Child(i));
            if (s->GetVisible() && !s->PrintOnParent && s->GetPage()) subreports.push_back(s);
        }
    if (subreports.empty()) return;
    const int savedPage = PreviewPages->CurPageIndex, savedColumn = CurColumn;
    const double savedOffset = FLeftOffset, savedX = CurX, savedY = CurY;
    TEndPosition furthest{savedPage, savedColumn, savedY};
    {
        auto offset = OnScopeExit([&] { FLeftOffset = savedOffset; });
        for (TfrxSubreport* s : subreports) {
            PreviewPages->CurPageIndex = savedPage;
            CurColumn = savedColumn;
            FLeftOffset = savedOffset + s->GetLeft();
            CurX = savedX + s->GetLeft();
            CurY = savedY - band->GetHeight() + s->GetTop();
            RunSubreportPage(s);
            furthest = std::max(furthest, TEndPosition{PreviewPages->CurPageIndex, CurColumn, CurY});
        }
    }
    PreviewPages->CurPageIndex = furthest.Page;
    CurColumn = furthest.Column;
    CurX = FLeftOffset;
    if (CurColumn > 1 && FPage)
        CurX += frxStrToFloat(FPage->GetColumnPositions()->Strings(CurColumn - 1)) * frxPixelsPerMM;
    CurY = furthest.Y;
}

void TfrxEngine::PrintSubreportsOnParent(TfrxBand* band) {
    if (FOutputTo) return;  // nested ones print where they stand in their own band
    std::vector<TfrxSubreport*> subreports;
    for (int i = 0; i < band->ChildCount(); ++i)
        if (auto* s = dynamic_cast<TfrxSubreport*>(band->Child(i)))
            if (s->GetVisible() && s->PrintOnParent && s->GetPage()) subreports.push_back(s);
    if (subreports.empty()) return;
    // A host of vertical bands already counts its own objects; its copies go too.
    if (band->OriginalObjectsCount == -1) band->OriginalObjectsCount = band->ChildCount();
    auto collector = std::make_unique<TfrxNullBand>(nullptr);
    {
        TRollback<TfrxBand*> outputTo(FOutputTo, collector.get());
        TRollback<double> x(CurX), y(CurY), offset(FLeftOffset);
        for (TfrxSubreport* s : subreports) {
            FLeftOffset = offset.Saved() + s->GetLeft();
            CurX = x.Saved() + s->GetLeft();
            CurY = s->GetTop();
            RunSubreportPage(s);
        }
    }
    // The collected bands' objects move into the band, at their places inside it.
    std::vector<TfrxView*> views;
    TList* all = collector->GetAllObjects();
    for (int i = 0; i < all->Count(); ++i)
        if (auto* v = dynamic_cast<TfrxView*>(static_cast<TfrxComponent*>(all->Items(i))))
            if (!IsKind<TfrxSubreport>(v)) views.push_back(v);
    for (TfrxView* v : views) {
        const double left = v->GetAbsLeft(), top = v->GetAbsTop();
        v->SetParent(band);
        v->SetLeft(left);
        v->SetTop(top);
        if (auto* s = dynamic_cast<TfrxStretcheable*>(v)) s->StretchMode = smDontStretch;
    }
}
