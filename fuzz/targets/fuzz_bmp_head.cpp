// The guard before the system's BMP loaders, decided from a file's first
// bytes and its size.  The input is the whole file; the guard sees its
// head only.  A file it passes holds its block and its rows.
#include <algorithm>
#include <memory>

#include "dib_format.h"
#include "fuzz_support.h"

using namespace dibformat;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const size_t headBytes = std::min(size, kBmpHeadBytes);
    // The head in a block of its own, so that a read past it is seen.
    std::unique_ptr<uint8_t[]> head(new uint8_t[headBytes]);
    std::copy(data, data + headBytes, head.get());
    const bool headWhole = BmpHeadLooksWhole(head.get(), headBytes, size);
    if (headWhole && size >= kBmpFileHeaderBytes && ReadBmpFileHeader(data).type == kBmpSignature) {
        FUZZ_CHECK(DibBlockIsWhole(data + kBmpFileHeaderBytes, size - kBmpFileHeaderBytes));
    }
    return 0;
}
