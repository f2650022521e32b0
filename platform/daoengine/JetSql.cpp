#include "platform/daoengine/JetSql.h"

#include <cctype>
#include <cmath>

#include "platform/daoengine/DaoErrors.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/Strings.h"

namespace Dao {
namespace {

enum class Tok { End, Name, String, Number, Date, Guid, Op, Other };

struct Token {
    Tok Kind = Tok::End;
    std::string Text;  // name (without brackets), string value, operator, raw text
    bool Bracketed = false;
    size_t Pos = 0;
};

bool IsIdentStart(unsigned char c) { return std::isalpha(c) || c == '_' || c >= 0x80; }
bool IsIdentChar(unsigned char c) { return std::isalnum(c) || c == '_' || c >= 0x80; }

bool SameWord(const std::string& a, const char* b) { return SameText(a, b); }

class Lexer {
public:
    Lexer(const std::string& s, int err) : S(s), Err(err) {}
    std::vector<Token> All() {
        std::vector<Token> out;
        for (;;) {
            Token t = Next();
            out.push_back(t);
            if (t.Kind == Tok::End) return out;
        }
    }

private:
    [[noreturn]] void Fail(const std::string& what) const {
        throw EDaoError(Err, "Syntax error in expression '" + S + "': " + what + ".");
    }
    Token Next() {
        while (P < S.size() && std::isspace(static_cast<unsigned char>(S[P]))) ++P;
        Token t;
        t.Pos = P;
        if (P >= S.size()) return t;
        const unsigned char c = static_cast<unsigned char>(S[P]);
        if (c == '[') {
            // Jet allows any character but ']' inside brackets.
            size_t e = S.find(']', P + 1);
            if (e == std::string::npos) Fail("missing ]");
            t.Kind = Tok::Name;
            t.Bracketed = true;
            t.Text = S.substr(P + 1, e - P - 1);
            P = e + 1;
            return t;
        }
        if (c == '"' || c == '\'') {
            std::string v;
            size_t i = P + 1;
            for (;;) {
                if (i >= S.size()) Fail("unterminated string");
                if (S[i] == char(c)) {
                    if (i + 1 < S.size() && S[i + 1] == char(c)) {
                        v += char(c);
                        i += 2;
                        continue;
                    }
                    break;
                }
                v += S[i++];
            }
            t.Kind = Tok::String;
            t.Text = v;
            P = i + 1;
            return t;
        }
        if (c == '#') {
            size_t e = S.find('#', P + 1);
            if (e == std::string::npos) Fail("unterminated date");
            t.Kind = Tok::Date;
            t.Text = S.substr(P + 1, e - P - 1);
            P = e + 1;
            return t;
        }
        if (c == '{') {
            // {guid {xxxxxxxx-...}}
            size_t e = S.find('}', P + 1);
            if (e == std::string::npos) Fail("unterminated GUID");
            std::string inner = S.substr(P + 1, e - P);  // includes the first '}'
            P = e + 1;
            if (P < S.size() && S[P] == '}') ++P;
            std::string g = Trim(inner);
            if (g.size() > 4 && SameText(g.substr(0, 4), "guid")) g = Trim(g.substr(4));
            if (g.empty() || g.front() != '{') Fail("bad GUID");
            t.Kind = Tok::Guid;
            t.Text = AnsiUpperCase(g);
            return t;
        }
        if (std::isdigit(c) || (c == '.' && P + 1 < S.size() && std::isdigit(static_cast<unsigned char>(S[P + 1])))) {
            size_t i = P;
            while (i < S.size() && (std::isdigit(static_cast<unsigned char>(S[i])) || S[i] == '.')) ++i;
            if (i < S.size() && (S[i] == 'e' || S[i] == 'E')) {
                size_t j = i + 1;
                if (j < S.size() && (S[j] == '+' || S[j] == '-')) ++j;
                if (j < S.size() && std::isdigit(static_cast<unsigned char>(S[j]))) {
                    i = j;
                    while (i < S.size() && std::isdigit(static_cast<unsigned char>(S[i]))) ++i;
                }
            }
            t.Kind = Tok::Number;
            t.Text = S.substr(P, i - P);
            P = i;
            return t;
        }
        if (IsIdentStart(c)) {
            size_t i = P;
            while (i < S.size() && IsIdentChar(static_cast<unsigned char>(S[i]))) ++i;
            t.Kind = Tok::Name;
            t.Text = S.substr(P, i - P);
            P = i;
            return t;
        }
        static const char* const twoChar[] = {"<>", "<=", ">=", "!="};
        for (const char* op : twoChar) {
            if (S.compare(P, 2, op) == 0) {
                t.Kind = Tok::Op;
                t.Text = std::string(op, 2);
                P += 2;
                return t;
            }
        }
        if (std::string("=<>(),.+-*/&;!\\").find(char(c)) != std::string::npos) {
            t.Kind = Tok::Op;
            t.Text = std::string(1, char(c));
            ++P;
            return t;
        }
        t.Kind = Tok::Other;
        t.Text = std::string(1, char(c));
        ++P;
        return t;
    }
    const std::string& S;
    int Err;
    size_t P = 0;
};

bool IsKeyword(const Token& t, const char* w) { return t.Kind == Tok::Name && !t.Bracketed && SameWord(t.Text, w); }

Variant NumberValue(const std::string& text) {
    if (text.find_first_of(".eE") == std::string::npos && text.size() < 18) return Variant(int64_t(std::stoll(text)));
    return Variant(std::strtod(text.c_str(), nullptr));
}

class Parser {
public:
    Parser(const std::string& src, const NameResolver& names, int firstBind, int syntaxErr, int nameErr)
        : Src(src), Toks(Lexer(src, syntaxErr).All()), Names(names), Next(firstBind), SyntaxErr(syntaxErr),
          NameErr(nameErr) {}

    SqlText Criteria() {
        SqlText out;
        out.Sql = Or();
        if (Peek().Kind != Tok::End && !(Peek().Kind == Tok::Op && Peek().Text == ";" && Toks[I + 1].Kind == Tok::End))
            Fail("unexpected '" + Peek().Text + "'");
        out.Binds = std::move(Binds);
        return out;
    }

    std::string Sort() {
        std::string out;
        if (Peek().Kind == Tok::End) return out;
        for (;;) {
            std::string term = Operand();
            std::string dir = " ASC";
            if (IsKeyword(Peek(), "ASC")) {
                ++I;
            } else if (IsKeyword(Peek(), "DESC")) {
                ++I;
                dir = " DESC";
            }
            if (!out.empty()) out += ", ";
            out += term + " COLLATE CZECH" + dir;
            if (Peek().Kind == Tok::Op && Peek().Text == ",") {
                ++I;
                continue;
            }
            break;
        }
        if (Peek().Kind != Tok::End) Fail("unexpected '" + Peek().Text + "'");
        if (!Binds.empty()) Fail("a sort takes names only");
        return out;
    }

private:
    const Token& Peek() const { return Toks[I]; }
    bool IsOp(const char* op) const { return Peek().Kind == Tok::Op && Peek().Text == op; }
    [[noreturn]] void Fail(const std::string& what) const {
        throw EDaoError(SyntaxErr, "Syntax error in expression '" + Src + "': " + what + ".");
    }
    std::string Bind(Variant v) {
        Binds.push_back(std::move(v));
        std::string mark = "?";
        mark += std::to_string(Next++);
        return mark;
    }

    // A left-nested chain "((a OP b) OP c)" built in one pass: rebuilding the whole text at
    // every operator made long OR lists quadratic.
    struct Chain {
        std::vector<const char*> Opens;  // the prefix of each operator, innermost first
        std::string Tail;
        explicit Chain(std::string first) : Tail(std::move(first)) {}
        void Add(const char* open, const std::string& middle, const std::string& right, const char* close) {
            Opens.push_back(open);
            Tail += middle;
            Tail += right;
            Tail += close;
        }
        std::string Text() const {
            std::string out;
            for (auto it = Opens.rbegin(); it != Opens.rend(); ++it) out += *it;
            return out + Tail;
        }
    };
    // Every construct that nests ("(", NOT, unary minus, a function call) counts one level:
    // deeper criteria are a syntax error, not a stack overflow. No criterion typed by a
    // person comes near the limit.
    static constexpr int kMaxDepth = 200;
    auto Nest() {
        ++Depth;
        auto leave = OnScopeExit([this] { --Depth; });
        if (Depth > kMaxDepth) Fail("expression nested too deeply");
        return leave;
    }

    std::string Or() {
        Chain c(And());
        while (IsKeyword(Peek(), "OR")) {
            ++I;
            c.Add("(", " OR ", And(), ")");
        }
        return c.Text();
    }
    std::string And() {
        Chain c(Not());
        while (IsKeyword(Peek(), "AND")) {
            ++I;
            c.Add("(", " AND ", Not(), ")");
        }
        return c.Text();
    }
    std::string Not() {
        if (IsKeyword(Peek(), "NOT")) {
            ++I;
            auto level = Nest();
            return "(NOT " + Not() + ")";
        }
        return Comparison();
    }
    std::string Comparison() {
        std::string l = Additive();
        static const char* const ops[] = {"=", "<>", "!=", "<=", ">=", "<", ">"};
        for (const char* op : ops) {
            if (IsOp(op)) {
                ++I;
                std::string r = Additive();
                std::string sqlOp = std::string(op) == "!=" ? "<>" : op;
                // Text compares as Jet does: case-insensitively in Czech order.
                return "(" + l + " " + sqlOp + " " + r + " COLLATE CZECH)";
            }
        }
        bool negate = false;
        if (IsKeyword(Peek(), "NOT") &&
            (IsKeyword(Toks[I + 1], "LIKE") || IsKeyword(Toks[I + 1], "BETWEEN") || IsKeyword(Toks[I + 1], "IN"))) {
            negate = true;
            ++I;
        }
        const std::string n = negate ? "NOT " : "";
        if (IsKeyword(Peek(), "LIKE")) {
            ++I;
            return "(" + l + " " + n + "LIKE " + Additive() + ")";
        }
        if (IsKeyword(Peek(), "BETWEEN")) {
            ++I;
            std::string a = Additive();
            if (!IsKeyword(Peek(), "AND")) Fail("AND expected after BETWEEN");
            ++I;
            std::string b = Additive();
            return "(" + l + " " + n + "BETWEEN " + a + " COLLATE CZECH AND " + b + " COLLATE CZECH)";
        }
        if (IsKeyword(Peek(), "IN")) {
            ++I;
            if (!IsOp("(")) Fail("( expected after IN");
            ++I;
            std::string list;
            for (;;) {
                if (!list.empty()) list += ", ";
                list += Additive();
                if (IsOp(",")) {
                    ++I;
                    continue;
                }
                break;
            }
            if (!IsOp(")")) Fail(") expected");
            ++I;
            return "(" + l + " COLLATE CZECH " + n + "IN (" + list + "))";
        }
        if (IsKeyword(Peek(), "IS")) {
            ++I;
            bool isNot = false;
            if (IsKeyword(Peek(), "NOT")) {
                ++I;
                isNot = true;
            }
            if (!IsKeyword(Peek(), "NULL")) Fail("NULL expected after IS");
            ++I;
            return "(" + l + (isNot ? " IS NOT NULL)" : " IS NULL)");
        }
        if (negate) Fail("LIKE, BETWEEN or IN expected after NOT");
        return l;
    }
    std::string Additive() {
        Chain c(Multiplicative());
        for (;;) {
            if (IsOp("+") || IsOp("-")) {
                std::string op = " " + Peek().Text + " ";
                ++I;
                c.Add("(", op, Multiplicative(), ")");
            } else if (IsOp("&")) {
                ++I;
                c.Add("(COALESCE(", ", '') || COALESCE(", Multiplicative(), ", ''))");
            } else return c.Text();
        }
    }
    std::string Multiplicative() {
        Chain c(Unary());
        while (IsOp("*") || IsOp("/")) {
            std::string op = " " + Peek().Text + " ";
            ++I;
            c.Add("(", op, Unary(), ")");
        }
        return c.Text();
    }
    std::string Unary() {
        if (IsOp("-")) {
            ++I;
            auto level = Nest();
            return "(-" + Unary() + ")";
        }
        if (IsOp("+")) {
            ++I;
            auto level = Nest();
            return Unary();
        }
        return Operand();
    }
    std::string Operand() {
        const Token t = Peek();
        switch (t.Kind) {
        case Tok::String: ++I; return Bind(Variant(t.Text));
        case Tok::Number: ++I; return Bind(NumberValue(t.Text));
        case Tok::Guid: ++I; return Bind(Variant(t.Text));
        case Tok::Date: {
            ++I;
            double d = 0;
            if (!ParseJetDate(t.Text, d)) Fail("invalid date #" + t.Text + "#");
            return Bind(Variant(d));
        }
        case Tok::Op:
            if (t.Text == "(") {
                ++I;
                auto level = Nest();
                std::string e = Or();
                if (!IsOp(")")) Fail(") expected");
                ++I;
                return "(" + e + ")";
            }
            Fail("unexpected '" + t.Text + "'");
        case Tok::Name: break;
        default: Fail(t.Kind == Tok::End ? "unexpected end" : "unexpected '" + t.Text + "'");
        }
        if (!t.Bracketed) {
            if (SameWord(t.Text, "NULL")) {
                ++I;
                return "NULL";
            }
            if (SameWord(t.Text, "TRUE") || SameWord(t.Text, "YES") || SameWord(t.Text, "ON")) {
                ++I;
                return Bind(Variant(int64_t(-1)));
            }
            if (SameWord(t.Text, "FALSE") || SameWord(t.Text, "NO") || SameWord(t.Text, "OFF")) {
                ++I;
                return Bind(Variant(int64_t(0)));
            }
            static const char* const reserved[] = {"AND", "OR", "NOT", "LIKE", "IS", "BETWEEN", "IN"};
            for (const char* r : reserved)
                if (SameWord(t.Text, r)) Fail("unexpected '" + t.Text + "'");
            if (Toks[I + 1].Kind == Tok::Op && Toks[I + 1].Text == "(") return Function();
        }
        std::vector<std::string> parts{t.Text};
        ++I;
        while (IsOp(".") && Toks[I + 1].Kind == Tok::Name) {
            parts.push_back(Toks[I + 1].Text);
            I += 2;
        }
        NameResolution r;
        if (!Names || !Names(parts, r)) {
            std::string full;
            for (const auto& p : parts) full += (full.empty() ? "" : ".") + p;
            throw EDaoError(NameErr,
                NameErr == 3061 ? "Too few parameters. Expected 1 ('" + full + "')."
                                : "The name '" + full + "' is not a valid field name or expression.");
        }
        if (r.IsValue) return Bind(r.Value);
        return r.Sql;
    }
    std::string Function() {
        const std::string name = AnsiUpperCase(Peek().Text);
        I += 2;  // name and '('
        auto level = Nest();
        std::vector<std::string> args;
        if (!IsOp(")")) {
            for (;;) {
                args.push_back(Or());
                if (IsOp(",")) {
                    ++I;
                    continue;
                }
                break;
            }
        }
        if (!IsOp(")")) Fail(") expected");
        ++I;
        auto one = [&](const char* sqlName) {
            if (args.size() != 1) Fail(name + " takes one argument");
            return std::string(sqlName) + "(" + args[0] + ")";
        };
        if (name == "LCASE") return one("lcase");
        if (name == "UCASE") return one("ucase");
        if (name == "TRIM") return one("trim");
        if (name == "LEN") return one("length");
        Fail("unknown function " + name);
    }

    const std::string& Src;
    std::vector<Token> Toks;
    const NameResolver& Names;
    std::vector<Variant> Binds;
    size_t I = 0;
    int Depth = 0;
    int Next;
    int SyntaxErr, NameErr;
};

std::string QuoteIdent(const std::string& name) {
    std::string out = "\"";
    for (char c : name) {
        out += c;
        if (c == '"') out += '"';
    }
    return out + "\"";
}

}  // namespace

SqlText TranslateCriteria(
    const std::string& criteria, const NameResolver& names, int firstBind, int syntaxError, int unknownNameError) {
    if (Trim(criteria).empty()) throw EDaoError(syntaxError, "Syntax error: the expression is empty.");
    return Parser(criteria, names, firstBind, syntaxError, unknownNameError).Criteria();
}

std::string TranslateSort(const std::string& sort, const NameResolver& names) {
    return Parser(sort, names, 1, 3077, 3070).Sort();
}

bool ParseJetDate(const std::string& text, double& days) {
    // m/d/yyyy [h:n[:s] [AM|PM]] or h:n[:s] [AM|PM]
    std::string s = Trim(text);
    int nums[6] = {0, 0, 0, 0, 0, 0};
    bool hasDate = s.find('/') != std::string::npos || s.find('-') != std::string::npos;
    size_t i = 0;
    auto readInt = [&](int& v) {
        size_t st = i;
        v = 0;
        while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])) && i - st < 6)
            v = v * 10 + (s[i++] - '0');
        return i > st;
    };
    int month = 0, day = 0, year = 0, h = 0, n = 0, sec = 0;
    if (hasDate) {
        if (!readInt(month) || i >= s.size() || (s[i] != '/' && s[i] != '-')) return false;
        ++i;
        if (!readInt(day) || i >= s.size() || (s[i] != '/' && s[i] != '-')) return false;
        ++i;
        size_t ys = i;
        if (!readInt(year)) return false;
        if (i - ys <= 2) year += year < 30 ? 2000 : 1900;
        while (i < s.size() && s[i] == ' ') ++i;
    }
    bool hasTime = i < s.size();
    if (hasTime) {
        if (!readInt(h) || i >= s.size() || s[i] != ':') return false;
        ++i;
        if (!readInt(n)) return false;
        if (i < s.size() && s[i] == ':') {
            ++i;
            if (!readInt(sec)) return false;
        }
        while (i < s.size() && s[i] == ' ') ++i;
        std::string ampm = AnsiUpperCase(s.substr(i));
        if (ampm == "PM") {
            if (h < 12) h += 12;
        } else if (ampm == "AM") {
            if (h == 12) h = 0;
        } else if (!ampm.empty()) return false;
        if (h > 23 || n > 59 || sec > 59) return false;
    }
    (void)nums;
    double d = 0;
    if (hasDate) {
        static const int mdays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
        bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
        if (month < 1 || month > 12 || year < 100 || year > 9999 || day < 1 ||
            day > mdays[month - 1] + (month == 2 && leap ? 1 : 0))
            return false;
        // days from civil (proleptic Gregorian), relative to 1899-12-30
        auto civil = [](int y, int m, int dd) {
            y -= m <= 2;
            const int era = (y >= 0 ? y : y - 399) / 400;
            const unsigned yoe = unsigned(y - era * 400);
            const unsigned doy = unsigned((153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + dd - 1);
            const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
            return era * 146097 + int(doe) - 719468;
        };
        d = civil(year, month, day) - civil(1899, 12, 30);
    }
    double t = (h * 3600.0 + n * 60.0 + sec) / 86400.0;
    days = d >= 0 ? d + t : d - t;
    return true;
}

bool JetLike(const std::string& pattern, const std::string& value) {
    const std::u32string p = Utf8ToU32(pattern), v = Utf8ToU32(value);
    // Iterative matcher with backtracking on the last '*'.
    size_t pi = 0, vi = 0, starP = std::u32string::npos, starV = 0;
    auto classEnd = [&](size_t at) {  // index just after the ']' of a class at p[at] == '['
        size_t j = at + 1;
        if (j < p.size() && p[j] == U'!') ++j;
        if (j < p.size() && p[j] == U']') ++j;  // "[]]" would hold ']'
        while (j < p.size() && p[j] != U']') ++j;
        return j < p.size() ? j + 1 : std::u32string::npos;
    };
    auto matchOne = [&](size_t& at, char32_t c) -> bool {  // advances `at` past the element
        const char32_t pc = p[at];
        if (pc == U'?') {
            ++at;
            return true;
        }
        if (pc == U'#') {
            ++at;
            return c >= U'0' && c <= U'9';
        }
        if (pc == U'[') {
            size_t end = classEnd(at);
            if (end == std::u32string::npos) {
                ++at;
                return CharUpper(c) == U'[';
            }
            size_t j = at + 1;
            bool neg = false;
            if (p[j] == U'!' && j + 1 < end - 1) {
                neg = true;
                ++j;
            }
            bool hit = false;
            const char32_t uc = CharUpper(c);
            for (; j < end - 1; ++j) {
                char32_t lo = CharUpper(p[j]);
                if (j + 2 < end - 1 && p[j + 1] == U'-') {
                    char32_t hi = CharUpper(p[j + 2]);
                    if (uc >= lo && uc <= hi) hit = true;
                    j += 2;
                } else if (uc == lo) hit = true;
            }
            at = end;
            return hit != neg;
        }
        ++at;
        return CharUpper(pc) == CharUpper(c);
    };
    while (vi < v.size()) {
        if (pi < p.size() && p[pi] == U'*') {
            starP = ++pi;
            starV = vi;
            continue;
        }
        size_t at = pi;
        if (pi < p.size() && matchOne(at, v[vi])) {
            pi = at;
            ++vi;
            continue;
        }
        if (starP == std::u32string::npos) return false;
        pi = starP;
        vi = ++starV;
    }
    while (pi < p.size() && p[pi] == U'*') ++pi;
    return pi == p.size();
}

bool ParseSimpleSelect(const std::string& sql, SimpleSelect& out) {
    std::vector<Token> t;
    try {
        t = Lexer(sql, 3075).All();
    } catch (const EDaoError&) {
        return false;
    }
    size_t i = 0;
    if (!IsKeyword(t[i], "SELECT")) return false;
    ++i;
    out = SimpleSelect{};
    if (t[i].Kind == Tok::Op && t[i].Text == "*") ++i;
    else {
        for (;;) {
            if (t[i].Kind != Tok::Name || IsKeyword(t[i], "FROM") || IsKeyword(t[i], "DISTINCT") ||
                IsKeyword(t[i], "DISTINCTROW") || IsKeyword(t[i], "TOP"))
                return false;
            if (t[i + 1].Kind == Tok::Op && (t[i + 1].Text == "(" || t[i + 1].Text == ".")) return false;
            out.Columns.push_back(t[i].Text);
            ++i;
            if (t[i].Kind == Tok::Op && t[i].Text == ",") {
                ++i;
                continue;
            }
            break;
        }
    }
    if (!IsKeyword(t[i], "FROM")) return false;
    ++i;
    if (t[i].Kind != Tok::Name) return false;
    out.Table = t[i].Text;
    ++i;
    auto restFrom = [&](size_t from, size_t to) {
        size_t a = t[from].Pos, b = t[to].Kind == Tok::End ? sql.size() : t[to].Pos;
        return Trim(sql.substr(a, b - a));
    };
    if (IsKeyword(t[i], "WHERE")) {
        size_t st = ++i;
        int depth = 0;
        while (t[i].Kind != Tok::End) {
            if (t[i].Kind == Tok::Op && t[i].Text == "(") ++depth;
            if (t[i].Kind == Tok::Op && t[i].Text == ")") --depth;
            if (depth == 0 && IsKeyword(t[i], "ORDER") && IsKeyword(t[i + 1], "BY")) break;
            if (depth == 0 && t[i].Kind == Tok::Op && t[i].Text == ";") break;
            if (depth == 0 &&
                (IsKeyword(t[i], "GROUP") || IsKeyword(t[i], "HAVING") || IsKeyword(t[i], "UNION") ||
                    IsKeyword(t[i], "SELECT")))
                return false;
            ++i;
        }
        out.Where = restFrom(st, i);
        if (out.Where.empty()) return false;
    }
    if (IsKeyword(t[i], "ORDER") && IsKeyword(t[i + 1], "BY")) {
        i += 2;
        size_t st = i;
        while (t[i].Kind != Tok::End && !(t[i].Kind == Tok::Op && t[i].Text == ";")) ++i;
        out.OrderBy = restFrom(st, i);
    }
    if (t[i].Kind == Tok::Op && t[i].Text == ";") ++i;
    return t[i].Kind == Tok::End;
}

std::vector<ParameterDecl> SplitParameters(const std::string& sql, std::string& body) {
    std::vector<ParameterDecl> out;
    body = sql;
    std::vector<Token> t = Lexer(sql, 3075).All();
    if (!IsKeyword(t[0], "PARAMETERS")) return out;
    size_t i = 1;
    for (;;) {
        if (t[i].Kind != Tok::Name) throw EDaoError(3075, "Syntax error in PARAMETERS clause.");
        ParameterDecl d;
        d.Name = t[i++].Text;
        while (t[i].Kind == Tok::Name || t[i].Kind == Tok::Number ||
            (t[i].Kind == Tok::Op && (t[i].Text == "(" || t[i].Text == ")"))) {
            if (t[i].Kind == Tok::Name) d.Type += (d.Type.empty() ? "" : " ") + t[i].Text;
            ++i;
        }
        out.push_back(d);
        if (t[i].Kind == Tok::Op && t[i].Text == ",") {
            ++i;
            continue;
        }
        if (t[i].Kind == Tok::Op && t[i].Text == ";") {
            ++i;
            break;
        }
        throw EDaoError(3075, "Syntax error in PARAMETERS clause.");
    }
    body = t[i].Kind == Tok::End ? std::string() : sql.substr(t[i].Pos);
    return out;
}

SqlText TranslateStatement(const std::string& sql, const NameResolver& parameters, int firstBind) {
    SqlText out;
    std::vector<Token> t = Lexer(sql, 3075).All();
    int next = firstBind;
    auto bind = [&](Variant v) {
        out.Binds.push_back(std::move(v));
        std::string mark = "?";
        mark += std::to_string(next++);
        return mark;
    };
    for (size_t i = 0; t[i].Kind != Tok::End; ++i) {
        const Token& k = t[i];
        std::string piece;
        switch (k.Kind) {
        case Tok::String: piece = bind(Variant(k.Text)); break;
        case Tok::Guid: piece = bind(Variant(k.Text)); break;
        case Tok::Number: piece = k.Text; break;
        case Tok::Date: {
            double d = 0;
            if (!ParseJetDate(k.Text, d)) throw EDaoError(3075, "Syntax error in date #" + k.Text + "#.");
            piece = bind(Variant(d));
            break;
        }
        case Tok::Name: {
            NameResolution r;
            const bool dotted = (i > 0 && t[i - 1].Kind == Tok::Op && t[i - 1].Text == ".") ||
                (t[i + 1].Kind == Tok::Op && t[i + 1].Text == ".");
            if (!dotted && parameters && parameters({k.Text}, r) && r.IsValue) piece = bind(r.Value);
            else if (!k.Bracketed && (SameWord(k.Text, "TRUE") || SameWord(k.Text, "YES"))) piece = "-1";
            else if (!k.Bracketed && (SameWord(k.Text, "FALSE") || SameWord(k.Text, "NO"))) piece = "0";
            else if (!k.Bracketed && SameWord(k.Text, "DISTINCTROW")) piece = "DISTINCT";
            else if (k.Bracketed) piece = QuoteIdent(k.Text);
            else piece = k.Text;
            break;
        }
        case Tok::Op: piece = k.Text == "&" ? "||" : k.Text; break;
        default: piece = k.Text;
        }
        if (!out.Sql.empty() &&
            !(k.Kind == Tok::Op && (k.Text == "." || k.Text == "," || k.Text == ")" || k.Text == ";")) &&
            !(i > 0 && t[i - 1].Kind == Tok::Op && (t[i - 1].Text == "." || t[i - 1].Text == "(")))
            out.Sql += ' ';
        out.Sql += piece;
    }
    return out;
}

}  // namespace Dao
