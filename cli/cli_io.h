#pragma once

// Small helpers shared by the commands of paletteer95-cli.

#include "platform/error.h"
#include "theme/theme_document.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <optional>

namespace p95::cli {

enum Exit { Done = 0, Failed = 1, BadInput = 2 };

// One clear line on standard error; returns the exit status given.
int fail(int status, const QString& message);
// One line on standard error that is no failure (what a command left out).
void note(const QString& message);

// A usage problem: one line that points to --help; returns BadInput.
int usage(const QString& problem);

// An option a command takes: one with a value ("-o" or "--output", needing
// "a file name") or a flag ("--force", valueNeeded empty).
struct Option {
    QStringList names; // the first names the option in CommandArgs
    QString valueNeeded;
};

// "-o FILE" / "--output FILE", as write, preview and pack take it.
inline const Option kOutput{{QStringLiteral("-o"), QStringLiteral("--output")},
                            QStringLiteral("a file name")};

struct CommandArgs {
    QString operand;
    QHash<QString, QString> values; // by the option's first name
    QSet<QString> flags;
};

// The one operand and the options of a command's arguments. operand says
// what the operand is ("document", "theme name") and operandForm how it is
// written (" (DOC.json)", or empty), for "write needs a document (DOC.json)"
// and "write takes one document". With dashIsInput, "-" (standard input) is
// an operand rather than an option. A usage problem is said, and its exit
// status returned.
std::optional<int> parseCommandArgs(const QString& command, const QStringList& args,
                                    const QList<Option>& options, const QString& operand,
                                    const QString& operandForm, bool dashIsInput, CommandArgs& out);

// The document in input (a file, or "-" for standard input) on top of base.
// A failure is said: unreadable input gives unreadableStatus, a text that is
// no document BadInput.
template <typename T> struct CommandInput {
    std::optional<T> value;
    int status = 0; // the exit status when there is no value
    bool ok() const { return value.has_value(); }
};
CommandInput<ThemeDocument> readDocument(const QString& input, const ThemeDocument& base,
                                         int unreadableStatus);

// Reads a whole file, or standard input when path is "-".
Result<QByteArray> readInput(const QString& path);

// Writes bytes to standard output unchanged (no line-end translation).
bool writeStdout(const QByteArray& bytes);

} // namespace p95::cli
