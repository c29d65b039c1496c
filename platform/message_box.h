#pragma once

// Modal message, input and list boxes. Every caller passes its own title
// ("Paletteer 95").

#include <QString>
#include <QStringList>

class QWidget;

namespace p95 {

// A Yes/No question guards a destructive step (quit, overwrite, remove): No is
// its default button, so a stray Enter loses nothing. OK/Cancel keeps OK, and
// Yes/No/Cancel keeps Yes, as their default.
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MsgAnswer { Ok, Cancel, Yes, No };
enum class MsgIcon { None, Information, Warning, Critical };

class MessageBoxService {
public:
    virtual ~MessageBoxService() = default;
    virtual MsgAnswer show(QWidget* parent, const QString& text, MsgButtons buttons,
                           const QString& title, MsgIcon icon = MsgIcon::None) = 0;
    // The same with details the user may unfold below the text (a list of
    // files): the text stays short and the details are there to be read.
    virtual MsgAnswer showWithDetails(QWidget* parent, const QString& text, const QString& details,
                                      MsgButtons buttons, const QString& title, MsgIcon icon) = 0;
};

class InputBoxService {
public:
    virtual ~InputBoxService() = default;
    // The text in the field on OK; "" on Cancel.
    virtual QString ask(QWidget* parent, const QString& prompt, const QString& title,
                        const QString& defaultAnswer) = 0;
};

// A choice of one item of a list: the arrow keys move, Enter, a double click
// or OK chooses, and the first item is ready at the start.
class ListChoiceService {
public:
    virtual ~ListChoiceService() = default;
    // The index of the item chosen; -1 on Cancel.
    virtual int choose(QWidget* parent, const QString& prompt, const QString& title,
                       const QStringList& items) = 0;
};

} // namespace p95
