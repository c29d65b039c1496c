#pragma once

// What assistive technology and a keyboard user meet: a control's accessible
// name and description as the accessibility layer reports them, and the
// order in which Tab visits a window's controls.

#include "app/app_test_support.h"
#include "editor/tabs_test_support.h"

#include <QAccessible>
#include <QApplication>
#include <QStringList>
#include <QTest>
#include <QWidget>

namespace p95::test {

inline QString accessibleText(QWidget* widget, QAccessible::Text kind) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    return face ? face->text(kind) : QStringLiteral("<no interface>");
}
inline QString accessibleName(QWidget* widget) {
    return accessibleText(widget, QAccessible::Name);
}

// The object names of the controls Tab stops at, in the window's focus
// chain: shown, enabled, taking focus by Tab.
inline QStringList tabStops(QWidget& window) {
    QStringList stops;
    QWidget* w = &window;
    do {
        w = w->nextInFocusChain();
        if (w != &window && w->window() == &window && w->isVisible() && w->isEnabled() &&
            (w->focusPolicy() & Qt::TabFocus))
            stops << w->objectName();
    } while (w != &window && stops.size() < 1000);
    return stops;
}

// True when `expected` appears in `stops` in this order, each right after the
// one before among those named in `expected` (others may stand between).
inline ::testing::AssertionResult inTabOrder(const QStringList& stops,
                                             const QStringList& expected) {
    qsizetype at = -1;
    for (const QString& name : expected) {
        const qsizetype found = stops.indexOf(name);
        if (found < 0)
            return ::testing::AssertionFailure()
                   << name.toStdString()
                   << " is not a Tab stop in: " << stops.join(QLatin1Char(' ')).toStdString();
        if (found < at)
            return ::testing::AssertionFailure()
                   << name.toStdString()
                   << " comes too early in: " << stops.join(QLatin1Char(' ')).toStdString();
        at = found;
    }
    return ::testing::AssertionSuccess();
}

// Shows a window and makes it the active one, so that its shortcuts apply.
inline bool showActive(QWidget& window) {
    window.show();
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
}

} // namespace p95::test
