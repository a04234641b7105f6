// Throughput of tonvale-analyze on a 60-second 44100 Hz stereo file: the
// "audio_s_per_cpu_s" counter is seconds of audio analysed per second of CPU.
#include "tools/analyzer/analyzer.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <streambuf>
#include <string>

namespace {

constexpr uint32_t kRate = 44100;
constexpr int kSeconds = 60;

void put(std::ofstream& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.put(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
}

std::string writeMinuteOfTone() {
    const std::string path =
        (std::filesystem::temp_directory_path() / "tonvale-bench-60s.wav").string();
    const uint32_t dataBytes = kRate * kSeconds * 4;
    std::ofstream out(path, std::ios::binary);
    out.write("RIFF", 4);
    put(out, 36 + dataBytes, 4);
    out.write("WAVEfmt ", 8);
    put(out, 16, 4);
    put(out, 1, 2);
    put(out, 2, 2);
    put(out, kRate, 4);
    put(out, kRate * 4, 4);
    put(out, 4, 2);
    put(out, 16, 2);
    out.write("data", 4);
    put(out, dataBytes, 4);
    for (uint32_t i = 0; i < kRate * kSeconds; ++i) {
        const double t = static_cast<double>(i) / kRate;
        // A slow vibrato so the readings keep changing.
        const double v = 12000.0 * std::sin(2 * M_PI * (440.0 * t + 0.5 * std::sin(2 * M_PI * t)));
        const uint32_t s = static_cast<uint16_t>(static_cast<int16_t>(v));
        put(out, s | (s << 16), 4);
    }
    return path;
}

class NullBuffer : public std::streambuf {
  protected:
    int overflow(int c) override { return c; }
    std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

void analyzerThroughput(benchmark::State& state) {
    static const std::string path = writeMinuteOfTone();
    NullBuffer sink;
    std::ostream out(&sink);
    std::vector<std::string> args = {path};
    if (state.range(0)) {
        args.insert(args.begin(), {"--harmonics", "--long-fft", "--hum", "50"});
    }
    for (auto _ : state) {
        if (tonvale::runAnalyzer(args, out, out) != 0) {
            state.SkipWithError("analyzer failed");
            return;
        }
    }
    state.counters["audio_s_per_cpu_s"] = benchmark::Counter(
        static_cast<double>(kSeconds) * state.iterations(), benchmark::Counter::kIsRate);
}

BENCHMARK(analyzerThroughput)
    ->ArgName("all_options")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond);

} // namespace
