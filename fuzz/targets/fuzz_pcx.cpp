// A PCX file as the codec library reads it.  A decoded picture has the
// size it says and no more pixels than the limits allow.
#include "decoded_image.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const auto image = codecs::DecodePcx(data, size);
    if (!image) return 0;
    FUZZ_CHECK(image->width >= 1 && image->height >= 1);
    FUZZ_CHECK(uint64_t(image->width) * uint64_t(image->height) <= codecs::kMaxPixels);
    FUZZ_CHECK(image->bgr.size() == size_t(image->width) * size_t(image->height) * 3);
    return 0;
}
