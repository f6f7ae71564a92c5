#include "erase.h"

#include "app_state.h"
#include "canvas_undo.h"
#include "canvas_window.h"
#include "dibwork.h"

namespace pintora {
namespace {

// A picture selected into a memory DC for the guard's life.
class PictureDC {
public:
    explicit PictureDC(HBITMAP picture) : dc_(picture ? CreateDIBitmapDC(nullptr, picture, &previous_) : nullptr) {}
    ~PictureDC() {
        if (dc_) DeleteDIBitmapDC(nullptr, dc_, previous_);
    }
    PictureDC(const PictureDC &) = delete;
    PictureDC &operator=(const PictureDC &) = delete;
    HDC get() const { return dc_; }

private:
    HGDIOBJ previous_ = nullptr;
    HDC dc_;
};

void RestoreSquares(const EraserSegment &segment, HDC canvas, HDC background, bool white) {
    const auto side = 2 * kEraserHalf;
    for (int32_t i = 0; i < segment.count; ++i) {
        const CanvasRect sq = EraserSquare(segment, i);
        if (white) {
            const RECT r{sq.left, sq.top, sq.right, sq.bottom};
            FillRect(canvas, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        } else {
            BitBlt(canvas, sq.left, sq.top, side, side, background, sq.left, sq.top, SRCCOPY);
        }
    }
}

}  // namespace

void EraseTo(AppState &app, POINT point, bool start) {
    BITMAPINFOHEADER header{};
    if (!app.canvasPicture || !GetDIBitmapInfo(app.canvasPicture, &header, nullptr)) return;
    const EraserSegment segment =
        app.eraser.Step({point.x, point.y}, start, header.biWidth, header.biHeight);
    const bool white = app.whiteFlag;
    {
        PictureDC canvas(app.canvasPicture);
        PictureDC background(white ? nullptr : app.backgroundPicture);
        if (!canvas.get() || (!white && !background.get())) return;
        RestoreSquares(segment, canvas.get(), background.get(), white);
        // The canvas is also read straight from its bits when painting.
        GdiFlush();
    }
    const RECT repaint{segment.repaint.left, segment.repaint.top, segment.repaint.right, segment.repaint.bottom};
    NoteStrokeArea(app, repaint);
    ShowCanvasArea(app, repaint);
}

}  // namespace pintora
