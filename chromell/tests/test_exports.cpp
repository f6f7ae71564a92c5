// The export table is the contract: ordinals 1 to 4 under exactly their
// names, two of which end in "@16" as part of the name.  Loading the
// library registers its six window classes.
#include <gtest/gtest.h>

#include "chromell_test_support.h"
#include "export_check.h"

namespace {

using chromell_test::Chromell;

#define CHROMELL_LISTED(ordinal, name) pintora_test::ListedExport{ordinal, name},

TEST(ChromellExports, EveryOrdinalIsExportedUnderItsLiteralName) {
    ASSERT_NE(Chromell().module, nullptr) << "Chromell.dll did not load from the product folder";
    ASSERT_NO_FATAL_FAILURE(
        pintora_test::ExpectExportsAsListed(Chromell().module, {CHROMELL_EXPORTS(CHROMELL_LISTED)}, "chromell.h"));
    EXPECT_EQ(GetProcAddress(Chromell().module, "_SelectHSBColorMRU"), nullptr);
}

TEST(ChromellExports, TheWindowClassesAreRegisteredAtLoad) {
    ASSERT_NE(Chromell().module, nullptr);
    for (const char *name : {CHROMELL_HUE_CLASS, CHROMELL_SATINT_CLASS, CHROMELL_GRADIENT_CLASS, CHROMELL_SWATCH_CLASS,
                             CHROMELL_HISTORY_CLASS, CHROMELL_HINT_CLASS}) {
        WNDCLASSEXA info{sizeof(info)};
        EXPECT_TRUE(GetClassInfoExA(Chromell().module, name, &info)) << name;
    }
    WNDCLASSEXA hue{sizeof(hue)};
    GetClassInfoExA(Chromell().module, CHROMELL_HUE_CLASS, &hue);
    EXPECT_EQ(hue.style & CS_DBLCLKS, static_cast<UINT>(CS_DBLCLKS));
    EXPECT_NE(hue.hCursor, nullptr) << "the selectors show cursor 115";
}

}  // namespace
