#pragma once
// Expressions: a tree of operand and operator nodes, built left to right from the operands
// and operator texts the program builder feeds in; each operator finds its place by priority.
// Complete type-checks the tree and marks the nodes that may take the Integer and Boolean
// fast paths.

#include <memory>
#include <string>
#include <vector>

#include "script/Interpreter.h"

class TfsDesignator;
class TfsSetExpression;

class TfsExpressionNode : public TfsCustomVariable {
public:
    explicit TfsExpressionNode(bool operand) : TfsCustomVariable("", tcVariant, ""), FOperand(operand) {}
    std::unique_ptr<TfsExpressionNode> Left, Right;
    TfsExpressionNode* ParentNode = nullptr;
    // Where the node's value is stored when reading it runs nothing (a constant, a variable, a
    // parameter): operators then read it in place instead of copying it. nullptr otherwise.
    const Variant* Direct = nullptr;
    // Set by Complete: the height of the subtree when it is Integer arithmetic (+ - * div mod)
    // of operands read in place, so that it can be computed on plain integers without running
    // anything; 0 otherwise. Kept small, since that computation recurses.
    uint8_t IntDepth = 0;
    virtual int Priority() const = 0;
    bool IsOperand() const noexcept { return FOperand; }

private:
    bool FOperand;
};

class TfsOperandNode : public TfsExpressionNode {
public:
    explicit TfsOperandNode(const Variant& value);
    int Priority() const override { return 0; }
};

class TfsDesignatorNode : public TfsOperandNode {
public:
    explicit TfsDesignatorNode(std::unique_ptr<TfsDesignator> designator);
    ~TfsDesignatorNode() override;
    TfsDesignator* Designator() const noexcept { return FDesignator.get(); }
    TfsCustomVariable* Source() const noexcept { return FSource; }
    Variant GetValue() override;

private:
    std::unique_ptr<TfsDesignator> FDesignator;
    TfsCustomVariable* FSource;
};

class TfsSetNode : public TfsOperandNode {
public:
    explicit TfsSetNode(std::unique_ptr<TfsSetExpression> set);
    ~TfsSetNode() override;
    TfsSetExpression* Set() const noexcept { return FSet.get(); }
    Variant GetValue() override;

private:
    std::unique_ptr<TfsSetExpression> FSet;
};

enum TfsOpCode : uint8_t {
    opNone,
    opGreat,
    opLess,
    opLessEq,
    opGreatEq,
    opNonEq,
    opEq,
    opPlus,
    opMinus,
    opOr,
    opXor,
    opMul,
    opDivFloat,
    opDivInt,
    opMod,
    opAnd,
    opShl,
    opShr,
    opLeftBracket,
    opRightBracket,
    opNot,
    opUnMinus,
    opIn,
    opIs,
};

class TfsOperatorNode : public TfsExpressionNode {
public:
    TfsOperatorNode(TfsOpCode code, bool strCat, TfsScript* script);
    TfsOpCode OpCode;
    bool StrCat;  // "strcat": text of left and right when the left value is a string
    bool IntFastPath = false;
    bool BoolShortCut = false;
    bool IntOperands = false;  // both operands have an IntDepth: try them as plain integers first
    int Priority() const override;
    Variant GetValue() override;

private:
    Variant Combine(const Variant& l, const Variant& r) const;  // the operators of two operands
    Variant WithLeft(const Variant& l);  // the value, the left operand's value given
    TfsScript* FScript;  // for "is": the class named on the right
};

// A set constructor [a, b..c]; a range b..c is kept as b, nullptr, c.
class TfsSetExpression : public TfsCustomVariable {
public:
    TfsSetExpression() : TfsCustomVariable("", tcVariant, "") {}
    ~TfsSetExpression() override;
    void Add(std::unique_ptr<class TfsExpression> item);  // nullptr marks a range
    int ItemCount() const noexcept { return int(FItems.size()); }
    Variant GetValue() override;
    bool InSet(const Variant& value);

private:
    std::vector<std::unique_ptr<class TfsExpression>> FItems;
};

class TfsExpression : public TfsCustomVariable {
public:
    explicit TfsExpression(TfsScript* script);
    ~TfsExpression() override;

    TfsExpressionNode* Root() const noexcept { return FRoot.get(); }
    std::string SourceText;

    void AddOperand(const Variant& value);
    void AddDesignator(std::unique_ptr<TfsDesignator> designator);
    void AddSet(std::unique_ptr<TfsSetExpression> set);
    // Raises Exception for an operator text the engine does not know.
    void AddOperator(const std::string& text);
    // The position of the first operator whose operands do not fit, or ''.
    std::string Complete();
    // For target := target op operand: removes the target operand and answers the compound
    // operator ("+", "-", "*", "/"), or " " when the shape does not fit.
    std::string Optimize(TfsDesignator* target);
    TfsCustomVariable* SingleItem() const;

    Variant GetValue() override { return FRoot->GetValue(); }
    Variant Evaluate() { return FRoot->GetValue(); }  // GetValue without the virtual call
    void SetValue(const Variant& value) override;

private:
    void AddNode(std::unique_ptr<TfsExpressionNode> node);
    static void Link(TfsExpressionNode* parent, std::unique_ptr<TfsExpressionNode> child);
    static std::unique_ptr<TfsExpressionNode> Detach(TfsExpressionNode* parent, TfsExpressionNode* child);
    void Check(TfsExpressionNode* node, TfsTypeCode& code, std::string& typeName, std::string& errorPos);
    void CheckOperator(TfsOperatorNode* op, TfsTypeCode lc, const std::string& ln, TfsTypeCode rc,
        const std::string& rn, std::string& errorPos);

    TfsScript* FScript;
    std::unique_ptr<TfsExpressionNode> FRoot;
    TfsExpressionNode* FCurrent;
};
