// Reads RIFF/WAVE files held in memory: PCM 16-bit and 24-bit and 32-bit
// float, mono or stereo, also in the extensible format, and turns their frames
// into the 16-bit mono samples the engine takes.
//
// Any byte sequence is safe to parse: the reader checks every size against
// the bytes it was given and never reads outside them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tonvale {

enum class WavEncoding { pcm16, pcm24, float32 };

struct WavInfo {
    WavEncoding encoding = WavEncoding::pcm16;
    uint16_t channels = 0;         // 1 or 2
    uint32_t sampleRate = 0;       // as the header says; not checked here
    uint16_t frameBytes = 0;       // bytes per frame, all channels
    const uint8_t* data = nullptr; // first frame, inside the parsed bytes
    size_t frameCount = 0;         // whole frames in the data chunk
};

// What the reader accepts, for messages.
extern const char* const kAcceptedWavFormats;

// Parses `size` bytes. On failure returns false and sets `error` to a
// sentence for the user (without the file name).
bool parseWav(const uint8_t* bytes, size_t size, WavInfo& info, std::string& error);

// Decodes `count` frames from frame `first` (first + count <= frameCount) to
// 16-bit mono: 24-bit samples are rounded to 16 bits, float samples scaled
// by 32768, rounded and clipped, and stereo frames mixed down as a stereo
// capture is.
void decodeMonoFrames(const WavInfo& info, size_t first, size_t count, int16_t* out);

} // namespace tonvale
