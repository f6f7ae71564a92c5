#include "tool_windows.h"

#include "app_state.h"
#include "dibwork.h"
#include "page_bar.h"
#include "resource_ids.h"

namespace pintora {
namespace {

INT_PTR CALLBACK BarProc(HWND bar, UINT message, WPARAM wParam, LPARAM);

struct BarInfo {
    int templateId;
    HWND ToolWindows::*slot;
    DLGPROC proc = BarProc;
};

BarInfo InfoOf(ToolBar bar) {
    switch (bar) {
        case ToolBar::kAction: return {IDD_ACTION_BAR, &ToolWindows::actionOrEnd};
        case ToolBar::kEnd: return {IDD_END_BAR, &ToolWindows::actionOrEnd};
        case ToolBar::kColor: return {IDD_COLOR_BAR, &ToolWindows::color};
        case ToolBar::kSize: return {IDD_SIZE_BAR, &ToolWindows::size};
        case ToolBar::kPen: return {IDD_PEN_BAR, &ToolWindows::pen};
        case ToolBar::kPage: return {IDD_PAGE_BAR, &ToolWindows::page, PageBarProc};
    }
    return {0, &ToolWindows::page};
}

// The bars' shared procedure until each bar has its own: a bar made from a
// template closes with its window menu like any tool window.
INT_PTR CALLBACK BarProc(HWND bar, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) return TRUE;
    if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
        DestroyWindow(bar);
        return TRUE;
    }
    return FALSE;
}

bool HasDialogTemplate(HINSTANCE instance, int templateId) {
    const LPCWSTR dialogType = MAKEINTRESOURCEW(5);  // RT_DIALOG
    return FindResourceW(instance, MAKEINTRESOURCEW(templateId), dialogType) != nullptr;
}

void DestroySlot(HWND &slot) {
    if (slot && IsWindow(slot)) DestroyWindow(slot);
    slot = nullptr;
}

}  // namespace

INT_PTR CALLBACK OkCancelBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            if (lParam) SetUIGothicFont(dialog);
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
                EndDialog(dialog, LOWORD(wParam));
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
    }
}

HWND CreateToolBar(AppState &app, ToolBar bar) {
    const BarInfo info = InfoOf(bar);
    HWND &slot = app.tools.*(info.slot);
    DestroySlot(slot);
    // A bar whose template is not among the resources is simply absent.
    if (!HasDialogTemplate(app.instance, info.templateId)) return nullptr;
    if (bar == ToolBar::kPage && !RegisterPageBarClass(app.instance)) return nullptr;
    slot = CreateDialogParamW(app.instance, MAKEINTRESOURCEW(info.templateId), app.canvas, info.proc,
                              reinterpret_cast<LPARAM>(&app));
    return slot;
}

void DestroyActionOrEndBar(AppState &app) { DestroySlot(app.tools.actionOrEnd); }

void DestroyToolBars(AppState &app) {
    DestroySlot(app.tools.actionOrEnd);
    DestroySlot(app.tools.color);
    DestroySlot(app.tools.size);
    DestroySlot(app.tools.pen);
    DestroySlot(app.tools.page);
}

void ShowTipsDialog(AppState &app, HWND owner) {
    if (!HasDialogTemplate(app.instance, IDD_TIPS)) return;
    // The tips: static texts in the shared dialog font.
    DialogBoxParamW(app.instance, MAKEINTRESOURCEW(IDD_TIPS), owner, OkCancelBoxProc, 1);
}

}  // namespace pintora
