#include "report/core/frxFrameStub.h"

KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TfrxFrame, TPersistent, {
    p.Prop("Color", &Self::Color, TypeInfoColor()).Default(0);
    p.Prop("DropShadow", &Self::DropShadow).Default(0);
    p.Prop("ShadowColor", &Self::ShadowColor, TypeInfoColor()).Default(0);
    p.Prop("ShadowWidth", &Self::ShadowWidth).Stored(&Self::IsShadowWidthStored);
    p.Prop("Style", &Self::Style).Default(fsSolid);
    p.Prop("Typ", &Self::Typ).Stored(&Self::IsTypStored);
    p.Prop("Width", &Self::Width).Stored(&Self::IsWidthStored);
})

void TfrxFrame::Assign(TPersistent* source) {
    auto* s = dynamic_cast<TfrxFrame*>(source);
    if (!s) return;
    Color = s->Color;
    DropShadow = s->DropShadow;
    ShadowColor = s->ShadowColor;
    ShadowWidth = s->ShadowWidth;
    Style = s->Style;
    Typ = s->Typ;
    Width = s->Width;
}
