// Counts the C++ allocations (operator new) made on one thread, for tests
// that show a loop allocates nothing. Linking allocation_counter_win.cpp
// replaces the program's global operator new and delete.
#pragma once

#include <windows.h>

namespace tonvale::test {

// Starts counting the allocations of `thread` (0 stops counting) and returns
// how many the previously watched thread made.
int countAllocationsOf(DWORD thread);

} // namespace tonvale::test
