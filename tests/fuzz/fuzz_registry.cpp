// The registry store: a damaged "registry.ini" under the user's configuration folder. Every key
// is opened and every value read as each type; a value of the wrong form raises
// ERegistryException, nothing else may happen.
//
// The process keeps one store per file name, so each input gets a folder of its own, removed
// again (with the emptied store's file) after the input.

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include "FuzzSupport.h"
#include "platform/classes/StringList.h"
#include "platform/rtl/Exceptions.h"
#include "platform/settings/Registry.h"

namespace fs = std::filesystem;

namespace {
fs::path gBase;

void ReadKey(TRegistry& r, const std::string& path, int depth) {
    if (depth > 16 || !r.OpenKeyReadOnly(path)) return;
    TStringList values, keys;
    r.GetValueNames(&values);
    r.GetKeyNames(&keys);
    for (int i = 0; i < values.Count(); ++i) {
        const std::string name = values.Strings(i);
        r.GetDataType(name);
        r.GetDataSize(name);
        try {
            r.ReadString(name);
        } catch (const Exception&) {
            // A value of another type: the documented answer.
        }
        try {
            r.ReadInteger(name);
        } catch (const Exception&) {
            // As above.
        }
        try {
            r.ReadFloat(name);
        } catch (const Exception&) {
            // As above.
        }
        try {
            std::vector<char> buffer(64);
            r.ReadBinaryData(name, buffer.data(), int(buffer.size()));
        } catch (const Exception&) {
            // As above, or a buffer too small.
        }
    }
    for (int i = 0; i < keys.Count(); ++i) ReadKey(r, path + "\\" + keys.Strings(i), depth + 1);
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // The store is written back with a flush to disk on every input: a memory file system
    // keeps that cheap where there is one.
    std::error_code ec;
    const fs::path tmp = fs::is_directory("/dev/shm", ec) ? fs::path("/dev/shm") : fs::temp_directory_path();
    gBase = tmp / ("karomil-fuzz-registry-" + std::to_string(::getpid()));
    std::atexit([] {
        std::error_code ignored;
        fs::remove_all(gBase, ignored);
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static unsigned long counter = 0;
    const fs::path home = gBase / std::to_string(counter++);
    fs::create_directories(home / "karomil");
    {
        std::ofstream(home / "karomil" / "registry.ini", std::ios::binary)
            .write(reinterpret_cast<const char*>(data), std::streamsize(size));
    }
    ::setenv("XDG_CONFIG_HOME", home.c_str(), 1);
    {
        TRegistry r;
        ReadKey(r, "\\", 0);
        // Empty the store so that the process keeps nothing of this input.
        r.CloseKey();
        TStringList keys;
        if (r.OpenKey("\\", false)) {
            r.GetKeyNames(&keys);
            for (int i = 0; i < keys.Count(); ++i) r.DeleteKey("\\" + keys.Strings(i));
            TStringList values;
            r.GetValueNames(&values);
            for (int i = 0; i < values.Count(); ++i) r.DeleteValue(values.Strings(i));
        }
    }
    std::error_code ignored;
    fs::remove_all(home, ignored);
    return 0;
}
