// Choosing the current brush and its parameters, and leaving brush mode.
// Every selection ends by sending the brush BRUSHCMD_SELECT with its
// parameter block, so that the plug-in builds its tip.
#include <windows.h>
#include <commctrl.h>

#include "brush_rules.h"
#include "bristler_internal.h"

namespace bristler {

BrushDescriptor *CurrentBrush(PlugInBrushManager *manager) {
    if (!manager || !manager->brushes) return nullptr;
    if (manager->currentBrush < 0 || manager->currentBrush >= manager->brushCount) return nullptr;
    return &manager->brushes[manager->currentBrush];
}

int32_t CallCurrentBrush(PlugInBrushManager *manager, int32_t command) {
    BrushDescriptor *brush = CurrentBrush(manager);
    if (!brush || !brush->entryPoint) return 0;
    manager->context.command = command;
    return brush->entryPoint(&manager->context);
}

namespace {

bool HasTables(const PlugInBrushManager *manager) {
    return manager->modules != nullptr && manager->brushes != nullptr;
}

void StoreCursor(PlugInBrushManager *manager, HCURSOR *cursor) {
    if (!cursor) return;
    if (const BrushDescriptor *brush = CurrentBrush(manager)) *cursor = brush->cursor;
}

// Hands the brush its parameter block and lets it build its tip.
void SendSelect(PlugInBrushManager *manager) {
    BrushDescriptor *brush = CurrentBrush(manager);
    if (!brush) return;
    manager->context.tipParams = brush->params;
    CallCurrentBrush(manager, BRUSHCMD_SELECT);
    manager->active = 1;
}

int32_t FindBrushByName(const PlugInBrushManager *manager, LPCSTR name) {
    if (!name) return -1;
    for (int32_t i = 0; i < manager->brushCount; ++i) {
        if (lstrcmpA(manager->brushes[i].name, name) == 0) return i;
    }
    return -1;
}

void CloseColorPopup(PlugInBrushManager *manager) {
    if (!manager->colorPopup) return;
    if (IsWindow(manager->colorPopup) && IsWindowVisible(manager->colorPopup)) {
        SendMessageA(manager->colorPopup, kMsgPopupClose, 0, 0);
    }
    manager->colorPopup = nullptr;
}

// Moves the dialog's trackbar one page and lets the dialog take the new
// value as if the user had paged it.
int PageTrackbar(PlugInBrushManager *manager, HWND trackbar, int index, int step) {
    const BrushDescriptor *brush = CurrentBrush(manager);
    if (!brush) return 0;
    const int direction = step > 0 ? 1 : -1;
    const auto page = static_cast<int>(SendMessageA(trackbar, TBM_GETPAGESIZE, 0, 0));
    const int position = brush->params[index].value + direction * page;
    SendMessageA(trackbar, TBM_SETPOS, TRUE, position);
    const WORD code = direction > 0 ? TB_PAGEDOWN : TB_PAGEUP;
    SendMessageA(manager->settingsDialog, WM_HSCROLL, MAKEWPARAM(code, 0), reinterpret_cast<LPARAM>(trackbar));
    return 1;
}

}  // namespace

}  // namespace bristler

using namespace bristler;

int WINAPI SelectPlugInBrush(PlugInBrushManager *manager, int index, HCURSOR *cursor) {
    if (!manager || !HasTables(manager)) return 0;
    if (index >= manager->brushCount) return 0;  // no such brush: nothing changes
    if (index >= 0) manager->currentBrush = index;
    OpenOrRefreshSettingsDialog(manager);
    StoreCursor(manager, cursor);
    manager->context.pressure = BRUSH_PRESSURE_FULL;
    SendSelect(manager);
    return 1;
}

int WINAPI EnterBrushMode(PlugInBrushManager *manager, int index, HCURSOR *cursor) {
    return SelectPlugInBrush(manager, index, cursor);
}

int WINAPI SelectPlugInBrushEx(PlugInBrushManager *manager, LPCSTR name, int param1, int param2, int param3,
                               const COLORREF *color, int showDialog, HCURSOR *cursor) {
    if (!manager) return 0;
    DestroySettingsDialog(manager);
    if (!HasTables(manager)) return 0;
    const int32_t found = FindBrushByName(manager, name);
    if (found >= 0) manager->currentBrush = found;
    BrushDescriptor *brush = CurrentBrush(manager);
    if (!brush) return 0;

    const int given[3] = {param1, param2, param3};
    for (int k = 0; k < 3; ++k) {
        BrushParam &param = brush->params[k];
        param.value = ClampParam(given[k], param.minimum, param.maximum);
    }
    if (color) manager->context.color = *color;
    if (showDialog) OpenOrRefreshSettingsDialog(manager);
    StoreCursor(manager, cursor);
    SendSelect(manager);
    return 1;
}

int WINAPI LeaveBrushMode(PlugInBrushManager *manager) {
    if (!manager) return 0;
    if (!manager->active) return 1;
    if (manager->brushes) CallCurrentBrush(manager, BRUSHCMD_RELEASE);
    CloseColorPopup(manager);
    DestroySettingsDialog(manager);
    manager->active = 0;
    return 1;
}

int WINAPI PlugInBrushSetParam(PlugInBrushManager *manager, int index, int step) {
    if (!manager) return 0;
    if (!OpenOrRefreshSettingsDialog(manager)) return 0;
    if (index < 0 || index > 2 || !manager->settingsDialog) return 0;
    HWND trackbar = GetDlgItem(manager->settingsDialog, kIdFirstTrackbar + index);
    if (!trackbar) return 0;
    if (step == 0) return IsWindowVisible(trackbar) ? 1 : 0;
    return PageTrackbar(manager, trackbar, index, step);
}
