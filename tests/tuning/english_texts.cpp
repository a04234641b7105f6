// Every test program of the tuning model sees the English texts.
#include "support/ui_text.h"

#include <gtest/gtest.h>

namespace {

class EnglishTexts : public ::testing::Environment {
  public:
    void SetUp() override { tonvale::loadTable(tonvale::kEnglishTable); }
};

const ::testing::Environment* const kEnglishTexts =
    ::testing::AddGlobalTestEnvironment(new EnglishTexts);

} // namespace
