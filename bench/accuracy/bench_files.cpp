#include "bench/accuracy/bench_files.h"

#include <cmath>
#include <fstream>
#include <sstream>

namespace tonvale::accuracy {
namespace {

void putLe(std::string& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

void putBe(std::string& out, uint32_t value, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) {
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

void putVariableLength(std::string& out, uint32_t value) {
    std::string bytes(1, static_cast<char>(value & 0x7F));
    while ((value >>= 7) != 0) {
        bytes.insert(bytes.begin(), static_cast<char>((value & 0x7F) | 0x80));
    }
    out += bytes;
}

void putEvent(std::string& track, uint32_t delta, std::initializer_list<int> bytes) {
    putVariableLength(track, delta);
    for (int b : bytes) {
        track += static_cast<char>(b);
    }
}

} // namespace

bool writeWav16(const std::string& path, uint32_t rateHz, uint16_t channels,
                const std::vector<int16_t>& samples) {
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
    std::string out = "RIFF";
    putLe(out, 36 + dataBytes, 4);
    out += "WAVEfmt ";
    putLe(out, 16, 4);
    putLe(out, 1, 2); // PCM
    putLe(out, channels, 2);
    putLe(out, rateHz, 4);
    putLe(out, rateHz * channels * 2, 4);
    putLe(out, channels * 2u, 2);
    putLe(out, 16, 2);
    out += "data";
    putLe(out, dataBytes, 4);
    for (int16_t s : samples) {
        putLe(out, static_cast<uint16_t>(s), 2);
    }
    return writeText(path, out);
}

std::string midiFileBytes(const std::vector<InstrumentNote>& notes) {
    constexpr int kTicksPerBeat = 480; // 120 beats a minute: 960 ticks a second
    constexpr int kVelocity = 96;
    const uint32_t slotTicks = static_cast<uint32_t>(std::lround(kSlotSeconds * 960));
    const uint32_t noteTicks = static_cast<uint32_t>(std::lround(kNoteSeconds * 960));
    std::string track;
    putEvent(track, 0, {0xB0, 7, 100});  // channel volume
    putEvent(track, 0, {0xB0, 11, 127}); // expression
    putEvent(track, 0, {0xB0, 1, 0});    // no modulation (vibrato)
    uint32_t pending = 0;
    for (const InstrumentNote& note : notes) {
        putEvent(track, pending, {0xC0, note.program});
        putEvent(track, 0, {0x90, note.midiNote, kVelocity});
        putEvent(track, noteTicks, {0x80, note.midiNote, 0});
        pending = slotTicks - noteTicks;
    }
    putEvent(track, pending, {0xFF, 0x2F, 0}); // end of track
    std::string file = "MThd";
    putBe(file, 6, 4);
    putBe(file, 0, 2); // format 0
    putBe(file, 1, 2);
    putBe(file, kTicksPerBeat, 2);
    file += "MTrk";
    putBe(file, static_cast<uint32_t>(track.size()), 4);
    return file + track;
}

bool writeText(const std::string& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary);
    file << text;
    return static_cast<bool>(file.flush());
}

std::vector<std::string> splitTabs(const std::string& line) {
    std::vector<std::string> cells;
    std::istringstream stream(line);
    std::string cell;
    while (std::getline(stream, cell, '\t')) {
        cells.push_back(cell);
    }
    return cells;
}

} // namespace tonvale::accuracy
