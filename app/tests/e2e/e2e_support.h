// Driving the real PintoraKids.exe as a user would: a known desktop behind
// it, real input through SendInput, and what the screen shows read back
// with BitBlt from the screen DC.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pintora_e2e {

// ------------------------------------------------------------ screen --

// A picture of the whole screen, 0x00RRGGBB per pixel, rows from the top.
struct Shot {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
    uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

Shot CaptureScreen();

// The screen once it has stopped changing (two captures 80 ms apart are
// equal), pumping this thread's messages meanwhile; gives up after
// timeoutMs and returns the last capture.
Shot SettledScreen(DWORD timeoutMs = 4000);

// Pixels where a and b differ, outside the excluded rectangles.
struct Difference {
    size_t count = 0;
    RECT bounds{0, 0, 0, 0};  // of the differing pixels; empty when none
    POINT first{-1, -1};
};
Difference Compare(const Shot &a, const Shot &b, const std::vector<RECT> &excluded = {});

// Saves a shot as a 24-bit BMP file (for looking at a failure).
void SaveShot(const Shot &shot, const std::wstring &path);

// A full-screen window of this process, below the canvas, painted with a
// picture whose every row and column differ (colour ramps and stripes), so
// that a shifted or flipped copy of it never matches.
class Backdrop {
public:
    Backdrop();
    ~Backdrop();
    Backdrop(const Backdrop &) = delete;
    Backdrop &operator=(const Backdrop &) = delete;
    // The backdrop's colour at (x, y).
    static uint32_t ColorAt(int x, int y);

private:
    HWND window_ = nullptr;
};

// ------------------------------------------------------------- input --

void MoveTo(POINT p);
void MouseButton(bool right, bool down);
// A drag along the straight line from a to b in steps of `step` pixels,
// each step a separate move event given time to be handled.
void Drag(POINT a, POINT b, bool right, int step = 4);
// A key press with modifiers (VK_CONTROL, VK_MENU, ...), released in turn.
void PressKeys(std::initializer_list<WORD> keys);

// ----------------------------------------------------------- process --

// The settings file of the current user, as the program finds it.
std::wstring SettingsFilePath();

// Keeps the settings file and the registry's setup folder as they were
// before the test, whatever the test does with them.
class SettingsGuard {
public:
    SettingsGuard();
    ~SettingsGuard();
    SettingsGuard(const SettingsGuard &) = delete;
    SettingsGuard &operator=(const SettingsGuard &) = delete;
    // Writes a settings file of these lines ("key=value", section added).
    void Write(const std::vector<std::string> &lines) const;
    void Remove() const;
    std::optional<std::string> Read() const;
    // Sets or removes the registered setup folder.
    void SetSetupDirectory(const std::optional<std::wstring> &folder) const;

private:
    std::optional<std::string> savedFile_;
    std::optional<std::wstring> savedSetup_;
};

// A running PintoraKids.exe.
// The folder of a copy of this build's program (build/dist: the exe, the
// DLLs, the plug-ins and empty Save\Normal, Save\Kids), made once per test
// process and removed at its end, so that the pages the runs leave behind
// never land in the build's own install layout.  Ends with a backslash.
const std::wstring &InstalledCopy();

class Kids {
public:
    // Starts `exe` with the command line `args` in the exe's folder.
    Kids(const std::wstring &exe, const std::wstring &args);
    // The program of this build, run from InstalledCopy().
    explicit Kids(const std::wstring &args = L"");
    ~Kids();
    Kids(const Kids &) = delete;
    Kids &operator=(const Kids &) = delete;

    bool started() const { return process_ != nullptr; }
    // The visible canvas window, waiting up to timeoutMs for it and for the
    // program to finish starting (bars and dialogs made).
    HWND WaitForCanvas(DWORD timeoutMs = 15000) const;
    // A visible dialog (message box or dialog) of the process; the tool
    // bars, which are tool windows, do not count.
    HWND WaitForDialog(DWORD timeoutMs = 15000) const;
    // A visible top-level window of the process with this caption (UTF-8).
    HWND WaitForWindow(const std::string &caption, DWORD timeoutMs = 15000) const;
    // Rectangles of the process's visible top-level windows other than the
    // canvas (the brush manager's dialogs), to leave out of comparisons.
    std::vector<RECT> OtherWindows() const;
    // Waits for the process to end; its exit code, or nothing on timeout.
    std::optional<DWORD> WaitForExit(DWORD timeoutMs = 15000) const;
    // Ends the program as a user does (Alt+F4 on the canvas) and waits.
    std::optional<DWORD> Close();
    // Ends the program as a crash does (TerminateProcess): nothing of it
    // runs any more.  True once the process has gone.
    bool Kill();

    DWORD id() const { return id_; }

private:
    HANDLE process_ = nullptr;
    DWORD id_ = 0;
};

// Text and caption of a dialog window (UTF-8).
std::string WindowText(HWND window);
std::string DialogText(HWND dialog);

// A left click at the centre of control `id` of `dialog`, as a user
// clicks it; false when there is no such control.
bool ClickControl(HWND dialog, int id);

// Pumps this thread's messages for the given time.
void Pump(DWORD milliseconds);

// The page bar of the program (its visible top-level window holding the
// next-page button), waiting up to timeoutMs: it is shown after the canvas.
HWND PageBar(const Kids &kids, DWORD timeoutMs = 15000);

}  // namespace pintora_e2e
