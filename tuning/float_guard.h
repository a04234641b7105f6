// Masks every floating-point exception for the life of the object and then
// puts back the caller's mode and flags.
//
// The tuner runs with invalid-operation, division-by-zero and overflow
// exceptions unmasked, so evaluating numbers typed by a user (1/0 in
// "scale.ini") would trap. Flags raised inside the scope are discarded with
// the restore, so none is left pending for the caller's next instruction.
#pragma once

#include <cfenv>

namespace tonvale {

class FloatExceptionMask {
public:
    FloatExceptionMask() { std::feholdexcept(&saved_); }
    ~FloatExceptionMask() { std::fesetenv(&saved_); }
    FloatExceptionMask(const FloatExceptionMask&) = delete;
    FloatExceptionMask& operator=(const FloatExceptionMask&) = delete;

private:
    std::fenv_t saved_;
};

} // namespace tonvale
