#include "bristler_test_support.h"

#include <gtest/gtest.h>

#include <fstream>

using pintora_test::Narrow;
using pintora_test::Widen;

BristlerBinding::BristlerBinding() {
    module = pintora_test::LoadProductLibrary(L"Bristler.dll");
    if (!module) return;
#define PINTORA_BIND_EXPORT(ordinal, name) name = pintora_test::Ordinal<decltype(&::name)>(module, ordinal);
    BRISTLER_EXPORTS(PINTORA_BIND_EXPORT)
#undef PINTORA_BIND_EXPORT
}

BristlerBinding::~BristlerBinding() {
    if (module) FreeLibrary(module);
}

BristlerBinding &Bw() {
    static BristlerBinding binding;
    return binding;
}

namespace bristler_test {

const char kCaption[] = u8"ブラシ";
const char kNotFullColor[] = u8"ブラシはフルカラー用紙にのみ有効です。\n用紙設定で用紙をフルカラーにしてください。";
const char kNoMemory[] = u8"メモリ不足のため、動作に必要な作業領域を確保できません。\n"
                         u8"他のアプリケーションを終了させる等を行い、作業領域を増やしてください。";
const char kProcessing[] = u8"処理中に続行不可能な異常が発生しました。この処理を無効にします。";
const char kNoBrush[] = u8"プラグインブラシを発見できません。\n設定を確認して、再インストールしてください。";
const char kInitFailed[] = u8"ＤＬＬの初期化に失敗しました。";
const char kNoLibrary[] = u8"処理に必要なＤＬＬをロードできません。\n設定を確認して、再インストールしてください。";

namespace {

// Paths beyond the classic limit need the long-path prefix.
std::wstring Long(const std::wstring &path) { return L"\\\\?\\" + path; }

}  // namespace

std::string DistFolder() {
    std::wstring folder = pintora_test::DistDir();
    folder.pop_back();
    return pintora_test::Narrow(folder);
}

std::wstring TestPlugIn(const std::wstring &name) { return pintora_test::TestDir() + L"plugins\\" + name + L".brs"; }

PlugInFolder &PlugInFolder::Descend(const std::wstring &name) {
    path_ += name + L"\\";
    EXPECT_TRUE(CreateDirectoryW(Long(path_).c_str(), nullptr)) << Narrow(path_);
    return *this;
}

// Removes the folders below the temporary folder (with their files)
// through long paths, which the temporary folder's own cleanup lacks.
PlugInFolder::~PlugInFolder() {
    std::wstring folder = path_;
    while (folder.size() > temp_.path().size()) {
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW(Long(folder + L"*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                    DeleteFileW(Long(folder + found.cFileName).c_str());
                }
            } while (FindNextFileW(search, &found));
            FindClose(search);
        }
        RemoveDirectoryW(Long(folder).c_str());
        folder.pop_back();
        folder = folder.substr(0, folder.find_last_of(L'\\') + 1);
    }
}

PlugInFolder &PlugInFolder::Add(const std::wstring &plugIn, const std::wstring &fileName) {
    return AddFile(TestPlugIn(plugIn), fileName);
}

PlugInFolder &PlugInFolder::AddFile(const std::wstring &source, const std::wstring &fileName) {
    EXPECT_TRUE(CopyFileW(source.c_str(), Long(path_ + fileName).c_str(), FALSE))
        << Narrow(source) << " -> " << Narrow(path_ + fileName);
    return *this;
}

PlugInFolder &PlugInFolder::Write(const std::wstring &fileName, const std::string &text) {
    HANDLE file = CreateFileW(Long(path_ + fileName).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
    return *this;
}

std::string PlugInFolder::Ansi() const {
    std::wstring folder = path_;
    folder.pop_back();
    return Narrow(folder);
}

std::string PlugInFolder::AnsiFile(const std::wstring &fileName) const { return Narrow(path_ + fileName); }

std::vector<std::wstring> PlugInFolder::SearchOrder() const {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(Long(path_ + L"*.brs").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        names.push_back(found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

Manager::Manager()
    : record_(static_cast<PlugInBrushManager *>(GlobalAlloc(GPTR, sizeof(PlugInBrushManager)))) {}

Manager::~Manager() {
    if (started_) Bw().EndBrushPlugInDLL(record_);
    GlobalFree(record_);
}

int Manager::Init(const std::string &folder, HWND owner, HMENU menu, int menuBaseId) {
    started_ = true;
    return Bw().InitBrushPlugInDLL(record_, folder.c_str(), owner, menu, menuBaseId);
}

int Manager::End() {
    started_ = false;
    return Bw().EndBrushPlugInDLL(record_);
}

std::vector<std::string> BrushNames(const PlugInBrushManager *manager) {
    std::vector<std::string> names;
    if (!manager->brushes) return names;
    for (int i = 0; i < manager->brushCount; ++i) names.push_back(manager->brushes[i].name);
    return names;
}

int BrushIndex(const PlugInBrushManager *manager, const std::string &name) {
    if (!manager->brushes) return -1;
    for (int i = 0; i < manager->brushCount; ++i) {
        if (name == manager->brushes[i].name) return i;
    }
    return -1;
}

const BrushDescriptor *FindBrush(const PlugInBrushManager *manager, const std::string &name) {
    const int i = BrushIndex(manager, name);
    return i < 0 ? nullptr : &manager->brushes[i];
}

HMODULE ModuleOfBrush(const BrushDescriptor *brush) {
    HMODULE module = nullptr;
    if (!brush) return nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(reinterpret_cast<void *>(brush->entryPoint)), &module);
    return module;
}

probe::Log *ProbeLogOf(const BrushDescriptor *brush) {
    HMODULE module = ModuleOfBrush(brush);
    if (!module) return nullptr;
    auto logOf = pintora_test::Ordinal<probe::LogFn>(module, 4);
    return logOf ? logOf() : nullptr;
}

std::vector<int> CommandsSince(const probe::Log *log, int from) {
    std::vector<int> commands;
    for (int i = from; i < log->count && i < probe::kMaxCalls; ++i) commands.push_back(log->calls[i].command);
    return commands;
}

bool IsLoaded(const std::wstring &path) {
    const size_t slash = path.find_last_of(L'\\');
    HMODULE module = GetModuleHandleW(path.substr(slash + 1).c_str());
    if (!module) return false;
    wchar_t loaded[1024] = L"";
    GetModuleFileNameW(module, loaded, 1024);
    return lstrcmpiW(loaded, path.c_str()) == 0;
}

CountingWindow::CountingWindow(HWND parent, int id, bool visible) {
    static const wchar_t kClass[] = L"BristlerTestCountingWindow";
    static bool registered = false;
    if (!registered) {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = Proc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kClass;
        RegisterClassW(&windowClass);
        registered = true;
    }
    const DWORD style = (parent ? WS_CHILD : WS_POPUP) | (visible ? WS_VISIBLE : 0);
    hwnd_ = CreateWindowExW(0, kClass, L"", style, 0, 0, 200, 100, parent,
                            parent ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)) : nullptr,
                            GetModuleHandleW(nullptr), this);
}

CountingWindow::~CountingWindow() {
    if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
}

LRESULT CALLBACK CountingWindow::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto *create = reinterpret_cast<CREATESTRUCTW *>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto *self = reinterpret_cast<CountingWindow *>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self) self->seen_.push_back({message, wParam, lParam});
    if (message == WM_NCDESTROY && self) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

int CountingWindow::Count(UINT message) const {
    int n = 0;
    for (const Seen &s : seen_) n += s.message == message;
    return n;
}

WPARAM CountingWindow::LastWParam(UINT message) const {
    for (auto it = seen_.rbegin(); it != seen_.rend(); ++it) {
        if (it->message == message) return it->wParam;
    }
    return 0;
}

LPARAM CountingWindow::LastLParam(UINT message) const {
    for (auto it = seen_.rbegin(); it != seen_.rend(); ++it) {
        if (it->message == message) return it->lParam;
    }
    return 0;
}

void ExpectBoxes(const pintora_test::MessageBoxWatcher &watcher, const std::vector<std::string> &texts,
                 pintora_test::SeenBox::Icon icon) {
    watcher.WaitFor(texts.size(), 2000);
    const auto seen = watcher.Seen();
    ASSERT_EQ(seen.size(), texts.size());
    for (size_t i = 0; i < texts.size(); ++i) {
        EXPECT_EQ(seen[i].caption, kCaption);
        EXPECT_EQ(seen[i].text, texts[i]);
        EXPECT_EQ(seen[i].icon, icon);
    }
}

}  // namespace bristler_test
