// The files the bench writes: 16-bit PCM WAV, a Standard MIDI File of the
// instrument notes, and tab-separated tables.
#pragma once

#include "bench/accuracy/test_set.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tonvale::accuracy {

// `samples` interleaved; false when the file cannot be written.
bool writeWav16(const std::string& path, uint32_t rateHz, uint16_t channels,
                const std::vector<int16_t>& samples);

// One track at 120 beats a minute: each note in its slot of kSlotSeconds,
// held for kNoteSeconds, after a program change, on channel 1.
std::string midiFileBytes(const std::vector<InstrumentNote>& notes);

bool writeText(const std::string& path, const std::string& text);

// Splits a line at tabs.
std::vector<std::string> splitTabs(const std::string& line);

} // namespace tonvale::accuracy
