#pragma once
// The grid under the table-shaped exports: every edge of every object of the prepared pages
// becomes a column or row boundary (near ones merged), each object then covers a rectangle of
// grid cells, objects hidden in part by later ones are cut into their visible pieces, and
// equal looks are shared through a list of distinct styles. Pages are stacked one below the
// other; all geometry is in report pixels.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/classes/Object.h"
#include "platform/gui/Graphics.h"
#include "report/core/frxDrawText.h"
#include "report/core/frxView.h"
#include "report/core/frxPrinter.h"

class TBitmap;
class TStringList;
class TfrxProgress;
class TfrxView;

// Frame sides as bits.
enum : uint8_t { frxIEMLeft = 1, frxIEMRight = 2, frxIEMTop = 4, frxIEMBottom = 8 };

class TfrxIEMStyle : public TObject {
    KAROMIL_CLASS(TfrxIEMStyle, TObject)
public:
    TfrxIEMStyle();
    ~TfrxIEMStyle() override;
    void Assign(const TfrxIEMStyle& style);
    // Equal in every field that shows in a cell.
    bool SameAs(const TfrxIEMStyle& style) const;

    std::unique_ptr<TFont> Font;
    TColor Color = clNone;  // background
    TfrxHAlign HAlign = haLeft;
    TfrxVAlign VAlign = vaTop;
    double LineSpacing = 0, GapX = 0, GapY = 0;
    uint8_t FrameTyp = 0;
    float FrameWidth = 1;
    TColor FrameColor = clBlack;
    TfrxFrameStyle FrameStyle = fsSolid;
    int Rotation = 0;
};

class TfrxIEMObject : public TObject {
    KAROMIL_CLASS(TfrxIEMObject, TObject)
public:
    TfrxIEMObject();
    ~TfrxIEMObject() override;

    std::unique_ptr<TStringList> Memo;
    std::string URL;
    int StyleIndex = -1;
    TfrxIEMStyle* Style = nullptr;  // the matrix's style at StyleIndex
    bool IsText = true;
    double Left = 0, Top = 0, Width = 0, Height = 0;
    std::unique_ptr<TBitmap> Image;
    TfrxIEMObject* Parent = nullptr;  // the object this piece was cut from
    bool Exported = false;
};

// One object's place on the grid.
struct TfrxIEMObjectList {
    std::unique_ptr<TfrxIEMObject> Obj;
    int X = 0, Y = 0, DX = 1, DY = 1;
    bool Exist = false;  // the place matches what the grid shows of it
};

struct TfrxIEMPage {
    double Bottom = 0;
    TPrinterOrientation Orientation = poPortrait;
    double Width = 0, Height = 0;
    double LeftMargin = 0, TopMargin = 0, RightMargin = 0, BottomMargin = 0;
};

struct TfrxIEMBounds {
    int X = 0, Y = 0, DX = 0, DY = 0;
};

class TfrxIEMatrix : public TObject {
    KAROMIL_CLASS(TfrxIEMatrix, TObject)
public:
    TfrxIEMatrix();
    ~TfrxIEMatrix() override;

    // Options, set before the first object.
    bool ShowProgress = true;
    double MaxCellHeight = 0;  // a larger gap between two rows is split; 0 = no limit
    double MaxCellWidth = 0;
    double Inaccuracy = 0;  // boundaries closer than this are merged
    bool RotatedAsImage = false;
    bool DeleteHTMLTags = false;
    bool Background = false;  // also the page background and unnamed objects

    void Clear();
    // One object of the current page (shadows, rectangles and lines are turned into pieces).
    void AddObject(TfrxView* view);
    // Called after the objects of a page: the next page starts below everything added so far.
    void AddPage(TPrinterOrientation orientation, double width, double height, double leftMargin, double topMargin,
        double rightMargin, double bottomMargin);
    // Builds the grid after the last page.
    void Prepare();

    // A finished piece with its geometry (page offset included) and style index: records its
    // edges and appends its placement. AddObject ends here.
    void AddPlacement(std::unique_ptr<TfrxIEMObject> obj);
    // The index of an equal style already in the list (the new one is dropped), else of the
    // newly appended one.
    int AddStyle(std::unique_ptr<TfrxIEMStyle> style);

    // --- readers
    int GetWidth() const noexcept { return FWidth; }  // x boundaries = grid columns
    int GetHeight() const noexcept { return FHeight; }
    double GetMaxWidth() const noexcept { return FMaxWidth; }
    double GetMaxHeight() const noexcept { return FMaxHeight; }
    double GetPageOffset() const noexcept { return FPageOffset; }
    int Cell(int col, int row) const;  // placement index, -1 when none or outside
    double XPosValue(int i) const { return FXPos.at(size_t(i)); }
    double YPosValue(int i) const { return FYPos.at(size_t(i)); }
    int PlacementCount() const noexcept { return int(FObjects.size()); }
    TfrxIEMObject* PlacementOf(int i) const;
    TfrxIEMBounds PlacementBounds(int i) const;
    bool PlacementExists(int i) const { return FObjects.at(size_t(i)).Exist; }
    int StyleCount() const noexcept { return int(FStyles.size()); }
    TfrxIEMStyle* StyleOf(int i) const { return FStyles.at(size_t(i)).get(); }
    int PageCount() const noexcept { return int(FPages.size()); }
    double PageBottom(int i) const;
    const TfrxIEMPage& PageOf(int i) const { return FPages.at(size_t(i)); }
    TfrxIEMObject* ObjectAt(int col, int row) const;

private:
    void AddPos(std::vector<double>& list, double value);
    void SortPositions(std::vector<double>& list, double maxCell);
    void PlaceObjects();
    void FillCells();
    void CutObjects();
    void Step();
    int StyleWithBackground(int style, TColor color);
    int StyleWithFrame(int style, uint8_t frameTyp);
    void AddView(TfrxView* view);
    int AddViewStyle(TfrxView* view);

    std::vector<TfrxIEMObjectList> FObjects;
    std::vector<std::unique_ptr<TfrxIEMStyle>> FStyles;
    std::vector<double> FXPos, FYPos;
    std::vector<TfrxIEMPage> FPages;
    std::vector<int> FCells;
    int FWidth = 0, FHeight = 0;
    double FMaxWidth = 0, FMaxHeight = 0, FPageOffset = 0;
    std::unique_ptr<TfrxProgress> FProgress;
};
