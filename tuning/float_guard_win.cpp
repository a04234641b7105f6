#include "tuning/float_guard.h"

#include <float.h>

namespace tonvale {

FloatExceptionMask::FloatExceptionMask() : savedControl_(_controlfp(0, 0)) {
    _clearfp();
    _controlfp(_MCW_EM, _MCW_EM);
}

FloatExceptionMask::~FloatExceptionMask() {
    _clearfp();
    _controlfp(savedControl_, _MCW_EM);
}

} // namespace tonvale
