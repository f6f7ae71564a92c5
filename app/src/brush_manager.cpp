#include "brush_manager.h"

#include <initializer_list>

#include "resource_ids.h"
#include "win32/window_stacking.h"

namespace pintora {

bool BrushManager::Allocate() {
    if (!record_) {
        record_ = static_cast<PlugInBrushManager *>(GlobalAlloc(GPTR, sizeof(PlugInBrushManager)));
    }
    return record_ != nullptr;
}

void BrushManager::Free() {
    if (record_) GlobalFree(record_);
    record_ = nullptr;
}

bool BrushManager::Start(const char *setupDirectory, HWND owner) {
    return record_ && InitBrushPlugInDLL(record_, setupDirectory, owner, nullptr, IDM_BRUSH_FIRST) != 0;
}

void BrushManager::End() {
    if (!record_) return;
    EndBrushPlugInDLL(record_);
    Free();
}

bool BrushManager::Select(int index, HCURSOR *cursor) {
    return record_ && SelectPlugInBrush(record_, index, cursor) != 0;
}

bool BrushManager::SelectByName(const char *name, int size, int density, int third, COLORREF color,
                                HCURSOR *cursor) {
    return record_ && SelectPlugInBrushEx(record_, name, size, density, third, &color, 0, cursor) != 0;
}

bool BrushManager::StartStroke(HWND canvas, HBITMAP picture, POINT point, UINT keyFlags, RECT *dirty) {
    return record_ && StartPlugInBrush(record_, canvas, picture, nullptr, nullptr, nullptr, &point,
                                       static_cast<int>(keyFlags), dirty) != 0;
}

bool BrushManager::DragStroke(POINT point, RECT *dirty) {
    return record_ && DragPlugInBrush(record_, &point, dirty) != 0;
}

void BrushManager::EndStroke(POINT point) {
    if (record_) EndPlugInBrush(record_, &point);
}

void BrushManager::ShowDialogs(bool show) const {
    if (!record_) return;
    for (HWND window : {record_->settingsDialog, record_->colorPopup}) {
        if (window && IsWindow(window)) ShowWindow(window, show ? SW_SHOWNA : SW_HIDE);
    }
}

void BrushManager::RaiseDialogs() const {
    if (record_) BringPairToFrontQuietly(record_->settingsDialog, record_->colorPopup);
}

bool BrushManager::TabletEraser() { return IsTabletEraceMode() != 0; }

}  // namespace pintora
