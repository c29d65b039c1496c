// Writes the hand-made seeds of the package fuzz target into a folder: small
// packages of every layout and archive kind libarchive writes, and the
// hostile entries an install refuses. Run once when the seeds change:
//   cmake --build --preset fuzz --target package_seeds
//   build/fuzz/fuzz/package_seeds fuzz/seeds/package

#include "tests/package/archive_builder.h"

#include <QDir>
#include <QFile>

#include <cstdio>

using p95::test::ArchiveBuilder;

namespace {

QByteArray theme(const QByteArray& at) {
    return "[CLSID\\{20D04FE0-3AEA-1069-A2D8-08002B30309D}\\DefaultIcon]\r\n"
           "DefaultValue=%ThemeDir%" +
           at +
           "Sea My Computer.ico,0\r\n"
           "[Control Panel\\Cursors]\r\nArrow=%ThemeDir%" +
           at +
           "Sea Normal Select.cur\r\n"
           "Wait=%ThemeDir%" +
           at +
           "Sea Busy.ani\r\n"
           "[Control Panel\\Desktop]\r\nWallpaper=%ThemeDir%" +
           at +
           "Sea wallpaper.bmp\r\n"
           "[AppEvents\\Schemes\\Apps\\.Default\\SystemAsterisk\\.Current]\r\n"
           "DefaultValue=%ThemeDir%" +
           at + "Sea asterisk.wav\r\n";
}

void files(ArchiveBuilder& b, const QByteArray& at) {
    for (const char* name : {"Sea My Computer.ico", "Sea Normal Select.cur", "Sea Busy.ani",
                             "Sea wallpaper.bmp", "Sea asterisk.wav"})
        b.file(at + name, name);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: package_seeds FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);
    auto write = [&](const char* name, const QByteArray& bytes) {
        QFile file(folder + QLatin1Char('/') + QString::fromLatin1(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            std::fprintf(stderr, "cannot write %s\n", name);
    };
    {
        ArchiveBuilder b(ArchiveBuilder::Zip);
        b.folder("Sea/").file("Sea/Sea.theme", theme("Sea\\"));
        files(b, "Sea/");
        b.file("Sea/ReadMe.txt", "read me");
        write("own-layout.zip", b.bytes());
    }
    {
        ArchiveBuilder b(ArchiveBuilder::Zip);
        b.file("SEA.THEME", theme(""));
        files(b, "");
        write("plus-flat.zip", b.bytes());
    }
    {
        ArchiveBuilder b(ArchiveBuilder::Tar, "gzip");
        b.file("Sea/Sea.theme", theme(""));
        files(b, "Sea/");
        write("flat-in-folder.tar.gz", b.bytes());
    }
    {
        ArchiveBuilder b(ArchiveBuilder::SevenZip);
        b.file("Pack/Sea/Sea.theme", theme("Sea\\"));
        files(b, "Pack/Sea/");
        write("own-layout-in-folder.7z", b.bytes());
    }
    {
        ArchiveBuilder b(ArchiveBuilder::Tar, "xz");
        b.file("Sea.theme", theme("Sea\\")).file("Sky/Sky.theme", theme(""));
        files(b, "");
        files(b, "Sky/");
        write("two-themes.tar.xz", b.bytes());
    }
    {
        ArchiveBuilder b(ArchiveBuilder::Tar, "zstd");
        b.file("Sea/Sea.theme", theme("Sea\\")).symlink("Sea/up", "../..");
        b.hardlink("Sea/again", "Sea/Sea.theme").special("Sea/pipe", AE_IFIFO);
        write("links.tar.zst", b.bytes());
    }
    {
        ArchiveBuilder b(ArchiveBuilder::Zip);
        b.file("Sea\\Sea.theme", theme("Sea\\")).file("Sea/../../x", "x");
        write("climbing.zip", b.bytes());
    }
    {
        ArchiveBuilder b(ArchiveBuilder::Zip, nullptr, "zip:encryption=zipcrypt");
        b.file("Sea/Sea.theme", theme("Sea\\"));
        write("encrypted.zip", b.bytes());
    }
    {
        ArchiveBuilder b(ArchiveBuilder::Tar, "bzip2");
        b.file("Sea/Sea.theme", theme("Sea\\")).sparse("Sea/Sea Busy.ani", qint64(1) << 30);
        write("sparse.tar.bz2", b.bytes());
    }
    {
        ArchiveBuilder b(ArchiveBuilder::Zip);
        b.file("Caf\xc3\xa9/Caf\xc3\xa9.theme", theme("Caf\xc3\xa9\\"))
            .file("Caf\xc3\xa9/Notes \xc2\xa9.txt", "utf-8");
        write("names.zip", b.bytes());
    }
    return 0;
}
