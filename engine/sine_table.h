// The quarter-period sine table shared by every transform and window.
//
// T[k] = sin(k * pi / 4096), k = 0 .. 2047: a quarter of a sine of period
// 8192. For a transform length N (a power of two up to 8192) and
// j * (8192 / N) < 2048:
//   sin(2 pi j / N) = T[j * 8192 / N],  cos(2 pi j / N) = T[2048 - j * 8192 / N].
//
// The table is process-wide: fillSineTable() runs once at start-up, before any
// engine or tone thread, and everything reads it afterwards without locking.
#pragma once

namespace tonvale {

struct SineTable {
    static constexpr int kSize = 2048;
    // The period the table is a quarter of; also the longest transform.
    static constexpr int kPeriod = 8192;
    double values[kSize] = {};
};

extern SineTable gSineTable;

// Fills gSineTable. Calling it again rewrites the same values, so tools and
// tests may call it without tracking whether it already ran.
void fillSineTable();

} // namespace tonvale
