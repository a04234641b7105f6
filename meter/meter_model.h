// What the meter shows and which of its regions need recomposing: the state
// its messages change, apart from the drawing itself.
//
// The Windows control owns one MeterModel, forwards its messages here and
// carries out the effects (invalidating, the needle timer); painting reads
// the state and the dirty mask back.
#pragma once

#include "meter/meter_geometry.h"
#include "meter/meter_texts.h"

#include <cstdint>

namespace tonvale {

// What the model asks of its window.
class MeterEffects {
  public:
    virtual void invalidate(const MeterRect& rect) = 0; // without erase
    virtual void startNeedleTimer() = 0;                // every kNeedleTimerMs
    virtual void stopNeedleTimer() = 0;
    virtual ~MeterEffects() = default;
};

enum class NeedleDrawing : uint8_t { pixels, smooth };

// Needle timer: off, running while powered, running until the needle rests.
enum class NeedleTimer : int8_t { poweringDown = -1, off = 0, powered = 1 };

class MeterModel {
  public:
    // The state of a new control: no note, needle at rest, timer off.
    void create(MeterSize size, NeedleDrawing drawing, int32_t subtitleFontHeight);

    // Sets the regions of a display size (after its resources are loaded),
    // the needle drawing in use, and recomputes the needle tip.
    void useSize(MeterSize size, NeedleDrawing drawing, int32_t subtitleFontHeight,
                 MeterEffects& effects);

    void setNeedle(float cents); // target = cents * 1.12 degrees
    void needleRest();
    void power(bool on, MeterEffects& effects);
    void setLamps(uint8_t lamps, MeterEffects& effects);
    // True when anything changed.
    bool setDigits(int32_t noteNumber, uint16_t centsCode, int32_t frequencyTenths,
                   MeterEffects& effects);
    void setLevel(uint16_t level, MeterEffects& effects);
    void setReference(int32_t value, MeterEffects& effects);
    void needleTimerTick(MeterEffects& effects);

    // The needle's area as last drawn.
    MeterRect needleRect() const;
    void markDirty(uint16_t bits) { dirty_ |= bits; }
    void clearDirty() { dirty_ = 0; }

    MeterSize size() const { return size_; }
    bool large() const { return size_ == MeterSize::large; }
    NeedleDrawing needleDrawing() const { return drawing_; }
    const MeterRect& region(MeterRegion r) const { return regions_.rect[r]; }
    uint16_t dirty() const { return dirty_; }
    const MeterRect& needleDirtyRect() const { return needleDirty_; }
    const NeedleTip& tip() const { return tip_; }
    NeedleTimer timer() const { return timer_; }
    float needleTarget() const { return target_; }
    float needlePosition() const { return position_; }
    uint8_t lamps() const { return lamps_; }
    int32_t noteNumber() const { return noteNumber_; }
    uint16_t centsCode() const { return centsCode_; }
    int32_t frequencyTenths() const { return frequencyTenths_; }
    uint16_t level() const { return level_; }
    int32_t reference() const { return reference_; }

  private:
    void invalidateRegion(MeterRegion r, uint16_t bit, MeterEffects& effects);
    void updateTip(MeterEffects& effects);
    void finishPowerDown(MeterEffects& effects);

    MeterSize size_ = MeterSize::large;
    NeedleDrawing drawing_ = NeedleDrawing::pixels;
    MeterRegions regions_ = {};
    uint16_t dirty_ = 0;
    MeterRect needleDirty_;
    NeedleTip tip_;
    NeedleTimer timer_ = NeedleTimer::off;
    float target_ = kNeedleRestDegrees;
    float position_ = kNeedleRestDegrees;
    uint8_t lamps_ = 0;
    int32_t noteNumber_ = kNoNoteNumber;
    uint16_t centsCode_ = kNoCents;
    int32_t frequencyTenths_ = 0;
    uint16_t level_ = 0;
    int32_t reference_ = 0;
};

} // namespace tonvale
