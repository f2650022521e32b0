// Start-up time: from process start until the main window has been painted, for the program on
// a fresh copy of the shipped database and, in the same run, for a minimal Qt program with one
// empty window. Runs alternate between the two so that both see the same machine load.
//
//   bench_startup [runs] [program] [minimal program] [database]
//
// The defaults are the binaries and the database of this build. The splash pause of 1000 ms is
// part of the program's design; the figures are given with and without it.

#include <fcntl.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr double kSplashPauseMs = 1000.0;

// Starts program in folder with the probe on a pipe; answers the milliseconds until it reports
// its window shown. The child is waited for (it quits by itself once it has reported).
double TimeOneStart(const std::string& program, const fs::path& folder) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
    // The child's end is duplicated without close-on-exec at a fixed number.
    constexpr int kChildFd = 9;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], kChildFd);
    posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());

    std::vector<std::string> env;
    for (char** e = environ; *e; ++e)
        if (std::strncmp(*e, "KAROMIL_STARTUP_PROBE=", 22) != 0) env.emplace_back(*e);
    env.push_back("KAROMIL_STARTUP_PROBE=" + std::to_string(kChildFd));
    std::vector<char*> envp;
    for (auto& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string arg0 = program;
    char* argv[] = {arg0.data(), nullptr};

    const auto start = Clock::now();
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (rc != 0) {
        close(fds[0]);
        throw std::runtime_error("cannot start " + program + ": " + std::strerror(rc));
    }
    char buf[64];
    const ssize_t n = read(fds[0], buf, sizeof buf);
    const auto shown = Clock::now();
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (n <= 0 || std::strncmp(buf, "shown", 5) != 0)
        throw std::runtime_error(program + " ended without showing its window (status " + std::to_string(status) + ")");
    return std::chrono::duration<double, std::milli>(shown - start).count();
}

struct TStats {
    double Median, Mean, Min, Max;
};

TStats Summarise(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    double sum = 0;
    for (double x : v) sum += x;
    const size_t n = v.size();
    const double median = n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
    return {median, sum / double(n), v.front(), v.back()};
}

void Print(const char* what, const TStats& s) {
    std::printf("%-34s median %8.1f  mean %8.1f  min %8.1f  max %8.1f ms\n", what, s.Median, s.Mean, s.Min, s.Max);
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    const std::string program = argc > 2 ? argv[2] : KAROMIL_APP_BINARY;
    const std::string minimal = argc > 3 ? argv[3] : KAROMIL_MIN_QT_BINARY;
    const fs::path database = argc > 4 ? argv[4] : KAROMIL_SHIPPED_DB;
    try {
        char tmpl[] = "/tmp/karomil-startup-XXXXXX";
        if (!mkdtemp(tmpl)) throw std::runtime_error("mkdtemp");
        const fs::path root = tmpl;
        std::vector<double> app, min;
        // One start of each first, not counted: it fills the file cache.
        for (int i = -1; i < runs; ++i) {
            // Every start of the program gets a fresh copy of the database, as a new user has.
            const fs::path folder = root / ("run" + std::to_string(i + 1));
            fs::create_directories(folder);
            fs::copy_file(database, folder / "vys.mdb");
            const double a = TimeOneStart(program, folder);
            const double m = TimeOneStart(minimal, folder);
            fs::remove_all(folder);
            if (i < 0) continue;
            app.push_back(a);
            min.push_back(m);
        }
        fs::remove_all(root);

        std::vector<double> work;
        for (double a : app) work.push_back(a - kSplashPauseMs);
        const TStats sa = Summarise(app), sw = Summarise(work), sm = Summarise(min);
        const char* platform = std::getenv("QT_QPA_PLATFORM");
        std::printf("start-up until the main window is shown, %d runs each, platform %s\n", runs,
            platform ? platform : "(default)");
        Print("program (total)", sa);
        Print("program (without the 1000 ms pause)", sw);
        Print("minimal Qt program", sm);
        std::printf("ratio of medians: total %.2f, without the pause %.2f (goal <= 2)\n", sa.Median / sm.Median,
            sw.Median / sm.Median);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_startup: %s\n", e.what());
        return 1;
    }
}
