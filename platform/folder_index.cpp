#include "platform/folder_index.h"

#include <QFile>

#include <dirent.h>
#include <sys/stat.h>

namespace p95 {

namespace {

FolderIndex::Kind kindOf(const QString& folder, const dirent* d) {
    switch (d->d_type) {
    case DT_REG:
        return FolderIndex::Kind::File;
    case DT_DIR:
        return FolderIndex::Kind::Folder;
    case DT_UNKNOWN:
        break;
    default:
        return FolderIndex::Kind::Other;
    }
    struct stat info = {};
    const QByteArray path = QFile::encodeName(folder) + '/' + d->d_name;
    if (::lstat(path.constData(), &info) != 0)
        return FolderIndex::Kind::Other;
    if (S_ISREG(info.st_mode))
        return FolderIndex::Kind::File;
    return S_ISDIR(info.st_mode) ? FolderIndex::Kind::Folder : FolderIndex::Kind::Other;
}

} // namespace

FolderIndex::Listing& FolderIndex::listing(const QString& folderHost) {
    const auto it = m_listings.find(folderHost);
    if (it != m_listings.end())
        return *it;
    Listing& listing = m_listings[folderHost];
    DIR* dir = ::opendir(QFile::encodeName(folderHost).constData());
    if (!dir)
        return listing;
    while (const dirent* d = ::readdir(dir)) {
        const QString name = QFile::decodeName(d->d_name);
        if (name == QStringLiteral(".") || name == QStringLiteral(".."))
            continue;
        listing.exact.insert(name, kindOf(folderHost, d));
        listing.folded.insert(name.toCaseFolded(), name);
    }
    ::closedir(dir);
    return listing;
}

FolderIndex::Found FolderIndex::find(const QStringList& components) {
    Found found;
    found.host = m_root;
    Kind kind = Kind::Folder;
    for (qsizetype i = 0; i < components.size(); ++i) {
        const QString& component = components[i];
        if (kind != Kind::Folder) {
            if (kind != Kind::Missing && found.fileAt < 0)
                found.fileAt = int(i) - 1;
            found.host += QLatin1Char('/') + component;
            kind = Kind::Missing;
            continue;
        }
        Listing& here = listing(found.host);
        QString name = component;
        auto exact = here.exact.constFind(name);
        if (exact == here.exact.constEnd()) {
            const auto folded = here.folded.constFind(component.toCaseFolded());
            if (folded != here.folded.constEnd()) {
                name = *folded;
                exact = here.exact.constFind(name);
            }
        }
        kind = exact == here.exact.constEnd() ? Kind::Missing : *exact;
        found.host += QLatin1Char('/') + name;
    }
    found.kind = kind;
    return found;
}

void FolderIndex::put(const QString& host, Kind kind) {
    const qsizetype slash = host.lastIndexOf(QLatin1Char('/'));
    const auto it = m_listings.find(host.left(slash));
    if (it == m_listings.end())
        return; // not listed yet: the listing will see it
    const QString name = host.mid(slash + 1);
    if (kind == Kind::Missing) {
        it->exact.remove(name);
        if (it->folded.value(name.toCaseFolded()) == name)
            it->folded.remove(name.toCaseFolded());
        return;
    }
    it->exact.insert(name, kind);
    if (!it->folded.contains(name.toCaseFolded()))
        it->folded.insert(name.toCaseFolded(), name);
}

} // namespace p95
