#include "script/Expression.h"

#include <algorithm>
#include <cassert>

#include "platform/rtl/Strings.h"
#include "script/Designator.h"

namespace {

struct OpText {
    const char* Text;
    TfsOpCode Code;
    bool StrCat;
};

const OpText kOperators[] = {
    {" ", opNone, false},
    {">", opGreat, false},
    {"<", opLess, false},
    {"<=", opLessEq, false},
    {">=", opGreatEq, false},
    {"<>", opNonEq, false},
    {"=", opEq, false},
    {"+", opPlus, false},
    {"strcat", opPlus, true},
    {"-", opMinus, false},
    {"or", opOr, false},
    {"xor", opXor, false},
    {"*", opMul, false},
    {"/", opDivFloat, false},
    {"div", opDivInt, false},
    {"mod", opMod, false},
    {"and", opAnd, false},
    {"shl", opShl, false},
    {"shr", opShr, false},
    {"(", opLeftBracket, false},
    {")", opRightBracket, false},
    {"not", opNot, false},
    {"unminus", opUnMinus, false},
    {"in", opIn, false},
    {"is", opIs, false},
};

[[noreturn]] void Overflow() { throw EIntOverflow(SIntegerOverflow); }

inline bool IntKind(const Variant& v) noexcept {
    const TVarType t = v.VarType();
    return t == varInteger || t == varInt64;
}

inline int64_t AsInt(const Variant& v) { return IntKind(v) ? v.RawInt() : v.AsInt64(); }

// Integer results are 32-bit; anything beyond is the platform's integer overflow.
inline Variant IntResult(int64_t r) {
    if (r < INT32_MIN || r > INT32_MAX) Overflow();
    return Variant(int(r));
}

// + - * div mod of two integers, with the platform's overflow and division errors.
inline int64_t IntArith(TfsOpCode op, int64_t a, int64_t b) {
    int64_t r;
    switch (op) {
    // Sound: the operands may be Int64 values, so every step is checked; a plain a + b or
    // INT64_MIN div -1 overflowed into undefined behaviour before the range check below.
    case opPlus:
        if (__builtin_add_overflow(a, b, &r)) Overflow();
        break;
    case opMinus:
        if (__builtin_sub_overflow(a, b, &r)) Overflow();
        break;
    case opMul:
        if (__builtin_mul_overflow(a, b, &r)) Overflow();
        break;
    case opDivInt:
        if (b == 0) throw EDivByZero(SDivByZero);
        if (b == -1 && a == INT64_MIN) Overflow();
        r = a / b;
        break;
    default:  // opMod
        if (b == 0) throw EDivByZero(SDivByZero);
        r = b == -1 ? 0 : a % b;
        break;
    }
    if (r < INT32_MIN || r > INT32_MAX) Overflow();
    return r;
}

inline bool IsIntArith(TfsOpCode op) {
    return op == opPlus || op == opMinus || op == opMul || op == opDivInt || op == opMod;
}

inline bool IsComparison(TfsOpCode op) {
    return op == opGreat || op == opLess || op == opLessEq || op == opGreatEq || op == opNonEq || op == opEq;
}

// Subtrees of Integer arithmetic deeper than this take the general path (which evaluates long
// chains without recursion).
constexpr int kMaxIntDepth = 16;

// The value of a subtree with an IntDepth, computed on plain integers in the order the general
// path computes it (left operand first). False when an operand holds no integer (a Null, say):
// the caller then evaluates the subtree the general way, which raises what this would have
// raised before that point, since reading the operands runs nothing.
bool IntValue(const TfsExpressionNode* node, int64_t& out) {
    if (node->IsOperand()) {
        const Variant& v = *node->Direct;
        if (!IntKind(v)) return false;
        out = v.RawInt();
        return true;
    }
    const auto* op = static_cast<const TfsOperatorNode*>(node);
    int64_t a, b;
    if (!IntValue(op->Left.get(), a) || !IntValue(op->Right.get(), b)) return false;
    out = IntArith(op->OpCode, a, b);
    return true;
}

}  // namespace

// --- operand nodes -----------------------------------------------------------------------------

TfsOperandNode::TfsOperandNode(const Variant& value) : TfsExpressionNode(true) {
    Value = value;
    Direct = &Value;
    switch (value.VarType()) {
    case varBoolean: TypeCode = tcBoolean; break;
    case varSingle:
    case varDouble:
    case varCurrency: TypeCode = tcFloat; break;
    case varOleStr:
    case varString: TypeCode = tcString; break;
    default: TypeCode = tcInteger; break;
    }
}

TfsDesignatorNode::TfsDesignatorNode(std::unique_ptr<TfsDesignator> designator)
    : TfsOperandNode(Variant::Null()), FDesignator(std::move(designator)) {
    TypeCode = FDesignator->TypeCode;
    TypeName = FDesignator->TypeName;
    FSource = FDesignator->DirectItem();
    if (!FSource) FSource = FDesignator.get();
    const Kind k = FSource->ItemKind();
    Direct = (k == kVariable || k == kParam) ? &FSource->Value : nullptr;
}

TfsDesignatorNode::~TfsDesignatorNode() = default;

Variant TfsDesignatorNode::GetValue() { return FSource->GetValue(); }

TfsSetNode::TfsSetNode(std::unique_ptr<TfsSetExpression> set) : TfsOperandNode(Variant::Null()), FSet(std::move(set)) {
    Direct = nullptr;
    TypeCode = tcVariant;
}

TfsSetNode::~TfsSetNode() = default;

Variant TfsSetNode::GetValue() { return FSet->GetValue(); }

// --- operator nodes ----------------------------------------------------------------------------

TfsOperatorNode::TfsOperatorNode(TfsOpCode code, bool strCat, TfsScript* script)
    : TfsExpressionNode(false), OpCode(code), StrCat(strCat), FScript(script) {}

int TfsOperatorNode::Priority() const {
    switch (OpCode) {
    case opNone: return 7;
    case opGreat:
    case opLess:
    case opLessEq:
    case opGreatEq:
    case opNonEq:
    case opEq:
    case opIn:
    case opIs: return 4;
    case opPlus:
    case opMinus:
    case opOr:
    case opXor: return 3;
    case opMul:
    case opDivFloat:
    case opDivInt:
    case opMod:
    case opAnd:
    case opShl:
    case opShr: return 2;
    case opLeftBracket: return 6;
    case opRightBracket: return 5;
    case opNot:
    case opUnMinus: return 1;
    }
    return 7;
}

namespace {
// An operator that reads both operands, left first, and combines them: the links of a chain
// "a + b + c" (whose tree leans left, one node per operator).
bool IsChainLink(TfsExpressionNode* node) {
    if (!node || node->IsOperand()) return false;
    switch (static_cast<TfsOperatorNode*>(node)->OpCode) {
    case opNone:
    case opNot:
    case opUnMinus:
    case opIn:
    case opIs: return false;
    default: return true;
    }
}
}  // namespace

Variant TfsOperatorNode::GetValue() {
    if (IntOperands) {
        int64_t a, b;
        if (IntValue(Left.get(), a) && IntValue(Right.get(), b)) {
            switch (OpCode) {
            case opGreat: return Variant(a > b);
            case opLess: return Variant(a < b);
            case opLessEq: return Variant(a <= b);
            case opGreatEq: return Variant(a >= b);
            case opNonEq: return Variant(a != b);
            case opEq: return Variant(a == b);
            default: return Variant(int(IntArith(OpCode, a, b)));
            }
        }
    }
    switch (OpCode) {
    case opNone: return Left->GetValue();
    case opNot: return VarNot(Left->GetValue());
    case opUnMinus: return -Left->GetValue();
    case opIn: {
        Variant l = Left->GetValue();
        auto* set = static_cast<TfsSetNode*>(Right.get())->Set();
        return Variant(set->InSet(l));
    }
    case opIs: {
        Variant l = Left->GetValue();
        TObject* obj = fsVariantToObject(l);
        auto* node = dynamic_cast<TfsDesignatorNode*>(Right.get());
        TfsClassVariable* cls = node && FScript ? FScript->FindClass(node->Designator()->TypeName) : nullptr;
        if (!cls && node && !node->Designator()->Steps.empty()) {
            TfsCustomVariable* t = node->Designator()->Steps.back()->Target;
            if (t->ItemKind() == kClass) cls = static_cast<TfsClassVariable*>(t);
        }
        return Variant(obj && cls && obj->InheritsFrom(cls->HostClass));
    }
    default: break;
    }

    if (IsChainLink(Left.get())) {
        // Sound: a chain is evaluated from its innermost operator outwards in a loop, climbing
        // back through the parent links. One call per operator overflowed the stack on a few
        // thousand terms ("1 + 1 + ... + 1"). A part of the chain that is plain Integer
        // arithmetic is its innermost operand, computed at once.
        TfsExpressionNode* link = this;
        while (IsChainLink(link->Left.get()) && !link->Left->IntDepth) link = link->Left.get();
        Variant value = link->Left->GetValue();
        for (;;) {
            value = static_cast<TfsOperatorNode*>(link)->WithLeft(value);
            if (link == this) break;
            link = link->ParentNode;
            assert(link && "a chain link's parent is the next link");
        }
        return value;
    }
    if ((OpCode == opOr || OpCode == opAnd) && BoolShortCut) return WithLeft(Left->GetValue());

    // Left before right. An operand that only holds a value is read where it is stored; the
    // left one is copied first when reading the right one runs code that could change it.
    const Variant* pl = Left->Direct;
    const Variant* pr = Right->Direct;
    if (pl && pr) return Combine(*pl, *pr);
    if (pl) {
        const Variant l(*pl);
        return Combine(l, Right->GetValue());
    }
    const Variant l = Left->GetValue();
    if (pr) return Combine(l, *pr);
    return Combine(l, Right->GetValue());
}

Variant TfsOperatorNode::WithLeft(const Variant& l) {
    if ((OpCode == opOr || OpCode == opAnd) && BoolShortCut) {
        const bool b = l.AsBoolean();
        if (OpCode == opOr ? b : !b) return l;
        return Right->GetValue();
    }
    if (const Variant* pr = Right->Direct) return Combine(l, *pr);
    return Combine(l, Right->GetValue());
}

Variant TfsOperatorNode::Combine(const Variant& l, const Variant& r) const {
    if (IntFastPath && IntKind(l) && IntKind(r)) {
        const int64_t a = l.RawInt(), b = r.RawInt();
        switch (OpCode) {
        case opPlus:
        case opMinus:
        case opMul:
        case opDivInt:
        case opMod: return IntResult(IntArith(OpCode, a, b));
        case opGreat: return Variant(a > b);
        case opLess: return Variant(a < b);
        case opLessEq: return Variant(a <= b);
        case opGreatEq: return Variant(a >= b);
        case opNonEq: return Variant(a != b);
        case opEq: return Variant(a == b);
        default: break;
        }
    } else if (IntFastPath) {
        switch (OpCode) {
        case opPlus:
        case opMinus:
        case opMul:
        case opDivInt:
        case opMod: {
            const int64_t a = AsInt(l);  // left before right
            return IntResult(IntArith(OpCode, a, AsInt(r)));
        }
        default: break;
        }
    }
    switch (OpCode) {
    case opGreat: return Variant(l > r);
    case opLess: return Variant(l < r);
    case opLessEq: return Variant(l <= r);
    case opGreatEq: return Variant(l >= r);
    case opNonEq: return Variant(l != r);
    case opEq: return Variant(l == r);
    case opPlus:
        if (StrCat && l.VarType() == varString) {
            std::string s = l.RawString();
            s += VarToStr(r);
            return Variant(std::move(s));
        }
        return l + r;
    case opMinus: return l - r;
    case opOr: return VarOr(l, r);
    case opXor: return VarXor(l, r);
    case opMul: return l * r;
    case opDivFloat: return l / r;
    case opDivInt: return VarIntDiv(l, r);
    case opMod: return VarMod(l, r);
    case opAnd: return VarAnd(l, r);
    case opShl: return VarShl(l, r);
    case opShr: return VarShr(l, r);
    default: return Variant::Null();
    }
}

// --- sets --------------------------------------------------------------------------------------

TfsSetExpression::~TfsSetExpression() = default;

void TfsSetExpression::Add(std::unique_ptr<TfsExpression> item) { FItems.push_back(std::move(item)); }

Variant TfsSetExpression::GetValue() {
    std::vector<Variant> values;
    values.reserve(FItems.size());
    for (const auto& e : FItems) values.push_back(e ? e->GetValue() : Variant(0));
    return VarArrayOf(values);
}

bool TfsSetExpression::InSet(const Variant& value) {
    const size_t n = FItems.size();
    for (size_t i = 0; i < n; ++i) {
        if (!FItems[i]) continue;
        if (i + 2 < n && !FItems[i + 1] && FItems[i + 2]) {
            if (value >= FItems[i]->GetValue() && value <= FItems[i + 2]->GetValue()) return true;
            i += 2;
        } else if (value == FItems[i]->GetValue()) {
            return true;
        }
    }
    return false;
}

// --- the expression ----------------------------------------------------------------------------

TfsExpression::TfsExpression(TfsScript* script)
    : TfsCustomVariable("", tcVariant, ""), FScript(script),
      FRoot(std::make_unique<TfsOperatorNode>(opNone, false, script)) {
    FKind = kExpression;
    FCurrent = FRoot.get();
    ReadOnly = true;
}

TfsExpression::~TfsExpression() = default;

void TfsExpression::Link(TfsExpressionNode* parent, std::unique_ptr<TfsExpressionNode> child) {
    child->ParentNode = parent;
    if (!parent->Left) parent->Left = std::move(child);
    else if (!parent->Right) parent->Right = std::move(child);
    else assert(false && "a node has at most two children");
}

std::unique_ptr<TfsExpressionNode> TfsExpression::Detach(TfsExpressionNode* parent, TfsExpressionNode* child) {
    std::unique_ptr<TfsExpressionNode> r;
    if (parent->Left.get() == child) r = std::move(parent->Left);
    else if (parent->Right.get() == child) r = std::move(parent->Right);
    if (r) r->ParentNode = nullptr;
    return r;
}

void TfsExpression::AddNode(std::unique_ptr<TfsExpressionNode> node) {
    node->SourcePos = SourcePos;
    TfsExpressionNode* p = node.get();
    Link(FCurrent, std::move(node));
    FCurrent = p;
}

void TfsExpression::AddOperand(const Variant& value) { AddNode(std::make_unique<TfsOperandNode>(value)); }

void TfsExpression::AddDesignator(std::unique_ptr<TfsDesignator> designator) {
    AddNode(std::make_unique<TfsDesignatorNode>(std::move(designator)));
}

void TfsExpression::AddSet(std::unique_ptr<TfsSetExpression> set) {
    AddNode(std::make_unique<TfsSetNode>(std::move(set)));
}

void TfsExpression::AddOperator(const std::string& text) {
    const std::string lower = AnsiLowerCase(text);
    const OpText* op = nullptr;
    for (const auto& o : kOperators)
        if (lower == o.Text) {
            op = &o;
            break;
        }
    if (!op) throw Exception("Neznámý operátor: '" + text + "'");
    auto node = std::make_unique<TfsOperatorNode>(op->Code, op->StrCat, FScript);
    node->SourcePos = SourcePos;

    if (op->Code == opLeftBracket || op->Code == opUnMinus || op->Code == opNot) {
        AddNode(std::move(node));
        return;
    }
    if (op->Code == opRightBracket) {
        TfsExpressionNode* n = FCurrent;
        while (n->ParentNode && n->Priority() <= 5) n = n->ParentNode;
        // n is the matching "(" (or the start node when brackets do not match).
        if (n == FRoot.get() || !n->ParentNode) return;
        TfsExpressionNode* parent = n->ParentNode;
        std::unique_ptr<TfsExpressionNode> bracket = Detach(parent, n);
        std::unique_ptr<TfsExpressionNode> inner = std::move(bracket->Left);
        if (!inner) return;
        TfsExpressionNode* innerPtr = inner.get();
        Link(parent, std::move(inner));
        FCurrent = innerPtr;
        return;
    }
    TfsOperatorNode* newNode = node.get();
    if (FCurrent == FRoot.get()) {
        Link(FCurrent, std::move(node));
    } else {
        TfsExpressionNode* last = nullptr;
        TfsExpressionNode* up = FCurrent;
        if (up->Priority() != 6) {
            last = up;
            up = up->ParentNode;
        }
        while (up && newNode->Priority() >= up->Priority() && up->ParentNode) {
            last = up;
            up = up->ParentNode;
        }
        std::unique_ptr<TfsExpressionNode> lastOwned = last ? Detach(up, last) : nullptr;
        Link(up, std::move(node));
        if (lastOwned) Link(newNode, std::move(lastOwned));
    }
    FCurrent = newNode;
}

namespace {
bool AllowedFor(TfsTypeCode left, TfsOpCode op, bool strCat) {
    switch (left) {
    case tcBoolean: return op == opNonEq || op == opEq || op == opOr || op == opXor || op == opAnd || op == opNot;
    case tcChar:
    case tcString:
        return op == opGreat || op == opLess || op == opLessEq || op == opGreatEq || op == opNonEq || op == opEq ||
            (op == opPlus) || op == opIn || strCat;
    case tcClass:
    case tcArray: return op == opNonEq || op == opEq;
    default: return true;
    }
}
}  // namespace

void TfsExpression::Check(TfsExpressionNode* node, TfsTypeCode& code, std::string& typeName, std::string& errorPos) {
    // Sound: the tree is walked with a stack of its own, left subtree, right subtree, then the
    // operator. A flat chain "1 + 1 + ... + 1" is as deep as it is long, and one call per
    // operator overflowed the stack on a few thousand terms.
    struct Pending {
        TfsExpressionNode* Node;
        bool ChildrenDone;
    };
    struct Checked {
        TfsTypeCode Code;
        std::string Name;
    };
    std::vector<Pending> pending{{node, false}};
    std::vector<Checked> checked;
    while (!pending.empty()) {
        const Pending p = pending.back();
        pending.pop_back();
        if (!p.Node) {
            checked.push_back({tcVariant, std::string()});
            continue;
        }
        if (p.Node->IsOperand()) {
            p.Node->IntDepth = p.Node->Direct ? 1 : 0;
            checked.push_back({p.Node->TypeCode, p.Node->TypeName});
            continue;
        }
        if (!p.ChildrenDone) {
            pending.push_back({p.Node, true});
            pending.push_back({p.Node->Right.get(), false});
            pending.push_back({p.Node->Left.get(), false});
            continue;
        }
        Checked right = std::move(checked.back());
        checked.pop_back();
        Checked left = std::move(checked.back());
        checked.pop_back();
        CheckOperator(static_cast<TfsOperatorNode*>(p.Node), left.Code, left.Name, right.Code, right.Name, errorPos);
        checked.push_back({p.Node->TypeCode, p.Node->TypeName});
    }
    code = checked.back().Code;
    typeName = checked.back().Name;
}

void TfsExpression::CheckOperator(TfsOperatorNode* op, TfsTypeCode lc, const std::string& ln, TfsTypeCode rc,
    const std::string& rn, std::string& errorPos) {
    TfsTypeCode code;
    std::string typeName;
    op->IntFastPath = lc == tcInteger && rc == tcInteger;
    op->BoolShortCut = lc == tcBoolean && rc == tcBoolean;
    bool fits;
    if (op->OpCode == opIs && lc == tcClass && rc == tcClass) {
        fits = true;
    } else if (op->OpCode == opIn && !dynamic_cast<TfsSetNode*>(op->Right.get())) {
        // Sound: "in" looks into a set written in the expression; a variable or call on its
        // right has no set to look into and was read as one at run time.
        fits = false;
    } else {
        TfsCustomVariable l("", lc, ln), r("", rc, rn);
        fits = fsAssignCompatible(FScript, &l, &r, true) && AllowedFor(lc, op->OpCode, op->StrCat);
    }
    if (fits) {
        code = lc;
        typeName = ln;
        if ((lc == tcInteger && rc == tcFloat) || (lc == tcFloat && rc == tcInteger)) code = tcFloat;
        switch (op->OpCode) {
        case opGreat:
        case opLess:
        case opLessEq:
        case opGreatEq:
        case opNonEq:
        case opEq:
        case opIn:
        case opIs:
            code = tcBoolean;
            typeName.clear();
            break;
        case opDivFloat:
            // A quotient is a Float even of two Integers: i := 7 / 2 must not type-check.
            if (code == tcInteger) code = tcFloat;
            op->IntFastPath = false;
            break;
        default: break;
        }
    } else {
        code = lc;
        typeName = ln;
        if (errorPos.empty()) errorPos = op->SourcePos.empty() ? "1:1" : op->SourcePos;
    }
    op->TypeCode = code;
    op->TypeName = typeName;
    const int l = op->Left ? op->Left->IntDepth : 0, r = op->Right ? op->Right->IntDepth : 0;
    op->IntOperands = op->IntFastPath && l > 0 && r > 0 && (IsIntArith(op->OpCode) || IsComparison(op->OpCode));
    const int depth = std::max(l, r) + 1;
    op->IntDepth = op->IntOperands && IsIntArith(op->OpCode) && depth <= kMaxIntDepth ? uint8_t(depth) : 0;
}

std::string TfsExpression::Complete() {
    // The start node gives way to its only child.
    std::unique_ptr<TfsExpressionNode> start = std::move(FRoot);
    FRoot = std::move(start->Left);
    if (!FRoot) FRoot = std::make_unique<TfsOperandNode>(Variant::Null());
    FRoot->ParentNode = nullptr;
    FCurrent = FRoot.get();
    std::string errorPos;
    TfsTypeCode code;
    std::string typeName;
    Check(FRoot.get(), code, typeName, errorPos);
    TypeCode = code;
    TypeName = typeName;
    ReadOnly = true;
    if (auto* d = dynamic_cast<TfsDesignatorNode*>(FRoot.get())) ReadOnly = d->Designator()->ReadOnly;
    return errorPos;
}

std::string TfsExpression::Optimize(TfsDesignator* target) {
    if (!target || target->Shape != TfsDesignator::shVariable) return " ";
    auto* root = dynamic_cast<TfsOperatorNode*>(FRoot.get());
    if (!root) return " ";
    const TfsOpCode c = root->OpCode;
    if (c != opPlus && c != opMinus && c != opMul && c != opDivFloat) return " ";
    auto sameVar = [&](TfsExpressionNode* n) {
        auto* d = dynamic_cast<TfsDesignatorNode*>(n);
        return d && d->Designator()->Shape == TfsDesignator::shVariable && d->Designator()->Linked == target->Linked;
    };
    const char* result = c == opPlus ? "+" : c == opMinus ? "-" : c == opMul ? "*" : "/";
    if (sameVar(root->Left.get()) && root->Right) {
        std::unique_ptr<TfsExpressionNode> newRoot = std::move(root->Right);
        newRoot->ParentNode = nullptr;
        FRoot = std::move(newRoot);
        return result;
    }
    const TfsTypeCode vt = target->Linked->TypeCode;
    if (sameVar(root->Right.get()) && (c == opPlus || c == opMul) && vt != tcString && vt != tcVariant && root->Left) {
        std::unique_ptr<TfsExpressionNode> newRoot = std::move(root->Left);
        newRoot->ParentNode = nullptr;
        FRoot = std::move(newRoot);
        return result;
    }
    return " ";
}

TfsCustomVariable* TfsExpression::SingleItem() const {
    if (auto* d = dynamic_cast<TfsDesignatorNode*>(FRoot.get())) return d->Source();
    if (FRoot->IsOperand()) return FRoot.get();
    return nullptr;
}

void TfsExpression::SetValue(const Variant& value) {
    if (ReadOnly) return;
    if (auto* d = dynamic_cast<TfsDesignatorNode*>(FRoot.get())) d->Designator()->SetValue(value);
}
