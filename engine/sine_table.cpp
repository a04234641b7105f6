#include "engine/sine_table.h"

#include "engine/pi.h"

#include <cmath>

namespace tonvale {

SineTable gSineTable;

void fillSineTable() {
    double* table = gSineTable.values;
    table[0] = 0.0;
    // Exact, rather than whatever sin(pi / 4) rounds to.
    table[1024] = 0.7071067811865476;
    for (int k = 1; k < 1024; ++k) {
        const double angle = k * kPi / 4096.0;
        table[k] = std::sin(angle);
        table[SineTable::kSize - k] = std::cos(angle);
    }
}

} // namespace tonvale
