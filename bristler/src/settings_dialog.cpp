// The brush settings dialog (template 213): trackbars for the brush's
// parameters, the live preview, the colour button and the brush list.
//
// The dialog itself is not built yet.  The selection calls already go
// through these two functions, so the dialog slots in here: opening
// creates it (or refreshes an open one for the current brush), and
// destroying lets it record its position first.  Until then no dialog
// opens, and an open one can only be a window a host put in the record.
#include "bristler_internal.h"

namespace bristler {

int OpenOrRefreshSettingsDialog(PlugInBrushManager *manager) {
    if (!manager) {
        ReportError(nullptr, nullptr, BRISTLER_ERROR_PROCESSING);
        return 0;
    }
    return 1;
}

void DestroySettingsDialog(PlugInBrushManager *manager) {
    if (manager->settingsDialog && IsWindow(manager->settingsDialog)) DestroyWindow(manager->settingsDialog);
    manager->settingsDialog = nullptr;
}

}  // namespace bristler
