#include "editor/open_flow.h"

#include "theme/theme_reader.h"

namespace p95 {

ThemeFileToOpen readThemeToOpen(const FileSystem& files, const QString& path) {
    ThemeFileToOpen file{path, {}, {}};
    const auto bytes = readThemeFile(files, path);
    file.refusal = themeOpenRefusal(bytes, path);
    if (file.ok())
        file.bytes = bytes.value();
    return file;
}

} // namespace p95
