#include "test_support.h"

#include <chrono>

namespace pintora_test {

namespace {

std::wstring ModuleFolder() {
    wchar_t path[MAX_PATH * 4] = L"";
    GetModuleFileNameW(nullptr, path, static_cast<DWORD>(std::size(path)));
    std::wstring s(path);
    return s.substr(0, s.find_last_of(L'\\') + 1);
}

// The build folder: the parent of the folder this executable lives in.
std::wstring BuildFolder() {
    std::wstring folder = ModuleFolder();
    folder.pop_back();
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

std::string WindowTextUtf8(HWND window) {
    wchar_t text[2048] = L"";
    GetWindowTextW(window, text, static_cast<int>(std::size(text)));
    return Narrow(text);
}

BOOL CALLBACK FindIconControl(HWND child, LPARAM param) {
    wchar_t className[32] = L"";
    GetClassNameW(child, className, 32);
    if (lstrcmpiW(className, L"Static") == 0 &&
        (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
        *reinterpret_cast<HWND *>(param) = child;
        return FALSE;
    }
    return TRUE;
}

SeenBox::Icon IconOf(HWND box) {
    // A message box shows its icon in a static control of the icon style
    // (its id differs between systems).
    HWND iconControl = nullptr;
    EnumChildWindows(box, FindIconControl, reinterpret_cast<LPARAM>(&iconControl));
    if (!iconControl) return SeenBox::kNone;
    auto icon = reinterpret_cast<HICON>(SendMessageW(iconControl, STM_GETICON, 0, 0));
    if (!icon) return SeenBox::kNone;
    if (icon == LoadIcon(nullptr, IDI_HAND)) return SeenBox::kError;
    if (icon == LoadIcon(nullptr, IDI_EXCLAMATION)) return SeenBox::kWarning;
    if (icon == LoadIcon(nullptr, IDI_ASTERISK)) return SeenBox::kInformation;
    if (icon == LoadIcon(nullptr, IDI_QUESTION)) return SeenBox::kQuestion;
    return SeenBox::kNone;
}

struct FindBoxes {
    DWORD process;
    bool anyDialog;
    std::vector<HWND> boxes;
};

BOOL CALLBACK CollectBox(HWND window, LPARAM param) {
    auto *find = reinterpret_cast<FindBoxes *>(param);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    wchar_t className[64] = L"";
    GetClassNameW(window, className, 64);
    // A message box is a dialog with its text in control 0xFFFF; other
    // dialogs of the product (settings windows, colour windows) are left alone.
    if (process == find->process && IsWindowVisible(window) && lstrcmpW(className, L"#32770") == 0 &&
        (find->anyDialog || GetDlgItem(window, 0xFFFF) != nullptr)) {
        find->boxes.push_back(window);
    }
    return TRUE;
}

}  // namespace

std::wstring DistDir() { return BuildFolder() + L"dist\\"; }
std::wstring DistPath(const std::wstring &file) { return DistDir() + file; }
std::wstring TestDir() { return ModuleFolder(); }

HMODULE LoadProductLibrary(const std::wstring &file) {
    return LoadLibraryW(DistPath(file).c_str());
}

std::map<unsigned, std::string> ReadExportTable(HMODULE module) {
    std::map<unsigned, std::string> table;
    auto *base = reinterpret_cast<const BYTE *>(module);
    auto *dos = reinterpret_cast<const IMAGE_DOS_HEADER *>(base);
    auto *nt = reinterpret_cast<const IMAGE_NT_HEADERS *>(base + dos->e_lfanew);
    const auto &dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    if (dir.VirtualAddress == 0) return table;
    auto *exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY *>(base + dir.VirtualAddress);
    auto *functions = reinterpret_cast<const DWORD *>(base + exports->AddressOfFunctions);
    auto *names = reinterpret_cast<const DWORD *>(base + exports->AddressOfNames);
    auto *nameOrdinals = reinterpret_cast<const WORD *>(base + exports->AddressOfNameOrdinals);
    for (DWORD i = 0; i < exports->NumberOfFunctions; ++i) {
        if (functions[i] != 0) table[exports->Base + i] = "";
    }
    for (DWORD i = 0; i < exports->NumberOfNames; ++i) {
        table[exports->Base + nameOrdinals[i]] = reinterpret_cast<const char *>(base + names[i]);
    }
    return table;
}

std::wstring Widen(const std::string &utf8) {
    if (utf8.empty()) return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
    return wide;
}

std::string Narrow(const std::wstring &wide) {
    if (wide.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                      nullptr, nullptr);
    std::string utf8(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), n, nullptr,
                        nullptr);
    return utf8;
}

MessageBoxWatcher::MessageBoxWatcher(int button, bool anyDialog)
    : button_(button), anyDialog_(anyDialog), thread_([this] { Run(); }) {}

MessageBoxWatcher::~MessageBoxWatcher() {
    stop_ = true;
    thread_.join();
}

void MessageBoxWatcher::Run() {
    while (!stop_) {
        FindBoxes find{GetCurrentProcessId(), anyDialog_, {}};
        EnumWindows(CollectBox, reinterpret_cast<LPARAM>(&find));
        for (HWND box : find.boxes) {
            SeenBox seen;
            seen.caption = WindowTextUtf8(box);
            // The text of a message box is the static control with id 0xFFFF.
            if (HWND textControl = GetDlgItem(box, 0xFFFF)) seen.text = WindowTextUtf8(textControl);
            seen.icon = IconOf(box);
            {
                std::lock_guard<std::mutex> lock(mutex_);
                seen_.push_back(seen);
            }
            PostMessageW(box, WM_COMMAND, MAKEWPARAM(button_, BN_CLICKED), 0);
            // Wait until it is gone so that it is not recorded twice.
            for (int i = 0; i < 200 && IsWindow(box) && IsWindowVisible(box); ++i) Sleep(10);
        }
        Sleep(15);
    }
}

std::vector<SeenBox> MessageBoxWatcher::Seen() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return seen_;
}

bool MessageBoxWatcher::WaitFor(size_t count, DWORD timeoutMs) const {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
        if (Seen().size() >= count) return true;
        Sleep(10);
    }
    return Seen().size() >= count;
}

TempDir::TempDir() {
    wchar_t base[MAX_PATH] = L"";
    GetTempPathW(MAX_PATH, base);
    for (unsigned n = GetTickCount() ^ GetCurrentProcessId();; ++n) {
        std::wstring candidate = std::wstring(base) + L"pintora-test-" + std::to_wstring(n);
        if (CreateDirectoryW(candidate.c_str(), nullptr)) {
            path_ = candidate + L"\\";
            return;
        }
    }
}

TempDir::~TempDir() {
    // Remove the folder tree: files first, then folders.
    std::vector<std::wstring> folders{path_};
    std::vector<std::wstring> all;
    while (!folders.empty()) {
        std::wstring folder = folders.back();
        folders.pop_back();
        all.push_back(folder);
        WIN32_FIND_DATAW data;
        HANDLE find = FindFirstFileW((folder + L"*").c_str(), &data);
        if (find == INVALID_HANDLE_VALUE) continue;
        do {
            const std::wstring name = data.cFileName;
            if (name == L"." || name == L"..") continue;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                folders.push_back(folder + name + L"\\");
            } else {
                SetFileAttributesW((folder + name).c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW((folder + name).c_str());
            }
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    for (auto it = all.rbegin(); it != all.rend(); ++it) RemoveDirectoryW(it->c_str());
}

void PumpMessages(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(1);
    } while (GetTickCount() - start < milliseconds);
}

}  // namespace pintora_test
