// The start mode chosen on the command line.
#pragma once

#include <string_view>

namespace pintora {

enum class StartMode {
    kNormal = 0,   // capture the desktop
    kWhite = 1,    // capture, then white paper
    kKids = 2,     // kids mode on the drawing paper
    kEndBar = 3,   // only the end bar
};

// The text after the program name, searched without regard to ASCII case
// for "/k", "/w" and "/c", in that order of precedence.
StartMode ParseStartMode(std::string_view commandLine);

}  // namespace pintora
