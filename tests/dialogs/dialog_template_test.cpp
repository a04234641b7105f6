#include "dialogs/builder/dialog_template.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

namespace tonvale {
namespace {

uint16_t wordAt(const std::vector<unsigned char>& bytes, size_t offset) {
    uint16_t value = 0;
    std::memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}

// The title as written, read back from a buffer of exactly `size` bytes
// (the sanitizers see any write past it).
std::vector<uint16_t> writtenTitle(size_t size, const wchar_t* title, size_t* written = nullptr) {
    std::vector<unsigned char> bytes(size);
    const size_t length = writeEmptyTemplate(bytes.data(), size, title);
    if (written)
        *written = length;
    std::vector<uint16_t> units;
    for (size_t offset = kTemplateHeaderBytes; offset + 1 < length; offset += 2) {
        const uint16_t unit = wordAt(bytes, offset);
        if (unit == 0)
            break;
        units.push_back(unit);
    }
    return units;
}

TEST(EmptyTemplate, HeaderHoldsTheStyleAndNothingElse) {
    std::vector<unsigned char> bytes(64, 0xCC);
    const size_t written = writeEmptyTemplate(bytes.data(), bytes.size(), L"About");
    ASSERT_EQ(written, kTemplateHeaderBytes + 6 * 2);
    EXPECT_EQ(wordAt(bytes, 0) | wordAt(bytes, 2) << 16, 0x80C80080u);
    for (size_t offset = 4; offset < kTemplateHeaderBytes; offset += 2)
        EXPECT_EQ(wordAt(bytes, offset), 0) << offset; // no controls, place, menu or class
    EXPECT_EQ(wordAt(bytes, 22), L'A');
    EXPECT_EQ(wordAt(bytes, 30), L't');
    EXPECT_EQ(wordAt(bytes, 32), 0);
    EXPECT_EQ(bytes[34], 0xCC);

    writeEmptyTemplate(bytes.data(), bytes.size(), nullptr, kChildDialogStyle);
    EXPECT_EQ(wordAt(bytes, 0) | wordAt(bytes, 2) << 16, 0x40000400u);
    EXPECT_EQ(wordAt(bytes, 22), 0);
}

TEST(EmptyTemplate, TitleIsCutToTheBufferWithoutSplittingASurrogatePair) {
    // 30 bytes leave room for three units and the terminator.
    EXPECT_EQ(templateTitleCapacity(30), 3u);
    EXPECT_EQ(writtenTitle(30, L"abcdef"), (std::vector<uint16_t>{'a', 'b', 'c'}));
    const wchar_t pair[] = {L'a', L'b', 0xD83D, 0xDE00, 0};
    EXPECT_EQ(writtenTitle(30, pair), (std::vector<uint16_t>{'a', 'b'}));
    EXPECT_EQ(writtenTitle(32, pair), (std::vector<uint16_t>{'a', 'b', 0xD83D, 0xDE00}));
    // A high surrogate that ends the title itself was not cut from anything.
    const wchar_t trailing[] = {L'a', 0xD83D, 0};
    EXPECT_EQ(writtenTitle(30, trailing), (std::vector<uint16_t>{'a', 0xD83D}));

    size_t written = 1;
    EXPECT_TRUE(writtenTitle(24, L"abc", &written).empty());
    EXPECT_EQ(written, 24u);
    EXPECT_TRUE(writtenTitle(23, L"abc", &written).empty());
    EXPECT_EQ(written, 0u);
    EXPECT_EQ(writeEmptyTemplate(nullptr, 64, L"x"), 0u);
}

} // namespace
} // namespace tonvale
