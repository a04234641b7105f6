#include "devices/calibration/reference_capture_dialog_win.h"

#include "app/main_window_messages_win.h"
#include "app/process_context_win.h"
#include "app/tool_launchers_win.h"
#include "devices/calibration/calibration_dialog_win.h"
#include "devices/calibration/reference_capture.h"
#include "dialogs/builder/dialog_builder_win.h"
#include "engine/engine_params.h"
#include "engine/pitch_reading.h"
#include "support/scoped_win.h"
#include "support/text_format.h"
#include "support/ui_text.h"
#include "support/window_binding_win.h"

#include <string>

namespace tonvale {

namespace {

constexpr int kOkText = 0;
constexpr int kStartText = 1;
constexpr int kCancelText = 2;
constexpr int kTitleText = 4;
constexpr int kIntroText = 5;
constexpr int kSupportedText = 6;
constexpr int kVolumeText = 7;
constexpr int kCapturingText = 8;
constexpr int kDetectedText = 9;
constexpr int kNoneDetectedText = 10;
constexpr int kObservedText = 11;
constexpr int kBiasText = 12;
constexpr int kFinishedText = 13;
constexpr int kUnstableText = 14;
constexpr int kFailedText = 15;
constexpr int kHeadlineId = 100;
constexpr int kDetailLineId = 101;
constexpr int kVolumeButtonId = 102;
constexpr uint16_t kSeparatorId = 0xFFFF;

enum CaptureControl { kHeadline, kDetailLine, kSeparator, kVolume, kStart, kCancel, kControlCount };

constexpr DWORD kLine = WS_CHILD | WS_VISIBLE | SS_NOPREFIX | SS_CENTER;
constexpr DWORD kButton = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_CENTER;
constexpr DialogControl kControls[kControlCount] = {
    {L"Static", kIntroText, kHeadlineId, 0, kLine | WS_GROUP},
    {L"Static", kSupportedText, kDetailLineId, 0, kLine},
    {L"Static", kNoText, kSeparatorId, 0,
     WS_CHILD | WS_VISIBLE | WS_GROUP | SS_SUNKEN | SS_LEFTNOWORDWRAP},
    {L"Button", kVolumeText, kVolumeButtonId, 0, kButton | WS_GROUP},
    {L"Button", kStartText, IDOK, 0, kButton | WS_GROUP | BS_DEFPUSHBUTTON},
    {L"Button", kCancelText, IDCANCEL, 0, kButton},
};

class CaptureDialog {
  public:
    static CaptureDialog* attach(HWND dialog, LPARAM parameter) {
        return heapNew<CaptureDialog>(dialog, *reinterpret_cast<ReferenceCaptureJob*>(parameter));
    }
    static void detach(CaptureDialog* object) noexcept { heapDelete(object); }

    CaptureDialog(HWND dialog, ReferenceCaptureJob& job) : dialog_(dialog), job_(job) {}

    INT_PTR handleMessage(HWND, UINT message, WPARAM wParam, LPARAM) {
        switch (message) {
        case WM_INITDIALOG:
            if (!build())
                EndDialog(dialog_, 0);
            // The focus starts on Start.
            return FALSE;
        case WM_COMMAND:
            onCommand(LOWORD(wParam));
            return TRUE;
        case kBorrowerFillParams:
            fillParams(*reinterpret_cast<EngineParams*>(wParam));
            return dialogResult(dialog_, 1);
        case kBorrowerReading:
            onReading(reinterpret_cast<PitchReading*>(wParam));
            return TRUE;
        case kBorrowerEngineFailed:
            if (job_.state == CaptureState::capturing)
                fail();
            return TRUE;
        case WM_DESTROY:
            if (job_.state == CaptureState::capturing) {
                job_.state = CaptureState::finished;
                stopEngine();
            }
            return FALSE;
        default:
            return FALSE;
        }
    }

  private:
    bool build() {
        LayoutDC dc(dialog_, calibrationFont());
        if (!dc.valid())
            return false;
        const TextMeasure& measure = dc.measure();
        const std::wstring detected = formatString(UiText(kDetectedText), 2000);
        const std::wstring observed = formatString(UiText(kObservedText), 2000.0);
        const std::wstring bias = formatString(UiText(kBiasText), -100.0);
        DialogBuilder builder;
        const uint32_t line = sizeDescriptor(0, 0, 0, kLayoutStretch);
        const uint32_t button = DialogBuilder::pushButton();
        LayoutNode* nodes[kControlCount] = {
            builder.widest(measure, line,
                           {UiText(kIntroText), UiText(kCapturingText), observed.c_str(),
                            UiText(kUnstableText), UiText(kFailedText)}),
            builder.widest(measure, line,
                           {UiText(kSupportedText), detected.c_str(), UiText(kNoneDetectedText),
                            bias.c_str(), UiText(kFinishedText)}),
            builder.pixels(kLayoutStretch, 1, 2),
            builder.text(measure, button, UiText(kVolumeText)),
            builder.widest(measure, button,
                           {UiText(kStartText), UiText(kOkText), UiText(kCancelText)}),
            builder.widest(measure, button,
                           {UiText(kStartText), UiText(kOkText), UiText(kCancelText)}),
        };
        LayoutNode* left = builder.column(
            measure, 0, nullptr,
            {nodes[kHeadline], nodes[kDetailLine], nodes[kSeparator], nodes[kVolume]});
        LayoutNode* right = builder.column(measure, 0, nullptr, {nodes[kStart], nodes[kCancel]});
        LayoutNode* root = builder.row(measure, 0, nullptr, {left, right});
        const int margin = DialogBuilder::scaled(12);
        DialogBuilder::finish(root, margin, margin, 0);
        LayoutRect rects[kControlCount] = {};
        for (int i = 0; i < kControlCount; ++i)
            rects[i] = nodes[i]->rect();
        centreOnParent(dialog_, root->width + 2 * margin, root->height + 2 * margin);
        if (!createControls(dialog_, kControls, rects, kControlCount, calibrationFont()))
            return false;
        SendMessageW(dialog_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog_, IDOK)),
                     TRUE);
        return true;
    }

    void onCommand(UINT id) {
        switch (id) {
        case IDOK:
            if (job_.state == CaptureState::idle)
                start();
            else if (job_.state == CaptureState::finished)
                EndDialog(dialog_, 1);
            break;
        case IDCANCEL:
            job_.result = 0.0;
            EndDialog(dialog_, 1);
            break;
        case kVolumeButtonId:
            launchVolumeControl(dialog_, job_.deviceIndex);
            break;
        default:
            break;
        }
    }

    void start() {
        beginCapture(job_);
        if (!SendMessageW(gProcess.mainWindow, kMainEngineControl,
                          reinterpret_cast<WPARAM>(dialog_), 0)) {
            job_.state = CaptureState::finished;
            setItemText(dialog_, kHeadlineId, UiText(kFailedText));
            setItemText(dialog_, kDetailLineId, L"");
            EnableWindow(GetDlgItem(dialog_, IDOK), FALSE);
            return;
        }
        job_.state = CaptureState::capturing;
        setItemText(dialog_, kHeadlineId, UiText(kCapturingText));
        showDetected();
        handDefaultToCancel(dialog_);
    }

    // Whatever the settings say, the capture runs uncorrected, without the
    // hum filter, with the long transform and a -60 dB threshold.
    void fillParams(EngineParams& params) const {
        params.deviceId = job_.deviceIndex;
        params.sampleRate = job_.sampleRate;
        params.clockAdjust = 0;
        params.inputThreshold = -60;
        params.findFundamental = 0;
        params.humFrequency = 0.0f;
        params.useLongFFT = 1;
        params.microphoneOnly = 0;
    }

    void onReading(PitchReading* reading) {
        if (job_.state != CaptureState::capturing || !reading)
            return;
        // Handed back before the evaluation: a completion stops the engine,
        // and the record goes with it.
        const CaptureReadingValues values = {static_cast<uint32_t>(reading->sequence),
                                             reading->level, reading->frequency};
        reading->busy.store(0, std::memory_order_release);
        switch (evaluateReading(job_, values)) {
        case CaptureStep::showDetected:
            showDetected();
            break;
        case CaptureStep::completed:
            complete();
            break;
        case CaptureStep::nothing:
            break;
        }
    }

    void showDetected() const {
        if (job_.shownFrequency == 0) {
            setItemText(dialog_, kDetailLineId, UiText(kNoneDetectedText));
            return;
        }
        const std::wstring text =
            formatString(UiText(kDetectedText), static_cast<int>(job_.shownFrequency));
        setItemText(dialog_, kDetailLineId, text.c_str());
    }

    void complete() {
        stopEngine();
        if (job_.result == 0.0) {
            setItemText(dialog_, kHeadlineId, UiText(kUnstableText));
            setItemText(dialog_, kDetailLineId, UiText(kFinishedText));
            EnableWindow(GetDlgItem(dialog_, IDOK), FALSE);
            return;
        }
        const std::wstring observed = formatString(UiText(kObservedText), observedFrequency(job_));
        const std::wstring bias = formatString(UiText(kBiasText), centsOfRatio(job_.result));
        setItemText(dialog_, kHeadlineId, observed.c_str());
        setItemText(dialog_, kDetailLineId, bias.c_str());
        makeFirstButtonDefault(dialog_, UiText(kOkText));
    }

    void fail() {
        job_.state = CaptureState::finished;
        stopEngine();
        setItemText(dialog_, kHeadlineId, UiText(kFailedText));
        setItemText(dialog_, kDetailLineId, L"");
        EnableWindow(GetDlgItem(dialog_, IDOK), FALSE);
    }

    void stopEngine() const { SendMessageW(gProcess.mainWindow, kMainEngineControl, 0, 0); }

    HWND dialog_;
    ReferenceCaptureJob& job_;
};

} // namespace

double captureReferenceSignal(HWND owner, int32_t deviceIndex, const wchar_t* deviceName,
                              uint32_t rate) {
    ReferenceCaptureJob job;
    job.deviceIndex = deviceIndex;
    job.deviceName = deviceName;
    job.sampleRate = rate;
    const std::wstring title = calibrationTitle(kTitleText, DeviceDirection::capture, deviceName);
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(owner, GWLP_HINSTANCE));
    const INT_PTR ended = runCalibrationDialog(
        instance, owner, title, dialogProcedure<CaptureDialog>, reinterpret_cast<LPARAM>(&job));
    return ended >= 1 ? job.result : 0.0;
}

} // namespace tonvale
