// Message boxes and the manager's last-error field.  Texts come from
// Bristler's string table and are shown with the wide calls, so the
// Japanese reads right whatever the process code page.
#include "bristler_internal.h"

namespace bristler {

namespace {

std::wstring LoadText(UINT id) {
    // LoadStringW with a zero length hands out a pointer to the resource
    // itself, so no text is ever cut.
    const wchar_t *text = nullptr;
    const int length = LoadStringW(g_module, id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 && text ? std::wstring(text, static_cast<size_t>(length)) : std::wstring();
}

struct ErrorMessage {
    UINT textId;
    UINT icon;
};

ErrorMessage MessageOfError(int code) {
    switch (code) {
    case BRISTLER_ERROR_NOT_FULL_COLOR: return {BRISTLER_MSG_NOT_FULL_COLOR, MB_ICONINFORMATION};
    case BRISTLER_ERROR_NO_MEMORY: return {BRISTLER_MSG_NO_MEMORY, MB_ICONEXCLAMATION};
    default: return {BRISTLER_MSG_PROCESSING, MB_ICONEXCLAMATION};
    }
}

}  // namespace

void ShowMessage(HWND owner, UINT textId, UINT iconFlags) {
    const std::wstring caption = LoadText(BRISTLER_MSG_CAPTION);
    const std::wstring text = LoadText(textId);
    MessageBoxW(owner, text.c_str(), caption.c_str(), MB_OK | iconFlags);
}

void ReportError(PlugInBrushManager *manager, HWND window, int code) {
    if (!manager) manager = ManagerOfWindow(window);
    if (!manager) {
        ShowMessage(window, BRISTLER_MSG_PROCESSING, MB_ICONEXCLAMATION);
        return;
    }
    manager->lastError = code;
    const ErrorMessage message = MessageOfError(code);
    ShowMessage(window ? window : manager->owner, message.textId, message.icon);
}

PlugInBrushManager *ManagerOfWindow(HWND window) {
    if (!window || !IsWindow(window)) return nullptr;
    // Only Bristler's own windows keep a manager in their user data.
    char className[64] = "";
    GetClassNameA(window, className, sizeof(className));
    const bool preview = lstrcmpiA(className, BRISTLER_PREVIEW_CLASS) == 0 &&
                         reinterpret_cast<HINSTANCE>(GetClassLongPtrA(window, GCLP_HMODULE)) == g_module;
    if (!preview) return nullptr;
    return reinterpret_cast<PlugInBrushManager *>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

}  // namespace bristler
