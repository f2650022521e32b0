#include "report/core/frxPlugins.h"

#include "platform/gui/Forms.h"
#include "report/core/frxRegistries.h"

KAROMIL_IMPLEMENT_PUBLISHED_CLASS(TfrxCustomExportFilter, TComponent)
KAROMIL_IMPLEMENT_PUBLISHED_CLASS(TfrxCustomEngine, TPersistent)
KAROMIL_IMPLEMENT_CLASS(TfrxCustomOutline, TPersistent)
KAROMIL_IMPLEMENT_CLASS(TfrxCustomPreviewPages, TObject)

TfrxCustomExportFilter::TfrxCustomExportFilter(TComponent* owner) : TComponent(owner) {
    frxExportFilters()->Register(this);
}

TfrxCustomExportFilter::~TfrxCustomExportFilter() { frxExportFilters()->Unregister(this); }

TModalResult TfrxCustomExportFilter::ShowModal() { return mrOk; }

TfrxCustomEngine::TfrxCustomEngine(TfrxReport* report) : Report(report), FNotifyList(std::make_unique<TList>()) {}

TfrxCustomEngine::~TfrxCustomEngine() = default;

// GetDoublePass and StopReport ask the report, so they live with the engine (frxEngine.cpp).

TfrxCustomEngine* TfrxCustomOutline::Engine() const { return PreviewPages ? PreviewPages->Engine : nullptr; }

TfrxCustomPreviewPages::~TfrxCustomPreviewPages() = default;
