#pragma once
// A designer window that does nothing: what the report's design and edit commands need of one
// while no real designer is linked.

#include <string>

#include "report/core/frxWindowPlugins.h"

class TFakeDesigner : public TfrxCustomDesigner {
public:
    TFakeDesigner(TfrxReport* r, bool preview) : TfrxCustomDesigner(nullptr, r, preview) {}
    TStrings* GetCode() override { return nullptr; }
    std::string InsertExpression(const std::string& e) override { return e; }
    void Lock() override {}
    void ReloadPages(int) override {}
    void ReloadReport() override {}
    void UpdateDataTree() override {}
    void UpdatePage() override {}
};
