#pragma once
// The program builder: turns the intermediate program of TfsILParser into the objects the
// interpreter runs. It registers variables, constants and procedures, builds statements,
// expressions and designators, resolves every name and checks types and argument counts.
// Semantic errors are Czech (ScriptTools.h) and are stored in the script, not raised.

#include <memory>
#include <string>
#include <vector>

#include "script/Designator.h"
#include "script/ILParser.h"
#include "script/Statements.h"
#include "script/Tokenizer.h"

class TfsProgramBuilder {
public:
    TfsProgramBuilder(TfsILParser& parser, TfsScript& script);
    // Builds the parser's intermediate program into the script; an error goes to the
    // script's ErrorMsg, ErrorPos and ErrorUnit.
    void BuildProgram();
    // Builds a designator stored for first use. Raises when it still cannot be resolved.
    static std::unique_ptr<TfsDesignator> BuildStoredDesignator(
        TfsScript* script, const TfsXMLItem& il, const std::string& sourceText);

private:
    enum class Mode { Plain, AfterNew, Delete };
    struct WithEntry {
        std::string Name;
        TfsCustomVariable* Var;
    };

    explicit TfsProgramBuilder(TfsScript& script);
    void SetPos(const TfsXMLItem* e);
    [[noreturn]] void Fail(const std::string& message);

    void BuildUnit(TfsXMLItem* e, TfsScript* s, bool isUnit);
    void DeclarePass(TfsXMLItem* e, TfsScript* s);
    TfsProcVariable* DeclareProc(TfsXMLItem* e, TfsScript* s);
    void BuildParams(TfsXMLItem* e, TfsProcVariable* proc);
    void BuildVar(TfsXMLItem* e, TfsScript* s, TfsStatement* list, TfsProcVariable* proc, bool byRefGroup);
    void BuildConst(TfsXMLItem* e, TfsScript* s, TfsStatement* list);
    Variant BuildArray(TfsXMLItem* e, TfsScript* s, int& dims);
    // Statement builders, one per element name (BuildStatement dispatches by a table); the
    // declarations among them (var, const, procedure, uses) register into the scope `s`.
    void BuildStatement(TfsXMLItem* e, TfsScript* s, TfsStatement* list);
    void BuildChildren(TfsXMLItem* e, TfsScript* s, TfsStatement* list, int from = 0, int to = -1);
    void BuildAssign(TfsXMLItem* e, TfsScript* s, TfsStatement* list);
    void AssignTo(std::unique_ptr<TfsDesignator> target, TfsXMLItem* ex, std::string modificator,
        const std::string& pos, TfsScript* s, TfsStatement* list);
    void BuildCall(TfsXMLItem* e, TfsScript* s, TfsStatement* list);
    void BuildIf(TfsXMLItem* e, TfsScript* s, TfsStatement* list);
    void BuildCase(TfsXMLItem* e, TfsScript* s, TfsStatement* list);
    void BuildFor(TfsXMLItem* e, TfsScript* s, TfsStatement* list);
    void BuildVbFor(TfsXMLItem* e, TfsScript* s, TfsStatement* list);
    void BuildForLoop(TfsXMLItem* e, TfsScript* s, TfsStatement* list, bool vb);
    void BuildCppFor(TfsXMLItem* e, TfsScript* s, TfsStatement* list);
    void BuildWhile(TfsXMLItem* e, TfsScript* s, TfsStatement* list);
    void BuildRepeat(TfsXMLItem* e, TfsScript* s, TfsStatement* list);
    void BuildTry(TfsXMLItem* e, TfsScript* s, TfsStatement* list);
    void BuildReturn(TfsXMLItem* e, TfsScript* s, TfsStatement* list);
    void BuildDelete(TfsXMLItem* e, TfsScript* s, TfsStatement* list);
    void BuildProcBody(TfsXMLItem* e, TfsScript* s, TfsStatement* list);
    template <class Jump>
    void BuildJump(TfsXMLItem* e, TfsScript* s, TfsStatement* list);
    void BuildCompound(TfsXMLItem* e, TfsScript* s, TfsStatement* list);
    void BuildVarStmt(TfsXMLItem* e, TfsScript* s, TfsStatement* list);
    void BuildWith(TfsXMLItem* e, TfsScript* s, TfsStatement* list);
    void BuildUses(TfsXMLItem* e, TfsScript* s, TfsStatement* list);
    TfsStatement* AddStatement(std::unique_ptr<TfsStatement> st, TfsStatement* list);

    std::unique_ptr<TfsExpression> BuildExpr(TfsXMLItem* e, TfsScript* s);
    void AddExprChildren(TfsExpression* x, TfsXMLItem* e, TfsScript* s);
    std::unique_ptr<TfsSetExpression> BuildSet(TfsXMLItem* e, TfsScript* s);
    std::unique_ptr<TfsDesignator> BuildDesignator(TfsXMLItem* e, TfsScript* s, Mode mode);
    // A designator of the one name `name` (no element of its own).
    std::unique_ptr<TfsDesignator> BuildNameDesignator(const std::string& name, TfsScript* s);
    bool FirstStep(TfsDesignator* d, TfsXMLItem* e, TfsScript* s, const std::string& name, Mode mode);
    bool FirstStepFromWith(TfsDesignator* d, TfsXMLItem* e, TfsScript* s, const std::string& name);
    // Leaves the designator to be built on first use from its element `e` (nullptr: the bare
    // `name`).
    void MakePending(TfsDesignator* d, TfsXMLItem* e, const std::string& name, const WithEntry* with);
    void OleSteps(TfsDesignator* d, TfsXMLItem* e, int from, TfsScript* s);
    void CheckArguments(TfsDesignator* d, TfsScript* s);
    TfsCustomVariable* FindName(const std::string& name, TfsScript* s);
    std::string ResolveType(std::string& typeName, TfsTypeCode& code);
    void CheckRedeclared(TfsScript* s, const std::string& name);
    void CheckTypes(TfsScript* s, const TfsCustomVariable* target, const TfsCustomVariable* source);
    std::string CutSource(const std::string& pos, const std::string& pos1);

    TfsILParser* FParser = nullptr;
    TfsScript& FScript;
    TfsParser* FText = nullptr;  // the source text, for expression source texts
    std::unique_ptr<TfsParser> FOwnText;  // the stored designator's copy of it
    std::string FErrorPos;
    std::string FUnitName;
    TfsXMLItem* FUnit = nullptr;
    std::vector<WithEntry> FWithList;
    bool FNeedDeclareVars = true;
    bool FStored = false;  // building a stored designator at run time
};
