#pragma once
// Copies of the grade book kept in the user's data folder, apart from the teacher's own file and
// its backup: the recovery copy of an unsaved book (one per running program) and the earlier
// versions of every saved file. Both are in the grade-book file format and written atomically.

#include <QByteArray>
#include <QDateTime>
#include <QFileInfo>
#include <QString>
#include <map>
#include <memory>
#include <vector>

class QLockFile;

namespace kirune {

// The recovery copies in one folder. Each running program writes its own copy "<id>.txt" with
// the original file name beside it in "<id>.name", and holds "<id>.lock" while it runs, so that
// another program never takes a live program's copy. A copy whose lock nobody holds belongs to a
// program that ended without removing it (a crash, a power cut, a killed program).
class RecoveryStore {
public:
    struct Copy {
        QString id;
        QString path;         // the copy itself
        QString originalName; // the book's file name; "" for a book that never had one
    };

    explicit RecoveryStore(const QString& folder); // "" keeps no copies at all
    ~RecoveryStore();
    RecoveryStore(const RecoveryStore&) = delete;
    RecoveryStore& operator=(const RecoveryStore&) = delete;

    bool Enabled() const { return !folder_.isEmpty(); }
    // Writes this program's copy; false and a Japanese *error when it could not be written.
    bool Write(const QByteArray& bytes, const QString& originalName, QString* error);
    // Removes this program's copy, when there is one.
    void Remove();
    bool HasCopy() const { return written_; }
    QString CopyPath() const;

    // Copies left by programs no longer running, newest first. Each stays locked by this program
    // until it is given back with Release (kept for the next start) or Discard (deleted).
    std::vector<Copy> Orphans();
    // False when there is surely no orphan (no copy but this program's own); locks nothing.
    bool MayHaveOrphans() const;
    void Release(const Copy& copy);
    void Discard(const Copy& copy);

private:
    bool ClaimId(QString* error);
    QFileInfoList OtherCopies() const; // copies in the folder but this program's own, newest first
    QString PathOf(const QString& id, const char* suffix) const;

    QString folder_;
    QString id_;
    std::unique_ptr<QLockFile> lock_;
    std::map<QString, std::unique_ptr<QLockFile>> held_; // orphans being looked at
    QString nameWritten_;
    bool nameKnown_ = false;
    bool written_ = false;
};

// Earlier versions of grade-book files: one folder per file path, each version named by the
// date and time of its save; the newest kKept are kept.
class VersionHistory {
public:
    static constexpr int kKept = 30;
    struct Version {
        QString path;
        QDateTime when;
    };

    explicit VersionHistory(const QString& folder); // "" keeps no versions
    bool Enabled() const { return !folder_.isEmpty(); }
    // Stores `bytes` as the version of `bookPath` saved at `when`, then drops the oldest beyond
    // kKept. False and a Japanese *error when it could not be stored.
    bool Keep(const QString& bookPath, const QByteArray& bytes, const QDateTime& when,
              QString* error);
    // The versions of `bookPath`, newest first.
    std::vector<Version> Versions(const QString& bookPath) const;
    // The folder of `bookPath`'s versions.
    QString FolderOf(const QString& bookPath) const;

private:
    QString folder_;
};

} // namespace kirune
