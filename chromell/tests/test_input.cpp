// The modal dialog end to end with real input on the virtual display: a
// click in the hue strip and a drag in the square, then OK.  The caller's
// colour must be the colour model's value at the points the dialog saw.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "chromell_test_support.h"
#include "color_model.h"
#include "test_support.h"

namespace {

using namespace chromell_test;

POINT CenterOf(HWND control) {
    RECT r{};
    GetWindowRect(control, &r);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// Moves the pointer with absolute input; answers where it is now.
POINT MoveTo(POINT at) {
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = (at.x * 65536 + w - 1) / w;
    input.mi.dy = (at.y * 65536 + h - 1) / h;
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof(input));
    Sleep(60);
    POINT now{};
    GetCursorPos(&now);
    return now;
}

void Button(DWORD flag) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flag;
    SendInput(1, &input, sizeof(input));
    Sleep(60);
}

POINT ClientPoint(HWND control, POINT screen) {
    ScreenToClient(control, &screen);
    return screen;
}

struct DriveRun {
    std::atomic<bool> finished{false};
    COLORREF expected = 0;
    bool sawDialog = false;
    POINT huePoint{}, squarePoint{};
};

void DriveDialog(DriveRun *run) {
    HWND dialog = nullptr;
    for (int i = 0; i < 100 && !dialog; ++i) {
        dialog = FindWindowW(L"#32770", L"色の選択");
        if (!dialog) Sleep(50);
    }
    if (!dialog) return;
    run->sawDialog = true;
    Sleep(300);
    SetForegroundWindow(dialog);
    HWND hue = GetDlgItem(dialog, CHROMELL_ID_HUE);
    HWND square = GetDlgItem(dialog, CHROMELL_ID_SATINT);
    RECT hueClient{}, squareClient{};
    GetClientRect(hue, &hueClient);
    GetClientRect(square, &squareClient);

    // A click a third of the way along the hue strip (green-yellow).
    POINT at = CenterOf(hue);
    RECT hr{};
    GetWindowRect(hue, &hr);
    at.x = hr.left + (hr.right - hr.left) / 3;
    run->huePoint = ClientPoint(hue, MoveTo(at));
    Button(MOUSEEVENTF_LEFTDOWN);
    Button(MOUSEEVENTF_LEFTUP);

    // A drag in the square from its middle towards the lower right.
    const POINT middle = CenterOf(square);
    MoveTo(middle);
    Button(MOUSEEVENTF_LEFTDOWN);
    POINT last = middle;
    for (int step = 1; step <= 5; ++step) last = MoveTo(POINT{middle.x + 4 * step, middle.y + 3 * step});
    run->squarePoint = ClientPoint(square, last);
    Button(MOUSEEVENTF_LEFTUP);

    // The model's colour at those points.
    const double hueValue = chromell::HueAtStripPoint(run->huePoint.x, run->huePoint.y, hueClient.right,
                                                      hueClient.bottom, false);
    const int w = squareClient.right, h = squareClient.bottom;
    const int stride = (w * 3 + 3) / 4 * 4;
    std::vector<uint8_t> bytes(static_cast<size_t>(stride) * h);
    dibwork::PixelView view;
    view.bits = bytes.data();
    view.width = w;
    view.height = h;
    view.stride = static_cast<uint32_t>(stride);
    view.bitCount = 24;
    chromell::BuildSatIntSquare(view, hueValue);
    const chromell::SatIntPick pick = chromell::PickSatInt(run->squarePoint.x, run->squarePoint.y, w, h);
    run->expected = chromell::PixelColor(view, pick.cell.column, pick.cell.memoryRow);

    MoveTo(CenterOf(GetDlgItem(dialog, IDOK)));
    Button(MOUSEEVENTF_LEFTDOWN);
    Button(MOUSEEVENTF_LEFTUP);
    for (int i = 0; i < 40 && IsWindow(dialog); ++i) Sleep(50);
    if (IsWindow(dialog)) PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);  // never hang
    run->finished = true;
}

TEST(ChromellInput, AClickInTheHueStripAndADragInTheSquarePickTheModelsColour) {
    ASSERT_NE(Chromell().module, nullptr);
    {
        // Leave the quick page remembered for the modal dialog.
        Owner owner;
        COLORREF scratch = 0x02000000;
        HWND floating = Chromell().selectFloat(owner.hwnd(), &scratch, nullptr);
        ASSERT_NE(floating, nullptr);
        while (StateOf(floating)->page != CHROMELL_PAGE_QUICK) Click(floating, CHROMELL_ID_PAGE_BUTTON);
        SendMessageW(floating, CHROMELL_WM_CLOSE_QUIETLY, 0, 0);
    }
    Owner owner(200, 100, 200, 150);
    COLORREF color = 0x02404080;  // a muted red: saturation and intensity below 1
    owner.watched = &color;
    DriveRun run;
    std::thread driver(DriveDialog, &run);
    const int result = Chromell().selectMru(owner.hwnd(), &color, nullptr, nullptr);
    driver.join();
    ASSERT_TRUE(run.sawDialog);
    EXPECT_EQ(result, 1);
    EXPECT_NE(color, 0x02404080u);
    EXPECT_EQ(color, run.expected) << "hue point " << run.huePoint.x << "," << run.huePoint.y << ", square point "
                                   << run.squarePoint.x << "," << run.squarePoint.y;
    Pump();
    EXPECT_FALSE(owner.log.empty()) << "every pick is posted to the owner";
}

}  // namespace
