/*
 * Chromell.dll: the colour selection window.  One window in two forms: a
 * modal dialog (the caller waits for OK or Cancel) and a floating window
 * that edits a colour in place while its owner goes on working.  It shows
 * one of three pages (a hue strip over a saturation-intensity square, a
 * four-corner gradient palette, or red, green and blue number fields),
 * keeps a 20-colour history supplied by the caller, and remembers the last
 * page and the gradient corners while the library stays loaded.
 *
 * Binding: the four exports have fixed ordinals and the names below; two
 * of the names look like stdcall decorations but are exported exactly as
 * written, in both the 32- and the 64-bit build.  Callers bind by ordinal
 * or by name with GetProcAddress.  All exports use the stdcall convention.
 *
 * Colours are 32-bit Windows colour values (red in the lowest byte);
 * every colour the window writes carries 0x02 in the top byte.  The caller
 * owns the colour, the position and the history and keeps them alive while
 * a floating window exists.  All calls come from the owner's thread.
 */
#ifndef PINTORA_CHROMELL_H
#define PINTORA_CHROMELL_H

#include <windows.h>

/* ------------------------------------------------------------- exports -- */

#ifndef RC_INVOKED
#include <stdint.h>
#ifdef __cplusplus
extern "C" {
#endif

/* 4 "_SelectHSBColorMRU@16": the modal dialog.  position (x, y; may be
 * NULL) is where the window goes and receives its last top-left; history
 * (20 colours, 80 bytes; may be NULL) is shown, never added to; a
 * zero-filled history first receives the default colours.  1 when the
 * dialog ended with OK (the colour holds the choice); 0 when it was
 * cancelled or failed (the colour is back to its entry value), when it
 * could not be created at all (the colour is unchanged), or when the
 * colour or history storage is refused. */
typedef int(WINAPI *SelectHSBColorMRUProc)(HWND owner, COLORREF *color, POINT *position, COLORREF *history);
/* 3 "_SelectHSBColorFloatMRU@16": the floating window; its handle, or NULL.
 * The window adds the colour to the history on OK and when the colour has
 * stayed the same for about 2.5 s. */
typedef HWND(WINAPI *SelectHSBColorFloatMRUProc)(HWND owner, COLORREF *color, POINT *position, COLORREF *history);
/* 1 SelectHSBColor and 2 SelectHSBColorFloat: as 4 and 3 with no history. */
typedef int(WINAPI *SelectHSBColorProc)(HWND owner, COLORREF *color, POINT *position);
typedef HWND(WINAPI *SelectHSBColorFloatProc)(HWND owner, COLORREF *color, POINT *position);
#ifdef __cplusplus
}
#endif
#endif /* RC_INVOKED */

#define CHROMELL_ORDINAL_SELECT 1
#define CHROMELL_ORDINAL_SELECT_FLOAT 2
#define CHROMELL_ORDINAL_SELECT_FLOAT_MRU 3
#define CHROMELL_ORDINAL_SELECT_MRU 4

/* Every export as X(ordinal, exported name string). */
#define CHROMELL_EXPORTS(X)                                                  \
    X(1, "SelectHSBColor")                                                   \
    X(2, "SelectHSBColorFloat")                                              \
    X(3, "_SelectHSBColorFloatMRU@16")                                       \
    X(4, "_SelectHSBColorMRU@16")

/* ------------------------------------------------------------ messages -- */

/* Between the window and its owner (wParam and lParam 0):
 *   COLOR_CHANGED  window -> owner: posted on every change (sent once on
 *                  Cancel, after the colour is restored); owner -> window:
 *                  the colour was changed from outside, re-read it.
 *   CLOSE_QUIETLY  owner -> window: close now without telling the owner.
 *   POPUP_CLOSED   window -> owner (sent): the floating window has gone.
 *   REPLACE        owner -> window: move to the stored position, show. */
#define CHROMELL_WM_ATTACH 1036
#define CHROMELL_WM_COLOR_CHANGED 1044
#define CHROMELL_WM_CLOSE_QUIETLY 1045
#define CHROMELL_WM_POPUP_CLOSED 1046
#define CHROMELL_WM_REPLACE 1047
/* To the gradient palette: wParam a colour, lParam a corner id 1015..1018. */
#define CHROMELL_WM_SET_CORNER 1048
/* To the hint window: the colour changed. */
#define CHROMELL_WM_HINT_UPDATE 10001
/* The floating window's history timer (500 ms). */
#define CHROMELL_HISTORY_TIMER 5800
#define CHROMELL_HISTORY_TICK_MS 500

/* ------------------------------------------------------ the dialog -- */

#define CHROMELL_DIALOG 114
#define CHROMELL_MENU 101
#define CHROMELL_CURSOR 115
#define CHROMELL_MARKER_AND 120
#define CHROMELL_MARKER_OR 121
#define CHROMELL_PAGE_ICON_FIRST 122 /* 122, 123, 124 for pages 0, 1, 2 */

/* Control ids of dialog 114. */
#define CHROMELL_ID_SATINT 1001
#define CHROMELL_ID_HUE 1002
#define CHROMELL_ID_PAGE_BUTTON 1004
#define CHROMELL_ID_RED_FIELD 1005
#define CHROMELL_ID_GREEN_FIELD 1006
#define CHROMELL_ID_BLUE_FIELD 1007
#define CHROMELL_ID_RED_UPDOWN 1008
#define CHROMELL_ID_GREEN_UPDOWN 1009
#define CHROMELL_ID_BLUE_UPDOWN 1010
#define CHROMELL_ID_RED_LABEL 1011
#define CHROMELL_ID_GREEN_LABEL 1012
#define CHROMELL_ID_BLUE_LABEL 1013
#define CHROMELL_ID_GRADIENT 1014
#define CHROMELL_ID_CORNER_TL 1015
#define CHROMELL_ID_CORNER_TR 1016
#define CHROMELL_ID_CORNER_BL 1017
#define CHROMELL_ID_CORNER_BR 1018

/* Menu 101: sub-menu 0 the gradient presets 2001..2010, sub-menu 1 the
 * pages 2101..2103. */
#define CHROMELL_CMD_PRESET_FIRST 2001
#define CHROMELL_CMD_PRESET_LAST 2010
#define CHROMELL_CMD_PAGE_FIRST 2101

/* Window classes. */
#define CHROMELL_HUE_CLASS "HueSelect"
#define CHROMELL_SATINT_CLASS "SatIntSelect"
#define CHROMELL_GRADIENT_CLASS "GradPalette"
#define CHROMELL_SWATCH_CLASS "GradBaseWell"
#define CHROMELL_HISTORY_CLASS "MRUColorWell"
#define CHROMELL_HINT_CLASS "RGBHint"

/* Pages. */
#define CHROMELL_PAGE_QUICK 0
#define CHROMELL_PAGE_GRADIENT 1
#define CHROMELL_PAGE_RGB 2

#define CHROMELL_HISTORY_LENGTH 20

/* Message texts (string table; caption 50). */
#define CHROMELL_MSG_CAPTION 50
#define CHROMELL_MSG_INIT_FAILED 55
#define CHROMELL_MSG_NO_RESOURCE 57

#ifndef RC_INVOKED
/* The state of one open window, allocated zero-filled by the entry point;
 * the dialog keeps its address in its DWLP_USER slot. */
typedef struct ColorDialogState {
    HWND owner;          /* receives the notifications; NULL after 1045 */
    HWND dialog;
    HWND hueControl;     /* the three selectors, attached by 1036 */
    HWND satIntControl;
    HWND gradControl;
    HWND okButton;
    HWND historyPopup;   /* the open MRUColorWell popup, or NULL */
    HWND hint;           /* the open RGBHint window, or NULL */
    COLORREF *color;     /* the caller's colour, edited in place */
    double hue;          /* 0..240 */
    double saturation;   /* 0..1 */
    double intensity;    /* 0..1 */
    COLORREF entryColor; /* restored by Cancel */
    uint32_t historyTracker; /* low 24 bits colour, top byte tick count */
    POINT *position;     /* NULL, or the caller's (x, y) */
    HBITMAP huePicture;
    HBITMAP satIntPicture;
    HBITMAP gradPicture;
    HBITMAP historyPicture;
    HBITMAP okPicture;     /* the new colour */
    HBITMAP cancelPicture; /* the entry colour */
    SIZE hueSize;
    SIZE satIntSize;
    SIZE gradSize;
    int32_t gradMarkerX; /* -1: no marker */
    int32_t gradMarkerY;
    COLORREF gradCorners[4]; /* top-left, top-right, bottom-left, bottom-right */
    COLORREF *history;       /* 20 colours */
    int32_t historyIndex;    /* highlighted cell of the history popup */
    HFONT hintFont;
    int32_t hintPlacement;   /* 1: above-right of the pointer, 2: below-right */
    int32_t floating;
    int32_t keepHistory;
    int32_t restricted;      /* the nested dialog of a gradient corner */
    int32_t page;            /* CHROMELL_PAGE_* */
} ColorDialogState;
#endif /* RC_INVOKED */

#endif /* PINTORA_CHROMELL_H */
