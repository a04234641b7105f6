// The system's roots for the folder rules; one definition per platform.
#pragma once

#include <string>

namespace tonvale {

// The user's roaming application-data folder (created if missing), or empty.
std::wstring systemAppDataFolder();
// The folder of the running executable, with its trailing separator.
std::wstring systemProgramFolder();

} // namespace tonvale
