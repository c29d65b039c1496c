#include "platform/wave_file.h"

#include "platform/drive.h"
#include "platform/text_file.h"

#include <QFile>
#include <QtEndian>

namespace p95 {

namespace {
constexpr qsizetype kHeaderSize = 12;
} // namespace

std::optional<QString> waveHeaderProblem(const QByteArray& start) {
    if (start.size() < kHeaderSize)
        return QStringLiteral("too short for a wave file");
    if (!start.startsWith("RIFF"))
        return QStringLiteral("not a RIFF file");
    const quint32 size = qFromLittleEndian<quint32>(start.constData() + 4);
    if (size < 4)
        return QStringLiteral("its RIFF chunk is empty");
    if (start.mid(8, 4) != "WAVE")
        return QStringLiteral("a RIFF file, but not a wave sound");
    return std::nullopt;
}

Status checkWaveFile(const QString& path) {
    const QString step = QStringLiteral("Checking the sound");
    const Result<QString> host = hostPath(path);
    if (!host)
        return Error{step, path, host.error().reason};
    QFile file;
    if (const Status opened = openRegularFile(file, host.value()); !opened.ok())
        return Error{step, path, opened.error().reason};
    const QByteArray start = file.read(kHeaderSize);
    if (const auto problem = waveHeaderProblem(start))
        return Error{step, path, *problem};
    return {};
}

} // namespace p95
