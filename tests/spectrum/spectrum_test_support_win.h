// What the spectrum window tests share: a stand-in for the main window that
// owns the popup, answers whether the engine runs and passes readings on as
// the main window does; the view's picture as the screen shows it; and the
// spectrum requests the window posts to a thread.
#pragma once

#include <windows.h>

#include "engine/pitch_reading.h"
#include "tests/spectrum/spectrum_picture_win.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <vector>

namespace tonvale::test {

// The main window's part for these tests, on the test's thread.
struct MainStandIn {
    HWND window = nullptr;
    bool engineRuns = false;
    size_t readings = 0;
    int32_t lastSpectrumCount = -1;

    bool create();
    void destroy();
};
extern MainStandIn gMain;

struct SpectrumRequest {
    WPARAM length = 0;
    LPARAM count = 0;
    bool operator==(const SpectrumRequest& other) const {
        return length == other.length && count == other.count;
    }
};

// A thread that stands in for the engine thread and keeps the spectrum
// requests it is sent.
class RequestCollector {
  public:
    RequestCollector();
    ~RequestCollector();
    RequestCollector(const RequestCollector&) = delete;
    RequestCollector& operator=(const RequestCollector&) = delete;

    HANDLE thread() const { return thread_; }
    DWORD id() const { return id_; }
    // The requests received so far, oldest first, once at least `count` are
    // there or after timeoutMs; they are then forgotten.
    std::vector<SpectrumRequest> take(size_t count = 0, DWORD timeoutMs = 2000);

  private:
    static DWORD WINAPI run(void* self);
    HANDLE thread_ = nullptr;
    DWORD id_ = 0;
    HANDLE ready_ = nullptr;
    CRITICAL_SECTION lock_;
    std::vector<SpectrumRequest> received_;
};

constexpr int32_t kTestRate = 11025;
constexpr int kAxisRows = 21;

// Handles this thread's messages, the spectrum window's keys through dialog
// navigation as the program's loop does, until condition() holds or timeoutMs
// pass; true when it held.
bool pumpUntil(const std::function<bool()>& condition, DWORD timeoutMs);
inline void pump(DWORD ms) {
    pumpUntil([] { return false; }, ms);
}

// A floor at -100 dB with one peak of -15 dB, the marker on it.
void fillReading(PitchReading& reading, int peak, int32_t count = PitchReading::kMaxSpectrum);

SIZE clientSize(HWND window);
SCROLLINFO scrollInfo(HWND window);

// The row of value db in a plot of plotHeight rows showing top ... bottom.
int rowOf(double db, int top, int bottom, int plotHeight);

// Opens the spectrum window over the stand-in main window with the default
// settings, and closes what a test left open.
class SpectrumWindowTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;
    void TearDown() override;

    static HWND open();
    static HWND view();
    static void send(const PitchReading& reading);
    static void connect(HANDLE thread, DWORD threadId);
    static void connect(const RequestCollector& engine) { connect(engine.thread(), engine.id()); }
    static void chooseBand(int band);
    static void resizeBy(int dx, int dy);
};

} // namespace tonvale::test
