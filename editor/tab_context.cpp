#include "editor/tab_context.h"

#include "editor/widget_names.h"
#include "package/package_limits.h"
#include "platform/drive.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QFileInfo>
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

namespace {

QString removalQuestion(SlotRef slot) {
    QString what;
    switch (slot.family) {
    case SlotFamily::Pointer:
        what = QStringLiteral("this pointer");
        break;
    case SlotFamily::Sound:
        what = QStringLiteral("this sound");
        break;
    case SlotFamily::Icons:
        what = slot.index == kWallpaperIndex     ? QStringLiteral("the wallpaper")
               : slot.index == kScreenSaverIndex ? QStringLiteral("the screen saver")
                                                 : QStringLiteral("this icon");
        break;
    }
    return QStringLiteral("Are you sure that you want to remove %1 from the theme?").arg(what);
}

} // namespace

MsgAnswer TabContext::message(const QString& text, MsgButtons buttons, MsgIcon icon) const {
    return services.messages.show(window, text, buttons, QStringLiteral("Paletteer 95"), icon);
}

bool TabContext::confirmRemoval(SlotRef slot) const {
    return message(removalQuestion(slot), MsgButtons::YesNo) == MsgAnswer::Yes;
}

QString TabContext::chooseFile(const QString& title, const QString& filter, int filterIndex,
                               const QString& defaultExt, const QString& initDir) const {
    dialog.fileName.clear();
    dialog.dialogTitle = title;
    dialog.filter = filter;
    dialog.filterIndex = filterIndex;
    dialog.defaultExt = defaultExt;
    dialog.initDir = initDir;
    services.fileDialog.showOpen(dialog, window);
    return dialog.fileName;
}

QString TabContext::programFile(const QString& name) {
    return programDirectory() + QLatin1Char('\\') + name;
}

std::optional<QString> tooLargeForPackageMessage(const QString& path) {
    const qint64 limit = PackageLimits().entryBytes;
    const Result<QString> host = hostPath(path);
    if (!host.ok() || QFileInfo(host.value()).size() <= limit)
        return std::nullopt;
    return QStringLiteral("The file \"%1\" is larger than %2. The theme can be saved with it, "
                          "but a theme package cannot hold it, so the theme cannot be packed.")
        .arg(path, mib(limit));
}

QString unloadablePictureMessage(const QString& path, const Error& error) {
    const QString reason = error.why();
    return QStringLiteral("The file \"%1\" could not be loaded as a picture (%2), so it cannot be "
                          "used in the theme. Your earlier choice has been kept.")
        .arg(path, reason);
}

} // namespace p95
