// Every device test program runs with COM (multithreaded, as the stream
// threads use it) and the English texts.
#include <windows.h>

#include <objbase.h>

#include "support/ui_text.h"

#include <gtest/gtest.h>

namespace {

class DeviceTestEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        tonvale::loadTable(tonvale::kEnglishTable);
    }
    void TearDown() override { CoUninitialize(); }
};

const ::testing::Environment* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new DeviceTestEnvironment);

} // namespace
