// The reference tone's sound: oscillator voices that cross-fade over 50 ms
// whenever the note or the level changes, mixed into 16-bit mono samples.
//
// Each voice is a second-order recurrence y[k+1] = 2c*y[k] - y[k-1] kept in
// extended precision, so a tone keeps its amplitude and phase for as long as
// it plays. Voices live on the process heap (voice_heap.h); a voice
// that cannot be allocated leaves the sound as it was. One thread at a time;
// render() never allocates.
#pragma once

#include "tone/voice_heap.h"

#include <cstddef>
#include <cstdint>

namespace tonvale {

// Values derived from the stream's nominal rate and the clock correction.
struct ToneTiming {
    double effectiveRate = 0.0; // rate * 2^(clockAdjust / 120000)
    uint32_t bufferSamples = 0; // (rate + 10) / 20: one wave-out buffer, about 50 ms
    uint32_t rampSamples = 0;   // rate / 20: every fade lasts 50 ms
};
ToneTiming toneTiming(int32_t sampleRate, int16_t clockAdjust);

// The phase step of a frequency at an effective rate, halved until it is no
// more than 0.5: a tone above the Nyquist frequency sounds octaves lower.
double foldedPhaseStep(double frequencyHz, double effectiveRate);

// One mixed value (full scale 1.0) as a 16-bit sample, rounded to nearest
// and clipped to -32768 ... 32767.
int16_t toSample(float mixed);

class ToneSynth {
  public:
    // Gain 1.0 plays at 127/128 of full scale, so a tone never clips.
    static constexpr float kHeadroom = 0.9921875f;
    static constexpr uint32_t kChunkSamples = 1024;

    // sampleRate > 0. A frequency of 0 or less starts silent; gain is linear,
    // 0 ... 1.
    ToneSynth(int32_t sampleRate, int16_t clockAdjust, double frequencyHz, double gain,
              VoiceHeap heap = processVoiceHeap());
    ~ToneSynth();
    ToneSynth(const ToneSynth&) = delete;
    ToneSynth& operator=(const ToneSynth&) = delete;

    // The sounding voice fades out and, for a frequency above 0, a new one
    // fades in over the same ramp. When the new voice cannot be allocated
    // nothing changes.
    void setFrequency(double frequencyHz);
    // Later voices play at this gain; a sounding voice of another gain is
    // continued seamlessly by a voice of the new gain, the two cross-fading.
    void setGain(double gain);
    // Every sounding voice fades out; silent() once the ramp has played.
    void fadeOutAll();

    // Synthesises count samples.
    void render(int16_t* samples, uint32_t count);

    bool silent() const { return voices_ == nullptr; }
    size_t voiceCount() const;
    const ToneTiming& timing() const { return timing_; }
    float currentGain() const { return gain_; }

  private:
    struct Voice;

    Voice* newVoice();
    void renderChunk(int16_t* samples, uint32_t count);
    void renderVoice(Voice& voice, uint32_t count);

    ToneTiming timing_;
    VoiceHeap heap_;
    float gain_ = 0.0f;
    Voice* voices_ = nullptr; // newest first
    float mix_[kChunkSamples] = {};
    float raw_[kChunkSamples] = {};
};

} // namespace tonvale
