#include "page_files.h"

#include <cctype>
#include <string_view>

#include "settings_model.h"

namespace pintora {

std::string PageFolder(const std::string &programFolder, bool kids) {
    return programFolder + (kids ? "Save\\Kids\\" : "Save\\Normal\\");
}

std::string PageFileName(const std::string &programFolder, bool kids, int index, bool thumbnail) {
    const int page = ((index % kPagesPerMode) + kPagesPerMode) % kPagesPerMode + 1;
    std::string name = PageFolder(programFolder, kids);
    name += static_cast<char>('0' + page / 10);
    name += static_cast<char>('0' + page % 10);
    name += thumbnail ? "_s.bmp" : ".bmp";
    return name;
}

int TurnedPage(int index, bool forward) {
    const int page = ((index % kPagesPerMode) + kPagesPerMode) % kPagesPerMode;
    return (page + (forward ? 1 : kPagesPerMode - 1)) % kPagesPerMode;
}

std::string TemporaryPageName(const std::string &pageName) { return pageName + ".new"; }

std::string AutosaveMarkerName(const std::string &programFolder, bool kids) {
    return PageFolder(programFolder, kids) + "autosave.txt";
}

std::string AutosaveMarkerText(int index) {
    const int page = ((index % kPagesPerMode) + kPagesPerMode) % kPagesPerMode;
    return "page=" + std::to_string(page) + "\r\n";
}

int ParseAutosaveMarker(const std::string &text) {
    constexpr std::string_view kPrefix = "page=";
    if (text.compare(0, kPrefix.size(), kPrefix) != 0) return -1;
    size_t i = kPrefix.size();
    int page = 0, digits = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])) && digits < 3; ++i, ++digits) {
        page = page * 10 + (text[i] - '0');
    }
    const std::string_view rest = std::string_view(text).substr(i);
    if (digits == 0 || page >= kPagesPerMode || !(rest.empty() || rest == "\r\n" || rest == "\n")) return -1;
    return page;
}

ExportKind ExportKindOf(const std::string &fileName, size_t extensionOffset) {
    if (extensionOffset == 0 || extensionOffset >= fileName.size()) return ExportKind::kNothing;
    std::string extension = fileName.substr(extensionOffset);
    for (char &c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (extension == "bmp") return ExportKind::kBmp;
    if (extension == "jpg") return ExportKind::kJpeg;
    return ExportKind::kNothing;
}

}  // namespace pintora
