// Which unhandled exceptions end the program with a message, and the message.
#pragma once

#include <cstdint>
#include <string>

namespace tonvale {

// Access violation, no memory, illegal or privileged instruction, a
// non-continuable exception, integer division by zero, stack overflow and
// guard-page violation. Everything else (floating-point traps among them)
// is left to the system's default handling.
bool isFatalException(uint32_t code);

// "An unrecoverable error has occurred. (0xC0000005)"
std::wstring fatalExceptionText(uint32_t code);

} // namespace tonvale
