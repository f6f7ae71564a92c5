#include "page_store.h"

#include "dibwork.h"
#include "page_files.h"

namespace pintora {
namespace {

// The page and thumbnail writers' output is worth nothing half written:
// make sure the bytes are on the disk before the rename publishes them.
bool FlushToDisk(const std::string &path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const bool flushed = FlushFileBuffers(file) != FALSE;
    CloseHandle(file);
    return flushed;
}

// Puts `bytes` in the place of `path` once they are all on the disk.
bool WriteFileSafely(const std::string &path, const std::string &bytes) {
    const std::string temporary = TemporaryPageName(path);
    HANDLE file =
        CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool complete = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                          written == bytes.size() && FlushFileBuffers(file);
    CloseHandle(file);
    const bool placed = complete && MoveFileExA(temporary.c_str(), path.c_str(),
                                                MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!placed) DeleteFileA(temporary.c_str());
    return placed;
}

bool IsFolder(const std::string &path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool MakeFolder(const std::string &path) {
    return IsFolder(path) || CreateDirectoryA(path.c_str(), nullptr) || IsFolder(path);
}

}  // namespace

std::string ProgramFolder() {
    char folder[MAX_PATH] = {};
    return GetCurrentModulePath(folder, sizeof(folder)) ? std::string(folder) : std::string();
}

bool EnsurePageFolders(const std::string &programFolder) {
    return MakeFolder(programFolder + "Save") && MakeFolder(PageFolder(programFolder, false)) &&
           MakeFolder(PageFolder(programFolder, true));
}

bool WritePictureFileSafely(const std::string &path, HBITMAP picture) {
    if (!picture) return false;
    const std::string temporary = TemporaryPageName(path);
    const bool written = WriteBMPFile(temporary.c_str(), nullptr, picture) && FlushToDisk(temporary) &&
                         MoveFileExA(temporary.c_str(), path.c_str(),
                                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!written) DeleteFileA(temporary.c_str());
    return written;
}

bool SavePageFiles(const std::string &programFolder, bool kids, int index, HBITMAP canvas) {
    if (!canvas || programFolder.empty() || !EnsurePageFolders(programFolder)) return false;
    const bool picture = WritePictureFileSafely(PageFileName(programFolder, kids, index, false), canvas);
    HBITMAP thumbnail = TriStretchDIBitmap2DIBitmap(canvas, kThumbnailWidth, kThumbnailHeight);
    if (!thumbnail) return false;
    const bool small = WritePictureFileSafely(PageFileName(programFolder, kids, index, true), thumbnail);
    FreeDIBitmap(&thumbnail);
    return picture && small;
}

int ReadAutosaveMarker(const std::string &programFolder, bool kids) {
    const std::string name = AutosaveMarkerName(programFolder, kids);
    HANDLE file = CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return -1;
    char text[32] = {};
    DWORD read = 0;
    const bool ok = ReadFile(file, text, sizeof(text), &read, nullptr) != FALSE;
    CloseHandle(file);
    return ok ? ParseAutosaveMarker(std::string(text, read)) : -1;
}

bool WriteAutosaveMarker(const std::string &programFolder, bool kids, int index) {
    return !programFolder.empty() &&
           WriteFileSafely(AutosaveMarkerName(programFolder, kids), AutosaveMarkerText(index));
}

void RemoveAutosaveMarker(const std::string &programFolder, bool kids) {
    DeleteFileA(AutosaveMarkerName(programFolder, kids).c_str());
}

HBITMAP LoadPagePicture(const std::string &programFolder, bool kids, int index, SIZE screen) {
    const std::string name = PageFileName(programFolder, kids, index, false);
    if (GetFileAttributesA(name.c_str()) == INVALID_FILE_ATTRIBUTES) return nullptr;
    HBITMAP page = ReadDIBitmapFile(name.c_str());
    if (!page) return nullptr;
    BITMAPINFOHEADER header{};
    GetDIBitmapInfoHeader(&header, page);
    if (header.biWidth != screen.cx || header.biHeight != screen.cy) FreeDIBitmap(&page);
    return page;
}

bool ExportPicture(HBITMAP canvas, const std::string &fileName, size_t extensionOffset) {
    if (!canvas) return false;
    switch (ExportKindOf(fileName, extensionOffset)) {
        case ExportKind::kBmp: return WriteBMPFile(fileName.c_str(), nullptr, canvas) != 0;
        case ExportKind::kJpeg: {
            HBITMAP copy = TriStretchDIBitmap2DIBitmap(canvas, kExportJpegWidth, kExportJpegHeight);
            if (!copy) return false;
            const bool written = WriteJpegFile(fileName.c_str(), nullptr, copy, kExportJpegQuality) != 0;
            FreeDIBitmap(&copy);
            return written;
        }
        case ExportKind::kNothing: break;
    }
    return false;
}

}  // namespace pintora
