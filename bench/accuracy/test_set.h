// The recordings of the accuracy bench: synthetic groups made here from a
// fixed seed, and the schedule of instrument notes a synthesizer renders.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tonvale::accuracy {

struct Partial {
    double freqHz = 0.0;
    double amplitude = 0.0; // full scale 1.0
    double phase = 0.0;     // radians
};

struct Recording {
    std::string name;  // file stem
    std::string group; // the table's row
    uint32_t rateHz = 44100;
    double seconds = 0.0;
    double truthHz = 0.0;
    // Readings are scored only inside this stretch, where the tone is steady.
    double segmentStartS = 0.0;
    double segmentEndS = 0.0;
    double humHz = 0.0;         // mains frequency of the hum the tuner is told to remove; 0: none
    double sineAmplitude = 0.0; // a lone sine's amplitude, for its estimation bound; 0 otherwise
    double noiseRms = 0.0;      // white Gaussian noise added (quantization comes on top)
    std::vector<Partial> partials;
    std::string detail; // what a reader of the manifest wants to know
};

constexpr uint64_t kTestSetSeed = 17;

std::vector<Recording> syntheticRecordings(uint64_t seed);

// Mono 16-bit samples of a synthetic recording; the noise is drawn from a
// generator seeded from the recording's name, so files do not depend on
// their order.
std::vector<int16_t> renderRecording(const Recording& recording);

// RMS of the rounding to 16 bits, full scale 1.0.
constexpr double kQuantizationRms = 1.0 / 32768 / 3.4641016151377544; // LSB / sqrt(12)

struct InstrumentNote {
    std::string instrument; // file-name friendly
    int program = 0;        // General MIDI program, from 0
    int midiNote = 69;
};

// Every note sounds alone in a slot of its own.
constexpr double kSlotSeconds = 5.0;
constexpr double kNoteSeconds = 3.5;
constexpr double kInstrumentSegmentStartS = 1.0;
constexpr double kInstrumentSegmentEndS = 3.0;
constexpr uint32_t kInstrumentRateHz = 44100;

std::vector<InstrumentNote> instrumentNotes();

std::string noteName(int midiNote); // "Bb3"
double nominalHz(int midiNote);     // equal temperament, A4 = 440 Hz

} // namespace tonvale::accuracy
