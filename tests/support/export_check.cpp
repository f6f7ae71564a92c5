#include "export_check.h"

#include <gtest/gtest.h>

#include <set>

#include "test_support.h"

namespace pintora_test {

void ExpectExportsAsListed(HMODULE module, const std::vector<ListedExport> &listed, const char *header) {
    ASSERT_NE(module, nullptr);
    const auto table = ReadExportTable(module);
    std::set<unsigned> ordinals;
    for (const auto &e : listed) {
        ordinals.insert(e.ordinal);
        auto it = table.find(e.ordinal);
        ASSERT_NE(it, table.end()) << "ordinal " << e.ordinal << " (" << e.name << ") is not exported";
        EXPECT_EQ(it->second, e.name) << "ordinal " << e.ordinal;
        EXPECT_EQ(GetProcAddress(module, MAKEINTRESOURCEA(e.ordinal)), GetProcAddress(module, e.name));
    }
    for (const auto &[ordinal, name] : table) {
        EXPECT_TRUE(ordinals.count(ordinal))
            << "ordinal " << ordinal << " (" << name << ") is exported but not listed in " << header;
    }
}

}  // namespace pintora_test
