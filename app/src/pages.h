// Saving the drawing: the automatic page of the current mode, the
// explicit "save as", and turning pages with the page bar.  The files and
// their names are page_store's and page_files'.
#pragma once

namespace pintora {

struct AppState;

// The page index of the current mode.
int CurrentPageIndex(const AppState &app);
// Saves the canvas into the current page of the current mode (after any
// autosave still being written).  True when the page was written.
bool SaveCurrentPage(AppState &app);
// The same at the end of a run (the end bar, closing): once the page is
// written, the mode's autosave marker goes, since nothing was lost.
void SavePageAtEnd(AppState &app);
// At the start of a mode, after its background was made: when the run
// before crashed after an autosave, kids mode shows the autosaved page
// again as the current page; normal mode, which starts over a fresh
// capture, moves on to the page after it, so the autosaved page is kept
// (the page bar leads back to it).
void ResumeAfterCrash(AppState &app);
// Asks for a file name and saves the canvas as a bitmap or JPEG file.
void SaveCanvasAs(AppState &app);
// Saves the current page, moves to the next (or previous) page of the
// mode and shows it; a page never drawn, or drawn on a screen of another
// size, shows the background.
void TurnPage(AppState &app, bool forward);

}  // namespace pintora
