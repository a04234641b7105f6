// Masks every floating-point exception for the life of the object and then
// puts back the caller's exception mask.
//
// The tuner runs with invalid-operation, division-by-zero and overflow
// exceptions unmasked, so evaluating numbers typed by a user (1/0 in
// "scale.ini") would trap. Flags raised inside the scope are cleared before
// the mask is restored, so none is left pending for the caller.
#pragma once

#include <cfenv>

namespace tonvale {

class FloatExceptionMask {
  public:
    FloatExceptionMask();
    ~FloatExceptionMask();
    FloatExceptionMask(const FloatExceptionMask&) = delete;
    FloatExceptionMask& operator=(const FloatExceptionMask&) = delete;

  private:
    struct Saved {
        std::fenv_t environment = {}; // C library systems
        unsigned control = 0;         // Windows, whose feholdexcept leaves SSE traps on
    };
    Saved saved_{};
};

} // namespace tonvale
