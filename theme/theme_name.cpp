#include "theme/theme_name.h"

#include "platform/text_codec.h"
#include "theme/theme_document.h"

#include <QStringList>

namespace p95 {

std::optional<QString> themeNameProblem(const QString& name) {
    if (name.isEmpty())
        return QStringLiteral("You must enter a name for your theme");
    if (name == QStringLiteral(".") || name == QStringLiteral(".."))
        return QStringLiteral("\"%1\" cannot be used as a theme name.").arg(name);
    for (QChar c : name) {
        if (c.unicode() < 0x20 || c == QChar(0x7f))
            return QStringLiteral("A theme name cannot contain control characters.");
        if (QStringLiteral("\\/:*?\"<>|").contains(c))
            return QStringLiteral("A theme name cannot contain any of the characters "
                                  "\\ / : * ? \" < > |");
        if (c == QLatin1Char(',') || c == QLatin1Char('='))
            return QStringLiteral("A theme name cannot contain a comma or an equals sign, "
                                  "because the theme could not be read back.");
    }
    if (!fitsWindows1252(name))
        return QStringLiteral("The character \"%1\" cannot be used in a Windows 95 file name.")
            .arg(firstUnencodable(name));
    static const QStringList extensions{QStringLiteral(".cur"), QStringLiteral(".ani"),
                                        QStringLiteral(".wav"), QStringLiteral(".bmp"),
                                        QStringLiteral(".jpg"), QStringLiteral(".ico"),
                                        QStringLiteral(".scr")};
    for (const QString& ext : extensions) {
        if (name.contains(ext, Qt::CaseInsensitive))
            return QStringLiteral("A theme name cannot contain \"%1\", because the theme could "
                                  "not be read back.")
                .arg(ext);
    }
    ThemeDocument doc;
    doc.name = name;
    int longest = 0;
    for (SlotRef slot : copyOrder()) {
        doc.path(slot) = QStringLiteral("x.cur"); // pointers take ".cur", as long as ".ani"
        longest = std::max<int>(longest, int(standardFileName(doc, slot).size()));
    }
    const int pathLength = int(themeDirectory(name).size()) + 1 + longest;
    if (pathLength > kMaxWindowsPath)
        return QStringLiteral("The theme name is too long: its files would have paths longer "
                              "than Windows 95 can open. Please choose a shorter name.");
    return std::nullopt;
}

} // namespace p95
