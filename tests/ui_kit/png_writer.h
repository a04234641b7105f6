// A minimal PNG encoder for screenshots: 8-bit RGB, no filtering, the image
// data in stored (uncompressed) deflate blocks. Files are larger than they
// need be, but any viewer reads them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tonvale::uikit {

// rgb: `height` rows top to bottom, each `width` pixels of 3 bytes (R, G, B).
std::vector<uint8_t> encodePng(const uint8_t* rgb, int width, int height);

// The checksums PNG and zlib use; continue a running value by passing it in.
uint32_t crc32(const uint8_t* data, size_t length, uint32_t crc = 0);
uint32_t adler32(const uint8_t* data, size_t length, uint32_t adler = 1);

} // namespace tonvale::uikit
