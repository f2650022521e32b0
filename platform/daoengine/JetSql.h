#pragma once
// Translation of the Jet criteria, sort and select language into SQLite SQL.
// Every literal becomes a bound parameter ("?N"), so no text of a criterion is ever
// pasted into a statement; names are resolved by the caller.

#include <functional>
#include <string>
#include <vector>

#include "platform/rtl/Variant.h"

namespace Dao {

struct SqlText {
    std::string Sql;
    std::vector<Variant> Binds;  // Binds[k] belongs to "?(FirstBind + k)"
};

// Resolves a Jet name (its dotted parts, brackets removed) to SQL. Answers false for an
// unknown name. `bindValue` is set instead of `sql` when the name is a parameter.
struct NameResolution {
    std::string Sql;
    bool IsValue = false;
    Variant Value;
};
using NameResolver = std::function<bool(const std::vector<std::string>& parts, NameResolution& out)>;

// A criteria expression (FindFirst, Filter, WHERE). Syntax errors raise EDaoError with
// `syntaxError`; unknown names with `unknownNameError`.
SqlText TranslateCriteria(const std::string& criteria, const NameResolver& names, int firstBind = 1,
    int syntaxError = 3077, int unknownNameError = 3070);
// A sort text "a [ASC|DESC], b ...". Raises EDaoError 3077 on bad syntax.
std::string TranslateSort(const std::string& sort, const NameResolver& names);

// "SELECT * | cols FROM [t] [WHERE ...] [ORDER BY ...] [;]" taken apart; false for anything else.
struct SimpleSelect {
    std::string Table;
    std::vector<std::string> Columns;  // empty = all
    std::string Where;  // Jet text
    std::string OrderBy;  // Jet text
};
bool ParseSimpleSelect(const std::string& sql, SimpleSelect& out);

// A whole statement: brackets become quoted identifiers, literals become binds, names the
// resolver knows as values (parameters) become binds, everything else is kept.
SqlText TranslateStatement(const std::string& sql, const NameResolver& parameters, int firstBind = 1);

// "PARAMETERS a Text, [b] Long; body": the declared names and types, and the body.
struct ParameterDecl {
    std::string Name;
    std::string Type;
};
std::vector<ParameterDecl> SplitParameters(const std::string& sql, std::string& body);

// Jet date literal text (between the '#') to days since 1899-12-30; false when invalid.
bool ParseJetDate(const std::string& text, double& days);

// Jet LIKE: * ? # [abc] [!abc] [a-z]; case-insensitive with Czech letters.
bool JetLike(const std::string& pattern, const std::string& value);

}  // namespace Dao
