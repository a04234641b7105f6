#include "tools/analyzer/reading_table.h"

#include "app/note_reading.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tonvale {
namespace {

std::string formatFixed(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    std::string result = text;
    // A value that rounds to zero prints without a sign.
    if (result[0] == '-' && result.find_first_not_of("-0.") == std::string::npos) {
        result.erase(0, 1);
    }
    return result;
}

std::string formatLevel(float level) {
    return level > 0.0f ? formatFixed(10.0 * std::log10(static_cast<double>(level)), 2) : "-inf";
}

struct NoteColumns {
    std::string frequency = "0";
    std::string note = "-";
    std::string cents = "-";
    std::string subtitle = "-";
};

NoteColumns formatNote(const NoteReading& reading, const AnalyzerTuning& tuning, int decimals) {
    NoteColumns columns;
    if (reading.noteNumber != kNoNote) {
        columns.frequency = formatFixed(reading.frequencyHz, decimals);
        columns.note = tuning.noteName(reading.noteNumber);
        columns.cents = formatFixed(reading.cents, 2);
        columns.subtitle = tuning.subtitle(reading.noteNumber);
    }
    return columns;
}

} // namespace

EngineParams engineParamsFor(const AnalyzerOptions& options, uint32_t sampleRate) {
    EngineParams params;
    params.sampleRate = sampleRate;
    params.clockAdjust = static_cast<int16_t>(options.clockAdjust);
    params.inputThreshold = static_cast<int16_t>(options.thresholdDb);
    params.findFundamental = options.harmonics ? 1 : 0;
    params.humFrequency = static_cast<float>(options.humHz);
    params.useLongFFT = options.longFft ? 1 : 0;
    return params;
}

void ReadingTable::printHeader() {
    out_ << "block\ttime_s\tlevel\tfrequency_hz\tnote\tcents"
         << (tuning_.hasSubtitles() ? "\tsubtitle\n" : "\n");
}

void ReadingTable::printLine(size_t number, double timeSeconds, float level, double frequency) {
    const NoteReading note = readNote(frequency, referenceHz_, tuning_.temperament());
    if (note.noteNumber != kNoNote) {
        noteFrequencies_.push_back(note.frequencyHz);
    }
    const NoteColumns columns = formatNote(note, tuning_, decimals_);
    out_ << number << '\t' << formatFixed(timeSeconds, 3) << '\t' << formatLevel(level) << '\t'
         << columns.frequency << '\t' << columns.note << '\t' << columns.cents;
    if (tuning_.hasSubtitles()) {
        out_ << '\t' << columns.subtitle;
    }
    out_ << '\n';
}

void ReadingTable::printSummary(size_t readings) const {
    if (noteFrequencies_.empty()) {
        out_ << "summary: no block with a note (" << readings << " blocks)\n";
        return;
    }
    std::vector<double> frequencies = noteFrequencies_;
    std::sort(frequencies.begin(), frequencies.end());
    const size_t n = frequencies.size();
    const double median =
        n % 2 == 1 ? frequencies[n / 2] : (frequencies[n / 2 - 1] + frequencies[n / 2]) / 2.0;
    const NoteColumns columns =
        formatNote(readNote(median, referenceHz_, tuning_.temperament()), tuning_, decimals_);
    out_ << "summary: median " << columns.frequency << " Hz, " << columns.note << ' '
         << (columns.cents[0] == '-' ? "" : "+") << columns.cents << " cents, " << n << " of "
         << readings << " blocks with a note\n";
}

} // namespace tonvale
