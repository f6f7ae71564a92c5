// The brush menus: the one a host can have appended to one of its menus,
// and the brush list the settings dialog pops up.  Both have one item per
// brush in table order and a new column where the group changes.
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

namespace bristler {

int TrackBrushList(PlugInBrushManager *manager, HWND window, POINT at) {
    if (!manager || !manager->brushes || manager->brushCount <= 0) return 0;
    HMENU menu = CreatePopupMenu();
    if (!menu) return 0;
    for (int32_t position = 0; position < manager->brushCount; ++position) {
        const BrushDescriptor &brush = manager->brushes[position];
        UINT flags = MF_STRING;
        if (position > 0 && brush.group != manager->brushes[position - 1].group) flags |= MF_MENUBARBREAK;
        AppendMenuA(menu, flags, static_cast<UINT_PTR>(position + 1), brush.name);
    }
    if (manager->currentBrush >= 0 && manager->currentBrush < manager->brushCount) {
        const UINT current = static_cast<UINT>(manager->currentBrush + 1);
        CheckMenuRadioItem(menu, current, current, current, MF_BYCOMMAND);
    }
    ClientToScreen(window, &at);
    // A popup menu is only tracked and dismissed properly for the
    // foreground window.
    SetForegroundWindow(window);
    const int choice = static_cast<int>(TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON |
                                                                 TPM_RETURNCMD,
                                                       at.x, at.y, 0, window, nullptr));
    DestroyMenu(menu);
    if (choice <= 0) return 0;
    // Ids of the host's brush menu when it has one, else 8000 + position.
    const int id = manager->menuBaseId ? manager->menuBaseId + choice - 1 : 7999 + choice;
    SendMessageA(manager->owner, WM_COMMAND, MAKEWPARAM(id, 0), 0);
    return choice;
}

}  // namespace bristler
