#pragma once

// Whether a file is a wave sound: a RIFF file of form "WAVE". Only the first
// twelve bytes are read, so a long sound costs nothing to check.

#include "platform/error.h"

#include <QByteArray>
#include <QString>

namespace p95 {

// Why the first bytes of a file are not those of a RIFF WAVE file, or nothing
// when they are: "RIFF", a little-endian chunk size with room for the form
// type, then "WAVE". The size is not held against the file's length, as many
// programs leave it wrong and players do not mind.
std::optional<QString> waveHeaderProblem(const QByteArray& start);

// Reads the start of a Windows-form or host path and checks it as above; the
// error names the file and says what is wrong.
Status checkWaveFile(const QString& path);

} // namespace p95
