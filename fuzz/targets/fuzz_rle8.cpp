// Run-length data (RLE8, and RLE4 when the first byte is odd): the check
// that decides whether a stream may be handed to the system's expansion.
// The first three bytes choose the picture (width, height 1..64, bits);
// the stream is the rest, exactly.  When the check passes, a careful
// expansion into exactly width x height pixels must neither leave the
// picture nor read past the stream.
#include <memory>
#include <vector>

#include "dib_convert.h"
#include "fuzz_support.h"

namespace {

// Expands the stream the way the system does, bottom row first, checking
// every write and read against the picture and the data.
void ExpandChecked(const uint8_t *data, size_t size, int width, int height, int bitCount) {
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height);
    int64_t x = 0, y = 0;
    size_t pos = 0;
    auto put = [&](unsigned value) {
        FUZZ_CHECK(x >= 0 && x < width && y >= 0 && y < height);
        pixels[static_cast<size_t>(y) * width + x] = static_cast<uint8_t>(value);
        ++x;
    };
    while (pos + 2 <= size) {
        const unsigned count = data[pos], code = data[pos + 1];
        pos += 2;
        if (count > 0) {
            for (unsigned i = 0; i < count; ++i) {
                put(bitCount == 8 ? code : (i & 1) ? (code & 0x0F) : (code >> 4));
            }
            continue;
        }
        if (code == 0) {
            x = 0;
            ++y;
        } else if (code == 1) {
            return;
        } else if (code == 2) {
            FUZZ_CHECK(pos + 2 <= size);
            x += data[pos];
            y += data[pos + 1];
            pos += 2;
        } else {
            const size_t bytes = bitCount == 8 ? code : (code + 1) / 2;
            FUZZ_CHECK(pos + bytes <= size);
            for (unsigned i = 0; i < code; ++i) {
                const uint8_t b = data[pos + (bitCount == 8 ? i : i / 2)];
                put(bitCount == 8 ? b : (i & 1) ? (b & 0x0F) : (b >> 4));
            }
            pos += bytes + (bytes & 1);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 3) return 0;
    const int width = 1 + data[0] % 64;
    const int height = 1 + data[1] % 64;
    const int bitCount = (data[2] & 1) ? 4 : 8;
    const size_t streamBytes = size - 3;
    // The stream in a block of its own (new[0] included), so that a read
    // past it is seen.
    std::unique_ptr<uint8_t[]> stream(new uint8_t[streamBytes]);
    for (size_t i = 0; i < streamBytes; ++i) stream[i] = data[3 + i];
    if (!dibwork::RleStreamFits(stream.get(), streamBytes, width, height, bitCount)) return 0;
    ExpandChecked(stream.get(), streamBytes, width, height, bitCount);
    return 0;
}
