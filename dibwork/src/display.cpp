// Drawing pictures into device contexts: packed DIB data through the
// system's DrawDib facility (one handle for the process, closed when the
// library unloads), DIB sections scaled with StretchBlt, and the preview
// painters that fit a picture into a window.
//
// Source rectangles are given with y counted from the top of the picture.
// DrawDib implementations disagree on where they count a source y from:
// the platform's documentation and Wine count from the top row, while
// Windows' own implementation counts from the bottom row of a bottom-up
// DIB.  The first use therefore draws a two-row probe picture and records
// which row came out, and every later call hands DrawDib the y it expects.
#include <windows.h>
#include <vfw.h>

#include <algorithm>

#include "dibwork.h"
#include "fit.h"
#include "image_ops.h"

using namespace dibwork;

namespace {

enum class SourceRows { kUnknown, kFromTop, kFromBottom };

HDRAWDIB g_drawDib = nullptr;
SourceRows g_sourceRows = SourceRows::kUnknown;

// Draws the top row of a 1 x 2 picture (white over black) and looks at the
// result: white means DrawDib counts source rows from the top.
SourceRows ProbeSourceRows(HDRAWDIB drawDib) {
    struct {
        BITMAPINFOHEADER header;
        uint8_t bits[8];  // bottom row black, top row white, 4-byte rows
    } probe{};
    probe.header.biSize = sizeof(BITMAPINFOHEADER);
    probe.header.biWidth = 1;
    probe.header.biHeight = 2;
    probe.header.biPlanes = 1;
    probe.header.biBitCount = 24;
    probe.header.biSizeImage = sizeof(probe.bits);
    probe.bits[4] = probe.bits[5] = probe.bits[6] = 0xFF;

    HBITMAP target = MakeBlankFCDIBitmap(1, 1);
    if (!target) return SourceRows::kUnknown;
    SourceRows rows = SourceRows::kUnknown;
    {
        MemoryDC dc;
        SelectGuard select(dc.get(), target);
        if (select.ok() && DrawDibBegin(drawDib, dc.get(), 1, 1, &probe.header, 1, 1, 0) &&
            DrawDibDraw(drawDib, dc.get(), 0, 0, 1, 1, &probe.header, probe.bits, 0, 0, 1, 1, 0)) {
            GdiFlush();
            const auto *pixel = static_cast<const uint8_t *>(GetDIBitmapDataAddress(target));
            rows = pixel && pixel[0] == 0xFF ? SourceRows::kFromTop : SourceRows::kFromBottom;
        }
        DrawDibEnd(drawDib);
    }
    FreeDIBitmap(&target);
    return rows;
}

HDRAWDIB DrawDibHandle() {
    if (!g_drawDib) g_drawDib = DrawDibOpen();
    if (g_drawDib && g_sourceRows == SourceRows::kUnknown) g_sourceRows = ProbeSourceRows(g_drawDib);
    return g_drawDib;
}

// The source y DrawDib needs for rows [yFromTop, yFromTop + rows).
int DrawDibSourceY(const BITMAPINFOHEADER *header, int yFromTop, int rows) {
    if (g_sourceRows == SourceRows::kFromTop) return yFromTop;
    return header->biHeight - rows - yFromTop;
}

bool IsPaletteDevice(HDC dc) { return (GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE) != 0; }

// One DrawDib drawing.  DrawDib is begun afresh for every call: Wine's
// implementation recognises a known format by the header's address alone,
// and a header copy freed and reallocated at the same address with another
// size would otherwise have its bits copied into a buffer of the old size.
BOOL DrawThroughDrawDib(HDC dc, int x, int y, int width, int height, int sx, int syFromTop, int sw, int sh,
                        const void *bits, BITMAPINFOHEADER *header, HPALETTE palette) {
    HDRAWDIB drawDib = DrawDibHandle();
    if (!drawDib) return FALSE;
    if (!DrawDibBegin(drawDib, dc, width, height, header, sw, sh, 0)) return FALSE;
    UINT flags = DDF_BACKGROUNDPAL;
    if (palette) {
        DrawDibSetPalette(drawDib, palette);
        flags = DDF_SAME_HDC;
    } else if (IsPaletteDevice(dc)) {
        // Realising matters only where the device has a palette; elsewhere
        // it would only make (and leak, under Wine) a halftone palette.
        DrawDibRealize(drawDib, dc, TRUE);
    }
    return DrawDibDraw(drawDib, dc, x, y, width, height, header, const_cast<void *>(bits), sx,
                       DrawDibSourceY(header, syFromTop, sh), sw, sh, flags);
}

// Unscaled drawing of a part of a bottom-up true-colour picture on a device
// without a palette: the same pixels as DrawDib gives, but only the part is
// converted.  DrawDib prepares a buffer of the whole picture and copies all
// of it on every drawing, which makes a small repaint of a large canvas (a
// stroke) cost as much as a full one.  False when the picture, the device or
// the rectangle needs DrawDib.
bool DrawDirectly(HDC dc, int x, int y, int width, int height, int sx, int syFromTop, const void *bits,
                  const BITMAPINFOHEADER *header) {
    if (header->biSize < sizeof(BITMAPINFOHEADER) || header->biCompression != BI_RGB) return false;
    if (header->biBitCount != 24 && header->biBitCount != 32) return false;
    if (header->biWidth <= 0 || header->biHeight <= 0 || width <= 0 || height <= 0) return false;
    if (sx < 0 || syFromTop < 0 || width > header->biWidth - sx || height > header->biHeight - syFromTop) return false;
    if (IsPaletteDevice(dc)) return false;
    // SetDIBitsToDevice counts the source's y from the bottom row up.
    const int syFromBottom = header->biHeight - syFromTop - height;
    return SetDIBitsToDevice(dc, x, y, width, height, sx, syFromBottom, 0, header->biHeight, bits,
                             reinterpret_cast<const BITMAPINFO *>(header), DIB_RGB_COLORS) != 0;
}

// The DC of a preview: the owner-draw record's, or BeginPaint's.
class PreviewDC {
public:
    PreviewDC(HWND window, const DRAWITEMSTRUCT *item) : window_(window) {
        dc_ = item ? item->hDC : BeginPaint(window, &paint_);
        painting_ = !item;
    }
    ~PreviewDC() {
        if (painting_) EndPaint(window_, &paint_);
    }
    PreviewDC(const PreviewDC &) = delete;
    PreviewDC &operator=(const PreviewDC &) = delete;
    HDC get() const { return dc_; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_ = nullptr;
    bool painting_ = false;
};

// Fills the client area around the picture with the window colour.
void FillBands(HDC dc, const RECT &client, const FitPlacement &p) {
    HBRUSH brush = GetSysColorBrush(COLOR_WINDOW);
    const RECT bands[4] = {
        {0, 0, client.right, p.y},                                    // above
        {0, p.y, p.x, p.y + p.height},                                // left
        {0, p.y + p.height, client.right, client.bottom},             // below
        {p.x + p.width, p.y, client.right, p.y + p.height},           // right
    };
    for (const RECT &band : bands) {
        if (band.right > band.left && band.bottom > band.top) FillRect(dc, &band, brush);
    }
}

}  // namespace

namespace dibwork {

void ShutdownDisplay() {
    if (g_drawDib) DrawDibClose(g_drawDib);
    g_drawDib = nullptr;
    g_sourceRows = SourceRows::kUnknown;
}

}  // namespace dibwork

int WINAPI DispDIBToDevice(HDC dc, int x, int y, int width, int height, int sx, int sy, void *bits,
                           BITMAPINFOHEADER *header, HPALETTE palette) {
    if (!dc || !bits || !header) return 0;
    if (!palette && DrawDirectly(dc, x, y, width, height, sx, sy, bits, header)) return TRUE;
    return DrawThroughDrawDib(dc, x, y, width, height, sx, sy, width, height, bits, header, palette);
}

int WINAPI DispStretchDIB(HDC dc, int x, int y, int width, int height, int sx, int sy, int sw, int sh, void *bits,
                          BITMAPINFOHEADER *header, HPALETTE palette) {
    if (!dc || !bits || !header) return 0;
    return DrawThroughDrawDib(dc, x, y, width, height, sx, sy, sw, sh, bits, header, palette);
}

int WINAPI DispStretchDIBitmap(HDC dc, int x, int y, int width, int height, int sx, int sy, int sw, int sh,
                               HBITMAP bitmap) {
    if (!dc || !bitmap) return 0;
    HDC screen = GetDC(nullptr);
    const int screenBits = GetDeviceCaps(screen, PLANES) * GetDeviceCaps(screen, BITSPIXEL);
    ReleaseDC(nullptr, screen);
    if (screenBits <= 8) {
        MetaPicture pic(nullptr, bitmap);
        if (!pic) return 0;
        return DispStretchDIB(dc, x, y, width, height, sx, sy, sw, sh, pic.bits(), pic.header(), nullptr);
    }
    HDC memory = CreateCompatibleDC(dc);
    if (!memory) return 0;
    BOOL done = FALSE;
    {
        SelectGuard select(memory, bitmap);
        if (select.ok()) done = StretchBlt(dc, x, y, width, height, memory, sx, sy, sw, sh, SRCCOPY);
    }
    DeleteDC(memory);
    return done;
}

int WINAPI DispDebugBitmap(HBITMAP bitmap) {
    BITMAP info{};
    if (!bitmap || !GetObjectA(bitmap, sizeof(info), &info)) return 0;
    HDC screen = GetDC(nullptr);
    {
        MemoryDC memory;
        SelectGuard select(memory.get(), bitmap);
        if (select.ok()) BitBlt(screen, 0, 0, info.bmWidth, info.bmHeight, memory.get(), 0, 0, SRCCOPY);
    }
    return ReleaseDC(nullptr, screen);
}

int WINAPI DispPreviewWndDIBitamp(HWND window, HBITMAP bitmap, DRAWITEMSTRUCT *item) {
    if (!window || !bitmap) return 0;
    RECT client{};
    GetClientRect(window, &client);
    PreviewDC dc(window, item);
    if (!dc.get()) return 0;
    MetaPicture pic(nullptr, bitmap);
    if (!pic) return 0;
    const int pw = pic.header()->biWidth, ph = pic.header()->biHeight;
    const FitPlacement p = FitIntoClient(pw, ph, client.right, client.bottom);
    FillBands(dc.get(), client, p);
    if (p.width == pw && p.height == ph) {
        DispDIBToDevice(dc.get(), p.x, p.y, pw, ph, 0, 0, pic.bits(), pic.header(), nullptr);
    } else {
        DispStretchDIB(dc.get(), p.x, p.y, p.width, p.height, 0, 0, pw, ph, pic.bits(), pic.header(), nullptr);
    }
    return 1;
}

namespace {

// Paints the picture at the fitted place of a work bitmap, then whitens it
// where the mask is white: ROP 0x00E20746 gives the brush (white) where the
// mask is set and keeps the picture where it is clear.
bool ComposeMasked(HDC target, HBITMAP work, const RECT &client, const FitPlacement &p, const MetaPicture &pic,
                   HBITMAP mask) {
    HDC workDC = CreateCompatibleDC(target);
    HDC maskDC = CreateCompatibleDC(target);
    HBRUSH white = CreateSolidBrush(PALETTERGB(255, 255, 255));
    bool done = false;
    if (workDC && maskDC && white) {
        SelectGuard selectWork(workDC, work);
        SelectGuard selectMask(maskDC, mask);
        SelectGuard selectBrush(workDC, white);
        BITMAP m{};
        if (selectWork.ok() && selectMask.ok() && GetObjectA(mask, sizeof(m), &m)) {
            FillRect(workDC, &client, GetSysColorBrush(COLOR_WINDOW));
            StretchDIBits(workDC, p.x, p.y, p.width, p.height, 0, 0, pic.header()->biWidth, pic.header()->biHeight,
                          pic.bits(), pic.info(), DIB_RGB_COLORS, SRCCOPY);
            // A monochrome source blits as text colour (0) and background (1).
            SetTextColor(workDC, RGB(0, 0, 0));
            SetBkColor(workDC, RGB(255, 255, 255));
            constexpr DWORD kWhereMaskSetPaintBrush = 0x00E20746;
            if (p.width == pic.header()->biWidth && p.height == pic.header()->biHeight) {
                BitBlt(workDC, p.x, p.y, p.width, p.height, maskDC, 0, 0, kWhereMaskSetPaintBrush);
            } else {
                StretchBlt(workDC, p.x, p.y, p.width, p.height, maskDC, 0, 0, m.bmWidth, m.bmHeight,
                           kWhereMaskSetPaintBrush);
            }
            GdiFlush();
            done = true;
        }
    }
    if (white) DeleteObject(white);
    if (maskDC) DeleteDC(maskDC);
    if (workDC) DeleteDC(workDC);
    return done;
}

}  // namespace

int WINAPI DispPreviewWndWithMask(HWND window, HBITMAP bitmap, HBITMAP mask, HBITMAP work, DRAWITEMSTRUCT *item) {
    if (!mask) return DispPreviewWndDIBitamp(window, bitmap, item);
    if (!window || !bitmap) return 0;
    RECT client{};
    GetClientRect(window, &client);
    if (client.right < 1 || client.bottom < 1) return 0;
    PreviewDC dc(window, item);
    if (!dc.get()) return 0;
    MetaPicture pic(nullptr, bitmap);
    if (!pic) return 0;
    const FitPlacement p = FitIntoClient(pic.header()->biWidth, pic.header()->biHeight, client.right, client.bottom);

    OwnedPicture made;
    if (!work) {
        made = OwnedPicture(MakeBlankFCDIBitmap(client.right, client.bottom));
        work = made.bitmap();
    }
    if (!work || !ComposeMasked(dc.get(), work, client, p, pic, mask)) return 0;

    MetaPicture composed(nullptr, work);
    if (!composed) return 0;
    // A caller's work bitmap smaller than the client area is drawn whole.
    const int width = std::min<int>(client.right, composed.header()->biWidth);
    const int height = std::min<int>(client.bottom, composed.header()->biHeight);
    DispDIBToDevice(dc.get(), 0, 0, width, height, 0, 0, composed.bits(), composed.header(), nullptr);
    return 1;
}
