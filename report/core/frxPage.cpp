#include "report/core/frxPage.h"

KAROMIL_IMPLEMENT_PUBLISHED_CLASS(TfrxPage, TfrxComponent)

TfrxPage::TfrxPage(TComponent* owner) : TfrxComponent(owner) {}
