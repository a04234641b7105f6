// The optional Direct2D back end: one factory, one DC render target and one
// brush, shared by the meter and the spectrum view for the few elements that
// profit from anti-aliasing, drawn into their GDI bitmaps. Used on the UI
// thread only.
#pragma once

#include <windows.h>

#include "meter/dial_geometry.h"
#include "meter/meter_geometry.h"

#include <cstddef>

struct ID2D1Factory;
struct ID2D1DCRenderTarget;
struct ID2D1SolidColorBrush;
struct ID2D1Bitmap;

namespace tonvale {

// On the process heap; gDirect2D is null while Direct2D is not in use.
struct Direct2DRecord {
    HMODULE module;                    // d2d1.dll
    ID2D1Factory* factory;             // single-threaded
    ID2D1DCRenderTarget* renderTarget; // bound to a DC and rectangle before each use
    ID2D1SolidColorBrush* brush;       // coloured before each use
    // Some implementations (Wine's) start each drawing on the DC render
    // target from an empty surface instead of the DC's pixels, which the
    // drawing would then overwrite. Only there, the bound area is copied in
    // first through these, made once at load; all null where the render
    // target keeps what the DC holds.
    HDC stagingDC;
    HBITMAP stagingBitmap; // 32-bit top-down DIB, kStagingSize square
    void* stagingBits;
    ID2D1Bitmap* copiedArea;
};

// The largest area drawn into where the staging copy is needed.
constexpr int kStagingSize = 512;

extern Direct2DRecord* gDirect2D;

// Loads d2d1.dll and creates the factory, render target and brush; null (and
// nothing held) when any step fails. Does nothing when a record exists.
Direct2DRecord* loadDirect2D();
// The record, loading it first when there is none.
Direct2DRecord* direct2D();
// Releases everything and clears gDirect2D.
void releaseDirect2D();

// Draws the anti-aliased dial scale over the aliased one of a large
// background selected into dc. eraseColour is the background's own colour
// (its top-left pixel). False when nothing could be drawn.
bool drawSmoothDial(HDC dc, COLORREF eraseColour);

// Draws the needle from tip into dc, clipped to rect (smoothNeedleRect of
// the tip).
bool drawSmoothNeedle(HDC dc, const MeterRect& rect, const NeedleTip& tip);

// Draws connected one-pixel segments through points (dc coordinates, pixel
// centres on whole numbers) into dc, clipped to plot.
using CurvePoint = DialPoint;
bool drawSmoothCurve(HDC dc, const RECT& plot, const CurvePoint* points, size_t count,
                     COLORREF colour);

} // namespace tonvale
