// Rotation by any whole number of degrees, and pasting one DIB section
// into another.  The turns are kernels (rotate.h); this file makes the
// result picture in the source's format and stores it for the caller.
#include <algorithm>
#include <climits>
#include <cstring>

#include "dibwork.h"
#include "image_ops.h"
#include "rotate.h"

using namespace dibwork;

namespace {

enum class Turn { kRight, kLeft, kHalf, kFree };

// The result picture: a DIB when the caller asked for one, otherwise a
// DIBitmap; the source's format and colour table.  A new DIB block is
// cleared so that no byte of it is left undefined.
OwnedPicture MakeTurnResult(const BITMAPINFOHEADER *source, int64_t width, int64_t height, bool asDib) {
    if (width < 1 || height < 1 || width > INT_MAX || height > INT_MAX) return OwnedPicture();
    const int w = static_cast<int>(width), h = static_cast<int>(height);
    if (!asDib) return OwnedPicture(MakeBlankDIBitmapWithBI(source, w, h));
    OwnedPicture dib(MakeBlankDIBWithBI(source, w, h));
    if (dib) {
        MetaPicture made(dib.dib(), nullptr);
        const PixelView v = made.view();
        if (!v.bits) return OwnedPicture();
        std::memset(v.bits, 0, v.ImageBytes());
    }
    return dib;
}

int TurnInto(HGLOBAL dib, HBITMAP bitmap, HGLOBAL *dibOut, HBITMAP *bitmapOut, Turn turn, int degrees,
             COLORREF background) {
    if ((!dib && !bitmap) || (!dibOut && !bitmapOut)) return 0;
    if (dib) bitmap = nullptr;
    MetaPicture src(dib, bitmap);
    const PixelView view = src.view();
    if (!view.bits) return 0;

    FreeRotation plan{};
    int64_t width = view.width, height = view.height;
    if (turn == Turn::kRight || turn == Turn::kLeft) std::swap(width, height);
    if (turn == Turn::kFree) {
        plan = PlanFreeRotation(degrees, view.width, view.height);
        width = plan.width;
        height = plan.height;
    }
    OwnedPicture out = MakeTurnResult(src.header(), width, height, dibOut != nullptr);
    if (!out) return 0;
    // The background; an indexed DIB whose table lacks the colour keeps its
    // cleared bits (index 0) there.
    if (turn == Turn::kFree) MetaDIBFillColor(out.dib(), out.bitmap(), background);
    {
        MetaPicture made(out.dib(), out.bitmap());
        const PixelView dst = made.view();
        if (!dst.bits) return 0;
        // Bit counts other than 1, 4, 8 and 24 leave the new picture blank.
        switch (turn) {
            case Turn::kRight: QuarterTurnRight(view, dst); break;
            case Turn::kLeft: QuarterTurnLeft(view, dst); break;
            case Turn::kHalf: HalfTurn(view, dst); break;
            case Turn::kFree: FreeRotate(view, dst, plan); break;
        }
    }
    if (dibOut) {
        *dibOut = out.ReleaseDib();
    } else {
        *bitmapOut = out.ReleaseBitmap();
    }
    return 1;
}

// The part of a w x h blit at (x, y) that lies on a destination of
// destW x destH, with the matching source origin.
struct PasteSpan {
    int dx, dy, sx, sy, width, height;
};

bool ClipPaste(const RECT &r, int destW, int destH, PasteSpan &span) {
    const int64_t left = std::min<int64_t>(r.left, r.right), right = std::max<int64_t>(r.left, r.right);
    const int64_t top = std::min<int64_t>(r.top, r.bottom), bottom = std::max<int64_t>(r.top, r.bottom);
    const int64_t x0 = std::max<int64_t>(left, 0), y0 = std::max<int64_t>(top, 0);
    const int64_t x1 = std::min<int64_t>(right, destW), y1 = std::min<int64_t>(bottom, destH);
    if (x0 >= x1 || y0 >= y1) return false;
    span = PasteSpan{static_cast<int>(x0), static_cast<int>(y0), static_cast<int>(x0 - left),
                     static_cast<int>(y0 - top), static_cast<int>(x1 - x0), static_cast<int>(y1 - y0)};
    return true;
}

}  // namespace

int WINAPI RotateMetaDIB(HGLOBAL dib, HBITMAP bitmap, HGLOBAL *dibOut, HBITMAP *bitmapOut, int degrees,
                         COLORREF background) {
    if ((!dib && !bitmap) || (!dibOut && !bitmapOut)) return 0;
    switch (const int angle = NormaliseDegrees(degrees)) {
        case 0: return ConvertMetaDIB(dib, bitmap, dibOut, bitmapOut);
        case 90: return RotateRightMetaDIB(dib, bitmap, dibOut, bitmapOut);
        case 180: return TurnInto(dib, bitmap, dibOut, bitmapOut, Turn::kHalf, angle, background);
        case 270: return RotateLeftMetaDIB(dib, bitmap, dibOut, bitmapOut);
        default: return TurnInto(dib, bitmap, dibOut, bitmapOut, Turn::kFree, angle, background);
    }
}

int WINAPI RotateRightMetaDIB(HGLOBAL dib, HBITMAP bitmap, HGLOBAL *dibOut, HBITMAP *bitmapOut) {
    return TurnInto(dib, bitmap, dibOut, bitmapOut, Turn::kRight, 90, 0);
}

int WINAPI RotateLeftMetaDIB(HGLOBAL dib, HBITMAP bitmap, HGLOBAL *dibOut, HBITMAP *bitmapOut) {
    return TurnInto(dib, bitmap, dibOut, bitmapOut, Turn::kLeft, 270, 0);
}

int WINAPI DIBitmapPasteRop(HBITMAP destination, HBITMAP source, const RECT *rect, DWORD rop) {
    if (!destination || !source || !rect) return 0;
    BITMAP dest{};
    if (!GetObjectA(destination, sizeof(dest), &dest)) return 0;
    PasteSpan span{};
    // Clipped here, in 64-bit arithmetic, so that huge or inverted
    // rectangles never reach GDI.
    if (!ClipPaste(*rect, dest.bmWidth, dest.bmHeight, span)) return 1;
    MemoryDC destDC, sourceDC;
    if (!destDC.get() || !sourceDC.get()) return 0;
    SelectGuard selectDest(destDC.get(), destination);
    SelectGuard selectSource(sourceDC.get(), source);
    if (!selectDest.ok() || !selectSource.ok()) return 0;
    BitBlt(destDC.get(), span.dx, span.dy, span.width, span.height, sourceDC.get(), span.sx, span.sy, rop);
    GdiFlush();
    return 1;
}

int WINAPI DIBitmapPaste(HBITMAP destination, HBITMAP source, const RECT *rect) {
    return DIBitmapPasteRop(destination, source, rect, SRCCOPY);
}
