#pragma once

// Runs the mtools programs (mcopy, mmd, mdel, mdeltree, mdir, mren) on a FAT
// volume inside an image file, with a private, fixed environment: no user
// configuration, code page 850, a UTF-8 locale, no terminal, and clash
// handling that can neither ask nor spin.

#include "platform/error.h"

#include <QString>
#include <QStringList>

#include <memory>

namespace p95 {

class WorkFolder;

class Mtools {
public:
    // The volume whose boot sector is at offset bytes in the image file.
    Mtools(const QString& imagePath, qint64 offset);
    ~Mtools();
    Mtools(const Mtools&) = delete;
    Mtools& operator=(const Mtools&) = delete;

    // "::/Program Files/Plus!/Themes" for a path on the volume ("/" separated).
    static QString volumePath(const QString& path);

    // Creates folders (their parents exist).
    Status makeFolders(const QStringList& paths);
    // Copies host files or folders (with everything in them) into a folder
    // of the volume. An existing target of the same name is overwritten only
    // with overwrite; otherwise it is left (the read-back then tells).
    Status copyInto(const QStringList& hostSources, const QString& folder, bool overwrite);
    Status deleteFiles(const QStringList& paths);
    Status deleteTrees(const QStringList& paths);
    // Runs one program with the image argument; its standard output.
    Result<QByteArray> run(const QString& program, const QStringList& args);

private:
    QString m_image;
    std::unique_ptr<WorkFolder> m_home;
};

} // namespace p95
