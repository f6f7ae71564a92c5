/*
 * Dibwork.dll: picture handles and image operations shared by every part of
 * Pintora.
 *
 * Binding: callers bind by ordinal, never by name.  Link with the ordinal
 * import library (CMake target `dibwork_ordinal`) or use
 * GetProcAddress(module, MAKEINTRESOURCEA(ordinal)).  The ordinal of each
 * export is given beside it and collected in DIBWORK_EXPORTS below.
 * All exports use the stdcall convention (WINAPI).
 *
 * Handle kinds
 *   DIB       HGLOBAL of a movable block holding, packed: the header
 *             (BITMAPINFOHEADER, 40 bytes when Dibwork made it), the colour
 *             table (RGBQUAD entries) and the pixel rows.  Lock it to read.
 *   DIBitmap  HBITMAP of a DIB section made on a screen-compatible memory DC.
 *             Its bits pointer is valid for the life of the handle.
 *   MetaDIB   the argument pair (DIB, DIBitmap) naming one picture: the DIB
 *             when it is non-NULL, otherwise the DIBitmap.  Callers outside
 *             Dibwork pass (NULL, DIBitmap).
 *
 * Pixel conventions
 *   Rows are bottom-up (positive biHeight) and padded to 4 bytes:
 *     stride = ((bitCount * width + 31) / 32) * 4.
 *   24-bit pixels are blue, green, red.  Coordinates and rectangles count y
 *   from the top, so pixel (x, y) of a 24-bit picture lies at
 *     bits + (height - 1 - y) * stride + 3 * x.
 *
 * Results: non-zero / a handle on success, 0 / NULL on failure.  Functions
 * that free a handle take a pointer to the variable and set it to NULL.
 * Creators refuse (NULL) sizes whose row, image or block size would not fit
 * in 32 bits, non-positive sizes and unsupported bit counts.
 */
#ifndef PINTORA_DIBWORK_H
#define PINTORA_DIBWORK_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Exports are declared by dibwork.def; callers import them. */
#ifdef DIBWORK_BUILD
#define DIBWORK_API
#else
#define DIBWORK_API __declspec(dllimport)
#endif

/* ------------------------------------------------------------ creation -- */

/* 1: movable DIB of width x height at bitCount 1, 4, 8 or 24; bits and the
 * 4/8-bit colour table are not cleared; 1-bit gets black, white. */
DIBWORK_API HGLOBAL WINAPI MakeBlankDIB(int width, int height, WORD bitCount);
/* 2: DIB sized from header + colour table; both copied verbatim. */
DIBWORK_API HGLOBAL WINAPI MakeBlankDIBImg(const BITMAPINFOHEADER *header);
/* 3: DIB of the template's format (BI_RGB, 1/4/8/24 bits) at a new size. */
DIBWORK_API HGLOBAL WINAPI MakeBlankDIBWithBI(const BITMAPINFOHEADER *templ, int width, int height);
/* 4: DIBitmap of width x height at bitCount; 1-bit black/white, other
 * tables black.  bitCount 16 and 32 give table-less sections. */
DIBWORK_API HBITMAP WINAPI MakeBlankDIBitmap(int width, int height, WORD bitCount);
/* 5: DIB section from a BITMAPINFO; the one place sections are made. */
DIBWORK_API HBITMAP WINAPI MakeBlankDIBitmapImg(const BITMAPINFO *info);
/* 6: 24-bit DIBitmap (zero-filled: black). */
DIBWORK_API HBITMAP WINAPI MakeBlankFCDIBitmap(int width, int height);
/* 7: 1-bit DIBitmap with the table black, white. */
DIBWORK_API HBITMAP WINAPI MakeBlankMonoDIBitmap(int width, int height);
/* 8: 8-bit DIBitmap with the grey ramp (i, i, i). */
DIBWORK_API HBITMAP WINAPI MakeBlank256GrayDIBitmap(int width, int height);
/* 9: DIBitmap of the template bitmap's format and palette at a new size. */
DIBWORK_API HBITMAP WINAPI MakeBlankDIBitmapWithDIBitmap(HBITMAP templ, int width, int height);
/* 10: DIBitmap of the template header's format and palette at a new size. */
DIBWORK_API HBITMAP WINAPI MakeBlankDIBitmapWithBI(const BITMAPINFOHEADER *templ, int width, int height);

/* ------------------------------------------------------------- freeing -- */

/* 21, 22: undo every outstanding lock, free the block, clear *handle. */
DIBWORK_API int WINAPI FreeHandle(HGLOBAL *handle);
DIBWORK_API int WINAPI FreeDIB(HGLOBAL *dib);
/* 23: delete the section; *bitmap is cleared only when that succeeds (it
 * fails while the bitmap is selected into a DC). */
DIBWORK_API int WINAPI FreeDIBitmap(HBITMAP *bitmap);
/* 24: note the order: the DIBitmap variable comes first.  Always 1. */
DIBWORK_API int WINAPI FreeMetaDIB(HBITMAP *bitmap, HGLOBAL *dib);

/* ------------------------------------------------------------ palettes -- */

/* 61: GDI palette of a 40-byte header's colour table (DibNumColors entries);
 * NULL without colours. */
DIBWORK_API HPALETTE WINAPI CreateBIPalette(const BITMAPINFOHEADER *header);
/* 62: the same from a DIBitmap's colour table. */
DIBWORK_API HPALETTE WINAPI CreateBmpPalette(HBITMAP bitmap);

/* ------------------------------------------------- header and bits access -- */

/* 71: the picture's first pixel byte, or NULL.  *header receives the
 * header and colour table: the locked block itself for a DIB (the lock is
 * held until the release), a zero-filled copy for a DIBitmap (with all
 * 2^bitCount colour entries for 8 bits or less; editing it changes
 * nothing).  Pair every success with one ReleaseMetaBitmapInfoHeader. */
DIBWORK_API BYTE *WINAPI GetMetaBitmapInfoHeader(HGLOBAL dib, HBITMAP bitmap, BITMAPINFOHEADER **header);
/* 72: as 71, reading the handles from variables (a NULL pointer = NULL). */
DIBWORK_API BYTE *WINAPI lpGetMetaBitmapInfoHeader(HGLOBAL *dib, HBITMAP *bitmap, BITMAPINFOHEADER **header);
/* 73: unlock the DIB, or free the DIBitmap's header copy. */
DIBWORK_API void WINAPI ReleaseMetaBitmapInfoHeader(HGLOBAL dib, HBITMAP bitmap, BITMAPINFOHEADER *header);
/* 74: as 73, reading the handles from variables. */
DIBWORK_API void WINAPI lpReleaseMetaBitmapInfoHeader(HGLOBAL *dib, HBITMAP *bitmap, BITMAPINFOHEADER *header);
/* 81: copy the section's 40-byte header (no colour table) into *header;
 * for a NULL or non-section bitmap header->biSize becomes 0. */
DIBWORK_API void WINAPI GetDIBitmapInfoHeader(BITMAPINFOHEADER *header, HBITMAP bitmap);
/* 82: header copy and/or bits pointer of a section; 0 for NULL, or when the
 * bits were asked for and the section has none. */
DIBWORK_API int WINAPI GetDIBitmapInfo(HBITMAP bitmap, BITMAPINFOHEADER *header, void **bits);
/* 83: the section's bits, NULL for NULL or a non-section bitmap. */
DIBWORK_API void *WINAPI GetDIBitmapDataAddress(HBITMAP bitmap);
/* 84: header + biSize + colour-table size of a locked DIB. */
DIBWORK_API BYTE *WINAPI GetDIBDataAdress(const BITMAPINFOHEADER *header);
/* 85: stride x height of the pixel rows (0 when that overflows 32 bits). */
DIBWORK_API DWORD WINAPI GetImageSize(const BITMAPINFOHEADER *header);
/* 86: colour-table bytes: core header colours x 3, BI_BITFIELDS 12,
 * otherwise colours x 4. */
DIBWORK_API WORD WINAPI GetPaletteSize(const BITMAPINFOHEADER *header);
/* 87: colours: biClrUsed if set, else 2/16/256 for 1/4/8 bits, else 0. */
DIBWORK_API WORD WINAPI DibNumColors(const BITMAPINFOHEADER *header);
/* 88: ((bitCount * width + 31) / 32) * 4. */
DIBWORK_API DWORD WINAPI BitmapWidthBytes(DWORD width, DWORD bitCount);
/* 89: the stride of the header's width and bit count. */
DIBWORK_API DWORD WINAPI GetBitmapWidthBytes(const BITMAPINFOHEADER *header);

/* ------------------------------------------------- copying and kinds -- */

/* 31: byte copy of a DIB block (header, colour table, bits). */
DIBWORK_API HGLOBAL WINAPI CopyDIB(HGLOBAL dib);
/* 32: a new DIBitmap with a copy of the bitmap's pixels. */
DIBWORK_API HBITMAP WINAPI CopyDIBitmap(HBITMAP bitmap);
/* 33: a new DIBitmap of the picture's header and a copy of its pixels. */
DIBWORK_API HBITMAP WINAPI CopyMetaDIB(HGLOBAL dib, HBITMAP bitmap);
/* 34: a new DIB (40-byte header, colour table, bits) of a DIBitmap. */
DIBWORK_API HGLOBAL WINAPI ConvertDIBitmap2DIB(HBITMAP bitmap);
/* 35: a new DIBitmap of a DIB. */
DIBWORK_API HBITMAP WINAPI ConvertDIB2DIBitmap(HGLOBAL dib);
/* 36: a copy as a DIB into *dibOut when given, otherwise as a DIBitmap into
 * *bitmapOut; 1 when a handle was stored, 0 otherwise. */
DIBWORK_API int WINAPI ConvertMetaDIB(HGLOBAL dib, HBITMAP bitmap, HGLOBAL *dibOut, HBITMAP *bitmapOut);
/* 37, 38: pixel bytes into an existing picture.  Note the order: the FIRST
 * argument receives.  Header size, width, height, bit count, compression
 * and image size must agree.  1 copied, 0 refused. */
DIBWORK_API int WINAPI CopyDIBitmap2DIB(HBITMAP destination, HGLOBAL source);
DIBWORK_API int WINAPI CopyDIB2DIBitmap(HGLOBAL destination, HBITMAP source);
/* 39-41: pixel bytes from the FIRST picture into the second, when width,
 * height and image size agree.  1 copied, 0 refused. */
DIBWORK_API int WINAPI ForwardDIB2DIB(HGLOBAL source, HGLOBAL destination);
DIBWORK_API int WINAPI ForwardDIBitmap2DIBitmap(HBITMAP source, HBITMAP destination);
DIBWORK_API int WINAPI ForwardMetaDIB2MetaDIB(HGLOBAL srcDib, HBITMAP srcBitmap, HGLOBAL dstDib, HBITMAP dstBitmap);

/* ----------------------------------------------------- device contexts -- */

/* 51: memory DC compatible with the window's (NULL: the screen's) with the
 * bitmap selected; *previous receives the object it replaced. */
DIBWORK_API HDC WINAPI CreateDIBitmapDC(HWND window, HBITMAP bitmap, HGDIOBJ *previous);
/* 52: select the previous object back and delete the DC (window ignored). */
DIBWORK_API void WINAPI DeleteDIBitmapDC(HWND window, HDC dc, HGDIOBJ previous);

/* ------------------------------------------ scaling, tiling, thumbnails -- */
/* The stretches write 24-bit pixels: a 24-bit source keeps its format, any
 * other source (1, 4, 8, 16, 32 bits BI_RGB) gives a 24-bit result. */

/* 101: bilinear copy at a new size (CopyDIB at the same size). */
DIBWORK_API HGLOBAL WINAPI StretchDIB2DIB(HGLOBAL dib, int width, int height);
/* 102: bilinear copy at a new size (CopyDIBitmap at the same size). */
DIBWORK_API HBITMAP WINAPI StretchDIBitmap2DIBitmap(HBITMAP bitmap, int width, int height);
/* 103: resize by whole-block averaging then bilinear (shrinking by 1.75 or
 * more), area averaging (shrinking less) or quadratic interpolation
 * (enlarging).  Page thumbnails and the JPEG export use it. */
DIBWORK_API HBITMAP WINAPI TriStretchDIBitmap2DIBitmap(HBITMAP bitmap, int width, int height);
/* 104: bilinear copy into the pair *dibOut / *bitmapOut.  A picture they
 * hold of the result's size and format is written in place; another is
 * freed.  At the same size a copy of the requested kind is stored. */
DIBWORK_API int WINAPI StretchMetaDIB(HGLOBAL dib, HBITMAP bitmap, int width, int height, HGLOBAL *dibOut,
                                      HBITMAP *bitmapOut);
/* 111-113: a picture of the source's format covered with copies of it,
 * starting at the bottom-left corner.  113 makes only the DIBitmap when
 * both variables are given. */
DIBWORK_API HGLOBAL WINAPI TilingDIB(HGLOBAL dib, int width, int height);
DIBWORK_API HBITMAP WINAPI TilingDIBitmap(HBITMAP bitmap, int width, int height);
DIBWORK_API int WINAPI TilingMetaDIB(HGLOBAL dib, HBITMAP bitmap, int width, int height, HGLOBAL *dibOut,
                                     HBITMAP *bitmapOut);
/* 121: a DIB of the source's format fitted into the box, keeping its
 * proportions; never enlarged (a copy instead). */
DIBWORK_API HGLOBAL WINAPI MakeSmallDIB(HGLOBAL dib, const RECT *box);
/* 122: a 24-bit DIBitmap fitted into the box; never enlarged. */
DIBWORK_API HBITMAP WINAPI MakeSmallDIBitmap(HGLOBAL dib, HBITMAP bitmap, const RECT *box);
/* 123: a 1-bit DIBitmap fitted into the box; 1-bit sources only. */
DIBWORK_API HBITMAP WINAPI MakeSmallMonoDIBitmap(HGLOBAL dib, HBITMAP bitmap, const RECT *box);

/* ------------------------------------------ cut-out, masks, rotation -- */
/* Rectangles are left, top, right, bottom with y from the top; right and
 * bottom are exclusive. */

/* 131: a DIB of the source's format holding the rectangle's bytes (a plain
 * copy without a rectangle).  The rectangle is first widened to whole bytes
 * (1 bit: left down, right up to a multiple of 8; 4 bits: of 2) and written
 * back.  Parts outside the picture stay zero; an inverted rectangle gives a
 * zeroed DIB of its size. */
DIBWORK_API HGLOBAL WINAPI CutOutDIB(HGLOBAL dib, RECT *rect);
/* 132-134: a DIBitmap of the source's format and the rectangle's size
 * (|right - left| x |bottom - top|) holding that part of the picture;
 * parts outside it stay black (zero).  Without a rectangle a copy. */
DIBWORK_API HBITMAP WINAPI CutOutDIBitmap(HBITMAP bitmap, const RECT *rect);
DIBWORK_API HBITMAP WINAPI CutOutMetaDIBitmap(HGLOBAL dib, HBITMAP bitmap, const RECT *rect);
DIBWORK_API HBITMAP WINAPI lpCutOutMetaDIBitmap(HGLOBAL *dib, HBITMAP *bitmap, const RECT *rect);

/* 141-143: where the 1-bit mask's bit is set, the destination pixel becomes
 * the source pixel.  24-bit pictures of equal size only (others are left
 * alone); rows are matched in memory order.  Always 0.  143 needs all three
 * DIBitmap members. */
DIBWORK_API int WINAPI DIBMaskCover(HGLOBAL destination, HGLOBAL source, HGLOBAL mask);
DIBWORK_API int WINAPI DIBitmapMaskCover(HBITMAP destination, HBITMAP source, HBITMAP mask);
DIBWORK_API int WINAPI MetaDIBMaskCover(HGLOBAL dstDib, HBITMAP dstBitmap, HGLOBAL srcDib, HBITMAP srcBitmap,
                                        HGLOBAL maskDib, HBITMAP maskBitmap);
/* 144: the 24-bit source placed at (left, top) of the 24-bit destination
 * through a mask of the source's size: 1 bit - the source where the bit is
 * CLEAR; 8 bits - d + (s - d) * m / 128 per channel, m clamped to 128.  The
 * rectangle is normalised and clipped to the destination and to the
 * source's size.  1 when nothing of it lies on the destination, otherwise
 * 0 (also after drawing). */
DIBWORK_API int WINAPI MetaDIBMaskBltRect(HGLOBAL dstDib, HBITMAP dstBitmap, HGLOBAL srcDib, HBITMAP srcBitmap,
                                          HGLOBAL maskDib, HBITMAP maskBitmap, const RECT *rect);

/* 145: turns clockwise by `degrees` (any integer, brought into 0..359): 0 a
 * copy, 90/180/270 exact turns, other angles in 1/4096 pixel steps with the
 * corners in `background`.  The result is a DIB into *dibOut when that is
 * given, otherwise a DIBitmap into *bitmapOut; 1 made, 0 not. */
DIBWORK_API int WINAPI RotateMetaDIB(HGLOBAL dib, HBITMAP bitmap, HGLOBAL *dibOut, HBITMAP *bitmapOut, int degrees,
                                     COLORREF background);
/* 146, 147: quarter turn clockwise / counter-clockwise; the result is
 * source height x source width. */
DIBWORK_API int WINAPI RotateRightMetaDIB(HGLOBAL dib, HBITMAP bitmap, HGLOBAL *dibOut, HBITMAP *bitmapOut);
DIBWORK_API int WINAPI RotateLeftMetaDIB(HGLOBAL dib, HBITMAP bitmap, HGLOBAL *dibOut, HBITMAP *bitmapOut);

/* 148, 149: the source's top-left (right - left) x (bottom - top) pixels
 * blitted to (left, top) of the destination (SRCCOPY or the given raster
 * operation), clipped to the destination.  0 if an argument is NULL. */
DIBWORK_API int WINAPI DIBitmapPaste(HBITMAP destination, HBITMAP source, const RECT *rect);
DIBWORK_API int WINAPI DIBitmapPasteRop(HBITMAP destination, HBITMAP source, const RECT *rect, DWORD rop);

/* ---------------------------------------------------------------- fills -- */

/* 221: fills the whole picture with the colour.  A DIBitmap is filled
 * through GDI; a DIB of 24 bits directly, of 1/4/8 bits with the colour's
 * index in its table (0 when the table lacks it, nothing written); other
 * bit counts are left alone (1). */
DIBWORK_API int WINAPI MetaDIBFillColor(HGLOBAL dib, HBITMAP bitmap, COLORREF colour);
/* 222, 223: white / black; an indexed DIB without that colour is filled
 * with 0xFF / 0x00 bytes instead of failing. */
DIBWORK_API int WINAPI MetaDIBFillWhite(HGLOBAL dib, HBITMAP bitmap);
DIBWORK_API int WINAPI MetaDIBFillBlack(HGLOBAL dib, HBITMAP bitmap);
/* 224: 24-bit destination, 8-bit mask of its size: `whereSet` where the
 * mask byte is non-zero, else `whereClear`.  1 when the sizes agree
 * (nothing written for a mask that is not 8-bit); 0 for a missing picture,
 * a destination that is not 24-bit or different sizes. */
DIBWORK_API int WINAPI MetaDIBFillColorMasked(HGLOBAL dstDib, HBITMAP dstBitmap, HGLOBAL maskDib,
                                              HBITMAP maskBitmap, COLORREF whereSet, COLORREF whereClear);

/* ------------------------------------------ 24 bits and normal form -- */

/* 201: a new 24-bit DIB; indexed pixels through the colour table, other
 * formats through the system's conversion. */
DIBWORK_API HGLOBAL WINAPI ConvFullColDIB(HGLOBAL dib);
/* 202: a new 24-bit DIB made by the system's conversion (compressed, 16-
 * and 32-bit sources included). */
DIBWORK_API HGLOBAL WINAPI Create24DIBFromAnyDIB(HGLOBAL dib);
/* 203: in place: *bitmap becomes a 24-bit DIBitmap (1 at once when it is
 * one; the old handle is freed only after the new one exists). */
DIBWORK_API int WINAPI Convert24DIBitmap(HBITMAP *bitmap);
/* 204, 205: a new 24-bit DIBitmap made by the system's conversion. */
DIBWORK_API HBITMAP WINAPI Create24DIBFromAnyDIBitmap(HBITMAP bitmap);
DIBWORK_API HBITMAP WINAPI Create24DIBFromMetaDIB(HGLOBAL dib, HBITMAP bitmap);
/* 211: in place: *dib becomes normal: 40-byte header, BI_RGB, bottom-up,
 * 1/4/8 bits with a colour table or 24 bits without.  Core headers are
 * rewritten; run-length, 16- and 32-bit data converted.  0 for other
 * headers, and for data the block does not hold or run-length data that
 * leaves its rows (the handle is then kept). */
DIBWORK_API int WINAPI ConvNormalDIB(HGLOBAL *dib);

/* -------------------------------------------------------------- display -- */

/* 301: draws width x height pixels unscaled from (sx, sy) of the picture,
 * sy counted from the TOP row, through DrawDib.  With a palette it is set
 * first.  The result of the drawing call; 0 for a NULL DC, bits or header. */
DIBWORK_API int WINAPI DispDIBToDevice(HDC dc, int x, int y, int width, int height, int sx, int sy, void *bits,
                                       BITMAPINFOHEADER *header, HPALETTE palette);
/* 302: as 301, scaling the source rectangle to the destination. */
DIBWORK_API int WINAPI DispStretchDIB(HDC dc, int x, int y, int width, int height, int sx, int sy, int sw, int sh,
                                      void *bits, BITMAPINFOHEADER *header, HPALETTE palette);
/* 303: a DIBitmap scaled into the DC (through 302 on palette screens,
 * otherwise StretchBlt, whose result is returned). */
DIBWORK_API int WINAPI DispStretchDIBitmap(HDC dc, int x, int y, int width, int height, int sx, int sy, int sw,
                                           int sh, HBITMAP bitmap);
/* 304: debugging aid: the bitmap at the screen's top-left corner. */
DIBWORK_API int WINAPI DispDebugBitmap(HBITMAP bitmap);
/* 305: paints the picture fitted into the window's client area (enlarged
 * when smaller in both directions, else unscaled and centred or clipped),
 * the rest in the window colour; into the owner-draw record's DC when
 * given, else between BeginPaint and EndPaint.  1 painted. */
DIBWORK_API int WINAPI DispPreviewWndDIBitamp(HWND window, HBITMAP bitmap, DRAWITEMSTRUCT *item);
/* 306: as 305 through a work bitmap (the caller's of the client size, or
 * one made here), the picture shown white where the 1-bit mask is white. */
DIBWORK_API int WINAPI DispPreviewWndWithMask(HWND window, HBITMAP bitmap, HBITMAP mask, HBITMAP work,
                                              DRAWITEMSTRUCT *item);

/* ---------------------------------------------------- colour reduction -- */

/* 370: an 8-bit DIBitmap of a 24-bit DIBitmap (the DIB member must be NULL)
 * with an octree palette of at most 255 colours, always holding white and
 * black; each pixel takes the nearest entry. */
DIBWORK_API HBITMAP WINAPI CreateReducedColorDIBitmap(HGLOBAL dib, HBITMAP bitmap);
/* ------------------------------------- window placement and registry -- */

/* Values live under HKEY_CURRENT_USER as REG_SZ.  GetRegistryValue and
 * SetRegistryValue build the key path "<a>\<b>" from two string resources
 * of the caller's module (a: at most 255 characters, b: at most 127);
 * when either string is missing the registry is left alone.  The *String
 * forms take the key path itself.  Window positions are two values,
 * "<base>_X" and "<base>_Y", holding the decimal left and top; "-1000" in
 * either means no position is stored.  Placement follows the monitor
 * nearest to the wanted point (the whole screen and the system's work area
 * on systems without the multi-monitor functions). */

/* 311: centre window over reference (NULL: the desktop), kept on the
 * screen; size and Z order unchanged.  Nothing for a NULL window. */
DIBWORK_API void WINAPI CenteringWindow(HWND reference, HWND window);
/* 312: move window to *wanted, pulled into the work area of the nearest
 * monitor (left and top edges inside when it is larger), and show it;
 * *wanted receives the position used.  0 for a NULL argument. */
DIBWORK_API int WINAPI SetSafeWindowPos(HWND window, POINT *wanted);
/* 401: move window to its stored position, brought back on screen; with
 * none stored, centre it on the desktop (the first call stores "-1000").
 * 0 for a NULL window or base name, or a base name of 255 characters or
 * more. */
DIBWORK_API int WINAPI LoadWindowPos(HINSTANCE instance, HWND window, UINT keyPathId, UINT subKeyId,
                                     LPCSTR baseName);
/* 402: store the window's left and top.  0 on the conditions of 401, or
 * when the window has no rectangle. */
DIBWORK_API int WINAPI SaveWindowPos(HINSTANCE instance, HWND window, UINT keyPathId, UINT subKeyId,
                                     LPCSTR baseName);
/* 403: read a text value into buffer (at most bufferSize bytes, always
 * terminated): 1.  When it cannot be read, defaultText is written as the
 * value and copied into buffer, cut to bufferSize: 0. */
DIBWORK_API int WINAPI GetRegistryValue(HINSTANCE instance, UINT keyPathId, UINT subKeyId, LPCSTR valueName,
                                        LPSTR buffer, int bufferSize, LPCSTR defaultText);
/* 404: create or open the key and write the text.  1 when written. */
DIBWORK_API int WINAPI SetRegistryValue(HINSTANCE instance, UINT keyPathId, UINT subKeyId, LPCSTR valueName,
                                        LPCSTR text);
/* 405, 406: as 403 and 404 with the key path given (NULL or "": refused). */
DIBWORK_API int WINAPI GetRegistryString(LPCSTR keyPath, LPCSTR valueName, LPSTR buffer, int bufferSize,
                                         LPCSTR defaultText);
DIBWORK_API int WINAPI SetRegistryString(LPCSTR keyPath, LPCSTR valueName, LPCSTR text);

/* ------------------------------------------------------- picture files -- */

/* BMP files are read and written here; JPEG, PNG, GIF, PCX, metafiles and
 * the any-maps go through "Lumaio.dll", loaded by name and freed around
 * every call (a failed load disables those routes for the process), and
 * other extensions through the fallback reader "Lumamisc.dll".  Readers
 * store into the DIB variable when its pointer is given, else into the
 * DIBitmap variable.  Extensions are matched without regard to case:
 *   bmp dib rle -> BMP (read and write)   ico cur ani -> icon (read)
 *   jpeg jpg    -> JPEG (read and write)  gif        -> GIF (read and write)
 *   png         -> PNG (read and write)   wmf emf    -> metafile (read)
 *   pcx         -> PCX (read)             pbm pgm ppm -> any-map (read)
 *   other       -> fallback reader (read only).
 * Files written by WriteBMPFile: the 14-byte file header ("BM", bfSize =
 * 54 + 4 x colours + image bytes, bfOffBits = 54 + 4 x colours), the 40-byte
 * header, the colour table, the rows bottom-up. */

/* 500: GIF reading and writing give 0 from now on. */
DIBWORK_API void WINAPI DisableGifSaved(void);
/* 501: open dialog (picture filters, the last filter index remembered);
 * reads the chosen file.  0 when cancelled or both variable pointers are
 * NULL; else 1, also when reading failed (the variable then holds NULL).
 * title: 260 bytes for the chosen file's title, or NULL. */
DIBWORK_API int WINAPI LoadGraphicsFile(HWND owner, LPSTR title, HGLOBAL *dib, HBITMAP *bitmap);
/* 502: save dialog (BMP, JPEG, PNG, all files); writes by the chosen
 * extension, JPEG through the quality dialog.  0 when cancelled or both
 * handles are NULL; else 1 whether or not writing succeeded. */
DIBWORK_API int WINAPI SaveGraphicsFile(HWND owner, LPSTR title, HGLOBAL dib, HBITMAP bitmap);
/* 503: read by extension, the fallback reader after a failed route.  0
 * for a NULL path, two NULL pointers, a path under 5 characters or
 * without a dot. */
DIBWORK_API int WINAPI ReadGraphicsFile(LPCSTR path, HGLOBAL *dib, HBITMAP *bitmap);
/* 504: write by extension (JPEG at the current JPEG option, GIF with the
 * corner transparency); 0 for unknown extensions and the refusals of 503. */
DIBWORK_API int WINAPI WriteGraphicsFile(LPCSTR path, HGLOBAL dib, HBITMAP bitmap);
/* 505: the contents after the file header as a DIB, or NULL.  Refused:
 * files whose bfSize cannot hold the rest of the file or claims far more
 * than the file has, and files whose header, colour table or rows are not
 * all there. */
DIBWORK_API HGLOBAL WINAPI ReadDIBFile(LPCSTR path);
/* 506: a BMP file as a 24-bit DIBitmap, or NULL. */
DIBWORK_API HBITMAP WINAPI ReadDIBitmapFile(LPCSTR path);
/* 507: write the picture as a BMP file: 1 written, 0 failure. */
DIBWORK_API int WINAPI WriteBMPFile(LPCSTR path, HGLOBAL dib, HBITMAP bitmap);
/* 508..518: the codec routes (see above); the JPEG option is the quality
 * 1..100, handed by value (509) or by address to the dialog (510), which
 * stores the chosen value back. */
DIBWORK_API int WINAPI ReadJpegFile(LPCSTR path, HGLOBAL *dib, HBITMAP *bitmap);
DIBWORK_API int WINAPI WriteJpegFile(LPCSTR path, HGLOBAL dib, HBITMAP bitmap, int option);
DIBWORK_API int WINAPI WriteJpegFileWithDlg(HWND owner, LPCSTR path, HGLOBAL dib, HBITMAP bitmap, int *option);
DIBWORK_API int WINAPI ReadPNGFile(LPCSTR path, HGLOBAL *dib, HBITMAP *bitmap);
DIBWORK_API int WINAPI WritePNGFile(LPCSTR path, HGLOBAL dib, HBITMAP bitmap);
/* 513: value1, value2 go to the codec unchanged: the width and height to
 * render at, 0 for the metafile's own size. */
DIBWORK_API int WINAPI ReadMetaFile(LPCSTR path, HGLOBAL *dib, HBITMAP *bitmap, int value1, int value2);
DIBWORK_API int WINAPI ReadPCXFile(LPCSTR path, HGLOBAL *dib, HBITMAP *bitmap);
DIBWORK_API int WINAPI ReadGIFFile(LPCSTR path, HGLOBAL *dib, HBITMAP *bitmap);
/* 516: WriteGIFFileEngineWithTrans(path, dib, bitmap, 0). */
DIBWORK_API int WINAPI WriteGIFFile(LPCSTR path, HGLOBAL dib, HBITMAP bitmap);
/* 517: an icon file drawn at (0, 0) on a white 32 x 32 24-bit picture. */
DIBWORK_API int WINAPI ReadIconFile(LPCSTR path, HGLOBAL *dib, HBITMAP *bitmap);
/* 518: pictures above 8 bits are written from an 8-bit copy.  With the
 * flag, a picture of at least 6 x 6 whose top-left corner index recurs at
 * 3 or more of the other corners and the four pixels diagonally inside
 * them is written with that index transparent. */
DIBWORK_API int WINAPI WriteGIFFileEngineWithTrans(LPCSTR path, HGLOBAL dib, HBITMAP bitmap, int transparent);
/* 531: a normalised DIB from a resource of type 16000 holding a whole BMP
 * file, or NULL. */
DIBWORK_API HGLOBAL WINAPI LoadDIBFromResource(HMODULE module, UINT number);
/* 532: a bitmap resource with the pixels of the transparent colour painted
 * in the button-face colour, or NULL. */
DIBWORK_API HBITMAP WINAPI LoadBitmapForIcon(HINSTANCE instance, UINT number, COLORREF transparent);
/* 533: LoadImage(instance, name, IMAGE_BITMAP, 0, 0, flags) (on NT 3.51
 * Dibwork's own reader), or NULL. */
DIBWORK_API HBITMAP WINAPI LoadImageDIBitmap(HINSTANCE instance, LPCSTR name, UINT flags);

/* ------------------------------------------------------- tips chip -- */

/* A tool-tip popup of the class "TipsChipWndClass": after the pointer has
 * rested over the target window (or a direct child) for the delay, the
 * chip shows its text at pointer + (16, 16), or on the other side of the
 * pointer where it would leave the screen; it hides when the pointer
 * moves.  It polls with a timer of delay / 6 ms and shows after six
 * unmoved ticks.  Each chip keeps this record as its user data
 * (GWLP_USERDATA). */
typedef struct TipsChipRecord {
    LPSTR text;      /* private copy of the text; may hold line breaks */
    HWND target;     /* the window the chip serves */
    UINT timerId;    /* timer identifier chosen by the caller */
    UINT delay;      /* rest time in milliseconds before showing */
    int stillCount;  /* consecutive ticks with the pointer unmoved */
    int lastX;       /* pointer position at the previous tick */
    int lastY;
} TipsChipRecord;

/* 601: a hidden chip sized to its text (registering the class for the
 * instance when needed), or NULL for a NULL text or on failure. */
DIBWORK_API HWND WINAPI StartTipsChipWindow(LPCSTR text, HWND target, HINSTANCE instance, UINT timerId,
                                            UINT delay);
/* 602: stop the chip's timer, free its record and destroy it (NULL and
 * windows of other classes are ignored). */
DIBWORK_API void WINAPI EndTipsChipWindow(HWND chip);
/* 603: register the class for the instance: the class atom, 0 on failure. */
DIBWORK_API int WINAPI TipsChipWndClassset(HINSTANCE instance);
/* 604: unregister it: 1, or 0 for a NULL instance. */
DIBWORK_API int WINAPI UnregisterTipsChipWndClass(HINSTANCE instance);

/* --------------------------------------------------- small utilities -- */

/* 534: the running program's folder with a trailing backslash; 0 and an
 * empty buffer when it does not fit (or for a size below 2). */
DIBWORK_API int WINAPI GetCurrentModulePath(LPSTR buffer, int bufferSize);
/* 901: open a web address with the shell; waits up to 5 s for the started
 * program to become idle.  1; 0 for NULL. */
DIBWORK_API int WINAPI PopupBrowserByURL(LPCSTR address);
/* 902: folder picker; path is in (preselection, may be empty) and out
 * (MAX_PATH bytes).  1 when a folder was chosen. */
DIBWORK_API int WINAPI BrowseFolderDirect(HWND owner, LPSTR path, LPCSTR title);
/* 903: message box with the text of the thread's last error; caption
 * NULL gives "Error". */
DIBWORK_API void WINAPI PrintErrorMessage(LPCSTR caption);
/* 904: length in bytes, 0 for NULL. */
DIBWORK_API int WINAPI wStrLen(LPCSTR text);
/* 905: 1 on Windows NT 3.51 and earlier. */
DIBWORK_API int WINAPI IsNT351(void);
/* 906: 1 when the processor has MMX. */
DIBWORK_API int WINAPI IsMMX(void);
/* 907: give every descendant of parent the shared dialog font ("MS UI
 * Gothic", 13 px, SHIFTJIS_CHARSET), made once per process.  The result of
 * the enumeration, or -1 when the font could not be made. */
DIBWORK_API int WINAPI SetUIGothicFont(HWND parent);
/* 908: open "mailto:<address>" with the shell.  1; 0 for NULL. */
DIBWORK_API int WINAPI MailToMailAddress(LPCSTR address);

/* ------------------------------------------------------ ordinal table -- */

/* Every export as X(ordinal, name): the contract callers bind to. */
#define DIBWORK_EXPORTS(X)                                                   \
    X(1, MakeBlankDIB)                                                       \
    X(2, MakeBlankDIBImg)                                                    \
    X(3, MakeBlankDIBWithBI)                                                 \
    X(4, MakeBlankDIBitmap)                                                  \
    X(5, MakeBlankDIBitmapImg)                                               \
    X(6, MakeBlankFCDIBitmap)                                                \
    X(7, MakeBlankMonoDIBitmap)                                              \
    X(8, MakeBlank256GrayDIBitmap)                                           \
    X(9, MakeBlankDIBitmapWithDIBitmap)                                      \
    X(10, MakeBlankDIBitmapWithBI)                                           \
    X(21, FreeHandle)                                                        \
    X(22, FreeDIB)                                                           \
    X(23, FreeDIBitmap)                                                      \
    X(24, FreeMetaDIB)                                                       \
    X(31, CopyDIB)                                                           \
    X(32, CopyDIBitmap)                                                      \
    X(33, CopyMetaDIB)                                                       \
    X(34, ConvertDIBitmap2DIB)                                               \
    X(35, ConvertDIB2DIBitmap)                                               \
    X(36, ConvertMetaDIB)                                                    \
    X(37, CopyDIBitmap2DIB)                                                  \
    X(38, CopyDIB2DIBitmap)                                                  \
    X(39, ForwardDIB2DIB)                                                    \
    X(40, ForwardDIBitmap2DIBitmap)                                          \
    X(41, ForwardMetaDIB2MetaDIB)                                            \
    X(51, CreateDIBitmapDC)                                                  \
    X(52, DeleteDIBitmapDC)                                                  \
    X(61, CreateBIPalette)                                                   \
    X(62, CreateBmpPalette)                                                  \
    X(71, GetMetaBitmapInfoHeader)                                           \
    X(72, lpGetMetaBitmapInfoHeader)                                         \
    X(73, ReleaseMetaBitmapInfoHeader)                                       \
    X(74, lpReleaseMetaBitmapInfoHeader)                                     \
    X(81, GetDIBitmapInfoHeader)                                             \
    X(82, GetDIBitmapInfo)                                                   \
    X(83, GetDIBitmapDataAddress)                                            \
    X(84, GetDIBDataAdress)                                                  \
    X(85, GetImageSize)                                                      \
    X(86, GetPaletteSize)                                                    \
    X(87, DibNumColors)                                                      \
    X(88, BitmapWidthBytes)                                                  \
    X(89, GetBitmapWidthBytes)                                               \
    X(101, StretchDIB2DIB)                                                   \
    X(102, StretchDIBitmap2DIBitmap)                                         \
    X(103, TriStretchDIBitmap2DIBitmap)                                      \
    X(104, StretchMetaDIB)                                                   \
    X(111, TilingDIB)                                                        \
    X(112, TilingDIBitmap)                                                   \
    X(113, TilingMetaDIB)                                                    \
    X(121, MakeSmallDIB)                                                     \
    X(122, MakeSmallDIBitmap)                                                \
    X(123, MakeSmallMonoDIBitmap)                                            \
    X(131, CutOutDIB)                                                        \
    X(132, CutOutDIBitmap)                                                   \
    X(133, CutOutMetaDIBitmap)                                               \
    X(134, lpCutOutMetaDIBitmap)                                             \
    X(141, DIBMaskCover)                                                     \
    X(142, DIBitmapMaskCover)                                                \
    X(143, MetaDIBMaskCover)                                                 \
    X(144, MetaDIBMaskBltRect)                                               \
    X(145, RotateMetaDIB)                                                    \
    X(146, RotateRightMetaDIB)                                               \
    X(147, RotateLeftMetaDIB)                                                \
    X(148, DIBitmapPaste)                                                    \
    X(149, DIBitmapPasteRop)                                                 \
    X(201, ConvFullColDIB)                                                   \
    X(202, Create24DIBFromAnyDIB)                                            \
    X(203, Convert24DIBitmap)                                                \
    X(204, Create24DIBFromAnyDIBitmap)                                       \
    X(205, Create24DIBFromMetaDIB)                                           \
    X(211, ConvNormalDIB)                                                    \
    X(221, MetaDIBFillColor)                                                 \
    X(222, MetaDIBFillWhite)                                                 \
    X(223, MetaDIBFillBlack)                                                 \
    X(224, MetaDIBFillColorMasked)                                           \
    X(301, DispDIBToDevice)                                                  \
    X(302, DispStretchDIB)                                                   \
    X(303, DispStretchDIBitmap)                                              \
    X(304, DispDebugBitmap)                                                  \
    X(305, DispPreviewWndDIBitamp)                                           \
    X(306, DispPreviewWndWithMask)                                           \
    X(370, CreateReducedColorDIBitmap)                                       \
    /* window placement and registry */                                      \
    X(311, CenteringWindow)                                                  \
    X(312, SetSafeWindowPos)                                                 \
    X(401, LoadWindowPos)                                                    \
    X(402, SaveWindowPos)                                                    \
    X(403, GetRegistryValue)                                                 \
    X(404, SetRegistryValue)                                                 \
    X(405, GetRegistryString)                                                \
    X(406, SetRegistryString)                                                \
    /* picture files */                                                      \
    X(500, DisableGifSaved)                                                  \
    X(501, LoadGraphicsFile)                                                 \
    X(502, SaveGraphicsFile)                                                 \
    X(503, ReadGraphicsFile)                                                 \
    X(504, WriteGraphicsFile)                                                \
    X(505, ReadDIBFile)                                                      \
    X(506, ReadDIBitmapFile)                                                 \
    X(507, WriteBMPFile)                                                     \
    X(508, ReadJpegFile)                                                     \
    X(509, WriteJpegFile)                                                    \
    X(510, WriteJpegFileWithDlg)                                             \
    X(511, ReadPNGFile)                                                      \
    X(512, WritePNGFile)                                                     \
    X(513, ReadMetaFile)                                                     \
    X(514, ReadPCXFile)                                                      \
    X(515, ReadGIFFile)                                                      \
    X(516, WriteGIFFile)                                                     \
    X(517, ReadIconFile)                                                     \
    X(518, WriteGIFFileEngineWithTrans)                                      \
    X(531, LoadDIBFromResource)                                              \
    X(532, LoadBitmapForIcon)                                                \
    X(533, LoadImageDIBitmap)                                                \
    /* small utilities */                                                    \
    X(534, GetCurrentModulePath)                                             \
    /* tips chip */                                                          \
    X(601, StartTipsChipWindow)                                              \
    X(602, EndTipsChipWindow)                                                \
    X(603, TipsChipWndClassset)                                              \
    X(604, UnregisterTipsChipWndClass)                                       \
    /* small utilities */                                                    \
    X(901, PopupBrowserByURL)                                                \
    X(902, BrowseFolderDirect)                                               \
    X(903, PrintErrorMessage)                                                \
    X(904, wStrLen)                                                          \
    X(905, IsNT351)                                                          \
    X(906, IsMMX)                                                            \
    X(907, SetUIGothicFont)                                                  \
    X(908, MailToMailAddress)

#ifdef __cplusplus
}
#endif

#endif /* PINTORA_DIBWORK_H */
