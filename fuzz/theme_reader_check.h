#pragma once

// What a reading of any bytes must satisfy, shared by the theme reader's fuzz
// target and the regression test that replays its findings. Returns the first
// broken rule, or an empty string.

#include "fuzz/fuzz_probe.h"
#include "platform/drive.h"
#include "theme/theme_reader.h"

#include <QByteArray>
#include <QString>

namespace p95::fuzz {

// The document a reading starts from: every field a reading must leave alone
// holds something it could not produce itself.
inline ThemeDocument startingDocument() {
    ThemeDocument doc;
    doc.name = QStringLiteral("Before");
    doc.tiled = true;
    doc.jpegWallpaper = true;
    doc.includeReadMe = true;
    doc.readMe = QStringLiteral("untouched");
    doc.colourMode = ColourMode::Preset;
    doc.preset = 3;
    for (QString& p : doc.pointers)
        p = QStringLiteral("old pointer");
    for (QString& s : doc.sounds)
        s = QStringLiteral("old sound");
    for (QString& i : doc.icons)
        i = QStringLiteral("old icon");
    return doc;
}

inline QString checkThemeReading(const QByteArray& bytes) {
    const HashProbe probe;
    const ThemeDocument before = startingDocument();
    const ThemeReading reading = readTheme(before, bytes, probe);
    const ThemeDocument& doc = reading.document;

    // A file that is no theme changes nothing and says nothing.
    if (reading.isTheme != isThemeText(bytes))
        return QStringLiteral("the reading and isThemeText disagree on whether it is a theme");
    if (!reading.isTheme) {
        if (!(doc == before) || !reading.messages.isEmpty())
            return QStringLiteral("a file that is no theme changed the document or said something");
        return {};
    }

    if (doc.name != before.name || doc.readMe != before.readMe ||
        doc.includeReadMe != before.includeReadMe || doc.preset != before.preset)
        return QStringLiteral("a field the reader never reads changed");
    if (doc.colourMode != ColourMode::Own)
        return QStringLiteral("not in own-colours mode afterwards");

    // At most one message per sound slot, each ending in ".wav", then the
    // load-problem message, which closes every reading that had a message.
    const QStringList& messages = reading.messages;
    if (messages.size() > kSoundCount + 1)
        return QStringLiteral("more messages than sound slots plus one");
    if (!messages.isEmpty() && messages.last() != toQString(kLoadProblemMessage))
        return QStringLiteral("the last message is not the load-problem message");
    for (qsizetype i = 0; i + 1 < messages.size(); ++i) {
        if (!messages[i].endsWith(QStringLiteral(".wav")))
            return QStringLiteral("a sound message that does not end in .wav");
    }

    // Path slots only hold paths the extraction rules can form, each on a
    // drive: one without ("/etc/x", "../x", "x.cur") would reach outside
    // drive C or into the working directory.
    const auto oneLine = [](const QString& path) {
        return isWindowsPath(path) && !path.contains(QLatin1Char('\r')) &&
               !path.contains(QLatin1Char('\n'));
    };
    for (int i = 0; i < kPointerCount; ++i) {
        const QString& p = doc.pointers[i];
        const Preview preview = reading.pointerPreviews[i];
        if (p.isEmpty() != (preview == Preview::None))
            return QStringLiteral("pointer %1: preview and path disagree").arg(i);
        if (p.isEmpty())
            continue;
        if (!oneLine(p))
            return QStringLiteral("pointer %1 holds a line end or a host path").arg(i);
        if (p.endsWith(QStringLiteral(".ani")) && preview == Preview::AnimatedPointer)
            continue;
        if (!p.endsWith(QStringLiteral(".cur")) || preview != Preview::File || !hashedPathLoads(p))
            return QStringLiteral("pointer %1 holds a path the rules cannot form").arg(i);
    }
    for (int i = 0; i < kSoundCount; ++i) {
        const QString& s = doc.sounds[i];
        if (!s.isEmpty() && (!s.endsWith(QStringLiteral(".wav")) || !oneLine(s)))
            return QStringLiteral("sound %1 holds a path the rules cannot form").arg(i);
    }
    for (int i = 0; i < kIconsCount; ++i) {
        const QString& p = doc.icons[i];
        const Preview preview = reading.iconsPreviews[i];
        if (i == kScreenSaverIndex) {
            if (preview != Preview::None)
                return QStringLiteral("the screen saver got a preview");
            if (!p.isEmpty() && (!p.endsWith(QStringLiteral(".scr")) || !oneLine(p)))
                return QStringLiteral("the screen saver holds a path the rules cannot form");
            continue;
        }
        if (p.isEmpty() != (preview == Preview::None))
            return QStringLiteral("icon %1: preview and path disagree").arg(i);
        if (p.isEmpty())
            continue;
        if (!oneLine(p))
            return QStringLiteral("icon %1 holds a line end or a host path").arg(i);
        if (i == kWallpaperIndex && p.endsWith(QStringLiteral(".jpg"))) {
            if (preview != Preview::JpegWallpaper || !doc.jpegWallpaper)
                return QStringLiteral("a .jpg wallpaper without its placeholder and flag");
            continue;
        }
        // My Computer and Network Neighbourhood are read in upper case.
        const QString ending = i == kWallpaperIndex ? QStringLiteral(".bmp")
                               : i <= 2             ? QStringLiteral(".ICO")
                                                    : QStringLiteral(".ico");
        if (!p.endsWith(ending) || preview != Preview::File || !hashedPathLoads(p))
            return QStringLiteral("icon %1 holds a path the rules cannot form").arg(i);
        if (i == kWallpaperIndex && doc.jpegWallpaper)
            return QStringLiteral("a bitmap wallpaper left the JPEG flag set");
    }
    for (const QString& colour : doc.colours) {
        if (colour.contains(QLatin1Char('\r')) || colour.contains(QLatin1Char('\n')))
            return QStringLiteral("a colour text holds a line end");
    }

    // Reading the same bytes again over the result changes nothing.
    const ThemeReading again = readTheme(doc, bytes, probe);
    if (!(again.document == doc) || again.messages != messages ||
        again.pointerPreviews != reading.pointerPreviews ||
        again.iconsPreviews != reading.iconsPreviews)
        return QStringLiteral("a second reading of the same bytes differs");
    return {};
}

} // namespace p95::fuzz
