#include "float_traps.h"

#include <fenv.h>

namespace tonvale {

namespace {
constexpr int kTraps = FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW;
}

void unmaskFloatTraps() {
    feclearexcept(FE_ALL_EXCEPT);
    feenableexcept(kTraps);
}

bool floatTrapsUnmasked() {
    return fegetexcept() == kTraps;
}

void maskFloatTraps() {
    fedisableexcept(FE_ALL_EXCEPT);
}

} // namespace tonvale
