// Where C++ exceptions stop: window and dialog procedures, hooks, thread
// entries, COM callbacks and the C entry points of the volume library. The
// program reports failures as codes; an exception that reaches one of these
// borders (in practice std::bad_alloc from a container) is caught there,
// counted, and turned into the border's failure value, so it never unwinds
// into the system's frames.
#pragma once

#include <cstdint>
#include <exception>
#include <new>
#include <type_traits>

namespace tonvale {

enum class BorderFailure {
    outOfMemory, // std::bad_alloc
    other,       // any other exception
};

// Called on the catching thread for every exception stopped at a border.
// The default records nothing beyond the counters below; a program may point
// it at its own reporting (it must not throw).
using BorderReporter = void (*)(BorderFailure failure, const char* border);
void setBorderReporter(BorderReporter reporter);

// Exceptions stopped at borders so far, in this module.
uint32_t borderExceptionCount();

// Counts the failure and calls the reporter; for use inside a catch block.
void noteBorderException(BorderFailure failure, const char* border) noexcept;

// Runs body() and returns its result; when it throws, notes the exception
// and returns fallback() instead (fallback must not throw). A fallback that
// takes a BorderFailure is told which kind stopped the body, for borders
// whose error path reports running out of memory apart from other failures.
template <typename Body, typename Fallback>
auto guardBorder(const char* border, Body&& body, Fallback&& fallback) noexcept
    -> decltype(body()) {
    BorderFailure failure = BorderFailure::other;
    try {
        return body();
    } catch (const std::bad_alloc&) {
        failure = BorderFailure::outOfMemory;
    } catch (...) {
    }
    noteBorderException(failure, border);
    if constexpr (std::is_invocable_v<Fallback, BorderFailure>)
        return fallback(failure);
    else
        return fallback();
}

} // namespace tonvale
