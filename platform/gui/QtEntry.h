#pragma once
// Internal to the window layer: the exception barrier at every frame where Qt calls our code
// (a widget's event() or paint, an event filter, a timer, a signal's slot, a posted callback).
//
// Qt is not built to be unwound through, so what a handler throws is caught at the frame where
// Qt called us and handed to Application->HandleException, which shows it; the event loop goes
// on. The catch in the application's notify stays behind as the last net for anything that
// was missed (and counts what it catches, so that tests can tell that nothing reached it).

#include <exception>
#include <type_traits>
#include <utility>

namespace gui_detail {

// Hands e to Application->HandleException now; never throws.
void ReportEntryException(std::exception_ptr e) noexcept;
// The same from the event loop, once the current event is over: for a paint, which must not
// open a modal box while it paints.
void ReportLater(std::exception_ptr e) noexcept;

// Runs fn where Qt called us. An exception is reported; the answer is then onError (the value
// that tells Qt the event was taken, for an event handler), or nothing for a void fn.
template <class F>
auto Guarded(F&& fn) noexcept -> std::invoke_result_t<F&> {
    try {
        return fn();
    } catch (...) {
        ReportEntryException(std::current_exception());
        if constexpr (!std::is_void_v<std::invoke_result_t<F&>>) return {};
    }
}

template <class F, class R>
R Guarded(F&& fn, R onError) noexcept {
    try {
        return fn();
    } catch (...) {
        ReportEntryException(std::current_exception());
        return onError;
    }
}

// A paint: the first fault of a window is reported after the paint; the same fault on every
// repaint after it is not reported again until a paint succeeds (each report's box would
// otherwise repaint the window and open another box).
template <class F>
void GuardedPaint(bool& failed, F&& fn) noexcept {
    try {
        fn();
        failed = false;
    } catch (...) {
        if (!failed) {
            failed = true;
            ReportLater(std::current_exception());
        }
    }
}

// How many exceptions the last net in the application's notify has caught.
int LastNetCatches() noexcept;

}  // namespace gui_detail
