#include "report/output/frxPreviewWorkspace.h"

#include <algorithm>
#include <cmath>

#include "platform/gui/Bitmaps.h"
#include "platform/gui/Graphics.h"
#include "platform/rtl/Strings.h"
#include "report/core/frxPlugins.h"
#include "report/output/frxPreview.h"

KAROMIL_IMPLEMENT_CLASS(TfrxPreviewWorkspace, TfrxScrollWin)

namespace {
constexpr int kGap = 10;  // between pages and around the layout, pixels at zoom 1
constexpr int kA4Width = 794, kA4Height = 1123;
constexpr int kVisibleAround = 20;  // pages looked at on either side of the first in view
}  // namespace

int frxRoundZoom(double value) { return int(std::nearbyint(value)); }

// --- page list -------------------------------------------------------------------------------

void TfrxPageList::Clear() {
    FItems.clear();
    FMaxWidth = 0;
}

void TfrxPageList::SetColumns(int value) {
    FColumns = value;
    Clear();
}

int TfrxPageList::RowStart(int index) const {
    while (index > 0 && FItems[size_t(index)].Column != 0) --index;
    return index;
}

void TfrxPageList::AddPage(int width, int height) {
    TfrxPageItem item;
    item.Width = uint16_t(width);
    item.Height = uint16_t(height);
    if (FItems.empty()) {
        item.Column = 0;
        item.Top = kGap;
    } else {
        const TfrxPageItem& last = FItems.back();
        if (last.Column < FColumns - 1) {
            item.Column = uint16_t(last.Column + 1);
            item.Top = last.Top;
        } else {
            int tallest = 0;
            for (int i = RowStart(Count() - 1); i < Count(); ++i)
                tallest = std::max<int>(tallest, FItems[size_t(i)].Height);
            item.Column = 0;
            item.Top = last.Top + tallest + kGap;
        }
    }
    FItems.push_back(item);
    int rowWidth = 0;
    for (int i = RowStart(Count() - 1); i < Count(); ++i) rowWidth += FItems[size_t(i)].Width + kGap;
    FMaxWidth = std::max(FMaxWidth, rowWidth);
}

int TfrxPageList::FindPage(int y, bool exact, double zoom) const {
    int low = 0, high = Count() - 1;
    while (low <= high) {
        const int mid = (low + high) / 2;
        const TfrxPageItem& item = FItems[size_t(mid)];
        const int slack = exact ? 0 : frxRoundZoom(item.Height * zoom / 5);
        if (y + slack >= zoom * item.Top) low = mid + 1;
        else high = mid - 1;
    }
    return high;
}

TRect TfrxPageList::GetPageBounds(int index, int clientWidth, double zoom) const {
    TRect r;
    if (index < 0 || index >= Count()) {
        r.Left = clientWidth < zoom * kA4Width ? kGap : frxRoundZoom((clientWidth - zoom * kA4Width) / 2);
        r.Top = frxRoundZoom(zoom * kGap);
        r.Right = r.Left + frxRoundZoom(zoom * kA4Width);
        r.Bottom = r.Top + frxRoundZoom(zoom * kA4Height);
        return r;
    }
    const TfrxPageItem& item = FItems[size_t(index)];
    int offset = 0, rowWidth = item.Width;
    if (FColumns > 1) {
        const int first = RowStart(index);
        for (int i = first; i < index; ++i) offset += FItems[size_t(i)].Width + kGap;
        rowWidth = 0;
        for (int i = first; i < Count() && (i == first || FItems[size_t(i)].Column != 0); ++i)
            rowWidth += FItems[size_t(i)].Width + (i == first ? 0 : kGap);
    }
    const int x0 = clientWidth < zoom * rowWidth ? kGap : frxRoundZoom((clientWidth - zoom * rowWidth) / 2);
    r.Left = x0 + frxRoundZoom(zoom * offset);
    r.Top = frxRoundZoom(zoom * item.Top);
    r.Right = r.Left + frxRoundZoom(zoom * item.Width);
    r.Bottom = r.Top + frxRoundZoom(zoom * item.Height);
    return r;
}

TPoint TfrxPageList::GetMaxBounds(int clientWidth, double zoom) const {
    if (FItems.empty()) return {0, 0};
    return {frxRoundZoom(FMaxWidth * zoom), GetPageBounds(Count() - 1, clientWidth, zoom).Bottom};
}

// --- search state ----------------------------------------------------------------------------

TfrxSearchState& frxSearchState() {
    static TfrxSearchState state;
    return state;
}

// --- workspace -------------------------------------------------------------------------------

TfrxPreviewWorkspace::TfrxPreviewWorkspace(TfrxPreview* preview) : TfrxScrollWin(preview), FPreview(preview) {
    SetColor(clGray);
    LargeChange = 300;
    SmallChange = 8;
}

TfrxPreviewWorkspace::~TfrxPreviewWorkspace() = default;

TfrxCustomPreviewPages* TfrxPreviewWorkspace::GetPreviewPages() const { return FPreview->PreviewPages; }

void TfrxPreviewWorkspace::UpdateScrollBars() {
    const TPoint p = FPageList.GetMaxBounds(GetClientWidth(), FPreview->GetZoom());
    SetHorzRange(p.X + kGap);
    SetVertRange(p.Y + kGap);
}

void TfrxPreviewWorkspace::Resize() {
    TfrxScrollWin::Resize();
    SetHorzPage(GetClientWidth());
    SetVertPage(GetClientHeight());
}

void TfrxPreviewWorkspace::ScrollToPage(int pageNo) {
    if (FInScroll) return;
    SetVertPosition(FPageList.GetPageBounds(pageNo - 1, GetClientWidth(), FPreview->GetZoom()).Top - kGap);
}

void TfrxPreviewWorkspace::ProcessKey(WORD key, TShiftState shift) {
    const bool ctrl = shift.Contains(ssCtrl);
    switch (key) {
    case VK_PRIOR:
        if (ctrl) FPreview->Prior();
        else SetVertPosition(GetVertPosition() - 300);
        break;
    case VK_NEXT:
        if (ctrl) FPreview->Next();
        else SetVertPosition(GetVertPosition() + 300);
        break;
    case VK_HOME: FPreview->First(); break;
    case VK_END: FPreview->Last(); break;
    case VK_LEFT: SetHorzPosition(GetHorzPosition() - 8); break;
    case VK_RIGHT: SetHorzPosition(GetHorzPosition() + 8); break;
    case VK_UP: SetVertPosition(GetVertPosition() - 8); break;
    case VK_DOWN: SetVertPosition(GetVertPosition() + 8); break;
    default: break;
    }
}

void TfrxPreviewWorkspace::OnHScroll(TObject*) {
    const int dx = FPaintedX - GetHorzPosition();
    FPaintedX = GetHorzPosition();
    const TRect client = GetClientRect();
    if (HandleAllocated()) ScrollWindowEx(GetHandle(), dx, 0, &client, &client);
}

void TfrxPreviewWorkspace::OnVScroll(TObject*) {
    const int dy = FPaintedY - GetVertPosition();
    FPaintedY = GetVertPosition();
    const TRect client = GetClientRect();
    if (HandleAllocated()) ScrollWindowEx(GetHandle(), 0, dy, &client, &client);
    const int page = FPageList.FindPage(GetVertPosition(), false, FPreview->GetZoom());
    FInScroll = true;
    // The flag keeps SetPageNo from scrolling back to the page's top; cleared on every path.
    try {
        FPreview->SetPageNo(page + 1);
    } catch (...) {
        FInScroll = false;
        throw;
    }
    FInScroll = false;
}

void TfrxPreviewWorkspace::Paint() {
    TCanvas* canvas = Canvas();
    HDC dc = canvas->Handle();
    const TRect client = GetClientRect();
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(clGray);
    if (FPreview->Locked || FPageList.Count() == 0) {
        canvas->FillRect(client);
        return;
    }
    const double zoom = FPreview->GetZoom();
    const int width = GetClientWidth(), height = GetClientHeight();
    const int first = FPageList.FindPage(GetVertPosition(), false, zoom);
    struct Visible {
        int index;
        TRect r;
    };
    std::vector<Visible> pages;
    for (int i = std::max(0, first - kVisibleAround); i <= first + kVisibleAround && i < FPageList.Count(); ++i) {
        TRect r = FPageList.GetPageBounds(i, width, zoom);
        OffsetRect(r, -GetHorzPosition(), -GetVertPosition());
        r.Bottom += 1;
        if (r.Top > height || r.Bottom < 0 || !RectVisible(dc, r)) continue;
        pages.push_back({i, r});
    }

    // Page interiors are left out of the gray fill, so they are painted once.
    TRegion saved;
    const bool hadClip = GetClipRgn(dc, saved) == 1;
    for (const Visible& p : pages) ExcludeClipRect(dc, p.r.Left + 1, p.r.Top + 1, p.r.Right - 1, p.r.Bottom - 1);
    canvas->FillRect(client);
    SelectClipRgn(dc, hadClip ? &saved : nullptr);

    const TfrxSearchState& search = frxSearchState();
    for (const Visible& p : pages) {
        TRect r = p.r;
        r.Bottom -= 1;
        canvas->Pen()->SetColor(clBlack);
        canvas->Pen()->SetWidth(1);
        canvas->Pen()->SetMode(pmCopy);
        canvas->Pen()->SetStyle(psSolid);
        canvas->Brush()->SetColor(clWhite);
        canvas->Brush()->SetStyle(bsSolid);
        canvas->Rectangle(r.Left, r.Top, r.Right, r.Bottom);
        canvas->Polyline({{r.Left + 1, r.Bottom}, {r.Right, r.Bottom}, {r.Right, r.Top + 1}});
        if (TfrxCustomPreviewPages* pp = GetPreviewPages()) pp->DrawPage(p.index, canvas, zoom, zoom, r.Left, r.Top);

        if (search.Found && p.index == SearchPage) {
            const int ml = frxRoundZoom(search.Match.Left * zoom), mt = frxRoundZoom(search.Match.Top * zoom);
            const int mr = frxRoundZoom(search.Match.Right * zoom), mb = frxRoundZoom(search.Match.Bottom * zoom);
            canvas->Pen()->SetColor(clWhite);
            canvas->Pen()->SetWidth(1);
            canvas->Pen()->SetMode(pmXor);
            for (int y = mt; y <= mb; ++y) {
                canvas->MoveTo(r.Left + ml - 1, r.Top + y);
                canvas->LineTo(r.Left + mr + 1, r.Top + y);
            }
            canvas->Pen()->SetMode(pmCopy);
        }
    }
}

void TfrxPreviewWorkspace::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TfrxScrollWin::MouseDown(button, shift, x, y);
    if (FPageList.Count() == 0 || FPreview->Locked || button != mbLeft) return;
    FDragging = true;
    FLastX = x;
    FLastY = y;
}

void TfrxPreviewWorkspace::HitTest(int x, int y, TMouseButton button, TShiftState shift, bool click) {
    const double zoom = FPreview->GetZoom();
    const int index = FPageList.FindPage(y + GetVertPosition(), true, zoom);
    const TRect r = FPageList.GetPageBounds(index, GetClientWidth(), zoom);
    TCursor cursor = DefaultCursor;
    if (TfrxCustomPreviewPages* pp = GetPreviewPages())
        pp->ObjectOver(
            index, x, y, button, shift, zoom, r.Left - GetHorzPosition(), r.Top - GetVertPosition(), click, cursor);
    SetCursor(cursor);
}

void TfrxPreviewWorkspace::MouseMove(TShiftState shift, int x, int y) {
    TfrxScrollWin::MouseMove(shift, x, y);
    if (FPageList.Count() == 0 || FPreview->Locked) return;
    if (FDragging) {
        if (FPreview->GetTool() == ptHand) {
            SetHorzPosition(GetHorzPosition() - (x - FLastX));
            SetVertPosition(GetVertPosition() - (y - FLastY));
            FLastX = x;
            FLastY = y;
        }
        return;
    }
    HitTest(x, y, mbLeft, TShiftState(), false);
}

void TfrxPreviewWorkspace::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    TfrxScrollWin::MouseUp(button, shift, x, y);
    if (FPreview->OnClick) FPreview->OnClick(FPreview);
    if (FPageList.Count() == 0 || FPreview->Locked) return;
    FDragging = false;
    if (FPreview->GetTool() == ptZoom) {
        if (button == mbLeft) FPreview->SetZoom(FPreview->GetZoom() + 0.25);
        else if (button == mbRight) FPreview->SetZoom(FPreview->GetZoom() - 0.25);
        return;
    }
    HitTest(x, y, button, shift, true);
}

// --- text search -----------------------------------------------------------------------------

void TfrxPreviewWorkspace::ForgetSearchPage() {
    FSearchMetafile.reset();
    FSearchMetafilePage = -1;
}

bool TfrxPreviewWorkspace::SearchPageRecords() {
    TfrxSearchState& s = frxSearchState();
    if (!FSearchMetafile || FSearchMetafilePage != SearchPage) {
        FSearchMetafile.reset();
        auto metafile = std::make_unique<TMetafile>();
        {
            TMetafileCanvas canvas(metafile.get(), nullptr);
            GetPreviewPages()->DrawPage(SearchPage, &canvas, 1, 1, 0, 0);
        }
        FSearchMetafile = std::move(metafile);
        FSearchMetafilePage = SearchPage;
    }
    const std::string upperText = s.CaseSensitive ? s.Text : AnsiUpperCase(s.Text);
    int counter = 0;
    // The records' text is kept in UTF-8, so nothing is lost to a code page on the way.
    for (const TMetaRecord& r : FSearchMetafile->EnumRecords()) {
        if (r.Type == 84) {
            const bool hit = s.CaseSensitive ? r.Text.find(s.Text) != std::string::npos
                                             : AnsiUpperCase(r.Text).find(upperText) != std::string::npos;
            if (hit && counter > s.LastRecord) {
                s.Found = true;
                s.Match = r.Bounds;
                s.LastRecord = counter;
                return true;
            }
        }
        ++counter;
    }
    return false;
}

void TfrxPreviewWorkspace::FindText() {
    TfrxSearchState& s = frxSearchState();
    s.Found = false;
    TfrxCustomPreviewPages* pp = GetPreviewPages();
    if (!pp || s.Text.empty()) return;
    while (SearchPage < pp->GetCount()) {
        if (SearchPageRecords()) {
            const double zoom = FPreview->GetZoom();
            const TRect page = FPageList.GetPageBounds(SearchPage, GetClientWidth(), zoom);
            const int ml = frxRoundZoom(s.Match.Left * zoom), mt = frxRoundZoom(s.Match.Top * zoom);
            const int mr = frxRoundZoom(s.Match.Right * zoom), mb = frxRoundZoom(s.Match.Bottom * zoom);
            const int h = GetClientHeight(), w = GetClientWidth();
            if (!(page.Top + mt >= GetVertPosition() && GetVertPosition() + h >= page.Top + mb))
                SetVertPosition(page.Top + mb - h + 20);
            if (!(page.Left + ml >= GetHorzPosition() && GetHorzPosition() + w >= page.Left + mr))
                SetHorzPosition(page.Left + mr - w + 20);
            Invalidate();
            return;
        }
        s.LastRecord = -1;
        ++SearchPage;
    }
}
