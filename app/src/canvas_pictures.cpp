#include "canvas_pictures.h"

#include <cstring>

#include "app_state.h"
#include "dibwork.h"
#include "paper.h"
#include "resource_ids.h"

namespace pintora {
namespace {

// The canvas is always a fresh copy of the background.
bool CopyBackgroundToCanvas(AppState &app) {
    if (!app.backgroundPicture) return false;
    app.canvasPicture = CopyDIBitmap(app.backgroundPicture);
    return app.canvasPicture != nullptr;
}

HBITMAP FilledPicture(COLORREF color) {
    const SIZE screen = ScreenSize();
    HBITMAP picture = MakeBlankFCDIBitmap(screen.cx, screen.cy);
    if (picture && !MetaDIBFillColor(nullptr, picture, color)) FreeDIBitmap(&picture);
    return picture;
}

// The texture with every colour of its table moved by `delta`: a new
// section made from the edited header, holding the same pixel bytes.
HBITMAP ShiftedTexture(HBITMAP texture, int32_t delta) {
    BITMAPINFOHEADER *header = nullptr;
    BYTE *bits = GetMetaBitmapInfoHeader(nullptr, texture, &header);
    if (!bits) return nullptr;
    const int colors = header->biBitCount <= 8 ? 1 << header->biBitCount : 0;
    ShiftColorTable(reinterpret_cast<uint8_t *>(header) + header->biSize, colors, delta);
    HBITMAP shifted = MakeBlankDIBitmapImg(reinterpret_cast<BITMAPINFO *>(header));
    void *shiftedBits = shifted ? GetDIBitmapDataAddress(shifted) : nullptr;
    if (shiftedBits) {
        std::memcpy(shiftedBits, bits, GetImageSize(header));
    } else if (shifted) {
        FreeDIBitmap(&shifted);
    }
    ReleaseMetaBitmapInfoHeader(nullptr, texture, header);
    return shifted;
}

// The paper tiled over the screen, or NULL when the texture is unusable.
HBITMAP TiledPaper(HINSTANCE instance, int32_t intensity) {
    auto texture = static_cast<HBITMAP>(
        LoadImageW(instance, MAKEINTRESOURCEW(IDB_PAPER), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!texture) return nullptr;
    if (intensity != 0) {
        if (HBITMAP shifted = ShiftedTexture(texture, intensity)) {
            FreeDIBitmap(&texture);
            texture = shifted;
        }
    }
    HBITMAP paper = nullptr;
    if (Convert24DIBitmap(&texture)) {
        const SIZE screen = ScreenSize();
        paper = TilingDIBitmap(texture, screen.cx, screen.cy);
    }
    FreeDIBitmap(&texture);
    return paper;
}

}  // namespace

SIZE ScreenSize() { return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

void FreePictures(AppState &app) {
    FreeDIBitmap(&app.backgroundPicture);
    FreeDIBitmap(&app.canvasPicture);
    // White paper belonged to the picture that is gone: erasing restores
    // whatever background comes next.
    app.whiteFlag = 0;
}

bool MakeScreenBackground(AppState &app) {
    FreePictures(app);
    const SIZE screen = ScreenSize();
    app.backgroundPicture = MakeBlankFCDIBitmap(screen.cx, screen.cy);
    if (!app.backgroundPicture) return false;
    HGDIOBJ previous = nullptr;
    HDC memory = CreateDIBitmapDC(nullptr, app.backgroundPicture, &previous);
    HDC screenDC = GetDC(nullptr);
    if (memory && screenDC) BitBlt(memory, 0, 0, screen.cx, screen.cy, screenDC, 0, 0, SRCCOPY);
    if (screenDC) ReleaseDC(nullptr, screenDC);
    DeleteDIBitmapDC(nullptr, memory, previous);
    GdiFlush();
    return CopyBackgroundToCanvas(app);
}

bool MakePaperBackground(AppState &app) {
    FreePictures(app);
    app.backgroundPicture = TiledPaper(app.instance, app.settings.paperIntensity);
    // An unusable texture must not leave the black of a fresh section.
    if (!app.backgroundPicture) app.backgroundPicture = FilledPicture(RGB(255, 255, 255));
    return CopyBackgroundToCanvas(app);
}

bool MakeFlatBackground(AppState &app) {
    FreePictures(app);
    app.backgroundPicture = FilledPicture(static_cast<COLORREF>(app.settings.colKidsPaper));
    return CopyBackgroundToCanvas(app);
}

bool AdoptPicture(AppState &app, HBITMAP picture) {
    FreePictures(app);
    app.canvasPicture = picture;
    app.backgroundPicture = CopyDIBitmap(picture);
    return app.backgroundPicture != nullptr;
}

bool RestoreBackground(AppState &app) {
    return app.backgroundPicture && app.canvasPicture &&
           ForwardDIBitmap2DIBitmap(app.backgroundPicture, app.canvasPicture) != 0;
}

}  // namespace pintora
