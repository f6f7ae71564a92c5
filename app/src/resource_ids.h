// Resource and command ids of PintoraKids, shared by the resource script
// and the code.  Only #define lines: the resource compiler reads this file.
#ifndef PINTORA_RESOURCE_IDS_H
#define PINTORA_RESOURCE_IDS_H

/* Resources */
#define IDI_PINTORA 101          /* window class icon */
#define IDC_ERASER 105           /* cursor shown while erasing */
#define IDB_PAPER 124            /* kids-mode paper texture, 256 x 256, 8 bits */
#define IDA_CANVAS 125           /* accelerators of the canvas */
#define IDD_WELCOME 126          /* welcome box of the first run */

/* Tool window templates (the bars of kids and normal mode) */
#define IDD_ACTION_BAR 201
#define IDD_END_BAR 202
#define IDD_ABOUT 203
#define IDD_KIDS_OPTIONS 204
#define IDD_COLOR_BAR 205
#define IDD_SIZE_BAR 206
#define IDD_PEN_BAR 207
#define IDD_TIPS 208
#define IDD_PAGE_BAR 209
#define IDD_PAPER_BRIGHTNESS 210

/* Button faces of the action and end bars, 90 x 30 (113 is also the
 * about box's picture; 123 has 8 bits).  The colour, size and pen buttons
 * show the bitmap of their own control id. */
#define IDB_FACE_END 110
#define IDB_FACE_CLEAR 111
#define IDB_FACE_WHITE 112
#define IDB_FACE_ABOUT 113
#define IDB_FACE_SAVE 114
#define IDB_FACE_REALLY_END 115
#define IDB_FACE_AGAIN 116
#define IDB_FACE_KIDS 123

/* Controls of the dialogs */
#define IDC_KIDS_PAPER_COLOR 1000    /* kids-mode dialog: "色を選ぶ..." */
#define IDC_KIDS_BRIGHTNESS 1001     /* kids-mode dialog: "明るさを調整する..." */
#define IDC_KIDS_CRAYON_ONLY 1009    /* radio pairs: 1009/1010, 1011/1012, 1013/1014 */
#define IDC_KIDS_PEN_BAR 1010
#define IDC_KIDS_FIXED_SIZE 1011
#define IDC_KIDS_SIZE_BAR 1012
#define IDC_KIDS_TEXTURE 1013
#define IDC_KIDS_FLAT_PAPER 1014
#define IDC_PAPER_PREVIEW 1000       /* brightness dialog: the texture's preview */
#define IDC_PAPER_TRACK 1051         /* brightness dialog: the trackbar */
#define IDC_ABOUT_PICTURE 1050
#define IDC_ABOUT_VERSION 1054

/* Strings */
#define IDS_PRODUCT_PAGE 1           /* the about box's web page */
#define IDS_ABOUT_OUCH 202           /* a double click on the about picture */
#define IDS_KIDS_WARNING 200         /* the kids-mode warning text */
#define IDS_KIDS_WARNING_CAPTION 201 /* its caption */
/* Kids pens: label = button id (1041..1046), brush name = button id + 100.
 * Colours: label = button id (1020..1033).  Sizes: label = button id
 * (1015..1017). */

/* Canvas commands */
#define IDM_END 1000
#define IDM_NORMAL_MODE 1001
#define IDM_SAVE_AS 1005
#define IDM_END_KEY 1006
#define IDM_WHITE 1007
#define IDM_KIDS_MODE 1009
#define IDM_PASTE 40003
#define IDM_TIPS 40004
#define IDM_CLEAR 40005
#define IDM_UNDO 40006               /* Ctrl+Z: undo the last change */
#define IDM_REDO 40007               /* Ctrl+Y: redo it */
#define IDM_BRUSH_FIRST 8000         /* brush menu: 8000 + brush position */

/* Option bits of IDM_KIDS_MODE (second message parameter) */
#define KIDS_OPTION_PEN_BAR 1
#define KIDS_OPTION_SIZE_BAR 2
#define KIDS_OPTION_FLAT_PAPER 4

#endif
