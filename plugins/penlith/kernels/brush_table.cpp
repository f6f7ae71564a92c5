// The brushes Penlith implements, by export name (from brush_list.h).
#include <cstring>

#include "penlith_brushes.h"

namespace penlith {

const BrushEntry kBrushEntries[] = {
#define PENLITH_BRUSH(name, ordinal) {"Xi_" #name, ordinal, name},
#include "brush_list.h"
#undef PENLITH_BRUSH
};
const size_t kBrushEntryCount = sizeof kBrushEntries / sizeof kBrushEntries[0];

BrushFunction FindBrush(const char *exportName) {
    if (!exportName) return nullptr;
    for (const BrushEntry &entry : kBrushEntries) {
        if (std::strcmp(entry.exportName, exportName) == 0) return entry.run;
    }
    return nullptr;
}

}  // namespace penlith
