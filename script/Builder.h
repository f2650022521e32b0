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
    static std::unique_ptr<TfsDesignator> BuildStoredDesignator(TfsScript* script, const TfsXMLItem& il,
                                                                const std::string& sourceText);

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
    void BuildConst(TfsXMLItem* e, TfsScript* s);
    Variant BuildArray(TfsXMLItem* e, TfsScript* s, int& dims);
    void BuildStatement(TfsXMLItem* e, TfsScript* s, TfsStatement* list);
    void BuildChildren(TfsXMLItem* e, TfsScript* s, TfsStatement* list, int from = 0, int to = -1);
    void BuildAssign(TfsXMLItem* e, TfsScript* s, TfsStatement* list);
    void BuildWith(TfsXMLItem* e, TfsScript* s, TfsStatement* list);
    void BuildUses(TfsXMLItem* e, TfsScript* s);
    TfsStatement* AddStatement(std::unique_ptr<TfsStatement> st, TfsStatement* list);

    std::unique_ptr<TfsExpression> BuildExpr(TfsXMLItem* e, TfsScript* s);
    void AddExprChildren(TfsExpression* x, TfsXMLItem* e, TfsScript* s);
    std::unique_ptr<TfsSetExpression> BuildSet(TfsXMLItem* e, TfsScript* s);
    std::unique_ptr<TfsDesignator> BuildDesignator(TfsXMLItem* e, TfsScript* s, Mode mode);
    bool FirstStepFromWith(TfsDesignator* d, TfsXMLItem* e, TfsScript* s, const std::string& name);
    void MakePending(TfsDesignator* d, TfsXMLItem* e, const WithEntry* with);
    void OleSteps(TfsDesignator* d, TfsXMLItem* e, int from, TfsScript* s);
    void CheckArguments(TfsDesignator* d, TfsScript* s);
    TfsCustomVariable* FindName(const std::string& name, TfsScript* s);
    std::string ResolveType(std::string& typeName, TfsTypeCode& code);
    void CheckRedeclared(TfsScript* s, const std::string& name);
    void CheckTypes(TfsScript* s, const TfsCustomVariable* target, const TfsCustomVariable* source);
    std::string CutSource(const std::string& pos, const std::string& pos1);

    TfsILParser* FParser = nullptr;
    TfsScript& FScript;
    TfsParser* FText = nullptr;           // the source text, for expression source texts
    std::unique_ptr<TfsParser> FOwnText;  // the stored designator's copy of it
    std::string FErrorPos;
    std::string FUnitName;
    TfsXMLItem* FUnit = nullptr;
    std::vector<WithEntry> FWithList;
    bool FNeedDeclareVars = true;
    bool FStored = false;                 // building a stored designator at run time
};
