// The export table is the contract hosts bind to: every listed ordinal is
// exported under its name and nothing else is.  Bristler itself reaches
// Dibwork by ordinal only and the tablet library only at run time.
#include <gtest/gtest.h>

#include <set>

#include "bristler_test_support.h"
#include "export_check.h"

namespace {

TEST(BristlerExports, EveryListedOrdinalIsExportedUnderItsName) {
    ASSERT_NE(Bw().module, nullptr) << "Bristler.dll did not load from the product folder";
    ASSERT_NO_FATAL_FAILURE(
        pintora_test::ExpectExportsAsListed(Bw().module, {BRISTLER_EXPORTS(PINTORA_LISTED_EXPORT)}, "bristler.h"));
}

// The names of the libraries a module imports, and whether any import from
// `library` is by name.
struct Imports {
    std::set<std::string> libraries;
    bool byNameFrom(const std::string &library) const { return namedFrom.count(library) != 0; }
    std::set<std::string> namedFrom;
};

Imports ReadImports(HMODULE module) {
    Imports imports;
    auto *base = reinterpret_cast<const BYTE *>(module);
    auto *dos = reinterpret_cast<const IMAGE_DOS_HEADER *>(base);
    auto *nt = reinterpret_cast<const IMAGE_NT_HEADERS *>(base + dos->e_lfanew);
    const auto &dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!dir.VirtualAddress) return imports;
    for (auto *d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR *>(base + dir.VirtualAddress); d->Name; ++d) {
        std::string name = reinterpret_cast<const char *>(base + d->Name);
        for (char &c : name) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
        imports.libraries.insert(name);
        const DWORD thunks = d->OriginalFirstThunk ? d->OriginalFirstThunk : d->FirstThunk;
        for (auto *t = reinterpret_cast<const IMAGE_THUNK_DATA *>(base + thunks); t->u1.AddressOfData; ++t) {
            if (!(t->u1.Ordinal & IMAGE_ORDINAL_FLAG)) imports.namedFrom.insert(name);
        }
    }
    return imports;
}

TEST(BristlerExports, DibworkIsBoundByOrdinalAndTheTabletLoadedAtRunTime) {
    ASSERT_NE(Bw().module, nullptr);
    const Imports imports = ReadImports(Bw().module);
    EXPECT_TRUE(imports.libraries.count("dibwork.dll"));
    EXPECT_FALSE(imports.byNameFrom("dibwork.dll")) << "every Dibwork import goes by ordinal";
    EXPECT_FALSE(imports.libraries.count("wintab32.dll")) << "a missing tablet library must not stop the load";
}

TEST(BristlerExports, ThePreviewClassIsRegisteredAtLoad) {
    ASSERT_NE(Bw().module, nullptr);
    WNDCLASSEXA info{sizeof(info)};
    ASSERT_TRUE(GetClassInfoExA(Bw().module, BRISTLER_PREVIEW_CLASS, &info));
    EXPECT_EQ(info.style, static_cast<UINT>(CS_PARENTDC));
    EXPECT_EQ(info.hIcon, nullptr);
    EXPECT_EQ(info.hCursor, nullptr);
    EXPECT_EQ(info.hbrBackground, nullptr);
}

}  // namespace
