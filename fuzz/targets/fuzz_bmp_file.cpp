// A BMP file as Dibwork's ReadDIBFile takes it: the file header decides the
// size of the block that receives the rest of the file, and the block is
// kept only when it holds its header, table and rows.  The system loader
// is given a file only when BmpFileLooksWhole says so.
#include <cstring>
#include <memory>

#include "dib_format.h"
#include "fuzz_support.h"

using namespace dibformat;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const bool looksWhole = BmpFileLooksWhole(data, size);
    if (size < kBmpFileHeaderBytes) return 0;
    if (looksWhole && ReadBmpFileHeader(data).type == kBmpSignature) {
        // What the system loader is given holds its block and its rows.
        FUZZ_CHECK(DibBlockIsWhole(data + kBmpFileHeaderBytes, size - kBmpFileHeaderBytes));
        FUZZ_CHECK(ReadBmpFileHeader(data).offBits <= size);
    }
    const auto blockBytes = BmpBlockBytes(ReadBmpFileHeader(data), size);
    if (!blockBytes) return 0;
    const size_t rest = size - kBmpFileHeaderBytes;
    FUZZ_CHECK(*blockBytes >= rest);
    // The block is exactly bfSize bytes, its tail zeroed, as GHND gives it.
    std::unique_ptr<uint8_t[]> block(new uint8_t[*blockBytes ? *blockBytes : 1]());
    if (rest) std::memcpy(block.get(), data + kBmpFileHeaderBytes, rest);
    if (DibBlockIsWhole(block.get(), rest)) {
        const auto f = ReadDibHeaderFieldsChecked(block.get(), rest);
        FUZZ_CHECK(f.has_value());
        const auto layout = ComputeBlockLayout(*f);
        FUZZ_CHECK(layout.has_value());
        fuzzing::Touch(block.get(), layout->bitsOffset);
    }
    return 0;
}
