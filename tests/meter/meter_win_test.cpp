// The meter and the power lamp as the main window drives them: messages in,
// the picture on the screen out. Each read-out region is compared pixel by
// pixel with the background and the glyphs of the strip at the places the
// glyph tables give (worked out here from the table widths, not taken from
// the meter's code).
#include <windows.h>

#include "app/process_context_win.h"
#include "meter/direct2d_win.h"
#include "meter/meter_messages_win.h"
#include "meter/meter_win.h"
#include "meter/power_lamp_messages_win.h"
#include "support/settings/tuner_settings.h"
#include "tests/tuning/ini_text.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace tonvale {
namespace {

constexpr wchar_t kHostClass[] = L"MeterTestHost";

// 32-bit pixels, 0x00RRGGBB, top-down.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;

    uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    uint32_t& at(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
};

Picture pictureOf(HDC source, int width, int height) {
    Picture picture{width, height, std::vector<uint32_t>(static_cast<size_t>(width) * height)};
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB};
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = CreateCompatibleDC(source);
    HGDIOBJ old = SelectObject(memory, dib);
    BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY);
    GdiFlush();
    const auto* data = static_cast<const uint32_t*>(bits);
    for (size_t i = 0; i < picture.pixels.size(); ++i)
        picture.pixels[i] = data[i] & 0xFFFFFF;
    SelectObject(memory, old);
    DeleteObject(dib);
    DeleteDC(memory);
    return picture;
}

Picture resourcePicture(int id) {
    HBITMAP bitmap = static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, 0));
    EXPECT_NE(bitmap, nullptr) << "bitmap " << id;
    BITMAP size = {};
    GetObjectW(bitmap, sizeof size, &size);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, bitmap);
    Picture picture = pictureOf(memory, size.bmWidth, size.bmHeight);
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    DeleteObject(bitmap);
    return picture;
}

// One glyph expected in a region: from (sourceX, row top) of the strip,
// width x row height, at destX from the region's left.
struct Glyph {
    int sourceX;
    int width;
    int destX;
};

struct Row {
    int top;
    int height;
};
constexpr Row kNoteRow = {0, 42};
constexpr Row kFrequencyRow = {42, 22};
constexpr Row kCentsRow = {64, 28};
constexpr Row kSmallRow = {92, 16};

class MeterTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        initProcessContext(GetModuleHandleW(nullptr));
        ASSERT_TRUE(registerMeterClasses(gProcess.instance));
        WNDCLASSEXW host = {};
        host.cbSize = sizeof host;
        host.lpfnWndProc = DefWindowProcW;
        host.hInstance = gProcess.instance;
        host.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
        host.lpszClassName = kHostClass;
        ASSERT_TRUE(RegisterClassExW(&host));
        // One top-level window for all tests: Wine waits for the display
        // when a top-level window goes, children go at once.
        host_ = CreateWindowExW(0, kHostClass, L"meter test", WS_POPUP | WS_VISIBLE, 20, 20, 440,
                                300, nullptr, nullptr, gProcess.instance, nullptr);
        ASSERT_NE(host_, nullptr);
    }

    static void TearDownTestSuite() { DestroyWindow(host_); }

    void SetUp() override {
        gTunerSettings = TunerSettings();
        glyphs_ = resourcePicture(kGlyphStripBitmap);
        frames_ = resourcePicture(kLampFramesBitmap);
    }

    void TearDown() override {
        if (meter_)
            DestroyWindow(meter_);
        if (lamp_)
            DestroyWindow(lamp_);
        releaseDirect2D();
    }

    void create(bool large) {
        gTunerSettings.main.largeSize = large;
        background_ = resourcePicture(large ? kBackgroundLargeBitmap : kBackgroundSmallBitmap);
        meter_ = CreateWindowExW(WS_EX_CLIENTEDGE, kMeterClassName, L"", WS_CHILD | WS_VISIBLE, 10,
                                 10, background_.width + 4, background_.height + 4, host_,
                                 reinterpret_cast<HMENU>(113), gProcess.instance, nullptr);
        ASSERT_NE(meter_, nullptr);
        RECT client = {};
        GetClientRect(meter_, &client);
        ASSERT_EQ(client.right, background_.width);
        ASSERT_EQ(client.bottom, background_.height);
        send(MM_REFRESHINFO);
    }

    LRESULT send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return SendMessageW(meter_, message, wParam, lParam);
    }
    void digits(int note, int cents, int tenths) {
        send(MM_SETDIGITS, digitsParam(note, static_cast<uint16_t>(cents + 99)), tenths);
    }
    void tick(int times = 1) {
        for (int i = 0; i < times; ++i)
            send(WM_TIMER, 1);
    }

    // What the meter shows on the screen now.
    Picture shown() {
        UpdateWindow(meter_);
        HDC dc = GetDC(meter_);
        Picture picture = pictureOf(dc, background_.width, background_.height);
        ReleaseDC(meter_, dc);
        return picture;
    }

    std::wstring text() {
        wchar_t buffer[128] = {};
        GetWindowTextW(meter_, buffer, 128);
        return buffer;
    }

    // Pixels of rect where the picture differs from the background with the
    // glyphs laid over it; 0 when the region shows exactly that.
    int differences(const Picture& picture, const RECT& rect, Row row,
                    const std::vector<Glyph>& glyphs) const {
        Picture expected = background_;
        for (const Glyph& g : glyphs)
            for (int y = 0; y < row.height; ++y)
                for (int x = 0; x < g.width; ++x)
                    expected.at(rect.left + g.destX + x, rect.top + y) =
                        glyphs_.at(g.sourceX + x, row.top + y);
        int wrong = 0;
        for (int y = rect.top; y < rect.bottom; ++y)
            for (int x = rect.left; x < rect.right; ++x)
                wrong += picture.at(x, y) != expected.at(x, y);
        return wrong;
    }

    // The needle at rest crosses the flat lamp; its pixels do not count.
    int frameDifferences(const Picture& picture, const RECT& rect, int frame) const {
        int wrong = 0;
        for (int y = 0; y < 26; ++y)
            for (int x = 0; x < 38; ++x) {
                const uint32_t pixel = picture.at(rect.left + x, rect.top + y);
                wrong += pixel != 0xF01010 && pixel != frames_.at(x, 26 * frame + y);
            }
        return wrong;
    }

    void keep(const Picture& picture, const char* name) const {
        const char* folder = std::getenv("TONVALE_ARTEFACTS_DIR");
        if (!folder)
            return;
        std::string dir = std::string(folder) + "\\meter_win_test";
        CreateDirectoryA(dir.c_str(), nullptr);
        std::string path = dir + "\\" + name + ".bmp";
        BITMAPFILEHEADER file = {};
        BITMAPINFOHEADER info = {sizeof info, picture.width, -picture.height, 1, 32, BI_RGB};
        const DWORD bytes = static_cast<DWORD>(picture.pixels.size() * 4);
        file.bfType = 0x4D42;
        file.bfOffBits = sizeof file + sizeof info;
        file.bfSize = file.bfOffBits + bytes;
        if (FILE* f = std::fopen(path.c_str(), "wb")) {
            std::fwrite(&file, sizeof file, 1, f);
            std::fwrite(&info, sizeof info, 1, f);
            std::fwrite(picture.pixels.data(), 1, bytes, f);
            std::fclose(f);
        }
    }

    static HWND host_;
    HWND meter_ = nullptr;
    HWND lamp_ = nullptr;
    Picture background_;
    Picture glyphs_;
    Picture frames_;
};

HWND MeterTest::host_ = nullptr;

constexpr RECT kLargeNote = {10, 8, 83, 50};
constexpr RECT kLargeCents = {110, 8, 178, 36};
constexpr RECT kLargeFrequency = {258, 8, 346, 30};
constexpr RECT kLargeFlat = {112, 164, 150, 190};
constexpr RECT kLargeSharp = {200, 164, 238, 190};
constexpr RECT kLargeReference = {340, 42, 376, 58};
constexpr RECT kSmallNote = {8, 8, 81, 50};
constexpr RECT kSmallCents = {97, 8, 165, 36};
constexpr RECT kSmallFrequency = {105, 52, 193, 74};
constexpr RECT kSmallFlat = {200, 32, 212, 48};
constexpr RECT kSmallSharp = {212, 32, 224, 48};

// Note row: letters 40 wide from 0, digits 15 wide from 280, "#" 430, "b" 448.
const std::vector<Glyph> kA4 = {{0, 40, 0}, {280 + 4 * 15, 15, 40}};
const std::vector<Glyph> kCsharp5 = {{80, 40, 0}, {430, 18, 40}, {280 + 5 * 15, 15, 58}};
// Cents row: blank advance 24, digits 22 wide from 0, "+" 220, "-" 244.
const std::vector<Glyph> kZeroCents = {{0, 22, 24}, {0, 22, 46}};
const std::vector<Glyph> kMinus3 = {{244, 24, 0}, {0, 22, 24}, {66, 22, 46}};
const std::vector<Glyph> kPlus50 = {{220, 24, 0}, {110, 22, 24}, {0, 22, 46}};
// Frequency row: blank advance 16, digits 16 wide from 0, "." 160 (8 wide).
const std::vector<Glyph> k440 = {
    {64, 16, 16}, {64, 16, 32}, {0, 16, 48}, {160, 8, 64}, {0, 16, 72}};
const std::vector<Glyph> k9999 = {{144, 16, 0},  {144, 16, 16}, {144, 16, 32},
                                  {144, 16, 48}, {160, 8, 64},  {144, 16, 72}};

TEST_F(MeterTest, DigitsShowTheNoteCentsAndFrequencyFromTheGlyphStrip) {
    create(true);
    EXPECT_EQ(text(), L"-");
    Picture picture = shown();
    EXPECT_EQ(differences(picture, kLargeCents, kCentsRow, {}), 0) << "a new meter shows no cents";

    send(MM_POWER, 1);
    digits(57, 0, 4400);
    picture = shown();
    EXPECT_EQ(differences(picture, kLargeNote, kNoteRow, kA4), 0);
    EXPECT_EQ(differences(picture, kLargeCents, kCentsRow, kZeroCents), 0);
    EXPECT_EQ(differences(picture, kLargeFrequency, kFrequencyRow, k440), 0);
    EXPECT_EQ(text(), L"A4 +0 cents 440.0 Hz");

    gTunerSettings.displaySpelling = spelling(0, 0); // sharps
    digits(61, -3, 99999);
    picture = shown();
    EXPECT_EQ(differences(picture, kLargeNote, kNoteRow, kCsharp5), 0);
    EXPECT_EQ(differences(picture, kLargeCents, kCentsRow, kMinus3), 0);
    EXPECT_EQ(differences(picture, kLargeFrequency, kFrequencyRow, k9999), 0);
    EXPECT_EQ(text(), L"C#5 -3 cents 9999.9 Hz");

    digits(57, 50, 4400);
    EXPECT_EQ(differences(shown(), kLargeCents, kCentsRow, kPlus50), 0);

    send(MM_SETDIGITS, digitsParam(-13, 0xFFFF), 0);
    picture = shown();
    EXPECT_EQ(differences(picture, kLargeNote, kNoteRow, {}), 0);
    EXPECT_EQ(differences(picture, kLargeCents, kCentsRow, {}), 0);
    EXPECT_EQ(differences(picture, kLargeFrequency, kFrequencyRow, {}), 0);
    EXPECT_EQ(text(), L"-");

    digits(57, 0, 4400);
    send(MM_POWER, 0);
    EXPECT_EQ(text(), L"-") << "powered off";
}

TEST_F(MeterTest, LampsInBothSizes) {
    create(true);
    const int frames[4][2] = {{0, 3}, {0, 4}, {1, 3}, {2, 5}}; // lamp state -> frames
    for (int state : {3, 2, 1, 0}) {
        send(MM_SETLAMPS, state);
        const Picture picture = shown();
        EXPECT_EQ(frameDifferences(picture, kLargeFlat, frames[state][0]), 0) << state;
        EXPECT_EQ(frameDifferences(picture, kLargeSharp, frames[state][1]), 0) << state;
    }
    send(MM_SETLAMPS, 3);
    send(MM_SETLARGE, 0);
    background_ = resourcePicture(kBackgroundSmallBitmap);
    Picture picture = shown();
    // Small row: digits 12 wide from 0, "#" 120, "b" 132.
    EXPECT_EQ(differences(picture, kSmallFlat, kSmallRow, {{132, 12, 0}}), 0);
    EXPECT_EQ(differences(picture, kSmallSharp, kSmallRow, {{120, 12, 0}}), 0);
    send(MM_SETLAMPS, 1);
    picture = shown();
    EXPECT_EQ(differences(picture, kSmallFlat, kSmallRow, {}), 0);
    EXPECT_EQ(differences(picture, kSmallSharp, kSmallRow, {{120, 12, 0}}), 0);

    digits(57, 0, 4400);
    picture = shown();
    EXPECT_EQ(differences(picture, kSmallNote, kNoteRow, kA4), 0);
    EXPECT_EQ(differences(picture, kSmallCents, kCentsRow, kZeroCents), 0);
    EXPECT_EQ(differences(picture, kSmallFrequency, kFrequencyRow, k440), 0);
    keep(picture, "small_a4");
}

bool isNeedle(uint32_t pixel) {
    return pixel == 0xF01010;
}

TEST_F(MeterTest, NeedleFollowsTheTimerAndPowerDownTakesFiveSteps) {
    create(true);
    send(MM_POWER, 1);
    send(MM_SETNEEDLE, needleParam(0.0f));
    tick(3); // -56 -> -33.6 -> -11.2 -> 0
    Picture picture = shown();
    EXPECT_TRUE(isNeedle(picture.at(174, 100)) && isNeedle(picture.at(175, 100)));
    EXPECT_TRUE(isNeedle(picture.at(174, 68)) && isNeedle(picture.at(175, 213)));
    EXPECT_FALSE(isNeedle(picture.at(173, 100)) || isNeedle(picture.at(176, 100)));
    EXPECT_FALSE(isNeedle(picture.at(174, 66)));

    send(MM_SETNEEDLE, needleParam(50.0f));
    tick(3);
    picture = shown();
    EXPECT_TRUE(isNeedle(picture.at(303, 137))) << "tip at +56 degrees";
    EXPECT_EQ(picture.at(174, 100), background_.at(174, 100)) << "the old needle is gone";

    send(MM_POWER, 0);
    const int tipX[5] = {174 + 87, 174 + 30, 174 - 30, 174 - 87, 174 - 129}; // 156 sin(angle)
    for (int step = 0; step < 5; ++step) {
        tick();
        picture = shown();
        bool found = false;
        for (int y = 60; y < 150 && !found; ++y)
            found = isNeedle(picture.at(tipX[step], y)) || isNeedle(picture.at(tipX[step] + 1, y));
        EXPECT_TRUE(found) << "step " << step;
    }
    EXPECT_FALSE(KillTimer(meter_, 1)) << "the meter stops its timer when the needle rests";
}

TEST_F(MeterTest, LevelBarAndReferenceReadout) {
    gTunerSettings.main.halfToneShift = -1;
    create(true);
    Picture picture = shown();
    // Small row: "0" at 0, "1" at 12, "b" at 132.
    EXPECT_EQ(
        differences(picture, kLargeReference, kSmallRow, {{0, 12, 0}, {12, 12, 12}, {132, 12, 24}}),
        0);
    gTunerSettings.main.halfToneShift = 0;
    gTunerSettings.main.frequencyOfA4 = 442;
    send(MM_REFRESHINFO);
    send(MM_SETLEVEL, 16384);
    picture = shown();
    EXPECT_EQ(
        differences(picture, kLargeReference, kSmallRow, {{48, 12, 0}, {48, 12, 12}, {24, 12, 24}}),
        0);
    EXPECT_EQ(picture.at(360, 140), 0x00F0F0u);
    EXPECT_EQ(picture.at(360, 201), 0x00F0F0u);
    EXPECT_EQ(picture.at(360, 137), background_.at(360, 137));
}

TEST_F(MeterTest, SubtitleAndNamesFromTheTuningSettings) {
    auto notes = iniFromText("[Solfege]\nFormat1=%2\nA=La\nC=Do\n");
    gTunerSettings.noteNaming.emplace(*notes, L"Solfege", gTunerSettings.currentSpelling, nullptr);
    auto scales = iniFromText("[Werckmeister]\n4=10\n");
    gTunerSettings.temperament.emplace(*scales, L"Werckmeister", -3);
    ASSERT_FALSE(gTunerSettings.temperament->isRejected());
    create(true);
    send(MM_POWER, 1);
    digits(57, 0, 4400);
    send(MM_SETLAMPS, 3);
    send(MM_SETLEVEL, 20000);
    send(MM_SETNEEDLE, needleParam(3.0f));
    tick(3);
    const Picture picture = shown();
    keep(picture, "large_a4");
    auto darkPixels = [&](int left, int top, int right, int bottom) {
        int n = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                n += picture.at(x, y) == 0 && background_.at(x, y) != 0;
        return n;
    };
    EXPECT_GT(darkPixels(0, 56, 93, 80), 10) << "subtitle La";
    EXPECT_GT(darkPixels(4, 190, 158, 214), 20) << "note naming's name";
    EXPECT_GT(darkPixels(192, 190, 345, 214), 20) << "temperament label";
    EXPECT_EQ(darkPixels(345, 190, 386, 214), 0) << "the label ends at x 344";

    // Without a note the subtitle goes too.
    send(MM_SETDIGITS, digitsParam(-13, 0xFFFF), 0);
    const Picture blank = shown();
    for (int y = 56; y < 80; ++y)
        for (int x = 0; x < 93; ++x)
            ASSERT_EQ(blank.at(x, y), background_.at(x, y)) << x << "," << y;
}

TEST_F(MeterTest, SmoothDialAndNeedleWhenDirect2DLoads) {
    if (!loadDirect2D())
        GTEST_SKIP() << "Direct2D did not load";
    create(true);
    send(MM_POWER, 1);
    send(MM_SETNEEDLE, needleParam(0.0f));
    tick(3);
    const Picture picture = shown();
    keep(picture, "large_direct2d");
    // Anti-aliased: the needle centre is red, its edges are blends.
    const uint32_t centre = picture.at(175, 120);
    EXPECT_GT((centre >> 16) & 0xFF, 200u);
    EXPECT_LT((centre >> 8) & 0xFF, 80u);
    // The band is white between its divisions, the ground outside it.
    EXPECT_EQ(picture.at(135, 100), 0xFFFFFFu);
    EXPECT_EQ(picture.at(20, 20), background_.at(20, 20));
}

// Glyphs are copied whole with their cells, so every read-out region of the
// backgrounds must be the plain panel the glyphs stand on, and the areas of
// black text the plain ground.
TEST_F(MeterTest, ArtworkGivesGlyphsAPlainPanelAndTextsAPlainGround) {
    const uint32_t panel = glyphs_.at(0, 0);
    const uint32_t ground = frames_.at(0, 0);
    auto uniform = [](const Picture& picture, const RECT& rect, uint32_t colour) {
        int wrong = 0;
        for (int y = rect.top; y < rect.bottom; ++y)
            for (int x = rect.left; x < rect.right; ++x)
                wrong += picture.at(x, y) != colour;
        return wrong;
    };
    for (int row : {0, 42, 64, 92})
        EXPECT_EQ(glyphs_.at(465, row), panel) << "cell ground of row " << row;
    const Picture large = resourcePicture(kBackgroundLargeBitmap);
    const Picture small = resourcePicture(kBackgroundSmallBitmap);
    EXPECT_EQ(large.at(0, 0), ground) << "the dial's erase colour is the lamps' ground";
    for (const RECT& r : {kLargeNote, kLargeCents, kLargeFrequency, kLargeReference})
        EXPECT_EQ(uniform(large, r, panel), 0) << r.left << "," << r.top;
    for (const RECT& r : {kSmallNote, kSmallCents, kSmallFrequency, kSmallFlat, kSmallSharp})
        EXPECT_EQ(uniform(small, r, panel), 0) << r.left << "," << r.top;
    EXPECT_EQ(uniform(large, {0, 56, 93, 80}, ground), 0) << "subtitle";
    EXPECT_EQ(uniform(small, {0, 56, 105, 80}, ground), 0) << "subtitle";
    EXPECT_EQ(uniform(large, {4, 190, 158, 214}, ground), 0) << "note naming's name";
    EXPECT_EQ(uniform(large, {192, 190, 345, 214}, ground), 0) << "temperament label";
}

TEST_F(MeterTest, PowerLampLightsGreen) {
    create(true);
    HWND lamp = lamp_ =
        CreateWindowExW(0, kPowerLampClassName, L"", WS_CHILD | WS_VISIBLE, 10, 240, 14, 12, host_,
                        reinterpret_cast<HMENU>(114), gProcess.instance, nullptr);
    ASSERT_NE(lamp, nullptr);
    EXPECT_EQ(SendMessageW(lamp, WM_GETDLGCODE, 0, 0), DLGC_STATIC);
    auto centre = [&] {
        UpdateWindow(lamp);
        HDC dc = GetDC(lamp);
        const Picture picture = pictureOf(dc, 14, 12);
        ReleaseDC(lamp, dc);
        return picture.at(7, 6);
    };
    EXPECT_EQ(centre(), 0x404040u);
    SendMessageW(lamp, PLM_SETPOWER, 1, 0);
    EXPECT_EQ(centre(), 0x00FF00u);
    SendMessageW(lamp, PLM_SETPOWER, 0, 0);
    EXPECT_EQ(centre(), 0x404040u);
}

} // namespace
} // namespace tonvale
