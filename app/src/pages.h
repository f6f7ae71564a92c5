// Saving the drawing: the automatic page of the current mode and the
// explicit "save as".
//
// The page files (24 per mode, picture and thumbnail beside the program)
// and the save dialog come with the pages; until then these calls write
// nothing, and every caller goes on with the rest of its work.
#pragma once

namespace pintora {

struct AppState;

// Saves the canvas into the current page of the current mode.
void SaveCurrentPage(const AppState &app);
// Asks for a file name and saves the canvas as a bitmap or JPEG file.
void SaveCanvasAs(AppState &app);

}  // namespace pintora
