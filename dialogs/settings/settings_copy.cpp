#include "dialogs/settings/settings_copy.h"

#include <cwchar>

namespace tonvale {
namespace {

template <size_t N> void copyText(wchar_t (&target)[N], const std::wstring& text) {
    const size_t length = text.size() < N - 1 ? text.size() : N - 1;
    text.copy(target, length);
    target[length] = L'\0';
}

template <size_t N> std::wstring cutText(const wchar_t (&text)[N]) {
    return std::wstring(text, wcsnlen(text, N));
}

} // namespace

SettingsCopy takeSettingsCopy(const TunerSettings& settings, const TuningFiles& files) {
    const MainSettings& main = settings.main;
    SettingsCopy copy;
    copy.autoStart = main.autoStart;
    copy.findFundamental = main.findFundamental;
    copy.useLongFFT = main.useLongFFT;
    copy.microphoneOnly = main.microphoneOnly;
    copy.frequencyOfA4 = main.frequencyOfA4;
    copy.halfToneShift = main.halfToneShift;
    copy.dBInputThreshold = main.dBInputThreshold;
    copy.key = settings.temperament ? settings.temperament->key() : main.scaleKey;
    if (settings.temperament)
        copy.scaleSection = settings.temperament->name().substr(0, kSectionNameCapacity - 1);

    copy.inTuneRange = main.inTuneRange;
    if (settings.noteNaming)
        copy.noteSection = settings.noteNaming->name().substr(0, kSectionNameCapacity - 1);
    copy.rememberMainWindowPosition = settings.rememberMainWindowPosition;
    copy.useSystemFont = main.useSystemFont;

    copy.inDeviceName = cutText(main.inDeviceName);
    copy.inClockAdjust = main.inClockAdjust;
    copy.outDeviceName = cutText(main.outDeviceName);
    copy.outClockAdjust = main.outClockAdjust;
    copy.humSupress = main.humSupress;
    copy.deviceSampleRate = main.deviceSampleRate;

    copy.scaleDigest = digestFile(files.scaleIni.empty() ? nullptr : files.scaleIni.c_str());
    copy.noteDigest = digestFile(files.noteIni.empty() ? nullptr : files.noteIni.c_str());
    return copy;
}

void applySettingsCopy(const SettingsCopy& copy, TunerSettings& settings,
                       const TuningFiles& files) {
    MainSettings& main = settings.main;
    main.autoStart = copy.autoStart;
    main.findFundamental = copy.findFundamental;
    main.useLongFFT = copy.useLongFFT;
    main.microphoneOnly = copy.microphoneOnly;
    main.frequencyOfA4 = static_cast<int16_t>(copy.frequencyOfA4);
    main.halfToneShift = static_cast<int16_t>(copy.halfToneShift);
    main.dBInputThreshold = static_cast<int16_t>(copy.dBInputThreshold);
    main.scaleKey = static_cast<int16_t>(clampedKey(copy.key));
    copyText(main.scaleSection, copy.scaleSection);

    main.inTuneRange = static_cast<int16_t>(copy.inTuneRange);
    copyText(main.noteSection, copy.noteSection);
    settings.rememberMainWindowPosition = copy.rememberMainWindowPosition;
    main.useSystemFont = copy.useSystemFont;

    copyText(main.inDeviceName, copy.inDeviceName);
    main.inClockAdjust = static_cast<int16_t>(copy.inClockAdjust);
    copyText(main.outDeviceName, copy.outDeviceName);
    main.outClockAdjust = static_cast<int16_t>(copy.outClockAdjust);
    main.humSupress = static_cast<int16_t>(copy.humSupress);
    main.deviceSampleRate = copy.deviceSampleRate;

    rebuildTuning(settings, files);
}

} // namespace tonvale
