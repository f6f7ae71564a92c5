// Fills, cut-outs and mask copies.  The pixel work is in fill_mask.h; this
// file unpacks the handles, chooses between the GDI path (DIB sections) and
// the direct path (packed DIBs), and releases every header on every path.
#include <algorithm>
#include <climits>
#include <cstring>

#include "dibwork.h"
#include "fill_mask.h"
#include "image_ops.h"

using namespace dibwork;

namespace {

Bgr BgrOf(COLORREF c) { return Bgr{GetBValue(c), GetGValue(c), GetRValue(c)}; }

// Fills a DIB section through GDI: FillRect with a solid brush over the
// whole picture, so indexed sections get the system's nearest colour.
// A section can be selected into one DC only; when the caller holds it in
// one (a canvas kept in its paint DC), a 24-bit section is filled through
// its bits instead of silently staying as it was.
bool FillSectionThroughSystem(HBITMAP bitmap, COLORREF colour) {
    BITMAP info{};
    if (!GetObjectA(bitmap, sizeof(info), &info)) return false;
    MemoryDC dc;
    if (!dc.get()) return false;
    HBRUSH brush = CreateSolidBrush(colour);
    if (!brush) return false;
    bool done = false, selected = false;
    {
        SelectGuard select(dc.get(), bitmap);
        selected = select.ok();
        if (selected) {
            const RECT all{0, 0, info.bmWidth, info.bmHeight};
            done = FillRect(dc.get(), &all, brush) != 0;
        }
    }
    DeleteObject(brush);
    // Callers may write the bits next: let GDI finish first.
    GdiFlush();
    if (!selected) {
        MetaPicture pic(nullptr, bitmap);
        done = pic && FillBgr24(pic.view(), BgrOf(colour));
    }
    return done;
}

enum class MissingColour { kFail, kFillFF, kFill00 };

// The packed-DIB path of the fills.
int FillDibDirect(const MetaPicture &pic, COLORREF colour, MissingColour missing) {
    const int bits = pic.header()->biBitCount;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24) return 1;  // left alone
    const PixelView v = pic.view();
    if (!v.bits) return 0;  // compressed, or rows the block does not hold
    if (bits == 24) return FillBgr24(v, BgrOf(colour)) ? 1 : 0;
    const auto index = FindTableColour(v.palette, v.paletteCount, BgrOf(colour));
    uint8_t fill = 0;
    if (index) {
        fill = IndexedFillByte(bits, *index);
    } else if (missing == MissingColour::kFail) {
        return 0;
    } else {
        fill = missing == MissingColour::kFillFF ? 0xFF : 0x00;
    }
    std::memset(v.bits, fill, v.ImageBytes());
    return 1;
}

// MetaDIBFillColor and its white and black forms.  A DIBitmap member is
// filled through GDI (Black: always; the others when the picture's bit
// count is non-zero); otherwise the DIB is filled directly.
int FillMeta(HGLOBAL dib, HBITMAP bitmap, COLORREF colour, MissingColour missing, bool systemAlways) {
    if (!dib && !bitmap) return 0;
    bool useSystem = false;
    {
        MetaPicture pic(dib, bitmap);
        if (!pic) return 0;
        useSystem = bitmap && (systemAlways || pic.header()->biBitCount != 0);
        if (!useSystem) return FillDibDirect(pic, colour, missing);
    }
    return FillSectionThroughSystem(bitmap, colour) ? 1 : 0;
}

// -------------------------------------------------------------- cut-out

// Converts a 64-bit edge back to a RECT field when it fits.
bool FitsLong(int64_t v) { return v >= LONG_MIN && v <= LONG_MAX; }

HBITMAP CutOutToBitmap(HGLOBAL dib, HBITMAP bitmap, const RECT &rect) {
    MetaPicture src(dib, bitmap);
    if (!src) return nullptr;
    if (dib && !DibSourceIsSound(src.header(), GlobalSize(dib))) return nullptr;
    const auto f = Fields(src.header());
    if (f.core || f.height < 1) return nullptr;

    const int64_t left = std::min<int64_t>(rect.left, rect.right), right = std::max<int64_t>(rect.left, rect.right);
    const int64_t top = std::min<int64_t>(rect.top, rect.bottom), bottom = std::max<int64_t>(rect.top, rect.bottom);
    const int64_t width = right - left, height = bottom - top;
    if (width < 1 || height < 1 || width > INT_MAX || height > INT_MAX) return nullptr;
    OwnedPicture out(MakeBlankDIBitmapWithBI(src.header(), static_cast<int>(width), static_cast<int>(height)));
    if (!out) return nullptr;

    // Clip against the source; the rest of the new picture stays zero.
    int64_t dx = 0, dy = 0, sx = left, sy = top, cw = width, ch = height;
    if (sx < 0) { dx = -sx; cw += sx; sx = 0; }
    if (sy < 0) { dy = -sy; ch += sy; sy = 0; }
    cw = std::min<int64_t>(cw, f.width - sx);
    ch = std::min<int64_t>(ch, f.height - sy);
    if (cw > 0 && ch > 0) {
        MemoryDC dc;
        SelectGuard select(dc.get(), out.bitmap());
        if (!select.ok()) return nullptr;
        // The source y of SetDIBitsToDevice counts from the bottom row.
        SetDIBitsToDevice(dc.get(), static_cast<int>(dx), static_cast<int>(dy), static_cast<DWORD>(cw),
                          static_cast<DWORD>(ch), static_cast<int>(sx), static_cast<int>(f.height - ch - sy), 0,
                          static_cast<UINT>(f.height), src.bits(), src.info(), DIB_RGB_COLORS);
        GdiFlush();
    }
    return out.ReleaseBitmap();
}

// ---------------------------------------------------------------- masks

// The three covers: 24-bit pictures of equal size and a 1-bit mask.
void CoverPictures(HGLOBAL dDib, HBITMAP dBitmap, HGLOBAL sDib, HBITMAP sBitmap, HGLOBAL mDib, HBITMAP mBitmap) {
    if ((!dDib && !dBitmap) || (!sDib && !sBitmap) || (!mDib && !mBitmap)) return;
    MetaPicture dst(dDib, dBitmap), src(sDib, sBitmap), mask(mDib, mBitmap);
    if (!dst || !src || !mask) return;
    if (dst.header()->biCompression != src.header()->biCompression) return;
    // The kernel checks sizes, bit counts (24, 24, 1) and usable rows.
    CoverThroughMask1(dst.view(), src.view(), mask.view());
}

}  // namespace

// ------------------------------------------------------------------ fills

int WINAPI MetaDIBFillColor(HGLOBAL dib, HBITMAP bitmap, COLORREF colour) {
    return FillMeta(dib, bitmap, colour, MissingColour::kFail, false);
}

int WINAPI MetaDIBFillWhite(HGLOBAL dib, HBITMAP bitmap) {
    return FillMeta(dib, bitmap, RGB(255, 255, 255), MissingColour::kFillFF, false);
}

int WINAPI MetaDIBFillBlack(HGLOBAL dib, HBITMAP bitmap) {
    return FillMeta(dib, bitmap, RGB(0, 0, 0), MissingColour::kFill00, true);
}

int WINAPI MetaDIBFillColorMasked(HGLOBAL dstDib, HBITMAP dstBitmap, HGLOBAL maskDib, HBITMAP maskBitmap,
                                  COLORREF whereSet, COLORREF whereClear) {
    if ((!dstDib && !dstBitmap) || (!maskDib && !maskBitmap)) return 0;
    MetaPicture dst(dstDib, dstBitmap), mask(maskDib, maskBitmap);
    if (!dst || !mask) return 0;
    const PixelView d = dst.view(), m = mask.view();
    if (!d.bits || d.bitCount != 24) return 0;
    if (mask.header()->biWidth != d.width || mask.header()->biHeight != d.height) return 0;
    if (m.bits && m.bitCount == 8) FillThroughMask24(d, m, BgrOf(whereSet), BgrOf(whereClear));
    return 1;
}

// ---------------------------------------------------------------- cut-out

HGLOBAL WINAPI CutOutDIB(HGLOBAL dib, RECT *rect) {
    if (!dib) return nullptr;
    if (!rect) return CopyDIB(dib);
    MetaPicture src(dib, nullptr);
    const PixelView view = src.view();
    if (!view.bits) return nullptr;

    int64_t left = rect->left, right = rect->right;
    AlignCutOutColumns(view.bitCount, left, right);
    if (!FitsLong(left) || !FitsLong(right)) return nullptr;
    rect->left = static_cast<LONG>(left);
    rect->right = static_cast<LONG>(right);

    const int64_t width = right - left, height = static_cast<int64_t>(rect->bottom) - rect->top;
    const int64_t absWidth = width < 0 ? -width : width, absHeight = height < 0 ? -height : height;
    if (absWidth < 1 || absHeight < 1 || absWidth > INT_MAX || absHeight > INT_MAX) return nullptr;
    // MakeBlankDIBWithBI takes 1, 4, 8 and 24 bits and copies the table.
    OwnedPicture out(MakeBlankDIBWithBI(src.header(), static_cast<int>(absWidth), static_cast<int>(absHeight)));
    if (!out) return nullptr;
    MetaPicture made(out.dib(), nullptr);
    const PixelView dst = made.view();
    if (!dst.bits) return nullptr;
    std::memset(dst.bits, 0, dst.ImageBytes());  // parts outside the picture read zero
    if (width > 0 && height > 0) CutOutRows(view, IntRect{left, rect->top, right, rect->bottom}, dst);
    return out.ReleaseDib();
}

HBITMAP WINAPI CutOutDIBitmap(HBITMAP bitmap, const RECT *rect) {
    if (!bitmap) return nullptr;
    if (!rect) return CopyDIBitmap(bitmap);
    return CutOutToBitmap(nullptr, bitmap, *rect);
}

HBITMAP WINAPI CutOutMetaDIBitmap(HGLOBAL dib, HBITMAP bitmap, const RECT *rect) {
    if (!dib && !bitmap) return nullptr;
    if (!rect) return dib ? ConvertDIB2DIBitmap(dib) : CopyDIBitmap(bitmap);
    return CutOutToBitmap(dib, dib ? nullptr : bitmap, *rect);
}

HBITMAP WINAPI lpCutOutMetaDIBitmap(HGLOBAL *dib, HBITMAP *bitmap, const RECT *rect) {
    return CutOutMetaDIBitmap(dib ? *dib : nullptr, bitmap ? *bitmap : nullptr, rect);
}

// ------------------------------------------------------------------ masks

int WINAPI DIBMaskCover(HGLOBAL destination, HGLOBAL source, HGLOBAL mask) {
    if (destination && source && mask) CoverPictures(destination, nullptr, source, nullptr, mask, nullptr);
    return 0;
}

int WINAPI DIBitmapMaskCover(HBITMAP destination, HBITMAP source, HBITMAP mask) {
    if (destination && source && mask) CoverPictures(nullptr, destination, nullptr, source, nullptr, mask);
    return 0;
}

int WINAPI MetaDIBMaskCover(HGLOBAL dstDib, HBITMAP dstBitmap, HGLOBAL srcDib, HBITMAP srcBitmap, HGLOBAL maskDib,
                            HBITMAP maskBitmap) {
    if (dstBitmap && srcBitmap && maskBitmap) {
        CoverPictures(dstDib, dstBitmap, srcDib, srcBitmap, maskDib, maskBitmap);
    }
    return 0;
}

int WINAPI MetaDIBMaskBltRect(HGLOBAL dstDib, HBITMAP dstBitmap, HGLOBAL srcDib, HBITMAP srcBitmap, HGLOBAL maskDib,
                              HBITMAP maskBitmap, const RECT *rect) {
    if (!dstBitmap || !srcBitmap || !maskBitmap || !rect) return 0;
    MetaPicture dst(dstDib, dstBitmap), src(srcDib, srcBitmap), mask(maskDib, maskBitmap);
    if (!dst || !src || !mask) return 0;
    const PixelView d = dst.view(), s = src.view(), m = mask.view();
    if (!d.bits || !s.bits || !m.bits || d.bitCount != 24 || s.bitCount != 24) return 0;
    if (m.width != s.width || m.height != s.height) return 0;
    const auto span = ClipBlit(IntRect{rect->left, rect->top, rect->right, rect->bottom}, s.width, s.height,
                               d.width, d.height);
    if (!span) return 1;  // nothing of it lies on the destination
    BlendSpanThroughMask(d, s, m, *span);
    return 0;
}
