#pragma once

// The rich-text box: formatting may be applied while editing, but what leaves
// or enters the box through a file is plain Windows-1252 text with CR LF
// between lines.

#include "platform/error.h"

#include <QFont>
#include <QString>

class QTextEdit;

namespace p95 {

// "MS Sans Serif" at 8.5 points, or the nearest sans-serif face the host has
// when that font is missing.
QFont richTextDefaultFont();

// Sets the box up for rich editing, starting from an empty document in the
// default font.
void setUpRichTextBox(QTextEdit& box);

// The box's text without any formatting, every character kept (no-break
// spaces too); lines are separated by "\n" (soft line breaks and paragraph
// ends alike).
QString plainText(const QTextEdit& box);

// Replaces the whole content of the box with text in the default font (any
// earlier formatting is dropped). CR LF, bare CR and bare LF all end a line.
void setPlainText(QTextEdit& box, const QString& text);

// The bytes of a plain-text file: Windows-1252, CR LF between lines, nothing
// after the last line. Fails, naming the character, when Windows-1252 cannot
// hold the text (never writes "?" in its place).
Result<QByteArray> encodePlainText(const QString& text);
QString decodePlainText(const QByteArray& bytes);

// Load a file as plain text into the box; on failure the box is unchanged.
Status loadPlainTextFile(QTextEdit& box, const QString& hostPath);

// Save the box's text as a plain-text file, replacing it whole or not at all.
Status savePlainTextFile(const QTextEdit& box, const QString& hostPath);

} // namespace p95
