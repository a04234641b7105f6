#include "tuning/float_guard.h"

#include <float.h>

namespace tonvale {

FloatExceptionMask::FloatExceptionMask() {
    saved_.control = _controlfp(0, 0);
    _clearfp();
    _controlfp(_MCW_EM, _MCW_EM);
}

FloatExceptionMask::~FloatExceptionMask() {
    _clearfp();
    _controlfp(saved_.control, _MCW_EM);
}

} // namespace tonvale
