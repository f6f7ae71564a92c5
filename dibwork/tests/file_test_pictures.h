#pragma once

#define IDR_FACE_FILE 300
#define IDB_FACE 301
