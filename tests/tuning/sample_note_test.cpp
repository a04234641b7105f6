// The sample "note.ini": every instrument transposes by its real interval,
// the name sets cover every spelling, and both formats read well.
#include "support/ini_reader.h"
#include "support/utf16.h"
#include "tuning/note_naming.h"
#include "tuning/temperament.h"
#include "tuning/temperament_digest.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <string>

namespace tonvale {
namespace {

// Characters of Format1 that fit the meter's subtitle line.
constexpr size_t kMeterLineChars = 12;

std::string samplePath() {
    return std::string(TONVALE_RESOURCES_DIR) + "/tuning/note.ini";
}

class SampleNote : public ::testing::Test {
  protected:
    void SetUp() override {
        std::wstring path = utf8ToWide(samplePath());
        ASSERT_TRUE(file_.load(path.c_str()));
    }

    NoteNaming naming(const wchar_t* name, const Temperament* t = nullptr) {
        NoteSpelling current = t ? t->spelling() : defaultSpelling();
        NoteNaming result(file_, name, current, t);
        EXPECT_EQ(result.name(), name);
        return result;
    }

    IniReader file_;
};

TEST_F(SampleNote, InstrumentsSoundAtTheirIntervals) {
    struct Case {
        const wchar_t* name;
        int soundingMinusWritten; // semitones, as in orchestration tables
    };
    const Case cases[] = {
        {L"Bb Clarinet", -2},
        {L"A Clarinet", -3},
        {L"Eb Clarinet", 3},
        {L"Bb Trumpet", -2},
        {L"Bb Soprano Saxophone", -2},
        {L"Bb Tenor Saxophone", -14},
        {L"Eb Alto Saxophone", -9},
        {L"Eb Baritone Saxophone", -21},
        {L"F Horn", -7},
        {L"English Horn", -7},
        {L"Alto Flute", -5},
    };
    for (const Case& c : cases) {
        NoteNaming n = naming(c.name);
        // Within an octave the written octave is right; beyond it only the name.
        if (c.soundingMinusWritten > -12)
            EXPECT_EQ(n.shift(), c.soundingMinusWritten) << wideToUtf8(c.name);
        else
            EXPECT_EQ(n.shift(), c.soundingMinusWritten + 12) << wideToUtf8(c.name);
    }
    NoteNaming clarinet = naming(L"Bb Clarinet");
    EXPECT_EQ(clarinet.writtenNote(48), 50); // concert C4 is written D4
    EXPECT_STREQ(clarinet.subtitle(3), L"D");
    NoteNaming alto = naming(L"Eb Alto Saxophone");
    EXPECT_EQ(alto.writtenNote(48), 57); // concert C4 is written A4
    NoteNaming horn = naming(L"F Horn");
    EXPECT_EQ(horn.writtenNote(53), 60); // concert F4 is written C5
}

TEST_F(SampleNote, FormatsOfTransposingInstruments) {
    NoteNaming clarinet = naming(L"Bb Clarinet");
    wchar_t line[128];
    ASSERT_TRUE(clarinet.expand(0, 3, line, 128));
    EXPECT_STREQ(line, L"Concert C");
    // The tone window's button for the written C plays the sounding Bb.
    ASSERT_TRUE(clarinet.expand(1, clarinet.soundingIndex(3, true), line, 128));
    EXPECT_STREQ(line, L"Written C, sounds Bb");
}

TEST_F(SampleNote, NameSetsCoverEverySpelling) {
    const wchar_t* sets[] = {L"Do Re Mi (fixed do)",
                             L"\x30CF\x30CB\x30DB (\x65E5\x672C\x97F3\x540D)", L"German (H for B)"};
    for (const wchar_t* set : sets) {
        for (int key = kMinKey; key <= kMaxKey; ++key) {
            for (int below = 0; below <= 9; ++below) {
                NoteNaming n(file_, set, spelling(key, below), nullptr);
                for (int k = 0; k < 12; ++k)
                    EXPECT_NE(n.subtitle(k)[0], L'\0') << wideToUtf8(set) << key << below << k;
            }
        }
    }
    NoteNaming solfege = naming(L"Do Re Mi (fixed do)");
    EXPECT_STREQ(solfege.subtitle(3), L"Do");
    EXPECT_STREQ(solfege.subtitle(6), L"Mib");
    NoteNaming japanese = naming(sets[1]);
    EXPECT_STREQ(japanese.subtitle(3), L"\x30CF");       // C: ha
    EXPECT_STREQ(japanese.subtitle(1), L"\x5909\x30ED"); // Bb: hen-ro
    EXPECT_STREQ(japanese.subtitle(4), L"\x5B30\x30CF"); // C#: ei-ha
    NoteNaming german = naming(L"German (H for B)");
    EXPECT_STREQ(german.subtitle(2), L"H");
    EXPECT_STREQ(german.subtitle(1), L"B");
    EXPECT_STREQ(german.subtitle(6), L"Es");
    Temperament gFlat(-6);
    EXPECT_STREQ(NoteNaming(file_, L"German (H for B)", gFlat.spelling(), &gFlat).subtitle(2),
                 L"Ces");
}

TEST_F(SampleNote, EverySectionExpandsBothFormatsForEveryNote) {
    std::optional<TemperamentDigest> sections = digest(file_);
    ASSERT_TRUE(sections);
    EXPECT_GE(sections->size(), 14u);
    Temperament ebMajor(-3);
    for (const DigestEntry& entry : *sections) {
        std::string name = wideToUtf8(entry.name);
        EXPECT_FALSE(entry.comment.empty()) << name;
        const Temperament* temperaments[] = {nullptr, &ebMajor};
        for (const Temperament* t : temperaments) {
            NoteNaming n = naming(entry.name.c_str(), t);
            for (int k = 0; k < 12; ++k) {
                wchar_t line[128];
                ASSERT_TRUE(n.expand(0, k, line, 128)) << name << k;
                EXPECT_LE(std::wcslen(line), kMeterLineChars) << name << k;
                ASSERT_TRUE(n.expand(1, n.soundingIndex(k, true), line, 128)) << name << k;
            }
        }
    }
}

TEST_F(SampleNote, FileIsUtf8WithAMarkWhateverTheCodePage) {
    FILE* raw = std::fopen(samplePath().c_str(), "rb");
    ASSERT_NE(raw, nullptr);
    unsigned char mark[3] = {};
    EXPECT_EQ(std::fread(mark, 1, 3, raw), 3u);
    std::fclose(raw);
    EXPECT_EQ(mark[0], 0xEF);
    EXPECT_EQ(mark[1], 0xBB);
    EXPECT_EQ(mark[2], 0xBF);
    std::wstring path = utf8ToWide(samplePath());
    for (uint32_t codePage : {1252u, 932u}) {
        IniReader reader(codePage);
        ASSERT_TRUE(reader.load(path.c_str()));
        ASSERT_TRUE(reader.selectSection(L"\x30CF\x30CB\x30DB (\x65E5\x672C\x97F3\x540D)"));
        EXPECT_EQ(reader.getString("Bb", L"", 15), L"\x5909\x30ED");
    }
}

} // namespace
} // namespace tonvale
