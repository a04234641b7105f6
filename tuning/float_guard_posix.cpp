#include "tuning/float_guard.h"

namespace tonvale {

FloatExceptionMask::FloatExceptionMask() {
    std::feholdexcept(&savedEnvironment_);
}

FloatExceptionMask::~FloatExceptionMask() {
    std::fesetenv(&savedEnvironment_);
}

} // namespace tonvale
