// The DAO engine's translators of user-typed text: criteria (Filter, FindFirst, WHERE), sort
// texts, simple selects, whole statements with parameters, date literals and LIKE patterns.
// Bad syntax raises EDaoError; nothing else may happen.

#include "FuzzSupport.h"
#include "platform/daoengine/DaoErrors.h"
#include "platform/daoengine/JetSql.h"
#include "platform/rtl/Exceptions.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text = FuzzText(data, size);
    // Every name is a column except those starting with "p", which are parameters.
    const Dao::NameResolver names = [](const std::vector<std::string>& parts, Dao::NameResolution& out) {
        if (parts.empty() || parts.back().empty()) return false;
        if (parts.back()[0] == 'p') {
            out.IsValue = true;
            out.Value = Variant(parts.back());
        } else {
            out.Sql = "\"" + parts.back() + "\"";
        }
        return true;
    };
    try {
        Dao::TranslateCriteria(text, names);
    } catch (const Exception&) {
        // A syntax or name error is the answer to bad criteria.
    }
    try {
        Dao::TranslateSort(text, names);
    } catch (const Exception&) {
        // As above, for a sort text.
    }
    try {
        Dao::SimpleSelect select;
        if (Dao::ParseSimpleSelect(text, select) && !select.Where.empty()) Dao::TranslateCriteria(select.Where, names);
        std::string body;
        Dao::SplitParameters(text, body);
        Dao::TranslateStatement(body, names);
    } catch (const Exception&) {
        // As above, for a statement.
    }
    double days;
    Dao::ParseJetDate(text, days);
    const size_t half = text.find('\n');
    if (half != std::string::npos) Dao::JetLike(text.substr(0, half), text.substr(half + 1));
    return 0;
}
