#include "support/ini_reader.h"
#include "support/ini_writer.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace tonvale {
namespace {

using testing_files::readBytes;
using testing_files::TempFolder;
using testing_files::writeBytes;

TEST(IniFileWin, FilesWithoutMarkUseTheReadersCodePage) {
    TempFolder folder;
    writeBytes(folder.file("latin.ini"), "[S]\r\nName=Caf\xE9 \x80\r\n");
    writeBytes(folder.file("sjis.ini"), "[S]\r\nName=\x83\x60\x83\x85\x81\x5B\r\n"); // チュー

    IniReader latin(1252);
    ASSERT_TRUE(latin.load(folder.wide("latin.ini").c_str()));
    ASSERT_TRUE(latin.selectSection("S"));
    EXPECT_EQ(latin.getString("Name", L"", 16), L"Caf\u00E9 \u20AC");

    IniReader japanese(932);
    ASSERT_TRUE(japanese.load(folder.wide("sjis.ini").c_str()));
    ASSERT_TRUE(japanese.selectSection("S"));
    EXPECT_EQ(japanese.getString("Name", L"", 16), L"\u30C1\u30E5\u30FC");

    // Code page 0 is the ANSI code page of the process.
    IniReader ansi(0);
    IniReader explicitPage(GetACP());
    ASSERT_TRUE(ansi.load(folder.wide("latin.ini").c_str()));
    ASSERT_TRUE(explicitPage.load(folder.wide("latin.ini").c_str()));
    EXPECT_EQ(ansi.dump(), explicitPage.dump());
}

TEST(IniFileWin, UnconvertibleCharactersGetTheDefaultCharacter) {
    if (GetACP() != 1252)
        GTEST_SKIP() << "ANSI code page " << GetACP();
    TempFolder folder;
    const std::wstring target = folder.wide("levrig.ini");
    IniWriter writer;
    ASSERT_TRUE(writer.open(target.c_str(), IniEncoding::Ansi));
    writer.setSection("S");
    writer.writeString("k", L"\u30C1\u00E9");
    ASSERT_GT(writer.commit(target.c_str()), 0);
    EXPECT_EQ(readBytes(folder.file("levrig.ini")), "[S]\r\nk=?\xE9\r\n");
}

TEST(IniFileWin, TargetInUseKeepsTheOldFile) {
    TempFolder folder;
    writeBytes(folder.file("tonvale.ini"), "old settings");
    const std::wstring target = folder.wide("tonvale.ini");
    // Another program holds the file open without allowing it to be replaced.
    HANDLE holder = CreateFileW(target.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    IniWriter writer;
    ASSERT_TRUE(writer.open(target.c_str(), IniEncoding::Utf16));
    writer.setSection("S");
    writer.writeString("k", L"new");
    EXPECT_EQ(writer.commit(target.c_str()), -1);
    CloseHandle(holder);
    EXPECT_EQ(readBytes(folder.file("tonvale.ini")), "old settings");
    EXPECT_GT(readBytes(folder.file("tonvale.tmp")).size(), 2u);

    // Once released, the next save goes through.
    IniWriter again;
    ASSERT_TRUE(again.open(target.c_str(), IniEncoding::Utf16));
    again.setSection("S");
    again.writeString("k", L"new");
    EXPECT_GT(again.commit(target.c_str()), 0);
    IniReader reader;
    ASSERT_TRUE(reader.load(target.c_str()));
    ASSERT_TRUE(reader.selectSection("S"));
    EXPECT_EQ(reader.getString("k", L"", 8), L"new");
}

} // namespace
} // namespace tonvale
