// A caller's packed DIB as the file writers take it in (TakeDibBlock), and
// the colour-count rule it rests on.  The parts it reports lie inside the
// block and every byte it vouches for can be read; the colour count never
// exceeds what the bit count allows.
#include "dib_format.h"
#include "fuzz_support.h"

using namespace dibformat;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size >= kCoreHeaderSize) {
        const DibHeaderFields raw = size >= kInfoHeaderSize || Le32(data) == kCoreHeaderSize
                                        ? ReadDibHeaderFields(data)
                                        : DibHeaderFields{};
        const auto colours = AnnouncedColours(raw);
        if (colours) {
            FUZZ_CHECK(*colours <= kMaxColours);
            if (raw.bitCount >= 1 && raw.bitCount <= 8) FUZZ_CHECK(*colours <= (1u << raw.bitCount));
            FUZZ_CHECK(ColorCount(raw) == *colours);
        }
        FUZZ_CHECK(ColorTableBytes(raw) <= 1024);
    }
    const auto intake = TakeDibBlock(data, size);
    if (!intake) return 0;
    FUZZ_CHECK(!intake->fields.core);
    FUZZ_CHECK(intake->tableOffset == intake->fields.headerSize);
    FUZZ_CHECK(intake->tableEntries <= kMaxColours);
    FUZZ_CHECK(uint64_t{intake->tableOffset} + uint64_t{intake->tableEntries} * 4 <= intake->bitsOffset);
    FUZZ_CHECK(uint64_t{intake->bitsOffset} + intake->imageBytes <= size);
    if (intake->fields.compression == kCompressionRgb) {
        FUZZ_CHECK(uint64_t{intake->stride} * intake->rows <= intake->imageBytes);
    }
    fuzzing::Touch(data, size_t{intake->bitsOffset} + intake->imageBytes);
    return 0;
}
