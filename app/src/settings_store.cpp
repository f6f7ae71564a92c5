#include "settings_store.h"

#include <shlobj.h>

#include <string>

namespace pintora {
namespace {

std::wstring Ascii(const char *text) { return std::wstring(text, text + std::char_traits<char>::length(text)); }

bool FileExists(const std::wstring &path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring WithFileName(std::wstring folder) {
    if (!folder.empty() && folder.back() != L'\\') folder += L'\\';
    return folder + Ascii(kSettingsFileName);
}

}  // namespace

SettingsStore SettingsStore::ForCurrentUser() {
    wchar_t appData[MAX_PATH] = L"";
    wchar_t windows[MAX_PATH] = L"";
    const UINT windowsLength = GetWindowsDirectoryW(windows, MAX_PATH);
    const std::wstring legacy = windowsLength > 0 && windowsLength < MAX_PATH ? WithFileName(windows) : L"";
    if (SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT,
                                   appData))) {
        return SettingsStore(WithFileName(appData), legacy);
    }
    // No application-data folder: the profile functions' own default.
    return SettingsStore(Ascii(kSettingsFileName), L"");
}

SettingsStore::SettingsStore(std::wstring file, std::wstring legacyFile)
    : file_(std::move(file)), legacyFile_(std::move(legacyFile)) {
    if (legacyFile_ == file_) legacyFile_.clear();
}

std::wstring SettingsStore::ReadPath() const {
    if (FileExists(file_)) return file_;
    if (!legacyFile_.empty() && FileExists(legacyFile_)) return legacyFile_;
    return file_;
}

void SettingsStore::PrepareWrite() const {
    if (!legacyFile_.empty() && !FileExists(file_) && FileExists(legacyFile_)) {
        CopyFileW(legacyFile_.c_str(), file_.c_str(), TRUE);
    }
}

int32_t SettingsStore::ReadKey(const std::wstring &path, const SettingKey &key) const {
    // Read as text, so that negative values keep their sign.  A missing key,
    // and one present with an empty value, give the default, as the
    // platform's integer reader has it.
    wchar_t text[64] = L"";
    GetPrivateProfileStringW(Ascii(kSettingsSection).c_str(), Ascii(key.name).c_str(), L"", text, 64,
                             path.c_str());
    if (text[0] == L'\0') return DefaultOf(key);
    std::string narrow;
    for (const wchar_t *p = text; *p; ++p) narrow += *p < 128 ? static_cast<char>(*p) : '?';
    return ParseProfileInt(narrow);
}

void SettingsStore::WriteKey(const SettingKey &key, int32_t value) const {
    WritePrivateProfileStringW(Ascii(kSettingsSection).c_str(), Ascii(key.name).c_str(),
                               std::to_wstring(value).c_str(), file_.c_str());
}

int32_t SettingsStore::ReadFirstRun() const { return ReadKey(ReadPath(), kFirstRunKey) != 0 ? 1 : 0; }

void SettingsStore::WriteFirstRun() const {
    PrepareWrite();
    WriteKey(kFirstRunKey, 1);
}

Settings SettingsStore::ReadRunSettings() const {
    const std::wstring path = ReadPath();
    Settings s;
    for (const SettingKey &key : kRunKeys) s.*(key.member) = ReadKey(path, key);
    for (const SettingKey &key : kTuningKeys) s.*(key.member) = ReadKey(path, key);
    return Clamped(s);
}

void SettingsStore::WriteRunSettings(const Settings &settings) const {
    PrepareWrite();
    const Settings next = ForNextRun(settings);
    for (const SettingKey &key : kRunKeys) WriteKey(key, next.*(key.member));
}

}  // namespace pintora
