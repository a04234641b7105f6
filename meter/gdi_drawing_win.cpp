#include "meter/gdi_drawing_win.h"

#include "support/scoped_win.h"

namespace tonvale {

void copyRegion(HDC dest, HDC source, const MeterRect& rect) {
    if (!rect.empty())
        BitBlt(dest, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, source,
               rect.left, rect.top, SRCCOPY);
}

void fillRect(HDC dc, const MeterRect& rect, HBRUSH brush) {
    if (rect.empty())
        return;
    const RECT area = {rect.left, rect.top, rect.right, rect.bottom};
    FillRect(dc, &area, brush);
}

void drawPixelNeedle(HDC dc, const NeedleTip& tip, HPEN pen) {
    SelectionOf selection(dc, pen);
    const POINT lines[4][2] = {{{tip.x, tip.y}, {kPivotX, kPivotY}},
                               {{tip.x + 1, tip.y}, {kPivotX + 1, kPivotY}},
                               {{tip.x, tip.y + 1}, {kPivotX, kPivotY + 1}},
                               {{tip.x + 1, tip.y + 1}, {kPivotX + 1, kPivotY + 1}}};
    for (const auto& line : lines) {
        MoveToEx(dc, line[0].x, line[0].y, nullptr);
        LineTo(dc, line[1].x, line[1].y);
    }
}

} // namespace tonvale
