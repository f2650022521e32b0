#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/classes/StringList.h"
#include "report/output/frxExportMatrix.h"

namespace {

struct TPiece {
    double Left, Top, Width, Height;
    std::string Text;
    TColor Color = clNone;
    uint8_t Frame = 0;
    TColor FontColor = clBlack;
};

// Adds a text piece the way AddObject ends, on the matrix's current page.
int Add(TfrxIEMatrix& m, const TPiece& p) {
    auto style = std::make_unique<TfrxIEMStyle>();
    style->Color = p.Color;
    style->FrameTyp = p.Frame;
    style->Font->SetColor(p.FontColor);
    auto obj = std::make_unique<TfrxIEMObject>();
    obj->StyleIndex = m.AddStyle(std::move(style));
    obj->Left = p.Left;
    obj->Top = p.Top + m.GetPageOffset();
    obj->Width = p.Width;
    obj->Height = p.Height;
    if (!p.Text.empty()) obj->Memo->SetText(p.Text);
    m.AddPlacement(std::move(obj));
    return m.PlacementCount() - 1;
}

std::unique_ptr<TfrxIEMatrix> NewMatrix(double inaccuracy = 0.5) {
    auto m = std::make_unique<TfrxIEMatrix>();
    m->ShowProgress = false;
    m->Inaccuracy = inaccuracy;
    return m;
}

// The grid as text, one line a row: the placement's first text line, "." for none.
std::string Grid(const TfrxIEMatrix& m) {
    std::string out;
    for (int y = 0; y + 1 < m.GetHeight(); ++y) {
        for (int x = 0; x + 1 < m.GetWidth(); ++x) {
            TfrxIEMObject* o = m.ObjectAt(x, y);
            out += o ? (o->Memo->Count() ? o->Memo->Strings(0) : std::string("_")) : std::string(".");
        }
        out += "\n";
    }
    return out;
}

}  // namespace

TEST(ExportMatrix, SmallPageAsATable) {
    auto m = NewMatrix();
    // A heading over three columns, two cells below it, one of them bordered.
    const int head = Add(*m, {0, 0, 300, 20, "H"});
    Add(*m, {0, 20, 100, 20, "a"});
    const int b = Add(*m, {100, 20, 200, 20, "b", clNone, frxIEMLeft | frxIEMTop});
    Add(*m, {200, 40, 100, 20, "c"});
    Add(*m, {0.3, 40, 99.8, 20, "d"});  // edges within 0.5 of the column boundaries
    m->AddPage(poPortrait, 794, 1123, 10, 10, 10, 10);
    m->Prepare();
    EXPECT_EQ(m->GetWidth(), 4);  // 0 and 100 give way to the 0.3 and 100.1 edges just after them
    EXPECT_EQ(Grid(*m), "HHH\nabb\nd.c\n");
    EXPECT_EQ(m->PlacementBounds(head).DX, 3);
    EXPECT_EQ(m->PlacementBounds(b).DX, 2);
    EXPECT_EQ(m->StyleCount(), 2) << "plain and bordered";
    EXPECT_EQ(m->PlacementOf(b)->Style->FrameTyp, frxIEMLeft | frxIEMTop);
}

TEST(ExportMatrix, TallObjectIsSplitIntoRows) {
    auto m = NewMatrix();
    m->MaxCellHeight = 539.88;
    const int tall = Add(*m, {0, 0, 100, 1200, "t"});
    m->Prepare();
    EXPECT_EQ(m->PlacementBounds(tall).DY, 3);  // boundaries 0, 539.88, 1079.76, 1200
    EXPECT_DOUBLE_EQ(m->YPosValue(1), 539.88);
}

TEST(ExportMatrix, TransparentObjectTakesTheFillUnderIt) {
    struct {
        TColor Under, Font;
        TColor Expected;
    } cases[] = {
        {clYellow, clBlack, clYellow},
        {clYellow, clYellow, clNone},  // the fill would hide the text
        {clNone, clBlack, clNone},
    };
    for (const auto& c : cases) {
        auto m = NewMatrix();
        Add(*m, {0, 0, 200, 40, "under", c.Under});
        const int top = Add(*m, {0, 0, 100, 20, "over", clNone, 0, c.Font});
        m->Prepare();
        EXPECT_EQ(m->PlacementOf(top)->Style->Color, c.Expected) << c.Under << "/" << c.Font;
    }
}

TEST(ExportMatrix, PartlyHiddenObjectIsCutIntoVisiblePieces) {
    auto m = NewMatrix();
    const uint8_t all = frxIEMLeft | frxIEMRight | frxIEMTop | frxIEMBottom;
    const int big = Add(*m, {0, 0, 300, 60, "big", clNone, all});
    Add(*m, {200, 0, 100, 60, "cover"});  // hides the right third
    Add(*m, {0, 40, 200, 20, "low"});  // hides the bottom
    m->Prepare();
    EXPECT_FALSE(m->PlacementExists(big));
    TfrxIEMObject* piece = m->ObjectAt(0, 0);
    ASSERT_NE(piece, nullptr);
    EXPECT_EQ(piece->Parent, m->PlacementOf(big));
    EXPECT_EQ(piece->Memo->Strings(0), "big") << "the visible piece carries the text";
    EXPECT_EQ(m->PlacementOf(big)->Memo->Count(), 0);
    EXPECT_EQ(piece->Style->FrameTyp, frxIEMLeft | frxIEMTop) << "only the cut object's own edges";
    EXPECT_EQ(Grid(*m), "bigcover\nlowcover\n");
}

TEST(ExportMatrix, HiddenCornerStillKeepsTheText) {
    auto m = NewMatrix();
    Add(*m, {0, 0, 300, 60, "text"});
    Add(*m, {0, 0, 250, 60, "cover"});  // only the rightmost strip stays visible
    m->Prepare();
    EXPECT_EQ(Grid(*m), "covertext\n");
}

TEST(ExportMatrix, PagesAreStacked) {
    auto m = NewMatrix();
    Add(*m, {0, 0, 100, 20, "p1"});
    Add(*m, {0, 30, 100, 20, "p1b"});
    m->AddPage(poPortrait, 794, 1123, 10, 10, 10, 10);
    const int second = Add(*m, {0, 0, 100, 20, "p2"});
    m->AddPage(poLandscape, 1123, 794, 10, 10, 10, 10);
    m->Prepare();
    EXPECT_DOUBLE_EQ(m->PlacementOf(second)->Top, 50);
    EXPECT_DOUBLE_EQ(m->PageBottom(0), 50);
    EXPECT_DOUBLE_EQ(m->PageBottom(1), 70);
    EXPECT_DOUBLE_EQ(m->PageBottom(2), 0);
    EXPECT_EQ(m->Cell(-1, 0), -1);
    EXPECT_EQ(m->PlacementOf(99), nullptr);
}
