#include "pages.h"

#include "app_state.h"

namespace pintora {

// The page and export writers arrive with the page files; the settings
// already carry the page indices (brought into 0..23 at start) that they
// will name their files with.
void SaveCurrentPage(const AppState &) {}

void SaveCanvasAs(AppState &) {}

}  // namespace pintora
