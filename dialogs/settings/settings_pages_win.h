// The three pages of the settings dialog and the data they share.
//
// A page is a child dialog made from an empty template. Its procedure is
// sent WM_INITDIALOG with the SettingsPageData as lParam; it then lays out
// and creates its controls and shows the copy's values. On PSN_APPLY (a
// WM_NOTIFY) it stores what its controls show into the copy and answers 0;
// on PSN_SETACTIVE it records itself as the current page.
// Pages never write the process's settings themselves.
#pragma once

#include "devices/device_catalogue_win.h"
#include "dialogs/builder/tabbed_dialog_win.h"
#include "dialogs/settings/settings_copy.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace tonvale {

// The clock calibration dialogs behind the Device page's "Measure..." and
// "Capture..." buttons. The measurements return the real rate of the device,
// the capture the ratio of the nominal to the observed reference frequency;
// 0 means cancelled or failed. A button whose dialog is null stays disabled.
struct CalibrationDialogs {
    double (*measureCaptureRate)(HWND owner, uint32_t nominalRate, int bits, int32_t deviceIndex,
                                 const wchar_t* deviceName) = nullptr;
    double (*measurePlaybackRate)(HWND owner, uint32_t nominalRate, int bits, int32_t deviceIndex,
                                  const wchar_t* deviceName) = nullptr;
    double (*captureReferenceSignal)(HWND owner, int32_t deviceIndex, const wchar_t* deviceName,
                                     uint32_t rate) = nullptr;
};

// The program's calibration dialogs.
CalibrationDialogs programCalibrationDialogs();

// Lists a device chooser offers: "(Default Device)" first, then every device.
using DeviceListSource = std::vector<SoundDevice> (*)(DeviceDirection direction);

struct SettingsPageData {
    SettingsCopy copy;
    TuningFiles files;    // "scale.ini" for the information text
    HFONT font = nullptr; // of the dialog and its pages
    CalibrationDialogs calibration = programCalibrationDialogs();
    DeviceListSource deviceLists = &deviceList;
    int currentPage = 0; // the page shown last
};

// Control ids.
enum SettingsControlId : uint16_t {
    kPowerOnInitiallyId = 100,
    kHarmonicsAwareId = 101,
    kReduceNeedleSwayId = 102,
    kMicInSwitchId = 103,
    kSaveWindowPositionId = 104,
    kSystemFontId = 105,
    kInTuneRangeId = 107,
    kNoteSubtitleId = 108,
    kNoteCommentId = 109,
    kFrequencyOfA4Id = 110,
    kSemitoneShiftId = 111,
    kShiftListId = 112,
    kSensitivityId = 113,
    kTemperamentId = 114,
    kKeyId = 115,
    kTemperamentCommentId = 116,
    kInformationId = 117,
    kInputDeviceId = 118,
    kInputBiasId = 119,
    kMeasureInputId = 120,
    kCaptureInputId = 121,
    kOutputDeviceId = 122,
    kOutputBiasId = 123,
    kMeasureOutputId = 124,
    kHumFilterId = 125,
    kHumFrequencyId = 126,
    kSampleRateId = 127,
};

// Private message of the Device page: a device-change notice (wParam the
// data flow, 0 playback, 1 capture, 2 unknown, with 0x10000 for a change of
// the default device; lParam 0).
constexpr UINT kDeviceChangeNotice = WM_APP;

// The pages in tab order: "Tuning", "Display", "Device". Their layout
// functions take the SettingsPageData as the shared data; with a null page
// they only measure.
constexpr int kSettingsPageCount = 3;
extern const TabbedPage kSettingsPages[kSettingsPageCount];

bool layoutTuningPage(HWND page, HFONT font, void* shared, int* width, int* height);
bool layoutDisplayPage(HWND page, HFONT font, void* shared, int* width, int* height);
bool layoutDevicePage(HWND page, HFONT font, void* shared, int* width, int* height);
INT_PTR CALLBACK tuningPageProcedure(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK displayPageProcedure(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK devicePageProcedure(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace tonvale
