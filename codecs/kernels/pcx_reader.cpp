// PCX reader.  File layout (little-endian):
//   0  manufacturer 0x0A     1  version          2  encoding (1 = RLE)
//   3  bits per pixel/plane  4  xmin, ymin, xmax, ymax (four u16)
//   16 header palette (16 x RGB)                  65 number of planes
//   66 bytes per plane line (u16, even)           128 the encoded lines
// Each line holds the planes one after another; a byte with the two top
// bits set repeats the next byte (count in the low six bits).  8-bit
// single-plane files end with 0x0C and a 256 x RGB palette.
#include <cstring>

#include "decoded_image.h"
#include "dib_format.h"

namespace codecs {
namespace {

constexpr size_t kHeaderBytes = 128;
constexpr size_t kVgaPaletteBytes = 769;  // marker 0x0C + 256 x RGB

using dibformat::Le16;

struct Rgb {
    uint8_t r, g, b;
};

// The run-length stream, read a line at a time.  A run may go on past the
// end of a line (some writers do that); its rest opens the next line.
class RunReader {
public:
    RunReader(const uint8_t *p, const uint8_t *end) : p_(p), end_(end) {}
    // Fills `out` completely; false when the stream ends first.
    bool Fill(std::vector<uint8_t> &out) {
        size_t filled = 0;
        while (filled < out.size()) {
            if (pending_ == 0) {
                if (p_ >= end_) return false;
                uint8_t c = *p_++;
                pending_ = 1;
                if ((c & 0xC0) == 0xC0) {
                    pending_ = c & 0x3F;
                    if (p_ >= end_) return false;
                    c = *p_++;
                }
                value_ = c;
                continue;
            }
            const size_t count = pending_ < out.size() - filled ? pending_ : out.size() - filled;
            std::memset(out.data() + filled, value_, count);
            filled += count;
            pending_ -= count;
        }
        return true;
    }

private:
    const uint8_t *p_;
    const uint8_t *end_;
    size_t pending_ = 0;
    uint8_t value_ = 0;
};

void Put(DecodedImage &image, int x, int y, Rgb c) {
    uint8_t *px = image.Pixel(x, y);
    px[0] = c.b;
    px[1] = c.g;
    px[2] = c.r;
}

}  // namespace

std::optional<DecodedImage> DecodePcx(const uint8_t *data, size_t size) {
    if (!data || size < kHeaderBytes) return std::nullopt;
    if (data[0] != 0x0A || data[2] != 1) return std::nullopt;
    const int bits = data[3];
    const int planes = data[65];
    const int xmin = Le16(data + 4), ymin = Le16(data + 6), xmax = Le16(data + 8), ymax = Le16(data + 10);
    const size_t lineBytes = Le16(data + 66);
    if (xmax < xmin || ymax < ymin) return std::nullopt;
    const int64_t width = int64_t(xmax) - xmin + 1, height = int64_t(ymax) - ymin + 1;

    const bool mono = bits == 1 && planes == 1;
    const bool ega = (bits == 1 && planes == 4) || (bits == 4 && planes == 1);
    const bool vga = bits == 8 && planes == 1;
    const bool rgb = bits == 8 && (planes == 3 || planes == 4);
    if (!mono && !ega && !vga && !rgb) return std::nullopt;
    if (lineBytes * 8 < static_cast<size_t>(width) * bits) return std::nullopt;

    const uint8_t *end = data + size;
    Rgb palette[256] = {};
    if (vga) {
        if (size < kHeaderBytes + kVgaPaletteBytes) return std::nullopt;
        const uint8_t *pal = end - kVgaPaletteBytes;
        if (pal[0] != 0x0C) return std::nullopt;
        for (int i = 0; i < 256; ++i) palette[i] = {pal[1 + 3 * i], pal[2 + 3 * i], pal[3 + 3 * i]};
        end = pal;
    } else if (ega) {
        for (int i = 0; i < 16; ++i) palette[i] = {data[16 + 3 * i], data[17 + 3 * i], data[18 + 3 * i]};
    } else if (mono) {
        palette[0] = {0, 0, 0};
        palette[1] = {255, 255, 255};
    }

    const size_t scanBytes = lineBytes * planes;
    // Two bytes of the stream give at most 63 bytes of lines: a file too
    // short for its rows is refused before its picture is allocated.
    const uint64_t encoded = static_cast<uint64_t>(end - (data + kHeaderBytes));
    if (uint64_t{scanBytes} * static_cast<uint64_t>(height) * 2 > encoded * 63) return std::nullopt;
    auto image = AllocateDecoded(width, height);
    if (!image) return std::nullopt;
    std::vector<uint8_t> line(scanBytes);
    RunReader runs(data + kHeaderBytes, end);
    for (int y = 0; y < image->height; ++y) {
        if (!runs.Fill(line)) return std::nullopt;
        for (int x = 0; x < image->width; ++x) {
            if (rgb) {
                Put(*image, x, y, {line[x], line[lineBytes + x], line[2 * lineBytes + x]});
            } else if (vga) {
                Put(*image, x, y, palette[line[x]]);
            } else if (bits == 4) {
                const uint8_t b = line[x / 2];
                Put(*image, x, y, palette[(x & 1) ? (b & 0x0F) : (b >> 4)]);
            } else {
                int index = 0;
                for (int plane = 0; plane < planes; ++plane) {
                    const int bit = (line[plane * lineBytes + x / 8] >> (7 - (x & 7))) & 1;
                    index |= bit << plane;
                }
                Put(*image, x, y, palette[index]);
            }
        }
    }
    return image;
}

}  // namespace codecs
