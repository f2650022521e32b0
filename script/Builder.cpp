#include "script/Builder.h"

#include <string_view>
#include <unordered_map>

#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/Strings.h"
#include "script/OleHelper.h"
#include "script/ScriptTools.h"

namespace {

std::string Quoted(const std::string& s) { return "'" + s + "'"; }

std::string TextOf(const TfsXMLItem* e) { return e->Prop("text"); }

bool Is(const TfsXMLItem* e, const char* name) { return e->Name == name; }

Variant InitialValue(TfsTypeCode code) {
    switch (code) {
    case tcBoolean: return Variant(false);
    case tcChar:
    case tcString: return Variant("");
    case tcInteger:
    case tcFloat:
    case tcClass: return Variant(0);
    default: return Variant::Null();
    }
}

}  // namespace

TfsProgramBuilder::TfsProgramBuilder(TfsILParser& parser, TfsScript& script)
    : FParser(&parser), FScript(script), FText(&parser.Parser()), FNeedDeclareVars(parser.NeedDeclareVars()) {}

TfsProgramBuilder::TfsProgramBuilder(TfsScript& script) : FScript(script) {}

void TfsProgramBuilder::SetPos(const TfsXMLItem* e) {
    std::string pos = e->Prop("pos");
    if (!pos.empty()) FErrorPos = std::move(pos);
}

void TfsProgramBuilder::Fail(const std::string& message) { throw Exception(message); }

void TfsProgramBuilder::BuildProgram() {
    FWithList.clear();
    FScript.ErrorUnit.clear();
    FUnitName.clear();
    try {
        BuildUnit(FParser->ILDocument().Root(), &FScript, true);
        FScript.ErrorPos.clear();
    } catch (const std::exception& e) {
        FScript.ErrorMsg = *e.what() ? e.what() : "Chyba";
        FScript.ErrorPos = FErrorPos;
        FScript.ErrorUnit = FUnitName;
    }
}

std::unique_ptr<TfsDesignator> TfsProgramBuilder::BuildStoredDesignator(
    TfsScript* script, const TfsXMLItem& il, const std::string& sourceText) {
    TfsProgramBuilder b(*script);
    b.FStored = true;
    b.FNeedDeclareVars = true;
    // The stored designator keeps the source text, so macro arguments get their texts.
    b.FOwnText = std::make_unique<TfsParser>();
    b.FOwnText->SetText(sourceText);
    b.FText = b.FOwnText.get();
    TfsXMLItem copy;
    copy.Assign(&il);
    // A delete statement's target stays wrapped in its delete element, so it still frees.
    if (Is(&copy, "delete") && copy.Count() > 0) return b.BuildDesignator(copy.Items(0), script, Mode::Delete);
    return b.BuildDesignator(&copy, script, Mode::Plain);
}

// --- units and declarations --------------------------------------------------------------------

void TfsProgramBuilder::BuildUnit(TfsXMLItem* e, TfsScript* s, bool isUnit) {
    TfsXMLItem* savedUnit = FUnit;
    if (isUnit) FUnit = e;
    DeclarePass(e, s);
    for (int i = 0; i < e->Count(); ++i) BuildStatement(e->Items(i), s, s->MainStatement());
    FUnit = savedUnit;
}

void TfsProgramBuilder::DeclarePass(TfsXMLItem* e, TfsScript* s) {
    for (int i = 0; i < e->Count(); ++i) {
        TfsXMLItem* c = e->Items(i);
        if (Is(c, "compoundstmt")) DeclarePass(c, s);
        else if (Is(c, "procedure") || Is(c, "function")) DeclareProc(c, s);
    }
}

TfsProcVariable* TfsProgramBuilder::DeclareProc(TfsXMLItem* e, TfsScript* s) {
    std::string name, typeName;
    bool hasType = false;
    for (int i = 0; i < e->Count(); ++i) {
        TfsXMLItem* c = e->Items(i);
        if (Is(c, "name") && name.empty()) {
            SetPos(c);
            name = TextOf(c);
        } else if (Is(c, "type") && !hasType) {
            hasType = true;
            typeName = TextOf(c);
        }
    }
    CheckRedeclared(s, name);
    bool isFunction = Is(e, "function");
    TfsTypeCode code = tcInteger;
    if (isFunction) {
        if (!hasType) {
            typeName = "Variant";
            code = tcVariant;
        } else if (AnsiSameText(typeName, "void")) {
            isFunction = false;
            typeName.clear();
        } else {
            ResolveType(typeName, code);
        }
    }
    auto proc = std::make_unique<TfsProcVariable>(name, code, typeName, s, isFunction);
    proc->SourcePos = e->Prop("pos");
    auto* p = static_cast<TfsProcVariable*>(s->AddItem(name, std::move(proc)));
    for (int i = 0; i < e->Count(); ++i)
        if (Is(e->Items(i), "parameters")) BuildParams(e->Items(i), p);
    return p;
}

void TfsProgramBuilder::BuildParams(TfsXMLItem* e, TfsProcVariable* proc) {
    bool nextByRef = false;
    for (int i = 0; i < e->Count(); ++i) {
        TfsXMLItem* c = e->Items(i);
        if (Is(c, "varparams")) {
            nextByRef = true;
        } else if (Is(c, "var")) {
            BuildVar(c, proc->LocalScript(), nullptr, proc, nextByRef);
            nextByRef = false;
        }
    }
}

std::string TfsProgramBuilder::ResolveType(std::string& typeName, TfsTypeCode& code) {
    if (FUnit) {
        TfsXMLItem* types = FUnit->FindItem("types");
        const int i = types->Find(typeName);
        if (i >= 0) typeName = types->Items(i)->Prop("type");
    }
    code = fsTypeCodeOfName(&FScript, typeName);
    if (code == tcClass && !FScript.FindClass(typeName)) Fail(SUnknownType + Quoted(typeName));
    return typeName;
}

void TfsProgramBuilder::CheckRedeclared(TfsScript* s, const std::string& name) {
    if (s->FindLocal(name)) Fail(SIdRedeclared + Quoted(name));
}

void TfsProgramBuilder::CheckTypes(TfsScript* s, const TfsCustomVariable* target, const TfsCustomVariable* source) {
    if (!fsAssignCompatible(s, target, source))
        Fail(std::string(SIncompatibleTypes) + ": " + Quoted(target->DisplayTypeName()) + ", " +
            Quoted(source->DisplayTypeName()));
}

Variant TfsProgramBuilder::BuildArray(TfsXMLItem* e, TfsScript* s, int& dims) {
    std::vector<int> bounds;
    for (int i = 0; i < e->Count(); ++i) {
        TfsXMLItem* dim = e->Items(i);
        if (!Is(dim, "dim")) continue;
        std::vector<int> values;
        for (int k = 0; k < dim->Count(); ++k)
            if (Is(dim->Items(k), "expr")) values.push_back(BuildExpr(dim->Items(k), s)->GetValue().AsInteger());
        if (values.size() >= 2) {
            bounds.push_back(values[0]);
            bounds.push_back(values[1]);
        } else if (values.size() == 1) {
            bounds.push_back(0);
            bounds.push_back(values[0] - 1);
        }
    }
    if (bounds.empty()) bounds = {0, 0};
    dims = int(bounds.size() / 2);
    return VarArrayCreate(bounds, varVariant);
}

void TfsProgramBuilder::BuildVar(
    TfsXMLItem* e, TfsScript* s, TfsStatement* list, TfsProcVariable* proc, bool byRefGroup) {
    int typeIndex = -1;
    for (int i = 0; i < e->Count(); ++i)
        if (Is(e->Items(i), "type")) {
            typeIndex = i;
            break;
        }
    std::string typeName = typeIndex >= 0 ? TextOf(e->Items(typeIndex)) : std::string("Variant");
    const bool typeFirst = typeIndex == 0;
    TfsTypeCode code = tcVariant;
    if (typeIndex >= 0) {
        SetPos(e->Items(typeIndex));
        ResolveType(typeName, code);
    }
    const Variant initial = InitialValue(code);

    bool nextByRef = false;
    for (int i = 0; i < e->Count(); ++i) {
        TfsXMLItem* c = e->Items(i);
        if (Is(c, "varparam")) {
            nextByRef = true;
            continue;
        }
        if (!Is(c, "ident")) continue;
        const std::string name = TextOf(c);
        SetPos(c);
        TfsScript* target = proc ? proc->LocalScript() : s;
        CheckRedeclared(target, name);
        // The array and init children that belong to this name.
        TfsXMLItem* array = nullptr;
        TfsXMLItem* init = nullptr;
        int from = typeFirst ? i + 1 : 0;
        for (int k = from; k < e->Count(); ++k) {
            TfsXMLItem* x = e->Items(k);
            if (typeFirst && Is(x, "ident")) break;
            if (Is(x, "array")) array = x;
            else if (Is(x, "init")) init = x;
        }
        TfsTypeCode itemCode = code;
        Variant value = initial;
        std::unique_ptr<TfsArrayHelper> indexer;
        if (array) {
            int dims = 1;
            value = BuildArray(array, s, dims);
            indexer = std::make_unique<TfsArrayHelper>("", dims, code, typeName);
            itemCode = tcArray;
        }
        TfsCustomVariable* item = nullptr;
        if (proc) {
            auto p = std::make_unique<TfsParamItem>(name, itemCode, typeName, init != nullptr, byRefGroup || nextByRef);
            p->Value = value;
            if (init) {
                TfsXMLItem* ex = init->Find("expr") >= 0 ? init->Items(init->Find("expr")) : nullptr;
                if (ex) {
                    std::unique_ptr<TfsExpression> x = BuildExpr(ex, s);
                    p->Value = x->GetValue();
                    CheckTypes(s, p.get(), x.get());
                }
            }
            p->DefaultValue = p->Value;
            item = proc->AddParam(std::move(p));
            proc->RegisterParam(static_cast<TfsParamItem*>(item));
        } else {
            std::unique_ptr<TfsVariable> v;
            if (itemCode == tcChar || itemCode == tcString)
                v = std::make_unique<TfsStringVariable>(name, itemCode, typeName);
            else v = std::make_unique<TfsVariable>(name, itemCode, typeName);
            v->Value = value;
            v->SourcePos = c->Prop("pos");
            item = target->AddItem(name, std::move(v));
        }
        if (indexer) item->Linked = target->AddUnnamed(std::move(indexer));
        if (init && !proc && list) {
            // Initial values are assigned when execution reaches the declaration.
            TfsXMLItem* ex = init->Find("expr") >= 0 ? init->Items(init->Find("expr")) : nullptr;
            if (ex) {
                auto st = std::make_unique<TfsAssignmentStmt>(s, FUnitName, e->Prop("pos"));
                auto d = std::make_unique<TfsDesignator>(s);
                d->AddStep(item, c->Prop("pos"));
                d->Classify();
                st->Target = fsSpecializeDesignator(std::move(d));
                st->Source = BuildExpr(ex, s);
                CheckTypes(s, item, st->Source.get());
                st->Prepare();
                AddStatement(std::move(st), list);
            }
        }
        nextByRef = false;
    }
}

void TfsProgramBuilder::BuildConst(TfsXMLItem* e, TfsScript* s, TfsStatement*) {
    std::string name;
    TfsXMLItem* ex = nullptr;
    for (int i = 0; i < e->Count(); ++i) {
        TfsXMLItem* c = e->Items(i);
        if (Is(c, "ident") && name.empty()) {
            SetPos(c);
            name = TextOf(c);
        } else if (Is(c, "expr")) {
            ex = c;
        }
    }
    CheckRedeclared(s, name);
    if (!ex) return;
    std::unique_ptr<TfsExpression> x = BuildExpr(ex, s);
    auto v = std::make_unique<TfsVariable>(name, x->TypeCode, x->TypeName);
    v->Value = x->GetValue();
    v->ReadOnly = true;
    s->AddItem(name, std::move(v));
}

// --- statements --------------------------------------------------------------------------------

TfsStatement* TfsProgramBuilder::AddStatement(std::unique_ptr<TfsStatement> st, TfsStatement* list) {
    FScript.AddCodeLine(st->UnitName, st->SourcePos);
    return list->Add(std::move(st));
}

void TfsProgramBuilder::BuildChildren(TfsXMLItem* e, TfsScript* s, TfsStatement* list, int from, int to) {
    if (to < 0) to = e->Count();
    for (int i = from; i < to; ++i) BuildStatement(e->Items(i), s, list);
}

void TfsProgramBuilder::BuildAssign(TfsXMLItem* e, TfsScript* s, TfsStatement* list) {
    TfsXMLItem* dsgn = nullptr;
    TfsXMLItem* ex = nullptr;
    std::string modificator;
    for (int i = 0; i < e->Count(); ++i) {
        TfsXMLItem* c = e->Items(i);
        if (Is(c, "dsgn") && !dsgn) dsgn = c;
        else if (Is(c, "modificator")) modificator = TextOf(c);
        else if (Is(c, "expr")) ex = c;
    }
    if (!dsgn || !ex) return;
    AssignTo(BuildDesignator(dsgn, s, Mode::Plain), ex, modificator, e->Prop("pos"), s, list);
}

void TfsProgramBuilder::AssignTo(std::unique_ptr<TfsDesignator> target, TfsXMLItem* ex, std::string modificator,
    const std::string& pos, TfsScript* s, TfsStatement* list) {
    if (target->ReadOnly) Fail(SLeftCantAssigned);
    std::unique_ptr<TfsExpression> source = BuildExpr(ex, s);
    CheckTypes(s, target.get(), source.get());
    if (modificator.empty()) {
        std::string op = source->Optimize(target.get());
        if (op != " ") modificator = op;
    }
    std::unique_ptr<TfsAssignmentStmt> st;
    const char m = modificator.empty() ? ' ' : modificator[0];
    if (m == '+' || m == '-' || m == '*' || m == '/') st = std::make_unique<TfsAssignOpStmt>(s, FUnitName, pos, m);
    else st = std::make_unique<TfsAssignmentStmt>(s, FUnitName, pos);
    st->Target = std::move(target);
    st->Source = std::move(source);
    st->Prepare();
    AddStatement(std::move(st), list);
}

// One builder per statement element; an element no entry names (empty, types) builds nothing.
void TfsProgramBuilder::BuildStatement(TfsXMLItem* e, TfsScript* s, TfsStatement* list) {
    using Builder = void (TfsProgramBuilder::*)(TfsXMLItem*, TfsScript*, TfsStatement*);
    static const std::unordered_map<std::string_view, Builder> kBuilders = {
        {"assignstmt", &TfsProgramBuilder::BuildAssign},
        {"callstmt", &TfsProgramBuilder::BuildCall},
        {"ifstmt", &TfsProgramBuilder::BuildIf},
        {"casestmt", &TfsProgramBuilder::BuildCase},
        {"forstmt", &TfsProgramBuilder::BuildFor},
        {"vbforstmt", &TfsProgramBuilder::BuildVbFor},
        {"cppforstmt", &TfsProgramBuilder::BuildCppFor},
        {"whilestmt", &TfsProgramBuilder::BuildWhile},
        {"repeatstmt", &TfsProgramBuilder::BuildRepeat},
        {"trystmt", &TfsProgramBuilder::BuildTry},
        {"break", &TfsProgramBuilder::BuildJump<TfsBreakStmt>},
        {"continue", &TfsProgramBuilder::BuildJump<TfsContinueStmt>},
        {"exit", &TfsProgramBuilder::BuildJump<TfsExitStmt>},
        {"return", &TfsProgramBuilder::BuildReturn},
        {"with", &TfsProgramBuilder::BuildWith},
        {"delete", &TfsProgramBuilder::BuildDelete},
        {"compoundstmt", &TfsProgramBuilder::BuildCompound},
        {"uses", &TfsProgramBuilder::BuildUses},
        {"var", &TfsProgramBuilder::BuildVarStmt},
        {"const", &TfsProgramBuilder::BuildConst},
        {"procedure", &TfsProgramBuilder::BuildProcBody},
        {"function", &TfsProgramBuilder::BuildProcBody},
    };
    SetPos(e);
    const auto it = kBuilders.find(e->Name);
    if (it != kBuilders.end()) (this->*(it->second))(e, s, list);
}

template <class Jump>
void TfsProgramBuilder::BuildJump(TfsXMLItem* e, TfsScript* s, TfsStatement* list) {
    AddStatement(std::make_unique<Jump>(s, FUnitName, e->Prop("pos")), list);
}

void TfsProgramBuilder::BuildCompound(TfsXMLItem* e, TfsScript* s, TfsStatement* list) { BuildChildren(e, s, list); }

void TfsProgramBuilder::BuildVarStmt(TfsXMLItem* e, TfsScript* s, TfsStatement* list) {
    BuildVar(e, s, list, nullptr, false);
}

void TfsProgramBuilder::BuildCall(TfsXMLItem* e, TfsScript* s, TfsStatement* list) {
    auto st = std::make_unique<TfsCallStmt>(s, FUnitName, e->Prop("pos"));
    for (int i = 0; i < e->Count(); ++i) {
        TfsXMLItem* c = e->Items(i);
        if (Is(c, "dsgn")) st->Target = BuildDesignator(c, s, Mode::Plain);
        else if (Is(c, "modificator")) st->IncDec = TextOf(c).substr(0, 1);
    }
    if (!st->Target) return;
    if (!st->IncDec.empty() && st->Target->ReadOnly) Fail(SLeftCantAssigned);
    AddStatement(std::move(st), list);
}

void TfsProgramBuilder::BuildIf(TfsXMLItem* e, TfsScript* s, TfsStatement* list) {
    auto st = std::make_unique<TfsIfStmt>(s, FUnitName, e->Prop("pos"));
    TfsIfStmt* raw = st.get();
    for (int i = 0; i < e->Count(); ++i) {
        TfsXMLItem* c = e->Items(i);
        if (Is(c, "expr")) raw->Test = BuildExpr(c, s);
    }
    AddStatement(std::move(st), list);
    for (int i = 0; i < e->Count(); ++i) {
        TfsXMLItem* c = e->Items(i);
        if (Is(c, "thenstmt")) BuildChildren(c, s, raw);
        else if (Is(c, "elsestmt")) BuildChildren(c, s, raw->ElseBranch.get());
    }
}

void TfsProgramBuilder::BuildCase(TfsXMLItem* e, TfsScript* s, TfsStatement* list) {
    auto st = std::make_unique<TfsCaseStmt>(s, FUnitName, e->Prop("pos"));
    TfsCaseStmt* raw = st.get();
    AddStatement(std::move(st), list);
    for (int i = 0; i < e->Count(); ++i) {
        TfsXMLItem* c = e->Items(i);
        if (i == 0 && Is(c, "expr")) {
            raw->Selector = BuildExpr(c, s);
        } else if (Is(c, "caseselector")) {
            SetPos(c);
            auto sel = std::make_unique<TfsCaseSelector>(s, FUnitName, c->Prop("pos"));
            if (c->Count() >= 1) sel->Labels = BuildSet(c->Items(0), s);
            else sel->Labels = std::make_unique<TfsSetExpression>();
            TfsStatement* selRaw = raw->Add(std::move(sel));
            if (c->Count() >= 2) BuildStatement(c->Items(1), s, selRaw);
        } else if (i == e->Count() - 1) {
            BuildStatement(c, s, raw->ElseBranch.get());
        }
    }
}

void TfsProgramBuilder::BuildFor(TfsXMLItem* e, TfsScript* s, TfsStatement* list) { BuildForLoop(e, s, list, false); }

void TfsProgramBuilder::BuildVbFor(TfsXMLItem* e, TfsScript* s, TfsStatement* list) { BuildForLoop(e, s, list, true); }

void TfsProgramBuilder::BuildForLoop(TfsXMLItem* e, TfsScript* s, TfsStatement* list, bool vb) {
    if (e->Count() < 3) return;
    const std::string pos = e->Prop("pos");
    SetPos(e->Items(0));
    TfsCustomVariable* counter = FindName(TextOf(e->Items(0)), s);
    if (!counter->IsVariable() ||
        (counter->TypeCode != tcInteger && counter->TypeCode != tcFloat && counter->TypeCode != tcVariant))
        Fail(SForError);
    std::vector<TfsXMLItem*> exprs;
    TfsXMLItem* body = nullptr;
    bool downTo = false;
    for (int i = 1; i < e->Count(); ++i) {
        TfsXMLItem* c = e->Items(i);
        if (Is(c, "expr") && (exprs.size() < 2 || (vb && exprs.size() == 2 && i == 3))) exprs.push_back(c);
        else if (Is(c, "downto")) downTo = true;
        else body = c;
    }
    if (exprs.size() < 2) return;
    std::unique_ptr<TfsExpression> start = BuildExpr(exprs[0], s);
    CheckTypes(s, counter, start.get());
    std::unique_ptr<TfsExpression> stop = BuildExpr(exprs[1], s);
    CheckTypes(s, counter, stop.get());
    TfsStatement* raw;
    if (vb) {
        auto st = std::make_unique<TfsVbForStmt>(s, FUnitName, pos);
        st->Counter = counter;
        st->StartExpr = std::move(start);
        st->StopExpr = std::move(stop);
        if (exprs.size() == 3) {
            st->StepExpr = BuildExpr(exprs[2], s);
            CheckTypes(s, counter, st->StepExpr.get());
        }
        raw = AddStatement(std::move(st), list);
    } else {
        auto st = std::make_unique<TfsForStmt>(s, FUnitName, pos);
        st->Counter = counter;
        st->StartExpr = std::move(start);
        st->StopExpr = std::move(stop);
        st->DownTo = downTo;
        raw = AddStatement(std::move(st), list);
    }
    if (body) BuildStatement(body, s, raw);
}

void TfsProgramBuilder::BuildCppFor(TfsXMLItem* e, TfsScript* s, TfsStatement* list) {
    auto st = std::make_unique<TfsCppForStmt>(s, FUnitName, e->Prop("pos"));
    TfsCppForStmt* raw = st.get();
    AddStatement(std::move(st), list);
    if (e->Count() >= 1) BuildStatement(e->Items(0), s, raw->InitList.get());
    if (e->Count() >= 2) raw->Test = BuildExpr(e->Items(1), s);
    if (!raw->Test) {
        raw->Test = std::make_unique<TfsExpression>(s);
        raw->Test->AddOperand(Variant(true));
        raw->Test->Complete();
    }
    if (e->Count() >= 3) BuildStatement(e->Items(2), s, raw->NextList.get());
    if (e->Count() >= 4) BuildStatement(e->Items(3), s, raw);
}

void TfsProgramBuilder::BuildWhile(TfsXMLItem* e, TfsScript* s, TfsStatement* list) {
    auto st = std::make_unique<TfsWhileStmt>(s, FUnitName, e->Prop("pos"));
    TfsWhileStmt* raw = st.get();
    if (e->Count() >= 1) raw->Test = BuildExpr(e->Items(0), s);
    AddStatement(std::move(st), list);
    BuildChildren(e, s, raw, 1);
}

void TfsProgramBuilder::BuildRepeat(TfsXMLItem* e, TfsScript* s, TfsStatement* list) {
    const bool inverse = e->Count() > 0 && Is(e->Items(e->Count() - 1), "inverse");
    const int cond = e->Count() - (inverse ? 2 : 1);
    if (cond < 0) return;
    auto st = std::make_unique<TfsRepeatStmt>(s, FUnitName, e->Prop("pos"));
    TfsRepeatStmt* raw = st.get();
    raw->UntilFalse = inverse;
    AddStatement(std::move(st), list);
    BuildChildren(e, s, raw, 0, cond);
    raw->Test = BuildExpr(e->Items(cond), s);
}

void TfsProgramBuilder::BuildTry(TfsXMLItem* e, TfsScript* s, TfsStatement* list) {
    auto st = std::make_unique<TfsTryStmt>(s, FUnitName, e->Prop("pos"));
    TfsTryStmt* raw = st.get();
    AddStatement(std::move(st), list);
    for (int i = 0; i < e->Count(); ++i) {
        TfsXMLItem* c = e->Items(i);
        if (Is(c, "exceptstmt")) {
            raw->IsExceptBlock = true;
            BuildChildren(c, s, raw->HandlerList.get());
        } else if (Is(c, "finallystmt")) {
            raw->IsExceptBlock = false;
            BuildChildren(c, s, raw->HandlerList.get());
        } else {
            BuildStatement(c, s, raw);
        }
    }
}

// "return expr" assigns the expression to Result, then leaves the procedure.
void TfsProgramBuilder::BuildReturn(TfsXMLItem* e, TfsScript* s, TfsStatement* list) {
    const std::string pos = e->Prop("pos");
    if (e->Count() > 0 && Is(e->Items(0), "expr")) {
        TfsXMLItem* ex = e->Items(0);
        SetPos(ex);
        AssignTo(BuildNameDesignator("Result", s), ex, std::string(), pos, s, list);
    }
    AddStatement(std::make_unique<TfsExitStmt>(s, FUnitName, pos), list);
}

void TfsProgramBuilder::BuildDelete(TfsXMLItem* e, TfsScript* s, TfsStatement* list) {
    auto st = std::make_unique<TfsCallStmt>(s, FUnitName, e->Prop("pos"));
    if (e->Count() > 0) st->Target = BuildDesignator(e->Items(0), s, Mode::Delete);
    if (st->Target) AddStatement(std::move(st), list);
}

void TfsProgramBuilder::BuildProcBody(TfsXMLItem* e, TfsScript* s, TfsStatement*) {
    std::string name;
    for (int i = 0; i < e->Count(); ++i)
        if (Is(e->Items(i), "name")) {
            name = TextOf(e->Items(i));
            break;
        }
    TfsCustomVariable* item = s->FindLocal(name);
    // A declaration inside another statement (a function in a JScript block) is declared
    // where it stands; any other item of that name is a redeclaration.
    if (!item) item = DeclareProc(e, s);
    if (item->ItemKind() != TfsCustomVariable::kProc) Fail(SIdRedeclared + Quoted(name));
    auto* proc = static_cast<TfsProcVariable*>(item);
    // The body sees no with-object of the statements around its declaration.
    std::vector<WithEntry> outer;
    outer.swap(FWithList);
    auto restore = OnScopeExit([&] { FWithList.swap(outer); });
    BuildUnit(e, proc->LocalScript(), false);
}

void TfsProgramBuilder::BuildWith(TfsXMLItem* e, TfsScript* s, TfsStatement* list) {
    const size_t added = FWithList.size();
    const int n = e->Count();
    for (int i = 0; i < n - 1; ++i) {
        TfsXMLItem* c = e->Items(i);
        if (!Is(c, "dsgn")) continue;
        SetPos(c);
        std::unique_ptr<TfsDesignator> d = BuildDesignator(c, s, Mode::Plain);
        if (d->TypeCode != tcClass && d->TypeCode != tcVariant) Fail(SClassRequired);
        std::string name;
        for (int k = 0;; ++k) {
            name = std::to_string(k);
            bool used = s->FindLocal(name) != nullptr;
            for (const auto& w : FWithList)
                if (w.Name == name) used = true;
            if (!used) break;
        }
        TfsCustomVariable* var = s->AddItem(name, std::make_unique<TfsVariable>(name, d->TypeCode, d->TypeName));
        auto st = std::make_unique<TfsWithStmt>(s, FUnitName, c->Prop("pos"));
        st->Target = std::move(d);
        st->WithVar = var;
        list->Add(std::move(st));
        FWithList.push_back({name, var});
    }
    if (n > 0 && !Is(e->Items(n - 1), "dsgn")) BuildStatement(e->Items(n - 1), s, list);
    FWithList.resize(added);
}

void TfsProgramBuilder::BuildUses(TfsXMLItem* e, TfsScript* s, TfsStatement*) {
    const std::string saved = FUnitName;
    FUnitName = e->Prop("unit");
    std::string text;
    if (FScript.OnGetILUnit) FScript.OnGetILUnit(&FScript, FUnitName, text);
    if (!text.empty()) {
        TfsXMLDocument doc;
        doc.LoadFromString(text);
        BuildUnit(doc.Root(), s, true);
    } else {
        for (int i = 0; i < e->Count(); ++i) BuildUnit(e->Items(i), s, true);
    }
    FUnitName = saved;
}

// --- expressions -------------------------------------------------------------------------------

std::string TfsProgramBuilder::CutSource(const std::string& pos, const std::string& pos1) {
    if (!FText || pos.empty() || pos1.empty()) return std::string();
    try {
        const TfsPoint a = fsPosToPoint(pos), b = fsPosToPoint(pos1);
        const int from = FText->GetTextPos(a.X, a.Y), to = FText->GetTextPos(b.X, b.Y);
        if (from < 1 || to < 1 || from > FText->Size() + 1 || to > FText->Size() + 1) return std::string();
        return Trim(FText->Copy(from, to));
    } catch (const Exception&) {
        // A position that is no number: the expression simply has no source text.
        return std::string();
    }
}

void TfsProgramBuilder::AddExprChildren(TfsExpression* x, TfsXMLItem* e, TfsScript* s) {
    for (int i = 0; i < e->Count(); ++i) {
        TfsXMLItem* c = e->Items(i);
        SetPos(c);
        x->SourcePos = FErrorPos;
        if (Is(c, "op")) x->AddOperator(AnsiLowerCase(TextOf(c)));
        else if (Is(c, "number") || Is(c, "string")) x->AddOperand(fsLiteralToVariant(TextOf(c)));
        else if (Is(c, "dsgn")) x->AddDesignator(BuildDesignator(c, s, Mode::Plain));
        else if (Is(c, "new")) {
            const int k = c->Find("dsgn");
            if (k >= 0) x->AddDesignator(BuildDesignator(c->Items(k), s, Mode::AfterNew));
        } else if (Is(c, "set")) x->AddSet(BuildSet(c, s));
        else if (Is(c, "expr")) AddExprChildren(x, c, s);
    }
}

std::unique_ptr<TfsExpression> TfsProgramBuilder::BuildExpr(TfsXMLItem* e, TfsScript* s) {
    SetPos(e);
    auto x = std::make_unique<TfsExpression>(s);
    x->SourcePos = FErrorPos;
    AddExprChildren(x.get(), e, s);
    x->SourceText = CutSource(e->Prop("pos"), e->Prop("pos1"));
    const std::string err = x->Complete();
    if (!err.empty()) {
        FErrorPos = err;
        Fail(SIncompatibleTypes);
    }
    return x;
}

std::unique_ptr<TfsSetExpression> TfsProgramBuilder::BuildSet(TfsXMLItem* e, TfsScript* s) {
    auto set = std::make_unique<TfsSetExpression>();
    for (int i = 0; i < e->Count(); ++i) {
        TfsXMLItem* c = e->Items(i);
        if (Is(c, "expr")) set->Add(BuildExpr(c, s));
        else if (Is(c, "range")) set->Add(nullptr);
    }
    return set;
}

// --- designators -------------------------------------------------------------------------------

TfsCustomVariable* TfsProgramBuilder::FindName(const std::string& name, TfsScript* s) {
    if (TfsCustomVariable* item = s->Find(name)) return item;
    if (FNeedDeclareVars) Fail(SIdUndeclared + Quoted(name));
    // Languages without declarations make an unknown name a local Variant variable.
    return s->AddItem(name, std::make_unique<TfsVariable>(name, tcVariant, ""));
}

void TfsProgramBuilder::MakePending(TfsDesignator* d, TfsXMLItem* e, const std::string& name, const WithEntry* with) {
    d->Classify();
    // Not resolved yet: the designator must run its own walk, never act as the bare variable.
    d->Shape = TfsDesignator::shGeneral;
    d->Linked = nullptr;
    d->TypeCode = tcVariant;
    d->TypeName.clear();
    d->ReadOnly = false;
    d->PendingIL = std::make_unique<TfsXMLItem>();
    if (e) {
        d->PendingIL->Assign(e);
    } else {
        // A designator of one name the builder made itself (Result of a return): stored as
        // the element the parser would have written for it.
        d->PendingIL->Name = "dsgn";
        d->PendingIL->Text = "pos=\"" + FErrorPos + "\"";
        auto* node = d->PendingIL->Add();
        node->Name = "node";
        node->Text = "text=\"" + fsEscapeXML(name) + "\" pos=\"" + FErrorPos + "\"";
    }
    if (with) {
        auto* node = new TfsXMLItem;
        node->Name = "node";
        node->Text = "text=\"" + with->Name + "\" pos=\"" + FErrorPos + "\"";
        d->PendingIL->InsertItem(0, node);
    }
    if (FText) d->PendingSource = U32ToUtf8(FText->Text());
}

bool TfsProgramBuilder::FirstStepFromWith(TfsDesignator* d, TfsXMLItem* e, TfsScript* s, const std::string& name) {
    for (size_t i = FWithList.size(); i-- > 0;) {
        const WithEntry& w = FWithList[i];
        if (s->FindLocal(w.Name) != w.Var) continue;
        if (w.Var->TypeCode == tcVariant) {
            if (s->Find(name)) return false;
            d->AddStep(w.Var, FErrorPos);
            MakePending(d, e, name, &w);
            return true;
        }
        TfsClassVariable* cls = FScript.FindClass(w.Var->TypeName);
        if (!cls) cls = s->FindClass(w.Var->TypeName);
        if (!cls) Fail(SUnknownType + Quoted(w.Var->TypeName));
        if (TfsCustomHelper* member = cls->Find(name)) {
            d->AddStep(w.Var, FErrorPos);
            d->AddStep(member, FErrorPos);
            return true;
        }
    }
    return false;
}

void TfsProgramBuilder::OleSteps(TfsDesignator* d, TfsXMLItem* e, int from, TfsScript* s) {
    for (int i = from; i < e->Count(); ++i) {
        TfsXMLItem* c = e->Items(i);
        SetPos(c);
        if (Is(c, "node")) {
            const std::string t = TextOf(c);
            if (t == "[") continue;
            TfsCustomVariable* helper = s->AddUnnamed(std::make_unique<TfsOLEHelper>(t));
            d->AddStep(helper, FErrorPos);
        } else if (Is(c, "expr") && !d->Steps.empty()) {
            TfsDesignatorItem* step = d->Steps.back().get();
            step->Args.push_back(BuildExpr(c, s));
            step->Target->AddParam(std::make_unique<TfsParamItem>("", tcVariant, "", false, false));
        }
    }
}

// The step of the designator's first name: a with-object's member or the name itself, and
// after "new" the class's constructor. False when the designator is left pending.
bool TfsProgramBuilder::FirstStep(TfsDesignator* d, TfsXMLItem* e, TfsScript* s, const std::string& name, Mode mode) {
    if (FirstStepFromWith(d, e, s, name)) {
        if (d->PendingIL) {
            // A with-object's member is never a class to construct.
            if (mode == Mode::AfterNew) Fail(SClassRequired);
            return false;
        }
    } else {
        d->AddStep(FindName(name, s), FErrorPos);
    }
    if (mode == Mode::AfterNew) {
        TfsCustomVariable* target = d->Steps.back()->Target;
        if (target->ItemKind() != TfsCustomVariable::kClass) Fail(SClassRequired);
        TfsCustomHelper* create = static_cast<TfsClassVariable*>(target)->Find("Create");
        if (!create) Fail(SIdUndeclared + Quoted("Create"));
        d->AddStep(create, FErrorPos);
    }
    return true;
}

std::unique_ptr<TfsDesignator> TfsProgramBuilder::BuildNameDesignator(const std::string& name, TfsScript* s) {
    auto d = std::make_unique<TfsDesignator>(s);
    d->SourcePos = FErrorPos;
    if (!FirstStep(d.get(), nullptr, s, name, Mode::Plain)) return d;
    d->Classify();
    CheckArguments(d.get(), s);
    return fsSpecializeDesignator(std::move(d));
}

std::unique_ptr<TfsDesignator> TfsProgramBuilder::BuildDesignator(TfsXMLItem* e, TfsScript* s, Mode mode) {
    SetPos(e);
    auto d = std::make_unique<TfsDesignator>(s);
    d->SourcePos = FErrorPos;
    TfsDesignatorItem* indexed = nullptr;  // the last indexed-property step that got its index
    bool pending = false;
    const int count = e->Count();
    for (int i = 0; i < count && !pending; ++i) {
        TfsXMLItem* c = e->Items(i);
        SetPos(c);
        if (Is(c, "expr")) {
            if (!d->Steps.empty()) d->Steps.back()->Args.push_back(BuildExpr(c, s));
            continue;
        }
        if (Is(c, "addr")) {
            if (count != 2 || !Is(e->Items(1), "node")) Fail(SVarRequired);
            auto v = std::make_unique<TfsVariable>("", tcString, "");
            v->Value = Variant(TextOf(e->Items(1)));
            v->ReadOnly = true;
            d->AddStep(s->AddUnnamed(std::move(v)), FErrorPos);
            break;
        }
        if (!Is(c, "node")) continue;
        const std::string t = TextOf(c);
        if (d->Steps.empty()) {
            pending = !FirstStep(d.get(), e, s, t, mode);
            continue;
        }
        TfsDesignatorItem* prevStep = d->Steps.back().get();
        TfsCustomVariable* p = prevStep->Target;
        TfsTypeCode k = p->TypeCode;
        std::string typeName = p->TypeName;
        if (auto* m = dynamic_cast<TfsMethodHelper*>(p); m && m->IsIndexed && indexed != prevStep) {
            if (t != "[") Fail(SIndexRequired);
            indexed = prevStep;
            continue;
        }
        if (k == tcVariant) {
            const Variant& v = p->Value;
            if (v.VarType() == varDispatch) {
                OleSteps(d.get(), e, i, s);
                break;
            }
            if (v.IsArray()) {
                if (t != "[") Fail(SIndexRequired);
                d->AddStep(s->Find("__ArrayHelper"), FErrorPos);
                continue;
            }
            if (v.IsString()) {
                k = tcString;
            } else if (TObject* obj = fsVariantToObject(v)) {
                typeName = obj->ClassName();
                k = tcClass;
            } else {
                // Null, or a value that is not an object yet: resolved when it runs. At run
                // time that is an error, never a silent fall-back to the bare variable.
                if (FStored) Fail(SNotAnObject + Quoted(p->Name));
                MakePending(d.get(), e, t, nullptr);
                pending = true;
                break;
            }
        }
        if (k == tcString || k == tcChar) {
            if (t != "[") Fail(SStringError);
            d->AddStep(s->Find("__StringHelper"), FErrorPos);
        } else if (k == tcClass) {
            TfsClassVariable* cls = s->FindClass(typeName);
            if (!cls) Fail(SUnknownType + Quoted(typeName));
            if (t != "[") {
                TfsCustomHelper* member = cls->Find(t);
                if (!member) Fail(SIdUndeclared + Quoted(t));
                d->AddStep(member, FErrorPos);
            } else {
                if (!cls->DefaultMember) Fail(fsFormatMessage(SClassError, cls->Name));
                indexed = d->AddStep(cls->DefaultMember, FErrorPos);
            }
        } else if (k == tcArray) {
            if (!p->Linked) Fail(SArrayRequired);
            d->AddStep(p->Linked, FErrorPos);
        } else {
            Fail(SArrayRequired);
        }
    }
    if (pending) {
        if (mode == Mode::Delete) {
            // Resolved on first use: keep the mode with it, or the statement would only read.
            auto* wrapper = new TfsXMLItem;
            wrapper->Name = "delete";
            wrapper->Text = d->PendingIL->Text;
            wrapper->AddItem(d->PendingIL.release());
            d->PendingIL.reset(wrapper);
        }
        return d;
    }
    if (mode == Mode::Delete) {
        if (d->Steps.empty()) Fail(SClassRequired);
        TfsCustomVariable* last = d->Steps.back()->Target;
        if (last->TypeCode != tcClass && last->TypeCode != tcVariant) Fail(SClassRequired);
        TfsClassVariable* obj = s->FindClass("TObject");
        TfsCustomHelper* freeMember = obj ? obj->Find("Free") : nullptr;
        if (!freeMember) Fail(SIdUndeclared + Quoted("Free"));
        d->AddStep(freeMember, FErrorPos);
    }
    d->Classify();
    CheckArguments(d.get(), s);
    return fsSpecializeDesignator(std::move(d));
}

void TfsProgramBuilder::CheckArguments(TfsDesignator* d, TfsScript* s) {
    for (auto& step : d->Steps) {
        TfsCustomVariable* target = step->Target;
        if (target->ItemKind() == TfsCustomVariable::kDesignator) continue;
        FErrorPos = step->SourcePos;
        const int args = int(step->Args.size());
        if (args < target->GetRequiredParamCount()) Fail(SNotEnoughParams);
        if (args > target->ParamCount()) Fail(STooManyParams);
        for (int k = args; k < target->ParamCount(); ++k) {
            auto x = std::make_unique<TfsExpression>(s);
            x->SourcePos = step->SourcePos;
            x->AddOperand(target->ParamAt(k)->DefaultValue);
            x->Complete();
            step->Args.push_back(std::move(x));
        }
        for (int k = 0; k < args; ++k) CheckTypes(s, target->ParamAt(k), step->Args[size_t(k)].get());
    }
}
