#include "meter/meter_model.h"

#include <cmath>

namespace tonvale {
namespace {

// Below this the anti-aliased needle looks the same.
constexpr float kSmoothStepPixels = 0.05f;

} // namespace

void MeterModel::create(MeterSize size, NeedleDrawing drawing, int32_t subtitleFontHeight) {
    *this = MeterModel();
    size_ = size;
    drawing_ = drawing;
    regions_ = meterRegions(size);
    centreSubtitleRegion(regions_, subtitleFontHeight);
    tip_ = needleTip(position_);
}

void MeterModel::useSize(MeterSize size, NeedleDrawing drawing, int32_t subtitleFontHeight,
                         MeterEffects& effects) {
    size_ = size;
    drawing_ = drawing;
    regions_ = meterRegions(size);
    centreSubtitleRegion(regions_, subtitleFontHeight);
    updateTip(effects);
}

void MeterModel::setNeedle(float cents) {
    target_ = static_cast<float>(cents * kDegreesPerCent);
}

void MeterModel::needleRest() {
    target_ = kNeedleRestDegrees;
}

void MeterModel::power(bool on, MeterEffects& effects) {
    if (on) {
        if (timer_ == NeedleTimer::off)
            effects.startNeedleTimer();
        timer_ = NeedleTimer::powered;
    } else if (timer_ == NeedleTimer::powered) {
        timer_ = NeedleTimer::poweringDown;
        target_ = kNeedleRestDegrees;
    }
}

void MeterModel::invalidateRegion(MeterRegion r, uint16_t bit, MeterEffects& effects) {
    dirty_ |= bit;
    effects.invalidate(regions_.rect[r]);
}

void MeterModel::setLamps(uint8_t lamps, MeterEffects& effects) {
    lamps &= 3;
    if (lamps == lamps_)
        return;
    const uint8_t lit = lamps | lamps_;
    lamps_ = lamps;
    if (lit & 2)
        invalidateRegion(kFlatLampRegion, kDirtyFlatLamp, effects);
    if (lit & 1)
        invalidateRegion(kSharpLampRegion, kDirtySharpLamp, effects);
}

bool MeterModel::setDigits(int32_t noteNumber, uint16_t centsCode, int32_t frequencyTenths,
                           MeterEffects& effects) {
    bool changed = false;
    if (noteNumber != noteNumber_) {
        noteNumber_ = noteNumber;
        invalidateRegion(kNoteRegion, kDirtyNote, effects);
        invalidateRegion(kSubtitleRegion, kDirtySubtitle, effects);
        changed = true;
    }
    if (centsCode != centsCode_) {
        centsCode_ = centsCode;
        invalidateRegion(kCentsRegion, kDirtyCents, effects);
        changed = true;
    }
    if (frequencyTenths != frequencyTenths_) {
        frequencyTenths_ = frequencyTenths;
        invalidateRegion(kFrequencyRegion, kDirtyFrequency, effects);
        changed = true;
    }
    return changed;
}

void MeterModel::setLevel(uint16_t level, MeterEffects& effects) {
    if (level == level_)
        return;
    const MeterRect& region = regions_.rect[kLevelRegion];
    const bool barMoves = levelBarRect(region, level).top != levelBarRect(region, level_).top;
    level_ = level;
    // The level changes with every reading, the bar's pixels far less often.
    if (large() && barMoves)
        invalidateRegion(kLevelRegion, kDirtyLevel, effects);
}

void MeterModel::setReference(int32_t value, MeterEffects& effects) {
    reference_ = value;
    if (large())
        invalidateRegion(kReferenceRegion, kDirtyReference, effects);
}

MeterRect MeterModel::needleRect() const {
    return drawing_ == NeedleDrawing::smooth ? smoothNeedleRect(tip_) : pixelNeedleRect(tip_);
}

void MeterModel::updateTip(MeterEffects& effects) {
    tip_ = needleTip(position_);
    if (large())
        effects.invalidate(needleRect());
}

void MeterModel::needleTimerTick(MeterEffects& effects) {
    if (position_ == target_) {
        if (timer_ == NeedleTimer::poweringDown) {
            effects.stopNeedleTimer();
            timer_ = NeedleTimer::off;
        }
        return;
    }
    position_ = stepNeedle(position_, target_);
    // A steady tone moves the needle by fractions of a pixel: nothing to
    // redraw while the drawn needle stays where it is.
    const NeedleTip next = needleTip(position_);
    const bool moves = drawing_ == NeedleDrawing::smooth
                           ? std::fabs(next.dx - tip_.dx) + std::fabs(next.minusDy - tip_.minusDy) >
                                 kSmoothStepPixels
                           : next.x != tip_.x || next.y != tip_.y;
    if (!moves) {
        finishPowerDown(effects);
        return;
    }
    if (large()) {
        const MeterRect old = needleRect();
        if (dirty_ & kDirtyNeedle) {
            needleDirty_ = needleDirty_.united(old);
        } else {
            needleDirty_ = old;
            dirty_ |= kDirtyNeedle;
        }
        effects.invalidate(old);
    }
    updateTip(effects);
    finishPowerDown(effects);
}

void MeterModel::finishPowerDown(MeterEffects& effects) {
    if (timer_ == NeedleTimer::poweringDown && position_ == target_) {
        effects.stopNeedleTimer();
        timer_ = NeedleTimer::off;
    }
}

} // namespace tonvale
