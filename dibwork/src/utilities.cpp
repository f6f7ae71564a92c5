// Small helpers shared by every window of the system: the dialog font, the
// shell (web and mail addresses, folder picker), the last-error box, and
// the folder of the running program.
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>
#include <cpuid.h>

#include <string>
#include <vector>

#include "dibwork.h"
#include "dibwork_internal.h"

namespace {

// The one dialog font of the process: NULL until first use, kFontFailed
// once creating it failed (no further attempt is made).
HFONT g_uiFont = nullptr;
const HFONT kFontFailed = reinterpret_cast<HFONT>(static_cast<INT_PTR>(-1));

class WaitCursor {
public:
    WaitCursor() : previous_(SetCursor(LoadCursor(nullptr, IDC_WAIT))) {}
    ~WaitCursor() { SetCursor(previous_); }
private:
    HCURSOR previous_;
};

BOOL CALLBACK SetFontOnChild(HWND child, LPARAM font) {
    SendMessageA(child, WM_SETFONT, static_cast<WPARAM>(font), TRUE);
    return TRUE;
}

int CALLBACK BrowseCallback(HWND dialog, UINT message, LPARAM, LPARAM preselect) {
    if (message == BFFM_INITIALIZED && preselect) {
        SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, preselect);
    }
    return 0;
}

}  // namespace

namespace dibwork {

void ShutdownUtilities() {
    if (g_uiFont && g_uiFont != kFontFailed) DeleteObject(g_uiFont);
    g_uiFont = nullptr;
}

}  // namespace dibwork

int WINAPI GetCurrentModulePath(LPSTR buffer, int bufferSize) {
    if (!buffer || bufferSize < 2) return 0;
    buffer[0] = '\0';
    // Long enough for any path the system can give; a cut name is refused
    // rather than yielding a wrong folder.
    std::vector<char> name(32768);
    const DWORD length = GetModuleFileNameA(nullptr, name.data(), static_cast<DWORD>(name.size()));
    if (length == 0 || length >= name.size()) return 0;
    const std::string path(name.data(), length);
    const size_t slash = path.find_last_of('\\');
    if (slash == std::string::npos) return 0;
    const size_t folderLength = slash + 1;
    if (folderLength + 1 > static_cast<size_t>(bufferSize)) return 0;
    path.copy(buffer, folderLength);
    buffer[folderLength] = '\0';
    return 1;
}

int WINAPI PopupBrowserByURL(LPCSTR address) {
    if (!address) return 0;
    WaitCursor wait;
    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOCLOSEPROCESS;
    info.lpVerb = "open";
    info.lpFile = address;
    info.nShow = 0;
    if (ShellExecuteExA(&info) && info.hProcess) {
        WaitForInputIdle(info.hProcess, 5000);
        CloseHandle(info.hProcess);
    }
    return 1;
}

int WINAPI BrowseFolderDirect(HWND owner, LPSTR path, LPCSTR title) {
    if (!path) return 0;
    BROWSEINFOA info{};
    info.hwndOwner = owner;
    info.lpszTitle = title;
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    info.lpfn = BrowseCallback;
    info.lParam = path[0] ? reinterpret_cast<LPARAM>(path) : 0;
    char chosen[MAX_PATH] = "";
    info.pszDisplayName = chosen;

    const HRESULT com = CoInitialize(nullptr);
    PIDLIST_ABSOLUTE list = SHBrowseForFolderA(&info);
    int result = 0;
    if (list) {
        char folder[MAX_PATH] = "";
        if (SHGetPathFromIDListA(list, folder)) {
            lstrcpynA(path, folder, MAX_PATH);
            result = 1;
        }
        CoTaskMemFree(list);
    }
    if (SUCCEEDED(com)) CoUninitialize();
    return result;
}

void WINAPI PrintErrorMessage(LPCSTR caption) {
    const DWORD error = GetLastError();
    LPSTR text = nullptr;
    FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                       FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, error, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                   reinterpret_cast<LPSTR>(&text), 0, nullptr);
    MessageBoxA(nullptr, text ? text : "", caption ? caption : "Error", MB_OK | MB_ICONEXCLAMATION);
    if (text) LocalFree(text);
}

int WINAPI wStrLen(LPCSTR text) { return text ? lstrlenA(text) : 0; }

int WINAPI IsNT351() {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof(version);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExA(&version)) return 0;
#pragma GCC diagnostic pop
    return version.dwPlatformId == VER_PLATFORM_WIN32_NT && version.dwMajorVersion < 4 ? 1 : 0;
}

int WINAPI IsMMX() {
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx)) return 0;
    return (edx & (1u << 23)) ? 1 : 0;
}

int WINAPI SetUIGothicFont(HWND parent) {
    if (!g_uiFont) {
        g_uiFont = CreateFontA(13, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                               OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                               DEFAULT_PITCH | FF_DONTCARE, "MS UI Gothic");
        if (!g_uiFont) g_uiFont = kFontFailed;
    }
    if (g_uiFont == kFontFailed) return -1;
    return EnumChildWindows(parent, SetFontOnChild, reinterpret_cast<LPARAM>(g_uiFont));
}

int WINAPI MailToMailAddress(LPCSTR address) {
    if (!address) return 0;
    const size_t size = static_cast<size_t>(lstrlenA(address)) + 20;
    std::vector<char> command;
    try {
        command.resize(size);
    } catch (...) {
        return 0;
    }
    wsprintfA(command.data(), "mailto:%s", address);
    ShellExecuteA(nullptr, "open", command.data(), nullptr, nullptr, 0);
    return 1;
}
