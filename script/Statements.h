#pragma once
// Statements of all four languages. A statement list is itself a statement; a script's main
// block is its MainStatement, and a procedure's body the MainStatement of its local script.
// Execution is driven by the owner script's flags Terminated, ExitFlag, BreakFlag and
// ContinueFlag; announcing statements call the script's RunLine first.

#include <memory>
#include <string>
#include <vector>

#include "script/Designator.h"

class TfsStatement {
public:
    TfsStatement(TfsScript* program, std::string unitName, std::string sourcePos);
    virtual ~TfsStatement();
    TfsStatement(const TfsStatement&) = delete;
    TfsStatement& operator=(const TfsStatement&) = delete;

    TfsScript* OwnerScript;
    std::string UnitName;
    std::string SourcePos;

    int Count() const noexcept { return int(FItems.size()); }
    TfsStatement* Items(int index) const { return FItems.at(size_t(index)).get(); }
    TfsStatement* Add(std::unique_ptr<TfsStatement> s);
    void Clear() { FItems.clear(); }
    void Truncate(int count);  // drops the statements from `count` on

    virtual void Execute();

protected:
    void Announce() { OwnerScript->RunLine(UnitName, SourcePos); }
    void RunList();
    std::vector<std::unique_ptr<TfsStatement>> FItems;
};

class TfsAssignmentStmt : public TfsStatement {
public:
    using TfsStatement::TfsStatement;
    std::unique_ptr<TfsDesignator> Target;
    std::unique_ptr<TfsExpression> Source;
    TfsCustomVariable* TargetItem = nullptr;
    TfsCustomVariable* SourceItem = nullptr;
    // Where SourceItem keeps its value when reading it runs nothing (a constant, a variable, a
    // parameter), so the value is read in place; nullptr otherwise.
    const Variant* SourceDirect = nullptr;
    void Prepare();
    void Execute() override;
};

// Compound assignments: target := target op source.
class TfsAssignOpStmt : public TfsAssignmentStmt {
public:
    TfsAssignOpStmt(TfsScript* program, std::string unitName, std::string sourcePos, char op)
        : TfsAssignmentStmt(program, std::move(unitName), std::move(sourcePos)), Op(op) {}
    char Op;  // '+', '-', '*', '/'
    void Execute() override;
};

class TfsCallStmt : public TfsStatement {
public:
    using TfsStatement::TfsStatement;
    std::unique_ptr<TfsDesignator> Target;
    std::string IncDec;
    void Execute() override;
};

class TfsIfStmt : public TfsStatement {
public:
    TfsIfStmt(TfsScript* program, std::string unitName, std::string sourcePos);
    std::unique_ptr<TfsExpression> Test;
    std::unique_ptr<TfsStatement> ElseBranch;
    void Execute() override;
};

class TfsCaseSelector : public TfsStatement {
public:
    using TfsStatement::TfsStatement;
    std::unique_ptr<TfsSetExpression> Labels;
};

class TfsCaseStmt : public TfsStatement {
public:
    TfsCaseStmt(TfsScript* program, std::string unitName, std::string sourcePos);
    std::unique_ptr<TfsExpression> Selector;
    std::unique_ptr<TfsStatement> ElseBranch;
    void Execute() override;
};

class TfsRepeatStmt : public TfsStatement {
public:
    using TfsStatement::TfsStatement;
    std::unique_ptr<TfsExpression> Test;
    bool UntilFalse = false;
    void Execute() override;
};

class TfsWhileStmt : public TfsStatement {
public:
    using TfsStatement::TfsStatement;
    std::unique_ptr<TfsExpression> Test;
    void Execute() override;
};

class TfsForStmt : public TfsStatement {
public:
    using TfsStatement::TfsStatement;
    std::unique_ptr<TfsExpression> StartExpr;
    bool DownTo = false;
    std::unique_ptr<TfsExpression> StopExpr;
    TfsCustomVariable* Counter = nullptr;
    void Execute() override;
};

class TfsVbForStmt : public TfsStatement {
public:
    using TfsStatement::TfsStatement;
    std::unique_ptr<TfsExpression> StartExpr, StopExpr, StepExpr;
    TfsCustomVariable* Counter = nullptr;
    void Execute() override;
};

class TfsCppForStmt : public TfsStatement {
public:
    TfsCppForStmt(TfsScript* program, std::string unitName, std::string sourcePos);
    std::unique_ptr<TfsStatement> InitList;
    std::unique_ptr<TfsExpression> Test;
    std::unique_ptr<TfsStatement> NextList;
    void Execute() override;
};

class TfsTryStmt : public TfsStatement {
public:
    TfsTryStmt(TfsScript* program, std::string unitName, std::string sourcePos);
    bool IsExceptBlock = false;
    std::unique_ptr<TfsStatement> HandlerList;
    void Execute() override;
};

class TfsBreakStmt : public TfsStatement {
public:
    using TfsStatement::TfsStatement;
    void Execute() override { OwnerScript->BreakFlag = true; }
};

class TfsContinueStmt : public TfsStatement {
public:
    using TfsStatement::TfsStatement;
    void Execute() override { OwnerScript->ContinueFlag = true; }
};

class TfsExitStmt : public TfsStatement {
public:
    using TfsStatement::TfsStatement;
    void Execute() override { OwnerScript->ExitFlag = true; }
};

class TfsWithStmt : public TfsStatement {
public:
    using TfsStatement::TfsStatement;
    std::unique_ptr<TfsDesignator> Target;
    TfsCustomVariable* WithVar = nullptr;
    void Execute() override;
};
