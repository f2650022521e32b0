#include "report/core/frxPreviewPagesStub.h"

KAROMIL_IMPLEMENT_CLASS(TfrxOutline, TfrxCustomOutline)
KAROMIL_IMPLEMENT_CLASS(TfrxPreviewPages, TfrxCustomPreviewPages)

TfrxPreviewPages::TfrxPreviewPages(TfrxReport* report) : TfrxCustomPreviewPages(report) {
    Outline = std::make_unique<TfrxOutline>(this);
}
