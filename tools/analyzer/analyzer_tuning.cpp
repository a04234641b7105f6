#include "tools/analyzer/analyzer_tuning.h"

#include "app/note_reading.h"
#include "support/ini_reader.h"
#include "support/settings/tuner_settings.h"
#include "support/utf16.h"
#include "tuning/temperament_digest.h"

#include <algorithm>

namespace tonvale {
namespace {

constexpr size_t kMeterLineCapacity = 128;

NoteNames namesOf(const NoteSpelling& spelling) {
    NoteNames names;
    for (int k = 0; k < kPitchClasses; ++k)
        names[static_cast<size_t>(k)] = wideToUtf8(spelling[k]);
    return names;
}

int32_t pitchClassFromA(int32_t noteNumber) {
    return ((noteNumber % 12 + 12) % 12 + 3) % 12;
}

// Opens file and checks it holds the section; the message says which.
bool openSection(const std::string& path, const std::string& section, IniReader& file,
                 std::string& error) {
    if (!file.load(utf8ToWide(path).c_str())) {
        error = "cannot read " + path + " (missing or empty)";
        return false;
    }
    if (file.selectSection(utf8ToWide(section).c_str()))
        return true;
    error = path + " has no section [" + section + "]";
    std::optional<TemperamentDigest> sections = digest(file);
    if (sections && !sections->empty()) {
        error += "; its sections are:";
        for (const DigestEntry& entry : *sections)
            error += "\n  " + wideToUtf8(entry.name);
    }
    return false;
}

// Section names are stored as the settings hold them, at most 127 characters.
bool copySectionName(const std::string& name, wchar_t (&stored)[kSectionNameCapacity],
                     std::string& error) {
    std::wstring wide = utf8ToWide(name);
    if (wide.size() >= kSectionNameCapacity) {
        error = "section name longer than " + std::to_string(kSectionNameCapacity - 1) +
                " characters: " + name;
        return false;
    }
    std::copy(wide.c_str(), wide.c_str() + wide.size() + 1, stored);
    return true;
}

} // namespace

AnalyzerTuning::AnalyzerTuning() : names_(namesOf(defaultSpelling())) {}

bool AnalyzerTuning::load(const AnalyzerOptions& options, std::string& error) {
    if (!options.temperament.empty() && options.scaleIni.empty()) {
        error = "--temperament needs --scale-ini FILE";
        return false;
    }
    if (!options.scaleIni.empty() && options.temperament.empty()) {
        error = "--scale-ini needs --temperament NAME (the section to use)";
        return false;
    }
    if (!options.subtitle.empty() != !options.noteIni.empty()) {
        error = options.subtitle.empty() ? "--note-ini needs --subtitle NAME (the section to use)"
                                         : "--subtitle needs --note-ini FILE";
        return false;
    }
    TunerSettings settings;
    if (!options.temperament.empty()) {
        IniReader file;
        if (!openSection(options.scaleIni, options.temperament, file, error) ||
            !copySectionName(options.temperament, settings.main.scaleSection, error))
            return false;
        if (Temperament(file, settings.main.scaleSection, options.key).isRejected()) {
            error = "[" + options.temperament + "] in " + options.scaleIni +
                    " cannot be used: a value is not a usable number, or the notes do not rise "
                    "in order";
            return false;
        }
    }
    if (!options.subtitle.empty()) {
        IniReader file;
        if (!openSection(options.noteIni, options.subtitle, file, error) ||
            !copySectionName(options.subtitle, settings.main.noteSection, error))
            return false;
    }
    // The same rebuild as the tuner's, so both name a note alike.
    settings.main.scaleKey = static_cast<int16_t>(options.key);
    rebuildTuning(settings, TuningFiles{utf8ToWide(options.scaleIni), utf8ToWide(options.noteIni)});
    temperament_ = std::move(settings.temperament);
    naming_ = std::move(settings.noteNaming);
    names_ = namesOf(settings.displaySpelling);
    return true;
}

const Temperament* AnalyzerTuning::temperament() const {
    return temperament_ ? &*temperament_ : nullptr;
}

std::string AnalyzerTuning::noteName(int32_t noteNumber) const {
    if (noteNumber == kNoNote)
        return "-";
    return formatNoteName(naming_ ? naming_->writtenNote(noteNumber) : noteNumber, names_);
}

std::string AnalyzerTuning::subtitle(int32_t noteNumber) const {
    wchar_t line[kMeterLineCapacity];
    if (noteNumber == kNoNote || !naming_ ||
        !naming_->expand(0, pitchClassFromA(noteNumber), line, kMeterLineCapacity))
        return "-";
    return wideToUtf8(line);
}

bool parseKeyOption(const std::string& text, int32_t& key) {
    if (parseWholeNumber(text, kMinKey, kMaxKey, key))
        return true;
    if (text.empty() || text.size() > 2 || letterPitchClass(static_cast<wchar_t>(text[0])) < 0)
        return false;
    if (text.size() == 2 && text[1] != '#' && text[1] != 'b')
        return false;
    key = parseKeyName(utf8ToWide(text).c_str());
    return true;
}

} // namespace tonvale
