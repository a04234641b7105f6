// The analyzer's command line: an options record filled from a table of
// options, so that new options are one row and one field each.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tonvale {

struct AnalyzerOptions {
    bool longFft = false;
    bool harmonics = false;
    double humHz = 0.0; // 0 = no hum filter
    int32_t thresholdDb = -60;
    int32_t clockAdjust = 0; // hundredths of a cent
    double a4Hz = 440.0;
    int32_t semitoneShift = 0;
    bool summary = false;
    int32_t decimals = 3;    // of the frequencies printed
    std::string scaleIni;    // "scale.ini" to take the temperament from
    std::string temperament; // its section
    int32_t key = 0;         // key number of the temperament, -11 to 11
    std::string noteIni;     // "note.ini" to take the subtitle display from
    std::string subtitle;    // its section
    bool help = false;
    std::string file;
    // Live capture instead of a file: seconds to run (0 = from a file), the
    // device (a key, a display name or an index; empty = the default), its
    // channels and rate (0 = the device's default rate).
    double liveSeconds = 0.0;
    std::string device;
    int32_t channels = 2;
    int32_t rateHz = 0;
    bool listDevices = false;
};

struct AnalyzerOption {
    const char* name;  // "--hum"
    const char* value; // the argument's name in the help ("HZ"); nullptr for a flag
    const char* help;
    // Applies the option; false with a message when the value is refused.
    bool (*apply)(AnalyzerOptions& options, const std::string& value, std::string& error);
};

const std::vector<AnalyzerOption>& analyzerOptionTable();

// Parses the arguments after the program name. Options take their value as
// the next argument or after "="; "--" ends the options. Exactly one file is
// required unless --help, --list-devices or --live is given (with --live,
// none is taken). False with a message on any refusal.
bool parseAnalyzerOptions(const std::vector<std::string>& args, AnalyzerOptions& options,
                          std::string& error);

std::string analyzerUsage();

// Strict number parsing for option values: the whole text must be the
// number and it must lie in [min, max].
bool parseWholeNumber(const std::string& text, int32_t min, int32_t max, int32_t& value);
bool parseDecimalNumber(const std::string& text, double min, double max, double& value);

} // namespace tonvale
