// Bristler bound the way a host binds it (every export by its ordinal),
// and what the tests share: folders of test plug-ins, a manager record
// allocated as the host allocates it, the plug-ins' call logs, windows
// standing in for the host's and the settings dialog's.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "bristler.h"
#include "probe_log.h"
#include "test_support.h"

struct BristlerBinding {
    HMODULE module = nullptr;
#define PINTORA_DECLARE_EXPORT(ordinal, name) decltype(&::name) name = nullptr;
    BRISTLER_EXPORTS(PINTORA_DECLARE_EXPORT)
#undef PINTORA_DECLARE_EXPORT

    BristlerBinding();
    ~BristlerBinding();
    BristlerBinding(const BristlerBinding &) = delete;
    BristlerBinding &operator=(const BristlerBinding &) = delete;
};

// One binding for the whole test executable (the library stays loaded).
BristlerBinding &Bw();

namespace bristler_test {

// The messages of Bristler's string table, as a user reads them (UTF-8).
extern const char kCaption[];
extern const char kNotFullColor[];  // 51
extern const char kNoMemory[];      // 52
extern const char kProcessing[];    // 53
extern const char kNoBrush[];       // 54
extern const char kInitFailed[];    // 55
extern const char kNoLibrary[];     // 56

// A test plug-in built by the test suite (tests/plugins/<name>.brs).
std::wstring TestPlugIn(const std::wstring &name);

// The program's folder (build/dist) as the manager takes it: no trailing
// separator.  The real plug-ins, Penlith.brs and Stampwell.brs, are there.
std::string DistFolder();

// A folder of plug-in files for one test, removed afterwards.
class PlugInFolder {
public:
    PlugInFolder() = default;
    ~PlugInFolder();
    PlugInFolder(const PlugInFolder &) = delete;
    PlugInFolder &operator=(const PlugInFolder &) = delete;
    // Makes a subfolder and works in it from now on.
    PlugInFolder &Descend(const std::wstring &name);
    // Copies test plug-in `plugIn` into the folder as `fileName`.
    PlugInFolder &Add(const std::wstring &plugIn, const std::wstring &fileName);
    // Copies any file into the folder.
    PlugInFolder &AddFile(const std::wstring &source, const std::wstring &fileName);
    // Writes a file with the given text.
    PlugInFolder &Write(const std::wstring &fileName, const std::string &text);
    const std::wstring &path() const { return path_; }  // trailing backslash
    // The folder as the manager takes it: ANSI (UTF-8), no trailing separator.
    std::string Ansi() const;
    std::string AnsiFile(const std::wstring &fileName) const;
    // File names in the order the platform's file search returns them.
    std::vector<std::wstring> SearchOrder() const;

private:
    pintora_test::TempDir temp_;
    std::wstring path_ = temp_.path();
};

// The host's manager record: zero-filled global memory, ended (when it was
// started) and freed with the object.
class Manager {
public:
    Manager();
    ~Manager();
    Manager(const Manager &) = delete;
    Manager &operator=(const Manager &) = delete;
    PlugInBrushManager *get() const { return record_; }
    PlugInBrushManager *operator->() const { return record_; }
    int Init(const std::string &folder, HWND owner = nullptr, HMENU menu = nullptr, int menuBaseId = 0);
    // Ends the manager now (EndBrushPlugInDLL); the destructor then does not.
    int End();

private:
    PlugInBrushManager *record_;
    bool started_ = false;
};

// Brush names in table order (UTF-8).
std::vector<std::string> BrushNames(const PlugInBrushManager *manager);
// The table index of the brush named `name`, or -1.
int BrushIndex(const PlugInBrushManager *manager, const std::string &name);
const BrushDescriptor *FindBrush(const PlugInBrushManager *manager, const std::string &name);
// The module of a brush's plug-in, and that plug-in's call log.
HMODULE ModuleOfBrush(const BrushDescriptor *brush);
probe::Log *ProbeLogOf(const BrushDescriptor *brush);
// Commands of the calls logged from call `from` on.
std::vector<int> CommandsSince(const probe::Log *log, int from);
// Whether a library of this path is loaded in the process.
bool IsLoaded(const std::wstring &path);

// A window of this thread that counts the messages it receives (by
// message number) and, for a stand-in dialog, holds child controls.
class CountingWindow {
public:
    explicit CountingWindow(HWND parent = nullptr, int id = 0, bool visible = true);
    ~CountingWindow();
    CountingWindow(const CountingWindow &) = delete;
    CountingWindow &operator=(const CountingWindow &) = delete;
    HWND hwnd() const { return hwnd_; }
    int Count(UINT message) const;
    // The wParam and lParam of the last message of that number.
    WPARAM LastWParam(UINT message) const;
    LPARAM LastLParam(UINT message) const;
    // Receives messages of the thread that are posted to the window.
    void Pump() const { pintora_test::PumpMessages(30); }

private:
    static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
    struct Seen {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    HWND hwnd_ = nullptr;
    std::vector<Seen> seen_;
};

// Expects exactly these boxes (UTF-8 texts), each with Bristler's caption.
void ExpectBoxes(const pintora_test::MessageBoxWatcher &watcher, const std::vector<std::string> &texts,
                 pintora_test::SeenBox::Icon icon);

}  // namespace bristler_test
