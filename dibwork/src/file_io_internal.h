// Shared inside Dibwork's picture-file code: the conversions the readers
// and the GIF writer need, the codec routes and the module state.
#pragma once

#include <windows.h>

#include "picture_files.h"

namespace dibwork::fileio {

// ------------------------------------------------ conversions (file_convert)

// A new 24-bit DIBitmap of the pair's picture (the system converts any bit
// count and compression), or NULL.
HBITMAP Make24BitBitmap(HGLOBAL dib, HBITMAP bitmap);
// Replaces *bitmap by a 24-bit copy unless it is 24-bit already.
bool Make24BitInPlace(HBITMAP *bitmap);
// A DIB holding the DIBitmap's header, colour table and bits, or NULL.
HGLOBAL BitmapToDib(HBITMAP bitmap);
// A DIBitmap holding the DIB's picture in its own format, or NULL.
HBITMAP DibToBitmap(HGLOBAL dib);
// Brings a DIB to the library's normal form in place: a 40-byte header,
// uncompressed, 1, 4, 8 or 24 bits.  False (the DIB kept) on failure.
bool NormaliseDib(HGLOBAL *dib);
// An 8-bit copy of a 24-bit DIBitmap (ReducedPalette), or NULL.
HBITMAP ReduceTo8Bits(HBITMAP bitmap);

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
