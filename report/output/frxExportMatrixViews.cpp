// How each kind of report object becomes pieces of the grid.

#include <cmath>
#include <memory>

#include "platform/classes/StringList.h"
#include "platform/gui/Bitmaps.h"
#include "platform/rtl/ScopeGuard.h"
#include "report/core/frxMemoView.h"
#include "report/core/frxObjects.h"
#include "report/core/frxView.h"
#include "report/output/frxExportMatrix.h"

namespace {

uint8_t FrameBits(const TfrxFrame* frame) {
    uint8_t bits = 0;
    if (frame->Typ.Contains(ftLeft)) bits |= frxIEMLeft;
    if (frame->Typ.Contains(ftRight)) bits |= frxIEMRight;
    if (frame->Typ.Contains(ftTop)) bits |= frxIEMTop;
    if (frame->Typ.Contains(ftBottom)) bits |= frxIEMBottom;
    return bits;
}

void TakeFrame(TfrxIEMStyle& s, const TfrxFrame* frame) {
    s.FrameTyp = FrameBits(frame);
    s.FrameWidth = float(frame->Width);
    s.FrameColor = frame->Color;
    s.FrameStyle = frame->Style;
}

bool IsRectangle(TfrxView* view) {
    auto* shape = dynamic_cast<TfrxShapeView*>(view);
    return shape && shape->Shape == skRectangle;
}

bool IsStraightLine(TfrxView* view) {
    return dynamic_cast<TfrxCustomLineView*>(view) && (view->GetWidth() == 0 || view->GetHeight() == 0);
}

}  // namespace

int TfrxIEMatrix::AddViewStyle(TfrxView* view) {
    if (IsRectangle(view)) return -1;
    auto s = std::make_unique<TfrxIEMStyle>();
    if (auto* memo = dynamic_cast<TfrxCustomMemoView*>(view)) {
        TfrxHighlight* h = memo->GetHighlight();
        if (h->Active && h->GetFont()) {
            s->Font->Assign(h->GetFont());
            s->Color = h->Color;
        } else {
            s->Font->Assign(memo->GetFont());
            s->Color = memo->Color;
        }
        s->HAlign = memo->HAlign;
        s->VAlign = memo->VAlign;
        s->LineSpacing = memo->LineSpacing;
        s->GapX = memo->GapX;
        s->GapY = memo->GapY;
        s->Rotation = memo->GetRotation();
        TakeFrame(*s, memo->GetFrame());
    } else if (IsStraightLine(view)) {
        s->Color = view->Color;
        TakeFrame(*s, view->GetFrame());
        s->FrameTyp = view->GetWidth() == 0 ? frxIEMLeft : view->GetHeight() == 0 ? frxIEMTop : 0;
        s->Font->SetName("Arial");
        s->Font->SetSize(1);
    } else {
        s->Font->Assign(view->GetFont());
        s->Color = view->Color;
        TakeFrame(*s, view->GetFrame());
    }
    return AddStyle(std::move(s));
}

void TfrxIEMatrix::AddObject(TfrxView* view) {
    const std::string name = view->GetName();
    if ((name == "_pagebackground" || name.empty()) && !Background) return;
    auto* memo = dynamic_cast<TfrxCustomMemoView*>(view);
    if (!memo || !memo->GetFrame()->DropShadow) {
        AddView(view);
        return;
    }
    // The text goes in without its shadow; the shadow becomes two thin filled strips.
    TfrxFrame* frame = memo->GetFrame();
    const double sw = frame->ShadowWidth;
    const double left = memo->GetAbsLeft(), top = memo->GetAbsTop();
    const double w = memo->GetWidth(), h = memo->GetHeight();
    {
        auto restore = OnScopeExit([&] {
            memo->SetWidth(w);
            memo->SetHeight(h);
            frame->DropShadow = true;
        });
        memo->SetWidth(w - sw);
        memo->SetHeight(h - sw);
        frame->DropShadow = false;
        AddView(memo);
    }
    auto strip = [&](double l, double t, double sw2, double sh) {
        TfrxMemoView shadow(nullptr);
        shadow.SetName("Shadow");
        shadow.SetBounds(l, t, sw2, sh);
        shadow.GetFont()->SetSize(1);
        shadow.Color = frame->ShadowColor;
        AddView(&shadow);
    };
    strip(left + w - sw, top + sw, sw, h - sw);
    strip(left + sw, top + h - sw, w - sw, sw);
}

void TfrxIEMatrix::AddView(TfrxView* view) {
    if (IsRectangle(view)) {
        TfrxFrame* frame = view->GetFrame();
        const double l = view->GetAbsLeft(), t = view->GetAbsTop(), w = view->GetWidth(), h = view->GetHeight();
        if (view->Color == clNone) {
            // An empty rectangle is its four sides.
            const double sides[4][4] = {{l, t, w, 0}, {l, t, 0, h}, {l, t + h, w, 0}, {l + w, t, 0, h}};
            for (const auto& s : sides) {
                TfrxLineView line(nullptr);
                line.SetName("Line");
                line.SetBounds(s[0], s[1], s[2], s[3]);
                line.GetFrame()->Assign(frame);
                AddView(&line);
            }
        } else {
            TfrxMemoView rect(nullptr);
            rect.SetName("Rect");
            rect.SetBounds(l, t, w, h);
            rect.GetFrame()->Assign(frame);
            rect.GetFrame()->Typ = frxAllSides;
            rect.Color = view->Color;
            rect.GetFont()->SetSize(1);
            AddView(&rect);
        }
        return;
    }

    auto obj = std::make_unique<TfrxIEMObject>();
    obj->StyleIndex = AddViewStyle(view);
    obj->URL = view->URL;
    double left = view->GetAbsLeft(), top = view->GetAbsTop();
    double width = view->GetWidth(), height = view->GetHeight();
    // A negative size (a line drawn up or to the left) starts at its other end.
    auto startAtTopLeft = [&] {
        if (width < 0) {
            left += width;
            width = -width;
        }
        if (height < 0) {
            top += height;
            height = -height;
        }
    };
    auto* memo = dynamic_cast<TfrxCustomMemoView*>(view);
    if (view->GetName() == "_pagebackground") {
        obj->IsText = true;  // the page's colour and frame, never a picture
    } else if (memo && (memo->BrushStyle == bsSolid || memo->BrushStyle == bsClear) &&
        !(memo->GetRotation() != 0 && RotatedAsImage)) {
        if (DeleteHTMLTags && memo->AllowHTMLTags) obj->Memo->SetText(memo->WrapText(false));
        else obj->Memo->Assign(memo->GetMemo());
        obj->IsText = true;
    } else if (IsStraightLine(view)) {
        obj->IsText = true;
        startAtTopLeft();
        if (width == 0 && Inaccuracy >= 1) width = Inaccuracy;
        if (height == 0 && Inaccuracy >= 1) height = Inaccuracy;
    } else {
        if (std::round(width) == 0) width = 0;
        if (std::round(height) == 0) height = 0;
        startAtTopLeft();
        TfrxFrame* frame = view->GetFrame();
        const TfrxFrameTypes sides = frame->Typ;
        const bool hideFrame = !sides.Empty() && frame->Width > 0;
        auto restore = OnScopeExit([&] {
            if (hideFrame) frame->Typ = sides;
        });
        if (hideFrame) frame->Typ = TfrxFrameTypes();
        obj->Image = std::make_unique<TBitmap>(int(std::lround(width)) + 1, int(std::lround(height)) + 1);
        view->Draw(obj->Image->Canvas(), 1, 1, -view->GetAbsLeft(), -view->GetAbsTop());
        obj->IsText = false;
    }
    obj->Left = std::max(0.0, left);
    obj->Top = (top < 0 ? 0 : top) + FPageOffset;
    obj->Width = width;
    obj->Height = height;
    AddPlacement(std::move(obj));
}
