// Shared inside Bristler: the module handle, message boxes and error
// reporting, calls of the current brush, the tablet, and the places where
// the settings dialog and the preview window plug in.
#pragma once

#include <windows.h>

#include <string>

#include "bristler.h"

namespace bristler {

// Messages between the settings dialog, its preview and the colour popup.
constexpr UINT kMsgColorChanged = 1044;  // popup -> dialog, manager -> popup
constexpr UINT kMsgPopupClose = 1045;    // manager -> popup
constexpr UINT kMsgPopupClosed = 1046;   // popup -> dialog
constexpr UINT kMsgPopupReplace = 1047;  // dialog -> popup
constexpr UINT kMsgMakePreviewPicture = 0xFC00;  // -> preview window

// Controls of the settings dialog.
constexpr int kIdFirstTrackbar = 1000;  // 1000..1002: parameters 1..3
constexpr int kIdPreview = 1020;        // the BrushPreview window; also its render command
constexpr int kIdColorButton = 1030;

// Bristler's own module (string table, dialog template, class owner).
extern HINSTANCE g_module;

// ----------------------------------------------------------- messages --

// A box captioned "ブラシ" with the text of string `textId` of Bristler.
void ShowMessage(HWND owner, UINT textId, UINT iconFlags);
// Stores `code` (BRISTLER_ERROR_*) as the manager's last error and shows
// its message, owned by `window` or else by the manager's owner window.
// Without a manager (and without a Bristler window that carries one) the
// processing-error message is shown.
void ReportError(PlugInBrushManager *manager, HWND window, int code);
// The manager a window of Bristler's own (preview, settings dialog)
// carries in its user data, or NULL for any other window.
PlugInBrushManager *ManagerOfWindow(HWND window);

// ------------------------------------------------------------- brushes --

// The current brush's table entry, or NULL when there is none.
BrushDescriptor *CurrentBrush(PlugInBrushManager *manager);
// Sends `command` to the current brush through the manager's context; 0
// when there is no brush.
int32_t CallCurrentBrush(PlugInBrushManager *manager, int32_t command);

// True between a successful start and the end of a stroke.
bool StrokeIsRunning(const PlugInBrushManager *manager);
// Ends the stroke: the brush's end command, then the canvas header given
// back (a canvas freed under the stroke is let go untouched first).
void EndRunningStroke(PlugInBrushManager *manager);

// Folder search, brush table and module table (discovery.cpp).
bool SearchPlugInFolder(PlugInBrushManager *manager, const std::string &folder);
bool SortBrushTable(PlugInBrushManager *manager);
void FreePlugInTables(PlugInBrushManager *manager);

// Reads brush `index` of a plug-in's string table into `out` (discovery
// order and skip rules).  `replace` receives the table entry this brush
// supersedes, or -1 for a new name.  False: the brush is skipped.
bool ReadBrushDescriptor(HMODULE plugIn, int32_t index, const PlugInBrushManager &manager,
                         BrushDescriptor *out, int32_t *replace);

// ------------------------------------------------------------- tablet --

void StartTablet(HWND owner);
void EndTablet();
// The pressure of a stroke call, 0..128 (128 without a tablet).
int32_t ReadTabletPressure();
// Takes one packet; true when it came from an eraser end.
bool TakeEraserPacket();

// ---------------------------------------------------- settings dialog --

// Opens the brush settings dialog for the current brush, or refreshes it
// when it is open.  0 on failure.
int OpenOrRefreshSettingsDialog(PlugInBrushManager *manager);
// Destroys the settings dialog if it is open and forgets it.
void DestroySettingsDialog(PlugInBrushManager *manager);
// Pops up the list of all brushes at `at` (client coordinates of
// `window`), the current one checked; a choice is sent to the manager's
// owner as WM_COMMAND.  The chosen 1-based position, or 0.
int TrackBrushList(PlugInBrushManager *manager, HWND window, POINT at);

// ---------------------------------------------------- preview window --

bool RegisterPreviewClass(HINSTANCE module);
void UnregisterPreviewClass(HINSTANCE module);
// Runs the current brush's preview (BRUSHCMD_PREVIEW) on `picture` in a
// temporary context; `window` is the preview window.  0 with the error
// code in *error on failure.
int RunBrushPreview(PlugInBrushManager *manager, HWND window, HBITMAP picture, int *error);

// Runs `body` and turns any C++ exception into `failure`: nothing thrown
// inside Bristler crosses an export.
template <typename Result, typename Body>
Result NoThrow(Result failure, Body body) {
    try {
        return body();
    } catch (...) {
        return failure;
    }
}

}  // namespace bristler
