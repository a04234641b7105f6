#include "meter/meter_geometry.h"

#include <algorithm>
#include <cmath>

namespace tonvale {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int32_t kSubtitleDesignHeight = 16;
constexpr int32_t kFullLevel = 32768;

// clang-format off
const MeterRegions kLargeRegions = {{
    {10, 8, 83, 50},     // note
    {0, 60, 93, 76},     // subtitle
    {110, 8, 178, 36},   // cents
    {258, 8, 346, 30},   // frequency
    {112, 164, 150, 190},// flat lamp
    {200, 164, 238, 190},// sharp lamp
    {340, 42, 376, 58},  // reference readout
    {354, 74, 370, 202}, // level bar
}};
const MeterRegions kSmallRegions = {{
    {8, 8, 81, 50},
    {0, 60, 105, 76},
    {97, 8, 165, 36},
    {105, 52, 193, 74},
    {200, 32, 212, 48},
    {212, 32, 224, 48},
    {0, 0, 0, 0},
    {0, 0, 0, 0},
}};
// clang-format on

} // namespace

bool MeterRect::intersects(const MeterRect& other) const {
    return !empty() && !other.empty() && left < other.right && other.left < right &&
           top < other.bottom && other.top < bottom;
}

MeterRect MeterRect::united(const MeterRect& other) const {
    return {std::min(left, other.left), std::min(top, other.top), std::max(right, other.right),
            std::max(bottom, other.bottom)};
}

bool MeterRect::operator==(const MeterRect& other) const {
    return left == other.left && top == other.top && right == other.right && bottom == other.bottom;
}

MeterRegions meterRegions(MeterSize size) {
    return size == MeterSize::large ? kLargeRegions : kSmallRegions;
}

void centreSubtitleRegion(MeterRegions& regions, int32_t fontHeight) {
    MeterRect& subtitle = regions.rect[kSubtitleRegion];
    subtitle.top -= (fontHeight - kSubtitleDesignHeight) / 2;
    subtitle.bottom = subtitle.top + fontHeight;
}

NeedleTip needleTip(float degrees) {
    const double theta = degrees * kPi / 180.0;
    const double dx = kNeedleLength * std::sin(theta);
    const double dy = kNeedleLength * std::cos(theta);
    NeedleTip tip;
    const auto across = static_cast<int32_t>(std::lround(std::fabs(dx)));
    tip.x = dx < 0.0 ? kPivotX - across : kPivotX + across;
    tip.y = kPivotY - static_cast<int32_t>(std::lround(dy));
    tip.dx = static_cast<float>(dx);
    tip.minusDy = static_cast<float>(-dy);
    return tip;
}

MeterRect pixelNeedleRect(const NeedleTip& tip) {
    return {std::min(tip.x, kPivotX), tip.y, std::max(tip.x + 2, kPivotX + 2), kLargeMeterHeight};
}

MeterRect smoothNeedleRect(const NeedleTip& tip) {
    MeterRect rect;
    if (tip.dx < 0.0f) {
        rect.left = static_cast<int32_t>(std::trunc(kPivotX + tip.dx)) - 1;
        rect.right = kPivotX + 3;
    } else {
        rect.left = kPivotX - 1;
        rect.right = static_cast<int32_t>(std::ceil(kPivotX + tip.dx)) + 3;
    }
    rect.top = static_cast<int32_t>(std::trunc(tip.minusDy + kSmoothPivotY)) - 1;
    rect.bottom = kLargeMeterHeight;
    return rect;
}

float stepNeedle(float position, float target) {
    if (position < target)
        return std::min(target, position + kNeedleStepDegrees);
    if (position > target)
        return std::max(target, position - kNeedleStepDegrees);
    return position;
}

MeterRect levelBarRect(const MeterRect& region, uint16_t level) {
    const int32_t height = region.bottom - region.top;
    const int32_t filled = std::min<int32_t>(level, kFullLevel) * height / kFullLevel;
    return {region.left, region.bottom - filled, region.right, region.bottom};
}

} // namespace tonvale
