#pragma once

#include <QByteArrayView>
#include <QString>

namespace qm {

// A new file that appears under its name only whole: it is written under a
// temporary name in the same folder, synced, and then put in place, and the
// folder is synced, so that a power cut leaves either no file or the whole one
// under the name. Whatever is not published is removed again.
// Every step throws qm::Failure naming the file.
class DurableFile {
public:
    explicit DurableFile(QString finalPath);
    ~DurableFile();
    DurableFile(const DurableFile &) = delete;
    DurableFile &operator=(const DurableFile &) = delete;

    void write(qint64 offset, QByteArrayView bytes);

    // Gives the file the permissions and, where the user may, the group of
    // the file at `model`: on a shared folder the workstations of other users
    // must go on writing the file this one replaces. A file system that keeps
    // no permissions is taken as it is.
    void takePermissionsOf(const QString &model);

    // Puts the file in place unless a file of that name is there: false then,
    // and that file is left as it is. Two processes publishing one name at
    // once never both succeed, on a network share as on a local disk.
    bool publishIfAbsent();

    // Puts the file in place, replacing the file of that name in one step.
    void publishReplacing();

private:
    void syncContent();
    void dropTemporary();

    QString finalPath_;
    QString temporaryPath_;
    int fd_ = -1;
    bool published_ = false;
};

// Makes the names in a folder durable (a new, renamed or removed file).
// Throws qm::Failure; a file system that cannot sync a folder is taken as is.
void syncFolder(const QString &folder);

// Makes a folder that is missing, durably, with the permissions and group of
// the folder it is in where the user may give them; an existing one is fine.
void makeFolderDurably(const QString &folder);

}  // namespace qm
