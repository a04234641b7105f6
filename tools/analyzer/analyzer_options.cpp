#include "tools/analyzer/analyzer_options.h"

#include "tools/analyzer/analyzer_tuning.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace tonvale {
namespace {

bool isAnalysableRate(int32_t rate) {
    for (int32_t base : {11025, 12000}) {
        for (int32_t factor : {1, 2, 4, 8}) {
            if (rate == base * factor) {
                return true;
            }
        }
    }
    return false;
}

bool setFlag(bool AnalyzerOptions::*field, AnalyzerOptions& options) {
    options.*field = true;
    return true;
}

bool applyWhole(const char* name, const std::string& text, int32_t min, int32_t max, int32_t& field,
                std::string& error) {
    if (!parseWholeNumber(text, min, max, field)) {
        error = std::string(name) + " takes a whole number from " + std::to_string(min) + " to " +
                std::to_string(max) + " (got '" + text + "')";
        return false;
    }
    return true;
}

bool applyDecimal(const char* name, const std::string& text, double min, double max,
                  const char* range, double& field, std::string& error) {
    if (!parseDecimalNumber(text, min, max, field)) {
        error = std::string(name) + " takes a number from " + range + " (got '" + text + "')";
        return false;
    }
    return true;
}

const std::vector<AnalyzerOption> kOptions = {
    {"--long-fft", nullptr, "use the 8192-point transform (steadier needle) instead of 4096",
     [](AnalyzerOptions& o, const std::string&, std::string&) {
         return setFlag(&AnalyzerOptions::longFft, o);
     }},
    {"--harmonics", nullptr, "harmonics aware: find the fundamental under a stronger overtone",
     [](AnalyzerOptions& o, const std::string&, std::string&) {
         return setFlag(&AnalyzerOptions::harmonics, o);
     }},
    {"--hum", "HZ", "remove mains hum at HZ, e.g. 50 or 60 (0 to 99.99; 0 = off)",
     [](AnalyzerOptions& o, const std::string& v, std::string& e) {
         return applyDecimal("--hum", v, 0.0, 99.99, "0 to 99.99", o.humHz, e);
     }},
    {"--threshold", "DB", "input threshold in dB, -80 to -40 (default -60)",
     [](AnalyzerOptions& o, const std::string& v, std::string& e) {
         return applyWhole("--threshold", v, -80, -40, o.thresholdDb, e);
     }},
    {"--clock-adjust", "N", "capture clock correction in hundredths of a cent, -10000 to 10000",
     [](AnalyzerOptions& o, const std::string& v, std::string& e) {
         return applyWhole("--clock-adjust", v, -10000, 10000, o.clockAdjust, e);
     }},
    {"--a4", "HZ", "reference pitch of A4, 300 to 500 Hz (default 440)",
     [](AnalyzerOptions& o, const std::string& v, std::string& e) {
         return applyDecimal("--a4", v, 300.0, 500.0, "300 to 500", o.a4Hz, e);
     }},
    {"--shift", "N", "semitone shift of the reference, -8 to 2 (default 0)",
     [](AnalyzerOptions& o, const std::string& v, std::string& e) {
         return applyWhole("--shift", v, -8, 2, o.semitoneShift, e);
     }},
    {"--scale-ini", "FILE", "temperaments in the format of the tuner's scale.ini",
     [](AnalyzerOptions& o, const std::string& v, std::string&) {
         o.scaleIni = v;
         return true;
     }},
    {"--temperament", "NAME", "section of --scale-ini; notes and cents follow it",
     [](AnalyzerOptions& o, const std::string& v, std::string&) {
         o.temperament = v;
         return true;
     }},
    {"--key", "K", "key: -11 to 11 (sharps +, flats -) or a name such as C, F#, Eb",
     [](AnalyzerOptions& o, const std::string& v, std::string& e) {
         if (parseKeyOption(v, o.key)) {
             return true;
         }
         e = "--key takes a number from -11 to 11 or a key name such as C, F# or Eb (got '" + v +
             "')";
         return false;
     }},
    {"--note-ini", "FILE", "subtitle displays in the format of the tuner's note.ini",
     [](AnalyzerOptions& o, const std::string& v, std::string&) {
         o.noteIni = v;
         return true;
     }},
    {"--subtitle", "NAME", "section of --note-ini: written notes and a subtitle column",
     [](AnalyzerOptions& o, const std::string& v, std::string&) {
         o.subtitle = v;
         return true;
     }},
    {"--summary", nullptr, "after the table, print the median frequency, note and cents",
     [](AnalyzerOptions& o, const std::string&, std::string&) {
         return setFlag(&AnalyzerOptions::summary, o);
     }},
    {"--decimals", "N", "decimals of the frequencies printed, 0 to 9 (default 3)",
     [](AnalyzerOptions& o, const std::string& v, std::string& e) {
         return applyWhole("--decimals", v, 0, 9, o.decimals, e);
     }},
    {"--live", "SECONDS", "listen to a capture device for SECONDS (0.1 to 86400) instead of a file",
     [](AnalyzerOptions& o, const std::string& v, std::string& e) {
         return applyDecimal("--live", v, 0.1, 86400.0, "0.1 to 86400", o.liveSeconds, e);
     }},
    {"--device", "DEV", "with --live: a device key, name or index (see --list-devices)",
     [](AnalyzerOptions& o, const std::string& v, std::string& e) {
         if (v.empty()) {
             e = "--device needs a name or an index";
             return false;
         }
         o.device = v;
         return true;
     }},
    {"--channels", "1|2", "with --live: capture mono or stereo (default 2)",
     [](AnalyzerOptions& o, const std::string& v, std::string& e) {
         return applyWhole("--channels", v, 1, 2, o.channels, e);
     }},
    {"--rate", "HZ", "with --live: capture rate (default: the device's own)",
     [](AnalyzerOptions& o, const std::string& v, std::string& e) {
         if (!parseWholeNumber(v, 1, 96000, o.rateHz) || !isAnalysableRate(o.rateHz)) {
             e = "--rate takes 11025, 22050, 44100, 88200, 12000, 24000, 48000 or 96000 (got '" +
                 v + "')";
             return false;
         }
         return true;
     }},
    {"--list-devices", nullptr, "list the capture devices and their default rates",
     [](AnalyzerOptions& o, const std::string&, std::string&) {
         return setFlag(&AnalyzerOptions::listDevices, o);
     }},
    {"--help", nullptr, "show this help",
     [](AnalyzerOptions& o, const std::string&, std::string&) {
         return setFlag(&AnalyzerOptions::help, o);
     }},
};

const AnalyzerOption* findOption(const std::string& name) {
    for (const AnalyzerOption& option : kOptions) {
        if (name == option.name) {
            return &option;
        }
    }
    return nullptr;
}

// Applies args[index] (an option) and, when it takes one, its value; moves
// index past what it used.
bool applyOption(const std::vector<std::string>& args, size_t& index, AnalyzerOptions& options,
                 std::string& error) {
    const std::string& arg = args[index++];
    const size_t equals = arg.find('=');
    const std::string name = arg.substr(0, equals);
    const AnalyzerOption* option = findOption(name);
    if (!option) {
        error = "unknown option " + name;
        return false;
    }
    std::string value;
    if (!option->value) {
        if (equals != std::string::npos) {
            error = name + " takes no value";
            return false;
        }
    } else if (equals != std::string::npos) {
        value = arg.substr(equals + 1);
    } else if (index < args.size()) {
        value = args[index++];
    } else {
        error = name + " needs a value (" + option->value + ")";
        return false;
    }
    return option->apply(options, value, error);
}

} // namespace

const std::vector<AnalyzerOption>& analyzerOptionTable() {
    return kOptions;
}

bool parseWholeNumber(const std::string& text, int32_t min, int32_t max, int32_t& value) {
    if (text.empty() || text.size() > 12) {
        return false;
    }
    errno = 0;
    char* end = nullptr;
    const long parsed = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || parsed < min || parsed > max) {
        return false;
    }
    value = static_cast<int32_t>(parsed);
    return true;
}

bool parseDecimalNumber(const std::string& text, double min, double max, double& value) {
    if (text.empty() || text.size() > 32) {
        return false;
    }
    char* end = nullptr;
    const double parsed = std::strtod(text.c_str(), &end);
    if (*end != '\0' || !std::isfinite(parsed) || parsed < min || parsed > max) {
        return false;
    }
    value = parsed;
    return true;
}

bool parseAnalyzerOptions(const std::vector<std::string>& args, AnalyzerOptions& options,
                          std::string& error) {
    std::vector<std::string> files;
    bool optionsEnded = false;
    size_t index = 0;
    while (index < args.size()) {
        const std::string& arg = args[index];
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
            ++index;
        } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
            if (!applyOption(args, index, options, error)) {
                return false;
            }
        } else {
            files.push_back(arg);
            ++index;
        }
    }
    if (options.help || options.listDevices) {
        return true;
    }
    if (options.liveSeconds > 0.0) {
        if (!files.empty()) {
            error = "--live takes no input file";
            return false;
        }
        return true;
    }
    if (!options.device.empty() || options.channels != 2 || options.rateHz != 0) {
        error = "--device, --channels and --rate go with --live";
        return false;
    }
    if (files.size() != 1) {
        error = files.empty() ? "no input file" : "only one input file at a time";
        return false;
    }
    options.file = files[0];
    return true;
}

std::string analyzerUsage() {
    std::string text =
        "Usage: tonvale-analyze [options] FILE.wav\n"
        "       tonvale-analyze --live SECONDS [--device NAME|INDEX] [options]\n"
        "       tonvale-analyze --list-devices\n"
        "Runs a WAV file through the tuner's pitch detection, block by block (0.1 s),\n"
        "as the tuner would hear it live; or listens to a capture device, as the\n"
        "tuner does.\n\nOptions:\n";
    for (const AnalyzerOption& option : kOptions) {
        std::string left = std::string("  ") + option.name;
        if (option.value) {
            left += std::string(" ") + option.value;
        }
        left.resize(std::max<size_t>(left.size() + 2, 22), ' ');
        text += left + option.help + "\n";
    }
    text += "\nInput: RIFF/WAVE with 16-bit or 24-bit PCM or 32-bit float samples, mono or\n"
            "stereo, at 11025, 22050, 44100, 88200, 12000, 24000, 48000 or 96000 Hz.\n"
            "Output: tab-separated columns block, time_s (end of the block), level (dB),\n"
            "frequency_hz, note and cents; 0 and - where a block has no note. With\n"
            "--subtitle the note is named as the meter shows it (the written note of a\n"
            "transposing instrument) and a subtitle column holds the line under it.\n"
            "Live: block is the reading's number, time_s the seconds since the start;\n"
            "the run ends after SECONDS or at Ctrl+C, with the summary (median of the\n"
            "readings with a note) and the engine thread's processor time.\n"
            "Exit status: 0 when done, 2 for bad options, an unreadable file, a missing\n"
            "section, or a capture device that cannot be opened or fails.\n";
    return text;
}

} // namespace tonvale
