#pragma once
// Helpers for tests that read a written file back with Python (openpyxl for workbooks): a
// throw-away folder and running a script, its output and errors returned as one text.

#include <array>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/SysUtils.h"

namespace testsupport {

// Runs the script with python3; a Traceback in the result tells that it failed.
inline std::string RunPython(const std::string& script, const std::string& prefix = "pytest_py") {
    const std::string name = CreateTempFile("", prefix);
    {
        std::ofstream f(name);
        f << script;
    }
    std::string out;
    std::unique_ptr<FILE, int (*)(FILE*)> p(::popen(("/usr/bin/python3 " + name + " 2>&1").c_str(), "r"), ::pclose);
    std::array<char, 4096> buf{};
    size_t n;
    while (p && (n = std::fread(buf.data(), 1, buf.size(), p.get())) > 0) out.append(buf.data(), n);
    p.reset();
    DeleteFile(name);
    return out;
}

// A new empty folder under the temporary folder, with a trailing '/'.
inline std::string MakeTempDir(const std::string& prefix) {
    std::string dir = GetTempDir() + prefix + "_XXXXXX";
    if (!::mkdtemp(dir.data())) throw Exception("mkdtemp");
    return dir + "/";
}

}  // namespace testsupport
