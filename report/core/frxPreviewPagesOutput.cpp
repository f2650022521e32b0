// The prepared pages going out: drawing a page on a canvas, printing through the printer
// layer, driving an export filter, and the preview's mouse over a page.
#include <algorithm>
#include <cmath>
#include <set>

#include "platform/classes/ClassRegistry.h"
#include "platform/classes/StringList.h"
#include "platform/classes/TypInfo.h"
#include "platform/gui/Application.h"
#include "platform/gui/Bitmaps.h"
#include "platform/gui/Shell.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/Strings.h"
#include "platform/rtl/SysUtils.h"
#include "report/core/frxBands.h"
#include "report/core/frxErrorBoxHook.h"
#include "report/core/frxMemoView.h"
#include "report/core/frxObjects.h"
#include "report/core/frxPreviewPages.h"
#include "report/core/frxPrinter.h"
#include "report/core/frxReport.h"
#include "report/core/frxRes.h"
#include "report/core/frxText.h"
#include "report/core/frxWindowPlugins.h"
#include "report/core/frxXML.h"
#include "script/Interpreter.h"

namespace {
constexpr double mmToPx = 3.77953;


TfrxView* AsView(TfrxComponent* c) { return dynamic_cast<TfrxView*>(c); }

// The page's left margin in mm as drawn: the right one on a mirrored odd page.
double LeftMarginOf(TfrxReportPage* page, int index) {
    return index % 2 == 1 && page->MirrorMargins ? page->RightMargin : page->LeftMargin;
}

std::vector<TfrxComponent*> AllOf(TfrxComponent* c) {
    TList* all = c->GetAllObjects();
    std::vector<TfrxComponent*> r;
    for (int i = 0; i < all->Count(); ++i) r.push_back(static_cast<TfrxComponent*>(all->Items(i)));
    return r;
}

// The chosen page numbers; an empty text means every page (all: true).
std::set<int> PageList(const std::string& text, int count, bool& all) {
    all = Trim(text).empty();
    TStringList list;
    frxParsePageNumbers(text, &list, count);
    std::set<int> r;
    for (int i = 0; i < list.Count(); ++i) r.insert(StrToInt(list.Get(i)));
    return r;
}


// Sound: a link may open only a web or mail address; a prepared report from elsewhere could
// otherwise make a click start a local file or program.
bool IsWebOrMailLink(const std::string& url) {
    const std::string lower = LowerCase(url);
    return lower.rfind("http://", 0) == 0 || lower.rfind("https://", 0) == 0 || lower.rfind("mailto:", 0) == 0;
}
}  // namespace

// --- drawing ---------------------------------------------------------------------------------

void TfrxPreviewPages::DrawPage(
    int index, TCanvas* canvas, double scaleX, double scaleY, double offsetX, double offsetY) {
    TfrxReportPage* page = GetPage(index);
    if (!page) return;
    const bool mirrored = index % 2 == 1 && page->MirrorMargins;
    if (mirrored) std::swap(page->LeftMargin, page->RightMargin);
    auto restore = OnScopeExit([&] {
        if (mirrored) std::swap(page->LeftMargin, page->RightMargin);
    });
    page->DrawBackground(canvas, scaleX, scaleY, offsetX, offsetY);
    offsetX += page->LeftMargin * mmToPx * scaleX;
    offsetY += page->TopMargin * mmToPx * scaleY;
    const bool printing = dynamic_cast<TfrxPrinterCanvas*>(canvas) != nullptr;
    const bool metafile = canvas->IsMetafileCanvas();
    const TRect clip = metafile ? TRect{} : canvas->ClipRect();
    const int ox = int(std::nearbyint(offsetX)), oy = int(std::nearbyint(offsetY));
    const int total = GetCount();
    for (TfrxComponent* obj : AllOf(page)) {
        TfrxView* view = AsView(obj);
        if (!view || (printing && !view->Printable)) continue;
        const double l = obj->GetAbsLeft(), t = obj->GetAbsTop();
        // Sound: an object placed or sized beyond any device (a damaged file) is not drawn;
        // its device coordinates would not fit in int.
        constexpr double kFar = 1e9;
        const auto near = [&](double v) { return std::fabs(v) < kFar; };  // false for NaN too
        if (!near(l * scaleX + offsetX) || !near(t * scaleY + offsetY) ||
            !near((l + obj->GetWidth()) * scaleX + offsetX) || !near((t + obj->GetHeight()) * scaleY + offsetY))
            continue;
        if (!metafile) {
            TRect r{int(std::nearbyint(l * scaleX)) - 20 + ox, int(std::nearbyint(t * scaleY)) - 20 + oy,
                int(std::nearbyint((l + obj->GetWidth()) * scaleX + 20)) + ox,
                int(std::nearbyint((t + obj->GetHeight()) * scaleY + 20)) + oy};
            TRect common;
            if (!IntersectRect(common, r, clip)) continue;
        }
        if (auto* memo = dynamic_cast<TfrxCustomMemoView*>(view)) memo->PageTotal = total;
        view->Draw(canvas, scaleX, scaleY, offsetX, offsetY);
    }
}

// --- printing --------------------------------------------------------------------------------

void TfrxPreviewPages::PrintPage(int index, TfrxCustomPrinter* printer, bool& docStarted) {
    TfrxReportPage* page = GetPage(index);
    if (!page) return;
    if (!docStarted) {
        printer->BeginDoc();
        docStarted = true;
    }
    printer->SetPrintParams(page->GetPaperSize(), page->GetOrientation(), page->GetPaperWidth(), page->GetPaperHeight(),
        index == 0 ? page->Bin : page->BinOtherPages, FPrintCopies, int(page->Duplex) + 1);
    printer->BeginPage();
    DrawPage(index, printer->Canvas(), printer->DPIX() / 96.0, printer->DPIY() / 96.0,
        -printer->LeftMargin() * printer->DPIX() / 25.4, -printer->TopMargin() * printer->DPIY() / 25.4);
    if (Report) Report->DoProgress(ptPrinting, index + 1);
    printer->EndPage();
    Application->ProcessMessages();
    ClearCache();
}

bool TfrxPreviewPages::Print() {
    if (!Report) return false;
    TfrxPrintOptions* po = Report->GetPrintOptions();
    TfrxPrintDialogValues v;
    v.Copies = po->Copies;
    v.Collate = po->Collate;
    v.PageNumbers = po->PageNumbers;
    v.PrintPages = po->PrintPages;
    v.Reverse = po->Reverse;
    v.Range = v.PageNumbers.empty() ? TfrxPrintDialogValues::prAll : TfrxPrintDialogValues::prNumbers;
    Report->SelectPrinter();
    std::string numbers = po->PageNumbers;
    if (po->ShowDialog) {
        v.Printer = frxGetPrinters()->GetCurrentPrinter()->Name();
        if (TfrxPrintDialogFunc& dialog = frxPrintDialogClass(); dialog && !dialog(Report, v)) return false;
        numbers = v.Range == TfrxPrintDialogValues::prAll ? std::string()
            : v.Range == TfrxPrintDialogValues::prCurrent ? IntToStr(PreviewPageNo)
                                                          : v.PageNumbers;
    }
    auto after = OnScopeExit([&] {
        if (Report->OnAfterPrintReport) Report->OnAfterPrintReport(Report);
    });
    if (Report->OnPrintReport) Report->OnPrintReport(Report);
    if (TfrxCustomPreview* preview = Report->GetPreview()) preview->Lock();

    const int count = GetCount();
    bool allPages = true;
    const std::set<int> wanted = PageList(numbers, count, allPages);
    TfrxCustomPrinter* printer = frxGetPrinters()->GetCurrentPrinter();
    Report->SetTerminated(false);
    Report->DoProgressStart(ptPrinting);
    auto stop = OnScopeExit([&] { Report->DoProgressStop(ptPrinting); });
    printer->SetTitle(Report->GetReportOptions()->Name.empty() ? Report->FileName : Report->GetReportOptions()->Name);
    const int copies = std::max(1, v.Copies);
    FPrintCopies = v.Collate ? 1 : copies;

    std::vector<int> order;
    for (int i = 0; i < count; ++i) {
        const int n = i + 1;
        // A list whose every number lay beyond the last page prints nothing, not everything.
        if (!allPages && !wanted.count(n)) continue;
        if ((v.PrintPages == ppOdd && n % 2 == 0) || (v.PrintPages == ppEven && n % 2 == 1)) continue;
        order.push_back(i);
    }
    if (v.Reverse) std::reverse(order.begin(), order.end());

    bool docStarted = false, cancelled = false;
    // A document left open by an error is thrown away, never handed over half printed.
    auto discard = OnScopeExit([&] {
        if (docStarted) printer->Abort();
    });
    const int runs = v.Collate ? copies : 1;
    for (int run = 0; run < runs && !cancelled; ++run)
        for (int index : order) {
            if (Report->Terminated) {
                cancelled = true;
                break;
            }
            PrintPage(index, printer, docStarted);
        }
    // Sound: a cancelled print ends the document once, by throwing it away, and answers
    // False; it used to be ended a second time and reported as printed.
    if (cancelled) return false;
    if (docStarted) {
        docStarted = false;
        printer->EndDoc();  // raises when the spooler refuses the job
    }
    return true;
}

// --- export ----------------------------------------------------------------------------------

void TfrxPreviewPages::ExportPage(
    int index, TfrxCustomExportFilter* filter, const std::set<int>& wanted, bool allPages, TBitmap* scratch) {
    if (!allPages && !wanted.count(index + 1)) return;
    TfrxReportPage* page = GetPage(index);
    if (!page) return;
    if (Report) Report->DoProgress(ptExporting, index + 1);
    filter->StartPage(page, index);
    page->SetLeft(LeftMarginOf(page, index) * mmToPx);
    page->SetTop(page->TopMargin * mmToPx);
    {
        TfrxPictureView back(nullptr);
        back.SetName("_pagebackground");
        back.Color = page->GetColor();
        back.SetFrame(page->GetFrame());
        back.SetPicture(page->GetBackPicture());
        back.Stretched = true;
        back.KeepAspectRatio = false;
        back.SetBounds(page->GetLeft(), page->GetTop(),
            page->GetWidth() - (page->LeftMargin + page->RightMargin) * mmToPx,
            page->GetHeight() - (page->TopMargin + page->BottomMargin) * mmToPx);
        filter->ExportObject(&back);
    }
    const std::vector<TfrxComponent*> all = AllOf(page);
    for (TfrxComponent* obj : all)
        if (auto* memo = dynamic_cast<TfrxCustomMemoView*>(obj)) {
            if (memo->GetHighlight()->Active) memo->SetFont(memo->GetHighlight()->GetFont());
            memo->PageTotal = GetCount();
            memo->InsertPageTotal();
            // An auto-width text takes its width when drawn once.
            if (memo->AutoWidth) memo->Draw(scratch->Canvas(), 1, 1, 0, 0);
        }
    for (TfrxComponent* obj : all) filter->ExportObject(obj);
    filter->FinishPage(page, index);
    if (Report && Report->GetPreview()) {
        page->SetLeft(0);
        page->SetTop(0);
    } else {
        ClearCache();
    }
}

bool TfrxPreviewPages::Export(TfrxCustomExportFilter* filter) {
    if (!filter || !Report) return false;
    filter->Report = Report;
    if (filter->GetShowDialog() && filter->ShowModal() != mrOk) return false;
    TfrxCustomPreview* preview = Report->GetPreview();
    if (filter->CurrentPageOnly) filter->PageNumbers = preview ? IntToStr(PreviewPageNo) : "1";
    Report->SetTerminated(false);
    try {
        bool allPages = true;
        const std::set<int> wanted = PageList(filter->PageNumbers, GetCount(), allPages);
        TBitmap scratch;  // for measuring
        // Sound: a filter that cannot start (its file could not be made) fails the export;
        // it used to count as done.
        if (!filter->Start()) return false;
        if (preview) {
            preview->Refresh();
            preview->Lock();
        }
        Report->DoProgressStart(ptExporting);
        auto end = [&] {
            if (preview) {
                preview->HideMessage();
                preview->Refresh();
            }
            Report->DoProgressStop(ptExporting);
            filter->Finish();
        };
        try {
            for (int i = 0; i < GetCount(); ++i) {
                ExportPage(i, filter, wanted, allPages, &scratch);
                if (Report->Terminated) break;
                Application->ProcessMessages();
            }
        } catch (...) {
            end();
            throw;
        }
        end();
    } catch (const Exception& e) {
        Report->ErrorList->Add(e.Message());
        if (!Report->GetEngineOptions()->SilentMode)
            frxShowErrorBox(frxGetResources()->Get("clErrors") + "\r\n" + Report->ErrorList->Text());
        return false;
    }
    return true;
}

// --- the mouse over a page ---------------------------------------------------------------------

void TfrxPreviewPages::ObjectOver(int index, int x, int y, TMouseButton button, TShiftState shift, double scale,
    double offsetX, double offsetY, bool click, TCursor& cursor) {
    if (index < 0 || index >= GetCount() || Running()) return;
    TfrxReportPage* page = GetPage(index);
    if (!page) return;
    offsetX += scale * LeftMarginOf(page, index) * mmToPx;
    offsetY += page->TopMargin * mmToPx * scale;
    const int ox = int(std::nearbyint(offsetX)), oy = int(std::nearbyint(offsetY));
    std::vector<TfrxComponent*> all = AllOf(page);
    for (auto it = all.rbegin(); it != all.rend(); ++it) {
        TfrxComponent* obj = *it;
        TfrxView* view = AsView(obj);
        if (!view) continue;
        const double l = obj->GetAbsLeft(), t = obj->GetAbsTop();
        const TRect r{int(std::nearbyint(l * scale)) + ox, int(std::nearbyint(t * scale)) + oy,
            int(std::nearbyint((l + obj->GetWidth()) * scale)) + ox,
            int(std::nearbyint((t + obj->GetHeight()) * scale)) + oy};
        if (!PtInRect(r, TPoint{x, y})) continue;
        const auto own = TCursor(view->Cursor);
        if (own != crDefault) cursor = own;
        const std::string& url = view->URL;
        if (!url.empty() && Report) Report->ShowProgressText(url);  // the preview's status line
        if (!url.empty() && own == crDefault) cursor = crHandPoint;
        if (!click) {
            if (Report && Report->OnMouseOverObject) Report->OnMouseOverObject(view);
            return;
        }
        TfrxCustomPreview* preview = Report ? Report->GetPreview() : nullptr;
        if (!url.empty() && url[0] == '@') {
            // Sound: a malformed page link is ignored instead of raising out of a mouse click.
            int32_t n = 0;
            if (preview && TryStrToInt(Trim(url.substr(1, 255)), n)) preview->SetPageNo(n);
        } else if (!url.empty() && url[0] == '#') {
            TfrxXMLItem* anchor = FindAnchor(url.substr(1));
            int32_t p = 0, top = 0;
            if (anchor && preview && TryStrToInt(anchor->Prop("page"), p) && TryStrToInt(anchor->Prop("top"), top))
                preview->SetPosition(p + 1, top);
        } else if (!url.empty() && IsWebOrMailLink(url)) {
            ShellExecute(nullptr, "", url);
        }
        bool modified = false;
        if (Report) {
            // The object's own click procedure first (it may change the page), then the
            // report's event; both may set Modified.
            Variant params = VarArrayOf({Variant(fsObjectToVariant(view)), Variant(int32_t(button)),
                Variant(int32_t(shift.Mask() & 0xFF)), Variant(modified)});
            Report->CallScriptProc(view, view->OnPreviewClick, params, true);
            modified = params.GetElement({3}).AsBoolean();
            if (Report->OnClickObject) Report->OnClickObject(view, button, shift, modified);
        }
        if (modified) {
            ModifyPage(index, page);  // frees the cached page
            if (preview) preview->Invalidate();
        }
        return;
    }
}
