#pragma once
// TfrxExpressionCache: compiles each distinct expression text of a run once, as a function of
// a script of its own whose parent scope is the script the expression is evaluated in, and
// calls the compiled function for every later evaluation of the same text (case ignored).

#include <memory>
#include <string>

#include "platform/rtl/Variant.h"

class TStringList;
class TfsScript;

class TfrxExpressionCache {
public:
    explicit TfrxExpressionCache(TfsScript* mainScript);
    ~TfrxExpressionCache();
    TfrxExpressionCache(const TfrxExpressionCache&) = delete;
    TfrxExpressionCache& operator=(const TfrxExpressionCache&) = delete;

    // Empties the cache; the next expression is compiled as _f0 again.
    void Clear();
    // The value of `expr` in `script`'s scope. A compile error leaves the result Null and its
    // text in `errorText` ("Chyba ve výrazu '<expr>': <message>"); run-time errors raise.
    Variant Calc(const std::string& expr, std::string& errorText, TfsScript* script);

    int Count() const;
    // The function name an expression was compiled as ("_f0" ...), '' when not cached.
    std::string FunctionName(const std::string& expr) const;

private:
    TfsScript* FMainScript;
    std::unique_ptr<TfsScript> FScript;
    std::unique_ptr<TStringList> FList;
    int FCompiled = 0;  // compile attempts; names the next function
};
