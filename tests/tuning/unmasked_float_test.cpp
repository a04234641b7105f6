// The tuner runs with floating-point traps on; numbers typed into
// "scale.ini" must never set one off.
#include "float_traps.h"
#include "ini_text.h"
#include "tuning/temperament.h"

#include <gtest/gtest.h>

namespace tonvale {
namespace {

class UnmaskedFloat : public ::testing::Test {
  protected:
    void SetUp() override { unmaskFloatTraps(); }
    void TearDown() override { maskFloatTraps(); }
};

TEST_F(UnmaskedFloat, BadNumbersRejectWithoutTrapping) {
    auto file = iniFromText("[Div]\nComma=1/0\n[Nan]\n3=0/0\n[Over]\n4=1e300*1e300\n"
                            "[Zero]\nComma=0\n5=1\n[Neg]\nComma=-2\n[Big]\nComma=1e300\n2=1e300\n"
                            "[Tiny]\n1=1e-320/1e300\n");
    ASSERT_TRUE(floatTrapsUnmasked());
    for (const wchar_t* name : {L"Div", L"Nan", L"Over", L"Zero", L"Neg", L"Big"}) {
        EXPECT_TRUE(Temperament(*file, name, 0).isRejected()) << name;
        EXPECT_TRUE(floatTrapsUnmasked()) << name;
    }
    Temperament tiny(*file, L"Tiny", 0);
    EXPECT_FALSE(tiny.isRejected());
    EXPECT_TRUE(floatTrapsUnmasked());
    // The record is then used with the traps on.
    EXPECT_EQ(tiny.nearestNote(1199.0).octaveCarry, 1);
    EXPECT_FALSE(describe(*file, L"Div", 0).empty());
    EXPECT_FALSE(describe(*file, L"Tiny", 5).empty());
}

} // namespace
} // namespace tonvale
