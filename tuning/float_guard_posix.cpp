#include "tuning/float_guard.h"

namespace tonvale {

FloatExceptionMask::FloatExceptionMask() {
    std::feholdexcept(&saved_.environment);
}

FloatExceptionMask::~FloatExceptionMask() {
    std::fesetenv(&saved_.environment);
}

} // namespace tonvale
