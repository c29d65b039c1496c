#pragma once

// The birthday tune played when the editor loads on 12 January.

#include "platform/error.h"

#include <QDate>
#include <QString>

namespace p95 {

class FileSystem;
class MciDevice;

bool isBirthday(QDate date); // 12 January, any year

// The greeting that replaces the credit line on the birthday.
QString birthdayGreeting();

// How long the tune's file may take to load before it is renamed back.
inline constexpr int kTuneLoadWaitMs = 2000;

// Plays "theme.cat" of the program directory (a Windows-form path without a
// final backslash) through the device. The device picks its MIDI player by
// the ".mid" ending, so the file is renamed to "theme.mid" while it is opened
// and renamed back afterwards whatever happened, once the player has loaded
// it or kTuneLoadWaitMs have passed. Returns the first thing that failed.
Status playBirthdayTune(MciDevice& device, FileSystem& files, const QString& programDirectory);

} // namespace p95
