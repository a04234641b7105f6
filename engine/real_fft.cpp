#include "engine/real_fft.h"

#include "engine/sine_table.h"

#include <utility>

namespace tonvale {
namespace {

void bitReverse(double* data, int length) {
    int j = 0;
    for (int i = 0; i < length - 1; ++i) {
        if (i < j) {
            std::swap(data[i], data[j]);
        }
        int bit = length >> 1;
        while (j & bit) {
            j ^= bit;
            bit >>= 1;
        }
        j |= bit;
    }
}

// Every block of `span` values holds two packed half-length spectra, E (even
// samples) then O (odd samples); this turns them into the packed spectrum X of
// the whole block: X_k = E_k + W^k O_k and X_(span/2 - k) = conj(E_k - W^k O_k)
// with W = e^(-2 pi i / span). Bins k and span/4 - k are done together because
// together they read and write the same four slots.
void combineStage(double* data, int length, int span) {
    const double* table = gSineTable.values;
    const int stride = SineTable::kPeriod / span;
    const int half = span / 2;
    const int quarter = span / 4;
    for (int start = 0; start < length; start += span) {
        double* even = data + start;
        double* odd = even + half;
        const double even0 = even[0];
        const double evenNyquist = even[1];
        const double odd0 = odd[0];
        const double oddNyquist = odd[1];
        even[0] = even0 + odd0;
        even[1] = even0 - odd0;
        odd[0] = evenNyquist; // X_(span/4) = E_(span/4) - i O_(span/4)
        odd[1] = -oddNyquist;
        for (int k = 1; k <= quarter / 2; ++k) {
            const int mirror = quarter - k;
            const double c = table[SineTable::kSize - k * stride]; // cos(2 pi k / span)
            const double s = table[k * stride];                    // sin(2 pi k / span)

            const double er = even[2 * k];
            const double ei = even[2 * k + 1];
            const double orr = odd[2 * k];
            const double oi = odd[2 * k + 1];
            const double tr = c * orr + s * oi;
            const double ti = c * oi - s * orr;
            if (mirror == k) {
                even[2 * k] = er + tr;
                even[2 * k + 1] = ei + ti;
                odd[2 * k] = er - tr;
                odd[2 * k + 1] = ti - ei;
                continue;
            }
            // W^mirror = sin - i cos of the angle of k.
            const double mer = even[2 * mirror];
            const double mei = even[2 * mirror + 1];
            const double mor = odd[2 * mirror];
            const double moi = odd[2 * mirror + 1];
            const double mtr = s * mor + c * moi;
            const double mti = s * moi - c * mor;
            even[2 * k] = er + tr;
            even[2 * k + 1] = ei + ti;
            odd[2 * mirror] = er - tr; // X_(half - k) sits in the slot of O_mirror
            odd[2 * mirror + 1] = ti - ei;
            even[2 * mirror] = mer + mtr;
            even[2 * mirror + 1] = mei + mti;
            odd[2 * k] = mer - mtr;
            odd[2 * k + 1] = mti - mei;
        }
    }
}

} // namespace

void realFft(double* data, int length) {
    bitReverse(data, length);
    for (int i = 0; i < length; i += 2) {
        const double a = data[i];
        const double b = data[i + 1];
        data[i] = a + b;
        data[i + 1] = a - b;
    }
    for (int i = 0; i < length; i += 4) {
        const double a = data[i];
        const double b = data[i + 1];
        const double c = data[i + 2];
        const double d = data[i + 3];
        data[i] = a + c;
        data[i + 1] = a - c;
        data[i + 2] = b;
        data[i + 3] = -d;
    }
    for (int span = 8; span <= length; span *= 2) {
        combineStage(data, length, span);
    }
}

} // namespace tonvale
