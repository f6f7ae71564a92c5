// A brush plug-in for the manager's tests.  Every entry point records the
// context it receives; painting puts a 3 x 3 square of the current colour
// at the current point (or picks the colour there with Ctrl), so a stroke
// leaves pixels a test can check.  Each test plug-in is this code with a
// string table of its own.
#include <windows.h>

#include <cstring>

#include "probe_log.h"

namespace {

probe::Log g_log;

void Record(probe::Entry entry, const PlugInBrushContext *c) {
    if (g_log.count < probe::kMaxCalls) {
        probe::Call &call = g_log.calls[g_log.count];
        call.entry = entry;
        call.command = c->command;
        call.context = *c;
        if (c->tipParams) std::memcpy(call.params, c->tipParams, sizeof(call.params));
    }
    ++g_log.count;
}

uint8_t *Pixel(const PlugInBrushContext *c, int x, int y) {
    return c->canvasBits + static_cast<size_t>(c->height - 1 - y) * c->stride + 3 * x;
}

void PickColor(PlugInBrushContext *c) {
    if (c->curX < 0 || c->curY < 0 || c->curX >= c->width || c->curY >= c->height) return;
    const uint8_t *p = Pixel(c, c->curX, c->curY);
    c->color = BRUSH_COLOR_FLAG | (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2];
    c->dirtyLeft = c->dirtyTop = c->dirtyRight = c->dirtyBottom = 0;
}

void PaintSquare(PlugInBrushContext *c) {
    const int left = c->curX - 1 < 0 ? 0 : c->curX - 1;
    const int top = c->curY - 1 < 0 ? 0 : c->curY - 1;
    const int right = c->curX + 2 > c->width ? c->width : c->curX + 2;
    const int bottom = c->curY + 2 > c->height ? c->height : c->curY + 2;
    if (left >= right || top >= bottom) {
        c->dirtyLeft = c->dirtyTop = c->dirtyRight = c->dirtyBottom = 0;
        return;
    }
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            uint8_t *p = Pixel(c, x, y);
            p[0] = static_cast<uint8_t>(c->color >> 16);
            p[1] = static_cast<uint8_t>(c->color >> 8);
            p[2] = static_cast<uint8_t>(c->color);
        }
    }
    c->dirtyLeft = left;
    c->dirtyTop = top;
    c->dirtyRight = right;
    c->dirtyBottom = bottom;
}

void FreeBlock(void **block) {
    if (!*block) return;
    GlobalFree(*block);
    *block = nullptr;
    ++g_log.tipFrees;
}

int32_t Respond(probe::Entry entry, PlugInBrushContext *c) {
    if (!c) return 0;
    Record(entry, c);
    const int32_t command = c->command;
    if (command >= 0 && command < 8 && g_log.refuse[command]) return 0;
    switch (command) {
    case BRUSHCMD_PAINT:
        if (!c->canvasBits) return 0;
        if (c->flags & BRUSHKEY_CONTROL) PickColor(c);
        else PaintSquare(c);
        // A brush that waits for longer moves leaves cur where prev was.
        if (g_log.snapBack) {
            c->curX = c->prevX;
            c->curY = c->prevY;
        }
        return 1;
    case BRUSHCMD_BEGIN:
        if (c->flags & BRUSHKEY_CONTROL) PickColor(c);
        return 1;
    case BRUSHCMD_END: return 1;
    case BRUSHCMD_SELECT:
        FreeBlock(&c->tipBits);
        c->tipBits = GlobalAlloc(GPTR, 16);
        ++g_log.tipAllocations;
        return 1;
    case BRUSHCMD_RELEASE:
        FreeBlock(&c->tipBits);
        FreeBlock(&c->workBits);
        FreeBlock(&c->spareBits);
        return 1;
    case BRUSHCMD_PREVIEW:
        // A sample: the whole picture in the current colour, drawn with a
        // work buffer of its own that replaces the old one.
        if (!c->canvasBits) return 0;
        for (int y = 0; y < c->height; ++y) {
            for (int x = 0; x < c->width; ++x) {
                uint8_t *p = Pixel(c, x, y);
                p[0] = static_cast<uint8_t>(c->color >> 16);
                p[1] = static_cast<uint8_t>(c->color >> 8);
                p[2] = static_cast<uint8_t>(c->color);
            }
        }
        FreeBlock(&c->workBits);
        c->workBits = GlobalAlloc(GPTR, 16);
        return 1;
    default: return 0;
    }
}

}  // namespace

extern "C" {

int32_t PLUGIN_CALL Xi_ProbeBrush(PlugInBrushContext *c) {
    return Respond(probe::kProbeBrush, c);
}

int32_t PLUGIN_CALL Xi_SecondBrush(PlugInBrushContext *c) {
    return Respond(probe::kSecondBrush, c);
}

// Exported under a name longer than the record's export-name field.
int32_t PLUGIN_CALL Xi_LongNamedBrush(PlugInBrushContext *c) {
    return Respond(probe::kLongNamedBrush, c);
}

probe::Log *PLUGIN_CALL ProbeLog(void) { return &g_log; }

// The settings dialog procedure of a brush with a dialog of its own.
INT_PTR CALLBACK OwnDialogProc(HWND, UINT message, WPARAM, LPARAM lParam) {
    if (message != WM_INITDIALOG) return FALSE;
    ++g_log.dialogInits;
    g_log.dialogInitParam = lParam;
    return TRUE;
}

}  // extern "C"
