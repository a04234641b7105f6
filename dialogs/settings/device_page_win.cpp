// The "Device" page: input and output devices with their counter bias, the
// hum filter and the sampling rate.
#include "dialogs/settings/page_layout_win.h"
#include "dialogs/settings/settings_pages_win.h"
#include "dialogs/settings/settings_values.h"

#include "devices/sound_device_notify_win.h"
#include "support/scoped_win.h"
#include "support/text_format.h"
#include "support/ui_text.h"
#include "support/window_binding_win.h"
#include "support/windows_version.h"

#include <commctrl.h>

#include <utility>

namespace tonvale {
namespace {

constexpr int kCalibrationBits = 16;
constexpr int kHumEntries[] = {148, 149}; // "50", "60"
constexpr const wchar_t* kRateEntries[] = {L"44100", L"48000"};
constexpr WPARAM kFlowMask = 0xFFFF;
constexpr WPARAM kUnknownFlow = 2;

enum Control {
    kInputGroup,
    kInputDeviceLabel,
    kInputList,
    kInputBiasLabel,
    kInputBiasEdit,
    kInputCentsLabel,
    kMeasureInputButton,
    kCaptureInputButton,
    kOutputGroup,
    kOutputDeviceLabel,
    kOutputList,
    kOutputBiasLabel,
    kOutputBiasEdit,
    kOutputCentsLabel,
    kMeasureOutputButton,
    kHumGroup,
    kHumCheck,
    kHumLabel,
    kHumCombo,
    kHumHzLabel,
    kRateLabel,
    kRateList,
    kRateHzLabel,
    kControlCount
};

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kBiasStyle = kChild | kEditStyle | ES_RIGHT;
const DialogControl kControls[kControlCount] = {
    {L"Button", 46, kUnaddressedId, 0, kChild | kGroupBoxStyle},
    {L"Static", 47, kUnaddressedId, 0, kChild | kLabelStyle},
    {L"ComboBox", kNoText, kInputDeviceId, 0, kChild | kDropListStyle},
    {L"Static", 48, kUnaddressedId, 0, kChild | kLabelStyle},
    {L"Edit", kNoText, kInputBiasId, WS_EX_CLIENTEDGE, kBiasStyle},
    {L"Static", 49, kUnaddressedId, 0, kChild | kLabelStyle},
    {L"Button", 50, kMeasureInputId, 0, kChild | kPushStyle},
    {L"Button", 51, kCaptureInputId, 0, kChild | kPushStyle},
    {L"Button", 52, kUnaddressedId, 0, kChild | kGroupBoxStyle},
    {L"Static", 47, kUnaddressedId, 0, kChild | kLabelStyle},
    {L"ComboBox", kNoText, kOutputDeviceId, 0, kChild | kDropListStyle},
    {L"Static", 48, kUnaddressedId, 0, kChild | kLabelStyle},
    {L"Edit", kNoText, kOutputBiasId, WS_EX_CLIENTEDGE, kBiasStyle},
    {L"Static", 49, kUnaddressedId, 0, kChild | kLabelStyle},
    {L"Button", 50, kMeasureOutputId, 0, kChild | kPushStyle},
    {L"Button", 53, kUnaddressedId, 0, kChild | kGroupBoxStyle},
    {L"Button", 54, kHumFilterId, 0, kChild | kGroupStart | kCheckStyle},
    {L"Static", 55, kUnaddressedId, 0, kChild | kLabelStyle},
    {L"ComboBox", kNoText, kHumFrequencyId, 0, kChild | kComboEditStyle},
    {L"Static", 147, kUnaddressedId, 0, kChild | kLabelStyle},
    {L"Static", 56, kUnaddressedId, 0, kChild | kLabelStyle},
    {L"ComboBox", kNoText, kSampleRateId, 0, kChild | kDropListStyle},
    {L"Static", 147, kUnaddressedId, 0, kChild | kLabelStyle},
};

// One direction's chooser: its controls and the devices its entries stand for.
struct DeviceSide {
    DeviceDirection direction;
    int listId;
    int biasId;
    int measureId;
    std::vector<SoundDevice> devices; // entry i is devices[i]
};

class DevicePage {
  public:
    explicit DevicePage(SettingsPageData* data) : data_(data) {}
    ~DevicePage() {
        if (notify_)
            heapDelete(notify_);
    }
    DevicePage(const DevicePage&) = delete;
    DevicePage& operator=(const DevicePage&) = delete;

    static DevicePage* attach(HWND, LPARAM parameter) {
        return heapNew<DevicePage>(reinterpret_cast<SettingsPageData*>(parameter));
    }
    static void detach(DevicePage* page) noexcept { heapDelete(page); }

    INT_PTR handleMessage(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
        if (!data_)
            return FALSE;
        switch (message) {
        case WM_INITDIALOG:
            return onInit(page);
        case WM_COMMAND:
            return onCommand(page, LOWORD(wParam), HIWORD(wParam));
        case WM_NOTIFY:
            return onPageNotice(page, *reinterpret_cast<const NMHDR*>(lParam), data_->currentPage,
                                2, [&] { apply(page); });
        case kDeviceChangeNotice:
            onDeviceChange(page, wParam);
            return TRUE;
        case WM_DESTROY:
            // Notices stop before the window goes.
            if (notify_)
                heapDelete(std::exchange(notify_, nullptr));
            return FALSE;
        default:
            return FALSE;
        }
    }

  private:
    INT_PTR onInit(HWND page);
    INT_PTR onCommand(HWND page, int id, int code);
    void fillDevices(HWND page, DeviceSide& side, const std::wstring& key);
    void onDeviceChange(HWND page, WPARAM notice);
    int32_t selectedIndex(HWND page, const DeviceSide& side) const;
    const wchar_t* selectedName(HWND page, const DeviceSide& side) const;
    uint32_t nominalRate(HWND page, DeviceDirection direction, int32_t index) const;
    void calibrate(HWND page, int id);
    void apply(HWND page) const;

    SettingsPageData* data_;
    DeviceSide input_ = {
        DeviceDirection::capture, kInputDeviceId, kInputBiasId, kMeasureInputId, {}};
    DeviceSide output_ = {
        DeviceDirection::playback, kOutputDeviceId, kOutputBiasId, kMeasureOutputId, {}};
    CSndDevNotify* notify_ = nullptr;
};

KeyComparison keyComparison() {
    // Endpoint GUIDs on Vista and later, product names before.
    return isWindowsVistaOrLater() ? KeyComparison::ignoringCase : KeyComparison::exact;
}

void DevicePage::fillDevices(HWND page, DeviceSide& side, const std::wstring& key) {
    side.devices = data_->deviceLists(side.direction);
    SendDlgItemMessageW(page, side.listId, CB_RESETCONTENT, 0, 0);
    std::vector<const wchar_t*> keys;
    for (const SoundDevice& device : side.devices) {
        addEntry(page, side.listId, device.name);
        keys.push_back(device.key);
    }
    selectEntry(page, side.listId,
                deviceEntryForKey(keys.data(), keys.size(), key.c_str(), keyComparison()));
}

INT_PTR DevicePage::onInit(HWND page) {
    int width = 0;
    int height = 0;
    if (!layoutDevicePage(page, data_->font, data_, &width, &height)) {
        DestroyWindow(page); // the host then ends as if cancelled
        return FALSE;
    }
    const SettingsCopy& copy = data_->copy;
    for (DeviceSide* side : {&input_, &output_}) {
        const bool input = side == &input_;
        fillDevices(page, *side, input ? copy.inDeviceName : copy.outDeviceName);
        SendDlgItemMessageW(page, side->biasId, EM_LIMITTEXT, kBiasChars, 0);
        setControlText(page, side->biasId,
                       biasText(input ? copy.inClockAdjust : copy.outClockAdjust));
    }
    LARGE_INTEGER frequency = {};
    const bool counter = QueryPerformanceFrequency(&frequency) && frequency.QuadPart != 0;
    const CalibrationDialogs& calibration = data_->calibration;
    enableControl(page, kMeasureInputId, counter && calibration.measureCaptureRate);
    enableControl(page, kMeasureOutputId, counter && calibration.measurePlaybackRate);
    enableControl(page, kCaptureInputId, calibration.captureReferenceSignal != nullptr);

    for (int text : kHumEntries)
        addEntry(page, kHumFrequencyId, UiText(text));
    SendDlgItemMessageW(page, kHumFrequencyId, CB_LIMITTEXT, kHumChars, 0);
    const bool hum = copy.humSupress != 0;
    setChecked(page, kHumFilterId, hum);
    if (hum)
        setControlText(page, kHumFrequencyId, humText(copy.humSupress));
    else
        selectEntry(page, kHumFrequencyId, 0);
    enableControl(page, kHumFrequencyId, hum);

    addEntry(page, kSampleRateId, UiText(57));
    for (const wchar_t* rate : kRateEntries)
        addEntry(page, kSampleRateId, rate);
    selectEntry(page, kSampleRateId, sampleRateEntry(copy.deviceSampleRate));
    // Endpoints run at their own mix rate: the rate is not ours to choose.
    enableControl(page, kSampleRateId, !isWindowsVistaOrLater());
    if (isWindowsVistaOrLater())
        notify_ = heapNew<CSndDevNotify>(page, kDeviceChangeNotice, LPARAM{0});
    return FALSE;
}

void DevicePage::onDeviceChange(HWND page, WPARAM notice) {
    if (notice & kDefaultDeviceNotice)
        return;
    const WPARAM flow = notice & kFlowMask;
    for (DeviceSide* side : {&input_, &output_}) {
        if (flow != kUnknownFlow && flow != static_cast<WPARAM>(side->direction))
            continue;
        const int entry = selectedEntry(page, side->listId);
        const std::wstring key = entry > 0 && static_cast<size_t>(entry) < side->devices.size()
                                     ? side->devices[entry].key
                                     : L"";
        fillDevices(page, *side, key);
    }
}

int32_t DevicePage::selectedIndex(HWND page, const DeviceSide& side) const {
    const int entry = selectedEntry(page, side.listId);
    return entry > 0 ? entry - 1 : -1;
}

const wchar_t* DevicePage::selectedName(HWND page, const DeviceSide& side) const {
    const int entry = selectedEntry(page, side.listId);
    return entry > 0 && static_cast<size_t>(entry) < side.devices.size() ? side.devices[entry].name
                                                                         : L"";
}

uint32_t DevicePage::nominalRate(HWND page, DeviceDirection direction, int32_t index) const {
    const uint32_t shown = sampleRateOfEntry(selectedEntry(page, kSampleRateId));
    return shown != 0 ? shown : defaultSampleRate(direction, index);
}

// Runs a calibration dialog for the chosen device and shows its counter bias;
// a cancelled or failed run (0) leaves the field as it was.
void DevicePage::calibrate(HWND page, int id) {
    const CalibrationDialogs& calibration = data_->calibration;
    DeviceSide& side = id == kMeasureOutputId ? output_ : input_;
    const int32_t index = selectedIndex(page, side);
    const uint32_t rate = nominalRate(page, side.direction, index);
    const wchar_t* name = selectedName(page, side);
    double cents = 0.0;
    if (id == kCaptureInputId && calibration.captureReferenceSignal) {
        const double ratio = calibration.captureReferenceSignal(pageOwner(page), index, name, rate);
        if (ratio == 0.0)
            return;
        cents = biasOfCapturedRatio(ratio);
    } else {
        auto measure = id == kMeasureOutputId ? calibration.measurePlaybackRate
                                              : calibration.measureCaptureRate;
        if (!measure)
            return;
        const double measured = measure(pageOwner(page), rate, kCalibrationBits, index, name);
        if (measured == 0.0)
            return;
        cents = biasOfMeasuredRate(measured, rate);
    }
    setControlText(page, side.biasId, centsText(cents));
}

INT_PTR DevicePage::onCommand(HWND page, int id, int code) {
    switch (id) {
    case kHumFilterId:
        if (code == BN_CLICKED)
            enableControl(page, kHumFrequencyId, isChecked(page, kHumFilterId));
        return TRUE;
    case kMeasureInputId:
    case kCaptureInputId:
    case kMeasureOutputId:
        if (code == BN_CLICKED)
            calibrate(page, id);
        return TRUE;
    default:
        return FALSE;
    }
}

void DevicePage::apply(HWND page) const {
    SettingsCopy& copy = data_->copy;
    for (const DeviceSide* side : {&input_, &output_}) {
        const int entry = selectedEntry(page, side->listId);
        const std::wstring key = entry > 0 && static_cast<size_t>(entry) < side->devices.size()
                                     ? side->devices[entry].key
                                     : L"";
        const int bias = biasFromText(controlText(page, side->biasId).c_str());
        if (side == &input_) {
            copy.inDeviceName = key;
            copy.inClockAdjust = bias;
        } else {
            copy.outDeviceName = key;
            copy.outClockAdjust = bias;
        }
    }
    copy.humSupress =
        isChecked(page, kHumFilterId) ? humFromText(controlText(page, kHumFrequencyId).c_str()) : 0;
    copy.deviceSampleRate = sampleRateOfEntry(selectedEntry(page, kSampleRateId));
}

} // namespace

bool layoutDevicePage(HWND page, HFONT font, void*, int* width, int* height) {
    PageLayout layout(page, font);
    if (!layout.valid())
        return false;
    LayoutNode* nodes[kControlCount] = {};
    const auto deviceGroup = [&](int first, bool capture) {
        nodes[first + 1] = layout.labelOf(47, {48});
        nodes[first + 2] = layout.list(40, kLayoutStretch);
        nodes[first + 3] = layout.labelOf(48, {47});
        // Seven widths of "0": "-100.00" must show whole beside the frame and margins.
        nodes[first + 4] = layout.edit(7);
        nodes[first + 5] = layout.label(49);
        nodes[first + 6] = layout.button(50);
        if (capture)
            nodes[first + 7] = layout.button(51);
        LayoutNode* deviceRow =
            layout.row(kLayoutCentre | kLayoutStretch, {nodes[first + 1], nodes[first + 2]});
        LayoutNode* biasRow =
            layout.row(kLayoutCentre, {nodes[first + 3], nodes[first + 4], nodes[first + 5],
                                       nodes[first + 6], capture ? nodes[first + 7] : nullptr});
        nodes[first] = layout.column(kLayoutTitled | kLayoutFramed | kLayoutStretch,
                                     kControls[first].text, {deviceRow, biasRow});
    };
    deviceGroup(kInputGroup, true);
    deviceGroup(kOutputGroup, false);

    nodes[kHumCheck] = layout.check(54);
    nodes[kHumLabel] = layout.label(55);
    nodes[kHumCombo] = layout.list(8);
    nodes[kHumHzLabel] = layout.label(147);
    nodes[kHumGroup] =
        layout.column(kLayoutTitled | kLayoutFramed | kLayoutStretch, 53,
                      {layout.row(kLayoutCentre, {nodes[kHumCheck], nodes[kHumLabel],
                                                  nodes[kHumCombo], nodes[kHumHzLabel]})});

    nodes[kRateLabel] = layout.label(56);
    nodes[kRateList] = layout.list(15);
    nodes[kRateHzLabel] = layout.label(147);
    LayoutNode* rateRow =
        layout.row(kLayoutCentre, {nodes[kRateLabel], nodes[kRateList], nodes[kRateHzLabel]});

    LayoutNode* root =
        layout.column(kLayoutStretch, kNoText,
                      {nodes[kInputGroup], nodes[kOutputGroup], nodes[kHumGroup], rateRow});
    return layout.finish(root, kControls, nodes, kControlCount, width, height);
}

INT_PTR CALLBACK devicePageProcedure(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    return dialogProcedure<DevicePage>(page, message, wParam, lParam);
}

} // namespace tonvale
