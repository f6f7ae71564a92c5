// The modal dialogs of the end bar: the kids-mode options with the paper
// colour and brightness, and the about box.
#pragma once

#include <windows.h>

#include <cstdint>

namespace pintora {

struct AppState;

// Kids-mode options, owned by `owner`.  OK stores and returns the value of
// "KidsMode" (1 + 2 pen bar + 4 size bar + 8 flat paper); Cancel returns 0
// and leaves it.  The paper colour and brightness chosen meanwhile are
// kept either way.
int32_t ShowKidsModeDialog(AppState &app, HWND owner);

// Paper brightness with a live preview of the texture.  OK stores
// "PaperIntensity" and returns 1; Cancel returns 0 and leaves it.
int ShowPaperBrightnessDialog(AppState &app, HWND owner);

// The about box: the version, a line about the program, the picture.
void ShowAboutBox(AppState &app, HWND owner);

}  // namespace pintora
