#pragma once
// Stand-in for the page-building engine until it is built: a run that succeeds without
// producing pages. The engine's own unit replaces this file.

#include "report/core/frxPlugins.h"

class TfrxEngine : public TfrxCustomEngine {
    KAROMIL_CLASS(TfrxEngine, TfrxCustomEngine)
public:
    explicit TfrxEngine(TfrxReport* report) : TfrxCustomEngine(report) {}

    void EndPage() override {}
    void NewColumn() override {}
    void NewPage() override {}
    void ShowBand(TfrxBand*) override {}
    void ShowBandByClass(TClass) override {}
    double FootersHeight() override { return 0; }
    double FreeSpace() override { return 0; }
    Variant GetAggregateValue(const std::string&, const std::string&, TfrxBand*, int) override {
        return Variant::Null();
    }
    bool Run() override;
};
