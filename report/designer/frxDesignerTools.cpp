#include "report/designer/frxDesignerTools.h"

#include <cmath>

#include "platform/gui/Graphics.h"
#include "report/core/frxClass.h"
#include "report/core/frxReportPage.h"

KAROMIL_IMPLEMENT_CLASS(TDesignerWorkspace, TCustomControl)
KAROMIL_IMPLEMENT_CLASS(TfrxSyntaxMemo, TCustomControl)
KAROMIL_IMPLEMENT_CLASS(TfrxObjectInspector, TComponent)
KAROMIL_IMPLEMENT_CLASS(TfrxDataTreeForm, TComponent)
KAROMIL_IMPLEMENT_CLASS(TfrxReportTreeForm, TComponent)

namespace {
constexpr double kPixelsPerMm = 3.77953;
constexpr int kPaperMargin = 10;  // grey around the paper
}  // namespace

TDesignerWorkspace::TDesignerWorkspace(TComponent* owner) : TCustomControl(owner) { SetColor(clWhite); }

void TDesignerWorkspace::SetPage(TfrxPage* page) {
    FPage = page;
    if (auto* rp = dynamic_cast<TfrxReportPage*>(page))
        SetBounds(kPaperMargin, kPaperMargin, int(std::lround(rp->GetPaperWidth() * kPixelsPerMm * Scale)),
            int(std::lround(rp->GetPaperHeight() * kPixelsPerMm * Scale)));
    Invalidate();
}

void TDesignerWorkspace::Unlock() {
    FLocked = false;
    Invalidate();
}

void TDesignerWorkspace::Paint() {
    TCanvas* c = Canvas();
    c->Brush()->SetColor(GetColor());
    c->Brush()->SetStyle(bsSolid);
    c->FillRect(GetClientRect());
    auto* page = dynamic_cast<TfrxReportPage*>(FPage);
    if (FLocked || !page) return;
    page->AlignChildren();
    // Objects stand in page pixels from the printable area's corner; the paper starts at the
    // margins.
    const double ox = page->LeftMargin * kPixelsPerMm * Scale, oy = page->TopMargin * kPixelsPerMm * Scale;
    TList* all = page->GetAllObjects();
    for (int i = 0; i < all->Count(); ++i) {
        auto* obj = static_cast<TfrxComponent*>(all->Items(i));
        if (auto* rc = dynamic_cast<TfrxReportComponent*>(obj)) {
            obj->InDesigner = true;
            rc->Draw(c, Scale, Scale, ox, oy);
        }
    }
}

TfrxSyntaxMemo::TfrxSyntaxMemo(TComponent* owner) : TCustomControl(owner), FLines(std::make_unique<TStringList>()) {
    SetColor(clWindow);
}

void TfrxSyntaxMemo::SetLines(TStrings* lines) {
    FLines->Assign(lines);
    Modified = false;
    Invalidate();
}

void TfrxSyntaxMemo::Paint() {
    TCanvas* c = Canvas();
    c->Brush()->SetColor(GetColor());
    c->Brush()->SetStyle(bsSolid);
    c->FillRect(GetClientRect());
    c->Font()->SetName("Courier New");
    c->Font()->SetSize(10);
    c->Brush()->SetStyle(bsClear);
    const int lineHeight = c->TextHeight("Wg") + 1;
    for (int i = 0; i < FLines->Count() && i * lineHeight < GetClientHeight(); ++i)
        c->TextOut(4, 2 + i * lineHeight, FLines->Get(i));
}
