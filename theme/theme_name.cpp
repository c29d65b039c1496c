#include "theme/theme_name.h"

#include "platform/text_codec.h"
#include "theme/theme_document.h"

#include <QFile>
#include <QStringList>

namespace p95 {

namespace {

bool isControl(QChar c) {
    return c.unicode() < 0x20 || c == QChar(0x7f);
}

const QString kWindowsForbidden = QStringLiteral("\\/:*?\"<>|");

qsizetype hostBytes(const QString& name) {
    return QFile::encodeName(name).size();
}

// The longest standard file name of a theme of this name.
QString longestFileName(const QString& name) {
    ThemeDocument doc;
    doc.name = name;
    QString longest;
    for (SlotRef slot : copyOrder()) {
        doc.path(slot) = QStringLiteral("x.cur"); // pointers take ".cur", as long as ".ani"
        const QString file = standardFileName(doc, slot);
        if (file.size() > longest.size())
            longest = file;
    }
    return longest;
}

} // namespace

bool isReservedDeviceName(const QString& component) {
    // Windows looks only at what comes before the first dot, blanks dropped.
    QString base = component.left(component.indexOf(QLatin1Char('.')));
    while (base.endsWith(QLatin1Char(' ')))
        base.chop(1);
    base = base.toUpper();
    static const QStringList plain{QStringLiteral("CON"), QStringLiteral("PRN"),
                                   QStringLiteral("AUX"), QStringLiteral("NUL")};
    if (plain.contains(base))
        return true;
    return base.size() == 4 &&
           (base.startsWith(QLatin1String("COM")) || base.startsWith(QLatin1String("LPT"))) &&
           base[3] >= QLatin1Char('1') && base[3] <= QLatin1Char('9');
}

std::optional<QString> fileNameProblem(const QString& component) {
    if (component.isEmpty())
        return QStringLiteral("it is empty");
    if (component == QStringLiteral(".") || component == QStringLiteral(".."))
        return QStringLiteral("\"%1\" names a folder, not a file").arg(component);
    for (QChar c : component) {
        if (isControl(c))
            return QStringLiteral("it contains a control character");
        if (kWindowsForbidden.contains(c))
            return QStringLiteral("it contains one of the characters \\ / : * ? \" < > |");
    }
    if (isReservedDeviceName(component))
        return QStringLiteral("Windows keeps the name for a device (CON, PRN, AUX, NUL, COM1 to "
                              "COM9, LPT1 to LPT9)");
    if (component.endsWith(QLatin1Char(' ')) || component.endsWith(QLatin1Char('.')))
        return QStringLiteral("it ends in a blank or a dot, which Windows drops");
    if (hostBytes(component) > kMaxHostNameBytes)
        return QStringLiteral("it is longer than the %1 bytes a file name can have on this "
                              "computer")
            .arg(kMaxHostNameBytes);
    return std::nullopt;
}

std::optional<QString> themeNameProblem(const QString& name) {
    if (name.isEmpty())
        return QStringLiteral("You must enter a name for your theme");
    if (name == QStringLiteral(".") || name == QStringLiteral(".."))
        return QStringLiteral("\"%1\" cannot be used as a theme name.").arg(name);
    for (QChar c : name) {
        if (isControl(c))
            return QStringLiteral("A theme name cannot contain control characters.");
        if (kWindowsForbidden.contains(c))
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
    if (isReservedDeviceName(name))
        return QStringLiteral("\"%1\" cannot be used as a theme name: Windows keeps it for a "
                              "device (CON, PRN, AUX, NUL, COM1 to COM9, LPT1 to LPT9).")
            .arg(name);
    if (name.endsWith(QLatin1Char(' ')) || name.endsWith(QLatin1Char('.')))
        return QStringLiteral("A theme name cannot end in a blank or a dot: Windows drops them, "
                              "so the theme's files would no longer match its directory.");
    const QString longest = longestFileName(name);
    if (themeDirectory(name).size() + 1 + longest.size() > kMaxWindowsPath)
        return QStringLiteral("The theme name is too long: its files would have paths longer "
                              "than Windows 95 can open. Please choose a shorter name.");
    if (hostBytes(longest) > kMaxHostNameBytes) // it begins with the name
        return QStringLiteral("The theme name is too long: its file names would pass the limit "
                              "of %1 bytes for one file name on this computer. Please choose a "
                              "shorter name.")
            .arg(kMaxHostNameBytes);
    return std::nullopt;
}

} // namespace p95
