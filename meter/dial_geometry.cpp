#include "meter/dial_geometry.h"

#include <cmath>
#include <initializer_list>

namespace tonvale {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr float kEraseOuter = 158.0f;
constexpr float kEraseInner = 116.0f;
constexpr float kBandOuter = 142.5f;
constexpr float kBandInner = 118.5f;
constexpr double kDegreesPerDivision = 11.2; // 10 cents
constexpr float kEdgeWidth = 6.0f;
constexpr float kLineWidth = 2.0f;

DialSector sector(float outer, float inner) {
    return {outer,
            inner,
            dialPoint(outer, kDialHalfSpanDegrees),
            dialPoint(outer, -kDialHalfSpanDegrees),
            dialPoint(inner, -kDialHalfSpanDegrees),
            dialPoint(inner, kDialHalfSpanDegrees)};
}

} // namespace

DialPoint dialPoint(float radius, double degrees) {
    const double theta = degrees * kPi / 180.0;
    const auto sine = static_cast<float>(std::sin(theta));
    const auto cosine = static_cast<float>(std::cos(theta));
    return {radius * sine, -(radius * cosine)};
}

DialSector dialEraseSector() {
    return sector(kEraseOuter, kEraseInner);
}

DialSector dialBandSector() {
    return sector(kBandOuter, kBandInner);
}

void dialEdgeLines(DialLine (&lines)[kDialEdgeLines]) {
    const DialSector erase = dialEraseSector();
    lines[0] = {erase.outerLeft, erase.innerLeft, kEdgeWidth, DialInk::erase};
    lines[1] = {erase.outerRight, erase.innerRight, kEdgeWidth, DialInk::erase};
}

void dialScaleLines(DialLine (&lines)[kDialScaleLines]) {
    size_t n = 0;
    for (int k = 1; k <= 5; ++k) {
        for (int side : {-1, 1}) {
            const double degrees = side * kDegreesPerDivision * k;
            lines[n++] = {dialPoint(143.0f, degrees), dialPoint(118.0f, degrees), kLineWidth,
                          DialInk::erase};
        }
    }
    for (int k : {2, 5}) {
        for (int side : {-1, 1}) {
            const double degrees = side * kDegreesPerDivision * k;
            lines[n++] = {dialPoint(156.0f, degrees), dialPoint(142.5f, degrees), kLineWidth,
                          DialInk::black};
        }
    }
    lines[n] = {{0.0f, -156.0f}, {0.0f, -103.0f}, kLineWidth, DialInk::black};
}

} // namespace tonvale
