#include "support/exception_border.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace tonvale {
namespace {

TEST(ExceptionBorder, FallbackLearnsWhichKindStoppedTheBody) {
    const uint32_t before = borderExceptionCount();
    auto kindOf = [](auto&& body) {
        return guardBorder("test", body, [](BorderFailure failure) noexcept {
            return failure == BorderFailure::outOfMemory ? 1 : 2;
        });
    };
    EXPECT_EQ(kindOf([]() -> int { throw std::bad_alloc(); }), 1);
    EXPECT_EQ(kindOf([]() -> int { throw std::runtime_error("x"); }), 2);
    EXPECT_EQ(kindOf([] { return 7; }), 7);
    // A fallback without a parameter still works.
    EXPECT_EQ(guardBorder(
                  "test", []() -> int { throw 5; }, []() noexcept { return 3; }),
              3);
    EXPECT_EQ(borderExceptionCount(), before + 3);
}

} // namespace
} // namespace tonvale
