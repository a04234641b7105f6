// The tuner's persistent settings: one process-wide record, loaded from
// "tonvale.ini" once at start-up and written back once at exit.
//
// The file has four sections, each mirrored by a plain struct below whose
// members are named after the keys. Loading clamps every value silently into
// its range; nothing is ever rejected. The record also holds the tuning state
// built from the settings: the active temperament, the current and display
// spellings and the active note naming.
#pragma once

#include "tuning/note_naming.h"
#include "tuning/note_spelling.h"
#include "tuning/temperament.h"

#include <cstdint>
#include <optional>
#include <string>

namespace tonvale {

class IniReader;
class IniWriter;

// The system's use-default position; a coordinate with it is not set.
constexpr int32_t kPositionNotSet = INT32_MIN;

struct WindowPosition {
    int32_t x = kPositionNotSet;
    int32_t y = kPositionNotSet;
    bool isSet() const { return x != kPositionNotSet && y != kPositionNotSet; }
};

struct ViewSize {
    int32_t width = 0;
    int32_t height = 0;
};

constexpr size_t kDeviceNameCapacity = 64; // characters with the NUL
constexpr size_t kSectionNameCapacity = 128;

// Section "Tonvale".
struct MainSettings {
    WindowPosition windowPosition;
    bool largeSize = false;
    bool useSystemFont = false;
    bool autoStart = false;
    bool useLongFFT = false;
    bool microphoneOnly = false;
    int16_t frequencyOfA4 = 0; // Hz
    int16_t halfToneShift = 0; // semitones; A4 = 440 * 2^(shift / 12)
    bool findFundamental = false;
    int16_t dBInputThreshold = 0; // dB
    int16_t humSupress = 0;       // hundredths of a hertz, 0 = off
    int16_t inTuneRange = 0;      // cents
    wchar_t inDeviceName[kDeviceNameCapacity] = {};
    int16_t inDeviceChannels = 0;
    int16_t inClockAdjust = 0; // hundredths of a cent
    wchar_t outDeviceName[kDeviceNameCapacity] = {};
    int16_t outClockAdjust = 0;    // hundredths of a cent
    uint32_t deviceSampleRate = 0; // Hz, 0 = automatic
    int16_t popupFlags = 0;
    wchar_t scaleSection[kSectionNameCapacity] = {};
    int16_t scaleKey = 0;
    wchar_t noteSection[kSectionNameCapacity] = {};
    bool eventDrivenExclusiveMode = false;
};

// Section "Spectrum View".
struct SpectrumSettings {
    WindowPosition windowPosition;
    ViewSize viewSize;
    int16_t frequencyZoom = 0;
    int16_t dBOffset = 0; // dB
};

// Section "Tone Console".
struct ToneSettings {
    WindowPosition windowPosition;
    int16_t octave = 0;
    int16_t dBGain = 0; // dB
    int16_t pause = 0;
    int16_t octaveVisible = 0;
};

// Section "Debug".
struct DebugSettings {
    bool englishUI = false;
    bool useDirect2D = false;
};

struct TunerSettings {
    TunerSettings(); // every value at its default

    MainSettings main;
    SpectrumSettings spectrum;
    ToneSettings tone;
    DebugSettings debug;

    // Save the main window's position at exit: set when the file held one,
    // and by the settings dialog.
    bool rememberMainWindowPosition = false;

    std::optional<Temperament> temperament;
    NoteSpelling currentSpelling;
    NoteSpelling displaySpelling;
    std::optional<NoteNaming> noteNaming;
};

// The process's settings, owned by the UI thread.
extern TunerSettings gTunerSettings;

// Where "scale.ini" and "note.ini" are read from; empty for no file.
struct TuningFiles {
    std::wstring scaleIni;
    std::wstring noteIni;
};

// Rebuilds the temperament (a rejected section leaves none), the current
// spelling, the note naming (a missing section leaves none) and the display
// spelling from the stored section names and key. The names stay stored
// either way, so the next start tries again.
void rebuildTuning(TunerSettings& settings, const TuningFiles& files);

// Loads a settings file (the reader may be empty) into settings, which should
// hold the defaults, and builds the tuning state. The running Windows version
// decides "DeviceSampleRate" and "EventDrivenExclusiveMode".
void loadSettingsFrom(IniReader& file, const TuningFiles& files, TunerSettings& settings);

// Writes the four sections in order. The stored key is first taken from the
// active temperament.
void writeSettings(TunerSettings& settings, IniWriter& writer);

// Writes settings as a UTF-16 file at path, replacing it in one step. False
// when it could not be written; the old file is then untouched.
bool saveSettingsTo(TunerSettings& settings, const wchar_t* path);

// The program's own operations on gTunerSettings, with "tonvale.ini",
// "scale.ini" and "note.ini" found by the program's folder rules; "scale.ini"
// and "note.ini" are looked for anew on each call of findTuningFiles.
void loadSettings();
void saveSettings();
TuningFiles findTuningFiles();

} // namespace tonvale
