// The check every DLL's export test makes: the module's export table is
// exactly the (ordinal, name) list its public header gives.
#pragma once

#include <windows.h>

#include <vector>

namespace pintora_test {

struct ListedExport {
    unsigned ordinal;
    const char *name;
};

// An X-macro item that turns a header's (ordinal, name) list into
// ListedExport values:
//     const std::vector<ListedExport> kListed = {DIBWORK_EXPORTS(PINTORA_LISTED_EXPORT)};
#define PINTORA_LISTED_EXPORT(ordinal, name) pintora_test::ListedExport{ordinal, #name},

// Every listed ordinal is exported under its name (by name and by ordinal
// the same address), and nothing else is exported.  `header` names the
// file that lists them, for the failure messages.
void ExpectExportsAsListed(HMODULE module, const std::vector<ListedExport> &listed, const char *header);

}  // namespace pintora_test
