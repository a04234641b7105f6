// Writes test WAV files byte by byte, independently of the analyzer's reader.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace tonvale::test {

enum class WavKind { pcm16, pcm24, float32, pcm8, extensiblePcm16 };

struct WavLayout {
    uint32_t rate = 44100;
    uint16_t channels = 1;
    WavKind kind = WavKind::pcm16;
};

inline void putU16(std::string& s, uint32_t v) {
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>((v >> 8) & 0xFF);
}

inline void putU32(std::string& s, uint32_t v) {
    putU16(s, v & 0xFFFF);
    putU16(s, v >> 16);
}

inline uint16_t bitsOf(WavKind kind) {
    switch (kind) {
    case WavKind::pcm24:
        return 24;
    case WavKind::float32:
        return 32;
    case WavKind::pcm8:
        return 8;
    default:
        return 16;
    }
}

// `samples` are interleaved, full scale 1.0.
inline std::string encodeSamples(const WavLayout& layout, const std::vector<double>& samples) {
    std::string data;
    for (double v : samples) {
        switch (layout.kind) {
        case WavKind::pcm24: {
            const long q =
                std::lround(std::fmax(-1.0, std::fmin(v, 8388607.0 / 8388608.0)) * 8388608.0);
            const uint32_t u = static_cast<uint32_t>(q);
            data += static_cast<char>(u & 0xFF);
            data += static_cast<char>((u >> 8) & 0xFF);
            data += static_cast<char>((u >> 16) & 0xFF);
            break;
        }
        case WavKind::float32: {
            const float f = static_cast<float>(v);
            uint32_t u = 0;
            static_assert(sizeof f == sizeof u);
            std::memcpy(&u, &f, sizeof u);
            putU32(data, u);
            break;
        }
        case WavKind::pcm8:
            data += static_cast<char>(128 + std::lround(std::fmax(-1.0, std::fmin(v, 0.99)) * 127));
            break;
        default:
            putU16(data, static_cast<uint16_t>(static_cast<int16_t>(std::lround(
                             std::fmax(-1.0, std::fmin(v, 32767.0 / 32768.0)) * 32768.0))));
        }
    }
    return data;
}

inline std::string makeWav(const WavLayout& layout, const std::vector<double>& samples) {
    const uint16_t bits = bitsOf(layout.kind);
    const uint16_t frameBytes = static_cast<uint16_t>(layout.channels * bits / 8);
    const std::string data = encodeSamples(layout, samples);
    std::string fmt;
    const bool extensible = layout.kind == WavKind::extensiblePcm16;
    putU16(fmt, extensible ? 0xFFFE : (layout.kind == WavKind::float32 ? 3 : 1));
    putU16(fmt, layout.channels);
    putU32(fmt, layout.rate);
    putU32(fmt, layout.rate * frameBytes);
    putU16(fmt, frameBytes);
    putU16(fmt, bits);
    if (extensible) {
        putU16(fmt, 22);
        putU16(fmt, bits);
        putU32(fmt, layout.channels == 2 ? 3 : 4);
        const unsigned char guid[16] = {0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00,
                                        0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
        fmt.append(reinterpret_cast<const char*>(guid), 16);
    }
    std::string file = "RIFF";
    putU32(file, static_cast<uint32_t>(4 + 8 + fmt.size() + 8 + data.size()));
    file += "WAVEfmt ";
    putU32(file, static_cast<uint32_t>(fmt.size()));
    file += fmt;
    file += "data";
    putU32(file, static_cast<uint32_t>(data.size()));
    file += data;
    return file;
}

// `path` is UTF-8.
inline void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(std::filesystem::u8path(path), std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

} // namespace tonvale::test
