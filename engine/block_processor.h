// Everything the engine does to one captured block: decimation, hum removal,
// level, ring update, detection and the reading with its optional spectrum.
//
// The live engine thread feeds it wave-in buffers; the analyzer feeds it
// blocks of a WAV file. Set up once by start(); processBlock() never
// allocates. One thread at a time, except for the reading's busy flag.
#pragma once

#include "engine/biquad_cascade.h"
#include "engine/engine_params.h"
#include "engine/pitch_analyzer.h"
#include "engine/pitch_reading.h"

#include <cstdint>
#include <vector>

namespace tonvale {

class BlockProcessor {
  public:
    static constexpr int32_t kMaxSpectrumLength = 8192;
    static constexpr double kHumBandwidthOctaves = 0.25;

    BlockProcessor() = default;
    BlockProcessor(const BlockProcessor&) = delete;
    BlockProcessor& operator=(const BlockProcessor&) = delete;

    enum class StartResult { ok, unsupportedRate, outOfMemory };

    // Derives the rates, creates the analysis state, designs the filters,
    // allocates the work buffer and resets the reading. gSineTable must be
    // filled. After a failure nothing is held.
    StartResult start(const EngineParams& params);
    void stop();

    const EngineRates& rates() const { return rates_; }
    // D * H: the mono 16-bit samples of one block at the capture rate.
    int32_t blockSamples() const { return rates_.decimation * rates_.hop; }

    // From the next block on, attach a spectrum of `length` values' transform
    // with `count` values: length above 8192 is served as 8192 and 0 or less
    // stops attaching; other lengths round down to a power of two, at least 8.
    // count is clamped to 0 .. 512.
    void requestSpectrum(int32_t length, int32_t count);
    int32_t spectrumLength() const { return spectrumLength_; }
    int32_t spectrumCount() const { return spectrumCount_; }

    // Processes blockSamples() mono samples. Returns true when the reading
    // was filled and marked busy (hand it out); false when the reading was
    // still busy, in which case only the analysis state advanced.
    bool processBlock(const int16_t* samples);

    PitchReading& reading() { return reading_; }
    const PitchAnalyzer& analyzer() const { return analyzer_; }
    const BiquadCascade& antiAliasCascade() const { return antiAlias_; }
    const BiquadCascade& humCascade() const { return hum_; }

  private:
    bool setUpFilters(const EngineParams& params);
    double conditionBlock(const int16_t* samples);
    void fillReading(double level, double cyclesPerSample);

    EngineRates rates_;
    bool findFundamental_ = false;
    PitchAnalyzer analyzer_;
    BiquadCascade antiAlias_;
    BiquadCascade hum_;
    std::vector<float> work_;
    int32_t spectrumLength_ = 0;
    int32_t spectrumCount_ = 0;
    PitchReading reading_;
};

} // namespace tonvale
