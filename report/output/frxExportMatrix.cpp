#include "report/output/frxExportMatrix.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "platform/classes/StringList.h"
#include "platform/gui/Bitmaps.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/ScopeGuard.h"
#include "report/core/frxProgress.h"
#include "report/core/frxRes.h"

KAROMIL_IMPLEMENT_CLASS(TfrxIEMStyle, TObject)
KAROMIL_IMPLEMENT_CLASS(TfrxIEMObject, TObject)
KAROMIL_IMPLEMENT_CLASS(TfrxIEMatrix, TObject)

namespace {

// More cells than this would not fit any spreadsheet and would only exhaust memory.
constexpr size_t kMaxCells = size_t(64) * 1024 * 1024;

bool Transparent(TColor c) noexcept { return c == clNone; }

}  // namespace

// --- style -----------------------------------------------------------------------------------

TfrxIEMStyle::TfrxIEMStyle() : Font(std::make_unique<TFont>()) {}
TfrxIEMStyle::~TfrxIEMStyle() = default;

void TfrxIEMStyle::Assign(const TfrxIEMStyle& style) {
    Font->Assign(style.Font.get());
    Color = style.Color;
    HAlign = style.HAlign;
    VAlign = style.VAlign;
    LineSpacing = style.LineSpacing;
    GapX = style.GapX;
    GapY = style.GapY;
    FrameTyp = style.FrameTyp;
    FrameWidth = style.FrameWidth;
    FrameColor = style.FrameColor;
    FrameStyle = style.FrameStyle;
    Rotation = style.Rotation;
}

bool TfrxIEMStyle::SameAs(const TfrxIEMStyle& s) const {
    return Font->GetColor() == s.Font->GetColor() && Font->GetName() == s.Font->GetName() &&
        Font->GetSize() == s.Font->GetSize() && Font->GetStyle() == s.Font->GetStyle() &&
        LineSpacing == s.LineSpacing && GapX == s.GapX && GapY == s.GapY && HAlign == s.HAlign && VAlign == s.VAlign &&
        FrameTyp == s.FrameTyp && FrameWidth == s.FrameWidth && FrameColor == s.FrameColor &&
        FrameStyle == s.FrameStyle && Rotation == s.Rotation && Color == s.Color;
}

TfrxIEMObject::TfrxIEMObject() : Memo(std::make_unique<TStringList>()) {}
TfrxIEMObject::~TfrxIEMObject() = default;

// --- matrix ----------------------------------------------------------------------------------

TfrxIEMatrix::TfrxIEMatrix() = default;

TfrxIEMatrix::~TfrxIEMatrix() { Clear(); }

void TfrxIEMatrix::Clear() {
    FObjects.clear();
    FStyles.clear();
    FXPos.clear();
    FYPos.clear();
    FPages.clear();
    FCells.clear();
    FWidth = FHeight = 0;
    FMaxWidth = FMaxHeight = 0;
    FPageOffset = 0;
}

void TfrxIEMatrix::AddPos(std::vector<double>& list, double value) {
    const size_t from = list.size() > 100 ? list.size() - 100 : 0;
    for (size_t i = from; i < list.size(); ++i)
        if (list[i] == value) return;
    list.push_back(value);
}

int TfrxIEMatrix::AddStyle(std::unique_ptr<TfrxIEMStyle> style) {
    for (size_t i = 0; i < FStyles.size(); ++i)
        if (FStyles[i]->SameAs(*style)) return int(i);
    FStyles.push_back(std::move(style));
    return int(FStyles.size() - 1);
}

void TfrxIEMatrix::AddPlacement(std::unique_ptr<TfrxIEMObject> obj) {
    obj->Style = obj->StyleIndex >= 0 ? FStyles.at(size_t(obj->StyleIndex)).get() : nullptr;
    FMaxWidth = std::max(FMaxWidth, obj->Left + obj->Width);
    FMaxHeight = std::max(FMaxHeight, obj->Top + obj->Height);
    AddPos(FXPos, obj->Left);
    AddPos(FXPos, obj->Left + obj->Width);
    AddPos(FYPos, obj->Top);
    AddPos(FYPos, obj->Top + obj->Height);
    TfrxIEMObjectList p;
    p.Obj = std::move(obj);
    FObjects.push_back(std::move(p));
}

void TfrxIEMatrix::AddPage(TPrinterOrientation orientation, double width, double height, double leftMargin,
    double topMargin, double rightMargin, double bottomMargin) {
    FPageOffset = FMaxHeight;
    TfrxIEMPage page;
    page.Bottom = FMaxHeight;
    page.Orientation = orientation;
    page.Width = width;
    page.Height = height;
    page.LeftMargin = leftMargin;
    page.TopMargin = topMargin;
    page.RightMargin = rightMargin;
    page.BottomMargin = bottomMargin;
    FPages.push_back(page);
}

int TfrxIEMatrix::Cell(int col, int row) const {
    if (col < 0 || row < 0 || col >= FWidth || row >= FHeight) return -1;
    return FCells[size_t(col) + size_t(row) * size_t(FWidth)];
}

TfrxIEMObject* TfrxIEMatrix::PlacementOf(int i) const {
    return i >= 0 && size_t(i) < FObjects.size() ? FObjects[size_t(i)].Obj.get() : nullptr;
}

TfrxIEMBounds TfrxIEMatrix::PlacementBounds(int i) const {
    const TfrxIEMObjectList& p = FObjects.at(size_t(i));
    return {p.X, p.Y, p.DX, p.DY};
}

double TfrxIEMatrix::PageBottom(int i) const {
    return i >= 0 && size_t(i) < FPages.size() ? FPages[size_t(i)].Bottom : 0;
}

TfrxIEMObject* TfrxIEMatrix::ObjectAt(int col, int row) const { return PlacementOf(Cell(col, row)); }

void TfrxIEMatrix::Step() {
    if (FProgress) FProgress->Tick();
}

void TfrxIEMatrix::SortPositions(std::vector<double>& list, double maxCell) {
    std::sort(list.begin(), list.end());
    // The later of two close boundaries survives; the next comparison starts at the same place.
    size_t i = 0;
    while (i + 1 < list.size()) {
        if (list[i + 1] - list[i] < Inaccuracy) list.erase(list.begin() + std::ptrdiff_t(i));
        else ++i;
    }
    if (maxCell <= 0) return;
    const size_t count = list.size();
    bool added = false;
    for (size_t j = 0; j + 1 < count; ++j) {
        const double a = list[j], b = list[j + 1];
        const double gap = b - a;
        if (gap <= maxCell) continue;
        const auto steps = int64_t(gap / maxCell);
        for (int64_t k = 1; k <= steps; ++k) {
            const double v = a + double(k) * maxCell;
            if (v >= b) break;  // a gap of whole steps ends on b itself: no empty row
            AddPos(list, v);
            added = true;
        }
    }
    if (added) std::sort(list.begin(), list.end());
}

void TfrxIEMatrix::PlaceObjects() {
    auto place = [](const std::vector<double>& pos, double start, double extent, int& first, int& span) {
        const auto lo = std::lower_bound(pos.begin(), pos.end(), start);
        first = int(std::min<std::ptrdiff_t>(lo - pos.begin(), std::ptrdiff_t(pos.size()) - 1));
        if (extent <= 0) {
            span = 0;
            return;
        }
        const auto hi = std::lower_bound(pos.begin() + first, pos.end(), start + extent);
        const int last = int(std::min<std::ptrdiff_t>(hi - pos.begin(), std::ptrdiff_t(pos.size()) - 1));
        span = last - first;
    };
    for (TfrxIEMObjectList& p : FObjects) {
        place(FXPos, p.Obj->Left, p.Obj->Width, p.X, p.DX);
        place(FYPos, p.Obj->Top, p.Obj->Height, p.Y, p.DY);
    }
}

int TfrxIEMatrix::StyleWithBackground(int style, TColor color) {
    auto copy = std::make_unique<TfrxIEMStyle>();
    copy->Assign(*FStyles.at(size_t(style)));
    copy->Color = color;
    return AddStyle(std::move(copy));
}

int TfrxIEMatrix::StyleWithFrame(int style, uint8_t frameTyp) {
    auto copy = std::make_unique<TfrxIEMStyle>();
    copy->Assign(*FStyles.at(size_t(style)));
    copy->FrameTyp = frameTyp;
    return AddStyle(std::move(copy));
}

void TfrxIEMatrix::FillCells() {
    FCells.assign(size_t(FWidth) * size_t(FHeight), -1);
    for (size_t i = 0; i < FObjects.size(); ++i) {
        TfrxIEMObjectList& p = FObjects[i];
        TfrxIEMObject* obj = p.Obj.get();
        // A see-through object over a filled one shows that fill.
        if (obj->StyleIndex >= 0 && Transparent(obj->Style->Color)) {
            if (TfrxIEMObject* under = ObjectAt(p.X, p.Y); under && under->Style) {
                const TColor c = under->Style->Color;
                if (c != obj->Style->Color && c != obj->Style->Font->GetColor()) {
                    obj->StyleIndex = StyleWithBackground(obj->StyleIndex, c);
                    obj->Style = FStyles[size_t(obj->StyleIndex)].get();
                }
            }
        }
        for (int y = p.Y; y < p.Y + p.DY; ++y)
            for (int x = p.X; x < p.X + p.DX; ++x) FCells[size_t(x) + size_t(y) * size_t(FWidth)] = int(i);
    }
}

void TfrxIEMatrix::CutObjects() {
    struct TCut {
        std::vector<size_t> Pieces;
    };
    std::map<size_t, TCut> cuts;  // cut placement -> its pieces, in reading order
    auto at = [&](int x, int y) -> int& { return FCells[size_t(x) + size_t(y) * size_t(FWidth)]; };
    for (int y = 0; y < FHeight; ++y)
        for (int x = 0; x < FWidth; ++x) {
            const int k = at(x, y);
            if (k < 0 || FObjects[size_t(k)].Exist) continue;
            int w = 0;
            while (x + w < FWidth && at(x + w, y) == k) ++w;
            int h = 1;
            while (y + h < FHeight && at(x, y + h) == k) {
                int run = 0;
                while (x + run < FWidth && run < w && at(x + run, y + h) == k) ++run;
                if (run < w) break;
                ++h;
            }
            TfrxIEMObjectList& p = FObjects[size_t(k)];
            if (x == p.X && y == p.Y && w == p.DX && h == p.DY) {
                p.Exist = true;
                continue;
            }
            TfrxIEMObject* cut = p.Obj.get();
            auto piece = std::make_unique<TfrxIEMObject>();
            piece->StyleIndex = cut->StyleIndex;
            piece->URL = cut->URL;
            piece->IsText = cut->IsText;
            piece->Left = FXPos[size_t(x)];
            piece->Top = FYPos[size_t(y)];
            piece->Width = FXPos[size_t(std::min(x + w, FWidth - 1))] - piece->Left;
            piece->Height = FYPos[size_t(std::min(y + h, FHeight - 1))] - piece->Top;
            piece->Parent = cut;
            if (cut->StyleIndex >= 0) {
                // Only the sides that lie on the cut object's own edges keep their lines.
                const uint8_t typ = FStyles[size_t(cut->StyleIndex)]->FrameTyp;
                uint8_t sides = 0;
                if (y == p.Y) sides |= typ & frxIEMTop;
                if (x == p.X) sides |= typ & frxIEMLeft;
                if (y + h == p.Y + p.DY) sides |= typ & frxIEMBottom;
                if (x + w == p.X + p.DX) sides |= typ & frxIEMRight;
                if (sides != typ) piece->StyleIndex = StyleWithFrame(cut->StyleIndex, sides);
                piece->Style = FStyles[size_t(piece->StyleIndex)].get();
            }
            const size_t index = FObjects.size();
            TfrxIEMObjectList np;
            np.Obj = std::move(piece);
            np.X = x;
            np.Y = y;
            np.DX = w;
            np.DY = h;
            np.Exist = true;
            FObjects.push_back(std::move(np));  // p is not used past this point
            for (int yy = y; yy < y + h; ++yy)
                for (int xx = x; xx < x + w; ++xx) at(xx, yy) = int(index);
            cuts[size_t(k)].Pieces.push_back(index);
        }

    // The text (or picture) goes to the first piece whose corner leaves more than a third of
    // the cut object to its right and below. When every such corner is hidden, the largest
    // visible piece takes it: sound, where leaving it to no piece would lose it from the sheet.
    for (auto& [k, cut] : cuts) {
        TfrxIEMObject* obj = FObjects[k].Obj.get();
        TfrxIEMObject* taker = nullptr;
        for (size_t i : cut.Pieces) {
            TfrxIEMObject* piece = FObjects[i].Obj.get();
            if (obj->Left + obj->Width - piece->Left > obj->Width / 3 &&
                obj->Top + obj->Height - piece->Top > obj->Height / 3) {
                taker = piece;
                break;
            }
        }
        if (!taker)
            for (size_t i : cut.Pieces) {
                TfrxIEMObject* piece = FObjects[i].Obj.get();
                if (!taker || piece->Width * piece->Height > taker->Width * taker->Height) taker = piece;
            }
        for (size_t i : cut.Pieces) {
            TfrxIEMObject* piece = FObjects[i].Obj.get();
            if (piece == taker) continue;
            piece->IsText = true;  // an empty text piece
        }
        taker->Memo->Assign(obj->Memo.get());
        taker->Image = std::move(obj->Image);
        taker->IsText = obj->IsText;
        obj->Memo->Clear();
    }
}

void TfrxIEMatrix::Prepare() {
    if (ShowProgress) {
        FProgress = std::make_unique<TfrxProgress>(nullptr);
        FProgress->Execute(11, frxGetResources()->Get("ProgressWait"), true, false);
    }
    auto closeProgress = OnScopeExit([&] { FProgress.reset(); });
    SortPositions(FXPos, MaxCellWidth);
    Step();
    SortPositions(FYPos, MaxCellHeight);
    Step();
    PlaceObjects();
    Step();
    FWidth = int(FXPos.size());
    FHeight = int(FYPos.size());
    // Sound: the grid's size is checked before it is made, where a plain product could wrap
    // around or ask for more memory than there is.
    if (FWidth > 0 && size_t(FHeight) > kMaxCells / size_t(FWidth))
        throw Exception("Sestava je pro export do tabulky příliš velká.");
    Step();
    FillCells();
    Step();
    CutObjects();
    for (int i = 0; i < 6; ++i) Step();
}
