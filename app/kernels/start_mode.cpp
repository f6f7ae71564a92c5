#include "start_mode.h"

#include <string>

namespace pintora {

StartMode ParseStartMode(std::string_view commandLine) {
    // Only ASCII letters are folded: the switches are ASCII, and bytes of a
    // multi-byte file name must stay as they are.
    std::string lower(commandLine);
    for (char &c : lower) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    if (lower.find("/k") != std::string::npos) return StartMode::kKids;
    if (lower.find("/w") != std::string::npos) return StartMode::kWhite;
    if (lower.find("/c") != std::string::npos) return StartMode::kEndBar;
    return StartMode::kNormal;
}

}  // namespace pintora
