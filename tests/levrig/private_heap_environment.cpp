// The library's heap exists while it is loaded; test programs that link its
// code make it before the first test.
#include "levrig/private_heap.h"

#include <gtest/gtest.h>

namespace {

class PrivateHeapEnvironment : public ::testing::Environment {
  public:
    void SetUp() override { ASSERT_TRUE(tonvale::levrig::createPrivateHeap()); }
    void TearDown() override { tonvale::levrig::destroyPrivateHeap(); }
};

const auto* const gEnvironment = ::testing::AddGlobalTestEnvironment(new PrivateHeapEnvironment);

} // namespace
