// The floor under the card's figure in Wine: a bare program that does what
// any colour-keyed snow window must, and nothing more. A full-screen layered
// window with the card's colour key and 49 white squares falling 1 or 2
// pixels a step at 64 steps a second, drawn into a DIB section and blitted
// in WM_PAINT, only the squares' old and new places invalidated. Built with
// WINE_FLOOR_ARMS, each square shows only a star of four bars on the key
// colour, so the window's shape has several pieces a row, as the card's
// flakes give it.
//
// Built by bench/wine-cpu with mingw-w64; not part of the program.
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

constexpr COLORREF kKey = RGB(240, 240, 240);
constexpr int kSquares = 49;
constexpr double kStepSeconds = 1.0 / 64;
#ifdef WINE_FLOOR_ARMS
constexpr bool kArms = true;
#else
constexpr bool kArms = false;
#endif

struct Square {
    RECT at;
    int speed;
};

struct Floor {
    int width = 0, height = 0;
    uint32_t* pixels = nullptr;
    HDC memory = nullptr;
    std::vector<Square> squares;
    LARGE_INTEGER frequency{}, nextStep{};
};
Floor floor_;

void fill(const RECT& r, uint32_t colour) {
    RECT c;
    const RECT screen{0, 0, floor_.width, floor_.height};
    if (!IntersectRect(&c, &r, &screen)) return;
    for (LONG y = c.top; y < c.bottom; ++y)
        for (LONG x = c.left; x < c.right; ++x) floor_.pixels[size_t(y) * floor_.width + x] = colour;
}

// A star of four bars, 3 pixels thick, across the square.
void drawArms(const RECT& r) {
    const int size = r.right - r.left, middle = size / 2;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const bool onBar = std::abs(x - middle) <= 1 || std::abs(y - middle) <= 1 || std::abs(x - y) <= 1 ||
                               std::abs(x + y - (size - 1)) <= 1;
            if (onBar) fill({r.left + x, r.top + y, r.left + x + 1, r.top + y + 1}, 0xFEFEFE);
        }
}

void step(HWND window) {
    for (Square& s : floor_.squares) {
        const RECT was = s.at;
        fill(was, 0xF0F0F0);
        OffsetRect(&s.at, 0, s.speed);
        if (s.at.top >= floor_.height) OffsetRect(&s.at, 0, -(floor_.height + (s.at.bottom - s.at.top)));
        RECT both;
        UnionRect(&both, &was, &s.at);
        InvalidateRect(window, &both, FALSE);
    }
    for (const Square& s : floor_.squares) {
        if (kArms) {
            drawArms(s.at);
        } else {
            fill(s.at, 0xFEFEFE);
        }
    }
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TIMER: {
        // Steps at 64 a second, whatever the timer's own rate.
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        const LONGLONG stepTicks = LONGLONG(floor_.frequency.QuadPart * kStepSeconds);
        while (now.QuadPart >= floor_.nextStep.QuadPart) {
            step(window);
            floor_.nextStep.QuadPart += stepTicks;
        }
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        const RECT& r = paint.rcPaint;
        BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, floor_.memory, r.left, r.top, SRCCOPY);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE) DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    floor_.width = GetSystemMetrics(SM_CXSCREEN);
    floor_.height = GetSystemMetrics(SM_CYSCREEN);

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = floor_.width;
    info.bmiHeader.biHeight = -floor_.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    floor_.memory = CreateCompatibleDC(nullptr);
    if (!bitmap || !floor_.memory) return 1;
    SelectObject(floor_.memory, bitmap);
    floor_.pixels = static_cast<uint32_t*>(bits);
    fill({0, 0, floor_.width, floor_.height}, 0xF0F0F0);

    // Squares of the flakes' sizes, spread over the screen.
    uint32_t seed = 12345;
    auto next = [&seed](int n) {
        seed = seed * 1103515245 + 12345;
        return int((seed >> 16) % uint32_t(n));
    };
    for (int i = 0; i < kSquares; ++i) {
        const int size = 15 + next(36), x = next(floor_.width - size), y = next(floor_.height);
        floor_.squares.push_back({{x, y, x + size, y + size}, 1 + next(2)});
    }

    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"WineFloor";
    if (!RegisterClassExW(&windowClass)) return 1;
    HWND window = CreateWindowExW(WS_EX_LAYERED | WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"WineFloor", L"wine floor",
                                  WS_POPUP, 0, 0, floor_.width, floor_.height, nullptr, nullptr, instance, nullptr);
    if (!window) return 1;
    SetLayeredWindowAttributes(window, kKey, 255, LWA_COLORKEY);
    ShowWindow(window, SW_SHOW);

    QueryPerformanceFrequency(&floor_.frequency);
    QueryPerformanceCounter(&floor_.nextStep);
    // As the card's view asks: a 5 ms timer, which Wine and Windows round up.
    SetTimer(window, 1, 5, nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
    return 0;
}
