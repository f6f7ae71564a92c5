#include "e2e_support.h"

#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "test_support.h"

namespace pintora_e2e {
namespace {

constexpr const wchar_t *kBackdropClass = L"PintoraTestBackdrop";
constexpr const wchar_t *kCanvasClass = L"PintoraKids";
constexpr const char *kSettingsKey = "Software\\Quorvane Software Lab.\\Tessaro\\Settings";

// The backdrop's picture, made once: a 32-bit top-down DIB of the screen.
struct BackdropPicture {
    BITMAPINFO info{};
    std::vector<uint32_t> pixels;
    BackdropPicture() {
        const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        pixels.resize(static_cast<size_t>(w) * h);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) pixels[static_cast<size_t>(y) * w + x] = Backdrop::ColorAt(x, y);
        }
    }
};

LRESULT CALLBACK BackdropProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        static BackdropPicture picture;
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        const auto &h = picture.info.bmiHeader;
        SetDIBitsToDevice(dc, 0, 0, h.biWidth, -h.biHeight, 0, 0, 0, -h.biHeight, picture.pixels.data(),
                          &picture.info, DIB_RGB_COLORS);
        EndPaint(window, &ps);
        return 0;
    }
    if (message == WM_ERASEBKGND) return 1;
    if (message == WM_MOUSEACTIVATE) return MA_NOACTIVATE;
    return DefWindowProcW(window, message, wParam, lParam);
}

struct ProcessWindows {
    DWORD process;
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectProcessWindow(HWND window, LPARAM param) {
    auto *find = reinterpret_cast<ProcessWindows *>(param);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == find->process && IsWindowVisible(window)) find->windows.push_back(window);
    return TRUE;
}

std::vector<HWND> VisibleWindowsOf(DWORD process) {
    ProcessWindows find{process, {}};
    EnumWindows(CollectProcessWindow, reinterpret_cast<LPARAM>(&find));
    return find.windows;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = L"";
    GetClassNameW(window, name, 64);
    return name;
}

BOOL CALLBACK AppendStaticText(HWND child, LPARAM param) {
    if (lstrcmpiW(ClassOf(child).c_str(), L"Static") == 0) {
        auto *text = reinterpret_cast<std::string *>(param);
        const std::string part = WindowText(child);
        if (!part.empty()) {
            if (!text->empty()) *text += "\n";
            *text += part;
        }
    }
    return TRUE;
}

INPUT MouseInput(DWORD flags, LONG dx = 0, LONG dy = 0) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = dx;
    in.mi.dy = dy;
    in.mi.dwFlags = flags;
    return in;
}

}  // namespace

// ---------------------------------------------------------------- screen --

Shot CaptureScreen() {
    Shot shot;
    shot.width = GetSystemMetrics(SM_CXSCREEN);
    shot.height = GetSystemMetrics(SM_CYSCREEN);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), shot.width, -shot.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void *bits = nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP section = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, section);
    BitBlt(memory, 0, 0, shot.width, shot.height, screen, 0, 0, SRCCOPY);
    GdiFlush();
    const auto *p = static_cast<const uint32_t *>(bits);
    shot.pixels.assign(p, p + static_cast<size_t>(shot.width) * shot.height);
    for (auto &v : shot.pixels) v &= 0x00FFFFFF;
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(section);
    ReleaseDC(nullptr, screen);
    return shot;
}

Shot SettledScreen(DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    Shot last = CaptureScreen();
    while (GetTickCount() - start < timeoutMs) {
        Pump(80);
        Shot next = CaptureScreen();
        if (next.pixels == last.pixels) return next;
        last = std::move(next);
    }
    return last;
}

Difference Compare(const Shot &a, const Shot &b, const std::vector<RECT> &excluded) {
    Difference d;
    if (a.width != b.width || a.height != b.height) {
        d.count = SIZE_MAX;
        return d;
    }
    for (int y = 0; y < a.height; ++y) {
        for (int x = 0; x < a.width; ++x) {
            if (a.at(x, y) == b.at(x, y)) continue;
            const POINT p{x, y};
            if (std::any_of(excluded.begin(), excluded.end(), [&](const RECT &r) { return PtInRect(&r, p); })) {
                continue;
            }
            if (d.count == 0) {
                d.bounds = {x, y, x + 1, y + 1};
                d.first = p;
            } else {
                d.bounds.left = std::min<LONG>(d.bounds.left, x);
                d.bounds.top = std::min<LONG>(d.bounds.top, y);
                d.bounds.right = std::max<LONG>(d.bounds.right, x + 1);
                d.bounds.bottom = std::max<LONG>(d.bounds.bottom, y + 1);
            }
            ++d.count;
        }
    }
    return d;
}

void SaveShot(const Shot &shot, const std::wstring &path) {
    const uint32_t stride = (static_cast<uint32_t>(shot.width) * 3 + 3) & ~3u;
    const uint32_t image = stride * static_cast<uint32_t>(shot.height);
    BITMAPFILEHEADER file{0x4D42, 14 + 40 + image, 0, 0, 14 + 40};
    BITMAPINFOHEADER info{40, shot.width, shot.height, 1, 24, BI_RGB, image, 0, 0, 0, 0};
    std::vector<uint8_t> rows(image);
    for (int y = 0; y < shot.height; ++y) {
        uint8_t *row = rows.data() + static_cast<size_t>(shot.height - 1 - y) * stride;
        for (int x = 0; x < shot.width; ++x) {
            const uint32_t c = shot.at(x, y);
            row[3 * x] = static_cast<uint8_t>(c);
            row[3 * x + 1] = static_cast<uint8_t>(c >> 8);
            row[3 * x + 2] = static_cast<uint8_t>(c >> 16);
        }
    }
    std::ofstream out(pintora_test::Narrow(path), std::ios::binary);
    out.write(reinterpret_cast<const char *>(&file), 14);
    out.write(reinterpret_cast<const char *>(&info), 40);
    out.write(reinterpret_cast<const char *>(rows.data()), rows.size());
}

Backdrop::Backdrop() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = BackdropProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kBackdropClass;
    RegisterClassW(&wc);
    window_ = CreateWindowExW(WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW, kBackdropClass, L"", WS_POPUP | WS_VISIBLE, 0, 0,
                              GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr,
                              wc.hInstance, nullptr);
    UpdateWindow(window_);
    Pump(100);
}

Backdrop::~Backdrop() {
    if (window_) DestroyWindow(window_);
    Pump(50);
}

uint32_t Backdrop::ColorAt(int x, int y) {
    // Red and green ramps, and a blue that tells the 256-pixel blocks and
    // every fourth column apart: no two pixels of the screen are alike.
    const uint32_t r = static_cast<uint32_t>(x) & 0xFF;
    const uint32_t g = static_cast<uint32_t>(y) & 0xFF;
    const uint32_t b = (static_cast<uint32_t>(x >> 8) * 64 + static_cast<uint32_t>(y >> 8) * 16 + 8) & 0xFF;
    return (r << 16) | (g << 8) | b;
}

// ----------------------------------------------------------------- input --

void MoveTo(POINT p) {
    // Absolute positions are in 1/65536 of the screen; Wine maps them back
    // with (d x width) >> 16, so the smallest d that lands on p is taken.
    const LONG w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    const auto scale = [](LONG v, LONG size) { return static_cast<LONG>((int64_t{v} * 65536 + size - 1) / size); };
    INPUT in = MouseInput(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, scale(p.x, w), scale(p.y, h));
    SendInput(1, &in, sizeof in);
    POINT now{};
    GetCursorPos(&now);
    if (now.x != p.x || now.y != p.y) {
        // Another mapping (the platform's own 65535 scale): correct it.
        INPUT fix = MouseInput(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE,
                               static_cast<LONG>((int64_t{p.x} * 65535 + (w - 1) / 2) / (w - 1)),
                               static_cast<LONG>((int64_t{p.y} * 65535 + (h - 1) / 2) / (h - 1)));
        SendInput(1, &fix, sizeof fix);
    }
}

void MouseButton(bool right, bool down) {
    const DWORD flag = right ? (down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP)
                             : (down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP);
    INPUT in = MouseInput(flag);
    SendInput(1, &in, sizeof in);
}

void Drag(POINT a, POINT b, bool right, int step) {
    MoveTo(a);
    Pump(30);
    MouseButton(right, true);
    Pump(30);
    const int dx = b.x - a.x, dy = b.y - a.y;
    const int steps = std::max(1, static_cast<int>(std::max(std::abs(dx), std::abs(dy)) / std::max(1, step)));
    for (int i = 1; i <= steps; ++i) {
        MoveTo({a.x + dx * i / steps, a.y + dy * i / steps});
        Pump(8);
    }
    Pump(30);
    MouseButton(right, false);
    Pump(50);
}

void PressKeys(std::initializer_list<WORD> keys) {
    std::vector<INPUT> inputs;
    for (WORD key : keys) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = key;
        inputs.push_back(in);
    }
    for (auto it = std::rbegin(keys); it != std::rend(keys); ++it) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = *it;
        in.ki.dwFlags = KEYEVENTF_KEYUP;
        inputs.push_back(in);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    Pump(100);
}

// --------------------------------------------------------------- process --

std::wstring SettingsFilePath() {
    wchar_t folder[MAX_PATH] = L"";
    SHGetFolderPathW(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, folder);
    return std::wstring(folder) + L"\\Pintora.ini";
}

SettingsGuard::SettingsGuard() {
    savedFile_ = Read();
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        wchar_t value[512] = L"";
        DWORD bytes = sizeof value - sizeof(wchar_t);
        if (RegQueryValueExW(key, L"SetupDirectory", nullptr, nullptr, reinterpret_cast<BYTE *>(value), &bytes) ==
            ERROR_SUCCESS) {
            savedSetup_ = value;
        }
        RegCloseKey(key);
    }
    SetSetupDirectory(std::nullopt);
}

SettingsGuard::~SettingsGuard() {
    if (savedFile_) {
        std::ofstream out(pintora_test::Narrow(SettingsFilePath()), std::ios::binary);
        out << *savedFile_;
    } else {
        Remove();
    }
    SetSetupDirectory(savedSetup_);
}

void SettingsGuard::Write(const std::vector<std::string> &lines) const {
    std::ofstream out(pintora_test::Narrow(SettingsFilePath()), std::ios::binary);
    out << "[Pintora]\r\n";
    for (const auto &line : lines) out << line << "\r\n";
}

void SettingsGuard::Remove() const { DeleteFileW(SettingsFilePath().c_str()); }

std::optional<std::string> SettingsGuard::Read() const {
    std::ifstream in(pintora_test::Narrow(SettingsFilePath()), std::ios::binary);
    if (!in) return std::nullopt;
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void SettingsGuard::SetSetupDirectory(const std::optional<std::wstring> &folder) const {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS) {
        return;
    }
    if (folder) {
        RegSetValueExW(key, L"SetupDirectory", 0, REG_SZ, reinterpret_cast<const BYTE *>(folder->c_str()),
                       static_cast<DWORD>((folder->size() + 1) * sizeof(wchar_t)));
    } else {
        RegDeleteValueW(key, L"SetupDirectory");
    }
    RegCloseKey(key);
}

Kids::Kids(const std::wstring &exe, const std::wstring &args) {
    const std::wstring folder = exe.substr(0, exe.find_last_of(L'\\'));
    std::wstring line = L"\"" + exe + L"\"" + (args.empty() ? L"" : L" " + args);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si, &pi)) {
        process_ = pi.hProcess;
        id_ = pi.dwProcessId;
        CloseHandle(pi.hThread);
    }
}

const std::wstring &InstalledCopy() {
    static pintora_test::TempDir folder;
    static const bool copied = [] {
        const std::wstring dist = pintora_test::DistDir();
        WIN32_FIND_DATAW data;
        HANDLE find = FindFirstFileW((dist + L"*").c_str(), &data);
        if (find == INVALID_HANDLE_VALUE) return false;
        bool ok = true;
        do {
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
            ok = CopyFileW((dist + data.cFileName).c_str(), folder.File(data.cFileName).c_str(), FALSE) && ok;
        } while (FindNextFileW(find, &data));
        FindClose(find);
        CreateDirectoryW(folder.File(L"Save").c_str(), nullptr);
        CreateDirectoryW(folder.File(L"Save\\Normal").c_str(), nullptr);
        CreateDirectoryW(folder.File(L"Save\\Kids").c_str(), nullptr);
        return ok;
    }();
    (void)copied;
    return folder.path();
}

Kids::Kids(const std::wstring &args) : Kids(InstalledCopy() + L"PintoraKids.exe", args) {}

Kids::~Kids() {
    if (!process_) return;
    if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
        // A test that failed half-way leaves no program behind.
        TerminateProcess(process_, 99);
        WaitForSingleObject(process_, 5000);
    }
    CloseHandle(process_);
    Pump(100);
}

HWND Kids::WaitForCanvas(DWORD timeoutMs) const {
    const DWORD start = GetTickCount();
    do {
        for (HWND w : VisibleWindowsOf(id_)) {
            if (ClassOf(w) != kCanvasClass) continue;
            // The canvas shows and paints before its bars and Bristler's
            // dialogs are made: a message through its queue comes back
            // once the program has finished starting and takes input.
            const DWORD spent = GetTickCount() - start;
            DWORD_PTR result = 0;
            SendMessageTimeoutW(w, WM_NULL, 0, 0, SMTO_NORMAL, spent < timeoutMs ? timeoutMs - spent : 1, &result);
            return w;
        }
        Pump(20);
    } while (GetTickCount() - start < timeoutMs && !WaitForExit(0));
    return nullptr;
}

HWND Kids::WaitForDialog(DWORD timeoutMs) const {
    const DWORD start = GetTickCount();
    do {
        for (HWND w : VisibleWindowsOf(id_)) {
            const bool toolWindow = (GetWindowLongPtrW(w, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) != 0;
            if (ClassOf(w) == L"#32770" && !toolWindow) return w;
        }
        Pump(20);
    } while (GetTickCount() - start < timeoutMs && !WaitForExit(0));
    return nullptr;
}

HWND Kids::WaitForWindow(const std::string &caption, DWORD timeoutMs) const {
    const DWORD start = GetTickCount();
    do {
        for (HWND w : VisibleWindowsOf(id_)) {
            if (WindowText(w) == caption) return w;
        }
        Pump(20);
    } while (GetTickCount() - start < timeoutMs && !WaitForExit(0));
    return nullptr;
}

std::vector<RECT> Kids::OtherWindows() const {
    std::vector<RECT> rects;
    for (HWND w : VisibleWindowsOf(id_)) {
        if (ClassOf(w) == kCanvasClass) continue;
        RECT r;
        GetWindowRect(w, &r);
        rects.push_back(r);
    }
    return rects;
}

std::optional<DWORD> Kids::WaitForExit(DWORD timeoutMs) const {
    if (!process_) return std::nullopt;
    if (WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0) return std::nullopt;
    DWORD code = 0;
    GetExitCodeProcess(process_, &code);
    return code;
}

std::optional<DWORD> Kids::Close() {
    // Keys pressed while the program is still opening Bristler's dialog can
    // reach the dialog instead of the canvas; a user would press again.
    for (int attempt = 0; attempt < 3; ++attempt) {
        HWND canvas = WaitForCanvas(2000);
        if (!canvas) break;
        SetForegroundWindow(canvas);
        Pump(50);
        PressKeys({VK_MENU, VK_F4});
        if (auto code = WaitForExit(4000)) return code;
    }
    return WaitForExit();
}

bool Kids::Kill() {
    if (!process_) return false;
    TerminateProcess(process_, 99);
    return WaitForSingleObject(process_, 10000) == WAIT_OBJECT_0;
}

std::string WindowText(HWND window) {
    wchar_t text[2048] = L"";
    GetWindowTextW(window, text, 2048);
    return pintora_test::Narrow(text);
}

std::string DialogText(HWND dialog) {
    std::string text;
    EnumChildWindows(dialog, AppendStaticText, reinterpret_cast<LPARAM>(&text));
    return text;
}

bool ClickControl(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    RECT r;
    if (!control || !GetWindowRect(control, &r)) return false;
    MoveTo({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    MouseButton(false, true);
    Pump(30);
    MouseButton(false, false);
    Pump(200);
    return true;
}

void Pump(DWORD milliseconds) { pintora_test::PumpMessages(milliseconds); }

namespace {

struct BarSearch {
    DWORD process;
    HWND bar;
};

BOOL CALLBACK FindPageBar(HWND window, LPARAM param) {
    constexpr int kNextPageButton = 1053;
    auto *search = reinterpret_cast<BarSearch *>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != search->process || !IsWindowVisible(window) || !GetDlgItem(window, kNextPageButton)) return TRUE;
    search->bar = window;
    return FALSE;
}

}  // namespace

HWND PageBar(const Kids &kids, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        BarSearch search{kids.id(), nullptr};
        EnumWindows(FindPageBar, reinterpret_cast<LPARAM>(&search));
        if (search.bar || GetTickCount() - start > timeoutMs) return search.bar;
        Pump(50);
    }
}

}  // namespace pintora_e2e
