#include "tools/analyzer/wav_reader.h"

#include "engine/stereo_mixdown.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace tonvale {

const char* const kAcceptedWavFormats =
    "accepted: 16-bit or 24-bit PCM, or 32-bit float; mono or stereo";

namespace {

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatFloat = 3;
constexpr uint16_t kFormatExtensible = 0xFFFE;
constexpr size_t kChunkHeaderBytes = 8;
constexpr size_t kBasicFmtBytes = 16;
constexpr size_t kExtensibleFmtBytes = 40;
// The subformat GUID of the extensible format after its leading format tag.
constexpr uint8_t kSubformatTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                        0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

uint16_t readU16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t readU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

std::string describeEncoding(uint16_t tag, uint16_t bits) {
    if (tag == kFormatPcm) {
        return std::to_string(bits) + "-bit PCM";
    }
    if (tag == kFormatFloat) {
        return std::to_string(bits) + "-bit float";
    }
    char text[48];
    std::snprintf(text, sizeof text, "format tag 0x%04X", static_cast<unsigned>(tag));
    return text;
}

bool parseFmt(const uint8_t* body, size_t bytes, WavInfo& info, std::string& error) {
    if (bytes < kBasicFmtBytes) {
        error = "malformed fmt chunk (" + std::to_string(bytes) + " bytes)";
        return false;
    }
    uint16_t tag = readU16(body);
    const uint16_t channels = readU16(body + 2);
    const uint32_t rate = readU32(body + 4);
    const uint16_t frameBytes = readU16(body + 12);
    const uint16_t bits = readU16(body + 14);
    if (tag == kFormatExtensible) {
        if (bytes < kExtensibleFmtBytes || readU16(body + 16) < 22 ||
            std::memcmp(body + 26, kSubformatTail, sizeof kSubformatTail) != 0) {
            error = "unsupported extensible format; " + std::string(kAcceptedWavFormats);
            return false;
        }
        tag = readU16(body + 24);
    }
    if (tag == kFormatPcm && bits == 16) {
        info.encoding = WavEncoding::pcm16;
    } else if (tag == kFormatPcm && bits == 24) {
        info.encoding = WavEncoding::pcm24;
    } else if (tag == kFormatFloat && bits == 32) {
        info.encoding = WavEncoding::float32;
    } else {
        error = "unsupported sample format: " + describeEncoding(tag, bits) + "; " +
                kAcceptedWavFormats;
        return false;
    }
    if (channels != 1 && channels != 2) {
        error =
            "unsupported channel count " + std::to_string(channels) + "; " + kAcceptedWavFormats;
        return false;
    }
    if (frameBytes != channels * (bits / 8)) {
        error = "malformed fmt chunk: " + std::to_string(frameBytes) + " bytes per frame for " +
                std::to_string(channels) + " channels of " + std::to_string(bits) + " bits";
        return false;
    }
    info.channels = channels;
    info.sampleRate = rate;
    info.frameBytes = frameBytes;
    return true;
}

int16_t clipToPcm16(long value) {
    return static_cast<int16_t>(value > 32767 ? 32767 : (value < -32768 ? -32768 : value));
}

int16_t decodeSample(WavEncoding encoding, const uint8_t* p) {
    switch (encoding) {
    case WavEncoding::pcm16:
        return static_cast<int16_t>(readU16(p));
    case WavEncoding::pcm24: {
        const int32_t value = static_cast<int32_t>(static_cast<uint32_t>(p[0]) << 8 |
                                                   static_cast<uint32_t>(p[1]) << 16 |
                                                   static_cast<uint32_t>(p[2]) << 24) >>
                              8;
        return clipToPcm16((value + 128) >> 8);
    }
    case WavEncoding::float32: {
        const uint32_t raw = readU32(p);
        float value = 0.0f;
        std::memcpy(&value, &raw, sizeof value);
        if (!(value == value)) {
            return 0; // NaN
        }
        const double scaled = std::nearbyint(static_cast<double>(value) * 32768.0);
        if (scaled >= 32767.0) {
            return 32767;
        }
        if (scaled <= -32768.0) {
            return -32768;
        }
        return static_cast<int16_t>(scaled);
    }
    }
    return 0;
}

} // namespace

bool parseWav(const uint8_t* bytes, size_t size, WavInfo& info, std::string& error) {
    info = {};
    if (size >= 4 && std::memcmp(bytes, "RF64", 4) == 0) {
        error = "RF64 files are not supported; use a RIFF/WAVE file";
        return false;
    }
    if (size < 12 || std::memcmp(bytes, "RIFF", 4) != 0 || std::memcmp(bytes + 8, "WAVE", 4) != 0) {
        error = "not a RIFF/WAVE file; " + std::string(kAcceptedWavFormats);
        return false;
    }
    // Writers that never came back to fill in the RIFF size leave 0 or more
    // than the file holds; then the file's own size bounds the chunks.
    size_t end = size;
    const uint64_t riffEnd = static_cast<uint64_t>(readU32(bytes + 4)) + 8;
    if (riffEnd >= 12 && riffEnd < size) {
        end = static_cast<size_t>(riffEnd);
    }
    bool haveFmt = false;
    bool haveData = false;
    size_t position = 12;
    while (end - position >= kChunkHeaderBytes && !(haveFmt && haveData)) {
        const uint8_t* header = bytes + position;
        const size_t chunkBytes = readU32(header + 4);
        const size_t body = position + kChunkHeaderBytes;
        const size_t available = end - body;
        if (std::memcmp(header, "fmt ", 4) == 0 && !haveFmt) {
            if (chunkBytes > available) {
                error = "truncated fmt chunk";
                return false;
            }
            if (!parseFmt(bytes + body, chunkBytes, info, error)) {
                return false;
            }
            haveFmt = true;
        } else if (std::memcmp(header, "data", 4) == 0 && !haveData) {
            if (chunkBytes > available) {
                error = "truncated data chunk: the header announces " + std::to_string(chunkBytes) +
                        " bytes, the file holds " + std::to_string(available);
                return false;
            }
            info.data = bytes + body;
            info.frameCount = chunkBytes; // divided once the format is known
            haveData = true;
        }
        if (chunkBytes > available) {
            break; // a trailing chunk cut short holds nothing we need
        }
        position = body + chunkBytes;
        if ((chunkBytes & 1) != 0 && position < end) {
            ++position; // pad byte
        }
    }
    if (!haveFmt) {
        error = "no fmt chunk";
        return false;
    }
    if (!haveData) {
        error = "no data chunk";
        return false;
    }
    info.frameCount /= info.frameBytes; // a partial last frame is ignored
    return true;
}

void decodeMonoFrames(const WavInfo& info, size_t first, size_t count, int16_t* out) {
    const size_t sampleBytes = info.frameBytes / info.channels;
    const uint8_t* frame = info.data + first * info.frameBytes;
    for (size_t i = 0; i < count; ++i, frame += info.frameBytes) {
        const int16_t left = decodeSample(info.encoding, frame);
        out[i] = info.channels == 2
                     ? mixStereoSample(left, decodeSample(info.encoding, frame + sampleBytes))
                     : left;
    }
}

} // namespace tonvale
