// The export table is the contract: every ordinal the header lists is
// exported under its name, and nothing else is.
#include <gtest/gtest.h>

#include <set>

#include "dibwork_binding.h"

namespace {

struct ListedExport {
    unsigned ordinal;
    const char *name;
};

const ListedExport kListed[] = {
#define PINTORA_LIST_EXPORT(ordinal, name) {ordinal, #name},
    DIBWORK_EXPORTS(PINTORA_LIST_EXPORT)
#undef PINTORA_LIST_EXPORT
};

TEST(DibworkExports, EveryListedOrdinalIsExportedUnderItsName) {
    ASSERT_NE(Dw().module, nullptr) << "Dibwork.dll did not load from the product folder";
    const auto table = pintora_test::ReadExportTable(Dw().module);
    std::set<unsigned> listed;
    for (const auto &e : kListed) {
        listed.insert(e.ordinal);
        auto it = table.find(e.ordinal);
        ASSERT_NE(it, table.end()) << "ordinal " << e.ordinal << " (" << e.name << ") is not exported";
        EXPECT_EQ(it->second, e.name) << "ordinal " << e.ordinal;
        EXPECT_EQ(GetProcAddress(Dw().module, MAKEINTRESOURCEA(e.ordinal)),
                  GetProcAddress(Dw().module, e.name));
    }
    for (const auto &[ordinal, name] : table) {
        EXPECT_TRUE(listed.count(ordinal)) << "ordinal " << ordinal << " (" << name
                                           << ") is exported but not listed in dibwork.h";
    }
}

TEST(DibworkExports, EveryBindingResolved) {
#define PINTORA_CHECK_BOUND(ordinal, name) EXPECT_NE(Dw().name, nullptr) << #name;
    DIBWORK_EXPORTS(PINTORA_CHECK_BOUND)
#undef PINTORA_CHECK_BOUND
}

}  // namespace
