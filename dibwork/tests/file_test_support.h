// Helpers of the picture-file tests: pictures with known pixels, files as
// bytes, and the transparency entry of a GIF file.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "dibwork_binding.h"

namespace file_test {

using Bytes = std::vector<uint8_t>;

// A 24-bit DIBitmap with colour(x, y) at each pixel, y from the top.
inline HBITMAP MakePicture(int w, int h, const std::function<COLORREF(int, int)> &colour) {
    HBITMAP bmp = Dw().MakeBlankFCDIBitmap(w, h);
    auto *bits = static_cast<uint8_t *>(Dw().GetDIBitmapDataAddress(bmp));
    const DWORD stride = Dw().BitmapWidthBytes(w, 24);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            uint8_t *p = bits + (h - 1 - y) * stride + 3 * x;
            const COLORREF c = colour(x, y);
            p[0] = GetBValue(c);
            p[1] = GetGValue(c);
            p[2] = GetRValue(c);
        }
    }
    return bmp;
}

// Pixel (x, y from the top) of a 24-bit DIBitmap.
inline COLORREF PixelAt(HBITMAP bmp, int x, int y) {
    BITMAPINFOHEADER h{};
    void *bits = nullptr;
    Dw().GetDIBitmapInfo(bmp, &h, &bits);
    const uint8_t *p = static_cast<uint8_t *>(bits) + (h.biHeight - 1 - y) * Dw().GetBitmapWidthBytes(&h) + 3 * x;
    return RGB(p[2], p[1], p[0]);
}

inline BITMAPINFOHEADER HeaderOf(HBITMAP bmp) {
    BITMAPINFOHEADER h{};
    Dw().GetDIBitmapInfoHeader(&h, bmp);
    return h;
}

inline Bytes ReadBytes(const std::string &path) {
    Bytes out;
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return out;
    out.resize(GetFileSize(f, nullptr));
    DWORD read = 0;
    if (!out.empty()) ReadFile(f, out.data(), static_cast<DWORD>(out.size()), &read, nullptr);
    CloseHandle(f);
    return out;
}

inline void WriteBytes(const std::string &path, const Bytes &bytes) {
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    if (!bytes.empty()) WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(f);
}

inline bool FileExists(const std::string &path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

inline uint32_t U32(const Bytes &b, size_t at) { uint32_t v; std::memcpy(&v, &b[at], 4); return v; }
inline uint16_t U16(const Bytes &b, size_t at) { uint16_t v; std::memcpy(&v, &b[at], 2); return v; }

// The transparent colour index of a GIF's first graphic control
// extension, -1 when it marks none; nothing for a file that is not a GIF.
inline std::optional<int> GifTransparentIndex(const Bytes &gif) {
    if (gif.size() < 13 || std::memcmp(gif.data(), "GIF", 3) != 0) return std::nullopt;
    size_t at = 13;
    if (gif[10] & 0x80) at += 3u << ((gif[10] & 7) + 1);
    while (at + 2 < gif.size()) {
        if (gif[at] == 0x2C || gif[at] == 0x3B) return -1;
        if (gif[at] != 0x21) return std::nullopt;
        const uint8_t label = gif[at + 1];
        at += 2;
        if (label == 0xF9 && at + 4 < gif.size()) return (gif[at + 1] & 1) ? gif[at + 4] : -1;
        while (at < gif.size() && gif[at] != 0) at += gif[at] + 1u;
        ++at;
    }
    return std::nullopt;
}

// The colour-table entry `index` that applies to a GIF's first image: the
// image's local table when it has one, else the global table.
inline std::optional<COLORREF> GifColour(const Bytes &gif, int index) {
    if (gif.size() < 13) return std::nullopt;
    size_t globalAt = 0, at = 13;
    if (gif[10] & 0x80) {
        globalAt = 13;
        at += 3u << ((gif[10] & 7) + 1);
    }
    while (at + 10 <= gif.size() && gif[at] == 0x21) {  // skip extensions
        at += 2;
        while (at < gif.size() && gif[at] != 0) at += gif[at] + 1u;
        ++at;
    }
    if (at + 10 > gif.size() || gif[at] != 0x2C) return std::nullopt;
    size_t table = (gif[at + 9] & 0x80) ? at + 10 : globalAt;
    if (table == 0 || table + 3 * static_cast<size_t>(index) + 3 > gif.size()) return std::nullopt;
    table += 3 * static_cast<size_t>(index);
    return RGB(gif[table], gif[table + 1], gif[table + 2]);
}

}  // namespace file_test
