#include "text.h"

namespace pintora {

std::wstring LoadWideString(HINSTANCE instance, UINT id) {
    // With a zero length LoadStringW hands out a pointer into the resource.
    const wchar_t *text = nullptr;
    const int length = LoadStringW(instance, id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 && text ? std::wstring(text, static_cast<size_t>(length)) : std::wstring();
}

std::string LoadAnsiString(HINSTANCE instance, UINT id) {
    const std::wstring wide = LoadWideString(instance, id);
    if (wide.empty()) return {};
    const int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr,
                                      nullptr);
    std::string ansi(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), ansi.data(), n, nullptr, nullptr);
    return ansi;
}

}  // namespace pintora
