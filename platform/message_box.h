#pragma once

// Modal message and input boxes. Every caller passes its own title
// ("Paletteer 95").

#include <QString>

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
};

class InputBoxService {
public:
    virtual ~InputBoxService() = default;
    // The text in the field on OK; "" on Cancel.
    virtual QString ask(QWidget* parent, const QString& prompt, const QString& title,
                        const QString& defaultAnswer) = 0;
};

} // namespace p95
