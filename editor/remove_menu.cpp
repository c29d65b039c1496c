#include "editor/remove_menu.h"

#include "ui/widget_names.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QWidget>

namespace p95 {

RemoveMenu::RemoveMenu(QMenu* mnuRem, QAction* mnuRemove,
                       std::function<const ThemeDocument&()> document, QObject* parent)
    : QObject(parent), m_menu(mnuRem), m_document(std::move(document)) {
    connect(mnuRemove, &QAction::triggered, this, [this] { Q_EMIT removeRequested(m_slot); });
}

void RemoveMenu::watch(QWidget* control, SlotRef slot) {
    m_watched.insert(control, slot);
    control->installEventFilter(this);
}

void RemoveMenu::popup(SlotRef slot, const QPoint& where, bool fromKeyboard) {
    // Not exec(): the window stays responsive and the choice arrives through
    // mnuRemove. A menu already open (the Menu key sends a key and a pop-up
    // request) stays where it is.
    if (m_menu->isVisible())
        return;
    m_slot = slot;
    m_menu->popup(where);
    if (fromKeyboard && !m_menu->actions().isEmpty())
        m_menu->setActiveAction(m_menu->actions().constFirst());
}

bool RemoveMenu::eventFilter(QObject* watched, QEvent* event) {
    // Every event of every watched control passes here: the few that can open
    // the pop-up are picked out before anything else is looked at.
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease:
    case QEvent::KeyPress:
    case QEvent::ContextMenu:
        break;
    default:
        return false;
    }
    const auto found = m_watched.constFind(watched);
    if (found == m_watched.constEnd())
        return false;
    const SlotRef slot = found.value();
    // An empty slot has nothing to remove: the control behaves as it would
    // without the pop-up.
    if (m_document().isEmpty(slot))
        return false;
    const auto belowLeft = [watched] {
        auto* control = static_cast<QWidget*>(watched);
        return control->mapToGlobal(control->rect().bottomLeft());
    };
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::RightButton)
            return false;
        popup(slot, mouse->globalPosition().toPoint(), false);
        return true;
    }
    case QEvent::MouseButtonRelease:
        // The press opened the pop-up; its release must not click the control.
        return static_cast<QMouseEvent*>(event)->button() == Qt::RightButton;
    case QEvent::KeyPress:
        if (!isContextMenuKey(*static_cast<QKeyEvent*>(event)))
            return false;
        popup(slot, belowLeft(), true);
        return true;
    case QEvent::ContextMenu:
        // The mouse's right press has opened the menu already; this is the keyboard's.
        if (static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Keyboard)
            popup(slot, belowLeft(), true);
        return true;
    default:
        return false;
    }
}

} // namespace p95
