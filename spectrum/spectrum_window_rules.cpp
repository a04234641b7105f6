#include "spectrum/spectrum_window_rules.h"

#include "spectrum/spectrum_scale.h"

#include <algorithm>

namespace tonvale {

PixelSize viewSizeForClient(PixelSize client, PixelSize baseClient) {
    return {kBaseViewWidth + std::clamp(client.width - baseClient.width, 0, kViewGrowthWidth),
            kBaseViewHeight + std::clamp(client.height - baseClient.height, 0, kViewGrowthHeight)};
}

PixelSize windowGrowthForView(PixelSize storedView) {
    return {std::clamp(storedView.width - kBaseViewWidth, 0, kViewGrowthWidth),
            std::clamp(storedView.height - kBaseViewHeight, 0, kViewGrowthHeight)};
}

int pageForViewHeight(int32_t viewHeight) {
    const int32_t plotRows = viewHeight - kAxisStripHeight;
    const int32_t baseRows = kBaseViewHeight - kAxisStripHeight;
    const int page = static_cast<int>(plotRows * static_cast<double>(kBasePage) / baseRows + 0.5);
    return std::clamp(page, 1, kDbSteps);
}

int clampDbOffset(int offset, int page) {
    return std::clamp(offset, 0, std::max(kDbSteps - page, 0));
}

int scrolledDbOffset(int offset, int page, ScrollAction action, int thumb) {
    switch (action) {
    case ScrollAction::lineUp:
        offset -= kDbLineStep;
        break;
    case ScrollAction::lineDown:
        offset += kDbLineStep;
        break;
    case ScrollAction::pageUp:
        offset -= page;
        break;
    case ScrollAction::pageDown:
        offset += page;
        break;
    case ScrollAction::thumb:
        offset = thumb;
        break;
    case ScrollAction::top:
        offset = 0;
        break;
    case ScrollAction::bottom:
        offset = kMaxDbOffset;
        break;
    case ScrollAction::other:
        break;
    }
    return clampDbOffset(offset, page);
}

ScreenPlace wantedPlace(StoredOffset stored, const ScreenArea& mainWindow, PixelSize window) {
    const int32_t mainWidth = mainWindow.right - mainWindow.left;
    const int32_t mainHeight = mainWindow.bottom - mainWindow.top;
    // Offsets are added in 64 bits: a stored value near the limits must not
    // wrap around to the other side of the screen.
    auto along = [](int32_t origin, int32_t offset, int32_t centred) {
        const int64_t place =
            static_cast<int64_t>(origin) + (offset == INT32_MIN ? centred : offset);
        return static_cast<int32_t>(std::clamp<int64_t>(place, INT32_MIN + 1, INT32_MAX));
    };
    return {along(mainWindow.left, stored.x, (mainWidth - window.width) / 2),
            along(mainWindow.top, stored.y, (mainHeight - window.height) / 2)};
}

ScreenPlace keepInWorkArea(ScreenPlace place, PixelSize window, const ScreenArea& workArea) {
    place.x = std::max(place.x, workArea.left);
    place.x = std::min(place.x, workArea.right - window.width);
    place.y = std::min(place.y, workArea.bottom - window.height);
    place.y = std::max(place.y, workArea.top);
    return place;
}

SpectrumFrame frameForReading(const float* values, int32_t count, int32_t rate, int32_t peakBin,
                              int band, int offset, int page) {
    SpectrumFrame frame;
    frame.values = values;
    frame.count = count;
    frame.rate = rate;
    frame.spectrumSize = spectrumSizeOfBand(band);
    frame.binStep = binStepOfBand(band);
    frame.topDb = static_cast<int16_t>(-offset);
    frame.bottomDb = static_cast<int16_t>(-(offset + page) + 1);
    frame.markerColumn = peakBin;
    return frame;
}

} // namespace tonvale
