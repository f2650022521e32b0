#include "report/core/frxPage.h"

KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TfrxPage, TfrxComponent, {
    p.Prop("Font", &Self::GetFont, &Self::SetFont).Stored(&Self::IsFontStored);
    KAROMIL_PROP(Visible).Default(1);
})

TfrxPage::TfrxPage(TComponent* owner) : TfrxComponent(owner) {}
