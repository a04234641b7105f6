#include "tuning/temperament.h"

#include "ini_text.h"
#include "support/ini_reader.h"
#include "support/text_format.h"
#include "support/ui_text.h"
#include "support/utf16.h"
#include "tuning/temperament_digest.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

namespace tonvale {
namespace {

constexpr double kTolerance = 0.0005; // the published values have three decimals

void expectSteps(const ScaleSteps& steps, const double (&expected)[12]) {
    for (int n = 0; n < 12; ++n)
        EXPECT_NEAR(steps.cents[n], expected[n], kTolerance) << "step " << n;
}

ScaleSteps stepsOf(const std::string& body) {
    auto file = iniFromText("[T]\n" + body);
    return parseSteps(*file, L"T");
}

TEST(PythagoreanBase, LowerCaseValueGivesThreeFifthsBelow) {
    ScaleSteps steps = stepsOf("Scale=pythagorean\n");
    EXPECT_EQ(steps.result, 3);
    expectSteps(steps, {0, 113.685, 203.910, 294.135, 407.820, 498.045, 611.730, 701.955, 815.640,
                        905.865, 996.090, 1109.775});
}

TEST(PythagoreanBase, NineAndZeroFifthsBelow) {
    ScaleSteps nine = stepsOf("Scale=PYTHAGOREAN9\n");
    EXPECT_EQ(nine.result, 9);
    expectSteps(nine, {0, 90.225, 203.910, 294.135, 384.360, 498.045, 588.270, 701.955, 792.180,
                       882.405, 996.090, 1086.315});
    ScaleSteps zero = stepsOf("Scale=PYTHAGOREAN0\n");
    EXPECT_EQ(zero.result, 0);
    EXPECT_NEAR(zero.cents[3], 317.595, kTolerance);
    EXPECT_NEAR(zero.cents[5], 521.505, kTolerance);
    EXPECT_NEAR(zero.cents[10], 1019.550, kTolerance);
}

TEST(PythagoreanBase, OnlyTheCharacterAfterThePrefixCounts) {
    EXPECT_EQ(stepsOf("Scale=PYTHAGOREAN12\n").result, 1);
    EXPECT_EQ(stepsOf("Scale=Pythagorean-5\n").result, 3);
    EXPECT_EQ(stepsOf("Scale=PythagoreanTuning\n").result, 3);
    EXPECT_EQ(stepsOf("Scale=PYTHAGOREA\n").result, kNotPythagorean);
    EXPECT_EQ(stepsOf("Scale= x PYTHAGOREAN\n").result, kNotPythagorean);
    EXPECT_EQ(stepsOf("Scale=MEANTONE\n").result, kNotPythagorean);
    ScaleSteps equal = stepsOf("Comment=no scale key\n");
    EXPECT_EQ(equal.result, kNotPythagorean);
    for (int n = 0; n < 12; ++n)
        EXPECT_EQ(equal.cents[n], 100.0 * n);
}

TEST(PythagoreanBase, SpellingFollowsTheChain) {
    auto file = iniFromText("[P]\nScale=pythagorean\n[P0]\nScale=PYTHAGOREAN0\n");
    Temperament three(*file, L"P", 0);
    NoteSpelling names = three.spelling();
    // Along the fifths from the lowest: Eb Bb F C G D A E B F# C# G#.
    const wchar_t* expected[12] = {L"Eb", L"Bb", L"F", L"C",  L"G",  L"D",
                                   L"A",  L"E",  L"B", L"F#", L"C#", L"G#"};
    int pitchClass = 6; // Eb
    for (const wchar_t* name : expected) {
        EXPECT_STREQ(names[pitchClass], name);
        pitchClass = (pitchClass + 7) % 12;
    }
    Temperament zero(*file, L"P0", 0);
    NoteSpelling sharps = zero.spelling();
    EXPECT_STREQ(sharps[6], L"D#");
    EXPECT_STREQ(sharps[8], L"E#");
    EXPECT_STREQ(sharps[1], L"A#");
}

TEST(Comma, NamedCommasAndRatios) {
    const double syntonic = 1200.0 * std::log2(81.0 / 80.0);
    EXPECT_NEAR(syntonic, 21.506, kTolerance);
    EXPECT_NEAR(stepsOf("Comma=SYNTONIC\n4=-1\n").cents[4], 400.0 - syntonic, 1e-9);
    EXPECT_NEAR(stepsOf("Comma=syntonic\n4=-1\n").cents[4], 400.0 - syntonic, 1e-9);
    EXPECT_NEAR(stepsOf("Comma=81/80\n4=-1\n").cents[4], 400.0 - syntonic, 1e-9);
    const double ditonic = 1200.0 * std::log2(531441.0 / 524288.0);
    EXPECT_NEAR(stepsOf("Comma=Ditonic\n7=-1/4\n").cents[7], 700.0 - ditonic / 4, 1e-9);
    EXPECT_NEAR(stepsOf("Comma=PYTHAGOREAN\n7=-1/4\n").cents[7], 700.0 - ditonic / 4, 1e-9);
}

TEST(Comma, SyntonicWithoutStepsIsEqualTemperamentUnderTheName) {
    auto file = iniFromText("[Plain]\nComma=SYNTONIC\n1=\n");
    Temperament plain(*file, L"Plain", 0);
    EXPECT_FALSE(plain.isRejected());
    EXPECT_EQ(plain.name(), L"Plain");
    EXPECT_EQ(plain.fifthsBelow(), kNotPythagorean);
    for (int k = 0; k <= 12; ++k)
        EXPECT_NEAR(plain.position(k), 100.0 * k, 1e-9);
}

TEST(Comma, InvalidExpressionMeansCentsButNonPositiveOrInfiniteRejects) {
    EXPECT_EQ(stepsOf("Comma=abc\n4=-14\n").cents[4], 386.0);
    EXPECT_EQ(stepsOf("Comma=SYNTONIC2\n4=-14\n").cents[4], 386.0); // a name only when whole
    EXPECT_EQ(stepsOf("Comma=3 /\n4=-14\n").cents[4], 386.0);
    EXPECT_EQ(stepsOf("Comma=1/0\n").result, kRejectedScale);
    EXPECT_EQ(stepsOf("Comma=0/0\n").result, kRejectedScale);
    EXPECT_EQ(stepsOf("Comma=0\n").result, kRejectedScale);
    EXPECT_EQ(stepsOf("Comma=-81/80\n").result, kRejectedScale);
    EXPECT_EQ(stepsOf("Comma=1e400\n").result, kRejectedScale);
}

TEST(Offsets, InvalidValuesAreIgnoredAndNonFiniteOnesReject) {
    ScaleSteps steps = stepsOf("1=abc\n2=5 x\n3=\n4=-1/2*1/2\n");
    EXPECT_NE(steps.result, kRejectedScale);
    EXPECT_EQ(steps.cents[1], 100.0);
    EXPECT_EQ(steps.cents[2], 200.0);
    EXPECT_EQ(steps.cents[3], 300.0);
    EXPECT_EQ(steps.cents[4], 399.75);
    EXPECT_EQ(stepsOf("5=1/0\n").result, kRejectedScale);
    EXPECT_EQ(stepsOf("5=0/0\n").result, kRejectedScale);
    EXPECT_EQ(stepsOf("11=-1e400\n").result, kRejectedScale);
}

TEST(Offsets, ValuesAreReadUpTo127Characters) {
    // "1*1*...*1" is 127 characters; the "*2" after it is cut off.
    std::string ones = "1";
    for (int i = 0; i < 63; ++i)
        ones += "*1";
    EXPECT_EQ(stepsOf("4=" + ones + "\n").cents[4], 401.0);
    EXPECT_EQ(stepsOf("4=" + ones + "*2\n").cents[4], 401.0);
    EXPECT_EQ(stepsOf("4=" + ones.substr(2) + "*2\n").cents[4], 402.0);
}

TEST(Offsets, StepsMustNotFall) {
    EXPECT_EQ(stepsOf("3=-200\n").result, kRejectedScale);
    // Equal neighbours are fine, and the last step is not compared with the octave.
    EXPECT_EQ(stepsOf("3=-100\n").result, kNotPythagorean);
    EXPECT_EQ(stepsOf("11=150\n").result, kNotPythagorean);
    EXPECT_EQ(stepsOf("0=-50\n").result, kNotPythagorean);
}

TEST(Offsets, StepsFarOutsideTheOctaveReject) {
    // Finite but absurd values would overflow the arithmetic downstream.
    EXPECT_EQ(stepsOf("11=10000\n").result, kNotPythagorean);
    EXPECT_EQ(stepsOf("11=1e6\n").result, kRejectedScale);
    EXPECT_EQ(stepsOf("Comma=1e300\n11=1\n").result, kRejectedScale);
    EXPECT_EQ(stepsOf("0=-1e308*10\n").result, kRejectedScale);
}

TEST(Temperament, MissingSectionOrFileIsRejected) {
    auto file = iniFromText("[A]\n1=5\n");
    Temperament missing(*file, L"B", 2);
    EXPECT_TRUE(missing.isRejected());
    EXPECT_EQ(missing.fifthsBelow(), kRejectedScale);
    EXPECT_TRUE(missing.name().empty());
    EXPECT_EQ(missing.position(7), 700.0);
    IniReader empty;
    EXPECT_TRUE(Temperament(empty, L"A", 0).isRejected());
    EXPECT_TRUE(Temperament::load(L"no such folder/scale.ini", L"A", 0).isRejected());
}

TEST(Temperament, NoNameIsEqualTemperamentInTheKey) {
    auto file = iniFromText("[A]\n1=5\n");
    Temperament unnamed(*file, L"", 4);
    EXPECT_FALSE(unnamed.isRejected());
    EXPECT_EQ(unnamed.key(), 4);
    EXPECT_EQ(unnamed.fifthsBelow(), kNotPythagorean);
    EXPECT_EQ(unnamed.position(12), 1200.0);
    EXPECT_EQ(Temperament(*file, nullptr, -11).key(), -11);
    EXPECT_EQ(Temperament(*file, nullptr, 40).key(), 11);
}

TEST(Temperament, TranspositionToTheKey) {
    auto file = iniFromText("[P]\nScale=pythagorean\n");
    ScaleSteps steps = parseSteps(*file, L"P");
    Temperament inA(*file, L"P", 3); // tonic A: positions are the steps
    for (int k = 0; k < 12; ++k)
        EXPECT_DOUBLE_EQ(inA.position(k), steps.cents[k] - steps.cents[0]);
    Temperament inC(*file, L"P", 0); // tonic C: A is step 9
    EXPECT_DOUBLE_EQ(inC.position(0), 0.0);
    EXPECT_DOUBLE_EQ(inC.position(3), steps.cents[0] - steps.cents[9] + 1200.0);
    EXPECT_DOUBLE_EQ(inC.position(2), steps.cents[11] - steps.cents[9]);
    EXPECT_EQ(inC.position(12), 1200.0);
    EXPECT_NEAR(inC.offset(3), -5.865, kTolerance);
    EXPECT_EQ(inC.offset(0), 0.0);
}

TEST(Temperament, NearestNoteTakesTheUpperNoteAtTheMidpoint) {
    auto file = iniFromText("[T]\n1=-20\n2=10\n11=-40\n");
    Temperament t(*file, L"T", 3);
    // Positions 0, 80, 210, 300 ... 1060, 1200.
    NearestNote mid = t.nearestNote(40.0);
    EXPECT_EQ(mid.pitchClass, 1);
    EXPECT_EQ(mid.cents, -40.0);
    NearestNote below = t.nearestNote(39.999);
    EXPECT_EQ(below.pitchClass, 0);
    EXPECT_NEAR(below.cents, 39.999, 1e-12);
    EXPECT_EQ(t.nearestNote(145.0).pitchClass, 2);
    EXPECT_EQ(t.nearestNote(144.9).pitchClass, 1);
    NearestNote top = t.nearestNote(1129.0);
    EXPECT_EQ(top.pitchClass, 11);
    EXPECT_EQ(top.octaveCarry, 0);
    NearestNote next = t.nearestNote(1130.0);
    EXPECT_EQ(next.pitchClass, 0);
    EXPECT_EQ(next.octaveCarry, 1);
    EXPECT_EQ(next.cents, -70.0);
}

TEST(Temperament, NearestEqualNote) {
    NearestNote up = nearestEqualNote(250.0);
    EXPECT_EQ(up.pitchClass, 3);
    EXPECT_EQ(up.cents, -50.0);
    NearestNote down = nearestEqualNote(249.99);
    EXPECT_EQ(down.pitchClass, 2);
    EXPECT_NEAR(down.cents, 49.99, 1e-9);
    NearestNote carry = nearestEqualNote(1150.0);
    EXPECT_EQ(carry.pitchClass, 0);
    EXPECT_EQ(carry.octaveCarry, 1);
    EXPECT_EQ(carry.cents, -50.0);
    EXPECT_EQ(nearestEqualNote(0.0).pitchClass, 0);
}

TEST(Temperament, KeyLabel) {
    auto file = iniFromText("[Meantone]\nComma=SYNTONIC\n");
    EXPECT_EQ(Temperament(0).keyLabel(), L"");
    EXPECT_EQ(Temperament(*file, L"Meantone", 0).keyLabel(), L"Meantone [C]");
    EXPECT_EQ(Temperament(*file, L"Meantone", -3).keyLabel(), L"Meantone [Eb]");
    EXPECT_EQ(Temperament(*file, L"Meantone", 6).keyLabel(), L"Meantone [F#]");
    EXPECT_EQ(Temperament(1).keyLabel(), L"Equal Temp. [G]");
    EXPECT_EQ(Temperament(-8).keyLabel(), L"Equal Temp. [Fb]");
}

TEST(Describe, DistancesAndDifferencesFromEqualTemperament) {
    auto file = iniFromText("[Pyth]\nScale=pythagorean\n");
    std::wstring text = describe(*file, L"Pyth", 0);
    std::wstring distances =
        L"C\t0.000\nC#\t113.685\nD\t203.910\nEb\t294.135\nE\t407.820\nF\t498.045\n"
        L"F#\t611.730\nG\t701.955\nG#\t815.640\nA\t905.865\nBb\t996.090\nB\t1109.775";
    std::wstring differences =
        L"C\t-5.865\nC#\t+7.820\nD\t-1.955\nEb\t-11.730\nE\t+1.955\nF\t-7.820\n"
        L"F#\t+5.865\nG\t-3.910\nG#\t+9.775\nA\t+0.000\nBb\t-9.775\nB\t+3.910";
    EXPECT_EQ(text, L"Temperament Name:\nPyth\n\nDistances from the note C in cents:\n" +
                        distances + L"\n\nDifferences from equally tempered tones in cents:\n" +
                        differences);
}

TEST(Describe, NamesStartAtTheTonicOfTheKey) {
    auto file = iniFromText("[E]\n");
    std::wstring text = describe(*file, L"E", -3);
    std::wstring distances = L"Eb\t0.000\nE\t100.000\nF\t200.000";
    EXPECT_NE(text.find(distances), std::wstring::npos);
    EXPECT_NE(text.find(L"D\t+0.000"), std::wstring::npos);
}

TEST(Describe, DeviationsHoldAAtZeroWhenTheTonicIsOffset) {
    // Tonic C lowered by 10 cents, A raised by 5: seen from A, C is 15 cents low.
    auto file = iniFromText("[S]\n0=-10\n9=5\n");
    std::wstring text = describe(*file, L"S", 0);
    EXPECT_NE(text.find(L"in cents:\nC\t0.000\nC#\t110.000\n"), std::wstring::npos);
    EXPECT_NE(text.find(L"\nA\t915.000\n"), std::wstring::npos);
    EXPECT_NE(text.find(L"in cents:\nC\t-15.000\nC#\t-5.000\n"), std::wstring::npos);
    EXPECT_NE(text.find(L"\nA\t+0.000\nBb\t-5.000\nB\t-5.000"), std::wstring::npos);
}

TEST(Digest, SectionListsLongerThanTheFirstBuffer) {
    // 120 names of 20 characters need about 2,500 characters.
    std::string text;
    for (int n = 0; n < 120; ++n)
        text += "[Temperament " + std::to_string(1000000 + n) + "]\nComment=c" + std::to_string(n) +
                "\n";
    auto file = iniFromText(text);
    std::optional<TemperamentDigest> sections = digest(*file);
    ASSERT_TRUE(sections);
    ASSERT_EQ(sections->size(), 120u);
    EXPECT_EQ(sections->front().name, L"Temperament 1000000");
    EXPECT_EQ(sections->back().name, L"Temperament 1000119");
    EXPECT_EQ(sections->back().comment, L"c119");
}

TEST(Digest, NothingWhenTheNamesExceed65536Characters) {
    // Names of 29 characters: with its NUL each takes 30, and the list needs
    // two more. 2,184 of them (65,522) fit, 2,185 (65,552) do not.
    std::string text;
    for (int n = 0; n < 2185; ++n)
        text += "[Long temperament name " + std::to_string(1000000 + n) + "]\n";
    EXPECT_FALSE(digest(*iniFromText(text)));
    text.resize(text.size() / 2185 * 2184);
    std::optional<TemperamentDigest> fits = digest(*iniFromText(text));
    ASSERT_TRUE(fits);
    EXPECT_EQ(fits->size(), 2184u);
}

TEST(Digest, CommentsUpTo255Characters) {
    auto file = iniFromText("[A]\nComment=" + std::string(300, 'x') + "\n[B]\n");
    std::optional<TemperamentDigest> sections = digest(*file);
    ASSERT_TRUE(sections);
    ASSERT_EQ(sections->size(), 2u);
    EXPECT_EQ(sections->at(0).comment, std::wstring(255, L'x'));
    EXPECT_TRUE(sections->at(1).comment.empty());
    IniReader empty;
    std::optional<TemperamentDigest> none = digest(empty);
    ASSERT_TRUE(none);
    EXPECT_TRUE(none->empty());
}

// A string table of texts 0 ... count - 1, all empty but the given ones.
std::vector<wchar_t> tableWith(int count, std::vector<std::pair<int, std::wstring>> texts) {
    std::vector<wchar_t> table;
    for (int n = 0; n < count; ++n) {
        std::wstring text;
        for (const auto& entry : texts) {
            if (entry.first == n)
                text = entry.second;
        }
        table.insert(table.end(), text.begin(), text.end());
        table.push_back(L'\0');
    }
    return table;
}

TEST(Describe, RejectedSectionSaysSoWithoutNumbers) {
    auto file = iniFromText("[Broken]\nComma=1/0\n");
    std::vector<wchar_t> full = tableWith(171, {{15, L"Failed."}, {167, L"%s cannot be used."}});
    setUiTable(full.data(), full.size());
    EXPECT_EQ(describe(*file, L"Broken", 0), L"Broken cannot be used.");
    EXPECT_EQ(describe(*file, L"Missing", 0), L"Missing cannot be used.");
    // A table without that text still names the section and the failure.
    std::vector<wchar_t> older = tableWith(167, {{15, L"Failed."}});
    setUiTable(older.data(), older.size());
    EXPECT_EQ(describe(*file, L"Broken", 0), L"Broken\n\nFailed.");
    loadTable(kEnglishTable);
}

TEST(Describe, ShippedTablesExplainAnUnusableSection) {
    auto file = iniFromText("[Broken]\n3=-200\n");
    std::wstring text = describe(*file, L"Broken", 0);
    EXPECT_EQ(text.rfind(L"Temperament Name:\nBroken\n\n", 0), 0u) << wideToUtf8(text);
    EXPECT_NE(text.find(L"cannot be used"), std::wstring::npos);
    EXPECT_EQ(text.find(L"%"), std::wstring::npos);
}

} // namespace
} // namespace tonvale
