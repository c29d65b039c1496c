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

// The bytes through one compression of libarchive's (a raw stream).
QByteArray compressed(const QByteArray& bytes, const char* filter) {
    QByteArray out;
    archive* a = archive_write_new();
    archive_write_set_format_raw(a);
    archive_write_add_filter_by_name(a, filter);
    archive_write_set_bytes_in_last_block(a, 1);
    archive_write_open(
        a, &out, nullptr,
        [](archive*, void* client, const void* buffer, size_t length) -> la_ssize_t {
            static_cast<QByteArray*>(client)->append(static_cast<const char*>(buffer),
                                                     qsizetype(length));
            return la_ssize_t(length);
        },
        nullptr);
    archive_entry* e = archive_entry_new();
    archive_entry_set_pathname(e, "data");
    archive_entry_set_filetype(e, AE_IFREG);
    archive_entry_set_size(e, bytes.size());
    archive_write_header(a, e);
    archive_write_data(a, bytes.constData(), size_t(bytes.size()));
    archive_entry_free(e);
    archive_write_close(a);
    archive_write_free(a);
    return out;
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
    {
        // Compression upon compression: two layers pass, six are damage.
        ArchiveBuilder b(ArchiveBuilder::Tar);
        b.file("Sea/Sea.theme", theme("Sea\\"));
        files(b, "Sea/");
        const QByteArray tar = b.bytes();
        write("stacked.tar.xz.gz", compressed(compressed(tar, "xz"), "gzip"));
        QByteArray deep = tar;
        for (int i = 0; i < 6; ++i)
            deep = compressed(deep, i % 2 ? "gzip" : "bzip2");
        write("six-layers.tar.bz2.gz", deep);
    }
    {
        // Folders and "./" count as entries; device names Windows keeps.
        ArchiveBuilder b(ArchiveBuilder::Tar);
        b.folder("./").folder("./Sea/").file("Sea/Sea.theme", theme("Sea\\"));
        b.file("Sea/COM0", "x").file("Sea/lpt\xc2\xb9.txt", "x").file("Sea/CONIN$", "x");
        write("dots-and-devices.tar", b.bytes());
    }
    {
        // A decomposed name (e and a combining acute accent).
        ArchiveBuilder b(ArchiveBuilder::Zip);
        b.file("Sea/Sea.theme", theme("Sea\\")).file("Sea/Cafe\xcc\x81.txt", "nfd");
        write("decomposed.zip", b.bytes());
    }
    return 0;
}
