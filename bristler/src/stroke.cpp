// Driving the current brush through a stroke: the press (begin, then the
// first paint), each move (paint from the previous point), the release
// (end).  The canvas header is held from a successful start to the end, so
// the brush may paint straight into the canvas bits.
#include <map>

#include "bristler_internal.h"
#include "dibwork.h"

namespace bristler {

namespace {

// A colour-source picture given as a DIB stays locked while its stroke
// runs: the brush reads its bits until the end.
struct HeldSource {
    HGLOBAL dib = nullptr;
    BITMAPINFOHEADER *header = nullptr;
};
std::map<const PlugInBrushManager *, HeldSource> g_heldSources;

void ReleaseHeldSource(const PlugInBrushManager *manager) {
    auto it = g_heldSources.find(manager);
    if (it == g_heldSources.end()) return;
    ReleaseMetaBitmapInfoHeader(it->second.dib, nullptr, it->second.header);
    g_heldSources.erase(it);
}

// True while the canvas a stroke holds still resolves to the header and
// bits the stroke started with.  False once the canvas has been freed
// under the stroke (its end went to another window, then a page load
// freed the canvas), and for a new picture that took the old handle.
bool CanvasStillHeld(const PlugInBrushContext &c) {
    if (c.hCanvasDib) {
        // The stroke's lock keeps a live block at one address.
        HGLOBAL dib = static_cast<HGLOBAL>(c.hCanvasDib);
        const UINT flags = GlobalFlags(dib);
        if (flags == GMEM_INVALID_HANDLE || (flags & GMEM_LOCKCOUNT) == 0) return false;
        void *header = GlobalLock(dib);
        if (header) GlobalUnlock(dib);
        return header == c.canvasInfo;
    }
    DIBSECTION ds{};
    return c.hCanvasDIBitmap && GetObjectA(c.hCanvasDIBitmap, sizeof(ds), &ds) == sizeof(ds) &&
           ds.dsBm.bmBits == c.canvasBits && ds.dsBmih.biWidth == c.width && ds.dsBmih.biHeight == c.height &&
           ds.dsBmih.biBitCount == 24;
}

// Releases the canvas header and clears the canvas fields, as at the end
// of a stroke.  sourceBits keeps its value.  A canvas that no longer
// resolves is not touched: only the header copy of a DIBitmap, which is
// ours, is freed.
void ReleaseStrokeCanvas(PlugInBrushManager *manager) {
    PlugInBrushContext &c = manager->context;
    c.hwndCanvas = nullptr;
    if (c.canvasInfo) {
        if (CanvasStillHeld(c)) {
            ReleaseMetaBitmapInfoHeader(static_cast<HGLOBAL>(c.hCanvasDib), c.hCanvasDIBitmap, c.canvasInfo);
        } else if (!c.hCanvasDib) {
            GlobalFree(c.canvasInfo);
        }
    }
    c.hCanvasDib = nullptr;
    c.hCanvasDIBitmap = nullptr;
    c.canvasInfo = nullptr;
    c.canvasBits = nullptr;
    c.width = c.height = c.stride = 0;
    c.pressure = BRUSH_PRESSURE_FULL;
    ReleaseHeldSource(manager);
}

// Takes the canvas header and bits into the context; the error code on
// failure (the canvas fields are then clear again).
int AcquireCanvas(PlugInBrushManager *manager, HWND window, HBITMAP bitmap, HGLOBAL dib) {
    PlugInBrushContext &c = manager->context;
    c.hwndCanvas = window;
    c.hCanvasDib = dib;
    c.hCanvasDIBitmap = bitmap;
    BITMAPINFOHEADER *header = nullptr;
    BYTE *bits = GetMetaBitmapInfoHeader(dib, bitmap, &header);
    if (!bits || !header) {
        c.hCanvasDib = nullptr;
        c.hCanvasDIBitmap = nullptr;
        return BRISTLER_ERROR_PROCESSING;
    }
    c.canvasInfo = reinterpret_cast<tagBITMAPINFOHEADER *>(header);
    c.canvasBits = bits;
    c.width = header->biWidth;
    c.height = header->biHeight;
    c.stride = static_cast<int32_t>(GetBitmapWidthBytes(header));
    if (header->biBitCount != 24) {
        ReleaseStrokeCanvas(manager);
        return BRISTLER_ERROR_NOT_FULL_COLOR;
    }
    return 0;
}

// Bits of the colour-source picture when it matches the canvas in width,
// height and depth; NULL otherwise.
uint8_t *AcquireSource(PlugInBrushManager *manager, HBITMAP bitmap, HGLOBAL dib) {
    if (!bitmap && !dib) return nullptr;
    BITMAPINFOHEADER *header = nullptr;
    BYTE *bits = GetMetaBitmapInfoHeader(dib, bitmap, &header);
    if (!bits || !header) return nullptr;
    const BITMAPINFOHEADER *canvas = manager->context.canvasInfo;
    const bool matches = header->biWidth == canvas->biWidth && header->biHeight == canvas->biHeight &&
                         header->biBitCount == canvas->biBitCount;
    if (matches && dib) {
        g_heldSources[manager] = HeldSource{dib, header};
        return bits;
    }
    ReleaseMetaBitmapInfoHeader(dib, bitmap, header);
    return matches ? bits : nullptr;
}

void CopyDirty(const PlugInBrushContext &c, RECT *dirty) {
    if (!dirty) return;
    dirty->left = c.dirtyLeft;
    dirty->top = c.dirtyTop;
    dirty->right = c.dirtyRight;
    dirty->bottom = c.dirtyBottom;
}

// After a colour pick at the stroke start: the colour popup re-reads the
// colour, and the settings dialog redraws its colour button and preview.
void AnnouncePickedColor(PlugInBrushManager *manager) {
    if (manager->colorPopup && IsWindow(manager->colorPopup)) {
        PostMessageA(manager->colorPopup, kMsgColorChanged, 0, 0);
    }
    HWND dialog = manager->settingsDialog;
    if (!dialog || !IsWindow(dialog)) return;
    if (HWND button = GetDlgItem(dialog, kIdColorButton)) {
        InvalidateRect(button, nullptr, TRUE);
        UpdateWindow(button);
    }
    if (HWND preview = GetDlgItem(dialog, kIdPreview)) {
        PostMessageA(preview, WM_COMMAND, MAKEWPARAM(kIdPreview, 0), 0);
    }
}

bool StrokeRunning(const PlugInBrushContext &c) { return c.canvasBits != nullptr && c.canvasInfo != nullptr; }

int StartStroke(PlugInBrushManager *manager, HWND window, HBITMAP canvasBitmap, HGLOBAL canvasDib,
                HBITMAP sourceBitmap, HGLOBAL sourceDib, const POINT &point, int keyFlags, RECT *dirty) {
    PlugInBrushContext &c = manager->context;
    // A stroke whose end never came gives its canvas back first.
    if (StrokeRunning(c)) ReleaseStrokeCanvas(manager);
    if (const int error = AcquireCanvas(manager, window, canvasBitmap, canvasDib)) {
        ReportError(manager, window, error);
        return 0;
    }
    c.sourceBits = AcquireSource(manager, sourceBitmap, sourceDib);
    c.curX = c.prevX = c.startX = point.x;
    c.curY = c.prevY = c.startY = point.y;
    c.flags = keyFlags;
    c.dirtyLeft = c.dirtyTop = c.dirtyRight = c.dirtyBottom = 0;
    c.pressure = BRUSH_PRESSURE_FULL;
    c.pressure = ReadTabletPressure();

    if (!CallCurrentBrush(manager, BRUSHCMD_BEGIN) || !CallCurrentBrush(manager, BRUSHCMD_PAINT)) {
        ReleaseStrokeCanvas(manager);
        return 0;
    }
    const BrushDescriptor *brush = CurrentBrush(manager);
    if ((keyFlags & BRUSHKEY_CONTROL) && brush && (brush->flags & BDF_COLOR)) AnnouncePickedColor(manager);
    CopyDirty(c, dirty);
    return 1;
}

}  // namespace

void EndRunningStroke(PlugInBrushManager *manager) {
    PlugInBrushContext &c = manager->context;
    // A canvas gone from under the stroke is let go first: the brush then
    // ends as at an end without a stroke, with no canvas to touch.
    if (StrokeRunning(c) && !CanvasStillHeld(c)) ReleaseStrokeCanvas(manager);
    CallCurrentBrush(manager, BRUSHCMD_END);
    ReleaseStrokeCanvas(manager);
}

bool StrokeIsRunning(const PlugInBrushManager *manager) { return StrokeRunning(manager->context); }

}  // namespace bristler

using namespace bristler;

int WINAPI StartPlugInBrush(PlugInBrushManager *manager, HWND canvasWindow, HBITMAP canvasBitmap,
                            HGLOBAL canvasDib, HBITMAP sourceBitmap, HGLOBAL sourceDib, const POINT *point,
                            int keyFlags, RECT *dirty) {
    if (!manager || !canvasWindow || (!canvasBitmap && !canvasDib) || !point) {
        ReportError(manager, canvasWindow, BRISTLER_ERROR_PROCESSING);
        return 0;
    }
    return NoThrow(0, [&] {
        return StartStroke(manager, canvasWindow, canvasBitmap, canvasDib, sourceBitmap, sourceDib, *point,
                           keyFlags, dirty);
    });
}

int WINAPI DragPlugInBrush(PlugInBrushManager *manager, const POINT *point, RECT *dirty) {
    if (!manager) {
        ReportError(nullptr, nullptr, BRISTLER_ERROR_PROCESSING);
        return 0;
    }
    PlugInBrushContext &c = manager->context;
    if (!StrokeRunning(c) || !point) return 0;
    if (!CanvasStillHeld(c)) {
        // The canvas was freed or replaced under the stroke: painting would
        // write into memory that is no longer the canvas.  The stroke ends.
        EndRunningStroke(manager);
        return 0;
    }
    c.prevX = c.curX;
    c.prevY = c.curY;
    c.curX = point->x;
    c.curY = point->y;
    c.pressure = ReadTabletPressure();
    CallCurrentBrush(manager, BRUSHCMD_PAINT);
    CopyDirty(c, dirty);
    return 1;
}

int WINAPI EndPlugInBrush(PlugInBrushManager *manager, const POINT *point) {
    if (!manager || !point) {
        ReportError(manager, nullptr, BRISTLER_ERROR_PROCESSING);
        return 0;
    }
    EndRunningStroke(manager);
    return 1;
}
