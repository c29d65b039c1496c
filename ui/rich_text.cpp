#include "ui/rich_text.h"

#include "platform/text_codec.h"
#include "platform/text_file.h"

#include <QFontInfo>
#include <QTextDocument>
#include <QTextEdit>

namespace p95 {

QFont richTextDefaultFont() {
    QFont font;
    // The first family the host has wins; the hint covers a host with none of them.
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                      QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(8.5);
    return font;
}

void setUpRichTextBox(QTextEdit& box) {
    box.setAcceptRichText(true);
    box.document()->setDefaultFont(richTextDefaultFont());
    box.setCurrentFont(richTextDefaultFont());
    box.clear();
}

QString plainText(const QTextEdit& box) {
    // The raw text keeps every character the user typed (toPlainText() turns
    // no-break spaces into spaces); only the document's own separators become
    // line ends: paragraph ends, soft line breaks (Shift+Enter) and the edges
    // of frames such as tables.
    QString text = box.document()->toRawText();
    for (QChar& c : text) {
        switch (c.unicode()) {
        case QChar::ParagraphSeparator:
        case QChar::LineSeparator:
        case 0xfdd0: // the beginning of a frame
        case 0xfdd1: // the end of a frame
            c = QLatin1Char('\n');
            break;
        default:
            break;
        }
    }
    return text;
}

void setPlainText(QTextEdit& box, const QString& text) {
    QString normalised = text;
    normalised.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    normalised.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    box.setPlainText(normalised);
    // setPlainText keeps the character format at the cursor; start typing plain.
    QTextCharFormat plain;
    plain.setFont(richTextDefaultFont());
    box.setCurrentCharFormat(plain);
}

Result<QByteArray> encodePlainText(const QString& text) {
    QString crlf = text;
    crlf.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return encodeText(crlf);
}

QString decodePlainText(const QByteArray& bytes) {
    return decodeWindows1252(bytes);
}

Status loadPlainTextFile(QTextEdit& box, const QString& hostPath) {
    const auto bytes = readWholeFile(hostPath);
    if (!bytes)
        return bytes.error();
    setPlainText(box, decodePlainText(bytes.value()));
    return {};
}

Status savePlainTextFile(const QTextEdit& box, const QString& hostPath) {
    auto bytes = encodePlainText(plainText(box));
    if (!bytes) {
        Error error = bytes.error();
        error.file = hostPath;
        return error;
    }
    return writeFileAtomically(hostPath, bytes.value());
}

} // namespace p95
