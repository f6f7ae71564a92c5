/*
 * The brush plug-in contract: what a `.brs` plug-in and the brush manager
 * (Bristler) agree on.  A plug-in is a DLL with the extension ".brs" that
 * describes its brushes in its string table and exports one entry point per
 * brush.  This header is all a plug-in author needs.
 *
 * This header does not include <windows.h>, so that pixel code can use it;
 * the handle fields are declared with the same struct tags as the Windows
 * headers, so they take HWND, HBITMAP and BITMAPINFOHEADER* values directly.
 *
 * ------------------------------------------------------------------------
 * Descriptor string table (read with LoadStringA into a 128-byte buffer, so
 * at most 127 bytes a string, in the ANSI code page; numbers are decimal
 * text as atoi reads it).  Brush i of N uses the IDs base + i:
 *
 *   1000      signature, exactly "Fernwick PlugIn" (case-sensitive)
 *   1100      interface version, at most 101
 *   1200      brush count N
 *   2000+i    group (non-zero; groups are separated in the brush menu)
 *   2100+i    name, at most 39 bytes
 *   2300+i    brush version: replaces a brush of the same name only when
 *             greater
 *   2200+i    sort key (missing: 65535); the table is sorted by key, then
 *             name
 *   2700+i    description, at most 95 bytes
 *   2800+i    descriptor flags (BDF_*)
 *   2400+i    export name of the entry point, at most 39 bytes; the manager
 *             resolves it with GetProcAddress by name, and skips the brush
 *             when the plug-in does not export it
 *   2900+i    cursor resource ID (1000 and up: from the plug-in)
 *   3000+i    own settings dialog template (only with BDF_OWNDIALOG)
 *   3100+i    export ordinal of its dialog procedure (only with BDF_OWNDIALOG)
 *   5000/5300/5400/5500+i   parameter 1 label (at most 23 bytes), minimum,
 *                           maximum, initial value (with BDF_PARAM1)
 *   6000/6300/6400/6500+i   parameter 2 (with BDF_PARAM2)
 *   7000/7300/7400/7500+i   parameter 3 (with BDF_PARAM3)
 *
 * The manager reads a brush's IDs in the order 2000, 2100, 2300, 2200, 2700,
 * 2800, 2400, 2900, 3000, 3100, parameters; the first missing or bad one
 * skips that brush only.  Parameters not read stay all zero.
 *
 * ------------------------------------------------------------------------
 * Entry point: int32_t PLUGIN_CALL Xi_<Name>Brush(PlugInBrushContext *ctx)
 * (stdcall, exported under its plain name, without the @4).  Non-zero means
 * success; any unknown command, and a NULL context, gives 0.  No C++
 * exception may leave an entry point.
 *
 * Call order, all on the host's user-interface thread, one at a time:
 *   select    BRUSHCMD_SELECT (4): tipParams points at the brush's three
 *             BrushParam records; free the old tip, build the new one.
 *             Sent again whenever the brush or a parameter changes; the
 *             result is ignored, so a brush whose tip could not be built
 *             must refuse to paint later (its tipBits is NULL).
 *   stroke    BRUSHCMD_BEGIN (2), then BRUSHCMD_PAINT (1) at the press;
 *             0 from either refuses the stroke.  BRUSHCMD_PAINT (1) for
 *             every move (result ignored); BRUSHCMD_END (3) at the release.
 *   preview   BRUSHCMD_PREVIEW (6): draw a sample into a temporary context
 *             (see below); between strokes, or right after a colour pick at
 *             a stroke start.
 *   release   BRUSHCMD_RELEASE (5): free tipBits, workBits and spareBits
 *             and set them NULL.
 *
 * A stroke as the manager drives it:
 *   press     fields 1-9 describe the canvas (held until the release);
 *             cur = prev = start = the point; flags = the key flags of the
 *             button message; dirty rectangle = 0; pressure = the tablet's
 *             or 128; then commands 2 and 1.
 *   move      prev = cur (as the plug-in left it); cur = the new point;
 *             pressure read again; command 1.
 *   release   command 3; then fields 1-5 and 7-9 become 0 and pressure 128.
 * Outside a stroke the canvas fields are NULL / 0.  `flags` stays as it was
 * at the press for the whole stroke.
 *
 * The preview context is a separate record: hwndCanvas = the preview
 * window, hCanvasDib NULL, hCanvasDIBitmap, canvasInfo, canvasBits, width,
 * height and stride describe a 24-bit picture of the preview's client size;
 * fields 10-15 (workBits .. tipVariantCount), color, color2 and color3 are
 * copied from the real context; command 6; flags 0; cur = prev = start =
 * (width / 2, height / 2); pressure 128; everything else 0.  Afterwards the
 * manager copies workBits and tipBits back into the real context, so a
 * plug-in may replace those buffers during a preview.
 *
 * Ownership: the plug-in allocates and frees workBits, tipBits and
 * spareBits itself (with its own allocator) and writes tipWidth, tipHeight,
 * tipVariantCount and color3; the manager only carries these values and
 * never frees them.  The plug-in may rewrite curX/curY (setting cur back to
 * prev makes short moves add up, because the manager copies cur into prev
 * before each move).  A colour pick writes `color`.  Every other field
 * belongs to the manager.
 *
 * Coordinates: canvas pixels with y counted from the top.  The canvas is
 * 24-bit (blue, green, red), rows stored bottom-up, `stride` bytes each:
 * pixel (x, y) is at canvasBits + (height - 1 - y) * stride + 3 * x.
 *
 * Dirty rectangle: after every painting or preview call the plug-in writes
 * the canvas pixels the call changed as left, top, right, bottom (y from
 * the top, right and bottom exclusive); all 0 when nothing was painted.
 * The rectangle may reach past the canvas edges (the engine of this system
 * adds one spare row above its dabs and does not clip the right and top
 * sides): a host clips it to the canvas before use.
 *
 * Colours are Windows colour values: red in the lowest byte, then green
 * and blue; the top byte is a flag byte (2 in colours made by the manager,
 * the colour dialog and a colour pick, 0 in the colour-bar values).
 */
#ifndef PINTORA_BRUSH_PLUGIN_H
#define PINTORA_BRUSH_PLUGIN_H

#include <stddef.h>
#include <stdint.h>

#if defined(_WIN32) && defined(__i386__)
#define PLUGIN_CALL __stdcall
#else
#define PLUGIN_CALL
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Windows types by their struct tags (see the note at the top). */
struct HWND__;
struct HBITMAP__;
struct tagBITMAPINFOHEADER;

/* ------------------------------------------------------- string table -- */

#define BRUSH_PLUGIN_SIGNATURE "Fernwick PlugIn"
#define BRUSH_PLUGIN_INTERFACE_VERSION 101

enum BrushDescriptorId {
    BRSID_SIGNATURE = 1000,
    BRSID_INTERFACE_VERSION = 1100,
    BRSID_BRUSH_COUNT = 1200,
    BRSID_GROUP = 2000,
    BRSID_NAME = 2100,
    BRSID_SORT_KEY = 2200,
    BRSID_VERSION = 2300,
    BRSID_EXPORT_NAME = 2400,
    BRSID_DESCRIPTION = 2700,
    BRSID_FLAGS = 2800,
    BRSID_CURSOR = 2900,
    BRSID_DIALOG_TEMPLATE = 3000,
    BRSID_DIALOG_PROC_ORDINAL = 3100,
    /* Parameter k (0, 1, 2): label, minimum, maximum, initial value at
     * BRSID_PARAM_LABEL + 1000 k + i, and so on. */
    BRSID_PARAM_LABEL = 5000,
    BRSID_PARAM_MINIMUM = 5300,
    BRSID_PARAM_MAXIMUM = 5400,
    BRSID_PARAM_INITIAL = 5500,
    BRSID_PARAM_STEP = 1000
};

/* Field widths of descriptor strings, terminating NUL included. */
#define BRUSH_NAME_BYTES 40
#define BRUSH_DESCRIPTION_BYTES 96
#define BRUSH_EXPORT_NAME_BYTES 40
#define BRUSH_PARAM_LABEL_BYTES 24
#define BRUSH_STRING_BUFFER_BYTES 128

/* Descriptor flags (ID 2800 + i). */
#define BDF_PARAM1 0x02    /* parameter 1 exists (size) */
#define BDF_PARAM2 0x04    /* parameter 2 exists (density) */
#define BDF_PARAM3 0x08    /* parameter 3 exists (brush-specific) */
#define BDF_COLOR 0x10     /* paints with the current colour */
#define BDF_OWNDIALOG 0x20 /* brings its own settings dialog */

/* --------------------------------------------------------- commands -- */

#define BRUSHCMD_PAINT 1
#define BRUSHCMD_BEGIN 2
#define BRUSHCMD_END 3
#define BRUSHCMD_SELECT 4
#define BRUSHCMD_RELEASE 5
#define BRUSHCMD_PREVIEW 6

/* Key-state flags of the mouse message that started a stroke (`flags`). */
#define BRUSHKEY_LBUTTON 0x01
#define BRUSHKEY_RBUTTON 0x02
#define BRUSHKEY_SHIFT 0x04   /* keep the stroke horizontal or vertical */
#define BRUSHKEY_CONTROL 0x08 /* pick the colour under the pointer */
#define BRUSHKEY_MBUTTON 0x10

/* Pressure without a tablet, and its full scale. */
#define BRUSH_PRESSURE_FULL 128

/* Flag byte of colours made by the manager, the colour dialog and a pick. */
#define BRUSH_COLOR_FLAG 0x02000000u
#define BRUSH_COLOR_INITIAL 0x020000FFu /* red */
#define BRUSH_COLOR2_INITIAL 0x02FFFFFFu /* white */

/* ---------------------------------------------------------- records -- */

/* One parameter of a brush; a brush has three, one after the other, so the
 * block is 27 32-bit words and the value of parameter k + 1 (k = 0, 1, 2) is
 * word 9k + 8.  By convention parameter 1 is the size ("大きさ"), 2 the
 * density ("濃さ") and 3 a brush-specific value.  A parameter the brush does
 * not have is all zero (empty label, 0, 0, 0). */
typedef struct BrushParam {
    char label[BRUSH_PARAM_LABEL_BYTES]; /* trackbar label, NUL-terminated */
    int32_t minimum;
    int32_t maximum;
    int32_t value; /* kept within minimum..maximum by the manager */
} BrushParam;

#define BRUSH_PARAM_COUNT 3

/* The record the manager fills and passes to an entry point: 35 32-bit
 * fields, in this order.  "manager" and "plug-in" say who writes a field
 * (see Ownership above). */
typedef struct PlugInBrushContext {
    struct HWND__ *hwndCanvas;             /*  1 manager: canvas window (preview window in a preview) */
    void *hCanvasDib;                      /*  2 manager: DIB half of the canvas MetaDIB, NULL here */
    struct HBITMAP__ *hCanvasDIBitmap;     /*  3 manager: the canvas DIBitmap */
    struct tagBITMAPINFOHEADER *canvasInfo; /* 4 manager: canvas header, held for the stroke */
    uint8_t *canvasBits;                   /*  5 manager: 24-bit canvas pixels, rows bottom-up */
    uint8_t *sourceBits;                   /*  6 manager: a picture of the same size to take colours from, or NULL */
    int32_t width;                         /*  7 manager */
    int32_t height;                        /*  8 manager */
    int32_t stride;                        /*  9 manager: bytes per canvas row */
    void *workBits;                        /* 10 plug-in: buffer kept between calls */
    void *tipBits;                         /* 11 plug-in: tip mask(s), built on BRUSHCMD_SELECT */
    BrushParam *tipParams;                 /* 12 manager: the brush's three parameters */
    int32_t tipWidth;                      /* 13 plug-in */
    int32_t tipHeight;                     /* 14 plug-in */
    int32_t tipVariantCount;               /* 15 plug-in: masks in tipBits */
    int32_t command;                       /* 16 manager: BRUSHCMD_* */
    int32_t flags;                         /* 17 manager: BRUSHKEY_* of the stroke start */
    int32_t reserved;                      /* 18 0 */
    uint32_t color;                        /* 19 current colour 0x00BBGGRR plus flag byte */
    uint32_t color2;                       /* 20 manager: second colour, 0x02FFFFFF */
    uint32_t color3;                       /* 21 plug-in: free for the plug-in's own use */
    int32_t curX, curY;                    /* 22, 23 manager; the plug-in may rewrite */
    int32_t prevX, prevY;                  /* 24, 25 manager: cur of the previous call */
    int32_t startX, startY;                /* 26, 27 manager: where the stroke began */
    int32_t markX, markY;                  /* 28, 29 manager: -1024 when its dialog (re)initialises */
    int32_t pressure;                      /* 30 manager: 0..128, 128 without a tablet */
    int32_t dirtyLeft, dirtyTop;           /* 31, 32 plug-in: touched rectangle, */
    int32_t dirtyRight, dirtyBottom;       /* 33, 34 right and bottom exclusive */
    void *spareBits;                       /* 35 plug-in: further buffer, freed on release */
} PlugInBrushContext;

/* A brush entry point. */
typedef int32_t(PLUGIN_CALL *PlugInBrushProc)(PlugInBrushContext *context);

#ifdef __cplusplus
}
#endif

/* The layout is fixed, and checked field by field, in both flavours of the
 * program (C++11 or C11): the 32-bit one (i686), whose layout is the plug-in
 * binary contract, and the 64-bit one (x86_64 Windows, and the native
 * sanitizer build of the kernels), where the same fields in the same order
 * hold pointers and handles of 8 bytes.  A plug-in loads only into a host of
 * its own flavour. */
#if defined(__i386__) || defined(_M_IX86)
#define PINTORA_LAYOUT(i686, x86_64) (i686)
#elif defined(__x86_64__) || defined(_M_X64)
#define PINTORA_LAYOUT(i686, x86_64) (x86_64)
#endif
#if defined(PINTORA_LAYOUT) && \
    (defined(__cplusplus) || (defined(__STDC_VERSION__) && __STDC_VERSION__ >= 201112L))
#ifdef __cplusplus
#define PINTORA_CONTRACT_ASSERT(cond, what) static_assert(cond, what)
#else
#define PINTORA_CONTRACT_ASSERT(cond, what) _Static_assert(cond, what)
#endif
PINTORA_CONTRACT_ASSERT(sizeof(BrushParam) == 9 * 4, "BrushParam is 9 words");
PINTORA_CONTRACT_ASSERT(offsetof(BrushParam, label) == 0, "BrushParam.label");
PINTORA_CONTRACT_ASSERT(offsetof(BrushParam, minimum) == 6 * 4, "BrushParam.minimum");
PINTORA_CONTRACT_ASSERT(offsetof(BrushParam, maximum) == 7 * 4, "BrushParam.maximum");
PINTORA_CONTRACT_ASSERT(offsetof(BrushParam, value) == 8 * 4, "BrushParam.value");
PINTORA_CONTRACT_ASSERT(BRUSH_PARAM_COUNT * sizeof(BrushParam) == 27 * 4, "parameter block is 27 words");
/* i686: 35 words.  x86_64: 8-byte pointers, 4 bytes of padding after
 * stride so that workBits is aligned, 184 bytes in all. */
PINTORA_CONTRACT_ASSERT(sizeof(PlugInBrushContext) == PINTORA_LAYOUT(35 * 4, 184), "PlugInBrushContext size");
PINTORA_CONTRACT_ASSERT(offsetof(PlugInBrushContext, hwndCanvas) == PINTORA_LAYOUT(0 * 4, 0), "field 1: hwndCanvas");
PINTORA_CONTRACT_ASSERT(offsetof(PlugInBrushContext, hCanvasDib) == PINTORA_LAYOUT(1 * 4, 8), "field 2: hCanvasDib");
PINTORA_CONTRACT_ASSERT(offsetof(PlugInBrushContext, hCanvasDIBitmap) == PINTORA_LAYOUT(2 * 4, 16), "field 3: hCanvasDIBitmap");
PINTORA_CONTRACT_ASSERT(offsetof(PlugInBrushContext, canvasInfo) == PINTORA_LAYOUT(3 * 4, 24), "field 4: canvasInfo");
PINTORA_CONTRACT_ASSERT(offsetof(PlugInBrushContext, canvasBits) == PINTORA_LAYOUT(4 * 4, 32), "field 5: canvasBits");
PINTORA_CONTRACT_ASSERT(offsetof(PlugInBrushContext, sourceBits) == PINTORA_LAYOUT(5 * 4, 40), "field 6: sourceBits");
PINTORA_CONTRACT_ASSERT(offsetof(PlugInBrushContext, width) == PINTORA_LAYOUT(6 * 4, 48), "field 7: width");
PINTORA_CONTRACT_ASSERT(offsetof(PlugInBrushContext, height) == PINTORA_LAYOUT(7 * 4, 52), "field 8: height");
PINTORA_CONTRACT_ASSERT(offsetof(PlugInBrushContext, stride) == PINTORA_LAYOUT(8 * 4, 56), "field 9: stride");
PINTORA_CONTRACT_ASSERT(offsetof(PlugInBrushContext, workBits) == PINTORA_LAYOUT(9 * 4, 64), "field 10: workBits");
PINTORA_CONTRACT_ASSERT(offsetof(PlugInBrushContext, tipBits) == PINTORA_LAYOUT(10 * 4, 72), "field 11: tipBits");
PINTORA_CONTRACT_ASSERT(offsetof(PlugInBrushContext, tipParams) == PINTORA_LAYOUT(11 * 4, 80), "field 12: tipParams");
PINTORA_CONTRACT_ASSERT(offsetof(PlugInBrushContext, tipWidth) == PINTORA_LAYOUT(12 * 4, 88), "field 13: tipWidth");
PINTORA_CONTRACT_ASSERT(offsetof(PlugInBrushContext, tipHeight) == PINTORA_LAYOUT(13 * 4, 92), "field 14: tipHeight");
PINTORA_CONTRACT_ASSERT(offsetof(PlugInBrushContext, tipVariantCount) == PINTORA_LAYOUT(14 * 4, 96), "field 15: tipVariantCount");
PINTORA_CONTRACT_ASSERT(offsetof(PlugInBrushContext, command) == PINTORA_LAYOUT(15 * 4, 100), "field 16: command");
PINTORA_CONTRACT_ASSERT(offsetof(PlugInBrushContext, flags) == PINTORA_LAYOUT(16 * 4, 104), "field 17: flags");
PINTORA_CONTRACT_ASSERT(offsetof(PlugInBrushContext, reserved) == PINTORA_LAYOUT(17 * 4, 108), "field 18: reserved");
PINTORA_CONTRACT_ASSERT(offsetof(PlugInBrushContext, color) == PINTORA_LAYOUT(18 * 4, 112), "field 19: color");
PINTORA_CONTRACT_ASSERT(offsetof(PlugInBrushContext, color2) == PINTORA_LAYOUT(19 * 4, 116), "field 20: color2");
PINTORA_CONTRACT_ASSERT(offsetof(PlugInBrushContext, color3) == PINTORA_LAYOUT(20 * 4, 120), "field 21: color3");
PINTORA_CONTRACT_ASSERT(offsetof(PlugInBrushContext, curX) == PINTORA_LAYOUT(21 * 4, 124), "field 22: curX");
PINTORA_CONTRACT_ASSERT(offsetof(PlugInBrushContext, curY) == PINTORA_LAYOUT(22 * 4, 128), "field 23: curY");
PINTORA_CONTRACT_ASSERT(offsetof(PlugInBrushContext, prevX) == PINTORA_LAYOUT(23 * 4, 132), "field 24: prevX");
PINTORA_CONTRACT_ASSERT(offsetof(PlugInBrushContext, prevY) == PINTORA_LAYOUT(24 * 4, 136), "field 25: prevY");
PINTORA_CONTRACT_ASSERT(offsetof(PlugInBrushContext, startX) == PINTORA_LAYOUT(25 * 4, 140), "field 26: startX");
PINTORA_CONTRACT_ASSERT(offsetof(PlugInBrushContext, startY) == PINTORA_LAYOUT(26 * 4, 144), "field 27: startY");
PINTORA_CONTRACT_ASSERT(offsetof(PlugInBrushContext, markX) == PINTORA_LAYOUT(27 * 4, 148), "field 28: markX");
PINTORA_CONTRACT_ASSERT(offsetof(PlugInBrushContext, markY) == PINTORA_LAYOUT(28 * 4, 152), "field 29: markY");
PINTORA_CONTRACT_ASSERT(offsetof(PlugInBrushContext, pressure) == PINTORA_LAYOUT(29 * 4, 156), "field 30: pressure");
PINTORA_CONTRACT_ASSERT(offsetof(PlugInBrushContext, dirtyLeft) == PINTORA_LAYOUT(30 * 4, 160), "field 31: dirtyLeft");
PINTORA_CONTRACT_ASSERT(offsetof(PlugInBrushContext, dirtyTop) == PINTORA_LAYOUT(31 * 4, 164), "field 32: dirtyTop");
PINTORA_CONTRACT_ASSERT(offsetof(PlugInBrushContext, dirtyRight) == PINTORA_LAYOUT(32 * 4, 168), "field 33: dirtyRight");
PINTORA_CONTRACT_ASSERT(offsetof(PlugInBrushContext, dirtyBottom) == PINTORA_LAYOUT(33 * 4, 172), "field 34: dirtyBottom");
PINTORA_CONTRACT_ASSERT(offsetof(PlugInBrushContext, spareBits) == PINTORA_LAYOUT(34 * 4, 176), "field 35: spareBits");
#undef PINTORA_CONTRACT_ASSERT
#endif

#endif /* PINTORA_BRUSH_PLUGIN_H */
