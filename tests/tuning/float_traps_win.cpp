#include "float_traps.h"

#include <float.h>

namespace tonvale {

namespace {
constexpr unsigned kTraps = _EM_INVALID | _EM_ZERODIVIDE | _EM_OVERFLOW;
}

void unmaskFloatTraps() {
    _clearfp();
    _controlfp(_MCW_EM & ~kTraps, _MCW_EM);
}

bool floatTrapsUnmasked() {
    return (_controlfp(0, 0) & _MCW_EM) == (_MCW_EM & ~kTraps);
}

void maskFloatTraps() {
    _controlfp(_MCW_EM, _MCW_EM);
}

} // namespace tonvale
