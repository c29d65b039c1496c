// The program's own data files, as the build tree holds them for the program:
// every picture decodes by its content (the names end in .icp, .bmz, .cuz),
// the pen pointer's hotspot is in its header and on the nib, the tip file
// follows its layout, the tune is a well-formed MIDI file, and the generator
// reproduces the committed files byte for byte.

#include "platform/text_file.h"
#include "test_support.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QImageReader>
#include <QProcess>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QtEndian>

#include <map>
#include <set>

namespace {

using p95::test::readBytes;

QString builtData(const char* name) {
    return QStringLiteral(P95_BUILD_DATA_DIR "/") + QString::fromUtf8(name);
}

QString sourceData(const char* name) {
    return QStringLiteral(P95_DATA_SOURCE_DIR "/") + QString::fromUtf8(name);
}

// Every image of a file, decoded from its bytes alone so that the file name
// cannot help the reader.
struct Decoded {
    QByteArray format;
    QList<QImage> images;
};

Decoded decode(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    Decoded result;
    if (!reader.canRead())
        return result;
    result.format = reader.format();
    const int count = qMax(1, reader.imageCount());
    for (int i = 0; i < count; ++i) {
        if (i > 0 && !reader.jumpToImage(i))
            break;
        const QImage image = reader.read();
        if (image.isNull())
            break;
        result.images.append(image.convertToFormat(QImage::Format_ARGB32));
    }
    return result;
}

int distinctOpaqueColours(const QImage& image) {
    std::set<QRgb> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) == 255)
                colours.insert(image.pixel(x, y));
    return int(colours.size());
}

double opaqueShare(const QImage& image) {
    int opaque = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            opaque += qAlpha(image.pixel(x, y)) == 255 ? 1 : 0;
    return double(opaque) / (image.width() * image.height());
}

struct PictureCase {
    const char* name;
    bool installed; // in the program's data folder (else only in data/)
    QByteArray format;
    QList<QSize> sizes;
    bool transparentEdges; // icons and pointers: the AND mask lets the screen through
};

TEST(DataPictures, EveryPictureDecodesByContentAtItsSizes) {
    const QList<PictureCase> cases = {
        {"theme.icp", true, "ico", {QSize(32, 32), QSize(16, 16)}, true},
        {"tipofday.icp", true, "ico", {QSize(32, 32), QSize(16, 16)}, true},
        {"info.icp", true, "ico", {QSize(32, 32)}, true},
        {"pen.cuz", true, "ico", {QSize(32, 32)}, true},
        {"play.bmz", true, "bmp", {QSize(24, 22)}, false},
        {"play2.bmz", true, "bmp", {QSize(24, 22)}, false},
        {"ani.bmz", true, "bmp", {QSize(32, 32)}, false},
        {"unavailable.bmz", true, "bmp", {QSize(160, 120)}, false},
        {"paletteer95.png", false, "png", {QSize(64, 64)}, true},
    };
    for (const PictureCase& c : cases) {
        SCOPED_TRACE(c.name);
        const Decoded decoded =
            decode(readBytes(c.installed ? builtData(c.name) : sourceData(c.name)));
        EXPECT_EQ(decoded.format, c.format);
        ASSERT_EQ(decoded.images.size(), c.sizes.size());
        for (qsizetype i = 0; i < c.sizes.size(); ++i) {
            const QImage& image = decoded.images[i];
            EXPECT_EQ(image.size(), c.sizes[i]);
            // A drawing, not a blank or a single-colour block.
            EXPECT_GE(distinctOpaqueColours(image), 4);
            if (c.transparentEdges) {
                EXPECT_EQ(qAlpha(image.pixel(0, image.height() - 1)), 0) << "lower-left corner";
                EXPECT_EQ(qAlpha(image.pixel(image.width() - 1, image.height() - 1)), 0)
                    << "lower-right corner";
                const double share = opaqueShare(image);
                EXPECT_GT(share, 0.15);
                EXPECT_LT(share, 0.85);
            } else {
                EXPECT_EQ(opaqueShare(image), 1.0);
            }
        }
    }
}

// The standard icons and pointers of the preview: 32x32 pictures with a
// transparent background, the pointers cursor files with their hotspot on
// the picture.
TEST(DataPictures, TheStandardIconsAndPointersAreTransparentPicturesOf32Pixels) {
    int icons = 0, pointers = 0;
    for (const QString& name : QStringLiteral(P95_DATA_FILES).split(u',')) {
        if (!name.startsWith(QStringLiteral("std-")))
            continue;
        SCOPED_TRACE(name.toStdString());
        const QByteArray bytes = readBytes(builtData(name.toUtf8().constData()));
        const Decoded decoded = decode(bytes);
        EXPECT_EQ(decoded.format, QByteArray("ico"));
        ASSERT_EQ(decoded.images.size(), 1);
        const QImage& image = decoded.images.first();
        EXPECT_EQ(image.size(), QSize(32, 32));
        EXPECT_EQ(qAlpha(image.pixel(31, 31)), 0);
        EXPECT_GT(opaqueShare(image), 0.02);
        EXPECT_LT(opaqueShare(image), 0.85);
        const bool pointer = name.endsWith(QStringLiteral(".cur"));
        ASSERT_GE(bytes.size(), 22);
        EXPECT_EQ(int(bytes[2]), pointer ? 2 : 1);
        if (pointer) {
            ++pointers;
            const int x = qFromLittleEndian<quint16>(bytes.constData() + 10);
            const int y = qFromLittleEndian<quint16>(bytes.constData() + 12);
            // The hotspot is on the drawing, or next to a pixel of it.
            bool near = false;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    near = near || (image.rect().contains(x + dx, y + dy) &&
                                    qAlpha(image.pixel(x + dx, y + dy)) == 255);
            EXPECT_TRUE(near) << x << "," << y;
        } else {
            ++icons;
            EXPECT_GE(distinctOpaqueColours(image), 3);
        }
    }
    EXPECT_EQ(icons, 4);
    EXPECT_EQ(pointers, 14);
}

// The picture's sign: the top-left black pixel inside the two-pixel bevel.
QPoint firstSignPixel(const QImage& image) {
    for (int y = 2; y < image.height() - 2; ++y)
        for (int x = 2; x < image.width() - 2; ++x)
            if (image.pixel(x, y) == qRgb(0, 0, 0))
                return {x, y};
    return {-1, -1};
}

TEST(DataPictures, PlayButtonIsRaisedAndItsPressedPictureSunken) {
    const QImage up = decode(readBytes(builtData("play.bmz"))).images.value(0);
    const QImage down = decode(readBytes(builtData("play2.bmz"))).images.value(0);
    ASSERT_FALSE(up.isNull());
    ASSERT_FALSE(down.isNull());
    ASSERT_EQ(up.size(), down.size());
    const QPoint topLeft(0, 0);
    const QPoint bottomRight(up.width() - 1, up.height() - 1);
    // Raised: light from the upper left; pressed: the bevel turned round.
    // (Rows stored the wrong way up would swap these.)
    EXPECT_EQ(up.pixel(topLeft), qRgb(255, 255, 255));
    EXPECT_EQ(up.pixel(bottomRight), qRgb(0, 0, 0));
    EXPECT_EQ(down.pixel(topLeft), qRgb(128, 128, 128));
    EXPECT_EQ(down.pixel(bottomRight), qRgb(255, 255, 255));
    EXPECT_EQ(up.pixel(up.width() / 2, up.height() / 2 - 4), qRgb(192, 192, 192)) << "button face";
    // The sign moves one pixel down and right when pressed.
    const QPoint signUp = firstSignPixel(up);
    ASSERT_NE(signUp, QPoint(-1, -1));
    EXPECT_EQ(firstSignPixel(down), signUp + QPoint(1, 1));
}

TEST(PenPointer, IsACursorWhoseHotspotIsOnTheNibTip) {
    const QByteArray bytes = readBytes(builtData("pen.cuz"));
    ASSERT_GE(bytes.size(), 6 + 16);
    const auto* p = reinterpret_cast<const uchar*>(bytes.constData());
    EXPECT_EQ(qFromLittleEndian<quint16>(p + 0), 0) << "reserved";
    EXPECT_EQ(qFromLittleEndian<quint16>(p + 2), 2) << "type 2 is a cursor";
    ASSERT_EQ(qFromLittleEndian<quint16>(p + 4), 1) << "one image";
    const uchar* entry = p + 6;
    EXPECT_EQ(entry[0], 32);
    EXPECT_EQ(entry[1], 32);
    const int hotX = qFromLittleEndian<quint16>(entry + 4);
    const int hotY = qFromLittleEndian<quint16>(entry + 6);
    EXPECT_EQ(hotX, 2);
    EXPECT_EQ(hotY, 29);
    const quint32 size = qFromLittleEndian<quint32>(entry + 8);
    const quint32 offset = qFromLittleEndian<quint32>(entry + 12);
    EXPECT_EQ(quint64(offset) + size, quint64(bytes.size())) << "the image runs to the file's end";
    EXPECT_EQ(qFromLittleEndian<quint32>(p + offset), 40u) << "a BITMAPINFOHEADER";
    EXPECT_EQ(qFromLittleEndian<qint32>(p + offset + 8), 64) << "height counts colour and mask";

    const QImage image = decode(bytes).images.value(0);
    ASSERT_FALSE(image.isNull());
    // The hotspot lies on the drawn nib, dark, at the pen's outermost point
    // towards the lower left: nothing opaque lies further out.
    const QRgb tip = image.pixel(hotX, hotY);
    EXPECT_EQ(qAlpha(tip), 255);
    EXPECT_LT(qGray(tip), 64);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) == 255) {
                EXPECT_GE(x - y, hotX - hotY) << "opaque pixel beyond the tip at " << x << "," << y;
            }
        }
    }
}

// Checks shared by the two text files: CR LF after every line and nothing
// else, bytes that Windows-1252 defines, no control characters.
void expectWindowsText(const QByteArray& bytes) {
    ASSERT_FALSE(bytes.isEmpty());
    EXPECT_TRUE(bytes.endsWith("\r\n"));
    EXPECT_EQ(bytes.count('\n'), bytes.count("\r\n")) << "a bare LF";
    EXPECT_EQ(bytes.count('\r'), bytes.count("\r\n")) << "a bare CR";
    bool nonAscii = false;
    for (const char ch : bytes) {
        const auto b = uchar(ch);
        if (b == '\r' || b == '\n')
            continue;
        EXPECT_GE(b, 0x20) << "control character " << int(b);
        EXPECT_NE(b, 0x7F);
        for (const uchar undefined : {0x81, 0x8D, 0x8F, 0x90, 0x9D})
            EXPECT_NE(b, undefined) << "byte Windows-1252 leaves undefined";
        nonAscii = nonAscii || b >= 0x80;
    }
    if (nonAscii) {
        // UTF-8 written by mistake would decode cleanly as UTF-8.
        QStringDecoder utf8(QStringDecoder::Utf8);
        const QString asUtf8 = utf8(bytes);
        EXPECT_TRUE(utf8.hasError()) << "the text is UTF-8, not Windows-1252";
    }
}

TEST(TipFile, FirstLineIsTheNumberOfTheLastTipLine) {
    const QByteArray bytes = readBytes(builtData("tipofday.txz"));
    expectWindowsText(bytes);
    const QList<QByteArray> lines = p95::test::crlfLines(bytes);
    ASSERT_FALSE(lines.isEmpty());
    bool ok = false;
    const int n = lines.first().toInt(&ok);
    ASSERT_TRUE(ok) << "line 1: " << lines.first().toStdString();
    EXPECT_EQ(n, lines.size()) << "line 1 must be the number of the last tip line";
    EXPECT_GE(n - 1, 12) << "tips";
    std::set<QByteArray> seen;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        EXPECT_GE(lines[i].size(), 20) << "line " << i + 1 << " is no tip";
        EXPECT_LE(lines[i].size(), 250) << "line " << i + 1 << " is too long for the tip label";
        EXPECT_EQ(lines[i], lines[i].trimmed()) << "line " << i + 1;
        EXPECT_TRUE(seen.insert(lines[i]).second) << "line " << i + 1 << " repeats a tip";
    }
    // The program's own line reader sees the same lines, line N the last one.
    p95::SequentialInput input = p95::SequentialInput::fromBytes(bytes);
    for (int k = 1; k <= n; ++k) {
        const std::optional<QString> line = input.readLine();
        ASSERT_TRUE(line.has_value()) << "line " << k;
        EXPECT_EQ(line->size(), lines[k - 1].size()) << "line " << k;
    }
    EXPECT_TRUE(input.atEnd());
}

TEST(DefaultReadMe, IsWindowsTextThatNamesTheProgramAndTheThemesFolder) {
    const QByteArray bytes = readBytes(builtData("PersonalReadMe.txz"));
    expectWindowsText(bytes);
    EXPECT_TRUE(bytes.contains("Paletteer 95"));
    EXPECT_TRUE(bytes.contains("C:\\Program Files\\Plus!\\Themes"));
    for (const QByteArray& line : p95::test::crlfLines(bytes))
        EXPECT_LE(line.size(), 78) << "fits Notepad without wrapping: " << line.toStdString();
}

// A reader of Standard MIDI Files, strict enough to catch a wrong chunk
// length, a broken variable-length number or a track without its end.
class MidiReader {
public:
    explicit MidiReader(QByteArray bytes) : m_bytes(std::move(bytes)) {}

    struct Summary {
        int format = -1;
        int tracks = 0;
        double seconds = 0.0;
        int notes = 0;
        std::set<int> programs;
    };

    // Fills s; a fatal fault stops the reading where it was found.
    void read(Summary& s) {
        expectTag(0, "MThd");
        EXPECT_EQ(u32(4), 6u) << "header length";
        s.format = u16(8);
        const int declaredTracks = u16(10);
        const int division = u16(12);
        EXPECT_TRUE(s.format == 0 || s.format == 1);
        EXPECT_GT(division, 0);
        EXPECT_EQ(division & 0x8000, 0) << "ticks per quarter, not SMPTE";
        qsizetype pos = 14;
        std::map<qint64, quint32> tempoAt{{0, 500000}};
        qint64 lastTick = 0;
        while (pos < m_bytes.size() && !m_failed) {
            ASSERT_LE(pos + 8, m_bytes.size()) << "truncated chunk header";
            const QByteArray tag = m_bytes.mid(pos, 4);
            const quint32 length = u32(pos + 4);
            ASSERT_LE(pos + 8 + qint64(length), m_bytes.size()) << "chunk runs past the file";
            if (tag == "MTrk") {
                ++s.tracks;
                readTrack(pos + 8, pos + 8 + length, s, tempoAt, lastTick);
            }
            pos += 8 + length;
        }
        EXPECT_EQ(pos, m_bytes.size()) << "chunk lengths add up to the file";
        EXPECT_EQ(s.tracks, declaredTracks);
        // Ticks to seconds through the tempo map.
        double seconds = 0.0;
        qint64 tick = 0;
        quint32 tempo = 500000;
        for (const auto& [at, value] : tempoAt) {
            seconds += double(qMin(at, lastTick) - tick) * tempo / 1e6 / division;
            tick = qMin(at, lastTick);
            tempo = value;
        }
        seconds += double(lastTick - tick) * tempo / 1e6 / division;
        s.seconds = seconds;
    }

private:
    void readTrack(qsizetype pos, qsizetype end, Summary& s, std::map<qint64, quint32>& tempoAt,
                   qint64& lastTick) {
        qint64 tick = 0;
        int status = 0;
        bool ended = false;
        std::map<int, int> sounding; // channel * 128 + key -> notes on
        while (pos < end) {
            ASSERT_FALSE(ended) << "events after End of Track";
            tick += varlen(pos, end);
            ASSERT_LT(pos, end) << "delta time without an event";
            int b = uchar(m_bytes[pos]);
            if (b & 0x80) {
                ++pos;
                status = b;
            } else {
                ASSERT_NE(status, 0) << "running status before any status";
            }
            if (status == 0xFF) {
                ASSERT_LT(pos, end);
                const int type = uchar(m_bytes[pos++]);
                const qint64 length = varlen(pos, end);
                ASSERT_LE(pos + length, end) << "meta event runs past its track";
                if (type == 0x2F) {
                    EXPECT_EQ(length, 0);
                    ended = true;
                }
                if (type == 0x51 && length == 3)
                    tempoAt[tick] = (uchar(m_bytes[pos]) << 16) | (uchar(m_bytes[pos + 1]) << 8) |
                                    uchar(m_bytes[pos + 2]);
                pos += length;
                status = 0;
                continue;
            }
            if (status == 0xF0 || status == 0xF7) {
                pos += varlen(pos, end);
                status = 0;
                continue;
            }
            const int kind = status & 0xF0;
            const int channel = status & 0x0F;
            const int dataBytes = (kind == 0xC0 || kind == 0xD0) ? 1 : 2;
            ASSERT_LE(pos + dataBytes, end) << "channel event runs past its track";
            const int d1 = uchar(m_bytes[pos]);
            const int d2 = dataBytes == 2 ? uchar(m_bytes[pos + 1]) : 0;
            ASSERT_LT(d1, 0x80);
            ASSERT_LT(d2, 0x80);
            pos += dataBytes;
            if (kind == 0xC0)
                s.programs.insert(d1);
            if (kind == 0x90 && d2 > 0) {
                ++sounding[channel * 128 + d1];
                ++s.notes;
            } else if (kind == 0x80 || kind == 0x90) {
                EXPECT_GT(sounding[channel * 128 + d1], 0) << "note off without note on";
                --sounding[channel * 128 + d1];
            }
        }
        EXPECT_EQ(pos, end);
        EXPECT_TRUE(ended) << "the track ends with the End of Track meta event";
        for (const auto& [key, count] : sounding)
            EXPECT_EQ(count, 0) << "note " << key % 128 << " never released";
        lastTick = qMax(lastTick, tick);
    }

    qint64 varlen(qsizetype& pos, qsizetype end) {
        qint64 value = 0;
        for (int i = 0; i < 4; ++i) {
            if (pos >= end) {
                ADD_FAILURE() << "variable-length number runs past its track";
                m_failed = true;
                return 0;
            }
            const int b = uchar(m_bytes[pos++]);
            value = (value << 7) | (b & 0x7F);
            if (!(b & 0x80))
                return value;
        }
        ADD_FAILURE() << "variable-length number longer than four bytes";
        m_failed = true;
        return value;
    }

    quint32 u32(qsizetype pos) const {
        return qFromBigEndian<quint32>(reinterpret_cast<const uchar*>(m_bytes.constData()) + pos);
    }
    quint16 u16(qsizetype pos) const {
        return qFromBigEndian<quint16>(reinterpret_cast<const uchar*>(m_bytes.constData()) + pos);
    }
    void expectTag(qsizetype pos, const char* tag) {
        EXPECT_EQ(m_bytes.mid(pos, 4), QByteArray(tag));
    }

    QByteArray m_bytes;
    bool m_failed = false;
};

TEST(BirthdayTune, IsAShortWellFormedMidiFileOnThePiano) {
    const QByteArray bytes = readBytes(builtData("theme.cat"));
    ASSERT_GE(bytes.size(), 14 + 8);
    MidiReader::Summary s;
    MidiReader(bytes).read(s);
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    EXPECT_GE(s.tracks, 1);
    EXPECT_GE(s.notes, 25);
    EXPECT_EQ(s.programs, std::set<int>{0}) << "General MIDI acoustic grand piano only";
    EXPECT_GT(s.seconds, 6.0);
    EXPECT_LT(s.seconds, 16.0);
    std::cout << "theme.cat: format " << s.format << ", " << s.notes << " notes, " << s.seconds
              << " s\n";
}

TEST(DesktopEntry, StartsTheProgramWithItsIcon) {
    const QList<QByteArray> lines =
        p95::test::crlfLines(readBytes(sourceData("paletteer95.desktop")));
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines.first(), "[Desktop Entry]");
    for (const char* line :
         {"Type=Application", "Name=Paletteer 95", "Exec=paletteer95 %f", "Icon=paletteer95",
          "Categories=Graphics;Qt;", "MimeType=application/x-windows-theme;"})
        EXPECT_TRUE(lines.contains(QByteArray(line))) << line;
}

// Runs the generator into a fresh folder; the file names and bytes it wrote.
std::map<QString, QByteArray> runGenerator(const QString& python, const QString& out) {
    QProcess process;
    process.start(python, {QStringLiteral(P95_DATA_SOURCE_DIR "/make_data_files.py"),
                           QStringLiteral("--out"), out});
    const bool finished = process.waitForFinished(60000);
    EXPECT_TRUE(finished) << "generator did not finish";
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    std::map<QString, QByteArray> files;
    for (const QString& name : QDir(out).entryList(QDir::Files))
        files[name] = readBytes(out + u'/' + name);
    return files;
}

TEST(Generator, RewritesTheCommittedFilesByteForByte) {
    const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
    if (python.isEmpty())
        GTEST_SKIP() << "python3 is not on the PATH; the generator cannot be run";
    QTemporaryDir first;
    QTemporaryDir second;
    ASSERT_TRUE(first.isValid() && second.isValid());
    const auto once = runGenerator(python, first.path());
    const auto twice = runGenerator(python, second.path());
    ASSERT_FALSE(once.empty());
    EXPECT_EQ(once, twice) << "two runs differ";
    for (const auto& [name, bytes] : once) {
        SCOPED_TRACE(name.toStdString());
        EXPECT_EQ(bytes, readBytes(QStringLiteral(P95_DATA_SOURCE_DIR "/") + name))
            << "the committed file is not what the generator makes";
    }
    // Every file the program installs is one the generator makes.
    for (const QString& name : QStringLiteral(P95_DATA_FILES).split(u','))
        EXPECT_EQ(once.count(name), 1u) << name.toStdString();
}

} // namespace
