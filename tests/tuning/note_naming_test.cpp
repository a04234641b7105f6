#include "tuning/note_naming.h"

#include "ini_text.h"
#include "tuning/temperament.h"

#include <gtest/gtest.h>

#include <string>

namespace tonvale {
namespace {

NoteNaming namingOf(const std::string& body, const Temperament* temperament = nullptr,
                    const NoteSpelling& current = defaultSpelling()) {
    auto file = iniFromText("[N]\n" + body);
    return NoteNaming(*file, L"N", current, temperament);
}

std::wstring expanded(const NoteNaming& naming, int which, int pitchClass, size_t capacity = 128) {
    wchar_t buffer[256];
    buffer[0] = L'?';
    naming.expand(which, pitchClass, buffer, capacity);
    return buffer;
}

TEST(Transpose, InstrumentPitches) {
    struct Case {
        const wchar_t* text;
        int shift;
        int key;
    };
    const Case cases[] = {
        {L"Bb", -2, -2}, {L"Eb", 3, -3},  {L"Eb-", -9, -3}, {L"F", 5, -1},  {L"F-", -7, -1},
        {L"A", -3, 3},   {L"G", -5, 1},   {L"C", 0, 0},     {L"c", 0, 0},   {L"C+", 0, 0},
        {L"C#", 1, 7},   {L"Cb", -1, -7}, {L"bb", -2, -2},  {L"D+", 2, 2},  {L"Bb+", 10, -2},
        {L"B#", 0, 0},   {L"H", 0, 0},    {L"", 0, 0},      {L"E#", 5, 11}, {L"G#", -4, 8},
        {L"f", 5, -1},   {L"f-", -7, -1},
    };
    for (const Case& c : cases) {
        Transposition t = parseTransposition(c.text);
        EXPECT_EQ(t.shift, c.shift) << c.text;
        EXPECT_EQ(t.instrumentKey, c.key) << c.text;
    }
}

TEST(NoteNaming, BFlatInstrumentWithATemperamentShowsTheWrittenKey) {
    Temperament inC(0);
    NoteNaming clarinet = namingOf("Transpose=Bb\n", &inC);
    EXPECT_EQ(clarinet.name(), L"N");
    EXPECT_EQ(clarinet.shift(), -2);
    EXPECT_EQ(clarinet.instrumentKey(), -2);
    EXPECT_TRUE(clarinet.displaySpelling(defaultSpelling(), &inC) == spelling(2, 3));
    EXPECT_STREQ(clarinet.subtitle(3), L"D"); // sounding C is written D
    EXPECT_STREQ(clarinet.subtitle(1), L"C"); // sounding Bb is written C
    EXPECT_STREQ(clarinet.names()[3], L"C");
}

TEST(NoteNaming, WithoutTemperamentTheCurrentSpellingNamesTheWrittenNotes) {
    NoteNaming alto = namingOf("Transpose=Eb\n");
    EXPECT_EQ(alto.shift(), 3);
    EXPECT_STREQ(alto.subtitle(3), L"A"); // sounding C is written A
    EXPECT_STREQ(alto.subtitle(6), L"C"); // sounding Eb is written C
    EXPECT_TRUE(alto.displaySpelling(defaultSpelling(), nullptr) == defaultSpelling());
}

TEST(NoteNaming, WrittenKeyStaysWithinSevenAccidentals) {
    Temperament inB(5);
    NoteNaming alto = namingOf("Transpose=Eb\n", &inB); // 5 - (-3) = 8 -> Ab (-4)
    EXPECT_TRUE(alto.displaySpelling(defaultSpelling(), &inB) == spelling(-4, 3));
    Temperament inGb(-11 + 5); // -6 - 3 (A instrument) = -9 -> 3
    NoteNaming a = namingOf("Transpose=A\n", &inGb);
    EXPECT_TRUE(a.displaySpelling(defaultSpelling(), &inGb) == spelling(3, 3));
    // Seven accidentals are kept; eight are folded.
    Temperament inAb(-4); // -4 - 3 = -7: Cb major
    EXPECT_TRUE(a.displaySpelling(defaultSpelling(), &inAb) == spelling(-7, 3));
    Temperament inDb(-5); // -5 - 3 = -8 -> 4
    EXPECT_TRUE(a.displaySpelling(defaultSpelling(), &inDb) == spelling(4, 3));
    // 5 - (-2) = 7: C# major for a Bb instrument in B major.
    NoteNaming clarinet = namingOf("Transpose=Bb\n", &inB);
    EXPECT_TRUE(clarinet.displaySpelling(defaultSpelling(), &inB) == spelling(7, 3));
    NoteNaming withAb = namingOf("Transpose=A\n", &inAb);
    EXPECT_STREQ(withAb.subtitle(11), L"Cb"); // sounding Ab is written Cb
}

TEST(NoteNaming, UserSubtitlesFollowTheCurrentSpelling) {
    NoteNaming solfege =
        namingOf("C=Do\nC#=Di\nDb=Ra\nD=Re\nA=La La La La La La\nBb=Te\n", nullptr);
    EXPECT_STREQ(solfege.subtitle(3), L"Do");
    EXPECT_STREQ(solfege.subtitle(4), L"Di"); // Db is not a name of this spelling
    EXPECT_STREQ(solfege.subtitle(0), L"La La La La La ");
    EXPECT_STREQ(solfege.subtitle(1), L"Te");
    EXPECT_STREQ(solfege.subtitle(2), L"");
    // A user subtitle replaces the written name of a transposing instrument.
    NoteNaming horn = namingOf("Transpose=F\nC=open\n");
    EXPECT_STREQ(horn.subtitle(3), L"open");
    EXPECT_STREQ(horn.subtitle(8), L"C"); // sounding F is written C
}

TEST(NoteNaming, MissingSectionHasNoName) {
    auto file = iniFromText("[Other]\nFormat1=%1\n");
    NoteNaming missing(*file, L"N", defaultSpelling(), nullptr);
    EXPECT_TRUE(missing.name().empty());
    NoteNaming none =
        NoteNaming::load(L"no such folder/note.ini", L"N", defaultSpelling(), nullptr);
    EXPECT_TRUE(none.name().empty());
}

TEST(Expand, NameAndSubtitle) {
    NoteNaming plain = namingOf("Format1=%1 (%2)\nFormat2=%1\n");
    EXPECT_FALSE(plain.expand(0, 3, nullptr, 0));
    wchar_t buffer[8] = L"x";
    EXPECT_FALSE(plain.expand(0, 3, buffer, 8));
    EXPECT_STREQ(buffer, L"");
    EXPECT_EQ(expanded(plain, 1, 3), L"C");
    EXPECT_EQ(expanded(plain, 1, 11), L"G#");
    NoteNaming solfege = namingOf("Format1=%1 (%2)\nC=Do\n");
    EXPECT_EQ(expanded(solfege, 0, 3), L"C (Do)");
    EXPECT_EQ(expanded(solfege, 0, 5), L""); // D has no subtitle
}

TEST(Expand, PercentSequences) {
    NoteNaming n = namingOf("Format1=100%% %x %1%\nFormat2=%");
    EXPECT_EQ(expanded(n, 0, 0), L"100% %x A%");
    EXPECT_EQ(expanded(n, 1, 0), L"%");
}

TEST(Expand, CapacityLimits) {
    NoteNaming n = namingOf("Format1=ab%1\nFormat2=a%x\nC#=1234567890123456789\n");
    EXPECT_EQ(expanded(n, 0, 4, 1), L"");
    EXPECT_EQ(expanded(n, 0, 4, 3), L"ab");
    EXPECT_EQ(expanded(n, 0, 4, 4), L"ab"); // "C#" does not fit whole
    EXPECT_EQ(expanded(n, 0, 4, 5), L"abC#");
    EXPECT_EQ(expanded(n, 1, 4, 3), L"a"); // "%x" needs room for both
    EXPECT_EQ(expanded(n, 1, 4, 4), L"a%x");
    wchar_t buffer[4];
    EXPECT_FALSE(n.expand(2, 4, buffer, 4));
    EXPECT_FALSE(n.expand(0, 12, buffer, 4));
    EXPECT_FALSE(n.expand(0, -1, buffer, 4));
    EXPECT_STREQ(n.subtitle(4), L"123456789012345");
}

TEST(Expand, LongFormatIsCutWhenReadAndWhenExpanded) {
    std::string format(200, 'x');
    NoteNaming n = namingOf("Format1=" + format + "\n");
    EXPECT_EQ(n.format1().size(), 127u);
    EXPECT_EQ(expanded(n, 0, 0, 128).size(), 127u);
    EXPECT_EQ(expanded(n, 0, 0, 50).size(), 49u);
}

TEST(NoteNaming, SoundingIndexAndWrittenNote) {
    NoteNaming trumpet = namingOf("Transpose=Bb\n");
    EXPECT_EQ(trumpet.soundingIndex(3, false), 1);
    EXPECT_EQ(trumpet.soundingIndex(1, true), 11);
    EXPECT_EQ(trumpet.soundingIndex(0, false), -2);
    EXPECT_EQ(trumpet.writtenNote(46), 48);   // sounding Bb3 is written C4
    EXPECT_EQ(trumpet.writtenNote(-15), 143); // m = -13
    EXPECT_EQ(trumpet.writtenNote(-26), 132); // m = -24
    EXPECT_EQ(trumpet.writtenNote(-13), -11);
    EXPECT_EQ(trumpet.writtenNote(-14), -12); // m = -12 is still a note
    EXPECT_EQ(trumpet.writtenNote(141), 143); // m = 143 as well
    EXPECT_EQ(trumpet.writtenNote(142), 132); // m = 144
    NoteNaming alto = namingOf("Transpose=Eb\n");
    EXPECT_EQ(alto.soundingIndex(10, true), 1);
    EXPECT_EQ(alto.writtenNote(147), 132);
    EXPECT_EQ(alto.writtenNote(148), 133);
    NoteNaming none = namingOf("Format1=%1\n");
    EXPECT_EQ(none.writtenNote(-13), -13);
    EXPECT_EQ(none.soundingIndex(11, true), 11);
}

} // namespace
} // namespace tonvale
