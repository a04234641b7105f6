#include "levrig/volume_arithmetic.h"

#include <algorithm>
#include <cmath>

namespace tonvale {
namespace levrig {
namespace {

int clampPercent(int percent) {
    return std::min(100, std::max(0, percent));
}

// v × numerator ÷ denominator to the nearest whole number; all non-negative.
int scaledRounded(int value, int numerator, int denominator) {
    return (value * numerator + denominator / 2) / denominator;
}

double amplitudeOfDb(double levelDb) {
    return std::pow(10.0, levelDb / 20.0);
}

} // namespace

int balancePosition(ChannelPercents channels) {
    const int left = clampPercent(channels.left);
    const int right = clampPercent(channels.right);
    if (right < left)
        return static_cast<int>(right * 50.0 / left + 0.5);
    if (left < right)
        return 100 - static_cast<int>(left * 50.0 / right + 0.5);
    return kBalanceCentre;
}

int balanceNumber(int position) {
    return position > kBalanceCentre ? 2 * position - 100 : 100 - 2 * position;
}

ChannelPercents balanceFactors(int position) {
    position = clampPercent(position);
    if (position <= kBalanceCentre)
        return {100, 2 * position};
    return {200 - 2 * position, 100};
}

ChannelPercents channelsAtBalance(int volumePercent, int position) {
    const ChannelPercents factors = balanceFactors(position);
    volumePercent = clampPercent(volumePercent);
    return {scaledRounded(volumePercent, factors.left, 100),
            scaledRounded(volumePercent, factors.right, 100)};
}

ChannelPercents channelsForVolume(int newVolume, int oldVolume, ChannelPercents channels) {
    newVolume = clampPercent(newVolume);
    oldVolume = clampPercent(oldVolume);
    if (newVolume == 0)
        return {0, 0};
    if (oldVolume == 0)
        return {newVolume, newVolume};
    return {clampPercent(scaledRounded(clampPercent(channels.left), newVolume, oldVolume)),
            clampPercent(scaledRounded(clampPercent(channels.right), newVolume, oldVolume))};
}

int percentOfScalar(double scalar) {
    if (!(scalar > 0.0)) // also NaN
        return 0;
    return clampPercent(static_cast<int>(std::lround(scalar * 100.0)));
}

int percentOfLevel(double levelDb, LevelRange range) {
    const double minimum = amplitudeOfDb(range.minimumDb);
    const double maximum = amplitudeOfDb(range.maximumDb);
    if (!(maximum > minimum) || std::isnan(levelDb))
        return 0;
    const double amplitude = amplitudeOfDb(levelDb);
    const double percent = (amplitude - minimum) * 100.0 / (maximum - minimum) + 0.5;
    if (percent <= 0.0)
        return 0;
    return clampPercent(static_cast<int>(std::min(percent, 100.0)));
}

double levelOfPercent(int percent, LevelRange range) {
    const double minimum = amplitudeOfDb(range.minimumDb);
    const double maximum = amplitudeOfDb(range.maximumDb);
    const double amplitude = clampPercent(percent) / 100.0 * (maximum - minimum) + minimum;
    if (!(amplitude > 0.0))
        return range.minimumDb;
    const double levelDb = 20.0 * std::log10(amplitude);
    return std::min(range.maximumDb, std::max(range.minimumDb, levelDb));
}

} // namespace levrig
} // namespace tonvale
