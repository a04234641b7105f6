// Fixed geometry of the meter: its two display sizes, the regions it
// recomposes one by one, the dial and the needle.
//
// Everything here is in meter client pixels with y growing downward. The
// needle pivots below the client area, so only its upper part is visible.
#pragma once

#include <cstdint>

namespace tonvale {

struct MeterRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    bool empty() const { return right <= left || bottom <= top; }
    bool intersects(const MeterRect& other) const;
    // The smallest rectangle holding both.
    MeterRect united(const MeterRect& other) const;
    bool operator==(const MeterRect& other) const;
};

enum class MeterSize : uint8_t { small, large };

// Client sizes of the two displays (the background bitmaps' sizes).
constexpr int32_t kSmallMeterWidth = 232;
constexpr int32_t kSmallMeterHeight = 82;
constexpr int32_t kLargeMeterWidth = 386;
constexpr int32_t kLargeMeterHeight = 214;

// Regions in the order of MeterState's region table.
enum MeterRegion : int {
    kNoteRegion,
    kSubtitleRegion,
    kCentsRegion,
    kFrequencyRegion,
    kFlatLampRegion,  // lamp 1
    kSharpLampRegion, // lamp 2
    kReferenceRegion, // large display only
    kLevelRegion,     // large display only
    kMeterRegionCount,
};

// Dirty-mask bits: which regions are recomposed at the next paint.
enum DirtyBits : uint16_t {
    kDirtyNeedle = 0x001,
    kDirtyFlatLamp = 0x002,
    kDirtySharpLamp = 0x004,
    kDirtyLevel = 0x008,
    kDirtyNote = 0x010,
    kDirtyCents = 0x020,
    kDirtyFrequency = 0x040,
    kDirtyReference = 0x080,
    kDirtySubtitle = 0x100,
    kDirtyAll = 0x1FF,
};

struct MeterRegions {
    MeterRect rect[kMeterRegionCount];
};
MeterRegions meterRegions(MeterSize size);

// The subtitle is drawn in a font of its own; its region is re-centred
// vertically on that font's height.
void centreSubtitleRegion(MeterRegions& regions, int32_t fontHeight);

// Dial and needle (large display).
constexpr int32_t kPivotX = 174;
constexpr int32_t kPivotY = 224;
constexpr double kNeedleLength = 156.0;
constexpr double kDegreesPerCent = 1.12;
constexpr float kNeedleRestDegrees = -56.0f;
constexpr float kNeedleStepDegrees = 22.4f; // at most 20 cents per timer tick
constexpr uint32_t kNeedleTimerMs = 100;
// The pivot as the anti-aliased drawing sees it: the centre of the two-pixel
// wide needle.
constexpr float kSmoothPivotX = 175.0f;
constexpr float kSmoothPivotY = 224.5f;

// The needle tip in the form its back end draws it from.
struct NeedleTip {
    // Pixel drawing: the tip pixel.
    int32_t x = kPivotX;
    int32_t y = kPivotY;
    // Anti-aliased drawing: offsets (dx, -dy) from the pivot.
    float dx = 0.0f;
    float minusDy = 0.0f;
};

// Tip of a needle at `degrees` from straight up, positive to the right.
NeedleTip needleTip(float degrees);
// The area a needle drawn from tip covers, for the pixel drawing and for the
// anti-aliased one; neither reaches below the client area.
MeterRect pixelNeedleRect(const NeedleTip& tip);
MeterRect smoothNeedleRect(const NeedleTip& tip);

// One timer step: the position moves toward the target by at most one step.
float stepNeedle(float position, float target);

// The level bar rising from the bottom of its region; level 0 ... 32768.
MeterRect levelBarRect(const MeterRect& region, uint16_t level);

} // namespace tonvale
