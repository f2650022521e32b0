#pragma once
// A private CUPS server for tests that print for real: cupsd in the foreground with its own
// configuration, spool and socket in a temporary folder, and one queue "Karomil" whose driver
// passes the PDF it gets through to a file. The server dies with the test process.
//
// Where cupsd or the poppler tools are missing the caller skips; with KAROMIL_REQUIRE_CUPS=1
// (set by CI) that is a failure, so CI always prints for real.

#include <cups/cups.h>
#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <utility>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

namespace testsupport {

inline std::string FindProgram(const std::string& name) {
    for (const char* dir : {"/usr/sbin/", "/usr/bin/", "/sbin/", "/bin/", "/usr/local/sbin/", "/usr/local/bin/"})
        if (::access((std::string(dir) + name).c_str(), X_OK) == 0) return std::string(dir) + name;
    return {};
}

// Starts a program with its output in out; it is killed when this process dies, so not even a
// crash leaves it behind.
inline pid_t Spawn(const std::vector<std::string>& args, const std::string& out) {
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid != 0) return pid;
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) _exit(127);
    const int fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd >= 0) {
        dup2(fd, 1);
        dup2(fd, 2);
        ::close(fd);
    }
    execv(argv[0], argv.data());
    _exit(127);
}

// Runs a program to its end; its output goes to out.
inline int RunProgram(const std::vector<std::string>& args, const std::string& out) {
    const pid_t pid = Spawn(args, out);
    if (pid < 0) return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

inline std::string ReadFile(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class TPrivateCups {
public:
    TPrivateCups() {
        for (const char* p : {"cupsd", "lpadmin", "pdftotext", "pdfinfo"})
            if (FindProgram(p).empty()) Missing += std::string(Missing.empty() ? "" : ", ") + p;
    }
    ~TPrivateCups() { Stop(); }
    TPrivateCups(const TPrivateCups&) = delete;
    TPrivateCups& operator=(const TPrivateCups&) = delete;

    // The programs a real print needs that are not installed; empty when all are.
    std::string Missing;
    // True when a missing program must fail the test rather than skip it.
    static bool Required() {
        const char* require = std::getenv("KAROMIL_REQUIRE_CUPS");
        return require && std::string(require) == "1";
    }

    // Starts the server and adds the queue; on failure says why in Error.
    bool Start(const std::string& ppd) {
        Dir = (std::filesystem::temp_directory_path() / "karomil-cups-XXXXXX").string();
        if (!::mkdtemp(Dir.data())) return Fail("no temporary folder");
        // The scheduler runs its filters as its own user: they must reach the spool and output.
        ::chmod(Dir.c_str(), 0755);
        for (const char* sub : {"spool", "cache", "state", "log", "out"})
            std::filesystem::create_directory(Dir + "/" + sub);
        ::chmod((Dir + "/out").c_str(), 0777);
        Sock = Dir + "/cups.sock";
        std::ofstream(Dir + "/cupsd.conf")
            << "Listen " << Sock
            << "\nLogLevel warn\nWebInterface No\nBrowsing No\n"
               "DefaultPaperSize A4\n<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
               "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n";
        // The scheduler's programs are the system's, apart from a backend of our own that keeps
        // every job in a file of its own.
        const std::string bin = Dir + "/bin";
        std::filesystem::create_directories(bin + "/backend");
        for (const char* sub : {"filter", "daemon", "cgi-bin", "monitor", "notifier", "driver"})
            if (std::filesystem::exists(std::string("/usr/lib/cups/") + sub))
                std::filesystem::create_directory_symlink(std::string("/usr/lib/cups/") + sub, bin + "/" + sub);
        std::ofstream(bin + "/backend/karomil")
            << "#!/bin/sh\n"
               "[ $# -eq 0 ] && { echo 'direct karomil \"Karomil\" \"Karomil test output\"'; exit 0; }\n"
               "out=\"${DEVICE_URI#karomil:}/job-$1.pdf\"\n"
               "if [ -n \"$6\" ]; then cat \"$6\" >\"$out.part\"; else cat >\"$out.part\"; fi && mv \"$out.part\" \"$out\"\n";
        ::chmod((bin + "/backend/karomil").c_str(), 0755);
        std::ofstream(Dir + "/cups-files.conf")
            << "FileDevice Yes\nServerBin " << bin << "\nServerRoot " << Dir << "\nRequestRoot " << Dir
            << "/spool\nCacheDir " << Dir << "/cache\nStateDir " << Dir << "/state\nTempDir " << Dir
            << "/spool\nErrorLog " << Dir << "/log/error_log\nAccessLog " << Dir << "/log/access_log\nPageLog " << Dir
            << "/log/page_log\n";

        ::setenv("CUPS_SERVER", Sock.c_str(), 1);
        cupsSetServer(nullptr);  // read CUPS_SERVER again
        FServer = Spawn({FindProgram("cupsd"), "-f", "-c", Dir + "/cupsd.conf", "-s", Dir + "/cups-files.conf"},
            Dir + "/log/cupsd.out");
        if (FServer <= 0) return Fail("cupsd did not start");
        int rc = -1;
        for (int i = 0; i < 100 && rc != 0; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            if (::access(Sock.c_str(), F_OK) == 0)
                rc = RunProgram(
                    {FindProgram("lpadmin"), "-p", "Karomil", "-v", "karomil:" + Dir + "/out", "-E", "-P", ppd},
                    Dir + "/log/lpadmin.out");
        }
        if (rc != 0) return Fail(ReadFile(Dir + "/log/lpadmin.out") + ReadFile(Dir + "/log/cupsd.out"));
        return true;
    }

    // Waits until the queue has handed every job to its file; false after about ten seconds.
    // Output is then the last job's PDF.
    bool WaitForJobs(size_t jobs = 1) {
        for (int i = 0; i < 200; ++i) {
            cups_job_t* active = nullptr;
            const int n = cupsGetJobs2(CUPS_HTTP_DEFAULT, &active, "Karomil", 0, CUPS_WHICHJOBS_ACTIVE);
            cupsFreeJobs(n, active);
            const std::vector<std::string> files = JobFiles();
            if (n == 0 && files.size() >= jobs) {
                Output = files.back();
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        Error = ReadFile(Dir + "/log/error_log");
        return false;
    }
    // The PDF of every finished job, in the order of the jobs.
    std::vector<std::string> JobFiles() const {
        std::vector<std::pair<int, std::string>> jobs;
        std::error_code ec;
        for (const auto& e : std::filesystem::directory_iterator(Dir + "/out", ec)) {
            const std::string name = e.path().filename().string();
            if (name.rfind("job-", 0) == 0 && e.path().extension() == ".pdf")
                jobs.emplace_back(std::atoi(name.c_str() + 4), e.path().string());
        }
        std::sort(jobs.begin(), jobs.end());
        std::vector<std::string> files;
        for (auto& j : jobs) files.push_back(j.second);
        return files;
    }
    // Jobs the queue finished so far.
    int CompletedJobs() {
        cups_job_t* jobs = nullptr;
        const int n = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, "Karomil", 0, CUPS_WHICHJOBS_COMPLETED);
        cupsFreeJobs(n, jobs);
        return n;
    }

    // A poppler tool's output for the queue's file (or another PDF).
    std::string Poppler(const std::string& tool, std::vector<std::string> args) {
        std::vector<std::string> all{FindProgram(tool)};
        all.insert(all.end(), args.begin(), args.end());
        const std::string log = Dir + "/log/" + tool + ".out";
        if (RunProgram(all, log) != 0) return "";
        return ReadFile(log);
    }
    std::string Info(const std::string& pdf) { return Poppler("pdfinfo", {pdf}); }
    std::string Text(const std::string& pdf, std::vector<std::string> options = {}) {
        options.insert(options.begin(), {"-enc", "UTF-8"});
        options.push_back(pdf);
        options.push_back(Dir + "/log/text.txt");
        Poppler("pdftotext", options);
        return ReadFile(Dir + "/log/text.txt");
    }

    // Every word of a PDF with its box in points from the page's top left (pdftotext -bbox).
    struct TWord {
        int Page;
        double XMin, YMin, XMax, YMax;
        std::string Text;
    };
    std::vector<TWord> Words(const std::string& pdf) {
        const std::string html = Text(pdf, {"-bbox"});
        std::vector<TWord> words;
        int page = -1;
        const auto attr = [](const std::string& tag, const char* name) {
            const std::string key = std::string(name) + "=\"";
            const size_t at = tag.find(key);
            return at == std::string::npos ? 0.0 : std::atof(tag.c_str() + at + key.size());
        };
        for (size_t at = 0; (at = html.find('<', at)) != std::string::npos; ++at) {
            if (html.compare(at, 5, "<page") == 0) ++page;
            if (html.compare(at, 5, "<word") != 0) continue;
            const size_t close = html.find('>', at), end = html.find("</word>", at);
            if (close == std::string::npos || end == std::string::npos) break;
            const std::string tag = html.substr(at, close - at);
            words.push_back({page, attr(tag, "xMin"), attr(tag, "yMin"), attr(tag, "xMax"), attr(tag, "yMax"),
                Unescape(html.substr(close + 1, end - close - 1))});
        }
        return words;
    }

    void Stop() {
        if (FServer > 0) {
            ::kill(FServer, SIGTERM);
            int status = 0;
            for (int i = 0; i < 50 && waitpid(FServer, &status, WNOHANG) == 0; ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            if (waitpid(FServer, &status, WNOHANG) == 0) {
                ::kill(FServer, SIGKILL);
                waitpid(FServer, &status, 0);
            }
            FServer = 0;
        }
        if (!Dir.empty()) {
            std::error_code ec;
            std::filesystem::remove_all(Dir, ec);
            Dir.clear();
        }
    }

    std::string Dir, Sock, Output, Error;

private:
    static std::string Unescape(std::string s) {
        for (auto [from, to] : {std::pair<const char*, const char*>{"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""},
                 {"&#39;", "'"}, {"&amp;", "&"}})
            for (size_t at; (at = s.find(from)) != std::string::npos;) s.replace(at, std::string(from).size(), to);
        return s;
    }
    bool Fail(const std::string& why) {
        Error = why;
        return false;
    }
    pid_t FServer = 0;
};

}  // namespace testsupport

// Skips the test (or fails it where CI requires a real print) when a program is missing.
#define KAROMIL_CUPS_OR_SKIP(cups)                                                  \
    do {                                                                            \
        if (!(cups).Missing.empty()) {                                              \
            if (testsupport::TPrivateCups::Required())                              \
                FAIL() << (cups).Missing << " missing, and KAROMIL_REQUIRE_CUPS=1"; \
            GTEST_SKIP() << (cups).Missing << " not installed: no real print";      \
        }                                                                           \
    } while (0)
