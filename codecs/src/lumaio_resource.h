// Resource ids of Lumaio.dll: the JPEG quality dialog.
#pragma once

#define IDD_JPEG_QUALITY 100
#define IDC_JPEG_QUALITY_EDIT 1001
#define IDC_JPEG_QUALITY_SPIN 1002
