#pragma once

// Device names Windows keeps beyond those the theme-name check knows (CON,
// PRN, AUX, NUL, COM1-9, LPT1-9): COM0 and LPT0, COM and LPT with the
// superscript digits, CONIN$ and CONOUT$ — alone or with an extension, in
// any letter case. A file of that name cannot be made on Windows.

#include <QString>

namespace p95 {

inline bool isMoreReservedDeviceName(const QString& component) {
    // Windows looks only at what comes before the first dot, blanks dropped.
    QString base = component.left(component.indexOf(QLatin1Char('.')));
    while (base.endsWith(QLatin1Char(' ')))
        base.chop(1);
    base = base.toUpper();
    if (base == QStringLiteral("CONIN$") || base == QStringLiteral("CONOUT$"))
        return true;
    if (base.size() != 4 ||
        !(base.startsWith(QLatin1String("COM")) || base.startsWith(QLatin1String("LPT"))))
        return false;
    const char16_t digit = base[3].unicode();
    return digit == u'0' || digit == u'\u00B9' || digit == u'\u00B2' || digit == u'\u00B3';
}

inline QString reservedNameReason() {
    return QStringLiteral("Windows keeps the name for a device (COM0, LPT0, COM or LPT with ¹, ² "
                          "or ³, CONIN$, CONOUT$)");
}

} // namespace p95
