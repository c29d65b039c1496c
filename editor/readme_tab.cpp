#include "editor/readme_tab.h"

#include "ui/rich_text.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScrollBar>
#include <QTextEdit>
#include <QVBoxLayout>

namespace p95 {

ReadMeTab::ReadMeTab(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("tabReadMe"));
    auto* layout = new QVBoxLayout(this);
    help = makeHelpPanel(5, this);
    layout->addWidget(help.panel);

    auto* controls = new QHBoxLayout;
    chkReadMe = new QCheckBox(QStringLiteral("&Include ReadMe file in the Theme directory"), this);
    chkReadMe->setObjectName(QStringLiteral("chkReadMe"));
    // Unchecked at start, as a new theme document starts: the window shows
    // the document's own start-up value.
    controls->addWidget(chkReadMe, 1);
    Command14 = new QPushButton(QStringLiteral("Save as Default &ReadMe File"), this);
    Command14->setObjectName(QStringLiteral("Command14"));
    controls->addWidget(Command14);
    layout->addLayout(controls);

    txtReadMe = new QTextEdit(this);
    txtReadMe->setObjectName(QStringLiteral("txtReadMe"));
    setUpRichTextBox(*txtReadMe);
    txtReadMe->setAccessibleName(QStringLiteral("ReadMe text"));
    txtReadMe->verticalScrollBar()->setAccessibleName(QStringLiteral("ReadMe text, up and down"));
    txtReadMe->horizontalScrollBar()->setAccessibleName(
        QStringLiteral("ReadMe text, left and right"));
    // Tab leaves the text, as in any other dialog box, rather than trapping a
    // keyboard user in it; a tab character can still be pasted in.
    txtReadMe->setTabChangesFocus(true);
    layout->addWidget(txtReadMe, 1);
}

} // namespace p95
