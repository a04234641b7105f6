#include "support/exception_border.h"

#include <atomic>

namespace tonvale {
namespace {

std::atomic<uint32_t> gBorderExceptions{0};
std::atomic<BorderReporter> gBorderReporter{nullptr};

} // namespace

void setBorderReporter(BorderReporter reporter) {
    gBorderReporter.store(reporter);
}

uint32_t borderExceptionCount() {
    return gBorderExceptions.load();
}

void noteBorderException(BorderFailure failure, const char* border) noexcept {
    gBorderExceptions.fetch_add(1);
    if (BorderReporter reporter = gBorderReporter.load())
        reporter(failure, border);
}

} // namespace tonvale
