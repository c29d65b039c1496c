#pragma once

// One pass over an archive through libarchive, entry by entry, with every
// rule a theme package must keep checked on the way. The first entry that
// breaks one ends the pass with one message; nothing is written here.
//
// Formats: zip, 7z, rar (4 and 5), lha/lzh, cab and tar (ustar, pax, GNU),
// plain or compressed (gzip, bzip2, xz, lzma, lzip, zstd, lz4, compress).
// Zip, rar, lha and cab names that do not say they are UTF-8 are read as
// code page 437, as the DOS tools wrote them.
//
// Refused (the package is unsafe or unusable): an entry name that climbs out
// (".."), is absolute or names a drive; a component Windows cannot hold (see
// fileNameProblem); a link, device, pipe or other entry that is neither a
// file nor a folder; an encrypted entry; a .theme file larger than
// themeFileBytes (package_limits.h); two entries under one name (letter case
// ignored) or a file where another entry needs a folder; more than the
// limits allow. The bytes are counted as they are unpacked: a header that
// understates its size does not get past the limits.
// Failed (the archive cannot be read): an unknown format, a truncated or
// corrupt archive, a wrong checksum.

#include "package/package_limits.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace p95 {

enum class PackageOutcome {
    Done,
    Refused, // unsafe or unusable input; nothing was written
    Failed,  // the archive could not be read or the disk failed
};

struct PackageProblem {
    PackageOutcome outcome = PackageOutcome::Failed;
    QString message; // one sentence for the user
};

inline PackageProblem refused(const QString& message) {
    return {PackageOutcome::Refused, message};
}

inline PackageProblem failed(const QString& message) {
    return {PackageOutcome::Failed, message};
}

struct PackageEntry {
    QString name;           // as the archive holds it (for messages)
    QStringList components; // its path: "\" and "/" separate, "." and empty parts dropped
    bool directory = false;
    qint64 size = 0; // bytes unpacked (files)
};

// Where the archive is: bytes in memory, or an open regular file (read from
// its start; seeking is used for zip and 7z).
struct ArchiveInput {
    const QByteArray* bytes = nullptr;
    int fd = -1;
    // The package's size in bytes; 0 when it cannot be told.
    qint64 size() const;
};

// Each file's bytes as they are unpacked, with the entry's index in the
// scan's list and the entry (its size so far already counted); then once
// more with no bytes and end set, also for an empty file. A problem ends
// the pass.
using EntryData = std::function<std::optional<PackageProblem>(int index, const PackageEntry& entry,
                                                              QByteArrayView data, bool end)>;

struct ArchiveScan {
    std::optional<PackageProblem> problem; // empty: every entry was read
    QList<PackageEntry> entries;           // in archive order; folders too
};

ArchiveScan scanArchive(const ArchiveInput& input, const PackageLimits& limits,
                        const EntryData& onData);

// "Ocean\Ocean.theme" from components, for messages and Windows paths.
QString joinedPath(const QStringList& components);
// The same with letter case folded: one key for every spelling Windows
// takes as the same path.
QString pathKey(const QStringList& components);

// True when the file name ends in ".theme" in any letter case.
bool isThemeFileName(const QString& fileName);

} // namespace p95
