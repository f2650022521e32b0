#include "report/output/frxTBPanel.h"

#include "platform/gui/Graphics.h"

KAROMIL_IMPLEMENT_CLASS(TfrxTBPanel, TCustomPanel)

TfrxTBPanel::TfrxTBPanel(TComponent* owner) : TCustomPanel(owner) {
    SetAlign(alLeft);
    SetBounds(GetLeft(), GetTop(), 8, 8);
    SetBevelOuter(bvNone);
    SetCaption("");
}

std::function<TAlign(TWinControl*)>& TfrxTBPanel::DockAlign() {
    static std::function<TAlign(TWinControl*)> hook;
    return hook;
}

void TfrxTBPanel::SetParent(TWinControl* parent) {
    TCustomPanel::SetParent(parent);
    if (parent && DockAlign()) {
        const TAlign a = DockAlign()(parent);
        if (a != alNone) SetAlign(a);
    }
}

void TfrxTBPanel::Paint() {
    TCanvas* c = Canvas();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(clBtnFace);
    c->FillRect(GetClientRect());
    if (GetComponentState().Contains(csDesigning)) {
        c->Brush()->SetStyle(bsClear);
        c->Pen()->SetColor(clBtnShadow);
        c->Pen()->SetStyle(psDot);
        c->Rectangle(GetClientRect());
        c->Pen()->SetStyle(psSolid);
    }
}
