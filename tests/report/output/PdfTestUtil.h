#pragma once
// Helpers of the PDF tests: running the command-line PDF tools on a written file, inflating
// zlib data, and a temporary folder.

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <zlib.h>

namespace pdftest {

// The command's standard output; exitCode receives its exit status.
inline std::string Run(const std::string& command, int* exitCode = nullptr) {
    std::string out;
    FILE* p = popen((command + " 2>&1").c_str(), "r");
    if (!p) return out;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    const int rc = pclose(p);
    if (exitCode) *exitCode = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    return out;
}

inline bool HaveTool(const std::string& name) {
    int rc = 0;
    Run("command -v " + name + " >/dev/null", &rc);
    return rc == 0;
}

// The whole zlib stream inflated; throws std::runtime_error when it is not a valid stream.
inline std::string Inflate(const std::string& data) {
    z_stream z{};
    if (inflateInit(&z) != Z_OK) throw std::runtime_error("inflateInit");
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    z.avail_in = uInt(data.size());
    std::string out;
    int rc = Z_OK;
    while (rc != Z_STREAM_END) {
        char buf[16384];
        z.next_out = reinterpret_cast<Bytef*>(buf);
        z.avail_out = sizeof buf;
        rc = inflate(&z, Z_NO_FLUSH);
        if (rc != Z_OK && rc != Z_STREAM_END) {
            inflateEnd(&z);
            throw std::runtime_error("inflate failed");
        }
        out.append(buf, sizeof buf - z.avail_out);
        if (rc == Z_OK && z.avail_in == 0 && z.avail_out != 0) {
            inflateEnd(&z);
            throw std::runtime_error("truncated stream");
        }
    }
    inflateEnd(&z);
    return out;
}

class TempDir {
public:
    TempDir() {
        char tmpl[] = "/tmp/karomil-pdf-XXXXXX";
        Path = mkdtemp(tmpl);
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::permissions(Path, std::filesystem::perms::owner_all, ec);
        std::filesystem::remove_all(Path, ec);
    }
    std::string File(const std::string& name) const { return Path + "/" + name; }
    std::string Path;
};

}  // namespace pdftest
