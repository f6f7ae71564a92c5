// The brushes of Penlith as plain functions over a PlugInBrushContext,
// without <windows.h>: the exported entry points (src/entry_points.cpp)
// call them, and the sanitizer build links them into the brush tests
// directly.  Each brush follows the engine's command skeleton
// (brush::RunBrush); the files of this folder hold one brush family each.
#pragma once

#include <cstddef>
#include <cstdint>

#include "plugin/brush_plugin.h"

namespace penlith {

using BrushFunction = int32_t (*)(PlugInBrushContext *ctx);

// Airbrush ("エアブラシ"): soft raised-cosine tip, one jittered colour.
int32_t NormalBrush(PlugInBrushContext *ctx);
// Marker ("マーカー"): flat core of half the radius with a soft rim.
int32_t MarkerBrush(PlugInBrushContext *ctx);
// Finger ("指"): soft tip that smears the colour found under the stroke.
int32_t TouchBrush(PlugInBrushContext *ctx);

// The brushes implemented so far, by the export name the string table
// gives (ID 2400 + i).  The entry points of the other descriptors come with
// their brushes; until then the brush manager skips those descriptors
// because their export cannot be resolved.
struct BrushEntry {
    const char *exportName;
    BrushFunction run;
};
extern const BrushEntry kBrushEntries[];
extern const size_t kBrushEntryCount;

// The brush of an export name, or NULL.
BrushFunction FindBrush(const char *exportName);

}  // namespace penlith
