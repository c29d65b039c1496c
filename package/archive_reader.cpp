#include "package/archive_reader.h"

#include "package/archive_locale.h"
#include "package/path_tree.h"
#include "package/zip_names.h"
#include "theme/theme_name.h"

#include <QHash>

#include <archive.h>
#include <archive_entry.h>

#include <cstring>
#include <memory>

#include <sys/stat.h>
#include <unistd.h>

namespace p95 {

using archive_support::libarchiveError;
using archive_support::ThreadLocale;

QString joinedPath(const QStringList& components) {
    return components.join(QLatin1Char('\\'));
}

QString pathKey(const QStringList& components) {
    return joinedPath(components).toCaseFolded();
}

bool isThemeFileName(const QString& fileName) {
    return fileName.endsWith(QLatin1String(".theme"), Qt::CaseInsensitive);
}

namespace {

constexpr qsizetype kBlock = 64 * 1024;

struct ArchiveFree {
    void operator()(archive* a) const { archive_read_free(a); }
};
using ReadArchive = std::unique_ptr<archive, ArchiveFree>;

// The problem after libarchive gave up: an encrypted archive it could not
// even list is refused like an encrypted entry; anything else is damage.
PackageProblem readingProblem(archive* a, const QString& where) {
    if (archive_read_has_encrypted_entries(a) > 0)
        return refused(QStringLiteral("the package is encrypted"));
    return failed(where + libarchiveError(a));
}

// Every decoder built into libarchive; one that would start an external
// program instead is refused (never happens with Debian's build).
std::optional<PackageProblem> setUp(archive* a) {
    using Support = int (*)(archive*);
    const Support filters[] = {
        archive_read_support_filter_gzip, archive_read_support_filter_bzip2,
        archive_read_support_filter_xz,   archive_read_support_filter_lzma,
        archive_read_support_filter_lzip, archive_read_support_filter_zstd,
        archive_read_support_filter_lz4,  archive_read_support_filter_compress};
    for (const Support support : filters) {
        if (support(a) != ARCHIVE_OK)
            return failed(QStringLiteral("libarchive cannot unpack every compression it reads by "
                                         "itself: ") +
                          libarchiveError(a));
    }
    // The seekable zip reader goes by the central directory, so that a zip
    // cut short or whose directory disagrees with its entries is damage.
    const Support formats[] = {
        archive_read_support_format_zip_seekable, archive_read_support_format_7zip,
        archive_read_support_format_rar,          archive_read_support_format_rar5,
        archive_read_support_format_lha,          archive_read_support_format_cab,
        archive_read_support_format_tar};
    for (const Support support : formats) {
        if (support(a) != ARCHIVE_OK)
            return failed(libarchiveError(a));
    }
    // Names without a UTF-8 mark are the DOS tools' code page.
    for (const char* format : {"zip", "rar", "lha", "cab"}) {
        if (archive_read_set_format_option(a, format, "hdrcharset", "CP437") < ARCHIVE_WARN)
            return failed(libarchiveError(a));
    }
    return std::nullopt;
}

// Why the entry's name cannot be installed, or nothing; components gets
// the checked path.
std::optional<QString> nameProblem(const QString& name, QStringList& components) {
    if (name.isEmpty())
        return QStringLiteral("has no name");
    if (name.startsWith(QLatin1Char('/')) || name.startsWith(QLatin1Char('\\')))
        return QStringLiteral("is an absolute path");
    if (name.size() >= 2 && name[1] == QLatin1Char(':') && name[0].isLetter())
        return QStringLiteral("names a drive");
    qsizetype start = 0;
    for (qsizetype i = 0; i <= name.size(); ++i) {
        if (i < name.size() && name[i] != QLatin1Char('/') && name[i] != QLatin1Char('\\'))
            continue;
        const QString part = name.mid(start, i - start);
        start = i + 1;
        if (part.isEmpty() || part == QStringLiteral("."))
            continue;
        if (part == QStringLiteral(".."))
            return QStringLiteral("climbs out of the package's folder (\"..\")");
        if (const auto problem = fileNameProblem(part))
            return QStringLiteral("is not a name Windows can hold: ") + *problem;
        components << part;
    }
    return std::nullopt;
}

// What kind of entry this is that a package may not hold, or nothing for a
// file or folder.
std::optional<QString> kindProblem(archive_entry* e) {
    if (archive_entry_hardlink(e) != nullptr)
        return QStringLiteral("is a hard link");
    switch (archive_entry_filetype(e)) {
    case AE_IFREG:
    case AE_IFDIR:
        return std::nullopt;
    case AE_IFLNK:
        return QStringLiteral("is a symbolic link");
    case AE_IFCHR:
    case AE_IFBLK:
        return QStringLiteral("is a device");
    case AE_IFIFO:
        return QStringLiteral("is a named pipe");
    case AE_IFSOCK:
        return QStringLiteral("is a socket");
    default:
        return QStringLiteral("is neither a file nor a folder");
    }
}

// True when the bytes begin as an archive or a compression this program
// reads does: one that cannot be opened then is damaged, not another kind
// of file.
bool startsLikeAnArchive(const ArchiveInput& input) {
    QByteArray head(8, '\0');
    if (input.bytes)
        head = input.bytes->left(8);
    else if (input.fd < 0 || ::pread(input.fd, head.data(), 8, 0) != 8)
        return false;
    static const QByteArray signatures[] = {QByteArray("PK\3\4"),
                                            QByteArray("7z\xBC\xAF\x27\x1C"),
                                            QByteArray("Rar!"),
                                            QByteArray("\x1F\x8B"),
                                            QByteArray("BZh"),
                                            QByteArray("\xFD"
                                                       "7zXZ"),
                                            QByteArray("\x28\xB5\x2F\xFD"),
                                            QByteArray("\x04\x22\x4D\x18"),
                                            QByteArray("LZIP"),
                                            QByteArray("\x1F\x9D"),
                                            QByteArray("MSCF")};
    for (const QByteArray& signature : signatures) {
        if (head.startsWith(signature))
            return true;
    }
    return false;
}

class Scan {
public:
    Scan(archive* a, const ArchiveInput& input, const PackageLimits& limits,
         const EntryData& onData)
        : m_a(a), m_input(input), m_limits(limits), m_onData(onData) {}

    ArchiveScan run() {
        for (;;) {
            archive_entry* e = nullptr;
            const la_int64_t before = archive_filter_bytes(m_a, 0);
            const int r = archive_read_next_header(m_a, &e);
            if (r == ARCHIVE_EOF) {
                if (endsEarly(archive_filter_bytes(m_a, 0) - before))
                    m_out.problem = failed(QStringLiteral("the package is damaged: it ends early"));
                break;
            }
            if (r != ARCHIVE_OK && r != ARCHIVE_WARN && archive_format(m_a) == 0) {
                // No format took the first header: not an archive at all.
                m_out.problem = failed(QStringLiteral("it is not an archive this program "
                                                      "reads (zip, 7z, rar, lha, cab or "
                                                      "tar): ") +
                                       libarchiveError(m_a));
                break;
            }
            if (r != ARCHIVE_OK && r != ARCHIVE_WARN) {
                // A "retry" too (a bad tar checksum): what follows cannot be trusted.
                m_out.problem = readingProblem(m_a, QStringLiteral("the package is damaged: "));
                break;
            }
            // Every entry counts, folders and "./" as well.
            if (++m_count > m_limits.entries) {
                m_out.problem = refused(
                    QStringLiteral("the package holds more than %1 entries").arg(m_limits.entries));
                break;
            }
            if (auto problem = entry(e, r == ARCHIVE_WARN)) {
                m_out.problem = problem;
                break;
            }
        }
        return std::move(m_out);
    }

private:
    // A tar ends with two blocks of zeros, read after the last entry:
    // without them the archive was cut short (libarchive takes a missing
    // end as a clean one).
    bool endsEarly(la_int64_t readAtEnd) const {
        return ((archive_format(m_a) & ARCHIVE_FORMAT_BASE_MASK) == ARCHIVE_FORMAT_TAR &&
                readAtEnd < 1024) ||
               lz4EndsEarly();
    }

    // An lz4 file is frames of blocks, each frame closed by a zero block
    // size (and a checksum where its header says so); libarchive takes a
    // file cut inside that end as whole. The block sizes are walked here.
    bool lz4EndsEarly() const {
        const int count = archive_filter_count(m_a);
        if (count < 2 || archive_filter_code(m_a, count - 2) != ARCHIVE_FILTER_LZ4)
            return false;
        const qint64 size = m_input.size();
        auto read = [&](qint64 at, int length) -> std::optional<QByteArray> {
            if (at < 0 || at + length > size)
                return std::nullopt;
            if (m_input.bytes)
                return m_input.bytes->mid(at, length);
            QByteArray bytes(length, '\0');
            if (::pread(m_input.fd, bytes.data(), size_t(length), at) != length)
                return std::nullopt;
            return bytes;
        };
        auto le32 = [](const QByteArray& b, int at = 0) {
            return quint32(quint8(b[at])) | quint32(quint8(b[at + 1])) << 8 |
                   quint32(quint8(b[at + 2])) << 16 | quint32(quint8(b[at + 3])) << 24;
        };
        qint64 at = 0;
        while (at < size) {
            const auto magic = read(at, 4);
            if (!magic)
                return true;
            if ((le32(*magic) & 0xFFFFFFF0u) == 0x184D2A50u) { // a skippable frame
                const auto length = read(at + 4, 4);
                if (!length)
                    return true;
                at += 8 + qint64(le32(*length));
                continue;
            }
            const auto header = read(at + 4, 2);
            if (le32(*magic) != 0x184D2204u || !header)
                return false; // a legacy frame: libarchive checks it itself
            const quint8 flags = quint8((*header)[0]);
            at += 4 + 2 + ((flags & 0x08) ? 8 : 0) + ((flags & 0x01) ? 4 : 0) + 1;
            for (;;) {
                const auto block = read(at, 4);
                if (!block)
                    return true;
                const quint32 length = le32(*block) & 0x7FFFFFFFu;
                at += 4;
                if (length == 0)
                    break;
                at += qint64(length) + ((flags & 0x10) ? 4 : 0);
            }
            at += (flags & 0x04) ? 4 : 0;
        }
        return at != size;
    }

    std::optional<PackageProblem> entry(archive_entry* e, bool warned) {
        const char* utf8 = archive_entry_pathname_utf8(e);
        const char* raw = archive_entry_pathname(e);
        // A name longer than Windows can open is refused before anything
        // else is done with it, however long or deep it is.
        if ((utf8 ? std::strlen(utf8) : raw ? std::strlen(raw) : 0) > 4 * kMaxWindowsPath)
            return refused(QStringLiteral("an entry's name is longer than Windows can open (%1 "
                                          "characters)")
                               .arg(kMaxWindowsPath));
        if (utf8 == nullptr) {
            return refused(QStringLiteral("the entry \"%1\" has a name that cannot be read as text")
                               .arg(QString::fromLatin1(raw ? raw : "")));
        }
        PackageEntry entry;
        // Byte for byte as the archive has it: libarchive composes a zip's
        // UTF-8 names, so a decomposed one is taken from the zip itself.
        entry.name = QString::fromUtf8(utf8);
        if ((archive_format(m_a) & ARCHIVE_FORMAT_BASE_MASK) == ARCHIVE_FORMAT_ZIP &&
            archive_filter_count(m_a) == 1) {
            if (!m_zipNames)
                m_zipNames = zipDecomposedNames(m_input);
            entry.name = m_zipNames->value(entry.name, entry.name);
        }
        auto problemOf = [&](const QString& what) {
            return refused(QStringLiteral("the entry \"%1\" %2").arg(entry.name, what));
        };
        if (entry.name.size() > kMaxWindowsPath)
            return problemOf(
                QStringLiteral("has a name longer than Windows can open (%1 characters)")
                    .arg(kMaxWindowsPath));
        if (warned)
            return failed(
                QStringLiteral("the package is damaged at the entry \"%1\": ").arg(entry.name) +
                libarchiveError(m_a));
        if (const auto problem = nameProblem(entry.name, entry.components))
            return problemOf(*problem);
        if (const auto problem = kindProblem(e))
            return problemOf(*problem);
        if (archive_entry_is_encrypted(e))
            return problemOf(QStringLiteral("is encrypted"));

        const bool endsInSeparator =
            entry.name.endsWith(QLatin1Char('/')) || entry.name.endsWith(QLatin1Char('\\'));
        entry.directory =
            archive_entry_filetype(e) == AE_IFDIR ||
            (endsInSeparator && archive_entry_size_is_set(e) && archive_entry_size(e) == 0);
        if (entry.components.isEmpty()) {
            if (entry.directory)
                return std::nullopt; // "./": the archive's own top
            return problemOf(QStringLiteral("has no name"));
        }

        const bool themeFile = !entry.directory && isThemeFileName(entry.components.last());
        const qint64 entryLimit = themeFile ? std::min(m_limits.entryBytes, m_limits.themeFileBytes)
                                            : m_limits.entryBytes;
        auto sizeProblem = [&](qint64 size) -> std::optional<PackageProblem> {
            if (size > entryLimit) {
                return problemOf(
                    themeFile ? QStringLiteral("is larger than a theme file can be "
                                               "(%1)")
                                    .arg(mib(entryLimit))
                              : QStringLiteral("is larger than %1 unpacked").arg(mib(entryLimit)));
            }
            return std::nullopt;
        };
        auto totalProblem = [&](qint64 total) -> std::optional<PackageProblem> {
            if (total > m_limits.totalBytes)
                return refused(QStringLiteral("the package holds more than %1 unpacked")
                                   .arg(mib(m_limits.totalBytes)));
            return std::nullopt;
        };
        // What the header says is checked first, so an honest bomb stops here.
        if (archive_entry_size_is_set(e)) {
            const qint64 declared = std::max<qint64>(0, archive_entry_size(e));
            if (auto problem = sizeProblem(declared))
                return problem;
            m_declaredTotal += declared;
            if (auto problem = totalProblem(m_declaredTotal))
                return problem;
        }
        if (auto clash = clashProblem(entry))
            return problemOf(*clash);

        if (!entry.directory) {
            // What is unpacked is counted, whatever the header said.
            QByteArray buffer(kBlock, Qt::Uninitialized);
            for (;;) {
                const la_ssize_t n = archive_read_data(m_a, buffer.data(), size_t(buffer.size()));
                if (n == 0)
                    break;
                if (n < 0)
                    return readingProblem(
                        m_a, QStringLiteral("the entry \"%1\" is damaged: ").arg(entry.name));
                entry.size += n;
                m_total += n;
                if (auto problem = sizeProblem(entry.size))
                    return problem;
                if (auto problem = totalProblem(m_total))
                    return problem;
                if (m_onData) {
                    if (auto problem = m_onData(int(m_out.entries.size()), entry,
                                                QByteArrayView(buffer.constData(), n), false))
                        return problem;
                }
            }
            // What was unpacked is what the header said, or the archive lies.
            if (archive_entry_size_is_set(e) && entry.size != archive_entry_size(e))
                return failed(QStringLiteral("the package is damaged: the entry \"%1\" unpacks to "
                                             "%2 bytes where its header says %3")
                                  .arg(entry.name)
                                  .arg(entry.size)
                                  .arg(archive_entry_size(e)));
            if (m_onData) {
                if (auto problem = m_onData(int(m_out.entries.size()), entry, {}, true))
                    return problem;
            }
        }
        m_out.entries.append(entry);
        return std::nullopt;
    }

    // Windows holds one entry per name, letter case ignored, and a name is a
    // file or a folder, never both. Folders may be named more than once.
    std::optional<QString> clashProblem(const PackageEntry& entry) {
        int node = PathTree::kRoot;
        for (qsizetype i = 0; i < entry.components.size(); ++i) {
            node = m_tree.child(node, entry.components[i]);
            const bool folder = entry.directory || i + 1 < entry.components.size();
            if (node >= m_kinds.size()) {
                m_kinds.resize(node + 1, Kind::None);
            }
            Kind& kind = m_kinds[node];
            if (kind == Kind::None) {
                kind = folder ? Kind::Folder : Kind::File;
                continue;
            }
            if (kind == Kind::File)
                return folder ? QStringLiteral("lies below a file of the package, not a folder")
                              : QStringLiteral("has the name of another file of the package");
            if (!folder)
                return QStringLiteral("has the name of a folder of the package");
        }
        return std::nullopt;
    }

    enum class Kind : char { None, Folder, File };

    archive* m_a;
    const ArchiveInput& m_input;
    std::optional<QHash<QString, QString>> m_zipNames; // read at the first zip entry
    const PackageLimits& m_limits;
    const EntryData& m_onData;
    ArchiveScan m_out;
    PathTree m_tree;     // the package's paths, letter case ignored
    QList<Kind> m_kinds; // by node of m_tree
    int m_count = 0;
    qint64 m_total = 0;
    qint64 m_declaredTotal = 0;
};

} // namespace

qint64 ArchiveInput::size() const {
    struct stat info = {};
    if (bytes)
        return bytes->size();
    return fd >= 0 && ::fstat(fd, &info) == 0 ? qint64(info.st_size) : 0;
}

ArchiveScan scanArchive(const ArchiveInput& input, const PackageLimits& limits,
                        const EntryData& onData) {
    ArchiveScan out;
    // The package itself, in memory or on the disk, before a byte is unpacked.
    const qint64 archiveSize = input.size();
    if (archiveSize > limits.archiveBytes) {
        out.problem = refused(
            QStringLiteral("the package file is larger than %1").arg(mib(limits.archiveBytes)));
        return out;
    }
    ThreadLocale locale(ThreadLocale::Utf8);
    if (!locale.ok()) {
        out.problem =
            failed(QStringLiteral("the C library has no C.UTF-8 locale to read names in"));
        return out;
    }
    ReadArchive a(archive_read_new());
    if (!a) {
        out.problem = failed(QStringLiteral("out of memory"));
        return out;
    }
    if (auto problem = setUp(a.get())) {
        out.problem = problem;
        return out;
    }
    int opened = ARCHIVE_FATAL;
    if (input.bytes) {
        opened = archive_read_open_memory(a.get(), input.bytes->constData(),
                                          size_t(input.bytes->size()));
    } else if (input.fd >= 0 && ::lseek(input.fd, 0, SEEK_SET) == 0) {
        opened = archive_read_open_fd(a.get(), input.fd, size_t(kBlock));
    }
    // A package is compressed once (a .tar.gz), never layer upon layer: a
    // file that unpacks into itself would keep the reader busy for minutes.
    constexpr int kMaxFilters = 3; // the file itself and two compressions
    if (opened == ARCHIVE_OK && archive_filter_count(a.get()) > kMaxFilters) {
        out.problem = failed(QStringLiteral("the package is damaged: it is compressed layer upon "
                                            "layer"));
        return out;
    }
    if (opened != ARCHIVE_OK && archive_filter_count(a.get()) > kMaxFilters) {
        out.problem = failed(QStringLiteral("the package is damaged: it is compressed layer upon "
                                            "layer (") +
                             libarchiveError(a.get()) + QLatin1Char(')'));
        return out;
    }
    if (opened != ARCHIVE_OK && startsLikeAnArchive(input)) {
        // (No format was chosen: libarchive cannot be asked about encryption.)
        out.problem = failed(QStringLiteral("the package is damaged: ") + libarchiveError(a.get()));
        return out;
    }
    if (opened != ARCHIVE_OK) {
        out.problem = failed(QStringLiteral("it is not an archive this program reads (zip, 7z, "
                                            "rar, lha, cab or tar): ") +
                             libarchiveError(a.get()));
        return out;
    }
    return Scan(a.get(), input, limits, onData).run();
}

} // namespace p95
