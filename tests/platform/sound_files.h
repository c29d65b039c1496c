#pragma once

// Sound files made in the tests: a sine tone as a wave file and a short MIDI
// tune, so the audio tests need no files from elsewhere.

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cmath>
#include <initializer_list>

namespace p95::test {

inline void appendLe(QByteArray& out, quint32 value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.append(char((value >> (8 * i)) & 0xff));
}

inline void appendBe(QByteArray& out, quint32 value, int bytes) {
    for (int i = bytes - 1; i >= 0; --i)
        out.append(char((value >> (8 * i)) & 0xff));
}

// A mono 16-bit PCM wave file: a sine of `hz` for `seconds` at half scale.
inline QByteArray sineWave(double hz = 440.0, double seconds = 1.0, int rate = 22050) {
    const quint32 frames = quint32(seconds * rate);
    QByteArray out;
    out += "RIFF";
    appendLe(out, 36 + frames * 2, 4);
    out += "WAVEfmt ";
    appendLe(out, 16, 4);
    appendLe(out, 1, 2); // PCM
    appendLe(out, 1, 2); // mono
    appendLe(out, quint32(rate), 4);
    appendLe(out, quint32(rate) * 2, 4);
    appendLe(out, 2, 2);
    appendLe(out, 16, 2);
    out += "data";
    appendLe(out, frames * 2, 4);
    for (quint32 i = 0; i < frames; ++i) {
        const double v = 16000.0 * std::sin(2.0 * M_PI * hz * double(i) / rate);
        appendLe(out, quint32(quint16(qint16(std::lround(v)))), 2);
    }
    return out;
}

// A standard MIDI file (format 0): four loud piano notes, half a second each.
inline QByteArray midiTune() {
    QByteArray track;
    auto event = [&track](int delta, std::initializer_list<int> bytes) {
        track.append(char(delta)); // every delta here is below 128
        for (int b : bytes)
            track.append(char(b));
    };
    event(0, {0xC0, 0x00}); // acoustic grand piano
    for (int note : {60, 64, 67, 72}) {
        event(0, {0x90, note, 120});
        event(96, {0x80, note, 0});
    }
    event(0, {0xFF, 0x2F, 0x00});

    QByteArray out("MThd");
    appendBe(out, 6, 4);
    appendBe(out, 0, 2);  // format 0
    appendBe(out, 1, 2);  // one track
    appendBe(out, 96, 2); // ticks per quarter note (120 bpm: 96 ticks = 0.5 s)
    out += "MTrk";
    appendBe(out, quint32(track.size()), 4);
    out += track;
    return out;
}

inline bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace p95::test
