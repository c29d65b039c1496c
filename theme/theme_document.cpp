#include "theme/theme_document.h"

namespace p95 {

const std::string_view kDefaultIconMetrics =
    "76 0 0 0 75 0 0 0 75 0 0 0 0 0 0 0 248 255 255 255 0 0 0 0 0 0 0 0 0 0 0 0 144 1 "
    "0 0 0 0 0 0 0 0 0 0 77 83 32 83 97 110 115 32 83 101 114 105 102 0 2 0 0 0 2 0 "
    "15 6 0 0 0 0 151 17 63 1 243 21";

const std::string_view kDefaultNonclientMetrics =
    "84 1 0 0 1 0 0 0 13 0 0 0 13 0 0 0 18 0 0 0 18 0 0 0 245 255 255 255 0 0 0 0 0 0 "
    "0 0 0 0 0 0 188 2 0 0 0 0 0 0 0 0 0 0 77 83 32 83 97 110 115 32 83 101 114 105 "
    "102 0 46 84 104 101 109 101 0 245 64 0 192 221 64 0 0 0 0 0 15 0 0 0 15 0 0 0 "
    "248 255 255 255 0 0 0 0 0 0 0 0 0 0 0 0 188 2 0 0 0 0 0 0 0 0 0 0 77 83 32 83 97 "
    "110 115 32 83 101 114 105 102 0 46 84 104 101 109 101 0 245 64 0 192 221 64 0 0 "
    "0 0 0 18 0 0 0 18 0 0 0 245 255 255 255 0 0 0 0 0 0 0 0 0 0 0 0 144 1 0 0 0 0 0 "
    "0 0 0 0 0 77 83 32 83 97 110 115 32 83 101 114 105 102 0 46 84 104 101 109 101 0 "
    "245 64 0 192 221 64 0 0 0 0 0 245 255 255 255 0 0 0 0 0 0 0 0 0 0 0 0 144 1 0 0 "
    "0 0 0 0 0 0 0 0 77 83 32 83 97 110 115 32 83 101 114 105 102 0 46 84 104 101 109 "
    "101 0 245 64 0 192 221 64 0 0 0 0 0 245 255 255 255 0 0 0 0 0 0 0 0 0 0 0 0 144 "
    "1 0 0 0 0 0 0 0 0 0 0 77 83 32 83 97 110 115 32 83 101 114 105 102 0 46 84 104 "
    "101 109 101 0 245 64 0 192 221 64 0 0 0 0 0";

QString toQString(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

ThemeDocument::ThemeDocument()
    : iconMetrics(toQString(kDefaultIconMetrics)),
      nonclientMetrics(toQString(kDefaultNonclientMetrics)) {
    for (int i = 0; i < kColourCount; ++i)
        colours[i] = toQString(kColourSlots[i].defaultText);
}

const QString& ThemeDocument::path(SlotRef slot) const {
    switch (slot.family) {
    case SlotFamily::Pointer:
        return pointers.at(slot.index);
    case SlotFamily::Sound:
        return sounds.at(slot.index);
    case SlotFamily::Icons:
        break;
    }
    return icons.at(slot.index);
}

QString& ThemeDocument::path(SlotRef slot) {
    return const_cast<QString&>(std::as_const(*this).path(slot));
}

const std::array<SlotRef, kPointerCount + kSoundCount + kIconsCount>& copyOrder() {
    static const auto order = [] {
        std::array<SlotRef, kPointerCount + kSoundCount + kIconsCount> result{};
        int n = 0;
        for (int i = 0; i < kPointerCount; ++i)
            result[n++] = {SlotFamily::Pointer, i};
        for (int i = 0; i < kSoundCount; ++i)
            result[n++] = {SlotFamily::Sound, i};
        result[n++] = {SlotFamily::Icons, kWallpaperIndex};
        for (int i = kFirstDesktopIcon; i <= kLastDesktopIcon; ++i)
            result[n++] = {SlotFamily::Icons, i};
        result[n++] = {SlotFamily::Icons, kScreenSaverIndex};
        return result;
    }();
    return order;
}

QString slotCaption(SlotRef slot) {
    switch (slot.family) {
    case SlotFamily::Pointer:
        return toQString(kPointerSlots.at(slot.index).caption);
    case SlotFamily::Sound:
        return toQString(kSoundSlots.at(slot.index).caption);
    case SlotFamily::Icons:
        break;
    }
    return toQString(kIconsCaptions.at(slot.index));
}

QString pointerExtension(const QString& chosenPath) {
    return chosenPath.endsWith(QStringLiteral(".ani"), Qt::CaseInsensitive)
               ? QStringLiteral(".ani")
               : QStringLiteral(".cur");
}

namespace {
QString iconsExtension(const ThemeDocument& doc, int index) {
    if (index == kWallpaperIndex)
        return doc.jpegWallpaper ? QStringLiteral(".jpg") : QStringLiteral(".bmp");
    if (index == kScreenSaverIndex)
        return QStringLiteral(".scr");
    return QStringLiteral(".ico");
}
} // namespace

QString finalExtension(const ThemeDocument& doc, SlotRef slot) {
    switch (slot.family) {
    case SlotFamily::Pointer:
        return pointerExtension(doc.path(slot));
    case SlotFamily::Sound:
        return QStringLiteral(".wav");
    case SlotFamily::Icons:
        break;
    }
    return iconsExtension(doc, slot.index);
}

QString scratchExtension(const ThemeDocument& doc, SlotRef slot) {
    if (slot.family == SlotFamily::Pointer)
        return QStringLiteral(".ani");
    return finalExtension(doc, slot);
}

QString standardFileName(const ThemeDocument& doc, SlotRef slot) {
    return doc.name + QLatin1Char(' ') + slotCaption(slot) + finalExtension(doc, slot);
}

QString themeDirectory(const QString& themeName) {
    return toQString(kThemesRoot) + themeName;
}

QString themeFilePath(const QString& themeName) {
    return themeDirectory(themeName) + QLatin1Char('\\') + themeName + QStringLiteral(".theme");
}

} // namespace p95
