// Prints what reading a .theme file costs: a typical theme of about 5 KiB
// (every slot set, as a save writes it) and a 10 MiB one (the same keys over
// and over; the last of each wins). Each is read with a probe that takes
// every picture (the reading alone) and with the real picture probe, the
// files present on a private drive C; and each by the program's reader and,
// in the same run, by the step-by-step reference the fuzz targets hold it to.
// No assertions.

#include "fuzz/reference_theme_reader.h"
#include "platform/drive.h"
#include "platform/pictures/qt_picture_probe.h"
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
    Status probe(const QString&) const override { return {}; }
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

using Reader = ThemeReading (*)(const ThemeDocument&, const QByteArray&, const PictureProbe&);

double measure(const char* what, Reader read, const QByteArray& bytes, const PictureProbe& probe,
               int rounds) {
    std::vector<double> ms;
    ThemeReading last;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer timer;
        timer.start();
        last = read(ThemeDocument(), bytes, probe);
        ms.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    const double median = ms[ms.size() / 2];
    const double rate = double(bytes.size()) / (1 << 20) / (median / 1000);
    std::printf("%-50s %9lld bytes  median %9.3f ms  min %9.3f ms  %8.1f MB/s  (%d rounds)\n", what,
                static_cast<long long>(bytes.size()), median, ms.front(), rate, rounds);
    return rate;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTemporaryDir tmp;
    qputenv("PALETTEER95_DRIVE_C", (tmp.path() + QStringLiteral("/drive_c")).toUtf8());

    const ThemeDocument doc = everySlotSet();
    const QByteArray typical = themeFileBytes(doc).value();
    QByteArray large;
    while (large.size() < (qsizetype(10) << 20))
        large += typical;
    if (!layOutTheme(doc)) {
        std::fprintf(stderr, "read_bench: cannot lay out the theme on %s\n",
                     qPrintable(tmp.path()));
        return 1;
    }

    const EveryPictureLoads readingOnly;
    const QtPictureProbe realProbe;
    const Reader oneReader = &p95::readTheme;
    const Reader reference = &p95::fuzz::reference::readTheme;
    // MB/s here means MiB read per second.
    std::printf("reading a .theme file (MB/s = MiB/s); \"reference\": the step-by-step reading\n");
    measure("5 KiB theme, reading only", oneReader, typical, readingOnly, 500);
    measure("5 KiB theme, reading only, reference", reference, typical, readingOnly, 200);
    measure("5 KiB theme, real picture probe", oneReader, typical, realProbe, 100);
    measure("5 KiB theme, real picture probe, reference", reference, typical, realProbe, 50);
    const double one = measure("10 MiB theme, reading only", oneReader, large, readingOnly, 11);
    const double ref =
        measure("10 MiB theme, reading only, reference", reference, large, readingOnly, 3);
    measure("10 MiB theme, real picture probe", oneReader, large, realProbe, 11);
    std::printf("10 MiB theme: %.1f times the reference's rate\n", one / ref);
    return 0;
}
