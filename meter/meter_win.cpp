#include "meter/meter_win.h"

#include "app/process_context_win.h"
#include "meter/direct2d_win.h"
#include "meter/gdi_drawing_win.h"
#include "meter/meter_glyphs.h"
#include "meter/meter_messages_win.h"
#include "meter/meter_model.h"
#include "meter/power_lamp_messages_win.h"
#include "support/scoped_win.h"
#include "support/settings/tuner_settings.h"
#include "support/window_binding_win.h"

#include <algorithm>
#include <string>

namespace tonvale {
namespace {

constexpr UINT_PTR kNeedleTimerId = 1;
constexpr int kSubtitleFontHeight = 16;
constexpr int kSubtitleCentreOffset = 27; // from the note region's left edge
constexpr size_t kSubtitleCapacity = 128;
constexpr int kFaceNameChars = 32;
constexpr int kNamesMaxHeight = 12;
constexpr int kNamesBaseline = 210;

// The two texts written into the large background.
struct NameArea {
    int32_t left;
    int32_t right;
    bool alignRight;
    bool placed = false;
    int32_t top = 0;
    int32_t bottom = 0;
};

HFONT uiFont() {
    return gProcess.uiFont ? gProcess.uiFont : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

// A font of the UI font's face with the given character height.
UniqueFont fontOfUiFace(HDC dc, int characterHeight) {
    wchar_t face[kFaceNameChars] = {};
    {
        SelectionOf selection(dc, uiFont());
        GetTextFaceW(dc, kFaceNameChars, face);
    }
    return UniqueFont(CreateFontW(-characterHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                  DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                  DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face));
}

int textHeight(HDC dc, HFONT font) {
    SelectionOf selection(dc, font);
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc, &metrics);
    return metrics.tmHeight;
}

// Characters of text that fit into width, and their extent.
int fittingText(HDC dc, const wchar_t* text, int length, int width, SIZE& extent) {
    int fit = 0;
    extent = {};
    GetTextExtentExPointW(dc, text, length, width, &fit, nullptr, &extent);
    fit = std::clamp(fit, 0, length);
    if (fit < length)
        GetTextExtentPoint32W(dc, text, fit, &extent);
    return fit;
}

class MeterControl final : public MeterEffects {
  public:
    static constexpr int kSlot = kFirstWindowExtraSlot;

    static MeterControl* attach(HWND window, const CREATESTRUCTW&) {
        return heapNew<MeterControl>(window);
    }
    static void detach(MeterControl* control) noexcept { heapDelete(control); }
    static LRESULT defaultProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        return DefWindowProcW(window, message, wParam, lParam);
    }

    explicit MeterControl(HWND window) : window_(window) {}

    LRESULT handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        switch (message) {
        case WM_CREATE:
            return onCreate();
        case WM_DESTROY:
            onDestroy();
            return 0;
        case WM_PAINT:
            onPaint();
            return 0;
        case WM_TIMER:
            if (wParam == kNeedleTimerId)
                model_.needleTimerTick(*this);
            return 0;
        case WM_GETDLGCODE:
            return DLGC_STATIC;
        case MM_SETNEEDLE:
            model_.setNeedle(needleCents(wParam));
            return 0;
        case MM_POWER:
            onPower(wParam != 0);
            return 0;
        case MM_SETLAMPS:
            model_.setLamps(static_cast<uint8_t>(wParam & 3), *this);
            return 0;
        case MM_NEEDLEREST:
            model_.needleRest();
            return 0;
        case MM_SETDIGITS:
            onSetDigits(static_cast<int16_t>(LOWORD(wParam)), HIWORD(wParam),
                        static_cast<int32_t>(lParam));
            return 0;
        case MM_SETLEVEL:
            model_.setLevel(static_cast<uint16_t>(std::min<WPARAM>(wParam, 32768)), *this);
            return 0;
        case MM_REFRESHINFO:
            onRefreshInfo();
            return 0;
        case MM_SETLARGE:
            onSetLarge(wParam != 0);
            return 0;
        case MM_DROPBUFFER:
            composition_.reset();
            return 0;
        default:
            return defaultProcedure(window, message, wParam, lParam);
        }
    }

  private:
    void invalidate(const MeterRect& rect) override {
        const RECT area = {rect.left, rect.top, rect.right, rect.bottom};
        InvalidateRect(window_, &area, FALSE);
    }
    void startNeedleTimer() override { SetTimer(window_, kNeedleTimerId, kNeedleTimerMs, nullptr); }
    void stopNeedleTimer() override { KillTimer(window_, kNeedleTimerId); }

    MeterSize settingsSize() const {
        return gTunerSettings.main.largeSize ? MeterSize::large : MeterSize::small;
    }
    NeedleDrawing needleDrawing() const {
        return gDirect2D ? NeedleDrawing::smooth : NeedleDrawing::pixels;
    }

    LRESULT onCreate() {
        WindowDC dc(window_);
        compositionDC_.reset(CreateCompatibleDC(dc.get()));
        resourceDC_.reset(CreateCompatibleDC(dc.get()));
        if (!compositionDC_ || !resourceDC_)
            return -1;
        needlePen_.reset(CreatePen(PS_SOLID, 1, kNeedleColour));
        levelBrush_.reset(CreateSolidBrush(kLevelBarColour));
        const MeterSize size = settingsSize();
        model_.create(size, needleDrawing(), kSubtitleFontHeight);
        loadResources(size);
        model_.useSize(size, needleDrawing(), subtitleHeight_, *this);
        updateSpokenText();
        return 0;
    }

    void onDestroy() {
        if (model_.timer() != NeedleTimer::off)
            KillTimer(window_, kNeedleTimerId);
    }

    HBITMAP loadBitmap(int id) const {
        return static_cast<HBITMAP>(
            LoadImageW(gProcess.instance, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, 0));
    }

    // The resources of one display size; the glyph strip and the subtitle
    // font stay for the life of the control.
    void loadResources(MeterSize size) {
        background_.reset();
        lampFrames_.reset();
        if (!glyphStrip_)
            glyphStrip_.reset(loadBitmap(kGlyphStripBitmap));
        if (!subtitleFont_) {
            subtitleFont_ = fontOfUiFace(resourceDC_.get(), kSubtitleFontHeight);
            if (subtitleFont_)
                subtitleHeight_ = textHeight(resourceDC_.get(), subtitleFont_.get());
        }
        if (size == MeterSize::small) {
            background_.reset(loadBitmap(kBackgroundSmallBitmap));
            return;
        }
        background_.reset(loadBitmap(kBackgroundLargeBitmap));
        lampFrames_.reset(loadBitmap(kLampFramesBitmap));
        if (gDirect2D && background_) {
            SelectionOf selection(resourceDC_.get(), background_.get());
            drawSmoothDial(resourceDC_.get(), GetPixel(resourceDC_.get(), 0, 0));
        }
    }

    void onPower(bool on) {
        model_.power(on, *this);
        powered_ = on;
        updateSpokenText();
    }

    void onSetDigits(int32_t note, uint16_t centsCode, int32_t tenths) {
        if (model_.setDigits(note, centsCode, tenths, *this))
            updateSpokenText();
    }

    void onRefreshInfo() {
        const MainSettings& settings = gTunerSettings.main;
        model_.setReference(referenceValue(settings.frequencyOfA4, settings.halfToneShift), *this);
        if (model_.large())
            drawNames();
        updateSpokenText();
    }

    void onSetLarge(bool large) {
        const MeterSize size = large ? MeterSize::large : MeterSize::small;
        if (size == model_.size())
            return;
        composition_.reset();
        loadResources(size);
        model_.useSize(size, needleDrawing(), subtitleHeight_, *this);
        if (large)
            drawNames();
        model_.markDirty(kDirtyAll);
        InvalidateRect(window_, nullptr, TRUE);
    }

    const NoteNaming* naming() const {
        return gTunerSettings.noteNaming ? &*gTunerSettings.noteNaming : nullptr;
    }

    ReadoutText shownNote() const {
        return noteText(model_.noteNumber(), gTunerSettings.displaySpelling, naming());
    }

    // The window text changes only with the digits, so setting it costs
    // nothing per reading; an unchanged text is not set again.
    void updateSpokenText() {
        std::wstring words =
            powered_ ? spokenReading(shownNote(), model_.centsCode(), model_.frequencyTenths())
                     : std::wstring(L"-");
        if (words == spoken_)
            return;
        spoken_ = std::move(words);
        SetWindowTextW(window_, spoken_.c_str());
    }

    void drawNames();
    void drawName(NameArea& area, const std::wstring& text, HFONT font, int height);
    void onPaint();
    void recompose(HDC paintDC);
    void restore(MeterRegion region) { restoreRect(model_.region(region)); }
    void restoreRect(const MeterRect& rect);
    void drawText(const GlyphTable& table, const char* text, const MeterRect& at);
    void drawSubtitle();
    void drawLampFrame(MeterRegion region, int frame);

    HWND window_;
    MemoryDC compositionDC_;
    UniqueBitmap composition_;
    MemoryDC resourceDC_;
    UniqueBitmap background_;
    UniqueBitmap lampFrames_;
    UniqueBitmap glyphStrip_;
    UniqueFont subtitleFont_;
    int subtitleHeight_ = kSubtitleFontHeight;
    UniquePen needlePen_;
    UniqueBrush levelBrush_;
    MeterModel model_;
    NameArea namingArea_ = {4, 158, false};
    NameArea labelArea_ = {192, 344, true};
    bool powered_ = false;
    std::wstring spoken_;
};

void MeterControl::drawNames() {
    if (!background_)
        return;
    HDC dc = resourceDC_.get();
    int height = kNamesMaxHeight;
    {
        SelectionOf selection(dc, uiFont());
        TEXTMETRICW metrics = {};
        if (GetTextMetricsW(dc, &metrics))
            height = std::min<int>(metrics.tmHeight - metrics.tmInternalLeading, kNamesMaxHeight);
    }
    UniqueFont font = fontOfUiFace(dc, height);
    if (!font)
        return;
    const int fontHeight = textHeight(dc, font.get());
    const NoteNaming* active = naming();
    drawName(namingArea_, active ? active->name() : std::wstring(), font.get(), fontHeight);
    const auto& temperament = gTunerSettings.temperament;
    drawName(labelArea_, temperament ? temperament->keyLabel() : std::wstring(), font.get(),
             fontHeight);
}

void MeterControl::drawName(NameArea& area, const std::wstring& text, HFONT font, int height) {
    HDC dc = resourceDC_.get();
    SelectionOf bitmap(dc, background_.get());
    if (area.placed) {
        UniqueBrush erase(CreateSolidBrush(GetPixel(dc, 0, 0)));
        fillRect(dc, {area.left, area.top, area.right, area.bottom}, erase.get());
    } else if (!text.empty()) {
        area.bottom = kNamesBaseline;
        if (height > kNamesMaxHeight)
            area.bottom += (height - kNamesMaxHeight) / 2;
        area.top = area.bottom - height;
        area.placed = true;
    }
    if (!text.empty()) {
        SelectionOf selection(dc, font);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(0, 0, 0));
        SIZE extent = {};
        const int fit = fittingText(dc, text.c_str(), static_cast<int>(text.size()),
                                    area.right - area.left, extent);
        const int x = area.alignRight ? area.right - extent.cx : area.left;
        TextOutW(dc, x, area.top, text.c_str(), fit);
    }
    if (!area.placed)
        return;
    const MeterRect rect = {area.left, area.top, area.right, area.bottom};
    if (composition_) {
        SelectionOf target(compositionDC_.get(), composition_.get());
        copyRegion(compositionDC_.get(), dc, rect);
    }
    invalidate(rect);
}

void MeterControl::restoreRect(const MeterRect& rect) {
    SelectionOf selection(resourceDC_.get(), background_.get());
    copyRegion(compositionDC_.get(), resourceDC_.get(), rect);
}

// Places text with table at (x, y) of dest, glyphs copied from the strip
// selected into strip.
void drawGlyphText(HDC dest, HDC strip, const GlyphTable& table, const char* text, int32_t x,
                   int32_t y) {
    const GlyphRun run = layoutGlyphs(table, text);
    for (size_t i = 0; i < run.count; ++i) {
        const GlyphPlacement& glyph = run.glyph[i];
        BitBlt(dest, x + glyph.destX, y, glyph.width, table.rowHeight, strip, glyph.sourceX,
               table.rowTop, SRCCOPY);
    }
}

void MeterControl::drawText(const GlyphTable& table, const char* text, const MeterRect& at) {
    if (!*text || !glyphStrip_)
        return;
    SelectionOf selection(resourceDC_.get(), glyphStrip_.get());
    drawGlyphText(compositionDC_.get(), resourceDC_.get(), table, text, at.left, at.top);
}

void MeterControl::drawSubtitle() {
    const NoteNaming* active = naming();
    if (model_.noteNumber() < kLowestNamedNote || !active || !subtitleFont_)
        return;
    wchar_t text[kSubtitleCapacity] = {};
    if (!active->expand(0, pitchClassFromA(model_.noteNumber()), text, kSubtitleCapacity))
        return;
    HDC dc = compositionDC_.get();
    const MeterRect& region = model_.region(kSubtitleRegion);
    SelectionOf selection(dc, subtitleFont_.get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    SIZE extent = {};
    const int fit =
        fittingText(dc, text, static_cast<int>(wcslen(text)), region.right - region.left, extent);
    int x = model_.region(kNoteRegion).left + kSubtitleCentreOffset - extent.cx / 2;
    x = std::max(x, region.left);
    if (x + extent.cx > region.right)
        x = region.right - extent.cx;
    TextOutW(dc, x, region.top, text, fit);
}

void MeterControl::drawLampFrame(MeterRegion region, int frame) {
    if (!lampFrames_)
        return;
    constexpr int kFrameHeight = 26;
    const MeterRect& rect = model_.region(region);
    SelectionOf selection(resourceDC_.get(), lampFrames_.get());
    BitBlt(compositionDC_.get(), rect.left, rect.top, rect.right - rect.left,
           rect.bottom - rect.top, resourceDC_.get(), 0, frame * kFrameHeight, SRCCOPY);
}

void MeterControl::recompose(HDC) {
    const uint16_t dirty = model_.dirty();
    if (dirty & kDirtySubtitle) {
        restore(kSubtitleRegion);
        drawSubtitle();
    }
    if (dirty & kDirtyNote) {
        restore(kNoteRegion);
        drawText(kNoteGlyphs, shownNote().text, model_.region(kNoteRegion));
    }
    if (dirty & kDirtyCents) {
        restore(kCentsRegion);
        drawText(kCentsGlyphs, centsText(model_.centsCode()).text, model_.region(kCentsRegion));
    }
    if (dirty & kDirtyFrequency) {
        restore(kFrequencyRegion);
        drawText(kFrequencyGlyphs, frequencyText(model_.frequencyTenths()).text,
                 model_.region(kFrequencyRegion));
    }
    const uint8_t lamps = model_.lamps();
    if (!model_.large()) {
        if (dirty & kDirtyFlatLamp) {
            restore(kFlatLampRegion);
            drawText(kSmallGlyphs, lamps & 2 ? "b" : "", model_.region(kFlatLampRegion));
        }
        if (dirty & kDirtySharpLamp) {
            restore(kSharpLampRegion);
            drawText(kSmallGlyphs, lamps & 1 ? "#" : "", model_.region(kSharpLampRegion));
        }
        return;
    }
    if (dirty & kDirtyNeedle) {
        restoreRect(model_.needleDirtyRect());
        // The lamps sit under the needle's path.
        if (model_.needleDirtyRect().intersects(model_.region(kFlatLampRegion)))
            model_.markDirty(kDirtyFlatLamp);
        if (model_.needleDirtyRect().intersects(model_.region(kSharpLampRegion)))
            model_.markDirty(kDirtySharpLamp);
    }
    const uint16_t lampsDirty = model_.dirty();
    if (lampsDirty & kDirtyFlatLamp)
        drawLampFrame(kFlatLampRegion, lamps == 3 ? 2 : (lamps & 2) ? 1 : 0);
    if (lampsDirty & kDirtySharpLamp)
        drawLampFrame(kSharpLampRegion, lamps == 3 ? 5 : (lamps & 1) ? 4 : 3);
    if (dirty & kDirtyLevel) {
        restore(kLevelRegion);
        fillRect(compositionDC_.get(), levelBarRect(model_.region(kLevelRegion), model_.level()),
                 levelBrush_.get());
    }
    if (dirty & kDirtyReference) {
        restore(kReferenceRegion);
        drawText(kSmallGlyphs, referenceText(model_.reference()).text,
                 model_.region(kReferenceRegion));
    }
}

void MeterControl::onPaint() {
    PaintDC paint(window_);
    if (!paint.get() || !compositionDC_)
        return;
    if (!composition_) {
        RECT client = {};
        GetClientRect(window_, &client);
        composition_.reset(CreateCompatibleBitmap(paint.get(), client.right, client.bottom));
        if (!composition_)
            return;
        SelectionOf target(compositionDC_.get(), composition_.get());
        restoreRect({0, 0, client.right, client.bottom});
        model_.markDirty(kDirtyAll);
    }
    SelectionOf target(compositionDC_.get(), composition_.get());
    recompose(paint.get());
    const RECT& area = paint.dirty();
    const MeterRect painted = {area.left, area.top, area.right, area.bottom};
    if (model_.large() && model_.needleRect().intersects(painted)) {
        if (model_.needleDrawing() == NeedleDrawing::smooth)
            drawSmoothNeedle(compositionDC_.get(), model_.needleRect(), model_.tip());
        else
            drawPixelNeedle(compositionDC_.get(), model_.tip(), needlePen_.get());
    }
    BitBlt(paint.get(), area.left, area.top, area.right - area.left, area.bottom - area.top,
           compositionDC_.get(), area.left, area.top, SRCCOPY);
    model_.clearDirty();
}

// The lamp: a sunken frame filled green when lit, dark grey when not.
void paintPowerLamp(HWND window) {
    PaintDC paint(window);
    RECT client = {};
    GetClientRect(window, &client);
    DrawEdge(paint.get(), &client, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    if (GetWindowLongW(window, 0)) {
        UniqueBrush green(CreateSolidBrush(RGB(0, 255, 0)));
        FillRect(paint.get(), &client, green.get());
    } else {
        FillRect(paint.get(), &client, static_cast<HBRUSH>(GetStockObject(DKGRAY_BRUSH)));
    }
}

LRESULT powerLampMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case PLM_SETPOWER:
        SetWindowLongW(window, 0, wParam ? 1 : 0);
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    case WM_GETDLGCODE:
        return DLGC_STATIC;
    case WM_PAINT:
        paintPowerLamp(window);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace

LRESULT CALLBACK meterProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return windowProcedure<MeterControl>(window, message, wParam, lParam);
}

LRESULT CALLBACK powerLampProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return guardBorder(
        "power lamp", [&] { return powerLampMessage(window, message, wParam, lParam); },
        [&]() noexcept { return DefWindowProcW(window, message, wParam, lParam); });
}

bool registerMeterClasses(HINSTANCE instance) {
    WNDCLASSEXW meter = {};
    meter.cbSize = sizeof meter;
    meter.style = CS_PARENTDC;
    meter.lpfnWndProc = meterProcedure;
    meter.cbWndExtra = kMeterExtraBytes;
    meter.hInstance = instance;
    meter.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    meter.lpszClassName = kMeterClassName;
    WNDCLASSEXW lamp = meter;
    lamp.lpfnWndProc = powerLampProcedure;
    lamp.cbWndExtra = kPowerLampExtraBytes;
    lamp.lpszClassName = kPowerLampClassName;
    return RegisterClassExW(&meter) && RegisterClassExW(&lamp);
}

} // namespace tonvale
