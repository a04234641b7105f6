#include "support/ini_writer.h"

#include "support/ini_file.h"
#include "support/ini_reader.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tonvale {
namespace {

using testing_files::readBytes;
using testing_files::TempFolder;
using testing_files::utf16LeBytes;
using testing_files::writeBytes;

std::wstring temporaryOf(const std::wstring& target) {
    std::wstring temporary;
    return IniWriter::temporaryPath(target, temporary) ? temporary : L"<none>";
}

TEST(IniWriter, TemporaryNameReplacesTheExtension) {
    EXPECT_EQ(temporaryOf(L"C:\\Users\\u\\tonvale.ini"), L"C:\\Users\\u\\tonvale.tmp");
    EXPECT_EQ(temporaryOf(L"levrig.ini"), L"levrig.tmp");
    EXPECT_EQ(temporaryOf(L"/tmp/x/a.b.c"), L"/tmp/x/a.tmp");
    EXPECT_EQ(temporaryOf(L"C:\\dir.d\\settings"), L"C:\\dir.d\\sett.tmp");
    EXPECT_EQ(temporaryOf(L"C:\\dir.d\\abcd"), L"C:\\dir.d\\.tmp");
    EXPECT_EQ(temporaryOf(L"C:\\dir.d\\abc"), L"<none>");
    EXPECT_EQ(temporaryOf(L"/a.ini/x"), L"<none>");
}

TEST(IniWriter, WritesUtf16WithMarkAndSkipsEmptySections) {
    TempFolder folder;
    const std::wstring target = folder.wide("tonvale.ini");
    IniWriter writer;
    ASSERT_TRUE(writer.open(target.c_str(), IniEncoding::Utf16));
    writer.setSection("Empty");
    writer.setSection("Tonvale");
    writer.writeString("WindowPosition", L"");
    writer.writeString("Name", L" \"Caf\u00E9\" ");
    writer.setSection("Debug");
    writer.writeString("EnglishUI", L"1");
    const std::string expected =
        "\xFF\xFE" + utf16LeBytes("[Tonvale]\r\nWindowPosition=\r\nName= \"Caf\xC3\xA9\" \r\n"
                                  "[Debug]\r\nEnglishUI=1\r\n");
    EXPECT_EQ(writer.commit(target.c_str()), static_cast<int32_t>(expected.size()));
    writer.close();
    EXPECT_EQ(readBytes(folder.file("tonvale.ini")), expected);
    EXPECT_FALSE(std::filesystem::exists(folder.file("tonvale.tmp")));
}

TEST(IniWriter, AnsiModeUsesTheAnsiCodePage) {
    TempFolder folder;
    const std::wstring target = folder.wide("levrig.ini");
    IniWriter writer;
    ASSERT_TRUE(writer.open(target.c_str(), IniEncoding::Ansi));
    writer.setSection("Record");
    writer.writeString("Left", L"-5 \u00E9");
    ASSERT_GT(writer.commit(target.c_str()), 0);
    std::string expected = "[Record]\r\nLeft=-5 \xC3\xA9\r\n";
    if (ini_file::ansiCodePage() == ini_file::kUtf8CodePage)
        expected = "\xEF\xBB\xBF" + expected;
    else if (ini_file::ansiCodePage() == 1252)
        expected = "[Record]\r\nLeft=-5 \xE9\r\n";
    else
        GTEST_SKIP() << "ANSI code page " << ini_file::ansiCodePage();
    EXPECT_EQ(readBytes(folder.file("levrig.ini")), expected);
}

TEST(IniWriter, DumpWrittenBackReadsTheSame) {
    IniReader reader;
    const std::string text =
        "[Record]\r\n Left = 1 \r\nHeight=\"\"\r\nnote\r\n[Playback]\r\nTop=2\r\n";
    ASSERT_TRUE(reader.loadBytes(text.data(), text.size()));
    ASSERT_TRUE(reader.deleteSection("Playback"));
    const std::wstring dumped = reader.dump();

    TempFolder folder;
    const std::wstring target = folder.wide("levrig.ini");
    IniWriter writer;
    ASSERT_TRUE(writer.open(target.c_str(), IniEncoding::Utf16));
    writer.writeText(dumped.c_str());
    writer.writeText(L"");
    writer.setSection("Playback");
    writer.writeString("Top", L"3");
    ASSERT_GT(writer.commit(target.c_str()), 0);
    EXPECT_EQ(
        readBytes(folder.file("levrig.ini")),
        "\xFF\xFE" +
            utf16LeBytes("[Record]\r\nLeft=1\r\nHeight=\"\"\r\nnote\r\n[Playback]\r\nTop=3\r\n"));

    IniReader again;
    ASSERT_TRUE(again.load(target.c_str()));
    EXPECT_EQ(again.dump(), dumped + L"[Playback]\nTop=3\n");
}

TEST(IniWriter, TextDoesNotTakeThePendingSection) {
    // The pending section belongs to the keys written after the text: its
    // header goes before them, not before the copied text.
    TempFolder folder;
    const std::wstring target = folder.wide("levrig.ini");
    IniWriter writer;
    ASSERT_TRUE(writer.open(target.c_str(), IniEncoding::Utf16));
    writer.setSection("Record");
    writer.writeText(L"[Playback]\nTop=2\n");
    writer.writeString("Left", L"1");
    writer.setSection("Unused");
    writer.writeText(L"[Other]\n");
    ASSERT_GT(writer.commit(target.c_str()), 0);
    EXPECT_EQ(readBytes(folder.file("levrig.ini")),
              "\xFF\xFE" +
                  utf16LeBytes("[Playback]\r\nTop=2\r\n[Record]\r\nLeft=1\r\n[Other]\r\n"));
}

TEST(IniWriter, SectionNameIsCutAt127Characters) {
    TempFolder folder;
    const std::wstring target = folder.wide("tonvale.ini");
    IniWriter writer;
    ASSERT_TRUE(writer.open(target.c_str(), IniEncoding::Ansi));
    writer.setSection(std::string(200, 's').c_str());
    writer.writeString("k", L"v");
    ASSERT_GT(writer.commit(target.c_str()), 0);
    IniReader reader;
    ASSERT_TRUE(reader.load(target.c_str()));
    EXPECT_TRUE(reader.selectSection(std::string(127, 's').c_str()));
    EXPECT_FALSE(reader.selectSection(std::string(128, 's').c_str()));
}

TEST(IniWriter, CommitWithoutOpenFileLeavesTheTarget) {
    TempFolder folder;
    const std::wstring target = folder.wide("tonvale.ini");
    writeBytes(folder.file("tonvale.ini"), "old");
    IniWriter never;
    never.writeString("k", L"v");
    EXPECT_EQ(never.commit(target.c_str()), -1);

    IniWriter nowhere;
    const std::wstring missing = folder.wide("no-such-folder/tonvale.ini");
    EXPECT_FALSE(nowhere.open(missing.c_str(), IniEncoding::Utf16));
    nowhere.setSection("S");
    nowhere.writeString("k", L"v");
    EXPECT_EQ(nowhere.commit(target.c_str()), -1);
    EXPECT_EQ(readBytes(folder.file("tonvale.ini")), "old");
}

TEST(IniWriter, TargetIsAlwaysTheWholeOldOrTheWholeNewFile) {
    TempFolder folder;
    const std::wstring target = folder.wide("tonvale.ini");
    writeBytes(folder.file("tonvale.ini"), "old settings");
    // Large enough to be written in several pieces.
    std::wstring big(40000, L'x');
    IniWriter writer;
    ASSERT_TRUE(writer.open(target.c_str(), IniEncoding::Utf16));
    writer.setSection("S");
    for (int i = 0; i < 4; ++i)
        writer.writeString("k", big.c_str());
    EXPECT_EQ(readBytes(folder.file("tonvale.ini")), "old settings");
    int32_t size = writer.commit(target.c_str());
    EXPECT_EQ(size, 2 + 2 * (5 + 4 * (2 + 40000 + 2)));
    EXPECT_EQ(static_cast<int64_t>(readBytes(folder.file("tonvale.ini")).size()), size);
}

TEST(IniWriter, FailedReplaceKeepsTheCompleteTemporaryFile) {
    TempFolder folder;
    // A folder (not empty) cannot be replaced by a file.
    std::filesystem::create_directories(folder.file("tonvale.ini") / "inside");
    const std::wstring target = folder.wide("tonvale.ini");
    IniWriter writer;
    ASSERT_TRUE(writer.open(target.c_str(), IniEncoding::Utf16));
    writer.setSection("S");
    writer.writeString("k", std::wstring(30000, L'y').c_str());
    EXPECT_EQ(writer.commit(target.c_str()), -1);
    writer.close();
    EXPECT_TRUE(std::filesystem::is_directory(folder.file("tonvale.ini")));
    EXPECT_EQ(readBytes(folder.file("tonvale.tmp")).size(), 2u + 2 * (5 + 2 + 30000 + 2));
}

TEST(IniWriter, CloseWithoutCommitLeavesTargetAndTemporaryFile) {
    TempFolder folder;
    writeBytes(folder.file("tonvale.ini"), "old");
    writeBytes(folder.file("tonvale.tmp"), "an earlier temporary file, longer than the new one");
    const std::wstring target = folder.wide("tonvale.ini");
    {
        IniWriter writer;
        ASSERT_TRUE(writer.open(target.c_str(), IniEncoding::Utf16));
        writer.setSection("S");
        writer.writeString("k", L"v");
        writer.close();
        EXPECT_EQ(writer.commit(target.c_str()), -1);
    }
    EXPECT_EQ(readBytes(folder.file("tonvale.ini")), "old");
    EXPECT_EQ(readBytes(folder.file("tonvale.tmp")), "\xFF\xFE" + utf16LeBytes("[S]\r\nk=v\r\n"));
}

} // namespace
} // namespace tonvale
