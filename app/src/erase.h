// Erasing: 26 x 26 squares of the background copied back into the canvas
// along the pointer's path (or painted white after the white paper).
#pragma once

#include <windows.h>

namespace pintora {

struct AppState;

// Erases from the last erase point to `point` (`start`: a button press,
// one square at the point) and repaints what changed.
void EraseTo(AppState &app, POINT point, bool start);

}  // namespace pintora
