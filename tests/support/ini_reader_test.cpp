#include "support/ini_reader.h"

#include "support/ini_file.h"
#include "support/utf16.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace tonvale {
namespace {

using testing_files::TempFolder;

// A reader over UTF-8 text (with its byte-order mark, so that the ANSI code
// page plays no part).
void loadText(IniReader& reader, const std::string& text) {
    const std::string bytes = "\xEF\xBB\xBF" + text;
    reader.loadBytes(bytes.data(), bytes.size());
}

std::wstring value(IniReader& reader, const char* key, const wchar_t* fallback = L"<none>") {
    return reader.getString(key, fallback, 256);
}

std::vector<std::wstring> namesOf(IniReader& reader) {
    wchar_t buffer[256];
    int32_t count = reader.sectionNames(buffer, 256);
    std::vector<std::wstring> names;
    for (int32_t i = 0; i < count; i += static_cast<int32_t>(names.back().size()) + 1)
        names.emplace_back(buffer + i);
    return names;
}

TEST(IniReader, ThreeEncodingsReadTheSame) {
    TempFolder folder;
    const std::string text = "; settings\r\n[Caf\xC3\xA9]\r\nName = Caf\xC3\xA9 au lait\r\nN=1\r\n";
    testing_files::writeBytes(folder.file("utf16.ini"),
                              "\xFF\xFE" + testing_files::utf16LeBytes(text));
    testing_files::writeBytes(folder.file("utf8.ini"), "\xEF\xBB\xBF" + text);
    // Without a mark the file is in the ANSI code page: UTF-8 natively, a
    // single-byte page such as 1252 on Windows.
    std::string ansi = text;
    if (ini_file::ansiCodePage() != ini_file::kUtf8CodePage) {
        ansi.clear();
        for (wchar_t c : utf8ToWide(text))
            ansi.push_back(static_cast<char>(c));
    }
    testing_files::writeBytes(folder.file("ansi.ini"), ansi);

    std::wstring first;
    for (const char* name : {"utf16.ini", "utf8.ini", "ansi.ini"}) {
        SCOPED_TRACE(name);
        IniReader reader;
        ASSERT_TRUE(reader.load(folder.wide(name).c_str()));
        ASSERT_TRUE(reader.selectSection(L"Caf\u00E9"));
        EXPECT_EQ(value(reader, "Name"), L"Caf\u00E9 au lait");
        EXPECT_EQ(reader.getInt("N", 0), 1);
        if (first.empty())
            first = reader.dump();
        EXPECT_EQ(reader.dump(), first);
    }
    EXPECT_EQ(first, L"[Caf\u00E9]\nName=Caf\u00E9 au lait\nN=1\n");
}

TEST(IniReader, ByteOrderMarkNeedsAnEvenSizeForUtf16) {
    const std::string odd = "\xFF\xFE\n[a]\nk=v\n"; // 11 bytes: not UTF-16
    IniReader reader;
    reader.loadBytes(odd.data(), odd.size());
    ASSERT_TRUE(reader.selectSection("a"));
    EXPECT_EQ(value(reader, "k"), L"v");

    std::string even = "\xFF\xFE" + testing_files::utf16LeBytes("[a]\nk=v\n");
    IniReader utf16;
    utf16.loadBytes(even.data(), even.size());
    ASSERT_TRUE(utf16.selectSection("a"));
    EXPECT_EQ(value(utf16, "k"), L"v");
}

TEST(IniReader, NormalisesBlanksCommentsAndLineEnds) {
    IniReader reader;
    loadText(reader, "\t [Main] ; a comment\r\n\r\n   ; another\n \t key \t = \t some value \t \r\n"
                     "  free text  \nk2=\n[Other");
    EXPECT_EQ(reader.dump(), L"[Main]\nkey=some value\nfree text\nk2=\n[Other]\n");
    EXPECT_EQ(namesOf(reader), (std::vector<std::wstring>{L"Main", L"Other"}));
    ASSERT_TRUE(reader.selectSection("main"));
    EXPECT_EQ(value(reader, "KEY"), L"some value");
    EXPECT_EQ(value(reader, "k2"), L"");
    EXPECT_EQ(value(reader, "free text"), L"<none>"); // a line without "=" never matches
}

TEST(IniReader, BlanksInsideAKeyAreDropped) {
    IniReader reader;
    loadText(reader, "[Tonvale]\nWindow Position = 10,20\n");
    ASSERT_TRUE(reader.selectSection("Tonvale"));
    EXPECT_EQ(value(reader, "WindowPosition"), L"10,20");
    EXPECT_EQ(value(reader, "Window Position"), L"<none>");
}

TEST(IniReader, FirstOfDuplicateSectionsWinsAndPrefixesDoNotMatch) {
    IniReader dup;
    loadText(dup, "[A]\nk=1\n[a]\nk=2\n");
    ASSERT_TRUE(dup.selectSection("A"));
    EXPECT_EQ(dup.getInt("k", 0), 1);
    ASSERT_TRUE(dup.selectSection("a"));
    EXPECT_EQ(dup.getInt("k", 0), 1);

    for (const char* text :
         {"[Tone]\nx=1\n[Tone Console]\nx=2\n", "[Tone Console]\nx=2\n[Tone]\nx=1\n"}) {
        SCOPED_TRACE(text);
        IniReader reader;
        loadText(reader, text);
        ASSERT_TRUE(reader.selectSection("Tone"));
        EXPECT_EQ(reader.getInt("x", 0), 1);
        ASSERT_TRUE(reader.selectSection(L"Tone Console"));
        EXPECT_EQ(reader.getInt("x", 0), 2);
        EXPECT_FALSE(reader.selectSection("Ton"));
        EXPECT_FALSE(reader.selectSection("Tone Consol"));
        EXPECT_EQ(reader.getInt("x", 7), 7); // a failed selection selects nothing
    }
}

TEST(IniReader, IgnoresEntriesBeforeTheFirstSection) {
    IniReader reader;
    loadText(reader, "k=0\nloose text\n[S]\nk=1\n");
    EXPECT_EQ(reader.dump(), L"[S]\nk=1\n");
    ASSERT_TRUE(reader.selectSection("S"));
    EXPECT_EQ(reader.getInt("k", 9), 1);

    IniReader none;
    EXPECT_FALSE(none.loadBytes("k=0\n", 4)); // nothing retained
    EXPECT_FALSE(none.selectSection(""));
}

TEST(IniReader, LettersCompareWithoutCaseOnlyForAscii) {
    IniReader reader;
    loadText(reader, "[\xC3\x84rger]\nSchl\xC3\xBC"
                     "ssel=1\n");
    EXPECT_FALSE(reader.selectSection(L"\u00E4rger"));
    ASSERT_TRUE(reader.selectSection(L"\u00C4RGER"));
}

TEST(IniReader, QuotesAroundAValueAreRemoved) {
    IniReader reader;
    loadText(reader,
             "[Q]\nempty=\"\"\nsingle=\"\nkept=\"  a b  \"\nopen=\"a\ninner=a\"b\"\nnum=\"-12\"\n");
    ASSERT_TRUE(reader.selectSection("Q"));
    EXPECT_EQ(value(reader, "empty"), L"");
    EXPECT_EQ(value(reader, "single"), L"\"");
    EXPECT_EQ(value(reader, "kept"), L"  a b  ");
    EXPECT_EQ(value(reader, "open"), L"\"a");
    EXPECT_EQ(value(reader, "inner"), L"a\"b\"");
    EXPECT_EQ(reader.getInt("num", 0), -12);
}

TEST(IniReader, GetIntReadsSignAndLeadingDigits) {
    IniReader reader;
    loadText(reader,
             "[N]\nplus=+\nminus=-\nneg=-5x\nlead=12abc\nempty=\nsigned=+7\n"
             "over=2147483648\nwrap=4294967297\nlow=-2147483648\nhuge=99999999999999999999\n"
             "space=- 3\n");
    ASSERT_TRUE(reader.selectSection("N"));
    EXPECT_EQ(reader.getInt("plus", 42), 42);
    EXPECT_EQ(reader.getInt("minus", 42), 42);
    EXPECT_EQ(reader.getInt("neg", 42), -5);
    EXPECT_EQ(reader.getInt("lead", 42), 12);
    EXPECT_EQ(reader.getInt("empty", 42), 42);
    EXPECT_EQ(reader.getInt("signed", 42), 7);
    EXPECT_EQ(reader.getInt("over", 42), INT32_MIN);
    EXPECT_EQ(reader.getInt("wrap", 42), 1);
    EXPECT_EQ(reader.getInt("low", 42), INT32_MIN);
    EXPECT_EQ(reader.getInt("huge", 42), 1661992959); // modulo 2^32
    EXPECT_EQ(reader.getInt("space", 42), 42);
    EXPECT_EQ(reader.getInt("missing", 42), 42);
}

TEST(IniReader, CursorSearchesOnFromTheLastHitAndWraps) {
    IniReader reader;
    loadText(reader, "[S]\na=1\nb=2\nk=first\nk=second\n[T]\na=9\n");
    ASSERT_TRUE(reader.selectSection("S"));
    EXPECT_EQ(reader.getInt("b", 0), 2);
    EXPECT_EQ(reader.getInt("a", 0), 1); // before the cursor: found after wrapping
    EXPECT_EQ(value(reader, "k"), L"first");
    EXPECT_EQ(value(reader, "k"), L"second");
    EXPECT_EQ(value(reader, "k"), L"first");
    EXPECT_EQ(value(reader, "zz"), L"<none>"); // never leaves the section
    ASSERT_TRUE(reader.selectSection("S"));    // selecting resets the cursor
    EXPECT_EQ(value(reader, "k"), L"first");
}

TEST(IniReader, EmptyKeyMatchesALineStartingWithEquals) {
    IniReader reader;
    loadText(reader, "[S]\nx=1\n = lone\n");
    ASSERT_TRUE(reader.selectSection("S"));
    EXPECT_EQ(value(reader, ""), L"lone");
}

TEST(IniReader, GetStringCutsToCapacityAndAcceptsTheBufferAsDefault) {
    IniReader reader;
    loadText(reader, "[S]\nname=abcdef\n");
    ASSERT_TRUE(reader.selectSection("S"));
    wchar_t buffer[8] = L"zzzzzzz";
    reader.getString("name", L"", buffer, 4);
    EXPECT_EQ(std::wstring(buffer), L"abc");
    reader.getString("name", L"", buffer, 0);
    EXPECT_EQ(std::wstring(buffer), L"abc");
    reader.getString("missing", L"0123456789", buffer, 8);
    EXPECT_EQ(std::wstring(buffer), L"0123456");
    reader.getString("missing", buffer, buffer, 4);
    EXPECT_EQ(std::wstring(buffer), L"012");
    reader.getString("missing", nullptr, buffer, 8);
    EXPECT_EQ(std::wstring(buffer), L"");
}

TEST(IniReader, SectionNamesNeedTwoSpareCharacters) {
    IniReader reader;
    loadText(reader, "[A]\n[BC]\nx=1\n");
    wchar_t buffer[16];
    std::fill(buffer, buffer + 16, L'#');
    EXPECT_EQ(reader.sectionNames(buffer, 6), 4); // needs 5 + 2
    EXPECT_EQ(buffer[0], L'#');
    EXPECT_EQ(reader.sectionNames(buffer, 0), -2);
    ASSERT_EQ(reader.sectionNames(buffer, 7), 5);
    EXPECT_EQ(std::wstring(buffer, 6), std::wstring(L"A\0BC\0\0", 6));

    IniReader empty;
    std::fill(buffer, buffer + 16, L'#');
    EXPECT_EQ(empty.sectionNames(buffer, 16), 0);
    EXPECT_EQ(buffer[0], L'\0');
    EXPECT_EQ(buffer[1], L'#');
}

TEST(IniReader, DeleteSectionRemovesHeaderAndBody) {
    IniReader reader;
    loadText(reader, "[A]\nk=1\n[B]\nk=2\n[A]\nk=3\n[C]\nk=4\n");
    ASSERT_TRUE(reader.selectSection("C"));
    EXPECT_TRUE(reader.deleteSection("a"));
    EXPECT_EQ(reader.getInt("k", 0), 0); // nothing selected afterwards
    EXPECT_EQ(reader.dump(), L"[B]\nk=2\n[A]\nk=3\n[C]\nk=4\n");
    ASSERT_TRUE(reader.selectSection("A"));
    EXPECT_EQ(reader.getInt("k", 0), 3);
    ASSERT_TRUE(reader.selectSection("C"));
    EXPECT_EQ(reader.getInt("k", 0), 4);
    EXPECT_TRUE(reader.deleteSection(L"C"));
    EXPECT_FALSE(reader.deleteSection("C"));
    EXPECT_EQ(namesOf(reader), (std::vector<std::wstring>{L"B", L"A"}));
}

TEST(IniReader, DumpFollowsTheTwoCallProtocol) {
    IniReader reader;
    loadText(reader, "[S]\nk=v\n");
    const std::wstring expected = L"[S]\nk=v\n";
    int32_t needed = reader.dump(nullptr, 0);
    ASSERT_EQ(needed, static_cast<int32_t>(expected.size()));
    std::vector<wchar_t> buffer(static_cast<size_t>(needed) + 1, L'#');
    EXPECT_EQ(reader.dump(buffer.data(), needed), needed); // no room for the NUL
    EXPECT_EQ(buffer[0], L'#');
    reader.dump(buffer.data(), needed + 1);
    EXPECT_EQ(std::wstring(buffer.data()), expected);

    IniReader empty;
    EXPECT_EQ(empty.dump(nullptr, 0), 0);
    EXPECT_EQ(empty.dump(), L"");
}

TEST(IniReader, MissingFilesAndSecondLoads) {
    TempFolder folder;
    IniReader reader;
    EXPECT_FALSE(reader.load(folder.wide("absent.ini").c_str()));
    EXPECT_FALSE(reader.selectSection("S"));
    EXPECT_EQ(reader.getInt("k", 5), 5);
    EXPECT_EQ(value(reader, "k", L"dflt"), L"dflt");

    testing_files::writeBytes(folder.file("empty.ini"), "");
    EXPECT_FALSE(reader.load(folder.wide("empty.ini").c_str()));
    EXPECT_FALSE(reader.load(TempFolder::widePath(folder.path()).c_str())); // a folder

    testing_files::writeBytes(folder.file("a.ini"), "[S]\nk=1\n");
    testing_files::writeBytes(folder.file("b.ini"), "[S]\nk=2\n");
    EXPECT_TRUE(reader.load(folder.wide("a.ini").c_str()));
    EXPECT_FALSE(reader.load(folder.wide("b.ini").c_str()));
    ASSERT_TRUE(reader.selectSection("S"));
    EXPECT_EQ(reader.getInt("k", 0), 1);
}

TEST(IniReader, NulEndsTheText) {
    IniReader reader;
    const std::string text("[S]\na=1\n\0[T]\nb=2\n", 18);
    loadText(reader, text);
    EXPECT_EQ(reader.dump(), L"[S]\na=1\n");
}

} // namespace
} // namespace tonvale
