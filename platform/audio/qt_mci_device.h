#pragma once

// The MCI-style audio device on Qt Multimedia (QMediaPlayer with QAudioOutput)
// over GStreamer: wave files, and MIDI tunes through GStreamer's synthesiser
// with the system's General MIDI sound font. It lives in its own library,
// p95_audio, which the program loads when it first needs a sound
// (LazyMciDevice, real_services.h), so that starting needs no media library;
// this header names no Qt Multimedia type, so including it links nothing.

#include "platform/mci_device.h"

#include <QtGlobal>

#include <memory>

class QAudioOutput;
class QMediaPlayer;

namespace p95 {

// Chooses the GStreamer media backend unless the user has chosen one
// (QT_MEDIA_BACKEND). Debian's Qt also ships an FFmpeg backend that crashes
// without a sound device. Must run before the first media object is made:
// main() calls it first thing; QtMciDevice calls it as well.
inline void prepareMultimediaBackend() {
    if (qEnvironmentVariableIsEmpty("QT_MEDIA_BACKEND"))
        qputenv("QT_MEDIA_BACKEND", "gstreamer");
}

class QtMciDevice : public MciDevice {
public:
    QtMciDevice();
    ~QtMciDevice() override;
    QtMciDevice(const QtMciDevice&) = delete;
    QtMciDevice& operator=(const QtMciDevice&) = delete;

    void setDeviceType(const QString& type) override { m_type = type; }
    QString deviceType() const override { return m_type; }
    void setFileName(const QString& path) override { m_file = path; }
    QString fileName() const override { return m_file; }
    MciMode mode() const override;

    // "Open": opens the file named by fileName, closing a file that is still
    //   open. Fails for a missing file or a device type it does not know.
    // "Play": starts playing from the current position (from the start once
    //   the end was reached) and returns at once.
    // "Prev": back to the start. A sound that is playing is not cut off: it
    //   plays to its end and the position then returns to the start.
    // "Close": stops and closes; nothing happens when nothing is open.
    // Loading and playing happen in the background; a file the player cannot
    // read makes the next "Play" fail (and waitUntilLoaded tell why).
    Status command(const QString& command) override;
    Status waitUntilLoaded(int timeoutMs = 2000) override;
    // True when the media library knows an audio output device.
    bool hasOutput() const override;

    // Waits, at most timeoutMs, until the sound playing has ended. True when
    // nothing is playing any more.
    bool waitUntilStopped(int timeoutMs);
    // What the player reported when it could not play the open file.
    QString playerError() const { return m_playerError; }

private:
    Status open();
    Status play();
    void prev();
    void close();
    void onStatus(int status); // a QMediaPlayer::MediaStatus
    void onError(const QString& reason);
    // Runs the event loop (without user input) until done() or the time is up.
    template <typename Done> bool waitFor(Done done, int timeoutMs);

    QString m_type;
    QString m_file;
    QString m_openFile; // as named when opened
    std::unique_ptr<QAudioOutput> m_output;
    std::unique_ptr<QMediaPlayer> m_player;
    bool m_playing = false;
    bool m_rewindAtEnd = false;
    QString m_playerError;
};

} // namespace p95

// The p95_audio library's one entry point, found by name when it is loaded:
// a new QtMciDevice, which the caller owns.
extern "C" Q_DECL_EXPORT p95::MciDevice* p95_create_audio_device();
