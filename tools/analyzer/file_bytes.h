// Whole-file reading by a UTF-8 path (wide paths on Windows).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tonvale {

// False with a reason ("No such file or directory") when the file cannot be
// read completely.
bool readFileBytes(const std::string& utf8Path, std::vector<uint8_t>& bytes, std::string& error);

} // namespace tonvale
