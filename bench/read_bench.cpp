// Prints what reading a .theme file costs: a typical theme (every slot set,
// as a save writes it) and a 1 MB one (the same keys over and over; the last
// of each wins). Each is read twice: with a probe that takes every picture
// (the scanning alone) and with the real picture probe, the files present on
// a private drive C. No assertions.

#include "platform/drive.h"
#include "platform/qt_picture_probe.h"
#include "theme/theme_reader.h"
#include "theme/theme_writer.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace p95;

namespace {

class EveryPictureLoads : public PictureProbe {
public:
    Status probe(const QString&) const override { return std::nullopt; }
};

ThemeDocument everySlotSet() {
    ThemeDocument doc;
    doc.name = QStringLiteral("Bench");
    for (int i = 0; i < kPointerCount; ++i)
        doc.pointers[i] = QStringLiteral("/src/p%1.%2").arg(i).arg(i % 4 == 0 ? "ani" : "cur");
    for (int i = 0; i < kSoundCount; ++i)
        doc.sounds[i] = QStringLiteral("/src/s%1.wav").arg(i);
    doc.icons[0] = QStringLiteral("/src/w.bmp");
    for (int i = 1; i <= 4; ++i)
        doc.icons[i] = QStringLiteral("/src/i%1.ico").arg(i);
    doc.icons[5] = QStringLiteral("/src/saver.scr");
    return doc;
}

QByteArray picture(const char* format, int size) {
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(qRgba(0, 128, 128, 255));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

// The copies a save would leave, so that the real probe finds every file.
bool layOutTheme(const ThemeDocument& doc) {
    const QByteArray ico = picture("ico", 32);
    QByteArray cur = ico;
    cur[2] = 2;
    const QByteArray bmp = picture("bmp", 640);
    for (const SlotRef slot : copyOrder()) {
        const auto host =
            hostPath(themeDirectory(doc.name) + QLatin1Char('\\') + standardFileName(doc, slot));
        if (!host)
            return false;
        QDir().mkpath(QFileInfo(host.value()).absolutePath());
        QFile file(host.value());
        if (!file.open(QIODevice::WriteOnly))
            return false;
        const QString ext = finalExtension(doc, slot);
        file.write(ext == QStringLiteral(".cur")   ? cur
                   : ext == QStringLiteral(".ico") ? ico
                   : ext == QStringLiteral(".bmp") ? bmp
                                                   : QByteArray("RIFF"));
    }
    return true;
}

void measure(const char* what, const QByteArray& bytes, const PictureProbe& probe, int rounds) {
    std::vector<double> ms;
    ThemeReading last;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer timer;
        timer.start();
        last = readTheme(ThemeDocument(), bytes, probe);
        ms.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    const double median = ms[ms.size() / 2];
    std::printf("%-44s %9lld bytes  median %9.3f ms  min %9.3f ms  %7.1f MB/s  (%d rounds, %lld "
                "messages)\n",
                what, static_cast<long long>(bytes.size()), median, ms.front(),
                double(bytes.size()) / (1 << 20) / (median / 1000), rounds,
                static_cast<long long>(last.messages.size()));
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTemporaryDir tmp;
    qputenv("PALETTEER95_DRIVE_C", (tmp.path() + QStringLiteral("/drive_c")).toUtf8());

    const ThemeDocument doc = everySlotSet();
    const QByteArray typical = themeFileBytes(doc).value();
    QByteArray large;
    while (large.size() < (qsizetype(1) << 20))
        large += typical;
    if (!layOutTheme(doc)) {
        std::fprintf(stderr, "read_bench: cannot lay out the theme on %s\n",
                     qPrintable(tmp.path()));
        return 1;
    }

    const EveryPictureLoads scanningOnly;
    const QtPictureProbe realProbe;
    measure("typical theme, scanning only", typical, scanningOnly, 200);
    measure("typical theme, real picture probe", typical, realProbe, 50);
    measure("1 MB theme, scanning only", large, scanningOnly, 5);
    measure("1 MB theme, real picture probe", large, realProbe, 5);
    return 0;
}
