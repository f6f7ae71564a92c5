// Shared inside Dibwork's picture-file code: the codec routes and the
// switches of the module state.
#pragma once

#include <windows.h>

#include "picture_files.h"

namespace dibwork::fileio {

// ------------------------------------------------ codec routes (codec_routes)

// Reads by the extension table's route for the kind (not the fallback).
int ReadByRoute(PictureKind kind, LPCSTR path, HGLOBAL *dib, HBITMAP *bitmap);
// False for GIF files while GIF is switched off (DisableGifSaved): they
// are then not read at all, by the fallback reader neither.
bool FallbackAllowed(PictureKind kind);
// The fallback reader of Lumamisc.dll.
int ReadWithFallback(LPCSTR path, HGLOBAL *dib, HBITMAP *bitmap);
// Writes by the extension's route; jpegOption is handed to the JPEG
// writer by value, or to the JPEG dialog by address when owner is given.
int WriteByRoute(PictureKind kind, HWND owner, bool withDialog, LPCSTR path, HGLOBAL dib, HBITMAP bitmap);

}  // namespace dibwork::fileio
