// The brushes of Penlith as plain functions over a PlugInBrushContext,
// without <windows.h>: the exported entry points (src/entry_points.cpp)
// call them, and the sanitizer build links them into the brush tests
// directly.  Each brush follows the engine's command skeleton
// (brush::RunBrush); the files of this folder hold one brush family each.
// brush_list.h names them all, with what each one paints.
#pragma once

#include <cstddef>
#include <cstdint>

#include "plugin/brush_plugin.h"

namespace brush {
struct EngineState;
}

namespace penlith {

// A brush: one command of the context over the plug-in's engine state.
using BrushFunction = int32_t (*)(brush::EngineState &engine, PlugInBrushContext *ctx);

#define PENLITH_BRUSH(name, ordinal) int32_t name(brush::EngineState &engine, PlugInBrushContext *ctx);
#include "brush_list.h"
#undef PENLITH_BRUSH

// The brushes of brush_list.h with their export names and ordinals.
struct BrushEntry {
    const char *exportName;
    unsigned ordinal;
    BrushFunction run;
};
extern const BrushEntry kBrushEntries[];
extern const size_t kBrushEntryCount;

// The brush of an export name, or NULL.
BrushFunction FindBrush(const char *exportName);

}  // namespace penlith
