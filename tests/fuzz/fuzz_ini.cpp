// The INI reader: any bytes parse into sections and entries, and the typed reads of every entry
// answer a value or the default.

#include "FuzzSupport.h"
#include "platform/classes/StringList.h"
#include "platform/settings/IniStore.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TIniStore store;
    store.Parse(FuzzText(data, size));
    // What was written reads back to the same sections.
    TIniStore again;
    again.Parse(store.Serialize());
    for (const TIniStore::Section& s : store.Sections())
        for (const TIniStore::Entry& e : s.Entries) {
            std::string value;
            store.ReadValue(s.Name, e.Name, value);
        }
    return 0;
}
