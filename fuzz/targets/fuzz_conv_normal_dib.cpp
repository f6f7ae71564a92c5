// A DIB block as ConvNormalDIB takes it from a file or a resource: a core
// header is first rewritten with a 40-byte one, then the block is kept,
// handed to the system's conversion or refused.  Whatever is kept or
// converted must hold what its header announces.
#include "dib_convert.h"
#include "fuzz_support.h"

using namespace dibwork;

namespace {

void CheckPlanned(const uint8_t *block, size_t size) {
    const NormalDibPlan plan = PlanNormalDib(block, size);
    if (plan == NormalDibPlan::kRefuse) return;
    FUZZ_CHECK(DibBlockIsSound(block, size));
    const auto f = ReadDibHeaderFieldsChecked(block, size);
    FUZZ_CHECK(f && f->headerSize == kInfoHeaderSize);
    const auto bytes = PackedDibBytes(*f);
    FUZZ_CHECK(bytes && *bytes <= size);
    fuzzing::Touch(block, *bytes);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const auto f = ReadDibHeaderFieldsChecked(data, size);
    if (!f) return 0;
    if (!f->core) {
        CheckPlanned(data, size);
        return 0;
    }
    const auto info = CoreToInfoBlock(data, size);
    if (!info) return 0;
    const auto wide = ReadDibHeaderFieldsChecked(info->data(), info->size());
    FUZZ_CHECK(wide && !wide->core && wide->width == f->width && wide->height == f->height);
    FUZZ_CHECK(PackedDibBytes(*wide) == info->size());
    CheckPlanned(info->data(), info->size());
    return 0;
}
