#include "platform/win32/window_paint.h"

namespace platform::win32 {

namespace {

#ifdef CC_TEST_PATCH
// Test build only: a patch one step off the colour key, so a screenshot
// shows that exactly 0xF0F0F0 is see-through and nothing near it.
void paintTestPatch(HDC dc) {
    const RECT patch{100, 100, 164, 164};
    HBRUSH brush = CreateSolidBrush(RGB(240, 240, 241));
    FillRect(dc, &patch, brush);
    DeleteObject(brush);
}
#endif

}  // namespace

void paintMainWindow(HWND window, const ViewBuffer& view, const RECT& viewRect, HBRUSH background) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);

    const int saved = SaveDC(dc);
    ExcludeClipRect(dc, viewRect.left, viewRect.top, viewRect.right, viewRect.bottom);
    FillRect(dc, &paint.rcPaint, background);
    RestoreDC(dc, saved);

    RECT area;
    if (view.dc() && IntersectRect(&area, &paint.rcPaint, &viewRect)) {
        BitBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, view.dc(),
               area.left - viewRect.left, area.top - viewRect.top, SRCCOPY);
    }
#ifdef CC_TEST_PATCH
    paintTestPatch(dc);
#endif
    EndPaint(window, &paint);
    // The view writes into the buffer next: let the blit finish reading it.
    GdiFlush();
}

}  // namespace platform::win32
