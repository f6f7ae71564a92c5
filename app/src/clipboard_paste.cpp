#include "clipboard_paste.h"

#include "app_state.h"
#include "canvas_pictures.h"
#include "canvas_undo.h"
#include "canvas_window.h"
#include "clipboard_dib.h"
#include "dibwork.h"

namespace pintora {
namespace {

// The clipboard is closed on every path out of the paste.
class OpenedClipboard {
public:
    explicit OpenedClipboard(HWND owner) : open_(OpenClipboard(owner) != FALSE) {}
    ~OpenedClipboard() { Close(); }
    OpenedClipboard(const OpenedClipboard &) = delete;
    OpenedClipboard &operator=(const OpenedClipboard &) = delete;
    explicit operator bool() const { return open_; }
    void Close() {
        if (open_) CloseClipboard();
        open_ = false;
    }

private:
    bool open_;
};

// Whether the block holds a picture the converter may take: checked under
// a lock of its own, released before the conversion locks it again.
bool HoldsScreenSizeDib(HGLOBAL block) {
    const void *data = GlobalLock(block);
    if (!data) return false;
    const SIZE screen = ScreenSize();
    const bool ok = IsScreenSizeDib(data, GlobalSize(block), screen.cx, screen.cy);
    GlobalUnlock(block);
    return ok;
}

}  // namespace

void PasteScreenShot(AppState &app) {
    OpenedClipboard clipboard(app.canvas);
    if (!clipboard) return;
    SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_WAIT)));

    HBITMAP picture = nullptr;
    auto block = static_cast<HGLOBAL>(GetClipboardData(CF_DIB));
    if (block && HoldsScreenSizeDib(block)) picture = Create24DIBFromMetaDIB(block, nullptr);
    clipboard.Close();

    if (picture) {
        Patch background = CaptureBackground(app);
        const bool whiteBefore = app.whiteFlag;
        AdoptPicture(app, picture);
        // The pasted picture is what erasing restores from now on, also
        // after the white paper.
        app.whiteFlag = false;
        RecordCommand(app, whiteBefore, &background);
        RedrawCanvas(app.canvas);
    }
    SetCursor(app.brushCursor);
}

}  // namespace pintora
