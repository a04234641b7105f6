// What the spectrum window hands its view for one reading: the decibel
// values of the reading (borrowed for the duration of the call) and how to
// draw them.
#pragma once

#include <cstdint>

namespace tonvale {

struct SpectrumFrame {
    const float* values = nullptr; // dB, one per pixel column from 0 Hz up
    int32_t count = 0;
    int32_t rate = 0;         // Hz; the values span 0 ... rate / 2 over spectrumSize / 2
    int32_t spectrumSize = 0; // transform length the values come from
    int16_t binStep = 1;      // 2^band: columns per value of the whole-band scale
    int16_t topDb = 0;        // value drawn at the top of the plot
    int16_t bottomDb = 0;     // value drawn on its bottom row
    int32_t markerColumn = 0; // column of the detected frequency
};

} // namespace tonvale
