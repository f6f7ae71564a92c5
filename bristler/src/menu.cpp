// The brush menu a host can have appended to one of its menus: one item per
// brush in table order, a new column where the group changes.
#include <cstdio>

#include "brush_rules.h"
#include "bristler_internal.h"

int WINAPI SetPlugInMenu(PlugInBrushManager *manager, HMENU menu, int firstId) {
    if (!manager || !menu || !manager->brushes) return 0;
    for (int32_t position = 0; position < manager->brushCount; ++position) {
        const BrushDescriptor &brush = manager->brushes[position];
        // The name field holds at most 39 bytes, so the item always fits.
        char text[BRUSH_NAME_BYTES + 8];
        std::snprintf(text, sizeof(text), "%s(&%c)", brush.name, bristler::MenuMnemonic(position));
        UINT flags = MF_STRING;
        if (position > 0 && brush.group != manager->brushes[position - 1].group) flags |= MF_MENUBARBREAK;
        AppendMenuA(menu, flags, static_cast<UINT_PTR>(firstId + position), text);
    }
    manager->menuBaseId = firstId;
    return 1;
}
