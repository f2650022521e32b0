#pragma once
// TfrxPage: base of a report's top-level children, the report pages (which hold the bands and
// describe the paper) and the dialog pages (windows shown before the report pages run).

#include "report/core/frxClass.h"

class TfrxPage : public TfrxComponent {
    KAROMIL_CLASS(TfrxPage, TfrxComponent)
    KAROMIL_PUBLISHED({
        KAROMIL_PROP(Font).Stored(&Self::IsFontStored);
        KAROMIL_PROP(Visible).Default(1);
    })
public:
    explicit TfrxPage(TComponent* owner);
    bool IsPage() const noexcept override { return true; }
};
