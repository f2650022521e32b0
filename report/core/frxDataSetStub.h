#pragma once
// Stand-in for the report dataset family until the datasets themselves are built: the base
// class with the members the report core reads (UserName, Enabled, the report that runs it,
// Initialize/Finalize) and its entry in the process-wide list of datasets. The real classes
// replace this file.

#include <string>

#include "report/core/frxClass.h"

class TfrxReport;

class TfrxDataSet : public TfrxComponent {
    KAROMIL_CLASS(TfrxDataSet, TfrxComponent)
public:
    explicit TfrxDataSet(TComponent* owner);
    ~TfrxDataSet() override;

    bool GetEnabled() const noexcept { return FEnabled; }
    void SetEnabled(bool value) noexcept { FEnabled = value; }
    const std::string& GetUserName() const noexcept { return FUserName; }
    virtual void SetUserName(const std::string& value);
    TfrxReport* ReportRef = nullptr;

    virtual void Initialize() {}
    virtual void Finalize() {}

private:
    bool FEnabled = true;
    std::string FUserName;
};

class TfrxUserDataSet : public TfrxDataSet {
    KAROMIL_CLASS(TfrxUserDataSet, TfrxDataSet)
public:
    explicit TfrxUserDataSet(TComponent* owner) : TfrxDataSet(owner) {}
};
