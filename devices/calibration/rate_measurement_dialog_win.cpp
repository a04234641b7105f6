#include "devices/calibration/rate_measurement_dialog_win.h"

#include "app/message_box_win.h"
#include "devices/calibration/calibration_dialog_win.h"
#include "devices/calibration/measurement_outcome.h"
#include "devices/device_catalogue_win.h"
#include "devices/measurement/rate_measurement_job_win.h"
#include "devices/measurement/rate_measurement_notices_win.h"
#include "devices/measurement/rate_measurement_thread_win.h"
#include "devices/wave_error_text_win.h"
#include "dialogs/builder/dialog_builder_win.h"
#include "support/scoped_win.h"
#include "support/settings/tuner_settings.h"
#include "support/text_format.h"
#include "support/ui_text.h"
#include "support/window_binding_win.h"
#include "support/windows_version.h"

#include <string>

namespace tonvale {

namespace {

constexpr wchar_t kCaption[] = L"Tonvale";
constexpr int kOkText = 0;
constexpr int kStartText = 1;
constexpr int kCancelText = 2;
constexpr int kTitleText = 75;
constexpr int kIntroText = 76;
constexpr int kClickStartText = 77;
constexpr int kCountingText = 78;
constexpr int kPleaseWaitText = 79;
constexpr int kSecondsText = 80;
constexpr int kMeasuredText = 81;
constexpr int kBiasText = 82;
constexpr int kFailedText = 83;
constexpr int kThreadFailedText = 106;
constexpr UINT_PTR kCountdownTimer = 1;
constexpr UINT kCountdownMs = 250;
constexpr int kHeadlineId = 100;
constexpr int kDetailLineId = 101;

enum MeasurementControl { kHeadline, kDetailLine, kStart, kCancel, kControlCount };

constexpr DWORD kLine = WS_CHILD | WS_VISIBLE | SS_NOPREFIX | SS_CENTER;
constexpr DWORD kButton = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_CENTER;
constexpr DialogControl kControls[kControlCount] = {
    {L"Static", kIntroText, kHeadlineId, 0, kLine | WS_GROUP},
    {L"Static", kClickStartText, kDetailLineId, 0, kLine},
    {L"Button", kStartText, IDOK, 0, kButton | WS_GROUP | BS_DEFPUSHBUTTON},
    {L"Button", kCancelText, IDCANCEL, 0, kButton},
};

class MeasurementDialog {
  public:
    static MeasurementDialog* attach(HWND dialog, LPARAM parameter) {
        return heapNew<MeasurementDialog>(dialog,
                                          *reinterpret_cast<RateMeasurementJob*>(parameter));
    }
    static void detach(MeasurementDialog* object) noexcept { heapDelete(object); }

    MeasurementDialog(HWND dialog, RateMeasurementJob& job) : dialog_(dialog), job_(job) {}

    INT_PTR handleMessage(HWND, UINT message, WPARAM wParam, LPARAM lParam) {
        switch (message) {
        case WM_INITDIALOG:
            onInit();
            return FALSE;
        case WM_COMMAND:
            onCommand(LOWORD(wParam));
            return TRUE;
        case kMeasurementCounting:
            onCountingStarted();
            return TRUE;
        case WM_TIMER:
            if (wParam == kCountdownTimer)
                onTick();
            return TRUE;
        case kMeasurementEnded:
            onEnded(static_cast<uint32_t>(wParam), static_cast<uint32_t>(lParam));
            return TRUE;
        case WM_DESTROY:
            // However the dialog goes, the job is not left to a running thread.
            stopThread();
            return FALSE;
        default:
            return FALSE;
        }
    }

  private:
    void onInit() {
        job_.dialogWindow = dialog_;
        job_.stopRequest = 0;
        job_.finished = 0;
        job_.threadHandle = nullptr;
        job_.threadId = 0;
        job_.result = 0.0;
        job_.eventDrivenPreference = gTunerSettings.main.eventDrivenExclusiveMode ? 1 : 0;
        if (!build())
            EndDialog(dialog_, 0);
    }

    bool build() {
        LayoutDC dc(dialog_, calibrationFont());
        if (!dc.valid())
            return false;
        const TextMeasure& measure = dc.measure();
        // The lines are as wide as the longest text they will show.
        const std::wstring measured = formatString(UiText(kMeasuredText), 192000.0);
        const std::wstring bias = formatString(UiText(kBiasText), -100.0);
        const std::wstring seconds = formatString(UiText(kSecondsText), 30);
        DialogBuilder builder;
        const uint32_t line = sizeDescriptor(0, 0, 0, kLayoutStretch);
        LayoutNode* nodes[kControlCount] = {
            builder.widest(
                measure, line,
                {UiText(kIntroText), UiText(kCountingText), measured.c_str(), UiText(kFailedText)}),
            builder.widest(
                measure, line,
                {UiText(kPleaseWaitText), seconds.c_str(), bias.c_str(), UiText(kClickStartText)}),
            builder.widest(measure, DialogBuilder::pushButton(),
                           {UiText(kStartText), UiText(kOkText), UiText(kCancelText)}),
            builder.widest(measure, DialogBuilder::pushButton(),
                           {UiText(kStartText), UiText(kOkText), UiText(kCancelText)}),
        };
        LayoutNode* buttons = builder.row(measure, 0, nullptr, {nodes[kStart], nodes[kCancel]});
        LayoutNode* root = builder.column(measure, kLayoutCentre, nullptr,
                                          {nodes[kHeadline], nodes[kDetailLine], buttons});
        const int margin = DialogBuilder::scaled(12);
        DialogBuilder::finish(root, margin, margin, 0);
        LayoutRect rects[kControlCount] = {};
        for (int i = 0; i < kControlCount; ++i)
            rects[i] = nodes[i]->rect();
        centreOnParent(dialog_, root->width + 2 * margin, root->height + 2 * margin);
        return createControls(dialog_, kControls, rects, kControlCount, calibrationFont());
    }

    void onCommand(UINT id) {
        if (id == IDOK) {
            if (job_.finished)
                EndDialog(dialog_, 1);
            else if (!job_.threadHandle)
                start();
        } else if (id == IDCANCEL) {
            job_.stopRequest = 1;
            stopThread();
            job_.result = 0.0;
            EndDialog(dialog_, 1);
        }
    }

    void start() {
        unsigned threadId = 0;
        HANDLE thread = WorkerThread::start(nullptr, 0, job_.threadProcedure, &job_,
                                            CREATE_SUSPENDED, &threadId);
        if (!thread) {
            TunerMessageBox(dialog_, UiText(kThreadFailedText), kCaption, MB_OK | MB_ICONERROR);
            return;
        }
        job_.threadHandle = thread;
        job_.threadId = threadId;
        ResumeThread(thread);
        handDefaultToCancel(dialog_);
        setItemText(dialog_, kHeadlineId, UiText(kCountingText));
        setItemText(dialog_, kDetailLineId, UiText(kPleaseWaitText));
    }

    // Waits for the thread (it ends soon after a stop request or after its
    // last notice) and puts the dialog thread back to normal.
    void stopThread() {
        if (!job_.threadHandle)
            return;
        job_.stopRequest = 1;
        WaitForSingleObject(job_.threadHandle, INFINITE);
        CloseHandle(job_.threadHandle);
        job_.threadHandle = nullptr;
        job_.threadId = 0;
        SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_NORMAL);
        KillTimer(dialog_, kCountdownTimer);
    }

    void showSeconds(uint32_t seconds) {
        job_.shownSeconds = seconds;
        const std::wstring text = formatString(UiText(kSecondsText), static_cast<int>(seconds));
        setItemText(dialog_, kDetailLineId, text.c_str());
    }

    void onCountingStarted() {
        if (!job_.threadHandle)
            return;
        SetTimer(dialog_, kCountdownTimer, kCountdownMs, nullptr);
        job_.startTick = GetTickCount();
        showSeconds(kCountingSeconds);
    }

    void onTick() {
        if (!job_.threadHandle)
            return;
        const uint32_t seconds = secondsRemaining(job_.startTick, GetTickCount());
        if (seconds != job_.shownSeconds)
            showSeconds(seconds);
    }

    void onEnded(uint32_t code, uint32_t detail) {
        if (!job_.threadHandle)
            return;
        stopThread();
        job_.finished = 1;
        if (code == 0 && job_.result != 0.0) {
            const std::wstring rate = formatString(UiText(kMeasuredText), job_.result);
            const std::wstring bias =
                formatString(UiText(kBiasText), counterBiasCents(job_.result, job_.nominalRate));
            setItemText(dialog_, kHeadlineId, rate.c_str());
            setItemText(dialog_, kDetailLineId, bias.c_str());
            makeFirstButtonDefault(dialog_, UiText(kOkText));
            return;
        }
        showFailure(code, detail);
        setItemText(dialog_, kHeadlineId, UiText(kFailedText));
        setItemText(dialog_, kDetailLineId, L"");
    }

    void showFailure(uint32_t code, uint32_t detail) const {
        const MeasurementFailure failure = measurementFailure(code);
        if (!failure.text)
            return;
        const wchar_t* message = UiText(failure.text);
        if (failure.detail == FailureDetail::none) {
            TunerMessageBox(dialog_, message, kCaption, MB_OK | MB_ICONERROR);
        } else if (!isWindowsVistaOrLater()) {
            if (failure.detail == FailureDetail::captureDevice)
                showWaveInError(dialog_, message, detail);
            else
                showWaveOutError(dialog_, message, detail);
        } else {
            const int reason = endpointFailureReason(detail);
            const std::wstring text =
                reason ? formatString(L"%s\n\n%s", message, UiText(reason)) : message;
            TunerMessageBox(dialog_, text.c_str(), kCaption, MB_OK | MB_ICONERROR);
        }
    }

    HWND dialog_;
    RateMeasurementJob& job_;
};

double measureRate(ThreadFunction procedure, DeviceDirection direction, HWND owner,
                   uint32_t nominalRate, int bits, int32_t deviceIndex, const wchar_t* deviceName) {
    wchar_t name[kDisplayNameCapacity] = {};
    if (deviceName && *deviceName)
        lstrcpynW(name, deviceName, kDisplayNameCapacity);
    else
        defaultDeviceName(direction, name);
    const std::wstring title = formatString(UiText(kTitleText), name);
    RateMeasurementJob job;
    job.ownerWindow = owner;
    job.threadProcedure = procedure;
    job.nominalRate = static_cast<int32_t>(nominalRate);
    job.bitsPerSample = static_cast<uint16_t>(bits);
    job.captureChannels = gTunerSettings.main.inDeviceChannels == 1 ? 1 : 2;
    job.deviceIndex = deviceIndex;
    job.deviceName = name;
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(owner, GWLP_HINSTANCE));
    const INT_PTR ended = runCalibrationDialog(
        instance, owner, title, dialogProcedure<MeasurementDialog>, reinterpret_cast<LPARAM>(&job));
    return ended >= 1 ? job.result : 0.0;
}

} // namespace

double measureCaptureRate(HWND owner, uint32_t nominalRate, int bits, int32_t deviceIndex,
                          const wchar_t* deviceName) {
    return measureRate(captureMeasurementThread, DeviceDirection::capture, owner, nominalRate, bits,
                       deviceIndex, deviceName);
}

double measurePlaybackRate(HWND owner, uint32_t nominalRate, int bits, int32_t deviceIndex,
                           const wchar_t* deviceName) {
    return measureRate(playbackMeasurementThread, DeviceDirection::playback, owner, nominalRate,
                       bits, deviceIndex, deviceName);
}

} // namespace tonvale
