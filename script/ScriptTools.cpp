#include "script/ScriptTools.h"

#include <charconv>
#include <utility>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Strings.h"

namespace {

std::vector<TfsLanguage>& Registry() {
    static std::vector<TfsLanguage> registry;
    return registry;
}

bool ParseInt(std::string_view s, int& v) {
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    return ec == std::errc() && end == s.data() + s.size();
}

}  // namespace

std::string fsFormatMessage(std::string_view pattern, std::string_view arg) {
    std::string r(pattern);
    size_t at = r.find("%s");
    if (at != std::string::npos) r.replace(at, 2, arg);
    return r;
}

void fsRegisterLanguage(const std::string& name, const std::string& grammarText) {
    for (const auto& entry : Registry())
        if (AnsiSameText(entry.Name, name)) return;
    Registry().push_back(TfsLanguage{name, grammarText, nullptr});
}

TfsLanguage& fsFindLanguage(const std::string& name) {
    for (auto& entry : Registry())
        if (AnsiSameText(entry.Name, name)) return entry;
    throw Exception(fsFormatMessage(SLangNotFound, name));
}

const std::string& fsGetLanguage(const std::string& name) { return fsFindLanguage(name).Grammar; }

std::vector<std::string> fsGetLanguageList() {
    std::vector<std::string> names;
    for (const auto& entry : Registry()) names.push_back(entry.Name);
    return names;
}

void fsRegisterStandardLanguages() {
    for (int i = 0; i < fsStandardGrammarCount; ++i)
        fsRegisterLanguage(fsStandardGrammars[i].Name, fsStandardGrammars[i].Text);
}

void fsUnregisterLanguages() { Registry().clear(); }

Variant fsLiteralToVariant(std::string_view literal) {
    if (literal.empty()) return Variant::Null();
    if (literal[0] == '\'')
        return Variant(literal.size() >= 2 ? literal.substr(1, literal.size() - 2) : std::string_view());
    int64_t i = 0;
    if (literal[0] == '$') {
        std::string_view hex = literal.substr(1);
        uint64_t u = 0;
        auto [end, ec] = std::from_chars(hex.data(), hex.data() + hex.size(), u, 16);
        if (!hex.empty() && ec == std::errc() && end == hex.data() + hex.size()) return Variant(int64_t(u));
    } else {
        auto [end, ec] = std::from_chars(literal.data(), literal.data() + literal.size(), i);
        if (ec == std::errc() && end == literal.data() + literal.size()) return Variant(i);
    }
    // Script literals always use "." as the decimal separator, whatever the locale says.
    double d = 0;
    auto [end, ec] = std::from_chars(literal.data(), literal.data() + literal.size(), d);
    if (ec != std::errc() || end != literal.data() + literal.size())
        throw EConvertError("'" + std::string(literal) + "' is not a valid floating point value");
    return Variant(d);
}

TfsPoint fsPosToPoint(std::string_view pos) {
    TfsPoint p;
    if (pos.empty()) return p;
    size_t colon = pos.find(':');
    std::string_view line = pos.substr(0, colon);
    std::string_view column = colon == std::string_view::npos ? std::string_view() : pos.substr(colon + 1);
    if (!ParseInt(line, p.Y) || !ParseInt(column, p.X))
        throw EConvertError("'" + std::string(pos) + "' is not a valid position");
    return p;
}
