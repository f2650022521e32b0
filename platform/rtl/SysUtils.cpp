// Integers, rounding, GUIDs, files and paths, temporary files, random numbers and ticks.
// (Formatting, floats and dates live in FloatFormat.cpp and DateTime.cpp.)
#include "platform/rtl/SysUtils.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/rtl/Strings.h"

// --- integers ---------------------------------------------------------------------------------

std::string IntToStr(int64_t v) { return std::to_string(v); }

namespace {

// The class library's integer syntax: leading blanks, an optional sign, then decimal digits
// or hexadecimal digits after "$" or "0x". Nothing may follow the digits. Decimal values must
// fit the signed range; hexadecimal ones may use the full unsigned width (so "$FFFFFFFF" is
// -1 as a 32-bit integer). `bits` is 32 or 64.
bool ParseInt(std::string_view s, int bits, int64_t& out) noexcept {
    size_t i = 0;
    while (i < s.size() && s[i] == ' ') ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    bool hex = false;
    if (i < s.size() && s[i] == '$') {
        hex = true;
        ++i;
    } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    if (i >= s.size()) return false;
    const uint64_t limit = hex ? (bits == 32 ? 0xFFFFFFFFull : UINT64_MAX)
                               : (bits == 32 ? 0x7FFFFFFFull : uint64_t(INT64_MAX)) + (negative ? 1 : 0);
    const unsigned base = hex ? 16 : 10;
    uint64_t v = 0;
    for (; i < s.size(); ++i) {
        const char c = s[i];
        unsigned d;
        if (c >= '0' && c <= '9') d = unsigned(c - '0');
        else if (hex && c >= 'a' && c <= 'f') d = unsigned(c - 'a' + 10);
        else if (hex && c >= 'A' && c <= 'F') d = unsigned(c - 'A' + 10);
        else return false;
        if (v > (limit - d) / base) return false;
        v = v * base + d;
    }
    if (hex && bits == 32) v = uint64_t(int64_t(int32_t(uint32_t(v))));  // reinterpret the 32 bits
    out = negative ? int64_t(0 - v) : int64_t(v);
    return true;
}

[[noreturn]] void RaiseNotInteger(std::string_view s) {
    throw EConvertError("'" + std::string(s) + "' is not a valid integer value");
}

}  // namespace

bool TryStrToInt(std::string_view s, int32_t& v) noexcept {
    int64_t r;
    if (!ParseInt(s, 32, r)) return false;
    v = int32_t(r);
    return true;
}

bool TryStrToInt64(std::string_view s, int64_t& v) noexcept { return ParseInt(s, 64, v); }

int32_t StrToInt(std::string_view s) {
    int32_t v;
    if (!TryStrToInt(s, v)) RaiseNotInteger(s);
    return v;
}

int64_t StrToInt64(std::string_view s) {
    int64_t v;
    if (!TryStrToInt64(s, v)) RaiseNotInteger(s);
    return v;
}

int32_t StrToIntDef(std::string_view s, int32_t def) noexcept {
    int32_t v;
    return TryStrToInt(s, v) ? v : def;
}

// --- rounding and integer arithmetic ----------------------------------------------------------

namespace {

// Nearest integer, halves to the even neighbour, whatever the FPU rounding mode.
double RoundHalfEven(double v) noexcept {
    const double f = std::floor(v);
    const double diff = v - f;  // exact for every double
    if (diff > 0.5) return f + 1;
    if (diff < 0.5) return f;
    return std::fmod(f, 2.0) == 0 ? f : f + 1;
}

int64_t ToInt64(double r) {
    // [-2^63, 2^63): both bounds are exact doubles.
    if (!(r >= -9223372036854775808.0 && r < 9223372036854775808.0))
        throw EInvalidOp("Invalid floating point operation");
    return int64_t(r);
}

}  // namespace

int64_t Round(double v) { return ToInt64(RoundHalfEven(v)); }
int64_t Trunc(double v) { return ToInt64(std::trunc(v)); }
double Int(double v) { return std::trunc(v); }
double Frac(double v) { return v - std::trunc(v); }

int MulDiv(int a, int b, int c) noexcept {
    if (c == 0) return -1;
    const int64_t p = int64_t(a) * b;
    int64_t q = p / c;
    const int64_t r = p % c;
    // Halves away from zero: |r| is at least half of |c|.
    if (2 * (r < 0 ? -r : r) >= (c < 0 ? -int64_t(c) : int64_t(c))) q += ((p < 0) != (c < 0)) ? -1 : 1;
    if (q > INT_MAX || q < INT_MIN) return -1;  // the result does not fit, as with a zero divisor
    return int(q);
}

double RoundTo(double v, int digit) {
    // For decimals scale by the exact power 10^-digit and divide back: dividing an integer
    // by 100 gives the nearest double (1.15), multiplying it by an inexact 0.01 does not
    // (1.1500000000000001).
    if (digit < 0) {
        const double scale = std::pow(10.0, -digit);
        return RoundHalfEven(v * scale) / scale;
    }
    const double scale = std::pow(10.0, digit);
    return RoundHalfEven(v / scale) * scale;
}

// --- GUIDs ------------------------------------------------------------------------------------

namespace {
int HexDigit(char c) noexcept {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}
}  // namespace

TGUID StringToGUID(std::string_view s) {
    // {xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}
    static constexpr char kShape[] = "{........-....-....-....-............}";
    bool ok = s.size() == sizeof(kShape) - 1;
    uint8_t bytes[16] = {};
    int n = 0;
    for (size_t i = 0; ok && i < s.size(); ++i) {
        if (kShape[i] != '.') {
            ok = s[i] == kShape[i];
            continue;
        }
        const int d = HexDigit(s[i]);
        ok = d >= 0;
        if (ok) bytes[n / 2] = uint8_t(bytes[n / 2] << 4 | d), ++n;
    }
    if (!ok) throw EConvertError("'" + std::string(s) + "' is not a valid GUID value");
    TGUID g;
    g.D1 = uint32_t(bytes[0]) << 24 | uint32_t(bytes[1]) << 16 | uint32_t(bytes[2]) << 8 | bytes[3];
    g.D2 = uint16_t(bytes[4] << 8 | bytes[5]);
    g.D3 = uint16_t(bytes[6] << 8 | bytes[7]);
    for (int i = 0; i < 8; ++i) g.D4[i] = bytes[8 + i];
    return g;
}

std::string GUIDToString(const TGUID& g) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", unsigned(g.D1), unsigned(g.D2),
        unsigned(g.D3), g.D4[0], g.D4[1], g.D4[2], g.D4[3], g.D4[4], g.D4[5], g.D4[6], g.D4[7]);
    return buf;
}

bool IsEqualGUID(const TGUID& a, const TGUID& b) noexcept {
    return a.D1 == b.D1 && a.D2 == b.D2 && a.D3 == b.D3 && std::memcmp(a.D4, b.D4, 8) == 0;
}

bool IsNullGUID(const TGUID& g) noexcept { return IsEqualGUID(g, TGUID{}); }

// --- files and paths --------------------------------------------------------------------------

bool FileExists(const std::string& name) {
    struct stat st;
    return !name.empty() && ::stat(name.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(const std::string& name) {
    struct stat st;
    return !name.empty() && ::stat(name.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool DeleteFile(const std::string& name) { return ::unlink(name.c_str()) == 0; }

bool RenameFile(const std::string& oldName, const std::string& newName) {
    // Like the class library, never replaces an existing file. Linux rename() would.
    if (::renameat2(AT_FDCWD, oldName.c_str(), AT_FDCWD, newName.c_str(), RENAME_NOREPLACE) == 0) return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    // The file system cannot refuse replacing by itself: check first.
    struct stat st;
    if (::lstat(newName.c_str(), &st) == 0) return false;
    return ::rename(oldName.c_str(), newName.c_str()) == 0;
}

namespace {
size_t NameStart(std::string_view path) noexcept {
    const size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? 0 : slash + 1;
}
// Byte offset of the extension's dot, or npos when the name has none.
size_t ExtStart(std::string_view path) noexcept {
    const size_t dot = path.rfind('.');
    return dot != std::string_view::npos && dot >= NameStart(path) ? dot : std::string_view::npos;
}
}  // namespace

std::string ExtractFileName(std::string_view path) { return std::string(path.substr(NameStart(path))); }
std::string ExtractFilePath(std::string_view path) { return std::string(path.substr(0, NameStart(path))); }

std::string ExtractFileExt(std::string_view path) {
    const size_t dot = ExtStart(path);
    return dot == std::string_view::npos ? std::string() : std::string(path.substr(dot));
}

std::string ChangeFileExt(std::string_view path, std::string_view ext) {
    const size_t dot = ExtStart(path);
    std::string out(path.substr(0, dot == std::string_view::npos ? path.size() : dot));
    out += ext;
    return out;
}

std::string IncludeTrailingPathDelimiter(std::string_view path) {
    // An empty path (the current folder) stays empty: turning it into "/" would make a
    // relative name absolute at the root.
    std::string out(path);
    if (!out.empty() && out.back() != '/') out.push_back('/');
    return out;
}

std::string ExpandFileName(std::string_view path) {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path p = path.empty() ? fs::current_path(ec) : fs::absolute(fs::path(path), ec);
    if (ec) return std::string(path);
    return p.lexically_normal().string();
}

std::string GetCurrentDir() {
    std::error_code ec;
    auto p = std::filesystem::current_path(ec);
    return ec ? std::string() : p.string();
}

bool SetCurrentDir(const std::string& dir) { return ::chdir(dir.c_str()) == 0; }

std::string ProgramDir() {
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return IncludeTrailingPathDelimiter(GetCurrentDir());
    return ExtractFilePath(exe.string());
}

std::string GetTempDir() {
    const char* t = std::getenv("TMPDIR");
    return IncludeTrailingPathDelimiter(t && *t ? t : "/tmp");
}

std::string GetDocumentsDir() {
    const char* homeVar = std::getenv("HOME");
    const std::string home = homeVar && *homeVar ? homeVar : "";
    const char* configVar = std::getenv("XDG_CONFIG_HOME");
    const std::string config = configVar && *configVar ? configVar : home.empty() ? "" : home + "/.config";
    std::string folder;
    if (!config.empty()) {
        // Lines like XDG_DOCUMENTS_DIR="$HOME/Dokumenty"; only $HOME is expanded there.
        std::ifstream f(config + "/user-dirs.dirs");
        for (std::string line; std::getline(f, line);) {
            constexpr std::string_view key = "XDG_DOCUMENTS_DIR=";
            if (line.rfind(key, 0) != 0) continue;
            std::string value = line.substr(key.size());
            if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
                value = value.substr(1, value.size() - 2);
            if (value.rfind("$HOME", 0) == 0) value = home.empty() ? "" : home + value.substr(5);
            if (!value.empty() && value[0] == '/') folder = value;
        }
    }
    if (folder.empty() && !home.empty()) folder = home + "/Documents";
    return folder.empty() ? folder : IncludeTrailingPathDelimiter(folder);
}

std::string CreateTempFile(const std::string& dir, const std::string& prefix) {
    // The whole folder name is used, however long it is.
    std::string name = IncludeTrailingPathDelimiter(dir.empty() ? GetTempDir() : dir) + prefix + "XXXXXX";
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);  // creates the file with mode 0600
    if (fd < 0) {
        const int err = errno;
        throw EFCreateError("Cannot create file \"" + name + "\". " + std::strerror(err));
    }
    ::close(fd);
    return name;
}

// --- random, ticks, sleeping ------------------------------------------------------------------
// One process-wide generator (splitmix64 over an atomic counter, so concurrent callers never
// share a draw). RandSeed makes the sequence reproducible.

namespace {
std::atomic<uint64_t> gRandState{0x853C49E6748FEA9Bull};

uint64_t NextRandom() noexcept {
    uint64_t z = gRandState.fetch_add(0x9E3779B97F4A7C15ull, std::memory_order_relaxed) + 0x9E3779B97F4A7C15ull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}
}  // namespace

void Randomize() {
    std::random_device rd;
    const uint64_t t = uint64_t(std::chrono::steady_clock::now().time_since_epoch().count());
    gRandState.store((uint64_t(rd()) << 32 | rd()) ^ t, std::memory_order_relaxed);
}

void RandSeed(uint32_t seed) { gRandState.store(seed, std::memory_order_relaxed); }

double Random() { return double(NextRandom() >> 11) * 0x1.0p-53; }

int Random(int range) {
    if (range <= 0) return 0;
    return int(((NextRandom() >> 32) * uint64_t(range)) >> 32);
}

uint32_t GetTickCount() {
    using namespace std::chrono;
    return uint32_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void Sleep(uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
