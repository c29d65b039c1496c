#pragma once

#include "theme/theme_document.h"

#include <QHash>
#include <QObject>

#include <functional>

class QAction;
class QMenu;
class QPoint;
class QWidget;

namespace p95 {

// The one "&Remove from Theme" pop-up of the tabs (mnuRem with mnuRemove). A
// watched control offers it for its slot while the slot is set: on the right
// mouse button, the Menu key or Shift+F10. Choosing mnuRemove then asks for
// the slot the pop-up was opened for.
class RemoveMenu : public QObject {
    Q_OBJECT
public:
    RemoveMenu(QMenu* mnuRem, QAction* mnuRemove, std::function<const ThemeDocument&()> document,
               QObject* parent);

    void watch(QWidget* control, SlotRef slot);
    // The slot the pop-up was last opened for.
    SlotRef slot() const { return m_slot; }

Q_SIGNALS:
    void removeRequested(SlotRef slot); // mnuRemove chosen for it

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Opens the pop-up for the slot at a screen position; from the keyboard
    // its entry is ready for Enter. A pop-up already open stays as it is.
    void popup(SlotRef slot, const QPoint& where, bool fromKeyboard);

    QMenu* m_menu;
    std::function<const ThemeDocument&()> m_document;
    QHash<QObject*, SlotRef> m_watched;
    SlotRef m_slot{SlotFamily::Sound, 0};
};

} // namespace p95
