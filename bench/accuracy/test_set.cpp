#include "bench/accuracy/test_set.h"

#include "bench/accuracy/bench_random.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tonvale::accuracy {
namespace {

constexpr double kTwoPi = 6.283185307179586;
constexpr double kSeconds = 3.2;
constexpr double kSegmentStartS = 1.0;       // the long transform's frame is full by then
constexpr double kHighestPartialHz = 4800.0; // below the tuner's anti-aliasing edge at 11025 Hz

double fromDb(double db) {
    return std::pow(10.0, db / 20.0);
}

std::string numbered(const char* group, int index) {
    char text[64];
    std::snprintf(text, sizeof text, "%s-%02d", group, index);
    return text;
}

std::string format(const char* pattern, double a, double b = 0.0) {
    char text[128];
    std::snprintf(text, sizeof text, pattern, a, b);
    return text;
}

Recording baseRecording(const char* group, int index) {
    Recording r;
    r.name = numbered(group, index);
    r.group = group;
    r.rateHz = index % 2 == 0 ? 44100 : 48000;
    r.seconds = kSeconds;
    r.segmentStartS = kSegmentStartS;
    r.segmentEndS = kSeconds;
    return r;
}

Recording sine(BenchRandom& random, const char* group, int index, bool noisy) {
    Recording r = baseRecording(group, index);
    r.truthHz = random.logUniform(27.5, 4186.0);
    const double levelDb = random.uniform(-40.0, -6.0);
    r.sineAmplitude = fromDb(levelDb);
    r.partials.push_back({r.truthHz, r.sineAmplitude, random.uniform(0.0, kTwoPi)});
    r.detail = format("%.4f Hz, %.1f dBFS", r.truthHz, levelDb);
    if (noisy) {
        // Signal-to-noise ratio over the whole capture band.
        const double snrDb = random.uniform(10.0, 30.0);
        r.noiseRms = r.sineAmplitude / std::sqrt(2.0) * fromDb(-snrDb);
        r.detail += format(", SNR %.1f dB", snrDb);
    }
    return r;
}

// Partials 1..K of f0 with the given relative amplitudes, scaled so that the
// strongest reaches `peak`, with random phases.
void addHarmonics(Recording& r, BenchRandom& random, double f0, const std::vector<double>& relative,
                  double peak) {
    const double strongest = *std::max_element(relative.begin(), relative.end());
    for (size_t k = 0; k < relative.size(); ++k) {
        if (relative[k] > 0.0) {
            r.partials.push_back({f0 * static_cast<double>(k + 1), peak * relative[k] / strongest,
                                  random.uniform(0.0, kTwoPi)});
        }
    }
}

int partialCount(double f0) {
    return std::min(16, static_cast<int>(kHighestPartialHz / f0));
}

// A spectral envelope peaking at partial `strongest`, falling 9 dB an octave
// below it and 12 dB an octave above, with +-2 dB of random ripple, as a
// resonating body gives.
std::vector<double> formantSpectrum(BenchRandom& random, double f0, int strongest) {
    std::vector<double> relative;
    for (int k = 1; k <= partialCount(f0); ++k) {
        const double octaves = std::log2(static_cast<double>(k) / strongest);
        const double envelopeDb = octaves < 0.0 ? 9.0 * octaves : -12.0 * octaves;
        relative.push_back(fromDb(envelopeDb + random.uniform(-2.0, 2.0)));
    }
    return relative;
}

Recording harmonic(BenchRandom& random, int index) {
    Recording r = baseRecording("harmonic", index);
    r.truthHz = random.logUniform(41.2, 1046.5);
    const int count = partialCount(r.truthHz);
    const int strongest = 1 + random.below(std::min(6, count));
    addHarmonics(r, random, r.truthHz, formantSpectrum(random, r.truthHz, strongest),
                 fromDb(random.uniform(-30.0, -12.0)));
    r.detail = format("%.4f Hz, strongest partial %.0f", r.truthHz, strongest);
    return r;
}

// Partials falling off as 1/k (+-3 dB) with the fundamental `fundamentalDb`
// below the strongest of the others, or absent.
Recording weakFundamental(BenchRandom& random, const char* group, int index, bool missing) {
    Recording r = baseRecording(group, index);
    r.truthHz = random.logUniform(missing ? 82.4 : 55.0, 880.0);
    std::vector<double> relative;
    for (int k = 1; k <= std::max(4, partialCount(r.truthHz)); ++k) {
        relative.push_back(fromDb(random.uniform(-3.0, 3.0)) / k);
    }
    const double others = *std::max_element(relative.begin() + 1, relative.end());
    const double fundamentalDb = random.uniform(-30.0, -20.0);
    relative[0] = missing ? 0.0 : others * fromDb(fundamentalDb);
    addHarmonics(r, random, r.truthHz, relative, fromDb(random.uniform(-30.0, -12.0)));
    r.detail = missing ? format("%.4f Hz, no fundamental", r.truthHz)
                       : format("%.4f Hz, fundamental %.1f dB", r.truthHz, fundamentalDb);
    return r;
}

// A harmonic tone over mains hum with its second and third harmonics.
Recording hum(BenchRandom& random, int index) {
    Recording r = baseRecording("hum", index);
    r.humHz = index % 4 < 2 ? 50.0 : 60.0;
    r.truthHz = random.logUniform(82.4, 1046.5);
    const int count = partialCount(r.truthHz);
    const int strongest = 1 + random.below(std::min(3, count));
    addHarmonics(r, random, r.truthHz, formantSpectrum(random, r.truthHz, strongest),
                 fromDb(random.uniform(-30.0, -12.0)));
    double tonePower = 0.0;
    for (const Partial& p : r.partials) {
        tonePower += p.amplitude * p.amplitude / 2.0;
    }
    const double humDb = random.uniform(-10.0, 6.0);
    const double humAmplitude = std::sqrt(2.0 * tonePower) * fromDb(humDb);
    r.partials.push_back({r.humHz, humAmplitude, random.uniform(0.0, kTwoPi)});
    r.partials.push_back({2 * r.humHz, humAmplitude * fromDb(-12.0), random.uniform(0.0, kTwoPi)});
    r.partials.push_back({3 * r.humHz, humAmplitude * fromDb(-18.0), random.uniform(0.0, kTwoPi)});
    r.detail = format("%.4f Hz, hum %.1f dB", r.truthHz, humDb) + format(" at %.0f Hz", r.humHz);
    return r;
}

uint64_t nameSeed(const std::string& name) {
    uint64_t hash = 14695981039346656037ull; // FNV-1a
    for (unsigned char c : name) {
        hash = (hash ^ c) * 1099511628211ull;
    }
    return hash;
}

} // namespace

std::vector<Recording> syntheticRecordings(uint64_t seed) {
    BenchRandom random(seed);
    std::vector<Recording> set;
    for (int i = 0; i < 40; ++i) {
        set.push_back(sine(random, "sine", i, false));
    }
    for (int i = 0; i < 40; ++i) {
        set.push_back(sine(random, "noisy-sine", i, true));
    }
    for (int i = 0; i < 40; ++i) {
        set.push_back(harmonic(random, i));
    }
    for (int i = 0; i < 30; ++i) {
        set.push_back(weakFundamental(random, "weak-fundamental", i, false));
    }
    for (int i = 0; i < 30; ++i) {
        set.push_back(weakFundamental(random, "missing-fundamental", i, true));
    }
    for (int i = 0; i < 30; ++i) {
        set.push_back(hum(random, i));
    }
    return set;
}

std::vector<int16_t> renderRecording(const Recording& recording) {
    BenchRandom noise(nameSeed(recording.name));
    const size_t count = static_cast<size_t>(std::lround(recording.seconds * recording.rateHz));
    std::vector<int16_t> samples(count);
    for (size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / recording.rateHz;
        double v = 0.0;
        for (const Partial& p : recording.partials) {
            v += p.amplitude * std::sin(kTwoPi * p.freqHz * t + p.phase);
        }
        if (recording.noiseRms > 0.0) {
            v += recording.noiseRms * noise.gaussian();
        }
        const double scaled = std::round(v * 32768.0);
        samples[i] = static_cast<int16_t>(std::clamp(scaled, -32768.0, 32767.0));
    }
    return samples;
}

std::vector<InstrumentNote> instrumentNotes() {
    struct Family {
        const char* name;
        int program;
        std::vector<int> notes;
    };
    // Notes spread over each instrument's usual range (sounding pitch).
    const std::vector<Family> families = {
        {"piano", 0, {33, 45, 57, 64, 69, 76, 84, 93}},
        {"nylon-guitar", 24, {40, 45, 50, 55, 59, 64, 69, 76}},
        {"acoustic-bass", 32, {28, 33, 38, 43, 48, 55}},
        {"electric-bass", 33, {28, 33, 38, 43, 48, 55}},
        {"violin", 40, {55, 62, 69, 76, 83, 88}},
        {"cello", 42, {36, 43, 50, 57, 64, 69}},
        {"trumpet", 56, {55, 58, 62, 65, 70, 74, 77}},
        {"trombone", 57, {40, 46, 52, 58, 62, 65}},
        {"tuba", 58, {29, 34, 41, 46, 50}},
        {"french-horn", 60, {41, 48, 53, 57, 62, 67}},
        {"alto-sax", 65, {49, 55, 60, 65, 72, 77}},
        {"oboe", 68, {58, 65, 70, 77, 84, 89}},
        {"bassoon", 70, {34, 41, 46, 53, 60, 65}},
        {"clarinet", 71, {50, 55, 62, 67, 74, 81}},
        {"flute", 73, {60, 67, 72, 79, 84, 93}},
    };
    std::vector<InstrumentNote> notes;
    for (const Family& family : families) {
        for (int note : family.notes) {
            notes.push_back({family.name, family.program, note});
        }
    }
    return notes;
}

std::string noteName(int midiNote) {
    static const char* const kNames[] = {"C",  "Db", "D",  "Eb", "E",  "F",
                                         "F#", "G",  "Ab", "A",  "Bb", "B"};
    return kNames[midiNote % 12] + std::to_string(midiNote / 12 - 1);
}

double nominalHz(int midiNote) {
    return 440.0 * std::pow(2.0, (midiNote - 69) / 12.0);
}

} // namespace tonvale::accuracy
