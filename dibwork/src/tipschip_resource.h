// String ids of the tips chip's resources in Dibwork.dll.
#pragma once

// The chip font's face names: the proportional Gothic face first, the
// fixed-pitch one as the fallback.
#define IDS_TIPSCHIP_FACE_PROPORTIONAL 601
#define IDS_TIPSCHIP_FACE_FIXED 602
