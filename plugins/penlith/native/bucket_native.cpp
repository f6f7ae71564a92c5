// The paint bucket's platform in the sanitizer build: the match mask in
// plain memory, the connected part and the growth by the plug-in's own
// functions, no cursor.
#include "bucket_fill.h"

namespace penlith::bucket {

std::unique_ptr<MaskPicture> MakeMaskPicture(int32_t width, int32_t height) {
    return MakeMemoryMaskPicture(width, height);
}

void *ShowWaitCursor() { return nullptr; }

void RestoreCursor(void *) {}

}  // namespace penlith::bucket
