// Saving the drawing: the automatic page of the current mode, the
// explicit "save as", and turning pages with the page bar.  The files and
// their names are page_store's and page_files'.
#pragma once

namespace pintora {

struct AppState;

// Saves the canvas into the current page of the current mode.
void SaveCurrentPage(const AppState &app);
// Asks for a file name and saves the canvas as a bitmap or JPEG file.
void SaveCanvasAs(AppState &app);
// Saves the current page, moves to the next (or previous) page of the
// mode and shows it; a page never drawn, or drawn on a screen of another
// size, shows the background.
void TurnPage(AppState &app, bool forward);

}  // namespace pintora
