// The part of frmMain that hands the selection tabs what they work with: the
// services, the one file dialog and the window's slot-setting path.

#include "editor/frm_main.h"

#include <QLabel>
#include <QPushButton>

namespace p95 {

void FrmMain::attachTabs() {
    const TabContext context{
        .services = m_services,
        .files = m_files,
        .dialog = CommonDialog1,
        .window = this,
        // A file chosen for a slot: told at once when no package could hold it.
        .setSlot =
            [this](SlotRef slot, const QString& path, Preview preview) {
                setSlot(slot, path, preview);
                if (const auto tooLarge = tooLargeForPackageMessage(path))
                    message(*tooLarge, MsgButtons::Ok, MsgIcon::Information);
            },
        .setJpegWallpaper = [this](bool jpeg) { m_doc.jpegWallpaper = jpeg; },
        .setColour = [this](int index, const QString& text) { setColour(index, text); },
        .setColourMode = [this](ColourMode mode) { setColourMode(mode); },
        .document = [this]() -> const ThemeDocument& { return m_doc; },
        .removal = new RemoveMenu(
            mnuRem, mnuRemove, [this]() -> const ThemeDocument& { return m_doc; }, this),
        .lblIndex = lblIndex,
    };
    m_pointers->attach(context);
    m_sounds->attach(context);
    m_visuals->attach(context);
    m_colours->attach(context);
}

} // namespace p95
