#pragma once

// The MCI-style audio device: one file open at a time, driven by command
// strings. Wave files ("WaveAudio") and MIDI tunes (chosen by ".mid").

#include "platform/error.h"

#include <QString>

namespace p95 {

enum class MciMode { NotOpen, Stopped, Playing };

class MciDevice {
public:
    virtual ~MciDevice() = default;
    virtual void setDeviceType(const QString& type) = 0;
    virtual QString deviceType() const = 0;
    // A Windows-form or host path.
    virtual void setFileName(const QString& path) = 0;
    virtual QString fileName() const = 0;
    virtual MciMode mode() const = 0;
    // "Open", "Play", "Prev" (back to the start) or "Close". Never blocks the
    // window for the length of a sound; a file that cannot be played, or no
    // sound device at all, is an error, not a crash.
    virtual Status command(const QString& command) = 0;
    // Waits, at most timeoutMs, until the player has read the open file, so
    // that the file may then be renamed or removed. An error when the file
    // cannot be played, when nothing is open, or when the time ran out.
    virtual Status waitUntilLoaded(int timeoutMs = 2000) {
        (void)timeoutMs;
        return {};
    }
    // Whether there is anywhere to play to: a host without a sound server or
    // sound card plays into nothing without an error, so a caller that plays
    // for the user asks first.
    virtual bool hasOutput() const { return true; }
};

} // namespace p95
