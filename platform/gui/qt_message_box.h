#pragma once

// Message and input boxes on Qt's dialogs. Texts are shown as plain text (a
// theme name with "<" in it is not markup), and closing a box or pressing
// Escape gives the harmless answer: OK, Cancel or No.

#include "platform/message_box.h"

namespace p95 {

class QtMessageBox : public MessageBoxService {
public:
    MsgAnswer show(QWidget* parent, const QString& text, MsgButtons buttons, const QString& title,
                   MsgIcon icon = MsgIcon::None) override;
    MsgAnswer showWithDetails(QWidget* parent, const QString& text, const QString& details,
                              MsgButtons buttons, const QString& title, MsgIcon icon) override;
};

// A prompt above a one-line field, with OK and Cancel. Object names for tests
// and accessibility tools: "InputBox", "InputBoxPrompt", "InputBoxText".
class QtInputBox : public InputBoxService {
public:
    QString ask(QWidget* parent, const QString& prompt, const QString& title,
                const QString& defaultAnswer) override;
};

// A prompt above a list, with OK and Cancel. Object names: "ListBox",
// "ListBoxPrompt", "ListBoxItems".
class QtListChoice : public ListChoiceService {
public:
    int choose(QWidget* parent, const QString& prompt, const QString& title,
               const QStringList& items) override;
};

} // namespace p95
