// The exported entry points of Stampwell.brs: one stamp for each line of
// stamp_list.h, named "Xi_" + the stamp function as the string table's
// IDs 2400 + i give them, and the stamp builder "_Xi_CreateStampBrush@16"
// for callers that bring strips of their own (resources of this plug-in).
// Each runs over the module's one engine state; no C++ exception leaves an
// entry point.
#include <windows.h>

#include "brush_platform.h"
#include "stamp_brushes.h"

namespace {

int32_t Run(stampwell::StampFunction stamp, PlugInBrushContext *ctx) noexcept {
    try {
        return stamp(brush::ModuleEngine(), ctx);
    } catch (...) {
        return 0;
    }
}

}  // namespace

extern "C" {

#define STAMPWELL_STAMP(name, ordinal, strip, pictures) \
    int32_t PLUGIN_CALL Xi_##name(PlugInBrushContext *ctx) { return Run(stampwell::name, ctx); }
#include "stamp_list.h"
#undef STAMPWELL_STAMP

// Builds a stamp from picture strip `stripId` (low 16 bits) and the mask
// strip after it, pictures of frame[0] x frame[1] pixels, `count` of them.
int32_t PLUGIN_CALL Xi_CreateStampBrush(PlugInBrushContext *ctx, int32_t stripId, const int32_t *frame,
                                        int32_t count) {
    try {
        return stampwell::CreateStamp(brush::ModuleEngine(), ctx, stripId, frame, count);
    } catch (...) {
        return 0;
    }
}

}  // extern "C"
