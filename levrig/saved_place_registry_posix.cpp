#include "levrig/saved_place.h"

namespace tonvale {
namespace levrig {

// No registry here: a registry store keeps the defaults and saves nothing.
void readPlaceFromRegistry(const wchar_t*, bool, SavedPlace&) {}

bool writePlaceToRegistry(const wchar_t*, bool, const SavedPlace&) {
    return false;
}

} // namespace levrig
} // namespace tonvale
