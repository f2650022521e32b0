#include "platform/rtl/Shutdown.h"

#include <mutex>
#include <utility>
#include <vector>

namespace {
std::mutex& Lock() {
    static std::mutex m;
    return m;
}
std::vector<std::function<void()>>& Hooks() {
    static std::vector<std::function<void()>> hooks;
    return hooks;
}
}  // namespace

void AddShutdownHook(std::function<void()> hook) {
    std::lock_guard<std::mutex> g(Lock());
    Hooks().push_back(std::move(hook));
}

void RunShutdownHooks() noexcept {
    // A hook may register another (a registry freed on the way asks for a table that is then
    // made anew); those run too, in the same last-first order.
    for (;;) {
        std::function<void()> hook;
        {
            std::lock_guard<std::mutex> g(Lock());
            if (Hooks().empty()) return;
            hook = std::move(Hooks().back());
            Hooks().pop_back();
        }
        if (hook) hook();
    }
}
