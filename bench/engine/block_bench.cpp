// Cost of one block through the block processor: decimation, hum notch,
// level, ring, transform, phase refinement and (optionally) the harmonic
// scores. The steady state is measured: one transform per block.
#include "engine/block_processor.h"
#include "engine/sine_table.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

using tonvale::BlockProcessor;
using tonvale::EngineParams;

constexpr double kToneHz = 196.0;

// Args: capture rate, long transform (0/1), harmonics (0/1), spectrum length (0 = none).
void blockCost(benchmark::State& state) {
    tonvale::fillSineTable();
    EngineParams params;
    params.sampleRate = static_cast<uint32_t>(state.range(0));
    params.useLongFFT = static_cast<uint8_t>(state.range(1));
    params.findFundamental = static_cast<int16_t>(state.range(2));
    params.humFrequency = 50.0f;
    BlockProcessor processor;
    if (processor.start(params) != BlockProcessor::StartResult::ok) {
        state.SkipWithError("start failed");
        return;
    }
    if (state.range(3) > 0) {
        processor.requestSpectrum(static_cast<int32_t>(state.range(3)), 512);
    }
    // Ten blocks of a tone with harmonics and hum, played in a loop; the
    // frequencies are whole cycles per loop so the seam is seamless.
    const size_t blockSamples = static_cast<size_t>(processor.blockSamples());
    std::vector<int16_t> tone(blockSamples * 10);
    const double loopSeconds = static_cast<double>(tone.size()) / params.sampleRate;
    const double humHz = std::round(50.0 * loopSeconds) / loopSeconds;
    const double toneHz = std::round(kToneHz * loopSeconds) / loopSeconds;
    for (size_t i = 0; i < tone.size(); ++i) {
        const double t = static_cast<double>(i) / params.sampleRate;
        double v = 3000.0 * std::sin(2 * M_PI * humHz * t);
        for (int h = 1; h <= 5; ++h) {
            v += 8000.0 / h * std::sin(2 * M_PI * toneHz * h * t);
        }
        tone[i] = static_cast<int16_t>(v);
    }
    size_t next = 0;
    for (int warm = 0; warm < 10; ++warm) {
        processor.processBlock(tone.data() + (next++ % 10) * blockSamples);
        processor.reading().busy.store(0);
    }
    for (auto _ : state) {
        processor.processBlock(tone.data() + (next++ % 10) * blockSamples);
        processor.reading().busy.store(0);
    }
    if (std::fabs(processor.reading().frequency - kToneHz) > 1.0) {
        state.SkipWithError("the tone was not found");
    }
}

void blockArguments(benchmark::internal::Benchmark* b) {
    b->ArgNames({"rate", "long", "harmonics", "spectrum"});
    for (int64_t rate : {44100, 96000}) {
        for (int64_t longFft : {0, 1}) {
            for (int64_t harmonics : {0, 1}) {
                b->Args({rate, longFft, harmonics, 0});
            }
        }
    }
    b->Args({96000, 1, 1, 8192}); // worst case plus the spectrum window's largest request
}

BENCHMARK(blockCost)->Apply(blockArguments)->Unit(benchmark::kMicrosecond);

} // namespace
