#include "bench/accuracy/partials.h"

#include <algorithm>
#include <cmath>
#include <complex>

namespace tonvale::accuracy {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kSearchCents = 60.0;
constexpr double kStrongDb = -40.0;
constexpr int kMaxPartials = 24;

using Complex = std::complex<double>;

std::vector<double> hannWindowed(const std::vector<double>& samples) {
    const size_t n = samples.size();
    std::vector<double> out(n);
    for (size_t i = 0; i < n; ++i) {
        out[i] = samples[i] * (0.5 - 0.5 * std::cos(2.0 * kPi * (i + 0.5) / n));
    }
    return out;
}

void fft(std::vector<Complex>& a) {
    const size_t n = a.size();
    for (size_t i = 1, j = 0; i < n; ++i) {
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1) {
            j ^= bit;
        }
        j ^= bit;
        if (i < j) {
            std::swap(a[i], a[j]);
        }
    }
    std::vector<Complex> twiddles;
    for (size_t length = 2; length <= n; length <<= 1) {
        const double angle = -2.0 * kPi / static_cast<double>(length);
        twiddles.resize(length / 2);
        for (size_t k = 0; k < length / 2; ++k) {
            twiddles[k] = std::polar(1.0, angle * static_cast<double>(k));
        }
        for (size_t start = 0; start < n; start += length) {
            for (size_t k = 0; k < length / 2; ++k) {
                const Complex u = a[start + k];
                const Complex v = a[start + k + length / 2] * twiddles[k];
                a[start + k] = u + v;
                a[start + k + length / 2] = u - v;
            }
        }
    }
}

// |sum x[n] e^(-i 2 pi f n / rate)|, the rotation renewed every 1024 samples
// so that rounding cannot build up.
double spectrumMagnitude(const std::vector<double>& windowed, double rateHz, double freqHz) {
    const double step = -2.0 * kPi * freqHz / rateHz;
    const Complex rotation = std::polar(1.0, step);
    Complex sum = 0.0;
    Complex phasor = 1.0;
    for (size_t i = 0; i < windowed.size(); ++i) {
        if (i % 1024 == 0) {
            phasor = std::polar(1.0, step * static_cast<double>(i));
        }
        sum += windowed[i] * phasor;
        phasor *= rotation;
    }
    return std::abs(sum);
}

class Spectrum {
  public:
    Spectrum(const std::vector<double>& samples, double rateHz)
        : windowed_(hannWindowed(samples)), rateHz_(rateHz) {
        size_t size = 1;
        while (size < 4 * windowed_.size()) {
            size <<= 1;
        }
        std::vector<Complex> padded(size);
        std::copy(windowed_.begin(), windowed_.end(), padded.begin());
        fft(padded);
        magnitude_.resize(size / 2);
        for (size_t k = 0; k < size / 2; ++k) {
            magnitude_[k] = std::abs(padded[k]);
        }
        binHz_ = rateHz / static_cast<double>(size);
        double sum = 0.0;
        for (size_t i = 0; i < windowed_.size(); ++i) {
            sum += 0.5 - 0.5 * std::cos(2.0 * kPi * (i + 0.5) / windowed_.size());
        }
        windowSum_ = sum;
    }

    PartialEstimate peak(double lowHz, double highHz) const {
        const size_t first = static_cast<size_t>(std::ceil(lowHz / binHz_));
        const size_t last = std::min(magnitude_.size() - 1, static_cast<size_t>(highHz / binHz_));
        if (first >= last) {
            return {};
        }
        size_t best = first;
        for (size_t k = first; k <= last; ++k) {
            if (magnitude_[k] > magnitude_[best]) {
                best = k;
            }
        }
        if (best == first || best == last) {
            return {};
        }
        // Golden-section search for the maximum within one padded bin.
        const double ratio = 0.6180339887498949;
        double a = (static_cast<double>(best) - 1.0) * binHz_;
        double b = (static_cast<double>(best) + 1.0) * binHz_;
        double c = b - ratio * (b - a);
        double d = a + ratio * (b - a);
        double fc = spectrumMagnitude(windowed_, rateHz_, c);
        double fd = spectrumMagnitude(windowed_, rateHz_, d);
        for (int i = 0; i < 32; ++i) { // 2 bins x 0.618^32: under 1e-6 of a bin
            if (fc > fd) {
                b = d;
                d = c;
                fd = fc;
                c = b - ratio * (b - a);
                fc = spectrumMagnitude(windowed_, rateHz_, c);
            } else {
                a = c;
                c = d;
                fc = fd;
                d = a + ratio * (b - a);
                fd = spectrumMagnitude(windowed_, rateHz_, d);
            }
        }
        const double freq = (a + b) / 2.0;
        return {0, freq, 2.0 * std::max(fc, fd) / windowSum_};
    }

  private:
    std::vector<double> windowed_;
    double rateHz_;
    std::vector<double> magnitude_;
    double binHz_ = 0.0;
    double windowSum_ = 0.0;
};

double cents(double ratio) {
    return 1200.0 * std::log2(ratio);
}

PartialEstimate partialNear(const Spectrum& spectrum, double centreHz) {
    const double spread = std::pow(2.0, kSearchCents / 1200.0);
    return spectrum.peak(centreHz / spread, centreHz * spread);
}

} // namespace

PartialEstimate strongestPeak(const std::vector<double>& samples, double rateHz, double lowHz,
                              double highHz) {
    return Spectrum(samples, rateHz).peak(lowHz, highHz);
}

TruthMeasurement measureTruth(const std::vector<double>& samples, double rateHz, double nominalHz) {
    TruthMeasurement result;
    const Spectrum spectrum(samples, rateHz);
    std::vector<PartialEstimate> found;
    for (int k = 1; k <= kMaxPartials && k * nominalHz * 1.04 < 0.45 * rateHz; ++k) {
        PartialEstimate p = partialNear(spectrum, k * nominalHz);
        if (p.freqHz > 0.0) {
            p.number = k;
            found.push_back(p);
        }
    }
    if (found.empty()) {
        return result;
    }
    const auto strongest = std::max_element(found.begin(), found.end(),
                                            [](const PartialEstimate& a, const PartialEstimate& b) {
                                                return a.amplitude < b.amplitude;
                                            });
    result.strongestPartial = strongest->number;
    const double floor = strongest->amplitude * std::pow(10.0, kStrongDb / 20.0);
    for (const PartialEstimate& p : found) {
        if (p.amplitude >= floor) {
            result.partials.push_back(p);
        }
    }
    const PartialEstimate& lowest = result.partials.front();
    result.truthPartial = lowest.number;
    result.truthHz = lowest.freqHz / lowest.number;
    for (const PartialEstimate& p : result.partials) {
        if (p.number <= 8) {
            const double deviation = cents(p.freqHz / (p.number * result.truthHz));
            result.inharmonicityCents = std::max(result.inharmonicityCents, std::fabs(deviation));
        }
    }
    const size_t half = samples.size() / 2;
    const std::vector<double> first(samples.begin(), samples.begin() + half);
    const std::vector<double> second(samples.begin() + half, samples.end());
    const PartialEstimate early = partialNear(Spectrum(first, rateHz), lowest.freqHz);
    const PartialEstimate late = partialNear(Spectrum(second, rateHz), lowest.freqHz);
    if (early.freqHz > 0.0 && late.freqHz > 0.0) {
        result.driftCents = cents(late.freqHz / early.freqHz);
    }
    result.ok = true;
    return result;
}

} // namespace tonvale::accuracy
