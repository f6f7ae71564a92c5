// The DIB-format layer's header checks over one packed block: the checked
// header read, the layout with its 32-bit sums, the colour counts and the
// whole-block check.  Whatever they accept must lie inside the bytes.
#include "dib_format.h"
#include "fuzz_support.h"

using namespace dibformat;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const bool whole = DibBlockIsWhole(data, size);
    const auto f = ReadDibHeaderFieldsChecked(data, size);
    FUZZ_CHECK(f || !whole);
    if (!f) return 0;
    FUZZ_CHECK(f->headerSize <= size);
    const auto announced = AnnouncedColours(*f);
    if (announced) FUZZ_CHECK(*announced <= kMaxColours);
    (void)StrideBytesWrapping(static_cast<uint32_t>(f->width), f->bitCount);
    const auto stride = StrideBytesChecked(f->width, f->bitCount);
    const auto layout = ComputeBlockLayout(*f);
    if (layout) {
        FUZZ_CHECK(layout->totalBytes <= kMaxBlockBytes);
        FUZZ_CHECK(layout->bitsOffset == layout->headerBytes + layout->tableBytes);
        FUZZ_CHECK(uint64_t{layout->bitsOffset} + layout->imageBytes <= layout->totalBytes);
        if (stride && f->compression == kCompressionRgb) FUZZ_CHECK(*stride == layout->stride);
    }
    if (whole) {
        FUZZ_CHECK(layout.has_value() && announced.has_value());
        const bool rle = !f->core && (f->compression == kCompressionRle8 || f->compression == kCompressionRle4);
        fuzzing::Touch(data, rle ? layout->bitsOffset + size_t{f->sizeImage} : layout->totalBytes);
        // Indexed rows: every index of every row can be read.
        if (!rle && f->bitCount <= 8 && f->compression == kCompressionRgb) {
            for (uint32_t y = 0; y < layout->rows && y < 64; ++y) {
                const uint8_t *row = data + layout->bitsOffset + size_t{y} * layout->stride;
                for (int x = 0; x < f->width && x < 4096; ++x) (void)IndexAt(row, x, f->bitCount);
            }
        }
    }
    return 0;
}
