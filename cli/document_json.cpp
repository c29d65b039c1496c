#include "cli/document_json.h"

#include "colour/presets.h"
#include "platform/text_codec.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QJsonValue>

namespace p95 {

namespace {

Error badField(const QString& field, const QString& what) {
    return Error{
        QStringLiteral("Reading the document"), {}, QStringLiteral("\"%1\" %2").arg(field, what)};
}

template <std::size_t N>
Status readStrings(const QJsonObject& obj, const QString& field, std::array<QString, N>& out) {
    const QJsonValue value = obj.value(field);
    if (value.isUndefined())
        return {};
    const QJsonArray array = value.toArray();
    if (!value.isArray() || array.size() != qsizetype(N))
        return badField(field, QStringLiteral("must be an array of %1 strings").arg(N));
    for (std::size_t i = 0; i < N; ++i) {
        if (!array.at(qsizetype(i)).isString())
            return badField(field,
                            QStringLiteral("must be an array of %1 strings (entry %2 is not a "
                                           "string)")
                                .arg(N)
                                .arg(i));
        out[i] = array.at(qsizetype(i)).toString();
    }
    return {};
}

Status readString(const QJsonObject& obj, const QString& field, QString& out) {
    const QJsonValue value = obj.value(field);
    if (value.isUndefined())
        return {};
    if (!value.isString())
        return badField(field, QStringLiteral("must be a string"));
    out = value.toString();
    return {};
}

Status readBool(const QJsonObject& obj, const QString& field, bool& out) {
    const QJsonValue value = obj.value(field);
    if (value.isUndefined())
        return {};
    if (!value.isBool())
        return badField(field, QStringLiteral("must be true or false"));
    out = value.toBool();
    return {};
}

// Text that goes into a .theme file or ReadMe must fit the Windows code page.
Status checkWritable(const QString& field, const QString& text) {
    if (fitsWindows1252(text))
        return {};
    return badField(field, QStringLiteral("holds \"%1\", which a Windows 95 text file cannot hold")
                               .arg(firstUnencodable(text)));
}

template <std::size_t N> QJsonArray toArray(const std::array<QString, N>& values) {
    QJsonArray array;
    for (const QString& v : values)
        array.append(v);
    return array;
}

} // namespace

Result<ThemeDocument> documentFromJson(const QByteArray& json, const ThemeDocument& base) {
    QJsonParseError parseError;
    const QJsonDocument parsed = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return Error{QStringLiteral("Reading the document"),
                     {},
                     QStringLiteral("not valid JSON at offset %1: %2")
                         .arg(parseError.offset)
                         .arg(parseError.errorString())};
    if (!parsed.isObject())
        return Error{QStringLiteral("Reading the document"),
                     {},
                     QStringLiteral("the document must be a JSON object")};
    const QJsonObject obj = parsed.object();

    static const QStringList known{QStringLiteral("name"),
                                   QStringLiteral("pointers"),
                                   QStringLiteral("sounds"),
                                   QStringLiteral("icons"),
                                   QStringLiteral("jpegWallpaper"),
                                   QStringLiteral("tiled"),
                                   QStringLiteral("colourMode"),
                                   QStringLiteral("preset"),
                                   QStringLiteral("colours"),
                                   QStringLiteral("iconMetrics"),
                                   QStringLiteral("nonclientMetrics"),
                                   QStringLiteral("includeReadMe"),
                                   QStringLiteral("readMe"),
                                   QStringLiteral("messages")};
    for (auto it = obj.begin(); it != obj.end(); ++it) {
        if (!known.contains(it.key()))
            return badField(it.key(), QStringLiteral("is not a field of a theme document"));
    }

    ThemeDocument doc = base;
    Status status;
    auto check = [&](Status s) {
        if (status.ok() && !s.ok())
            status = std::move(s);
    };
    check(readString(obj, QStringLiteral("name"), doc.name));
    check(readStrings(obj, QStringLiteral("pointers"), doc.pointers));
    check(readStrings(obj, QStringLiteral("sounds"), doc.sounds));
    check(readStrings(obj, QStringLiteral("icons"), doc.icons));
    check(readBool(obj, QStringLiteral("tiled"), doc.tiled));
    check(readStrings(obj, QStringLiteral("colours"), doc.colours));
    check(readString(obj, QStringLiteral("iconMetrics"), doc.iconMetrics));
    check(readString(obj, QStringLiteral("nonclientMetrics"), doc.nonclientMetrics));
    check(readBool(obj, QStringLiteral("includeReadMe"), doc.includeReadMe));
    check(readString(obj, QStringLiteral("readMe"), doc.readMe));
    if (!status.ok())
        return status.error();

    if (obj.contains(QStringLiteral("jpegWallpaper"))) {
        if (auto s = readBool(obj, QStringLiteral("jpegWallpaper"), doc.jpegWallpaper); !s.ok())
            return s.error();
    } else if (obj.contains(QStringLiteral("icons"))) {
        // As the window's wallpaper choice would set it.
        doc.jpegWallpaper =
            doc.icons[kWallpaperIndex].endsWith(QStringLiteral(".jpg"), Qt::CaseInsensitive);
    }

    const QJsonValue mode = obj.value(QStringLiteral("colourMode"));
    if (!mode.isUndefined()) {
        if (mode == QJsonValue(QStringLiteral("preset")))
            doc.colourMode = ColourMode::Preset;
        else if (mode == QJsonValue(QStringLiteral("own")))
            doc.colourMode = ColourMode::Own;
        else
            return badField(QStringLiteral("colourMode"),
                            QStringLiteral("must be \"preset\" or \"own\""));
    }
    const QJsonValue preset = obj.value(QStringLiteral("preset"));
    if (!preset.isUndefined()) {
        const double number = preset.toDouble(-1);
        // The range first: converting a huge number to int is undefined.
        if (!preset.isDouble() || !(number >= 0 && number < kPresetCount) ||
            number != double(int(number)))
            return badField(
                QStringLiteral("preset"),
                QStringLiteral("must be a whole number from 0 to %1").arg(kPresetCount - 1));
        doc.preset = int(number);
    }

    check(checkWritable(QStringLiteral("name"), doc.name));
    for (int i = 0; i < kColourCount; ++i)
        check(checkWritable(QStringLiteral("colours"), doc.colours[i]));
    check(checkWritable(QStringLiteral("iconMetrics"), doc.iconMetrics));
    check(checkWritable(QStringLiteral("nonclientMetrics"), doc.nonclientMetrics));
    check(checkWritable(QStringLiteral("readMe"), doc.readMe));
    if (!status.ok())
        return status.error();
    return doc;
}

QJsonObject documentToJson(const ThemeDocument& doc) {
    QJsonObject obj;
    obj.insert(QStringLiteral("name"), doc.name);
    obj.insert(QStringLiteral("pointers"), toArray(doc.pointers));
    obj.insert(QStringLiteral("sounds"), toArray(doc.sounds));
    obj.insert(QStringLiteral("icons"), toArray(doc.icons));
    obj.insert(QStringLiteral("jpegWallpaper"), doc.jpegWallpaper);
    obj.insert(QStringLiteral("tiled"), doc.tiled);
    obj.insert(QStringLiteral("colourMode"), doc.colourMode == ColourMode::Preset
                                                 ? QStringLiteral("preset")
                                                 : QStringLiteral("own"));
    obj.insert(QStringLiteral("preset"), doc.preset);
    obj.insert(QStringLiteral("colours"), toArray(doc.colours));
    obj.insert(QStringLiteral("iconMetrics"), doc.iconMetrics);
    obj.insert(QStringLiteral("nonclientMetrics"), doc.nonclientMetrics);
    obj.insert(QStringLiteral("includeReadMe"), doc.includeReadMe);
    obj.insert(QStringLiteral("readMe"), doc.readMe);
    return obj;
}

} // namespace p95
