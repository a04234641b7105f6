// The analyzer's temperament and note subtitle display, chosen with
// --scale-ini/--temperament/--key and --note-ini/--subtitle, and how they
// name a note as the meter would.
#pragma once

#include "tools/analyzer/analyzer_options.h"
#include "tools/analyzer/note_format.h"
#include "tuning/note_naming.h"
#include "tuning/temperament.h"

#include <cstdint>
#include <optional>
#include <string>

namespace tonvale {

class AnalyzerTuning {
  public:
    // Equal temperament with the default spelling and no subtitles.
    AnalyzerTuning();

    // Builds what the options choose. False with a message when a file cannot
    // be read, a section is not in it, or a temperament cannot be used.
    bool load(const AnalyzerOptions& options, std::string& error);

    // The active temperament, or nullptr for equal temperament in C.
    const Temperament* temperament() const;
    bool hasSubtitles() const { return naming_.has_value(); }
    // The note as the meter names it: the written note of a transposing
    // instrument, in the display spelling ("D4"); "-" for no note.
    std::string noteName(int32_t noteNumber) const;
    // The meter's line under the note (Format1) in UTF-8; "-" when empty.
    std::string subtitle(int32_t noteNumber) const;

  private:
    std::optional<Temperament> temperament_;
    std::optional<NoteNaming> naming_;
    NoteNames names_;
};

// A key number from -11 to 11, or a key name such as C, F#, Eb or bb.
bool parseKeyOption(const std::string& text, int32_t& key);

} // namespace tonvale
