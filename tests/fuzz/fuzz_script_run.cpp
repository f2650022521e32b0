// Compiles a program (the first byte picks the language) and runs it for a bounded number of
// announced statements and a bounded time. A run-time error is the script's own affair; the
// interpreter must not crash.

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

#include "FuzzSupport.h"
#include "platform/rtl/Exceptions.h"
#include "script/Interpreter.h"

namespace {
// Not an Exception: a script's try/except must not catch the harness's stop.
struct StepLimit {};
constexpr int kMaxSteps = 5000;
constexpr auto kMaxTime = std::chrono::milliseconds(200);

// Statements that announce nothing (an empty loop body) are stopped by this watchdog.
std::mutex gLock;
TfsScript* gRunning = nullptr;
std::chrono::steady_clock::time_point gStarted;

void Watchdog() {
    for (;;) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        std::lock_guard<std::mutex> g(gLock);
        if (gRunning && std::chrono::steady_clock::now() - gStarted > kMaxTime) gRunning->Terminate();
    }
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    script::Startup();
    std::thread(Watchdog).detach();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const char* const kLanguages[] = {"PascalScript", "C++Script", "BasicScript", "JScript"};
    if (size < 1) return 0;
    TfsScript s;
    s.Parent = fsGlobalUnit();
    s.SetSyntaxType(kLanguages[data[0] % 4]);
    s.OnGetUnit = [](TfsScript*, const std::string&, std::string& text) { text = "\n"; };
    int steps = 0;
    s.OnRunLine = [&steps](TfsScript*, const std::string&, const std::string&) {
        if (++steps > kMaxSteps) throw StepLimit();
    };
    s.GetLines()->SetText(FuzzText(data + 1, size - 1));
    if (!s.Compile()) return 0;
    {
        std::lock_guard<std::mutex> g(gLock);
        gRunning = &s;
        gStarted = std::chrono::steady_clock::now();
    }
    try {
        s.Execute();
    } catch (const Exception&) {
        // A run-time error of the script: what it recovers is the harness's next input.
    } catch (const StepLimit&) {
        // The step budget is spent: the program runs on no further.
    }
    std::lock_guard<std::mutex> g(gLock);
    gRunning = nullptr;
    return 0;
}
