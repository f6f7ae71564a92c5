// A look at the tips chip on screen: a window with the pointer resting on
// it and a chip with a two-line Japanese text.  Screen captures of a
// virtual display do not show the pointer, so the window draws an arrow
// where the pointer is.  Dibwork is linked by ordinal, as callers do.
//
// Usage: tipschip_demo [seconds]   (default 4)
#include <windows.h>

#include <cstdlib>

#include "dibwork.h"

namespace {

const POINT kPointer = {420, 330};
const UINT kChipTimer = 1;
const UINT kQuitTimer = 2;
// "色を選ぶときは\nここをクリックします" and the window's own line.
const char kChipText[] = u8"色を選ぶときは\nここをクリックします";
const wchar_t kWindowText[] = L"\x3053\x3053\x3067\x30DD\x30A4\x30F3\x30BF\x30FC\x3092\x6B62\x3081\x308B\x3068"
                              L"\x30D2\x30F3\x30C8\x304C\x51FA\x307E\x3059";  // ここでポインターを止めるとヒントが出ます

void DrawPointerArrow(HDC dc, POINT tip) {
    const POINT arrow[] = {{0, 0}, {0, 17}, {4, 13}, {7, 20}, {10, 19}, {7, 12}, {12, 12}};
    POINT at[7];
    for (int i = 0; i < 7; ++i) at[i] = POINT{tip.x + arrow[i].x, tip.y + arrow[i].y};
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(WHITE_BRUSH));
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
    Polygon(dc, at, 7);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
}

void OnPaint(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT area;
    GetClientRect(window, &area);
    area.top = 20;
    SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, kWindowText, -1, &area, DT_CENTER | DT_SINGLELINE);
    POINT tip = kPointer;
    ScreenToClient(window, &tip);
    DrawPointerArrow(dc, tip);
    EndPaint(window, &paint);
}

LRESULT CALLBACK DemoProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        OnPaint(window);
        return 0;
    case WM_TIMER:
        if (wParam == kQuitTimer) PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    const int seconds = commandLine && *commandLine ? std::atoi(commandLine) : 4;
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DemoProc;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    windowClass.lpszClassName = L"PintoraTipsChipDemo";
    RegisterClassW(&windowClass);
    HWND target = CreateWindowExW(0, windowClass.lpszClassName, L"", WS_POPUP | WS_BORDER | WS_VISIBLE, 200, 150, 600,
                                  400, nullptr, nullptr, instance, nullptr);
    SetCursorPos(kPointer.x, kPointer.y);
    HWND chip = StartTipsChipWindow(kChipText, target, instance, kChipTimer, 600);
    if (!chip) return 1;
    SetTimer(target, kQuitTimer, static_cast<UINT>(seconds > 0 ? seconds : 4) * 1000, nullptr);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    EndTipsChipWindow(chip);
    DestroyWindow(target);
    return 0;
}
