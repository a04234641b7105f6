// The sample "scale.ini" against the temperaments as their authors define
// them: chains of fifths, each pure or narrowed by a stated part of a comma,
// computed here from the ratios and compared with the file's steps.
#include "support/ini_reader.h"
#include "support/utf16.h"
#include "tuning/temperament.h"
#include "tuning/temperament_digest.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>
#include <vector>

namespace tonvale {
namespace {

const double kPureFifth = 1200.0 * std::log2(3.0 / 2.0);
const double kSyntonic = 1200.0 * std::log2(81.0 / 80.0);
const double kPythagorean = 1200.0 * std::log2(531441.0 / 524288.0);
const double kSchisma = kPythagorean - kSyntonic;

std::wstring samplePath() {
    return utf8ToWide(std::string(TONVALE_RESOURCES_DIR) + "/tuning/scale.ini");
}

struct Expected {
    double cents[12];
    double closingFifth; // from the chain's top note back to its lowest
};

// A chain of eleven fifths whose lowest note lies `below` fifths under C.
// fifths[j] is the size of the j-th fifth counted upward from the lowest note.
Expected chain(int below, const std::vector<double>& fifths) {
    double fromC[12];
    int lowest = -below;
    double position = 0.0;
    for (int j = -1; j >= lowest; --j) {
        position -= fifths[static_cast<size_t>(j - lowest)];
        fromC[j - lowest] = position;
    }
    fromC[below] = 0.0;
    position = 0.0;
    for (int j = 0; j < 11 - below; ++j) {
        position += fifths[static_cast<size_t>(below + j)];
        fromC[below + j + 1] = position;
    }
    Expected expected{};
    for (int i = 0; i < 12; ++i) {
        int step = ((7 * (i - below)) % 12 + 12) % 12;
        expected.cents[step] = fromC[i] - 1200.0 * std::floor(fromC[i] / 1200.0);
    }
    expected.closingFifth = fromC[0] + 7 * 1200.0 - fromC[11];
    return expected;
}

std::vector<double> pure(int count) {
    return std::vector<double>(static_cast<size_t>(count), kPureFifth);
}

std::vector<double> join(std::vector<double> a, const std::vector<double>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::vector<double> narrowed(int count, double by) {
    return std::vector<double>(static_cast<size_t>(count), kPureFifth - by);
}

class SampleScale : public ::testing::Test {
  protected:
    void SetUp() override {
        std::wstring path = samplePath();
        ASSERT_TRUE(file_.load(path.c_str()));
    }

    void expectSection(const wchar_t* name, const Expected& expected) {
        ScaleSteps steps = parseSteps(file_, name);
        ASSERT_NE(steps.result, kRejectedScale) << wideToUtf8(name);
        for (int n = 0; n < 12; ++n)
            EXPECT_NEAR(steps.cents[n], expected.cents[n], 1e-9) << wideToUtf8(name) << " " << n;
    }

    void expectPublished(const wchar_t* name, const double (&published)[12]) {
        ScaleSteps steps = parseSteps(file_, name);
        for (int n = 0; n < 12; ++n)
            EXPECT_NEAR(steps.cents[n], published[n], 0.0005) << wideToUtf8(name) << " " << n;
    }

    IniReader file_;
};

TEST_F(SampleScale, PythagoreanChains) {
    expectSection(L"Pythagorean", chain(3, pure(11)));
    expectSection(L"Pythagorean (Ab-C#)", chain(4, pure(11)));
    expectSection(L"Pythagorean (Gb-B)", chain(6, pure(11)));
    EXPECT_NEAR(chain(3, pure(11)).closingFifth, kPureFifth - kPythagorean, 1e-9);
}

TEST_F(SampleScale, Meantones) {
    struct Case {
        const wchar_t* name;
        double fraction;
        int below;
    };
    const Case cases[] = {
        {L"Meantone 1/4 comma", 1.0 / 4, 3},      {L"Meantone 1/4 comma (Ab)", 1.0 / 4, 4},
        {L"Meantone 1/4 comma (D#)", 1.0 / 4, 2}, {L"Meantone 1/3 comma", 1.0 / 3, 3},
        {L"Meantone 2/7 comma", 2.0 / 7, 3},      {L"Meantone 1/5 comma", 1.0 / 5, 3},
        {L"Meantone 1/6 comma", 1.0 / 6, 3},
    };
    for (const Case& c : cases)
        expectSection(c.name, chain(c.below, narrowed(11, c.fraction * kSyntonic)));
    // Quarter-comma: pure major thirds C-E; third-comma: pure minor thirds C-Eb.
    ScaleSteps quarter = parseSteps(file_, L"Meantone 1/4 comma");
    EXPECT_NEAR(quarter.cents[4], 1200.0 * std::log2(5.0 / 4.0), 1e-9);
    ScaleSteps third = parseSteps(file_, L"Meantone 1/3 comma");
    EXPECT_NEAR(third.cents[3], 1200.0 * std::log2(6.0 / 5.0), 1e-9);
    const double published[12] = {0,       76.049,  193.157, 310.265, 386.314,  503.422,
                                  579.471, 696.578, 772.627, 889.735, 1006.843, 1082.892};
    expectPublished(L"Meantone 1/4 comma", published);
}

TEST_F(SampleScale, WellTemperaments) {
    // Chains from Db (five fifths below C) up to F#.
    const double quarterP = kPythagorean / 4;
    Expected werckmeister =
        chain(5, join(join(pure(5), narrowed(3, quarterP)), join(pure(2), narrowed(1, quarterP))));
    expectSection(L"Werckmeister III", werckmeister);
    EXPECT_NEAR(werckmeister.closingFifth, kPureFifth, 1e-9);

    Expected kirnberger2 = chain(5, join(join(pure(7), narrowed(2, kSyntonic / 2)), pure(2)));
    expectSection(L"Kirnberger II", kirnberger2);
    EXPECT_NEAR(kirnberger2.closingFifth, kPureFifth - kSchisma, 1e-9);

    Expected kirnberger3 = chain(5, join(join(pure(5), narrowed(4, kSyntonic / 4)), pure(2)));
    expectSection(L"Kirnberger III", kirnberger3);
    EXPECT_NEAR(kirnberger3.closingFifth, kPureFifth - kSchisma, 1e-9);

    Expected vallotti = chain(5, join(join(pure(4), narrowed(6, kPythagorean / 6)), pure(1)));
    expectSection(L"Vallotti", vallotti);
    EXPECT_NEAR(vallotti.closingFifth, kPureFifth, 1e-9);

    Expected young = chain(5, join(pure(5), narrowed(6, kPythagorean / 6)));
    expectSection(L"Young (1799)", young);
    EXPECT_NEAR(young.closingFifth, kPureFifth, 1e-9);
}

TEST_F(SampleScale, WellTemperamentsMatchThePublishedTables) {
    const double werckmeister[12] = {0,       90.225,  192.180, 294.135, 390.225, 498.045,
                                     588.270, 696.090, 792.180, 888.270, 996.090, 1092.180};
    const double kirnberger3[12] = {0,       90.225,  193.157, 294.135, 386.314, 498.045,
                                    590.224, 696.578, 792.180, 889.735, 996.090, 1088.269};
    const double vallotti[12] = {0,       94.135,  196.090, 298.045, 392.180,  501.955,
                                 592.180, 698.045, 796.090, 894.135, 1000.000, 1090.225};
    const double young[12] = {0,       90.225,  196.090, 294.135, 392.180, 498.045,
                              588.270, 698.045, 792.180, 894.135, 996.090, 1090.225};
    expectPublished(L"Werckmeister III", werckmeister);
    expectPublished(L"Kirnberger III", kirnberger3);
    expectPublished(L"Vallotti", vallotti);
    expectPublished(L"Young (1799)", young);
}

TEST_F(SampleScale, JustIntonation) {
    const double ratios[12] = {1.0,       16.0 / 15, 9.0 / 8, 6.0 / 5, 5.0 / 4,  4.0 / 3,
                               45.0 / 32, 3.0 / 2,   8.0 / 5, 5.0 / 3, 16.0 / 9, 15.0 / 8};
    Expected expected{};
    for (int n = 0; n < 12; ++n)
        expected.cents[n] = 1200.0 * std::log2(ratios[n]);
    expectSection(L"Just intonation (major)", expected);
}

TEST_F(SampleScale, EverySectionIsUsableInEveryKeyAndDescribed) {
    std::optional<TemperamentDigest> sections = digest(file_);
    ASSERT_TRUE(sections);
    EXPECT_GE(sections->size(), 15u);
    std::set<std::wstring> names;
    for (const DigestEntry& entry : *sections) {
        std::string name = wideToUtf8(entry.name);
        EXPECT_TRUE(names.insert(entry.name).second) << name;
        EXPECT_LT(entry.name.size(), 128u) << name;
        EXPECT_FALSE(entry.comment.empty()) << name;
        EXPECT_LT(entry.comment.size(), 255u) << name; // never cut
        for (int key = kMinKey; key <= kMaxKey; ++key) {
            Temperament t(file_, entry.name.c_str(), key);
            EXPECT_FALSE(t.isRejected()) << name << " " << key;
            EXPECT_EQ(t.position(0), 0.0);
        }
    }
}

TEST_F(SampleScale, ChainsAreSpelledFromTheirLowestNote) {
    NoteSpelling kirnberger = Temperament(file_, L"Kirnberger III", 0).spelling();
    EXPECT_STREQ(kirnberger[4], L"Db");
    EXPECT_STREQ(kirnberger[11], L"Ab");
    NoteSpelling sharp = Temperament(file_, L"Meantone 1/4 comma (D#)", 0).spelling();
    EXPECT_STREQ(sharp[6], L"D#");
    EXPECT_STREQ(sharp[11], L"G#");
}

} // namespace
} // namespace tonvale
