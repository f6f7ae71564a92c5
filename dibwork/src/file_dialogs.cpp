// The open and save dialogs in front of the file readers and writers.
// Their filters come from the string table (UTF-8, the process code page),
// one string per dialog with '|' between the fields.
#include <windows.h>
#include <commdlg.h>

#include <cstring>
#include <string>

#include "dibwork.h"
#include "dibwork_internal.h"
#include "file_dialogs_resource.h"
#include "file_io_internal.h"

using namespace dibwork;
using namespace dibwork::fileio;

namespace {

// The open dialog's filter index, remembered from one call to the next.
DWORD g_openFilterIndex = 0;

constexpr DWORD kOpenFlags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_SHOWHELP;  // 0x00081010
constexpr DWORD kSaveFlags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY;           // 6
constexpr size_t kTitleBytes = 260;

// The filter string with its '|' turned into the NUL separators the
// dialog wants (the string ends with a '|', so two NULs end the list).
std::string LoadFilter(UINT id) {
    char buffer[1024] = {};
    const int length = LoadStringA(pintora::ThisModule(), id, buffer, sizeof(buffer));
    std::string filter(buffer, length > 0 ? static_cast<size_t>(length) : 0);
    for (char &c : filter) {
        if (c == '|') c = '\0';
    }
    filter.push_back('\0');
    return filter;
}

// The 76-byte record that every version of the dialog accepts.
OPENFILENAMEA DialogRecord(HWND owner, const std::string &filter, char *path, DWORD pathBytes, LPSTR title) {
    OPENFILENAMEA record{};
    record.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    record.hwndOwner = owner;
    record.lpstrFilter = filter.c_str();
    record.lpstrFile = path;
    record.nMaxFile = pathBytes;
    record.lpstrFileTitle = title;
    record.nMaxFileTitle = title ? kTitleBytes : 0;
    record.lpstrDefExt = "bmp";
    return record;
}

// Shows the wait cursor for the guard's life.
class WaitCursor {
public:
    WaitCursor() : previous_(SetCursor(LoadCursor(nullptr, IDC_WAIT))) {}
    ~WaitCursor() { SetCursor(previous_ ? previous_ : LoadCursor(nullptr, IDC_ARROW)); }
private:
    HCURSOR previous_;
};

int ReadChosenFile(LPCSTR path, PictureKind kind, HGLOBAL *dib, HBITMAP *bitmap) {
    if (kind == PictureKind::kBmp && dib) {
        *dib = ReadDIBFile(path);
        if (*dib && !ConvNormalDIB(dib)) FreeDIB(dib);
        if (*dib) return 1;
    } else if (ReadByRoute(kind, path, dib, bitmap)) {
        return 1;
    }
    if (!FallbackAllowed(kind)) return 0;
    return ReadWithFallback(path, dib, bitmap);
}

}  // namespace

int WINAPI LoadGraphicsFile(HWND owner, LPSTR title, HGLOBAL *dib, HBITMAP *bitmap) {
    if (!dib && !bitmap) return 0;
    const std::string filter = LoadFilter(IDS_OPEN_FILTER);
    char path[MAX_PATH] = {};
    OPENFILENAMEA record = DialogRecord(owner, filter, path, sizeof(path), title);
    record.nFilterIndex = g_openFilterIndex;
    record.Flags = kOpenFlags;
    if (!GetOpenFileNameA(&record)) return 0;
    if (dib) *dib = nullptr;
    else *bitmap = nullptr;
    if (const auto extension = PathExtension(path)) {
        WaitCursor wait;
        ReadChosenFile(path, ClassifyExtension(*extension), dib, bitmap);
    }
    g_openFilterIndex = record.nFilterIndex;
    return 1;
}

int WINAPI SaveGraphicsFile(HWND owner, LPSTR title, HGLOBAL dib, HBITMAP bitmap) {
    if (!dib && !bitmap) return 0;
    const std::string filter = LoadFilter(IDS_SAVE_FILTER);
    char path[256] = {};
    OPENFILENAMEA record = DialogRecord(owner, filter, path, sizeof(path), title);
    record.nFilterIndex = 1;
    record.Flags = kSaveFlags;
    if (!GetSaveFileNameA(&record)) return 0;
    if (const auto extension = PathExtension(path)) {
        WaitCursor wait;
        WriteByRoute(ClassifyExtension(*extension), owner, true, path, dib, bitmap);
    }
    return 1;
}
