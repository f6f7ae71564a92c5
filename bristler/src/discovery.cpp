// Start and end of the brush manager: the search of the plug-in folder,
// the brush and module tables (global memory, grown one entry at a time)
// and their order.
#include <cstring>
#include <new>
#include <vector>

#include "brush_rules.h"
#include "bristler_internal.h"
#include "dibwork.h"

namespace bristler {

namespace {

// A copy of `count` entries with room for one more, or NULL (the old
// block is left alone).  The caller frees the old block on success.
template <typename T>
T *GrownCopy(const T *old, int32_t count) {
    auto *grown = static_cast<T *>(GlobalAlloc(GPTR, sizeof(T) * (static_cast<size_t>(count) + 1)));
    if (grown && old && count > 0) std::memcpy(grown, old, sizeof(T) * static_cast<size_t>(count));
    return grown;
}

bool AppendBrush(PlugInBrushManager *manager, const BrushDescriptor &brush) {
    BrushDescriptor *grown = GrownCopy(manager->brushes, manager->brushCount);
    if (!grown) return false;
    grown[manager->brushCount] = brush;
    if (manager->brushes) GlobalFree(manager->brushes);
    manager->brushes = grown;
    ++manager->brushCount;
    return true;
}

bool AppendModule(PlugInBrushManager *manager, const std::string &path, HMODULE module) {
    PlugInModule *grown = GrownCopy(manager->modules, manager->moduleCount);
    if (!grown) return false;
    PlugInModule &entry = grown[manager->moduleCount];
    std::memcpy(entry.path, path.c_str(), path.size() + 1);
    entry.module = module;
    if (manager->modules) GlobalFree(manager->modules);
    manager->modules = grown;
    ++manager->moduleCount;
    return true;
}

// "folder\name", without doubling a separator the folder already ends in.
std::string JoinPath(const std::string &folder, const char *name) {
    std::string path = folder;
    if (!path.empty() && path.back() != '\\' && path.back() != '/') path += '\\';
    return path + name;
}

// Loads a library without any system error box about it.
HMODULE LoadPlugInLibrary(const std::string &path) {
    DWORD previousMode = 0;
    SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &previousMode);
    HMODULE module = LoadLibraryA(path.c_str());
    SetThreadErrorMode(previousMode, nullptr);
    return module;
}

// The plug-in header strings: signature, interface version, brush count.
// 0 when the library is not a usable plug-in.
int32_t PlugInBrushCount(HMODULE module) {
    char text[BRUSH_STRING_BUFFER_BYTES];
    if (LoadStringA(module, BRSID_SIGNATURE, text, sizeof(text)) <= 0) return 0;
    if (std::strcmp(text, BRUSH_PLUGIN_SIGNATURE) != 0) return 0;
    if (LoadStringA(module, BRSID_INTERFACE_VERSION, text, sizeof(text)) <= 0) return 0;
    if (ParseDecimal(text) > BRUSH_PLUGIN_INTERFACE_VERSION) return 0;
    if (LoadStringA(module, BRSID_BRUSH_COUNT, text, sizeof(text)) <= 0) return 0;
    const int32_t count = ParseDecimal(text);
    if (count <= 0) return 0;
    return count < kMaxBrushesPerPlugIn ? count : kMaxBrushesPerPlugIn;
}

enum class Registered { kSkipped, kKept, kOutOfMemory };

// Loads one ".brs" file and enters its brushes.  The library stays loaded
// only when at least one of its brushes went into the table.
Registered RegisterPlugInFile(PlugInBrushManager *manager, const std::string &path) {
    // A path the module table cannot hold whole is not loaded at all.
    if (path.size() >= BRISTLER_MODULE_PATH_BYTES) return Registered::kSkipped;
    HMODULE module = LoadPlugInLibrary(path);
    if (!module) return Registered::kSkipped;
    const int32_t count = PlugInBrushCount(module);

    int32_t entered = 0;
    bool outOfMemory = false;
    for (int32_t i = 0; i < count && !outOfMemory; ++i) {
        BrushDescriptor brush{};
        int32_t replace = -1;
        if (!ReadBrushDescriptor(module, i, *manager, &brush, &replace)) continue;
        brush.moduleIndex = manager->moduleCount;
        if (replace >= 0) {
            manager->brushes[replace] = brush;
        } else if (!AppendBrush(manager, brush)) {
            outOfMemory = true;
            continue;
        }
        ++entered;
    }

    if (entered == 0) {
        FreeLibrary(module);
        return outOfMemory ? Registered::kOutOfMemory : Registered::kSkipped;
    }
    // Brushes of this library are in the table: it must stay loaded even
    // when the module table cannot record it, or their entry points would
    // dangle.
    if (!AppendModule(manager, path, module)) return Registered::kOutOfMemory;
    return outOfMemory ? Registered::kOutOfMemory : Registered::kKept;
}

bool IsFolderEntry(const WIN32_FIND_DATAA &found) {
    return (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

bool SearchPlugInFolder(PlugInBrushManager *manager, const std::string &folder) {
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA(JoinPath(folder, "*.brs").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        ShowMessage(nullptr, BRISTLER_MSG_NO_LIBRARY, MB_ICONEXCLAMATION);
        return false;
    }
    bool outOfMemory = false;
    do {
        if (IsFolderEntry(found)) continue;
        outOfMemory = RegisterPlugInFile(manager, JoinPath(folder, found.cFileName)) == Registered::kOutOfMemory;
    } while (!outOfMemory && FindNextFileA(search, &found));
    FindClose(search);

    if (outOfMemory) {
        ShowMessage(nullptr, BRISTLER_MSG_NO_LIBRARY, MB_ICONEXCLAMATION);
        return false;
    }
    if (manager->brushCount == 0) {
        ShowMessage(nullptr, BRISTLER_MSG_NO_BRUSH, MB_ICONEXCLAMATION);
        return false;
    }
    return true;
}

bool SortBrushTable(PlugInBrushManager *manager) {
    const int32_t count = manager->brushCount;
    if (count <= 0 || !manager->brushes) return true;
    std::vector<int32_t> order(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) order[static_cast<size_t>(i)] = i;
    const BrushDescriptor *table = manager->brushes;
    BubbleSortIndices(order.data(), count, [table](int32_t a, int32_t b) {
        if (table[a].order != table[b].order) return table[a].order < table[b].order ? -1 : 1;
        return lstrcmpA(table[a].name, table[b].name);
    });

    auto *sorted = static_cast<BrushDescriptor *>(GlobalAlloc(GPTR, sizeof(BrushDescriptor) * count));
    if (!sorted) return false;
    for (int32_t position = 0; position < count; ++position) {
        sorted[position] = table[order[static_cast<size_t>(position)]];
        sorted[position].order = position;
    }
    GlobalFree(manager->brushes);
    manager->brushes = sorted;
    return true;
}

void FreePlugInTables(PlugInBrushManager *manager) {
    if (manager->modules) {
        for (int32_t i = 0; i < manager->moduleCount; ++i) {
            if (manager->modules[i].module) FreeLibrary(manager->modules[i].module);
            manager->modules[i].module = nullptr;
        }
        GlobalFree(manager->modules);
        manager->modules = nullptr;
    }
    if (manager->brushes) {
        GlobalFree(manager->brushes);
        manager->brushes = nullptr;
    }
}

}  // namespace bristler

using namespace bristler;

namespace {

void SetStartValues(PlugInBrushManager *manager, HWND owner) {
    std::memset(manager, 0, sizeof(*manager));
    manager->owner = owner;
    manager->dialogX = BRISTLER_UNPLACED;
    manager->dialogY = BRISTLER_UNPLACED;
    manager->context.color = BRUSH_COLOR_INITIAL;
    manager->context.color2 = BRUSH_COLOR2_INITIAL;
}

int InitBrushManager(PlugInBrushManager *manager, LPCSTR directory, HWND owner, HMENU menu, int menuBaseId) {
    if (!manager) return 0;
    SetStartValues(manager, owner);
    std::string folder;
    if (directory) {
        folder = directory;
    } else {
        char programFolder[256] = "";
        if (!GetCurrentModulePath(programFolder, sizeof(programFolder))) return 0;
        folder = programFolder;
    }
    if (!SearchPlugInFolder(manager, folder)) return 0;
    if (!SortBrushTable(manager)) return 0;
    if (menu && !SetPlugInMenu(manager, menu, menuBaseId)) return 0;
    StartTablet(owner);
    return 1;
}

}  // namespace

int WINAPI InitBrushPlugInDLL(PlugInBrushManager *manager, LPCSTR directory, HWND owner, HMENU menu,
                              int menuBaseId) {
    return NoThrow(0, [&] {
        try {
            return InitBrushManager(manager, directory, owner, menu, menuBaseId);
        } catch (const std::bad_alloc &) {
            ShowMessage(nullptr, BRISTLER_MSG_NO_LIBRARY, MB_ICONEXCLAMATION);
            return 0;
        }
    });
}

int WINAPI EndBrushPlugInDLL(PlugInBrushManager *manager) {
    if (!manager) return 0;
    // A stroke still running (the program closed mid-drag) ends first: the
    // brush gets its end command and the canvas header is given back.
    if (StrokeIsRunning(manager)) EndRunningStroke(manager);
    if (!LeaveBrushMode(manager)) return 0;
    if (manager->colorHistory) {
        GlobalFree(manager->colorHistory);
        manager->colorHistory = nullptr;
    }
    FreePlugInTables(manager);
    EndTablet();
    return 1;
}
