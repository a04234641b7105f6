#include "app/reading_presentation.h"

#include "tests/tuning/ini_text.h"
#include "tuning/temperament.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace tonvale {
namespace {

// Every call the meter receives, as text, in order.
class RecordingMeter : public MeterSink {
  public:
    std::vector<std::string> calls;

    void setNeedle(float cents) override { calls.push_back("needle " + std::to_string(cents)); }
    void needleRest() override { calls.push_back("rest"); }
    void setLamps(LampCode lamps) override { calls.push_back("lamps " + std::to_string(lamps)); }
    void setDigits(int32_t note, uint16_t code, int32_t tenths) override {
        calls.push_back("digits " + std::to_string(note) + " " + std::to_string(code) + " " +
                        std::to_string(tenths));
    }
    void setLevel(uint16_t level) override { calls.push_back("level " + std::to_string(level)); }
};

double centsAbove(double hz, double cents) {
    return hz * std::pow(2.0, cents / 1200.0);
}

struct Presenter {
    ReadingPresentation presentation;
    PresentationRules rules;
    int32_t sequence = 0;

    std::vector<std::string> show(double hz, float level = 0.01f) {
        RecordingMeter meter;
        presentation.present({hz, level, sequence++}, rules, meter);
        return meter.calls;
    }
};

using Calls = std::vector<std::string>;

TEST(ReadingPresentation, FirstReadingAfterPowerOnShowsEverythingAtOnce) {
    Presenter p;
    p.presentation.reset(440.0, 0);
    EXPECT_EQ(p.show(440.0, 1.0f),
              (Calls{"needle 0.000000", "lamps 3", "digits 57 99 4400", "level 32768"}));
    EXPECT_EQ(p.presentation.noteNumber(), 57);

    p.presentation.reset(440.0, 0);
    p.sequence = 0;
    EXPECT_EQ(p.show(261.63)[2], "digits 48 99 2616");
}

TEST(ReadingPresentation, LampsEveryThirdAndDigitsEverySecondReadingByTheSequence) {
    Presenter p;
    p.presentation.reset(440.0, 0);
    std::string lampTicks, digitTicks;
    for (int i = 0; i < 10; ++i) {
        const Calls calls = p.show(centsAbove(440.0, i % 2 ? 20.0 : -20.0));
        ASSERT_EQ(calls.front().rfind("needle", 0), 0u);
        ASSERT_EQ(calls.back().rfind("level", 0), 0u);
        for (const std::string& call : calls) {
            lampTicks += call.rfind("lamps", 0) == 0 ? std::to_string(i) : "";
            digitTicks += call.rfind("digits", 0) == 0 ? std::to_string(i) : "";
        }
    }
    EXPECT_EQ(lampTicks, "0369");
    EXPECT_EQ(digitTicks, "02468");

    // A reading the engine dropped while the record was busy is not counted:
    // the pacing goes by the sequence, not by the number of calls.
    p.sequence = 11; // lamps last at 9, digits at 8
    EXPECT_EQ(p.show(440.0)[1].substr(0, 6), "digits");
    p.sequence = 13;
    EXPECT_EQ(p.show(440.0).size(), 4u);
}

TEST(ReadingPresentation, WithoutANoteTheNeedleRestsLampsGoOutAndDigitsWaitEightReadings) {
    Presenter p;
    p.presentation.reset(440.0, 0);
    p.show(440.0);                                                        // 0: digits shown
    p.show(440.0);                                                        // 1
    EXPECT_EQ(p.show(9.99, 0.0f), (Calls{"rest", "lamps 0", "level 0"})); // 2: below 10 Hz
    EXPECT_EQ(p.presentation.noteNumber(), kNoNote);
    EXPECT_EQ(p.presentation.frequencyHz(), 0.0);
    for (int i = 3; i < 8; ++i)
        EXPECT_EQ(p.show(0.0, 0.0f).size(), 3u) << i;
    // The last digits went out at tick 0; tick 8 is the first past the delay.
    EXPECT_EQ(p.show(0.0, 0.0f), (Calls{"rest", "lamps 0", "digits -13 65535 0", "level 0"}));
    // A new note shows lamps and digits at once.
    const Calls calls = p.show(440.0);
    EXPECT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[1], "lamps 3");
}

TEST(ReadingPresentation, InTuneRangeDecidesTheLamps) {
    EXPECT_EQ(lampsFor(-1.0, 1), kLampsInTune);
    EXPECT_EQ(lampsFor(1.0, 1), kLampsInTune);
    EXPECT_EQ(lampsFor(-1.5, 1), kLampFlat);
    EXPECT_EQ(lampsFor(1.5, 1), kLampSharp);
    EXPECT_EQ(lampsFor(1.5, 2), kLampsInTune);

    Presenter p;
    p.rules.inTuneRangeCents = 1;
    p.presentation.reset(440.0, 0);
    EXPECT_EQ(p.show(centsAbove(440.0, 1.5))[1], "lamps 1");
    p.sequence += 2;
    EXPECT_EQ(p.show(centsAbove(440.0, -1.5))[1], "lamps 2");
}

TEST(ReadingPresentation, ShownCentsRoundHalfUpAndClamp) {
    EXPECT_EQ(shownCents(0.0), 0);
    EXPECT_EQ(shownCents(-0.4), 0);
    EXPECT_EQ(shownCents(2.5), 3);
    EXPECT_EQ(shownCents(-2.5), -2);
    EXPECT_EQ(shownCents(-2.6), -3);
    EXPECT_EQ(shownCents(49.6), 50);
    EXPECT_EQ(shownCents(99.7), 99);
    EXPECT_EQ(shownCents(-150.0), -99);
    EXPECT_EQ(frequencyTenths(440.04), 4400);
    EXPECT_EQ(frequencyTenths(440.05), 4401);
    EXPECT_EQ(frequencyTenths(9999.96), 99999);
    EXPECT_EQ(frequencyTenths(1e12), 99999);
}

TEST(ReadingPresentation, HalfWayGoesToTheUpperNoteWithMinusFifty) {
    Presenter p;
    p.presentation.reset(440.0, 0);
    const Calls calls = p.show(centsAbove(440.0, 50.0) * (1 + 1e-12));
    EXPECT_EQ(calls[0], "needle -50.000000");
    EXPECT_EQ(calls[2], "digits 58 49 4529");
}

TEST(ReadingPresentation, ShiftAndTemperamentMoveTheNotes) {
    Presenter p;
    p.presentation.reset(442.0, -2); // A4 = 442 * 2^(-2/12)
    EXPECT_NEAR(p.presentation.referenceHz(), 393.77, 0.01);
    EXPECT_EQ(p.show(393.77)[2], "digits 57 99 3938");

    // A temperament whose E lies 30 cents high: E read there is in tune, and
    // a note 64 cents below it shows -64 with the needle held at -50.
    auto scale = iniFromText("[Wide]\n4=30\n");
    Temperament wide(*scale, L"Wide", 0);
    ASSERT_FALSE(wide.isRejected());
    ASSERT_DOUBLE_EQ(wide.position(7), 730.0);
    p.rules.temperament = &wide;
    p.presentation.reset(440.0, 0);
    p.sequence = 0;
    const double e5 = centsAbove(440.0, 730.0);
    EXPECT_EQ(p.show(e5)[2], "digits 64 99 " + std::to_string(frequencyTenths(e5)));
    p.sequence = 6;
    const Calls calls = p.show(centsAbove(440.0, 666.0));
    EXPECT_EQ(calls[0], "needle -50.000000");
    EXPECT_EQ(calls[2].substr(0, 12), "digits 64 35");
}

} // namespace
} // namespace tonvale
