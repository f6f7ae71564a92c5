// String values under HKEY_CURRENT_USER with a default that is written
// back on first use.  The key path comes either from two string resources
// of the caller's module ("%s\%s") or straight from the caller.
//
// Registry failures are not reported: a read that fails gives the default
// (and writes it), a failed write is silent.
#include <windows.h>

#include <cstring>
#include <string>

#include "dibwork.h"

namespace {

// Lengths of the two key-path texts: at most 255 and 127 characters.
constexpr int kKeyTextBytes = 256;
constexpr int kSubKeyTextBytes = 128;

class RegKey {
public:
    RegKey() = default;
    ~RegKey() { if (key_) RegCloseKey(key_); }
    RegKey(const RegKey &) = delete;
    RegKey &operator=(const RegKey &) = delete;
    HKEY *out() { return &key_; }
    HKEY get() const { return key_; }
private:
    HKEY key_ = nullptr;
};

// "<first>\<second>" from the module's string table; empty when either
// text is missing, so that nothing is ever written to the root of the hive.
std::string KeyPathFromStrings(HINSTANCE instance, UINT keyPathId, UINT subKeyId) {
    char first[kKeyTextBytes] = "";
    char second[kSubKeyTextBytes] = "";
    if (LoadStringA(instance, keyPathId, first, kKeyTextBytes) <= 0) return {};
    if (LoadStringA(instance, subKeyId, second, kSubKeyTextBytes) <= 0) return {};
    return std::string(first) + "\\" + second;
}

bool IsText(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ; }

// Reads a text value whole into the buffer, NUL-terminated.  False when
// the key or value is missing, is not text, or does not fit.
bool ReadText(const char *path, const char *name, char *buffer, int bufferSize) {
    RegKey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, key.out()) != ERROR_SUCCESS) return false;
    DWORD type = 0;
    if (!buffer || bufferSize <= 0) {
        return RegQueryValueExA(key.get(), name, nullptr, &type, nullptr, nullptr) == ERROR_SUCCESS &&
               IsText(type);
    }
    DWORD bytes = static_cast<DWORD>(bufferSize);
    if (RegQueryValueExA(key.get(), name, nullptr, &type, reinterpret_cast<BYTE *>(buffer), &bytes) !=
            ERROR_SUCCESS ||
        !IsText(type)) {
        return false;
    }
    // The stored text need not carry its NUL; it must fit with one.
    if (bytes > 0 && buffer[bytes - 1] == '\0') return true;
    if (bytes >= static_cast<DWORD>(bufferSize)) return false;
    buffer[bytes] = '\0';
    return true;
}

bool WriteText(const char *path, const char *name, const char *text) {
    RegKey key;
    char noClass[] = "";
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, noClass, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr,
                        key.out(), nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const DWORD bytes = static_cast<DWORD>(std::strlen(text) + 1);
    return RegSetValueExA(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE *>(text), bytes) ==
           ERROR_SUCCESS;
}

// The default goes into the buffer only as far as the buffer reaches, and
// is always terminated there.
void CopyBounded(char *buffer, int bufferSize, const char *text) {
    if (buffer && bufferSize > 0) lstrcpynA(buffer, text, bufferSize);
}

int ReadOrSeed(const char *path, const char *name, char *buffer, int bufferSize, const char *defaultText) {
    const char *fallback = defaultText ? defaultText : "";
    if (!path || !*path) {
        CopyBounded(buffer, bufferSize, fallback);
        return 0;
    }
    if (ReadText(path, name, buffer, bufferSize)) return 1;
    WriteText(path, name, fallback);
    CopyBounded(buffer, bufferSize, fallback);
    return 0;
}

int Store(const char *path, const char *name, const char *text) {
    if (!path || !*path) return 0;
    return WriteText(path, name, text ? text : "") ? 1 : 0;
}

}  // namespace

int WINAPI GetRegistryValue(HINSTANCE instance, UINT keyPathId, UINT subKeyId, LPCSTR valueName, LPSTR buffer,
                            int bufferSize, LPCSTR defaultText) {
    try {
        const std::string path = KeyPathFromStrings(instance, keyPathId, subKeyId);
        return ReadOrSeed(path.c_str(), valueName, buffer, bufferSize, defaultText);
    } catch (...) {
        CopyBounded(buffer, bufferSize, defaultText ? defaultText : "");
        return 0;
    }
}

int WINAPI SetRegistryValue(HINSTANCE instance, UINT keyPathId, UINT subKeyId, LPCSTR valueName, LPCSTR text) {
    try {
        const std::string path = KeyPathFromStrings(instance, keyPathId, subKeyId);
        return Store(path.c_str(), valueName, text);
    } catch (...) {
        return 0;
    }
}

int WINAPI GetRegistryString(LPCSTR keyPath, LPCSTR valueName, LPSTR buffer, int bufferSize, LPCSTR defaultText) {
    return ReadOrSeed(keyPath, valueName, buffer, bufferSize, defaultText);
}

int WINAPI SetRegistryString(LPCSTR keyPath, LPCSTR valueName, LPCSTR text) {
    return Store(keyPath, valueName, text);
}
