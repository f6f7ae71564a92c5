/*
 * Bristler.dll: the brush manager.  A host hands it a folder of ".brs"
 * plug-ins and then paints through it: Bristler finds the plug-ins, keeps
 * one sorted table of their brushes, selects a brush, reads the tablet
 * pressure and drives the brush's entry point through each stroke on a
 * 24-bit DIBitmap.  The plug-in side of the contract is
 * include/plugin/brush_plugin.h.
 *
 * Binding: every export is exported under its name and has a fixed ordinal
 * (BRISTLER_EXPORTS below).  Hosts bind by ordinal (CMake target
 * `bristler_ordinal`) or by name; both reach the same functions.  All
 * exports use the stdcall convention (WINAPI) and return 0 on failure.
 *
 * The host allocates one PlugInBrushManager (zero-filled is enough),
 * passes it to every call, and frees it after EndBrushPlugInDLL.  All calls
 * come from the host's user-interface thread.
 *
 * Messages: Bristler reports failures in message boxes captioned "ブラシ"
 * with the fixed texts of its string table (BRISTLER_MSG_*), and keeps the
 * reason of the last failure in the manager (BRISTLER_ERROR_*).
 */
#ifndef PINTORA_BRISTLER_H
#define PINTORA_BRISTLER_H

#include <windows.h>

#include "plugin/brush_plugin.h"

#ifdef __cplusplus
extern "C" {
#endif

#ifdef BRISTLER_BUILD
#define BRISTLER_API
#else
#define BRISTLER_API __declspec(dllimport)
#endif

/* ------------------------------------------------------------- records -- */

/* Bytes of the path field of a module table entry, terminating NUL
 * included: a plug-in whose full path does not fit is not loaded. */
#define BRISTLER_MODULE_PATH_BYTES 256

/* One loaded plug-in. */
typedef struct PlugInModule {
    char path[BRISTLER_MODULE_PATH_BYTES]; /* full path of the ".brs" file */
    HMODULE module;
} PlugInModule;

/* One brush of the brush table (81 words), filled from its plug-in's
 * string table.  Text fields are NUL-terminated; longer descriptor strings
 * are cut at a character boundary to fit. */
typedef struct BrushDescriptor {
    int32_t moduleIndex;                      /* its plug-in in the module table */
    char name[BRUSH_NAME_BYTES];              /* 2100 + i */
    int32_t order;                            /* sort key while loading; table position after sorting */
    char description[BRUSH_DESCRIPTION_BYTES]; /* 2700 + i */
    PlugInBrushProc entryPoint;               /* export named by 2400 + i */
    char exportName[BRUSH_EXPORT_NAME_BYTES]; /* 2400 + i */
    int32_t version;                          /* 2300 + i */
    int32_t group;                            /* 2000 + i, non-zero */
    int32_t flags;                            /* 2800 + i, BDF_* */
    HCURSOR cursor;                           /* loaded by the id in 2900 + i */
    int32_t dialogTemplate;                   /* 3000 + i (BDF_OWNDIALOG only; low 16 bits) */
    DLGPROC dialogProc;                       /* export ordinal 3100 + i (BDF_OWNDIALOG only) */
    BrushParam params[3];                     /* 5000.., 6000.., 7000.. + i */
    int32_t reserved;
} BrushDescriptor;

/* Dialog position meaning "not placed yet". */
#define BRISTLER_UNPLACED (-1024)

/* Reasons of the last failure (field lastError) and their messages. */
#define BRISTLER_ERROR_NOT_FULL_COLOR 1 /* message 51 */
#define BRISTLER_ERROR_NO_MEMORY 2      /* message 52 */
#define BRISTLER_ERROR_PROCESSING 3     /* message 53 */

/* The record the host passes to every export: 53 words. */
typedef struct PlugInBrushManager {
    HWND owner;                 /*  1 host window: owner of dialogs, menu command target */
    HWND settingsDialog;        /*  2 the brush settings dialog or NULL */
    HWND colorPopup;            /*  3 the colour popup or NULL */
    int32_t dialogX, dialogY;   /*  4, 5 where the dialog was last closed; BRISTLER_UNPLACED */
    int32_t colorAnchorX;       /*  6 screen point the colour popup is placed at */
    int32_t colorAnchorY;       /*  7 */
    HBITMAP previewPicture;     /*  8 the preview window's picture */
    int32_t reserved;           /*  9 */
    int32_t moduleCount;        /* 10 */
    PlugInModule *modules;      /* 11 module table (global memory) */
    int32_t brushCount;         /* 12 */
    BrushDescriptor *brushes;   /* 13 brush table (global memory), in table order */
    int32_t currentBrush;       /* 14 index in the brush table */
    int32_t menuBaseId;         /* 15 first command id of the brush menu; 0 = none */
    COLORREF *colorHistory;     /* 16 80 bytes of global memory, allocated on first use */
    int32_t lastError;          /* 17 BRISTLER_ERROR_* */
    int32_t active;             /* 18 1 after a selection, 0 after LeaveBrushMode */
    PlugInBrushContext context; /* 19..53 the one context of every brush call */
} PlugInBrushManager;

/* ----------------------------------------------------- start and end -- */

/* Clears the manager, searches `directory` (NULL: the program's folder)
 * for "*.brs" plug-ins, builds the sorted brush table, appends the brush
 * menu to `menu` when given (SetPlugInMenu) and opens the tablet.  1, or 0
 * after showing its message (54: no brush found; 56: no ".brs" file). */
BRISTLER_API int WINAPI InitBrushPlugInDLL(PlugInBrushManager *manager, LPCSTR directory, HWND owner,
                                           HMENU menu, int menuBaseId);
/* Leaves brush mode, unloads every plug-in, frees the tables, closes the
 * tablet.  1; 0 for NULL. */
BRISTLER_API int WINAPI EndBrushPlugInDLL(PlugInBrushManager *manager);
/* Appends one item per brush, "name(&X)", command id = firstId + position;
 * a change of group starts a new menu column.  1; 0 without a manager, a
 * menu or a brush table. */
BRISTLER_API int WINAPI SetPlugInMenu(PlugInBrushManager *manager, HMENU menu, int firstId);

/* ----------------------------------------------------------- tablet -- */

/* 1 while the tablet pen's eraser end is in use (takes one packet). */
BRISTLER_API int WINAPI IsTabletEraceMode(void);

/* -------------------------------------------------------- selection -- */

/* Makes brush `index` current (-1 keeps the current one), opens or
 * refreshes the settings dialog, stores the brush's cursor in *cursor when
 * given and sends the brush BRUSHCMD_SELECT. */
BRISTLER_API int WINAPI SelectPlugInBrush(PlugInBrushManager *manager, int index, HCURSOR *cursor);
/* The same as SelectPlugInBrush. */
BRISTLER_API int WINAPI EnterBrushMode(PlugInBrushManager *manager, int index, HCURSOR *cursor);
/* Selects the first brush named `name` (else keeps the current one), sets
 * its three parameters clamped to their ranges, copies *color when given,
 * opens the settings dialog when `showDialog` is non-zero, stores the
 * cursor and sends BRUSHCMD_SELECT. */
BRISTLER_API int WINAPI SelectPlugInBrushEx(PlugInBrushManager *manager, LPCSTR name, int param1, int param2,
                                            int param3, const COLORREF *color, int showDialog,
                                            HCURSOR *cursor);
/* Sends the current brush BRUSHCMD_RELEASE, closes the colour popup and
 * the settings dialog.  1 (at once when not in brush mode). */
BRISTLER_API int WINAPI LeaveBrushMode(PlugInBrushManager *manager);
/* Moves trackbar `index` (0..2) of the settings dialog one page in the
 * direction of `step`; step 0 asks whether the brush has that parameter. */
BRISTLER_API int WINAPI PlugInBrushSetParam(PlugInBrushManager *manager, int index, int step);

/* ---------------------------------------------------------- strokes -- */

/* Starts a stroke at *point on the canvas picture (canvasBitmap, canvasDib:
 * a MetaDIB given DIBitmap first; 24-bit), with the colour-source picture
 * (may be NULL, NULL) and the key flags of the host's mouse message.  The
 * canvas header stays held until EndPlugInBrush.  1 and the painted
 * rectangle in *dirty (when given); 0 when the stroke did not start. */
BRISTLER_API int WINAPI StartPlugInBrush(PlugInBrushManager *manager, HWND canvasWindow, HBITMAP canvasBitmap,
                                         HGLOBAL canvasDib, HBITMAP sourceBitmap, HGLOBAL sourceDib,
                                         const POINT *point, int keyFlags, RECT *dirty);
/* Paints from the previous point to *point; 0 when no stroke runs. */
BRISTLER_API int WINAPI DragPlugInBrush(PlugInBrushManager *manager, const POINT *point, RECT *dirty);
/* Ends the stroke (BRUSHCMD_END is sent even when none runs) and releases
 * the canvas.  `point` must be non-NULL. */
BRISTLER_API int WINAPI EndPlugInBrush(PlugInBrushManager *manager, const POINT *point);

/* ------------------------------------------------------- string table -- */

#define BRISTLER_MSG_CAPTION 50        /* "ブラシ" */
#define BRISTLER_MSG_NOT_FULL_COLOR 51 /* information icon */
#define BRISTLER_MSG_NO_MEMORY 52
#define BRISTLER_MSG_PROCESSING 53
#define BRISTLER_MSG_NO_BRUSH 54
#define BRISTLER_MSG_INIT_FAILED 55
#define BRISTLER_MSG_NO_LIBRARY 56

/* Window class of the settings dialog's brush preview. */
#define BRISTLER_PREVIEW_CLASS "BrushPreview"

/* ------------------------------------------------------ ordinal table -- */

/* Every export as X(ordinal, name). */
#define BRISTLER_EXPORTS(X)                                                  \
    X(1, InitBrushPlugInDLL)                                                 \
    X(2, EndBrushPlugInDLL)                                                  \
    X(3, IsTabletEraceMode)                                                  \
    X(4, EnterBrushMode)                                                     \
    X(5, SelectPlugInBrush)                                                  \
    X(6, SelectPlugInBrushEx)                                                \
    X(7, LeaveBrushMode)                                                     \
    X(8, PlugInBrushSetParam)                                                \
    X(9, StartPlugInBrush)                                                   \
    X(10, DragPlugInBrush)                                                   \
    X(11, EndPlugInBrush)                                                    \
    X(12, SetPlugInMenu)

#ifdef __cplusplus
}
#endif

/* The layouts, in both flavours (see PINTORA_LAYOUT in brush_plugin.h):
 * i686 in 32-bit words, x86_64 in bytes with 8-byte handles and pointers. */
#if defined(__cplusplus) && defined(PINTORA_LAYOUT)
static_assert(sizeof(PlugInModule) == PINTORA_LAYOUT(256 + 4, 256 + 8), "PlugInModule: path and handle");
static_assert(sizeof(BrushDescriptor) == PINTORA_LAYOUT(81 * 4, 344), "BrushDescriptor size");
static_assert(offsetof(BrushDescriptor, name) == PINTORA_LAYOUT(1 * 4, 4), "descriptor field 2: name");
static_assert(offsetof(BrushDescriptor, order) == PINTORA_LAYOUT(11 * 4, 44), "descriptor field 3: order");
static_assert(offsetof(BrushDescriptor, description) == PINTORA_LAYOUT(12 * 4, 48), "descriptor field 4: description");
static_assert(offsetof(BrushDescriptor, entryPoint) == PINTORA_LAYOUT(36 * 4, 144), "descriptor field 5: entryPoint");
static_assert(offsetof(BrushDescriptor, exportName) == PINTORA_LAYOUT(37 * 4, 152), "descriptor field 6: exportName");
static_assert(offsetof(BrushDescriptor, version) == PINTORA_LAYOUT(47 * 4, 192), "descriptor field 7: version");
static_assert(offsetof(BrushDescriptor, group) == PINTORA_LAYOUT(48 * 4, 196), "descriptor field 8: group");
static_assert(offsetof(BrushDescriptor, flags) == PINTORA_LAYOUT(49 * 4, 200), "descriptor field 9: flags");
static_assert(offsetof(BrushDescriptor, cursor) == PINTORA_LAYOUT(50 * 4, 208), "descriptor field 10: cursor");
static_assert(offsetof(BrushDescriptor, dialogTemplate) == PINTORA_LAYOUT(51 * 4, 216), "descriptor field 11: dialogTemplate");
static_assert(offsetof(BrushDescriptor, dialogProc) == PINTORA_LAYOUT(52 * 4, 224), "descriptor field 12: dialogProc");
static_assert(offsetof(BrushDescriptor, params) == PINTORA_LAYOUT(53 * 4, 232), "descriptor field 13: params");
static_assert(offsetof(BrushDescriptor, reserved) == PINTORA_LAYOUT(80 * 4, 340), "descriptor field 14: reserved");
static_assert(sizeof(PlugInBrushManager) == PINTORA_LAYOUT(53 * 4, 288), "PlugInBrushManager size");
static_assert(offsetof(PlugInBrushManager, settingsDialog) == PINTORA_LAYOUT(1 * 4, 8), "manager field 2: settingsDialog");
static_assert(offsetof(PlugInBrushManager, colorPopup) == PINTORA_LAYOUT(2 * 4, 16), "manager field 3: colorPopup");
static_assert(offsetof(PlugInBrushManager, dialogX) == PINTORA_LAYOUT(3 * 4, 24), "manager field 4: dialogX");
static_assert(offsetof(PlugInBrushManager, previewPicture) == PINTORA_LAYOUT(7 * 4, 40), "manager field 8: previewPicture");
static_assert(offsetof(PlugInBrushManager, reserved) == PINTORA_LAYOUT(8 * 4, 48), "manager field 9: reserved");
static_assert(offsetof(PlugInBrushManager, moduleCount) == PINTORA_LAYOUT(9 * 4, 52), "manager field 10: moduleCount");
static_assert(offsetof(PlugInBrushManager, modules) == PINTORA_LAYOUT(10 * 4, 56), "manager field 11: modules");
static_assert(offsetof(PlugInBrushManager, brushCount) == PINTORA_LAYOUT(11 * 4, 64), "manager field 12: brushCount");
static_assert(offsetof(PlugInBrushManager, brushes) == PINTORA_LAYOUT(12 * 4, 72), "manager field 13: brushes");
static_assert(offsetof(PlugInBrushManager, currentBrush) == PINTORA_LAYOUT(13 * 4, 80), "manager field 14: currentBrush");
static_assert(offsetof(PlugInBrushManager, menuBaseId) == PINTORA_LAYOUT(14 * 4, 84), "manager field 15: menuBaseId");
static_assert(offsetof(PlugInBrushManager, colorHistory) == PINTORA_LAYOUT(15 * 4, 88), "manager field 16: colorHistory");
static_assert(offsetof(PlugInBrushManager, lastError) == PINTORA_LAYOUT(16 * 4, 96), "manager field 17: lastError");
static_assert(offsetof(PlugInBrushManager, active) == PINTORA_LAYOUT(17 * 4, 100), "manager field 18: active");
static_assert(offsetof(PlugInBrushManager, context) == PINTORA_LAYOUT(18 * 4, 104), "manager field 19: context");
#endif

#endif /* PINTORA_BRISTLER_H */
