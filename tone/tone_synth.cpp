#include "tone/tone_synth.h"

#include "engine/pi.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace tonvale {

struct ToneSynth::Voice {
    Voice* next = nullptr;
    long double coefficient = 0.0L; // cos(2 pi phi)
    long double current = 0.0L;     // next value to emit
    long double previous = 0.0L;
    float gain = 0.0f;
    int32_t attackRemaining = 0;
    int32_t releaseRemaining = -1; // -1 while the voice sustains
};

namespace {
constexpr int32_t kSustaining = -1;
} // namespace

ToneTiming toneTiming(int32_t sampleRate, int16_t clockAdjust) {
    ToneTiming timing;
    timing.effectiveRate = sampleRate * std::pow(2.0, clockAdjust / 120000.0);
    // At least one sample each, so that no rate divides by a zero ramp.
    timing.bufferSamples = static_cast<uint32_t>(std::max((sampleRate + 10) / 20, 1));
    timing.rampSamples = static_cast<uint32_t>(std::max(sampleRate / 20, 1));
    return timing;
}

double foldedPhaseStep(double frequencyHz, double effectiveRate) {
    double phase = frequencyHz / effectiveRate;
    while (phase > 0.5) {
        phase *= 0.5;
    }
    return phase;
}

int16_t toSample(float mixed) {
    const double x = mixed;
    if (x >= 32767.0 / 32768.0) {
        return 32767;
    }
    if (x <= -1.0) {
        return -32768;
    }
    return static_cast<int16_t>(std::floor((x + 1.0) * 32768.0 + 0.5) - 32768.0);
}

ToneSynth::ToneSynth(int32_t sampleRate, int16_t clockAdjust, double frequencyHz, double gain,
                     VoiceHeap heap)
    : timing_(toneTiming(sampleRate, clockAdjust)), heap_(heap),
      gain_(static_cast<float>(gain) * kHeadroom) {
    setFrequency(frequencyHz);
}

ToneSynth::~ToneSynth() {
    while (Voice* voice = voices_) {
        voices_ = voice->next;
        voice->~Voice();
        heap_.release(voice);
    }
}

ToneSynth::Voice* ToneSynth::newVoice() {
    void* block = heap_.allocate(sizeof(Voice));
    if (!block) {
        return nullptr;
    }
    Voice* voice = new (block) Voice;
    voice->gain = gain_;
    voice->attackRemaining = static_cast<int32_t>(timing_.rampSamples);
    voice->releaseRemaining = kSustaining;
    voice->next = voices_;
    return voice;
}

void ToneSynth::setFrequency(double frequencyHz) {
    Voice* voice = nullptr;
    if (frequencyHz > 0.0) {
        voice = newVoice();
        if (!voice) {
            return;
        }
        const long double phase = foldedPhaseStep(frequencyHz, timing_.effectiveRate);
        voice->coefficient = std::cos(2.0L * kPiExtended * phase);
        voice->current = 1.0L;
        voice->previous = voice->coefficient;
    }
    if (voices_ && voices_->releaseRemaining == kSustaining) {
        voices_->releaseRemaining = static_cast<int32_t>(timing_.rampSamples);
    }
    if (voice) {
        voices_ = voice;
    }
}

void ToneSynth::setGain(double gain) {
    gain_ = static_cast<float>(gain) * kHeadroom;
    Voice* sounding = voices_;
    if (!sounding || sounding->releaseRemaining != kSustaining || sounding->gain == gain_) {
        return;
    }
    Voice* voice = newVoice();
    if (!voice) {
        return;
    }
    // The same oscillator state: the two voices emit identical samples, so
    // only the level moves during the cross-fade.
    voice->coefficient = sounding->coefficient;
    voice->current = sounding->current;
    voice->previous = sounding->previous;
    sounding->releaseRemaining = static_cast<int32_t>(timing_.rampSamples);
    voices_ = voice;
}

void ToneSynth::fadeOutAll() {
    for (Voice* voice = voices_; voice; voice = voice->next) {
        if (voice->releaseRemaining == kSustaining) {
            voice->releaseRemaining = static_cast<int32_t>(timing_.rampSamples);
        }
    }
}

size_t ToneSynth::voiceCount() const {
    size_t count = 0;
    for (const Voice* voice = voices_; voice; voice = voice->next) {
        ++count;
    }
    return count;
}

void ToneSynth::render(int16_t* samples, uint32_t count) {
    while (count > 0) {
        const uint32_t length = std::min(count, kChunkSamples);
        renderChunk(samples, length);
        samples += length;
        count -= length;
    }
}

void ToneSynth::renderChunk(int16_t* samples, uint32_t count) {
    std::fill(mix_, mix_ + count, 0.0f);
    Voice** link = &voices_;
    while (Voice* voice = *link) {
        renderVoice(*voice, count);
        if (voice->releaseRemaining == 0) {
            *link = voice->next;
            voice->~Voice();
            heap_.release(voice);
        } else {
            link = &voice->next;
        }
    }
    for (uint32_t k = 0; k < count; ++k) {
        samples[k] = toSample(mix_[k]);
    }
}

// Raw samples, then the envelope, then the voice's share of the mix.
void ToneSynth::renderVoice(Voice& voice, uint32_t count) {
    const long double twiceCoefficient = 2.0L * voice.coefficient;
    long double current = voice.current;
    long double previous = voice.previous;
    for (uint32_t k = 0; k < count; ++k) {
        raw_[k] = static_cast<float>(current);
        const long double next = twiceCoefficient * current - previous;
        previous = current;
        current = next;
    }
    voice.current = current;
    voice.previous = previous;

    const float ramp = static_cast<float>(timing_.rampSamples);
    if (voice.attackRemaining > 0) {
        const int32_t attack = voice.attackRemaining;
        const int32_t span = std::min(attack, static_cast<int32_t>(count));
        for (int32_t k = 0; k < span; ++k) {
            raw_[k] *= 1.0f - static_cast<float>(attack - k) / ramp;
        }
        voice.attackRemaining -= span;
    }
    uint32_t audible = count;
    if (voice.releaseRemaining >= 1) {
        const int32_t release = voice.releaseRemaining;
        const int32_t span = std::min(release, static_cast<int32_t>(count));
        for (int32_t k = 0; k < span; ++k) {
            raw_[k] *= static_cast<float>(release - k) / ramp;
        }
        voice.releaseRemaining -= span;
        audible = static_cast<uint32_t>(span);
    }
    for (uint32_t k = 0; k < audible; ++k) {
        mix_[k] += raw_[k] * voice.gain;
    }
}

} // namespace tonvale
