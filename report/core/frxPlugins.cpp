#include "report/core/frxPlugins.h"

#include "report/core/frxOptions.h"
#include "report/core/frxRegistries.h"
#include "report/core/frxReport.h"

KAROMIL_IMPLEMENT_CLASS(TfrxCustomDesigner, TForm)
KAROMIL_IMPLEMENT_CLASS(TfrxCustomPreview, TCustomControl)
KAROMIL_IMPLEMENT_PUBLISHED_CLASS(TfrxCustomExportFilter, TComponent)
KAROMIL_IMPLEMENT_CLASS(TfrxCustomWizard, TComponent)
KAROMIL_IMPLEMENT_PUBLISHED_CLASS(TfrxCustomEngine, TPersistent)
KAROMIL_IMPLEMENT_CLASS(TfrxCustomOutline, TPersistent)
KAROMIL_IMPLEMENT_CLASS(TfrxCustomPreviewPages, TObject)

TfrxCustomDesigner::TfrxCustomDesigner(TComponent* owner, TfrxReport* report, bool previewDesigner)
    : TForm(owner), Report(report), IsPreviewDesigner(previewDesigner), FObjects(std::make_unique<TList>()),
      FSelectedObjects(std::make_unique<TList>()) {}

TfrxCustomDesigner::~TfrxCustomDesigner() = default;

void TfrxCustomDesigner::SetModified(bool value) {
    Modified = value;
    if (value && Report) Report->DesignModified = true;
}

TfrxDesignerFactory& frxDesignerClass() {
    static TfrxDesignerFactory factory;
    return factory;
}

std::function<void(TfrxReport*)>& frxPreviewWindow() {
    static std::function<void(TfrxReport*)> show;
    return show;
}

std::function<void(TCustomForm*, const std::string&)>& frxPreviewWindowMessage() {
    static std::function<void(TCustomForm*, const std::string&)> show;
    return show;
}

TfrxCustomExportFilter::TfrxCustomExportFilter(TComponent* owner) : TComponent(owner) {
    frxExportFilters()->Register(this);
}

TfrxCustomExportFilter::~TfrxCustomExportFilter() { frxExportFilters()->Unregister(this); }

TfrxCustomWizard::TfrxCustomWizard(TComponent* owner)
    : TComponent(owner), Designer(dynamic_cast<TfrxCustomDesigner*>(owner)),
      Report(Designer ? Designer->Report : nullptr) {}

TfrxCustomEngine::TfrxCustomEngine(TfrxReport* report) : Report(report), FNotifyList(std::make_unique<TList>()) {}

TfrxCustomEngine::~TfrxCustomEngine() = default;

bool TfrxCustomEngine::GetDoublePass() const { return Report && Report->GetEngineOptions()->DoublePass; }

void TfrxCustomEngine::StopReport() {
    if (Report) Report->SetTerminated(true);
}

TfrxCustomEngine* TfrxCustomOutline::Engine() const { return PreviewPages ? PreviewPages->Engine : nullptr; }

TfrxCustomPreviewPages::~TfrxCustomPreviewPages() = default;
