// Building a stamp from the plug-in's own strips: the picture strip is
// loaded as a DIB section, made 24-bit and scaled by the image library to
// S x (n S); the mask strip is loaded as it is (8 bits, one byte a pixel,
// its index the grey level).  Every bitmap made on the way is deleted on
// every way out.
#include <windows.h>

#include <cstdint>

#include "brush_platform.h"
#include "dibwork.h"
#include "plugin_module.h"
#include "stamp_brushes.h"

namespace stampwell {

namespace {

// A DIBitmap of the image library, deleted when it goes.
class StripBitmap {
public:
    explicit StripBitmap(HBITMAP bitmap = nullptr) : bitmap_(bitmap) {}
    ~StripBitmap() { Reset(); }
    StripBitmap(const StripBitmap &) = delete;
    StripBitmap &operator=(const StripBitmap &) = delete;
    HBITMAP get() const { return bitmap_; }
    HBITMAP *address() { return &bitmap_; }
    void Reset() {
        if (bitmap_) FreeDIBitmap(&bitmap_);
        bitmap_ = nullptr;
    }
    explicit operator bool() const { return bitmap_ != nullptr; }

private:
    HBITMAP bitmap_;
};

HBITMAP LoadStrip(WORD id) {
    return LoadImageDIBitmap(brush::PlugInHandle(), MAKEINTRESOURCEA(id), LR_CREATEDIBSECTION | LR_DEFAULTSIZE);
}

// The header and bits of a loaded strip; false when it has none or is
// stored top-down (its rows would be read in the wrong order).
bool ReadStrip(HBITMAP bitmap, BITMAPINFOHEADER *header, void **bits) {
    *header = BITMAPINFOHEADER{};
    *bits = nullptr;
    return GetDIBitmapInfo(bitmap, header, bits) && *bits && header->biWidth > 0 && header->biHeight > 0 &&
           header->biCompression == BI_RGB;
}

}  // namespace

int32_t CreateStamp(brush::EngineState &engine, PlugInBrushContext *ctx, int32_t stripId, const int32_t *frame,
                    int32_t count) {
    if (!ctx || !frame || count <= 0 || frame[0] <= 0 || frame[1] <= 0) return 0;
    brush::FreeBrushBuffers(engine, ctx);

    const WORD colourId = LOWORD(stripId);
    StripBitmap colour(LoadStrip(colourId));
    if (!colour || !Convert24DIBitmap(colour.address())) return 0;
    BITMAPINFOHEADER colourInfo;
    void *colourBits;
    if (!ReadStrip(colour.get(), &colourInfo, &colourBits) || colourInfo.biBitCount != 24) return 0;

    StripBitmap mask(LoadStrip(static_cast<WORD>(colourId + 1)));
    BITMAPINFOHEADER maskInfo;
    void *maskBits;
    if (!mask || !ReadStrip(mask.get(), &maskInfo, &maskBits) || maskInfo.biBitCount != 8) return 0;

    const int64_t stripHeight = int64_t{frame[1]} * count;
    if (colourInfo.biWidth != maskInfo.biWidth || colourInfo.biHeight != maskInfo.biHeight ||
        colourInfo.biWidth < frame[0] || colourInfo.biHeight != stripHeight) {
        return 0;
    }

    const int32_t side = StampSide(ctx);
    if (side > brush::kMaxTipSide || int64_t{side} * count > INT32_MAX) return 0;
    StripBitmap scaled(StretchDIBitmap2DIBitmap(colour.get(), side, side * count));
    colour.Reset();
    BITMAPINFOHEADER scaledInfo;
    void *scaledBits;
    if (!scaled || !ReadStrip(scaled.get(), &scaledInfo, &scaledBits) || scaledInfo.biBitCount != 24 ||
        scaledInfo.biWidth != side || scaledInfo.biHeight != side * count) {
        return 0;
    }

    ScaledPictures pictures;
    pictures.bits = static_cast<const uint8_t *>(scaledBits);
    pictures.stride = GetBitmapWidthBytes(&scaledInfo);
    pictures.bytes = GetImageSize(&scaledInfo);
    MaskStrip masks;
    masks.bits = static_cast<const uint8_t *>(maskBits);
    masks.width = maskInfo.biWidth;
    masks.frameHeight = frame[1];
    masks.stride = GetBitmapWidthBytes(&maskInfo);
    return KeepStamp(engine, ctx, side, count, pictures, masks);
}

}  // namespace stampwell
