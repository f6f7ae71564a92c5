// Between the codec libraries' pixel buffers and the picture handles of
// their callers: a DIB (movable global block) or a DIBitmap (DIB section).
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "decoded_image.h"

namespace codecs {

// Stores the picture as a 24-bit bottom-up DIB into *dib when dib is
// given, otherwise as a 24-bit DIB section into *bitmap.  False (nothing
// stored) when neither is given or memory runs out.
bool StoreDecoded(const DecodedImage &image, HGLOBAL *dib, HBITMAP *bitmap);

// The pixels of a MetaDIB pair (the DIB when non-NULL) at 24 bits, top row
// first; the system converts any bit count or compression.
std::optional<DecodedImage> PixelsOf(HGLOBAL dib, HBITMAP bitmap);

// The colour indexes (one byte per pixel, top row first) and the colour
// table of a picture of 1, 4 or 8 bits; nothing for other pictures.
struct IndexedPixels {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> indexes;
    std::vector<RGBQUAD> palette;
};
std::optional<IndexedPixels> IndexedPixelsOf(HGLOBAL dib, HBITMAP bitmap);

// The whole file, or nothing when it cannot be read or exceeds maxBytes.
std::optional<std::vector<uint8_t>> ReadWholeFile(LPCSTR path, size_t maxBytes);

// Runs the body of an exported function: no C++ exception (an allocation
// that fails on a huge picture, above all) may leave the module, so any
// exception becomes the failure result 0.
template <typename Body>
int NoThrow(Body &&body) noexcept {
    try {
        return body();
    } catch (...) {
        return 0;
    }
}

// The ANSI path (UTF-8 in this process) as UTF-16 for the wide calls.
std::wstring WidePath(LPCSTR path);

}  // namespace codecs
