// PintoraKids' two felt speeds:
//   startup.*  from process start to the canvas shown and ready for input,
//              against a bare full-screen window started the same way;
//   drag100.*  one 100-pixel drag of the size-100 airbrush, from
//              DragPlugInBrush to the end of the canvas repaint, against
//              the repaint of the same rectangle alone;
//   undo100.*  recording that drag as one undo step (the stroke's
//              rectangle handed from the canvas's shadow copy to the
//              history), against the drag itself;
//   autosave.* the copy of the canvas an autosave takes on the user-
//              interface thread, against one frame.
#include <windows.h>

#include <string>

#include "app_state.h"
#include "bench_support.h"
#include "canvas_pictures.h"
#include "canvas_undo.h"
#include "canvas_window.h"
#include "dibwork.h"
#include "e2e_support.h"
#include "test_support.h"

using namespace pintora_bench;

namespace {

// Process start until its first window is visible and the process idles in
// its message loop (the first paint is done by then).
double StartUpSeconds(const std::wstring &exe, const wchar_t *windowClass) {
    const double start = Now();
    pintora_e2e::Kids process(exe, L"");
    if (!process.started()) return -1;
    HWND window = nullptr;
    while (!window && Now() - start < 30) {
        HWND w = FindWindowW(windowClass, nullptr);
        if (w && IsWindowVisible(w)) window = w;
        else Sleep(1);
    }
    HANDLE handle = OpenProcess(PROCESS_QUERY_INFORMATION | SYNCHRONIZE, FALSE, process.id());
    WaitForInputIdle(handle, 30000);
    const double elapsed = Now() - start;
    CloseHandle(handle);
    if (window) PostMessageW(window, WM_CLOSE, 0, 0);
    process.WaitForExit(10000);
    return window ? elapsed : -1;
}

void BenchStartUp() {
    const std::wstring kids = pintora_test::DistPath(L"PintoraKids.exe");
    // The reference program lives with the test programs (tools/bench runs
    // every program of the benchmark folder).
    std::wstring build = pintora_test::DistDir();
    build.resize(build.size() - 5);  // "dist\\"
    const std::wstring bare = build + L"tests\\bare_window.exe";
    double bestKids = 1e30, bestBare = 1e30;
    for (int i = 0; i < 5; ++i) {
        bestBare = std::min(bestBare, StartUpSeconds(bare, L"PintoraBareWindow"));
        bestKids = std::min(bestKids, StartUpSeconds(kids, L"PintoraKids"));
    }
    Report("startup.pintorakids_ms", bestKids * 1000, "ms");
    Report("startup.bare_window_ms", bestBare * 1000, "ms");
    Report("startup.ratio_vs_bare", bestKids / bestBare, "x");
}

// The size-100 airbrush: brush 0 after start, with its other two values.
bool SelectBigAirbrush(pintora::AppState &app) {
    PlugInBrushManager *m = app.brushes.record();
    if (!m || m->brushCount < 1) return false;
    const BrushDescriptor &airbrush = m->brushes[0];
    return app.brushes.SelectByName(airbrush.name, 100, airbrush.params[1].value, airbrush.params[2].value,
                                    RGB(40, 90, 200), &app.brushCursor);
}

void BenchDrag() {
    pintora::AppState app;
    app.instance = GetModuleHandleW(nullptr);
    app.settings = pintora::Settings{};
    pintora::RegisterCanvasClass(app.instance);
    if (!pintora::CreateCanvasWindow(app) || !SelectBigAirbrush(app)) {
        Report("drag100.failed", 1, "");
        return;
    }
    pintora_e2e::Pump(200);
    RECT dirty{};
    const int y = 300;
    bool painted = true;
    double bestRecord = 1e30;
    size_t stepBytes = 0;
    auto drag = [&] {
        painted = app.brushes.StartStroke(app.canvas, app.canvasPicture, {300, y}, MK_LBUTTON, &dirty) && painted;
        pintora::NoteStrokeArea(app, dirty);
        pintora::RedrawCanvas(app.canvas, &dirty);
        const double start = Now();
        painted = app.brushes.DragStroke({400, y}, &dirty) && painted;
        pintora::RedrawCanvas(app.canvas, &dirty);
        GdiFlush();
        const double t = Now() - start;
        pintora::NoteStrokeArea(app, dirty);
        app.brushes.EndStroke({400, y});
        // The step as the button's release records it.
        const double recordStart = Now();
        pintora::RecordStroke(app);
        bestRecord = std::min(bestRecord, Now() - recordStart);
        stepBytes = app.undo.history.bytes();
        pintora::RestoreBackground(app);
        pintora::StartNewHistory(app);
        return t;
    };
    double best = 1e30;
    for (int i = 0; i < 20; ++i) best = std::min(best, drag());
    if (!painted) {
        Report("drag100.failed", 1, "");
        DestroyWindow(app.canvas);
        return;
    }
    // The area the drag handed back for repainting: the brush's reach
    // around the 100 pixels.
    Report("drag100.dirty_px", static_cast<double>(dirty.right - dirty.left) * (dirty.bottom - dirty.top), "px");
    const double repaint = BestOf(20, [&] {
        pintora::RedrawCanvas(app.canvas, &dirty);
        GdiFlush();
    });
    Report("drag100.airbrush_ms", best * 1000, "ms");
    Report("drag100.repaint_only_ms", repaint * 1000, "ms");
    Report("drag100.ratio_vs_repaint", best / repaint, "x");
    Report("undo100.step_kib", static_cast<double>(stepBytes) / 1024, "KiB");
    Report("undo100.record_ms", bestRecord * 1000, "ms");
    Report("undo100.ratio_vs_drag", bestRecord / best, "x");
    // The autosave's only work on the user-interface thread: a copy of the
    // canvas for the writer thread, against one frame at 60 Hz.
    const double snapshot = BestOf(10, [&] {
        HBITMAP copy = CopyDIBitmap(app.canvasPicture);
        FreeDIBitmap(&copy);
    });
    Report("autosave.snapshot_ms", snapshot * 1000, "ms");
    Report("autosave.snapshot_vs_frame", snapshot / (1.0 / 60), "x");
    DestroyWindow(app.canvas);
}

}  // namespace

int main() {
    PrintHeader("canvas");
    pintora_e2e::SettingsGuard settings;
    settings.Write({"bFirstRun=1", "KidsRunAlready=1"});
    // The in-process canvas looks for its brushes where an installer would
    // register them.
    settings.SetSetupDirectory(pintora_test::DistDir());
    BenchStartUp();
    BenchDrag();
    return 0;
}
