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

/* Strings */
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
#define IDM_BRUSH_FIRST 8000         /* brush menu: 8000 + brush position */

/* Option bits of IDM_KIDS_MODE (second message parameter) */
#define KIDS_OPTION_PEN_BAR 1
#define KIDS_OPTION_SIZE_BAR 2
#define KIDS_OPTION_FLAT_PAPER 4

#endif
