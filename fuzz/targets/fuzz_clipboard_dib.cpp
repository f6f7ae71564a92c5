// A CF_DIB block from the clipboard, checked against a screen of the size
// its own header names (so that the deeper checks are reached) and against
// a fixed one.  An accepted block must hold everything its header implies.
#include "clipboard_dib.h"
#include "dib_format.h"
#include "fuzz_support.h"

using namespace dibformat;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    (void)pintora::IsScreenSizeDib(data, size, 640, 480);
    const auto f = ReadDibHeaderFieldsChecked(data, size);
    if (!f) return 0;
    if (!pintora::IsScreenSizeDib(data, size, f->width, f->height)) return 0;
    const auto layout = ComputeBlockLayout(*f);
    FUZZ_CHECK(layout.has_value());
    FUZZ_CHECK(f->headerSize == kInfoHeaderSize && f->height > 0 && f->planes == 1);
    const bool rle = f->compression == kCompressionRle8 || f->compression == kCompressionRle4;
    fuzzing::Touch(data, rle ? layout->bitsOffset + size_t{f->sizeImage} : layout->totalBytes);
    return 0;
}
