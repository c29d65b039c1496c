#pragma once

// Small helpers shared by the commands of paletteer95-cli.

#include <QByteArray>
#include <QString>

namespace p95::cli {

enum Exit { Done = 0, Failed = 1, BadInput = 2 };

// One clear line on standard error; returns the exit status given.
int fail(int status, const QString& message);
// One line on standard error that is no failure (what a command left out).
void note(const QString& message);

// Reads a whole file, or standard input when path is "-".
bool readInput(const QString& path, QByteArray& bytes, QString& error);

// Writes bytes to standard output unchanged (no line-end translation).
bool writeStdout(const QByteArray& bytes);

} // namespace p95::cli
