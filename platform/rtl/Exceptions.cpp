#include "platform/rtl/Exceptions.h"

bool Exception::NameIs(const std::string& a, const char* b) noexcept {
    // Class names are ASCII identifiers; scripts may spell them in any case.
    size_t i = 0;
    for (; i < a.size(); ++i) {
        const char cb = b[i];
        if (cb == '\0') return false;
        char ca = a[i];
        char cc = cb;
        if (ca >= 'A' && ca <= 'Z') ca = char(ca - 'A' + 'a');
        if (cc >= 'A' && cc <= 'Z') cc = char(cc - 'A' + 'a');
        if (ca != cc) return false;
    }
    return b[i] == '\0';
}

bool Exception::InheritsFrom(const std::string& className) const noexcept { return NameIs(className, "Exception"); }

void Abort() { throw EAbort("Operation aborted"); }
