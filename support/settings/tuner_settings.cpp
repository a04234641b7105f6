#include "support/settings/tuner_settings.h"

#include "support/ini_reader.h"
#include "support/ini_writer.h"
#include "support/text_chars.h"
#include "support/text_format.h"
#include "support/windows_version.h"

#include <cstddef>
#include <cwchar>

namespace tonvale {
namespace {

enum class Kind : uint8_t {
    Flag,     // bool; any non-zero value reads as 1
    Integer,  // int16_t
    Unsigned, // uint32_t
    Text,     // wchar_t[capacity]
    Position, // WindowPosition, "x,y"
    Size,     // ViewSize, "width,height"
};

// How a value read is brought into range.
enum class Rule : uint8_t {
    Range,      // clamped to [min, max]
    Unchanged,  // kept as read
    OneOrTwo,   // 1 stays 1, anything else becomes 2
    SampleRate, // 0 or one of kSampleRates, else 0
    PauseValue, // -4, -3, -2, 2, 3, 4, else -2
};

// When a key is written.
enum class Write : uint8_t {
    Always,
    IfNotEmpty,     // texts that are only written when set
    OnVistaOrLater, // read and written only on Windows 6.0 or later
    IfRemembered,   // the main window's position, when it is to be kept
    IfBothSet,      // other windows' positions; else an empty value
};

struct Limits {
    int32_t min;
    int32_t max;
};

// One key of a section: the single source of its name, type, default, range
// and writing condition. For Size, the second default and limits are the
// height's; for Text, defaultValue is the capacity in characters.
struct Field {
    const char* key;
    Kind kind;
    size_t offset; // of the value in its section's struct
    int32_t defaultValue;
    Rule rule;
    Limits limits;
    Write write;
    int32_t secondDefault;
    Limits secondLimits;
};

constexpr Limits kAny = {INT32_MIN, INT32_MAX};

constexpr Field flag(const char* key, size_t offset, bool value, Write write = Write::Always) {
    return {key, Kind::Flag, offset, value ? 1 : 0, Rule::Unchanged, kAny, write, 0, kAny};
}
constexpr Field integer(const char* key, size_t offset, int32_t value, Limits limits) {
    return {key, Kind::Integer, offset, value, Rule::Range, limits, Write::Always, 0, kAny};
}
constexpr Field integer(const char* key, size_t offset, int32_t value, Rule rule) {
    return {key, Kind::Integer, offset, value, rule, kAny, Write::Always, 0, kAny};
}
constexpr Field text(const char* key, size_t offset, size_t capacity, Write write = Write::Always) {
    return {key,   Kind::Text, offset, static_cast<int32_t>(capacity), Rule::Unchanged, kAny,
            write, 0,          kAny};
}
constexpr Field position(size_t offset, Write write) {
    return {"WindowPosition", Kind::Position, offset, 0, Rule::Unchanged, kAny, write, 0, kAny};
}

#define MAIN(member) offsetof(MainSettings, member)
const Field kMainFields[] = {
    position(MAIN(windowPosition), Write::IfRemembered),
    flag("LargeSize", MAIN(largeSize), true),
    flag("UseSystemFont", MAIN(useSystemFont), true),
    flag("AutoStart", MAIN(autoStart), false),
    flag("UseLongFFT", MAIN(useLongFFT), false),
    flag("MicrophoneOnly", MAIN(microphoneOnly), false),
    integer("FrequencyOfA4", MAIN(frequencyOfA4), 440, {300, 500}),
    integer("HalfToneShift", MAIN(halfToneShift), 0, {-8, 2}),
    flag("FindFundamental", MAIN(findFundamental), false),
    integer("dBInputThreshold", MAIN(dBInputThreshold), -60, {-80, -40}),
    integer("HumSupress", MAIN(humSupress), 0, {0, 9999}),
    integer("InTuneRange", MAIN(inTuneRange), 3, {1, 10}),
    text("InDeviceName", MAIN(inDeviceName), kDeviceNameCapacity),
    integer("InDeviceChannels", MAIN(inDeviceChannels), 2, Rule::OneOrTwo),
    integer("InClockAdjust", MAIN(inClockAdjust), 0, {-10000, 10000}),
    text("OutDeviceName", MAIN(outDeviceName), kDeviceNameCapacity),
    integer("OutClockAdjust", MAIN(outClockAdjust), 0, {-10000, 10000}),
    {"DeviceSampleRate", Kind::Unsigned, MAIN(deviceSampleRate), 0, Rule::SampleRate, kAny,
     Write::Always, 0, kAny},
    integer("PopupFlags", MAIN(popupFlags), 0, Rule::Unchanged),
    text("ScaleSection", MAIN(scaleSection), kSectionNameCapacity, Write::IfNotEmpty),
    integer("ScaleKey", MAIN(scaleKey), 0, {kMinKey, kMaxKey}),
    text("NoteSection", MAIN(noteSection), kSectionNameCapacity, Write::IfNotEmpty),
    // The default depends on the system; see loadSettingsFrom.
    flag("EventDrivenExclusiveMode", MAIN(eventDrivenExclusiveMode), true, Write::OnVistaOrLater),
};
#undef MAIN

#define SPECTRUM(member) offsetof(SpectrumSettings, member)
const Field kSpectrumFields[] = {
    position(SPECTRUM(windowPosition), Write::IfBothSet),
    {"ViewSize",
     Kind::Size,
     SPECTRUM(viewSize),
     256,
     Rule::Range,
     {256, 512},
     Write::Always,
     160,
     {160, 320}},
    integer("FrequencyZoom", SPECTRUM(frequencyZoom), 0, {0, 3}),
    integer("dBOffset", SPECTRUM(dBOffset), 10, {0, 120}),
};
#undef SPECTRUM

// "Octave" is further held within "OctaveVisible" ... "OctaveVisible" + 4,
// the widest of which is 0 ... 8.
#define TONE(member) offsetof(ToneSettings, member)
const Field kToneFields[] = {
    position(TONE(windowPosition), Write::IfBothSet),
    integer("Octave", TONE(octave), 4, {0, 8}),
    integer("dBGain", TONE(dBGain), -10, {-20, 0}),
    integer("Pause", TONE(pause), -2, Rule::PauseValue),
    integer("OctaveVisible", TONE(octaveVisible), 2, {0, 4}),
};
#undef TONE

#define DEBUG_FIELD(member) offsetof(DebugSettings, member)
const Field kDebugFields[] = {
    flag("EnglishUI", DEBUG_FIELD(englishUI), false),
    flag("UseDirect2D", DEBUG_FIELD(useDirect2D), true),
};
#undef DEBUG_FIELD

const uint32_t kSampleRates[] = {11025, 22050, 44100, 88200, 12000, 24000, 48000, 96000};

template <typename T> T& valueAt(void* section, const Field& field) {
    return *reinterpret_cast<T*>(static_cast<char*>(section) + field.offset);
}

template <typename T> const T& valueAt(const void* section, const Field& field) {
    return *reinterpret_cast<const T*>(static_cast<const char*>(section) + field.offset);
}

int32_t clamped(int32_t value, Limits limits) {
    return value < limits.min ? limits.min : value > limits.max ? limits.max : value;
}

int32_t applyRule(const Field& field, int32_t value) {
    switch (field.rule) {
    case Rule::Range:
        return clamped(value, field.limits);
    case Rule::OneOrTwo:
        return value == 1 ? 1 : 2;
    case Rule::SampleRate:
        for (uint32_t rate : kSampleRates) {
            if (static_cast<uint32_t>(value) == rate)
                return value;
        }
        return 0;
    case Rule::PauseValue:
        return value == -4 || value == -3 || value == -2 || value == 2 || value == 3 || value == 4
                   ? value
                   : -2;
    case Rule::Unchanged:
        break;
    }
    return value;
}

// One "%d" of the scanf family: white space, a sign, at least one digit.
// Saturates instead of overflowing.
bool scanInteger(const wchar_t*& p, int32_t* value) {
    const wchar_t* q = p;
    while (isCSpace(*q))
        ++q;
    bool negative = *q == L'-';
    if (*q == L'+' || *q == L'-')
        ++q;
    if (*q < L'0' || *q > L'9')
        return false;
    int64_t magnitude = 0;
    for (; *q >= L'0' && *q <= L'9'; ++q) {
        magnitude = magnitude * 10 + (*q - L'0');
        if (magnitude > int64_t{INT32_MAX} + 1)
            magnitude = int64_t{INT32_MAX} + 1;
    }
    int64_t signedValue = negative ? -magnitude : magnitude;
    *value = static_cast<int32_t>(signedValue > INT32_MAX ? INT32_MAX : signedValue);
    p = q;
    return true;
}

// "%d,%d": the values that could be read are stored, the others kept.
void scanPair(const wchar_t* text, int32_t* first, int32_t* second) {
    if (!scanInteger(text, first) || *text != L',')
        return;
    ++text;
    scanInteger(text, second);
}

void applyDefaults(const Field* fields, size_t count, void* section) {
    for (size_t i = 0; i < count; ++i) {
        const Field& field = fields[i];
        switch (field.kind) {
        case Kind::Flag:
            valueAt<bool>(section, field) = field.defaultValue != 0;
            break;
        case Kind::Integer:
            valueAt<int16_t>(section, field) = static_cast<int16_t>(field.defaultValue);
            break;
        case Kind::Unsigned:
            valueAt<uint32_t>(section, field) = static_cast<uint32_t>(field.defaultValue);
            break;
        case Kind::Text:
            valueAt<wchar_t>(section, field) = L'\0';
            break;
        case Kind::Position:
            valueAt<WindowPosition>(section, field) = WindowPosition();
            break;
        case Kind::Size:
            valueAt<ViewSize>(section, field) = {field.defaultValue, field.secondDefault};
            break;
        }
    }
}

// Reads the selected section's keys with the current values as defaults and
// brings each into range. A WindowPosition is parsed only when non-empty;
// returns whether it was.
bool readFields(IniReader& file, const Field* fields, size_t count, void* section) {
    bool positionRead = false;
    for (size_t i = 0; i < count; ++i) {
        const Field& field = fields[i];
        switch (field.kind) {
        case Kind::Flag: {
            bool& value = valueAt<bool>(section, field);
            value = file.getInt(field.key, value ? 1 : 0) != 0;
            break;
        }
        case Kind::Integer: {
            int16_t& value = valueAt<int16_t>(section, field);
            value = static_cast<int16_t>(applyRule(field, file.getInt(field.key, value)));
            break;
        }
        case Kind::Unsigned: {
            uint32_t& value = valueAt<uint32_t>(section, field);
            int32_t read = file.getInt(field.key, static_cast<int32_t>(value));
            value = static_cast<uint32_t>(applyRule(field, read));
            break;
        }
        case Kind::Text: {
            wchar_t* value = &valueAt<wchar_t>(section, field);
            file.getString(field.key, value, value, static_cast<size_t>(field.defaultValue));
            break;
        }
        case Kind::Position: {
            std::wstring text = file.getString(field.key, L"", 255);
            if (!text.empty()) {
                WindowPosition& value = valueAt<WindowPosition>(section, field);
                scanPair(text.c_str(), &value.x, &value.y);
                positionRead = true;
            }
            break;
        }
        case Kind::Size: {
            ViewSize& value = valueAt<ViewSize>(section, field);
            std::wstring text = file.getString(field.key, L"", 255);
            scanPair(text.c_str(), &value.width, &value.height);
            value.width = clamped(value.width, field.limits);
            value.height = clamped(value.height, field.secondLimits);
            break;
        }
        }
    }
    return positionRead;
}

std::wstring pairText(int32_t first, int32_t second) {
    return formatString(L"%d,%d", first, second);
}

void writeFields(IniWriter& writer, const Field* fields, size_t count, const void* section,
                 bool rememberPosition) {
    const void* values = section;
    for (size_t i = 0; i < count; ++i) {
        const Field& field = fields[i];
        if (field.write == Write::OnVistaOrLater && !isWindowsVistaOrLater())
            continue;
        switch (field.kind) {
        case Kind::Flag:
            writer.writeString(field.key, valueAt<bool>(values, field) ? L"1" : L"0");
            break;
        case Kind::Integer:
            writer.writeString(field.key,
                               formatString(L"%d", valueAt<int16_t>(values, field)).c_str());
            break;
        case Kind::Unsigned:
            writer.writeString(
                field.key,
                formatString(L"%d", static_cast<int>(valueAt<uint32_t>(values, field))).c_str());
            break;
        case Kind::Text: {
            const wchar_t* value = &valueAt<wchar_t>(values, field);
            if (field.write != Write::IfNotEmpty || value[0])
                writer.writeString(field.key, value);
            break;
        }
        case Kind::Position: {
            const WindowPosition& value = valueAt<WindowPosition>(values, field);
            bool show = field.write == Write::IfRemembered ? rememberPosition : value.isSet();
            writer.writeString(field.key, show ? pairText(value.x, value.y).c_str() : L"");
            break;
        }
        case Kind::Size: {
            const ViewSize& value = valueAt<ViewSize>(values, field);
            writer.writeString(field.key, pairText(value.width, value.height).c_str());
            break;
        }
        }
    }
}

template <size_t N> constexpr size_t countOf(const Field (&)[N]) {
    return N;
}

} // namespace

TunerSettings::TunerSettings()
    : main(), spectrum(), tone(), debug(), currentSpelling(defaultSpelling()),
      displaySpelling(currentSpelling) {
    applyDefaults(kMainFields, countOf(kMainFields), &main);
    applyDefaults(kSpectrumFields, countOf(kSpectrumFields), &spectrum);
    applyDefaults(kToneFields, countOf(kToneFields), &tone);
    applyDefaults(kDebugFields, countOf(kDebugFields), &debug);
}

void rebuildTuning(TunerSettings& settings, const TuningFiles& files) {
    settings.temperament.reset();
    if (settings.main.scaleKey != 0 || settings.main.scaleSection[0]) {
        Temperament temperament = Temperament::load(
            files.scaleIni.c_str(), settings.main.scaleSection, settings.main.scaleKey);
        if (!temperament.isRejected())
            settings.temperament = std::move(temperament);
    }
    const Temperament* active = settings.temperament ? &*settings.temperament : nullptr;
    settings.currentSpelling = active ? active->spelling() : defaultSpelling();

    settings.noteNaming.reset();
    if (settings.main.noteSection[0]) {
        NoteNaming naming = NoteNaming::load(files.noteIni.c_str(), settings.main.noteSection,
                                             settings.currentSpelling, active);
        if (!naming.name().empty())
            settings.noteNaming = std::move(naming);
    }
    settings.displaySpelling = displaySpelling(
        settings.noteNaming ? &*settings.noteNaming : nullptr, settings.currentSpelling, active);
}

void loadSettingsFrom(IniReader& file, const TuningFiles& files, TunerSettings& settings) {
    MainSettings& main = settings.main;
    bool vista = isWindowsVistaOrLater();
    bool eventDrivenDefault = isWindows7OrLater();
    main.eventDrivenExclusiveMode = eventDrivenDefault;
    if (file.selectSection("Tonvale")) {
        // The reference pitch is only chosen when there is no semitone shift;
        // that is judged on the shift as written, before it is clamped.
        bool shifted = file.getInt("HalfToneShift", main.halfToneShift) != 0;
        if (readFields(file, kMainFields, countOf(kMainFields), &main))
            settings.rememberMainWindowPosition = true;
        if (shifted)
            main.frequencyOfA4 = 440;
    }
    if (!vista)
        main.eventDrivenExclusiveMode = eventDrivenDefault;
    if (vista)
        main.deviceSampleRate = 0;
    rebuildTuning(settings, files);

    if (file.selectSection("Spectrum View"))
        readFields(file, kSpectrumFields, countOf(kSpectrumFields), &settings.spectrum);
    if (file.selectSection("Tone Console")) {
        ToneSettings& tone = settings.tone;
        readFields(file, kToneFields, countOf(kToneFields), &tone);
        if (tone.octave < tone.octaveVisible)
            tone.octave = tone.octaveVisible;
        if (tone.octave > tone.octaveVisible + 4)
            tone.octave = static_cast<int16_t>(tone.octaveVisible + 4);
    }
    if (file.selectSection("Debug"))
        readFields(file, kDebugFields, countOf(kDebugFields), &settings.debug);
}

void writeSettings(TunerSettings& settings, IniWriter& writer) {
    if (settings.temperament)
        settings.main.scaleKey = static_cast<int16_t>(settings.temperament->key());
    writer.setSection("Tonvale");
    writeFields(writer, kMainFields, countOf(kMainFields), &settings.main,
                settings.rememberMainWindowPosition);
    writer.setSection("Spectrum View");
    writeFields(writer, kSpectrumFields, countOf(kSpectrumFields), &settings.spectrum, false);
    writer.setSection("Tone Console");
    writeFields(writer, kToneFields, countOf(kToneFields), &settings.tone, false);
    writer.setSection("Debug");
    writeFields(writer, kDebugFields, countOf(kDebugFields), &settings.debug, false);
}

bool saveSettingsTo(TunerSettings& settings, const wchar_t* path) {
    IniWriter writer;
    if (!writer.open(path, IniEncoding::Utf16))
        return false;
    writeSettings(settings, writer);
    bool saved = writer.commit(path) >= 0;
    writer.close();
    return saved;
}

} // namespace tonvale
