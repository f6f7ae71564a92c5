// Loading Chromell registers its six window classes and loads the
// selectors' cursor, the marker and the page icons; when any of this fails
// the user is told and the library refuses to load.  Unloading undoes it.
#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <string>

#include "chromell_internal.h"

namespace chromell {

Module g_module;

namespace {

std::wstring LoadText(UINT id) {
    const wchar_t *text = nullptr;
    const int length = LoadStringW(g_module.instance, id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 && text ? std::wstring(text, static_cast<size_t>(length)) : std::wstring();
}

void FreeResources() {
    if (g_module.markerAnd) DeleteObject(g_module.markerAnd);
    if (g_module.markerOr) DeleteObject(g_module.markerOr);
    for (HBITMAP &icon : g_module.pageIcons) {
        if (icon) DeleteObject(icon);
        icon = nullptr;
    }
    g_module.markerAnd = g_module.markerOr = nullptr;
}

bool Start(HINSTANCE instance) {
    g_module.instance = instance;
    std::memcpy(g_module.defaultHistory, kDefaultHistory, sizeof(g_module.defaultHistory));
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_UPDOWN_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    g_module.pickCursor = LoadCursorW(instance, MAKEINTRESOURCEW(CHROMELL_CURSOR));
    if (!g_module.pickCursor) {
        ShowMessage(nullptr, CHROMELL_MSG_NO_RESOURCE);
        return false;
    }
    if (!RegisterClasses(instance)) {
        ShowMessage(nullptr, CHROMELL_MSG_INIT_FAILED);
        return false;
    }
    g_module.markerAnd = LoadBitmapW(instance, MAKEINTRESOURCEW(CHROMELL_MARKER_AND));
    g_module.markerOr = LoadBitmapW(instance, MAKEINTRESOURCEW(CHROMELL_MARKER_OR));
    if (!g_module.markerAnd || !g_module.markerOr || !LoadPageIcons()) {
        ShowMessage(nullptr, CHROMELL_MSG_NO_RESOURCE);
        FreeResources();
        UnregisterClasses(instance);
        return false;
    }
    return true;
}

}  // namespace

bool LoadPageIcons() {
    bool all = true;
    for (int page = 0; page < 3; ++page) {
        HBITMAP icon =
            LoadBitmapForIcon(g_module.instance, CHROMELL_PAGE_ICON_FIRST + page, RGB(0, 128, 128) | kPaletteRelative);
        if (!icon) {
            all = false;
            continue;
        }
        if (g_module.pageIcons[page]) DeleteObject(g_module.pageIcons[page]);
        g_module.pageIcons[page] = icon;
    }
    return all;
}

void ShowMessage(HWND owner, UINT textId) {
    const std::wstring caption = LoadText(CHROMELL_MSG_CAPTION);
    const std::wstring text = LoadText(textId);
    MessageBoxW(owner, text.c_str(), caption.c_str(), MB_OK | MB_ICONEXCLAMATION);
}

bool IsWritable(const void *p, size_t bytes) {
    if (!p) return false;
    auto address = reinterpret_cast<uintptr_t>(p);
    const uintptr_t end = address + bytes;
    if (end < address) return false;
    constexpr DWORD kWritable = PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
    while (address < end) {
        MEMORY_BASIC_INFORMATION info{};
        if (!VirtualQuery(reinterpret_cast<const void *>(address), &info, sizeof(info))) return false;
        if (info.State != MEM_COMMIT || !(info.Protect & kWritable) || (info.Protect & (PAGE_GUARD | PAGE_NOACCESS)))
            return false;
        const uintptr_t regionEnd = reinterpret_cast<uintptr_t>(info.BaseAddress) + info.RegionSize;
        if (regionEnd <= address) return false;
        address = regionEnd;
    }
    return true;
}

// ------------------------------------------------------------ pictures --

dibwork::PixelView ViewOf(HBITMAP picture) {
    dibwork::PixelView view;
    BITMAPINFOHEADER header{};
    void *bits = nullptr;
    if (!picture || !GetDIBitmapInfo(picture, &header, &bits) || !bits || header.biBitCount != 24 ||
        header.biHeight <= 0 || header.biWidth <= 0)
        return view;
    view.bits = static_cast<uint8_t *>(bits);
    view.width = header.biWidth;
    view.height = header.biHeight;
    view.stride = BitmapWidthBytes(static_cast<DWORD>(header.biWidth), 24);
    view.bitCount = 24;
    return view;
}

bool DrawPicture(HDC dc, HBITMAP picture) {
    BITMAPINFOHEADER header{};
    void *bits = nullptr;
    if (!picture || !GetDIBitmapInfo(picture, &header, &bits) || !bits) return false;
    DispDIBToDevice(dc, 0, 0, header.biWidth, header.biHeight, 0, 0, bits, &header, nullptr);
    return true;
}

void DrawMarker(HDC dc, int x, int y) {
    HDC memory = CreateCompatibleDC(dc);
    if (!memory) return;
    HGDIOBJ old = SelectObject(memory, g_module.markerAnd);
    BitBlt(dc, x - 3, y - 3, 7, 7, memory, 0, 0, SRCAND);
    SelectObject(memory, g_module.markerOr);
    BitBlt(dc, x - 3, y - 3, 7, 7, memory, 0, 0, SRCPAINT);
    SelectObject(memory, old);
    DeleteDC(memory);
}

bool FillPicture(HBITMAP picture, COLORREF color) {
    return picture && MetaDIBFillColor(nullptr, picture, color) != 0;
}

}  // namespace chromell

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(instance);
        return chromell::Start(instance) ? TRUE : FALSE;
    }
    // At process exit the system takes everything back itself.
    if (reason == DLL_PROCESS_DETACH && !reserved) {
        chromell::UnregisterClasses(instance);
        chromell::FreeResources();
    }
    return TRUE;
}
