#include "levrig/saved_place.h"

#include "support/ini_reader.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

namespace tonvale {
namespace levrig {
namespace {

using testing_files::TempFolder;
using testing_files::writeBytes;

TEST(SavedPlace, ValuesReadAsDecimalNumbers) {
    int32_t value = 0;
    EXPECT_TRUE(parsePlaceValue(L"-12", value));
    EXPECT_EQ(value, -12);
    EXPECT_TRUE(parsePlaceValue(L"+5px", value));
    EXPECT_EQ(value, 5);
    EXPECT_TRUE(parsePlaceValue(L"99999999999", value));
    EXPECT_EQ(value, INT32_MAX);
    EXPECT_TRUE(parsePlaceValue(L"-2147483648", value));
    EXPECT_EQ(value, kNoPlace);
    value = 7;
    EXPECT_FALSE(parsePlaceValue(L"", value));
    EXPECT_FALSE(parsePlaceValue(L"-", value));
    EXPECT_FALSE(parsePlaceValue(L"x1", value));
    EXPECT_EQ(value, 7);
}

TEST(SavedPlace, SectionKeysAreSetAndEverythingElseKept) {
    const std::wstring text = L"[Playback]\nleft=1\nColour=red\nHEIGHT=9\n"
                              L"[Record]\nLeft=5\n[Playback]\nLeft=2\n";
    const std::wstring expected = L"[Playback]\nColour=red\nLeft=-3\nTop=4\nHeight=300\n"
                                  L"[Record]\nLeft=5\n[Playback]\nLeft=2\n";
    EXPECT_EQ(withPlaceInSection(text, "playback", SavedPlace{-3, 4, 300}), expected);
    EXPECT_EQ(withPlaceInSection(L"[Other]\nA=1\n", "Record", SavedPlace{1, 2, 3}),
              L"[Other]\nA=1\n[Record]\nLeft=1\nTop=2\nHeight=3\n");
    EXPECT_EQ(withPlaceInSection(L"", "Record", SavedPlace{}),
              L"[Record]\nLeft=-2147483648\nTop=-2147483648\nHeight=0\n");
}

TEST(SavedPlace, IniFileRoundTripPerDirection) {
    TempFolder folder;
    const std::wstring path = folder.wide("levrig.ini");
    ASSERT_TRUE(writePlaceToIni(path.c_str(), true, SavedPlace{-40, 25, 333}));
    ASSERT_TRUE(writePlaceToIni(path.c_str(), false, SavedPlace{10, 20, 0}));
    ASSERT_TRUE(writePlaceToIni(path.c_str(), true, SavedPlace{-41, 26, 334}));

    SavedPlace recording;
    readPlaceFromIni(path.c_str(), true, recording);
    EXPECT_EQ(recording.left, -41);
    EXPECT_EQ(recording.top, 26);
    EXPECT_EQ(recording.height, 334);
    SavedPlace playback;
    readPlaceFromIni(path.c_str(), false, playback);
    EXPECT_EQ(playback.left, 10);
    EXPECT_EQ(playback.top, 20);
    EXPECT_EQ(playback.height, 0);

    VolumeOptions options;
    options.store = PlaceStore::iniFile;
    options.storePath.assign(path.c_str());
    options.recording = true;
    readSavedPlace(options);
    EXPECT_EQ(options.left, -41);
}

TEST(SavedPlace, MissingOrUnreadableValuesKeepTheDefaults) {
    TempFolder folder;
    writeBytes(folder.file("levrig.ini"), "[Record]\nLeft=abc\nTop=12\n");
    SavedPlace place;
    readPlaceFromIni(folder.wide("levrig.ini").c_str(), true, place);
    EXPECT_EQ(place.left, kNoPlace);
    EXPECT_EQ(place.top, 12);
    EXPECT_EQ(place.height, 0);
    SavedPlace none;
    readPlaceFromIni(folder.wide("missing.ini").c_str(), true, none);
    EXPECT_EQ(none.top, kNoPlace);
    // No store: nothing to write.
    EXPECT_FALSE(writeSavedPlace(VolumeOptions{}));
}

} // namespace
} // namespace levrig
} // namespace tonvale
