// The export table is the contract: every ordinal the header lists is
// exported under its name, and nothing else is.
#include <gtest/gtest.h>

#include "dibwork_binding.h"
#include "export_check.h"

namespace {

TEST(DibworkExports, EveryListedOrdinalIsExportedUnderItsName) {
    ASSERT_NE(Dw().module, nullptr) << "Dibwork.dll did not load from the product folder";
    ASSERT_NO_FATAL_FAILURE(
        pintora_test::ExpectExportsAsListed(Dw().module, {DIBWORK_EXPORTS(PINTORA_LISTED_EXPORT)}, "dibwork.h"));
}

TEST(DibworkExports, EveryBindingResolved) {
#define PINTORA_CHECK_BOUND(ordinal, name) EXPECT_NE(Dw().name, nullptr) << #name;
    DIBWORK_EXPORTS(PINTORA_CHECK_BOUND)
#undef PINTORA_CHECK_BOUND
}

}  // namespace
