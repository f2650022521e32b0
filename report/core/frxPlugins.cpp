#include "report/core/frxPlugins.h"

#include "platform/gui/Forms.h"
#include "report/core/frxRegistries.h"

KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TfrxCustomExportFilter, TComponent, {
    KAROMIL_PROP(ShowDialog).Default(1);
    KAROMIL_PROP(FileName);
})
KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TfrxCustomEngine, TPersistent, {
    p.Prop("CurColumn", &Self::CurColumn);
    p.Prop("CurVColumn", &Self::CurVColumn);
    p.Prop("CurX", &Self::CurX);
    p.Prop("CurY", &Self::CurY);
    KAROMIL_PROP_READONLY(DoublePass);
    p.Prop("FinalPass", &Self::FinalPass);
    p.Prop("PageHeight", &Self::PageHeight);
    p.Prop("PageWidth", &Self::PageWidth);
    p.Prop("StartDate", &Self::StartDate, TypeInfoDateTime());
    p.Prop("StartTime", &Self::StartTime, TypeInfoDateTime());
    p.Prop("TotalPages", &Self::TotalPages);
})
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
