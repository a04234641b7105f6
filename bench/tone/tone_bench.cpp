// What one 50 ms wave-out buffer of the reference tone costs to synthesise:
// a sustained note, and the busiest moment, a note change during a level
// change (three voices).
#include "tone/tone_synth.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace tonvale {
namespace {

void sustainedNote(benchmark::State& state) {
    ToneSynth synth(44100, 0, 440.0, 0.5);
    std::vector<int16_t> buffer(synth.timing().bufferSamples);
    for (auto _ : state) {
        synth.render(buffer.data(), static_cast<uint32_t>(buffer.size()));
        benchmark::DoNotOptimize(buffer.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(buffer.size()));
}
BENCHMARK(sustainedNote);

void threeVoices(benchmark::State& state) {
    ToneSynth synth(44100, 0, 440.0, 0.5);
    std::vector<int16_t> buffer(synth.timing().bufferSamples);
    double frequency = 440.0;
    for (auto _ : state) {
        state.PauseTiming();
        synth.fadeOutAll();
        synth.render(buffer.data(), static_cast<uint32_t>(buffer.size()));
        synth.setGain(0.5);
        synth.setFrequency(frequency);
        synth.setGain(0.25);
        synth.setFrequency(frequency = frequency == 440.0 ? 660.0 : 440.0);
        state.ResumeTiming();
        synth.render(buffer.data(), static_cast<uint32_t>(buffer.size()));
        benchmark::DoNotOptimize(buffer.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(buffer.size()));
}
BENCHMARK(threeVoices);

} // namespace
} // namespace tonvale
