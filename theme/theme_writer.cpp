#include "theme/theme_writer.h"

#include "platform/text_file.h"
#include "theme/product.h"

namespace p95 {

namespace {

QString padded(const QString& text) {
    return text.leftJustified(56, QLatin1Char(' '));
}

QString qs(std::string_view text) {
    return toQString(text);
}

void appendHeader(QStringList& out) {
    const QString rule = QLatin1Char(';') + QString(55, QLatin1Char('='));
    out << rule;
    out << padded(QStringLiteral(";      This was created using Paletteer 95"));
    out << padded(QStringLiteral("; a desktop theme maker for Windows 95,"));
    out << QStringLiteral("; and can be downloaded at:                             ");
    out << QStringLiteral(";");
    out << QStringLiteral(";    ") + qs(kHomePageUrl);
    out << QStringLiteral(";");
    out << padded(QStringLiteral("; Questions, comments and bug reports are welcome"));
    out << QStringLiteral("; by e-mail at:");
    out << QStringLiteral(";");
    out << QStringLiteral(";") + QString(19, QLatin1Char(' ')) + qs(kContactEmail);
    out << rule;
}

} // namespace

QStringList themeFileLines(const ThemeDocument& doc) {
    const QString& n = doc.name;
    const QString themeDirValue = QStringLiteral("%ThemeDir%") + n + QLatin1Char('\\');
    auto value = [&](SlotRef slot) { return themeDirValue + standardFileName(doc, slot); };
    auto isSet = [&](SlotRef slot) { return !doc.isEmpty(slot); };

    QStringList out;
    appendHeader(out);
    out << QString();

    const SlotRef myComputer{SlotFamily::Icons, 1};
    const SlotRef network{SlotFamily::Icons, 2};
    const SlotRef binEmpty{SlotFamily::Icons, 3};
    const SlotRef binFull{SlotFamily::Icons, 4};
    if (isSet(myComputer))
        out << qs(kMyComputerSection) << QStringLiteral("DefaultValue=") + value(myComputer) + ",0";
    out << QString();
    if (isSet(network))
        out << qs(kNetworkSection) << QStringLiteral("DefaultValue=") + value(network) + ",0";
    out << QString();
    out << qs(kRecycleBinSection);
    if (isSet(binFull))
        out << QStringLiteral("full=") + value(binFull) + ", 0";
    if (isSet(binEmpty)) {
        out << QStringLiteral("empty=") + value(binEmpty) + ", 0";
        out << QStringLiteral("DefaultValue=") + value(binEmpty) + ", 0";
    }

    out << QStringLiteral("[Control Panel\\Desktop]");
    const SlotRef wallpaper{SlotFamily::Icons, kWallpaperIndex};
    if (isSet(wallpaper))
        out << QStringLiteral("Wallpaper=") + value(wallpaper);
    out << QStringLiteral("TileWallpaper=") + (doc.tiled ? "1" : "0");
    out << QStringLiteral("Pattern=(None)");
    out << QStringLiteral("ScreenSaveActive=1");
    out << QString() << QStringLiteral("[Control Panel\\Desktop\\WindowMetrics]") << QString();

    for (int i : kSoundFileOrder) {
        const SlotRef sound{SlotFamily::Sound, i};
        if (!isSet(sound))
            continue;
        out << QStringLiteral("[AppEvents\\Schemes\\Apps\\") + qs(kSoundSlots[i].eventPath) +
                   QStringLiteral("\\.Current]");
        out << QStringLiteral("DefaultValue=") + value(sound);
    }

    out << QString() << QStringLiteral("[Control Panel\\Colors]");
    for (int i = 0; i < kColourCount; ++i)
        out << qs(kColourSlots[i].key) + QLatin1Char('=') + doc.colours[i];

    out << QString() << QStringLiteral("[Control Panel\\Cursors]");
    for (int i : kPointerFileOrder) {
        const SlotRef pointer{SlotFamily::Pointer, i};
        if (isSet(pointer))
            out << qs(kPointerSlots[i].key) + QLatin1Char('=') + value(pointer);
    }

    out << QString() << QStringLiteral("[Metrics]");
    out << QStringLiteral("IconMetrics=") + doc.iconMetrics;
    out << QStringLiteral("NonclientMetrics=") + doc.nonclientMetrics;

    out << QStringLiteral("[boot]");
    const SlotRef saver{SlotFamily::Icons, kScreenSaverIndex};
    if (isSet(saver))
        out << QStringLiteral("SCRNSAVE.EXE=") + value(saver);
    out << QStringLiteral("[MasterThemeSelector]");
    out << QStringLiteral("MTSM = DABJDKT");
    return out;
}

Result<QByteArray> themeFileBytes(const ThemeDocument& doc) {
    return encodeLines(themeFileLines(doc));
}

Status writeThemeFile(const ThemeDocument& doc, const QString& hostPath) {
    auto bytes = themeFileBytes(doc);
    if (!bytes) {
        Error error = bytes.error();
        error.step = QStringLiteral("Writing the theme file");
        error.file = hostPath;
        return error;
    }
    return writeFileAtomically(hostPath, bytes.value());
}

} // namespace p95
