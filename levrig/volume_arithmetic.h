// The numbers behind the panels: volume and channel percents, the balance
// position of two channels, and the conversion between the decibel levels of
// a source line and the percents its sliders show. Percents run 0 ... 100; a
// balance position runs 0 (all left) ... 100 (all right), 50 is the centre.
#pragma once

namespace tonvale {
namespace levrig {

constexpr int kBalanceCentre = 50;

struct ChannelPercents {
    int left = 100;
    int right = 100;
};

// Balance position of two channel percents: the quieter channel's share of
// the louder one, scaled to the half of the range on the louder side.
int balancePosition(ChannelPercents channels);

// The number shown beside the balance slider: how far from the centre, 0 ... 100.
int balanceNumber(int position);

// Percent of each channel, relative to the volume, for a balance position:
// the side the slider moved to stays at 100, the other falls to 0 at the end.
ChannelPercents balanceFactors(int position);

// Channel percents for a volume at a balance position (nearest whole number).
ChannelPercents channelsAtBalance(int volumePercent, int position);

// Channel percents after the volume moved from oldVolume to newVolume: kept
// in proportion; 0 centres the balance (both 0) and a move up from 0 makes
// both channels equal to the new volume.
ChannelPercents channelsForVolume(int newVolume, int oldVolume, ChannelPercents channels);

// A level scalar 0.0 ... 1.0 as a percent (nearest, clamped).
int percentOfScalar(double scalar);

// Decibel range of a volume-level control, as GetLevelRange gives it.
struct LevelRange {
    double minimumDb = -96.0;
    double maximumDb = 0.0;
};

// Percent of a level: its linear amplitude's place between the amplitudes of
// the range's ends (0 for an empty range; clamped to 0 ... 100).
int percentOfLevel(double levelDb, LevelRange range);

// The level of a percent, the inverse of percentOfLevel; kept inside the
// range (0 % of a range starting at silence gives its minimum).
double levelOfPercent(int percent, LevelRange range);

} // namespace levrig
} // namespace tonvale
