#pragma once
// Clean-up on every path out of a scope, the way a try/finally block would do it.
//
//   auto done = OnScopeExit([&] { Busy = false; });      // runs when the scope is left
//   TRollback keep(gForwarding, true);                    // sets now, puts the old value back
//   TryFinally([&] { Fill(list); }, [&] { list->EndUpdate(); });   // a closing step that may throw
//
// A guard runs once, also when an exception leaves the scope; Release() forgets it (the
// work was committed and there is nothing to undo). An action must not throw: it runs
// during unwinding, where a second exception would end the program. A closing step that may
// throw (it tells change handlers, say) goes through TryFinally.

#include <type_traits>
#include <utility>

template <class F>
class [[nodiscard]] TScopeExit {
public:
    explicit TScopeExit(F action) : FAction(std::move(action)) {}
    TScopeExit(TScopeExit&& other) noexcept : FAction(std::move(other.FAction)), FActive(other.FActive) {
        other.FActive = false;
    }
    TScopeExit(const TScopeExit&) = delete;
    TScopeExit& operator=(const TScopeExit&) = delete;
    TScopeExit& operator=(TScopeExit&&) = delete;
    ~TScopeExit() {
        if (FActive) FAction();
    }
    void Release() noexcept { FActive = false; }

private:
    F FAction;
    bool FActive = true;
};

template <class F>
[[nodiscard]] TScopeExit<F> OnScopeExit(F action) {
    return TScopeExit<F>(std::move(action));
}

// Keeps a variable's value for the scope: optionally sets a new one now, and puts the
// saved value back on the way out.
template <class T>
class [[nodiscard]] TRollback {
public:
    explicit TRollback(T& target) : FTarget(target), FSaved(target) {}
    TRollback(T& target, T value) : FTarget(target), FSaved(target) { FTarget = std::move(value); }
    TRollback(const TRollback&) = delete;
    TRollback& operator=(const TRollback&) = delete;
    ~TRollback() {
        if (FActive) FTarget = std::move(FSaved);
    }
    const T& Saved() const { return FSaved; }
    void Release() noexcept { FActive = false; }

private:
    T& FTarget;
    T FSaved;
    bool FActive = true;
};

// Runs work, then finish, whichever way work ends. After work, finish runs in the open and its
// error reaches the caller. When work throws, finish still runs, from a guard, and an error of
// its own is dropped: work's error is the one to report, and a second exception thrown while
// unwinding would end the program.
template <class Work, class Finish>
auto TryFinally(Work&& work, Finish&& finish) {
    auto onError = OnScopeExit([&finish]() noexcept {
        try {
            finish();
        } catch (...) {
            // Dropped: the exception already leaving is the one the caller sees.
        }
    });
    if constexpr (std::is_void_v<std::invoke_result_t<Work&>>) {
        work();
        onError.Release();
        finish();
    } else {
        auto result = work();
        onError.Release();
        finish();
        return result;
    }
}
