#include "tuning/note_spelling.h"

#include <gtest/gtest.h>

namespace tonvale {
namespace {

TEST(KeyTonicTable, IsItsOwnInverseAndFollowsTheFifths) {
    for (int k = 0; k < 12; ++k) {
        EXPECT_EQ(kKeyTonicTable[k], (7 * k + 3) % 12);
        EXPECT_EQ(kKeyTonicTable[kKeyTonicTable[k]], k);
    }
    EXPECT_EQ(keyTonic(-3), 6); // Eb
    EXPECT_EQ(keyTonic(-11), kKeyTonicTable[1]);
}

TEST(FifthsNames, NeverMoreThanOneAccidental) {
    EXPECT_STREQ(fifthsName(0), L"C");
    EXPECT_STREQ(fifthsName(-9), L"A");
    EXPECT_STREQ(fifthsName(-8), L"Fb");
    EXPECT_STREQ(fifthsName(12), L"B#");
    EXPECT_STREQ(fifthsName(13), L"G");
    EXPECT_STREQ(fifthsName(-24), L"C");
    EXPECT_STREQ(fifthsName(23), L"E#");
    EXPECT_STREQ(fifthsName(24), L"");
}

TEST(Spelling, DefaultIsKeyZeroWithThreeFifthsBelow) {
    NoteSpelling names = defaultSpelling();
    const wchar_t* expected[12] = {L"A",  L"Bb", L"B", L"C",  L"C#", L"D",
                                   L"Eb", L"E",  L"F", L"F#", L"G",  L"G#"};
    for (int k = 0; k < 12; ++k)
        EXPECT_STREQ(names[k], expected[k]) << k;
    EXPECT_TRUE(names == spelling(0, 3));
}

TEST(Spelling, KeysSpellTheirScalesAndTheLineOfFifths) {
    NoteSpelling d = spelling(2, 3); // D major: from F up to A#
    EXPECT_STREQ(d[9], L"F#");
    EXPECT_STREQ(d[4], L"C#");
    EXPECT_STREQ(d[1], L"A#");
    EXPECT_STREQ(d[8], L"F");
    EXPECT_STREQ(d[11], L"G#");
    NoteSpelling gFlat = spelling(-6, 3); // Gb major: Cb is in the scale
    EXPECT_STREQ(gFlat[2], L"Cb");
    EXPECT_STREQ(gFlat[9], L"Gb");
    NoteSpelling many = spelling(11, 9); // start at position 2 on the line
    EXPECT_STREQ(many[5], L"D");
    NoteSpelling fewest = spelling(-11, 9); // start at position -20: Fb
    EXPECT_STREQ(fewest[7], L"Fb");
    // Out-of-range input is brought back instead of reading past the table.
    EXPECT_TRUE(spelling(12, 3) == spelling(0, 3));
    EXPECT_TRUE(spelling(0, 40) == spelling(0, 9));
}

TEST(KeyNames, TheTwelveListEntries) {
    struct Case {
        const wchar_t* text;
        int key;
    };
    const Case cases[] = {{L"C", 0},        {L"C# (Db)", 7}, {L"D", 2},        {L"Eb (D#)", -3},
                          {L"E", 4},        {L"F", -1},      {L"F# (Gb)", 6},  {L"G", 1},
                          {L"Ab (G#)", -4}, {L"A", 3},       {L"Bb (A#)", -2}, {L"B", 5}};
    int entry = 0;
    for (const Case& c : cases) {
        EXPECT_EQ(parseKeyName(c.text), c.key) << c.text;
        // The entry shown for a stored key is the one it was parsed from.
        EXPECT_EQ((keyTonic(c.key) - 3 + 12) % 12, entry++) << c.text;
    }
}

TEST(KeyNames, OtherTexts) {
    EXPECT_EQ(parseKeyName(L"eb"), -3);
    EXPECT_EQ(parseKeyName(L"f"), -1);
    EXPECT_EQ(parseKeyName(L"Cb"), -7);
    EXPECT_EQ(parseKeyName(L"Fb"), -8);
    EXPECT_EQ(parseKeyName(L"G#"), 8);
    EXPECT_EQ(parseKeyName(L"EB"), 4); // only a lower-case b is a flat
    EXPECT_EQ(parseKeyName(L"H"), 0);
    EXPECT_EQ(parseKeyName(L""), 0);
    EXPECT_EQ(parseKeyName(nullptr), 0);
}

} // namespace
} // namespace tonvale
