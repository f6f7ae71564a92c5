// The block walk of a GIF file that marks its transparent index.  A refusal
// leaves the bytes alone; a success changes them in place or inserts one
// 8-byte control block, and doing it again changes nothing more.
#include <vector>

#include "fuzz_support.h"
#include "gif_blocks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const std::vector<uint8_t> original(data, data + size);
    // The index follows from the length: -1 (clear) and 0..255 all occur.
    const int index = static_cast<int>(size % 257) - 1;
    std::vector<uint8_t> gif = original;
    gif.shrink_to_fit();
    if (!codecs::SetGifTransparentIndex(gif, index)) {
        FUZZ_CHECK(gif == original);
        return 0;
    }
    FUZZ_CHECK(gif.size() == original.size() || gif.size() == original.size() + 8);
    std::vector<uint8_t> again = gif;
    FUZZ_CHECK(codecs::SetGifTransparentIndex(again, index));
    FUZZ_CHECK(again == gif);
    return 0;
}
