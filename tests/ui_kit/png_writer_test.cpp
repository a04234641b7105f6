#include "tests/ui_kit/png_writer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#if TONVALE_HAVE_ZLIB
#include <zlib.h>
#endif

namespace tonvale::uikit {
namespace {

uint32_t bigEndianAt(const std::vector<uint8_t>& bytes, size_t offset) {
    return uint32_t{bytes[offset]} << 24 | uint32_t{bytes[offset + 1]} << 16 |
           uint32_t{bytes[offset + 2]} << 8 | bytes[offset + 3];
}

TEST(PngWriter, ChecksumsMatchTheirPublishedValues) {
    const std::string iend = "IEND";
    EXPECT_EQ(crc32(reinterpret_cast<const uint8_t*>(iend.data()), iend.size()), 0xAE426082u);
    const std::string wiki = "Wikipedia";
    EXPECT_EQ(adler32(reinterpret_cast<const uint8_t*>(wiki.data()), wiki.size()), 0x11E60398u);
}

TEST(PngWriter, ImageDataInflatesToTheRowsWithTheirFilterBytes) {
    // 200 x 120 RGB needs two stored blocks (72120 bytes with filter bytes).
    const int width = 200, height = 120;
    std::vector<uint8_t> rgb(static_cast<size_t>(width) * height * 3);
    for (size_t i = 0; i < rgb.size(); ++i)
        rgb[i] = static_cast<uint8_t>(i * 7);
    const std::vector<uint8_t> png = encodePng(rgb.data(), width, height);

    ASSERT_GT(png.size(), 33u);
    EXPECT_EQ(std::memcmp(png.data(), "\x89PNG\r\n\x1A\n", 8), 0);
    EXPECT_EQ(bigEndianAt(png, 8), 13u);
    EXPECT_EQ(std::memcmp(png.data() + 12, "IHDR", 4), 0);
    EXPECT_EQ(bigEndianAt(png, 16), 200u);
    EXPECT_EQ(bigEndianAt(png, 20), 120u);
    EXPECT_EQ(bigEndianAt(png, 29), crc32(png.data() + 12, 17));
    const uint32_t idatLength = bigEndianAt(png, 33);
    EXPECT_EQ(std::memcmp(png.data() + 37, "IDAT", 4), 0);
    EXPECT_EQ(std::memcmp(png.data() + png.size() - 8, "IEND", 4), 0);
    EXPECT_EQ(png.size(), 8 + 25 + 12 + idatLength + 12);

#if TONVALE_HAVE_ZLIB
    std::vector<uint8_t> inflated((rgb.size() / height + 1) * height);
    uLongf inflatedLength = inflated.size();
    ASSERT_EQ(uncompress(inflated.data(), &inflatedLength, png.data() + 41, idatLength), Z_OK);
    ASSERT_EQ(inflatedLength, inflated.size());
    for (int y = 0; y < height; ++y) {
        const size_t row = static_cast<size_t>(y) * (width * 3 + 1);
        ASSERT_EQ(inflated[row], 0);
        ASSERT_EQ(
            std::memcmp(&inflated[row + 1], &rgb[static_cast<size_t>(y) * width * 3], width * 3),
            0);
    }
#endif
    EXPECT_TRUE(encodePng(rgb.data(), 0, 5).empty());
}

} // namespace
} // namespace tonvale::uikit
