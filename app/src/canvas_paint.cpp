// Showing the canvas picture, and the palette on palette displays.
#include <algorithm>

#include "app_state.h"
#include "canvas_window.h"
#include "dibwork.h"
#include "logical_palette.h"

namespace pintora {
namespace {

// The part of the update rectangle that the canvas picture covers.
RECT PaintableArea(const RECT &update, const BITMAPINFOHEADER &header) {
    RECT r;
    r.left = std::max<LONG>(update.left, 0);
    r.top = std::max<LONG>(update.top, 0);
    r.right = std::min<LONG>(update.right, header.biWidth);
    r.bottom = std::min<LONG>(update.bottom, header.biHeight);
    return r;
}

void DrawCanvasArea(HDC dc, HBITMAP canvas, const RECT &update) {
    BITMAPINFOHEADER header{};
    void *bits = nullptr;
    if (!canvas || !GetDIBitmapInfo(canvas, &header, &bits) || !bits) return;
    const RECT r = PaintableArea(update, header);
    if (r.right <= r.left || r.bottom <= r.top) return;
    // The source rectangle is the same part of the picture; Dibwork counts
    // its rows from the top.
    DispDIBToDevice(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, r.left, r.top, bits, &header, nullptr);
}

HPALETTE CreateCanvasPalette() {
    struct {
        LOGPALETTE head;
        PALETTEENTRY more[kLogicalPaletteEntries - 1];
    } palette{};
    palette.head.palVersion = 0x300;
    palette.head.palNumEntries = kLogicalPaletteEntries;
    const auto &table = LogicalPaletteTable();
    PALETTEENTRY *entries = palette.head.palPalEntry;
    for (int i = 0; i < kLogicalPaletteEntries; ++i) {
        entries[i] = {table[i].red, table[i].green, table[i].blue, table[i].flags};
    }
    return CreatePalette(&palette.head);
}

}  // namespace

void OnPaint(AppState &app) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(app.canvas, &ps);
    if (dc) DrawCanvasArea(dc, app.canvasPicture, ps.rcPaint);
    EndPaint(app.canvas, &ps);
}

void ShowCanvasArea(AppState &app, const RECT &area) {
    HDC dc = GetDC(app.canvas);
    if (!dc) {
        RedrawCanvas(app.canvas, &area);
        return;
    }
    DrawCanvasArea(dc, app.canvasPicture, area);
    ReleaseDC(app.canvas, dc);
}

void OnActivate(AppState &app, WPARAM state) {
    if (LOWORD(state) == WA_INACTIVE) return;
    if (!app.palette) app.palette = CreateCanvasPalette();
    if (!app.palette) return;
    HDC dc = GetDC(app.canvas);
    SelectPalette(dc, app.palette, FALSE);
    RealizePalette(dc);
    ReleaseDC(app.canvas, dc);
}

}  // namespace pintora
