// Readers loaded from INI text written in the test, as UTF-8 with a mark so
// that the system's code page never matters.
#pragma once

#include "support/ini_reader.h"

#include <memory>
#include <string>

namespace tonvale {

inline std::unique_ptr<IniReader> iniFromText(const std::string& text) {
    std::string bytes = "\xEF\xBB\xBF" + text;
    auto reader = std::make_unique<IniReader>();
    reader->loadBytes(bytes.data(), bytes.size());
    return reader;
}

} // namespace tonvale
