#include "meter/direct2d_win.h"

#include "meter/gdi_drawing_win.h"
#include "support/scoped_win.h"
#include "tuning/float_guard.h"

#include <d2d1.h>

#include <cstdint>

namespace tonvale {

Direct2DRecord* gDirect2D = nullptr;

namespace {

using CreateFactoryFunction = HRESULT(WINAPI*)(D2D1_FACTORY_TYPE, REFIID,
                                               const D2D1_FACTORY_OPTIONS*, void**);

// IID_ID2D1Factory, spelt out so that no import library is needed.
constexpr GUID kFactoryIid = {
    0x06152247, 0x6F50, 0x465A, {0x92, 0x45, 0x11, 0x8B, 0xFD, 0x3B, 0x60, 0x07}};

const D2D1_MATRIX_3X2_F kIdentity = {1.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f};

D2D1_MATRIX_3X2_F translation(float x, float y) {
    return {1.0f, 0.0f, 0.0f, 1.0f, x, y};
}

D2D1_COLOR_F colourOf(COLORREF colour) {
    return {GetRValue(colour) / 255.0f, GetGValue(colour) / 255.0f, GetBValue(colour) / 255.0f,
            1.0f};
}

D2D1_POINT_2F pointOf(const DialPoint& p) {
    return {p.x, p.y};
}

// Points along an arc of the dial from one angle to another, every degree or
// so. Arcs are flattened here rather than given to the geometry as arc
// segments, which some implementations (Wine's) draw as straight lines.
void addArc(ID2D1GeometrySink* sink, float radius, double fromDegrees, double toDegrees) {
    constexpr int kSteps = 112;
    D2D1_POINT_2F points[kSteps];
    for (int i = 1; i <= kSteps; ++i)
        points[i - 1] =
            pointOf(dialPoint(radius, fromDegrees + (toDegrees - fromDegrees) * i / kSteps));
    sink->AddLines(points, kSteps);
}

// The sector between the two arcs: the outer arc from right to left, the
// inner one back.
bool sectorGeometry(ID2D1Factory* factory, const DialSector& sector,
                    ComPtr<ID2D1PathGeometry>& geometry) {
    if (FAILED(factory->CreatePathGeometry(geometry.receive())))
        return false;
    ComPtr<ID2D1GeometrySink> sink;
    if (FAILED(geometry->Open(sink.receive())))
        return false;
    sink->BeginFigure(pointOf(sector.outerRight), D2D1_FIGURE_BEGIN_FILLED);
    addArc(sink.get(), sector.outerRadius, kDialHalfSpanDegrees, -kDialHalfSpanDegrees);
    sink->AddLine(pointOf(sector.innerLeft));
    addArc(sink.get(), sector.innerRadius, -kDialHalfSpanDegrees, kDialHalfSpanDegrees);
    sink->EndFigure(D2D1_FIGURE_END_CLOSED);
    return SUCCEEDED(sink->Close());
}

// Binds the render target to dc and rect and begins drawing with brush
// colour; false when the binding fails (nothing is drawn then).
bool beginDrawing(HDC dc, const RECT& rect, COLORREF colour) {
    Direct2DRecord* record = gDirect2D;
    if (!record || FAILED(record->renderTarget->BindDC(dc, &rect)))
        return false;
    const LONG width = rect.right - rect.left;
    const LONG height = rect.bottom - rect.top;
    if (record->copiedArea) {
        if (width > kStagingSize || height > kStagingSize)
            return false;
        BitBlt(record->stagingDC, 0, 0, width, height, dc, rect.left, rect.top, SRCCOPY);
        GdiFlush();
        const D2D1_RECT_U area = {0, 0, static_cast<UINT32>(width), static_cast<UINT32>(height)};
        if (FAILED(
                record->copiedArea->CopyFromMemory(&area, record->stagingBits, kStagingSize * 4)))
            return false;
    }
    record->brush->SetColor(colourOf(colour));
    record->renderTarget->BeginDraw();
    if (record->copiedArea) {
        const D2D1_RECT_F area = {0.0f, 0.0f, static_cast<float>(width),
                                  static_cast<float>(height)};
        record->renderTarget->DrawBitmap(record->copiedArea, &area, 1.0f,
                                         D2D1_BITMAP_INTERPOLATION_MODE_NEAREST_NEIGHBOR, &area);
    }
    return true;
}

bool endDrawing() {
    ID2D1DCRenderTarget* target = gDirect2D->renderTarget;
    target->SetTransform(&kIdentity);
    return SUCCEEDED(target->EndDraw(nullptr, nullptr));
}

// A 32-bit top-down DIB section selected into a memory DC.
struct Dib {
    MemoryDC dc;
    UniqueBitmap bitmap;
    void* bits = nullptr;
    HGDIOBJ previous = nullptr;

    bool create(int width, int height) {
        BITMAPINFO info = {};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB};
        dc.reset(CreateCompatibleDC(nullptr));
        bitmap.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        if (!dc || !bitmap)
            return false;
        previous = SelectObject(dc.get(), bitmap.get());
        return true;
    }
    ~Dib() {
        if (previous)
            SelectObject(dc.get(), previous);
    }
};

// Whether drawing nothing through the render target leaves a DC's pixels as
// they were.
bool keepsDcContent(ID2D1DCRenderTarget* target) {
    constexpr COLORREF kProbe = RGB(10, 200, 30);
    Dib probe;
    if (!probe.create(4, 4))
        return false;
    UniqueBrush brush(CreateSolidBrush(kProbe));
    const RECT area = {0, 0, 4, 4};
    FillRect(probe.dc.get(), &area, brush.get());
    if (FAILED(target->BindDC(probe.dc.get(), &area)))
        return false;
    target->BeginDraw();
    target->EndDraw(nullptr, nullptr);
    GdiFlush();
    return (static_cast<const uint32_t*>(probe.bits)[5] & 0xFFFFFF) == 0x0AC81E;
}

// The staging copy for render targets that do not keep the DC's pixels.
struct Staging {
    Dib dib;
    ComPtr<ID2D1Bitmap> bitmap;

    bool create(ID2D1DCRenderTarget* target) {
        if (!dib.create(kStagingSize, kStagingSize))
            return false;
        const D2D1_BITMAP_PROPERTIES properties = {
            {DXGI_FORMAT_B8G8R8A8_UNORM, D2D1_ALPHA_MODE_IGNORE}, 0.0f, 0.0f};
        return SUCCEEDED(target->CreateBitmap({kStagingSize, kStagingSize}, nullptr, 0, &properties,
                                              bitmap.receive()));
    }
    void handTo(Direct2DRecord& record) {
        if (!bitmap)
            return;
        // The bitmap stays selected for the life of the record.
        dib.previous = nullptr;
        record.stagingDC = dib.dc.release();
        record.stagingBitmap = dib.bitmap.release();
        record.stagingBits = dib.bits;
        record.copiedArea = bitmap.detach();
    }
};

} // namespace

// Direct2D and what it loads (Wine's runs host graphics libraries) are not
// written for the floating-point traps the program unmasks: every call into
// it runs with all exceptions masked.

Direct2DRecord* loadDirect2D() {
    if (gDirect2D)
        return gDirect2D;
    FloatExceptionMask masked;
    UniqueLibrary module(LoadLibraryW(L"d2d1.dll"));
    if (!module)
        return nullptr;
    auto create = reinterpret_cast<CreateFactoryFunction>(
        reinterpret_cast<void*>(GetProcAddress(module.get(), "D2D1CreateFactory")));
    if (!create)
        return nullptr;
    ComPtr<ID2D1Factory> factory;
    if (FAILED(
            create(D2D1_FACTORY_TYPE_SINGLE_THREADED, kFactoryIid, nullptr, factory.receiveVoid())))
        return nullptr;
    const D2D1_RENDER_TARGET_PROPERTIES properties = {
        D2D1_RENDER_TARGET_TYPE_DEFAULT,
        {DXGI_FORMAT_B8G8R8A8_UNORM, D2D1_ALPHA_MODE_IGNORE},
        0.0f,
        0.0f,
        D2D1_RENDER_TARGET_USAGE_GDI_COMPATIBLE,
        D2D1_FEATURE_LEVEL_DEFAULT};
    ComPtr<ID2D1DCRenderTarget> target;
    if (FAILED(factory->CreateDCRenderTarget(&properties, target.receive())))
        return nullptr;
    target->SetAntialiasMode(D2D1_ANTIALIAS_MODE_PER_PRIMITIVE);
    ComPtr<ID2D1SolidColorBrush> brush;
    const D2D1_COLOR_F clear = {0.0f, 0.0f, 0.0f, 0.0f};
    if (FAILED(target->CreateSolidColorBrush(&clear, nullptr, brush.receive())))
        return nullptr;
    Staging staging;
    if (!keepsDcContent(target.get()) && !staging.create(target.get()))
        return nullptr;
    auto* record = static_cast<Direct2DRecord*>(
        HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(Direct2DRecord)));
    if (!record)
        return nullptr;
    record->module = module.release();
    record->factory = factory.detach();
    record->renderTarget = target.detach();
    record->brush = brush.detach();
    staging.handTo(*record);
    gDirect2D = record;
    return record;
}

Direct2DRecord* direct2D() {
    return gDirect2D ? gDirect2D : loadDirect2D();
}

void releaseDirect2D() {
    Direct2DRecord* record = gDirect2D;
    if (!record)
        return;
    FloatExceptionMask masked;
    gDirect2D = nullptr;
    if (record->copiedArea) {
        record->copiedArea->Release();
        DeleteDC(record->stagingDC);
        DeleteObject(record->stagingBitmap);
    }
    record->brush->Release();
    record->renderTarget->Release();
    record->factory->Release();
    FreeLibrary(record->module);
    HeapFree(GetProcessHeap(), 0, record);
}

bool drawSmoothDial(HDC dc, COLORREF eraseColour) {
    Direct2DRecord* record = gDirect2D;
    if (!record)
        return false;
    FloatExceptionMask masked;
    ComPtr<ID2D1PathGeometry> erase;
    ComPtr<ID2D1PathGeometry> band;
    if (!sectorGeometry(record->factory, dialEraseSector(), erase) ||
        !sectorGeometry(record->factory, dialBandSector(), band))
        return false;
    const RECT whole = {0, 0, kLargeMeterWidth, kLargeMeterHeight};
    if (!beginDrawing(dc, whole, eraseColour))
        return false;
    ID2D1DCRenderTarget* target = record->renderTarget;
    ID2D1Brush* brush = record->brush;
    const D2D1_MATRIX_3X2_F atPivot = translation(kSmoothPivotX, kSmoothPivotY);
    target->SetTransform(&atPivot);

    // The erase is aliased so that no trace of the bitmap's own dial shows
    // through half-covered edge pixels.
    target->SetAntialiasMode(D2D1_ANTIALIAS_MODE_ALIASED);
    target->FillGeometry(erase.get(), brush, nullptr);
    DialLine edges[kDialEdgeLines];
    dialEdgeLines(edges);
    for (const DialLine& line : edges)
        target->DrawLine(pointOf(line.from), pointOf(line.to), brush, line.width, nullptr);
    target->SetAntialiasMode(D2D1_ANTIALIAS_MODE_PER_PRIMITIVE);

    record->brush->SetColor(colourOf(RGB(255, 255, 255)));
    target->FillGeometry(band.get(), brush, nullptr);
    DialLine lines[kDialScaleLines];
    dialScaleLines(lines);
    for (const DialLine& line : lines) {
        record->brush->SetColor(colourOf(line.ink == DialInk::erase ? eraseColour : RGB(0, 0, 0)));
        target->DrawLine(pointOf(line.from), pointOf(line.to), brush, line.width, nullptr);
    }
    return endDrawing();
}

bool drawSmoothNeedle(HDC dc, const MeterRect& rect, const NeedleTip& tip) {
    FloatExceptionMask masked;
    const RECT bound = {rect.left, rect.top, rect.right, rect.bottom};
    if (!beginDrawing(dc, bound, kNeedleColour))
        return false;
    ID2D1DCRenderTarget* target = gDirect2D->renderTarget;
    const D2D1_MATRIX_3X2_F atPivot =
        translation(kSmoothPivotX - rect.left, kSmoothPivotY - rect.top);
    target->SetTransform(&atPivot);
    target->DrawLine({tip.dx, tip.minusDy}, {0.0f, 0.0f}, gDirect2D->brush, 2.0f, nullptr);
    return endDrawing();
}

bool drawSmoothCurve(HDC dc, const RECT& plot, const CurvePoint* points, size_t count,
                     COLORREF colour) {
    FloatExceptionMask masked;
    if (!beginDrawing(dc, plot, colour))
        return false;
    ID2D1DCRenderTarget* target = gDirect2D->renderTarget;
    // Pixel centres fall on whole coordinates.
    const D2D1_MATRIX_3X2_F centred =
        translation(0.5f - static_cast<float>(plot.left), 0.5f - static_cast<float>(plot.top));
    target->SetTransform(&centred);
    for (size_t i = 1; i < count; ++i)
        target->DrawLine(pointOf(points[i - 1]), pointOf(points[i]), gDirect2D->brush, 1.0f,
                         nullptr);
    return endDrawing();
}

} // namespace tonvale
