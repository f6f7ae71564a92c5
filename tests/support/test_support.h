// Helpers for the tests that run under Wine: finding the built product,
// binding exports by ordinal, reading a module's export table, and watching
// for message boxes so that no test ever hangs on one.
#pragma once

#include <windows.h>

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace pintora_test {

// The product folder of this build (build/dist), with a trailing backslash.
std::wstring DistDir();
// A file in the product folder.
std::wstring DistPath(const std::wstring &file);
// A folder of this build's tests (build/tests), with a trailing backslash.
std::wstring TestDir();

// Loads a product library by name from the product folder.
HMODULE LoadProductLibrary(const std::wstring &file);

// An export bound by ordinal, typed by the caller.
template <typename F>
F Ordinal(HMODULE module, unsigned ordinal) {
    return reinterpret_cast<F>(
        reinterpret_cast<void *>(GetProcAddress(module, MAKEINTRESOURCEA(ordinal))));
}

// The module's export directory: ordinal -> name ("" for NONAME entries).
std::map<unsigned, std::string> ReadExportTable(HMODULE module);

// UTF-8 <-> UTF-16 (the process code page is UTF-8).
std::wstring Widen(const std::string &utf8);
std::string Narrow(const std::wstring &wide);

// A message box seen (and closed) by the watcher.
struct SeenBox {
    std::string caption;  // UTF-8
    std::string text;     // UTF-8
    enum Icon { kNone, kError, kWarning, kInformation, kQuestion } icon = kNone;
};

// Watches this process's top-level dialog windows of the message-box class
// from a thread of its own, records each one and closes it with the given
// button (IDOK by default).  Destroying the watcher stops the thread.
class MessageBoxWatcher {
public:
    // With anyDialog, every dialog of the process is closed (a system
    // dialog such as the folder browser); otherwise only message boxes,
    // so that the product's own dialogs stay open.
    explicit MessageBoxWatcher(int button = IDOK, bool anyDialog = false);
    ~MessageBoxWatcher();
    MessageBoxWatcher(const MessageBoxWatcher &) = delete;
    MessageBoxWatcher &operator=(const MessageBoxWatcher &) = delete;

    std::vector<SeenBox> Seen() const;
    // Waits up to timeoutMs for at least `count` boxes.
    bool WaitFor(size_t count, DWORD timeoutMs = 5000) const;

private:
    void Run();
    int button_;
    bool anyDialog_;
    std::atomic<bool> stop_{false};
    mutable std::mutex mutex_;
    std::vector<SeenBox> seen_;
    std::thread thread_;
};

// A fresh folder under the temporary folder, removed with its files.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;
    const std::wstring &path() const { return path_; }  // trailing backslash
    std::wstring File(const std::wstring &name) const { return path_ + name; }
private:
    std::wstring path_;
};

// Pumps this thread's messages for the given time.
void PumpMessages(DWORD milliseconds);

}  // namespace pintora_test
