// String ids of the open and save dialogs in Dibwork.dll.  Each filter is
// one string of description|pattern pairs, every field ended by '|'.
#pragma once

#define IDS_OPEN_FILTER 501
#define IDS_SAVE_FILTER 502
