#include "report/designer/frxDesignerOptions.h"

KAROMIL_IMPLEMENT_PUBLISHED_CLASS(TfrxDesigner, TComponent)

namespace {
TfrxDesigner* gActive = nullptr;
}

TfrxDesigner* frxActiveDesignerComponent() { return gActive; }
void frxSetActiveDesignerComponent(TfrxDesigner* designer) { gActive = designer; }

TfrxDesigner::TfrxDesigner(TComponent* owner) : TComponent(owner) { gActive = this; }

TfrxDesigner::~TfrxDesigner() {
    // Sound: only the active instance takes the reference with it; freeing an older one
    // must not silently drop the restrictions of the newer one that is in use.
    if (gActive == this) gActive = nullptr;
}
