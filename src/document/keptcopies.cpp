#include "keptcopies.h"

#include "model/safefile.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace kirune {

namespace {

QString FolderError(const QString& folder) {
    return u"フォルダーを作れません："_s + QDir::toNativeSeparators(folder);
}

bool MakeFolder(const QString& folder, QString* error) {
    if (QDir().mkpath(folder))
        return true;
    if (error)
        *error = FolderError(folder);
    return false;
}

std::unique_ptr<QLockFile> TryLock(const QString& path) {
    auto lock = std::make_unique<QLockFile>(path);
    // Only a lock whose program is no longer running is stale, however old it is.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0))
        return nullptr;
    return lock;
}

QString ReadName(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.read(64 * 1024)).trimmed();
}

const QString kVersionFormat = QStringLiteral("yyyyMMdd-HHmmss");

} // namespace

// --- Recovery copies ------------------------------------------------------------------------

RecoveryStore::RecoveryStore(const QString& folder) : folder_(folder) {}

RecoveryStore::~RecoveryStore() = default; // the locks go; a copy written stays

QString RecoveryStore::PathOf(const QString& id, const char* suffix) const {
    return QDir(folder_).filePath(id + QLatin1String(suffix));
}

QString RecoveryStore::CopyPath() const {
    return id_.isEmpty() ? QString() : PathOf(id_, ".txt");
}

bool RecoveryStore::ClaimId(QString* error) {
    if (lock_)
        return true;
    if (!MakeFolder(folder_, error))
        return false;
    // The process number names the copy; a number after it keeps apart two programs of one
    // process (tests) and a copy left long ago by a program that had the same number.
    const QString pid = QString::number(QCoreApplication::applicationPid());
    for (int n = 1; n < 1000; ++n) {
        const QString id = pid + u'-' + QString::number(n);
        auto lock = TryLock(PathOf(id, ".lock"));
        if (!lock)
            continue;
        if (QFile::exists(PathOf(id, ".txt")))
            continue; // somebody's copy waiting for the next start: not ours to overwrite
        id_ = id;
        lock_ = std::move(lock);
        return true;
    }
    if (error)
        *error = FolderError(folder_);
    return false;
}

bool RecoveryStore::Write(const QByteArray& bytes, const QString& originalName, QString* error) {
    if (!Enabled() || !ClaimId(error))
        return false;
    // The name first: a copy is never found without the name it belongs to.
    if (!nameKnown_ || nameWritten_ != originalName) {
        if (!WriteFileAtomically(PathOf(id_, ".name"), originalName.toUtf8(), error))
            return false;
        nameWritten_ = originalName;
        nameKnown_ = true;
    }
    if (!WriteFileAtomically(PathOf(id_, ".txt"), bytes, error))
        return false;
    written_ = true;
    return true;
}

void RecoveryStore::Remove() {
    if (id_.isEmpty())
        return;
    QFile::remove(PathOf(id_, ".txt"));
    QFile::remove(PathOf(id_, ".name"));
    nameKnown_ = false;
    written_ = false;
}

QFileInfoList RecoveryStore::OtherCopies() const {
    QFileInfoList copies;
    if (!Enabled())
        return copies;
    for (const QFileInfo& info :
         QDir(folder_).entryInfoList({QStringLiteral("*.txt")}, QDir::Files, QDir::Time))
        if (info.completeBaseName() != id_)
            copies.append(info);
    return copies;
}

bool RecoveryStore::MayHaveOrphans() const {
    return !OtherCopies().isEmpty();
}

std::vector<RecoveryStore::Copy> RecoveryStore::Orphans() {
    std::vector<Copy> copies;
    for (const QFileInfo& info : OtherCopies()) {
        const QString id = info.completeBaseName();
        if (held_.count(id))
            continue;
        auto lock = TryLock(PathOf(id, ".lock"));
        if (!lock)
            continue; // its program is running
        held_[id] = std::move(lock);
        copies.push_back({id, info.filePath(), ReadName(PathOf(id, ".name"))});
    }
    return copies;
}

void RecoveryStore::Release(const Copy& copy) {
    held_.erase(copy.id);
}

void RecoveryStore::Discard(const Copy& copy) {
    QFile::remove(PathOf(copy.id, ".txt"));
    QFile::remove(PathOf(copy.id, ".name"));
    held_.erase(copy.id);
}

// --- Earlier versions -----------------------------------------------------------------------

VersionHistory::VersionHistory(const QString& folder) : folder_(folder) {}

QString VersionHistory::FolderOf(const QString& bookPath) const {
    const QString absolute = QFileInfo(bookPath).absoluteFilePath();
    const QByteArray hash =
        QCryptographicHash::hash(absolute.toUtf8(), QCryptographicHash::Sha256).toHex().left(24);
    return QDir(folder_).filePath(QString::fromLatin1(hash));
}

bool VersionHistory::Keep(const QString& bookPath, const QByteArray& bytes, const QDateTime& when,
                          QString* error) {
    if (!Enabled())
        return true;
    const QString folder = FolderOf(bookPath);
    if (!MakeFolder(folder, error))
        return false;
    // Which file the versions belong to, for a person looking into the folder.
    const QString pathFile = QDir(folder).filePath(QStringLiteral("path"));
    const QByteArray absolute = QFileInfo(bookPath).absoluteFilePath().toUtf8();
    QFile existing(pathFile);
    if (!(existing.open(QIODevice::ReadOnly) && existing.readAll() == absolute) &&
        !WriteFileAtomically(pathFile, absolute, error))
        return false;

    // Two saves within one second get numbers after the time.
    const QString stem = when.toString(kVersionFormat);
    QString name;
    for (int n = 0; n < 100 && name.isEmpty(); ++n) {
        const QString candidate = stem + QStringLiteral("-%1.txt").arg(n, 2, 10, QLatin1Char('0'));
        if (!QFile::exists(QDir(folder).filePath(candidate)))
            name = candidate;
    }
    if (name.isEmpty() || !WriteFileAtomically(QDir(folder).filePath(name), bytes, error))
        return false;

    const std::vector<Version> versions = Versions(bookPath);
    for (size_t i = kKept; i < versions.size(); ++i)
        QFile::remove(versions[i].path);
    return true;
}

std::vector<VersionHistory::Version> VersionHistory::Versions(const QString& bookPath) const {
    std::vector<Version> versions;
    if (!Enabled())
        return versions;
    const QDir folder(FolderOf(bookPath));
    QStringList names = folder.entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name);
    std::reverse(names.begin(), names.end()); // the names sort by time: newest first
    for (const QString& name : names) {
        const QDateTime when = QDateTime::fromString(name.left(15), kVersionFormat);
        if (when.isValid())
            versions.push_back({folder.filePath(name), when});
    }
    return versions;
}

} // namespace kirune
