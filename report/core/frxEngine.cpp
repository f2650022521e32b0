#include "report/core/frxEngine.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <functional>

#include "platform/gui/Application.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"
#include "report/core/frxAggregate.h"
#include "report/core/frxBands.h"
#include "report/core/frxDataSet.h"
#include "report/core/frxDialogForm.h"
#include "report/core/frxDialogPage.h"
#include "report/core/frxMemoView.h"
#include "report/core/frxObjects.h"
#include "report/core/frxOptions.h"
#include "report/core/frxReport.h"
#include "report/core/frxReportPage.h"
#include "report/core/frxRes.h"
#include "report/core/frxText.h"
#include "report/core/frxView.h"

KAROMIL_IMPLEMENT_CLASS(TfrxEngine, TfrxCustomEngine)

namespace {

template <class T>
bool IsKind(const TObject* o) {
    return dynamic_cast<const T*>(o) != nullptr;
}

TfrxBand* BandAt(TList* list, int i) { return static_cast<TfrxBand*>(list->Items(i)); }

// Band objects are looked at several times per row: the class table answers without the cost
// of a dynamic cast.
TfrxReportComponent* ObjectAt(TfrxComponent* parent, int i) {
    TfrxComponent* c = parent->Child(i);
    return c->InheritsFrom(TfrxReportComponent::StaticClass()) ? static_cast<TfrxReportComponent*>(c) : nullptr;
}

TfrxDataSet* DataSetOf(TfrxBand* band) {
    auto* data = dynamic_cast<TfrxDataBand*>(band);
    return data ? data->GetDataSet() : nullptr;
}

// Objects whose stretched height stays below this much more than their height did not grow.
constexpr double kEpsilon = 0.0001;

const char* const kBandDoesNotFit = "Pruh %s se nevejde na stránku";

}  // namespace

void TfrxHeaderList::RemoveItem(TfrxBand* band) {
    if (!band) return;
    auto it = std::find_if(
        FItems.begin(), FItems.end(), [band](const TfrxHeaderListItem& i) { return i.Band == band; });
    if (it != FItems.end()) FItems.erase(it);
}

// --- the engine's base, where it asks the report --------------------------------------------

bool TfrxCustomEngine::GetDoublePass() const { return Report && Report->GetEngineOptions()->DoublePass; }

void TfrxCustomEngine::StopReport() {
    if (Report) Report->SetTerminated(true);
}

std::unique_ptr<TfrxCustomEngine> frxCreateEngine(TfrxReport* report) { return std::make_unique<TfrxEngine>(report); }

TfrxEngine::TfrxEngine(TfrxReport* report)
    : TfrxCustomEngine(report), FAggregates(std::make_unique<TfrxAggregateList>(report)) {}

TfrxEngine::~TfrxEngine() = default;

// --- the run --------------------------------------------------------------------------------

bool TfrxEngine::Run() {
    bool result = false;
    auto done = OnScopeExit([this] { DoneRun(); });
    if (!InitRun()) return false;
    Report->DataSets()->Initialize();
    Report->DoNotifyEvent(Report, Report->OnStartReport);
    if (!RunDialogPages()) {
        Report->DoNotifyEvent(Report, Report->OnStopReport);
        return false;
    }
    {
        auto stop = OnScopeExit([this] { Report->DoNotifyEvent(Report, Report->OnStopReport); });
        FinalPass = !GetDoublePass();
        TotalPages = 0;
        PreviewPages->BeginPass();
        // A run that fails leaves none of its pages behind: half a report must not look like
        // a finished one in the preview or on paper.
        try {
            RunReportPages();
            if (GetDoublePass() && !Report->Terminated) {
                TotalPages = PreviewPages->GetCount();
                PreviewPages->ClearFirstPassPages();
                FAggregates->ResetAll();
                FinalPass = true;
                RunReportPages();
            }
        } catch (...) {
            PreviewPages->ClearFirstPassPages();
            throw;
        }
        result = true;
    }
    return result;
}

bool TfrxEngine::InitRun() {
    PreviewPages->Initialize();
    StartDate = Date();
    StartTime = Time();
    Running = true;
    FKeeping = false;
    FKeepBand = nullptr;
    CurVColumn = 0;
    FOutputTo = nullptr;
    FVHost = nullptr;
    FVMarks.clear();
    FVHeaderList.clear();
    FSubreportPath.clear();
    FPageStarting = false;
    FVPageSegment = 0;
    FAggregates->Clear();
    FHeaderList.Clear();
    for (int i = 0; i < Report->GetPageCount(); ++i) {
        TfrxComponent* p = Report->GetPageAt(i);
        if (auto* page = dynamic_cast<TfrxReportPage*>(p)) {
            FPage = page;
            PreviewPages->AddSourcePage(page);
            BuildBandTree(page, false);
            BuildBandTree(page, true);
            FAggregates->AddPageAggregates(page, page->HorizontalBands(), page->VerticalBands());
        } else if (auto* dialog = dynamic_cast<TfrxDialogPage*>(p)) {
            dialog->InitDialog();
        }
    }
    TfrxDataSet* reportData = Report->GetDataSet();
    for (int i = 0; i < Report->GetPageCount(); ++i) {
        auto* page = dynamic_cast<TfrxReportPage*>(Report->GetPageAt(i));
        if (!page) continue;
        if (reportData && reportData == page->GetDataSet()) {
            Report->ErrorList->Add("Cannot use the same dataset for Report.DataSet and Page.DataSet");
            break;
        }
        TList* masters = page->HorizontalBands();
        for (int j = 0; j < masters->Count(); ++j) {
            TfrxDataSet* ds = DataSetOf(BandAt(masters, j));
            if (reportData && ds == reportData) {
                Report->ErrorList->Add("Cannot use the same dataset for Report.DataSet and Band.DataSet");
                break;
            }
            if (page->GetDataSet() && ds == page->GetDataSet()) {
                Report->ErrorList->Add("Cannot use the same dataset for Page.DataSet and Band.DataSet");
                break;
            }
        }
    }
    return Report->ErrorList->Count() == 0;
}

void TfrxEngine::DoneRun() {
    Report->DataSets()->Finalize();
    PreviewPages->Finish();
    Running = false;
}

bool TfrxEngine::RunDialogPages() {
    for (int i = 0; i < Report->GetPageCount(); ++i) {
        auto* page = dynamic_cast<TfrxDialogPage*>(Report->GetPageAt(i));
        if (!page || !page->GetVisible()) continue;
        page->Form()->SetBorderStyle(page->BorderStyle);
        if (page->Form()->ControlCount() == 0) continue;
        if (page->ShowModal() == mrCancel) return false;
    }
    return true;
}

void TfrxEngine::RunReportPages() {
    FReportStart = true;
    auto runPages = [this] {
        for (int i = 0; i < Report->GetPageCount(); ++i) {
            auto* page = dynamic_cast<TfrxReportPage*>(Report->GetPageAt(i));
            if (!page || !page->GetVisible() || page->IsSubreportPage()) continue;
            RunPage(page);
            if (Report->Terminated) return;
            FReportStart = false;
        }
    };
    if (TfrxDataSet* ds = Report->GetDataSet()) {
        ds->First();
        while (!ds->Eof() && !Report->Terminated) {
            runPages();
            ds->Next();
        }
    } else {
        runPages();
    }
}

void TfrxEngine::RunPage(TfrxReportPage* page) {
    // A subreport's page runs only its data, on the pages (and with the headers and footers)
    // of the page that holds the subreport.
    if (page->IsSubreportPage()) {
        RunDataBands(page);
        return;
    }
    FPage = page;
    FRowPending = true;
    Report->DoNotifyEvent(page, page->OnBeforePrint);
    if (TfrxDataSet* ds = page->GetDataSet()) {
        ds->First();
        while (!ds->Eof() && !Report->Terminated) {
            RunPageBody(page);
            ds->Next();
        }
    } else {
        RunPageBody(page);
    }
    Report->DoNotifyEvent(page, page->OnAfterPrint);
}

void TfrxEngine::RunPageBody(TfrxReportPage* page) {
    if (!HasDetailRows(page, Report->GetEngineOptions()->PrintIfEmpty)) return;
    StartPage();
    ShowPageObjects(page);
    if (Report->OnManualBuild) Report->OnManualBuild(page);
    else if (!Trim(page->OnManualBuild).empty()) Report->DoNotifyEvent(page, page->OnManualBuild);
    else RunDataBands(page);
    ShowBandByClass(TfrxReportSummary::StaticClass());
    FLastPage = true;
    EndPage();
    FLastPage = false;
}

void TfrxEngine::ShowPageObjects(TfrxReportPage* page) {
    // The page's loose objects travel in a band that is not their parent.
    auto band = std::make_unique<TfrxNullBand>(nullptr);
    for (int i = 0; i < page->ChildCount(); ++i)
        if (!IsKind<TfrxBand>(page->Child(i))) band->Objects()->Add(page->Child(i));
    if (band->Objects()->Count() > 0) ShowBand(band.get());
    band->Objects()->Clear();
}

bool TfrxEngine::HasDetailRows(TfrxComponent* owner, bool printIfEmpty) {
    if (printIfEmpty) return true;
    TList* details = nullptr;
    bool result = false;
    if (auto* page = dynamic_cast<TfrxReportPage*>(owner)) {
        details = page->HorizontalBands();
    } else if (auto* band = dynamic_cast<TfrxBand*>(owner)) {
        details = band->SubBands();
        result = details->Count() == 0;
    }
    if (!details) return result;
    for (int i = 0; i < details->Count(); ++i) {
        auto* band = dynamic_cast<TfrxDataBand*>(BandAt(details, i));
        if (!band || !band->GetDataSet()) continue;
        Report->DoNotifyEvent(band, band->OnMasterDetail);
        TfrxDataSet* ds = band->GetDataSet();
        ds->First();
        while (!ds->Eof()) {
            if (HasDetailRows(band, band->PrintIfDetailEmpty)) {
                result = true;
                break;
            }
            ds->Next();
        }
    }
    return result;
}

void TfrxEngine::RunDataBands(TfrxComponent* owner) {
    // The preview and the progress window stay live (and their Cancel heard) with events
    // handled every 20 ms; handling them at every row of a long list cost more than the row.
    const auto now = std::chrono::steady_clock::now();
    if (now - FLastEvents >= std::chrono::milliseconds(20)) {
        FLastEvents = now;
        Application->ProcessMessages();
    }
    if (Report->Terminated) return;
    TList* bands = nullptr;
    if (auto* page = dynamic_cast<TfrxReportPage*>(owner)) bands = page->HorizontalBands();
    else if (auto* band = dynamic_cast<TfrxBand*>(owner)) bands = band->SubBands();
    if (!bands) return;
    double rowTop = CurY;
    for (int b = 0; b < bands->Count(); ++b) {
        auto* band = dynamic_cast<TfrxDataBand*>(BandAt(bands, b));
        if (!band || !band->GetDataSet()) continue;
        TfrxDataSet* ds = StartDataLoop(band);
        bool first = true;
        int cutPosition = 0, footerPosition = 0;
        while (!ds->Eof()) {
            if (HasDetailRows(band, band->PrintIfDetailEmpty)) {
                if (first) {
                    if (band->KeepTogether) StartKeep(band, 0);
                    if (band->KeepHeader && band->Header) StartKeep(band, 0);
                    if (band->Header) {
                        ShowBand(band->Header);
                        AddReprintHeader(band->Header);
                    }
                } else if (!band->Group && band->KeepTogether) {
                    StartKeep(band, 0);
                }
                if (band->Group) {
                    if (first) ShowGroupHeaders(band->Group, 0, true);
                    else CheckGroupBreak(band, band->Group, cutPosition, rowTop);
                }
                if (band->KeepFooter) footerPosition = PreviewPages->GetCurPosition();
                if (band->Columns > 1 && band->CurrentColumn == 1) cutPosition = PreviewPages->GetCurPosition();
                rowTop = CurY;
                CurLineNo = band->LineN;
                CurLineNoThrough = band->LineThrough;
                ShowBand(band);
                NotifyRow(band);
                if (first && band->KeepHeader && band->Header) EndKeep(band);
                ++band->LineN;
                ++band->LineThrough;
                AdvanceColumn(band, cutPosition, rowTop);
                AddBandOutline(band);
                RunDataBands(band);
                OutlineUp(band);
                first = false;
            }
            FRowPending = false;
            if (band->FooterAfterEach) ShowBand(band->Footer);
            if (!band->Group && band->KeepTogether) EndKeep(band);
            ds->Next();
            if ((band->GetRowCount() != 0 && band->GetRowCount() < band->LineN) || Report->Terminated) break;
        }
        band->SetCurrentColumn(band->Columns);
        AdvanceColumn(band, cutPosition, rowTop);
        if (!first) {
            if (band->Group) ShowGroupFooters(band->Group, 0);
            if (!band->FooterAfterEach) {
                if (band->KeepFooter) StartKeep(band, footerPosition);
                ShowBand(band->Footer);
                if (band->KeepFooter) EndKeep(band);
            }
            RemoveReprintHeader(band->Header);
            if (band->Group && band->KeepTogether) EndKeep(band);
        }
        if (Report->Terminated) break;
        FRowPending = false;
    }
}

void TfrxEngine::ShowGroupHeaders(TfrxBand* group, int from, bool reset) {
    TList* chain = group->SubBands();
    for (int i = from; i < chain->Count(); ++i) {
        auto* g = static_cast<TfrxGroupHeader*>(chain->Items(i));
        if (reset) {
            g->LineN = 1;
            g->LineThrough = 1;
            ResetRepeatedValues(g);
        } else {
            ++g->LineN;
            ++g->LineThrough;
            if (i + 1 < chain->Count()) static_cast<TfrxBand*>(chain->Items(i + 1))->LineN = 0;
        }
        CurLineNo = g->LineN;
        CurLineNoThrough = g->LineThrough;
        Report->CurrentObjectName = g->GetName();
        g->ConditionValue = Report->Calc(g->Condition);
        if (g->KeepTogether) StartKeep(g, 0);
        ShowBand(g);
        if (g->Vertical) {
            AddVReprintHeader(g);
        } else {
            AddBandOutline(g);
            AddReprintHeader(g);
        }
    }
}

void TfrxEngine::ShowGroupFooters(TfrxBand* group, int to) {
    TList* chain = group->SubBands();
    for (int i = chain->Count() - 1; i >= to; --i) {
        auto* g = static_cast<TfrxGroupHeader*>(chain->Items(i));
        ShowBand(g->Footer);
        if (g->Vertical) {
            RemoveVReprintHeader(g);
        } else {
            OutlineUp(g);
            RemoveReprintHeader(g);
        }
        if (g->KeepTogether) EndKeep(g);
    }
}

void TfrxEngine::CheckGroupBreak(TfrxDataBand* band, TfrxBand* group, int cutPosition, double rowTop) {
    TList* chain = group->SubBands();
    for (int i = 0; i < chain->Count(); ++i) {
        auto* g = static_cast<TfrxGroupHeader*>(chain->Items(i));
        Report->CurrentObjectName = g->GetName();
        if (Report->Calc(g->Condition) == g->ConditionValue) continue;
        band->SetCurrentColumn(band->Columns);
        // Sound: the columns of the closing row are cut from where that row began, so nothing
        // printed above it (headers, earlier rows) is moved with them.
        AdvanceColumn(band, cutPosition, rowTop);
        TfrxDataSet* ds = band->GetDataSet();
        bool moved = true;
        try {
            ds->Prior();
        } catch (const Exception&) {
            moved = false;  // the footers are then computed on the new group's first record
        }
        ShowGroupFooters(group, i);
        if (moved) ds->Next();
        ShowGroupHeaders(group, i, false);
        band->LineN = 1;
        ResetRepeatedValues(band);
        return;
    }
}

TfrxDataSet* TfrxEngine::StartDataLoop(TfrxDataBand* band) {
    TfrxDataSet* ds = band->GetDataSet();
    ds->First();
    band->LineN = 1;
    band->LineThrough = 1;
    band->SetCurrentColumn(1);
    ResetRepeatedValues(band);
    return ds;
}

void TfrxEngine::ResetRepeatedValues(TfrxBand* band) {
    for (int i = 0; i < band->ChildCount(); ++i)
        if (auto* memo = dynamic_cast<TfrxCustomMemoView*>(band->Child(i))) memo->LastValue = Variant::Null();
}

void TfrxEngine::NotifyRow(TfrxBand* band) {
    TList* list = NotifyList();
    for (int i = 0; i < list->Count(); ++i) static_cast<TfrxComponent*>(list->Items(i))->NotifyDataRow(band);
}

void TfrxEngine::AddPageOutline() {
    if (!FPage || FPage->OutlineText.empty() || !PreviewPages->Outline) return;
    PreviewPages->Outline->LevelRoot();
    PreviewPages->Outline->AddItem(Report->Calc(FPage->OutlineText).AsString(), 0);
}

void TfrxEngine::AddBandOutline(TfrxBand* band) {
    if (band->OutlineText.empty() || !PreviewPages->Outline) return;
    Report->CurrentObjectName = band->GetName();
    const std::string text = Report->Calc(band->OutlineText).AsString();
    PreviewPages->Outline->AddItem(text, int(std::lround(CurY - band->GetHeight())));
}

void TfrxEngine::OutlineUp(TfrxBand* band) {
    if (!band->OutlineText.empty() && PreviewPages->Outline) PreviewPages->Outline->LevelUp();
}

TfrxBand* TfrxEngine::FindBand(TClass bandClass) const {
    return FPage ? dynamic_cast<TfrxBand*>(FPage->FindBand(bandClass)) : nullptr;
}

// --- the band tree --------------------------------------------------------------------------

void TfrxEngine::BuildBandTree(TfrxReportPage* page, bool vertical) {
    page->AlignChildren();
    TList* masters = vertical ? page->VerticalBands() : page->HorizontalBands();
    masters->Clear();
    std::vector<TfrxBand*> list;
    for (int i = 0; i < page->ChildCount(); ++i) {
        auto* band = dynamic_cast<TfrxBand*>(page->Child(i));
        if (!band || band->Vertical != vertical) continue;
        band->HasVBands = false;
        if (!vertical) MoveObjectsIntoVerticalBands(page, band);
        BuildShiftTree(band);
        band->SubBands()->Clear();
        band->Header = band->Footer = band->Group = nullptr;
        if (auto* data = dynamic_cast<TfrxDataBand*>(band))
            if (!data->GetDataSet() && data->GetRowCount() > 0) {
                data->SetDataSet(data->VirtualDataSet());
                data->VirtualDataSet()->Initialize();
            }
        const int n = band->GetBandTypeIndex();
        if (n >= 4 && n <= 13) list.push_back(band);
    }
    // Sound: ordered by position as numbers, and bands at the same position all take part in
    // page order; none is dropped without a word.
    std::stable_sort(list.begin(), list.end(), [vertical](TfrxBand* a, TfrxBand* b) {
        return vertical ? a->GetLeft() < b->GetLeft() : a->GetTop() < b->GetTop();
    });
    auto error = [this](const char* key, TfrxBand* band) {
        Report->ErrorList->Add(frxGetResources()->Get(key) + " " + band->GetName());
    };
    auto remove = [&list](TfrxBand* band) { list.erase(std::find(list.begin(), list.end(), band)); };

    // Groups: a run of group headers is one chain, attached to the next data band.
    std::vector<TfrxBand*> taken;
    for (size_t i = 0; i < list.size(); ++i) {
        if (!IsKind<TfrxGroupHeader>(list[i]) || std::count(taken.begin(), taken.end(), list[i])) continue;
        TfrxBand* first = list[i];
        size_t j = i;
        while (j < list.size() && IsKind<TfrxGroupHeader>(list[j])) {
            first->SubBands()->Add(list[j]);
            taken.push_back(list[j]);
            ++j;
        }
        while (j < list.size() && !IsKind<TfrxDataBand>(list[j])) ++j;
        if (j < list.size()) list[j]->Group = first;
        else error("enUnconnGroup", first);
    }
    for (size_t i = 0; i < list.size();) {
        if (!IsKind<TfrxGroupFooter>(list[i])) {
            ++i;
            continue;
        }
        TfrxBand* footer = list[i];
        int h = int(i) - 1;
        while (h >= 0 && !IsKind<TfrxGroupHeader>(list[size_t(h)])) --h;
        if (h < 0) {
            ++i;
            continue;
        }
        list[size_t(h)]->Footer = footer;
        remove(footer);
        remove(list[size_t(h)]);
        i = size_t(h);
    }
    for (size_t i = 0; i < list.size();) {
        if (IsKind<TfrxGroupHeader>(list[i])) {
            list.erase(list.begin() + long(i));
        } else if (IsKind<TfrxGroupFooter>(list[i])) {
            error("enUnconnGFooter", list[i]);
            list.erase(list.begin() + long(i));
        } else {
            ++i;
        }
    }
    // Headers and footers next to their data band.
    for (size_t i = 0; i < list.size(); ++i) {
        if (!IsKind<TfrxDataBand>(list[i])) continue;
        TfrxBand* data = list[i];
        if (i > 0 && IsKind<TfrxHeader>(list[i - 1])) {
            data->Header = list[i - 1];
            list.erase(list.begin() + long(i - 1));
            --i;
        }
        if (i + 1 < list.size() && IsKind<TfrxFooter>(list[i + 1])) {
            data->Footer = list[i + 1];
            list.erase(list.begin() + long(i + 1));
        }
    }
    for (size_t i = 0; i < list.size();) {
        if (IsKind<TfrxHeader>(list[i]) || IsKind<TfrxFooter>(list[i])) {
            error("enUnconnHeader", list[i]);
            list.erase(list.begin() + long(i));
        } else {
            ++i;
        }
    }
    // Masters and their details, level by level.
    std::function<void(TfrxBand*, size_t)> collect = [&](TfrxBand* band, size_t from) {
        if (IsKind<TfrxDataBand6>(band)) return;
        const int own = band->GetBandTypeIndex();
        size_t k = from;
        while (k < list.size()) {
            TfrxBand* entry = list[k];
            const int n = entry->GetBandTypeIndex();
            if (n == own + 1) {
                list.erase(list.begin() + long(k));
                if (DataSetOf(entry)) band->SubBands()->Add(entry);
                collect(entry, k);
            } else if (n <= own) {
                return;
            } else {
                ++k;
            }
        }
    };
    for (size_t i = 0; i < list.size();) {
        if (!IsKind<TfrxMasterData>(list[i])) {
            ++i;
            continue;
        }
        TfrxBand* master = list[i];
        list.erase(list.begin() + long(i));
        if (DataSetOf(master)) masters->Add(master);
        collect(master, i);
    }
    for (TfrxBand* band : list) error("enBandPos", band);
}

// --- pages and columns ----------------------------------------------------------------------

int TfrxEngine::PageColumns() const { return FPage ? FPage->GetColumns() : 0; }

void TfrxEngine::StartPage() {
    FHeaderList.Clear();
    TfrxBand* title = FindBand(TfrxReportTitle::StaticClass());
    TfrxBand* header = FindBand(TfrxPageHeader::StaticClass());
    if (FPage->TitleBeforeHeader) {
        FHeaderList.AddItem(title, 0, false);
        FHeaderList.AddItem(header, 0, false);
    } else {
        FHeaderList.AddItem(header, 0, false);
        FHeaderList.AddItem(title, 0, false);
    }
    FColumnFooter = FindBand(TfrxColumnFooter::StaticClass());
    FPageFooter = FindBand(TfrxPageFooter::StaticClass());
    PageHeight = FPage->GetPaperHeight() * frxPixelsPerMM - FPage->TopMargin * frxPixelsPerMM -
        FPage->BottomMargin * frxPixelsPerMM;
    PageWidth = FPage->GetPaperWidth() * frxPixelsPerMM - FPage->LeftMargin * frxPixelsPerMM -
        FPage->RightMargin * frxPixelsPerMM;
    CurX = 0;
    CurY = 0;
    CurColumn = 1;
    FLeftOffset = 0;
    FFirstPage = true;
    FLastPage = false;
    if (PreviewPages->GetCount() > 0 && FPage->PrintOnPreviousPage) {
        PreviewPages->CurPageIndex = PreviewPages->GetCount() - 1;
        CurY = PreviewPages->GetLastY();
        ShowBandByClass(TfrxReportTitle::StaticClass());
    } else {
        AddPageWithHeaders();
    }
    if (FReportStart) PreviewPages->ReportFirstPage = PreviewPages->CurPageIndex;
    FColumnStart = CurY;
    TfrxBand* columnHeader = FindBand(TfrxColumnHeader::StaticClass());
    ShowBand(columnHeader);
    if (columnHeader) FHeaderList.AddItem(columnHeader, 0, false);
    RemoveReprintHeader(title);
    if (PreviewPages->Outline) PreviewPages->Outline->LevelRoot();
    AddPageOutline();
}

void TfrxEngine::AddPageWithHeaders() {
    TRollback<bool> starting(FPageStarting, true);
    PreviewPages->AddPage(FPage);
    CurY = 0;
    {
        // Sound: a page met again (vertical bands, subreports) keeps its one overlay.
        TRollback<bool> reprinting(FReprinting, true);
        ShowBandByClass(TfrxOverlay::StaticClass());
    }
    CurY = 0;
    const double savedX = CurX;
    for (int i = 0; i < FHeaderList.Count(); ++i) {
        TfrxHeaderListItem& item = FHeaderList.Items(i);
        CurX = item.Left;
        TfrxBand* band = item.Band;
        if (!band) continue;
        if (auto* ph = dynamic_cast<TfrxPageHeader*>(band))
            if (FFirstPage && !ph->PrintOnFirstPage) continue;
        if (FKeeping && item.AddedInKeptBlock) continue;
        band->Overflow = true;
        const int32_t line = CurLineNo, through = CurLineNoThrough;
        CurLineNo = band->LineN;
        CurLineNoThrough = band->LineThrough;
        FReprinting = true;
        if (IsKind<TfrxReportTitle>(band)) item.Band = nullptr;  // the title is shown once
        ShowBand(band);
        FReprinting = false;
        band->Overflow = false;
        CurLineNo = line;
        CurLineNoThrough = through;
    }
    CurX = savedX;
}

void TfrxEngine::AddReprintHeader(TfrxBand* band) {
    bool reprint = false;
    if (auto* h = dynamic_cast<TfrxHeader*>(band)) reprint = h->ReprintOnNewPage;
    else if (auto* g = dynamic_cast<TfrxGroupHeader*>(band)) reprint = g->ReprintOnNewPage;
    if (reprint) FHeaderList.AddItem(band, FLeftOffset, FKeeping);
}

void TfrxEngine::RemoveReprintHeader(TfrxBand* band) { FHeaderList.RemoveItem(band); }

void TfrxEngine::EndPage() {
    if (PageColumns() > 1) {
        ShowColumnFooter();
        CurX = FLeftOffset;
        CurColumn = 1;
        FColumnStart = 0;
    }
    if (FColumnFooter) ShowFooter(FColumnFooter);
    if (FPageFooter) {
        CurY = PageHeight - FPageFooter->GetHeight();
        ShowFooter(FPageFooter);
    }
    FFirstPage = false;
}

void TfrxEngine::ShowFooter(TfrxBand* band) {
    if (!band) return;
    PrepareBand(band);
    if (band->GetVisible()) {
        band->SetLeft(0);
        band->SetTop(CurY);
        bool drop = false;
        if (auto* pf = dynamic_cast<TfrxPageFooter*>(band))
            drop = (FFirstPage && !pf->PrintOnFirstPage) || (FLastPage && !pf->PrintOnLastPage);
        if (drop) {
            UnprepareBand(band);
            return;
        }
        if (!PreviewPages->BandExists(band)) WriteBand(band);
        CurY += band->GetHeight();
    }
    UnprepareBand(band);
    FAggregates->ResetBand(band);
}

void TfrxEngine::NewColumn() {
    if (CurColumn >= PageColumns()) {
        NewPage();
        return;
    }
    ShowColumnFooter();
    StartColumn();
}

void TfrxEngine::StartColumn() {
    ++CurColumn;
    TStrings* positions = FPage->GetColumnPositions();
    const double x = frxStrToFloat(positions->Strings(CurColumn - 1)) * frxPixelsPerMM;
    CurY = FColumnStart;
    for (int i = 0; i < FHeaderList.Count(); ++i) {
        TfrxHeaderListItem& item = FHeaderList.Items(i);
        TfrxBand* band = item.Band;
        if (!band) continue;
        CurX = item.Left + x;
        const bool pageHeader = IsKind<TfrxPageHeader>(band);
        if (pageHeader && CurY != 0) continue;
        // The band and its child chain, as long as the band just shown is visible or says so.
        for (TfrxBand* b = band; b;) {
            b->Overflow = true;
            PrepareBand(b);
            const bool visible = b->GetVisible();
            if (visible) {
                b->SetLeft(CurX);
                b->SetTop(CurY);
                if (!pageHeader) WriteBand(b);
                CurY += b->GetHeight();
            }
            UnprepareBand(b);
            b->Overflow = false;
            if (!visible && !b->PrintChildIfInvisible) break;
            b = b->GetChild();
        }
    }
    CurX = FLeftOffset + x;
}

void TfrxEngine::ShowColumnFooter() {
    if (!FColumnFooter) return;
    PrepareBand(FColumnFooter);
    if (FColumnFooter->GetVisible()) {
        FColumnFooter->SetLeft(CurX - FLeftOffset);
        FColumnFooter->SetTop(CurY);
        WriteBand(FColumnFooter);
    }
    UnprepareBand(FColumnFooter);
    FAggregates->ResetBand(FColumnFooter);
}

void TfrxEngine::NewPage() {
    if (FKeeping) PreviewPages->CutObjects(FKeepPosition);
    EndPage();
    AddPageWithHeaders();
    if (FKeeping) {
        FAggregates->EndKeep();
        PreviewPages->PasteObjects(0, CurY);
        if (PreviewPages->Outline) PreviewPages->Outline->ShiftItems(FKeepOutline, int(std::lround(CurY)));
        CurY = PreviewPages->GetLastY();
    }
    FKeeping = false;
    FKeepBand = nullptr;
    AddPageOutline();
}

double TfrxEngine::FootersHeight() {
    double h = 0;
    if (FColumnFooter) h += FColumnFooter->GetHeight();
    if (FPageFooter) h += FPageFooter->GetHeight();
    return h;
}

double TfrxEngine::FreeSpace() { return PageHeight - FootersHeight() - CurY; }

// --- band output ----------------------------------------------------------------------------

void TfrxEngine::WriteBand(TfrxBand* band) { PreviewPages->AddObject(band); }

void TfrxEngine::ShowBand(TfrxBand* band) {
    if (!band) return;
    if (band->KeepChild) StartKeep(band, 0);
    OutputBand(band);
    if (TfrxBand* child = band->GetChild())
        if (band->GetVisible() || band->PrintChildIfInvisible) ShowBand(child);
    if (band->KeepChild) EndKeep(band);
    if (IsKind<TfrxDataBand>(band)) FAggregates->AddValue(band, 0);
}

void TfrxEngine::ShowBandByClass(TClass bandClass) { ShowBand(FindBand(bandClass)); }

void TfrxEngine::OutputBand(TfrxBand* band) {
    if (band->Vertical) {
        ShowVerticalBand(band);
        return;
    }
    // A host of vertical bands first runs them: their rows become copies of its objects.
    TfrxBand* vhost = nullptr;
    std::vector<int> vmarks;
    if (band->HasVBands) {
        const double savedX = CurX;
        Report->CurrentObjectName = band->GetName();
        band->BeforePrint();
        Report->NotifyBeforePrint(band);
        ProcessVerticalBands(band);
        CurX = savedX;
        // A break after the host starts a new page; the pages of its widths are not reused.
        // Among the headers of a page the mode stays: the page is one of a run being written.
        if (!FPageStarting) SetAddPageMode(true);
        vhost = FVHost;
        vmarks = FVMarks;
    }
    auto vdone = OnScopeExit([this, vhost] {
        if (vhost && FVHost == vhost) FVHost = nullptr;
    });
    auto* data = dynamic_cast<TfrxDataBand*>(band);
    const bool multiColumn = data && data->Columns > 1;
    const bool firstOfRun = (data || IsKind<TfrxGroupHeader>(band)) && band->LineThrough == 1;
    if (!FReprinting && band->GetVisible() && band->StartNewPage && !FOutputTo && !firstOfRun) NewPage();
    PrepareBand(band);
    auto unprepare = OnScopeExit([this, band] { UnprepareBand(band); });
    bool split = false;
    if (band->GetVisible() && !multiColumn && !IsKind<TfrxOverlay>(band) && FreeSpace() < band->GetHeight() &&
        !FOutputTo) {
        // Sound: a band that cannot fit even on a fresh page is an error; the page's headers
        // would otherwise start page after page, and a too tall row would print past the
        // page's end.
        auto noRoom = [band] { return Exception(Format(kBandDoesNotFit, {Variant(band->GetName())})); };
        if (FPageStarting) throw noRoom();
        if (band->AllowSplit) {
            SplitBand(band);
            split = true;
        } else {
            const bool keeping = FKeeping;
            NewColumn();
            if (!keeping && FreeSpace() < band->GetHeight()) throw noRoom();
        }
    }
    if (band->GetVisible() && !split) {
        if (!IsKind<TfrxNullBand>(band)) {
            band->SetLeft(multiColumn ? band->GetLeft() + CurX : CurX);
            band->SetTop(CurY);
        }
        if (FOutputTo) {
            auto* copy = new TfrxBand(FOutputTo);
            copy->AssignAll(band);
        } else if (FReprinting && PreviewPages->BandExists(band)) {
            // already on this page (a page met again)
        } else if (vhost == band) {
            FVHost = vhost;
            FVMarks = vmarks;
            OutputVerticalBands(band);
        } else {
            WriteBand(band);
        }
        CurY += band->GetHeight();
    }
    if (IsKind<TfrxFooter>(band) || IsKind<TfrxGroupFooter>(band) || IsKind<TfrxPageFooter>(band) ||
        IsKind<TfrxReportSummary>(band))
        FAggregates->ResetBand(band);
    if (band->GetVisible()) RunSubreports(band);
}

void TfrxEngine::PrepareBand(TfrxBand* band) {
    FCurBand = band;
    BuildShiftTree(band);
    // The host of vertical bands was made ready when they ran; its copies hold their data.
    const bool vhost = band == FVHost;
    if (!vhost) {
        Report->CurrentObjectName = band->GetName();
        band->BeforePrint();
        Report->NotifyBeforePrint(band);
    }
    const bool bandVisible = band->GetVisible();
    bool stretched = false, onParent = false;
    for (int i = 0; i < band->Objects()->Count(); ++i) {
        TfrxReportComponent* c = ObjectAt(band, i);
        if (!c) continue;
        if (c->InheritsFrom(TfrxSubreport::StaticClass())) {
            auto* sub = static_cast<TfrxSubreport*>(c);
            onParent = onParent || (sub->PrintOnParent && sub->GetVisible());
        }
        // Sound: the host's own objects still take their data; only the copies made by the
        // vertical bands are skipped. Otherwise a host's label kept its template text.
        if (!vhost || i < band->OriginalObjectsCount) {
            Report->CurrentObjectName = c->GetName();
            c->BeforePrint();
            if (!bandVisible) continue;
            Report->NotifyBeforePrint(c);
            if (!c->GetVisible()) continue;
            c->GetData();
            Report->DoNotifyEvent(c, c->OnAfterData);
        }
        if (!bandVisible || !c->GetVisible() || !c->InheritsFrom(TfrxStretcheable::StaticClass())) continue;
        auto* s = static_cast<TfrxStretcheable*>(c);
        if (s->StretchMode == smDontStretch) continue;
        const double h = s->CalcHeight();
        if (h <= s->GetHeight()) {
            s->ShiftDistance = 0;
        } else {
            s->ShiftDistance = h - s->GetHeight();
            s->SetHeight(h);
            stretched = true;
        }
    }
    if (!bandVisible) return;
    if (stretched) ShiftObjects(band, 0);
    if (onParent) PrintSubreportsOnParent(band);
    double bottom = 0;
    for (int i = 0; i < band->Objects()->Count(); ++i)
        if (TfrxReportComponent* c = ObjectAt(band, i)) bottom = std::max(bottom, c->GetTop() + c->GetHeight());
    if (band->Stretched) band->SetHeight(bottom);
    Report->CurrentObjectName = band->GetName();
    Report->DoNotifyEvent(band, band->OnAfterCalcHeight);
    for (int i = 0; i < band->Objects()->Count(); ++i) {
        TfrxComponent* c = band->Child(i);
        if (!c->InheritsFrom(TfrxStretcheable::StaticClass())) continue;
        auto* s = static_cast<TfrxStretcheable*>(c);
        if (s->StretchMode == smMaxHeight) s->SetHeight(bottom - s->GetTop());
    }
}

void TfrxEngine::UnprepareBand(TfrxBand* band) {
    const int count = band->Objects()->Count();
    if (band->GetVisible())
        for (int i = 0; i < count; ++i)
            if (TfrxReportComponent* c = ObjectAt(band, i)) {
                Report->CurrentObjectName = c->GetName();
                Report->NotifyAfterPrint(c);
            }
    for (int i = 0; i < count; ++i)
        if (TfrxReportComponent* c = ObjectAt(band, i)) c->AfterPrint();
    Report->NotifyAfterPrint(band);
    band->AfterPrint();
    if (band->OriginalObjectsCount != -1) {
        while (band->ChildCount() > band->OriginalObjectsCount) delete band->Child(band->ChildCount() - 1);
        band->OriginalObjectsCount = -1;
    }
}

void TfrxEngine::BuildShiftTree(TfrxBand* band) {
    if (band->ShiftFollowers()->Count() > 0) return;
    const int n = band->Objects()->Count();
    for (int i = 0; i < n; ++i)
        if (TfrxReportComponent* c = ObjectAt(band, i)) c->ShiftFollowers()->Clear();
    for (int i = 0; i < n; ++i) {
        TfrxReportComponent* p = ObjectAt(band, i);
        if (!p) continue;
        TfrxReportComponent* parent = nullptr;
        double best = 0;
        for (int j = 0; j < n; ++j) {
            TfrxReportComponent* q = ObjectAt(band, j);
            if (!q || q == p) continue;
            const double d = p->GetTop() - (q->GetTop() + q->GetHeight());
            const bool apart = q->GetLeft() >= p->GetLeft() + p->GetWidth() - kEpsilon ||
                q->GetLeft() + q->GetWidth() - kEpsilon <= p->GetLeft();
            if (d > -kEpsilon && !apart && (!parent || d < best)) {
                parent = q;
                best = d;
            }
        }
        (parent ? parent : static_cast<TfrxReportComponent*>(band))->ShiftFollowers()->Add(p);
    }
}

void TfrxEngine::ShiftObjects(TfrxReportComponent* parent, double delta) {
    TList* followers = parent->ShiftFollowers();
    for (int i = 0; i < followers->Count(); ++i) {
        auto* c = static_cast<TfrxReportComponent*>(followers->Items(i));
        auto* view = dynamic_cast<TfrxView*>(c);
        const TfrxShiftMode mode = view ? view->ShiftMode : smAlways;
        if (mode == smAlways) {
            c->SetTop(c->GetTop() + delta);
            ShiftObjects(c, delta + c->ShiftDistance);
        } else if (mode == smWhenOverlapped) {
            const double e = parent->GetTop() + parent->GetHeight();
            if (c->GetTop() < e) {
                const double old = c->GetTop();
                c->SetTop(e);
                ShiftObjects(c, e - old);
            }
        }
    }
}

void TfrxEngine::SplitBand(TfrxBand* band) {
    std::vector<TfrxReportComponent*> all, work;
    for (int i = 0; i < band->Objects()->Count(); ++i)
        if (TfrxReportComponent* c = ObjectAt(band, i)) {
            all.push_back(c);
            if (!IsKind<TfrxSubreport>(c)) work.push_back(c);
        }
    std::vector<double> remaining(work.size());
    std::vector<TfrxReportComponent*> order = work;
    auto rest = [&](TfrxReportComponent* c) -> double& {
        return remaining[size_t(std::find(order.begin(), order.end(), c) - order.begin())];
    };
    for (TfrxReportComponent* c : work) {
        if (auto* s = dynamic_cast<TfrxStretcheable*>(c)) s->InitPart();
        rest(c) = c->GetHeight();
    }
    auto restore = OnScopeExit([&] {
        band->Objects()->Clear();
        for (TfrxReportComponent* c : all) band->Objects()->Add(c);
    });
    band->Objects()->Clear();
    double space = FreeSpace();
    bool freshPage = false;
    while (!work.empty()) {
        std::vector<TfrxReportComponent*> moved;
        auto moveBelow = [&](TfrxReportComponent* o, double m) {
            for (TfrxReportComponent* c : work) {
                if (c == o || std::count(moved.begin(), moved.end(), c)) continue;
                const bool apart = c->GetLeft() >= o->GetLeft() + o->GetWidth() ||
                    o->GetLeft() >= c->GetLeft() + c->GetWidth();
                if (c->GetTop() >= o->GetTop() + o->GetHeight() && !apart) {
                    c->SetTop(c->GetTop() + m);
                    moved.push_back(c);
                }
            }
        };
        size_t i = 0;
        while (i < work.size()) {
            TfrxReportComponent* c = work[i];
            auto* s = dynamic_cast<TfrxStretcheable*>(c);
            if (c->GetTop() + c->GetHeight() <= space) {
                band->Objects()->Add(c);
                work.erase(work.begin() + long(i));
                if (s) s->DrawPart();
                continue;
            }
            if (s && c->GetTop() < space) {
                c->SetHeight(space - c->GetTop());
                const double unused = s->DrawPart();
                moveBelow(c, unused);
                if (std::fabs(unused - c->GetHeight()) < kEpsilon) {
                    c->SetTop(space);
                    c->SetHeight(rest(c));
                } else {
                    band->Objects()->Add(c);
                    rest(c) = rest(c) - c->GetHeight() + unused;
                }
            } else if (c->GetTop() < space) {
                moveBelow(c, space - c->GetTop());
                c->SetTop(space);
            }
            ++i;
        }
        // Sound: an object that cannot fit even on a fresh page is placed clipped at the page's
        // bottom, so the split always ends instead of adding pages without limit.
        if (band->Objects()->Count() == 0 && freshPage && !work.empty()) {
            auto top = std::min_element(work.begin(), work.end(),
                [](TfrxReportComponent* a, TfrxReportComponent* b) { return a->GetTop() < b->GetTop(); });
            TfrxReportComponent* c = *top;
            work.erase(top);
            c->SetTop(std::max(0.0, std::min(c->GetTop(), space)));
            c->SetHeight(std::max(0.0, space - c->GetTop()));
            band->Objects()->Add(c);
        }
        band->SetHeight(0);
        double bottom = 0;
        for (int k = 0; k < band->Objects()->Count(); ++k)
            if (TfrxReportComponent* c = ObjectAt(band, k)) bottom = std::max(bottom, c->GetTop() + c->GetHeight());
        band->SetHeight(bottom);
        if (work.empty())
            for (int k = 0; k < band->Objects()->Count(); ++k) {
                TfrxReportComponent* c = ObjectAt(band, k);
                auto* v = dynamic_cast<TfrxView*>(c);
                if (v && v->Align == baBottom) v->SetTop(band->GetHeight() - v->GetHeight());
                if (auto* s = dynamic_cast<TfrxStretcheable*>(c))
                    if (s->StretchMode == smMaxHeight) s->SetHeight(band->GetHeight() - s->GetTop());
            }
        band->SetLeft(CurX);
        band->SetTop(CurY);
        WriteBand(band);
        if (!work.empty()) {
            NewColumn();
            freshPage = true;
        } else {
            CurY += band->GetHeight();
        }
        band->Objects()->Clear();
        for (TfrxReportComponent* c : work) {
            c->SetTop(c->GetTop() - space);
            if (IsKind<TfrxStretcheable>(c)) {
                if (c->GetTop() < 0) c->SetTop(0);
                c->SetHeight(rest(c));
            }
        }
        space = FreeSpace();
    }
}

void TfrxEngine::StartKeep(TfrxBand* band, int position) {
    if (FKeeping || FRowPending) return;
    FKeeping = true;
    FKeepBand = band;
    FKeepPosition = position != 0 ? position : PreviewPages->GetCurPosition();
    FKeepOutline = PreviewPages->Outline ? PreviewPages->Outline->GetCurPosition() : nullptr;
    FAggregates->StartKeep();
}

void TfrxEngine::EndKeep(TfrxBand* band) {
    if (!FKeeping || FKeepBand != band) return;
    FKeeping = false;
    FKeepBand = nullptr;
    FAggregates->EndKeep();
}

void TfrxEngine::AdvanceColumn(TfrxDataBand* band, int cutPosition, double rowTop) {
    if (band->Columns < 2) return;
    band->ColumnsBottom = std::max(band->ColumnsBottom, CurY);
    if (band->CurrentColumn < band->Columns) {
        CurY = rowTop;
    } else if (band->ColumnsBottom <= PageHeight - FootersHeight()) {
        CurY = band->ColumnsBottom;
    } else if (FKeeping) {
        NewColumn();
    } else {
        PreviewPages->CutObjects(cutPosition);
        NewColumn();
        PreviewPages->PasteObjects(CurX, CurY);
        CurY = CurY + band->ColumnsBottom - rowTop;
    }
    band->SetCurrentColumn(band->CurrentColumn + 1);
}

Variant TfrxEngine::GetAggregateValue(
    const std::string& name, const std::string& expression, TfrxBand* band, int flags) {
    return FAggregates->GetValue(FCurBand, CurVColumn, flags, band, expression, name);
}
