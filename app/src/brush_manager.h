// The canvas's link to Bristler: owns the PlugInBrushManager record (zero-
// filled global memory, as the manager expects) and wraps the exports the
// program calls, so the rest of the program speaks in POINTs and RECTs.
#pragma once

#include <windows.h>

#include "bristler.h"

namespace pintora {

class BrushManager {
public:
    BrushManager() = default;
    ~BrushManager() { Free(); }
    BrushManager(const BrushManager &) = delete;
    BrushManager &operator=(const BrushManager &) = delete;

    // Allocates the zero-filled record; false when there is no memory.
    bool Allocate();
    bool exists() const { return record_ != nullptr; }

    // InitBrushPlugInDLL with the brush menu base 8000 and no menu.  False
    // when no brush was found (Bristler has shown its message).
    bool Start(const char *setupDirectory, HWND owner);
    // EndBrushPlugInDLL, then frees the record.
    void End();

    // Brush `index` (-1: the current one) with its settings dialog.
    bool Select(int index, HCURSOR *cursor);
    // A kids pen: the brush named `name`, without the settings dialog.
    bool SelectByName(const char *name, int size, int density, int third, COLORREF color, HCURSOR *cursor);
    // Number of brushes, for checking brush menu commands.
    int BrushCount() const { return record_ ? record_->brushCount : 0; }

    // A stroke on the canvas picture; each returns the painted rectangle.
    bool StartStroke(HWND canvas, HBITMAP picture, POINT point, UINT keyFlags, RECT *dirty);
    bool DragStroke(POINT point, RECT *dirty);
    void EndStroke(POINT point);

    // Bristler's settings dialog and colour popup, hidden while the end
    // bar shows and shown again in normal mode.
    void ShowDialogs(bool show) const;

    // Both above the canvas again, without activating them: they are owned
    // by it, but under Wine activating the canvas may cover them.
    void RaiseDialogs() const;

    // Whether the tablet pen's eraser end is in use (takes one packet).
    static bool TabletEraser();

    PlugInBrushManager *record() const { return record_; }

private:
    void Free();
    PlugInBrushManager *record_ = nullptr;
};

}  // namespace pintora
