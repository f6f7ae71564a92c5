#include "page_files.h"

#include <cctype>

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

ExportKind ExportKindOf(const std::string &fileName, size_t extensionOffset) {
    if (extensionOffset == 0 || extensionOffset >= fileName.size()) return ExportKind::kNothing;
    std::string extension = fileName.substr(extensionOffset);
    for (char &c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (extension == "bmp") return ExportKind::kBmp;
    if (extension == "jpg") return ExportKind::kJpeg;
    return ExportKind::kNothing;
}

}  // namespace pintora
