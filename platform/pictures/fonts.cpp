#include "platform/pictures/fonts.h"

#include <QFile>
#include <QFont>
#include <QFontDatabase>

namespace p95 {

namespace {

bool addFont(const QString& file, const QString& family) {
    if (!QFile::exists(file))
        return false;
    const int id = QFontDatabase::addApplicationFont(file);
    return id >= 0 && QFontDatabase::applicationFontFamilies(id).contains(family);
}

} // namespace

QString wineFontsFolder() {
    return QStringLiteral("/usr/share/wine/fonts");
}

ProgramFonts installProgramFonts(const QString& folder) {
    static const ProgramFonts installed = [&folder] {
        ProgramFonts fonts;
        fonts.msSansSerif =
            addFont(folder + QStringLiteral("/ms_sans_serif.ttf"), QStringLiteral("MS Sans Serif"));
        fonts.marlett = addFont(folder + QStringLiteral("/marlett.ttf"), QStringLiteral("Marlett"));
        // A substitution only counts where the named face is missing, so a
        // host with the real fonts keeps them.
        QFont::insertSubstitution(QStringLiteral("Comic Sans MS"), QStringLiteral("Comic Neue"));
        QFont::insertSubstitution(QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"));
        QFont::insertSubstitutions(
            QStringLiteral("MS Sans Serif"),
            {QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans")});
        return fonts;
    }();
    return installed;
}

} // namespace p95
