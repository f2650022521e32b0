// Parser and evaluator of TMemDataSet filter texts.

#include "platform/db/DBConsts.h"
#include "platform/db/MemFilter.h"

#include <cctype>
#include <vector>

#include "platform/db/Fields.h"
#include "platform/rtl/Strings.h"
#include "platform/rtl/SysUtils.h"

enum class TNodeKind { Or, And, Not, Compare, IsNull, Like, Field, Literal };

struct TMemFilter::Node {
    TNodeKind Kind;
    std::string Op;  // comparison operator
    bool Negate = false;  // IS NOT NULL, NOT LIKE
    std::string Name;  // field name
    Variant Value;  // literal
    std::unique_ptr<Node> Left, Right;
};

namespace {
using Node = TMemFilter::Node;

struct Token {
    enum Kind { End, Ident, String, Number, Symbol } Kind = End;
    std::string Text;
};

class Parser {
public:
    explicit Parser(const std::string& text) : FText(text) { Advance(); }

    std::unique_ptr<Node> Parse() {
        auto n = ParseOr();
        if (FTok.Kind != Token::End) Fail();
        return n;
    }

private:
    [[noreturn]] void Fail() const { DatabaseErrorFmt(DBConsts::SInvalidFilter, {FText}); }

    bool IsKeyword(const char* kw) const { return FTok.Kind == Token::Ident && SameText(FTok.Text, kw); }
    bool IsSymbol(const char* s) const { return FTok.Kind == Token::Symbol && FTok.Text == s; }

    void Advance() {
        while (FPos < FText.size() && std::isspace(static_cast<unsigned char>(FText[FPos]))) ++FPos;
        FTok = Token();
        if (FPos >= FText.size()) return;
        char c = FText[FPos];
        if (c == '\'' || c == '"') {
            std::string s;
            ++FPos;
            for (;;) {
                if (FPos >= FText.size()) Fail();
                if (FText[FPos] == c) {
                    if (FPos + 1 < FText.size() && FText[FPos + 1] == c) {
                        s += c;
                        FPos += 2;
                        continue;
                    }
                    ++FPos;
                    break;
                }
                s += FText[FPos++];
            }
            FTok = {Token::String, s};
        } else if (c == '[') {
            size_t end = FText.find(']', FPos);
            if (end == std::string::npos) Fail();
            FTok = {Token::Ident, FText.substr(FPos + 1, end - FPos - 1)};
            FPos = end + 1;
        } else if (std::isdigit(static_cast<unsigned char>(c)) ||
            (c == '-' && FPos + 1 < FText.size() && std::isdigit(static_cast<unsigned char>(FText[FPos + 1])))) {
            size_t start = FPos++;
            while (FPos < FText.size() && (std::isdigit(static_cast<unsigned char>(FText[FPos])) || FText[FPos] == '.'))
                ++FPos;
            FTok = {Token::Number, FText.substr(start, FPos - start)};
        } else if (std::isalpha(static_cast<unsigned char>(c)) || c == '_' || static_cast<unsigned char>(c) >= 0x80) {
            size_t start = FPos;
            while (FPos < FText.size() &&
                (std::isalnum(static_cast<unsigned char>(FText[FPos])) || FText[FPos] == '_' || FText[FPos] == '.' ||
                    static_cast<unsigned char>(FText[FPos]) >= 0x80))
                ++FPos;
            FTok = {Token::Ident, FText.substr(start, FPos - start)};
        } else {
            static const char* const two[] = {"<>", "<=", ">=", "!="};
            for (const char* t : two)
                if (FText.compare(FPos, 2, t) == 0) {
                    FTok = {Token::Symbol, t};
                    FPos += 2;
                    return;
                }
            if (std::string("=<>()").find(c) == std::string::npos) Fail();
            FTok = {Token::Symbol, std::string(1, c)};
            ++FPos;
        }
    }

    std::unique_ptr<Node> Binary(TNodeKind kind, std::unique_ptr<Node> l, std::unique_ptr<Node> r) {
        auto n = std::make_unique<Node>();
        n->Kind = kind;
        n->Left = std::move(l);
        n->Right = std::move(r);
        return n;
    }

    std::unique_ptr<Node> ParseOr() {
        auto l = ParseAnd();
        while (IsKeyword("OR")) {
            Advance();
            l = Binary(TNodeKind::Or, std::move(l), ParseAnd());
        }
        return l;
    }

    std::unique_ptr<Node> ParseAnd() {
        auto l = ParseNot();
        while (IsKeyword("AND")) {
            Advance();
            l = Binary(TNodeKind::And, std::move(l), ParseNot());
        }
        return l;
    }

    std::unique_ptr<Node> ParseNot() {
        if (IsKeyword("NOT")) {
            Advance();
            return Binary(TNodeKind::Not, ParseNot(), nullptr);
        }
        return ParseComparison();
    }

    std::unique_ptr<Node> ParseComparison() {
        if (IsSymbol("(")) {
            Advance();
            auto n = ParseOr();
            if (!IsSymbol(")")) Fail();
            Advance();
            return n;
        }
        auto l = ParseOperand();
        if (IsKeyword("IS")) {
            Advance();
            bool neg = false;
            if (IsKeyword("NOT")) {
                neg = true;
                Advance();
            }
            if (!IsKeyword("NULL")) Fail();
            Advance();
            auto n = Binary(TNodeKind::IsNull, std::move(l), nullptr);
            n->Negate = neg;
            return n;
        }
        bool neg = false;
        if (IsKeyword("NOT")) {
            neg = true;
            Advance();
            if (!IsKeyword("LIKE")) Fail();
        }
        if (IsKeyword("LIKE")) {
            Advance();
            auto n = Binary(TNodeKind::Like, std::move(l), ParseOperand());
            n->Negate = neg;
            return n;
        }
        if (FTok.Kind != Token::Symbol || IsSymbol("(") || IsSymbol(")")) {
            // A lone Boolean field or literal.
            auto n = Binary(TNodeKind::Compare, std::move(l), std::make_unique<Node>());
            n->Op.assign(1, '=');
            n->Right->Kind = TNodeKind::Literal;
            n->Right->Value = Variant(true);
            return n;
        }
        std::string op = FTok.Text;
        if (op == "!=") op.assign("<>");
        Advance();
        auto n = Binary(TNodeKind::Compare, std::move(l), ParseOperand());
        n->Op = op;
        return n;
    }

    std::unique_ptr<Node> ParseOperand() {
        auto n = std::make_unique<Node>();
        switch (FTok.Kind) {
        case Token::String:
            n->Kind = TNodeKind::Literal;
            n->Value = Variant(FTok.Text);
            break;
        case Token::Number: {
            n->Kind = TNodeKind::Literal;
            int64_t i;
            if (TryStrToInt64(FTok.Text, i)) n->Value = Variant(i);
            else {
                TFormatSettings fs = FormatSettings();
                fs.DecimalSeparator = U'.';
                double d;
                if (!TryStrToFloat(FTok.Text, d, fs)) Fail();
                n->Value = Variant(d);
            }
            break;
        }
        case Token::Ident:
            n->Kind = TNodeKind::Literal;
            if (SameText(FTok.Text, "NULL")) n->Value = Variant::Null();
            else if (SameText(FTok.Text, "TRUE")) n->Value = Variant(true);
            else if (SameText(FTok.Text, "FALSE")) n->Value = Variant(false);
            else {
                n->Kind = TNodeKind::Field;
                n->Name = FTok.Text;
            }
            break;
        default: Fail();
        }
        Advance();
        return n;
    }

    std::string FText;
    size_t FPos = 0;
    Token FTok;
};

struct Operand {
    Variant Value;
    TField* Field = nullptr;
};

Operand Evaluate(const Node& n, TDataSet* ds) {
    Operand o;
    if (n.Kind == TNodeKind::Field) {
        o.Field = ds->FieldByName(n.Name);
        o.Value = o.Field->GetAsVariant();
    } else {
        o.Value = n.Value;
    }
    return o;
}

bool IsTextField(const TField* f) {
    if (!f) return false;
    switch (f->DataType()) {
    case ftString:
    case ftFixedChar:
    case ftWideString:
    case ftGuid:
    case ftMemo:
    case ftFmtMemo: return true;
    default: return false;
    }
}

// A literal text against a field of another type takes the field's type.
Variant Coerce(const Variant& literal, const TField* f) {
    if (!f || !literal.IsString()) return literal;
    switch (f->DataType()) {
    case ftDate:
    case ftTime:
    case ftDateTime: return Variant::FromDate(StrToDateTime(literal.RawString()));
    case ftBoolean: return Variant(literal.AsBoolean());
    default: return literal;
    }
}

bool LikeMatch(const std::u32string& s, size_t si, const std::u32string& p, size_t pi) {
    while (pi < p.size()) {
        char32_t c = p[pi];
        if (c == U'%' || c == U'*') {
            for (size_t k = si; k <= s.size(); ++k)
                if (LikeMatch(s, k, p, pi + 1)) return true;
            return false;
        }
        if (si >= s.size()) return false;
        if (c != U'_' && c != U'?' && c != s[si]) return false;
        ++si;
        ++pi;
    }
    return si == s.size();
}

bool Test(const Node& n, TDataSet* ds, TFilterOptions options) {
    bool ci = options.Contains(foCaseInsensitive);
    switch (n.Kind) {
    case TNodeKind::Or: return Test(*n.Left, ds, options) || Test(*n.Right, ds, options);
    case TNodeKind::And: return Test(*n.Left, ds, options) && Test(*n.Right, ds, options);
    case TNodeKind::Not: return !Test(*n.Left, ds, options);
    case TNodeKind::IsNull: {
        Operand a = Evaluate(*n.Left, ds);
        return a.Value.IsNull() != n.Negate;
    }
    case TNodeKind::Like: {
        Operand a = Evaluate(*n.Left, ds), b = Evaluate(*n.Right, ds);
        if (a.Value.IsNull() || b.Value.IsNull()) return false;
        std::string s = VarToStr(a.Value), p = VarToStr(b.Value);
        if (ci) {
            s = AnsiUpperCase(s);
            p = AnsiUpperCase(p);
        }
        return LikeMatch(Utf8ToU32(s), 0, Utf8ToU32(p), 0) != n.Negate;
    }
    case TNodeKind::Compare: {
        Operand a = Evaluate(*n.Left, ds), b = Evaluate(*n.Right, ds);
        if (b.Value.IsNull() && (n.Op == "=" || n.Op == "<>")) return a.Value.IsNull() == (n.Op == "=");
        if (a.Value.IsNull() || b.Value.IsNull()) return false;
        int c;
        if (IsTextField(a.Field) || IsTextField(b.Field) || (a.Value.IsString() && b.Value.IsString())) {
            std::string x = VarToStr(a.Value), y = VarToStr(b.Value);
            // 'Nov*' compares as a prefix unless partial comparison is switched off.
            if (!options.Contains(foNoPartialCompare) && (n.Op == "=" || n.Op == "<>") && !b.Field && !y.empty() &&
                y.back() == '*') {
                y.pop_back();
                x = Utf8Copy(x, 1, Utf8Length(y));
            }
            c = ci ? AnsiCompareText(x, y) : AnsiCompareStr(x, y);
        } else {
            TVariantRelationship r;
            try {
                r = VarCompareValue(Coerce(a.Value, b.Field), Coerce(b.Value, a.Field));
            } catch (EVariantError&) {
                return false;
            } catch (EConvertError&) {
                return false;
            }
            if (r == vrNotEqual) return n.Op == "<>";
            c = r == vrEqual ? 0 : r == vrLessThan ? -1 : 1;
        }
        if (n.Op == "=") return c == 0;
        if (n.Op == "<>") return c != 0;
        if (n.Op == "<") return c < 0;
        if (n.Op == ">") return c > 0;
        if (n.Op == "<=") return c <= 0;
        return c >= 0;
    }
    default: return false;
    }
}
}  // namespace

TMemFilter::TMemFilter(const std::string& text) : FRoot(Parser(text).Parse()) {}
TMemFilter::~TMemFilter() = default;

bool TMemFilter::Evaluate(TDataSet* dataSet, TFilterOptions options) const { return Test(*FRoot, dataSet, options); }
