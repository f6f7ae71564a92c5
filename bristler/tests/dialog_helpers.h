// What the settings dialog tests share: window texts, real mouse input,
// and a look into a popup menu while its owner's thread is tracking it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace bristler_test {

// A window's text in UTF-8.
std::string WindowText(HWND window);

// A real left click (or right click) at a screen point, through the
// system's input queue.
void ClickAt(POINT screen, bool right = false);
// Presses and releases one key through the system's input queue.
void PressKey(WORD virtualKey);

struct MenuItemSeen {
    std::string text;  // UTF-8
    UINT id = 0;
    UINT type = 0;   // MFT_*
    UINT state = 0;  // MFS_*
};

struct MenuSeen {
    bool found = false;
    POINT at{};  // top-left of the menu window on the screen
    std::vector<MenuItemSeen> items;
};

enum class MenuAction { kCancel, kChoose };

// Run on a thread of its own: waits up to 15 s for a popup menu of this
// process, reads it, then cancels it (Escape) or clicks item `index`
// with the mouse.
MenuSeen ReadPoppedMenu(MenuAction action, int index);
// Does `open` (which makes this thread pop up a menu, directly or through
// posted messages or input) and pumps this thread's messages until
// ReadPoppedMenu, on a thread of its own, has seen and ended the menu.
MenuSeen WithPoppedMenu(void (*open)(void *), void *context, MenuAction action, int index);

}  // namespace bristler_test
