// Resizing pictures: the bilinear stretch, the three-way resize of the
// thumbnails and the JPEG export, tiling, and fitting into a box.  The
// pixel work is done by the kernels of resample.h; this file unpacks the
// handles, makes the destinations and frees everything on failure.
//
// The colour kernels write 24-bit pixels, so a stretched copy keeps the
// source's format only for 24-bit sources; any other source gets a 24-bit
// destination rather than a picture its kernel cannot fill.
#include <algorithm>
#include <cstdint>
#include <new>
#include <optional>

#include "dibwork.h"
#include "fit.h"
#include "image_ops.h"
#include "pixel_rows.h"
#include "resample.h"

using namespace dibwork;

namespace {

using ColourKernel = bool (*)(const PixelView &, const PixelView &);

enum class Kind { kDib, kBitmap };

// Runs a kernel; allocation failures inside it count as failure.
template <typename Kernel>
bool RunKernel(Kernel kernel, const PixelView &src, const PixelView &dst) {
    if (!src.bits || !dst.bits) return false;
    try {
        return kernel(src, dst);
    } catch (const std::bad_alloc &) {
        return false;
    }
}

// Fills a picture (DIB or DIBitmap) from a source view with a kernel.
bool FillPicture(HGLOBAL dib, HBITMAP bitmap, ColourKernel kernel, const PixelView &src) {
    MetaPicture dst(dib, bitmap);
    return RunKernel(kernel, src, dst.view());
}

// A blank picture of the given kind for the resampled copy of a source:
// the source's format when it is 24-bit, otherwise 24-bit.
OwnedPicture MakeResampleTarget(Kind kind, const BITMAPINFOHEADER *source, int width, int height) {
    const bool keepFormat = source->biBitCount == 24 && source->biCompression == BI_RGB;
    if (kind == Kind::kDib) {
        return OwnedPicture(keepFormat ? MakeBlankDIBWithBI(source, width, height) : MakeBlankDIB(width, height, 24));
    }
    return OwnedPicture(keepFormat ? MakeBlankDIBitmapWithBI(source, width, height)
                                   : MakeBlankFCDIBitmap(width, height));
}

// A blank picture of the source's own format (tiling copies pixels as
// they are).
OwnedPicture MakeSameFormat(Kind kind, const BITMAPINFOHEADER *source, int width, int height) {
    if (kind == Kind::kDib) return OwnedPicture(MakeBlankDIBWithBI(source, width, height));
    return OwnedPicture(MakeBlankDIBitmapWithBI(source, width, height));
}

// The picture a (DIB variable, DIBitmap variable) pair names.
struct PairRef {
    HGLOBAL *dib;
    HBITMAP *bitmap;
    HGLOBAL Dib() const { return dib ? *dib : nullptr; }
    HBITMAP Bitmap() const { return bitmap ? *bitmap : nullptr; }
    bool Holds() const { return Dib() || Bitmap(); }
};

// True when the picture the pair holds has the given size and bit count.
bool PairHolds(const PairRef &pair, int width, int height, int bitCount) {
    if (!pair.Holds()) return false;
    HGLOBAL dib = pair.Dib();
    MetaPicture pic(dib, dib ? nullptr : pair.Bitmap());
    const PixelView v = pic.view();
    return v.bits && v.width == width && v.height == height && v.bitCount == bitCount;
}

// What a pair held before a call replaced it.  Freed only once the new
// picture is made and stored, and never when it is the source itself: a
// caller may name one picture as both source and destination, and the
// source is read until the very end.
struct OldPair {
    HGLOBAL dib;
    HBITMAP bitmap;
    OldPair(const PairRef &pair) : dib(pair.Dib()), bitmap(pair.Bitmap()) {}
    void FreeUnless(HGLOBAL srcDib, HBITMAP srcBitmap) {
        if (dib && dib != srcDib) FreeDIB(&dib);
        if (bitmap && bitmap != srcBitmap) FreeDIBitmap(&bitmap);
    }
};

// A copy of a picture as the requested kind, converting when the source is
// of the other kind.
// Both variables name the copy afterwards (the other one NULL); on failure
// they keep what they held.
int StoreCopy(HGLOBAL srcDib, HBITMAP srcBitmap, const PairRef &out) {
    OldPair old(out);
    HGLOBAL dib = nullptr;
    HBITMAP bitmap = nullptr;
    if (out.bitmap) {
        bitmap = srcBitmap && !srcDib ? CopyDIBitmap(srcBitmap) : ConvertDIB2DIBitmap(srcDib);
        if (!bitmap) return 0;
    } else {
        dib = srcDib ? CopyDIB(srcDib) : ConvertDIBitmap2DIB(srcBitmap);
        if (!dib) return 0;
    }
    if (out.dib) *out.dib = dib;
    if (out.bitmap) *out.bitmap = bitmap;
    old.FreeUnless(srcDib, srcBitmap);
    return 1;
}

// Shared steps of StretchMetaDIB and TilingMetaDIB at a new size: reuse a
// destination of the right size and format, or free what the variables
// hold and make new pictures.  With both variables given, TilingMetaDIB
// makes only the DIBitmap; StretchMetaDIB makes and fills both.
int FillMetaTarget(const PairRef &out, HGLOBAL srcDib, HBITMAP srcBitmap, const MetaPicture &src, int width,
                   int height, bool resample, ColourKernel kernel, bool bitmapOnly) {
    const PixelView view = src.view();
    if (!view.bits) return 0;
    const int outBits = resample && view.bitCount != 24 ? 24 : view.bitCount;
    if (PairHolds(out, width, height, outBits)) {
        HGLOBAL dib = out.Dib();
        return FillPicture(dib, dib ? nullptr : out.Bitmap(), kernel, view) ? 1 : 0;
    }
    OldPair old(out);

    const auto make = resample ? MakeResampleTarget : MakeSameFormat;
    OwnedPicture bitmap, dib;
    if (out.bitmap) bitmap = make(Kind::kBitmap, src.header(), width, height);
    if (out.dib && !(bitmapOnly && out.bitmap)) dib = make(Kind::kDib, src.header(), width, height);
    if ((out.bitmap && !bitmap) || (out.dib && !(bitmapOnly && out.bitmap) && !dib)) return 0;
    // Every picture made is filled: a blank companion would show nothing.
    if (dib && !FillPicture(dib.dib(), nullptr, kernel, view)) return 0;
    if (bitmap && !FillPicture(nullptr, bitmap.bitmap(), kernel, view)) return 0;
    if (out.dib) *out.dib = dib ? dib.ReleaseDib() : nullptr;
    if (out.bitmap) *out.bitmap = bitmap.ReleaseBitmap();
    old.FreeUnless(srcDib, srcBitmap);
    return 1;
}

}  // namespace

// --------------------------------------------------------------- stretching

HGLOBAL WINAPI StretchDIB2DIB(HGLOBAL dib, int width, int height) {
    if (!dib || width < 1 || height < 1) return nullptr;
    MetaPicture src(dib, nullptr);
    const PixelView view = src.view();
    if (!view.bits || !IsDecodableBitCount(view.bitCount)) return nullptr;
    if (view.width == width && view.height == height) return CopyDIB(dib);
    OwnedPicture out = MakeResampleTarget(Kind::kDib, src.header(), width, height);
    if (!out || !FillPicture(out.dib(), nullptr, BilinearTo24, view)) return nullptr;
    return out.ReleaseDib();
}

HBITMAP WINAPI StretchDIBitmap2DIBitmap(HBITMAP bitmap, int width, int height) {
    if (!bitmap || width < 1 || height < 1) return nullptr;
    MetaPicture src(nullptr, bitmap);
    const PixelView view = src.view();
    if (!view.bits || !IsDecodableBitCount(view.bitCount)) return nullptr;
    if (view.width == width && view.height == height) return CopyDIBitmap(bitmap);
    OwnedPicture out = MakeResampleTarget(Kind::kBitmap, src.header(), width, height);
    if (!out || !FillPicture(nullptr, out.bitmap(), BilinearTo24, view)) return nullptr;
    return out.ReleaseBitmap();
}

HBITMAP WINAPI TriStretchDIBitmap2DIBitmap(HBITMAP bitmap, int width, int height) {
    if (!bitmap || width < 1 || height < 1) return nullptr;
    MetaPicture src(nullptr, bitmap);
    const PixelView view = src.view();
    if (!view.bits || !IsDecodableBitCount(view.bitCount)) return nullptr;
    const TriStretchPlan plan = PlanTriStretch(view.width, view.height, width, height);
    if (plan.method == TriStretchMethod::kCopy) return CopyDIBitmap(bitmap);

    OwnedPicture out = MakeResampleTarget(Kind::kBitmap, src.header(), width, height);
    if (!out) return nullptr;
    MetaPicture dst(nullptr, out.bitmap());
    bool done = false;
    switch (plan.method) {
        case TriStretchMethod::kBoxThenBilinear: {
            const auto kernel = [&plan](const PixelView &from, const PixelView &to) {
                return BoxThenBilinearTo24(from, to, plan.iw, plan.ih);
            };
            done = RunKernel(kernel, view, dst.view());
            break;
        }
        case TriStretchMethod::kAreaAverage:
            done = RunKernel(AreaAverageTo24, view, dst.view());
            break;
        default:
            done = RunKernel(QuadraticTo24, view, dst.view());
    }
    return done ? out.ReleaseBitmap() : nullptr;
}

int WINAPI StretchMetaDIB(HGLOBAL dib, HBITMAP bitmap, int width, int height, HGLOBAL *dibOut, HBITMAP *bitmapOut) {
    if ((!dib && !bitmap) || (!dibOut && !bitmapOut) || width < 1 || height < 1) return 0;
    MetaPicture src(dib, bitmap);
    const PixelView view = src.view();
    if (!view.bits || !IsDecodableBitCount(view.bitCount)) return 0;
    const PairRef out{dibOut, bitmapOut};
    if (view.width != width || view.height != height) {
        return FillMetaTarget(out, dib, bitmap, src, width, height, true, BilinearTo24, false);
    }
    // Same size: pixels into a destination of the same format, else a copy.
    if (PairHolds(out, width, height, view.bitCount)) {
        HGLOBAL outDib = out.Dib();
        return ForwardMetaDIB2MetaDIB(dib, dib ? nullptr : bitmap, outDib, outDib ? nullptr : out.Bitmap());
    }
    return StoreCopy(dib, dib ? nullptr : bitmap, out);
}

// ------------------------------------------------------------------ tiling

HGLOBAL WINAPI TilingDIB(HGLOBAL dib, int width, int height) {
    if (!dib || width < 1 || height < 1) return nullptr;
    MetaPicture src(dib, nullptr);
    if (!src.view().bits) return nullptr;
    OwnedPicture out = MakeSameFormat(Kind::kDib, src.header(), width, height);
    if (!out || !FillPicture(out.dib(), nullptr, TileRows, src.view())) return nullptr;
    return out.ReleaseDib();
}

HBITMAP WINAPI TilingDIBitmap(HBITMAP bitmap, int width, int height) {
    if (!bitmap || width < 1 || height < 1) return nullptr;
    MetaPicture src(nullptr, bitmap);
    if (!src.view().bits) return nullptr;
    OwnedPicture out = MakeSameFormat(Kind::kBitmap, src.header(), width, height);
    if (!out || !FillPicture(nullptr, out.bitmap(), TileRows, src.view())) return nullptr;
    return out.ReleaseBitmap();
}

int WINAPI TilingMetaDIB(HGLOBAL dib, HBITMAP bitmap, int width, int height, HGLOBAL *dibOut, HBITMAP *bitmapOut) {
    if ((!dib && !bitmap) || (!dibOut && !bitmapOut) || width < 1 || height < 1) return 0;
    MetaPicture src(dib, bitmap);
    return FillMetaTarget(PairRef{dibOut, bitmapOut}, dib, bitmap, src, width, height, false, TileRows, true);
}

// ------------------------------------------------------ fitting into a box

namespace {

std::optional<FitSize> BoxFit(const PixelView &view, const RECT *box) {
    if (!box || !view.bits) return std::nullopt;
    const int64_t bw = static_cast<int64_t>(box->right) - box->left;
    const int64_t bh = static_cast<int64_t>(box->bottom) - box->top;
    if (bw < 1 || bh < 1 || bw > INT32_MAX || bh > INT32_MAX) return std::nullopt;
    return FitIntoBox(view.width, view.height, static_cast<int>(bw), static_cast<int>(bh));
}

// A DIBitmap copy of a picture of either kind.
HBITMAP BitmapCopyOf(HGLOBAL dib, HBITMAP bitmap) { return dib ? ConvertDIB2DIBitmap(dib) : CopyDIBitmap(bitmap); }

}  // namespace

HGLOBAL WINAPI MakeSmallDIB(HGLOBAL dib, const RECT *box) {
    if (!dib) return nullptr;
    MetaPicture src(dib, nullptr);
    const PixelView view = src.view();
    const auto fit = BoxFit(view, box);
    if (!fit) return nullptr;
    if (fit->width >= view.width || fit->height >= view.height) return CopyDIB(dib);
    // MakeBlankDIBWithBI takes 1, 4, 8 and 24 bits and copies the table.
    OwnedPicture out(MakeBlankDIBWithBI(src.header(), fit->width, fit->height));
    if (!out) return nullptr;
    const ColourKernel kernel = view.bitCount == 24 ? ShrinkBilinearTo24 : SampleNearestIndexed;
    if (!FillPicture(out.dib(), nullptr, kernel, view)) return nullptr;
    return out.ReleaseDib();
}

HBITMAP WINAPI MakeSmallDIBitmap(HGLOBAL dib, HBITMAP bitmap, const RECT *box) {
    if (!dib && !bitmap) return nullptr;
    MetaPicture src(dib, bitmap);
    const PixelView view = src.view();
    auto fit = BoxFit(view, box);
    if (!fit || !IsDecodableBitCount(view.bitCount)) return nullptr;
    if (fit->width > view.width || fit->height > view.height) {
        // Never enlarged: a 24-bit picture is copied, any other is brought
        // to 24 bits at its own size.
        if (view.bitCount == 24) return BitmapCopyOf(dib, dib ? nullptr : bitmap);
        fit = FitSize{view.width, view.height};
    }
    OwnedPicture out(MakeBlankFCDIBitmap(fit->width, fit->height));
    if (!out || !FillPicture(nullptr, out.bitmap(), ShrinkBilinearTo24, view)) return nullptr;
    return out.ReleaseBitmap();
}

HBITMAP WINAPI MakeSmallMonoDIBitmap(HGLOBAL dib, HBITMAP bitmap, const RECT *box) {
    if (!dib && !bitmap) return nullptr;
    MetaPicture src(dib, bitmap);
    const PixelView view = src.view();
    const auto fit = BoxFit(view, box);
    if (!fit || view.bitCount != 1) return nullptr;
    if (fit->width > view.width || fit->height > view.height) return BitmapCopyOf(dib, dib ? nullptr : bitmap);

    struct {
        BITMAPINFOHEADER header;
        RGBQUAD table[2];
    } info{};
    info.header = *src.header();
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = fit->width;
    info.header.biHeight = fit->height;
    info.header.biCompression = BI_RGB;
    info.header.biSizeImage = BitmapWidthBytes(static_cast<DWORD>(fit->width), 1) * static_cast<DWORD>(fit->height);
    info.header.biClrUsed = info.header.biClrImportant = 2;
    const auto *table = reinterpret_cast<const RGBQUAD *>(reinterpret_cast<const uint8_t *>(src.header()) +
                                                          src.header()->biSize);
    const unsigned entries = std::min<unsigned>(2, DibNumColors(src.header()));
    for (unsigned i = 0; i < entries; ++i) info.table[i] = table[i];

    OwnedPicture out(MakeBlankDIBitmapImg(reinterpret_cast<BITMAPINFO *>(&info)));
    if (!out || !FillPicture(nullptr, out.bitmap(), SampleNearestIndexed, view)) return nullptr;
    return out.ReleaseBitmap();
}
