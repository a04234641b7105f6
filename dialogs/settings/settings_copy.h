// The copy of the settings that the settings dialog's pages edit. It is taken
// when the dialog opens and written back only when the dialog is confirmed;
// the two digests live exactly as long as the copy.
#pragma once

#include "support/settings/tuner_settings.h"
#include "tuning/temperament_digest.h"

#include <cstdint>
#include <optional>
#include <string>

namespace tonvale {

struct SettingsCopy {
    // Tuning page.
    bool autoStart = false;
    bool findFundamental = false;
    bool useLongFFT = false;
    bool microphoneOnly = false;
    int frequencyOfA4 = 440;
    int halfToneShift = 0;
    int dBInputThreshold = -60;
    int key = 0;
    std::wstring scaleSection; // empty: equal temperament
    // Display page.
    int inTuneRange = 3;
    std::wstring noteSection; // empty: no note subtitles
    bool rememberMainWindowPosition = false;
    bool useSystemFont = false;
    // Device page.
    std::wstring inDeviceName; // stored key; empty: the default device
    int inClockAdjust = 0;     // hundredths of a cent
    std::wstring outDeviceName;
    int outClockAdjust = 0;
    int humSupress = 0; // hundredths of a hertz
    uint32_t deviceSampleRate = 0;

    // Absent when the file's section list is too long to read.
    std::optional<TemperamentDigest> scaleDigest;
    std::optional<TemperamentDigest> noteDigest;
};

// The values of settings as the dialog shows them: the key and section of the
// active temperament and the name of the active note naming (none when they
// were rejected), the digests of the files.
SettingsCopy takeSettingsCopy(const TunerSettings& settings, const TuningFiles& files);

// Writes every value of the copy into settings and rebuilds the temperament
// and the note naming from the files.
void applySettingsCopy(const SettingsCopy& copy, TunerSettings& settings, const TuningFiles& files);

} // namespace tonvale
