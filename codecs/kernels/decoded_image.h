// The common result of the small file readers of the codec libraries: a
// picture of 24-bit pixels, blue, green, red, rows from the top and packed
// without padding.  The libraries turn it into a bottom-up DIB.
//
// Limits: every reader refuses a width or height outside 1..kMaxSide and
// more than kMaxPixels pixels, before it allocates anything, so a hostile
// header cannot ask for more memory than a 32-bit process can give.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace codecs {

constexpr int kMaxSide = 32768;
constexpr uint64_t kMaxPixels = 16u * 1024u * 1024u;

struct DecodedImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> bgr;  // width * height * 3 bytes, top row first

    uint8_t *Pixel(int x, int y) { return bgr.data() + (static_cast<size_t>(y) * width + x) * 3; }
    const uint8_t *Pixel(int x, int y) const {
        return bgr.data() + (static_cast<size_t>(y) * width + x) * 3;
    }
};

// A blank picture of the size, or nothing when the size is out of limits.
std::optional<DecodedImage> AllocateDecoded(int64_t width, int64_t height);

// PCX: run-length encoded, 1 bit (mono), 1 bit x 4 planes and 4 bits
// (16 colours from the header palette), 8 bits with the 256-colour palette
// at the end of the file, 8 bits x 3 or 4 planes (true colour).  Nothing
// for other forms and for truncated or inconsistent files.
std::optional<DecodedImage> DecodePcx(const uint8_t *data, size_t size);

// Portable any-map: P1/P4 (bitmap, 1 = black), P2/P5 (grey), P3/P6
// (colour), maxval 1..65535 (two bytes big-endian per sample above 255),
// samples scaled to 0..255.  Nothing for other forms and truncated files.
std::optional<DecodedImage> DecodePnm(const uint8_t *data, size_t size);

}  // namespace codecs
