/*
 * The codec libraries Dibwork loads by file name around each request:
 *   Lumaio.dll    JPEG, PNG, GIF, PCX, metafiles and the portable any-maps;
 *   Lumamisc.dll  a fallback reader for what else the platform can decode.
 *
 * Binding: by ordinal only (GetProcAddress(module, MAKEINTRESOURCEA(n))),
 * stdcall.  The ordinals and argument lists below are the contract.
 *
 * Readers take a path and two variable pointers; the picture (a 24-bit
 * bottom-up picture) is stored into the DIB variable when that pointer is
 * given, otherwise into the DIBitmap variable.  A DIB is a movable global
 * block (header, colour table, bits); a DIBitmap a DIB section.  Result:
 * non-zero when a picture was stored, 0 otherwise (the variable is then
 * left alone).
 *
 * Writers take a MetaDIB pair (the DIB when non-NULL, else the DIBitmap)
 * and return non-zero when the file was written.
 */
#ifndef PINTORA_LUMAIO_H
#define PINTORA_LUMAIO_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Lumaio.dll */
enum {
    LUMAIO_READ_JPEG = 1,         /* LumaioReadProc */
    LUMAIO_WRITE_JPEG = 2,        /* LumaioWriteJpegProc: option = quality 1..100 */
    LUMAIO_WRITE_JPEG_DIALOG = 3, /* LumaioWriteJpegDlgProc: asks for the quality */
    LUMAIO_READ_PNG = 4,          /* LumaioReadProc */
    LUMAIO_WRITE_PNG = 5,         /* LumaioWriteProc */
    LUMAIO_READ_META = 6,         /* LumaioReadMetaProc: WMF or EMF */
    LUMAIO_READ_PCX = 7,          /* LumaioReadProc */
    LUMAIO_READ_GIF = 8,          /* LumaioReadProc */
    LUMAIO_READ_ANYMAP = 10,      /* LumaioReadProc: PBM, PGM, PPM */
    LUMAIO_WRITE_GIF = 11         /* LumaioWriteGifProc: 8 bits or less */
};

typedef int(WINAPI *LumaioReadProc)(LPCSTR path, HGLOBAL *dib, HBITMAP *bitmap);
typedef int(WINAPI *LumaioWriteProc)(LPCSTR path, HGLOBAL dib, HBITMAP bitmap);
/* quality: 1..100; values outside are brought into that range. */
typedef int(WINAPI *LumaioWriteJpegProc)(LPCSTR path, HGLOBAL dib, HBITMAP bitmap, int quality);
/* Shows a small dialog over owner with *quality as the proposal; on OK the
 * chosen value is stored back and the file written; Cancel gives 0. */
typedef int(WINAPI *LumaioWriteJpegDlgProc)(HWND owner, LPCSTR path, HGLOBAL dib, HBITMAP bitmap, int *quality);
/* width, height: the size to render at in pixels; 0 takes the size the
 * metafile's own frame gives at the screen's resolution. */
typedef int(WINAPI *LumaioReadMetaProc)(LPCSTR path, HGLOBAL *dib, HBITMAP *bitmap, int width, int height);
/* The picture must have 8 bits per pixel or less; transparentIndex is a
 * colour-table index written as the transparent colour, or -1 for none. */
typedef int(WINAPI *LumaioWriteGifProc)(LPCSTR path, HGLOBAL dib, HBITMAP bitmap, int transparentIndex);

/* Lumamisc.dll: entry 1 reads every format the platform's imaging
 * component decodes (TIFF, ICO, ...); entry 2 reads what the system's
 * bitmap loader understands.  Both are LumaioReadProc. */
enum { LUMAMISC_READ_IMAGING = 1, LUMAMISC_READ_SYSTEM = 2 };

#ifdef __cplusplus
}
#endif

#endif /* PINTORA_LUMAIO_H */
