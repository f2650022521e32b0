// A real print: a private CUPS server with a PDF queue, two pages printed through the report
// layer's printer the way a user's print goes, and the PDF that comes out read back.
//
// Where cupsd is not installed the test skips; with KAROMIL_REQUIRE_CUPS=1 that is a failure.
#include <gtest/gtest.h>

#include <cups/cups.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "platform/gui/TestKit.h"
#include "platform/printing/Printing.h"
#include "platform/rtl/ScopeGuard.h"
#include "report/core/frxPrinter.h"

namespace {

namespace fs = std::filesystem;

std::string FindProgram(const std::string& name) {
    for (const char* dir : {"/usr/sbin/", "/usr/bin/", "/sbin/", "/bin/", "/usr/local/sbin/", "/usr/local/bin/"})
        if (::access((std::string(dir) + name).c_str(), X_OK) == 0) return std::string(dir) + name;
    return {};
}

// Starts a program with its output in out; it is killed when this process dies, so not even
// a crash leaves it behind.
pid_t Spawn(const std::vector<std::string>& args, const std::string& out) {
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
int RunProgram(const std::vector<std::string>& args, const std::string& out) {
    const pid_t pid = Spawn(args, out);
    if (pid < 0) return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string ReadFile(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void Write(const std::string& name, const std::string& text) { std::ofstream(name) << text; }

}  // namespace

TEST(CupsPrint, TwoPagesThroughTheReportPrinterReachAPdfQueue) {
    TestKit::EnsureApplication();
    const std::string cupsd = FindProgram("cupsd"), lpadmin = FindProgram("lpadmin");
    const std::string pdftotext = FindProgram("pdftotext"), pdfinfo = FindProgram("pdfinfo");
    if (cupsd.empty() || lpadmin.empty() || pdftotext.empty() || pdfinfo.empty()) {
        const char* require = std::getenv("KAROMIL_REQUIRE_CUPS");
        if (require && std::string(require) == "1")
            FAIL() << "cupsd, lpadmin, pdftotext or pdfinfo is missing, and KAROMIL_REQUIRE_CUPS=1";
        GTEST_SKIP() << "cupsd, lpadmin, pdftotext or pdfinfo is not installed: no real print";
    }

    std::string dir = (fs::temp_directory_path() / "karomil-cups-XXXXXX").string();
    ASSERT_NE(::mkdtemp(dir.data()), nullptr);
    auto removeDir = OnScopeExit([&] {
        std::error_code ec;
        fs::remove_all(dir, ec);
    });
    // The scheduler runs its filters as its own user: they must reach the spool and output.
    ::chmod(dir.c_str(), 0755);
    for (const char* sub : {"spool", "cache", "state", "log", "out"}) fs::create_directory(dir + "/" + sub);
    ::chmod((dir + "/out").c_str(), 0777);
    const std::string sock = dir + "/cups.sock", out = dir + "/out/out.pdf";
    Write(dir + "/cupsd.conf",
        "Listen " + sock +
            "\nLogLevel warn\nWebInterface No\nBrowsing No\n"
            "DefaultPaperSize A4\n<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
            "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n");
    Write(dir + "/cups-files.conf",
        "FileDevice Yes\nServerRoot " + dir + "\nRequestRoot " + dir + "/spool\nCacheDir " + dir + "/cache\nStateDir " +
            dir + "/state\nTempDir " + dir + "/spool\nErrorLog " + dir + "/log/error_log\nAccessLog " + dir +
            "/log/access_log\nPageLog " + dir + "/log/page_log\n");

    ::setenv("CUPS_SERVER", sock.c_str(), 1);
    cupsSetServer(nullptr);  // read CUPS_SERVER again
    const pid_t server = Spawn(
        {cupsd, "-f", "-c", dir + "/cupsd.conf", "-s", dir + "/cups-files.conf"}, dir + "/log/cupsd.out");
    ASSERT_GT(server, 0);
    auto stopServer = OnScopeExit([&] {
        ::kill(server, SIGTERM);
        int status = 0;
        for (int i = 0; i < 50 && waitpid(server, &status, WNOHANG) == 0; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        if (waitpid(server, &status, WNOHANG) == 0) {
            ::kill(server, SIGKILL);
            waitpid(server, &status, 0);
        }
    });
    auto forgetPrinters = OnScopeExit([] { frxFreePrinters(); });

    // The queue: a PDF-taking driver that passes the document through to a file.
    int rc = -1;
    for (int i = 0; i < 100 && rc != 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        if (::access(sock.c_str(), F_OK) == 0)
            rc = RunProgram({lpadmin, "-p", "Karomil", "-v", "file://" + out, "-E", "-P", KAROMIL_TEST_PPD},
                dir + "/log/lpadmin.out");
    }
    ASSERT_EQ(rc, 0) << ReadFile(dir + "/log/lpadmin.out") << ReadFile(dir + "/log/cupsd.out");

    // The report layer enumerates on first use and makes the only printer current.
    frxFreePrinters();
    TfrxPrinters* printers = frxGetPrinters();
    ASSERT_TRUE(printers->HasPhysicalPrinters());
    const int index = printers->IndexOf("karomil");
    ASSERT_GE(index, 0);
    printers->SetPrinterIndex(index);
    TfrxCustomPrinter* printer = printers->GetCurrentPrinter();
    ASSERT_TRUE(printer->Initialized());
    EXPECT_EQ(printer->DPIY(), 600);
    EXPECT_GE(printer->PaperIndex(9), 0);  // A4 from the queue's media
    EXPECT_GE(printer->BinIndex(1), 0);  // "Tray1" is bin 1
    EXPECT_EQ(printer->DefPaper(), 9);
    EXPECT_NEAR(printer->DefPaperWidth(), 210, 0.2);

    printer->SetTitle("Vysvědčení");
    printer->BeginDoc();
    for (int page = 1; page <= 2; ++page) {
        printer->SetPrintParams(9, poPortrait, 210, 297, page == 1 ? 1 : 7, 1, 1);
        EXPECT_NEAR(printer->LeftMargin(), 5.0, 0.1);  // 14.17 pt
        printer->BeginPage();
        TCanvas* c = printer->Canvas();
        c->Font()->SetName("Arial");
        c->Font()->SetSize(14);
        c->TextOut(200, 200, "Vysvědčení – strana " + std::to_string(page));
        c->TextOut(200, 600, "Žluťoučký kůň úpěl ďábelské ódy");
        c->Pen()->SetStyle(psDash);
        c->MoveTo(200, 900);
        c->LineTo(2000, 1400);
        printer->EndPage();
    }
    printer->EndDoc();
    EXPECT_FALSE(printer->Printing());

    // Wait for the server to finish the job.
    bool done = false;
    for (int i = 0; i < 200 && !done; ++i) {
        cups_job_t* jobs = nullptr;
        const int n = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, "Karomil", 0, CUPS_WHICHJOBS_ACTIVE);
        cupsFreeJobs(n, jobs);
        done = n == 0 && fs::exists(out);
        if (!done) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ASSERT_TRUE(done) << ReadFile(dir + "/log/error_log");

    ASSERT_EQ(RunProgram({pdfinfo, out}, dir + "/log/pdfinfo.out"), 0);
    const std::string info = ReadFile(dir + "/log/pdfinfo.out");
    EXPECT_TRUE(std::regex_search(info, std::regex("Pages:\\s+2\\n"))) << info;
    EXPECT_NE(info.find("(A4)"), std::string::npos) << info;
    EXPECT_NE(info.find("Vysvědčení"), std::string::npos) << info;  // the title
    ASSERT_EQ(RunProgram({pdftotext, "-enc", "UTF-8", out, dir + "/log/text.txt"}, dir + "/log/pdftotext.out"), 0);
    const std::string text = ReadFile(dir + "/log/text.txt");
    EXPECT_NE(text.find("Vysvědčení – strana 1"), std::string::npos) << text;
    EXPECT_NE(text.find("Vysvědčení – strana 2"), std::string::npos) << text;
    EXPECT_NE(text.find("Žluťoučký kůň úpěl ďábelské ódy"), std::string::npos) << text;
}
