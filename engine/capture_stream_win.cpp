#include "engine/capture_stream_win.h"

#include "engine/stereo_mixdown.h"
#include "support/windows_version.h"

namespace tonvale {
namespace {

CaptureStatus failure(EngineError error, MMRESULT result) {
    return CaptureStatus{error, result};
}

UINT waveDevice(int32_t deviceId) {
    return deviceId < 0 ? WAVE_MAPPER : static_cast<UINT>(deviceId);
}

} // namespace

CaptureStatus CaptureStream::open(const Format& format, DWORD threadId) {
    close();
    failed_ = false;
    channels_ = format.channels == 1 ? 1 : 2;
    const bool vistaOrLater = isWindowsVistaOrLater();
    if (vistaOrLater && format.microphoneOnly) {
        unmuteMicrophoneEndpoint(format.deviceId);
    }
    WAVEFORMATEX wave = {};
    wave.wFormatTag = WAVE_FORMAT_PCM;
    wave.nChannels = static_cast<WORD>(channels_);
    wave.nSamplesPerSec = format.sampleRate;
    wave.wBitsPerSample = 16;
    wave.nBlockAlign = static_cast<WORD>(2 * channels_);
    wave.nAvgBytesPerSec = format.sampleRate * wave.nBlockAlign;
    wave.cbSize = 0;
    const UINT device = waveDevice(format.deviceId);
    MMRESULT result = system_.openWaveIn(nullptr, device, &wave, 0, WAVE_FORMAT_QUERY);
    if (result == MMSYSERR_NOERROR) {
        result = system_.openWaveIn(&device_, device, &wave, threadId, CALLBACK_THREAD);
    }
    if (result != MMSYSERR_NOERROR) {
        device_ = nullptr;
        return failure(EngineError::openFailed, result);
    }
    if (!vistaOrLater && format.microphoneOnly) {
        result = mixerSwitch_.switchToMicrophone(system_, device_);
        if (result != MMSYSERR_NOERROR) {
            return failure(EngineError::mixerFailed, result);
        }
    }
    return {};
}

// Failures here are silent and leave nothing to put back.
void CaptureStream::unmuteMicrophoneEndpoint(int32_t deviceId) {
    ComPtr<IAudioEndpointVolume> endpoint(system_.microphoneEndpointVolume(deviceId));
    BOOL muted = FALSE;
    if (endpoint && SUCCEEDED(endpoint->GetMute(&muted)) && muted &&
        SUCCEEDED(endpoint->SetMute(FALSE, nullptr))) {
        unmutedEndpoint_ = std::move(endpoint);
    }
}

CaptureStatus CaptureStream::queueBuffers(int32_t framesPerBuffer) {
    framesPerBuffer_ = framesPerBuffer;
    const size_t samplesPerBuffer = static_cast<size_t>(framesPerBuffer) * channels_;
    if (framesPerBuffer <= 0 || !samples_.allocate(samplesPerBuffer * kBufferCount)) {
        return failure(EngineError::outOfMemory, MMSYSERR_NOMEM);
    }
    for (int i = 0; i < kBufferCount; ++i) {
        WAVEHDR& header = headers_[i];
        header = {};
        header.lpData = reinterpret_cast<LPSTR>(samples_.get() + i * samplesPerBuffer);
        header.dwBufferLength = static_cast<DWORD>(samplesPerBuffer * sizeof(int16_t));
        MMRESULT result = system_.prepareHeader(device_, &header);
        if (result == MMSYSERR_NOERROR) {
            result = system_.addBuffer(device_, &header);
        }
        if (result != MMSYSERR_NOERROR) {
            return failure(EngineError::deviceFailed, result);
        }
    }
    return {};
}

CaptureStatus CaptureStream::start() {
    const MMRESULT result = system_.startWaveIn(device_);
    if (result != MMSYSERR_NOERROR) {
        return failure(EngineError::deviceFailed, result);
    }
    return {};
}

const int16_t* CaptureStream::takeBlock(WAVEHDR* header) {
    system_.unprepareHeader(device_, header);
    if (failed_) {
        return nullptr;
    }
    auto* samples = reinterpret_cast<int16_t*>(header->lpData);
    if (channels_ == 2) {
        mixStereoToMono(samples, static_cast<size_t>(framesPerBuffer_));
    }
    return samples;
}

CaptureStatus CaptureStream::requeue(WAVEHDR* header) {
    header->dwFlags = 0;
    header->dwBytesRecorded = 0;
    MMRESULT result = system_.prepareHeader(device_, header);
    if (result == MMSYSERR_NOERROR) {
        result = system_.addBuffer(device_, header);
    }
    if (result != MMSYSERR_NOERROR) {
        failed_ = true;
        return failure(EngineError::deviceFailed, result);
    }
    return {};
}

void CaptureStream::close() {
    if (device_) {
        system_.resetWaveIn(device_);
        for (WAVEHDR& header : headers_) {
            if ((header.dwFlags & WHDR_PREPARED) != 0) {
                system_.unprepareHeader(device_, &header);
            }
        }
    }
    samples_.reset();
    for (WAVEHDR& header : headers_) {
        header = {};
    }
    if (device_) {
        mixerSwitch_.restore(system_, device_);
        system_.closeWaveIn(device_);
        device_ = nullptr;
    }
    if (unmutedEndpoint_) {
        unmutedEndpoint_->SetMute(TRUE, nullptr);
        unmutedEndpoint_.reset();
    }
}

} // namespace tonvale
