// The two screen-size pictures of the canvas: the background that erasing
// restores and the drawing on top of it, which always starts as a copy of
// a new background.
#pragma once

#include <windows.h>

namespace pintora {

struct AppState;

// The screen's size in pixels (the canvas window covers it).
SIZE ScreenSize();

// Frees both pictures; the white paper ends with them.
void FreePictures(AppState &app);

// Normal mode: the background is a picture of the whole screen as it is
// now (the canvas window is hidden first, so the desktop shows).
bool MakeScreenBackground(AppState &app);

// Kids mode: the drawing paper (bitmap 124) with "PaperIntensity" added to
// its colours, tiled over the screen.  When the texture is missing or
// cannot be converted the paper is plain white.
bool MakePaperBackground(AppState &app);

// Kids mode with the flat paper colour "ColKidsPaper".
bool MakeFlatBackground(AppState &app);

// A new background from a picture the caller hands over (a pasted screen
// shot): the picture becomes the canvas, and a copy of it the background.
bool AdoptPicture(AppState &app, HBITMAP picture);

// Copies the background into the canvas (clear).
bool RestoreBackground(AppState &app);

}  // namespace pintora
