#pragma once

// Builds archives in memory through libarchive, hostile ones included, for
// the package tests and the fuzz seeds. Names are given as the bytes the
// archive is to hold.

#include "package/archive_locale.h"

#include <QByteArray>
#include <QList>

#include <archive.h>
#include <archive_entry.h>

#include <memory>
#include <sys/stat.h>

namespace p95::test {

class ArchiveBuilder {
public:
    enum Format { Zip, Tar, SevenZip };

    // filter: "gzip", "bzip2", "xz", "zstd" or nullptr; options as
    // archive_write_set_options takes them ("zip:encryption=zipcrypt").
    explicit ArchiveBuilder(Format format, const char* filter = nullptr,
                            const char* options = nullptr)
        : m_locale(archive_support::ThreadLocale::Utf8), m_a(archive_write_new()) {
        switch (format) {
        case Zip:
            archive_write_set_format_zip(m_a.get());
            break;
        case Tar:
            archive_write_set_format_pax_restricted(m_a.get());
            break;
        case SevenZip:
            archive_write_set_format_7zip(m_a.get());
            break;
        }
        if (filter)
            archive_write_add_filter_by_name(m_a.get(), filter);
        if (options)
            archive_write_set_options(m_a.get(), options);
        if (options && QByteArray(options).contains("encryption"))
            archive_write_set_passphrase(m_a.get(), "secret");
        archive_write_set_bytes_in_last_block(m_a.get(), 1); // no padding: truncation shows
        archive_write_open(m_a.get(), &m_bytes, nullptr, append, nullptr);
    }

    ArchiveBuilder& file(const QByteArray& name, const QByteArray& data, time_t mtime = 0) {
        return add(name, AE_IFREG, data, {}, mtime);
    }
    ArchiveBuilder& folder(const QByteArray& name) { return add(name, AE_IFDIR, {}, {}); }
    ArchiveBuilder& symlink(const QByteArray& name, const QByteArray& target) {
        return add(name, AE_IFLNK, {}, target);
    }
    ArchiveBuilder& special(const QByteArray& name, unsigned type) {
        return add(name, type, {}, {});
    }
    ArchiveBuilder& hardlink(const QByteArray& name, const QByteArray& target) {
        Entry e(archive_entry_new());
        archive_entry_set_pathname(e.get(), name.constData());
        archive_entry_set_hardlink(e.get(), target.constData());
        archive_entry_set_size(e.get(), 0);
        archive_write_header(m_a.get(), e.get());
        return *this;
    }
    // A file of size bytes with no data stored (a pax sparse file): tiny
    // in the archive, that many zeros unpacked.
    ArchiveBuilder& sparse(const QByteArray& name, qint64 size) {
        Entry e(archive_entry_new());
        archive_entry_set_pathname(e.get(), name.constData());
        archive_entry_set_filetype(e.get(), AE_IFREG);
        archive_entry_set_perm(e.get(), 0644);
        archive_entry_set_size(e.get(), size);
        archive_entry_sparse_add_entry(e.get(), size - 1, 1);
        archive_write_header(m_a.get(), e.get());
        archive_write_data(m_a.get(), "", 1);
        return *this;
    }
    // size zeros, written a block at a time.
    ArchiveBuilder& zeros(const QByteArray& name, qint64 size) {
        Entry e(archive_entry_new());
        archive_entry_set_pathname(e.get(), name.constData());
        archive_entry_set_filetype(e.get(), AE_IFREG);
        archive_entry_set_perm(e.get(), 0644);
        archive_entry_set_size(e.get(), size);
        archive_write_header(m_a.get(), e.get());
        const QByteArray block(1 << 20, '\0');
        for (qint64 done = 0; done < size; done += block.size())
            archive_write_data(m_a.get(), block.constData(),
                               size_t(std::min<qint64>(block.size(), size - done)));
        return *this;
    }

    QByteArray bytes() {
        if (m_a) {
            archive_write_close(m_a.get());
            m_a.reset();
        }
        return m_bytes;
    }

private:
    struct EntryFree {
        void operator()(archive_entry* e) const { archive_entry_free(e); }
    };
    using Entry = std::unique_ptr<archive_entry, EntryFree>;
    struct WriteFree {
        void operator()(archive* a) const { archive_write_free(a); }
    };

    ArchiveBuilder& add(const QByteArray& name, unsigned type, const QByteArray& data,
                        const QByteArray& link, time_t mtime = 0) {
        Entry e(archive_entry_new());
        archive_entry_set_pathname(e.get(), name.constData());
        archive_entry_set_filetype(e.get(), type);
        archive_entry_set_perm(e.get(), type == AE_IFDIR ? 0755 : 0644);
        archive_entry_set_size(e.get(), data.size());
        archive_entry_set_mtime(e.get(), mtime, 0);
        if (!link.isEmpty())
            archive_entry_set_symlink(e.get(), link.constData());
        archive_write_header(m_a.get(), e.get());
        if (!data.isEmpty())
            archive_write_data(m_a.get(), data.constData(), size_t(data.size()));
        return *this;
    }

    static la_ssize_t append(archive*, void* client, const void* buffer, size_t length) {
        static_cast<QByteArray*>(client)->append(static_cast<const char*>(buffer),
                                                 qsizetype(length));
        return la_ssize_t(length);
    }

    archive_support::ThreadLocale m_locale;
    QByteArray m_bytes;
    std::unique_ptr<archive, WriteFree> m_a;
};

// The local file headers of a zip archive: general purpose flags, DOS time
// and date, name bytes (offsets as the zip format fixes them).
struct ZipLocalHeader {
    quint16 flags = 0;
    quint16 dosTime = 0;
    quint16 dosDate = 0;
    QByteArray name;
};

inline QList<ZipLocalHeader> zipLocalHeaders(const QByteArray& zip) {
    auto u16 = [&](qsizetype at) { return quint16(quint8(zip[at]) | (quint8(zip[at + 1]) << 8)); };
    QList<ZipLocalHeader> headers;
    for (qsizetype at = zip.indexOf("PK\3\4"); at >= 0 && at + 30 <= zip.size();
         at = zip.indexOf("PK\3\4", at + 4)) {
        ZipLocalHeader h{u16(at + 6), u16(at + 10), u16(at + 12), zip.mid(at + 30, u16(at + 26))};
        headers.append(h);
    }
    return headers;
}

} // namespace p95::test
