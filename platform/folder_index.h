#pragma once

// Case-blind lookups below one host folder, as Windows makes them, answered
// from one listing per folder for as long as the index lives: an operation
// that looks up thousands of names in one folder lists it once, not once per
// name. The index believes its listings; whoever adds an entry through it
// says so with put(). An exact match wins where two names differ only in
// letter case, as in hostPath().

#include <QHash>
#include <QString>
#include <QStringList>

namespace p95 {

class FolderIndex {
public:
    enum class Kind { Missing, File, Folder, Other };

    struct Found {
        QString host; // existing components in their case on the disk, the rest as given
        Kind kind = Kind::Missing;
        int fileAt = -1; // the component that is a file while more follow, or -1
    };

    explicit FolderIndex(QString rootHost) : m_root(std::move(rootHost)) {}

    Found find(const QStringList& components);
    // The entry at host (below the root) now exists as kind, or no longer
    // does (Kind::Missing).
    void put(const QString& host, Kind kind);

private:
    struct Listing {
        QHash<QString, Kind> exact;
        QHash<QString, QString> folded; // case-folded name -> the name on the disk
    };
    Listing& listing(const QString& folderHost);

    QString m_root;
    QHash<QString, Listing> m_listings;
};

} // namespace p95
