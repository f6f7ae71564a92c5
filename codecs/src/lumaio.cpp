// Lumaio.dll: JPEG, PNG and GIF through the platform's imaging component,
// metafiles through GDI, PCX and the any-maps through small readers of our
// own.  Every entry is bound by ordinal (lumaio.def); see lumaio.h.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstring>

#include "lumaio.h"
#include "lumaio_resource.h"
#include "metafile.h"
#include "picture_handles.h"
#include "wic.h"
#include "win32/win32_owners.h"

namespace {

using namespace codecs;

constexpr size_t kMaxSmallFormatBytes = 256u * 1024u * 1024u;

int Store(const std::optional<DecodedImage> &image, HGLOBAL *dib, HBITMAP *bitmap) {
    return image && StoreDecoded(*image, dib, bitmap) ? 1 : 0;
}

int ReadWithWic(LPCSTR path, HGLOBAL *dib, HBITMAP *bitmap) {
    if (!path || (!dib && !bitmap)) return 0;
    return Store(WicDecode(path), dib, bitmap);
}

template <typename Decoder>
int ReadWithOwnReader(LPCSTR path, HGLOBAL *dib, HBITMAP *bitmap, Decoder decode) {
    if (!path || (!dib && !bitmap)) return 0;
    auto bytes = ReadWholeFile(path, kMaxSmallFormatBytes);
    if (!bytes) return 0;
    return Store(decode(bytes->data(), bytes->size()), dib, bitmap);
}

int WriteJpeg(LPCSTR path, HGLOBAL dib, HBITMAP bitmap, int quality) {
    if (!path) return 0;
    auto pixels = PixelsOf(dib, bitmap);
    if (!pixels) return 0;
    quality = std::clamp(quality, 1, 100);
    return WicEncode24(path, WicContainer::kJpeg, *pixels, static_cast<float>(quality) / 100.0f) ? 1 : 0;
}

// The quality dialog: the edit shows the proposal; OK takes the edit's
// value, brought into 1..100.
INT_PTR CALLBACK QualityDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        SendDlgItemMessageW(dialog, IDC_JPEG_QUALITY_SPIN, UDM_SETRANGE32, 1, 100);
        const int *quality = reinterpret_cast<const int *>(lParam);
        SetDlgItemInt(dialog, IDC_JPEG_QUALITY_EDIT, static_cast<UINT>(std::clamp(*quality, 1, 100)), FALSE);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            int *quality = reinterpret_cast<int *>(GetWindowLongPtrW(dialog, DWLP_USER));
            BOOL ok = FALSE;
            const UINT value = GetDlgItemInt(dialog, IDC_JPEG_QUALITY_EDIT, &ok, FALSE);
            if (ok) *quality = std::clamp(static_cast<int>(std::min<UINT>(value, 100)), 1, 100);
            EndDialog(dialog, IDOK);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

}  // namespace

extern "C" {

int WINAPI LumaioReadJpeg(LPCSTR path, HGLOBAL *dib, HBITMAP *bitmap) {
    return NoThrow([&] { return ReadWithWic(path, dib, bitmap); });
}

int WINAPI LumaioWriteJpeg(LPCSTR path, HGLOBAL dib, HBITMAP bitmap, int quality) {
    return NoThrow([&] { return WriteJpeg(path, dib, bitmap, quality); });
}

int WINAPI LumaioWriteJpegDlg(HWND owner, LPCSTR path, HGLOBAL dib, HBITMAP bitmap, int *quality) {
    return NoThrow([&] {
        if (!path || !quality || (!dib && !bitmap)) return 0;
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_UPDOWN_CLASS};
        InitCommonControlsEx(&controls);
        int chosen = *quality;
        if (DialogBoxParamW(pintora::ThisModule(), MAKEINTRESOURCEW(IDD_JPEG_QUALITY), owner, QualityDialogProc,
                            reinterpret_cast<LPARAM>(&chosen)) != IDOK) {
            return 0;
        }
        *quality = chosen;
        return WriteJpeg(path, dib, bitmap, chosen);
    });
}

int WINAPI LumaioReadPng(LPCSTR path, HGLOBAL *dib, HBITMAP *bitmap) {
    return NoThrow([&] { return ReadWithWic(path, dib, bitmap); });
}

int WINAPI LumaioWritePng(LPCSTR path, HGLOBAL dib, HBITMAP bitmap) {
    return NoThrow([&] {
        if (!path) return 0;
        auto pixels = PixelsOf(dib, bitmap);
        return pixels && WicEncode24(path, WicContainer::kPng, *pixels) ? 1 : 0;
    });
}

int WINAPI LumaioReadMeta(LPCSTR path, HGLOBAL *dib, HBITMAP *bitmap, int width, int height) {
    return NoThrow([&] {
        if (!path || (!dib && !bitmap)) return 0;
        return Store(RenderMetafile(path, width, height), dib, bitmap);
    });
}

int WINAPI LumaioReadPcx(LPCSTR path, HGLOBAL *dib, HBITMAP *bitmap) {
    return NoThrow([&] { return ReadWithOwnReader(path, dib, bitmap, DecodePcx); });
}

int WINAPI LumaioReadGif(LPCSTR path, HGLOBAL *dib, HBITMAP *bitmap) {
    return NoThrow([&] { return ReadWithWic(path, dib, bitmap); });
}

int WINAPI LumaioReadAnyMap(LPCSTR path, HGLOBAL *dib, HBITMAP *bitmap) {
    return NoThrow([&] { return ReadWithOwnReader(path, dib, bitmap, DecodePnm); });
}

int WINAPI LumaioWriteGif(LPCSTR path, HGLOBAL dib, HBITMAP bitmap, int transparentIndex) {
    return NoThrow([&] {
        if (!path) return 0;
        auto indexed = IndexedPixelsOf(dib, bitmap);
        if (!indexed) return 0;
        if (transparentIndex >= static_cast<int>(indexed->palette.size())) transparentIndex = -1;
        return WicEncodeGif(path, *indexed, transparentIndex) ? 1 : 0;
    });
}

}  // extern "C"
