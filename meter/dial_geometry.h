// The dial scale the anti-aliased back end draws over the large background:
// an erased annulus, a white band cut every 10 cents, longer black marks at
// +-20 and +-50 cents, and a centre mark.
//
// Coordinates are relative to the pivot (175, 224.5), y growing downward,
// angles in degrees from straight up, positive to the right.
#pragma once

#include <cstddef>

namespace tonvale {

struct DialPoint {
    float x = 0.0f;
    float y = 0.0f;
};

// Sine and cosine in double precision, the products with the radius in
// single precision.
DialPoint dialPoint(float radius, double degrees);

// The area between two arcs spanning +-56 degrees.
struct DialSector {
    float outerRadius;
    float innerRadius;
    DialPoint outerRight; // outer arc at +56
    DialPoint outerLeft;  // outer arc at -56
    DialPoint innerLeft;
    DialPoint innerRight;
};

constexpr double kDialHalfSpanDegrees = 56.0;

DialSector dialEraseSector(); // radii 158 and 116
DialSector dialBandSector();  // radii 142.5 and 118.5

enum class DialInk { erase, black };

struct DialLine {
    DialPoint from;
    DialPoint to;
    float width;
    DialInk ink;
};

// The radial edges of the erased sector (6 wide), the band's divisions, the
// long marks and the centre mark, in drawing order after the fills.
constexpr size_t kDialEdgeLines = 2;
constexpr size_t kDialScaleLines = 10 + 4 + 1;
void dialEdgeLines(DialLine (&lines)[kDialEdgeLines]);
void dialScaleLines(DialLine (&lines)[kDialScaleLines]);

} // namespace tonvale
