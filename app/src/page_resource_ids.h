// Resource ids of the pages: the page bar (dialog IDD_PAGE_BAR of
// resource_ids.h) and the "save as" filter.  Only #define lines.
#ifndef PINTORA_PAGE_RESOURCE_IDS_H
#define PINTORA_PAGE_RESOURCE_IDS_H

/* Page bar arrows, 32 x 33: previous and next, and both pressed. */
#define IDB_PAGE_PREVIOUS 117
#define IDB_PAGE_NEXT 118
#define IDB_PAGE_PREVIOUS_DOWN 119
#define IDB_PAGE_NEXT_DOWN 120

/* Page bar buttons (owner-drawn) */
#define IDC_PAGE_PREVIOUS 1052
#define IDC_PAGE_NEXT 1053

/* The "save as" filter: description|pattern pairs, each field ended by '|' */
#define IDS_SAVE_AS_FILTER 210

#endif
