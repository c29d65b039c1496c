// The part of frmMain that hands the selection tabs what they work with: the
// services, the one file dialog and the theme model.

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
        .model = m_model,
        .pictures = m_pictures,
        .removal = new RemoveMenu(
            mnuRem, mnuRemove, [this]() -> const ThemeDocument& { return document(); }, this),
    };
    m_pointers->attach(context);
    m_sounds->attach(context);
    m_visuals->attach(context);
    m_colours->attach(context);
}

} // namespace p95
