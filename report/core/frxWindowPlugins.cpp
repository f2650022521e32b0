#include "report/core/frxWindowPlugins.h"

#include "report/core/frxReport.h"

KAROMIL_IMPLEMENT_CLASS(TfrxCustomDesigner, TForm)
KAROMIL_IMPLEMENT_CLASS(TfrxCustomPreview, TCustomControl)
KAROMIL_IMPLEMENT_CLASS(TfrxCustomWizard, TComponent)

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

TfrxCustomWizard::TfrxCustomWizard(TComponent* owner)
    : TComponent(owner), Designer(dynamic_cast<TfrxCustomDesigner*>(owner)),
      Report(Designer ? Designer->Report : nullptr) {}
