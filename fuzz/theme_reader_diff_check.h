#pragma once

// The program's one-pass theme reader against the step-by-step reference
// (reference_theme_reader.h) on the same bytes: the same document, previews,
// messages in the same order, the same verdict on whether it is a theme, and
// the same pictures asked for in the same order. Shared by the differential
// fuzz target and the regression test. Returns the first difference, or an
// empty string.

#include "fuzz/fuzz_probe.h"
#include "fuzz/reference_theme_reader.h"
#include "fuzz/theme_reader_check.h"
#include "theme/theme_reader.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace p95::fuzz {

// The hashed probe, noting every path it is asked about.
class RecordingProbe : public PictureProbe {
public:
    Status probe(const QString& path) const override {
        asked << path;
        return m_probe.probe(path);
    }
    mutable QStringList asked;

private:
    HashProbe m_probe;
};

namespace diff {

template <typename Slots>
QString firstDifferentSlot(const char* family, const Slots& mine, const Slots& reference) {
    for (std::size_t i = 0; i < mine.size(); ++i) {
        if (mine[i] != reference[i])
            return QStringLiteral("%1 %2: \"%3\", the reference \"%4\"")
                .arg(QString::fromLatin1(family))
                .arg(i)
                .arg(mine[i], reference[i]);
    }
    return {};
}

inline QString previewName(Preview preview) {
    switch (preview) {
    case Preview::None:
        return QStringLiteral("none");
    case Preview::File:
        return QStringLiteral("file");
    case Preview::AnimatedPointer:
        return QStringLiteral("animated pointer");
    case Preview::JpegWallpaper:
        return QStringLiteral("JPEG wallpaper");
    }
    return {};
}

template <std::size_t N>
QString firstDifferentPreview(const char* family, const std::array<Preview, N>& mine,
                              const std::array<Preview, N>& reference) {
    for (std::size_t i = 0; i < N; ++i) {
        if (mine[i] != reference[i])
            return QStringLiteral("%1 preview %2: %3, the reference %4")
                .arg(QString::fromLatin1(family))
                .arg(i)
                .arg(previewName(mine[i]), previewName(reference[i]));
    }
    return {};
}

inline QString difference(const ThemeReading& mine, const ThemeReading& ref,
                          const QStringList& mineAsked, const QStringList& refAsked) {
    if (mine.isTheme != ref.isTheme)
        return QStringLiteral("isTheme %1, the reference %2").arg(mine.isTheme).arg(ref.isTheme);
    const ThemeDocument& a = mine.document;
    const ThemeDocument& b = ref.document;
    QString found = firstDifferentSlot("pointer", a.pointers, b.pointers);
    if (found.isEmpty())
        found = firstDifferentSlot("sound", a.sounds, b.sounds);
    if (found.isEmpty())
        found = firstDifferentSlot("icons", a.icons, b.icons);
    if (found.isEmpty())
        found = firstDifferentSlot("colour", a.colours, b.colours);
    if (found.isEmpty())
        found = firstDifferentSlot("metrics", std::array{a.iconMetrics, a.nonclientMetrics},
                                   std::array{b.iconMetrics, b.nonclientMetrics});
    if (found.isEmpty())
        found = firstDifferentPreview("pointer", mine.pointerPreviews, ref.pointerPreviews);
    if (found.isEmpty())
        found = firstDifferentPreview("icons", mine.iconsPreviews, ref.iconsPreviews);
    if (!found.isEmpty())
        return found;
    if (a.jpegWallpaper != b.jpegWallpaper)
        return QStringLiteral("the JPEG wallpaper flag differs");
    if (a.tiled != b.tiled)
        return QStringLiteral("the tile flag differs");
    if (!(a == b))
        return QStringLiteral("the documents differ in a field the reader never reads");
    if (mine.messages != ref.messages)
        return QStringLiteral("messages [%1], the reference [%2]")
            .arg(mine.messages.join(QStringLiteral(" | ")),
                 ref.messages.join(QStringLiteral(" | ")));
    if (mineAsked != refAsked)
        return QStringLiteral("pictures asked for [%1], the reference [%2]")
            .arg(mineAsked.join(QStringLiteral(" | ")), refAsked.join(QStringLiteral(" | ")));
    return {};
}

} // namespace diff

inline QString checkThemeReaderAgainstReference(const QByteArray& bytes) {
    if (isThemeText(bytes) != reference::isThemeText(bytes))
        return QStringLiteral("isThemeText differs from the reference");
    // From a document full of old values, and from a fresh one: a value the
    // reading leaves shows only where it differs from what the file says.
    for (const ThemeDocument& before : {startingDocument(), ThemeDocument()}) {
        const RecordingProbe mineProbe;
        const RecordingProbe referenceProbe;
        const ThemeReading mine = readTheme(before, bytes, mineProbe);
        const ThemeReading ref = reference::readTheme(before, bytes, referenceProbe);
        const QString found = diff::difference(mine, ref, mineProbe.asked, referenceProbe.asked);
        if (!found.isEmpty())
            return found;
    }
    return {};
}

} // namespace p95::fuzz
