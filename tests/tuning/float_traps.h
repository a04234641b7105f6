// Turns floating-point traps on and off the way the tuner's entry does.
#pragma once

namespace tonvale {

// Unmasks invalid-operation, division-by-zero and overflow.
void unmaskFloatTraps();
// True while exactly those three are unmasked.
bool floatTrapsUnmasked();
void maskFloatTraps();

} // namespace tonvale
