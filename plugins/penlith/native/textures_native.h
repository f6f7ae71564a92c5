// What the sanitizer build's textures offer tests beyond loading.
#pragma once

namespace penlith {

// While set, every texture fails to load, as a plug-in without its
// bitmap resources would.
void SetTexturesMissing(bool missing);

}  // namespace penlith
