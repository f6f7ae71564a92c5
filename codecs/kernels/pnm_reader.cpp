// Portable any-map reader (P1..P6).  The header is the magic number, then
// width, height and (except for bitmaps) maxval as decimal numbers
// separated by white space, with comments from '#' to the end of a line.
// Binary forms start their samples after exactly one white-space byte.
#include "decoded_image.h"

namespace codecs {
namespace {

class Cursor {
public:
    Cursor(const uint8_t *p, const uint8_t *end) : p_(p), end_(end) {}

    static bool IsSpace(uint8_t c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

    void SkipSpaceAndComments() {
        while (p_ < end_) {
            if (*p_ == '#') {
                while (p_ < end_ && *p_ != '\n' && *p_ != '\r') ++p_;
            } else if (IsSpace(*p_)) {
                ++p_;
            } else {
                return;
            }
        }
    }

    // A decimal number of at most `maxDigits` digits after white space.
    std::optional<uint32_t> Number(int maxDigits = 9) {
        SkipSpaceAndComments();
        uint32_t value = 0;
        int digits = 0;
        while (p_ < end_ && *p_ >= '0' && *p_ <= '9') {
            if (++digits > maxDigits) return std::nullopt;
            value = value * 10 + static_cast<uint32_t>(*p_++ - '0');
        }
        if (digits == 0) return std::nullopt;
        return value;
    }

    // One plain-bitmap digit: white space between them is optional.
    std::optional<uint32_t> BitDigit() {
        SkipSpaceAndComments();
        if (p_ >= end_ || (*p_ != '0' && *p_ != '1')) return std::nullopt;
        return static_cast<uint32_t>(*p_++ - '0');
    }

    bool SkipOneSpace() {
        if (p_ >= end_ || !IsSpace(*p_)) return false;
        ++p_;
        return true;
    }

    const uint8_t *pos() const { return p_; }
    size_t left() const { return static_cast<size_t>(end_ - p_); }

private:
    const uint8_t *p_;
    const uint8_t *end_;
};

void PutGrey(DecodedImage &image, size_t index, uint8_t v) {
    image.bgr[index * 3] = image.bgr[index * 3 + 1] = image.bgr[index * 3 + 2] = v;
}

uint8_t Scale(uint32_t sample, uint32_t maxval) {
    if (sample > maxval) sample = maxval;
    return static_cast<uint8_t>((sample * 255u + maxval / 2) / maxval);
}

// P1 and P4: 1 is black.
bool ReadBitmap(Cursor &in, bool binary, DecodedImage &image) {
    const size_t rowBytes = (static_cast<size_t>(image.width) + 7) / 8;
    if (binary && in.left() < rowBytes * image.height) return false;
    const uint8_t *raw = in.pos();
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            uint32_t bit;
            if (binary) {
                bit = (raw[y * rowBytes + x / 8] >> (7 - (x & 7))) & 1;
            } else {
                auto digit = in.BitDigit();
                if (!digit) return false;
                bit = *digit;
            }
            PutGrey(image, static_cast<size_t>(y) * image.width + x, bit ? 0 : 255);
        }
    }
    return true;
}

// P2, P3, P5, P6: `channels` samples per pixel, red first.
bool ReadSamples(Cursor &in, bool binary, int channels, uint32_t maxval, DecodedImage &image) {
    const size_t pixels = static_cast<size_t>(image.width) * image.height;
    const size_t sampleBytes = maxval > 255 ? 2 : 1;
    if (binary && in.left() < pixels * channels * sampleBytes) return false;
    const uint8_t *raw = in.pos();
    for (size_t i = 0; i < pixels; ++i) {
        uint8_t v[3];
        for (int c = 0; c < channels; ++c) {
            uint32_t sample;
            if (binary) {
                sample = sampleBytes == 2 ? (raw[0] << 8) | raw[1] : raw[0];
                raw += sampleBytes;
            } else {
                auto n = in.Number(5);
                if (!n) return false;
                sample = *n;
            }
            v[c] = Scale(sample, maxval);
        }
        if (channels == 1) {
            PutGrey(image, i, v[0]);
        } else {
            image.bgr[i * 3] = v[2];
            image.bgr[i * 3 + 1] = v[1];
            image.bgr[i * 3 + 2] = v[0];
        }
    }
    return true;
}

}  // namespace

std::optional<DecodedImage> DecodePnm(const uint8_t *data, size_t size) {
    if (!data || size < 3 || data[0] != 'P' || data[1] < '1' || data[1] > '6') return std::nullopt;
    const int kind = data[1] - '0';
    const bool binary = kind >= 4;
    const bool bitmap = kind == 1 || kind == 4;
    const int channels = (kind == 3 || kind == 6) ? 3 : 1;

    Cursor in(data + 2, data + size);
    auto width = in.Number();
    auto height = in.Number();
    if (!width || !height) return std::nullopt;
    uint32_t maxval = 1;
    if (!bitmap) {
        auto m = in.Number(5);
        if (!m || *m < 1 || *m > 65535) return std::nullopt;
        maxval = *m;
    }
    if (binary && !in.SkipOneSpace()) return std::nullopt;

    // Every sample takes at least one byte (a binary one exactly its
    // bytes): a file too short for its pixels is refused before they are
    // allocated.
    const uint64_t pixels = uint64_t{*width} * *height;
    uint64_t needed = bitmap ? pixels : pixels * channels;
    if (binary) needed = bitmap ? (uint64_t{*width} + 7) / 8 * *height : needed * (maxval > 255 ? 2 : 1);
    if (needed > in.left()) return std::nullopt;
    auto image = AllocateDecoded(*width, *height);
    if (!image) return std::nullopt;
    const bool ok = bitmap ? ReadBitmap(in, binary, *image) : ReadSamples(in, binary, channels, maxval, *image);
    if (!ok) return std::nullopt;
    return image;
}

}  // namespace codecs
